// Thread hooks: per-thread chains (newest first), called on the thread that
// owns the chain. A hook removed while a chain is being walked stays in the
// vector, marked, until no call of that thread is under way, so the walk (and
// CallNextHookEx from the removed hook itself) can still find its successor.
#include "win/internal.h"

#include <map>

namespace win {

namespace detail {
namespace {

using Hook = ThreadQueue::Hook;

struct HookRegistry {
    struct Entry {
        DWORD thread = 0;
        std::shared_ptr<Hook> hook;
    };
    std::map<std::uintptr_t, Entry> byHandle;
    std::map<DWORD, int> callDepth; // hook calls under way, per thread
    std::uintptr_t nextHandle = 0x100;
};

HookRegistry& Registry() {
    static HookRegistry r;
    return r;
}

// The hooks being called on this thread, innermost last, with the thread of
// their chain (CallNextHookEx with a null or unknown handle continues from the
// innermost one).
struct Calling {
    DWORD thread = 0;
    std::shared_ptr<Hook> hook;
};
thread_local std::vector<Calling> tCalling;

// The hooks this window system calls; any other id is refused as a bad one.
bool Supported(int idHook) {
    return idHook == WH_KEYBOARD || idHook == WH_MOUSE || idHook == WH_CALLWNDPROC || idHook == WH_GETMESSAGE;
}

// Drops marked hooks from a chain once no call walks it.
void Purge(ThreadQueue* q) {
    AssertLocked();
    if (!q) return;
    auto& r = Registry();
    auto depth = r.callDepth.find(q->id);
    if (depth != r.callDepth.end()) {
        if (depth->second > 0) return;
        r.callDepth.erase(depth);
    }
    std::erase_if(q->hooks, [](const std::shared_ptr<Hook>& h) { return h->removed; });
}

// The first live hook of `idHook` after `after` (from the start when null) in
// the chain of `thread`.
std::shared_ptr<Hook> NextHook(DWORD thread, int idHook, const Hook* after) {
    AssertLocked();
    ThreadQueue* q = QueueOf(thread);
    if (!q) return nullptr;
    std::size_t i = 0;
    if (after) {
        while (i < q->hooks.size() && q->hooks[i].get() != after) ++i;
        if (i == q->hooks.size()) return nullptr;
        ++i;
    }
    for (; i < q->hooks.size(); ++i) {
        const auto& h = q->hooks[i];
        if (h->id == idHook && !h->removed) return h;
    }
    return nullptr;
}

// Calls one hook procedure without the lock, keeping the chain stable.
LRESULT Invoke(DWORD thread, const std::shared_ptr<Hook>& hook, int code, WPARAM wParam, LPARAM lParam) {
    AssertUnlocked();
    {
        Guard g(Lock());
        ++Registry().callDepth[thread];
    }
    tCalling.push_back({thread, hook});
    struct Unwind {
        DWORD thread;
        ~Unwind() {
            tCalling.pop_back();
            Guard g(Lock());
            --Registry().callDepth[thread];
            Purge(QueueOf(thread));
        }
    } unwind{thread};
    return hook->proc(code, wParam, lParam);
}

} // namespace

LRESULT CallHooks(int idHook, int code, WPARAM wParam, LPARAM lParam) {
    DWORD thread = GetCurrentThreadId();
    std::shared_ptr<Hook> first;
    {
        Guard g(Lock());
        first = NextHook(thread, idHook, nullptr);
    }
    if (!first) return 0;
    return Invoke(thread, first, code, wParam, lParam);
}

bool HasHooks(int idHook) {
    Guard g(Lock());
    return NextHook(GetCurrentThreadId(), idHook, nullptr) != nullptr;
}

void CallWndProcHooks(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool sentByThisThread) {
    if (!HasHooks(WH_CALLWNDPROC)) return;
    CWPSTRUCT cwp;
    cwp.hwnd = hwnd;
    cwp.message = msg;
    cwp.wParam = wParam;
    cwp.lParam = lParam;
    CallHooks(WH_CALLWNDPROC, HC_ACTION, sentByThisThread ? 1 : 0, reinterpret_cast<LPARAM>(&cwp));
}

void CallGetMessageHooks(MSG* msg, bool remove) {
    if (!HasHooks(WH_GETMESSAGE)) return;
    CallHooks(WH_GETMESSAGE, HC_ACTION, remove ? PM_REMOVE : PM_NOREMOVE, reinterpret_cast<LPARAM>(msg));
}

void RemoveThreadHooks(ThreadQueue& q) {
    Guard g(Lock());
    auto& r = Registry();
    for (auto& h : q.hooks) {
        h->removed = true;
        r.byHandle.erase(handle_to_int(h->handle));
    }
    Purge(&q);
}

void ResetHooks() {
    Guard g(Lock());
    auto& r = Registry();
    std::map<DWORD, bool> threads;
    for (auto& [handle, e] : r.byHandle) {
        e.hook->removed = true;
        threads[e.thread] = true;
    }
    r.byHandle.clear();
    for (auto& [thread, unused] : threads) Purge(QueueOf(thread));
}

} // namespace detail

using namespace detail;

HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE, DWORD threadId) {
    if (!Supported(idHook)) {
        SetLastError(ERROR_INVALID_HOOK_FILTER);
        return nullptr;
    }
    if (!proc) {
        SetLastError(ERROR_INVALID_FILTER_PROC);
        return nullptr;
    }
    DWORD self = GetCurrentThreadId();
    if (threadId == 0 || threadId == self) {
        CurrentQueue();
        threadId = self;
    }
    Guard g(Lock());
    ThreadQueue* q = QueueOf(threadId);
    if (!q) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto& r = Registry();
    auto hook = std::make_shared<Hook>();
    hook->handle = handle_from_int<HHOOK>(r.nextHandle);
    r.nextHandle += 4;
    hook->id = idHook;
    hook->proc = proc;
    q->hooks.insert(q->hooks.begin(), hook);
    r.byHandle[handle_to_int(hook->handle)] = {threadId, hook};
    return hook->handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
    Guard g(Lock());
    auto& r = Registry();
    auto it = r.byHandle.find(handle_to_int(hook));
    if (it == r.byHandle.end()) {
        SetLastError(ERROR_INVALID_HOOK_HANDLE);
        return FALSE;
    }
    DWORD thread = it->second.thread;
    it->second.hook->removed = true;
    r.byHandle.erase(it);
    Purge(QueueOf(thread));
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<Hook> current;
    std::shared_ptr<Hook> next;
    DWORD thread = GetCurrentThreadId();
    {
        Guard g(Lock());
        auto& r = Registry();
        auto it = r.byHandle.find(handle_to_int(hook));
        if (it != r.byHandle.end()) {
            current = it->second.hook;
            thread = it->second.thread;
        } else {
            // A handle removed during its own call, or a null one: the chain
            // position is known from the calls under way.
            const Calling* at = tCalling.empty() ? nullptr : &tCalling.back();
            for (auto c = tCalling.rbegin(); c != tCalling.rend(); ++c)
                if (c->hook->handle == hook) {
                    at = &*c;
                    break;
                }
            if (at) {
                current = at->hook;
                thread = at->thread;
            }
        }
        if (!current) return 0;
        next = NextHook(thread, current->id, current.get());
    }
    if (!next) return 0;
    return Invoke(thread, next, code, wParam, lParam);
}

} // namespace win
