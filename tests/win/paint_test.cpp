#include "support/driver.h"
#include "win/internal.h"

#include <functional>

using namespace win;
using namespace testdrv;

namespace {

struct Painted {
    HWND hwnd{};
    RECT rcPaint{};
    BOOL fErase = FALSE;
};

std::vector<Painted> g_paints;
std::vector<std::pair<HWND, UINT>> g_log;
std::map<HWND, std::string> g_names;
std::map<HWND, COLORREF> g_fill; // a window paints its whole client area in this colour
std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> g_handler;

void Fill(HDC dc, const RECT& r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

LRESULT PaintProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT || msg == WM_NCPAINT || msg == WM_ERASEBKGND || msg == WM_PRINTCLIENT)
        g_log.emplace_back(hwnd, msg);
    LRESULT r = 0;
    if (g_handler && g_handler(hwnd, msg, wParam, lParam, &r)) return r;
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        g_paints.push_back(Painted{hwnd, ps.rcPaint, ps.fErase});
        auto it = g_fill.find(hwnd);
        if (it != g_fill.end()) {
            RECT client;
            GetClientRect(hwnd, &client);
            Fill(dc, client, it->second);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (msg == WM_PRINTCLIENT) {
        auto it = g_fill.find(hwnd);
        RECT client;
        GetClientRect(hwnd, &client);
        if (it != g_fill.end()) Fill(reinterpret_cast<HDC>(wParam), client, it->second);
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

std::string Log() {
    std::string text;
    for (const auto& [h, m] : g_log) {
        if (!text.empty()) text += ' ';
        auto it = g_names.find(h);
        if (it != g_names.end()) text += it->second + ':';
        text += MessageName(m);
    }
    return text;
}

COLORREF PixelOf(HWND hwnd, int x, int y, bool window = false) {
    HDC dc = window ? GetWindowDC(hwnd) : GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class PaintTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        g_paints.clear();
        g_log.clear();
        g_names.clear();
        g_fill.clear();
        g_handler = nullptr;
        Register("CorePaint", 0);
        Register("CorePaintRedraw", CS_HREDRAW | CS_VREDRAW);
        Register("CorePaintOwnDC", CS_OWNDC);
    }
    void TearDown() override {
        g_handler = nullptr;
        WinTest::TearDown();
    }
    void Register(const char* name, UINT style) {
        WNDCLASS wc;
        wc.style = style;
        wc.lpfnWndProc = &PaintProc;
        wc.lpszClassName = name;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_HIGHLIGHT + 1));
        ASSERT_NE(RegisterClass(&wc), 0);
    }
    HWND Make(const std::string& name, DWORD style, HWND parent, RECT r, const char* cls = "CorePaint") {
        HWND h = CreateWindowEx(0, cls, "", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                                nullptr, nullptr, nullptr);
        g_names[h] = name;
        return h;
    }
    void Settle() {
        RunUntilIdle();
        g_paints.clear();
        g_log.clear();
    }
};

TEST_F(PaintTest, BeginPaintValidatesAndTheClassBrushErases) {
    HWND h = Make("w", WS_POPUP | WS_VISIBLE, nullptr, RECT{100, 100, 200, 180});
    EXPECT_EQ(RunUntilIdle(), 1);
    EXPECT_EQ(Log(), "w:WM_PAINT w:WM_ERASEBKGND");
    ASSERT_EQ(g_paints.size(), 1u);
    EXPECT_EQ(g_paints[0].rcPaint, (RECT{0, 0, 100, 80}));
    EXPECT_FALSE(g_paints[0].fErase);
    EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));
    EXPECT_EQ(PixelOf(h, 10, 10), GetSysColor(COLOR_HIGHLIGHT));
    // The compositor shows it where the window is.
    EXPECT_EQ(ScreenPixel(POINT{110, 110}), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(RunUntilIdle(), 0);
}

