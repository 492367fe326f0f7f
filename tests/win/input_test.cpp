#include "support/driver.h"

#include "gfx/draw.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

using namespace win;
using namespace testdrv;

namespace {

// Test windows record chosen messages (and hook calls) into one trace, as
// "name:WM_NAME", and may answer messages themselves.
using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

struct TestWindow {
    std::string name;
    Handler handler;
};

std::map<HWND, TestWindow>& Windows() {
    static std::map<HWND, TestWindow> windows;
    return windows;
}

struct TraceEntry {
    std::string text;
    HWND hwnd{};
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

std::vector<TraceEntry>& Trace() {
    static std::vector<TraceEntry> trace;
    return trace;
}

std::vector<UINT>& Traced() {
    static std::vector<UINT> traced;
    return traced;
}

std::string TraceText() {
    std::string text;
    for (const auto& e : Trace()) text += (text.empty() ? "" : " ") + e.text;
    return text;
}

std::vector<TraceEntry> Entries(UINT msg) {
    std::vector<TraceEntry> out;
    for (const auto& e : Trace())
        if (e.msg == msg) out.push_back(e);
    return out;
}

// The n-th recorded `msg`; a failure and an empty entry when there is none.
TraceEntry Nth(UINT msg, std::size_t n = 0) {
    auto all = Entries(msg);
    if (n < all.size()) return all[n];
    ADD_FAILURE() << "no " << MessageName(msg) << " #" << n;
    return {};
}

LRESULT TestProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto it = Windows().find(hwnd);
    if (it != Windows().end()) {
        if (std::find(Traced().begin(), Traced().end(), msg) != Traced().end())
            Trace().push_back({it->second.name + ":" + MessageName(msg), hwnd, msg, wParam, lParam});
        if (it->second.handler)
            if (auto r = it->second.handler(hwnd, msg, wParam, lParam)) return *r;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

std::vector<MOUSEHOOKSTRUCT> g_mouseHookCalls;
std::vector<int> g_mouseHookCodes;
UINT g_swallowMouse = 0;

LRESULT MouseHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* mh = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    Trace().push_back({"hook:" + MessageName(static_cast<UINT>(wParam)), mh->hwnd, 0, 0, 0});
    g_mouseHookCalls.push_back(*mh);
    g_mouseHookCodes.push_back(code);
    if (g_swallowMouse && wParam == g_swallowMouse) return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<std::pair<WPARAM, LPARAM>> g_keyHookCalls;
WPARAM g_swallowKey = 0;

LRESULT KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    g_keyHookCalls.emplace_back(wParam, lParam);
    if (code == HC_ACTION && g_swallowKey && wParam == g_swallowKey && !(lParam & KF_UP_BIT)) return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class InputTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        Windows().clear();
        Trace().clear();
        Traced().clear();
        g_mouseHookCalls.clear();
        g_mouseHookCodes.clear();
        g_swallowMouse = 0;
        g_keyHookCalls.clear();
        g_swallowKey = 0;
        WNDCLASS wc;
        wc.lpfnWndProc = &TestProc;
        wc.lpszClassName = "InputPlain";
        ASSERT_NE(RegisterClass(&wc), 0);
        wc.lpszClassName = "InputDbl";
        wc.style = CS_DBLCLKS;
        ASSERT_NE(RegisterClass(&wc), 0);
        wc.lpszClassName = "InputHand";
        wc.style = 0;
        wc.hCursor = LoadCursor(nullptr, IDC_HAND);
        ASSERT_NE(RegisterClass(&wc), 0);
    }
    void TearDown() override {
        for (HHOOK h : hooks_) UnhookWindowsHookEx(h);
        WinTest::TearDown();
        Windows().clear();
    }

    HWND Make(const char* name, DWORD style, RECT r, HWND parent = nullptr, Handler handler = nullptr,
              DWORD exStyle = 0, const char* cls = "InputPlain") {
        HWND h = CreateWindowEx(exStyle, cls, name, style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                parent, nullptr, nullptr, nullptr);
        EXPECT_NE(h, nullptr);
        Windows()[h] = TestWindow{name, std::move(handler)};
        return h;
    }
    // Asks TrackMouseEvent to track hwnd.
    static BOOL Track(HWND hwnd, DWORD flags, DWORD hoverTime = HOVER_DEFAULT) {
        TRACKMOUSEEVENT tme;
        tme.dwFlags = flags;
        tme.hwndTrack = hwnd;
        tme.dwHoverTime = hoverTime;
        return TrackMouseEvent(&tme);
    }
    // The tracking in force (TME_QUERY) into query.
    static BOOL QueryTracking(TRACKMOUSEEVENT& query) {
        query.dwFlags = TME_QUERY;
        return TrackMouseEvent(&query);
    }
    void Record(std::initializer_list<UINT> messages) {
        Traced().assign(messages.begin(), messages.end());
        Trace().clear();
    }
    void HookMouse() { hooks_.push_back(SetWindowsHookEx(WH_MOUSE, &MouseHook, nullptr, 0)); }
    void HookKeyboard() { hooks_.push_back(SetWindowsHookEx(WH_KEYBOARD, &KeyboardHook, nullptr, 0)); }

    std::vector<HHOOK> hooks_;
};

Handler Answer(UINT msg, LRESULT result) {
    return [msg, result](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == msg) return result;
        return std::nullopt;
    };
}

constexpr DWORD kPopup = WS_POPUP | WS_VISIBLE;

// ============================================================================
// The press sequence
// ============================================================================

