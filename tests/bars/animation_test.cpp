// The show animation of menu windows: the frames each kind produces (their
// places, sizes and pictures), their pacing by the tick counter, stopping by
// input, by destruction and by a second animation, and the fade with and
// without the system's AnimateWindow. The frames are drawn on the test's
// thread while the worker waits, so whatever a frame left on the window is
// read back just before the next one comes.
#include "bars/animation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "bars/submenu.h"
#include "bars/system.h"
#include "fixture.h"
#include "support/driver.h"
#include "win/driver.h"

namespace {

using namespace bars;
using testdrv::RunUntilIdle;

// The pixels of a window's client area (0xRRGGBB).
struct TImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;
    std::uint32_t At(int X, int Y) const { return Pixels[static_cast<std::size_t>(Y) * Width + X]; }
};

TImage CaptureClient(win::HWND AWnd) {
    TImage Image;
    win::RECT Client{};
    win::GetClientRect(AWnd, &Client);
    Image.Width = Client.right;
    Image.Height = Client.bottom;
    const gfx::HDC DC = win::GetDC(AWnd);
    const gfx::HDC Mem = gfx::CreateCompatibleDC(DC);
    const gfx::HBITMAP Bitmap = gfx::CreateBitmap(Image.Width, Image.Height, 1, 32, nullptr);
    const gfx::HGDIOBJ Old = gfx::SelectObject(Mem, Bitmap);
    gfx::BitBlt(Mem, 0, 0, Image.Width, Image.Height, DC, 0, 0, gfx::SRCCOPY);
    gfx::BitmapSurface Surface;
    if (gfx::GetBitmapSurface(Bitmap, &Surface))
        for (int Y = 0; Y < Image.Height; ++Y)
            for (int X = 0; X < Image.Width; ++X) Image.Pixels.push_back(Surface.Row(Y)[X] & 0xFFFFFF);
    gfx::SelectObject(Mem, Old);
    gfx::DeleteObject(Bitmap);
    gfx::DeleteDC(Mem);
    win::ReleaseDC(AWnd, DC);
    return Image;
}

// What the watched menu windows went through: every change of place or size
// (with the tick it came at and whether an animation of the window was
// running), the client area a frame left before the next change, and the
// screen at the window's centre the moment the window was shown.
class TFrameLog {
public:
    struct TEntry {
        win::HWND Wnd{};
        win::RECT Rect{};
        win::DWORD Tick = 0;
        bool Animating = false;
        TImage Client;
    };

    TFrameLog() { Current = this; }
    ~TFrameLog() {
        for (const auto& [Wnd, Proc] : FProcs)
            if (win::IsWindow(Wnd)) win::SetWindowLongPtr(Wnd, win::GWLP_WNDPROC, Proc);
        Current = nullptr;
    }
    TFrameLog(const TFrameLog&) = delete;
    TFrameLog& operator=(const TFrameLog&) = delete;

    void Watch(TdxBarSubMenuControl* AMenu) {
        const win::HWND Wnd = AMenu->Handle();
        FMenus[Wnd] = AMenu;
        FProcs[Wnd] = win::SetWindowLongPtr(Wnd, win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(&Proc));
    }
    // The frames of one window, in order.
    std::vector<TEntry> Frames(win::HWND AWnd) const {
        std::vector<TEntry> Result;
        for (const TEntry& E : Entries)
            if (E.Wnd == AWnd && E.Animating) Result.push_back(E);
        return Result;
    }

