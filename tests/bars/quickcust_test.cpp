// Quick customization: the drop-down of a toolbar's mark with the links that
// did not fit, the "Add or Remove Buttons" menu that shows and hides the
// toolbar's links, and the ways the drop-down closes.
#include "bars/managerlist.h"
#include "bars/quickcust.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bars/strings.h"
#include "bars/system.h"
#include "fixture.h"
#include "lookandfeel/text.h"
#include "support/driver.h"
#include "win/driver.h"

namespace bars::test {
namespace {

using testdrv::Advance;
using testdrv::RunUntilIdle;

struct TClickLog {
    std::vector<std::string> Clicks;
    void Click(cls::TObject* Sender) { Clicks.push_back(static_cast<TdxBarItem*>(Sender)->Caption()); }
};

// A square glyph of one colour with a transparent (fuchsia) ring.
std::unique_ptr<cls::TBitmap> SquareGlyph(cls::TColor AColor) {
    auto Glyph = std::make_unique<cls::TBitmap>(16, 16);
    for (int Y = 0; Y < 16; ++Y)
        for (int X = 0; X < 16; ++X)
            Glyph->Canvas()->SetPixels(X, Y, X > 1 && Y > 1 && X < 14 && Y < 14 ? AColor : cls::clFuchsia);
    return Glyph;
}

bool IsEmpty(const cls::TRect& R) {
    return R.right <= R.left || R.bottom <= R.top;
}

cls::TRect WindowRect(TCustomdxBarControl* AWindow) {
    cls::TRect R{};
    win::GetWindowRect(AWindow->Handle(), &R);
    return R;
}

win::POINT Centre(const cls::TRect& R) {
    return win::POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
}

class QuickCustTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        Form->SetBounds(100, 100, 500, 300);
        Form->Show();
        static const cls::TColor Colors[] = {cls::clRed,    cls::clGreen, cls::clBlue, cls::clOlive,
                                             cls::clPurple, cls::clTeal,  cls::clNavy, cls::clMaroon};
        for (int I = 0; I < 8; ++I) {
            auto* Button = new TdxBarButton(Form);
            Button->SetCaption("Command " + std::to_string(I + 1));
            Button->SetGlyph(SquareGlyph(Colors[I]).get());
            Button->SetOnClick(cls::TNotifyEvent(&Log, &TClickLog::Click));
            Bar->ItemLinks()->Add(Button)->SetBeginGroup(I == 4);
            Buttons.push_back(Button);
        }
        Bar->SetCaption("Tools");
        Bar->SetDockingStyle(dsTop);
        Bar->SetVisible(true);
        RunUntilIdle();
        Toolbar = Bar->Control();
        ASSERT_NE(Toolbar, nullptr);
    }

    // The toolbar's visible links without a place in it.
    std::vector<TdxBarItemLink*> CutOffLinks() const {
        std::vector<TdxBarItemLink*> Result;
        for (int I = 0; I < Bar->ItemLinks()->Count(); ++I) {
            TdxBarItemLink* Link = Bar->ItemLinks()->Items(I);
            if (Link->Visible() && IsEmpty(Link->ItemRect())) Result.push_back(Link);
        }
        return Result;
    }
    // Narrows the form until exactly ACount links are cut off.
    void CutOff(std::size_t ACount) {
        for (int Width = Form->Width(); Width > 100 && CutOffLinks().size() < ACount; --Width) {
            Form->SetBounds(Form->Left(), Form->Top(), Width, Form->Height());
            RunUntilIdle();
        }
        ASSERT_EQ(CutOffLinks().size(), ACount);
    }
    // The mark's centre on the screen.
    win::POINT MarkPoint() const { return Centre(Toolbar->GetMarkScreenRect()); }
    void ClickMark(testdrv::MouseButton AButton = testdrv::MouseButton::Left) {
        testdrv::ClickScreen(MarkPoint(), AButton);
    }
    // Opens the drop-down by the mark.
    TdxBarQuickControl* Open() {
        ClickMark();
        TdxBarQuickControl* Quick = TdxBarQuickControl::OpenQuickControl();
        EXPECT_NE(Quick, nullptr);
        return Quick;
    }
    static TdxBarItemLink* LinkByCaption(TdxBarItemLinks* ALinks, const std::string& ACaption) {
        for (int I = 0; ALinks && I < ALinks->Count(); ++I)
            if (ALinks->Items(I)->Control() && ALinks->Items(I)->Control()->GetCaption() == ACaption)
                return ALinks->Items(I);
        return nullptr;
    }
    static void ClickLink(TdxBarItemLink* ALink) {
        ASSERT_NE(ALink, nullptr);
        testdrv::Click(ALink->GetBarControl()->Handle(), testdrv::CentreOf(ALink->ItemRect()));
    }
    static std::string AddRemoveCaption() { return lf::cxGetResourceString(dxSBAR_ADDREMOVEBUTTONS); }
    // Opens the "Add or Remove Buttons" menu of the open drop-down.
    TdxBarSubMenuControl* OpenAddRemoveMenu(TdxBarQuickControl* AQuick) {
        if (!AQuick) return nullptr;
        ClickLink(LinkByCaption(AQuick->ItemLinks(), AddRemoveCaption()));
        TdxBarQuickSubItem* Sub = AQuick->SubItem();
        auto* Menu = Sub ? dynamic_cast<TdxBarSubMenuControl*>(Sub->ItemLinks()->BarControl()) : nullptr;
        EXPECT_NE(Menu, nullptr);
        return Menu;
    }

