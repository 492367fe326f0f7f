// The flat painter by pixels: its menus (the tray menu), its glyph cells,
// check marks and sub items, the manager's blended brushes it draws with, the
// high-contrast schemes, and the toolbar parts on a small window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bars/manager.h"
#include "lookandfeel/colors.h"
#include "painter_fixture.h"
#include "support/driver.h"
#include "win/driver.h"

namespace {

using namespace bars;
using namespace bars::test;
using testdrv::RunUntilIdle;

COLORREF BrushRGB(gfx::HBRUSH ABrush) {
    gfx::LOGBRUSH LB{};
    gfx::GetObject(ABrush, sizeof LB, &LB);
    return LB.lbColor;
}

class FlatMenuTest : public test::TrayMenuTest {
protected:
    void SetUp() override {
        TrayMenuTest::SetUp();
        Manager->UsePainter(Flat());
    }
    COLORREF Hot() const { return BrushRGB(Manager->WindowMixBrush()); }
    COLORREF Band() const { return BrushRGB(Manager->LightShadeBrush()); }
};

TEST_F(FlatMenuTest, TrayMenuFramesTheSelectionAndRunsTheBandDownTheLeft) {
    TdxBarSubMenuControl* Menu = ShowTray();
    const RECT Open = RectOf("&Открыть"), Quit = RectOf("В&ыход");
    const int Column = Menu->TextHeight() + 3;
    const COLORREF Window = SysRGB(gfx::COLOR_WINDOW);
    struct Case {
        const char* What;
        int X, Y;
        COLORREF Expected;
    };
    for (const Case& C : {
             Case{"selection frame, left", Open.left, Open.top + 3, SysRGB(gfx::COLOR_HIGHLIGHT)},
             Case{"selection frame, right", Open.right - 1, Open.top + 3, SysRGB(gfx::COLOR_HIGHLIGHT)},
             Case{"selected cell", Open.left + 3, Open.top + 3, Hot()},
             Case{"selected text area", Open.right - 3, Open.top + 3, Hot()},
             Case{"band beside Выход", Quit.left + 3, Quit.top + 3, Band()},
             Case{"band up to the caption's gap", Quit.left + Column - 1, Quit.top + 3, Band()},
             Case{"text area of Выход", Quit.left + Column + 1, Quit.top + 3, Window},
             Case{"band through the separator row", Quit.left + 3, Quit.top - 1, Band()},
         })
        EXPECT_EQ(ClientPixel(Menu, C.X, C.Y), C.Expected) << C.What;
    // The frame is the manager's dark shade.
    RECT W{};
    win::GetWindowRect(Menu->Handle(), &W);
    EXPECT_EQ(win::ScreenPixel(win::POINT{W.left, W.top + 5}), BrushRGB(Manager->DarkShadeBrush()));
}

TEST_F(FlatMenuTest, SeparatorIsOneShadowLineFromTheCaptionColumn) {
    TdxBarSubMenuControl* Menu = ShowTray();
    const RECT Quit = RectOf("В&ыход");
    const int Top = Quit.top - 5;
    const int LineX = Quit.left + Menu->TextHeight() + 3 + 8;
    const COLORREF Shadow = SysRGB(gfx::COLOR_BTNSHADOW);
    std::string Column;
    for (int Y = Top; Y < Quit.top; ++Y) Column += ClientPixel(Menu, LineX + 4, Y) == Shadow ? 's' : '.';
    EXPECT_EQ(Column, "..s..");
    EXPECT_NE(ClientPixel(Menu, LineX - 1, Top + 2), Shadow);
    EXPECT_EQ(ClientPixel(Menu, LineX, Top + 2), Shadow);
    EXPECT_EQ(ClientPixel(Menu, Quit.right - 1, Top + 2), Shadow);
}

TEST_F(FlatMenuTest, SubItemArrowAndDisabledCaption) {
    auto* Off = AddButton(Links, "Отключено");
    Off->SetEnabled(false);
    TdxBarSubMenuControl* Menu = ShowTray();
    const RECT Help = RectOf("&Справка");
    const int S = Menu->TextHeightFifth();
    // The arrow: a right-pointing triangle S wide starting S into the last
    // item height of the entry.
    const COLORREF Text = SysRGB(gfx::COLOR_BTNTEXT);
    int Left = Help.right, Right = Help.left, Count = 0;
    for (int Y = Help.top; Y < Help.bottom; ++Y)
        for (int X = Help.right - Menu->TextHeight(); X < Help.right; ++X)
            if (ClientPixel(Menu, X, Y) == Text) {
                Left = std::min(Left, X);
                Right = std::max(Right, X + 1);
                ++Count;
            }
    EXPECT_EQ(Left, Help.right - Menu->TextHeight() + S);
    EXPECT_EQ(Right - Left, S);
    EXPECT_EQ(Count, S * S);
    // A disabled caption is drawn in the grey text colour.
    const RECT OffRect = RectOf("Отключено");
    int Grey = 0, Black = 0;
    for (int Y = OffRect.top + 1; Y < OffRect.bottom - 1; ++Y)
        for (int X = OffRect.left + Menu->TextHeight() + 6; X < OffRect.right - 1; ++X) {
            Grey += ClientPixel(Menu, X, Y) == SysRGB(gfx::COLOR_GRAYTEXT);
            Black += ClientPixel(Menu, X, Y) == Text;
        }
    EXPECT_GT(Grey, 20);
    EXPECT_EQ(Black, 0);
}

TEST_F(FlatMenuTest, OpenSubItemShowsNoCheckMark) {
    ShowTray();
    TdxBarItemControl* Help = ControlOf("&Справка");
    const RECT R = RectOf("&Справка");
    DibDC Closed(R.right, R.bottom, Green), Open(R.right, R.bottom, Green);
    TdxBarPaintState State;
    State.Selected = true;
    Flat()->DrawSubItem(Help, Closed.dc(), R, ptMenu, State);
    State.Down = State.DroppedDown = true;
    Flat()->DrawSubItem(Help, Open.dc(), R, ptMenu, State);
    EXPECT_EQ(test::DiffBounds(Closed, Open), RECT{});
    EXPECT_GT(Closed.CountNot(Green), 0);
}

TEST_F(FlatMenuTest, GlyphCellsFrameTheSelectionOnlyAndLeaveTheBandForDisabledEntries) {
    auto* Checked = AddButton(Links, "Отмечено");
    Checked->SetButtonStyle(bsChecked);
    Checked->SetDown(true);
    AddButton(Links, "Отключено")->SetEnabled(false);
    TdxBarSubMenuControl* Menu = ShowTray();
    // The cell: the square at the left of the entry, inside its ring.
    const auto Cell = [&](const char* ACaption) {
        const RECT R = RectOf(ACaption);
        return RECT{R.left + 1, R.top + 1, R.left + R.bottom - R.top - 1, R.bottom - 1};
    };
    const RECT Open = Cell("&Открыть"), Check = Cell("Отмечено"), Off = Cell("Отключено");
    const COLORREF Frame = SysRGB(gfx::COLOR_HIGHLIGHT), Checker = BrushRGB(Manager->FaceMixBrush());
    struct Case {
        const char* What;
        int X, Y;
        COLORREF Expected;
    };
    for (const Case& C : {
             Case{"selected cell, frame", Open.left, Open.top + 4, Frame},
             Case{"selected cell, frame right", Open.right - 1, Open.top + 4, Frame},
             Case{"selected cell, inside", Open.left + 2, Open.top + 2, Hot()},
             Case{"checked cell, ring", Check.left, Check.top + 4, Checker},
             Case{"checked cell, inside", Check.left + 2, Check.top + 2, Checker},
             Case{"disabled cell, inside", Off.left + 2, Off.top + 2, SysRGB(gfx::COLOR_WINDOW)},
             Case{"disabled entry, ring", Off.left - 1, Off.top + 2, Band()},
         })
        EXPECT_EQ(ClientPixel(Menu, C.X, C.Y), C.Expected) << C.What;
}

// --- Brushes and metrics ---

TEST_F(FlatMenuTest, BrushesAreTheManagersBlends) {
    struct Case {
        const char* What;
        gfx::HBRUSH Painter, Manager;
    };
    for (const Case& C : {Case{"bar", Flat()->GetBarBrush(), Manager->LightShadeBrush()},
                          Case{"checker", Flat()->GetCheckerBrush(), Manager->FaceMixBrush()},
                          Case{"down", Flat()->GetSelectedBrush(), Manager->HighlightMixBrush()},
                          Case{"hot", Flat()->GetHighlightBrush(), Manager->WindowMixBrush()}})
        EXPECT_EQ(C.Painter, C.Manager) << C.What;
    // And they are the blends of the system colours that the look names.
    EXPECT_EQ(BrushRGB(Manager->FaceMixBrush()), gfx::ColorToRGB(lf::MixSystemColors(11, 9, 73)));
    EXPECT_EQ(BrushRGB(Manager->HighlightMixBrush()), gfx::ColorToRGB(lf::MixSystemColors(14, 44, 40)));
    EXPECT_EQ(BrushRGB(Manager->WindowMixBrush()), gfx::ColorToRGB(lf::MixSystemColors(-2, 30, 72)));
}

TEST(FlatPainter, MenuMetrics) {
    const TdxBarItemControlPainterClass P = Flat();
    for (const auto& [Height, Size] : {std::pair{12, 4}, {14, 4}, {16, 6}, {18, 6}, {20, 8}, {8, 2}})
        EXPECT_EQ(P->GetScrollArrowSize(nullptr, Height), Size) << Height;
    EXPECT_EQ(P->GetMenuSeparatorHeight(nullptr), 5);
    EXPECT_EQ(P->GetSubMenuOffset(), 2);
    EXPECT_EQ(P->GetDragZoneSize(), 6);
    EXPECT_EQ(P->GetSeparatorLineOffset(), 2);
    int Width = 20, Button = 30;
    P->AdjustMenuBandWidth(Width);
    P->AdjustButtonWidth(nullptr, Button);
    EXPECT_EQ(Width, 22);
    EXPECT_EQ(Button, 39);
}

TEST_F(FlatMenuTest, MenuSizeAddsTheSideStripAndAnEmptyMenuIs100Wide) {
    TdxBarSubMenuControl* Menu = ShowTray();
    for (const auto& [Widest, Expected] : {std::pair{0, 100}, {80, 84}}) {
        gfx::SIZE Content{Widest, 40}, Window{Widest, 0};
        Flat()->AdjustMenuSize(Menu, Content, Window);
        EXPECT_EQ(Window.cx, Expected);
        EXPECT_EQ(Window.cy, 43);
    }
}

// --- Item parts on a small window ---

class FlatDrawTest : public test::PainterFixture {
protected:
    void SetUp() override {
        PainterFixture::SetUp();
        Manager->UsePainter(Flat());
    }
};

TEST_F(FlatDrawTest, CheckMarkStrokesAndTheirColours) {
    TdxBarItemControl* Control = AddButton("Bold");
    struct Case {
        const gfx::ColorScheme* Scheme;
        bool Enabled;
        COLORREF Ink;
        RECT Bounds;
    };
    for (const Case& C :
         {Case{&gfx::ClassicColorScheme(), true, RGB(0, 0, 0), RECT{3, 2, 10, 8}},
          Case{&gfx::ClassicColorScheme(), false, RGB(128, 128, 128), RECT{3, 3, 10, 9}},
          Case{&gfx::HighContrastWhiteColorScheme(), true, RGB(255, 255, 255), RECT{3, 2, 10, 8}}}) {
        win::ChangeSysColors(*C.Scheme);
        Control->GetItem()->SetEnabled(C.Enabled);
        DibDC S(14, 12, Green);
        Flat()->DrawCheckMark(Control, S.dc(), 1, 2, 2);
        EXPECT_EQ(ColorBounds(S, C.Ink), C.Bounds) << C.Enabled;
        EXPECT_EQ(S.CountNot(Green), CountColor(S, C.Ink));
    }
    win::ChangeSysColors(gfx::ClassicColorScheme());
}

TEST_F(FlatDrawTest, SubItemCaptionFollowsTheGlyphCellOrTheIndent) {
    const auto Glyph = RedSquareGlyph(16, 16);
    auto* WithGlyph = new TdxBarSubItem(Form);
    WithGlyph->SetCaption("Files");
    WithGlyph->SetGlyph(Glyph.get());
    auto* Plain = new TdxBarSubItem(Form);
    Plain->SetCaption("Files");
    TdxBarItemControl* A = ControlOf(Bar->ItemLinks()->Add(WithGlyph));
    TdxBarItemControl* B = ControlOf(Bar->ItemLinks()->Add(Plain));
    const RECT R{0, 0, 90, 22};
    for (const auto& [Control, Left] :
         {std::pair{A, Manager->ButtonWidth()}, std::pair{B, Flat()->GetSubItemCaptionIndent(B)}}) {
        DibDC S(90, 22, Green);
        Flat()->DrawSubItem(Control, S.dc(), R, ptHorz, TdxBarPaintState{});
        const RECT Ink = ColorBounds(S, SysRGB(gfx::COLOR_BTNTEXT));
        ASSERT_FALSE(gfx::IsRectEmpty(&Ink));
        // The caption starts at the indent (its first letter's side bearing aside).
        EXPECT_GE(Ink.left, Left);
        EXPECT_LE(Ink.left, Left + 2);
    }
}

TEST_F(FlatDrawTest, SelectionFramesFollowTheHighContrastSchemes) {
    TdxBarItemControl* Control = AddButton("Open");
    struct Case {
        const char* Name;
        gfx::ColorScheme Scheme;
        int Frame;
    };
    gfx::ColorScheme Colored = gfx::HighContrastBlackColorScheme();
    Colored[gfx::COLOR_BTNTEXT] = RGB(255, 255, 0);
    for (const Case& C : {Case{"classic", gfx::ClassicColorScheme(), gfx::COLOR_HIGHLIGHT},
                          Case{"black", gfx::HighContrastBlackColorScheme(), gfx::COLOR_HIGHLIGHTTEXT},
                          Case{"coloured text", Colored, gfx::COLOR_HIGHLIGHTTEXT},
                          Case{"white", gfx::HighContrastWhiteColorScheme(), gfx::COLOR_HIGHLIGHT}}) {
        win::ChangeSysColors(C.Scheme);
        Manager->SysColorChanged();
        DibDC S(20, 20, Green);
        RECT R{2, 2, 18, 18};
        Flat()->DrawDownFrame(Control, S.dc(), R, false, true, false);
        EXPECT_EQ(S.At(2, 10), SysRGB(C.Frame)) << C.Name;
        EXPECT_EQ(S.At(10, 17), SysRGB(C.Frame)) << C.Name;
        EXPECT_EQ(S.At(10, 10), BrushRGB(Manager->WindowMixBrush())) << C.Name;
    }
    win::ChangeSysColors(gfx::ClassicColorScheme());
}

// --- Toolbar parts ---

class FlatToolbarTest : public FlatDrawTest {
protected:
    void SetUp() override {
        FlatDrawTest::SetUp();
        Window->SetDockingStyle(dsTop);
    }
};

TEST_F(FlatToolbarTest, SeparatorIsOneShadowLineTwoPixelsIn) {
    // Either side of the line the window's background shows: the bar brush.
    const COLORREF Shadow = SysRGB(gfx::COLOR_BTNSHADOW), Face = BrushRGB(Manager->LightShadeBrush());
    for (const bool Horizontal : {true, false}) {
        DibDC S(10, 10, Green);
        Flat()->DrawToolbarSeparator(Window, S.dc(), Horizontal ? RECT{2, 0, 7, 10} : RECT{0, 2, 10, 7},
                                     Horizontal);
        const RECT Line = Horizontal ? RECT{4, 0, 5, 10} : RECT{0, 4, 10, 5};
        EXPECT_EQ(ColorBounds(S, Shadow), Line) << Horizontal;
        EXPECT_EQ(CountColor(S, Face), 40) << Horizontal;
    }
}

TEST_F(FlatToolbarTest, DockedFrameHasItsGripRows) {
    DibDC S(40, 24, Green);
    const gfx::HBRUSH Light = gfx::GetSysColorBrush(gfx::COLOR_BTNHIGHLIGHT);
    Flat()->DrawDockedFrame(Window, S.dc(), Light, RECT{0, 0, 40, 24});
    const COLORREF Face = SysRGB(gfx::COLOR_BTNFACE), Shadow = SysRGB(gfx::COLOR_BTNSHADOW),
                   White = SysRGB(gfx::COLOR_BTNHIGHLIGHT);
    EXPECT_EQ(S.At(0, 0), Face);
    EXPECT_EQ(S.At(39, 23), Face);
    EXPECT_EQ(S.At(1, 1), Face);
    EXPECT_EQ(S.At(38, 22), Face);
    // The grip: three columns wide, GripIndent (1) in from the frame, three
    // rows off both long edges, shadow rows and light rows by turns.
    std::string Rows;
    for (int Y = 5; Y < 9; ++Y) Rows += S.At(3, Y) == Shadow ? 's' : S.At(3, Y) == White ? 'w' : '?';
    EXPECT_EQ(Rows, "swsw");
    EXPECT_EQ(ColorBounds(S, Shadow), (RECT{3, 5, 6, 18}));
}

TEST_F(FlatToolbarTest, CloseButtonAndBorders) {
    DibDC Close(16, 16, Green);
    Flat()->DrawCloseButton(Window, Close.dc(), RECT{0, 0, 16, 16}, 1);
    // A hot button: highlight frame, hot fill, and a cross two pixels thick.
    EXPECT_EQ(Close.At(0, 8), SysRGB(gfx::COLOR_HIGHLIGHT));
    EXPECT_EQ(Close.At(2, 8), BrushRGB(Manager->WindowMixBrush()));
    EXPECT_EQ(Close.At(3, 4), SysRGB(gfx::COLOR_BTNTEXT));
    EXPECT_EQ(Close.At(4, 4), SysRGB(gfx::COLOR_BTNTEXT));
    EXPECT_EQ(Close.At(12, 4), SysRGB(gfx::COLOR_BTNTEXT));
    EXPECT_EQ(ColorBounds(Close, SysRGB(gfx::COLOR_BTNTEXT)), (RECT{3, 4, 13, 14}));

    DibDC Border(12, 12, Green);
    Flat()->DrawBarBorder(Window, Border.dc(), nullptr, 3, RECT{0, 0, 12, 12});
    std::string Diagonal;
    for (int I = 0; I < 4; ++I)
        Diagonal += Border.At(I, 6) == BrushRGB(Manager->DarkShadeBrush()) ? 'd'
                    : Border.At(I, 6) == SysRGB(gfx::COLOR_BTNHIGHLIGHT)   ? 'w'
                                                                           : '.';
    EXPECT_EQ(Diagonal, "dww.");
}

TEST_F(FlatToolbarTest, DrawingLeavesNoObjectsBehind) {
    const auto Glyph = RedSquareGlyph(16, 16);
    TdxBarItemControl* Control = AddButton("Open", Glyph.get());
    TdxBarPaintState Hot;
    Hot.Selected = true;
    DibDC S(60, 30, Green);
    // The glyph makes its canvas on first use.
    Flat()->DrawButton(Control, S.dc(), RECT{0, 0, 23, 22}, Hot, ptHorz, false);
    const gfx::DWORD Before = test::GdiObjectCount();
    Flat()->DrawButton(Control, S.dc(), RECT{0, 0, 23, 22}, Hot, ptHorz, false);
    Flat()->DrawMenuGlyphCell(Control, S.dc(), RECT{0, 0, 60, 22}, Hot, true);
    Flat()->DrawCheckMark(Control, S.dc(), 2, 2, 2);
    Flat()->DrawCloseButton(Window, S.dc(), RECT{0, 0, 16, 16}, 2);
    Flat()->DrawMark(Window, S.dc(), RECT{0, 0, 11, 22}, 2);
    Flat()->DrawMarkContent(Window, S.dc(), Flat()->GetBarBrush(), RECT{0, 0, 11, 22}, 1);
    Flat()->DrawMDIButton(Window, S.dc(), 2, RECT{0, 0, 16, 14}, true, true, false);
    Flat()->DrawDropDownButtonPart(Control, S.dc(), RECT{20, 0, 31, 22}, ptHorz, Window->GetBarBrush(), Hot,
                                   true, false);
    Flat()->DrawComboButton(Control, S.dc(), RECT{0, 0, 60, 22}, false, true);
    Flat()->DrawSpinButton(Control, S.dc(), RECT{0, 0, 12, 22}, 1, true, true, 5, true);
    Flat()->DrawCaptionBar(Control, S.dc(), RECT{0, 0, 60, 22}, true, true);
    EXPECT_EQ(test::GdiObjectCount(), Before);
}

} // namespace
