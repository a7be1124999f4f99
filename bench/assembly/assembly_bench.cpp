// Assembles, and assembles and scans, every paragraph of the linked book: the time per
// paragraph and the heap allocations made meanwhile (the shared allocation counter).
// The engine must make none; the counter shows any that creep in.
#include <benchmark/benchmark.h>

#include "bench/common/allocation_counter.h"
#include "book/assembly.h"
#include "book/state_file.h"
#include "book/tables.h"
#include "markup/scanner.h"
#include "page/controls.h"
#include "page/display_list.h"
#include "platform/headless/headless.h"

namespace {

int ParagraphsWithText() {
    int count = 0;
    for (const auto& entry : book::ParagraphIndex) count += entry.chunk >= 0 ? 1 : 0;
    return count;
}

// Runs page for every paragraph with text in each iteration and reports the time per
// paragraph and the allocations per iteration.
template <typename Page>
void EveryParagraph(benchmark::State& state, Page page) {
    headless::Reset();
    book::SetSoundOn(0);  // the headless device records sounds on the heap
    const int paragraphs = ParagraphsWithText();
    // Counted around the measured loop only, so the harness's own allocations stay out.
    const int64_t before = bench::AllocationCount();
    for (auto _ : state) {
        for (int16_t n = 1; n <= book::ParagraphCount; ++n) {
            if (book::ParagraphIndex[n - 1].chunk >= 0) page(n);
        }
    }
    const int64_t allocations = bench::AllocationCount() - before;
    state.counters["paragraphs"] = paragraphs;
    state.counters["time_per_paragraph"] = benchmark::Counter(
        paragraphs, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["heap_allocations"] = static_cast<double>(allocations);
    state.counters["message_boxes"] = static_cast<double>(headless::MessageBoxes().size());
}

void Assemble(benchmark::State& state) {
    EveryParagraph(state, [](int16_t n) {
        book::AssembleParagraph(n, book::ParagraphText);
        benchmark::DoNotOptimize(book::ParagraphText[0]);
    });
}

void AssembleAndScan(benchmark::State& state) {
    EveryParagraph(state, [](int16_t n) {
        book::AssembleParagraph(n, book::ParagraphText);
        page::ResetDisplayList();
        page::ResetControls();
        markup::MarkupScanner(book::ParagraphText);
        benchmark::DoNotOptimize(page::DisplayList.count);
    });
}

BENCHMARK(Assemble);
BENCHMARK(AssembleAndScan);

}  // namespace

BENCHMARK_MAIN();
