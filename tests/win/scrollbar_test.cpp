// The scroll bars of a window's frame: range, page and position, showing and
// hiding, the thumb, and the loop that runs a press on them.
#include "support/driver.h"

#include <string>
#include <vector>

using namespace win;
using namespace testdrv;

namespace {

struct Request {
    UINT msg = 0;
    WORD code = 0;
    int pos = 0;      // HIWORD of wParam
    int trackPos = 0; // SIF_TRACKPOS when the request came
};
std::vector<Request> g_requests;
// The window moves its position as an application does: a line is 1, a page 10.
bool g_follow = false;

LRESULT ScrollProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_VSCROLL || msg == WM_HSCROLL) {
        const int bar = msg == WM_VSCROLL ? SB_VERT : SB_HORZ;
        SCROLLINFO info;
        info.fMask = SIF_TRACKPOS | SIF_POS;
        GetScrollInfo(hwnd, bar, &info);
        const WORD code = LOWORD(static_cast<LPARAM>(wParam));
        const int pos = HIWORD(static_cast<LPARAM>(wParam));
        g_requests.push_back(Request{msg, code, pos, info.nTrackPos});
        if (g_follow) {
            int to = info.nPos;
            if (code == SB_LINEDOWN) to += 1;
            if (code == SB_LINEUP) to -= 1;
            if (code == SB_PAGEDOWN) to += 10;
            if (code == SB_PAGEUP) to -= 10;
            if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) to = pos;
            SetScrollPos(hwnd, bar, to, TRUE);
        }
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

std::string Names(const std::vector<Request>& requests) {
    std::string text;
    for (const Request& r : requests) {
        std::string name;
        switch (r.code) {
            case SB_LINEUP:
                name = "LINEUP";
                break;
            case SB_LINEDOWN:
                name = "LINEDOWN";
                break;
            case SB_PAGEUP:
                name = "PAGEUP";
                break;
            case SB_PAGEDOWN:
                name = "PAGEDOWN";
                break;
            case SB_THUMBTRACK:
                name = "THUMBTRACK";
                break;
            case SB_THUMBPOSITION:
                name = "THUMBPOSITION";
                break;
            case SB_ENDSCROLL:
                name = "ENDSCROLL";
                break;
            default:
                name = std::to_string(r.code);
        }
        text += (text.empty() ? "" : " ") + name;
    }
    return text;
}

// A click at a screen point: the press runs the bar's loop, which the release ends.
void ClickAt(POINT p) {
    MoveToScreen(p);
    ScriptIdle({[] { MouseUp(); }});
    MouseDown();
}

// A window at (100, 100), 200 x 200, without a border: its vertical bar
// covers screen x 284..299, the arrows y 100..115 and 284..299.
constexpr int kBarX = 292;
constexpr int kTop = 100;

class ScrollBarTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        g_requests.clear();
        g_follow = false;
        WNDCLASS wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &ScrollProc;
        wc.lpszClassName = "Scrolled";
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
        ASSERT_NE(RegisterClass(&wc), 0);
    }

    static HWND Make(DWORD bars = WS_VSCROLL) {
        HWND h = CreateWindowEx(0, "Scrolled", "", WS_POPUP | WS_VISIBLE | bars, 100, kTop, 200, 200, nullptr,
                                nullptr, nullptr, nullptr);
        EXPECT_NE(h, nullptr);
        return h;
    }
    static void SetBar(HWND h, int min, int max, UINT page, int pos, UINT extra = 0) {
        SCROLLINFO info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | extra;
        info.nMin = min;
        info.nMax = max;
        info.nPage = page;
        info.nPos = pos;
        SetScrollInfo(h, SB_VERT, &info, TRUE);
    }
    static SCROLLINFO Info(HWND h, int bar = SB_VERT) {
        SCROLLINFO info;
        info.fMask = SIF_ALL;
        EXPECT_TRUE(GetScrollInfo(h, bar, &info));
        return info;
    }
    // The last row of the thumb (its dark bottom edge) on the screen, -1 when
    // the track has no thumb.
    static int ThumbBottom() {
        for (int y = kTop + 16; y < kTop + 184; ++y)
            if (ScreenPixel(POINT{kBarX, y}) == GetSysColor(COLOR_3DDKSHADOW)) return y - kTop;
        return -1;
    }
};

// ============================================================================
// Range, page, position
// ============================================================================

