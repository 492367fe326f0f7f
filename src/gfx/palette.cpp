// Logical palettes: creation, entries, selection into DCs, and the colours
// that name a palette entry.

#include "gfx/internal.h"

#include <cstring>

namespace gfx::detail {

namespace {

const PaletteObj* DCPalette(const DCObj& dc) {
    if (const PaletteObj* p = LookupPalette(dc.st.palette)) return p;
    return LookupPalette(ToHandle<HPALETTE>(GetStockObject(DEFAULT_PALETTE)));
}

COLORREF EntryColor(const PALETTEENTRY& e) {
    return RGB(e.peRed, e.peGreen, e.peBlue);
}

std::size_t Nearest(const std::vector<PALETTEENTRY>& entries, COLORREF c) {
    std::size_t best = 0;
    long best2 = -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const long dr = long{entries[i].peRed} - GetRValue(c), dg = long{entries[i].peGreen} - GetGValue(c),
                   db = long{entries[i].peBlue} - GetBValue(c);
        const long d2 = dr * dr + dg * dg + db * db;
        if (best2 < 0 || d2 < best2) {
            best = i;
            best2 = d2;
        }
    }
    return best;
}

} // namespace

COLORREF ResolvePaletteColor(const DCObj& dc, COLORREF c) {
    const COLORREF rgb = c & 0xFFFFFF;
    const bool index = (c >> 24) == 1;
    if (!index && !dc.paletteDevice) return rgb;
    const PaletteObj* p = DCPalette(dc);
    if (!p || p->entries.empty()) return index ? 0 : rgb;
    std::size_t i = index ? (c & 0xFFFF) : Nearest(p->entries, rgb);
    if (i >= p->entries.size()) i = 0;
    return EntryColor(p->entries[i]);
}

} // namespace gfx::detail

namespace gfx {

using namespace detail;

HPALETTE CreatePalette(const LOGPALETTE* lp) {
    if (!lp || lp->palVersion != 0x300 || lp->palNumEntries == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto p = std::make_unique<PaletteObj>();
    p->entries.resize(lp->palNumEntries);
    // The entries run past the declared one-element array.
    std::memcpy(p->entries.data(), reinterpret_cast<const char*>(lp) + offsetof(LOGPALETTE, palPalEntry),
                p->entries.size() * sizeof(PALETTEENTRY));
    return ToHandle<HPALETTE>(Insert(std::move(p)));
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL) {
    DCObj* d = DCOrFail(dc);
    PaletteObj* p = LookupPalette(palette);
    if (!d) return nullptr;
    if (!p || !TrySelectRef(*p)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const HPALETTE old = d->st.palette;
    d->st.palette = palette;
    ReleaseSelectRef(old);
    return old;
}

UINT RealizePalette(HDC dc) {
    DCObj* d = DCOrFail(dc);
    if (!d) return GDI_ERROR;
    const PaletteObj* p = LookupPalette(d->st.palette);
    if (!d->paletteDevice || !p || p->stock) return 0;
    return static_cast<UINT>(p->entries.size());
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
    const PaletteObj* p = LookupPalette(palette);
    if (!p) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const std::size_t size = p->entries.size();
    if (!entries) return static_cast<UINT>(size);
    if (start >= size) return 0;
    const UINT n = static_cast<UINT>(std::min<std::size_t>(count, size - start));
    std::copy_n(p->entries.begin() + start, n, entries);
    return n;
}

UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries) {
    PaletteObj* p = LookupPalette(palette);
    if (!p) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const std::size_t size = p->entries.size();
    if (!entries || p->stock || start >= size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const UINT n = static_cast<UINT>(std::min<std::size_t>(count, size - start));
    std::copy_n(entries, n, p->entries.begin() + start);
    return n;
}

UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color) {
    const PaletteObj* p = LookupPalette(palette);
    if (!p) {
        SetLastError(ERROR_INVALID_HANDLE);
        return CLR_INVALID;
    }
    return static_cast<UINT>(Nearest(p->entries, color & 0xFFFFFF));
}

BOOL UpdateColors(HDC dc) {
    return DCOrFail(dc) ? TRUE : FALSE;
}

} // namespace gfx
