#include "bars/dockcontrol.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "bars/button.h"
#include "bars/categories.h"
#include "bars/toolbar.h"
#include "classes/actions.h"
#include "fixture.h"
#include "gfx/test_util.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/drawing.h"
#include "win/driver.h"

namespace bars::test {
namespace {

using cls::TPoint;
using cls::TRect;

// A toolbar window of fixed sizes: Full pixels along the dock with all its
// links, Min with the least of them, Thick across.
class TFixedToolbar : public TdxBarControl {
public:
    TFixedToolbar(TdxBarManager* AManager, TdxBar* ABar, int AFull, int AMin, int AThick)
        : TdxBarControl(AManager, ABar), Full(AFull), Min(AMin), Thick(AThick) {}

    cls::TSize GetMinSize(TdxBarDockingStyle AStyle) override { return Turned(AStyle, Min); }
    cls::TSize GetMaxSize(TdxBarDockingStyle AStyle) override { return Turned(AStyle, Full); }
    void CalcSize(TdxBarDockingStyle AStyle, int, cls::TSize& ASize) override {
        ASize = Turned(AStyle, Full);
    }
    bool HasMark() const override { return Mark; }

    int Full, Min, Thick;
    bool Mark = true;

private:
    cls::TSize Turned(TdxBarDockingStyle AStyle, int AAlong) const {
        return AStyle == dsLeft || AStyle == dsRight ? cls::TSize{Thick, AAlong} : cls::TSize{AAlong, Thick};
    }
};

class DockTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        Form->SetBounds(60, 40, 600, 400);
        Form->SetClientWidth(500);
        Form->SetClientHeight(300);
        Form->Show();
        testdrv::RunUntilIdle();
        Top = Manager->Bars()->DockControls(dsTop);
        Left = Manager->Bars()->DockControls(dsLeft);
        Bottom = Manager->Bars()->DockControls(dsBottom);
    }
    void TearDown() override {
        // The windows' bars are never shown, so their going frees nothing:
        // the windows go first.
        for (TFixedToolbar* W : Windows)
            if (IsBarControlAlive(W)) delete W;
        ManagerTest::TearDown();
    }

    // A window of a new borderless bar (no non-client extents).
    TFixedToolbar* NewWindow(int AFull, int AMin = 40, int AThick = 20) {
        TdxBar* B = Manager->Bars()->Add();
        B->SetBorderStyle(bbsNone);
        auto* W = new TFixedToolbar(Manager, B, AFull, AMin, AThick);
        Windows.push_back(W);
        return W;
    }
    // Puts a window into a site as a live drag does: the row and column come
    // from the point (client coordinates of the site).
    void Drop(TdxDockControl* ADock, TFixedToolbar* W, TPoint AClient) {
        W->ChangeDocking(ADock->GetDockingStyle(), ADock->IsMainDock() ? nullptr : ADock);
        W->HandleNeeded();
        win::ShowWindow(W->Handle(), win::SW_SHOWNA);
        ADock->InsertBar(W, ADock->ClientToScreen(AClient), true);
    }
    // As a bar that shows again: inside the window's lock its Row and OneOnRow choose.
    void Restore(TdxDockControl* ADock, TFixedToolbar* W, int ARow, bool AOneOnRow, TPoint AClient) {
        W->Bar()->SetRow(ARow);
        W->Bar()->SetOneOnRow(AOneOnRow);
        W->ChangeDocking(ADock->GetDockingStyle(), ADock->IsMainDock() ? nullptr : ADock);
        TdxBarControlHandleLock Lock(W);
        ADock->InsertBar(W, ADock->ClientToScreen(AClient), true);
    }
    static int RowOf(TdxDockControl* ADock, const TdxBarControl* W) {
        for (int I = 0; I < ADock->GetRowCount(); ++I)
            if (ADock->GetRow(I)->IndexOf(W) >= 0) return I;
        return -1;
    }

    TdxDockControl* Top = nullptr;
    TdxDockControl* Left = nullptr;
    TdxDockControl* Bottom = nullptr;
    std::vector<TFixedToolbar*> Windows;
};

// --- The layout of a row ---

TEST_F(DockTest, ARowThatFitsKeepsItsPlacesInsideTheRow) {
    TFixedToolbar* A = NewWindow(100);
    TFixedToolbar* B = NewWindow(80);
    TFixedToolbar* C = NewWindow(60);
    Drop(Top, A, {0, 5});
    Drop(Top, B, {150, 5});
    // Past the row's end: pushed back inside it.
    Drop(Top, C, {470, 5});
    ASSERT_EQ(Top->GetRowCount(), 1);
    EXPECT_EQ(A->BoundsRect(), (TRect{0, 0, 100, 20}));
    EXPECT_EQ(B->BoundsRect(), (TRect{150, 0, 230, 20}));
    EXPECT_EQ(C->BoundsRect(), (TRect{440, 0, 500, 20}));
    EXPECT_FALSE(A->Truncated() || B->Truncated() || C->Truncated());
    // Dropped onto another bar: the later one gives way, never past the earlier ones.
    TFixedToolbar* D = NewWindow(70);
    Drop(Top, D, {120, 5});
    EXPECT_EQ(D->BoundsRect(), (TRect{100, 0, 170, 20}));
    EXPECT_EQ(B->BoundsRect(), (TRect{170, 0, 250, 20}));
    EXPECT_EQ(C->BoundsRect(), (TRect{440, 0, 500, 20}));
}

