// PNG encoding and decoding: round trips, the formats a file may hold, and
// files that are missing, truncated, corrupt or absurd.

#include "gfx/png.h"
#include "test_util.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sys/resource.h>
#include <vector>

namespace gfx {
namespace {

using test::DibDC;
using Bytes = std::vector<unsigned char>;

std::vector<std::uint32_t> Pixels(HBITMAP bmp, int* w = nullptr, int* h = nullptr) {
    BitmapSurface s;
    if (!GetBitmapSurface(bmp, &s)) return {};
    if (w) *w = s.width;
    if (h) *h = s.height;
    std::vector<std::uint32_t> v;
    for (int y = 0; y < s.height; ++y) v.insert(v.end(), s.Row(y), s.Row(y) + s.width);
    return v;
}

void Fill(HBITMAP bmp, std::uint32_t seed) {
    BitmapSurface s;
    GetBitmapSurface(bmp, &s);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) s.Row(y)[x] = seed = seed * 1664525u + 1013904223u;
}

// --- A minimal PNG writer: stored (uncompressed) zlib blocks ---

std::uint32_t Crc(const unsigned char* p, std::size_t n, std::uint32_t c = 0xFFFFFFFFu) {
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return c;
}

void Be32(Bytes& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<unsigned char>(v >> s));
}

void Chunk(Bytes& out, const char* type, const Bytes& data) {
    Be32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Be32(out, Crc(out.data() + start, out.size() - start) ^ 0xFFFFFFFFu);
}

// `rows` holds the scan lines, each with its filter byte.
Bytes MakePng(std::uint32_t w, std::uint32_t h, int depth, int colorType, const Bytes& rows,
              const Bytes& plte = {}, const Bytes& trns = {}) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    Be32(ihdr, w);
    Be32(ihdr, h);
    ihdr.insert(ihdr.end(),
                {static_cast<unsigned char>(depth), static_cast<unsigned char>(colorType), 0, 0, 0});
    Chunk(out, "IHDR", ihdr);
    if (!plte.empty()) Chunk(out, "PLTE", plte);
    if (!trns.empty()) Chunk(out, "tRNS", trns);
    Bytes z = {0x78,
               0x01,
               0x01,
               static_cast<unsigned char>(rows.size()),
               static_cast<unsigned char>(rows.size() >> 8),
               static_cast<unsigned char>(~rows.size()),
               static_cast<unsigned char>(~rows.size() >> 8)};
    z.insert(z.end(), rows.begin(), rows.end());
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : rows) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Be32(z, (b << 16) | a);
    Chunk(out, "IDAT", z);
    Chunk(out, "IEND", {});
    return out;
}

// --- Round trips ---

TEST(Png, RoundTripKeepsColourAndAlpha) {
    HBITMAP bmp = CreateBitmap(7, 5, 1, 32, nullptr);
    Fill(bmp, 42);
    const Bytes png = EncodePng(bmp, nullptr, true);
    ASSERT_FALSE(png.empty());
    HBITMAP back = DecodePng(png.data(), png.size());
    ASSERT_TRUE(back);
    int w = 0, h = 0;
    EXPECT_EQ(Pixels(back, &w, &h), Pixels(bmp));
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 5);
    BITMAP info{};
    ASSERT_TRUE(GetObject(back, sizeof info, &info));
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_NE(info.bmBits, nullptr);

    // Without alpha the colours stay and alpha reads back as opaque.
    const Bytes rgb = EncodePng(bmp);
    HBITMAP opaque = DecodePng(rgb.data(), rgb.size());
    ASSERT_TRUE(opaque);
    const auto a = Pixels(bmp), b = Pixels(opaque);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(b[i], a[i] | 0xFF000000u);
    DeleteObject(bmp);
    DeleteObject(back);
    DeleteObject(opaque);
}

