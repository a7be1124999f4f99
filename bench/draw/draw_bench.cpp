// Fitting and drawing one 232-pixel line of page text with a warm glyph cache, at each
// framebuffer scale, with a count of heap allocations per line (it must stay 0).
#include <benchmark/benchmark.h>

#include "bench/common/allocation_counter.h"
#include "platform/draw_internal.h"
#include "platform/platform.h"

namespace {

constexpr char16_t Line[] = u"The path narrows where the alders lean together, and the mist lies so thick";
constexpr int32_t LineWidth = 232;

// Fits the line at its blanks the way the page layout does (one measurement per blank,
// from the start), then draws the fitted piece vertically centred in its line.
void FitAndDraw(plat::SurfaceId surface, int32_t top) {
    int32_t fit = 0;
    for (int32_t i = 0; Line[i] != 0; ++i) {
        if (Line[i] != u' ') continue;
        if (plat::GetTextExtent(surface, Line, i + 1).width >= LineWidth) break;
        fit = i + 1;
    }
    const plat::Size extent = plat::GetTextExtent(surface, Line, fit);
    plat::DrawText(surface, Line, fit, plat::Rect{4, top, 4 + LineWidth, top + extent.height},
                   plat::TextVCenter | plat::TextSingleLine | plat::TextNoPrefix);
}

void BM_FitAndDrawLine(benchmark::State& state) {
    plat::draw::InitFramebuffer(static_cast<int32_t>(state.range(0)));
    const plat::FontId font = plat::CreateFont({13, 300});
    const plat::SurfaceId surface = plat::draw::CreateScreenSurface(0, 0, plat::Rect{0, 0, 240, 320});
    plat::SelectFont(surface, font);
    FitAndDraw(surface, 100);  // warms the glyph cache
    const int64_t before = bench::AllocationCount();
    for (auto _ : state) FitAndDraw(surface, 100);
    const int64_t allocations = bench::AllocationCount() - before;
    state.counters["allocations_per_line"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
    if (allocations != 0) state.SkipWithError("the warm path allocated");
    plat::DeleteSurface(surface);
    plat::DeleteFont(font);
}
BENCHMARK(BM_FitAndDrawLine)->DenseRange(1, 3)->ArgName("scale");

}  // namespace

BENCHMARK_MAIN();
