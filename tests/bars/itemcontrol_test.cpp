// Item controls in menus: sizes and hit testing, image choice, the guarded
// click, check buttons, and the sub item's delayed opening and closing.
#include "bars/itemcontrol.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bars/barcontrol.h"
#include "bars/submenu.h"
#include "bars/system.h"
#include "classes/imagelist.h"
#include "classes/shortcuts.h"
#include "fixture.h"
#include "support/driver.h"

namespace {

using namespace bars;
using testdrv::Advance;
using testdrv::RunUntilIdle;

// The order of events around a command.
struct TEventLog {
    std::vector<std::string> Calls;
    std::function<void()> OnClickAction;
    void CloseUp(cls::TObject*) { Calls.push_back("CloseUp"); }
    void ClickItem(TdxBarManager*, TdxBarItem* AItem) { Calls.push_back("ClickItem " + AItem->Caption()); }
    void Click(cls::TObject* Sender) {
        Calls.push_back("Click " + static_cast<TdxBarItem*>(Sender)->Caption());
        if (OnClickAction) OnClickAction();
    }
    void Popup(cls::TObject* Sender) {
        Calls.push_back("Popup " + static_cast<TdxBarItem*>(Sender)->Caption());
    }
};

class ItemControlTest : public test::MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        Links = Popup->ItemLinks();
        Open = AddButton(Links, "&Открыть");
        Close = AddButton(Links, "&Закрыть");
        Help = AddSubItem(Links, "&Справка");
        About = AddButton(Help->ItemLinks(), "&О программе");
        AddButton(Help->ItemLinks(), "&Сайт");
        Quit = AddButton(Links, "В&ыход", true);
        for (TdxBarButton* Button : {Open, Close, About, Quit})
            Button->SetOnClick(cls::TNotifyEvent(&Log, &TEventLog::Click));
    }

    TdxBarSubMenuControl* HelpMenu() const {
        return dynamic_cast<TdxBarSubMenuControl*>(Help->ItemLinks()->BarControl());
    }
    // Down from the top of the active menu to the entry with that caption.
    static void SelectByKeys(const std::string& ACaption) {
        for (int I = 0; I < 10 && Selected() != ACaption; ++I) KeyToMenu(win::VK_DOWN);
        EXPECT_EQ(Selected(), ACaption);
    }

    TdxBarItemLinks* Links = nullptr;
    TdxBarButton* Open = nullptr;
    TdxBarButton* Close = nullptr;
    TdxBarSubItem* Help = nullptr;
    TdxBarButton* About = nullptr;
    TdxBarButton* Quit = nullptr;
    TEventLog Log;
};

// --- Geometry and hit testing ---

TEST_F(ItemControlTest, EntriesStackTopToBottomAndAreHitByTheirRectangles) {
    Close->SetShortCut(cls::scCtrl | 'W');
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    const int ItemHeight = Menu->TextHeight();
    std::vector<TdxBarItemLink*> Shown;
    for (int I = 0; I < Links->VisibleItemCount(); ++I) Shown.push_back(Links->VisibleItems(I));
    ASSERT_EQ(Shown.size(), 4u);
    // Each entry is one item high, right under the previous one; the group
    // separator before the last adds its row.
    const int SeparatorHeight = Menu->GetPainter()->GetMenuSeparatorHeight(Menu);
    for (std::size_t I = 0; I < Shown.size(); ++I) {
        const cls::TRect R = Shown[I]->ItemRect();
        EXPECT_EQ(R.bottom - R.top, ItemHeight) << I;
        if (I == 0) continue;
        const int Gap = Shown[I]->GetBeginGroup() ? SeparatorHeight : 0;
        EXPECT_EQ(R.top, Shown[I - 1]->ItemRect().bottom + Gap) << I;
    }
    // The menu is as wide as its widest entry needs; the shortcut widens its entry.
    const int WithShortCut = Shown[1]->Control()->GetWidth();
    const int CaptionWidth = Menu->Canvas()->TextWidth("Закрыть");
    EXPECT_EQ(WithShortCut, CaptionWidth + 2 * ItemHeight + 6 +
                                Menu->Canvas()->TextWidth(cls::ShortCutToText(Close->ShortCut())) +
                                ItemHeight - 6);
    EXPECT_GE(Menu->ClientWidth(), WithShortCut);

    struct Case {
        win::POINT P;
        int Expected; // index into Shown, -1 for no control
    } Cases[] = {
        {{Shown[0]->ItemRect().left, Shown[0]->ItemRect().top}, 0},
        {{Shown[0]->ItemRect().right - 1, Shown[0]->ItemRect().bottom - 1}, 0},
        {{Shown[0]->ItemRect().left, Shown[0]->ItemRect().bottom}, 1},
        {{Shown[3]->ItemRect().left + 5, Shown[3]->ItemRect().top - 1}, -1},
        {{Shown[0]->ItemRect().right, Shown[0]->ItemRect().top}, -1},
        {{-1, -1}, -1},
    };
    for (const Case& C : Cases) {
        TdxBarItemControl* Expected =
            C.Expected < 0 ? nullptr : Shown[static_cast<std::size_t>(C.Expected)]->Control();
        EXPECT_EQ(Menu->GetItemControlAtPos(C.P), Expected) << C.P.x << "," << C.P.y;
    }
}

