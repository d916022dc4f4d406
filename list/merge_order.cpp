#include "list/merge_order.h"

// How the merge orders ranked items when some have no rank (and so equal every other):
//
// In one merge of a left run A and a right run B, an unranked item at A's head is taken at once
// (nothing of B may pass it), and one at B's head holds B back until A is used up. So a merge
// keeps its unranked items in the order they came, and between two of them (a "stretch") its
// ranked items stand in order: by induction every stretch of a run is sorted. A ranked item x of
// B's first stretch goes into the first stretch of A whose highest item is above x, or, when
// there is none, stays after all of A, in the stretch where it was; every other item keeps its
// stretch. A stretch is named by the unranked item that ends it, counted from the left of the
// whole sequence (the last stretch, which nothing ends, by their count); names never change, so
// merging two runs renames nothing.
//
// So the merges only decide each ranked item's stretch, and that is found by walking the same
// halves as the merge sort, but only down into runs that hold an unranked item, and touching only
// the items of first stretches. The order then follows: the stretches one after the other, each
// followed by the unranked item that ends it, and each sorted by value, equal values in the order
// of their places.

#include <algorithm>

namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFF;

// Stretches hold a few items each: those are put in order by insertion, longer ones by a
// stable sort.
constexpr std::size_t kInsertionLimit = 24;

}  // namespace

// What the walk knows of a run once its halves are merged.
struct RankedMergeSort::Run {
  std::uint32_t firstHead = kNone;  // its first stretch's ranked items, a list through `next_`
  std::uint32_t firstTail = kNone;
  std::uint32_t lastHigh = 0;    // the highest value in its last stretch (0: none)
  std::uint32_t closedHigh = 0;  // the highest value in its other stretches
  std::uint32_t low = 0;         // the name of its first stretch
  std::uint32_t high = 0;        // the name of its last one: one more per unranked item
};

void RankedMergeSort::SortByValues(bool descending, std::vector<std::uint32_t>& order) {
  const auto count = static_cast<std::uint32_t>(order.size());
  if (count < 2) return;
  std::uint32_t highest = 0;
  for (const std::uint32_t rank : value_) {
    if (rank != kNoRank) highest = std::max(highest, rank);
  }
  before_.resize(count + 1);
  std::uint32_t unranked = 0;
  for (std::uint32_t p = 0; p < count; ++p) {
    const std::uint32_t rank = value_[p];
    // Values ascend in the sort's direction, from 1.
    value_[p] = rank == kNoRank ? 0 : (descending ? highest - rank : rank) + 1;
    before_[p] = unranked;
    unranked += rank == kNoRank;
  }
  before_[count] = unranked;
  stretch_.assign(before_.begin(), before_.end() - 1);
  next_.resize(count);
  high_.assign(static_cast<std::size_t>(unranked) + 1, 0);
  Walk(0, count);
  Arrange(order);
}

RankedMergeSort::Run RankedMergeSort::Walk(std::uint32_t first, std::uint32_t length) {
  Run run;
  run.low = before_[first];
  run.high = before_[first + length];
  if (run.low == run.high) {
    // No unranked item: one stretch, already named.
    for (std::uint32_t p = first; p < first + length; ++p) {
      next_[p] = p + 1;
      run.lastHigh = std::max(run.lastHigh, value_[p]);
    }
    next_[first + length - 1] = kNone;
    run.firstHead = first;
    run.firstTail = first + length - 1;
    return run;
  }
  if (length == 1) return run;  // an unranked item: its first stretch is empty
  const std::uint32_t half = length / 2;
  const Run left = Walk(first, half);
  const Run right = Walk(first + half, length - half);
  const std::uint32_t joined = left.high;  // left's last stretch and right's first
  run.firstHead = left.firstHead;
  run.firstTail = left.firstTail;
  if (left.low == joined) {
    // The left run has one stretch, which is the right run's first.
    Append(run, right.firstHead, right.firstTail);
  } else if (left.closedHigh > 0) {
    MoveIntoLeft(left, right, run);
  }
  if (right.high > joined) {
    // The right run's first stretch is closed by its first unranked item: it now holds the
    // left run's last stretch too.
    high_[joined] = std::max(high_[joined], left.lastHigh);
    run.lastHigh = right.lastHigh;
    run.closedHigh = std::max({left.closedHigh, right.closedHigh, high_[joined]});
  } else {
    run.lastHigh = std::max(left.lastHigh, right.lastHigh);
    run.closedHigh = left.closedHigh;
  }
  // A stretch's high may stay above what is left in it once items moved out: the stretch they
  // moved to comes earlier and is higher still, so every search finds that one first.
  return run;
}

