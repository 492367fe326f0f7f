#include "support/driver.h"

#include <atomic>
#include <thread>

using namespace win;
using namespace testdrv;

namespace {

// Hook procedures are plain functions: each one of a small family finds its
// own handle and behaviour in a table by its index.
struct Slot {
    HHOOK handle{};
    LRESULT result = 0;      // returned instead of calling the next hook when non-zero
    bool unhookSelf = false; // removes itself, then calls the next hook
    HHOOK unhookOther{};     // removes another hook before calling the next one
    bool passNull = false;   // calls CallNextHookEx with a null handle
};

Slot g_slots[4];
std::vector<std::string> g_calls;

template <int N> LRESULT Proc(int code, WPARAM wParam, LPARAM lParam) {
    Slot& s = g_slots[N];
    g_calls.push_back(std::to_string(N));
    if (s.result) return s.result;
    if (s.unhookSelf) {
        EXPECT_TRUE(UnhookWindowsHookEx(s.handle));
    }
    if (s.unhookOther) {
        EXPECT_TRUE(UnhookWindowsHookEx(s.unhookOther));
    }
    return CallNextHookEx(s.passNull ? nullptr : s.handle, code, wParam, lParam);
}

const HOOKPROC kProcs[] = {&Proc<0>, &Proc<1>, &Proc<2>, &Proc<3>};

LRESULT Plain(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

class HooksTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        for (Slot& s : g_slots) s = Slot{};
        g_calls.clear();
        WNDCLASS wc;
        wc.lpfnWndProc = &Plain;
        wc.lpszClassName = "HooksPlain";
        ASSERT_NE(RegisterClass(&wc), 0);
        hwnd = CreateWindowEx(0, "HooksPlain", "", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, nullptr,
                              nullptr, nullptr, nullptr);
        ASSERT_NE(hwnd, nullptr);
        SetFocus(hwnd);
        RunUntilIdle();
    }

    // Installs hooks 0..count-1 in that order (so the last one is called first).
    void Install(int idHook, int count) {
        for (int i = 0; i < count; ++i) {
            g_slots[i].handle = SetWindowsHookEx(idHook, kProcs[i], nullptr, 0);
            ASSERT_NE(g_slots[i].handle, nullptr);
        }
    }

    std::string Calls() {
        std::string text;
        for (const auto& c : g_calls) text += c;
        g_calls.clear();
        return text;
    }

    HWND hwnd{};
};

TEST_F(HooksTest, ChainRunsNewestFirstAndStopsWhereAHookAnswers) {
    Install(WH_KEYBOARD, 3);
    MessageLog log{hwnd};
    log.Only({WM_KEYDOWN});
    PressKey('A');
    EXPECT_EQ(Calls(), "210210"); // key down, key up
    EXPECT_EQ(log.Count(WM_KEYDOWN), 1);

    g_slots[1].result = 1;
    PressKey('A');
    EXPECT_EQ(Calls(), "2121");
    EXPECT_EQ(log.Count(WM_KEYDOWN), 1);
}

TEST_F(HooksTest, RemovalDuringACallKeepsTheChainWalking) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {"a hook removes itself", [] { g_slots[1].unhookSelf = true; }, "210", "20"},
        {"and passes a null handle", [] { g_slots[1].unhookSelf = g_slots[1].passNull = true; }, "210", "20"},
        {"a hook removes the next one", [] { g_slots[2].unhookOther = g_slots[1].handle; }, "20", "20"},
        {"a hook removes the one called before",
         [] {
             g_slots[1].unhookOther = g_slots[2].handle;
             g_slots[0].unhookSelf = true;
         },
         "210", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (Slot& s : g_slots) s = Slot{};
        Install(WH_KEYBOARD, 3);
        c.arrange();
        KeyDown('A');
        EXPECT_EQ(Calls(), c.first);
        for (Slot& s : g_slots) s.unhookSelf = false, s.unhookOther = nullptr;
        KeyUp('A');
        EXPECT_EQ(Calls(), c.second);
        for (Slot& s : g_slots) UnhookWindowsHookEx(s.handle);
    }
}