// --- Images ---

TEST_F(ItemControlTest, ImagesFollowLargeIconsAndTheDisabledLists) {
    auto* Images = new cls::TImageList(Form);
    auto* Large = new cls::TImageList(Form);
    auto* Disabled = new cls::TImageList(Form);
    auto* DisabledLarge = new cls::TImageList(Form);
    Manager->SetImages(Images);
    ShowMenu(Links);
    TdxBarItemControl* Control = ControlOf("&Открыть");
    ASSERT_NE(Control, nullptr);
    struct Case {
        bool LargeIcons, UseLarge, HasLarge, HasDisabled, HasDisabledLarge, Enabled, AskLarge;
        cls::TCustomImageList* Expected;
    } Cases[] = {
        {false, false, false, false, false, true, false, Images},
        {true, true, true, false, false, true, true, Large},
        // Large only asked for, with LargeIcons and a usable large list.
        {true, true, true, false, false, true, false, Images},
        {false, true, true, false, false, true, true, Images},
        {true, false, true, false, false, true, true, Images},
        {true, true, false, false, false, true, true, Images},
        // Disabled: the disabled lists, else the normal ones.
        {false, false, false, true, false, false, false, Disabled},
        {false, false, false, false, false, false, false, Images},
        {true, true, true, false, true, false, true, DisabledLarge},
        {true, true, true, false, false, false, true, Large},
    };
    for (const Case& C : Cases) {
        Manager->SetLargeIcons(C.LargeIcons);
        Manager->SetUseLargeImagesForLargeIcons(C.UseLarge);
        Manager->SetLargeImages(C.HasLarge ? Large : nullptr);
        Manager->SetDisabledImages(C.HasDisabled ? Disabled : nullptr);
        Manager->SetDisabledLargeImages(C.HasDisabledLarge ? DisabledLarge : nullptr);
        Open->SetEnabled(C.Enabled);
        EXPECT_EQ(Control->GetImages(C.AskLarge), C.Expected)
            << C.LargeIcons << C.UseLarge << C.HasLarge << C.HasDisabled << C.HasDisabledLarge << C.Enabled
            << C.AskLarge;
    }
}

TEST_F(ItemControlTest, AnImageListThatWasFreedGivesNoGlyphAndDrawsNothingFromIt) {
    const gfx::DWORD ObjectsBefore = test::GdiObjectCount();
    auto* Images = new cls::TImageList(Form);
    {
        cls::TBitmap Picture(16, 16);
        Images->Add(&Picture, nullptr);
    }
    Manager->SetImages(Images);
    Open->SetImageIndex(0);
    Manager->UsePainter(test::TTestPainter::Class());
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    TdxBarItemControl* Control = ControlOf("&Открыть");
    ASSERT_NE(Control, nullptr);
    EXPECT_TRUE(Control->HasGlyph());
    EXPECT_TRUE(Control->IsImageIndexInRange());

    delete Images;
    EXPECT_FALSE(Control->HasGlyph());
    Control->Repaint();
    Menu->Repaint();
    RunUntilIdle();
    Menu->CloseAndFree();
    RunUntilIdle();
    EXPECT_EQ(gfx::GetGdiObjectCount(), ObjectsBefore);
}

