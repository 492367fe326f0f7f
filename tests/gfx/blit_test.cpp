// Blits, raster operations, colour conversions, alpha blending, gradients
// and DIB transfers.

#include "gfx/gdi.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace gfx {
namespace {

using test::DibDC;

void SetRaw(HBITMAP bmp, int x, int y, std::uint32_t px) {
    BitmapSurface s;
    ASSERT_TRUE(GetBitmapSurface(bmp, &s));
    s.Row(y)[x] = px;
}
std::uint32_t Raw(HBITMAP bmp, int x, int y) {
    BitmapSurface s;
    GetBitmapSurface(bmp, &s);
    return s.Row(y)[x];
}
void FillRaw(HBITMAP bmp, std::uint32_t seed) {
    BitmapSurface s;
    GetBitmapSurface(bmp, &s);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            s.Row(y)[x] = s.bitsPerPixel == 1 ? ((seed >> 28) & 1 ? 0xFFFFFFu : 0u) : seed;
        }
}
std::vector<std::uint32_t> Snapshot(HBITMAP bmp) {
    BitmapSurface s;
    GetBitmapSurface(bmp, &s);
    std::vector<std::uint32_t> v;
    for (int y = 0; y < s.height; ++y) v.insert(v.end(), s.Row(y), s.Row(y) + s.width);
    return v;
}

// A memory DC holding a monochrome bitmap.
class MonoDC {
public:
    MonoDC(int w, int h) : mem_(w, h, 1) {}
    HDC dc() const { return mem_.Handle(); }
    HBITMAP bitmap() const { return mem_.Bitmap(); }
    void Set(int x, int y, bool white) { SetRaw(bitmap(), x, y, white ? 0xFFFFFFu : 0u); }

private:
    MemoryDC mem_;
};

// The operation evaluated bit by bit, as its definition reads.
std::uint32_t RefRop(std::uint8_t code, std::uint32_t d, std::uint32_t s, std::uint32_t p) {
    std::uint32_t r = 0;
    for (int b = 0; b < 32; ++b) {
        const int i = static_cast<int>(((p >> b) & 1) * 4 + ((s >> b) & 1) * 2 + ((d >> b) & 1));
        r |= ((static_cast<std::uint32_t>(code) >> i) & 1u) << b;
    }
    return r;
}
bool UsesSource(std::uint8_t code) {
    return ((code >> 2) & 0x33) != (code & 0x33);
}

// --- Raster operations ---

// Every code against the bitwise reference, with a pattern brush and a brush
// origin, source and destination offsets and full 32-bit pixels. Operations
// that read the source work on all 32 bits; pattern-only ones are fills and
// write alpha 0.
TEST(Blit, AllRopCodesMatchBitwiseReference) {
    DibDC src(8, 4), dst(8, 4), tileDC(8, 8);
    std::uint32_t tile[64];
    for (int i = 0; i < 64; ++i) {
        tile[i] = 0xA5000000u | (static_cast<std::uint32_t>(i) * 0x030507u);
        SetRaw(tileDC.bitmap(), i % 8, i / 8, tile[i]);
    }
    HBRUSH patternBrush = CreatePatternBrush(tileDC.bitmap());
    HBRUSH solidBrush = CreateSolidBrush(RGB(0x12, 0x9A, 0xF0));
    for (HBRUSH brush : {patternBrush, solidBrush}) {
        HGDIOBJ oldBrush = SelectObject(dst.dc(), brush);
        SetBrushOrgEx(dst.dc(), 3, 5, nullptr);
        for (int code = 0; code < 256; ++code) {
            FillRaw(src.bitmap(), 7);
            FillRaw(dst.bitmap(), 99 + static_cast<std::uint32_t>(code));
            const auto before = Snapshot(dst.bitmap());
            const DWORD rop = (static_cast<DWORD>(code) << 16) | 0x1234; // the low word is ignored
            ASSERT_TRUE(BitBlt(dst.dc(), 1, 1, 6, 3, src.dc(), 2, 0, rop)) << code;
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 8; ++x) {
                    const std::uint32_t d = before[static_cast<std::size_t>(y * 8 + x)];
                    std::uint32_t want = d;
                    if (x >= 1 && x < 7 && y >= 1) {
                        const std::uint32_t p = brush == solidBrush
                                                    ? PixelFromColor(RGB(0x12, 0x9A, 0xF0))
                                                    : tile[((y - 5) & 7) * 8 + ((x - 3) & 7)] & 0xFFFFFF;
                        const auto c = static_cast<std::uint8_t>(code);
                        want = RefRop(c, d, Raw(src.bitmap(), x + 1, y - 1), p);
                        if (!UsesSource(c)) want &= 0xFFFFFF;
                        if (c == 0xAA) want = d; // a no-op leaves even the alpha
                    }
                    ASSERT_EQ(Raw(dst.bitmap(), x, y), want) << "code " << code << " at " << x << "," << y;
                }
        }
        SelectObject(dst.dc(), oldBrush);
    }
    DeleteObject(patternBrush);
    DeleteObject(solidBrush);
}

