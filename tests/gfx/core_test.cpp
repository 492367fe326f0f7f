// Objects, device contexts, regions, clipping and the basic primitives.

#include "gfx/gdi.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace gfx {
namespace {

using test::DibDC;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

// --- Objects and handles ---

TEST(Objects, StaleHandlesAreRefusedEverywhere) {
    HBRUSH b = CreateSolidBrush(kRed);
    ASSERT_TRUE(b);
    EXPECT_EQ(GetObjectType(b), OBJ_BRUSH);
    EXPECT_TRUE(DeleteObject(b));
    // The slot is reused by the next object; the old handle must stay dead.
    HBRUSH again = CreateSolidBrush(kBlack);
    EXPECT_EQ(GetObjectType(b), 0u);
    EXPECT_FALSE(DeleteObject(b));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    DibDC d(4, 4);
    RECT r{0, 0, 4, 4};
    EXPECT_FALSE(FillRect(d.dc(), &r, b));
    EXPECT_EQ(d.At(0, 0), kWhite);
    EXPECT_EQ(SelectObject(d.dc(), b), nullptr);
    EXPECT_FALSE(FillRect(nullptr, &r, again));
    EXPECT_FALSE(DeleteDC(handle_from_int<HDC>(0x1234567890ull)));
    DeleteObject(again);
}

// More objects than the table starts with; every slot given back and taken
// again must leave the earlier handles dead.
TEST(Objects, TheTableGrowsAndReusedSlotsKeepOldHandlesDead) {
    constexpr int n = 10000;
    std::vector<HBRUSH> first(n);
    for (int i = 0; i < n; ++i)
        first[static_cast<std::size_t>(i)] = CreateSolidBrush(static_cast<COLORREF>(i));
    for (int i = 0; i < n; i += 997) {
        LOGBRUSH lb;
        ASSERT_EQ(GetObject(first[static_cast<std::size_t>(i)], sizeof lb, &lb), int(sizeof lb));
        EXPECT_EQ(lb.lbColor, static_cast<COLORREF>(i));
    }
    for (HBRUSH b : first) ASSERT_TRUE(DeleteObject(b));
    std::vector<HBRUSH> second(n);
    for (HBRUSH& b : second) b = CreateSolidBrush(kRed);
    for (HBRUSH b : first) ASSERT_EQ(GetObjectType(b), 0u);
    std::sort(first.begin(), first.end());
    for (HBRUSH b : second) {
        ASSERT_EQ(GetObjectType(b), OBJ_BRUSH);
        ASSERT_FALSE(std::binary_search(first.begin(), first.end(), b));
        DeleteObject(b);
    }
}

// Threads draw with objects of their own and the shared stock objects at
// once, and an object deleted on one thread while another has it selected
// lives until that thread lets it go.
TEST(Objects, ThreadsShareTheTableAndHandOverDeletion) {
    constexpr int kThreads = 4, kRounds = 2000;
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t, &wrong] {
            DibDC d(4, 4);
            LOGFONT lf;
            lf.lfHeight = -11 - t;
            for (int i = 0; i < kRounds; ++i) {
                const COLORREF c = RGB(t, i & 0xFF, 7);
                HBRUSH b = CreateSolidBrush(c);
                HPEN p = CreatePen(PS_SOLID, 1, c);
                HFONT f = CreateFontIndirect(&lf);
                HGDIOBJ oldBrush = SelectObject(d.dc(), b), oldPen = SelectObject(d.dc(), p),
                        oldFont = SelectObject(d.dc(), f);
                PatBlt(d.dc(), 0, 0, 4, 4, PATCOPY);
                if (d.At(1, 1) != c) ++wrong;
                SelectObject(d.dc(), GetStockObject(GRAY_BRUSH));
                SelectObject(d.dc(), oldPen);
                SelectObject(d.dc(), oldFont);
                DeleteObject(b);
                DeleteObject(p);
                DeleteObject(f);
                SelectObject(d.dc(), oldBrush);
            }
        });
    for (std::thread& th : threads) th.join();
    EXPECT_EQ(wrong.load(), 0);

    DibDC d(4, 4);
    HBRUSH b = CreateSolidBrush(kRed);
    HGDIOBJ old = SelectObject(d.dc(), b);
    std::thread([b] { EXPECT_TRUE(DeleteObject(b)); }).join();
    EXPECT_TRUE(PatBlt(d.dc(), 0, 0, 4, 4, PATCOPY));
    EXPECT_EQ(d.At(2, 2), kRed);
    SelectObject(d.dc(), old);
    EXPECT_EQ(GetObjectType(b), 0u);
}

