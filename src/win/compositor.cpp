// The compositor: builds the screen image from the desktop background and the
// retained surfaces of the visible top-level windows, bottom to top, with
// window regions, layered windows and AnimateWindow's alpha and slide clip.
// Only what changed is composed again: the surfaces' dirty rectangles, the
// areas given to DirtyScreen, and whatever it finds moved, restacked, shown,
// hidden or re-layered since the last composition.
//
// Drawing on the screen's DC lands on the screen image, where it reads and
// inverts what shows. It is kept as a difference from the windows beneath
// (the overlay): where windows change under it, the new picture shows with
// the same difference applied, so an inverted drag frame stays over windows
// that repaint and goes when it is drawn once more. To know that difference
// the compositor keeps the windows' picture alone (the base) wherever screen
// DCs may draw: the base catches up with the screen image when a screen DC is
// first drawn with (most are only asked for the screen's format or measure
// text), and follows every composition while one is out or an overlay shows.
#include "win/internal.h"

#include "gfx/png.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace win {

namespace {

// What a window looked like when it was last composed.
struct Composed {
    RECT rect{};
    HBITMAP surface{};
    HRGN region{};
    RECT clip{};
    bool layered = false;
    bool byUpdate = false;
    BYTE alpha = 255;
    BYTE animationAlpha = 255;
    COLORREF key = 0;
    DWORD flags = 0;
    bool operator==(const Composed&) const = default;
};

struct CompositorState {
    HBITMAP screen{}; // what shows: the base with the overlay applied
    HBITMAP base{};   // the windows' picture alone
    RECT baseStale{}; // composed into the screen image only (screen coordinates)
    RECT overlay{};   // bounds of what screen DCs drew and still shows (screen coordinates)
    RECT virt{};
    HRGN dirty{}; // kept from the first screen on, empty between compositions
    std::uint32_t colorsVersion = 0;
    std::vector<HWND> order; // visible windows last composed, top first
    std::map<HWND, Composed> composed;
    RECT presenterChanges{};
    std::vector<HDC> screenDCs;
    std::set<HWND> attributesSet; // SetLayeredWindowAttributes was called
    std::function<void()> frameObserver;
};

CompositorState& State() {
    static CompositorState state;
    return state;
}

// A window being composed: its surface, where it goes, and how it blends.
struct Layer {
    RECT rect{};  // screen coordinates
    HRGN shape{}; // screen coordinates; nullptr = the whole rectangle
    BitmapSurface src{};
    bool perPixel = false; // premultiplied alpha in the surface
    BYTE alpha = 255;
    bool colorKey = false;
    std::uint32_t key = 0; // as a pixel
    bool Opaque() const { return !perPixel && !colorKey && alpha == 255; }
};

inline std::uint32_t Div255(std::uint32_t v) {
    v += 128;
    return (v + (v >> 8)) >> 8;
}

// AnimateWindow's "nothing shown yet": a clip that lies outside every window.
constexpr RECT kNothingShown{-1, -1, 0, 0};

bool LayeredContentSet(const detail::Window& w, const CompositorState& c) {
    return w.layeredByUpdate || c.attributesSet.count(w.handle) != 0;
}

// Fills `layer` for a window; false when nothing of it can show.
bool BuildLayer(const detail::Window& w, const CompositorState& c, Layer* layer) {
    if (!w.surface || w.Width() <= 0 || w.Height() <= 0) return false;
    if (!GetBitmapSurface(w.surface, &layer->src) || layer->src.bitsPerPixel != 32) return false;
    layer->rect = w.rect;
    int alpha = 255;
    if (w.exStyle & WS_EX_LAYERED) {
        // A layered window shows nothing until it has been given its content.
        if (!LayeredContentSet(w, c)) return false;
        if (w.layeredByUpdate) {
            layer->perPixel = w.layeredPerPixel && !(w.layeredFlags & ULW_OPAQUE);
            if (w.layeredFlags & ULW_ALPHA) alpha = w.layeredAlpha;
        } else if (w.layeredFlags & LWA_ALPHA) {
            alpha = w.layeredAlpha;
        }
        if (w.layeredFlags & LWA_COLORKEY) {
            layer->colorKey = true;
            layer->key = PixelFromColor(w.layeredKey);
        }
    }
    layer->alpha = static_cast<BYTE>(Div255(static_cast<std::uint32_t>(alpha * w.animationAlpha)));
    if (layer->alpha == 0) return false;

    const bool clipped = !IsRectEmpty(&w.animationClip);
    if (!w.windowRgn && !clipped) return true;
    HRGN shape = CreateRectRgn(0, 0, w.Width(), w.Height());
    if (w.windowRgn) CombineRgn(shape, shape, w.windowRgn, RGN_AND);
    if (clipped) {
        HRGN clip = CreateRectRgnIndirect(&w.animationClip);
        CombineRgn(shape, shape, clip, RGN_AND);
        DeleteObject(clip);
    }
    OffsetRgn(shape, w.rect.left, w.rect.top);
    RECT box;
    if (GetRgnBox(shape, &box) == NULLREGION) {
        DeleteObject(shape);
        return false;
    }
    layer->shape = shape;
    return true;
}

// Draws the part `r` (screen coordinates, inside the layer's rectangle) of a
// layer onto `dst`, whose pixel (0, 0) lies at `origin` on the screen.
void DrawLayer(const Layer& l, const BitmapSurface& dst, POINT origin, const RECT& r) {
    const int width = r.right - r.left;
    // Blending at full constant alpha without per-pixel alpha is a copy.
    const bool copy = !l.perPixel && l.alpha == 255;
    auto draw = [&](std::uint32_t* d, const std::uint32_t* s, int n) {
        if (copy)
            std::memcpy(d, s, static_cast<std::size_t>(n) * sizeof(std::uint32_t));
        else
            BlendPixels(d, s, n, l.alpha, l.perPixel);
    };
    for (int y = r.top; y < r.bottom; ++y) {
        const std::uint32_t* s = l.src.Row(y - l.rect.top) + (r.left - l.rect.left);
        std::uint32_t* d = dst.Row(y - origin.y) + (r.left - origin.x);
        if (!l.colorKey) {
            draw(d, s, width);
            continue;
        }
        // The runs of pixels that are not the key colour.
        for (int x = 0; x < width;) {
            while (x < width && (s[x] & 0xFFFFFF) == l.key) ++x;
            int end = x;
            while (end < width && (s[end] & 0xFFFFFF) != l.key) ++end;
            if (end > x) draw(d + x, s + x, end - x);
            x = end;
        }
    }
}

void FillPixels(const BitmapSurface& dst, POINT origin, const RECT& r, std::uint32_t pixel) {
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* d = dst.Row(y - origin.y) + (r.left - origin.x);
        std::fill(d, d + (r.right - r.left), pixel);
    }
}

