#include "recording.h"

#include "gfx/draw.h"

#include <set>

using namespace win;
using namespace win::test;
using namespace testdrv;

namespace {

constexpr const char* kChildClass = "MdiRecordingChild";

LRESULT ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (g_only.empty() || g_only.count(msg)) g_seen.push_back(Seen{hwnd, msg, wParam, lParam});
    LRESULT r = 0;
    if (g_handler && g_handler(hwnd, msg, wParam, lParam, &r)) return r;
    return DefMDIChildProc(hwnd, msg, wParam, lParam);
}

const std::set<UINT> kMdi = {WM_CHILDACTIVATE, WM_NCACTIVATE, WM_MDIACTIVATE, WM_SETFOCUS,
                             WM_KILLFOCUS,     WM_CLOSE,      WM_DESTROY};

class MdiTest : public RecordingTest {
protected:
    void SetUp() override {
        RecordingTest::SetUp();
        WNDCLASS wc;
        wc.lpfnWndProc = &ChildProc;
        wc.lpszClassName = kChildClass;
        ASSERT_NE(RegisterClass(&wc), 0);
        frame = Named("F", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{0, 0, 600, 400});
        CLIENTCREATESTRUCT ccs;
        client = CreateWindowEx(WS_EX_CLIENTEDGE, "mdiclient", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                0, 500, 300, frame, nullptr, nullptr, &ccs);
        ASSERT_NE(client, nullptr);
        SetActiveWindow(frame);
        RunUntilIdle();
    }
    HWND NewChild(const char* name, DWORD style = 0) {
        MDICREATESTRUCT mcs;
        mcs.szClass = kChildClass;
        mcs.szTitle = name;
        mcs.x = 10;
        mcs.y = 10;
        mcs.cx = 200;
        mcs.cy = 150;
        mcs.style = style;
        HWND h = reinterpret_cast<HWND>(SendMessage(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
        g_names[h] = name;
        return h;
    }
    HWND Active(BOOL* maximized = nullptr) {
        return reinterpret_cast<HWND>(
            SendMessage(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(maximized)));
    }
    HWND frame{};
    HWND client{};
};

// The orders below are the original's: the child that goes hears of it
// (WM_NCACTIVATE, WM_MDIACTIVATE) before the one that comes, which gets the
// focus last; activation travels through the child's WM_CHILDACTIVATE.
TEST_F(MdiTest, ActivationTravelsThroughChildActivateInTheOriginalsOrder) {
    g_only = kMdi;
    g_seen.clear();
    HWND a = NewChild("A");
    std::erase_if(g_seen, [&](const Seen& s) { return s.hwnd != a; });
    EXPECT_EQ(Seq(), "A:WM_CHILDACTIVATE A:WM_NCACTIVATE A:WM_MDIACTIVATE A:WM_SETFOCUS");
    HWND b = NewChild("B");
    EXPECT_EQ(Active(), b);

    struct Case {
        const char* name;
        std::function<void()> act;
        const char* expected;
        const char* active;
    };
    const Case cases[] = {
        {"WM_MDIACTIVATE", [&] { SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a), 0); },
         "A:WM_CHILDACTIVATE B:WM_NCACTIVATE B:WM_MDIACTIVATE A:WM_NCACTIVATE A:WM_MDIACTIVATE "
         "B:WM_KILLFOCUS "
         "A:WM_SETFOCUS",
         "A"},
        {"already active", [&] { SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a), 0); }, "",
         "A"},
        {"WM_MDINEXT", [&] { SendMessage(client, WM_MDINEXT, 0, 0); },
         "B:WM_CHILDACTIVATE A:WM_NCACTIVATE A:WM_MDIACTIVATE B:WM_NCACTIVATE B:WM_MDIACTIVATE "
         "A:WM_KILLFOCUS "
         "B:WM_SETFOCUS",
         "B"},
        {"Ctrl+F6 through TranslateMDISysAccel",
         [&] {
             KeyDown(VK_CONTROL);
             MSG m{a, WM_KEYDOWN, static_cast<WPARAM>(VK_F6), 0, 0, {}};
             EXPECT_TRUE(TranslateMDISysAccel(client, &m));
             KeyUp(VK_CONTROL);
         },
         "B:WM_SYSCOMMAND A:WM_CHILDACTIVATE B:WM_NCACTIVATE B:WM_MDIACTIVATE A:WM_NCACTIVATE "
         "A:WM_MDIACTIVATE "
         "B:WM_KILLFOCUS A:WM_SETFOCUS",
         "A"},
        {"Ctrl+F4 closes the active child, the other takes its place",
         [&] {
             KeyDown(VK_CONTROL);
             MSG m{a, WM_KEYDOWN, static_cast<WPARAM>(VK_F4), 0, 0, {}};
             EXPECT_TRUE(TranslateMDISysAccel(client, &m));
             KeyUp(VK_CONTROL);
         },
         "A:WM_SYSCOMMAND A:WM_CLOSE B:WM_CHILDACTIVATE A:WM_NCACTIVATE A:WM_MDIACTIVATE B:WM_NCACTIVATE "
         "B:WM_MDIACTIVATE A:WM_KILLFOCUS B:WM_SETFOCUS A:WM_DESTROY",
         "B"},
        {"the last child goes", [&] { SendMessage(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(b), 0); },
         "B:WM_NCACTIVATE B:WM_MDIACTIVATE B:WM_KILLFOCUS B:WM_DESTROY", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_only = kMdi;
        g_only.insert(WM_SYSCOMMAND);
        g_seen.clear();
        c.act();
        std::erase_if(g_seen, [&](const Seen& s) { return s.hwnd == frame || s.hwnd == client; });
        EXPECT_EQ(Seq(), c.expected);
        const HWND active = Active();
        EXPECT_EQ(active ? g_names[active] : std::string(), c.active);
    }
    EXPECT_FALSE(IsWindow(a));
}

