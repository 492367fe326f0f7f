// Window records and their handles, creation and destruction, the hierarchy,
// window data, geometry and z-order, showing and hit-testing.
#include "win/internal.h"

#include "gfx/utf8.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <unistd.h>

namespace win {

namespace detail {
namespace {

constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;

// Coordinates travel in 16-bit halves of lParam; sizes beyond are refused.
constexpr int kMinCoord = -32768;
constexpr int kMaxCoord = 32767;
constexpr std::uint32_t kMaxSlots = 0x7FFF;
// Slots freed are reused only once this many wait, so that a stale handle
// stays stale for a long time even without its generation.
constexpr std::size_t kFreeReserve = 256;
constexpr std::uintptr_t kDesktopValue = 0x10;
constexpr POINT kIconicPos{-32000, -32000};
constexpr SIZE kIconicSize{160, 24};

struct Slot {
    std::uint16_t gen = 1;
    std::unique_ptr<Window> wnd;
};

struct WindowState {
    std::vector<Slot> slots = std::vector<Slot>(1); // slot 0 is never used
    std::deque<std::uint32_t> free;
    std::vector<HWND> zorder; // top-level windows, topmost band first
    int cascade = 0;
};

WindowState& State() {
    static WindowState* state = new WindowState;
    return *state;
}

Slot* SlotOf(HWND hwnd) {
    const auto v = reinterpret_cast<std::uintptr_t>(hwnd);
    const std::uintptr_t index = v >> 16;
    WindowState& s = State();
    if (index == 0 || index >= s.slots.size()) return nullptr;
    Slot& slot = s.slots[index];
    if (slot.gen != (v & 0xFFFF) || !slot.wnd) return nullptr;
    return &slot;
}

HWND AllocSlot(std::unique_ptr<Window> w) {
    WindowState& s = State();
    std::uint32_t index = 0;
    if (!s.free.empty() && (s.free.size() > kFreeReserve || s.slots.size() > kMaxSlots)) {
        index = s.free.front();
        s.free.pop_front();
    } else if (s.slots.size() <= kMaxSlots) {
        index = static_cast<std::uint32_t>(s.slots.size());
        s.slots.emplace_back();
    } else {
        return nullptr;
    }
    Slot& slot = s.slots[index];
    const HWND h = reinterpret_cast<HWND>((std::uintptr_t{index} << 16) | slot.gen);
    w->handle = h;
    slot.wnd = std::move(w);
    return h;
}

void FreeSlot(HWND hwnd) {
    Slot* slot = SlotOf(hwnd);
    if (!slot) return;
    slot->wnd.reset();
    if (++slot->gen == 0) slot->gen = 1;
    State().free.push_back(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(hwnd) >> 16));
}

bool IsDesktop(HWND hwnd) {
    return reinterpret_cast<std::uintptr_t>(hwnd) == kDesktopValue;
}

RECT ScreenRect() {
    return RECT{0, 0, SystemMetric(SM_CXSCREEN), SystemMetric(SM_CYSCREEN)};
}

// Screen position of a window's (0, 0).
POINT WindowOrigin(const Window& w) {
    POINT p{w.rect.left, w.rect.top};
    for (const Window* x = &w; x->parent;) {
        const Window* parent = GetWnd(x->parent);
        if (!parent) break;
        p.x += parent->rect.left + parent->client.left;
        p.y += parent->rect.top + parent->client.top;
        x = parent;
    }
    return p;
}

bool IsDescendant(HWND ancestor, HWND hwnd) {
    const Window* w = GetWnd(hwnd);
    while (w && w->parent) {
        if (w->parent == ancestor) return true;
        w = GetWnd(w->parent);
    }
    return false;
}

bool IsOwnedBy(const Window& w, HWND owner) {
    for (const Window* x = &w; x && x->owner; x = GetWnd(x->owner))
        if (x->owner == owner) return true;
    return false;
}

// The list of siblings a window is ordered in (nullptr for message-only windows).
std::vector<HWND>* SiblingList(const Window& w) {
    if (w.parent) {
        Window* p = GetWnd(w.parent);
        return p ? &p->children : nullptr;
    }
    if (w.messageOnly) return nullptr;
    return &State().zorder;
}

void Unlink(Window& w) {
    if (std::vector<HWND>* list = SiblingList(w)) std::erase(*list, w.handle);
}

bool IsTopmostStyle(HWND h) {
    const Window* w = GetWnd(h);
    return w && (w->exStyle & WS_EX_TOPMOST);
}

// Puts `h` after `after` (HWND_TOP, HWND_BOTTOM or a sibling) within the
// positions [lo, hi] of the list without `h`.
void PlaceIn(std::vector<HWND>& list, HWND h, HWND after, std::size_t lo, std::size_t hi) {
    std::erase(list, h);
    std::size_t pos = lo;
    if (after == HWND_BOTTOM) {
        pos = hi;
    } else if (after != HWND_TOP) {
        auto it = std::find(list.begin(), list.end(), after);
        pos = it == list.end() ? lo : static_cast<std::size_t>(it - list.begin()) + 1;
    }
    pos = std::clamp(pos, lo, std::min(hi, list.size()));
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(pos), h);
}

// Owned windows stay above their owner: those of the owner's band that are
// below it move to just above it, keeping their order.
void OwnedFollow(std::vector<HWND>& list, HWND owner, bool topmost) {
    auto ownerIt = std::find(list.begin(), list.end(), owner);
    if (ownerIt == list.end()) return;
    std::vector<HWND> moving;
    for (auto it = ownerIt + 1; it != list.end(); ++it) {
        const Window* x = GetWnd(*it);
        if (x && IsOwnedBy(*x, owner) && ((x->exStyle & WS_EX_TOPMOST) != 0) == topmost)
            moving.push_back(*it);
    }
    if (moving.empty()) return;
    for (HWND m : moving) std::erase(list, m);
    ownerIt = std::find(list.begin(), list.end(), owner);
    list.insert(ownerIt, moving.begin(), moving.end());
}

struct ZPlan {
    std::vector<HWND> list;
    DWORD exStyle = 0;
    bool changed = false;
};

ZPlan PlanZOrder(const Window& w, HWND after, UINT flags) {
    ZPlan plan;
    plan.exStyle = w.exStyle;
    std::vector<HWND>* list = SiblingList(w);
    // A window already taken out of its list (in its WM_NCDESTROY) stays out.
    if (!list || std::find(list->begin(), list->end(), w.handle) == list->end()) return plan;
    plan.list = *list;
    if (w.parent) {
        if (after == HWND_NOTOPMOST) return plan;
        PlaceIn(plan.list, w.handle, after == HWND_TOPMOST ? HWND_TOP : after, 0, plan.list.size());
    } else {
        HWND a = after;
        if (after == HWND_TOPMOST) {
            plan.exStyle |= WS_EX_TOPMOST;
            a = HWND_TOP;
        } else if (after == HWND_NOTOPMOST) {
            if (!(w.exStyle & WS_EX_TOPMOST)) return plan;
            plan.exStyle &= ~WS_EX_TOPMOST;
            a = HWND_TOP;
        } else if (after == HWND_BOTTOM) {
            plan.exStyle &= ~WS_EX_TOPMOST;
        }
        const bool topmost = (plan.exStyle & WS_EX_TOPMOST) != 0;
        std::erase(plan.list, w.handle);
        std::size_t band = 0;
        for (HWND h : plan.list)
            if (IsTopmostStyle(h)) ++band;
        PlaceIn(plan.list, w.handle, a, topmost ? 0 : band, topmost ? band : plan.list.size());
        if (!(flags & SWP_NOOWNERZORDER)) OwnedFollow(plan.list, w.handle, topmost);
    }
    plan.changed = plan.list != *list || plan.exStyle != w.exStyle;
    return plan;
}

void ApplyZPlan(Window& w, ZPlan& plan) {
    if (!plan.changed) return;
    if (std::vector<HWND>* list = SiblingList(w)) *list = std::move(plan.list);
    w.exStyle = plan.exStyle;
}

void LinkNew(Window& w) {
    if (std::vector<HWND>* list = SiblingList(w)) {
        list->push_back(w.handle);
        ZPlan plan = PlanZOrder(w, HWND_TOP, SWP_NOOWNERZORDER);
        ApplyZPlan(w, plan);
    }
}

bool Alive(HWND hwnd) {
    Guard g(Lock());
    return GetWnd(hwnd) != nullptr;
}

DWORD CurrentThread() {
    return GetCurrentThreadId();
}

RECT ParentClientRect(const Window& w) {
    if (w.parent)
        if (const Window* p = GetWnd(w.parent))
            return RECT{0, 0, p->client.right - p->client.left, p->client.bottom - p->client.top};
    return ScreenRect();
}

RECT WorkAreaOf(HWND hwnd) {
    MONITORINFO mi{};
    if (GetMonitorInfo(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &mi)) return mi.rcWork;
    return ScreenRect();
}

int FrameThickness(DWORD style, DWORD exStyle) {
    if (style & WS_THICKFRAME) return SystemMetric(SM_CXFRAME);
    if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) return SystemMetric(SM_CXDLGFRAME);
    if (style & WS_BORDER) return SystemMetric(SM_CXBORDER);
    return 0;
}

