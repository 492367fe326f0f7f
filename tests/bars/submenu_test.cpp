// The menu window: placement inside the work area (edges, a second monitor,
// beside the control that opens it), scrolling of menus taller than the work
// area, personalized menus and their expansion, submenus on the delay, the
// keyboard across a chain, the right button, the detach strip, rebuilding
// after the links changed, and menus that leave nothing behind.
#include "bars/submenu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "bars/hint.h"
#include "bars/managerlist.h"
#include "bars/system.h"
#include "fixture.h"
#include "support/driver.h"
#include "win/driver.h"

namespace {

using namespace bars;
using testdrv::Advance;
using testdrv::RunUntilIdle;

struct TClickLog {
    std::vector<std::string> Clicks;
    void Click(cls::TObject* Sender) { Clicks.push_back(static_cast<TdxBarItem*>(Sender)->Caption()); }
};

struct TEventCount {
    int Popups = 0;
    int CloseUps = 0;
    void Popup(cls::TObject*) { ++Popups; }
    void CloseUp(cls::TObject*) { ++CloseUps; }
};

int TopLevelWindowCount() {
    int Count = 0;
    for (win::HWND W = win::GetTopWindow(nullptr); W; W = win::GetWindow(W, win::GW_HWNDNEXT)) ++Count;
    return Count;
}

// Joins menus to their opener in a colour of its own.
class TJoiningPainter : public test::TTestPainter {
public:
    static TdxBarItemControlPainterClass Class() {
        static const TJoiningPainter Painter;
        return &Painter;
    }
    gfx::HBRUSH GetToolbarBrush(const TdxBarManager*) const override {
        return gfx::GetSysColorBrush(gfx::COLOR_HIGHLIGHT);
    }
};

// Fills menu entries with the brush the window hands out for them.
class TBackgroundPainter : public test::TTestPainter {
public:
    static TdxBarItemControlPainterClass Class() {
        static const TBackgroundPainter Painter;
        return &Painter;
    }
    void DrawMenuGlyphCell(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                           const TdxBarPaintState&, bool) const override {
        gfx::FillRect(DC, &R, AControl->Parent()->BackgroundBrush());
    }
};

class SubMenuTest : public test::MenuTest {
protected:
    static constexpr int WorkRight = 1024;
    static constexpr int WorkBottom = 738;

    void SetUp() override {
        MenuTest::SetUp();
        Manager->UsePainter(test::TTestPainter::Class());
        Links = Popup->ItemLinks();
        Links->SetUseRecentItems(false);
    }

    // "Item 1" .. "Item N", their clicks logged.
    std::vector<TdxBarButton*> AddButtons(TdxBarItemLinks* ALinks, int ACount,
                                          const std::string& APrefix = "Item ") {
        std::vector<TdxBarButton*> Buttons;
        for (int I = 1; I <= ACount; ++I) {
            Buttons.push_back(AddButton(ALinks, APrefix + std::to_string(I)));
            Buttons.back()->SetOnClick(cls::TNotifyEvent(&Log, &TClickLog::Click));
        }
        return Buttons;
    }
    // Shown as a sub item or a button shows it: beside an owner of that size.
    static TdxBarSubMenuControl* ShowBeside(TdxBarItemLinks* ALinks, win::POINT AAt, int AOwnerWidth,
                                            int AOwnerHeight) {
        auto* Menu = static_cast<TdxBarSubMenuControl*>(ALinks->CreateBarControl());
        Menu->SetOwnerWidth(AOwnerWidth);
        Menu->SetOwnerHeight(AOwnerHeight);
        Menu->SetLeft(AAt.x);
        Menu->SetTop(AAt.y);
        Menu->ShowAnimated();
        RunUntilIdle();
        return Menu;
    }
    // The size the links take as a menu with room enough.
    gfx::SIZE NaturalSize(TdxBarItemLinks* ALinks) {
        TdxBarSubMenuControl* Menu = ShowMenu(ALinks, win::POINT{0, 0});
        const gfx::SIZE Size{Menu->Width(), Menu->Height()};
        Menu->CloseAndFree();
        RunUntilIdle();
        return Size;
    }
    // How many entries make a menu a little shorter than the work area.
    int AlmostFullCount() {
        auto* Probe = new TdxBarPopupMenu(Form);
        AddButton(Probe->ItemLinks(), "Probe");
        const int Row = NaturalSize(Probe->ItemLinks()).cy - 6;
        delete Probe;
        return (WorkBottom - 40) / Row;
    }
    static TdxBarSubMenuControl* ActiveMenu() {
        return dynamic_cast<TdxBarSubMenuControl*>(GetActiveBarControl());
    }
    // How many menus the chain of the active one holds.
    static int OpenMenus() {
        int Count = 0;
        for (TCustomdxBarControl* W = GetActiveBarControl(); IsBarControlAlive(W); W = W->ParentBar())
            ++Count;
        return Count;
    }
    static cls::TRect Bounds(TCustomdxBarControl* AMenu) {
        return cls::TRect{AMenu->Left(), AMenu->Top(), AMenu->Left() + AMenu->Width(),
                          AMenu->Top() + AMenu->Height()};
    }
    // Ctrl held down while the menu gets the key.
    static void CtrlKeyToMenu(int AKey) {
        testdrv::KeyDown(win::VK_CONTROL);
        KeyToMenu(AKey);
        testdrv::KeyUp(win::VK_CONTROL);
    }