TEST_F(InputTest, PressRunsHitTestHookActivationCursorThenButton) {
    HWND a = Make("a", kPopup, Rect(100, 100, 300, 250));
    HWND other = Make("other", kPopup, Rect(400, 100, 500, 200));
    SetActiveWindow(other);
    MoveToScreen(Point(150, 160));
    HookMouse();
    Record({WM_NCHITTEST, WM_MOUSEACTIVATE, WM_ACTIVATE, WM_SETCURSOR, WM_LBUTTONDOWN, WM_LBUTTONUP});
    InjectMouseButton(MouseButton::Left, true);
    RunUntilIdle();

    EXPECT_EQ(TraceText(),
              "a:WM_NCHITTEST hook:WM_LBUTTONDOWN a:WM_MOUSEACTIVATE other:WM_ACTIVATE a:WM_ACTIVATE "
              "a:WM_SETCURSOR a:WM_LBUTTONDOWN");
    ASSERT_EQ(g_mouseHookCalls.size(), 1u);
    EXPECT_EQ(g_mouseHookCalls[0].hwnd, a);
    EXPECT_EQ(g_mouseHookCalls[0].wHitTestCode, static_cast<UINT>(HTCLIENT));
    EXPECT_EQ(g_mouseHookCalls[0].pt, Point(150, 160));
    EXPECT_EQ(g_mouseHookCodes[0], HC_ACTION);
    EXPECT_EQ(Nth(WM_MOUSEACTIVATE).wParam, reinterpret_cast<WPARAM>(a));
    EXPECT_EQ(Nth(WM_MOUSEACTIVATE).lParam, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(Nth(WM_SETCURSOR).lParam, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(Nth(WM_LBUTTONDOWN).wParam, MK_LBUTTON);
    EXPECT_EQ(Nth(WM_LBUTTONDOWN).lParam, MAKELPARAM(50, 60));
    EXPECT_EQ(GetActiveWindow(), a);

    Record({WM_NCHITTEST, WM_SETCURSOR, WM_LBUTTONUP, WM_MOUSEMOVE});
    InjectMouseButton(MouseButton::Left, false);
    InjectMouseMove(Point(160, 170));
    RunUntilIdle();
    EXPECT_EQ(TraceText(), "a:WM_NCHITTEST hook:WM_LBUTTONUP a:WM_SETCURSOR a:WM_LBUTTONUP "
                           "a:WM_NCHITTEST hook:WM_MOUSEMOVE a:WM_SETCURSOR a:WM_MOUSEMOVE");
    EXPECT_EQ(Nth(WM_LBUTTONUP).wParam, 0u);
}

TEST_F(InputTest, MouseActivateAnswersDecideActivationAndDelivery) {
    struct Case {
        LRESULT answer;
        bool activates;
        bool delivered;
    };
    const Case cases[] = {
        {MA_ACTIVATE, true, true},
        {MA_ACTIVATEANDEAT, true, false},
        {MA_NOACTIVATE, false, true},
        {MA_NOACTIVATEANDEAT, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        HWND other = Make("other", kPopup, Rect(400, 100, 500, 200));
        HWND edit = Make("edit", WS_CHILD | WS_VISIBLE, Rect(0, 0, 50, 20), other);
        HWND bar = Make("bar", kPopup, Rect(100, 100, 300, 150), nullptr, Answer(WM_MOUSEACTIVATE, c.answer));
        SetFocus(edit);
        ASSERT_EQ(GetActiveWindow(), other);
        Record({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KILLFOCUS});
        Click(bar, Point(10, 10));
        EXPECT_EQ(GetActiveWindow(), c.activates ? bar : other);
        EXPECT_EQ(GetFocus(), c.activates ? bar : edit);
        EXPECT_EQ(Entries(WM_LBUTTONDOWN).size(), c.delivered ? 1u : 0u);
        EXPECT_EQ(Entries(WM_LBUTTONUP).size(), 1u);
        DestroyWindow(bar);
        DestroyWindow(other);
    }
}

TEST_F(InputTest, ChildAsksItsParentAboutMouseActivation) {
    HWND other = Make("other", kPopup, Rect(400, 100, 500, 200));
    HWND form =
        Make("form", kPopup, Rect(100, 100, 300, 250), nullptr, Answer(WM_MOUSEACTIVATE, MA_NOACTIVATE));
    HWND child = Make("child", WS_CHILD | WS_VISIBLE, Rect(10, 10, 110, 60), form);
    SetActiveWindow(other);
    Record({WM_MOUSEACTIVATE, WM_LBUTTONDOWN});
    Click(child, Point(5, 5));
    EXPECT_EQ(TraceText(), "child:WM_MOUSEACTIVATE form:WM_MOUSEACTIVATE child:WM_LBUTTONDOWN");
    EXPECT_EQ(Nth(WM_MOUSEACTIVATE, 1).wParam, reinterpret_cast<WPARAM>(form));
    EXPECT_EQ(GetActiveWindow(), other);
}

// A press asks for mouse activation whenever the pressed window is not the
// active one; a child never is, so it is asked at every press, and its
// default procedure answers what its parent answers.
TEST_F(InputTest, APressOnAnyWindowButTheActiveOneAsksForMouseActivation) {
    struct Case {
        const char* what;
        LRESULT answer; // of the clicked window's WM_MOUSEACTIVATE; 0 for the default
        DWORD exStyle;
        bool startActive;
        bool background; // the application has lost the foreground
        const char* expect;
    };
    const Case cases[] = {
        {"an inactive window", 0, 0, false, false,
         "a:WM_MOUSEACTIVATE a:WM_ACTIVATE a:WM_LBUTTONDOWN child:WM_MOUSEACTIVATE a:WM_MOUSEACTIVATE "
         "child:WM_LBUTTONDOWN"},
        {"the active window", 0, 0, true, false,
         "a:WM_LBUTTONDOWN child:WM_MOUSEACTIVATE a:WM_MOUSEACTIVATE child:WM_LBUTTONDOWN"},
        {"a window of a background application", 0, 0, true, true,
         "a:WM_MOUSEACTIVATE a:WM_ACTIVATE a:WM_LBUTTONDOWN child:WM_MOUSEACTIVATE a:WM_MOUSEACTIVATE "
         "child:WM_LBUTTONDOWN"},
        // The activating click is eaten; so is the child's, for which the
        // window answers the same.
        {"a window that eats its activating click", MA_ACTIVATEANDEAT, 0, false, false,
         "a:WM_MOUSEACTIVATE a:WM_ACTIVATE child:WM_MOUSEACTIVATE a:WM_MOUSEACTIVATE"},
        // A window that never becomes active is asked at every press.
        {"a window that is never activated", MA_NOACTIVATE, WS_EX_NOACTIVATE, false, false,
         "a:WM_MOUSEACTIVATE a:WM_LBUTTONDOWN child:WM_MOUSEACTIVATE a:WM_MOUSEACTIVATE "
         "child:WM_LBUTTONDOWN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND other = Make("other", kPopup, Rect(400, 100, 500, 200));
        HWND a = Make("a", kPopup, Rect(100, 100, 300, 250), nullptr,
                      c.answer ? Answer(WM_MOUSEACTIVATE, c.answer) : nullptr, c.exStyle);
        HWND child = Make("child", WS_CHILD | WS_VISIBLE, Rect(10, 10, 110, 60), a);
        SetActiveWindow(c.startActive ? a : other);
        if (c.background) SetApplicationForeground(false);
        Record({WM_MOUSEACTIVATE, WM_ACTIVATE, WM_LBUTTONDOWN});
        Click(a, Point(150, 100));
        Click(child, Point(5, 5));
        std::erase_if(Trace(), [&](const TraceEntry& e) { return e.hwnd == other; });
        EXPECT_EQ(TraceText(), c.expect);
        DestroyWindow(a);
        DestroyWindow(other);
        SetApplicationForeground(true);
    }
}

TEST_F(InputTest, NoActivateWindowsAreNotActivatedByClicks) {
    HWND other = Make("other", kPopup, Rect(400, 100, 500, 200));
    HWND tool = Make("tool", kPopup, Rect(100, 100, 300, 250), nullptr, nullptr, WS_EX_NOACTIVATE);
    SetActiveWindow(other);
    Record({WM_LBUTTONDOWN});
    Click(tool, Point(5, 5));
    EXPECT_EQ(GetActiveWindow(), other);
    EXPECT_EQ(Entries(WM_LBUTTONDOWN).size(), 1u);
}

TEST_F(InputTest, TransparentHitTestPassesThePointToTheWindowBelow) {
    // A transparent child gives the click to its parent; a transparent
    // top-level window to the window under it.
    HWND form = Make("form", kPopup, Rect(100, 100, 300, 250));
    Make("glass", WS_CHILD | WS_VISIBLE, Rect(10, 10, 60, 60), form, Answer(WM_NCHITTEST, HTTRANSPARENT));
    Make("veil", kPopup, Rect(200, 200, 400, 400), nullptr, Answer(WM_NCHITTEST, HTTRANSPARENT));
    Record({WM_NCHITTEST, WM_LBUTTONDOWN});
    ClickScreen(Point(120, 120));
    auto downs = Entries(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].hwnd, form);
    EXPECT_EQ(downs[0].lParam, MAKELPARAM(20, 20));
    EXPECT_EQ(Trace()[0].text, "glass:WM_NCHITTEST");
    EXPECT_EQ(Trace()[1].text, "form:WM_NCHITTEST");

    Record({WM_LBUTTONDOWN});
    ClickScreen(Point(250, 220));
    downs = Entries(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].hwnd, form);
}

// Windows of a second thread: what they saw, kept under a lock.
struct OtherThreadLog {
    std::mutex mutex;
    std::vector<std::pair<HWND, UINT>> seen;
    std::atomic<HWND> veil{}, base{};
    std::atomic<DWORD> thread{0};
    HANDLE go{};
    HANDLE ready{};
    void Add(HWND h, UINT m) {
        std::lock_guard lock(mutex);
        seen.emplace_back(h, m);
    }
    std::size_t Count(HWND h, UINT m) {
        std::lock_guard lock(mutex);
        return static_cast<std::size_t>(std::count(seen.begin(), seen.end(), std::make_pair(h, m)));
    }
};
OtherThreadLog g_other;

LRESULT OtherThreadProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCHITTEST || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP) g_other.Add(hwnd, msg);
    if (msg == WM_NCHITTEST && hwnd == g_other.veil.load()) return HTTRANSPARENT;
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

// HTTRANSPARENT passes the point on only within the thread: a press over
// another thread's window that answers it stays with that thread, which has
// no window there above ours: nobody gets it, neither our window nor the
// other thread's window below ours.
TEST_F(InputTest, ATransparentWindowOfAnotherThreadKeepsThePressInItsThread) {
    WNDCLASS wc;
    wc.lpfnWndProc = &OtherThreadProc;
    wc.lpszClassName = "InputOtherThread";
    ASSERT_NE(RegisterClass(&wc), 0);
    g_other.seen.clear();
    g_other.go = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    g_other.ready = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    // The other thread's base window, then our form over it, then its veil over both.
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void*) -> DWORD {
            auto make = [](const char* name, RECT r) {
                return CreateWindowEx(0, "InputOtherThread", name, kPopup, r.left, r.top, r.right - r.left,
                                      r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
            };
            g_other.thread = GetCurrentThreadId();
            g_other.base = make("base", Rect(50, 50, 350, 350));
            SetEvent(g_other.ready);
            WaitForSingleObject(g_other.go, INFINITE);
            g_other.veil = make("veil", Rect(150, 150, 250, 250));
            SetEvent(g_other.ready);
            MSG m;
            while (GetMessage(&m, nullptr, 0, 0) > 0) DispatchMessage(&m);
            return 0;
        },
        nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(g_other.ready, INFINITE);
    HWND form = Make("form", kPopup, Rect(100, 100, 300, 300));
    SetEvent(g_other.go);
    WaitForSingleObject(g_other.ready, INFINITE);
    ASSERT_EQ(WindowFromPoint(Point(200, 200)), g_other.veil.load());
    Record({WM_NCHITTEST, WM_LBUTTONDOWN, WM_LBUTTONUP});
    ClickScreen(Point(200, 200));
    // The other thread has taken the three events once the veil heard their
    // hit tests; a send then waits until it is past delivering them.
    for (int i = 0; i < 5000 && g_other.Count(g_other.veil, WM_NCHITTEST) < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    SendMessage(g_other.base, WM_NULL, 0, 0);
    RunUntilIdle();
    EXPECT_EQ(g_other.Count(g_other.veil, WM_NCHITTEST), 3u);
    EXPECT_EQ(g_other.Count(g_other.base, WM_LBUTTONDOWN), 0u);
    EXPECT_EQ(g_other.Count(g_other.base, WM_NCHITTEST), 0u);
    EXPECT_EQ(TraceText(), "");
    PostThreadMessage(g_other.thread, WM_QUIT, 0, 0);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(g_other.go);
    CloseHandle(g_other.ready);
    DestroyWindow(form);
}

TEST_F(InputTest, DisabledFormsAnswerHTERRORWithoutActivationOrButton) {
    // A disabled window takes no mouse input: over a disabled form the press
    // only sets the cursor with HTERROR (and beeps), over a disabled child it
    // goes to the parent as if the child were not there.
    HWND other = Make("other", kPopup, Rect(400, 100, 500, 200));
    HWND form = Make("form", kPopup, Rect(100, 100, 300, 250));
    HWND child = Make("child", WS_CHILD | WS_VISIBLE, Rect(10, 10, 110, 60), form);
    HWND off = Make("off", WS_CHILD | WS_VISIBLE | WS_DISABLED, Rect(10, 80, 110, 120), form);
    HookMouse();

    struct Case {
        const char* what;
        bool disableForm;
        HWND clicked;
        LRESULT hit;
        const char* expect;
        HWND active;
        std::size_t beeps;
    };
    const Case cases[] = {
        {"a disabled form", true, form, HTERROR,
         "hook:WM_NCLBUTTONDOWN form:WM_SETCURSOR hook:WM_NCLBUTTONUP form:WM_SETCURSOR", other, 1},
        {"the enabled child of a disabled form", true, child, HTERROR,
         "hook:WM_NCLBUTTONDOWN form:WM_SETCURSOR hook:WM_NCLBUTTONUP form:WM_SETCURSOR", other, 1},
        {"a disabled child", false, off, HTCLIENT,
         "form:WM_NCHITTEST hook:WM_LBUTTONDOWN form:WM_MOUSEACTIVATE form:WM_SETCURSOR form:WM_LBUTTONDOWN "
         "form:WM_NCHITTEST hook:WM_LBUTTONUP form:WM_SETCURSOR form:WM_LBUTTONUP",
         form, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetActiveWindow(other);
        EnableWindow(form, c.disableForm ? FALSE : TRUE);
        MoveTo(c.clicked, Point(5, 5));
        g_mouseHookCalls.clear();
        ClearPlayedSounds();
        Record({WM_NCHITTEST, WM_MOUSEACTIVATE, WM_SETCURSOR, WM_LBUTTONDOWN, WM_LBUTTONUP});
        InjectMouseButton(MouseButton::Left, true);
        InjectMouseButton(MouseButton::Left, false);
        RunUntilIdle();
        EXPECT_EQ(TraceText(), c.expect);
        ASSERT_EQ(g_mouseHookCalls.size(), 2u);
        EXPECT_EQ(g_mouseHookCalls[0].hwnd, form);
        EXPECT_EQ(static_cast<LRESULT>(static_cast<int>(g_mouseHookCalls[0].wHitTestCode)), c.hit);
        EXPECT_EQ(static_cast<SHORT>(LOWORD(Nth(WM_SETCURSOR).lParam)), c.hit);
        EXPECT_EQ(HIWORD(Nth(WM_SETCURSOR).lParam), WM_LBUTTONDOWN);
        EXPECT_EQ(GetActiveWindow(), c.active);
        EXPECT_EQ(Sounds().size(), c.beeps);
    }
}

TEST_F(InputTest, WindowFromPointAndTheMouseDifferOnlyOnDisabledTopLevelWindows) {
    HWND form = Make("form", kPopup, Rect(100, 100, 300, 250));
    Make("off", WS_CHILD | WS_VISIBLE | WS_DISABLED, Rect(10, 80, 110, 120), form);
    HWND dead = Make("dead", kPopup | WS_DISABLED, Rect(400, 100, 500, 200));
    HWND inner = Make("inner", WS_CHILD | WS_VISIBLE, Rect(10, 10, 50, 50), dead);
    // Per-pixel content whose left half does not show.
    HWND glass = Make("glass", WS_POPUP, Rect(200, 100, 300, 150), nullptr, nullptr, WS_EX_LAYERED);
    const MemoryDC content(100, 50);
    BitmapSurface pixels;
    ASSERT_TRUE(GetBitmapSurface(content.Bitmap(), &pixels));
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) pixels.Row(y)[x] = x < 50 ? 0u : 0xFF0000FFu;
    POINT origin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(UpdateLayeredWindow(glass, nullptr, nullptr, nullptr, content.Handle(), &origin, 0, &blend,
                                    ULW_ALPHA));
    ShowWindow(glass, SW_SHOWNA);
    // Layered by constant alpha: fully transparent, barely visible, and
    // transparent to the mouse by style.
    auto layered = [this](const char* name, RECT r, DWORD exStyle, BYTE alpha) {
        HWND h = Make(name, WS_POPUP, r, nullptr, nullptr, exStyle);
        EXPECT_TRUE(SetLayeredWindowAttributes(h, 0, alpha, LWA_ALPHA));
        ShowWindow(h, SW_SHOWNA);
        return h;
    };
    layered("clear", Rect(150, 150, 200, 200), WS_EX_LAYERED, 0);
    HWND faint = layered("faint", Rect(200, 150, 250, 200), WS_EX_LAYERED, 1);
    layered("veil", Rect(100, 200, 150, 250), WS_EX_LAYERED | WS_EX_TRANSPARENT, 128);
    HookMouse();

    struct Case {
        POINT screen;
        HWND fromPoint;
        HWND mouse;
        LRESULT hit;
    };
    const Case cases[] = {
        {Point(120, 190), form, form, HTCLIENT},   // a disabled child
        {Point(480, 180), dead, dead, HTERROR},    // a disabled top-level window
        {Point(420, 120), inner, dead, HTERROR},   // the enabled child of a disabled one
        {Point(210, 110), form, form, HTCLIENT},   // a layered pixel that does not show
        {Point(280, 110), glass, glass, HTCLIENT}, // one that shows
        {Point(160, 160), form, form, HTCLIENT},   // a layered window of constant alpha 0
        {Point(210, 160), faint, faint, HTCLIENT}, // one of alpha 1
        {Point(120, 220), form, form, HTCLIENT},   // a transparent layered window
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.screen.x) + "," + std::to_string(c.screen.y));
        EXPECT_EQ(WindowFromPoint(c.screen), c.fromPoint);
        g_mouseHookCalls.clear();
        MoveToScreen(c.screen);
        ASSERT_EQ(g_mouseHookCalls.size(), 1u);
        EXPECT_EQ(g_mouseHookCalls[0].hwnd, c.mouse);
        EXPECT_EQ(static_cast<LRESULT>(static_cast<int>(g_mouseHookCalls[0].wHitTestCode)), c.hit);
    }
}

