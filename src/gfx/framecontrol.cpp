// DrawFrameControl: buttons, caption buttons, scroll arrows, the size grip
// and menu marks in the classic look. The glyphs are small pixel shapes sized
// from the rectangle, in the proportions of the original's symbol font.
#include "gfx/draw.h"
#include "gfx/internal.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace gfx {
namespace {

using detail::ClampCoord;

// Shapes stop growing here; nobody draws a glyph this large.
constexpr int kMaxShape = 1024;

// Colours are system colour indexes or one of these.
constexpr int kBlack = 100;
constexpr int kWhite = 101;
constexpr int kInk = 102; // a shape's pixel painted in the colour given when painting

HBRUSH BrushOf(int color) {
    if (color == kBlack) return handle_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    if (color == kWhite) return handle_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    return GetSysColorBrush(color);
}

void FillColor(HDC dc, const RECT& r, int color) {
    if (r.left < r.right && r.top < r.bottom) FillRect(dc, &r, BrushOf(color));
}

// A small picture: a colour per pixel, or -1 where it leaves the DC alone.
class Shape {
public:
    Shape(int w, int h)
        : w_(std::max(0, w)), h_(std::max(0, h)), px_(static_cast<std::size_t>(w_) * h_, -1) {}
    int Width() const { return w_; }
    int Height() const { return h_; }
    void Set(int x, int y, int color = kInk) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) px_[Index(x, y)] = color;
    }
    void Fill(int l, int t, int r, int b, int color = kInk) {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) Set(x, y, color);
    }
    // Paints the pixels that fall inside `bounds` with (x, y) as the shape's
    // top-left corner; all of them in `only` when it is given.
    void Paint(HDC dc, long long x, long long y, const RECT& area, int only = -1) const {
        RECT box{}, bounds{};
        if (GetClipBox(dc, &box) == ERROR || !IntersectRect(&bounds, &area, &box)) return;
        for (int row = 0; row < h_; ++row) {
            long long py = y + row;
            if (py < bounds.top || py >= bounds.bottom) continue;
            for (int col = 0; col < w_;) {
                int c = px_[Index(col, row)];
                int end = col + 1;
                while (end < w_ && px_[Index(end, row)] == c) ++end;
                if (c >= 0) {
                    long long l = std::max<long long>(x + col, bounds.left);
                    long long r = std::min<long long>(x + end, bounds.right);
                    if (l < r)
                        FillColor(dc,
                                  RECT{static_cast<LONG>(l), static_cast<LONG>(py), static_cast<LONG>(r),
                                       static_cast<LONG>(py + 1)},
                                  only >= 0 ? only : c);
                }
                col = end;
            }
        }
    }

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * w_ + x; }
    int w_, h_;
    std::vector<int> px_;
};

// --- Glyphs ---

// The check mark: a stroke `t` pixels tall falling to its lowest point at
// about a third of the width, then rising to the top-right corner.
Shape CheckMark(int s) {
    Shape m(s, s);
    int t = std::max(1, std::min(s * 3 / 7, 2 + s / 6)); // 3 at the classic 7 pixels
    int low = std::max((s - 1) / 3, t - 1);
    for (int c = 0; c < s; ++c) {
        int top = (s - t) - std::abs(low - c);
        for (int k = 0; k < t; ++k) m.Set(c, top + k);
    }
    return m;
}

// A round dot of diameter d.
Shape Dot(int d) {
    Shape m(d, d);
    for (int y = 0; y < d; ++y)
        for (int x = 0; x < d; ++x) {
            int dx = 2 * x + 1 - d, dy = 2 * y + 1 - d;
            if (dx * dx + dy * dy <= d * d - 4) m.Set(x, y);
        }
    return m;
}

enum class Direction { Up, Down, Left, Right };

// A solid triangle `th` pixels deep with a base of 2 th - 1 pixels.
Shape Arrow(int th, Direction dir) {
    bool vertical = dir == Direction::Up || dir == Direction::Down;
    Shape m(vertical ? 2 * th - 1 : th, vertical ? th : 2 * th - 1);
    for (int i = 0; i < th; ++i) {
        // Row (or column) i from the tip holds 2 i + 1 pixels.
        int depth = (dir == Direction::Up || dir == Direction::Left) ? i : th - 1 - i;
        if (vertical)
            m.Fill(th - 1 - i, depth, th + i, depth + 1);
        else
            m.Fill(depth, th - 1 - i, depth + 1, th + i);
    }
    return m;
}

