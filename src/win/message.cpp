// Thread message queues: posting, sending (direct on the owning thread,
// waiting across threads while serving the sender's own incoming sends),
// retrieval in the original's order of priority, waits, translation and
// dispatch, and registered messages.
#include "win/internal.h"

#include "gfx/utf8.h"

#include <algorithm>
#include <cctype>

namespace win {

namespace detail {

namespace {

constexpr std::uint64_t kNever = UINT64_MAX;
const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(-1));

struct MessageState {
    std::map<DWORD, std::unique_ptr<ThreadQueue>> queues;
    std::map<std::string, UINT> registered;
    UINT nextRegistered = 0xC000;
};

MessageState& State() {
    static MessageState* state = new MessageState;
    return *state;
}

const std::thread::id g_mainThread = std::this_thread::get_id();

thread_local ThreadQueue* tQueue = nullptr;

// Ends the queue of a thread that used the window system when the thread
// ends. The main thread is left alone: at exit nothing may be called back.
struct QueueOwner {
    ~QueueOwner() {
        if (tQueue && std::this_thread::get_id() != g_mainThread) EndThreadQueue();
    }
};
thread_local QueueOwner tQueueOwner;

bool InRange(UINT msg, UINT lo, UINT hi) {
    if (lo == 0 && hi == 0) return true;
    if (lo <= hi) return msg >= lo && msg <= hi;
    return msg >= lo || msg <= hi;
}

bool IsDescendantOf(HWND ancestor, HWND hwnd) {
    for (Window* w = GetWnd(hwnd); w && w->parent; w = GetWnd(w->parent))
        if (w->parent == ancestor) return true;
    return false;
}

bool WindowMatches(HWND msgHwnd, HWND filter) {
    if (!filter) return true;
    if (filter == kThreadMessagesOnly) return msgHwnd == nullptr;
    return msgHwnd && (msgHwnd == filter || IsDescendantOf(filter, msgHwnd));
}

POINT CursorNow() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

void Finish(const std::shared_ptr<SentMessage>& sm, LRESULT result) {
    sm->result = result;
    sm->done = true;
    if (!sm->notify) WakeThread(sm->senderThread);
}

// Completes what nobody will serve any more (an ended thread, a reset).
void AbandonSent(ThreadQueue& q) {
    for (auto& sm : q.sent) Finish(sm, 0);
    q.sent.clear();
}

// What the queue holds (QS_ bits).
UINT QueueStatus(ThreadQueue& q) {
    RouteInput();
    UINT s = 0;
    if (!q.sent.empty()) s |= QS_SENDMESSAGE;
    if (!q.posted.empty() || q.quitPosted) s |= QS_POSTMESSAGE;
    for (const InputEvent& e : q.input) s |= InputStatus(e);
    if (!(s & QS_INPUT) && HasInput(q, nullptr, 0, 0)) s |= QS_MOUSEBUTTON;
    if (FindPaintWindow(q, nullptr, nullptr)) s |= QS_PAINT;
    if (IsTimerDue(q)) s |= QS_TIMER;
    return s;
}

// What the queue holds that arrived since the thread last looked at it: the
// waits for messages end only for such, so that a loop that leaves a message
// it has seen in the queue does not spin. Sent messages wait until served.
UINT NewQueueStatus(ThreadQueue& q) {
    UINT fresh = q.arrived | QS_SENDMESSAGE;
    if (TimerCameDue(q)) fresh |= QS_TIMER;
    return QueueStatus(q) & fresh;
}

// The thread has looked at the kinds of messages in `status`. Without timers
// the clock need not be read: any timer set later comes due after this look.
void MarkSeen(ThreadQueue& q, UINT status) {
    q.arrived &= ~status;
    if ((status & QS_TIMER) && !q.timers.empty()) q.timersSeenAt = Now();
}

// Something that GetMessage with this filter would return (sent messages
// count: they are served on the way).
bool HasMessageFor(ThreadQueue& q, HWND filter, UINT lo, UINT hi) {
    RouteInput();
    if (!q.sent.empty() || q.quitPosted) return true;
    for (const MSG& m : q.posted)
        if (InRange(m.message, lo, hi) && WindowMatches(m.hwnd, filter)) return true;
    if (filter != kThreadMessagesOnly) {
        if (HasInput(q, filter, lo, hi)) return true;
        if (InRange(WM_PAINT, lo, hi) && FindPaintWindow(q, filter, nullptr)) return true;
    }
    MSG m{};
    return InRange(WM_TIMER, lo, hi) && TakeDueTimer(q, filter, false, &m);
}

// Blocks until `ready` (checked under the lock) holds or the clock reaches
// `deadline`. Under a manual clock the idle handler runs first; when it does
// nothing the clock jumps to the next timer or the deadline, and when nothing
// can ever come WouldWaitForever, naming the waiting `call`, is thrown.
// Returns false on the deadline.
bool WaitUntil(ThreadQueue& q, const std::function<bool()>& ready, std::uint64_t deadline, const char* call) {
    UniqueGuard ul(Lock());
    for (;;) {
        if (ready()) return true;
        if (deadline != kNever && Now() >= deadline) return false;
        // A timer already due did not end this wait; the next one may.
        const std::uint64_t timer = NextTimerDueAfter(q, Now());
        const std::uint64_t wakeAt = std::min(deadline, timer);
        if (!IsManualClock()) {
            if (wakeAt == kNever)
                q.wake.wait(ul);
            else
                q.wake.wait_until(ul, RealTimeAt(wakeAt));
            continue;
        }
        ul.unlock();
        const bool did = RunIdleHandler();
        ul.lock();
        if (did) continue;
        if (ready()) return true;
        if (OtherThreadsAlive()) {
            if (wakeAt == kNever) {
                q.wake.wait(ul);
                continue;
            }
            q.wake.wait_for(ul, kOtherThreadGrace);
            if (ready()) return true;
        }
        if (wakeAt != kNever) {
            ul.unlock();
            AdvanceClockTo(wakeAt);
            ul.lock();
            continue;
        }
        throw WouldWaitForever(std::string(call) +
                               " waits for a message that nothing can send any more: no input, no timer and "
                               "no other thread is left to come under the manual clock");
    }
}

// Waits for the reply to a message sent to another thread, serving messages
// sent to this one meanwhile. False when `timeoutMs` passed first.
bool WaitForReply(const std::shared_ptr<SentMessage>& sm, bool serve, DWORD timeoutMs) {
    ThreadQueue& q = CurrentQueue();
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    UniqueGuard ul(Lock());
    while (!sm->done) {
        if (serve && !q.sent.empty()) {
            ul.unlock();
            ServeSentMessages();
            ul.lock();
            continue;
        }
        if (timeoutMs == INFINITE) {
            q.wake.wait(ul);
        } else if (q.wake.wait_until(ul, until) == std::cv_status::timeout && !sm->done) {
            sm->notify = true; // nobody waits any more
            return false;
        }
    }
    return true;
}

// Queues a message for another thread; nullptr when the window's thread is gone.
std::shared_ptr<SentMessage> QueueSent(DWORD target, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                       bool notify, std::function<LRESULT()> call) {
    ThreadQueue* q = QueueOf(target);
    if (!q) return nullptr;
    auto sm = std::make_shared<SentMessage>();
    sm->hwnd = hwnd;
    sm->message = msg;
    sm->wParam = wParam;
    sm->lParam = lParam;
    sm->senderThread = GetCurrentThreadId();
    sm->notify = notify;
    sm->call = std::move(call);
    q->sent.push_back(sm);
    q->wake.notify_all();
    return sm;
}

// The window procedure of a window of the calling thread, after the
// WH_CALLWNDPROC hooks have seen the message; nullptr when the window is gone.
WNDPROC ProcAfterHooks(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool sentByThisThread) {
    if (HasHooks(WH_CALLWNDPROC)) CallWndProcHooks(hwnd, msg, wParam, lParam, sentByThisThread);
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    return w ? w->proc : nullptr;
}

// The first half of every send: nothing is queued (`*sent` stays null) when the
// window belongs to the calling thread, else the message or call is queued for
// the owning thread. False, with the error set, for a bad window or a thread
// that has ended.
bool QueueForOwner(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool notify,
                   std::function<LRESULT()> call, std::shared_ptr<SentMessage>* sent) {
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return false;
    if (w->threadId == GetCurrentThreadId()) return true;
    *sent = QueueSent(w->threadId, hwnd, msg, wParam, lParam, notify, std::move(call));
    if (*sent) return true;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
}

// Sends a message (or runs `call`) on the thread that owns the window: at once
// when that is the calling thread, else waiting at most `timeoutMs` for the
// reply, serving messages sent to this thread meanwhile when `serve`. False,
// with the error set, for a bad window, an ended thread or a timeout.
bool Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, const std::function<LRESULT()>& call, bool serve,
          DWORD timeoutMs, LRESULT* result) {
    AssertUnlocked();
    std::shared_ptr<SentMessage> sm;
    if (!QueueForOwner(hwnd, msg, wParam, lParam, false, call, &sm)) return false;
    if (!sm) {
        if (call) {
            *result = call();
        } else {
            WNDPROC proc = ProcAfterHooks(hwnd, msg, wParam, lParam, true);
            *result = proc ? proc(hwnd, msg, wParam, lParam) : 0;
        }
        return true;
    }
    if (!WaitForReply(sm, serve, timeoutMs)) {
        SetLastError(ERROR_TIMEOUT);
        return false;
    }
    *result = sm->result;
    return true;
}

} // namespace

