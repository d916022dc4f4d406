#include "writers/kb_order.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "inventory/kb_rules.h"

int CompareKbOrder(const TTreeDataClass& a, const TTreeDataClass& b) {
  const std::int32_t na = KbNumber(a.HotFixID);
  const std::int32_t nb = KbNumber(b.HotFixID);
  return na < nb ? -1 : (nb < na ? 1 : 0);
}

std::vector<const TTreeDataClass*> RowsInKbOrder(const std::vector<TTreeDataClass>& rows) {
  // A least-significant-digit radix sort of the numbers, a byte at a time: each pass is stable,
  // so rows of one number keep their order, and a byte that is the same in every number (the
  // high ones, for today's KB numbers) costs no pass. Each number is read once.
  std::vector<std::uint32_t> numbers(rows.size());
  std::vector<const TTreeDataClass*> ordered(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    numbers[i] = static_cast<std::uint32_t>(KbNumber(rows[i].HotFixID));  // never negative
    ordered[i] = &rows[i];
  }
  std::vector<std::uint32_t> nextNumbers(rows.size());
  std::vector<const TTreeDataClass*> next(rows.size());
  for (int shift = 0; shift < 32; shift += 8) {
    std::array<std::size_t, 257> start{};
    for (const std::uint32_t number : numbers) ++start[((number >> shift) & 0xFF) + 1];
    if (std::find(start.begin(), start.end(), rows.size()) != start.end()) continue;
    for (std::size_t digit = 1; digit < start.size(); ++digit) start[digit] += start[digit - 1];
    for (std::size_t i = 0; i < numbers.size(); ++i) {
      const std::size_t to = start[(numbers[i] >> shift) & 0xFF]++;
      nextNumbers[to] = numbers[i];
      next[to] = ordered[i];
    }
    numbers.swap(nextNumbers);
    ordered.swap(next);
  }
  return ordered;
}