TEST_F(HooksTest, BadRequestsFail) {
    struct Case {
        const char* name;
        int id;
        HOOKPROC proc;
        DWORD thread;
        DWORD error;
    };
    const Case cases[] = {
        {"bad hook id", 99, kProcs[0], 0, ERROR_INVALID_HOOK_FILTER},
        {"negative hook id", -5, kProcs[0], 0, ERROR_INVALID_HOOK_FILTER},
        {"bad hook id and no procedure", 99, nullptr, 0, ERROR_INVALID_HOOK_FILTER},
        {"no procedure", WH_KEYBOARD, nullptr, 0, ERROR_INVALID_FILTER_PROC},
        {"no such thread", WH_KEYBOARD, kProcs[0], 0xFFFFFF, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastError(0);
        EXPECT_EQ(SetWindowsHookEx(c.id, c.proc, nullptr, c.thread), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_FALSE(UnhookWindowsHookEx(nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HOOK_HANDLE);
    HHOOK h = SetWindowsHookEx(WH_KEYBOARD, kProcs[0], nullptr, GetCurrentThreadId());
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(UnhookWindowsHookEx(h));
    EXPECT_FALSE(UnhookWindowsHookEx(h));
    EXPECT_EQ(CallNextHookEx(h, HC_ACTION, 0, 0), 0);
    PressKey('A');
    EXPECT_EQ(Calls(), "");
}

std::vector<std::pair<UINT, WPARAM>> g_callWnd;

LRESULT CallWndHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (cwp->message == WM_USER || cwp->message == WM_NCHITTEST || cwp->message == WM_SETCURSOR)
        g_callWnd.emplace_back(cwp->message, wParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(HooksTest, CallWndProcSeesSentMessagesIncludingTheSystemsOwn) {
    g_callWnd.clear();
    HHOOK h = SetWindowsHookEx(WH_CALLWNDPROC, &CallWndHook, nullptr, 0);
    SendMessage(hwnd, WM_USER, 0, 0);
    PostMessage(hwnd, WM_USER, 0, 0);
    RunUntilIdle();
    MoveTo(hwnd, Point(10, 10));
    UnhookWindowsHookEx(h);
    ASSERT_EQ(g_callWnd.size(), 3u);
    EXPECT_EQ(g_callWnd[0], (std::pair<UINT, WPARAM>{WM_USER, 1}));
    EXPECT_EQ(g_callWnd[1].first, WM_NCHITTEST);
    EXPECT_EQ(g_callWnd[2].first, WM_SETCURSOR);
}

std::vector<WPARAM> g_getMsgFlags;

LRESULT GetMsgHook(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (msg->message == WM_USER + 5) {
        g_getMsgFlags.push_back(wParam);
        msg->wParam = 42;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(HooksTest, GetMessageHookSeesAndMayChangeRetrievedMessages) {
    g_getMsgFlags.clear();
    HHOOK h = SetWindowsHookEx(WH_GETMESSAGE, &GetMsgHook, nullptr, 0);
    PostMessage(hwnd, WM_USER + 5, 1, 0);
    MSG m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, WM_USER + 5, WM_USER + 5, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessage(&m, nullptr, WM_USER + 5, WM_USER + 5, PM_REMOVE));
    EXPECT_EQ(m.wParam, 42u);
    EXPECT_EQ(g_getMsgFlags, (std::vector<WPARAM>{PM_NOREMOVE, PM_REMOVE}));
    UnhookWindowsHookEx(h);
}

// A mouse hook that, on a press, runs its own loop until the release, as a
// drag started from a hook does.
std::vector<UINT> g_nestedSeen;
int g_nestedDepth = 0;

LRESULT DragHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == WM_LBUTTONDOWN && g_nestedDepth == 0) {
        ++g_nestedDepth;
        MSG m;
        while (GetMessage(&m, nullptr, 0, 0) > 0) {
            g_nestedSeen.push_back(m.message);
            DispatchMessage(&m);
            if (m.message == WM_LBUTTONUP) break;
        }
        --g_nestedDepth;
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(HooksTest, AHookMayRunANestedLoop) {
    g_nestedSeen.clear();
    HHOOK h = SetWindowsHookEx(WH_MOUSE, &DragHook, nullptr, 0);
    MoveTo(hwnd, Point(10, 10));
    MessageLog log{hwnd};
    log.Only({WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP});
    InjectMouseButton(MouseButton::Left, true);
    ScriptIdle(
        {[] { InjectMouseMove(Point(130, 130)); }, [] { InjectMouseButton(MouseButton::Left, false); }});
    RunUntilIdle();
    EXPECT_TRUE(IdleScriptDone());
    EXPECT_EQ(g_nestedSeen, (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONUP}));
    EXPECT_EQ(log.Text(), "WM_MOUSEMOVE WM_LBUTTONUP");
    UnhookWindowsHookEx(h);
}

std::atomic<int> g_otherThreadCalls{0};

LRESULT CountingHook(int code, WPARAM wParam, LPARAM lParam) {
    ++g_otherThreadCalls;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(HooksTest, HooksOfAnotherThreadRunThere) {
    // The worker owns a queue (it posted to itself) and waits for the test.
    g_otherThreadCalls = 0;
    std::atomic<DWORD> workerId{0};
    std::atomic<bool> release{false};
    std::atomic<int> callsOnWorker{-1};
    std::thread worker([&] {
        MSG first;
        PeekMessage(&first, nullptr, 0, 0, PM_NOREMOVE);
        PostThreadMessage(GetCurrentThreadId(), WM_USER, 0, 0);
        workerId = GetCurrentThreadId();
        while (!release) std::this_thread::yield();
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {}
        callsOnWorker = g_otherThreadCalls.load();
    });
    while (!workerId) std::this_thread::yield();
    HHOOK h = SetWindowsHookEx(WH_GETMESSAGE, &CountingHook, nullptr, workerId);
    ASSERT_NE(h, nullptr);
    PostMessage(hwnd, WM_USER, 0, 0);
    RunUntilIdle();
    EXPECT_EQ(g_otherThreadCalls.load(), 0);
    release = true;
    worker.join();
    EXPECT_EQ(callsOnWorker.load(), 1);
    UnhookWindowsHookEx(h);
}

} // namespace

// Swallows the key it sees first and posts in its place what the program's
// code would: the quit request (F10) or a message to the window (others).
LRESULT PostingKeyHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HC_ACTION || (lParam & (1 << 31))) return CallNextHookEx(nullptr, code, wParam, lParam);
    if (wParam == VK_F10)
        PostQuitMessage(5);
    else
        PostMessage(GetFocus(), WM_USER, wParam, 0);
    return 1;
}

// What the hooks of a swallowed key posted is retrieved by the same call, and
// before the input queued behind that key: the program's loop must not go to
// sleep on a quit request it has not seen.
TEST_F(HooksTest, WhatAHookPostsForASwallowedKeyComesBeforeTheNextInput) {
    HHOOK h = SetWindowsHookEx(WH_KEYBOARD, &PostingKeyHook, nullptr, 0);
    MSG m{};
    InjectKey(VK_F10, true);
    ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(m.wParam, 5u);

    InjectKey('A', true);
    InjectKey('B', true);
    std::vector<std::pair<UINT, WPARAM>> got;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE))
        if (m.message == WM_USER || m.message == WM_KEYUP) got.emplace_back(m.message, m.wParam);
    EXPECT_EQ(got, (std::vector<std::pair<UINT, WPARAM>>{{WM_USER, 'A'}, {WM_USER, 'B'}}));
    UnhookWindowsHookEx(h);
}