TEST(Objects, StockObjectsSurviveDeletion) {
    HGDIOBJ white = GetStockObject(WHITE_BRUSH);
    EXPECT_TRUE(DeleteObject(white));
    EXPECT_EQ(GetObjectType(white), OBJ_BRUSH);
    EXPECT_EQ(GetStockObject(99), nullptr);
    LOGBRUSH lb;
    ASSERT_EQ(GetObject(GetStockObject(GRAY_BRUSH), sizeof lb, &lb), int(sizeof lb));
    EXPECT_EQ(lb.lbColor, RGB(128, 128, 128));
    EXPECT_EQ(GetObject(GetStockObject(NULL_PEN), 0, nullptr), int(sizeof(LOGPEN)));
}

TEST(Objects, SelectedObjectsOutliveDeleteObject) {
    DibDC d(4, 4);
    const DWORD Before = GetGdiObjectCount();
    HBRUSH red = CreateSolidBrush(kRed);
    EXPECT_EQ(GetGdiObjectCount(), Before + 1);
    HGDIOBJ old = SelectObject(d.dc(), red);
    EXPECT_EQ(old, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(DeleteObject(red));
    // Still usable (and counted) while selected.
    EXPECT_TRUE(PatBlt(d.dc(), 0, 0, 2, 2, PATCOPY));
    EXPECT_EQ(d.At(1, 1), kRed);
    EXPECT_EQ(GetGdiObjectCount(), Before + 1);
    SelectObject(d.dc(), old);
    EXPECT_EQ(GetObjectType(red), 0u);
    EXPECT_EQ(GetGdiObjectCount(), Before);

    // A saved state holds one too, and no DC may take it up anew.
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    SelectObject(d.dc(), blue);
    EXPECT_TRUE(DeleteObject(blue));
    const int saved = SaveDC(d.dc());
    SelectObject(d.dc(), old);
    EXPECT_EQ(GetObjectType(blue), OBJ_BRUSH);
    EXPECT_EQ(SelectObject(DibDC(1, 1).dc(), blue), nullptr);
    ASSERT_TRUE(RestoreDC(d.dc(), saved));
    EXPECT_TRUE(PatBlt(d.dc(), 0, 0, 2, 2, PATCOPY));
    EXPECT_EQ(d.At(1, 1), RGB(0, 0, 255));
    SelectObject(d.dc(), old);
    EXPECT_EQ(GetObjectType(blue), 0u);
}

TEST(Objects, BitmapSelectedIntoADCCannotBeDeletedOrSelectedTwice) {
    HDC a = CreateCompatibleDC(nullptr);
    HDC b = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateBitmap(8, 8, 1, 32, nullptr);
    ASSERT_TRUE(SelectObject(a, bmp));
    EXPECT_FALSE(DeleteObject(bmp));
    EXPECT_EQ(SelectObject(b, bmp), nullptr);
    DeleteDC(a);
    EXPECT_TRUE(DeleteObject(bmp));
    DeleteDC(b);
}

TEST(Objects, BitmapDescriptionsAndCompatibility) {
    HDC mem = CreateCompatibleDC(nullptr);
    // A fresh memory DC holds a monochrome bitmap, so compatible bitmaps are monochrome.
    HBITMAP mono = CreateCompatibleBitmap(mem, 20, 3);
    BITMAP bm;
    ASSERT_EQ(GetObject(mono, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmWidthBytes, 4);
    HBITMAP color = CreateBitmap(3, 2, 1, 32, nullptr);
    SelectObject(mem, color);
    HBITMAP compat = CreateCompatibleBitmap(mem, 5, 5);
    GetObject(compat, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmWidthBytes, 20);
    EXPECT_EQ(GetDeviceCaps(mem, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(mem, LOGPIXELSY), 96);
    EXPECT_EQ(CreateBitmap(-1, 5, 1, 32, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(1 << 20, 1 << 20, 1, 32, nullptr), nullptr);
    DeleteDC(mem);
    for (HBITMAP b : {mono, color, compat}) DeleteObject(b);
}

TEST(Objects, MonochromeBitmapBitsAndDrawing) {
    const unsigned char bits[4] = {0xA0, 0x00, 0x40, 0x00}; // rows are WORD aligned
    HBITMAP mono = CreateBitmap(3, 2, 1, 1, bits);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, mono);
    EXPECT_EQ(GetPixel(dc, 0, 0), kWhite);
    EXPECT_EQ(GetPixel(dc, 1, 0), kBlack);
    EXPECT_EQ(GetPixel(dc, 2, 0), kWhite);
    EXPECT_EQ(GetPixel(dc, 1, 1), kWhite);
    // Colours map to the nearest of black and white.
    EXPECT_EQ(SetPixel(dc, 0, 1, RGB(200, 200, 200)), kWhite);
    EXPECT_EQ(SetPixel(dc, 0, 0, RGB(100, 100, 100)), kBlack);
    DeleteDC(dc);
    DeleteObject(mono);
}

// --- Device contexts ---

TEST(DC, SaveAndRestoreBringBackStateAndObjects) {
    DibDC d(8, 8);
    HDC dc = d.dc();
    SetTextColor(dc, kRed);
    SetBkMode(dc, TRANSPARENT);
    SetWindowOrgEx(dc, 2, 3, nullptr);
    const int level = SaveDC(dc);
    EXPECT_EQ(level, 1);
    HBRUSH br = CreateSolidBrush(kBlack);
    SelectObject(dc, br);
    SetTextColor(dc, kBlack);
    IntersectClipRect(dc, 0, 0, 1, 1);
    SaveDC(dc);
    SetBkMode(dc, OPAQUE);
    EXPECT_TRUE(RestoreDC(dc, -2));
    EXPECT_EQ(GetTextColor(dc), kRed);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    POINT org;
    GetWindowOrgEx(dc, &org);
    EXPECT_EQ(org, (POINT{2, 3}));
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(dc, probe), 0);
    EXPECT_FALSE(RestoreDC(dc, 1)); // nothing saved any more
    EXPECT_TRUE(DeleteObject(br));
    DeleteObject(probe);
}

TEST(DC, ModeSettersRefuseOutOfRangeValues) {
    DibDC d(2, 2);
    EXPECT_EQ(SetROP2(d.dc(), R2_NOT), R2_COPYPEN);
    EXPECT_EQ(SetROP2(d.dc(), 99), 0);
    EXPECT_EQ(GetROP2(d.dc()), R2_NOT);
    EXPECT_EQ(SetBkMode(d.dc(), 7), 0);
    EXPECT_EQ(GetBkMode(d.dc()), OPAQUE);
    EXPECT_EQ(SetMapMode(d.dc(), 2), 0);
}

TEST(DC, OriginsMoveDrawing) {
    DibDC d(10, 10);
    HBRUSH red = CreateSolidBrush(kRed);
    SetWindowOrgEx(d.dc(), -2, 0, nullptr); // logical 0 at device 2
    SetViewportOrgEx(d.dc(), 0, 3, nullptr);
    RECT r{0, 0, 1, 1};
    FillRect(d.dc(), &r, red);
    EXPECT_EQ(d.At(2, 3), kRed);
    EXPECT_EQ(d.CountNot(kWhite), 1);
    POINT p{0, 0};
    LPtoDP(d.dc(), &p, 1);
    EXPECT_EQ(p, (POINT{2, 3}));
    DeleteObject(red);
}

TEST(DC, SurfaceDCsDrawInsideTheirAreaOnly) {
    HBITMAP surface = CreateBitmap(20, 20, 1, 32, nullptr);
    HRGN vis = CreateRectRgn(0, 0, 5, 5);
    HDC dc = CreateSurfaceDC(surface, POINT{10, 10}, vis);
    ASSERT_TRUE(dc);
    HBITMAP other = CreateBitmap(2, 2, 1, 32, nullptr);
    EXPECT_EQ(SelectObject(dc, other), nullptr);
    DeleteObject(other);
    RECT all{-100, -100, 100, 100};
    FillRect(dc, &all, handle_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT dirty;
    ASSERT_TRUE(TakeBitmapDirtyRect(surface, &dirty));
    EXPECT_EQ(dirty, (RECT{10, 10, 15, 15}));
    EXPECT_FALSE(TakeBitmapDirtyRect(surface, &dirty));
    BitmapSurface s;
    GetBitmapSurface(surface, &s);
    int white = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) white += (s.Row(y)[x] & 0xFFFFFF) == 0xFFFFFF;
    EXPECT_EQ(white, 25);
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 5, 5}));
    DeleteDC(dc);
    DeleteObject(vis);
    DeleteObject(surface);
}

