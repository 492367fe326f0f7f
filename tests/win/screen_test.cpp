#include "support/driver.h"
#include "win/internal.h"

#include <cstring>

using namespace win;
using testdrv::MessageLog;

namespace {

class ScreenTest : public testdrv::WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        WNDCLASS wc;
        wc.lpfnWndProc = &DefWindowProc;
        wc.lpszClassName = "ScreenPlain";
        ASSERT_NE(RegisterClass(&wc), 0);
    }
    HWND Window(DWORD style, HWND parent = nullptr) {
        HWND h =
            CreateWindowEx(0, "ScreenPlain", "", style, 10, 10, 100, 100, parent, nullptr, nullptr, nullptr);
        EXPECT_NE(h, nullptr);
        return h;
    }
};

TEST_F(ScreenTest, DefaultMetricsAreTheClassicScheme) {
    const std::pair<int, int> expected[] = {
        {SM_CXSCREEN, 1024},
        {SM_CYSCREEN, 768},
        {SM_CXVSCROLL, 16},
        {SM_CYHSCROLL, 16},
        {SM_CYCAPTION, 19},
        {SM_CYSMCAPTION, 15},
        {SM_CXBORDER, 1},
        {SM_CXEDGE, 2},
        {SM_CXFRAME, 4},
        {SM_CXDLGFRAME, 3},
        {SM_CXSIZE, 18},
        {SM_CYSIZE, 18},
        {SM_CYMENU, 19},
        {SM_CXICON, 32},
        {SM_CXSMICON, 16},
        {SM_CXDRAG, 4},
        {SM_CXDOUBLECLK, 4},
        {SM_CXMENUCHECK, 13},
        {SM_CMONITORS, 1},
        {SM_CXVIRTUALSCREEN, 1024},
        {SM_XVIRTUALSCREEN, 0},
        {SM_CXFULLSCREEN, 1024},
        {SM_CYFULLSCREEN, 719},
        {SM_SWAPBUTTON, 0},
        {SM_CXMAXIMIZED, 1032},
        {SM_CYMAXIMIZED, 746},
        {-1, 0},
        {1000, 0},
    };
    for (auto [index, value] : expected) EXPECT_EQ(GetSystemMetrics(index), value) << "metric " << index;
}

TEST_F(ScreenTest, SystemParametersOfTheClassicScheme) {
    RECT work;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work, Rect(0, 0, 1024, 738));

    NONCLIENTMETRICS ncm;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
    EXPECT_EQ(ncm.iScrollWidth, 16);
    EXPECT_EQ(ncm.iCaptionHeight, 18);
    EXPECT_EQ(ncm.iMenuHeight, 18);
    EXPECT_EQ(ncm.iBorderWidth, 1);
    for (const LOGFONT* f : {&ncm.lfMenuFont, &ncm.lfStatusFont, &ncm.lfMessageFont, &ncm.lfCaptionFont}) {
        EXPECT_STREQ(f->lfFaceName, "Tahoma");
        EXPECT_EQ(f->lfHeight, -11);
    }
    EXPECT_EQ(ncm.lfCaptionFont.lfWeight, FW_BOLD);
    EXPECT_EQ(ncm.lfMenuFont.lfWeight, FW_NORMAL);

    LOGFONT icon;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETICONTITLELOGFONT, sizeof icon, &icon, 0));
    EXPECT_STREQ(icon.lfFaceName, "Tahoma");
    EXPECT_EQ(icon.lfHeight, -11);

    DWORD delay = 0;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETMENUSHOWDELAY, 0, &delay, 0));
    EXPECT_EQ(delay, 400u);
    for (UINT action : {SPI_GETKEYBOARDCUES, SPI_GETFLATMENU}) {
        BOOL value = TRUE;
        ASSERT_TRUE(SystemParametersInfo(action, 0, &value, 0));
        EXPECT_FALSE(value);
    }
    HIGHCONTRAST hc;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0));
    EXPECT_EQ(hc.dwFlags & HCF_HIGHCONTRASTON, 0u);

    // Wrong sizes, no buffer and unknown actions fail.
    NONCLIENTMETRICS small;
    small.cbSize = 100;
    SetLastError(0);
    EXPECT_FALSE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, 100, &small, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(SystemParametersInfo(SPI_GETWORKAREA, 0, nullptr, 0));
    EXPECT_FALSE(SystemParametersInfo(0x7777, 0, &delay, 0));
}