    TdxBarItemLinks* Links = nullptr;
    TClickLog Log;
};

// ============================================================================
// Placement
// ============================================================================

TEST_F(SubMenuTest, AMenuAtAPointStaysInsideTheWorkArea) {
    AddButtons(Links, 3);
    auto* Tall = new TdxBarPopupMenu(Form);
    AddButtons(Tall->ItemLinks(), AlmostFullCount());
    const gfx::SIZE S = NaturalSize(Links);
    const gfx::SIZE T = NaturalSize(Tall->ItemLinks());
    ASSERT_GT(T.cy, 500);
    ASSERT_LT(T.cy, WorkBottom);
    struct Case {
        const char* What;
        TdxBarItemLinks* Links;
        win::POINT At;
        win::POINT Expected;
        bool Upward;
    } Cases[] = {
        {"inside", Links, {100, 100}, {100, 100}, false},
        {"at the right edge: moved left", Links, {1020, 100}, {WorkRight - S.cx, 100}, false},
        {"near the bottom: opens upward", Links, {100, 730}, {100, 730 - S.cy}, true},
        {"in the reserved strip: upward, above the strip", Links, {100, 750}, {100, WorkBottom - S.cy}, true},
        {"no room above either: pushed up", Tall->ItemLinks(), {100, 400}, {100, WorkBottom - T.cy}, false},
        {"above and left of the screen", Links, {-300, -200}, {0, 0}, false},
        {"outside every monitor", Links, {5000, 4000}, {WorkRight - S.cx, WorkBottom - S.cy}, true},
    };
    for (const Case& C : Cases) {
        TdxBarSubMenuControl* Menu = ShowMenu(C.Links, C.At);
        EXPECT_EQ(Menu->Left(), C.Expected.x) << C.What;
        EXPECT_EQ(Menu->Top(), C.Expected.y) << C.What;
        EXPECT_EQ(Menu->FlippedV(), C.Upward) << C.What;
        EXPECT_FALSE(Menu->CanScrollDown()) << C.What;
        Menu->CloseAndFree();
        RunUntilIdle();
    }
}

TEST_F(SubMenuTest, AMenuOnASecondMonitorStaysInsideThatMonitorsWorkArea) {
    AddButtons(Links, 3);
    const gfx::SIZE S = NaturalSize(Links);
    win::SetScreen(32, {win::MonitorConfig{{0, 0, 1024, 768}, {0, 0, 1024, 738}},
                        win::MonitorConfig{{1024, 0, 1824, 600}, {1024, 0, 1824, 570}}});
    RunUntilIdle();
    struct Case {
        const char* What;
        win::POINT At;
        win::POINT Expected;
    } Cases[] = {
        {"inside", {1100, 100}, {1100, 100}},
        {"bottom right corner: up and left", {1800, 560}, {1824 - S.cx, 560 - S.cy}},
        {"in its reserved strip", {1030, 590}, {1030, 570 - S.cy}},
        {"right of it, outside every monitor", {1900, 300}, {1824 - S.cx, 300}},
        {"below it, outside every monitor", {1500, 900}, {1500, 570 - S.cy}},
    };
    for (const Case& C : Cases) {
        TdxBarSubMenuControl* Menu = ShowMenu(Links, C.At);
        EXPECT_EQ(Menu->Left(), C.Expected.x) << C.What;
        EXPECT_EQ(Menu->Top(), C.Expected.y) << C.What;
        EXPECT_TRUE(win::IsWindowVisible(Menu->Handle())) << C.What;
        Menu->CloseAndFree();
        RunUntilIdle();
    }
}

TEST_F(SubMenuTest, AMenuBesideItsOwnerFlipsOnlyWhenTheOtherSideHasMoreRoom) {
    AddButtons(Links, 3);
    auto* Tall = new TdxBarPopupMenu(Form);
    AddButtons(Tall->ItemLinks(), AlmostFullCount());
    const gfx::SIZE S = NaturalSize(Links);
    const gfx::SIZE T = NaturalSize(Tall->ItemLinks());
    ASSERT_GT(T.cy, 630);
    struct Case {
        const char* What;
        TdxBarItemLinks* Links;
        win::POINT At;
        int OwnerWidth, OwnerHeight;
        cls::TRect Expected;
        bool FlippedH, FlippedV, Scrolls;
    } Cases[] = {
        {"beside, room on the right",
         Links,
         {500, 100},
         100,
         0,
         {500, 100, 500 + S.cx, 100 + S.cy},
         false,
         false,
         false},
        {"beside, more room on the left: flips",
         Links,
         {1000, 100},
         100,
         0,
         {900 - S.cx, 100, 900, 100 + S.cy},
         true,
         false,
         false},
        {"beside, less room on the left: pushed left",
         Links,
         {1000, 100},
         990,
         0,
         {WorkRight - S.cx, 100, WorkRight, 100 + S.cy},
         false,
         false,
         false},
        {"beside, at the bottom: pushed up",
         Links,
         {100, 730},
         100,
         0,
         {100, WorkBottom - S.cy, 100 + S.cx, WorkBottom},
         false,
         false,
         false},
        {"below, more room above: flips over the owner",
         Links,
         {100, 700},
         0,
         20,
         {100, 680 - S.cy, 100 + S.cx, 680},
         false,
         true,
         false},
        {"below, less room above: cut and scrolls",
         Tall->ItemLinks(),
         {100, 300},
         0,
         20,
         {100, 300, 100 + T.cx, WorkBottom},
         false,
         false,
         true},
        {"below, flipped over the owner and cut at the top",
         Tall->ItemLinks(),
         {100, 650},
         0,
         20,
         {100, 0, 100 + T.cx, 630},
         false,
         true,
         true},
    };
    for (const Case& C : Cases) {
        TdxBarSubMenuControl* Menu = ShowBeside(C.Links, C.At, C.OwnerWidth, C.OwnerHeight);
        const cls::TRect R = Bounds(Menu);
        EXPECT_TRUE(gfx::EqualRect(&R, &C.Expected))
            << C.What << ": " << R.left << "," << R.top << "," << R.right << "," << R.bottom;
        EXPECT_EQ(Menu->FlippedH(), C.FlippedH) << C.What;
        EXPECT_EQ(Menu->FlippedV(), C.FlippedV) << C.What;
        EXPECT_EQ(Menu->CanScrollDown(), C.Scrolls) << C.What;
        Menu->CloseAndFree();
        RunUntilIdle();
    }
}

// ============================================================================
// Submenus
// ============================================================================

class SubMenuChainTest : public SubMenuTest {
protected:
    void SetUp() override {
        SubMenuTest::SetUp();
        for (const char* Caption : {"&Открыть", "&Закрыть"})
            AddButton(Links, Caption)->SetOnClick(cls::TNotifyEvent(&Log, &TClickLog::Click));
        Help = AddSubItem(Links, "&Справка");
        for (const char* Caption : {"&О программе...", "&Version"})
            AddButton(Help->ItemLinks(), Caption)->SetOnClick(cls::TNotifyEvent(&Log, &TClickLog::Click));
        AddButton(Links, "В&ыход", true)->SetOnClick(cls::TNotifyEvent(&Log, &TClickLog::Click));
    }
    TdxBarSubMenuControl* HelpMenu() const {
        return dynamic_cast<TdxBarSubMenuControl*>(Help->ItemLinks()->BarControl());
    }