RECT LayerBoundsIn(const Layer& l, const RECT& r) {
    RECT x{};
    IntersectRect(&x, &l.rect, &r);
    return x;
}

// Draws the layers (top first) into the area `area` of `dst`: each layer
// only where no opaque layer above it covers, the desktop where none does.
void ComposeArea(std::vector<Layer>& layers, HRGN area, const BitmapSurface& dst, POINT origin) {
    HRGN remaining = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(remaining, area, nullptr, RGN_COPY);
    std::vector<std::pair<const Layer*, HRGN>> draws;
    for (const Layer& l : layers) {
        HRGN shape = l.shape ? l.shape : CreateRectRgnIndirect(&l.rect);
        HRGN part = CreateRectRgn(0, 0, 0, 0);
        if (CombineRgn(part, remaining, shape, RGN_AND) == NULLREGION) {
            DeleteObject(part);
        } else {
            draws.emplace_back(&l, part);
            if (l.Opaque()) CombineRgn(remaining, remaining, shape, RGN_DIFF);
        }
        if (shape != l.shape) DeleteObject(shape);
    }
    const std::uint32_t desktop = PixelFromColor(GetSysColor(COLOR_BACKGROUND));
    for (const RECT& r : GetRegionRects(remaining)) FillPixels(dst, origin, r, desktop);
    DeleteObject(remaining);
    for (auto it = draws.rbegin(); it != draws.rend(); ++it) {
        for (const RECT& r : GetRegionRects(it->second))
            DrawLayer(*it->first, dst, origin, LayerBoundsIn(*it->first, r));
        DeleteObject(it->second);
    }
}

