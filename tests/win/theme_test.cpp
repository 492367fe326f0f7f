#include "support/driver.h"
#include "win/theme.h"

#include <string>

using namespace win;
using testdrv::MessageLog;

namespace {

class ThemeTest : public testdrv::WinTest {
protected:
    void TearDown() override {
        detail::ResetThemeState();
        WinTest::TearDown();
    }
    HWND TopLevel() {
        WNDCLASS wc;
        wc.lpfnWndProc = &DefWindowProc;
        wc.lpszClassName = "ThemeProbe";
        RegisterClass(&wc);
        return CreateWindowEx(0, "ThemeProbe", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr);
    }
};

TEST_F(ThemeTest, WithoutVisualStylesEverythingFails) {
    EXPECT_FALSE(IsThemeActive());
    EXPECT_EQ(OpenThemeData(nullptr, "Button"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_FOUND);
    char file[64] = "x", color[64] = "x";
    EXPECT_EQ(GetCurrentThemeName(file, sizeof file, color, sizeof color, nullptr, 0), E_FAIL);

    HDC dc = CreateCompatibleDC(nullptr);
    const RECT r{0, 0, 10, 10};
    RECT content{};
    SIZE size{};
    COLORREF c = 0;
    EXPECT_TRUE(FAILED(DrawThemeBackground(nullptr, dc, 1, 1, &r, nullptr)));
    EXPECT_TRUE(FAILED(GetThemeBackgroundContentRect(nullptr, dc, 1, 1, &r, &content)));
    EXPECT_TRUE(FAILED(GetThemePartSize(nullptr, dc, 1, 1, nullptr, TS_TRUE, &size)));
    EXPECT_TRUE(FAILED(GetThemeColor(nullptr, 1, 1, 3802, &c)));
    EXPECT_FALSE(IsThemeBackgroundPartiallyTransparent(nullptr, 1, 1));
    EXPECT_TRUE(FAILED(CloseThemeData(nullptr)));
    EXPECT_EQ(DrawThemeBackground(nullptr, dc, 1, 1, nullptr, nullptr), E_POINTER);
    DeleteDC(dc);
}

TEST_F(ThemeTest, ReportedThemeNamesAndBroadcast) {
    HWND probe = TopLevel();
    MessageLog log({probe});
    log.Only({WM_THEMECHANGED});

    SetReportedTheme(true, "C:\\Themes\\Luna\\Luna.msstyles", "Metallic");
    EXPECT_TRUE(IsThemeActive());
    EXPECT_EQ(log.Count(WM_THEMECHANGED), 1);
    // Still no theme data to open.
    EXPECT_EQ(OpenThemeData(probe, "ToolBar"), nullptr);

    char file[64], color[64];
    ASSERT_EQ(GetCurrentThemeName(file, sizeof file, color, sizeof color, nullptr, 0), S_OK);
    EXPECT_STREQ(file, "C:\\Themes\\Luna\\Luna.msstyles");
    EXPECT_STREQ(color, "Metallic");
    ASSERT_EQ(GetCurrentThemeName(nullptr, 0, color, sizeof color, nullptr, 0), S_OK);
    EXPECT_STREQ(color, "Metallic");
    char small[8] = "x";
    EXPECT_EQ(GetCurrentThemeName(small, sizeof small, color, sizeof color, nullptr, 0),
              E_INSUFFICIENT_BUFFER);
    EXPECT_STREQ(small, "");

    // The same report again changes nothing and is not broadcast.
    SetReportedTheme(true, "C:\\Themes\\Luna\\Luna.msstyles", "Metallic");
    EXPECT_EQ(log.Count(WM_THEMECHANGED), 1);

    SetReportedTheme(false, nullptr, nullptr);
    EXPECT_FALSE(IsThemeActive());
    EXPECT_EQ(log.Count(WM_THEMECHANGED), 2);
    EXPECT_EQ(GetCurrentThemeName(file, sizeof file, color, sizeof color, nullptr, 0), E_FAIL);
}

} // namespace
