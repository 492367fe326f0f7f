// The drawing surface the theme engine paints its parts on: premultiplied
// 32-bit pixels with anti-aliased rounded rectangles, gradients and polygons,
// so that every part of every scheme is drawn in code. Internal to the
// window system.
#pragma once

#include "win/defs.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace win::detail {

// A colour with its opacity (0..1).
struct ArtColor {
    COLORREF rgb = 0;
    float alpha = 1.0f;
};

// Colour stops along one axis of a shape's bounding box (0 at its top or
// left, 1 at its bottom or right).
struct ArtPaint {
    struct Stop {
        float at;
        ArtColor color;
    };
    std::vector<Stop> stops;
    bool horizontal = false;

    ArtPaint(COLORREF solid) : stops{{0.0f, {solid}}} {}
    ArtPaint(ArtColor solid) : stops{{0.0f, solid}} {}
    ArtPaint(std::initializer_list<Stop> s, bool horz = false) : stops(s), horizontal(horz) {}
    static ArtPaint Vertical(COLORREF top, COLORREF bottom) { return ArtPaint({{0, {top}}, {1, {bottom}}}); }
    static ArtPaint Horizontal(COLORREF left, COLORREF right) {
        return ArtPaint({{0, {left}}, {1, {right}}}, true);
    }
    ArtColor At(float t) const;
};

struct ArtRect {
    float left, top, right, bottom;
    ArtRect Inflated(float d) const { return {left - d, top - d, right + d, bottom + d}; }
    float Width() const { return right - left; }
    float Height() const { return bottom - top; }
};

struct ArtPoint {
    float x, y;
};

class Art {
public:
    Art(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    ArtRect Bounds() const { return {0, 0, static_cast<float>(width_), static_cast<float>(height_)}; }

    // A filled rectangle with corners rounded by `radius` (0: square); the
    // paint runs across the shape's own box.
    void FillRound(const ArtRect& r, float radius, const ArtPaint& paint);
    // A ring `width` thick just inside the rounded rectangle.
    void FrameRound(const ArtRect& r, float radius, float width, const ArtPaint& paint);
    // Pixel-aligned rectangles.
    void Fill(int left, int top, int right, int bottom, ArtColor color);
    void Pixel(int x, int y, ArtColor color) { Fill(x, y, x + 1, y + 1, color); }
    // A filled polygon (even-odd), sampled 4 x 4 per pixel.
    void Polygon(std::initializer_list<ArtPoint> points, ArtColor color);
    // A straight stroke of the given thickness between two points.
    void Line(ArtPoint a, ArtPoint b, float thickness, ArtColor color);

    // The part turned by a quarter (rows become columns), for the vertical
    // variants of horizontal parts.
    Art Transposed() const;
    // Mirrored left to right.
    Art Mirrored() const;
    // Premultiplied 0xAARRGGBB, rows top to bottom.
    const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

private:
    void Blend(int x, int y, ArtColor color, float coverage);
    void FillAligned(const ArtRect& r, const ArtPaint& paint);
    template <class Coverage> void Shade(const ArtRect& box, const ArtPaint& paint, Coverage&& coverage);

    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
};

// Channel-wise mix: `percent` of a, the rest of b.
COLORREF Mix(COLORREF a, COLORREF b, int percent);

} // namespace win::detail
