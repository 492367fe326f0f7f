#include "bars/drawing.h"

#include "bars/system.h"
#include "classes/graphics.h"
#include "classes/imagelist.h"
#include "gfx/test_util.h"
#include "support/driver.h"
#include "win/driver.h"

#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

using namespace bars;
using gfx::COLORREF;
using gfx::RGB;
using gfx::test::DibDC;

namespace {

constexpr COLORREF Green = RGB(0, 160, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Shadow = RGB(128, 128, 128);
constexpr COLORREF Highlight = RGB(255, 255, 255);
constexpr COLORREF Face = RGB(212, 208, 200);

// The DC's pixels as rows of characters, one per colour of the legend ('?'
// for any other colour).
std::string Picture(const DibDC& S, const std::map<COLORREF, char>& Legend) {
    std::string Out;
    for (int Y = 0; Y < S.height(); ++Y) {
        for (int X = 0; X < S.width(); ++X) {
            const auto It = Legend.find(S.At(X, Y));
            Out += It == Legend.end() ? '?' : It->second;
        }
        Out += '\n';
    }
    return Out;
}

// '*' in AExpected stands for a pixel inside a polygon outline, which the
// scan conversion may leave to the background.
bool PictureMatches(const std::string& AActual, const std::string& AExpected, char AInk) {
    if (AActual.size() != AExpected.size()) return false;
    for (std::size_t I = 0; I < AActual.size(); ++I)
        if (AExpected[I] == '*' ? AActual[I] != AInk && AActual[I] != '.' : AActual[I] != AExpected[I])
            return false;
    return true;
}

std::string Rows(std::initializer_list<const char*> ARows) {
    std::string Out;
    for (const char* Row : ARows) (Out += Row) += '\n';
    return Out;
}

class DrawingTest : public testdrv::WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        UpdateScreenBitsPerPixel();
        FBrush = gfx::CreateSolidBrush(Blue);
    }
    void TearDown() override {
        gfx::DeleteObject(FBrush);
        SetGlyphFadingEnabled(true);
        WinTest::TearDown();
    }

    // 4 x 4, fuchsia around a red 2 x 2 square at (1, 1).
    static std::unique_ptr<cls::TBitmap> MakeGlyph() {
        auto Glyph = std::make_unique<cls::TBitmap>(4, 4);
        for (int Y = 0; Y < 4; ++Y)
            for (int X = 0; X < 4; ++X)
                Glyph->Canvas()->SetPixels(
                    X, Y, (X == 1 || X == 2) && (Y == 1 || Y == 2) ? cls::clRed : cls::clFuchsia);
        return Glyph;
    }

    gfx::HBRUSH FBrush = nullptr;
};

struct GlyphCase {
    const char* Name;
    bool FromImageList;
    bool Enabled, GrayScale, Flat, Selected, Raise;
    gfx::TColor Tint;
    RECT GlyphRect;
    std::string Expected;
};

