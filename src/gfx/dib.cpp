// Transfers between bitmaps and device-independent pixel buffers: 32-bit
// (B, G, R, A bytes, alpha kept) and 1-bit images with a colour table,
// bottom-up or top-down, and the device-dependent layout of GetBitmapBits.

#include "gfx/internal.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace gfx {

using namespace detail;

namespace {

int FailZero(DWORD error) {
    SetLastError(error);
    return 0;
}

// A checked BITMAPINFO.
struct DibFormat {
    int width = 0;
    int height = 0; // rows of the image
    bool topDown = false;
    int bpp = 0;                   // 1 or 32
    std::size_t rowBytes = 0;      // rows are DWORD-aligned
    std::uint32_t palette[2] = {}; // 1-bit images: the colour table as pixels

    // The bitmap row of the image's scan line `scan` (counted from the
    // first row in memory): bottom-up images count from the bitmap's bottom.
    long long BitmapRow(long long scan, int bitmapHeight) const {
        return topDown ? scan : bitmapHeight - 1 - scan;
    }
};

bool ParseFormat(const BITMAPINFO* bmi, UINT usage, DibFormat& f) {
    if (!bmi) return false;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || (h.biBitCount != 1 && h.biBitCount != 32) ||
        h.biCompression != BI_RGB)
        return false;
    if (h.biWidth <= 0 || h.biWidth > kCoordLimit || h.biHeight == 0 || h.biHeight < -kCoordLimit ||
        h.biHeight > kCoordLimit)
        return false;
    // A 1-bit image with palette indexes has no palette to index here.
    if (h.biBitCount == 1 && usage != DIB_RGB_COLORS) return false;
    f.width = h.biWidth;
    f.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    f.topDown = h.biHeight < 0;
    f.bpp = h.biBitCount;
    f.rowBytes = ((static_cast<std::size_t>(f.width) * f.bpp + 31) / 32) * 4;
    for (int i = 0; i < 2; ++i) {
        const RGBQUAD& q = bmi->bmiColors[i];
        f.palette[i] = (static_cast<std::uint32_t>(q.rgbRed) << 16) | (q.rgbGreen << 8) | q.rgbBlue;
    }
    return true;
}

// Decodes `n` pixels of an image row into a bitmap row of the given kind.
void DecodeRow(const DibFormat& f, const std::uint8_t* src, std::uint32_t* dst, int n, bool mono) {
    if (f.bpp == 32) {
        if (!mono) {
            std::memcpy(dst, src, static_cast<std::size_t>(n) * 4);
        } else {
            for (int x = 0; x < n; ++x) {
                std::uint32_t px;
                std::memcpy(&px, src + static_cast<std::size_t>(x) * 4, 4);
                dst[x] = MonoPixelFromColor(ColorFromPixel(px));
            }
        }
        return;
    }
    std::uint32_t table[2] = {f.palette[0], f.palette[1]};
    if (mono)
        for (std::uint32_t& c : table) c = MonoPixelFromColor(ColorFromPixel(c));
    for (int x = 0; x < n; ++x) dst[x] = table[(src[x >> 3] >> (7 - (x & 7))) & 1];
}

// Encodes `n` pixels of a bitmap row into an image row; 1-bit rows use the
// table black, white.
void EncodeRow(const DibFormat& f, const std::uint32_t* src, std::uint8_t* dst, int n, bool mono) {
    if (f.bpp == 32) {
        if (!mono) {
            std::memcpy(dst, src, static_cast<std::size_t>(n) * 4);
        } else {
            for (int x = 0; x < n; ++x) {
                const std::uint32_t px = src[x] ? 0xFFFFFFu : 0u;
                std::memcpy(dst + static_cast<std::size_t>(x) * 4, &px, 4);
            }
        }
        std::memset(dst + static_cast<std::size_t>(n) * 4, 0, f.rowBytes - static_cast<std::size_t>(n) * 4);
        return;
    }
    std::memset(dst, 0, f.rowBytes);
    for (int x = 0; x < n; ++x) {
        const bool white = mono ? src[x] != 0 : MonoPixelFromColor(ColorFromPixel(src[x])) != 0;
        if (white) dst[x >> 3] = static_cast<std::uint8_t>(dst[x >> 3] | (0x80 >> (x & 7)));
    }
}

// Bytes of a row of the device-dependent layout: WORD-aligned, 1 = white for
// monochrome bitmaps.
std::size_t DeviceRowBytes(const BitmapObj& b) {
    return b.Mono() ? ((static_cast<std::size_t>(b.width) + 15) / 16) * 2
                    : static_cast<std::size_t>(b.width) * 4;
}

bool CheckOptionalDC(HDC dc) {
    return !dc || LookupDC(dc);
}

} // namespace

int SetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT scanLines, const void* bits, const BITMAPINFO* bmi,
              UINT usage) {
    BitmapObj* b = LookupBitmap(bitmap);
    if (!b || !CheckOptionalDC(dc)) return FailZero(ERROR_INVALID_HANDLE);
    DibFormat f;
    if (!bits || !ParseFormat(bmi, usage, f)) return FailZero(ERROR_INVALID_PARAMETER);
    if (startScan >= static_cast<UINT>(f.height)) return 0;
    const long long lines = std::min<long long>(scanLines, f.height - static_cast<long long>(startScan));
    const int cols = std::min(f.width, b->width);
    const auto* src = static_cast<const std::uint8_t*>(bits);
    int copied = 0;
    long long top = b->height, bottom = 0;
    for (long long k = 0; k < lines; ++k) {
        const long long row = f.BitmapRow(startScan + k, b->height);
        if (row < 0 || row >= b->height) continue;
        DecodeRow(f, src + static_cast<std::size_t>(k) * f.rowBytes, b->Row(static_cast<int>(row)), cols,
                  b->Mono());
        top = std::min(top, row);
        bottom = std::max(bottom, row + 1);
        ++copied;
    }
    if (copied) b->AddDirty(RECT{0, static_cast<LONG>(top), cols, static_cast<LONG>(bottom)});
    return copied;
}

int GetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT scanLines, void* bits, BITMAPINFO* bmi,
              UINT usage) {
    BitmapObj* b = LookupBitmap(bitmap);
    if (!b || !CheckOptionalDC(dc)) return FailZero(ERROR_INVALID_HANDLE);
    if (!bmi) return FailZero(ERROR_INVALID_PARAMETER);
    BITMAPINFOHEADER& h = bmi->bmiHeader;
    const auto setBlackWhite = [&] {
        bmi->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
        bmi->bmiColors[1] = RGBQUAD{255, 255, 255, 0};
    };
    if (!bits) {
        // No buffer: describe the bitmap (bit count 0) or the requested format.
        if (h.biBitCount == 0) {
            h.biSize = sizeof(BITMAPINFOHEADER);
            h.biWidth = b->width;
            h.biHeight = b->height;
            h.biPlanes = 1;
            h.biBitCount = static_cast<WORD>(b->bpp);
            h.biCompression = BI_RGB;
            h.biXPelsPerMeter = h.biYPelsPerMeter = 0;
            h.biClrUsed = h.biClrImportant = 0;
        } else if (h.biBitCount != 1 && h.biBitCount != 32) {
            return FailZero(ERROR_INVALID_PARAMETER);
        }
        const long long width = h.biWidth > 0 ? h.biWidth : b->width;
        const long long height =
            h.biHeight != 0 ? std::min<long long>(std::abs(static_cast<long long>(h.biHeight)), kCoordLimit)
                            : b->height;
        const long long rowBytes = ((std::min<long long>(width, kCoordLimit) * h.biBitCount + 31) / 32) * 4;
        h.biSizeImage = static_cast<DWORD>(std::min<long long>(rowBytes * height, 0xFFFFFFFFLL));
        if (h.biBitCount == 1) setBlackWhite();
        return b->height;
    }
    DibFormat f;
    if (!ParseFormat(bmi, usage, f)) return FailZero(ERROR_INVALID_PARAMETER);
    if (f.bpp == 1) setBlackWhite();
    if (startScan >= static_cast<UINT>(f.height)) return 0;
    const long long lines = std::min<long long>(scanLines, f.height - static_cast<long long>(startScan));
    const int cols = std::min(f.width, b->width);
    auto* dst = static_cast<std::uint8_t*>(bits);
    int copied = 0;
    for (long long k = 0; k < lines; ++k) {
        const long long row = f.BitmapRow(startScan + k, b->height);
        if (row < 0 || row >= b->height) continue;
        EncodeRow(f, b->Row(static_cast<int>(row)), dst + static_cast<std::size_t>(k) * f.rowBytes, cols,
                  b->Mono());
        ++copied;
    }
    return copied;
}

