// Sorts by rank, some rows without one (equal to every other), against the merge through a
// comparison: the same order after each of a few sorts, whatever the ranks, directions and
// lengths.
#include <cstdint>
#include <numeric>
#include <vector>

#include "fuzz_support.h"
#include "list/column_ranks.h"
#include "list/merge_order.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const int sorts = data.ConsumeIntegralInRange(1, 4);
  std::vector<bool> descending;
  for (int i = 0; i < sorts; ++i) descending.push_back(data.ConsumeBool());
  // A byte per row: 0 no rank, otherwise the rank (dense enough for the counting tables).
  std::vector<std::uint32_t> ranks;
  while (data.remaining_bytes() > 0 && ranks.size() < 4000) {
    const std::uint8_t byte = data.ConsumeIntegral<std::uint8_t>();
    ranks.push_back(byte == 0 ? kNoRank : byte - 1u);
  }
  std::vector<std::uint32_t> merged(ranks.size());
  std::iota(merged.begin(), merged.end(), 0u);
  std::vector<std::uint32_t> sorted = merged;
  RankedMergeSort sorter;
  for (const bool down : descending) {
    MergeSortItems(
        merged, [&](std::uint32_t a, std::uint32_t b) { return CompareRanks(ranks[a], ranks[b]); },
        down);
    sorter.Sort([&](std::uint32_t row) { return ranks[row]; }, down, sorted);
    FUZZ_CHECK(sorted == merged);
  }
  return 0;
}
