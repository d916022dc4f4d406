// The CSV output (RFC 4180) in UTF-8, for a spreadsheet or a script.
#include <string_view>

#include "list/copy_text.h"
#include "list/export_parts.h"
#include "list/kb_order.h"

namespace export_parts {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHeader[] = {"Ordinateur",         "KB",
                                        "Install\xC3\xA9 le", "Install\xC3\xA9 le (ISO 8601)",
                                        "Description",        "Install\xC3\xA9 par"};

// A separator that quoting could not protect falls back to the comma.
std::string Separator(const ExportSettings& settings) {
  const std::string& separator = settings.listSeparator;
  if (separator.empty() || separator.find_first_of("\"\r\n") != std::string::npos) return ",";
  std::string utf8;
  AppendAnsiAsUtf8(utf8, separator, settings);
  return utf8;
}

class CsvWriter {
 public:
  CsvWriter(std::string& out, std::string separator) : out_(out), separator_(std::move(separator)) {
    // Quoting looks for any byte of the separator, so a reader that takes only its first
    // character still splits rightly.
    specials_ = separator_ + "\"\r\n";
  }

  // One UTF-8 field.
  void Field(std::string_view text) {
    if (!atLineStart_) out_.append(separator_);
    atLineStart_ = false;
    // Texts come from remote computers: a spreadsheet must not take one for a formula.
    const bool neutralise =
        !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
    if (text.find_first_of(specials_) == std::string_view::npos) {
      if (neutralise) out_.push_back('\'');
      out_.append(text);
      return;
    }
    out_.push_back('"');
    if (neutralise) out_.push_back('\'');
    for (std::size_t at = 0;;) {
      const std::size_t quote = text.find('"', at);
      if (quote == std::string_view::npos) {
        out_.append(text.substr(at));
        break;
      }
      out_.append(text.substr(at, quote + 1 - at));
      out_.push_back('"');
      at = quote + 1;
    }
    out_.push_back('"');
  }

  void EndLine() {
    out_.append(kLineEnd);
    atLineStart_ = true;
  }

 private:
  std::string& out_;
  std::string separator_;
  std::string specials_;
  bool atLineStart_ = true;
};

}  // namespace

void WriteCsv(std::string& out, const std::vector<ComputerInventory>& computers,
              const ExportSettings& settings) {
  std::size_t estimate = 128;
  for (const ComputerInventory& computer : computers) {
    for (const TTreeDataClass& row : computer.rows) {
      estimate += computer.computer.size() + row.HotFixID.size() + 2 * row.InstalledOn.size() +
                  row.Description.size() + row.InstalledBy.size() + 24;
    }
  }
  out.reserve(out.size() + estimate + estimate / 8);
  if (settings.byteOrderMark) out.append("\xEF\xBB\xBF");

  CsvWriter csv(out, Separator(settings));
  for (const std::string_view title : kHeader) csv.Field(title);
  csv.EndLine();
  std::string text;  // reused for every converted field
  const auto ansiField = [&](std::string_view ansi) {
    text.clear();
    AppendAnsiAsUtf8(text, ansi, settings);
    csv.Field(text);
  };
  for (const ComputerInventory& computer : computers) {
    std::string name;
    AppendAnsiAsUtf8(name, computer.computer, settings);
    for (const TTreeDataClass* row : RowsInKbOrder(computer.rows)) {
      csv.Field(name);
      ansiField(row->HotFixID);
      ansiField(row->InstalledOn);
      csv.Field(IsoDate(row->InstalledOn, settings.dateSettings, settings.currentYear));
      ansiField(row->Description);
      ansiField(row->InstalledBy);
      csv.EndLine();
    }
  }
}

}  // namespace export_parts