TEST_F(DockTest, ARowThatDoesNotFitCutsTheLaterBarsAndMovesNoUntouchedBar) {
    TFixedToolbar* A = NewWindow(200);
    TFixedToolbar* B = NewWindow(200);
    TFixedToolbar* C = NewWindow(200);
    Drop(Top, A, {0, 5});
    Drop(Top, B, {200, 5});
    Drop(Top, C, {400, 5});
    struct Case {
        int Width;
        TRect A, B, C;
        bool BCut, CCut;
    };
    for (const Case& K : {
             // The last bar is cut at the row's end.
             Case{500, {0, 0, 200, 20}, {200, 0, 400, 20}, {400, 0, 500, 20}, false, true},
             // Even its least length does not fit: it is pushed against the
             // row's end and the bar before it is cut.
             Case{300, {0, 0, 200, 20}, {200, 0, 260, 20}, {260, 0, 300, 20}, true, true},
             // Room again: every bar is back at its place.
             Case{700, {0, 0, 200, 20}, {200, 0, 400, 20}, {400, 0, 600, 20}, false, false},
             Case{500, {0, 0, 200, 20}, {200, 0, 400, 20}, {400, 0, 500, 20}, false, true},
         }) {
        Form->SetClientWidth(K.Width);
        EXPECT_EQ(A->BoundsRect(), K.A) << K.Width;
        EXPECT_EQ(B->BoundsRect(), K.B) << K.Width;
        EXPECT_EQ(C->BoundsRect(), K.C) << K.Width;
        EXPECT_FALSE(A->Truncated()) << K.Width;
        EXPECT_EQ(B->Truncated(), K.BCut) << K.Width;
        EXPECT_EQ(C->Truncated(), K.CCut) << K.Width;
    }
}

TEST_F(DockTest, ABarThatFitsAtItsPlaceStaysThereWhenAnotherIsCut) {
    TFixedToolbar* A = NewWindow(100);
    TFixedToolbar* B = NewWindow(100);
    Drop(Top, A, {0, 5});
    Drop(Top, B, {60, 5});
    ASSERT_EQ(B->BoundsRect(), (TRect{100, 0, 200, 20}));
    // B keeps the place the layout gave it; a wide bar dropped after it is
    // cut, and neither A nor B moves.
    TFixedToolbar* C = NewWindow(400);
    Drop(Top, C, {250, 5});
    EXPECT_EQ(A->BoundsRect(), (TRect{0, 0, 100, 20}));
    EXPECT_EQ(B->BoundsRect(), (TRect{100, 0, 200, 20}));
    EXPECT_EQ(C->BoundsRect(), (TRect{200, 0, 500, 20}));
    EXPECT_TRUE(C->Truncated());
    // A bar without a mark of its own keeps 11 pixels for the mark at its
    // least length: that no longer fits after B, so C is pushed against B
    // and B is cut.
    C->Mark = false;
    C->Min = 300;
    Top->UpdateDock();
    EXPECT_EQ(A->BoundsRect(), (TRect{0, 0, 100, 20}));
    EXPECT_EQ(B->BoundsRect(), (TRect{100, 0, 189, 20}));
    EXPECT_EQ(C->BoundsRect(), (TRect{189, 0, 500, 20}));
    EXPECT_TRUE(B->Truncated());
}

TEST_F(DockTest, WholeRowAndRestSpaceBars) {
    TFixedToolbar* A = NewWindow(100);
    Drop(Top, A, {0, 5});
    TFixedToolbar* Menu = NewWindow(600, 50, 24);
    Menu->Bar()->SetWholeRow(true);
    // Dropped onto A's row, the menu bar takes a row of its own and the
    // whole length (cut: its links need 600).
    Drop(Top, Menu, {300, 5});
    ASSERT_EQ(Top->GetRowCount(), 2);
    EXPECT_EQ(RowOf(Top, Menu), 0);
    EXPECT_EQ(Menu->BoundsRect(), (TRect{0, 0, 500, 24}));
    EXPECT_TRUE(Menu->Truncated());
    EXPECT_EQ(A->BoundsRect(), (TRect{0, 24, 100, 44}));
    // Nothing joins the menu bar's row.
    TFixedToolbar* B = NewWindow(80);
    Drop(Top, B, {300, 3});
    EXPECT_EQ(Top->GetRowCount(), 3);
    EXPECT_EQ(Top->GetRow(RowOf(Top, Menu))->GetColCount(), 1);

    // A bar with UseRestSpace reaches the next bar, the last one the row's end.
    TFixedToolbar* Rest = NewWindow(100);
    Rest->Bar()->SetUseRestSpace(true);
    const int RowA = RowOf(Top, A);
    Drop(Top, Rest, {300, A->Top() + 5});
    ASSERT_EQ(RowOf(Top, Rest), RowA);
    EXPECT_EQ(A->BoundsRect(), (TRect{0, A->Top(), 100, A->Top() + 20}));
    EXPECT_EQ(Rest->BoundsRect(), (TRect{100, A->Top(), 500, A->Top() + 20}));
}

