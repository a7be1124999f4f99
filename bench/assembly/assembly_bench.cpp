// Assembles, and assembles and scans, every paragraph of the linked book: the time per
// paragraph and the heap allocations made meanwhile, counted by replacing operator new.
// The engine must make none; the counter shows any that creep in.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>

#include "book/assembly.h"
#include "book/state_file.h"
#include "book/tables.h"
#include "markup/scanner.h"
#include "page/controls.h"
#include "page/display_list.h"
#include "platform/headless/headless.h"

namespace {

// Counts only while a measured loop runs, so the harness's own allocations stay out.
bool Counting = false;
int64_t Allocations = 0;

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
    Allocations = 0;
    Counting = true;
    for (auto _ : state) {
        for (int16_t n = 1; n <= book::ParagraphCount; ++n) {
            if (book::ParagraphIndex[n - 1].chunk >= 0) page(n);
        }
    }
    Counting = false;
    state.counters["paragraphs"] = paragraphs;
    state.counters["time_per_paragraph"] = benchmark::Counter(
        paragraphs, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["heap_allocations"] = static_cast<double>(Allocations);
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

void* operator new(std::size_t size) {
    if (Counting) ++Allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

// Kept out of line: inlined, free() on memory from operator new looks mismatched to GCC.
[[gnu::noinline]] void operator delete(void* p) noexcept {
    std::free(p);
}

[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

BENCHMARK_MAIN();
