#include "recording.h"
#include "win/internal.h"

#include <climits>
#include <functional>
#include <set>

using namespace win;
using namespace win::test;
using namespace testdrv;

namespace {

class WindowTest : public RecordingTest {};

const std::set<UINT> kGeometry = {
    WM_GETMINMAXINFO, WM_NCCREATE,          WM_NCCALCSIZE,       WM_CREATE,  WM_SIZE,     WM_MOVE,
    WM_SHOWWINDOW,    WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_DESTROY, WM_NCDESTROY};

TEST_F(WindowTest, CreationSendsTheOriginalsMessagesInOrder) {
    struct Case {
        const char* name;
        DWORD style;
        bool child;
        const char* expected;
    };
    const Case cases[] = {
        // An overlapped window hears of its size and place when it is first shown.
        {"overlapped, visible", WS_OVERLAPPEDWINDOW | WS_VISIBLE, false,
         "WM_GETMINMAXINFO WM_NCCREATE WM_NCCALCSIZE WM_CREATE "
         "WM_SHOWWINDOW WM_WINDOWPOSCHANGING WM_WINDOWPOSCHANGED WM_SIZE WM_MOVE"},
        {"overlapped, hidden", WS_OVERLAPPEDWINDOW, false,
         "WM_GETMINMAXINFO WM_NCCREATE WM_NCCALCSIZE WM_CREATE"},
        {"popup, visible", WS_POPUP | WS_VISIBLE, false,
         "WM_NCCREATE WM_NCCALCSIZE WM_CREATE WM_SIZE WM_MOVE WM_SHOWWINDOW WM_WINDOWPOSCHANGING "
         "WM_WINDOWPOSCHANGED"},
        {"popup, sizing frame", WS_POPUP | WS_THICKFRAME, false,
         "WM_GETMINMAXINFO WM_NCCREATE WM_NCCALCSIZE WM_CREATE WM_SIZE WM_MOVE"},
        {"popup, hidden", WS_POPUP, false, "WM_NCCREATE WM_NCCALCSIZE WM_CREATE WM_SIZE WM_MOVE"},
        {"child, visible", WS_CHILD | WS_VISIBLE, true,
         "WM_NCCREATE WM_NCCALCSIZE WM_CREATE WM_SIZE WM_MOVE WM_SHOWWINDOW WM_WINDOWPOSCHANGING "
         "WM_WINDOWPOSCHANGED"},
    };
    HWND parent = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 300, 300});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_seen.clear();
        g_only = kGeometry;
        HWND h = Make(c.style, c.child ? parent : nullptr);
        ASSERT_NE(h, nullptr);
        std::erase_if(g_seen, [h](const Seen& s) { return s.hwnd != h; });
        EXPECT_EQ(Seq(), c.expected);
        EXPECT_EQ(IsWindowVisible(h), (c.style & WS_VISIBLE) ? TRUE : FALSE);
        // The creation parameters reach WM_CREATE and the first WM_SIZE carries the client size.
        for (const Seen& s : g_seen)
            if (s.msg == WM_SIZE) {
                RECT client;
                GetClientRect(h, &client);
                EXPECT_EQ(s.lParam, MAKELPARAM(client.right, client.bottom));
                break;
            }
        DestroyWindow(h);
    }
}

TEST_F(WindowTest, CreationFailuresLeaveNoWindow) {
    EXPECT_EQ(CreateWindowEx(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
    EXPECT_EQ(Make(WS_CHILD), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_TLW_WITH_WSCHILD);

    struct Case {
        const char* name;
        std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> handler;
        const char* expected;
    };
    const Case cases[] = {
        {"WM_NCCREATE refused",
         [](HWND, UINT m, WPARAM, LPARAM, LRESULT* r) {
             if (m != WM_NCCREATE) return false;
             *r = FALSE;
             return true;
         },
         "WM_NCCREATE WM_NCDESTROY"},
        {"WM_CREATE refused",
         [](HWND, UINT m, WPARAM, LPARAM, LRESULT* r) {
             if (m != WM_CREATE) return false;
             *r = -1;
             return true;
         },
         "WM_NCCREATE WM_NCCALCSIZE WM_CREATE WM_DESTROY WM_NCDESTROY"},
        {"destroyed in WM_CREATE",
         [](HWND h, UINT m, WPARAM, LPARAM, LRESULT*) {
             if (m == WM_CREATE) DestroyWindow(h);
             return false;
         },
         "WM_NCCREATE WM_NCCALCSIZE WM_CREATE WM_DESTROY WM_NCDESTROY"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_seen.clear();
        g_only = kGeometry;
        g_handler = c.handler;
        EXPECT_EQ(Make(WS_POPUP | WS_VISIBLE), nullptr);
        EXPECT_EQ(Seq(), c.expected);
        EXPECT_TRUE(GetTopLevelWindows().empty());
    }
}

TEST_F(WindowTest, CreateStructCarriesTheStyleTheCallerPassed) {
    HWND parent = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 300, 300});
    struct Case {
        const char* name;
        DWORD style;
        HWND parent;
        DWORD kept; // what GetWindowLongPtr(GWL_STYLE) reports after creation
    };
    const Case cases[] = {
        {"overlapped", WS_OVERLAPPED, nullptr, WS_CAPTION | WS_CLIPSIBLINGS},
        {"popup", WS_POPUP | WS_BORDER, nullptr, WS_POPUP | WS_BORDER | WS_CLIPSIBLINGS},
        {"child", WS_CHILD | WS_VISIBLE | WS_TABSTOP, parent, WS_CHILD | WS_VISIBLE | WS_TABSTOP},
        {"maximized overlapped", WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, nullptr,
         WS_OVERLAPPEDWINDOW | WS_MAXIMIZE | WS_CLIPSIBLINGS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::pair<UINT, LONG>> seen;
        g_handler = [&](HWND, UINT m, WPARAM, LPARAM l, LRESULT*) {
            if (m == WM_NCCREATE || m == WM_CREATE)
                seen.emplace_back(m, reinterpret_cast<const CREATESTRUCT*>(l)->style);
            return false;
        };
        HWND h = Make(c.style, c.parent);
        ASSERT_NE(h, nullptr);
        const auto passed = static_cast<LONG>(c.style);
        EXPECT_EQ(seen, (std::vector<std::pair<UINT, LONG>>{{WM_NCCREATE, passed}, {WM_CREATE, passed}}));
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtr(h, GWL_STYLE)), c.kept);
        DestroyWindow(h);
    }
}

TEST_F(WindowTest, AnOverlappedWindowHearsOfItsSizeAndPlaceWhenFirstShown) {
    struct Case {
        const char* name;
        std::function<void(HWND)> first;
        const char* expected;
        bool stillPending; // the next ShowWindow sends them
    };
    const Case cases[] = {
        {"ShowWindow", [](HWND h) { ShowWindow(h, SW_SHOW); },
         "WM_SHOWWINDOW WM_WINDOWPOSCHANGING WM_WINDOWPOSCHANGED WM_SIZE WM_MOVE", false},
        {"ShowWindow without activation", [](HWND h) { ShowWindow(h, SW_SHOWNA); },
         "WM_SHOWWINDOW WM_WINDOWPOSCHANGING WM_WINDOWPOSCHANGED WM_SIZE WM_MOVE", false},
        {"maximized", [](HWND h) { ShowWindow(h, SW_SHOWMAXIMIZED); },
         "WM_GETMINMAXINFO WM_SHOWWINDOW WM_WINDOWPOSCHANGING WM_GETMINMAXINFO WM_NCCALCSIZE "
         "WM_WINDOWPOSCHANGED WM_MOVE WM_SIZE WM_SIZE WM_MOVE",
         false},
        {"SetWindowPos does not count",
         [](HWND h) { SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE); },
         "WM_WINDOWPOSCHANGING WM_WINDOWPOSCHANGED", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_only.clear();
        HWND h = Make(WS_OVERLAPPEDWINDOW, nullptr, RECT{20, 30, 320, 230});
        g_seen.clear();
        g_only = kGeometry;
        c.first(h);
        EXPECT_EQ(Seq(), c.expected);
        RECT client{};
        GetClientRect(h, &client);
        POINT origin{0, 0};
        ClientToScreen(h, &origin);
        if (!c.stillPending) {
            ASSERT_GE(g_seen.size(), 2u);
            const Seen& size = g_seen[g_seen.size() - 2];
            EXPECT_EQ(size.wParam, IsZoomed(h) ? SIZE_MAXIMIZED : SIZE_RESTORED);
            EXPECT_EQ(size.lParam, MAKELPARAM(client.right, client.bottom));
            EXPECT_EQ(g_seen.back().lParam, MAKELPARAM(origin.x, origin.y));
        }
        g_seen.clear();
        g_only = {WM_SIZE, WM_MOVE};
        ShowWindow(h, SW_HIDE);
        ShowWindow(h, SW_SHOWNOACTIVATE);
        EXPECT_EQ(Seq(), c.stillPending ? "WM_SIZE WM_MOVE" : "");
        DestroyWindow(h);
    }
}