TEST_F(DrawingTest, DrawGlyphLooks) {
    const std::string Plain = Rows({"gggggggggg", "gbbbbbbbbg", "gbbbbbbbbg", "gbbbbbbbbg", "gbbbRRbbbg",
                                    "gbbbRRbbbg", "gbbbbbbbbg", "gbbbbbbbbg", "gbbbbbbbbg", "gggggggggg"});
    const std::string Embossed = Rows({"gggggggggg", "gbbbbbbbbg", "gbbbbbbbbg", "gbbbbbbbbg", "gbbbSSbbbg",
                                       "gbbbSSHbbg", "gbbbbHHbbg", "gbbbbbbbbg", "gbbbbbbbbg", "gggggggggg"});
    const std::string Engraved = Rows({"gggggggggg", "gbbbbbbbbg", "gbbbbbbbbg", "gbbbbbbbbg", "gbbbSSbbbg",
                                       "gbbbSSbbbg", "gbbbbbbbbg", "gbbbbbbbbg", "gbbbbbbbbg", "gggggggggg"});
    auto Square = [](char C) {
        std::string S = Rows({"gggggggggg", "gbbbbbbbbg", "gbbbbbbbbg", "gbbbbbbbbg", "gbbbxxbbbg",
                              "gbbbxxbbbg", "gbbbbbbbbg", "gbbbbbbbbg", "gbbbbbbbbg", "gggggggggg"});
        for (char& Ch : S)
            if (Ch == 'x') Ch = C;
        return S;
    };
    const RECT Normal{3, 3, 7, 7};
    const GlyphCase Cases[] = {
        {"enabled", false, true, false, false, false, false, gfx::clNone, Normal, Plain},
        {"enabled from an image list", true, true, false, false, false, false, gfx::clNone, Normal, Plain},
        {"stretched",
         false,
         true,
         false,
         false,
         false,
         false,
         gfx::clNone,
         {1, 1, 9, 9},
         Rows({"gggggggggg", "gbbbbbbbbg", "gbbbbbbbbg", "gbbRRRRbbg", "gbbRRRRbbg", "gbbRRRRbbg",
               "gbbRRRRbbg", "gbbbbbbbbg", "gbbbbbbbbg", "gggggggggg"})},
        {"disabled embossed", false, false, false, false, false, false, gfx::clNone, Normal, Embossed},
        {"disabled embossed from an image list", true, false, false, false, false, false, gfx::clNone, Normal,
         Embossed},
        {"disabled flat", false, false, false, true, false, false, gfx::clNone, Normal, Engraved},
        // L = 28 x 255 >> 8 = 27, L2 = 84; blue (192 x 255 + 64 x 84) >> 8, others 64 x 84 >> 8.
        {"tinted", false, false, false, false, false, false, cls::clBlue, Normal, Square('T')},
        {"grayscale", false, true, true, false, false, false, gfx::clNone, Normal, Square('G')},
        {"faded", false, true, false, true, false, false, gfx::clNone, Normal, Square('F')},
        {"flat selected is not faded", false, true, false, true, true, false, gfx::clNone, Normal, Plain},
        {"raised when selected", false, true, false, true, true, true, gfx::clNone, Normal,
         Rows({"gggggggggg", "gbbbbbbbbg", "gbbbbbbbbg", "gbbRRbbbbg", "gbbRRbbbbg", "gbbbbSSbbg",
               "gbbbbSSbbg", "gbbbbbbbbg", "gbbbbbbbbg", "gggggggggg"})},
    };
    const std::map<COLORREF, char> Legend = {{Green, 'g'},
                                             {Blue, 'b'},
                                             {Red, 'R'},
                                             {Shadow, 'S'},
                                             {Highlight, 'H'},
                                             {RGB(21, 21, 212), 'T'},
                                             {RGB(85, 85, 85), 'G'},
                                             {RGB(255, 77, 77), 'F'}};
    auto Glyph = MakeGlyph();
    cls::TImageList Images(nullptr);
    Images.SetWidth(4);
    Images.SetHeight(4);
    Images.AddMasked(Glyph.get(), cls::clFuchsia);
    for (const GlyphCase& C : Cases) {
        DibDC S(10, 10, Green);
        DrawGlyph(S.dc(), FBrush, {1, 1, 9, 9}, C.GlyphRect, C.FromImageList ? nullptr : Glyph.get(), &Images,
                  0, C.Enabled, C.GrayScale, C.Flat, C.Selected, false, false, C.Raise, false, C.Tint,
                  cls::clFuchsia);
        EXPECT_EQ(Picture(S, Legend), C.Expected) << C.Name;
    }
}

TEST_F(DrawingTest, DrawGlyphKeepsTheBackgroundItCopies) {
    DibDC S(6, 6, Green);
    auto Glyph = MakeGlyph();
    DrawGlyph(S.dc(), FBrush, {1, 1, 5, 5}, {1, 1, 5, 5}, Glyph.get(), nullptr, -1, true, false, false, false,
              false, false, false, true, gfx::clNone, cls::clFuchsia);
    EXPECT_EQ(Picture(S, {{Green, 'g'}, {Red, 'R'}}),
              Rows({"gggggg", "gggggg", "ggRRgg", "ggRRgg", "gggggg", "gggggg"}));
}