TEST_F(DockTest, RowsStackAndTheSiteFitsItsContent) {
    TFixedToolbar* A = NewWindow(100, 40, 20);
    TFixedToolbar* B = NewWindow(100, 40, 30);
    TFixedToolbar* C = NewWindow(120, 40, 24);
    Drop(Top, A, {0, 5});
    Drop(Top, B, {200, 5});
    // 9 to 13 pixels past a row's top a new row opens after it.
    Drop(Top, C, {0, 10});
    ASSERT_EQ(Top->GetRowCount(), 2);
    // Every bar takes its row's thickness.
    EXPECT_EQ(A->BoundsRect(), (TRect{0, 0, 100, 30}));
    EXPECT_EQ(B->BoundsRect(), (TRect{200, 0, 300, 30}));
    EXPECT_EQ(C->BoundsRect(), (TRect{0, 30, 120, 54}));
    EXPECT_EQ(Top->Height(), 54);
    EXPECT_EQ(Left->Top(), 54);

    // A far-edge site keeps its far edge.
    TFixedToolbar* D = NewWindow(90, 40, 26);
    Drop(Bottom, D, {10, 0});
    EXPECT_EQ(Bottom->Height(), 26);
    EXPECT_EQ(Bottom->Top(), 300 - 26);
    EXPECT_EQ(D->BoundsRect(), (TRect{10, 0, 100, 26}));

    // A vertical site lays out down its height.
    TFixedToolbar* E = NewWindow(100, 40, 22);
    TFixedToolbar* F = NewWindow(120, 40, 22);
    Drop(Left, E, {5, 0});
    Drop(Left, F, {5, 500});
    EXPECT_EQ(Left->Width(), 22);
    const int Height = Left->ClientHeight();
    EXPECT_EQ(Height, 300 - 54 - 26);
    EXPECT_EQ(E->BoundsRect(), (TRect{0, 0, 22, 100}));
    EXPECT_EQ(F->BoundsRect(), (TRect{0, Height - 120, 22, Height}));

    // Removing the last bar of a row removes the row; the next moves up.
    Top->RemoveBar(A);
    Top->RemoveBar(B);
    EXPECT_EQ(Top->GetRowCount(), 1);
    EXPECT_EQ(C->BoundsRect(), (TRect{0, 0, 120, 24}));
    EXPECT_EQ(Top->Height(), 24);
}

TEST_F(DockTest, NonClientExtentsCountAlongAndAcross) {
    TFixedToolbar* A = NewWindow(100);
    A->Bar()->SetBorderStyle(bbsSingle);
    const int Along = A->Bar()->GetNonClientWidth(dsTop), Across = A->Bar()->GetNonClientHeight(dsTop);
    ASSERT_GT(Along, 0);
    ASSERT_GT(Across, 0);
    Drop(Top, A, {10, 5});
    EXPECT_EQ(A->BoundsRect(), (TRect{10, 0, 10 + 100 + Along, 20 + Across}));
    EXPECT_EQ(Top->Height(), 20 + Across);
}

TEST_F(DockTest, TheManagersLockHoldsTheLayoutBack) {
    TFixedToolbar* A = NewWindow(100);
    Manager->SetLockUpdate(true);
    Drop(Top, A, {30, 5});
    EXPECT_EQ(Top->Height(), 0);
    EXPECT_NE(A->Width(), 100);
    Manager->SetLockUpdate(false);
    EXPECT_EQ(A->BoundsRect(), (TRect{30, 0, 130, 20}));
    EXPECT_EQ(Top->Height(), 20);
}

