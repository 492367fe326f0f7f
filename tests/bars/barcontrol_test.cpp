// The bar window base: selection by mouse and keyboard, accelerators, the
// chain of menu mode, hints, focus, backgrounds, press tracking on a
// toolbar-like window, and links that go while their controls are in use.
#include "bars/barcontrol.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bars/hint.h"
#include "bars/managerlist.h"
#include "bars/shadow.h"
#include "bars/submenu.h"
#include "fixture.h"
#include "support/driver.h"

namespace {

using namespace bars;
using testdrv::Advance;
using testdrv::RunUntilIdle;

struct TClickLog {
    std::vector<std::string> Clicks;
    std::function<void()> Action;
    void Click(cls::TObject* Sender) {
        Clicks.push_back(static_cast<TdxBarItem*>(Sender)->Caption());
        if (Action) Action();
    }
};

// A window that lays its controls out in a row and counts as a toolbar: it
// tracks presses and enters menu mode on a press.
class TTestToolbar : public TCustomdxBarControl {
    TRESTLE_CLASS(TTestToolbar, TCustomdxBarControl)
public:
    using TCustomdxBarControl::TCustomdxBarControl;
    bool IsToolbarWindow() const override { return true; }
    void SetMarkState(int AState) override { SetMarkStateValue(AState); }
    void RepaintBar() override {
        int X = 2;
        for (int I = 0; ItemLinks() && I < ItemLinks()->VisibleItemCount(); ++I) {
            TdxBarItemLink* Link = ItemLinks()->VisibleItems(I);
            const int Width = Link->Control() ? std::max(Link->Control()->GetWidth(), 24) : 24;
            Link->SetItemRect(cls::TRect{X, 2, X + Width, 26});
            X += Width;
        }
        if (HandleAllocated()) Invalidate();
    }

protected:
    void CreateParams(cls::TCreateParams& Params) override {
        inherited::CreateParams(Params);
        Params.Style = win::WS_POPUP;
    }
    void InitWindow() override { RepaintBar(); }
    void Dispatch(cls::TMessage& Message) override {
        if (Message.Msg == win::WM_LBUTTONDOWN) SetActive(true);
        inherited::Dispatch(Message);
    }
};

class BarControlTest : public test::MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        Links = Popup->ItemLinks();
        Open = AddButton(Links, "&Открыть");
        Close = AddButton(Links, "&Закрыть");
        SubItem = AddSubItem(Links, "&Справка");
        AddButton(SubItem->ItemLinks(), "&О программе");
        Quit = AddButton(Links, "В&ыход", true);
        for (TdxBarButton* Button : {Open, Close, Quit})
            Button->SetOnClick(cls::TNotifyEvent(&Log, &TClickLog::Click));
    }

    TTestToolbar* ShowToolbar() {
        auto* Toolbar = new TTestToolbar(Manager);
        Toolbar->SetItemLinks(Bar->ItemLinks());
        Toolbar->SetParentWindow(Form->Handle());
        Toolbar->SetBounds(400, 400, 200, 28);
        Toolbar->SetVisible(true);
        RunUntilIdle();
        return Toolbar;
    }

    TdxBarItemLinks* Links = nullptr;
    TdxBarButton* Open = nullptr;
    TdxBarButton* Close = nullptr;
    TdxBarSubItem* SubItem = nullptr;
    TdxBarButton* Quit = nullptr;
    TClickLog Log;
};

TEST_F(BarControlTest, AMenuShowsItsEntriesWithTheHotOneHighlighted) {
    Manager->UsePainter(test::TTestPainter::Class());
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    Hover("&Закрыть");
    testdrv::Snapshot("out/menu.png");
    const cls::TRect Hot = Menu->GetItemControlScreenRect(ControlOf("&Закрыть"));
    const cls::TRect Cold = Menu->GetItemControlScreenRect(ControlOf("&Открыть"));
    EXPECT_EQ(win::ScreenPixel(win::POINT{Hot.right - 3, Hot.top + 2}),
              gfx::GetSysColor(gfx::COLOR_HIGHLIGHT));
    EXPECT_EQ(win::ScreenPixel(win::POINT{Cold.right - 3, Cold.top + 2}),
              gfx::GetSysColor(gfx::COLOR_BTNFACE));
}

