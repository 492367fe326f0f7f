// The scoped DC helpers, the surface pixel conversions and the UTF-8 prefixes
// the upper layers share.

#include "gfx/gdi.h"
#include "gfx/utf8.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace gfx {
namespace {

using test::DibDC;

TEST(Helpers, PixelsAndColoursConvertBothWays) {
    struct Case {
        COLORREF color;
        std::uint32_t pixel;
        std::uint32_t mono;
    };
    for (const Case& c : {
             Case{RGB(0x12, 0x34, 0x56), 0x123456u, 0u},
             Case{RGB(255, 0, 0), 0xFF0000u, 0u},
             Case{RGB(0, 0, 255), 0x0000FFu, 0u},
             Case{RGB(128, 128, 128), 0x808080u, 0xFFFFFFu}, // the threshold: 384 is white
             Case{RGB(128, 128, 127), 0x80807Fu, 0u},
             Case{RGB(255, 255, 255), 0xFFFFFFu, 0xFFFFFFu},
         }) {
        EXPECT_EQ(PixelFromColor(c.color), c.pixel) << std::hex << c.color;
        EXPECT_EQ(ColorFromPixel(c.pixel), c.color) << std::hex << c.pixel;
        EXPECT_EQ(MonoPixelFromColor(c.color), c.mono) << std::hex << c.color;
    }
    EXPECT_EQ(ColorFromPixel(0xFF123456u), RGB(0x12, 0x34, 0x56)) << "alpha is dropped";
}

// After each form of MemoryDC the DC is gone, and the bitmap is either free
// to delete (borrowed) or deleted already (made or adopted).
TEST(Helpers, MemoryDCsGiveBackOrDeleteTheirBitmap) {
    HBITMAP borrowed = CreateBitmap(4, 3, 1, 32, nullptr);
    HDC dc = nullptr;
    {
        MemoryDC mem(borrowed);
        ASSERT_TRUE(mem.Valid());
        dc = mem.Handle();
        EXPECT_EQ(mem.Bitmap(), borrowed);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), handle_cast<HGDIOBJ>(borrowed));
        EXPECT_FALSE(DeleteObject(borrowed)) << "selected";
    }
    EXPECT_FALSE(DeleteDC(dc)) << "already deleted";
    EXPECT_TRUE(DeleteObject(borrowed));

    HBITMAP made = nullptr;
    {
        MemoryDC mem(0, 5, 1);
        ASSERT_TRUE(mem.Valid());
        made = mem.Bitmap();
        BITMAP bm{};
        ASSERT_EQ(GetObject(made, sizeof bm, &bm), int(sizeof bm));
        EXPECT_EQ(bm.bmWidth, 1) << "an empty size still gives a bitmap";
        EXPECT_EQ(bm.bmHeight, 5);
        EXPECT_EQ(bm.bmBitsPixel, 1);
    }
    EXPECT_EQ(GetObjectType(made), 0u);

    BITMAPINFO bi{};
    bi.bmiHeader.biWidth = 2;
    bi.bmiHeader.biHeight = -2;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    {
        MemoryDC mem = MemoryDC::Adopt(dib);
        ASSERT_TRUE(mem.Valid());
        PatBlt(mem.Handle(), 0, 0, 2, 2, WHITENESS);
        EXPECT_EQ(static_cast<std::uint32_t*>(bits)[3] & 0xFFFFFF, 0xFFFFFFu);
    }
    EXPECT_EQ(GetObjectType(dib), 0u);

    // A bitmap that cannot be selected leaves the DC invalid, and is kept.
    HBITMAP busy = CreateBitmap(2, 2, 1, 32, nullptr);
    {
        MemoryDC holder(busy);
        MemoryDC second(busy);
        EXPECT_TRUE(holder.Valid());
        EXPECT_FALSE(second.Valid());
    }
    EXPECT_TRUE(DeleteObject(busy));
}

TEST(Helpers, SavedDCRestoresTheDrawingState) {
    DibDC d(4, 4);
    SetTextColor(d.dc(), RGB(1, 2, 3));
    {
        SavedDC saved(d.dc());
        ASSERT_TRUE(saved.Valid());
        SetTextColor(d.dc(), RGB(9, 9, 9));
        HRGN clip = CreateRectRgn(0, 0, 1, 1);
        SelectClipRgn(d.dc(), clip);
        DeleteObject(clip);
    }
    EXPECT_EQ(GetTextColor(d.dc()), RGB(1, 2, 3));
    HRGN got = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(d.dc(), got), 0) << "no clip region after the restore";
    DeleteObject(got);
    EXPECT_FALSE(SavedDC(nullptr).Valid());
}

TEST(Helpers, Utf8PrefixesEndOnACharacterBoundary) {
    const std::string text = "Aж€"; // 1, 2 and 3 bytes
    struct Case {
        std::size_t maxBytes;
        const char* prefix;
    };
    for (const Case& c : {Case{0, ""}, Case{1, "A"}, Case{2, "A"}, Case{3, "Aж"}, Case{5, "Aж"},
                          Case{6, "Aж€"}, Case{99, "Aж€"}}) {
        EXPECT_EQ(Utf8Prefix(text, c.maxBytes), c.prefix) << c.maxBytes;
        char buffer[8];
        std::memset(buffer, 'x', sizeof buffer);
        const std::size_t n = CopyUtf8ToBuffer(text, buffer, std::min(c.maxBytes + 1, sizeof buffer));
        EXPECT_EQ(n, std::strlen(c.prefix)) << c.maxBytes;
        EXPECT_STREQ(buffer, c.prefix) << c.maxBytes;
    }
    char untouched = 'x';
    EXPECT_EQ(CopyUtf8ToBuffer(text, &untouched, 0), 0u);
    EXPECT_EQ(untouched, 'x');
    EXPECT_EQ(CopyUtf8ToBuffer(text, nullptr, 4), 0u);
}

} // namespace
} // namespace gfx
