#pragma once
// Counts what the global operator new hands out and operator delete takes back, for the memory
// benchmark. Linked only into that benchmark's binary, so that the timed benchmarks run on the
// plain allocator.
#include <cstddef>

struct AllocationCount {
  std::size_t liveBytes = 0;        // requested bytes not yet deleted
  std::size_t liveAllocations = 0;  // blocks not yet deleted
  // What a 64-bit glibc heap would take for those requests: each block in a chunk of its size
  // plus an 8-byte header, rounded up to 16 bytes, 32 at least. The requested bytes hide that
  // cost, which grows with the number of small blocks.
  std::size_t liveChunkBytes = 0;
};

AllocationCount CurrentAllocations();
