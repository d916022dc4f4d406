#pragma once
// How a sort by one of the four columns orders the rows: it ranks every row once per column
// (list/column_ranks.h) and then sorts by the ranks, giving the order a merge sort through
// vstCompareNodes would give.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Systeme/locale_text.h"
#include "inventory/installed_on_date.h"
#include "list/column_ranks.h"
#include "list/compare_values.h"
#include "list/list_rows.h"
#include "list/virtual_string_tree.h"

// The sorts a header click on one column would make, in order, each from the order the one
// before left (the first from the rows as they stand), prepared while the user does nothing.
// A sort that matches the next of them (the same direction, from the same order, the rows
// unchanged) takes its result instead of sorting: what was prepared is what the sort would give.
struct ForeseenSorts {
  std::uint64_t revision = 0;  // the cache's when they were made
  TColumnIndex column = NoColumn;
  std::vector<TSortDirection> directions;
  std::vector<std::vector<std::uint32_t>> orders;  // after each sort (none: nothing prepared)
  std::size_t used = 0;                            // how many a click has taken so far
};

// The ranks sorts derived, per column, kept while the list holds the same records: a user goes
// from column to column and back, and each column's texts then go through the collation once per
// scan, however often the user clicks. The ranks stay where they were derived ("derivation
// index"); a sort only re-orders `current`, which says where each row of the list stands among
// them, instead of carrying every column's ranks to the rows' new places.
struct SortKeyCache {
  const TVirtualStringTree* list = nullptr;  // null: nothing kept
  std::uint64_t revision = 0;                // the list's when `current` was last right
  const LocaleText* locale = nullptr;
  std::vector<const TTreeDataClass*> records;  // each row's record, by derivation index
  std::vector<std::uint32_t> current;          // the derivation index of the row at each place
  // Per column, each row's rank by derivation index (list/column_ranks.h); empty when not
  // derived. A column whose texts are compared one by one instead has them in `unranked`.
  std::array<std::vector<std::uint32_t>, 4> ranks;
  std::array<bool, 4> everyRowRanked{};  // no row of the column equal to every other
  std::array<std::optional<ColumnOrder>, 4> unranked;
  std::optional<DateReading> reading;  // what column 1's ranks were read with
  ForeseenSorts foreseen;
};

// What a sort by column 1 reads the dates with; asked once per sort, for column 1 only.
using DateReadingSource = std::function<DateReading()>;

// For columns 0 to 3, the sort of the list by that column; null for any other column, so the
// list falls back to OnCompareNodes. With a cache, ranks still valid are taken from it instead of
// being derived, and what a sort derives or moves is kept in it.
std::unique_ptr<PreparedSort> MakeSortComparer(TVirtualStringTree& list, LocaleText& locale,
                                               const DateReadingSource& readDates,
                                               TColumnIndex column, SortKeyCache* cache = nullptr);

// Derives, into the cache, the ranks of the first of columns 1, 2, 3 and 0 that has none for the
// rows as they stand, so that a first click on it only sorts; false when every column has them
// (or the list has no rows). What a person waiting for nothing can spend, a column at a time.
bool DeriveNextSortKeys(TVirtualStringTree& list, LocaleText& locale,
                        const DateReadingSource& readDates, SortKeyCache& cache);

// Prepares into the cache the sorts `directions` that a click on `column` would make, when the
// column's keys are there and its sorts go through the merge's own decisions (some row equal to
// every other), the one kind of sort that takes longer than a click should. False when there
// was nothing to prepare (already prepared for the rows as they stand, or not worth it).
bool ForeseeSorts(TVirtualStringTree& list, LocaleText& locale, const DateReadingSource& readDates,
                  TColumnIndex column, const std::vector<TSortDirection>& directions,
                  SortKeyCache& cache);
