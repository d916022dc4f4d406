#include "writers/export_parts.h"

#include <cstdint>
#include <cstring>

#include "Systeme/utf8_text.h"
#include "inventory/installed_on_date.h"

namespace export_parts {

bool IsAscii(std::string_view text) {
  // Eight bytes at a time: most texts are identifiers, dates and account names.
  std::size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + at, 8);
    if (word & 0x8080808080808080ull) return false;
  }
  for (; at < text.size(); ++at) {
    if (static_cast<unsigned char>(text[at]) >= 0x80) return false;
  }
  return true;
}

void AppendAnsiAsUtf8(std::string& out, std::string_view ansi, const ExportSettings& settings) {
  if (IsAscii(ansi)) {
    out.append(ansi);
  } else {
    AppendValidUtf8(out, settings.codePage->ToUtf8(ansi));
  }
}

std::size_t SlotOf(std::string_view text, std::size_t slots) {
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash % slots;
}

std::size_t RowCount(const std::vector<ComputerInventory>& computers) {
  std::size_t rows = 0;
  for (const ComputerInventory& computer : computers) rows += computer.rows.size();
  return rows;
}

std::string_view Utf8Texts::Utf8(std::string_view ansi) {
  return memo_.Of(ansi, [this](std::string_view text, std::string& utf8) {
    AppendAnsiAsUtf8(utf8, text, settings_);
  });
}

std::string_view IsoDates::Of(std::string_view installedOn) {
  return memo_.Of(installedOn, [this](std::string_view text, std::string& iso) {
    iso = IsoDate(text, settings_.dateSettings, settings_.currentYear);
  });
}

std::string_view StatusName(InventoryStatus status) {
  switch (status) {
    case InventoryStatus::Complete:
      return "complete";
    case InventoryStatus::Incomplete:
      return "incomplete";
    case InventoryStatus::Stopped:
      return "stopped";
    case InventoryStatus::Failed:
      break;
  }
  return "failed";
}

std::string_view StatusWord(InventoryStatus status) {
  switch (status) {
    case InventoryStatus::Complete:
      return "complet";
    case InventoryStatus::Incomplete:
      return "incomplet";
    case InventoryStatus::Stopped:
      return "arr\xC3\xAAt\xC3\xA9";
    case InventoryStatus::Failed:
      break;
  }
  return "\xC3\xA9"
         "chec";
}

}  // namespace export_parts