    std::vector<TEntry> Entries;
    // Called on the window's procedure with the number of the frame just placed.
    std::function<void(std::size_t)> OnFrame;
    std::map<win::HWND, gfx::COLORREF> ScreenWhenShown;
    std::map<win::HWND, bool> AnimatingWhenDestroyed;

private:
    static win::LRESULT Proc(win::HWND AWnd, win::UINT AMsg, win::WPARAM AWParam, win::LPARAM ALParam) {
        TFrameLog& Log = *Current;
        const TdxBarSubMenuControl* Menu = Log.FMenus[AWnd];
        switch (AMsg) {
            case win::WM_WINDOWPOSCHANGING:
                for (auto It = Log.Entries.rbegin(); It != Log.Entries.rend(); ++It) {
                    if (It->Wnd != AWnd) continue;
                    if (It->Animating && It->Client.Pixels.empty()) It->Client = CaptureClient(AWnd);
                    break;
                }
                break;
            case win::WM_WINDOWPOSCHANGED: {
                const auto* Pos = reinterpret_cast<const win::WINDOWPOS*>(ALParam);
                if (!(Pos->flags & win::SWP_NOMOVE) || !(Pos->flags & win::SWP_NOSIZE)) {
                    TEntry E;
                    E.Wnd = AWnd;
                    win::GetWindowRect(AWnd, &E.Rect);
                    E.Tick = win::GetTickCount();
                    E.Animating = IsMenuAnimating(Menu);
                    Log.Entries.push_back(E);
                    if (E.Animating && Log.OnFrame) Log.OnFrame(Log.Frames(AWnd).size());
                }
                if (Pos->flags & win::SWP_SHOWWINDOW) {
                    win::RECT R;
                    win::GetWindowRect(AWnd, &R);
                    Log.ScreenWhenShown[AWnd] =
                        win::ScreenPixel(win::POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2});
                }
                break;
            }
            case win::WM_DESTROY:
                Log.AnimatingWhenDestroyed[AWnd] = IsSubMenuAnimating();
                break;
            default:
                break;
        }
        return win::CallWindowProc(reinterpret_cast<win::WNDPROC>(Log.FProcs[AWnd]), AWnd, AMsg, AWParam,
                                   ALParam);
    }

    static inline TFrameLog* Current = nullptr;
    std::map<win::HWND, const TdxBarSubMenuControl*> FMenus;
    std::map<win::HWND, win::LONG_PTR> FProcs;
};

std::string Describe(const win::RECT& R) {
    return "(" + std::to_string(R.left) + "," + std::to_string(R.top) + "," + std::to_string(R.right) + "," +
           std::to_string(R.bottom) + ")";
}

