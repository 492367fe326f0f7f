// Painting: update regions and WM_PAINT, BeginPaint / EndPaint, window DCs on
// the top-level window's retained surface with the window's visible region,
// RedrawWindow, scrolling, and the default drawing of frames and captions.
#include "win/internal.h"

#include "gfx/draw.h"

#include <algorithm>

namespace win {

namespace detail {
namespace {

struct DcRecord {
    HWND hwnd{};
    bool own = false;
    HBITMAP surface{};
};

struct PaintState {
    std::map<HDC, DcRecord> dcs;
    // LockWindowUpdate: the locked window (the desktop locks them all), and
    // what windows under the lock would have drawn (screen coordinates).
    HWND locked{};
    HRGN withheld{};
};

PaintState& State() {
    static PaintState* state = new PaintState;
    return *state;
}

HRGN EmptyRgn() {
    return CreateRectRgn(0, 0, 0, 0);
}

bool IsEmpty(HRGN rgn) {
    RECT box{};
    return !rgn || GetRgnBox(rgn, &box) == NULLREGION;
}

HRGN CopyRgn(HRGN src) {
    HRGN r = EmptyRgn();
    if (src) CombineRgn(r, src, nullptr, RGN_COPY);
    return r;
}

RECT ClientSize(const Window& w) {
    return RECT{0, 0, w.client.right - w.client.left, w.client.bottom - w.client.top};
}

// Visible, and drawing not switched off (WM_SETREDRAW) on it or an ancestor.
// A layered window whose content came from UpdateLayeredWindow is never
// painted: its surface holds that content.
bool Drawable(const Window& w) {
    if (!IsVisibleChain(w)) return false;
    for (const Window* x = &w; x; x = x->parent ? GetWnd(x->parent) : nullptr) {
        if (x->redrawOff) return false;
        if (!x->parent && x->layeredByUpdate && (x->exStyle & WS_EX_LAYERED)) return false;
    }
    return true;
}

bool LockedOut(const Window& w) {
    const HWND locked = State().locked;
    if (!locked) return false;
    if (locked == DesktopHandle()) return true;
    for (const Window* x = &w; x; x = x->parent ? GetWnd(x->parent) : nullptr)
        if (x->handle == locked) return true;
    return false;
}

POINT ScreenOrigin(const Window& w, bool client) {
    const RECT r = client ? ClientRectOnScreen(w) : WindowRectOnScreen(w);
    return POINT{r.left, r.top};
}

// Removes a window's shape (rectangle and window region) from `rgn`, whose
// coordinates have their origin at `org` on the screen.
void SubtractShape(HRGN rgn, const Window& w, POINT org) {
    RECT r = WindowRectOnScreen(w);
    OffsetRect(&r, -org.x, -org.y);
    HRGN shape = CreateRectRgnIndirect(&r);
    if (w.windowRgn) {
        HRGN own = CopyRgn(w.windowRgn);
        OffsetRgn(own, r.left, r.top);
        CombineRgn(shape, shape, own, RGN_AND);
        DeleteRgn(own);
    }
    CombineRgn(rgn, rgn, shape, RGN_DIFF);
    DeleteRgn(shape);
}

void IntersectWindowRgn(HRGN rgn, const Window& w, POINT org) {
    if (!w.windowRgn) return;
    const POINT o = ScreenOrigin(w, false);
    HRGN own = CopyRgn(w.windowRgn);
    OffsetRgn(own, o.x - org.x, o.y - org.y);
    CombineRgn(rgn, rgn, own, RGN_AND);
    DeleteRgn(own);
}

void SubtractSiblingsAbove(HRGN rgn, const Window& w, POINT org) {
    const Window* p = w.parent ? GetWnd(w.parent) : nullptr;
    if (!p) return;
    for (HWND h : p->children) {
        if (h == w.handle) break;
        if (const Window* s = GetWnd(h); s && s->Visible()) SubtractShape(rgn, *s, org);
    }
}

struct DcArea {
    POINT origin{};
    HRGN vis{};
    HBITMAP surface{};
};

// Where a DC of the window draws on its top-level surface, and what it may touch.
bool PrepareDcArea(Window& w, bool windowDC, bool clipChildren, bool clipSiblings, DcArea* area) {
    Window* top = GetWnd(TopLevelOf(w.handle));
    if (!top) return false;
    if (!top->surface) EnsureSurface(*top);
    if (!top->surface) return false;
    area->surface = top->surface;
    area->origin = WindowOffsetInTop(w);
    if (!windowDC) {
        area->origin.x += w.client.left;
        area->origin.y += w.client.top;
    }
    area->vis = VisibleRegion(w.handle, !windowDC, clipChildren, clipSiblings);
    return true;
}

// A DC of a window under the update lock draws nothing; what it could have
// drawn is repainted when the lock goes.
void Withhold(const Window& w, bool windowDC, HRGN vis) {
    PaintState& ps = State();
    const POINT org = ScreenOrigin(w, !windowDC);
    OffsetRgn(vis, org.x, org.y);
    if (!ps.withheld) ps.withheld = EmptyRgn();
    CombineRgn(ps.withheld, ps.withheld, vis, RGN_OR);
    SetRectRgn(vis, 0, 0, 0, 0);
}

HDC MakeDC(Window& w, bool windowDC, DWORD flags, HRGN clip) {
    DcArea area;
    if (!PrepareDcArea(w, windowDC, (flags & DCX_CLIPCHILDREN) != 0, (flags & DCX_CLIPSIBLINGS) != 0, &area))
        return nullptr;
    if (clip && (flags & DCX_INTERSECTRGN)) CombineRgn(area.vis, area.vis, clip, RGN_AND);
    if (clip && (flags & DCX_EXCLUDERGN)) CombineRgn(area.vis, area.vis, clip, RGN_DIFF);
    if (!(flags & DCX_LOCKWINDOWUPDATE) && LockedOut(w)) Withhold(w, windowDC, area.vis);
    const bool own = !windowDC && (w.cls->wc.style & CS_OWNDC) && !(flags & DCX_CACHE);
    HDC dc{};
    PaintState& ps = State();
    if (own && w.ownDC) {
        auto it = ps.dcs.find(w.ownDC);
        if (it != ps.dcs.end() && it->second.surface == area.surface) {
            dc = w.ownDC;
            SetSurfaceDCArea(dc, area.origin, area.vis);
        } else {
            // The surface was replaced (a resize): the old DC drew on the old one.
            ps.dcs.erase(w.ownDC);
            DeleteDC(w.ownDC);
            w.ownDC = nullptr;
        }
    }
    if (!dc) {
        dc = CreateSurfaceDC(area.surface, area.origin, area.vis);
        if (own) w.ownDC = dc;
    }
    DeleteRgn(area.vis);
    if (dc) ps.dcs[dc] = DcRecord{w.handle, own, area.surface};
    return dc;
}

void UpdateNow(HWND hwnd, bool children) {
    bool needs = false;
    std::vector<HWND> kids;
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w) return;
        needs = NeedsPaint(*w);
        kids = w->children;
    }
    if (needs) SendMsg(hwnd, WM_PAINT, 0, 0);
    if (children)
        for (HWND k : kids) UpdateNow(k, true);
}

void EraseNow(HWND hwnd, bool children) {
    bool nc = false, erase = false;
    HRGN update{};
    std::vector<HWND> kids;
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w) return;
        kids = w->children;
        if (Drawable(*w)) {
            nc = w->ncPaintPending;
            w->ncPaintPending = false;
            erase = w->erasePending && w->updateRgn;
            w->erasePending = false;
            if (erase) update = CopyRgn(w->updateRgn);
        }
    }
    if (nc) SendMsg(hwnd, WM_NCPAINT, 1, 0);
    if (erase) {
        if (HDC dc = GetDCEx(hwnd, update, DCX_INTERSECTRGN)) {
            SendMsg(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
            ReleaseDC(hwnd, dc);
        }
        DeleteRgn(update);
    }
    if (children)
        for (HWND k : kids) EraseNow(k, true);
}

