#include "support/driver.h"
#include "win/internal.h"

#include <gmock/gmock.h>

#include <functional>

using namespace win;
using namespace testdrv;

namespace {

std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> g_handler;

LRESULT TestProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT r = 0;
    if (g_handler && g_handler(hwnd, msg, wParam, lParam, &r)) return r;
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

class MessageTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        g_handler = nullptr;
        WNDCLASS wc;
        wc.lpfnWndProc = &TestProc;
        wc.lpszClassName = "CoreMessage";
        ASSERT_NE(RegisterClass(&wc), 0);
        hwnd = CreateWindowEx(0, "CoreMessage", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                              nullptr, nullptr);
        ASSERT_NE(hwnd, nullptr);
        RunUntilIdle();
    }
    void TearDown() override {
        g_handler = nullptr;
        WinTest::TearDown();
    }
    HWND Child() {
        return CreateWindowEx(0, "CoreMessage", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hwnd, nullptr,
                              nullptr, nullptr);
    }
    // Takes everything waiting, dispatching it, and returns the messages in order.
    std::vector<UINT> Drain(HWND filter = nullptr, UINT lo = 0, UINT hi = 0) {
        std::vector<UINT> got;
        MSG m;
        while (PeekMessage(&m, filter, lo, hi, PM_REMOVE)) {
            got.push_back(m.message);
            if (m.message == WM_QUIT) break;
            DispatchMessage(&m);
        }
        return got;
    }
    HWND hwnd{};
};

TEST_F(MessageTest, PostedKeepOrderPaintWhenNoPostedWaitsTimerLast) {
    SetTimer(hwnd, 1, 10, nullptr);
    AdvanceClock(20);
    InvalidateRect(hwnd, nullptr, TRUE);
    PostMessage(hwnd, WM_USER + 1, 0, 0);
    PostMessage(hwnd, WM_USER + 2, 0, 0);
    PostThreadMessage(GetCurrentThreadId(), WM_USER + 3, 0, 0);
    // A paint is there for a PeekMessage asking for it, posted messages waiting or not.
    MSG m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    EXPECT_EQ(m.message, WM_PAINT);
    EXPECT_EQ(m.hwnd, hwnd);
    EXPECT_EQ(Drain(), (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_PAINT, WM_TIMER}));

    // A message posted while painting comes before the next paint.
    InvalidateRect(hwnd, nullptr, TRUE);
    int paints = 0;
    g_handler = [&](HWND h, UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg == WM_PAINT && ++paints == 1) {
            PostMessage(h, WM_USER + 4, 0, 0);
            InvalidateRect(h, nullptr, FALSE);
            ValidateRect(h, nullptr);
            InvalidateRect(h, nullptr, FALSE);
            return true;
        }
        return false;
    };
    EXPECT_EQ(Drain(), (std::vector<UINT>{WM_PAINT, WM_USER + 4, WM_PAINT}));
}