TEST(Png, PartsAreCutToTheBitmap) {
    HBITMAP bmp = CreateBitmap(4, 4, 1, 32, nullptr);
    Fill(bmp, 9);
    const auto all = Pixels(bmp);
    const RECT part{2, 1, 10, 3};
    const Bytes png = EncodePng(bmp, &part, true);
    HBITMAP back = DecodePng(png.data(), png.size());
    ASSERT_TRUE(back);
    int w = 0, h = 0;
    const auto px = Pixels(back, &w, &h);
    ASSERT_EQ(w, 2);
    ASSERT_EQ(h, 2);
    EXPECT_EQ(px[0], all[1 * 4 + 2]);
    EXPECT_EQ(px[3], all[2 * 4 + 3]);
    const RECT outside{5, 5, 9, 9};
    SetLastError(0);
    EXPECT_TRUE(EncodePng(bmp, &outside).empty());
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    DeleteObject(bmp);
    DeleteObject(back);
}

TEST(Png, FilesAndDeviceContexts) {
    const std::string dir = testing::TempDir();
    const std::string path = dir + "gfx_png_test.png";
    DibDC d(6, 4, RGB(10, 20, 30));
    SetPixel(d.dc(), 5, 3, RGB(200, 100, 50));
    ASSERT_TRUE(SaveBitmapToPng(d.bitmap(), path));
    HBITMAP loaded = LoadPngToBitmap(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(Pixels(loaded)[3 * 6 + 5], 0xFFC86432u);
    DeleteObject(loaded);

    // A DC's logical rectangle, through its window origin.
    SetWindowOrgEx(d.dc(), 2, 1, nullptr);
    ASSERT_TRUE(SaveDCToPng(d.dc(), RECT{2, 1, 4, 3}, path));
    loaded = LoadPngToBitmap(path);
    ASSERT_TRUE(loaded);
    int w = 0, h = 0;
    const auto px = Pixels(loaded, &w, &h);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(px[0], 0xFF0A141Eu);
    DeleteObject(loaded);
    std::remove(path.c_str());

    // A monochrome bitmap is black and white.
    HBITMAP mono = CreateBitmap(2, 1, 1, 1, nullptr);
    BitmapSurface s;
    GetBitmapSurface(mono, &s);
    s.Row(0)[1] = 0xFFFFFF;
    const Bytes png = EncodePng(mono);
    loaded = DecodePng(png.data(), png.size());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(Pixels(loaded), (std::vector<std::uint32_t>{0xFF000000u, 0xFFFFFFFFu}));
    DeleteObject(loaded);
    DeleteObject(mono);

    SetLastError(0);
    EXPECT_FALSE(LoadPngToBitmap(dir + "no-such-file.png"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(SaveBitmapToPng(d.bitmap(), dir + "no-such-dir/x.png"));
    EXPECT_FALSE(LoadPngToBitmap(dir));
}

// Formats our encoder does not write: grey, palettes with transparency, 16 bits.
TEST(Png, DecodesOtherFormats) {
    struct Case {
        const char* name;
        Bytes png;
        std::vector<std::uint32_t> want;
    } cases[] = {
        {"grey 8", MakePng(2, 1, 8, 0, {0, 0x00, 0x80}), {0xFF000000u, 0xFF808080u}},
        {"grey 1", MakePng(3, 1, 1, 0, {0, 0xA0}), {0xFFFFFFFFu, 0xFF000000u, 0xFFFFFFFFu}},
        {"grey alpha", MakePng(1, 1, 8, 4, {0, 0x40, 0x80}), {0x80404040u}},
        {"palette", MakePng(2, 1, 8, 3, {0, 1, 0}, {1, 2, 3, 4, 5, 6}, {0x7F}), {0xFF040506u, 0x7F010203u}},
        {"rgba 16", MakePng(1, 1, 16, 6, {0, 0x12, 0x00, 0x34, 0x00, 0x56, 0x00, 0xFF, 0xFF}), {0xFF123456u}},
        {"two rows", MakePng(1, 2, 8, 2, {0, 1, 2, 3, 0, 4, 5, 6}), {0xFF010203u, 0xFF040506u}},
    };
    for (const Case& c : cases) {
        HBITMAP bmp = DecodePng(c.png.data(), c.png.size());
        ASSERT_TRUE(bmp) << c.name;
        EXPECT_EQ(Pixels(bmp), c.want) << c.name;
        DeleteObject(bmp);
    }
}

// --- Bad input ---

TEST(Png, TruncatedAndCorruptDataFailCleanly) {
    HBITMAP bmp = CreateBitmap(9, 9, 1, 32, nullptr);
    Fill(bmp, 3);
    const Bytes png = EncodePng(bmp, nullptr, true);
    DeleteObject(bmp);
    for (std::size_t n = 0; n < png.size(); ++n) {
        SetLastError(0);
        ASSERT_FALSE(DecodePng(png.data(), n)) << n;
        ASSERT_EQ(GetLastError(), ERROR_INVALID_DATA) << n;
    }
    // Any single damaged byte: a clean failure or a well-formed bitmap, never a crash.
    for (std::size_t i = 0; i < png.size(); ++i) {
        Bytes bad = png;
        bad[i] ^= 0x5A;
        if (HBITMAP b = DecodePng(bad.data(), bad.size())) {
            EXPECT_EQ(Pixels(b).size(), 81u);
            DeleteObject(b);
        }
    }
    Bytes garbage = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (int i = 0; i < 100; ++i) garbage.push_back(static_cast<unsigned char>(i * 37));
    EXPECT_FALSE(DecodePng(garbage.data(), garbage.size()));
    EXPECT_FALSE(DecodePng(nullptr, 100));

    const std::string path = testing::TempDir() + "gfx_png_truncated.png";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), 40);
    SetLastError(0);
    EXPECT_FALSE(LoadPngToBitmap(path));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
    std::remove(path.c_str());
}

// Only the chunks that make the image are read; others are skipped unread,
// so a chunk that claims gigabytes costs nothing.
TEST(Png, OtherChunksAreSkippedUnread) {
    const Bytes plain = MakePng(2, 1, 8, 2, {0, 1, 2, 3, 4, 5, 6});
    const std::size_t afterHeader = 8 + 12 + 13;
    Bytes extra;
    Chunk(extra, "gAMA", {0, 0, 0xB1, 0x8F});
    Chunk(extra, "sPLT", {'p', 0, 8, 1, 2, 3, 4, 0, 5});
    Chunk(extra, "tEXt", {'k', 0, 'v'});
    Chunk(extra, "abCd", {1, 2, 3});
    Bytes withChunks = plain;
    withChunks.insert(withChunks.begin() + afterHeader, extra.begin(), extra.end());
    HBITMAP bmp = DecodePng(withChunks.data(), withChunks.size());
    ASSERT_TRUE(bmp);
    EXPECT_EQ(Pixels(bmp), (std::vector<std::uint32_t>{0xFF010203u, 0xFF040506u}));
    DeleteObject(bmp);

    Bytes claim = {0x73, 0x73, 0x73, 0x73, 's', 'P', 'L', 'T', 'p', 0, 8};
    Bytes damaged = plain;
    damaged.insert(damaged.begin() + afterHeader, claim.begin(), claim.end());
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    SetLastError(0);
    EXPECT_FALSE(DecodePng(damaged.data(), damaged.size()));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATA);
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 256 * 1024); // kilobytes; the claim is 1.9 GB
}

TEST(Png, AbsurdSizesAndBadHandlesAreRefused) {
    const Bytes wide = MakePng(100000, 1, 8, 0, {0, 0});
    EXPECT_FALSE(DecodePng(wide.data(), wide.size()));
    const Bytes huge = MakePng(30000, 30000, 8, 0, {0, 0});
    SetLastError(0);
    EXPECT_FALSE(DecodePng(huge.data(), huge.size()));
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    const Bytes empty = MakePng(0, 5, 8, 0, {});
    EXPECT_FALSE(DecodePng(empty.data(), empty.size()));
    // Fewer pixel rows than the header promises.
    const Bytes shortRows = MakePng(2, 3, 8, 0, {0, 1, 2});
    EXPECT_FALSE(DecodePng(shortRows.data(), shortRows.size()));

    HBITMAP stale = CreateBitmap(2, 2, 1, 32, nullptr);
    DeleteObject(stale);
    SetLastError(0);
    EXPECT_TRUE(EncodePng(stale).empty());
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(SaveBitmapToPng(stale, testing::TempDir() + "x.png"));
    EXPECT_FALSE(SaveDCToPng(nullptr, RECT{0, 0, 1, 1}, testing::TempDir() + "x.png"));
}

} // namespace
} // namespace gfx