TEST_F(WindowTest, DestroyHidesThenDestroysOwnedThenParentBeforeChildrenAndChildrenFirstAtTheEnd) {
    HWND parent = Named("parent", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 200, 200});
    HWND c1 = Named("c1", WS_CHILD | WS_VISIBLE, parent);
    HWND c2 = Named("c2", WS_CHILD | WS_VISIBLE, parent);
    HWND owned = Named("owned", WS_POPUP | WS_VISIBLE, parent, RECT{50, 50, 90, 90});
    RunUntilIdle();
    SetFocus(c1);
    SetCapture(c2);
    ASSERT_EQ(GetWindow(owned, GW_OWNER), parent);

    g_seen.clear();
    g_only = {WM_WINDOWPOSCHANGED, WM_DESTROY, WM_NCDESTROY, WM_CAPTURECHANGED};
    EXPECT_TRUE(DestroyWindow(parent));
    std::erase_if(g_seen, [](const Seen& s) { return s.msg == WM_CAPTURECHANGED; });
    EXPECT_EQ(Seq(),
              "parent:WM_WINDOWPOSCHANGED owned:WM_WINDOWPOSCHANGED owned:WM_DESTROY owned:WM_NCDESTROY "
              "parent:WM_DESTROY c2:WM_DESTROY c1:WM_DESTROY c2:WM_NCDESTROY c1:WM_NCDESTROY "
              "parent:WM_NCDESTROY");
    for (HWND h : {parent, c1, c2, owned}) EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowTest, DestroyingAVisibleWindowReportsTheHideWithSwpHideWindow) {
    HWND h = Make(WS_POPUP | WS_VISIBLE);
    UINT flags = 0;
    bool sawShowWindow = false;
    g_handler = [&](HWND, UINT m, WPARAM, LPARAM l, LRESULT*) {
        if (m == WM_WINDOWPOSCHANGED) flags = reinterpret_cast<const WINDOWPOS*>(l)->flags;
        if (m == WM_SHOWWINDOW) sawShowWindow = true;
        return false;
    };
    DestroyWindow(h);
    EXPECT_TRUE(flags & SWP_HIDEWINDOW);
    EXPECT_FALSE(sawShowWindow);
}

TEST_F(WindowTest, StaleHandlesFailEveryCall) {
    HWND h = Make(WS_POPUP | WS_VISIBLE);
    ASSERT_TRUE(DestroyWindow(h));
    RECT r{};
    POINT p{};
    const std::pair<const char*, std::function<bool()>> calls[] = {
        {"IsWindow", [&] { return !IsWindow(h); }},
        {"DestroyWindow", [&] { return !DestroyWindow(h); }},
        {"SetWindowPos", [&] { return !SetWindowPos(h, nullptr, 0, 0, 5, 5, SWP_NOZORDER); }},
        {"ShowWindow", [&] { return !ShowWindow(h, SW_SHOW); }},
        {"SendMessage", [&] { return SendMessage(h, WM_USER, 0, 0) == 0; }},
        {"PostMessage", [&] { return !PostMessage(h, WM_USER, 0, 0); }},
        {"GetWindowRect", [&] { return !GetWindowRect(h, &r); }},
        {"ClientToScreen", [&] { return !ClientToScreen(h, &p); }},
        {"SetWindowText", [&] { return !SetWindowText(h, "x"); }},
        {"GetWindowLongPtr", [&] { return GetWindowLongPtr(h, GWL_STYLE) == 0; }},
        {"SetWindowLongPtr", [&] { return SetWindowLongPtr(h, GWL_USERDATA, 1) == 0; }},
        {"InvalidateRect", [&] { return !InvalidateRect(h, nullptr, TRUE); }},
        {"GetDC", [&] { return GetDC(h) == nullptr; }},
        {"SetTimer", [&] { return SetTimer(h, 1, 10, nullptr) == 0; }},
        {"SetParent", [&] { return SetParent(h, nullptr) == nullptr; }},
        {"GetParent", [&] { return GetParent(h) == nullptr; }},
        {"EnableWindow", [&] { return !EnableWindow(h, FALSE); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        SetLastError(0);
        EXPECT_TRUE(call());
        if (std::string(name) != "IsWindow") {
            EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
        }
    }
    // Slots come back into use, never with the old handle.
    std::vector<HWND> made;
    for (int i = 0; i < 400; ++i) {
        HWND n = Make(WS_POPUP);
        ASSERT_NE(n, h);
        made.push_back(n);
        if (i % 2) DestroyWindow(n);
    }
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(IsWindow(nullptr));
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(std::uintptr_t{0xDEADBEEF})));
}