TEST_F(DrawingTest, FadingFollowsItsSwitchAndTheScreenDepth) {
    auto Glyph = MakeGlyph();
    auto CentreAfterFlatDraw = [&] {
        DibDC S(4, 4, Green);
        DrawGlyph(S.dc(), FBrush, {0, 0, 4, 4}, {0, 0, 4, 4}, Glyph.get(), nullptr, -1, true, false, true,
                  false, false, false, false, false, gfx::clNone, cls::clFuchsia);
        return S.At(1, 1);
    };
    EXPECT_EQ(CentreAfterFlatDraw(), RGB(255, 77, 77));
    SetGlyphFadingEnabled(false);
    EXPECT_EQ(CentreAfterFlatDraw(), Red);
    SetGlyphFadingEnabled(true);
    win::SetScreen(8, {win::MonitorConfig{{0, 0, 1024, 768}, {0, 0, 1024, 738}}});
    UpdateScreenBitsPerPixel();
    EXPECT_EQ(ScreenBitsPerPixel(), 8);
    EXPECT_EQ(CentreAfterFlatDraw(), Red);
}

// A brush naming a palette entry fills the glyph's cell through the target
// DC's palette on a screen of 256 colours; elsewhere the work DC keeps the
// default palette, whose entry 1 is dark red.
TEST_F(DrawingTest, GlyphsDrawThroughTheTargetsPaletteOnAPaletteScreen) {
    struct DepthCase {
        int BitsPerPixel;
        COLORREF Cell;
    };
    const DepthCase Cases[] = {{32, RGB(128, 0, 0)}, {8, Green}};
    auto Glyph = MakeGlyph();
    std::vector<std::byte> Buffer(offsetof(gfx::LOGPALETTE, palPalEntry) + 2 * sizeof(gfx::PALETTEENTRY));
    auto* LP = new (Buffer.data()) gfx::LOGPALETTE;
    LP->palNumEntries = 2;
    const gfx::PALETTEENTRY Entries[2] = {{0, 0, 0, 0}, {0, 160, 0, 0}};
    std::memcpy(Buffer.data() + offsetof(gfx::LOGPALETTE, palPalEntry), Entries, sizeof Entries);
    const gfx::HPALETTE Palette = gfx::CreatePalette(LP);
    const gfx::HBRUSH EntryBrush = gfx::CreateSolidBrush(gfx::PALETTEINDEX(1));
    for (const DepthCase& C : Cases) {
        SCOPED_TRACE(C.BitsPerPixel);
        win::SetScreen(C.BitsPerPixel, {win::MonitorConfig{{0, 0, 1024, 768}, {0, 0, 1024, 738}}});
        UpdateScreenBitsPerPixel();
        DibDC S(6, 6, Blue);
        const gfx::HPALETTE Old = gfx::SelectPalette(S.dc(), Palette, gfx::FALSE);
        DrawGlyph(S.dc(), EntryBrush, {1, 1, 5, 5}, {1, 1, 5, 5}, Glyph.get(), nullptr, -1, true, false,
                  false, false, false, false, false, false, gfx::clNone, cls::clFuchsia);
        gfx::SelectPalette(S.dc(), Old, gfx::FALSE);
        EXPECT_EQ(Picture(S, {{Blue, 'b'}, {C.Cell, 'c'}, {Red, 'R'}}),
                  Rows({"bbbbbb", "bccccb", "bcRRcb", "bcRRcb", "bccccb", "bbbbbb"}));
    }
    gfx::DeleteObject(EntryBrush);
    EXPECT_TRUE(gfx::DeleteObject(Palette));
    EXPECT_EQ(gfx::GetObjectType(Palette), 0u); // the work DC let it go
}

