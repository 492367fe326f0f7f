#include "gfx/test_util.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/drawing.h"
#include "support/driver.h"

#include <algorithm>
#include <set>
#include <string>

using namespace lf;
using gfx::COLORREF;
using gfx::RGB;
using gfx::test::DibDC;

namespace {

constexpr COLORREF Red = RGB(255, 0, 0);

class DrawingTest : public testdrv::WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        RefreshOffice11Colors();
    }
};

TEST_F(DrawingTest, FillAndFrameByColorResolveSystemColours) {
    DibDC S(10, 10, Red);
    FillRectByColor(S.dc(), {2, 2, 8, 8}, gfx::clBtnFace);
    EXPECT_EQ(S.At(2, 2), RGB(212, 208, 200));
    EXPECT_EQ(S.At(7, 7), RGB(212, 208, 200));
    EXPECT_EQ(S.At(8, 8), Red);
    FrameRectByColor(S.dc(), {2, 2, 8, 8}, gfx::clBtnShadow);
    EXPECT_EQ(S.At(2, 5), RGB(128, 128, 128));
    EXPECT_EQ(S.At(7, 7), RGB(128, 128, 128));
    EXPECT_EQ(S.At(4, 4), RGB(212, 208, 200));
}

TEST_F(DrawingTest, GradientStripesAgreeWithGetGradientColorAt) {
    const COLORREF C1 = RGB(0, 50, 255), C2 = RGB(255, 150, 0);
    for (int Length : {1, 2, 10, 256, 300, 700}) {
        for (bool Horizontal : {true, false}) {
            const RECT R = Horizontal ? RECT{3, 1, 3 + Length, 3} : RECT{1, 3, 3, 3 + Length};
            DibDC S(R.right + 2, R.bottom + 2, Red);
            FillGradientRect(S.dc(), R, C1, C2, Horizontal);
            std::set<COLORREF> Seen;
            for (int P = 0; P < Length; ++P) {
                const int X = Horizontal ? R.left + P : R.left, Y = Horizontal ? R.top : R.top + P;
                const COLORREF Pixel = S.At(X, Y);
                Seen.insert(Pixel);
                ASSERT_EQ(Pixel,
                          gfx::ColorToRGB(GetGradientColorAt(R, Horizontal ? X : Y, C1, C2, Horizontal)))
                    << "length " << Length << " at " << P << (Horizontal ? " horizontal" : " vertical");
                ASSERT_EQ(S.At(Horizontal ? X : X + 1, Horizontal ? Y + 1 : Y), Pixel);
            }
            EXPECT_EQ(S.At(Horizontal ? R.left : 1, Horizontal ? 1 : R.top), C1);
            if (Length > 1) {
                EXPECT_EQ(S.At(Horizontal ? R.right - 1 : 1, Horizontal ? 1 : R.bottom - 1), C2);
            }
            EXPECT_EQ(S.At(Horizontal ? R.right : 1, Horizontal ? 1 : R.bottom), Red);
            EXPECT_LE(Seen.size(), 256u);
        }
    }
    // Outside R the colour is that of the nearest end.
    const RECT R{0, 0, 10, 1};
    EXPECT_EQ(gfx::ColorToRGB(GetGradientColorAt(R, -5, C1, C2, true)), C1);
    EXPECT_EQ(gfx::ColorToRGB(GetGradientColorAt(R, 50, C1, C2, true)), C2);
    // Equal colours (one of them a system colour) fill solid.
    DibDC S(4, 4, Red);
    FillGradientRect(S.dc(), {0, 0, 4, 4}, gfx::clBtnFace, RGB(212, 208, 200), false);
    EXPECT_EQ(S.CountNot(RGB(212, 208, 200)), 0);
}