// --- The guarded click ---

TEST_F(ItemControlTest, AClickPlaysTheSoundRecordsUseClosesTheChainThenRunsTheCommand) {
    Links->SetUseRecentItems(true);
    Manager->SetOnClickItem(TdxBarClickItemEvent(&Log, &TEventLog::ClickItem));
    TdxBarItemLink* CloseLink = Links->Items(1);
    ASSERT_NE(Links->RecentItems(0), CloseLink);
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    Menu->SetOnCloseUp(cls::TNotifyEvent(&Log, &TEventLog::CloseUp));
    std::vector<std::string> SoundsInClick;
    bool MenuAliveInClick = true;
    TdxBarItemLink* RecentHeadInClick = nullptr;
    TdxBarItemLink* ClickLinkInClick = nullptr;
    Log.OnClickAction = [&] {
        SoundsInClick = testdrv::Sounds();
        MenuAliveInClick = IsBarControlAlive(Menu);
        RecentHeadInClick = Links->RecentItems(0);
        ClickLinkInClick = Close->ClickItemLink();
    };
    win::ClearPlayedSounds();

    ClickItem("&Закрыть");
    EXPECT_EQ(Log.Calls, (std::vector<std::string>{"CloseUp", "ClickItem &Закрыть", "Click &Закрыть"}));
    EXPECT_EQ(SoundsInClick, (std::vector<std::string>{"MenuCommand"}));
    EXPECT_FALSE(MenuAliveInClick);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    EXPECT_EQ(RecentHeadInClick, CloseLink);
    EXPECT_EQ(ClickLinkInClick, CloseLink);
    EXPECT_EQ(Close->ClickItemLink(), nullptr);
}

TEST_F(ItemControlTest, ADisabledEntryNeverRunsAndKeepsTheMenuOpen) {
    Close->SetEnabled(false);
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    ClickItem("&Закрыть");
    EXPECT_TRUE(Log.Calls.empty());
    EXPECT_TRUE(IsBarControlAlive(Menu));
}

TEST_F(ItemControlTest, ACommandThatFreesTheMenuOrTheItemReturnsSafely) {
    struct Case {
        const char* Name;
        bool KeepMenuOpen;
        bool FreeItem;
    } Cases[] = {
        {"closed menu, popup freed", false, false},
        {"open menu, popup freed", true, false},
        {"closed menu, item freed", false, true},
        {"open menu, item freed", true, true},
    };
    for (const Case& C : Cases) {
        auto* Menu = new TdxBarPopupMenu(Form);
        TdxBarButton* Button = AddButton(Menu->ItemLinks(), "&Run");
        AddButton(Menu->ItemLinks(), "&Other");
        Button->SetCloseSubMenuOnClick(!C.KeepMenuOpen);
        Log.Calls.clear();
        Log.OnClickAction = [&] {
            if (C.FreeItem)
                delete Button;
            else
                delete Menu;
        };
        Button->SetOnClick(cls::TNotifyEvent(&Log, &TEventLog::Click));
        TdxBarSubMenuControl* Window = ShowMenu(Menu->ItemLinks());
        ClickItem("&Run");
        EXPECT_EQ(Log.Calls, (std::vector<std::string>{"Click &Run"})) << C.Name;
        if (C.FreeItem) {
            EXPECT_EQ(IsBarControlAlive(Window), C.KeepMenuOpen) << C.Name;
            if (C.KeepMenuOpen) {
                EXPECT_EQ(Window->ItemLinks()->VisibleItemCount(), 1) << C.Name;
            }
            delete Menu;
        } else {
            EXPECT_FALSE(IsBarControlAlive(Window)) << C.Name;
        }
        EXPECT_EQ(GetActiveBarControl(), nullptr) << C.Name;
        Log.OnClickAction = nullptr;
    }
}

// Frees what a close-up event names, while the chain closes.
struct TFreer {
    cls::TObject* Victim = nullptr;
    void Free(cls::TObject*) { delete Victim; }
};

TEST_F(ItemControlTest, TheSubItemsCloseUpMayFreeTheSubItem) {
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    SelectByKeys("&Справка");
    KeyToMenu(win::VK_RIGHT);
    ASSERT_NE(HelpMenu(), nullptr);
    TFreer Freer{Help};
    Help->SetOnCloseUp(cls::TNotifyEvent(&Freer, &TFreer::Free));
    KeyToMenu(win::VK_MENU);
    EXPECT_FALSE(IsBarControlAlive(Menu));
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    EXPECT_EQ(Links->VisibleItemCount(), 3);
}

