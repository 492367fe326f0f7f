// Device contexts: creation, saved states, attributes, origins and clipping.

#include "gfx/internal.h"

#include <utility>

namespace gfx::detail {

BitmapObj* DCObj::Target() {
    if (firstUse) std::exchange(firstUse, nullptr)();
    return TargetFormat();
}

BitmapObj* DCObj::TargetFormat() const {
    return LookupBitmap(memoryDC ? st.bitmap : surface);
}

RECT DCObj::DeviceBounds() {
    BitmapObj* t = Target();
    if (!t) return RECT{};
    return RECT{-origin.x, -origin.y, t->width - origin.x, t->height - origin.y};
}

const Region& DCObj::EffectiveClip() {
    if (clipValid_) return clip_;
    BitmapObj* t = Target();
    if (!t) {
        clip_ = Region();
    } else {
        Region r(RECT{0, 0, t->width, t->height});
        if (visRgn) {
            Region v = *visRgn;
            v.Offset(origin.x, origin.y);
            r = r.Intersect(v);
        }
        if (st.clip) {
            Region c = *st.clip;
            c.Offset(origin.x, origin.y);
            r = r.Intersect(c);
        }
        clip_ = std::move(r);
    }
    clipValid_ = true;
    return clip_;
}

DCObj* DCOrFail(HDC dc) {
    DCObj* d = LookupDC(dc);
    if (!d) SetLastError(ERROR_INVALID_HANDLE);
    return d;
}

} // namespace gfx::detail

