// The system class "EDIT": a single-line edit control. It keeps its text as
// characters (code points), so positions count characters; the text enters
// and leaves as UTF-8. It draws its text, selection and caret, scrolls
// sideways to keep the caret in view (in characters, as the original), edits
// from the keyboard and the mouse, cuts, copies and pastes through the
// clipboard, undoes the last change, and tells its parent of changes and
// focus through WM_COMMAND.
//
// An ES_MULTILINE edit is shown and edited as one line as well: a line break
// is never typed or pasted into it, but its formatting rectangle can be set
// (EM_SETRECT, EM_SETRECTNP), as only a multi-line edit allows.
//
// Everything that can run code of the parent (notifications, focus, capture)
// is followed by a check that the window still lives, so a parent may destroy
// the edit from any notification.
#include "win/internal.h"

#include "gfx/utf8.h"

#include <algorithm>
#include <unordered_map>

namespace win {

namespace detail {
namespace {

constexpr std::size_t kDefaultLimit = 30000;
constexpr std::size_t kNoLimit = 0x7FFFFFFE;

// The last change, to be undone. Typing and Backspace right after it extend it,
// so that one undo takes back a run of typing.
struct UndoRecord {
    bool valid = false;
    std::size_t pos = 0;      // where the change happened
    std::u32string removed;   // the text it took away
    std::size_t inserted = 0; // the characters it put in at pos
    bool typing = false;      // later typing may extend it
};

struct EditState : ControlState {
    ~EditState() override {
        if (measureDC) DeleteDC(measureDC);
    }

    HWND parent{}; // notifications go to the parent the edit was created under
    std::u32string text;
    std::size_t limit = kDefaultLimit;
    std::size_t anchor = 0; // the fixed end of the selection
    std::size_t caret = 0;  // the moving end, where the caret is
    std::size_t first = 0;  // the first character shown
    HFONT font{};
    int leftMargin = 0;
    int rightMargin = 0;
    RECT format{}; // where the text goes (client coordinates)
    bool customFormat = false;
    bool focused = false;
    bool modified = false;
    bool selecting = false; // the mouse selects, holding the capture
    UndoRecord undo;
    // Widths of characters in the font, measured once each.
    std::unordered_map<char32_t, int> widths;
    HDC measureDC{};
    int lineHeight = 0;

    std::size_t SelStart() const { return std::min(anchor, caret); }
    std::size_t SelEnd() const { return std::max(anchor, caret); }
};

using State = std::shared_ptr<EditState>;

DWORD StyleOf(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE));
}

// --- Text conversion ---

std::string ToUtf8(const std::u32string& text, std::size_t from, std::size_t to) {
    std::string out;
    out.reserve(to - from);
    for (std::size_t i = from; i < to; ++i) gfx::AppendUtf8(out, text[i]);
    return out;
}

std::size_t Utf8Size(const std::u32string& text) {
    std::size_t n = 0;
    for (char32_t c : text) n += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    return n;
}

// Well-formed characters of UTF-8 text; malformed bytes are dropped.
std::u32string FromUtf8(std::string_view text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        int length = 0;
        const char32_t c = gfx::DecodeUtf8At(text, i, &length);
        if (length > 1 || c != gfx::kReplacementChar) out += c;
        i += static_cast<std::size_t>(length);
    }
    return out;
}

// What typing or pasting may put into one line: up to the first line break,
// without other control characters.
std::u32string OneLine(const std::u32string& text) {
    std::u32string out;
    for (char32_t c : text) {
        if (c == U'\r' || c == U'\n') break;
        if (c >= 0x20 && c != 0x7F && gfx::IsScalarValue(c)) out += c;
    }
    return out;
}

// --- Measuring ---

HGDIOBJ FontOf(const EditState& s) {
    return s.font ? handle_cast<HGDIOBJ>(s.font) : GetStockObject(SYSTEM_FONT);
}

HDC MeasureDC(EditState& s) {
    if (!s.measureDC) {
        s.measureDC = CreateCompatibleDC(nullptr);
        SelectObject(s.measureDC, FontOf(s));
    }
    return s.measureDC;
}

void FontChanged(EditState& s) {
    s.widths.clear();
    HDC dc = MeasureDC(s);
    SelectObject(dc, FontOf(s));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    s.lineHeight = tm.tmHeight;
}

