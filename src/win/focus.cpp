// Activation, foreground and keyboard focus, and the default processing of
// input-related messages.
//
// Each thread has its own active and focus window (ThreadQueue); one thread at
// a time is the foreground thread, whose active window is the foreground
// window, while the application as a whole has the foreground. The focus is
// always inside the active window of its thread or nowhere.
#include "win/internal.h"

#include <set>

namespace win {

namespace detail {
namespace {

struct FocusState {
    bool appForeground = true;
    DWORD foregroundThread = 0;
    HWND reactivate{}; // the window to activate when the application gets the foreground back
    std::set<HWND> frameActive;
};

FocusState& State() {
    static FocusState s;
    return s;
}

// Alt pressed and released with no other key between opens the window menu.
thread_local bool tAltAlone = false;

HWND Valid(HWND hwnd) {
    return GetWnd(hwnd) ? hwnd : nullptr;
}

std::vector<HWND> TopLevelsOfThread(DWORD thread) {
    std::vector<HWND> out;
    Guard g(Lock());
    for (HWND h : TopLevelZOrder()) {
        Window* w = GetWnd(h);
        if (w && w->threadId == thread) out.push_back(h);
    }
    return out;
}

void SendActivateApp(DWORD thread, bool active, DWORD otherThread) {
    for (HWND h : TopLevelsOfThread(thread))
        SendMsg(h, WM_ACTIVATEAPP, active ? TRUE : FALSE, static_cast<LPARAM>(otherThread));
}

WPARAM ActivateParam(WORD how, HWND hwnd) {
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    return MAKEWPARAM(how, w && w->minimized ? 1 : 0);
}

// Moves the focus of the calling thread; returns the previous focus.
HWND ChangeFocus(HWND hwnd) {
    ThreadQueue& q = CurrentQueue();
    HWND old;
    {
        Guard g(Lock());
        old = Valid(q.focus);
        if (old == hwnd) return old;
        q.focus = hwnd;
    }
    if (old) SendMsg(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd) {
        {
            Guard g(Lock());
            if (q.focus != hwnd || !GetWnd(hwnd)) return old;
        }
        SendMsg(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
    return old;
}

// The calling thread stops being the foreground thread: its active window is
// deactivated, its windows hear of it, and its focus goes.
void LoseForeground(HWND newActive, DWORD newThread) {
    ThreadQueue& q = CurrentQueue();
    HWND old;
    {
        Guard g(Lock());
        old = Valid(q.active);
    }
    if (old) {
        SendMsg(old, WM_NCACTIVATE, FALSE, 0);
        SendMsg(old, WM_ACTIVATE, ActivateParam(WA_INACTIVE, old), reinterpret_cast<LPARAM>(newActive));
    }
    {
        Guard g(Lock());
        if (q.active == old) q.active = nullptr;
        if (State().foregroundThread == q.id) State().foregroundThread = newThread;
    }
    SendActivateApp(q.id, false, newThread);
    ChangeFocus(nullptr);
}

// Runs `call` on the thread that owns some window of `thread`.
void RunOnThread(DWORD thread, HWND preferred, const std::function<void()>& call) {
    HWND any = preferred;
    if (!any) {
        auto windows = TopLevelsOfThread(thread);
        if (windows.empty()) return;
        any = windows.front();
    }
    if (thread == GetCurrentThreadId())
        call();
    else
        RunOnOwnerThread(any, [&call] {
            call();
            return LRESULT{0};
        });
}

void BringToTop(HWND hwnd) {
    bool below = false;
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w || w->IsChild()) return;
        bool topmost = (w->exStyle & WS_EX_TOPMOST) != 0;
        for (HWND h : TopLevelZOrder()) {
            if (h == hwnd) break;
            Window* other = GetWnd(h);
            if (!other || !other->Visible() || ((other->exStyle & WS_EX_TOPMOST) != 0) != topmost) continue;
            // Windows it owns stay above it.
            HWND owner = other->owner;
            bool owned = false;
            for (int depth = 0; owner && depth < 64; ++depth) {
                if (owner == hwnd) owned = true;
                Window* ow = GetWnd(owner);
                owner = ow ? ow->owner : nullptr;
            }
            if (!owned) below = true;
        }
    }
    if (below) SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool IsOwnedBy(HWND hwnd, HWND owner) {
    Window* w = GetWnd(hwnd);
    for (int depth = 0; w && w->owner && depth < 64; ++depth) {
        if (w->owner == owner) return true;
        w = GetWnd(w->owner);
    }
    return false;
}

bool CanTakeActivation(HWND hwnd, HWND leaving) {
    Window* w = GetWnd(hwnd);
    return w && hwnd != leaving && !w->IsChild() && !w->destroying && w->Visible() && w->Enabled() &&
           !(w->exStyle & WS_EX_NOACTIVATE) && !IsOwnedBy(hwnd, leaving);
}

// The window that takes over when `leaving` is hidden or destroyed: its owner
// when it can, else the highest window of the same thread that can.
HWND Successor(HWND leaving) {
    Guard g(Lock());
    Window* w = GetWnd(leaving);
    if (!w) return nullptr;
    if (CanTakeActivation(w->owner, leaving)) return w->owner;
    for (HWND h : TopLevelZOrder()) {
        Window* other = GetWnd(h);
        if (other && other->threadId == w->threadId && CanTakeActivation(h, leaving)) return h;
    }
    return nullptr;
}

bool ContainsFocus(const ThreadQueue& q, HWND hwnd) {
    for (HWND h = q.focus; h;) {
        if (h == hwnd) return true;
        Window* w = GetWnd(h);
        h = w && w->IsChild() ? w->parent : nullptr;
    }
    return false;
}

LRESULT SetCursorDefault(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    HWND parent{};
    HCURSOR classCursor{};
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w) return FALSE;
        if (w->IsChild()) parent = w->parent;
        classCursor = w->cls ? w->cls->wc.hCursor : nullptr;
    }
    if (parent && SendMsg(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
    // A parent asked on a child's behalf leaves the shape to the child.
    if (reinterpret_cast<HWND>(wParam) != hwnd) return FALSE;
    auto hit = static_cast<SHORT>(LOWORD(lParam));
    std::uintptr_t shape = IDC_ARROW;
    switch (hit) {
        case HTCLIENT:
            if (!classCursor) return FALSE;
            SetCursor(classCursor);
            return TRUE;
        case HTLEFT:
        case HTRIGHT:
            shape = IDC_SIZEWE;
            break;
        case HTTOP:
        case HTBOTTOM:
            shape = IDC_SIZENS;
            break;
        case HTTOPLEFT:
        case HTBOTTOMRIGHT:
            shape = IDC_SIZENWSE;
            break;
        case HTTOPRIGHT:
        case HTBOTTOMLEFT:
            shape = IDC_SIZENESW;
            break;
        case HTERROR: {
            // A press on a disabled window.
            const UINT button = HIWORD(lParam);
            if (button == WM_LBUTTONDOWN || button == WM_RBUTTONDOWN || button == WM_MBUTTONDOWN)
                MessageBeep(0);
            break;
        }
        default:
            break;
    }
    SetCursor(LoadSystemCursor(shape));
    return TRUE;
}

void SystemCommand(HWND hwnd, WPARAM command, LPARAM param) {
    HWND top = TopLevelOf(hwnd);
    if (top) SendMsg(top, WM_SYSCOMMAND, command, param);
}

// A context menu asked for from the keyboard has no point: (-1, -1).
void SendKeyboardContextMenu(HWND hwnd) {
    SendMsg(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(-1, -1));
}

// A left press on the frame: the caption activates the window and moves it,
// a sizing border sizes it, a caption button is tracked until released, a
// scroll bar runs its loop (through WM_SYSCOMMAND, as sizing does).
void NonClientPress(HWND hwnd, LRESULT hit, LPARAM lParam) {
    switch (hit) {
        case HTCAPTION:
            ClickActivate(TopLevelOf(hwnd));
            if (IsWindow(hwnd))
                SendMsg(hwnd, WM_SYSCOMMAND, SC_MOVE | static_cast<WPARAM>(HTCAPTION), lParam);
            break;
        case HTLEFT:
        case HTRIGHT:
        case HTTOP:
        case HTTOPLEFT:
        case HTTOPRIGHT:
        case HTBOTTOM:
        case HTBOTTOMLEFT:
        case HTBOTTOMRIGHT:
            SendMsg(hwnd, WM_SYSCOMMAND, SC_SIZE | static_cast<WPARAM>(hit - HTLEFT + WMSZ_LEFT), lParam);
            break;
        case HTCLOSE:
        case HTMINBUTTON:
        case HTMAXBUTTON:
            TrackCaptionButton(hwnd, hit);
            break;
        case HTVSCROLL:
            SendMsg(hwnd, WM_SYSCOMMAND, SC_VSCROLL | static_cast<WPARAM>(HTVSCROLL), lParam);
            break;
        case HTHSCROLL:
            SendMsg(hwnd, WM_SYSCOMMAND, SC_HSCROLL | static_cast<WPARAM>(HTHSCROLL), lParam);
            break;
        default:
            break;
    }
}

// A double click on the caption of a window that can be maximized maximizes
// or restores it.
void CaptionDoubleClick(HWND hwnd, LPARAM lParam) {
    WPARAM command = 0;
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w || !(w->style & WS_MAXIMIZEBOX)) return;
        command = w->maximized ? SC_RESTORE : SC_MAXIMIZE;
    }
    SendMsg(hwnd, WM_SYSCOMMAND, command, lParam);
}

void KeyDefault(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    bool altDown = (lParam & KF_ALTDOWN_BIT) != 0;
    switch (msg) {
        case WM_SYSKEYDOWN:
            if (wParam == static_cast<WPARAM>(VK_MENU)) {
                if (!(lParam & KF_REPEAT_BIT)) tAltAlone = true;
                return;
            }
            tAltAlone = false;
            if (wParam == static_cast<WPARAM>(VK_F4) && altDown) SystemCommand(hwnd, SC_CLOSE, 0);
            if (wParam == static_cast<WPARAM>(VK_F10) && !altDown && GetKeyState(VK_SHIFT) < 0 &&
                GetKeyState(VK_CONTROL) >= 0)
                SendKeyboardContextMenu(hwnd);
            return;
        case WM_SYSKEYUP: {
            bool menuKey = (wParam == static_cast<WPARAM>(VK_MENU) && tAltAlone) ||
                           wParam == static_cast<WPARAM>(VK_F10);
            tAltAlone = false;
            if (menuKey) SystemCommand(hwnd, SC_KEYMENU, 0);
            return;
        }
        case WM_SYSCHAR:
            if (altDown && wParam != '\r' && wParam != '\t' && wParam != 0x1B)
                SystemCommand(hwnd, SC_KEYMENU, static_cast<LPARAM>(wParam));
            return;
        default:
            tAltAlone = false;
    }
}

} // namespace

void ActivateWindow(HWND hwnd, WORD how, bool takeForeground) {
    AssertUnlocked();
    ThreadQueue& q = CurrentQueue();
    HWND old;
    DWORD otherThread = 0;
    HWND otherActive{};
    bool becomesForeground;
    bool frameActive;
    {
        Guard g(Lock());
        auto& s = State();
        old = Valid(q.active);
        bool foregroundHere = s.appForeground && s.foregroundThread == q.id;
        // Only the user (a click) or SetForegroundWindow takes the foreground
        // from another thread; otherwise the window becomes active for its
        // own thread in the background.
        bool elsewhere = hwnd && s.appForeground && s.foregroundThread && s.foregroundThread != q.id &&
                         QueueOf(s.foregroundThread);
        bool background = !s.appForeground || (elsewhere && !takeForeground);
        if (hwnd == old && (foregroundHere || background)) return;
        if (elsewhere && takeForeground) {
            otherThread = s.foregroundThread;
            otherActive = Valid(QueueOf(otherThread)->active);
        }
        becomesForeground = hwnd && !background && !foregroundHere;
        frameActive = !background;
    }
    if (otherThread) RunOnThread(otherThread, otherActive, [&] { LoseForeground(hwnd, q.id); });
    if (old && old != hwnd) {
        SendMsg(old, WM_NCACTIVATE, FALSE, 0);
        SendMsg(old, WM_ACTIVATE, ActivateParam(WA_INACTIVE, old), reinterpret_cast<LPARAM>(hwnd));
    }
    {
        Guard g(Lock());
        if (hwnd && !GetWnd(hwnd)) hwnd = nullptr;
        q.active = hwnd;
        if (hwnd && becomesForeground) State().foregroundThread = q.id;
        if (hwnd && !State().appForeground) State().reactivate = hwnd;
    }
    if (!hwnd) {
        ChangeFocus(nullptr);
        return;
    }
    if (becomesForeground) SendActivateApp(q.id, true, otherThread);
    BringToTop(hwnd);
    SendMsg(hwnd, WM_NCACTIVATE, frameActive ? TRUE : FALSE, 0);
    SendMsg(hwnd, WM_ACTIVATE, ActivateParam(how, hwnd),
            reinterpret_cast<LPARAM>(old == hwnd ? nullptr : old));
    bool focusOutside;
    {
        Guard g(Lock());
        HWND focus = Valid(q.focus);
        focusOutside = focus && (!Valid(q.active) || TopLevelOf(focus) != q.active);
    }
    if (focusOutside) ChangeFocus(nullptr);
}

void ClickActivate(HWND top) {
    AssertUnlocked();
    {
        Guard g(Lock());
        ThreadQueue& q = CurrentQueue();
        auto& s = State();
        Window* t = GetWnd(top);
        if (!t || !t->Enabled() || (t->exStyle & WS_EX_NOACTIVATE)) return;
        if (s.appForeground && s.foregroundThread == q.id && q.active == top) return;
        if (!s.appForeground) {
            s.appForeground = true;
            s.reactivate = nullptr;
        }
    }
    ActivateWindow(top, WA_CLICKACTIVE, true);
}

DWORD KeyboardThread() {
    Guard g(Lock());
    return State().appForeground ? State().foregroundThread : 0;
}

bool IsFrameActive(HWND hwnd) {
    Guard g(Lock());
    return State().frameActive.count(hwnd) != 0;
}

void ActivateOnShow(HWND hwnd) {
    DWORD thread;
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w || w->IsChild() || (w->exStyle & WS_EX_NOACTIVATE)) return;
        if (!State().appForeground) {
            State().reactivate = hwnd;
            return;
        }
        thread = w->threadId;
    }
    RunOnThread(thread, hwnd, [hwnd] { ActivateWindow(hwnd, WA_ACTIVE, false); });
}

