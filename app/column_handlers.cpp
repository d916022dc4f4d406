// The handlers that make the list model the hotfix list: cell texts, the order of each column,
// header clicks, row colours and the records' life with their rows.
#include <exception>
#include <optional>

#include "app/main_form.h"
#include "inventory/kb_rules.h"
#include "writers/copy_text.h"
#include "list/sort_keys.h"

void TMainForm::vstGetText(PVirtualNode node, TColumnIndex column, std::string& cellText) {
  const TTreeDataClass* record = RecordOf(vst, node);
  if (!record || column < 0 || column > 3) return;
  cellText = ColumnText(*record, column);
}

void TMainForm::vstCompareNodes(PVirtualNode node1, PVirtualNode node2, TColumnIndex column,
                                int& result) {
  const TTreeDataClass* r1 = RecordOf(vst, node1);
  const TTreeDataClass* r2 = RecordOf(vst, node2);
  if (!r1 || !r2) return;
  // A sort must always complete: whatever fails here leaves the two rows equal.
  try {
    switch (column) {
      case 0: {
        const int order = CompareValues(KbNumber(r1->HotFixID), KbNumber(r2->HotFixID));
        if (order != 0) result = order;
        break;
      }
      case 1: {
        // Sorts go through MakeSortComparer, which reads the format once per sort; this path
        // only serves single comparisons, so it reads the locale's current format.
        const DateReading reading = ReadDateReading(Ports().locale, Ports().currentYear);
        const std::optional<DateTime> d1 = InstalledOnDate(r1->InstalledOn, reading);
        const std::optional<DateTime> d2 = InstalledOnDate(r2->InstalledOn, reading);
        if (!d1 || !d2) break;
        const int order = CompareValues(*d1, *d2);
        if (order != 0) result = order;
        break;
      }
      case 2:
      case 3: {
        LocaleText& locale = Ports().locale;
        const std::string_view t1 = column == 2 ? r1->Description : r1->InstalledBy;
        const std::string_view t2 = column == 2 ? r2->Description : r2->InstalledBy;
        const std::string u1 = locale.UpperCase(t1);
        const std::string u2 = locale.UpperCase(t2);
        result = SignOf(locale.Compare(u1, u2));
        break;
      }
      default:
        break;
    }
  } catch (const std::exception&) {
  }
}

void TMainForm::vstHeaderClick(TColumnIndex column, TMouseButton button, TShiftState /*shift*/) {
  if (button != TMouseButton::mbLeft) return;
  // The header only reports its own columns; anything else must not index the table.
  if (column < 0 || column >= static_cast<TColumnIndex>(ColumnDirections.size())) return;
  // The steps below sort up to three times; the rows are re-ordered once, as those sorts give
  // them, and the list is shown again once.
  const TVirtualStringTree::ChangeScope oneSort(vst);
  vst.SetSortColumn(column);
  TSortDirection& direction = ColumnDirections[static_cast<std::size_t>(column)];
  direction = direction == sdAscending ? sdDescending : sdAscending;
  vst.SetSortDirection(direction);
  vst.SortByColumn(vst.SortColumn(), vst.SortDirection());
}

void TMainForm::vstPaintText(PVirtualNode node, TColumnIndex /*column*/, TColor& fontColor) {
  const TTreeDataClass* record = RecordOf(vst, node);
  if (!record) return;
  if (record->MatchState == 1) {
    fontColor = clBlue;
  } else if (record->MatchState == 0 && node != vst.CurrentNode()) {
    fontColor = clBlack;
  }
}

void TMainForm::vstFreeNode(PVirtualNode node) {
  if (RecordSlot* slot = vst.NodeRecord(node)) slot->reset();
}

void TMainForm::vstInitNode(PVirtualNode /*parent*/, PVirtualNode /*node*/,
                            InitialStates& /*states*/) {}

void TMainForm::vstGetNodeDataSize(int& nodeDataSize) {
  nodeDataSize = static_cast<int>(sizeof(std::uint32_t));  // one 32-bit record reference
}

void TMainForm::vstAfterColumnWidthTracking(TColumnIndex /*column*/) {
  ArrangeControls();
}

DateReading TMainForm::ReadDates() {
  return ReadDateReading(ports_.locale, ports_.currentYear);
}

// The directions of the sorts vstHeaderClick makes for `column`, by the list's rules: one in the
// current direction when the column changes, one when the direction changes, and the last.
std::vector<TSortDirection> TMainForm::HeaderClickSorts(TColumnIndex column) const {
  std::vector<TSortDirection> sorts;
  if (vst.SortColumn() != column) sorts.push_back(vst.SortDirection());
  const TSortDirection next = ColumnDirections[static_cast<std::size_t>(column)] == sdAscending
                                  ? sdDescending
                                  : sdAscending;
  if (next != vst.SortDirection()) sorts.push_back(next);
  sorts.push_back(next);
  return sorts;
}

bool TMainForm::IdleWork() {
  if (Busy || vst.Revision() == sortKeysCompleteAt_) return false;
  bool more = false;
  const auto readDates = [this] { return ReadDates(); };
  try {
    more = DeriveNextSortKeys(vst, ports_.locale, readDates, sortKeys_);
    // Then the click on the dates: rows without a date make its sorts go through the merge's
    // own decisions, longer than a click should take; it finds them made if nothing changed.
    if (!more)
      more = ForeseeSorts(vst, ports_.locale, readDates, 1, HeaderClickSorts(1), sortKeys_);
  } catch (const std::exception&) {
    // Left to the click that needs them, which derives its column's keys itself.
  }
  if (!more) sortKeysCompleteAt_ = vst.Revision();
  return more;
}
