// Toolbars on the composed screen, in the blue scheme of the visual style:
// the form of toolbar_form.h with 4, 16 or 64 bars. Each case times what a user waits for up to the complete
// frame: the messages it causes are handled, the windows painted and the screen composed. Time is taken
// around that part only (manual time); what an iteration sets up or frees outside it is not counted.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "bars/drawing.h"
#include "bars/registry.h"
#include "repetitions.h"
#include "toolbar_form.h"

using namespace bars;
using bench::TToolbarForm;

namespace {

constexpr int kBars = 4;
// Narrow enough that the second bar of each row loses links to its mark.
constexpr int kNarrowWidth = 700;

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
        win::SetManualClock(true);
        win::SetTheme(win::ThemeScheme::Blue);
        // The first form makes what stays for the process (system brushes,
        // fonts, glyph caches); the resource baseline is taken after it.
        {
            TToolbarForm Warm(AStyle, kBars);
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

// (1) The form and its bars created, the bars made visible and the form
// shown up to its first composed frame; freeing it is not counted.
void BM_CreateAndShow(benchmark::State& state, TdxBarManagerStyle Style) {
    const int Bars = static_cast<int>(state.range(0));
    TSession Session(Style);
    TTimedPart Timer(state);
    for (auto _ : state) {
        Timer.Start();
        auto Form = std::make_unique<TToolbarForm>(Style, Bars);
        Form->Show();
        Timer.Stop();
    }
    Session.Check(state);
}

// (2) Showing alone: the bars made visible and the form shown.
void BM_Show(benchmark::State& state, TdxBarManagerStyle Style) {
    const int Bars = static_cast<int>(state.range(0));
    TSession Session(Style);
    TTimedPart Timer(state);
    for (auto _ : state) {
        TToolbarForm Form(Style, Bars);
        Timer.Start();
        Form.Show();
        Timer.Stop();
    }
    Session.Check(state);
}

// (3) The form narrowed so that two bars cut links off and show their marks;
// it widens again outside the timed part.
void BM_ResizeToMark(benchmark::State& state, TdxBarManagerStyle Style) {
    TSession Session(Style);
    {
        TToolbarForm Form(Style, kBars);
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
            Form.Resize(bench::kFormWidth);
        }
    }
    Session.Check(state);
}

// (4) The mouse moves from one button to the next along the first bar and
// back: the old button loses its highlight, the new one gains it.
void BM_HoverNextButton(benchmark::State& state, TdxBarManagerStyle Style) {
    TSession Session(Style);
    {
        TToolbarForm Form(Style, kBars);
        Form.Show();
        TdxBarItemLinks* Links = Form.Bars[0]->ItemLinks();
        std::vector<win::POINT> Centres;
        for (int I = 0; I < bench::kCommands; ++I) {
            const cls::TRect R = Links->Items(I)->ItemRect();
            win::POINT P{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
            win::ClientToScreen(Form.Bars[0]->Control()->Handle(), &P);
            Centres.push_back(P);
        }
        win::InjectMouseMove(Centres[0]);
        bench::CompleteFrame();
        int Index = 0, Step = 1;
        int Unchanged = 0;
        TTimedPart Timer(state);
        for (auto _ : state) {
            if (Index + Step < 0 || Index + Step >= bench::kCommands) Step = -Step;
            Index += Step;
            Timer.Start();
            win::InjectMouseMove(Centres[static_cast<size_t>(Index)]);
            bench::RunUntilIdle();
            const win::RECT Changed = win::ComposeScreen();
            Timer.Stop();
            if (Changed.right <= Changed.left) ++Unchanged;
        }
        if (Unchanged) state.SkipWithError("a hover change left the screen as it was");
    }
    Session.Check(state);
}

// (5) One 16 x 16 icon with alpha onto a 32-bit surface, as the image list
// draws it and as DrawGlyph draws it for a toolbar button (over the cell's
// own background).
void BM_AlphaGlyph(benchmark::State& state) {
    const bool ThroughDrawGlyph = state.range(0) != 0;
    StartLibrary();
    {
        cls::TImageList Images(nullptr);
        cls::TBitmap Icon(16, 16);
        gfx::BitmapSurface Pixels;
        gfx::GetBitmapSurface(Icon.Handle(), &Pixels);
        // A disc that fades out toward its rim.
        for (int Y = 0; Y < 16; ++Y)
            for (int X = 0; X < 16; ++X) {
                const int D = (2 * X - 15) * (2 * X - 15) + (2 * Y - 15) * (2 * Y - 15);
                const std::uint32_t A = D >= 256 ? 0 : 255 - static_cast<std::uint32_t>(D);
                Pixels.Row(Y)[X] = A << 24 | 0x3060C0u;
            }
        Images.Add(&Icon, nullptr);
        const gfx::MemoryDC Target(200, 300);
        cls::TCanvas Canvas;
        Canvas.SetHandle(Target.Handle());
        const gfx::RECT Cell{40, 50, 56, 66};
        for (auto _ : state) {
            if (ThroughDrawGlyph)
                DrawGlyph(Target.Handle(), nullptr, Cell, Cell, nullptr, &Images, 0, true, false, false,
                          false, false, false, false, true, cls::clNone, cls::clFuchsia);
            else
                Images.Draw(&Canvas, Cell.left, Cell.top, 0);
        }
        Canvas.SetHandle(nullptr);
    }
    EndLibrary();
}
BENCHMARK(BM_AlphaGlyph)->ArgName("DrawGlyph")->Arg(0)->Arg(1)->Apply(bench::Repeated);

// (6) One hot toolbar button drawn by the theme (23 x 22, from the cache of
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
BENCHMARK(BM_DrawThemedButton)->Unit(benchmark::kMicrosecond)->Apply(bench::Repeated);

#define TOOLBAR_BENCH(name, ...)                                                                             \
    BENCHMARK_CAPTURE(name, Enhanced, bmsEnhanced)                                                           \
        ->UseManualTime()                                                                                    \
        ->Unit(benchmark::kMicrosecond) __VA_ARGS__->Apply(bench::Repeated);                                 \
    BENCHMARK_CAPTURE(name, Office11, bmsOffice11)                                                           \
        ->UseManualTime()                                                                                    \
        ->Unit(benchmark::kMicrosecond) __VA_ARGS__->Apply(bench::Repeated);                                 \
    BENCHMARK_CAPTURE(name, XP, bmsXP)                                                                       \
        ->UseManualTime()                                                                                    \
        ->Unit(benchmark::kMicrosecond) __VA_ARGS__->Apply(bench::Repeated)

// The scaling runs: 4, 16 and 64 bars.
TOOLBAR_BENCH(BM_CreateAndShow, ->ArgName("bars")->Arg(4)->Arg(16)->Arg(64));
TOOLBAR_BENCH(BM_Show, ->ArgName("bars")->Arg(4)->Arg(16)->Arg(64));
TOOLBAR_BENCH(BM_ResizeToMark);
TOOLBAR_BENCH(BM_HoverNextButton);

} // namespace
