// The Office11 painter by pixels: the tray menu's band, selection, separator,
// arrow and check mark in the scheme's colours (scheme 0 here: no visual
// styles), the scheme read again at each paint, the high-contrast schemes,
// and the toolbar parts on a small toolbar window.
#include <gtest/gtest.h>

#include <string>

#include "bars/bars.h"
#include "bars/manager.h"
#include "bars/office11_painter.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/drawing.h"
#include "painter_fixture.h"
#include "support/driver.h"
#include "win/driver.h"

namespace {

using namespace bars;
using namespace bars::test;
using testdrv::RunUntilIdle;

const TdxBarItemControlOffice11Painter* Office11Painter() {
    return static_cast<const TdxBarItemControlOffice11Painter*>(Office11());
}

const lf::TOffice11Colors& Scheme() {
    return lf::Office11Colors();
}

COLORREF RGBOf(gfx::TColor AColor) {
    return gfx::ColorToRGB(AColor);
}

class Office11MenuTest : public test::TrayMenuTest {
protected:
    void SetUp() override {
        TrayMenuTest::SetUp();
        Manager->UsePainter(Office11());
    }
    void TearDown() override {
        win::ChangeSysColors(gfx::ClassicColorScheme());
        lf::RefreshOffice11Colors();
        TrayMenuTest::TearDown();
    }
    void ChangeColors(const gfx::ColorScheme& AScheme) {
        win::ChangeSysColors(AScheme);
        Manager->SysColorChanged();
        RunUntilIdle();
    }
    // The band as the scheme's colours give it, one row.
    static void FillBandRow(const DibDC& ARow, bool ADark = false) {
        const lf::TOffice11Colors& C = Scheme();
        lf::FillTwoStageGradientRect(ARow.dc(), RECT{0, 0, ARow.width(), 1},
                                     ADark ? C.MenuBandDarkColor1 : C.MenuBandColor1,
                                     ADark ? C.MenuBandDarkColor2 : C.MenuBandColor2, true);
    }
};

TEST_F(Office11MenuTest, BandRunsFromTheFirstToTheSecondBandColour) {
    TdxBarSubMenuControl* Menu = ShowTray();
    const int Band = Office11Painter()->GetMenuBandWidth(Menu);
    const RECT Quit = RectOf("В&ыход");
    // The band covers the glyph column and the gap after it.
    EXPECT_EQ(Band, Quit.left + Menu->TextHeight() + 3);
    const DibDC Expected(Band, 1, Green);
    FillBandRow(Expected);
    const int Y = Quit.top + 3;
    for (int X = 0; X < Band; ++X) ASSERT_EQ(ClientPixel(Menu, X, Y), Expected.At(X, 0)) << X;
    EXPECT_EQ(ClientPixel(Menu, Band, Y), RGBOf(Scheme().MenuColor));

    const COLORREF C1 = RGBOf(Scheme().MenuBandColor1), C2 = RGBOf(Scheme().MenuBandColor2);
    EXPECT_EQ(Expected.At(0, 0), C1);
    EXPECT_EQ(Expected.At(Band - 1, 0), C2);
    // Half way the colour has gone a quarter of the way.
    auto Quarter = [](int A, int B) { return A + (B - A) * 25 / 100; };
    EXPECT_EQ(Expected.At(Band / 2, 0), RGB(Quarter(gfx::GetRValue(C1), gfx::GetRValue(C2)),
                                            Quarter(gfx::GetGValue(C1), gfx::GetGValue(C2)),
                                            Quarter(gfx::GetBValue(C1), gfx::GetBValue(C2))));
    // Through the separator row and the margins too.
    EXPECT_EQ(ClientPixel(Menu, 2, Quit.top - 3), Expected.At(2, 0));
    EXPECT_EQ(ClientPixel(Menu, 0, 0), Expected.At(0, 0));
}

TEST_F(Office11MenuTest, RarelyUsedEntriesShowADarkerBand) {
    // Выход is rarely used: the expanded menu shows it on the darker band,
    // through its separator row too.
    Links->SetUseRecentItems(true);
    Links->Items(2)->SetMostRecentlyUsed(false);
    TdxBarSubMenuControl* Menu = ShowMenu(Links);
    ASSERT_TRUE(Menu->HasHiddenLinks());
    Menu->ExpandMenu();
    RunUntilIdle();
    ASSERT_TRUE(ControlOf("В&ыход")->IsRarelyUsed());
    const int Band = Office11Painter()->GetMenuBandWidth(Menu);
    const RECT R = RectOf("В&ыход");
    const DibDC Dark(Band, 1, Green), Normal(Band, 1, Green);
    FillBandRow(Dark, true);
    FillBandRow(Normal);
    for (int X = 2; X < Band; X += 5) EXPECT_EQ(ClientPixel(Menu, X, R.top + 3), Dark.At(X, 0)) << X;
    EXPECT_EQ(ClientPixel(Menu, 2, R.top - 2), Dark.At(2, 0));
    EXPECT_EQ(Dark.At(0, 0), RGBOf(lf::MixColors(Scheme().MenuBandColor1, gfx::clBlack, 92)));
    EXPECT_EQ(ClientPixel(Menu, 2, RectOf("&Справка").top + 3), Normal.At(2, 0));
}

TEST_F(Office11MenuTest, PaintingMenusLeavesNoObjectsBehind) {
    for (const TdxBarItemControlPainterClass Painter : {Flat(), Office11()}) {
        Manager->UsePainter(Painter);
        ShowTray()->CloseAndFree();
        RunUntilIdle();
        const gfx::DWORD Before = test::GdiObjectCount();
        TdxBarSubMenuControl* Menu = ShowTray();
        Hover("&Справка");
        testdrv::Advance(500);
        RunUntilIdle();
        Hover("В&ыход");
        Menu->CloseAndFree();
        RunUntilIdle();
        EXPECT_EQ(test::GdiObjectCount(), Before);
    }
}

TEST_F(Office11MenuTest, SelectionFrameFillSeparatorAndMenuFrame) {
    TdxBarSubMenuControl* Menu = ShowTray();
    const RECT Open = RectOf("&Открыть"), Quit = RectOf("В&ыход");
    const lf::TOffice11Colors& C = Scheme();
    const int LineX = Office11Painter()->GetMenuBandWidth(Menu) + 8;
    const int LineY = Quit.top - 5 + 2;
    struct Case {
        const char* What;
        int X, Y;
        gfx::TColor Expected;
    };
    for (const Case& K : {
             Case{"frame, left", Open.left, Open.top + 4, C.SelectedFrameColor},
             Case{"frame, top", Open.right - 4, Open.top, C.SelectedFrameColor},
             Case{"frame, bottom", Open.left + 4, Open.bottom - 1, C.SelectedFrameColor},
             Case{"glyph cell frame", Open.left + 1, Open.top + 4, C.MenuBorderColor},
             Case{"fill over the band", Open.left + 3, Open.top + 3, C.HotColor},
             Case{"fill right", Open.right - 2, Open.top + 3, C.HotColor},
             Case{"separator start", LineX, LineY, C.MenuSeparatorColor},
             Case{"separator end", Quit.right - 1, LineY, C.MenuSeparatorColor},
             Case{"before the separator", LineX - 1, LineY, C.MenuColor},
             Case{"above the separator", LineX + 4, LineY - 1, C.MenuColor},
             Case{"below the separator", LineX + 4, LineY + 1, C.MenuColor},
         })
        EXPECT_EQ(ClientPixel(Menu, K.X, K.Y), RGBOf(K.Expected)) << K.What;
    RECT W{};
    win::GetWindowRect(Menu->Handle(), &W);
    EXPECT_EQ(win::ScreenPixel(win::POINT{W.left, W.top + 5}), RGBOf(C.MenuBorderColor));
    EXPECT_EQ(win::ScreenPixel(win::POINT{W.right - 1, W.bottom - 5}), RGBOf(C.MenuBorderColor));
}

TEST_F(Office11MenuTest, ArrowCheckMarkAndDisabledText) {
    auto* Checked = AddButton(Links, "Отмечено");
    Checked->SetButtonStyle(bsChecked);
    Checked->SetDown(true);
    AddButton(Links, "Отключено")->SetEnabled(false);
    TdxBarSubMenuControl* Menu = ShowTray();
    const lf::TOffice11Colors& C = Scheme();
    const COLORREF Text = RGBOf(C.TextColor);

    // The sub item's arrow: S wide, S + S - 1 high, in the text colour.
    const RECT Help = RectOf("&Справка");
    const int S = Menu->TextHeightFifth();
    int Left = Help.right, Count = 0;
    for (int Y = Help.top; Y < Help.bottom; ++Y)
        for (int X = Help.right - Menu->TextHeight(); X < Help.right; ++X)
            if (ClientPixel(Menu, X, Y) == Text) {
                Left = std::min(Left, X);
                ++Count;
            }
    EXPECT_EQ(Left, Help.right - Menu->TextHeight() + S);
    EXPECT_EQ(Count, S * S);

    // The checked entry: its cell a box of the checked colour, the mark in
    // the text colour inside; selected, the box is framed in the selection
    // colour.
    const RECT Check = RectOf("Отмечено");
    const RECT Cell{Check.left + 1, Check.top + 1, Check.left + Check.bottom - Check.top - 1,
                    Check.bottom - 1};
    EXPECT_EQ(ClientPixel(Menu, Cell.left, Cell.top + 4), RGBOf(C.CheckedColor));
    EXPECT_EQ(ClientPixel(Menu, Cell.right - 1, Cell.top + 4), RGBOf(C.CheckedColor));
    EXPECT_EQ(ClientPixel(Menu, Cell.left + 2, Cell.top + 2), RGBOf(C.CheckedColor));
    int Mark = 0;
    for (int Y = Cell.top; Y < Cell.bottom; ++Y)
        for (int X = Cell.left; X < Cell.right; ++X) Mark += ClientPixel(Menu, X, Y) == Text;
    EXPECT_EQ(Mark, 2 * 7);
    Hover("Отмечено");
    EXPECT_EQ(ClientPixel(Menu, Cell.left, Cell.top + 4), RGBOf(C.SelectedFrameColor));
    EXPECT_EQ(ClientPixel(Menu, Cell.left + 2, Cell.top + 2), RGBOf(C.DownColor));

    // The disabled caption in the disabled text colour only.
    const RECT Off = RectOf("Отключено");
    int Grey = 0, Dark = 0;
    for (int Y = Off.top + 1; Y < Off.bottom - 1; ++Y)
        for (int X = Off.left + Menu->TextHeight() + 6; X < Off.right - 1; ++X) {
            Grey += ClientPixel(Menu, X, Y) == RGBOf(C.DisabledTextColor);
            Dark += ClientPixel(Menu, X, Y) == Text;
        }
    EXPECT_GT(Grey, 20);
    EXPECT_EQ(Dark, 0);
}

TEST_F(Office11MenuTest, ColoursAreReadAgainAtEachPaint) {
    TdxBarSubMenuControl* Menu = ShowTray();
    const RECT Quit = RectOf("В&ыход");
    gfx::ColorScheme Changed = gfx::ClassicColorScheme();
    Changed[gfx::COLOR_WINDOW] = RGB(250, 240, 200);
    Changed[gfx::COLOR_HIGHLIGHT] = RGB(0, 120, 60);
    ChangeColors(Changed);
    Menu->Invalidate();
    RunUntilIdle();
    // Scheme 0 comes from the system colours: the menu colour is the window
    // colour, the band starts at a blend of face and window.
    EXPECT_EQ(ClientPixel(Menu, Quit.right - 3, Quit.top + 3), RGB(250, 240, 200));
    EXPECT_EQ(ClientPixel(Menu, 0, Quit.top + 3), RGBOf(lf::MixColors(gfx::clBtnFace, gfx::clWindow, 22)));
    const RECT Open = RectOf("&Открыть");
    EXPECT_EQ(ClientPixel(Menu, Open.left, Open.top + 4), RGB(0, 120, 60));
    EXPECT_EQ(ClientPixel(Menu, Open.left + 3, Open.top + 3), RGBOf(lf::MixSystemColors(-2, 30, 72)));
}

TEST_F(Office11MenuTest, HighContrastSchemes) {
    TdxBarSubMenuControl* Menu = ShowTray();
    const RECT Open = RectOf("&Открыть");
    ChangeColors(gfx::HighContrastBlackColorScheme());
    Menu->Invalidate();
    RunUntilIdle();
    EXPECT_EQ(ClientPixel(Menu, Open.left, Open.top + 4), gfx::GetSysColor(gfx::COLOR_HIGHLIGHTTEXT));

    ChangeColors(gfx::HighContrastWhiteColorScheme());
    Menu->Invalidate();
    RunUntilIdle();
    int White = 0;
    for (int Y = Open.top + 1; Y < Open.bottom - 1; ++Y)
        for (int X = Open.left + Menu->TextHeight() + 6; X < Open.right - 1; ++X)
            White += ClientPixel(Menu, X, Y) == RGB(255, 255, 255);
    EXPECT_GT(White, 20);
}

// Under visual styles the scheme's own table colours replace the mixed
// system colours, and an open menu follows a change of scheme at once.
TEST_F(Office11MenuTest, ThemeSchemesRepaintAnOpenMenuInTheirColours) {
    TdxBarSubMenuControl* Menu = ShowTray();
    Hover("&Открыть");
    const RECT Quit = RectOf("В&ыход"), Open = RectOf("&Открыть");
    const gfx::DWORD Before = test::GdiObjectCount();
    struct Case {
        win::ThemeScheme Theme;
        int Scheme;
        COLORREF Menu, Band, Frame;
    };
    for (const Case& K :
         {Case{win::ThemeScheme::Blue, 1, RGB(246, 246, 246), RGB(221, 236, 254), RGB(0, 0, 128)},
          Case{win::ThemeScheme::Olive, 2, RGB(244, 244, 238), RGB(244, 247, 222), RGB(63, 93, 56)},
          Case{win::ThemeScheme::Silver, 3, RGB(253, 250, 255), RGB(243, 244, 250), RGB(75, 75, 111)}}) {
        SCOPED_TRACE(K.Scheme);
        win::SetTheme(K.Theme);
        RunUntilIdle();
        EXPECT_EQ(Scheme().Scheme, K.Scheme);
        EXPECT_TRUE(lf::IsOffice11SchemeActive());
        EXPECT_EQ(ClientPixel(Menu, Quit.right - 3, Quit.top + 3), K.Menu);
        EXPECT_EQ(ClientPixel(Menu, 0, Quit.top + 3), K.Band);
        EXPECT_EQ(ClientPixel(Menu, Open.left, Open.top + 4), K.Frame);
        EXPECT_EQ(ClientPixel(Menu, Open.left + 3, Open.top + 3), RGB(255, 238, 194));
    }
    win::SetTheme(win::ThemeScheme::Classic);
    RunUntilIdle();
    EXPECT_FALSE(lf::IsOffice11SchemeActive());
    EXPECT_EQ(ClientPixel(Menu, Quit.right - 3, Quit.top + 3), RGBOf(gfx::clWindow));
    EXPECT_EQ(test::GdiObjectCount(), Before);
}

// --- Toolbars ---

class TestToolbar : public test::TestBarWindow {
public:
    using TestBarWindow::TestBarWindow;
    bool IsToolbarWindow() const override { return true; }
};

class Office11ToolbarTest : public test::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        Manager->UsePainter(Office11());
        Window = new TestToolbar(Manager);
        Window->SetItemLinks(Bar->ItemLinks());
        Window->SetDockingStyle(dsTop);
        Window->SetBounds(0, 0, 60, 26);
    }
    void TearDown() override {
        Window->DestroyControls();
        delete Window;
        delete Dock;
        ManagerTest::TearDown();
    }
    TdxBarItemControl* AddButton(const std::string& ACaption) {
        auto* Button = new TdxBarButton(Form);
        Button->SetCaption(ACaption);
        TdxBarItemLink* Link = Bar->ItemLinks()->Add(Button);
        Link->CreateControl();
        return Link->Control();
    }

    TestToolbar* Window = nullptr;
    TdxDockControl* Dock = nullptr;
};