    TdxBarSubItem* Help = nullptr;
};

TEST_F(SubMenuChainTest, ASubmenuOpensBesideItsEntryAfterTheDelayAndClosesAfterItToo) {
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    Hover("&Справка");
    EXPECT_EQ(HelpMenu(), nullptr);
    Advance(TdxBarSubItemControl::SubMenuDelay);
    TdxBarSubMenuControl* Child = HelpMenu();
    ASSERT_NE(Child, nullptr);
    EXPECT_EQ(GetActiveBarControl(), Child);
    // Opened by the mouse: nothing in it is selected yet.
    EXPECT_EQ(Selected(), "");
    const cls::TRect Item = Menu->GetItemControlScreenRect(ControlOf("&Справка"));
    EXPECT_EQ(Child->Left(), Item.right);
    EXPECT_EQ(Child->Top(), Item.top - Child->GetSubMenuOffset());
    EXPECT_FALSE(Child->FlippedH());
    EXPECT_TRUE(Child->OwnerRectTouchesWindow());

    // Another entry of the parent: the submenu waits for the delay, then goes.
    Hover("&Открыть");
    EXPECT_EQ(HelpMenu(), Child);
    Advance(TdxBarSubItemControl::SubMenuDelay);
    EXPECT_EQ(HelpMenu(), nullptr);
    EXPECT_FALSE(IsBarControlAlive(Child));
    EXPECT_EQ(GetActiveBarControl(), Menu);
    EXPECT_EQ(Selected(), "&Открыть");
}

TEST_F(SubMenuChainTest, ASubmenuThatDoesNotFitOnTheRightOpensOnTheLeft) {
    TdxBarSubMenuControl* Menu = ShowMenu(Links, win::POINT{1020, 100});
    EXPECT_EQ(Menu->Left() + Menu->Width(), WorkRight);
    Hover("&Справка");
    Advance(TdxBarSubItemControl::SubMenuDelay);
    TdxBarSubMenuControl* Child = HelpMenu();
    ASSERT_NE(Child, nullptr);
    const cls::TRect Item = Menu->GetItemControlScreenRect(ControlOf("&Справка"));
    EXPECT_TRUE(Child->FlippedH());
    EXPECT_EQ(Child->Left() + Child->Width(), Item.left);
    EXPECT_TRUE(Child->OwnerRectTouchesWindow());
}

TEST_F(SubMenuChainTest, AJoinedSubmenuDrawsTheSharedEdgeInTheToolbarBrush) {
    Manager->UsePainter(TJoiningPainter::Class());
    ShowMenu(Links);
    Hover("&Справка");
    Advance(TdxBarSubItemControl::SubMenuDelay);
    TdxBarSubMenuControl* Child = HelpMenu();
    ASSERT_NE(Child, nullptr);
    cls::TRect Edge;
    Child->GetOwnerEdgeRect(false, Edge);
    ASSERT_FALSE(gfx::IsRectEmpty(&Edge));
    const gfx::COLORREF Highlight = gfx::GetSysColor(gfx::COLOR_HIGHLIGHT);
    EXPECT_EQ(
        win::ScreenPixel(win::POINT{Child->Left() + Edge.left, Child->Top() + (Edge.top + Edge.bottom) / 2}),
        Highlight);
    // Below the owner the frame is the menu's own.
    EXPECT_NE(win::ScreenPixel(win::POINT{Child->Left(), Child->Top() + Child->Height() - 3}), Highlight);
}

TEST_F(SubMenuChainTest, TheKeyboardMovesAcrossTheChain) {
    ShowMenu(Links);
    struct Step {
        int Key;
        const char* Chars;
        int Menus;
        const char* Selected;
    } Steps[] = {
        {win::VK_DOWN, nullptr, 1, "&Открыть"},
        {win::VK_DOWN, nullptr, 1, "&Закрыть"},
        {win::VK_UP, nullptr, 1, "&Открыть"},
        {win::VK_UP, nullptr, 1, "В&ыход"},
        {win::VK_UP, nullptr, 1, "&Справка"},
        // Right opens the submenu with its first entry selected.
        {win::VK_RIGHT, nullptr, 2, "&О программе..."},
        {win::VK_DOWN, nullptr, 2, "&Version"},
        {win::VK_DOWN, nullptr, 2, "&О программе..."},
        {win::VK_END, nullptr, 2, "&Version"},
        {win::VK_HOME, nullptr, 2, "&О программе..."},
        // Left and Escape step back out to the entry that opened it.
        {win::VK_LEFT, nullptr, 1, "&Справка"},
        {win::VK_RETURN, nullptr, 2, "&О программе..."},
        {win::VK_ESCAPE, nullptr, 1, "&Справка"},
        {win::VK_END, nullptr, 1, "В&ыход"},
        {win::VK_HOME, nullptr, 1, "&Открыть"},
        // A Cyrillic accelerator of a sub item opens it, its first entry selected.
        {'C', "с", 2, "&О программе..."},
        // A Latin one in the submenu runs its entry and closes the chain.
        {'V', "v", 0, ""},
    };
    for (const Step& S : Steps) {
        KeyToMenu(S.Key, S.Chars);
        const std::string What = std::to_string(S.Key) + (S.Chars ? S.Chars : "");
        EXPECT_EQ(OpenMenus(), S.Menus) << What;
        if (S.Menus) {
            EXPECT_EQ(Selected(), S.Selected) << What;
        }
    }
    EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"&Version"}));
    EXPECT_EQ(HelpMenu(), nullptr);
    EXPECT_EQ(Links->BarControl(), nullptr);

    // Enter runs the selected command; Escape in the root menu closes it.
    ShowMenu(Links);
    KeyToMenu(win::VK_DOWN);
    KeyToMenu(win::VK_RETURN);
    EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"&Version", "&Открыть"}));
    EXPECT_EQ(OpenMenus(), 0);
    ShowMenu(Links);
    KeyToMenu(win::VK_ESCAPE);
    EXPECT_EQ(OpenMenus(), 0);
    EXPECT_EQ(Links->BarControl(), nullptr);
}