TEST(Blit, NamedOperationsOnKnownPixels) {
    const std::uint32_t d = 0x80F0A050, s = 0xFF0F5AA0, p = PixelFromColor(RGB(0x33, 0x66, 0xCC));
    struct Case {
        DWORD rop;
        std::uint32_t want;
    } cases[] = {
        {SRCCOPY, s},
        {SRCAND, d & s},
        {SRCPAINT, d | s},
        {SRCINVERT, d ^ s},
        {MERGEPAINT, d | ~s},
        {NOTSRCCOPY, ~s},
        {PATCOPY, p},
        {PATINVERT, (d ^ p) & 0xFFFFFF},
        {DSTINVERT, ~d & 0xFFFFFF},
        {BLACKNESS, 0},
        {WHITENESS, 0xFFFFFF},
        {0x00E20746, (s & p) | (~s & d)}, // the source's 1 bits take the pattern
    };
    DibDC src(2, 2), dst(2, 2);
    HBRUSH brush = CreateSolidBrush(RGB(0x33, 0x66, 0xCC));
    HGDIOBJ old = SelectObject(dst.dc(), brush);
    for (const Case& c : cases) {
        SetRaw(src.bitmap(), 0, 0, s);
        SetRaw(dst.bitmap(), 1, 1, d);
        EXPECT_TRUE(BitBlt(dst.dc(), 1, 1, 1, 1, src.dc(), 0, 0, c.rop));
        EXPECT_EQ(Raw(dst.bitmap(), 1, 1), c.want) << std::hex << c.rop;
    }
    SelectObject(dst.dc(), old);
    DeleteObject(brush);
}

TEST(Blit, OperationsWithoutSourceAcceptNullSource) {
    DibDC dst(4, 4, RGB(0, 0, 0));
    EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 2, 2, nullptr, 0, 0, WHITENESS));
    EXPECT_EQ(dst.At(1, 1), RGB(255, 255, 255));
    EXPECT_EQ(dst.At(2, 2), RGB(0, 0, 0));
    EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(StretchBlt(dst.dc(), 4, 4, -2, -2, nullptr, 0, 0, 9, 9, DSTINVERT));
    EXPECT_EQ(dst.At(2, 2), RGB(255, 255, 255));
    EXPECT_EQ(dst.At(3, 3), RGB(255, 255, 255));
    EXPECT_EQ(dst.At(1, 1), RGB(255, 255, 255));
    EXPECT_EQ(dst.At(0, 3), RGB(0, 0, 0));
}

// --- Colour conversions ---

TEST(Blit, ColourToMonochromeUsesSourceBackground) {
    DibDC src(4, 1);
    const COLORREF key = RGB(10, 20, 30);
    SetRaw(src.bitmap(), 0, 0, PixelFromColor(key));
    SetRaw(src.bitmap(), 1, 0, 0xFF000000u | PixelFromColor(key)); // alpha does not count
    SetRaw(src.bitmap(), 2, 0, 0xFFFFFF);                          // white, but not the background colour
    SetRaw(src.bitmap(), 3, 0, PixelFromColor(RGB(10, 20, 31)));
    SetBkColor(src.dc(), key);
    MonoDC dst(4, 1);
    SetBkColor(dst.dc(), RGB(1, 2, 3)); // the destination's colours play no part
    SetTextColor(dst.dc(), RGB(4, 5, 6));
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 4, 1, src.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(Raw(dst.bitmap(), 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Raw(dst.bitmap(), 1, 0), 0xFFFFFFu);
    EXPECT_EQ(Raw(dst.bitmap(), 2, 0), 0u);
    EXPECT_EQ(Raw(dst.bitmap(), 3, 0), 0u);
}

TEST(Blit, MonochromeToColourUsesDestinationColours) {
    MonoDC src(2, 1);
    src.Set(0, 0, false);
    src.Set(1, 0, true);
    SetTextColor(src.dc(), RGB(9, 9, 9)); // the source's colours play no part
    SetBkColor(src.dc(), RGB(8, 8, 8));
    DibDC dst(4, 1);
    SetTextColor(dst.dc(), RGB(200, 10, 20));
    SetBkColor(dst.dc(), RGB(5, 60, 250));
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(dst.At(0, 0), RGB(200, 10, 20));
    EXPECT_EQ(dst.At(1, 0), RGB(5, 60, 250));
    // Stretched, the conversion is the same.
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 4, 1, src.dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dst.At(1, 0), RGB(200, 10, 20));
    EXPECT_EQ(dst.At(2, 0), RGB(5, 60, 250));
}

TEST(Blit, MonochromeToMonochromeStaysBlackAndWhite) {
    MonoDC src(2, 1), dst(2, 1);
    src.Set(0, 0, false);
    src.Set(1, 0, true);
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, NOTSRCCOPY));
    EXPECT_EQ(Raw(dst.bitmap(), 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Raw(dst.bitmap(), 1, 0), 0u);
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, MERGEPAINT)); // D | ~S
    EXPECT_EQ(Raw(dst.bitmap(), 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Raw(dst.bitmap(), 1, 0), 0u);
}

// The usual way to draw a monochrome mask in a colour: black mask pixels
// become white through the text colour and take the brush.
TEST(Blit, MaskDrawnInBrushColour) {
    MonoDC mask(3, 1);
    mask.Set(0, 0, false);
    mask.Set(1, 0, true);
    mask.Set(2, 0, false);
    DibDC dst(3, 1, RGB(1, 2, 3));
    SetTextColor(dst.dc(), RGB(255, 255, 255));
    SetBkColor(dst.dc(), RGB(0, 0, 0));
    HBRUSH brush = CreateSolidBrush(RGB(0, 128, 255));
    HGDIOBJ old = SelectObject(dst.dc(), brush);
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 3, 1, mask.dc(), 0, 0, 0x00E20746));
    EXPECT_EQ(dst.At(0, 0), RGB(0, 128, 255));
    EXPECT_EQ(dst.At(1, 0), RGB(1, 2, 3));
    EXPECT_EQ(dst.At(2, 0), RGB(0, 128, 255));
    SelectObject(dst.dc(), old);
    DeleteObject(brush);
}