// The right run's first-stretch items that some closed stretch of the left run passes.
void RankedMergeSort::MoveIntoLeft(const Run& left, const Run& right, Run& run) {
  bool searchable = false;
  for (std::uint32_t p = right.firstHead; p != kNone;) {
    const std::uint32_t following = next_[p];
    const std::uint32_t value = value_[p];
    if (value < left.closedHigh) {
      // Mostly one of the first few stretches passes it; over more, a binary search on the
      // running highest value.
      std::uint32_t g = left.low;
      const std::uint32_t probed = std::min(left.high, left.low + 8);
      while (g < probed && high_[g] <= value) ++g;
      if (g == probed) {
        if (!searchable) {
          prefix_.clear();
          std::uint32_t highest = 0;
          for (std::uint32_t s = left.low; s < left.high; ++s) {
            highest = std::max(highest, high_[s]);
            prefix_.push_back(highest);
          }
          searchable = true;
        }
        const auto found = std::upper_bound(prefix_.begin(), prefix_.end(), value);
        g = left.low + static_cast<std::uint32_t>(found - prefix_.begin());
      }
      stretch_[p] = g;
      if (g == left.low) {
        next_[p] = kNone;
        Append(run, p, p);
      }
    }
    p = following;
  }
}

void RankedMergeSort::Append(Run& run, std::uint32_t head, std::uint32_t tail) {
  if (head == kNone) return;
  if (run.firstHead == kNone) {
    run.firstHead = head;
  } else {
    next_[run.firstTail] = head;
  }
  run.firstTail = tail;
}

// The stretches in their order, each followed by the unranked item that ends it and sorted by
// value; within a stretch the places come in their order, so equal values keep it.
void RankedMergeSort::Arrange(std::vector<std::uint32_t>& order) {
  const auto count = static_cast<std::uint32_t>(order.size());
  const std::size_t stretches = high_.size();
  // Where each stretch begins: after the ranked items of those before it and the unranked
  // items that end them.
  std::vector<std::uint32_t>& at = prefix_;
  at.assign(stretches + 1, 0);
  for (std::uint32_t p = 0; p < count; ++p) at[stretch_[p] + 1] += value_[p] != 0;
  for (std::size_t g = 1; g <= stretches; ++g) at[g] += at[g - 1] + 1;
  placed_.resize(count);
  for (std::uint32_t p = 0; p < count; ++p) {
    if (value_[p] != 0) placed_[at[stretch_[p]]++] = {value_[p], p};
  }
  // Each stretch's count stopped where the unranked item that ends it goes.
  for (std::uint32_t p = 0; p < count; ++p) {
    if (value_[p] == 0) placed_[at[before_[p]]] = {0, p};
  }
  const auto byValue = [](const Placed& a, const Placed& b) { return a.value < b.value; };
  for (std::size_t begin = 0; begin < count;) {
    std::size_t end = begin;
    while (end < count && placed_[end].value != 0) ++end;
    if (end - begin > kInsertionLimit) {
      std::stable_sort(placed_.begin() + static_cast<std::ptrdiff_t>(begin),
                       placed_.begin() + static_cast<std::ptrdiff_t>(end), byValue);
    } else {
      for (std::size_t i = begin + 1; i < end; ++i) {
        const Placed item = placed_[i];
        std::size_t j = i;
        for (; j > begin && item.value < placed_[j - 1].value; --j) placed_[j] = placed_[j - 1];
        placed_[j] = item;
      }
    }
    begin = end + 1;  // past the unranked item that ends the stretch
  }
  moved_.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) moved_[i] = order[placed_[i].place];
  order.swap(moved_);
}
