// Context menus and carets: WM_CONTEXTMENU from a right-button release and
// from the context-menu keys, passed up to the parent; the thread's caret;
// what GetGUIThreadInfo tells; and the key state after a hook ran a loop.
#include "recording.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace win;
using namespace win::test;
using testdrv::RunUntilIdle;

namespace {

LPARAM KeyboardPoint() {
    return MAKELPARAM(-1, -1);
}

class ContextMenuTest : public RecordingTest {
protected:
    void SetUp() override {
        RecordingTest::SetUp();
        form = Named("form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{100, 100, 400, 300});
        child = Named("child", WS_CHILD | WS_VISIBLE, form, RECT{10, 20, 110, 80});
        SetForegroundWindow(form);
        SetFocus(child);
        RunUntilIdle();
        g_seen.clear();
    }
    // The screen point of a client point of a window.
    static POINT OnScreen(HWND hwnd, POINT p) {
        ClientToScreen(hwnd, &p);
        return p;
    }

    HWND form{};
    HWND child{};
};

TEST_F(ContextMenuTest, ReleasesAndKeysAskForAContextMenuThatGoesUpToTheParent) {
    RECT frame;
    GetWindowRect(form, &frame);
    const POINT caption{frame.left + 60, frame.top + 8};
    const LPARAM inChild = PointToLParam(OnScreen(child, POINT{30, 15}));
    const LPARAM none = 0;
    HWND c = child;
    struct Case {
        const char* what;
        std::function<void()> input;
        const char* expect;
        // What every WM_CONTEXTMENU carries: the window asked on and the point.
        HWND asked;
        LPARAM point;
    };
    const Case cases[] = {
        {"a right click in the child",
         [c] {
             testdrv::Click(c, POINT{30, 15}, MouseButton::Right);
         },
         "child:WM_RBUTTONDOWN child:WM_RBUTTONUP child:WM_CONTEXTMENU form:WM_CONTEXTMENU", child, inChild},
        {"a right click on the caption", [caption] { testdrv::ClickScreen(caption, MouseButton::Right); },
         "form:WM_NCRBUTTONDOWN form:WM_NCRBUTTONUP form:WM_CONTEXTMENU", form, PointToLParam(caption)},
        {"Shift+F10",
         [] {
             testdrv::KeyDown(VK_SHIFT);
             testdrv::PressKey(VK_F10);
             testdrv::KeyUp(VK_SHIFT);
         },
         "child:WM_KEYDOWN child:WM_SYSKEYDOWN child:WM_CONTEXTMENU form:WM_CONTEXTMENU child:WM_SYSKEYUP "
         "child:WM_KEYUP",
         child, KeyboardPoint()},
        {"the menu key, on its release", [] { testdrv::PressKey(VK_APPS); },
         "child:WM_KEYDOWN child:WM_KEYUP child:WM_CONTEXTMENU form:WM_CONTEXTMENU", child, KeyboardPoint()},
        {"F10 alone", [] { testdrv::PressKey(VK_F10); }, "child:WM_SYSKEYDOWN child:WM_SYSKEYUP", nullptr,
         none},
        {"Ctrl+Shift+F10",
         [] {
             testdrv::KeyDown(VK_CONTROL);
             testdrv::KeyDown(VK_SHIFT);
             testdrv::PressKey(VK_F10);
             testdrv::KeyUp(VK_SHIFT);
             testdrv::KeyUp(VK_CONTROL);
         },
         "child:WM_KEYDOWN child:WM_KEYDOWN child:WM_SYSKEYDOWN child:WM_SYSKEYUP child:WM_KEYUP "
         "child:WM_KEYUP",
         nullptr, none},
        {"a left click",
         [c] {
             testdrv::Click(c, POINT{30, 15});
         },
         "child:WM_LBUTTONDOWN child:WM_LBUTTONUP", nullptr, none},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        g_only = {WM_LBUTTONDOWN,   WM_LBUTTONUP,   WM_RBUTTONDOWN, WM_RBUTTONUP,
                  WM_NCRBUTTONDOWN, WM_NCRBUTTONUP, WM_KEYDOWN,     WM_KEYUP,
                  WM_SYSKEYDOWN,    WM_SYSKEYUP,    WM_CONTEXTMENU};
        g_seen.clear();
        k.input();
        EXPECT_EQ(Seq(), k.expect);
        for (const Seen& s : g_seen) {
            if (s.msg != WM_CONTEXTMENU) continue;
            EXPECT_EQ(reinterpret_cast<HWND>(s.wParam), k.asked);
            EXPECT_EQ(s.lParam, k.point);
        }
    }
}

TEST_F(ContextMenuTest, AChildThatHandlesTheMenuKeepsItFromItsParent) {
    g_handler = [this](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT* r) {
        if (hwnd != child || msg != WM_CONTEXTMENU) return false;
        *r = 0;
        return true;
    };
    g_only = {WM_CONTEXTMENU};
    testdrv::Click(child, POINT{5, 5}, MouseButton::Right);
    testdrv::PressKey(VK_APPS);
    EXPECT_EQ(Seq(), "child:WM_CONTEXTMENU child:WM_CONTEXTMENU");
}

// ============================================================================
// Carets
// ============================================================================

GUITHREADINFO ThreadInfo() {
    GUITHREADINFO info;
    EXPECT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
    return info;
}

TEST_F(ContextMenuTest, ACaretBelongsToOneWindowOfTheThread) {
    POINT p{-5, -5};
    EXPECT_FALSE(GetCaretPos(&p));
    EXPECT_FALSE(SetCaretPos(1, 1));
    EXPECT_FALSE(DestroyCaret());
    EXPECT_FALSE(ShowCaret(nullptr));
    EXPECT_EQ(ThreadInfo().hwndCaret, nullptr);

    ASSERT_TRUE(CreateCaret(child, nullptr, 2, 14));
    ASSERT_TRUE(GetCaretPos(&p));
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    ASSERT_TRUE(SetCaretPos(12, 4));
    ASSERT_TRUE(GetCaretPos(&p));
    EXPECT_EQ(p.x, 12);
    EXPECT_EQ(p.y, 4);
    GUITHREADINFO info = ThreadInfo();
    EXPECT_EQ(info.hwndCaret, child);
    EXPECT_EQ(info.hwndFocus, child);
    EXPECT_EQ(info.hwndActive, form);
    EXPECT_EQ(info.rcCaret.left, 12);
    EXPECT_EQ(info.rcCaret.top, 4);
    EXPECT_EQ(info.rcCaret.right, 14);
    EXPECT_EQ(info.rcCaret.bottom, 18);

    // A second caret replaces the first; sizes of 0 are the border's.
    ASSERT_TRUE(CreateCaret(form, nullptr, 0, 0));
    info = ThreadInfo();
    EXPECT_EQ(info.hwndCaret, form);
    EXPECT_EQ(info.rcCaret.right, GetSystemMetrics(SM_CXBORDER));
    EXPECT_EQ(info.rcCaret.bottom, GetSystemMetrics(SM_CYBORDER));
    ASSERT_TRUE(GetCaretPos(&p));
    EXPECT_EQ(p.x, 0);

    // A bitmap gives its own size.
    HBITMAP bitmap = CreateBitmap(3, 9, 1, 1, nullptr);
    ASSERT_TRUE(CreateCaret(child, bitmap, 50, 50));
    info = ThreadInfo();
    EXPECT_EQ(info.rcCaret.right, 3);
    EXPECT_EQ(info.rcCaret.bottom, 9);
    DeleteObject(bitmap);

    ASSERT_TRUE(DestroyCaret());
    EXPECT_FALSE(GetCaretPos(&p));
    EXPECT_EQ(ThreadInfo().hwndCaret, nullptr);
    EXPECT_FALSE(CreateCaret(nullptr, nullptr, 1, 1));
}

TEST_F(ContextMenuTest, CaretsStartHiddenAndCountTheirHiding) {
    ASSERT_TRUE(CreateCaret(child, nullptr, 1, 10));
    auto blinking = [] { return (ThreadInfo().flags & GUI_CARETBLINKING) != 0; };
    EXPECT_FALSE(blinking());
    EXPECT_FALSE(ShowCaret(form));
    EXPECT_TRUE(ShowCaret(child));
    EXPECT_TRUE(blinking());
    EXPECT_TRUE(HideCaret(nullptr));
    EXPECT_TRUE(HideCaret(child));
    EXPECT_FALSE(HideCaret(form));
    EXPECT_TRUE(ShowCaret(nullptr));
    EXPECT_FALSE(blinking());
    EXPECT_TRUE(ShowCaret(child));
    EXPECT_TRUE(blinking());
    EXPECT_TRUE(ShowCaret(child));
    EXPECT_TRUE(HideCaret(child));
    EXPECT_FALSE(blinking());
}

TEST_F(ContextMenuTest, ACaretGoesWithItsWindow) {
    HWND other = Named("other", WS_CHILD | WS_VISIBLE, form, RECT{150, 20, 200, 60});
    ASSERT_TRUE(CreateCaret(child, nullptr, 1, 10));
    DestroyWindow(other);
    EXPECT_EQ(ThreadInfo().hwndCaret, child);
    // The caret lives until its window's WM_DESTROY is handled.
    bool hadCaretInDestroy = false;
    g_handler = Watching([&](HWND hwnd, UINT msg, WPARAM, LPARAM) {
        if (hwnd == child && msg == WM_DESTROY) hadCaretInDestroy = ThreadInfo().hwndCaret == child;
    });
    DestroyWindow(child);
    EXPECT_TRUE(hadCaretInDestroy);
    POINT p;
    EXPECT_FALSE(GetCaretPos(&p));
    EXPECT_EQ(ThreadInfo().hwndCaret, nullptr);
}

TEST_F(ContextMenuTest, ThreadInfoNeedsItsSizeAndAThreadWithAQueue) {
    GUITHREADINFO info;
    info.cbSize = 0;
    EXPECT_FALSE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
    EXPECT_FALSE(GetGUIThreadInfo(GetCurrentThreadId(), nullptr));
    GUITHREADINFO none;
    EXPECT_FALSE(GetGUIThreadInfo(GetCurrentThreadId() + 12345, &none));
    // 0 is the thread that has the keyboard.
    GUITHREADINFO keyboard;
    ASSERT_TRUE(GetGUIThreadInfo(0, &keyboard));
    EXPECT_EQ(keyboard.hwndFocus, child);
    SetCapture(child);
    EXPECT_EQ(ThreadInfo().hwndCapture, child);
    ReleaseCapture();
    EXPECT_EQ(ThreadInfo().hwndCapture, nullptr);
}

// ============================================================================
// A hook that runs a loop
// ============================================================================

UINT g_loopOn = 0;

// Runs the queue (as a menu shown by the hook does) on the key or button
// event it is called for first.
LRESULT LoopingHook(int code, WPARAM wParam, LPARAM) {
    if (code == HC_ACTION && g_loopOn && wParam == g_loopOn) {
        g_loopOn = 0;
        RunUntilIdle();
        return 1;
    }
    return CallNextHookEx(nullptr, code, 0, 0);
}

TEST_F(ContextMenuTest, TheKeyStateStaysTrueWhenAHookRanTheQueue) {
    struct Case {
        const char* what;
        int hook;
        UINT on;
        int vk;
        std::function<void()> input;
    };
    const Case cases[] = {
        {"a key press", WH_KEYBOARD, 'K', 'K',
         [] {
             InjectKey('K', true);
             InjectKey('K', false);
         }},
        {"a right-button release", WH_MOUSE, WM_RBUTTONUP, VK_RBUTTON,
         [] {
             InjectMouseButton(MouseButton::Right, true);
             InjectMouseButton(MouseButton::Right, false);
             InjectMouseButton(MouseButton::Right, true);
         }},
    };
    testdrv::MoveTo(child, POINT{5, 5});
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        HHOOK hook = SetWindowsHookEx(k.hook, &LoopingHook, nullptr, 0);
        g_loopOn = k.on;
        k.input();
        RunUntilIdle();
        UnhookWindowsHookEx(hook);
        EXPECT_EQ(g_loopOn, 0u);
        // The key is up after the press; the button, pressed again, is down.
        EXPECT_EQ(GetKeyState(k.vk) < 0, k.vk == VK_RBUTTON);
        if (k.vk == VK_RBUTTON) {
            InjectMouseButton(MouseButton::Right, false);
            RunUntilIdle();
        }
    }
}

} // namespace
