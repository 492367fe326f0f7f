#include "support/driver.h"
#include "win/internal.h"

#include <functional>
#include <thread>

using namespace win;
using namespace testdrv;

namespace {

struct Fired {
    HWND hwnd{};
    UINT_PTR id = 0;
    DWORD time = 0;
    friend bool operator==(const Fired&, const Fired&) = default;
};
std::vector<Fired> g_fired;

// When the calling thread's next timer is due.
std::uint64_t NextDue() {
    detail::Guard g(detail::Lock());
    return detail::NextTimerDue(detail::CurrentQueue());
}

LRESULT TimerWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER && !lParam) {
        g_fired.push_back(Fired{hwnd, wParam, GetTickCount()});
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

void RecordingTimerProc(HWND hwnd, UINT msg, UINT_PTR id, DWORD time) {
    EXPECT_EQ(msg, static_cast<UINT>(WM_TIMER));
    g_fired.push_back(Fired{hwnd, id + 1000, time});
}

class TimerTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        g_fired.clear();
        WNDCLASS wc;
        wc.lpfnWndProc = &TimerWindowProc;
        wc.lpszClassName = "CoreTimer";
        ASSERT_NE(RegisterClass(&wc), 0);
        hwnd = CreateWindowEx(0, "CoreTimer", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(hwnd, nullptr);
    }
    HWND hwnd{};
};

TEST_F(TimerTest, TickCountFollowsTheClockAtItsResolution) {
    EXPECT_EQ(GetTickCount(), 0u);
    AdvanceClock(15);
    EXPECT_EQ(ClockNow(), 15u);
    EXPECT_EQ(GetTickCount(), 10u);
    SetTickResolution(1);
    EXPECT_EQ(GetTickCount(), 15u);
    SetTickResolution(16);
    EXPECT_EQ(GetTickCount(), 0u);
    Sleep(40); // a manual clock sleeps by moving
    EXPECT_EQ(ClockNow(), 55u);
    EXPECT_EQ(GetTickCount(), 48u);
}

TEST_F(TimerTest, TimersFireInOrderOfTheirTimes) {
    SetTickResolution(1);
    SetTimer(hwnd, 1, 30, nullptr);
    SetTimer(hwnd, 2, 20, nullptr);
    const UINT_PTR thread = SetTimer(nullptr, 0, 25, &RecordingTimerProc);
    ASSERT_NE(thread, 0u);
    Advance(60);
    const std::vector<Fired> expected = {
        {hwnd, 2, 20}, {nullptr, thread + 1000, 25}, {hwnd, 1, 30},
        {hwnd, 2, 40}, {nullptr, thread + 1000, 50}, {hwnd, 1, 60},
        {hwnd, 2, 60},
    };
    EXPECT_EQ(g_fired, expected);
}

TEST_F(TimerTest, MissedPeriodsCollapseAndTimersKeepTheirPhase) {
    SetTickResolution(1);
    SetTimer(hwnd, 1, 100, nullptr);
    AdvanceClock(350);
    RunUntilIdle();
    ASSERT_EQ(g_fired.size(), 1u);
    Advance(60);
    ASSERT_EQ(g_fired.size(), 2u);
    EXPECT_EQ(g_fired[1].time, 400u);
}

TEST_F(TimerTest, ResettingKillingAndLimits) {
    SetTickResolution(1);
    EXPECT_EQ(SetTimer(hwnd, 5, 100, nullptr), 5u);
    Advance(60);
    EXPECT_EQ(SetTimer(hwnd, 5, 100, nullptr), 5u); // starts over
    Advance(60);
    EXPECT_TRUE(g_fired.empty());
    Advance(40);
    ASSERT_EQ(g_fired.size(), 1u);
    EXPECT_EQ(g_fired[0].time, 160u);

    EXPECT_TRUE(KillTimer(hwnd, 5));
    EXPECT_FALSE(KillTimer(hwnd, 5));
    EXPECT_FALSE(KillTimer(nullptr, 12345));

    // Too short an interval is raised to the minimum.
    g_fired.clear();
    SetTimer(hwnd, 6, 0, nullptr);
    Advance(10);
    EXPECT_EQ(g_fired.size(), 1u);
    KillTimer(hwnd, 6);

    // A window's timers go with it.
    SetTimer(hwnd, 7, 10, nullptr);
    DestroyWindow(hwnd);
    EXPECT_EQ(NextDue(), UINT64_MAX);
    EXPECT_EQ(SetTimer(hwnd, 8, 10, nullptr), 0u);
}

// Creating a window gives a thread its message queue: the calls that need one
// work before the thread has asked for a message, and the thread's end takes
// the window with it.
TEST_F(TimerTest, AThreadsFirstWindowGivesItItsQueue) {
    struct Case {
        const char* name;
        std::function<bool(HWND)> call;
    };
    const Case cases[] = {
        {"SetTimer", [](HWND h) { return SetTimer(h, 1, 10, nullptr) == 1; }},
        {"SetTimer and KillTimer",
         [](HWND h) { return SetTimer(h, 2, 10, nullptr) == 2 && KillTimer(h, 2); }},
        {"PostMessage", [](HWND h) { return PostMessage(h, WM_USER, 0, 0) != FALSE; }},
        {"nothing more", [](HWND) { return true; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND made{};
        bool ok = false;
        std::thread worker([&] {
            made = CreateWindowEx(0, "CoreTimer", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                  nullptr);
            ok = made && c.call(made);
        });
        worker.join();
        EXPECT_TRUE(ok);
        EXPECT_FALSE(IsWindow(made));
    }
}

TEST_F(TimerTest, ThreadTimerWhoseProcedureKillsItself) {
    static int calls;
    static UINT_PTR id;
    calls = 0;
    id = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR timer, DWORD) {
        ++calls;
        EXPECT_TRUE(KillTimer(nullptr, timer));
    });
    ASSERT_NE(id, 0u);
    const UINT_PTR other = SetTimer(nullptr, 0, 10, &RecordingTimerProc);
    EXPECT_NE(other, id);
    Advance(100);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(KillTimer(nullptr, id));
    EXPECT_EQ(g_fired.size(), 10u);
    KillTimer(nullptr, other);
}

TEST_F(TimerTest, ATimerMessageForAKilledTimerIsNotDispatchedToItsProcedure) {
    const UINT_PTR id = SetTimer(nullptr, 0, 10, &RecordingTimerProc);
    AdvanceClock(10);
    MSG m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    KillTimer(nullptr, id);
    DispatchMessage(&m);
    EXPECT_TRUE(g_fired.empty());
}

TEST_F(TimerTest, SwitchingClocksKeepsWhatRemains) {
    SetTimer(hwnd, 1, 1000, nullptr);
    AdvanceClock(400);
    SetManualClock(false);
    SetManualClock(true);
    EXPECT_EQ(ClockNow(), 0u);
    // About 600 ms were left; the real clock ran for a moment in between.
    const std::uint64_t due = NextDue();
    EXPECT_GE(due, 500u);
    EXPECT_LE(due, 600u);
}

TEST_F(TimerTest, RealClockTimersFireInGetMessage) {
    SetManualClock(false);
    SetTimer(hwnd, 3, 20, nullptr);
    const DWORD start = GetTickCount();
    MSG m;
    ASSERT_EQ(GetMessage(&m, nullptr, 0, 0), 1);
    EXPECT_EQ(m.message, static_cast<UINT>(WM_TIMER));
    EXPECT_GE(ClockNow(), start + 10u);
}

} // namespace
