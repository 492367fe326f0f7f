// What a dock site repaints when the form's size changes: only the bars whose
// look changed, and still a screen that a full repaint would not change.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "bars/toolbar.h"
#include "fixture.h"
#include "gfx/gdi.h"

namespace bars::test {
namespace {

class DockRepaintTest : public ManagerTest, public ::testing::WithParamInterface<TdxBarManagerStyle> {
protected:
    // Three bars of captioned buttons: two on the first row (the second
    // gets cut off when the form narrows), one alone on the second row and
    // away from the site's edge, which no narrowing moves.
    void SetUp() override {
        ManagerTest::SetUp();
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