TEST_F(DockTest, ASiteThatChangesItsSizeEndsMenuMode) {
    auto* Button = new TdxBarButton(Form);
    Bar->ItemLinks()->Add(Button);
    Bar->SetDockingStyle(dsLeft);
    Bar->SetVisible(true);
    testdrv::RunUntilIdle();
    TdxBarControl* Active = Bar->Control();
    ASSERT_TRUE(Active);
    Active->SetActive(true);
    ASSERT_EQ(GetActiveBarControl(), Active);
    // A site that keeps its size leaves it alone.
    Top->UpdateDock();
    EXPECT_EQ(GetActiveBarControl(), Active);
    Drop(Top, NewWindow(100), {0, 0});
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

// --- Placed sites ---

class TDesignedSite : public TdxBarDockControl {
public:
    using TdxBarDockControl::TdxBarDockControl;
    void Design(bool AValue) { SetDesigning(AValue, false); }
};

TEST_F(DockTest, APlacedSiteFollowsItsAlignmentColourAndBorder) {
    auto* Placed = new TDesignedSite(Form);
    Placed->SetParent(Form);
    Placed->SetBarManager(Manager);
    testdrv::RunUntilIdle();
    // Empty: no thickness at run time, 3 pixels in design mode unless allowed none.
    EXPECT_EQ(Placed->Align(), cls::alTop);
    EXPECT_EQ(Placed->Height(), 0);
    Placed->Design(true);
    Placed->Perform(win::WM_SIZE, 0, 0);
    EXPECT_EQ(Placed->Height(), 3);
    Placed->SetAllowZeroSizeInDesignTime(true);
    EXPECT_EQ(Placed->Height(), 0);
    Placed->Design(false);

    // The docking style follows the alignment, and so do the docked windows.
    TFixedToolbar* W = NewWindow(100, 40, 20);
    Drop(Placed, W, {0, 0});
    EXPECT_EQ(W->BoundsRect(), (TRect{0, 0, 100, 20}));
    Placed->SetAlign(cls::alLeft);
    EXPECT_EQ(Placed->GetDockingStyle(), dsLeft);
    EXPECT_EQ(W->DockingStyle(), dsLeft);
    EXPECT_EQ(W->BoundsRect(), (TRect{0, 0, 20, 100}));
    EXPECT_EQ(Placed->Width(), 20);
    for (const auto& [Align, Style] :
         {std::pair{cls::alRight, dsRight}, std::pair{cls::alBottom, dsBottom},
          std::pair{cls::alClient, dsTop}, std::pair{cls::alNone, dsTop}, std::pair{cls::alTop, dsTop}}) {
        Placed->SetAlign(Align);
        EXPECT_EQ(Placed->GetDockingStyle(), Style) << Align;
        EXPECT_EQ(W->DockingStyle(), Style) << Align;
    }

    // Its own colour wins over the manager's until given up.
    Manager->SetDockColor(cls::clRed);
    EXPECT_EQ(Placed->Color(), cls::clRed);
    Placed->SetColor(cls::clBlue);
    EXPECT_TRUE(Placed->UseOwnColor());
    Manager->SetDockColor(cls::clYellow);
    EXPECT_EQ(Placed->Color(), cls::clBlue);
    Placed->SetUseOwnColor(false);
    EXPECT_EQ(Placed->Color(), cls::clYellow);

    // A sunken border: one pixel around the client area, drawn as an edge.
    EXPECT_FALSE(Placed->SunkenBorder());
    Placed->SetSunkenBorder(true);
    EXPECT_TRUE(Placed->UseOwnSunkenBorder());
    testdrv::RunUntilIdle();
    EXPECT_EQ(Placed->Height(), 22);
    EXPECT_EQ(Placed->ClientHeight(), 20);
    EXPECT_EQ(Placed->ClientWidth(), Placed->Width() - 2);
    EXPECT_EQ(win::ScreenPixel(Placed->ClientToScreen({-1, 10})), gfx::ColorToRGB(cls::clBtnShadow));
    // The manager's border reaches the sites without their own.
    Placed->SetUseOwnSunkenBorder(false);
    EXPECT_EQ(Placed->Height(), 20);
    Manager->SetSunkenBorder(true);
    EXPECT_EQ(Placed->Height(), 22);

    // A click leaves the form active.
    EXPECT_EQ(win::SendMessage(Placed->Handle(), win::WM_MOUSEACTIVATE,
                               reinterpret_cast<win::WPARAM>(Form->Handle()),
                               win::MAKELPARAM(win::HTCLIENT, win::WM_LBUTTONDOWN)),
              win::MA_NOACTIVATE);
    delete W;
    delete Placed;
}

TEST_F(DockTest, DockingZonesReachPastTheSites) {
    TRect R;
    Top->GetZoneRect(R);
    const TPoint Origin = Form->ClientToScreen({0, 0});
    // The empty top site still catches a bar within 23 pixels of the form's top.
    EXPECT_EQ(R, (TRect{Origin.x - 23, Origin.y - 23, Origin.x + 523, Origin.y + 23}));
    Left->GetZoneRect(R);
    EXPECT_EQ(R, (TRect{Origin.x - 23, Origin.y, Origin.x + 23, Origin.y + 300}));
}

// --- Rows at a point ---

TEST_F(DockTest, RowBandsOfANearAndAFarEdgeSite) {
    bool New = false;
    EXPECT_EQ(Top->GetRowAtPos(Top->ClientToScreen({5, 0}), New), 0);
    EXPECT_TRUE(New);
    TFixedToolbar* A = NewWindow(100, 40, 30);
    TFixedToolbar* B = NewWindow(100, 40, 24);
    Drop(Top, A, {0, 5});
    Drop(Top, B, {0, 40});
    ASSERT_EQ(Top->GetRowCount(), 2);
    struct Case {
        int Y, Row;
        bool New;
    };
    for (const Case& K :
         {Case{-30, 0, true}, Case{-20, 0, true}, Case{-12, 0, true}, Case{-5, 0, false}, Case{0, 0, false},
          Case{8, 0, false}, Case{9, 1, true}, Case{13, 1, true}, Case{14, 1, false}, Case{38, 1, false},
          Case{39, 2, true}, Case{50, 2, true}, Case{200, 2, true}}) {
        EXPECT_EQ(Top->GetRowAtPos(Top->ClientToScreen({5, K.Y}), New), K.Row) << K.Y;
        EXPECT_EQ(New, K.New) << K.Y;
    }
    // The reference lines a drag starts on: the middle of what keeps a bar
    // in its row, or of the strip that keeps it alone.
    struct Ref {
        int Row;
        bool OneOnRow;
        int Y;
    };
    for (const Ref& K : {Ref{0, false, 0}, Ref{1, false, 30}, Ref{1, true, 11}, Ref{2, false, 54},
                         Ref{2, true, 54}, Ref{-4, false, 0}, Ref{99, true, 54}}) {
        TPoint P = Top->ClientToScreen({7, 500});
        Top->GetRowReferencePoint(K.Row, K.OneOnRow, P);
        EXPECT_EQ(Top->ScreenToClient(P), (TPoint{7, K.Y})) << K.Row << K.OneOnRow;
    }

    // A far-edge site splits its rows from their far side.
    TFixedToolbar* C = NewWindow(100, 40, 30);
    Drop(Bottom, C, {0, 0});
    for (const Case& K : {Case{-20, 0, true}, Case{-12, 0, true}, Case{-5, 0, false}, Case{15, 0, false},
                          Case{16, 1, true}, Case{20, 1, true}, Case{21, 1, true}}) {
        EXPECT_EQ(Bottom->GetRowAtPos(Bottom->ClientToScreen({5, K.Y}), New), K.Row) << K.Y;
        EXPECT_EQ(New, K.New) << K.Y;
    }
}

// --- Insert, remove, move ---

TEST_F(DockTest, RestoredBarsTakeTheirStoredRows) {
    TFixedToolbar* A = NewWindow(100);
    TFixedToolbar* B = NewWindow(100);
    TFixedToolbar* C = NewWindow(100);
    Restore(Top, A, 0, true, {0, 0});
    Restore(Top, B, 0, false, {200, 0});
    ASSERT_EQ(Top->GetRowCount(), 1);
    // OneOnRow opens a row of its own at the stored row.
    Restore(Top, C, 0, true, {300, 0});
    EXPECT_EQ(Top->GetRowCount(), 2);
    EXPECT_EQ(RowOf(Top, C), 0);
    EXPECT_EQ(RowOf(Top, A), 1);
    // A row far beyond the last: a bar alone on its row gets a new last
    // row, one that shares its row joins the last row.
    TFixedToolbar* D = NewWindow(100);
    Restore(Top, D, 1000, true, {0, 0});
    EXPECT_EQ(RowOf(Top, D), 2);
    EXPECT_EQ(D->BoundsRect(), (TRect{0, 40, 100, 60}));
    TFixedToolbar* E = NewWindow(100);
    Restore(Top, E, 1000, false, {250, 0});
    EXPECT_EQ(RowOf(Top, E), 2);
    EXPECT_EQ(E->BoundsRect(), (TRect{250, 40, 350, 60}));
    // And a bar dragged far below the last row gets a new row there.
    Top->MoveBar(A, Top->ClientToScreen({50, 5000}));
    EXPECT_EQ(Top->GetRowCount(), 4);
    EXPECT_EQ(RowOf(Top, A), 3);
    EXPECT_EQ(A->BoundsRect(), (TRect{50, 60, 150, 80}));
    EXPECT_EQ(B->BoundsRect(), (TRect{200, 20, 300, 40}));
}

TEST_F(DockTest, ABarAskingForARowPastAWholeRowBarOpensARowAfterIt) {
    TFixedToolbar* Menu = NewWindow(600, 50, 24);
    Menu->Bar()->SetWholeRow(true);
    Restore(Top, Menu, 0, false, {0, 0});
    TFixedToolbar* A = NewWindow(100);
    Restore(Top, A, 1, false, {0, 0});
    ASSERT_EQ(Top->GetRowCount(), 2);
    EXPECT_EQ(RowOf(Top, Menu), 0);
    EXPECT_EQ(RowOf(Top, A), 1);
    EXPECT_EQ(A->BoundsRect(), (TRect{0, 24, 100, 44}));
    // Far past the last row, a bar that shares its row joins A's.
    TFixedToolbar* B = NewWindow(100);
    Restore(Top, B, 1000, false, {200, 0});
    EXPECT_EQ(Top->GetRowCount(), 2);
    EXPECT_EQ(RowOf(Top, B), 1);
}

TEST_F(DockTest, MovingABarReordersItsRowAndLeavesNoEmptyRow) {
    TFixedToolbar* A = NewWindow(100);
    TFixedToolbar* B = NewWindow(100);
    TFixedToolbar* C = NewWindow(100);
    Drop(Top, A, {0, 5});
    Drop(Top, B, {150, 5});
    Drop(Top, C, {0, 30});
    ASSERT_EQ(Top->GetRowCount(), 2);
    // Past B: after it in the row.
    Top->MoveBar(A, Top->ClientToScreen({300, 5}));
    ASSERT_EQ(Top->GetRowCount(), 2);
    EXPECT_EQ(Top->GetRow(0)->IndexOf(A), 1);
    EXPECT_EQ(A->BoundsRect(), (TRect{300, 0, 400, 20}));
    // C leaves its row: the row goes.
    Top->MoveBar(C, Top->ClientToScreen({420, 5}));
    EXPECT_EQ(Top->GetRowCount(), 1);
    EXPECT_EQ(C->BoundsRect(), (TRect{400, 0, 500, 20}));
    EXPECT_EQ(Top->Height(), 20);
    // The columns take their windows' places.
    Top->UpdateColsPos();
    EXPECT_EQ(Top->FindCol(C)->Pos(), (TPoint{400, 0}));
}

TEST_F(DockTest, RowsLeftEmptyByLoadingGoWhenLoadingEnds) {
    TFixedToolbar* A = NewWindow(100);
    Manager->Bars()->SetLoadingBars(true);
    Restore(Top, A, 3, false, {0, 0});
    EXPECT_EQ(Top->GetRowCount(), 4);
    EXPECT_EQ(RowOf(Top, A), 3);
    Manager->Bars()->SetLoadingBars(false);
    Manager->Loaded();
    EXPECT_EQ(Top->GetRowCount(), 1);
    EXPECT_EQ(A->BoundsRect(), (TRect{0, 0, 100, 20}));
}

// --- Real toolbars: hidden bars, bad input ---

class DockBarTest : public DockTest {
protected:
    TdxBar* ShownBar(const std::string& ACaption, TdxDockControl* ADock, int ARow = 0) {
        TdxBar* B = Manager->Bars()->Add();
        B->SetCaption(ACaption);
        auto* Button = new TdxBarButton(Form);
        Button->SetCaption(ACaption);
        B->ItemLinks()->Add(Button);
        B->SetRow(ARow);
        B->SetOneOnRow(ARow > 0);
        if (ADock->IsMainDock())
            B->SetDockingStyle(ADock->GetDockingStyle());
        else
            B->SetDockControl(ADock);
        B->SetVisible(true);
        testdrv::RunUntilIdle();
        return B;
    }
};

TEST_F(DockBarTest, BarsHiddenWithTheirSitesWindowComeBack) {
    auto* Placed = new TdxBarDockControl(Form);
    Placed->SetParent(Form);
    Placed->SetBarManager(Manager);
    TdxBar* One = ShownBar("One", Placed);
    TdxBar* Two = ShownBar("Two", Placed, 1);
    TdxBar* Main = ShownBar("Main", Top);
    ASSERT_TRUE(One->Control() && Two->Control() && Main->Control());
    ASSERT_EQ(Placed->GetRowCount(), 2);

    // The placed site gets a new window: its bars come back into it.
    Placed->RecreateWnd();
    testdrv::RunUntilIdle();
    EXPECT_TRUE(One->Visible());
    EXPECT_TRUE(Two->Visible());
    ASSERT_TRUE(One->Control() && Two->Control());
    EXPECT_EQ(Placed->GetRowCount(), 2);
    EXPECT_EQ(RowOf(Placed, One->Control()), 0);
    EXPECT_EQ(RowOf(Placed, Two->Control()), 1);
    EXPECT_FALSE(Manager->HasHiddenBarList());

    // So does the form: the main site's bar too, and the list goes.
    Form->RecreateWnd();
    testdrv::RunUntilIdle();
    for (TdxBar* B : {One, Two, Main}) {
        EXPECT_TRUE(B->Visible()) << B->Caption();
        ASSERT_TRUE(B->Control()) << B->Caption();
        EXPECT_TRUE(B->Control()->HandleAllocated()) << B->Caption();
    }
    EXPECT_EQ(RowOf(Top, Main->Control()), 0);
    EXPECT_EQ(Placed->GetRowCount(), 2);
    EXPECT_FALSE(Manager->HasHiddenBarList());
}

TEST_F(DockBarTest, ASiteDestroyedWhileABarIsDockedInItHidesTheBar) {
    auto* Placed = new TdxBarDockControl(Form);
    Placed->SetParent(Form);
    Placed->SetBarManager(Manager);
    TdxBar* B = ShownBar("One", Placed);
    ASSERT_TRUE(B->Control());
    ASSERT_EQ(B->Control()->DockControl(), Placed);
    B->SetDockedDockControl(Placed);
    delete Placed;
    testdrv::RunUntilIdle();
    EXPECT_FALSE(B->Visible());
    EXPECT_EQ(B->Control(), nullptr);
    EXPECT_EQ(B->DockControl(), nullptr);
    EXPECT_EQ(B->DockedDockControl(), nullptr);
    // Shown again, it goes to the main site of its style.
    B->SetVisible(true);
    testdrv::RunUntilIdle();
    ASSERT_TRUE(B->Control());
    EXPECT_EQ(RowOf(Top, B->Control()), 0);
}

TEST_F(DockBarTest, AFormResizedToZeroKeepsItsBarsAtTheirLeastLength) {
    TFixedToolbar* A = NewWindow(200, 80);
    TFixedToolbar* B = NewWindow(200, 90);
    Drop(Top, A, {0, 5});
    Drop(Top, B, {200, 5});
    TdxBar* Real = ShownBar("Real", Top, 1);
    Form->SetClientWidth(0);
    Form->SetClientHeight(0);
    testdrv::RunUntilIdle();
    // The form keeps its least size; the site is narrower than the bars' least lengths.
    ASSERT_LT(Top->ClientWidth(), 170);
    EXPECT_EQ(A->BoundsRect(), (TRect{0, 0, 80, 20}));
    EXPECT_EQ(B->BoundsRect(), (TRect{80, 0, 170, 20}));
    EXPECT_TRUE(A->Truncated());
    EXPECT_TRUE(B->Truncated());
    ASSERT_TRUE(Real->Control());
    EXPECT_EQ(Real->Control()->Left(), 0);
    // Back to size: back to their places.
    Form->SetClientWidth(500);
    Form->SetClientHeight(300);
    testdrv::RunUntilIdle();
    EXPECT_EQ(A->BoundsRect(), (TRect{0, 0, 200, 20}));
    EXPECT_EQ(B->BoundsRect(), (TRect{200, 0, 400, 20}));
}

TEST_F(DockBarTest, TheTopSiteUpdatesTheActionsOfShownBars) {
    struct TCounter {
        int Updates = 0;
        void Update(cls::TObject*) { ++Updates; }
    } Counter;
    auto* Action = new cls::TAction(Form);
    Action->SetOnUpdate(cls::TNotifyEvent(&Counter, &TCounter::Update));
    TdxBar* B = ShownBar("One", Top);
    B->ItemLinks()->Items(0)->Item()->SetAction(Action);
    EXPECT_TRUE(Top->ControlStyle().Contains(cls::csActionClient));
    EXPECT_FALSE(Left->ControlStyle().Contains(cls::csActionClient));
    const int Before = Counter.Updates;
    Top->InitiateAction();
    EXPECT_EQ(Counter.Updates, Before + 1);
    B->SetVisible(false);
    Top->InitiateAction();
    EXPECT_EQ(Counter.Updates, Before + 1);
}

// --- Background ---

class DockPaintTest : public DockTest {
protected:
    gfx::COLORREF Pixel(TdxDockControl* ADock, int X, int Y) {
        return win::ScreenPixel(ADock->ClientToScreen({X, Y}));
    }
};

TEST_F(DockPaintTest, Office11SitesDrawTheirGradientAcrossTheSite) {
    Manager->SetStyle(bmsOffice11);
    const lf::TOffice11Colors& C = lf::Office11Colors();
    EXPECT_TRUE(Top->IsBackgroundDrawn());
    TFixedToolbar* T = NewWindow(60, 40, 20);
    TFixedToolbar* L = NewWindow(60, 40, 20);
    TFixedToolbar* R = NewWindow(60, 40, 20);
    Drop(Top, T, {0, 0});
    Drop(Left, L, {0, 0});
    Drop(Manager->Bars()->DockControls(dsRight), R, {0, 0});
    testdrv::RunUntilIdle();
    // The top site's gradient spans its width (500): compared with the same
    // gradient drawn alone.
    gfx::test::DibDC Expected(500, 1, gfx::RGB(0, 0, 0));
    lf::FillGradientRect(Expected.dc(), gfx::RECT{0, 0, 500, 1}, C.DockColor1, C.DockColor2, true);
    for (int X : {100, 250, 499}) EXPECT_EQ(Pixel(Top, X, 10), Expected.At(X, 0)) << X;
    EXPECT_EQ(Pixel(Left, 10, 100), gfx::ColorToRGB(C.DockColor1));
    EXPECT_EQ(Pixel(Manager->Bars()->DockControls(dsRight), 10, 100), gfx::ColorToRGB(C.DockColor2));
}

TEST_F(DockPaintTest, PlainStylesFillWithTheDockColourOrTheSitesPicture) {
    EXPECT_FALSE(Top->IsBackgroundDrawn());
    Manager->SetDockColor(cls::clRed);
    TFixedToolbar* T = NewWindow(60, 40, 20);
    Drop(Top, T, {0, 0});
    testdrv::RunUntilIdle();
    EXPECT_EQ(Pixel(Top, 200, 10), gfx::RGB(255, 0, 0));
    // The site's own picture is tiled from its client origin.
    cls::TBitmap Pattern(2, 1);
    Pattern.Canvas()->SetPixels(0, 0, cls::clBlue);
    Pattern.Canvas()->SetPixels(1, 0, cls::clLime);
    Top->SetBackgroundBitmap(&Pattern);
    EXPECT_TRUE(Top->IsBackgroundDrawn());
    Top->Invalidate();
    testdrv::RunUntilIdle();
    EXPECT_EQ(Pixel(Top, 200, 10), gfx::RGB(0, 0, 255));
    EXPECT_EQ(Pixel(Top, 201, 10), gfx::RGB(0, 255, 0));
}

// --- Drop mark ---

class DropMarkTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        Form->SetBounds(0, 0, 400, 200);
        Form->Show();
        for (const char* Caption : {"A", "B", "C", "D"}) {
            auto* Button = new TdxBarButton(Form);
            Button->SetCaption(Caption);
            Links.push_back(Bar->ItemLinks()->Add(Button));
        }
        Links[2]->SetBeginGroup(true);
        Bar->SetDockingStyle(dsTop);
        Bar->SetVisible(true);
        testdrv::RunUntilIdle();
        Window = Bar->Control();
    }

    std::vector<gfx::COLORREF> Picture() const {
        std::vector<gfx::COLORREF> Result;
        const gfx::HDC DC = win::GetDC(Window->Handle());
        const TRect Client = Window->ClientRect();
        for (int Y = 0; Y < Client.bottom; ++Y)
            for (int X = 0; X < Client.right; ++X) Result.push_back(gfx::GetPixel(DC, X, Y));
        win::ReleaseDC(Window->Handle(), DC);
        return Result;
    }
    // The bounds of the client pixels that differ from ABefore.
    TRect Changed(const std::vector<gfx::COLORREF>& ABefore) const {
        const std::vector<gfx::COLORREF> Now = Picture();
        const int Width = Window->ClientRect().right;
        TRect R{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (size_t I = 0; I < Now.size(); ++I) {
            if (Now[I] == ABefore[I]) continue;
            const int X = static_cast<int>(I) % Width, Y = static_cast<int>(I) / Width;
            R = TRect{std::min<int>(R.left, X), std::min<int>(R.top, Y), std::max<int>(R.right, X + 1),
                      std::max<int>(R.bottom, Y + 1)};
        }
        return R.left == INT_MAX ? TRect{} : R;
    }
    TRect RectOf(int AIndex) const {
        return TCustomdxBarControl::GetItemControlRect(Links[AIndex]->Control());
    }

    std::vector<TdxBarItemLink*> Links;
    TdxBarControl* Window = nullptr;
};