// --- Mouse ---

TEST_F(BarControlTest, TheMouseSelectsAndLeavingTheWindowDropsTheSelection) {
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    Hover("&Закрыть");
    EXPECT_EQ(Selected(), "&Закрыть");
    EXPECT_TRUE(ControlOf("&Закрыть")->SelectedByMouse());
    EXPECT_EQ(Manager->SelectedItemControl(), ControlOf("&Закрыть"));
    // Over the separator row nothing is under the mouse.
    const cls::TRect QuitRect = FindLink("В&ыход")->ItemRect();
    testdrv::MoveTo(Menu->Handle(), win::POINT{QuitRect.left + 5, QuitRect.top - 2});
    EXPECT_EQ(Selected(), "");
    Hover("&Открыть");
    testdrv::MoveToScreen(win::POINT{60, 60});
    EXPECT_EQ(Selected(), "");
    EXPECT_EQ(Manager->SelectedItemControl(), nullptr);
}

TEST_F(BarControlTest, AnOpenSubmenuKeepsItsEntrySelectedWhenTheMouseLeaves) {
    ShowMenu(Links);
    Hover("&Справка");
    Advance(TdxBarSubItemControl::SubMenuDelay);
    ASSERT_NE(SubItem->ItemLinks()->BarControl(), nullptr);
    // Into the submenu: the parent keeps its sub item.
    Hover("&О программе");
    TCustomdxBarControl* Root = SubItem->ItemLinks()->BarControl()->ParentBar();
    ASSERT_NE(Root, nullptr);
    EXPECT_EQ(Root->SelectedControl()->GetCaption(), "&Справка");
    EXPECT_EQ(Selected(), "&О программе");
    Advance(2 * TdxBarSubItemControl::SubMenuDelay);
    EXPECT_NE(SubItem->ItemLinks()->BarControl(), nullptr);
}

TEST_F(BarControlTest, MouseInputOutsideTheActiveChainIsDropped) {
    auto* Other = new TdxBarPopupMenu(Form);
    AddButton(Other->ItemLinks(), "&Другое");
    TdxBarSubMenuControl* First = ShowMenu(Other->ItemLinks(), win::POINT{400, 100});
    TdxBarSubMenuControl* Second = ShowMenu(Links);
    EXPECT_EQ(GetActiveBarControl(), Second);
    EXPECT_EQ(Second->PrevActiveBarControl(), First);
    const TdxBarItemLink* Link = Other->ItemLinks()->VisibleItems(0);
    // Sent past the hooks (real input there would close the active chain first).
    const win::LPARAM At = win::PointToLParam(testdrv::CentreOf(Link->ItemRect()));
    win::PostMessage(First->Handle(), win::WM_MOUSEMOVE, 0, At);
    win::PostMessage(First->Handle(), win::WM_LBUTTONDOWN, win::MK_LBUTTON, At);
    win::PostMessage(First->Handle(), win::WM_LBUTTONUP, 0, At);
    RunUntilIdle();
    EXPECT_EQ(First->SelectedControl(), nullptr);
    EXPECT_TRUE(IsBarControlAlive(First));
    // When the second closes, the first is the active one again.
    Second->CloseAndFree();
    EXPECT_EQ(GetActiveBarControl(), First);
    testdrv::Click(First->Handle(), testdrv::CentreOf(Link->ItemRect()));
    EXPECT_FALSE(IsBarControlAlive(First));
}