TEST_F(PaintTest, UpdateRegionsEraseFlagAndPaintRectangle) {
    HWND h = Make("w", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 100, 100});
    Settle();
    RECT a{10, 10, 20, 20}, b{50, 60, 70, 80};
    InvalidateRect(h, &a, FALSE);
    InvalidateRect(h, &b, FALSE);
    RECT box;
    EXPECT_TRUE(GetUpdateRect(h, &box, FALSE));
    EXPECT_EQ(box, (RECT{10, 10, 70, 80}));
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetUpdateRgn(h, rgn, FALSE), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(rgn, 30, 30));
    detail::DeleteRgn(rgn);
    RunUntilIdle();
    EXPECT_EQ(Log(), "w:WM_PAINT");
    ASSERT_EQ(g_paints.size(), 1u);
    EXPECT_EQ(g_paints[0].rcPaint, (RECT{10, 10, 70, 80}));

    Settle();
    InvalidateRect(h, nullptr, TRUE);
    RECT left{0, 0, 50, 100};
    ValidateRect(h, &left);
    g_handler = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT* r) {
        if (msg != WM_ERASEBKGND) return false;
        *r = 0; // not erased: BeginPaint reports fErase
        return true;
    };
    RunUntilIdle();
    EXPECT_EQ(Log(), "w:WM_PAINT w:WM_ERASEBKGND");
    ASSERT_EQ(g_paints.size(), 1u);
    EXPECT_EQ(g_paints[0].rcPaint, (RECT{50, 0, 100, 100}));
    EXPECT_TRUE(g_paints[0].fErase);

    // Nothing happens for a hidden window.
    Settle();
    ShowWindow(h, SW_HIDE);
    InvalidateRect(h, nullptr, TRUE);
    EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));
    EXPECT_EQ(RunUntilIdle(), 0);
}