std::vector<std::uint32_t> DecodeUtf8(const std::string& s) {
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        int length = 0;
        const char32_t c = gfx::DecodeUtf8At(s, i, &length);
        if (length > 1 || c != gfx::kReplacementChar) out.push_back(c);
        i += static_cast<std::size_t>(length);
    }
    return out;
}

// ============================================================================
// Queues
// ============================================================================

ThreadQueue& CurrentQueue() {
    if (tQueue) return *tQueue;
    (void)&tQueueOwner;
    Guard g(Lock());
    const DWORD id = GetCurrentThreadId();
    auto& slot = State().queues[id];
    if (!slot) {
        slot = std::make_unique<ThreadQueue>();
        slot->id = id;
    }
    tQueue = slot.get();
    return *tQueue;
}

ThreadQueue& CreateQueueFor(DWORD threadId) {
    Guard g(Lock());
    auto& slot = State().queues[threadId];
    if (!slot) {
        slot = std::make_unique<ThreadQueue>();
        slot->id = threadId;
    }
    return *slot;
}

ThreadQueue* QueueOf(DWORD threadId) {
    AssertLocked();
    auto it = State().queues.find(threadId);
    return it != State().queues.end() && it->second->alive ? it->second.get() : nullptr;
}

void WakeThread(DWORD threadId) {
    if (ThreadQueue* q = QueueOf(threadId)) q->wake.notify_all();
}