void FreeLayers(std::vector<Layer>& layers) {
    for (Layer& l : layers)
        if (l.shape) DeleteObject(l.shape);
    layers.clear();
}

void AddDirty(CompositorState& c, const RECT& r) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    if (!c.dirty) c.dirty = CreateRectRgn(0, 0, 0, 0);
    HRGN add = CreateRectRgnIndirect(&r);
    CombineRgn(c.dirty, c.dirty, add, RGN_OR);
    DeleteObject(add);
}

// The screen image follows the monitor layout; a new layout starts afresh.
void EnsureScreen(CompositorState& c) {
    const RECT virt = detail::VirtualScreenRect();
    if (c.screen && EqualRect(&virt, &c.virt)) return;
    if (c.screen) DeleteObject(c.screen);
    if (c.base) DeleteObject(c.base);
    c.screen = CreateBitmap(virt.right - virt.left, virt.bottom - virt.top, 1, 32, nullptr);
    c.base = CreateBitmap(virt.right - virt.left, virt.bottom - virt.top, 1, 32, nullptr);
    if (!c.dirty) c.dirty = CreateRectRgn(0, 0, 0, 0);
    c.virt = virt;
    c.overlay = RECT{};
    c.baseStale = RECT{};
    AddDirty(c, virt);
}

// --- The overlay ------------------------------------------------------------

// Row spans of a screen rectangle in two surfaces of the screen's size.
template <class TRow> void ForEachRow(const CompositorState& c, const RECT& r, TRow row) {
    const int x = r.left - c.virt.left;
    for (int y = r.top; y < r.bottom; ++y) row(y - c.virt.top, x, static_cast<int>(r.right - r.left));
}

void CopyPixels(const CompositorState& c, const BitmapSurface& dst, const BitmapSurface& src, const RECT& r) {
    ForEachRow(c, r, [&](int y, int x, int n) {
        std::memcpy(dst.Row(y) + x, src.Row(y) + x, static_cast<std::size_t>(n) * sizeof(std::uint32_t));
    });
}

void XorPixels(const CompositorState& c, const BitmapSurface& dst, const BitmapSurface& src, const RECT& r) {
    ForEachRow(c, r, [&](int y, int x, int n) {
        std::uint32_t* d = dst.Row(y) + x;
        const std::uint32_t* s = src.Row(y) + x;
        for (int i = 0; i < n; ++i) d[i] ^= s[i];
    });
}

// The base takes what was composed into the screen image alone.
void CatchUpBase(CompositorState& c) {
    BitmapSurface screen, base;
    if (IsRectEmpty(&c.baseStale) || !GetBitmapSurface(c.screen, &screen) || !GetBitmapSurface(c.base, &base))
        return;
    RECT stale{};
    IntersectRect(&stale, &c.baseStale, &c.virt);
    if (!IsRectEmpty(&stale)) CopyPixels(c, base, screen, stale);
    c.baseStale = RECT{};
}

// The overlay's bounds shrink to the pixels where the screen image differs
// from the base; nothing left means no overlay.
void FitOverlay(CompositorState& c, const BitmapSurface& screen, const BitmapSurface& base) {
    RECT fit{};
    ForEachRow(c, c.overlay, [&](int y, int x, int n) {
        const std::uint32_t* s = screen.Row(y) + x;
        const std::uint32_t* b = base.Row(y) + x;
        int first = 0;
        while (first < n && ((s[first] ^ b[first]) & 0xFFFFFF) == 0) ++first;
        if (first == n) return;
        int last = n - 1;
        while (((s[last] ^ b[last]) & 0xFFFFFF) == 0) --last;
        const RECT row{c.virt.left + x + first, c.virt.top + y, c.virt.left + x + last + 1,
                       c.virt.top + y + 1};
        UnionRect(&fit, &fit, &row);
    });
    c.overlay = fit;
}

// What screen DCs drew since the last look joins the overlay.
bool TakeScreenDrawing(CompositorState& c, const BitmapSurface& screen, const BitmapSurface& base,
                       RECT* drawn) {
    if (!TakeBitmapDirtyRect(c.screen, drawn)) return false;
    OffsetRect(drawn, c.virt.left, c.virt.top);
    IntersectRect(drawn, drawn, &c.virt);
    UnionRect(&c.overlay, &c.overlay, drawn);
    FitOverlay(c, screen, base);
    return true;
}

