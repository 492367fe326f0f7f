// Internals of the window system shared by its source files: the lock, the
// records of classes, windows and thread queues, and the entry points by which
// the parts call each other. Not part of the public interface.
//
// Sections, in the order of the calls in user.h and driver.h:
//   Locking            the lock, its guards, AssertLocked
//   Records            classes, windows, sent messages, timers, input events, queues
//   window_class.cpp   class look-up and name keys
//   window.cpp         handles, geometry, visibility, hit-testing, destruction
//   message.cpp        queues, sending, waking
//   timer.cpp          the clock and timers
//   paint.cpp          update regions, visible regions, non-client drawing
//   input.cpp          routing and taking input, mouse tracking, key characters
//   sizemove.cpp       the move and size loop, caption buttons
//   scrollbar.cpp      the frame's scroll bars: drawing, parts, tracking
//   edit.cpp, listbox.cpp  the procedures of the system classes
//   hooks.cpp          hook chains
//   focus.cpp          activation, focus, default input processing
//   caret.cpp          carets
//   screen.cpp         metrics, monitors, broadcasts
//   compositor.cpp     surfaces, screen image, screen DCs
//   thread.cpp         started threads and their handles
//   cursor.cpp         system cursors
//   sound.cpp          message-box answers
//   Resets             what ResetWindowSystem calls, in its order
// defwindowproc.cpp, resources.cpp, theme.cpp and reset.cpp offer the others
// nothing but their resets.
#pragma once

#include "win/driver.h"

#include <atomic>
#include <cassert>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace win::detail {

// ============================================================================
// Locking
// ============================================================================

// All shared state is guarded by one recursive lock. User code (window
// procedures, hook procedures, timer procedures, message-box handlers) is
// never called while it is held: take what is needed, release, call, then
// look the window up again by its handle, since the call may have destroyed
// it. Functions marked "Locked." below expect the caller to hold the lock,
// those marked "Without the lock." expect it not to; debug builds know which
// thread holds the lock and check (AssertLocked, AssertUnlocked), release
// builds keep a plain recursive mutex.
class SystemLock {
public:
    void lock() {
        mutex_.lock();
#ifndef NDEBUG
        if (depth_++ == 0) owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
#endif
    }
    void unlock() {
#ifndef NDEBUG
        if (--depth_ == 0) owner_.store(std::thread::id(), std::memory_order_relaxed);
#endif
        mutex_.unlock();
    }
#ifndef NDEBUG
    bool HeldByThisThread() const {
        return owner_.load(std::memory_order_relaxed) == std::this_thread::get_id();
    }
#endif

private:
    std::recursive_mutex mutex_;
#ifndef NDEBUG
    std::atomic<std::thread::id> owner_{};
    int depth_ = 0; // changed only by the holder
#endif
};

// Never destroyed: threads and exit handlers may still take it at exit.
inline SystemLock& Lock() {
    static SystemLock* lock = new SystemLock;
    return *lock;
}
using Guard = std::lock_guard<SystemLock>;
using UniqueGuard = std::unique_lock<SystemLock>;

// The calling thread holds the lock, or does not (checked in debug builds).
inline void AssertLocked() {
#ifndef NDEBUG
    assert(Lock().HeldByThisThread());
#endif
}
inline void AssertUnlocked() {
#ifndef NDEBUG
    assert(!Lock().HeldByThisThread());
#endif
}

// ============================================================================
// Records
// ============================================================================

struct WindowClass {
    std::string name; // as registered
    std::string key;  // UpperKey(name), for look-up
    WNDCLASS wc;      // lpszClassName points at `name`
    ATOM atom = 0;
};

// What a system class (edit.cpp, listbox.cpp) keeps for each of its windows.
struct ControlState {
    virtual ~ControlState() = default;
};

// One of the scroll bars of a window's frame.
struct ScrollBarState {
    int min = 0;
    int max = 100;
    UINT page = 0;
    int pos = 0;
    bool disabled = false; // kept by SIF_DISABLENOSCROLL while there is nothing to scroll
    bool tracking = false; // the thumb is being dragged: it shows at trackPos
    int trackPos = 0;
    int pressed = 0; // the part held down (ScrollPart in scrollbar.cpp), 0 for none
};

