#include "support/driver.h"
#include "win/theme.h"

#include <cstdlib>
#include <string>

using namespace win;
using testdrv::MessageLog;

namespace {

constexpr COLORREF Backdrop = RGB(255, 0, 255);

class ThemeTest : public testdrv::WinTest {
protected:
    HWND TopLevel() {
        WNDCLASS wc;
        wc.lpfnWndProc = &DefWindowProc;
        wc.lpszClassName = "ThemeProbe";
        RegisterClass(&wc);
        return CreateWindowEx(0, "ThemeProbe", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr);
    }
    // The part drawn at (0, 0) over the backdrop of a fresh surface.
    static void Draw(gfx::MemoryDC& dc, const char* cls, int part, int state, int w, int h, HRESULT* result) {
        const RECT all{0, 0, 64, 64};
        HBRUSH b = CreateSolidBrush(Backdrop);
        FillRect(dc.Handle(), &all, b);
        DeleteObject(b);
        HTHEME t = OpenThemeData(nullptr, cls);
        const RECT r{0, 0, w, h};
        *result = DrawThemeBackground(t, dc.Handle(), part, state, &r, nullptr);
        CloseThemeData(t);
    }
};

bool Near(COLORREF a, COLORREF b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
            tolerance)
            return false;
    return true;
}

TEST_F(ThemeTest, ClassicHasNoThemeData) {
    EXPECT_EQ(GetTheme(), ThemeScheme::Classic);
    EXPECT_FALSE(IsThemeActive());
    EXPECT_FALSE(IsAppThemed());
    EXPECT_EQ(OpenThemeData(nullptr, "Button"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_FOUND);
    char file[64] = "x", color[64] = "x";
    EXPECT_EQ(GetCurrentThemeName(file, sizeof file, color, sizeof color, nullptr, 0), E_FAIL);

    HDC dc = CreateCompatibleDC(nullptr);
    const RECT r{0, 0, 10, 10};
    RECT content{};
    SIZE size{};
    COLORREF c = 0;
    EXPECT_EQ(DrawThemeBackground(nullptr, dc, 1, 1, &r, nullptr), E_HANDLE);
    EXPECT_EQ(GetThemeBackgroundContentRect(nullptr, dc, 1, 1, &r, &content), E_HANDLE);
    EXPECT_EQ(GetThemePartSize(nullptr, dc, 1, 1, nullptr, TS_TRUE, &size), E_HANDLE);
    EXPECT_EQ(GetThemeColor(nullptr, 1, 1, TMT_FILLCOLOR, &c), E_HANDLE);
    EXPECT_FALSE(IsThemeBackgroundPartiallyTransparent(nullptr, 1, 1));
    EXPECT_EQ(CloseThemeData(nullptr), E_HANDLE);
    EXPECT_EQ(DrawThemeBackground(nullptr, dc, 1, 1, nullptr, nullptr), E_POINTER);
    DeleteDC(dc);
}

TEST_F(ThemeTest, SwitchingTellsWindowsChangesColoursAndRepaints) {
    HWND probe = TopLevel();
    testdrv::RunUntilIdle();
    MessageLog log({probe});
    log.Only({WM_THEMECHANGED, WM_SYSCOLORCHANGE, WM_PAINT});

    SetTheme(ThemeScheme::Olive);
    testdrv::RunUntilIdle();
    EXPECT_TRUE(IsThemeActive());
    EXPECT_EQ(GetTheme(), ThemeScheme::Olive);
    EXPECT_EQ(log.Count(WM_SYSCOLORCHANGE), 1);
    EXPECT_EQ(log.Count(WM_THEMECHANGED), 1);
    EXPECT_EQ(log.Count(WM_PAINT), 1);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(236, 233, 216));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(147, 160, 112));
    char file[80], color[32], size[32];
    ASSERT_EQ(GetCurrentThemeName(file, sizeof file, color, sizeof color, size, sizeof size), S_OK);
    EXPECT_STREQ(color, "HomeStead");
    EXPECT_TRUE(std::string(file).ends_with("\\Luna.msstyles"));

    // The same scheme again is no change.
    SetTheme(ThemeScheme::Olive);
    EXPECT_EQ(log.Count(WM_THEMECHANGED), 1);
    // Blue shares the button face with olive: the theme changes, the face stays.
    SetTheme(ThemeScheme::Blue);
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(49, 106, 197));
    EXPECT_EQ(log.Count(WM_THEMECHANGED), 2);
    SetTheme(ThemeScheme::Silver);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(224, 223, 227));
    SetTheme(ThemeScheme::Classic);
    testdrv::RunUntilIdle();
    EXPECT_FALSE(IsThemeActive());
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), gfx::ClassicColorScheme()[COLOR_BTNFACE]);
    EXPECT_EQ(log.Count(WM_THEMECHANGED), 4);
    EXPECT_EQ(log.Count(WM_SYSCOLORCHANGE), 4);

    // A reported theme keeps the system colours; a small buffer fails whole.
    SetReportedTheme(true, "C:\\Themes\\Other.msstyles", "Metallic");
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), gfx::ClassicColorScheme()[COLOR_BTNFACE]);
    char small[8] = "x";
    EXPECT_EQ(GetCurrentThemeName(small, sizeof small, color, sizeof color, nullptr, 0),
              E_INSUFFICIENT_BUFFER);
    EXPECT_STREQ(small, "");
    EXPECT_STREQ(color, "");
    EXPECT_EQ(log.Count(WM_THEMECHANGED), 5);

    ThemeScheme parsed{};
    EXPECT_TRUE(ParseThemeScheme("Silver", &parsed));
    EXPECT_EQ(parsed, ThemeScheme::Silver);
    EXPECT_FALSE(ParseThemeScheme("luna", &parsed));
}

