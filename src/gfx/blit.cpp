// Blits between device contexts: the ternary raster operations with
// stretching, mirroring and colour conversion, transparent blits, alpha
// blending and gradient fills.

#include "gfx/internal.h"

#include <climits>
#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace gfx {

using namespace detail;

namespace {

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// Logical to surface coordinates in 64 bits, so that huge arguments cannot
// overflow before they are clamped.
long long SurfaceX(const DCObj& dc, long long x) {
    return x - dc.st.windowOrg.x + dc.st.viewportOrg.x + dc.origin.x;
}
long long SurfaceY(const DCObj& dc, long long y) {
    return y - dc.st.windowOrg.y + dc.st.viewportOrg.y + dc.origin.y;
}

// One axis of a blit: destination pixels [d0, d0 + dn) take source pixels
// [s0, s0 + sn), mirrored when the extents have different signs. A negative
// extent names the pixels between the position and position + extent, as a
// rectangle does. Each destination pixel centre maps to the nearest source
// pixel. Only MakeAxis fills one in, so it has no defaults: blits of a few
// pixels feel every store.
struct Axis {
    long long d0, dn, s0, sn;
    bool mirror;

    long long Map(long long d) const {
        if (dn == sn && !mirror) return s0 + (d - d0);
        const long long j = (2 * (d - d0) + 1) * sn / (2 * dn);
        return s0 + (mirror ? sn - 1 - j : j);
    }
    bool Identity() const { return dn == sn && !mirror; }

    // Narrows [lo, hi) to the destination pixels whose source lies in [srcLo, srcHi).
    bool Limit(long long& lo, long long& hi, long long srcLo, long long srcHi) const {
        lo = std::max(lo, d0);
        hi = std::min(hi, d0 + dn);
        if (Identity()) {
            lo = std::max(lo, srcLo - s0 + d0);
            hi = std::min(hi, srcHi - s0 + d0);
        } else {
            // Map is monotonic, so the valid pixels form one interval.
            auto inside = [&](long long d) {
                const long long s = Map(d);
                return s >= srcLo && s < srcHi;
            };
            while (lo < hi && !inside(lo)) ++lo;
            while (hi > lo && !inside(hi - 1)) --hi;
        }
        return lo < hi;
    }
};

Axis MakeAxis(long long dPos, long long dExt, long long sPos, long long sExt) {
    Axis a;
    a.d0 = ClampCoord(std::min(dPos, dPos + dExt));
    a.dn = ClampCoord(std::max(dPos, dPos + dExt)) - a.d0;
    a.s0 = ClampCoord(std::min(sPos, sPos + sExt));
    a.sn = ClampCoord(std::max(sPos, sPos + sExt)) - a.s0;
    a.mirror = (dExt < 0) != (sExt < 0);
    return a;
}

// Source pixels: pixel (x, y) of the source surface is Row(y)[x - ox].
struct SourceView {
    const std::uint32_t* bits = nullptr;
    std::ptrdiff_t stride = 0;
    long long ox = 0, oy = 0;
    const std::uint32_t* Row(long long y) const { return bits + (y - oy) * stride; }
};

// How source pixels become destination pixels: colour to monochrome turns
// the source DC's background colour white and everything else black;
// monochrome to colour turns black into the destination's text colour and
// white into its background colour.
struct Converter {
    enum Kind { None, MonoToColor, ColorToMono } kind = None;
    std::uint32_t fg = 0, bg = 0, key = 0;