TEST_F(ItemControlTest, TheMenusCloseUpMayFreeItsPopupMenu) {
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    SelectByKeys("&Справка");
    KeyToMenu(win::VK_RIGHT);
    ASSERT_NE(HelpMenu(), nullptr);
    TFreer Freer{Popup};
    Menu->SetOnCloseUp(cls::TNotifyEvent(&Freer, &TFreer::Free));
    KeyToMenu(win::VK_MENU);
    EXPECT_FALSE(IsBarControlAlive(Menu));
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    EXPECT_EQ(Help->ItemLinks()->BarControl(), nullptr);
}

TEST_F(ItemControlTest, ACheckButtonTogglesDownOnEachClick) {
    Open->SetButtonStyle(bsChecked);
    Open->SetCloseSubMenuOnClick(false);
    bool DownInClick = false;
    bool PressedInClick = false;
    Log.OnClickAction = [&] {
        DownInClick = Open->Down();
        PressedInClick = ControlOf("&Открыть")->ClickPressed();
    };
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    ClickItem("&Открыть");
    EXPECT_TRUE(Open->Down());
    EXPECT_TRUE(DownInClick);
    // The menu stays open, so the entry is held while its command runs.
    EXPECT_TRUE(PressedInClick);
    ASSERT_TRUE(IsBarControlAlive(Menu));
    EXPECT_FALSE(ControlOf("&Открыть")->ClickPressed());
    ClickItem("&Открыть");
    EXPECT_FALSE(Open->Down());
    EXPECT_EQ(Log.Calls.size(), 2u);
}

// --- Sub items: the delay and the pending control ---

TEST_F(ItemControlTest, AHoveredSubItemOpensAfterTheDelayAndClosesAfterItWhenLeft) {
    Help->SetOnPopup(cls::TNotifyEvent(&Log, &TEventLog::Popup));
    ShowMenu(Links);
    Hover("&Справка");
    EXPECT_EQ(TdxBarSubItemControl::PendingControl(), ControlOf("&Справка"));
    Advance(TdxBarSubItemControl::SubMenuDelay - 10);
    EXPECT_EQ(HelpMenu(), nullptr);
    Advance(10);
    ASSERT_NE(HelpMenu(), nullptr);
    EXPECT_EQ(Log.Calls, (std::vector<std::string>{"Popup &Справка"}));
    EXPECT_EQ(TdxBarSubItemControl::PendingControl(), nullptr);
    // Opened by the mouse: nothing in it is selected yet.
    EXPECT_EQ(HelpMenu()->SelectedControl(), nullptr);
    EXPECT_TRUE(ControlOf("&Справка")->Active());

    Hover("&Открыть");
    Advance(TdxBarSubItemControl::SubMenuDelay - 10);
    EXPECT_NE(HelpMenu(), nullptr);
    Advance(10);
    EXPECT_EQ(HelpMenu(), nullptr);
    EXPECT_EQ(Selected(), "&Открыть");
}

TEST_F(ItemControlTest, MovingOnBeforeTheDelayCancelsTheOpening) {
    ShowMenu(Links);
    Hover("&Справка");
    Advance(TdxBarSubItemControl::SubMenuDelay / 2);
    Hover("&Закрыть");
    Advance(3 * TdxBarSubItemControl::SubMenuDelay);
    EXPECT_EQ(HelpMenu(), nullptr);
    EXPECT_EQ(TdxBarSubItemControl::PendingControl(), nullptr);
    EXPECT_FALSE(ControlOf("&Справка")->Active());
}

