#include "win/theme_art.h"

#include <algorithm>
#include <cmath>

namespace win::detail {

namespace {

float Channel(COLORREF c, int shift) {
    return static_cast<float>((c >> shift) & 0xFF);
}

ArtColor Lerp(const ArtColor& a, const ArtColor& b, float t) {
    auto mix = [&](int shift) {
        return static_cast<COLORREF>(
            std::lround(Channel(a.rgb, shift) * (1 - t) + Channel(b.rgb, shift) * t));
    };
    return {mix(0) | (mix(8) << 8) | (mix(16) << 16), a.alpha * (1 - t) + b.alpha * t};
}

// Signed distance from a point to a rounded rectangle (negative inside).
float RoundDistance(const ArtRect& r, float radius, float x, float y) {
    const float cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const float hx = r.Width() / 2 - radius, hy = r.Height() / 2 - radius;
    const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float Coverage(float distance) {
    return std::clamp(0.5f - distance, 0.0f, 1.0f);
}

} // namespace

ArtColor ArtPaint::At(float t) const {
    if (stops.size() == 1 || t <= stops.front().at) return stops.front().color;
    for (std::size_t i = 1; i < stops.size(); ++i) {
        if (t > stops[i].at) continue;
        const float span = stops[i].at - stops[i - 1].at;
        return Lerp(stops[i - 1].color, stops[i].color, span > 0 ? (t - stops[i - 1].at) / span : 1.0f);
    }
    return stops.back().color;
}

COLORREF Mix(COLORREF a, COLORREF b, int percent) {
    return Lerp({b}, {a}, static_cast<float>(percent) / 100.0f).rgb;
}

Art::Art(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0u) {}

void Art::Blend(int x, int y, ArtColor color, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    const float a = std::clamp(color.alpha * coverage, 0.0f, 1.0f);
    if (a <= 0) return;
    std::uint32_t& p =
        pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
    const float keep = 1 - a;
    auto over = [&](int srcShift, int dstShift) {
        const float d = static_cast<float>((p >> dstShift) & 0xFF);
        return static_cast<std::uint32_t>(std::lround(Channel(color.rgb, srcShift) * a + d * keep))
               << dstShift;
    };
    const float da = static_cast<float>(p >> 24);
    const auto alpha = static_cast<std::uint32_t>(std::lround(255 * a + da * keep)) << 24;
    // COLORREF is 0x00BBGGRR; pixels are 0xAARRGGBB.
    p = alpha | over(0, 16) | over(8, 8) | over(16, 0);
}

template <class CoverageFn>
void Art::Shade(const ArtRect& box, const ArtPaint& paint, CoverageFn&& coverage) {
    const int x0 = std::max(0, static_cast<int>(std::floor(box.left)));
    const int y0 = std::max(0, static_cast<int>(std::floor(box.top)));
    const int x1 = std::min(width_, static_cast<int>(std::ceil(box.right)));
    const int y1 = std::min(height_, static_cast<int>(std::ceil(box.bottom)));
    const float span = paint.horizontal ? box.Width() : box.Height();
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const float c = coverage(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
            if (c <= 0) continue;
            const float pos = paint.horizontal ? static_cast<float>(x) + 0.5f - box.left
                                               : static_cast<float>(y) + 0.5f - box.top;
            Blend(x, y, paint.At(span > 0 ? pos / span : 0), c);
        }
    }
}

void Art::FillRound(const ArtRect& r, float radius, const ArtPaint& paint) {
    const float rad = std::min({radius, r.Width() / 2, r.Height() / 2});
    const bool aligned = r.left == std::floor(r.left) && r.top == std::floor(r.top) &&
                         r.right == std::floor(r.right) && r.bottom == std::floor(r.bottom);
    if (rad <= 0 && aligned) {
        FillAligned(r, paint);
        return;
    }
    Shade(r, paint, [&](float x, float y) { return Coverage(RoundDistance(r, rad, x, y)); });
}

// Whole pixels of a square-cornered shape: one colour per row or column,
// written straight where it is opaque (the big backgrounds take this way).
void Art::FillAligned(const ArtRect& r, const ArtPaint& paint) {
    const int x0 = std::max(0, static_cast<int>(r.left)), y0 = std::max(0, static_cast<int>(r.top));
    const int x1 = std::min(width_, static_cast<int>(r.right)),
              y1 = std::min(height_, static_cast<int>(r.bottom));
    if (x0 >= x1 || y0 >= y1) return;
    const float span = paint.horizontal ? r.Width() : r.Height();
    auto colorAt = [&](int i) {
        const float pos = static_cast<float>(i) + 0.5f - (paint.horizontal ? r.left : r.top);
        return paint.At(span > 0 ? pos / span : 0);
    };
    auto opaque = [](const ArtColor& c) {
        return 0xFF000000u | ((c.rgb & 0xFF) << 16) | (c.rgb & 0xFF00) | ((c.rgb >> 16) & 0xFF);
    };
    std::vector<ArtColor> columns;
    if (paint.horizontal)
        for (int x = x0; x < x1; ++x) columns.push_back(colorAt(x));
    for (int y = y0; y < y1; ++y) {
        std::uint32_t* row = pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
        const ArtColor rowColor = paint.horizontal ? ArtColor{} : colorAt(y);
        for (int x = x0; x < x1; ++x) {
            const ArtColor& c = paint.horizontal ? columns[static_cast<std::size_t>(x - x0)] : rowColor;
            if (c.alpha >= 1.0f)
                row[x] = opaque(c);
            else
                Blend(x, y, c, 1.0f);
        }
    }
}

void Art::FrameRound(const ArtRect& r, float radius, float width, const ArtPaint& paint) {
    const float rad = std::min({radius, r.Width() / 2, r.Height() / 2});
    const ArtRect inner = r.Inflated(-width);
    const float innerRad = std::max(rad - width, 0.0f);
    Shade(r, paint, [&](float x, float y) {
        const float outer = Coverage(RoundDistance(r, rad, x, y));
        const float in =
            inner.Width() > 0 && inner.Height() > 0 ? Coverage(RoundDistance(inner, innerRad, x, y)) : 0.0f;
        return outer - in;
    });
}

void Art::Fill(int left, int top, int right, int bottom, ArtColor color) {
    for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y)
        for (int x = std::max(left, 0); x < std::min(right, width_); ++x) Blend(x, y, color, 1.0f);
}