    void Apply(std::uint32_t* row, int n) const {
        if (kind == MonoToColor) {
            for (int i = 0; i < n; ++i) row[i] = row[i] ? bg : fg;
        } else if (kind == ColorToMono) {
            for (int i = 0; i < n; ++i) row[i] = (row[i] & 0xFFFFFF) == key ? 0xFFFFFFu : 0u;
        }
    }
};

Converter MakeConverter(const DCObj& dst, bool dstMono, const DCObj& src, bool srcMono) {
    Converter c;
    if (srcMono && !dstMono) {
        c.kind = Converter::MonoToColor;
        c.fg = PixelFromColor(ResolveColor(dst, dst.st.textColor));
        c.bg = PixelFromColor(ResolveColor(dst, dst.st.bkColor));
    } else if (!srcMono && dstMono) {
        c.kind = Converter::ColorToMono;
        c.key = PixelFromColor(ResolveColor(src, src.st.bkColor));
    }
    return c;
}

// Everything a blit between two surfaces needs, once the arguments are
// checked: the destination pixels that can change, where their source
// pixels are, and how to convert them.
struct Plan {
    DCObj* dc = nullptr;
    BitmapObj* target = nullptr;
    RECT area{}; // surface pixels of the destination with a source pixel, before the clip
    Axis ax, ay;
    SourceView src;
    Converter conv;
    std::vector<std::int32_t> xmap;  // per column of `area`: index into a source row
    std::vector<std::uint32_t> copy; // the source pixels, when source and destination share a surface
};

// Sets up the plan; false when nothing can be drawn. `srcBounds` limits the
// source pixels read (source surface coordinates).
bool Prepare(Plan& p, DCObj& dst, BitmapObj* target, const Axis& ax, const Axis& ay, BitmapObj* source,
             const RECT& srcBounds) {
    p.dc = &dst;
    p.target = target;
    p.ax = ax;
    p.ay = ay;
    if (ax.dn <= 0 || ay.dn <= 0 || ax.sn <= 0 || ay.sn <= 0) return false;
    const RECT& clip = dst.EffectiveClip().Bounds();
    long long x0 = clip.left, x1 = clip.right, y0 = clip.top, y1 = clip.bottom;
    if (!ax.Limit(x0, x1, srcBounds.left, srcBounds.right) ||
        !ay.Limit(y0, y1, srcBounds.top, srcBounds.bottom))
        return false;
    p.area = RECT{static_cast<LONG>(x0), static_cast<LONG>(y0), static_cast<LONG>(x1), static_cast<LONG>(y1)};

    p.src = SourceView{source->bits, source->stride, 0, 0};
    if (source == target) {
        // Overlapping blits within one surface read from a copy of the source.
        const long long sx0 = std::min(ax.Map(x0), ax.Map(x1 - 1)),
                        sx1 = std::max(ax.Map(x0), ax.Map(x1 - 1)) + 1;
        const long long sy0 = std::min(ay.Map(y0), ay.Map(y1 - 1)),
                        sy1 = std::max(ay.Map(y0), ay.Map(y1 - 1)) + 1;
        const auto w = static_cast<std::size_t>(sx1 - sx0);
        p.copy.resize(w * static_cast<std::size_t>(sy1 - sy0));
        for (long long y = sy0; y < sy1; ++y)
            std::memcpy(p.copy.data() + static_cast<std::size_t>(y - sy0) * w,
                        source->Row(static_cast<int>(y)) + sx0, w * sizeof(std::uint32_t));
        p.src = SourceView{p.copy.data(), static_cast<std::ptrdiff_t>(w), sx0, sy0};
    }
    if (!ax.Identity()) {
        p.xmap.resize(static_cast<std::size_t>(x1 - x0));
        for (long long x = x0; x < x1; ++x)
            p.xmap[static_cast<std::size_t>(x - x0)] = static_cast<std::int32_t>(ax.Map(x) - p.src.ox);
    }
    return true;
}

// The source pixels of destination row y, columns [left, left + n), as
// they are in the source (unconverted). Points into the source when it can,
// else fills `buf`.
const std::uint32_t* SourceRow(const Plan& p, long long y, LONG left, int n, std::uint32_t* buf) {
    const std::uint32_t* row = p.src.Row(p.ay.Map(y));
    if (p.ax.Identity()) return row + (left - p.ax.d0 + p.ax.s0 - p.src.ox);
    const std::int32_t* map = p.xmap.data() + (left - p.area.left);
    for (int i = 0; i < n; ++i) buf[i] = row[map[i]];
    return buf;
}

// The source row converted to the destination's format.
const std::uint32_t* ConvertedRow(const Plan& p, long long y, LONG left, int n, std::uint32_t* buf) {
    const std::uint32_t* s = SourceRow(p, y, left, n, buf);
    if (p.conv.kind == Converter::None) return s;
    if (s != buf) std::memcpy(buf, s, static_cast<std::size_t>(n) * sizeof(std::uint32_t));
    p.conv.Apply(buf, n);
    return buf;
}

// --- Raster operations ---

// The ternary operation as a tree of bitwise selections on its truth table
// (destination, then source, then pattern), so that the loop has no
// branches and vectorises.
struct GenericRop {
    // Per (pattern, source) pair: the result where d is 0, and the bits that flip where d is 1.
    std::uint32_t lo[4], diff[4];
    explicit GenericRop(std::uint8_t code) {
        for (int i = 0; i < 4; ++i) {
            lo[i] = ((code >> (2 * i)) & 1) ? ~0u : 0u;
            diff[i] = lo[i] ^ (((code >> (2 * i + 1)) & 1) ? ~0u : 0u);
        }
    }
    std::uint32_t operator()(std::uint32_t d, std::uint32_t s, std::uint32_t p) const {
        const std::uint32_t t0 = lo[0] ^ (diff[0] & d), t1 = lo[1] ^ (diff[1] & d);
        const std::uint32_t t2 = lo[2] ^ (diff[2] & d), t3 = lo[3] ^ (diff[3] & d);
        const std::uint32_t u0 = t0 ^ ((t1 ^ t0) & s), u1 = t2 ^ ((t3 ^ t2) & s);
        return u0 ^ ((u1 ^ u0) & p);
    }
};

// Row copies stay in the vectorised loop below rather than memmove: glibc's
// string copy crawls when source and destination rows sit a few bytes apart
// modulo 4 KiB, which bitmaps allocated one after another often do.
struct CopyRop {
    std::uint32_t operator()(std::uint32_t, std::uint32_t s, std::uint32_t) const { return s; }
};

template <class Op> void RunRop(const Plan& p, const Pattern& pat, bool usesPattern, Op op) {
    BitmapObj* t = p.target;
    const std::uint32_t outMask = t->Mono() ? 0xFFFFFFu : ~0u;
    const bool masked = usesPattern && !pat.solid && pat.mask != ~0ull;
    const auto width = static_cast<std::size_t>(p.area.right - p.area.left);
    // Operations that ignore the pattern still get a row to read (the generic one reads it).
    const bool tiled = usesPattern && !pat.solid;
    ScratchPixels sbuf(width), prows(width * (tiled ? 8 : 1)), mrows(masked ? width * 8 : 0);
    if (!tiled) std::fill_n(prows.data(), width, pat.color);
    RECT touched{};
    ForEachClipped(*p.dc, p.area, [&](const RECT& c) {
        UnionRect(&touched, &touched, &c);
        const int n = c.right - c.left;
        if (tiled) {
            for (int r = 0; r < 8; ++r)
                for (int i = 0; i < n; ++i) {
                    const int x = c.left + i, y = pat.orgY + r;
                    prows[static_cast<std::size_t>(r) * width + i] = pat.At(x, y);
                    if (masked) mrows[static_cast<std::size_t>(r) * width + i] = pat.Drawn(x, y) ? ~0u : 0u;
                }
        }
        long long lastSourceRow = LLONG_MIN;
        const std::uint32_t* s = nullptr;
        for (int y = c.top; y < c.bottom; ++y) {
            // Rows repeated by a vertical stretch reuse the row already gathered.
            const long long sourceRow = p.ay.Map(y);
            if (sourceRow != lastSourceRow || s != sbuf.data())
                s = ConvertedRow(p, y, c.left, n, sbuf.data());
            lastSourceRow = sourceRow;
            std::uint32_t* d = t->Row(y) + c.left;
            const std::size_t prow = tiled ? static_cast<std::size_t>((y - pat.orgY) & 7) * width : 0;
            const std::uint32_t* pp = prows.data() + prow;
            if (masked) {
                const std::uint32_t* mp = mrows.data() + prow;
                for (int i = 0; i < n; ++i)
                    d[i] = ((op(d[i], s[i], pp[i]) & mp[i]) | (d[i] & ~mp[i])) & outMask;
            } else {
                for (int i = 0; i < n; ++i) d[i] = op(d[i], s[i], pp[i]) & outMask;
            }
        }
    });
    t->AddDirty(touched);
}

void DispatchRop(const Plan& p, const Pattern& pat, std::uint8_t code) {
    using U = std::uint32_t;
    const bool usesPattern = RopUsesPattern(code);
    switch (code) {
        case 0xCC: // SRCCOPY
            RunRop(p, pat, false, CopyRop{});
            break;
        case 0x88: // SRCAND
            RunRop(p, pat, false, [](U d, U s, U) { return d & s; });
            break;
        case 0xEE: // SRCPAINT
            RunRop(p, pat, false, [](U d, U s, U) { return d | s; });
            break;
        case 0x66: // SRCINVERT
            RunRop(p, pat, false, [](U d, U s, U) { return d ^ s; });
            break;
        case 0xBB: // MERGEPAINT
            RunRop(p, pat, false, [](U d, U s, U) { return d | ~s; });
            break;
        case 0x33: // NOTSRCCOPY
            RunRop(p, pat, false, [](U, U s, U) { return ~s; });
            break;
        case 0xE2: // DSPDxax: the source's 1 bits take the pattern, its 0 bits keep the destination
            RunRop(p, pat, true, [](U d, U s, U q) { return ((d ^ q) & s) ^ d; });
            break;
        default:
            RunRop(p, pat, usesPattern, GenericRop(code));
            break;
    }
}

BOOL RopBlit(HDC dst, long long x, long long y, long long w, long long h, HDC src, long long xs, long long ys,
             long long sw, long long sh, DWORD rop) {
    DCObj* d = LookupDC(dst);
    if (!d) return Fail(ERROR_INVALID_HANDLE);
    BitmapObj* t = d->Target();
    if (!t) return Fail(ERROR_INVALID_HANDLE);
    const auto code = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
    const long long dx = SurfaceX(*d, x), dy = SurfaceY(*d, y);

    if (!RopUsesSource(code)) {
        const RECT r{ClampCoord(std::min(dx, dx + w)), ClampCoord(std::min(dy, dy + h)),
                     ClampCoord(std::max(dx, dx + w)), ClampCoord(std::max(dy, dy + h))};
        // A solid stand-in lets the fill take its fast path when the brush is not read.
        FillSurfaceRect(*d, r, RopUsesPattern(code) ? ResolveBrush(*d, nullptr) : SolidPattern(0), rop);
        return TRUE;
    }
    DCObj* s = LookupDC(src);
    if (!s) return Fail(ERROR_INVALID_HANDLE);
    BitmapObj* sb = s->Target();
    if (!sb) return Fail(ERROR_INVALID_HANDLE);

    auto run = [&](const Pattern& pat) {
        const Axis sax = MakeAxis(dx, w, SurfaceX(*s, xs), sw);
        const Axis say = MakeAxis(dy, h, SurfaceY(*s, ys), sh);
        Plan p;
        if (!Prepare(p, *d, t, sax, say, sb, RECT{0, 0, sb->width, sb->height})) return;
        p.conv = MakeConverter(*d, t->Mono(), *s, sb->Mono());
        DispatchRop(p, pat, code);
    };
    // The brush is resolved only when the operation reads it: a pattern is large to fill in.
    if (RopUsesPattern(code)) {
        const Pattern pat = ResolveBrush(*d, nullptr);
        if (!pat.none) run(pat);
    } else {
        static const Pattern kUnused = SolidPattern(0);
        run(kUnused);
    }
    return TRUE;
}

// --- Alpha blending ---
// Channels are 8-bit fractions of 255; products are rounded to the nearest
// integer: round(x / 255) == (t + (t >> 8)) >> 8 with t = x + 128, exact for
// x <= 255 * 255. Two channels go through one 32-bit word at a time.

inline std::uint32_t ScaleChannels(std::uint32_t px, std::uint32_t a) {
    std::uint32_t rb = (px & 0x00FF00FF) * a + 0x00800080;
    rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
    std::uint32_t ag = ((px >> 8) & 0x00FF00FF) * a + 0x00800080;
    ag = (ag + ((ag >> 8) & 0x00FF00FF)) & 0xFF00FF00;
    return rb | ag;
}

// Per-channel sum saturated at 255 (a source that is not premultiplied can exceed it).
inline std::uint32_t AddChannelsSaturated(std::uint32_t a, std::uint32_t b) {
    const std::uint32_t low = (a & 0x7F7F7F7F) + (b & 0x7F7F7F7F);
    const std::uint32_t sum = low ^ ((a ^ b) & 0x80808080);
    const std::uint32_t carry = ((a & b) | ((a | b) & ~sum)) & 0x80808080;
    return sum | ((carry >> 7) * 0xFF);
}

// The channels of a vertical gradient that change from row to row, each as
// the magnitude of its step (a double quotient, see GradientColumn), its
// start, whether it falls, and where its byte goes; the others are in `constant`.
struct ColumnSteps {
    int count = 0;
    double magnitude[4];
    std::int32_t base[4], negate[4];
    int shift[4];
    std::uint32_t constant = 0;
};

#if defined(__x86_64__) || defined(__i386__)
#define GFX_BLEND_AVX2 1
// The same arithmetic on eight pixels at a time, one channel per 16-bit
// lane, where the processor has AVX2: the word-wise form above needs 32-bit
// multiplies, which the baseline instruction set lacks. Each kernel returns
// how many pixels it did (a multiple of 8); the scalar loop does the rest.
namespace avx2 {

__attribute__((target("avx2"))) inline __m256i Div255(__m256i x) {
    const __m256i t = _mm256_add_epi16(x, _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), 8);
}

// The channels of the low and high halves of each 128-bit lane times per-lane factors, / 255.
__attribute__((target("avx2"))) inline __m256i Scale(__m256i px, __m256i lo, __m256i hi) {
    const __m256i z = _mm256_setzero_si256();
    return _mm256_packus_epi16(Div255(_mm256_mullo_epi16(_mm256_unpacklo_epi8(px, z), lo)),
                               Div255(_mm256_mullo_epi16(_mm256_unpackhi_epi8(px, z), hi)));
}

__attribute__((target("avx2"))) int BlendConstant(std::uint32_t* d, const std::uint32_t* s, int n,
                                                  std::uint32_t ca) {
    const __m256i c = _mm256_set1_epi16(static_cast<short>(ca)),
                  ic = _mm256_set1_epi16(static_cast<short>(255 - ca));
    const __m256i z = _mm256_setzero_si256();
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sp = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i dp = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        const __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(sp, z), c),
                                            _mm256_mullo_epi16(_mm256_unpacklo_epi8(dp, z), ic));
        const __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(sp, z), c),
                                            _mm256_mullo_epi16(_mm256_unpackhi_epi8(dp, z), ic));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_packus_epi16(Div255(lo), Div255(hi)));
    }
    return i;
}

