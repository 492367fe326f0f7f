// Toolbars on the composed screen, in the blue scheme of the visual style: a
// 1024 x 768 form with four bars of twelve
// commands (16 x 16 icons from an image list, every sixth with its caption)
// in the top dock site. Each case times a change up to the complete frame:
// the messages it causes are handled, the windows painted and the screen
// composed. Time is taken around that part only (manual time); building and
// freeing the form happen outside it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include "bars/bars.h"
#include "bars/button.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/toolbar.h"
#include "classes/forms.h"
#include "classes/imagelist.h"
#include "win/driver.h"

using namespace bars;

namespace {

constexpr int kBars = 4;
constexpr int kCommands = 12;
constexpr int kFormWidth = 1024, kFormHeight = 768;
// Narrow enough that the second bar of each row loses links to its mark.
constexpr int kNarrowWidth = 700;

void RunUntilIdle() {
    win::MSG m{};
    while (win::PeekMessage(&m, nullptr, 0, 0, win::PM_REMOVE)) {
        win::TranslateMessage(&m);
        win::DispatchMessage(&m);
    }
}

// Every window on the screen, children included.
int WindowCount() {
    int Count = 0;
    std::vector<win::HWND> Pending{win::GetTopWindow(nullptr)};
    while (!Pending.empty()) {
        win::HWND W = Pending.back();
        Pending.pop_back();
        for (; W; W = win::GetWindow(W, win::GW_HWNDNEXT)) {
            ++Count;
            Pending.push_back(win::GetWindow(W, win::GW_CHILD));
        }
    }
    return Count;
}

struct TResources {
    int Windows = 0;
    gfx::DWORD GdiObjects = 0;
};

TResources Resources() {
    return TResources{WindowCount(), gfx::GetGdiObjectCount()};
}

// Twelve 16 x 16 icons: a coloured disc with a dark square on a transparent
// (fuchsia) background.
void FillImages(cls::TImageList* AImages) {
    cls::TBitmap Strip(16 * kCommands, 16);
    cls::TCanvas* Canvas = Strip.Canvas();
    Canvas->Brush()->SetColor(cls::clFuchsia);
    Canvas->FillRect(cls::TRect{0, 0, 16 * kCommands, 16});
    for (int I = 0; I < kCommands; ++I) {
        const int X = I * 16;
        Canvas->Pen()->SetColor(cls::clBlack);
        Canvas->Brush()->SetColor(static_cast<cls::TColor>(gfx::RGB(40 + 17 * I, 200 - 13 * I, 90 + 11 * I)));
        Canvas->Ellipse(X + 1, 1, X + 15, 15);
        Canvas->Brush()->SetColor(cls::clNavy);
        Canvas->FillRect(cls::TRect{X + 6, 6, X + 10, 10});
    }
    AImages->AddMasked(&Strip, cls::clFuchsia);
}

// The form with its manager, image list, commands and bars; nothing shown yet.
class TToolbarForm {
public:
    explicit TToolbarForm(TdxBarManagerStyle AStyle) {
        Form = new cls::TForm(nullptr);
        Form->SetBounds(0, 0, kFormWidth, kFormHeight);
        Manager = new TdxBarManager(Form);
        Manager->SetStyle(AStyle);
        auto* Images = new cls::TImageList(Form);
        FillImages(Images);
        Manager->SetImages(Images);
        for (int B = 0; B < kBars; ++B) {
            TdxBar* Bar = Manager->Bars()->Add();
            Bar->SetCaption("Bar " + std::to_string(B + 1));
            Bar->SetDockingStyle(dsTop);
            // Two bars on each of two rows: the third opens the second row.
            Bar->SetRow(B / 2);
            Bar->SetOneOnRow(B == 2);
            Bar->SetDockedLeft(B % 2 == 0 ? 0 : 1000);
            for (int C = 0; C < kCommands; ++C) {
                auto* Button = new TdxBarButton(Form);
                Button->SetCaption("Command " + std::to_string(B * kCommands + C + 1));
                Button->SetImageIndex(C);
                if (C % 6 == 0) Button->SetPaintStyle(psCaptionGlyph);
                Bar->ItemLinks()->Add(Button)->SetBeginGroup(C > 0 && C % 4 == 0);
            }
            Bars.push_back(Bar);
        }
    }
    ~TToolbarForm() {
        delete Form;
        RunUntilIdle();
        win::ComposeScreen();
    }
    TToolbarForm(const TToolbarForm&) = delete;
    TToolbarForm& operator=(const TToolbarForm&) = delete;

