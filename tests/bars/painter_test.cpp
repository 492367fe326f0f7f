#include "bars/painter.h"

#include "bars/flat_painter.h"
#include "bars/office11_painter.h"
#include "bars/standard_painter.h"

#include "fixture.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/drawing.h"
#include "lookandfeel/lookandfeel.h"
#include "win/theme.h"

#include <gtest/gtest.h>

namespace {

using namespace bars;

class PainterTest : public test::ManagerTest {};

TEST_F(PainterTest, EffectiveStyleFollowsTheLookAndFeelKind) {
    struct Case {
        TdxBarManagerStyle Style;
        lf::TcxLookAndFeelKind Kind;
        bool NativeStyle;
        TdxBarManagerStyle Effective;
        bool Flat;
        bool NonStandard;
    };
    // No visual styles here: a native look-and-feel still goes by its Kind.
    for (const Case& C : {
             Case{bmsStandard, lf::lfOffice11, false, bmsStandard, false, false},
             Case{bmsFlat, lf::lfStandard, false, bmsFlat, true, true},
             Case{bmsXP, lf::lfFlat, false, bmsXP, false, true},
             Case{bmsUseLookAndFeel, lf::lfFlat, false, bmsEnhanced, false, true},
             Case{bmsUseLookAndFeel, lf::lfStandard, false, bmsStandard, false, false},
             Case{bmsUseLookAndFeel, lf::lfUltraFlat, false, bmsFlat, false, true},
             Case{bmsUseLookAndFeel, lf::lfOffice11, false, bmsOffice11, false, true},
             Case{bmsUseLookAndFeel, lf::lfStandard, true, bmsStandard, false, false},
         }) {
        Manager->SetStyle(C.Style);
        Manager->LookAndFeel()->SetKind(C.Kind);
        Manager->LookAndFeel()->SetNativeStyle(C.NativeStyle);
        EXPECT_EQ(GetEffectiveStyle(Manager), C.Effective) << C.Style << " " << C.Kind;
        EXPECT_EQ(Manager->IsFlatStyle(), C.Flat) << C.Style << " " << C.Kind;
        EXPECT_EQ(Manager->IsNonStandardStyle(), C.NonStandard) << C.Style << " " << C.Kind;
        EXPECT_EQ(Manager->IsShowRecentItemsFirst(), C.NonStandard) << C.Style << " " << C.Kind;
    }
    Manager->SetMenusShowRecentItemsFirst(false);
    EXPECT_FALSE(Manager->IsShowRecentItemsFirst());
}

TEST_F(PainterTest, StyleChangesKeepThePainterAndItsMetrics) {
    EXPECT_EQ(Manager->Style(), bmsEnhanced);
    EXPECT_FALSE(Manager->ThemeAvailable());
    TdxBarItemControlPainterClass Painter = Manager->PainterClass();
    ASSERT_NE(Painter, nullptr);
    for (TdxBarManagerStyle Style :
         {bmsStandard, bmsEnhanced, bmsFlat, bmsXP, bmsOffice11, bmsUseLookAndFeel}) {
        Manager->SetStyle(Style);
        EXPECT_EQ(Manager->PainterClass(), Manager->GetItemControlPainterClass());
        EXPECT_EQ(Manager->DragZoneSize(), Manager->PainterClass()->GetDragZoneSize());
        EXPECT_EQ(Manager->GripIndent(), Manager->PainterClass()->GetGripIndent());
        EXPECT_EQ(Manager->MenuSeparatorIndent(), Manager->PainterClass()->GetMenuSeparatorIndent());
    }
}

TEST_F(PainterTest, BasePainterAnswersFromTheSystem) {
    TdxBarItemControlPainterClass Painter = TdxBarItemControlPainter::Class();
    EXPECT_EQ(Manager->GetBarFrameWidth(), win::GetSystemMetrics(win::SM_CXFRAME));
    EXPECT_EQ(Manager->GetBarFrameHeight(), win::GetSystemMetrics(win::SM_CYFRAME));

    win::NONCLIENTMETRICS Metrics;
    win::SystemParametersInfo(win::SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0);
    Metrics.iSmCaptionHeight = 21;
    win::SetNonClientMetrics(Metrics);
    EXPECT_EQ(Painter->GetCaptionHeight(), 22);
    gfx::SIZE Close{};
    Painter->GetCloseButtonSize(Close);
    EXPECT_EQ(Close.cx, 21);
    EXPECT_EQ(Close.cy, 21);

    win::SetSystemMetric(win::SM_CXHSCROLL, 19);
    gfx::SIZE Grip{};
    Painter->GetSizeGripSize(Grip);
    EXPECT_EQ(Grip.cx, 19);

    EXPECT_EQ(Painter->GetSeparatorLineOffset(), 2);
    EXPECT_EQ(Painter->GetDropDownButtonWidth(6), 11);
    EXPECT_EQ(Painter->GetEditHeight(nullptr, 13), 19);
    EXPECT_TRUE(Painter->IsSmallRect(nullptr, gfx::RECT{0, 0, 10, 16}));
    EXPECT_FALSE(Painter->IsSmallRect(nullptr, gfx::RECT{0, 0, 10, 17}));
    gfx::RECT Border{};
    Painter->GetBorderRect(false, dsTop, Border);
    EXPECT_EQ(Border, (gfx::RECT{2, 2, 2, 2}));
    gfx::RECT Docked{};
    Painter->GetDockedFrameRect(nullptr, Docked);
    EXPECT_EQ(Docked, (gfx::RECT{1, 1, 1, 1}));

    EXPECT_EQ(Painter->GetCaptionColor(nullptr, true), gfx::clActiveCaption);
    EXPECT_EQ(Painter->GetCaptionColor(nullptr, false), gfx::clInactiveCaption);
    EXPECT_EQ(Painter->GetMarkChevronColor(nullptr), gfx::clBtnText);
    EXPECT_EQ(Painter->GetProgressBarColor(),
              static_cast<gfx::TColor>(gfx::GetSysColor(gfx::COLOR_HIGHLIGHT)));
    EXPECT_FALSE(Painter->GetProgressFrameSize());
    EXPECT_EQ(Painter->GetSizeGripBandHeight(), lf::GetSizeGripAreaHeight());
    EXPECT_EQ(Painter->GetEditWindowStyle(), 0x80u);
}

TEST_F(PainterTest, TheToolbarBrushIsTheManagersWhichOnlyVisualStylesMake) {
    const TdxBarItemControlPainterClass Painters[] = {
        TdxBarItemControlPainter::Class(), TdxBarItemControlStandardPainter::Class(),
        TdxBarItemControlEnhancedPainter::Class(), TdxBarItemControlFlatPainter::Class()};
    ASSERT_FALSE(Manager->ThemeAvailable());
    for (const TdxBarItemControlPainterClass Painter : Painters)
        EXPECT_EQ(Painter->GetToolbarBrush(Manager), nullptr);
    win::SetTheme(win::ThemeScheme::Blue);
    testdrv::RunUntilIdle();
    ASSERT_TRUE(Manager->ThemeAvailable());
    ASSERT_NE(Manager->XPToolbarBrush(), nullptr);
    for (const TdxBarItemControlPainterClass Painter : Painters)
        EXPECT_EQ(Painter->GetToolbarBrush(Manager), Manager->XPToolbarBrush());
    // The Office11 look has a toolbar colour of its own.
    EXPECT_EQ(TdxBarItemControlOffice11Painter::Class()->GetToolbarBrush(Manager),
              lf::Office11Colors().ToolbarBrush);
}

TEST_F(PainterTest, DropDownPartWidthFollowsTheArrowWidthAndLargeIcons) {
    struct Case {
        int ArrowWidth;
        bool LargeIcons;
        int Expected;
    };
    TdxBarItemControlPainterClass Painter = TdxBarItemControlPainter::Class();
    for (const Case& C : {Case{11, false, 11}, Case{10, false, 11}, Case{10, true, 21}, Case{11, true, 23}}) {
        Manager->SetButtonArrowWidth(C.ArrowWidth);
        Manager->SetLargeIcons(C.LargeIcons);
        EXPECT_EQ(Painter->GetButtonArrowWidth(Manager), C.Expected) << C.ArrowWidth << " " << C.LargeIcons;
        EXPECT_EQ(Manager->DropDownArrowWidth(), C.Expected);
    }
}

TEST_F(PainterTest, CaptionColoursEmbossOnlyDisabledIdleCaptions) {
    struct Case {
        bool Enabled;
        bool Selected;
        bool FlatHint;
        gfx::TColor Shadow;
        gfx::TColor Text;
    };
    TdxBarItemControlPainterClass Painter = TdxBarItemControlPainter::Class();
    for (const Case& C : {
             Case{true, false, false, gfx::clBtnText, gfx::clBtnText},
             Case{true, true, false, gfx::clHighlightText, gfx::clHighlightText},
             Case{true, true, true, gfx::clBtnText, gfx::clBtnText},
             Case{false, true, false, gfx::clGrayText, gfx::clGrayText},
             Case{false, false, true, gfx::clGrayText, gfx::clGrayText},
             Case{false, false, false, gfx::clBtnHighlight, gfx::clBtnShadow},
         }) {
        gfx::TColor Shadow = 0, Text = 0;
        Painter->GetTextColors(nullptr, C.Enabled, Shadow, Text, C.FlatHint, C.Selected);
        EXPECT_EQ(Shadow, C.Shadow) << C.Enabled << C.Selected << C.FlatHint;
        EXPECT_EQ(Text, C.Text) << C.Enabled << C.Selected << C.FlatHint;
    }
}

TEST_F(PainterTest, MenuAndEditMetricsOfTheBasePainter) {
    TdxBarItemControlPainterClass Painter = TdxBarItemControlPainter::Class();
    EXPECT_EQ(Painter->GetScrollArrowSize(nullptr, 20), 7);
    EXPECT_EQ(Painter->GetMenuSeparatorHeight(nullptr), 10);
    gfx::RECT Content{10, 10, 40, 30};
    Painter->GetMenuContentRect(nullptr, Content);
    EXPECT_EQ(Content, (gfx::RECT{13, 13, 37, 27}));
    int Width = 40;
    Painter->AdjustMenuBandWidth(Width);
    Painter->AdjustButtonWidth(nullptr, Width);
    EXPECT_EQ(Width, 40);
    EXPECT_EQ(Painter->GetEditCaptionWidth(nullptr, 30), 36);
    EXPECT_EQ(Painter->GetExpandButtonIndent(nullptr), 1);
    EXPECT_FALSE(Painter->HasRarelyUsedBoundaryLine());
}

TEST_F(PainterTest, HighContrastPredicatesFollowTheButtonFace) {
    struct Case {
        const gfx::ColorScheme* Scheme;
        bool White;
        bool Black;
    };
    for (const Case& C : {Case{&gfx::ClassicColorScheme(), false, false},
                          Case{&gfx::HighContrastWhiteColorScheme(), true, false},
                          Case{&gfx::HighContrastBlackColorScheme(), false, true}}) {
        win::ChangeSysColors(*C.Scheme);
        EXPECT_EQ(lf::IsHighContrastWhite(), C.White);
        EXPECT_EQ(lf::IsHighContrastBlack(), C.Black);
    }
    gfx::ColorScheme Colored = gfx::HighContrastBlackColorScheme();
    Colored[gfx::COLOR_BTNTEXT] = gfx::RGB(255, 255, 0);
    win::ChangeSysColors(Colored);
    EXPECT_TRUE(lf::IsHighContrastColoredText());
    Colored[gfx::COLOR_BTNTEXT] = gfx::RGB(255, 255, 255);
    win::ChangeSysColors(Colored);
    EXPECT_FALSE(lf::IsHighContrastColoredText());
}

} // namespace