class AnimationTest : public test::MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        Manager->UsePainter(test::TTestPainter::Class());
        AddButton(Popup->ItemLinks(), "&Открыть");
        AddButton(Popup->ItemLinks(), "&Закрыть", true);
        AddButton(Popup->ItemLinks(), "О &программе");
        AddButton(Popup->ItemLinks(), "&Выход", true);
        RunUntilIdle();
        WindowsBefore = win::GetTopLevelWindows().size();
        // A frame then waits for one tick of a millisecond.
        win::SetTickResolution(1);
    }
    void TearDown() override {
        win::SetEntryPointMissing("AnimateWindow", false);
        BindUser32EntryPoints();
        MenuTest::TearDown();
    }

    // A menu window as a show gets it: created, laid out, placed, hidden.
    static TdxBarSubMenuControl* PrepareMenu(TdxBarItemLinks* ALinks, win::POINT AAt = {100, 100},
                                             int AOwnerWidth = 0, int AOwnerHeight = 0) {
        auto* Menu = static_cast<TdxBarSubMenuControl*>(ALinks->CreateBarControl());
        Menu->SetLeft(AAt.x);
        Menu->SetTop(AAt.y);
        Menu->SetOwnerWidth(AOwnerWidth);
        Menu->SetOwnerHeight(AOwnerHeight);
        Menu->Handle();
        return Menu;
    }
    // The same with a client area of that size (a one-pixel frame around it).
    TdxBarSubMenuControl* PrepareMenuOfSize(int AWidth, int AHeight) {
        TdxBarSubMenuControl* Menu = PrepareMenu(Popup->ItemLinks());
        Menu->SetBounds(100, 100, AWidth + 2, AHeight + 2);
        return Menu;
    }
    // The links of a second popup menu.
    TdxBarItemLinks* OtherLinks() {
        auto* Other = new TdxBarPopupMenu(Form);
        AddButton(Other->ItemLinks(), "&Другое");
        return Other->ItemLinks();
    }
    // Serves the worker's frames, as a menu's message loop does, until the
    // animation has ended and its thread is joined.
    static void FinishAnimation() {
        RunUntilIdle();
        while (IsSubMenuAnimating()) {
            win::MsgWaitForMultipleObjects(0, nullptr, win::FALSE, win::INFINITE, win::QS_ALLINPUT);
            RunUntilIdle();
        }
    }
    // Serves the worker's frames (and nothing posted) until the window has
    // had ACount of them.
    static void ServeFrames(const TFrameLog& ALog, win::HWND AWnd, std::size_t ACount) {
        while (IsSubMenuAnimating() && ALog.Frames(AWnd).size() < ACount) {
            win::MsgWaitForMultipleObjects(0, nullptr, win::FALSE, win::INFINITE, win::QS_SENDMESSAGE);
            win::MSG Msg;
            win::PeekMessage(&Msg, nullptr, win::WM_NULL, win::WM_NULL, win::PM_NOREMOVE);
        }
    }
    static win::RECT PlaceOf(const TdxBarSubMenuControl* AMenu) {
        win::RECT R{};
        win::GetWindowRect(const_cast<TdxBarSubMenuControl*>(AMenu)->Handle(), &R);
        return R;
    }
    // The window at its place, visible and painted whole by itself.
    static void ExpectFullyShown(TdxBarSubMenuControl* AMenu, const win::RECT& APlace, const TImage& AWhole) {
        const win::RECT R = PlaceOf(AMenu);
        EXPECT_EQ(R, APlace) << Describe(R);
        EXPECT_TRUE(win::IsWindowVisible(AMenu->Handle()));
        EXPECT_FALSE(IsMenuAnimating(AMenu));
        const TImage Seen = CaptureClient(AMenu->Handle());
        EXPECT_TRUE(Seen.Pixels == AWhole.Pixels) << "the client area is not the whole menu";
    }
    // The picture of the finished menu: the same menu shown at once.
    TImage WholeMenu() {
        TdxBarSubMenuControl* Menu = PrepareMenu(Popup->ItemLinks());
        AnimateMenuShow(Menu, maNone);
        RunUntilIdle();
        TImage Image = CaptureClient(Menu->Handle());
        Menu->CloseAndFree();
        RunUntilIdle();
        return Image;
    }

    std::size_t WindowsBefore = 0;
};

// ============================================================================
// Frames
// ============================================================================