// Client rectangle or region (client coordinates) to window coordinates.
HRGN AreaInWindow(const Window& w, const RECT* r, HRGN rgn) {
    HRGN a{};
    if (rgn)
        a = CopyRgn(rgn);
    else if (r)
        a = CreateRectRgnIndirect(r);
    else
        return nullptr;
    OffsetRgn(a, w.client.left, w.client.top);
    return a;
}

void RedrawAllTopLevel(const RECT* screenRect, HRGN screenRgn, UINT flags) {
    for (HWND h : std::vector<HWND>(TopLevelZOrder())) {
        Window* w = GetWnd(h);
        if (!w) continue;
        HRGN a{};
        if (screenRgn || screenRect) {
            a = screenRgn ? CopyRgn(screenRgn) : CreateRectRgnIndirect(screenRect);
            OffsetRgn(a, -w->rect.left, -w->rect.top);
        }
        RedrawArea(*w, nullptr, a, flags | RDW_FRAME | RDW_ALLCHILDREN, nullptr);
        DeleteRgn(a);
    }
}

} // namespace

// ============================================================================
// Visible regions and invalidation (shared)
// ============================================================================

HRGN VisibleRegion(HWND hwnd, bool client, bool clipChildren, bool clipSiblings) {
    AssertLocked();
    HRGN rgn = EmptyRgn();
    Window* w = GetWnd(hwnd);
    if (!w || !Drawable(*w)) return rgn;
    const POINT org = ScreenOrigin(*w, client);
    RECT base = RECT{0, 0, w->Width(), w->Height()};
    if (client) {
        // A client area larger than its window shows only inside the window.
        OffsetRect(&base, -w->client.left, -w->client.top);
        const RECT whole = ClientSize(*w);
        IntersectRect(&base, &base, &whole);
    }
    SetRectRgn(rgn, base.left, base.top, base.right, base.bottom);
    IntersectWindowRgn(rgn, *w, org);
    if (clipChildren || (w->style & WS_CLIPCHILDREN))
        for (HWND h : w->children)
            if (const Window* c = GetWnd(h); c && c->Visible()) SubtractShape(rgn, *c, org);
    if (clipSiblings || (w->style & WS_CLIPSIBLINGS)) SubtractSiblingsAbove(rgn, *w, org);
    for (const Window* x = w; x->parent;) {
        const Window* p = GetWnd(x->parent);
        if (!p) break;
        RECT pc = ClientRectOnScreen(*p);
        OffsetRect(&pc, -org.x, -org.y);
        HRGN clip = CreateRectRgnIndirect(&pc);
        CombineRgn(rgn, rgn, clip, RGN_AND);
        DeleteRgn(clip);
        IntersectWindowRgn(rgn, *p, org);
        if (p->style & WS_CLIPSIBLINGS) SubtractSiblingsAbove(rgn, *p, org);
        x = p;
    }
    return rgn;
}