TEST_F(SubMenuChainTest, TheRightButtonActsAsTheLeftInMenusOpenedAtAPoint) {
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    testdrv::Click(Menu->Handle(), testdrv::CentreOf(FindLink("&Закрыть")->ItemRect()),
                   win::MouseButton::Right);
    EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"&Закрыть"}));
    EXPECT_EQ(Links->BarControl(), nullptr);

    // In the submenu of such a menu as well.
    ShowMenu(Links);
    Hover("&Справка");
    Advance(TdxBarSubItemControl::SubMenuDelay);
    ASSERT_NE(HelpMenu(), nullptr);
    testdrv::Click(HelpMenu()->Handle(), testdrv::CentreOf(FindLink("&Version")->ItemRect()),
                   win::MouseButton::Right);
    EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"&Закрыть", "&Version"}));

    // Not in a menu that drops from a control.
    Menu = ShowBeside(Links, win::POINT{100, 100}, 0, 20);
    testdrv::Click(Menu->Handle(), testdrv::CentreOf(FindLink("&Закрыть")->ItemRect()),
                   win::MouseButton::Right);
    EXPECT_EQ(Log.Clicks.size(), 2u);
    EXPECT_TRUE(IsBarControlAlive(Menu));
    Menu->CloseAndFree();
}

// ============================================================================
// Scrolling
// ============================================================================