TEST_F(WindowTest, SameThreadSendIsADirectReentrantCallAndAHandlerMayDestroyItsWindow) {
    HWND h = Make(WS_POPUP | WS_VISIBLE);
    int depth = 0, maxDepth = 0;
    g_handler = [&](HWND hwnd, UINT m, WPARAM w, LPARAM, LRESULT* r) {
        if (m != WM_USER) return false;
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        if (w > 0) SendMessage(hwnd, WM_USER, w - 1, 0);
        --depth;
        *r = static_cast<LRESULT>(100 + w);
        return true;
    };
    EXPECT_EQ(SendMessage(h, WM_USER, 3, 0), 103);
    EXPECT_EQ(maxDepth, 4);

    g_handler = [](HWND hwnd, UINT m, WPARAM, LPARAM, LRESULT* r) {
        if (m != WM_USER + 1) return false;
        DestroyWindow(hwnd);
        *r = 42;
        return true;
    };
    EXPECT_EQ(SendMessage(h, WM_USER + 1, 0, 0), 42);
    EXPECT_FALSE(IsWindow(h));
    SetLastError(0);
    EXPECT_EQ(SendMessage(h, WM_USER + 1, 0, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(WindowTest, WindowsDestroyedInsideTheirOwnHandlers) {
    const std::pair<UINT, std::function<void(HWND)>> cases[] = {
        {WM_WINDOWPOSCHANGING,
         [](HWND h) { EXPECT_FALSE(SetWindowPos(h, nullptr, 5, 5, 50, 50, SWP_NOZORDER)); }},
        {WM_NCCALCSIZE, [](HWND h) { EXPECT_FALSE(SetWindowPos(h, nullptr, 5, 5, 50, 50, SWP_NOZORDER)); }},
        {WM_SHOWWINDOW, [](HWND h) { ShowWindow(h, SW_HIDE); }},
        {WM_PAINT,
         [](HWND h) {
             InvalidateRect(h, nullptr, TRUE);
             RunUntilIdle();
         }},
        {WM_ERASEBKGND,
         [](HWND h) {
             InvalidateRect(h, nullptr, TRUE);
             UpdateWindow(h);
         }},
        {WM_TIMER,
         [](HWND h) {
             SetTimer(h, 1, 10, nullptr);
             Advance(50);
         }},
        {WM_DESTROY, [](HWND h) { EXPECT_TRUE(DestroyWindow(h)); }},
        {WM_NCDESTROY, [](HWND h) { EXPECT_TRUE(DestroyWindow(h)); }},
        {WM_CLOSE, [](HWND h) { SendMessage(h, WM_CLOSE, 0, 0); }},
    };
    for (const auto& [msg, act] : cases) {
        SCOPED_TRACE(MessageName(msg));
        HWND h = Make(WS_POPUP | WS_VISIBLE);
        HWND child = Make(WS_CHILD | WS_VISIBLE, h);
        RunUntilIdle();
        int calls = 0;
        const UINT target = msg;
        g_handler = [&calls, target, h](HWND hwnd, UINT m, WPARAM, LPARAM, LRESULT*) {
            if (hwnd == h && m == target && ++calls == 1) DestroyWindow(hwnd);
            return false;
        };
        act(h);
        g_handler = nullptr;
        EXPECT_GE(calls, 1); // the destruction itself may send the message again
        EXPECT_FALSE(IsWindow(h));
        EXPECT_FALSE(IsWindow(child));
        RunUntilIdle();
    }
}

TEST_F(WindowTest, SetWindowPosSendsChangingCalcSizeChangedAndDefaultHandlingMoveAndSize) {
    HWND h = Named("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{10, 10, 310, 210});
    RunUntilIdle();
    g_only = {WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE,
              WM_GETMINMAXINFO,     WM_SHOWWINDOW};

    struct Case {
        const char* name;
        int x, y, cx, cy;
        UINT flags;
        const char* expected;
    };
    const Case cases[] = {
        {"move and size", 20, 30, 400, 250, SWP_NOZORDER | SWP_NOACTIVATE,
         "w:WM_WINDOWPOSCHANGING w:WM_GETMINMAXINFO w:WM_NCCALCSIZE w:WM_WINDOWPOSCHANGED w:WM_MOVE "
         "w:WM_SIZE"},
        {"move only", 40, 50, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE,
         "w:WM_WINDOWPOSCHANGING w:WM_WINDOWPOSCHANGED w:WM_MOVE"},
        {"frame changed", 0, 0, 0, 0,
         SWP_NOZORDER | SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED | SWP_NOACTIVATE,
         "w:WM_WINDOWPOSCHANGING w:WM_NCCALCSIZE w:WM_WINDOWPOSCHANGED"},
        {"nothing to do", 0, 0, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE,
         "w:WM_WINDOWPOSCHANGING"},
        {"no changing message", 41, 51, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOSENDCHANGING | SWP_NOACTIVATE,
         "w:WM_WINDOWPOSCHANGED w:WM_MOVE"},
        {"hide", 0, 0, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOMOVE | SWP_HIDEWINDOW,
         "w:WM_WINDOWPOSCHANGING w:WM_WINDOWPOSCHANGED"},
        {"show", 0, 0, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE,
         "w:WM_WINDOWPOSCHANGING w:WM_WINDOWPOSCHANGED"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_seen.clear();
        EXPECT_TRUE(SetWindowPos(h, nullptr, c.x, c.y, c.cx, c.cy, c.flags));
        EXPECT_EQ(Seq(), c.expected);
    }
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(r, (RECT{41, 51, 441, 301}));
}

TEST_F(WindowTest, WindowPosChangingMayModifyTheRequestAndWithoutDefaultHandlingNoMoveOrSize) {
    HWND h = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 100, 100});
    UINT changedFlags = 0;
    g_handler = [&](HWND, UINT m, WPARAM, LPARAM l, LRESULT*) {
        if (m == WM_WINDOWPOSCHANGING) {
            auto* wp = reinterpret_cast<WINDOWPOS*>(l);
            wp->cx = 77;
            wp->x = 3;
        }
        if (m == WM_WINDOWPOSCHANGED) {
            changedFlags = reinterpret_cast<const WINDOWPOS*>(l)->flags;
            return true; // no DefWindowProc: no WM_MOVE / WM_SIZE
        }
        return false;
    };
    g_only = {WM_MOVE, WM_SIZE};
    g_seen.clear();
    SetWindowPos(h, nullptr, 10, 10, 50, 60, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(r, (RECT{3, 10, 80, 70}));
    EXPECT_EQ(Seq(), "");
    EXPECT_FALSE(changedFlags & SWP_NOMOVE);
    EXPECT_FALSE(changedFlags & SWP_NOSIZE);
}

TEST_F(WindowTest, OnlyShowWindowSendsShowWindowAndOnlyItMovesActivationOnHide) {
    HWND a = Named("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND b = Named("b", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    RunUntilIdle();
    ASSERT_EQ(GetActiveWindow(), b);
    g_seen.clear();
    g_only = {WM_SHOWWINDOW};

    SetWindowPos(b, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_FALSE(IsWindowVisible(b));
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(Seq(), "");

    std::vector<UINT> changed;
    g_handler = [&](HWND h, UINT m, WPARAM, LPARAM l, LRESULT*) {
        if (h == b && m == WM_WINDOWPOSCHANGED)
            changed.push_back(reinterpret_cast<const WINDOWPOS*>(l)->flags &
                              (SWP_SHOWWINDOW | SWP_HIDEWINDOW));
        return false;
    };
    SetWindowPos(b, nullptr, 0, 0, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Seq(), "");
    EXPECT_TRUE(ShowWindow(b, SW_HIDE));
    EXPECT_EQ(Seq(), "b:WM_SHOWWINDOW");
    EXPECT_EQ(changed, (std::vector<UINT>{SWP_SHOWWINDOW, SWP_HIDEWINDOW}));
    g_handler = nullptr;
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_FALSE(ShowWindow(b, SW_HIDE));
    EXPECT_EQ(Seq(), "b:WM_SHOWWINDOW");

    DestroyWindow(a);
    EXPECT_NE(GetActiveWindow(), a);
}

TEST_F(WindowTest, ShowWindowSendsOnlyWhatTheScreenNeeds) {
    HWND hiddenParent = Named("hp", WS_POPUP, nullptr, RECT{0, 0, 200, 200});
    HWND shownParent = Named("sp", WS_POPUP | WS_VISIBLE, nullptr, RECT{300, 0, 500, 200});
    RunUntilIdle();
    struct Case {
        const char* name;
        DWORD style;
        HWND parent;
        int cmd;
        const char* expected;
        BOOL result;
    };
    const Case cases[] = {
        {"child of a hidden parent shown", WS_CHILD, hiddenParent, SW_SHOW, "w:WM_SHOWWINDOW", FALSE},
        {"child of a hidden parent hidden", WS_CHILD | WS_VISIBLE, hiddenParent, SW_HIDE, "w:WM_SHOWWINDOW",
         TRUE},
        {"child of a shown parent shown", WS_CHILD, shownParent, SW_SHOW,
         "w:WM_SHOWWINDOW w:WM_WINDOWPOSCHANGING w:WM_WINDOWPOSCHANGED", FALSE},
        {"visible child shown again", WS_CHILD | WS_VISIBLE, shownParent, SW_SHOW, "", TRUE},
        {"visible popup shown again", WS_POPUP | WS_VISIBLE, nullptr, SW_SHOW, "", TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_only.clear();
        HWND h = Named("w", c.style, c.parent);
        RunUntilIdle();
        g_seen.clear();
        g_only = {WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED,
                  WM_NCACTIVATE, WM_ACTIVATE,          WM_CHILDACTIVATE};
        EXPECT_EQ(ShowWindow(h, c.cmd), c.result);
        EXPECT_EQ(Seq(), c.expected);
        const bool wantVisible = c.cmd != SW_HIDE;
        EXPECT_EQ((GetWindowLongPtr(h, GWL_STYLE) & WS_VISIBLE) != 0, wantVisible);
        EXPECT_EQ(IsWindowVisible(h) != FALSE, wantVisible && c.parent != hiddenParent);
        DestroyWindow(h);
    }

    // The child shown inside the hidden parent appears with it, and is painted.
    HWND child = Make(WS_CHILD, hiddenParent, RECT{10, 10, 60, 60});
    ShowWindow(child, SW_SHOW);
    int paints = 0;
    g_handler = [&](HWND hwnd, UINT m, WPARAM, LPARAM, LRESULT*) {
        if (hwnd == child && m == WM_PAINT) ++paints;
        return false;
    };
    ShowWindow(hiddenParent, SW_SHOWNA);
    EXPECT_TRUE(IsWindowVisible(child));
    RunUntilIdle();
    EXPECT_EQ(paints, 1);
}

TEST_F(WindowTest, ShowWindowStatesAndReturnValues) {
    HWND h = Make(WS_OVERLAPPEDWINDOW, nullptr, RECT{20, 20, 320, 220});
    EXPECT_FALSE(ShowWindow(h, SW_SHOWNA));
    EXPECT_TRUE(ShowWindow(h, SW_SHOW));
    std::vector<WPARAM> sizes;
    g_handler = [&](HWND, UINT m, WPARAM w, LPARAM, LRESULT*) {
        if (m == WM_SIZE) sizes.push_back(w);
        return false;
    };
    ShowWindow(h, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(h));
    RECT r, work;
    GetWindowRect(h, &r);
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    const int frame = GetSystemMetrics(SM_CXFRAME);
    EXPECT_EQ(r, (RECT{work.left - frame, work.top - frame, work.right + frame, work.bottom + frame}));
    ShowWindow(h, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(h));
    EXPECT_FALSE(IsZoomed(h));
    ShowWindow(h, SW_RESTORE);
    EXPECT_FALSE(IsIconic(h));
    GetWindowRect(h, &r);
    EXPECT_EQ(r, (RECT{20, 20, 320, 220}));
    EXPECT_EQ(sizes, (std::vector<WPARAM>{SIZE_MAXIMIZED, SIZE_MINIMIZED, SIZE_RESTORED}));
    EXPECT_FALSE(ShowWindow(h, 1234));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(WindowTest, AbsurdSizesAndPositionsAreClamped) {
    HWND popup = Make(WS_POPUP | WS_VISIBLE);
    HWND child = Make(WS_CHILD | WS_VISIBLE, popup);
    HWND framed = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    for (HWND h : {popup, child, framed}) {
        EXPECT_TRUE(SetWindowPos(h, nullptr, INT_MIN, INT_MAX, -500, -7, SWP_NOZORDER | SWP_NOACTIVATE));
        RECT r;
        GetWindowRect(h, &r);
        EXPECT_GE(r.right - r.left, 0);
        EXPECT_GE(r.bottom - r.top, 0);
        EXPECT_TRUE(SetWindowPos(h, nullptr, 0, 0, 1000000000, INT_MAX, SWP_NOZORDER | SWP_NOACTIVATE));
        GetWindowRect(h, &r);
        EXPECT_LE(r.right - r.left, 32767);
        EXPECT_LE(r.bottom - r.top, 32767);
        EXPECT_GT(r.right - r.left, 1000);
        InvalidateRect(h, nullptr, TRUE);
    }
    RunUntilIdle();
    RECT r;
    GetWindowRect(framed, &r);
    // A sizing frame keeps to the largest tracking size.
    EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXMAXTRACK));
    ComposeScreen();
}

TEST_F(WindowTest, VisibilityNeedsEveryParentAndNeverReachesMessageOnlyWindows) {
    HWND messageOnly = CreateWindowEx(0, kRecordingClass, "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10,
                                      HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(messageOnly, nullptr);
    EXPECT_FALSE(IsWindowVisible(messageOnly));

    // A popup moved into a hidden window shows only with it, WS_CHILD or not.
    HWND hidden = Make(WS_POPUP, nullptr, RECT{0, 0, 200, 200});
    HWND popup = Make(WS_POPUP | WS_VISIBLE);
    SetParent(popup, hidden);
    EXPECT_FALSE(IsWindowVisible(popup));
    ShowWindow(hidden, SW_SHOWNA);
    EXPECT_TRUE(IsWindowVisible(popup));
}

TEST_F(WindowTest, SetParentRefusesCyclesAndMovesWindows) {
    HWND a = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 300, 300});
    HWND b = Make(WS_CHILD | WS_VISIBLE, a);
    HWND c = Make(WS_CHILD | WS_VISIBLE, b);
    SetLastError(0);
    EXPECT_EQ(SetParent(a, c), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(SetParent(b, b), nullptr);
    EXPECT_EQ(GetParent(b), a);
    EXPECT_TRUE(IsChild(a, c));

    HWND other = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{400, 0, 600, 200});
    EXPECT_EQ(SetParent(c, other), b);
    EXPECT_EQ(GetParent(c), other);
    EXPECT_FALSE(IsChild(a, c));
    EXPECT_TRUE(IsWindowVisible(c));
    EXPECT_EQ(GetChildWindows(other), std::vector<HWND>{c});
    EXPECT_EQ(GetAncestor(c, GA_ROOT), other);
    RECT r;
    GetWindowRect(c, &r);
    EXPECT_EQ(r.left, 400 + 10);
    DestroyWindow(other);
    EXPECT_FALSE(IsWindow(c));
    EXPECT_TRUE(IsWindow(b));
}

// The original hides a visible window with ShowWindow, places it at the top
// of its new siblings with SetWindowPos (a move, and a child's activation,
// even at the same coordinates) and shows it again with ShowWindow.
TEST_F(WindowTest, SetParentHidesAndShowsThroughShowWindowAndPlacesTheWindowOnTop) {
    HWND a = Named("a", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 200, 200});
    HWND b = Named("b", WS_POPUP | WS_VISIBLE, nullptr, RECT{300, 0, 500, 200});
    HWND sibling = Named("s", WS_CHILD | WS_VISIBLE, b);
    RunUntilIdle();
    struct Case {
        const char* name;
        DWORD style;
        const char* expected;
    };
    const Case cases[] = {
        {"visible", WS_CHILD | WS_VISIBLE,
         "c:WM_SHOWWINDOW c:WM_WINDOWPOSCHANGING c:WM_WINDOWPOSCHANGED c:WM_WINDOWPOSCHANGING "
         "c:WM_CHILDACTIVATE c:WM_WINDOWPOSCHANGED c:WM_MOVE c:WM_SHOWWINDOW c:WM_WINDOWPOSCHANGING "
         "c:WM_WINDOWPOSCHANGED"},
        {"hidden", WS_CHILD, "c:WM_WINDOWPOSCHANGING c:WM_CHILDACTIVATE c:WM_WINDOWPOSCHANGED c:WM_MOVE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_only.clear();
        HWND child = Named("c", c.style, a, RECT{10, 20, 60, 70});
        std::vector<std::pair<UINT, UINT>> flags;
        std::vector<WPARAM> shows;
        g_handler = [&](HWND h, UINT m, WPARAM w, LPARAM l, LRESULT*) {
            if (h != child) return false;
            if (m == WM_WINDOWPOSCHANGING || m == WM_WINDOWPOSCHANGED)
                flags.emplace_back(m, reinterpret_cast<const WINDOWPOS*>(l)->flags &
                                          (SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_NOSIZE));
            if (m == WM_SHOWWINDOW) shows.push_back(w);
            return false;
        };
        g_seen.clear();
        g_only = {WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_CHILDACTIVATE, WM_MOVE};
        EXPECT_EQ(SetParent(child, b), a);
        g_handler = nullptr;
        std::erase_if(g_seen, [child](const Seen& s) { return s.hwnd != child; });
        EXPECT_EQ(Seq(), c.expected);
        if (c.style & WS_VISIBLE) {
            EXPECT_EQ(shows, (std::vector<WPARAM>{FALSE, TRUE}));
            EXPECT_EQ(flags, (std::vector<std::pair<UINT, UINT>>{
                                 {WM_WINDOWPOSCHANGING, SWP_HIDEWINDOW | SWP_NOSIZE},
                                 {WM_WINDOWPOSCHANGED, SWP_HIDEWINDOW | SWP_NOSIZE},
                                 {WM_WINDOWPOSCHANGING, SWP_NOSIZE},
                                 {WM_WINDOWPOSCHANGED, SWP_NOSIZE},
                                 {WM_WINDOWPOSCHANGING, SWP_SHOWWINDOW | SWP_NOSIZE},
                                 {WM_WINDOWPOSCHANGED, SWP_SHOWWINDOW | SWP_NOSIZE}}));
        }
        EXPECT_EQ(GetWindow(b, GW_CHILD), child);
        EXPECT_EQ(GetWindow(child, GW_HWNDNEXT), sibling);
        EXPECT_EQ(IsWindowVisible(child) != FALSE, (c.style & WS_VISIBLE) != 0);
        // The client position in the new parent is the one it had in the old.
        const auto move =
            std::find_if(g_seen.begin(), g_seen.end(), [](const Seen& s) { return s.msg == WM_MOVE; });
        ASSERT_NE(move, g_seen.end());
        EXPECT_EQ(move->lParam, MAKELPARAM(10, 20));
        RECT r;
        GetWindowRect(child, &r);
        EXPECT_EQ(r, (RECT{310, 20, 360, 70}));
        DestroyWindow(child);
    }
}

TEST_F(WindowTest, SetWindowRgnIsAChangeOfFrameRedrawnOnlyWhenAskedFor) {
    HWND parent = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 300, 300});
    struct Case {
        const char* name;
        DWORD style;
        HWND parent;
        BOOL redraw;
        const char* expected;
    };
    const Case cases[] = {
        {"popup, redraw", WS_POPUP | WS_VISIBLE, nullptr, TRUE,
         "WM_WINDOWPOSCHANGING WM_NCCALCSIZE WM_WINDOWPOSCHANGED"},
        {"child, redraw", WS_CHILD | WS_VISIBLE, parent, TRUE,
         "WM_WINDOWPOSCHANGING WM_NCCALCSIZE WM_WINDOWPOSCHANGED"},
        {"hidden, redraw", WS_POPUP, nullptr, TRUE, "WM_WINDOWPOSCHANGING WM_NCCALCSIZE WM_WINDOWPOSCHANGED"},
        {"no redraw", WS_POPUP | WS_VISIBLE, nullptr, FALSE,
         "WM_WINDOWPOSCHANGING WM_NCCALCSIZE WM_WINDOWPOSCHANGED"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_only.clear();
        HWND h = Make(c.style, c.parent);
        RunUntilIdle();
        UINT changed = 0;
        g_handler = [&](HWND hwnd, UINT m, WPARAM, LPARAM l, LRESULT*) {
            if (hwnd == h && m == WM_WINDOWPOSCHANGED) changed = reinterpret_cast<const WINDOWPOS*>(l)->flags;
            return false;
        };
        g_seen.clear();
        g_only = {WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE};
        EXPECT_EQ(SetWindowRgn(h, CreateEllipticRgn(0, 0, 100, 80), c.redraw), 1);
        EXPECT_EQ(Seq(), c.expected);
        const UINT frame = SWP_FRAMECHANGED | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
        EXPECT_EQ(changed & frame, frame);
        EXPECT_EQ((changed & SWP_NOREDRAW) != 0, !c.redraw);
        // Without redrawing nothing waits to be painted.
        if (!c.redraw) {
            EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));
        }
        g_handler = nullptr;
        DestroyWindow(h);
    }
}

TEST_F(WindowTest, InsertAfterAWindowThatIsNoSiblingPutsTheWindowOnTop) {
    HWND a = Make(WS_POPUP | WS_VISIBLE);
    HWND topmost = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 10, 10}, WS_EX_TOPMOST);
    HWND b = Make(WS_POPUP | WS_VISIBLE);
    HWND c1 = Make(WS_CHILD | WS_VISIBLE, a);
    HWND c2 = Make(WS_CHILD | WS_VISIBLE, a);
    HWND c3 = Make(WS_CHILD | WS_VISIBLE, a);
    HWND other = Make(WS_CHILD | WS_VISIBLE, b);
    HWND grandchild = Make(WS_CHILD | WS_VISIBLE, c3);
    ASSERT_EQ(GetChildWindows(a), (std::vector<HWND>{c3, c2, c1}));
    ASSERT_EQ(GetTopLevelWindows(), (std::vector<HWND>{topmost, b, a}));
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

    struct Case {
        const char* name;
        HWND hwnd, after;
        HWND parent; // whose children to check; nullptr for the top-level windows
        std::vector<HWND> expected;
    };
    const Case cases[] = {
        {"child after a top-level window", c1, b, a, {c1, c3, c2}},
        {"child after another parent's child", c2, other, a, {c2, c1, c3}},
        {"child after its own grandchild", c3, grandchild, a, {c3, c2, c1}},
        {"child after its parent", c1, a, a, {c1, c3, c2}},
        {"top-level window after a child", a, other, nullptr, {topmost, a, b}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(SetWindowPos(c.hwnd, c.after, 0, 0, 0, 0, keep));
        EXPECT_EQ(c.parent ? GetChildWindows(c.parent) : GetTopLevelWindows(), c.expected);
    }

    // A dead handle and the desktop are refused, and nothing moves.
    HWND gone = Make(WS_POPUP);
    DestroyWindow(gone);
    SetLastError(0);
    EXPECT_FALSE(SetWindowPos(c1, gone, 0, 0, 0, 0, keep));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    for (HWND h : {c2, b}) {
        SetLastError(0);
        EXPECT_FALSE(SetWindowPos(h, GetDesktopWindow(), 5, 5, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(GetChildWindows(a), (std::vector<HWND>{c1, c3, c2}));
    EXPECT_EQ(GetTopLevelWindows(), (std::vector<HWND>{topmost, a, b}));
    RECT r;
    GetWindowRect(b, &r);
    EXPECT_EQ(r.left, 10);
}

TEST_F(WindowTest, AClientAreaLargerThanItsWindowIsKeptAndDrawingStaysInsideTheWindow) {
    constexpr int kGrow = 10;
    HWND parent = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 300, 300});
    g_handler = [parent](HWND h, UINT m, WPARAM w, LPARAM l, LRESULT* r) {
        if (h == parent) return false;
        if (m == WM_NCCALCSIZE) {
            RECT* rc = w ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(l)->rgrc[0] : reinterpret_cast<RECT*>(l);
            InflateRect(rc, kGrow, kGrow);
            *r = 0;
            return true;
        }
        if (m == WM_ERASEBKGND) {
            RECT all{-100, -100, 1000, 1000};
            FillRect(reinterpret_cast<HDC>(w), &all, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            *r = 1;
            return true;
        }
        return false;
    };
    HWND child = Make(WS_CHILD | WS_VISIBLE, parent, RECT{100, 100, 160, 150});
    RECT client{};
    GetClientRect(child, &client);
    EXPECT_EQ(client, (RECT{0, 0, 60 + 2 * kGrow, 50 + 2 * kGrow}));
    POINT origin{0, 0};
    ClientToScreen(child, &origin);
    EXPECT_EQ(origin, (POINT{100 - kGrow, 100 - kGrow}));

    int size = 0;
    LPARAM sizeParam = 0;
    auto grow = g_handler;
    g_handler = [&](HWND h, UINT m, WPARAM w, LPARAM l, LRESULT* r) {
        if (h == child && m == WM_SIZE) ++size, sizeParam = l;
        return grow(h, m, w, l, r);
    };
    SetWindowPos(child, nullptr, 0, 0, 80, 70, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(size, 1);
    EXPECT_EQ(sizeParam, MAKELPARAM(80 + 2 * kGrow, 70 + 2 * kGrow));
    RunUntilIdle();

    // The child paints all of its client area; only its window shows it.
    EXPECT_EQ(ScreenPixel(POINT{100, 100}), RGB(0, 0, 0));
    EXPECT_EQ(ScreenPixel(POINT{179, 169}), RGB(0, 0, 0));
    for (POINT outside : {POINT{95, 95}, POINT{99, 120}, POINT{180, 120}, POINT{120, 170}})
        EXPECT_NE(ScreenPixel(outside), RGB(0, 0, 0)) << outside.x << "," << outside.y;
}

TEST_F(WindowTest, ZOrderBandsOwnedWindowsAndGetWindow) {
    HWND a = Make(WS_POPUP | WS_VISIBLE);
    HWND b = Make(WS_POPUP | WS_VISIBLE);
    HWND top = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 10, 10}, WS_EX_TOPMOST);
    HWND owned = Make(WS_POPUP | WS_VISIBLE, a);
    EXPECT_EQ(GetTopLevelWindows(), (std::vector<HWND>{top, owned, b, a}));

    // The owner comes up with what it owns above it.
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetTopLevelWindows(), (std::vector<HWND>{top, owned, a, b}));
    SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetTopLevelWindows(), (std::vector<HWND>{b, top, owned, a}));
    EXPECT_TRUE(GetWindowLongPtr(b, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SetWindowPos(top, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_FALSE(GetWindowLongPtr(top, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetTopLevelWindows(), (std::vector<HWND>{b, owned, a, top}));
    SetWindowPos(b, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetTopLevelWindows(), (std::vector<HWND>{b, owned, a, top}));
    SetWindowPos(b, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetTopLevelWindows(), (std::vector<HWND>{owned, a, b, top}));

    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
    EXPECT_EQ(GetWindow(a, GW_HWNDPREV), owned);
    EXPECT_EQ(GetWindow(a, GW_HWNDFIRST), owned);
    EXPECT_EQ(GetWindow(a, GW_HWNDLAST), top);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), a);
    EXPECT_EQ(GetParent(owned), a);
    EXPECT_EQ(GetAncestor(owned, GA_ROOTOWNER), a);
    EXPECT_EQ(GetAncestor(a, GA_PARENT), GetDesktopWindow());

    // From the desktop, the top-level windows in z-order.
    const HWND desktop = GetDesktopWindow();
    std::vector<HWND> walked;
    for (HWND h = GetWindow(desktop, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) walked.push_back(h);
    EXPECT_EQ(walked, GetTopLevelWindows());
    EXPECT_EQ(GetWindow(desktop, GW_CHILD), GetTopWindow(nullptr));
    for (UINT cmd : {GW_HWNDNEXT, GW_HWNDPREV, GW_OWNER}) EXPECT_EQ(GetWindow(desktop, cmd), nullptr) << cmd;

    HWND c1 = Make(WS_CHILD | WS_VISIBLE, a);
    HWND c2 = Make(WS_CHILD | WS_VISIBLE, a);
    EXPECT_EQ(GetWindow(a, GW_CHILD), c2);
    SetWindowPos(c1, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetChildWindows(a), (std::vector<HWND>{c1, c2}));
}

TEST_F(WindowTest, AChildKeepsTheTopmostStyleItAsksForAndIsTopmostOnceTopLevel) {
    HWND parent = Make(WS_POPUP | WS_VISIBLE);
    HWND child = Make(WS_CHILD | WS_VISIBLE, parent, RECT{0, 0, 10, 10}, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    HWND other = Make(WS_CHILD | WS_VISIBLE, parent);
    EXPECT_EQ(GetWindowLongPtr(child, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
              WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    // Among its siblings the style means nothing.
    SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), other);
    HWND topmost = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 10, 10}, WS_EX_TOPMOST);
    SetParent(child, nullptr);
    EXPECT_TRUE(GetWindowLongPtr(child, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetTopLevelWindows(), (std::vector<HWND>{child, topmost, parent}));
}

TEST_F(WindowTest, GeometryAndHitTesting) {
    HWND frame = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{100, 100, 400, 300});
    HWND child = Make(WS_CHILD | WS_VISIBLE, frame, RECT{10, 20, 60, 70});
    HWND hidden = Make(WS_CHILD, frame, RECT{0, 0, 200, 200});
    RECT in{0, 0, 0, 0};
    AdjustWindowRectEx(&in, WS_OVERLAPPEDWINDOW, FALSE, 0);
    RECT client;
    GetClientRect(frame, &client);
    EXPECT_EQ(client, (RECT{0, 0, 300 - (in.right - in.left), 200 - (in.bottom - in.top)}));

    POINT p{0, 0};
    ClientToScreen(child, &p);
    EXPECT_EQ(p, (POINT{100 - in.left + 10, 100 - in.top + 20}));
    POINT pts[2] = {{0, 0}, {5, 5}};
    MapWindowPoints(child, frame, pts, 2);
    EXPECT_EQ(pts[1], (POINT{15, 25}));
    ScreenToClient(child, &p);
    EXPECT_EQ(p, (POINT{0, 0}));

    struct Case {
        POINT screen;
        LRESULT hit;
        HWND window;
    };
    const int border = GetSystemMetrics(SM_CXFRAME);
    const Case cases[] = {
        {{100, 100}, HTTOPLEFT, frame},
        {{250, 100}, HTTOP, frame},
        {{399, 299}, HTBOTTOMRIGHT, frame},
        {{100, 200}, HTLEFT, frame},
        {{250, 100 + border + 5}, HTCAPTION, frame},
        {{400 - border - 8, 100 + border + 8}, HTCLOSE, frame},
        {{250, 250}, HTCLIENT, frame},
        {{100 - in.left + 20, 100 - in.top + 30}, HTCLIENT, child},
        {{50, 50}, HTNOWHERE, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.screen.x) + "," + std::to_string(c.screen.y));
        EXPECT_EQ(WindowFromPoint(c.screen), c.window);
        if (c.window) {
            EXPECT_EQ(SendMessage(c.window, WM_NCHITTEST, 0, PointToLParam(c.screen)), c.hit);
        }
    }
    EXPECT_EQ(ChildWindowFromPointEx(frame, POINT{100, 100}, CWP_ALL), hidden);
    EXPECT_EQ(ChildWindowFromPointEx(frame, POINT{100, 100}, CWP_SKIPINVISIBLE), frame);
    EXPECT_EQ(ChildWindowFromPointEx(frame, POINT{15, 25}, CWP_SKIPINVISIBLE), child);
    EnableWindow(child, FALSE);
    EXPECT_EQ(ChildWindowFromPointEx(frame, POINT{15, 25}, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED), frame);
    EXPECT_EQ(ChildWindowFromPointEx(frame, POINT{5000, 25}, CWP_ALL), nullptr);
}

TEST_F(WindowTest, HitTestTransparentWindowsAreSkippedByWindowFromPoint) {
    HWND below = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 100, 100});
    HWND above = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 100, 100});
    HWND child = Make(WS_CHILD | WS_VISIBLE, below, RECT{0, 0, 50, 50});
    g_handler = [above, child](HWND h, UINT m, WPARAM, LPARAM, LRESULT* r) {
        if (m != WM_NCHITTEST || (h != above && h != child)) return false;
        *r = HTTRANSPARENT;
        return true;
    };
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), below);
    EXPECT_EQ(WindowFromPoint(POINT{70, 70}), below);
}