bool NeedsPaint(const Window& w) {
    return (w.updateRgn || w.ncPaintPending || w.internalPaint) && Drawable(w);
}

void RedrawArea(Window& w, const RECT* area, HRGN areaRgn, UINT flags, HWND except) {
    AssertLocked();
    if (w.handle == except) return;
    const bool invalidate = (flags & RDW_INVALIDATE) != 0;
    const bool validate = (flags & RDW_VALIDATE) != 0;
    if ((invalidate || (flags & RDW_INTERNALPAINT)) && !Drawable(w)) return;
    if (flags & RDW_INTERNALPAINT) {
        w.internalPaint = true;
        NoteArrival(w.threadId, QS_PAINT);
    }

    const RECT whole{0, 0, w.Width(), w.Height()};
    HRGN a = CreateRectRgnIndirect(&whole);
    if (areaRgn) {
        CombineRgn(a, a, areaRgn, RGN_AND);
    } else if (area) {
        HRGN r = CreateRectRgnIndirect(area);
        CombineRgn(a, a, r, RGN_AND);
        DeleteRgn(r);
    } else if (!(flags & RDW_FRAME)) {
        SetRectRgn(a, w.client.left, w.client.top, w.client.right, w.client.bottom);
    }
    HRGN clientRgn = CreateRectRgnIndirect(&w.client);
    HRGN c = EmptyRgn();
    CombineRgn(c, a, clientRgn, RGN_AND);
    OffsetRgn(c, -w.client.left, -w.client.top);
    const bool clientHit = !IsEmpty(c);
    bool frameHit = false;
    if (flags & RDW_FRAME) {
        HRGN nc = EmptyRgn();
        CombineRgn(nc, a, clientRgn, RGN_DIFF);
        frameHit = !IsEmpty(nc);
        DeleteRgn(nc);
    }
    DeleteRgn(clientRgn);
    DeleteRgn(a);

    if (invalidate) {
        bool any = false;
        if (clientHit) {
            if (!w.updateRgn) w.updateRgn = EmptyRgn();
            CombineRgn(w.updateRgn, w.updateRgn, c, RGN_OR);
            if (flags & RDW_ERASE) w.erasePending = true;
            any = true;
        }
        if (frameHit) w.ncPaintPending = any = true;
        if (any) NoteArrival(w.threadId, QS_PAINT);
    }
    if (validate) {
        if (clientHit && w.updateRgn) {
            CombineRgn(w.updateRgn, w.updateRgn, c, RGN_DIFF);
            if (IsEmpty(w.updateRgn)) {
                DeleteRgn(w.updateRgn);
                w.updateRgn = nullptr;
            }
        }
        if (frameHit || (flags & RDW_NOFRAME)) w.ncPaintPending = false;
        if (flags & RDW_NOINTERNALPAINT) w.internalPaint = false;
    }
    if ((flags & RDW_NOERASE) || !w.updateRgn) w.erasePending = false;

    const bool children =
        (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w.style & WS_CLIPCHILDREN));
    if (children && clientHit) {
        const UINT childFlags = (flags & ~RDW_INTERNALPAINT) | (invalidate ? RDW_FRAME : 0);
        for (HWND h : std::vector<HWND>(w.children)) {
            Window* k = GetWnd(h);
            if (!k) continue;
            HRGN kc = CopyRgn(c);
            OffsetRgn(kc, -k->rect.left, -k->rect.top);
            if (!IsEmpty(kc)) RedrawArea(*k, nullptr, kc, childFlags, except);
            DeleteRgn(kc);
        }
    }
    DeleteRgn(c);
}

bool FindPaintWindow(const ThreadQueue& q, HWND filter, HWND* out) {
    AssertLocked();
    struct Search {
        const ThreadQueue& q;
        HWND filter;
        bool Visit(HWND h, bool inFilter) {
            Window* w = GetWnd(h);
            if (!w || !w->Visible()) return false;
            inFilter = inFilter || h == filter;
            if (inFilter && w->threadId == q.id && NeedsPaint(*w)) {
                found = h;
                return true;
            }
            // Siblings bottom first: overlapping ones without WS_CLIPSIBLINGS end up in z-order.
            for (auto it = w->children.rbegin(); it != w->children.rend(); ++it)
                if (Visit(*it, inFilter)) return true;
            return false;
        }
        HWND found{};
    } search{q, filter};
    for (HWND h : TopLevelZOrder())
        if (search.Visit(h, filter == nullptr)) {
            if (out) *out = search.found;
            return true;
        }
    return false;
}

void InvalidateScreenArea(const RECT& screenRect, HWND except) {
    Guard g(Lock());
    for (HWND h : std::vector<HWND>(TopLevelZOrder())) {
        Window* w = GetWnd(h);
        if (!w || h == except) continue;
        RECT a = screenRect;
        OffsetRect(&a, -w->rect.left, -w->rect.top);
        RedrawArea(*w, &a, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN, except);
    }
}

