#pragma once
// The orders of the four columns, shared by vstCompareNodes (one comparison at a time) and the
// comparer a sort prepares, which derives each row's key once per sort instead of once per
// comparison. Both go through the functions below, so their results are the same.
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

// One row's sort key for column 0 (number) or 1 (date). A key that could not be derived (no
// record, an unreadable date, a failed port) compares equal to every other, as vstCompareNodes
// leaves its result at 0 then.
template <typename Value>
struct RowKey {
  Value value{};
  std::uint32_t position = 0;  // the row's index when the sort began
  bool usable = false;
};

// One row's sort key for column 2 or 3.
struct TextSortKey {
  std::string text;  // upper-cased
  bool usable = false;
};

// The keys the last sort derived, in the order it left the rows. A header click sorts the same
// rows by the same column again, often twice: while the list's revision, each row's record, the
// column, the locale and (for dates) the date reading stay the same, these keys are still every
// row's, and deriving them again from 100,000 records would cost more than the sort itself.
struct SortKeyCache {
  bool valid = false;
  const TVirtualStringTree* list = nullptr;
  std::uint64_t revision = 0;
  TColumnIndex column = NoColumn;
  const LocaleText* locale = nullptr;
  std::optional<DateReading> reading;
  std::vector<const TTreeDataClass*> records;  // each row's record when its key was derived
  std::vector<RowKey<std::int32_t>> numbers;
  std::vector<RowKey<DateTime>> dates;
  std::vector<TextSortKey> texts;
};

// For columns 0 to 3, a comparer whose results equal vstCompareNodes'; null for any other
// column, so the list falls back to OnCompareNodes. With a cache, keys still valid are taken
// from it instead of being derived, and the keys of a completed sort are left in it.
std::unique_ptr<NodeComparer> MakeSortComparer(TMainForm& form, TColumnIndex column,
                                               SortKeyCache* cache = nullptr);