TEST_F(MdiTest, AMaximizedChildFillsTheClientAndHandsItsStateOn) {
    HWND a = NewChild("A");
    HWND b = NewChild("B");
    SendMessage(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(b), 0);
    BOOL maximized = FALSE;
    EXPECT_EQ(Active(&maximized), b);
    EXPECT_TRUE(maximized);
    // Its client area covers the MDI client's; caption and frame lie outside.
    RECT area, inner;
    GetClientRect(client, &area);
    GetClientRect(b, &inner);
    EXPECT_EQ(inner.right, area.right);
    EXPECT_EQ(inner.bottom, area.bottom);

    // Another child that becomes active is maximized; the one it replaces is restored.
    g_only = {WM_CHILDACTIVATE, WM_MDIACTIVATE, WM_SIZE};
    g_seen.clear();
    SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(a), 0);
    std::erase_if(g_seen, [&](const Seen& s) { return s.hwnd == frame || s.hwnd == client; });
    EXPECT_EQ(Seq(),
              "A:WM_CHILDACTIVATE A:WM_CHILDACTIVATE B:WM_MDIACTIVATE A:WM_MDIACTIVATE A:WM_SIZE B:WM_SIZE");
    EXPECT_EQ(Active(&maximized), a);
    EXPECT_TRUE(maximized);
    EXPECT_TRUE(IsZoomed(a));
    EXPECT_FALSE(IsZoomed(b));

    // The maximized child follows the client's size; a restore keeps it active.
    MoveWindow(client, 0, 0, 400, 250, TRUE);
    GetClientRect(a, &inner);
    EXPECT_EQ(inner.right, 400 - 4);
    g_seen.clear();
    SendMessage(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(a), 0);
    EXPECT_EQ(Active(&maximized), a);
    EXPECT_FALSE(maximized);
    EXPECT_NE(Seq().find("A:WM_CHILDACTIVATE"), std::string::npos);
}

TEST_F(MdiTest, SystemMenusAreCopiesWithTheDefaultItemsAndTheWindowsStates) {
    HWND top = Make(WS_OVERLAPPEDWINDOW);
    HWND child = NewChild("A");
    HMENU menu = GetSystemMenu(top, FALSE);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetSystemMenu(top, FALSE), menu);
    EXPECT_NE(GetSystemMenu(child, FALSE), menu);
    ASSERT_EQ(GetMenuItemCount(menu), 7);

    struct Item {
        UINT id;
        const char* text;
        HBITMAP bitmap;
    };
    const Item items[] = {{SC_RESTORE, "&Restore", HBMMENU_POPUP_RESTORE},
                          {SC_MOVE, "&Move", nullptr},
                          {SC_SIZE, "&Size", nullptr},
                          {SC_MINIMIZE, "Mi&nimize", HBMMENU_POPUP_MINIMIZE},
                          {SC_MAXIMIZE, "Ma&ximize", HBMMENU_POPUP_MAXIMIZE},
                          {0, "", nullptr},
                          {SC_CLOSE, "&Close\tAlt+F4", HBMMENU_POPUP_CLOSE}};
    for (UINT i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        MENUITEMINFO info;
        char text[32] = {};
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_BITMAP | MIIM_FTYPE;
        info.dwTypeData = text;
        info.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfo(menu, i, TRUE, &info));
        EXPECT_EQ(info.wID, items[i].id);
        EXPECT_STREQ(text, items[i].text);
        EXPECT_EQ(info.hbmpItem, items[i].bitmap);
        EXPECT_EQ((info.fType & MFT_SEPARATOR) != 0, items[i].id == 0);
    }
    EXPECT_EQ(GetMenuString(GetSystemMenu(child, FALSE), SC_CLOSE, MF_BYCOMMAND), "&Close\tCtrl+F4");
    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), SC_CLOSE);

    // The older record has no item bitmap.
    MENUITEMINFO old;
    old.cbSize = kMenuItemInfoSizeNoBitmap;
    old.fMask = MIIM_ID | MIIM_STATE;
    EXPECT_TRUE(GetMenuItemInfo(menu, 0, TRUE, &old));
    old.fMask = MIIM_BITMAP;
    EXPECT_FALSE(GetMenuItemInfo(menu, 0, TRUE, &old));

    const auto Grayed = [](HWND h, WPARAM command) {
        return (GetMenuState(GetSystemMenu(h, FALSE), static_cast<UINT>(command), MF_BYCOMMAND) &
                MF_GRAYED) != 0;
    };
    struct State {
        const char* name;
        int show;
        bool restore, move, size, minimize, maximize;
    };
    const State states[] = {{"normal", SW_SHOWNORMAL, true, false, false, false, false},
                            {"maximized", SW_SHOWMAXIMIZED, false, true, true, false, true},
                            {"minimized", SW_SHOWMINIMIZED, false, false, true, true, false}};
    for (const State& s : states) {
        SCOPED_TRACE(s.name);
        ShowWindow(top, s.show);
        EXPECT_EQ(Grayed(top, SC_RESTORE), s.restore);
        EXPECT_EQ(Grayed(top, SC_MOVE), s.move);
        EXPECT_EQ(Grayed(top, SC_SIZE), s.size);
        EXPECT_EQ(Grayed(top, SC_MINIMIZE), s.minimize);
        EXPECT_EQ(Grayed(top, SC_MAXIMIZE), s.maximize);
        EXPECT_FALSE(Grayed(top, SC_CLOSE));
    }

    // Reverting drops the copy; a window without WS_SYSMENU has none.
    EXPECT_EQ(GetSystemMenu(top, TRUE), nullptr);
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_EQ(GetSystemMenu(Make(WS_POPUP), FALSE), nullptr);
    HMENU childMenu = GetSystemMenu(child, FALSE);
    DestroyWindow(child);
    EXPECT_FALSE(IsMenu(childMenu));
}

