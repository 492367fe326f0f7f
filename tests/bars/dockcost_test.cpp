// What a dock site does again, and what it keeps: the measurements of the bars
// that did not change, and the pixels of the bars whose look did not change
// when the form's size does (the screen still shows what a full repaint
// shows).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "bars/links.h"
#include "bars/toolbar.h"
#include "fixture.h"
#include "gfx/gdi.h"
#include "win/theme.h"

namespace bars::test {
namespace {

// A button whose controls count how often they are measured.
class TCountedButton : public TdxBarButton {
    TRESTLE_CLASS(TCountedButton, TdxBarButton)
public:
    using TdxBarButton::TdxBarButton;
};

class TCountingControl : public TdxBarButtonControl {
    TRESTLE_CLASS(TCountingControl, TdxBarButtonControl)
public:
    using TdxBarButtonControl::TdxBarButtonControl;
    int GetWidth() const override {
        ++Measured[ItemLink()];
        return TdxBarButtonControl::GetWidth();
    }
    static inline std::map<const TdxBarItemLink*, int> Measured;
};

class DockMeasureTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        Form->SetBounds(0, 0, 900, 600);
        TCountingControl::Measured.clear();
    }
    // A bar of two counted buttons, docked on a row of its own.
    TdxBar* AddBar(int ARow) {
        TdxBar* B = ARow == 0 ? Bar : Manager->Bars()->Add();
        B->SetDockingStyle(dsTop);
        B->SetRow(ARow);
        B->SetOneOnRow(true);
        for (int C = 0; C < 2; ++C) {
            auto* Button = new TCountedButton(Form);
            Button->SetCaption("Command " + std::to_string(C));
            Button->SetPaintStyle(psCaption);
            B->ItemLinks()->Add(Button);
        }
        return B;
    }
    static int MeasuresOf(TdxBar* ABar) {
        int Result = 0;
        for (int I = 0; I < ABar->ItemLinks()->Count(); ++I)
            Result += TCountingControl::Measured[ABar->ItemLinks()->Items(I)];
        return Result;
    }

    const TScopedItemClass Registration{TCountedButton::ClassInfo(), TCountingControl::ClassInfo()};
};

TEST_F(DockMeasureTest, BarsShownOneByOneAreMeasuredOnceEach) {
    Form->Show();
    TdxBar* First = AddBar(0);
    First->SetVisible(true);
    testdrv::RunUntilIdle();
    const int FirstAlone = MeasuresOf(First);
    EXPECT_GT(FirstAlone, 0);
    std::vector<TdxBar*> Later;
    for (int R = 1; R < 12; ++R) {
        Later.push_back(AddBar(R));
        Later.back()->SetVisible(true);
    }
    testdrv::RunUntilIdle();
    // Eleven more rows and a site eleven times as high leave the first bar's
    // measurements as they were; each new bar is measured about as often.
    EXPECT_EQ(MeasuresOf(First), FirstAlone);
    for (TdxBar* B : Later) EXPECT_LE(MeasuresOf(B), 2 * FirstAlone);
}

TEST_F(DockMeasureTest, WhatSizesALinkMeasuresItsBarAgain) {
    Form->Show();
    TdxBar* B = AddBar(0);
    B->SetVisible(true);
    testdrv::RunUntilIdle();
    auto* First = static_cast<TCountedButton*>(B->ItemLinks()->Items(0)->Item());
    const auto Width = [B] { return B->Control()->Width(); };
    struct Case {
        const char* Name;
        std::function<void()> Change;
        bool Wider;
    };
    const Case Cases[] = {
        {"longer caption", [&] { First->SetCaption("A much longer command"); }, true},
        {"link hidden", [&] { B->ItemLinks()->Items(1)->SetVisible(false); }, false},
        {"caption and glyph", [&] { First->SetPaintStyle(psCaptionGlyph); }, true},
        {"shorter caption", [&] { First->SetCaption("A"); }, false},
        // The site lays the bar out again without being told of the change.
        {"large icons",
         [&] {
             Manager->SetLargeIcons(true);
             Manager->Bars()->DockControls(dsTop)->UpdateDock();
         },
         true},
    };
    for (const Case& C : Cases) {
        const int Before = Width();
        C.Change();
        testdrv::RunUntilIdle();
        EXPECT_EQ(Width() > Before, C.Wider) << C.Name;
        EXPECT_NE(Width(), Before) << C.Name;
        // Measured afresh, the bar keeps the width it took.
        const int After = Width();
        B->Control()->CalcMetrics();
        B->Control()->RepaintBar();
        testdrv::RunUntilIdle();
        EXPECT_EQ(Width(), After) << C.Name;
    }
}