namespace gfx {

using namespace detail;

namespace {

HDC NewDC(std::unique_ptr<DCObj> d) {
    d->st = DefaultState();
    RetainState(d->st);
    return ToHandle<HDC>(Insert(std::move(d)));
}

void ReleaseAll(DCObj& d) {
    ReleaseState(d.st);
    for (const DCState& s : d.saved) ReleaseState(s);
    d.saved.clear();
}

int ClipType(DCObj& d) {
    return d.EffectiveClip().Type();
}

} // namespace

HDC CreateCompatibleDC(HDC dc) {
    if (dc && !LookupDC(dc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto d = std::make_unique<DCObj>();
    d->memoryDC = true;
    HDC h = NewDC(std::move(d));
    if (DCObj* p = LookupDC(h)) SelectBitmapInto(*p, DefaultBitmap());
    return h;
}

HDC CreateSurfaceDC(HBITMAP surface, POINT origin, HRGN visRgn) {
    if (!LookupBitmap(surface)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto d = std::make_unique<DCObj>();
    d->memoryDC = false;
    d->surface = surface;
    HDC h = NewDC(std::move(d));
    if (h) SetSurfaceDCArea(h, origin, visRgn);
    return h;
}

BOOL SetSurfaceDCArea(HDC dc, POINT origin, HRGN visRgn) {
    DCObj* d = DCOrFail(dc);
    if (!d || d->memoryDC) return FALSE;
    d->origin = origin;
    if (visRgn) {
        RegionObj* r = LookupRegion(visRgn);
        if (!r) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        d->visRgn = r->rgn;
    } else {
        d->visRgn.reset();
    }
    d->InvalidateClip();
    return TRUE;
}

BOOL ResetSurfaceDC(HDC dc) {
    DCObj* d = DCOrFail(dc);
    if (!d || d->memoryDC) return FALSE;
    ReleaseAll(*d);
    d->st = DefaultState();
    RetainState(d->st);
    d->capsOverride.clear();
    d->paletteDevice = false;
    d->InvalidateClip();
    return TRUE;
}

BOOL GetDCOrgEx(HDC dc, POINT* origin) {
    DCObj* d = DCOrFail(dc);
    if (!d || !origin) return FALSE;
    *origin = d->origin;
    return TRUE;
}

BOOL SetSurfaceDCFirstUse(HDC dc, std::function<void()> firstUse) {
    DCObj* d = DCOrFail(dc);
    if (!d || d->memoryDC) return FALSE;
    d->firstUse = std::move(firstUse);
    return TRUE;
}

BOOL SetDCDeviceCaps(HDC dc, int index, int value) {
    DCObj* d = DCOrFail(dc);
    if (!d) return FALSE;
    if (index == BITSPIXEL) d->paletteDevice = value <= 8;
    for (auto& [i, v] : d->capsOverride)
        if (i == index) {
            v = value;
            return TRUE;
        }
    d->capsOverride.emplace_back(index, value);
    return TRUE;
}

BOOL DeleteDC(HDC dc) {
    DCObj* d = DCOrFail(dc);
    if (!d) return FALSE;
    ReleaseAll(*d);
    if (BitmapObj* b = d->TargetFormat(); b && b->selectedIn == d) b->selectedIn = nullptr;
    Erase(handle_cast<HGDIOBJ>(dc));
    return TRUE;
}

int SaveDC(HDC dc) {
    DCObj* d = DCOrFail(dc);
    if (!d) return 0;
    d->saved.push_back(d->st);
    RetainState(d->saved.back());
    return static_cast<int>(d->saved.size());
}

BOOL RestoreDC(HDC dc, int savedLevel) {
    DCObj* d = DCOrFail(dc);
    if (!d) return FALSE;
    const int n = static_cast<int>(d->saved.size());
    const int level = savedLevel < 0 ? n + savedLevel + 1 : savedLevel;
    if (level < 1 || level > n) return FALSE;
    DCState restored = d->saved[static_cast<std::size_t>(level - 1)];
    for (int i = level; i < n; ++i) ReleaseState(d->saved[static_cast<std::size_t>(i)]);
    d->saved.resize(static_cast<std::size_t>(level - 1));
    ReleaseState(d->st);
    const HBITMAP current = d->st.bitmap;
    d->st = std::move(restored);
    if (d->memoryDC) {
        const HBITMAP wanted = d->st.bitmap;
        d->st.bitmap = current;
        if (wanted != current && !SelectBitmapInto(*d, wanted)) SelectBitmapInto(*d, current);
    }
    d->InvalidateClip();
    return TRUE;
}

int GetDeviceCaps(HDC dc, int index) {
    DCObj* d = DCOrFail(dc);
    if (!d) return 0;
    for (const auto& [i, v] : d->capsOverride)
        if (i == index) return v;
    BitmapObj* t = d->TargetFormat();
    const int w = t ? t->width : 0, h = t ? t->height : 0;
    switch (index) {
        case BITSPIXEL:
            return t ? t->bpp : 32;
        case PLANES:
            return 1;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        case HORZRES:
            return w;
        case VERTRES:
            return h;
        case HORZSIZE:
            return MulDiv(w, 254, 960);
        case VERTSIZE:
            return MulDiv(h, 254, 960);
        case NUMCOLORS:
            if (d->paletteDevice) return 20; // the static colours
            return (t && t->Mono()) ? 2 : -1;
        case SIZEPALETTE:
            return d->paletteDevice ? 1 << std::clamp(GetDeviceCaps(dc, BITSPIXEL), 1, 8) : 0;
        case RASTERCAPS:
            // RC_BITBLT | RC_BITMAP64 | RC_STRETCHBLT
            return 0x0001 | 0x0008 | 0x0800 | (d->paletteDevice ? RC_PALETTE : 0);
        default:
            return 0;
    }
}

// --- Attributes ---

#define TRESTLE_DC_ATTR(Set, Get, Type, field, bad)                                                          \
    Type Set(HDC dc, Type value) {                                                                           \
        DCObj* d = DCOrFail(dc);                                                                             \
        if (!d) return bad;                                                                                  \
        Type old = d->st.field;                                                                              \
        d->st.field = value;                                                                                 \
        return old;                                                                                          \
    }                                                                                                        \
    Type Get(HDC dc) {                                                                                       \
        DCObj* d = DCOrFail(dc);                                                                             \
        return d ? d->st.field : bad;                                                                        \
    }

TRESTLE_DC_ATTR(SetTextColor, GetTextColor, COLORREF, textColor, CLR_INVALID)
TRESTLE_DC_ATTR(SetBkColor, GetBkColor, COLORREF, bkColor, CLR_INVALID)
TRESTLE_DC_ATTR(SetTextAlign, GetTextAlign, UINT, textAlign, 0xFFFFFFFFu)
#undef TRESTLE_DC_ATTR

namespace {

// Setters of enumerated modes refuse values outside their range with 0.
int SetMode(HDC dc, int DCState::*field, int value, int lo, int hi) {
    DCObj* d = DCOrFail(dc);
    if (!d) return 0;
    if (value < lo || value > hi) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int old = d->st.*field;
    d->st.*field = value;
    return old;
}

int GetMode(HDC dc, int DCState::*field) {
    DCObj* d = DCOrFail(dc);
    return d ? d->st.*field : 0;
}

BOOL SetOrg(HDC dc, POINT DCState::*field, int x, int y, POINT* old, bool relative) {
    DCObj* d = DCOrFail(dc);
    if (!d) return FALSE;
    POINT& p = d->st.*field;
    if (old) *old = p;
    if (relative)
        p = POINT{ClampCoord(static_cast<long long>(p.x) + x), ClampCoord(static_cast<long long>(p.y) + y)};
    else
        p = POINT{ClampCoord(x), ClampCoord(y)};
    return TRUE;
}

BOOL GetOrg(HDC dc, POINT DCState::*field, POINT* out) {
    DCObj* d = DCOrFail(dc);
    if (!d || !out) return FALSE;
    *out = d->st.*field;
    return TRUE;
}

} // namespace

int SetBkMode(HDC dc, int mode) {
    return SetMode(dc, &DCState::bkMode, mode, TRANSPARENT, OPAQUE);
}
int GetBkMode(HDC dc) {
    return GetMode(dc, &DCState::bkMode);
}
int SetROP2(HDC dc, int rop2) {
    return SetMode(dc, &DCState::rop2, rop2, R2_BLACK, R2_WHITE);
}
int GetROP2(HDC dc) {
    return GetMode(dc, &DCState::rop2);
}
int SetPolyFillMode(HDC dc, int mode) {
    return SetMode(dc, &DCState::polyFillMode, mode, ALTERNATE, WINDING);
}
int GetPolyFillMode(HDC dc) {
    return GetMode(dc, &DCState::polyFillMode);
}
int SetStretchBltMode(HDC dc, int mode) {
    return SetMode(dc, &DCState::stretchMode, mode, BLACKONWHITE, HALFTONE);
}
int GetStretchBltMode(HDC dc) {
    return GetMode(dc, &DCState::stretchMode);
}

int SetMapMode(HDC dc, int mode) {
    DCObj* d = DCOrFail(dc);
    if (!d) return 0;
    // Only the text mapping mode exists here.
    if (mode != MM_TEXT) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return MM_TEXT;
}
int GetMapMode(HDC dc) {
    return DCOrFail(dc) ? MM_TEXT : 0;
}

BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old) {
    return SetOrg(dc, &DCState::brushOrg, x, y, old, false);
}
BOOL GetBrushOrgEx(HDC dc, POINT* org) {
    return GetOrg(dc, &DCState::brushOrg, org);
}
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old) {
    return SetOrg(dc, &DCState::windowOrg, x, y, old, false);
}
BOOL GetWindowOrgEx(HDC dc, POINT* org) {
    return GetOrg(dc, &DCState::windowOrg, org);
}
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old) {
    return SetOrg(dc, &DCState::windowOrg, dx, dy, old, true);
}
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old) {
    return SetOrg(dc, &DCState::viewportOrg, x, y, old, false);
}
BOOL GetViewportOrgEx(HDC dc, POINT* org) {
    return GetOrg(dc, &DCState::viewportOrg, org);
}
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old) {
    return SetOrg(dc, &DCState::viewportOrg, dx, dy, old, true);
}
BOOL MoveToEx(HDC dc, int x, int y, POINT* old) {
    return SetOrg(dc, &DCState::curPos, x, y, old, false);
}
BOOL GetCurrentPositionEx(HDC dc, POINT* pos) {
    return GetOrg(dc, &DCState::curPos, pos);
}

