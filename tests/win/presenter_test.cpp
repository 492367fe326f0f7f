#include "support/driver.h"
#include "win/presenter.h"

// After gtest: Xlib's macros (None, Bool, Status) would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using namespace win;
using testdrv::MessageLog;
using testdrv::RunUntilIdle;

namespace {

// An Xvfb server of our own on a free display number, ended with the test.
class Xvfb {
public:
    ~Xvfb() { Stop(); }

    static std::string Binary() {
        const char* path = std::getenv("PATH");
        std::string dirs = path ? path : "/usr/bin:/bin";
        std::size_t start = 0;
        while (start <= dirs.size()) {
            const std::size_t end = std::min(dirs.find(':', start), dirs.size());
            const std::string candidate = dirs.substr(start, end - start) + "/Xvfb";
            if (access(candidate.c_str(), X_OK) == 0) return candidate;
            start = end + 1;
        }
        return "";
    }

    // Xvfb chooses a free display itself and writes its number to a pipe
    // (-displayfd), so parallel test runs never share a server.
    bool Start() {
        int fds[2];
        if (pipe(fds) != 0) return false;
        char fdText[16];
        std::snprintf(fdText, sizeof fdText, "%d", fds[1]);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        const std::string binary = Binary();
        const char* argv[] = {"Xvfb",        "-displayfd", fdText, "-screen", "0",
                              "1024x768x24", "-nolisten",  "tcp",  nullptr};
        const int rc =
            posix_spawn(&pid_, binary.c_str(), &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (rc != 0) {
            pid_ = -1;
            close(fds[0]);
            return false;
        }
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) {
            Stop();
            return false;
        }
        display_ = ":" + number;
        return true;
    }

    void Stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    const std::string& Name() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// Pumps until `done` holds or two seconds pass.
template <class F> bool PumpUntil(X11Presenter& p, F done) {
    for (int i = 0; i < 200; ++i) {
        p.Pump();
        RunUntilIdle();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Pumps a while: for events whose arrival nothing shows.
void Settle(X11Presenter& p) {
    int pumps = 0;
    PumpUntil(p, [&] { return ++pumps == 10; });
}

// Red, and for F10 whether Shift is held as the window system says it is now.
bool g_shiftHeldForF10 = false;

LRESULT RedProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSKEYDOWN && wParam == static_cast<WPARAM>(VK_F10))
        g_shiftHeldForF10 = GetAsyncKeyState(VK_SHIFT) < 0;
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        RECT r;
        GetClientRect(h, &r);
        HBRUSH b = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &r, b);
        DeleteObject(b);
        EndPaint(h, &ps);
        return 0;
    }
    return DefWindowProc(h, msg, wParam, lParam);
}

// A red window in the foreground, shown by a presenter on an Xvfb server of
// its own, and a connection of the test's to that server.
class PresenterTest : public testdrv::WinTest {
protected:
    void TearDown() override {
        presenter.Close();
        if (d) XCloseDisplay(d);
        server.Stop();
        WinTest::TearDown();
    }

    // False when no X server can start here.
    bool Start() {
        if (Xvfb::Binary().empty() || !server.Start()) return false;
        // Real time: the presenter's events arrive from another process.
        SetManualClock(false);
        WNDCLASS wc;
        wc.lpfnWndProc = &RedProc;
        wc.lpszClassName = "PresenterRed";
        EXPECT_NE(RegisterClass(&wc), 0);
        w = CreateWindowEx(0, "PresenterRed", "", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, nullptr, nullptr,
                           nullptr, nullptr);
        EXPECT_NE(w, nullptr);
        SetForegroundWindow(w);
        SetFocus(w);
        RunUntilIdle();
        EXPECT_TRUE(presenter.Open(server.Name().c_str()));
        d = XOpenDisplay(server.Name().c_str());
        if (!d) return false;
        ::Window root, parent, *children = nullptr;
        unsigned count = 0;
        XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count);
        EXPECT_EQ(count, 1u);
        if (count > 0) shown = children[0];
        XFree(children);
        return shown != 0;
    }

    Xvfb server;
    X11Presenter presenter;
    HWND w{};
    Display* d = nullptr;
    ::Window shown = 0;
};

TEST_F(PresenterTest, OpenFailsWithoutADisplay) {
    X11Presenter closed;
    EXPECT_FALSE(closed.Open(":4242.0"));
    EXPECT_EQ(closed.ConnectionFd(), -1);
    EXPECT_FALSE(closed.Pump());
}

