// Raster speed on a full-HD 32-bit surface: fills, blits, alpha blending and
// stretching. Figures are reported in pixels per second of the destination.

#include "gfx/gdi.h"

#include <benchmark/benchmark.h>

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

void BM_FillRectSolid(benchmark::State& state) {
    Surface dst(kWidth, kHeight, 1);
    HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
    const RECT r{0, 0, kWidth, kHeight};
    for (auto _ : state) benchmark::DoNotOptimize(FillRect(dst.dc(), &r, brush));
    DeleteObject(brush);
    Report(state, static_cast<long>(kWidth) * kHeight);
}
BENCHMARK(BM_FillRectSolid)->Unit(benchmark::kMicrosecond);

void BM_BitBltSrcCopy(benchmark::State& state) {
    Surface src(kWidth, kHeight, 1), dst(kWidth, kHeight, 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(BitBlt(dst.dc(), 0, 0, kWidth, kHeight, src.dc(), 0, 0, SRCCOPY));
    Report(state, static_cast<long>(kWidth) * kHeight);
}
BENCHMARK(BM_BitBltSrcCopy)->Unit(benchmark::kMicrosecond);

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
BENCHMARK(BM_BitBltRop)->Arg(SRCINVERT)->Arg(0x00E20746)->Arg(0x00B8074A)->Unit(benchmark::kMicrosecond);

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
BENCHMARK(BM_AlphaBlend)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_StretchBlt2x(benchmark::State& state) {
    Surface src(kWidth / 2, kHeight / 2, 1), dst(kWidth, kHeight, 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            StretchBlt(dst.dc(), 0, 0, kWidth, kHeight, src.dc(), 0, 0, kWidth / 2, kHeight / 2, SRCCOPY));
    Report(state, static_cast<long>(kWidth) * kHeight);
}
BENCHMARK(BM_StretchBlt2x)->Unit(benchmark::kMicrosecond);

} // namespace