bool UsesMinMax(DWORD style, bool topLevel) {
    return (style & WS_THICKFRAME) || (topLevel && !(style & (WS_POPUP | WS_CHILD)));
}

MINMAXINFO DefaultMinMax(HWND hwnd, DWORD style, DWORD exStyle, bool child, const RECT& parentClient) {
    MINMAXINFO mmi{};
    const int frame = FrameThickness(style, exStyle);
    const RECT area = child ? parentClient : WorkAreaOf(hwnd);
    mmi.ptMaxSize = POINT{area.right - area.left + 2 * frame, area.bottom - area.top + 2 * frame};
    mmi.ptMaxPosition = POINT{-frame, -frame};
    mmi.ptMinTrackSize = POINT{SystemMetric(SM_CXMINTRACK), SystemMetric(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize = POINT{SystemMetric(SM_CXMAXTRACK), SystemMetric(SM_CYMAXTRACK)};
    if (mmi.ptMaxTrackSize.x <= 0) mmi.ptMaxTrackSize.x = kMaxCoord;
    if (mmi.ptMaxTrackSize.y <= 0) mmi.ptMaxTrackSize.y = kMaxCoord;
    return mmi;
}

} // namespace

MINMAXINFO QueryMinMax(HWND hwnd) {
    MINMAXINFO mmi{};
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w) return mmi;
        mmi = DefaultMinMax(hwnd, w->style, w->exStyle, w->parent != nullptr, ParentClientRect(*w));
    }
    SendMsg(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    return mmi;
}

namespace {

void ClampToMinMax(const MINMAXINFO& mmi, int* cx, int* cy) {
    *cx = std::max<int>(*cx, mmi.ptMinTrackSize.x);
    *cy = std::max<int>(*cy, mmi.ptMinTrackSize.y);
    *cx = std::min<int>(*cx, mmi.ptMaxTrackSize.x);
    *cy = std::min<int>(*cy, mmi.ptMaxTrackSize.y);
}

int ClampCoord(long long v) {
    return static_cast<int>(std::clamp<long long>(v, kMinCoord, kMaxCoord));
}

int ClampSize(long long v, int limit = kMaxCoord) {
    return static_cast<int>(std::clamp<long long>(v, 0, limit));
}

// Every top-level window carries a surface of its whole size: far beyond the
// screen a size only costs memory, so it stops at four screens.
int SizeLimit(bool topLevel) {
    if (!topLevel) return kMaxCoord;
    const RECT screen = VirtualScreenRect();
    const long long extent = std::max(screen.right - screen.left, screen.bottom - screen.top);
    return static_cast<int>(std::clamp<long long>(4 * extent, 4096, kMaxCoord));
}

// The client area (window coordinates) of a WM_NCCALCSIZE answer given in the
// coordinates of `window`. It may reach beyond the window, whose shape clips
// what is drawn; an inverted rectangle becomes an empty one.
RECT ClientFromCalc(const RECT& calc, const RECT& window) {
    RECT c{ClampCoord(static_cast<long long>(calc.left) - window.left),
           ClampCoord(static_cast<long long>(calc.top) - window.top),
           ClampCoord(static_cast<long long>(calc.right) - window.left),
           ClampCoord(static_cast<long long>(calc.bottom) - window.top)};
    c.right = std::max(c.right, c.left);
    c.bottom = std::max(c.bottom, c.top);
    return c;
}

// --- SetWindowPos -----------------------------------------------------------

void FixupFlags(const Window& w, WINDOWPOS& wp) {
    const int limit = SizeLimit(!w.parent);
    wp.cx = ClampSize(wp.cx, limit);
    wp.cy = ClampSize(wp.cy, limit);
    wp.x = ClampCoord(wp.x);
    wp.y = ClampCoord(wp.y);
    if (w.Visible())
        wp.flags &= ~SWP_SHOWWINDOW;
    else
        wp.flags &= ~SWP_HIDEWINDOW;
    if (w.Width() == wp.cx && w.Height() == wp.cy) wp.flags |= SWP_NOSIZE;
    if (w.rect.left == wp.x && w.rect.top == wp.y) wp.flags |= SWP_NOMOVE;
    if (!(wp.flags & SWP_NOZORDER)) {
        if (wp.hwndInsertAfter == w.handle || !PlanZOrder(w, wp.hwndInsertAfter, wp.flags).changed)
            wp.flags |= SWP_NOZORDER;
    }
}

// Any live window will do (one that is not a sibling puts the window at the
// top of its siblings), but not the desktop.
bool ValidInsertAfter(HWND after) {
    return after == HWND_TOP || after == HWND_BOTTOM || after == HWND_TOPMOST || after == HWND_NOTOPMOST ||
           GetWnd(after);
}

// Marks what a change of geometry, visibility or z-order leaves to repaint,
// after the change. The compositor needs no word: it finds top-level windows
// moved, sized, shown or restacked, and what is repainted in their surfaces.
void ExposeAfterChange(Window& w, const RECT& oldRect, const RECT& oldClient, bool wasDrawn, UINT flags,
                       bool zChanged) {
    AssertLocked();
    const bool drawn = IsVisibleChain(w);
    const bool moved = !(flags & SWP_NOMOVE);
    const bool sized = !(flags & SWP_NOSIZE);
    const bool shown = (flags & SWP_SHOWWINDOW) != 0;
    const bool hidden = (flags & SWP_HIDEWINDOW) != 0;
    const bool frame = (flags & SWP_FRAMECHANGED) != 0;
    const bool anything = moved || sized || shown || hidden || frame || zChanged;
    if (!anything) return;

    if (!(flags & SWP_NOREDRAW)) {
        if (w.parent && wasDrawn && (moved || sized || hidden || zChanged)) {
            if (Window* p = GetWnd(w.parent)) {
                // The parent repaints only what a moved or resized window no
                // longer covers, as the original does; the window keeps or
                // repaints the rest. A parent without WS_CLIPCHILDREN painting
                // there would cover the window's children, which nothing tells
                // to repaint.
                HRGN uncovered = CreateRectRgnIndirect(&oldRect);
                if (drawn && !hidden && !zChanged && !w.windowRgn) {
                    HRGN covered = CreateRectRgnIndirect(&w.rect);
                    CombineRgn(uncovered, uncovered, covered, RGN_DIFF);
                    DeleteRgn(covered);
                }
                OffsetRgn(uncovered, p->client.left, p->client.top);
                RedrawArea(*p, nullptr, uncovered, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN, w.handle);
                DeleteRgn(uncovered);
            }
        }
        if (drawn) {
            const UINT classStyle = w.cls ? w.cls->wc.style : 0;
            const LONG ocw = oldClient.right - oldClient.left, och = oldClient.bottom - oldClient.top;
            const LONG ncw = w.client.right - w.client.left, nch = w.client.bottom - w.client.top;
            const bool classRedraw =
                ((classStyle & CS_HREDRAW) && ocw != ncw) || ((classStyle & CS_VREDRAW) && och != nch);
            const bool moveAll = shown || frame || zChanged || (moved && w.parent) ||
                                 oldClient.left != w.client.left || oldClient.top != w.client.top;
            const bool whole = moveAll || classRedraw;
            // A class that redraws on sizing invalidates its window as
            // InvalidateRect does: children that kept their place repaint only
            // when the window paints over them (no WS_CLIPCHILDREN).
            const UINT all = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | (moveAll ? RDW_ALLCHILDREN : 0);
            if (whole) {
                RedrawArea(w, nullptr, nullptr, all, nullptr);
            } else if (sized) {
                // Only the strips the client area gained, and the frame.
                HRGN gained = CreateRectRgn(0, 0, ncw, nch);
                HRGN kept = CreateRectRgn(0, 0, ocw, och);
                CombineRgn(gained, gained, kept, RGN_DIFF);
                OffsetRgn(gained, w.client.left, w.client.top);
                RedrawArea(w, nullptr, gained, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN, nullptr);
                DeleteRgn(kept);
                DeleteRgn(gained);
                const RECT frameArea = {0, 0, w.Width(), w.Height()};
                HRGN ncArea = CreateRectRgnIndirect(&frameArea);
                HRGN clientArea = CreateRectRgnIndirect(&w.client);
                CombineRgn(ncArea, ncArea, clientArea, RGN_DIFF);
                RedrawArea(w, nullptr, ncArea, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN, nullptr);
                DeleteRgn(clientArea);
                DeleteRgn(ncArea);
            }
        }
    }
}

// `reparented`: the window has just changed parents (SetParent), so its
// place counts as a move even at the same coordinates.
BOOL SetWindowPosOwn(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags,
                     bool reparented = false) {
    WINDOWPOS wp{hwnd, after, x, y, cx, cy, flags & ~(SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE)};
    const UINT keepMove = reparented && !(flags & SWP_NOMOVE) ? ~SWP_NOMOVE : ~0u;
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return FALSE;
        if (!(wp.flags & SWP_NOZORDER) && !ValidInsertAfter(after)) {
            SetLastError(IsDesktop(after) ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        FixupFlags(*w, wp);
        wp.flags &= keepMove;
    }
    if (!(wp.flags & SWP_NOSENDCHANGING))
        SendMsg(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));

    RECT newRect{}, oldRect{}, oldClient{};
    bool needCalc = false;
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return FALSE;
        wp.hwnd = hwnd;
        if (!(wp.flags & SWP_NOZORDER) && !ValidInsertAfter(wp.hwndInsertAfter)) wp.flags |= SWP_NOZORDER;
        FixupFlags(*w, wp);
        wp.flags &= keepMove;
        oldRect = w->rect;
        oldClient = w->client;
        newRect = oldRect;
        if (!(wp.flags & SWP_NOMOVE)) OffsetRect(&newRect, wp.x - oldRect.left, wp.y - oldRect.top);
        if (!(wp.flags & SWP_NOSIZE)) {
            newRect.right = newRect.left + wp.cx;
            newRect.bottom = newRect.top + wp.cy;
        }
        needCalc = !(wp.flags & SWP_NOSIZE) || (wp.flags & SWP_FRAMECHANGED);
    }