TEST_F(DropMarkTest, IsDrawnWhereTheLinkWouldGoAndErasedByTheSameCall) {
    ASSERT_TRUE(Window && Links[3]->Control());
    struct Case {
        int Target;
        bool Gap, Before;
        int EdgeOf;
        bool FarEdge;
    };
    for (const Case& K : {
             // Before the target; after it, at the next link that begins no group.
             Case{1, false, true, 1, false},
             Case{0, false, false, 1, false},
             // After B, whose next link begins a group: at B's own end.
             Case{1, false, false, 1, true},
             // In the gap before C: joining B's group (before) or opening C's.
             Case{2, true, true, 1, true},
             Case{2, true, false, 2, false},
         }) {
        const std::vector<gfx::COLORREF> Before = Picture();
        Manager->DrawDropMark(Links[K.Target]->Control(), K.Gap, false, K.Before);
        EXPECT_TRUE(Manager->DropMarkShown());
        // Six pixels across the edge, the control's height along it.
        const TRect Edge = RectOf(K.EdgeOf);
        const int X = K.FarEdge ? Edge.right : Edge.left;
        EXPECT_EQ(Changed(Before), (TRect{X - 3, Edge.top, X + 3, Edge.bottom}))
            << K.Target << K.Gap << K.Before;
        Manager->DrawDropMark(Links[K.Target]->Control(), K.Gap, false, K.Before);
        EXPECT_FALSE(Manager->DropMarkShown());
        EXPECT_EQ(Changed(Before), TRect{}) << K.Target << K.Gap << K.Before;
    }
    // The stem is two pixels, the serifs six and four.
    const std::vector<gfx::COLORREF> Before = Picture();
    const TRect B = RectOf(1);
    Manager->DrawDropMark(Links[1]->Control(), false, false, true);
    const std::vector<gfx::COLORREF> Now = Picture();
    const int Width = Window->ClientRect().right;
    const auto Row = [&](int Y) {
        std::string Result;
        for (int X = B.left - 4; X < B.left + 4; ++X)
            Result += Now[Y * Width + X] == Before[Y * Width + X] ? '.' : '#';
        return Result;
    };
    EXPECT_EQ(Row(B.top), ".######.");
    EXPECT_EQ(Row(B.top + 1), "..####..");
    EXPECT_EQ(Row((B.top + B.bottom) / 2), "...##...");
    EXPECT_EQ(Row(B.bottom - 2), "..####..");
    EXPECT_EQ(Row(B.bottom - 1), ".######.");
    Manager->DrawDropMark(Links[1]->Control(), false, false, true);
}

