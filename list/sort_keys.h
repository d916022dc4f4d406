#pragma once
// The orders of the four columns, shared by vstCompareNodes (one comparison at a time) and the
// comparer a sort prepares, which derives each row's key once per sort instead of once per
// comparison. Both go through the functions below, so their results are the same.
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "Systeme/locale_text.h"
#include "inventory/date_time.h"
#include "list/virtual_string_tree.h"

class TMainForm;

// The record a node holds, or null for no node, no slot or an empty slot.
TTreeDataClass* RecordOf(TVirtualStringTree& list, PVirtualNode node);

// What reading an "Installé le" text needs: the program's short date format and the year that
// completes a date written without one. Raises whatever the locale port raises.
struct DateReading {
  TFormatSettings settings;
  int currentYear = 0;
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

// For columns 0 to 3, a comparer whose results equal vstCompareNodes'; null for any other
// column, so the list falls back to OnCompareNodes.
std::unique_ptr<NodeComparer> MakeSortComparer(TMainForm& form, TColumnIndex column);