    RECT newClient = oldClient;
    if (needCalc) {
        NCCALCSIZE_PARAMS params{};
        params.rgrc[0] = newRect;
        params.rgrc[1] = oldRect;
        params.rgrc[2] = oldClient;
        OffsetRect(&params.rgrc[2], oldRect.left, oldRect.top);
        params.lppos = &wp;
        SendMsg(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        newClient = ClientFromCalc(params.rgrc[0], newRect);
    }

    bool activate = false, childActivate = false, changed = false;
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return FALSE;
        const bool wasDrawn = IsVisibleChain(*w);
        bool zChanged = false;
        if (!(wp.flags & SWP_NOZORDER)) {
            ZPlan plan = PlanZOrder(*w, wp.hwndInsertAfter, wp.flags);
            zChanged = plan.changed;
            ApplyZPlan(*w, plan);
            if (!zChanged) wp.flags |= SWP_NOZORDER;
        }
        const POINT oldOrigin = WindowOrigin(*w);
        const POINT oldClientOrg{oldOrigin.x + oldClient.left, oldOrigin.y + oldClient.top};
        w->rect = newRect;
        w->client = newClient;
        if (wp.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
        if (wp.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
        const POINT newOrigin = WindowOrigin(*w);
        const POINT newClientOrg{newOrigin.x + newClient.left, newOrigin.y + newClient.top};
        if (newClient.right - newClient.left == oldClient.right - oldClient.left &&
            newClient.bottom - newClient.top == oldClient.bottom - oldClient.top)
            wp.flags |= SWP_NOCLIENTSIZE;
        if (oldClientOrg == newClientOrg && newClient.left == oldClient.left &&
            newClient.top == oldClient.top && !reparented)
            wp.flags |= SWP_NOCLIENTMOVE;
        if (!w->parent && !(wp.flags & SWP_NOSIZE)) EnsureSurface(*w);
        ExposeAfterChange(*w, oldRect, oldClient, wasDrawn, wp.flags, zChanged);
        // A child hears of it even while hidden; only a shown top-level window activates.
        if (!(wp.flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW))) {
            activate = !w->parent && w->Visible();
            childActivate = w->parent != nullptr;
        }
        constexpr UINT noChange =
            SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE;
        changed = (wp.flags & (noChange | SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_FRAMECHANGED)) != noChange;
    }
    if (activate) ActivateOnShow(hwnd);
    if (childActivate) SendMsg(hwnd, WM_CHILDACTIVATE, 0, 0);
    if (changed && Alive(hwnd)) SendMsg(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    CheckMouseTracking();
    return TRUE;
}

} // namespace

void PlaceWithoutMessages(Window& w, int x, int y, int cx, int cy) {
    AssertLocked();
    const int limit = SizeLimit(!w.parent);
    const int left = ClampCoord(x), top = ClampCoord(y);
    const RECT newRect{left, top, left + ClampSize(cx, limit), top + ClampSize(cy, limit)};
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (newRect.left == w.rect.left && newRect.top == w.rect.top) flags |= SWP_NOMOVE;
    if (newRect.Width() == w.Width() && newRect.Height() == w.Height()) flags |= SWP_NOSIZE;
    if ((flags & SWP_NOMOVE) && (flags & SWP_NOSIZE)) return;
    const RECT oldRect = w.rect, oldClient = w.client;
    const bool wasDrawn = IsVisibleChain(w);
    // The client area keeps its distances from the window's edges.
    w.rect = newRect;
    w.client.right = std::max(w.client.left, w.client.right + newRect.Width() - oldRect.Width());
    w.client.bottom = std::max(w.client.top, w.client.bottom + newRect.Height() - oldRect.Height());
    if (!w.parent && !(flags & SWP_NOSIZE)) EnsureSurface(w);
    ExposeAfterChange(w, oldRect, oldClient, wasDrawn, flags, false);
}

namespace {

// --- ShowWindow -------------------------------------------------------------

// An overlapped window hears of its size and place the first time ShowWindow
// runs on it, not at creation.
void SendFirstSizeMove(HWND hwnd) {
    WPARAM sizeType = SIZE_RESTORED;
    LPARAM sizeParam = 0, moveParam = 0;
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w || !w->sendSizeMove) return;
        w->sendSizeMove = false;
        sizeType = w->minimized ? SIZE_MINIMIZED : w->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
        sizeParam = MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top);
        moveParam = MAKELPARAM(w->rect.left + w->client.left, w->rect.top + w->client.top);
    }
    SendMsg(hwnd, WM_SIZE, sizeType, sizeParam);
    if (Alive(hwnd)) SendMsg(hwnd, WM_MOVE, 0, moveParam);
}