TEST_F(DrawingTest, TwoStageGradientMeetsAQuarterOfTheWay) {
    const COLORREF C1 = RGB(0, 0, 0), C2 = RGB(200, 100, 40), Middle = RGB(50, 25, 10);
    DibDC S(40, 3, Red);
    FillTwoStageGradientRect(S.dc(), {0, 0, 40, 3}, C1, C2, true);
    EXPECT_EQ(S.At(0, 1), C1);
    EXPECT_EQ(S.At(19, 1), Middle);
    EXPECT_EQ(S.At(20, 1), Middle);
    EXPECT_EQ(S.At(39, 1), C2);
    EXPECT_EQ(S.At(10, 0), gfx::ColorToRGB(GetGradientColorAt({0, 0, 20, 3}, 10, C1, Middle, true)));

    DibDC V(3, 10, Red);
    FillTwoStageGradientRect(V.dc(), {0, 0, 3, 10}, C2, C2, false);
    EXPECT_EQ(V.CountNot(C2), 0);
}

// A part of a gradient is what the whole gradient clipped to that part
// leaves, whatever clip the DC already has, and the DC brush is as it was.
TEST_F(DrawingTest, AGradientPartIsTheGradientClippedToIt) {
    const COLORREF C1 = RGB(250, 250, 240), C2 = RGB(30, 60, 200), Before = RGB(1, 2, 3);
    struct Case {
        const char* What;
        RECT R;
        bool Horizontal;
        RECT Part;
        bool Clip; // the DC clips to a frame around (4, 4, 16, 16) first
        COLORREF C2;
    };
    const Case Cases[] = {
        {"inside", {0, 2, 24, 20}, true, {2, 4, 22, 18}, false, C2},
        {"across an end", {0, 2, 24, 20}, true, {20, 0, 40, 12}, false, C2},
        {"outside", {0, 2, 24, 20}, true, {30, 0, 40, 20}, false, C2},
        {"vertical", {3, 0, 20, 30}, false, {0, 5, 12, 19}, false, C2},
        {"under a clip", {0, 0, 24, 24}, true, {1, 1, 23, 23}, true, C2},
        // Stripes four pixels wide, the part's ends inside one.
        {"wide stripes cut through", {0, 0, 2000, 6}, true, {99, 1, 1201, 4}, false, C2},
        {"wide vertical stripes cut through", {0, 0, 6, 2000}, false, {1, 99, 4, 1201}, false, C2},
        {"equal colours", {0, 2, 24, 20}, true, {5, 0, 30, 9}, true, C1},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        const int W = std::max<int>(C.R.right, 40) + 2, H = std::max<int>(C.R.bottom, 30) + 2;
        DibDC Whole(W, H, Red), Part(W, H, Red);
        for (const DibDC* S : {&Whole, &Part}) {
            if (!C.Clip) continue;
            gfx::IntersectClipRect(S->dc(), 2, 2, 18, 18);
            gfx::ExcludeClipRect(S->dc(), 4, 4, 16, 16);
        }
        gfx::IntersectClipRect(Whole.dc(), C.Part.left, C.Part.top, C.Part.right, C.Part.bottom);
        FillTwoStageGradientRect(Whole.dc(), C.R, C1, C.C2, C.Horizontal);
        gfx::SetDCBrushColor(Part.dc(), Before);
        FillTwoStageGradientRect(Part.dc(), C.R, C1, C.C2, C.Horizontal, C.Part);
        EXPECT_EQ(gfx::SetDCBrushColor(Part.dc(), Before), Before);
        int Drawn = 0;
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                ASSERT_EQ(Part.At(X, Y), Whole.At(X, Y)) << X << "," << Y;
                Drawn += Part.At(X, Y) != Red;
            }
        EXPECT_EQ(Drawn > 0, std::string(C.What) != "outside");
    }
}