    TClickLog Log;
    std::vector<TdxBarButton*> Buttons;
    TdxBarControl* Toolbar = nullptr;
};

// --- The drop-down ---

TEST_F(QuickCustTest, TheKindsAreRegisteredHiddenFromUsers) {
    struct TCase {
        TdxBarItemClass Item;
        TdxBarItemControlClass Control;
    };
    const TCase Cases[] = {
        {TdxBarQuickCustExtButton::ClassInfo(), TdxBarQuickCustExtButtonControl::ClassInfo()},
        {TdxBarQuickCustItem::ClassInfo(), TdxBarQuickCustItemControl::ClassInfo()},
        {TdxBarQuickSubItem::ClassInfo(), TdxBarSubItemControl::ClassInfo()},
    };
    for (const TCase& C : Cases) {
        EXPECT_EQ(GetItemControlClass(C.Item), C.Control) << C.Item->ClassName();
        for (int I = 0; I < GetVisibleItemClassCount(); ++I)
            EXPECT_NE(GetVisibleItemClass(I), C.Item) << C.Item->ClassName();
    }
}

TEST_F(QuickCustTest, TheMarkOpensTheLinksThatWereCutOffEachOfThemClickable) {
    CutOff(3);
    const std::vector<TdxBarItemLink*> First = CutOffLinks();
    for (TdxBarItemLink* Used : First) {
        const std::vector<TdxBarItemLink*> Cut = CutOffLinks();
        TdxBarQuickControl* Quick = Open();
        ASSERT_NE(Quick, nullptr);
        EXPECT_EQ(Toolbar->MarkState(), 2);
        EXPECT_EQ(Toolbar->QuickControl(), Quick);
        ASSERT_TRUE(win::IsWindowVisible(Quick->Handle()));
        // Exactly the cut-off links, in their order, then the sub item on a
        // line of its own.
        TdxBarItemLinks* Links = Quick->ItemLinks();
        ASSERT_EQ(Links->VisibleItemCount(), 4);
        TdxBarItemLink* Row = nullptr;
        for (int I = 0; I < 3; ++I) {
            EXPECT_EQ(Links->VisibleItems(I)->Item(), Cut[I]->Item()) << I;
            EXPECT_FALSE(IsEmpty(Links->VisibleItems(I)->ItemRect())) << I;
            if (Links->VisibleItems(I)->Item() == Used->Item()) Row = Links->VisibleItems(I);
        }
        TdxBarItemLink* Sub = Links->VisibleItems(3);
        EXPECT_EQ(Sub->Item(), Quick->SubItem());
        EXPECT_TRUE(Sub->BeginGroup());
        EXPECT_GE(Sub->ItemRect().top, Links->VisibleItems(0)->ItemRect().bottom);
        // The drop-down lies under the mark, its right edge at the mark's.
        const cls::TRect Mark = Toolbar->GetMarkScreenRect();
        const cls::TRect R = WindowRect(Quick);
        EXPECT_EQ(R.top, Mark.bottom);
        EXPECT_EQ(R.right, Mark.right);

        ClickLink(Row);
        EXPECT_EQ(Log.Clicks.back(), Used->Item()->Caption());
        // The click closed the drop-down.
        EXPECT_EQ(TdxBarQuickControl::OpenQuickControl(), nullptr);
        EXPECT_EQ(Toolbar->QuickControl(), nullptr);
        EXPECT_EQ(Toolbar->MarkState(), 0);
        EXPECT_EQ(GetActiveBarControl(), nullptr);
        // The command used leads the toolbar's recently used links and shows
        // there at once; the least recently used one makes room for it.
        RunUntilIdle();
        EXPECT_EQ(Used->GetRecentIndex(), 0);
        EXPECT_FALSE(IsEmpty(Used->ItemRect()));
        EXPECT_EQ(CutOffLinks().size(), 3u);
    }
    EXPECT_EQ(Log.Clicks.size(), First.size());
    // So does a command used any other way.
    TdxBarItemLink* Hidden = CutOffLinks().front();
    ASSERT_EQ(Hidden->GetVisibleIndex(), -1);
    Hidden->ApplyRecentUse(true);
    RunUntilIdle();
    EXPECT_FALSE(IsEmpty(Hidden->ItemRect()));
}

