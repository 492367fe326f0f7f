// The default handling of presses on a window's frame: the modal loop that
// moves or sizes the window (WM_SYSCOMMAND SC_MOVE / SC_SIZE), and the
// tracking of a press on a caption button. Both are nested message loops
// holding the capture: the mouse and the keys drive them, every other message
// is dispatched, and a WM_QUIT met on the way is posted again for the loop
// outside. The window follows the mouse as it is dragged (full-window
// dragging), and the loops end when their window goes or loses the capture.
#include "win/internal.h"

#include <algorithm>

namespace win {

namespace detail {
namespace {

// How far an arrow key moves the cursor during a move or size.
constexpr LONG kKeyStep = 8;

bool HasLeft(WPARAM edge) {
    return edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
}
bool HasRight(WPARAM edge) {
    return edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
}
bool HasTop(WPARAM edge) {
    return edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
}
bool HasBottom(WPARAM edge) {
    return edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
}

struct Drag {
    HWND hwnd{};
    bool sizing = false;
    WPARAM edge = 0; // WMSZ_; 0 until a size started from the keyboard picks one
    POINT grab{};    // the cursor when the drag (or the edge) started
    RECT start{};    // the window then (screen coordinates)
    RECT original{}; // where Escape puts it back
    MINMAXINFO limits{};
    POINT last{};
};

enum class Ending { Accept, Cancel };

LONG Limited(LONG size, LONG lo, LONG hi) {
    return std::clamp(size, lo, std::max(lo, hi));
}

// The rectangle the cursor at `p` asks for, within the tracking limits.
RECT Proposed(const Drag& d, POINT p) {
    const LONG dx = p.x - d.grab.x, dy = p.y - d.grab.y;
    RECT r = d.start;
    if (!d.sizing) {
        OffsetRect(&r, dx, dy);
        return r;
    }
    const POINT lo = d.limits.ptMinTrackSize, hi = d.limits.ptMaxTrackSize;
    if (HasLeft(d.edge)) r.left = r.right - Limited(r.right - (r.left + dx), lo.x, hi.x);
    if (HasRight(d.edge)) r.right = r.left + Limited(r.right + dx - r.left, lo.x, hi.x);
    if (HasTop(d.edge)) r.top = r.bottom - Limited(r.bottom - (r.top + dy), lo.y, hi.y);
    if (HasBottom(d.edge)) r.bottom = r.top + Limited(r.bottom + dy - r.top, lo.y, hi.y);
    return r;
}

// The window's rectangle on the screen and the screen point of its parent's
// client origin. False when the window is gone.
bool Where(HWND hwnd, RECT* rect, POINT* parentOrigin) {
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    if (!w) return false;
    *rect = WindowRectOnScreen(*w);
    *parentOrigin = POINT{0, 0};
    if (const Window* p = w->IsChild() ? GetWnd(w->parent) : nullptr) {
        const RECT pc = ClientRectOnScreen(*p);
        *parentOrigin = POINT{pc.left, pc.top};
    }
    return true;
}

// Puts the window at a screen rectangle. False when the window is gone.
bool Place(HWND hwnd, const RECT& r) {
    RECT now{};
    POINT origin{};
    if (!Where(hwnd, &now, &origin)) return false;
    if (now == r) return true;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (now.right - now.left == r.right - r.left && now.bottom - now.top == r.bottom - r.top)
        flags |= SWP_NOSIZE;
    SetWindowPos(hwnd, nullptr, r.left - origin.x, r.top - origin.y, r.right - r.left, r.bottom - r.top,
                 flags);
    return IsWindow(hwnd) != FALSE;
}

// The cursor moved to `p`: the window hears of the rectangle it is offered
// (WM_SIZING / WM_MOVING may change it) and goes there.
void Follow(Drag& d, POINT p) {
    if (p == d.last) return;
    d.last = p;
    if (d.sizing && !d.edge) return;
    RECT r = Proposed(d, p);
    SendMsg(d.hwnd, d.sizing ? WM_SIZING : WM_MOVING, d.sizing ? d.edge : 0, reinterpret_cast<LPARAM>(&r));
    if (IsWindow(d.hwnd)) Place(d.hwnd, r);
}

POINT MiddleOf(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Arrow keys move the cursor, which the window follows. A size started from
// the keyboard takes its edge from the first arrow, the cursor going there.
void Arrow(Drag& d, WPARAM vk) {
    if (d.sizing && !d.edge) {
        RECT now{};
        POINT origin{};
        if (!Where(d.hwnd, &now, &origin)) return;
        POINT p = MiddleOf(now);
        switch (vk) {
            case VK_LEFT:
                d.edge = WMSZ_LEFT;
                p.x = now.left;
                break;
            case VK_RIGHT:
                d.edge = WMSZ_RIGHT;
                p.x = now.right - 1;
                break;
            case VK_UP:
                d.edge = WMSZ_TOP;
                p.y = now.top;
                break;
            default:
                d.edge = WMSZ_BOTTOM;
                p.y = now.bottom - 1;
                break;
        }
        d.start = now;
        d.grab = d.last = p;
        SetCursorPos(p.x, p.y);
        return;
    }
    POINT p{};
    GetCursorPos(&p);
    p.x += vk == VK_LEFT ? -kKeyStep : vk == VK_RIGHT ? kKeyStep : 0;
    p.y += vk == VK_UP ? -kKeyStep : vk == VK_DOWN ? kKeyStep : 0;
    SetCursorPos(p.x, p.y);
}

bool IsArrow(WPARAM vk) {
    return vk == static_cast<WPARAM>(VK_LEFT) || vk == static_cast<WPARAM>(VK_RIGHT) ||
           vk == static_cast<WPARAM>(VK_UP) || vk == static_cast<WPARAM>(VK_DOWN);
}

bool IsMouseMessage(UINT m) {
    return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK);
}

bool IsKeyMessage(UINT m) {
    return m >= WM_KEYFIRST && m <= WM_KEYLAST;
}

bool HoldsCapture(HWND hwnd) {
    return IsWindow(hwnd) && GetCapture() == hwnd;
}

// Takes the next message for a loop that holds the capture of `hwnd`:
// input it returns, everything else it dispatches. False when the loop is
// to end: the window went, lost the capture, or a WM_QUIT came (posted again).
bool NextInput(HWND hwnd, MSG* m) {
    while (HoldsCapture(hwnd)) {
        const BOOL got = NameTheWait("the loop of a press on a window's frame",
                                     [m] { return GetMessage(m, nullptr, 0, 0); });
        if (got == 0) {
            PostQuitMessage(static_cast<int>(m->wParam));
            return false;
        }
        if (got < 0) return false;
        const bool input = IsMouseMessage(m->message) || IsKeyMessage(m->message);
        if (input && HoldsCapture(hwnd)) return true;
        // Input that came once the loop lost its hold goes where it was sent.
        if (input) TranslateMessage(m);
        DispatchMessage(m);
    }
    return false;
}

Ending RunDrag(Drag& d) {
    MSG m{};
    while (NextInput(d.hwnd, &m)) {
        switch (m.message) {
            case WM_MOUSEMOVE:
                Follow(d, m.pt);
                break;
            case WM_LBUTTONUP:
                Follow(d, m.pt);
                return Ending::Accept;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
                return Ending::Accept;
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                if (m.wParam == static_cast<WPARAM>(VK_ESCAPE)) return Ending::Cancel;
                if (m.wParam == static_cast<WPARAM>(VK_RETURN)) return Ending::Accept;
                if (IsArrow(m.wParam)) Arrow(d, m.wParam);
                break;
            default:
                break;
        }
    }
    return Ending::Accept;
}

// Where a move started from the keyboard takes hold of the window: the middle
// of its caption, or of the window without one.
POINT KeyboardGrip(HWND hwnd, bool sizing) {
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    if (!w) return POINT{};
    const RECT r = WindowRectOnScreen(*w);
    const NcLayout L = ComputeNcLayout(*w);
    if (sizing || IsRectEmpty(&L.caption)) return MiddleOf(r);
    RECT caption = L.caption;
    OffsetRect(&caption, r.left, r.top);
    return MiddleOf(caption);
}

} // namespace

void SizeMoveLoop(HWND hwnd, WPARAM command) {
    AssertUnlocked();
    Drag d;
    d.hwnd = hwnd;
    d.sizing = (command & 0xFFF0) == SC_SIZE;
    const WPARAM code = command & 0x000F;
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w || w->threadId != GetCurrentThreadId() || !IsVisibleChain(*w) || w->minimized || w->maximized)
            return;
        if (d.sizing && (!(w->style & WS_THICKFRAME) || code > WMSZ_BOTTOMRIGHT)) return;
        d.start = d.original = WindowRectOnScreen(*w);
        d.grab = CurrentQueue().lastMsg.pt;
    }
    // Without a hit code the command came from the keyboard (the window
    // menu's Move and Size); with one, from a press, which must still be down.
    const bool keyboard = code == 0;
    d.edge = d.sizing ? code : 0;
    if (!keyboard && GetKeyState(VK_LBUTTON) >= 0) return;
    if (keyboard) {
        d.grab = KeyboardGrip(hwnd, d.sizing);
        SetCursorPos(d.grab.x, d.grab.y);
    }
    d.last = d.grab;