TEST_F(ScrollBarTest, PositionAndPageStayInTheRange) {
    HWND h = Make();
    SCROLLINFO info = Info(h);
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 100);
    EXPECT_EQ(info.nPage, 0u);
    EXPECT_EQ(info.nPos, 0);
    struct Case {
        int min, max;
        UINT page;
        int pos;
        UINT expPage;
        int expPos;
        const char* why;
    } cases[] = {
        {0, 99, 10, 95, 10, 90, "the last page ends at the maximum"},
        {0, 99, 10, 40, 10, 40, "inside"},
        {10, 20, 0, 5, 0, 10, "not below the minimum"},
        {0, 9, 20, 5, 10, 0, "a page no larger than the range"},
        {-50, 50, 0, 60, 0, 50, "negative ranges"},
    };
    for (const Case& c : cases) {
        SCROLLINFO set;
        set.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        set.nMin = c.min;
        set.nMax = c.max;
        set.nPage = c.page;
        set.nPos = c.pos;
        EXPECT_EQ(SetScrollInfo(h, SB_VERT, &set, FALSE), c.expPos) << c.why;
        info = Info(h);
        EXPECT_EQ(info.nPage, c.expPage) << c.why;
        EXPECT_EQ(info.nPos, c.expPos) << c.why;
        EXPECT_EQ(info.nTrackPos, c.expPos) << c.why;
    }
    SetBar(h, 0, 99, 10, 0);
    EXPECT_EQ(SetScrollPos(h, SB_VERT, 30, TRUE), 0);
    EXPECT_EQ(SetScrollPos(h, SB_VERT, 300, TRUE), 30);
    EXPECT_EQ(GetScrollPos(h, SB_VERT), 90);
    int min = -1, max = -1;
    EXPECT_TRUE(SetScrollRange(h, SB_VERT, 5, 50, TRUE));
    EXPECT_TRUE(GetScrollRange(h, SB_VERT, &min, &max));
    EXPECT_EQ(min, 5);
    EXPECT_EQ(max, 50);
    EXPECT_FALSE(SetScrollRange(h, SB_VERT, 9, 3, TRUE));
    EXPECT_FALSE(SetScrollInfo(h, SB_CTL, &info, TRUE));
    EXPECT_FALSE(GetScrollInfo(nullptr, SB_VERT, &info));
}

