// Rectangle fills, lines, shapes, pixels and region painting.

#include "gfx/internal.h"

#include <cstdlib>

namespace gfx {

using namespace detail;

namespace {

bool BrushUsable(HBRUSH brush) {
    const std::uintptr_t v = handle_to_int(brush);
    return (v >= 1 && v <= SYS_COLOR_COUNT) || LookupBrush(brush);
}

RECT Clamped(const RECT& r) {
    return RECT{ClampCoord(r.left), ClampCoord(r.top), ClampCoord(r.right), ClampCoord(r.bottom)};
}

RECT Normalized(int l, int t, int r, int b) {
    return Clamped(RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)});
}

// The logical-to-surface translation of a DC (only the text mapping mode exists).
POINT Shift(const DCObj& d) {
    return d.LogicalToSurface(POINT{0, 0});
}

// --- Pens ---

struct PenInfo {
    bool null = true;
    std::uint32_t color = 0;
    std::uint32_t bkColor = 0;
    bool opaqueGaps = false;
    int width = 1;
    bool insideFrame = false;
    const std::uint8_t* dashes = nullptr; // on/off run lengths
    int dashCount = 0;
    int dashTotal = 0;
    bool Solid() const { return dashes == nullptr; }
};

constexpr std::uint8_t kDash[] = {18, 6};
constexpr std::uint8_t kDot[] = {3, 3};
constexpr std::uint8_t kDashDot[] = {9, 6, 3, 6};
constexpr std::uint8_t kDashDotDot[] = {9, 3, 3, 3, 3, 3};
constexpr std::uint8_t kAlternate[] = {1, 1};

PenInfo ResolvePen(DCObj& d) {
    PenInfo info;
    PenObj* p = LookupPen(d.st.pen);
    if (!p || p->Style() == PS_NULL) return info;
    BitmapObj* t = d.Target();
    const bool mono = t && t->Mono();
    info.null = false;
    info.color = DCColorPixel(d, IsDCPen(p) ? d.st.dcPenColor : p->color, mono);
    info.bkColor = DCColorPixel(d, d.st.bkColor, mono);
    info.opaqueGaps = d.st.bkMode == OPAQUE;
    info.width = p->width;
    info.insideFrame = p->Style() == PS_INSIDEFRAME;
    auto set = [&](const std::uint8_t* a, int n) {
        info.dashes = a;
        info.dashCount = n;
        info.dashTotal = 0;
        for (int i = 0; i < n; ++i) info.dashTotal += a[i];
    };
    switch (p->Style()) {
        case PS_DASH:
            set(kDash, 2);
            break;
        case PS_DOT:
            set(kDot, 2);
            break;
        case PS_DASHDOT:
            set(kDashDot, 4);
            break;
        case PS_DASHDOTDOT:
            set(kDashDotDot, 6);
            break;
        case PS_ALTERNATE:
            set(kAlternate, 2);
            break;
        default:
            break;
    }
    return info;
}

bool DashOn(const PenInfo& pen, long long counter) {
    long long pos = counter % pen.dashTotal;
    for (int i = 0; i < pen.dashCount; ++i) {
        if (pos < pen.dashes[i]) return i % 2 == 0;
        pos -= pen.dashes[i];
    }
    return true;
}

