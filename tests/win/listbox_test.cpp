// The system class "LISTBOX": items, selection, owner drawing, scrolling,
// mouse and keys, notifications to its owner.
#include "support/driver.h"

#include <functional>
#include <string>
#include <vector>

using namespace win;
using namespace testdrv;

namespace {

struct Owner {
    std::vector<std::string> notes;
    std::vector<DRAWITEMSTRUCT> drawn;
    std::vector<MEASUREITEMSTRUCT> measured;
    // The height the owner answers WM_MEASUREITEM with (0 leaves it).
    std::function<UINT(const MEASUREITEMSTRUCT&)> height;
    std::function<void(WORD)> onNote;
    HBRUSH background{}; // the answer to WM_CTLCOLORLISTBOX
};
Owner* g_owner = nullptr;

std::string NoteName(WORD code) {
    switch (code) {
        case LBN_SELCHANGE:
            return "SELCHANGE";
        case LBN_DBLCLK:
            return "DBLCLK";
        case LBN_SETFOCUS:
            return "SETFOCUS";
        case LBN_KILLFOCUS:
            return "KILLFOCUS";
        default:
            return std::to_string(code);
    }
}

LRESULT OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (g_owner) switch (msg) {
            case WM_COMMAND: {
                const WORD code = HIWORD(static_cast<LPARAM>(wParam));
                g_owner->notes.push_back(NoteName(code));
                if (g_owner->onNote) g_owner->onNote(code);
                return 0;
            }
            case WM_DRAWITEM:
                g_owner->drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
                return TRUE;
            case WM_CTLCOLORLISTBOX:
                if (g_owner->background) return reinterpret_cast<LRESULT>(g_owner->background);
                break;
            case WM_MEASUREITEM: {
                auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
                g_owner->measured.push_back(*mis);
                if (g_owner->height)
                    if (UINT h = g_owner->height(*mis)) mis->itemHeight = h;
                return TRUE;
            }
            default:
                break;
        }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

constexpr int kListId = 12;

class ListBoxTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        g_owner = &owner_;
        WNDCLASS wc;
        wc.lpfnWndProc = &OwnerProc;
        wc.lpszClassName = "ListOwner";
        ASSERT_NE(RegisterClass(&wc), 0);
        frame_ = CreateWindowEx(0, "ListOwner", "", WS_POPUP | WS_VISIBLE, 100, 100, 300, 300, nullptr,
                                nullptr, nullptr, nullptr);
        ASSERT_NE(frame_, nullptr);
    }
    void TearDown() override {
        WinTest::TearDown();
        g_owner = nullptr;
    }

    // A list box at (10, 10) in the frame, 150 wide.
    HWND Make(DWORD style, int height = 80) {
        HWND h =
            CreateWindowEx(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | style, 10, 10, 150, height, frame_,
                           reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(kListId)), nullptr, nullptr);
        EXPECT_NE(h, nullptr);
        return h;
    }
    std::string Notes() {
        std::string text;
        for (const std::string& n : owner_.notes) text += (text.empty() ? "" : " ") + n;
        owner_.notes.clear();
        return text;
    }

    Owner owner_;
    HWND frame_{};
};

