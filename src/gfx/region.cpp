// Regions as y-x banded rectangle lists, and the region calls.

#include "gfx/internal.h"

#include <cmath>
#include <limits>

namespace gfx::detail {

namespace {

using Spans = std::vector<std::pair<LONG, LONG>>;

constexpr LONG kNoEdge = std::numeric_limits<LONG>::max();

// The end of the band (rectangles of one top) that starts at `i`.
std::size_t BandEnd(const std::vector<RECT>& rects, std::size_t i) {
    const LONG top = rects[i].top;
    while (i < rects.size() && rects[i].top == top) ++i;
    return i;
}

bool Combined(bool inA, bool inB, int mode) {
    switch (mode) {
        case RGN_AND:
            return inA && inB;
        case RGN_OR:
            return inA || inB;
        case RGN_XOR:
            return inA != inB;
        case RGN_DIFF:
            return inA && !inB;
        default:
            return inA;
    }
}

// Appends to `out` the spans of two bands (sorted, disjoint; either may have
// none) combined, as rectangles from `top` to `bottom`.
void CombineBands(const RECT* a, std::size_t na, const RECT* b, std::size_t nb, int mode, LONG top,
                  LONG bottom, std::vector<RECT>& out) {
    const std::size_t first = out.size();
    std::size_t pa = 0, pb = 0;
    LONG x = std::min(na ? a[0].left : kNoEdge, nb ? b[0].left : kNoEdge);
    for (;;) {
        while (pa < na && a[pa].right <= x) ++pa;
        while (pb < nb && b[pb].right <= x) ++pb;
        if (pa == na && pb == nb) return;
        const bool inA = pa < na && a[pa].left <= x;
        const bool inB = pb < nb && b[pb].left <= x;
        LONG next = kNoEdge;
        if (pa < na) next = std::min(next, inA ? a[pa].right : a[pa].left);
        if (pb < nb) next = std::min(next, inB ? b[pb].right : b[pb].left);
        if (Combined(inA, inB, mode)) {
            if (out.size() > first && out.back().right == x)
                out.back().right = next;
            else
                out.push_back(RECT{x, top, next, bottom});
        }
        x = next;
    }
}

bool SameSpans(const std::vector<RECT>& rects, std::size_t a, std::size_t b, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (rects[a + i].left != rects[b + i].left || rects[a + i].right != rects[b + i].right) return false;
    return true;
}

bool Holds(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

// Normalises arbitrary spans (possibly overlapping, unsorted) of one row.
Spans MergeSpans(Spans s) {
    std::sort(s.begin(), s.end());
    Spans out;
    for (auto& sp : s) {
        if (sp.first >= sp.second) continue;
        if (!out.empty() && sp.first <= out.back().second)
            out.back().second = std::max(out.back().second, sp.second);
        else
            out.push_back(sp);
    }
    return out;
}

} // namespace

Region::Region(const RECT& r) {
    if (r.left < r.right && r.top < r.bottom) rects_.push_back(r);
    UpdateBounds();
}

void Region::UpdateBounds() {
    if (rects_.empty()) {
        bounds_ = RECT{};
        return;
    }
    bounds_ = RECT{rects_.front().left, rects_.front().top, rects_.front().right, rects_.back().bottom};
    for (const RECT& r : rects_) {
        bounds_.left = std::min(bounds_.left, r.left);
        bounds_.right = std::max(bounds_.right, r.right);
    }
}

int Region::Type() const {
    if (rects_.empty()) return NULLREGION;
    return rects_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool Region::Contains(int x, int y) const {
    if (x < bounds_.left || x >= bounds_.right || y < bounds_.top || y >= bounds_.bottom) return false;
    for (const RECT& r : rects_) {
        if (r.top > y) break;
        if (y < r.bottom && x >= r.left && x < r.right) return true;
    }
    return false;
}

bool Region::Intersects(const RECT& q) const {
    if (q.left >= q.right || q.top >= q.bottom) return false;
    for (const RECT& r : rects_) {
        if (r.top >= q.bottom) break;
        if (r.bottom > q.top && r.left < q.right && r.right > q.left) return true;
    }
    return false;
}

// Coordinates stop at the limit. Rectangles pushed past it collapse and are
// dropped, and clamped ones may now match the band above: the bands are then
// rebuilt, so equal sets keep equal representations.
void Region::Offset(int dx, int dy) {
    bool clamped = false;
    auto move = [&clamped](LONG& v, int d) {
        const long long moved = static_cast<long long>(v) + d;
        v = ClampCoord(moved);
        clamped = clamped || v != moved;
    };
    for (RECT& r : rects_) {
        move(r.left, dx);
        move(r.right, dx);
        move(r.top, dy);
        move(r.bottom, dy);
    }
    if (clamped) {
        std::erase_if(rects_, [](const RECT& r) { return r.left >= r.right || r.top >= r.bottom; });
        std::vector<Band> bands = ToBands();
        *this = FromBands(bands);
        return;
    }
    UpdateBounds();
}

std::vector<Region::Band> Region::ToBands() const {
    std::vector<Band> bands;
    for (const RECT& r : rects_) {
        if (bands.empty() || bands.back().top != r.top) bands.push_back(Band{r.top, r.bottom, {}});
        bands.back().spans.emplace_back(r.left, r.right);
    }
    return bands;
}

Region Region::FromBands(std::vector<Band>& bands) {
    Region out;
    const Band* prev = nullptr;
    std::size_t prevStart = 0;
    for (Band& b : bands) {
        if (b.spans.empty() || b.top >= b.bottom) continue;
        // Merge with the band above when it touches and has the same spans.
        if (prev && prev->bottom == b.top && prev->spans == b.spans) {
            for (std::size_t i = prevStart; i < out.rects_.size(); ++i) out.rects_[i].bottom = b.bottom;
            const_cast<Band*>(prev)->bottom = b.bottom;
            continue;
        }
        prevStart = out.rects_.size();
        for (auto& s : b.spans) out.rects_.push_back(RECT{s.first, b.top, s.second, b.bottom});
        prev = &b;
    }
    out.UpdateBounds();
    return out;
}

Region Region::Combine(const Region& a, const Region& b, int mode) {
    if (mode == RGN_COPY) return a;
    // Fast paths for the common cases.
    if (mode == RGN_AND && (a.Empty() || b.Empty())) return Region();
    if ((mode == RGN_OR || mode == RGN_XOR) && b.Empty()) return a;
    if ((mode == RGN_OR || mode == RGN_XOR) && a.Empty()) return b;
    if (mode == RGN_DIFF && (a.Empty() || b.Empty())) return a;
    if (mode == RGN_AND && a.rects_.size() == 1 && b.rects_.size() == 1) {
        RECT r;
        IntersectRect(&r, &a.rects_[0], &b.rects_[0]);
        return Region(r);
    }
    // Clips meet these all the time: a rectangle around the other region,
    // or two regions apart. Regions are kept in their one banded form, so
    // the answer is an operand as it stands.
    const auto covers = [](const Region& r, const RECT& q) {
        return r.rects_.size() == 1 && Holds(r.rects_.front(), q);
    };
    const auto apart = [&] {
        return a.bounds_.right <= b.bounds_.left || b.bounds_.right <= a.bounds_.left ||
               a.bounds_.bottom <= b.bounds_.top || b.bounds_.bottom <= a.bounds_.top;
    };
    if (mode == RGN_AND) {
        if (covers(a, b.bounds_)) return b;
        if (covers(b, a.bounds_)) return a;
        if (apart()) return Region();
    }
    if (mode == RGN_DIFF) {
        if (apart()) return a;
        if (covers(b, a.bounds_)) return Region();
    }

    // One sweep down the bands of both: each stretch of rows between two band
    // edges combines the bands over it, and joins the band above when it
    // touches it with the same spans.
    const std::vector<RECT>& ra = a.rects_;
    const std::vector<RECT>& rb = b.rects_;
    Region out;
    out.rects_.reserve(ra.size() + rb.size());
    std::size_t ia = 0, ib = 0;
    std::size_t ea = BandEnd(ra, 0), eb = BandEnd(rb, 0);
    std::size_t prevStart = 0, prevCount = 0;
    LONG y = std::min(ra[0].top, rb[0].top);
    for (;;) {
        while (ia < ra.size() && ra[ia].bottom <= y) {
            ia = ea;
            if (ia < ra.size()) ea = BandEnd(ra, ia);
        }
        while (ib < rb.size() && rb[ib].bottom <= y) {
            ib = eb;
            if (ib < rb.size()) eb = BandEnd(rb, ib);
        }
        if (ia == ra.size() && ib == rb.size()) break;
        const bool inA = ia < ra.size() && ra[ia].top <= y;
        const bool inB = ib < rb.size() && rb[ib].top <= y;
        LONG next = kNoEdge;
        if (ia < ra.size()) next = std::min(next, inA ? ra[ia].bottom : ra[ia].top);
        if (ib < rb.size()) next = std::min(next, inB ? rb[ib].bottom : rb[ib].top);
        const std::size_t start = out.rects_.size();
        CombineBands(inA ? &ra[ia] : nullptr, inA ? ea - ia : 0, inB ? &rb[ib] : nullptr, inB ? eb - ib : 0,
                     mode, y, next, out.rects_);
        const std::size_t count = out.rects_.size() - start;
        if (count > 0) {
            if (prevCount == count && out.rects_[prevStart].bottom == y &&
                SameSpans(out.rects_, prevStart, start, count)) {
                for (std::size_t i = prevStart; i < start; ++i) out.rects_[i].bottom = next;
                out.rects_.resize(start);
            } else {
                prevStart = start;
                prevCount = count;
            }
        }
        y = next;
    }
    out.UpdateBounds();
    return out;
}

Region Region::FromRects(const RECT* rects, std::size_t count) {
    std::vector<LONG> ys;
    for (std::size_t i = 0; i < count; ++i)
        if (rects[i].left < rects[i].right && rects[i].top < rects[i].bottom)
            ys.insert(ys.end(), {rects[i].top, rects[i].bottom});
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    std::vector<Band> bands;
    for (std::size_t k = 0; k + 1 < ys.size(); ++k) {
        Spans s;
        for (std::size_t i = 0; i < count; ++i) {
            const RECT& r = rects[i];
            if (r.left < r.right && r.top <= ys[k] && r.bottom >= ys[k + 1]) s.emplace_back(r.left, r.right);
        }
        s = MergeSpans(std::move(s));
        if (!s.empty()) bands.push_back(Band{ys[k], ys[k + 1], std::move(s)});
    }
    return FromBands(bands);
}

// Scan conversion at pixel corners, as the original fills polygons: pixel
// (x, y) is inside when the point (x, y) is inside the outline under the fill
// rule, with left and top edges included and right and bottom ones left out.
Region Region::FromPolygons(const POINT* points, const INT* counts, int polygons, int fillMode) {
    struct Edge {
        double x0, y0, x1, y1;
        int dir;
    };
    std::vector<Edge> edges;
    long long top = kCoordLimit, bottom = -kCoordLimit;
    const POINT* p = points;
    for (int k = 0; k < polygons; ++k) {
        const int n = counts[k];
        for (int i = 0; i < n; ++i) {
            const POINT a = p[i], b = p[(i + 1) % n];
            top = std::min<long long>(top, a.y);
            bottom = std::max<long long>(bottom, a.y);
            if (a.y == b.y) continue;
            if (a.y < b.y)
                edges.push_back(Edge{double(a.x), double(a.y), double(b.x), double(b.y), 1});
            else
                edges.push_back(Edge{double(b.x), double(b.y), double(a.x), double(a.y), -1});
        }
        p += n;
    }
    std::vector<Band> bands;
    std::vector<std::pair<double, int>> xs;
    for (long long y = top; y < bottom; ++y) {
        const double cy = static_cast<double>(y);
        xs.clear();
        for (const Edge& e : edges) {
            if (cy < e.y0 || cy >= e.y1) continue;
            xs.emplace_back(e.x0 + (cy - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.dir);
        }
        std::sort(xs.begin(), xs.end());
        Spans s;
        int winding = 0;
        for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
            winding += xs[i].second;
            const bool inside = fillMode == WINDING ? winding != 0 : (i % 2 == 0);
            if (!inside) continue;
            const auto x0 = static_cast<LONG>(std::ceil(xs[i].first));
            const auto x1 = static_cast<LONG>(std::ceil(xs[i + 1].first));
            if (x0 < x1) s.emplace_back(x0, x1);
        }
        s = MergeSpans(std::move(s));
        if (!s.empty()) bands.push_back(Band{static_cast<LONG>(y), static_cast<LONG>(y + 1), std::move(s)});
    }
    return FromBands(bands);
}

Region Region::FromRoundRect(const RECT& box, int ellipseWidth, int ellipseHeight, const RECT* limit) {
    RECT b{std::min(box.left, box.right), std::min(box.top, box.bottom), std::max(box.left, box.right),
           std::max(box.top, box.bottom)};
    const int w = b.right - b.left, h = b.bottom - b.top;
    if (w <= 0 || h <= 0) return Region();
    const double rx = std::min(std::abs(ellipseWidth), w) / 2.0;
    const double ry = std::min(std::abs(ellipseHeight), h) / 2.0;
    std::vector<Band> bands;
    int yFrom = 0, yTo = h;
    if (limit) {
        yFrom = std::clamp<long long>(static_cast<long long>(limit->top) - b.top, 0, h);
        yTo = std::clamp<long long>(static_cast<long long>(limit->bottom) - b.top, 0, h);
    }
    for (int y = yFrom; y < yTo; ++y) {
        const double cy = y + 0.5;
        double inset = 0;
        if (ry > 0 && rx > 0) {
            double dy = 0;
            if (cy < ry)
                dy = ry - cy;
            else if (cy > h - ry)
                dy = cy - (h - ry);
            if (dy > 0) {
                const double t = std::max(0.0, 1.0 - (dy * dy) / (ry * ry));
                inset = rx - rx * std::sqrt(t);
            }
        }
        LONG x0 = b.left + static_cast<LONG>(std::lround(inset));
        LONG x1 = b.left + static_cast<LONG>(w - std::lround(inset));
        if (limit) {
            x0 = std::max(x0, limit->left);
            x1 = std::min(x1, limit->right);
        }
        if (x0 < x1) bands.push_back(Band{b.top + y, b.top + y + 1, {{x0, x1}}});
    }
    return FromBands(bands);
}

Region Region::FromEllipse(const RECT& box, const RECT* limit) {
    return FromRoundRect(box, std::abs(box.right - box.left), std::abs(box.bottom - box.top), limit);
}

} // namespace gfx::detail

namespace gfx {

using namespace detail;

namespace {

HRGN NewRegion(Region r) {
    auto o = std::make_unique<RegionObj>();
    o->rgn = std::move(r);
    return ToHandle<HRGN>(Insert(std::move(o)));
}

RECT Normalized(int l, int t, int r, int b) {
    return RECT{ClampCoord(std::min(l, r)), ClampCoord(std::min(t, b)), ClampCoord(std::max(l, r)),
                ClampCoord(std::max(t, b))};
}

RegionObj* RegionOrFail(HRGN rgn) {
    RegionObj* r = LookupRegion(rgn);
    if (!r) SetLastError(ERROR_INVALID_HANDLE);
    return r;
}

} // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    return NewRegion(Region(Normalized(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* r) {
    if (!r) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateRectRgn(r->left, r->top, r->right, r->bottom);
}

HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int fillMode) {
    if (!points || !counts || polygons <= 0 || (fillMode != ALTERNATE && fillMode != WINDING)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::vector<POINT> clamped;
    for (int k = 0; k < polygons; ++k) {
        if (counts[k] < 2) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
    }
    long long total = 0;
    for (int k = 0; k < polygons; ++k) total += counts[k];
    // Clamp to a band the scan conversion can handle without running away.
    constexpr LONG kLimit = 1 << 16;
    clamped.reserve(static_cast<std::size_t>(total));
    for (long long i = 0; i < total; ++i)
        clamped.push_back(
            POINT{std::clamp(points[i].x, -kLimit, kLimit), std::clamp(points[i].y, -kLimit, kLimit)});
    return NewRegion(Region::FromPolygons(clamped.data(), counts, polygons, fillMode));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
    return CreatePolyPolygonRgn(points, &count, 1, fillMode);
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
    RECT b = Normalized(left, top, right, bottom);
    if (b.bottom - b.top > (1 << 16)) b.bottom = b.top + (1 << 16);
    return NewRegion(Region::FromEllipse(b));
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height) {
    RECT b = Normalized(left, top, right, bottom);
    if (b.bottom - b.top > (1 << 16)) b.bottom = b.top + (1 << 16);
    return NewRegion(Region::FromRoundRect(b, width, height));
}

HRGN CreateRectListRgn(const RECT* rects, int count) {
    if (count < 0 || (count > 0 && !rects)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::vector<RECT> n;
    n.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        n.push_back(Normalized(rects[i].left, rects[i].top, rects[i].right, rects[i].bottom));
    return NewRegion(Region::FromRects(n.data(), n.size()));
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
    RegionObj* r = RegionOrFail(rgn);
    if (!r) return FALSE;
    r->rgn = Region(Normalized(left, top, right, bottom));
    return TRUE;
}

int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode) {
    RegionObj* d = RegionOrFail(dst);
    RegionObj* a = RegionOrFail(src1);
    if (!d || !a || mode < RGN_AND || mode > RGN_COPY) return ERROR;
    if (mode == RGN_COPY) {
        d->rgn = a->rgn;
        return d->rgn.Type();
    }
    RegionObj* b = RegionOrFail(src2);
    if (!b) return ERROR;
    d->rgn = Region::Combine(a->rgn, b->rgn, mode);
    return d->rgn.Type();
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
    RegionObj* r = RegionOrFail(rgn);
    if (!r) return ERROR;
    r->rgn.Offset(dx, dy);
    return r->rgn.Type();
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
    RegionObj* r = RegionOrFail(rgn);
    return r && r->rgn.Contains(x, y);
}

BOOL RectInRegion(HRGN rgn, const RECT* rc) {
    RegionObj* r = RegionOrFail(rgn);
    if (!r || !rc) return FALSE;
    return r->rgn.Intersects(Normalized(rc->left, rc->top, rc->right, rc->bottom));
}

int GetRgnBox(HRGN rgn, RECT* box) {
    RegionObj* r = RegionOrFail(rgn);
    if (!r || !box) return ERROR;
    *box = r->rgn.Bounds();
    return r->rgn.Type();
}

BOOL EqualRgn(HRGN a, HRGN b) {
    RegionObj* ra = RegionOrFail(a);
    RegionObj* rb = RegionOrFail(b);
    if (!ra || !rb) return ERROR;
    return ra->rgn == rb->rgn;
}

std::vector<RECT> GetRegionRects(HRGN rgn) {
    RegionObj* r = RegionOrFail(rgn);
    return r ? r->rgn.Rects() : std::vector<RECT>{};
}

} // namespace gfx
