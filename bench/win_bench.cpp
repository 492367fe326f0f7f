// The window system's costs: message sending and posting, timers, and the
// compositor recomposing a changed menu-sized area of a busy screen, and an
// area under a layered window against the drawing calls that do the same work.
#include "win/internal.h"

#include <benchmark/benchmark.h>

#include "repetitions.h"

using namespace win;

namespace {

LRESULT CountingProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    static LRESULT count = 0;
    if (msg >= WM_USER || msg == WM_TIMER) return ++count;
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        EndPaint(h, &ps);
        return 0;
    }
    return DefWindowProc(h, msg, wParam, lParam);
}

HWND Fresh(RECT r = RECT{0, 0, 100, 100}, DWORD exStyle = 0) {
    // A reset removes the program's classes; register again when needed.
    WNDCLASS wc;
    if (!GetClassInfo(nullptr, "BenchWindow", &wc)) {
        wc = WNDCLASS{};
        wc.lpfnWndProc = &CountingProc;
        wc.lpszClassName = "BenchWindow";
        RegisterClass(&wc);
    }
    return CreateWindowEx(exStyle, "BenchWindow", "", WS_POPUP | WS_VISIBLE, r.left, r.top, r.Width(),
                          r.Height(), nullptr, nullptr, nullptr, nullptr);
}

void Drain() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
}

void Fill(HWND h, COLORREF color) {
    HDC dc = GetDC(h);
    RECT r;
    GetClientRect(h, &r);
    HBRUSH b = CreateSolidBrush(color);
    FillRect(dc, &r, b);
    DeleteObject(b);
    ReleaseDC(h, dc);
}

void BM_SendMessageSameThread(benchmark::State& state) {
    HWND h = Fresh();
    for (auto _ : state) benchmark::DoNotOptimize(SendMessage(h, WM_USER, 1, 2));
    DestroyWindow(h);
}
BENCHMARK(BM_SendMessageSameThread)->Apply(bench::Repeated);