TEST_F(BarControlTest, AClickNeverActivatesTheWindowAndTheFocusGoesToTheForm) {
    Form->SetFocus();
    RunUntilIdle();
    const win::HWND Active = win::GetActiveWindow();
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    EXPECT_EQ(win::SendMessage(Menu->Handle(), win::WM_MOUSEACTIVATE, 0, 0), win::MA_NOACTIVATE);
    testdrv::Click(Menu->Handle(), win::POINT{1, 1});
    EXPECT_EQ(win::GetActiveWindow(), Active);
    win::SetFocus(Menu->Handle());
    RunUntilIdle();
    EXPECT_EQ(win::GetFocus(), Form->Handle());

    // With the form hidden the next window of the thread below the menu takes
    // it. (The form's deactivation closed the menu: it opens again.)
    cls::TForm Other(nullptr);
    Other.SetBounds(500, 300, 100, 100);
    Other.Show();
    Form->Hide();
    RunUntilIdle();
    EXPECT_FALSE(IsBarControlAlive(Menu));
    Menu = ShowMenu(Links);
    win::SetFocus(Menu->Handle());
    RunUntilIdle();
    EXPECT_EQ(win::GetFocus(), Other.Handle());

    // With no window to take it the focus goes nowhere; the menu keeps none.
    Other.Hide();
    RunUntilIdle();
    if (!IsBarControlAlive(Menu)) Menu = ShowMenu(Links);
    win::SetFocus(Menu->Handle());
    RunUntilIdle();
    EXPECT_EQ(win::GetFocus(), nullptr);
}

// --- Keyboard ---

TEST_F(BarControlTest, ArrowsHomeEndAndTabMoveOverTheEntriesWithWrapAround) {
    Close->SetEnabled(false);
    ShowMenu(Links);
    struct Step {
        int Key;
        bool Shift;
        const char* Expected;
    } Steps[] = {
        {win::VK_DOWN, false, "&Открыть"},  {win::VK_DOWN, false, "&Закрыть"},
        {win::VK_UP, false, "&Открыть"},    {win::VK_UP, false, "В&ыход"},
        {win::VK_DOWN, false, "&Открыть"},  {win::VK_END, false, "В&ыход"},
        {win::VK_HOME, false, "&Открыть"},  {win::VK_TAB, false, "&Закрыть"},
        {win::VK_TAB, true, "&Открыть"},    {win::VK_LEFT, false, "&Открыть"},
        {win::VK_RIGHT, false, "&Открыть"},
    };
    for (const Step& S : Steps) {
        if (S.Shift) testdrv::KeyDown(win::VK_SHIFT);
        KeyToMenu(S.Key);
        if (S.Shift) testdrv::KeyUp(win::VK_SHIFT);
        EXPECT_EQ(Selected(), S.Expected) << S.Key;
    }
    EXPECT_TRUE(Log.Clicks.empty());
}

TEST_F(BarControlTest, AcceleratorsMatchTheTypedCharacterLatinOrCyrillic) {
    AddButton(Links, "&Options");
    AddButton(Links, "O&ther");
    AddButton(Links, "Sh&ow");
    struct Case {
        int Key;
        const char* Chars;
        const char* Selected;
        bool Runs;
    } Cases[] = {
        {'P', "з", "", true},          // Cyrillic, unique: runs at once and closes the menu
        {'P', "З", "", true},          // upper case alike
        {'C', "с", "&Справка", false}, // Cyrillic es: a sub item opens its menu instead
        {'O', "o", "&Options", false}, // Latin, shared by two: only selects
        {'S', "s", "", false},         // Latin s is not the Cyrillic С
        {'Z', nullptr, "", false},     // no character typed, no accelerator Z
    };
    for (const Case& C : Cases) {
        Log.Clicks.clear();
        TdxBarSubMenuControl* Menu = ShowMenu(Links);
        KeyToMenu(C.Key, C.Chars);
        const std::string What = C.Chars ? C.Chars : "(none)";
        EXPECT_EQ(Log.Clicks.size(), C.Runs ? 1u : 0u) << What;
        EXPECT_EQ(IsBarControlAlive(Menu), !C.Runs) << What;
        if (!C.Runs) {
            TdxBarItemControl* Control = Menu->SelectedControl();
            EXPECT_EQ(Control ? Control->GetCaption() : std::string(), C.Selected) << What;
            Menu->CloseAndFree();
        }
    }
    // The shared one: each press moves on to the next entry with it.
    ShowMenu(Links);
    KeyToMenu('O', "O");
    KeyToMenu('O', "o");
    EXPECT_EQ(Selected(), "Sh&ow");
    KeyToMenu('O', "o");
    EXPECT_EQ(Selected(), "&Options");
    EXPECT_TRUE(Log.Clicks.empty());
}