TEST_F(ThemeTest, HandlesAreCheckedAndDrawNothingWithoutATheme) {
    SetTheme(ThemeScheme::Blue);
    EXPECT_EQ(OpenThemeData(nullptr, "Clock"), nullptr);
    HTHEME list = OpenThemeData(nullptr, "Clock; toolbar");
    ASSERT_NE(list, nullptr);
    HTHEME other = OpenThemeData(nullptr, "Window");
    EXPECT_NE(other, list);
    EXPECT_EQ(CloseThemeData(list), S_OK);
    EXPECT_EQ(CloseThemeData(list), E_HANDLE);
    // A new handle in the same slot is not the old one.
    HTHEME again = OpenThemeData(nullptr, "ToolBar");
    EXPECT_NE(again, list);
    gfx::MemoryDC dc(30, 30);
    const RECT r{0, 0, 23, 22};
    EXPECT_EQ(DrawThemeBackground(list, dc.Handle(), TP_BUTTON, TS_HOT, &r, nullptr), E_HANDLE);
    EXPECT_EQ(DrawThemeBackground(again, dc.Handle(), 99, 1, &r, nullptr), E_INVALIDARG);
    EXPECT_EQ(DrawThemeBackground(again, dc.Handle(), TP_BUTTON, 9, &r, nullptr), E_INVALIDARG);

    // Switched off between opening and drawing: nothing is drawn.
    const RECT all{0, 0, 30, 30};
    HBRUSH b = CreateSolidBrush(Backdrop);
    FillRect(dc.Handle(), &all, b);
    DeleteObject(b);
    SetTheme(ThemeScheme::Classic);
    EXPECT_TRUE(FAILED(DrawThemeBackground(again, dc.Handle(), TP_BUTTON, TS_PRESSED, &r, nullptr)));
    EXPECT_EQ(GetPixel(dc.Handle(), 11, 0), Backdrop);
    SetTheme(ThemeScheme::Blue);
    EXPECT_EQ(DrawThemeBackground(again, dc.Handle(), TP_BUTTON, TS_PRESSED, &r, nullptr), S_OK);
    EXPECT_NE(GetPixel(dc.Handle(), 11, 0), Backdrop);
    // The clip rectangle limits the drawing.
    FillRect(dc.Handle(), &all, GetSysColorBrush(COLOR_WINDOW));
    const RECT clip{0, 0, 5, 30};
    EXPECT_EQ(DrawThemeBackground(again, dc.Handle(), TP_BUTTON, TS_PRESSED, &r, &clip), S_OK);
    EXPECT_NE(GetPixel(dc.Handle(), 2, 11), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc.Handle(), 11, 11), RGB(255, 255, 255));
    EXPECT_EQ(CloseThemeData(again), S_OK);
    EXPECT_EQ(CloseThemeData(other), S_OK);
}

