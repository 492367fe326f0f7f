// Text drawing speed on a full-HD 32-bit bitmap, with the glyphs cached.

#include "gfx/gdi.h"

#include <benchmark/benchmark.h>

#include "repetitions.h"

namespace {

using namespace gfx;

class Canvas {
public:
    Canvas() : mem_(1920, 1080) {
        PatBlt(dc(), 0, 0, 1920, 1080, WHITENESS);
        font_ = CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
        oldFont_ = SelectObject(dc(), font_);
        SetBkMode(dc(), TRANSPARENT);
    }
    ~Canvas() {
        SelectObject(dc(), oldFont_);
        DeleteObject(font_);
    }
    HDC dc() const { return mem_.Handle(); }

private:
    MemoryDC mem_;
    HFONT font_{};
    HGDIOBJ oldFont_{};
};

// A menu line of 24 glyphs.
constexpr const char kLine[] = "Customize Toolbars: Edit";
static_assert(sizeof kLine - 1 == 24);
constexpr const char kCyrillicLine[] = "Настроить панели: Правка"; // 24 characters

void BM_TextOut24(benchmark::State& state) {
    Canvas c;
    TextOut(c.dc(), 100, 100, kLine); // fills the glyph cache
    for (auto _ : state) benchmark::DoNotOptimize(TextOut(c.dc(), 100, 100, kLine));
    state.SetItemsProcessed(state.iterations() * 24);
}
BENCHMARK(BM_TextOut24)->Apply(bench::Repeated);

void BM_TextOut24Cyrillic(benchmark::State& state) {
    Canvas c;
    TextOut(c.dc(), 100, 100, kCyrillicLine);
    for (auto _ : state) benchmark::DoNotOptimize(TextOut(c.dc(), 100, 100, kCyrillicLine));
    state.SetItemsProcessed(state.iterations() * 24);
}
BENCHMARK(BM_TextOut24Cyrillic)->Apply(bench::Repeated);

void BM_TextExtent24(benchmark::State& state) {
    Canvas c;
    for (auto _ : state) benchmark::DoNotOptimize(GetTextExtent(c.dc(), kLine));
}
BENCHMARK(BM_TextExtent24)->Apply(bench::Repeated);

void BM_DrawTextMenuItem(benchmark::State& state) {
    Canvas c;
    for (auto _ : state) {
        RECT r{100, 100, 400, 120};
        benchmark::DoNotOptimize(
            DrawText(c.dc(), "&Customize Toolbars: Edit", &r, DT_SINGLELINE | DT_VCENTER));
    }
}
BENCHMARK(BM_DrawTextMenuItem)->Apply(bench::Repeated);

} // namespace