TEST_F(PaintTest, FramesAreDrawnThroughNcPaintWithTheCaptionState) {
    HWND a = Make("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{0, 0, 200, 150});
    RunUntilIdle();
    EXPECT_EQ(Log(), "a:WM_PAINT a:WM_NCPAINT a:WM_ERASEBKGND");
    const int b = GetSystemMetrics(SM_CXFRAME);
    EXPECT_EQ(PixelOf(a, b, b + 2, true), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(SendMessage(a, WM_NCHITTEST, 0, MAKELPARAM(b + 30, b + 5)), HTCAPTION);

    HWND other = Make("other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{300, 0, 500, 150});
    Settle();
    EXPECT_NE(GetActiveWindow(), a);
    EXPECT_EQ(PixelOf(a, b, b + 2, true), GetSysColor(COLOR_INACTIVECAPTION));
    EXPECT_NE(PixelOf(a, b, b + 2, true), CLR_INVALID);
    DestroyWindow(other);

    // The client DC stays out of the frame.
    HDC dc = GetDC(a);
    EXPECT_EQ(GetPixel(dc, -1, -1), CLR_INVALID);
    ReleaseDC(a, dc);
}

TEST_F(PaintTest, RedrawWindowFlags) {
    struct Case {
        const char* name;
        DWORD parentStyle;
        UINT flags;
        const char* during;
        const char* after;
    };
    const Case cases[] = {
        {"update now", 0, RDW_INVALIDATE | RDW_UPDATENOW, "p:WM_PAINT c:WM_PAINT", ""},
        {"erase now", 0, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW, "p:WM_ERASEBKGND c:WM_ERASEBKGND",
         "p:WM_PAINT c:WM_PAINT"},
        {"clip children keeps children out", WS_CLIPCHILDREN, RDW_INVALIDATE, "", "p:WM_PAINT"},
        {"all children", WS_CLIPCHILDREN, RDW_INVALIDATE | RDW_ALLCHILDREN, "", "p:WM_PAINT c:WM_PAINT"},
        {"no children", 0, RDW_INVALIDATE | RDW_NOCHILDREN, "", "p:WM_PAINT"},
        {"frame", 0, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN, "", "p:WM_PAINT p:WM_NCPAINT"},
        {"internal paint", 0, RDW_INTERNALPAINT, "", "p:WM_PAINT"},
        {"validate", 0, RDW_VALIDATE | RDW_NOFRAME, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND p = Make("p", WS_POPUP | WS_BORDER | WS_VISIBLE | c.parentStyle, nullptr, RECT{0, 0, 100, 100});
        HWND child = Make("c", WS_CHILD | WS_VISIBLE, p, RECT{10, 10, 40, 40});
        ASSERT_NE(child, nullptr);
        Settle();
        if (c.flags & RDW_VALIDATE) InvalidateRect(p, nullptr, TRUE);
        RedrawWindow(p, nullptr, nullptr, c.flags);
        EXPECT_EQ(Log(), c.during);
        g_log.clear();
        RunUntilIdle();
        EXPECT_EQ(Log(), c.after);
        if (c.flags == RDW_INTERNALPAINT) {
            ASSERT_EQ(g_paints.size(), 1u);
            EXPECT_TRUE(IsRectEmpty(&g_paints[0].rcPaint));
        }
        DestroyWindow(p);
    }
}

TEST_F(PaintTest, UpdateWindowPaintsParentsBeforeChildrenWithoutTheQueue) {
    HWND p = Make("p", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 100, 100});
    Make("c", WS_CHILD | WS_VISIBLE, p, RECT{10, 10, 40, 40});
    g_log.clear();
    EXPECT_TRUE(UpdateWindow(p));
    EXPECT_EQ(Log(), "p:WM_PAINT p:WM_ERASEBKGND c:WM_PAINT c:WM_ERASEBKGND");
    g_log.clear();
    UpdateWindow(p);
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(RunUntilIdle(), 0);
}

TEST_F(PaintTest, WindowDCsClipChildrenAndSiblingsByStyle) {
    struct Case {
        DWORD parentStyle;
        DWORD siblingStyle;
        COLORREF childPixel; // what the parent's drawing leaves on the child
        COLORREF lowerPixel; // the lower sibling's drawing where the upper one overlaps it
    };
    const Case cases[] = {
        {0, 0, kBlue, kRed},
        {WS_CLIPCHILDREN, WS_CLIPSIBLINGS, kGreen, kGreen},
    };
    for (const Case& c : cases) {
        HWND p = Make("p", WS_POPUP | WS_VISIBLE | c.parentStyle, nullptr, RECT{0, 0, 100, 100});
        HWND lower = Make("lower", WS_CHILD | WS_VISIBLE | c.siblingStyle, p, RECT{10, 10, 50, 50});
        HWND upper = Make("upper", WS_CHILD | WS_VISIBLE | c.siblingStyle, p, RECT{30, 30, 70, 70});
        g_fill[upper] = kGreen;
        RunUntilIdle();
        ASSERT_EQ(PixelOf(upper, 10, 10), kGreen);

        HDC dc = GetDC(p);
        Fill(dc, RECT{0, 0, 100, 100}, kBlue);
        ReleaseDC(p, dc);
        EXPECT_EQ(PixelOf(upper, 20, 20), c.childPixel);
        dc = GetDC(lower);
        Fill(dc, RECT{0, 0, 40, 40}, kRed);
        ReleaseDC(lower, dc);
        EXPECT_EQ(PixelOf(upper, 5, 5), c.lowerPixel);
        EXPECT_EQ(PixelOf(lower, 5, 5), kRed);
        DestroyWindow(p);
        RunUntilIdle();
    }
}

TEST_F(PaintTest, ExposureOnMoveResizeAndHide) {
    HWND p = Make("p", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, nullptr, RECT{0, 0, 200, 200});
    HWND c = Make("c", WS_CHILD | WS_VISIBLE, p, RECT{10, 10, 60, 60});
    Settle();

    ShowWindow(c, SW_HIDE);
    RunUntilIdle();
    ASSERT_EQ(g_paints.size(), 1u);
    EXPECT_EQ(g_paints[0].hwnd, p);
    EXPECT_EQ(g_paints[0].rcPaint, (RECT{10, 10, 60, 60}));

    ShowWindow(c, SW_SHOWNA);
    Settle();
    MoveWindow(c, 100, 100, 50, 50, TRUE);
    RunUntilIdle();
    EXPECT_EQ(Log(), "p:WM_PAINT p:WM_ERASEBKGND c:WM_PAINT c:WM_ERASEBKGND");
    EXPECT_EQ(g_paints[0].rcPaint, (RECT{10, 10, 60, 60}));
    Settle();
    MoveWindow(c, 10, 10, 50, 50, FALSE);
    EXPECT_EQ(RunUntilIdle(), 0);

    // A plain class repaints only what a resize adds; CS_HREDRAW / CS_VREDRAW all of it.
    HWND plain = Make("plain", WS_POPUP | WS_VISIBLE, nullptr, RECT{300, 0, 400, 100});
    HWND redraw = Make("redraw", WS_POPUP | WS_VISIBLE, nullptr, RECT{300, 200, 400, 300}, "CorePaintRedraw");
    Settle();
    SetWindowPos(plain, nullptr, 0, 0, 150, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(redraw, nullptr, 0, 0, 150, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RunUntilIdle();
    ASSERT_EQ(g_paints.size(), 2u);
    for (const Painted& pt : g_paints) EXPECT_EQ(pt.rcPaint, (RECT{0, 0, 150, 120})) << g_names[pt.hwnd];
    RECT strip{120, 0, 150, 120};
    ValidateRect(redraw, nullptr);
    SetWindowPos(redraw, nullptr, 0, 0, 120, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(GetUpdateRect(redraw, &strip, FALSE)); // shrinking repaints it all
    EXPECT_EQ(strip, (RECT{0, 0, 120, 120}));
    Settle();
    RECT before;
    GetWindowRect(plain, &before);
    SetWindowPos(plain, nullptr, 0, 0, 150, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(RunUntilIdle(), 0); // smaller: nothing new to paint
    SetWindowPos(plain, nullptr, 0, 0, 170, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RunUntilIdle();
    ASSERT_EQ(g_paints.size(), 1u);
    EXPECT_EQ(g_paints[0].rcPaint, (RECT{150, 0, 170, 100}));
}

TEST_F(PaintTest, AParentRepaintsOnlyWhatAMovedOrResizedChildUncovers) {
    // The parent does not clip its children: painting under the child would
    // cover the grandchild, which nothing would repaint.
    HWND p = Make("p", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 200, 200});
    HWND a = Make("a", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, p, RECT{10, 10, 110, 40});
    HWND b = Make("b", WS_CHILD | WS_VISIBLE, a, RECT{5, 5, 45, 25});
    g_fill[p] = kRed;
    g_fill[a] = kGreen;
    g_fill[b] = kBlue;
    Settle();
    const POINT InB{30, 25};
    ASSERT_EQ(ScreenPixel(InB), kBlue);
    struct Case {
        RECT to;
        RECT parentPaint; // empty: the parent paints nothing
    } cases[] = {
        {RECT{10, 10, 110, 60}, RECT{}},                // grown: nothing uncovered
        {RECT{10, 10, 110, 30}, RECT{10, 30, 110, 60}}, // shrunk: the strip it left
        {RECT{10, 5, 110, 25}, RECT{10, 25, 110, 30}},  // moved up: the strip below
    };
    for (const Case& k : cases) {
        SetWindowPos(a, nullptr, k.to.left, k.to.top, k.to.right - k.to.left, k.to.bottom - k.to.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        RunUntilIdle();
        RECT parentPaint{};
        for (const Painted& pt : g_paints)
            if (pt.hwnd == p) parentPaint = pt.rcPaint;
        EXPECT_EQ(parentPaint, k.parentPaint) << k.to.bottom;
        const POINT At{k.to.left + 20, k.to.top + 15};
        EXPECT_EQ(ScreenPixel(At), kBlue) << k.to.bottom;
        Settle();
    }
}

TEST_F(PaintTest, SurfacesAreRetainedAcrossMovesAndResizes) {
    HWND h = Make("w", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 50, 50});
    g_fill[h] = kRed;
    RunUntilIdle();
    Settle();
    // A top-level move needs no repaint: the compositor shows the kept surface.
    SetWindowPos(h, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(RunUntilIdle(), 0);
    EXPECT_EQ(ScreenPixel(POINT{310, 310}), kRed);
    EXPECT_NE(ScreenPixel(POINT{10, 10}), kRed);
    // Growing keeps what was drawn.
    SetWindowPos(h, nullptr, 0, 0, 80, 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(PixelOf(h, 20, 20), kRed);
    RunUntilIdle();
    EXPECT_EQ(PixelOf(h, 70, 70), kRed);
}

TEST_F(PaintTest, DeviceContextsOwnDCsAndWindowFromDC) {
    HWND h = Make("own", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 50, 50}, "CorePaintOwnDC");
    HDC a = GetDC(h);
    SetTextColor(a, kRed);
    EXPECT_EQ(ReleaseDC(h, a), 1);
    HDC b = GetDC(h);
    EXPECT_EQ(a, b);
    EXPECT_EQ(GetTextColor(b), kRed);
    EXPECT_EQ(WindowFromDC(b), h);
    ReleaseDC(h, b);

    HWND plain = Make("plain", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 50, 50});
    HDC c = GetDC(plain);
    EXPECT_EQ(WindowFromDC(c), plain);
    EXPECT_EQ(ReleaseDC(plain, c), 1);
    EXPECT_EQ(ReleaseDC(plain, c), 0);
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    DestroyWindow(h);
    RunUntilIdle();
}

TEST_F(PaintTest, SetRedrawLockWindowUpdateAndScrollWindow) {
    HWND h = Make("w", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 100, 100});
    Settle();
    SendMessage(h, WM_SETREDRAW, FALSE, 0);
    InvalidateRect(h, nullptr, TRUE);
    EXPECT_EQ(RunUntilIdle(), 0);
    SendMessage(h, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(h, nullptr, TRUE);
    EXPECT_EQ(RunUntilIdle(), 1);

    EXPECT_TRUE(LockWindowUpdate(h));
    HDC dc = GetDC(h);
    Fill(dc, RECT{0, 0, 100, 100}, kRed);
    ReleaseDC(h, dc);
    EXPECT_NE(PixelOf(h, 5, 5), kRed);
    EXPECT_FALSE(LockWindowUpdate(Make("x", WS_POPUP, nullptr, RECT{0, 0, 5, 5})));
    Settle();
    EXPECT_TRUE(LockWindowUpdate(nullptr));
    EXPECT_EQ(RunUntilIdle(), 1);

    // Scrolling moves the pixels and leaves the uncovered strip to repaint.
    dc = GetDC(h);
    Fill(dc, RECT{0, 0, 100, 10}, kRed);
    ReleaseDC(h, dc);
    Settle();
    ScrollWindow(h, 0, 20, nullptr, nullptr);
    EXPECT_EQ(PixelOf(h, 5, 25), kRed);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(h, &update, FALSE));
    EXPECT_EQ(update, (RECT{0, 0, 100, 20}));
}

TEST_F(PaintTest, PrintDrawsClientAndChildrenIntoAnyDC) {
    HWND p = Make("p", WS_POPUP | WS_VISIBLE | WS_BORDER, nullptr, RECT{0, 0, 60, 60});
    HWND c = Make("c", WS_CHILD | WS_VISIBLE, p, RECT{20, 20, 40, 40});
    g_fill[p] = kBlue;
    g_fill[c] = kGreen;
    const MemoryDC memory(60, 60);
    const HDC mem = memory.Handle();
    Fill(mem, RECT{0, 0, 60, 60}, kRed);
    g_log.clear();
    SendMessage(p, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_NONCLIENT | PRF_CLIENT | PRF_CHILDREN);
    EXPECT_EQ(Log(), "p:WM_PRINTCLIENT c:WM_PRINTCLIENT");
    EXPECT_EQ(GetPixel(mem, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
    EXPECT_EQ(GetPixel(mem, 5, 5), kBlue);
    EXPECT_EQ(GetPixel(mem, 30, 30), kGreen);
    // PRF_CHECKVISIBLE: a hidden window, or one in a hidden parent, prints
    // nothing and answers 0; without the flag it prints all the same.
    ShowWindow(p, SW_HIDE);
    struct Case {
        HWND printed;
        LPARAM flags;
        LRESULT answer;
        COLORREF at;
    };
    const Case cases[] = {
        {p, PRF_CHECKVISIBLE | PRF_CLIENT, FALSE, kRed},
        {c, PRF_CHECKVISIBLE | PRF_CLIENT, FALSE, kRed},
        {p, PRF_CLIENT, TRUE, kBlue},
    };
    for (const Case& cs : cases) {
        Fill(mem, RECT{0, 0, 60, 60}, kRed);
        g_log.clear();
        EXPECT_EQ(SendMessage(cs.printed, WM_PRINT, reinterpret_cast<WPARAM>(mem), cs.flags), cs.answer);
        EXPECT_EQ(Log(), cs.answer ? "p:WM_PRINTCLIENT" : "");
        EXPECT_EQ(GetPixel(mem, 5, 5), cs.at);
    }
}

// DefWindowProc answers WM_PRINT with TRUE and prints the visible children
// only when asked to, handing each the flags it was given.
TEST_F(PaintTest, PrintHandsItsFlagsToTheChildrenItPrints) {
    HWND p = Make("p", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 60, 60});
    HWND c = Make("c", WS_CHILD | WS_VISIBLE, p, RECT{10, 10, 50, 50});
    Make("g", WS_CHILD | WS_VISIBLE, c, RECT{5, 5, 15, 15});
    Make("hidden", WS_CHILD, p, RECT{0, 0, 5, 5});
    Settle();
    std::vector<std::pair<HWND, LPARAM>> printed;
    g_handler = [&](HWND h, UINT msg, WPARAM, LPARAM l, LRESULT*) {
        if (msg == WM_PRINT) printed.emplace_back(h, l);
        return false;
    };
    struct Case {
        LPARAM flags;
        const char* printed;
        const char* log;
    };
    const Case cases[] = {
        {PRF_CLIENT, "p", "p:WM_PRINTCLIENT"},
        {PRF_CHILDREN, "p c g", ""},
        {PRF_CLIENT | PRF_CHILDREN, "p c g", "p:WM_PRINTCLIENT c:WM_PRINTCLIENT g:WM_PRINTCLIENT"},
        {PRF_CHECKVISIBLE | PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN, "p c g",
         "p:WM_ERASEBKGND p:WM_PRINTCLIENT c:WM_ERASEBKGND c:WM_PRINTCLIENT g:WM_ERASEBKGND "
         "g:WM_PRINTCLIENT"},
        {PRF_ERASEBKGND | PRF_CHILDREN, "p c g", "p:WM_ERASEBKGND c:WM_ERASEBKGND g:WM_ERASEBKGND"},
    };
    const MemoryDC memory(60, 60);
    for (const Case& cs : cases) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << cs.flags);
        printed.clear();
        g_log.clear();
        EXPECT_EQ(SendMessage(p, WM_PRINT, reinterpret_cast<WPARAM>(memory.Handle()), cs.flags), TRUE);
        std::string names;
        for (const auto& [h, flags] : printed) {
            names += (names.empty() ? "" : " ") + g_names[h];
            EXPECT_EQ(flags, cs.flags) << g_names[h];
        }
        EXPECT_EQ(names, cs.printed);
        EXPECT_EQ(Log(), cs.log);
    }
}

TEST_F(PaintTest, WindowsShowingUpdateLayeredWindowContentAreNotPainted) {
    HWND h = CreateWindowEx(WS_EX_LAYERED, "CorePaint", "", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr,
                            nullptr);
    const MemoryDC memory(20, 20);
    const HDC mem = memory.Handle();
    Fill(mem, RECT{0, 0, 20, 20}, kGreen);
    POINT dst{0, 0}, src{0, 0};
    SIZE size{20, 20};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, 0};
    ASSERT_TRUE(UpdateLayeredWindow(h, nullptr, &dst, &size, mem, &src, 0, &blend, ULW_ALPHA));
    ShowWindow(h, SW_SHOWNA);
    InvalidateRect(h, nullptr, TRUE);
    EXPECT_EQ(RunUntilIdle(), 0);
    EXPECT_EQ(ScreenPixel(POINT{5, 5}), kGreen);
}

} // namespace