TEST_F(ThemeTest, PartSizesContentAndColours) {
    SetTheme(ThemeScheme::Blue);
    struct Case {
        const char* cls;
        int part;
        THEMESIZE kind;
        SIZE size;
    };
    const Case cases[] = {
        {"Rebar", RP_GRIPPER, TS_TRUE, {5, 5}},         {"ToolBar", TP_SEPARATOR, TS_MIN, {6, 6}},
        {"ToolBar", TP_SEPARATORVERT, TS_TRUE, {6, 6}}, {"Window", WP_SMALLCLOSEBUTTON, TS_TRUE, {13, 13}},
        {"Status", SP_GRIPPER, TS_TRUE, {12, 12}},      {"ComboBox", CP_DROPDOWNBUTTON, TS_TRUE, {16, 20}},
        {"Progress", PP_CHUNK, TS_TRUE, {8, 8}},        {"ScrollBar", SBP_SIZEBOX, TS_TRUE, {13, 13}},
        {"Button", BP_CHECKBOX, TS_DRAW, {13, 13}},     {"ToolBar", TP_BUTTON, TS_DRAW, {40, 30}},
    };
    const RECT big{0, 0, 40, 30};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cls + std::string(" ") + std::to_string(c.part));
        HTHEME t = OpenThemeData(nullptr, c.cls);
        SIZE s{};
        ASSERT_EQ(GetThemePartSize(t, nullptr, c.part, 1, &big, c.kind, &s), S_OK);
        EXPECT_EQ(s.cx, c.size.cx);
        EXPECT_EQ(s.cy, c.size.cy);
        CloseThemeData(t);
    }

    struct Content {
        const char* cls;
        int part;
        RECT inner;
    };
    const RECT box{0, 0, 100, 100};
    for (const Content& c :
         {Content{"ToolBar", TP_SPLITBUTTON, {3, 3, 97, 97}}, Content{"Edit", EP_EDITTEXT, {1, 1, 99, 99}},
          Content{"Progress", PP_BAR, {3, 2, 97, 98}}, Content{"Progress", PP_BARVERT, {2, 3, 98, 97}},
          Content{"Rebar", 0, {0, 0, 100, 100}}}) {
        HTHEME t = OpenThemeData(nullptr, c.cls);
        RECT inner{};
        ASSERT_EQ(GetThemeBackgroundContentRect(t, nullptr, c.part, 1, &box, &inner), S_OK);
        EXPECT_TRUE(EqualRect(&inner, &c.inner)) << c.cls << " " << c.part;
        CloseThemeData(t);
    }

    HTHEME edit = OpenThemeData(nullptr, "Edit");
    HTHEME toolbar = OpenThemeData(nullptr, "ToolBar");
    HTHEME window = OpenThemeData(nullptr, "Window");
    COLORREF c = 0;
    EXPECT_EQ(GetThemeColor(edit, EP_EDITTEXT, ETS_DISABLED, TMT_TEXTCOLOR, &c), S_OK);
    EXPECT_EQ(c, RGB(161, 161, 146));
    EXPECT_EQ(GetThemeColor(toolbar, 0, 0, TMT_FILLCOLOR, &c), S_OK);
    EXPECT_EQ(c, RGB(236, 233, 216));
    EXPECT_EQ(GetThemeColor(window, WP_SMALLCLOSEBUTTON, 1, TMT_FILLCOLOR, &c), E_PROP_ID_UNSUPPORTED);
    EXPECT_TRUE(IsThemeBackgroundPartiallyTransparent(toolbar, TP_BUTTON, TS_HOT));
    EXPECT_FALSE(IsThemeBackgroundPartiallyTransparent(edit, EP_EDITTEXT, ETS_NORMAL));
    SetTheme(ThemeScheme::Silver);
    EXPECT_EQ(GetThemeColor(toolbar, 0, 0, TMT_FILLCOLOR, &c), S_OK);
    EXPECT_EQ(c, RGB(224, 223, 227));
    for (HTHEME t : {edit, toolbar, window}) CloseThemeData(t);
}

