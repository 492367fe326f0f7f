// Edit and combo items on their own: their properties, the text and the
// entries of combos, the keys a combo's drop-down takes, and the order of the
// kinds of items offered to users.
#include "bars/edititems.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

} // namespace
} // namespace bars::test
