// The toolbar window: its row layout and sizes, its frame and hit codes, the
// close button, the mark, sizing, double-click docking, the tear-off of a
// submenu, and what a bar window survives.
#include "bars/toolbar.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bars/dockcontrol.h"
#include "bars/itemcontrol.h"
#include "bars/strings.h"
#include "bars/system.h"
#include "fixture.h"
#include "support/driver.h"

namespace bars::test {
namespace {

using testdrv::Advance;
using testdrv::RunUntilIdle;

// An item whose control has a fixed size, so that layouts come out in exact
// pixels whatever the fonts.
class TSizedItem : public TdxBarItem {
    TRESTLE_CLASS(TSizedItem, TdxBarItem)
public:
    using TdxBarItem::TdxBarItem;
    int ItemWidth = 30;
    int ItemHeight = 22;
};

class TSizedControl : public TdxBarItemControl {
    TRESTLE_CLASS(TSizedControl, TdxBarItemControl)
public:
    using TdxBarItemControl::TdxBarItemControl;
    int GetWidth() const override { return Sized()->ItemWidth; }
    int GetHeight() const override { return Sized()->ItemHeight; }
    bool IsWidthSizable() const override { return WidthSizable; }
    int GetCaptionWidth() const override { return WidthSizable ? 10 : 0; }
    void Paint(const gfx::RECT& R, TdxBarPaintType) override {
        gfx::FillRect(GetParentDC(), &R,
                      gfx::GetSysColorBrush(IsSelected() ? gfx::COLOR_HIGHLIGHT : gfx::COLOR_BTNSHADOW));
    }
    static inline bool WidthSizable = false;

private:
    const TSizedItem* Sized() const { return static_cast<const TSizedItem*>(GetItem()); }
};

// Every window: the top-level ones beside AWindow and all their children.
int WindowCount(win::HWND AWindow) {
    int Count = 0;
    std::vector<win::HWND> Pending{win::GetWindow(AWindow, win::GW_HWNDFIRST)};
    while (!Pending.empty()) {
        win::HWND W = Pending.back();
        Pending.pop_back();
        for (; W; W = win::GetWindow(W, win::GW_HWNDNEXT)) {
            ++Count;
            Pending.push_back(win::GetWindow(W, win::GW_CHILD));
        }
    }
    return Count;
}

cls::TRect Rect(int L, int T, int R, int B) {
    return cls::TRect{L, T, R, B};
}

cls::TPoint CursorPosition() {
    win::POINT P;
    win::GetCursorPos(&P);
    return P;
}

class ToolbarTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        Registration = new TScopedItemClass(TSizedItem::ClassInfo(), TSizedControl::ClassInfo());
        TSizedControl::WidthSizable = false;
        Form->SetBounds(100, 100, 640, 480);
        Form->Show();
        RunUntilIdle();
    }
    void TearDown() override {
        ManagerTest::TearDown();
        delete Registration;
    }

    TSizedItem* AddSized(TdxBar* ABar, int AWidth, int AHeight, bool ABeginGroup = false) {
        auto* Item = new TSizedItem(Form);
        Item->ItemWidth = AWidth;
        Item->ItemHeight = AHeight;
        ABar->ItemLinks()->Add(Item)->SetBeginGroup(ABeginGroup);
        return Item;
    }
    TdxBarButton* AddButton(TdxBarItemLinks* ALinks, const std::string& ACaption, bool ABeginGroup = false) {
        auto* Button = new TdxBarButton(Form);
        Button->SetCaption(ACaption);
        ALinks->Add(Button)->SetBeginGroup(ABeginGroup);
        return Button;
    }
    // The bar shown in a place, its window returned.
    TdxBarControl* Show(TdxBar* ABar, TdxBarDockingStyle AStyle) {
        ABar->SetDockingStyle(AStyle);
        ABar->SetVisible(true);
        RunUntilIdle();
        TdxBarControl* Window = ABar->Control();
        EXPECT_NE(Window, nullptr);
        return Window;
    }
    static cls::TRect RectOf(TdxBar* ABar, int AIndex) {
        return ABar->ItemLinks()->Items(AIndex)->ItemRect();
    }
    // A point of the window in window coordinates, on the screen.
    static win::POINT AtWindow(TdxBarControl* AWindow, int X, int Y) {
        cls::TRect R;
        win::GetWindowRect(AWindow->Handle(), &R);
        return win::POINT{R.left + X, R.top + Y};
    }
    static win::LRESULT HitTest(TdxBarControl* AWindow, win::POINT AScreen) {
        return win::SendMessage(AWindow->Handle(), win::WM_NCHITTEST, 0, win::PointToLParam(AScreen));
    }

    TScopedItemClass* Registration = nullptr;
};

// --- Row layout ---

TEST_F(ToolbarTest, ASingleLineCentresItsControlsAcrossTheBarWithTheGroupSeparatorBetween) {
    Bar->SetShowMark(false);
    AddSized(Bar, 30, 22);
    AddSized(Bar, 40, 16);
    AddSized(Bar, 20, 22, true);
    TdxBarControl* W = Show(Bar, dsTop);
    ASSERT_NE(W, nullptr);
    EXPECT_EQ(W->ClientWidth(), 96);
    EXPECT_EQ(W->ClientHeight(), 22);
    EXPECT_EQ(RectOf(Bar, 0), Rect(0, 0, 30, 22));
    EXPECT_EQ(RectOf(Bar, 1), Rect(30, 3, 70, 19));
    EXPECT_EQ(RectOf(Bar, 2), Rect(76, 0, 96, 22));
    EXPECT_FALSE(W->Truncated());
    EXPECT_FALSE(W->HasMark());
}

TEST_F(ToolbarTest, AVerticalBarStacksItsControlsDownward) {
    Bar->SetShowMark(false);
    AddSized(Bar, 22, 30);
    AddSized(Bar, 16, 20, true);
    TdxBarControl* W = Show(Bar, dsLeft);
    ASSERT_NE(W, nullptr);
    EXPECT_EQ(W->ClientWidth(), 22);
    EXPECT_EQ(W->ClientHeight(), 56);
    EXPECT_EQ(RectOf(Bar, 0), Rect(0, 0, 22, 30));
    EXPECT_EQ(RectOf(Bar, 1), Rect(3, 36, 19, 56));
}

TEST_F(ToolbarTest, ARotatedVerticalBarRunsCaptionsAlongItselfAndStaysAsThickAsItsButtons) {
    const int Thickness = std::max(Manager->ButtonWidth(), Manager->ButtonHeight());
    for (const bool Rotate : {true, false}) {
        TdxBar* B = Manager->Bars()->Add();
        B->SetShowMark(false);
        B->SetRotateWhenVertical(Rotate);
        AddButton(B->ItemLinks(), "Plain");
        AddButton(B->ItemLinks(), "A long caption")->SetPaintStyle(psCaptionGlyph);
        TdxBarControl* W = Show(B, dsLeft);
        ASSERT_NE(W, nullptr);
        const int Text = W->Canvas()->TextWidth("A long caption");
        const cls::TRect Caption = RectOf(B, 1);
        if (Rotate) {
            EXPECT_LE(W->ClientWidth(), Thickness);
            EXPECT_LE(Caption.right - Caption.left, Thickness);
            EXPECT_GT(Caption.bottom - Caption.top, Text);
        } else {
            // Not rotated, the caption lies across the bar and makes it wide.
            EXPECT_GT(W->ClientWidth(), Text);
            EXPECT_LE(Caption.bottom - Caption.top, Thickness);
        }
        // A button without a glyph shows its caption, turned with the bar.
        const cls::TRect Plain = RectOf(B, 0);
        EXPECT_EQ(Plain.right - Plain.left <= Thickness, Rotate);
        B->SetVisible(false);
    }
}

TEST_F(ToolbarTest, AnAlignedItemTakesTheRestOfItsLineAndCutsOffTheLinksAfterIt) {
    Bar->SetShowMark(false);
    Bar->SetWholeRow(true);
    AddSized(Bar, 30, 22);
    TSizedItem* Aligned = AddSized(Bar, 40, 22);
    TdxBarControl* W = Show(Bar, dsTop);
    ASSERT_NE(W, nullptr);
    const int Width = W->ClientWidth();
    ASSERT_GT(Width, 200);
    const struct {
        TdxBarItemAlign Align;
        cls::TRect Expected;
    } Cases[] = {
        {iaLeft, Rect(30, 0, 70, 22)},
        {iaRight, Rect(Width - 40, 0, Width, 22)},
        {iaCenter, Rect(30 + (Width - 70) / 2, 0, 70 + (Width - 70) / 2, 22)},
        {iaClient, Rect(30, 0, Width, 22)},
    };
    for (const auto& C : Cases) {
        Aligned->SetAlign(C.Align);
        RunUntilIdle();
        EXPECT_EQ(RectOf(Bar, 1), C.Expected) << C.Align;
        EXPECT_FALSE(W->Truncated()) << C.Align;
    }
    // A link after it has no room left on the line.
    AddSized(Bar, 20, 22);
    RunUntilIdle();
    EXPECT_EQ(RectOf(Bar, 1), Rect(30, 0, Width, 22));
    EXPECT_EQ(RectOf(Bar, 2), cls::TRect{});
    EXPECT_TRUE(W->Truncated());
}