// The screen image of `area` after the base there was composed again: the
// base with the overlay applied. On entry the screen image holds, under the
// overlay, the overlay alone (see ComposeLocked).
void ShowBase(const CompositorState& c, const BitmapSurface& screen, const BitmapSurface& base, HRGN area) {
    for (const RECT& r : GetRegionRects(area)) {
        RECT under{};
        if (!IntersectRect(&under, &r, &c.overlay)) {
            CopyPixels(c, screen, base, r);
            continue;
        }
        XorPixels(c, screen, base, under);
        RECT parts[4] = {RECT{r.left, r.top, r.right, under.top},
                         RECT{r.left, under.bottom, r.right, r.bottom},
                         RECT{r.left, under.top, under.left, under.bottom},
                         RECT{under.right, under.top, r.right, under.bottom}};
        for (const RECT& p : parts)
            if (p.right > p.left && p.bottom > p.top) CopyPixels(c, screen, base, p);
    }
}

Composed Describe(const detail::Window& w) {
    return Composed{w.rect,
                    w.surface,
                    w.windowRgn,
                    w.animationClip,
                    (w.exStyle & WS_EX_LAYERED) != 0,
                    w.layeredByUpdate,
                    w.layeredAlpha,
                    w.animationAlpha,
                    w.layeredKey,
                    w.layeredFlags};
}

// The window only changed its size, keeping its top-left corner and surface.
bool SizedInPlace(const Composed& before, const Composed& now) {
    if (before.rect.left != now.rect.left || before.rect.top != now.rect.top ||
        EqualRect(&before.rect, &now.rect))
        return false;
    Composed resized = before;
    resized.rect = now.rect;
    return resized == now;
}

// The parts of `a` and `b` (sharing their top-left corner) outside the other.
void AddSizeChange(CompositorState& c, const RECT& a, const RECT& b) {
    const LONG right = std::max(a.right, b.right), bottom = std::max(a.bottom, b.bottom);
    AddDirty(c, RECT{std::min(a.right, b.right), a.top, right, bottom});
    AddDirty(c, RECT{a.left, std::min(a.bottom, b.bottom), right, bottom});
}

// Compares the windows with what was composed last and marks what differs.
void FindChanges(CompositorState& c) {
    const std::uint32_t colors = GetSysColorsVersion();
    if (colors != c.colorsVersion) {
        c.colorsVersion = colors;
        AddDirty(c, c.virt);
    }
    std::vector<HWND> order;
    std::map<HWND, Composed> composed;
    for (HWND h : detail::TopLevelZOrder()) {
        const detail::Window* w = detail::GetWnd(h);
        if (!w || !w->Visible() || !w->surface) continue;
        order.push_back(h);
        const Composed now = Describe(*w);
        composed[h] = now;
        std::vector<RECT> drawn;
        TakeBitmapDirtyRects(w->surface, &drawn);
        for (RECT dirty : drawn) {
            OffsetRect(&dirty, w->rect.left, w->rect.top);
            IntersectRect(&dirty, &dirty, &w->rect);
            AddDirty(c, dirty);
        }
        auto old = c.composed.find(h);
        if (old == c.composed.end()) {
            AddDirty(c, now.rect);
        } else if (SizedInPlace(old->second, now)) {
            // What both rectangles share shows the same pixels of the same
            // surface: only what was drawn there changed.
            AddSizeChange(c, old->second.rect, now.rect);
        } else if (!(old->second == now)) {
            AddDirty(c, old->second.rect);
            AddDirty(c, now.rect);
        }
    }
    for (auto& [h, old] : c.composed)
        if (!composed.count(h)) AddDirty(c, old.rect);
    // Restacking shows in the windows whose place changed among the windows
    // shown before and now: one that came or went is composed anyway, and
    // does not move the others (a menu opening on top leaves what lies below).
    if (order != c.order) {
        std::vector<HWND> before, now;
        for (HWND h : c.order)
            if (composed.count(h)) before.push_back(h);
        for (HWND h : order)
            if (c.composed.count(h)) now.push_back(h);
        for (std::size_t i = 0; i < now.size(); ++i)
            if (now[i] != before[i]) AddDirty(c, composed[now[i]].rect);
    }
    c.order = std::move(order);
    c.composed = std::move(composed);
}

