// MDI: the "MDICLIENT" system class that keeps a frame's child windows, the
// default procedures of the frame and of its children, and the keys that
// close and cycle the children.
#include "win/internal.h"

namespace win {

namespace detail {
namespace {

struct MdiState : ControlState {
    HWND active{};
    HMENU windowMenu{};
    UINT idFirstChild = 0;
};

std::shared_ptr<MdiState> MdiOf(HWND client) {
    return ControlStateOf<MdiState>(client, false);
}

HWND ParentOf(HWND hwnd) {
    Guard g(Lock());
    const Window* w = GetWnd(hwnd);
    return w ? w->parent : nullptr;
}

HWND ActiveChild(HWND client) {
    const auto s = MdiOf(client);
    return s ? s->active : nullptr;
}

// The child after `from` in z-order (wrapping), or the one before it with
// `previous`, that is visible and enabled.
HWND Neighbour(HWND client, HWND from, bool previous) {
    std::vector<HWND> children = GetChildWindows(client);
    if (previous) std::reverse(children.begin(), children.end());
    auto at = std::find(children.begin(), children.end(), from);
    if (at == children.end())
        at = children.begin();
    else
        ++at;
    std::rotate(children.begin(), at, children.end());
    for (HWND h : children)
        if (h != from && IsWindowVisible(h) && IsWindowEnabled(h)) return h;
    return nullptr;
}

// Brings the child to the top: WM_CHILDACTIVATE, which its procedure passes
// to DefMDIChildProc, activates it.
void BringChildToTop(HWND child) {
    SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool FrameIsActive(HWND client) {
    const HWND frame = ParentOf(client);
    return frame && GetActiveWindow() == frame;
}

void ChildActivate(HWND client, HWND child) {
    const auto s = MdiOf(client);
    if (!s) return;
    const HWND previous = s->active;
    if (previous == child) return;
    // A maximized child hands its state on to the child that takes its place.
    if (child && previous && IsZoomed(previous) && !IsZoomed(child) && IsWindow(child)) {
        ShowWindow(child, SW_SHOWMAXIMIZED);
        if (!ControlStateLives(client, s.get()) || s->active == child || !IsWindow(child)) return;
    }
    const bool frameActive = FrameIsActive(client);
    if (previous && IsWindow(previous)) {
        SendMsg(previous, WM_NCACTIVATE, FALSE, 0);
        SendMsg(previous, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(previous),
                reinterpret_cast<LPARAM>(child));
        if (!ControlStateLives(client, s.get())) return;
    }
    s->active = child && IsWindow(child) ? child : nullptr;
    if (!s->active) {
        if (previous && frameActive && (GetFocus() == previous || IsChild(previous, GetFocus())))
            SetFocus(client);
        return;
    }
    SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (frameActive) SendMsg(child, WM_NCACTIVATE, TRUE, 0);
    SendMsg(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(previous), reinterpret_cast<LPARAM>(child));
    const HWND focus = GetFocus();
    if (frameActive && IsWindow(child) && focus != child && !IsChild(child, focus)) SetFocus(child);
}

// The child is going: another one takes its place as the active child.
void ChildGoing(HWND client, HWND child) {
    if (ActiveChild(client) != child) return;
    if (HWND next = Neighbour(client, child, false)) BringChildToTop(next);
    if (ActiveChild(client) == child) ChildActivate(client, nullptr);
}

// Where a maximized child goes: its client area covers the MDI client's.
void MaximizedPlace(HWND child, MINMAXINFO* mmi) {
    RECT area{};
    DWORD style = 0, exStyle = 0;
    {
        Guard g(Lock());
        const Window* w = GetWnd(child);
        const Window* p = w ? GetWnd(w->parent) : nullptr;
        if (!p) return;
        area = RECT{0, 0, p->client.right - p->client.left, p->client.bottom - p->client.top};
        style = w->style;
        exStyle = w->exStyle;
    }
    AdjustWindowRectEx(&area, style, FALSE, exStyle);
    mmi->ptMaxPosition = POINT{area.left, area.top};
    mmi->ptMaxSize = POINT{area.right - area.left, area.bottom - area.top};
    mmi->ptMaxTrackSize.x = std::max(mmi->ptMaxTrackSize.x, mmi->ptMaxSize.x);
    mmi->ptMaxTrackSize.y = std::max(mmi->ptMaxTrackSize.y, mmi->ptMaxSize.y);
}

} // namespace

bool IsMdiClient(HWND hwnd) {
    return MdiOf(hwnd) != nullptr;
}

void MdiChildCreated(HWND client, HWND child) {
    if (!IsMdiClient(client) || !IsWindowVisible(child)) return;
    BringChildToTop(child);
}

LRESULT MdiClientWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE: {
            const auto s = ControlStateOf<MdiState>(hwnd, true);
            const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam);
            if (s && cs && cs->lpCreateParams) {
                const auto* ccs = static_cast<const CLIENTCREATESTRUCT*>(cs->lpCreateParams);
                s->windowMenu = ccs->hWindowMenu;
                s->idFirstChild = ccs->idFirstChild;
            }
            return 0;
        }
        case WM_NCDESTROY:
            DropControlState(hwnd);
            return 0;
        case WM_MDICREATE: {
            const auto* mcs = reinterpret_cast<const MDICREATESTRUCT*>(lParam);
            if (!mcs) return 0;
            const DWORD style = mcs->style | WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU |
                                WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE;
            return reinterpret_cast<LRESULT>(CreateWindowEx(WS_EX_MDICHILD, mcs->szClass, mcs->szTitle, style,
                                                            mcs->x, mcs->y, mcs->cx, mcs->cy, hwnd, nullptr,
                                                            mcs->hOwner, const_cast<MDICREATESTRUCT*>(mcs)));
        }
        case WM_MDIDESTROY: {
            const HWND child = reinterpret_cast<HWND>(wParam);
            if (ParentOf(child) != hwnd) return 0;
            ChildGoing(hwnd, child);
            DestroyWindow(child);
            return 0;
        }
        case WM_PARENTNOTIFY:
            if (LOWORD(wParam) == WM_DESTROY) ChildGoing(hwnd, reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_MDIACTIVATE: {
            const HWND child = reinterpret_cast<HWND>(wParam);
            if (ParentOf(child) == hwnd && ActiveChild(hwnd) != child) BringChildToTop(child);
            return 0;
        }
        case WM_MDIGETACTIVE: {
            const HWND active = ActiveChild(hwnd);
            if (lParam) *reinterpret_cast<BOOL*>(lParam) = active && IsZoomed(active) ? TRUE : FALSE;
            return reinterpret_cast<LRESULT>(active);
        }
        case WM_MDIMAXIMIZE: {
            const HWND child = reinterpret_cast<HWND>(wParam);
            if (ParentOf(child) == hwnd) ShowWindow(child, SW_SHOWMAXIMIZED);
            return 0;
        }
        case WM_MDIRESTORE: {
            const HWND child = reinterpret_cast<HWND>(wParam);
            if (ParentOf(child) == hwnd) SendMsg(child, WM_SYSCOMMAND, SC_RESTORE, 0);
            return 0;
        }
        case WM_MDINEXT: {
            const HWND from = wParam ? reinterpret_cast<HWND>(wParam) : ActiveChild(hwnd);
            const HWND to = from ? Neighbour(hwnd, from, lParam != 0) : nullptr;
            if (!to) return 0;
            BringChildToTop(to);
            // Going forward, the child left behind goes to the back of the cycle.
            if (lParam == 0 && IsWindow(from))
                SetWindowPos(from, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            return 0;
        }
        case WM_SIZE: {
            const HWND active = ActiveChild(hwnd);
            if (active && IsZoomed(active)) {
                const MINMAXINFO mmi = QueryMinMax(active);
                SetWindowPos(active, nullptr, mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, mmi.ptMaxSize.x,
                             mmi.ptMaxSize.y, SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return DefWindowProc(hwnd, msg, wParam, lParam);
        }
        case WM_SETFOCUS:
            if (const HWND active = ActiveChild(hwnd); active && !IsIconic(active)) SetFocus(active);
            return 0;
        case WM_NCACTIVATE:
            if (const HWND active = ActiveChild(hwnd)) SendMsg(active, WM_NCACTIVATE, wParam, lParam);
            return TRUE;
        default:
            return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace detail

using namespace detail;

LRESULT DefFrameProc(HWND hwnd, HWND mdiClient, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (mdiClient && IsMdiClient(mdiClient)) {
        switch (msg) {
            case WM_SETFOCUS:
                SetFocus(mdiClient);
                return 0;
            case WM_SIZE:
                MoveWindow(mdiClient, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
                return 0;
            case WM_NCACTIVATE:
                SendMsg(mdiClient, WM_NCACTIVATE, wParam, lParam);
                break;
            case WM_SYSCOMMAND:
                if ((wParam & 0xFFF0) == SC_NEXTWINDOW || (wParam & 0xFFF0) == SC_PREVWINDOW) {
                    SendMsg(mdiClient, WM_MDINEXT, 0, (wParam & 0xFFF0) == SC_PREVWINDOW);
                    return 0;
                }
                break;
            default:
                break;
        }
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

LRESULT DefMDIChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const HWND client = ParentOf(hwnd);
    if (!client || !IsMdiClient(client)) return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_CHILDACTIVATE:
            ChildActivate(client, hwnd);
            return 0;
        case WM_SETFOCUS:
            if (ActiveChild(client) != hwnd) ChildActivate(client, hwnd);
            break;
        case WM_CLOSE:
            SendMsg(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hwnd), 0);
            return 0;
        case WM_GETMINMAXINFO:
            DefWindowProc(hwnd, msg, wParam, lParam);
            MaximizedPlace(hwnd, reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        case WM_SIZE:
            // One maximized child at a time: the others are restored, without activation.
            if (wParam == SIZE_MAXIMIZED)
                for (HWND other : GetChildWindows(client))
                    if (other != hwnd && IsZoomed(other)) ShowWindowWithoutActivation(other, SW_RESTORE);
            break;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_MOVE:
                case SC_SIZE:
                    if (IsZoomed(hwnd)) return 0;
                    break;
                case SC_NEXTWINDOW:
                case SC_PREVWINDOW:
                    SendMsg(client, WM_MDINEXT, 0, (wParam & 0xFFF0) == SC_PREVWINDOW);
                    return 0;
                default:
                    break;
            }
            break;
        default:
            break;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

BOOL TranslateMDISysAccel(HWND mdiClient, const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
    const HWND active = ActiveChild(mdiClient);
    if (!active || !IsWindowEnabled(active)) return FALSE;
    if (!(GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000)) return FALSE;
    WPARAM command = 0;
    switch (static_cast<int>(msg->wParam)) {
        case VK_F4:
            command = SC_CLOSE;
            break;
        case VK_F6:
        case VK_TAB:
            command = (GetKeyState(VK_SHIFT) & 0x8000) ? SC_PREVWINDOW : SC_NEXTWINDOW;
            break;
        default:
            return FALSE;
    }
    SendMessage(active, WM_SYSCOMMAND, command, static_cast<LPARAM>(msg->wParam));
    return TRUE;
}

} // namespace win