TEST_F(SubMenuTest, AMenuFarTallerThanTheScreenScrollsByTheButtonsAndTheKeys) {
    AddButtons(Links, 300);
    TdxBarSubMenuControl* Menu = ShowMenu(Links, win::POINT{100, 50});
    EXPECT_EQ(Menu->Top(), 0);
    EXPECT_EQ(Menu->Height(), WorkBottom);
    EXPECT_EQ(Menu->TopIndex(), 0);
    EXPECT_FALSE(Menu->HasItemsAbove());
    ASSERT_TRUE(Menu->CanScrollDown());
    const int Shown = Menu->GetShownLinkCount();
    // The last row is the scroll-down button, not an entry.
    EXPECT_FALSE(Links->VisibleItems(Shown - 1)->Control()->IsShownInMenu());
    EXPECT_TRUE(Links->VisibleItems(Shown - 2)->Control()->IsShownInMenu());
    EXPECT_TRUE(Links->VisibleItems(Shown - 2)->Control()->IsLastInMenu());
    EXPECT_EQ(Menu->GetItemControlAtPos(testdrv::CentreOf(Menu->GetScrollDownRect())), nullptr);

    // Hovering the scroll-down button scrolls a link per tick.
    testdrv::MoveTo(Menu->Handle(), testdrv::CentreOf(Menu->GetScrollDownRect()));
    EXPECT_EQ(Selected(), "");
    Advance(TdxBarSubMenuControl::ScrollInterval);
    EXPECT_EQ(Menu->TopIndex(), 1);
    EXPECT_TRUE(Menu->HasItemsAbove());
    Advance(4 * TdxBarSubMenuControl::ScrollInterval);
    EXPECT_EQ(Menu->TopIndex(), 5);
    // Under the scroll-up button the first row is not drawn.
    EXPECT_FALSE(Links->VisibleItems(5)->Control()->IsShownInMenu());
    EXPECT_TRUE(Links->VisibleItems(6)->Control()->IsShownInMenu());

    // Off the button it stops; the entry under the mouse is selected.
    Hover("Item 20");
    Advance(3 * TdxBarSubMenuControl::ScrollInterval);
    EXPECT_EQ(Menu->TopIndex(), 5);
    EXPECT_EQ(Selected(), "Item 20");

    // Up to the top, where the scroll-up button gives way to the first entry.
    testdrv::MoveTo(Menu->Handle(), testdrv::CentreOf(Menu->GetScrollUpRect()));
    Advance(10 * TdxBarSubMenuControl::ScrollInterval);
    EXPECT_EQ(Menu->TopIndex(), 0);
    EXPECT_FALSE(Menu->HasItemsAbove());
    EXPECT_EQ(Selected(), "Item 1");

    // The keys scroll whatever they select into view.
    struct Step {
        int Key;
        const char* Selected;
    } Steps[] = {{win::VK_END, "Item 300"},
                 {win::VK_UP, "Item 299"},
                 {win::VK_HOME, "Item 1"},
                 {win::VK_UP, "Item 300"},
                 {win::VK_DOWN, "Item 1"}};
    for (const Step& S : Steps) {
        KeyToMenu(S.Key);
        ASSERT_EQ(Selected(), S.Selected);
        EXPECT_TRUE(Menu->IsLinkShown(FindLink(S.Selected))) << S.Selected;
    }
    EXPECT_EQ(Menu->TopIndex(), 0);
    KeyToMenu(win::VK_END);
    EXPECT_FALSE(Menu->CanScrollDown());
    EXPECT_TRUE(Menu->HasItemsAbove());
    EXPECT_TRUE(Links->VisibleItems(299)->Control()->IsLastInMenu());
    KeyToMenu(win::VK_RETURN);
    EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"Item 300"}));
}

TEST_F(SubMenuTest, LinksThatGoWhileShownPlaceAndScrollTheMenuAgain) {
    AddButtons(Links, 300);
    TdxBarSubMenuControl* Menu = ShowMenu(Links, win::POINT{100, 50});
    KeyToMenu(win::VK_END);
    ASSERT_TRUE(Menu->HasItemsAbove());
    for (int I = 20; I < 300; ++I) Links->Items(I)->SetVisible(false);
    RunUntilIdle();
    // What is left fits: the menu is back at its place, nothing scrolled away.
    EXPECT_EQ(Menu->TopIndex(), 0);
    EXPECT_FALSE(Menu->CanScrollDown());
    EXPECT_EQ(Menu->Top(), 50);
    EXPECT_EQ(Menu->GetShownLinkCount(), 20);
    EXPECT_TRUE(Menu->IsLinkShown(Links->VisibleItems(19)));
}

// ============================================================================
// Personalized menus
// ============================================================================

class PersonalizedMenuTest : public SubMenuTest {
protected:
    void SetUp() override {
        SubMenuTest::SetUp();
        Links->SetUseRecentItems(true);
        Buttons = AddButtons(Links, 6);
        // Items 2 and 6 are rarely used.
        Links->Items(1)->SetMostRecentlyUsed(false);
        Links->Items(5)->SetMostRecentlyUsed(false);
    }
    // Two links hidden.
    TdxBarSubMenuControl* Show() {
        TdxBarSubMenuControl* Menu = ShowMenu(Links);
        EXPECT_TRUE(Menu->HasHiddenLinks());
        EXPECT_EQ(Links->VisibleItemCount(), Links->CanVisibleItemCount() - 2);
        return Menu;
    }

    std::vector<TdxBarButton*> Buttons;
};