TEST_F(DrawingTest, Office11Arrows) {
    struct Case {
        bool Vertical, Enabled;
        int Size;
        RECT Bounds;
        COLORREF Color;
    };
    const Case Cases[] = {
        {true, true, 4, {6, 8, 13, 12}, RGB(0, 0, 0)},
        {false, true, 4, {8, 6, 12, 13}, RGB(0, 0, 0)},
        {true, false, 3, {7, 8, 12, 11}, RGB(128, 128, 128)},
        {false, false, 1, {9, 9, 10, 10}, RGB(128, 128, 128)},
    };
    const COLORREF White = RGB(255, 255, 255);
    for (const Case& C : Cases) {
        DibDC S(20, 20, White);
        DrawOffice11Arrow(S.dc(), {0, 0, 20, 20}, C.Vertical, C.Enabled, false, C.Size);
        EXPECT_EQ(S.InkBounds(White), C.Bounds) << C.Size << (C.Vertical ? " down" : " right");
        EXPECT_EQ(S.CountNot(White), C.Size * C.Size) << C.Size;
        EXPECT_EQ(
            S.At(C.Bounds.left + (C.Vertical ? C.Size - 1 : 0), C.Bounds.top + (C.Vertical ? 0 : C.Size - 1)),
            C.Color);
    }
    DibDC Down(9, 5, White);
    DrawOffice11Arrow(Down.dc(), {0, 0, 9, 5}, true, true, false, 3);
    EXPECT_EQ(Down.Picture(RGB(0, 0, 0)), ".........\n..#####..\n...###...\n....#....\n.........\n");
    // Fitted: the width less 8 (down) or the height less 6 (right) decides the size.
    for (auto [Width, Size] : {std::pair{10, 3}, {20, 5}, {21, 7}}) {
        DibDC S(Width, 20, White);
        DrawOffice11ArrowFitted(S.dc(), {0, 0, Width, 20}, true, true, false);
        const RECT Ink = S.InkBounds(White);
        EXPECT_EQ(Ink.right - Ink.left, 2 * Size - 1) << Width;
        EXPECT_EQ(Ink.bottom - Ink.top, Size) << Width;
    }
    DibDC Tall(20, 16, White);
    DrawOffice11ArrowFitted(Tall.dc(), {0, 0, 20, 16}, false, true, false);
    EXPECT_EQ(Tall.InkBounds(White), (RECT{8, 4, 12, 11}));

    // Selected arrows are white in the white high-contrast scheme.
    win::ChangeSysColors(gfx::HighContrastWhiteColorScheme());
    RefreshOffice11Colors();
    DibDC Selected(20, 20, Red);
    DrawOffice11Arrow(Selected.dc(), {0, 0, 20, 20}, true, true, true, 4);
    EXPECT_EQ(Selected.At(9, 8), White);
    DrawOffice11Arrow(Selected.dc(), {0, 0, 20, 20}, true, true, false, 4);
    EXPECT_EQ(Selected.At(9, 8), RGB(0, 0, 0));
}

TEST_F(DrawingTest, Office11FrameFollowsHighContrastBlack) {
    DibDC S(10, 10, Red);
    DrawOffice11Frame(S.dc(), {0, 0, 10, 10});
    EXPECT_EQ(S.At(0, 5), RGB(10, 36, 106));
    EXPECT_EQ(S.At(5, 5), Red);
    win::ChangeSysColors(gfx::HighContrastBlackColorScheme());
    RefreshOffice11Colors();
    DrawOffice11Frame(S.dc(), {0, 0, 10, 10});
    EXPECT_EQ(S.At(9, 5), RGB(255, 255, 255));
}