TEST_F(MdiTest, MenusAreDataFoundByCommandOrPosition) {
    HMENU bar = CreateMenu();
    HMENU sub = CreatePopupMenu();
    ASSERT_TRUE(AppendMenu(sub, MF_STRING | MF_CHECKED, 11, "&Open\tCtrl+O"));
    ASSERT_TRUE(AppendMenu(sub, MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&File"));
    MENUITEMINFO info;
    info.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE;
    info.wID = 12;
    info.fState = MFS_GRAYED;
    char save[] = "&Save";
    info.dwTypeData = save;
    ASSERT_TRUE(InsertMenuItem(sub, 1, TRUE, &info));

    EXPECT_EQ(GetMenuItemCount(sub), 3);
    EXPECT_EQ(GetSubMenu(bar, 0), sub);
    EXPECT_EQ(GetMenuItemID(sub, 1), 12u);
    // By command the search goes into submenus.
    EXPECT_EQ(GetMenuString(bar, 11, MF_BYCOMMAND), "&Open\tCtrl+O");
    char small[4];
    EXPECT_EQ(GetMenuString(bar, 11, small, sizeof small, MF_BYCOMMAND), 3);
    EXPECT_STREQ(small, "&Op");
    EXPECT_EQ(GetMenuState(bar, 0, MF_BYPOSITION), MF_POPUP | (3u << 8));
    EXPECT_EQ(EnableMenuItem(bar, 12, MF_ENABLED), static_cast<int>(MFS_GRAYED));
    EXPECT_EQ(CheckMenuItem(bar, 11, MF_UNCHECKED), static_cast<int>(MF_CHECKED));
    EXPECT_EQ(GetMenuState(bar, 11, MF_BYCOMMAND), 0u);
    EXPECT_EQ(EnableMenuItem(bar, 99, MF_GRAYED), -1);

    // Removing keeps the submenu, deleting destroys it, and so does destroying the bar.
    ASSERT_TRUE(RemoveMenu(bar, 0, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(sub));
    ASSERT_TRUE(AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&File"));
    ASSERT_TRUE(DeleteMenu(bar, 0, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(sub));
    EXPECT_EQ(GetMenuItemCount(sub), -1);
    EXPECT_TRUE(DestroyMenu(bar));
    EXPECT_FALSE(DestroyMenu(bar));
}

TEST_F(MdiTest, IconsSetOnAWindowAreTheCallersAndScaleTo16) {
    HWND h = Make(WS_OVERLAPPEDWINDOW);
    ICONINFO made{};
    made.hbmMask = CreateBitmap(32, 32, 1, 1, nullptr);
    made.hbmColor = CreateBitmap(32, 32, 1, 32, nullptr);
    const HICON big = CreateIconIndirect(&made);
    DeleteObject(made.hbmMask);
    DeleteObject(made.hbmColor);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(SendMessage(h, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big)), 0);
    EXPECT_EQ(SendMessage(h, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(SendMessage(h, WM_GETICON, ICON_SMALL2, 0), reinterpret_cast<LRESULT>(big));
    EXPECT_EQ(SendMessage(h, WM_SETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(big));

    const HICON small =
        reinterpret_cast<HICON>(CopyImage(reinterpret_cast<HANDLE>(big), IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(small, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(small, &info));
    BITMAP bm{};
    GetObject(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 16);
    EXPECT_EQ(bm.bmHeight, info.hbmColor ? 16 : 32);
    for (HBITMAP b : {info.hbmMask, info.hbmColor})
        if (b) DeleteObject(b);
    DestroyIcon(small);
    DestroyIcon(big);
}

} // namespace