TEST_F(ScreenTest, MonitorsSideBySide) {
    SetScreen(32, {{Rect(0, 0, 1024, 768), Rect(0, 0, 1024, 738)},
                   {Rect(1024, 0, 2304, 1024), Rect(1024, 0, 2304, 1000)}});
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 2304);
    EXPECT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);

    HMONITOR primary = MonitorFromPoint(Point(10, 10), MONITOR_DEFAULTTONULL);
    HMONITOR second = MonitorFromPoint(Point(1500, 900), MONITOR_DEFAULTTONULL);
    ASSERT_NE(primary, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(primary, second);

    struct Case {
        POINT p;
        DWORD flags;
        HMONITOR expected;
    };
    const Case points[] = {
        {{500, 900}, MONITOR_DEFAULTTONULL, nullptr},    {{500, 900}, MONITOR_DEFAULTTOPRIMARY, primary},
        {{500, 900}, MONITOR_DEFAULTTONEAREST, primary}, {{3000, 500}, MONITOR_DEFAULTTONEAREST, second},
        {{-5, -5}, MONITOR_DEFAULTTONEAREST, primary},
    };
    for (const Case& c : points)
        EXPECT_EQ(MonitorFromPoint(c.p, c.flags), c.expected) << c.p.x << "," << c.p.y;

    RECT straddling = Rect(1000, 100, 1100, 200); // mostly on the second monitor
    EXPECT_EQ(MonitorFromRect(&straddling, MONITOR_DEFAULTTONULL), second);

    MONITORINFO info;
    ASSERT_TRUE(GetMonitorInfo(second, &info));
    EXPECT_EQ(info.rcMonitor, Rect(1024, 0, 2304, 1024));
    EXPECT_EQ(info.rcWork, Rect(1024, 0, 2304, 1000));
    EXPECT_EQ(info.dwFlags, 0u);
    ASSERT_TRUE(GetMonitorInfo(primary, &info));
    EXPECT_EQ(info.dwFlags, MONITORINFOF_PRIMARY);

    std::vector<RECT> seen;
    auto collect = [](HMONITOR, HDC, RECT* r, LPARAM data) -> BOOL {
        reinterpret_cast<std::vector<RECT>*>(data)->push_back(*r);
        return TRUE;
    };
    ASSERT_TRUE(EnumDisplayMonitors(nullptr, nullptr, collect, reinterpret_cast<LPARAM>(&seen)));
    EXPECT_EQ(seen, (std::vector<RECT>{Rect(0, 0, 1024, 768), Rect(1024, 0, 2304, 1024)}));
    seen.clear();
    RECT clip = Rect(1500, 10, 1600, 20);
    ASSERT_TRUE(EnumDisplayMonitors(nullptr, &clip, collect, reinterpret_cast<LPARAM>(&seen)));
    EXPECT_EQ(seen, (std::vector<RECT>{clip}));

    // A new layout makes the old handles stale.
    SetScreen(32, {});
    EXPECT_FALSE(GetMonitorInfo(second, &info));
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
    info.cbSize = 12;
    EXPECT_FALSE(GetMonitorInfo(MonitorFromPoint(Point(0, 0), MONITOR_DEFAULTTOPRIMARY), &info));
}

TEST_F(ScreenTest, MonitorFromWindowFollowsTheWindow) {
    SetScreen(32, {{Rect(0, 0, 1024, 768), Rect(0, 0, 1024, 738)},
                   {Rect(1024, 0, 2048, 768), Rect(1024, 0, 2048, 768)}});
    HWND w = Window(WS_POPUP);
    HMONITOR primary = MonitorFromWindow(w, MONITOR_DEFAULTTONULL);
    EXPECT_EQ(primary, MonitorFromPoint(Point(0, 0), MONITOR_DEFAULTTONULL));
    MoveWindow(w, 1500, 10, 100, 100, FALSE);
    EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONULL),
              MonitorFromPoint(Point(1500, 10), MONITOR_DEFAULTTONULL));
    DestroyWindow(w);
    EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTOPRIMARY), nullptr);
}

