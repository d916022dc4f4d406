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
  cache.foreseen = ForeseenSorts{};
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
  if (cache.foreseen.column == column) cache.foreseen = ForeseenSorts{};
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

// Re-orders `order`, places in the list as the cache knows it (`current` says which derivation
// index, and so which rank or text, each stands for), by the column's keys.
void SortByKeys(const SortKeyCache& keys, TColumnIndex column, LocaleText& locale,
                TSortDirection direction, RankedMergeSort& merge,
                std::vector<std::uint32_t>& order) {
  const bool descending = direction == sdDescending;
  const auto c = static_cast<std::size_t>(column);
  const std::vector<std::uint32_t>& current = keys.current;
  if (keys.unranked[c]) {
    const ColumnOrder& texts = *keys.unranked[c];
    MergeSortItems(
        order,
        [&](std::uint32_t a, std::uint32_t b) {
          return CompareRowTexts(texts, locale, current[a], current[b]);
        },
        descending);
    return;
  }
  const std::vector<std::uint32_t>& ranks = keys.ranks[c];
  const auto rankOf = [&](std::uint32_t place) { return ranks[current[place]]; };
  if (keys.everyRowRanked[c]) {
    OrderByRank(rankOf, descending, order);
  } else {
    // A row equal to every other makes the order depend on which pairs the merge compares,
    // so these go by the merge's own decisions.
    merge.Sort(rankOf, descending, order);
  }
}

bool IsIdentity(const std::vector<std::uint32_t>& order) {
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (order[i] != i) return false;
  }
  return true;
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
    if (TakeForeseen(direction, order)) return;
    SortByKeys(keys_, column_, locale_, direction, merge_, order);
  }

  void OrderApplied(const std::vector<std::uint32_t>& order, std::uint64_t revision) override {
    keys_.foreseen = ForeseenSorts{};
    std::vector<std::uint32_t> moved(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) moved[i] = keys_.current[order[i]];
    keys_.current.swap(moved);
    keys_.revision = revision;
  }

 private:
  // The next foreseen sort, when this one is it: the same column and direction, from the order
  // the one before it left, the rows as they were.
  bool TakeForeseen(TSortDirection direction, std::vector<std::uint32_t>& order) {
    ForeseenSorts& foreseen = keys_.foreseen;
    const std::size_t next = foreseen.used;
    if (foreseen.orders.empty() || foreseen.revision != keys_.revision ||
        foreseen.column != column_ || next >= foreseen.orders.size() ||
        foreseen.directions[next] != direction)
      return false;
    const bool from = next == 0 ? IsIdentity(order) : order == foreseen.orders[next - 1];
    if (!from) return false;
    order = foreseen.orders[next];
    ++foreseen.used;
    return true;
  }

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

bool ForeseeSorts(TVirtualStringTree& list, LocaleText& locale, const DateReadingSource& readDates,
                  TColumnIndex column, const std::vector<TSortDirection>& directions,
                  SortKeyCache& cache) {
  if (column < 0 || column > 3 || list.RootNodeCount() < 2) return false;
  Refresh(cache, list, locale);
  const auto c = static_cast<std::size_t>(column);
  const std::optional<DateReading> reading = column == 1 ? ReadingFor(readDates) : std::nullopt;
  const bool keysMissing = !HasOrder(cache, column) || (column == 1 && cache.reading != reading);
  if (keysMissing || cache.unranked[c] || cache.everyRowRanked[c]) return false;
  ForeseenSorts& foreseen = cache.foreseen;
  if (!foreseen.orders.empty() && foreseen.revision == cache.revision &&
      foreseen.column == column && foreseen.directions == directions && foreseen.used == 0)
    return false;
  ForeseenSorts made;
  made.revision = cache.revision;
  made.column = column;
  made.directions = directions;
  std::vector<std::uint32_t> order(cache.current.size());
  std::iota(order.begin(), order.end(), 0u);
  RankedMergeSort merge;
  for (const TSortDirection direction : directions) {
    SortByKeys(cache, column, locale, direction, merge, order);
    made.orders.push_back(order);
  }
  foreseen = std::move(made);
  return true;
}