TEST_F(AnimationTest, EachKindGrowsTheWindowByItsStepsToItsFinalPlace) {
    struct Case {
        const char* Name;
        TdxBarMenuAnimations Kind;
        int W;
        int H;
        int Frames;
        // Client size of frame I.
        int (*Width)(int I);
        int (*Height)(int I);
    } Cases[] = {
        {"unfold, taller than wide", maUnfold, 200, 300, 25, [](int I) { return 8 * I; },
         [](int I) { return 100 + 8 * I; }},
        {"unfold, wider than tall", maUnfold, 300, 200, 25, [](int I) { return 100 + 8 * I; },
         [](int I) { return 8 * I; }},
        {"unfold, square, last step short", maUnfold, 100, 100, 12, [](int I) { return 8 * I; },
         [](int I) { return 8 * I; }},
        {"slide", maSlide, 200, 300, 17, [](int) { return 200; }, [](int I) { return 17 * I; }},
    };
    for (const Case& C : Cases) {
        TdxBarSubMenuControl* Menu = PrepareMenuOfSize(C.W, C.H);
        const win::HWND Wnd = Menu->Handle();
        TFrameLog Log;
        Log.Watch(Menu);
        AnimateMenuShow(Menu, C.Kind);
        EXPECT_TRUE(IsMenuAnimating(Menu)) << C.Name;
        FinishAnimation();

        const std::vector<TFrameLog::TEntry> Frames = Log.Frames(Wnd);
        ASSERT_EQ(Frames.size(), static_cast<std::size_t>(C.Frames)) << C.Name;
        for (int I = 1; I <= C.Frames; ++I) {
            const win::RECT Expected{100, 100, 100 + C.Width(I) + 2, 100 + C.Height(I) + 2};
            EXPECT_EQ(Frames[I - 1].Rect, Expected)
                << C.Name << " frame " << I << " " << Describe(Frames[I - 1].Rect);
        }
        EXPECT_TRUE(win::IsWindowVisible(Wnd)) << C.Name;
        EXPECT_EQ(PlaceOf(Menu), (win::RECT{100, 100, 100 + C.W + 2, 100 + C.H + 2})) << C.Name;
        Menu->CloseAndFree();
        RunUntilIdle();
    }
    EXPECT_EQ(win::GetTopLevelWindows().size(), WindowsBefore);
}

// The edges the menu grows from stay put, and the rows slide out from under
// them: growing downward a frame shows the bottom of the finished menu,
// growing upward its top; growing leftward its right part, else its left.
TEST_F(AnimationTest, FramesShowTheFinishedMenuFromTheEdgesItGrowsFrom) {
    const TImage Whole = WholeMenu();
    struct Case {
        const char* Name;
        win::POINT At;
        int OwnerWidth;
        int OwnerHeight;
        bool Leftward;
        bool Upward;
    } Cases[] = {{"down and right", {100, 100}, 0, 0, false, false},
                 {"up from a point near the bottom", {100, 700}, 0, 0, false, true},
                 {"left of an owner at the right", {1000, 100}, 50, 0, true, false},
                 {"left and up of an owner at the bottom right", {1000, 700}, 50, 20, true, true}};
    for (const Case& C : Cases) {
        for (TdxBarMenuAnimations Kind : {maUnfold, maSlide}) {
            TdxBarSubMenuControl* Menu = PrepareMenu(Popup->ItemLinks(), C.At, C.OwnerWidth, C.OwnerHeight);
            ASSERT_EQ(Menu->FlippedH(), C.Leftward) << C.Name;
            ASSERT_EQ(Menu->FlippedV(), C.Upward) << C.Name;
            const win::RECT Place = PlaceOf(Menu);
            TFrameLog Log;
            Log.Watch(Menu);
            AnimateMenuShow(Menu, Kind);
            FinishAnimation();
            const std::vector<TFrameLog::TEntry> Frames = Log.Frames(Menu->Handle());
            ASSERT_GE(Frames.size(), 2u) << C.Name;
            for (std::size_t I = 0; I < Frames.size(); ++I) {
                const TImage& Frame = Frames[I].Client;
                const win::RECT& R = Frames[I].Rect;
                ASSERT_GT(Frame.Width, 0) << C.Name << " frame " << I + 1;
                EXPECT_EQ(R.right - R.left, Frame.Width + 2);
                EXPECT_EQ(R.bottom - R.top, Frame.Height + 2);
                EXPECT_EQ(C.Leftward ? R.right : R.left, C.Leftward ? Place.right : Place.left)
                    << C.Name << " frame " << I + 1;
                EXPECT_EQ(C.Upward ? R.bottom : R.top, C.Upward ? Place.bottom : Place.top)
                    << C.Name << " frame " << I + 1;
                if (Kind == maSlide) {
                    EXPECT_EQ(Frame.Width, Whole.Width) << C.Name;
                }
                const int Left = C.Leftward && !C.Upward ? Whole.Width - Frame.Width : 0;
                const int Top = C.Upward ? 0 : Whole.Height - Frame.Height;
                bool Same = true;
                for (int Y = 0; Y < Frame.Height && Same; ++Y)
                    for (int X = 0; X < Frame.Width && Same; ++X)
                        Same = Frame.At(X, Y) == Whole.At(Left + X, Top + Y);
                EXPECT_TRUE(Same) << C.Name << ", kind " << Kind << ", frame " << I + 1
                                  << ": not the expected part of the menu";
            }
            ExpectFullyShown(Menu, Place, Whole);
            Menu->CloseAndFree();
            RunUntilIdle();
        }
    }
}

