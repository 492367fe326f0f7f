#include "support/driver.h"

#include <atomic>
#include <functional>
#include <map>
#include <optional>
#include <thread>

using namespace win;
using namespace testdrv;

namespace {

using Handler = std::function<std::optional<LRESULT>(UINT, WPARAM, LPARAM)>;

std::map<HWND, Handler>& Handlers() {
    static std::map<HWND, Handler> handlers;
    return handlers;
}

LRESULT FocusProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto it = Handlers().find(hwnd);
    if (it != Handlers().end() && it->second)
        if (auto r = it->second(msg, wParam, lParam)) return *r;
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

Handler Answer(UINT msg, LRESULT result) {
    return [msg, result](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == msg) return result;
        return std::nullopt;
    };
}

// The i-th entry of a log; a failure and an empty entry when there is none.
MessageLog::Entry At(const MessageLog& log, std::size_t i) {
    auto entries = log.Entries();
    if (i < entries.size()) return entries[i];
    ADD_FAILURE() << "no entry #" << i << " in " << log.Text();
    return {};
}

const std::initializer_list<UINT> kActivation = {WM_NCACTIVATE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS,
                                                 WM_SETFOCUS};

class FocusTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        Handlers().clear();
        WNDCLASS wc;
        wc.lpfnWndProc = &FocusProc;
        wc.lpszClassName = "FocusPlain";
        ASSERT_NE(RegisterClass(&wc), 0);
    }
    void TearDown() override {
        WinTest::TearDown();
        Handlers().clear();
    }

    HWND Make(DWORD style, RECT r, HWND parentOrOwner = nullptr, Handler handler = nullptr,
              DWORD exStyle = 0) {
        HWND h = CreateWindowEx(exStyle, "FocusPlain", "", style, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, parentOrOwner, nullptr, nullptr, nullptr);
        EXPECT_NE(h, nullptr);
        Handlers()[h] = std::move(handler);
        return h;
    }
};

constexpr DWORD kPopup = WS_POPUP | WS_VISIBLE;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

TEST_F(FocusTest, ActivationMessagesComeBeforeFocusMessages) {
    HWND a = Make(kPopup, Rect(0, 0, 200, 200));
    HWND ca = Make(kChild, Rect(10, 10, 50, 30), a);
    HWND b = Make(kPopup, Rect(300, 0, 500, 200));
    SetFocus(ca);
    ASSERT_EQ(GetActiveWindow(), a);
    MessageLog log;
    log.Watch(a, "a");
    log.Watch(ca, "ca");
    log.Watch(b, "b");
    log.Only(kActivation);

    EXPECT_EQ(SetActiveWindow(b), a);
    EXPECT_EQ(log.Text(),
              "a:WM_NCACTIVATE a:WM_ACTIVATE b:WM_NCACTIVATE b:WM_ACTIVATE ca:WM_KILLFOCUS b:WM_SETFOCUS");
    auto e = log.Entries();
    ASSERT_EQ(e.size(), 6u);
    EXPECT_EQ(e[0].wParam, static_cast<WPARAM>(FALSE));
    EXPECT_EQ(e[1].wParam, static_cast<WPARAM>(WA_INACTIVE));
    EXPECT_EQ(e[1].lParam, reinterpret_cast<LPARAM>(b));
    EXPECT_EQ(e[2].wParam, static_cast<WPARAM>(TRUE));
    EXPECT_EQ(e[3].wParam, static_cast<WPARAM>(WA_ACTIVE));
    EXPECT_EQ(e[3].lParam, reinterpret_cast<LPARAM>(a));
    EXPECT_EQ(e[4].wParam, reinterpret_cast<WPARAM>(b));
    EXPECT_EQ(e[5].wParam, reinterpret_cast<WPARAM>(ca));
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(GetForegroundWindow(), b);
    EXPECT_EQ(GetFocus(), b);

    // Nothing happens when nothing changes.
    log.Clear();
    SetActiveWindow(b);
    SetFocus(b);
    EXPECT_EQ(log.Text(), "");

    // A click activates with WA_CLICKACTIVE.
    Click(a, Point(100, 100));
    ASSERT_GE(log.Count(WM_ACTIVATE), 2);
    EXPECT_EQ(At(log, 3).wParam, static_cast<WPARAM>(WA_CLICKACTIVE));
}