void NoteArrival(DWORD threadId, UINT status) {
    AssertLocked();
    if (ThreadQueue* q = QueueOf(threadId)) {
        q->arrived |= status;
        q->wake.notify_all();
    }
}

UINT InputStatus(const InputEvent& event) {
    switch (event.kind) {
        case InputEvent::Key:
            return QS_KEY;
        case InputEvent::MouseMove:
            return QS_MOUSEMOVE;
        default:
            return QS_MOUSEBUTTON;
    }
}

void WakeAllThreads() {
    Guard g(Lock());
    for (auto& [id, q] : State().queues) q->wake.notify_all();
}

void ForEachQueue(const std::function<void(ThreadQueue&)>& fn) {
    Guard g(Lock());
    for (auto& [id, q] : State().queues) fn(*q);
}

bool OtherThreadsAlive() {
    const DWORD self = GetCurrentThreadId();
    for (auto& [id, q] : State().queues)
        if (id != self && q->alive) return true;
    return OtherStartedThreadsRunning();
}

void EndThreadQueue() {
    const DWORD id = GetCurrentThreadId();
    DestroyThreadWindows(id);
    {
        Guard g(Lock());
        auto it = State().queues.find(id);
        if (it != State().queues.end()) {
            ThreadQueue& q = *it->second;
            RemoveThreadHooks(q);
            RemoveThreadTimers(q);
            q.alive = false;
            AbandonSent(q);
            State().queues.erase(it);
        }
        tQueue = nullptr;
    }
    WakeAllThreads();
}