TEST_F(Office11ToolbarTest, GlyphFramesOfHotPressedAndCheckedButtons) {
    TdxBarItemControl* Control = AddButton("Open");
    const lf::TOffice11Colors& C = Scheme();
    struct Case {
        const char* What;
        bool Selected, Down, Pressed;
        gfx::TColor Frame, Fill;
    };
    // Scheme 0 has one hot and one pressed colour for both gradient ends; a
    // press whose two colours are equal fills with the checked colour.
    for (const Case& K :
         {Case{"hot", true, false, false, C.MenuBorderColor, C.HotGradientColor1},
          Case{"pressed", true, false, true, C.MenuBorderColor, C.CheckedColor},
          Case{"hot and checked", true, true, false, C.SelectedFrameColor, C.DownGradientColor2},
          Case{"checked", false, true, false, C.SelectedFrameColor, C.DownGradientColor2}}) {
        DibDC S(23, 22, Green);
        TdxBarPaintState State;
        State.Selected = K.Selected;
        State.Down = K.Down;
        State.Pressed = K.Pressed;
        Office11()->DrawGlyphFrame(Control, S.dc(), ptHorz, State, RECT{0, 0, 23, 22}, true, true,
                                   Office11()->GetGlyphBrush(Control, ptHorz, State));
        EXPECT_EQ(S.At(0, 10), RGBOf(K.Frame)) << K.What;
        EXPECT_EQ(S.At(11, 0), RGBOf(K.Frame)) << K.What;
        EXPECT_EQ(S.At(11, 1), RGBOf(K.Fill)) << K.What;
        EXPECT_EQ(S.At(11, 20), RGBOf(K.Fill)) << K.What;
    }
}

