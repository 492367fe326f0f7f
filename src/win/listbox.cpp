// The system class "LISTBOX": a list of items with one selection, drawn by
// the list box itself or by its owner (LBS_OWNERDRAWFIXED,
// LBS_OWNERDRAWVARIABLE), scrolled through its frame's vertical scroll bar.
//
// The owner is the parent the list box was created under; it keeps getting
// WM_MEASUREITEM, WM_DRAWITEM, WM_CTLCOLORLISTBOX and the notifications
// (WM_COMMAND) after the list box is given another parent or none. The list
// box counts as focused from WM_SETFOCUS to WM_KILLFOCUS, whoever sends them:
// it draws the focus then, and a press takes the real focus only when it
// does not count as focused. A press on its own scroll bar that arrives as a
// client press (the list box holds the capture) runs the scroll bar and then
// takes the capture back.
#include "win/internal.h"

#include "gfx/draw.h"

#include <algorithm>

namespace win {

namespace detail {
namespace {

struct Item {
    std::string text;
    std::uintptr_t data = 0;
    int height = 0; // LBS_OWNERDRAWVARIABLE
};

struct ListBoxState : ControlState {
    HWND owner{};
    std::vector<Item> items;
    int top = 0;
    int selected = -1;
    int caret = 0; // the item with the focus rectangle
    int itemHeight = 0;
    HFONT font{};
    bool focused = false;
    bool tracking = false; // the mouse selects, holding the capture
    bool vScroll = false;  // created with WS_VSCROLL: shows it when there is something to scroll
};

using State = std::shared_ptr<ListBoxState>;

DWORD StyleOf(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongPtr(hwnd, GWL_STYLE));
}

bool Variable(HWND hwnd) {
    return (StyleOf(hwnd) & LBS_OWNERDRAWVARIABLE) != 0;
}

bool OwnerDraw(HWND hwnd) {
    return (StyleOf(hwnd) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
}

bool HasStrings(HWND hwnd) {
    return !OwnerDraw(hwnd) || (StyleOf(hwnd) & LBS_HASSTRINGS);
}

int Count(const ListBoxState& s) {
    return static_cast<int>(s.items.size());
}

bool Valid(const ListBoxState& s, WPARAM index) {
    return static_cast<int>(index) >= 0 && static_cast<int>(index) < Count(s);
}

int HeightOf(HWND hwnd, const ListBoxState& s, int index) {
    if (Variable(hwnd) && index >= 0 && index < Count(s)) return std::max(s.items[index].height, 1);
    return std::max(s.itemHeight, 1);
}

int ClientHeight(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r.bottom;
}

// The items that show whole from `top` on, at least one.
int PageFrom(HWND hwnd, const ListBoxState& s, int top) {
    const int height = ClientHeight(hwnd);
    if (!Variable(hwnd)) return std::max(1, height / std::max(s.itemHeight, 1));
    int page = 0;
    for (int i = top, y = 0; i < Count(s) && (y += HeightOf(hwnd, s, i)) <= height; ++i) ++page;
    return std::max(page, 1);
}

// The highest top item: the last items fill the list box.
int MaxTop(HWND hwnd, const ListBoxState& s) {
    const int height = ClientHeight(hwnd);
    int top = Count(s);
    for (int y = 0; top > 0 && (y += HeightOf(hwnd, s, top - 1)) <= height;) --top;
    return std::min(top, std::max(Count(s) - 1, 0));
}

void UpdateScrollBar(HWND hwnd, ListBoxState& s) {
    s.top = std::clamp(s.top, 0, MaxTop(hwnd, s));
    if (!s.vScroll) return;
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (StyleOf(hwnd) & LBS_DISABLENOSCROLL) info.fMask |= SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = std::max(Count(s) - 1, 0);
    info.nPage = static_cast<UINT>(PageFrom(hwnd, s, s.top));
    info.nPos = s.top;
    SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
}

void SetTop(HWND hwnd, ListBoxState& s, int top) {
    top = std::clamp(top, 0, MaxTop(hwnd, s));
    if (top == s.top) return;
    s.top = top;
    UpdateScrollBar(hwnd, s);
    InvalidateRect(hwnd, nullptr, TRUE);
}

void ShowItem(HWND hwnd, ListBoxState& s, int index) {
    if (index < 0 || index >= Count(s)) return;
    if (index < s.top) {
        SetTop(hwnd, s, index);
        return;
    }
    int top = s.top;
    while (top < index && index >= top + PageFrom(hwnd, s, top)) ++top;
    SetTop(hwnd, s, top);
}

// The item's rectangle in the client area (above it for items before the top).
RECT ItemRect(HWND hwnd, const ListBoxState& s, int index) {
    RECT client{};
    GetClientRect(hwnd, &client);
    int y = 0;
    for (int i = s.top; i < index; ++i) y += HeightOf(hwnd, s, i);
    for (int i = index; i < s.top; ++i) y -= HeightOf(hwnd, s, i);
    return RECT{0, y, client.right, y + HeightOf(hwnd, s, index)};
}

// The item under a client point, or -1 below the last one or above the first.
int ItemAt(HWND hwnd, const ListBoxState& s, int y) {
    if (y < 0) return -1;
    for (int i = s.top, bottom = 0; i < Count(s); ++i) {
        bottom += HeightOf(hwnd, s, i);
        if (y < bottom) return i;
    }
    return -1;
}

bool Notify(HWND hwnd, const State& s, WORD code) {
    if (!s->owner || !IsWindow(s->owner)) return true;
    const auto id = static_cast<WORD>(GetWindowLongPtr(hwnd, GWL_ID));
    SendMsg(s->owner, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(hwnd));
    return ControlStateLives(hwnd, s.get());
}

// Selects an item (-1: none) and shows it; with `notify` the owner hears of a
// change when the style asks for it. False when the list box did not survive.
bool Select(HWND hwnd, const State& s, int index, bool notify) {
    if (index >= Count(*s)) index = Count(*s) - 1;
    if (index >= 0) s->caret = index;
    ShowItem(hwnd, *s, index);
    if (index == s->selected) return true;
    s->selected = index;
    InvalidateRect(hwnd, nullptr, TRUE);
    if (notify && (StyleOf(hwnd) & LBS_NOTIFY)) return Notify(hwnd, s, LBN_SELCHANGE);
    return true;
}

UINT MeasureItem(HWND hwnd, const ListBoxState& s, int index, std::uintptr_t data) {
    MEASUREITEMSTRUCT mis;
    mis.CtlType = ODT_LISTBOX;
    mis.CtlID = static_cast<UINT>(GetWindowLongPtr(hwnd, GWL_ID));
    mis.itemID = static_cast<UINT>(index);
    mis.itemHeight = static_cast<UINT>(s.itemHeight);
    mis.itemData = data;
    if (s.owner) SendMsg(s.owner, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
    return mis.itemHeight;
}

int FontHeight(const ListBoxState& s) {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, s.font ? handle_cast<HGDIOBJ>(s.font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    DeleteDC(dc);
    return tm.tmHeight;
}

// A list box whose height is not a whole number of items loses the rest.
void KeepIntegralHeight(HWND hwnd, const ListBoxState& s) {
    const DWORD style = StyleOf(hwnd);
    if ((style & (LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWVARIABLE)) || s.itemHeight <= 0) return;
    const int height = ClientHeight(hwnd);
    const int rest = height % s.itemHeight;
    if (!rest || height <= s.itemHeight) return;
    RECT r{};
    GetWindowRect(hwnd, &r);
    SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top - rest,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Insert(HWND hwnd, const State& s, int index, LPARAM lParam) {
    if (index < 0) index = Count(*s);
    if (index > Count(*s)) return static_cast<int>(LB_ERR);
    Item item;
    if (HasStrings(hwnd))
        item.text = lParam ? reinterpret_cast<const char*>(lParam) : "";
    else
        item.data = static_cast<std::uintptr_t>(lParam);
    item.height = s->itemHeight;
    s->items.insert(s->items.begin() + index, std::move(item));
    if (s->selected >= index) ++s->selected;
    if (s->caret >= index && Count(*s) > 1) ++s->caret;
    if (Variable(hwnd)) {
        const UINT height = MeasureItem(hwnd, *s, index, s->items[index].data);
        if (!ControlStateLives(hwnd, s.get()) || index >= Count(*s)) return index;
        s->items[index].height = static_cast<int>(height);
    }
    UpdateScrollBar(hwnd, *s);
    InvalidateRect(hwnd, nullptr, TRUE);
    return index;
}

LRESULT Delete(HWND hwnd, ListBoxState& s, WPARAM index) {
    if (!Valid(s, index)) return LB_ERR;
    const int i = static_cast<int>(index);
    s.items.erase(s.items.begin() + i);
    if (s.selected == i)
        s.selected = -1;
    else if (s.selected > i)
        --s.selected;
    if (s.caret > i || s.caret >= Count(s)) s.caret = std::max(s.caret - 1, 0);
    UpdateScrollBar(hwnd, s);
    InvalidateRect(hwnd, nullptr, TRUE);
    return Count(s);
}

void Reset(HWND hwnd, ListBoxState& s) {
    s.items.clear();
    s.top = 0;
    s.selected = -1;
    s.caret = 0;
    UpdateScrollBar(hwnd, s);
    InvalidateRect(hwnd, nullptr, TRUE);
}

// --- Drawing ---

HBRUSH ColourBrush(HWND hwnd, const ListBoxState& s, HDC dc) {
    HBRUSH brush{};
    if (s.owner)
        brush = reinterpret_cast<HBRUSH>(SendMsg(s.owner, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                                 reinterpret_cast<LPARAM>(hwnd)));
    if (!brush)
        brush = reinterpret_cast<HBRUSH>(DefWindowProc(hwnd, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(hwnd)));
    return brush;
}

void DrawOwnItem(const ListBoxState& s, HDC dc, int index, RECT r, HBRUSH brush, UINT state) {
    if (index >= 0) {
        const bool selected = state & ODS_SELECTED;
        FillRect(dc, &r, selected ? GetSysColorBrush(COLOR_HIGHLIGHT) : brush);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, !(state & ODS_DISABLED)
                             ? selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetTextColor(dc)
                             : GetSysColor(COLOR_GRAYTEXT));
        RECT text = r;
        text.left += 2;
        DrawText(dc, s.items[index].text, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (state & ODS_FOCUS) DrawFocusRect(dc, &r);
}

void DrawItem(HWND hwnd, const State& s, HDC dc, int index, RECT r, HBRUSH brush) {
    const bool enabled = !(StyleOf(hwnd) & WS_DISABLED);
    UINT state = 0;
    if (index >= 0 && index == s->selected) state |= ODS_SELECTED;
    if (s->focused && (index < 0 || index == s->caret)) state |= ODS_FOCUS;
    if (!enabled) state |= ODS_DISABLED;
    SavedDC saved(dc);
    if (!OwnerDraw(hwnd)) {
        DrawOwnItem(*s, dc, index, r, brush, state);
        return;
    }
    DRAWITEMSTRUCT dis;
    dis.CtlType = ODT_LISTBOX;
    dis.CtlID = static_cast<UINT>(GetWindowLongPtr(hwnd, GWL_ID));
    dis.itemID = static_cast<UINT>(index);
    dis.itemAction = index >= 0 ? ODA_DRAWENTIRE : ODA_FOCUS;
    dis.itemState = state;
    dis.hwndItem = hwnd;
    dis.hDC = dc;
    dis.rcItem = r;
    dis.itemData = index >= 0 ? s->items[index].data : 0;
    SendMsg(s->owner, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

void Paint(HWND hwnd, const State& s, HDC given) {
    PAINTSTRUCT ps;
    HDC dc = given ? given : BeginPaint(hwnd, &ps);
    if (!dc) return;
    {
        SavedDC saved(dc);
        RECT client{};
        GetClientRect(hwnd, &client);
        IntersectClipRect(dc, 0, 0, client.right, client.bottom);
        SelectObject(dc, s->font ? handle_cast<HGDIOBJ>(s->font) : GetStockObject(SYSTEM_FONT));
        const HBRUSH brush = ColourBrush(hwnd, *s, dc);
        int y = 0;
        for (int i = s->top; i < Count(*s) && y < client.bottom; ++i) {
            const RECT r{0, y, client.right, y + HeightOf(hwnd, *s, i)};
            DrawItem(hwnd, s, dc, i, r, brush);
            if (!ControlStateLives(hwnd, s.get())) break;
            y = r.bottom;
        }
        RECT rest{0, y, client.right, client.bottom};
        if (!IsRectEmpty(&rest)) FillRect(dc, &rest, brush);
        if (s->items.empty() && s->focused)
            DrawItem(hwnd, s, dc, -1, RECT{0, 0, client.right, std::max(s->itemHeight, 1)}, brush);
    }
    if (!given) EndPaint(hwnd, &ps);
}

// --- Input ---

bool KeyDown(HWND hwnd, const State& s, WPARAM vk) {
    if (s->items.empty()) return false;
    const int page = PageFrom(hwnd, *s, s->top);
    int to = s->caret;
    switch (vk) {
        case VK_UP:
            to -= 1;
            break;
        case VK_DOWN:
            to += 1;
            break;
        case VK_PRIOR:
            to -= std::max(page - 1, 1);
            break;
        case VK_NEXT:
            to += std::max(page - 1, 1);
            break;
        case VK_HOME:
            to = 0;
            break;
        case VK_END:
            to = Count(*s) - 1;
            break;
        default:
            return false;
    }
    if (s->selected < 0 && (vk == VK_UP || vk == VK_DOWN)) to = s->caret;
    Select(hwnd, s, std::clamp(to, 0, Count(*s) - 1), true);
    return true;
}

// A client press outside the client area: the list box holds the capture and
// the press is on its frame. A press on the scroll bar runs the scroll bar.
bool PressOnFrame(HWND hwnd, LPARAM lParam) {
    POINT p = PointFromLParam(lParam);
    RECT client{};
    GetClientRect(hwnd, &client);
    if (PtInRect(&client, p)) return false;
    ClientToScreen(hwnd, &p);
    const LRESULT hit = SendMsg(hwnd, WM_NCHITTEST, 0, PointToLParam(p));
    if (hit == HTVSCROLL || hit == HTHSCROLL) {
        const bool captured = GetCapture() == hwnd;
        SendMsg(hwnd, WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), PointToLParam(p));
        if (captured && IsWindow(hwnd) && GetCapture() != hwnd) SetCapture(hwnd);
    }
    return true;
}

void ButtonDown(HWND hwnd, const State& s, LPARAM lParam) {
    if (!s->focused) {
        SetFocus(hwnd);
        if (!ControlStateLives(hwnd, s.get())) return;
    }
    if (PressOnFrame(hwnd, lParam)) return;
    const int index = ItemAt(hwnd, *s, GET_Y_LPARAM(lParam));
    if (index >= 0 && !Select(hwnd, s, index, true)) return;
    // Taken first: taking it again tells the list box it lost it.
    SetCapture(hwnd);
    s->tracking = true;
}

// While the mouse selects, the item under it; above or below the list box the
// next one out, which scrolls into view.
void Track(HWND hwnd, const State& s, LPARAM lParam) {
    if (!s->tracking || GetCapture() != hwnd || s->items.empty()) return;
    const int y = GET_Y_LPARAM(lParam);
    int index = ItemAt(hwnd, *s, y);
    if (y < 0)
        index = std::max(s->top - 1, 0);
    else if (index < 0)
        index = std::min(s->top + PageFrom(hwnd, *s, s->top), Count(*s) - 1);
    Select(hwnd, s, index, false);
}

void ButtonUp(HWND hwnd, const State& s) {
    if (!s->tracking) return;
    s->tracking = false;
    if (GetCapture() == hwnd) ReleaseCapture();
    if (ControlStateLives(hwnd, s.get()) && (StyleOf(hwnd) & LBS_NOTIFY) && !s->items.empty())
        Notify(hwnd, s, LBN_SELCHANGE);
}

void Scroll(HWND hwnd, ListBoxState& s, WORD request) {
    const int page = PageFrom(hwnd, s, s.top);
    switch (request) {
        case SB_LINEUP:
            SetTop(hwnd, s, s.top - 1);
            break;
        case SB_LINEDOWN:
            SetTop(hwnd, s, s.top + 1);
            break;
        case SB_PAGEUP:
            SetTop(hwnd, s, s.top - std::max(page - 1, 1));
            break;
        case SB_PAGEDOWN:
            SetTop(hwnd, s, s.top + std::max(page - 1, 1));
            break;
        case SB_TOP:
            SetTop(hwnd, s, 0);
            break;
        case SB_BOTTOM:
            SetTop(hwnd, s, Count(s));
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO info;
            info.fMask = SIF_TRACKPOS;
            if (GetScrollInfo(hwnd, SB_VERT, &info)) SetTop(hwnd, s, info.nTrackPos);
            break;
        }
        default:
            break;
    }
}

LRESULT GetText(HWND hwnd, const ListBoxState& s, WPARAM index, LPARAM buffer) {
    if (!Valid(s, index)) return LB_ERR;
    const Item& item = s.items[index];
    if (!HasStrings(hwnd)) {
        if (buffer) *reinterpret_cast<std::uintptr_t*>(buffer) = item.data;
        return sizeof(std::uintptr_t);
    }
    // The caller sized the buffer by LB_GETTEXTLEN.
    if (char* p = reinterpret_cast<char*>(buffer)) {
        std::copy(item.text.begin(), item.text.end(), p);
        p[item.text.size()] = '\0';
    }
    return static_cast<LRESULT>(item.text.size());
}

} // namespace

LRESULT ListBoxWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const State s = ControlStateOf<ListBoxState>(hwnd, msg != WM_NCDESTROY);
    if (!s) return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_NCCREATE:
            if (const auto* cs = reinterpret_cast<const CREATESTRUCT*>(lParam)) {
                s->owner = cs->hwndParent;
                s->vScroll = (cs->style & WS_VSCROLL) != 0;
            }
            return DefWindowProc(hwnd, msg, wParam, lParam);
        case WM_CREATE:
            s->itemHeight = FontHeight(*s);
            if (StyleOf(hwnd) & LBS_OWNERDRAWFIXED) {
                const UINT height = MeasureItem(hwnd, *s, 0, 0);
                if (!ControlStateLives(hwnd, s.get())) return 0;
                if (height > 0) s->itemHeight = static_cast<int>(height);
            }
            // Nothing scrolls sideways.
            if (StyleOf(hwnd) & WS_HSCROLL) ShowScrollBar(hwnd, SB_HORZ, FALSE);
            KeepIntegralHeight(hwnd, *s);
            UpdateScrollBar(hwnd, *s);
            return 0;
        case WM_NCDESTROY:
            DropControlState(hwnd);
            return DefWindowProc(hwnd, msg, wParam, lParam);
        case WM_SIZE:
            KeepIntegralHeight(hwnd, *s);
            UpdateScrollBar(hwnd, *s);
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client,
                     ColourBrush(hwnd, *s, reinterpret_cast<HDC>(wParam)));
            return 1;
        }
        case WM_PAINT:
            Paint(hwnd, s, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_SETFONT:
            s->font = reinterpret_cast<HFONT>(wParam);
            if (!OwnerDraw(hwnd)) {
                s->itemHeight = FontHeight(*s);
                KeepIntegralHeight(hwnd, *s);
                UpdateScrollBar(hwnd, *s);
            }
            if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(s->font);
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
            s->focused = true;
            InvalidateRect(hwnd, nullptr, TRUE);
            Notify(hwnd, s, LBN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            s->focused = false;
            InvalidateRect(hwnd, nullptr, TRUE);
            if (s->tracking && GetCapture() == hwnd) ReleaseCapture();
            if (ControlStateLives(hwnd, s.get())) Notify(hwnd, s, LBN_KILLFOCUS);
            return 0;
        case WM_KEYDOWN:
            if (KeyDown(hwnd, s, wParam)) return 0;
            return DefWindowProc(hwnd, msg, wParam, lParam);
        case WM_LBUTTONDOWN:
            ButtonDown(hwnd, s, lParam);
            return 0;
        case WM_MOUSEMOVE:
            Track(hwnd, s, lParam);
            return 0;
        case WM_LBUTTONUP:
            ButtonUp(hwnd, s);
            return 0;
        case WM_LBUTTONDBLCLK:
            if (StyleOf(hwnd) & LBS_NOTIFY) Notify(hwnd, s, LBN_DBLCLK);
            return 0;
        case WM_CAPTURECHANGED:
            s->tracking = false;
            return 0;
        case WM_MOUSEWHEEL: {
            const int lines = 3 * static_cast<SHORT>(HIWORD(static_cast<LPARAM>(wParam))) / WHEEL_DELTA;
            SetTop(hwnd, *s, s->top - lines);
            return 0;
        }
        case WM_VSCROLL:
            Scroll(hwnd, *s, LOWORD(static_cast<LPARAM>(wParam)));
            return 0;
        case LB_ADDSTRING:
            return Insert(hwnd, s, -1, lParam);
        case LB_INSERTSTRING:
            return Insert(hwnd, s, static_cast<int>(wParam), lParam);
        case LB_DELETESTRING:
            return Delete(hwnd, *s, wParam);
        case LB_RESETCONTENT:
            Reset(hwnd, *s);
            return LB_OKAY;
        case LB_GETCOUNT:
            return Count(*s);
        case LB_SETCURSEL:
            if (static_cast<int>(wParam) >= Count(*s)) return LB_ERR;
            Select(hwnd, s, static_cast<int>(wParam) < 0 ? -1 : static_cast<int>(wParam), false);
            return static_cast<int>(wParam) < 0 ? LB_ERR : static_cast<LRESULT>(static_cast<int>(wParam));
        case LB_GETCURSEL:
            return s->selected;
        case LB_GETSEL:
            if (!Valid(*s, wParam)) return LB_ERR;
            return static_cast<int>(wParam) == s->selected ? 1 : 0;
        case LB_GETTEXT:
            return GetText(hwnd, *s, wParam, lParam);
        case LB_GETTEXTLEN:
            if (!Valid(*s, wParam)) return LB_ERR;
            return HasStrings(hwnd) ? static_cast<LRESULT>(s->items[wParam].text.size())
                                    : static_cast<LRESULT>(sizeof(std::uintptr_t));
        case LB_GETITEMDATA:
            if (!Valid(*s, wParam)) return LB_ERR;
            return static_cast<LRESULT>(s->items[wParam].data);
        case LB_SETITEMDATA:
            if (!Valid(*s, wParam)) return LB_ERR;
            s->items[wParam].data = static_cast<std::uintptr_t>(lParam);
            return LB_OKAY;
        case LB_GETTOPINDEX:
            return s->top;
        case LB_SETTOPINDEX:
            if (!Valid(*s, wParam) && !(wParam == 0 && s->items.empty())) return LB_ERR;
            SetTop(hwnd, *s, static_cast<int>(wParam));
            return LB_OKAY;
        case LB_GETCARETINDEX:
            return s->caret;
        case LB_SETCARETINDEX:
            if (!Valid(*s, wParam)) return LB_ERR;
            s->caret = static_cast<int>(wParam);
            ShowItem(hwnd, *s, s->caret);
            InvalidateRect(hwnd, nullptr, TRUE);
            return LB_OKAY;
        case LB_SETITEMHEIGHT: {
            const int height = LOWORD(lParam);
            if (height <= 0 || height > 255) return LB_ERR;
            if (Variable(hwnd)) {
                if (!Valid(*s, wParam)) return LB_ERR;
                s->items[wParam].height = height;
            } else {
                s->itemHeight = height;
                KeepIntegralHeight(hwnd, *s);
            }
            UpdateScrollBar(hwnd, *s);
            InvalidateRect(hwnd, nullptr, TRUE);
            return LB_OKAY;
        }
        case LB_GETITEMHEIGHT:
            if (Variable(hwnd) && !Valid(*s, wParam)) return LB_ERR;
            return HeightOf(hwnd, *s, static_cast<int>(wParam));
        case LB_GETITEMRECT:
            if (!Valid(*s, wParam) || !lParam) return LB_ERR;
            *reinterpret_cast<RECT*>(lParam) = ItemRect(hwnd, *s, static_cast<int>(wParam));
            return 1;
        case LB_ITEMFROMPOINT: {
            if (s->items.empty()) return MAKELRESULT(0, 1);
            const POINT p = PointFromLParam(lParam);
            RECT client{};
            GetClientRect(hwnd, &client);
            int index = ItemAt(hwnd, *s, p.y);
            bool outside = index < 0 || !PtInRect(&client, p);
            if (index < 0) index = p.y < 0 ? s->top : Count(*s) - 1;
            return MAKELRESULT(index, outside ? 1 : 0);
        }
        default:
            return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

} // namespace detail

} // namespace win
