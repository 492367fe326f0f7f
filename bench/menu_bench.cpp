// The popup menu as a user meets it, measured on the composed screen: a
// 20-entry menu (icons on the even entries, Ctrl shortcuts on every third,
// group separators before entries 6 and 13, entry 3 a sub item of 8 entries,
// entry 9 disabled) shown by Popup, repainted, hovered, its submenu opened by
// the Right key and the chain closed by a click outside it, in the Enhanced
// and the Office11 style.
//
// A step ends at its first complete frame: the queue is empty (every paint
// is done) and the compositor has brought the screen image up to date. The
// clock runs only around the step (manual time); setting a step up and
// undoing it are not counted. Each run checks once, outside the clock, that
// its iterations left no window and no drawing object behind.
#include <benchmark/benchmark.h>

#include "repetitions.h"

#include <chrono>
#include <functional>
#include <string>

#include "bars/button.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/registry.h"
#include "bars/subitem.h"
#include "bars/submenu.h"
#include "classes/forms.h"
#include "classes/imagelist.h"
#include "classes/shortcuts.h"
#include "win/driver.h"

namespace {

using Clock = std::chrono::steady_clock;
using bars::TdxBarManagerStyle;

constexpr win::POINT MenuAt{360, 120};
// On the form, outside the menus: where the mouse rests and clicks.
constexpr win::POINT Outside{120, 120};
constexpr int ItemCount = 20;
constexpr int SubItemIndex = 3;

void Drain() {
    win::MSG Msg;
    while (win::PeekMessage(&Msg, nullptr, 0, 0, win::PM_REMOVE)) {
        win::TranslateMessage(&Msg);
        win::DispatchMessage(&Msg);
    }
}

void Frame() {
    Drain();
    win::ComposeScreen();
}

void Key(int AKey) {
    win::InjectKey(AKey, true);
    win::InjectKey(AKey, false);
}

double Seconds(Clock::duration ADuration) {
    return std::chrono::duration<double>(ADuration).count();
}

// Times one step up to its first complete frame.
double TimeFrame(const std::function<void()>& AStep) {
    const Clock::time_point Start = Clock::now();
    AStep();
    Frame();
    return Seconds(Clock::now() - Start);
}

// Ten 16 x 16 icons: a coloured disc on a transparent ground.
void FillImages(cls::TImageList* AImages) {
    cls::TBitmap Strip;
    Strip.SetSize(160, 16);
    cls::TCanvas* Canvas = Strip.Canvas();
    Canvas->Brush()->SetColor(cls::clFuchsia);
    Canvas->FillRect(cls::TRect{0, 0, 160, 16});
    for (int I = 0; I < 10; ++I) {
        Canvas->Brush()->SetColor(static_cast<cls::TColor>(gfx::RGB(25 * I, 200 - 15 * I, 120)));
        Canvas->Ellipse(16 * I + 1, 1, 16 * I + 15, 15);
    }
    AImages->AddMasked(&Strip, cls::clFuchsia);
}

class Scene {
public:
    explicit Scene(TdxBarManagerStyle AStyle, int AItemCount = ItemCount) {
        win::ResetWindowSystem();
        win::SetManualClock(true);
        cls::DoneApplication();
        FForm = new cls::TForm(nullptr);
        FForm->SetBounds(50, 50, 300, 200);
        FForm->Show();
        win::SetForegroundWindow(FForm->Handle());
        FForm->SetFocus();
        Manager = new bars::TdxBarManager(FForm);
        Manager->SetStyle(AStyle);
        auto* Images = new cls::TImageList(FForm);
        FillImages(Images);
        Manager->SetImages(Images);
        Popup = new bars::TdxBarPopupMenu(FForm);
        for (int N = 1; N <= AItemCount; ++N) {
            const std::string Caption = "Menu item number &" + std::to_string(N);
            bars::TdxBarItem* Item = nullptr;
            if (N == SubItemIndex) {
                auto* SubItem = new bars::TdxBarSubItem(FForm);
                for (int K = 1; K <= 8; ++K) {
                    auto* Button = new bars::TdxBarButton(FForm);
                    Button->SetCaption("Submenu item &" + std::to_string(K));
                    SubItem->ItemLinks()->Add(Button);
                }
                Item = SubItem;
            } else {
                Item = new bars::TdxBarButton(FForm);
            }
            Item->SetCaption(Caption);
            // Entry N + 20 looks like entry N (shortcuts cycle through the
            // alphabet).
            const int Pattern = (N - 1) % ItemCount + 1;
            if (N % 2 == 0) Item->SetImageIndex(Pattern / 2 - 1);
            if (N % 3 == 0)
                Item->SetShortCut(
                    cls::ShortCut(static_cast<std::uint16_t>('A' + (N / 3 - 1) % 26), {cls::ssCtrl}));
            if (Pattern == 9) Item->SetEnabled(false);
            Popup->ItemLinks()->Add(Item)->SetBeginGroup(Pattern == 6 || Pattern == 13);
        }
        win::InjectMouseMove(Outside);
        Frame();
    }
    ~Scene() {
        Close();
        delete FForm;
        cls::DoneApplication();
        win::ResetWindowSystem();
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Shows the menu as Popup does, without Popup's loop.
    bars::TdxBarSubMenuControl* Open() {
        auto* Menu = static_cast<bars::TdxBarSubMenuControl*>(Popup->ItemLinks()->CreateBarControl());
        Menu->SetLeft(MenuAt.x);
        Menu->SetTop(MenuAt.y);
        Menu->ShowAnimated();
        Frame();
        return Menu;
    }
    void Close() {
        if (bars::TdxBarSubMenuControl* Menu = Popup->GetBarControl()) Menu->CloseAndFree();
        Frame();
    }
    // The centre of an entry of the open menu, on the screen.
    win::POINT CentreOf(int AIndex) const {
        bars::TdxBarItemLink* Link = Popup->ItemLinks()->VisibleItems(AIndex - 1);
        const cls::TRect R = Link->ItemRect();
        win::POINT P{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
        win::ClientToScreen(Link->GetBarControl()->Handle(), &P);
        return P;
    }
    // The open menu with its sub item selected by the keyboard.
    bars::TdxBarSubMenuControl* OpenAtSubItem() {
        bars::TdxBarSubMenuControl* Menu = Open();
        for (int I = 0; I < SubItemIndex; ++I) Key(win::VK_DOWN);
        Frame();
        return Menu;
    }

    bars::TdxBarManager* Manager = nullptr;
    bars::TdxBarPopupMenu* Popup = nullptr;

private:
    cls::TForm* FForm = nullptr;
};

// What one iteration may leave behind: nothing.
class LeakCheck {
public:
    LeakCheck() : FWindows(win::GetTopLevelWindows().size()), FObjects(gfx::GetGdiObjectCount()) {}
    void Report(benchmark::State& AState) const {
        const std::size_t Windows = win::GetTopLevelWindows().size();
        const gfx::DWORD Objects = gfx::GetGdiObjectCount();
        if (Windows != FWindows || Objects != FObjects)
            AState.SkipWithError(("left behind: windows " + std::to_string(FWindows) + " -> " +
                                  std::to_string(Windows) + ", drawing objects " + std::to_string(FObjects) +
                                  " -> " + std::to_string(Objects))
                                     .c_str());
    }

private:
    std::size_t FWindows;
    gfx::DWORD FObjects;
};

// Popup itself, with its own loop: the clock stops at the loop's first wait,
// when every paint is done and the screen is composed; Escape then ends it.
double PopupOnce(Scene& AScene) {
    Clock::time_point Shown{};
    win::SetIdleHandler([&] {
        if (Shown == Clock::time_point{}) {
            win::ComposeScreen();
            Shown = Clock::now();
            Key(win::VK_ESCAPE);
            return true;
        }
        // The menu closed inside the hook that took the key: wake the loop.
        win::PostThreadMessage(win::GetCurrentThreadId(), win::WM_NULL, 0, 0);
        return true;
    });
    const Clock::time_point Start = Clock::now();
    AScene.Popup->Popup(MenuAt.x, MenuAt.y);
    win::SetIdleHandler(nullptr);
    Frame();
    return Seconds(Shown - Start);
}

void BM_PopupToFirstFrame(benchmark::State& state, TdxBarManagerStyle AStyle) {
    Scene S(AStyle, static_cast<int>(state.range(0)));
    PopupOnce(S);
    const LeakCheck Check;
    for (auto _ : state) state.SetIterationTime(PopupOnce(S));
    if (S.Popup->IsOpen()) state.SkipWithError("the menu stayed open");
    Check.Report(state);
}

// The whole menu window, frame included, painted again.
void BM_FullRepaint(benchmark::State& state, TdxBarManagerStyle AStyle) {
    Scene S(AStyle, static_cast<int>(state.range(0)));
    const win::HWND Wnd = S.Open()->Handle();
    const LeakCheck Check;
    for (auto _ : state)
        state.SetIterationTime(TimeFrame([Wnd] {
            win::RedrawWindow(Wnd, nullptr, nullptr, win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_FRAME);
        }));
    Check.Report(state);
}

// The mouse moves from entry 4 to entry 5 and back, one move per iteration.
void BM_HoverNextItem(benchmark::State& state, TdxBarManagerStyle AStyle) {
    Scene S(AStyle);
    bars::TdxBarSubMenuControl* Menu = S.Open();
    const win::POINT Points[2] = {S.CentreOf(4), S.CentreOf(5)};
    win::InjectMouseMove(Points[0]);
    Frame();
    const LeakCheck Check;
    int Next = 1;
    for (auto _ : state) {
        const win::POINT P = Points[Next];
        state.SetIterationTime(TimeFrame([P] { win::InjectMouseMove(P); }));
        Next ^= 1;
    }
    const bars::TdxBarItemControl* Selected = Menu->SelectedControl();
    if (!Selected || Selected->ItemLink() != S.Popup->ItemLinks()->VisibleItems(Next == 1 ? 3 : 4))
        state.SkipWithError("the hovered entry is not the selected one");
    Check.Report(state);
}

// Right on the selected sub item opens its menu; Left closes it, unclocked.
void BM_SubMenuByKey(benchmark::State& state, TdxBarManagerStyle AStyle) {
    Scene S(AStyle);
    bars::TdxBarSubMenuControl* Menu = S.OpenAtSubItem();
    const LeakCheck Check;
    bool Opened = true;
    for (auto _ : state) {
        state.SetIterationTime(TimeFrame([] { win::InjectKey(win::VK_RIGHT, true); }));
        Opened = Opened && Menu->ChildMenu() && Menu->ChildMenu()->HandleAllocated();
        win::InjectKey(win::VK_RIGHT, false);
        Key(win::VK_LEFT);
        Frame();
    }
    if (!Opened || Menu->ChildMenu()) state.SkipWithError("the submenu did not open and close");
    Check.Report(state);
}

// The menu and its open submenu close on a press outside them.
void BM_CloseChain(benchmark::State& state, TdxBarManagerStyle AStyle) {
    Scene S(AStyle);
    auto OpenChain = [&S] {
        S.OpenAtSubItem();
        Key(win::VK_RIGHT);
        Frame();
    };
    auto Release = [] {
        win::InjectMouseButton(win::MouseButton::Left, false);
        Frame();
    };
    OpenChain();
    TimeFrame([] { win::InjectMouseButton(win::MouseButton::Left, true); });
    Release();
    const LeakCheck Check;
    bool Closed = true;
    for (auto _ : state) {
        OpenChain();
        state.SetIterationTime(TimeFrame([] { win::InjectMouseButton(win::MouseButton::Left, true); }));
        Closed = Closed && !S.Popup->GetBarControl() && !bars::GetActiveBarControl();
        Release();
    }
    if (!Closed) state.SkipWithError("the chain stayed open");
    Check.Report(state);
}

#define MENU_BENCH(Function, ...)                                                                            \
    BENCHMARK_CAPTURE(Function, Enhanced, bars::bmsEnhanced)                                                 \
        ->UseManualTime()                                                                                    \
        ->Unit(benchmark::kMicrosecond) __VA_ARGS__->Apply(bench::Repeated);                                 \
    BENCHMARK_CAPTURE(Function, Office11, bars::bmsOffice11)                                                 \
        ->UseManualTime()                                                                                    \
        ->Unit(benchmark::kMicrosecond) __VA_ARGS__->Apply(bench::Repeated)

// The scaling runs: menus of 20, 200 and 2000 entries.
MENU_BENCH(BM_PopupToFirstFrame, ->ArgName("items")->Arg(20)->Arg(200)->Arg(2000));
MENU_BENCH(BM_FullRepaint, ->ArgName("items")->Arg(20)->Arg(200)->Arg(2000));
MENU_BENCH(BM_HoverNextItem);
MENU_BENCH(BM_SubMenuByKey);
MENU_BENCH(BM_CloseChain);

} // namespace