struct Window {
    HWND handle{};
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string text;
    HWND parent{};              // WS_CHILD windows: the parent
    HWND owner{};               // top-level windows: the owner (GetWindow GW_OWNER)
    std::vector<HWND> children; // z-order, top first
    RECT rect{};                // window rectangle: parent client coordinates (screen for top-level)
    RECT client{};              // client rectangle in window coordinates (from WM_NCCALCSIZE)
    LONG_PTR userData = 0;
    LONG_PTR id = 0; // GWL_ID / the menu parameter of a child
    DWORD helpContextId = 0;
    HINSTANCE instance{};
    std::map<std::string, void*> props;
    std::vector<BYTE> extraBytes; // cbWndExtra
    DWORD threadId = 0;
    bool messageOnly = false; // created with HWND_MESSAGE as parent
    HMENU sysMenu{};          // its copy of the system menu (GetSystemMenu)
    HICON bigIcon{};          // WM_SETICON: the caller's, never destroyed here
    HICON smallIcon{};

    // State
    bool destroying = false;     // DestroyWindow under way: it takes no new parent
    bool destroyMsgSent = false; // WM_DESTROY sent to it
    bool ncDestroying = false;   // WM_NCDESTROY under way: it takes no new children either
    bool sendSizeMove = false;   // an overlapped window's first WM_SIZE and WM_MOVE wait for ShowWindow
    bool minimized = false;
    bool maximized = false;
    RECT normalRect{};      // restore rectangle
    bool redrawOff = false; // WM_SETREDRAW FALSE

    // Painting (client coordinates). The update region is a drawing-layer region.
    HRGN updateRgn{}; // nullptr = nothing to paint
    bool erasePending = false;
    bool ncPaintPending = false;
    bool internalPaint = false;
    HDC ownDC{};                  // CS_OWNDC
    LRESULT ncPushed = HTNOWHERE; // the caption button held down

    // Top-level windows: the retained surface holds the whole window rectangle.
    HBITMAP surface{};
    HRGN windowRgn{}; // window coordinates; owned

    // Layered windows
    bool layeredByUpdate = false; // UpdateLayeredWindow set the content (per-pixel alpha in the surface)
    bool layeredPerPixel = false; // ... and blends it by that alpha (ULW_ALPHA with AC_SRC_ALPHA)
    BYTE layeredAlpha = 255;
    COLORREF layeredKey = 0;
    DWORD layeredFlags = 0;       // LWA_ALPHA | LWA_COLORKEY
    ScrollBarState scrollBars[2]; // SB_HORZ, SB_VERT
    // A system class's state; its procedure holds a reference while it calls
    // out, and the state goes with the window record.
    std::shared_ptr<ControlState> control;

    BYTE animationAlpha = 255; // AnimateWindow's blend step (255 when none runs)
    RECT animationClip{};      // AnimateWindow's slide: the shown part (window coordinates); empty = all

    bool IsChild() const { return (style & WS_CHILD) != 0; }
    bool Visible() const { return (style & WS_VISIBLE) != 0; }
    bool Enabled() const { return (style & WS_DISABLED) == 0; }
    LONG Width() const { return rect.right - rect.left; }
    LONG Height() const { return rect.bottom - rect.top; }
};

struct SentMessage {
    HWND hwnd{};
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD senderThread = 0;
    bool notify = false; // SendNotifyMessage: nobody waits
    bool done = false;
    LRESULT result = 0;
    // An internal call run on the owning thread (cross-thread SetWindowPos etc.).
    std::function<LRESULT()> call;
};

struct Timer {
    HWND hwnd{};
    UINT_PTR id = 0;
    UINT elapse = 0;
    TIMERPROC proc = nullptr;
    std::uint64_t due = 0;
    std::uint64_t serial = 0; // creation order, for ties
};

