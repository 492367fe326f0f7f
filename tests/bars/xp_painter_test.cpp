// The XP painter under visual styles: real bars in the top and bottom dock
// sites (the rebar background drawn once per size, the etched row lines),
// the themed parts of buttons and progress bars, its metrics from the theme,
// and the theme switched while a toolbar and a menu are open.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "bars/bars.h"
#include "bars/dockcontrol.h"
#include "bars/painters/xp_painter.h"
#include "bars/popupmenu.h"
#include "bars/submenu.h"
#include "bars/toolbar.h"
#include "classes/graphics.h"
#include "painter_fixture.h"
#include "support/driver.h"
#include "win/driver.h"

namespace bars::test {
namespace {

using testdrv::RunUntilIdle;

TdxBarItemControlPainterClass XP() {
    return TdxBarItemControlXPPainter::Class();
}

bool Near(COLORREF A, COLORREF B) {
    for (int Shift : {0, 8, 16})
        if (std::abs(static_cast<int>((A >> Shift) & 0xFF) - static_cast<int>((B >> Shift) & 0xFF)) > 8)
            return false;
    return true;
}

constexpr COLORREF BlueFace = RGB(236, 233, 216);
constexpr COLORREF SilverFace = RGB(224, 223, 227);

class XPPainterTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        win::SetTheme(win::ThemeScheme::Blue);
        Manager->SetStyle(bmsXP);
        Form->SetBounds(20, 20, 400, 300);
        Form->Show();
        RunUntilIdle();
    }
    TdxBar* AddBar(const std::string& ACaption, TdxBarDockingStyle AStyle, int ARow,
                   TdxBarBorderStyle ABorder) {
        TdxBar* B =
            ARow == 0 && AStyle == dsTop && Bar->ItemLinks()->Count() == 0 ? Bar : Manager->Bars()->Add();
        B->SetCaption(ACaption);
        for (int I = 0; I < 3; ++I) {
            auto* Button = new TdxBarButton(Form);
            Button->SetCaption(ACaption + std::to_string(I));
            B->ItemLinks()->Add(Button);
        }
        B->SetBorderStyle(ABorder);
        B->SetRow(ARow);
        B->SetOneOnRow(true);
        B->SetDockingStyle(AStyle);
        B->SetVisible(true);
        RunUntilIdle();
        return B;
    }
    TdxDockControl* Site(TdxBarDockingStyle AStyle) const { return Manager->Bars()->DockControls(AStyle); }
    static COLORREF SitePixel(TdxDockControl* ADock, int X, int Y) {
        return win::ScreenPixel(ADock->ClientToScreen({X, Y}));
    }
    TdxBarButtonControl* ButtonOf(TdxBar* ABar, int AIndex) {
        return dynamic_cast<TdxBarButtonControl*>(ABar->ItemLinks()->Items(AIndex)->Control());
    }
};

TEST_F(XPPainterTest, MetricsComeFromTheTheme) {
    EXPECT_EQ(Manager->PainterClass(), XP());
    EXPECT_EQ(XP()->GetGripSize(), 5);
    EXPECT_EQ(XP()->GetDragZoneSize(), 7);
    EXPECT_EQ(XP()->GetSeparatorSize(), 6);
    EXPECT_EQ(XP()->GetSeparatorLineOffset(), 2);
    EXPECT_EQ(XP()->GetButtonHeightExtra(), 6);
    EXPECT_EQ(XP()->GetButtonWidthExtra(), 6);
    EXPECT_EQ(XP()->GetEditHeightExtra(), 7);
    EXPECT_EQ(XP()->GetDropDownButtonWidth(5), 16);
    EXPECT_EQ(XP()->GetProgressMinHeight(), 12);
    EXPECT_EQ(XP()->GetMenuSeparatorHeight(nullptr), 6);
    EXPECT_EQ(XP()->GetSizeGripBandHeight(), 17);
    EXPECT_EQ(gfx::ColorToRGB(XP()->GetProgressBarColor()), RGB(40, 190, 40));
    gfx::SIZE Close{};
    XP()->GetCloseButtonSize(Close);
    EXPECT_EQ(Close.cx, 13);
    // The manager's toolbar brush is the theme's bar fill.
    gfx::LOGBRUSH LB{};
    ASSERT_NE(gfx::GetObject(Manager->XPToolbarBrush(), sizeof LB, &LB), 0);
    EXPECT_EQ(LB.lbColor, BlueFace);
}