TEST_F(DrawingTest, DotGripCells) {
    const COLORREF Blue = RGB(0, 0, 255), Green = RGB(0, 255, 0), White = RGB(255, 255, 255);
    gfx::HBRUSH B1 = gfx::CreateSolidBrush(Blue), B2 = gfx::CreateSolidBrush(Green);
    auto Cells = [&](const DibDC& S) {
        std::string Out;
        for (int Y = 0; Y < S.height(); ++Y) {
            for (int X = 0; X < S.width(); ++X) {
                const COLORREF P = S.At(X, Y);
                Out += P == Blue ? '1' : P == Green ? '2' : '.';
            }
            Out += '\n';
        }
        return Out;
    };
    // 18 pixels: four cells, the 2 left over split at both ends.
    DibDC H(18, 4, White);
    DrawDotGrip(H.dc(), {0, 0, 18, 4}, false, B1, B2);
    EXPECT_EQ(Cells(H), ".11..11..11..11...\n"
                        ".112.112.112.112..\n"
                        "..22..22..22..22..\n"
                        "..................\n");
    DibDC V(4, 11, White);
    DrawDotGrip(V.dc(), {0, 0, 4, 11}, true, B1, B2);
    EXPECT_EQ(Cells(V), "....\n11..\n112.\n.22.\n....\n11..\n112.\n.22.\n....\n....\n....\n");
    gfx::DeleteObject(B1);
    gfx::DeleteObject(B2);

    // Default brushes, with and without a reference to the scheme.
    for (bool Referenced : {false, true}) {
        if (Referenced) AddRefOffice11Colors();
        DibDC D(4, 4, Red);
        DrawDotGrip(D.dc(), {0, 0, 4, 4}, false);
        EXPECT_EQ(D.At(0, 0), RGB(218, 215, 208));
        EXPECT_EQ(D.At(2, 2), White);
        if (Referenced) ReleaseOffice11Colors();
    }
}

TEST_F(DrawingTest, SizeGripAreaAndCorner) {
    EXPECT_EQ(GetSizeGripAreaHeight(), 19);
    win::SetSystemMetric(win::SM_CYSIZE, 30);
    EXPECT_EQ(GetSizeGripAreaHeight(), 31);

    const RECT Control{100, 100, 150, 120};
    struct Case {
        RECT Window;
        int Corner;
    };
    const Case Cases[] = {
        {{100, 120, 300, 300}, 3}, // below the control
        {{100, 0, 300, 100}, 1},   // above it
        {{0, 120, 100, 300}, 2},   // below and wholly to the left
        {{0, 0, 90, 100}, 0},      // above and wholly to the left
    };
    for (const Case& C : Cases) EXPECT_EQ(GetSizeGripCorner(Control, C.Window), C.Corner);
}

TEST_F(DrawingTest, SizeGripPointsIntoItsCorner) {
    const COLORREF Face = RGB(212, 208, 200), Shadow = RGB(128, 128, 128);
    const RECT Band{0, 0, 40, 19};
    for (int Corner = 0; Corner < 4; ++Corner) {
        const bool Right = Corner & 1, Bottom = Corner & 2;
        DibDC S(40, 19, Red);
        RECT R = Band;
        DrawSizeGrip(S.dc(), R, Corner);
        const RECT Expected{Right ? 22 : 2, Bottom ? 1 : 2, Right ? 38 : 18, Bottom ? 17 : 18};
        EXPECT_EQ(R, Expected) << "corner " << Corner;
        const int CX = Right ? R.right - 1 : R.left, CY = Bottom ? R.bottom - 1 : R.top;
        EXPECT_EQ(S.At(CX, CY), Face) << "corner " << Corner;
        EXPECT_EQ(S.At(CX, CY + (Bottom ? -1 : 1)), Shadow) << "corner " << Corner;
        EXPECT_EQ(S.At(CX + (Right ? -1 : 1), CY), Shadow) << "corner " << Corner;
        EXPECT_EQ(S.At(Right ? R.left : R.right - 1, Bottom ? R.top : R.bottom - 1), Face)
            << "corner " << Corner;
        // The outer strips.
        EXPECT_EQ(S.At(Right ? 39 : 0, CY), Face) << "corner " << Corner;
        EXPECT_EQ(S.At(CX, Bottom ? 18 : 0), Face) << "corner " << Corner;
        EXPECT_EQ(S.At(Right ? 39 : 0, Bottom ? 18 : 0), Face) << "corner " << Corner;
        // The rest of the band is left alone.
        EXPECT_EQ(S.At(Right ? R.left - 1 : R.right, CY), Red) << "corner " << Corner;
    }
}

} // namespace
