#include "classes/graphics.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/theme.h"
#include "support/driver.h"

#include <string>

using namespace lf;
using gfx::COLORREF;
using gfx::ColorToRGB;
using gfx::RGB;

namespace {

class Office11Test : public testdrv::WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        RefreshOffice11Colors();
    }
    void TearDown() override {
        while (Office11ColorsRefCount() > 0) ReleaseOffice11Colors();
        win::detail::ResetThemeState();
        RefreshOffice11Colors();
        WinTest::TearDown();
    }
};

COLORREF Rgb(TColor AColor) {
    return ColorToRGB(AColor);
}

TEST_F(Office11Test, MixColorsWorksOnTheFullSumThenClamps) {
    struct Case {
        TColor C1, C2;
        int Percent;
        COLORREF Expected;
    };
    const Case Cases[] = {
        {gfx::clBtnFace, gfx::clWindow, 50, RGB(233, 231, 227)}, // system colours, truncated
        {RGB(1, 1, 1), RGB(1, 1, 1), 50, RGB(1, 1, 1)},          // 0.5 + 0.5 is one, not zero
        {RGB(1, 2, 3), RGB(0, 0, 0), 50, RGB(0, 1, 1)},
        {RGB(255, 255, 255), RGB(0, 0, 0), -10, RGB(0, 0, 0)}, // negative percentage
        {RGB(0, 0, 0), RGB(255, 255, 255), -10, RGB(255, 255, 255)},
        {RGB(200, 100, 0), RGB(0, 0, 0), 150, RGB(255, 150, 0)},
        {RGB(10, 20, 30), RGB(90, 80, 70), 100, RGB(10, 20, 30)},
        {RGB(10, 20, 30), RGB(90, 80, 70), 0, RGB(90, 80, 70)},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(Rgb(MixColors(C.C1, C.C2, C.Percent)), C.Expected)
            << std::hex << C.C1 << " " << C.C2 << " " << std::dec << C.Percent;
}

TEST_F(Office11Test, MixSystemColorsAndHighContrast) {
    EXPECT_EQ(Rgb(MixSystemColors(-2, 30, 72)), RGB(182, 190, 211));
    EXPECT_EQ(Rgb(MixSystemColors(200, 0, 0)), RGB(255, 255, 255));
    EXPECT_EQ(Rgb(MixSystemColors(-100, 0, 0)), RGB(0, 0, 0));

    gfx::ColorScheme ColoredText = gfx::HighContrastBlackColorScheme();
    ColoredText[gfx::COLOR_BTNTEXT] = RGB(255, 255, 0);
    struct Case {
        const char* Name;
        gfx::ColorScheme Scheme;
        bool White, Black, Colored;
    };
    const Case Cases[] = {
        {"classic", gfx::ClassicColorScheme(), false, false, false},
        {"high-contrast white", gfx::HighContrastWhiteColorScheme(), true, false, false},
        {"high-contrast black", gfx::HighContrastBlackColorScheme(), false, true, false},
        {"high-contrast coloured text", ColoredText, false, true, true},
    };
    for (const Case& C : Cases) {
        win::ChangeSysColors(C.Scheme);
        EXPECT_EQ(IsHighContrastWhite(), C.White) << C.Name;
        EXPECT_EQ(IsHighContrastBlack(), C.Black) << C.Name;
        EXPECT_EQ(IsHighContrastColoredText(), C.Colored) << C.Name;
        if (C.White || C.Black) {
            EXPECT_EQ(MixSystemColors(14, 44, 40), gfx::clHighlight) << C.Name;
        }
    }
}

TEST_F(Office11Test, SchemeZeroFollowsTheSystemColourTable) {
    const TOffice11Colors& C = Office11Colors();
    EXPECT_EQ(C.Scheme, 0);
    EXPECT_FALSE(IsOffice11SchemeActive());
    const std::pair<TColor, COLORREF> Classic[] = {
        {C.BarColor1, RGB(245, 244, 242)},
        {C.BarColor2, RGB(213, 209, 202)},
        {C.GripColor, RGB(245, 244, 242)},
        {C.MenuBandDarkColor1, RGB(225, 224, 222)},
        {C.MenuBandDarkColor2, RGB(195, 192, 185)},
        {C.DockColor1, RGB(212, 208, 200)},
        {C.DockColor2, RGB(246, 245, 244)},
        {C.BarEdgeColor, RGB(218, 215, 208)},
        {C.MenuColor, RGB(255, 255, 255)},
        {C.MenuBorderColor, RGB(128, 128, 128)},
        {C.MenuSeparatorColor, RGB(166, 166, 166)},
        {C.SeparatorLightColor, RGB(255, 255, 255)},
        {C.SelectedFrameColor, RGB(10, 36, 106)},
        {C.HotColor, RGB(182, 190, 211)},
        {C.DownColor, RGB(136, 146, 176)},
        {C.CheckedColor, RGB(210, 211, 216)},
        {C.DownGradientColor1, RGB(136, 146, 176)},
        {C.ToolbarColor, RGB(213, 209, 202)},
        {C.TextColor, RGB(0, 0, 0)},
        {C.DisabledTextColor, RGB(128, 128, 128)},
        {C.CaptionColor, RGB(128, 128, 128)},
        {C.FloatingFrameInnerColor, RGB(213, 209, 202)},
        {C.ImageFadeColor, RGB(161, 161, 161)},
        {C.MarkArrowColor, RGB(255, 255, 255)},
        {C.MarkArrowShadowColor, RGB(0, 0, 0)},
    };
    for (std::size_t I = 0; I < std::size(Classic); ++I)
        EXPECT_EQ(Rgb(Classic[I].first), Classic[I].second) << "entry " << I;

    // Another table: face (100, 150, 200), window (250, 240, 230), highlight blue.
    gfx::ColorScheme Table = gfx::ClassicColorScheme();
    Table[gfx::COLOR_BTNFACE] = RGB(100, 150, 200);
    Table[gfx::COLOR_WINDOW] = RGB(250, 240, 230);
    Table[gfx::COLOR_HIGHLIGHT] = RGB(0, 0, 255);
    win::ChangeSysColors(Table);
    RefreshOffice11Colors();
    EXPECT_EQ(Rgb(C.BarColor1), RGB(217, 220, 223));
    EXPECT_EQ(Rgb(C.DockColor1), RGB(100, 150, 200));
    EXPECT_EQ(Rgb(C.HotColor), RGB(178, 169, 238));
    EXPECT_EQ(Rgb(C.MenuColor), RGB(250, 240, 230));
}

TEST_F(Office11Test, SchemeDetectionByThemeNames) {
    struct Case {
        bool Active;
        const char* File;
        const char* Color;
        int Scheme;
        COLORREF BarColor1;
    };
    const Case Cases[] = {
        {true, "C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", "NormalColor", 1, RGB(221, 236, 254)},
        {true, "C:\\WINDOWS\\Resources\\Themes\\Luna\\LUNA.MSSTYLES", "HomeStead", 2, RGB(244, 247, 222)},
        {true, "/themes/luna.msstyles", "metallic", 3, RGB(243, 244, 250)},
        {true, "C:\\WINDOWS\\Resources\\Themes\\Royale\\Royale.msstyles", "NormalColor", 0,
         RGB(245, 244, 242)},
        {true, "C:\\Luna.msstyles", "Autumn", 0, RGB(245, 244, 242)},
        {false, "C:\\Luna.msstyles", "NormalColor", 0, RGB(245, 244, 242)},
    };
    for (const Case& C : Cases) {
        win::SetReportedTheme(C.Active, C.File, C.Color);
        RefreshOffice11Colors();
        EXPECT_EQ(Office11Colors().Scheme, C.Scheme) << C.File << " " << C.Color;
        EXPECT_EQ(IsOffice11SchemeActive(), C.Scheme != 0) << C.File << " " << C.Color;
        EXPECT_EQ(Rgb(Office11Colors().BarColor1), C.BarColor1) << C.File << " " << C.Color;
    }
    win::SetReportedTheme(true, "Luna.msstyles", "NormalColor");
    RefreshOffice11Colors();
    const TOffice11Colors& Blue = Office11Colors();
    EXPECT_EQ(Rgb(Blue.MenuBandDarkColor1), RGB(203, 217, 233));
    EXPECT_EQ(Rgb(Blue.HotGradientColor1), RGB(255, 244, 204));
    EXPECT_EQ(Rgb(Blue.TextColor), RGB(0, 0, 0));
    EXPECT_EQ(Rgb(Blue.CaptionColor), RGB(42, 102, 201));
}

TEST_F(Office11Test, ReferenceCountingOwnsBrushesAndBitmap) {
    EXPECT_EQ(Office11Colors().MenuBrush, nullptr);
    AddRefOffice11Colors();
    AddRefOffice11Colors();
    const TOffice11Colors& C = Office11Colors();
    const gfx::HBRUSH Brushes[] = {C.MenuBrush,           C.MenuBorderBrush,    C.MenuSeparatorBrush,
                                   C.SeparatorLightBrush, C.SelectedFrameBrush, C.HotBrush,
                                   C.DownBrush,           C.CheckedBrush,       C.ToolbarBrush,
                                   C.DetachBarBrush,      C.BarEdgeBrush};
    for (gfx::HBRUSH B : Brushes) EXPECT_EQ(gfx::GetObjectType(B), gfx::OBJ_BRUSH);
    gfx::LOGBRUSH Hot;
    ASSERT_NE(gfx::GetObject(C.HotBrush, sizeof Hot, &Hot), 0);
    EXPECT_EQ(Hot.lbColor, RGB(182, 190, 211));
    ASSERT_NE(C.SubMenuExpandBitmap, nullptr);

    // Two chevrons pointing down, black on a transparent white.
    cls::TBitmap* Art = C.SubMenuExpandBitmap;
    EXPECT_EQ(Art->Width(), 7);
    EXPECT_TRUE(Art->Transparent());
    EXPECT_EQ(ColorToRGB(Art->TransparentColor()), RGB(255, 255, 255));
    std::string Picture;
    for (int Y = 0; Y < Art->Height(); ++Y) {
        for (int X = 0; X < Art->Width(); ++X)
            Picture += Art->Canvas()->Pixels(X, Y) == gfx::clBlack ? '#' : '.';
        Picture += '\n';
    }
    EXPECT_EQ(Picture, "##...##\n.##.##.\n..###..\n...#...\n##...##\n.##.##.\n..###..\n...#...\n");

    // A refresh while referenced makes new brushes in the new colours.
    gfx::ColorScheme Table = gfx::ClassicColorScheme();
    Table[gfx::COLOR_WINDOW] = RGB(250, 240, 230);
    win::ChangeSysColors(Table);
    RefreshOffice11Colors();
    gfx::LOGBRUSH Menu;
    ASSERT_NE(gfx::GetObject(C.MenuBrush, sizeof Menu, &Menu), 0);
    EXPECT_EQ(Menu.lbColor, RGB(250, 240, 230));
    for (gfx::HBRUSH B : Brushes) EXPECT_EQ(gfx::GetObjectType(B), 0u);

    const gfx::HBRUSH Current = C.MenuBrush;
    ReleaseOffice11Colors();
    EXPECT_EQ(gfx::GetObjectType(Current), gfx::OBJ_BRUSH);
    ReleaseOffice11Colors();
    EXPECT_EQ(gfx::GetObjectType(Current), 0u);
    EXPECT_EQ(C.MenuBrush, nullptr);
    EXPECT_EQ(C.BarEdgeBrush, nullptr);
    EXPECT_EQ(C.SubMenuExpandBitmap, nullptr);
    // An unbalanced release is ignored.
    ReleaseOffice11Colors();
    EXPECT_EQ(Office11ColorsRefCount(), 0);
    // The colours stay readable without a reference.
    EXPECT_EQ(Rgb(C.MenuColor), RGB(250, 240, 230));
}

TEST_F(Office11Test, MarkColors) {
    const TOffice11MarkColors Classic = Office11MarkColors();
    EXPECT_EQ(Rgb(Classic[msNormal][0]), RGB(161, 161, 161));
    EXPECT_EQ(Rgb(Classic[msNormal][1]), RGB(128, 128, 128));
    EXPECT_EQ(Rgb(Classic[msNormal][2]), RGB(191, 191, 191));
    EXPECT_EQ(Rgb(Classic[msNormal][3]), RGB(170, 168, 164));
    EXPECT_EQ(Rgb(Classic[msHot][0]), RGB(190, 198, 220));
    EXPECT_EQ(Classic[msHot][1], Classic[msHot][0]);

    win::SetReportedTheme(true, "Luna.msstyles", "NormalColor");
    RefreshOffice11Colors();
    const TOffice11MarkColors Blue = Office11MarkColors();
    EXPECT_EQ(Rgb(Blue[msNormal][0]), RGB(117, 166, 241));
    EXPECT_EQ(Rgb(Blue[msNormal][2]), RGB(127, 173, 242));
    EXPECT_EQ(Rgb(Blue[msNormal][3]), RGB(61, 108, 184));
    EXPECT_EQ(Rgb(Blue[msPressed][1]), RGB(255, 221, 152));
}

} // namespace