TEST_F(DrawingTest, ArrowsByDirectionAndState) {
    struct ArrowCase {
        const char* Name;
        bool Down, Selected, Enabled, Flat;
        char Ink;
        std::string Expected;
    };
    // Size 3 in a 9 x 9 rectangle: a down arrow starts at (2, 3), a right one at (3, 2).
    const ArrowCase Cases[] = {
        {"down", true, false, true, false, '#',
         Rows({".........", ".........", ".........", "..#####..", "...#*#...", "....#....", ".........",
               ".........", "........."})},
        {"right", false, false, true, false, '#',
         Rows({".........", ".........", "...#.....", "...##....", "...#*#...", "...##....", "...#.....",
               ".........", "........."})},
        {"selected", true, true, true, false, 'o',
         Rows({".........", ".........", ".........", "..ooooo..", "...o*o...", "....o....", ".........",
               ".........", "........."})},
        {"disabled", true, false, false, false, 's',
         Rows({".........", ".........", ".........", "..sssss..", "...s*shh.", "....shh..", ".....h...",
               ".........", "........."})},
        {"disabled right", false, false, false, false, 's',
         Rows({".........", ".........", "...s.....", "...ss....", "...s*s...", "...sshh..", "...shh...",
               "....h....", "........."})},
        {"disabled flat", true, false, false, true, 's',
         Rows({".........", ".........", ".........", "..sssss..", "...s*s...", "....s....", ".........",
               ".........", "........."})},
    };
    for (const ArrowCase& C : Cases) {
        DibDC S(9, 9, Green);
        DrawArrow(S.dc(), {0, 0, 9, 9}, C.Down, 3, C.Selected, C.Enabled, C.Flat);
        const std::string Actual = Picture(
            S, {{Green, '.'}, {RGB(0, 0, 0), '#'}, {Highlight, C.Enabled ? 'o' : 'h'}, {Shadow, 's'}});
        EXPECT_TRUE(PictureMatches(Actual, C.Expected, C.Ink)) << C.Name << "\n" << Actual;
    }
}

TEST_F(DrawingTest, SelectedArrowInTheWhiteHighContrastSchemeTakesTheButtonFace) {
    win::ChangeSysColors(gfx::HighContrastWhiteColorScheme());
    DibDC S(9, 9, Green);
    DrawArrow(S.dc(), {0, 0, 9, 9}, true, 3, true, true, false);
    EXPECT_EQ(S.At(4, 3), gfx::GetSysColor(gfx::COLOR_BTNFACE));
}

TEST_F(DrawingTest, FittedArrowSize) {
    struct FitCase {
        bool Down;
        RECT R;
        int Size;
    };
    // Down: E = width - 8; right: E = height - 6; (E - 1) div 2, plus 1 for odd E, at least 3.
    const FitCase Cases[] = {
        {true, {0, 0, 10, 20}, 3}, {true, {0, 0, 20, 20}, 5},  {true, {0, 0, 21, 20}, 7},
        {false, {0, 0, 20, 9}, 3}, {false, {0, 0, 20, 19}, 7}, {false, {0, 0, 20, 20}, 6},
    };
    for (const FitCase& C : Cases) {
        DibDC S(C.R.right, C.R.bottom, Green);
        DrawFittedArrow(S.dc(), C.R, C.Down, true, false, false);
        const RECT Ink = S.InkBounds(Green);
        EXPECT_EQ(C.Down ? Ink.right - Ink.left : Ink.bottom - Ink.top, 2 * C.Size - 1)
            << C.R.right << " x " << C.R.bottom;
        EXPECT_EQ(C.Down ? Ink.bottom - Ink.top : Ink.right - Ink.left, C.Size);
    }
}