TEST_F(InputTest, MouseHookSeesEachRetrievalAndMaySwallow) {
    HWND a = Make("a", kPopup, Rect(100, 100, 300, 250));
    SetActiveWindow(Make("other", kPopup, Rect(400, 100, 500, 200)));
    MoveTo(a, Point(10, 10));
    HookMouse();
    Record({WM_MOUSEACTIVATE, WM_SETCURSOR, WM_LBUTTONDOWN});
    InjectMouseButton(MouseButton::Left, true);
    MSG m;
    ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, WM_LBUTTONDOWN);
    ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_LBUTTONDOWN);
    EXPECT_EQ(m.hwnd, a);
    EXPECT_EQ(g_mouseHookCodes, (std::vector<int>{HC_NOREMOVE, HC_NOREMOVE, HC_ACTION}));
    EXPECT_EQ(Entries(WM_MOUSEACTIVATE).size(), 1u);
    EXPECT_EQ(Entries(WM_SETCURSOR).size(), 1u);

    // A swallowed press reaches neither activation nor the window.
    g_swallowMouse = WM_LBUTTONDOWN;
    Record({WM_MOUSEACTIVATE, WM_SETCURSOR, WM_LBUTTONDOWN, WM_LBUTTONUP});
    InjectMouseButton(MouseButton::Left, false);
    InjectMouseButton(MouseButton::Left, true);
    InjectMouseButton(MouseButton::Left, false);
    RunUntilIdle();
    EXPECT_EQ(TraceText(), "hook:WM_LBUTTONUP a:WM_SETCURSOR a:WM_LBUTTONUP hook:WM_LBUTTONDOWN "
                           "hook:WM_LBUTTONUP a:WM_SETCURSOR a:WM_LBUTTONUP");
    EXPECT_GE(GetKeyState(VK_LBUTTON), 0);
}