__attribute__((target("avx2"))) int BlendPremultiplied(std::uint32_t* d, const std::uint32_t* s, int n,
                                                       std::uint32_t ca) {
    const __m256i c = _mm256_set1_epi16(static_cast<short>(ca));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        __m256i sp = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        if (ca != 255) sp = Scale(sp, c, c);
        // 255 - alpha of each pixel, repeated in the lanes of its four channels.
        __m256i inv = _mm256_sub_epi32(_mm256_set1_epi32(255), _mm256_srli_epi32(sp, 24));
        inv = _mm256_or_si256(inv, _mm256_slli_epi32(inv, 16));
        const __m256i dp = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        const __m256i blended = Scale(dp, _mm256_unpacklo_epi32(inv, inv), _mm256_unpackhi_epi32(inv, inv));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_adds_epu8(sp, blended));
    }
    return i;
}

// Straight alpha: each channel (s * a + d * (255 - a)) / 255, with 255 for
// the source's own alpha channel.
__attribute__((target("avx2"))) int BlendStraight(std::uint32_t* d, const std::uint32_t* s, int n) {
    const __m256i z = _mm256_setzero_si256(), opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u)),
                  full = _mm256_set1_epi16(255);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sp = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i dp = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        __m256i a = _mm256_srli_epi32(sp, 24);
        a = _mm256_or_si256(a, _mm256_slli_epi32(a, 16));
        const __m256i ia = _mm256_sub_epi16(full, a);
        const __m256i so = _mm256_or_si256(sp, opaque);
        const __m256i lo =
            _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(so, z), _mm256_unpacklo_epi32(a, a)),
                             _mm256_mullo_epi16(_mm256_unpacklo_epi8(dp, z), _mm256_unpacklo_epi32(ia, ia)));
        const __m256i hi =
            _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(so, z), _mm256_unpackhi_epi32(a, a)),
                             _mm256_mullo_epi16(_mm256_unpackhi_epi8(dp, z), _mm256_unpackhi_epi32(ia, ia)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), _mm256_packus_epi16(Div255(lo), Div255(hi)));
    }
    return i;
}

