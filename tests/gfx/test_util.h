// Small helpers shared by the drawing layer's tests.
#pragma once

#include "gfx/gdi.h"

#include <algorithm>
#include <string>

namespace gfx::test {

// A memory DC with a W x H 32-bit top-down DIB selected, filled with `fill`.
// Deletes both on destruction.
class DibDC {
public:
    DibDC(int w, int h, COLORREF fill = RGB(255, 255, 255))
        : w_(w), h_(h), mem_(MemoryDC::Adopt(TopDownDib(w, h))) {
        HBRUSH b = CreateSolidBrush(fill);
        RECT r{0, 0, w, h};
        FillRect(dc(), &r, b);
        DeleteObject(b);
    }

    HDC dc() const { return mem_.Handle(); }
    HBITMAP bitmap() const { return mem_.Bitmap(); }
    int width() const { return w_; }
    int height() const { return h_; }

    // The pixel's colour as a COLORREF, read straight from the bitmap (no clip).
    COLORREF At(int x, int y) const {
        BitmapSurface s;
        GetBitmapSurface(bitmap(), &s);
        return ColorFromPixel(s.Row(y)[x]);
    }
    // The raw 32-bit pixel, alpha included.
    std::uint32_t Raw(int x, int y) const {
        BitmapSurface s;
        GetBitmapSurface(bitmap(), &s);
        return s.Row(y)[x];
    }
    // Rows of characters: '#' where the pixel equals `ink`, '.' elsewhere.
    std::string Picture(COLORREF ink) const {
        std::string out;
        for (int y = 0; y < h_; ++y) {
            for (int x = 0; x < w_; ++x) out += At(x, y) == ink ? '#' : '.';
            out += '\n';
        }
        return out;
    }
    // Number of pixels that differ from `background`.
    int CountNot(COLORREF background) const {
        int n = 0;
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) n += At(x, y) != background;
        return n;
    }
    // Bounding box of the pixels that differ from `background` (empty if none).
    RECT InkBounds(COLORREF background) const {
        RECT r{w_, h_, 0, 0};
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x)
                if (At(x, y) != background) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        if (r.left >= r.right) r = RECT{};
        return r;
    }

private:
    static HBITMAP TopDownDib(int w, int h) {
        BITMAPINFO bi{};
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    }

    int w_, h_;
    MemoryDC mem_;
};

} // namespace gfx::test