BOOL LPtoDP(HDC dc, POINT* points, int count) {
    DCObj* d = DCOrFail(dc);
    if (!d || (count > 0 && !points) || count < 0) return FALSE;
    for (int i = 0; i < count; ++i) points[i] = d->LogicalToDevice(points[i]);
    return TRUE;
}

BOOL DPtoLP(HDC dc, POINT* points, int count) {
    DCObj* d = DCOrFail(dc);
    if (!d || (count > 0 && !points) || count < 0) return FALSE;
    for (int i = 0; i < count; ++i) points[i] = d->DeviceToLogical(points[i]);
    return TRUE;
}

// ============================================================================
// Clipping
// ============================================================================

int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode) {
    DCObj* d = DCOrFail(dc);
    if (!d) return ERROR;
    if (!rgn) {
        if (mode != RGN_COPY) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return ERROR;
        }
        d->st.clip.reset();
        d->InvalidateClip();
        return ClipType(*d);
    }
    RegionObj* r = LookupRegion(rgn);
    if (!r || mode < RGN_AND || mode > RGN_COPY) {
        SetLastError(r ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return ERROR;
    }
    if (mode == RGN_COPY) {
        d->st.clip = r->rgn;
    } else {
        const Region current = d->st.clip ? *d->st.clip : Region(d->DeviceBounds());
        d->st.clip = Region::Combine(current, r->rgn, mode);
    }
    d->InvalidateClip();
    return ClipType(*d);
}

