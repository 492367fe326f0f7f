// Menus as data: items with their types, states, identifiers, submenus and
// bitmaps, found by command or by position, and the system menu each window
// can have a copy of. Nothing here draws a menu.
#include "win/internal.h"

#include "gfx/utf8.h"

#include <algorithm>

namespace win {

namespace detail {
namespace {

constexpr DWORD ERROR_INVALID_MENU_HANDLE = 1401;
constexpr DWORD ERROR_MENU_ITEM_NOT_FOUND = 1456;

struct MenuItem {
    UINT type = MFT_STRING;
    UINT state = 0;
    UINT id = 0;
    HMENU sub{};
    HBITMAP checked{};
    HBITMAP unchecked{};
    HBITMAP bitmap{}; // MFT_BITMAP: the item's picture
    HBITMAP itemBitmap{};
    ULONG_PTR data = 0;
    std::string text;
};

struct Menu {
    std::vector<MenuItem> items;
};

struct MenuState {
    // Handles are never reused, so a destroyed menu's handle stays invalid.
    std::map<std::uintptr_t, Menu> menus;
    std::uintptr_t next = 0x20000;
};

MenuState& State() {
    static MenuState* state = new MenuState;
    return *state;
}

Menu* MenuOf(HMENU menu) {
    AssertLocked();
    auto it = State().menus.find(reinterpret_cast<std::uintptr_t>(menu));
    if (it != State().menus.end()) return &it->second;
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return nullptr;
}

HMENU NewMenu() {
    Guard g(Lock());
    const std::uintptr_t handle = State().next++;
    State().menus[handle];
    return reinterpret_cast<HMENU>(handle);
}

// The item by position, or by command searching submenus depth first.
MenuItem* FindItem(HMENU menu, UINT item, bool byPosition, HMENU* owner = nullptr) {
    Menu* m = MenuOf(menu);
    if (!m) return nullptr;
    if (byPosition) {
        if (item < m->items.size()) {
            if (owner) *owner = menu;
            return &m->items[item];
        }
    } else {
        for (MenuItem& i : m->items)
            if (!i.sub && i.id == item) {
                if (owner) *owner = menu;
                return &i;
            }
        for (MenuItem& i : m->items)
            if (i.sub && State().menus.count(reinterpret_cast<std::uintptr_t>(i.sub)))
                if (MenuItem* found = FindItem(i.sub, item, false, owner)) return found;
        // A submenu's own item answers by its identifier last.
        for (MenuItem& i : m->items)
            if (i.sub && i.id == item) {
                if (owner) *owner = menu;
                return &i;
            }
    }
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return nullptr;
}

void DestroyLocked(HMENU menu) {
    auto it = State().menus.find(reinterpret_cast<std::uintptr_t>(menu));
    if (it == State().menus.end()) return;
    std::vector<HMENU> subs;
    for (const MenuItem& i : it->second.items)
        if (i.sub) subs.push_back(i.sub);
    State().menus.erase(it);
    for (HMENU sub : subs) DestroyLocked(sub);
}

bool ApplyInfo(MenuItem& i, const MENUITEMINFO& info) {
    if (info.cbSize != sizeof(MENUITEMINFO) && info.cbSize != kMenuItemInfoSizeNoBitmap) return false;
    const bool full = info.cbSize == sizeof(MENUITEMINFO);
    if (!full && (info.fMask & (MIIM_STRING | MIIM_BITMAP | MIIM_FTYPE))) return false;
    if (info.fMask & (MIIM_TYPE | MIIM_FTYPE)) i.type = info.fType;
    if (info.fMask & MIIM_TYPE) {
        i.text.clear();
        i.bitmap = nullptr;
        if (i.type & MFT_BITMAP)
            i.bitmap = reinterpret_cast<HBITMAP>(info.dwTypeData);
        else if (!(i.type & MFT_SEPARATOR) && info.dwTypeData)
            i.text = info.dwTypeData;
    }
    if ((info.fMask & MIIM_STRING) && !(i.type & (MFT_BITMAP | MFT_SEPARATOR)))
        i.text = info.dwTypeData ? info.dwTypeData : "";
    if (info.fMask & MIIM_STATE) i.state = info.fState;
    if (info.fMask & MIIM_ID) i.id = info.wID;
    if (info.fMask & MIIM_SUBMENU) i.sub = info.hSubMenu;
    if (info.fMask & MIIM_CHECKMARKS) {
        i.checked = info.hbmpChecked;
        i.unchecked = info.hbmpUnchecked;
    }
    if (info.fMask & MIIM_DATA) i.data = info.dwItemData;
    if (info.fMask & MIIM_BITMAP) i.itemBitmap = info.hbmpItem;
    return true;
}

UINT FlagsState(UINT flags) {
    return flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
}

// The system menu's commands whose state follows the window's.
struct SysItem {
    WPARAM command;
    const char* text;
    HBITMAP bitmap;
};

} // namespace

void FreeSystemMenu(Window& w) {
    AssertLocked();
    if (w.sysMenu) DestroyLocked(w.sysMenu);
    w.sysMenu = nullptr;
}

void ResetMenuState() {
    Guard g(Lock());
    State().menus.clear();
}

} // namespace detail

using namespace detail;

HMENU CreateMenu() {
    return NewMenu();
}

HMENU CreatePopupMenu() {
    return NewMenu();
}

BOOL DestroyMenu(HMENU menu) {
    Guard g(Lock());
    if (!MenuOf(menu)) return FALSE;
    DestroyLocked(menu);
    return TRUE;
}

BOOL IsMenu(HMENU menu) {
    Guard g(Lock());
    return State().menus.count(reinterpret_cast<std::uintptr_t>(menu)) ? TRUE : FALSE;
}

BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR idNewItem, const char* text) {
    Guard g(Lock());
    Menu* m = MenuOf(menu);
    if (!m) return FALSE;
    MenuItem i;
    i.state = FlagsState(flags);
    if (flags & MF_SEPARATOR) {
        i.type = MFT_SEPARATOR;
    } else if (flags & MF_BITMAP) {
        i.type = MFT_BITMAP;
        i.bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(text));
    } else if (text) {
        i.text = text;
    }
    if (flags & MF_POPUP) {
        i.sub = reinterpret_cast<HMENU>(idNewItem);
        if (!MenuOf(i.sub)) return FALSE;
        i.id = static_cast<UINT>(idNewItem);
    } else {
        i.id = static_cast<UINT>(idNewItem);
    }
    m->items.push_back(std::move(i));
    return TRUE;
}

BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info) {
    Guard g(Lock());
    Menu* m = MenuOf(menu);
    if (!m) return FALSE;
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    MenuItem i;
    if (!ApplyInfo(i, *info)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (i.sub && !MenuOf(i.sub)) return FALSE;
    std::size_t at = m->items.size();
    if (byPosition) {
        at = std::min<std::size_t>(item, m->items.size());
    } else {
        for (std::size_t k = 0; k < m->items.size(); ++k)
            if (m->items[k].id == item) {
                at = k;
                break;
            }
    }
    m->items.insert(m->items.begin() + static_cast<std::ptrdiff_t>(at), std::move(i));
    return TRUE;
}

BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO* info) {
    Guard g(Lock());
    MenuItem* i = FindItem(menu, item, byPosition != FALSE);
    if (!i) return FALSE;
    if (!info || (info->cbSize != sizeof(MENUITEMINFO) && info->cbSize != kMenuItemInfoSizeNoBitmap) ||
        (info->cbSize != sizeof(MENUITEMINFO) && (info->fMask & (MIIM_STRING | MIIM_BITMAP | MIIM_FTYPE)))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const UINT mask = info->fMask;
    if (mask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = i->type;
    const bool wantsText =
        (mask & MIIM_STRING) || ((mask & MIIM_TYPE) && !(i->type & (MFT_BITMAP | MFT_SEPARATOR)));
    if ((mask & MIIM_TYPE) && (i->type & MFT_BITMAP)) info->dwTypeData = reinterpret_cast<char*>(i->bitmap);
    if (wantsText) {
        if (info->dwTypeData && info->cch > 0) gfx::CopyUtf8ToBuffer(i->text, info->dwTypeData, info->cch);
        info->cch = static_cast<UINT>(i->text.size());
    }
    if (mask & MIIM_STATE) info->fState = i->state;
    if (mask & MIIM_ID) info->wID = i->id;
    if (mask & MIIM_SUBMENU) info->hSubMenu = i->sub;
    if (mask & MIIM_CHECKMARKS) {
        info->hbmpChecked = i->checked;
        info->hbmpUnchecked = i->unchecked;
    }
    if (mask & MIIM_DATA) info->dwItemData = i->data;
    if (mask & MIIM_BITMAP) info->hbmpItem = i->itemBitmap;
    return TRUE;
}

BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO* info) {
    Guard g(Lock());
    MenuItem* i = FindItem(menu, item, byPosition != FALSE);
    if (!i) return FALSE;
    MenuItem changed = *i;
    if (!info || !ApplyInfo(changed, *info) || (changed.sub && !MenuOf(changed.sub))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *i = std::move(changed);
    return TRUE;
}

int GetMenuItemCount(HMENU menu) {
    Guard g(Lock());
    const Menu* m = MenuOf(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
    Guard g(Lock());
    const MenuItem* i = position < 0 ? nullptr : FindItem(menu, static_cast<UINT>(position), true);
    return i && !i->sub ? i->id : kNoMenuItem;
}

HMENU GetSubMenu(HMENU menu, int position) {
    Guard g(Lock());
    const MenuItem* i = position < 0 ? nullptr : FindItem(menu, static_cast<UINT>(position), true);
    return i ? i->sub : nullptr;
}

int GetMenuString(HMENU menu, UINT item, char* buffer, int maxCount, UINT flags) {
    Guard g(Lock());
    const MenuItem* i = FindItem(menu, item, (flags & MF_BYPOSITION) != 0);
    if (!i) {
        if (buffer && maxCount > 0) *buffer = '\0';
        return 0;
    }
    if (!buffer) return static_cast<int>(i->text.size());
    if (maxCount <= 0) return 0;
    return static_cast<int>(gfx::CopyUtf8ToBuffer(i->text, buffer, static_cast<std::size_t>(maxCount)));
}

std::string GetMenuString(HMENU menu, UINT item, UINT flags) {
    Guard g(Lock());
    const MenuItem* i = FindItem(menu, item, (flags & MF_BYPOSITION) != 0);
    return i ? i->text : std::string();
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    Guard g(Lock());
    const MenuItem* i = FindItem(menu, item, (flags & MF_BYPOSITION) != 0);
    if (!i) return kNoMenuItem;
    UINT result = i->state | (i->type & (MFT_BITMAP | MFT_SEPARATOR));
    if (i->sub) {
        const Menu* sub = MenuOf(i->sub);
        result = (result & 0xFF) | MF_POPUP | (static_cast<UINT>(sub ? sub->items.size() : 0) << 8);
    }
    return result;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT) {
    Guard g(Lock());
    const Menu* m = MenuOf(menu);
    if (!m) return kNoMenuItem;
    for (std::size_t k = 0; k < m->items.size(); ++k)
        if (m->items[k].state & MFS_DEFAULT) return byPosition ? static_cast<UINT>(k) : m->items[k].id;
    return kNoMenuItem;
}

BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition) {
    Guard g(Lock());
    Menu* m = MenuOf(menu);
    if (!m) return FALSE;
    MenuItem* target = item == kNoMenuItem ? nullptr : FindItem(menu, item, byPosition != 0);
    if (item != kNoMenuItem && !target) return FALSE;
    for (MenuItem& i : m->items) i.state &= ~MFS_DEFAULT;
    if (target) target->state |= MFS_DEFAULT;
    return TRUE;
}

int EnableMenuItem(HMENU menu, UINT item, UINT enable) {
    Guard g(Lock());
    MenuItem* i = FindItem(menu, item, (enable & MF_BYPOSITION) != 0);
    if (!i) return -1;
    const int previous = static_cast<int>(i->state & (MF_GRAYED | MF_DISABLED));
    i->state = (i->state & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return previous;
}

int CheckMenuItem(HMENU menu, UINT item, UINT check) {
    Guard g(Lock());
    MenuItem* i = FindItem(menu, item, (check & MF_BYPOSITION) != 0);
    if (!i) return -1;
    const int previous = static_cast<int>(i->state & MF_CHECKED);
    i->state = (i->state & ~MF_CHECKED) | (check & MF_CHECKED);
    return previous;
}

namespace {

BOOL TakeItem(HMENU menu, UINT item, UINT flags, bool destroySub) {
    Guard g(Lock());
    HMENU owner{};
    MenuItem* i = FindItem(menu, item, (flags & MF_BYPOSITION) != 0, &owner);
    if (!i) return FALSE;
    const HMENU sub = i->sub;
    Menu* m = MenuOf(owner);
    m->items.erase(m->items.begin() + (i - m->items.data()));
    if (destroySub && sub) DestroyLocked(sub);
    return TRUE;
}

} // namespace

BOOL DeleteMenu(HMENU menu, UINT item, UINT flags) {
    return TakeItem(menu, item, flags, true);
}

BOOL RemoveMenu(HMENU menu, UINT item, UINT flags) {
    return TakeItem(menu, item, flags, false);
}

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
    Guard g(Lock());
    Window* w = WndOrFail(hwnd);
    if (!w) return nullptr;
    if (revert) {
        FreeSystemMenu(*w);
        return nullptr;
    }
    if (!w->sysMenu && !(w->style & WS_SYSMENU)) return nullptr;
    if (!w->sysMenu) {
        const bool mdiChild = (w->exStyle & WS_EX_MDICHILD) != 0;
        const SysItem items[] = {
            {SC_RESTORE, "&Restore", HBMMENU_POPUP_RESTORE},
            {SC_MOVE, "&Move", nullptr},
            {SC_SIZE, "&Size", nullptr},
            {SC_MINIMIZE, "Mi&nimize", HBMMENU_POPUP_MINIMIZE},
            {SC_MAXIMIZE, "Ma&ximize", HBMMENU_POPUP_MAXIMIZE},
            {0, nullptr, nullptr},
            {SC_CLOSE, mdiChild ? "&Close\tCtrl+F4" : "&Close\tAlt+F4", HBMMENU_POPUP_CLOSE}};
        const std::uintptr_t handle = State().next++;
        Menu& m = State().menus[handle];
        for (const SysItem& s : items) {
            MenuItem i;
            if (!s.text) {
                i.type = MFT_SEPARATOR;
            } else {
                i.id = static_cast<UINT>(s.command);
                i.text = s.text;
                i.itemBitmap = s.bitmap;
            }
            m.items.push_back(std::move(i));
        }
        m.items.back().state = MFS_DEFAULT;
        if (w->cls->wc.style & CS_NOCLOSE) m.items.back().state |= MFS_GRAYED;
        w->sysMenu = reinterpret_cast<HMENU>(handle);
    }
    const bool sizing = (w->style & WS_THICKFRAME) != 0;
    const std::pair<WPARAM, bool> enabled[] = {
        {SC_RESTORE, w->minimized || w->maximized},
        {SC_MOVE, !w->maximized},
        {SC_SIZE, sizing && !w->minimized && !w->maximized},
        {SC_MINIMIZE, (w->style & WS_MINIMIZEBOX) && !w->minimized},
        {SC_MAXIMIZE, (w->style & WS_MAXIMIZEBOX) && !w->maximized},
    };
    for (const auto& [command, on] : enabled)
        if (MenuItem* i = FindItem(w->sysMenu, static_cast<UINT>(command), false))
            i->state = (i->state & ~MFS_GRAYED) | (on ? 0u : MFS_GRAYED);
    return w->sysMenu;
}

} // namespace win