long long FloorDiv(long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// Draws a line in surface coordinates from a to b, leaving out b.
void DrawLine(DCObj& d, POINT a, POINT b, const PenInfo& pen, RECT& touched, long long& style) {
    if (pen.null) return;
    const long long dx = static_cast<long long>(b.x) - a.x, dy = static_cast<long long>(b.y) - a.y;
    const long long n = std::max(std::llabs(dx), std::llabs(dy));
    if (n == 0) return;
    const Region& clip = d.EffectiveClip();
    if (clip.Empty()) {
        style += n;
        return;
    }
    // Only the steps whose major coordinate falls near the clip are walked.
    const RECT& cb = clip.Bounds();
    const int half = pen.width / 2;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long start = xMajor ? a.x : a.y;
    const long long dir = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const long long lo = (xMajor ? cb.left : cb.top) - half - 1,
                    hi = (xMajor ? cb.right : cb.bottom) + half + 1;
    long long iFrom = 0, iTo = n;
    if (dir > 0) {
        iFrom = std::max<long long>(0, lo - start);
        iTo = std::min<long long>(n, hi - start);
    } else {
        iFrom = std::max<long long>(0, start - hi);
        iTo = std::min<long long>(n, start - lo);
    }
    const int rop2 = d.st.rop2;
    for (long long i = iFrom; i < iTo; ++i) {
        const auto x = static_cast<int>(a.x + FloorDiv(2 * i * dx + n, 2 * n));
        const auto y = static_cast<int>(a.y + FloorDiv(2 * i * dy + n, 2 * n));
        std::uint32_t color = pen.color;
        if (!pen.Solid() && !DashOn(pen, style + i)) {
            if (!pen.opaqueGaps) continue;
            color = pen.bkColor;
        }
        if (pen.width <= 1) {
            PlotPixel(d, x, y, color, rop2);
            RECT px{x, y, x + 1, y + 1};
            UnionRect(&touched, &touched, &px);
        } else {
            const int x0 = x - (pen.width - 1) / 2, y0 = y - (pen.width - 1) / 2;
            for (int yy = y0; yy < y0 + pen.width; ++yy)
                for (int xx = x0; xx < x0 + pen.width; ++xx) PlotPixel(d, xx, yy, color, rop2);
            RECT px{x0, y0, x0 + pen.width, y0 + pen.width};
            UnionRect(&touched, &touched, &px);
        }
    }
    style += n;
}

void MarkTouched(DCObj& d, const RECT& touched) {
    if (BitmapObj* t = d.Target()) t->AddDirty(touched);
}

// Draws connected segments through logical points; `closed` joins the last to the first.
void DrawPolyline(DCObj& d, const POINT* pts, int count, bool closed) {
    const PenInfo pen = ResolvePen(d);
    if (pen.null || count < 2) return;
    RECT touched{};
    long long style = 0;
    for (int i = 0; i + 1 < count; ++i)
        DrawLine(d, d.LogicalToSurface(pts[i]), d.LogicalToSurface(pts[i + 1]), pen, touched, style);
    if (closed)
        DrawLine(d, d.LogicalToSurface(pts[count - 1]), d.LogicalToSurface(pts[0]), pen, touched, style);
    MarkTouched(d, touched);
}

std::vector<POINT> ClampPoints(const POINT* pts, long long count) {
    std::vector<POINT> out;
    out.reserve(static_cast<std::size_t>(count));
    for (long long i = 0; i < count; ++i) out.push_back(POINT{ClampCoord(pts[i].x), ClampCoord(pts[i].y)});
    return out;
}

// Fills a region given in surface coordinates with the selected brush
// through the DC's binary raster operation.
void FillWithBrush(DCObj& d, const Region& surfaceRgn) {
    // The null brush leaves the interior alone whatever the mix mode, even
    // one that ignores the brush (R2_NOT).
    const Pattern Brush = ResolveBrush(d, nullptr);
    if (Brush.none) return;
    FillSurfaceRegion(d, surfaceRgn, Brush, Rop2ToRop3(d.st.rop2));
}

// The one-pixel outline of a region: its pixels with a 4-neighbour outside.
Region Outline(const Region& r) {
    Region inner = r;
    for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        Region s = r;
        s.Offset(dx, dy);
        inner = inner.Intersect(s);
    }
    return Region::Combine(r, inner, RGN_DIFF);
}

