#pragma once
// Reading the settings file at start-up and writing it back at closing.
#include <optional>
#include <string>
#include <vector>

#include "settings/form_placement.h"
#include "settings/ini_store.h"
#include "settings/settings.h"

inline constexpr char kSettingsFileName[] = "Fixtally.ini";

// The settings file beside the executable: its folder, one backslash, "Fixtally.ini".
std::string SettingsFilePath(const std::string& executablePath);

// When the file exists: the window placement first, then every field, each with its current
// value as default, so a missing or unreadable key leaves the field as it was. In every case the
// copy separator loses its quotes afterwards.
void LoadSettings(TSettings& settings, IniStore& ini, TFormPlacement& placement);
// The same fields without a window: the console program's reading of the file.
void LoadSettingFields(TSettings& settings, IniStore& ini);
// SOURCES of [OPTION] into Sources, as text, when the file exists; a missing key leaves the
// field as it was. Kept apart from the two above so that the start-up's reads of the original
// keys keep their order and count whatever the option; the front end that offers the extra
// sources calls it after them. The program never writes the key.
void LoadSourcesSetting(TSettings& settings, IniStore& ini);

// What the list holds at closing that the settings file keeps.
struct ListSettings {
  std::vector<int> columnWidths;  // by column index
  int sortColumn = 0;
  bool sortAscending = true;
};

// Only when WriteIni is set: the placement, then section VERSION, then the options the program
// changes. The connection settings (the password above all) are never written. A refused write
// raises EFixtallyError("Impossible d'écrire dans <path>") and the keys after it stay unwritten.
void SaveSettings(const TSettings& settings, IniStore& ini, TFormPlacement& placement,
                  const ListSettings& list, const std::string& copyrightLine);

// COLUMNSORDER: "0=150,1=150,2=150,3=200". The pieces with "=" give columns 0, 1, 2... in turn,
// whatever number stands before the "="; an unreadable width gives none (its column keeps its
// width). Pieces beyond the list's columns are for the list to skip.
std::vector<std::optional<int>> ReadColumnWidths(const std::string& columnsOrder);
std::string ColumnWidthsText(const std::vector<int>& widths);
