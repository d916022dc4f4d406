#pragma once
// The list's one sorting algorithm: a top-down merge with one scratch buffer for the left run.
// Its comparisons, and their order, are those of the classic recursive list merge. Every way the
// list sorts (the comparison event, or keys a column prepares once per sort) goes through it, so
// they all give the same order, even when a comparison is no strict weak order: a row whose key
// could not be derived compares equal to every other, and where it ends up depends on exactly
// which pairs were compared.
#include <algorithm>
#include <cstddef>
#include <cstdint>
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

// The rank of an item whose key could not be derived: it compares equal to every item.
inline constexpr std::uint32_t kNoRank = 0xFFFFFFFF;

// MergeSortItems for items with ranks compared as integers, kNoRank among them: the same order,
// in time about proportional to the count (list/merge_order.cpp says how), since with items equal
// to every other nothing but the merge's own decisions give that order. One sorter serves the
// sorts of one click: the room of the first serves the next.
class RankedMergeSort {
 public:
  // Re-orders `order`, a sequence of items, by `rankOf(item)`. Ranks are meant to be dense (below
  // the item count).
  template <typename RankOf>
  void Sort(const RankOf& rankOf, bool descending, std::vector<std::uint32_t>& order) {
    value_.resize(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) value_[i] = rankOf(order[i]);
    SortByValues(descending, order);
  }

 private:
  struct Run;
  struct Placed {
    std::uint32_t value;
    std::uint32_t place;
  };

  void SortByValues(bool descending, std::vector<std::uint32_t>& order);
  Run Walk(std::uint32_t first, std::uint32_t length);
  void MoveIntoLeft(const Run& left, const Run& right, Run& run);
  void Append(Run& run, std::uint32_t head, std::uint32_t tail);
  void Arrange(std::vector<std::uint32_t>& order);

  // Per place in the sequence: the rank, then the sort's value (0: no rank); the unranked items
  // before it; the stretch it is in so far; the first-stretch lists.
  std::vector<std::uint32_t> value_, before_, stretch_, next_;
  std::vector<std::uint32_t> high_;    // per stretch closed so far: its highest value
  std::vector<std::uint32_t> prefix_;  // scratch of MoveIntoLeft
  std::vector<Placed> placed_;         // the places in their new order, with their values
  std::vector<std::uint32_t> moved_;   // the items in their new order
};

// What the merge gives when every item has a rank and two items compare as their ranks do (an
// order with ties, but without items equal to all): `order`, a sequence of items (indexes into
// `ranks`), re-ordered by rank, ascending or descending, each rank's items in their previous
// order. A sequence already in order (the second sort of a header click) stays as it is, one in
// the opposite order (the click that reverses it) becomes its runs of equal ranks from last to
// first; anything else is a counting sort, whose table the highest rank sizes: ranks are meant
// to be dense (below the item count).
// `rankOf(item)` gives an item's rank.
template <typename RankOf>
void OrderByRank(const RankOf& rankOf, bool descending, std::vector<std::uint32_t>& order) {
  const std::size_t count = order.size();
  bool inOrder = true, reversed = true;
  for (std::size_t i = 1; i < count && (inOrder || reversed); ++i) {
    const std::uint32_t a = rankOf(order[i - 1]), b = rankOf(order[i]);
    if (descending ? a < b : b < a) inOrder = false;
    if (descending ? b < a : a < b) reversed = false;
  }
  if (inOrder) return;
  std::vector<std::uint32_t> sorted(count);
  if (reversed) {
    std::size_t out = 0;
    for (std::size_t end = count; end > 0;) {
      std::size_t begin = end - 1;
      while (begin > 0 && rankOf(order[begin - 1]) == rankOf(order[end - 1])) --begin;
      for (std::size_t i = begin; i < end; ++i) sorted[out++] = order[i];
      end = begin;
    }
    order.swap(sorted);
    return;
  }
  std::uint32_t highest = 0;
  for (const std::uint32_t item : order) highest = std::max(highest, rankOf(item));
  const std::uint32_t rankCount = highest + 1;
  std::vector<std::uint32_t> next(static_cast<std::size_t>(rankCount) + 1, 0);
  const auto slot = [&](std::uint32_t rank) {
    return static_cast<std::size_t>(descending ? rankCount - 1 - rank : rank);
  };
  for (const std::uint32_t item : order) ++next[slot(rankOf(item)) + 1];
  for (std::size_t i = 1; i < next.size(); ++i) next[i] += next[i - 1];
  for (const std::uint32_t item : order) sorted[next[slot(rankOf(item))]++] = item;
  order.swap(sorted);
}

inline void OrderByRank(const std::vector<std::uint32_t>& ranks, bool descending,
                        std::vector<std::uint32_t>& order) {
  OrderByRank([&ranks](std::uint32_t item) { return ranks[item]; }, descending, order);
}
