// Internals of the drawing layer shared by its source files: the object
// table, the object records, regions, device contexts and the raster helpers
// every primitive draws through. Not part of the public interface.
#pragma once

#include "gfx/gdi.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <vector>

namespace gfx::detail {

// ============================================================================
// Regions
// ============================================================================

// A set of pixels kept as y-x banded rectangles: bands top to bottom, and in
// a band disjoint, non-touching rectangles left to right. Adjacent bands with
// the same spans are merged, so equal sets have equal representations.
class Region {
public:
    Region() = default;
    explicit Region(const RECT& r);
    static Region FromRects(const RECT* rects, std::size_t count);
    static Region FromPolygons(const POINT* points, const INT* counts, int polygons, int fillMode);
    // `limit`, when given, keeps only the part of the shape inside it (the
    // shape itself is still that of the whole box).
    static Region FromEllipse(const RECT& box, const RECT* limit = nullptr);
    static Region FromRoundRect(const RECT& box, int ellipseWidth, int ellipseHeight,
                                const RECT* limit = nullptr);

    bool Empty() const { return rects_.empty(); }
    const std::vector<RECT>& Rects() const { return rects_; }
    const RECT& Bounds() const { return bounds_; }
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Type() const;
    bool Contains(int x, int y) const;
    bool Intersects(const RECT& r) const;
    void Offset(int dx, int dy);

    static Region Combine(const Region& a, const Region& b, int mode);
    Region Intersect(const Region& other) const { return Combine(*this, other, RGN_AND); }
    Region Intersect(const RECT& r) const { return Combine(*this, Region(r), RGN_AND); }
    Region Subtract(const RECT& r) const { return Combine(*this, Region(r), RGN_DIFF); }

    friend bool operator==(const Region& a, const Region& b) { return a.rects_ == b.rects_; }

private:
    struct Band {
        LONG top, bottom;
        std::vector<std::pair<LONG, LONG>> spans;
    };
    static Region FromBands(std::vector<Band>& bands);
    std::vector<Band> ToBands() const;
    void UpdateBounds();

    std::vector<RECT> rects_;
    RECT bounds_{};
};

// ============================================================================
// Objects
// ============================================================================

enum class Kind : std::uint8_t {
    None = 0,
    Pen = 1,
    Brush = 2,
    Font = 3,
    Bitmap = 4,
    Region = 5,
    DC = 6,
    Icon = 7,
    Palette = 8
};

struct GdiObject {
    explicit GdiObject(Kind k) : kind(k) {}
    virtual ~GdiObject() = default;
    Kind kind;
    bool stock = false;
    // Pens, brushes, fonts and palettes selected into DCs (or held by saved DC
    // states) outlive DeleteObject until the last reference goes: the count of
    // references and kDeletePending share one word, so that threads agree on
    // who frees the object without a lock. Stock objects are never counted.
    std::atomic<std::uint32_t> refs{0};
    static constexpr std::uint32_t kDeletePending = 0x80000000u;
};

struct PenObj : GdiObject {
    PenObj() : GdiObject(Kind::Pen) {}
    UINT style = PS_SOLID; // PS_ style incl. type bits
    int width = 1;
    COLORREF color = 0;
    bool extended = false; // made by ExtCreatePen
    UINT Style() const { return style & PS_STYLE_MASK; }
};

struct BrushObj : GdiObject {
    BrushObj() : GdiObject(Kind::Brush) {}
    UINT style = BS_SOLID;
    COLORREF color = 0;
    int hatch = 0;
    int sysColorIndex = -1; // >= 0: a system colour brush, colour read at use
    bool dcBrush = false;   // the DC_BRUSH stock object
    bool patternMono = false;
    // BS_PATTERN only: 8 x 8 pixels copied from the bitmap; a monochrome
    // pattern keeps 0 / 0xFFFFFF and takes the DC's colours when drawn.
    std::unique_ptr<std::array<std::uint32_t, 64>> pattern;
    std::uintptr_t patternBitmap = 0; // the handle value, reported by GetObject
};

class FontInstance; // the text module's resolved face and metrics

struct FontObj : GdiObject {
    FontObj() : GdiObject(Kind::Font) {}
    LOGFONT lf{};
    // Resolved on first use; set once, then read without a lock once
    // `resolved` is seen.
    std::shared_ptr<FontInstance> instance;
    std::atomic<bool> resolved{false};
};

// A logical palette: only resolves colours, every surface keeps 32 bits.
struct PaletteObj : GdiObject {
    PaletteObj() : GdiObject(Kind::Palette) {}
    std::vector<PALETTEENTRY> entries;
};

struct DCObj;

// Pixel memory that starts on a cache line, so that the wide stores of fills
// and blits straddle lines no more often than the row length makes them.
template <class T> struct CacheLineAllocator {
    using value_type = T;
    static constexpr std::align_val_t kAlignment{64};
    CacheLineAllocator() = default;
    template <class U> CacheLineAllocator(const CacheLineAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(::operator new(n * sizeof(T), kAlignment)); }
    void deallocate(T* p, std::size_t) { ::operator delete(p, kAlignment); }
    friend bool operator==(const CacheLineAllocator&, const CacheLineAllocator&) { return true; }
};

struct BitmapObj : GdiObject {
    BitmapObj() : GdiObject(Kind::Bitmap) {}
    int width = 0;
    int height = 0;
    int bpp = 32; // 1 or 32
    std::uint32_t* bits = nullptr;
    std::ptrdiff_t stride = 0; // pixels from one row to the next (negative for bottom-up DIBs)
    std::vector<std::uint32_t, CacheLineAllocator<std::uint32_t>> storage;
    bool dibSection = false;
    bool bottomUp = false;
    DCObj* selectedIn = nullptr;

