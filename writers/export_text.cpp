// The text output: the "Copier" text, a computer column when there are several, and after each
// computer not read completely a line saying so, in the order given. It stays in the system code
// page, like the clipboard text.
#include <algorithm>
#include <array>

#include "Systeme/hresult_text.h"
#include "writers/copy_text.h"
#include "writers/export_parts.h"
#include "writers/export_writers.h"
#include "writers/kb_order.h"
#include "writers/kb_presence.h"

namespace export_parts {

namespace {

constexpr char kLineEnd[] = "\r\n";

// A remote computer's error text on one line: its line breaks and tabs become blanks, and the
// blanks that end Windows messages go.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// Each computer's name in the system code page, as the rest of the text.
std::vector<std::string> Names(const std::vector<ComputerInventory>& computers,
                               const ExportSettings& settings) {
  std::vector<std::string> names;
  names.reserve(computers.size());
  for (const ComputerInventory& computer : computers) {
    names.push_back(settings.codePage->FromUtf8(computer.computer));
  }
  return names;
}

// The computer column's width: the longest name among the computers listed. A computer without
// rows has no line in the list (its status line stands in its place), so it does not widen it.
int NameWidth(const std::vector<ComputerInventory>& computers,
              const std::vector<std::string>& names, bool rowsOnly) {
  std::size_t widest = 0;
  for (std::size_t i = 0; i < computers.size(); ++i) {
    if (rowsOnly && computers[i].rows.empty()) continue;
    widest = std::max(widest, names[i].size());
  }
  return static_cast<int>(std::min<std::size_t>(widest, 4096));
}

void AppendStatusLine(std::string& out, const ComputerInventory& computer,
                      const ExportSettings& settings) {
  if (computer.status == InventoryStatus::Complete) return;
  out.append(settings.codePage->FromUtf8(StatusLine(computer)));
  out.append(kLineEnd);
}

void AppendRows(std::string& out, const std::vector<ComputerInventory>& computers,
                const std::vector<std::string>& names, const ExportSettings& settings) {
  std::vector<std::vector<const TTreeDataClass*>> ordered;
  std::vector<const TTreeDataClass*> all;
  for (const ComputerInventory& computer : computers) {
    ordered.push_back(RowsInKbOrder(computer.rows));
    all.insert(all.end(), ordered.back().begin(), ordered.back().end());
  }
  const std::array<int, 4> widths = MeasureTextWidths(all);
  if (computers.size() == 1) {
    out.append(BuildCopyText(all, widths, settings.copySeparator));
    AppendStatusLine(out, computers[0], settings);
    return;
  }
  const int nameWidth = NameWidth(computers, names, true);
  for (std::size_t i = 0; i < computers.size(); ++i) {
    for (const TTreeDataClass* row : ordered[i]) {
      out.append(PadRight(names[i], nameWidth));
      for (int column = 0; column < 4; ++column) {
        out.append(settings.copySeparator);
        out.append(PadRight(ColumnText(*row, column).str(), widths[column]));
      }
      out.append(kLineEnd);
    }
    AppendStatusLine(out, computers[i], settings);
  }
}

void AppendList(std::string& line, std::string_view label, const std::vector<std::string>& kbs) {
  if (kbs.empty()) return;
  if (!line.empty()) line.append(" ; ");
  line.append(label);
  line.append(" : ");
  for (std::size_t i = 0; i < kbs.size(); ++i) {
    if (i > 0) line.append(", ");
    line.append(kbs[i]);
  }
}

void AppendKbChecks(std::string& out, const std::vector<ComputerInventory>& computers,
                    const std::vector<std::string>& names, const ExportSettings& settings) {
  const int nameWidth = NameWidth(computers, names, false);
  for (std::size_t i = 0; i < computers.size(); ++i) {
    const ComputerInventory& computer = computers[i];
    const KbPresence presence = CheckKbs(computer, settings.kbs);
    std::string line;  // UTF-8 until converted
    AppendList(line, "pr\xC3\xA9sents", presence.present);
    AppendList(line, "manquants", presence.missing);
    AppendList(line, "non v\xC3\xA9rifi\xC3\xA9s", presence.unknown);
    out.append(PadRight(names[i], nameWidth));
    out.append(" : ");
    out.append(settings.codePage->FromUtf8(line));
    out.append(kLineEnd);
    AppendStatusLine(out, computer, settings);
  }
}

}  // namespace

void WriteText(std::string& out, const std::vector<ComputerInventory>& computers,
               const ExportSettings& settings) {
  const std::vector<std::string> names = Names(computers, settings);
  if (settings.kbReport && !settings.kbs.empty()) {
    AppendKbChecks(out, computers, names, settings);
  } else {
    AppendRows(out, computers, names, settings);
  }
}

}  // namespace export_parts

// "SRV2 : échec (0x800706BA) Le serveur RPC n'est pas disponible."
std::string StatusLine(const ComputerInventory& computer) {
  std::string line =
      computer.computer + " : " + std::string(export_parts::StatusWord(computer.status));
  if (computer.status == InventoryStatus::Incomplete) {
    const std::size_t rows = computer.rows.size();
    line += ", " + std::to_string(rows) + (rows == 1 ? " ligne lue" : " lignes lues");
  }
  line += " (" + HresultText(computer.errorCode) + ")";
  const std::string text = export_parts::OneLine(computer.errorText);
  if (!text.empty()) line += " " + text;
  return line;
}
