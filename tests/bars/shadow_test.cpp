// Drop shadows of bar windows, read back from the composed screen: the
// strips, their alpha, the joined outline with an owner rectangle, the
// solid fallback, and the mouse passing through.
#include "bars/shadow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "bars/submenu.h"
#include "bars/system.h"
#include "fixture.h"
#include "support/driver.h"
#include "win/driver.h"

namespace {

using namespace bars;
using testdrv::RunUntilIdle;

class ShadowTest : public test::MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        Manager->UsePainter(test::TTestPainter::Class());
        AddButton(Popup->ItemLinks(), "&Открыть");
        AddButton(Popup->ItemLinks(), "&Закрыть");
    }
    void TearDown() override {
        win::SetEntryPointMissing("UpdateLayeredWindow", false);
        MenuTest::TearDown();
    }

    // A menu on the bare desktop, away from the form.
    TdxBarSubMenuControl* ShowMenuAt(win::POINT AAt, const cls::TRect& AOwnerRect = {}) {
        auto* Menu = static_cast<TdxBarSubMenuControl*>(Popup->ItemLinks()->CreateBarControl());
        Menu->SetOwnerRect(AOwnerRect);
        Menu->SetLeft(AAt.x);
        Menu->SetTop(AAt.y);
        Menu->ShowAnimated();
        RunUntilIdle();
        return Menu;
    }
    static std::vector<cls::TRect> PartRects(const TdxBarShadow* AShadow) {
        std::vector<cls::TRect> Result;
        for (int I = 0; I < TdxBarShadow::MaxParts; ++I) {
            const TdxBarShadowPart* Part = AShadow->Parts(I);
            if (!Part) continue;
            Result.push_back(Part->BoundsRect());
        }
        return Result;
    }
    // The screen colour a black shadow of this alpha makes over the desktop.
    static void ExpectShade(win::POINT P, int AAlpha) {
        const gfx::COLORREF Under = win::ScreenPixel(win::POINT{900, 700});
        const gfx::COLORREF Seen = win::ScreenPixel(P);
        const auto Expected = [&](int AChannel) { return AChannel * (255 - AAlpha) / 255; };
        EXPECT_LE(std::abs(gfx::GetRValue(Seen) - Expected(gfx::GetRValue(Under))), 1)
            << P.x << "," << P.y << " seen " << int(gfx::GetRValue(Seen)) << "/" << int(gfx::GetGValue(Seen))
            << "/" << int(gfx::GetBValue(Seen)) << " under " << int(gfx::GetRValue(Under)) << "/"
            << int(gfx::GetGValue(Under)) << "/" << int(gfx::GetBValue(Under));
        EXPECT_LE(std::abs(gfx::GetGValue(Seen) - Expected(gfx::GetGValue(Under))), 1) << P.x << "," << P.y;
        EXPECT_LE(std::abs(gfx::GetBValue(Seen) - Expected(gfx::GetBValue(Under))), 1) << P.x << "," << P.y;
    }
};

bool SameRects(const std::vector<cls::TRect>& A, const std::vector<cls::TRect>& B) {
    if (A.size() != B.size()) return false;
    for (std::size_t I = 0; I < A.size(); ++I)
        if (!gfx::EqualRect(&A[I], &B[I])) return false;
    return true;
}

std::string Describe(const std::vector<cls::TRect>& ARects) {
    std::string S;
    for (const cls::TRect& R : ARects)
        S += "(" + std::to_string(R.left) + "," + std::to_string(R.top) + "," + std::to_string(R.right) +
             "," + std::to_string(R.bottom) + ") ";
    return S;
}