// A hatch brush in transparent mode leaves the gaps between its lines alone.
TEST(Blit, TransparentHatchPatternKeepsGaps) {
    DibDC src(8, 2, RGB(255, 255, 255)), dst(8, 2, RGB(1, 2, 3));
    HBRUSH hatch = CreateHatchBrush(HS_VERTICAL, RGB(200, 0, 0));
    HGDIOBJ old = SelectObject(dst.dc(), hatch);
    SetBkColor(dst.dc(), RGB(0, 0, 200));
    for (int mode : {OPAQUE, TRANSPARENT}) {
        SetBkMode(dst.dc(), mode);
        ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 8, 2, src.dc(), 0, 0, 0x00E20746));
        for (int x = 0; x < 8; ++x) {
            const COLORREF want = x == 4 ? RGB(200, 0, 0) : (mode == OPAQUE ? RGB(0, 0, 200) : RGB(1, 2, 3));
            EXPECT_EQ(dst.At(x, 1), want) << mode << " " << x;
        }
        RECT all{0, 0, 8, 2};
        HBRUSH fill = CreateSolidBrush(RGB(1, 2, 3));
        FillRect(dst.dc(), &all, fill);
        DeleteObject(fill);
    }
    SelectObject(dst.dc(), old);
    DeleteObject(hatch);
}

// --- Geometry ---

TEST(Blit, OverlappingBlitWithinOneBitmap) {
    for (int dx : {-2, -1, 1, 2})
        for (int dy : {-1, 0, 1}) {
            DibDC d(8, 6);
            FillRaw(d.bitmap(), 5);
            const auto before = Snapshot(d.bitmap());
            ASSERT_TRUE(BitBlt(d.dc(), 2 + dx, 2 + dy, 4, 3, d.dc(), 2, 2, SRCCOPY));
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 4; ++x)
                    ASSERT_EQ(Raw(d.bitmap(), 2 + dx + x, 2 + dy + y),
                              before[static_cast<std::size_t>((2 + y) * 8 + 2 + x)])
                        << dx << "," << dy;
        }
}

TEST(Blit, StretchMirrorsWithNegativeExtents) {
    DibDC src(4, 2);
    const std::uint32_t a = 0x11, b = 0x22, c = 0x33, dd = 0x44;
    for (int x = 0; x < 4; ++x) {
        SetRaw(src.bitmap(), x, 0, (x + 1) * 0x11u);
        SetRaw(src.bitmap(), x, 1, (x + 1) * 0x1100u);
    }
    struct Case {
        int x, y, w, h, sx, sy, sw, sh;
        std::uint32_t row0[4];
        bool flippedRows;
    } cases[] = {
        {4, 0, -4, 2, 0, 0, 4, 2, {dd, c, b, a}, false},  // destination mirrored
        {0, 0, 4, 2, 4, 0, -4, 2, {dd, c, b, a}, false},  // source mirrored
        {4, 0, -4, 2, 4, 0, -4, 2, {a, b, c, dd}, false}, // both: no mirror
        {0, 2, 4, -2, 0, 0, 4, 2, {a, b, c, dd}, true},   // upside down
    };
    for (const Case& k : cases) {
        DibDC dst(4, 2);
        ASSERT_TRUE(StretchBlt(dst.dc(), k.x, k.y, k.w, k.h, src.dc(), k.sx, k.sy, k.sw, k.sh, SRCCOPY));
        const int row = k.flippedRows ? 1 : 0;
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Raw(dst.bitmap(), x, row), k.row0[x]) << k.x << " " << k.w << " " << x;
    }
}

TEST(Blit, StretchNearestNeighbour) {
    DibDC src(2, 2), dst(4, 4), small(1, 1);
    const std::uint32_t px[4] = {0x01, 0x02, 0x03, 0x04};
    for (int i = 0; i < 4; ++i) SetRaw(src.bitmap(), i % 2, i / 2, px[i]);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 2, 2, SRCCOPY));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(Raw(dst.bitmap(), x, y), px[(y / 2) * 2 + x / 2]);
    ASSERT_TRUE(StretchBlt(small.dc(), 0, 0, 1, 1, dst.dc(), 0, 0, 4, 4, SRCCOPY));
    EXPECT_EQ(Raw(small.bitmap(), 0, 0), px[3]); // the pixel under the centre
}