void PaintForgetWindow(Window& w) {
    AssertLocked();
    if (w.updateRgn) DeleteRgn(w.updateRgn);
    w.updateRgn = nullptr;
    if (w.ownDC) {
        State().dcs.erase(w.ownDC);
        DeleteDC(w.ownDC);
        w.ownDC = nullptr;
    }
    if (State().locked == w.handle) {
        State().locked = nullptr;
        DeleteRgn(State().withheld);
        State().withheld = nullptr;
    }
}

void ResetPaintState() {
    Guard g(Lock());
    State().locked = nullptr;
    DeleteRgn(State().withheld);
    State().withheld = nullptr;
}

// ============================================================================
// Non-client layout and drawing
// ============================================================================

RECT NcLayout::Button(LRESULT hit) const {
    switch (hit) {
        case HTCLOSE:
            return closeButton;
        case HTMAXBUTTON:
            return maxButton;
        case HTMINBUTTON:
            return minButton;
        case HTHELP:
            return helpButton;
        default:
            return RECT{};
    }
}

NcLayout ComputeNcLayout(const Window& w) {
    NcLayout L;
    const DWORD style = w.style, ex = w.exStyle;
    const int W = w.Width(), H = w.Height();
    const bool caption = (style & WS_CAPTION) == WS_CAPTION;
    const bool dialogFrame =
        (ex & WS_EX_DLGMODALFRAME) || ((style & WS_DLGFRAME) && !(style & WS_BORDER)) || caption;
    L.thick = (style & WS_THICKFRAME) != 0;
    if (L.thick)
        L.border = SystemMetric(SM_CXFRAME);
    else if (dialogFrame)
        L.border = SystemMetric(SM_CXDLGFRAME);
    else if ((style & WS_BORDER) || !(style & (WS_CHILD | WS_POPUP)))
        L.border = SystemMetric(SM_CXBORDER);
    const int b = L.border;
    int top = b;
    if (caption && !w.minimized) {
        const bool tool = (ex & WS_EX_TOOLWINDOW) != 0;
        const int height = SystemMetric(tool ? SM_CYSMCAPTION : SM_CYCAPTION);
        L.caption = RECT{b, b, W - b, b + height - 1};
        top += height;
        const int bw = SystemMetric(tool ? SM_CXSMSIZE : SM_CXSIZE) - 2;
        const int bh = SystemMetric(tool ? SM_CYSMSIZE : SM_CYSIZE) - 4;
        const int y = L.caption.top + (height - 1 - bh) / 2;
        int x = L.caption.right - 2;
        if (style & WS_SYSMENU) {
            L.closeButton = RECT{x - bw, y, x, y + bh};
            x -= bw + 2;
            if (!tool && (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
                L.maxButton = RECT{x - bw, y, x, y + bh};
                L.minButton = RECT{x - 2 * bw, y, x - bw, y + bh};
            } else if (ex & WS_EX_CONTEXTHELP) {
                L.helpButton = RECT{x - bw, y, x, y + bh};
            }
            if (!tool) {
                const int icon = height - 3;
                L.sysMenu = RECT{L.caption.left + 1, L.caption.top + 1, L.caption.left + 1 + icon,
                                 L.caption.top + 1 + icon};
            }
        }
    }
    L.edge = RECT{b, top, W - b, H - b};
    L.edgeWidth = (ex & WS_EX_CLIENTEDGE)   ? SystemMetric(SM_CXEDGE)
                  : (ex & WS_EX_STATICEDGE) ? SystemMetric(SM_CXBORDER)
                                            : 0;
    RECT inner = L.edge;
    InflateRect(&inner, -L.edgeWidth, -L.edgeWidth);
    const int cxv = SystemMetric(SM_CXVSCROLL), cyh = SystemMetric(SM_CYHSCROLL);
    if (style & WS_VSCROLL) {
        L.vScroll =
            RECT{inner.right - cxv, inner.top, inner.right, inner.bottom - ((style & WS_HSCROLL) ? cyh : 0)};
        inner.right -= cxv;
    }
    if (style & WS_HSCROLL) {
        L.hScroll = RECT{inner.left, inner.bottom - cyh, inner.right, inner.bottom};
        inner.bottom -= cyh;
    }
    if ((style & WS_VSCROLL) && (style & WS_HSCROLL))
        L.sizeBox = RECT{L.vScroll.left, L.hScroll.top, L.vScroll.right, L.hScroll.bottom};
    return L;
}

namespace {

void FillWith(HDC dc, RECT r, int color) {
    FillRect(dc, &r, GetSysColorBrush(color));
}

// What DrawFrameControl draws for a caption button of a window.
struct CaptionButtons {
    DWORD style = 0;
    UINT classStyle = 0;
    bool minimized = false;
    bool maximized = false;
    LRESULT pushed = HTNOWHERE;

    UINT State(LRESULT hit) const {
        const UINT inactive = DFCS_INACTIVE;
        UINT state = 0;
        switch (hit) {
            case HTCLOSE:
                state = DFCS_CAPTIONCLOSE | ((classStyle & CS_NOCLOSE) ? inactive : 0u);
                break;
            case HTMAXBUTTON:
                state = (maximized ? UINT{DFCS_CAPTIONRESTORE} : UINT{DFCS_CAPTIONMAX}) |
                        ((style & WS_MAXIMIZEBOX) ? 0u : inactive);
                break;
            case HTMINBUTTON:
                state = (minimized ? UINT{DFCS_CAPTIONRESTORE} : UINT{DFCS_CAPTIONMIN}) |
                        ((style & WS_MINIMIZEBOX) ? 0u : inactive);
                break;
            default:
                state = DFCS_CAPTIONHELP;
                break;
        }
        return state | (hit == pushed ? UINT{DFCS_PUSHED} : 0u);
    }
};

CaptionButtons CaptionButtonsOf(const Window& w) {
    return CaptionButtons{w.style, w.cls->wc.style, w.minimized, w.maximized, w.ncPushed};
}

void DrawCaption(HDC dc, const NcLayout& L, const std::string& text, bool active, bool tool,
                 const CaptionButtons& buttons, HICON icon) {
    const RECT cap = L.caption;
    FillWith(dc, RECT{cap.left, cap.bottom, cap.right, cap.bottom + 1}, COLOR_3DFACE);
    const COLORREF from = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    const COLORREF to = GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
    TRIVERTEX v[2];
    v[0] = TRIVERTEX{cap.left,
                     cap.top,
                     static_cast<COLOR16>(GetRValue(from) << 8),
                     static_cast<COLOR16>(GetGValue(from) << 8),
                     static_cast<COLOR16>(GetBValue(from) << 8),
                     0};
    v[1] = TRIVERTEX{cap.right,
                     cap.bottom,
                     static_cast<COLOR16>(GetRValue(to) << 8),
                     static_cast<COLOR16>(GetGValue(to) << 8),
                     static_cast<COLOR16>(GetBValue(to) << 8),
                     0};
    GRADIENT_RECT gr{0, 1};
    GradientFill(dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_H);

    if (icon && !IsRectEmpty(&L.sysMenu))
        DrawIconEx(dc, L.sysMenu.left, L.sysMenu.top, icon, L.sysMenu.right - L.sysMenu.left,
                   L.sysMenu.bottom - L.sysMenu.top, 0, nullptr, DI_NORMAL);

    RECT textRect = cap;
    textRect.left = IsRectEmpty(&L.sysMenu) ? cap.left + 2 : L.sysMenu.right + 2;
    for (const RECT* b : {&L.closeButton, &L.maxButton, &L.minButton, &L.helpButton})
        if (!IsRectEmpty(b)) textRect.right = std::min(textRect.right, b->left - 2);
    if (!text.empty() && textRect.right > textRect.left) {
        NONCLIENTMETRICS ncm{};
        HFONT font{};
        if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
            font = CreateFontIndirect(tool ? &ncm.lfSmCaptionFont : &ncm.lfCaptionFont);
        HGDIOBJ old = font ? SelectObject(dc, font) : SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        DrawText(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                 DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
        SelectObject(dc, old);
        if (font) DeleteObject(font);
    }

    for (LRESULT hit : {HTCLOSE, HTMAXBUTTON, HTMINBUTTON, HTHELP}) {
        RECT r = L.Button(hit);
        if (!IsRectEmpty(&r)) DrawFrameControl(dc, &r, DFC_CAPTION, buttons.State(hit));
    }
}

} // namespace

void DrawNonClient(HWND hwnd, HDC dc) {
    NcLayout L;
    std::string text;
    DWORD ex = 0;
    CaptionButtons buttons;
    HICON icon{};
    ScrollBarState horizontal, vertical;
    int W = 0, H = 0;
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w) return;
        L = ComputeNcLayout(*w);
        horizontal = w->scrollBars[SB_HORZ];
        vertical = w->scrollBars[SB_VERT];
        text = w->text;
        ex = w->exStyle;
        buttons = CaptionButtonsOf(*w);
        icon = w->smallIcon ? w->smallIcon : w->bigIcon ? w->bigIcon : w->cls->wc.hIcon;
        W = w->Width();
        H = w->Height();
    }
    const bool active = IsFrameActive(hwnd);
    RECT r{0, 0, W, H};
    if (L.border == 1) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    } else if (L.border > 1) {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        const int ring = L.thick ? (active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER) : COLOR_3DFACE;
        for (int i = 2; i < L.border; ++i) {
            FrameRect(dc, &r, GetSysColorBrush(ring));
            InflateRect(&r, -1, -1);
        }
    }
    if (!IsRectEmpty(&L.caption))
        DrawCaption(dc, L, text, active, (ex & WS_EX_TOOLWINDOW) != 0, buttons, icon);
    if (L.edgeWidth > 0) {
        RECT e = L.edge;
        DrawEdge(dc, &e, L.edgeWidth >= 2 ? EDGE_SUNKEN : BDR_SUNKENOUTER, BF_RECT);
    }
    DrawScrollBar(dc, L.vScroll, true, vertical);
    DrawScrollBar(dc, L.hScroll, false, horizontal);
    if (!IsRectEmpty(&L.sizeBox)) {
        FillWith(dc, L.sizeBox, COLOR_3DFACE);
        if (L.thick) {
            RECT grip = L.sizeBox;
            DrawFrameControl(dc, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
        }
    }
}

