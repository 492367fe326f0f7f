// The base painter's drawing of item controls, by pixels: captions, glyphs,
// check cells, arrows, cell fills and frame rings.
#include "bars/categories.h"
#include "bars/drawing.h"
#include "bars/manager.h"
#include "bars/subitem.h"
#include "lookandfeel/colors.h"
#include "painter_fixture.h"

#include <gtest/gtest.h>

namespace {

using namespace bars;
using namespace bars::test;

class PainterDrawTest : public test::PainterFixture {
protected:
    void Caption(const DibDC& S, const std::string& AText, const RECT& R, bool AVertical,
                 bool AEnabled = true, bool ASelected = false) {
        Painter()->DrawCaption(nullptr, S.dc(), AText, R, 0, AEnabled, ASelected, AVertical, false, false);
    }
};

// --- Captions ---

TEST_F(PainterDrawTest, HorizontalCaptionUnderlinesItsAccelerator) {
    const RECT R{2, 2, 78, 26};
    DibDC With(80, 28, Green), Without(80, 28, Green), Doubled(80, 28, Green), Literal(80, 28, Green);
    SelectedFont F1(With.dc(), -16), F2(Without.dc(), -16), F3(Doubled.dc(), -16), F4(Literal.dc(), -16);
    Caption(With, "&Open", R, false);
    Caption(Without, "Open", R, false);
    const int OWidth = gfx::GetTextExtent(Without.dc(), "O").cx;
    const RECT Underline = DiffBounds(With, Without);
    ASSERT_FALSE(gfx::IsRectEmpty(&Underline));
    EXPECT_GE(Underline.left, R.left);
    EXPECT_LE(Underline.right, R.left + OWidth);
    EXPECT_LE(Underline.bottom - Underline.top, 2);

    // "&&" is one ampersand, not an accelerator.
    Caption(Doubled, "A&&B", R, false);
    RECT Rc = R;
    gfx::SetBkMode(Literal.dc(), gfx::TRANSPARENT);
    gfx::SetTextColor(Literal.dc(), SysRGB(gfx::COLOR_BTNTEXT));
    gfx::DrawText(Literal.dc(), "A&B", &Rc, gfx::DT_SINGLELINE | gfx::DT_VCENTER | gfx::DT_NOPREFIX);
    EXPECT_EQ(DiffBounds(Doubled, Literal), RECT{});
}

TEST_F(PainterDrawTest, VerticalCaptionUnderlinesItsAcceleratorByHand) {
    const RECT R{4, 4, 40, 116};
    DibDC With(44, 120, Green), Without(44, 120, Green), Doubled(44, 120, Green), Literal(44, 120, Green);
    SelectedFont F1(With.dc(), -16, 2700), F2(Without.dc(), -16, 2700), F3(Doubled.dc(), -16, 2700),
        F4(Literal.dc(), -16, 2700);
    Caption(With, "A&B", R, true);
    Caption(Without, "AB", R, true);
    const gfx::SIZE A = gfx::GetTextExtent(Without.dc(), "A");
    const gfx::SIZE B = gfx::GetTextExtent(Without.dc(), "B");
    const RECT Underline = DiffBounds(With, Without);
    EXPECT_EQ(Underline.right - Underline.left, 1);
    EXPECT_EQ(Underline.top, R.top + A.cx);
    EXPECT_EQ(Underline.bottom - Underline.top, B.cx);
    // The line runs beside the glyph row, outside the letters.
    const RECT Ink = Without.InkBounds(Green);
    EXPECT_LT(Underline.left, Ink.left + 2);

    Caption(Doubled, "A&&B", R, true);
    gfx::SetBkMode(Literal.dc(), gfx::TRANSPARENT);
    gfx::SetTextColor(Literal.dc(), SysRGB(gfx::COLOR_BTNTEXT));
    const int Height = gfx::GetTextExtent(Literal.dc(), "A&B").cy;
    gfx::TextOut(Literal.dc(), R.left + (R.right - R.left + Height) / 2, R.top, "A&B");
    EXPECT_EQ(DiffBounds(Doubled, Literal), RECT{});
}

TEST_F(PainterDrawTest, DisabledCaptionIsEmbossedUnlessHot) {
    const RECT R{2, 2, 78, 26};
    DibDC Idle(80, 28, Green), Hot(80, 28, Green), Enabled(80, 28, Green);
    SelectedFont F1(Idle.dc(), -18), F2(Hot.dc(), -18), F3(Enabled.dc(), -18);
    Caption(Idle, "HIM", R, false, false, false);
    Caption(Hot, "HIM", R, false, false, true);
    Caption(Enabled, "HIM", R, false, true, true);

    const COLORREF Highlight = SysRGB(gfx::COLOR_BTNHIGHLIGHT), Shadow = SysRGB(gfx::COLOR_BTNSHADOW);
    const RECT Light = ColorBounds(Idle, Highlight), Dark = ColorBounds(Idle, Shadow);
    ASSERT_FALSE(gfx::IsRectEmpty(&Light));
    EXPECT_EQ(Light.right, Dark.right + 1);
    EXPECT_EQ(Light.bottom, Dark.bottom + 1);

    EXPECT_EQ(CountColor(Hot, Highlight), 0);
    EXPECT_GT(CountColor(Hot, SysRGB(gfx::COLOR_GRAYTEXT)), 0);
    EXPECT_GT(CountColor(Enabled, SysRGB(gfx::COLOR_HIGHLIGHTTEXT)), 0);
}

// --- Glyphs and check cells ---

TEST_F(PainterDrawTest, GlyphIsCentredInTheToolbarCellAndEmbossedWhenDisabled) {
    const auto Glyph = RedSquareGlyph(16, 16);
    TdxBarItemControl* Control = AddButton("Open", Glyph.get());
    ASSERT_NE(Control, nullptr);
    ASSERT_TRUE(Control->HasGlyph());
    // The toolbar cell is ButtonWidth x ButtonHeight (23 x 22): the glyph at (3, 3).
    const RECT R{0, 0, 23, 22};
    DibDC On(23, 22, Green), Off(23, 22, Green);
    TdxBarPaintState State;
    Painter()->DrawButton(Control, On.dc(), R, State, ptHorz, false);
    State.Enabled = false;
    Painter()->DrawButton(Control, Off.dc(), R, State, ptHorz, false);

    EXPECT_EQ(ColorBounds(On, Red), (RECT{4, 4, 18, 18}));
    // The cell behind the picture is the window's background, filled while the
    // window knows that an item control draws.
    EXPECT_EQ(On.At(0, 0), SysRGB(gfx::COLOR_BTNFACE));
    EXPECT_EQ(On.At(3, 3), SysRGB(gfx::COLOR_BTNFACE));
    ASSERT_FALSE(Window->Fills.empty());
    EXPECT_TRUE(Window->Fills.front().ItemControlDrawing);
    EXPECT_FALSE(Window->ItemControlDrawing());

    EXPECT_EQ(CountColor(Off, Red), 0);
    EXPECT_EQ(ColorBounds(Off, SysRGB(gfx::COLOR_BTNSHADOW)), (RECT{4, 4, 18, 18}));
    EXPECT_EQ(ColorBounds(Off, SysRGB(gfx::COLOR_BTNHIGHLIGHT)), (RECT{5, 5, 19, 19}));
}

TEST_F(PainterDrawTest, PressedGlyphMovesByTheDownOffsets) {
    struct ShiftingPainter : TdxBarItemControlPainter {
        int GetDownOffsetX(TdxBarItemControl*) const override { return 1; }
        int GetDownOffsetY(TdxBarItemControl*, bool AFirstState) const override {
            return AFirstState ? 2 : 3;
        }
    };
    static const ShiftingPainter Shifting;
    const auto Glyph = RedSquareGlyph(16, 16);
    TdxBarItemControl* Control = AddButton("Open", Glyph.get());
    struct Case {
        bool First, Second;
        int Shift;
    };
    for (const Case& C :
         {Case{false, false, 0}, Case{true, false, 1}, Case{false, true, 3}, Case{true, true, 3}}) {
        DibDC S(30, 30, Green);
        TdxBarPaintState State;
        State.ShiftFirst = C.First;
        State.ShiftSecond = C.Second;
        Shifting.DrawButton(Control, S.dc(), RECT{0, 0, 30, 30}, State, ptHorz, false);
        EXPECT_EQ(ColorBounds(S, Red), (RECT{4 + C.Shift, 8 + C.Shift, 18 + C.Shift, 22 + C.Shift}))
            << C.First << C.Second;
    }
}

TEST_F(PainterDrawTest, CheckCellOfAMenuEntryMarksByTheFontSize) {
    struct CheckMarkRecorder : TdxBarItemControlPainter {
        void DrawCheckMark(TdxBarItemControl*, gfx::HDC, int AThickness, int X, int Y) const override {
            Marks.push_back({X, Y, X + 9 * AThickness, Y + 7 * AThickness});
        }
        mutable std::vector<RECT> Marks;
    };
    static const CheckMarkRecorder Recorder;
    TdxBarItemControl* Control = AddButton("Bold");
    const gfx::HBRUSH Brush = gfx::CreateSolidBrush(Blue);
    struct Case {
        int FontSize;
        TdxBarPaintType Type;
        bool Down;
        RECT Mark;
    };
    for (const Case& C :
         {Case{16, ptMenu, true, RECT{6, 5, 24, 19}}, Case{15, ptMenu, true, RECT{10, 8, 19, 15}},
          Case{16, ptHorz, true, RECT{}}, Case{16, ptMenu, false, RECT{}}}) {
        Recorder.Marks.clear();
        Window->Fills.clear();
        Window->Font()->SetSize(C.FontSize);
        DibDC S(30, 24, Green);
        TdxBarPaintState State;
        State.Down = C.Down;
        Recorder.DrawCheckCell(Control, S.dc(), State, C.Type, RECT{0, 0, 30, 24}, true, Brush);
        if (gfx::IsRectEmpty(&C.Mark)) {
            EXPECT_TRUE(Recorder.Marks.empty()) << C.FontSize << C.Type << C.Down;
        } else {
            ASSERT_EQ(Recorder.Marks.size(), 1u);
            EXPECT_EQ(Recorder.Marks[0], C.Mark) << C.FontSize;
        }
        // A down cell is filled with its brush, an idle one through the window
        // (which hands the brush on).
        EXPECT_EQ(S.At(0, 0), Blue);
        EXPECT_EQ(Window->Fills.empty(), C.Down);
    }
    gfx::DeleteObject(Brush);
}

TEST_F(PainterDrawTest, DisabledImagesFadeOnlyWhenTheManagerAsks) {
    EXPECT_EQ(Painter()->GetDisabledImageFadeColor(Window), gfx::clNone);
    Manager->SetMakeDisabledImagesFaded(true);
    EXPECT_EQ(Painter()->GetDisabledImageFadeColor(Window),
              lf::MixColors(gfx::clBtnShadow, gfx::clWhite, 70));
}

// --- Arrows ---

TEST_F(PainterDrawTest, ArrowsAreTrianglesOfTheirSize) {
    const COLORREF Text = SysRGB(gfx::COLOR_BTNTEXT);
    const std::vector<std::pair<COLORREF, char>> Legend{{Green, '.'}, {Text, '#'}};
    {
        // A 10-pixel-wide drop-down part gets the smallest arrow, 3 pixels high.
        DibDC S(10, 10, Green);
        Painter()->DrawDropDownArrow(S.dc(), RECT{0, 0, 10, 10}, true, true, false);
        EXPECT_EQ(Picture(S, RECT{0, 2, 10, 7}, Legend),
                  Rows({"..........", "..#####...", "...###....", "....#.....", ".........."}));
    }
    {
        DibDC S(8, 9, Green);
        Painter()->DrawSubMenuArrow(S.dc(), RECT{0, 0, 8, 9}, 4, true, false, false);
        EXPECT_EQ(Picture(S, RECT{0, 0, 8, 9}, Legend),
                  Rows({"........", "..#.....", "..##....", "..###...", "..####..", "..###...", "..##....",
                        "..#.....", "........"}));
    }
    {
        DibDC S(8, 5, Green);
        Painter()->DrawDownArrow(S.dc(), gfx::clBtnText, 5, 1, 1);
        EXPECT_EQ(Picture(S, RECT{0, 0, 8, 5}, Legend),
                  Rows({"........", ".#####..", "..###...", "...#....", "........"}));
    }
    {
        DibDC S(11, 8, Green);
        Painter()->DrawMarkArrow(Window, S.dc(), RECT{0, 0, 11, 8});
        EXPECT_EQ(
            Picture(S, RECT{0, 1, 11, 7}, {{Green, '.'}, {SysRGB(gfx::COLOR_CAPTIONTEXT), '#'}}),
            Rows({"...........", "..#######..", "...#####...", "....###....", ".....#.....", "..........."}));
    }
}

// --- Sub items ---

TEST_F(PainterDrawTest, SubItemInAMainMenuBarDrawsNoArrowAndReservesNoRoom) {
    Window->HandleNeeded();
    ASSERT_GT(Window->TextHeight(), 6);
    auto* SubItem = new TdxBarSubItem(Form);
    SubItem->SetCaption("File");
    TdxBarItemControl* Control = ControlOf(Bar->ItemLinks()->Add(SubItem));
    ASSERT_NE(Control, nullptr);
    const int ItemHeight = Window->TextHeight();
    const int Width = Painter()->GetSubItemWidth(Control);
    const RECT R{0, 0, Width, ItemHeight};
    DibDC WithArrow(Width, ItemHeight, Green), WithoutArrow(Width, ItemHeight, Green);
    gfx::SelectObject(WithArrow.dc(), Window->Font()->Handle());
    gfx::SelectObject(WithoutArrow.dc(), Window->Font()->Handle());
    Painter()->DrawSubItem(Control, WithArrow.dc(), R, ptHorz, TdxBarPaintState{});
    Window->MainMenu = true;
    EXPECT_EQ(Width - Painter()->GetSubItemWidth(Control), ItemHeight / 2);
    Painter()->DrawSubItem(Control, WithoutArrow.dc(), R, ptHorz, TdxBarPaintState{});

    // The arrow points down, (fifth - 1) pixels high, in the middle of the
    // strip kept for it at the right end: clear of the caption.
    const int S = Window->TextHeightFifth() - 1;
    const RECT Arrow = DiffBounds(WithArrow, WithoutArrow);
    const int Strip = ItemHeight / 2;
    EXPECT_EQ(Arrow.left, Width - Strip + (Strip - (2 * S - 1)) / 2);
    EXPECT_GE(Arrow.left - ColorBounds(WithoutArrow, SysRGB(gfx::COLOR_BTNTEXT)).right, 2);
    EXPECT_EQ(Arrow.right - Arrow.left, 2 * S - 1);
    EXPECT_EQ(Arrow.bottom - Arrow.top, S);
    EXPECT_EQ(ColorBounds(WithArrow, SysRGB(gfx::COLOR_BTNTEXT)).right, Arrow.right);

    // In a menu the entry is the item height high and the arrow points right.
    Window->MainMenu = false;
    Window->Menu = true;
    EXPECT_EQ(Painter()->GetSubItemHeight(Control), ItemHeight);
    EXPECT_EQ(Painter()->GetMenuIndent(Control), ItemHeight + 1);
    DibDC InMenu(Width, ItemHeight, Green);
    Painter()->DrawSubItem(Control, InMenu.dc(), R, ptMenu, TdxBarPaintState{});
    const int Fifth = Window->TextHeightFifth();
    EXPECT_EQ(ColorBounds(InMenu, SysRGB(gfx::COLOR_BTNTEXT)),
              (RECT{Width - ItemHeight + Fifth, (ItemHeight - (2 * Fifth - 1)) / 2,
                    Width - ItemHeight + 2 * Fifth, (ItemHeight - (2 * Fifth - 1)) / 2 + 2 * Fifth - 1}));
    Window->Menu = false;
    EXPECT_EQ(Painter()->GetMenuIndent(Control), 0);
}

// --- Cell fills and frame rings ---

TEST_F(PainterDrawTest, CellFillsWithItsBrushOrThroughTheWindow) {
    TdxBarItemControl* Control = AddButton("Open");
    const gfx::HBRUSH Brush = gfx::CreateSolidBrush(Blue);
    const RECT R{2, 2, 10, 8};
    {
        DibDC S(12, 10, Green);
        Painter()->FillGlyphCell(Control, S.dc(), R, Brush, true);
        EXPECT_EQ(ColorBounds(S, Blue), R);
        EXPECT_TRUE(Window->Fills.empty());
    }
    // Through the window the manager's bar background shows, tiled from the
    // window's origin.
    cls::TBitmap Pattern(2, 2);
    Pattern.Canvas()->SetPixels(0, 0, cls::clRed);
    Pattern.Canvas()->SetPixels(1, 1, cls::clRed);
    Pattern.Canvas()->SetPixels(1, 0, cls::clYellow);
    Pattern.Canvas()->SetPixels(0, 1, cls::clYellow);
    Manager->Backgrounds()->SetBar(&Pattern);
    {
        DibDC S(12, 10, Green);
        Painter()->FillGlyphCell(Control, S.dc(), R, Brush, false);
        ASSERT_EQ(Window->Fills.size(), 1u);
        EXPECT_EQ(Window->Fills[0].R, R);
        EXPECT_EQ(Window->Fills[0].Brush, Brush);
        EXPECT_TRUE(Window->Fills[0].ItemControlDrawing);
        for (int Y = 0; Y < 10; ++Y)
            for (int X = 0; X < 12; ++X) {
                const bool Inside = X >= R.left && X < R.right && Y >= R.top && Y < R.bottom;
                EXPECT_EQ(S.At(X, Y), !Inside ? Green : (X + Y) % 2 == 0 ? Red : Yellow) << X << "," << Y;
            }
    }
    gfx::DeleteObject(Brush);
}

TEST_F(PainterDrawTest, FrameRingChangesOnlyTheRingAndKeepsTheClip) {
    TdxBarItemControl* Control = AddButton("Open");
    const gfx::HBRUSH Brush = gfx::CreateSolidBrush(Blue);
    const RECT R{1, 1, 9, 7};
    for (const bool Solid : {false, true}) {
        DibDC S(10, 8, Yellow);
        const gfx::HRGN Clip = gfx::CreateRectRgn(0, 0, 9, 8);
        gfx::SelectClipRgn(S.dc(), Clip);
        Window->Fills.clear();
        Painter()->FrameGlyphCell(Control, S.dc(), R, Brush, Solid);
        EXPECT_EQ(Window->Fills.size(), Solid ? 0u : 1u);
        std::string Expected;
        for (int Y = 0; Y < 8; ++Y) {
            for (int X = 0; X < 10; ++X) {
                const bool InR = X >= R.left && X < R.right && Y >= R.top && Y < R.bottom;
                const bool Inner = X > R.left && X < R.right - 1 && Y > R.top && Y < R.bottom - 1;
                Expected += InR && !Inner ? 'b' : '.';
            }
            Expected += '\n';
        }
        EXPECT_EQ(Picture(S, RECT{0, 0, 10, 8}, {{Yellow, '.'}, {Blue, 'b'}}), Expected);
        const gfx::HRGN After = gfx::CreateRectRgn(0, 0, 0, 0);
        ASSERT_EQ(gfx::GetClipRgn(S.dc(), After), 1);
        EXPECT_TRUE(gfx::EqualRgn(After, Clip));
        gfx::DeleteObject(After);
        gfx::DeleteObject(Clip);
    }
    gfx::DeleteObject(Brush);
}

TEST_F(PainterDrawTest, BordersByKind) {
    struct Case {
        int Kind, Size;
        RECT After;
        COLORREF TopLeft;
    };
    const COLORREF Shadow = SysRGB(gfx::COLOR_BTNSHADOW), Light = SysRGB(gfx::COLOR_BTNHIGHLIGHT);
    for (const Case& C : {Case{0, 1, RECT{0, 0, 10, 10}, Green}, Case{1, 1, RECT{1, 1, 9, 9}, Shadow},
                          Case{2, 1, RECT{1, 1, 9, 9}, Light}, Case{3, 2, RECT{2, 2, 8, 8}, Shadow},
                          Case{4, 1, RECT{2, 2, 8, 8}, Light}}) {
        DibDC S(10, 10, Green);
        RECT R{0, 0, 10, 10};
        Painter()->DrawBorder(S.dc(), R, C.Kind, C.Size);
        EXPECT_EQ(R, C.After) << C.Kind;
        EXPECT_EQ(S.At(0, 0), C.TopLeft) << C.Kind;
    }
}

TEST_F(PainterDrawTest, CenteredTextAndPushButtonFrame) {
    DibDC S(40, 20, Green);
    SelectedFont F(S.dc(), -12);
    Painter()->DrawPushButtonFrame(nullptr, S.dc(), false, RECT{0, 0, 40, 20}, "Go");
    const COLORREF Face = SysRGB(gfx::COLOR_BTNFACE), Text = SysRGB(gfx::COLOR_BTNTEXT);
    const COLORREF Shadow = SysRGB(gfx::COLOR_BTNSHADOW), Light = SysRGB(gfx::COLOR_BTNHIGHLIGHT);
    EXPECT_EQ(S.At(0, 0), Face);
    EXPECT_EQ(S.At(39, 19), Text);
    EXPECT_EQ(S.At(1, 1), Light);
    EXPECT_EQ(S.At(38, 18), Shadow);
    EXPECT_EQ(S.At(38, 1), Face);
    // The text is centred on an opaque button-face background.
    const RECT Ink = ColorBounds(S, Text);
    EXPECT_NEAR((Ink.left + Ink.right) / 2.0, 20, 1.5);
    EXPECT_EQ(S.At(10, 10), Face);
}

} // namespace
