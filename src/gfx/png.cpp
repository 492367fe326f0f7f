// PNG encoding and decoding through libpng. libpng reports errors with
// longjmp, so every function that calls setjmp keeps only plain values in
// its frame and hands the work to a callee; objects with destructors live in
// the callers.

#include "gfx/png.h"

#include "gfx/internal.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>

namespace gfx {

using namespace detail;

namespace {

// Larger images are refused before any pixel memory is taken.
constexpr png_uint_32 kMaxSide = 32767;
constexpr unsigned long long kMaxPixels = 1ULL << 26;

void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

// --- Writing ---

void WriteData(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        out->insert(out->end(), data, data + n);
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    if (failed) png_error(png, "out of memory");
}

void FlushData(png_structp) {}

void WriteRows(png_structp png, png_infop info, const BitmapObj* b, RECT r, bool alpha, unsigned char* row,
               std::vector<unsigned char>* out) {
    png_set_write_fn(png, out, WriteData, FlushData);
    png_set_IHDR(png, info, static_cast<png_uint_32>(r.right - r.left),
                 static_cast<png_uint_32>(r.bottom - r.top), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const int channels = alpha ? 4 : 3;
    for (int y = r.top; y < r.bottom; ++y) {
        const std::uint32_t* src = b->Row(y) + r.left;
        unsigned char* o = row;
        for (int x = 0; x < r.right - r.left; ++x, o += channels) {
            const std::uint32_t px = b->Mono() ? (src[x] ? 0xFFFFFFFFu : 0xFF000000u) : src[x];
            o[0] = static_cast<unsigned char>(px >> 16);
            o[1] = static_cast<unsigned char>(px >> 8);
            o[2] = static_cast<unsigned char>(px);
            if (alpha) o[3] = static_cast<unsigned char>(px >> 24);
        }
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
}

bool WritePng(const BitmapObj* b, RECT r, bool alpha, unsigned char* row, std::vector<unsigned char>* out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    WriteRows(png, info, b, r, alpha, row, out);
    png_destroy_write_struct(&png, &info);
    return true;
}

std::vector<unsigned char> Encode(BitmapObj* b, const RECT& want, bool alpha) {
    std::vector<unsigned char> out;
    RECT r{};
    const RECT all{0, 0, b->width, b->height};
    if (!IntersectRect(&r, &want, &all)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return out;
    }
    std::vector<unsigned char> row(static_cast<std::size_t>(r.right - r.left) * 4);
    if (!WritePng(b, r, alpha, row.data(), &out)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        out.clear();
    }
    return out;
}

bool WriteFile(const std::vector<unsigned char>& data, const std::string& path) {
    if (data.empty()) return false;
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (f) f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (f) f.close();
    if (!f) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    return true;
}

// --- Reading ---

struct ReadSource {
    const unsigned char* data;
    std::size_t size;
    std::size_t pos;
};

struct ReadResult {
    HBITMAP bitmap;
    DWORD error;
};

void ReadData(png_structp png, png_bytep out, png_size_t n) {
    auto* src = static_cast<ReadSource*>(png_get_io_ptr(png));
    if (n > src->size - src->pos) png_error(png, "truncated");
    std::memcpy(out, src->data + src->pos, n);
    src->pos += n;
}

void ReadRows(png_structp png, png_infop info, ReadSource* src, ReadResult* result) {
    png_set_read_fn(png, src, ReadData);
    png_set_user_limits(png, kMaxSide, kMaxSide);
    // Only IHDR, PLTE, tRNS, IDAT and IEND matter here. libpng takes (and
    // clears) the declared length of other chunks, such as sPLT, before
    // reading them, so a few bytes could claim gigabytes: skip them unread.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);
    if (static_cast<unsigned long long>(width) * height > kMaxPixels) {
        result->error = ERROR_NOT_ENOUGH_MEMORY;
        png_error(png, "too large");
    }
    png_set_expand(png);
    png_set_scale_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4)
        png_error(png, "unexpected layout");

    BITMAPINFO bmi{};
    bmi.bmiHeader.biWidth = static_cast<LONG>(width);
    bmi.bmiHeader.biHeight = -static_cast<LONG>(height);
    bmi.bmiHeader.biBitCount = 32;
    result->bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, nullptr, nullptr, 0);
    BitmapObj* b = LookupBitmap(result->bitmap);
    if (!b) {
        result->error = ERROR_NOT_ENOUGH_MEMORY;
        png_error(png, "no memory");
    }
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, reinterpret_cast<png_bytep>(b->Row(static_cast<int>(y))), nullptr);
    png_read_end(png, nullptr);
}

void ReadPng(ReadSource* src, ReadResult* result) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!png) return;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        if (result->bitmap) DeleteObject(result->bitmap);
        result->bitmap = nullptr;
        return;
    }
    ReadRows(png, info, src, result);
    png_destroy_read_struct(&png, &info, nullptr);
}

} // namespace

std::vector<unsigned char> EncodePng(HBITMAP bitmap, const RECT* part, bool keepAlpha) {
    BitmapObj* b = LookupBitmap(bitmap);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return {};
    }
    return Encode(b, part ? *part : RECT{0, 0, b->width, b->height}, keepAlpha);
}

bool SaveBitmapToPng(HBITMAP bitmap, const std::string& path, const RECT* part, bool keepAlpha) {
    return WriteFile(EncodePng(bitmap, part, keepAlpha), path);
}

bool SaveDCToPng(HDC dc, const RECT& logicalRect, const std::string& path) {
    DCObj* d = LookupDC(dc);
    BitmapObj* b = d ? d->Target() : nullptr;
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    const long long dx = static_cast<long long>(d->origin.x) + d->st.viewportOrg.x - d->st.windowOrg.x;
    const long long dy = static_cast<long long>(d->origin.y) + d->st.viewportOrg.y - d->st.windowOrg.y;
    const RECT r{ClampCoord(logicalRect.left + dx), ClampCoord(logicalRect.top + dy),
                 ClampCoord(logicalRect.right + dx), ClampCoord(logicalRect.bottom + dy)};
    return WriteFile(Encode(b, r, false), path);
}

HBITMAP DecodePng(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (!bytes || size < 8 || png_sig_cmp(bytes, 0, 8) != 0) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    ReadSource src{bytes, size, 0};
    ReadResult result{nullptr, ERROR_INVALID_DATA};
    ReadPng(&src, &result);
    if (!result.bitmap) SetLastError(result.error);
    return result.bitmap;
}

HBITMAP LoadPngToBitmap(const std::string& path) {
    // stdio rather than streams: a directory or a read error must not throw.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!f) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    std::vector<unsigned char> data;
    unsigned char chunk[65536];
    try {
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f.get())) > 0;)
            data.insert(data.end(), chunk, chunk + n);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (std::ferror(f.get())) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    return DecodePng(data.data(), data.size());
}

} // namespace gfx
