#include "list/sort_keys.h"

#include <algorithm>
#include <exception>
#include <numeric>
#include <utility>
#include <vector>

#include "inventory/date_text.h"
#include "list/column_ranks.h"
#include "list/merge_order.h"

namespace {

bool HasOrder(const SortKeyCache& cache, TColumnIndex column) {
  const auto c = static_cast<std::size_t>(column);
  return !cache.ranks[c].empty() || cache.unranked[c].has_value();
}

// Brings the cache to the list as it stands. It is kept while the list is the same, in the order
// the cache last knew (the revision says the rows are the same nodes in that order) and every row
// still holds the record it held (a slot may be filled after its node was sorted in); otherwise
// it is made afresh for these rows, with nothing derived, its memory kept for what comes.
void Refresh(SortKeyCache& cache, TVirtualStringTree& list, LocaleText& locale) {
  const auto count = static_cast<std::size_t>(list.RootNodeCount());
  bool same = cache.list == &list && cache.revision == list.Revision() && cache.locale == &locale &&
              cache.current.size() == count;
  for (std::size_t i = 0; same && i < count; ++i) {
    const PVirtualNode node = list.NodeAt(static_cast<int>(i));
    same = cache.records[cache.current[i]] == (node->hasSlot ? node->record.get() : nullptr);
  }
  if (same) return;
  cache.list = &list;
  cache.revision = list.Revision();
  cache.locale = &locale;
  list.RecordsInOrder(cache.records);
  cache.current.resize(count);
  std::iota(cache.current.begin(), cache.current.end(), 0u);
  for (std::vector<std::uint32_t>& ranks : cache.ranks) ranks.clear();
  cache.everyRowRanked.fill(false);
  for (std::optional<ColumnOrder>& texts : cache.unranked) texts.reset();
  cache.reading.reset();
}

// What column 1's dates are read with; none when the locale cannot say: no row's date reads, and
// every comparison stays equal.
std::optional<DateReading> ReadingFor(const DateReadingSource& readDates) {
  try {
    return readDates();
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// The column's order of the rows into the cache, unless it is there already, derived from the
// same reading for column 1.
void Derive(SortKeyCache& cache, TColumnIndex column, LocaleText& locale,
            const std::optional<DateReading>& reading) {
  const auto c = static_cast<std::size_t>(column);
  if (column == 1 && cache.reading != reading) {
    cache.ranks[c].clear();
    cache.unranked[c].reset();
  }
  if (HasOrder(cache, column) || cache.records.empty()) return;
  ColumnOrder order =
      DeriveColumnOrder(column, cache.records, locale, reading, std::move(cache.ranks[c]));
  if (order.ranked) {
    cache.everyRowRanked[c] =
        std::find(order.ranks.begin(), order.ranks.end(), kNoRank) == order.ranks.end();
    cache.ranks[c] = std::move(order.ranks);
  } else {
    cache.ranks[c].clear();
    cache.unranked[c] = std::move(order);
  }
  if (column == 1) cache.reading = reading;
}

class SortKeyComparer : public PreparedSort {
 public:
  SortKeyComparer(TVirtualStringTree& list, LocaleText& locale, const DateReadingSource& readDates,
                  TColumnIndex column, SortKeyCache* cache)
      : locale_(locale), column_(column), keys_(cache ? *cache : own_) {
    Refresh(keys_, list, locale_);
    Derive(keys_, column_, locale_, column_ == 1 ? ReadingFor(readDates) : std::nullopt);
  }

  // The rows' positions are places in the list as the cache knows it: `current` says which
  // derivation index, and so which rank or text, each stands for.
  void SortPositions(TSortDirection direction, std::vector<std::uint32_t>& order) override {
    const bool descending = direction == sdDescending;
    const auto c = static_cast<std::size_t>(column_);
    const std::vector<std::uint32_t>& current = keys_.current;
    if (keys_.unranked[c]) {
      const ColumnOrder& texts = *keys_.unranked[c];
      MergeSortItems(
          order,
          [&](std::uint32_t a, std::uint32_t b) {
            return CompareRowTexts(texts, locale_, current[a], current[b]);
          },
          descending);
      return;
    }
    const std::vector<std::uint32_t>& ranks = keys_.ranks[c];
    const auto rankOf = [&](std::uint32_t place) { return ranks[current[place]]; };
    if (keys_.everyRowRanked[c]) {
      OrderByRank(rankOf, descending, order);
    } else {
      // A row equal to every other makes the order depend on which pairs the merge compares,
      // so these go by the merge's own decisions.
      merge_.Sort(rankOf, descending, order);
    }
  }

  void OrderApplied(const std::vector<std::uint32_t>& order, std::uint64_t revision) override {
    std::vector<std::uint32_t> moved(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) moved[i] = keys_.current[order[i]];
    keys_.current.swap(moved);
    keys_.revision = revision;
  }

 private:
  LocaleText& locale_;
  TColumnIndex column_;
  SortKeyCache own_;       // the keys when no cache was given
  SortKeyCache& keys_;     // the cache, or own_
  RankedMergeSort merge_;  // the sorts of one click share its room
};

}  // namespace

std::unique_ptr<PreparedSort> MakeSortComparer(TVirtualStringTree& list, LocaleText& locale,
                                               const DateReadingSource& readDates,
                                               TColumnIndex column, SortKeyCache* cache) {
  if (column < 0 || column > 3) return nullptr;
  return std::make_unique<SortKeyComparer>(list, locale, readDates, column, cache);
}

bool DeriveNextSortKeys(TVirtualStringTree& list, LocaleText& locale,
                        const DateReadingSource& readDates, SortKeyCache& cache) {
  if (list.RootNodeCount() < 2) return false;
  Refresh(cache, list, locale);
  bool derived = false;
  for (const TColumnIndex column : {1, 2, 3, 0}) {
    // Column 1's ranks hold only while the locale's dates read as they did.
    const std::optional<DateReading> reading = column == 1 ? ReadingFor(readDates) : std::nullopt;
    const bool missing = !HasOrder(cache, column) || (column == 1 && cache.reading != reading);
    if (!missing) continue;
    if (derived) return true;  // for the next call
    Derive(cache, column, locale, reading);
    derived = true;
  }
  return false;
}