TEST_F(InputTest, NonClientHitsGiveNonClientMessagesInScreenCoordinates) {
    auto caption = [](HWND, UINT m, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (m == WM_NCHITTEST) return PointFromLParam(lParam).y < 120 ? HTCAPTION : HTCLIENT;
        if (m == WM_NCLBUTTONDOWN) return 0;
        return std::nullopt;
    };
    Make("a", kPopup, Rect(100, 100, 300, 250), nullptr, caption);
    Record({WM_NCMOUSEMOVE, WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_MOUSEMOVE});
    ClickScreen(Point(150, 105));
    auto down = Entries(WM_NCLBUTTONDOWN);
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(down[0].wParam, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(down[0].lParam, MAKELPARAM(150, 105));
    EXPECT_EQ(Entries(WM_NCMOUSEMOVE).size(), 1u);
    EXPECT_EQ(Entries(WM_MOUSEMOVE).size(), 0u);
}

TEST_F(InputTest, AWindowDestroyedDuringThePressSequenceGetsNothingMore) {
    const UINT steps[] = {WM_NCHITTEST, WM_MOUSEACTIVATE, WM_ACTIVATE, WM_SETCURSOR};
    HWND below = Make("below", kPopup, Rect(100, 100, 300, 250));
    for (UINT step : steps) {
        SCOPED_TRACE(MessageName(step));
        HWND doomed = Make("doomed", kPopup, Rect(100, 100, 300, 250), nullptr,
                           [step](HWND self, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
                               if (m == step && (m != WM_ACTIVATE || LOWORD(w) != WA_INACTIVE)) {
                                   SetCapture(self);
                                   DestroyWindow(self);
                                   return 0;
                               }
                               return std::nullopt;
                           });
        SetActiveWindow(below);
        SetWindowPos(doomed, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Record({WM_LBUTTONDOWN, WM_LBUTTONUP});
        ClickScreen(Point(150, 150));
        EXPECT_FALSE(IsWindow(doomed));
        EXPECT_EQ(GetCapture(), nullptr);
        for (const auto& e : Trace()) EXPECT_EQ(e.hwnd, below);
        EXPECT_EQ(GetActiveWindow(), below);
    }
}

// ============================================================================
// Capture
// ============================================================================

TEST_F(InputTest, CaptureTakesEveryMouseMessageAsClientMessages) {
    HWND a = Make("a", kPopup, Rect(100, 100, 300, 250));
    HWND b = Make("b", kPopup, Rect(400, 100, 600, 250));
    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_EQ(GetCapture(), a);
    Record({WM_NCHITTEST, WM_SETCURSOR, WM_MOUSEACTIVATE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP});
    ClickScreen(Point(450, 110));
    EXPECT_EQ(TraceText(), "a:WM_MOUSEMOVE a:WM_LBUTTONDOWN a:WM_LBUTTONUP");
    EXPECT_EQ(Nth(WM_LBUTTONDOWN).lParam, MAKELPARAM(350, 10));
    EXPECT_EQ(GetActiveWindow(), b);
}

// A loop that looks only for what no input can be (paints, timers) leaves the
// input waiting as it came: the capture taken on a press takes the release
// that waited behind it.
TEST_F(InputTest, ACaptureTakenOnAPressTakesTheReleaseWaitingBehindIt) {
    HWND a = Make("a", kPopup, Rect(100, 100, 300, 250));
    HWND b = Make("b", kPopup, Rect(400, 100, 600, 250));
    MoveToScreen(Point(150, 150));
    InjectMouseButton(MouseButton::Left, true);
    InjectMouseButton(MouseButton::Left, false);
    MSG m{};
    ASSERT_TRUE(PeekMessage(&m, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(m.hwnd, a);
    PeekMessage(&m, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE);
    PeekMessage(&m, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE);
    SetCapture(b);
    ASSERT_TRUE(PeekMessage(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
    EXPECT_EQ(m.message, WM_LBUTTONUP);
    EXPECT_EQ(m.hwnd, b);
}

TEST_F(InputTest, EveryCaptureChangeTellsTheLoser) {
    HWND a = Make("a", kPopup, Rect(100, 100, 300, 250));
    HWND b = Make("b", kPopup, Rect(400, 100, 600, 250));
    Record({WM_CAPTURECHANGED, WM_DESTROY});

    SetCapture(a);
    EXPECT_EQ(SetCapture(b), a);
    ReleaseCapture();
    EXPECT_EQ(GetCapture(), nullptr);
    SetCapture(b);
    SendMessage(b, WM_CANCELMODE, 0, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    SetCapture(a);
    DestroyWindow(a);
    EXPECT_EQ(GetCapture(), nullptr);

    EXPECT_EQ(TraceText(), "a:WM_CAPTURECHANGED b:WM_CAPTURECHANGED b:WM_CAPTURECHANGED a:WM_DESTROY "
                           "a:WM_CAPTURECHANGED");
    EXPECT_EQ(Nth(WM_CAPTURECHANGED, 0).lParam, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(Nth(WM_CAPTURECHANGED, 1).lParam, 0);
    EXPECT_EQ(Nth(WM_CAPTURECHANGED, 3).lParam, 0);

    // Bad handles fail cleanly.
    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(GetCapture(), nullptr);
}

// ============================================================================
// Double clicks
// ============================================================================

TEST_F(InputTest, DoubleClicksNeedTheClassStyleTimeAndDistance) {
    struct Case {
        const char* cls;
        DWORD delay;
        int dx;
        const char* expect;
    };
    const Case cases[] = {
        {"InputDbl", 100, 0, "WM_LBUTTONDOWN WM_LBUTTONUP WM_LBUTTONDBLCLK WM_LBUTTONUP"},
        {"InputDbl", 100, 2, "WM_LBUTTONDOWN WM_LBUTTONUP WM_LBUTTONDBLCLK WM_LBUTTONUP"},
        {"InputDbl", 600, 0, "WM_LBUTTONDOWN WM_LBUTTONUP WM_LBUTTONDOWN WM_LBUTTONUP"},
        {"InputDbl", 100, 3, "WM_LBUTTONDOWN WM_LBUTTONUP WM_LBUTTONDOWN WM_LBUTTONUP"},
        {"InputPlain", 100, 0, "WM_LBUTTONDOWN WM_LBUTTONUP WM_LBUTTONDOWN WM_LBUTTONUP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.cls) + " " + std::to_string(c.delay) + " " + std::to_string(c.dx));
        HWND a = Make("a", kPopup, Rect(100, 100, 300, 250), nullptr, nullptr, 0, c.cls);
        MessageLog log{a};
        log.Only({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK});
        Click(a, Point(20, 20));
        Advance(c.delay);
        Click(a, Point(20 + c.dx, 20));
        EXPECT_EQ(log.Text(), c.expect);
        Advance(1000);
        DestroyWindow(a);
    }
}

TEST_F(InputTest, ThirdClickStartsAnewAndOtherButtonsCountSeparately) {
    HWND a = Make("a", kPopup, Rect(100, 100, 300, 250), nullptr, nullptr, 0, "InputDbl");
    MessageLog log{a};
    log.Only({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK});
    Click(a, Point(20, 20));
    Click(a, Point(20, 20));
    Click(a, Point(20, 20));
    Click(a, Point(20, 20), MouseButton::Right);
    Click(a, Point(20, 20));
    EXPECT_EQ(log.Text(), "WM_LBUTTONDOWN WM_LBUTTONDBLCLK WM_LBUTTONDOWN WM_RBUTTONDOWN WM_LBUTTONDOWN");
    SetDoubleClickTime(0);
    EXPECT_EQ(GetDoubleClickTime(), 500u);
}

TEST_F(InputTest, ACaptionPressAndACapturedPressFormADoubleClick) {
    // The window takes the capture on a press on its caption and drags by
    // itself, leaving the default loop out.
    struct Case {
        const char* what;
        bool releaseOnUp;
        DWORD delay;
        int dx;
        const char* expect;
    };
    const Case cases[] = {
        {"captured second press", false, 100, 0,
         "WM_NCLBUTTONDOWN WM_LBUTTONUP WM_LBUTTONDBLCLK WM_LBUTTONUP"},
        {"second press on the caption", true, 100, 0,
         "WM_NCLBUTTONDOWN WM_LBUTTONUP WM_NCLBUTTONDBLCLK WM_NCLBUTTONUP"},
        {"too late", false, 600, 0, "WM_NCLBUTTONDOWN WM_LBUTTONUP WM_LBUTTONDOWN WM_LBUTTONUP"},
        {"too far", false, 100, 3, "WM_NCLBUTTONDOWN WM_LBUTTONUP WM_LBUTTONDOWN WM_LBUTTONUP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const bool release = c.releaseOnUp;
        auto dragger = [release](HWND self, UINT m, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            if (m == WM_NCHITTEST) return PointFromLParam(lParam).y < 120 ? HTCAPTION : HTCLIENT;
            if (m == WM_NCLBUTTONDOWN) {
                SetCapture(self);
                return 0;
            }
            if (m == WM_LBUTTONUP && release) ReleaseCapture();
            return std::nullopt;
        };
        HWND a = Make("a", kPopup, Rect(100, 100, 300, 250), nullptr, dragger, 0, "InputDbl");
        MessageLog log{a};
        log.Only({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_NCLBUTTONDOWN, WM_NCLBUTTONUP,
                  WM_NCLBUTTONDBLCLK});
        ClickScreen(Point(150, 105));
        Advance(c.delay);
        ClickScreen(Point(150 + c.dx, 105));
        EXPECT_EQ(log.Text(), c.expect);
        ReleaseCapture();
        Advance(1000);
        DestroyWindow(a);
    }
}

// ============================================================================
// Mouse tracking
// ============================================================================

TEST_F(InputTest, MouseLeaveIsPostedOnceWhenTheCursorLeaves) {
    struct Case {
        const char* what;
        std::function<void(HWND a, HWND b)> leave;
    };
    const Case cases[] = {
        {"onto another window", [](HWND, HWND b) { MoveTo(b, Point(10, 10)); }},
        {"onto the desktop", [](HWND, HWND) { MoveToScreen(Point(900, 700)); }},
        {"over its border", [](HWND a, HWND) { MoveTo(a, Point(-1, 10)); }},
        {"under a new child",
         [](HWND a, HWND) {
             HWND c =
                 CreateWindowEx(0, "InputPlain", "", WS_CHILD, 0, 0, 50, 50, a, nullptr, nullptr, nullptr);
             ShowWindow(c, SW_SHOWNA);
             RunUntilIdle();
         }},
        {"under another window",
         [](HWND, HWND b) {
             SetWindowPos(b, HWND_TOP, 100, 100, 100, 100, SWP_NOACTIVATE);
             RunUntilIdle();
         }},
        {"when hidden",
         [](HWND a, HWND) {
             SetWindowPos(a, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
             RunUntilIdle();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND a = Make("a", kPopup | WS_BORDER, Rect(100, 100, 300, 250));
        HWND b = Make("b", kPopup, Rect(400, 100, 600, 250));
        MoveTo(a, Point(20, 20));
        ASSERT_TRUE(Track(a, TME_LEAVE));
        TRACKMOUSEEVENT query;
        ASSERT_TRUE(QueryTracking(query));
        EXPECT_EQ(query.dwFlags, TME_LEAVE);
        EXPECT_EQ(query.hwndTrack, a);

        Record({WM_MOUSELEAVE});
        MoveTo(a, Point(30, 25));
        EXPECT_EQ(TraceText(), "");
        c.leave(a, b);
        EXPECT_EQ(TraceText(), "a:WM_MOUSELEAVE");
        QueryTracking(query);
        EXPECT_EQ(query.dwFlags, 0u);
        MoveTo(a, Point(20, 20));
        MoveToScreen(Point(900, 700));
        EXPECT_EQ(TraceText(), "a:WM_MOUSELEAVE");
        DestroyWindow(a);
        DestroyWindow(b);
    }
}

// What the cursor left is decided by the hit test of the window under it, not
// by the stacking nor by the client rectangle: a non-client strip that
// answers HTCLIENT is client area, and a window that lets the mouse through
// is not under the cursor. Changes of windows elsewhere, or of the stacking
// around a window that still has the cursor, post no WM_MOUSELEAVE.
TEST_F(InputTest, MouseLeaveFollowsTheHitTestNotTheStacking) {
    constexpr LONG kStrip = 12;
    // A child with a strip above its client area that takes the mouse as client area.
    const Handler strip = [](HWND, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
        if (m == WM_NCCALCSIZE && w) reinterpret_cast<NCCALCSIZE_PARAMS*>(l)->rgrc[0].top += kStrip;
        if (m == WM_NCCALCSIZE) return 0;
        if (m == WM_NCHITTEST) return HTCLIENT;
        return std::nullopt;
    };
    struct Case {
        const char* what;
        std::function<void(HWND form, HWND other, HWND veil)> change;
    };
    const Case cases[] = {
        {"a window shown elsewhere", [](HWND, HWND other, HWND) { ShowWindow(other, SW_SHOWNA); }},
        {"the form raised",
         [](HWND form, HWND, HWND) {
             SetWindowPos(form, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
         }},
        {"a window over it that lets the mouse through, then the form raised",
         [](HWND form, HWND, HWND veil) {
             ShowWindow(veil, SW_SHOWNA);
             RunUntilIdle();
             SetWindowPos(form, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
             RunUntilIdle();
             SetWindowPos(veil, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND form = Make("form", kPopup, Rect(100, 100, 300, 250));
        HWND bar = Make("bar", WS_CHILD | WS_VISIBLE, Rect(10, 10, 110, 60), form, strip);
        HWND other = Make("other", WS_POPUP, Rect(400, 100, 500, 200));
        HWND veil =
            Make("veil", WS_POPUP, Rect(100, 100, 200, 200), nullptr, Answer(WM_NCHITTEST, HTTRANSPARENT));
        MoveToScreen(Point(150, 115)); // on the strip
        ASSERT_TRUE(Track(bar, TME_LEAVE));
        Record({WM_MOUSELEAVE, WM_LBUTTONDOWN, WM_LBUTTONUP});
        c.change(form, other, veil);
        RunUntilIdle();
        MouseDown();
        MouseUp();
        EXPECT_EQ(TraceText(), "bar:WM_LBUTTONDOWN bar:WM_LBUTTONUP");
        TRACKMOUSEEVENT query;
        ASSERT_TRUE(QueryTracking(query));
        EXPECT_EQ(query.hwndTrack, bar);
        // Leaving through the strip's edge ends it, once.
        MoveToScreen(Point(150, 105));
        EXPECT_EQ(TraceText(), "bar:WM_LBUTTONDOWN bar:WM_LBUTTONUP bar:WM_MOUSELEAVE");
        for (HWND h : {form, other, veil}) DestroyWindow(h);
    }
}

TEST_F(InputTest, TrackingRequestsOutsideTheWindowOrCancelled) {
    HWND a = Make("a", kPopup, Rect(100, 100, 300, 250));
    HWND b = Make("b", kPopup, Rect(400, 100, 600, 250));
    MoveTo(b, Point(10, 10));
    Record({WM_MOUSELEAVE});
    ASSERT_TRUE(Track(a, TME_LEAVE));
    RunUntilIdle();
    EXPECT_EQ(TraceText(), "a:WM_MOUSELEAVE");

    Record({WM_MOUSELEAVE});
    ASSERT_TRUE(Track(b, TME_LEAVE));
    ASSERT_TRUE(Track(b, TME_LEAVE | TME_CANCEL));
    MoveTo(a, Point(10, 10));
    EXPECT_EQ(TraceText(), "");

    TRACKMOUSEEVENT bad;
    bad.cbSize = 3;
    EXPECT_FALSE(TrackMouseEvent(&bad));
    EXPECT_FALSE(TrackMouseEvent(nullptr));
    EXPECT_FALSE(Track(reinterpret_cast<HWND>(std::uintptr_t{0x7777}), TME_LEAVE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(InputTest, TrackingAWindowNotUnderTheCursorLeavesItAtOnceAndKeepsTheOther) {
    struct Case {
        DWORD flags;
        const char* expect;
    };
    const Case cases[] = {
        {TME_LEAVE, "b:WM_MOUSELEAVE"},
        {TME_LEAVE | TME_HOVER, "b:WM_MOUSELEAVE"},
        {TME_LEAVE | TME_NONCLIENT, "b:WM_NCMOUSELEAVE"},
        {TME_HOVER, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        HWND a = Make("a", kPopup, Rect(100, 100, 300, 250));
        HWND b = Make("b", kPopup, Rect(400, 100, 600, 250));
        MoveTo(a, Point(20, 20));
        ASSERT_TRUE(Track(a, TME_LEAVE));
        Record({WM_MOUSELEAVE, WM_NCMOUSELEAVE, WM_MOUSEHOVER});
        ASSERT_TRUE(Track(b, c.flags, 10));
        Advance(50);
        EXPECT_EQ(TraceText(), c.expect);
        TRACKMOUSEEVENT query;
        ASSERT_TRUE(QueryTracking(query));
        EXPECT_EQ(query.dwFlags, TME_LEAVE);
        EXPECT_EQ(query.hwndTrack, a);
        Record({WM_MOUSELEAVE});
        MoveTo(b, Point(10, 10));
        EXPECT_EQ(TraceText(), "a:WM_MOUSELEAVE");
        DestroyWindow(a);
        DestroyWindow(b);
    }
}

TEST_F(InputTest, HoverIsPostedAfterTheCursorRestsLongEnough) {
    HWND a = Make("a", kPopup, Rect(100, 100, 300, 250));
    MoveTo(a, Point(20, 20));
    Record({WM_MOUSEHOVER, WM_MOUSELEAVE});
    ASSERT_TRUE(Track(a, TME_HOVER | TME_LEAVE, 100));
    Advance(60);
    MoveTo(a, Point(40, 30)); // outside the hover rectangle: the wait starts again
    Advance(60);
    EXPECT_EQ(TraceText(), "");
    Advance(60);
    EXPECT_EQ(TraceText(), "a:WM_MOUSEHOVER");
    EXPECT_EQ(Nth(WM_MOUSEHOVER).lParam, MAKELPARAM(40, 30));
    Advance(500);
    EXPECT_EQ(TraceText(), "a:WM_MOUSEHOVER");
    TRACKMOUSEEVENT query;
    QueryTracking(query);
    EXPECT_EQ(query.dwFlags, TME_LEAVE);
    MoveToScreen(Point(900, 700));
    EXPECT_EQ(TraceText(), "a:WM_MOUSEHOVER a:WM_MOUSELEAVE");
}

TEST_F(InputTest, AWindowChangingUnderTheStillCursorGetsAMouseMove) {
    // The cursor rests at (150, 150) over `a`; `b` lies to its right, `c` is
    // hidden over the cursor, `d` a hidden child of `a` under it.
    struct Case {
        const char* what;
        std::function<void(HWND a, HWND b, HWND c, HWND d)> change;
        const char* expect;
    };
    const Case cases[] = {
        {"shown", [](HWND, HWND, HWND c, HWND) { ShowWindow(c, SW_SHOW); }, "c:WM_MOUSEMOVE"},
        {"shown without activation", [](HWND, HWND, HWND c, HWND) { ShowWindow(c, SW_SHOWNA); },
         "c:WM_MOUSEMOVE"},
        {"a child shown", [](HWND, HWND, HWND, HWND d) { ShowWindow(d, SW_SHOWNA); }, "d:WM_MOUSEMOVE"},
        {"hidden",
         [](HWND, HWND, HWND c, HWND) {
             ShowWindow(c, SW_SHOWNA);
             RunUntilIdle();
             Trace().clear();
             ShowWindow(c, SW_HIDE);
         },
         "a:WM_MOUSEMOVE"},
        {"destroyed",
         [](HWND, HWND, HWND c, HWND) {
             ShowWindow(c, SW_SHOWNA);
             RunUntilIdle();
             Trace().clear();
             DestroyWindow(c);
         },
         "a:WM_MOUSEMOVE"},
        {"moved under it",
         [](HWND, HWND b, HWND, HWND) {
             SetWindowPos(b, nullptr, 140, 140, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
         },
         "b:WM_MOUSEMOVE"},
        {"sized to reach it",
         [](HWND, HWND b, HWND, HWND) {
             SetWindowPos(b, nullptr, 140, 0, 100, 200, SWP_NOZORDER | SWP_NOACTIVATE);
         },
         "b:WM_MOUSEMOVE"},
        {"moved away", [](HWND a, HWND, HWND, HWND) { MoveWindow(a, 500, 400, 200, 150, TRUE); }, ""},
        {"raised over it",
         [](HWND, HWND b, HWND, HWND) {
             SetWindowPos(b, HWND_BOTTOM, 120, 120, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
             RunUntilIdle();
             Trace().clear();
             SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
         },
         "b:WM_MOUSEMOVE"},
        {"moved but still under it",
         [](HWND a, HWND, HWND, HWND) {
             SetWindowPos(a, nullptr, 90, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
         },
         ""},
        {"shown elsewhere",
         [](HWND, HWND, HWND c, HWND) {
             SetWindowPos(c, nullptr, 600, 500, 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
         },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND a = Make("a", kPopup, Rect(100, 100, 300, 250));
        HWND b = Make("b", kPopup, Rect(400, 100, 600, 250));
        HWND hidden = Make("c", WS_POPUP, Rect(120, 120, 200, 200));
        HWND d = Make("d", WS_CHILD, Rect(40, 40, 80, 80), a);
        MoveToScreen(Point(150, 150));
        Record({WM_MOUSEMOVE, WM_NCMOUSEMOVE});
        c.change(a, b, hidden, d);
        RunUntilIdle();
        EXPECT_EQ(TraceText(), c.expect);
        if (!Trace().empty()) {
            POINT client = Point(150, 150);
            ScreenToClient(Trace().back().hwnd, &client);
            EXPECT_EQ(Trace().back().lParam, PointToLParam(client));
        }
        for (HWND h : {a, b, hidden}) DestroyWindow(h);
    }
}

// ============================================================================
// Cursor shape
// ============================================================================

TEST_F(InputTest, SetCursorDefaultsUseTheClassCursorOrTheFrameShapes) {
    auto sizing = [](HWND, UINT m, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (m == WM_NCHITTEST) return PointFromLParam(lParam).x < 110 ? HTLEFT : HTCLIENT;
        return std::nullopt;
    };
    HWND a = Make("a", kPopup, Rect(100, 100, 300, 250), nullptr, sizing, 0, "InputHand");
    HWND child = Make("child", WS_CHILD | WS_VISIBLE, Rect(100, 50, 150, 100), a);
    MoveTo(a, Point(50, 50));
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
    MoveTo(a, Point(5, 50));
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_SIZEWE));
    // The plain child has no class cursor; its parent does not impose its own.
    SetCursor(nullptr);
    MoveTo(child, Point(5, 5));
    EXPECT_EQ(GetCursor(), nullptr);

    HCURSOR ibeam = LoadCursor(nullptr, IDC_IBEAM);
    EXPECT_EQ(SetCursor(ibeam), nullptr);
    EXPECT_EQ(GetCursor(), ibeam);
}

TEST_F(InputTest, SystemCursorsAreDistinctMonochromeCursors) {
    const std::uintptr_t ids[] = {IDC_ARROW,    IDC_IBEAM,    IDC_WAIT,        IDC_CROSS,  IDC_UPARROW,
                                  IDC_SIZENWSE, IDC_SIZENESW, IDC_SIZEWE,      IDC_SIZENS, IDC_SIZEALL,
                                  IDC_NO,       IDC_HAND,     IDC_APPSTARTING, IDC_HELP};
    std::vector<HCURSOR> seen;
    for (std::uintptr_t id : ids) {
        SCOPED_TRACE(id);
        HCURSOR c = LoadCursor(nullptr, id);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(LoadCursor(nullptr, id), c);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), c), 0);
        seen.push_back(c);
        ICONINFO info;
        ASSERT_TRUE(GetIconInfo(c, &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.hbmColor, nullptr);
        BitmapSurface s;
        ASSERT_TRUE(GetBitmapSurface(info.hbmMask, &s));
        EXPECT_EQ(s.width, 32);
        EXPECT_EQ(s.height, 64);
        // The hot spot lies on the shape.
        EXPECT_EQ(s.Row(static_cast<int>(info.yHotspot))[info.xHotspot] & 0xFFFFFF, 0u);
        DeleteObject(info.hbmMask);
    }
    EXPECT_EQ(LoadCursor(nullptr, std::uintptr_t{32600}), nullptr);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
}

// ============================================================================
// Keyboard
// ============================================================================

class KeyboardTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        form = Make("form", kPopup, Rect(100, 100, 300, 250), nullptr, Answer(WM_SYSCOMMAND, 0));
        edit = Make("edit", WS_CHILD | WS_VISIBLE, Rect(10, 10, 110, 40), form);
        SetFocus(edit);
        RunUntilIdle();
        Record({WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR});
    }
    HWND form{};
    HWND edit{};
};

TEST_F(KeyboardTest, KeysGoToTheFocusWithKeyDataAndCharacters) {
    PressKey('A');
    EXPECT_EQ(TraceText(), "edit:WM_KEYDOWN edit:WM_CHAR edit:WM_KEYUP");
    auto down = Nth(WM_KEYDOWN);
    EXPECT_EQ(down.wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(down.lParam, 1 | (0x1E << 16));
    EXPECT_EQ(Nth(WM_CHAR).wParam, static_cast<WPARAM>('a'));
    EXPECT_EQ(Nth(WM_KEYUP).lParam, 1 | (0x1E << 16) | KF_REPEAT_BIT | KF_UP_BIT);

    Record({WM_KEYDOWN, WM_CHAR});
    KeyDown(VK_SHIFT);
    KeyDown('B');
    KeyDown('B');
    KeyUp('B');
    KeyUp(VK_SHIFT);
    auto downs = Entries(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 3u);
    EXPECT_EQ(downs[0].wParam, static_cast<WPARAM>(VK_SHIFT));
    EXPECT_EQ(downs[2].lParam & KF_REPEAT_BIT, KF_REPEAT_BIT);
    auto chars = Entries(WM_CHAR);
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>('B'));

    Record({WM_KEYDOWN, WM_CHAR});
    PressKey(VK_LEFT);
    EXPECT_EQ(TraceText(), "edit:WM_KEYDOWN");
    EXPECT_EQ(Nth(WM_KEYDOWN).lParam & KF_EXTENDED_BIT, KF_EXTENDED_BIT);
}

TEST_F(KeyboardTest, GivenCharactersReachTranslateMessage) {
    Record({WM_CHAR});
    PressKey('Q', "q!");
    auto chars = Entries(WM_CHAR);
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>('q'));
    EXPECT_EQ(chars[1].wParam, static_cast<WPARAM>('!'));
    Record({WM_CHAR});
    PressKey(VK_SHIFT, "");
    PressKey(VK_F1 + 1);
    EXPECT_EQ(TraceText(), "");
}

// Key messages as "WM_NAME(wParam,lParam)" in hex.
std::string KeyTrace() {
    std::string text;
    for (const auto& e : Trace()) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "(%X,%08X)", static_cast<unsigned>(e.wParam),
                      static_cast<unsigned>(e.lParam));
        text += (text.empty() ? "" : " ") + MessageName(e.msg) + buffer;
    }
    return text;
}

TEST_F(KeyboardTest, AltMakesSystemKeysAndSetsTheContextBit) {
    // Alt is 12 (scan 38), Ctrl 11 (1D), N 4E (31), F10 79 (44).
    struct Key {
        int vk;
        bool down;
    };
    struct Case {
        const char* what;
        std::vector<Key> keys;
        const char* expect;
    };
    const Case cases[] = {
        {"Alt alone",
         {{VK_MENU, true}, {VK_MENU, false}},
         "WM_SYSKEYDOWN(12,20380001) WM_SYSKEYUP(12,C0380001)"},
        {"Alt held alone",
         {{VK_MENU, true}, {VK_MENU, true}, {VK_MENU, false}},
         "WM_SYSKEYDOWN(12,20380001) WM_SYSKEYDOWN(12,60380001) WM_SYSKEYUP(12,C0380001)"},
        {"Alt+N",
         {{VK_MENU, true}, {'N', true}, {'N', false}, {VK_MENU, false}},
         "WM_SYSKEYDOWN(12,20380001) WM_SYSKEYDOWN(4E,20310001) WM_SYSCHAR(6E,20310001) "
         "WM_SYSKEYUP(4E,E0310001) WM_KEYUP(12,C0380001)"},
        {"Alt released before N",
         {{VK_MENU, true}, {'N', true}, {VK_MENU, false}, {'N', false}},
         "WM_SYSKEYDOWN(12,20380001) WM_SYSKEYDOWN(4E,20310001) WM_SYSCHAR(6E,20310001) "
         "WM_KEYUP(12,C0380001) WM_KEYUP(4E,C0310001)"},
        {"Alt+N, then Alt alone",
         {{VK_MENU, true}, {'N', true}, {'N', false}, {VK_MENU, false}, {VK_MENU, true}, {VK_MENU, false}},
         "WM_SYSKEYDOWN(12,20380001) WM_SYSKEYDOWN(4E,20310001) WM_SYSCHAR(6E,20310001) "
         "WM_SYSKEYUP(4E,E0310001) WM_KEYUP(12,C0380001) WM_SYSKEYDOWN(12,20380001) "
         "WM_SYSKEYUP(12,C0380001)"},
        {"Ctrl+Alt+N",
         {{VK_CONTROL, true},
          {VK_MENU, true},
          {'N', true},
          {'N', false},
          {VK_MENU, false},
          {VK_CONTROL, false}},
         "WM_KEYDOWN(11,001D0001) WM_KEYDOWN(12,20380001) WM_KEYDOWN(4E,20310001) WM_KEYUP(4E,E0310001) "
         "WM_KEYUP(12,C0380001) WM_KEYUP(11,C01D0001)"},
        {"F10", {{VK_F10, true}, {VK_F10, false}}, "WM_SYSKEYDOWN(79,00440001) WM_SYSKEYUP(79,C0440001)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Record({WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR});
        for (const Key& k : c.keys) {
            if (k.down)
                KeyDown(k.vk);
            else
                KeyUp(k.vk);
        }
        EXPECT_EQ(KeyTrace(), c.expect);
    }
}

TEST_F(KeyboardTest, WithoutFocusTheActiveWindowGetsSystemKeys) {
    SetFocus(nullptr);
    ASSERT_EQ(GetActiveWindow(), form);
    Record({WM_KEYDOWN, WM_SYSKEYDOWN, WM_SYSKEYUP});
    PressKey('A');
    EXPECT_EQ(TraceText(), "form:WM_SYSKEYDOWN form:WM_SYSKEYUP");
    EXPECT_EQ(Nth(WM_SYSKEYDOWN).lParam & KF_ALTDOWN_BIT, 0);
}

TEST_F(KeyboardTest, KeyboardHookSeesKeysAtRetrievalAndMaySwallow) {
    HookKeyboard();
    g_swallowKey = 'X';
    PressKey('X');
    PressKey('Y');
    EXPECT_EQ(TraceText(), "edit:WM_KEYUP edit:WM_KEYDOWN edit:WM_CHAR edit:WM_KEYUP");
    ASSERT_EQ(g_keyHookCalls.size(), 4u);
    EXPECT_EQ(g_keyHookCalls[0].first, static_cast<WPARAM>('X'));
    EXPECT_EQ(g_keyHookCalls[0].second, 1 | (0x2D << 16));
    EXPECT_EQ(g_keyHookCalls[1].second & KF_UP_BIT, KF_UP_BIT);
}

std::vector<std::u32string> g_typed;

// Asks, for every key press it sees, what the key types.
LRESULT TypingHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && !(lParam & KF_UP_BIT)) {
        BYTE keys[256];
        GetKeyboardState(keys);
        char32_t buffer[4];
        const UINT vk = static_cast<UINT>(wParam);
        const int count = ToUnicode(vk, MapVirtualKey(vk, MAPVK_VK_TO_VSC), keys, buffer, 4, 0);
        g_typed.emplace_back(buffer, static_cast<std::size_t>(std::max(count, 0)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(KeyboardTest, AKeyboardHookLearnsWhatTheKeyTypes) {
    g_typed.clear();
    g_swallowKey = 'D';
    HookKeyboard();
    hooks_.push_back(SetWindowsHookEx(WH_KEYBOARD, &TypingHook, nullptr, 0));
    PressKey('A');
    KeyDown(VK_SHIFT);
    PressKey('A');
    KeyUp(VK_SHIFT);
    PressKey('A', "\xD1\x84"); // a key of another layout types U+0444
    PressKey('D', "\xD0\xB2"); // swallowed by the other hook: nothing translates it
    PressKey(VK_LEFT);
    const std::vector<std::u32string> expected{U"a", U"", U"A", U"\u0444", U"\u0432", U""};
    EXPECT_EQ(g_typed, expected);

    // Outside a press the US key map answers for the given state.
    BYTE keys[256] = {};
    char32_t buffer[4];
    EXPECT_EQ(ToUnicode('Z', 0, keys, buffer, 4, 0), 1);
    EXPECT_EQ(buffer[0], U'z');
    keys[VK_SHIFT] = 0x80;
    EXPECT_EQ(ToUnicode('Z', 0, keys, buffer, 4, 0), 1);
    EXPECT_EQ(buffer[0], U'Z');
    EXPECT_EQ(ToUnicode('Z', 0, keys, buffer, 0, 0), 0);
}

TEST_F(KeyboardTest, F1AsksForHelpOnTheFocusAndThePlainProcedurePassesItUp) {
    SetWindowContextHelpId(edit, 42);
    SetWindowLongPtr(edit, GWL_ID, 7);
    MoveToScreen(POINT{150, 130});
    HELPINFO seen;
    Windows()[edit].handler = [&](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m == WM_HELP) seen = *reinterpret_cast<const HELPINFO*>(l);
        return std::nullopt;
    };
    Record({WM_HELP});
    PressKey(VK_F1);
    EXPECT_EQ(TraceText(), "edit:WM_HELP form:WM_HELP");
    EXPECT_EQ(seen.cbSize, sizeof(HELPINFO));
    EXPECT_EQ(seen.iContextType, HELPINFO_WINDOW);
    EXPECT_EQ(seen.iCtrlId, 7);
    EXPECT_EQ(seen.hItemHandle, edit);
    EXPECT_EQ(seen.dwContextId, 42u);
    EXPECT_EQ(seen.MousePos.x, 150);
    EXPECT_EQ(seen.MousePos.y, 130);
    EXPECT_EQ(Nth(WM_HELP, 1).lParam, Nth(WM_HELP).lParam);

    // An owned window passes it to its owner.
    HWND tool = Make("tool", kPopup, Rect(400, 100, 500, 200));
    HWND owned =
        CreateWindowEx(0, "InputPlain", "owned", kPopup, 400, 300, 100, 80, form, nullptr, nullptr, nullptr);
    Windows()[owned] = TestWindow{"owned", nullptr};
    SetFocus(owned);
    RunUntilIdle();
    Record({WM_HELP});
    PressKey(VK_F1);
    EXPECT_EQ(TraceText(), "owned:WM_HELP form:WM_HELP");
    EXPECT_EQ(SetWindowContextHelpId(nullptr, 1), FALSE);
    EXPECT_EQ(GetWindowContextHelpId(tool), 0u);
}

TEST_F(KeyboardTest, KeyStateFollowsRetrievalWhileAsyncStateIsImmediate) {
    InjectKey(VK_SHIFT, true);
    EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    SHORT seenInHandler = 0;
    Windows()[edit].handler = [&](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_KEYDOWN && w == 'K') seenInHandler = GetKeyState('K');
        return std::nullopt;
    };
    RunUntilIdle();
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetKeyState(VK_LSHIFT), 0);
    PressKey('K');
    EXPECT_LT(seenInHandler, 0);
    EXPECT_GE(GetKeyState('K'), 0);
    KeyUp(VK_SHIFT);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);

    BYTE keys[256];
    ASSERT_TRUE(GetKeyboardState(keys));
    EXPECT_EQ(keys[VK_CAPITAL] & 1, 0);
    PressKey(VK_CAPITAL);
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 1);
    Record({WM_CHAR});
    PressKey('C');
    EXPECT_EQ(Nth(WM_CHAR).wParam, static_cast<WPARAM>('C'));
    PressKey(VK_CAPITAL);
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 0);

    keys[0x5A] = 0x80; // 'Z'
    ASSERT_TRUE(SetKeyboardState(keys));
    EXPECT_LT(GetKeyState('Z'), 0);
    EXPECT_FALSE(GetKeyboardState(nullptr));
}

TEST_F(KeyboardTest, WheelGoesToTheWindowUnderTheCursorAndOnToItsParent) {
    // The focus is in `edit`; the wheel turns over other windows.
    HWND list = Make("list", WS_CHILD | WS_VISIBLE, Rect(10, 60, 110, 140), form);
    HWND grid = Make("grid", WS_CHILD | WS_VISIBLE, Rect(120, 60, 190, 140), form, Answer(WM_MOUSEWHEEL, 0));
    HWND other = Make("other", WS_POPUP | WS_VISIBLE, Rect(400, 100, 500, 200));
    SetFocus(edit);
    struct Case {
        const char* what;
        HWND over; // nullptr: the desktop
        HWND capture;
        const char* expect;
    };
    const Case cases[] = {
        {"a child that leaves it to its parent", list, nullptr, "list:WM_MOUSEWHEEL form:WM_MOUSEWHEEL"},
        {"a child that takes it", grid, nullptr, "grid:WM_MOUSEWHEEL"},
        {"an inactive window", other, nullptr, "other:WM_MOUSEWHEEL"},
        {"the desktop", nullptr, nullptr, ""},
        {"a window while another has the capture", other, list, "list:WM_MOUSEWHEEL form:WM_MOUSEWHEEL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        POINT at = Point(900, 600);
        if (c.over) {
            at = Point(5, 5);
            ClientToScreen(c.over, &at);
        }
        MoveToScreen(at);
        if (c.capture) SetCapture(c.capture);
        Record({WM_MOUSEWHEEL});
        Wheel(-WHEEL_DELTA);
        ReleaseCapture();
        EXPECT_EQ(TraceText(), c.expect);
        if (Trace().empty()) continue;
        EXPECT_EQ(static_cast<SHORT>(HIWORD(Nth(WM_MOUSEWHEEL).wParam)), -WHEEL_DELTA);
        EXPECT_EQ(Nth(WM_MOUSEWHEEL).lParam, PointToLParam(at));
    }
    EXPECT_EQ(GetFocus(), edit);
}

TEST(KeyMapTest, UsKeyMap) {
    struct Case {
        int vk;
        UINT scan;
        UINT ch;
    };
    const Case cases[] = {{'A', 0x1E, 'A'},        {'Q', 0x10, 'Q'},      {'M', 0x32, 'M'},
                          {'1', 0x02, '1'},        {'0', 0x0B, '0'},      {VK_RETURN, 0x1C, '\r'},
                          {VK_ESCAPE, 0x01, 0x1B}, {VK_SPACE, 0x39, ' '}, {VK_OEM_2, 0x35, '/'},
                          {VK_F1, 0x3B, 0},        {VK_F12, 0x58, 0},     {VK_LEFT, 0x4B, 0},
                          {VK_SHIFT, 0x2A, 0},     {VK_RSHIFT, 0x36, 0},  {VK_NUMPAD0 + 7, 0x47, '7'}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vk);
        EXPECT_EQ(MapVirtualKey(static_cast<UINT>(c.vk), MAPVK_VK_TO_VSC), c.scan);
        EXPECT_EQ(MapVirtualKey(static_cast<UINT>(c.vk), MAPVK_VK_TO_CHAR), c.ch);
    }
    EXPECT_EQ(MapVirtualKey(0x1E, MAPVK_VSC_TO_VK), static_cast<UINT>('A'));
    EXPECT_EQ(MapVirtualKey(0x36, MAPVK_VSC_TO_VK), static_cast<UINT>(VK_SHIFT));
    EXPECT_EQ(MapVirtualKey(0x4B, MAPVK_VSC_TO_VK), static_cast<UINT>(VK_LEFT));
    EXPECT_EQ(MapVirtualKey(0x1FF, MAPVK_VSC_TO_VK), 0u);
    EXPECT_EQ(MapVirtualKey(1, 99), 0u);

    struct Scan {
        char ch;
        SHORT result;
    };
    const Scan scans[] = {{'a', 'A'},
                          {'A', 0x100 | 'A'},
                          {'1', '1'},
                          {'!', 0x100 | '1'},
                          {' ', VK_SPACE},
                          {'\r', VK_RETURN},
                          {'?', 0x100 | VK_OEM_2},
                          {'\x01', 0x200 | 'A'},
                          {'*', 0x100 | '8'},
                          {'\x80', -1}};
    for (const Scan& s : scans) {
        SCOPED_TRACE(static_cast<int>(s.ch));
        EXPECT_EQ(VkKeyScan(s.ch), s.result);
    }
}

TEST_F(InputTest, SwappedButtonsTurnThePhysicalLeftIntoTheRightButton) {
    HWND a = Make("a", kPopup, Rect(100, 100, 300, 250));
    EXPECT_FALSE(SwapMouseButton(TRUE));
    EXPECT_EQ(GetSystemMetrics(SM_SWAPBUTTON), 1);
    Record({WM_LBUTTONDOWN, WM_RBUTTONDOWN});
    MoveTo(a, Point(10, 10));
    InjectMouseButton(MouseButton::Left, true);
    EXPECT_LT(GetAsyncKeyState(VK_LBUTTON), 0);
    RunUntilIdle();
    EXPECT_LT(GetKeyState(VK_RBUTTON), 0);
    EXPECT_EQ(TraceText(), "a:WM_RBUTTONDOWN");
    EXPECT_EQ(Nth(WM_RBUTTONDOWN).wParam, MK_RBUTTON);
    MouseUp();
    EXPECT_TRUE(SwapMouseButton(FALSE));
}

TEST_F(InputTest, CursorPositionIsClampedToTheScreen) {
    Make("a", kPopup, Rect(100, 100, 300, 250));
    Record({WM_MOUSEMOVE});
    EXPECT_TRUE(SetCursorPos(150, 120));
    RunUntilIdle();
    EXPECT_EQ(TraceText(), "a:WM_MOUSEMOVE");
    SetCursorPos(5000, -20);
    POINT p;
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p, Point(GetSystemMetrics(SM_CXSCREEN) - 1, 0));
    EXPECT_FALSE(GetCursorPos(nullptr));
}

} // namespace
