#include "support/driver.h"
#include "win/internal.h"

#include <atomic>
#include <chrono>
#include <thread>

using namespace win;
using namespace testdrv;

namespace {

// What the window procedure saw, written by whichever thread ran it.
struct Seen {
    std::mutex mutex;
    std::vector<std::pair<UINT, DWORD>> messages; // message, thread
    BOOL inSend = FALSE;
    void Add(UINT msg) {
        std::lock_guard lock(mutex);
        messages.emplace_back(msg, GetCurrentThreadId());
    }
    std::vector<std::pair<UINT, DWORD>> Take() {
        std::lock_guard lock(mutex);
        return std::exchange(messages, {});
    }
};
Seen g_seen;

LRESULT ThreadProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_USER:
            g_seen.Add(msg);
            g_seen.inSend = InSendMessage();
            return static_cast<LRESULT>(100 + wParam);
        case WM_USER + 1: {
            // Sends back to the window named in lParam while the caller waits for us.
            g_seen.Add(msg);
            return SendMessage(reinterpret_cast<HWND>(lParam), WM_USER, 7, 0) + 1;
        }
        case WM_WINDOWPOSCHANGING:
        case WM_WINDOWPOSCHANGED:
            g_seen.Add(msg);
            break;
        default:
            break;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

HWND MakeWindow(DWORD visible = WS_VISIBLE) {
    return CreateWindowEx(0, "CoreThread", "", WS_POPUP | visible, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                          nullptr);
}

// Waits (real time) until `done` holds.
template <class F> void Eventually(F done) {
    for (int i = 0; i < 5000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

class ThreadTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        g_seen.Take();
        WNDCLASS wc;
        wc.lpfnWndProc = &ThreadProc;
        wc.lpszClassName = "CoreThread";
        ASSERT_NE(RegisterClass(&wc), 0);
        hwnd = MakeWindow();
        ASSERT_NE(hwnd, nullptr);
        RunUntilIdle();
        g_seen.Take();
    }
    // Waits for the thread while serving what it sends, as the library's GUI thread does.
    void Serve(HANDLE thread) {
        for (;;) {
            const DWORD r = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
            if (r == WAIT_OBJECT_0) break;
            ASSERT_EQ(r, WAIT_OBJECT_0 + 1);
            MSG m;
            PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE);
        }
        CloseHandle(thread);
    }
    HWND hwnd{};
};

TEST_F(ThreadTest, ThreadsHandlesAndExitCodes) {
    static int value = 21;
    DWORD id = 0;
    HANDLE t = CreateThread(
        nullptr, 0, [](void* p) -> DWORD { return static_cast<DWORD>(*static_cast<int*>(p) * 2); }, &value, 0,
        &id);
    ASSERT_NE(t, nullptr);
    EXPECT_NE(id, GetCurrentThreadId());
    EXPECT_EQ(WaitForSingleObject(t, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(t, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_TRUE(CloseHandle(t));
    EXPECT_FALSE(CloseHandle(t));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForSingleObject(t, 0), WAIT_FAILED);
    EXPECT_FALSE(GetExitCodeThread(t, &code));

    static std::atomic<bool> release{false};
    release = false;
    HANDLE slow = CreateThread(
        nullptr, 0,
        [](void*) -> DWORD {
            while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return 0;
        },
        nullptr, 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(slow, 5), WAIT_TIMEOUT);
    EXPECT_TRUE(GetExitCodeThread(slow, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    release = true;
    EXPECT_EQ(WaitForSingleObject(slow, INFINITE), WAIT_OBJECT_0);
    CloseHandle(slow);
}

TEST_F(ThreadTest, ASendFromAnotherThreadRunsOnTheOwnerWhenItRetrievesMessages) {
    static HWND target;
    static std::atomic<LRESULT> result;
    target = hwnd;
    result = 0;
    HANDLE t = CreateThread(
        nullptr, 0,
        [](void*) -> DWORD {
            result = SendMessage(target, WM_USER, 5, 0);
            return 0;
        },
        nullptr, 0, nullptr);
    ASSERT_NE(t, nullptr);
    Serve(t);
    EXPECT_EQ(result.load(), 105);
    const auto seen = g_seen.Take();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].second, GetCurrentThreadId());
    EXPECT_TRUE(g_seen.inSend);
    EXPECT_FALSE(InSendMessage());
}

TEST_F(ThreadTest, AWorkerMovesAWindowOfTheGuiThreadWhileItWaits) {
    static HWND target;
    static std::atomic<BOOL> moved;
    target = hwnd;
    moved = FALSE;
    HANDLE t = CreateThread(
        nullptr, 0,
        [](void*) -> DWORD {
            moved = SetWindowPos(target, nullptr, 200, 150, 80, 60, SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        },
        nullptr, 0, nullptr);
    ASSERT_NE(t, nullptr);
    // The call waits for us: the wait for sent messages ends, the next PeekMessage runs it.
    ASSERT_EQ(MsgWaitForMultipleObjects(1, &t, FALSE, INFINITE, QS_SENDMESSAGE), WAIT_OBJECT_0 + 1);
    RECT r;
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r, (RECT{0, 0, 50, 50}));
    MSG m;
    PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE);
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r, (RECT{200, 150, 280, 210}));
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &t, FALSE, INFINITE, QS_SENDMESSAGE), WAIT_OBJECT_0);
    CloseHandle(t);
    EXPECT_TRUE(moved);
    for (const auto& [msg, thread] : g_seen.Take())
        EXPECT_EQ(thread, GetCurrentThreadId()) << MessageName(msg);
}