TEST_F(MessageTest, FiltersByWindowRangeAndThreadMessages) {
    HWND child = Child();
    RunUntilIdle();
    PostMessage(hwnd, WM_USER + 1, 0, 0);
    PostMessage(child, WM_USER + 2, 0, 0);
    PostThreadMessage(GetCurrentThreadId(), WM_USER + 3, 0, 0);
    PostMessage(hwnd, WM_APP + 1, 0, 0);

    MSG m;
    const HWND threadOnly = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(-1));
    ASSERT_TRUE(PeekMessage(&m, threadOnly, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER + 3u);
    ASSERT_TRUE(PeekMessage(&m, child, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER + 2u);
    ASSERT_TRUE(PeekMessage(&m, nullptr, WM_APP, WM_APP + 10, PM_REMOVE));
    EXPECT_EQ(m.message, WM_APP + 1u);
    // A range with min above max takes what lies outside the gap between them.
    EXPECT_FALSE(PeekMessage(&m, nullptr, WM_USER + 2, WM_USER, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessage(&m, nullptr, WM_USER + 1, WM_USER, PM_NOREMOVE));
    EXPECT_EQ(m.message, WM_USER + 1u);
    // The parent filter takes its children's messages too.
    PostMessage(child, WM_USER + 5, 0, 0);
    EXPECT_EQ(Drain(hwnd), (std::vector<UINT>{WM_USER + 1, WM_USER + 5}));

    SetLastError(0);
    HWND gone = Child();
    DestroyWindow(gone);
    EXPECT_EQ(GetMessage(&m, gone, 0, 0), -1);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_FALSE(PeekMessage(&m, gone, 0, 0, PM_REMOVE));
}

TEST_F(MessageTest, MessagesForADestroyedWindowAreDropped) {
    HWND child = Child();
    PostMessage(child, WM_USER, 0, 0);
    PostMessage(hwnd, WM_USER + 1, 0, 0);
    DestroyWindow(child);
    // The parent repaints what the child covered.
    EXPECT_EQ(Drain(), (std::vector<UINT>{WM_USER + 1, WM_PAINT}));
    MSG stale{child, WM_USER, 0, 0, 0, {}};
    EXPECT_EQ(DispatchMessage(&stale), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(MessageTest, QuitSurvivesNestedLoopsThatRepostIt) {
    std::vector<std::string> events;
    std::function<void(int)> nested = [&](int depth) {
        events.push_back("enter " + std::to_string(depth));
        if (depth < 3)
            PostMessage(hwnd, WM_USER, static_cast<WPARAM>(depth + 1), 0);
        else
            PostQuitMessage(7);
        MSG m;
        while (GetMessage(&m, nullptr, 0, 0)) DispatchMessage(&m);
        events.push_back("leave " + std::to_string(depth) + " code " + std::to_string(m.wParam));
        PostQuitMessage(static_cast<int>(m.wParam));
    };
    g_handler = [&](HWND, UINT msg, WPARAM w, LPARAM, LRESULT*) {
        if (msg != WM_USER) return false;
        nested(static_cast<int>(w));
        return true;
    };
    PostMessage(hwnd, WM_USER, 1, 0);
    MSG m;
    int result = 1;
    while ((result = GetMessage(&m, nullptr, 0, 0)) > 0) DispatchMessage(&m);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_EQ(events, (std::vector<std::string>{"enter 1", "enter 2", "enter 3", "leave 3 code 7",
                                                "leave 2 code 7", "leave 1 code 7"}));
    // The outermost loop took the last one.
    EXPECT_EQ(Drain(), (std::vector<UINT>{}));
}

TEST_F(MessageTest, QuitComesAfterPostedMessagesAndPassesEveryFilter) {
    PostQuitMessage(3);
    PostMessage(hwnd, WM_USER, 0, 0);
    MSG m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(Drain(), (std::vector<UINT>{WM_USER, WM_QUIT}));
}

TEST_F(MessageTest, WaitsUnderTheManualClock) {
    MSG m;
    // Nothing can ever arrive: the waiting call says so, after the loops
    // around it that name themselves.
    auto said = [](auto wait) -> std::string {
        try {
            wait();
        } catch (const WouldWaitForever& e) {
            return e.what();
        }
        return "no wait";
    };
    EXPECT_THAT(said([&] { GetMessage(&m, nullptr, 0, 0); }),
                testing::StartsWith("GetMessage waits for a message that nothing can send"));
    EXPECT_THAT(said([] { WaitMessage(); }), testing::StartsWith("WaitMessage waits"));
    EXPECT_THAT(said([&] {
                    NameTheWait("outer", [&] {
                        return NameTheWait("inner", [&] { return GetMessage(&m, nullptr, 0, 0); });
                    });
                }),
                testing::StartsWith("outer: inner: GetMessage waits"));

    // The idle handler runs first; what it posts ends the wait.
    int idleCalls = 0;
    SetIdleHandler([&] {
        if (++idleCalls > 1) return false;
        PostMessage(hwnd, WM_USER, 0, 0);
        return true;
    });
    ASSERT_EQ(GetMessage(&m, nullptr, 0, 0), 1);
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));

    // With a timer pending, the clock jumps to it.
    SetTimer(hwnd, 9, 250, nullptr);
    const std::uint64_t before = ClockNow();
    ASSERT_EQ(GetMessage(&m, nullptr, 0, 0), 1);
    EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(ClockNow(), before + 250);
    KillTimer(hwnd, 9);

    // A wait with a timeout ends at its time.
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT), WAIT_TIMEOUT);
    EXPECT_EQ(ClockNow(), before + 350);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
    PostMessage(hwnd, WM_USER, 0, 0);
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_POSTMESSAGE), WAIT_OBJECT_0);
    // A posted message does not end a wait for sent messages only.
    EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_SENDMESSAGE), WAIT_TIMEOUT);
    EXPECT_EQ(HIWORD(GetQueueStatus(QS_ALLINPUT)) & QS_POSTMESSAGE, QS_POSTMESSAGE);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, nullptr, FALSE, 0, QS_ALLINPUT), WAIT_FAILED);
    HANDLE bogus = reinterpret_cast<HANDLE>(std::uintptr_t{0x80012345});
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &bogus, FALSE, 0, QS_ALLINPUT), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