// The first row of a top site has no light line above it and its last row no
// dark line below; between them each row is etched; a row of borderless bars
// gets no lines; the last row of a bottom site has no dark line.
TEST_F(XPPainterTest, DockRowsAreEtchedExceptAtTheSiteEdges) {
    AddBar("A", dsTop, 0, bbsSingle);
    AddBar("B", dsTop, 1, bbsSingle);
    AddBar("C", dsBottom, 0, bbsNone);
    AddBar("D", dsBottom, 1, bbsSingle);
    TdxDockControl* Top = Site(dsTop);
    TdxDockControl* Bottom = Site(dsBottom);
    ASSERT_EQ(Top->GetRowCount(), 2);
    ASSERT_EQ(Bottom->GetRowCount(), 2);
    cls::TRect Row0, Row1, Low0, Low1;
    Top->GetRowRect(0, Row0);
    Top->GetRowRect(1, Row1);
    Bottom->GetRowRect(0, Low0);
    Bottom->GetRowRect(1, Low1);
    const int X = Top->ClientWidth() - 3; // right of the bars
    const COLORREF Light = SysRGB(gfx::COLOR_BTNHIGHLIGHT), Dark = SysRGB(gfx::COLOR_BTNSHADOW);
    EXPECT_EQ(SitePixel(Top, X, Row0.top), BlueFace);
    EXPECT_EQ(SitePixel(Top, X, Row0.bottom - 1), Dark);
    EXPECT_EQ(SitePixel(Top, X, Row1.top), Light);
    EXPECT_EQ(SitePixel(Top, X, Row1.bottom - 1), BlueFace);
    EXPECT_EQ(SitePixel(Bottom, X, Low0.top), BlueFace);
    EXPECT_EQ(SitePixel(Bottom, X, Low0.bottom - 1), BlueFace);
    EXPECT_EQ(SitePixel(Bottom, X, Low1.top), Light);
    EXPECT_EQ(SitePixel(Bottom, X, Low1.bottom - 1), BlueFace);
}

TEST_F(XPPainterTest, AResizedDockSiteRedrawsItsBackgroundOnce) {
    AddBar("A", dsTop, 0, bbsSingle);
    TdxDockControl* Top = Site(dsTop);
    cls::TBitmap* Cache = Top->BackgroundCache();
    ASSERT_FALSE(Cache->Empty());
    EXPECT_EQ(Cache->Width(), Top->ClientWidth());
    // A mark in the cached picture survives repaints: the rebar is not drawn again.
    gfx::SetPixel(Cache->Canvas()->Handle(), Cache->Width() - 1, 0, RGB(255, 0, 0));
    Top->Invalidate();
    RunUntilIdle();
    EXPECT_EQ(SitePixel(Top, Top->ClientWidth() - 1, 0), RGB(255, 0, 0));
    Form->SetBounds(20, 20, 500, 300);
    RunUntilIdle();
    EXPECT_EQ(Cache->Width(), Top->ClientWidth());
    EXPECT_EQ(SitePixel(Top, 399, 0), BlueFace);
    gfx::SetPixel(Cache->Canvas()->Handle(), Cache->Width() - 1, 0, RGB(255, 0, 0));
    Top->Invalidate();
    RunUntilIdle();
    EXPECT_EQ(SitePixel(Top, Top->ClientWidth() - 1, 0), RGB(255, 0, 0));
}