int SelectClipRgn(HDC dc, HRGN rgn) {
    return ExtSelectClipRgn(dc, rgn, RGN_COPY);
}

int GetClipRgn(HDC dc, HRGN rgn) {
    DCObj* d = DCOrFail(dc);
    RegionObj* r = LookupRegion(rgn);
    if (!d || !r) return -1;
    if (!d->st.clip) return 0;
    r->rgn = *d->st.clip;
    return 1;
}

namespace {

int CombineClipRect(HDC dc, int left, int top, int right, int bottom, int mode) {
    DCObj* d = DCOrFail(dc);
    if (!d) return ERROR;
    POINT a = d->LogicalToDevice(POINT{ClampCoord(left), ClampCoord(top)});
    POINT b = d->LogicalToDevice(POINT{ClampCoord(right), ClampCoord(bottom)});
    RECT r{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    const Region current = d->st.clip ? *d->st.clip : Region(d->DeviceBounds());
    d->st.clip = Region::Combine(current, Region(r), mode);
    d->InvalidateClip();
    return ClipType(*d);
}

} // namespace

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
    return CombineClipRect(dc, left, top, right, bottom, RGN_AND);
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
    return CombineClipRect(dc, left, top, right, bottom, RGN_DIFF);
}

int OffsetClipRgn(HDC dc, int dx, int dy) {
    DCObj* d = DCOrFail(dc);
    if (!d) return ERROR;
    if (d->st.clip) d->st.clip->Offset(ClampCoord(dx), ClampCoord(dy));
    d->InvalidateClip();
    return ClipType(*d);
}

int GetClipBox(HDC dc, RECT* r) {
    DCObj* d = DCOrFail(dc);
    if (!d || !r) return ERROR;
    const Region& clip = d->EffectiveClip();
    if (clip.Empty()) {
        *r = RECT{};
        return NULLREGION;
    }
    const RECT& b = clip.Bounds();
    POINT a = d->DeviceToLogical(POINT{b.left - d->origin.x, b.top - d->origin.y});
    *r = RECT{a.x, a.y, a.x + b.right - b.left, a.y + b.bottom - b.top};
    return clip.Type();
}

BOOL PtVisible(HDC dc, int x, int y) {
    DCObj* d = DCOrFail(dc);
    if (!d) return -1;
    POINT s = d->LogicalToSurface(POINT{ClampCoord(x), ClampCoord(y)});
    return d->EffectiveClip().Contains(s.x, s.y) ? TRUE : FALSE;
}

BOOL RectVisible(HDC dc, const RECT* r) {
    DCObj* d = DCOrFail(dc);
    if (!d || !r) return FALSE;
    RECT n{std::min(r->left, r->right), std::min(r->top, r->bottom), std::max(r->left, r->right),
           std::max(r->top, r->bottom)};
    n = RECT{ClampCoord(n.left), ClampCoord(n.top), ClampCoord(n.right), ClampCoord(n.bottom)};
    return d->EffectiveClip().Intersects(d->LogicalToSurface(n)) ? TRUE : FALSE;
}

// --- Scoped helpers ---

MemoryDC::MemoryDC(HBITMAP bitmap, HDC compatible) : MemoryDC(bitmap, compatible, false) {}

MemoryDC::MemoryDC(HBITMAP bitmap, HDC compatible, bool ownsBitmap)
    : dc_(CreateCompatibleDC(compatible)), bitmap_(bitmap), ownsBitmap_(ownsBitmap) {
    if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
}

MemoryDC::MemoryDC(int width, int height, UINT bitsPerPixel, HDC compatible)
    : MemoryDC(CreateBitmap(std::max(width, 1), std::max(height, 1), 1, bitsPerPixel == 1 ? 1 : 32, nullptr),
               compatible, true) {}

MemoryDC::~MemoryDC() {
    if (old_) SelectObject(dc_, old_);
    if (dc_) DeleteDC(dc_);
    if (ownsBitmap_ && bitmap_) DeleteObject(bitmap_);
}

} // namespace gfx