TEST_F(FocusTest, FocusComesFromTheDefaultHandlingOfActivation) {
    HWND a = Make(kPopup, Rect(0, 0, 200, 200));
    HWND own = Make(kPopup, Rect(300, 0, 500, 200), nullptr, Answer(WM_ACTIVATE, 0));
    SetActiveWindow(a);
    ASSERT_EQ(GetFocus(), a);
    MessageLog log{a, own};
    log.Only({WM_KILLFOCUS, WM_SETFOCUS});
    SetActiveWindow(own);
    EXPECT_EQ(GetActiveWindow(), own);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(log.Text(), "WM_KILLFOCUS");
    EXPECT_EQ(At(log, 0).wParam, 0u);
}

TEST_F(FocusTest, SetFocusActivatesTheTopLevelWindowFirst) {
    HWND a = Make(kPopup, Rect(0, 0, 200, 200));
    HWND ca = Make(kChild, Rect(10, 10, 50, 30), a);
    HWND b = Make(kPopup, Rect(300, 0, 500, 200));
    HWND cb = Make(kChild, Rect(10, 10, 50, 30), b);
    SetFocus(ca);
    EXPECT_EQ(SetFocus(cb), ca);
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(GetFocus(), cb);

    // Refusals leave the focus where it was.
    HWND off = Make(kChild | WS_DISABLED, Rect(60, 10, 90, 30), a);
    EXPECT_EQ(SetFocus(off), nullptr);
    EnableWindow(a, FALSE);
    EXPECT_EQ(SetFocus(ca), nullptr);
    EnableWindow(a, TRUE);
    DestroyWindow(off);
    EXPECT_EQ(SetFocus(off), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(SetActiveWindow(off), nullptr);
    EXPECT_FALSE(SetForegroundWindow(off));
    EXPECT_EQ(GetFocus(), cb);
    EXPECT_EQ(GetActiveWindow(), b);

    EXPECT_EQ(SetFocus(nullptr), cb);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetActiveWindow(), b);
}