BOOL ShowWindowOwn(HWND hwnd, int cmd, bool activateChild = true) {
    bool wasVisible = false, isChild = false, parentShown = true, minimized = false, maximized = false;
    RECT restore{};
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return FALSE;
        wasVisible = w->Visible();
        isChild = w->parent != nullptr;
        if (const Window* p = isChild ? GetWnd(w->parent) : nullptr) parentShown = IsVisibleChain(*p);
        minimized = w->minimized;
        maximized = w->maximized;
        restore = w->normalRect;
    }
    if (cmd == SW_SHOW && wasVisible) {
        SendFirstSizeMove(hwnd);
        return TRUE;
    }
    if (cmd == 10) cmd = SW_SHOWNORMAL;      // SW_SHOWDEFAULT
    if (cmd == 11) cmd = SW_SHOWMINNOACTIVE; // SW_FORCEMINIMIZE

    UINT swp = SWP_NOSIZE | SWP_NOMOVE;
    bool show = true;
    enum class Placement { Keep, Normal, Minimized, Maximized } placement = Placement::Keep;
    switch (cmd) {
        case SW_HIDE:
            if (!wasVisible) return FALSE;
            show = false;
            swp |= SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOACTIVATE;
            break;
        case SW_SHOW:
            swp |= SWP_SHOWWINDOW;
            break;
        case SW_SHOWNA:
        case SW_SHOWNOACTIVATE:
            swp |= SWP_SHOWWINDOW | SWP_NOACTIVATE;
            if (cmd == SW_SHOWNOACTIVATE && minimized) placement = Placement::Normal;
            break;
        case SW_SHOWNORMAL:
        case SW_RESTORE:
            swp |= SWP_SHOWWINDOW;
            if (minimized || maximized) placement = Placement::Normal;
            break;
        case SW_SHOWMAXIMIZED:
            swp |= SWP_SHOWWINDOW;
            placement = Placement::Maximized;
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
            swp |= SWP_SHOWWINDOW;
            if (cmd != SW_SHOWMINIMIZED) swp |= SWP_NOACTIVATE;
            placement = Placement::Minimized;
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
    }
    // A child is activated (WM_CHILDACTIVATE) when it is restored, maximized or
    // minimized by a command that activates; showing or hiding does not.
    const bool activates =
        cmd == SW_SHOWNORMAL || cmd == SW_RESTORE || cmd == SW_SHOWMAXIMIZED || cmd == SW_SHOWMINIMIZED;
    if (isChild && (!activateChild || !activates || placement == Placement::Keep))
        swp |= SWP_NOACTIVATE | SWP_NOZORDER;

    RECT target{};
    if (placement == Placement::Maximized) {
        const MINMAXINFO mmi = QueryMinMax(hwnd);
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w) return wasVisible;
        const RECT area = w->parent ? ParentClientRect(*w) : WorkAreaOf(hwnd);
        target = RECT{area.left + mmi.ptMaxPosition.x, area.top + mmi.ptMaxPosition.y,
                      area.left + mmi.ptMaxPosition.x + mmi.ptMaxSize.x,
                      area.top + mmi.ptMaxPosition.y + mmi.ptMaxSize.y};
    }
    if (placement != Placement::Keep) {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w) return wasVisible;
        if (!w->minimized && !w->maximized) w->normalRect = w->rect;
        if (placement == Placement::Normal) target = w->minimized || w->maximized ? restore : w->rect;
        if (placement == Placement::Minimized)
            target = RECT{kIconicPos.x, kIconicPos.y, kIconicPos.x + kIconicSize.cx,
                          kIconicPos.y + kIconicSize.cy};
        w->minimized = placement == Placement::Minimized;
        w->maximized = placement == Placement::Maximized;
        w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
        if (w->minimized) w->style |= WS_MINIMIZE;
        if (w->maximized) w->style |= WS_MAXIMIZE;
        swp &= ~(SWP_NOSIZE | SWP_NOMOVE);
        swp |= SWP_FRAMECHANGED;
    }

    if (show != wasVisible) {
        SendMsg(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        if (!Alive(hwnd)) return wasVisible;
    }
    if (isChild && !parentShown && placement == Placement::Keep) {
        // Nothing shows or hides on the screen: only the style changes.
        Guard g(Lock());
        if (Window* w = GetWnd(hwnd)) {
            if (show)
                w->style |= WS_VISIBLE;
            else
                w->style &= ~WS_VISIBLE;
        }
    } else {
        SetWindowPosOwn(hwnd, HWND_TOP, target.left, target.top, target.right - target.left,
                        target.bottom - target.top, swp);
    }
    SendFirstSizeMove(hwnd);
    if (Alive(hwnd) && wasVisible && (!show || placement == Placement::Minimized)) ActivateOtherOnHide(hwnd);
    return wasVisible ? TRUE : FALSE;
}

// --- Destruction ------------------------------------------------------------

void SendDestroyMessages(HWND hwnd) {
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w || w->destroyMsgSent) return;
        w->destroyMsgSent = true;
        w->destroying = true;
    }
    InputForgetWindow(hwnd);
    SendMsg(hwnd, WM_DESTROY, 0, 0);
    CaptureForgetWindow(hwnd);
    std::vector<HWND> children;
    {
        Guard g(Lock());
        if (Window* w = GetWnd(hwnd)) children = w->children;
    }
    for (HWND c : children) {
        // A child taken elsewhere meanwhile lives on.
        {
            Guard g(Lock());
            const Window* cw = GetWnd(c);
            if (!cw || cw->parent != hwnd) continue;
        }
        SendDestroyMessages(c);
    }
}

// Children first, then the window: WM_NCDESTROY and the end of the record.
// A child that came in after the WM_DESTROY pass gets its WM_DESTROY here.
void FinalDestroy(HWND hwnd) {
    for (;;) {
        HWND child{};
        {
            Guard g(Lock());
            Window* w = GetWnd(hwnd);
            if (!w) return;
            w->destroying = true;
            if (w->children.empty()) {
                w->ncDestroying = true;
                Unlink(*w);
                KillWindowTimers(hwnd);
                break;
            }
            child = w->children.front();
        }
        SendDestroyMessages(child);
        FinalDestroy(child);
        Guard g(Lock());
        // A child that survived (it belongs to nobody we can reach) is cut loose.
        if (Window* w = GetWnd(hwnd); w && !w->children.empty() && w->children.front() == child) {
            if (Window* c = GetWnd(child)) c->parent = nullptr;
            std::erase(w->children, child);
        }
    }
    SendMsg(hwnd, WM_NCDESTROY, 0, 0);
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    if (!w) return;
    const bool wasDrawn = IsVisibleChain(*w);
    const RECT screen = WindowRectOnScreen(*w);
    KillWindowTimers(hwnd);
    PaintForgetWindow(*w);
    CaretForgetWindow(*w);
    FreeSystemMenu(*w);
    FreeSurface(*w);
    if (w->windowRgn) DeleteRgn(w->windowRgn);
    w->windowRgn = nullptr;
    for (HWND h : AllWindows())
        if (Window* o = GetWnd(h); o && o->owner == hwnd) o->owner = nullptr;
    PurgeWindowMessages(hwnd);
    FreeSlot(hwnd);
    if (wasDrawn) DirtyScreen(screen);
}

BOOL DestroyWindowOwn(HWND hwnd) {
    bool isChild = false, visible = false;
    HWND parent{};
    LONG_PTR id = 0;
    DWORD exStyle = 0;
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return FALSE;
        if (w->destroying) return TRUE;
        w->destroying = true;
        isChild = w->parent != nullptr;
        parent = w->parent;
        visible = w->Visible();
        id = w->id;
        exStyle = w->exStyle;
    }
    if (isChild && !(exStyle & WS_EX_NOPARENTNOTIFY))
        SendMsg(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, static_cast<int>(id)),
                reinterpret_cast<LPARAM>(hwnd));
    if (visible && Alive(hwnd)) {
        if (isChild) {
            ShowWindowOwn(hwnd, SW_HIDE);
        } else {
            SetWindowPosOwn(hwnd, nullptr, 0, 0, 0, 0,
                            SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
        }
    }
    if (!Alive(hwnd)) return TRUE;
    if (!isChild) {
        std::vector<HWND> owned;
        {
            Guard g(Lock());
            const DWORD self = CurrentThread();
            for (HWND h : AllWindows()) {
                Window* o = GetWnd(h);
                if (!o || o->owner != hwnd) continue;
                if (o->threadId == self)
                    owned.push_back(h);
                else
                    o->owner = nullptr;
            }
        }
        for (HWND h : owned) DestroyWindowOwn(h);
    }
    SendDestroyMessages(hwnd);
    FinalDestroy(hwnd);
    CheckMouseTracking();
    return TRUE;
}

