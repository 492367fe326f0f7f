#include "bars/item.h"

#include "bars/bars.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/subitem.h"
#include "classes/exceptions.h"
#include "classes/forms.h"
#include "fixture.h"
#include "support/driver.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace bars;

// Records the order of the click path and may act inside it.
struct TClickLog {
    std::vector<std::string> Calls;
    TdxBarItem* DeleteInClick = nullptr;
    bool ThrowInClick = false;
    cls::TObject* ExceptionSender = nullptr;
    std::string ExceptionText;

    void ClickItem(TdxBarManager*, TdxBarItem* AItem) { Calls.push_back("ClickItem " + AItem->Name()); }
    void Click(cls::TObject* Sender) {
        Calls.push_back("Click " + static_cast<TdxBarItem*>(Sender)->Name());
        if (DeleteInClick) delete DeleteInClick;
        if (ThrowInClick) throw cls::Exception("broken");
    }
    void Execute(cls::TObject*) { Calls.push_back("Execute"); }
    void Exception(cls::TObject* Sender, cls::Exception& E) {
        ExceptionSender = Sender;
        ExceptionText = E.Message();
    }
    void LinkDelete(TdxBarManager*, TdxBarItemLink* ALink) {
        Calls.push_back("LinkDelete " + (ALink->Item() ? ALink->Item()->Name() : std::string()));
    }
};

class ItemTest : public test::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        Registration =
            new test::TScopedItemClass(TdxBarItem::ClassInfo(), test::TRecordingControl::ClassInfo());
        test::TRecordingControl::Log.clear();
    }
    void TearDown() override {
        delete Registration;
        ManagerTest::TearDown();
    }

    // Links of a menu whose window exists, so that they get controls.
    TdxBarItemLinks* ShownLinks() {
        auto* Menu = new TdxBarPopupMenu(Form);
        Menu->ItemLinks()->CreateBarControl();
        return Menu->ItemLinks();
    }

    TdxBarItem* NewItem(const std::string& AName) {
        auto* Item = new TdxBarItem(Form);
        Item->SetName(AName);
        return Item;
    }

    test::TScopedItemClass* Registration = nullptr;
    TClickLog Log;
};

TEST_F(ItemTest, HintFollowsTheCaptionWhileItWasDerivedFromIt) {
    struct Case {
        const char* OldCaption;
        const char* Hint;
        const char* NewCaption;
        const char* Expected;
    } Cases[] = {
        {"", "", "&Open...", "Open"},
        {"&Save...", "Save|Writes the file", "Save &As...", "Save As|Writes the file"},
        {"&Save", "Save", "Sa&ve && exit", "Save && exit"},
        {"Open", "Opens a file", "Close", "Opens a file"},
        {"Open", "Opens|a file", "Close", "Opens|a file"},
    };
    for (const Case& C : Cases) {
        TdxBarItem Item(Form);
        Item.SetCaption(C.OldCaption);
        Item.SetHint(C.Hint);
        Item.SetCaption(C.NewCaption);
        EXPECT_EQ(Item.Hint(), C.Expected) << C.NewCaption;
    }
    TdxBarSubItem SubItem(Form);
    SubItem.SetCaption("&File");
    EXPECT_EQ(SubItem.Hint(), "");
}

