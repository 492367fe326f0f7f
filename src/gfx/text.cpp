// Text output and measurement: TextOut, ExtTextOut, extents, metrics and the
// drawing of positioned runs (coverage blending, rotation, decorations).

#include "gfx/font_internal.h"
#include "gfx/utf8.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TRESTLE_TEXT_AVX2 1
#endif

namespace gfx {

namespace detail {

namespace {

constexpr RECT kUnlimited{-kCoordLimit, -kCoordLimit, kCoordLimit, kCoordLimit};

RECT Intersect(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

bool Empty(const RECT& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

POINT ToSurface(DCObj& dc, POINT p) {
    const POINT zero = dc.LogicalToSurface(POINT{0, 0});
    return POINT{ClampCoord(static_cast<long long>(ClampCoord(p.x)) + zero.x),
                 ClampCoord(static_cast<long long>(ClampCoord(p.y)) + zero.y)};
}

RECT ToSurface(DCObj& dc, const RECT& r) {
    const POINT a = ToSurface(dc, POINT{r.left, r.top});
    const POINT b = ToSurface(dc, POINT{r.right, r.bottom});
    return RECT{a.x, a.y, b.x, b.y};
}

#if defined(TRESTLE_TEXT_AVX2)
// Blends the columns [0, w & ~7) of `rows` rows eight pixels at a time,
// where the processor can. Same arithmetic as CoveragePainter::BlendRow.
__attribute__((target("avx2"))) void BlendAvx2(std::uint32_t* dst, std::ptrdiff_t dstStride,
                                               const std::uint8_t* src, const std::int16_t* k,
                                               std::ptrdiff_t srcStride, int rows, int w,
                                               std::uint32_t inkPixel) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i ink = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(inkPixel)), zero);
    for (int row = 0; row < rows; ++row, dst += dstStride, src += srcStride, k += 4 * srcStride) {
        for (int i = 0; i + 8 <= w; i += 8) {
            std::uint64_t eight;
            std::memcpy(&eight, src + i, 8);
            if (eight == 0) continue;
            const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
            const __m256i ka = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(k + 4 * i));
            const __m256i kb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(k + 4 * i + 16));
            // Unpacking works inside 128-bit lanes: pixels 0, 1, 4, 5 and 2, 3, 6, 7.
            const __m256i kl = _mm256_permute2x128_si256(ka, kb, 0x20);
            const __m256i kh = _mm256_permute2x128_si256(ka, kb, 0x31);
            const __m256i dl = _mm256_unpacklo_epi8(d, zero), dh = _mm256_unpackhi_epi8(d, zero);
            const __m256i rl =
                _mm256_add_epi16(dl, _mm256_mulhi_epi16(_mm256_slli_epi16(_mm256_sub_epi16(ink, dl), 7), kl));
            const __m256i rh =
                _mm256_add_epi16(dh, _mm256_mulhi_epi16(_mm256_slli_epi16(_mm256_sub_epi16(ink, dh), 7), kh));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_packus_epi16(rl, rh));
        }
    }
}

#endif

// A glyph image as the painter takes it: rows of `stride` pixels, of which
// those past the glyph's width are zero padding.
struct CoverageImage {
    int height = 0;
    int stride = 0;
    const std::uint8_t* coverage = nullptr;
    const std::int16_t* weights = nullptr;
};

// Blends glyph coverage onto the target in the text colour; a monochrome
// target takes the colour where the coverage is at least half. Glyphs are
// small and many, so the clip is looked at once per run, not per glyph.
class CoveragePainter {
public:
    CoveragePainter(DCObj& dc, BitmapObj& target, const RECT& limit, COLORREF color)
        : target_(target), clip_(dc.EffectiveClip()), limit_(Intersect(limit, clip_.Bounds())),
          mono_(target.Mono()), ink_(DCColorPixel(dc, color, target.Mono())) {
#if defined(__SSE2__)
        zero_ = _mm_setzero_si128();
        ink16_ = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(ink_)), zero_);