void ActivateOtherOnHide(HWND hwnd) {
    DWORD thread;
    bool child;
    bool active;
    bool hasFocus;
    HWND parent{};
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w) return;
        if (State().reactivate == hwnd) State().reactivate = nullptr;
        thread = w->threadId;
        child = w->IsChild();
        parent = w->parent;
        ThreadQueue* q = QueueOf(thread);
        if (!q) return;
        active = !child && q->active == hwnd;
        hasFocus = ContainsFocus(*q, hwnd);
    }
    if (child) {
        if (hasFocus) RunOnThread(thread, hwnd, [parent] { SetFocus(parent); });
        return;
    }
    if (!active) return;
    HWND next = Successor(hwnd);
    RunOnThread(thread, hwnd, [next] {
        bool foreground;
        {
            Guard g(Lock());
            foreground = State().appForeground && State().foregroundThread == GetCurrentThreadId();
        }
        if (next)
            ActivateWindow(next, WA_ACTIVE, false);
        else if (foreground)
            LoseForeground(nullptr, 0);
        else
            ActivateWindow(nullptr, 0, false);
    });
}

void FocusForgetWindow(HWND hwnd) {
    AssertUnlocked();
    ThreadQueue* q = &CurrentQueue();
    bool active;
    bool focus;
    {
        Guard g(Lock());
        if (Window* w = GetWnd(hwnd))
            if (ThreadQueue* owner = QueueOf(w->threadId)) q = owner;
        auto& s = State();
        s.frameActive.erase(hwnd);
        if (s.reactivate == hwnd) s.reactivate = nullptr;
        active = q->active == hwnd;
    }
    if (active) ActivateOtherOnHide(hwnd);
    {
        Guard g(Lock());
        focus = q->focus == hwnd;
        if (focus) q->focus = nullptr;
        if (q->active == hwnd) q->active = nullptr;
    }
    if (focus) SendMsg(hwnd, WM_KILLFOCUS, 0, 0);
}

