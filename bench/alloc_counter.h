#pragma once
// Counts what the global operator new hands out and operator delete takes back, for the memory
// benchmark. Linked only into that benchmark's binary, so that the timed benchmarks run on the
// plain allocator.
#include <cstddef>

struct AllocationCount {
  std::size_t liveBytes = 0;        // requested bytes not yet deleted
  std::size_t liveAllocations = 0;  // blocks not yet deleted
};

AllocationCount CurrentAllocations();