// Shown the way a popup menu shows it, an unfolding or sliding window stays
// hidden until its first frame places it, at that frame's size.
TEST_F(AnimationTest, TheWindowAppearsWithItsFirstFrame) {
    for (TdxBarMenuAnimations Kind : {maUnfold, maSlide}) {
        Manager->SetMenuAnimations(Kind);
        auto* Menu = static_cast<TdxBarSubMenuControl*>(Popup->ItemLinks()->CreateBarControl());
        Menu->SetLeft(100);
        Menu->SetTop(100);
        Menu->SetAnimate(true);
        Menu->ShowAnimated();
        ASSERT_TRUE(IsMenuAnimating(Menu)) << Kind;
        const win::HWND Wnd = Menu->Handle();
        EXPECT_FALSE(win::IsWindowVisible(Wnd)) << Kind;
        const win::RECT Place = PlaceOf(Menu);
        TFrameLog Log;
        Log.Watch(Menu);
        FinishAnimation();
        const std::vector<TFrameLog::TEntry> Frames = Log.Frames(Wnd);
        ASSERT_FALSE(Frames.empty()) << Kind;
        ASSERT_EQ(Log.ScreenWhenShown.count(Wnd), 1u) << Kind;
        const int Step = Kind == maUnfold ? 8 : 17;
        const win::RECT First = Frames.front().Rect;
        EXPECT_EQ(Kind == maUnfold ? std::min(First.right - First.left, First.bottom - First.top)
                                   : First.bottom - First.top,
                  Step + 2)
            << Kind << " " << Describe(First);
        EXPECT_EQ(PlaceOf(Menu), Place) << Kind;
        EXPECT_TRUE(win::IsWindowVisible(Wnd)) << Kind;
        Menu->CloseAndFree();
        RunUntilIdle();
    }
}

TEST_F(AnimationTest, FramesComeAtLeastATickApart) {
    for (win::DWORD Resolution : {1u, 6u}) {
        win::SetTickResolution(Resolution);
        TdxBarSubMenuControl* Menu = PrepareMenuOfSize(120, 160);
        TFrameLog Log;
        Log.Watch(Menu);
        AnimateMenuShow(Menu, maUnfold);
        FinishAnimation();
        const std::vector<TFrameLog::TEntry> Frames = Log.Frames(Menu->Handle());
        ASSERT_EQ(Frames.size(), 15u) << Resolution;
        for (std::size_t I = 1; I < Frames.size(); ++I)
            EXPECT_GT(Frames[I].Tick, Frames[I - 1].Tick) << Resolution << " frame " << I + 1;
        Menu->CloseAndFree();
        RunUntilIdle();
    }
}

// Under the real clock the worker really waits between frames while the
// GUI thread runs its loop.
TEST_F(AnimationTest, TheRealClockGivesTheSameFrames) {
    win::SetManualClock(false);
    TdxBarSubMenuControl* Menu = PrepareMenuOfSize(100, 60);
    TFrameLog Log;
    Log.Watch(Menu);
    AnimateMenuShow(Menu, maUnfold);
    FinishAnimation();
    const std::vector<TFrameLog::TEntry> Frames = Log.Frames(Menu->Handle());
    ASSERT_EQ(Frames.size(), 7u);
    for (int I = 1; I <= 7; ++I)
        EXPECT_EQ(Frames[I - 1].Rect, (win::RECT{100, 100, 100 + 40 + 8 * I + 2, 100 + 8 * I + 2})) << I;
    EXPECT_EQ(PlaceOf(Menu), (win::RECT{100, 100, 202, 162}));
    Menu->CloseAndFree();
    RunUntilIdle();
}

