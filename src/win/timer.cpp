// The clock (real or manual, with the idle handler of waiting threads), the
// tick counter, Sleep, and window and thread timers.
#include "win/internal.h"

#include <algorithm>
#include <atomic>

namespace win {

namespace detail {
namespace {

constexpr UINT kMinElapse = 10;
constexpr UINT kMaxElapse = 0x7FFFFFFF;

struct ClockState {
    std::atomic<bool> manual{false};
    std::atomic<std::uint64_t> manualNow{0};
    std::atomic<DWORD> resolution{10};
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::shared_ptr<IdleHandler> idle; // under the lock
    std::uint64_t serial = 0;
    UINT_PTR nextThreadTimer = 1;
};

ClockState& State() {
    static ClockState* state = new ClockState;
    return *state;
}

std::uint64_t RealNow() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - State().start)
                                          .count());
}

// A queue's timers form a heap with the next to fire at the front: ten
// thousand timers cost little more than ten.
bool Later(const Timer& a, const Timer& b) {
    return a.due != b.due ? a.due > b.due : a.serial > b.serial;
}

void Reheap(ThreadQueue& q) {
    std::make_heap(q.timers.begin(), q.timers.end(), Later);
}

// Keeps every timer's remaining time across a change of clock.
void Rebase(std::uint64_t from, std::uint64_t to) {
    ForEachQueue([from, to](ThreadQueue& q) {
        for (Timer& t : q.timers) t.due = to + (t.due > from ? t.due - from : 0);
        Reheap(q);
        const std::uint64_t ago = from - std::min(q.timersSeenAt, from);
        q.timersSeenAt = to > ago ? to - ago : 0;
    });
}

ThreadQueue* TimerQueueOf(HWND hwnd, bool* badWindow) {
    *badWindow = false;
    if (!hwnd) return &CurrentQueue();
    Window* w = GetWnd(hwnd);
    if (!w) {
        *badWindow = true;
        return nullptr;
    }
    return QueueOf(w->threadId);
}

bool Matches(const Timer& t, HWND filter) {
    if (!filter) return true;
    if (filter == reinterpret_cast<HWND>(static_cast<std::uintptr_t>(-1))) return t.hwnd == nullptr;
    if (!t.hwnd) return false;
    if (t.hwnd == filter) return true;
    for (Window* w = GetWnd(t.hwnd); w && w->parent; w = GetWnd(w->parent))
        if (w->parent == filter) return true;
    return false;
}

} // namespace

std::uint64_t Now() {
    ClockState& c = State();
    return c.manual.load() ? c.manualNow.load() : RealNow();
}

void AdvanceClockTo(std::uint64_t time) {
    ClockState& c = State();
    if (!c.manual.load()) return;
    std::uint64_t now = c.manualNow.load();
    while (now < time && !c.manualNow.compare_exchange_weak(now, time)) {}
    WakeAllThreads();
}

std::chrono::steady_clock::time_point RealTimeAt(std::uint64_t time) {
    return State().start +
           std::chrono::milliseconds(static_cast<std::int64_t>(std::min<std::uint64_t>(time, INT64_MAX / 2)));
}

bool RunIdleHandler() {
    AssertUnlocked();
    std::shared_ptr<IdleHandler> handler;
    {
        Guard g(Lock());
        handler = State().idle;
    }
    return handler && *handler && (*handler)();
}

void ResetClock() {
    Guard g(Lock());
    ClockState& c = State();
    if (c.manual.load()) {
        const std::uint64_t from = c.manualNow.load();
        c.manual = false;
        Rebase(from, RealNow());
    }
    c.resolution = 10;
    c.idle.reset();
}

std::uint64_t NextTimerDue(const ThreadQueue& q) {
    AssertLocked();
    return q.timers.empty() ? UINT64_MAX : q.timers.front().due;
}

std::uint64_t NextTimerDueAfter(const ThreadQueue& q, std::uint64_t time) {
    AssertLocked();
    const std::uint64_t first = NextTimerDue(q);
    if (first > time) return first;
    std::uint64_t next = UINT64_MAX;
    for (const Timer& t : q.timers)
        if (t.due > time) next = std::min(next, t.due);
    return next;
}

bool IsTimerDue(const ThreadQueue& q) {
    AssertLocked();
    return NextTimerDue(q) <= Now();
}

bool TimerCameDue(const ThreadQueue& q) {
    AssertLocked();
    const std::uint64_t now = Now();
    return std::any_of(q.timers.begin(), q.timers.end(),
                       [&](const Timer& t) { return t.due > q.timersSeenAt && t.due <= now; });
}