TEST_F(ItemTest, ChangesReachTheControlsOfLinksThatDoNotOverrideThem) {
    TdxBarItem* Item = NewItem("Open");
    TdxBarItemLinks* Links = ShownLinks();
    TdxBarItemLink* Plain = Links->Add(Item);
    TdxBarItemLink* Renamed = Links->Add(Item);
    // A link without a window has no control and hears nothing.
    Bar->ItemLinks()->Add(Item);
    ASSERT_NE(Plain->Control(), nullptr);
    EXPECT_TRUE(Item->HasLinkControls());
    Renamed->SetUserCaption("Mine");
    test::TRecordingControl::Log.clear();

    Item->SetCaption("&Open");
    Item->SetShortCut(cls::scCtrl | 'O');
    Item->SetEnabled(false);
    Item->SetImageIndex(2);
    const std::vector<test::TRecordingControl::TEntry> Expected{
        {Plain, "Caption"},   {Plain, "ShortCut"}, {Renamed, "ShortCut"}, {Plain, "Enabled"},
        {Renamed, "Enabled"}, {Plain, "Glyph"},    {Renamed, "Glyph"}};
    EXPECT_EQ(test::TRecordingControl::Log, Expected);
    EXPECT_EQ(Plain->GetCaption(), "&Open");
    EXPECT_EQ(Renamed->GetCaption(), "Mine");
    EXPECT_EQ(Item->Hint(), "Open");

    // Unchanged values tell nobody.
    test::TRecordingControl::Log.clear();
    Item->SetCaption("&Open");
    Item->SetEnabled(false);
    EXPECT_TRUE(test::TRecordingControl::Log.empty());
}

TEST_F(ItemTest, VisibilityRebuildsTheListsAndTheControlsOfTheLinks) {
    TdxBarItem* Item = NewItem("Cut");
    TdxBarItemLinks* Links = ShownLinks();
    TdxBarItemLink* Cut = Links->Add(Item);
    Links->Add(NewItem("Copy"));
    ASSERT_EQ(Links->VisibleItemCount(), 2);
    test::TRecordingControl::Log.clear();

    Item->SetVisible(ivInCustomizing);
    EXPECT_FALSE(Item->GetActualVisible());
    EXPECT_EQ(Links->VisibleItemCount(), 1);
    EXPECT_EQ(Links->VisibleItems(0)->Item()->Name(), "Copy");
    EXPECT_EQ(Cut->Control(), nullptr);
    Item->SetVisible(ivAlways);
    EXPECT_EQ(Links->VisibleItemCount(), 2);
    EXPECT_NE(Cut->Control(), nullptr);
    // Told before it went, and again when it came back.
    EXPECT_EQ(test::TRecordingControl::Log,
              (std::vector<test::TRecordingControl::TEntry>{{Cut, "Visible"}, {Cut, "Visible"}}));
    EXPECT_FALSE(Manager->LockUpdate());
}

TEST_F(ItemTest, ClickRunsOnClickItemThenOnClick) {
    Manager->SetOnClickItem(TdxBarClickItemEvent(&Log, &TClickLog::ClickItem));
    TdxBarItem* Item = NewItem("Open");
    Item->SetOnClick(cls::TNotifyEvent(&Log, &TClickLog::Click));
    Item->Click();
    EXPECT_EQ(Log.Calls, (std::vector<std::string>{"ClickItem Open", "Click Open"}));

    Log.Calls.clear();
    Item->SetEnabled(false);
    Item->Click();
    EXPECT_TRUE(Log.Calls.empty());
}

TEST_F(ItemTest, AnActionTakesOverCaptionStateAndClick) {
    auto* Action = new cls::TAction(Form);
    Action->SetCaption("&Print...");
    Action->SetShortCut(cls::scCtrl | 'P');
    Action->SetOnExecute(cls::TNotifyEvent(&Log, &TClickLog::Execute));
    TdxBarItem* Item = NewItem("Print");
    Item->SetAction(Action);
    EXPECT_EQ(Item->Caption(), "&Print...");
    EXPECT_EQ(Item->ShortCut(), cls::scCtrl | 'P');

    Action->SetEnabled(false);
    EXPECT_FALSE(Item->Enabled());
    Action->SetEnabled(true);
    Action->SetCaption("Print &now");
    EXPECT_EQ(Item->Caption(), "Print &now");
    Item->Click();
    EXPECT_EQ(Log.Calls, std::vector<std::string>{"Execute"});

    // An OnClick of its own wins over the action.
    Log.Calls.clear();
    Item->SetOnClick(cls::TNotifyEvent(&Log, &TClickLog::Click));
    Item->Click();
    EXPECT_EQ(Log.Calls, std::vector<std::string>{"Click Print"});

    Action->SetVisible(false);
    EXPECT_EQ(Item->Visible(), ivNever);

    delete Action;
    EXPECT_EQ(Item->Action(), nullptr);
    EXPECT_EQ(Item->ActionLink(), nullptr);
}