// A few pixels of each part in each state and scheme: its edge, its fill
// and, where it has one, its arrow or glyph.
TEST_F(ThemeTest, PartsInEachScheme) {
    struct Point {
        int x, y;
        COLORREF color;
    };
    struct Case {
        ThemeScheme scheme;
        const char* cls;
        int part, state, w, h;
        std::initializer_list<Point> points;
    };
    constexpr COLORREF White = RGB(255, 255, 255);
    const Case cases[] = {
        // Toolbar buttons: nothing when normal or disabled, a rounded face otherwise.
        {ThemeScheme::Blue, "ToolBar", TP_BUTTON, TS_NORMAL, 23, 22, {{11, 11, Backdrop}, {0, 11, Backdrop}}},
        {ThemeScheme::Blue, "ToolBar", TP_BUTTON, TS_DISABLED, 23, 22, {{11, 11, Backdrop}}},
        {ThemeScheme::Blue,
         "ToolBar",
         TP_BUTTON,
         TS_HOT,
         23,
         22,
         {{11, 0, RGB(206, 204, 190)}, {11, 1, White}, {0, 0, Backdrop}}},
        {ThemeScheme::Blue,
         "ToolBar",
         TP_BUTTON,
         TS_PRESSED,
         23,
         22,
         {{11, 21, RGB(160, 157, 142)}, {11, 2, RGB(218, 215, 201)}}},
        {ThemeScheme::Olive,
         "ToolBar",
         TP_SPLITBUTTON,
         TS_CHECKED,
         23,
         22,
         {{0, 11, RGB(160, 157, 142)}, {11, 11, RGB(250, 249, 245)}}},
        {ThemeScheme::Silver,
         "ToolBar",
         TP_SPLITBUTTONDROPDOWN,
         TS_HOTCHECKED,
         12,
         22,
         {{6, 0, RGB(148, 147, 166)}}},
        {ThemeScheme::Silver, "ToolBar", TP_BUTTON, TS_HOT, 23, 22, {{11, 0, RGB(186, 185, 200)}}},
        {ThemeScheme::Blue,
         "ToolBar",
         TP_SEPARATOR,
         1,
         6,
         22,
         {{2, 11, RGB(197, 194, 184)}, {3, 11, White}, {2, 0, Backdrop}}},
        {ThemeScheme::Silver,
         "ToolBar",
         TP_SEPARATORVERT,
         1,
         22,
         6,
         {{11, 2, RGB(174, 173, 186)}, {11, 3, White}}},
        // Rebar: an opaque face and dotted grips.
        {ThemeScheme::Blue,
         "Rebar",
         0,
         1,
         30,
         20,
         {{0, 0, RGB(236, 233, 216)}, {29, 19, RGB(236, 233, 216)}}},
        {ThemeScheme::Silver, "Rebar", 0, 1, 30, 20, {{15, 10, RGB(224, 223, 227)}}},
        {ThemeScheme::Blue,
         "Rebar",
         RP_GRIPPER,
         1,
         5,
         22,
         {{1, 3, RGB(193, 190, 177)}, {3, 5, White}, {0, 0, Backdrop}}},
        {ThemeScheme::Olive, "Rebar", RP_GRIPPERVERT, 1, 22, 5, {{3, 1, RGB(193, 190, 177)}}},
        // Window buttons: a white rim, the scheme's body and a glyph.
        {ThemeScheme::Blue,
         "Window",
         WP_SMALLCLOSEBUTTON,
         CBS_NORMAL,
         13,
         13,
         {{6, 0, White}, {6, 6, White}, {0, 0, Backdrop}, {3, 10, RGB(203, 70, 39)}}},
        {ThemeScheme::Blue,
         "Window",
         WP_MDIMINBUTTON,
         CBS_NORMAL,
         17,
         17,
         {{8, 15, RGB(32, 91, 229)}, {7, 11, White}}},
        {ThemeScheme::Olive, "Window", WP_MDIMINBUTTON, CBS_NORMAL, 17, 17, {{8, 15, RGB(126, 150, 88)}}},
        {ThemeScheme::Silver,
         "Window",
         WP_MDICLOSEBUTTON,
         CBS_NORMAL,
         17,
         17,
         {{8, 0, RGB(128, 127, 150)}, {8, 8, RGB(70, 70, 94)}}},
        {ThemeScheme::Blue, "Window", WP_MDIRESTOREBUTTON, CBS_PUSHED, 17, 17, {{8, 15, RGB(104, 152, 250)}}},
        {ThemeScheme::Blue, "Window", WP_MDICLOSEBUTTON, CBS_HOT, 17, 17, {{8, 15, RGB(214, 111, 88)}}},
        // Status bar: face and a grip in the bottom-right corner.
        {ThemeScheme::Olive, "Status", 0, 1, 30, 20, {{10, 10, RGB(236, 233, 216)}}},
        {ThemeScheme::Blue,
         "Status",
         SP_GRIPPER,
         1,
         30,
         20,
         {{26, 16, RGB(193, 190, 177)}, {28, 18, White}, {16, 8, Backdrop}}},
        // Combo and spin buttons in the scheme's colour with a dark or white arrow.
        {ThemeScheme::Blue,
         "ComboBox",
         CP_DROPDOWNBUTTON,
         CBXS_NORMAL,
         16,
         20,
         {{8, 0, RGB(177, 199, 245)}, {8, 11, RGB(77, 97, 133)}}},
        {ThemeScheme::Olive,
         "ComboBox",
         CP_DROPDOWNBUTTON,
         CBXS_NORMAL,
         16,
         20,
         {{8, 0, RGB(160, 178, 116)}, {8, 11, White}}},
        {ThemeScheme::Blue,
         "ComboBox",
         CP_DROPDOWNBUTTON,
         CBXS_DISABLED,
         16,
         20,
         {{8, 11, RGB(201, 199, 186)}}},
        {ThemeScheme::Silver,
         "Spin",
         SPNP_UP,
         1,
         15,
         10,
         {{7, 0, RGB(178, 177, 196)}, {7, 4, RGB(72, 72, 96)}}},
        {ThemeScheme::Blue, "Spin", SPNP_DOWN, 3, 15, 10, {{7, 5, RGB(77, 97, 133)}}},
        // Edit: the scheme's border around a white or grey field.
        {ThemeScheme::Blue,
         "Edit",
         EP_EDITTEXT,
         ETS_NORMAL,
         40,
         20,
         {{0, 0, RGB(127, 157, 185)}, {20, 10, White}}},
        {ThemeScheme::Olive, "Edit", EP_EDITTEXT, ETS_NORMAL, 40, 20, {{20, 19, RGB(164, 185, 127)}}},
        {ThemeScheme::Silver,
         "Edit",
         EP_EDITTEXT,
         ETS_DISABLED,
         40,
         20,
         {{0, 10, RGB(201, 199, 186)}, {20, 10, RGB(245, 244, 234)}}},
        // Progress: a rounded trough and green chunks with gaps.
        {ThemeScheme::Blue,
         "Progress",
         PP_BAR,
         1,
         60,
         14,
         {{30, 0, RGB(104, 104, 104)}, {30, 5, White}, {0, 0, Backdrop}}},
        {ThemeScheme::Blue,
         "Progress",
         PP_CHUNK,
         1,
         40,
         10,
         {{2, 5, RGB(40, 190, 40)}, {6, 5, Backdrop}, {10, 0, RGB(173, 239, 170)}}},
        {ThemeScheme::Silver,
         "Progress",
         PP_CHUNKVERT,
         1,
         10,
         40,
         {{5, 2, RGB(40, 190, 40)}, {5, 6, Backdrop}}},
        {ThemeScheme::Olive, "Progress", PP_BARVERT, 1, 14, 60, {{0, 30, RGB(104, 104, 104)}}},
        // Push buttons and check boxes of the look-and-feel.
        {ThemeScheme::Blue,
         "Button",
         BP_PUSHBUTTON,
         PBS_NORMAL,
         75,
         23,
         {{37, 0, RGB(0, 60, 116)}, {37, 3, White}}},
        {ThemeScheme::Olive,
         "Button",
         BP_PUSHBUTTON,
         PBS_HOT,
         75,
         23,
         {{37, 0, RGB(55, 98, 6)}, {37, 1, RGB(255, 238, 202)}}},
        {ThemeScheme::Blue, "Button", BP_PUSHBUTTON, PBS_DISABLED, 75, 23, {{37, 0, RGB(201, 199, 186)}}},
        {ThemeScheme::Blue,
         "Button",
         BP_CHECKBOX,
         CBS_UNCHECKEDNORMAL,
         13,
         13,
         {{0, 0, RGB(0, 60, 116)}, {6, 11, RGB(252, 252, 251)}}},
        {ThemeScheme::Blue, "Button", BP_CHECKBOX, CBS_CHECKEDNORMAL, 13, 13, {{7, 6, RGB(33, 161, 33)}}},
        {ThemeScheme::Silver, "Button", BP_CHECKBOX, CBS_MIXEDNORMAL, 13, 13, {{6, 6, RGB(64, 96, 166)}}},
        {ThemeScheme::Blue,
         "ScrollBar",
         SBP_SIZEBOX,
         SZB_LEFTALIGN,
         13,
         13,
         {{2, 9, RGB(193, 190, 177)}, {12, 1, Backdrop}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cls + std::string(" part ") + std::to_string(c.part) + " state " +
                     std::to_string(c.state) + " scheme " + std::to_string(static_cast<int>(c.scheme)));
        SetTheme(c.scheme);
        gfx::MemoryDC dc(64, 64);
        HRESULT hr = E_FAIL;
        Draw(dc, c.cls, c.part, c.state, c.w, c.h, &hr);
        ASSERT_EQ(hr, S_OK);
        for (const Point& p : c.points) {
            const COLORREF got = GetPixel(dc.Handle(), p.x, p.y);
            EXPECT_TRUE(Near(got, p.color, 6))
                << "at " << p.x << "," << p.y << ": 0x" << std::hex << got << " wanted 0x" << p.color;
        }
    }
}

} // namespace