TEST_F(ItemControlTest, OnlyOneSubItemWaitsAtATime) {
    TdxBarSubItem* More = AddSubItem(Links, "&Ещё");
    AddButton(More->ItemLinks(), "&Первое");
    ShowMenu(Links);
    Hover("&Справка");
    Advance(TdxBarSubItemControl::SubMenuDelay / 2);
    Hover("&Ещё");
    EXPECT_EQ(TdxBarSubItemControl::PendingControl(), ControlOf("&Ещё"));
    Advance(TdxBarSubItemControl::SubMenuDelay);
    EXPECT_EQ(HelpMenu(), nullptr);
    EXPECT_NE(More->ItemLinks()->BarControl(), nullptr);
    // Hovering the other sub item now closes the open menu at once and opens
    // its own after the delay.
    Hover("&Справка");
    EXPECT_EQ(More->ItemLinks()->BarControl(), nullptr);
    Advance(TdxBarSubItemControl::SubMenuDelay);
    EXPECT_NE(HelpMenu(), nullptr);
}

TEST_F(ItemControlTest, RightOrEnterOpensAtOnceWithTheFirstEntrySelected) {
    for (const int Key : {win::VK_RIGHT, win::VK_RETURN}) {
        TdxBarSubMenuControl* Menu = ShowMenu(Links);
        SelectByKeys("&Справка");
        KeyToMenu(Key);
        ASSERT_NE(HelpMenu(), nullptr) << Key;
        EXPECT_EQ(GetActiveBarControl(), HelpMenu()) << Key;
        EXPECT_EQ(Selected(), "&О программе") << Key;
        EXPECT_EQ(HelpMenu()->PrevActiveBarControl(), Menu) << Key;
        Menu->CloseAndFree();
        EXPECT_EQ(HelpMenu(), nullptr) << Key;
        EXPECT_EQ(GetActiveBarControl(), nullptr) << Key;
    }
}

TEST_F(ItemControlTest, EscapeAndLeftCloseTheSubmenuAndKeepTheParentInMenuMode) {
    for (const int Key : {win::VK_ESCAPE, win::VK_LEFT}) {
        TdxBarSubMenuControl* Menu = ShowMenu(Links);
        SelectByKeys("&Справка");
        KeyToMenu(win::VK_RIGHT);
        ASSERT_NE(HelpMenu(), nullptr) << Key;
        KeyToMenu(Key);
        EXPECT_EQ(HelpMenu(), nullptr) << Key;
        EXPECT_EQ(GetActiveBarControl(), Menu) << Key;
        EXPECT_EQ(Selected(), "&Справка") << Key;
        // Escape in the root menu closes it.
        KeyToMenu(win::VK_ESCAPE);
        EXPECT_FALSE(IsBarControlAlive(Menu)) << Key;
        EXPECT_EQ(GetActiveBarControl(), nullptr) << Key;
    }
}

TEST_F(ItemControlTest, OpeningASecondLinkOfTheSameSubItemClosesTheFirst) {
    Links->Add(Help);
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    TdxBarItemLink* FirstLink = Links->VisibleItems(2);
    TdxBarItemLink* SecondLink = Links->VisibleItems(4);
    ASSERT_EQ(FirstLink->Item(), SecondLink->Item());
    testdrv::MoveTo(Menu->Handle(), testdrv::CentreOf(FirstLink->ItemRect()));
    Advance(TdxBarSubItemControl::SubMenuDelay);
    ASSERT_NE(HelpMenu(), nullptr);
    EXPECT_EQ(HelpMenu()->SubItemControl(), FirstLink->Control());

    testdrv::MoveTo(Menu->Handle(), testdrv::CentreOf(SecondLink->ItemRect()));
    EXPECT_EQ(HelpMenu(), nullptr);
    EXPECT_FALSE(FirstLink->Control()->Active());
    Advance(TdxBarSubItemControl::SubMenuDelay);
    ASSERT_NE(HelpMenu(), nullptr);
    EXPECT_EQ(HelpMenu()->SubItemControl(), SecondLink->Control());
    EXPECT_EQ(Help->GetActiveLink(), SecondLink);
}

