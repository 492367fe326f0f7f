// Regions as y-x banded rectangle lists, and the region calls.

#include "gfx/internal.h"

#include <cmath>

namespace gfx::detail {

namespace {

using Spans = std::vector<std::pair<LONG, LONG>>;

// Combines two sorted lists of disjoint half-open spans.
Spans CombineSpans(const Spans& a, const Spans& b, int mode) {
    std::vector<LONG> xs;
    xs.reserve((a.size() + b.size()) * 2);
    for (auto& s : a) xs.insert(xs.end(), {s.first, s.second});
    for (auto& s : b) xs.insert(xs.end(), {s.first, s.second});
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    Spans out;
    std::size_t ia = 0, ib = 0;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        const LONG x0 = xs[i], x1 = xs[i + 1];
        while (ia < a.size() && a[ia].second <= x0) ++ia;
        while (ib < b.size() && b[ib].second <= x0) ++ib;
        const bool inA = ia < a.size() && a[ia].first <= x0;
        const bool inB = ib < b.size() && b[ib].first <= x0;
        bool in = false;
        switch (mode) {
            case RGN_AND:
                in = inA && inB;
                break;
            case RGN_OR:
                in = inA || inB;
                break;
            case RGN_XOR:
                in = inA != inB;
                break;
            case RGN_DIFF:
                in = inA && !inB;
                break;
            default:
                in = inA;
                break;
        }
        if (!in) continue;
        if (!out.empty() && out.back().second == x0)
            out.back().second = x1;
        else
            out.emplace_back(x0, x1);
    }
    return out;
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
        if (r.rects_.size() != 1) return false;
        const RECT& c = r.rects_.front();
        return c.left <= q.left && c.top <= q.top && c.right >= q.right && c.bottom >= q.bottom;
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

    const std::vector<Band> ba = a.ToBands(), bb = b.ToBands();
    std::vector<LONG> ys;
    for (auto& x : ba) ys.insert(ys.end(), {x.top, x.bottom});
    for (auto& x : bb) ys.insert(ys.end(), {x.top, x.bottom});
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    static const Spans kNone;
    std::vector<Band> out;
    std::size_t ia = 0, ib = 0;
    for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
        const LONG y0 = ys[i], y1 = ys[i + 1];
        while (ia < ba.size() && ba[ia].bottom <= y0) ++ia;
        while (ib < bb.size() && bb[ib].bottom <= y0) ++ib;
        const Spans& sa = (ia < ba.size() && ba[ia].top <= y0) ? ba[ia].spans : kNone;
        const Spans& sb = (ib < bb.size() && bb[ib].top <= y0) ? bb[ib].spans : kNone;
        Spans s = CombineSpans(sa, sb, mode);
        if (!s.empty()) out.push_back(Band{y0, y1, std::move(s)});
    }
    return FromBands(out);
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
