// The search box marks the rows whose text in the sort column begins with the search text,
// letter case ignored, and focuses the first of them; it hides nothing.
#include <string>
#include <string_view>

#include "app/main_form.h"
#include "inventory/kb_rules.h"
#include "list/sort_keys.h"

namespace {

// The text a row is searched by in `column`, upper-cased; empty for no column.
std::string SearchField(LocaleText& locale, const TTreeDataClass& record, TColumnIndex column) {
  switch (column) {
    case 0:
      return locale.UpperCase(StripKbPrefix(record.HotFixID));
    case 1:
      return locale.UpperCase(record.InstalledOn);
    case 2:
      return locale.UpperCase(record.Description);
    case 3:
      return locale.UpperCase(record.InstalledBy);
    default:
      return {};
  }
}

}  // namespace

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

  bool found = false;
  for (PVirtualNode node = vst.FirstNode(); node; node = vst.NextNode(node)) {
    TTreeDataClass* record = RecordOf(vst, node);
    if (!record) continue;
    // Without a search text no row can match, so no field needs upper-casing.
    const std::string field =
        searched.empty() ? std::string() : SearchField(locale, *record, column);
    const bool matches = !field.empty() && std::string_view(field).starts_with(searched);
    record->MatchState = matches ? 1 : 0;
    if (matches && !found) {
      found = true;
      vst.FocusNode(node);
    }
  }
  vst.RepaintNow();
}