// Rows of a vertical gradient, eight at a time (see GradientColumn).
__attribute__((target("avx2"))) int GradientColumn(const ColumnSteps& c, std::int32_t first, int count,
                                                   std::uint32_t* out) {
    const __m256d bias = _mm256_set1_pd(0x1p-30), four = _mm256_set1_pd(4.0);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256d s0 =
            _mm256_cvtepi32_pd(_mm_add_epi32(_mm_set1_epi32(first + i), _mm_setr_epi32(0, 1, 2, 3)));
        const __m256d s1 = _mm256_add_pd(s0, four);
        __m256i acc = _mm256_set1_epi32(static_cast<int>(c.constant));
        for (int k = 0; k < c.count; ++k) {
            const __m256d m = _mm256_set1_pd(c.magnitude[k]);
            const __m256i q =
                _mm256_set_m128i(_mm256_cvttpd_epi32(_mm256_add_pd(_mm256_mul_pd(m, s1), bias)),
                                 _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_mul_pd(m, s0), bias)));
            const __m256i n = _mm256_set1_epi32(c.negate[k]);
            const __m256i v =
                _mm256_add_epi32(_mm256_set1_epi32(c.base[k]), _mm256_sub_epi32(_mm256_xor_si256(q, n), n));
            acc = _mm256_or_si256(acc,
                                  _mm256_sll_epi32(_mm256_srli_epi32(v, 8), _mm_cvtsi32_si128(c.shift[k])));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), acc);
    }
    return i;
}

} // namespace avx2