TEST_F(Office11ToolbarTest, SurfaceSeparatorAndFloatingBorder) {
    const lf::TOffice11Colors& C = Scheme();
    DibDC Surface(60, 26, Green);
    Office11()->FillBarWindowBackground(Window, Surface.dc(), gfx::clBtnFace, nullptr, RECT{0, 0, 60, 26},
                                        gfx::POINT{0, 0});
    EXPECT_EQ(Surface.At(30, 0), RGBOf(C.BarColor1));
    EXPECT_EQ(Surface.At(30, 25), RGBOf(C.BarColor2));

    DibDC Separator(5, 20, Green);
    Office11()->DrawToolbarSeparator(Window, Separator.dc(), RECT{0, 0, 5, 20}, true);
    EXPECT_EQ(ColorBounds(Separator, RGBOf(C.MenuSeparatorColor)), (RECT{2, 3, 3, 16}));
    EXPECT_EQ(ColorBounds(Separator, RGBOf(C.SeparatorLightColor)), (RECT{3, 4, 4, 17}));
    EXPECT_EQ(CountColor(Separator, Green), 0);

    DibDC Border(12, 12, Green);
    Office11()->DrawBarBorder(Window, Border.dc(), nullptr, 3, RECT{0, 0, 12, 12});
    std::string Row;
    for (int X = 0; X < 4; ++X)
        Row += Border.At(X, 6) == RGBOf(C.FloatingFrameColor)        ? 'o'
               : Border.At(X, 6) == RGBOf(C.FloatingFrameInnerColor) ? 'i'
                                                                     : '.';
    EXPECT_EQ(Row, "ooi.");
    EXPECT_EQ(Border.At(2, 2), RGBOf(C.FloatingFrameColor));
}

