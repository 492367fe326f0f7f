#include "bars/animation.h"

#include "bars/registry.h"
#include "bars/submenu.h"
#include "bars/system.h"
#include "gfx/gdi.h"
#include "win/user.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <random>

namespace bars {

namespace {

// What the worker asks of the helper window, which the GUI thread serves.
constexpr win::UINT AM_FRAME = win::WM_APP + 1;    // wParam: the frame's number, from 1
constexpr win::UINT AM_FINISHED = win::WM_APP + 2; // every frame drawn
// Posted by the helper to itself: the worker sends nothing more and can be joined.
constexpr win::UINT AM_JOIN = win::WM_APP + 3;
constexpr const char* HelperClassName = "TdxBarMenuAnimation";
// PeekMessage's window filter for the thread's own messages, no window's.
const win::HWND ThreadMessagesOnly = reinterpret_cast<win::HWND>(static_cast<std::uintptr_t>(-1));

constexpr win::DWORD FadeTime = 150;
constexpr int UnfoldStep = 8;
constexpr int SlideStep = 17;

// The one animation of the process. The worker reads the frame count, the
// helper window and the stop flag; the rest belongs to the GUI thread.
struct TMenuAnimation {
    TdxBarSubMenuControl* Menu = nullptr;
    win::HWND Wnd = nullptr;
    win::HWND Helper = nullptr;
    win::HANDLE Thread = nullptr;
    TdxBarMenuAnimations Kind = maUnfold;
    bool GrowLeftward = false;
    bool GrowUpward = false;
    // The final window rectangle, the final client size and the frame's share
    // of the window size.
    win::RECT Final{};
    int W = 0;
    int H = 0;
    int FrameWidth = 0;
    int FrameHeight = 0;
    // Unfold keeps the difference D between height and width while it grows
    // the smaller of the two; slide grows the height alone.
    int D = 0;
    int Step = 0;
    int Frames = 0;
    // The finished menu, painted once.
    gfx::HDC MemDC = nullptr;
    gfx::HBITMAP Bitmap = nullptr;
    gfx::HGDIOBJ OldBitmap = nullptr;
    // GUI thread: a sent request of the worker is being served (the worker
    // waits for it, so it cannot be joined now); the window was given its
    // final place (or left alone while closing).
    int Serving = 0;
    bool Joining = false;
    bool Ended = false;
    // Set by the GUI thread; the event wakes the worker from its wait
    // between frames.
    std::atomic<bool> Stop{false};
    win::HANDLE StopEvent = nullptr;