#endif

void BlendConstant(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t ca) {
    int i = 0;
#ifdef GFX_BLEND_AVX2
    if (detail::HasAvx2()) i = avx2::BlendConstant(d, s, n, ca);
#endif
    const std::uint32_t ia = 255 - ca;
    for (; i < n; ++i) {
        const std::uint32_t sp = s[i], dp = d[i];
        std::uint32_t rb = (sp & 0x00FF00FF) * ca + (dp & 0x00FF00FF) * ia + 0x00800080;
        rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
        std::uint32_t ag = ((sp >> 8) & 0x00FF00FF) * ca + ((dp >> 8) & 0x00FF00FF) * ia + 0x00800080;
        ag = (ag + ((ag >> 8) & 0x00FF00FF)) & 0xFF00FF00;
        d[i] = rb | ag;
    }
}

// dst = src' + dst * (255 - src'.alpha) / 255 with src' = src * ca / 255.
void BlendPremultiplied(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t ca) {
    int i = 0;
#ifdef GFX_BLEND_AVX2
    if (detail::HasAvx2()) i = avx2::BlendPremultiplied(d, s, n, ca);
#endif
    for (; i < n; ++i) {
        const std::uint32_t sp = ScaleChannels(s[i], ca);
        d[i] = AddChannelsSaturated(sp, ScaleChannels(d[i], 255 - (sp >> 24)));
    }
}

} // namespace

namespace detail {

void BlendStraight(std::uint32_t* d, const std::uint32_t* s, int n) {
    int i = 0;
#ifdef GFX_BLEND_AVX2
    if (HasAvx2()) i = avx2::BlendStraight(d, s, n);
#endif
    for (; i < n; ++i) {
        const std::uint32_t sp = s[i], dp = d[i], a = sp >> 24, ia = 255 - a;
        std::uint32_t rb = (sp & 0x00FF00FF) * a + (dp & 0x00FF00FF) * ia + 0x00800080;
        rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
        std::uint32_t ag = (((sp >> 8) & 0xFF) | 0x00FF0000) * a + ((dp >> 8) & 0x00FF00FF) * ia + 0x00800080;
        ag = (ag + ((ag >> 8) & 0x00FF00FF)) & 0xFF00FF00;
        d[i] = rb | ag;
    }
}

} // namespace detail