TEST_F(DrawingTest, VerticalGradientIn256Bands) {
    DibDC S(3, 512, Green);
    cls::TCanvas Canvas;
    Canvas.SetHandle(S.dc());
    FillVerticalGradient(&Canvas, {1, 0, 2, 512}, 0, 255, 100, 0, 10, 20);
    Canvas.SetHandle(nullptr);
    EXPECT_EQ(S.At(1, 0), RGB(0, 100, 10));
    EXPECT_EQ(S.At(1, 1), RGB(0, 100, 10));
    EXPECT_EQ(S.At(1, 2), RGB(1, 100, 10));
    // Band 128 covers rows 256 and 257.
    EXPECT_EQ(S.At(1, 256), RGB(128, 50, 15));
    EXPECT_EQ(S.At(1, 257), RGB(128, 50, 15));
    EXPECT_EQ(S.At(1, 511), RGB(255, 0, 20));
    EXPECT_EQ(S.At(0, 256), Green);
    EXPECT_EQ(S.At(2, 256), Green);

    DibDC Short(1, 3, Green);
    Canvas.SetHandle(Short.dc());
    FillVerticalGradient(&Canvas, {0, 0, 1, 3}, 0, 255, 0, 0, 0, 0);
    Canvas.SetHandle(nullptr);
    // Bands 0-41 are empty, band 42 is the first to end below row 0; row 2
    // takes band 213, after which every band ends at row 3.
    EXPECT_EQ(Short.At(0, 0), RGB(42, 0, 0));
    EXPECT_EQ(Short.At(0, 1), RGB(127, 0, 0));
    EXPECT_EQ(Short.At(0, 2), RGB(213, 0, 0));
}

TEST_F(DrawingTest, TileBitmapStaysAnchoredToThePattern) {
    cls::TBitmap Tile(4, 4);
    Tile.Canvas()->Brush()->SetColor(cls::clBlue);
    Tile.Canvas()->FillRect({0, 0, 4, 4});
    Tile.Canvas()->SetPixels(0, 0, cls::clRed);
    DibDC S(16, 16, Green);
    // R shows the pattern from (5, 3): its cells start at pattern 8 and 12
    // across, 4, 8 and 12 down, so at R's (3, 1), (7, 1), (3, 5) and so on.
    TileBitmap(S.dc(), {2, 2, 12, 12}, {5, 3, 15, 13}, &Tile);
    std::string Reds;
    for (int Y = 0; Y < 16; ++Y)
        for (int X = 0; X < 16; ++X)
            if (S.At(X, Y) == Red) Reds += "(" + std::to_string(X) + "," + std::to_string(Y) + ")";
    EXPECT_EQ(Reds, "(5,3)(9,3)(5,7)(9,7)(5,11)(9,11)");
    EXPECT_EQ(S.InkBounds(Green), (RECT{2, 2, 12, 12}));
    HRGN Clip = gfx::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(gfx::GetClipRgn(S.dc(), Clip), 0);
    gfx::DeleteObject(Clip);
}

TEST_F(DrawingTest, TileBitmapKeepsTheCallersClipAndDrawsNothingWithoutAPicture) {
    DibDC S(16, 16, Green);
    gfx::IntersectClipRect(S.dc(), 0, 0, 8, 16);
    cls::TBitmap Tile(2, 2);
    Tile.Canvas()->Brush()->SetColor(cls::clBlue);
    Tile.Canvas()->FillRect({0, 0, 2, 2});
    cls::TBitmap Empty;
    for (cls::TBitmap* Bitmap : {&Tile, &Empty}) {
        TileBitmap(S.dc(), {0, 0, 16, 16}, {0, 0, 16, 16}, Bitmap);
        HRGN Clip = gfx::CreateRectRgn(0, 0, 0, 0);
        ASSERT_EQ(gfx::GetClipRgn(S.dc(), Clip), 1);
        RECT Box;
        gfx::GetRgnBox(Clip, &Box);
        EXPECT_EQ(Box, (RECT{0, 0, 8, 16}));
        gfx::DeleteObject(Clip);
    }
    EXPECT_EQ(S.InkBounds(Green), (RECT{0, 0, 8, 16}));
    DibDC Untouched(4, 4, Green);
    TileBitmap(Untouched.dc(), {0, 0, 4, 4}, {0, 0, 4, 4}, &Empty);
    TileBitmap(Untouched.dc(), {0, 0, 4, 4}, {0, 0, 0, 0}, &Tile);
    EXPECT_EQ(Untouched.CountNot(Green), 0);
}