void DrawCaptionButton(HWND hwnd, LRESULT hit) {
    AssertUnlocked();
    RECT r{};
    UINT state = 0;
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w) return;
        r = ComputeNcLayout(*w).Button(hit);
        state = CaptionButtonsOf(*w).State(hit);
    }
    if (IsRectEmpty(&r)) return;
    HDC dc = GetDCEx(hwnd, nullptr, DCX_WINDOW | DCX_CLIPSIBLINGS);
    if (!dc) return;
    DrawFrameControl(dc, &r, DFC_CAPTION, state);
    ReleaseDC(hwnd, dc);
}

// ============================================================================
// Default handling of the non-client area, erasing and printing
// ============================================================================

LRESULT DefHitTest(HWND hwnd, POINT p) {
    AssertUnlocked();
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    if (!w || !InWindowShape(*w, p)) return HTNOWHERE;
    const RECT wr = WindowRectOnScreen(*w);
    const POINT pt{p.x - wr.left, p.y - wr.top};
    if (PtInRect(&w->client, pt)) return HTCLIENT;
    const NcLayout L = ComputeNcLayout(*w);
    const int W = w->Width(), H = w->Height();
    if (L.border > 0 &&
        (pt.x < L.border || pt.y < L.border || pt.x >= W - L.border || pt.y >= H - L.border)) {
        if (!L.thick) return HTBORDER;
        const int corner = SystemMetric(SM_CXSIZE) + L.border;
        const bool left = pt.x < corner, right = pt.x >= W - corner;
        const bool top = pt.y < corner, bottom = pt.y >= H - corner;
        if (pt.y < L.border) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
        if (pt.y >= H - L.border) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
        if (pt.x < L.border) return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
        return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
    }
    if (PtInRect(&L.caption, pt)) {
        if (PtInRect(&L.closeButton, pt)) return HTCLOSE;
        if (PtInRect(&L.maxButton, pt)) return HTMAXBUTTON;
        if (PtInRect(&L.minButton, pt)) return HTMINBUTTON;
        if (PtInRect(&L.helpButton, pt)) return HTHELP;
        if (PtInRect(&L.sysMenu, pt)) return HTSYSMENU;
        return HTCAPTION;
    }
    if (PtInRect(&L.vScroll, pt)) return HTVSCROLL;
    if (PtInRect(&L.hScroll, pt)) return HTHSCROLL;
    if (PtInRect(&L.sizeBox, pt)) return L.thick ? HTBOTTOMRIGHT : HTNOWHERE;
    return HTBORDER;
}