#endif
    }

    ~CoveragePainter() {
        if (dirty_.left < dirty_.right) target_.AddDirty(dirty_);
    }

    void Paint(long long x, long long y, const CoverageImage& img) {
        const long long l = std::max<long long>(x, limit_.left), t = std::max<long long>(y, limit_.top);
        const long long r = std::min<long long>(x + img.stride, limit_.right);
        const long long b = std::min<long long>(y + img.height, limit_.bottom);
        if (l >= r || t >= b) return;
        for (const RECT& c : clip_.Rects()) {
            if (c.top >= b) break;
            const LONG cl = static_cast<LONG>(std::max<long long>(l, c.left));
            const LONG ct = static_cast<LONG>(std::max<long long>(t, c.top));
            const LONG cr = static_cast<LONG>(std::min<long long>(r, c.right));
            const LONG cb = static_cast<LONG>(std::min<long long>(b, c.bottom));
            if (cl >= cr || ct >= cb) continue;
            const int w = cr - cl;
            const std::ptrdiff_t first = (ct - y) * img.stride + (cl - x);
            const std::uint8_t* src = img.coverage + first;
            const std::int16_t* k = img.weights + 4 * first;
            std::uint32_t* dst = target_.Row(ct) + cl;
            int done = 0; // columns already blended in every row
#if defined(TRESTLE_TEXT_AVX2)
            if (avx2_ && !mono_) {
                BlendAvx2(dst, target_.stride, src, k, img.stride, cb - ct, w, ink_);
                done = w & ~7;
            }
#endif
            if (mono_) {
                for (int row = ct; row < cb; ++row, src += img.stride, dst += target_.stride)
                    for (int i = 0; i < w; ++i)
                        if (src[i] >= 128) dst[i] = ink_;
            } else if (done < w) {
                for (int row = ct; row < cb;
                     ++row, src += img.stride, k += 4 * img.stride, dst += target_.stride)
                    BlendRow(dst + done, src + done, k + 4 * done, w - done);
            }
            if (dirty_.left >= dirty_.right) {
                dirty_ = RECT{cl, ct, cr, cb};
            } else {
                dirty_ = RECT{std::min(dirty_.left, cl), std::min(dirty_.top, ct), std::max(dirty_.right, cr),
                              std::max(dirty_.bottom, cb)};
            }
        }
    }

private:
    void BlendRow(std::uint32_t* dst, const std::uint8_t* src, const std::int16_t* k, int w) const {
        int i = 0;
#if defined(__SSE2__)
        // Two pixels per register, one 16-bit lane per channel: d + ((ink - d) << 7) * k >> 16.
        auto mix = [this](__m128i d, const std::int16_t* weights) {
            const __m128i kv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights));
            return _mm_add_epi16(d, _mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(ink16_, d), 7), kv));
        };
        for (; i + 4 <= w; i += 4) {
            std::uint32_t four;
            std::memcpy(&four, src + i, 4);
            if (four == 0) continue;
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
            const __m128i r = _mm_packus_epi16(mix(_mm_unpacklo_epi8(d, zero_), k + 4 * i),
                                               mix(_mm_unpackhi_epi8(d, zero_), k + 4 * i + 8));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), r);
        }
#endif
        for (; i < w; ++i) {
            if (src[i] == 0) continue;
            const std::uint32_t d = dst[i];
            std::uint32_t out = 0;
            for (int ch = 0; ch < 4; ++ch) {
                const int dc = static_cast<int>((d >> (8 * ch)) & 0xFF),
                          ic = static_cast<int>((ink_ >> (8 * ch)) & 0xFF);
                // An arithmetic shift, as the vector code's high multiply.
                const int v = dc + ((ic - dc) * 128 * k[4 * i + ch] >> 16);
                out |= static_cast<std::uint32_t>(v) << (8 * ch);
            }
            dst[i] = out;
        }
    }

    BitmapObj& target_;
    const Region& clip_;
    RECT limit_;
    bool mono_;
    std::uint32_t ink_;
    RECT dirty_{};