TEST_F(QuickCustTest, AToolbarWhoseLinksAllFitShowsOnlyTheSubItem) {
    Manager->SetStyle(bmsOffice11);
    RunUntilIdle();
    ASSERT_TRUE(CutOffLinks().empty());
    ASSERT_TRUE(Toolbar->HasMark());
    TdxBarQuickControl* Quick = Open();
    ASSERT_NE(Quick, nullptr);
    ASSERT_EQ(Quick->ItemLinks()->VisibleItemCount(), 1);
    EXPECT_EQ(Quick->ItemLinks()->VisibleItems(0)->Item(), Quick->SubItem());
    EXPECT_TRUE(Quick->SubItem()->Enabled());
}

TEST_F(QuickCustTest, TheDropDownKeepsToTheWorkAreaAndFlipsAtItsEdges) {
    Manager->SetStyle(bmsOffice11);
    RunUntilIdle();
    TdxBarQuickControl* Quick = Open();
    ASSERT_NE(Quick, nullptr);
    const cls::TRect Start = WindowRect(Quick);
    const int W = Start.right - Start.left;
    const int H = Start.bottom - Start.top;
    win::RECT Work;
    GetWorkAreaFromPoint(win::POINT{0, 0}, Work);
    struct TCase {
        const char* Name;
        cls::TRect Mark;
        win::POINT Expected;
    };
    const TCase Cases[] = {
        {"below, right-aligned", {300, 200, 311, 222}, {311 - W, 222}},
        {"at the left edge", {Work.left + 2, 200, Work.left + 13, 222}, {Work.left, 222}},
        {"at the bottom: above", {300, Work.bottom - 10, 311, Work.bottom}, {311 - W, Work.bottom - 10 - H}},
    };
    for (const TCase& C : Cases) {
        Quick->ShowNearRect(C.Mark);
        const cls::TRect R = WindowRect(Quick);
        EXPECT_EQ(R.left, C.Expected.x) << C.Name;
        EXPECT_EQ(R.top, C.Expected.y) << C.Name;
        EXPECT_EQ(R.right - R.left, W) << C.Name;
    }
}

TEST_F(QuickCustTest, TheDropDownFollowsTheMarkWhenTheToolbarChangesSize) {
    CutOff(3);
    TdxBarQuickControl* Quick = Open();
    ASSERT_NE(Quick, nullptr);
    Form->SetBounds(Form->Left(), Form->Top(), Form->Width() + 40, Form->Height());
    RunUntilIdle();
    ASSERT_EQ(TdxBarQuickControl::OpenQuickControl(), Quick);
    const cls::TRect Mark = Toolbar->GetMarkScreenRect();
    EXPECT_EQ(WindowRect(Quick).right, Mark.right);
    EXPECT_EQ(Quick->OwnerRect(), Mark);
}

