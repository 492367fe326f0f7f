// Container and list items: what they expand to in a menu and in a toolbar's
// menu, the list's numbering, checks and data index, OnGetData, and that an
// expansion takes back exactly the links it made.
#include "bars/containeritems.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "bars/containercontrols.h"
#include "bars/toolbar.h"
#include "fixture.h"
#include "lookandfeel/objectlinks.h"
#include "support/driver.h"

namespace bars::test {
namespace {

using testdrv::RunUntilIdle;

// The captions of a collection's visible links, "|" before one with a separator.
std::string Shown(TdxBarItemLinks* ALinks) {
    std::string Result;
    for (int I = 0; I < ALinks->VisibleItemCount(); ++I) {
        TdxBarItemLink* Link = ALinks->VisibleItems(I);
        if (!Result.empty()) Result += Link->GetBeginGroup() ? " | " : ", ";
        Result += Link->GetCaption();
    }
    return Result;
}

struct TCounter {
    int Clicks = 0;
    int GetData = 0;
    std::vector<std::string> Fill;
    bool Raise = false;
    void Click(cls::TObject*) { ++Clicks; }
    void OnGetData(cls::TObject* Sender) {
        ++GetData;
        auto* List = dynamic_cast<TdxBarListItem*>(Sender);
        if (List && !Fill.empty()) {
            List->Items()->Clear();
            for (const std::string& S : Fill) List->Items()->Add(S);
        }
        if (Raise) throw std::runtime_error("no data");
    }
};

class ContainerItemTest : public MenuTest {
protected:
    TdxBarListItem* AddList(TdxBarItemLinks* ALinks, std::initializer_list<const char*> AEntries) {
        auto* List = new TdxBarListItem(Form);
        List->SetCaption("Recent");
        for (const char* Entry : AEntries) List->Items()->Add(Entry);
        ALinks->Add(List);
        return List;
    }
};

TEST_F(ContainerItemTest, AListItemExpandsToNumberedButtonsInItsPlace) {
    AddButton(Popup->ItemLinks(), "Before");
    TdxBarListItem* List = AddList(Popup->ItemLinks(), {"One", "-", "Two"});
    AddButton(Popup->ItemLinks(), "After");
    ShowMenu(Popup->ItemLinks());
    EXPECT_EQ(Shown(Popup->ItemLinks()), "Before | &1 One | &2 Two, After");
    TdxBarItemLink* Own = List->Links(0);
    EXPECT_TRUE(Own->Replaced());
    EXPECT_EQ(Own->Control(), nullptr);
    EXPECT_EQ(Popup->ItemLinks()->VisibleItems(1)->ContainerLink(), Own);
    EXPECT_EQ(List->ListedLinkCount(Popup->ItemLinks()), 2);
    EXPECT_EQ(List->ButtonCount(), 2);
    // Without numbers the entry is the caption.
    Popup->ItemLinks()->BarControl()->DeactivateAll();
    RunUntilIdle();
    List->SetShowNumbers(false);
    ShowMenu(Popup->ItemLinks());
    EXPECT_EQ(Shown(Popup->ItemLinks()), "Before | One | Two, After");
}

TEST_F(ContainerItemTest, AcceleratorsRunFromOneToNineThenAToZ) {
    const std::vector<std::pair<int, char>> Expected{{0, '1'},  {8, '9'}, {9, 'A'},
                                                     {34, 'Z'}, {35, 0},  {-1, 0}};
    for (const auto& [Number, Accelerator] : Expected)
        EXPECT_EQ(TdxBarListItem::AcceleratorOf(Number), Accelerator);
    TdxBarListItem* List = AddList(Popup->ItemLinks(), {});
    for (int I = 1; I <= 40; ++I) List->Items()->Add("E" + std::to_string(I));
    ShowMenu(Popup->ItemLinks());
    TdxBarItemLinks* Links = Popup->ItemLinks();
    EXPECT_EQ(Links->VisibleItems(9)->GetCaption(), "&A E10");
    EXPECT_EQ(Links->Items(35)->GetCaption(), "&Z E35");
    EXPECT_EQ(Links->Items(36)->GetCaption(), "E36");
}

TEST_F(ContainerItemTest, ChoosingAnEntrySetsItemIndexAndClicksTheList) {
    TdxBarListItem* List = AddList(Popup->ItemLinks(), {"One", "-", "Two"});
    List->SetShowCheck(true);
    List->SetItemIndex(0);
    TCounter Counter;
    List->SetOnClick(cls::TNotifyEvent(&Counter, &TCounter::Click));
    ShowMenu(Popup->ItemLinks());
    TdxBarButton* First = List->Buttons(0);
    ASSERT_NE(First, nullptr);
    EXPECT_EQ(First->ButtonStyle(), bsChecked);
    EXPECT_TRUE(First->Down());
    EXPECT_FALSE(List->Buttons(1)->Down());
    ClickItem("&2 Two");
    EXPECT_EQ(List->ItemIndex(), 2);
    EXPECT_EQ(List->DataIndex(), 1);
    EXPECT_EQ(Counter.Clicks, 1);
    // The menu closed: the links it got are gone; the buttons behind them
    // (the chosen one ran after the menu closed) go with the next expansion.
    EXPECT_EQ(Popup->ItemLinks()->BarControl(), nullptr);
    EXPECT_EQ(Popup->ItemLinks()->Count(), 1);
    EXPECT_FALSE(List->Links(0)->Replaced());
    ASSERT_EQ(List->ButtonCount(), 2);
    EXPECT_EQ(First->LinkCount(), 0);
    lf::TcxObjectLinkScope Old(First);
    ShowMenu(Popup->ItemLinks());
    EXPECT_FALSE(Old.Alive());
    EXPECT_EQ(List->ButtonCount(), 2);
    EXPECT_TRUE(List->Buttons(1)->Down());
}

TEST_F(ContainerItemTest, DataIndexCountsEntriesThatAreNoSeparators) {
    TdxBarListItem* List = AddList(Popup->ItemLinks(), {"A", "-", "B", "C"});
    const std::vector<std::pair<int, int>> Reads{{-1, -1}, {0, 0}, {2, 1}, {3, 2}};
    for (const auto& [ItemIndex, DataIndex] : Reads) {
        List->SetItemIndex(ItemIndex);
        EXPECT_EQ(List->DataIndex(), DataIndex) << ItemIndex;
    }
    const std::vector<std::pair<int, int>> Writes{{0, 0}, {1, 2}, {2, 3}, {3, -1}, {99, -1}, {-1, -1}};
    for (const auto& [DataIndex, ItemIndex] : Writes) {
        List->SetDataIndex(DataIndex);
        EXPECT_EQ(List->ItemIndex(), ItemIndex) << DataIndex;
    }
    List->SetItemIndex(7);
    EXPECT_EQ(List->ItemIndex(), -1);
    List->SetItemIndex(3);
    List->Items()->Delete(3);
    EXPECT_EQ(List->ItemIndex(), -1);
    List->Items()->Clear();
    List->SetDataIndex(0);
    EXPECT_EQ(List->ItemIndex(), -1);
}

TEST_F(ContainerItemTest, OnGetDataFillsTheEntriesAndItsFlagIsClearedOnEveryPath) {
    TdxBarListItem* List = AddList(Popup->ItemLinks(), {});
    TCounter Counter;
    Counter.Fill = {"Fresh"};
    List->SetOnGetData(cls::TNotifyEvent(&Counter, &TCounter::OnGetData));
    ShowMenu(Popup->ItemLinks());
    EXPECT_EQ(Counter.GetData, 1);
    EXPECT_EQ(Shown(Popup->ItemLinks()), "&1 Fresh");
    EXPECT_FALSE(List->InGetData());
    Popup->ItemLinks()->BarControl()->DeactivateAll();
    RunUntilIdle();
    // A handler that raises leaves the entries it made and no flag behind.
    Counter.Fill = {"Half"};
    Counter.Raise = true;
    ShowMenu(Popup->ItemLinks());
    EXPECT_EQ(Shown(Popup->ItemLinks()), "&1 Half");
    EXPECT_FALSE(List->InGetData());
    Popup->ItemLinks()->BarControl()->DeactivateAll();
    RunUntilIdle();
    // Without a handler, an empty list hides and shows again once it has entries.
    List->SetOnGetData(nullptr);
    List->Items()->Clear();
    EXPECT_FALSE(List->GetActualVisible());
    EXPECT_EQ(Popup->ItemLinks()->AvailableItemCount(), 0);
    List->Items()->Add("Back");
    EXPECT_TRUE(List->GetActualVisible());
    EXPECT_EQ(Popup->ItemLinks()->AvailableItemCount(), 1);
}

TEST_F(ContainerItemTest, AnExpansionTakesBackExactlyItsLinksWhateverChangedMeanwhile) {
    AddButton(Popup->ItemLinks(), "First");
    TdxBarListItem* List = AddList(Popup->ItemLinks(), {"One", "Two", "Three"});
    AddButton(Popup->ItemLinks(), "Last");
    TdxBarSubMenuControl* Menu = ShowMenu(Popup->ItemLinks());
    ASSERT_EQ(Popup->ItemLinks()->Count(), 6);
    // While it is open the entries change and the menu gets a link in front.
    List->Items()->Clear();
    List->Items()->Add("Other");
    auto* Added = new TdxBarButton(Form);
    Added->SetCaption("Added");
    Popup->ItemLinks()->Add(Added)->SetIndex(0);
    RunUntilIdle();
    ASSERT_TRUE(IsBarControlAlive(Menu));
    Menu->DeactivateAll();
    RunUntilIdle();
    std::vector<std::string> Left;
    for (int I = 0; I < Popup->ItemLinks()->Count(); ++I)
        Left.push_back(Popup->ItemLinks()->Items(I)->GetCaption());
    EXPECT_EQ(Left, (std::vector<std::string>{"Added", "First", "Recent", "Last"}));
    EXPECT_EQ(List->Buttons(0)->LinkCount(), 0);
    // The next opening shows the entries now.
    ShowMenu(Popup->ItemLinks());
    EXPECT_EQ(Shown(Popup->ItemLinks()), "Added, First | &1 Other, Last");
    EXPECT_EQ(List->ButtonCount(), 1);
}

TEST_F(ContainerItemTest, AContainerItemShowsCopiesOfItsLinksAndReexpandsAfterTheyChange) {
    auto* Container = new TdxBarContainerItem(Form);
    Container->SetCaption("Tools");
    TdxBarButton* A = AddButton(Container->ItemLinks(), "A");
    TdxBarButton* Hidden = AddButton(Container->ItemLinks(), "Hidden");
    Container->ItemLinks()->Items(1)->SetVisible(false);
    AddButton(Popup->ItemLinks(), "Top");
    Popup->ItemLinks()->Add(Container);
    ShowMenu(Popup->ItemLinks());
    EXPECT_EQ(Shown(Popup->ItemLinks()), "Top | A");
    TdxBarItemLink* Copy = Popup->ItemLinks()->VisibleItems(1);
    EXPECT_EQ(Copy->Item(), A);
    EXPECT_EQ(Copy->ContainerLink(), Container->Links(0));
    EXPECT_EQ(Copy->Control()->ItemLink(), Copy);
    Popup->ItemLinks()->BarControl()->DeactivateAll();
    RunUntilIdle();
    EXPECT_EQ(Popup->ItemLinks()->Count(), 2);

    Container->ItemLinks()->Items(1)->SetVisible(true);
    AddButton(Container->ItemLinks(), "C");
    ShowMenu(Popup->ItemLinks());
    EXPECT_EQ(Shown(Popup->ItemLinks()), "Top | A, Hidden, C");
    // Clicking a copy runs its item and closes the menu.
    TCounter Counter;
    Hidden->SetOnClick(cls::TNotifyEvent(&Counter, &TCounter::Click));
    ClickItem("Hidden");
    EXPECT_EQ(Counter.Clicks, 1);
    EXPECT_EQ(Popup->ItemLinks()->Count(), 2);
    // An empty container without data shows nowhere.
    Container->ItemLinks()->Clear();
    EXPECT_FALSE(Container->GetActualVisible());
}

TEST_F(ContainerItemTest, InAMenuAContainerWithoutEntriesShowsItsCaptionInParentheses) {
    // Both kinds, whose data come too late or not at all: the item keeps its
    // link in the menu, captioned in parentheses; with entries it gives way
    // to them.
    TCounter Counter;
    auto* Container = new TdxBarContainerItem(Form);
    Container->SetCaption("Tools");
    Container->SetOnGetData(cls::TNotifyEvent(&Counter, &TCounter::OnGetData));
    Popup->ItemLinks()->Add(Container);
    TdxBarListItem* List = AddList(Popup->ItemLinks(), {});
    List->SetOnGetData(cls::TNotifyEvent(&Counter, &TCounter::OnGetData));
    ShowMenu(Popup->ItemLinks());
    EXPECT_EQ(Counter.GetData, 2);
    EXPECT_FALSE(Container->Links(0)->Replaced());
    EXPECT_FALSE(List->Links(0)->Replaced());
    std::vector<std::string> Captions;
    for (int I = 0; I < Popup->ItemLinks()->VisibleItemCount(); ++I)
        Captions.push_back(Popup->ItemLinks()->VisibleItems(I)->Control()->GetCaption());
    EXPECT_EQ(Captions, (std::vector<std::string>{"(Tools)", "(Recent)"}));
    // There is nothing to open from them.
    Hover("Tools");
    testdrv::Advance(1000);
    EXPECT_EQ(Popup->ItemLinks()->BarControl()->ChildMenu(), nullptr);
    Popup->ItemLinks()->BarControl()->DeactivateAll();
    RunUntilIdle();

    Counter.Fill = {"One"};
    AddButton(Container->ItemLinks(), "Hammer");
    ShowMenu(Popup->ItemLinks());
    EXPECT_EQ(Shown(Popup->ItemLinks()), "Hammer | &1 One");
    EXPECT_TRUE(Container->Links(0)->Replaced());
    EXPECT_TRUE(List->Links(0)->Replaced());
}

TEST_F(ContainerItemTest, AListItemFreedWhileItsMenuIsOpenTakesItsLinksAlong) {
    AddButton(Popup->ItemLinks(), "Stay");
    TdxBarListItem* List = AddList(Popup->ItemLinks(), {"One", "Two"});
    TdxBarSubMenuControl* Menu = ShowMenu(Popup->ItemLinks());
    Hover("&2 Two");
    delete List;
    RunUntilIdle();
    ASSERT_TRUE(IsBarControlAlive(Menu));
    EXPECT_EQ(Shown(Popup->ItemLinks()), "Stay");
    Menu->DeactivateAll();
    RunUntilIdle();
    EXPECT_EQ(Popup->ItemLinks()->Count(), 1);
}

// --- In a toolbar ---

class ContainerToolbarTest : public ContainerItemTest {
protected:
    TdxBarControl* ShowBar() {
        Bar->SetDockingStyle(dsTop);
        Bar->SetVisible(true);
        RunUntilIdle();
        return Bar->Control();
    }
};

TEST_F(ContainerToolbarTest, AListItemInAToolbarOpensItsEntriesInAMenuOfItsOwn) {
    TdxBarListItem* List = AddList(Bar->ItemLinks(), {"One", "Two"});
    TCounter Counter;
    List->SetOnClick(cls::TNotifyEvent(&Counter, &TCounter::Click));
    TdxBarControl* Window = ShowBar();
    auto* Control = dynamic_cast<TdxBarContainerItemControl*>(List->Links(0)->Control());
    ASSERT_NE(Control, nullptr);
    EXPECT_EQ(Control->GetCaption(), "Recent");
    testdrv::Click(Window->Handle(), testdrv::CentreOf(Control->GetRect()));
    auto* Menu = dynamic_cast<TContainerItemSubMenuControl*>(List->ItemLinks()->BarControl());
    ASSERT_NE(Menu, nullptr);
    EXPECT_EQ(Menu->ContainerItem(), List);
    EXPECT_FALSE(Menu->IsCustomizing());
    EXPECT_EQ(Shown(List->ItemLinks()), "&1 One, &2 Two");
    // Opening the menu is no click of the list.
    EXPECT_EQ(Counter.Clicks, 0);
    ClickItem("&1 One");
    EXPECT_EQ(List->ItemIndex(), 0);
    EXPECT_EQ(Counter.Clicks, 1);
    EXPECT_EQ(List->ItemLinks()->BarControl(), nullptr);
    EXPECT_EQ(List->ItemLinks()->Count(), 0);
}

TEST_F(ContainerToolbarTest, ClosingTheMenuWithoutAChoiceTakesTheEntriesBack) {
    TdxBarListItem* List = AddList(Bar->ItemLinks(), {"One", "Two"});
    TdxBarControl* Window = ShowBar();
    TdxBarItemControl* Control = List->Links(0)->Control();
    testdrv::Click(Window->Handle(), testdrv::CentreOf(Control->GetRect()));
    ASSERT_NE(List->ItemLinks()->BarControl(), nullptr);
    testdrv::PressKey(win::VK_ESCAPE);
    testdrv::PressKey(win::VK_ESCAPE);
    EXPECT_EQ(List->ItemLinks()->BarControl(), nullptr);
    EXPECT_EQ(List->ItemLinks()->Count(), 0);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

} // namespace
} // namespace bars::test
