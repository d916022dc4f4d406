#include "list/export_writers.h"

#include <cstring>

#include "inventory/date_text.h"
#include "inventory/kb_rules.h"
#include "list/export_parts.h"
#include "list/utf8_text.h"

KbPresence CheckKbs(const ComputerInventory& computer, const std::vector<std::string>& kbs) {
  KbPresence presence;
  for (const std::string& kb : kbs) {
    const std::int32_t number = KbNumber(kb);
    bool found = false;
    for (const TTreeDataClass& row : computer.rows) {
      if (number != 0 && KbNumber(row.HotFixID) == number) {
        found = true;
        break;
      }
    }
    if (found) {
      presence.present.push_back(kb);
    } else if (computer.status == InventoryStatus::Complete) {
      presence.missing.push_back(kb);
    } else {
      presence.unknown.push_back(kb);
    }
  }
  return presence;
}

std::string IsoDate(std::string_view installedOn, const TFormatSettings& settings,
                    int currentYear) {
  DateTime date = 0;
  if (!TryStrToDate(installedOn, settings, currentYear, date)) return {};
  int year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  if (year < 1 || year > 9999) return {};
  std::string text = "0000-00-00";
  const auto put = [&](std::size_t end, int value) {
    for (std::size_t i = end; value > 0; --i, value /= 10)
      text[i] = static_cast<char>('0' + value % 10);
  };
  put(3, year);
  put(6, month);
  put(9, day);
  return text;
}

std::string WriteExport(const std::vector<ComputerInventory>& computers,
                        const ExportSettings& settings) {
  std::string out;
  switch (settings.format) {
    case ExportFormat::Text:
      export_parts::WriteText(out, computers, settings);
      break;
    case ExportFormat::Csv:
      export_parts::WriteCsv(out, computers, settings);
      break;
    case ExportFormat::Json:
      export_parts::WriteJson(out, computers, settings);
      break;
  }
  return out;
}

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
    AppendValidUtf8(out, settings.ansiToUtf8(ansi));
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

std::string_view StatusWord(InventoryStatus status) {
  switch (status) {
    case InventoryStatus::Complete:
      return "complet";
    case InventoryStatus::Incomplete:
      return "incomplet";
    case InventoryStatus::Failed:
      break;
  }
  return "\xC3\xA9"
         "chec";
}

}  // namespace export_parts