TEST_F(ItemTest, ExceptionsOfTheHandlersGoToTheApplication) {
    cls::Application->SetOnException(cls::TExceptionEvent(&Log, &TClickLog::Exception));
    TdxBarItem* Item = NewItem("Open");
    Item->SetOnClick(cls::TNotifyEvent(&Log, &TClickLog::Click));
    Log.ThrowInClick = true;
    EXPECT_NO_THROW(Item->Click());
    EXPECT_EQ(Log.ExceptionText, "broken");
    EXPECT_EQ(Log.ExceptionSender, Item);

    // An exception in OnClick of a freed item has no sender left.
    Log.DeleteInClick = Item;
    Log.ExceptionSender = Item;
    EXPECT_NO_THROW(Item->Click());
    EXPECT_EQ(Log.ExceptionSender, nullptr);
    EXPECT_EQ(Manager->ItemCount(), 0);
}

TEST_F(ItemTest, DestroyingAnItemFreesItsLinksAndLeavesTheManager) {
    Manager->SetOnItemLinkDelete(TdxBarItemLinkEvent(&Log, &TClickLog::LinkDelete));
    TdxBarItem* Item = NewItem("Cut");
    TdxBarItem* Other = NewItem("Copy");
    TdxBarSubItem* SubItem = new TdxBarSubItem(Form);
    Bar->ItemLinks()->Add(Item);
    Bar->ItemLinks()->Add(Other);
    SubItem->ItemLinks()->Add(Item);
    ASSERT_EQ(Item->LinkCount(), 2);
    ASSERT_EQ(Manager->ItemCount(), 3);

    delete Item;
    EXPECT_EQ(Log.Calls, (std::vector<std::string>{"LinkDelete Cut", "LinkDelete Cut"}));
    EXPECT_EQ(Manager->ItemCount(), 2);
    EXPECT_EQ(Manager->IndexOfItem(Item), -1);
    ASSERT_EQ(Bar->ItemLinks()->Count(), 1);
    EXPECT_EQ(Bar->ItemLinks()->Items(0)->Item(), Other);
    EXPECT_EQ(SubItem->ItemLinks()->Count(), 0);
}

TEST_F(ItemTest, AnItemMayDestroyItselfInItsOwnClick) {
    Manager->SetOnClickItem(TdxBarClickItemEvent(&Log, &TClickLog::ClickItem));
    TdxBarItem* Item = NewItem("Exit");
    Bar->ItemLinks()->Add(Item);
    Item->SetOnClick(cls::TNotifyEvent(&Log, &TClickLog::Click));
    Log.DeleteInClick = Item;
    Item->Click();
    EXPECT_EQ(Log.Calls, (std::vector<std::string>{"ClickItem Exit", "Click Exit"}));
    EXPECT_EQ(Bar->ItemLinks()->Count(), 0);
    EXPECT_EQ(Manager->ItemCount(), 0);
}

TEST_F(ItemTest, WithoutAManagerTheQueriesAnswerNeutrally) {
    delete Manager;
    Manager = nullptr;
    TdxBarItem Item(Form);
    Item.SetImageIndex(0);
    Item.SetCategory(0);
    EXPECT_EQ(Item.BarManager(), nullptr);
    EXPECT_EQ(Item.GetIndex(), -1);
    EXPECT_EQ(Item.GetImages(), nullptr);
    EXPECT_FALSE(Item.IsImageIndexValid());
    EXPECT_EQ(Item.GetParentComponent(), nullptr);
    Item.SetVisible(ivInCustomizing);
    EXPECT_FALSE(Item.GetActualVisible());
    Item.SetOnClick(cls::TNotifyEvent(&Log, &TClickLog::Click));
    Item.Click();
    EXPECT_EQ(Log.Calls.size(), 1u);
}

} // namespace