TEST_F(ThreadTest, SendersServeSendsToThemWhileTheyWaitAndEndedThreadsTakeTheirWindows) {
    static DWORD mainThread;
    mainThread = GetCurrentThreadId();
    HANDLE t = CreateThread(
        nullptr, 0,
        [](void*) -> DWORD {
            HWND own = MakeWindow();
            PostThreadMessage(mainThread, WM_APP, reinterpret_cast<WPARAM>(own), 0);
            MSG m;
            while (GetMessage(&m, nullptr, 0, 0) > 0) DispatchMessage(&m);
            return static_cast<DWORD>(m.wParam);
        },
        nullptr, 0, nullptr);
    ASSERT_NE(t, nullptr);
    MSG m;
    ASSERT_EQ(GetMessage(&m, reinterpret_cast<HWND>(static_cast<std::uintptr_t>(-1)), WM_APP, WM_APP), 1);
    HWND other = reinterpret_cast<HWND>(m.wParam);
    ASSERT_TRUE(IsWindow(other));
    DWORD otherThread = GetWindowThreadProcessId(other, nullptr);

    // The worker's handler sends back to us; we serve it while we wait.
    EXPECT_EQ(SendMessage(other, WM_USER + 1, 0, reinterpret_cast<LPARAM>(hwnd)), 108);
    EXPECT_FALSE(DestroyWindow(other));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(SetTimer(other, 1, 10, nullptr), 0u);
    EXPECT_TRUE(PostMessage(other, WM_NULL, 0, 0));

    EXPECT_TRUE(PostThreadMessage(otherThread, WM_QUIT, 9, 0));
    EXPECT_EQ(WaitForSingleObject(t, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(t, &code);
    EXPECT_EQ(code, 9u);
    CloseHandle(t);

    EXPECT_FALSE(IsWindow(other));
    SetLastError(0);
    EXPECT_EQ(SendMessage(other, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_FALSE(PostMessage(other, WM_USER, 0, 0));
    EXPECT_FALSE(PostThreadMessage(otherThread, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
}

TEST_F(ThreadTest, ASendToAThreadThatEndsWithoutAnsweringReturnsZero) {
    static DWORD mainThread;
    static std::atomic<bool> release{false};
    mainThread = GetCurrentThreadId();
    release = false;
    HANDLE t = CreateThread(
        nullptr, 0,
        [](void*) -> DWORD {
            HWND own = MakeWindow();
            PostThreadMessage(mainThread, WM_APP, reinterpret_cast<WPARAM>(own), 0);
            while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return 0;
        },
        nullptr, 0, nullptr);
    MSG m;
    ASSERT_EQ(GetMessage(&m, reinterpret_cast<HWND>(static_cast<std::uintptr_t>(-1)), WM_APP, WM_APP), 1);
    HWND other = reinterpret_cast<HWND>(m.wParam);

    std::uintptr_t result = 1;
    SetLastError(0);
    EXPECT_EQ(SendMessageTimeout(other, WM_USER, 0, 0, SMTO_NORMAL, 20, &result), 0);
    EXPECT_EQ(GetLastError(), ERROR_TIMEOUT);

    std::thread releaser([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        release = true;
    });
    EXPECT_EQ(SendMessage(other, WM_USER, 0, 0), 0);
    releaser.join();
    EXPECT_EQ(WaitForSingleObject(t, INFINITE), WAIT_OBJECT_0);
    CloseHandle(t);
    EXPECT_FALSE(IsWindow(other));
}

TEST_F(ThreadTest, PlainThreadsGetQueuesAndLoseTheirWindowsWhenTheyEnd) {
    std::atomic<HWND> made{nullptr};
    std::atomic<UINT_PTR> timer{0};
    // Hidden: showing would activate it, which sends to this thread while it only joins.
    std::thread worker([&] {
        made = MakeWindow(0);
        timer = SetTimer(nullptr, 0, 10, nullptr);
        PostMessage(hwnd, WM_USER + 2, 0, 0);
    });
    worker.join();
    EXPECT_NE(made.load(), nullptr);
    EXPECT_NE(timer.load(), 0u);
    EXPECT_FALSE(IsWindow(made));
    MSG m;
    ASSERT_TRUE(PeekMessage(&m, hwnd, WM_USER + 2, WM_USER + 2, PM_REMOVE));
    for (HWND h : GetTopLevelWindows()) EXPECT_EQ(GetWindowThreadProcessId(h, nullptr), GetCurrentThreadId());
}

TEST_F(ThreadTest, EventsKeepOrResetTheirStateAsCreated) {
    struct Case {
        const char* name;
        BOOL manualReset;
        BOOL initialState;
        DWORD first, second; // two waits in a row
    };
    const Case cases[] = {
        {"manual reset, set", TRUE, TRUE, WAIT_OBJECT_0, WAIT_OBJECT_0},
        {"manual reset, not set", TRUE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
        {"auto reset, set", FALSE, TRUE, WAIT_OBJECT_0, WAIT_TIMEOUT},
        {"auto reset, not set", FALSE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HANDLE e = CreateEvent(nullptr, c.manualReset, c.initialState, nullptr);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(WaitForSingleObject(e, 0), c.first);
        EXPECT_EQ(WaitForSingleObject(e, 0), c.second);

        // Set, it satisfies one wait (auto reset) or every wait until reset.
        const DWORD again = c.manualReset ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
        EXPECT_TRUE(SetEvent(e));
        EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_OBJECT_0);
        EXPECT_EQ(WaitForSingleObject(e, 0), again);
        EXPECT_TRUE(SetEvent(e));
        EXPECT_EQ(MsgWaitForMultipleObjects(1, &e, FALSE, 0, QS_ALLINPUT), WAIT_OBJECT_0);
        EXPECT_EQ(MsgWaitForMultipleObjects(1, &e, FALSE, 0, QS_ALLINPUT), again);
        EXPECT_TRUE(ResetEvent(e));
        EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_TIMEOUT);
        // A wait with a timeout moves the manual clock as Sleep does.
        const std::uint64_t before = ClockNow();
        EXPECT_EQ(WaitForSingleObject(e, 40), WAIT_TIMEOUT);
        EXPECT_EQ(ClockNow(), before + 40);

        EXPECT_TRUE(CloseHandle(e));
        SetLastError(0);
        EXPECT_FALSE(SetEvent(e));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_FALSE(ResetEvent(e));
        EXPECT_EQ(WaitForSingleObject(e, 0), WAIT_FAILED);
        EXPECT_EQ(MsgWaitForMultipleObjects(1, &e, FALSE, 0, QS_ALLINPUT), WAIT_FAILED);
    }
}

TEST_F(ThreadTest, MessageWaitsOnEventsTakeTheFirstSetObjectBeforeMessages) {
    HANDLE events[] = {CreateEvent(nullptr, FALSE, FALSE, nullptr),
                       CreateEvent(nullptr, TRUE, FALSE, nullptr)};
    PostMessage(hwnd, WM_USER, 0, 0);
    SetEvent(events[1]);
    SetEvent(events[0]);
    EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, 0, QS_POSTMESSAGE), WAIT_OBJECT_0);
    EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, 0, QS_POSTMESSAGE), WAIT_OBJECT_0 + 1);
    ResetEvent(events[1]);
    EXPECT_EQ(MsgWaitForMultipleObjects(2, events, FALSE, 0, QS_POSTMESSAGE), WAIT_OBJECT_0 + 2);
    // Waiting for all: every object set at once, the auto-reset one taken.
    SetEvent(events[1]);
    EXPECT_EQ(MsgWaitForMultipleObjects(2, events, TRUE, 0, 0), WAIT_TIMEOUT);
    SetEvent(events[0]);
    EXPECT_EQ(MsgWaitForMultipleObjects(2, events, TRUE, 0, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_TIMEOUT);

    // Event calls refuse thread handles and thread calls event handles.
    HANDLE t = CreateThread(
        nullptr, 0, [](void*) -> DWORD { return 0; }, nullptr, 0, nullptr);
    SetLastError(0);
    EXPECT_FALSE(SetEvent(t));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeThread(events[0], &code));
    EXPECT_EQ(WaitForSingleObject(t, INFINITE), WAIT_OBJECT_0);
    CloseHandle(t);

    // A name opens the same event while a handle to it is open.
    HANDLE named = CreateEvent(nullptr, TRUE, FALSE, "Trestle.Test");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE same = CreateEvent(nullptr, FALSE, TRUE, "Trestle.Test");
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_NE(same, named);
    EXPECT_EQ(WaitForSingleObject(same, 0), WAIT_TIMEOUT);
    SetEvent(named);
    EXPECT_EQ(WaitForSingleObject(same, 0), WAIT_OBJECT_0);
    CloseHandle(named);
    CloseHandle(same);
    HANDLE fresh = CreateEvent(nullptr, TRUE, FALSE, "Trestle.Test");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(fresh);
    for (HANDLE e : events) CloseHandle(e);
    EXPECT_EQ(MsgWaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS, events, FALSE, 0, 0), WAIT_FAILED);
}

// Each set of an auto-reset event releases one of the threads waiting on it.
TEST_F(ThreadTest, AnAutoResetEventReleasesOneWaiterPerSet) {
    static HANDLE go, released;
    static std::atomic<int> count;
    go = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    released = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    count = 0;
    HANDLE threads[3];
    for (HANDLE& t : threads) {
        t = CreateThread(
            nullptr, 0,
            [](void*) -> DWORD {
                WaitForSingleObject(go, INFINITE);
                ++count;
                SetEvent(released);
                return 0;
            },
            nullptr, 0, nullptr);
        ASSERT_NE(t, nullptr);
    }
    for (int i = 1; i <= 3; ++i) {
        SetEvent(go);
        ASSERT_EQ(MsgWaitForMultipleObjects(1, &released, FALSE, INFINITE, 0), WAIT_OBJECT_0);
        EXPECT_EQ(count.load(), i);
    }
    for (HANDLE t : threads) {
        EXPECT_EQ(WaitForSingleObject(t, INFINITE), WAIT_OBJECT_0);
        CloseHandle(t);
    }
    CloseHandle(go);
    CloseHandle(released);
}

// An animation on a worker thread draws frames through the GUI thread's
// window until that thread sets the stop event; the GUI thread serves the
// sends while it waits for the worker.
TEST_F(ThreadTest, AWorkerAnimatesUntilTheGuiThreadSetsItsStopEvent) {
    static HANDLE stop;
    static HWND target;
    static std::atomic<int> frames;
    stop = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    target = hwnd;
    frames = 0;
    HANDLE worker = CreateThread(
        nullptr, 0,
        [](void*) -> DWORD {
            DWORD drawn = 0;
            while (WaitForSingleObject(stop, 10) == WAIT_TIMEOUT) {
                SendMessage(target, WM_USER, drawn, 0);
                ++frames;
                ++drawn;
            }
            return drawn;
        },
        nullptr, 0, nullptr);
    ASSERT_NE(worker, nullptr);
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_SENDMESSAGE);
        if (r == WAIT_OBJECT_0) break;
        ASSERT_EQ(r, WAIT_OBJECT_0 + 1);
        MSG m;
        PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE);
        if (frames >= 3) SetEvent(stop);
    }
    DWORD drawn = 0;
    GetExitCodeThread(worker, &drawn);
    CloseHandle(worker);
    CloseHandle(stop);
    EXPECT_GE(drawn, 3u);
    const auto seen = g_seen.Take();
    ASSERT_EQ(seen.size(), drawn);
    for (const auto& [msg, thread] : seen) EXPECT_EQ(thread, GetCurrentThreadId());
}

// Functions that need the window-system lock, and those that must run without
// it, check in debug builds that the calling thread holds it or not.
TEST(LockTest, DebugBuildsCheckWhoHoldsTheLock) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEBUG_DEATH(detail::GetWnd(nullptr), "HeldByThisThread");
    detail::Guard g(detail::Lock());
    EXPECT_EQ(detail::GetWnd(nullptr), nullptr);
    EXPECT_DEBUG_DEATH(SendMessage(nullptr, WM_NULL, 0, 0), "HeldByThisThread");
}

} // namespace
