// The search box marks the rows whose text in the sort column begins with the search text,
// letter case ignored, and focuses the first of them; it hides nothing.
#include <string>
#include <string_view>

#include "app/main_form.h"
#include "inventory/kb_rules.h"
#include "list/list_rows.h"

void TMainForm::EditSearchChange() {
  if (vst.RootNodeCount() == 0) return;
  LocaleText& locale = Ports().locale;
  const TColumnIndex column = vst.SortColumn();
  std::string searched;
  if (column == 0) {
    searched = locale.UpperCase(StripKbPrefix(Ports().view.SearchText()));
  } else if (column >= 1 && column <= 3) {
    searched = locale.UpperCase(Ports().view.SearchText());
  }

  if (searched.empty()) {
    // Without a search text no row can match, so no text needs upper-casing.
    for (PVirtualNode node = vst.FirstNode(); node; node = vst.NextNode(node)) {
      if (TTreeDataClass* record = RecordOf(vst, node)) record->MatchState = 0;
    }
  } else {
    searchIndex_.Refresh(vst, column, locale);
    PVirtualNode first = nullptr;
    for (std::size_t row = 0; row < searchIndex_.Count(); ++row) {
      TTreeDataClass* record = searchIndex_.Record(row);
      if (!record) continue;
      const bool matches = searchIndex_.Text(row).starts_with(searched);
      record->MatchState = matches ? 1 : 0;
      if (matches && !first) first = searchIndex_.Node(row);
    }
    // Focused once the marks are set: whatever the focus change sets off sees them all.
    if (first) vst.FocusNode(first);
  }
  vst.RepaintNow();
}
