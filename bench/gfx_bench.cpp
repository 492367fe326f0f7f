// Raster speed on a full-HD 32-bit surface: fills, blits, alpha blending,
// stretching and gradients, in pixels per second of the destination; and the
// per-call cost of what menus do on every frame: object cycles and small blits.

#include "gfx/draw.h"
#include "gfx/gdi.h"

#include <benchmark/benchmark.h>

#include "repetitions.h"

#include <cstdio>

namespace {

using namespace gfx;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// A memory DC with a 32-bit bitmap of noise selected.
class Surface {
public:
    Surface(int w, int h, std::uint32_t seed) : mem_(w, h) {
        BitmapSurface s;
        GetBitmapSurface(mem_.Bitmap(), &s);
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) s.Row(y)[x] = seed = seed * 1664525u + 1013904223u;
    }
    HDC dc() const { return mem_.Handle(); }

private:
    MemoryDC mem_;
};

void Report(benchmark::State& state, long pixelsPerIteration) {
    state.counters["Gpix/s"] = benchmark::Counter(static_cast<double>(pixelsPerIteration) * 1e-9 *
                                                      static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}

// A solid fill of a menu-sized area and of the whole surface.
void BM_FillRectSolid(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    Surface dst(w, h, 1);
    HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
    const RECT r{0, 0, w, h};
    for (auto _ : state) benchmark::DoNotOptimize(FillRect(dst.dc(), &r, brush));
    DeleteObject(brush);
    Report(state, static_cast<long>(w) * h);
}
BENCHMARK(BM_FillRectSolid)
    ->Args({200, 300})
    ->Args({kWidth, kHeight})
    ->Unit(benchmark::kMicrosecond)
    ->Apply(bench::Repeated);

void BM_BitBltSrcCopy(benchmark::State& state) {
    Surface src(kWidth, kHeight, 1), dst(kWidth, kHeight, 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(BitBlt(dst.dc(), 0, 0, kWidth, kHeight, src.dc(), 0, 0, SRCCOPY));
    Report(state, static_cast<long>(kWidth) * kHeight);
}
BENCHMARK(BM_BitBltSrcCopy)->Unit(benchmark::kMicrosecond)->Apply(bench::Repeated);

// A named fast path and the generic evaluation (PSDPxax, which has none).
void BM_BitBltRop(benchmark::State& state) {
    const auto rop = static_cast<DWORD>(state.range(0));
    Surface src(kWidth, kHeight, 1), dst(kWidth, kHeight, 2);
    HBRUSH brush = CreateSolidBrush(RGB(200, 100, 0));
    SelectObject(dst.dc(), brush);
    for (auto _ : state)
        benchmark::DoNotOptimize(BitBlt(dst.dc(), 0, 0, kWidth, kHeight, src.dc(), 0, 0, rop));
    SelectObject(dst.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
    Report(state, static_cast<long>(kWidth) * kHeight);
}
BENCHMARK(BM_BitBltRop)
    ->Arg(SRCINVERT)
    ->Arg(0x00E20746)
    ->Arg(0x00B8074A)
    ->Unit(benchmark::kMicrosecond)
    ->Apply(bench::Repeated);

void BM_AlphaBlend(benchmark::State& state) {
    const bool perPixel = state.range(0) != 0;
    Surface src(kWidth, kHeight, 1), dst(kWidth, kHeight, 2);
    const BLENDFUNCTION bf{AC_SRC_OVER, 0, static_cast<BYTE>(perPixel ? 255 : 128),
                           static_cast<BYTE>(perPixel ? AC_SRC_ALPHA : 0)};
    for (auto _ : state)
        benchmark::DoNotOptimize(
            AlphaBlend(dst.dc(), 0, 0, kWidth, kHeight, src.dc(), 0, 0, kWidth, kHeight, bf));
    Report(state, static_cast<long>(kWidth) * kHeight);
}
BENCHMARK(BM_AlphaBlend)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)->Apply(bench::Repeated);

void BM_StretchBlt2x(benchmark::State& state) {
    Surface src(kWidth / 2, kHeight / 2, 1), dst(kWidth, kHeight, 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            StretchBlt(dst.dc(), 0, 0, kWidth, kHeight, src.dc(), 0, 0, kWidth / 2, kHeight / 2, SRCCOPY));
    Report(state, static_cast<long>(kWidth) * kHeight);
}
BENCHMARK(BM_StretchBlt2x)->Unit(benchmark::kMicrosecond)->Apply(bench::Repeated);

// A vertical gradient against a solid fill of the same area.
void BM_GradientFillV(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    Surface dst(w, h, 2);
    TRIVERTEX v[2];
    v[0].Red = 0x1000;
    v[0].Green = 0x8000;
    v[0].Blue = 0xFF00;
    v[1].x = w;
    v[1].y = h;
    v[1].Red = 0xFF00;
    v[1].Green = 0x4000;
    const GRADIENT_RECT gr{0, 1};
    for (auto _ : state) benchmark::DoNotOptimize(GradientFill(dst.dc(), v, 2, &gr, 1, GRADIENT_FILL_RECT_V));
    Report(state, static_cast<long>(w) * h);
}
BENCHMARK(BM_GradientFillV)
    ->Args({200, 300})
    ->Args({kWidth, kHeight})
    ->Unit(benchmark::kMicrosecond)
    ->Apply(bench::Repeated);

// --- Object cycles: create, select into a memory DC, select back, delete ---

// Each thread draws on a DC of its own, as windows of different threads do;
// use(dc) runs while the object is selected.
template <class TMake, class TUse> void ObjectCycle(benchmark::State& state, TMake make, TUse use) {
    HDC dc = CreateCompatibleDC(nullptr);
    for (auto _ : state) {
        auto object = make();
        HGDIOBJ old = SelectObject(dc, object);
        use(dc);
        SelectObject(dc, old);
        benchmark::DoNotOptimize(DeleteObject(object));
    }
    DeleteDC(dc);
}

LOGFONT MenuFont() {
    LOGFONT lf;
    lf.lfHeight = -11;
    std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "Tahoma");
    return lf;
}

void BM_SolidBrushCycle(benchmark::State& state) {
    COLORREF c = 0;
    ObjectCycle(
        state, [&c] { return CreateSolidBrush(c++ & 0xFFFFFF); }, [](HDC) {});
}
BENCHMARK(BM_SolidBrushCycle)->Threads(1)->Threads(4)->Apply(bench::Repeated);

void BM_FontCycle(benchmark::State& state) {
    const LOGFONT lf = MenuFont();
    ObjectCycle(
        state, [&lf] { return CreateFontIndirect(&lf); }, [](HDC) {});
}
BENCHMARK(BM_FontCycle)->Threads(1)->Threads(4)->Apply(bench::Repeated);

// The same with a first use: the font is realised (its cached instance found).
void BM_FontCycleFirstUse(benchmark::State& state) {
    const LOGFONT lf = MenuFont();
    TEXTMETRIC tm;
    ObjectCycle(
        state, [&lf] { return CreateFontIndirect(&lf); }, [&tm](HDC dc) { GetTextMetrics(dc, &tm); });
}
BENCHMARK(BM_FontCycleFirstUse)->Threads(1)->Threads(4)->Apply(bench::Repeated);

// --- Small blits: a 16 x 16 icon onto a menu-sized surface ---

constexpr int kIcon = 16;

void BM_SmallAlphaBlend(benchmark::State& state) {
    Surface src(kIcon, kIcon, 1), dst(200, 300, 2);
    const BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    for (auto _ : state)
        benchmark::DoNotOptimize(
            AlphaBlend(dst.dc(), 40, 50, kIcon, kIcon, src.dc(), 0, 0, kIcon, kIcon, bf));
}
BENCHMARK(BM_SmallAlphaBlend)->Apply(bench::Repeated);

void BM_SmallBitBlt(benchmark::State& state) {
    Surface src(kIcon, kIcon, 1), dst(200, 300, 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(BitBlt(dst.dc(), 40, 50, kIcon, kIcon, src.dc(), 0, 0, SRCCOPY));
}
BENCHMARK(BM_SmallBitBlt)->Apply(bench::Repeated);

void BM_SmallTransparentBlt(benchmark::State& state) {
    Surface src(kIcon, kIcon, 1), dst(200, 300, 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            TransparentBlt(dst.dc(), 40, 50, kIcon, kIcon, src.dc(), 0, 0, kIcon, kIcon, RGB(255, 0, 255)));
}
BENCHMARK(BM_SmallTransparentBlt)->Apply(bench::Repeated);

void BM_SmallDrawIconEx(benchmark::State& state) {
    const bool alpha = state.range(0) != 0;
    Surface dst(200, 300, 2);
    MemoryDC color(kIcon, kIcon), mask(kIcon, kIcon, 1);
    BitmapSurface s;
    GetBitmapSurface(color.Bitmap(), &s);
    for (int y = 0; y < kIcon; ++y)
        for (int x = 0; x < kIcon; ++x) s.Row(y)[x] = (alpha ? 0x80000000u : 0u) | (x * 16u << 8) | y * 16u;
    GetBitmapSurface(mask.Bitmap(), &s);
    for (int y = 0; y < kIcon; ++y)
        for (int x = 0; x < kIcon; ++x) s.Row(y)[x] = (x + y) % 3 == 0 ? 0xFFFFFFu : 0u;
    ICONINFO ii;
    ii.fIcon = TRUE;
    ii.hbmColor = color.Bitmap();
    ii.hbmMask = mask.Bitmap();
    HICON icon = CreateIconIndirect(&ii);
    for (auto _ : state)
        benchmark::DoNotOptimize(DrawIconEx(dst.dc(), 40, 50, icon, kIcon, kIcon, 0, nullptr, DI_NORMAL));
    DestroyIcon(icon);
}
BENCHMARK(BM_SmallDrawIconEx)->Arg(0)->Arg(1)->Apply(bench::Repeated);

} // namespace
