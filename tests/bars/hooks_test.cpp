// The manager list's thread hooks: installed with the first manager, keys in
// menu mode routed to the active menu (accelerators of any layout), clicks
// outside the chain closing it, and the owner form's messages reaching its
// manager (activation, help).
#include "bars/managerlist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bars/hint.h"
#include "fixture.h"
#include "support/driver.h"

namespace {

using namespace bars;
using testdrv::Advance;
using testdrv::RunUntilIdle;

struct TClickLog {
    std::vector<std::string> Clicks;
    void Click(cls::TObject* Sender) { Clicks.push_back(static_cast<TdxBarItem*>(Sender)->Caption()); }
};

class HooksTest : public test::MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        Links = Popup->ItemLinks();
        Open = AddButton(Links, "&Открыть");
        Help = AddSubItem(Links, "&Справка");
        About = AddButton(Help->ItemLinks(), "&О программе");
        Quit = AddButton(Links, "&Quit", true);
        for (TdxBarButton* Button : {Open, About, Quit})
            Button->SetOnClick(cls::TNotifyEvent(&Log, &TClickLog::Click));
        win::SetForegroundWindow(Form->Handle());
        Form->SetFocus();
        RunUntilIdle();
    }

    TdxBarSubMenuControl* HelpMenu() const {
        return dynamic_cast<TdxBarSubMenuControl*>(Help->ItemLinks()->BarControl());
    }
    // Opens the sub item's menu by hovering it for its delay.
    void OpenHelp() {
        Hover("&Справка");
        Advance(TdxBarSubItemControl::SubMenuDelay);
        ASSERT_NE(HelpMenu(), nullptr);
    }
    win::POINT FormPoint() const { return win::POINT{10, 150}; }

    TdxBarItemLinks* Links = nullptr;
    TdxBarButton* Open = nullptr;
    TdxBarSubItem* Help = nullptr;
    TdxBarButton* About = nullptr;
    TdxBarButton* Quit = nullptr;
    TClickLog Log;
};

TEST_F(HooksTest, TheFirstManagerBringsHooksAndHintWindowAndTheLastTakesThem) {
    EXPECT_TRUE(AreBarHooksInstalled());
    TdxBarHintWindow* Hint = GetBarHintWindow();
    ASSERT_NE(Hint, nullptr);
    auto* OtherForm = new cls::TForm(nullptr);
    new TdxBarManager(OtherForm);
    delete Form;
    Form = nullptr;
    EXPECT_TRUE(AreBarHooksInstalled());
    EXPECT_EQ(GetBarHintWindow(), Hint);
    delete OtherForm;
    EXPECT_FALSE(AreBarHooksInstalled());
    EXPECT_EQ(GetBarHintWindow(), nullptr);

    Form = new cls::TForm(nullptr);
    new TdxBarManager(Form);
    EXPECT_TRUE(AreBarHooksInstalled());
    EXPECT_NE(GetBarHintWindow(), nullptr);
}

TEST_F(HooksTest, KeysInMenuModeGoToTheMenuAndTheirReleasesStayThere) {
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    testdrv::MessageLog FormKeys{Form->Handle()};
    FormKeys.Only({win::WM_KEYDOWN, win::WM_KEYUP, win::WM_CHAR});
    testdrv::PressKey(win::VK_DOWN);
    EXPECT_EQ(Selected(), "&Открыть");
    testdrv::KeyDown(win::VK_DOWN);
    EXPECT_EQ(Selected(), "&Справка");
    testdrv::KeyUp(win::VK_DOWN);
    testdrv::PressKey('X');
    EXPECT_TRUE(IsBarControlAlive(Menu));
    // Esc closes the menu while the key is down; its release is still the menu's.
    testdrv::KeyDown(win::VK_ESCAPE);
    EXPECT_FALSE(IsBarControlAlive(Menu));
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    testdrv::KeyUp(win::VK_ESCAPE);
    EXPECT_EQ(FormKeys.Text(), "");
    // Outside menu mode the form has its keys again.
    testdrv::PressKey('A');
    EXPECT_EQ(FormKeys.Text(), "WM_KEYDOWN WM_CHAR WM_KEYUP");
    EXPECT_TRUE(Log.Clicks.empty());
}

