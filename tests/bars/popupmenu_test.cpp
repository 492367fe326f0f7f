// The popup menu: Popup's own loop and the order of the events of a chosen
// command, messages around the loop, a button's drop-down menu, the menu's
// fonts and properties, and menus, items and managers freed while a menu is
// open.
#include "bars/popupmenu.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bars/hint.h"
#include "bars/managerlist.h"
#include "bars/shadow.h"
#include "bars/toolbar.h"
#include "fixture.h"
#include "support/driver.h"

namespace {

using namespace bars;
using testdrv::RunUntilIdle;
using testdrv::Step;

struct TEventLog {
    std::vector<std::string> Calls;
    std::function<void()> OnPopupAction;
    std::function<void()> OnCloseUpAction;
    std::function<void()> OnClickAction;
    void Popup(cls::TObject*) {
        Calls.push_back("Popup");
        if (OnPopupAction) OnPopupAction();
    }
    void CloseUp(cls::TObject*) {
        Calls.push_back("CloseUp");
        if (OnCloseUpAction) OnCloseUpAction();
    }
    void ClickItem(TdxBarManager*, TdxBarItem* AItem) { Calls.push_back("ClickItem " + AItem->Caption()); }
    void Click(cls::TObject* Sender) {
        Calls.push_back("Click " + static_cast<TdxBarItem*>(Sender)->Caption());
        if (OnClickAction) OnClickAction();
    }
};

using TCalls = std::vector<std::string>;

// An action run from a thread timer, as a program's own timer runs it.
std::function<void()> GTimerAction;

void RunTimerAction(win::HWND, win::UINT, win::UINT_PTR AId, win::DWORD) {
    win::KillTimer(nullptr, AId);
    std::function<void()> Action = std::move(GTimerAction);
    GTimerAction = nullptr;
    if (Action) Action();
}

Step FromTimer(std::function<void()> AAction) {
    return [AAction] {
        GTimerAction = AAction;
        win::SetTimer(nullptr, 0, 10, &RunTimerAction);
    };
}

class PopupMenuTest : public test::MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        win::SetForegroundWindow(Form->Handle());
        Form->SetFocus();
        RunUntilIdle();
        Manager->SetOnClickItem(TdxBarClickItemEvent(&Log, &TEventLog::ClickItem));
        Fill(Popup);
        // The hint window, once made, stays (hidden): it counts from the start.
        GetBarHintWindow()->HandleNeeded();
        WindowsBefore = win::GetTopLevelWindows().size();
    }

    // "&Открыть", a sub item "&Справка" holding "&О программе", and "В&ыход".
    void Fill(TdxBarPopupMenu* AMenu) {
        AMenu->SetOnPopup(cls::TNotifyEvent(&Log, &TEventLog::Popup));
        AMenu->SetOnCloseUp(cls::TNotifyEvent(&Log, &TEventLog::CloseUp));
        Open = AddButton(AMenu->ItemLinks(), "&Открыть");
        Help = AddSubItem(AMenu->ItemLinks(), "&Справка");
        About = AddButton(Help->ItemLinks(), "&О программе");
        Quit = AddButton(AMenu->ItemLinks(), "В&ыход", true);
        for (TdxBarButton* Button : {Open, About, Quit})
            Button->SetOnClick(cls::TNotifyEvent(&Log, &TEventLog::Click));
    }
    // Runs Popup with the steps feeding its loop; the return is logged.
    void RunPopup(TdxBarPopupMenu* AMenu, std::vector<Step> ASteps) {
        testdrv::ScriptIdle(std::move(ASteps));
        AMenu->Popup(200, 150);
        Log.Calls.push_back("returned");
        EXPECT_TRUE(testdrv::IdleScriptDone());
    }
    static Step Key(int AKey, const char* AChars = nullptr) {
        return [=] { testdrv::PressKey(AKey, AChars); };
    }
    static Step ClickOn(const std::string& ACaption) {
        return [=] { ClickItem(ACaption); };
    }
    // Nothing of the menu is left: no window, no menu mode.
    void ExpectNothingLeft() {
        RunUntilIdle();
        EXPECT_EQ(GetActiveBarControl(), nullptr);
        for (win::HWND Wnd : win::GetTopLevelWindows()) {
            cls::TWinControl* Control = cls::FindControl(Wnd);
            EXPECT_FALSE(dynamic_cast<TCustomdxBarControl*>(Control) ||
                         dynamic_cast<TdxBarShadowPart*>(Control));
        }
        EXPECT_LE(win::GetTopLevelWindows().size(), WindowsBefore);
    }

    TdxBarButton* Open = nullptr;
    TdxBarSubItem* Help = nullptr;
    TdxBarButton* About = nullptr;
    TdxBarButton* Quit = nullptr;
    TEventLog Log;
    std::size_t WindowsBefore = 0;
};