TEST_F(QuickCustTest, OnAVerticalToolbarTheDropDownOpensBesideTheMark) {
    Bar->SetDockingStyle(dsLeft);
    RunUntilIdle();
    Toolbar = Bar->Control();
    ASSERT_NE(Toolbar, nullptr);
    Manager->SetStyle(bmsOffice11);
    RunUntilIdle();
    TdxBarQuickControl* Quick = Open();
    ASSERT_NE(Quick, nullptr);
    const cls::TRect Mark = Toolbar->GetMarkScreenRect();
    const cls::TRect R = WindowRect(Quick);
    EXPECT_EQ(R.left, Mark.right);
    EXPECT_EQ(R.top, Mark.top);
    // Near the right edge of the work area it goes to the mark's left.
    win::RECT Work;
    GetWorkAreaFromPoint(win::POINT{0, 0}, Work);
    Quick->ShowNearRect(cls::TRect{Work.right - 20, 100, Work.right - 9, 111});
    EXPECT_EQ(WindowRect(Quick).right, Work.right - 20);
}

// --- Adding and removing buttons ---

TEST_F(QuickCustTest, CheckRowsShowAndHideTheirLinksInTheToolbarWhileTheMenuStaysOpen) {
    CutOff(3);
    TdxBarQuickControl* Quick = Open();
    ASSERT_NE(Quick, nullptr);
    TdxBarSubMenuControl* Menu = OpenAddRemoveMenu(Quick);
    ASSERT_NE(Menu, nullptr);
    TdxBarItemLinks* Rows = Menu->ItemLinks();
    // A row per link, then "Customize..." after a separator; no reset row:
    // the manager was not read from a form resource.
    ASSERT_EQ(Rows->VisibleItemCount(), 9);
    for (int I = 0; I < 8; ++I) {
        auto* Row = dynamic_cast<TdxBarQuickCustItemControl*>(Rows->VisibleItems(I)->Control());
        ASSERT_NE(Row, nullptr) << I;
        EXPECT_EQ(Row->GetSourceLink(), Bar->ItemLinks()->Items(I)) << I;
        EXPECT_EQ(Row->GetCaption(), Buttons[static_cast<std::size_t>(I)]->Caption()) << I;
        EXPECT_TRUE(Row->HasGlyph()) << I;
    }
    TdxBarItemLink* Customize = Rows->VisibleItems(8);
    EXPECT_EQ(Customize->Item()->Caption(), lf::cxGetResourceString(dxSBAR_CUSTOMIZEITEM));
    EXPECT_TRUE(Customize->BeginGroup());
    EXPECT_TRUE(Customize->Item()->Enabled());
    EXPECT_EQ(Customize->Item()->Tag(), 1000);
    EXPECT_TRUE(Menu->IsQuickCustomizingMenu());

    TdxBarItemLink* First = Bar->ItemLinks()->Items(0);
    const cls::TRect FirstAt = First->ItemRect();
    const cls::TRect SecondAt = Bar->ItemLinks()->Items(1)->ItemRect();
    ClickLink(Rows->VisibleItems(0));
    // Hidden: the toolbar lays out again, the second link takes the first
    // place and one more link finds room.
    EXPECT_FALSE(First->Visible());
    EXPECT_EQ(First->GetVisibleIndex(), -1);
    EXPECT_EQ(Bar->ItemLinks()->Items(1)->ItemRect(), FirstAt);
    EXPECT_EQ(CutOffLinks().size(), 2u);
    EXPECT_TRUE(Log.Clicks.empty());
    // The menu stays open and the row keeps its place, not ticked now.
    ASSERT_EQ(TdxBarQuickControl::OpenQuickControl(), Quick);
    ASSERT_TRUE(IsBarControlAlive(Menu));
    EXPECT_EQ(Rows->VisibleItemCount(), 9);
    ClickLink(Rows->VisibleItems(0));
    EXPECT_TRUE(First->Visible());
    EXPECT_EQ(First->GetVisibleIndex(), 0);
    EXPECT_EQ(Bar->ItemLinks()->Items(1)->ItemRect(), SecondAt);
    EXPECT_EQ(CutOffLinks().size(), 3u);
    EXPECT_TRUE(IsBarControlAlive(Menu));
}