HWND RootOf(HWND hwnd) {
    HWND h = hwnd;
    for (const Window* w = GetWnd(h); w && w->parent; w = GetWnd(h)) h = w->parent;
    return h;
}

// --- Hit-testing ---

// Whether the pixel of a layered top-level window at a point (window
// coordinates) shows: not where UpdateLayeredWindow's content has alpha 0, nor
// where SetLayeredWindowAttributes' colour key matches, nor anywhere while the
// constant alpha is 0.
bool LayeredPixelShows(const Window& w, POINT local) {
    if ((w.layeredFlags & LWA_ALPHA) && w.layeredAlpha == 0) return false;
    BitmapSurface s;
    if (!w.surface || !GetBitmapSurface(w.surface, &s) || local.x >= s.width || local.y >= s.height)
        return true;
    const std::uint32_t px = s.Row(local.y)[local.x];
    if (w.layeredByUpdate) return (px >> 24) != 0;
    return !(w.layeredFlags & LWA_COLORKEY) || ColorFromPixel(px) != (w.layeredKey & 0xFFFFFF);
}

// Whether a window takes the point in this walk. A layered top-level window
// with WS_EX_TRANSPARENT never does.
bool TakesPoint(const Window& w, POINT p, const PointWalk& walk) {
    if (!w.Visible() || !InWindowShape(w, p)) return false;
    if (std::find(walk.passOver.begin(), walk.passOver.end(), w.handle) != walk.passOver.end()) return false;
    if (w.parent || !(w.exStyle & WS_EX_LAYERED)) return true;
    if (w.exStyle & WS_EX_TRANSPARENT) return false;
    const RECT r = WindowRectOnScreen(w);
    return LayeredPixelShows(w, POINT{p.x - r.left, p.y - r.top});
}

} // namespace

// ============================================================================
// Records
// ============================================================================

Window* GetWnd(HWND hwnd) {
    AssertLocked();
    Slot* slot = SlotOf(hwnd);
    return slot ? slot->wnd.get() : nullptr;
}

Window* WndOrFail(HWND hwnd) {
    Window* w = GetWnd(hwnd);
    if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

void ClampToTrackingSize(HWND hwnd, int* cx, int* cy) {
    AssertUnlocked();
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w || w->minimized || !UsesMinMax(w->style, !w->parent)) return;
    }
    ClampToMinMax(QueryMinMax(hwnd), cx, cy);
}

bool InWindowShape(const Window& w, POINT screen) {
    const RECT r = WindowRectOnScreen(w);
    if (!PtInRect(&r, screen)) return false;
    return !w.windowRgn || PtInRegion(w.windowRgn, screen.x - r.left, screen.y - r.top);
}

HWND WindowAtPoint(POINT p, const PointWalk& walk) {
    AssertLocked();
    HWND found{};
    for (const std::vector<HWND>* list = &State().zorder;;) {
        const auto it = std::find_if(list->begin(), list->end(), [&](HWND h) {
            const Window* w = GetWnd(h);
            return w && TakesPoint(*w, p, walk);
        });
        if (it == list->end()) return found;
        const Window& w = *GetWnd(*it);
        if (!w.Enabled()) {
            if (found) return found;
            if (walk.mouse) return w.handle;
        }
        found = w.handle;
        const RECT client = ClientRectOnScreen(w);
        if (!PtInRect(&client, p)) return found;
        list = &w.children;
    }
}

HWND DesktopHandle() {
    return reinterpret_cast<HWND>(kDesktopValue);
}

std::vector<HWND> AllWindows() {
    AssertLocked();
    std::vector<HWND> all;
    for (const Slot& s : State().slots)
        if (s.wnd) all.push_back(s.wnd->handle);
    return all;
}

HWND TopLevelOf(HWND hwnd) {
    Guard g(Lock());
    return RootOf(hwnd);
}

const std::vector<HWND>& TopLevelZOrder() {
    AssertLocked();
    return State().zorder;
}

RECT WindowRectOnScreen(const Window& w) {
    const POINT o = WindowOrigin(w);
    return RECT{o.x, o.y, o.x + w.Width(), o.y + w.Height()};
}

RECT ClientRectOnScreen(const Window& w) {
    const POINT o = WindowOrigin(w);
    RECT r = w.client;
    OffsetRect(&r, o.x, o.y);
    return r;
}

POINT WindowOffsetInTop(const Window& w) {
    const POINT o = WindowOrigin(w);
    const Window* top = GetWnd(RootOf(w.handle));
    if (!top) return POINT{};
    return POINT{o.x - top->rect.left, o.y - top->rect.top};
}

bool IsVisibleChain(const Window& w) {
    for (const Window* x = &w; x; x = x->parent ? GetWnd(x->parent) : nullptr) {
        if (!x->Visible()) return false;
        if (!x->parent) return !x->messageOnly;
    }
    return false;
}

void DestroyThreadWindows(DWORD threadId) {
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<HWND> roots;
        {
            Guard g(Lock());
            for (HWND h : AllWindows()) {
                Window* w = GetWnd(h);
                if (w->threadId != threadId) continue;
                Window* p = w->parent ? GetWnd(w->parent) : nullptr;
                if (!p || p->threadId != threadId) roots.push_back(h);
            }
        }
        for (HWND h : roots) {
            if (pass == 0) {
                DestroyWindowOwn(h);
            } else {
                // Left over from a destruction already under way further up the stack.
                SendDestroyMessages(h);
                FinalDestroy(h);
            }
        }
    }
}

// ============================================================================
// Reset
// ============================================================================

// Windows of the calling thread go with their messages; any other thread's are
// dropped silently, as their threads cannot be asked.
void ResetWindowState() {
    DestroyThreadWindows(CurrentThread());
    Guard g(Lock());
    for (HWND h : AllWindows()) {
        Window* w = GetWnd(h);
        if (!w) continue;
        KillWindowTimers(h);
        PaintForgetWindow(*w);
        FreeSurface(*w);
        if (w->windowRgn) DeleteRgn(w->windowRgn);
        FreeSlot(h);
    }
    State().zorder.clear();
    State().cascade = 0;
}

} // namespace detail

using namespace detail;