TEST_F(FocusTest, ApplicationActivationIsAnnouncedToEveryTopLevelWindow) {
    HWND a = Make(kPopup, Rect(0, 0, 200, 200));
    HWND hidden = Make(WS_POPUP, Rect(0, 0, 10, 10));
    HWND b = Make(WS_POPUP, Rect(300, 0, 500, 200));
    MessageLog log;
    log.Watch(a, "a");
    log.Watch(b, "b");
    log.Watch(hidden, "hidden");
    log.Only(kActivation);

    // The first window shown after the application lost its last active window.
    ShowWindow(a, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    log.Clear();
    ShowWindow(b, SW_SHOW);
    EXPECT_EQ(log.Text(),
              "b:WM_ACTIVATEAPP hidden:WM_ACTIVATEAPP a:WM_ACTIVATEAPP b:WM_NCACTIVATE b:WM_ACTIVATE "
              "b:WM_SETFOCUS");
    EXPECT_EQ(At(log, 0).wParam, static_cast<WPARAM>(TRUE));

    log.Clear();
    SetApplicationForeground(false);
    EXPECT_EQ(log.Text(), "b:WM_NCACTIVATE b:WM_ACTIVATE b:WM_ACTIVATEAPP hidden:WM_ACTIVATEAPP "
                          "a:WM_ACTIVATEAPP b:WM_KILLFOCUS");
    EXPECT_EQ(At(log, 1).lParam, 0);
    EXPECT_EQ(At(log, 2).wParam, static_cast<WPARAM>(FALSE));
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    SetApplicationForeground(false);

    log.Clear();
    SetApplicationForeground(true);
    EXPECT_EQ(log.Text(),
              "b:WM_ACTIVATEAPP hidden:WM_ACTIVATEAPP a:WM_ACTIVATEAPP b:WM_NCACTIVATE b:WM_ACTIVATE "
              "b:WM_SETFOCUS");
    EXPECT_EQ(GetForegroundWindow(), b);
    EXPECT_EQ(GetFocus(), b);

    // A click on a window of the application brings it back too.
    SetApplicationForeground(false);
    ShowWindow(a, SW_SHOWNA);
    log.Clear();
    Click(a, Point(5, 5));
    EXPECT_EQ(GetForegroundWindow(), a);
    EXPECT_EQ(log.Count(WM_ACTIVATEAPP), 3);
}

// The desktop belongs to another application: a press where no window of the
// program is gives that application the foreground, as a press on one of its
// windows would, and the program hears no mouse message of it.
TEST_F(FocusTest, APressWhereNoWindowOfTheProgramIsGivesTheForegroundAway) {
    HWND a = Make(kPopup, Rect(0, 0, 200, 200));
    HWND ca = Make(kChild, Rect(10, 10, 50, 30), a);
    HWND b = Make(WS_POPUP, Rect(300, 0, 500, 200));
    HWND glass = Make(kPopup, Rect(600, 0, 700, 100), nullptr, Answer(WM_NCHITTEST, HTTRANSPARENT));
    MessageLog log;
    for (auto [h, name] : {std::pair{a, "a"}, {ca, "ca"}, {b, "b"}, {glass, "glass"}}) log.Watch(h, name);
    log.Only({WM_NCACTIVATE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS, WM_SETFOCUS, WM_LBUTTONDOWN,
              WM_LBUTTONUP, WM_RBUTTONDOWN});
    const POINT desktop{800, 500};
    const char* away = "a:WM_NCACTIVATE a:WM_ACTIVATE a:WM_ACTIVATEAPP glass:WM_ACTIVATEAPP b:WM_ACTIVATEAPP "
                       "ca:WM_KILLFOCUS";
    struct Case {
        const char* what;
        std::function<void()> input;
        const char* expect;
    };
    const Case cases[] = {
        // The first press the program sees: no thread had the mouse before.
        {"a left press", [=] { ClickScreen(desktop); }, away},
        {"a right press", [=] { ClickScreen(desktop, MouseButton::Right); }, away},
        {"a press through a window that lets it pass",
         [] {
             ClickScreen(POINT{650, 50});
         },
         away},
        {"a press while a window holds the capture",
         [=] {
             SetCapture(ca);
             ClickScreen(desktop);
             ReleaseCapture();
         },
         "ca:WM_LBUTTONDOWN ca:WM_LBUTTONUP"},
        {"a release alone, after a press in the program",
         [=] {
             MoveTo(a, Point(100, 100));
             MouseDown();
             MoveToScreen(desktop);
             MouseUp();
         },
         "a:WM_LBUTTONDOWN"},
        {"a press with the program in the background",
         [=, &log] {
             SetApplicationForeground(false);
             log.Clear();
             ClickScreen(desktop);
         },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetApplicationForeground(true);
        SetFocus(ca);
        RunUntilIdle();
        log.Clear();
        c.input();
        EXPECT_EQ(log.Text(), c.expect);
        if (c.expect == away) {
            EXPECT_EQ(At(log, 1).wParam, static_cast<WPARAM>(WA_INACTIVE));
            EXPECT_EQ(At(log, 2).wParam, static_cast<WPARAM>(FALSE));
            EXPECT_EQ(GetForegroundWindow(), nullptr);
            EXPECT_EQ(GetFocus(), nullptr);
        }
    }
    // A press on a window of the program brings it back.
    log.Clear();
    Click(a, Point(100, 100));
    EXPECT_EQ(GetForegroundWindow(), a);
    EXPECT_EQ(log.Count(WM_ACTIVATEAPP), 3);
}

TEST_F(FocusTest, HidingMovesActivationButSetWindowPosHidingDoesNot) {
    struct Case {
        const char* what;
        std::function<void(HWND)> hide;
        bool moves;
    };
    const Case cases[] = {
        {"SetWindowPos",
         [](HWND d) {
             SetWindowPos(d, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
         },
         false},
        {"ShowWindow", [](HWND d) { ShowWindow(d, SW_HIDE); }, true},
        {"DestroyWindow", [](HWND d) { DestroyWindow(d); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND main = Make(kPopup, Rect(0, 0, 200, 200));
        HWND other = Make(kPopup, Rect(300, 0, 500, 200));
        HWND dialog = Make(kPopup, Rect(50, 50, 150, 150), main);
        HWND edit = Make(kChild, Rect(5, 5, 50, 25), dialog);
        SetFocus(edit);
        SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ASSERT_EQ(GetActiveWindow(), dialog);
        c.hide(dialog);
        // The owner takes over, not the window above it.
        EXPECT_EQ(GetActiveWindow(), c.moves ? main : dialog);
        EXPECT_EQ(GetFocus(), c.moves ? main : edit);
        DestroyWindow(dialog);
        DestroyWindow(main);
        DestroyWindow(other);
    }
}

TEST_F(FocusTest, HidingTheLastWindowDeactivatesTheApplication) {
    HWND a = Make(kPopup, Rect(0, 0, 200, 200));
    HWND tool = Make(kPopup, Rect(300, 0, 500, 200), nullptr, nullptr, WS_EX_NOACTIVATE);
    SetActiveWindow(a);
    MessageLog log;
    log.Watch(a, "a");
    log.Watch(tool, "tool");
    log.Only(kActivation);
    ShowWindow(a, SW_HIDE);
    EXPECT_EQ(log.Text(),
              "a:WM_NCACTIVATE a:WM_ACTIVATE tool:WM_ACTIVATEAPP a:WM_ACTIVATEAPP a:WM_KILLFOCUS");
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST_F(FocusTest, HidingAFocusedChildGivesTheFocusToItsParent) {
    HWND a = Make(kPopup, Rect(0, 0, 200, 200));
    HWND panel = Make(kChild, Rect(0, 0, 100, 100), a);
    HWND edit = Make(kChild, Rect(5, 5, 50, 25), panel);
    SetFocus(edit);
    ShowWindow(panel, SW_HIDE);
    EXPECT_EQ(GetFocus(), a);
    SetFocus(panel);
    DestroyWindow(panel);
    EXPECT_NE(GetFocus(), panel);
    EXPECT_EQ(GetActiveWindow(), a);
}

TEST_F(FocusTest, DefaultSystemKeysAskTheTopLevelWindowForItsMenuOrToClose) {
    std::vector<std::pair<WPARAM, LPARAM>> commands;
    HWND a = Make(kPopup, Rect(0, 0, 200, 200), nullptr,
                  [&](UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
                      if (m != WM_SYSCOMMAND) return std::nullopt;
                      commands.emplace_back(w, l);
                      return 0;
                  });
    HWND edit = Make(kChild, Rect(5, 5, 50, 25), a);
    SetFocus(edit);
    PressKey(VK_MENU);
    KeyDown(VK_MENU);
    PressKey('X');
    PressKey(VK_F1 + 3);
    KeyUp(VK_MENU);
    PressKey(VK_F10);
    using C = std::pair<WPARAM, LPARAM>;
    EXPECT_EQ(commands,
              (std::vector<C>{C{SC_KEYMENU, 0}, C{SC_KEYMENU, 'x'}, C{SC_CLOSE, 0}, C{SC_KEYMENU, 0}}));
}

TEST_F(FocusTest, DefaultMouseActivationLeavesAPressOnTheCaptionToTheCaption) {
    auto caption = [](UINT m, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (m == WM_NCHITTEST) return PointFromLParam(lParam).y < 20 ? HTCAPTION : HTCLIENT;
        return std::nullopt;
    };
    HWND other = Make(kPopup, Rect(400, 0, 500, 100));
    HWND a = Make(kPopup, Rect(0, 0, 200, 200), nullptr, caption);
    HWND child = Make(kChild, Rect(10, 30, 60, 60), a);
    HWND eater = Make(kPopup, Rect(250, 0, 350, 100), nullptr, Answer(WM_MOUSEACTIVATE, MA_NOACTIVATEANDEAT));
    HWND eaterChild = Make(kChild, Rect(0, 0, 50, 50), eater);
    struct Case {
        HWND hwnd;
        LRESULT hit;
        UINT button;
        LRESULT answer;
    };
    const Case cases[] = {
        {a, HTCAPTION, WM_LBUTTONDOWN, MA_NOACTIVATE},
        {a, HTCAPTION, WM_RBUTTONDOWN, MA_ACTIVATE},
        {a, HTCLIENT, WM_LBUTTONDOWN, MA_ACTIVATE},
        {a, HTBOTTOM, WM_LBUTTONDOWN, MA_ACTIVATE},
        {child, HTCAPTION, WM_LBUTTONDOWN, MA_NOACTIVATE},
        {child, HTCLIENT, WM_LBUTTONDOWN, MA_ACTIVATE},
        {eaterChild, HTCLIENT, WM_LBUTTONDOWN, MA_NOACTIVATEANDEAT}, // the parent's answer
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.hit) + " " + std::to_string(c.button));
        const HWND top = GetAncestor(c.hwnd, GA_ROOT);
        EXPECT_EQ(SendMessage(c.hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                              MAKELPARAM(static_cast<int>(c.hit), static_cast<int>(c.button))),
                  c.answer);
    }

    // The press on the caption activates when it reaches the default processing.
    SetActiveWindow(other);
    MessageLog log{a};
    log.Only({WM_MOUSEACTIVATE, WM_NCLBUTTONDOWN, WM_ACTIVATE});
    Click(a, Point(100, 10));
    EXPECT_EQ(log.Text(), "WM_MOUSEACTIVATE WM_NCLBUTTONDOWN WM_ACTIVATE");
    EXPECT_EQ(LOWORD(At(log, 2).wParam), WA_CLICKACTIVE);
    EXPECT_EQ(GetActiveWindow(), a);
}

// A worker thread with a window of its own and a message loop.
struct Worker {
    MessageLog* log = nullptr;
    std::atomic<HWND> hwnd{nullptr};
    std::atomic<DWORD> id{0};

    static DWORD Main(void* param) {
        auto* self = static_cast<Worker*>(param);
        HWND w = CreateWindowEx(0, "FocusPlain", "", WS_POPUP, 300, 0, 200, 200, nullptr, nullptr, nullptr,
                                nullptr);
        self->log->Watch(w, "w");
        ShowWindow(w, SW_SHOWNOACTIVATE);
        self->id = GetCurrentThreadId();
        self->hwnd = w;
        MSG m;
        while (GetMessage(&m, nullptr, 0, 0) > 0) {
            TranslateMessage(&m);
            DispatchMessage(&m);
        }
        DestroyWindow(w);
        return 0;
    }
};

// Pumps this thread until `done` holds (the other thread works meanwhile).
template <class F> bool PumpUntil(F done) {
    for (int i = 0; i < 20000; ++i) {
        RunUntilIdle();
        if (done()) return true;
        std::this_thread::yield();
    }
    return false;
}

TEST_F(FocusTest, TheForegroundMovesBetweenThreads) {
    HWND m = Make(kPopup, Rect(0, 0, 200, 200));
    SetFocus(m);
    MessageLog log;
    log.Watch(m, "m");
    log.Only({WM_NCACTIVATE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS, WM_SETFOCUS, WM_KEYDOWN});
    Worker worker;
    worker.log = &log;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, &Worker::Main, &worker, 0, &id);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return worker.hwnd.load() != nullptr; }));
    HWND w = worker.hwnd;

    InjectMouseMove(Point(350, 50));
    InjectMouseButton(MouseButton::Left, true);
    InjectMouseButton(MouseButton::Left, false);
    ASSERT_TRUE(PumpUntil([&] { return log.Count(WM_SETFOCUS) == 1; }));
    EXPECT_EQ(GetForegroundWindow(), w);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(log.Text(), "m:WM_NCACTIVATE m:WM_ACTIVATE m:WM_ACTIVATEAPP m:WM_KILLFOCUS w:WM_ACTIVATEAPP "
                          "w:WM_NCACTIVATE w:WM_ACTIVATE w:WM_SETFOCUS");
    EXPECT_EQ(At(log, 1).lParam, reinterpret_cast<LPARAM>(w));
    EXPECT_EQ(At(log, 2).lParam, static_cast<LPARAM>(worker.id.load()));
    EXPECT_EQ(At(log, 4).lParam, static_cast<LPARAM>(GetCurrentThreadId()));
    EXPECT_EQ(LOWORD(At(log, 6).wParam), WA_CLICKACTIVE);

    // Keys follow the foreground.
    InjectKey('A', true);
    InjectKey('A', false);
    ASSERT_TRUE(PumpUntil([&] { return log.Count(WM_KEYDOWN) == 1; }));
    EXPECT_EQ(At(log, 8).hwnd, w);

    log.Clear();
    EXPECT_TRUE(SetForegroundWindow(m));
    EXPECT_EQ(GetForegroundWindow(), m);
    EXPECT_EQ(GetFocus(), m);
    EXPECT_EQ(log.Text(), "w:WM_NCACTIVATE w:WM_ACTIVATE w:WM_ACTIVATEAPP w:WM_KILLFOCUS m:WM_ACTIVATEAPP "
                          "m:WM_NCACTIVATE m:WM_ACTIVATE m:WM_SETFOCUS");

    PostThreadMessage(worker.id, WM_QUIT, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }));
    CloseHandle(thread);
}