int CharWidth(EditState& s, char32_t c) {
    auto it = s.widths.find(c);
    if (it != s.widths.end()) return it->second;
    std::string bytes;
    gfx::AppendUtf8(bytes, c);
    SIZE size{};
    GetTextExtentPoint32(MeasureDC(s), bytes.c_str(), static_cast<int>(bytes.size()), &size);
    s.widths[c] = size.cx;
    return size.cx;
}

int Width(EditState& s, std::size_t from, std::size_t to) {
    int w = 0;
    for (std::size_t i = from; i < to; ++i) w += CharWidth(s, s.text[i]);
    return w;
}

int FormatWidth(const EditState& s) {
    return std::max<int>(1, s.format.right - s.format.left);
}

// The formatting rectangle from the client area and the margins.
void Reformat(HWND hwnd, EditState& s) {
    RECT client{};
    GetClientRect(hwnd, &client);
    s.customFormat = false;
    s.format = RECT{client.left + s.leftMargin, client.top, client.right - s.rightMargin, client.bottom};
    if (s.format.right < s.format.left) s.format.right = s.format.left;
}

// The x of the left edge of character `index` (client coordinates).
int XOf(EditState& s, std::size_t index) {
    if (index >= s.first) return s.format.left + Width(s, s.first, index);
    return s.format.left - Width(s, index, s.first);
}

// The character boundary nearest to x (client coordinates) among those shown;
// left of the text the one before the first shown, right of it the one after
// the last shown, so that dragging there scrolls.
std::size_t IndexAt(EditState& s, int x) {
    if (x < s.format.left) return s.first > 0 ? s.first - 1 : 0;
    int at = s.format.left;
    for (std::size_t i = s.first; i < s.text.size(); ++i) {
        const int w = CharWidth(s, s.text[i]);
        if (x < at + w / 2) return i;
        at += w;
        if (at > s.format.right) return std::min(i + 1, s.text.size());
    }
    return s.text.size();
}

// Scrolls so that the caret shows: by a third of the width when it went out of
// view, and no further than the end of the text needs.
void ScrollToCaret(EditState& s) {
    const int width = FormatWidth(s);
    if (s.caret < s.first) {
        std::size_t i = s.caret;
        for (int acc = 0; i > 0 && acc < width / 3; --i) acc += CharWidth(s, s.text[i - 1]);
        s.first = i;
    } else {
        int x = 0;
        for (std::size_t i = s.first; i < s.caret && x < width; ++i) x += CharWidth(s, s.text[i]);
        if (x >= width) {
            std::size_t j = s.caret;
            for (int acc = 0; j > 0;) {
                const int w = CharWidth(s, s.text[j - 1]);
                if (acc + w > width * 2 / 3) break;
                acc += w;
                --j;
            }
            s.first = std::max(j, s.first + 1);
        }
    }
    // No blank space after the end while earlier characters are hidden.
    int tail = 0;
    for (std::size_t i = s.first; i < s.text.size() && tail < width; ++i) tail += CharWidth(s, s.text[i]);
    while (s.first > 0 && tail < width) {
        const int w = CharWidth(s, s.text[s.first - 1]);
        if (tail + w >= width) break;
        tail += w;
        --s.first;
    }
}

// --- Notifications and drawing ---

// Tells the parent; false when the edit did not survive it.
bool Notify(HWND hwnd, const State& s, WORD code) {
    if (!s->parent || !IsWindow(s->parent)) return true;
    const auto id = static_cast<WORD>(GetWindowLongPtr(hwnd, GWL_ID));
    SendMsg(s->parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(hwnd));
    return ControlStateLives(hwnd, s.get());
}

// The caret of the thread goes only when this edit made it.
void DestroyOwnCaret(HWND hwnd) {
    GUITHREADINFO info;
    if (GetGUIThreadInfo(GetCurrentThreadId(), &info) && info.hwndCaret == hwnd) DestroyCaret();
}

void MakeCaret(HWND hwnd, const EditState& s) {
    CreateCaret(hwnd, nullptr, SystemMetric(SM_CXBORDER), s.lineHeight);
    ShowCaret(hwnd);
}