namespace {

// Checks the common arguments of the two msimg32 calls and sets up the plan.
// Returns FALSE on failure, TRUE with `drawn` false when there is nothing to draw.
BOOL PrepareMsimg(Plan& p, DCObj*& d, DCObj*& s, HDC dst, int x, int y, int w, int h, HDC src, int xs, int ys,
                  int sw, int sh, bool sourceMustFit, bool& drawn) {
    drawn = false;
    d = LookupDC(dst);
    s = LookupDC(src);
    if (!d || !s) return Fail(ERROR_INVALID_HANDLE);
    BitmapObj* t = d->Target();
    BitmapObj* sb = s->Target();
    if (!t || !sb) return Fail(ERROR_INVALID_HANDLE);
    if (w < 0 || h < 0 || sw < 0 || sh < 0) return Fail(ERROR_INVALID_PARAMETER);
    const long long sx = SurfaceX(*s, xs), sy = SurfaceY(*s, ys);
    if (sourceMustFit && (sx < 0 || sy < 0 || sx + sw > sb->width || sy + sh > sb->height))
        return Fail(ERROR_INVALID_PARAMETER);
    const Axis ax = MakeAxis(SurfaceX(*d, x), w, sx, sw);
    const Axis ay = MakeAxis(SurfaceY(*d, y), h, sy, sh);
    drawn = Prepare(p, *d, t, ax, ay, sb, RECT{0, 0, sb->width, sb->height});
    return TRUE;
}

// --- Gradients ---

struct Channels {
    long long c[4]; // red, green, blue, alpha in 8.8 fixed point
};

Channels ChannelsOf(const TRIVERTEX& v) {
    return Channels{{v.Red, v.Green, v.Blue, v.Alpha}};
}

std::uint32_t GradientPixel(const long long c[4], bool mono) {
    const auto byte = [](long long v) {
        return static_cast<std::uint32_t>(std::clamp<long long>(v, 0, 0xFFFF) >> 8);
    };
    const std::uint32_t px = (byte(c[3]) << 24) | (byte(c[0]) << 16) | (byte(c[1]) << 8) | byte(c[2]);
    return mono ? MonoPixelFromColor(ColorFromPixel(px)) : px;
}

// Colour i of n steps from a to b: a at 0, b at n - 1.
std::uint32_t Interpolate(const Channels& a, const Channels& b, long long i, long long n, bool mono) {
    long long c[4];
    for (int k = 0; k < 4; ++k) c[k] = n <= 1 ? a.c[k] : a.c[k] + (b.c[k] - a.c[k]) * i / (n - 1);
    return GradientPixel(c, mono);
}

// The pixels Interpolate gives for steps first .. first + count - 1 of n,
// without a division per step. The quotient q = |b - a| * i / (n - 1)
// (below 2^16, its denominator below 2^28) comes from a reciprocal: off by
// less than 2^-35, so with 2^-30 added it truncates to the exact quotient,
// whose fraction is 0 or at least 2^-28 from the next integer.
void GradientColumn(const Channels& a, const Channels& b, long long first, long long n, long long count,
                    bool mono, std::uint32_t* out) {
    if (n <= 1) {
        std::fill_n(out, count, Interpolate(a, b, 0, n, mono));
        return;
    }
    // Channels that do not change go into the constant part of the pixel.
    static constexpr int kShift[4] = {16, 8, 0, 24}; // red, green, blue, alpha
    const double inverse = 1.0 / static_cast<double>(n - 1);
    ColumnSteps c;
    for (int k = 0; k < 4; ++k) {
        const long long delta = b.c[k] - a.c[k];
        if (delta == 0) {
            c.constant |= static_cast<std::uint32_t>(a.c[k] >> 8) << kShift[k];
            continue;
        }
        c.magnitude[c.count] = static_cast<double>(delta < 0 ? -delta : delta) * inverse;
        c.base[c.count] = static_cast<std::int32_t>(a.c[k]);
        c.negate[c.count] = delta < 0 ? -1 : 0;
        c.shift[c.count] = kShift[k];
        ++c.count;
    }
    const auto first32 = static_cast<std::int32_t>(first);
    const auto count32 = static_cast<int>(count);
    int i = 0;
#ifdef GFX_BLEND_AVX2
    if (HasAvx2()) i = avx2::GradientColumn(c, first32, count32, out);
#endif
    for (; i < count32; ++i) {
        std::uint32_t px = c.constant;
        for (int k = 0; k < c.count; ++k) {
            const auto q =
                static_cast<std::int32_t>(c.magnitude[k] * static_cast<double>(first32 + i) + 0x1p-30);
            px |=
                static_cast<std::uint32_t>(c.base[k] + ((q ^ c.negate[k]) - c.negate[k])) >> 8 << c.shift[k];
        }
        out[i] = px;
    }
    if (mono)
        for (i = 0; i < count32; ++i) out[i] = MonoPixelFromColor(ColorFromPixel(out[i]));
}

void GradientRect(DCObj& d, BitmapObj* t, const TRIVERTEX& v1, const TRIVERTEX& v2, bool horizontal) {
    const long long ax = SurfaceX(d, v1.x), ay = SurfaceY(d, v1.y);
    const long long bx = SurfaceX(d, v2.x), by = SurfaceY(d, v2.y);
    const RECT r{ClampCoord(std::min(ax, bx)), ClampCoord(std::min(ay, by)), ClampCoord(std::max(ax, bx)),
                 ClampCoord(std::max(ay, by))};
    const bool firstIsV1 = horizontal ? ax <= bx : ay <= by;
    const Channels c1 = ChannelsOf(firstIsV1 ? v1 : v2), c2 = ChannelsOf(firstIsV1 ? v2 : v1);
    const bool mono = t->Mono();
    const long long steps = horizontal ? r.right - r.left : r.bottom - r.top;

    const RECT& b = d.EffectiveClip().Bounds();
    const LONG lo = std::max(r.left, b.left), hi = std::min(r.right, b.right);
    std::vector<std::uint32_t> row;
    if (horizontal && lo < hi) {
        row.resize(static_cast<std::size_t>(hi - lo));
        for (LONG x = lo; x < hi; ++x)
            row[static_cast<std::size_t>(x - lo)] = Interpolate(c1, c2, x - r.left, steps, mono);
    }
    // A vertical gradient fills each row with one colour, worked out once per row.
    const LONG top = std::max(r.top, b.top), bottom = std::min(r.bottom, b.bottom);
    ScratchPixels rowColors(!horizontal && top < bottom ? static_cast<std::size_t>(bottom - top) : 0);
    if (!horizontal && top < bottom)
        GradientColumn(c1, c2, top - r.top, steps, bottom - top, mono, rowColors.data());
    RECT touched{};
    ForEachClipped(d, r, [&](const RECT& c) {
        UnionRect(&touched, &touched, &c);
        for (int y = c.top; y < c.bottom; ++y) {
            std::uint32_t* dst = t->Row(y) + c.left;
            if (horizontal)
                std::memcpy(dst, row.data() + (c.left - lo), static_cast<std::size_t>(c.right - c.left) * 4);
            else
                FillPixels(dst, c.right - c.left, rowColors[static_cast<std::size_t>(y - top)]);
        }
    });
    t->AddDirty(touched);
}

// Pixels whose centre lies inside the triangle (edges included), with the
// colours mixed by barycentric weights. Coordinates are doubled so that the
// centres are integers.
void GradientTriangle(DCObj& d, BitmapObj* t, const TRIVERTEX* const v[3]) {
    long long px[3], py[3];
    Channels ch[3];
    for (int k = 0; k < 3; ++k) {
        px[k] = 2LL * ClampCoord(SurfaceX(d, v[k]->x));
        py[k] = 2LL * ClampCoord(SurfaceY(d, v[k]->y));
        ch[k] = ChannelsOf(*v[k]);
    }
    auto edge = [](long long ax, long long ay, long long bx, long long by, long long x, long long y) {
        return (bx - ax) * (y - ay) - (by - ay) * (x - ax);
    };
    long long area = edge(px[0], py[0], px[1], py[1], px[2], py[2]);
    if (area == 0) return;
    const long long sign = area > 0 ? 1 : -1;
    area *= sign;
    const RECT box{static_cast<LONG>(std::min({px[0], px[1], px[2]}) / 2),
                   static_cast<LONG>(std::min({py[0], py[1], py[2]}) / 2),
                   static_cast<LONG>(std::max({px[0], px[1], px[2]}) / 2 + 1),
                   static_cast<LONG>(std::max({py[0], py[1], py[2]}) / 2 + 1)};
    const bool mono = t->Mono();
    RECT touched{};
    ForEachClipped(d, box, [&](const RECT& c) {
        UnionRect(&touched, &touched, &c);
        for (int y = c.top; y < c.bottom; ++y) {
            std::uint32_t* row = t->Row(y);
            for (int x = c.left; x < c.right; ++x) {
                const long long cx = 2LL * x + 1, cy = 2LL * y + 1;
                const long long w0 = sign * edge(px[1], py[1], px[2], py[2], cx, cy);
                const long long w1 = sign * edge(px[2], py[2], px[0], py[0], cx, cy);
                const long long w2 = sign * edge(px[0], py[0], px[1], py[1], cx, cy);
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                long long out[4];
                for (int k = 0; k < 4; ++k)
                    out[k] =
                        static_cast<long long>((static_cast<double>(w0) * static_cast<double>(ch[0].c[k]) +
                                                static_cast<double>(w1) * static_cast<double>(ch[1].c[k]) +
                                                static_cast<double>(w2) * static_cast<double>(ch[2].c[k])) /
                                               static_cast<double>(area));
                row[x] = GradientPixel(out, mono);
            }
        }
    });
    t->AddDirty(touched);
}

} // namespace

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
    return RopBlit(dst, x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop) {
    return RopBlit(dst, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, rop);
}

