// The manager's style: which painter each style and look-and-feel gives,
// the metrics the manager caches from it, and open windows following a
// change of style, look-and-feel or theme.
#include <gtest/gtest.h>

#include <string>

#include "bars/painters/xp_painter.h"
#include "bars/shadow.h"
#include "painter_fixture.h"
#include "support/driver.h"
#include "win/driver.h"
#include "win/theme.h"

namespace {

using namespace bars;
using namespace bars::test;
using testdrv::RunUntilIdle;

// Enhanced whose menus cast a shadow.
class TShadowPainter : public TdxBarItemControlEnhancedPainter {
public:
    static TdxBarItemControlPainterClass Class() {
        static const TShadowPainter Painter;
        return &Painter;
    }
    bool GetBarWindowFlagA(TCustomdxBarControl*) const override { return true; }

protected:
    TShadowPainter() = default;
};

// And taller menu entries.
class TTallPainter : public TShadowPainter {
public:
    static TdxBarItemControlPainterClass Class() {
        static const TTallPainter Painter;
        return &Painter;
    }
    void GetMenuMetrics(TdxBarSubMenuControl* AMenu, int& AItemHeight, int& AM1, int& AExpandHeight,
                        int& AM2) const override {
        TShadowPainter::GetMenuMetrics(AMenu, AItemHeight, AM1, AExpandHeight, AM2);
        AItemHeight += 6;
    }

protected:
    TTallPainter() = default;
};

class StyleTest : public test::TrayMenuTest {
protected:
    // The screen row through the etched line above Выход: 's' where it
    // shows its shadow, '.' elsewhere, across the entry's width.
    std::string SeparatorRow(TdxBarSubMenuControl* AMenu) {
        const cls::TRect Quit = AMenu->GetItemControlScreenRect(ControlOf("В&ыход"));
        const int Height = AMenu->GetPainter()->GetMenuSeparatorHeight(AMenu);
        const int Y = Quit.top - Height + (Height - 2) / 2;
        std::string Row;
        for (int X = Quit.left; X < Quit.right; ++X)
            Row += win::ScreenPixel(win::POINT{X, Y}) == gfx::GetSysColor(gfx::COLOR_BTNSHADOW) ? 's' : '.';
        return Row;
    }
    // The inset of the etched line from the left and the right of the entry.
    std::pair<int, int> SeparatorInsets(TdxBarSubMenuControl* AMenu) {
        const std::string Row = SeparatorRow(AMenu);
        const auto First = Row.find('s'), Last = Row.rfind('s');
        if (First == std::string::npos) return {-1, -1};
        return {static_cast<int>(First), static_cast<int>(Row.size() - 1 - Last)};
    }
};

// --- The painter of a style ---

TEST_F(StyleTest, EachStyleHasItsPainter) {
    struct TCase {
        TdxBarManagerStyle Style;
        TdxBarItemControlPainterClass Painter;
        bool NonStandard;
    };
    // Without a theme engine the XP style draws like the Enhanced one.
    const TCase Cases[] = {
        {bmsStandard, Standard(), false}, {bmsEnhanced, Enhanced(), true}, {bmsFlat, Flat(), true},
        {bmsXP, Enhanced(), true},        {bmsOffice11, Office11(), true},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Style);
        Manager->SetStyle(C.Style);
        EXPECT_EQ(Manager->PainterClass(), C.Painter);
        EXPECT_EQ(Manager->IsNonStandardStyle(), C.NonStandard);
        EXPECT_EQ(Manager->IsFlatStyle(), C.Style == bmsFlat);
    }
    // With visual styles the XP style has a painter of its own, and follows
    // the theme as it is switched off and on.
    Manager->SetStyle(bmsXP);
    win::SetTheme(win::ThemeScheme::Blue);
    RunUntilIdle();
    EXPECT_TRUE(Manager->ThemeAvailable());
    EXPECT_EQ(Manager->PainterClass(), TdxBarItemControlXPPainter::Class());
    win::SetTheme(win::ThemeScheme::Classic);
    EXPECT_EQ(Manager->PainterClass(), Enhanced());
}