TEST(DC, ASurfaceDCsFirstUseHookRunsOnceBeforeItsFirstPixel) {
    HBITMAP surface = CreateBitmap(8, 8, 1, 32, nullptr);
    HDC dc = CreateSurfaceDC(surface, POINT{0, 0}, nullptr);
    ASSERT_TRUE(dc);
    int runs = 0;
    COLORREF seen = CLR_INVALID;
    EXPECT_TRUE(SetSurfaceDCFirstUse(dc, [&] {
        ++runs;
        BitmapSurface s;
        GetBitmapSurface(surface, &s);
        seen = s.Row(0)[0] & 0xFFFFFF;
    }));
    // Questions about the format and measuring text leave the pixels alone.
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_EQ(GetNearestColor(dc, kRed), kRed);
    SIZE extent{};
    EXPECT_TRUE(GetTextExtentPoint32(dc, "Wg", 2, &extent));
    HBITMAP compatible = CreateCompatibleBitmap(dc, 2, 2);
    DeleteObject(compatible);
    EXPECT_EQ(runs, 0);
    RECT all{0, 0, 8, 8};
    FillRect(dc, &all, handle_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(seen, 0u); // before the fill
    PatBlt(dc, 0, 0, 8, 8, DSTINVERT);
    EXPECT_EQ(runs, 1);
    DeleteDC(dc);
    DeleteObject(surface);
    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(SetSurfaceDCFirstUse(memory, [] {}));
    DeleteDC(memory);
}

// --- Regions ---

TEST(Regions, CombineModes) {
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    struct Case {
        int mode;
        int type;
        int area;
        RECT box;
    } cases[] = {
        {RGN_AND, SIMPLEREGION, 25, {5, 5, 10, 10}},   {RGN_OR, COMPLEXREGION, 175, {0, 0, 15, 15}},
        {RGN_XOR, COMPLEXREGION, 150, {0, 0, 15, 15}}, {RGN_DIFF, COMPLEXREGION, 75, {0, 0, 10, 10}},
        {RGN_COPY, SIMPLEREGION, 100, {0, 0, 10, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(CombineRgn(r, a, b, c.mode), c.type);
        int area = 0;
        for (const RECT& q : GetRegionRects(r)) area += (q.right - q.left) * (q.bottom - q.top);
        EXPECT_EQ(area, c.area);
        RECT box;
        GetRgnBox(r, &box);
        EXPECT_EQ(box, c.box);
    }
    // Subtracting everything leaves an empty region.
    EXPECT_EQ(CombineRgn(r, a, a, RGN_DIFF), NULLREGION);
    EXPECT_EQ(CombineRgn(r, a, nullptr, RGN_AND), ERROR);
    for (HRGN h : {a, b, r}) DeleteObject(h);
}

// A frame-shaped region against rectangles around it, beside it, over it
// and across part of it: the result keeps the one banded form.
TEST(Regions, CombiningWithCoveringOrSeparateRectanglesKeepsTheBandedForm) {
    HRGN ring = CreateRectRgn(0, 0, 10, 10);
    HRGN hole = CreateRectRgn(3, 3, 7, 7);
    CombineRgn(ring, ring, hole, RGN_DIFF);
    const std::vector<RECT> Ring = {{0, 0, 10, 3}, {0, 3, 3, 7}, {7, 3, 10, 7}, {0, 7, 10, 10}};
    ASSERT_EQ(GetRegionRects(ring), Ring);
    struct Case {
        const char* name;
        RECT other;
        int mode;
        bool ringFirst;
        std::vector<RECT> expected;
    } cases[] = {
        {"inside a rectangle", {-5, -5, 20, 20}, RGN_AND, true, Ring},
        {"a rectangle around it", {-5, -5, 20, 20}, RGN_AND, false, Ring},
        {"beside it", {10, 0, 20, 10}, RGN_AND, true, {}},
        {"across its right half",
         {5, 0, 20, 20},
         RGN_AND,
         true,
         {{5, 0, 10, 3}, {7, 3, 10, 7}, {5, 7, 10, 10}}},
        {"less what lies below it", {0, 10, 10, 20}, RGN_DIFF, true, Ring},
        {"less its box", {0, 0, 10, 10}, RGN_DIFF, true, {}},
        {"a rectangle less it", {0, 0, 10, 10}, RGN_DIFF, false, {{3, 3, 7, 7}}},
    };
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HRGN other = CreateRectRgnIndirect(&c.other);
        CombineRgn(r, c.ringFirst ? ring : other, c.ringFirst ? other : ring, c.mode);
        EXPECT_EQ(GetRegionRects(r), c.expected);
        DeleteObject(other);
    }
    for (HRGN h : {ring, hole, r}) DeleteObject(h);
}

// Every mode on shapes with holes, notches and bands that touch: each pixel
// follows the set algebra, and the result is in canonical banded form (in a
// band, disjoint rectangles that do not touch; touching bands differ), so
// that bands the combination made equal are joined.
TEST(Regions, CombineFollowsThePixelsAndStaysCanonical) {
    const std::vector<std::vector<RECT>> Shapes = {
        {{0, 0, 12, 12}},
        // A ring: the frame of a cell with its inside excluded.
        {{2, 2, 14, 3}, {2, 3, 3, 13}, {13, 3, 14, 13}, {2, 13, 14, 14}},
        // A comb: teeth in one band under a bar.
        {{0, 0, 16, 2}, {0, 2, 2, 9}, {4, 2, 6, 9}, {8, 2, 10, 9}, {12, 2, 14, 9}},
        // A staircase whose steps share edges.
        {{1, 1, 5, 4}, {3, 4, 8, 7}, {6, 7, 11, 10}, {9, 10, 15, 13}},
        // Two halves side by side: one rectangle once joined.
        {{5, 0, 9, 16}, {9, 0, 11, 16}},
    };
    auto Make = [](const std::vector<RECT>& ARects) {
        return CreateRectListRgn(ARects.data(), static_cast<int>(ARects.size()));
    };
    for (std::size_t I = 0; I < Shapes.size(); ++I)
        for (std::size_t J = 0; J < Shapes.size(); ++J)
            for (int Mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF}) {
                SCOPED_TRACE(testing::Message() << "shapes " << I << ", " << J << " mode " << Mode);
                HRGN A = Make(Shapes[I]), B = Make(Shapes[J]), R = CreateRectRgn(0, 0, 0, 0);
                CombineRgn(R, A, B, Mode);
                for (int Y = -1; Y < 17; ++Y)
                    for (int X = -1; X < 17; ++X) {
                        const bool InA = PtInRegion(A, X, Y), InB = PtInRegion(B, X, Y);
                        const bool Expected = Mode == RGN_AND   ? InA && InB
                                              : Mode == RGN_OR  ? InA || InB
                                              : Mode == RGN_XOR ? InA != InB
                                                                : InA && !InB;
                        ASSERT_EQ(PtInRegion(R, X, Y) != 0, Expected) << X << "," << Y;
                    }
                const std::vector<RECT> Rects = GetRegionRects(R);
                std::size_t Prev = 0, PrevEnd = 0;
                for (std::size_t K = 0; K < Rects.size();) {
                    std::size_t End = K + 1;
                    while (End < Rects.size() && Rects[End].top == Rects[K].top) {
                        ASSERT_EQ(Rects[End].bottom, Rects[K].bottom);
                        ASSERT_GT(Rects[End].left, Rects[End - 1].right);
                        ++End;
                    }
                    if (K > 0 && Rects[Prev].bottom == Rects[K].top && End - K == PrevEnd - Prev) {
                        bool Same = true;
                        for (std::size_t L = 0; L < End - K; ++L)
                            Same = Same && Rects[K + L].left == Rects[Prev + L].left &&
                                   Rects[K + L].right == Rects[Prev + L].right;
                        ASSERT_FALSE(Same) << "touching bands with the same spans at " << Rects[K].top;
                    }
                    if (K > 0) {
                        ASSERT_GE(Rects[K].top, Rects[Prev].bottom);
                    }
                    Prev = K;
                    PrevEnd = End;
                    K = End;
                }
                for (HRGN H : {A, B, R}) DeleteObject(H);
            }
}

TEST(Regions, EqualityIsBySetNotByHistory) {
    // Two halves joined equal the whole rectangle.
    HRGN left = CreateRectRgn(0, 0, 5, 10);
    HRGN right = CreateRectRgn(5, 0, 10, 10);
    HRGN whole = CreateRectRgn(10, 10, 0, 0); // reversed corners are normalised
    HRGN joined = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(joined, left, right, RGN_OR);
    EXPECT_TRUE(EqualRgn(joined, whole));
    EXPECT_EQ(GetRegionRects(joined).size(), 1u);
    EXPECT_EQ(OffsetRgn(joined, 3, 4), SIMPLEREGION);
    EXPECT_TRUE(PtInRegion(joined, 12, 13));
    EXPECT_FALSE(PtInRegion(joined, 13, 14));
    RECT probe{12, 13, 20, 20};
    EXPECT_TRUE(RectInRegion(joined, &probe));
    for (HRGN h : {left, right, whole, joined}) DeleteObject(h);
}

// Coordinates stop at a limit; what an offset pushes past it collapses and
// is dropped, and what is left is the same set as a region built directly.
TEST(Regions, OffsetPastTheCoordinateLimitDropsCollapsedParts) {
    constexpr int kHuge = 2000000000;
    HRGN empty = CreateRectRgn(0, 0, 0, 0);
    struct Case {
        RECT rects[2];
        int dx, dy;
        int type;
        bool staysEqualToItsOffsetCopy; // offset back by -dx, -dy gives the original
    } cases[] = {
        {{{0, 0, 10, 10}, {}}, kHuge, 0, NULLREGION, false},
        {{{0, 0, 10, 10}, {}}, 0, -kHuge, NULLREGION, false},
        {{{0, 0, 10, 10}, {20, 0, 30, 10}}, kHuge, kHuge, NULLREGION, false},
        {{{0, 0, 10, 10}, {0, 20, 10, 30}}, 0, -kHuge, NULLREGION, false},
        {{{0, 0, 10, 10}, {20, 20, 30, 30}}, 5, 5, COMPLEXREGION, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dx);
        HRGN r = CreateRectListRgn(c.rects, 2);
        EXPECT_EQ(OffsetRgn(r, c.dx, c.dy), c.type);
        RECT box{1, 1, 1, 1};
        EXPECT_EQ(GetRgnBox(r, &box), c.type);
        EXPECT_EQ(EqualRgn(r, empty), c.type == NULLREGION);
        if (c.type == NULLREGION) {
            EXPECT_EQ(box, (RECT{0, 0, 0, 0}));
        }
        OffsetRgn(r, -c.dx, -c.dy);
        HRGN original = CreateRectListRgn(c.rects, 2);
        EXPECT_EQ(EqualRgn(r, original), c.staysEqualToItsOffsetCopy);
        DeleteObject(r);
        DeleteObject(original);
    }
    // A part that collapses leaves the rest in canonical form: the bands
    // above and below join again.
    const RECT steps[3] = {{0, 0, 10, 10}, {20, 0, 30, 10}, {0, 10, 10, 20}};
    HRGN r = CreateRectListRgn(steps, 3);
    const int shift = (1 << 27) - 15; // the right rectangle goes past the limit
    EXPECT_EQ(OffsetRgn(r, shift, 0), SIMPLEREGION);
    HRGN expected = CreateRectRgn(shift, 0, shift + 10, 20);
    EXPECT_TRUE(EqualRgn(r, expected));
    // Bands that differ only past the limit become one.
    const RECT clipped[2] = {{100, 0, 200, 10}, {100, 10, 300, 20}};
    HRGN c = CreateRectListRgn(clipped, 2);
    EXPECT_EQ(OffsetRgn(c, (1 << 27) - 150, 0), SIMPLEREGION);
    HRGN one = CreateRectRgn((1 << 27) - 50, 0, 1 << 27, 20);
    EXPECT_TRUE(EqualRgn(c, one));
    DeleteObject(c);
    DeleteObject(one);
    const RECT wide[2] = {{0, 0, 10, 10}, {20, 0, 30, 20}};
    HRGN w = CreateRectListRgn(wide, 2);
    EXPECT_EQ(OffsetRgn(w, (1 << 27) - 5, 0), SIMPLEREGION); // only the left rectangle's sliver is left
    RECT box;
    GetRgnBox(w, &box);
    EXPECT_EQ(box, (RECT{(1 << 27) - 5, 0, 1 << 27, 10}));
    for (HRGN h : {empty, r, expected, w}) DeleteObject(h);
}

TEST(Regions, PolygonsAndListsScanConvert) {
    const POINT tri[3] = {{0, 0}, {8, 0}, {0, 8}};
    HRGN t = CreatePolygonRgn(tri, 3, ALTERNATE);
    int area = 0;
    for (const RECT& q : GetRegionRects(t)) area += (q.right - q.left) * (q.bottom - q.top);
    EXPECT_EQ(area, 36); // pixel corners inside: rows of 8, 7, ... 1 pixels
    EXPECT_TRUE(PtInRegion(t, 0, 7));
    EXPECT_TRUE(PtInRegion(t, 7, 0));
    EXPECT_FALSE(PtInRegion(t, 7, 1));
    const RECT list[3] = {{0, 0, 4, 4}, {2, 2, 6, 6}, {10, 0, 11, 1}};
    HRGN l = CreateRectListRgn(list, 3);
    area = 0;
    for (const RECT& q : GetRegionRects(l)) area += (q.right - q.left) * (q.bottom - q.top);
    EXPECT_EQ(area, 16 + 16 - 4 + 1);
    EXPECT_EQ(CreatePolygonRgn(tri, 1, ALTERNATE), nullptr);
    DeleteObject(t);
    DeleteObject(l);
}

// --- Clipping ---

TEST(Clipping, EveryPrimitiveHonoursTheClip) {
    DibDC d(12, 12);
    HRGN clip = CreateRectRgn(2, 2, 6, 6);
    SelectClipRgn(d.dc(), clip);
    ExcludeClipRect(d.dc(), 3, 3, 4, 4);
    HBRUSH red = CreateSolidBrush(kRed);
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    SelectObject(d.dc(), red);
    SelectObject(d.dc(), pen);
    RECT all{0, 0, 12, 12};
    FillRect(d.dc(), &all, red);
    PatBlt(d.dc(), 0, 0, 12, 12, PATCOPY);
    Rectangle(d.dc(), 0, 0, 12, 12);
    Ellipse(d.dc(), 0, 0, 12, 12);
    MoveToEx(d.dc(), 0, 0, nullptr);
    LineTo(d.dc(), 12, 12);
    for (int i = 0; i < 12; ++i) SetPixel(d.dc(), i, 1, kRed);
    EXPECT_EQ(d.Picture(kRed), "............\n"
                               "............\n"
                               "..####......\n"
                               "..#.##......\n"
                               "..####......\n"
                               "..####......\n"
                               "............\n"
                               "............\n"
                               "............\n"
                               "............\n"
                               "............\n"
                               "............\n");
    HRGN got = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(d.dc(), got), 1);
    EXPECT_EQ(GetRegionRects(got).size(), 4u);
    EXPECT_FALSE(PtVisible(d.dc(), 3, 3));
    EXPECT_TRUE(PtVisible(d.dc(), 2, 3));
    SelectClipRgn(d.dc(), nullptr);
    EXPECT_EQ(GetClipRgn(d.dc(), got), 0);
    RECT box;
    EXPECT_EQ(GetClipBox(d.dc(), &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 12, 12}));
    for (HRGN r : {clip, got}) DeleteObject(r);
    DeleteObject(red);
    DeleteObject(pen);
}