TEST_F(QuickCustTest, TheMenuOffersWhatTheBarAndTheManagerAllow) {
    struct TCase {
        const char* Name;
        bool AllowQuickCustomizing;
        bool CanCustomize;
        bool SubItemEnabled;
        int Rows;
    };
    const TCase Cases[] = {
        {"everything", true, true, true, 9},
        {"no customizing", true, false, true, 8},
        {"no quick customizing", false, true, false, 0},
    };
    // Without quick customizing the bar gets the room its mark kept: with
    // two links cut off one still does not fit, and the mark shows.
    CutOff(2);
    for (const TCase& C : Cases) {
        Bar->SetAllowQuickCustomizing(C.AllowQuickCustomizing);
        Manager->SetCanCustomize(C.CanCustomize);
        RunUntilIdle();
        TdxBarQuickControl* Quick = Open();
        ASSERT_NE(Quick, nullptr) << C.Name;
        EXPECT_EQ(Quick->SubItem()->Enabled(), C.SubItemEnabled) << C.Name;
        ClickLink(LinkByCaption(Quick->ItemLinks(), AddRemoveCaption()));
        auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(Quick->SubItem()->ItemLinks()->BarControl());
        EXPECT_EQ(Menu ? Menu->ItemLinks()->VisibleItemCount() : 0, C.Rows) << C.Name;
        ClickMark();
        EXPECT_EQ(TdxBarQuickControl::OpenQuickControl(), nullptr) << C.Name;
    }
}

TEST_F(QuickCustTest, EveryPopupOfTheMenuReusesOneCheckItem) {
    // In this style a second click on the sub item closes its menu.
    Manager->SetStyle(bmsStandard);
    CutOff(2);
    TdxBarQuickControl* Quick = Open();
    ASSERT_NE(Quick, nullptr);
    ASSERT_NE(OpenAddRemoveMenu(Quick), nullptr);
    TdxBarQuickCustItem* Item = Quick->QuickCustItem();
    ASSERT_NE(Item, nullptr);
    const int Components = Form->ComponentCount();
    for (int I = 0; I < 5; ++I) {
        // Closed by a second click on the sub item, then opened again.
        ClickLink(LinkByCaption(Quick->ItemLinks(), AddRemoveCaption()));
        ASSERT_EQ(Quick->SubItem()->ItemLinks()->BarControl(), nullptr) << I;
        ASSERT_NE(OpenAddRemoveMenu(Quick), nullptr) << I;
        EXPECT_EQ(Quick->QuickCustItem(), Item) << I;
        EXPECT_EQ(Form->ComponentCount(), Components) << I;
    }
}

// --- Closing ---

TEST_F(QuickCustTest, TheCloseTimerClosesTheDropDownOnceAnotherToolbarControlIsSelected) {
    CutOff(3);
    TdxBarQuickControl* Quick = Open();
    ASSERT_NE(Quick, nullptr);
    TdxBarItemLink* InQuick = Quick->ItemLinks()->VisibleItems(0);
    TdxBarItemLink* InToolbar = Bar->ItemLinks()->Items(0);
    // Back into the drop-down before the timer fires: it stays.
    testdrv::MoveTo(Toolbar->Handle(), testdrv::CentreOf(InToolbar->ItemRect()));
    EXPECT_EQ(Manager->SelectedItemControl(), InToolbar->Control());
    Advance(QuickControlCloseDelay / 2);
    testdrv::MoveTo(Quick->Handle(), testdrv::CentreOf(InQuick->ItemRect()));
    Advance(QuickControlCloseDelay);
    ASSERT_EQ(TdxBarQuickControl::OpenQuickControl(), Quick);
    // Left for a control of the toolbar (over the form): it closes when the
    // timer fires.
    testdrv::MoveTo(Form->Handle(), win::POINT{20, 150});
    testdrv::MoveTo(Toolbar->Handle(), testdrv::CentreOf(InToolbar->ItemRect()));
    Advance(QuickControlCloseDelay - 10);
    EXPECT_EQ(TdxBarQuickControl::OpenQuickControl(), Quick);
    Advance(10);
    EXPECT_EQ(TdxBarQuickControl::OpenQuickControl(), nullptr);
    EXPECT_EQ(Toolbar->MarkState(), 0);
}