void BM_PostAndDispatchMillion(benchmark::State& state) {
    HWND h = Fresh();
    Drain();
    for (auto _ : state) {
        for (int i = 0; i < 1000000; ++i) PostMessage(h, WM_USER, static_cast<WPARAM>(i), 0);
        Drain();
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
    DestroyWindow(h);
}
BENCHMARK(BM_PostAndDispatchMillion)->Unit(benchmark::kMillisecond)->Apply(bench::Repeated);

// Ten thousand timers with different periods; one round fires them all.
void BM_TenThousandTimers(benchmark::State& state) {
    SetManualClock(true);
    HWND h = Fresh();
    Drain();
    for (UINT_PTR id = 1; id <= 10000; ++id) SetTimer(h, id, 10 + static_cast<UINT>(id % 7), nullptr);
    for (auto _ : state) {
        AdvanceClock(20);
        Drain();
    }
    state.SetItemsProcessed(state.iterations() * 10000);
    DestroyWindow(h);
    SetManualClock(false);
}
BENCHMARK(BM_TenThousandTimers)->Unit(benchmark::kMillisecond)->Apply(bench::Repeated);

// A 1024 x 768 screen with ten windows, one of them a layered shadow with
// per-pixel alpha over the others.
struct BusyScreen {
    std::vector<HWND> windows;
    HWND menu{};
    BusyScreen() {
        ResetWindowSystem();
        for (int i = 0; i < 8; ++i) {
            HWND h = Fresh(Rect(40 * i, 30 * i, 40 * i + 500, 30 * i + 400));
            Fill(h, RGB(20 * i, 255 - 20 * i, 128));
            windows.push_back(h);
        }
        HWND shadow = Fresh(Rect(300, 200, 510, 510), WS_EX_LAYERED);
        {
            BITMAPINFO bi{};
            bi.bmiHeader.biWidth = 210;
            bi.bmiHeader.biHeight = -310;
            void* bits = nullptr;
            const MemoryDC mem =
                MemoryDC::Adopt(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
            auto* px = static_cast<std::uint32_t*>(bits);
            for (int i = 0; i < 210 * 310; ++i) px[i] = 0x40000000u;
            const POINT zero{};
            BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            UpdateLayeredWindow(shadow, nullptr, nullptr, nullptr, mem.Handle(), &zero, 0, &blend, ULW_ALPHA);
        }
        windows.push_back(shadow);
        menu = Fresh(Rect(295, 195, 495, 495));
        Fill(menu, RGB(240, 240, 240));
        windows.push_back(menu);
        Drain();
        ComposeScreen();
    }
    ~BusyScreen() { ResetWindowSystem(); }
};

// The menu window redraws itself and the screen is brought up to date.
void BM_ComposeRedrawnMenu(benchmark::State& state) {
    BusyScreen screen;
    int i = 0;
    for (auto _ : state) {
        Fill(screen.menu, RGB(200 + (i++ & 31), 200, 200));
        benchmark::DoNotOptimize(ComposeScreen());
    }
}
BENCHMARK(BM_ComposeRedrawnMenu)->Unit(benchmark::kMicrosecond)->Apply(bench::Repeated);

// Only the composition of the menu's 200 x 300 area, shadow included.
void BM_ComposeMenuArea(benchmark::State& state) {
    BusyScreen screen;
    for (auto _ : state) {
        detail::DirtyScreen(Rect(295, 195, 495, 495));
        benchmark::DoNotOptimize(ComposeScreen());
    }
}
BENCHMARK(BM_ComposeMenuArea)->Unit(benchmark::kMicrosecond)->Apply(bench::Repeated);

// A 200 x 300 shadow-like layer: premultiplied pixels whose alpha varies along the row.
HBITMAP ShadowBitmap(int width, int height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    void* bits = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* px = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto a = static_cast<std::uint32_t>(x * 255 / width);
            px[y * width + x] = a << 24 | (a / 4) << 16 | (a / 4) << 8 | (a / 4);
        }
    return b;
}

constexpr int kLayerWidth = 200, kLayerHeight = 300;

// Composing the screen area under a layered window: the window below is
// copied and the layer blended over it, as every shadow and fade frame does.
void BM_ComposeUnderLayeredWindow(benchmark::State& state) {
    ResetWindowSystem();
    const RECT area = Rect(100, 100, 100 + kLayerWidth, 100 + kLayerHeight);
    HWND below = Fresh(area);
    Fill(below, RGB(240, 240, 240));
    HWND layered = Fresh(area, WS_EX_LAYERED);
    {
        const MemoryDC mem = MemoryDC::Adopt(ShadowBitmap(kLayerWidth, kLayerHeight));
        const POINT zero{};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        UpdateLayeredWindow(layered, nullptr, nullptr, nullptr, mem.Handle(), &zero, 0, &blend, ULW_ALPHA);
    }
    Drain();
    ComposeScreen();
    for (auto _ : state) {
        detail::DirtyScreen(area);
        benchmark::DoNotOptimize(ComposeScreen());
    }
    state.SetItemsProcessed(state.iterations() * kLayerWidth * kLayerHeight);
    ResetWindowSystem();
}
BENCHMARK(BM_ComposeUnderLayeredWindow)->Unit(benchmark::kMicrosecond)->Apply(bench::Repeated);

// The same area drawn with the drawing calls: a BitBlt of what lies below,
// then a per-pixel AlphaBlend of the layer.
void BM_BitBltAndAlphaBlend(benchmark::State& state) {
    const MemoryDC screen(1024, 768);
    const MemoryDC below(kLayerWidth, kLayerHeight);
    const MemoryDC layer = MemoryDC::Adopt(ShadowBitmap(kLayerWidth, kLayerHeight));
    RECT all{0, 0, kLayerWidth, kLayerHeight};
    HBRUSH b = CreateSolidBrush(RGB(240, 240, 240));
    FillRect(below.Handle(), &all, b);
    DeleteObject(b);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    for (auto _ : state) {
        BitBlt(screen.Handle(), 100, 100, kLayerWidth, kLayerHeight, below.Handle(), 0, 0, SRCCOPY);
        AlphaBlend(screen.Handle(), 100, 100, kLayerWidth, kLayerHeight, layer.Handle(), 0, 0, kLayerWidth,
                   kLayerHeight, blend);
    }
    state.SetItemsProcessed(state.iterations() * kLayerWidth * kLayerHeight);
}
BENCHMARK(BM_BitBltAndAlphaBlend)->Unit(benchmark::kMicrosecond)->Apply(bench::Repeated);

void BM_ComposeWholeScreen(benchmark::State& state) {
    BusyScreen screen;
    for (auto _ : state) {
        detail::DirtyScreen(Rect(0, 0, 1024, 768));
        benchmark::DoNotOptimize(ComposeScreen());
    }
}
BENCHMARK(BM_ComposeWholeScreen)->Unit(benchmark::kMicrosecond)->Apply(bench::Repeated);

} // namespace
