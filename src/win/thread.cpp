// Threads and events: identifiers, threads started with handles, event
// objects, waiting on either and the exit codes of threads. A thread that
// ends takes its windows, timers and hooks with it.
#include "win/internal.h"

#include <atomic>

namespace win {

namespace detail {

// What a handle stands for. Each waiter holds it, so that closing the last
// handle while others wait on it leaves their wait intact.
struct Waitable {
    enum class Kind { Thread, Event } kind = Kind::Thread;
    bool signaled = false;   // a thread: it has finished; an event: it is set
    bool manualReset = true; // events: an auto-reset event releases one waiter, then resets
    DWORD threadId = 0;
    DWORD exitCode = STILL_ACTIVE;
    std::string name; // named events
};

namespace {

constexpr std::uintptr_t kHandleTag = 0x80000000u;
constexpr std::uint32_t kMaxHandles = 0x7FFF;

struct HandleSlot {
    std::uint16_t gen = 1;
    std::shared_ptr<Waitable> object;
};

struct ThreadState {
    std::vector<HandleSlot> slots = std::vector<HandleSlot>(1);
    std::vector<std::uint32_t> free;
    std::condition_variable_any signaled; // an object became signalled
    std::vector<DWORD> running;           // started and not finished, cleanup included
    std::map<std::string, std::weak_ptr<Waitable>> named;
};

ThreadState& State() {
    static ThreadState* state = new ThreadState;
    return *state;
}

std::atomic<DWORD> g_nextThreadId{1};
thread_local DWORD tThreadId = 0;

HandleSlot* SlotOf(HANDLE h) {
    const auto v = reinterpret_cast<std::uintptr_t>(h);
    if (!(v & kHandleTag)) return nullptr;
    const std::uintptr_t index = (v & ~kHandleTag) >> 16;
    ThreadState& s = State();
    if (index == 0 || index >= s.slots.size()) return nullptr;
    HandleSlot& slot = s.slots[index];
    if (slot.gen != (v & 0xFFFF) || !slot.object) return nullptr;
    return &slot;
}

// The object of a handle of the given kind, or nullptr with ERROR_INVALID_HANDLE.
std::shared_ptr<Waitable> ObjectOf(HANDLE h, Waitable::Kind kind) {
    HandleSlot* slot = SlotOf(h);
    if (!slot || slot->object->kind != kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return slot->object;
}

HANDLE AllocHandle(std::shared_ptr<Waitable> object) {
    ThreadState& s = State();
    std::uint32_t index = 0;
    if (!s.free.empty()) {
        index = s.free.front();
        s.free.erase(s.free.begin());
    } else if (s.slots.size() <= kMaxHandles) {
        index = static_cast<std::uint32_t>(s.slots.size());
        s.slots.emplace_back();
    } else {
        return nullptr;
    }
    HandleSlot& slot = s.slots[index];
    slot.object = std::move(object);
    return reinterpret_cast<HANDLE>(kHandleTag | (std::uintptr_t{index} << 16) | slot.gen);
}

// Wakes whoever waits for an object: in WaitForSingleObject or in a message wait.
void Signal() {
    State().signaled.notify_all();
    WakeAllThreads();
}

} // namespace

bool OtherStartedThreadsRunning() {
    const DWORD self = GetCurrentThreadId();
    for (DWORD id : State().running)
        if (id != self) return true;
    return false;
}

std::shared_ptr<Waitable> WaitableOf(HANDLE handle) {
    AssertLocked();
    HandleSlot* slot = SlotOf(handle);
    return slot ? slot->object : nullptr;
}

bool IsSignaled(const Waitable& object) {
    AssertLocked();
    return object.signaled;
}

void Acquire(Waitable& object) {
    AssertLocked();
    if (object.kind == Waitable::Kind::Event && !object.manualReset) object.signaled = false;
}

} // namespace detail

using namespace detail;

DWORD GetCurrentThreadId() {
    if (!tThreadId) tThreadId = g_nextThreadId++;
    return tThreadId;
}

HANDLE CreateThread(void*, std::size_t, THREAD_START_ROUTINE start, void* param, DWORD, DWORD* threadId) {
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto record = std::make_shared<Waitable>();
    record->threadId = g_nextThreadId++;
    HANDLE handle{};
    ThreadQueue* queue = nullptr;
    {
        Guard g(Lock());
        handle = AllocHandle(record);
        if (!handle) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        // The queue exists before the thread runs, so that messages can be
        // posted to it as soon as CreateThread returns.
        queue = &CreateQueueFor(record->threadId);
        State().running.push_back(record->threadId);
    }
    try {
        std::thread([record, start, param] {
            tThreadId = record->threadId;
            const DWORD code = start(param);
            EndThreadQueue();
            Guard g(Lock());
            record->exitCode = code;
            record->signaled = true;
            std::erase(State().running, record->threadId);
            Signal();
        }).detach();
    } catch (const std::system_error&) {
        Guard g(Lock());
        CloseHandle(handle);
        queue->alive = false;
        std::erase(State().running, record->threadId);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId) *threadId = record->threadId;
    return handle;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    UniqueGuard ul(Lock());
    std::shared_ptr<Waitable> object = WaitableOf(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    auto done = [&] { return object->signaled; };
    if (milliseconds == INFINITE) {
        State().signaled.wait(ul, done);
    } else if (!IsManualClock()) {
        if (!State().signaled.wait_for(ul, std::chrono::milliseconds(milliseconds), done))
            return WAIT_TIMEOUT;
    } else {
        // A manual clock moves for the waiter as for Sleep, once the other
        // threads have had their chance to signal.
        const std::uint64_t deadline = Now() + milliseconds;
        while (!done()) {
            if (Now() >= deadline) return WAIT_TIMEOUT;
            if (!State().signaled.wait_for(ul, kOtherThreadGrace, done)) {
                ul.unlock();
                AdvanceClockTo(deadline);
                ul.lock();
            }
        }
    }
    Acquire(*object);
    return WAIT_OBJECT_0;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode) {
    Guard g(Lock());
    std::shared_ptr<Waitable> record = ObjectOf(thread, Waitable::Kind::Thread);
    if (!record) return FALSE;
    if (exitCode) *exitCode = record->signaled ? record->exitCode : STILL_ACTIVE;
    return TRUE;
}

HANDLE CreateEvent(void*, BOOL manualReset, BOOL initialState, const char* name) {
    Guard g(Lock());
    std::shared_ptr<Waitable> event;
    if (name && *name) event = State().named[name].lock();
    const bool exists = event != nullptr;
    if (!exists) {
        event = std::make_shared<Waitable>();
        event->kind = Waitable::Kind::Event;
        event->manualReset = manualReset != FALSE;
        event->signaled = initialState != FALSE;
        if (name && *name) {
            event->name = name;
            State().named[name] = event;
        }
    }
    HANDLE handle = AllocHandle(event);
    if (!handle) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // Opening an existing named event keeps its state and reports that it existed.
    SetLastError(exists ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL SetEvent(HANDLE event) {
    Guard g(Lock());
    std::shared_ptr<Waitable> object = ObjectOf(event, Waitable::Kind::Event);
    if (!object) return FALSE;
    object->signaled = true;
    Signal();
    return TRUE;
}

BOOL ResetEvent(HANDLE event) {
    Guard g(Lock());
    std::shared_ptr<Waitable> object = ObjectOf(event, Waitable::Kind::Event);
    if (!object) return FALSE;
    object->signaled = false;
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    Guard g(Lock());
    HandleSlot* slot = SlotOf(handle);
    if (!slot) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const std::string name = slot->object->name;
    slot->object.reset();
    if (!name.empty()) {
        auto it = State().named.find(name);
        if (it != State().named.end() && it->second.expired()) State().named.erase(it);
    }
    if (++slot->gen == 0) slot->gen = 1;
    State().free.push_back(
        static_cast<std::uint32_t>((reinterpret_cast<std::uintptr_t>(handle) & ~kHandleTag) >> 16));
    return TRUE;
}

} // namespace win