// The mark of a floating caption lies on the light grip colour of the band:
// it takes the caption colour, on which its arrow in the caption's text
// colour shows, as the close button's cross does.
TEST_F(Office11ToolbarTest, TheFloatingCaptionsMarkShowsItsArrowOnTheCaptionColour) {
    const lf::TOffice11Colors& C = Scheme();
    DibDC S(13, 13, RGBOf(C.GripColor));
    Office11()->DrawMark(Window, S.dc(), RECT{0, 0, 13, 13}, 0);
    EXPECT_EQ(S.At(0, 0), RGBOf(C.CaptionColor));
    EXPECT_EQ(S.At(12, 12), RGBOf(C.CaptionColor));
    EXPECT_GT(CountColor(S, RGBOf(C.CaptionTextColor)), 5);
    EXPECT_EQ(CountColor(S, RGBOf(C.GripColor)), 0);
}

TEST_F(Office11ToolbarTest, DockedFrameRoundsItsCornersAndDotsItsGrip) {
    Dock = new TdxDockControl(Form);
    Dock->SetBarManager(Manager);
    Dock->SetBounds(0, 0, 200, 26);
    Window->SetDockControl(Dock);
    const lf::TOffice11Colors& C = Scheme();
    DibDC S(60, 26, Green);
    Office11()->DrawDockedFrame(Window, S.dc(), nullptr, RECT{0, 0, 60, 26});
    const COLORREF Edge = RGBOf(C.BarEdgeColor), Light = RGBOf(C.SeparatorLightColor);
    // Corners cut to the dock's background (its first colour at the left).
    EXPECT_EQ(S.At(0, 0), RGBOf(C.DockColor1));
    EXPECT_EQ(S.At(0, 25), RGBOf(C.DockColor1));
    EXPECT_EQ(S.At(30, 25), Edge);
    EXPECT_EQ(S.At(59, 12), Edge);
    EXPECT_EQ(S.At(58, 24), Edge);
    // The grip: a column of dots GripIndent (3) inside the border, one every
    // four pixels, each a dark square over a light one.
    EXPECT_EQ(Manager->GripIndent(), 3);
    std::string Column;
    for (int Y = 5; Y < 21; ++Y) Column += S.At(5, Y) == Edge ? 'e' : S.At(5, Y) == Light ? 'l' : '.';
    EXPECT_EQ(Column, "ee..ee..ee..ee..");
    EXPECT_EQ(S.At(6, 6), Edge);
    EXPECT_EQ(S.At(7, 7), Light);
    // The border shows the bar's surface.
    DibDC Surface(60, 26, Green);
    lf::FillTwoStageGradientRect(Surface.dc(), RECT{0, 0, 60, 26}, C.BarColor1, C.BarColor2, false);
    EXPECT_EQ(S.At(30, 1), Surface.At(30, 1));
    EXPECT_EQ(S.At(1, 13), Surface.At(1, 13));
}

