#include "list/export_writers.h"

#include <cstdio>

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

std::string HresultText(std::int32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X",
                static_cast<unsigned>(static_cast<std::uint32_t>(code)));
  return text;
}

std::string IsoDate(std::string_view installedOn, const TFormatSettings& settings,
                    int currentYear) {
  DateTime date = 0;
  if (!TryStrToDate(installedOn, settings, currentYear, date)) return {};
  int year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  if (year < 1 || year > 9999) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
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

void AppendAnsiAsUtf8(std::string& out, std::string_view ansi, const ExportSettings& settings) {
  bool ascii = true;
  for (const char c : ansi) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) {
    out.append(ansi);
  } else {
    AppendValidUtf8(out, settings.ansiToUtf8(ansi));
  }
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
