#include "settings/settings_file.h"

#include <string_view>

#include "Systeme/app_folder.h"
#include "Systeme/extract_quoted.h"
#include "settings/ini_values.h"
#include "settings/program_identity.h"

namespace {

constexpr char kOption[] = "OPTION";
constexpr char kHost[] = "HOST";
constexpr char kVersion[] = "VERSION";
constexpr std::size_t kWidthTextLimit = 255;

}  // namespace

std::string SettingsFilePath(const std::string& executablePath) {
  return ApplicationFolder(executablePath) + "\\" + kSettingsFileName;
}

namespace {

void ReadFields(TSettings& settings, IniStore& ini) {
  const std::string& path = settings.IniFileName;
  settings.WriteIni = ReadBool(ini, path, kOption, "WRITEINI", settings.WriteIni);
  settings.ColumnsOrder = ReadText(ini, path, kOption, "COLUMNSORDER", settings.ColumnsOrder);
  settings.SortColumn = ReadInteger(ini, path, kOption, "SORTCOLUMN", settings.SortColumn);
  settings.SortDirection = ReadBool(ini, path, kOption, "SORTDIRECTION", settings.SortDirection);
  settings.MsKbId = ReadText(ini, path, kOption, "MSKBID", settings.MsKbId);
  settings.DefChar = ReadText(ini, path, kOption, "DEFCHAR", settings.DefChar);
  settings.NbrChar = ReadInteger(ini, path, kOption, "NBRCHAR", settings.NbrChar);
  settings.LocalHost = ReadText(ini, path, kHost, "LOCALHOST", settings.LocalHost);
  settings.Root = ReadText(ini, path, kHost, "ROOT", settings.Root);
  settings.User = ReadText(ini, path, kHost, "USER", settings.User);
  settings.Password = ReadText(ini, path, kHost, "PASSWORD", settings.Password);
}

}  // namespace

void LoadSettings(TSettings& settings, IniStore& ini, TFormPlacement& placement) {
  if (ini.FileExists(settings.IniFileName)) {
    placement.RestoreWindowPlacement(ini);
    ReadFields(settings, ini);
  }
  settings.DefChar = ExtractQuoted(settings.DefChar);
}

void LoadSettingFields(TSettings& settings, IniStore& ini) {
  if (ini.FileExists(settings.IniFileName)) ReadFields(settings, ini);
  settings.DefChar = ExtractQuoted(settings.DefChar);
}

void LoadSourcesSetting(TSettings& settings, IniStore& ini) {
  if (!ini.FileExists(settings.IniFileName)) return;
  settings.Sources = ReadText(ini, settings.IniFileName, kOption, "SOURCES", settings.Sources);
}

void SaveSettings(const TSettings& settings, IniStore& ini, TFormPlacement& placement,
                  const ListSettings& list, const std::string& copyrightLine) {
  if (!settings.WriteIni) return;
  placement.SaveWindowPlacement(ini);
  const std::string& path = settings.IniFileName;
  WriteText(ini, path, kVersion, "NAME", kApplicationTitle);
  WriteText(ini, path, kVersion, "VERSION", kVersionText);
  WriteText(ini, path, kVersion, "COPYRIGHT", copyrightLine);
  WriteBool(ini, path, kOption, "WRITEINI", settings.WriteIni);
  WriteText(ini, path, kOption, "COLUMNSORDER", ColumnWidthsText(list.columnWidths));
  WriteInteger(ini, path, kOption, "SORTCOLUMN", list.sortColumn);
  WriteBool(ini, path, kOption, "SORTDIRECTION", list.sortAscending);
}

std::vector<std::optional<int>> ReadColumnWidths(const std::string& columnsOrder) {
  std::vector<std::optional<int>> widths;
  std::string_view rest = columnsOrder;
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    const std::string_view piece = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    const std::size_t equals = piece.find('=');
    if (equals == std::string_view::npos) continue;
    widths.push_back(ParseInteger(piece.substr(equals + 1, kWidthTextLimit)));
  }
  return widths;
}

std::string ColumnWidthsText(const std::vector<int>& widths) {
  std::string text;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    if (i > 0) text += ',';
    text += std::to_string(i) + "=" + std::to_string(widths[i]);
  }
  return text;
}
