// The scroll bars of a window's frame: their range, page and position, the
// drawing of arrows, track and thumb, and the loop that runs a press on them.
// A held arrow or page area repeats its request by timer while the cursor
// stays on it; the thumb follows the mouse, and the window hears of every
// step (SB_THUMBTRACK) and of the end (SB_THUMBPOSITION, SB_ENDSCROLL).
#include "win/internal.h"

#include "gfx/draw.h"

#include <algorithm>

namespace win {

namespace detail {
namespace {

enum ScrollPart { kNoPart, kArrowFirst, kPageFirst, kThumb, kPageSecond, kArrowSecond };

constexpr UINT kFirstRepeat = 200;
constexpr UINT kNextRepeat = 50;
// The loop's own timer; a window's timers use small identifiers.
constexpr UINT_PTR kRepeatTimer = 0x5C0FFFF0;
constexpr int kMinThumb = 8;

// The highest position: the page's last line reaches max there.
long long MaxPos(const ScrollBarState& s) {
    return static_cast<long long>(s.max) - std::max<long long>(static_cast<long long>(s.page) - 1, 0);
}

bool CanScroll(const ScrollBarState& s) {
    return !s.disabled && MaxPos(s) > s.min;
}

void Normalize(ScrollBarState& s) {
    if (s.max < s.min) s.max = s.min;
    const long long range = static_cast<long long>(s.max) - s.min + 1;
    if (static_cast<long long>(s.page) > range) s.page = static_cast<UINT>(range);
    s.pos = static_cast<int>(std::clamp<long long>(s.pos, s.min, std::max<long long>(MaxPos(s), s.min)));
}

// The parts of a bar along its axis, in the coordinates of the bar's rectangle.
struct Geometry {
    bool vertical = true;
    RECT bar{};
    int arrow = 0;      // length of each arrow button
    int track = 0;      // length between them
    int thumb = 0;      // length of the thumb, 0 when there is none
    int thumbStart = 0; // offset of the thumb from the bar's start
    long long span = 0; // positions the thumb travels over (MaxPos - min)