    // The bars and the form shown; the screen complete.
    void Show() {
        for (TdxBar* Bar : Bars) Bar->SetVisible(true);
        Form->Show();
        RunUntilIdle();
        win::ComposeScreen();
    }
    void Resize(int AWidth) {
        Form->SetBounds(0, 0, AWidth, kFormHeight);
        RunUntilIdle();
        win::ComposeScreen();
    }
    int TruncatedBars() const {
        int Count = 0;
        for (TdxBar* Bar : Bars) Count += Bar->Control() && Bar->Control()->Truncated() ? 1 : 0;
        return Count;
    }

    cls::TForm* Form = nullptr;
    TdxBarManager* Manager = nullptr;
    std::vector<TdxBar*> Bars;
};

// Times the part of an iteration that counts: wall time for the benchmark,
// and the thread's CPU time as a counter (less disturbed on a busy machine).
class TTimedPart {
public:
    explicit TTimedPart(benchmark::State& AState) : FState(AState) {}
    ~TTimedPart() {
        FState.counters["cpu_us"] = benchmark::Counter(FCpuSeconds * 1e6, benchmark::Counter::kAvgIterations);
    }
    TTimedPart(const TTimedPart&) = delete;
    TTimedPart& operator=(const TTimedPart&) = delete;

    void Start() {
        FCpuStart = ThreadCpuSeconds();
        FWallStart = std::chrono::steady_clock::now();
    }
    void Stop() {
        const auto WallEnd = std::chrono::steady_clock::now();
        FCpuSeconds += ThreadCpuSeconds() - FCpuStart;
        FState.SetIterationTime(std::chrono::duration<double>(WallEnd - FWallStart).count());
    }

private:
    static double ThreadCpuSeconds() {
        timespec T{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &T);
        return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_nsec) * 1e-9;
    }

    benchmark::State& FState;
    std::chrono::steady_clock::time_point FWallStart{};
    double FCpuStart = 0;
    double FCpuSeconds = 0;
};

// A fresh window system on the manual clock: no timer fires on its own. The
// blue scheme of the visual style is on, so that bmsXP draws themed.
class TSession {
public:
    explicit TSession(TdxBarManagerStyle AStyle) {
        cls::DoneApplication();
        win::ResetWindowSystem();
        win::SetTheme(win::ThemeScheme::Blue);
        win::SetManualClock(true);
        // The first form makes what stays for the process (system brushes,
        // fonts, glyph caches); the resource baseline is taken after it.
        {
            TToolbarForm Warm(AStyle);
            Warm.Show();
        }
        FBefore = Resources();
    }
    ~TSession() {
        cls::DoneApplication();
        win::ResetWindowSystem();
    }
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    // Reports growth of windows or drawing objects as the benchmark's error.
    void Check(benchmark::State& state) const {
        const TResources After = Resources();
        if (After.Windows != FBefore.Windows || After.GdiObjects != FBefore.GdiObjects)
            state.SkipWithError(("resources grew: windows " + std::to_string(FBefore.Windows) + " -> " +
                                 std::to_string(After.Windows) + ", GDI objects " +
                                 std::to_string(FBefore.GdiObjects) + " -> " +
                                 std::to_string(After.GdiObjects))
                                    .c_str());
    }

private:
    TResources FBefore;
};

// (1) The bars made visible and the form shown for the first time.
void BM_FirstShow(benchmark::State& state, TdxBarManagerStyle Style) {
    TSession Session(Style);
    TTimedPart Timer(state);
    for (auto _ : state) {
        TToolbarForm Form(Style);
        Timer.Start();
        Form.Show();
        Timer.Stop();
    }
    Session.Check(state);
}