bool TakeDueTimer(ThreadQueue& q, HWND filter, bool remove, MSG* msg) {
    AssertLocked();
    const std::uint64_t now = Now();
    if (q.timers.empty() || q.timers.front().due > now) return false;
    Timer* best = nullptr;
    if (Matches(q.timers.front(), filter)) {
        best = &q.timers.front();
    } else {
        for (Timer& t : q.timers)
            if (t.due <= now && Matches(t, filter) && (!best || Later(*best, t))) best = &t;
        if (!best) return false;
    }
    POINT pt{};
    GetCursorPos(&pt);
    *msg = MSG{best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc), GetTickCount(), pt};
    if (remove) {
        // The next time keeps the timer's phase; periods missed meanwhile collapse into this one.
        auto reschedule = [now](Timer& t) { t.due += ((now - t.due) / t.elapse + 1) * t.elapse; };
        if (best == &q.timers.front()) {
            std::pop_heap(q.timers.begin(), q.timers.end(), Later);
            reschedule(q.timers.back());
            std::push_heap(q.timers.begin(), q.timers.end(), Later);
        } else {
            reschedule(*best);
            Reheap(q);
        }
    }
    return true;
}

bool TimerProcValid(HWND hwnd, UINT_PTR id, TIMERPROC proc) {
    AssertLocked();
    bool bad = false;
    ThreadQueue* q = TimerQueueOf(hwnd, &bad);
    if (!q) return false;
    return std::any_of(q->timers.begin(), q->timers.end(),
                       [&](const Timer& t) { return t.hwnd == hwnd && t.id == id && t.proc == proc; });
}

void KillWindowTimers(HWND hwnd) {
    AssertLocked();
    bool bad = false;
    if (ThreadQueue* q = TimerQueueOf(hwnd, &bad)) {
        std::erase_if(q->timers, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
        Reheap(*q);
    }
}

void RemoveThreadTimers(ThreadQueue& q) {
    q.timers.clear();
}

} // namespace detail

using namespace detail;

// ============================================================================
// Clock
// ============================================================================

void SetManualClock(bool manual) {
    Guard g(Lock());
    ClockState& c = State();
    if (c.manual.load() == manual) return;
    const std::uint64_t from = Now();
    c.manualNow = 0;
    c.manual = manual;
    Rebase(from, Now());
    WakeAllThreads();
}

bool IsManualClock() {
    return State().manual.load();
}

std::uint64_t ClockNow() {
    return Now();
}

void AdvanceClock(DWORD milliseconds) {
    ClockState& c = State();
    if (!c.manual.load()) return;
    c.manualNow += milliseconds;
    WakeAllThreads();
}

void SetTickResolution(DWORD milliseconds) {
    State().resolution = std::max<DWORD>(milliseconds, 1);
}

void SetIdleHandler(IdleHandler handler) {
    Guard g(Lock());
    State().idle = handler ? std::make_shared<IdleHandler>(std::move(handler)) : nullptr;
}

DWORD GetTickCount() {
    const DWORD res = State().resolution.load();
    return static_cast<DWORD>(Now() / res * res);
}

void Sleep(DWORD milliseconds) {
    if (IsManualClock()) {
        AdvanceClock(milliseconds);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// ============================================================================
// Timers
// ============================================================================

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    Guard g(Lock());
    bool bad = false;
    ThreadQueue* q = TimerQueueOf(hwnd, &bad);
    if (bad || !q) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (hwnd && q->id != GetCurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    elapse = std::clamp(elapse, kMinElapse, kMaxElapse);
    ClockState& c = State();
    Timer* timer = nullptr;
    if (hwnd || id) {
        for (Timer& t : q->timers)
            if (t.hwnd == hwnd && t.id == id) timer = &t;
    }
    if (!timer) {
        if (!hwnd) {
            auto used = [q](UINT_PTR candidate) {
                return std::any_of(q->timers.begin(), q->timers.end(),
                                   [candidate](const Timer& t) { return !t.hwnd && t.id == candidate; });
            };
            do {
                id = c.nextThreadTimer++;
                if (c.nextThreadTimer == 0) c.nextThreadTimer = 1;
            } while (id == 0 || used(id));
        }
        q->timers.push_back(Timer{});
        timer = &q->timers.back();
        timer->hwnd = hwnd;
        timer->id = id;
    }
    const bool fresh = timer == &q->timers.back() && timer->serial == 0;
    timer->elapse = elapse;
    timer->proc = proc;
    timer->due = Now() + elapse;
    timer->serial = ++c.serial;
    if (fresh)
        std::push_heap(q->timers.begin(), q->timers.end(), Later);
    else
        Reheap(*q);
    q->wake.notify_all();
    return hwnd && id == 0 ? 1 : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    Guard g(Lock());
    bool bad = false;
    ThreadQueue* q = TimerQueueOf(hwnd, &bad);
    if (bad || !q) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    auto it = std::find_if(q->timers.begin(), q->timers.end(),
                           [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == q->timers.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    q->timers.erase(it);
    Reheap(*q);
    return TRUE;
}

} // namespace win