    RECT Part(ScrollPart part) const {
        int from = 0, to = 0;
        const int length = vertical ? bar.bottom - bar.top : bar.right - bar.left;
        switch (part) {
            case kArrowFirst:
                to = arrow;
                break;
            case kArrowSecond:
                from = length - arrow;
                to = length;
                break;
            case kPageFirst:
                from = arrow;
                to = thumb ? thumbStart : arrow;
                break;
            case kThumb:
                from = thumbStart;
                to = thumb ? thumbStart + thumb : thumbStart;
                break;
            case kPageSecond:
                from = thumb ? thumbStart + thumb : length - arrow;
                to = length - arrow;
                break;
            default:
                return RECT{};
        }
        return vertical ? RECT{bar.left, bar.top + from, bar.right, bar.top + to}
                        : RECT{bar.left + from, bar.top, bar.left + to, bar.bottom};
    }
};

Geometry Measure(const RECT& bar, bool vertical, const ScrollBarState& s) {
    Geometry g;
    g.vertical = vertical;
    g.bar = bar;
    const int length = vertical ? bar.bottom - bar.top : bar.right - bar.left;
    g.arrow = std::min(SystemMetric(vertical ? SM_CYVSCROLL : SM_CXHSCROLL), length / 2);
    g.track = length - 2 * g.arrow;
    if (!CanScroll(s) || g.track < kMinThumb) return g;
    const long long range = static_cast<long long>(s.max) - s.min + 1;
    long long thumb = s.page ? g.track * static_cast<long long>(s.page) / range
                             : SystemMetric(vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
    g.thumb = static_cast<int>(std::clamp<long long>(thumb, kMinThumb, g.track));
    g.span = MaxPos(s) - s.min;
    const long long shown = (s.tracking ? s.trackPos : s.pos) - static_cast<long long>(s.min);
    g.thumbStart =
        g.arrow + static_cast<int>(std::clamp<long long>(shown, 0, g.span) * (g.track - g.thumb) / g.span);
    return g;
}

// The position the thumb stands for when it starts `offset` pixels into the bar.
int PosFromThumb(const Geometry& g, const ScrollBarState& s, int offset) {
    const int free = g.track - g.thumb;
    if (free <= 0) return s.min;
    const long long moved = std::clamp(offset - g.arrow, 0, free);
    return static_cast<int>(s.min + (moved * g.span + free / 2) / free);
}

ScrollPart PartAt(const Geometry& g, POINT p) {
    for (ScrollPart part : {kArrowFirst, kArrowSecond, kThumb, kPageFirst, kPageSecond}) {
        if (part != kArrowFirst && part != kArrowSecond && !g.thumb) break;
        const RECT r = g.Part(part);
        if (PtInRect(&r, p)) return part;
    }
    return kNoPart;
}

// A bar of the window as it is now: its rectangle in window coordinates and
// its state; the window's top-left corner on the screen. False when the
// window is gone or the bar is not shown.
bool BarOf(HWND hwnd, int bar, Geometry* geometry, ScrollBarState* state, POINT* origin) {
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    if (!w) return false;
    const NcLayout L = ComputeNcLayout(*w);
    const RECT r = bar == SB_VERT ? L.vScroll : L.hScroll;
    if (IsRectEmpty(&r)) return false;
    *state = w->scrollBars[bar];
    *geometry = Measure(r, bar == SB_VERT, *state);
    const RECT wr = WindowRectOnScreen(*w);
    *origin = POINT{wr.left, wr.top};
    return true;
}

ScrollPart PartAtScreen(HWND hwnd, int bar, POINT screen) {
    Geometry g;
    ScrollBarState s;
    POINT origin{};
    if (!BarOf(hwnd, bar, &g, &s, &origin)) return kNoPart;
    return PartAt(g, POINT{screen.x - origin.x, screen.y - origin.y});
}

void RedrawBar(HWND hwnd, int bar) {
    Geometry g;
    ScrollBarState s;
    POINT origin{};
    {
        Guard lock(Lock());
        Window* w = GetWnd(hwnd);
        if (!w || !IsVisibleChain(*w)) return;
    }
    if (!BarOf(hwnd, bar, &g, &s, &origin)) return;
    HDC dc = GetDCEx(hwnd, nullptr, DCX_WINDOW | DCX_CLIPSIBLINGS);
    if (!dc) return;
    DrawScrollBar(dc, g.bar, bar == SB_VERT, s);
    ReleaseDC(hwnd, dc);
}

// Changes the state of a bar under the lock; false when the window is gone.
template <class Change> bool Update(HWND hwnd, int bar, Change change) {
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    if (!w) return false;
    change(w->scrollBars[bar]);
    return true;
}

// The next message for the loop: mouse input and its own timer. Keys are
// dropped while the bar is held; everything else is dispatched.
bool NextTrackMessage(HWND hwnd, MSG* m) {
    while (GetCapture() == hwnd) {
        const BOOL got = GetMessage(m, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(m->wParam));
            return false;
        }
        if (got < 0) return false;
        if (m->message == WM_TIMER && m->hwnd == hwnd && m->wParam == kRepeatTimer) return true;
        const bool mouse = m->message >= WM_MOUSEFIRST && m->message <= WM_MOUSELAST;
        const bool key = m->message >= WM_KEYFIRST && m->message <= WM_KEYLAST;
        if ((mouse || key) && GetCapture() == hwnd) {
            if (mouse) return true;
            continue;
        }
        if (mouse || key) TranslateMessage(m);
        DispatchMessage(m);
    }
    return false;
}

void DragThumb(HWND hwnd, int bar, POINT screen, UINT msg) {
    Geometry g;
    ScrollBarState s;
    POINT origin{};
    if (!BarOf(hwnd, bar, &g, &s, &origin)) return;
    const bool vertical = bar == SB_VERT;
    const int grab =
        (vertical ? screen.y - origin.y - g.bar.top : screen.x - origin.x - g.bar.left) - g.thumbStart;
    int trackPos = s.pos;
    Update(hwnd, bar, [trackPos](ScrollBarState& st) {
        st.tracking = true;
        st.trackPos = trackPos;
    });
    MSG m{};
    while (NextTrackMessage(hwnd, &m)) {
        if (m.message == WM_LBUTTONUP) break;
        if (m.message != WM_MOUSEMOVE || !BarOf(hwnd, bar, &g, &s, &origin)) continue;
        const int at = vertical ? m.pt.y - origin.y - g.bar.top : m.pt.x - origin.x - g.bar.left;
        const int pos = PosFromThumb(g, s, at - grab);
        if (pos == trackPos) continue;
        trackPos = pos;
        Update(hwnd, bar, [pos](ScrollBarState& st) { st.trackPos = pos; });
        RedrawBar(hwnd, bar);
        SendMsg(hwnd, msg, MAKEWPARAM(SB_THUMBTRACK, pos), 0);
    }
    if (IsWindow(hwnd)) SendMsg(hwnd, msg, MAKEWPARAM(SB_THUMBPOSITION, trackPos), 0);
    Update(hwnd, bar, [](ScrollBarState& st) { st.tracking = false; });
    RedrawBar(hwnd, bar);
}

void RepeatPart(HWND hwnd, int bar, ScrollPart part, UINT msg) {
    const WORD request = part == kArrowFirst    ? SB_LINEUP
                         : part == kArrowSecond ? SB_LINEDOWN
                         : part == kPageFirst   ? SB_PAGEUP
                                                : SB_PAGEDOWN;
    auto press = [hwnd, bar, part](bool down) {
        bool changed = false;
        Update(hwnd, bar, [&](ScrollBarState& st) {
            const int pressed = down ? part : kNoPart;
            changed = st.pressed != pressed;
            st.pressed = pressed;
        });
        if (changed) RedrawBar(hwnd, bar);
    };
    press(true);
    SendMsg(hwnd, msg, MAKEWPARAM(request, 0), 0);
    SetTimer(hwnd, kRepeatTimer, kFirstRepeat, nullptr);
    POINT cursor{};
    GetCursorPos(&cursor);
    MSG m{};
    while (NextTrackMessage(hwnd, &m)) {
        if (m.message == WM_LBUTTONUP) break;
        if (m.message == WM_MOUSEMOVE) {
            cursor = m.pt;
            press(PartAtScreen(hwnd, bar, cursor) == part);
        } else if (m.message == WM_TIMER) {
            SetTimer(hwnd, kRepeatTimer, kNextRepeat, nullptr);
            // A page area ends where the thumb comes under the cursor.
            const bool over = PartAtScreen(hwnd, bar, cursor) == part;
            press(over);
            if (over) SendMsg(hwnd, msg, MAKEWPARAM(request, 0), 0);
        }
    }
    KillTimer(hwnd, kRepeatTimer);
    press(false);
}

// The track: in the classic scheme, whose scroll-bar colour is the face
// colour, every other pixel is highlighted.
void FillTrack(HDC dc, const RECT& r) {
    const COLORREF face = GetSysColor(COLOR_SCROLLBAR);
    if (face != GetSysColor(COLOR_3DFACE)) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_SCROLLBAR));
        return;
    }
    const MemoryDC pattern(8, 8);
    const COLORREF light = GetSysColor(COLOR_3DHILIGHT);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) SetPixelV(pattern.Handle(), x, y, (x + y) % 2 ? face : light);
    HBRUSH brush = CreatePatternBrush(pattern.Bitmap());
    POINT old{};
    SetBrushOrgEx(dc, r.left, r.top, &old);
    FillRect(dc, &r, brush);
    SetBrushOrgEx(dc, old.x, old.y, nullptr);
    DeleteObject(brush);
}

} // namespace