TEST_F(StyleTest, UseLookAndFeelFollowsItsKind) {
    Manager->SetStyle(bmsUseLookAndFeel);
    lf::TcxLookAndFeel* LookAndFeel = Manager->LookAndFeel();
    struct TCase {
        lf::TcxLookAndFeelKind Kind;
        TdxBarManagerStyle Effective;
    };
    const TCase Cases[] = {{lf::lfStandard, bmsStandard},
                           {lf::lfFlat, bmsEnhanced},
                           {lf::lfUltraFlat, bmsFlat},
                           {lf::lfOffice11, bmsOffice11}};
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Kind);
        LookAndFeel->SetKind(C.Kind);
        EXPECT_EQ(GetEffectiveStyle(Manager), C.Effective);
        EXPECT_EQ(Manager->PainterClass(), GetPainterClassOfStyle(C.Effective, false));
        EXPECT_EQ(Manager->IsNonStandardStyle(), C.Effective != bmsStandard);
        EXPECT_FALSE(Manager->IsFlatStyle());
    }
    LookAndFeel->SetKind(lf::lfStandard);
    EXPECT_EQ(Manager->PainterClass(), Standard());
    // A native look needs a theme that can draw; without one the kind decides.
    LookAndFeel->SetNativeStyle(true);
    EXPECT_EQ(Manager->PainterClass(), Standard());
    win::SetTheme(win::ThemeScheme::Olive);
    EXPECT_EQ(GetEffectiveStyle(Manager), bmsXP);
    EXPECT_EQ(Manager->PainterClass(), TdxBarItemControlXPPainter::Class());
    EXPECT_FALSE(Manager->IsFlatStyle());
}

TEST_F(StyleTest, CachedMetricsFollowTheStyle) {
    struct TCase {
        TdxBarManagerStyle Style;
        int GripIndent, DragZone, SeparatorIndent, ArrowWidth;
    };
    const TCase Cases[] = {{bmsStandard, 2, 9, 2, 11},
                           {bmsEnhanced, 1, 6, 12, 11},
                           {bmsFlat, 1, 6, 8, 10},
                           {bmsOffice11, 3, 8, 8, 10},
                           {bmsStandard, 2, 9, 2, 11}};
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Style);
        Manager->SetStyle(C.Style);
        EXPECT_EQ(Manager->GripIndent(), C.GripIndent);
        EXPECT_EQ(Manager->DragZoneSize(), C.DragZone);
        EXPECT_EQ(Manager->MenuSeparatorIndent(), C.SeparatorIndent);
        EXPECT_EQ(Manager->GetBarDragHandleSize(Bar), C.DragZone);
        EXPECT_EQ(Manager->DropDownArrowWidth(), C.ArrowWidth);
        // Every style keeps the button cell: a 16-pixel image and its margins.
        EXPECT_EQ(Manager->ButtonWidth(), 23);
        EXPECT_EQ(Manager->ButtonHeight(), 22);
    }
    Bar->SetNotDocking(AllDockingStyles);
    EXPECT_EQ(Manager->GetBarDragHandleSize(Bar), 0);
}

// --- Open windows follow ---

TEST_F(StyleTest, ChangingTheStyleRepaintsAnOpenMenu) {
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    EXPECT_EQ(SeparatorInsets(Menu), std::make_pair(12, 12));
    Manager->SetStyle(bmsStandard);
    RunUntilIdle();
    EXPECT_EQ(SeparatorInsets(Menu), std::make_pair(2, 2));
    Manager->SetStyle(bmsEnhanced);
    RunUntilIdle();
    EXPECT_EQ(SeparatorInsets(Menu), std::make_pair(12, 12));
}

TEST_F(StyleTest, AnOpenMenuTakesTheNewPaintersMetricsAndFrame) {
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    const int ItemHeight = Menu->TextHeight();
    const int Height = Menu->Height();
    const cls::TRect Quit = Menu->GetItemControlScreenRect(ControlOf("В&ыход"));
    EXPECT_FALSE(Menu->Shadow()->Visible());
    // The same size with a shadow.
    Manager->UsePainter(TShadowPainter::Class());
    RunUntilIdle();
    EXPECT_EQ(Menu->Height(), Height);
    EXPECT_TRUE(Menu->Shadow()->Visible());

    Manager->UsePainter(TTallPainter::Class());
    RunUntilIdle();
    EXPECT_EQ(Menu->TextHeight(), ItemHeight + 6);
    EXPECT_EQ(Menu->Height(), Height + 3 * 6);
    EXPECT_EQ(Menu->GetItemControlScreenRect(ControlOf("В&ыход")).top, Quit.top + 2 * 6);
    EXPECT_TRUE(Menu->Shadow()->Visible());
    // The entries are drawn where the new layout put them.
    EXPECT_EQ(SeparatorInsets(Menu), std::make_pair(12, 12));

    Manager->UsePainter(Standard());
    RunUntilIdle();
    EXPECT_EQ(Menu->TextHeight(), ItemHeight);
    EXPECT_EQ(Menu->Height(), Height);
    EXPECT_FALSE(Menu->Shadow()->Visible());
}