void PurgeWindowMessages(HWND hwnd) {
    AssertLocked();
    for (auto& [id, q] : State().queues)
        std::erase_if(q->posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
}

bool ServeSentMessages() {
    AssertUnlocked();
    ThreadQueue& q = CurrentQueue();
    bool any = false;
    for (;;) {
        std::shared_ptr<SentMessage> sm;
        {
            Guard g(Lock());
            if (q.sent.empty()) break;
            sm = q.sent.front();
            q.sent.pop_front();
            ++q.sendDepth;
        }
        struct Done {
            ThreadQueue& q;
            const std::shared_ptr<SentMessage>& sm;
            LRESULT result = 0;
            ~Done() {
                Guard g(Lock());
                --q.sendDepth;
                Finish(sm, result);
            }
        } done{q, sm};
        if (sm->call) {
            done.result = sm->call();
        } else {
            bool mine = false;
            {
                Guard g(Lock());
                Window* w = GetWnd(sm->hwnd);
                mine = w && w->threadId == q.id;
            }
            if (mine)
                if (WNDPROC proc = ProcAfterHooks(sm->hwnd, sm->message, sm->wParam, sm->lParam, false))
                    done.result = proc(sm->hwnd, sm->message, sm->wParam, sm->lParam);
        }
        any = true;
    }
    return any;
}

LRESULT SendMsg(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (hwnd == HWND_BROADCAST) {
        std::vector<HWND> windows;
        {
            Guard g(Lock());
            windows = TopLevelZOrder();
        }
        for (HWND h : windows) SendNotifyMessage(h, msg, wParam, lParam);
        return TRUE;
    }
    LRESULT result = 0;
    Send(hwnd, msg, wParam, lParam, nullptr, true, INFINITE, &result);
    return result;
}

LRESULT RunOnOwnerThread(HWND hwnd, const std::function<LRESULT()>& call) {
    LRESULT result = 0;
    Send(hwnd, WM_NULL, 0, 0, call, true, INFINITE, &result);
    return result;
}

void ResetMessageState() {
    Guard g(Lock());
    for (auto& [id, q] : State().queues) {
        q->posted.clear();
        AbandonSent(*q);
        RemoveThreadTimers(*q);
        q->quitPosted = false;
        q->quitCode = 0;
        q->arrived = 0;
        q->lastMsg = MSG{};
    }
}

} // namespace detail

using namespace detail;

// ============================================================================
// Posting and sending
// ============================================================================

BOOL PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!hwnd) return PostThreadMessage(GetCurrentThreadId(), msg, wParam, lParam);
    if (hwnd == HWND_BROADCAST) {
        std::vector<HWND> windows;
        {
            Guard g(Lock());
            windows = TopLevelZOrder();
        }
        for (HWND h : windows) PostMessage(h, msg, wParam, lParam);
        return TRUE;
    }
    const POINT pt = CursorNow();
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return FALSE;
    ThreadQueue* q = QueueOf(w->threadId);
    if (!q) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    q->posted.push_back(MSG{hwnd, msg, wParam, lParam, GetTickCount(), pt});
    NoteArrival(q->id, QS_POSTMESSAGE);
    return TRUE;
}

BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (threadId == GetCurrentThreadId()) CurrentQueue();
    const POINT pt = CursorNow();
    Guard g(Lock());
    ThreadQueue* q = QueueOf(threadId);
    if (!q) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    q->posted.push_back(MSG{nullptr, msg, wParam, lParam, GetTickCount(), pt});
    NoteArrival(threadId, QS_POSTMESSAGE);
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    ThreadQueue& q = CurrentQueue();
    Guard g(Lock());
    q.quitPosted = true;
    q.quitCode = exitCode;
    NoteArrival(q.id, QS_POSTMESSAGE);
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SendMsg(hwnd, msg, wParam, lParam);
}