void Add(HWND list, int count, const char* prefix = "item ") {
    for (int i = 0; i < count; ++i) {
        const std::string text = prefix + std::to_string(i);
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

std::string TextOf(HWND list, int index) {
    const LRESULT length = SendMessage(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return "<err>";
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessage(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

LRESULT Cur(HWND list) {
    return SendMessage(list, LB_GETCURSEL, 0, 0);
}

LRESULT Top(HWND list) {
    return SendMessage(list, LB_GETTOPINDEX, 0, 0);
}

RECT ItemRect(HWND list, int index) {
    RECT r{};
    SendMessage(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
}

// ============================================================================
// Items and selection
// ============================================================================

TEST_F(ListBoxTest, ItemsAndTheirTexts) {
    HWND list = Make(LBS_NOTIFY);
    EXPECT_EQ(SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Альфа")), 0);
    EXPECT_EQ(SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Gamma")), 1);
    EXPECT_EQ(SendMessage(list, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("Beta")), 1);
    EXPECT_EQ(SendMessage(list, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Delta")),
              3);
    EXPECT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(TextOf(list, 0), "Альфа");
    EXPECT_EQ(SendMessage(list, LB_GETTEXTLEN, 0, 0), 10) << "bytes of UTF-8";
    EXPECT_EQ(TextOf(list, 1), "Beta");
    EXPECT_EQ(TextOf(list, 3), "Delta");
    EXPECT_EQ(SendMessage(list, LB_SETITEMDATA, 2, 77), LB_OKAY);
    EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, 2, 0), 77);
    EXPECT_EQ(SendMessage(list, LB_DELETESTRING, 0, 0), 3);
    EXPECT_EQ(TextOf(list, 0), "Beta");
    SendMessage(list, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(Notes(), "") << "the program's changes are not notified";
}

TEST_F(ListBoxTest, BadIndexesAnswerAnError) {
    HWND list = Make(0);
    Add(list, 3);
    SendMessage(list, LB_SETCURSEL, 1, 0);
    struct Case {
        UINT msg;
        WPARAM wParam;
        const char* why;
    } cases[] = {
        {LB_GETTEXTLEN, 3, "text length"},
        {LB_GETTEXT, 5, "text"},
        {LB_DELETESTRING, 3, "deleting"},
        {LB_INSERTSTRING, 4, "inserting past the end"},
        {LB_GETITEMDATA, 9, "data"},
        {LB_SETCURSEL, 3, "selecting"},
        {LB_SETTOPINDEX, 7, "top"},
        {LB_GETITEMRECT, 3, "rectangle"},
        {LB_GETSEL, static_cast<WPARAM>(-2), "negative"},
    };
    for (const Case& c : cases) {
        RECT r{};
        EXPECT_EQ(SendMessage(list, c.msg, c.wParam, reinterpret_cast<LPARAM>(&r)), LB_ERR) << c.why;
    }
    EXPECT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(Cur(list), 1) << "a bad index leaves the selection";
    EXPECT_EQ(SendMessage(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0), LB_ERR);
    EXPECT_EQ(Cur(list), LB_ERR) << "-1 clears it";
}

TEST_F(ListBoxTest, SelectionFollowsInsertionsAndDeletions) {
    HWND list = Make(0);
    Add(list, 5);
    EXPECT_EQ(SendMessage(list, LB_SETCURSEL, 2, 0), 2);
    SendMessage(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("new"));
    EXPECT_EQ(Cur(list), 3);
    SendMessage(list, LB_INSERTSTRING, 5, reinterpret_cast<LPARAM>("later"));
    EXPECT_EQ(Cur(list), 3);
    SendMessage(list, LB_DELETESTRING, 1, 0);
    EXPECT_EQ(Cur(list), 2);
    EXPECT_EQ(SendMessage(list, LB_GETSEL, 2, 0), 1);
    SendMessage(list, LB_DELETESTRING, 2, 0);
    EXPECT_EQ(Cur(list), LB_ERR);
}

// ============================================================================
// Owner drawing
// ============================================================================

TEST_F(ListBoxTest, FixedOwnerDrawIsMeasuredOnceAndDrawnByTheOwner) {
    owner_.height = [](const MEASUREITEMSTRUCT&) { return 20u; };
    HWND list = Make(LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, 70);
    ASSERT_EQ(owner_.measured.size(), 1u);
    EXPECT_EQ(owner_.measured[0].CtlType, ODT_LISTBOX);
    EXPECT_EQ(owner_.measured[0].CtlID, static_cast<UINT>(kListId));
    EXPECT_EQ(owner_.measured[0].itemID, 0u);
    EXPECT_GT(owner_.measured[0].itemHeight, 0u) << "offered the font's height";
    EXPECT_EQ(SendMessage(list, LB_GETITEMHEIGHT, 0, 0), 20);
    Add(list, 5);
    EXPECT_EQ(owner_.measured.size(), 1u);
    SendMessage(list, LB_SETITEMDATA, 1, 42);
    SendMessage(list, LB_SETCURSEL, 1, 0);
    owner_.drawn.clear();
    UpdateWindow(list);
    ASSERT_EQ(owner_.drawn.size(), 4u) << "the items that show, the last one in part";
    for (UINT i = 0; i < 4; ++i) {
        const DRAWITEMSTRUCT& d = owner_.drawn[i];
        EXPECT_EQ(d.itemID, i);
        EXPECT_EQ(d.hwndItem, list);
        EXPECT_EQ(d.itemAction, ODA_DRAWENTIRE);
        EXPECT_EQ(d.rcItem, (RECT{0, static_cast<LONG>(20 * i), 150, static_cast<LONG>(20 * i + 20)}));
        EXPECT_EQ(d.itemState, i == 1 ? ODS_SELECTED : 0u) << i;
    }
    EXPECT_EQ(owner_.drawn[1].itemData, 42u);
    // Told of the focus through its own procedure, it draws it without taking it.
    SendMessage(list, WM_SETFOCUS, 0, 0);
    EXPECT_NE(GetFocus(), list);
    owner_.drawn.clear();
    UpdateWindow(list);
    EXPECT_EQ(owner_.drawn[1].itemState, ODS_SELECTED | ODS_FOCUS);
    // The owner stays the window it was created under.
    SetParent(list, nullptr);
    owner_.drawn.clear();
    InvalidateRect(list, nullptr, TRUE);
    UpdateWindow(list);
    EXPECT_EQ(owner_.drawn.size(), 4u);
    // An empty list with the focus draws the focus alone.
    SendMessage(list, LB_RESETCONTENT, 0, 0);
    owner_.drawn.clear();
    UpdateWindow(list);
    ASSERT_EQ(owner_.drawn.size(), 1u);
    EXPECT_EQ(owner_.drawn[0].itemID, static_cast<UINT>(-1));
    EXPECT_EQ(owner_.drawn[0].itemAction, ODA_FOCUS);
}

TEST_F(ListBoxTest, VariableOwnerDrawMeasuresEachItem) {
    owner_.height = [](const MEASUREITEMSTRUCT& m) { return 10u + 5u * m.itemID; };
    HWND list = Make(LBS_OWNERDRAWVARIABLE, 60);
    EXPECT_TRUE(owner_.measured.empty());
    for (std::uintptr_t data : {100u, 101u, 102u, 103u})
        SendMessage(list, LB_ADDSTRING, 0, static_cast<LPARAM>(data));
    ASSERT_EQ(owner_.measured.size(), 4u);
    EXPECT_EQ(owner_.measured[2].itemID, 2u);
    EXPECT_EQ(owner_.measured[2].itemData, 102u) << "without strings the item is its data";
    EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, 3, 0), 103);
    EXPECT_EQ(ItemRect(list, 0), (RECT{0, 0, 150, 10}));
    EXPECT_EQ(ItemRect(list, 2), (RECT{0, 25, 150, 45}));
    EXPECT_EQ(SendMessage(list, LB_GETITEMHEIGHT, 3, 0), 25);
    EXPECT_EQ(SendMessage(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 30)), MAKELRESULT(2, 0));
    EXPECT_EQ(SendMessage(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(200, 30)), MAKELRESULT(2, 1)) << "outside";
    SendMessage(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(30, 0));
    EXPECT_EQ(ItemRect(list, 2), (RECT{0, 45, 150, 65}));
    EXPECT_EQ(SendMessage(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(300, 0)), LB_ERR);
}

TEST_F(ListBoxTest, HeightIsWholeItemsUnlessToldOtherwise) {
    owner_.height = [](const MEASUREITEMSTRUCT&) { return 16u; };
    RECT r{};
    GetClientRect(Make(LBS_OWNERDRAWFIXED, 100), &r);
    EXPECT_EQ(r.bottom, 96);
    GetClientRect(Make(LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT, 100), &r);
    EXPECT_EQ(r.bottom, 100);
}

TEST_F(ListBoxTest, DrawsItsOwnItemsInTheOwnersColours) {
    HWND list = Make(LBS_NOINTEGRALHEIGHT);
    const HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
    owner_.background = green;
    Add(list, 2);
    SendMessage(list, LB_SETCURSEL, 1, 0);
    RunUntilIdle();
    RECT window{};
    GetWindowRect(list, &window);
    const RECT second = ItemRect(list, 1);
    EXPECT_EQ(ScreenPixel(POINT{window.left + 140, window.top + second.top + 1}),
              GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(ScreenPixel(POINT{window.left + 140, window.top + 70}), RGB(0, 200, 0));
    EXPECT_EQ(ScreenPixel(POINT{window.left + 140, window.top + 1}), RGB(0, 200, 0));
    DestroyWindow(list);
    owner_.background = nullptr;
    DeleteObject(green);
}

// ============================================================================
// Scrolling
// ============================================================================

TEST_F(ListBoxTest, ScrollBarFollowsTheItems) {
    owner_.height = [](const MEASUREITEMSTRUCT&) { return 16u; };
    HWND list = Make(LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | WS_VSCROLL, 80);
    auto shown = [list] { return (GetWindowLongPtr(list, GWL_STYLE) & WS_VSCROLL) != 0; };
    EXPECT_FALSE(shown()) << "nothing to scroll yet";
    Add(list, 5);
    EXPECT_FALSE(shown());
    Add(list, 15);
    EXPECT_TRUE(shown());
    SCROLLINFO info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &info));
    EXPECT_EQ(info.nMax, 19);
    EXPECT_EQ(info.nPage, 5u);
    EXPECT_EQ(SendMessage(list, LB_SETTOPINDEX, 10, 0), LB_OKAY);
    EXPECT_EQ(Top(list), 10);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), 10);
    SendMessage(list, LB_SETTOPINDEX, 19, 0);
    EXPECT_EQ(Top(list), 15) << "the last page stays full";
    SendMessage(list, LB_SETCURSEL, 3, 0);
    EXPECT_EQ(Top(list), 3) << "the selection scrolls into view";
    SendMessage(list, LB_SETCURSEL, 12, 0);
    EXPECT_EQ(Top(list), 8);
    struct Case {
        WORD request;
        LRESULT top;
    } steps[] = {{SB_LINEUP, 7}, {SB_LINEDOWN, 8}, {SB_PAGEDOWN, 12},
                 {SB_PAGEUP, 8}, {SB_BOTTOM, 15},  {SB_TOP, 0}};
    for (const Case& c : steps) {
        SendMessage(list, WM_VSCROLL, c.request, 0);
        EXPECT_EQ(Top(list), c.top) << c.request;
    }
    for (int i = 0; i < 19; ++i) SendMessage(list, LB_DELETESTRING, 0, 0);
    EXPECT_FALSE(shown());
    EXPECT_EQ(Top(list), 0);
}

TEST_F(ListBoxTest, ThumbOfTheScrollBarDrags) {
    HWND list = Make(WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 100);
    Add(list, 40);
    const LRESULT page = 100 / SendMessage(list, LB_GETITEMHEIGHT, 0, 0);
    RECT window{};
    GetWindowRect(list, &window);
    const int x = window.right - 8;
    // Taken at the thumb's top and dropped at the bottom of the track.
    MoveToScreen(POINT{x, window.top + 17});
    ScriptIdle({[&] {
                    MoveToScreen(POINT{x, window.top + 50});
                },
                [&] {
                    MoveToScreen(POINT{x, window.bottom});
                },
                [] { MouseUp(); }});
    MouseDown();
    EXPECT_TRUE(IdleScriptDone());
    EXPECT_EQ(Top(list), 40 - page);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), 40 - page);
    EXPECT_EQ(GetCapture(), nullptr);
    MoveToScreen(POINT{x, window.top + 5});
    ScriptIdle({[] { MouseUp(); }});
    MouseDown();
    EXPECT_EQ(Top(list), 40 - page - 1) << "the up arrow";
}