TEST_F(PresenterTest, ShowsTheScreenAndTurnsXEventsIntoInput) {
    if (!Start()) GTEST_SKIP() << "no X server can start here";
    EXPECT_GE(presenter.ConnectionFd(), 0);
    auto pixel = [&](int x, int y) {
        XImage* image = XGetImage(d, shown, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return 0ul;
        const unsigned long p = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return p;
    };
    EXPECT_TRUE(PumpUntil(presenter, [&] { return pixel(150, 150) == 0xFF0000; }));
    const COLORREF desktop = GetSysColor(COLOR_BACKGROUND);
    EXPECT_EQ(pixel(50, 50), PixelFromColor(desktop));

    MessageLog log{w};
    log.Only({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN, WM_ACTIVATEAPP});
    auto send = [&](XEvent& e, long mask) {
        XSendEvent(d, shown, False, mask, &e);
        XFlush(d);
    };
    XEvent e{};
    e.xbutton.type = ButtonPress;
    e.xbutton.display = d;
    e.xbutton.window = shown;
    e.xbutton.x = 150;
    e.xbutton.y = 120;
    e.xbutton.button = Button1;
    e.xbutton.same_screen = True;
    send(e, ButtonPressMask);
    e.xbutton.type = ButtonRelease;
    send(e, ButtonReleaseMask);
    ASSERT_TRUE(PumpUntil(presenter, [&] { return log.Count(WM_LBUTTONUP) == 1; }));
    EXPECT_EQ(log.Entries()[0].lParam, MAKELPARAM(50, 20));

    e = XEvent{};
    e.xkey.type = KeyPress;
    e.xkey.display = d;
    e.xkey.window = shown;
    e.xkey.keycode = XKeysymToKeycode(d, XK_a);
    e.xkey.same_screen = True;
    send(e, KeyPressMask);
    ASSERT_TRUE(PumpUntil(presenter, [&] { return log.Count(WM_KEYDOWN) == 1; }));
    EXPECT_EQ(log.Entries().back().wParam, WPARAM('A'));

    e = XEvent{};
    e.xfocus.type = FocusOut;
    e.xfocus.display = d;
    e.xfocus.window = shown;
    e.xfocus.mode = NotifyNormal;
    e.xfocus.detail = NotifyNonlinear;
    send(e, FocusChangeMask);
    ASSERT_TRUE(PumpUntil(presenter, [&] { return log.Count(WM_ACTIVATEAPP) == 1; }));
    EXPECT_EQ(log.Entries().back().wParam, WPARAM(FALSE));

    e = XEvent{};
    e.xclient.type = ClientMessage;
    e.xclient.window = shown;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    send(e, NoEventMask);
    bool closed = false;
    for (int i = 0; i < 200 && !closed; ++i) {
        closed = !presenter.Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(closed);
}

// Where the presenter's window does not cover everything, another X client
// takes the focus (a press on its window under a window manager does): the
// program loses the foreground and gets it back with the focus.
TEST_F(PresenterTest, AnotherClientTakingTheFocusTakesTheForeground) {
    if (!Start()) GTEST_SKIP() << "no X server can start here";
    MessageLog log{w};
    log.Only({WM_ACTIVATE, WM_ACTIVATEAPP});
    XSetInputFocus(d, shown, RevertToParent, CurrentTime);
    XSync(d, False);
    Settle(presenter);
    log.Clear();

    Display* other = XOpenDisplay(server.Name().c_str());
    ASSERT_NE(other, nullptr);
    const ::Window theirs = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 50, 50, 0, 0, 0);
    XMapWindow(other, theirs);
    XSync(other, False);
    XSetInputFocus(other, theirs, RevertToParent, CurrentTime);
    XSync(other, False);
    ASSERT_TRUE(PumpUntil(presenter, [&] { return log.Count(WM_ACTIVATEAPP) == 1; }));
    EXPECT_EQ(log.Text(), "WM_ACTIVATE WM_ACTIVATEAPP");
    EXPECT_EQ(log.Entries().back().wParam, WPARAM(FALSE));
    EXPECT_EQ(GetForegroundWindow(), nullptr);

    XSetInputFocus(d, shown, RevertToParent, CurrentTime);
    XSync(d, False);
    ASSERT_TRUE(PumpUntil(presenter, [&] { return log.Count(WM_ACTIVATEAPP) == 2; }));
    EXPECT_EQ(log.Entries()[2].wParam, WPARAM(TRUE));
    EXPECT_EQ(GetForegroundWindow(), w);
    XCloseDisplay(other);
}

// Keys that another client sends at once (XTEST, as xdotool does) come one
// at a time: each finds the keys before it held, as they were when it was
// sent.
TEST_F(PresenterTest, KeysSentTogetherComeWithTheKeysBeforeThemHeld) {
    if (!Start()) GTEST_SKIP() << "no X server can start here";
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(d, &event, &error, &major, &minor)) GTEST_SKIP() << "the server has no XTEST";
    XSetInputFocus(d, shown, RevertToParent, CurrentTime);
    XSync(d, False);
    Settle(presenter);
    MessageLog log{w};
    log.Only({WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_CONTEXTMENU});
    g_shiftHeldForF10 = false;
    const KeyCode shift = XKeysymToKeycode(d, XK_Shift_L), f10 = XKeysymToKeycode(d, XK_F10);
    XTestFakeKeyEvent(d, shift, True, 0);
    XTestFakeKeyEvent(d, f10, True, 0);
    XTestFakeKeyEvent(d, f10, False, 0);
    XTestFakeKeyEvent(d, shift, False, 0);
    XSync(d, False);
    ASSERT_TRUE(PumpUntil(presenter, [&] { return log.Count(WM_KEYUP) == 1; }));
    EXPECT_EQ(log.Text(), "WM_KEYDOWN WM_SYSKEYDOWN WM_CONTEXTMENU WM_SYSKEYUP WM_KEYUP");
    EXPECT_TRUE(g_shiftHeldForF10);
}

} // namespace
