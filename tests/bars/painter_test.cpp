#include "bars/painter.h"

#include "fixture.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/lookandfeel.h"

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
    EXPECT_EQ(Painter->GetEditHeight(13), 19);
    EXPECT_TRUE(Painter->IsSmallRect(gfx::RECT{0, 0, 10, 16}));
    EXPECT_FALSE(Painter->IsSmallRect(gfx::RECT{0, 0, 10, 17}));
    gfx::RECT Border{};
    Painter->GetBorderRect(Border);
    EXPECT_EQ(Border.left + Border.top + Border.right + Border.bottom, 8);
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