// A raw input event waiting for the thread that owns its target.
struct InputEvent {
    enum Kind { MouseMove, MouseButton, MouseWheel, Key } kind = MouseMove;
    POINT pt{};
    int button = 0; // 0 left, 1 right, 2 middle
    bool down = false;
    int wheel = 0;
    int vk = 0;
    bool afterOtherKey = false; // an Alt release: another key went down while Alt was held
    std::string chars;
    DWORD time = 0;
};

struct ThreadQueue {
    DWORD id = 0;
    bool alive = true;
    std::condition_variable_any wake; // signalled when anything arrives
    std::deque<MSG> posted;
    std::deque<std::shared_ptr<SentMessage>> sent; // from other threads
    std::deque<InputEvent> input;                  // raw input routed to this thread
    std::vector<Timer> timers;                     // window and thread timers of this thread
    bool quitPosted = false;
    int quitCode = 0;
    // What arrived since the thread last looked at its queue (QS_ bits); sent
    // messages always count, timers by when they came due.
    UINT arrived = 0;
    std::uint64_t timersSeenAt = 0; // the clock when the thread last looked at its timers
    int sendDepth = 0;              // > 0 while handling a message sent by another thread
    MSG lastMsg{};                  // for GetMessageTime / GetMessagePos
    // Keyboard state as of the message last retrieved (GetKeyState).
    BYTE keyState[256] = {};
    // The input event that last changed each key of keyState.
    std::uint64_t keySerial[256] = {};
    // Per-thread input state
    HWND active{};
    HWND focus{};
    // Hook chains of this thread, newest first.
    struct Hook {
        HHOOK handle{};
        int id = 0;
        HOOKPROC proc = nullptr;
        bool removed = false;
    };
    std::vector<std::shared_ptr<Hook>> hooks;
    // The thread's caret; none while hwnd is null. Its place is in client
    // coordinates of its window; it shows while hideCount is 0.
    struct Caret {
        HWND hwnd{};
        POINT pos{};
        int width = 0;
        int height = 0;
        HBITMAP bitmap{};
        int hideCount = 1;
    } caret;
};

inline void DeleteRgn(HRGN rgn) {
    if (rgn) DeleteObject(rgn);
}

// ============================================================================
// window_class.cpp
// ============================================================================

// A class by name or integer atom; nullptr when none is registered. Locked.
std::shared_ptr<WindowClass> FindClass(const char* nameOrAtom);
// A name given as an integer atom (MAKEINTATOM) rather than a string.
bool IsIntAtom(const char* name);
// The key a class or property name is looked up by: upper-cased, "#n" for an atom.
std::string UpperKey(const char* name);

// ============================================================================
// window.cpp
// ============================================================================

// The window behind a handle, or nullptr (stale, null, special values). Locked;
// the pointer is good while the lock stays held.
Window* GetWnd(HWND hwnd);
// Same, setting ERROR_INVALID_WINDOW_HANDLE when there is none.
Window* WndOrFail(HWND hwnd);
// The desktop's pseudo window.
HWND DesktopHandle();
// Every live window, in no particular order. Locked.
std::vector<HWND> AllWindows();
// The top-level window of a window (itself for a top-level one).
HWND TopLevelOf(HWND hwnd);
// Top-level windows in z-order, top first (topmost band first). Locked.
const std::vector<HWND>& TopLevelZOrder();
// Screen rectangle of a window's client area / of its whole window.
RECT ClientRectOnScreen(const Window& w);
RECT WindowRectOnScreen(const Window& w);
// Offset of a window's (0,0) window coordinate inside its top-level window's surface.
POINT WindowOffsetInTop(const Window& w);
// True when the window and all its ancestors have WS_VISIBLE (the one test of
// visibility for drawing, IsWindowVisible and the mouse); a message-only
// window never is.
bool IsVisibleChain(const Window& w);

