// The default window procedure: what DefWindowProc does with the messages a
// window procedure passes on.
#include "win/internal.h"

#include "gfx/utf8.h"

#include <utility>

namespace win {

using namespace detail;

namespace {

void DefPosChanging(HWND hwnd, WINDOWPOS* wp) {
    if (wp && !(wp->flags & SWP_NOSIZE)) ClampToTrackingSize(hwnd, &wp->cx, &wp->cy);
}

void DefPosChanged(HWND hwnd, const WINDOWPOS* wp) {
    if (!wp) return;
    LPARAM moveParam = 0, sizeParam = 0;
    WPARAM sizeType = SIZE_RESTORED;
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w) return;
        moveParam = MAKELPARAM(w->rect.left + w->client.left, w->rect.top + w->client.top);
        sizeParam = MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top);
        sizeType = w->minimized ? SIZE_MINIMIZED : w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
    }
    if (!(wp->flags & SWP_NOCLIENTMOVE)) SendMsg(hwnd, WM_MOVE, 0, moveParam);
    if (!(wp->flags & SWP_NOCLIENTSIZE) && IsWindow(hwnd)) SendMsg(hwnd, WM_SIZE, sizeType, sizeParam);
}

// F1 asks for help on the window that has the keyboard.
void SendHelp(HWND hwnd) {
    HWND target = GetFocus();
    if (!target) target = hwnd;
    HELPINFO info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = static_cast<int>(GetWindowLongPtr(target, GWL_ID));
    info.hItemHandle = target;
    info.dwContextId = GetWindowContextHelpId(target);
    GetCursorPos(&info.MousePos);
    SendMsg(target, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
}

} // namespace

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (msg == WM_KEYDOWN && wParam == static_cast<WPARAM>(VK_F1)) SendHelp(hwnd);
    if (DefInputProc(hwnd, msg, wParam, lParam, &result)) return result;

    switch (msg) {
        case WM_NCCREATE: {
            const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
            if (cs && cs->lpszName && !IsIntAtom(cs->lpszName)) {
                Guard g(Lock());
                if (Window* w = GetWnd(hwnd)) w->text = cs->lpszName;
            }
            return TRUE;
        }
        case WM_NCCALCSIZE:
            if (wParam)
                DefNcCalcSize(hwnd, &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]);
            else
                DefNcCalcSize(hwnd, reinterpret_cast<RECT*>(lParam));
            return 0;
        case WM_NCHITTEST:
            return DefHitTest(hwnd, PointFromLParam(lParam));
        case WM_NCPAINT:
            DefNcPaint(hwnd);
            return 0;
        case WM_NCACTIVATE:
            return TRUE;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return DefEraseBackground(hwnd, reinterpret_cast<HDC>(wParam));
        case WM_WINDOWPOSCHANGING:
            DefPosChanging(hwnd, reinterpret_cast<WINDOWPOS*>(lParam));
            return 0;
        case WM_WINDOWPOSCHANGED:
            DefPosChanged(hwnd, reinterpret_cast<const WINDOWPOS*>(lParam));
            return 0;
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE:
                    SendMsg(hwnd, WM_CLOSE, 0, 0);
                    break;
                case SC_MINIMIZE:
                    ShowWindow(hwnd, SW_MINIMIZE);
                    break;
                case SC_MAXIMIZE:
                    ShowWindow(hwnd, SW_MAXIMIZE);
                    break;
                case SC_RESTORE:
                    ShowWindow(hwnd, SW_RESTORE);
                    break;
                case SC_MOVE:
                case SC_SIZE:
                    SizeMoveLoop(hwnd, wParam);
                    break;
                case SC_VSCROLL:
                case SC_HSCROLL:
                    TrackScrollBar(hwnd, (wParam & 0xFFF0) == SC_VSCROLL ? SB_VERT : SB_HORZ,
                                   PointFromLParam(lParam));
                    break;
                default:
                    break;
            }
            return 0;
        case WM_SETTEXT: {
            Guard g(Lock());
            Window* w = GetWnd(hwnd);
            if (!w) return FALSE;
            w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
            if ((w->style & WS_CAPTION) == WS_CAPTION && IsVisibleChain(*w)) {
                w->ncPaintPending = true;
                NoteArrival(w->threadId, QS_PAINT);
            }
            return TRUE;
        }
        case WM_GETTEXT: {
            Guard g(Lock());
            Window* w = GetWnd(hwnd);
            if (!w) return 0;
            return static_cast<LRESULT>(gfx::CopyUtf8ToBuffer(w->text, reinterpret_cast<char*>(lParam),
                                                              static_cast<std::size_t>(wParam)));
        }
        case WM_GETTEXTLENGTH: {
            Guard g(Lock());
            Window* w = GetWnd(hwnd);
            return w ? static_cast<LRESULT>(w->text.size()) : 0;
        }
        case WM_SETICON: {
            Guard g(Lock());
            Window* w = GetWnd(hwnd);
            if (!w || wParam > ICON_BIG) return 0;
            HICON& slot = wParam == ICON_BIG ? w->bigIcon : w->smallIcon;
            const HICON previous = std::exchange(slot, reinterpret_cast<HICON>(lParam));
            if ((w->style & WS_CAPTION) == WS_CAPTION && IsVisibleChain(*w)) {
                w->ncPaintPending = true;
                NoteArrival(w->threadId, QS_PAINT);
            }
            return reinterpret_cast<LRESULT>(previous);
        }
        case WM_GETICON: {
            Guard g(Lock());
            const Window* w = GetWnd(hwnd);
            if (!w) return 0;
            if (wParam == ICON_BIG) return reinterpret_cast<LRESULT>(w->bigIcon);
            if (wParam == ICON_SMALL) return reinterpret_cast<LRESULT>(w->smallIcon);
            // ICON_SMALL2: the small icon, else the big one.
            return reinterpret_cast<LRESULT>(w->smallIcon ? w->smallIcon : w->bigIcon);
        }
        case WM_SETREDRAW: {
            Guard g(Lock());
            if (Window* w = GetWnd(hwnd)) w->redrawOff = wParam == 0;
            return 0;
        }
        case WM_PRINT:
            return DefPrint(hwnd, reinterpret_cast<HDC>(wParam), lParam) ? TRUE : FALSE;
        case WM_HELP: {
            // Up to the parent of a child, to the owner of a top-level window.
            HWND next{};
            {
                Guard g(Lock());
                if (Window* w = GetWnd(hwnd)) next = (w->style & WS_CHILD) ? w->parent : w->owner;
            }
            return next ? SendMsg(next, msg, wParam, lParam) : 0;
        }
        case WM_CONTEXTMENU: {
            HWND parent{};
            {
                Guard g(Lock());
                Window* w = GetWnd(hwnd);
                if (w && (w->style & WS_CHILD)) parent = w->parent;
            }
            return parent ? SendMsg(parent, msg, wParam, lParam) : 0;
        }
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            const bool window = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
            SetTextColor(dc, GetSysColor(window ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
            SetBkColor(dc, GetSysColor(window ? COLOR_WINDOW : COLOR_3DFACE));
            if (msg == WM_CTLCOLORSCROLLBAR)
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_SCROLLBAR));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(window ? COLOR_WINDOW : COLOR_3DFACE));
        }
        default:
            return 0;
    }
}

} // namespace win