TEST(Blit, ClipAndSourceBoundsLimitTheBlit) {
    DibDC src(4, 4, RGB(255, 0, 0)), dst(6, 6, RGB(0, 0, 0));
    // Source partly outside its bitmap: those destination pixels stay.
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 6, 6, src.dc(), -2, -1, SRCCOPY));
    EXPECT_EQ(dst.InkBounds(RGB(0, 0, 0)), (RECT{2, 1, 6, 5}));

    DibDC dst2(6, 6, RGB(0, 0, 0));
    IntersectClipRect(dst2.dc(), 1, 1, 3, 3);
    ExcludeClipRect(dst2.dc(), 2, 2, 3, 3);
    ASSERT_TRUE(StretchBlt(dst2.dc(), 0, 0, 6, 6, src.dc(), 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(dst2.Picture(RGB(255, 0, 0)), "......\n.##...\n.#....\n......\n......\n......\n");

    // Window and viewport origins move both ends.
    DibDC dst3(6, 6, RGB(0, 0, 0));
    SetWindowOrgEx(dst3.dc(), 1, 1, nullptr);
    SetViewportOrgEx(src.dc(), -3, -3, nullptr);
    SetRaw(src.bitmap(), 0, 0, PixelFromColor(RGB(0, 255, 0)));
    ASSERT_TRUE(BitBlt(dst3.dc(), 3, 3, 1, 1, src.dc(), 3, 3, SRCCOPY));
    EXPECT_EQ(dst3.At(2, 2), RGB(0, 255, 0));
    EXPECT_EQ(dst3.CountNot(RGB(0, 0, 0)), 1);
}

TEST(Blit, DirtyRectangleCoversTheBlit) {
    DibDC src(4, 4), dst(10, 10);
    RECT r;
    TakeBitmapDirtyRect(dst.bitmap(), &r);
    ASSERT_TRUE(BitBlt(dst.dc(), 3, 2, 4, 4, src.dc(), 1, 0, SRCCOPY));
    ASSERT_TRUE(TakeBitmapDirtyRect(dst.bitmap(), &r));
    EXPECT_EQ(r, (RECT{3, 2, 6, 6}));
}

// A window's frame drawn again leaves its middle out of the parts; every
// change is covered, however scattered.
TEST(Blit, DirtyPartsCoverEveryChangeAndLeaveTheUntouchedMiddleOut) {
    DibDC dst(400, 300);
    std::vector<RECT> parts;
    TakeBitmapDirtyRects(dst.bitmap(), &parts);
    std::vector<RECT> fills = {{0, 0, 400, 4}, {0, 0, 4, 300}, {396, 0, 400, 300}, {0, 296, 400, 300}};
    for (int i = 0; i < 20; ++i) fills.push_back(RECT{10 + 12 * i, 10, 20 + 12 * i, 20});
    for (int i = 0; i < 12; ++i) fills.push_back(RECT{30 + 29 * i, 60 + 17 * i, 31 + 29 * i, 61 + 17 * i});
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    for (const RECT& f : fills) FillRect(dst.dc(), &f, brush);
    DeleteObject(brush);
    ASSERT_TRUE(TakeBitmapDirtyRects(dst.bitmap(), &parts));
    EXPECT_LE(parts.size(), 8u);
    int uncovered = 0;
    for (const RECT& f : fills)
        for (int y = f.top; y < f.bottom; ++y)
            for (int x = f.left; x < f.right; ++x) {
                bool in = false;
                for (const RECT& p : parts)
                    in = in || (x >= p.left && x < p.right && y >= p.top && y < p.bottom);
                uncovered += in ? 0 : 1;
            }
    EXPECT_EQ(uncovered, 0);
    long long area = 0;
    for (const RECT& p : parts) area += static_cast<long long>(p.right - p.left) * (p.bottom - p.top);
    EXPECT_LT(area, 400 * 300 / 2);
    EXPECT_FALSE(TakeBitmapDirtyRects(dst.bitmap(), &parts));
    RECT r;
    EXPECT_FALSE(TakeBitmapDirtyRect(dst.bitmap(), &r));
}

TEST(Blit, TransparentBltSkipsTheKeyColour) {
    DibDC src(2, 2), dst(4, 4, RGB(0, 0, 0));
    const COLORREF key = RGB(255, 0, 255);
    SetRaw(src.bitmap(), 0, 0, PixelFromColor(key));
    SetRaw(src.bitmap(), 1, 0, 0x7F000000u | PixelFromColor(key)); // the alpha byte is not compared
    SetRaw(src.bitmap(), 0, 1, PixelFromColor(RGB(1, 2, 3)));
    SetRaw(src.bitmap(), 1, 1, PixelFromColor(RGB(4, 5, 6)));
    ASSERT_TRUE(TransparentBlt(dst.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 2, 2, key));
    EXPECT_EQ(dst.At(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(dst.At(3, 1), RGB(0, 0, 0));
    EXPECT_EQ(dst.At(1, 3), RGB(1, 2, 3));
    EXPECT_EQ(dst.At(3, 3), RGB(4, 5, 6));
    EXPECT_FALSE(TransparentBlt(dst.dc(), 0, 0, -4, 4, src.dc(), 0, 0, 2, 2, key));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

// --- Alpha blending ---

std::uint32_t Div255(std::uint32_t x) {
    return (x + 127) / 255;
}
std::uint32_t Channel(std::uint32_t px, int i) {
    return (px >> (8 * i)) & 0xFF;
}

std::uint32_t RefConstant(std::uint32_t s, std::uint32_t d, std::uint32_t ca) {
    std::uint32_t r = 0;
    for (int i = 0; i < 4; ++i) r |= Div255(Channel(s, i) * ca + Channel(d, i) * (255 - ca)) << (8 * i);
    return r;
}
std::uint32_t RefPremultiplied(std::uint32_t s, std::uint32_t d, std::uint32_t ca) {
    std::uint32_t sc[4], r = 0;
    for (int i = 0; i < 4; ++i) sc[i] = Div255(Channel(s, i) * ca);
    for (int i = 0; i < 4; ++i)
        r |= std::min<std::uint32_t>(255, sc[i] + Div255(Channel(d, i) * (255 - sc[3]))) << (8 * i);
    return r;
}

// Every pair of a row, wide enough for the vector kernels and a scalar tail.
TEST(AlphaBlend, ExactValues) {
    const std::uint32_t sources[] = {0x00000000, 0xFF102030, 0x80604020, 0x40404040, 0x01010101, 0x7FFF0080};
    const std::uint32_t dests[] = {0x00000000, 0xFFFFFFFF, 0x12345678, 0x80FF7F01};
    const std::uint32_t alphas[] = {0, 1, 127, 128, 254, 255};
    constexpr int n = 6 * 4 + 1;
    DibDC src(n, 1), dst(n, 1);
    for (int perPixel = 0; perPixel < 2; ++perPixel)
        for (std::uint32_t ca : alphas) {
            for (int i = 0; i < n; ++i) {
                SetRaw(src.bitmap(), i, 0, sources[i % 6]);
                SetRaw(dst.bitmap(), i, 0, dests[(i / 6) % 4]);
            }
            const BLENDFUNCTION bf{AC_SRC_OVER, 0, static_cast<BYTE>(ca),
                                   static_cast<BYTE>(perPixel ? AC_SRC_ALPHA : 0)};
            ASSERT_TRUE(AlphaBlend(dst.dc(), 0, 0, n, 1, src.dc(), 0, 0, n, 1, bf));
            for (int i = 0; i < n; ++i) {
                const std::uint32_t s = sources[i % 6], d = dests[(i / 6) % 4];
                const std::uint32_t want = perPixel ? RefPremultiplied(s, d, ca) : RefConstant(s, d, ca);
                ASSERT_EQ(Raw(dst.bitmap(), i, 0), want)
                    << std::hex << "s=" << s << " d=" << d << " ca=" << ca << " perPixel=" << perPixel
                    << " at " << i;
            }
        }
}

TEST(AlphaBlend, StretchesAndRespectsClip) {
    DibDC src(2, 1), dst(4, 2, RGB(0, 0, 0));
    SetRaw(src.bitmap(), 0, 0, 0xFF0000FF);
    SetRaw(src.bitmap(), 1, 0, 0x80008000);
    IntersectClipRect(dst.dc(), 0, 0, 4, 1);
    const BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(AlphaBlend(dst.dc(), 0, 0, 4, 2, src.dc(), 0, 0, 2, 1, bf));
    EXPECT_EQ(Raw(dst.bitmap(), 1, 0), 0xFF0000FFu);
    EXPECT_EQ(Raw(dst.bitmap(), 2, 0), 0x80008000u);
    EXPECT_EQ(Raw(dst.bitmap(), 2, 1), 0u);
}

TEST(AlphaBlend, RefusesBadArguments) {
    DibDC src(4, 4), dst(4, 4);
    const BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    struct Case {
        int x, w, sx, sw;
    } cases[] = {{0, -2, 0, 2}, {0, 2, 2, -2}, {0, 2, -1, 2}, {0, 2, 3, 2}, {0, 2, 0, INT_MAX}};
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(AlphaBlend(dst.dc(), c.x, 0, c.w, 2, src.dc(), c.sx, 0, c.sw, 2, bf));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    BLENDFUNCTION bad = bf;
    bad.BlendOp = 1;
    EXPECT_FALSE(AlphaBlend(dst.dc(), 0, 0, 2, 2, src.dc(), 0, 0, 2, 2, bad));
    EXPECT_FALSE(AlphaBlend(dst.dc(), 0, 0, 2, 2, nullptr, 0, 0, 2, 2, bf));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    // A huge destination is clipped, not a crash.
    EXPECT_TRUE(AlphaBlend(dst.dc(), INT_MIN / 2, 0, INT_MAX, 4, src.dc(), 0, 0, 4, 4, bf));
}

// --- Gradients ---

TEST(GradientFill, RectangleEndsAreExactAndSteady) {
    for (ULONG mode : {GRADIENT_FILL_RECT_H, GRADIENT_FILL_RECT_V}) {
        DibDC d(40, 40, RGB(0, 0, 0));
        const TRIVERTEX v[2] = {{5, 5, 0x1000, 0xFF00, 0x8000, 0}, {35, 35, 0xF000, 0x0000, 0x8000, 0xFF00}};
        const GRADIENT_RECT gr{0, 1};
        ASSERT_TRUE(GradientFill(d.dc(), v, 2, &gr, 1, mode));
        const bool h = mode == GRADIENT_FILL_RECT_H;
        EXPECT_EQ(d.At(5, 5), RGB(0x10, 0xFF, 0x80));
        EXPECT_EQ(d.At(34, 34), RGB(0xF0, 0x00, 0x80));
        EXPECT_EQ(Raw(d.bitmap(), 34, 34) >> 24, 0xFFu);
        EXPECT_EQ(d.InkBounds(RGB(0, 0, 0)), (RECT{5, 5, 35, 35}));
        for (int i = 6; i < 35; ++i) {
            const COLORREF prev = h ? d.At(i - 1, 20) : d.At(20, i - 1), cur = h ? d.At(i, 20) : d.At(20, i);
            EXPECT_GE(GetRValue(cur), GetRValue(prev));
            EXPECT_LE(GetGValue(cur), GetGValue(prev));
            EXPECT_EQ(GetBValue(cur), 0x80);
            EXPECT_EQ(h ? d.At(i, 5) : d.At(5, i), cur); // constant across
        }
    }
}

TEST(GradientFill, HonoursClipOriginAndChecksArguments) {
    DibDC d(20, 10, RGB(0, 0, 0));
    SetWindowOrgEx(d.dc(), -2, 0, nullptr);
    IntersectClipRect(d.dc(), 0, 0, 8, 10);
    const TRIVERTEX v[2] = {{0, 0, 0xFF00, 0, 0, 0}, {10, 10, 0, 0, 0xFF00, 0}};
    const GRADIENT_RECT gr{0, 1};
    ASSERT_TRUE(GradientFill(d.dc(), v, 2, &gr, 1, GRADIENT_FILL_RECT_H));
    EXPECT_EQ(d.At(2, 0), RGB(255, 0, 0));
    EXPECT_EQ(d.InkBounds(RGB(0, 0, 0)), (RECT{2, 0, 10, 10}));
    const GRADIENT_RECT badIndex{0, 2};
    EXPECT_FALSE(GradientFill(d.dc(), v, 2, &badIndex, 1, GRADIENT_FILL_RECT_H));
    EXPECT_FALSE(GradientFill(d.dc(), v, 2, &gr, 1, 7));
    EXPECT_FALSE(GradientFill(nullptr, v, 2, &gr, 1, GRADIENT_FILL_RECT_H));
}

// Step i of n takes a + (b - a) * i / (n - 1) per channel (the quotient
// rounded toward zero), the high byte of each 8.8 value; rising and falling
// channels, lengths that stress the row-at-a-time arithmetic, and a clip that
// starts mid-way must all give exactly that.
TEST(GradientFill, EveryStepIsExactAlongEitherAxis) {
    const TRIVERTEX from{0, 0, 0x1234, 0xFF00, 0x0080, 0xFFFF};
    const TRIVERTEX to{0, 0, 0xFEDC, 0x0001, 0x8000, 0x0000};
    const long long a[4] = {from.Red, from.Green, from.Blue, from.Alpha};
    const long long b[4] = {to.Red, to.Green, to.Blue, to.Alpha};
    auto expected = [&](long long i, long long n) {
        std::uint32_t byte[4];
        for (int k = 0; k < 4; ++k)
            byte[k] = static_cast<std::uint32_t>((a[k] + (b[k] - a[k]) * i / (n - 1)) >> 8);
        return byte[3] << 24 | byte[0] << 16 | byte[1] << 8 | byte[2];
    };
    struct Case {
        int length;
        int clipFrom; // along the gradient
    };
    for (const Case& c : {Case{2, 0}, Case{9, 0}, Case{255, 0}, Case{256, 0}, Case{257, 3}, Case{1021, 500},
                          Case{3001, 1777}}) {
        for (ULONG mode : {GRADIENT_FILL_RECT_H, GRADIENT_FILL_RECT_V}) {
            const bool h = mode == GRADIENT_FILL_RECT_H;
            SCOPED_TRACE(std::to_string(c.length) + (h ? " across" : " down"));
            DibDC d(h ? c.length : 3, h ? 3 : c.length, RGB(0, 0, 0));
            if (h)
                IntersectClipRect(d.dc(), c.clipFrom, 0, c.length, 3);
            else
                IntersectClipRect(d.dc(), 0, c.clipFrom, 3, c.length);
            TRIVERTEX v[2] = {from, to};
            v[1].x = h ? c.length : 3;
            v[1].y = h ? 3 : c.length;
            const GRADIENT_RECT gr{0, 1};
            ASSERT_TRUE(GradientFill(d.dc(), v, 2, &gr, 1, mode));
            for (int i = 0; i < c.length; ++i) {
                const std::uint32_t want = i < c.clipFrom ? 0u : expected(i, c.length);
                ASSERT_EQ(h ? Raw(d.bitmap(), i, 1) : Raw(d.bitmap(), 1, i), want) << "at " << i;
            }
        }
    }
}

TEST(GradientFill, TriangleMixesVertexColours) {
    DibDC d(32, 32, RGB(0, 0, 0));
    const TRIVERTEX v[3] = {{0, 0, 0xFF00, 0, 0, 0}, {32, 0, 0, 0xFF00, 0, 0}, {0, 32, 0, 0, 0xFF00, 0}};
    const GRADIENT_TRIANGLE t{0, 1, 2};
    ASSERT_TRUE(GradientFill(d.dc(), v, 3, &t, 1, GRADIENT_FILL_TRIANGLE));
    EXPECT_GE(GetRValue(d.At(0, 0)), 245); // the centre (0.5, 0.5) is 31/32 red
    EXPECT_GE(GetGValue(d.At(30, 0)), 235);
    EXPECT_GE(GetBValue(d.At(0, 30)), 235);
    const COLORREF mid = d.At(10, 10);
    EXPECT_NEAR(GetRValue(mid), 255 * 11 / 32, 3);
    EXPECT_EQ(d.At(30, 30), RGB(0, 0, 0)); // outside the triangle
}

// --- DIB transfers ---

BITMAPINFO Info(int w, int h, int bpp) {
    BITMAPINFO bi{};
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biBitCount = static_cast<WORD>(bpp);
    return bi;
}

TEST(Dib, ThirtyTwoBitRoundTripKeepsAlphaAndOrientation) {
    for (int orientation : {1, -1}) {
        HBITMAP bmp = CreateBitmap(3, 2, 1, 32, nullptr);
        // Image rows in memory: first row first.
        const std::uint32_t image[6] = {0x01020304, 0x80FFFFFF, 0x00000000,
                                        0xFF000001, 0x7F7F7F7F, 0x12345678};
        BITMAPINFO bi = Info(3, 2 * orientation, 32);
        ASSERT_EQ(SetDIBits(nullptr, bmp, 0, 2, image, &bi, DIB_RGB_COLORS), 2);
        const int firstRow = orientation < 0 ? 0 : 1; // bottom-up images start with the bottom row
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(Raw(bmp, x, firstRow), image[x]);
            EXPECT_EQ(Raw(bmp, x, 1 - firstRow), image[3 + x]);
        }
        std::uint32_t back[6] = {};
        ASSERT_EQ(GetDIBits(nullptr, bmp, 0, 2, back, &bi, DIB_RGB_COLORS), 2);
        EXPECT_EQ(std::memcmp(back, image, sizeof image), 0);
        // A part of the scan lines.
        std::uint32_t one[3] = {};
        ASSERT_EQ(GetDIBits(nullptr, bmp, 1, 5, one, &bi, DIB_RGB_COLORS), 1);
        EXPECT_EQ(std::memcmp(one, image + 3, sizeof one), 0);
        DeleteObject(bmp);
    }
}

TEST(Dib, OneBitImagesUseTheColourTable) {
    HBITMAP colour = CreateBitmap(10, 2, 1, 32, nullptr);
    MonoDC mono(10, 2);
    BITMAPINFO bi = Info(10, -2, 1);
    bi.bmiColors[0] = RGBQUAD{0x30, 0x20, 0x10, 0}; // blue, green, red
    bi.bmiColors[1] = RGBQUAD{0xFF, 0xFF, 0xFF, 0};
    const unsigned char bits[8] = {0xA5, 0x40, 0, 0, 0x00, 0xC0, 0, 0}; // rows are DWORD-aligned
    ASSERT_EQ(SetDIBits(nullptr, colour, 0, 2, bits, &bi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(Raw(colour, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Raw(colour, 1, 0), 0x102030u);
    EXPECT_EQ(Raw(colour, 9, 0), 0xFFFFFFu);
    EXPECT_EQ(Raw(colour, 8, 0), 0x102030u);
    EXPECT_EQ(Raw(colour, 9, 1), 0xFFFFFFu);
    ASSERT_EQ(SetDIBits(nullptr, mono.bitmap(), 0, 2, bits, &bi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(Raw(mono.bitmap(), 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Raw(mono.bitmap(), 1, 0), 0u);

    // Reading back as 1 bit: white pixels are 1, the table is black and white.
    for (HBITMAP bmp : {colour, mono.bitmap()}) {
        unsigned char back[8];
        std::memset(back, 0xEE, sizeof back);
        BITMAPINFO out = Info(10, -2, 1);
        ASSERT_EQ(GetDIBits(nullptr, bmp, 0, 2, back, &out, DIB_RGB_COLORS), 2);
        EXPECT_EQ(std::memcmp(back, bits, sizeof bits), 0);
        EXPECT_EQ(out.bmiColors[1].rgbRed, 255);
        EXPECT_EQ(out.bmiColors[0].rgbRed, 0);
    }
    // Table reversed: the bits invert on a monochrome bitmap.
    std::swap(bi.bmiColors[0], bi.bmiColors[1]);
    bi.bmiColors[1] = RGBQUAD{0, 0, 0, 0};
    ASSERT_EQ(SetDIBits(nullptr, mono.bitmap(), 0, 2, bits, &bi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(Raw(mono.bitmap(), 0, 0), 0u);
    EXPECT_EQ(Raw(mono.bitmap(), 1, 0), 0xFFFFFFu);
    DeleteObject(colour);
}

TEST(Dib, GetDIBitsWithoutBufferDescribesTheBitmap) {
    HBITMAP bmp = CreateBitmap(7, 5, 1, 32, nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader.biBitCount = 0;
    EXPECT_NE(GetDIBits(nullptr, bmp, 0, 5, nullptr, &bi, DIB_RGB_COLORS), 0);
    EXPECT_EQ(bi.bmiHeader.biWidth, 7);
    EXPECT_EQ(bi.bmiHeader.biHeight, 5);
    EXPECT_EQ(bi.bmiHeader.biBitCount, 32);
    EXPECT_EQ(bi.bmiHeader.biSizeImage, 7u * 5 * 4);
    MonoDC mono(17, 3);
    BITMAPINFO mi{};
    mi.bmiHeader.biBitCount = 0;
    EXPECT_NE(GetDIBits(nullptr, mono.bitmap(), 0, 3, nullptr, &mi, DIB_RGB_COLORS), 0);
    EXPECT_EQ(mi.bmiHeader.biBitCount, 1);
    EXPECT_EQ(mi.bmiHeader.biSizeImage, 4u * 3); // DWORD-aligned rows
    DeleteObject(bmp);
}

TEST(Dib, BitmapBitsRoundTrip) {
    MonoDC mono(20, 2);
    FillRaw(mono.bitmap(), 3);
    const auto before = Snapshot(mono.bitmap());
    ASSERT_EQ(GetBitmapBits(mono.bitmap(), 0, nullptr), 4 * 2); // WORD-aligned rows
    unsigned char bytes[8];
    ASSERT_EQ(GetBitmapBits(mono.bitmap(), sizeof bytes, bytes), 8);
    EXPECT_EQ(bytes[2] & 0x0F, 0); // padding is zero
    FillRaw(mono.bitmap(), 77);
    ASSERT_EQ(SetBitmapBits(mono.bitmap(), sizeof bytes, bytes), 8);
    EXPECT_EQ(Snapshot(mono.bitmap()), before);

    HBITMAP colour = CreateBitmap(3, 3, 1, 32, nullptr);
    FillRaw(colour, 11);
    const auto c0 = Snapshot(colour);
    std::uint32_t px[9];
    ASSERT_EQ(GetBitmapBits(colour, 20, px), 20); // a short buffer takes what fits
    ASSERT_EQ(GetBitmapBits(colour, sizeof px, px), 36);
    FillRaw(colour, 12);
    ASSERT_EQ(SetBitmapBits(colour, sizeof px, px), 36);
    EXPECT_EQ(Snapshot(colour), c0);
    DeleteObject(colour);
}

TEST(Dib, StretchDIBitsDrawsBottomUpImagesUpright) {
    const std::uint32_t image[4] = {0xAA000001, 0xAA000002, 0xAA000003, 0xAA000004}; // bottom row first
    BITMAPINFO bi = Info(2, 2, 32);
    DibDC dst(4, 4, RGB(0, 0, 0));
    ASSERT_EQ(StretchDIBits(dst.dc(), 0, 0, 2, 2, 0, 0, 2, 2, image, &bi, DIB_RGB_COLORS, SRCCOPY), 2);
    EXPECT_EQ(Raw(dst.bitmap(), 0, 0), 0xAA000003u);
    EXPECT_EQ(Raw(dst.bitmap(), 1, 1), 0xAA000002u);
    // ySrc counts from the bottom: the bottom row alone, stretched.
    ASSERT_NE(StretchDIBits(dst.dc(), 0, 2, 4, 2, 0, 0, 2, 1, image, &bi, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(Raw(dst.bitmap(), 0, 3), 0xAA000001u);
    EXPECT_EQ(Raw(dst.bitmap(), 3, 2), 0xAA000002u);

    // A 1-bit image takes its colour table, not the DC's colours.
    BITMAPINFO mi = Info(8, -1, 1);
    mi.bmiColors[0] = RGBQUAD{0, 0, 255, 0};
    mi.bmiColors[1] = RGBQUAD{255, 0, 0, 0};
    const unsigned char bits[4] = {0x80, 0, 0, 0};
    ASSERT_NE(StretchDIBits(dst.dc(), 0, 0, 2, 1, 0, 0, 2, 1, bits, &mi, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(dst.At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(dst.At(1, 0), RGB(255, 0, 0));
}

// The shadow path: a top-down 32-bit image with alpha through SetDIBits.
TEST(Dib, TopDownShadowImageIsExact) {
    std::vector<std::uint32_t> image(16 * 8);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = (static_cast<std::uint32_t>(i) << 24) | 0x000102u * i;
    BITMAPINFO bi = Info(16, -8, 32);
    HBITMAP bmp = CreateBitmap(16, 8, 1, 32, nullptr);
    ASSERT_EQ(SetDIBits(nullptr, bmp, 0, 8, image.data(), &bi, DIB_RGB_COLORS), 8);
    EXPECT_EQ(Snapshot(bmp), image);
    RECT dirty;
    ASSERT_TRUE(TakeBitmapDirtyRect(bmp, &dirty));
    EXPECT_EQ(dirty, (RECT{0, 0, 16, 8}));
    DeleteObject(bmp);
}

// --- Bad input ---

TEST(Blit, BadHandlesAndAbsurdSizes) {
    DibDC src(4, 4), dst(4, 4);
    const HDC stale = [] {
        HDC dc = CreateCompatibleDC(nullptr);
        DeleteDC(dc);
        return dc;
    }();
    EXPECT_FALSE(BitBlt(stale, 0, 0, 2, 2, src.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 2, 2, stale, 0, 0, SRCCOPY));
    EXPECT_FALSE(StretchBlt(dst.dc(), 0, 0, 2, 2, stale, 0, 0, 2, 2, SRCAND));
    EXPECT_FALSE(TransparentBlt(dst.dc(), 0, 0, 2, 2, stale, 0, 0, 2, 2, 0));
    EXPECT_FALSE(GradientFill(stale, nullptr, 0, nullptr, 0, GRADIENT_FILL_RECT_H));

    const int huge[] = {INT_MIN, INT_MIN / 2, -1, 0, 1, INT_MAX / 2, INT_MAX};
    for (int a : huge)
        for (int b : huge) {
            EXPECT_TRUE(BitBlt(dst.dc(), a, b, b, a, src.dc(), b, a, SRCCOPY));
            EXPECT_TRUE(StretchBlt(dst.dc(), a, 0, b, 4, src.dc(), b, 0, a, 4, 0x00B8074A));
            EXPECT_TRUE(StretchBlt(dst.dc(), 0, a, 4, b, dst.dc(), 0, b, 4, a, SRCINVERT));
            TransparentBlt(dst.dc(), a, 0, b, 4, src.dc(), 0, b, 4, a, 0);
            const TRIVERTEX v[3] = {{a, b, 0, 0, 0, 0}, {b, a, 0xFF00, 0, 0, 0}, {a, a, 0, 0, 0, 0}};
            const GRADIENT_RECT gr{0, 1};
            const GRADIENT_TRIANGLE gt{0, 1, 2};
            EXPECT_TRUE(GradientFill(dst.dc(), v, 3, &gr, 1, GRADIENT_FILL_RECT_H));
            EXPECT_TRUE(GradientFill(dst.dc(), v, 3, &gt, 1, GRADIENT_FILL_TRIANGLE));
        }

    HBITMAP bmp = CreateBitmap(4, 4, 1, 32, nullptr);
    std::uint32_t px[16] = {};
    BITMAPINFO bi = Info(INT_MAX, 4, 32);
    EXPECT_EQ(SetDIBits(nullptr, bmp, 0, 4, px, &bi, DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    bi = Info(4, INT_MIN, 32);
    EXPECT_EQ(GetDIBits(nullptr, bmp, 0, 4, px, &bi, DIB_RGB_COLORS), 0);
    bi = Info(4, 4, 24);
    EXPECT_EQ(SetDIBits(nullptr, bmp, 0, 4, px, &bi, DIB_RGB_COLORS), 0);
    bi = Info(4, 4, 32);
    EXPECT_EQ(SetDIBits(nullptr, bmp, 0, 4, nullptr, &bi, DIB_RGB_COLORS), 0);
    EXPECT_EQ(SetDIBits(nullptr, bmp, 4, UINT_MAX, px, &bi, DIB_RGB_COLORS), 0);
    EXPECT_EQ(SetDIBits(nullptr, bmp, 3, UINT_MAX, px, &bi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(SetDIBits(stale, bmp, 0, 4, px, &bi, DIB_RGB_COLORS), 0);
    EXPECT_EQ(StretchDIBits(dst.dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MAX, INT_MAX, INT_MIN,
                            px, &bi, DIB_RGB_COLORS, SRCCOPY),
              0);
    EXPECT_NE(StretchDIBits(dst.dc(), 0, 0, INT_MAX, INT_MAX, 0, 0, 4, 4, px, &bi, DIB_RGB_COLORS, SRCCOPY),
              0);
    EXPECT_EQ(GetBitmapBits(handle_from_int<HBITMAP>(0x1234), 16, px), 0);
    EXPECT_EQ(SetBitmapBits(bmp, 16, nullptr), 0);
    DeleteObject(bmp);
}

} // namespace
} // namespace gfx
