#pragma once
// The export writers' pieces, one file per format (list/export_*.cpp).
#include <string>
#include <string_view>
#include <vector>

#include "list/export_writers.h"

namespace export_parts {

void WriteText(std::string& out, const std::vector<ComputerInventory>& computers,
               const ExportSettings& settings);
void WriteCsv(std::string& out, const std::vector<ComputerInventory>& computers,
              const ExportSettings& settings);
void WriteJson(std::string& out, const std::vector<ComputerInventory>& computers,
               const ExportSettings& settings);

// Appends an ANSI text as well-formed UTF-8. ASCII, the same in every system code page, is
// copied without calling the conversion.
void AppendAnsiAsUtf8(std::string& out, std::string_view ansi, const ExportSettings& settings);

// The status's French word: "complet", "incomplet", "échec" (UTF-8).
std::string_view StatusWord(InventoryStatus status);

}  // namespace export_parts