// Glyph frames: a hot button is a themed face, a disabled one shows nothing
// even when hot; with the theme gone between the choice of painter and the
// paint nothing is drawn.
TEST_F(XPPainterTest, GlyphFramesAndAThemeGoneBeforeThePaint) {
    TdxBar* B = AddBar("A", dsTop, 0, bbsSingle);
    TdxBarButtonControl* Control = ButtonOf(B, 0);
    ASSERT_NE(Control, nullptr);
    auto Frame = [&](bool AEnabled, bool ASelected, bool APressed) {
        DibDC S(23, 22, Green);
        TdxBarPaintState State;
        State.Enabled = AEnabled;
        State.Selected = ASelected;
        State.Pressed = APressed;
        const RECT All{0, 0, 23, 22};
        XP()->DrawGlyphFrame(Control, S.dc(), ptHorz, State, All, true, false,
                             gfx::GetSysColorBrush(gfx::COLOR_BTNFACE));
        return std::make_pair(S.At(11, 0), S.At(11, 11));
    };
    // Hot: a light face with a border; pressed: a darker border.
    const auto Hot = Frame(true, true, false);
    EXPECT_EQ(Hot.first, RGB(206, 204, 190));
    EXPECT_EQ(Frame(true, true, true).first, RGB(160, 157, 142));
    // Disabled (state 4 even when hot): the bar shows through.
    const auto Disabled = Frame(false, true, false);
    EXPECT_NE(Disabled.first, Hot.first);
    EXPECT_EQ(Disabled.first, Disabled.second);

    win::SetReportedTheme(false, nullptr, nullptr);
    DibDC S(23, 22, Green);
    TdxBarPaintState State;
    State.Selected = true;
    XP()->DrawToolbarSeparator(nullptr, S.dc(), RECT{0, 0, 6, 22}, true);
    XP()->DrawCloseButton(nullptr, S.dc(), RECT{0, 0, 13, 13}, 1);
    EXPECT_EQ(CountColor(S, Green), 23 * 22 - 6 * 22);
    EXPECT_EQ(XP()->GetGripSize(), TdxBarItemControlPainter::Class()->GetGripSize());
}

TEST_F(XPPainterTest, ProgressBarsFillTheirContentWithChunks) {
    struct Case {
        int Min, Max, Position, Orientation;
        bool Solid;
        int ChunkPixels;
    };
    // 100 x 12: content 94 x 8 from (3, 2); a vertical 12 x 100 bar fills from its top.
    for (const Case& C :
         {Case{0, 100, 50, 1, false, 0}, Case{0, 100, 100, 1, false, 0}, Case{5, 5, 5, 1, false, -1},
          Case{0, 10, 5, 2, false, 0}, Case{0, 4, 1, 1, true, 0}}) {
        SCOPED_TRACE(std::to_string(C.Position) + "/" + std::to_string(C.Max));
        const bool Vertical = C.Orientation == 2;
        DibDC S(Vertical ? 12 : 100, Vertical ? 100 : 12, Green);
        XP()->DrawProgressBar(nullptr, S.dc(), C.Max, C.Min, C.Position, C.Solid, C.Orientation, cls::clRed,
                              RECT{0, 0, S.width(), S.height()});
        const int Done = C.Max == C.Min ? 0 : 94 * (C.Position - C.Min) / (C.Max - C.Min);
        const COLORREF Chunk = C.Solid ? RGB(255, 0, 0) : RGB(40, 190, 40);
        auto At = [&](int AAlong) { return Vertical ? S.At(6, 3 + AAlong) : S.At(3 + AAlong, 6); };
        if (Done > 0) {
            EXPECT_TRUE(Near(At(1), Chunk));
        }
        // Nothing beyond the done part; the trough is white there.
        EXPECT_TRUE(Near(At(Done + 1), RGB(255, 255, 255)));
        EXPECT_EQ(Vertical ? S.At(6, 0) : S.At(50, 0), RGB(104, 104, 104));
    }
}