TEST_F(ToolbarTest, SwitchingRotationOnADockedVerticalBarResizesTheBarAndItsSite) {
    // Glyph buttons: turned they are as wide as a button is high, upright
    // as wide as a button; their lengths along the bar stay.
    Bar->SetShowMark(false);
    cls::TBitmap Glyph;
    Glyph.SetSize(16, 16);
    for (const char* Caption : {"Cut", "Copy"}) AddButton(Bar->ItemLinks(), Caption)->SetGlyph(&Glyph);
    ASSERT_NE(Manager->ButtonWidth(), Manager->ButtonHeight());
    TdxBarControl* W = Show(Bar, dsLeft);
    ASSERT_NE(W, nullptr);
    TdxDockControl* Site = Manager->Bars()->DockControls(dsLeft);
    auto Check = [&](bool ARotated) {
        SCOPED_TRACE(ARotated ? "rotated" : "upright");
        // The window and its site are as wide as the widest button.
        int Widest = 0;
        for (int I = 0; I < Bar->ItemLinks()->Count(); ++I) {
            const cls::TRect R = RectOf(Bar, I);
            EXPECT_LE(R.right, W->ClientWidth()) << I;
            EXPECT_LE(R.bottom, W->ClientHeight()) << I;
            Widest = std::max(Widest, static_cast<int>(R.right - R.left));
        }
        EXPECT_EQ(W->ClientWidth(), Widest);
        EXPECT_EQ(Site->Width(), W->Width());
        // The canvas draws the captions down the bar with a turned outline font.
        gfx::LOGFONT LF{};
        gfx::GetObject(W->Canvas()->Font()->Handle(), sizeof LF, &LF);
        EXPECT_EQ(LF.lfEscapement, ARotated ? -900 : 0);
        EXPECT_EQ(LF.lfOrientation, ARotated ? -900 : 0);
        EXPECT_EQ(LF.lfOutPrecision, ARotated ? gfx::OUT_TT_ONLY_PRECIS : gfx::OUT_DEFAULT_PRECIS);
    };
    Check(true);
    const int Rotated = W->Width();
    EXPECT_EQ(W->ClientWidth(), Manager->ButtonHeight());
    Bar->SetRotateWhenVertical(false);
    RunUntilIdle();
    Check(false);
    EXPECT_EQ(W->ClientWidth(), Manager->ButtonWidth());
    Bar->SetRotateWhenVertical(true);
    RunUntilIdle();
    Check(true);
    EXPECT_EQ(W->Width(), Rotated);
}

TEST_F(ToolbarTest, LargeIconsLayTheShownToolbarsOutAgain) {
    cls::TBitmap Glyph;
    Glyph.SetSize(16, 16);
    TdxBar* Floating = Manager->Bars()->Add();
    for (TdxBar* B : {Bar, Floating})
        for (const char* Caption : {"Cut", "Copy"}) AddButton(B->ItemLinks(), Caption)->SetGlyph(&Glyph);
    Floating->SetFloatLeft(300);
    Floating->SetFloatTop(300);
    TdxBarControl* Docked = Show(Bar, dsTop);
    TdxBarControl* Float = Show(Floating, dsNone);
    ASSERT_NE(Docked, nullptr);
    ASSERT_NE(Float, nullptr);
    TdxDockControl* Site = Manager->Bars()->DockControls(dsTop);
    for (const bool Large : {true, false}) {
        SCOPED_TRACE(Large ? "large" : "small");
        Manager->SetLargeIcons(Large);
        RunUntilIdle();
        EXPECT_EQ(Manager->ButtonHeight(), (Large ? 32 : 16) + 6);
        // Every button at its new size inside its window; the floating
        // window keeps its width and wraps its buttons in it.
        for (TdxBarControl* W : {Docked, Float}) {
            int Bottom = 0;
            for (int I = 0; I < 2; ++I) {
                const cls::TRect R = RectOf(W->Bar(), I);
                EXPECT_EQ(R.right - R.left, Manager->ButtonWidth());
                EXPECT_EQ(R.bottom - R.top, Manager->ButtonHeight());
                EXPECT_LE(R.right, W->ClientWidth());
                Bottom = std::max(Bottom, static_cast<int>(R.bottom));
            }
            EXPECT_EQ(W->ClientHeight(), Bottom);
        }
        EXPECT_EQ(Docked->ClientHeight(), Manager->ButtonHeight());
        EXPECT_EQ(Site->Height(), Docked->Height());
    }
}

TEST_F(ToolbarTest, LinksThatDoNotFitAreCutOffAndTheMarkTakesTheLastElevenPixels) {
    for (int I = 0; I < 8; ++I) AddSized(Bar, 40, 22);
    TdxBarControl* W = Show(Bar, dsTop);
    ASSERT_NE(W, nullptr);
    Form->SetBounds(100, 100, 200, 300);
    RunUntilIdle();
    const int Client = W->ClientWidth();
    ASSERT_LT(Client, 8 * 40);
    EXPECT_TRUE(W->Truncated());
    EXPECT_TRUE(W->HasMark());
    // Whole links up to the mark, the rest without a rectangle.
    const int Fitting = (Client - TdxBarControl::MarkSize) / 40;
    for (int I = 0; I < 8; ++I) {
        if (I < Fitting)
            EXPECT_EQ(RectOf(Bar, I), Rect(I * 40, 0, I * 40 + 40, 22)) << I;
        else
            EXPECT_EQ(RectOf(Bar, I), cls::TRect{}) << I;
    }
    EXPECT_EQ(W->GetMarkRect(), Rect(Client - 11, 0, Client, W->ClientHeight()));
}

TEST_F(ToolbarTest, AWrappingBarBreaksBeforeTheGroupThatWouldBeTornAndCentresEachRow) {
    TdxBar* Float = Manager->Bars()->Add();
    AddSized(Float, 30, 22);
    AddSized(Float, 30, 16);
    AddSized(Float, 30, 22, true);
    AddSized(Float, 30, 22);
    AddSized(Float, 50, 10, true);
    Float->SetFloatClientWidth(100);
    TdxBarControl* W = Show(Float, dsNone);
    ASSERT_NE(W, nullptr);
    // 30 + 30 + 6 + 30 fit, the fourth does not: its group goes down whole;
    // the fifth begins a group and breaks its own line.
    EXPECT_EQ(RectOf(Float, 0), Rect(0, 0, 30, 22));
    EXPECT_EQ(RectOf(Float, 1), Rect(30, 3, 60, 19));
    EXPECT_EQ(RectOf(Float, 2), Rect(0, 28, 30, 50));
    EXPECT_EQ(RectOf(Float, 3), Rect(30, 28, 60, 50));
    EXPECT_EQ(RectOf(Float, 4), Rect(0, 56, 50, 66));
    EXPECT_EQ(W->ClientWidth(), 60);
    EXPECT_EQ(W->ClientHeight(), 66);
}

// --- Sizes ---