TEST_F(DropMarkTest, PlacesThatChangeNothingGetNoMark) {
    ASSERT_TRUE(Window && Links[3]->Control());
    Links[2]->SetBeginGroup(false);
    Links[3]->SetBeginGroup(true);
    TdxBarItemLink* Dragged = Links[1];
    struct Case {
        int Target;
        bool Gap, Before, Copy, Changes;
    };
    for (const Case& K : {
             // Onto itself: only a gap before it (a new group) changes it.
             Case{1, false, false, false, false},
             Case{1, false, true, false, false},
             Case{1, true, false, false, false},
             Case{1, true, true, false, true},
             // Just after the link before it.
             Case{0, false, false, false, false},
             Case{0, false, true, false, true},
             Case{0, true, false, false, true},
             // Just before the link after it (which begins no group).
             Case{2, false, true, false, false},
             Case{2, true, true, false, false},
             Case{2, false, false, false, true},
             // Farther away, or a copy, always.
             Case{3, false, true, false, true},
             Case{1, false, false, true, true},
         }) {
        EXPECT_EQ(Manager->IsDropPlaceChanging(Links[K.Target]->Control(), K.Gap, K.Before, Dragged, K.Copy),
                  K.Changes)
            << K.Target << K.Gap << K.Before << K.Copy;
    }
    // A new item changes everything; no target, nothing.
    EXPECT_TRUE(Manager->IsDropPlaceChanging(Links[1]->Control(), false, false, nullptr, false));
    EXPECT_FALSE(Manager->IsDropPlaceChanging(nullptr, false, false, nullptr, false));
}

} // namespace
} // namespace bars::test