LRESULT SendMessageTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                           std::uintptr_t* result) {
    LRESULT r = 0;
    if (!Send(hwnd, msg, wParam, lParam, nullptr, !(flags & SMTO_BLOCK), timeout, &r)) return 0;
    if (result) *result = static_cast<std::uintptr_t>(r);
    return 1;
}

BOOL SendNotifyMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<SentMessage> queued;
    if (!QueueForOwner(hwnd, msg, wParam, lParam, true, nullptr, &queued)) return FALSE;
    if (!queued) SendMsg(hwnd, msg, wParam, lParam);
    return TRUE;
}

BOOL InSendMessage() {
    ThreadQueue& q = CurrentQueue();
    Guard g(Lock());
    return q.sendDepth > 0 ? TRUE : FALSE;
}

// ============================================================================
// Retrieval
// ============================================================================

BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
    if (hwnd && hwnd != kThreadMessagesOnly && !IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const bool remove = (removeMsg & PM_REMOVE) != 0;
    ThreadQueue& q = CurrentQueue();
    ServeSentMessages();

    MSG m{};
    bool got = false;
    {
        Guard g(Lock());
        // What arrives from now on is new to the waits.
        MarkSeen(q, QS_ALLINPUT);
        RouteInput();
        for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
            if (!InRange(it->message, filterMin, filterMax) || !WindowMatches(it->hwnd, hwnd)) continue;
            m = *it;
            if (remove) q.posted.erase(it);
            got = true;
            break;
        }
        // The quit request passes every filter, after the posted messages.
        if (!got && q.quitPosted) {
            m = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, GetTickCount(), CursorNow()};
            if (remove) q.quitPosted = false;
            got = true;
        }
    }
    if (!got && hwnd != kThreadMessagesOnly) got = TakeInputMessage(&m, hwnd, filterMin, filterMax, remove);
    if (!got) {
        Guard g(Lock());
        HWND paint{};
        if (hwnd != kThreadMessagesOnly && InRange(WM_PAINT, filterMin, filterMax) &&
            FindPaintWindow(q, hwnd, &paint)) {
            m = MSG{paint, WM_PAINT, 0, 0, GetTickCount(), CursorNow()};
            got = true;
        } else if (InRange(WM_TIMER, filterMin, filterMax) && TakeDueTimer(q, hwnd, remove, &m)) {
            got = true;
        }
    }
    if (!got) return FALSE;
    {
        Guard g(Lock());
        q.lastMsg = m;
    }
    if (HasHooks(WH_GETMESSAGE)) CallGetMessageHooks(&m, remove);
    if (msg) *msg = m;
    return TRUE;
}

BOOL GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (!msg || (hwnd && hwnd != kThreadMessagesOnly && !IsWindow(hwnd))) {
        SetLastError(msg ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return -1;
    }
    ThreadQueue& q = CurrentQueue();
    for (;;) {
        if (PeekMessage(msg, hwnd, filterMin, filterMax, PM_REMOVE)) return msg->message == WM_QUIT ? 0 : 1;
        if (hwnd && hwnd != kThreadMessagesOnly && !IsWindow(hwnd)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return -1;
        }
        WaitUntil(
            q, [&] { return HasMessageFor(q, hwnd, filterMin, filterMax); }, kNever, "GetMessage");
    }
}