TEST(Clipping, ClipRegionsAreInDeviceCoordinates) {
    DibDC d(10, 10);
    SetWindowOrgEx(d.dc(), 5, 5, nullptr);
    IntersectClipRect(d.dc(), 5, 5, 7, 7); // logical: device (0,0)-(2,2)
    HRGN got = CreateRectRgn(0, 0, 0, 0);
    GetClipRgn(d.dc(), got);
    RECT box;
    GetRgnBox(got, &box);
    EXPECT_EQ(box, (RECT{0, 0, 2, 2}));
    GetClipBox(d.dc(), &box);
    EXPECT_EQ(box, (RECT{5, 5, 7, 7}));
    DeleteObject(got);
}

// --- Primitives ---

TEST(Primitives, LinesLeaveOutTheirEndPoint) {
    struct Case {
        POINT from, to;
        const char* picture;
    } cases[] = {
        {{0, 0}, {4, 0}, "####.\n.....\n.....\n.....\n.....\n"},
        {{4, 4}, {4, 0}, ".....\n....#\n....#\n....#\n....#\n"},
        {{0, 0}, {4, 4}, "#....\n.#...\n..#..\n...#.\n.....\n"},
        {{2, 2}, {2, 2}, ".....\n.....\n.....\n.....\n.....\n"},
    };
    for (const Case& c : cases) {
        DibDC d(5, 5);
        MoveToEx(d.dc(), c.from.x, c.from.y, nullptr);
        LineTo(d.dc(), c.to.x, c.to.y);
        EXPECT_EQ(d.Picture(kBlack), c.picture);
        POINT cur;
        GetCurrentPositionEx(d.dc(), &cur);
        EXPECT_EQ(cur, c.to);
    }
}