void DrawScrollBar(HDC dc, const RECT& bar, bool vertical, const ScrollBarState& state) {
    if (IsRectEmpty(&bar)) return;
    const Geometry g = Measure(bar, vertical, state);
    const UINT inactive = CanScroll(state) ? 0u : UINT{DFCS_INACTIVE};
    auto pushed = [&state](ScrollPart part) { return state.pressed == part ? UINT{DFCS_PUSHED} : 0u; };
    RECT first = g.Part(kArrowFirst), second = g.Part(kArrowSecond);
    DrawFrameControl(dc, &first, DFC_SCROLL,
                     (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive | pushed(kArrowFirst));
    DrawFrameControl(dc, &second, DFC_SCROLL,
                     (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive | pushed(kArrowSecond));
    RECT track = vertical ? RECT{bar.left, first.bottom, bar.right, second.top}
                          : RECT{first.right, bar.top, second.left, bar.bottom};
    if (IsRectEmpty(&track)) return;
    FillTrack(dc, track);
    if (!g.thumb) return;
    for (ScrollPart page : {kPageFirst, kPageSecond}) {
        const RECT r = g.Part(page);
        if (state.pressed == page && !IsRectEmpty(&r)) FillRect(dc, &r, GetSysColorBrush(COLOR_3DDKSHADOW));
    }
    RECT thumb = g.Part(kThumb);
    FillRect(dc, &thumb, GetSysColorBrush(COLOR_3DFACE));
    DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
}

void TrackScrollBar(HWND hwnd, int bar, POINT screen) {
    AssertUnlocked();
    if (bar != SB_HORZ && bar != SB_VERT) return;
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w || w->threadId != GetCurrentThreadId()) return;
    }
    if (GetKeyState(VK_LBUTTON) >= 0) return;
    Geometry g;
    ScrollBarState s;
    POINT origin{};
    if (!BarOf(hwnd, bar, &g, &s, &origin) || !CanScroll(s)) return;
    const ScrollPart part = PartAt(g, POINT{screen.x - origin.x, screen.y - origin.y});
    if (part == kNoPart) return;
    const UINT msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    SetCapture(hwnd);
    if (part == kThumb)
        DragThumb(hwnd, bar, screen, msg);
    else
        RepeatPart(hwnd, bar, part, msg);
    if (!IsWindow(hwnd)) return;
    if (GetCapture() == hwnd) ReleaseCapture();
    SendMsg(hwnd, msg, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
}

} // namespace detail