TEST_F(StyleTest, AnOpenMenuTurnsFlat) {
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    const int ItemHeight = Menu->TextHeight();
    const int Height = Menu->Height();
    Manager->SetStyle(bmsFlat);
    RunUntilIdle();
    // Flat menus are one pixel taller per entry, their entries two more,
    // and they cast a shadow.
    EXPECT_EQ(Menu->TextHeight(), ItemHeight + 1);
    for (const char* Caption : {"&Открыть", "&Справка", "В&ыход"}) {
        const cls::TRect R = FindLink(Caption)->ItemRect();
        EXPECT_EQ(R.bottom - R.top, ItemHeight + 3) << Caption;
    }
    EXPECT_GT(Menu->Height(), Height);
    EXPECT_TRUE(Menu->Shadow()->Visible());
    Manager->SetStyle(bmsEnhanced);
    RunUntilIdle();
    EXPECT_EQ(Menu->TextHeight(), ItemHeight);
    EXPECT_EQ(Menu->Height(), Height);
    EXPECT_FALSE(Menu->Shadow()->Visible());
}

TEST_F(StyleTest, LookAndFeelAndThemeChangesReachOpenMenus) {
    Manager->SetStyle(bmsUseLookAndFeel);
    Manager->LookAndFeel()->SetKind(lf::lfStandard);
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    EXPECT_EQ(SeparatorInsets(Menu), std::make_pair(2, 2));
    Manager->LookAndFeel()->SetKind(lf::lfFlat);
    RunUntilIdle();
    EXPECT_EQ(SeparatorInsets(Menu), std::make_pair(12, 12));

    // Any change of the look-and-feel or of the theme applies the style
    // again: the open menu takes a new frame and repaints, even when the
    // painter stays.
    Manager->SetStyle(bmsStandard);
    RunUntilIdle();
    testdrv::MessageLog Log{Menu->Handle()};
    Log.Only({win::WM_NCCALCSIZE, win::WM_PAINT});
    Manager->LookAndFeel()->SetKind(lf::lfOffice11);
    RunUntilIdle();
    EXPECT_EQ(Manager->PainterClass(), Standard());
    EXPECT_EQ(Log.Count(win::WM_NCCALCSIZE), 1);
    EXPECT_GE(Log.Count(win::WM_PAINT), 1);
    Log.Clear();
    win::SetReportedTheme(true, "LUNA.MSSTYLES", "NORMALCOLOR");
    RunUntilIdle();
    EXPECT_EQ(Log.Count(win::WM_NCCALCSIZE), 1);
    EXPECT_GE(Log.Count(win::WM_PAINT), 1);
    EXPECT_EQ(SeparatorInsets(Menu), std::make_pair(2, 2));
}

TEST_F(StyleTest, StyleChangesLeaveNoDrawingObjectsBehind) {
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    Hover("&Справка");
    RunUntilIdle();
    const gfx::DWORD Before = test::GdiObjectCount();
    for (int I = 0; I < 3; ++I)
        for (TdxBarManagerStyle Style : {bmsStandard, bmsXP, bmsEnhanced}) {
            Manager->SetStyle(Style);
            RunUntilIdle();
        }
    EXPECT_EQ(test::GdiObjectCount(), Before);
    EXPECT_TRUE(IsBarControlAlive(Menu));
}

// --- The tray menu in the classic styles ---

TEST_F(StyleTest, TrayMenuInTheClassicStyles) {
    for (const auto& [Style, Name] :
         {std::pair{bmsStandard, "standard"}, std::pair{bmsEnhanced, "enhanced"}}) {
        SCOPED_TRACE(Name);
        Manager->SetStyle(Style);
        TdxBarSubMenuControl* Menu = ShowMenu(Links);
        Hover("&Открыть");
        cls::TRect Window;
        win::GetWindowRect(Menu->Handle(), &Window);
        gfx::InflateRect(&Window, 8, 8);
        win::SnapshotRect(Window, std::string("out/tray_") + Name + ".png");

        // The hot entry is highlighted from its left edge to its right, the
        // others keep the menu's face.
        const cls::TRect Open = Menu->GetItemControlScreenRect(ControlOf("&Открыть"));
        const cls::TRect Help = Menu->GetItemControlScreenRect(ControlOf("&Справка"));
        const gfx::COLORREF Highlight = gfx::GetSysColor(gfx::COLOR_HIGHLIGHT);
        for (int X : {Open.left, Open.left + (Open.bottom - Open.top), Open.right - 1})
            EXPECT_EQ(win::ScreenPixel(win::POINT{X, Open.top + 1}), Highlight);
        EXPECT_EQ(win::ScreenPixel(win::POINT{Help.left + 1, Help.top + 1}),
                  gfx::GetSysColor(gfx::COLOR_BTNFACE));
        // The sub item's arrow points right near the entry's end.
        bool Arrow = false;
        for (int X = Help.right - (Help.bottom - Help.top); X < Help.right; ++X)
            Arrow |= win::ScreenPixel(win::POINT{X, (Help.top + Help.bottom) / 2}) ==
                     gfx::GetSysColor(gfx::COLOR_BTNTEXT);
        EXPECT_TRUE(Arrow);
        Menu->CloseAndFree();
        RunUntilIdle();
    }
}

} // namespace