class DockRepaintTest : public ManagerTest, public ::testing::WithParamInterface<TdxBarManagerStyle> {
protected:
    // Three bars of captioned buttons: two on the first row (the second
    // gets cut off when the form narrows), one alone on the second row and
    // away from the site's edge, which no narrowing moves.
    void SetUp() override {
        ManagerTest::SetUp();
        // The XP style draws themed, the others plain.
        win::SetTheme(GetParam() == bmsXP ? win::ThemeScheme::Blue : win::ThemeScheme::Classic);
        Form->SetBounds(0, 0, 900, 300);
        Manager->SetStyle(GetParam());
        const int Lefts[] = {0, 420, 150};
        for (int B = 0; B < 3; ++B) {
            TdxBar* Shown = B == 0 ? Bar : Manager->Bars()->Add();
            Shown->SetCaption("Bar " + std::to_string(B));
            Shown->SetDockingStyle(dsTop);
            Shown->SetRow(B / 2);
            Shown->SetOneOnRow(B == 2);
            Shown->SetDockedLeft(Lefts[B]);
            for (int C = 0; C < 4; ++C) {
                auto* Button = new TdxBarButton(Form);
                Button->SetCaption("Command " + std::to_string(C));
                Button->SetPaintStyle(psCaption);
                Shown->ItemLinks()->Add(Button);
            }
            Bars.push_back(Shown);
        }
        for (TdxBar* B : Bars) B->SetVisible(true);
        Form->Show();
        Frame();
    }

    void TearDown() override {
        ManagerTest::TearDown();
        win::SetTheme(win::ThemeScheme::Classic);
    }

    static void Frame() {
        testdrv::RunUntilIdle();
        win::ComposeScreen();
    }
    std::vector<std::uint32_t> FormPixels() const {
        std::vector<std::uint32_t> Result;
        gfx::BitmapSurface S;
        gfx::GetBitmapSurface(win::GetScreenBitmap(), &S);
        const cls::TRect R = Form->BoundsRect();
        for (int Y = R.top; Y < R.bottom; ++Y)
            for (int X = R.left; X < R.right; ++X) Result.push_back(S.Row(Y)[X] & 0xFFFFFF);
        return Result;
    }
    std::vector<cls::TRect> Places() const {
        std::vector<cls::TRect> Result;
        for (TdxBar* B : Bars) Result.push_back(B->Control()->BoundsRect());
        return Result;
    }

    std::vector<TdxBar*> Bars;
};

TEST_P(DockRepaintTest, ANarrowedFormShowsWhatAFullRepaintShows) {
    const std::vector<cls::TRect> Before = Places();
    ASSERT_FALSE(Bars[1]->Control()->Truncated());
    for (const int Width : {600, 540, 900}) {
        Form->SetBounds(0, 0, Width, 300);
        Frame();
        EXPECT_EQ(Bars[1]->Control()->Truncated(), Width < 900) << Width;
        EXPECT_EQ(Places()[2], Before[2]) << Width;
        const std::vector<std::uint32_t> Shown = FormPixels();
        win::RedrawWindow(Form->Handle(), nullptr, nullptr,
                          win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_FRAME | win::RDW_ALLCHILDREN);
        Frame();
        EXPECT_TRUE(Shown == FormPixels()) << "style " << GetParam() << ", width " << Width;
    }
}

INSTANTIATE_TEST_SUITE_P(Styles, DockRepaintTest,
                         ::testing::Values(bmsStandard, bmsEnhanced, bmsFlat, bmsXP, bmsOffice11));

} // namespace
} // namespace bars::test