TEST_F(QuickCustTest, APressOutsideTheDropDownAndItsMenusClosesIt) {
    CutOff(3);
    // Room on the form below the open menu.
    Form->SetBounds(Form->Left(), Form->Top(), Form->Width(), 600);
    RunUntilIdle();
    struct TCase {
        const char* Name;
        bool OpenMenu;
        testdrv::MouseButton Button;
        std::function<win::POINT(TdxBarQuickControl*)> At;
        bool Closes;
    };
    const auto FormPoint = [this](TdxBarQuickControl*) {
        const win::POINT P = Form->ClientToScreen(cls::TPoint{4, Form->ClientHeight() - 4});
        EXPECT_EQ(win::WindowFromPoint(P), Form->Handle());
        return P;
    };
    // Beside the buttons of the first line.
    const auto QuickPoint = [](TdxBarQuickControl* Q) {
        return Q->ClientToScreen(cls::TPoint{Q->ClientWidth() - 2, 2});
    };
    const auto MenuPoint = [](TdxBarQuickControl* Q) {
        TCustomdxBarControl* Menu = Q->SubItem()->ItemLinks()->BarControl();
        return Menu->ClientToScreen(cls::TPoint{2, Menu->ClientHeight() - 2});
    };
    const auto MarkAt = [this](TdxBarQuickControl*) { return MarkPoint(); };
    using testdrv::MouseButton;
    const TCase Cases[] = {
        {"left on the form", false, MouseButton::Left, FormPoint, true},
        {"right on the form", false, MouseButton::Right, FormPoint, true},
        {"middle on the form", false, MouseButton::Middle, FormPoint, true},
        {"left on the form, menu open", true, MouseButton::Left, FormPoint, true},
        {"right on the mark", false, MouseButton::Right, MarkAt, true},
        {"left in the drop-down", false, MouseButton::Left, QuickPoint, false},
        {"left in its menu", true, MouseButton::Left, MenuPoint, false},
    };
    for (const TCase& C : Cases) {
        TdxBarQuickControl* Quick = Open();
        ASSERT_NE(Quick, nullptr) << C.Name;
        if (C.OpenMenu) {
            ASSERT_NE(OpenAddRemoveMenu(Quick), nullptr) << C.Name;
        }
        testdrv::ClickScreen(C.At(Quick), C.Button);
        EXPECT_EQ(TdxBarQuickControl::OpenQuickControl() == nullptr, C.Closes) << C.Name;
        if (TdxBarQuickControl::OpenQuickControl()) TdxBarQuickControl::OpenQuickControl()->Close();
        // A right click on the toolbar opened its toolbars popup.
        CloseActiveBarControl();
        RunUntilIdle();
        ASSERT_EQ(TdxBarQuickControl::OpenQuickControl(), nullptr) << C.Name;
        EXPECT_EQ(Toolbar->MarkState(), 0) << C.Name;
    }
}

TEST_F(QuickCustTest, TheDropDownClosesWhenItsFormIsDeactivated) {
    CutOff(3);
    ASSERT_NE(Open(), nullptr);
    auto* Other = new cls::TForm(nullptr);
    Other->SetBounds(600, 400, 200, 150);
    Other->Show();
    RunUntilIdle();
    EXPECT_EQ(TdxBarQuickControl::OpenQuickControl(), nullptr);
    EXPECT_EQ(Toolbar->MarkState(), 0);
    delete Other;
}

TEST_F(QuickCustTest, ClickingTheMarkAgainClosesTheDropDownWithoutOpeningItAgain) {
    CutOff(3);
    for (const bool MenuOpen : {false, true}) {
        TdxBarQuickControl* Quick = Open();
        ASSERT_NE(Quick, nullptr);
        if (MenuOpen) {
            ASSERT_NE(OpenAddRemoveMenu(Quick), nullptr);
            ASSERT_TRUE(Quick->IsActive());
        }
        ClickMark();
        EXPECT_EQ(TdxBarQuickControl::OpenQuickControl(), nullptr) << MenuOpen;
        EXPECT_EQ(Toolbar->MarkState(), 0) << MenuOpen;
        EXPECT_EQ(GetActiveBarControl(), nullptr) << MenuOpen;
        // The next click opens it again.
        ASSERT_NE(Open(), nullptr) << MenuOpen;
        ClickMark();
        ASSERT_EQ(TdxBarQuickControl::OpenQuickControl(), nullptr) << MenuOpen;
    }
}

