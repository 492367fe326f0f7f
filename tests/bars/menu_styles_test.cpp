// Menus on the screen in every style: the scroll-down arrow of a menu cut to
// the work area, the drop-down part of a drop-down button, and a disabled
// entry under the mouse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bars/manager.h"
#include "fixture.h"
#include "support/driver.h"
#include "win/driver.h"
#include "win/user.h"

namespace bars::test {
namespace {

using testdrv::RunUntilIdle;

constexpr TdxBarManagerStyle Styles[] = {bmsStandard, bmsEnhanced, bmsFlat, bmsOffice11};

// The screen's pixels of a rectangle of a window's client area.
std::vector<gfx::COLORREF> PixelsOf(TCustomdxBarControl* AWindow, const cls::TRect& R) {
    std::vector<gfx::COLORREF> Pixels;
    for (int Y = R.top; Y < R.bottom; ++Y)
        for (int X = R.left; X < R.right; ++X) {
            win::POINT P{X, Y};
            win::ClientToScreen(AWindow->Handle(), &P);
            Pixels.push_back(win::ScreenPixel(P));
        }
    return Pixels;
}

class MenuStylesTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        Popup->ItemLinks()->SetUseRecentItems(false);
    }
    // Closes the open menus and takes the mouse away from where they were.
    void CloseMenus() {
        if (TCustomdxBarControl* Menu = GetActiveBarControl()) Menu->DeactivateAll();
        testdrv::MoveToScreen(win::POINT{5, 5});
        RunUntilIdle();
    }
};

TEST_F(MenuStylesTest, AMenuCutToTheScreenShowsItsWholeScrollDownArrow) {
    for (int I = 1; I <= 60; ++I) AddButton(Popup->ItemLinks(), "Item " + std::to_string(I));
    for (const TdxBarManagerStyle Style : Styles) {
        Manager->SetStyle(Style);
        // Opened beside an owner, the menu ends at the work area's bottom: the
        // last row ends above it by anything up to a row.
        for (int Top = 300; Top < 330; Top += 3) {
            auto* Menu = static_cast<TdxBarSubMenuControl*>(Popup->ItemLinks()->CreateBarControl());
            Menu->SetOwnerWidth(40);
            Menu->SetOwnerHeight(20);
            Menu->SetLeft(100);
            Menu->SetTop(Top);
            Menu->ShowAnimated();
            RunUntilIdle();
            ASSERT_TRUE(Menu->CanScrollDown());
            const int S = Menu->TextHeight() / 3 - 1;
            int Arrow = 0;
            for (const gfx::COLORREF C : PixelsOf(Menu, Menu->GetScrollDownRect()))
                Arrow += C == gfx::GetSysColor(gfx::COLOR_BTNTEXT);
            EXPECT_EQ(Arrow, S * S) << Style << " at " << Top;
            Menu->CloseAndFree();
            RunUntilIdle();
        }
    }
}

TEST_F(MenuStylesTest, ADropDownButtonInAMenuDrawsItsDropDownPart) {
    auto* Menu = new TdxBarPopupMenu(Form);
    AddButton(Menu->ItemLinks(), "Inner");
    TdxBarButton* Plain = AddButton(Popup->ItemLinks(), "Send");
    TdxBarButton* DropDown = AddButton(Popup->ItemLinks(), "Send");
    DropDown->SetButtonStyle(bsDropDown);
    DropDown->SetDropDownMenu(Menu);
    for (const TdxBarManagerStyle Style : Styles) {
        Manager->SetStyle(Style);
        TdxBarSubMenuControl* Window = ShowMenu(Popup->ItemLinks());
        const cls::TRect A = Plain->Links(0)->ItemRect(), B = DropDown->Links(0)->ItemRect();
        // Both entries alike but for the right arrow-width pixels.
        const int Part = B.right - Window->MenuArrowWidth();
        ASSERT_GT(Part, B.left);
        const auto Width = [](const cls::TRect& R) { return R.right - R.left; };
        EXPECT_EQ(PixelsOf(Window, cls::TRect{A.left, A.top, Part, A.bottom}),
                  PixelsOf(Window, cls::TRect{B.left, B.top, Part, B.bottom}))
            << Style;
        EXPECT_NE(PixelsOf(Window, cls::TRect{Part, A.top, A.right, A.bottom}),
                  PixelsOf(Window, cls::TRect{Part, B.top, B.right, B.bottom}))
            << Style;
        EXPECT_EQ(Width(A), Width(B));
        // The part opens the drop-down menu.
        testdrv::Click(Window->Handle(), win::POINT{B.right - 3, (B.top + B.bottom) / 2});
        EXPECT_NE(Menu->ItemLinks()->BarControl(), nullptr) << Style;
        CloseMenus();
    }
}

TEST_F(MenuStylesTest, ADisabledEntryUnderTheMouseLooksUnselectedUntilTheKeysReachIt) {
    AddButton(Popup->ItemLinks(), "Open");
    AddButton(Popup->ItemLinks(), "Print")->SetEnabled(false);
    AddButton(Popup->ItemLinks(), "Close");
    for (const TdxBarManagerStyle Style : Styles) {
        Manager->SetStyle(Style);
        TdxBarSubMenuControl* Window = ShowMenu(Popup->ItemLinks());
        const cls::TRect R = FindLink("Print")->ItemRect();
        const std::vector<gfx::COLORREF> Idle = PixelsOf(Window, R);
        Hover("Print");
        EXPECT_EQ(Selected(), "Print") << Style;
        EXPECT_EQ(PixelsOf(Window, R), Idle) << Style;
        KeyToMenu(win::VK_UP);
        KeyToMenu(win::VK_DOWN);
        EXPECT_EQ(Selected(), "Print") << Style;
        EXPECT_NE(PixelsOf(Window, R), Idle) << Style;
        CloseMenus();
    }
}

} // namespace
} // namespace bars::test