TEST_F(WindowTest, WindowRegionsShapeHitTesting) {
    HWND h = Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 100, 100});
    HRGN rgn = CreateEllipticRgn(0, 0, 100, 100);
    EXPECT_EQ(SetWindowRgn(h, rgn, TRUE), 1);
    EXPECT_EQ(WindowFromPoint(POINT{2, 2}), nullptr);
    EXPECT_EQ(WindowFromPoint(POINT{50, 50}), h);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(h, copy), ERROR);
    EXPECT_TRUE(PtInRegion(copy, 50, 50));
    detail::DeleteRgn(copy);
    EXPECT_EQ(SetWindowRgn(h, nullptr, FALSE), 1);
    EXPECT_EQ(WindowFromPoint(POINT{2, 2}), h);
}

TEST_F(WindowTest, ClassesWindowDataPropsAndText) {
    WNDCLASS wc;
    wc.lpfnWndProc = &DefWindowProc;
    wc.lpszClassName = "corerecording";
    EXPECT_EQ(RegisterClass(&wc), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    wc.lpszClassName = "CoreExtra";
    wc.cbWndExtra = 16;
    const ATOM atom = RegisterClass(&wc);
    ASSERT_NE(atom, 0);
    HWND h = CreateWindowEx(0, reinterpret_cast<const char*>(std::uintptr_t{atom}), "Title", WS_POPUP, 0, 0,
                            10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetClassName(h), "CoreExtra");
    EXPECT_EQ(GetWindowText(h), "Title");
    EXPECT_EQ(SetWindowLongPtr(h, 8, 1234), 0);
    EXPECT_EQ(GetWindowLongPtr(h, 8), 1234);
    EXPECT_EQ(GetWindowLongPtr(h, 12), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
    EXPECT_EQ(SetWindowLongPtr(h, GWL_USERDATA, 5), 0);
    EXPECT_EQ(GetWindowLongPtr(h, GWL_USERDATA), 5);
    EXPECT_FALSE(UnregisterClass("CoreExtra", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_CLASS_HAS_WINDOWS);

    int stored = 0;
    EXPECT_TRUE(SetProp(h, "Key", &stored));
    EXPECT_EQ(GetProp(h, "KEY"), &stored);
    EXPECT_EQ(RemoveProp(h, "key"), &stored);
    EXPECT_EQ(GetProp(h, "Key"), nullptr);

    SetWindowText(h, "Привет, мир");
    char small[8];
    EXPECT_EQ(GetWindowText(h, small, sizeof small), 6); // never half a character
    EXPECT_EQ(std::string(small), "При");
    EXPECT_EQ(GetWindowTextLength(h), static_cast<int>(std::string("Привет, мир").size()));

    // Subclassing through GWL_WNDPROC, calling the old procedure on.
    static WNDPROC previous;
    static int subclassed;
    subclassed = 0;
    previous = reinterpret_cast<WNDPROC>(GetWindowLongPtr(h, GWL_WNDPROC));
    SetWindowLongPtr(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) {
                         if (m == WM_USER) ++subclassed;
                         return CallWindowProc(previous, w, m, wp, lp);
                     }));
    SendMessage(h, WM_USER, 0, 0);
    EXPECT_EQ(subclassed, 1);

    g_only = {WM_STYLECHANGING, WM_STYLECHANGED};
    HWND r = Make(WS_POPUP);
    g_seen.clear();
    SetWindowLongPtr(r, GWL_STYLE, WS_POPUP | WS_BORDER);
    EXPECT_EQ(Seq(), "WM_STYLECHANGING WM_STYLECHANGED");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtr(r, GWL_STYLE)), WS_POPUP | WS_BORDER);
    DestroyWindow(h);
    EXPECT_TRUE(UnregisterClass("CoreExtra", nullptr));
}