// ============================================================================
// Creation and destruction
// ============================================================================

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
    HWND hwnd{};
    bool wantVisible = false, child = false, minMax = false, sizeOnShow = false;
    CREATESTRUCT cs{};
    cs.style = static_cast<LONG>(style);
    {
        Guard g(Lock());
        auto cls = FindClass(className);
        if (!cls) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        const bool messageOnly = parent == HWND_MESSAGE;
        Window* p = nullptr;
        if (parent && !messageOnly && !IsDesktop(parent)) {
            p = WndOrFail(parent);
            if (!p) return nullptr;
        }
        child = (style & WS_CHILD) && p;
        if ((style & WS_CHILD) && !p && !messageOnly) {
            SetLastError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
        if (child && p->ncDestroying) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        auto w = std::make_unique<Window>();
        w->cls = cls;
        w->proc = cls->wc.lpfnWndProc;
        // A child keeps a topmost style it asks for: it takes effect once the
        // window is made top level.
        w->exStyle = exStyle;
        w->instance = instance;
        // A thread's first window gives it its message queue.
        w->threadId = CurrentQueue().id;
        if (child) {
            w->parent = parent;
            w->id = reinterpret_cast<LONG_PTR>(menu);
        } else {
            style &= ~WS_CHILD;
            style |= WS_CLIPSIBLINGS;
            if (!(style & WS_POPUP)) style |= WS_CAPTION;
            if (p) w->owner = RootOf(parent);
        }
        wantVisible = (style & WS_VISIBLE) != 0;
        w->style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);

        const bool overlapped = !child && !(style & WS_POPUP);
        sizeOnShow = overlapped && !messageOnly;
        if (overlapped && (x == CW_USEDEFAULT || width == CW_USEDEFAULT)) {
            const RECT work = ScreenRect();
            const int step = SystemMetric(SM_CYCAPTION) + SystemMetric(SM_CYFRAME);
            const int offset = (State().cascade++ % 8) * step;
            if (x == CW_USEDEFAULT) {
                x = work.left + offset;
                y = work.top + offset;
            }
            if (width == CW_USEDEFAULT) {
                width = (work.right - work.left) * 3 / 4;
                height = (work.bottom - work.top) * 3 / 4;
            }
        }
        if (x == CW_USEDEFAULT) x = y = 0;
        if (width == CW_USEDEFAULT) width = height = 0;
        w->rect = RECT{ClampCoord(x), ClampCoord(y), 0, 0};
        const int limit = SizeLimit(!child);
        w->rect.right = w->rect.left + ClampSize(width, limit);
        w->rect.bottom = w->rect.top + ClampSize(height, limit);
        w->client = RECT{0, 0, w->Width(), w->Height()};
        w->normalRect = w->rect;
        w->messageOnly = messageOnly;
        w->sendSizeMove = sizeOnShow;
        w->extraBytes.assign(static_cast<std::size_t>(cls->wc.cbWndExtra), 0);

        Window& ref = *w;
        hwnd = AllocSlot(std::move(w));
        if (!hwnd) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        LinkNew(ref);
        if (!child && !messageOnly) EnsureSurface(ref);
        minMax = UsesMinMax(ref.style, !child);

        cs.lpCreateParams = param;
        cs.hInstance = instance;
        cs.hMenu = menu;
        cs.hwndParent = parent;
        cs.x = ref.rect.left;
        cs.y = ref.rect.top;
        cs.cx = ref.Width();
        cs.cy = ref.Height();
        cs.lpszName = windowName;
        cs.lpszClass = className;
        cs.dwExStyle = exStyle;
    }

    if (minMax) {
        const MINMAXINFO mmi = QueryMinMax(hwnd);
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w) return nullptr;
        int cx = w->Width(), cy = w->Height();
        ClampToMinMax(mmi, &cx, &cy);
        w->rect.right = w->rect.left + cx;
        w->rect.bottom = w->rect.top + cy;
        w->client = RECT{0, 0, cx, cy};
        w->normalRect = w->rect;
        cs.cx = cx;
        cs.cy = cy;
        if (!w->parent) EnsureSurface(*w);
    }

    if (!SendMsg(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        if (Alive(hwnd)) FinalDestroy(hwnd);
        return nullptr;
    }
    if (!Alive(hwnd)) return nullptr;

    RECT calc{};
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w) return nullptr;
        calc = w->rect;
    }
    const RECT whole = calc;
    SendMsg(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&calc));
    {
        Guard g(Lock());
        Window* w = GetWnd(hwnd);
        if (!w) return nullptr;
        w->client = ClientFromCalc(calc, whole);
    }

    if (SendMsg(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        if (Alive(hwnd)) DestroyWindowOwn(hwnd);
        return nullptr;
    }
    if (!sizeOnShow) {
        LPARAM sizeParam = 0, moveParam = 0;
        {
            Guard g(Lock());
            Window* w = GetWnd(hwnd);
            if (!w) return nullptr;
            sizeParam = MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top);
            moveParam = MAKELPARAM(w->rect.left + w->client.left, w->rect.top + w->client.top);
        }
        SendMsg(hwnd, WM_SIZE, SIZE_RESTORED, sizeParam);
        if (!Alive(hwnd)) return nullptr;
        SendMsg(hwnd, WM_MOVE, 0, moveParam);
        if (!Alive(hwnd)) return nullptr;
    }
    if (child && !(exStyle & WS_EX_NOPARENTNOTIFY)) {
        SendMsg(parent, WM_PARENTNOTIFY,
                MAKEWPARAM(WM_CREATE, static_cast<int>(reinterpret_cast<LONG_PTR>(menu))),
                reinterpret_cast<LPARAM>(hwnd));
        if (!Alive(hwnd)) return nullptr;
    }
    if (wantVisible) {
        int cmd = SW_SHOW;
        if (style & WS_MAXIMIZE) cmd = SW_SHOWMAXIMIZED;
        if (style & WS_MINIMIZE) cmd = SW_SHOWMINIMIZED;
        ShowWindowOwn(hwnd, cmd);
    } else if (style & (WS_MINIMIZE | WS_MAXIMIZE)) {
        Guard g(Lock());
        if (Window* w = GetWnd(hwnd)) w->style |= style & (WS_MINIMIZE | WS_MAXIMIZE);
    }
    if (child && (exStyle & WS_EX_MDICHILD) && Alive(hwnd)) MdiChildCreated(parent, hwnd);
    return Alive(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return FALSE;
        if (w->threadId != CurrentThread()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
    }
    return DestroyWindowOwn(hwnd);
}

// ============================================================================
// State and hierarchy
// ============================================================================

BOOL IsWindow(HWND hwnd) {
    if (IsDesktop(hwnd)) return TRUE;
    Guard g(Lock());
    return GetWnd(hwnd) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND hwnd) {
    if (IsDesktop(hwnd)) return TRUE;
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    return w && IsVisibleChain(*w) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
    if (IsDesktop(hwnd)) return TRUE;
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    return w && w->Enabled() ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    bool wasDisabled = false;
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return FALSE;
        wasDisabled = !w->Enabled();
        if (enable && wasDisabled) w->style &= ~WS_DISABLED;
    }
    if (enable && wasDisabled) {
        SendMsg(hwnd, WM_ENABLE, TRUE, 0);
    } else if (!enable && !wasDisabled) {
        SendMsg(hwnd, WM_CANCELMODE, 0, 0);
        {
            Guard g(Lock());
            Window* w = GetWnd(hwnd);
            if (!w) return FALSE;
            w->style |= WS_DISABLED;
        }
        const HWND focus = GetFocus();
        if (focus && (focus == hwnd || IsChild(hwnd, focus))) SetFocus(nullptr);
        SendMsg(hwnd, WM_ENABLE, FALSE, 0);
    }
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsIconic(HWND hwnd) {
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    return w && w->minimized ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hwnd) {
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    return w && w->maximized ? TRUE : FALSE;
}

BOOL IsChild(HWND parent, HWND hwnd) {
    Guard g(Lock());
    return parent && IsDescendant(parent, hwnd) ? TRUE : FALSE;
}