BOOL TransparentBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, UINT transparentColor) {
    Plan p;
    DCObj *d = nullptr, *s = nullptr;
    bool drawn = false;
    if (!PrepareMsimg(p, d, s, dst, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, false, drawn))
        return FALSE;
    if (!drawn) return TRUE;
    BitmapObj* t = p.target;
    const bool srcMono = s->Target()->Mono();
    // The transparent colour is compared with the source as a colour image.
    const Converter toColor = MakeConverter(*d, false, *s, srcMono);
    const std::uint32_t key = PixelFromColor(ResolveColor(*s, transparentColor));
    p.conv = MakeConverter(*d, t->Mono(), *s, srcMono);
    const auto width0 = static_cast<std::size_t>(p.area.right - p.area.left);
    // Colour sources compare and copy their own pixels: no conversion at all.
    const bool plain = toColor.kind == Converter::None && p.conv.kind == Converter::None;
    ScratchPixels raw(width0), colour(plain ? 0 : width0), out(plain ? 0 : width0);
    RECT touched{};
    ForEachClipped(*d, p.area, [&](const RECT& c) {
        UnionRect(&touched, &touched, &c);
        const int n = c.right - c.left;
        for (int yy = c.top; yy < c.bottom; ++yy) {
            const std::uint32_t* sr = SourceRow(p, yy, c.left, n, raw.data());
            std::uint32_t* dr = t->Row(yy) + c.left;
            if (plain) {
                for (int i = 0; i < n; ++i) dr[i] = (sr[i] & 0xFFFFFF) != key ? sr[i] : dr[i];
                continue;
            }
            std::memcpy(colour.data(), sr, static_cast<std::size_t>(n) * 4);
            std::memcpy(out.data(), sr, static_cast<std::size_t>(n) * 4);
            toColor.Apply(colour.data(), n);
            p.conv.Apply(out.data(), n);
            for (int i = 0; i < n; ++i)
                if ((colour[static_cast<std::size_t>(i)] & 0xFFFFFF) != key)
                    dr[i] = out[static_cast<std::size_t>(i)];
        }
    });
    t->AddDirty(touched);
    return TRUE;
}

void BlendPixels(std::uint32_t* dst, const std::uint32_t* src, int n, BYTE constantAlpha,
                 bool perPixelAlpha) {
    if (perPixelAlpha)
        BlendPremultiplied(dst, src, n, constantAlpha);
    else
        BlendConstant(dst, src, n, constantAlpha);
}

