#pragma once
// Each row's rank in one column's order, derived from the rows' records in one pass: a rank is
// four bytes per row, however long the text it stands for, and a sort by ranks compares integers
// where vstCompareNodes would read dates or call the collation. Texts and dates repeat from row
// to row (a few descriptions, accounts and days among thousands of rows), so each distinct text
// is read, upper-cased and given its collation key once.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Systeme/locale_text.h"
#include "inventory/hotfix_record.h"
#include "inventory/installed_on_date.h"
#include "list/compare_values.h"
#include "list/list_types.h"
#include "list/merge_order.h"

// Rows that compare equal share a rank; a row that sorts before another has the smaller one.
// kNoRank (list/merge_order.h) marks a row whose key could not be derived (no record, an
// unreadable date, a failed port): it compares equal to every row, as vstCompareNodes leaves its
// result at 0 then.

inline int CompareRanks(std::uint32_t a, std::uint32_t b) {
  return a == kNoRank || b == kNoRank ? 0 : CompareValues(a, b);
}

// One column's order of the rows.
struct ColumnOrder {
  // True when `ranks` holds it: each row's rank, by the row's index in the records given.
  bool ranked = false;
  std::vector<std::uint32_t> ranks;
  // Otherwise the collation's keys did not order the texts as its comparison does, and the
  // rows are to be compared with the comparison itself: each row's upper-cased text is
  // texts[textOfRow[row]] (kNoRank: none, equal to every row).
  std::vector<std::uint32_t> textOfRow;
  std::vector<std::string> texts;
};

// Column 0 by KbNumber, 1 by the date (with `reading`; none: no date reads), 2 and 3 by the
// upper-cased text in the locale's collation. The ranks of a text column are the order of the
// collation keys, checked against LocaleText::Compare for every two neighbouring distinct texts:
// when the comparison is a consistent order, as the collation's is, the ranks then order every
// two rows exactly as it does. One disagreement, or a text without a key, and the column is
// compared text by text instead. A failing port raises nothing: where vstCompareNodes would
// leave the result at 0, the row gets no rank, and a key that fails means comparing the texts.
// The ranks take over `memory`, when given, rather than asking for new memory.
ColumnOrder DeriveColumnOrder(TColumnIndex column,
                              const std::vector<const TTreeDataClass*>& records, LocaleText& locale,
                              const std::optional<DateReading>& reading,
                              std::vector<std::uint32_t> memory = {});

// Rows a and b of an order that is not ranked, compared as vstCompareNodes compares them.
int CompareRowTexts(const ColumnOrder& order, LocaleText& locale, std::size_t a, std::size_t b);