// The release of a key whose press went to a menu is swallowed, the menu
// window hears none, and the form hears none either once the press closed
// the menu: not even when the release already waits in the queue behind it.
TEST_F(HooksTest, TheReleaseOfAKeyRoutedToAMenuIsSwallowedEvenOnceTheMenuClosed) {
    struct Case {
        const char* What;
        int Key;
        bool Held; // released only after the press was handled
        bool Closes;
    } Cases[] = {
        {"a quick Down", win::VK_DOWN, false, false}, {"a held Down", win::VK_DOWN, true, false},
        {"a quick Esc", win::VK_ESCAPE, false, true}, {"a held Esc", win::VK_ESCAPE, true, true},
        {"a quick Alt", win::VK_MENU, false, true},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        TdxBarSubMenuControl* Menu = ShowMenu(Links);
        testdrv::MessageLog Keys;
        Keys.Watch(Form->Handle(), "form");
        Keys.Watch(Menu->Handle(), "menu");
        Keys.Only({win::WM_KEYDOWN, win::WM_KEYUP, win::WM_SYSKEYDOWN, win::WM_SYSKEYUP});
        if (C.Held) {
            testdrv::KeyDown(C.Key);
            testdrv::KeyUp(C.Key);
        } else {
            testdrv::PressKey(C.Key);
        }
        EXPECT_EQ(Keys.Text(), "menu:WM_KEYDOWN");
        EXPECT_EQ(IsBarControlAlive(Menu), !C.Closes);
        if (IsBarControlAlive(Menu)) Menu->CloseAndFree();
        RunUntilIdle();
        // The next key is the form's.
        Keys.Clear();
        testdrv::PressKey('A');
        EXPECT_EQ(Keys.Text(), "form:WM_KEYDOWN form:WM_KEYUP");
    }
}

