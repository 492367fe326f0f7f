// Icons and cursors: a colour image and an AND mask (or a monochrome mask
// holding both halves), owned by the icon and drawn by DrawIconEx.
#include "gfx/draw.h"
#include "gfx/internal.h"

#include <algorithm>
#include <climits>
#include <memory>

namespace gfx {

namespace detail {

IconObj::~IconObj() {
    if (color) DeleteObject(color);
    if (mask) DeleteObject(mask);
}

} // namespace detail

namespace {

using detail::BitmapObj;
using detail::IconObj;

// The classic icon metric, used by DrawIcon and DI_DEFAULTSIZE.
constexpr int kDefaultIconSize = 32;

// A new w x h bitmap (monochrome or 32 bits) with the pixels of `src` where
// the two overlap and black elsewhere. A colour mask turns into white where
// it is white, as the conversion against a white background colour does.
HBITMAP CopyPixels(const BitmapObj& src, int w, int h, bool mono) {
    HBITMAP out = CreateBitmap(w, h, 1, mono ? 1 : 32, nullptr);
    BitmapObj* dst = detail::LookupBitmap(out);
    if (!dst) {
        if (out) DeleteObject(out);
        return nullptr;
    }
    for (int y = 0; y < h; ++y) {
        std::uint32_t* row = dst->Row(y);
        for (int x = 0; x < w; ++x) {
            std::uint32_t p = (x < src.width && y < src.height) ? src.Row(y)[x] : 0u;
            if (mono && !src.Mono()) p = (p & 0xFFFFFFu) == 0xFFFFFFu ? 0xFFFFFFu : 0u;
            row[x] = p;
        }
    }
    return out;
}

bool HasAlpha(const BitmapObj& b) {
    for (int y = 0; y < b.height; ++y) {
        const std::uint32_t* row = b.Row(y);
        for (int x = 0; x < b.width; ++x)
            if (row[x] >> 24) return true;
    }
    return false;
}

// A new icon record with copies of the bitmaps; nullptr when out of memory.
HICON NewIcon(const BitmapObj& mask, const BitmapObj* color, bool isIcon, POINT hotspot) {
    int w = color ? color->width : mask.width;
    int h = color ? color->height : mask.height / 2;
    if (w <= 0 || h <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto icon = std::make_unique<IconObj>();
    icon->isIcon = isIcon;
    icon->hotspot = isIcon ? POINT{w / 2, h / 2} : hotspot;
    icon->mask = CopyPixels(mask, w, color ? h : 2 * h, true);
    if (color) icon->color = CopyPixels(*color, w, h, false);
    if (!icon->mask || (color && !icon->color)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (color) icon->alpha = HasAlpha(*detail::LookupBitmap(icon->color));
    return detail::ToHandle<HICON>(detail::Insert(std::move(icon)));
}

} // namespace

HICON CreateIconIndirect(const ICONINFO* info) {
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const BitmapObj* mask = detail::LookupBitmap(info->hbmMask);
    const BitmapObj* color = info->hbmColor ? detail::LookupBitmap(info->hbmColor) : nullptr;
    if (!mask || (info->hbmColor && !color)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    POINT hotspot{static_cast<LONG>(std::min<DWORD>(info->xHotspot, INT32_MAX)),
                  static_cast<LONG>(std::min<DWORD>(info->yHotspot, INT32_MAX))};
    return NewIcon(*mask, color, info->fIcon != FALSE, hotspot);
}

HICON CopyIcon(HICON icon) {
    const IconObj* src = detail::LookupIcon(icon);
    const BitmapObj* mask = src ? detail::LookupBitmap(src->mask) : nullptr;
    if (!mask) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return nullptr;
    }
    const BitmapObj* color = src->color ? detail::LookupBitmap(src->color) : nullptr;
    return NewIcon(*mask, color, src->isIcon, src->hotspot);
}

BOOL DestroyIcon(HICON icon) {
    if (!detail::LookupIcon(icon)) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    detail::Erase(handle_cast<HGDIOBJ>(icon));
    return TRUE;
}

BOOL DestroyCursor(HCURSOR cursor) {
    return DestroyIcon(cursor);
}

BOOL GetIconInfo(HICON icon, ICONINFO* info) {
    const IconObj* src = detail::LookupIcon(icon);
    if (!src) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const BitmapObj* mask = detail::LookupBitmap(src->mask);
    const BitmapObj* color = src->color ? detail::LookupBitmap(src->color) : nullptr;
    if (!mask) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    ICONINFO out;
    out.fIcon = src->isIcon ? TRUE : FALSE;
    out.xHotspot = static_cast<DWORD>(src->hotspot.x);
    out.yHotspot = static_cast<DWORD>(src->hotspot.y);
    out.hbmMask = CopyPixels(*mask, mask->width, mask->height, true);
    if (color) out.hbmColor = CopyPixels(*color, color->width, color->height, false);
    if (!out.hbmMask || (color && !out.hbmColor)) {
        if (out.hbmMask) DeleteObject(out.hbmMask);
        if (out.hbmColor) DeleteObject(out.hbmColor);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    *info = out;
    return TRUE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
    return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
}

BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH flickerFreeBrush,
                UINT flags) {
    detail::DCObj* dc = detail::DCOrFail(hdc);
    if (!dc) return FALSE;
    const IconObj* ic = detail::LookupIcon(icon);
    const BitmapObj* mask = ic ? detail::LookupBitmap(ic->mask) : nullptr;
    if (!mask) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    if (!(flags & DI_NORMAL) || cx < 0 || cy < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const BitmapObj* color = ic->color ? detail::LookupBitmap(ic->color) : nullptr;
    const int iw = color ? std::min(color->width, mask->width) : mask->width;
    const int ih = color ? std::min(color->height, mask->height) : mask->height / 2;
    if (cx == 0) cx = (flags & DI_DEFAULTSIZE) ? kDefaultIconSize : iw;
    if (cy == 0) cy = (flags & DI_DEFAULTSIZE) ? kDefaultIconSize : ih;

    const LONG left = detail::ClampCoord(x), top = detail::ClampCoord(y);
    if (flickerFreeBrush) {
        RECT r{left, top, detail::ClampCoord(static_cast<long long>(left) + cx),
               detail::ClampCoord(static_cast<long long>(top) + cy)};
        FillRect(hdc, &r, flickerFreeBrush);
    }
    BitmapObj* target = dc->Target();
    if (!target || iw <= 0 || ih <= 0 || cx == 0 || cy == 0) return TRUE;

    const long long sx0 =
        static_cast<long long>(dc->origin.x) - dc->st.windowOrg.x + dc->st.viewportOrg.x + left;
    const long long sy0 =
        static_cast<long long>(dc->origin.y) - dc->st.windowOrg.y + dc->st.viewportOrg.y + top;
    const RECT dest{detail::ClampCoord(sx0), detail::ClampCoord(sy0), detail::ClampCoord(sx0 + cx),
                    detail::ClampCoord(sy0 + cy)};
    const bool mono = target->Mono();
    const bool blend = ic->alpha && (flags & DI_NORMAL) == DI_NORMAL && !mono;
    // Drawn at its own size, the icon's rows are read in place; scaled, each
    // destination column's source column is worked out once.
    const bool sameWidth = cx == iw, sameHeight = cy == ih;
    const int maxWidth = static_cast<int>(std::min<long long>(cx, target->width));
    detail::ScratchPixels columns(sameWidth ? 0 : maxWidth), maskBuf(sameWidth ? 0 : maxWidth),
        imageBuf(sameWidth && !mono ? 0 : maxWidth);

    detail::ForEachClipped(*dc, dest, [&](const RECT& c) {
        const int n = c.right - c.left;
        if (!sameWidth)
            for (int i = 0; i < n; ++i) columns[i] = static_cast<std::uint32_t>((c.left + i - sx0) * iw / cx);
        for (LONG py = c.top; py < c.bottom; ++py) {
            const int v = static_cast<int>(sameHeight ? py - sy0 : (py - sy0) * ih / cy);
            const std::uint32_t* m = mask->Row(v);
            const std::uint32_t* image = color ? color->Row(v) : mask->Row(v + ih);
            if (sameWidth) {
                m += c.left - sx0;
                image += c.left - sx0;
            } else {
                for (int i = 0; i < n; ++i) {
                    maskBuf[i] = m[columns[i]];
                    imageBuf[i] = image[columns[i]];
                }
                m = maskBuf.data();
                image = imageBuf.data();
            }
            if (mono) {
                for (int i = 0; i < n; ++i) imageBuf[i] = MonoPixelFromColor(ColorFromPixel(image[i]));
                image = imageBuf.data();
            }
            std::uint32_t* out = target->Row(py) + c.left;
            if (blend) {
                detail::BlendStraight(out, image, n);
            } else if ((flags & DI_NORMAL) == DI_NORMAL) {
                for (int i = 0; i < n; ++i) out[i] = (out[i] & (m[i] ? ~0u : 0u)) ^ image[i];
            } else if (flags & DI_IMAGE) {
                std::copy_n(image, n, out);
            } else {
                for (int i = 0; i < n; ++i) out[i] = m[i] ? 0xFFFFFFu : 0u;
            }
        }
        target->AddDirty(c);
    });
    return TRUE;
}

} // namespace gfx