TEST_F(QuickCustTest, HidingTheDropDownOrItsToolbarFreesIt) {
    CutOff(3);
    TdxBarQuickControl* Quick = Open();
    ASSERT_NE(Quick, nullptr);
    win::ShowWindow(Quick->Handle(), win::SW_HIDE);
    RunUntilIdle();
    EXPECT_EQ(TdxBarQuickControl::OpenQuickControl(), nullptr);
    EXPECT_EQ(Toolbar->MarkState(), 0);

    ASSERT_NE(OpenAddRemoveMenu(Open()), nullptr);
    const int Bars = Manager->Bars()->Count();
    Bar->SetVisible(false);
    RunUntilIdle();
    EXPECT_EQ(TdxBarQuickControl::OpenQuickControl(), nullptr);
    EXPECT_EQ(Manager->Bars()->Count(), Bars - 1);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

TEST_F(QuickCustTest, OpeningAndClosingAThousandTimesLeavesNothingBehind) {
    CutOff(3);
    // A first round makes what stays for the process (brushes, fonts).
    ASSERT_NE(OpenAddRemoveMenu(Open()), nullptr);
    ClickMark();
    Advance(10);
    const int Components = Form->ComponentCount();
    const int ManagerComponents = Manager->ComponentCount();
    const int Bars = Manager->Bars()->Count();
    const gfx::DWORD Gdi = GdiObjectCount();
    for (int I = 0; I < 1000; ++I) {
        TdxBarQuickControl* Quick = Open();
        ASSERT_NE(Quick, nullptr) << I;
        if (I % 50 == 0) {
            ASSERT_NE(OpenAddRemoveMenu(Quick), nullptr) << I;
        }
        ClickMark();
        ASSERT_EQ(TdxBarQuickControl::OpenQuickControl(), nullptr) << I;
    }
    Advance(10);
    EXPECT_EQ(Form->ComponentCount(), Components);
    EXPECT_EQ(Manager->ComponentCount(), ManagerComponents);
    EXPECT_EQ(Manager->Bars()->Count(), Bars);
    EXPECT_EQ(InternalItemCount(), 0);
    EXPECT_EQ(GdiObjectCount(), Gdi);
}

// --- Pictures ---

TEST_F(QuickCustTest, TheOpenDropDownWithItsMenuInEveryStyle) {
    const std::pair<TdxBarManagerStyle, const char*> Styles[] = {
        {bmsStandard, "standard"}, {bmsEnhanced, "enhanced"}, {bmsFlat, "flat"}, {bmsOffice11, "office11"}};
    CutOff(3);
    for (const auto& [Style, Name] : Styles) {
        Manager->SetStyle(Style);
        RunUntilIdle();
        TdxBarQuickControl* Quick = Open();
        ASSERT_NE(Quick, nullptr) << Name;
        TdxBarSubMenuControl* Menu = OpenAddRemoveMenu(Quick);
        ASSERT_NE(Menu, nullptr) << Name;
        // The second row hidden, the first selected.
        ClickLink(Menu->ItemLinks()->VisibleItems(1));
        testdrv::MoveTo(Menu->Handle(), testdrv::CentreOf(Menu->ItemLinks()->VisibleItems(0)->ItemRect()));
        const cls::TRect Q = WindowRect(Quick);
        const cls::TRect M = WindowRect(Menu);
        const cls::TRect T = WindowRect(Toolbar);
        const win::RECT Shot{T.left, T.top, std::max(Q.right, M.right) + 8, std::max(Q.bottom, M.bottom) + 8};
        win::SnapshotRect(Shot, std::string("out/quickcust_") + Name + ".png");
        // A ticked row's check cell and an unticked one's differ.
        const gfx::HDC DC = Menu->Canvas()->Handle();
        const cls::TRect Ticked = Menu->ItemLinks()->VisibleItems(2)->ItemRect();
        const cls::TRect Unticked = Menu->ItemLinks()->VisibleItems(1)->ItemRect();
        int Differing = 0;
        for (int X = 0; X < Ticked.bottom - Ticked.top; ++X)
            for (int Y = 0; Y < Ticked.bottom - Ticked.top; ++Y)
                Differing += gfx::GetPixel(DC, Ticked.left + X, Ticked.top + Y) !=
                             gfx::GetPixel(DC, Unticked.left + X, Unticked.top + Y);
        EXPECT_GT(Differing, 10) << Name;
        ClickLink(Menu->ItemLinks()->VisibleItems(1));
        ClickMark();
        ASSERT_EQ(TdxBarQuickControl::OpenQuickControl(), nullptr) << Name;
    }
}

} // namespace
} // namespace bars::test
