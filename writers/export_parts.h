#pragma once
// The export writers' pieces, shared by the one file per format (writers/export_*.cpp).
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "inventory/computer_inventory.h"
#include "writers/export_settings.h"

namespace export_parts {

void WriteText(std::string& out, const std::vector<ComputerInventory>& computers,
               const ExportSettings& settings);
void WriteCsv(std::string& out, const std::vector<ComputerInventory>& computers,
              const ExportSettings& settings);
void WriteJson(std::string& out, const std::vector<ComputerInventory>& computers,
               const ExportSettings& settings);

bool IsAscii(std::string_view text);

// The rows of every computer.
std::size_t RowCount(const std::vector<ComputerInventory>& computers);

// Appends an ANSI text as well-formed UTF-8. ASCII, the same in every system code page, is
// copied without calling the conversion.
void AppendAnsiAsUtf8(std::string& out, std::string_view ansi, const ExportSettings& settings);

// Which of `slots` slots a text goes in (FNV-1a).
std::size_t SlotOf(std::string_view text, std::size_t slots);

// One computed text per input text, remembered in a fixed table of slots chosen by hash: the
// texts of an export repeat from row to row, and a clash only costs a computation again.
class TextMemo {
 public:
  explicit TextMemo(std::size_t slots) : slots_(slots) {}
  // `compute(key, value)` fills the empty `value` when the key's slot holds another text; the
  // text returned is valid until the next call.
  template <typename Compute>
  std::string_view Of(std::string_view key, Compute&& compute) {
    Slot& slot = slots_[SlotOf(key, slots_.size())];
    if (!slot.used || slot.key != key) {
      slot.key.assign(key);
      slot.value.clear();
      compute(key, slot.value);
      slot.used = true;
    }
    return slot.value;
  }

 private:
  struct Slot {
    std::string key;
    std::string value;
    bool used = false;
  };
  std::vector<Slot> slots_;
};

// IsoDate for the rows of one export, remembered per text: rows share dates (a few thousand
// days make up most lists).
class IsoDates {
 public:
  // Sized for `rows` rows, up to a few thousand dates.
  IsoDates(const ExportSettings& settings, std::size_t rows)
      : settings_(settings), memo_(std::clamp<std::size_t>(rows, 16, 4096)) {}
  // Empty when the text does not read as a date; valid until the next call.
  std::string_view Of(std::string_view installedOn);

 private:
  const ExportSettings& settings_;
  TextMemo memo_;
};

// Texts of the system code page as well-formed UTF-8, remembered per text: descriptions and
// accounts repeat from row to row.
class Utf8Texts {
 public:
  // Sized for `rows` rows, up to a few hundred texts.
  Utf8Texts(const ExportSettings& settings, std::size_t rows)
      : settings_(settings), memo_(std::clamp<std::size_t>(rows, 16, 256)) {}
  // Valid until the next call.
  std::string_view Utf8(std::string_view ansi);

 private:
  const ExportSettings& settings_;
  TextMemo memo_;
};

// The status's word in CSV and JSON: "complete", "incomplete", "failed", "stopped".
std::string_view StatusName(InventoryStatus status);

// The status's French word: "complet", "incomplet", "échec", "arrêté" (UTF-8).
std::string_view StatusWord(InventoryStatus status);

}  // namespace export_parts