#if defined(__SSE2__)
    __m128i zero_, ink16_;
#endif
#if defined(TRESTLE_TEXT_AVX2)
    bool avx2_ = detail::HasAvx2();
#endif
};

// Maps rectangles and glyph images from run space (x along the text, y down
// the cell, relative to the reference point) to the surface, turned by the
// font's escapement.
struct RunTransform {
    POINT origin; // the reference point on the surface
    int quarter;  // counter-clockwise quarter turns

    RECT Map(long long l, long long t, long long r, long long b) const {
        long long x0, y0, x1, y1;
        switch (quarter) {
            case 1:
                x0 = t, x1 = b, y0 = -r, y1 = -l;
                break;
            case 2:
                x0 = -r, x1 = -l, y0 = -b, y1 = -t;
                break;
            case 3:
                x0 = -b, x1 = -t, y0 = l, y1 = r;
                break;
            default:
                x0 = l, x1 = r, y0 = t, y1 = b;
                break;
        }
        return RECT{ClampCoord(origin.x + x0), ClampCoord(origin.y + y0), ClampCoord(origin.x + x1),
                    ClampCoord(origin.y + y1)};
    }
};

void FillSurface(DCObj& dc, const RECT& r, const RECT& limit, std::uint32_t pixel) {
    const RECT c = Intersect(r, limit);
    if (!Empty(c)) FillSurfaceRect(dc, c, SolidPattern(pixel), PATCOPY);
}

} // namespace

bool DrawRun(DCObj& dc, FontInstance& font, POINT ref, const TextRun& run, const RunOptions& o) {
    BitmapObj* target = dc.Target();
    if (!target) return false;
    const FontMetrics& m = font.Metrics();
    const LOGFONT& lf = font.LogFont();
    const bool mono = target->Mono();
    const std::uint32_t bk = DCColorPixel(dc, dc.st.bkColor, mono);
    const std::uint32_t ink = DCColorPixel(dc, dc.st.textColor, mono);
    const RECT limit = o.clip ? ToSurface(dc, *o.clip) : kUnlimited;

    if (o.opaqueRect) FillSurface(dc, ToSurface(dc, *o.opaqueRect), limit, bk);

    long long u0 = 0, v0 = 0;
    if ((o.align & TA_CENTER) == TA_CENTER)
        u0 = run.width / 2;
    else if (o.align & TA_RIGHT)
        u0 = run.width;
    if ((o.align & TA_BASELINE) == TA_BASELINE)
        v0 = m.ascent;
    else if (o.align & TA_BOTTOM)
        v0 = m.Height();
    const RunTransform tf{ToSurface(dc, ref), font.Escapement() / 900};
    auto mapRun = [&](long long l, long long t, long long r, long long b) {
        return tf.Map(l - u0, t - v0, r - u0, b - v0);
    };

    if (o.opaqueCell && run.width > 0) FillSurface(dc, mapRun(0, 0, run.width, m.Height()), limit, bk);

    if (o.drawGlyphs) {
        CoveragePainter painter(dc, *target, limit, dc.st.textColor);
        thread_local std::vector<std::uint8_t> turned;
        thread_local std::vector<std::int16_t> turnedWeights;
        for (const PlacedGlyph& pg : run.glyphs) {
            const Glyph& g = *pg.glyph;
            if (g.coverage.empty()) continue;
            const long long gx = pg.x + g.left, gy = m.ascent - g.top;
            const RECT box = mapRun(gx, gy, gx + g.width, gy + g.height);
            if (tf.quarter == 0) {
                painter.Paint(box.left, box.top,
                              CoverageImage{g.height, g.stride, g.coverage.data(), g.weights.data()});
                continue;
            }
            const int w = g.width, h = g.height;
            turned.resize(static_cast<std::size_t>(w) * h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    std::size_t at;
                    switch (tf.quarter) {
                        case 1:
                            at = static_cast<std::size_t>(w - 1 - x) * h + y;
                            break;
                        case 2:
                            at = static_cast<std::size_t>(h - 1 - y) * w + (w - 1 - x);
                            break;
                        default:
                            at = static_cast<std::size_t>(x) * h + (h - 1 - y);
                            break;
                    }
                    turned[at] = g.coverage[static_cast<std::size_t>(y) * g.stride + x];
                }
            turnedWeights.resize(turned.size() * 4);
            CoverageWeights(turned.data(), turned.size(), turnedWeights.data());
            const int tw = tf.quarter == 2 ? w : h, th = tf.quarter == 2 ? h : w;
            painter.Paint(box.left, box.top, CoverageImage{th, tw, turned.data(), turnedWeights.data()});
        }
        if (run.width > 0 && lf.lfUnderline)
            FillSurface(dc, mapRun(0, m.underlineRow, run.width, m.underlineRow + m.underlineThickness),
                        limit, ink);
        if (run.width > 0 && lf.lfStrikeOut)
            FillSurface(dc, mapRun(0, m.strikeoutRow, run.width, m.strikeoutRow + m.strikeoutThickness),
                        limit, ink);
    }
    if (o.drawMarks)
        for (const auto& [from, to] : run.marks)
            FillSurface(dc, mapRun(from, m.underlineRow, to, m.underlineRow + m.underlineThickness), limit,
                        ink);
    return true;
}

} // namespace detail