RECT ComposeLocked(CompositorState& c) {
    EnsureScreen(c);
    RECT changed{};
    BitmapSurface screen, base;
    if (!c.screen || !GetBitmapSurface(c.screen, &screen) || !GetBitmapSurface(c.base, &base)) return changed;
    // Drawing through screen DCs changed the image too.
    RECT drawn{};
    if (TakeScreenDrawing(c, screen, base, &drawn)) changed = drawn;
    FindChanges(c);
    if (c.dirty) {
        HRGN bounds = CreateRectRgnIndirect(&c.virt);
        if (CombineRgn(c.dirty, c.dirty, bounds, RGN_AND) != NULLREGION) {
            std::vector<Layer> layers;
            for (HWND h : c.order) {
                Layer l;
                if (BuildLayer(*detail::GetWnd(h), c, &l)) layers.push_back(l);
            }
            const POINT origin{c.virt.left, c.virt.top};
            RECT box{};
            GetRgnBox(c.dirty, &box);
            if (IsRectEmpty(&c.overlay) && c.screenDCs.empty()) {
                // Nothing can need the base here until a screen DC draws.
                ComposeArea(layers, c.dirty, screen, origin);
                UnionRect(&c.baseStale, &c.baseStale, &box);
            } else {
                // The screen image keeps the overlay while the base under it changes.
                for (const RECT& r : GetRegionRects(c.dirty)) {
                    RECT under{};
                    if (IntersectRect(&under, &r, &c.overlay)) XorPixels(c, screen, base, under);
                }
                ComposeArea(layers, c.dirty, base, origin);
                ShowBase(c, screen, base, c.dirty);
            }
            FreeLayers(layers);
            UnionRect(&changed, &changed, &box);
        }
        DeleteObject(bounds);
        SetRectRgn(c.dirty, 0, 0, 0, 0);
    }
    UnionRect(&c.presenterChanges, &c.presenterChanges, &changed);
    return changed;
}

} // namespace

// ============================================================================
// Internal entry points
// ============================================================================

namespace detail {

// Surfaces grow but never shrink, so that a window whose size goes back and
// forth keeps one bitmap; the compositor reads only the window's part.
void EnsureSurface(Window& w) {
    // Taking WS_EX_LAYERED away drops what layering gave the window; set
    // again, the window starts without attributes or content.
    if (!(w.exStyle & WS_EX_LAYERED)) {
        w.layeredByUpdate = false;
        w.layeredPerPixel = false;
        w.layeredFlags = 0;
        w.layeredAlpha = 255;
        w.layeredKey = 0;
        State().attributesSet.erase(w.handle);
    }
    const int width = std::max<int>(1, w.Width());
    const int height = std::max<int>(1, w.Height());
    BitmapSurface old;
    if (w.surface && GetBitmapSurface(w.surface, &old) && width <= old.width && height <= old.height) return;
    HBITMAP surface = CreateBitmap(std::max(width, old.width), std::max(height, old.height), 1, 32, nullptr);
    if (!surface) return;
    BitmapSurface fresh;
    if (w.surface && old.bits && GetBitmapSurface(surface, &fresh)) {
        for (int y = 0; y < old.height; ++y)
            std::memcpy(fresh.Row(y), old.Row(y),
                        static_cast<std::size_t>(old.width) * sizeof(std::uint32_t));
    }
    if (w.surface) DeleteObject(w.surface);
    w.surface = surface;
}

void FreeSurface(Window& w) {
    Guard g(Lock());
    if (w.surface) DeleteObject(w.surface);
    w.surface = nullptr;
    State().attributesSet.erase(w.handle);
}

void DirtyScreen(const RECT& r) {
    Guard g(Lock());
    AddDirty(State(), r);
}

RECT TakeScreenChanges() {
    Guard g(Lock());
    CompositorState& c = State();
    ComposeLocked(c);
    RECT changes = c.presenterChanges;
    c.presenterChanges = RECT{};
    return changes;
}

HDC GetScreenDC(HRGN visRgn) {
    Guard g(Lock());
    CompositorState& c = State();
    EnsureScreen(c);
    HDC dc = CreateSurfaceDC(c.screen, POINT{-c.virt.left, -c.virt.top}, visRgn);
    if (!dc) return nullptr;
    // What this DC draws is told from the base, which must show what the
    // screen image shows outside the overlay by then.
    SetSurfaceDCFirstUse(dc, [] {
        Guard inner(Lock());
        CatchUpBase(State());
    });
    SetDCDeviceCaps(dc, HORZRES, SystemMetric(SM_CXSCREEN));
    SetDCDeviceCaps(dc, VERTRES, SystemMetric(SM_CYSCREEN));
    SetDCDeviceCaps(dc, BITSPIXEL, ScreenBitsPerPixel());
    c.screenDCs.push_back(dc);
    return dc;
}

bool ReleaseScreenDC(HDC dc) {
    Guard g(Lock());
    auto& dcs = State().screenDCs;
    auto it = std::find(dcs.begin(), dcs.end(), dc);
    if (it == dcs.end()) return false;
    dcs.erase(it);
    DeleteDC(dc);
    return true;
}

void SetFrameObserver(std::function<void()> observer) {
    Guard g(Lock());
    State().frameObserver = std::move(observer);
}

void ResetCompositorState() {
    Guard g(Lock());
    CompositorState& c = State();
    for (HDC dc : c.screenDCs) DeleteDC(dc);
    if (c.dirty) DeleteObject(c.dirty);
    if (c.screen) DeleteObject(c.screen);
    if (c.base) DeleteObject(c.base);
    c = CompositorState{};
}

} // namespace detail