void Redraw(HWND hwnd, EditState& s) {
    if (s.focused) SetCaretPos(XOf(s, s.caret), s.format.top);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void Paint(HWND hwnd, EditState& s, HDC given) {
    PAINTSTRUCT ps;
    HDC dc = given ? given : BeginPaint(hwnd, &ps);
    if (!dc) return;
    const DWORD style = StyleOf(hwnd);
    const bool enabled = (style & WS_DISABLED) == 0;
    const UINT colorMsg = (style & ES_READONLY) || !enabled ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
    {
        SavedDC saved(dc);
        SelectObject(dc, FontOf(s));
        auto brush =
            reinterpret_cast<HBRUSH>(s.parent ? SendMsg(s.parent, colorMsg, reinterpret_cast<WPARAM>(dc),
                                                        reinterpret_cast<LPARAM>(hwnd))
                                              : 0);
        if (!brush)
            brush = reinterpret_cast<HBRUSH>(
                DefWindowProc(hwnd, colorMsg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
        RECT client{};
        GetClientRect(hwnd, &client);
        FillRect(dc, &client, brush);
        const COLORREF textColor = enabled ? GetTextColor(dc) : GetSysColor(COLOR_GRAYTEXT);
        IntersectClipRect(dc, s.format.left, s.format.top, s.format.right, s.format.bottom);
        SetBkMode(dc, TRANSPARENT);
        const bool showSelection = s.focused || (style & ES_NOHIDESEL);
        const std::size_t selStart = showSelection ? s.SelStart() : 0;
        const std::size_t selEnd = showSelection ? s.SelEnd() : 0;
        int x = s.format.left;
        std::size_t i = s.first;
        while (i < s.text.size() && x < s.format.right) {
            const bool selected = i >= selStart && i < selEnd;
            std::size_t j = i;
            int w = 0;
            while (j < s.text.size() && x + w < s.format.right && (j >= selStart && j < selEnd) == selected)
                w += CharWidth(s, s.text[j++]);
            const std::string run = ToUtf8(s.text, i, j);
            if (selected) {
                const RECT band{x, s.format.top, x + w, s.format.top + s.lineHeight};
                FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
                SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
            } else {
                SetTextColor(dc, textColor);
            }
            TextOut(dc, x, s.format.top, run.c_str(), static_cast<int>(run.size()));
            x += w;
            i = j;
        }
        if (s.focused) {
            const int cx = XOf(s, s.caret);
            const RECT line{cx, s.format.top, cx + SystemMetric(SM_CXBORDER), s.format.top + s.lineHeight};
            HBRUSH caret = CreateSolidBrush(textColor);
            FillRect(dc, &line, caret);
            DeleteObject(caret);
        }
    }
    if (!given) EndPaint(hwnd, &ps);
}

// --- Changing the text ---

bool IsReadOnly(HWND hwnd) {
    return (StyleOf(hwnd) & ES_READONLY) != 0;
}

// Replaces the selection with `insert` as the user does: within the limit
// (EN_MAXTEXT when it cuts), recorded for undo, then EN_UPDATE and EN_CHANGE.
// `typing` lets the change extend the last one for undo. False when the edit
// did not survive the notifications.
bool ReplaceSelection(HWND hwnd, const State& s, std::u32string insert, bool canUndo, bool typing) {
    const std::size_t start = s->SelStart(), end = s->SelEnd();
    const std::size_t kept = s->text.size() - (end - start);
    bool cut = false;
    if (kept + insert.size() > s->limit) {
        insert.resize(s->limit > kept ? s->limit - kept : 0);
        cut = true;
    }
    // Without ES_AUTOHSCROLL the text never grows past the formatting rectangle.
    if (!(StyleOf(hwnd) & ES_AUTOHSCROLL) && !insert.empty()) {
        int width = Width(*s, 0, start) + Width(*s, end, s->text.size());
        std::size_t fits = 0;
        while (fits < insert.size() && width + CharWidth(*s, insert[fits]) <= FormatWidth(*s))
            width += CharWidth(*s, insert[fits++]);
        if (fits < insert.size()) {
            insert.resize(fits);
            cut = true;
        }
    }
    if (cut && !Notify(hwnd, s, EN_MAXTEXT)) return false;
    if (insert.empty() && start == end) return true;

    UndoRecord& u = s->undo;
    if (canUndo) {
        if (typing && u.valid && u.typing && start == end && start == u.pos + u.inserted) {
            u.inserted += insert.size();
        } else {
            u = UndoRecord{true, start, s->text.substr(start, end - start), insert.size(), typing};
        }
    }
    s->text.replace(start, end - start, insert);
    s->anchor = s->caret = start + insert.size();
    s->modified = true;
    ScrollToCaret(*s);
    Redraw(hwnd, *s);
    return Notify(hwnd, s, EN_UPDATE) && Notify(hwnd, s, EN_CHANGE);
}

// Backspace: the selection, or the character before the caret. Right after
// typing it takes back typed characters from the undo record, so that one
// undo still restores the text as it was before the typing.
bool Backspace(HWND hwnd, const State& s) {
    if (s->anchor != s->caret) return ReplaceSelection(hwnd, s, U"", true, false);
    if (s->caret == 0) return true;
    const std::size_t at = s->caret - 1;
    UndoRecord& u = s->undo;
    if (u.valid && u.typing && s->caret == u.pos + u.inserted) {
        if (u.inserted > 0) {
            --u.inserted;
        } else {
            u.removed.insert(u.removed.begin(), s->text[at]);
            u.pos = at;
        }
    } else {
        u = UndoRecord{true, at, s->text.substr(at, 1), 0, true};
    }
    s->text.erase(at, 1);
    s->anchor = s->caret = at;
    s->modified = true;
    ScrollToCaret(*s);
    Redraw(hwnd, *s);
    return Notify(hwnd, s, EN_UPDATE) && Notify(hwnd, s, EN_CHANGE);
}

// Undo takes the last change back and selects what it put back; undoing
// again redoes it.
bool Undo(HWND hwnd, const State& s) {
    UndoRecord& u = s->undo;
    if (!u.valid) return true;
    const std::size_t pos = std::min(u.pos, s->text.size());
    const std::size_t inserted = std::min(u.inserted, s->text.size() - pos);
    std::u32string takenOut = s->text.substr(pos, inserted);
    const std::u32string putBack = u.removed;
    s->text.replace(pos, inserted, putBack);
    u = UndoRecord{true, pos, std::move(takenOut), putBack.size(), false};
    s->anchor = pos;
    s->caret = pos + putBack.size();
    s->modified = true;
    ScrollToCaret(*s);
    Redraw(hwnd, *s);
    return Notify(hwnd, s, EN_UPDATE) && Notify(hwnd, s, EN_CHANGE);
}

void SetText(HWND hwnd, EditState& s, const char* text) {
    s.text = FromUtf8(text ? text : "");
    s.anchor = s.caret = s.first = 0;
    s.undo = UndoRecord{};
    s.modified = false;
    Redraw(hwnd, s);
}

// --- Clipboard ---

void Copy(HWND hwnd, EditState& s) {
    if (s.anchor == s.caret) return;
    const std::string bytes = ToUtf8(s.text, s.SelStart(), s.SelEnd());
    if (!OpenClipboard(hwnd)) return;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
    if (auto* p = static_cast<char*>(GlobalLock(memory))) {
        std::copy(bytes.begin(), bytes.end(), p);
        p[bytes.size()] = '\0';
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}

std::u32string ClipboardText(HWND hwnd) {
    std::u32string text;
    if (!OpenClipboard(hwnd)) return text;
    if (HGLOBAL memory = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const char*>(GlobalLock(memory))) {
            const std::string_view bytes(p, GlobalSize(memory));
            text = FromUtf8(bytes.substr(0, bytes.find('\0')));
            GlobalUnlock(memory);
        }
    }
    CloseClipboard();
    return text;
}

bool Paste(HWND hwnd, const State& s) {
    if (IsReadOnly(hwnd)) return true;
    return ReplaceSelection(hwnd, s, OneLine(ClipboardText(hwnd)), true, false);
}

bool Clear(HWND hwnd, const State& s) {
    if (IsReadOnly(hwnd) || s->anchor == s->caret) return true;
    return ReplaceSelection(hwnd, s, U"", true, false);
}

// --- Moving the caret ---

bool IsSpace(char32_t c) {
    return c == U' ' || c == U'\t' || c == 0xA0 || c == 0x3000;
}

std::size_t WordLeft(const EditState& s, std::size_t i) {
    while (i > 0 && IsSpace(s.text[i - 1])) --i;
    while (i > 0 && !IsSpace(s.text[i - 1])) --i;
    return i;
}

std::size_t WordRight(const EditState& s, std::size_t i) {
    while (i < s.text.size() && !IsSpace(s.text[i])) ++i;
    while (i < s.text.size() && IsSpace(s.text[i])) ++i;
    return i;
}

// Moves the caret; with `extend` the anchor stays and the selection grows.
void MoveCaret(HWND hwnd, EditState& s, std::size_t to, bool extend) {
    s.caret = std::min(to, s.text.size());
    if (!extend) s.anchor = s.caret;
    ScrollToCaret(s);
    Redraw(hwnd, s);
}

bool KeyDown(HWND hwnd, const State& s, WPARAM vk) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool selection = s->anchor != s->caret;
    switch (vk) {
        case VK_LEFT: {
            std::size_t to = ctrl ? WordLeft(*s, s->caret) : s->caret > 0 ? s->caret - 1 : 0;
            if (selection && !shift && !ctrl) to = s->SelStart();
            MoveCaret(hwnd, *s, to, shift);
            return true;
        }
        case VK_RIGHT: {
            std::size_t to = ctrl ? WordRight(*s, s->caret) : s->caret + 1;
            if (selection && !shift && !ctrl) to = s->SelEnd();
            MoveCaret(hwnd, *s, to, shift);
            return true;
        }
        case VK_HOME:
            MoveCaret(hwnd, *s, 0, shift);
            return true;
        case VK_END:
            MoveCaret(hwnd, *s, s->text.size(), shift);
            return true;
        case VK_DELETE:
            if (shift) {
                Copy(hwnd, *s);
                return Clear(hwnd, s);
            }
            if (IsReadOnly(hwnd)) return true;
            if (!selection && s->caret < s->text.size()) s->caret = s->caret + 1;
            return ReplaceSelection(hwnd, s, U"", true, false);
        case VK_INSERT:
            if (ctrl) Copy(hwnd, *s);
            if (shift) return Paste(hwnd, s);
            return true;
        default:
            return false;
    }
}

void Char(HWND hwnd, const State& s, char32_t c) {
    switch (c) {
        case 0x01: // Ctrl+A
            s->anchor = 0;
            MoveCaret(hwnd, *s, s->text.size(), true);
            return;
        case 0x03: // Ctrl+C
            Copy(hwnd, *s);
            return;
        case 0x16: // Ctrl+V
            Paste(hwnd, s);
            return;
        case 0x18: // Ctrl+X
            Copy(hwnd, *s);
            Clear(hwnd, s);
            return;
        case 0x1A: // Ctrl+Z
            if (!IsReadOnly(hwnd)) Undo(hwnd, s);
            return;
        case 0x08:
            if (!IsReadOnly(hwnd)) Backspace(hwnd, s);
            return;
        default:
            break;
    }
    if (c < 0x20 || c == 0x7F || !gfx::IsScalarValue(c) || IsReadOnly(hwnd)) return;
    ReplaceSelection(hwnd, s, std::u32string(1, c), true, true);
}

// --- Mouse ---

void SelectWordAt(HWND hwnd, EditState& s, std::size_t i) {
    std::size_t from = i, to = i;
    const bool space = i < s.text.size() ? IsSpace(s.text[i]) : i > 0 && IsSpace(s.text[i - 1]);
    while (from > 0 && IsSpace(s.text[from - 1]) == space) --from;
    while (to < s.text.size() && IsSpace(s.text[to]) == space) ++to;
    s.anchor = from;
    MoveCaret(hwnd, s, to, true);
}

void ButtonDown(HWND hwnd, const State& s, LPARAM lParam, bool shift) {
    if (GetFocus() != hwnd) {
        SetFocus(hwnd);
        if (!ControlStateLives(hwnd, s.get())) return;
    }
    MoveCaret(hwnd, *s, IndexAt(*s, GET_X_LPARAM(lParam)), shift);
    // Taken first: taking it again tells the edit it lost it.
    SetCapture(hwnd);
    s->selecting = true;
}

// --- Messages with results ---

LRESULT GetSelection(const EditState& s, WPARAM wParam, LPARAM lParam) {
    const std::size_t start = s.SelStart(), end = s.SelEnd();
    if (auto* p = reinterpret_cast<DWORD*>(wParam)) *p = static_cast<DWORD>(start);
    if (auto* p = reinterpret_cast<DWORD*>(lParam)) *p = static_cast<DWORD>(end);
    if (start > 0xFFFF || end > 0xFFFF) return -1;
    return MAKELRESULT(static_cast<int>(start), static_cast<int>(end));
}

void SetSelection(HWND hwnd, EditState& s, WPARAM wParam, LPARAM lParam) {
    const auto start = static_cast<long long>(static_cast<int>(wParam));
    const auto end = static_cast<long long>(static_cast<int>(lParam));
    const std::size_t length = s.text.size();
    if (start < 0) {
        s.anchor = s.caret;
    } else {
        s.anchor = std::min(static_cast<std::size_t>(start), length);
        s.caret = end < 0 ? length : std::min(static_cast<std::size_t>(end), length);
    }
    ScrollToCaret(s);
    Redraw(hwnd, s);
}

void SetMargins(HWND hwnd, EditState& s, WPARAM which, LPARAM lParam) {
    auto margin = [&s](WORD value) {
        if (value != EC_USEFONTINFO) return static_cast<int>(value);
        TEXTMETRIC tm{};
        GetTextMetrics(MeasureDC(s), &tm);
        return static_cast<int>(tm.tmAveCharWidth / 4);
    };
    if (which & EC_LEFTMARGIN) s.leftMargin = margin(LOWORD(lParam));
    if (which & EC_RIGHTMARGIN) s.rightMargin = margin(HIWORD(lParam));
    Reformat(hwnd, s);
    ScrollToCaret(s);
}

} // namespace

LRESULT EditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const State s = ControlStateOf<EditState>(hwnd, msg != WM_NCDESTROY);
    if (!s) return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_NCCREATE: {
            const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
            if (cs) s->parent = cs->hwndParent;
            FontChanged(*s);
            Reformat(hwnd, *s);
            if (cs && cs->lpszName && !IsIntAtom(cs->lpszName)) s->text = FromUtf8(cs->lpszName);
            return DefWindowProc(hwnd, msg, wParam, lParam);
        }
        case WM_NCDESTROY:
            DropControlState(hwnd);
            return DefWindowProc(hwnd, msg, wParam, lParam);
        case WM_CREATE:
            Reformat(hwnd, *s);
            return 0;
        case WM_DESTROY:
            DestroyOwnCaret(hwnd);
            return 0;
        case WM_SIZE:
            Reformat(hwnd, *s);
            ScrollToCaret(*s);
            Redraw(hwnd, *s);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint(hwnd, *s, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ENABLE:
        case WM_STYLECHANGED:
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_SETFONT:
            s->font = reinterpret_cast<HFONT>(wParam);
            FontChanged(*s);
            SetMargins(hwnd, *s, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(EC_USEFONTINFO, EC_USEFONTINFO));
            if (s->focused) MakeCaret(hwnd, *s);
            if (lParam) Redraw(hwnd, *s);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(s->font);
        case WM_SETTEXT:
            DefWindowProc(hwnd, msg, wParam, lParam);
            SetText(hwnd, *s, reinterpret_cast<const char*>(lParam));
            if (!(StyleOf(hwnd) & ES_MULTILINE) && Notify(hwnd, s, EN_UPDATE)) Notify(hwnd, s, EN_CHANGE);
            return TRUE;
        case WM_GETTEXT: {
            const std::string text = ToUtf8(s->text, 0, s->text.size());
            return static_cast<LRESULT>(gfx::CopyUtf8ToBuffer(text, reinterpret_cast<char*>(lParam),
                                                              static_cast<std::size_t>(wParam)));
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(Utf8Size(s->text));
        case WM_GETDLGCODE:
            return DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS |
                   ((StyleOf(hwnd) & ES_MULTILINE) ? DLGC_WANTALLKEYS : 0);
        case WM_SETFOCUS:
            s->focused = true;
            MakeCaret(hwnd, *s);
            Redraw(hwnd, *s);
            Notify(hwnd, s, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            s->focused = false;
            DestroyOwnCaret(hwnd);
            Redraw(hwnd, *s);
            if (s->selecting && GetCapture() == hwnd) ReleaseCapture();
            if (ControlStateLives(hwnd, s.get())) Notify(hwnd, s, EN_KILLFOCUS);
            return 0;
        case WM_KEYDOWN:
            if (KeyDown(hwnd, s, wParam)) return 0;
            return DefWindowProc(hwnd, msg, wParam, lParam);
        case WM_CHAR:
            Char(hwnd, s, static_cast<char32_t>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
            ButtonDown(hwnd, s, lParam, (wParam & MK_SHIFT) != 0);
            return 0;
        case WM_LBUTTONDBLCLK:
            SelectWordAt(hwnd, *s, IndexAt(*s, GET_X_LPARAM(lParam)));
            return 0;
        case WM_MOUSEMOVE:
            if (s->selecting && GetCapture() == hwnd)
                MoveCaret(hwnd, *s, IndexAt(*s, GET_X_LPARAM(lParam)), true);
            return 0;
        case WM_LBUTTONUP:
            if (s->selecting && GetCapture() == hwnd) ReleaseCapture();
            return 0;
        case WM_CAPTURECHANGED:
            s->selecting = false;
            return 0;
        case WM_CUT:
            Copy(hwnd, *s);
            Clear(hwnd, s);
            return 0;
        case WM_COPY:
            Copy(hwnd, *s);
            return 0;
        case WM_PASTE:
            Paste(hwnd, s);
            return 0;
        case WM_CLEAR:
            Clear(hwnd, s);
            return 0;
        case WM_UNDO:
        case EM_UNDO:
            return s->undo.valid && !IsReadOnly(hwnd) && Undo(hwnd, s) ? TRUE : FALSE;
        case EM_CANUNDO:
            return s->undo.valid ? TRUE : FALSE;
        case EM_EMPTYUNDOBUFFER:
            s->undo = UndoRecord{};
            return 0;
        case EM_GETSEL:
            return GetSelection(*s, wParam, lParam);
        case EM_SETSEL:
            SetSelection(hwnd, *s, wParam, lParam);
            return 0;
        case EM_REPLACESEL: {
            const char* text = reinterpret_cast<const char*>(lParam);
            ReplaceSelection(hwnd, s, OneLine(FromUtf8(text ? text : "")), wParam != 0, false);
            return 0;
        }
        case EM_SCROLLCARET:
            ScrollToCaret(*s);
            Redraw(hwnd, *s);
            return TRUE;
        case EM_LIMITTEXT:
            s->limit = wParam == 0 ? kNoLimit : std::min<std::size_t>(wParam, kNoLimit);
            return 0;
        case EM_GETLIMITTEXT:
            return static_cast<LRESULT>(s->limit);
        case EM_GETMODIFY:
            return s->modified ? TRUE : FALSE;
        case EM_SETMODIFY:
            s->modified = wParam != 0;
            return 0;
        case EM_SETREADONLY: {
            const DWORD style = StyleOf(hwnd);
            SetWindowLongPtr(hwnd, GWL_STYLE, wParam ? (style | ES_READONLY) : (style & ~ES_READONLY));
            InvalidateRect(hwnd, nullptr, TRUE);
            return TRUE;
        }
        case EM_SETMARGINS:
            SetMargins(hwnd, *s, wParam, lParam);
            Redraw(hwnd, *s);
            return 0;
        case EM_GETMARGINS:
            return MAKELRESULT(s->leftMargin, s->rightMargin);
        case EM_GETRECT:
            if (auto* r = reinterpret_cast<RECT*>(lParam)) *r = s->format;
            return 0;
        case EM_SETRECT:
        case EM_SETRECTNP: {
            if (!(StyleOf(hwnd) & ES_MULTILINE)) return 0;
            if (const auto* r = reinterpret_cast<const RECT*>(lParam)) {
                s->format = *r;
                s->customFormat = true;
            } else {
                Reformat(hwnd, *s);
            }
            ScrollToCaret(*s);
            if (msg == EM_SETRECT) Redraw(hwnd, *s);
            return 0;
        }
        case EM_POSFROMCHAR: {
            const std::size_t i = std::min(static_cast<std::size_t>(wParam), s->text.size());
            return MAKELRESULT(XOf(*s, i), s->format.top);
        }
        case EM_CHARFROMPOS:
            return MAKELRESULT(static_cast<int>(IndexAt(*s, GET_X_LPARAM(lParam))), 0);
        default:
            return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace detail

} // namespace win