Shape CloseGlyph(int h) {
    int w = h + 1;
    Shape m(w, h);
    for (int row = 0; row < h; ++row) {
        int x = h == 1 ? 0 : (2 * row * (w - 2) + (h - 1)) / (2 * (h - 1));
        m.Fill(x, row, x + 2, row + 1);
        m.Fill(w - 2 - x, row, w - x, row + 1);
    }
    return m;
}

Shape MinimizeGlyph(int h) {
    int w = h + 1;
    Shape m(w, h);
    m.Fill(0, h - 2, w - 2, h);
    return m;
}

// A window outline: a two-pixel title bar on a one-pixel frame.
void WindowOutline(Shape& m, int l, int t, int w, int h) {
    m.Fill(l, t, l + w, t + 2);
    m.Fill(l, t, l + 1, t + h);
    m.Fill(l + w - 1, t, l + w, t + h);
    m.Fill(l, t + h - 1, l + w, t + h);
}

Shape MaximizeGlyph(int w, int h) {
    Shape m(w, h);
    WindowOutline(m, 0, 0, w, h);
    return m;
}

Shape RestoreGlyph(int w, int h) {
    Shape m(w, h);
    int ox = w / 3, oy = h / 3;
    WindowOutline(m, ox, 0, w - ox, h - oy);
    m.Fill(0, oy, w - ox, h, -1);
    WindowOutline(m, 0, oy, w - ox, h - oy);
    return m;
}

Shape HelpGlyph(int w, int h) {
    static const char* const kQuestion[] = {
        ".XXXX.", "XX..XX", "....XX", "...XX.", "..XX..", "..XX..", "......", "..XX..", "..XX..",
    };
    constexpr int kW = 6, kH = 9;
    Shape m(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (kQuestion[y * kH / h][x * kW / w] == 'X') m.Set(x, y);
    return m;
}

// --- Parts of controls ---

struct Box {
    long long left, top, width, height;
    RECT Rect() const {
        return RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(left + width),
                    static_cast<LONG>(top + height)};
    }
};

// The shorter side of the rectangle, as far as shapes grow.
int ShapeSize(const RECT& r) {
    return static_cast<int>(std::clamp<LONG>(std::min(r.Width(), r.Height()), 0, kMaxShape));
}

// Puts a w x h shape in the middle of the rectangle.
Box Centered(const RECT& r, int w, int h) {
    return Box{r.left + (static_cast<long long>(r.Width()) - w) / 2,
               r.top + (static_cast<long long>(r.Height()) - h) / 2, w, h};
}

// A glyph on a button face: shifted when pushed, embossed when disabled.
void PaintGlyph(HDC dc, const Shape& glyph, const RECT& r, UINT state) {
    Box b = Centered(r, glyph.Width(), glyph.Height());
    if (state & DFCS_PUSHED) ++b.left, ++b.top;
    if (state & DFCS_INACTIVE) {
        glyph.Paint(dc, b.left + 1, b.top + 1, r, COLOR_BTNHIGHLIGHT);
        glyph.Paint(dc, b.left, b.top, r, COLOR_BTNSHADOW);
    } else {
        glyph.Paint(dc, b.left, b.top, r, COLOR_BTNTEXT);
    }
}

// The checked look of a push button and the indeterminate check box: every
// other pixel highlighted.
void FillDithered(HDC dc, const RECT& r) {
    if (r.left >= r.right || r.top >= r.bottom) return;
    std::uint32_t face = PixelFromColor(GetSysColor(COLOR_BTNFACE));
    std::uint32_t light = PixelFromColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    std::uint32_t bits[64];
    for (int i = 0; i < 64; ++i) bits[i] = ((i + (i >> 3)) & 1) ? face : light;
    HBITMAP bmp = CreateBitmap(8, 8, 1, 32, bits);
    HBRUSH brush = bmp ? CreatePatternBrush(bmp) : nullptr;
    if (brush)
        FillRect(dc, &r, brush);
    else
        FillColor(dc, r, COLOR_BTNFACE);
    if (brush) DeleteObject(brush);
    if (bmp) DeleteObject(bmp);
}

UINT EdgeLookFlags(UINT state) {
    UINT flags = 0;
    if (state & DFCS_FLAT) flags |= BF_FLAT;
    if (state & DFCS_MONO) flags |= BF_MONO;
    return flags;
}

// The raised face of a push button, sunken when pushed or checked; scroll
// arrows go flat when pushed.
void DrawButtonFace(HDC dc, const RECT& r, UINT state, bool flatWhenPushed) {
    bool pushed = state & DFCS_PUSHED;
    bool checked = (state & DFCS_CHECKED) && !pushed;
    UINT edge = (pushed || checked) ? EDGE_SUNKEN : EDGE_RAISED;
    UINT flags = BF_RECT | BF_SOFT | BF_ADJUST | EdgeLookFlags(state);
    if (pushed && flatWhenPushed) flags |= BF_FLAT;
    bool fill = !(state & DFCS_TRANSPARENT);
    if (fill && !checked) flags |= BF_MIDDLE;
    RECT inner = r;
    DrawEdge(dc, &inner, edge, flags);
    if (fill && checked) FillDithered(dc, inner);
}

