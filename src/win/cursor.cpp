// System cursors, drawn here as 32 x 32 monochrome cursors (AND mask over
// XOR image), and the current cursor.
#include "gfx/draw.h"
#include "win/internal.h"

#include <cstdlib>
#include <initializer_list>
#include <map>

namespace win {

namespace detail {
namespace {

// One picture per cursor: 'X' black, '.' white, anything else transparent.
struct CursorArt {
    std::uintptr_t id;
    int hotX;
    int hotY;
    std::initializer_list<const char*> rows;
};

const CursorArt kArrow{IDC_ARROW,
                       0,
                       0,
                       {
                           "X",           "XX",         "X.X",        "X..X",      "X...X",
                           "X....X",      "X.....X",    "X......X",   "X.......X", "X........X",
                           "X.....XXXXX", "X..X..X",    "X.X X..X",   "XX  X..X",  "X    X..X",
                           "     X..X",   "      X..X", "      X..X", "       XX",
                       }};

const CursorArt kIBeam{IDC_IBEAM,
                       3,
                       8,
                       {
                           "XXX XXX",
                           "   X",
                           "   X",
                           "   X",
                           "   X",
                           "   X",
                           "   X",
                           "   X",
                           "   X",
                           "   X",
                           "   X",
                           "   X",
                           "   X",
                           "   X",
                           "   X",
                           "XXX XXX",
                       }};

const CursorArt kWait{IDC_WAIT,
                      5,
                      10,
                      {
                          "XXXXXXXXXXX",
                          "X.........X",
                          " X.......X",
                          " X.XXXXX.X",
                          "  X.XXX.X",
                          "   X.X.X",
                          "    X.X",
                          "    X.X",
                          "   X...X",
                          "  X..X..X",
                          " X...X...X",
                          " X..XXX..X",
                          "X..XXXXX..X",
                          "X.........X",
                          "XXXXXXXXXXX",
                      }};

const CursorArt kCross{IDC_CROSS,
                       7,
                       7,
                       {
                           "      X.X",
                           "      X.X",
                           "      X.X",
                           "      X.X",
                           "      X.X",
                           "XXXXXXX.XXXXXXX",
                           "...............",
                           "XXXXXXX.XXXXXXX",
                           "      X.X",
                           "      X.X",
                           "      X.X",
                           "      X.X",
                           "      X.X",
                       }};

const CursorArt kUpArrow{IDC_UPARROW,
                         5,
                         0,
                         {
                             "     X",
                             "    X.X",
                             "   X...X",
                             "  X.....X",
                             " X.......X",
                             "XXXX...XXXX",
                             "   X...X",
                             "   X...X",
                             "   X...X",
                             "   X...X",
                             "   X...X",
                             "   X...X",
                             "   XXXXX",
                         }};

const CursorArt kSizeNWSE{IDC_SIZENWSE,
                          7,
                          7,
                          {
                              "XXXXXX",
                              "X....X",
                              "X...X",
                              "X....X",
                              "X.X...X",
                              "XX X...X",
                              "    X...X",
                              "     X...X",
                              "      X...X XX",
                              "       X...X.X",
                              "        X....X",
                              "         X...X",
                              "        X....X",
                              "        XXXXXX",
                          }};

const CursorArt kSizeNESW{IDC_SIZENESW,
                          7,
                          7,
                          {
                              "        XXXXXX",
                              "        X....X",
                              "         X...X",
                              "        X....X",
                              "       X...X.X",
                              "      X...X XX",
                              "     X...X",
                              "    X...X",
                              "XX X...X",
                              "X.X...X",
                              "X....X",
                              "X...X",
                              "X....X",
                              "XXXXXX",
                          }};

const CursorArt kSizeWE{IDC_SIZEWE,
                        8,
                        3,
                        {
                            "   X         X",
                            "  XX         XX",
                            " X.XXXXXXXXXXX.X",
                            "X...............X",
                            " X.XXXXXXXXXXX.X",
                            "  XX         XX",
                            "   X         X",
                        }};

const CursorArt kSizeNS{IDC_SIZENS,
                        3,
                        8,
                        {
                            "   X",
                            "  X.X",
                            " X...X",
                            "XXX.XXX",
                            "  X.X",
                            "  X.X",
                            "  X.X",
                            "  X.X",
                            "  X.X",
                            "  X.X",
                            "  X.X",
                            "  X.X",
                            "  X.X",
                            "XXX.XXX",
                            " X...X",
                            "  X.X",
                            "   X",
                        }};

const CursorArt kSizeAll{IDC_SIZEALL,
                         8,
                         7,
                         {
                             "        X",
                             "       X.X",
                             "      X...X",
                             "     XXX.XXX",
                             "   X   X.X   X",
                             "  XX   X.X   XX",
                             " X.XXXXX.XXXXX.X",
                             "X...............X",
                             " X.XXXXX.XXXXX.X",
                             "  XX   X.X   XX",
                             "   X   X.X   X",
                             "     XXX.XXX",
                             "      X...X",
                             "       X.X",
                             "        X",
                         }};

const CursorArt kNo{IDC_NO,
                    8,
                    8,
                    {
                        "     XXXXXXX",
                        "   XX.......XX",
                        "  X...XXXXX...X",
                        " X..XX     XX..X",
                        " X.X        X..X",
                        "X..X       X.X..X",
                        "X.X       X.X X.X",
                        "X.X      X.X  X.X",
                        "X.X     X.X   X.X",
                        "X.X    X.X    X.X",
                        "X.X   X.X     X.X",
                        "X..X X.X     X..X",
                        " X..X.X      X.X",
                        " X..XX     XX..X",
                        "  X...XXXXX...X",
                        "   XX.......XX",
                        "     XXXXXXX",
                    }};

const CursorArt kHand{IDC_HAND,
                      5,
                      0,
                      {
                          "     XX",
                          "    X..X",
                          "    X..X",
                          "    X..X",
                          "    X..XXX",
                          "    X..X..XXX",
                          "    X..X..X..XX",
                          " XX X..X..X..X.X",
                          "X..XX........X.X",
                          "X...X..........X",
                          " X.............X",
                          "  X............X",
                          "  X...........X",
                          "   X..........X",
                          "    X........X",
                          "    X........X",
                          "    XXXXXXXXXX",
                      }};

const CursorArt kAppStarting{IDC_APPSTARTING,
                             0,
                             0,
                             {
                                 "X",
                                 "XX",
                                 "X.X",
                                 "X..X",
                                 "X...X",
                                 "X....X",
                                 "X.....X",
                                 "X......X",
                                 "X.......X",
                                 "X........X",
                                 "X.....XXXXX",
                                 "X..X..X  XXXXXXX",
                                 "X.X X..X X.....X",
                                 "XX  X..X  X...X",
                                 "X    X..X  X.X",
                                 "     X..X  X.X",
                                 "      X..XX...X",
                                 "      X..X.....X",
                                 "       XX XXXXXXX",
                             }};

const CursorArt kHelp{IDC_HELP,
                      0,
                      0,
                      {
                          "X",
                          "XX",
                          "X.X",
                          "X..X",
                          "X...X",
                          "X....X",
                          "X.....X",
                          "X......X",
                          "X.......X",
                          "X........X    XXXXX",
                          "X.....XXXXX  X.....X",
                          "X..X..X     X..XX..X",
                          "X.X X..X    XXX X..X",
                          "XX  X..X       X..X",
                          "X    X..X     X..X",
                          "     X..X    X..X",
                          "      X..X   X..X",
                          "      X..X   XXXX",
                          "       XX    X..X",
                          "             X..X",
                          "             XXXX",
                      }};

const CursorArt* const kAll[] = {&kArrow,  &kIBeam,  &kWait,    &kCross, &kUpArrow, &kSizeNWSE,    &kSizeNESW,
                                 &kSizeWE, &kSizeNS, &kSizeAll, &kNo,    &kHand,    &kAppStarting, &kHelp};

constexpr int kCursorSize = 32;

HCURSOR Draw(const CursorArt& art) {
    HBITMAP mask = CreateBitmap(kCursorSize, 2 * kCursorSize, 1, 1, nullptr);
    BitmapSurface s;
    if (!mask || !GetBitmapSurface(mask, &s)) {
        if (mask) DeleteObject(mask);
        return nullptr;
    }
    for (int y = 0; y < kCursorSize; ++y)
        for (int x = 0; x < kCursorSize; ++x) {
            s.Row(y)[x] = 0xFFFFFF;
            s.Row(y + kCursorSize)[x] = 0;
        }
    int y = 0;
    for (const char* row : art.rows) {
        for (int x = 0; row[x] && x < kCursorSize; ++x) {
            if (row[x] != 'X' && row[x] != '.') continue;
            s.Row(y)[x] = 0;
            s.Row(y + kCursorSize)[x] = row[x] == '.' ? 0xFFFFFF : 0;
        }
        if (++y == kCursorSize) break;
    }
    ICONINFO info;
    info.fIcon = FALSE;
    info.xHotspot = static_cast<DWORD>(art.hotX);
    info.yHotspot = static_cast<DWORD>(art.hotY);
    info.hbmMask = mask;
    HCURSOR cursor = CreateIconIndirect(&info);
    DeleteObject(mask);
    return cursor;
}

struct CursorState {
    std::map<std::uintptr_t, HCURSOR> system; // drawn on first use, kept until exit
    HCURSOR current{};
    bool currentSet = false; // false: the arrow, drawn when first asked for
    int showCount = 0;
};

CursorState& State() {
    static CursorState s;
    return s;
}

// The drawing layer's object table goes away at exit; the cursors go first.
void DestroySystemCursors() {
    Guard g(Lock());
    for (auto& [id, cursor] : State().system) DestroyCursor(cursor);
    State().system.clear();
}

} // namespace

HCURSOR LoadSystemCursor(std::uintptr_t id) {
    Guard g(Lock());
    auto& s = State();
    auto it = s.system.find(id);
    if (it != s.system.end()) return it->second;
    for (const CursorArt* art : kAll)
        if (art->id == id) {
            HCURSOR cursor = Draw(*art);
            if (!cursor) return nullptr;
            if (s.system.empty()) std::atexit(&DestroySystemCursors);
            s.system[id] = cursor;
            return cursor;
        }
    return nullptr;
}

void ResetCursorState() {
    Guard g(Lock());
    State().current = nullptr;
    State().currentSet = false;
    State().showCount = 0;
}

} // namespace detail

using namespace detail;

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR previous = GetCursor();
    Guard g(Lock());
    State().current = cursor;
    State().currentSet = true;
    return previous;
}

HCURSOR GetCursor() {
    Guard g(Lock());
    if (!State().currentSet) {
        State().current = LoadSystemCursor(IDC_ARROW);
        State().currentSet = true;
    }
    return State().current;
}

int ShowCursor(BOOL show) {
    Guard g(Lock());
    return show ? ++State().showCount : --State().showCount;
}

} // namespace win
