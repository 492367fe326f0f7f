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
    DibDC(int w, int h, COLORREF fill = RGB(255, 255, 255)) : w_(w), h_(h) {
        BITMAPINFO bi{};
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = SelectObject(dc_, handle_cast<HGDIOBJ>(bmp_));
        HBRUSH b = CreateSolidBrush(fill);
        RECT r{0, 0, w, h};
        FillRect(dc_, &r, b);
        DeleteObject(handle_cast<HGDIOBJ>(b));
    }
    ~DibDC() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(handle_cast<HGDIOBJ>(bmp_));
    }
    DibDC(const DibDC&) = delete;
    DibDC& operator=(const DibDC&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bmp_; }
    int width() const { return w_; }
    int height() const { return h_; }

    // The pixel's colour as a COLORREF, read straight from the bitmap (no clip).
    COLORREF At(int x, int y) const {
        BitmapSurface s;
        GetBitmapSurface(bmp_, &s);
        const std::uint32_t p = s.Row(y)[x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // The raw 32-bit pixel, alpha included.
    std::uint32_t Raw(int x, int y) const {
        BitmapSurface s;
        GetBitmapSurface(bmp_, &s);
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
    int w_, h_;
    HDC dc_{};
    HBITMAP bmp_{};
    HGDIOBJ old_{};
};

template <class H> HGDIOBJ G(H h) { return handle_cast<HGDIOBJ>(h); }

} // namespace gfx::test