TEST_F(PersonalizedMenuTest, AnUntouchedMenuExpandsAfterItsDelay) {
    TEventCount Events;
    auto* Menu = static_cast<TdxBarSubMenuControl*>(Links->CreateBarControl());
    Menu->SetOnPopup(cls::TNotifyEvent(&Events, &TEventCount::Popup));
    Menu->SetOnCloseUp(cls::TNotifyEvent(&Events, &TEventCount::CloseUp));
    Menu->SetLeft(100);
    Menu->SetTop(100);
    Menu->ShowAnimated();
    RunUntilIdle();
    ASSERT_TRUE(Menu->HasHiddenLinks());
    const cls::TRect Button = Menu->GetExpandButtonRect();
    EXPECT_FALSE(gfx::IsRectEmpty(&Button));
    const int Collapsed = Menu->Height();
    Advance(TdxBarSubMenuControl::FullMenuDelay / 2);
    EXPECT_TRUE(Menu->HasHiddenLinks());
    Advance(TdxBarSubMenuControl::FullMenuDelay);
    EXPECT_FALSE(Menu->HasHiddenLinks());
    EXPECT_TRUE(GetMenusExpanded());
    EXPECT_EQ(Links->VisibleItemCount(), 6);
    EXPECT_GT(Menu->Height(), Collapsed);
    EXPECT_EQ(Menu->Left(), 100);
    EXPECT_EQ(Menu->Top(), 100);
    EXPECT_TRUE(win::IsWindowVisible(Menu->Handle()));
    EXPECT_EQ(GetActiveBarControl(), Menu);
    // The rarely used links are marked, with the boundaries around them.
    struct Mark {
        bool RarelyUsed, Boundary;
    } Marks[] = {{false, false}, {true, true}, {false, true}, {false, false}, {false, false}, {true, true}};
    for (int I = 0; I < 6; ++I) {
        const TdxBarItemControl* Control = Links->Items(I)->Control();
        ASSERT_NE(Control, nullptr);
        EXPECT_EQ(Control->IsRarelyUsed(), Marks[I].RarelyUsed) << I;
        EXPECT_EQ(Control->IsRarelyUsedBoundary(), Marks[I].Boundary) << I;
    }
    // Expanding is no new popup and no close-up.
    EXPECT_EQ(Events.Popups, 1);
    EXPECT_EQ(Events.CloseUps, 0);
    Menu->CloseAndFree();
    EXPECT_EQ(Events.CloseUps, 1);
}

TEST_F(PersonalizedMenuTest, TheExpandButtonTheKeysAndTheLastEntryExpandTheMenu) {
    struct Case {
        const char* What;
        std::function<void(TdxBarSubMenuControl*)> Act;
        const char* Selected;
    } Cases[] = {
        {"hovering the button",
         [](TdxBarSubMenuControl* M) {
             testdrv::MoveTo(M->Handle(), testdrv::CentreOf(M->GetExpandButtonRect()));
             Advance(TdxBarSubMenuControl::FullMenuHoverDelay / 2);
             EXPECT_TRUE(M->HasHiddenLinks());
             EXPECT_EQ(M->MarkState(), 1);
             Advance(TdxBarSubMenuControl::FullMenuHoverDelay);
         },
         ""},
        {"clicking the button",
         [](TdxBarSubMenuControl* M) {
             testdrv::Click(M->Handle(), testdrv::CentreOf(M->GetExpandButtonRect()));
         },
         ""},
        {"Ctrl+Down", [](TdxBarSubMenuControl*) { CtrlKeyToMenu(win::VK_DOWN); }, ""},
        {"Down past the last entry",
         [](TdxBarSubMenuControl*) {
             KeyToMenu(win::VK_END);
             EXPECT_EQ(Selected(), "Item 5");
             KeyToMenu(win::VK_DOWN);
         },
         "Item 6"},
    };
    for (const Case& C : Cases) {
        TdxBarSubMenuControl* Menu = Show();
        C.Act(Menu);
        EXPECT_FALSE(Menu->HasHiddenLinks()) << C.What;
        EXPECT_EQ(Links->VisibleItemCount(), 6) << C.What;
        EXPECT_EQ(Selected(), C.Selected) << C.What;
        EXPECT_EQ(Menu->MarkState(), 0) << C.What;
        Menu->CloseAndFree();
        RunUntilIdle();
    }
}

TEST_F(PersonalizedMenuTest, WithoutDelayedFullMenusOnlyTheUserExpands) {
    Manager->SetShowFullMenusAfterDelay(false);
    TdxBarSubMenuControl* Menu = Show();
    testdrv::MoveTo(Menu->Handle(), testdrv::CentreOf(Menu->GetExpandButtonRect()));
    EXPECT_EQ(Menu->MarkState(), 1);
    Advance(2 * TdxBarSubMenuControl::FullMenuDelay);
    EXPECT_TRUE(Menu->HasHiddenLinks());
    testdrv::Click(Menu->Handle(), testdrv::CentreOf(Menu->GetExpandButtonRect()));
    EXPECT_FALSE(Menu->HasHiddenLinks());
}

TEST_F(PersonalizedMenuTest, RarelyUsedEntriesShowOnALighterBackgroundAlsoOnAPaletteDisplay) {
    Manager->UsePainter(TBackgroundPainter::Class());
    const gfx::COLORREF Face = gfx::GetSysColor(gfx::COLOR_BTNFACE);
    const gfx::COLORREF Lighter =
        gfx::RGB(std::min(gfx::GetRValue(Face) + 20, 255), std::min(gfx::GetGValue(Face) + 20, 255),
                 std::min(gfx::GetBValue(Face) + 20, 255));
    const gfx::DWORD Objects = test::GdiObjectCount();
    // The palette display first, so that the library ends up reading 32 bits again.
    for (int Bits : {8, 32}) {
        win::SetScreen(Bits, {win::MonitorConfig{{0, 0, 1024, 768}, {0, 0, 1024, 738}}});
        UpdateScreenBitsPerPixel();
        TdxBarSubMenuControl* Menu = Show();
        CtrlKeyToMenu(win::VK_DOWN);
        const cls::TRect Rare = Menu->GetItemControlScreenRect(Links->Items(1)->Control());
        const cls::TRect Often = Menu->GetItemControlScreenRect(Links->Items(0)->Control());
        EXPECT_EQ(win::ScreenPixel(win::POINT{Rare.left + 2, Rare.top + 2}), Lighter) << Bits;
        EXPECT_EQ(win::ScreenPixel(win::POINT{Often.left + 2, Often.top + 2}), Face) << Bits;
        Menu->CloseAndFree();
        RunUntilIdle();
        EXPECT_EQ(test::GdiObjectCount(), Objects) << Bits;
    }
}