// ============================================================================
// Composition and pictures
// ============================================================================

RECT ComposeScreen() {
    detail::Guard g(detail::Lock());
    return ComposeLocked(State());
}

HBITMAP GetScreenBitmap() {
    detail::Guard g(detail::Lock());
    CompositorState& c = State();
    ComposeLocked(c);
    return c.screen;
}

COLORREF ScreenPixel(POINT p) {
    detail::Guard g(detail::Lock());
    CompositorState& c = State();
    ComposeLocked(c);
    BitmapSurface s;
    if (!PtInRect(&c.virt, p) || !GetBitmapSurface(c.screen, &s)) return CLR_INVALID;
    return ColorFromPixel(s.Row(p.y - c.virt.top)[p.x - c.virt.left]);
}

bool SnapshotScreen(const std::string& pngPath) {
    detail::Guard g(detail::Lock());
    CompositorState& c = State();
    ComposeLocked(c);
    return SaveBitmapToPng(c.screen, pngPath);
}

bool SnapshotRect(const RECT& screenRect, const std::string& pngPath) {
    detail::Guard g(detail::Lock());
    CompositorState& c = State();
    ComposeLocked(c);
    RECT part = screenRect;
    OffsetRect(&part, -c.virt.left, -c.virt.top);
    return SaveBitmapToPng(c.screen, pngPath, &part);
}

bool SnapshotWindow(HWND hwnd, const std::string& pngPath) {
    detail::Guard g(detail::Lock());
    const detail::Window* w = detail::WndOrFail(hwnd);
    if (!w) return false;
    const detail::Window* top = detail::GetWnd(detail::TopLevelOf(hwnd));
    const RECT area = detail::WindowRectOnScreen(*w);
    if (!top || area.right <= area.left || area.bottom <= area.top) return false;
    HBITMAP picture = CreateBitmap(area.right - area.left, area.bottom - area.top, 1, 32, nullptr);
    BitmapSurface dst;
    if (!picture || !GetBitmapSurface(picture, &dst)) {
        if (picture) DeleteObject(picture);
        return false;
    }
    std::vector<Layer> layers(1);
    if (!BuildLayer(*top, State(), &layers[0])) layers.clear();
    HRGN rgn = CreateRectRgnIndirect(&area);
    ComposeArea(layers, rgn, dst, POINT{area.left, area.top});
    DeleteObject(rgn);
    FreeLayers(layers);
    const bool ok = SaveBitmapToPng(picture, pngPath);
    DeleteObject(picture);
    return ok;
}

