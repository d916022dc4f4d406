// The JSON output (RFC 8259) in UTF-8: one object per computer, with its status and rows.
#include <string_view>

#include "Systeme/hresult_text.h"
#include "writers/export_parts.h"
#include "writers/kb_presence.h"
#include "writers/kb_order.h"
#include "Systeme/utf8_text.h"

namespace export_parts {

namespace {

// `text` must be well-formed UTF-8.
void AppendString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out.push_back('"');
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (byte < 0x20) {
      out.append("\\u00");
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0xF]);
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
}

void AppendAnsiString(std::string& out, std::string_view ansi, const ExportSettings& settings) {
  std::string utf8;
  AppendAnsiAsUtf8(utf8, ansi, settings);
  AppendString(out, utf8);
}

void AppendKey(std::string& out, std::string_view key) {
  AppendString(out, key);
  out.push_back(':');
}

void AppendKbList(std::string& out, std::string_view key, const std::vector<std::string>& kbs) {
  out.push_back(',');
  AppendKey(out, key);
  out.push_back('[');
  for (std::size_t i = 0; i < kbs.size(); ++i) {
    if (i > 0) out.push_back(',');
    AppendString(out, ValidUtf8(kbs[i]));
  }
  out.push_back(']');
}

void AppendRow(std::string& out, const TTreeDataClass& row, const ExportSettings& settings,
               IsoDates& isoDates) {
  out.push_back('{');
  AppendKey(out, "kb");
  AppendAnsiString(out, row.HotFixID, settings);
  out.push_back(',');
  AppendKey(out, "installedOn");
  AppendAnsiString(out, row.InstalledOn, settings);
  out.push_back(',');
  AppendKey(out, "installedOnIso");
  const std::string_view iso = isoDates.Of(row.InstalledOn);
  if (iso.empty()) {
    out.append("null");
  } else {
    AppendString(out, iso);
  }
  out.push_back(',');
  AppendKey(out, "description");
  AppendAnsiString(out, row.Description, settings);
  out.push_back(',');
  AppendKey(out, "installedBy");
  AppendAnsiString(out, row.InstalledBy, settings);
  out.push_back('}');
}

void AppendComputer(std::string& out, const ComputerInventory& computer,
                    const ExportSettings& settings, IsoDates& isoDates) {
  out.append("{");
  AppendKey(out, "computer");
  AppendString(out, ValidUtf8(computer.computer));
  out.push_back(',');
  AppendKey(out, "status");
  AppendString(out, StatusName(computer.status));
  out.push_back(',');
  AppendKey(out, "errorCode");
  AppendString(out, HresultText(computer.errorCode));
  out.push_back(',');
  AppendKey(out, "errorText");
  AppendString(out, ValidUtf8(computer.errorText));
  out.push_back(',');
  AppendKey(out, "objectCount");
  out.append(std::to_string(computer.objectCount));
  out.push_back(',');
  AppendKey(out, "rows");
  out.push_back('[');
  bool first = true;
  for (const TTreeDataClass* row : RowsInKbOrder(computer.rows)) {
    if (!first) out.push_back(',');
    first = false;
    out.append("\r\n");
    AppendRow(out, *row, settings, isoDates);
  }
  out.push_back(']');
  if (!settings.kbs.empty()) {
    const KbPresence presence = CheckKbs(computer, settings.kbs);
    AppendKbList(out, "present", presence.present);
    AppendKbList(out, "missing", presence.missing);
    AppendKbList(out, "unknown", presence.unknown);
  }
  out.push_back('}');
}

}  // namespace

void WriteJson(std::string& out, const std::vector<ComputerInventory>& computers,
               const ExportSettings& settings) {
  IsoDates isoDates(settings, RowCount(computers));
  out.append("{\"computers\":[");
  for (std::size_t i = 0; i < computers.size(); ++i) {
    if (i > 0) out.push_back(',');
    out.append("\r\n");
    AppendComputer(out, computers[i], settings, isoDates);
  }
  out.append("]}\r\n");
}

}  // namespace export_parts