TEST_F(PersonalizedMenuTest, OnceExpandedEveryMenuOfTheSameMenuModeShowsAllItsLinks) {
    TdxBarSubItem* More = AddSubItem(Links, "&More");
    AddButtons(More->ItemLinks(), 3, "Sub ");
    More->ItemLinks()->Items(1)->SetMostRecentlyUsed(false);

    // Not expanded: the submenu hides its rarely used link too.
    TdxBarSubMenuControl* Menu = Show();
    KeyToMenu('M', "m");
    TdxBarSubMenuControl* Child = ActiveMenu();
    ASSERT_NE(Child, Menu);
    EXPECT_TRUE(Child->HasHiddenLinks());
    KeyToMenu(win::VK_ESCAPE);
    KeyToMenu(win::VK_ESCAPE);
    ASSERT_EQ(GetActiveBarControl(), nullptr);

    Menu = Show();
    CtrlKeyToMenu(win::VK_DOWN);
    ASSERT_FALSE(Menu->HasHiddenLinks());
    KeyToMenu('M', "m");
    Child = ActiveMenu();
    ASSERT_NE(Child, Menu);
    EXPECT_FALSE(Child->HasHiddenLinks());
    EXPECT_EQ(More->ItemLinks()->VisibleItemCount(), 3);
    EXPECT_TRUE(More->ItemLinks()->Items(1)->Control()->IsRarelyUsed());
    EXPECT_EQ(Selected(), "Sub 1");

    // A new menu mode starts collapsed again.
    KeyToMenu(win::VK_ESCAPE);
    KeyToMenu(win::VK_ESCAPE);
    Menu = Show();
    EXPECT_FALSE(GetMenusExpanded());
    Menu->CloseAndFree();
}

// ============================================================================
// Menus without links, the detach strip, what is left behind
// ============================================================================

TEST_F(SubMenuTest, AMenuWithoutVisibleLinksIsOneEmptyRowAndClosesNormally) {
    auto* Hidden = new TdxBarButton(Form);
    Hidden->SetVisible(ivNever);
    for (bool WithHiddenLink : {false, true}) {
        if (WithHiddenLink) Links->Add(Hidden);
        TEventCount Events;
        auto* Menu = static_cast<TdxBarSubMenuControl*>(Links->CreateBarControl());
        Menu->SetOnPopup(cls::TNotifyEvent(&Events, &TEventCount::Popup));
        Menu->SetOnCloseUp(cls::TNotifyEvent(&Events, &TEventCount::CloseUp));
        Menu->SetLeft(200);
        Menu->SetTop(200);
        Menu->ShowAnimated();
        RunUntilIdle();
        const win::HWND Wnd = Menu->Handle();
        EXPECT_TRUE(win::IsWindowVisible(Wnd));
        EXPECT_EQ(Menu->Width(), 100);
        EXPECT_EQ(Menu->Height(), Menu->TextHeight() + 6);
        EXPECT_EQ(Menu->GetShownLinkCount(), 0);
        EXPECT_FALSE(Menu->CanScrollDown());
        for (int Key : {win::VK_DOWN, win::VK_UP, win::VK_END, win::VK_RETURN}) KeyToMenu(Key);
        KeyToMenu('A', "a");
        EXPECT_TRUE(IsBarControlAlive(Menu));
        EXPECT_EQ(Selected(), "");
        KeyToMenu(win::VK_ESCAPE);
        EXPECT_FALSE(IsBarControlAlive(Menu));
        EXPECT_FALSE(win::IsWindow(Wnd));
        EXPECT_EQ(GetActiveBarControl(), nullptr);
        EXPECT_EQ(Events.Popups, 1);
        EXPECT_EQ(Events.CloseUps, 1);
    }
}