// Shared by RoundRect and Ellipse: a shape region, its interior filled with
// the brush and its outline drawn with the pen colour.
BOOL DrawShape(HDC dc, int l, int t, int r, int b, int ew, int eh, bool ellipse) {
    DCObj* d = DCOrFail(dc);
    if (!d) return FALSE;
    RECT box = Normalized(l, t, r, b);
    const PenInfo pen = ResolvePen(*d);
    if (pen.null) {
        box.right -= 1;
        box.bottom -= 1;
    }
    const POINT s = Shift(*d);
    box = Clamped(RECT{box.left + s.x, box.top + s.y, box.right + s.x, box.bottom + s.y});
    // Only rows near the clip are built; the margin keeps the cut edges'
    // outline outside what can be drawn.
    const RECT& cb = d->EffectiveClip().Bounds();
    const RECT limit{cb.left - 2, cb.top - 2, cb.right + 2, cb.bottom + 2};
    Region shape = ellipse ? Region::FromEllipse(box, &limit) : Region::FromRoundRect(box, ew, eh, &limit);
    if (pen.null) {
        FillWithBrush(*d, shape);
        return TRUE;
    }
    const Region edge = Outline(shape);
    FillWithBrush(*d, Region::Combine(shape, edge, RGN_DIFF));
    FillSurfaceRegion(*d, edge, SolidPattern(pen.color), Rop2ToRop3(d->st.rop2));
    return TRUE;
}

} // namespace

// ============================================================================
// Rectangles
// ============================================================================

int FillRect(HDC dc, const RECT* r, HBRUSH brush) {
    DCObj* d = DCOrFail(dc);
    if (!d || !r || !BrushUsable(brush)) return FALSE;
    // No normalisation: a reversed rectangle fills nothing, as on the original.
    FillSurfaceRect(*d, d->LogicalToSurface(Clamped(*r)), ResolveBrush(*d, brush), PATCOPY);
    return TRUE;
}

int FrameRect(HDC dc, const RECT* r, HBRUSH brush) {
    DCObj* d = DCOrFail(dc);
    if (!d || !r || !BrushUsable(brush)) return FALSE;
    const RECT c = Clamped(*r);
    if (c.right <= c.left || c.bottom <= c.top) return TRUE;
    const Pattern p = ResolveBrush(*d, brush);
    const RECT s = d->LogicalToSurface(c);
    FillSurfaceRect(*d, RECT{s.left, s.top, s.right, s.top + 1}, p, PATCOPY);
    FillSurfaceRect(*d, RECT{s.left, s.bottom - 1, s.right, s.bottom}, p, PATCOPY);
    FillSurfaceRect(*d, RECT{s.left, s.top + 1, s.left + 1, s.bottom - 1}, p, PATCOPY);
    FillSurfaceRect(*d, RECT{s.right - 1, s.top + 1, s.right, s.bottom - 1}, p, PATCOPY);
    return TRUE;
}

BOOL InvertRect(HDC dc, const RECT* r) {
    DCObj* d = DCOrFail(dc);
    if (!d || !r) return FALSE;
    FillSurfaceRect(*d, d->LogicalToSurface(Clamped(*r)), Pattern{}, DSTINVERT);
    return TRUE;
}

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
    DCObj* d = DCOrFail(dc);
    if (!d) return FALSE;
    const auto code = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
    if (RopUsesSource(code)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const long long x2 = static_cast<long long>(x) + width, y2 = static_cast<long long>(y) + height;
    RECT r = Clamped(RECT{ClampCoord(std::min<long long>(x, x2)), ClampCoord(std::min<long long>(y, y2)),
                          ClampCoord(std::max<long long>(x, x2)), ClampCoord(std::max<long long>(y, y2))});
    FillSurfaceRect(*d, d->LogicalToSurface(r), ResolveBrush(*d, nullptr), rop);
    return TRUE;
}

// ============================================================================
// Lines
// ============================================================================

