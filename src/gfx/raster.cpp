// Raster helpers every primitive draws through: brushes resolved into
// patterns, and rectangle fills through ternary raster operations.

#include "gfx/internal.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TRESTLE_RASTER_AVX2 1
#endif

namespace gfx::detail {

bool HasAvx2() {
#if defined(TRESTLE_RASTER_AVX2)
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
#else
    return false;
#endif
}

namespace {

#if defined(TRESTLE_RASTER_AVX2)
// Four 32-byte stores a step: solid fills of wide rows run about twice as fast
// as with the baseline's 16-byte stores.
__attribute__((target("avx2"))) void FillPixelsAvx2(std::uint32_t* p, int n, std::uint32_t value) {
    const __m256i v = _mm256_set1_epi32(static_cast<int>(value));
    int i = 0;
    for (; i + 32 <= n; i += 32) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), v);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i + 8), v);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i + 16), v);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i + 24), v);
    }
    for (; i < n; ++i) p[i] = value;
}
#endif

bool HatchBit(int style, int x, int y) {
    switch (style) {
        case HS_HORIZONTAL:
            return y == 4;
        case HS_VERTICAL:
            return x == 4;
        case HS_FDIAGONAL:
            return x == y;
        case HS_BDIAGONAL:
            return x + y == 7;
        case HS_CROSS:
            return x == 4 || y == 4;
        case HS_DIAGCROSS:
            return x == y || x + y == 7;
        default:
            return false;
    }
}

} // namespace

void FillPixels(std::uint32_t* p, int n, std::uint32_t value) {
#if defined(TRESTLE_RASTER_AVX2)
    if (n >= 64 && HasAvx2()) {
        FillPixelsAvx2(p, n, value);
        return;
    }
#endif
    std::fill_n(p, n, value);
}

Pattern SolidPattern(std::uint32_t pixel) {
    Pattern p;
    p.none = false;
    p.solid = true;
    p.color = pixel;
    return p;
}

Pattern ResolveBrush(DCObj& dc, HBRUSH brush) {
    BitmapObj* target = dc.Target();
    const bool mono = target && target->Mono();
    if (!brush) brush = dc.st.brush;
    const std::uintptr_t value = handle_to_int(brush);
    if (value >= 1 && value <= SYS_COLOR_COUNT)
        return SolidPattern(ColorToTargetPixel(GetSysColor(static_cast<int>(value - 1)), mono));
    BrushObj* b = LookupBrush(brush);
    if (!b) return Pattern{};
    if (b->dcBrush) return SolidPattern(DCColorPixel(dc, dc.st.dcBrushColor, mono));
    if (b->sysColorIndex >= 0) return SolidPattern(ColorToTargetPixel(GetSysColor(b->sysColorIndex), mono));
    switch (b->style) {
        case BS_SOLID:
            return SolidPattern(DCColorPixel(dc, b->color, mono));
        case BS_HATCHED:
        case BS_PATTERN: {
            Pattern p;
            p.none = false;
            const std::uint32_t fg =
                DCColorPixel(dc, b->style == BS_HATCHED ? b->color : dc.st.textColor, mono);
            const std::uint32_t bg = DCColorPixel(dc, dc.st.bkColor, mono);
            p.mask = 0;
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) {
                    const std::size_t i = static_cast<std::size_t>(y * 8 + x);
                    bool drawn = true;
                    if (b->style == BS_HATCHED) {
                        const bool on = HatchBit(b->hatch, x, y);
                        p.tile[i] = on ? fg : bg;
                        drawn = on || dc.st.bkMode == OPAQUE;
                    } else if (b->patternMono) {
                        // Monochrome patterns: 0 bits take the text colour, 1 bits the background.
                        p.tile[i] = (*b->pattern)[i] ? bg : fg;
                    } else {
                        p.tile[i] = mono ? MonoPixelFromColor(ColorFromPixel((*b->pattern)[i]))
                                         : ((*b->pattern)[i] & 0xFFFFFF);
                    }
                    if (drawn) p.mask |= 1ull << i;
                }
            const POINT org{dc.st.brushOrg.x + dc.origin.x, dc.st.brushOrg.y + dc.origin.y};
            p.orgX = org.x;
            p.orgY = org.y;
            return p;
        }
        default:
            return Pattern{};
    }
}

void FillSurfaceRect(DCObj& dc, const RECT& surfaceRect, const Pattern& pattern, DWORD rop) {
    BitmapObj* t = dc.Target();
    if (!t) return;
    const auto code = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
    if (pattern.none && RopUsesPattern(code)) return;
    RECT touched{};
    ForEachClipped(dc, surfaceRect, [&](const RECT& r) {
        if (touched.left >= touched.right) {
            touched = r;
        } else {
            touched = RECT{std::min(touched.left, r.left), std::min(touched.top, r.top),
                           std::max(touched.right, r.right), std::max(touched.bottom, r.bottom)};
        }
        const int w = r.right - r.left;
        if (pattern.solid && code == 0xF0) {
            // A plain fill; the narrow ones (gradient stripes, frame sides)
            // are stored here rather than through a call per row.
            const std::uint32_t p = pattern.color;
            const std::ptrdiff_t stride = t->stride;
            std::uint32_t* row = t->Row(r.top) + r.left;
            for (int y = r.top; y < r.bottom; ++y, row += stride) {
                if (w <= 8)
                    for (int i = 0; i < w; ++i) row[i] = p;
                else
                    FillPixels(row, w, p);
            }
            return;
        }
        for (int y = r.top; y < r.bottom; ++y) {
            std::uint32_t* row = t->Row(y) + r.left;
            if (pattern.solid) {
                const std::uint32_t p = pattern.color;
                switch (code) {
                    case 0x5A:
                        for (int i = 0; i < w; ++i) row[i] = (row[i] ^ p) & 0xFFFFFF;
                        break; // PATINVERT
                    case 0x55:
                        for (int i = 0; i < w; ++i) row[i] = ~row[i] & 0xFFFFFF;
                        break; // DSTINVERT
                    case 0x00:
                        std::fill_n(row, w, 0u);
                        break; // BLACKNESS
                    case 0xFF:
                        std::fill_n(row, w, 0xFFFFFFu);
                        break; // WHITENESS
                    case 0xAA:
                        break; // D
                    default:
                        for (int i = 0; i < w; ++i) row[i] = Rop3(code, row[i], 0, p) & 0xFFFFFF;
                        break;
                }
            } else if (code != 0xAA) {
                for (int x = r.left; x < r.right; ++x) {
                    if (!pattern.none && !pattern.Drawn(x, y)) continue;
                    const std::uint32_t p = pattern.none ? 0 : pattern.At(x, y);
                    std::uint32_t& d = row[x - r.left];
                    d = (code == 0xF0 ? p : Rop3(code, d, 0, p)) & 0xFFFFFF;
                }
            }
        }
    });
    t->AddDirty(touched);
}

void FillSurfaceRegion(DCObj& dc, const Region& surfaceRgn, const Pattern& pattern, DWORD rop) {
    for (const RECT& r : surfaceRgn.Rects()) FillSurfaceRect(dc, r, pattern, rop);
}

void PlotPixel(DCObj& dc, int sx, int sy, std::uint32_t pixel, int rop2) {
    BitmapObj* t = dc.Target();
    if (!t || !dc.EffectiveClip().Contains(sx, sy)) return;
    std::uint32_t& d = t->Row(sy)[sx];
    d = (rop2 == R2_COPYPEN ? pixel : Rop2(rop2, d, pixel)) & 0xFFFFFF;
}

} // namespace gfx::detail
