// Capture, activation and parenting while windows are being destroyed, and a
// random stress of the window system with handlers that fight the destruction.
#include "recording.h"
#include "win/internal.h"

#include <functional>
#include <map>
#include <random>
#include <set>

using namespace win;
using namespace win::test;
using namespace testdrv;

namespace {

class LifecycleTest : public RecordingTest {};

// Every live window is listed once by its parent (or the top-level z-order),
// every listed handle is live, and none is still marked as being destroyed
// once no destruction is under way.
void ExpectSoundHierarchy() {
    using namespace win::detail;
    Guard g(Lock());
    std::map<HWND, int> listed;
    for (HWND h : TopLevelZOrder()) ++listed[h];
    for (HWND h : AllWindows()) {
        const Window* w = GetWnd(h);
        for (HWND c : w->children) {
            ++listed[c];
            const Window* cw = GetWnd(c);
            ASSERT_NE(cw, nullptr) << "a dead handle in a child list";
            EXPECT_EQ(cw->parent, h);
        }
    }
    for (HWND h : AllWindows()) {
        const Window* w = GetWnd(h);
        EXPECT_FALSE(w->destroying) << "a window survived its destruction";
        if (w->parent) {
            EXPECT_NE(GetWnd(w->parent), nullptr) << "a child of a dead parent";
            EXPECT_EQ(listed[h], 1);
        } else if (!w->messageOnly) {
            EXPECT_EQ(listed[h], 1);
        }
    }
    for (const auto& [h, count] : listed) EXPECT_NE(GetWnd(h), nullptr);
}

// ============================================================================
// Capture
// ============================================================================

TEST_F(LifecycleTest, TheCaptureIsTakenFromADestroyedWindowAfterItsDestroyMessage) {
    struct Case {
        const char* name;
        bool parentHolds;   // the destroyed window holds the capture, else its child
        bool takeInDestroy; // it takes the capture inside its WM_DESTROY
        const char* expected;
    };
    const Case cases[] = {
        {"the destroyed window", true, false,
         "p:WM_DESTROY p:WM_CAPTURECHANGED c:WM_DESTROY c:WM_NCDESTROY p:WM_NCDESTROY"},
        {"its child", false, false,
         "p:WM_DESTROY c:WM_DESTROY c:WM_CAPTURECHANGED c:WM_NCDESTROY p:WM_NCDESTROY"},
        {"taken inside WM_DESTROY", false, true,
         "p:WM_DESTROY c:WM_DESTROY c:WM_CAPTURECHANGED c:WM_NCDESTROY p:WM_NCDESTROY"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND p = Named("p", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 200, 200});
        HWND child = Named("c", WS_CHILD | WS_VISIBLE, p);
        HWND holder = c.parentHolds ? p : child;
        if (c.takeInDestroy) {
            g_handler = Watching([holder](HWND h, UINT m, WPARAM, LPARAM) {
                if (h == holder && m == WM_DESTROY) SetCapture(h);
            });
        } else {
            SetCapture(holder);
        }
        g_seen.clear();
        g_only = {WM_DESTROY, WM_NCDESTROY, WM_CAPTURECHANGED};
        EXPECT_TRUE(DestroyWindow(p));
        g_handler = nullptr;
        EXPECT_EQ(Seq(), c.expected);
        for (const Seen& s : g_seen) {
            if (s.msg == WM_CAPTURECHANGED) {
                EXPECT_EQ(s.lParam, 0);
            }
        }
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

TEST_F(LifecycleTest, SetCaptureTellsTheHolderItLostTheCapture) {
    HWND a = Named("a", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 100, 100});
    HWND b = Named("b", WS_POPUP | WS_VISIBLE, nullptr, RECT{200, 0, 300, 100});
    HWND child = Named("c", WS_CHILD | WS_VISIBLE, a);
    g_only = {WM_CAPTURECHANGED};
    struct Step {
        HWND target;
        HWND answer; // SetCapture's result: the previous holder
        const char* expected;
    };
    const Step steps[] = {
        {a, nullptr, ""},
        {a, a, "a:WM_CAPTURECHANGED"}, // taking it again tells the holder as any change
        {b, a, "a:WM_CAPTURECHANGED"},
        {child, b, "b:WM_CAPTURECHANGED"},
        {a, child, "c:WM_CAPTURECHANGED"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(g_names[s.target]);
        g_seen.clear();
        EXPECT_EQ(SetCapture(s.target), s.answer);
        EXPECT_EQ(Seq(), s.expected);
        if (!g_seen.empty()) {
            EXPECT_EQ(g_seen[0].lParam, reinterpret_cast<LPARAM>(s.target));
        }
        EXPECT_EQ(GetCapture(), s.target);
    }
}

// ============================================================================
// Activation
// ============================================================================

TEST_F(LifecycleTest, SetActiveWindowOnAChildChangesNothing) {
    HWND a = Named("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND b = Named("b", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND childOfA = Named("ca", WS_CHILD | WS_VISIBLE, a);
    RunUntilIdle();
    ASSERT_EQ(GetActiveWindow(), b);
    g_seen.clear();
    g_only = {WM_ACTIVATE, WM_NCACTIVATE, WM_SETFOCUS, WM_KILLFOCUS, WM_CHILDACTIVATE};
    EXPECT_EQ(SetActiveWindow(childOfA), b);
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(Seq(), "");
    // The top-level window itself is activated as usual.
    EXPECT_EQ(SetActiveWindow(a), b);
    EXPECT_EQ(GetActiveWindow(), a);
}

// ============================================================================
// Parenting during destruction
// ============================================================================

TEST_F(LifecycleTest, NoChildComesToAWindowInItsNcDestroyAndNoneLeavesIt) {
    struct Case {
        const char* name;
        // Runs in the WM_NCDESTROY of `dying`; `other` is a live window elsewhere.
        std::function<bool(HWND dying, HWND other)> act;
    };
    const Case cases[] = {
        {"a child created",
         [](HWND dying, HWND) { return Named("new", WS_CHILD | WS_VISIBLE, dying) != nullptr; }},
        {"the window moved to another parent",
         [](HWND dying, HWND other) { return SetParent(dying, other) != nullptr; }},
        {"the window moved to the desktop",
         [](HWND dying, HWND) { return SetParent(dying, nullptr) != nullptr; }},
        {"another window moved into it",
         [](HWND dying, HWND other) {
             HWND moved = GetWindow(other, GW_CHILD);
             return SetParent(moved, dying) != nullptr;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND top = Named("top", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 200, 200});
        HWND dying = Named("dying", WS_CHILD | WS_VISIBLE, top);
        HWND other = Named("other", WS_POPUP | WS_VISIBLE, nullptr, RECT{300, 0, 500, 200});
        HWND otherChild = Named("oc", WS_CHILD | WS_VISIBLE, other);
        bool done = true;
        DWORD error = 0;
        g_handler = Watching([&](HWND h, UINT m, WPARAM, LPARAM) {
            if (h != dying || m != WM_NCDESTROY) return;
            SetLastError(0);
            done = c.act(dying, other);
            error = GetLastError();
        });
        EXPECT_TRUE(DestroyWindow(dying));
        g_handler = nullptr;
        EXPECT_FALSE(done);
        EXPECT_EQ(error, ERROR_INVALID_PARAMETER);
        EXPECT_FALSE(IsWindow(dying));
        EXPECT_EQ(GetChildWindows(top), std::vector<HWND>{});
        EXPECT_EQ(GetChildWindows(other), std::vector<HWND>{otherChild});
        EXPECT_EQ(GetParent(otherChild), other);
        ExpectSoundHierarchy();
        DestroyWindow(top);
        DestroyWindow(other);
        EXPECT_TRUE(GetTopLevelWindows().empty());
    }
}

TEST_F(LifecycleTest, AChildCannotEscapeItsParentsDestruction) {
    struct Case {
        const char* name;
        UINT when; // the child's message in which it tries
        std::function<HWND(HWND child, HWND other)> escape;
        bool destroyChildItself; // DestroyWindow on the child rather than on its parent
    };
    const Case cases[] = {
        {"to the desktop in WM_DESTROY", WM_DESTROY, [](HWND c, HWND) { return SetParent(c, nullptr); },
         false},
        {"to another window in WM_DESTROY", WM_DESTROY, [](HWND c, HWND o) { return SetParent(c, o); },
         false},
        {"while hidden by the destruction", WM_SHOWWINDOW, [](HWND c, HWND o) { return SetParent(c, o); },
         true},
        {"to the desktop in its own WM_DESTROY", WM_DESTROY,
         [](HWND c, HWND) { return SetParent(c, nullptr); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND parent = Named("p", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 200, 200});
        HWND child = Named("c", WS_CHILD | WS_VISIBLE, parent);
        HWND other = Named("o", WS_POPUP | WS_VISIBLE, nullptr, RECT{300, 0, 500, 200});
        int tries = 0;
        HWND answer = parent;
        DWORD error = 0;
        g_handler = Watching([&](HWND h, UINT m, WPARAM, LPARAM) {
            if (h != child || m != c.when || tries++) return;
            answer = c.escape(child, other);
            error = GetLastError();
        });
        EXPECT_TRUE(DestroyWindow(c.destroyChildItself ? child : parent));
        g_handler = nullptr;
        EXPECT_EQ(tries, 1);
        EXPECT_EQ(answer, nullptr);
        EXPECT_EQ(error, ERROR_INVALID_PARAMETER);
        EXPECT_FALSE(IsWindow(child));
        EXPECT_EQ(GetChildWindows(other), std::vector<HWND>{});
        EXPECT_EQ(WindowFromPoint(POINT{20, 20}), c.destroyChildItself ? parent : nullptr);
        ExpectSoundHierarchy();
        DestroyWindow(parent);
        DestroyWindow(other);
    }
}

TEST_F(LifecycleTest, ChildrenArrivingDuringTheDestructionGoWithItAndHearWmDestroy) {
    HWND parent = Named("p", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 200, 200});
    HWND first = Named("c1", WS_CHILD | WS_VISIBLE, parent);
    HWND late{};
    g_handler = Watching([&](HWND h, UINT m, WPARAM, LPARAM) {
        // Created after the parent's children were told: it still hears WM_DESTROY.
        if (h == first && m == WM_DESTROY) late = Named("late", WS_CHILD | WS_VISIBLE, parent);
    });
    g_seen.clear();
    g_only = {WM_DESTROY, WM_NCDESTROY};
    EXPECT_TRUE(DestroyWindow(parent));
    g_handler = nullptr;
    ASSERT_NE(late, nullptr);
    EXPECT_FALSE(IsWindow(late));
    EXPECT_EQ(Seq(), "p:WM_DESTROY c1:WM_DESTROY late:WM_DESTROY late:WM_NCDESTROY c1:WM_NCDESTROY "
                     "p:WM_NCDESTROY");
    ExpectSoundHierarchy();
}

TEST_F(LifecycleTest, AChildTakenElsewhereBeforeItsTurnLivesOn) {
    HWND parent = Named("p", WS_POPUP | WS_VISIBLE, nullptr, RECT{0, 0, 200, 200});
    HWND other = Named("o", WS_POPUP | WS_VISIBLE, nullptr, RECT{300, 0, 500, 200});
    HWND kept = Named("k", WS_CHILD | WS_VISIBLE, parent);
    HWND first = Named("c1", WS_CHILD | WS_VISIBLE, parent);
    ASSERT_EQ(GetWindow(parent, GW_CHILD), first);
    g_handler = Watching([&](HWND h, UINT m, WPARAM, LPARAM) {
        // The sibling told first moves the other one out before its turn.
        if (h == first && m == WM_DESTROY) SetParent(kept, other);
    });
    g_seen.clear();
    g_only = {WM_DESTROY, WM_NCDESTROY};
    EXPECT_TRUE(DestroyWindow(parent));
    g_handler = nullptr;
    EXPECT_EQ(Seq(), "p:WM_DESTROY c1:WM_DESTROY c1:WM_NCDESTROY p:WM_NCDESTROY");
    EXPECT_TRUE(IsWindow(kept));
    EXPECT_EQ(GetParent(kept), other);
    ExpectSoundHierarchy();
}

// ============================================================================
// Stress
// ============================================================================

// Random operations on a small family of windows whose handlers do random
// operations of their own, reparenting, creating and destroying windows in the
// middle of their destruction. The hierarchy stays sound throughout, and
// everything goes when destroyed.
TEST_F(LifecycleTest, HostileHandlersNeverBreakTheHierarchy) {
    std::mt19937 rng(20240611);
    std::vector<HWND> made;
    auto pick = [&]() -> HWND {
        if (made.empty()) return nullptr;
        return made[std::uniform_int_distribution<std::size_t>(0, made.size() - 1)(rng)];
    };
    auto chance = [&](int percent) { return std::uniform_int_distribution<int>(0, 99)(rng) < percent; };
    int depth = 0;
    std::function<void(HWND)> act = [&](HWND self) {
        if (depth > 3) return;
        ++depth;
        HWND other = chance(30) ? self : pick();
        switch (std::uniform_int_distribution<int>(0, 9)(rng)) {
            case 0:
            case 1:
                SetParent(other, chance(25) ? nullptr : pick());
                break;
            case 2: {
                HWND parent = chance(70) ? other : nullptr;
                if (HWND h =
                        Named("x", (parent ? WS_CHILD : WS_POPUP) | WS_VISIBLE, parent, RECT{5, 5, 60, 60}))
                    made.push_back(h);
                break;
            }
            case 3:
                DestroyWindow(other);
                break;
            case 4:
                ShowWindow(other, chance(50) ? SW_HIDE : SW_SHOW);
                break;
            case 5:
                SetWindowPos(other, pick(), std::uniform_int_distribution<int>(-20, 200)(rng), 10, 50, 40,
                             SWP_NOACTIVATE);
                break;
            case 6:
                SetCapture(other);
                break;
            case 7:
                SetWindowRgn(other, CreateRectRgn(0, 0, 30, 30), TRUE);
                break;
            case 8:
                SetActiveWindow(other);
                break;
            default:
                SetFocus(other);
                break;
        }
        --depth;
    };
    const std::set<UINT> hostile = {WM_DESTROY,          WM_NCDESTROY,    WM_SHOWWINDOW, WM_CAPTURECHANGED,
                                    WM_WINDOWPOSCHANGED, WM_PARENTNOTIFY, WM_KILLFOCUS,  WM_CREATE};
    g_handler = Watching([&](HWND h, UINT m, WPARAM, LPARAM) {
        if (hostile.count(m) && chance(35)) act(h);
    });
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        for (int i = 0; i < 4; ++i)
            if (HWND h = Named("top", WS_POPUP | WS_VISIBLE, nullptr, RECT{10 * i, 10, 10 * i + 200, 210}))
                made.push_back(h);
        for (int step = 0; step < 40; ++step) {
            act(pick());
            std::erase_if(made, [](HWND h) { return !IsWindow(h); });
            ExpectSoundHierarchy();
            if (HasFailure()) return;
        }
        RunUntilIdle();
        for (HWND h : GetTopLevelWindows()) DestroyWindow(h);
        std::erase_if(made, [](HWND h) { return !IsWindow(h); });
        ExpectSoundHierarchy();
    }
    g_handler = nullptr;
    for (HWND h : GetTopLevelWindows()) DestroyWindow(h);
    EXPECT_TRUE(GetTopLevelWindows().empty());
    ComposeScreen();
}

} // namespace