void DefNcCalcSize(HWND hwnd, RECT* r) {
    AssertUnlocked();
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    if (!w || !r || w->minimized) return;
    const RECT in = NonClientInsets(w->style, w->exStyle);
    r->left += in.left;
    r->top += in.top;
    r->right -= in.right;
    r->bottom -= in.bottom;
    if (r->right < r->left) r->right = r->left;
    if (r->bottom < r->top) r->bottom = r->top;
}

void DefNcPaint(HWND hwnd) {
    AssertUnlocked();
    RECT client{};
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w || w->client == RECT{0, 0, w->Width(), w->Height()}) return;
        client = w->client;
    }
    HDC dc = GetDCEx(hwnd, nullptr, DCX_WINDOW | DCX_CLIPSIBLINGS);
    if (!dc) return;
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    DrawNonClient(hwnd, dc);
    ReleaseDC(hwnd, dc);
}

LRESULT DefEraseBackground(HWND hwnd, HDC dc) {
    AssertUnlocked();
    HBRUSH brush{};
    RECT r{};
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w) return 0;
        brush = w->cls->wc.hbrBackground;
        r = RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    }
    if (!brush) return 0;
    FillRect(dc, &r, brush);
    return 1;
}

bool DefPrint(HWND hwnd, HDC dc, LPARAM flags) {
    AssertUnlocked();
    RECT client{};
    std::vector<HWND> children;
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w) return false;
        if ((flags & PRF_CHECKVISIBLE) && !IsVisibleChain(*w)) return false;
        client = w->client;
        children = w->children;
    }
    if (flags & PRF_NONCLIENT) {
        const SavedDC saved(dc);
        ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
        DrawNonClient(hwnd, dc);
    }
    const SavedDC saved(dc);
    OffsetViewportOrgEx(dc, client.left, client.top, nullptr);
    IntersectClipRect(dc, 0, 0, client.right - client.left, client.bottom - client.top);
    if (flags & PRF_ERASEBKGND) SendMsg(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    if (flags & PRF_CLIENT) SendMsg(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
    if (flags & PRF_CHILDREN) {
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            RECT r{};
            {
                Guard g(Lock());
                Window* c = GetWnd(*it);
                if (!c || !c->Visible()) continue;
                r = c->rect;
            }
            const SavedDC child(dc);
            OffsetViewportOrgEx(dc, r.left, r.top, nullptr);
            IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
            SendMsg(*it, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags);
        }
    }
    return true;
}

} // namespace detail

using namespace detail;

// ============================================================================
// Update regions
// ============================================================================

namespace {

// InvalidateRect, InvalidateRgn and ValidateRect: the area is a rectangle or
// a region of the client area (neither: all of it); a null window means every
// window.
BOOL ChangeUpdateArea(HWND hwnd, const RECT* r, HRGN rgn, UINT flags) {
    Guard g(Lock());
    if (!hwnd) {
        RedrawAllTopLevel(r, rgn, flags);
        return TRUE;
    }
    Window* w = WndOrFail(hwnd);
    if (!w) return FALSE;
    HRGN a = AreaInWindow(*w, r, rgn);
    RedrawArea(*w, nullptr, a, flags, nullptr);
    DeleteRgn(a);
    return TRUE;
}

} // namespace