// The window's shape (rectangle and window region) holds the screen point.
bool InWindowShape(const Window& w, POINT screen);
// A walk from the top of the z-order down to the deepest visible window whose
// shape holds a screen point, entering a window's children only inside its
// client area. Both WindowFromPoint and the mouse leave the point of a disabled
// child with its parent, pass through the pixels of a layered window that do
// not show (zero alpha, the colour key, a constant alpha of 0) and never see a
// layered window with WS_EX_TRANSPARENT. They differ on a disabled top-level
// window: WindowFromPoint enters it, the mouse stops there (HTERROR).
struct PointWalk {
    bool mouse = false;
    std::vector<HWND> passOver; // windows that answered HTTRANSPARENT
};
// Locked.
HWND WindowAtPoint(POINT screen, const PointWalk& walk);

// Set in WINDOWPOS.flags when the client area kept its size / position; the
// default WM_WINDOWPOSCHANGED handling sends WM_SIZE / WM_MOVE on their absence.
constexpr UINT SWP_NOCLIENTSIZE = 0x0800;
constexpr UINT SWP_NOCLIENTMOVE = 0x1000;
// The default WM_WINDOWPOSCHANGING: a window with a sizing frame (or an
// overlapped one) keeps a new size within the tracking limits it gives in
// WM_GETMINMAXINFO. Without the lock.
void ClampToTrackingSize(HWND hwnd, int* cx, int* cy);

// The limits of a window's size: the defaults for its style and place, as
// the window changes them in WM_GETMINMAXINFO. Without the lock.
MINMAXINFO QueryMinMax(HWND hwnd);

// ShowWindow, but a child whose placement changes is not activated (no
// WM_CHILDACTIVATE): how MDI restores the child a maximized one replaces.
// Without the lock.
BOOL ShowWindowWithoutActivation(HWND hwnd, int cmd);

// Moves and sizes a window as SetWindowPos would, but without a message
// (UpdateLayeredWindow): the client area keeps its distances from the edges.
// Locked.
void PlaceWithoutMessages(Window& w, int x, int y, int cx, int cy);

// Destroys the windows a thread created (its end, or a reset on it).
void DestroyThreadWindows(DWORD threadId);

// ============================================================================
// message.cpp
// ============================================================================

// The calling thread's queue, created on first use.
ThreadQueue& CurrentQueue();
// A queue for a thread that is about to start.
ThreadQueue& CreateQueueFor(DWORD threadId);
// A thread's queue, or nullptr when it has none or has ended. Locked.
ThreadQueue* QueueOf(DWORD threadId);
// Ends the calling thread's queue: its windows, hooks and timers go, and what
// was sent to it is answered 0.
void EndThreadQueue();
// Some thread other than the caller can still post or send.
bool OtherThreadsAlive();
// Wakes a thread waiting for messages.
void WakeThread(DWORD threadId);
// Something of the kinds in `status` (QS_ bits) arrived in a thread's queue:
// it is new to the thread's waits, which it wakes. Locked.
void NoteArrival(DWORD threadId, UINT status);
// The QS_ kind of a raw input event.
UINT InputStatus(const InputEvent& event);
void WakeAllThreads();
void ForEachQueue(const std::function<void(ThreadQueue&)>& fn);
// Drops posted messages for a window that is going away. Locked.
void PurgeWindowMessages(HWND hwnd);