HWND GetParent(HWND hwnd) {
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return nullptr;
    if (w->parent) return w->parent;
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

namespace {
// A window under destruction takes no new parent and a window in its
// WM_NCDESTROY no new child: either would outlive its destruction or leave a
// dead handle behind. Locked.
bool RefusesParenting(const Window& w, HWND newParent) {
    if (w.destroying) return true;
    const Window* p = newParent ? GetWnd(newParent) : nullptr;
    return p && p->destroying;
}

// The new parent is the window itself or one of its descendants. Locked.
bool WouldNestInItself(HWND hwnd, HWND newParent) {
    for (HWND x = newParent; x; x = GetWnd(x)->parent)
        if (x == hwnd) return true;
    return false;
}
} // namespace

// As the original: a visible window is hidden and shown again with ShowWindow
// (WM_SHOWWINDOW and all), and placed at the top of its new siblings with
// SetWindowPos in between, keeping its position relative to the parent; that
// placing counts as a move (WM_MOVE) and, for a child, as its activation
// (WM_CHILDACTIVATE).
HWND SetParent(HWND hwnd, HWND newParent) {
    HWND old{};
    bool visible = false;
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return nullptr;
        if (IsDesktop(newParent)) newParent = nullptr;
        if (newParent && !WndOrFail(newParent)) return nullptr;
        if (WouldNestInItself(hwnd, newParent) || RefusesParenting(*w, newParent)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        old = w->parent ? w->parent : DesktopHandle();
        if (w->parent == newParent) return old;
        visible = w->Visible();
    }
    if (visible) ShowWindow(hwnd, SW_HIDE);
    RECT placed{};
    bool topmost = false;
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return nullptr;
        if (newParent && !GetWnd(newParent)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        // The hiding ran handlers, which may have moved the new parent under this window.
        if (WouldNestInItself(hwnd, newParent) || RefusesParenting(*w, newParent)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        const bool wasTop = !w->parent;
        Unlink(*w);
        w->parent = newParent;
        if (newParent) w->owner = nullptr;
        w->messageOnly = false;
        LinkNew(*w);
        if (wasTop && newParent) FreeSurface(*w);
        if (!newParent) EnsureSurface(*w);
        placed = w->rect;
        topmost = (w->exStyle & WS_EX_TOPMOST) != 0;
    }
    RunOnOwnerThread(hwnd, [&] {
        return static_cast<LRESULT>(SetWindowPosOwn(hwnd, topmost ? HWND_TOPMOST : HWND_TOP, placed.left,
                                                    placed.top, 0, 0, SWP_NOSIZE, true));
    });
    if (visible && Alive(hwnd)) ShowWindow(hwnd, SW_SHOW);
    return old;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    Guard g(Lock());
    // The desktop's children are the top-level windows, the first in z-order
    // first; it has no siblings and no owner.
    if (IsDesktop(hwnd)) {
        switch (cmd) {
            case GW_CHILD:
                return State().zorder.empty() ? nullptr : State().zorder.front();
            case GW_HWNDFIRST:
            case GW_HWNDLAST:
                return hwnd;
            case GW_HWNDNEXT:
            case GW_HWNDPREV:
            case GW_OWNER:
            case GW_ENABLEDPOPUP:
                return nullptr;
            default:
                SetLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
        }
    }
    Window* w = WndOrFail(hwnd);
    if (!w) return nullptr;
    if (cmd == GW_OWNER) return w->owner;
    if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    if (cmd == GW_ENABLEDPOPUP) return nullptr;
    const std::vector<HWND>* list = SiblingList(*w);
    if (!list || list->empty()) return nullptr;
    auto it = std::find(list->begin(), list->end(), hwnd);
    switch (cmd) {
        case GW_HWNDFIRST:
            return list->front();
        case GW_HWNDLAST:
            return list->back();
        case GW_HWNDNEXT:
            return it == list->end() || it + 1 == list->end() ? nullptr : *(it + 1);
        case GW_HWNDPREV:
            return it == list->end() || it == list->begin() ? nullptr : *(it - 1);
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

HWND GetAncestor(HWND hwnd, UINT flags) {
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return nullptr;
    switch (flags) {
        case GA_PARENT:
            return w->parent ? w->parent : DesktopHandle();
        case GA_ROOT:
            return RootOf(hwnd);
        case GA_ROOTOWNER: {
            HWND h = RootOf(hwnd);
            for (Window* x = GetWnd(h); x && x->owner; x = GetWnd(h)) h = x->owner;
            return h;
        }
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

HWND GetTopWindow(HWND hwnd) {
    Guard g(Lock());
    if (!hwnd || IsDesktop(hwnd)) return State().zorder.empty() ? nullptr : State().zorder.front();
    Window* w = WndOrFail(hwnd);
    if (!w) return nullptr;
    return w->children.empty() ? nullptr : w->children.front();
}

HWND GetDesktopWindow() {
    return DesktopHandle();
}

std::vector<HWND> GetTopLevelWindows() {
    Guard g(Lock());
    return State().zorder;
}

std::vector<HWND> GetChildWindows(HWND parent) {
    Guard g(Lock());
    if (!parent || IsDesktop(parent)) return State().zorder;
    Window* w = WndOrFail(parent);
    return w ? w->children : std::vector<HWND>{};
}

// ============================================================================
// Window data
// ============================================================================

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return 0;
    switch (index) {
        case GWL_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w->proc);
        case GWL_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(w->instance);
        case GWL_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
        case GWL_STYLE:
            return static_cast<LONG_PTR>(w->style);
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(w->exStyle);
        case GWL_USERDATA:
            return w->userData;
        case GWL_ID:
            return w->id;
        default:
            break;
    }
    const std::vector<BYTE>& bytes = w->extraBytes;
    if (index < 0 || static_cast<std::size_t>(index) + sizeof(LONG_PTR) > bytes.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    LONG_PTR v = 0;
    std::memcpy(&v, bytes.data() + index, sizeof v);
    return v;
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
    if (index == GWL_STYLE || index == GWL_EXSTYLE) {
        STYLESTRUCT ss{};
        {
            Guard g(Lock());
            Window* w = WndOrFail(hwnd);
            if (!w) return 0;
            ss.styleOld = index == GWL_STYLE ? w->style : w->exStyle;
            ss.styleNew = static_cast<DWORD>(value);
        }
        const WPARAM which = static_cast<WPARAM>(static_cast<std::intptr_t>(index));
        SendMsg(hwnd, WM_STYLECHANGING, which, reinterpret_cast<LPARAM>(&ss));
        DWORD old = 0;
        {
            Guard g(Lock());
            Window* w = WndOrFail(hwnd);
            if (!w) return 0;
            const bool wasDrawn = IsVisibleChain(*w);
            if (index == GWL_STYLE) {
                old = w->style;
                w->style = ss.styleNew;
            } else {
                old = w->exStyle;
                // Topmost changes only through SetWindowPos.
                w->exStyle = (ss.styleNew & ~WS_EX_TOPMOST) | (old & WS_EX_TOPMOST);
                if ((old ^ w->exStyle) & WS_EX_LAYERED && !w->parent) EnsureSurface(*w);
            }
            if (wasDrawn || IsVisibleChain(*w)) DirtyScreen(WindowRectOnScreen(*w));
            ss.styleOld = old;
        }
        SendMsg(hwnd, WM_STYLECHANGED, which, reinterpret_cast<LPARAM>(&ss));
        SetLastError(ERROR_SUCCESS);
        return static_cast<LONG_PTR>(old);
    }
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return 0;
    LONG_PTR old = 0;
    switch (index) {
        case GWL_WNDPROC:
            if (!value) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            old = reinterpret_cast<LONG_PTR>(w->proc);
            w->proc = reinterpret_cast<WNDPROC>(value);
            break;
        case GWL_HINSTANCE:
            old = reinterpret_cast<LONG_PTR>(w->instance);
            w->instance = reinterpret_cast<HINSTANCE>(value);
            break;
        case GWL_HWNDPARENT: {
            old = reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
            if (w->parent) break;
            HWND owner = reinterpret_cast<HWND>(value);
            if (owner && !GetWnd(owner)) {
                SetLastError(ERROR_INVALID_WINDOW_HANDLE);
                return 0;
            }
            owner = owner ? RootOf(owner) : nullptr;
            if (owner == hwnd) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            for (Window* x = owner ? GetWnd(owner) : nullptr; x; x = x->owner ? GetWnd(x->owner) : nullptr)
                if (x->owner == hwnd) {
                    SetLastError(ERROR_INVALID_PARAMETER);
                    return 0;
                }
            w->owner = owner;
            break;
        }
        case GWL_USERDATA:
            old = w->userData;
            w->userData = value;
            break;
        case GWL_ID:
            old = w->id;
            w->id = value;
            break;
        default: {
            std::vector<BYTE>& bytes = w->extraBytes;
            if (index < 0 || static_cast<std::size_t>(index) + sizeof(LONG_PTR) > bytes.size()) {
                SetLastError(ERROR_INVALID_INDEX);
                return 0;
            }
            std::memcpy(&old, bytes.data() + index, sizeof old);
            std::memcpy(bytes.data() + index, &value, sizeof value);
            break;
        }
    }
    SetLastError(ERROR_SUCCESS);
    return old;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

BOOL SetProp(HWND hwnd, const char* name, void* data) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return FALSE;
    w->props[UpperKey(name)] = data;
    return TRUE;
}

void* GetProp(HWND hwnd, const char* name) {
    if (!name) return nullptr;
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    if (!w) return nullptr;
    auto it = w->props.find(UpperKey(name));
    return it == w->props.end() ? nullptr : it->second;
}

void* RemoveProp(HWND hwnd, const char* name) {
    if (!name) return nullptr;
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return nullptr;
    auto it = w->props.find(UpperKey(name));
    if (it == w->props.end()) return nullptr;
    void* data = it->second;
    w->props.erase(it);
    return data;
}

// ============================================================================
// Text
// ============================================================================

namespace {
bool OwnedByCaller(HWND hwnd, bool* valid) {
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    *valid = w != nullptr;
    return w && w->threadId == CurrentThread();
}
} // namespace

BOOL SetWindowText(HWND hwnd, const char* text) {
    if (!IsWindow(hwnd) || IsDesktop(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMsg(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

int GetWindowText(HWND hwnd, char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = 0;
    bool valid = false;
    if (OwnedByCaller(hwnd, &valid))
        return static_cast<int>(
            SendMsg(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
    if (!valid) return 0;
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    return w ? static_cast<int>(gfx::CopyUtf8ToBuffer(w->text, buffer, static_cast<std::size_t>(size))) : 0;
}

int GetWindowTextLength(HWND hwnd) {
    bool valid = false;
    if (OwnedByCaller(hwnd, &valid)) return static_cast<int>(SendMsg(hwnd, WM_GETTEXTLENGTH, 0, 0));
    if (!valid) return 0;
    Guard g(Lock());
    Window* w = GetWnd(hwnd);
    return w ? static_cast<int>(w->text.size()) : 0;
}

std::string GetWindowText(HWND hwnd) {
    const int length = GetWindowTextLength(hwnd);
    if (length <= 0) return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int n = GetWindowText(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(n, 0)));
    return text;
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId) {
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return 0;
    if (processId) *processId = GetCurrentProcessId();
    return w->threadId;
}

DWORD GetCurrentProcessId() {
    return static_cast<DWORD>(::getpid());
}

BOOL SetWindowContextHelpId(HWND hwnd, DWORD contextId) {
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return FALSE;
    w->helpContextId = contextId;
    return TRUE;
}

DWORD GetWindowContextHelpId(HWND hwnd) {
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    return w ? w->helpContextId : 0;
}

// ============================================================================
// Geometry
// ============================================================================

BOOL GetWindowRect(HWND hwnd, RECT* r) {
    if (!r) return FALSE;
    if (IsDesktop(hwnd)) {
        *r = ScreenRect();
        return TRUE;
    }
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return FALSE;
    *r = WindowRectOnScreen(*w);
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* r) {
    if (!r) return FALSE;
    if (IsDesktop(hwnd)) {
        *r = ScreenRect();
        return TRUE;
    }
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return FALSE;
    *r = RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    return TRUE;
}

namespace {
// Screen position of a window's client (0, 0); the desktop and null are the screen.
bool ClientOrigin(HWND hwnd, POINT* origin) {
    if (!hwnd || IsDesktop(hwnd)) {
        *origin = POINT{};
        return true;
    }
    Window* w = WndOrFail(hwnd);
    if (!w) return false;
    const RECT r = ClientRectOnScreen(*w);
    *origin = POINT{r.left, r.top};
    return true;
}

// ClientToScreen (sign 1) and ScreenToClient (sign -1).
BOOL MoveByClientOrigin(HWND hwnd, POINT* p, int sign) {
    if (!p) return FALSE;
    Guard g(Lock());
    POINT o{};
    if (!hwnd || !ClientOrigin(hwnd, &o)) {
        if (!hwnd) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    p->x += sign * o.x;
    p->y += sign * o.y;
    return TRUE;
}
} // namespace

BOOL ClientToScreen(HWND hwnd, POINT* p) {
    return MoveByClientOrigin(hwnd, p, 1);
}

BOOL ScreenToClient(HWND hwnd, POINT* p) {
    return MoveByClientOrigin(hwnd, p, -1);
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    Guard g(Lock());
    POINT a{}, b{};
    if (!ClientOrigin(from, &a) || !ClientOrigin(to, &b)) return 0;
    const int dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<int>(MAKELPARAM(dx, dy));
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    {
        Guard g(Lock());
        if (!WndOrFail(hwnd)) return FALSE;
    }
    return static_cast<BOOL>(RunOnOwnerThread(
        hwnd, [&] { return static_cast<LRESULT>(SetWindowPosOwn(hwnd, insertAfter, x, y, cx, cy, flags)); }));
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL ShowWindow(HWND hwnd, int cmd) {
    {
        Guard g(Lock());
        if (!WndOrFail(hwnd)) return FALSE;
    }
    return static_cast<BOOL>(
        RunOnOwnerThread(hwnd, [&] { return static_cast<LRESULT>(ShowWindowOwn(hwnd, cmd)); }));
}

namespace detail {

BOOL ShowWindowWithoutActivation(HWND hwnd, int cmd) {
    return ShowWindowOwn(hwnd, cmd, false);
}

} // namespace detail

BOOL BringWindowToTop(HWND hwnd) {
    return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL AdjustWindowRectEx(RECT* r, DWORD style, BOOL menu, DWORD exStyle) {
    if (!r) return FALSE;
    Guard g(Lock());
    RECT in = NonClientInsets(style, exStyle);
    if (style & WS_VSCROLL) in.right -= SystemMetric(SM_CXVSCROLL);
    if (style & WS_HSCROLL) in.bottom -= SystemMetric(SM_CYHSCROLL);
    if (menu) in.top += SystemMetric(SM_CYMENU);
    r->left -= in.left;
    r->top -= in.top;
    r->right += std::max<LONG>(in.right, 0);
    r->bottom += std::max<LONG>(in.bottom, 0);
    return TRUE;
}

HWND WindowFromPoint(POINT p) {
    PointWalk walk;
    for (;;) {
        HWND found{};
        bool ask = false;
        {
            Guard g(Lock());
            found = WindowAtPoint(p, walk);
            if (!found) return nullptr;
            ask = GetWnd(found)->threadId == CurrentThread();
        }
        if (!ask || SendMsg(found, WM_NCHITTEST, 0, PointToLParam(p)) != HTTRANSPARENT) return found;
        walk.passOver.push_back(found);
    }
}

HWND ChildWindowFromPoint(HWND parent, POINT clientPoint) {
    return ChildWindowFromPointEx(parent, clientPoint, CWP_ALL);
}

HWND ChildWindowFromPointEx(HWND parent, POINT clientPoint, UINT flags) {
    Guard g(Lock());
    if (!parent || IsDesktop(parent)) {
        for (HWND h : State().zorder) {
            const Window* w = GetWnd(h);
            if ((flags & CWP_SKIPINVISIBLE) && !w->Visible()) continue;
            if ((flags & CWP_SKIPDISABLED) && !w->Enabled()) continue;
            if ((flags & CWP_SKIPTRANSPARENT) && (w->exStyle & WS_EX_TRANSPARENT)) continue;
            if (InWindowShape(*w, clientPoint)) return h;
        }
        return DesktopHandle();
    }
    Window* p = WndOrFail(parent);
    if (!p) return nullptr;
    const RECT pr = ClientRectOnScreen(*p);
    const POINT screen{clientPoint.x + pr.left, clientPoint.y + pr.top};
    if (!InWindowShape(*p, screen)) return nullptr;
    for (HWND h : p->children) {
        const Window* c = GetWnd(h);
        if ((flags & CWP_SKIPINVISIBLE) && !c->Visible()) continue;
        if ((flags & CWP_SKIPDISABLED) && !c->Enabled()) continue;
        if ((flags & CWP_SKIPTRANSPARENT) && (c->exStyle & WS_EX_TRANSPARENT)) continue;
        if (InWindowShape(*c, screen)) return h;
    }
    return parent;
}

int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw) {
    {
        Guard g(Lock());
        Window* w = WndOrFail(hwnd);
        if (!w) return 0;
        if (rgn && GetObjectType(rgn) != OBJ_REGION) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        const bool drawn = IsVisibleChain(*w);
        const RECT screen = WindowRectOnScreen(*w);
        if (w->windowRgn && w->windowRgn != rgn) DeleteRgn(w->windowRgn);
        w->windowRgn = rgn;
        if (drawn) {
            DirtyScreen(screen);
            if (redraw && w->parent) {
                if (Window* p = GetWnd(w->parent)) {
                    RECT area = w->rect;
                    OffsetRect(&area, p->client.left, p->client.top);
                    RedrawArea(*p, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN, hwnd);
                }
            }
        }
    }
    // The new shape is a change of frame; the window itself is redrawn there
    // unless the caller said not to.
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED |
                     (redraw ? 0 : SWP_NOREDRAW));
    CheckMouseTracking();
    return 1;
}

int GetWindowRgn(HWND hwnd, HRGN rgn) {
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w || !rgn || !w->windowRgn) return ERROR;
    return CombineRgn(rgn, w->windowRgn, nullptr, RGN_COPY);
}

} // namespace win