TEST_F(DrawingTest, BarBackgroundTilesOrFills) {
    DibDC S(4, 4, Green);
    FillBarBackground(S.dc(), {0, 0, 2, 4}, {0, 0, 2, 4}, FBrush, cls::clRed, nullptr);
    FillBarBackground(S.dc(), {2, 0, 4, 4}, {0, 0, 2, 4}, nullptr, cls::clBtnFace, nullptr);
    EXPECT_EQ(S.At(0, 0), Blue);
    EXPECT_EQ(S.At(3, 3), Face);
    cls::TBitmap Tile(1, 1);
    Tile.Canvas()->SetPixels(0, 0, cls::clRed);
    FillBarBackground(S.dc(), {0, 0, 4, 4}, {0, 0, 4, 4}, FBrush, cls::clBtnFace, &Tile);
    EXPECT_EQ(S.CountNot(Red), 0);
}

TEST_F(DrawingTest, SizeGripOverBackgroundPutsDownOnlyTheGripLines) {
    DibDC S(20, 20, Green);
    DrawSizeGripOverBackground(S.dc(), {2, 2, 18, 18});
    int Lines = 0;
    for (int Y = 0; Y < 20; ++Y)
        for (int X = 0; X < 20; ++X) {
            const COLORREF C = S.At(X, Y);
            ASSERT_TRUE(C == Green || C == Shadow || C == Highlight) << X << "," << Y;
            Lines += C != Green;
        }
    EXPECT_GT(Lines, 10);
    // The grip's lines end in R's bottom-right corner.
    const RECT Ink = S.InkBounds(Green);
    EXPECT_EQ(Ink.right, 18);
    EXPECT_EQ(Ink.bottom, 18);
    EXPECT_GT(Ink.left, 2);
}

TEST_F(DrawingTest, CheckerPatternAndClipHelpers) {
    CreateCheckerPatternBrush();
    ASSERT_NE(CheckerBrush(), nullptr);
    DibDC S(4, 4, Green);
    const RECT All{0, 0, 4, 4};
    gfx::FillRect(S.dc(), &All, CheckerBrush());
    EXPECT_EQ(S.At(0, 0), Face);
    EXPECT_EQ(S.At(1, 1), Face);
    EXPECT_EQ(S.At(1, 0), Highlight);
    EXPECT_EQ(S.At(0, 3), Highlight);
    DeleteCheckerPatternBrush();
    EXPECT_EQ(CheckerBrush(), nullptr);

    HRGN Saved = nullptr;
    bool HadClip = true;
    SaveClipRegion(S.dc(), Saved, HadClip);
    EXPECT_FALSE(HadClip);
    gfx::IntersectClipRect(S.dc(), 0, 0, 1, 1);
    IncludeClipRect(S.dc(), {3, 3, 4, 4});
    DrawHighlightFrame(S.dc(), All);
    EXPECT_EQ(S.At(0, 0), RGB(10, 36, 106));
    EXPECT_EQ(S.At(3, 3), RGB(10, 36, 106));
    EXPECT_EQ(S.At(3, 0), Highlight);
    RestoreClipRegion(S.dc(), Saved, HadClip);
    EXPECT_EQ(Saved, nullptr);
    HRGN Clip = gfx::CreateRectRgn(0, 0, 4, 4);
    EXPECT_EQ(gfx::GetClipRgn(S.dc(), Clip), 0);
    ExcludeRectFromRegion(Clip, {0, 0, 4, 2});
    RECT Box;
    gfx::GetRgnBox(Clip, &Box);
    EXPECT_EQ(Box, (RECT{0, 2, 4, 4}));
    gfx::DeleteObject(Clip);
}

} // namespace