    std::uint32_t* Row(int y) const { return bits + y * stride; }
    bool Mono() const { return bpp == 1; }

    void AddDirty(const RECT& r);
    // What changed since the last take, as one rectangle or as a few.
    bool TakeDirty(RECT* r);
    void TakeDirty(std::vector<RECT>* parts);

private:
    static constexpr int kDirtyParts = 8;
    std::mutex dirtyMutex_;
    std::array<RECT, kDirtyParts> dirty_{};
    int dirtyCount_ = 0;
    int lastDirty_ = 0; // the rectangle that took the last change
};

struct RegionObj : GdiObject {
    RegionObj() : GdiObject(Kind::Region) {}
    Region rgn;
};

// Icons and cursors: a colour bitmap and a mask, both owned by the icon.
// DeleteObject refuses them; DestroyIcon frees them.
struct IconObj : GdiObject {
    IconObj() : GdiObject(Kind::Icon) {}
    ~IconObj() override;
    bool isIcon = true;
    bool alpha = false; // the colour bitmap has alpha (the bitmaps never change)
    POINT hotspot{};
    HBITMAP color{}; // may be null: a monochrome icon keeps both halves in the mask
    HBITMAP mask{};
};

// The drawing state that SaveDC keeps and RestoreDC brings back.
struct DCState {
    HBITMAP bitmap = nullptr;
    HBRUSH brush = nullptr;
    HPEN pen = nullptr;
    HFONT font = nullptr;
    HPALETTE palette = nullptr;
    COLORREF textColor = 0x000000;
    COLORREF bkColor = 0xFFFFFF;
    COLORREF dcBrushColor = 0xFFFFFF;
    COLORREF dcPenColor = 0x000000;
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int polyFillMode = ALTERNATE;
    int stretchMode = BLACKONWHITE;
    UINT textAlign = TA_LEFT | TA_TOP;
    POINT brushOrg{};
    POINT windowOrg{};
    POINT viewportOrg{};
    POINT curPos{};
    std::optional<Region> clip; // device coordinates
};

struct DCObj : GdiObject {
    DCObj() : GdiObject(Kind::DC) {}
    bool memoryDC = true;         // false: a window system surface DC
    HBITMAP defaultBitmap{};      // a memory DC's own 1 x 1 monochrome bitmap
    HBITMAP surface{};            // a surface DC's fixed target
    POINT origin{};               // device (0, 0) on the surface
    std::optional<Region> visRgn; // device coordinates
    std::vector<std::pair<int, int>> capsOverride;
    // BITSPIXEL is overridden to 8 or fewer: PALETTERGB colours take the
    // nearest entry of the palette.
    bool paletteDevice = false;
    DCState st;
    std::vector<DCState> saved;