void Art::Polygon(std::initializer_list<ArtPoint> points, ArtColor color) {
    if (points.size() < 3) return;
    const std::vector<ArtPoint> p(points);
    ArtRect box{p[0].x, p[0].y, p[0].x, p[0].y};
    for (const ArtPoint& q : p) {
        box.left = std::min(box.left, q.x);
        box.top = std::min(box.top, q.y);
        box.right = std::max(box.right, q.x);
        box.bottom = std::max(box.bottom, q.y);
    }
    auto inside = [&](float x, float y) {
        bool in = false;
        for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++)
            if ((p[i].y > y) != (p[j].y > y) &&
                x < (p[j].x - p[i].x) * (y - p[i].y) / (p[j].y - p[i].y) + p[i].x)
                in = !in;
        return in;
    };
    Shade(box.Inflated(1), ArtPaint(color), [&](float x, float y) {
        int hits = 0;
        for (int sy = 0; sy < 4; ++sy)
            for (int sx = 0; sx < 4; ++sx)
                hits += inside(x - 0.5f + (static_cast<float>(sx) + 0.5f) / 4,
                               y - 0.5f + (static_cast<float>(sy) + 0.5f) / 4);
        return static_cast<float>(hits) / 16.0f;
    });
}

void Art::Line(ArtPoint a, ArtPoint b, float thickness, ArtColor color) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float len = std::hypot(dx, dy);
    if (len <= 0) return;
    const float nx = -dy / len * thickness / 2, ny = dx / len * thickness / 2;
    Polygon({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}, color);
}

Art Art::Transposed() const {
    Art t(height_, width_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            t.pixels_[static_cast<std::size_t>(x) * static_cast<std::size_t>(height_) +
                      static_cast<std::size_t>(y)] =
                pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                        static_cast<std::size_t>(x)];
    return t;
}

Art Art::Mirrored() const {
    Art m(width_, height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            m.pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                      static_cast<std::size_t>(x)] =
                pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                        static_cast<std::size_t>(width_ - 1 - x)];
    return m;
}

} // namespace win::detail
