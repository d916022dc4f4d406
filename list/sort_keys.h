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
#include "list/compare_values.h"
#include "list/list_rows.h"
#include "list/virtual_string_tree.h"

// The ranks sorts derived, per column, for the rows as they stand in the list. A user goes from
// column to column and back: while the list's
// revision (the same nodes in the same order), each row's record and the locale stay the same,
// and for column 1 the date reading too, a column's ranks are still every row's, and a sort
// through the comparer carries them to the rows' new places. So each column's texts go through
// the collation once per scan, however often the user clicks.
struct SortKeyCache {
  const TVirtualStringTree* list = nullptr;  // null: nothing kept
  std::uint64_t revision = 0;
  const LocaleText* locale = nullptr;
  std::vector<const TTreeDataClass*> records;  // each row's record, in display order
  // Per column, each row's rank in display order (list/column_ranks.h); empty when not derived.
  std::array<std::vector<std::uint32_t>, 4> ranks;
  std::optional<DateReading> reading;  // what column 1's ranks were read with
};

// What a sort by column 1 reads the dates with; asked once per sort, for column 1 only.
using DateReadingSource = std::function<DateReading()>;

// For columns 0 to 3, the sort of the list by that column; null for any other column, so the
// list falls back to OnCompareNodes. With a cache, ranks still valid are taken from it instead of
// being derived, and the ranks of a completed sort are left in it.
std::unique_ptr<PreparedSort> MakeSortComparer(TVirtualStringTree& list, LocaleText& locale,
                                               const DateReadingSource& readDates,
                                               TColumnIndex column, SortKeyCache* cache = nullptr);