using namespace detail;

namespace {

bool ValidBar(int bar) {
    if (bar == SB_HORZ || bar == SB_VERT) return true;
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

DWORD StyleOfBar(int bar) {
    return bar == SB_VERT ? WS_VSCROLL : bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL | WS_HSCROLL;
}

} // namespace

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL redraw) {
    if (!info || !ValidBar(bar)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int pos = 0;
    int show = -1; // -1: leave the bar as it is, else show (1) or take it away (0)
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return 0;
        ScrollBarState& s = w->scrollBars[bar];
        if (info->fMask & SIF_RANGE) {
            s.min = info->nMin;
            s.max = info->nMax;
        }
        if (info->fMask & SIF_PAGE) s.page = info->nPage;
        if (info->fMask & SIF_POS) s.pos = info->nPos;
        Normalize(s);
        if (info->fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)) {
            const bool shown = (w->style & StyleOfBar(bar)) != 0;
            s.disabled = false;
            const bool wanted = MaxPos(s) > s.min || (info->fMask & SIF_DISABLENOSCROLL);
            if (MaxPos(s) <= s.min && (info->fMask & SIF_DISABLENOSCROLL)) s.disabled = true;
            if (wanted != shown) show = wanted ? 1 : 0;
        }
        pos = s.pos;
    }
    if (show >= 0)
        ShowScrollBar(hwnd, bar, show);
    else if (redraw)
        RedrawBar(hwnd, bar);
    return pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
    if (!info || !ValidBar(bar)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return FALSE;
    const ScrollBarState& s = w->scrollBars[bar];
    if (info->fMask & SIF_RANGE) {
        info->nMin = s.min;
        info->nMax = s.max;
    }
    if (info->fMask & SIF_PAGE) info->nPage = s.page;
    if (info->fMask & SIF_POS) info->nPos = s.pos;
    if (info->fMask & SIF_TRACKPOS) info->nTrackPos = s.tracking ? s.trackPos : s.pos;
    return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
    const int previous = GetScrollPos(hwnd, bar);
    SCROLLINFO info;
    info.fMask = SIF_POS;
    info.nPos = pos;
    SetScrollInfo(hwnd, bar, &info, redraw);
    return previous;
}

int GetScrollPos(HWND hwnd, int bar) {
    SCROLLINFO info;
    info.fMask = SIF_POS;
    return GetScrollInfo(hwnd, bar, &info) ? info.nPos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw) {
    if (!ValidBar(bar) || !IsWindow(hwnd) || min > max) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    SCROLLINFO info;
    info.fMask = SIF_RANGE;
    info.nMin = min;
    info.nMax = max;
    SetScrollInfo(hwnd, bar, &info, redraw);
    return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max) {
    SCROLLINFO info;
    info.fMask = SIF_RANGE;
    if (!min || !max || !GetScrollInfo(hwnd, bar, &info)) return FALSE;
    *min = info.nMin;
    *max = info.nMax;
    return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
    if (bar != SB_BOTH && !ValidBar(bar)) return FALSE;
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return FALSE;
        const DWORD bits = StyleOfBar(bar);
        const DWORD style = show ? (w->style | bits) : (w->style & ~bits);
        if (style == w->style) return TRUE;
        w->style = style;
    }
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

} // namespace win
