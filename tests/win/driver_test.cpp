#include "support/driver.h"

using namespace win;
using namespace testdrv;

namespace {

class DriverTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        WNDCLASS wc;
        wc.lpfnWndProc = &DefWindowProc;
        wc.lpszClassName = "DriverPlain";
        ASSERT_NE(RegisterClass(&wc), 0);
        hwnd = CreateWindowEx(0, "DriverPlain", "", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, nullptr,
                              nullptr, nullptr, nullptr);
        ASSERT_NE(hwnd, nullptr);
        RunUntilIdle();
    }
    HWND hwnd{};
};

TEST_F(DriverTest, MessageLogRecordsInOrderAndUnsubclasses) {
    const LONG_PTR original = GetWindowLongPtr(hwnd, GWL_WNDPROC);
    {
        MessageLog log;
        log.Watch(hwnd, "main");
        EXPECT_NE(GetWindowLongPtr(hwnd, GWL_WNDPROC), original);
        SendMessage(hwnd, WM_USER + 1, 7, 8);
        PostMessage(hwnd, WM_NULL, 0, 0);
        RunUntilIdle();
        EXPECT_EQ(log.Text(), "main:0x0401 main:WM_NULL");
        const auto entries = log.Entries();
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[0].wParam, 7u);
        EXPECT_EQ(entries[0].lParam, 8);
        EXPECT_EQ(log.Count(WM_NULL), 1);

        log.Clear();
        log.Only({WM_CLOSE});
        SendMessage(hwnd, WM_USER, 0, 0);
        SendMessage(hwnd, WM_CLOSE, 0, 0); // DefWindowProc destroys it
        EXPECT_EQ(log.Text(), "main:WM_CLOSE");
        EXPECT_FALSE(IsWindow(hwnd));
    }
    HWND again =
        CreateWindowEx(0, "DriverPlain", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    {
        MessageLog log{again};
        log.Only({WM_USER});
        SendMessage(again, WM_USER, 0, 0);
        EXPECT_EQ(log.Text(), "0x0400");
    }
    EXPECT_EQ(GetWindowLongPtr(again, GWL_WNDPROC), original);
}

TEST_F(DriverTest, RunUntilIdleLeavesQuitForTheTest) {
    PostMessage(hwnd, WM_NULL, 0, 0);
    PostQuitMessage(3);
    EXPECT_EQ(RunUntilIdle(), 1);
    MSG m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
}

TEST_F(DriverTest, AdvanceFiresTimersInOrder) {
    std::vector<UINT_PTR> fired;
    MessageLog log{hwnd};
    log.Only({WM_TIMER});
    SetTimer(hwnd, 1, 100, nullptr);
    SetTimer(hwnd, 2, 250, nullptr);
    const std::uint64_t start = ClockNow();
    Advance(450);
    EXPECT_EQ(ClockNow() - start, 450u);
    for (const auto& e : log.Entries()) fired.push_back(e.wParam);
    EXPECT_EQ(fired, (std::vector<UINT_PTR>{1, 1, 2, 1, 1}));
}

TEST_F(DriverTest, ClickDeliversAtTheClientPoint) {
    MessageLog log{hwnd};
    log.Only({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP});
    Click(hwnd, Point(5, 6));
    Click(hwnd, Point(7, 8), MouseButton::Right);
    EXPECT_EQ(log.Text(), "WM_LBUTTONDOWN WM_LBUTTONUP WM_RBUTTONDOWN WM_RBUTTONUP");
    EXPECT_EQ(log.Entries()[0].lParam, MAKELPARAM(5, 6));
    POINT p;
    GetCursorPos(&p);
    EXPECT_EQ(p, Point(107, 108));
}

TEST_F(DriverTest, TypeTextProducesCharacters) {
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    RunUntilIdle();
    MessageLog log{hwnd};
    log.Only({WM_CHAR});
    TypeText("aB!");
    std::string typed;
    for (const auto& e : log.Entries()) typed += static_cast<char>(e.wParam);
    EXPECT_EQ(typed, "aB!");
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);
}

// A modal loop started by a message waits for the Escape key the script presses.
LRESULT ModalProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_USER) {
        MSG m;
        while (GetMessage(&m, nullptr, 0, 0) > 0) {
            if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) return 1;
            TranslateMessage(&m);
            DispatchMessage(&m);
        }
        return 0;
    }
    return DefWindowProc(h, msg, wParam, lParam);
}

TEST_F(DriverTest, ScriptIdleFeedsNestedLoops) {
    WNDCLASS wc;
    wc.lpfnWndProc = &ModalProc;
    wc.lpszClassName = "DriverModal";
    ASSERT_NE(RegisterClass(&wc), 0);
    HWND modal = CreateWindowEx(0, "DriverModal", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                nullptr, nullptr);
    SetForegroundWindow(modal);
    SetFocus(modal);
    RunUntilIdle();
    int steps = 0;
    ScriptIdle({[&] { ++steps; },
                [&] {
                    ++steps;
                    PressKey(VK_ESCAPE);
                }});
    EXPECT_EQ(SendMessage(modal, WM_USER, 0, 0), 1);
    EXPECT_EQ(steps, 2);
    EXPECT_TRUE(IdleScriptDone());
}

} // namespace