// A toolbar and a menu stay open while the theme goes through every scheme,
// off and on again: both are repainted each time, the painter follows, and no
// drawing object is left behind.
TEST_F(XPPainterTest, SwitchingThemesWithAToolbarAndAMenuOpen) {
    AddBar("A", dsTop, 0, bbsSingle);
    TdxDockControl* Top = Site(dsTop);
    auto* Popup = new TdxBarPopupMenu(Form);
    for (const char* Caption : {"One", "Two"}) {
        auto* Button = new TdxBarButton(Form);
        Button->SetCaption(Caption);
        Popup->ItemLinks()->Add(Button);
    }
    auto* Menu = static_cast<TdxBarSubMenuControl*>(Popup->ItemLinks()->CreateBarControl());
    Menu->SetLeft(200);
    Menu->SetTop(150);
    Menu->ShowAnimated();
    RunUntilIdle();
    const int X = Top->ClientWidth() - 3;
    win::SetTheme(win::ThemeScheme::Silver);
    RunUntilIdle();
    const gfx::DWORD Before = GdiObjectCount();
    struct Step {
        win::ThemeScheme Theme;
        TdxBarItemControlPainterClass Painter;
        COLORREF Site, Menu;
    };
    for (const Step& S :
         {Step{win::ThemeScheme::Olive, XP(), BlueFace, RGB(255, 255, 255)},
          Step{win::ThemeScheme::Classic, Enhanced(), gfx::ClassicColorScheme()[gfx::COLOR_BTNFACE],
               gfx::ClassicColorScheme()[gfx::COLOR_BTNFACE]},
          Step{win::ThemeScheme::Silver, XP(), SilverFace, RGB(255, 255, 255)}}) {
        SCOPED_TRACE(static_cast<int>(S.Theme));
        win::SetTheme(S.Theme);
        RunUntilIdle();
        EXPECT_EQ(Manager->PainterClass(), S.Painter);
        EXPECT_EQ(SitePixel(Top, X, 3), S.Site);
        ASSERT_TRUE(IsBarControlAlive(Menu));
        EXPECT_EQ(ClientPixel(Menu, Menu->ClientWidth() - 4, Menu->ClientHeight() / 2), S.Menu);
    }
    EXPECT_EQ(GdiObjectCount(), Before);
}

// Office11 takes the XP painter's status-bar parts and push button while
// the manager has visual styles.
TEST_F(XPPainterTest, Office11BorrowsThemedPartsWhileTheThemeIsOn) {
    Manager->SetStyle(bmsOffice11);
    gfx::SIZE Grip{};
    Office11()->GetSizeGripSize(Grip);
    EXPECT_EQ(Grip.cx, 12);
    DibDC Button(40, 20, Green);
    Office11()->DrawPushButtonFrame(nullptr, Button.dc(), false, RECT{0, 0, 40, 20}, "");
    EXPECT_EQ(Button.At(20, 0), RGB(206, 204, 190));
    win::SetTheme(win::ThemeScheme::Classic);
    Office11()->GetSizeGripSize(Grip);
    EXPECT_EQ(Grip.cx, win::GetSystemMetrics(win::SM_CXHSCROLL));
    Office11()->DrawPushButtonFrame(nullptr, Button.dc(), false, RECT{0, 0, 40, 20}, "");
    EXPECT_EQ(Button.At(20, 0), SysRGB(gfx::COLOR_BTNSHADOW));
}

TEST_F(XPPainterTest, OnlyAFloatingBarHasAFlatBorder) {
    TdxBar* Docked = AddBar("A", dsTop, 0, bbsSingle);
    EXPECT_FALSE(XP()->IsBarBorderFlat(Docked->Control()));
    auto* Floating = new TestBarWindow(Manager);
    EXPECT_EQ(Floating->DockingStyle(), dsNone);
    EXPECT_TRUE(XP()->IsBarBorderFlat(Floating));
    delete Floating;
}

} // namespace
} // namespace bars::test