TEST_F(Office11ToolbarTest, DetachStripDots) {
    const lf::TOffice11Colors& C = Scheme();
    DibDC S(40, 7, Green);
    Office11()->FillDetachBar(nullptr, S.dc(), RECT{0, 0, 40, 7});
    EXPECT_EQ(S.At(0, 0), RGBOf(C.DetachBarColor));
    EXPECT_EQ(ColorBounds(S, RGBOf(C.BarEdgeColor)), (RECT{12, 2, 26, 4}));
}

TEST(Office11Painter, Metrics) {
    const TdxBarItemControlPainterClass P = Office11();
    EXPECT_EQ(P->GetGripIndent(), 3);
    EXPECT_EQ(P->GetDragZoneSize(), 8);
    EXPECT_EQ(P->GetBarFrameWidth(), 3);
    EXPECT_EQ(P->GetNoDockDragZone(), 2);
    EXPECT_EQ(P->GetDropDownButtonWidth(7), 13);
    EXPECT_TRUE(P->IsGlyphFrameDrawnFirst());
    EXPECT_TRUE(P->IsRarelyUsedItemDrawnByPainter());
    RECT R{};
    P->GetBorderRect(true, dsTop, R);
    EXPECT_EQ(R, (RECT{0, 2, 0, 2}));
    P->GetBorderRect(true, dsLeft, R);
    EXPECT_EQ(R, (RECT{2, 0, 2, 0}));
    P->GetBorderRect(false, dsLeft, R);
    EXPECT_EQ(R, (RECT{2, 2, 2, 2}));
    R = RECT{0, 0, 50, 30};
    P->GetMenuContentRect(nullptr, R);
    EXPECT_EQ(R, (RECT{2, 4, 48, 26}));
}

