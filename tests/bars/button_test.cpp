#include "bars/button.h"

#include "bars/bars.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "classes/forms.h"
#include "fixture.h"
#include "support/driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace bars;

struct TClickCounter {
    int Clicks = 0;
    void Click(cls::TObject*) { ++Clicks; }
};

class ButtonTest : public test::ManagerTest {
protected:
    TdxBarButton* NewButton(TdxBarButtonStyle AStyle = bsDefault, int AGroupIndex = 0) {
        auto* Button = new TdxBarButton(Form);
        Button->SetButtonStyle(AStyle);
        Button->SetGroupIndex(AGroupIndex);
        return Button;
    }
    std::string DownState(const std::vector<TdxBarButton*>& AButtons) {
        std::string Result;
        for (TdxBarButton* Button : AButtons) Result += Button->Down() ? '1' : '0';
        return Result;
    }
};

TEST_F(ButtonTest, OnlyCheckedButtonsGoDown) {
    TdxBarButton* Plain = NewButton(bsDefault, 3);
    Plain->SetDown(true);
    EXPECT_FALSE(Plain->Down());
    EXPECT_EQ(Plain->GroupIndex(), 0);
    EXPECT_TRUE(Plain->UnclickAfterDoing());

    TdxBarButton* Checked = NewButton(bsChecked);
    Checked->DirectClick();
    EXPECT_TRUE(Checked->Down());
    Checked->DirectClick();
    EXPECT_FALSE(Checked->Down());
    Checked->SetDown(true);
    Checked->SetButtonStyle(bsDropDown);
    EXPECT_FALSE(Checked->Down());
}

TEST_F(ButtonTest, ButtonsOfAGroupReleaseEachOther) {
    const std::vector<TdxBarButton*> Group{NewButton(bsChecked, 1), NewButton(bsChecked, 1),
                                           NewButton(bsChecked, 1)};
    TdxBarButton* Outsider = NewButton(bsChecked, 2);
    Outsider->SetDown(true);
    // Presses in order (DirectClick, as a shortcut does) and the states after each.
    struct Step {
        int Press;
        const char* Expected;
    } Steps[] = {{0, "100"}, {1, "010"}, {1, "010"}, {2, "001"}};
    for (const Step& S : Steps) {
        Group[static_cast<std::size_t>(S.Press)]->DirectClick();
        EXPECT_EQ(DownState(Group), S.Expected) << S.Press;
    }
    EXPECT_TRUE(Outsider->Down());

    Group[0]->SetAllowAllUp(true);
    EXPECT_TRUE(Group[2]->AllowAllUp());
    EXPECT_FALSE(Outsider->AllowAllUp());
    Group[2]->DirectClick();
    EXPECT_EQ(DownState(Group), "000");

    // Moving to another group releases the button.
    Group[1]->SetDown(true);
    Group[1]->SetGroupIndex(2);
    EXPECT_FALSE(Group[1]->Down());
}

// A button kind of the test's own, shown by the recording control.
class TTestButton : public TdxBarButton {
    TRESTLE_CLASS(TTestButton, TdxBarButton)
public:
    using TdxBarButton::TdxBarButton;
};

TEST_F(ButtonTest, DownAndStyleChangesReachTheControlsOfTheLinks) {
    const test::TScopedItemClass Registration(TTestButton::ClassInfo(), test::TRecordingControl::ClassInfo());
    TdxBarPopupMenu Menu(Form);
    Menu.ItemLinks()->CreateBarControl();
    auto* Button = new TTestButton(Form);
    TdxBarItemLink* Plain = Menu.ItemLinks()->Add(Button);
    TdxBarItemLink* OwnStyle = Menu.ItemLinks()->Add(Button);
    OwnStyle->SetUserPaintStyle(psCaption);
    test::TRecordingControl::Log.clear();

    Button->SetButtonStyle(bsChecked);
    Button->SetDown(true);
    Button->SetPaintStyle(psCaptionGlyph);
    Button->SetDropDownEnabled(false);
    EXPECT_EQ(test::TRecordingControl::Log,
              (std::vector<test::TRecordingControl::TEntry>{{Plain, "ButtonStyle"},
                                                            {OwnStyle, "ButtonStyle"},
                                                            {Plain, "Down"},
                                                            {OwnStyle, "Down"},
                                                            {Plain, "PaintStyle"},
                                                            {Plain, "DropDownEnabled"},
                                                            {OwnStyle, "DropDownEnabled"}}));
}

TEST_F(ButtonTest, AFreedDropDownMenuLeavesTheButton) {
    auto* Menu = new TdxBarPopupMenu(Form);
    TdxBarButton* Button = NewButton(bsDropDown);
    Button->SetDropDownMenu(Menu);
    EXPECT_EQ(Button->DropDownItemLinks(), Menu->ItemLinks());
    delete Menu;
    EXPECT_EQ(Button->DropDownMenu(), nullptr);
    EXPECT_EQ(Button->DropDownItemLinks(), nullptr);
}

TEST_F(ButtonTest, ShortCutsReachDropDownMenusAndEndInACycle) {
    // The menu holds the button whose drop-down it is.
    auto* Menu = new TdxBarPopupMenu(Form);
    TdxBarButton* Opener = NewButton(bsDropDown);
    Opener->SetDropDownMenu(Menu);
    Opener->SetShortCut(cls::scCtrl | 'O');
    TdxBarButton* Save = NewButton();
    Save->SetShortCut(cls::scCtrl | 'S');
    TClickCounter Counter;
    Save->SetOnClick(cls::TNotifyEvent(&Counter, &TClickCounter::Click));
    Menu->ItemLinks()->Add(Opener);
    Menu->ItemLinks()->Add(Save);
    Bar->ItemLinks()->Add(Opener);

    EXPECT_TRUE(Bar->ItemLinks()->IsShortCut(cls::scCtrl | 'S'));
    EXPECT_EQ(Counter.Clicks, 1);
    EXPECT_FALSE(Bar->ItemLinks()->IsShortCut(cls::scCtrl | 'Q'));
    EXPECT_FALSE(Menu->ItemLinks()->IsShortCut(cls::scCtrl | 'Q'));

    // Not a drop-down button any more: its menu is not searched.
    Opener->SetButtonStyle(bsDefault);
    EXPECT_FALSE(Bar->ItemLinks()->IsShortCut(cls::scCtrl | 'S'));
    EXPECT_EQ(Counter.Clicks, 1);
}

TEST_F(ButtonTest, ToolbarAcceleratorsNeedAShownCaption) {
    TdxBarButton* Button = NewButton();
    Button->SetCaption("&Open");
    auto* Menu = new TdxBarPopupMenu(Form);
    TdxBarItemLink* InMenu = Menu->ItemLinks()->Add(Button);
    TdxBarItemLink* InBar = Bar->ItemLinks()->Add(Button);
    EXPECT_TRUE(Button->CanUseAccelerator(InMenu));
    EXPECT_FALSE(Button->CanUseAccelerator(InBar));
    Button->SetPaintStyle(psCaptionGlyph);
    EXPECT_TRUE(Button->CanUseAccelerator(InBar));
    Button->SetEnabled(false);
    EXPECT_FALSE(Button->CanUseAccelerator(InMenu));
}

} // namespace