TEST_F(SubMenuTest, TheDetachStripIsHotUnderTheMouseAndItsDragEnds) {
    TdxBarSubItem* Panel = AddSubItem(Links, "&Панель");
    Panel->SetDetachable(true);
    Panel->SetOnDetaching(cls::TNotifyEvent(&Log, &TClickLog::Click));
    AddButtons(Panel->ItemLinks(), 2);
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    KeyToMenu(win::VK_DOWN);
    KeyToMenu(win::VK_RETURN);
    TdxBarSubMenuControl* Child = ActiveMenu();
    ASSERT_NE(Child, Menu);
    ASSERT_TRUE(Child->Detachable());
    const int StripHeight = Child->GetDetachBarHeight();
    ASSERT_GT(StripHeight, 2);
    const win::POINT OnStrip{Child->Width() / 2, -(StripHeight + 1) / 2};
    const win::POINT OnEntry = testdrv::CentreOf(Panel->ItemLinks()->Items(0)->ItemRect());
    auto HoverStrip = [&] {
        // No press makes a double click with the one before.
        Advance(win::GetDoubleClickTime() + 10);
        testdrv::MoveTo(Child->Handle(), OnEntry);
        testdrv::MoveTo(Child->Handle(), OnStrip);
        EXPECT_TRUE(Child->DetachBarHot());
    };
    HoverStrip();
    testdrv::MoveTo(Child->Handle(), OnEntry);
    EXPECT_FALSE(Child->DetachBarHot());

    // Without a detaching bar a press only tells the sub item.
    HoverStrip();
    testdrv::MouseDown();
    testdrv::MouseUp();
    EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"&Панель"}));
    EXPECT_EQ(win::GetCapture(), nullptr);

    // With one the drag runs its own loop until Escape or a release near
    // the strip; the menu stays.
    Panel->SetDetachingBar(0);
    const std::vector<std::pair<const char*, testdrv::Step>> Ends{
        {"Escape", [] { testdrv::PressKey(win::VK_ESCAPE); }},
        {"release", [] { testdrv::MouseUp(); }},
    };
    for (const auto& [What, End] : Ends) {
        Log.Clicks.clear();
        HoverStrip();
        bool DetachingMeanwhile = false;
        win::HWND CaptureMeanwhile = nullptr;
        testdrv::ScriptIdle({[&, End = End] {
            DetachingMeanwhile = Manager->Detaching();
            CaptureMeanwhile = win::GetCapture();
            End();
        }});
        testdrv::MouseDown();
        EXPECT_TRUE(testdrv::IdleScriptDone()) << What;
        // Released over the strip, where it does nothing more.
        testdrv::MoveTo(Child->Handle(), OnStrip);
        if (win::GetAsyncKeyState(win::VK_LBUTTON) < 0) testdrv::MouseUp();
        EXPECT_TRUE(DetachingMeanwhile) << What;
        EXPECT_EQ(CaptureMeanwhile, Menu->Handle()) << What;
        EXPECT_FALSE(Manager->Detaching()) << What;
        EXPECT_EQ(win::GetCapture(), nullptr) << What;
        EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"&Панель"})) << What;
        EXPECT_TRUE(IsBarControlAlive(Child)) << What;
        EXPECT_EQ(GetActiveBarControl(), Child) << What;
    }
}

// The strip lies in the frame but answers as client area: the cursor resting
// on it keeps it hot while other windows change (its drag hint shows, the
// form comes up), and a press there still starts the tear-off.
TEST_F(SubMenuTest, TheDetachStripStaysHotWhileTheCursorRestsOnIt) {
    TdxBarSubItem* Panel = AddSubItem(Links, "&Панель");
    Panel->SetDetachable(true);
    Panel->SetOnDetaching(cls::TNotifyEvent(&Log, &TClickLog::Click));
    AddButtons(Panel->ItemLinks(), 2);
    ShowMenu(Links);
    KeyToMenu(win::VK_DOWN);
    KeyToMenu(win::VK_RETURN);
    TdxBarSubMenuControl* Child = ActiveMenu();
    testdrv::MoveTo(Child->Handle(), testdrv::CentreOf(Panel->ItemLinks()->Items(0)->ItemRect()));
    testdrv::MoveTo(Child->Handle(), win::POINT{Child->Width() / 2, -(Child->GetDetachBarHeight() + 1) / 2});
    ASSERT_TRUE(Child->DetachBarHot());
    Advance(1000);
    TdxBarHintWindow* Hint = GetBarHintWindow();
    ASSERT_NE(Hint, nullptr);
    EXPECT_TRUE(Hint->IsShowing());
    EXPECT_EQ(Hint->Text(), "Drag to make this menu float");
    EXPECT_TRUE(Child->DetachBarHot());
    win::SetWindowPos(Form->Handle(), win::HWND_TOP, 0, 0, 0, 0,
                      win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOACTIVATE);
    RunUntilIdle();
    EXPECT_TRUE(Child->DetachBarHot());
    EXPECT_TRUE(Hint->IsShowing());
    testdrv::MouseDown();
    testdrv::MouseUp();
    EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"&Панель"}));
}

TEST_F(SubMenuTest, MenusLeaveNoWindowAndNoDrawingObjectBehind) {
    Links->SetUseRecentItems(true);
    AddButtons(Links, 4);
    Links->Items(2)->SetMostRecentlyUsed(false);
    TdxBarSubItem* More = AddSubItem(Links, "&More");
    AddButtons(More->ItemLinks(), 200, "Sub ");
    auto Cycle = [&] {
        TdxBarSubMenuControl* Menu = ShowMenu(Links);
        Hover("Item 1");
        CtrlKeyToMenu(win::VK_DOWN);
        ASSERT_FALSE(Menu->HasHiddenLinks());
        Hover("&More");
        Advance(TdxBarSubItemControl::SubMenuDelay);
        TdxBarSubMenuControl* Child = ActiveMenu();
        ASSERT_NE(Child, Menu);
        testdrv::MoveTo(Child->Handle(), testdrv::CentreOf(Child->GetScrollDownRect()));
        Advance(5 * TdxBarSubMenuControl::ScrollInterval);
        Hover("Sub 10");
        KeyToMenu(win::VK_RETURN);
        ASSERT_EQ(GetActiveBarControl(), nullptr);
    };
    Cycle();
    RunUntilIdle();
    const gfx::DWORD Objects = test::GdiObjectCount();
    const int Windows = TopLevelWindowCount();
    Cycle();
    RunUntilIdle();
    EXPECT_EQ(Log.Clicks, (std::vector<std::string>{"Sub 10", "Sub 10"}));
    EXPECT_EQ(test::GdiObjectCount(), Objects);
    EXPECT_EQ(TopLevelWindowCount(), Windows);
    EXPECT_EQ(Links->BarControl(), nullptr);
    EXPECT_EQ(More->ItemLinks()->BarControl(), nullptr);
}

} // namespace