    // The target bitmap, or nullptr when none is usable. For drawing and
    // reading pixels (and where they may be): runs the first-use hook.
    BitmapObj* Target();
    // The same for what needs only the target's format or size.
    BitmapObj* TargetFormat() const;
    std::function<void()> firstUse; // run once, before the target is first used
    // The region that can be drawn, in surface coordinates: the target's
    // bounds, the visible region and the clip region.
    const Region& EffectiveClip();
    void InvalidateClip() { clipValid_ = false; }

    // Coordinate conversions.
    POINT LogicalToDevice(POINT p) const {
        return POINT{p.x - st.windowOrg.x + st.viewportOrg.x, p.y - st.windowOrg.y + st.viewportOrg.y};
    }
    POINT DeviceToLogical(POINT p) const {
        return POINT{p.x + st.windowOrg.x - st.viewportOrg.x, p.y + st.windowOrg.y - st.viewportOrg.y};
    }
    POINT LogicalToSurface(POINT p) const {
        POINT d = LogicalToDevice(p);
        return POINT{d.x + origin.x, d.y + origin.y};
    }
    RECT LogicalToSurface(const RECT& r) const {
        POINT a = LogicalToSurface(POINT{r.left, r.top});
        return RECT{a.x, a.y, a.x + (r.right - r.left), a.y + (r.bottom - r.top)};
    }
    // The device area: the target's bounds in device coordinates.
    RECT DeviceBounds();

private:
    Region clip_;
    bool clipValid_ = false;
};

// --- Object table ---

// Adds an object and returns its handle; nullptr (the object freed) when the
// table is full.
HGDIOBJ Insert(std::unique_ptr<GdiObject> obj);
// The object behind a handle when it is alive and of the kind asked for.
GdiObject* Lookup(HGDIOBJ h);
// `h` is any handle the table gives out: a drawing object, a DC or an icon.
template <class T, class H> T* LookupAs(H h, Kind kind) {
    GdiObject* o = Lookup(handle_cast<HGDIOBJ>(h));
    return (o && o->kind == kind) ? static_cast<T*>(o) : nullptr;
}
inline PenObj* LookupPen(HPEN h) {
    return LookupAs<PenObj>(h, Kind::Pen);
}
inline BrushObj* LookupBrush(HBRUSH h) {
    return LookupAs<BrushObj>(h, Kind::Brush);
}
inline FontObj* LookupFont(HFONT h) {
    return LookupAs<FontObj>(h, Kind::Font);
}
inline BitmapObj* LookupBitmap(HBITMAP h) {
    return LookupAs<BitmapObj>(h, Kind::Bitmap);
}
inline RegionObj* LookupRegion(HRGN h) {
    return LookupAs<RegionObj>(h, Kind::Region);
}
inline IconObj* LookupIcon(HICON h) {
    return LookupAs<IconObj>(h, Kind::Icon);
}
inline PaletteObj* LookupPalette(HPALETTE h) {
    return LookupAs<PaletteObj>(h, Kind::Palette);
}
DCObj* LookupDC(HDC h);
// The DC behind a handle, or nullptr with ERROR_INVALID_HANDLE set.
DCObj* DCOrFail(HDC h);
// Removes and frees the object behind a handle.
void Erase(HGDIOBJ h);
// Frees the object behind `h` now, or, while DCs hold it, when the last
// one lets go.
void EraseOrDefer(GdiObject& o, HGDIOBJ h);
// The number of objects in the table.
DWORD LiveObjectCount();
// Reference counting of selected objects; Release frees a pending deletion.
// TrySelectRef refuses an object whose deletion is pending.
bool TrySelectRef(GdiObject& o);
void AddSelectRef(HGDIOBJ h);
void ReleaseSelectRef(HGDIOBJ h);
template <class H> void AddSelectRef(H h) {
    AddSelectRef(handle_cast<HGDIOBJ>(h));
}
template <class H> void ReleaseSelectRef(H h) {
    ReleaseSelectRef(handle_cast<HGDIOBJ>(h));
}

template <class H> H ToHandle(HGDIOBJ h) {
    return handle_cast<H>(h);
}

// The 1 x 1 monochrome bitmap every new memory DC holds.
HBITMAP DefaultBitmap();
// The DC_PEN stock pen, whose colour is the DC's pen colour.
bool IsDCPen(const PenObj* p);
// A new DC's state: white brush, black pen, system font.
DCState DefaultState();
// Keep or let go of the objects a (current or saved) state holds.
void RetainState(const DCState& s);
void ReleaseState(const DCState& s);
// Selects a bitmap into a memory DC; false when it is selected elsewhere.
bool SelectBitmapInto(DCObj& dc, HBITMAP bitmap);

// ============================================================================
// Pixels and raster operations
// ============================================================================

// A colour as objects and DCs keep it: palette colours with their flag byte
// (they are resolved when drawn), others without.
inline COLORREF KeepColor(COLORREF c) {
    const COLORREF flag = c >> 24;
    return flag == 1 || flag == 2 ? c : c & 0xFFFFFF;
}
// A colour as the DC draws it (0x00BBGGRR): PALETTEINDEX takes the entry of
// the DC's palette (entry 0 for an index past its end), PALETTERGB the
// nearest entry on a palette device.
COLORREF ResolvePaletteColor(const DCObj& dc, COLORREF c);
inline COLORREF ResolveColor(const DCObj& dc, COLORREF c) {
    const COLORREF flag = c >> 24;
    return flag == 1 || flag == 2 ? ResolvePaletteColor(dc, c) : c & 0xFFFFFF;
}

// A COLORREF as a pixel of the target: 0x00RRGGBB for 32 bits; for a
// monochrome target the nearest of black and white.
inline std::uint32_t ColorToTargetPixel(COLORREF c, bool mono) {
    return mono ? MonoPixelFromColor(c) : PixelFromColor(c);
}
// A colour of the DC (palette colours resolved) as a pixel of its target.
inline std::uint32_t DCColorPixel(const DCObj& dc, COLORREF c, bool mono) {
    return ColorToTargetPixel(ResolveColor(dc, c), mono);
}

// A ternary raster operation on whole pixels: bit i of `code` is the result
// for pattern bit p, source bit s and destination bit d where i = p*4 + s*2 + d.
inline std::uint32_t Rop3(std::uint8_t code, std::uint32_t d, std::uint32_t s, std::uint32_t p) {
    std::uint32_t r = 0;
    for (int i = 0; i < 8; ++i) {
        if (!(code & (1u << i))) continue;
        std::uint32_t term = (i & 4) ? p : ~p;
        term &= (i & 2) ? s : ~s;
        term &= (i & 1) ? d : ~d;
        r |= term;
    }
    return r;
}
// A binary raster operation (R2_ code) of pen pixel p and destination d.
inline std::uint32_t Rop2(int rop2, std::uint32_t d, std::uint32_t p) {
    unsigned code = static_cast<unsigned>(rop2 - 1) & 0xF;
    std::uint32_t r = 0;
    if (code & 1) r |= ~p & ~d;
    if (code & 2) r |= ~p & d;
    if (code & 4) r |= p & ~d;
    if (code & 8) r |= p & d;
    return r;
}
// Whether a ternary operation reads the source, the pattern, the destination.
inline bool RopUsesSource(std::uint8_t code) {
    return ((code >> 2) & 0x33) != (code & 0x33);
}
inline bool RopUsesPattern(std::uint8_t code) {
    return ((code >> 4) & 0x0F) != (code & 0x0F);
}
inline bool RopUsesDest(std::uint8_t code) {
    return ((code >> 1) & 0x55) != (code & 0x55);
}

// A brush resolved for one drawing call on one DC: a solid pixel, or an
// 8 x 8 tile anchored at the brush origin (surface coordinates), with an
// optional mask for transparent hatch backgrounds.
struct Pattern {
    bool none = true; // the null brush: nothing is drawn
    bool solid = false;
    std::uint32_t color = 0;
    // Read only for a pattern brush, which sets all of it: a solid fill, the
    // common case, does not clear it first.
    std::array<std::uint32_t, 64> tile;
    std::uint64_t mask = ~0ull; // bit y*8+x set: the tile pixel is drawn
    int orgX = 0;
    int orgY = 0;
    std::uint32_t At(int x, int y) const {
        if (solid) return color;
        return tile[static_cast<std::size_t>((((y - orgY) & 7) << 3) | ((x - orgX) & 7))];
    }
    bool Drawn(int x, int y) const {
        return solid || ((mask >> ((((y - orgY) & 7) << 3) | ((x - orgX) & 7))) & 1);
    }
};

// Pixels a call works on for a moment: on the stack for the small sizes that
// menus draw on every frame, on the heap beyond. Not initialised.
class ScratchPixels {
public:
    explicit ScratchPixels(std::size_t n) {
        if (n > kLocal) heap_.resize(n);
    }
    ScratchPixels(const ScratchPixels&) = delete;
    ScratchPixels& operator=(const ScratchPixels&) = delete;
    std::uint32_t* data() { return heap_.empty() ? local_ : heap_.data(); }
    std::uint32_t& operator[](std::size_t i) { return data()[i]; }

private:
    static constexpr std::size_t kLocal = 256;
    std::uint32_t local_[kLocal];
    std::vector<std::uint32_t> heap_;
};

// Whether the processor runs the AVX2 paths of the raster loops.
bool HasAvx2();
// Sets `n` pixels to `value` (the widest stores the processor has).
void FillPixels(std::uint32_t* p, int n, std::uint32_t value);
// Blends `n` pixels with straight (not premultiplied) alpha over the
// destination: each channel (s * a + d * (255 - a)) / 255 rounded, the
// alpha channel a + d * (255 - a) / 255.
void BlendStraight(std::uint32_t* d, const std::uint32_t* s, int n);

// Resolves `brush` (a handle, a system colour index + 1, or nullptr for the
// DC's selected brush) for drawing on `dc`'s target.
Pattern ResolveBrush(DCObj& dc, HBRUSH brush);
Pattern SolidPattern(std::uint32_t pixel);

// Fills the rectangle (surface coordinates) with the pattern through the
// ternary operation, inside the DC's effective clip, and marks it dirty.
void FillSurfaceRect(DCObj& dc, const RECT& surfaceRect, const Pattern& pattern, DWORD rop);
// The same for every rectangle of a region (surface coordinates).
void FillSurfaceRegion(DCObj& dc, const Region& surfaceRgn, const Pattern& pattern, DWORD rop);
// Sets one pixel through a binary raster operation, honouring the clip. It
// does not mark the target dirty: callers mark the bounds of what they drew.
void PlotPixel(DCObj& dc, int sx, int sy, std::uint32_t pixel, int rop2);
// The ternary operation that applies a pen's binary operation to a brush.
inline DWORD Rop2ToRop3(int rop2) {
    const unsigned code = static_cast<unsigned>(rop2 - 1) & 0xF;
    DWORD r = 0;
    for (int i = 0; i < 8; ++i) {
        const int p = (i >> 2) & 1, d = i & 1;
        if ((code >> (p * 2 + d)) & 1) r |= 1u << i;
    }
    return r << 16;
}

// Calls fn(rect) for each clip rectangle that meets `r` (surface
// coordinates), with the rectangle already cut to the clip.
template <class Fn> void ForEachClipped(DCObj& dc, const RECT& r, Fn&& fn) {
    if (r.left >= r.right || r.top >= r.bottom) return;
    const Region& clip = dc.EffectiveClip();
    const RECT& b = clip.Bounds();
    if (r.right <= b.left || r.left >= b.right || r.bottom <= b.top || r.top >= b.bottom) return;
    for (const RECT& c : clip.Rects()) {
        if (c.top >= r.bottom) break;
        RECT x{std::max(c.left, r.left), std::max(c.top, r.top), std::min(c.right, r.right),
               std::min(c.bottom, r.bottom)};
        if (x.left < x.right && x.top < x.bottom) fn(x);
    }
}

// Clamps huge coordinates so that arithmetic on them cannot overflow.
constexpr LONG kCoordLimit = 1 << 27;
inline LONG ClampCoord(long long v) {
    return static_cast<LONG>(v < -kCoordLimit ? -kCoordLimit : (v > kCoordLimit ? kCoordLimit : v));
}

// The DC's selected font record, or the stock system font.
FontObj* SelectedFont(DCObj& dc);

} // namespace gfx::detail
