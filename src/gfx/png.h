// PNG images to and from bitmaps. Pixels are kept byte for byte: alpha is
// written and read as stored, never premultiplied or divided.
#pragma once

#include "gfx/gdi.h"

#include <cstddef>
#include <string>
#include <vector>

namespace gfx {

// The bitmap, or its part inside `part` (cut to the bitmap), as RGB, or as
// RGBA with the stored alpha bytes when `keepAlpha` is set. Empty with the
// last error set on a bad handle or an empty part.
std::vector<unsigned char> EncodePng(HBITMAP bitmap, const RECT* part = nullptr, bool keepAlpha = false);
bool SaveBitmapToPng(HBITMAP bitmap, const std::string& path, const RECT* part = nullptr,
                     bool keepAlpha = false);
// The pixels under a rectangle of the DC (logical coordinates), as RGB.
bool SaveDCToPng(HDC dc, const RECT& logicalRect, const std::string& path);

// A 32-bit top-down DIB section with the image; images without alpha get
// alpha 255. Nullptr with the last error set (ERROR_FILE_NOT_FOUND,
// ERROR_INVALID_DATA for a corrupt or truncated image,
// ERROR_NOT_ENOUGH_MEMORY for an image too large to hold).
HBITMAP DecodePng(const void* data, std::size_t size);
HBITMAP LoadPngToBitmap(const std::string& path);

} // namespace gfx