void ResetFocusState() {
    Guard g(Lock());
    State() = FocusState{};
    ThreadQueue& q = CurrentQueue();
    q.active = nullptr;
    q.focus = nullptr;
    tAltAlone = false;
}

bool DefInputProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    LRESULT r = 0;
    switch (msg) {
        case WM_MOUSEACTIVATE: {
            HWND parent{};
            {
                Guard g(Lock());
                Window* w = GetWnd(hwnd);
                if (w && w->IsChild()) parent = w->parent;
            }
            if (parent) r = SendMsg(parent, WM_MOUSEACTIVATE, wParam, lParam);
            // A left press on a caption activates through WM_NCLBUTTONDOWN.
            const bool caption =
                static_cast<SHORT>(LOWORD(lParam)) == HTCAPTION && HIWORD(lParam) == WM_LBUTTONDOWN;
            if (!r) r = caption ? MA_NOACTIVATE : MA_ACTIVATE;
            break;
        }
        case WM_NCLBUTTONDOWN:
            NonClientPress(hwnd, static_cast<LRESULT>(wParam), lParam);
            break;
        case WM_NCLBUTTONDBLCLK:
            // A quick second press on a scroll bar presses it again.
            if (static_cast<LRESULT>(wParam) == HTCAPTION)
                CaptionDoubleClick(hwnd, lParam);
            else if (static_cast<LRESULT>(wParam) == HTVSCROLL || static_cast<LRESULT>(wParam) == HTHSCROLL)
                NonClientPress(hwnd, static_cast<LRESULT>(wParam), lParam);
            break;
        case WM_SETCURSOR:
            r = SetCursorDefault(hwnd, wParam, lParam);
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) SetFocus(hwnd);
            break;
        case WM_NCACTIVATE: {
            Guard g(Lock());
            if (wParam)
                State().frameActive.insert(hwnd);
            else
                State().frameActive.erase(hwnd);
            Window* w = GetWnd(hwnd);
            bool framed = w && (w->client.left > 0 || w->client.top > 0 || w->client.right < w->Width() ||
                                w->client.bottom < w->Height());
            if (framed && w->Visible() && lParam != -1) {
                w->ncPaintPending = true;
                NoteArrival(w->threadId, QS_PAINT);
            }
            r = TRUE;
            break;
        }
        case WM_CANCELMODE:
            if (GetCapture() == hwnd) ReleaseCapture();
            break;
        case WM_MOUSEWHEEL: {
            HWND parent{};
            {
                Guard g(Lock());
                Window* w = GetWnd(hwnd);
                if (w && w->IsChild()) parent = w->parent;
            }
            if (parent) r = SendMsg(parent, msg, wParam, lParam);
            break;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_SYSCHAR:
            KeyDefault(hwnd, msg, wParam, lParam);
            break;
        case WM_KEYUP:
            if (wParam == static_cast<WPARAM>(VK_APPS)) SendKeyboardContextMenu(hwnd);
            break;
        case WM_RBUTTONUP: {
            POINT pt = PointFromLParam(lParam);
            ClientToScreen(hwnd, &pt);
            SendMsg(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), PointToLParam(pt));
            break;
        }
        case WM_NCRBUTTONUP:
            SendMsg(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), lParam);
            break;
        default:
            return false;
    }
    if (result) *result = r;
    return true;
}

} // namespace detail

