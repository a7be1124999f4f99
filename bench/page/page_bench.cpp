// Page turns over a whole book: every paragraph with text is rebuilt, laid out and drawn on
// the headless device, as navigation does it, at scales 1 and 3. Reports the microseconds
// of a page turn (median and worst) and of a repaint of the same page, and the heap
// allocations per page turn once the glyph cache is warm (it must be 0). Times are the
// thread's CPU time, so other work on a shared machine does not show as slow pages.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <vector>

#include "bench/common/allocation_counter.h"
#include "book/tables.h"
#include "tools/screenshot/page_window.h"

namespace {

// Microseconds of CPU time this thread has used.
double ThreadMicroseconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

std::vector<int16_t> ParagraphsWithText() {
    std::vector<int16_t> out;
    for (int16_t n = 1; n <= book::ParagraphCount; ++n) {
        if (book::ParagraphIndex[n - 1].chunk != -1) out.push_back(n);
    }
    return out;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One iteration turns to every paragraph in order, then repaints it without a rebuild.
void BM_PageTurns(benchmark::State& state) {
    const std::vector<int16_t> paragraphs = ParagraphsWithText();
    if (paragraphs.empty()) {
        state.SkipWithError("the book has no paragraphs with text");
        return;
    }
    plat::WindowId window = screenshot::OpenPageWindow(static_cast<int32_t>(state.range(0)));
    for (int16_t n : paragraphs) screenshot::ShowParagraph(window, n);  // warms the glyph and bitmap caches

    std::vector<double> turns, repaints;
    int64_t allocations = 0;
    for (auto _ : state) {
        for (int16_t n : paragraphs) {
            const int64_t before = bench::AllocationCount();
            const double start = ThreadMicroseconds();
            screenshot::ShowParagraph(window, n);
            const double turned = ThreadMicroseconds();
            allocations += bench::AllocationCount() - before;
            screenshot::Repaint(window);
            const double repainted = ThreadMicroseconds();
            turns.push_back(turned - start);
            repaints.push_back(repainted - turned);
        }
    }
    screenshot::ClosePageWindow(window);

    state.counters["pages"] = static_cast<double>(paragraphs.size());
    state.counters["turn_median_us"] = Median(turns);
    state.counters["turn_worst_us"] = *std::max_element(turns.begin(), turns.end());
    state.counters["repaint_median_us"] = Median(repaints);
    state.counters["repaint_worst_us"] = *std::max_element(repaints.begin(), repaints.end());
    state.counters["allocs_per_turn"] = static_cast<double>(allocations) / static_cast<double>(turns.size());
}
BENCHMARK(BM_PageTurns)->ArgName("scale")->Arg(1)->Arg(3)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