TEST_F(BarControlTest, AltEndsMenuModeAndF10OnlyWithUseF10ForMenu) {
    struct Case {
        int Key;
        bool UseF10;
        bool Ends;
    } Cases[] = {{win::VK_MENU, false, true}, {win::VK_F10, true, true}, {win::VK_F10, false, false}};
    for (const Case& C : Cases) {
        Manager->SetUseF10ForMenu(C.UseF10);
        TdxBarSubMenuControl* Menu = ShowMenu(Links);
        KeyToMenu(C.Key);
        EXPECT_EQ(IsBarControlAlive(Menu), !C.Ends) << C.Key << C.UseF10;
        EXPECT_EQ(GetActiveBarControl() == nullptr, C.Ends) << C.Key << C.UseF10;
        if (IsBarControlAlive(Menu)) Menu->CloseAndFree();
    }
}

// --- Hints ---

TEST_F(BarControlTest, TheSelectedEntryGivesTheHints) {
    Open->SetHint("Открыть|Показывает окно");
    Close->SetHint("Закрыть|Прячет окно");
    Close->SetEnabled(false);
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    TdxBarHintWindow* HintWindow = GetBarHintWindow();
    Hover("&Открыть");
    EXPECT_EQ(Menu->Hint(), "Показывает окно");
    // A popup menu's hints go to the application too.
    EXPECT_EQ(cls::Application->Hint(), "Показывает окно");
    Advance(1000);
    EXPECT_TRUE(HintWindow->IsShowing());
    EXPECT_EQ(HintWindow->Text(), "Открыть");
    Hover("&Закрыть");
    EXPECT_EQ(HintWindow->Text(), "Закрыть");
    Manager->SetShowHintForDisabledItems(false);
    Hover("&Открыть");
    Hover("&Закрыть");
    EXPECT_EQ(Menu->Hint(), "");
    EXPECT_FALSE(HintWindow->IsShowing());
}

// --- Geometry of windows and chains ---

TEST_F(BarControlTest, AnOwnerRectangleTouchingTheWindowGivesTheJoinedEdge) {
    struct Case {
        cls::TRect Owner;
        bool Touches;
        cls::TRect Edge; // window coordinates
    } Cases[] = {
        {{100, 80, 150, 100}, true, {1, 0, 49, 1}}, // above, narrower than the menu
        {{100, 80, 300, 100}, true, {1, 0, 99, 1}}, // above, wider
        {{40, 100, 100, 130}, true, {0, 1, 1, 29}}, // beside, on the left
        {{100, 79, 150, 99}, false, {0, 0, 0, 0}},  // one pixel apart
        {{0, 0, 0, 0}, false, {0, 0, 0, 0}},        // none
    };
    for (const Case& C : Cases) {
        auto* Menu = static_cast<TdxBarSubMenuControl*>(Links->CreateBarControl());
        Menu->SetOwnerRect(C.Owner);
        Menu->SetLeft(100);
        Menu->SetTop(100);
        Menu->ShowAnimated();
        RunUntilIdle();
        EXPECT_EQ(Menu->OwnerRectTouchesWindow(), C.Touches) << C.Owner.left << "," << C.Owner.top;
        cls::TRect Edge;
        Menu->GetOwnerEdgeRect(false, Edge);
        EXPECT_TRUE(gfx::EqualRect(&Edge, &C.Edge))
            << C.Owner.left << "," << C.Owner.top << ": " << Edge.left << "," << Edge.top << "," << Edge.right
            << "," << Edge.bottom;
        Menu->CloseAndFree();
    }
}