BOOL LineTo(HDC dc, int x, int y) {
    DCObj* d = DCOrFail(dc);
    if (!d) return FALSE;
    const POINT pts[2] = {d->st.curPos, POINT{ClampCoord(x), ClampCoord(y)}};
    DrawPolyline(*d, pts, 2, false);
    d->st.curPos = pts[1];
    return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count) {
    DCObj* d = DCOrFail(dc);
    if (!d || !points || count < 2) return FALSE;
    const std::vector<POINT> pts = ClampPoints(points, count);
    DrawPolyline(*d, pts.data(), count, false);
    return TRUE;
}

BOOL PolylineTo(HDC dc, const POINT* points, DWORD count) {
    DCObj* d = DCOrFail(dc);
    if (!d || !points || count == 0 || count > (1u << 24)) return FALSE;
    std::vector<POINT> pts{d->st.curPos};
    for (POINT p : ClampPoints(points, count)) pts.push_back(p);
    DrawPolyline(*d, pts.data(), static_cast<int>(pts.size()), false);
    d->st.curPos = pts.back();
    return TRUE;
}

BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylines) {
    DCObj* d = DCOrFail(dc);
    if (!d || !points || !counts || polylines == 0) return FALSE;
    for (DWORD i = 0; i < polylines; ++i)
        if (counts[i] < 2 || counts[i] > (1u << 24)) return FALSE;
    const POINT* p = points;
    for (DWORD i = 0; i < polylines; ++i) {
        const std::vector<POINT> pts = ClampPoints(p, counts[i]);
        DrawPolyline(*d, pts.data(), static_cast<int>(counts[i]), false);
        p += counts[i];
    }
    return TRUE;
}

// ============================================================================
// Shapes
// ============================================================================

BOOL PolyPolygon(HDC dc, const POINT* points, const INT* counts, int polygons) {
    DCObj* d = DCOrFail(dc);
    if (!d || !points || !counts || polygons <= 0) return FALSE;
    long long total = 0;
    for (int i = 0; i < polygons; ++i) {
        if (counts[i] < 2) return FALSE;
        total += counts[i];
    }
    std::vector<POINT> pts = ClampPoints(points, total);
    const POINT s = Shift(*d);
    std::vector<POINT> surf;
    surf.reserve(pts.size());
    constexpr LONG kLimit = 1 << 16;
    for (POINT p : pts)
        surf.push_back(POINT{std::clamp(p.x + s.x, -kLimit, kLimit), std::clamp(p.y + s.y, -kLimit, kLimit)});
    FillWithBrush(*d, Region::FromPolygons(surf.data(), counts, polygons, d->st.polyFillMode));
    const POINT* p = pts.data();
    for (int i = 0; i < polygons; ++i) {
        DrawPolyline(*d, p, counts[i], true);
        p += counts[i];
    }
    return TRUE;
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
    return PolyPolygon(dc, points, &count, 1);
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    DCObj* d = DCOrFail(dc);
    if (!d) return FALSE;
    const RECT r = Normalized(left, top, right, bottom);
    const PenInfo pen = ResolvePen(*d);
    const POINT s = Shift(*d);
    RECT sr = r;
    OffsetRect(&sr, s.x, s.y);
    if (pen.null) {
        // Without a pen the filled area is one pixel smaller on the right and bottom.
        FillWithBrush(*d, Region(RECT{sr.left, sr.top, sr.right - 1, sr.bottom - 1}));
        return TRUE;
    }
    if (sr.right - sr.left < 1 || sr.bottom - sr.top < 1) return TRUE;
    const int w = pen.width;
    // A wide pen is centred on the outline unless it is an inside-frame pen.
    const int out = (w > 1 && !pen.insideFrame) ? w / 2 : 0;
    RECT outer{sr.left - out, sr.top - out, sr.right + out, sr.bottom + out};
    RECT inner{outer.left + w, outer.top + w, outer.right - w, outer.bottom - w};
    if (pen.Solid()) {
        Region frame = Region::Combine(Region(outer), Region(inner), RGN_DIFF);
        FillWithBrush(*d, Region(inner));
        FillSurfaceRegion(*d, frame, SolidPattern(pen.color), Rop2ToRop3(d->st.rop2));
    } else {
        FillWithBrush(*d, Region(RECT{sr.left + 1, sr.top + 1, sr.right - 1, sr.bottom - 1}));
        const POINT pts[4] = {
            {r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}};
        DrawPolyline(*d, pts, 4, true);
    }
    return TRUE;
}

BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height) {
    return DrawShape(dc, left, top, right, bottom, width, height, false);
}

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
    return DrawShape(dc, left, top, right, bottom, 0, 0, true);
}

// ============================================================================
// Pixels
// ============================================================================

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    DCObj* d = DCOrFail(dc);
    if (!d) return CLR_INVALID;
    BitmapObj* t = d->Target();
    const POINT s = d->LogicalToSurface(POINT{ClampCoord(x), ClampCoord(y)});
    if (!t || !d->EffectiveClip().Contains(s.x, s.y)) return CLR_INVALID;
    const std::uint32_t px = DCColorPixel(*d, color, t->Mono());
    t->Row(s.y)[s.x] = px;
    t->AddDirty(RECT{s.x, s.y, s.x + 1, s.y + 1});
    return ColorFromPixel(px);
}

BOOL SetPixelV(HDC dc, int x, int y, COLORREF color) {
    return SetPixel(dc, x, y, color) != CLR_INVALID;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    DCObj* d = DCOrFail(dc);
    if (!d) return CLR_INVALID;
    BitmapObj* t = d->Target();
    const POINT s = d->LogicalToSurface(POINT{ClampCoord(x), ClampCoord(y)});
    if (!t || !d->EffectiveClip().Contains(s.x, s.y)) return CLR_INVALID;
    return ColorFromPixel(t->Row(s.y)[s.x] & 0xFFFFFF);
}

// ============================================================================
// Region painting
// ============================================================================

namespace {

bool SurfaceRegion(DCObj& d, HRGN rgn, Region* out) {
    RegionObj* r = LookupRegion(rgn);
    if (!r) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    *out = r->rgn;
    const POINT s = Shift(d);
    out->Offset(s.x, s.y);
    return true;
}

} // namespace

BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush) {
    DCObj* d = DCOrFail(dc);
    Region r;
    if (!d || !BrushUsable(brush) || !SurfaceRegion(*d, rgn, &r)) return FALSE;
    FillSurfaceRegion(*d, r, ResolveBrush(*d, brush), PATCOPY);
    return TRUE;
}

BOOL PaintRgn(HDC dc, HRGN rgn) {
    DCObj* d = DCOrFail(dc);
    Region r;
    if (!d || !SurfaceRegion(*d, rgn, &r)) return FALSE;
    FillWithBrush(*d, r);
    return TRUE;
}

BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int width, int height) {
    DCObj* d = DCOrFail(dc);
    Region r;
    if (!d || !BrushUsable(brush) || !SurfaceRegion(*d, rgn, &r)) return FALSE;
    width = std::clamp(width, 0, 1 << 12);
    height = std::clamp(height, 0, 1 << 12);
    Region inner = r;
    for (auto [dx, dy] : {std::pair{width, 0}, {-width, 0}, {0, height}, {0, -height}}) {
        Region s = r;
        s.Offset(dx, dy);
        inner = inner.Intersect(s);
    }
    FillSurfaceRegion(*d, Region::Combine(r, inner, RGN_DIFF), ResolveBrush(*d, brush), PATCOPY);
    return TRUE;
}

BOOL InvertRgn(HDC dc, HRGN rgn) {
    DCObj* d = DCOrFail(dc);
    Region r;
    if (!d || !SurfaceRegion(*d, rgn, &r)) return FALSE;
    FillSurfaceRegion(*d, r, Pattern{}, DSTINVERT);
    return TRUE;
}

} // namespace gfx
