#include "bars/item.h"

#include "bars/bars.h"
#include "bars/manager.h"
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

// What reached the item controls' side, link by link.
std::vector<std::pair<TdxBarItemLink*, TdxBarItemControlChange>> GChanges;

void RecordChange(TdxBarItemLink* ALink, TdxBarItemControlChange AChange) {
    GChanges.emplace_back(ALink, AChange);
}

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
        Previous = SetItemControlServices({&RecordChange, nullptr, nullptr});
        GChanges.clear();
    }
    void TearDown() override {
        SetItemControlServices(Previous);
        ManagerTest::TearDown();
    }

    TdxBarItem* NewItem(const std::string& AName) {
        auto* Item = new TdxBarItem(Form);
        Item->SetName(AName);
        return Item;
    }

    TdxBarItemControlServices Previous;
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

TEST_F(ItemTest, ChangesReachTheLinksThatDoNotOverrideThem) {
    TdxBarItem* Item = NewItem("Open");
    TdxBarItemLink* Plain = Bar->ItemLinks()->Add(Item);
    TdxBarItemLink* Renamed = Bar->ItemLinks()->Add(Item);
    Renamed->SetUserCaption("Mine");
    GChanges.clear();

    Item->SetCaption("&Open");
    Item->SetShortCut(cls::scCtrl | 'O');
    Item->SetEnabled(false);
    Item->SetImageIndex(2);
    using TChange = std::pair<TdxBarItemLink*, TdxBarItemControlChange>;
    const std::vector<TChange> Expected{{Plain, iccCaptionChanged},    {Plain, iccShortCutChanged},
                                        {Renamed, iccShortCutChanged}, {Plain, iccEnabledChanged},
                                        {Renamed, iccEnabledChanged},  {Plain, iccGlyphChanged},
                                        {Renamed, iccGlyphChanged}};
    EXPECT_EQ(GChanges, Expected);
    EXPECT_EQ(Plain->GetCaption(), "&Open");
    EXPECT_EQ(Renamed->GetCaption(), "Mine");
    EXPECT_EQ(Item->Hint(), "Open");

    // Unchanged values tell nobody.
    GChanges.clear();
    Item->SetCaption("&Open");
    Item->SetEnabled(false);
    EXPECT_TRUE(GChanges.empty());
}

TEST_F(ItemTest, VisibilityRebuildsTheListsOfTheLinks) {
    TdxBarItem* Item = NewItem("Cut");
    Bar->ItemLinks()->Add(Item);
    Bar->ItemLinks()->Add(NewItem("Copy"));
    ASSERT_EQ(Bar->ItemLinks()->VisibleItemCount(), 2);

    Item->SetVisible(ivInCustomizing);
    EXPECT_FALSE(Item->GetActualVisible());
    EXPECT_EQ(Bar->ItemLinks()->VisibleItemCount(), 1);
    EXPECT_EQ(Bar->ItemLinks()->VisibleItems(0)->Item()->Name(), "Copy");
    Item->SetVisible(ivAlways);
    EXPECT_EQ(Bar->ItemLinks()->VisibleItemCount(), 2);
    EXPECT_EQ(GChanges.size(), 2u);
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
