// The scan: what "Analyser" runs, and the two handlers that guard it while it runs.
#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Systeme/errors.h"
#include "Systeme/hresult_text.h"
#include "app/main_form.h"
#include "inventory/beyond_qfe.h"
#include "inventory/read_computer.h"
#include "inventory/read_hotfix_record.h"
#include "inventory/update_sources.h"
#include "list/add_hotfix_node.h"
#include "settings/builtin_texts.h"

namespace {

constexpr std::uint16_t kEscapeKey = 27;

// Runs every step even when an earlier one fails, so that no clean-up is skipped; the first
// failure (the one passed in included) goes on to the caller afterwards.
void RunAllSteps(std::exception_ptr failure, std::initializer_list<std::function<void()>> steps) {
  for (const auto& step : steps) {
    try {
      step();
    } catch (...) {  // kept and raised again once every step has run
      if (!failure) failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
}

}  // namespace

void TMainForm::BtnSearchClick() {
  if (Busy) return;
  Busy = true;
  // A stop asked for during an earlier scan must not cut this one short.
  CancelRequested = false;

  FormView& view = ports_.view;
  std::exception_ptr failure;
  bool cursorSaved = false;
  bool batchOpen = false;
  TCursor savedCursor = TCursor::crDefault;
  try {
    ClearList();
    savedCursor = view.Cursor();
    cursorSaved = true;
    view.SetCursor(TCursor::crHourGlass);
    view.SetCaption(ControlId::LabelNbKB, "");
    vst.BeginBatch();
    batchOpen = true;
    ScanHotfixes();
  } catch (...) {  // raised again after the batch is closed and Busy cleared
    failure = std::current_exception();
  }
  // Busy must never outlive the scan, or the window could not be closed again.
  const auto closeBatch = [&] {
    if (batchOpen) vst.EndBatch();
  };
  const auto restoreCursor = [&] {
    if (cursorSaved) view.SetCursor(savedCursor);
  };
  const auto applySearch = [&] {
    if (batchOpen) EditSearchChange();
  };
  RunAllSteps(failure, {closeBatch, [&] { Busy = false; }, restoreCursor, applySearch});
}

void TMainForm::ClearList() {
  FormView& view = ports_.view;
  const TCursor savedCursor = view.Cursor();
  view.SetCursor(TCursor::crHourGlass);
  std::exception_ptr failure;
  bool batchOpen = false;
  try {
    vst.BeginBatch();
    batchOpen = true;
    vst.ClearNodes();
  } catch (...) {  // raised again once the batch is closed and the cursor back
    failure = std::current_exception();
  }
  const auto closeBatch = [&] {
    if (batchOpen) vst.EndBatch();
  };
  RunAllSteps(failure, {closeBatch, [&] { view.SetCursor(savedCursor); }});
  view.ProcessMessages();
}

void TMainForm::ScanHotfixes() {
  HotfixCount = 0;
  const TFormatSettings displaySettings = ports_.locale.FormatSettings();
  const TFormatSettings parseSettings = ScanParseSettings(displaySettings);
  const HotfixReading reading{parseSettings, displaySettings, ports_.timeZone, ports_.currentYear};
  const ComputerRequest computer = ScannedComputer();

  // Each record becomes a row as soon as it is read, inside the scan's batch. The service and the
  // enumeration are released before the count is shown and before any error dialog opens.
  const RecordSink addRow = [this](std::unique_ptr<TTreeDataClass> record) {
    AddScannedRow(std::move(record));
  };
  WmiReading wmi = ReadWmiHotfixes(ports_.hotfixes, computer, HotfixClassName(), reading,
                                   [this] { return CancelRequested; }, addRow);
  ReadingOutcome& outcome = wmi.outcome;
  std::exception_ptr failure = wmi.failure;

  // The other sources named by SOURCES add the KBs WMI lacks, even when WMI failed or was cut
  // short: what each source gives is true on its own. Without them nothing here changes.
  std::vector<SourceFailure> sourceFailures;
  const UpdateSources which = ParseUpdateSources(Settings.Sources);
  if ((which.windowsUpdate || which.servicingPackages) && ports_.beyondQfe && !CancelRequested) {
    try {
      sourceFailures = AddBeyondQfeRows(outcome, which, computer, displaySettings, addRow);
    } catch (...) {  // told by the general error report, after WMI's dialog
      if (!failure) failure = std::current_exception();
    }
  }

  HotfixCount = outcome.objectCount;
  ScanStatus = outcome.status;
  ScanErrorCode = outcome.errorCode;
  ScanErrorText = outcome.errorText;
  if (HotfixCount != 0) {
    ports_.view.SetCaption(ControlId::LabelNbKB, "(" + std::to_string(HotfixCount) + ")");
  }
  if (failure) ShowScanFailure(failure);
  ShowSourceFailures(sourceFailures);
}

ComputerRequest TMainForm::ScannedComputer() const {
  LocaleText& locale = ports_.locale;
  return {locale.ToUtf8(Settings.LocalHost), locale.ToUtf8(Settings.Root),
          locale.ToUtf8(Settings.User), locale.ToUtf8(Settings.Password)};
}

void TMainForm::ShowScanFailure(std::exception_ptr failure) {
  std::string instruction;
  std::string message;
  std::int32_t code = 0;
  try {
    std::rethrow_exception(failure);
  } catch (const EOleException& error) {
    instruction = "Erreur (exception) ";
    message = error.what();
    code = error.ErrorCode();
  } catch (const EOleSysError& error) {
    instruction = "Erreur (système) ";
    message = error.what();
    code = error.ErrorCode();
  }
  ports_.dialogs.ShowTaskMessage(kApplicationTitle, instruction + HresultText(code), message,
                                 tdIconWarning, tdbOk, false);
}

// The settings are the scan's, read and never changed here: taken by reference, since a copy of
// each per object (forty texts of month and day names) cost more than reading the object.
void TMainForm::ReadHotfixObject(HotfixObject& object, const TFormatSettings& parseSettings,
                                 const TFormatSettings& displaySettings) {
  const HotfixReading reading{parseSettings, displaySettings, ports_.timeZone, ports_.currentYear};
  if (std::unique_ptr<TTreeDataClass> record = ReadHotfixRecord(object, reading)) {
    AddScannedRow(std::move(record));
  }
}

void TMainForm::AddScannedRow(std::unique_ptr<TTreeDataClass> record) {
  try {
    AddHotfixNode(vst, nullptr, std::move(record));
  } catch (const std::exception&) {
    // A row that cannot be added is lost like an unreadable object; it still counts.
  }
}

void TMainForm::FormKeyDown(std::uint16_t& key, TShiftState /*shift*/) {
  if (key != kEscapeKey || !Busy) return;
  const int answer = ports_.dialogs.ShowTaskMessage(
      kApplicationTitle, "Opération en cours", "Voulez-vous arrêter l'opération immédiatement ?",
      tdIconQuestion, tdbYes | tdbNo, false);
  CancelRequested = answer == mrYes;
}

void TMainForm::FormCloseQuery(bool& canClose) {
  canClose = !Busy;
}