BOOL InvalidateRect(HWND hwnd, const RECT* r, BOOL erase) {
    return ChangeUpdateArea(hwnd, r, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
    return ChangeUpdateArea(hwnd, nullptr, rgn, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hwnd, const RECT* r) {
    return ChangeUpdateArea(hwnd, r, nullptr, RDW_VALIDATE);
}

// Unlike ValidateRect, a null window is no window.
BOOL ValidateRgn(HWND hwnd, HRGN rgn) {
    if (!hwnd) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return ChangeUpdateArea(hwnd, nullptr, rgn, RDW_VALIDATE);
}

BOOL GetUpdateRect(HWND hwnd, RECT* r, BOOL erase) {
    bool has = false;
    RECT box{};
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return FALSE;
        has = w->updateRgn && !IsEmpty(w->updateRgn);
        if (has) GetRgnBox(w->updateRgn, &box);
    }
    if (erase && has) EraseNow(hwnd, false);
    if (r) *r = box;
    return has ? TRUE : FALSE;
}

int GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
    int type = ERROR;
    bool has = false;
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w || !rgn) return ERROR;
        has = w->updateRgn != nullptr;
        type = has ? CombineRgn(rgn, w->updateRgn, nullptr, RGN_COPY)
                   : (SetRectRgn(rgn, 0, 0, 0, 0) ? NULLREGION : ERROR);
    }
    if (erase && has) EraseNow(hwnd, false);
    return type;
}

BOOL RedrawWindow(HWND hwnd, const RECT* r, HRGN rgn, UINT flags) {
    {
        Guard g(Lock());
        if (!hwnd) {
            if (flags & (RDW_INVALIDATE | RDW_VALIDATE | RDW_INTERNALPAINT)) RedrawAllTopLevel(r, rgn, flags);
        } else {
            Window* w = WndOrFail(hwnd);
            if (!w) return FALSE;
            if (flags & (RDW_INVALIDATE | RDW_VALIDATE | RDW_INTERNALPAINT)) {
                HRGN a = AreaInWindow(*w, r, rgn);
                RedrawArea(*w, nullptr, a, flags, nullptr);
                DeleteRgn(a);
            } else if (flags & (RDW_NOERASE | RDW_NOFRAME | RDW_NOINTERNALPAINT)) {
                RedrawArea(*w, nullptr, nullptr, flags | RDW_NOCHILDREN, nullptr);
            }
        }
    }
    std::vector<HWND> targets;
    if (hwnd) {
        targets.push_back(hwnd);
    } else {
        Guard g(Lock());
        targets = TopLevelZOrder();
    }
    const bool children = !(flags & RDW_NOCHILDREN);
    for (HWND h : targets) {
        if (flags & RDW_UPDATENOW)
            UpdateNow(h, children);
        else if (flags & RDW_ERASENOW)
            EraseNow(h, children);
    }
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
    {
        Guard g(Lock());
        if (!WndOrFail(hwnd)) return FALSE;
    }
    UpdateNow(hwnd, true);
    return TRUE;
}

// ============================================================================
// BeginPaint / EndPaint
// ============================================================================

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    if (!ps) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    *ps = PAINTSTRUCT{};
    bool nc = false;
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return nullptr;
        nc = w->ncPaintPending && Drawable(*w);
        w->ncPaintPending = false;
    }
    if (nc) SendMsg(hwnd, WM_NCPAINT, 1, 0);

    bool erase = false;
    HDC dc{};
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return nullptr;
        HRGN paint = w->updateRgn ? w->updateRgn : EmptyRgn();
        w->updateRgn = nullptr;
        w->internalPaint = false;
        erase = w->erasePending;
        w->erasePending = false;
        const RECT client = ClientSize(*w);
        HRGN bounds = CreateRectRgnIndirect(&client);
        CombineRgn(paint, paint, bounds, RGN_AND);
        DeleteRgn(bounds);
        GetRgnBox(paint, &ps->rcPaint);
        dc = MakeDC(*w, false, DCX_INTERSECTRGN, paint);
        DeleteRgn(paint);
    }
    ps->hdc = dc;
    if (erase && dc)
        ps->fErase = SendMsg(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (ps && ps->hdc) ReleaseDC(hwnd, ps->hdc);
    return TRUE;
}

// ============================================================================
// Device contexts
// ============================================================================

HDC GetDC(HWND hwnd) {
    return GetDCEx(hwnd, nullptr, 0);
}

namespace {

// Where a DC of the whole screen may draw; nullptr for everywhere. The update
// lock keeps it off the locked window, or off the screen when the desktop is
// locked, unless asked with DCX_LOCKWINDOWUPDATE.
HRGN ScreenVisibleRegion(HRGN clip, DWORD flags) {
    Guard g(Lock());
    const HWND locked = State().locked;
    const bool lockedOut = locked && !(flags & DCX_LOCKWINDOWUPDATE);
    const bool clipped = clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN));
    if (!lockedOut && !clipped) return nullptr;
    const RECT virt = VirtualScreenRect();
    HRGN vis = CreateRectRgnIndirect(&virt);
    if (clip && (flags & DCX_INTERSECTRGN)) CombineRgn(vis, vis, clip, RGN_AND);
    if (clip && (flags & DCX_EXCLUDERGN)) CombineRgn(vis, vis, clip, RGN_DIFF);
    if (lockedOut) {
        if (locked == DesktopHandle())
            SetRectRgn(vis, 0, 0, 0, 0);
        else if (const Window* w = GetWnd(locked); w && IsVisibleChain(*w))
            SubtractShape(vis, *w, POINT{0, 0});
    }
    return vis;
}

} // namespace

HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags) {
    if (!hwnd || hwnd == GetDesktopWindow()) {
        HRGN vis = ScreenVisibleRegion(clip, flags);
        HDC dc = GetScreenDC(vis);
        DeleteRgn(vis);
        return dc;
    }
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return nullptr;
    return MakeDC(*w, (flags & DCX_WINDOW) != 0, flags, clip);
}

HDC GetWindowDC(HWND hwnd) {
    return GetDCEx(hwnd, nullptr, DCX_WINDOW);
}

int ReleaseDC(HWND, HDC dc) {
    if (!dc) return 0;
    if (ReleaseScreenDC(dc)) return 1;
    Guard g(Lock());
    auto it = State().dcs.find(dc);
    if (it == State().dcs.end()) return 0;
    if (it->second.own) return 1;
    State().dcs.erase(it);
    DeleteDC(dc);
    return 1;
}

HWND WindowFromDC(HDC dc) {
    Guard g(Lock());
    auto it = State().dcs.find(dc);
    if (it == State().dcs.end() || !GetWnd(it->second.hwnd)) return nullptr;
    return it->second.hwnd;
}

// One window at a time; the desktop window locks every window. Releasing the
// lock invalidates what was withheld, so the windows paint it again.
BOOL LockWindowUpdate(HWND hwnd) {
    Guard g(Lock());
    PaintState& ps = State();
    if (hwnd) {
        if (hwnd != DesktopHandle() && !WndOrFail(hwnd)) return FALSE;
        if (ps.locked && ps.locked != hwnd) return FALSE;
        ps.locked = hwnd;
        return TRUE;
    }
    if (!ps.locked) return FALSE;
    const HWND previous = ps.locked;
    HRGN withheld = ps.withheld;
    ps.locked = nullptr;
    ps.withheld = nullptr;
    if (!withheld) return TRUE;
    constexpr UINT kRepaint = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN;
    if (previous == DesktopHandle()) {
        RedrawAllTopLevel(nullptr, withheld, kRepaint);
    } else if (Window* w = GetWnd(previous)) {
        const RECT r = WindowRectOnScreen(*w);
        OffsetRgn(withheld, -r.left, -r.top);
        RedrawArea(*w, nullptr, withheld, kRepaint, nullptr);
    }
    DeleteRgn(withheld);
    return TRUE;
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip) {
    std::vector<std::pair<HWND, POINT>> moves;
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return FALSE;
        const RECT client = ClientSize(*w);
        RECT src = client, limit = client;
        if (scroll) IntersectRect(&src, scroll, &client);
        if (clip) IntersectRect(&limit, clip, &client);
        const int width = src.right - src.left, height = src.bottom - src.top;
        if (width > 0 && height > 0) {
            if (HDC dc = MakeDC(*w, false, 0, nullptr)) {
                // Through a copy: source and destination overlap.
                {
                    MemoryDC copy(width, height);
                    BitBlt(copy.Handle(), 0, 0, width, height, dc, src.left, src.top, SRCCOPY);
                    IntersectClipRect(dc, limit.left, limit.top, limit.right, limit.bottom);
                    BitBlt(dc, src.left + dx, src.top + dy, width, height, copy.Handle(), 0, 0, SRCCOPY);
                }
                if (dc != w->ownDC) {
                    State().dcs.erase(dc);
                    DeleteDC(dc);
                }
            }
        }
        // What did not receive moved pixels is repainted; pending paint moves along.
        HRGN exposed = CreateRectRgnIndirect(&src);
        RECT moved = src;
        OffsetRect(&moved, dx, dy);
        HRGN covered = CreateRectRgnIndirect(&moved);
        CombineRgn(exposed, exposed, covered, RGN_DIFF);
        HRGN limitRgn = CreateRectRgnIndirect(&limit);
        CombineRgn(exposed, exposed, limitRgn, RGN_AND);
        if (w->updateRgn) {
            HRGN inside = CreateRectRgnIndirect(&src);
            CombineRgn(inside, inside, w->updateRgn, RGN_AND);
            CombineRgn(w->updateRgn, w->updateRgn, inside, RGN_DIFF);
            OffsetRgn(inside, dx, dy);
            CombineRgn(inside, inside, limitRgn, RGN_AND);
            CombineRgn(exposed, exposed, inside, RGN_OR);
            DeleteRgn(inside);
        }
        OffsetRgn(exposed, w->client.left, w->client.top);
        RedrawArea(*w, nullptr, exposed, RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN, nullptr);
        DeleteRgn(exposed);
        DeleteRgn(covered);
        DeleteRgn(limitRgn);
        if (!scroll)
            for (HWND h : w->children)
                if (Window* c = GetWnd(h)) moves.emplace_back(h, POINT{c->rect.left + dx, c->rect.top + dy});
    }
    for (auto& [child, pos] : moves)
        SetWindowPos(child, nullptr, pos.x, pos.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

} // namespace win