// ============================================================================
// Stopping
// ============================================================================

// Stopped before the menu handles input, the window is at once whole at its
// place; the input waits in the queue meanwhile, and no frame comes after.
TEST_F(AnimationTest, StoppingLeavesTheMenuWholeAndTheInputQueued) {
    for (TdxBarMenuAnimations Kind : {maUnfold, maSlide}) {
        TdxBarSubMenuControl* Menu = PrepareMenuOfSize(200, 300);
        const win::HWND Wnd = Menu->Handle();
        const TImage Whole = [&] {
            AnimateMenuShow(Menu, maNone);
            RunUntilIdle();
            TImage Image = CaptureClient(Wnd);
            win::ShowWindow(Wnd, win::SW_HIDE);
            return Image;
        }();
        TFrameLog Log;
        Log.Watch(Menu);
        AnimateMenuShow(Menu, Kind);
        ServeFrames(Log, Wnd, 2);
        win::PostMessage(Wnd, win::WM_KEYDOWN, win::VK_DOWN, 1);
        StopMenuAnimation(Menu);

        EXPECT_FALSE(IsSubMenuAnimating()) << Kind;
        const std::size_t Drawn = Log.Frames(Wnd).size();
        EXPECT_GE(Drawn, 2u) << Kind;
        EXPECT_LT(Drawn, Kind == maUnfold ? 25u : 17u) << Kind;
        ExpectFullyShown(Menu, win::RECT{100, 100, 302, 402}, Whole);
        win::MSG Msg;
        EXPECT_TRUE(win::PeekMessage(&Msg, Wnd, win::WM_KEYDOWN, win::WM_KEYDOWN, win::PM_NOREMOVE)) << Kind;
        testdrv::Advance(500);
        EXPECT_EQ(Log.Frames(Wnd).size(), Drawn) << Kind;
        Menu->CloseAndFree();
        RunUntilIdle();
    }
    EXPECT_EQ(win::GetTopLevelWindows().size(), WindowsBefore);
}

// The menu's own input stops its animation first: a key during an unfold
// finds the menu whole and moves its selection.
TEST_F(AnimationTest, AKeyStopsTheAnimationBeforeTheMenuHandlesIt) {
    Manager->SetMenuAnimations(maUnfold);
    auto* Menu = static_cast<TdxBarSubMenuControl*>(Popup->ItemLinks()->CreateBarControl());
    Menu->SetLeft(100);
    Menu->SetTop(100);
    Menu->ShowAnimated();
    ASSERT_TRUE(IsMenuAnimating(Menu));
    const win::RECT Place = PlaceOf(Menu);
    TFrameLog Log;
    Log.Watch(Menu);
    ServeFrames(Log, Menu->Handle(), 2);
    KeyToMenu(win::VK_DOWN);

    EXPECT_FALSE(IsSubMenuAnimating());
    EXPECT_EQ(Selected(), "&Открыть");
    EXPECT_EQ(PlaceOf(Menu), Place);
    EXPECT_TRUE(win::IsWindowVisible(Menu->Handle()));
    const std::size_t Drawn = Log.Frames(Menu->Handle()).size();
    testdrv::Advance(500);
    EXPECT_EQ(Log.Frames(Menu->Handle()).size(), Drawn);
    Menu->CloseAndFree();
    RunUntilIdle();
}

