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

bool IsAscii(std::string_view text);

// Appends an ANSI text as well-formed UTF-8. ASCII, the same in every system code page, is
// copied without calling the conversion.
void AppendAnsiAsUtf8(std::string& out, std::string_view ansi, const ExportSettings& settings);

// IsoDate for the rows of one export, remembered per text: rows share dates (a few thousand
// days make up most lists).
class IsoDates {
 public:
  explicit IsoDates(const ExportSettings& settings) : settings_(settings) {}
  // Empty when the text does not read as a date; valid until the next call.
  std::string_view Of(std::string_view installedOn);

 private:
  struct Slot {
    std::string text;
    std::string iso;
    bool used = false;
  };
  static constexpr std::size_t kSlots = 4096;
  const ExportSettings& settings_;
  std::vector<Slot> slots_ = std::vector<Slot>(kSlots);
};

// Texts of the system code page as well-formed UTF-8, remembered per text: descriptions and
// accounts repeat from row to row.
class Utf8Texts {
 public:
  explicit Utf8Texts(const ExportSettings& settings) : settings_(settings) {}
  // Valid until the next call.
  std::string_view Utf8(std::string_view ansi);

 private:
  struct Slot {
    std::string ansi;
    std::string utf8;
    bool used = false;
  };
  static constexpr std::size_t kSlots = 256;
  const ExportSettings& settings_;
  std::vector<Slot> slots_ = std::vector<Slot>(kSlots);
};

// The status's French word: "complet", "incomplet", "échec" (UTF-8).
std::string_view StatusWord(InventoryStatus status);

}  // namespace export_parts