TEST_F(ShadowTest, AMenuCastsTwoLayeredStripsThatFadeWithDistanceAndAtTheCorners) {
    TdxBarSubMenuControl* Menu = ShowMenuAt(win::POINT{500, 300});
    const cls::TRect W = Menu->BoundsRect();
    ASSERT_EQ(TdxBarShadow::ShadowSize(), 4);
    EXPECT_TRUE(Menu->Shadow()->Visible());
    EXPECT_TRUE(Menu->Shadow()->HorizontalJoin());
    const std::vector<cls::TRect> Expected{{W.left + 4, W.bottom, W.right + 4, W.bottom + 4},
                                           {W.right, W.top + 4, W.right + 4, W.bottom}};
    EXPECT_TRUE(SameRects(PartRects(Menu->Shadow()), Expected)) << Describe(PartRects(Menu->Shadow()));

    const int MidY = (W.top + W.bottom) / 2;
    const int MidX = (W.left + W.right) / 2;
    for (int I = 0; I < 4; ++I) {
        ExpectShade(win::POINT{W.right + I, MidY}, (4 - I) * 15);
        ExpectShade(win::POINT{MidX, W.bottom + I}, (4 - I) * 15);
    }
    // The faded ends: the top of the right strip, both ends of the bottom one.
    ExpectShade(win::POINT{W.right, W.top + 4}, 60 * 1 / 5);
    ExpectShade(win::POINT{W.right, W.top + 7}, 60 * 4 / 5);
    ExpectShade(win::POINT{W.left + 4, W.bottom}, 60 * 1 / 5);
    ExpectShade(win::POINT{W.right + 3, W.bottom}, 60 * 1 / 5);
    // Outside the strips the desktop shows plainly.
    ExpectShade(win::POINT{W.right, W.top + 1}, 0);
    ExpectShade(win::POINT{W.left + 1, W.bottom + 1}, 0);
    ExpectShade(win::POINT{W.right + 4, MidY}, 0);
}

TEST_F(ShadowTest, WithoutPerPixelAlphaTheShadowIsATwoPixelBandOfButtonShadow) {
    struct Case {
        const char* Name;
        bool EntryPointMissing;
        int BitsPerPixel;
    } Cases[] = {{"no UpdateLayeredWindow", true, 32}, {"256 colours", false, 8}};
    for (const Case& C : Cases) {
        win::SetEntryPointMissing("UpdateLayeredWindow", C.EntryPointMissing);
        BindUser32EntryPoints();
        win::SetScreen(C.BitsPerPixel, {win::MonitorConfig{{0, 0, 1024, 768}, {0, 0, 1024, 738}}});
        UpdateScreenBitsPerPixel();
        EXPECT_FALSE(TdxBarShadow::IsLayered()) << C.Name;
        EXPECT_EQ(TdxBarShadow::ShadowSize(), 2) << C.Name;
        TdxBarSubMenuControl* Menu = ShowMenuAt(win::POINT{500, 300});
        const cls::TRect W = Menu->BoundsRect();
        const std::vector<cls::TRect> Expected{{W.left + 2, W.bottom, W.right + 2, W.bottom + 2},
                                               {W.right, W.top + 2, W.right + 2, W.bottom}};
        EXPECT_TRUE(SameRects(PartRects(Menu->Shadow()), Expected)) << C.Name;
        if (C.BitsPerPixel > 8) {
            const gfx::COLORREF Shadow = gfx::GetSysColor(gfx::COLOR_BTNSHADOW);
            EXPECT_EQ(win::ScreenPixel(win::POINT{W.right, W.top + 5}), Shadow) << C.Name;
            EXPECT_EQ(win::ScreenPixel(win::POINT{W.right + 1, W.bottom + 1}), Shadow) << C.Name;
            EXPECT_NE(win::ScreenPixel(win::POINT{W.right + 2, W.top + 5}), Shadow) << C.Name;
        }
        Menu->CloseAndFree();
        win::SetEntryPointMissing("UpdateLayeredWindow", false);
        BindUser32EntryPoints();
        win::SetScreen(32, {win::MonitorConfig{{0, 0, 1024, 768}, {0, 0, 1024, 738}}});
        UpdateScreenBitsPerPixel();
    }
}

