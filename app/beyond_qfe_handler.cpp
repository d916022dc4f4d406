// The sources beyond WMI that SOURCES names, read after WMI's hotfixes and merged into the list.
#include <memory>
#include <utility>

#include "app/main_form.h"
#include "inventory/merge_update_sources.h"
#include "list/add_hotfix_node.h"
#include "list/list_rows.h"

std::vector<SourceFailure> TMainForm::AddBeyondQfeRows(UpdateSources which,
                                                       const TFormatSettings& display) {
  BeyondQfePort& port = *ports_.beyondQfe;
  const ComputerRequest computer{Settings.LocalHost, Settings.Root, Settings.User,
                                 Settings.Password};
  // Escape asks to stop as during WMI's scan; the window repaints meanwhile.
  BeyondQfeUpdates found = port.Read(which, computer, [this] {
    ports_.view.ProcessMessages();
    return !CancelRequested;
  });

  const std::vector<const TTreeDataClass*> qfe = RowsInDisplayOrder(vst);
  const UpdateRowTexts utf8 = UpdateRowTextsUtf8();
  const UpdateRowTexts texts{ports_.locale.FromUtf8(utf8.maintenance),
                             ports_.locale.FromUtf8(utf8.supersededSuffix)};
  TimeZone& zone = ports_.timeZone;
  std::vector<TTreeDataClass> rows = MergeBeyondQfe(
      qfe, found.windowsUpdate, found.packages,
      [&](FileTime utc) { return ShortDateOfUtc(utc, zone, display); }, texts);
  for (TTreeDataClass& row : rows) {
    AddHotfixNode(vst, nullptr, std::make_unique<TTreeDataClass>(std::move(row)));
    ++HotfixCount;
  }
  return std::move(found.failures);
}

void TMainForm::ShowSourceFailures(const std::vector<SourceFailure>& failures) {
  const std::string text = SourceFailuresText(failures);
  if (text.empty()) return;
  const bool several = text.find('\n') != std::string::npos;
  ports_.dialogs.ShowTaskMessage(kApplicationTitle, several ? "Sources non lues" : "Source non lue",
                                 text, tdIconWarning, tdbOk, false);
}
