// Edit and combo items on their own: their properties, the text and the
// entries of combos, the keys a combo's drop-down takes, and the order of the
// kinds of items offered to users.
#include "bars/edititems.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bars/comboitems.h"
#include "bars/containeritems.h"
#include "fixture.h"

namespace bars::test {
namespace {

struct TChangeCounter {
    int Changes = 0;
    void Change(cls::TObject*) { ++Changes; }
};

using EditItemsTest = ManagerTest;

TEST_F(EditItemsTest, WidthAndMaxLengthKeepTheirBounds) {
    auto* Edit = new TdxBarEdit(Form);
    EXPECT_EQ(Edit->Width(), 100);
    const std::vector<std::pair<int, int>> Widths{{10, 20}, {20, 20}, {-3, 20}, {150, 150}};
    for (const auto& [Given, Kept] : Widths) {
        Edit->SetWidth(Given);
        EXPECT_EQ(Edit->Width(), Kept) << Given;
    }
    const std::vector<std::pair<int, int>> Lengths{{-1, 0}, {0, 0}, {5, 5}};
    for (const auto& [Given, Kept] : Lengths) {
        Edit->SetMaxLength(Given);
        EXPECT_EQ(Edit->MaxLength(), Kept) << Given;
    }
}

TEST_F(EditItemsTest, SetTextFiresOnChangeOnlyForANewText) {
    auto* Edit = new TdxBarEdit(Form);
    TChangeCounter Counter;
    Edit->SetOnChange(cls::TNotifyEvent(&Counter, &TChangeCounter::Change));
    Edit->SetText("a");
    Edit->SetText("a");
    Edit->SetText("b");
    EXPECT_EQ(Counter.Changes, 2);
    // Nothing edits it: the current text is the stored one.
    EXPECT_EQ(Edit->GetCurrentText(), "b");
    EXPECT_EQ(Edit->GetFocusedLink(), nullptr);
    EXPECT_FALSE(Edit->CanClickDirectly());
}

TEST_F(EditItemsTest, AnEditsAcceleratorWorksWhereItsCaptionShows) {
    auto* Edit = new TdxBarEdit(Form);
    Edit->SetCaption("&Find");
    TdxBarItemLink* InBar = Bar->ItemLinks()->Add(Edit);
    auto* Popup = new TdxBarPopupMenu(Form);
    TdxBarItemLink* InMenu = Popup->ItemLinks()->Add(Edit);
    EXPECT_FALSE(Edit->CanUseAccelerator(InBar));
    EXPECT_TRUE(Edit->CanUseAccelerator(InMenu));
    Edit->SetShowCaption(true);
    EXPECT_TRUE(Edit->CanUseAccelerator(InBar));
    Edit->SetEnabled(false);
    EXPECT_FALSE(Edit->CanUseAccelerator(InMenu));
}

// Decides keys for a combo's drop-down window.
struct TKeyJudge {
    win::WORD Refuse = 0;
    win::WORD Accept = 0;
    void Check(TCustomdxBarCombo*, win::WORD Key, cls::TShiftState, bool& AcceptKey) {
        if (Key == Refuse) AcceptKey = false;
        if (Key == Accept) AcceptKey = true;
    }
};

TEST_F(EditItemsTest, TheDropDownWindowTakesEveryKeyButEscapeEnterAndTab) {
    auto* Combo = new TCustomdxBarCombo(Form);
    const cls::TShiftState None;
    for (const int Key : {win::VK_ESCAPE, win::VK_RETURN, win::VK_TAB})
        EXPECT_FALSE(Combo->CheckKeyForDropDownWindow(static_cast<win::WORD>(Key), None)) << Key;
    for (const int Key : {win::VK_UP, int('A'), win::VK_F1})
        EXPECT_TRUE(Combo->CheckKeyForDropDownWindow(static_cast<win::WORD>(Key), None)) << Key;
    TKeyJudge Judge{'A', win::VK_TAB};
    Combo->SetOnCheckKeyForDropDownWindow(TdxBarCheckKeyForDropDownWindowEvent(&Judge, &TKeyJudge::Check));
    EXPECT_FALSE(Combo->CheckKeyForDropDownWindow('A', None));
    EXPECT_TRUE(Combo->CheckKeyForDropDownWindow(win::VK_TAB, None));
    EXPECT_EQ(Combo->GetDropDownWindow(), nullptr);
    EXPECT_FALSE(Combo->GetDroppedDown());
    EXPECT_TRUE(Combo->ShowEditor());
    Combo->SetShowEditor(false);
    EXPECT_TRUE(Combo->DrawsOwnText());
}

// --- Combos with a list of entries ---

TEST_F(EditItemsTest, ItemIndexAndTextFollowEachOther) {
    auto* Combo = new TdxBarCombo(Form);
    TChangeCounter Counter;
    Combo->SetOnChange(cls::TNotifyEvent(&Counter, &TChangeCounter::Change));
    for (const char* Entry : {"Alpha", "Beta", "Гамма"}) Combo->Items()->Add(Entry);
    Combo->SetItemIndex(1);
    EXPECT_EQ(Combo->Text(), "Beta");
    EXPECT_EQ(Counter.Changes, 1);
    // Out of range is none: the text goes.
    Combo->SetItemIndex(7);
    EXPECT_EQ(Combo->ItemIndex(), -1);
    EXPECT_EQ(Combo->Text(), "");
    EXPECT_EQ(Counter.Changes, 2);
    Combo->SetItemIndex(-4);
    EXPECT_EQ(Counter.Changes, 2);
    // A text that is an entry, whatever its case, selects it; Cyrillic too.
    const std::vector<std::pair<std::string, int>> Texts{{"beta", 1}, {"ГАММА", 2}, {"гамма", 2},
                                                         {"Alp", -1}, {"", -1},     {"ALPHA", 0}};
    for (const auto& [Text, Index] : Texts) {
        Combo->SetText(Text);
        EXPECT_EQ(Combo->ItemIndex(), Index) << Text;
        EXPECT_EQ(Combo->Text(), Text);
    }
    // An entry that goes takes a selection it left out of range with it.
    Combo->SetItemIndex(2);
    Combo->Items()->Delete(0);
    EXPECT_EQ(Combo->ItemIndex(), -1);
    // With no entry selected a new text is simply no match.
    Combo->Items()->Clear();
    Combo->SetText("Beta");
    EXPECT_EQ(Combo->ItemIndex(), -1);
}

TEST_F(EditItemsTest, SortingKeepsTheEntryOfTheText) {
    auto* Combo = new TdxBarCombo(Form);
    for (const char* Entry : {"Cherry", "apple", "Banana"}) Combo->Items()->Add(Entry);
    Combo->SetItemIndex(2);
    Combo->SetSorted(true);
    EXPECT_EQ(Combo->Items()->Strings(0), "apple");
    EXPECT_EQ(Combo->ItemIndex(), 1);
    EXPECT_EQ(Combo->Text(), "Banana");
}

TEST_F(EditItemsTest, TheTextFindsTheEntryItBeginsTheFurthest) {
    auto* Combo = new TdxBarCombo(Form);
    for (const char* Entry : {"Alpha", "Beta", "Bet", "Москва", "Минск", "Ёлка"}) Combo->Items()->Add(Entry);
    const std::vector<std::pair<std::string, int>> Cases{{"be", 1}, {"BETA", 1},     {"bex", 1}, {"x", -1},
                                                         {"", -1},  {"alphabet", 0}, {"ми", 4},  {"МОС", 3},
                                                         {"ёл", 5}, {"Ел", -1}};
    for (const auto& [Text, Index] : Cases) EXPECT_EQ(Combo->FindPrefix(Text), Index) << Text;
}

TEST_F(EditItemsTest, OnlyScrollingKeysGoToTheList) {
    auto* Combo = new TdxBarCombo(Form);
    const cls::TShiftState None;
    for (const int Key : {win::VK_UP, win::VK_DOWN, win::VK_PRIOR, win::VK_NEXT})
        EXPECT_TRUE(Combo->CheckKeyForDropDownWindow(static_cast<win::WORD>(Key), None)) << Key;
    EXPECT_FALSE(Combo->CheckKeyForDropDownWindow(win::VK_DOWN, cls::TShiftState{cls::ssShift}));
    for (const int Key : {int('A'), win::VK_HOME, win::VK_RETURN, win::VK_ESCAPE})
        EXPECT_FALSE(Combo->CheckKeyForDropDownWindow(static_cast<win::WORD>(Key), None)) << Key;
    EXPECT_EQ(Combo->DropDownCount(), 8);
    Combo->SetDropDownCount(0);
    EXPECT_EQ(Combo->DropDownCount(), 1);
    // Closed, the list measures in the bar font all the same.
    Combo->Items()->Add("Wide entry");
    int Height = 0;
    Combo->MeasureItemHeight(0, Height);
    EXPECT_GT(Height, 0);
    EXPECT_GT(Combo->GetDropDownWidth(), 4);
    Combo->SetDropDownWidth(150);
    EXPECT_EQ(Combo->GetDropDownWidth(), 150);
    Combo->SetItemHeight(17);
    Combo->MeasureItemHeight(0, Height);
    EXPECT_EQ(Height, 17);
}

TEST_F(EditItemsTest, TheKindsOfItemsComeInTheirOrder) {
    const std::vector<TdxBarItemClass> Expected{TdxBarButton::ClassInfo(),       TdxBarEdit::ClassInfo(),
                                                TCustomdxBarCombo::ClassInfo(),  TdxBarCombo::ClassInfo(),
                                                TdxBarSubItem::ClassInfo(),      TdxBarListItem::ClassInfo(),
                                                TdxBarContainerItem::ClassInfo()};
    ASSERT_GE(GetVisibleItemClassCount(), 7);
    for (int I = 0; I < 7; ++I) EXPECT_EQ(GetVisibleItemClass(I), Expected[static_cast<std::size_t>(I)]) << I;
    EXPECT_FALSE(GetVisibleItemClass(7));
    // The custom combo has no control of its own: only its descendants show.
    EXPECT_FALSE(GetItemControlClass(TdxBarCustomCombo::ClassInfo().Get()));
}

} // namespace
} // namespace bars::test