using namespace detail;

namespace {

// Scratch buffers reused by the calls on one thread.
struct Scratch {
    std::vector<ShapedChar> chars;
    TextRun run;
};

Scratch& ThreadScratch() {
    thread_local Scratch scratch;
    scratch.chars.clear();
    scratch.run.Clear();
    return scratch;
}

// The byte count a call may read: up to `count`, stopping at a zero byte.
std::size_t ClampedLength(const char* text, std::size_t count) {
    return text ? strnlen(text, count) : 0;
}

LONG ClampLong(long long v) {
    return static_cast<LONG>(std::clamp<long long>(v, -0x7FFFFFFFLL - 1, 0x7FFFFFFFLL));
}

bool CheckText(const char* text, long long count) {
    if (count < 0 || (!text && count > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

// Cumulative extents of the shaped characters, written for every byte.
long long Measure(const std::vector<ShapedChar>& chars, INT* perByte, long long maxExtent, INT* fit) {
    long long x = 0;
    std::size_t fitBytes = 0;
    bool fitting = true;
    for (const ShapedChar& c : chars) {
        x += c.glyph->advance;
        if (perByte)
            for (std::uint32_t i = 0; i < c.length; ++i) perByte[c.offset + i] = ClampLong(x);
        if (fitting && x <= maxExtent)
            fitBytes = c.offset + c.length;
        else
            fitting = false;
    }
    if (fit) *fit = static_cast<INT>(fitBytes);
    return x;
}

} // namespace

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* r, const char* text, UINT count,
                const INT* dx) {
    DCObj* dc = DCOrFail(hdc);
    if (!dc) return FALSE;
    if (!text && count > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::size_t len = ClampedLength(text, count);
    std::shared_ptr<FontInstance> font = DCFont(*dc);
    Scratch& s = ThreadScratch();
    font->Shape(std::string_view(text ? text : "", len), s.chars);

    long long pen = 0;
    s.run.glyphs.reserve(s.chars.size());
    for (const ShapedChar& c : s.chars) {
        s.run.glyphs.push_back(PlacedGlyph{c.glyph, pen});
        long long advance = c.glyph->advance;
        if (dx) {
            advance = 0;
            for (std::uint32_t i = 0; i < c.length; ++i) advance += dx[c.offset + i];
        }
        pen = std::clamp<long long>(pen + advance, -kCoordLimit, kCoordLimit);
    }
    s.run.width = pen;

    const bool updateCP = (dc->st.textAlign & TA_UPDATECP) != 0;
    RunOptions o;
    o.align = dc->st.textAlign;
    o.opaqueCell = dc->st.bkMode == OPAQUE;
    o.clip = (options & ETO_CLIPPED) ? r : nullptr;
    o.opaqueRect = (options & ETO_OPAQUE) ? r : nullptr;
    const POINT ref = updateCP ? dc->st.curPos : POINT{x, y};
    if (!DrawRun(*dc, *font, ref, s.run, o)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (updateCP && (dc->st.textAlign & TA_CENTER) != TA_CENTER) {
        // The current position moves to the far end of the text along its direction.
        const long long step = (dc->st.textAlign & TA_RIGHT) ? -pen : pen;
        long long px = dc->st.curPos.x, py = dc->st.curPos.y;
        switch (font->Escapement() / 900) {
            case 1:
                py -= step;
                break;
            case 2:
                px -= step;
                break;
            case 3:
                py += step;
                break;
            default:
                px += step;
                break;
        }
        dc->st.curPos = POINT{ClampCoord(px), ClampCoord(py)};
    }
    return TRUE;
}

BOOL TextOut(HDC hdc, int x, int y, const char* text, int count) {
    if (!DCOrFail(hdc)) return FALSE;
    if (!CheckText(text, count)) return FALSE;
    return ExtTextOut(hdc, x, y, 0, nullptr, text, static_cast<UINT>(count), nullptr);
}

BOOL GetTextExtentExPoint(HDC hdc, const char* text, int count, int maxExtent, INT* fit, INT* dx,
                          SIZE* size) {
    DCObj* dc = DCOrFail(hdc);
    if (!dc) return FALSE;
    if (!size || !CheckText(text, count)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::size_t len = ClampedLength(text, static_cast<std::size_t>(count));
    std::shared_ptr<FontInstance> font = DCFont(*dc);
    Scratch& s = ThreadScratch();
    font->Shape(std::string_view(text ? text : "", len), s.chars);
    // Bytes past a zero byte still get an entry: the caller sized dx by count.
    const long long width = Measure(s.chars, dx, maxExtent, fit);
    if (dx)
        for (std::size_t i = len; i < static_cast<std::size_t>(count); ++i) dx[i] = ClampLong(width);
    size->cx = ClampLong(width);
    size->cy = font->Metrics().Height();
    return TRUE;
}

BOOL GetTextExtentPoint32(HDC hdc, const char* text, int count, SIZE* size) {
    return GetTextExtentExPoint(hdc, text, count, 0, nullptr, nullptr, size);
}

BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm) {
    DCObj* dc = DCOrFail(hdc);
    if (!dc) return FALSE;
    if (!tm) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::shared_ptr<FontInstance> font = DCFont(*dc);
    const FontMetrics& m = font->Metrics();
    const LOGFONT& lf = font->LogFont();
    *tm = TEXTMETRIC{};
    tm->tmHeight = m.Height();
    tm->tmAscent = m.ascent;
    tm->tmDescent = m.descent;
    tm->tmInternalLeading = m.internalLeading;
    tm->tmExternalLeading = m.externalLeading;
    tm->tmAveCharWidth = m.aveCharWidth;
    tm->tmMaxCharWidth = m.maxCharWidth;
    tm->tmWeight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight;
    tm->tmItalic = lf.lfItalic ? 1 : 0;
    tm->tmUnderlined = lf.lfUnderline ? 1 : 0;
    tm->tmStruckOut = lf.lfStrikeOut ? 1 : 0;
    // Scalable outline font; the low bit set means variable pitch, as the original has it.
    tm->tmPitchAndFamily = font->FixedPitch() ? (0x06 | FF_MODERN) : (0x07 | FF_SWISS);
    tm->tmCharSet = lf.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : lf.lfCharSet;
    return TRUE;
}

int GetTextFace(HDC hdc, int count, char* name) {
    DCObj* dc = DCOrFail(hdc);
    if (!dc) return 0;
    const std::string& face = DCFont(*dc)->FaceName();
    if (!name) return static_cast<int>(face.size()) + 1;
    if (count <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return static_cast<int>(CopyUtf8ToBuffer(face, name, static_cast<std::size_t>(count)));
}

} // namespace gfx
