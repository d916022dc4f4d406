// "Exporter…": the rows shown, to a file in the format the user picks, written by the console
// program's writers under the same rules.
#include <optional>
#include <string>
#include <vector>

#include "app/export_choice.h"
#include "app/main_form.h"
#include "inventory/computer_inventory.h"
#include "inventory/installed_on_date.h"
#include "writers/export_writers.h"
#include "list/list_rows.h"

namespace {

// The computer whose rows the list shows: the settings' host, or this one for the local name.
std::string ShownComputer(const TSettings& settings, CommandPorts& commands) {
  const std::string& host = settings.LocalHost;
  if (host.empty() || host == "." || host == "localhost") return commands.ComputerName();
  return host;
}

}  // namespace

bool TMainForm::ConfirmReplace(const std::string& path) {
  return ports_.dialogs.ShowTaskMessage(kApplicationTitle, "Le fichier existe déjà",
                                        "Voulez-vous remplacer « " + path + " » ?", tdIconWarning,
                                        tdbYes | tdbNo, false) == mrYes;
}

void TMainForm::ExportClick() {
  if (Busy) return;  // as a second click on "Analyser": the rows are being replaced
  CommandPorts* commands = ports_.commands;
  if (!commands || vst.RootNodeCount() == 0) {
    ports_.dialogs.Beep();
    return;
  }
  const std::string computer = ShownComputer(Settings, *commands);
  const CalendarDate today = commands->Today();
  const std::optional<ExportTarget> target = commands->AskExportTarget(
      ProposedExportName(ports_.locale.ToUtf8(computer), today.year, today.month, today.day),
      ExportFolder);
  if (!target) return;
  const ExportFormat format = ExportFormatOfType(target->filterIndex);
  const std::string path = PathForFormat(target->path, format);
  // The dialog asked before replacing the file it named, not the one its new extension names.
  if (path != target->path && commands->FileExists(path) && !ConfirmReplace(path)) return;
  ExportFolder = FolderOf(path);

  ComputerInventory inventory;
  inventory.computer = ports_.locale.ToUtf8(computer);
  inventory.objectCount = HotfixCount;
  inventory.status = ScanStatus;
  inventory.errorCode = ScanErrorCode;
  inventory.errorText = ScanErrorText;
  for (const TTreeDataClass* row : RowsInDisplayOrder(vst)) inventory.rows.push_back(*row);

  ExportSettings settings;
  settings.format = format;
  settings.listSeparator = commands->ListSeparator();
  settings.byteOrderMark = true;  // a file: spreadsheets read UTF-8 only with it
  settings.copySeparator = SeparatorString();
  const DateReading reading = ReadDateReading(ports_.locale, ports_.currentYear);
  settings.dateSettings = reading.settings;
  settings.currentYear = reading.currentYear;
  settings.codePage = &ports_.locale;
  // Built whole before the file is touched; a refused write leaves the list as it is.
  commands->WriteWholeFile(path, WriteExport({inventory}, settings));
}