// A stop asked while a frame is being put in place (the worker waits for
// that very frame) takes effect once the frame is done.
TEST_F(AnimationTest, StoppingDuringAFrameEndsTheAnimationAfterIt) {
    const TImage Whole = WholeMenu();
    TdxBarSubMenuControl* Menu = PrepareMenu(Popup->ItemLinks());
    const win::RECT Place = PlaceOf(Menu);
    TFrameLog Log;
    Log.Watch(Menu);
    Log.OnFrame = [Menu](std::size_t AFrame) {
        if (AFrame == 3) StopMenuAnimation(Menu);
    };
    AnimateMenuShow(Menu, maSlide);
    FinishAnimation();
    EXPECT_EQ(Log.Frames(Menu->Handle()).size(), 3u);
    ExpectFullyShown(Menu, Place, Whole);
    Menu->CloseAndFree();
    RunUntilIdle();
    EXPECT_EQ(win::GetTopLevelWindows().size(), WindowsBefore);
}

// Stopping another window's animation, or when none runs, does nothing.
TEST_F(AnimationTest, StoppingOtherWindowsLeavesTheAnimationRunning) {
    TdxBarSubMenuControl* Menu = PrepareMenuOfSize(100, 100);
    TdxBarSubMenuControl* Other = PrepareMenu(OtherLinks(), win::POINT{500, 100});
    StopMenuAnimation(Menu);
    AnimateMenuShow(Menu, maUnfold);
    StopMenuAnimation(Other);
    StopMenuAnimation(nullptr);
    EXPECT_TRUE(IsMenuAnimating(Menu));
    EXPECT_FALSE(IsMenuAnimating(Other));
    EXPECT_FALSE(IsMenuAnimating(nullptr));
    FinishAnimation();
    EXPECT_FALSE(IsMenuAnimating(Menu));
    Other->CloseAndFree();
    Menu->CloseAndFree();
    RunUntilIdle();
}

// Closing the menu stops the worker before the window goes; nothing of the
// animation outlives the window.
TEST_F(AnimationTest, ClosingTheMenuEndsItsAnimationBeforeTheWindowGoes) {
    TdxBarSubMenuControl* Menu = PrepareMenuOfSize(200, 300);
    const win::HWND Wnd = Menu->Handle();
    TFrameLog Log;
    Log.Watch(Menu);
    AnimateMenuShow(Menu, maUnfold);
    ServeFrames(Log, Wnd, 3);
    Menu->CloseAndFree();

    ASSERT_EQ(Log.AnimatingWhenDestroyed.count(Wnd), 1u);
    EXPECT_FALSE(Log.AnimatingWhenDestroyed[Wnd]);
    EXPECT_FALSE(IsSubMenuAnimating());
    EXPECT_FALSE(win::IsWindow(Wnd));
    const std::size_t Drawn = Log.Frames(Wnd).size();
    EXPECT_LT(Drawn, 25u);
    testdrv::Advance(500);
    EXPECT_EQ(Log.Frames(Wnd).size(), Drawn);
    EXPECT_EQ(win::GetTopLevelWindows().size(), WindowsBefore);
    // The next menu animates as usual.
    TdxBarSubMenuControl* Next = PrepareMenuOfSize(100, 100);
    TFrameLog NextLog;
    NextLog.Watch(Next);
    AnimateMenuShow(Next, maSlide);
    FinishAnimation();
    EXPECT_EQ(NextLog.Frames(Next->Handle()).size(), 5u);
    Next->CloseAndFree();
    RunUntilIdle();
}