// Sends a message as the system does (hooks see it, window procedure runs,
// cross-thread sends wait). Shared by SendMessage and every internal sender.
// Without the lock, as are the next two.
LRESULT SendMsg(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Runs `call` on the thread that owns `hwnd` and returns its result: directly
// when that is the calling thread, else as a sent message (the caller waits,
// serving messages sent to it meanwhile). 0 when the owner has ended.
LRESULT RunOnOwnerThread(HWND hwnd, const std::function<LRESULT()>& call);
// Serves messages sent by other threads to the calling thread. Returns true
// when at least one ran.
bool ServeSentMessages();

// ============================================================================
// timer.cpp
// ============================================================================

std::uint64_t Now();
// Under a manual clock, how long (real time) a waiting thread gives the other
// threads to do something before it moves the clock to the end of its wait.
constexpr auto kOtherThreadGrace = std::chrono::milliseconds(5);
// Moves a manual clock forward to `time` (no-op when it is past).
void AdvanceClockTo(std::uint64_t time);
// The real time at which the clock reads `time` (real clock only).
std::chrono::steady_clock::time_point RealTimeAt(std::uint64_t time);
// Runs the idle handler; true when it did something. Without the lock.
bool RunIdleHandler();

// The earliest due time among all timers of a thread, and among those later
// than `time`; UINT64_MAX when none. Locked, as are the next three.
std::uint64_t NextTimerDue(const ThreadQueue& q);
std::uint64_t NextTimerDueAfter(const ThreadQueue& q, std::uint64_t time);
bool IsTimerDue(const ThreadQueue& q);
// A timer of the thread came due after the thread last looked at its timers.
bool TimerCameDue(const ThreadQueue& q);
// Timers of a queue that are due: fills a WM_TIMER for the earliest one
// passing the window filter and, when `remove`, schedules its next time. Locked.
bool TakeDueTimer(ThreadQueue& q, HWND filter, bool remove, MSG* msg);
// True when the timer exists with this procedure (DispatchMessage checks). Locked.
bool TimerProcValid(HWND hwnd, UINT_PTR id, TIMERPROC proc);
// Removes every timer of a window (DestroyWindow). Locked.
void KillWindowTimers(HWND hwnd);
void RemoveThreadTimers(ThreadQueue& q);

// ============================================================================
// paint.cpp
// ============================================================================

// The visible region of a window for drawing, in the coordinates of its own
// window (client = false) or client area (client = true): clipped by
// ancestors' client areas, siblings above it (WS_CLIPSIBLINGS), its children
// (WS_CLIPCHILDREN or `clipChildren`), and the window region. A new region.
// Locked.
HRGN VisibleRegion(HWND hwnd, bool client, bool clipChildren, bool clipSiblings);
// Invalidates (RDW_INVALIDATE) or validates (RDW_VALIDATE) `area` of a window
// and, per the flags and WS_CLIPCHILDREN, of its children, skipping `except`
// and its descendants. `area` is in window coordinates; nullptr is the whole
// window for RDW_FRAME, else the client area. Locked; no message is sent.
void RedrawArea(Window& w, const RECT* area, HRGN areaRgn, UINT flags, HWND except);
// Marks areas of windows invalid after a move, resize, show or z-order change
// (what became exposed), in screen coordinates.
void InvalidateScreenArea(const RECT& screenRect, HWND except);
// A window needs WM_PAINT.
bool NeedsPaint(const Window& w);
// True when a window of the thread needs WM_PAINT; fills the window. Locked.
bool FindPaintWindow(const ThreadQueue& q, HWND filter, HWND* out);
// Releases a window's painting resources (update region, own DC). Locked.
void PaintForgetWindow(Window& w);

// The parts of the non-client area, in window coordinates.
struct NcLayout {
    int border = 0;     // frame thickness on each side
    bool thick = false; // WS_THICKFRAME: the frame sizes the window
    RECT caption{};     // empty without a caption
    RECT sysMenu{}, minButton{}, maxButton{}, closeButton{}, helpButton{};
    RECT edge{};       // inside the frame and caption: where a client edge is drawn
    int edgeWidth = 0; // 2 for WS_EX_CLIENTEDGE, 1 for WS_EX_STATICEDGE
    RECT vScroll{}, hScroll{}, sizeBox{};
    // The caption button of a hit-test code; empty for other codes.
    RECT Button(LRESULT hit) const;
};
NcLayout ComputeNcLayout(const Window& w);
// Draws a window's frame, caption and scroll bars on `dc`, whose origin is
// the window's top-left corner.
void DrawNonClient(HWND hwnd, HDC dc);
// Draws one caption button (HTCLOSE, HTMAXBUTTON, ...) as it is now, pushed
// while Window::ncPushed names it. Without the lock.
void DrawCaptionButton(HWND hwnd, LRESULT hit);
// DefWindowProc's handling of WM_NCHITTEST, WM_NCCALCSIZE, WM_NCPAINT,
// WM_ERASEBKGND and WM_PRINT. Without the lock.
LRESULT DefHitTest(HWND hwnd, POINT screen);
void DefNcCalcSize(HWND hwnd, RECT* r);
void DefNcPaint(HWND hwnd);
LRESULT DefEraseBackground(HWND hwnd, HDC dc);
// DefPrint is false when it printed nothing (PRF_CHECKVISIBLE on a hidden window).
bool DefPrint(HWND hwnd, HDC dc, LPARAM flags);

// ============================================================================
// input.cpp
// ============================================================================

// Routes raw events from the injection queue to the queues of the threads that
// own their targets. Called by injection and by retrieval.
void RouteInput();
// Takes the next input message for the calling thread that passes the filter:
// hit-testing, the WH_MOUSE / WH_KEYBOARD hooks (with `remove`), activation on
// clicks, WM_SETCURSOR, double clicks, and key-state updates. Returns false
// when no input message is available. Without the lock.
bool TakeInputMessage(MSG* msg, HWND filter, UINT filterMin, UINT filterMax, bool remove);
// True when the calling thread has input waiting that passes the filter.
bool HasInput(const ThreadQueue& q, HWND filter, UINT filterMin, UINT filterMax);
// Called after windows moved, were sized, shown, hidden, re-stacked or
// destroyed: when the window under the still cursor, or the area of it the
// cursor is in, changed, a mouse move at the cursor is injected (it reaches
// the window now under it as WM_MOUSEMOVE, and its hit test ends tracking
// the cursor left). Tracking of a hidden window, or of one that lost the
// capture, posts its WM_MOUSELEAVE at once.
void CheckMouseTracking();
// Forgets a window that is being destroyed: focus, activation, tracking,
// double-click memory. Sends what the original sends (WM_KILLFOCUS, activation
// of another window). Called before its WM_DESTROY.
void InputForgetWindow(HWND hwnd);
// Takes the capture from a window that is being destroyed (WM_CAPTURECHANGED),
// after its WM_DESTROY.
void CaptureForgetWindow(HWND hwnd);
// The window holding the mouse capture when it belongs to the thread. Locked.
HWND CaptureOfThread(DWORD threadId);
// The UTF-8 characters the key of a WM_KEYDOWN / WM_SYSKEYDOWN retrieved by the
// calling thread produces (TranslateMessage turns them into WM_CHAR /
// WM_SYSCHAR). Each retrieved key's characters are handed out once; a message
// the system did not deliver (posted by the program) gets those of the US key
// map for the thread's keyboard state. Empty for other messages.
std::string TakeKeyChars(const MSG& msg);
// Code points of UTF-8 text; bytes that do not form a well-formed sequence
// are skipped.
std::vector<std::uint32_t> DecodeUtf8(const std::string& s);

// ============================================================================
// sizemove.cpp
// ============================================================================

// DefWindowProc's WM_SYSCOMMAND SC_MOVE / SC_SIZE: the loop that moves or
// sizes the window; the low four bits of `command` hold HTCAPTION or the
// WMSZ_ edge of the press that started it, or 0 for the keyboard. Without
// the lock.
void SizeMoveLoop(HWND hwnd, WPARAM command);
// DefWindowProc's press on a caption button (HTCLOSE, HTMINBUTTON,
// HTMAXBUTTON): the button shows pushed while the cursor is over it, and a
// release there sends the window its WM_SYSCOMMAND. Without the lock.
void TrackCaptionButton(HWND hwnd, LRESULT hit);

// ============================================================================
// scrollbar.cpp
// ============================================================================

// Draws one scroll bar of the frame in `bar` (coordinates of `dc`) with its
// arrows, track and thumb as the state has them.
void DrawScrollBar(HDC dc, const RECT& bar, bool vertical, const ScrollBarState& state);
// DefWindowProc's WM_SYSCOMMAND SC_VSCROLL / SC_HSCROLL: the loop that runs a
// press on a scroll bar of the frame at a screen point, sending WM_VSCROLL /
// WM_HSCROLL. Without the lock.
void TrackScrollBar(HWND hwnd, int bar, POINT screen);

// ============================================================================
// edit.cpp, listbox.cpp
// ============================================================================

// The window procedures of the system classes "EDIT" and "LISTBOX", which
// window_class.cpp registers and keeps across resets.
LRESULT EditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT ListBoxWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The state of type T a system class keeps for a window, made on first use;
// nullptr once the window is gone (or being destroyed, after WM_NCDESTROY
// dropped it). Without the lock.
template <class T> std::shared_ptr<T> ControlStateOf(HWND hwnd, bool create) {
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    if (!w) return nullptr;
    if (auto state = std::dynamic_pointer_cast<T>(w->control)) return state;
    if (!create || w->ncDestroying) return nullptr;
    auto state = std::make_shared<T>();
    w->control = state;
    return state;
}
// The state is still the window's: the window did not go while the procedure called out.
inline bool ControlStateLives(HWND hwnd, const ControlState* state) {
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    return w && w->control.get() == state;
}
inline void DropControlState(HWND hwnd) {
    Guard g(Lock());
    if (Window* w = GetWnd(hwnd)) w->control.reset();
}

// ============================================================================
// mdi.cpp, menu.cpp
// ============================================================================

// The procedure of the system class "MDICLIENT".
LRESULT MdiClientWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The window is an "MDICLIENT" window that keeps its children. Without the lock.
bool IsMdiClient(HWND hwnd);
// CreateWindowEx made an MDI child of `client`: a visible one is activated.
// Without the lock.
void MdiChildCreated(HWND client, HWND child);
// The window's system menu goes with it. Locked.
void FreeSystemMenu(Window& w);

// ============================================================================
// hooks.cpp
// ============================================================================

// Hook calls made by the message layer; return values as the hooks give them.
void CallWndProcHooks(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool sentByThisThread);
void CallGetMessageHooks(MSG* msg, bool remove);
LRESULT CallHooks(int idHook, int code, WPARAM wParam, LPARAM lParam);
bool HasHooks(int idHook);
void RemoveThreadHooks(ThreadQueue& q);

// ============================================================================
// focus.cpp
// ============================================================================

// Default processing of input-related messages (WM_MOUSEACTIVATE,
// WM_SETCURSOR, WM_NCLBUTTONDOWN, WM_NCLBUTTONDBLCLK, WM_MOUSEWHEEL,
// WM_ACTIVATE, WM_NCACTIVATE, WM_CANCELMODE, keyboard system keys, the
// right-button releases and keys that ask for WM_CONTEXTMENU). Returns true
// when it handled `msg`.
bool DefInputProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
// Activation changes caused by showing and hiding windows.
void ActivateOnShow(HWND hwnd);
void ActivateOtherOnHide(HWND hwnd);
// Activates a top-level window of the calling thread (nullptr deactivates)
// with WA_ACTIVE or WA_CLICKACTIVE: WM_NCACTIVATE / WM_ACTIVATE to the old and
// the new window, WM_ACTIVATEAPP when the foreground thread changes. Only with
// `takeForeground` (clicks, SetForegroundWindow) does it take the foreground
// from another thread; else the window is active for its thread alone.
// Without the lock.
void ActivateWindow(HWND top, WORD how, bool takeForeground);
// A click asks to activate `top` (WM_MOUSEACTIVATE answered MA_ACTIVATE*, or
// a press on a caption): activates it, bringing the application to the
// foreground, unless it already is the foreground window or cannot be
// activated (disabled, WS_EX_NOACTIVATE). Without the lock.
void ClickActivate(HWND top);
// True while DefWindowProc(WM_NCACTIVATE) last drew the window's frame active
// (the caption painter asks).
bool IsFrameActive(HWND hwnd);
// The thread that receives keyboard input (the foreground thread), 0 for none.
DWORD KeyboardThread();
// Focus and activation part of InputForgetWindow. Without the lock.
void FocusForgetWindow(HWND hwnd);

// ============================================================================
// caret.cpp
// ============================================================================

// A window that is being destroyed takes its thread's caret with it. Locked.
void CaretForgetWindow(const Window& w);

// ============================================================================
// screen.cpp
// ============================================================================

int SystemMetric(int index);
// Stores a metric without broadcasting (SwapMouseButton's SM_SWAPBUTTON).
void StoreSystemMetric(int index, int value);
// Default WM_NCCALCSIZE / WM_NCHITTEST / WM_NCPAINT geometry from styles:
// the thickness of each side, caption and scroll bars included (the original's
// AdjustWindowRectEx leaves the scroll bars out).
RECT NonClientInsets(DWORD style, DWORD exStyle);
// The rectangle all monitors span (screen coordinates) and the screen's depth.
RECT VirtualScreenRect();
int ScreenBitsPerPixel();
// Sends a message to every top-level window without waiting for other threads.
void BroadcastTopLevel(UINT msg, WPARAM wParam, LPARAM lParam);
// Repaints every visible top-level window with its frame and children, as
// the original does after a change of the system's look.
void RepaintTopLevel();

// ============================================================================
// compositor.cpp
// ============================================================================

// Allocates or resizes a top-level window's surface (keeping what it held).
void EnsureSurface(Window& w);
void FreeSurface(Window& w);
// The screen needs recomposition in this rectangle (screen coordinates).
void DirtyScreen(const RECT& r);
// Everything that changed on the screen image since the last call (composing
// first), for a presenter; ComposeScreen's own result serves one caller only.
RECT TakeScreenChanges();
// A DC on the composed screen (GetDC(nullptr)), drawing inside `visRgn`
// (screen coordinates; nullptr for the whole screen). What is drawn there
// stays over the windows as a difference from them until drawn again.
// ReleaseScreenDC is true when `dc` was one.
HDC GetScreenDC(HRGN visRgn);
bool ReleaseScreenDC(HDC dc);
// Called (without the lock) after each frame of AnimateWindow, which runs no
// message loop, so that a presenter can show the frames.
void SetFrameObserver(std::function<void()> observer);

// ============================================================================
// thread.cpp
// ============================================================================

// The object behind a thread or event handle, for waits; nullptr for a bad
// handle. A waiter keeps the object it waits on. Locked, as are the next two.
struct Waitable;
std::shared_ptr<Waitable> WaitableOf(HANDLE handle);
// A thread has ended; an event is set.
bool IsSignaled(const Waitable& object);
// A wait that the object satisfied takes it: an auto-reset event resets.
void Acquire(Waitable& object);
// A thread started by CreateThread, other than the caller, has not finished.
bool OtherStartedThreadsRunning();

// ============================================================================
// cursor.cpp
// ============================================================================

// The system cursor of an IDC_ identifier (LoadCursor with a null instance);
// nullptr for an unknown one. The handle is shared and kept until exit.
HCURSOR LoadSystemCursor(std::uintptr_t id);

// ============================================================================
// sound.cpp
// ============================================================================

// The button MessageBox answers without a handler (IDOK, IDYES, ...).
int DefaultMessageBoxAnswer(UINT type);

// ============================================================================
// Resets
// ============================================================================

// ResetWindowSystem first removes the calling thread's hooks (so that none
// watches the destruction) and destroys its windows, then has each part
// forget its state, in this order, and last ResetThemeState (win/theme.h).
void ResetInputState();  // input.cpp: injected and routed input, capture, tracking
void ResetFocusState();  // focus.cpp: activation, foreground, focus
void ResetCursorState(); // cursor.cpp: the current cursor and its show count
void ResetHooks();       // hooks.cpp: every thread's hooks
// window.cpp: every window left (those of other threads go without messages).
void ResetWindowState();
void ResetClassState();   // window_class.cpp: every class the program registered
void ResetMessageState(); // message.cpp: posted and sent messages, quits, timers
void ResetPaintState();   // paint.cpp: LockWindowUpdate
void ResetClock();        // timer.cpp: the real clock, tick resolution, idle handler
void ResetScreenState();  // screen.cpp: monitors, metrics, parameters, colours
void ResetCompositorState();
void ResetResourceState();  // resources.cpp: missing entry points (modules stay)
void ResetSoundState();     // sound.cpp: played sounds, the message-box handler
void ResetClipboardState(); // clipboard.cpp: the clipboard's content and global memory
void ResetMenuState();      // menu.cpp: every menu

} // namespace win::detail
