// Icons: creation, copies, destruction and DrawIconEx.

#include "gfx/draw.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace gfx {
namespace {

using test::DibDC;

constexpr COLORREF kPaper = RGB(0, 0, 200);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

std::uint32_t Px(COLORREF c, std::uint32_t alpha = 0) {
    return (alpha << 24) | PixelFromColor(c);
}

// A 4 x 4 colour bitmap: red in the top half, green below; with `hole`, black
// in the right half as under the transparent part of an icon.
HBITMAP ColorBitmap(bool hole, std::uint32_t alpha = 0) {
    std::vector<std::uint32_t> px(16);
    for (int i = 0; i < 16; ++i)
        px[static_cast<std::size_t>(i)] = hole && i % 4 >= 2 ? 0u : Px(i < 8 ? kRed : kGreen, alpha);
    return CreateBitmap(4, 4, 1, 32, px.data());
}

// A monochrome mask from rows of '#' (bit set: transparent) and '.'.
HBITMAP Mask(std::initializer_list<const char*> rows) {
    std::vector<std::uint8_t> bytes;
    int w = 0;
    for (const char* row : rows) {
        std::uint8_t b[2] = {};
        for (w = 0; row[w]; ++w)
            if (row[w] == '#') b[w / 8] |= static_cast<std::uint8_t>(0x80 >> (w % 8));
        bytes.insert(bytes.end(), b, b + 2);
    }
    return CreateBitmap(w, static_cast<int>(rows.size()), 1, 1, bytes.data());
}

// An icon of a colour bitmap (none: a monochrome icon) and a mask, which it
// copies: both are deleted.
HICON IconOf(HBITMAP color, HBITMAP mask) {
    ICONINFO ii;
    ii.hbmColor = color;
    ii.hbmMask = mask;
    HICON icon = CreateIconIndirect(&ii);
    if (color) DeleteObject(color);
    DeleteObject(mask);
    return icon;
}

// Left half opaque, right half transparent.
HICON HalfIcon() {
    return IconOf(ColorBitmap(true), Mask({"..##", "..##", "..##", "..##"}));
}

TEST(Icon, NormalDrawingKeepsTheDestinationUnderTransparentPixels) {
    HICON icon = HalfIcon(); // its bitmaps were deleted: the icon keeps copies
    ASSERT_TRUE(icon);
    DibDC d(6, 6, kPaper);
    ASSERT_TRUE(DrawIconEx(d.dc(), 1, 1, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(d.Picture(kRed), "......\n.##...\n.##...\n......\n......\n......\n");
    EXPECT_EQ(d.Picture(kGreen), "......\n......\n......\n.##...\n.##...\n......\n");
    EXPECT_EQ(d.CountNot(kPaper), 8);

    DibDC image(6, 6, kPaper);
    ASSERT_TRUE(DrawIconEx(image.dc(), 1, 1, icon, 0, 0, 0, nullptr, DI_IMAGE));
    EXPECT_EQ(image.CountNot(kPaper), 16);

    DibDC mask(6, 6, kPaper);
    ASSERT_TRUE(DrawIconEx(mask.dc(), 1, 1, icon, 0, 0, 0, nullptr, DI_MASK));
    EXPECT_EQ(mask.Picture(RGB(255, 255, 255)), "......\n...##.\n...##.\n...##.\n...##.\n......\n");
    EXPECT_EQ(mask.Picture(RGB(0, 0, 0)), "......\n.##...\n.##...\n.##...\n.##...\n......\n");

    // Stretched to 8 x 8 with a brush behind it.
    DibDC big(10, 10, kPaper);
    HBRUSH white = handle_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    ASSERT_TRUE(DrawIconEx(big.dc(), 1, 1, icon, 8, 8, 0, white, DI_NORMAL));
    EXPECT_EQ(big.Picture(kRed), "..........\n.####.....\n.####.....\n.####.....\n.####.....\n"
                                 "..........\n..........\n..........\n..........\n..........\n");
    EXPECT_EQ(big.At(8, 8), RGB(255, 255, 255));
    EXPECT_EQ(big.At(9, 9), kPaper);

    // DrawIcon uses the default size.
    DibDC def(40, 40, kPaper);
    ASSERT_TRUE(DrawIcon(def.dc(), 0, 0, icon));
    EXPECT_EQ(def.InkBounds(kPaper), (RECT{0, 0, 16, 32}));
    EXPECT_TRUE(DestroyIcon(icon));
}

TEST(Icon, MonochromeIconsInvertWhereBothHalvesAreSet) {
    // AND half on top, XOR half below: opaque black, opaque white,
    // transparent, inverted.
    HICON icon = IconOf(nullptr, Mask({"..##", "..##", ".#.#", ".#.#"}));
    ASSERT_TRUE(icon);
    DibDC d(4, 2, RGB(10, 20, 30));
    ASSERT_TRUE(DrawIconEx(d.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(d.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(d.At(1, 0), RGB(255, 255, 255));
    EXPECT_EQ(d.At(2, 0), RGB(10, 20, 30));
    EXPECT_EQ(d.At(3, 1), RGB(245, 235, 225));

    ICONINFO out;
    ASSERT_TRUE(GetIconInfo(icon, &out));
    EXPECT_EQ(out.hbmColor, nullptr);
    BITMAP bm;
    ASSERT_TRUE(GetObject(out.hbmMask, sizeof bm, &bm));
    EXPECT_EQ(bm.bmHeight, 4);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(out.xHotspot, 2u);
    EXPECT_EQ(out.yHotspot, 1u);
    DeleteObject(out.hbmMask);
    EXPECT_TRUE(DestroyIcon(icon));
}

TEST(Icon, AlphaIconsBlend) {
    // The mask is ignored with alpha.
    HICON icon = IconOf(ColorBitmap(false, 128), Mask({"####", "####", "####", "####"}));
    ASSERT_TRUE(icon);
    DibDC d(4, 4, RGB(0, 0, 0));
    ASSERT_TRUE(DrawIconEx(d.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(d.At(0, 0), RGB(128, 0, 0));
    EXPECT_EQ(d.At(0, 3), RGB(0, 128, 0));
    DestroyIcon(icon);
}

// Each channel (s * a + d * (255 - a)) / 255 rounded; the alpha channel
// a + da * (255 - a) / 255. Eleven columns cover whole vectors and a tail;
// the icon is drawn at its size, stretched, and shifted past the left edge.
TEST(Icon, AlphaBlendingIsExactAtAnySize) {
    constexpr int w = 11;
    const std::uint32_t alphas[] = {0, 1, 64, 127, 128, 200, 254, 255, 3, 77, 255};
    std::vector<std::uint32_t> px(w * 2);
    for (int i = 0; i < w * 2; ++i)
        px[static_cast<std::size_t>(i)] =
            alphas[i % w] << 24 | (0x123457u * static_cast<std::uint32_t>(i + 1) & 0xFFFFFF);
    HICON icon = IconOf(CreateBitmap(w, 2, 1, 32, px.data()), CreateBitmap(w, 2, 1, 1, nullptr));
    ASSERT_TRUE(icon);
    auto blend = [](std::uint32_t d, std::uint32_t s) {
        const std::uint32_t a = s >> 24;
        std::uint32_t out = (a + ((d >> 24) * (255 - a) + 127) / 255) << 24;
        for (int shift = 0; shift < 24; shift += 8)
            out |= ((((s >> shift) & 0xFF) * a + ((d >> shift) & 0xFF) * (255 - a) + 127) / 255) << shift;
        return out;
    };
    struct Case {
        int x, scale;
    };
    for (const Case& c : {Case{0, 1}, Case{0, 2}, Case{-3, 1}}) {
        SCOPED_TRACE(std::to_string(c.x) + " x" + std::to_string(c.scale));
        DibDC d(w * 2, 4);
        BitmapSurface s;
        ASSERT_TRUE(GetBitmapSurface(d.bitmap(), &s));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < w * 2; ++x)
                s.Row(y)[x] = 0x9E3779B9u * static_cast<std::uint32_t>(y * 64 + x + 1);
        const std::vector<std::uint32_t> before(s.Row(0), s.Row(0) + w * 2 * 4);
        ASSERT_TRUE(DrawIconEx(d.dc(), c.x, 0, icon, w * c.scale, 2 * c.scale, 0, nullptr, DI_NORMAL));
        for (int y = 0; y < 2 * c.scale; ++y)
            for (int x = std::max(c.x, 0); x < c.x + w * c.scale; ++x) {
                const std::uint32_t src = px[static_cast<std::size_t>(y / c.scale * w + (x - c.x) / c.scale)];
                ASSERT_EQ(s.Row(y)[x], blend(before[static_cast<std::size_t>(y * w * 2 + x)], src))
                    << "at " << x << ", " << y;
            }
    }
    DestroyIcon(icon);
}

TEST(Icon, CopiesAreIndependent) {
    HICON icon = HalfIcon();
    HICON copy = CopyIcon(icon);
    ASSERT_TRUE(copy);
    EXPECT_NE(copy, icon);
    ICONINFO a, b;
    ASSERT_TRUE(GetIconInfo(icon, &a));
    ASSERT_TRUE(GetIconInfo(icon, &b));
    EXPECT_NE(a.hbmColor, b.hbmColor) << "each call hands out new bitmaps";
    EXPECT_TRUE(a.fIcon);
    BitmapSurface s;
    ASSERT_TRUE(GetBitmapSurface(a.hbmColor, &s));
    EXPECT_EQ(s.Row(0)[0] & 0xFFFFFF, Px(kRed));
    for (ICONINFO* i : {&a, &b}) {
        EXPECT_TRUE(DeleteObject(i->hbmColor));
        EXPECT_TRUE(DeleteObject(i->hbmMask));
    }
    EXPECT_TRUE(DestroyIcon(icon));
    DibDC d(4, 4, kPaper);
    EXPECT_TRUE(DrawIconEx(d.dc(), 0, 0, copy, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(d.At(0, 0), kRed);
    EXPECT_TRUE(DestroyCursor(copy));
}

TEST(Icon, CursorsKeepTheirHotSpot) {
    HBITMAP color = ColorBitmap(false);
    HBITMAP mask = Mask({"....", "....", "....", "...."});
    ICONINFO ii;
    ii.fIcon = FALSE;
    ii.xHotspot = 3;
    ii.yHotspot = 1;
    ii.hbmColor = color;
    ii.hbmMask = mask;
    HCURSOR cursor = CreateIconIndirect(&ii);
    ICONINFO out;
    ASSERT_TRUE(GetIconInfo(cursor, &out));
    EXPECT_FALSE(out.fIcon);
    EXPECT_EQ(out.xHotspot, 3u);
    EXPECT_EQ(out.yHotspot, 1u);
    DeleteObject(out.hbmColor);
    DeleteObject(out.hbmMask);
    EXPECT_TRUE(DestroyCursor(cursor));
    DeleteObject(color);
    DeleteObject(mask);
}

TEST(Icon, DrawingHonoursTheClipAndTheSurfaceEdge) {
    HICON icon = HalfIcon();
    DibDC d(6, 6, kPaper);
    IntersectClipRect(d.dc(), 0, 0, 2, 6);
    ASSERT_TRUE(DrawIconEx(d.dc(), 1, 1, icon, 0, 0, 0, nullptr, DI_IMAGE));
    EXPECT_EQ(d.InkBounds(kPaper), (RECT{1, 1, 2, 5}));
    SelectClipRgn(d.dc(), nullptr);
    EXPECT_TRUE(DrawIconEx(d.dc(), 4, -1, icon, 0, 0, 0, nullptr, DI_IMAGE));
    EXPECT_EQ(d.At(5, 0), kRed);
    EXPECT_EQ(d.At(5, 1), kGreen);
    EXPECT_TRUE(DrawIconEx(d.dc(), INT_MIN, INT_MIN, icon, INT_MAX, INT_MAX, 0, nullptr, DI_NORMAL));
    EXPECT_TRUE(DrawIconEx(d.dc(), INT_MAX, INT_MAX, icon, INT_MAX, INT_MAX, 0, nullptr, DI_NORMAL));
    DestroyIcon(icon);
}

TEST(Icon, BadHandlesAndArguments) {
    DibDC d(4, 4, kPaper);
    HICON icon = HalfIcon();

    ICONINFO none;
    EXPECT_EQ(CreateIconIndirect(nullptr), nullptr);
    EXPECT_EQ(CreateIconIndirect(&none), nullptr) << "a mask is required";
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    ICONINFO wrongKind;
    wrongKind.hbmMask = handle_cast<HBITMAP>(GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(CreateIconIndirect(&wrongKind), nullptr);

    EXPECT_FALSE(DrawIconEx(nullptr, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(DrawIconEx(d.dc(), 0, 0, icon, -4, 4, 0, nullptr, DI_NORMAL));
    EXPECT_FALSE(DrawIconEx(d.dc(), 0, 0, icon, 0, 0, 0, nullptr, 0));
    EXPECT_FALSE(GetIconInfo(icon, nullptr));

    // Icons are not drawing objects: DeleteObject refuses them.
    EXPECT_FALSE(DeleteObject(handle_cast<HGDIOBJ>(icon)));
    EXPECT_TRUE(DrawIconEx(d.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));

    EXPECT_TRUE(DestroyIcon(icon));
    for (HICON bad : {icon, HICON{}, handle_cast<HICON>(d.bitmap())}) {
        EXPECT_FALSE(DestroyIcon(bad));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_CURSOR_HANDLE);
        EXPECT_FALSE(DrawIconEx(d.dc(), 0, 0, bad, 0, 0, 0, nullptr, DI_NORMAL));
        EXPECT_EQ(CopyIcon(bad), nullptr);
        ICONINFO info;
        EXPECT_FALSE(GetIconInfo(bad, &info));
    }
    EXPECT_EQ(GetObjectType(d.bitmap()), DWORD(OBJ_BITMAP)) << "untouched by DestroyIcon";
}

} // namespace
} // namespace gfx