TEST_F(FocusTest, AnotherThreadShowingAWindowDoesNotTakeTheForeground) {
    HWND m = Make(kPopup, Rect(0, 0, 200, 200));
    SetFocus(m);
    std::atomic<bool> activeThere{false};
    std::atomic<bool> focusThere{false};
    // This thread only joins: anything sent to it would never be answered.
    std::thread worker([&] {
        HWND w =
            CreateWindowEx(0, "FocusPlain", "", kPopup, 300, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
        activeThere = GetActiveWindow() == w;
        focusThere = GetFocus() == w;
    });
    worker.join();
    EXPECT_TRUE(activeThere);
    EXPECT_TRUE(focusThere);
    EXPECT_EQ(GetForegroundWindow(), m);
    EXPECT_EQ(GetFocus(), m);
}

TEST_F(FocusTest, ActivationRedrawsTheFrame) {
    HWND a = Make(kPopup | WS_CAPTION, Rect(0, 0, 200, 200));
    HWND b = Make(kPopup, Rect(300, 0, 500, 200));
    SetActiveWindow(a);
    RunUntilIdle();
    MessageLog log{a};
    log.Only({WM_NCPAINT});
    SetActiveWindow(b);
    RunUntilIdle();
    EXPECT_EQ(log.Count(WM_NCPAINT), 1);
}

} // namespace