TEST_F(BarControlTest, TheRootOfAChainIsItsFirstWindow) {
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    KeyToMenu(win::VK_UP);
    KeyToMenu(win::VK_UP);
    KeyToMenu(win::VK_RIGHT);
    auto* Child = dynamic_cast<TdxBarSubMenuControl*>(SubItem->ItemLinks()->BarControl());
    ASSERT_NE(Child, nullptr);
    EXPECT_EQ(Child->ParentBar(), Menu);
    EXPECT_EQ(Menu->ChildMenu(), Child);
    EXPECT_EQ(GetRootBarControl(Child), Menu);
    EXPECT_EQ(GetItemControlRootBarControl(ControlOf("&О программе")), Menu);
    EXPECT_EQ(GetRootToolbarControl(Child), nullptr);
    EXPECT_EQ(GetItemControlRootToolbar(ControlOf("&О программе")), nullptr);
    EXPECT_FALSE(IsVerticalBarControl(Child));
    EXPECT_FALSE(IsRotatedBarControl(Child));
    EXPECT_TRUE(Menu->IsParentOf(Child));
    EXPECT_FALSE(Child->IsParentOf(Menu));

    TTestToolbar* Toolbar = ShowToolbar();
    EXPECT_EQ(GetRootToolbarControl(Toolbar), Toolbar);
    EXPECT_FALSE(IsVerticalBarControl(Toolbar));
    Toolbar->SetDockingStyle(dsLeft);
    EXPECT_TRUE(IsVerticalBarControl(Toolbar));
}

// --- Customizing ---

class TDesignedForm : public cls::TForm {
    TRESTLE_CLASS(TDesignedForm, cls::TForm)
public:
    explicit TDesignedForm(cls::TComponent* AOwner) : cls::TForm(AOwner) { SetDesigning(true); }
};

TEST_F(BarControlTest, WhileCustomizingTheManagersSelectedControlIsFramed) {
    auto* Designed = new TDesignedForm(nullptr);
    Designed->SetBounds(400, 400, 300, 200);
    Designed->Show();
    auto* DesignManager = new TdxBarManager(Designed);
    ASSERT_TRUE(DesignManager->GetIsCustomizing());
    auto* Menu = new TdxBarPopupMenu(Designed);
    auto* Button = new TdxBarButton(Designed);
    Button->SetCaption("&Кнопка");
    Menu->ItemLinks()->Add(Button);
    auto* Sub = new TdxBarSubItem(Designed);
    Sub->SetCaption("&Меню");
    Menu->ItemLinks()->Add(Sub);
    TdxBarSubMenuControl* Window = ShowMenu(Menu->ItemLinks(), win::POINT{420, 420});
    TdxBarItemControl* ButtonControl = Menu->ItemLinks()->Items(0)->Control();
    TdxBarItemControl* SubControl = Menu->ItemLinks()->Items(1)->Control();
    const gfx::HDC DC = win::GetDC(Window->Handle());
    const cls::TRect B = ButtonControl->GetRect();
    const cls::TRect S = SubControl->GetRect();
    const gfx::COLORREF SubInnerBefore = gfx::GetPixel(DC, S.left + 5, S.top + 1);
    const gfx::COLORREF SubInsideBefore = gfx::GetPixel(DC, S.left + 5, S.top + 2);

    DesignManager->SetSelectedItemControl(ButtonControl);
    ButtonControl->Repaint();
    const gfx::COLORREF Text = gfx::GetSysColor(gfx::COLOR_WINDOWTEXT);
    EXPECT_EQ(gfx::GetPixel(DC, B.left, B.top), Text);
    EXPECT_EQ(gfx::GetPixel(DC, B.right - 2, B.bottom - 2), Text);
    // A sub item of a menu is framed by inverting.
    DesignManager->SetSelectedItemControl(SubControl);
    SubControl->Repaint();
    EXPECT_EQ(gfx::GetPixel(DC, S.left + 5, S.top + 1), SubInnerBefore ^ 0xFFFFFFu);
    EXPECT_EQ(gfx::GetPixel(DC, S.left + 5, S.top + 2), SubInsideBefore);
    win::ReleaseDC(Window->Handle(), DC);
    delete Designed;
}