TEST_F(ItemControlTest, KeysThatEntriesTakeForThemselves) {
    auto* Print = AddButton(Links, "&Печать");
    Print->SetButtonStyle(bsDropDown);
    ShowMenu(Links);
    struct Case {
        const char* Caption;
        int Key;
        bool Wants;
    } Cases[] = {
        {"&Печать", win::VK_RIGHT, true},   {"&Печать", win::VK_DOWN, false},
        {"&Открыть", win::VK_RIGHT, false}, {"&Справка", win::VK_RIGHT, true},
        {"&Справка", win::VK_LEFT, false},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(ControlOf(C.Caption)->WantsKey(static_cast<unsigned short>(C.Key)), C.Wants)
            << C.Caption << " " << C.Key;
}

TEST_F(ItemControlTest, ADropDownStaysDroppedDownExactlyWhileItsMenuIsOpen) {
    auto* Print = AddButton(Links, "&Печать");
    Print->SetButtonStyle(bsDropDown);
    Print->SetOnClick(cls::TNotifyEvent(&Log, &TEventLog::Click));
    TdxBarPopupMenu Choices(Form);
    AddButton(Choices.ItemLinks(), "&Принтер");
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    Hover("&Печать");
    auto* Control = static_cast<TdxBarButtonControl*>(ControlOf("&Печать"));
    for (TdxBarPopupMenu* DropDownMenu : {static_cast<TdxBarPopupMenu*>(nullptr), &Choices}) {
        Print->SetDropDownMenu(DropDownMenu);
        KeyToMenu(win::VK_RIGHT);
        EXPECT_EQ(Control->DroppedDown(), DropDownMenu != nullptr);
        EXPECT_EQ(Control->IsPressTracked(), DropDownMenu == nullptr);
        TdxBarSubMenuControl* DropDown = Choices.GetBarControl();
        EXPECT_EQ(DropDown != nullptr, DropDownMenu != nullptr);
        // It closes with the mouse still on the button: the menu stays.
        if (DropDown) DropDown->CloseAndFree();
        EXPECT_FALSE(Control->DroppedDown());
        EXPECT_TRUE(IsBarControlAlive(Menu));
        EXPECT_TRUE(Log.Calls.empty());
    }
    // Its command still runs.
    KeyToMenu(win::VK_RETURN);
    EXPECT_EQ(Log.Calls, (std::vector<std::string>{"Click &Печать"}));
}

// A drop-down button whose drop-down menu is the very menu it sits in: that
// menu shows already, so using the drop-down opens nothing and the menu goes
// on as before; released there, the mouse clicks the entry as any other.
TEST_F(ItemControlTest, ADropDownIntoTheMenuItSitsInDoesNothing) {
    auto* Print = AddButton(Links, "&Печать");
    Print->SetButtonStyle(bsDropDown);
    Print->SetOnClick(cls::TNotifyEvent(&Log, &TEventLog::Click));
    Print->SetDropDownMenu(Popup);
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    auto* Control = static_cast<TdxBarButtonControl*>(ControlOf("&Печать"));
    const cls::TRect R = FindLink("&Печать")->ItemRect();
    const std::vector<std::pair<const char*, std::function<void()>>> Uses{
        {"Right", [] { KeyToMenu(win::VK_RIGHT); }},
        {"a press on the arrow",
         [&] {
             testdrv::MoveTo(Menu->Handle(), win::POINT{R.right - 2, R.top + 2});
             testdrv::MouseDown();
         }},
    };
    for (const auto& [What, Use] : Uses) {
        SCOPED_TRACE(What);
        Hover("&Печать");
        Use();
        ASSERT_TRUE(IsBarControlAlive(Menu));
        EXPECT_EQ(GetActiveBarControl(), Menu);
        EXPECT_EQ(Menu->ChildMenu(), nullptr);
        EXPECT_FALSE(Control->DroppedDown());
        EXPECT_EQ(Selected(), "&Печать");
    }
    EXPECT_TRUE(Log.Calls.empty());
    testdrv::MouseUp();
    EXPECT_EQ(Log.Calls, (std::vector<std::string>{"Click &Печать"}));
    EXPECT_FALSE(IsBarControlAlive(Menu));
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

TEST_F(ItemControlTest, ADisabledEntryHoveredIsNotDrawnSelectedButReachedByKeysItIs) {
    Close->SetEnabled(false);
    ShowMenu(Links);
    Hover("&Закрыть");
    TdxBarItemControl* Control = ControlOf("&Закрыть");
    EXPECT_EQ(Selected(), "&Закрыть");
    EXPECT_FALSE(Control->IsSelected());
    KeyToMenu(win::VK_UP);
    KeyToMenu(win::VK_DOWN);
    EXPECT_EQ(Selected(), "&Закрыть");
    EXPECT_TRUE(Control->IsSelected());
}

} // namespace