void AdjustForEdge(RECT* rect, UINT state) {
    if (!(state & DFCS_ADJUSTRECT)) return;
    auto move = [](LONG v, int d) {
        return static_cast<LONG>(std::clamp<long long>(static_cast<long long>(v) + d, INT32_MIN, INT32_MAX));
    };
    rect->left = move(rect->left, 2);
    rect->top = move(rect->top, 2);
    rect->right = move(rect->right, -2);
    rect->bottom = move(rect->bottom, -2);
}

// --- Controls ---

bool DrawCaptionButton(HDC dc, const RECT& r, UINT state) {
    UINT kind = state & 0xFF;
    if (kind > DFCS_CAPTIONHELP) return false;
    state &= ~DFCS_CHECKED;
    DrawButtonFace(dc, r, state, false);
    int sz = ShapeSize(r);
    int h = std::max(3, (sz - 4) * 7 / 10); // 7 in the classic 16 x 14 button
    int boxW = h + 2, boxH = h + 2;         // the window outlines are a little larger
    switch (kind) {
        case DFCS_CAPTIONCLOSE:
            PaintGlyph(dc, CloseGlyph(h), r, state);
            break;
        case DFCS_CAPTIONMIN:
            PaintGlyph(dc, MinimizeGlyph(h), r, state);
            break;
        case DFCS_CAPTIONMAX:
            PaintGlyph(dc, MaximizeGlyph(boxW, boxH), r, state);
            break;
        case DFCS_CAPTIONRESTORE:
            PaintGlyph(dc, RestoreGlyph(boxW, boxH), r, state);
            break;
        case DFCS_CAPTIONHELP:
            PaintGlyph(dc, HelpGlyph(std::max(3, boxH * 6 / 9), boxH), r, state);
            break;
    }
    return true;
}

// The ridges of the size grip run from its corner outwards: a face line, two
// shadow lines and a highlight line each.
void DrawSizeGrip(HDC dc, const RECT& r, UINT state, bool mirrored) {
    if (!(state & DFCS_TRANSPARENT)) FillColor(dc, r, COLOR_BTNFACE);
    int s = ShapeSize(r);
    Shape grip(s, s);
    for (int ridge = 0; 4 * ridge + 3 <= s - 2; ++ridge)
        for (int k = 1; k <= 3; ++k) {
            int c = 4 * ridge + k;
            int color = k == 3 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW;
            for (int u = 0; u <= c; ++u) {
                int x = mirrored ? u : s - 1 - u;
                grip.Set(x, s - 1 - (c - u), color);
            }
        }
    long long left = mirrored ? r.left : static_cast<long long>(r.right) - s;
    grip.Paint(dc, left, static_cast<long long>(r.bottom) - s, r);
}

bool DrawScrollPart(HDC dc, const RECT& r, UINT state) {
    UINT kind = state & 0xFF;
    if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
        DrawSizeGrip(dc, r, state, kind == DFCS_SCROLLSIZEGRIPRIGHT);
        return true;
    }
    Direction dir;
    switch (kind) {
        case DFCS_SCROLLUP:
            dir = Direction::Up;
            break;
        case DFCS_SCROLLDOWN:
        case DFCS_SCROLLCOMBOBOX:
            dir = Direction::Down;
            break;
        case DFCS_SCROLLLEFT:
            dir = Direction::Left;
            break;
        case DFCS_SCROLLRIGHT:
            dir = Direction::Right;
            break;
        default:
            return false;
    }
    state &= ~DFCS_CHECKED;
    DrawButtonFace(dc, r, state, true);
    int th = std::max(2, ShapeSize(r) / 4); // 4 deep, 7 wide in a 16-pixel button
    PaintGlyph(dc, Arrow(th, dir), r, state);
    return true;
}

