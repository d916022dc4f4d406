#pragma once
// Counts what the global operator new hands out while a CountedAllocations lives, so that a
// test can tell whether a big text was built before it was refused. This test program replaces
// the global operator new and delete for that (allocation_count.cpp).
#include <cstddef>

class CountedAllocations {
 public:
  CountedAllocations();  // one at a time
  ~CountedAllocations();
  CountedAllocations(const CountedAllocations&) = delete;
  CountedAllocations& operator=(const CountedAllocations&) = delete;

  std::size_t Bytes() const;  // requested since construction
};