using namespace detail;

HWND SetActiveWindow(HWND hwnd) {
    ThreadQueue& q = CurrentQueue();
    HWND top{};
    HWND previous;
    {
        Guard g(Lock());
        previous = Valid(q.active);
        if (hwnd) {
            const Window* target = WndOrFail(hwnd);
            if (!target) return nullptr;
            if (target->IsChild() && target->parent) return previous;
            top = TopLevelOf(hwnd);
            Window* w = GetWnd(top);
            if (!w || w->threadId != q.id) {
                SetLastError(ERROR_ACCESS_DENIED);
                return nullptr;
            }
        }
    }
    ActivateWindow(top, WA_ACTIVE, false);
    return previous;
}

HWND GetActiveWindow() {
    Guard g(Lock());
    return Valid(CurrentQueue().active);
}

BOOL SetForegroundWindow(HWND hwnd) {
    HWND top;
    DWORD thread;
    {
        Guard g(Lock());
        if (!WndOrFail(hwnd)) return FALSE;
        top = TopLevelOf(hwnd);
        Window* w = GetWnd(top);
        if (!w) return FALSE;
        thread = w->threadId;
        if (!State().appForeground) {
            State().appForeground = true;
            State().reactivate = nullptr;
        }
    }
    RunOnThread(thread, top, [top] { ActivateWindow(top, WA_ACTIVE, true); });
    return TRUE;
}

