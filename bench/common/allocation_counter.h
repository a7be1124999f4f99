// The heap-allocation counter of the benchmarks: linking it replaces the global operator
// new and delete with ones that count every allocation. Used by the draw, page and
// assembly benchmarks to show that the engine allocates nothing while it runs.
#pragma once

#include <cstdint>

namespace bench {

// Returns how many times operator new has been called in this process so far; take the
// difference around a measured loop to count its allocations.
int64_t AllocationCount();

}  // namespace bench
