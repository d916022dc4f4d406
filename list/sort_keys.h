#pragma once
// The orders of the four columns, shared by vstCompareNodes (one comparison at a time) and the
// comparer a sort prepares, which ranks every row once per column (list/column_ranks.h) and then
// sorts by the ranks. Both give the same results.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Systeme/locale_text.h"
#include "inventory/date_time.h"
#include "list/virtual_string_tree.h"

class TMainForm;

// The record a node holds, or null for no node, no slot or an empty slot.
inline TTreeDataClass* RecordOf(TVirtualStringTree& list, PVirtualNode node) {
  RecordSlot* slot = list.NodeRecord(node);
  return slot ? slot->get() : nullptr;
}

// What reading an "Installé le" text needs: the program's short date format and the year that
// completes a date written without one. Raises whatever the locale port raises.
struct DateReading {
  TFormatSettings settings;
  int currentYear = 0;
  bool operator==(const DateReading&) const = default;
};
DateReading ReadDateReading(const TMainForm& form);

// The date a row's text reads as; none when it holds no date or something after it.
std::optional<DateTime> InstalledOnDate(std::string_view text, const DateReading& reading);

// -1, 0 or +1.
template <typename T>
int CompareValues(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}
inline int SignOf(int value) {
  return CompareValues(value, 0);
}

// The ranks sorts derived, per column, for the rows as they stand in the list. A header click
// sorts up to three times, and a user goes from column to column and back: while the list's
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

// For columns 0 to 3, a comparer whose results equal vstCompareNodes'; null for any other
// column, so the list falls back to OnCompareNodes. With a cache, ranks still valid are taken
// from it instead of being derived, and the ranks of a completed sort are left in it.
std::unique_ptr<NodeComparer> MakeSortComparer(TMainForm& form, TColumnIndex column,
                                               SortKeyCache* cache = nullptr);