    void RequestStop() {
        Stop = true;
        win::SetEvent(StopEvent);
    }
};

std::unique_ptr<TMenuAnimation> GAnimation;
std::atomic<const TdxBarSubMenuControl*> GAnimatedMenu{nullptr};

TdxBarMenuAnimations RandomKind() {
    static std::minstd_rand Generator{std::random_device{}()};
    const int R = static_cast<int>(Generator() % 100);
    return R < 33 ? maUnfold : R < 66 ? maSlide : maFade;
}

void ShowAtOnce(win::HWND AWnd) {
    win::SetWindowPos(AWnd, nullptr, 0, 0, 0, 0,
                      win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE |
                          win::SWP_SHOWWINDOW);
    ProcessPaintMessages();
}

// --- Frames ---

struct TFrame {
    win::RECT Window{};
    // The part of the finished menu the frame's client area shows.
    int SourceX = 0;
    int SourceY = 0;
    int Width = 0;
    int Height = 0;
};

// The edges the window grows from stay where they are; growing downward the
// rows slide out from under the top edge (the image's bottom part shows),
// growing upward from under the bottom edge.
TFrame FrameOf(const TMenuAnimation& A, int I) {
    TFrame F;
    if (A.D < 0) {
        F.Height = I * A.Step;
        F.Width = -A.D + F.Height;
    } else {
        F.Width = I * A.Step;
        F.Height = A.D + F.Width;
    }
    if (A.Kind == maSlide) F.Width = A.W;
    const int WindowWidth = F.Width + A.FrameWidth;
    const int WindowHeight = F.Height + A.FrameHeight;
    F.Window.left = A.GrowLeftward ? A.Final.right - WindowWidth : A.Final.left;
    F.Window.top = A.GrowUpward ? A.Final.bottom - WindowHeight : A.Final.top;
    F.Window.right = F.Window.left + WindowWidth;
    F.Window.bottom = F.Window.top + WindowHeight;
    if (!A.GrowUpward) {
        F.SourceY = A.H - F.Height;
        if (A.GrowLeftward) F.SourceX = A.W - F.Width;
    }
    return F;
}

bool MenuUsable(const TMenuAnimation& A) {
    return win::IsWindow(A.Wnd) && IsBarControlAlive(A.Menu);
}

bool DrawAnimationFrame(TMenuAnimation& A, int I) {
    if (A.Stop || A.Ended || !MenuUsable(A)) return false;
    const TFrame F = FrameOf(A, I);
    win::SetWindowPos(A.Wnd, nullptr, F.Window.left, F.Window.top, F.Window.right - F.Window.left,
                      F.Window.bottom - F.Window.top,
                      win::SWP_NOZORDER | win::SWP_NOACTIVATE | win::SWP_SHOWWINDOW);
    if (!MenuUsable(A)) return false;
    // The frame now, not at the next paint: the client area is not painted
    // by the window while it is animated.
    win::RedrawWindow(A.Wnd, nullptr, nullptr, win::RDW_ERASENOW);
    if (!MenuUsable(A)) return false;
    const gfx::HDC DC = win::GetDC(A.Wnd);
    A.Menu->SelectBackgroundPalette(DC);
    gfx::BitBlt(DC, 0, 0, F.Width, F.Height, A.MemDC, F.SourceX, F.SourceY, gfx::SRCCOPY);
    A.Menu->RestorePalette(DC);
    win::ReleaseDC(A.Wnd, DC);
    return true;
}

void FreeImage(TMenuAnimation& A) {
    if (!A.MemDC) return;
    gfx::SelectObject(A.MemDC, A.OldBitmap);
    gfx::DeleteObject(A.Bitmap);
    gfx::DeleteDC(A.MemDC);
    A.MemDC = nullptr;
    A.Bitmap = nullptr;
    A.OldBitmap = nullptr;
}

// The window at its place and size, painted by itself again; a closing
// window is left as it is.
void EndAnimation(TMenuAnimation& A) {
    if (A.Ended) return;
    A.Ended = true;
    GAnimatedMenu = nullptr;
    FreeImage(A);
    if (!MenuUsable(A) || A.Menu->Closing()) return;
    win::SetWindowPos(A.Wnd, nullptr, A.Final.left, A.Final.top, A.Final.right - A.Final.left,
                      A.Final.bottom - A.Final.top,
                      win::SWP_NOZORDER | win::SWP_NOACTIVATE | win::SWP_SHOWWINDOW | win::SWP_FRAMECHANGED);
    if (MenuUsable(A)) A.Menu->Repaint();
}

// Waits for the worker to end, serving what it sends meanwhile; posted
// messages, input among them, stay in the queue.
void Join() {
    TMenuAnimation& A = *GAnimation;
    A.RequestStop();
    A.Joining = true;
    for (;;) {
        const win::DWORD R =
            win::MsgWaitForMultipleObjects(1, &A.Thread, win::FALSE, win::INFINITE, win::QS_SENDMESSAGE);
        if (R != win::WAIT_OBJECT_0 + 1) break;
        // Thread messages only, and none taken: the sent ones are served.
        win::MSG Msg;
        win::PeekMessage(&Msg, ThreadMessagesOnly, win::WM_NULL, win::WM_NULL, win::PM_NOREMOVE);
    }
    win::CloseHandle(A.Thread);
    win::CloseHandle(A.StopEvent);
    EndAnimation(A);
    win::DestroyWindow(A.Helper);
    GAnimation.reset();
    ProcessPaintMessages();
}

// Ends the running animation; false when it cannot be joined now (asked
// while the worker waits for this thread): it then ends once that is over.
bool StopCurrent() {
    if (!GAnimation) return true;
    GAnimation->RequestStop();
    if (GAnimation->Serving || GAnimation->Joining) return false;
    Join();
    return true;
}

win::LRESULT HelperWndProc(win::HWND AWnd, win::UINT AMsg, win::WPARAM AWParam, win::LPARAM ALParam) {
    TMenuAnimation* A = GAnimation && GAnimation->Helper == AWnd ? GAnimation.get() : nullptr;
    switch (AMsg) {
        case AM_FRAME:
        case AM_FINISHED: {
            if (!A) return 0;
            ++A->Serving;
            const bool Drawn = AMsg == AM_FRAME && DrawAnimationFrame(*A, static_cast<int>(AWParam));
            if (AMsg == AM_FINISHED) EndAnimation(*A);
            --A->Serving;
            // The worker ends after this answer, or after its next look at
            // the stop flag; the GUI thread joins it from its queue.
            if (AMsg == AM_FINISHED || A->Stop || !Drawn) {
                A->RequestStop();
                win::PostMessage(AWnd, AM_JOIN, 0, 0);
            }
            return Drawn ? 1 : 0;
        }
        case AM_JOIN:
            if (A && !A->Serving && !A->Joining) Join();
            return 0;
        default:
            return win::DefWindowProc(AWnd, AMsg, AWParam, ALParam);
    }
}

win::HWND CreateHelper() {
    win::WNDCLASS Class;
    if (!win::GetClassInfo(nullptr, HelperClassName, &Class)) {
        Class.lpfnWndProc = &HelperWndProc;
        Class.lpszClassName = HelperClassName;
        win::RegisterClass(&Class);
    }
    return win::CreateWindowEx(0, HelperClassName, "", win::WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                               nullptr);
}

// Frames paced by the tick counter: at least one millisecond and one tick
// apiece. The wait between them ends early when the GUI thread stops the
// animation.
win::DWORD AnimationThread(void* AParam) {
    auto* A = static_cast<TMenuAnimation*>(AParam);
    for (int I = 1; I <= A->Frames && !A->Stop; ++I) {
        const win::DWORD Tick = win::GetTickCount();
        if (!win::SendMessage(A->Helper, AM_FRAME, static_cast<win::WPARAM>(I), 0)) return 0;
        do {
            if (win::WaitForSingleObject(A->StopEvent, 1) != win::WAIT_TIMEOUT) return 0;
        } while (win::GetTickCount() == Tick);
    }
    if (!A->Stop) win::SendMessage(A->Helper, AM_FINISHED, 0, 0);
    return 0;
}

// Paints the finished menu off-screen and starts the worker; false when the
// window cannot be animated (it is then shown at once).
bool StartAnimation(TdxBarSubMenuControl* AMenu, TdxBarMenuAnimations AKind, win::HWND AWnd) {
    auto A = std::make_unique<TMenuAnimation>();
    A->Menu = AMenu;
    A->Wnd = AWnd;
    A->Kind = AKind;
    A->GrowLeftward = AMenu->FlippedH();
    A->GrowUpward = AMenu->FlippedV();
    win::RECT Client{};
    if (!win::GetWindowRect(AWnd, &A->Final) || !win::GetClientRect(AWnd, &Client)) return false;
    A->W = Client.right;
    A->H = Client.bottom;
    A->FrameWidth = (A->Final.right - A->Final.left) - A->W;
    A->FrameHeight = (A->Final.bottom - A->Final.top) - A->H;
    int Total = 0;
    if (AKind == maUnfold) {
        A->D = A->H - A->W;
        A->Step = UnfoldStep;
        Total = A->D < 1 ? A->H : A->W;
    } else {
        A->Step = SlideStep;
        Total = A->H;
    }
    A->Frames = Total / A->Step;
    if (A->W <= 0 || A->H <= 0 || A->Frames < 1) return false;

    const gfx::HDC DC = win::GetDC(AWnd);
    A->MemDC = gfx::CreateCompatibleDC(DC);
    A->Bitmap = gfx::CreateCompatibleBitmap(DC, A->W, A->H);
    win::ReleaseDC(AWnd, DC);
    if (!A->MemDC || !A->Bitmap) {
        if (A->Bitmap) gfx::DeleteObject(A->Bitmap);
        if (A->MemDC) gfx::DeleteDC(A->MemDC);
        return false;
    }
    A->OldBitmap = gfx::SelectObject(A->MemDC, A->Bitmap);
    AMenu->PaintTo(A->MemDC, 0, 0);
    if (!IsBarControlAlive(AMenu) || !win::IsWindow(AWnd) || !(A->Helper = CreateHelper())) {
        FreeImage(*A);
        return false;
    }
    A->StopEvent = win::CreateEvent(nullptr, win::TRUE, win::FALSE, nullptr);
    GAnimatedMenu = AMenu;
    A->Thread = A->StopEvent ? win::CreateThread(nullptr, 0, &AnimationThread, A.get(), 0, nullptr) : nullptr;
    if (!A->Thread) {
        if (A->StopEvent) win::CloseHandle(A->StopEvent);
        GAnimatedMenu = nullptr;
        win::DestroyWindow(A->Helper);
        FreeImage(*A);
        return false;
    }
    GAnimation = std::move(A);
    return true;
}

} // namespace

void AnimateMenuShow(TdxBarSubMenuControl* AMenu, TdxBarMenuAnimations AKind) {
    if (!AMenu) return;
    const bool Free = StopCurrent();
    if (!IsBarControlAlive(AMenu)) return;
    const win::HWND Wnd = AMenu->Handle();
    if (!Wnd) return;
    if (AKind == maRandom) AKind = RandomKind();
    if (AKind == maFade) {
        if (const TAnimateWindowFunc Animate = User32EntryPoints().AnimateWindow) {
            ProcessPaintMessages();
            if (win::IsWindow(Wnd) && Animate(Wnd, FadeTime, win::AW_BLEND)) return;
        }
    } else if ((AKind == maUnfold || AKind == maSlide) && Free && StartAnimation(AMenu, AKind, Wnd)) {
        return;
    }
    if (win::IsWindow(Wnd)) ShowAtOnce(Wnd);
}

void StopMenuAnimation(TdxBarSubMenuControl* AMenu) {
    if (AMenu && GAnimation && GAnimation->Menu == AMenu) StopCurrent();
}

bool IsMenuAnimating(const TdxBarSubMenuControl* AMenu) {
    return AMenu && GAnimatedMenu.load() == AMenu;
}

bool IsSubMenuAnimating() {
    return GAnimatedMenu.load() != nullptr;
}

} // namespace bars