// --- The loop ---

TEST_F(PopupMenuTest, AChosenCommandRunsAfterTheMenuClosedAndBeforePopupReturns) {
    struct Case {
        const char* What;
        std::vector<Step> Steps;
        TCalls Expected;
    };
    const std::vector<Case> Cases = {
        {"a click",
         {ClickOn("В&ыход")},
         {"Popup", "CloseUp", "ClickItem В&ыход", "Click В&ыход", "returned"}},
        // A sub item is clicked as it opens its menu.
        {"keys into the nested menu",
         {Key(win::VK_DOWN), Key(win::VK_DOWN), Key(win::VK_RIGHT), Key(win::VK_RETURN)},
         {"Popup", "ClickItem &Справка", "CloseUp", "ClickItem &О программе", "Click &О программе",
          "returned"}},
        {"Cyrillic accelerators",
         {Key('C', "с"), Key('J', "о")},
         {"Popup", "ClickItem &Справка", "CloseUp", "ClickItem &О программе", "Click &О программе",
          "returned"}},
        {"Esc", {Key(win::VK_ESCAPE)}, {"Popup", "CloseUp", "returned"}},
        {"a click outside",
         {[this] {
             testdrv::Click(Form->Handle(), win::POINT{10, 10});
         }},
         {"Popup", "CloseUp", "returned"}},
        {"another application in front",
         {[] { win::SetApplicationForeground(false); }},
         {"Popup", "CloseUp", "returned"}},
        {"a press on the desktop",
         {[] {
             testdrv::ClickScreen(win::POINT{900, 600});
         }},
         {"Popup", "CloseUp", "returned"}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        Log.Calls.clear();
        RunPopup(Popup, C.Steps);
        EXPECT_EQ(Log.Calls, C.Expected);
        EXPECT_FALSE(Popup->IsOpen());
        EXPECT_EQ(Popup->GetBarControl(), nullptr);
        ExpectNothingLeft();
        win::SetApplicationForeground(true);
        RunUntilIdle();
    }
}

TEST_F(PopupMenuTest, ThePressThatClosedTheMenuReachesItsWindowAfterPopupReturns) {
    testdrv::MessageLog Mouse{Form->Handle()};
    Mouse.Only({win::WM_LBUTTONDOWN, win::WM_LBUTTONUP, win::WM_COMMAND});
    RunPopup(Popup, {[this] { win::PostMessage(Form->Handle(), win::WM_COMMAND, 1, 0); },
                     [this] {
                         testdrv::Click(Form->Handle(), win::POINT{10, 10});
                     }});
    // Dropped while the menu was open; the press was handed back, not handled.
    EXPECT_EQ(Mouse.Text(), "");
    RunUntilIdle();
    EXPECT_EQ(Mouse.Text(), "WM_LBUTTONDOWN WM_LBUTTONUP");
}

// The press and its release come together, as from an X server: the press on
// the frame closes the menu and starts sizing, and the release ends it.
TEST_F(PopupMenuTest, APressOnTheFrameThatClosedTheMenuSizesUntilItsRelease) {
    testdrv::MessageLog Frame{Form->Handle()};
    Frame.Only({win::WM_NCLBUTTONDOWN, win::WM_ENTERSIZEMOVE, win::WM_CAPTURECHANGED, win::WM_EXITSIZEMOVE});
    const cls::TRect Before = Form->BoundsRect();
    const win::POINT Top{(Before.left + Before.right) / 2, Before.top + 1};
    RunPopup(Popup, {[=] {
                 testdrv::MoveToScreen(Top);
                 testdrv::MouseDown();
                 testdrv::MouseUp();
             }});
    RunUntilIdle();
    EXPECT_EQ(Log.Calls, (TCalls{"Popup", "CloseUp", "returned"}));
    EXPECT_EQ(Frame.Text(), "WM_NCLBUTTONDOWN WM_ENTERSIZEMOVE WM_CAPTURECHANGED WM_EXITSIZEMOVE");
    EXPECT_EQ(win::GetCapture(), nullptr);
    testdrv::MoveToScreen(win::POINT{Top.x, Top.y - 30});
    EXPECT_EQ(Form->BoundsRect(), Before);
}

TEST_F(PopupMenuTest, AQuitEndsTheLoopClosesTheMenuAndReachesTheCallersLoop) {
    RunPopup(Popup, {[] { win::PostQuitMessage(7); }});
    EXPECT_EQ(Log.Calls, (TCalls{"Popup", "CloseUp", "returned"}));
    win::MSG Msg;
    ASSERT_TRUE(win::PeekMessage(&Msg, nullptr, 0, 0, win::PM_REMOVE));
    EXPECT_EQ(Msg.message, win::WM_QUIT);
    EXPECT_EQ(Msg.wParam, 7u);
    ExpectNothingLeft();
}

TEST_F(PopupMenuTest, PopupOfAnOpenMenuReturnsAtOnce) {
    int Windows = 0;
    Log.OnPopupAction = [&] {
        EXPECT_TRUE(IsAnyPopupMenuShowing());
        Popup->Popup(10, 10);
        Log.Calls.push_back("again");
    };
    RunPopup(Popup, {[&] { Windows = static_cast<int>(win::GetTopLevelWindows().size() - WindowsBefore); },
                     Key(win::VK_ESCAPE)});
    EXPECT_EQ(Log.Calls, (TCalls{"Popup", "again", "CloseUp", "returned"}));
    // The menu window and its shadow parts.
    EXPECT_GE(Windows, 1);
    EXPECT_FALSE(IsAnyPopupMenuShowing());
}

// --- Bad input ---

TEST_F(PopupMenuTest, MenusAndItemsFreedByTheirOwnEventsEndTheLoopCleanly) {
    const gfx::DWORD Objects = test::GdiObjectCount();
    TdxBarPopupMenu* Menu = nullptr;
    auto FreeMenu = [&Menu] { cls::FreeAndNil(Menu); };
    struct Case {
        const char* What;
        std::function<void()> OnClick;
        std::function<void()> OnCloseUp;
        std::vector<Step> Steps;
        TCalls Expected;
    };
    const std::vector<Case> Cases = {
        {"Popup again from OnClick",
         [&] { Menu->Popup(100, 100); },
         nullptr,
         {ClickOn("&Открыть"), Key(win::VK_ESCAPE)},
         {"Popup", "CloseUp", "ClickItem &Открыть", "Click &Открыть", "Popup", "CloseUp"}},
        {"the menu freed in OnClick",
         FreeMenu,
         nullptr,
         {ClickOn("&Открыть")},
         {"Popup", "CloseUp", "ClickItem &Открыть", "Click &Открыть"}},
        {"the item freed in OnClick",
         [this] { cls::FreeAndNil(Open); },
         nullptr,
         {ClickOn("&Открыть")},
         {"Popup", "CloseUp", "ClickItem &Открыть", "Click &Открыть"}},
        {"the menu freed in OnCloseUp",
         nullptr,
         FreeMenu,
         {ClickOn("&Открыть")},
         {"Popup", "CloseUp", "ClickItem &Открыть", "Click &Открыть"}},
        {"the item freed in OnCloseUp",
         nullptr,
         [this] { cls::FreeAndNil(Open); },
         {ClickOn("&Открыть")},
         {"Popup", "CloseUp"}},
        {"the menu freed by a timer while it is open", nullptr, nullptr, {FromTimer(FreeMenu)}, {"Popup"}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        Menu = new TdxBarPopupMenu(Form);
        Fill(Menu);
        Log.Calls.clear();
        Log.OnClickAction = C.OnClick;
        Log.OnCloseUpAction = C.OnCloseUp;
        testdrv::ScriptIdle(C.Steps);
        Menu->Popup(200, 150);
        EXPECT_TRUE(testdrv::IdleScriptDone());
        EXPECT_EQ(Log.Calls, C.Expected);
        Log.OnClickAction = nullptr;
        Log.OnCloseUpAction = nullptr;
        delete Menu;
        ExpectNothingLeft();
    }
    EXPECT_EQ(test::GdiObjectCount(), Objects);
}

TEST_F(PopupMenuTest, TheManagerFreedWhileTheMenuIsOpenTakesTheMenuAlong) {
    RunPopup(Popup, {FromTimer([this] {
                 delete Manager;
                 Manager = nullptr;
                 Popup = nullptr;
             })});
    EXPECT_EQ(Log.Calls, (TCalls{"Popup", "returned"}));
    ExpectNothingLeft();
    // Without any manager there is no popup menu.
    EXPECT_THROW(new TdxBarPopupMenu(Form), cls::Exception);
}

// --- A button's drop-down ---

TEST_F(PopupMenuTest, AButtonsDropDownOpensBesideItInsideTheRunningLoop) {
    auto* Print = AddButton(Popup->ItemLinks(), "&Печать");
    Print->SetButtonStyle(bsDropDown);
    Print->SetOnClick(cls::TNotifyEvent(&Log, &TEventLog::Click));
    TdxBarPopupMenu Choices(Form);
    Choices.SetOnCloseUp(cls::TNotifyEvent(&Log, &TEventLog::CloseUp));
    TdxBarButton* Printer = AddButton(Choices.ItemLinks(), "&Принтер");
    AddButton(Choices.ItemLinks(), "&Файл");
    Printer->SetOnClick(cls::TNotifyEvent(&Log, &TEventLog::Click));
    Print->SetDropDownMenu(&Choices);
    auto PrintControl = [] { return static_cast<TdxBarButtonControl*>(ControlOf("&Печать")); };
    TdxBarSubMenuControl* Root = nullptr;
    RunPopup(Popup, {Key(win::VK_END),
                     [&] {
                         Root = Popup->GetBarControl();
                         EXPECT_EQ(Selected(), "&Печать");
                     },
                     Key(win::VK_RIGHT),
                     [&] {
                         TdxBarSubMenuControl* Window = Choices.GetBarControl();
                         ASSERT_NE(Window, nullptr);
                         EXPECT_TRUE(Choices.IsOpen());
                         EXPECT_EQ(Window->ParentBar(), Root);
                         EXPECT_EQ(Root->ChildMenu(), Window);
                         EXPECT_EQ(GetActiveBarControl(), Window);
                         // Opened by the keyboard: its first entry is selected.
                         EXPECT_EQ(Selected(), "&Принтер");
                         // Beside the button: its right edge joins the menu's left one.
                         const cls::TRect Button = Root->GetItemControlScreenRect(Root->SelectedControl());
                         EXPECT_EQ(Window->BoundsRect().left, Button.right);
                         EXPECT_TRUE(PrintControl()->DroppedDown());
                     },
                     [] { testdrv::KeyDown(win::VK_ESCAPE); },
                     [&] {
                         testdrv::KeyUp(win::VK_ESCAPE);
                         // Esc steps back out of the drop-down only.
                         EXPECT_EQ(Choices.GetBarControl(), nullptr);
                         EXPECT_EQ(GetActiveBarControl(), Root);
                         if (IsBarControlAlive(Root)) {
                             EXPECT_FALSE(PrintControl()->DroppedDown());
                         }
                     },
                     Key(win::VK_RIGHT), Key(win::VK_RETURN)});
    // The drop-down closed by Esc, then both menus as the command runs.
    EXPECT_EQ(Log.Calls, (TCalls{"Popup", "CloseUp", "CloseUp", "CloseUp", "ClickItem &Принтер",
                                 "Click &Принтер", "returned"}));
    ExpectNothingLeft();

    // Shown plainly afterwards it uses none of the drop-down's placement.
    Log.Calls.clear();
    RunPopup(&Choices, {[&] {
                            TdxBarSubMenuControl* Window = Choices.GetBarControl();
                            ASSERT_NE(Window, nullptr);
                            EXPECT_EQ(Window->OwnerWidth(), 0);
                            EXPECT_EQ(Window->OwnerHeight(), 0);
                            EXPECT_EQ(Window->ParentBar(), nullptr);
                            EXPECT_FALSE(Choices.NoLoop());
                        },
                        Key(win::VK_ESCAPE)});
    EXPECT_EQ(Log.Calls, (TCalls{"CloseUp", "returned"}));
}

TEST_F(PopupMenuTest, AToolbarButtonsDropDownOpensBelowAndClosesWithAPressOutside) {
    auto* Print = new TdxBarButton(Form);
    Print->SetCaption("&Печать");
    Print->SetButtonStyle(bsDropDown);
    Bar->ItemLinks()->Add(Print);
    Bar->SetVisible(true);
    TdxBarPopupMenu Choices(Form);
    AddButton(Choices.ItemLinks(), "&Принтер")->SetOnClick(cls::TNotifyEvent(&Log, &TEventLog::Click));
    Print->SetDropDownMenu(&Choices);
    testdrv::RunUntilIdle();
    TdxBarControl* Toolbar = Bar->Control();
    ASSERT_NE(Toolbar, nullptr);
    TdxBarItemLink* Link = Bar->ItemLinks()->Items(0);
    const cls::TRect Button = Toolbar->GetItemControlScreenRect(Link->Control());
    // A press on the arrow part drops the menu down below the button.
    testdrv::Click(Toolbar->Handle(), win::POINT{Link->ItemRect().right - 2, 10});
    TdxBarSubMenuControl* Window = Choices.GetBarControl();
    ASSERT_NE(Window, nullptr);
    EXPECT_EQ(Window->BoundsRect().top, Button.bottom);
    EXPECT_EQ(Window->BoundsRect().left, Button.left);
    EXPECT_EQ(Window->ParentBar(), Toolbar);
    EXPECT_TRUE(static_cast<TdxBarButtonControl*>(Link->Control())->DroppedDown());
    EXPECT_EQ(Selected(), "");
    testdrv::Click(Form->Handle(), win::POINT{10, 10});
    EXPECT_EQ(Choices.GetBarControl(), nullptr);
    EXPECT_FALSE(static_cast<TdxBarButtonControl*>(Link->Control())->DroppedDown());
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    // Again, and an entry is chosen.
    testdrv::Click(Toolbar->Handle(), win::POINT{Link->ItemRect().right - 2, 10});
    ClickItem("&Принтер");
    EXPECT_EQ(Log.Calls, (TCalls{"ClickItem &Принтер", "Click &Принтер"}));
    EXPECT_EQ(Choices.GetBarControl(), nullptr);
    EXPECT_FALSE(static_cast<TdxBarButtonControl*>(Link->Control())->DroppedDown());
}

// --- Properties ---

TEST_F(PopupMenuTest, TheMenuKeepsTheManagersFontUntilItHasItsOwn) {
    TdxBarPopupMenu Menu(Form);
    EXPECT_FALSE(Menu.UseOwnFont());
    EXPECT_EQ(Menu.FontHandle(), nullptr);
    Manager->Font()->SetName("DejaVu Sans Mono");
    EXPECT_EQ(Menu.Font()->Name(), "DejaVu Sans Mono");
    Menu.Font()->SetName("DejaVu Serif");
    EXPECT_TRUE(Menu.UseOwnFont());
    EXPECT_NE(Menu.FontHandle(), nullptr);
    Manager->Font()->SetName("DejaVu Sans");
    EXPECT_EQ(Menu.Font()->Name(), "DejaVu Serif");
    Menu.SetUseOwnFont(false);
    EXPECT_EQ(Menu.FontHandle(), nullptr);
    EXPECT_EQ(Menu.Font()->Name(), "DejaVu Sans");
}

TEST_F(PopupMenuTest, PropertiesRefuseWhatTheyCannotTake) {
    Popup->SetBarSize(-5);
    EXPECT_EQ(Popup->BarSize(), 0);
    Popup->SetBarSize(12);
    EXPECT_EQ(Popup->BarSize(), 12);
    Popup->SetBarManager(nullptr);
    EXPECT_EQ(Popup->BarManager(), Manager);

    cls::TForm OtherForm(nullptr);
    auto* Other = new TdxBarManager(&OtherForm);
    Popup->SetBarManager(Other);
    EXPECT_EQ(Manager->PopupMenuCount(), 0);
    EXPECT_EQ(Other->PopupMenuCount(), 1);
    EXPECT_EQ(Popup->ItemLinks()->BarManager(), Other);
    Popup->SetBarManager(Manager);
    EXPECT_EQ(Other->PopupMenuCount(), 0);

    Open->SetShortCut(cls::TextToShortCut("Ctrl+O"));
    Log.Calls.clear();
    EXPECT_FALSE(Popup->IsShortCutKey('O', 0));
    EXPECT_FALSE(Popup->IsShortCutKey(0, 0));
    testdrv::KeyDown(win::VK_CONTROL);
    EXPECT_TRUE(Popup->IsShortCutKey('O', 0));
    testdrv::KeyUp(win::VK_CONTROL);
    EXPECT_EQ(Log.Calls, (TCalls{"ClickItem &Открыть", "Click &Открыть"}));
}

} // namespace
