// DrawEdge and DrawFocusRect.
#include "gfx/draw.h"
#include "gfx/internal.h"

#include <algorithm>
#include <climits>

namespace gfx {
namespace {

using detail::ClampCoord;

// The system colours of one border on its top-left and bottom-right sides;
// -1 when the border is not drawn.
struct BorderColors {
    int topLeft = -1;
    int bottomRight = -1;
    bool Drawn() const { return topLeft >= 0; }
};

// Flat and mono borders have one colour all round: the outer border takes
// the shadow (flat) or the window frame, the inner one the window colour
// (mono) or the face, so that a flat, mono edge is a thin line around white.
BorderColors OuterColors(UINT edge, UINT flags) {
    UINT outer = edge & BDR_OUTER;
    if (outer == 0 || outer == BDR_OUTER) return {};
    if (flags & (BF_FLAT | BF_MONO)) {
        int c = (flags & BF_FLAT) ? COLOR_BTNSHADOW : COLOR_WINDOWFRAME;
        return {c, c};
    }
    bool soft = flags & BF_SOFT;
    if (outer == BDR_RAISEDOUTER) return {soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW};
    return {soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
}

BorderColors InnerColors(UINT edge, UINT flags) {
    UINT inner = edge & BDR_INNER;
    if (inner == 0 || inner == BDR_INNER) return {};
    if (flags & (BF_FLAT | BF_MONO)) {
        int c = (flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE;
        return {c, c};
    }
    bool soft = flags & BF_SOFT;
    if (inner == BDR_RAISEDINNER) return {soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
    return {soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT};
}

int MiddleColor(UINT flags) {
    return (flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE;
}

void Fill(HDC dc, LONG l, LONG t, LONG r, LONG b, int sysColor) {
    if (l >= r || t >= b) return;
    RECT rc{l, t, r, b};
    FillRect(dc, &rc, GetSysColorBrush(sysColor));
}

LONG SaturatedAdd(LONG v, int delta) {
    long long s = static_cast<long long>(v) + delta;
    return static_cast<LONG>(std::clamp<long long>(s, INT32_MIN, INT32_MAX));
}

RECT ClampRect(const RECT& r) {
    return RECT{ClampCoord(r.left), ClampCoord(r.top), ClampCoord(r.right), ClampCoord(r.bottom)};
}

// --- Rectangle edges ---

void DrawRectEdge(HDC dc, RECT* rect, UINT edge, UINT flags) {
    RECT r = ClampRect(*rect);
    int shrink[4] = {}; // left, top, right, bottom
    for (BorderColors c : {OuterColors(edge, flags), InnerColors(edge, flags)}) {
        if (!c.Drawn()) continue;
        // Top and left first; bottom and right go over the corners.
        if (flags & BF_TOP) Fill(dc, r.left, r.top, r.right, r.top + 1, c.topLeft);
        if (flags & BF_LEFT) Fill(dc, r.left, r.top, r.left + 1, r.bottom, c.topLeft);
        if (flags & BF_BOTTOM) Fill(dc, r.left, r.bottom - 1, r.right, r.bottom, c.bottomRight);
        if (flags & BF_RIGHT) Fill(dc, r.right - 1, r.top, r.right, r.bottom, c.bottomRight);
        if (flags & BF_LEFT) ++r.left, ++shrink[0];
        if (flags & BF_TOP) ++r.top, ++shrink[1];
        if (flags & BF_RIGHT) --r.right, ++shrink[2];
        if (flags & BF_BOTTOM) --r.bottom, ++shrink[3];
    }
    if (flags & BF_MIDDLE) Fill(dc, r.left, r.top, r.right, r.bottom, MiddleColor(flags));
    if (flags & BF_ADJUST) {
        rect->left = SaturatedAdd(rect->left, shrink[0]);
        rect->top = SaturatedAdd(rect->top, shrink[1]);
        rect->right = SaturatedAdd(rect->right, -shrink[2]);
        rect->bottom = SaturatedAdd(rect->bottom, -shrink[3]);
    }
}

// --- Diagonal edges ---

// The corner-to-corner line of a w x h box from its top-left to its
// bottom-right pixel, stepped along the longer side with rounding. Gives the
// columns [u0, u1] the line covers in row v.
struct DiagonalLine {
    long long w, h;
    void Run(long long v, long long* u0, long long* u1) const {
        if (h == 1) {
            *u0 = 0, *u1 = w - 1;
        } else if (w >= h) {
            *u0 = FirstColumn(v);
            *u1 = std::min(w - 1, FirstColumn(v + 1) - 1);
        } else {
            // One pixel per row: u = round(v (w - 1) / (h - 1)).
            *u0 = *u1 = (2 * v * (w - 1) + (h - 1)) / (2 * (h - 1));
        }
    }
    // The first column whose row, round(u (h - 1) / (w - 1)), is at least v.
    long long FirstColumn(long long v) const {
        long long num = (2 * v - 1) * (w - 1);
        long long den = 2 * (h - 1);
        if (num <= 0) return 0;
        return (num + den - 1) / den;
    }
};

// Ending at the top, the line is the top side of the shape below it (top-left
// colours); ending at the bottom, the bottom side of the shape above it.
void DrawDiagonalEdge(HDC dc, const RECT* rect, UINT edge, UINT flags) {
    bool rising; // "/" rather than "\"
    bool endTop;
    switch (flags & (BF_DIAGONAL | BF_RECT)) {
        case BF_DIAGONAL_ENDTOPRIGHT:
            rising = true, endTop = true;
            break;
        case BF_DIAGONAL_ENDBOTTOMLEFT:
            rising = true, endTop = false;
            break;
        case BF_DIAGONAL_ENDTOPLEFT:
            rising = false, endTop = true;
            break;
        case BF_DIAGONAL_ENDBOTTOMRIGHT:
            rising = false, endTop = false;
            break;
        default:
            return;
    }
    RECT r = ClampRect(*rect);
    if (r.left >= r.right || r.top >= r.bottom) return;
    RECT box{};
    if (GetClipBox(dc, &box) == ERROR) return;
    DiagonalLine line{static_cast<long long>(r.right) - r.left, static_cast<long long>(r.bottom) - r.top};
    long long vFirst = std::max<long long>(0, static_cast<long long>(box.top) - r.top);
    long long vLast = std::min<long long>(line.h, static_cast<long long>(box.bottom) - r.top);

    // Columns in rectangle coordinates, mirrored for a rising line.
    auto span = [&](long long v, long long u0, long long u1, int color) {
        if (u0 > u1) return;
        if (rising) std::swap(u0, u1), u0 = line.w - 1 - u0, u1 = line.w - 1 - u1;
        Fill(dc, static_cast<LONG>(r.left + u0), static_cast<LONG>(r.top + v),
             static_cast<LONG>(r.left + u1 + 1), static_cast<LONG>(r.top + v + 1), color);
    };
    BorderColors colors[2] = {OuterColors(edge, flags), InnerColors(edge, flags)};
    int face = endTop ? 1 : -1; // the row offset towards the face
    for (long long v = vFirst; v < vLast; ++v) {
        long long u0, u1;
        if (flags & BF_MIDDLE) {
            line.Run(v, &u0, &u1);
            // Below a falling line lies its left part; below a rising one (mirrored) too.
            bool leftPart = endTop;
            span(v, leftPart ? 0 : u0, leftPart ? u1 : line.w - 1, MiddleColor(flags));
        }
        int ring = 0;
        for (const BorderColors& c : colors) {
            if (!c.Drawn()) continue;
            long long src = v - ring * face;
            ++ring;
            if (src < 0 || src >= line.h) continue;
            line.Run(src, &u0, &u1);
            span(v, u0, u1, endTop ? c.topLeft : c.bottomRight);
        }
    }
}

} // namespace

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags) {
    if (!detail::DCOrFail(dc)) return FALSE;
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (flags & BF_DIAGONAL)
        DrawDiagonalEdge(dc, rect, edge, flags);
    else
        DrawRectEdge(dc, rect, edge, flags);
    return TRUE;
}

// --- Focus rectangle ---

BOOL DrawFocusRect(HDC hdc, const RECT* rect) {
    detail::DCObj* dc = detail::DCOrFail(hdc);
    if (!dc) return FALSE;
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!dc->Target()) return TRUE;
    long long dx = static_cast<long long>(dc->origin.x) - dc->st.windowOrg.x + dc->st.viewportOrg.x;
    long long dy = static_cast<long long>(dc->origin.y) - dc->st.windowOrg.y + dc->st.viewportOrg.y;
    RECT s{ClampCoord(rect->left + dx), ClampCoord(rect->top + dy), ClampCoord(rect->right + dx),
           ClampCoord(rect->bottom + dy)};
    if (s.left >= s.right || s.top >= s.bottom) return TRUE;

    // Every other pixel, aligned to the brush origin like the pattern brush
    // the original draws it with.
    detail::Pattern dots;
    dots.none = false;
    for (int i = 0; i < 64; ++i)
        dots.tile[static_cast<std::size_t>(i)] = ((i + (i >> 3)) & 1) ? 0u : 0xFFFFFFu;
    dots.orgX = dc->origin.x + dc->st.brushOrg.x;
    dots.orgY = dc->origin.y + dc->st.brushOrg.y;

    // The four sides must not overlap, or a pixel would be inverted twice.
    detail::FillSurfaceRect(*dc, RECT{s.left, s.top, s.right, s.top + 1}, dots, PATINVERT);
    if (s.bottom - s.top > 1) {
        detail::FillSurfaceRect(*dc, RECT{s.left, s.bottom - 1, s.right, s.bottom}, dots, PATINVERT);
        detail::FillSurfaceRect(*dc, RECT{s.left, s.top + 1, s.left + 1, s.bottom - 1}, dots, PATINVERT);
        if (s.right - s.left > 1)
            detail::FillSurfaceRect(*dc, RECT{s.right - 1, s.top + 1, s.right, s.bottom - 1}, dots,
                                    PATINVERT);
    }
    return TRUE;
}

} // namespace gfx