LONG GetBitmapBits(HBITMAP bitmap, LONG size, void* bits) {
    BitmapObj* b = LookupBitmap(bitmap);
    if (!b) return FailZero(ERROR_INVALID_HANDLE);
    const std::size_t rowBytes = DeviceRowBytes(*b);
    const std::size_t total = rowBytes * static_cast<std::size_t>(b->height);
    if (!bits) return static_cast<LONG>(total);
    if (size <= 0) return FailZero(ERROR_INVALID_PARAMETER);
    const std::size_t wanted = std::min(total, static_cast<std::size_t>(size));
    auto* dst = static_cast<std::uint8_t*>(bits);
    std::vector<std::uint8_t> row(rowBytes);
    for (std::size_t y = 0; y * rowBytes < wanted; ++y) {
        const std::uint32_t* src = b->Row(static_cast<int>(y));
        std::fill(row.begin(), row.end(), 0);
        if (b->Mono()) {
            for (int x = 0; x < b->width; ++x)
                if (src[x])
                    row[static_cast<std::size_t>(x) >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
        } else {
            std::memcpy(row.data(), src, rowBytes);
        }
        std::memcpy(dst + y * rowBytes, row.data(), std::min(rowBytes, wanted - y * rowBytes));
    }
    return static_cast<LONG>(wanted);
}

LONG SetBitmapBits(HBITMAP bitmap, DWORD size, const void* bits) {
    BitmapObj* b = LookupBitmap(bitmap);
    if (!b) return FailZero(ERROR_INVALID_HANDLE);
    if (!bits) return FailZero(ERROR_INVALID_PARAMETER);
    const std::size_t rowBytes = DeviceRowBytes(*b);
    const std::size_t total = rowBytes * static_cast<std::size_t>(b->height);
    const std::size_t used = std::min<std::size_t>(total, size);
    const auto* src = static_cast<const std::uint8_t*>(bits);
    std::size_t y = 0;
    for (; y * rowBytes < used; ++y) {
        const std::uint8_t* row = src + y * rowBytes;
        const std::size_t avail = std::min(rowBytes, used - y * rowBytes);
        std::uint32_t* dst = b->Row(static_cast<int>(y));
        if (b->Mono()) {
            const int n =
                static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(b->width), avail * 8));
            for (int x = 0; x < n; ++x) dst[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFFu : 0u;
        } else {
            std::memcpy(dst, row, (avail / 4) * 4);
        }
    }
    if (y) b->AddDirty(RECT{0, 0, b->width, static_cast<LONG>(y)});
    return static_cast<LONG>(used);
}

int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* bmi, UINT usage,
                  DWORD rop) {
    DCObj* d = LookupDC(dc);
    if (!d) return FailZero(ERROR_INVALID_HANDLE);
    BitmapObj* t = d->Target();
    if (!t) return FailZero(ERROR_INVALID_HANDLE);
    const int lines = srcHeight < 0 ? -std::max(srcHeight, -kCoordLimit) : std::min(srcHeight, kCoordLimit);
    const auto code = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
    if (!RopUsesSource(code))
        return StretchBlt(dc, xDest, yDest, destWidth, destHeight, nullptr, 0, 0, srcWidth, srcHeight, rop)
                   ? lines
                   : 0;
    DibFormat f;
    if (!bits || !ParseFormat(bmi, usage, f)) return FailZero(ERROR_INVALID_PARAMETER);

    // The source rectangle in top-down image rows: a bottom-up image counts
    // ySrc from its bottom edge.
    const long long sx = xSrc;
    const long long sy = f.topDown ? ySrc : static_cast<long long>(f.height) - ySrc - srcHeight;
    const long long x0 = std::max(0LL, std::min(sx, sx + srcWidth));
    const long long x1 = std::min<long long>(f.width, std::max(sx, sx + srcWidth));
    const long long y0 = std::max(0LL, std::min(sy, sy + srcHeight));
    const long long y1 = std::min<long long>(f.height, std::max(sy, sy + srcHeight));
    if (x0 >= x1 || y0 >= y1) return 0;

    // Only the part of the image that can be read is decoded, into a bitmap
    // of the destination's kind, so that the blit itself converts nothing.
    const MemoryDC part(static_cast<int>(x1 - x0), static_cast<int>(y1 - y0), t->Mono() ? 1 : 32);
    BitmapObj* pb = LookupBitmap(part.Bitmap());
    if (!pb || !part.Valid()) return FailZero(ERROR_NOT_ENOUGH_MEMORY);
    const auto* src = static_cast<const std::uint8_t*>(bits);
    std::vector<std::uint32_t> full(f.bpp == 1 ? static_cast<std::size_t>(x1) : 0);
    for (long long y = y0; y < y1; ++y) {
        const long long memRow = f.topDown ? y : f.height - 1 - y;
        const std::uint8_t* row = src + static_cast<std::size_t>(memRow) * f.rowBytes;
        if (f.bpp == 32) {
            row += static_cast<std::size_t>(x0) * 4;
            DecodeRow(f, row, pb->Row(static_cast<int>(y - y0)), static_cast<int>(x1 - x0), pb->Mono());
        } else {
            DecodeRow(f, row, full.data(), static_cast<int>(x1), pb->Mono());
            std::copy(full.begin() + x0, full.end(), pb->Row(static_cast<int>(y - y0)));
        }
    }
    const BOOL ok = StretchBlt(dc, xDest, yDest, destWidth, destHeight, part.Handle(), ClampCoord(sx - x0),
                               ClampCoord(sy - y0), srcWidth, srcHeight, rop);
    return ok ? static_cast<int>(y1 - y0) : 0;
}

} // namespace gfx