TEST_F(ListBoxTest, WheelScrollsThreeLines) {
    HWND list = Make(WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 100);
    Add(list, 40);
    SendMessage(list, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(Top(list), 3);
    SendMessage(list, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(Top(list), 0);
}

// ============================================================================
// Mouse and keys
// ============================================================================

TEST_F(ListBoxTest, ClickSelectsAndTellsTheOwner) {
    HWND list = Make(LBS_NOTIFY | LBS_NOINTEGRALHEIGHT);
    Add(list, 3);
    Notes();
    Click(list, CentreOf(ItemRect(list, 1)));
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(Cur(list), 1);
    EXPECT_EQ(Notes(), "SETFOCUS SELCHANGE SELCHANGE") << "on the change and on the release";
    Click(list, CentreOf(ItemRect(list, 1)));
    EXPECT_EQ(Notes(), "DBLCLK") << "the second press of a double click";
    Advance(1000);
    Click(list, POINT{20, 70});
    EXPECT_EQ(Cur(list), 1) << "below the items nothing changes";
    EXPECT_EQ(Notes(), "SELCHANGE");

    HWND quiet = Make(LBS_NOINTEGRALHEIGHT);
    Add(quiet, 3);
    Notes();
    Click(quiet, CentreOf(ItemRect(quiet, 2)));
    EXPECT_EQ(Cur(quiet), 2);
    EXPECT_EQ(Notes(), "KILLFOCUS SETFOCUS") << "only the focus without LBS_NOTIFY";
}

TEST_F(ListBoxTest, DraggingSelectsAndScrolls) {
    HWND list = Make(LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 80);
    Add(list, 20);
    const RECT first = ItemRect(list, 0);
    MoveTo(list, CentreOf(first));
    MouseDown();
    EXPECT_EQ(GetCapture(), list);
    Notes();
    MoveTo(list, CentreOf(ItemRect(list, 2)));
    EXPECT_EQ(Cur(list), 2);
    EXPECT_EQ(Notes(), "") << "no notes while dragging";
    for (int i = 0; i < 5; ++i) MoveTo(list, POINT{20, 100 + i % 2});
    EXPECT_GT(Top(list), 0) << "below the list it scrolls";
    EXPECT_EQ(Cur(list), Top(list) + 80 / (first.bottom - first.top) - 1) << "the last item that shows";
    MouseUp();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Notes(), "SELCHANGE");
}

TEST_F(ListBoxTest, KeysMoveTheSelection) {
    HWND list = Make(LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 80);
    Add(list, 20);
    SetFocus(list);
    Notes();
    const LRESULT page = 80 / SendMessage(list, LB_GETITEMHEIGHT, 0, 0);
    struct Case {
        int vk;
        LRESULT selected;
    } cases[] = {{VK_DOWN, 0}, {VK_DOWN, 1},        {VK_END, 19}, {VK_UP, 18},
                 {VK_HOME, 0}, {VK_NEXT, page - 1}, {VK_PRIOR, 0}};
    for (const Case& c : cases) {
        PressKey(c.vk);
        EXPECT_EQ(Cur(list), c.selected) << c.vk;
    }
    EXPECT_EQ(Notes(), "SELCHANGE SELCHANGE SELCHANGE SELCHANGE SELCHANGE SELCHANGE SELCHANGE");
    EXPECT_EQ(SendMessage(list, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS);
}

TEST_F(ListBoxTest, CapturedListRunsItsScrollBarAndKeepsTheCapture) {
    HWND list = Make(WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 100);
    Add(list, 40);
    SendMessage(list, WM_SETFOCUS, 0, 0);
    SetFocus(frame_);
    SetCapture(list);
    RECT window{};
    GetWindowRect(list, &window);
    MoveToScreen(POINT{window.right - 8, window.bottom - 5});
    ScriptIdle({[] { MouseUp(); }});
    MouseDown();
    EXPECT_EQ(Top(list), 1) << "the down arrow";
    EXPECT_EQ(GetCapture(), list);
    EXPECT_EQ(GetFocus(), frame_) << "a list told of the focus leaves the real one where it is";
}

TEST_F(ListBoxTest, OwnerMayDestroyTheListFromANotification) {
    HWND list = Make(LBS_NOTIFY | LBS_NOINTEGRALHEIGHT);
    Add(list, 3);
    owner_.onNote = [list](WORD code) {
        if (code == LBN_SELCHANGE) DestroyWindow(list);
    };
    Click(list, CentreOf(ItemRect(list, 1)));
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ListBoxTest, SystemClassIsThere) {
    WNDCLASS wc;
    ASSERT_TRUE(GetClassInfo(nullptr, "ListBox", &wc));
    EXPECT_TRUE(wc.style & CS_DBLCLKS);
    EXPECT_FALSE(UnregisterClass("LISTBOX", nullptr));
    // A program's class of that name hides it until unregistered.
    WNDCLASS own;
    own.lpfnWndProc = &DefWindowProc;
    own.lpszClassName = "listbox";
    ASSERT_NE(RegisterClass(&own), 0);
    HWND plain = Make(0);
    EXPECT_EQ(SendMessage(plain, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x")), 0);
    EXPECT_EQ(SendMessage(plain, LB_GETCOUNT, 0, 0), 0) << "the program's class knows no items";
    DestroyWindow(plain);
    EXPECT_TRUE(UnregisterClass("LISTBOX", nullptr));
    HWND list = Make(0);
    SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("x"));
    EXPECT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 1);
}

} // namespace