TEST_F(ToolbarTest, SizesForHorizontalVerticalAndFloatingStyles) {
    Bar->SetShowMark(false);
    AddSized(Bar, 30, 22);
    AddSized(Bar, 40, 16);
    AddSized(Bar, 20, 24, true);
    TdxBarControl* W = Show(Bar, dsTop);
    ASSERT_NE(W, nullptr);
    struct TCase {
        TdxBarDockingStyle Style;
        int Limit;
        cls::TSize Min, Max, Calc;
    };
    const TCase Cases[] = {
        // Along: the first link alone, all links with the separator, as
        // many as fit; across: the thickest link.
        {dsTop, 75, {30, 24}, {96, 24}, {70, 24}},
        {dsBottom, 1000, {30, 24}, {96, 24}, {96, 24}},
        // Upright: the tallest link is the least length.
        {dsLeft, 50, {40, 24}, {40, 68}, {40, 38}},
        // Floating: wrapped within the limit.
        {dsNone, 75, {40, 24}, {96, 24}, {70, 52}},
        {dsNone, 10, {40, 24}, {96, 24}, {40, 68}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(testing::Message() << "style " << C.Style << " limit " << C.Limit);
        // As the dock site measures: every link counts again first.
        Bar->ItemLinks()->SetRecentLimit(-1);
        EXPECT_EQ(W->GetMinSize(C.Style), C.Min);
        EXPECT_EQ(W->GetMaxSize(C.Style), C.Max);
        cls::TSize Size{};
        W->CalcSize(C.Style, C.Limit, Size);
        EXPECT_EQ(Size, C.Calc);
    }
}

// The window made during the dock layout is first laid out at its initial
// size, where nothing fits; the layout must not keep that cut-off.
TEST_F(ToolbarTest, ABarJoiningARowWithRoomForItIsNotCutOff) {
    TdxBar* Second = Manager->Bars()->Add();
    for (int I = 0; I < 6; ++I) {
        AddSized(Bar, 30, 22);
        AddSized(Second, 30, 22);
    }
    Show(Bar, dsTop);
    Second->SetDockedLeft(300);
    TdxBarControl* W = Show(Second, dsTop);
    ASSERT_NE(W, nullptr);
    TdxDockControl* Dock = W->DockControl();
    ASSERT_EQ(Dock->FindCol(W)->Row(), Dock->FindCol(Bar->Control())->Row());
    for (TdxBar* B : {Bar, Second}) {
        EXPECT_FALSE(B->Control()->Truncated()) << B->Caption();
        EXPECT_EQ(RectOf(B, 5), Rect(150, 0, 180, 22)) << B->Caption();
    }
}

// A docked bar too short for its links keeps the most recently used ones
// that fit, in their own order; with room for all it shows all of them.
TEST_F(ToolbarTest, ADockedBarTakesTheLengthItsLinksNeedWhenTheyChange) {
    for (int I = 0; I < 3; ++I) AddSized(Bar, 40, 20);
    TdxBarControl* W = Show(Bar, dsTop);
    ASSERT_NE(W, nullptr);
    const auto Placed = [this](int AIndex) {
        const cls::TRect R = RectOf(Bar, AIndex);
        return !gfx::IsRectEmpty(&R);
    };
    const int Three = W->Width();
    // A link added: the bar grows by its length and cuts nothing off.
    AddSized(Bar, 40, 20);
    RunUntilIdle();
    EXPECT_EQ(W->Width(), Three + 40);
    EXPECT_FALSE(W->Truncated());
    EXPECT_TRUE(Placed(3));
    // Two hidden: it shrinks.
    Bar->ItemLinks()->Items(0)->SetVisible(false);
    Bar->ItemLinks()->Items(1)->SetVisible(false);
    RunUntilIdle();
    EXPECT_EQ(W->Width(), Three - 40);
    EXPECT_FALSE(W->Truncated());
    // Shown again in a site too short for them all: cut off; one hidden
    // again, the rest fit and the bar says nothing is cut off.
    Bar->ItemLinks()->Items(0)->SetVisible(true);
    Bar->ItemLinks()->Items(1)->SetVisible(true);
    Form->SetClientWidth(Three + 20);
    RunUntilIdle();
    EXPECT_TRUE(W->Truncated());
    EXPECT_FALSE(Placed(3));
    Bar->ItemLinks()->Items(0)->SetVisible(false);
    RunUntilIdle();
    EXPECT_FALSE(W->Truncated());
    for (int I = 1; I < 4; ++I) EXPECT_TRUE(Placed(I)) << I;
}

TEST_F(ToolbarTest, ATooShortBarShowsAsManyRecentlyUsedLinksAsFit) {
    for (int I = 0; I < 4; ++I) AddSized(Bar, 30, 22);
    TdxBarControl* W = Show(Bar, dsTop);
    ASSERT_NE(W, nullptr);
    TdxBarItemLinks* Links = Bar->ItemLinks();
    ASSERT_TRUE(Links->UsesRecentItems());
    ASSERT_TRUE(W->HasMark());
    Links->Items(1)->BringToRecentTop(false);
    Links->Items(3)->BringToRecentTop(false);
    struct Case {
        int Room;
        int Width;
        std::vector<int> Shown;
    } Cases[] = {
        {60, 71, {1, 3}}, {89, 71, {1, 3}}, {90, 101, {0, 1, 3}}, {120, 131, {0, 1, 2, 3}}, {10, 41, {3}},
    };
    for (const Case& C : Cases) {
        cls::TSize Size{};
        W->CalcSize(dsTop, C.Room + TdxBarControl::MarkSize, Size);
        EXPECT_EQ(Size, (cls::TSize{C.Width, 22})) << C.Room;
        std::vector<int> Shown;
        for (int I = 0; I < Links->VisibleItemCount(); ++I) Shown.push_back(Links->VisibleItems(I)->Index());
        EXPECT_EQ(Shown, C.Shown) << C.Room;
    }
}

TEST_F(ToolbarTest, TheMarkAddsItsRoomToTheLengthOfADockedBar) {
    AddSized(Bar, 30, 22);
    AddSized(Bar, 40, 22);
    TdxBarControl* W = Show(Bar, dsTop);
    ASSERT_NE(W, nullptr);
    // The Enhanced style offers quick customization: the mark always shows.
    EXPECT_TRUE(W->HasMark());
    EXPECT_EQ(W->GetMinSize(dsTop), (cls::TSize{41, 22}));
    EXPECT_EQ(W->GetMaxSize(dsTop), (cls::TSize{81, 22}));
    EXPECT_EQ(W->GetMaxSize(dsNone), (cls::TSize{70, 22}));
    Bar->SetAllowQuickCustomizing(false);
    EXPECT_FALSE(W->HasMark());
    EXPECT_EQ(W->GetMaxSize(dsTop), (cls::TSize{70, 22}));
}

// --- The frame ---

TEST_F(ToolbarTest, HitCodesOfAFloatingBarKeepTheCaptionCloseButtonAndMarkForTheHandlers) {
    Manager->SetStyle(bmsFlat);
    AddSized(Bar, 60, 22);
    AddSized(Bar, 60, 22);
    TdxBarControl* W = Show(Bar, dsNone);
    ASSERT_NE(W, nullptr);
    cls::TRect Window;
    win::GetWindowRect(W->Handle(), &Window);
    const int Wd = Window.right - Window.left;
    const int Ht = Window.bottom - Window.top;
    const cls::TRect Caption = W->GetCaptionClientRect();
    const cls::TRect Close = W->GetCloseButtonRect();
    const cls::TRect Mark = W->GetMarkWindowRect();
    ASSERT_FALSE(gfx::IsRectEmpty(&Caption));
    ASSERT_FALSE(gfx::IsRectEmpty(&Close));
    ASSERT_FALSE(gfx::IsRectEmpty(&Mark));
    // Close button, mark and caption text share the caption, right to left.
    EXPECT_EQ(Close.right, Caption.right);
    EXPECT_LE(Mark.right, Close.left);
    struct TCase {
        const char* Where;
        win::POINT At;
        win::LRESULT Result, Kept;
    };
    const TCase Cases[] = {
        {"caption", {Caption.left + 6, (Caption.top + Caption.bottom) / 2}, win::HTCLIENT, win::HTCAPTION},
        {"close button",
         {(Close.left + Close.right) / 2, (Close.top + Close.bottom) / 2},
         win::HTCLIENT,
         win::HTCLOSE},
        {"mark", {(Mark.left + Mark.right) / 2, (Mark.top + Mark.bottom) / 2}, win::HTCLIENT, win::HTCLIENT},
        {"client", {Wd / 2, Ht - 8}, win::HTCLIENT, win::HTCLIENT},
        {"left edge", {0, Ht / 2}, win::HTLEFT, win::HTLEFT},
        {"right edge", {Wd - 1, Ht / 2}, win::HTRIGHT, win::HTRIGHT},
        {"top edge", {Wd / 2, 0}, win::HTTOP, win::HTTOP},
        {"bottom edge", {Wd / 2, Ht - 1}, win::HTBOTTOM, win::HTBOTTOM},
        // A floating bar is never sized by a corner.
        {"top-left corner", {0, 0}, win::HTLEFT, win::HTLEFT},
        {"bottom-right corner", {Wd - 1, Ht - 1}, win::HTRIGHT, win::HTRIGHT},
    };
    for (const TCase& C : Cases) {
        EXPECT_EQ(HitTest(W, AtWindow(W, C.At.x, C.At.y)), C.Result) << C.Where;
        EXPECT_EQ(W->KeptHitTest(), C.Kept) << C.Where;
    }
    // A painter that hits the close button itself reports it; its mark
    // comes first in the caption.
    Manager->SetStyle(bmsEnhanced);
    RunUntilIdle();
    const cls::TRect StandardClose = W->GetCloseButtonRect();
    EXPECT_EQ(HitTest(W, AtWindow(W, (StandardClose.left + StandardClose.right) / 2,
                                  (StandardClose.top + StandardClose.bottom) / 2)),
              win::HTCLOSE);
    EXPECT_EQ(W->GetMarkWindowRect().left, W->GetCaptionClientRect().left);
}

TEST_F(ToolbarTest, ADockedBarDragsByItsGripAndEmptySpaceAndAStatusBarSizesByItsGrip) {
    Bar->SetShowMark(false);
    AddSized(Bar, 30, 22);
    TdxBarControl* W = Show(Bar, dsTop);
    ASSERT_NE(W, nullptr);
    const cls::TPoint Client = W->ClientToScreen(cls::TPoint{0, 0});
    EXPECT_EQ(HitTest(W, win::POINT{Client.x + 5, Client.y + 5}), win::HTCLIENT);
    EXPECT_EQ(W->KeptHitTest(), win::HTCLIENT);
    EXPECT_EQ(HitTest(W, AtWindow(W, 1, 5)), win::HTCLIENT);
    EXPECT_EQ(W->KeptHitTest(), win::HTCAPTION);

    TdxBar* Status = Manager->Bars()->Add();
    Status->SetBorderStyle(bbsNone);
    Status->SetWholeRow(true);
    AddSized(Status, 30, 18);
    TdxBarControl* S = Show(Status, dsBottom);
    ASSERT_NE(S, nullptr);
    ASSERT_TRUE(Status->IsStatusBar());
    cls::TRect Window;
    win::GetWindowRect(S->Handle(), &Window);
    EXPECT_EQ(S->Width(), Form->ClientWidth());
    EXPECT_EQ(HitTest(S, win::POINT{Window.right - 2, Window.bottom - 2}), win::HTBOTTOMRIGHT);
    // The grip takes its room at the right of the client area.
    gfx::SIZE Grip{};
    S->GetPainter()->GetSizeGripSize(Grip);
    EXPECT_EQ(S->ClientWidth(), S->Width() - Grip.cx);

    // Pressing the grip sizes the form by its bottom-right corner.
    const cls::TRect Before = Form->BoundsRect();
    const win::POINT Corner{Window.right - 2, Window.bottom - 2};
    testdrv::MoveToScreen(Corner);
    testdrv::ScriptIdle({[&] {
                             testdrv::MoveToScreen(win::POINT{Corner.x + 40, Corner.y + 30});
                         },
                         [] { testdrv::MouseUp(); }});
    testdrv::MouseDown();
    EXPECT_TRUE(testdrv::IdleScriptDone());
    EXPECT_EQ(Form->BoundsRect(), Rect(Before.left, Before.top, Before.right + 40, Before.bottom + 30));
    EXPECT_EQ(win::GetCapture(), nullptr);
    EXPECT_EQ(S->Width(), Form->ClientWidth());
}

class ToolbarCloseTest : public ToolbarTest, public testing::WithParamInterface<TdxBarManagerStyle> {};

// Enhanced hits the close button itself; Flat keeps the code for its press.
INSTANTIATE_TEST_SUITE_P(Styles, ToolbarCloseTest, testing::Values(bmsEnhanced, bmsFlat));

TEST_P(ToolbarCloseTest, TheCloseButtonRunsItsOwnLoopAndHidesTheBarOnARelease) {
    Manager->SetStyle(GetParam());
    AddSized(Bar, 60, 22);
    TdxBarControl* W = Show(Bar, dsNone);
    ASSERT_NE(W, nullptr);
    std::vector<std::string> Closed;
    struct TLog {
        std::vector<std::string>* Out;
        void BarClose(TdxBarManager*, TdxBar* ABar) { Out->push_back(ABar->Caption()); }
    } Log{&Closed};
    Bar->SetCaption("Tools");
    Manager->SetOnBarClose(TdxBarEvent(&Log, &TLog::BarClose));
    const cls::TRect Close = W->GetCloseButtonRect();
    const win::POINT OnClose = AtWindow(W, (Close.left + Close.right) / 2, (Close.top + Close.bottom) / 2);
    const win::POINT Away = AtWindow(W, Close.left - 30, Close.bottom + 40);

    // Released away from it: nothing happens; the states follow the mouse.
    std::vector<int> States;
    testdrv::MoveToScreen(OnClose);
    testdrv::ScriptIdle({[&] {
                             States.push_back(W->CloseButtonState());
                             testdrv::MoveToScreen(Away);
                         },
                         [&] {
                             States.push_back(W->CloseButtonState());
                             testdrv::MoveToScreen(OnClose);
                         },
                         [&] {
                             States.push_back(W->CloseButtonState());
                             testdrv::MoveToScreen(Away);
                         },
                         [&] { testdrv::MouseUp(); }});
    testdrv::MouseDown();
    EXPECT_TRUE(testdrv::IdleScriptDone());
    EXPECT_EQ(States, (std::vector<int>{2, 1, 2}));
    EXPECT_TRUE(Bar->Visible());
    EXPECT_EQ(W->CloseButtonState(), 0);
    EXPECT_EQ(win::GetCapture(), nullptr);

    // The loop ends when it loses the capture.
    testdrv::MoveToScreen(OnClose);
    testdrv::ScriptIdle({[] { win::ReleaseCapture(); }});
    testdrv::MouseDown();
    testdrv::MouseUp();
    EXPECT_TRUE(Bar->Visible());

    // Released on it: the bar hides and the manager hears of it.
    testdrv::MoveToScreen(OnClose);
    testdrv::ScriptIdle({[] { testdrv::MouseUp(); }});
    testdrv::MouseDown();
    EXPECT_FALSE(Bar->Visible());
    EXPECT_EQ(Bar->Control(), nullptr);
    EXPECT_EQ(Closed, (std::vector<std::string>{"Tools"}));
}

TEST_F(ToolbarTest, ADoubleClickOnTheCaptionDocksAndOnTheGripFloats) {
    TdxBar* Docked = Manager->Bars()->Add();
    AddSized(Docked, 40, 22);
    Show(Docked, dsTop);
    AddSized(Bar, 40, 22);
    Bar->SetFloatLeft(300);
    Bar->SetFloatTop(300);
    TdxBarControl* W = Show(Bar, dsNone);
    ASSERT_NE(W, nullptr);
    const cls::TRect Caption = W->GetCaptionClientRect();
    auto DoubleClick = [](win::POINT AScreen) {
        testdrv::ClickScreen(AScreen);
        testdrv::ClickScreen(AScreen);
    };
    // Refused by the manager: it stays.
    struct TRefuse {
        bool Refuse = true;
        void Docking(TdxBar*, TdxBarDockingStyle, TdxDockControl*, bool& ACanDocking) {
            if (Refuse) ACanDocking = false;
        }
    } Refusal;
    Manager->SetOnDocking(TdxBarCanDockingEvent(&Refusal, &TRefuse::Docking));
    DoubleClick(AtWindow(W, (Caption.left + Caption.right) / 2, (Caption.top + Caption.bottom) / 2));
    EXPECT_EQ(Bar->DockingStyle(), dsNone);
    ASSERT_EQ(Bar->Control(), W);

    // Never docked before: at the top, in a row of its own after the others.
    Refusal.Refuse = false;
    Advance(win::GetDoubleClickTime() + 10);
    DoubleClick(AtWindow(W, (Caption.left + Caption.right) / 2, (Caption.top + Caption.bottom) / 2));
    EXPECT_EQ(Bar->DockingStyle(), dsTop);
    TdxDockControl* Top = Manager->Bars()->DockControls(dsTop);
    ASSERT_EQ(Top->GetRowCount(), 2);
    EXPECT_GE(Top->GetRow(1)->IndexOf(Bar->Control()), 0);

    // Docked: a double click on its grip floats it where it was.
    W = Bar->Control();
    Advance(win::GetDoubleClickTime() + 10);
    DoubleClick(AtWindow(W, 1, W->Height() / 2));
    EXPECT_EQ(Bar->DockingStyle(), dsNone);
    ASSERT_NE(Bar->Control(), nullptr);
    EXPECT_EQ(Bar->Control()->Left(), 300);
    EXPECT_EQ(Bar->Control()->Top(), 300);
}

// --- The mark ---

TEST_F(ToolbarTest, TheHotMarkOfAFloatingBarIsWatchedEveryFiftyMilliseconds) {
    Manager->SetStyle(bmsFlat);
    AddSized(Bar, 60, 22);
    TdxBarControl* W = Show(Bar, dsNone);
    ASSERT_NE(W, nullptr);
    ASSERT_TRUE(W->HasCaptionMark());
    const cls::TRect Mark = W->GetMarkWindowRect();
    testdrv::MoveToScreen(AtWindow(W, (Mark.left + Mark.right) / 2, (Mark.top + Mark.bottom) / 2));
    EXPECT_EQ(W->MarkState(), 1);
    // The cursor leaves without the window hearing of it.
    win::SetCursorPos(900, 700);
    Advance(TdxBarControl::MarkWatchInterval - 10);
    EXPECT_EQ(W->MarkState(), 1);
    Advance(10);
    EXPECT_EQ(W->MarkState(), 0);
}

TEST_F(ToolbarTest, APressOnTheMarkTogglesItsPressedState) {
    AddSized(Bar, 40, 22);
    TdxBarControl* W = Show(Bar, dsTop);
    ASSERT_NE(W, nullptr);
    ASSERT_TRUE(W->HasMark());
    const cls::TRect Mark = W->GetMarkRect();
    testdrv::Click(W->Handle(), testdrv::CentreOf(Mark));
    EXPECT_EQ(W->MarkState(), 2);
    testdrv::Click(W->Handle(), testdrv::CentreOf(Mark));
    EXPECT_EQ(W->MarkState(), 0);
}

// --- Sizing a floating bar ---

TEST_F(ToolbarTest, AFloatingBarIsSizedByItsEdgesToWhatItsLinksNeed) {
    for (int I = 0; I < 6; ++I) AddSized(Bar, 40, 20);
    Bar->SetFloatClientWidth(240);
    TdxBarControl* W = Show(Bar, dsNone);
    ASSERT_NE(W, nullptr);
    const int NCW = Bar->GetNonClientWidth(dsNone);
    const int NCH = Bar->GetNonClientHeight(dsNone);
    EXPECT_EQ(W->Width(), 240 + NCW);
    EXPECT_EQ(W->Height(), 20 + NCH);
    auto Sizing = [&](win::WPARAM AEdge, gfx::RECT R) {
        win::SendMessage(W->Handle(), 0x0214, AEdge, reinterpret_cast<win::LPARAM>(&R));
        return R;
    };
    constexpr win::WPARAM Left = 1, Right = 2, Top = 3, Bottom = 6, BottomRight = 8;
    // The right edge dragged to 130 pixels of client: three links a line.
    EXPECT_EQ(Sizing(Right, gfx::RECT{10, 10, 10 + 130 + NCW, 500}),
              (gfx::RECT{10, 10, 10 + 120 + NCW, 10 + 40 + NCH}));
    // The left edge keeps the right one.
    EXPECT_EQ(Sizing(Left, gfx::RECT{10, 10, 300, 500}),
              (gfx::RECT{300 - 240 - NCW, 10, 300, 10 + 20 + NCH}));
    // The bottom edge asks for a height: the narrowest bar that fits it.
    EXPECT_EQ(Sizing(Bottom, gfx::RECT{10, 10, 400, 10 + 60 + NCH}),
              (gfx::RECT{10, 10, 10 + 80 + NCW, 10 + 60 + NCH}));
    EXPECT_EQ(Sizing(Top, gfx::RECT{10, 10, 400, 10 + 60 + NCH}),
              (gfx::RECT{10, 10, 10 + 80 + NCW, 10 + 60 + NCH}));
    // A corner keeps the window as it is.
    cls::TRect Current;
    win::GetWindowRect(W->Handle(), &Current);
    EXPECT_EQ(Sizing(BottomRight, gfx::RECT{0, 0, 5, 5}), static_cast<gfx::RECT>(Current));
    // Never above 15 pixels over the screen's top.
    EXPECT_EQ(Sizing(Right, gfx::RECT{10, -40, 10 + 240 + NCW, 500}).top, -15);

    win::MINMAXINFO Info{};
    win::SendMessage(W->Handle(), win::WM_GETMINMAXINFO, 0, reinterpret_cast<win::LPARAM>(&Info));
    EXPECT_EQ(Info.ptMinTrackSize.x, 10);
    EXPECT_EQ(Info.ptMaxTrackSize.y, 30000);
}

TEST_F(ToolbarTest, AFloatingBarFollowsItsLinksWithoutLeavingOneOut) {
    for (int I = 0; I < 4; ++I) AddSized(Bar, 40, 20);
    Bar->SetFloatLeft(200);
    Bar->SetFloatTop(150);
    Bar->SetFloatClientWidth(80);
    TdxBarControl* W = Show(Bar, dsNone);
    ASSERT_NE(W, nullptr);
    EXPECT_EQ(W->ClientWidth(), 80);
    EXPECT_EQ(W->ClientHeight(), 40);
    // Two more links: a third line, the width and place kept.
    AddSized(Bar, 40, 20);
    AddSized(Bar, 40, 20);
    RunUntilIdle();
    EXPECT_EQ(W->ClientWidth(), 80);
    EXPECT_EQ(W->ClientHeight(), 60);
    EXPECT_EQ(RectOf(Bar, 5), Rect(40, 40, 80, 60));
    cls::TRect R;
    win::GetWindowRect(W->Handle(), &R);
    EXPECT_EQ(R.left, 200);
    EXPECT_EQ(R.top, 150);
    EXPECT_EQ(Bar->FloatClientHeight(), 60);
    // Fewer links: the lines left over go.
    delete Bar->ItemLinks()->Items(0)->Item();
    delete Bar->ItemLinks()->Items(0)->Item();
    delete Bar->ItemLinks()->Items(0)->Item();
    RunUntilIdle();
    EXPECT_EQ(W->ClientHeight(), 40);
}

TEST_F(ToolbarTest, AFloatingBarMovedOffEveryWorkAreaComesBackToTheOneUnderTheCursor) {
    AddSized(Bar, 40, 20);
    TdxBarControl* W = Show(Bar, dsNone);
    ASSERT_NE(W, nullptr);
    win::RECT Work;
    GetWorkAreaFromPoint(win::POINT{10, 10}, Work);
    testdrv::MoveToScreen(win::POINT{500, 300});
    win::SetWindowPos(W->Handle(), nullptr, 5000, 6000, 0, 0,
                      win::SWP_NOSIZE | win::SWP_NOZORDER | win::SWP_NOACTIVATE);
    cls::TRect R;
    win::GetWindowRect(W->Handle(), &R);
    EXPECT_EQ(R.right, Work.right);
    EXPECT_EQ(R.bottom, Work.bottom);
    win::SetWindowPos(W->Handle(), nullptr, -5000, -6000, 0, 0,
                      win::SWP_NOSIZE | win::SWP_NOZORDER | win::SWP_NOACTIVATE);
    win::GetWindowRect(W->Handle(), &R);
    EXPECT_EQ(R.left, Work.left);
    EXPECT_EQ(R.top, Work.top);
    // Partly on screen is allowed.
    win::SetWindowPos(W->Handle(), nullptr, -20, 100, 0, 0,
                      win::SWP_NOSIZE | win::SWP_NOZORDER | win::SWP_NOACTIVATE);
    win::GetWindowRect(W->Handle(), &R);
    EXPECT_EQ(R.left, -20);
    // The bar remembers where it floats.
    EXPECT_EQ(Bar->FloatLeft(), -20);
    EXPECT_EQ(Bar->FloatTop(), 100);
    EXPECT_EQ(Bar->FloatClientWidth(), W->ClientWidth());
}

// --- What a bar window survives ---

class TClickAction : public cls::TObject {
public:
    std::function<void()> Action;
    void Click(cls::TObject*) {
        if (Action) Action();
    }
};

// A press on a toolbar's button brings the form up before the button holds
// the mouse. With a window over the button that lets the mouse through (as
// shadows do), the toolbar still has the cursor: no WM_MOUSELEAVE comes
// between press and release, and the release clicks.
TEST_F(ToolbarTest, RaisingTheFormUnderAPressLeavesTheToolbarTheMouse) {
    struct TCounter {
        int Clicks = 0;
        void Click(cls::TObject*) { ++Clicks; }
    } Counter;
    AddButton(Bar->ItemLinks(), "Go")->SetOnClick(cls::TNotifyEvent(&Counter, &TCounter::Click));
    TdxBarControl* W = Show(Bar, dsTop);
    ASSERT_NE(W, nullptr);
    testdrv::MoveTo(W->Handle(), testdrv::CentreOf(RectOf(Bar, 0)));
    const cls::TPoint Cursor = CursorPosition();
    win::WNDCLASS Class;
    Class.lpfnWndProc = [](win::HWND H, win::UINT M, win::WPARAM WP, win::LPARAM LP) -> win::LRESULT {
        return M == win::WM_NCHITTEST ? win::HTTRANSPARENT : win::DefWindowProc(H, M, WP, LP);
    };
    Class.lpszClassName = "ToolbarTestGlass";
    win::RegisterClass(&Class);
    const win::HWND Glass =
        win::CreateWindowEx(win::WS_EX_TOPMOST | win::WS_EX_NOACTIVATE, "ToolbarTestGlass", "", win::WS_POPUP,
                            Cursor.x - 5, Cursor.y - 5, 10, 10, nullptr, nullptr, nullptr, nullptr);
    win::ShowWindow(Glass, win::SW_SHOWNA);
    // The mouse moves on the button under the glass.
    testdrv::MoveToScreen(win::POINT{Cursor.x + 1, Cursor.y});
    ASSERT_EQ(win::WindowFromPoint(CursorPosition()), W->Handle());
    ASSERT_TRUE(IsTrackingMouseLeave(W->Handle()));
    testdrv::MessageLog Log{W->Handle()};
    Log.Only({win::WM_LBUTTONDOWN, win::WM_MOUSELEAVE, win::WM_LBUTTONUP});
    testdrv::MouseDown();
    testdrv::MouseUp();
    EXPECT_EQ(Log.Text(), "WM_LBUTTONDOWN WM_LBUTTONUP");
    EXPECT_EQ(Counter.Clicks, 1);
    win::DestroyWindow(Glass);
}

TEST_F(ToolbarTest, ABarDestroyedHiddenOrMovedFromItsOwnCommandLeavesNothingBehind) {
    const gfx::DWORD Objects = GdiObjectCount();
    const int Windows = WindowCount(Form->Handle());
    struct TCase {
        const char* What;
        std::function<void(ToolbarTest*, TdxBar*)> Action;
        bool Survives;
    };
    const TCase Cases[] = {
        {"destroyed", [](ToolbarTest*, TdxBar* ABar) { delete ABar; }, false},
        {"hidden", [](ToolbarTest*, TdxBar* ABar) { ABar->SetVisible(false); }, true},
        {"docked elsewhere", [](ToolbarTest*, TdxBar* ABar) { ABar->SetDockingStyle(dsLeft); }, true},
        {"floated", [](ToolbarTest*, TdxBar* ABar) { ABar->SetDockingStyle(dsNone); }, true},
    };
    for (const TCase& C : Cases) {
        TdxBar* Victim = Manager->Bars()->Add();
        TSizedItem* Item = AddSized(Victim, 40, 22);
        TClickAction Action;
        Action.Action = [&] { C.Action(this, Victim); };
        Item->SetOnClick(cls::TNotifyEvent(&Action, &TClickAction::Click));
        TdxBarControl* W = Show(Victim, dsTop);
        ASSERT_NE(W, nullptr) << C.What;
        testdrv::Click(W->Handle(), testdrv::CentreOf(Victim->ItemLinks()->Items(0)->ItemRect()));
        RunUntilIdle();
        EXPECT_EQ(GetActiveBarControl(), nullptr) << C.What;
        if (C.Survives) delete Victim;
        delete Item;
        RunUntilIdle();
        EXPECT_EQ(WindowCount(Form->Handle()), Windows) << C.What;
        EXPECT_EQ(GdiObjectCount(), Objects) << C.What;
    }
}

TEST_F(ToolbarTest, AFormSqueezedToNothingKeepsItsBarsUsable) {
    AddSized(Bar, 40, 22);
    AddSized(Bar, 40, 22);
    TdxBarControl* W = Show(Bar, dsTop);
    ASSERT_NE(W, nullptr);
    Form->SetBounds(100, 100, 0, 0);
    RunUntilIdle();
    ASSERT_TRUE(IsBarControlAlive(W));
    EXPECT_GE(W->ClientWidth(), 0);
    Form->SetBounds(100, 100, 640, 480);
    RunUntilIdle();
    EXPECT_EQ(RectOf(Bar, 1).right - RectOf(Bar, 0).left, 80);
}

// --- The tear-off of a submenu ---

class ToolbarTearOffTest : public ToolbarTest {
protected:
    void SetUp() override {
        ToolbarTest::SetUp();
        Floating = Manager->Bars()->Add();
        Floating->SetCaption("Colours");
        AddSized(Floating, 40, 22);
        AddSized(Floating, 40, 22);
        Menu = Manager->Bars()->Add();
        Menu->SetShowMark(false);
        Panel = new TdxBarSubItem(Form);
        Panel->SetCaption("Colours");
        Panel->SetDetachable(true);
        Panel->SetDetachingBar(Floating->Index());
        AddButton(Panel->ItemLinks(), "Red");
        AddButton(Panel->ItemLinks(), "Blue");
        Menu->ItemLinks()->Add(Panel);
        MenuWindow = Show(Menu, dsTop);
    }
    // Opens the panel's menu with a click and points at its detach strip.
    TdxBarSubMenuControl* OpenPanel() {
        testdrv::Click(MenuWindow->Handle(), testdrv::CentreOf(Menu->ItemLinks()->Items(0)->ItemRect()));
        auto* Child = dynamic_cast<TdxBarSubMenuControl*>(GetActiveBarControl());
        if (!Child || !Child->Detachable()) {
            ADD_FAILURE() << "the panel's menu did not open";
            return nullptr;
        }
        testdrv::MoveTo(Child->Handle(),
                        win::POINT{Child->Width() / 2, -(Child->GetDetachBarHeight() + 1) / 2});
        EXPECT_TRUE(Child->DetachBarHot());
        return Child;
    }

    TdxBar* Floating = nullptr;
    TdxBar* Menu = nullptr;
    TdxBarSubItem* Panel = nullptr;
    TdxBarControl* MenuWindow = nullptr;
};

TEST_F(ToolbarTearOffTest, DraggingTheStripAwayFloatsTheDetachingBarUnderTheMouse) {
    ASSERT_NE(MenuWindow, nullptr);
    TdxBarSubMenuControl* Child = OpenPanel();
    ASSERT_NE(Child, nullptr);
    const int CaptionMiddle = MenuWindow->GetPainter()->GetCaptionHeight() / 2;
    cls::TRect Placed{};
    testdrv::ScriptIdle({[] {
                             testdrv::MoveToScreen(win::POINT{500, 400});
                         },
                         [] {
                             testdrv::MoveToScreen(win::POINT{520, 420});
                         },
                         [&] {
                             if (TdxBarControl* W = Floating->Control())
                                 win::GetWindowRect(W->Handle(), &Placed);
                             testdrv::MouseUp();
                         }});
    testdrv::MouseDown();
    EXPECT_TRUE(testdrv::IdleScriptDone());
    ASSERT_TRUE(Floating->Visible());
    EXPECT_EQ(Floating->DockingStyle(), dsNone);
    TdxBarControl* W = Floating->Control();
    ASSERT_NE(W, nullptr);
    // First at (x - 100, y - half the caption), then centred on the mouse.
    EXPECT_EQ(Placed.left, 520 - W->Width() / 2);
    EXPECT_EQ(Placed.top, 420 - CaptionMiddle);
    EXPECT_TRUE(win::IsWindowVisible(W->Handle()));
    // The menus it came from closed.
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    EXPECT_FALSE(IsBarControlAlive(Child));
    EXPECT_FALSE(Manager->Detaching());
}

TEST_F(ToolbarTearOffTest, BackToTheStripOrEscapeLeavesTheBarHiddenAndTheMenuOpen) {
    ASSERT_NE(MenuWindow, nullptr);
    for (const bool Escape : {false, true}) {
        SCOPED_TRACE(Escape ? "Escape" : "back to the strip");
        TdxBarSubMenuControl* Child = OpenPanel();
        ASSERT_NE(Child, nullptr);
        const cls::TPoint Strip = CursorPosition();
        testdrv::ScriptIdle({[] {
                                 testdrv::MoveToScreen(win::POINT{500, 400});
                             },
                             [&] {
                                 EXPECT_TRUE(Floating->Visible());
                                 if (Escape)
                                     testdrv::KeyDown(win::VK_ESCAPE);
                                 else
                                     testdrv::MoveToScreen(Strip);
                             }});
        testdrv::MouseDown();
        EXPECT_TRUE(testdrv::IdleScriptDone());
        EXPECT_FALSE(Floating->Visible());
        EXPECT_FALSE(Manager->Detaching());
        // The panel's menu stays open.
        EXPECT_EQ(GetActiveBarControl(), Child);
        if (Escape) testdrv::KeyUp(win::VK_ESCAPE);
        testdrv::MouseUp();
        if (IsBarControlAlive(Child)) Child->CloseAndFree();
        RunUntilIdle();
    }
}

// --- Docked and floating: the two handles of a drag ---

TEST_F(ToolbarTest, WhileMovingTheWindowSwapsBetweenItsDockedAndFloatingHandles) {
    AddSized(Bar, 40, 22);
    AddSized(Bar, 40, 22);
    TdxBarControl* W = Show(Bar, dsTop);
    ASSERT_NE(W, nullptr);
    TdxDockControl* Top = Manager->Bars()->DockControls(dsTop);
    const win::HWND Docked = W->Handle();
    const int Windows = WindowCount(Form->Handle());
    auto MoveTo = [&](TdxBarDockingStyle AStyle) {
        if (W->DockingStyle() != dsNone) Top->RemoveBar(W, nullptr, true);
        {
            TdxBarControlHandleLock Lock(W);
            W->ChangeDocking(AStyle, nullptr);
        }
        if (AStyle != dsNone) Top->InsertBar(W, Top->ClientToScreen(cls::TPoint{0, 0}), true);
        win::ShowWindow(W->Handle(), win::SW_SHOWNA);
        RunUntilIdle();
    };
    W->BeginMoving();
    EXPECT_EQ(Manager->Bars()->MovingBarControl(), W);
    MoveTo(dsNone);
    const win::HWND Floating = W->Handle();
    ASSERT_NE(Floating, Docked);
    EXPECT_TRUE(win::IsWindow(Docked));
    EXPECT_FALSE(win::IsWindowVisible(Docked));
    EXPECT_FALSE(win::GetWindowLongPtr(Floating, win::GWL_STYLE) & win::WS_CHILD);
    EXPECT_EQ(WindowCount(Form->Handle()), Windows + 1);
    // Later changes only swap the two.
    MoveTo(dsTop);
    EXPECT_EQ(W->Handle(), Docked);
    EXPECT_EQ(win::GetParent(Docked), Top->Handle());
    MoveTo(dsNone);
    EXPECT_EQ(W->Handle(), Floating);
    EXPECT_EQ(WindowCount(Form->Handle()), Windows + 1);
    // The window is dragged with its full opacity.
    Bar->SetAlphaBlendValue(128);
    EXPECT_FALSE(win::GetWindowLongPtr(Floating, win::GWL_EXSTYLE) & win::WS_EX_LAYERED);
    // The end of the drag drops the handle not used and stores the place.
    W->EndMoving();
    EXPECT_EQ(Manager->Bars()->MovingBarControl(), nullptr);
    EXPECT_FALSE(win::IsWindow(Docked));
    EXPECT_EQ(WindowCount(Form->Handle()), Windows);
    cls::TRect R;
    win::GetWindowRect(Floating, &R);
    EXPECT_EQ(Bar->FloatLeft(), R.left);
    EXPECT_EQ(Bar->FloatClientWidth(), W->ClientWidth());
    EXPECT_TRUE(win::GetWindowLongPtr(Floating, win::GWL_EXSTYLE) & win::WS_EX_LAYERED);
}

TEST_F(ToolbarTest, ADockSiteWhoseWindowIsMadeAgainTakesItsBarsBack) {
    auto* Placed = new TdxBarDockControl(Form);
    Placed->SetParent(Form);
    Placed->SetBarManager(Manager);
    AddSized(Bar, 40, 22);
    Bar->SetDockControl(Placed);
    Bar->SetVisible(true);
    RunUntilIdle();
    ASSERT_NE(Bar->Control(), nullptr);
    Placed->RecreateWnd();
    RunUntilIdle();
    EXPECT_TRUE(Bar->Visible());
    ASSERT_NE(Bar->Control(), nullptr);
    EXPECT_EQ(win::GetParent(Bar->Control()->Handle()), Placed->Handle());
    EXPECT_EQ(Manager->HiddenBarCount(), 0);
}

// --- Menu mode and keys ---

class ToolbarKeysTest : public ToolbarTest {
protected:
    void SetUp() override {
        ToolbarTest::SetUp();
        Main = Manager->Bars()->Add();
        Main->SetIsMainMenu(true);
        for (const char* Caption : {"&File", "&Edit", "&Help"}) {
            auto* Sub = new TdxBarSubItem(Form);
            Sub->SetCaption(Caption);
            AddButton(Sub->ItemLinks(), std::string("Open ") + Caption);
            Main->ItemLinks()->Add(Sub);
        }
        Print = AddButton(Bar->ItemLinks(), "&Print");
        Print->SetOnClick(cls::TNotifyEvent(&Clicks, &TClickAction::Click));
        Clicks.Action = [this] { ++PrintClicks; };
        MainWindow = Show(Main, dsTop);
        Show(Bar, dsTop);
        win::SetForegroundWindow(Form->Handle());
        RunUntilIdle();
    }
    std::string SelectedCaption() const {
        TdxBarItemControl* C = MainWindow ? MainWindow->SelectedControl() : nullptr;
        return C ? C->GetCaption() : std::string();
    }
    std::string OpenMenu() const {
        auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(GetActiveBarControl());
        TdxBarItemControl* C = Menu ? Menu->SelectedControl() : nullptr;
        return Menu ? "menu:" + (C ? C->GetCaption() : std::string()) : std::string();
    }

    TdxBar* Main = nullptr;
    TdxBarControl* MainWindow = nullptr;
    TdxBarButton* Print = nullptr;
    TClickAction Clicks;
    int PrintClicks = 0;
};

TEST_F(ToolbarKeysTest, AltAloneAndF10TakeTheKeyboardToTheMainMenu) {
    ASSERT_NE(MainWindow, nullptr);
    testdrv::KeyDown(win::VK_MENU);
    testdrv::KeyUp(win::VK_MENU);
    EXPECT_TRUE(MainWindow->IsActive());
    EXPECT_EQ(SelectedCaption(), "&File");
    EXPECT_EQ(Manager->KeyboardBar(), Main);
    EXPECT_EQ(OpenMenu(), "");
    // Moving along does not open menus that were never opened.
    testdrv::PressKey(win::VK_RIGHT);
    EXPECT_EQ(SelectedCaption(), "&Edit");
    EXPECT_EQ(OpenMenu(), "");
    testdrv::PressKey(win::VK_ESCAPE);
    EXPECT_FALSE(MainWindow->IsActive());
    EXPECT_EQ(Manager->KeyboardBar(), nullptr);

    // Alt with another key is not Alt alone.
    testdrv::KeyDown(win::VK_MENU);
    testdrv::PressKey('Q');
    testdrv::KeyUp(win::VK_MENU);
    EXPECT_FALSE(MainWindow->IsActive());

    testdrv::PressKey(win::VK_F10);
    EXPECT_TRUE(MainWindow->IsActive());
    testdrv::PressKey(win::VK_ESCAPE);
    Manager->SetUseF10ForMenu(false);
    testdrv::PressKey(win::VK_F10);
    EXPECT_FALSE(MainWindow->IsActive());
}

TEST_F(ToolbarKeysTest, AnOpenedMenuMakesTheNextSubItemsOpenAsTheSelectionMoves) {
    ASSERT_NE(MainWindow, nullptr);
    // Alt+E opens the menu of Edit with its first entry selected.
    testdrv::KeyDown(win::VK_MENU);
    testdrv::PressKey('E');
    testdrv::KeyUp(win::VK_MENU);
    EXPECT_TRUE(MainWindow->SubMenuMode());
    EXPECT_EQ(OpenMenu(), "menu:Open &Edit");
    // Right in the menu moves the main menu on, and the next menu opens.
    testdrv::PressKey(win::VK_RIGHT);
    EXPECT_EQ(SelectedCaption(), "&Help");
    EXPECT_EQ(OpenMenu(), "menu:Open &Help");
    // Escape closes the menu and ends the opening; the bar keeps the keyboard.
    testdrv::PressKey(win::VK_ESCAPE);
    EXPECT_EQ(OpenMenu(), "");
    EXPECT_FALSE(MainWindow->SubMenuMode());
    EXPECT_TRUE(MainWindow->IsActive());
    testdrv::PressKey(win::VK_LEFT);
    EXPECT_EQ(OpenMenu(), "");
    // Down opens the selected one again.
    testdrv::PressKey(win::VK_DOWN);
    EXPECT_EQ(OpenMenu(), "menu:Open &Edit");
    testdrv::PressKey(win::VK_ESCAPE);
    testdrv::PressKey(win::VK_ESCAPE);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

TEST_F(ToolbarKeysTest, AClickOpensAMenuAndHoveringAnotherSubItemOpensThatOne) {
    ASSERT_NE(MainWindow, nullptr);
    auto Centre = [&](int I) { return testdrv::CentreOf(Main->ItemLinks()->Items(I)->ItemRect()); };
    testdrv::MoveTo(MainWindow->Handle(), Centre(0));
    EXPECT_EQ(OpenMenu(), "");
    testdrv::Click(MainWindow->Handle(), Centre(0));
    EXPECT_EQ(OpenMenu(), "menu:");
    testdrv::MoveTo(MainWindow->Handle(), Centre(2));
    auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(GetActiveBarControl());
    ASSERT_NE(Menu, nullptr);
    EXPECT_EQ(Menu->ItemLinks(),
              static_cast<TdxBarSubItem*>(Main->ItemLinks()->Items(2)->Item())->ItemLinks());
    // A click outside ends it all.
    testdrv::Click(Form->Handle(), win::POINT{300, 300});
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    EXPECT_FALSE(MainWindow->SubMenuMode());
}

TEST_F(ToolbarKeysTest, AltWithAnAcceleratorRunsAToolbarsCommand) {
    testdrv::KeyDown(win::VK_MENU);
    testdrv::PressKey('P');
    testdrv::KeyUp(win::VK_MENU);
    EXPECT_EQ(PrintClicks, 1);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

// --- Edit width sizing ---

class TDesignedForm : public cls::TForm {
    TRESTLE_CLASS(TDesignedForm, cls::TForm)
public:
    explicit TDesignedForm(cls::TComponent* AOwner) : cls::TForm(AOwner) { SetDesigning(true); }
};

TEST_F(ToolbarTest, AnEditsLinkIsSizedByItsEdgeWhileCustomizing) {
    auto* Designed = new TDesignedForm(nullptr);
    Designed->SetBounds(750, 100, 260, 300);
    Designed->Show();
    auto* DesignManager = new TdxBarManager(Designed);
    TdxBar* Edits = DesignManager->Bars()->Add();
    auto* Item = new TSizedItem(Designed);
    Item->ItemWidth = 60;
    Edits->ItemLinks()->Add(Item);
    TSizedControl::WidthSizable = true;
    // The form's own dock sites do not show while it is designed.
    auto* Placed = new TdxBarDockControl(Designed);
    Placed->SetParent(Designed);
    Placed->SetBarManager(DesignManager);
    Edits->SetDockControl(Placed);
    Edits->SetVisible(true);
    // Without a designer, the designed form shows only when told so.
    win::ShowWindow(Designed->Handle(), win::SW_SHOWNA);
    win::ShowWindow(Placed->Handle(), win::SW_SHOWNA);
    RunUntilIdle();
    TdxBarControl* W = Edits->Control();
    ASSERT_NE(W, nullptr);
    ASSERT_TRUE(W->IsCustomizing());
    TdxBarItemLink* Link = Edits->ItemLinks()->Items(0);
    const cls::TRect R = Link->ItemRect();
    // Three pixels inside the right edge: the sizing cursor.
    ASSERT_TRUE(win::IsWindowVisible(W->Handle()));
    testdrv::MoveTo(W->Handle(), win::POINT{R.right - 3, (R.top + R.bottom) / 2});
    EXPECT_EQ(win::GetCursor(), cls::Screen->Cursors(crdxBarEditSizing));
    testdrv::MouseDown();
    testdrv::MoveTo(W->Handle(), win::POINT{R.right + 17, (R.top + R.bottom) / 2});
    testdrv::MouseUp();
    // From the fixed left edge to the mouse, less the caption.
    EXPECT_EQ(Link->UserWidth(), R.right + 17 - R.left - 10);
    EXPECT_EQ(win::GetCapture(), nullptr);
    delete Designed;
}

// --- The main menu's MDI buttons ---

// A main menu bar of a form whose MDI child is maximized.
class TMDIToolbar : public TdxBarControl {
public:
    using TdxBarControl::TdxBarControl;
    bool HasMDIButtons() const override { return true; }
    bool HasMDISystemMenu() const override { return SystemMenu; }
    win::HWND GetActiveMDIChildHandle() const override { return Child; }
    bool SystemMenu = true;
    win::HWND Child = nullptr;
};

TEST_F(ToolbarTest, TheMDIButtonsSitAtTheEndOfTheMainMenusLastRowAndCommandTheChild) {
    Bar->SetIsMainMenu(true);
    AddSized(Bar, 30, 22);
    AddSized(Bar, 30, 22);
    auto* W = new TMDIToolbar(Manager, Bar);
    ASSERT_EQ(Show(Bar, dsTop), W);
    const int BW = win::GetSystemMetrics(win::SM_CXMENUSIZE) - 2;
    const int BH = win::GetSystemMetrics(win::SM_CYMENUSIZE) - 4;
    EXPECT_EQ(W->MDIButtonWidth(), BW);
    EXPECT_EQ(W->MDIButtonHeight(), BH);
    const int End = W->ClientWidth();
    const int Top = (W->ClientHeight() - BH) / 2;
    EXPECT_EQ(W->GetMDIButtonRect(0), Rect(End - 3 * BW - 2, Top, End - 2 * BW - 2, Top + BH));
    EXPECT_EQ(W->GetMDIButtonRect(1), Rect(End - 2 * BW - 2, Top, End - BW - 2, Top + BH));
    EXPECT_EQ(W->GetMDIButtonRect(2), Rect(End - BW, Top, End, Top + BH));

    // A press followed to its release over the same button commands the child.
    cls::TForm Child(nullptr);
    Child.SetBounds(700, 500, 100, 100);
    Child.Show();
    W->Child = Child.Handle();
    testdrv::MessageLog Commands{Child.Handle()};
    Commands.Only({win::WM_SYSCOMMAND});
    testdrv::Click(W->Handle(), testdrv::CentreOf(W->GetMDIButtonRect(0)));
    ASSERT_EQ(Commands.Count(win::WM_SYSCOMMAND), 1);
    EXPECT_EQ(Commands.Entries()[0].wParam, win::SC_MINIMIZE);
    testdrv::MoveTo(W->Handle(), testdrv::CentreOf(W->GetMDIButtonRect(1)));
    testdrv::MouseDown();
    testdrv::MoveTo(W->Handle(), testdrv::CentreOf(W->GetMDIButtonRect(2)));
    testdrv::MouseUp();
    EXPECT_EQ(Commands.Count(win::WM_SYSCOMMAND), 1);
    EXPECT_EQ(win::GetCapture(), nullptr);

    // Without a system menu only the close button shows; it tells the manager.
    W->SystemMenu = false;
    W->RepaintBar();
    EXPECT_EQ(W->GetMDIButtonRect(0), cls::TRect{});
    EXPECT_EQ(W->GetMDIButtonRect(2), Rect(End - BW, Top, End, Top + BH));
    int CloseClicks = 0;
    TClickAction Counter;
    Counter.Action = [&] { ++CloseClicks; };
    Manager->SetOnCloseButtonClick(cls::TNotifyEvent(&Counter, &TClickAction::Click));
    testdrv::Click(W->Handle(), testdrv::CentreOf(W->GetMDIButtonRect(2)));
    EXPECT_EQ(CloseClicks, 1);
    EXPECT_EQ(Commands.Count(win::WM_SYSCOMMAND), 1);
}

// --- Pictures ---

TEST_F(ToolbarTest, EveryStyleDrawsTheFramesOfDockedFloatingAndStatusBars) {
    const std::pair<TdxBarManagerStyle, const char*> Styles[] = {
        {bmsStandard, "standard"}, {bmsEnhanced, "enhanced"}, {bmsFlat, "flat"}, {bmsOffice11, "office11"}};
    TdxBar* Main = Manager->Bars()->Add();
    Main->SetIsMainMenu(true);
    for (const char* Caption : {"&File", "&Edit", "&View", "&Help"}) {
        auto* Sub = new TdxBarSubItem(Form);
        Sub->SetCaption(Caption);
        AddButton(Sub->ItemLinks(), "Item");
        Main->ItemLinks()->Add(Sub);
    }
    for (const char* Caption : {"&New", "&Open"}) AddButton(Bar->ItemLinks(), Caption);
    AddButton(Bar->ItemLinks(), "&Save", true);
    TdxBar* Left = Manager->Bars()->Add();
    AddButton(Left->ItemLinks(), "Cut");
    AddButton(Left->ItemLinks(), "Copy", true);
    TdxBar* Float = Manager->Bars()->Add();
    Float->SetCaption("Floating");
    for (const char* Caption : {"One", "Two"}) AddButton(Float->ItemLinks(), Caption);
    AddButton(Float->ItemLinks(), "Three", true);
    Float->SetFloatLeft(350);
    Float->SetFloatTop(300);
    TdxBar* Status = Manager->Bars()->Add();
    Status->SetBorderStyle(bbsNone);
    Status->SetWholeRow(true);
    AddButton(Status->ItemLinks(), "Ready");
    Show(Main, dsTop);
    Show(Bar, dsTop);
    Show(Left, dsLeft);
    TdxBarControl* F = Show(Float, dsNone);
    TdxBarControl* S = Show(Status, dsBottom);
    ASSERT_NE(F, nullptr);
    ASSERT_NE(S, nullptr);
    for (const auto& [Style, Name] : Styles) {
        Manager->SetStyle(Style);
        RunUntilIdle();
        testdrv::Snapshot(std::string("out/toolbar_") + Name + ".png");
        // The floating caption, its close button and the status bar's grip
        // are drawn: each stands out from what surrounds it.
        const gfx::HDC DC = win::GetWindowDC(F->Handle());
        const cls::TRect Caption = F->GetCaptionClientRect();
        const cls::TRect Close = F->GetCloseButtonRect();
        const cls::TPoint Client = F->ClientToScreen(cls::TPoint{0, 0});
        cls::TRect Window;
        win::GetWindowRect(F->Handle(), &Window);
        const gfx::COLORREF CaptionPixel =
            gfx::GetPixel(DC, (Caption.left + Close.left) / 2, Caption.top + 1);
        const gfx::COLORREF ClientPixel =
            gfx::GetPixel(DC, Client.x - Window.left + F->ClientWidth() - 1, Client.y - Window.top + 1);
        EXPECT_NE(CaptionPixel, ClientPixel) << Name;
        int CrossPixels = 0;
        for (int X = Close.left; X < Close.right; ++X)
            for (int Y = Close.top; Y < Close.bottom; ++Y)
                CrossPixels += gfx::GetPixel(DC, X, Y) != CaptionPixel;
        EXPECT_GT(CrossPixels, 8) << Name;
        win::ReleaseDC(F->Handle(), DC);
        EXPECT_FALSE(S->HasMark()) << Name;
    }
}

} // namespace
} // namespace bars::test