BOOL WaitMessage() {
    ThreadQueue& q = CurrentQueue();
    WaitUntil(
        q, [&] { return NewQueueStatus(q) != 0; }, kNever, "WaitMessage");
    Guard g(Lock());
    MarkSeen(q, QS_ALLINPUT);
    return TRUE;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                DWORD wakeMask) {
    if ((count > 0 && !handles) || count >= MAXIMUM_WAIT_OBJECTS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    // The objects, not the handles: closing a handle does not end the wait.
    std::vector<std::shared_ptr<Waitable>> objects(count);
    {
        Guard g(Lock());
        for (DWORD i = 0; i < count; ++i)
            if (!(objects[i] = WaitableOf(handles[i]))) {
                SetLastError(ERROR_INVALID_HANDLE);
                return WAIT_FAILED;
            }
    }
    ThreadQueue& q = CurrentQueue();
    DWORD result = WAIT_TIMEOUT;
    auto ready = [&] {
        if (waitAll && count > 0) {
            if (std::all_of(objects.begin(), objects.end(), [](const auto& o) { return IsSignaled(*o); })) {
                for (auto& o : objects) Acquire(*o);
                result = WAIT_OBJECT_0;
                return true;
            }
        } else {
            for (DWORD i = 0; i < count; ++i)
                if (IsSignaled(*objects[i])) {
                    Acquire(*objects[i]);
                    result = WAIT_OBJECT_0 + i;
                    return true;
                }
        }
        if (NewQueueStatus(q) & wakeMask) {
            MarkSeen(q, wakeMask);
            result = WAIT_OBJECT_0 + count;
            return true;
        }
        return false;
    };
    if (milliseconds == 0) {
        Guard g(Lock());
        return ready() ? result : WAIT_TIMEOUT;
    }
    const std::uint64_t deadline = milliseconds == INFINITE ? kNever : Now() + milliseconds;
    return WaitUntil(q, ready, deadline, "MsgWaitForMultipleObjects") ? result : WAIT_TIMEOUT;
}

DWORD GetQueueStatus(UINT flags) {
    ThreadQueue& q = CurrentQueue();
    Guard g(Lock());
    const UINT held = QueueStatus(q) & flags;
    const UINT fresh = NewQueueStatus(q) & flags;
    MarkSeen(q, flags);
    return static_cast<DWORD>(MAKELPARAM(static_cast<int>(fresh), static_cast<int>(held)));
}

BOOL GetInputState() {
    ThreadQueue& q = CurrentQueue();
    Guard g(Lock());
    return (QueueStatus(q) & (QS_KEY | QS_MOUSEBUTTON)) ? TRUE : FALSE;
}

LONG GetMessageTime() {
    ThreadQueue& q = CurrentQueue();
    Guard g(Lock());
    return static_cast<LONG>(q.lastMsg.time);
}

DWORD GetMessagePos() {
    ThreadQueue& q = CurrentQueue();
    Guard g(Lock());
    return static_cast<DWORD>(MAKELPARAM(q.lastMsg.pt.x, q.lastMsg.pt.y));
}

// ============================================================================
// Translation and dispatch
// ============================================================================

BOOL TranslateMessage(const MSG* msg) {
    if (!msg) return FALSE;
    const UINT m = msg->message;
    if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP) return FALSE;
    if (m == WM_KEYUP || m == WM_SYSKEYUP) return TRUE;
    const UINT charMsg = m == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
    for (std::uint32_t cp : DecodeUtf8(TakeKeyChars(*msg))) {
        if (msg->hwnd)
            PostMessage(msg->hwnd, charMsg, cp, msg->lParam);
        else
            PostThreadMessage(GetCurrentThreadId(), charMsg, cp, msg->lParam);
    }
    return TRUE;
}

LRESULT DispatchMessage(const MSG* msg) {
    AssertUnlocked();
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        const auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        bool valid = false;
        {
            Guard g(Lock());
            valid = TimerProcValid(msg->hwnd, msg->wParam, proc);
        }
        if (valid) proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd) return 0;
    WNDPROC proc = nullptr;
    {
        Guard g(Lock());
        Window* w = WndOrFail(msg->hwnd);
        if (!w) return 0;
        if (w->threadId != GetCurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return 0;
        }
        proc = w->proc;
    }
    return proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

UINT RegisterWindowMessage(const char* name) {
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string key(name);
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    Guard g(Lock());
    auto [it, inserted] = State().registered.emplace(key, 0);
    if (inserted) {
        if (State().nextRegistered == 0) {
            State().registered.erase(it);
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        it->second = State().nextRegistered++;
    }
    return it->second;
}

} // namespace win
