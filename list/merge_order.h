#pragma once
// The list's one sorting algorithm: a top-down merge with one scratch buffer for the left run.
// Its comparisons, and their order, are those of the classic recursive list merge. Every way the
// list sorts (the comparison event, or keys a column prepares once per sort) goes through it, so
// they all give the same order, even when a comparison is no strict weak order: a row whose key
// could not be derived compares equal to every other, and where it ends up depends on exactly
// which pairs were compared.
#include <algorithm>
#include <cstddef>
#include <vector>

// Sorts `items` with `compare(a, b)` (negative, 0 or positive); equal items keep their order.
// Descending takes the right item only when it compares below the left one. `stop()` is asked
// after each comparison; when it answers true the sort ends at once and returns false, with
// `items` in an unspecified order.
template <typename T, typename Compare, typename Stop>
bool MergeSortItems(std::vector<T>& items, Compare&& compare, bool descending, Stop&& stop) {
  std::vector<T> scratch(items.size() / 2);
  bool abandoned = false;
  auto sortRun = [&](auto& self, std::size_t first, std::size_t length) -> void {
    if (length < 2 || abandoned) return;
    const std::size_t half = length / 2;
    self(self, first, half);
    self(self, first + half, length - half);
    if (abandoned) return;
    const auto begin = items.begin() + static_cast<std::ptrdiff_t>(first);
    std::move(begin, begin + static_cast<std::ptrdiff_t>(half), scratch.begin());
    std::size_t a = 0;
    std::size_t b = first + half;
    std::size_t out = first;
    const std::size_t end = first + length;
    while (a < half && b < end) {
      const int result = compare(scratch[a], items[b]);
      if (stop()) {
        abandoned = true;
        return;
      }
      const bool takeB = descending ? result < 0 : result > 0;
      items[out++] = takeB ? std::move(items[b++]) : std::move(scratch[a++]);
    }
    while (a < half) items[out++] = std::move(scratch[a++]);
  };
  sortRun(sortRun, 0, items.size());
  return !abandoned;
}

template <typename T, typename Compare>
void MergeSortItems(std::vector<T>& items, Compare&& compare, bool descending) {
  MergeSortItems(items, compare, descending, [] { return false; });
}