TEST_F(ScreenTest, ChangesAreBroadcastToTopLevelWindows) {
    HWND shown = Window(WS_POPUP | WS_VISIBLE);
    HWND hidden = Window(WS_POPUP);
    HWND child = Window(WS_CHILD | WS_VISIBLE, shown);
    MessageLog log;
    log.Watch(shown, "shown");
    log.Watch(hidden, "hidden");
    log.Watch(child, "child");
    log.Only({WM_SETTINGCHANGE, WM_SYSCOLORCHANGE, WM_DISPLAYCHANGE});

    struct Case {
        std::function<void()> change;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };
    const Case cases[] = {
        {[] { SetWorkArea(0, Rect(0, 0, 1024, 700)); }, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0},
        {[] { SetSystemMetric(SM_CXVSCROLL, 20); }, WM_SETTINGCHANGE, 0, 0},
        {[] { SetSystemParameter(SPI_GETMENUSHOWDELAY, 100); }, WM_SETTINGCHANGE, 0x006B, 0},
        {[] { SetSystemParameter(SPI_GETKEYBOARDCUES, 1); }, WM_SETTINGCHANGE, 0x100B, 0},
        {[] { SetHighContrast(true); }, WM_SETTINGCHANGE, 0x0043, 0},
        {[] { SetNonClientMetrics(NONCLIENTMETRICS{}); }, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0},
        {[] { ChangeSysColors(HighContrastBlackColorScheme()); }, WM_SYSCOLORCHANGE, 0, 0},
        {[] {
             SetScreen(16, {{Rect(0, 0, 800, 600), Rect(0, 0, 800, 570)}});
         },
         WM_DISPLAYCHANGE, 16, MAKELPARAM(800, 600)},
    };
    for (const Case& c : cases) {
        log.Clear();
        c.change();
        const auto entries = log.Entries();
        ASSERT_EQ(entries.size(), 2u) << log.Text();
        for (const auto& e : entries) {
            EXPECT_EQ(e.msg, c.msg);
            EXPECT_EQ(e.wParam, c.wParam);
            EXPECT_EQ(e.lParam, c.lParam);
        }
    }

    // The changes took effect.
    RECT work;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(work, Rect(0, 0, 800, 570));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    DWORD delay = 0;
    SystemParametersInfo(SPI_GETMENUSHOWDELAY, 0, &delay, 0);
    EXPECT_EQ(delay, 100u);
    HIGHCONTRAST hc;
    SystemParametersInfo(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0);
    EXPECT_EQ(hc.dwFlags & HCF_HIGHCONTRASTON, HCF_HIGHCONTRASTON);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), HighContrastBlackColorScheme()[COLOR_WINDOW]);

    // A reset brings the defaults back.
    ResetWindowSystem();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), ClassicColorScheme()[COLOR_WINDOW]);
    SystemParametersInfo(SPI_GETMENUSHOWDELAY, 0, &delay, 0);
    EXPECT_EQ(delay, 400u);
}

TEST_F(ScreenTest, NonClientMetricsRoundTrip) {
    NONCLIENTMETRICS ncm;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    ncm.iCaptionHeight = 24;
    ncm.iScrollWidth = 20;
    ncm.iMenuHeight = 22;
    std::strcpy(ncm.lfMenuFont.lfFaceName, "DejaVu Sans");
    ncm.lfMenuFont.lfHeight = -14;
    SetNonClientMetrics(ncm);
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 25);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 20);
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU), 23);
    NONCLIENTMETRICS back;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof back, &back, 0);
    EXPECT_EQ(back.iCaptionHeight, 24);
    EXPECT_EQ(back.iMenuHeight, 22);
    EXPECT_STREQ(back.lfMenuFont.lfFaceName, "DejaVu Sans");
    EXPECT_EQ(back.lfMenuFont.lfHeight, -14);
}

TEST_F(ScreenTest, NonClientInsetsFollowTheStyles) {
    struct Case {
        DWORD style, exStyle;
        RECT insets;
    };
    const Case cases[] = {
        {WS_POPUP, 0, {0, 0, 0, 0}},
        {WS_CHILD, 0, {0, 0, 0, 0}},
        {WS_POPUP | WS_BORDER, 0, {1, 1, 1, 1}},
        {WS_POPUP | WS_DLGFRAME, 0, {3, 3, 3, 3}},
        {WS_POPUP | WS_CAPTION, 0, {3, 22, 3, 3}},
        {WS_OVERLAPPEDWINDOW, 0, {4, 23, 4, 4}},
        {WS_POPUP | WS_CAPTION | WS_THICKFRAME, WS_EX_TOOLWINDOW, {4, 19, 4, 4}},
        {WS_CHILD, WS_EX_CLIENTEDGE, {2, 2, 2, 2}},
        {WS_CHILD | WS_BORDER, WS_EX_STATICEDGE, {2, 2, 2, 2}},
        {WS_POPUP | WS_VSCROLL | WS_HSCROLL, 0, {0, 0, 16, 16}},
        {WS_POPUP | WS_BORDER, WS_EX_DLGMODALFRAME, {3, 3, 3, 3}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(detail::NonClientInsets(c.style, c.exStyle), c.insets)
            << std::hex << c.style << " " << c.exStyle;
}

} // namespace
