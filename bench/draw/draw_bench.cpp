// Fitting and drawing one 232-pixel line of page text with a warm glyph cache, at each
// framebuffer scale, with a count of heap allocations per line (it must stay 0).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "platform/draw_internal.h"
#include "platform/platform.h"

namespace {

std::atomic<int64_t> Allocations{0};

void* Allocate(std::size_t size) {
    ++Allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { ++Allocations; return std::malloc(size == 0 ? 1 : size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { ++Allocations; return std::malloc(size == 0 ? 1 : size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

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
    const int64_t before = Allocations.load();
    for (auto _ : state) FitAndDraw(surface, 100);
    const int64_t allocations = Allocations.load() - before;
    state.counters["allocations_per_line"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
    if (allocations != 0) state.SkipWithError("the warm path allocated");
    plat::DeleteSurface(surface);
    plat::DeleteFont(font);
}
BENCHMARK(BM_FitAndDrawLine)->DenseRange(1, 3)->ArgName("scale");

}  // namespace

BENCHMARK_MAIN();