// Menu marks are black on white so that callers can use them as masks.
bool DrawMenuMark(HDC dc, const RECT& r, UINT state) {
    UINT kind = state & 0xFF;
    int sz = ShapeSize(r);
    Shape mark(0, 0);
    switch (kind) {
        case DFCS_MENUARROW:
            mark = Arrow(std::max(2, (sz + 3) / 4), Direction::Right);
            break;
        case DFCS_MENUARROWRIGHT:
            mark = Arrow(std::max(2, (sz + 3) / 4), Direction::Left);
            break;
        case DFCS_MENUCHECK:
            mark = CheckMark(std::max(3, sz * 7 / 13));
            break;
        case DFCS_MENUBULLET:
            mark = Dot(std::max(2, sz * 6 / 13));
            break;
        default:
            return false;
    }
    if (!(state & DFCS_TRANSPARENT)) FillColor(dc, r, kWhite);
    Box b = Centered(r, mark.Width(), mark.Height());
    mark.Paint(dc, b.left, b.top, r, kBlack);
    return true;
}

void DrawCheckBox(HDC dc, const RECT& r, UINT state, bool threeState) {
    int n = ShapeSize(r);
    RECT box = Centered(r, n, n).Rect();
    UINT look = (state & DFCS_FLAT) ? BF_FLAT | BF_MONO : EdgeLookFlags(state);
    DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST | look);
    bool checked = state & DFCS_CHECKED;
    bool indeterminate = threeState && checked;
    if (indeterminate && !(state & DFCS_PUSHED))
        FillDithered(dc, box);
    else
        FillColor(dc, box, (state & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_BTNFACE : COLOR_WINDOW);
    if (!checked) return;
    Shape mark = CheckMark(std::max(1, n - 6)); // 7 x 7 in the classic 13-pixel box
    bool grey = indeterminate || (state & DFCS_INACTIVE);
    mark.Paint(dc, box.left + 1, box.top + 1, box, grey ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
}

// The radio button: two rings of one-pixel width split into a top-left and a
// bottom-right half, a well and, when checked, a dot.
void DrawRadioButton(HDC dc, const RECT& r, UINT state) {
    int n = ShapeSize(r);
    bool checked = state & DFCS_CHECKED;
    int well = (state & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_BTNFACE : COLOR_WINDOW;
    int ring[2][2] = {{COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT}, {COLOR_3DDKSHADOW, COLOR_3DLIGHT}};
    if (state & (DFCS_FLAT | DFCS_MONO)) {
        int frame = (state & DFCS_FLAT) ? COLOR_BTNSHADOW : COLOR_WINDOWFRAME;
        ring[0][0] = ring[0][1] = frame;
        ring[1][0] = ring[1][1] = well;
    }
    int dot = std::max(2, n / 3);
    Shape s(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            // Doubled coordinates of the pixel's centre relative to the middle.
            long long dx = 2 * x + 1 - n, dy = 2 * y + 1 - n;
            long long d2 = dx * dx + dy * dy;
            auto inside = [&](long long diameter) { return d2 <= diameter * diameter; };
            if (!inside(n)) continue;
            int half = (dx + dy < 0) ? 0 : 1;
            int color;
            if (!inside(n - 2))
                color = ring[0][half];
            else if (!inside(n - 4))
                color = ring[1][half];
            else if (checked && inside(dot))
                color = (state & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
            else
                color = well;
            s.Set(x, y, color);
        }
    Box b = Centered(r, n, n);
    s.Paint(dc, b.left, b.top, r);
}

bool DrawButton(HDC dc, RECT* rect, const RECT& r, UINT state) {
    switch (state & 0x1F) {
        case DFCS_BUTTONCHECK:
            DrawCheckBox(dc, r, state, false);
            return true;
        case DFCS_BUTTON3STATE:
            DrawCheckBox(dc, r, state, true);
            return true;
        case DFCS_BUTTONRADIO:
            DrawRadioButton(dc, r, state);
            return true;
        case DFCS_BUTTONPUSH:
            DrawButtonFace(dc, r, state, false);
            AdjustForEdge(rect, state);
            return true;
        default:
            return false;
    }
}

} // namespace

BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) {
    if (!detail::DCOrFail(dc)) return FALSE;
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT r{ClampCoord(rect->left), ClampCoord(rect->top), ClampCoord(rect->right), ClampCoord(rect->bottom)};
    bool ok = false;
    switch (type) {
        case DFC_BUTTON:
            ok = DrawButton(dc, rect, r, state);
            break;
        case DFC_CAPTION:
            ok = DrawCaptionButton(dc, r, state);
            if (ok) AdjustForEdge(rect, state);
            break;
        case DFC_SCROLL:
            ok = DrawScrollPart(dc, r, state);
            if (ok && (state & 0xFF) < DFCS_SCROLLSIZEGRIP) AdjustForEdge(rect, state);
            break;
        case DFC_MENU:
            ok = DrawMenuMark(dc, r, state);
            break;
        default:
            break;
    }
    if (!ok) SetLastError(ERROR_INVALID_PARAMETER);
    return ok ? TRUE : FALSE;
}

} // namespace gfx