TEST_F(Office11ToolbarTest, DrawingLeavesNoObjectsBehind) {
    TdxBarItemControl* Control = AddButton("Open");
    Dock = new TdxDockControl(Form);
    Window->SetDockControl(Dock);
    TdxBarPaintState Hot;
    Hot.Selected = true;
    DibDC S(60, 26, Green);
    const gfx::DWORD Before = test::GdiObjectCount();
    Office11()->DrawButton(Control, S.dc(), RECT{0, 0, 23, 22}, Hot, ptHorz, false);
    Office11()->DrawDockedFrame(Window, S.dc(), nullptr, RECT{0, 0, 60, 26});
    Office11()->DrawBarBorder(Window, S.dc(), nullptr, 3, RECT{0, 0, 60, 26});
    Office11()->DrawMarkFace(Window, S.dc(), nullptr, RECT{49, 0, 60, 26});
    Office11()->DrawMarkChevrons(Window, S.dc(), RECT{49, 0, 60, 26});
    Office11()->DrawToolbarSeparator(Window, S.dc(), RECT{0, 0, 5, 20}, true);
    Office11()->FillCaptionButton(Window, S.dc(), 1, RECT{0, 0, 14, 14});
    Office11()->DrawFloatingCaption(Window, S.dc(), nullptr, RECT{0, 0, 60, 14});
    Office11()->DrawDropDownButtonPart(Control, S.dc(), RECT{20, 0, 33, 22}, ptHorz, Window->GetBarBrush(),
                                       Hot, true, false);
    Office11()->DrawComboButton(Control, S.dc(), RECT{0, 0, 60, 22}, true, false);
    Office11()->FillDetachBar(nullptr, S.dc(), RECT{0, 0, 40, 7});
    EXPECT_EQ(test::GdiObjectCount(), Before);
}

} // namespace