BOOL AlphaBlend(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, BLENDFUNCTION blend) {
    if (blend.BlendOp != AC_SRC_OVER || blend.BlendFlags != 0 || (blend.AlphaFormat & ~AC_SRC_ALPHA) != 0)
        return Fail(ERROR_INVALID_PARAMETER);
    Plan p;
    DCObj *d = nullptr, *s = nullptr;
    bool drawn = false;
    if (!PrepareMsimg(p, d, s, dst, x, y, width, height, src, xSrc, ySrc, srcWidth, srcHeight, true, drawn))
        return FALSE;
    if (!drawn) return TRUE;
    BitmapObj* t = p.target;
    const bool dstMono = t->Mono();
    // The blend happens in colour; a monochrome destination takes the nearest of black and white.
    p.conv = MakeConverter(*d, false, *s, s->Target()->Mono());
    const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    RECT touched{};
    if (!dstMono && p.conv.kind == Converter::None && p.ax.Identity() && p.ay.Identity()) {
        // An icon's case: the source's own rows, one after the other, over the surface's.
        ForEachClipped(*d, p.area, [&](const RECT& c) {
            UnionRect(&touched, &touched, &c);
            const int n = c.right - c.left;
            const std::uint32_t* sr = SourceRow(p, c.top, c.left, n, nullptr);
            for (int yy = c.top; yy < c.bottom; ++yy, sr += p.src.stride)
                BlendPixels(t->Row(yy) + c.left, sr, n, blend.SourceConstantAlpha, perPixel);
        });
        t->AddDirty(touched);
        return TRUE;
    }
    const auto width0 = static_cast<std::size_t>(p.area.right - p.area.left);
    ScratchPixels sbuf(width0), dbuf(dstMono ? width0 : 0);
    ForEachClipped(*d, p.area, [&](const RECT& c) {
        UnionRect(&touched, &touched, &c);
        const int n = c.right - c.left;
        for (int yy = c.top; yy < c.bottom; ++yy) {
            const std::uint32_t* sr = ConvertedRow(p, yy, c.left, n, sbuf.data());
            std::uint32_t* dr = t->Row(yy) + c.left;
            std::uint32_t* work = dstMono ? dbuf.data() : dr;
            if (dstMono) std::copy_n(dr, n, work);
            BlendPixels(work, sr, n, blend.SourceConstantAlpha, perPixel);
            if (dstMono)
                for (int i = 0; i < n; ++i) dr[i] = MonoPixelFromColor(ColorFromPixel(work[i]));
        }
    });
    t->AddDirty(touched);
    return TRUE;
}

BOOL AlphaBlendPixels(HDC dst, int x, int y, int width, int height, const std::uint32_t* pixels,
                      std::ptrdiff_t stride) {
    DCObj* d = LookupDC(dst);
    if (!d) return Fail(ERROR_INVALID_HANDLE);
    if (!pixels || width < 0 || height < 0) return Fail(ERROR_INVALID_PARAMETER);
    BitmapObj* t = d->Target();
    if (!t) return Fail(ERROR_INVALID_HANDLE);
    const long long left = SurfaceX(*d, x), top = SurfaceY(*d, y);
    const RECT area{ClampCoord(left), ClampCoord(top), ClampCoord(left + width), ClampCoord(top + height)};
    const bool mono = t->Mono();
    ScratchPixels work(mono ? static_cast<std::size_t>(width) : 0);
    RECT touched{};
    ForEachClipped(*d, area, [&](const RECT& c) {
        UnionRect(&touched, &touched, &c);
        const int n = c.right - c.left;
        for (int yy = c.top; yy < c.bottom; ++yy) {
            const std::uint32_t* sr = pixels + (yy - area.top) * stride + (c.left - area.left);
            std::uint32_t* dr = t->Row(yy) + c.left;
            if (!mono) {
                BlendPremultiplied(dr, sr, n, 255);
                continue;
            }
            std::copy_n(dr, n, work.data());
            BlendPremultiplied(work.data(), sr, n, 255);
            for (int i = 0; i < n; ++i)
                dr[i] = MonoPixelFromColor(ColorFromPixel(work[static_cast<std::size_t>(i)]));
        }
    });
    t->AddDirty(touched);
    return TRUE;
}

BOOL GradientFill(HDC dc, const TRIVERTEX* vertices, ULONG vertexCount, const void* mesh, ULONG meshCount,
                  ULONG mode) {
    DCObj* d = LookupDC(dc);
    if (!d) return Fail(ERROR_INVALID_HANDLE);
    if (!vertices || !mesh || mode > GRADIENT_FILL_TRIANGLE) return Fail(ERROR_INVALID_PARAMETER);
    BitmapObj* t = d->Target();
    if (!t) return Fail(ERROR_INVALID_HANDLE);
    if (mode == GRADIENT_FILL_TRIANGLE) {
        const auto* tris = static_cast<const GRADIENT_TRIANGLE*>(mesh);
        for (ULONG i = 0; i < meshCount; ++i)
            if (tris[i].Vertex1 >= vertexCount || tris[i].Vertex2 >= vertexCount ||
                tris[i].Vertex3 >= vertexCount)
                return Fail(ERROR_INVALID_PARAMETER);
        for (ULONG i = 0; i < meshCount; ++i) {
            const TRIVERTEX* const v[3] = {&vertices[tris[i].Vertex1], &vertices[tris[i].Vertex2],
                                           &vertices[tris[i].Vertex3]};
            GradientTriangle(*d, t, v);
        }
        return TRUE;
    }
    const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
    for (ULONG i = 0; i < meshCount; ++i)
        if (rects[i].UpperLeft >= vertexCount || rects[i].LowerRight >= vertexCount)
            return Fail(ERROR_INVALID_PARAMETER);
    for (ULONG i = 0; i < meshCount; ++i)
        GradientRect(*d, t, vertices[rects[i].UpperLeft], vertices[rects[i].LowerRight],
                     mode == GRADIENT_FILL_RECT_H);
    return TRUE;
}

} // namespace gfx