HWND GetForegroundWindow() {
    Guard g(Lock());
    if (!State().appForeground || !State().foregroundThread) return nullptr;
    ThreadQueue* q = QueueOf(State().foregroundThread);
    return q ? Valid(q->active) : nullptr;
}

HWND SetFocus(HWND hwnd) {
    ThreadQueue& q = CurrentQueue();
    if (!hwnd) return ChangeFocus(nullptr);
    HWND top;
    HWND before;
    bool activate;
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return nullptr;
        if (w->threadId != q.id) {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
        // A disabled window, or one inside a disabled one, cannot take the keyboard.
        for (Window* p = w; p; p = p->IsChild() ? GetWnd(p->parent) : nullptr)
            if (!p->Enabled()) return nullptr;
        top = TopLevelOf(hwnd);
        before = Valid(q.focus);
        if (before == hwnd) return before;
        activate = q.active != top;
    }
    if (!activate) return ChangeFocus(hwnd);
    ActivateWindow(top, WA_ACTIVE, false);
    {
        Guard g(Lock());
        if (!GetWnd(hwnd) || q.active != top) return nullptr;
    }
    ChangeFocus(hwnd);
    return before;
}

HWND GetFocus() {
    Guard g(Lock());
    return Valid(CurrentQueue().focus);
}

void SetApplicationForeground(bool foreground) {
    DWORD thread = 0;
    HWND target{};
    {
        Guard g(Lock());
        auto& s = State();
        if (s.appForeground == foreground) return;
        s.appForeground = foreground;
        if (!foreground) {
            thread = s.foregroundThread;
            ThreadQueue* q = thread ? QueueOf(thread) : nullptr;
            target = q ? Valid(q->active) : nullptr;
            s.reactivate = target;
        } else {
            target = s.reactivate;
            s.reactivate = nullptr;
            Window* w = GetWnd(target);
            if (!w || !w->Visible()) return;
            thread = w->threadId;
        }
    }
    if (!foreground) {
        if (thread) RunOnThread(thread, target, [] { LoseForeground(nullptr, 0); });
        return;
    }
    RunOnThread(thread, target, [target] { ActivateWindow(target, WA_ACTIVE, true); });
}

} // namespace win