// A wait for messages ends for what arrived since the thread last looked at
// its queue; what it saw and left there does not end it, so a loop that peeks
// without removing and then waits does not spin.
TEST_F(MessageTest, WaitsEndOnlyForWhatArrivedSinceTheQueueWasLookedAt) {
    MSG m;
    struct Case {
        const char* name;
        UINT mask;
        std::function<void()> arrive;
        std::function<void()> look; // leaves what arrived in the queue
    };
    const Case cases[] = {
        {"posted, peeked without removing", QS_POSTMESSAGE, [&] { PostMessage(hwnd, WM_USER, 0, 0); },
         [&] { ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE)); }},
        {"posted, another one removed", QS_POSTMESSAGE,
         [&] {
             PostMessage(hwnd, WM_USER, 0, 0);
             PostMessage(hwnd, WM_APP, 0, 0);
         },
         [&] { ASSERT_TRUE(PeekMessage(&m, nullptr, WM_APP, WM_APP, PM_REMOVE)); }},
        {"posted, another one got", QS_POSTMESSAGE,
         [&] {
             PostMessage(hwnd, WM_USER, 0, 0);
             PostThreadMessage(GetCurrentThreadId(), WM_APP, 0, 0);
         },
         [&] { ASSERT_EQ(GetMessage(&m, nullptr, WM_APP, WM_APP), 1); }},
        {"quit", QS_POSTMESSAGE, [] { PostQuitMessage(0); },
         [&] { ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE)); }},
        {"keys", QS_KEY,
         [] {
             InjectKey('A', true);
             InjectKey('A', false);
         },
         [&] { ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE)); }},
        {"mouse buttons", QS_MOUSEBUTTON,
         [] {
             InjectMouseMove(POINT{50, 50});
             InjectMouseButton(MouseButton::Left, true);
             InjectMouseButton(MouseButton::Left, false);
         },
         [&] { ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE)); }},
        {"paint", QS_PAINT, [&] { InvalidateRect(hwnd, nullptr, FALSE); },
         [&] { ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE)); }},
        {"timer", QS_TIMER,
         [&] {
             SetTimer(hwnd, 1, 10, nullptr);
             AdvanceClock(10);
         },
         [&] { ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Drain();
        c.arrive();
        // New, and then seen by the wait itself.
        EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, c.mask), WAIT_OBJECT_0);
        EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, c.mask), WAIT_TIMEOUT);

        c.arrive();
        c.look();
        EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, c.mask), WAIT_TIMEOUT);
        EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 30, c.mask), WAIT_TIMEOUT);
        EXPECT_THROW(WaitMessage(), WouldWaitForever);
        EXPECT_EQ(GetQueueStatus(c.mask), MAKELPARAM(0, static_cast<int>(c.mask)));

        c.arrive();
        EXPECT_EQ(GetQueueStatus(c.mask), MAKELPARAM(static_cast<int>(c.mask), static_cast<int>(c.mask)));
        EXPECT_EQ(GetQueueStatus(c.mask), MAKELPARAM(0, static_cast<int>(c.mask)));
        c.arrive();
        EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, c.mask), WAIT_OBJECT_0);
        c.arrive();
        EXPECT_TRUE(WaitMessage());
        Drain();
        KillTimer(hwnd, 1);
    }
}

TEST_F(MessageTest, MessageTimeAndPositionAreThoseOfTheLastRetrieved) {
    SetTickResolution(10);
    AdvanceClock(123);
    PostMessage(hwnd, WM_USER, 0, 0);
    AdvanceClock(100);
    MSG m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.time, 120u);
    EXPECT_EQ(GetMessageTime(), 120);
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(GetMessagePos(), static_cast<DWORD>(MAKELPARAM(cursor.x, cursor.y)));
}

TEST_F(MessageTest, SendNotifyTranslateAndRegisteredMessages) {
    std::vector<UINT> seen;
    g_handler = [&](HWND, UINT msg, WPARAM w, LPARAM, LRESULT* r) {
        if (msg < WM_USER && msg != WM_CHAR) return false;
        seen.push_back(msg == WM_CHAR ? static_cast<UINT>(w) : msg);
        *r = 5;
        return true;
    };
    EXPECT_TRUE(SendNotifyMessage(hwnd, WM_USER, 0, 0));
    EXPECT_EQ(seen, std::vector<UINT>{WM_USER});
    std::uintptr_t result = 0;
    EXPECT_EQ(SendMessageTimeout(hwnd, WM_USER + 1, 0, 0, SMTO_NORMAL, 10, &result), 1);
    EXPECT_EQ(result, 5u);
    EXPECT_FALSE(InSendMessage());

    // A key message posted by the program translates through the key map.
    MSG key{hwnd, WM_KEYDOWN, 'A', 1, 0, {}};
    EXPECT_TRUE(TranslateMessage(&key));
    MSG other{hwnd, WM_USER, 0, 0, 0, {}};
    EXPECT_FALSE(TranslateMessage(&other));
    RunUntilIdle();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_TRUE(seen[2] == 'a' || seen[2] == 'A');

    const UINT a = RegisterWindowMessage("Trestle.Message");
    EXPECT_GE(a, 0xC000u);
    EXPECT_EQ(RegisterWindowMessage("TRESTLE.message"), a);
    EXPECT_NE(RegisterWindowMessage("Trestle.Other"), a);
    EXPECT_EQ(RegisterWindowMessage(""), 0u);
}

TEST_F(MessageTest, GetMessageHooksSeeRetrievedMessages) {
    static std::vector<UINT> hooked;
    hooked.clear();
    HHOOK hook = SetWindowsHookEx(
        WH_GETMESSAGE,
        [](int code, WPARAM w, LPARAM l) -> LRESULT {
            if (code == HC_ACTION && w == PM_REMOVE) hooked.push_back(reinterpret_cast<MSG*>(l)->message);
            return CallNextHookEx(nullptr, code, w, l);
        },
        nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    PostMessage(hwnd, WM_USER, 0, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
    RunUntilIdle();
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(hooked, (std::vector<UINT>{WM_USER, WM_PAINT}));
}

} // namespace