// (2) The form narrowed so that two bars cut links off and show their marks;
// it widens again outside the timed part.
void BM_ResizeToMark(benchmark::State& state, TdxBarManagerStyle Style) {
    TSession Session(Style);
    {
        TToolbarForm Form(Style);
        Form.Show();
        TTimedPart Timer(state);
        if (Form.TruncatedBars() != 0) {
            state.SkipWithError("a bar is cut off at full width");
            return;
        }
        for (auto _ : state) {
            Timer.Start();
            Form.Resize(kNarrowWidth);
            Timer.Stop();
            if (Form.TruncatedBars() != 2) {
                state.SkipWithError(
                    ("the narrow form cuts off " + std::to_string(Form.TruncatedBars()) + " bars, not two")
                        .c_str());
                break;
            }
            Form.Resize(kFormWidth);
        }
    }
    Session.Check(state);
}

// (3) The mouse moves from one button to the next along the first bar and
// back: the old button loses its highlight, the new one gains it.
void BM_HoverNextButton(benchmark::State& state, TdxBarManagerStyle Style) {
    TSession Session(Style);
    {
        TToolbarForm Form(Style);
        Form.Show();
        TdxBarItemLinks* Links = Form.Bars[0]->ItemLinks();
        std::vector<win::POINT> Centres;
        for (int I = 0; I < kCommands; ++I) {
            const cls::TRect R = Links->Items(I)->ItemRect();
            win::POINT P{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
            win::ClientToScreen(Form.Bars[0]->Control()->Handle(), &P);
            Centres.push_back(P);
        }
        win::InjectMouseMove(Centres[0]);
        RunUntilIdle();
        win::ComposeScreen();
        int Index = 0, Step = 1;
        int Unchanged = 0;
        TTimedPart Timer(state);
        for (auto _ : state) {
            if (Index + Step < 0 || Index + Step >= kCommands) Step = -Step;
            Index += Step;
            Timer.Start();
            win::InjectMouseMove(Centres[static_cast<size_t>(Index)]);
            RunUntilIdle();
            const win::RECT Changed = win::ComposeScreen();
            Timer.Stop();
            if (Changed.right <= Changed.left) ++Unchanged;
        }
        if (Unchanged) state.SkipWithError("a hover change left the screen as it was");
    }
    Session.Check(state);
}

// (4) One hot toolbar button drawn by the theme (23 x 22, from the cache of
// rendered parts after the first call).
void BM_DrawThemedButton(benchmark::State& state) {
    win::ResetWindowSystem();
    win::SetTheme(win::ThemeScheme::Blue);
    {
        const gfx::MemoryDC Surface(64, 64);
        const win::HTHEME Theme = win::OpenThemeData(nullptr, "ToolBar");
        const win::RECT R{4, 4, 27, 26};
        for (auto _ : state)
            benchmark::DoNotOptimize(
                win::DrawThemeBackground(Theme, Surface.Handle(), win::TP_BUTTON, win::TS_HOT, &R, nullptr));
        win::CloseThemeData(Theme);
    }
    win::ResetWindowSystem();
}
BENCHMARK(BM_DrawThemedButton)->Unit(benchmark::kMicrosecond);

#define TOOLBAR_BENCH(name)                                                                                  \
    BENCHMARK_CAPTURE(name, Enhanced, bmsEnhanced)->UseManualTime()->Unit(benchmark::kMicrosecond);          \
    BENCHMARK_CAPTURE(name, Office11, bmsOffice11)->UseManualTime()->Unit(benchmark::kMicrosecond);          \
    BENCHMARK_CAPTURE(name, XP, bmsXP)->UseManualTime()->Unit(benchmark::kMicrosecond)

TOOLBAR_BENCH(BM_FirstShow);
TOOLBAR_BENCH(BM_ResizeToMark);
TOOLBAR_BENCH(BM_HoverNextButton);

} // namespace