// ============================================================================
// Moving and sizing by the frame
// ============================================================================

const std::set<UINT> kSizeMove = {
    WM_NCLBUTTONDOWN, WM_SYSCOMMAND,        WM_ENTERSIZEMOVE,    WM_GETMINMAXINFO,  WM_SIZING,
    WM_MOVING,        WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_CAPTURECHANGED, WM_EXITSIZEMOVE};

// What the user does once the button is down, one step each time the loop waits.
Step MoveBy(POINT from, POINT delta) {
    return [from, delta] { InjectMouseMove(POINT{from.x + delta.x, from.y + delta.y}); };
}
Step Release() {
    return [] { InjectMouseButton(MouseButton::Left, false); };
}
Step Press(int vk) {
    return [vk] {
        InjectKey(vk, true);
        InjectKey(vk, false);
    };
}

// Presses the left button at a screen point and runs until the loops are done.
void PressAt(POINT p, std::vector<Step> steps) {
    ScriptIdle(std::move(steps));
    InjectMouseMove(p);
    InjectMouseButton(MouseButton::Left, true);
    RunUntilIdle();
}

TEST_F(WindowTest, APressOnTheFrameMovesOrSizesTheWindowInAModalLoop) {
    const RECT start{100, 100, 400, 300};
    const int b = GetSystemMetrics(SM_CXFRAME);
    const POINT caption{250, 100 + b + 5};
    struct Case {
        const char* name;
        POINT press;
        std::vector<POINT> moves;
        int key; // pressed after the moves; only an arrow leaves the release to end the loop
        std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> handler;
        WPARAM command;
        const char* expected;
        RECT end;
        bool child = false; // of a parent whose client area starts at (10, 20)
    };
    auto minTrack = [](HWND, UINT m, WPARAM, LPARAM l, LRESULT*) {
        if (m == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(l)->ptMinTrackSize = POINT{250, 150};
        return false;
    };
    auto maxTrack = [](HWND, UINT m, WPARAM, LPARAM l, LRESULT*) {
        if (m == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(l)->ptMaxTrackSize = POINT{350, 250};
        return false;
    };
    auto fixedHeight = [](HWND, UINT m, WPARAM, LPARAM l, LRESULT*) {
        if (m == WM_SIZING) reinterpret_cast<RECT*>(l)->bottom = reinterpret_cast<RECT*>(l)->top + 150;
        return false;
    };
    auto sideways = [start](HWND, UINT m, WPARAM, LPARAM l, LRESULT*) {
        if (m != WM_MOVING) return false;
        RECT* r = reinterpret_cast<RECT*>(l);
        OffsetRect(r, 0, start.top - r->top);
        return false;
    };
    const char* moveTwice =
        "w:WM_NCLBUTTONDOWN w:WM_SYSCOMMAND w:WM_ENTERSIZEMOVE w:WM_GETMINMAXINFO "
        "w:WM_MOVING w:WM_WINDOWPOSCHANGING w:WM_WINDOWPOSCHANGED "
        "w:WM_MOVING w:WM_WINDOWPOSCHANGING w:WM_WINDOWPOSCHANGED w:WM_CAPTURECHANGED w:WM_EXITSIZEMOVE";
    const char* sizeOnce = "w:WM_NCLBUTTONDOWN w:WM_SYSCOMMAND w:WM_ENTERSIZEMOVE w:WM_GETMINMAXINFO "
                           "w:WM_SIZING w:WM_WINDOWPOSCHANGING w:WM_GETMINMAXINFO w:WM_WINDOWPOSCHANGED "
                           "w:WM_CAPTURECHANGED w:WM_EXITSIZEMOVE";
    const Case cases[] = {
        {"the caption moves the window along",
         caption,
         {{10, 5}, {30, 20}},
         0,
         nullptr,
         SC_MOVE | HTCAPTION,
         moveTwice,
         RECT{130, 120, 430, 320}},
        {"the right border sizes it",
         POINT{399, 200},
         {{40, 0}},
         0,
         nullptr,
         SC_SIZE | WMSZ_RIGHT,
         sizeOnce,
         RECT{100, 100, 440, 300}},
        {"the top-left corner sizes two sides",
         POINT{100, 100},
         {{-20, -10}},
         0,
         nullptr,
         SC_SIZE | WMSZ_TOPLEFT,
         sizeOnce,
         RECT{80, 90, 400, 300}},
        {"WM_SIZING changes the rectangle",
         POINT{250, 299},
         {{0, 50}},
         0,
         fixedHeight,
         SC_SIZE | WMSZ_BOTTOM,
         sizeOnce,
         RECT{100, 100, 400, 250}},
        {"the minimum size holds the opposite edge",
         POINT{100, 200},
         {{200, 0}},
         0,
         minTrack,
         SC_SIZE | WMSZ_LEFT,
         sizeOnce,
         RECT{150, 100, 400, 300}},
        {"the maximum size",
         POINT{399, 299},
         {{200, 200}},
         0,
         maxTrack,
         SC_SIZE | WMSZ_BOTTOMRIGHT,
         sizeOnce,
         RECT{100, 100, 450, 350}},
        {"WM_MOVING changes the rectangle",
         caption,
         {{10, 5}, {30, 40}},
         0,
         sideways,
         SC_MOVE | HTCAPTION,
         moveTwice,
         RECT{130, 100, 430, 300}},
        {"Escape puts the window back",
         caption,
         {{30, 20}},
         VK_ESCAPE,
         nullptr,
         SC_MOVE | HTCAPTION,
         "w:WM_NCLBUTTONDOWN w:WM_SYSCOMMAND w:WM_ENTERSIZEMOVE w:WM_GETMINMAXINFO "
         "w:WM_MOVING w:WM_WINDOWPOSCHANGING w:WM_WINDOWPOSCHANGED "
         "w:WM_WINDOWPOSCHANGING w:WM_WINDOWPOSCHANGED w:WM_CAPTURECHANGED w:WM_EXITSIZEMOVE",
         start},
        {"Enter keeps the place",
         caption,
         {{30, 20}},
         VK_RETURN,
         nullptr,
         SC_MOVE | HTCAPTION,
         "w:WM_NCLBUTTONDOWN w:WM_SYSCOMMAND w:WM_ENTERSIZEMOVE w:WM_GETMINMAXINFO "
         "w:WM_MOVING w:WM_WINDOWPOSCHANGING w:WM_WINDOWPOSCHANGED w:WM_CAPTURECHANGED w:WM_EXITSIZEMOVE",
         RECT{130, 120, 430, 320}},
        {"an arrow key moves the cursor",
         caption,
         {},
         VK_RIGHT,
         nullptr,
         SC_MOVE | HTCAPTION,
         "w:WM_NCLBUTTONDOWN w:WM_SYSCOMMAND w:WM_ENTERSIZEMOVE w:WM_GETMINMAXINFO "
         "w:WM_MOVING w:WM_WINDOWPOSCHANGING w:WM_WINDOWPOSCHANGED w:WM_CAPTURECHANGED w:WM_EXITSIZEMOVE",
         RECT{108, 100, 408, 300}},
        {"a press inside the window", POINT{250, 200}, {}, 0, nullptr, 0, "", start},
        {"a child moves in its parent",
         caption,
         {{10, 5}, {30, 20}},
         0,
         nullptr,
         SC_MOVE | HTCAPTION,
         moveTwice,
         RECT{130, 120, 430, 320},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_only.clear();
        g_handler = nullptr;
        HWND parent = c.child ? Make(WS_POPUP | WS_VISIBLE, nullptr, RECT{10, 20, 700, 600}) : nullptr;
        RECT place = start;
        if (parent) OffsetRect(&place, -10, -20);
        HWND h = Named("w",
                       (c.child ? WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME : WS_OVERLAPPEDWINDOW) |
                           WS_VISIBLE,
                       parent, place);
        RunUntilIdle();
        std::vector<WPARAM> commands, edges;
        bool capturedInside = true;
        auto tweak = c.handler;
        g_handler = [&, tweak](HWND hwnd, UINT m, WPARAM w, LPARAM l, LRESULT* r) {
            if (m == WM_SYSCOMMAND) commands.push_back(w);
            if (m == WM_SIZING) edges.push_back(w);
            if (m == WM_MOVING || m == WM_SIZING) capturedInside = capturedInside && GetCapture() == hwnd;
            return tweak && tweak(hwnd, m, w, l, r);
        };
        g_seen.clear();
        g_only = kSizeMove;
        std::vector<Step> steps;
        for (POINT d : c.moves) steps.push_back(MoveBy(c.press, d));
        if (c.key) steps.push_back(Press(c.key));
        if (c.key != VK_ESCAPE && c.key != VK_RETURN) steps.push_back(Release());
        PressAt(c.press, steps);
        EXPECT_EQ(IdleScriptDone(), c.command != 0);
        ScriptIdle({});
        InjectMouseButton(MouseButton::Left, false);
        RunUntilIdle();
        std::erase_if(g_seen, [h](const Seen& s) { return s.hwnd != h; });
        EXPECT_EQ(Seq(), c.expected);
        if (c.command) {
            EXPECT_EQ(commands.front(), c.command);
        }
        for (WPARAM e : edges) EXPECT_EQ(e, c.command & 0xF);
        EXPECT_TRUE(capturedInside);
        EXPECT_EQ(GetCapture(), nullptr);
        RECT r{};
        GetWindowRect(h, &r);
        EXPECT_EQ(r, c.end);
        g_handler = nullptr;
        DestroyWindow(parent ? parent : h);
    }
}

TEST_F(WindowTest, MoveAndSizeStartedFromTheKeyboardFollowTheArrowKeys) {
    const RECT start{100, 100, 400, 300};
    struct Case {
        const char* name;
        WPARAM command;
        std::vector<int> keys;
        RECT end;
    };
    const Case cases[] = {
        {"move", SC_MOVE, {VK_RIGHT, VK_DOWN, VK_RETURN}, RECT{108, 108, 408, 308}},
        {"size: the first arrow picks the edge",
         SC_SIZE,
         {VK_RIGHT, VK_RIGHT, VK_RETURN},
         RECT{100, 100, 408, 300}},
        {"size from the top", SC_SIZE, {VK_UP, VK_UP, VK_UP, VK_RETURN}, RECT{100, 84, 400, 300}},
        {"Escape", SC_SIZE, {VK_LEFT, VK_LEFT, VK_ESCAPE}, start},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_only.clear();
        HWND h = Named("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, start);
        RunUntilIdle();
        std::vector<Step> steps;
        for (int vk : c.keys) steps.push_back(Press(vk));
        ScriptIdle(steps);
        g_seen.clear();
        g_only = {WM_ENTERSIZEMOVE, WM_EXITSIZEMOVE};
        SendMessage(h, WM_SYSCOMMAND, c.command, 0);
        EXPECT_TRUE(IdleScriptDone());
        EXPECT_EQ(Seq(), "w:WM_ENTERSIZEMOVE w:WM_EXITSIZEMOVE");
        RECT r{};
        GetWindowRect(h, &r);
        EXPECT_EQ(r, c.end);
        RunUntilIdle();
        DestroyWindow(h);
    }
}

TEST_F(WindowTest, TheMoveLoopEndsWhenItsWindowGoesOrItIsToldToQuit) {
    const RECT start{100, 100, 400, 300};
    const POINT caption{250, 100 + GetSystemMetrics(SM_CXFRAME) + 5};
    HWND other = Named("other", WS_POPUP | WS_VISIBLE, nullptr, RECT{600, 100, 700, 200});
    struct Case {
        const char* name;
        std::function<void(HWND)> during; // after the first move
        const char* expected;
        bool alive;
        bool quits = false;
    };
    const Case cases[] = {
        {"WM_QUIT is posted again", [](HWND) { PostQuitMessage(3); },
         "w:WM_ENTERSIZEMOVE w:WM_MOVING w:WM_CAPTURECHANGED w:WM_EXITSIZEMOVE", true, true},
        {"a posted message's handler destroys the window", [](HWND h) { PostMessage(h, WM_USER, 0, 0); },
         "w:WM_ENTERSIZEMOVE w:WM_MOVING w:0x0400 w:WM_CAPTURECHANGED", false},
        {"WM_MOVING destroys the window", [](HWND h) { PostMessage(h, WM_USER + 1, 0, 0); },
         "w:WM_ENTERSIZEMOVE w:WM_MOVING w:0x0401 w:WM_MOVING w:WM_CAPTURECHANGED", false},
        {"another window takes the capture", [other](HWND) { SetCapture(other); },
         "w:WM_ENTERSIZEMOVE w:WM_MOVING w:WM_CAPTURECHANGED w:WM_EXITSIZEMOVE", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_only.clear();
        g_handler = nullptr;
        HWND h = Named("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, start);
        RunUntilIdle();
        bool destroyInMoving = false;
        g_handler = [&](HWND hwnd, UINT m, WPARAM, LPARAM, LRESULT*) {
            if (hwnd != h) return false;
            if (m == WM_USER) DestroyWindow(hwnd);
            if (m == WM_USER + 1) destroyInMoving = true;
            if (m == WM_MOVING && destroyInMoving) DestroyWindow(hwnd);
            return false;
        };
        g_seen.clear();
        g_only = {WM_ENTERSIZEMOVE, WM_MOVING, WM_CAPTURECHANGED, WM_EXITSIZEMOVE, WM_USER, WM_USER + 1};
        const auto during = c.during;
        PressAt(caption, {MoveBy(caption, POINT{10, 10}), [during, h] { during(h); },
                          MoveBy(caption, POINT{20, 20}), Release()});
        std::erase_if(g_seen, [h](const Seen& s) { return s.hwnd != h; });
        EXPECT_EQ(Seq(), c.expected);
        EXPECT_EQ(IsWindow(h) != FALSE, c.alive);
        MSG quit{};
        const bool quitWaits = PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
        EXPECT_EQ(quitWaits, c.quits);
        if (quitWaits) {
            EXPECT_EQ(quit.wParam, 3u);
        }
        if (c.alive) {
            RECT r{};
            GetWindowRect(h, &r);
            EXPECT_EQ(r, (RECT{110, 110, 410, 310})) << "the place the loop reached";
        }
        ReleaseCapture();
        InjectMouseButton(MouseButton::Left, false);
        g_handler = nullptr;
        RunUntilIdle();
        if (IsWindow(h)) DestroyWindow(h);
    }
}

TEST_F(WindowTest, CaptionButtonsActOnAReleaseOverThem) {
    struct Case {
        const char* name;
        DWORD style;
        LRESULT hit;
        bool leaveAndReturn;
        bool releaseOutside;
        WPARAM command; // 0: none
        bool tracked = true;
    };
    const Case cases[] = {
        {"close", WS_OVERLAPPEDWINDOW, HTCLOSE, false, false, SC_CLOSE},
        {"close, left and come back to", WS_OVERLAPPEDWINDOW, HTCLOSE, true, false, SC_CLOSE},
        {"close, released elsewhere", WS_OVERLAPPEDWINDOW, HTCLOSE, false, true, 0},
        {"maximize", WS_OVERLAPPEDWINDOW, HTMAXBUTTON, false, false, SC_MAXIMIZE},
        {"restore", WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, HTMAXBUTTON, false, false, SC_RESTORE},
        {"minimize", WS_OVERLAPPEDWINDOW, HTMINBUTTON, false, false, SC_MINIMIZE},
        {"a button without its box", WS_OVERLAPPEDWINDOW & ~WS_MINIMIZEBOX, HTMINBUTTON, false, false, 0,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_only.clear();
        g_handler = nullptr;
        HWND h = Named("w", c.style | WS_VISIBLE, nullptr, RECT{100, 100, 400, 300});
        RunUntilIdle();
        RECT button{};
        {
            detail::Guard g(detail::Lock());
            const detail::Window* w = detail::GetWnd(h);
            button = detail::ComputeNcLayout(*w).Button(c.hit);
            OffsetRect(&button, w->rect.left, w->rect.top);
        }
        const POINT on = CentreOf(button);
        const POINT off{on.x - 60, on.y + 40};
        g_seen.clear();
        g_only = {WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_SYSCOMMAND, WM_CAPTURECHANGED};
        std::vector<Step> steps;
        if (c.leaveAndReturn) steps = {MoveBy(off, {}), MoveBy(on, {})};
        if (c.releaseOutside) steps = {MoveBy(off, {})};
        steps.push_back(Release());
        PressAt(on, steps);
        EXPECT_EQ(IdleScriptDone(), c.tracked);
        ScriptIdle({});
        if (!c.tracked) InjectMouseButton(MouseButton::Left, false);
        RunUntilIdle();
        std::vector<WPARAM> commands;
        for (const Seen& s : g_seen)
            if (s.msg == WM_SYSCOMMAND) commands.push_back(s.wParam);
        EXPECT_EQ(commands, c.command ? std::vector<WPARAM>{c.command} : std::vector<WPARAM>{});
        // The release ends the tracking; the window never hears of it.
        EXPECT_EQ(Seq().rfind(c.tracked ? "w:WM_NCLBUTTONDOWN w:WM_CAPTURECHANGED"
                                        : "w:WM_NCLBUTTONDOWN w:WM_NCLBUTTONUP",
                              0),
                  0u)
            << Seq();
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(IsWindow(h) != FALSE, c.command != SC_CLOSE);
        if (IsWindow(h)) {
            EXPECT_EQ(IsZoomed(h) != FALSE,
                      c.command == SC_MAXIMIZE || (!c.command && (c.style & WS_MAXIMIZE)));
            EXPECT_EQ(IsIconic(h) != FALSE, c.command == SC_MINIMIZE);
        }
        if (IsWindow(h)) DestroyWindow(h);
    }
}

TEST_F(WindowTest, APressedCaptionButtonShowsPushedWhileTheCursorIsOverIt) {
    HWND h = Named("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{100, 100, 400, 300});
    RunUntilIdle();
    RECT button{};
    {
        detail::Guard g(detail::Lock());
        const detail::Window* w = detail::GetWnd(h);
        button = detail::ComputeNcLayout(*w).Button(HTCLOSE);
        OffsetRect(&button, w->rect.left, w->rect.top);
    }
    const POINT corner{button.left, button.top};
    const COLORREF up = ScreenPixel(corner);
    std::vector<COLORREF> seen;
    const POINT on = CentreOf(button);
    auto look = [&] { seen.push_back(ScreenPixel(corner)); };
    PressAt(on, {[&] {
                     look();
                     InjectMouseMove(POINT{on.x - 80, on.y + 50});
                 },
                 [&] {
                     look();
                     InjectMouseButton(MouseButton::Left, false);
                 }});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_NE(seen[0], up);
    EXPECT_EQ(seen[1], up);
    EXPECT_EQ(ScreenPixel(corner), up);
    EXPECT_TRUE(IsWindow(h));

    // A double click on the caption maximizes and restores.
    const POINT caption{250, 100 + GetSystemMetrics(SM_CXFRAME) + 5};
    g_seen.clear();
    g_only = {WM_NCLBUTTONDBLCLK, WM_SYSCOMMAND};
    ClickScreen(caption);
    ClickScreen(caption);
    EXPECT_EQ(Seq(), "w:WM_SYSCOMMAND w:WM_NCLBUTTONDBLCLK w:WM_SYSCOMMAND");
    EXPECT_TRUE(IsZoomed(h));
}

} // namespace