// --- Backgrounds ---

// Fills with red wherever the background operation reaches.
class TRedWindow : public TTestToolbar {
    TRESTLE_CLASS(TRedWindow, TTestToolbar)
public:
    using TTestToolbar::TTestToolbar;
    void FillBackground(gfx::HDC DC, const gfx::RECT& R, gfx::HBRUSH, gfx::TColor) override {
        const gfx::HBRUSH Red = gfx::CreateSolidBrush(gfx::RGB(255, 0, 0));
        gfx::FillRect(DC, &R, Red);
        gfx::DeleteObject(Red);
    }
};

TEST_F(BarControlTest, FillingInARegionChangesOnlyTheRegion) {
    TRedWindow Window(Manager);
    Window.SetBounds(0, 0, 20, 20);
    Window.HandleNeeded();
    const gfx::MemoryDC Memory(20, 20);
    gfx::PatBlt(Memory.Handle(), 0, 0, 20, 20, gfx::WHITENESS);
    // The DC's origin is moved: the region is in its logical coordinates.
    gfx::SetWindowOrgEx(Memory.Handle(), 2, 0, nullptr);
    const gfx::DWORD Objects = gfx::GetGdiObjectCount();
    const gfx::HRGN Region = gfx::CreateRectRgn(4, 4, 8, 8);
    Window.FillBackgroundInRegion(Memory.Handle(), Region, nullptr, cls::clNone);
    gfx::DeleteObject(Region);
    EXPECT_EQ(gfx::GetGdiObjectCount(), Objects);
    gfx::SetWindowOrgEx(Memory.Handle(), 0, 0, nullptr);
    const gfx::COLORREF Red = gfx::RGB(255, 0, 0), White = gfx::RGB(255, 255, 255);
    EXPECT_EQ(gfx::GetPixel(Memory.Handle(), 2, 4), Red);
    EXPECT_EQ(gfx::GetPixel(Memory.Handle(), 5, 7), Red);
    EXPECT_EQ(gfx::GetPixel(Memory.Handle(), 6, 4), White);
    EXPECT_EQ(gfx::GetPixel(Memory.Handle(), 1, 4), White);
    EXPECT_EQ(gfx::GetPixel(Memory.Handle(), 2, 8), White);
    // The DC's clipping is as it was: none.
    const gfx::HRGN Clip = gfx::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(gfx::GetClipRgn(Memory.Handle(), Clip), 0);
    gfx::DeleteObject(Clip);
}

// --- A toolbar-like window ---

