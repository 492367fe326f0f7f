// Threads: identifiers, threads started with handles, waiting on them and
// their exit codes. A thread that ends takes its windows, timers and hooks
// with it.
#include "win/internal.h"

#include <atomic>

namespace win {

namespace detail {
namespace {

constexpr std::uintptr_t kHandleTag = 0x80000000u;
constexpr std::uint32_t kMaxHandles = 0x7FFF;

struct ThreadRecord {
    DWORD id = 0;
    bool finished = false;
    DWORD exitCode = STILL_ACTIVE;
};

struct HandleSlot {
    std::uint16_t gen = 1;
    std::shared_ptr<ThreadRecord> thread;
};

struct ThreadState {
    std::vector<HandleSlot> slots = std::vector<HandleSlot>(1);
    std::vector<std::uint32_t> free;
    std::condition_variable_any ended;
    std::vector<DWORD> running; // started and not finished, cleanup included
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
    if (slot.gen != (v & 0xFFFF) || !slot.thread) return nullptr;
    return &slot;
}

std::shared_ptr<ThreadRecord> RecordOf(HANDLE h) {
    HandleSlot* slot = SlotOf(h);
    if (!slot) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return slot->thread;
}

HANDLE AllocHandle(std::shared_ptr<ThreadRecord> record) {
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
    slot.thread = std::move(record);
    return reinterpret_cast<HANDLE>(kHandleTag | (std::uintptr_t{index} << 16) | slot.gen);
}

} // namespace

bool OtherStartedThreadsRunning() {
    const DWORD self = GetCurrentThreadId();
    for (DWORD id : State().running)
        if (id != self) return true;
    return false;
}

int ThreadHandleState(HANDLE handle) {
    AssertLocked();
    HandleSlot* slot = SlotOf(handle);
    if (!slot) return -1;
    return slot->thread->finished ? 1 : 0;
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
    auto record = std::make_shared<ThreadRecord>();
    record->id = g_nextThreadId++;
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
        queue = &CreateQueueFor(record->id);
        State().running.push_back(record->id);
    }
    try {
        std::thread([record, start, param] {
            tThreadId = record->id;
            const DWORD code = start(param);
            EndThreadQueue();
            {
                Guard g(Lock());
                record->exitCode = code;
                record->finished = true;
                std::erase(State().running, record->id);
                State().ended.notify_all();
            }
            WakeAllThreads();
        }).detach();
    } catch (const std::system_error&) {
        Guard g(Lock());
        CloseHandle(handle);
        queue->alive = false;
        std::erase(State().running, record->id);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId) *threadId = record->id;
    return handle;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    UniqueGuard ul(Lock());
    std::shared_ptr<ThreadRecord> record = RecordOf(handle);
    if (!record) return WAIT_FAILED;
    auto done = [&] { return record->finished; };
    if (milliseconds == INFINITE) {
        State().ended.wait(ul, done);
        return WAIT_OBJECT_0;
    }
    return State().ended.wait_for(ul, std::chrono::milliseconds(milliseconds), done) ? WAIT_OBJECT_0
                                                                                     : WAIT_TIMEOUT;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode) {
    Guard g(Lock());
    std::shared_ptr<ThreadRecord> record = RecordOf(thread);
    if (!record) return FALSE;
    if (exitCode) *exitCode = record->finished ? record->exitCode : STILL_ACTIVE;
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    Guard g(Lock());
    HandleSlot* slot = SlotOf(handle);
    if (!slot) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    slot->thread.reset();
    if (++slot->gen == 0) slot->gen = 1;
    State().free.push_back(
        static_cast<std::uint32_t>((reinterpret_cast<std::uintptr_t>(handle) & ~kHandleTag) >> 16));
    return TRUE;
}

} // namespace win
