#include "list/sort_keys.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "inventory/date_text.h"
#include "list/column_ranks.h"
#include "list/merge_order.h"

namespace {

class SortKeyComparer : public PreparedSort {
 public:
  SortKeyComparer(TVirtualStringTree& list, LocaleText& locale, const DateReadingSource& readDates,
                  TColumnIndex column, SortKeyCache* cache)
      : list_(list), locale_(locale), column_(column), cache_(cache) {
    if (column_ == 1) {
      try {
        reading_ = readDates();
      } catch (const std::exception&) {
        reading_.reset();  // no row's date reads: every comparison stays equal
      }
    }
    TakeCache();
    std::vector<std::uint32_t>& ranks = ranks_[static_cast<std::size_t>(column_)];
    if (column_ == 1 && keptReading_ != reading_) ranks.clear();
    if (!ranks.empty() || records_.empty()) return;
    ColumnOrder order = DeriveColumnOrder(column_, records_, locale_, reading_, std::move(spare_));
    if (order.ranked) {
      ranks = std::move(order.ranks);
    } else {
      ranked_ = false;
      texts_ = std::move(order);
    }
  }

  void SortPositions(TSortDirection direction, std::vector<std::uint32_t>& order) override {
    const bool descending = direction == sdDescending;
    const std::vector<std::uint32_t>& ranks = Ranks();
    if (ranked_ && std::find(ranks.begin(), ranks.end(), kNoRank) == ranks.end()) {
      OrderByRank(ranks, descending, order);
    } else if (ranked_) {
      // A row equal to every other makes the order depend on which pairs the merge compares,
      // so these go through the merge itself.
      MergeSortItems(
          order,
          [&ranks](std::uint32_t a, std::uint32_t b) { return CompareRanks(ranks[a], ranks[b]); },
          descending);
    } else {
      MergeSortItems(
          order,
          [&](std::uint32_t a, std::uint32_t b) { return CompareRowTexts(texts_, locale_, a, b); },
          descending);
    }
  }

  void OrderApplied(const std::vector<std::uint32_t>& order, std::uint64_t revision) override {
    if (!cache_) return;
    MoveToNewPlaces(order);
    cache_->list = &list_;
    cache_->revision = revision;
    cache_->locale = &locale_;
    cache_->records = std::move(records_);
    cache_->ranks = std::move(ranks_);
    cache_->reading = column_ == 1 ? reading_ : keptReading_;
  }

 private:
  const std::vector<std::uint32_t>& Ranks() const {
    return ranks_[static_cast<std::size_t>(column_)];
  }

  // Takes the cache's ranks when they were derived from these rows, in this order; the cache is
  // left empty either way, since a sort that fails must not leave it behind. Otherwise its
  // records and one column's ranks lend their memory to this sort's: after a scan, 100,000 rows'
  // worth of fresh memory costs a page fault per 4 KiB at its first touch.
  void TakeCache() {
    SortKeyCache kept;
    if (cache_) {
      kept = std::move(*cache_);
      *cache_ = SortKeyCache{};
    }
    const auto count = static_cast<std::size_t>(list_.RootNodeCount());
    // The revision says the rows are the same nodes in the same order; the records say each
    // node still holds what it held then (a slot may be filled after the node was sorted in).
    bool current = kept.list == &list_ && kept.revision == list_.Revision() &&
                   kept.locale == &locale_ && kept.records.size() == count;
    records_ = std::move(kept.records);
    records_.resize(count);
    constexpr int kAhead = 8;  // nodes asked for ahead, as they lie anywhere in memory
    for (std::size_t i = 0; i < count; ++i) {
      __builtin_prefetch(list_.NodeAt(static_cast<int>(i) + kAhead));
      const TTreeDataClass* record = RecordOf(list_, list_.NodeAt(static_cast<int>(i)));
      current = current && records_[i] == record;
      records_[i] = record;
    }
    if (!current) {
      for (std::vector<std::uint32_t>& ranks : kept.ranks) {
        if (ranks.capacity() > spare_.capacity()) spare_ = std::move(ranks);
      }
      return;
    }
    ranks_ = std::move(kept.ranks);
    keptReading_ = std::move(kept.reading);
  }

  // Puts every row's record and ranks at its place in `order`, the rows' new order. In place,
  // one cycle of the permutation after the other: a sort that moves 100,000 rows would otherwise
  // ask for megabytes of fresh memory, whose first touch costs more than the moves.
  void MoveToNewPlaces(const std::vector<std::uint32_t>& order) {
    std::vector<std::vector<std::uint32_t>*> ranks;
    for (std::vector<std::uint32_t>& column : ranks_) {
      if (column.size() == order.size()) ranks.push_back(&column);
    }
    std::vector<bool> placed(order.size(), false);
    for (std::size_t start = 0; start < order.size(); ++start) {
      if (placed[start] || order[start] == start) continue;
      const TTreeDataClass* firstRecord = records_[start];
      std::uint32_t firstRanks[4] = {};
      for (std::size_t c = 0; c < ranks.size(); ++c) firstRanks[c] = (*ranks[c])[start];
      std::size_t to = start;
      for (std::size_t from = order[to]; from != start; to = from, from = order[to]) {
        records_[to] = records_[from];
        for (std::vector<std::uint32_t>* column : ranks) (*column)[to] = (*column)[from];
        placed[to] = true;
      }
      records_[to] = firstRecord;
      for (std::size_t c = 0; c < ranks.size(); ++c) (*ranks[c])[to] = firstRanks[c];
      placed[to] = true;
    }
  }

  TVirtualStringTree& list_;
  LocaleText& locale_;
  TColumnIndex column_;
  SortKeyCache* cache_;  // may be null
  std::optional<DateReading> reading_;
  std::optional<DateReading> keptReading_;           // what the kept column 1 ranks were read with
  std::vector<const TTreeDataClass*> records_;       // each row's record, in display order
  std::array<std::vector<std::uint32_t>, 4> ranks_;  // per column, as SortKeyCache::ranks
  std::vector<std::uint32_t> spare_;                 // memory for the ranks to be derived
  bool ranked_ = true;                               // false: this column's rows compare by texts_
  ColumnOrder texts_;
};

}  // namespace

std::unique_ptr<PreparedSort> MakeSortComparer(TVirtualStringTree& list, LocaleText& locale,
                                               const DateReadingSource& readDates,
                                               TColumnIndex column, SortKeyCache* cache) {
  if (column < 0 || column > 3) return nullptr;
  return std::make_unique<SortKeyComparer>(list, locale, readDates, column, cache);
}
