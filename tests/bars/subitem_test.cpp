#include "bars/subitem.h"

#include "bars/bars.h"
#include "bars/button.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "classes/exceptions.h"
#include "classes/forms.h"
#include "fixture.h"
#include "support/driver.h"

#include <gtest/gtest.h>

namespace {

using namespace bars;

struct TClickCounter {
    int Clicks = 0;
    void Click(cls::TObject*) { ++Clicks; }
};

class SubItemTest : public test::ManagerTest {
protected:
};

TEST_F(SubItemTest, ShortCutsReachTheItemsOfSubItems) {
    auto* File = new TdxBarSubItem(Form);
    auto* Recent = new TdxBarSubItem(Form);
    auto* Open = new TdxBarButton(Form);
    Open->SetShortCut(cls::scCtrl | 'O');
    TClickCounter Counter;
    Open->SetOnClick(cls::TNotifyEvent(&Counter, &TClickCounter::Click));
    Bar->ItemLinks()->Add(File);
    File->ItemLinks()->Add(Recent);
    Recent->ItemLinks()->Add(Open);
    // The sub item's own shortcut never clicks it.
    File->SetShortCut(cls::scCtrl | 'F');
    EXPECT_FALSE(Bar->ItemLinks()->IsShortCut(cls::scCtrl | 'F'));

    EXPECT_TRUE(Bar->ItemLinks()->IsShortCut(cls::scCtrl | 'O'));
    EXPECT_EQ(Counter.Clicks, 1);
    // A disabled sub item hides what it holds.
    Recent->SetEnabled(false);
    EXPECT_FALSE(Bar->ItemLinks()->IsShortCut(cls::scCtrl | 'O'));
    EXPECT_EQ(Counter.Clicks, 1);
}

TEST_F(SubItemTest, ASubItemNeverContainsItself) {
    auto* Outer = new TdxBarSubItem(Form);
    auto* Inner = new TdxBarSubItem(Form);
    auto* Menu = new TdxBarPopupMenu(Form);
    auto* DropDown = new TdxBarButton(Form);
    DropDown->SetButtonStyle(bsDropDown);
    DropDown->SetDropDownMenu(Menu);
    auto* Plain = new TdxBarButton(Form);
    Outer->ItemLinks()->Add(Inner);
    Menu->ItemLinks()->Add(Outer);

    EXPECT_FALSE(Outer->CanContainItem(Outer));
    EXPECT_FALSE(Inner->CanContainItem(Outer));
    EXPECT_FALSE(Outer->CanContainItem(DropDown));
    EXPECT_TRUE(Outer->CanContainItem(Plain));
    EXPECT_FALSE(Inner->CanContainItem(DropDown));

    EXPECT_THROW(Inner->ItemLinks()->Add(Outer), cls::Exception);
    EXPECT_FALSE(Inner->ItemLinks()->ContainsItem(Outer));
    EXPECT_EQ(Outer->LinkCount(), 1);
}

TEST_F(SubItemTest, TheDetachingBarIsFollowedByIdentity) {
    TdxBar* Second = Manager->Bars()->Add();
    auto* SubItem = new TdxBarSubItem(Form);
    EXPECT_EQ(SubItem->DetachingBar(), -1);
    SubItem->SetDetachingBar(5);
    EXPECT_EQ(SubItem->DetachingBar(), -1);

    SubItem->SetDetachingBar(1);
    EXPECT_EQ(SubItem->GetDetachingBar(), Second);
    // The bar's position moves with it.
    Second->SetIndex(0);
    EXPECT_EQ(SubItem->DetachingBar(), 0);
    delete Second;
    EXPECT_EQ(SubItem->GetDetachingBar(), nullptr);
    EXPECT_EQ(SubItem->DetachingBar(), -1);
    // A new bar in the freed place is not taken for the old one.
    Manager->Bars()->Add();
    EXPECT_EQ(SubItem->DetachingBar(), -1);
}

} // namespace