TEST_F(ShadowTest, AMenuJoinedToItsOwnerShadowsTheOutlineOfBoth) {
    struct Case {
        const char* Name;
        cls::TRect Owner;
        bool HorizontalJoin;
        std::vector<cls::TRect> Parts;
    };
    // The menu is 100 pixels wide at (500, 300); its height is read below.
    TdxBarSubMenuControl* Probe = ShowMenuAt(win::POINT{500, 300});
    const int Bottom = Probe->BoundsRect().bottom;
    Probe->CloseAndFree();
    const std::vector<Case> Cases{
        // A button of the same width above: no strip between button and menu.
        {"same width above",
         {500, 280, 600, 300},
         true,
         {{600, 284, 604, 300}, {504, Bottom, 604, Bottom + 4}, {600, 300, 604, Bottom}}},
        // A narrower button above: its own right strip, then the menu's, faded at the top.
        {"narrower above",
         {520, 280, 560, 300},
         true,
         {{560, 284, 564, 300}, {504, Bottom, 604, Bottom + 4}, {600, 304, 604, Bottom}}},
        // A taller button on the left.
        {"beside",
         {440, 290, 500, Bottom + 20},
         false,
         {{600, 304, 604, Bottom},
          {500, 294, 504, 300},
          {444, Bottom + 20, 504, Bottom + 24},
          {500, Bottom, 504, Bottom + 20},
          {500, Bottom, 604, Bottom + 4}}},
    };
    for (const Case& C : Cases) {
        TdxBarSubMenuControl* Menu = ShowMenuAt(win::POINT{500, 300}, C.Owner);
        ASSERT_TRUE(Menu->OwnerRectTouchesWindow()) << C.Name;
        EXPECT_EQ(Menu->Shadow()->HorizontalJoin(), C.HorizontalJoin) << C.Name;
        EXPECT_TRUE(SameRects(PartRects(Menu->Shadow()), C.Parts))
            << C.Name << ": " << Describe(PartRects(Menu->Shadow()));
        Menu->CloseAndFree();
    }
}

TEST_F(ShadowTest, StripsTooSmallForTheirFadingNeverShow) {
    TdxBarSubMenuControl* Menu = ShowMenuAt(win::POINT{500, 300});
    TdxBarShadow Shadow(Menu);
    Shadow.SetBounds(cls::TRect{}, cls::TRect{100, 100, 103, 200});
    Shadow.SetVisible(true);
    ASSERT_NE(Shadow.Parts(0), nullptr);
    ASSERT_NE(Shadow.Parts(1), nullptr);
    // The bottom strip (3 pixels wide, fading at both ends) is too small.
    EXPECT_FALSE(Shadow.Parts(0)->IsLargeEnough());
    EXPECT_FALSE(Shadow.Parts(0)->HandleAllocated() && win::IsWindowVisible(Shadow.Parts(0)->Handle()));
    EXPECT_TRUE(Shadow.Parts(1)->IsLargeEnough());
    EXPECT_TRUE(win::IsWindowVisible(Shadow.Parts(1)->Handle()));
}

TEST_F(ShadowTest, TheShadowFollowsTheWindowAndLetsTheMouseThrough) {
    // Over the form, so that the shadow falls on it.
    TdxBarSubMenuControl* Menu = ShowMenuAt(win::POINT{100, 100});
    const cls::TRect W = Menu->BoundsRect();
    TdxBarShadowPart* Right = Menu->Shadow()->Parts(1);
    ASSERT_NE(Right, nullptr);
    // Right behind its window, and transparent to the mouse.
    const win::HWND Next = win::GetWindow(Menu->Handle(), win::GW_HWNDNEXT);
    const win::HWND AfterNext = win::GetWindow(Next, win::GW_HWNDNEXT);
    EXPECT_TRUE((Next == Right->Handle() && AfterNext == Menu->Shadow()->Parts(0)->Handle()) ||
                (Next == Menu->Shadow()->Parts(0)->Handle() && AfterNext == Right->Handle()));
    const win::POINT OnShadow{W.right + 1, (W.top + W.bottom) / 2};
    EXPECT_EQ(win::WindowFromPoint(OnShadow), Form->Handle());

    Menu->SetVisible(false);
    RunUntilIdle();
    EXPECT_FALSE(Menu->Shadow()->Visible());
    EXPECT_FALSE(win::IsWindowVisible(Right->Handle()));
    Menu->SetVisible(true);
    RunUntilIdle();
    EXPECT_TRUE(Menu->Shadow()->Visible());
    // Showing again moved nothing: the same strips show.
    EXPECT_EQ(Menu->Shadow()->Parts(1), Right);
    EXPECT_TRUE(win::IsWindowVisible(Right->Handle()));

    Menu->SetBounds(W.left + 10, W.top, W.right - W.left, W.bottom - W.top);
    RunUntilIdle();
    EXPECT_EQ(Menu->Shadow()->Parts(1)->Left(), W.right + 10);
}

} // namespace