    SetCapture(hwnd);
    if (!IsWindow(hwnd)) return;
    SendMsg(hwnd, WM_ENTERSIZEMOVE, 0, 0);
    if (!IsWindow(hwnd)) return;
    d.limits = QueryMinMax(hwnd);
    if (RunDrag(d) == Ending::Cancel) Place(hwnd, d.original);
    if (!IsWindow(hwnd)) return;
    if (GetCapture() == hwnd) ReleaseCapture();
    if (IsWindow(hwnd)) SendMsg(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

void TrackCaptionButton(HWND hwnd, LRESULT hit) {
    AssertUnlocked();
    WPARAM command = 0;
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        const RECT button = w ? ComputeNcLayout(*w).Button(hit) : RECT{};
        if (!w || w->threadId != GetCurrentThreadId() || IsRectEmpty(&button)) return;
        switch (hit) {
            case HTCLOSE:
                if (w->cls->wc.style & CS_NOCLOSE) return;
                command = SC_CLOSE;
                break;
            case HTMAXBUTTON:
                if (!(w->style & WS_MAXIMIZEBOX)) return;
                command = w->maximized ? SC_RESTORE : SC_MAXIMIZE;
                break;
            case HTMINBUTTON:
                if (!(w->style & WS_MINIMIZEBOX)) return;
                command = w->minimized ? SC_RESTORE : SC_MINIMIZE;
                break;
            default:
                return;
        }
    }
    if (GetKeyState(VK_LBUTTON) >= 0) return;
    auto press = [hwnd, hit](bool down) {
        {
            Guard g(Lock());
            Window* w = GetWnd(hwnd);
            if (!w || (w->ncPushed == hit) == down) return;
            w->ncPushed = down ? hit : HTNOWHERE;
        }
        DrawCaptionButton(hwnd, hit);
    };
    auto over = [hwnd, hit](POINT p) {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w) return false;
        RECT r = ComputeNcLayout(*w).Button(hit);
        const RECT wr = WindowRectOnScreen(*w);
        OffsetRect(&r, wr.left, wr.top);
        return PtInRect(&r, p) != FALSE;
    };

    SetCapture(hwnd);
    press(true);
    bool released = false;
    MSG m{};
    while (!released && NextInput(hwnd, &m)) {
        if (m.message == WM_MOUSEMOVE) press(over(m.pt));
        if (m.message == WM_LBUTTONUP) released = true;
    }
    const bool inside = released && over(m.pt);
    press(false);
    if (IsWindow(hwnd) && GetCapture() == hwnd) ReleaseCapture();
    if (inside && IsWindow(hwnd)) SendMsg(hwnd, WM_SYSCOMMAND, command, PointToLParam(m.pt));
}

} // namespace detail

} // namespace win