TEST(Primitives, PensFollowTheirStyleAndRasterOperation) {
    DibDC d(12, 3);
    HPEN dot = CreatePen(PS_DOT, 1, kBlack);
    HGDIOBJ old = SelectObject(d.dc(), dot);
    SetBkMode(d.dc(), TRANSPARENT);
    MoveToEx(d.dc(), 0, 0, nullptr);
    LineTo(d.dc(), 12, 0);
    SelectObject(d.dc(), old);
    // R2_NOT inverts what is under the line, so drawing twice restores it.
    SetROP2(d.dc(), R2_NOT);
    for (int i = 0; i < 2; ++i) {
        MoveToEx(d.dc(), 0, 1, nullptr);
        LineTo(d.dc(), 6, 1);
    }
    MoveToEx(d.dc(), 0, 2, nullptr);
    LineTo(d.dc(), 3, 2);
    EXPECT_EQ(d.Picture(kBlack), "###...###...\n............\n###.........\n");
    SelectObject(d.dc(), GetStockObject(NULL_PEN));
    MoveToEx(d.dc(), 0, 1, nullptr);
    LineTo(d.dc(), 6, 1);
    EXPECT_EQ(d.At(0, 1), kWhite);
    DeleteObject(dot);
}

TEST(Primitives, FrameRectAndRectangleGeometry) {
    DibDC d(8, 6);
    RECT r{1, 1, 6, 5};
    FrameRect(d.dc(), &r, handle_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(d.Picture(kBlack), "........\n"
                                 ".#####..\n"
                                 ".#...#..\n"
                                 ".#...#..\n"
                                 ".#####..\n"
                                 "........\n");

    DibDC e(8, 6);
    HBRUSH red = CreateSolidBrush(kRed);
    SelectObject(e.dc(), red);
    Rectangle(e.dc(), 6, 5, 1, 1); // corners in any order
    EXPECT_EQ(e.Picture(kBlack), d.Picture(kBlack));
    EXPECT_EQ(e.Picture(kRed), "........\n"
                               "........\n"
                               "..###...\n"
                               "..###...\n"
                               "........\n"
                               "........\n");
    // Without a pen the fill loses one pixel on the right and bottom.
    DibDC f(8, 6);
    SelectObject(f.dc(), red);
    SelectObject(f.dc(), GetStockObject(NULL_PEN));
    Rectangle(f.dc(), 1, 1, 6, 5);
    EXPECT_EQ(f.Picture(kRed), "........\n"
                               ".####...\n"
                               ".####...\n"
                               ".####...\n"
                               "........\n"
                               "........\n");
    SelectObject(e.dc(), GetStockObject(WHITE_BRUSH));
    SelectObject(f.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(red);

    // With the null brush the inside stays as it was, even in a mix mode
    // that ignores colours: only the outline is inverted.
    DibDC g(8, 6);
    SetROP2(g.dc(), R2_NOT);
    SelectObject(g.dc(), GetStockObject(NULL_BRUSH));
    Rectangle(g.dc(), 1, 1, 6, 5);
    EXPECT_EQ(g.Picture(kBlack), d.Picture(kBlack));
}

TEST(Primitives, PolygonFillsInteriorAndOutlines) {
    DibDC d(9, 9);
    HBRUSH red = CreateSolidBrush(kRed);
    SelectObject(d.dc(), red);
    const POINT square[4] = {{1, 1}, {7, 1}, {7, 7}, {1, 7}};
    Polygon(d.dc(), square, 4);
    EXPECT_EQ(d.At(4, 4), kRed);
    EXPECT_EQ(d.At(1, 1), kBlack);
    EXPECT_EQ(d.At(7, 7), kBlack); // a closed outline reaches every corner
    EXPECT_EQ(d.At(0, 0), kWhite);
    EXPECT_EQ(d.At(8, 8), kWhite);
    SelectObject(d.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
}

TEST(Primitives, EllipseIsSymmetricAndInsideItsBox) {
    DibDC d(14, 10);
    SelectObject(d.dc(), GetStockObject(BLACK_BRUSH));
    Ellipse(d.dc(), 1, 1, 13, 9);
    const RECT ink = d.InkBounds(kWhite);
    EXPECT_EQ(ink, (RECT{1, 1, 13, 9}));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 14; ++x) EXPECT_EQ(d.At(x, y), d.At(13 - x, y)) << x << "," << y;
    EXPECT_EQ(d.At(1, 1), kWhite); // corners stay clear
}

TEST(Primitives, BrushPatternsFollowTheBrushOrigin) {
    DibDC d(8, 2);
    HBRUSH hatch = CreateHatchBrush(HS_VERTICAL, kRed);
    SetBkMode(d.dc(), TRANSPARENT);
    RECT r{0, 0, 8, 1};
    FillRect(d.dc(), &r, hatch);
    SetBrushOrgEx(d.dc(), 2, 0, nullptr);
    RECT r2{0, 1, 8, 2};
    FillRect(d.dc(), &r2, hatch);
    EXPECT_EQ(d.Picture(kRed), "....#...\n......#.\n");
    // A monochrome pattern takes the DC's text colour for 0 bits and background for 1 bits.
    const unsigned char bits[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};
    HBITMAP pat = CreateBitmap(8, 8, 1, 1, bits);
    HBRUSH checker = CreatePatternBrush(pat);
    DibDC e(4, 2);
    SetTextColor(e.dc(), kRed);
    SetBkColor(e.dc(), RGB(0, 0, 255));
    RECT all{0, 0, 4, 2};
    FillRect(e.dc(), &all, checker);
    EXPECT_EQ(e.Picture(kRed), "#.#.\n.#.#\n");
    for (HBRUSH b : {hatch, checker}) DeleteObject(b);
    DeleteObject(pat);
}

TEST(Primitives, SystemColourBrushesFollowTheTable) {
    DibDC d(2, 1);
    RECT r{0, 0, 1, 1};
    FillRect(d.dc(), &r, handle_from_int<HBRUSH>(COLOR_BTNFACE + 1));
    EXPECT_EQ(d.At(0, 0), GetSysColor(COLOR_BTNFACE));
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    const ColorScheme saved = GetSysColorScheme();
    const int index = COLOR_BTNFACE;
    const COLORREF green = RGB(0, 255, 0);
    SetSysColors(1, &index, &green);
    RECT r2{1, 0, 2, 1};
    FillRect(d.dc(), &r2, face);
    EXPECT_EQ(d.At(1, 0), green);
    EXPECT_TRUE(DeleteObject(face));
    EXPECT_EQ(GetObjectType(face), OBJ_BRUSH);
    SetSysColorScheme(saved);
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
}

TEST(Primitives, InvertRectTwiceRestores) {
    DibDC d(4, 4, RGB(10, 20, 30));
    RECT r{1, 1, 3, 3};
    InvertRect(d.dc(), &r);
    EXPECT_EQ(d.At(1, 1), RGB(245, 235, 225));
    InvertRect(d.dc(), &r);
    EXPECT_EQ(d.CountNot(RGB(10, 20, 30)), 0);
}

TEST(BadInput, HugeAndReversedRectanglesAreSafe) {
    DibDC d(6, 6);
    HBRUSH red = CreateSolidBrush(kRed);
    const RECT huge{-2147483647, -2147483647, 2147483647, 2147483647};
    EXPECT_TRUE(FillRect(d.dc(), &huge, red));
    EXPECT_EQ(d.CountNot(kRed), 0);
    RECT reversed{5, 5, 1, 1};
    FillRect(d.dc(), &reversed, handle_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(d.CountNot(kRed), 0); // a reversed rectangle fills nothing
    MoveToEx(d.dc(), -2000000000, 3, nullptr);
    EXPECT_TRUE(LineTo(d.dc(), 2000000000, 3));
    EXPECT_TRUE(Ellipse(d.dc(), -2000000000, -2000000000, 2000000000, 2000000000));
    EXPECT_TRUE(PatBlt(d.dc(), 2147483000, 2147483000, 2147483000, 2147483000, PATCOPY));
    EXPECT_FALSE(PatBlt(d.dc(), 0, 0, 1, 1, SRCCOPY)); // a source is not allowed
    EXPECT_FALSE(FillRect(d.dc(), nullptr, red));
    EXPECT_FALSE(Polygon(d.dc(), nullptr, 3));
    EXPECT_EQ(GetPixel(d.dc(), 100, 100), CLR_INVALID);
    DeleteObject(red);
}

} // namespace
} // namespace gfx