TEST_F(ScrollBarTest, BarComesAndGoesWithSomethingToScroll) {
    HWND h = Make();
    auto shown = [h] { return (GetWindowLongPtr(h, GWL_STYLE) & WS_VSCROLL) != 0; };
    auto clientWidth = [h] {
        RECT r{};
        GetClientRect(h, &r);
        return r.right;
    };
    EXPECT_EQ(clientWidth(), 184);
    SetScrollRange(h, SB_VERT, 0, 0, TRUE);
    EXPECT_FALSE(shown());
    EXPECT_EQ(clientWidth(), 200);
    SetScrollRange(h, SB_VERT, 0, 50, TRUE);
    EXPECT_TRUE(shown());
    EXPECT_EQ(clientWidth(), 184);
    SetBar(h, 0, 9, 10, 0);
    EXPECT_FALSE(shown()) << "the page shows everything";
    SetBar(h, 0, 9, 10, 0, SIF_DISABLENOSCROLL);
    EXPECT_TRUE(shown()) << "kept, disabled";
    RunUntilIdle();
    EXPECT_EQ(ThumbBottom(), -1);
    ClickAt(POINT{kBarX, kTop + 190});
    EXPECT_EQ(Names(g_requests), "") << "a disabled bar takes no press";
    SetBar(h, 0, 99, 10, 0);
    EXPECT_TRUE(shown());
    EXPECT_TRUE(ShowScrollBar(h, SB_BOTH, FALSE));
    EXPECT_EQ(GetWindowLongPtr(h, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);
    EXPECT_TRUE(ShowScrollBar(h, SB_BOTH, TRUE));
    EXPECT_EQ(GetWindowLongPtr(h, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL),
              static_cast<LONG_PTR>(WS_VSCROLL | WS_HSCROLL));
}

TEST_F(ScrollBarTest, ThumbShowsPositionAndPage) {
    HWND h = Make();
    // Arrows of 16 pixels leave a track of 168.
    SetBar(h, 0, 99, 10, 0);
    RunUntilIdle();
    const int small = ThumbBottom();
    EXPECT_EQ(small, 16 + 168 * 10 / 100 - 1) << "after the arrow, as long as the page's share";
    SetBar(h, 0, 99, 50, 0);
    RunUntilIdle();
    EXPECT_EQ(ThumbBottom(), 16 + 168 * 50 / 100 - 1);
    SetBar(h, 0, 99, 10, 45);
    RunUntilIdle();
    EXPECT_GT(ThumbBottom(), small);
    EXPECT_LT(ThumbBottom(), 183);
    SetScrollPos(h, SB_VERT, 90, TRUE);
    EXPECT_EQ(ThumbBottom(), 183) << "the last position ends at the down arrow";
}

// ============================================================================
// Pressing the bar
// ============================================================================

TEST_F(ScrollBarTest, PressGoesThroughTheSystemCommand) {
    HWND h = Make();
    MessageLog log{h};
    log.Only({WM_NCLBUTTONDOWN, WM_SYSCOMMAND, WM_VSCROLL});
    ClickAt(POINT{kBarX, kTop + 190});
    const auto entries = log.Entries();
    ASSERT_EQ(log.Text(), "WM_NCLBUTTONDOWN WM_SYSCOMMAND WM_VSCROLL WM_VSCROLL");
    EXPECT_EQ(entries[0].wParam, static_cast<WPARAM>(HTVSCROLL));
    EXPECT_EQ(entries[1].wParam, SC_VSCROLL | static_cast<WPARAM>(HTVSCROLL));
    EXPECT_EQ(Names(g_requests), "LINEDOWN ENDSCROLL");
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ScrollBarTest, HeldArrowRepeatsByTimer) {
    HWND h = Make();
    SetBar(h, 0, 99, 10, 0);
    MoveToScreen(POINT{kBarX, kTop + 190});
    ScriptIdle({[] { AdvanceClock(199); }, [] { AdvanceClock(1); }, [] { AdvanceClock(50); },
                [] { AdvanceClock(50); },
                [] {
                    MoveToScreen(POINT{150, 150});
                },
                [] { AdvanceClock(200); },
                [] {
                    MoveToScreen(POINT{kBarX, kTop + 190});
                },
                [] { AdvanceClock(50); }, [] { MouseUp(); }});
    MouseDown();
    EXPECT_TRUE(IdleScriptDone());
    // At once, after 200 ms, every 50 ms; none while the cursor is off the arrow.
    EXPECT_EQ(Names(g_requests), "LINEDOWN LINEDOWN LINEDOWN LINEDOWN LINEDOWN ENDSCROLL");
    g_requests.clear();
    ClickAt(POINT{kBarX, kTop + 5});
    EXPECT_EQ(Names(g_requests), "LINEUP ENDSCROLL");
}

TEST_F(ScrollBarTest, HeldPageAreaRepeatsUntilTheThumbComes) {
    HWND h = Make();
    g_follow = true;
    SetBar(h, 0, 99, 10, 0);
    std::vector<Step> steps{[] { AdvanceClock(200); }};
    for (int i = 0; i < 15; ++i) steps.push_back([] { AdvanceClock(50); });
    steps.push_back([] { MouseUp(); });
    ScriptIdle(steps);
    MoveToScreen(POINT{kBarX, kTop + 180});
    MouseDown();
    EXPECT_EQ(Names(g_requests), "PAGEDOWN PAGEDOWN PAGEDOWN PAGEDOWN PAGEDOWN PAGEDOWN PAGEDOWN PAGEDOWN "
                                 "PAGEDOWN ENDSCROLL");
    EXPECT_EQ(GetScrollPos(h, SB_VERT), 90);
    g_requests.clear();
    ClickAt(POINT{kBarX, kTop + 20});
    EXPECT_EQ(Names(g_requests), "PAGEUP ENDSCROLL");
}

TEST_F(ScrollBarTest, DraggedThumbTracksAndEnds) {
    HWND h = Make();
    SetBar(h, 0, 99, 10, 0);
    // The thumb covers window y 16..31; it is taken 4 pixels below its top.
    MoveToScreen(POINT{kBarX, kTop + 20});
    ScriptIdle({[] {
                    MoveToScreen(POINT{kBarX, kTop + 60});
                },
                [] {
                    MoveToScreen(POINT{kBarX, kTop + 96});
                },
                [] {
                    MoveToScreen(POINT{kBarX + 3, kTop + 96});
                },
                [] { MouseUp(); }});
    MouseDown();
    ASSERT_EQ(Names(g_requests), "THUMBTRACK THUMBTRACK THUMBPOSITION ENDSCROLL");
    const int last = g_requests[1].pos;
    EXPECT_GT(g_requests[0].pos, 0);
    EXPECT_GT(last, g_requests[0].pos);
    EXPECT_EQ(last, (76 * 90 + 76) / 152) << "the thumb's offset over the free track, as positions";
    EXPECT_EQ(g_requests[1].trackPos, last) << "SIF_TRACKPOS follows the thumb";
    EXPECT_EQ(g_requests[2].pos, last);
    EXPECT_EQ(GetScrollPos(h, SB_VERT), 0) << "the window did not move the position";

    g_requests.clear();
    g_follow = true;
    ScriptIdle({[] { MoveToScreen(POINT{kBarX, kTop + 400}); }, [] { MouseUp(); }});
    MoveToScreen(POINT{kBarX, kTop + 20});
    MouseDown();
    EXPECT_EQ(Names(g_requests), "THUMBTRACK THUMBPOSITION ENDSCROLL");
    EXPECT_EQ(GetScrollPos(h, SB_VERT), 90) << "past the end stops at the last position";
}

TEST_F(ScrollBarTest, HorizontalBarAndDoubleClicks) {
    Make(WS_HSCROLL);
    // The horizontal bar covers screen y 284..299; its right arrow x 284..299.
    ClickAt(POINT{292, kTop + 192});
    ClickAt(POINT{292, kTop + 192});
    ASSERT_EQ(g_requests.size(), 4u);
    EXPECT_EQ(g_requests[0].msg, WM_HSCROLL);
    EXPECT_EQ(Names(g_requests), "LINEDOWN ENDSCROLL LINEDOWN ENDSCROLL") << "a double click presses again";
}

} // namespace