TEST_F(BarControlTest, APressOnAToolbarIsTrackedUntilTheRelease) {
    TdxBarButton* Cut = AddButton(Bar->ItemLinks(), "Cut");
    AddButton(Bar->ItemLinks(), "Copy");
    bool PressedInClick = false;
    Cut->SetOnClick(cls::TNotifyEvent(&Log, &TClickLog::Click));
    TTestToolbar* Toolbar = ShowToolbar();
    TdxBarItemControl* Control = Bar->ItemLinks()->VisibleItems(0)->Control();
    Log.Action = [&] { PressedInClick = Control->ClickPressed(); };
    const win::POINT Centre = testdrv::CentreOf(Control->GetRect());

    testdrv::MoveTo(Toolbar->Handle(), Centre);
    EXPECT_EQ(Toolbar->SelectedControl(), Control);
    testdrv::MouseDown();
    EXPECT_EQ(Toolbar->PressedControl(), Control);
    EXPECT_TRUE(Toolbar->PressedControlHot());
    EXPECT_EQ(win::GetCapture(), Toolbar->Handle());
    testdrv::MoveTo(Toolbar->Handle(), win::POINT{Centre.x, 60});
    EXPECT_FALSE(Toolbar->PressedControlHot());
    testdrv::MoveTo(Toolbar->Handle(), Centre);
    EXPECT_TRUE(Toolbar->PressedControlHot());
    testdrv::MouseUp();
    EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"Cut"}));
    // A toolbar does not close on a command: the button shows pressed meanwhile.
    EXPECT_TRUE(PressedInClick);
    EXPECT_FALSE(Control->ClickPressed());
    EXPECT_EQ(Toolbar->PressedControl(), nullptr);
    EXPECT_EQ(win::GetCapture(), nullptr);
    EXPECT_FALSE(Toolbar->IsActive());
}

// --- Links that go while their controls are in use ---

TEST_F(BarControlTest, ALinkWhoseItemGoesWhileItsControlIsInUseLeavesNothingBehind) {
    const gfx::DWORD Objects = test::GdiObjectCount();
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    // Hot.
    Hover("&Закрыть");
    delete Close;
    RunUntilIdle();
    EXPECT_EQ(Menu->SelectedControl(), nullptr);
    EXPECT_EQ(Manager->SelectedItemControl(), nullptr);
    Hover("&Открыть");
    EXPECT_EQ(Selected(), "&Открыть");
    // Selected by keys, with its menu open.
    KeyToMenu(win::VK_DOWN);
    KeyToMenu(win::VK_RIGHT);
    ASSERT_NE(SubItem->ItemLinks()->BarControl(), nullptr);
    delete SubItem;
    RunUntilIdle();
    EXPECT_EQ(GetActiveBarControl(), Menu);
    EXPECT_EQ(Menu->ChildMenu(), nullptr);
    EXPECT_EQ(Menu->SelectedControl(), nullptr);
    // Waiting on the delay.
    TdxBarSubItem* Later = AddSubItem(Links, "&Позже");
    AddButton(Later->ItemLinks(), "&Пусто");
    Hover("&Позже");
    EXPECT_NE(TdxBarSubItemControl::PendingControl(), nullptr);
    delete Later;
    EXPECT_EQ(TdxBarSubItemControl::PendingControl(), nullptr);
    Advance(2 * TdxBarSubItemControl::SubMenuDelay);
    Menu->CloseAndFree();
    RunUntilIdle();

    // Pressed on a toolbar.
    TdxBarButton* Cut = AddButton(Bar->ItemLinks(), "Cut");
    TTestToolbar* Toolbar = ShowToolbar();
    TdxBarItemControl* Control = Bar->ItemLinks()->VisibleItems(0)->Control();
    testdrv::MoveTo(Toolbar->Handle(), testdrv::CentreOf(Control->GetRect()));
    testdrv::MouseDown();
    ASSERT_EQ(Toolbar->PressedControl(), Control);
    delete Cut;
    EXPECT_EQ(Toolbar->PressedControl(), nullptr);
    testdrv::MouseUp();
    EXPECT_TRUE(Log.Clicks.empty());
    delete Toolbar;
    RunUntilIdle();
    EXPECT_EQ(gfx::GetGdiObjectCount(), Objects);
}

TEST_F(BarControlTest, ADeferredRefreshLaysTheWindowOutAgain) {
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    const int Height = Menu->Height();
    // A link added behind the window's back shows after the refresh.
    Links->Add(new TdxBarButton(Form));
    win::PostMessage(Menu->Handle(), WM_DXBAR_REFRESH, 0, 0);
    RunUntilIdle();
    EXPECT_EQ(Menu->Height(), Height + Menu->TextHeight());
}

} // namespace