TEST_F(HooksTest, AcceleratorsThroughTheHookMatchTheCharacterTheKeyTypes) {
    struct Case {
        const char* What;
        int Key;
        const char* Chars;
        const char* Clicked;
    } Cases[] = {
        {"Cyrillic О on the J key", 'J', "о", "&Открыть"},
        {"Latin q from the key map", 'Q', nullptr, "&Quit"},
        {"Cyrillic й on the Q key: no entry", 'Q', "й", ""},
        {"a key that types nothing", win::VK_F12, nullptr, ""},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        Log.Clicks.clear();
        TdxBarSubMenuControl* Menu = ShowMenu(Links);
        testdrv::MessageLog Chars{Menu->Handle()};
        Chars.Only({win::WM_CHAR});
        testdrv::PressKey(C.Key, C.Chars);
        const bool Runs = *C.Clicked != 0;
        EXPECT_EQ(Log.Clicks, Runs ? std::vector<std::string>{C.Clicked} : std::vector<std::string>{});
        EXPECT_EQ(IsBarControlAlive(Menu), !Runs);
        // The character rode along and was taken, used or not.
        EXPECT_EQ(Chars.Text(), "");
        if (IsBarControlAlive(Menu)) Menu->CloseAndFree();
    }
    // In a nested menu: the sub item opens by its letter, then the entry runs by its.
    Log.Clicks.clear();
    ShowMenu(Links);
    testdrv::PressKey('C', "с");
    ASSERT_NE(HelpMenu(), nullptr);
    testdrv::PressKey('J', "о");
    EXPECT_EQ(Log.Clicks, std::vector<std::string>{"&О программе"});
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

TEST_F(HooksTest, APressOutsideTheChainClosesItAndIsDelivered) {
    struct Case {
        win::MouseButton Button;
        const char* Delivered;
    } Cases[] = {
        {win::MouseButton::Left, "WM_LBUTTONDOWN WM_LBUTTONUP"},
        {win::MouseButton::Right, "WM_RBUTTONDOWN WM_RBUTTONUP"},
        {win::MouseButton::Middle, "WM_MBUTTONDOWN WM_MBUTTONUP"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Delivered);
        TdxBarSubMenuControl* Menu = ShowMenu(Links);
        OpenHelp();
        TdxBarSubMenuControl* Nested = HelpMenu();
        testdrv::MessageLog Mouse{Form->Handle()};
        Mouse.Only({win::WM_LBUTTONDOWN, win::WM_LBUTTONUP, win::WM_RBUTTONDOWN, win::WM_RBUTTONUP,
                    win::WM_MBUTTONDOWN, win::WM_MBUTTONUP});
        testdrv::Click(Form->Handle(), FormPoint(), C.Button);
        EXPECT_FALSE(IsBarControlAlive(Menu));
        EXPECT_FALSE(IsBarControlAlive(Nested));
        EXPECT_EQ(GetActiveBarControl(), nullptr);
        EXPECT_EQ(Mouse.Text(), C.Delivered);
    }
    // A press on the menu itself closes nothing.
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    testdrv::Click(Menu->Handle(), win::POINT{1, 1});
    EXPECT_TRUE(IsBarControlAlive(Menu));
    EXPECT_TRUE(Log.Clicks.empty());
}

TEST_F(HooksTest, ReleasesOutsideARootPopupLeaveItOpenAndOutsideASubmenuCloseTheChain) {
    testdrv::MoveTo(Form->Handle(), FormPoint());
    testdrv::MessageLog Mouse{Form->Handle()};
    Mouse.Only({win::WM_LBUTTONUP, win::WM_RBUTTONUP, win::WM_MBUTTONUP});
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    // The release of the click that opened the menu: right and middle ones are swallowed.
    testdrv::MouseUp(win::MouseButton::Right);
    testdrv::MouseUp(win::MouseButton::Middle);
    testdrv::MouseUp(win::MouseButton::Left);
    EXPECT_TRUE(IsBarControlAlive(Menu));
    EXPECT_EQ(Mouse.Text(), "WM_LBUTTONUP");
    OpenHelp();
    testdrv::MoveTo(Form->Handle(), FormPoint());
    EXPECT_TRUE(IsBarControlAlive(Menu));
    testdrv::MouseUp(win::MouseButton::Left);
    EXPECT_FALSE(IsBarControlAlive(Menu));
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

TEST_F(HooksTest, AnotherApplicationTakingTheForegroundClosesTheMenu) {
    EXPECT_TRUE(Manager->OwnerFormActive());
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    OpenHelp();
    EXPECT_TRUE(Manager->OwnerFormActive());
    win::SetApplicationForeground(false);
    RunUntilIdle();
    EXPECT_FALSE(IsBarControlAlive(Menu));
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    EXPECT_FALSE(Manager->OwnerFormActive());
    win::SetApplicationForeground(true);
    RunUntilIdle();
    EXPECT_TRUE(Manager->OwnerFormActive());
}

TEST_F(HooksTest, F1InAMenuAsksForTheHelpOfTheNearestEntryWithAContext) {
    struct Case {
        const char* What;
        cls::THelpContext Open;
        cls::THelpContext Help;
        cls::THelpContext About;
        bool InHelp;
        bool Popup;
        std::vector<cls::THelpRequest> Expected;
    };
    const std::vector<Case> Cases = {
        {"the selected entry's", 11, 22, 33, false, false, {{cls::HELP_CONTEXT, 11}}},
        {"the entry's in a nested menu", 11, 22, 33, true, false, {{cls::HELP_CONTEXT, 33}}},
        {"the opening sub item's", 11, 22, 0, true, false, {{cls::HELP_CONTEXT, 22}}},
        {"as a popup with the help box",
         11,
         0,
         0,
         false,
         true,
         {{cls::HELP_SETPOPUP_POS, 0}, {cls::HELP_CONTEXTPOPUP, 11}}},
        {"none", 0, 0, 0, true, false, {}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        Open->SetHelpContext(C.Open);
        Help->SetHelpContext(C.Help);
        About->SetHelpContext(C.About);
        cls::TBorderIcons Icons{cls::biSystemMenu};
        if (C.Popup) Icons.Include(cls::biHelp);
        Form->SetBorderIcons(Icons);
        cls::Application->ClearHelpRequests();
        ShowMenu(Links);
        testdrv::PressKey(win::VK_DOWN);
        cls::TRect Entry;
        if (C.InHelp) {
            testdrv::PressKey(win::VK_DOWN);
            testdrv::PressKey(win::VK_RIGHT);
            ASSERT_NE(HelpMenu(), nullptr);
        }
        Entry = GetActiveBarControl()->GetItemControlScreenRect(GetActiveBarControl()->SelectedControl());
        testdrv::PressKey(win::VK_F1);
        EXPECT_EQ(GetActiveBarControl(), nullptr);
        const auto& Requests = cls::Application->HelpRequests();
        ASSERT_EQ(Requests.size(), C.Expected.size());
        for (std::size_t I = 0; I < Requests.size(); ++I) {
            EXPECT_EQ(Requests[I].Command, C.Expected[I].Command);
            if (Requests[I].Command == cls::HELP_SETPOPUP_POS)
                EXPECT_EQ(Requests[I].Data,
                          win::PointToLParam(win::POINT{(Entry.left + Entry.right) / 2, Entry.bottom}));
            else
                EXPECT_EQ(Requests[I].Data, C.Expected[I].Data);
        }
    }
}

TEST_F(HooksTest, ShortcutsOutsideMenuModeRunTheCommandsOfShownBars) {
    Quit->SetShortCut(cls::TextToShortCut("Ctrl+Q"));
    Bar->ItemLinks()->Add(Quit);
    testdrv::MessageLog FormKeys{Form->Handle()};
    FormKeys.Only({win::WM_KEYDOWN});
    auto CtrlQ = [] {
        testdrv::KeyDown(win::VK_CONTROL);
        testdrv::PressKey('Q');
        testdrv::KeyUp(win::VK_CONTROL);
    };
    // A bar without a window shown keeps its shortcuts to itself.
    CtrlQ();
    EXPECT_TRUE(Log.Clicks.empty());
    EXPECT_EQ(FormKeys.Count(win::WM_KEYDOWN), 2);
    Bar->SetVisible(true);
    RunUntilIdle();
    FormKeys.Clear();
    CtrlQ();
    EXPECT_EQ(Log.Clicks, std::vector<std::string>{"&Quit"});
    EXPECT_EQ(FormKeys.Count(win::WM_KEYDOWN), 1);
}

TEST_F(HooksTest, TheOwnerFormsActivationIsTheManagers) {
    cls::TForm Other(nullptr);
    Other.SetBounds(500, 300, 100, 100);
    Other.Show();
    win::SetForegroundWindow(Other.Handle());
    RunUntilIdle();
    EXPECT_FALSE(Manager->OwnerFormActive());
    win::SetForegroundWindow(Form->Handle());
    RunUntilIdle();
    EXPECT_TRUE(Manager->OwnerFormActive());
    // Focus moving to one of its menus leaves the form active.
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    win::SendMessage(Form->Handle(), win::WM_ACTIVATE, win::WA_INACTIVE,
                     reinterpret_cast<win::LPARAM>(Menu->Handle()));
    EXPECT_TRUE(Manager->OwnerFormActive());
    EXPECT_TRUE(IsBarControlAlive(Menu));
}

} // namespace