// One animation at a time: a second show ends the first, which is whole at
// its place before the second one's first frame.
TEST_F(AnimationTest, ASecondAnimationEndsTheFirst) {
    const TImage Whole = WholeMenu();
    TdxBarSubMenuControl* First = PrepareMenu(Popup->ItemLinks());
    const win::RECT Place = PlaceOf(First);
    TdxBarSubMenuControl* Second = PrepareMenu(OtherLinks(), win::POINT{500, 300});
    TFrameLog Log;
    Log.Watch(First);
    Log.Watch(Second);

    AnimateMenuShow(First, maUnfold);
    ServeFrames(Log, First->Handle(), 2);
    AnimateMenuShow(Second, maSlide);
    EXPECT_FALSE(IsMenuAnimating(First));
    EXPECT_TRUE(IsMenuAnimating(Second));
    ExpectFullyShown(First, Place, Whole);
    FinishAnimation();

    ASSERT_GE(Log.Frames(First->Handle()).size(), 2u);
    ASSERT_FALSE(Log.Frames(Second->Handle()).empty());
    std::vector<win::HWND> Order;
    for (const TFrameLog::TEntry& E : Log.Entries)
        if (E.Animating && (Order.empty() || Order.back() != E.Wnd)) Order.push_back(E.Wnd);
    EXPECT_EQ(Order, (std::vector<win::HWND>{First->Handle(), Second->Handle()}));
    Second->CloseAndFree();
    First->CloseAndFree();
    RunUntilIdle();
}

// ============================================================================
// Fade, none and random
// ============================================================================

// A fading window comes on the screen fully transparent and is whole once
// the blend is over; without AnimateWindow it shows at once.
TEST_F(AnimationTest, FadeBlendsThroughAnimateWindowWhenTheSystemHasIt) {
    const TImage Whole = WholeMenu();
    const gfx::COLORREF Desktop = win::ScreenPixel(win::POINT{900, 600});
    struct Case {
        const char* Name;
        TdxBarMenuAnimations Kind;
        bool AnimateWindowMissing;
        bool Transparent;
    } Cases[] = {{"fade", maFade, false, true},
                 {"fade without AnimateWindow", maFade, true, false},
                 {"none", maNone, false, false}};
    for (const Case& C : Cases) {
        win::SetEntryPointMissing("AnimateWindow", C.AnimateWindowMissing);
        BindUser32EntryPoints();
        TdxBarSubMenuControl* Menu = PrepareMenu(Popup->ItemLinks(), win::POINT{700, 300});
        const win::RECT Place = PlaceOf(Menu);
        TFrameLog Log;
        Log.Watch(Menu);
        AnimateMenuShow(Menu, C.Kind);
        EXPECT_FALSE(IsSubMenuAnimating()) << C.Name;
        ASSERT_EQ(Log.ScreenWhenShown.count(Menu->Handle()), 1u) << C.Name;
        EXPECT_EQ(Log.ScreenWhenShown[Menu->Handle()] == Desktop, C.Transparent) << C.Name;
        EXPECT_TRUE(Log.Entries.empty()) << C.Name;
        ExpectFullyShown(Menu, Place, Whole);
        const win::POINT Centre{(Place.left + Place.right) / 2, (Place.top + Place.bottom) / 2};
        EXPECT_NE(win::ScreenPixel(Centre), Desktop) << C.Name;
        Menu->CloseAndFree();
        RunUntilIdle();
    }
}

TEST_F(AnimationTest, RandomPicksUnfoldSlideOrFadeAnewForEveryShow) {
    std::map<std::string, int> Seen;
    for (int I = 0; I < 60; ++I) {
        TdxBarSubMenuControl* Menu = PrepareMenuOfSize(40, 24);
        TFrameLog Log;
        Log.Watch(Menu);
        AnimateMenuShow(Menu, maRandom);
        FinishAnimation();
        const std::vector<TFrameLog::TEntry> Frames = Log.Frames(Menu->Handle());
        if (Frames.empty())
            ++Seen["fade"];
        else if (Frames.front().Rect.right - Frames.front().Rect.left == 42)
            ++Seen["slide"];
        else
            ++Seen["unfold"];
        Menu->CloseAndFree();
        RunUntilIdle();
    }
    EXPECT_EQ(Seen.size(), 3u);
    EXPECT_EQ(Seen["fade"] + Seen["slide"] + Seen["unfold"], 60);
}

} // namespace
