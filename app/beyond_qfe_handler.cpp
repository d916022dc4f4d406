// The sources beyond WMI that SOURCES names, read after WMI's hotfixes and merged into the list.
#include <utility>

#include "app/main_form.h"
#include "inventory/merge_update_sources.h"
#include "inventory/read_computer.h"
#include "list/list_rows.h"

std::vector<SourceFailure> TMainForm::AddBeyondQfeRows(ReadingOutcome& outcome, UpdateSources which,
                                                       const ComputerRequest& computer,
                                                       const TFormatSettings& display,
                                                       const RecordSink& addRow) {
  // Escape asks to stop as during WMI's scan; the window repaints meanwhile.
  BeyondQfeUpdates found = ports_.beyondQfe->Read(which, computer, [this] {
    ports_.view.ProcessMessages();
    return !CancelRequested;
  });

  const UpdateRowTexts utf8 = UpdateRowTextsUtf8();
  const UpdateRowTexts texts{ports_.locale.FromUtf8(utf8.maintenance),
                             ports_.locale.FromUtf8(utf8.supersededSuffix)};
  TimeZone& zone = ports_.timeZone;
  AddBeyondQfeRecords(
      outcome, RowsInDisplayOrder(vst), found,
      [&](FileTime utc) { return ShortDateOfUtc(utc, zone, display); }, texts, addRow);
  return std::move(found.failures);
}

void TMainForm::ShowSourceFailures(const std::vector<SourceFailure>& failures) {
  const std::string text = SourceFailuresText(failures);
  if (text.empty()) return;
  const bool several = text.find('\n') != std::string::npos;
  ports_.dialogs.ShowTaskMessage(kApplicationTitle, several ? "Sources non lues" : "Source non lue",
                                 text, tdIconWarning, tdbOk, false);
}