// ============================================================================
// Layered windows
// ============================================================================

namespace {

// A top-level window with WS_EX_LAYERED, or nullptr with the error set.
detail::Window* LayeredWindow(HWND hwnd) {
    detail::Window* w = detail::WndOrFail(hwnd);
    if (!w) return nullptr;
    if (!(w->exStyle & WS_EX_LAYERED) || w->IsChild()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return w;
}

// The pixels of a source DC and a point of it in device coordinates; false
// when the DC holds no bitmap.
bool SourcePixels(HDC srcDC, POINT from, BitmapSurface* src, POINT* device) {
    if (!GetBitmapSurface(handle_cast<HBITMAP>(GetCurrentObject(srcDC, OBJ_BITMAP)), src)) return false;
    *device = from;
    return LPtoDP(srcDC, device, 1) != FALSE;
}

// Copies the window-sized part of the source at `from` into the surface;
// pixels outside the source are transparent.
void CopyFromSource(detail::Window& w, const BitmapSurface& src, POINT from, bool keepAlpha) {
    BitmapSurface dst;
    if (!GetBitmapSurface(w.surface, &dst)) return;
    const int width = w.Width(), height = w.Height();
    for (int y = 0; y < height; ++y) {
        std::uint32_t* d = dst.Row(y);
        const int sy = from.y + y;
        for (int x = 0; x < width; ++x) {
            const int sx = from.x + x;
            if (sy < 0 || sy >= src.height || sx < 0 || sx >= src.width) {
                d[x] = 0;
                continue;
            }
            const std::uint32_t p = src.Row(sy)[sx];
            d[x] = keepAlpha ? p : (p | 0xFF000000u);
        }
    }
}

} // namespace

BOOL UpdateLayeredWindow(HWND hwnd, HDC, const POINT* dstPos, const SIZE* size, HDC srcDC,
                         const POINT* srcPos, COLORREF key, const BLENDFUNCTION* blend, DWORD flags) {
    if ((flags & ~(ULW_COLORKEY | ULW_ALPHA | ULW_OPAQUE)) || ((flags & ULW_ALPHA) && !blend) ||
        (size && (size->cx <= 0 || size->cy <= 0))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    BitmapSurface src;
    POINT from{};
    if (srcDC && !SourcePixels(srcDC, srcPos ? *srcPos : POINT{}, &src, &from)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    {
        detail::Guard g(detail::Lock());
        detail::Window* w = LayeredWindow(hwnd);
        if (!w) return FALSE;
        // Once given attributes, a window keeps them until it is layered anew.
        if (State().attributesSet.count(hwnd)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        // The window moves and sizes without a message: whoever updates it
        // draws its content for the new place itself.
        const POINT pos = dstPos ? *dstPos : POINT{w->rect.left, w->rect.top};
        const SIZE extent = size ? *size : SIZE{w->Width(), w->Height()};
        detail::PlaceWithoutMessages(*w, pos.x, pos.y, extent.cx, extent.cy);
        detail::EnsureSurface(*w);
        const bool perPixel = (flags & ULW_ALPHA) && (blend->AlphaFormat & AC_SRC_ALPHA);
        if (srcDC) CopyFromSource(*w, src, from, perPixel);
        w->layeredByUpdate = true;
        w->layeredPerPixel = perPixel;
        w->layeredFlags = flags;
        w->layeredAlpha = (flags & ULW_ALPHA) ? blend->SourceConstantAlpha : 255;
        w->layeredKey = key;
        detail::DirtyScreen(w->rect);
    }
    detail::CheckMouseTracking();
    return TRUE;
}

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags) {
    if (flags & ~(LWA_COLORKEY | LWA_ALPHA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    detail::Guard g(detail::Lock());
    detail::Window* w = LayeredWindow(hwnd);
    if (!w) return FALSE;
    w->layeredByUpdate = false;
    w->layeredPerPixel = false;
    w->layeredKey = key;
    w->layeredAlpha = alpha;
    w->layeredFlags = flags;
    State().attributesSet.insert(hwnd);
    detail::DirtyScreen(w->rect);
    return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags) {
    detail::Guard g(detail::Lock());
    detail::Window* w = LayeredWindow(hwnd);
    if (!w) return FALSE;
    if (!State().attributesSet.count(hwnd)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (key) *key = w->layeredKey;
    if (alpha) *alpha = w->layeredAlpha;
    if (flags) *flags = w->layeredFlags;
    return TRUE;
}

// ============================================================================
// AnimateWindow
// ============================================================================

namespace {

constexpr DWORD kFrameMs = 10;
constexpr DWORD kDirections = AW_HOR_POSITIVE | AW_HOR_NEGATIVE | AW_VER_POSITIVE | AW_VER_NEGATIVE;

// The part of a width x height window shown at `shown` (0..1) of a slide or roll.
RECT ShownPart(DWORD flags, int width, int height, double shown) {
    const int w = static_cast<int>(width * shown + 0.5);
    const int h = static_cast<int>(height * shown + 0.5);
    RECT r{0, 0, width, height};
    if (flags & AW_CENTER) {
        r = RECT{(width - w) / 2, (height - h) / 2, (width - w) / 2 + w, (height - h) / 2 + h};
    } else {
        if (flags & AW_HOR_POSITIVE) r.right = w;
        if (flags & AW_HOR_NEGATIVE) r.left = width - w;
        if (flags & AW_VER_POSITIVE) r.bottom = h;
        if (flags & AW_VER_NEGATIVE) r.top = height - h;
    }
    if (r.right <= r.left || r.bottom <= r.top) return kNothingShown;
    if (r == RECT{0, 0, width, height}) return RECT{};
    return r;
}

// Puts one frame in place; false when the window is gone.
bool SetFrame(HWND hwnd, DWORD flags, double shown) {
    std::function<void()> observer;
    {
        detail::Guard g(detail::Lock());
        detail::Window* w = detail::GetWnd(hwnd);
        if (!w) return false;
        if (flags & AW_BLEND)
            w->animationAlpha = static_cast<BYTE>(255 * shown + 0.5);
        else
            w->animationClip = ShownPart(flags, w->Width(), w->Height(), shown);
        detail::DirtyScreen(detail::WindowRectOnScreen(*w));
        observer = State().frameObserver;
    }
    if (observer) observer();
    return true;
}

void EndAnimation(HWND hwnd) {
    detail::Guard g(detail::Lock());
    if (detail::Window* w = detail::GetWnd(hwnd)) {
        w->animationAlpha = 255;
        w->animationClip = RECT{};
        detail::DirtyScreen(detail::WindowRectOnScreen(*w));
    }
}

} // namespace

BOOL AnimateWindow(HWND hwnd, DWORD time, DWORD flags) {
    const bool hide = (flags & AW_HIDE) != 0;
    {
        detail::Guard g(detail::Lock());
        detail::Window* w = detail::WndOrFail(hwnd);
        if (!w) return FALSE;
        if (w->threadId != GetCurrentThreadId()) {
            SetLastError(ERROR_SUCCESS);
            return FALSE;
        }
        const bool blend = (flags & AW_BLEND) != 0;
        if ((blend && w->IsChild()) || (!blend && !(flags & AW_CENTER) && !(flags & kDirections))) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (w->Visible() != hide) return FALSE;
    }
    if (!hide) {
        if (!SetFrame(hwnd, flags, 0.0)) return FALSE;
        ShowWindow(hwnd, (flags & AW_ACTIVATE) ? SW_SHOW : SW_SHOWNA);
        UpdateWindow(hwnd);
    }
    // Frames follow the clock; Sleep moves a manual clock, so the animation
    // always finishes.
    const std::uint64_t start = ClockNow();
    for (;;) {
        const std::uint64_t elapsed = ClockNow() - start;
        const double progress = time == 0 ? 1.0 : std::min(1.0, static_cast<double>(elapsed) / time);
        if (!SetFrame(hwnd, flags, hide ? 1.0 - progress : progress)) return FALSE;
        if (progress >= 1.0) break;
        Sleep(static_cast<DWORD>(std::min<std::uint64_t>(kFrameMs, time - elapsed)));
    }
    if (hide) ShowWindow(hwnd, SW_HIDE);
    EndAnimation(hwnd);
    return IsWindow(hwnd);
}

} // namespace win
