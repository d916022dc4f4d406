// The CSV output (RFC 4180) in UTF-8, for a spreadsheet or a script: the rows of every computer
// with its status, or one answer per computer and KB asked.
#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

#include "Systeme/hresult_text.h"
#include "Systeme/prefetch.h"
#include "Systeme/utf8_text.h"
#include "writers/export_parts.h"
#include "writers/kb_order.h"
#include "writers/kb_presence.h"

namespace export_parts {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kFormulaStarts = "=+-@\t\r";
constexpr std::size_t kNpos = std::string_view::npos;
constexpr std::string_view kRowsHeader[] = {"Ordinateur",
                                            "KB",
                                            "Install\xC3\xA9 le",
                                            "Install\xC3\xA9 le (ISO 8601)",
                                            "Description",
                                            "Install\xC3\xA9 par",
                                            "Statut",
                                            "Code",
                                            "Erreur"};
constexpr std::string_view kKbHeader[] = {"Ordinateur", "KB",   "Pr\xC3\xA9sent",
                                          "Statut",     "Code", "Erreur"};

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
  CsvWriter(std::string& out, std::string separator, const ExportSettings& settings,
            std::size_t rows)
      : out_(out), separator_(std::move(separator)), texts_(settings, rows) {
    // Quoting looks for any byte of the separator, so a reader that takes only its first
    // character still splits rightly.
    for (const char c : separator_ + "\"\r\n") kinds_[static_cast<unsigned char>(c)] |= kQuoted;
    for (std::size_t byte = 0x80; byte < kinds_.size(); ++byte) kinds_[byte] |= kNotAscii;
  }

  // One UTF-8 field.
  void Field(std::string_view text) { Write(text, (Kinds(text) & kQuoted) != 0); }

  // One field in the system code page. One pass tells both whether it needs converting and,
  // when it does not, whether it needs quotes.
  void AnsiField(std::string_view ansi) {
    const unsigned kinds = Kinds(ansi);
    if (kinds & kNotAscii) {
      Field(texts_.Utf8(ansi));
    } else {
      Write(ansi, (kinds & kQuoted) != 0);
    }
  }

  void EndLine() {
    out_.append(kLineEnd);
    atLineStart_ = true;
  }

 private:
  static constexpr unsigned char kQuoted = 1, kNotAscii = 2;

  unsigned Kinds(std::string_view text) const {
    unsigned kinds = 0;
    for (const char c : text) kinds |= kinds_[static_cast<unsigned char>(c)];
    return kinds;
  }

  void Write(std::string_view text, bool quote) {
    if (!atLineStart_) out_.append(separator_);
    atLineStart_ = false;
    // Texts come from remote computers: a spreadsheet must not take one for a formula.
    const bool neutralise = !text.empty() && kFormulaStarts.find(text.front()) != kNpos;
    // The guard's quote is part of the field too: it may be the separator.
    if (neutralise && (kinds_['\''] & kQuoted)) quote = true;
    if (!quote) {
      if (neutralise) out_.push_back('\'');
      out_.append(text);
      return;
    }
    out_.push_back('"');
    if (neutralise) out_.push_back('\'');
    for (std::size_t at = 0;;) {
      const std::size_t mark = text.find('"', at);
      if (mark == kNpos) {
        out_.append(text.substr(at));
        break;
      }
      out_.append(text.substr(at, mark + 1 - at));
      out_.push_back('"');
      at = mark + 1;
    }
    out_.push_back('"');
  }

  std::string& out_;
  std::string separator_;
  Utf8Texts texts_;
  std::array<unsigned char, 256> kinds_{};
  bool atLineStart_ = true;
};

// In KB order the rows are read out of the order they lie in memory: asking for the rows a few
// places ahead, and then for their texts, keeps the wait for memory off the writing.
void PrefetchAhead(const std::vector<const TTreeDataClass*>& rows, std::size_t i) {
  if (i + 8 < rows.size()) {
    // A record lies across two cache lines wherever it starts: both are asked for.
    const char* record = reinterpret_cast<const char*>(rows[i + 8]);
    PrefetchForRead(record);
    PrefetchForRead(record + sizeof(TTreeDataClass) - 1);
  }
  if (i + 4 < rows.size()) {
    const TTreeDataClass& row = *rows[i + 4];
    PrefetchForRead(row.HotFixID.data());
    PrefetchForRead(row.InstalledOn.data());
    PrefetchForRead(row.Description.data());
    PrefetchForRead(row.InstalledBy.data());
  }
}

// The computer's status, and its code and text when it was not read completely: the last fields
// of each of its lines, made once per computer.
struct StatusTexts {
  explicit StatusTexts(const ComputerInventory& computer)
      : status(StatusName(computer.status)),
        code(computer.status == InventoryStatus::Complete ? std::string()
                                                          : HresultText(computer.errorCode)),
        text(computer.status == InventoryStatus::Complete ? std::string()
                                                          : ValidUtf8(computer.errorText)) {}
  void Write(CsvWriter& csv) const {
    csv.Field(status);
    csv.Field(code);
    csv.Field(text);
  }
  std::string_view status;
  std::string code;
  std::string text;
};

void WriteRows(CsvWriter& csv, const std::vector<ComputerInventory>& computers,
               const ExportSettings& settings, std::size_t rows) {
  const std::size_t titles = settings.statusColumns ? std::size(kRowsHeader) : 6;
  for (std::size_t i = 0; i < titles; ++i) csv.Field(kRowsHeader[i]);
  csv.EndLine();
  IsoDates isoDates(settings, rows);
  for (const ComputerInventory& computer : computers) {
    const std::string name = ValidUtf8(computer.computer);
    const StatusTexts status(computer);
    const std::vector<const TTreeDataClass*> ordered = RowsInKbOrder(computer.rows);
    // A computer with no row still has its line: every computer given is in the file.
    if (ordered.empty() && settings.statusColumns) {
      csv.Field(name);
      for (int empty = 0; empty < 5; ++empty) csv.Field({});
      status.Write(csv);
      csv.EndLine();
    }
    for (std::size_t i = 0; i < ordered.size(); ++i) {
      PrefetchAhead(ordered, i);
      const TTreeDataClass* row = ordered[i];
      csv.Field(name);
      csv.AnsiField(row->HotFixID);
      csv.AnsiField(row->InstalledOn);
      csv.Field(isoDates.Of(row->InstalledOn));
      csv.AnsiField(row->Description);
      csv.AnsiField(row->InstalledBy);
      if (settings.statusColumns) status.Write(csv);
      csv.EndLine();
    }
  }
}

// One line per computer and KB asked: "oui", "non", or "inconnu" where the rows not read may
// hold it.
void WriteKbAnswers(CsvWriter& csv, const std::vector<ComputerInventory>& computers,
                    const ExportSettings& settings) {
  for (const std::string_view title : kKbHeader) csv.Field(title);
  csv.EndLine();
  for (const ComputerInventory& computer : computers) {
    const std::string name = ValidUtf8(computer.computer);
    const StatusTexts status(computer);
    const KbPresence presence = CheckKbs(computer, settings.kbs);
    for (const std::string& kb : settings.kbs) {
      const auto holds = [&kb](const std::vector<std::string>& list) {
        return std::find(list.begin(), list.end(), kb) != list.end();
      };
      csv.Field(name);
      csv.Field(kb);
      csv.Field(holds(presence.present) ? "oui" : holds(presence.missing) ? "non" : "inconnu");
      status.Write(csv);
      csv.EndLine();
    }
  }
}

}  // namespace

void WriteCsv(std::string& out, const std::vector<ComputerInventory>& computers,
              const ExportSettings& settings) {
  std::size_t estimate = 128;
  for (const ComputerInventory& computer : computers) {
    estimate += computer.computer.size() + computer.errorText.size() + 40;
    for (const TTreeDataClass& row : computer.rows) {
      estimate += computer.computer.size() + row.HotFixID.size() + 2 * row.InstalledOn.size() +
                  row.Description.size() + row.InstalledBy.size() + 40;
    }
  }
  out.reserve(out.size() + estimate + estimate / 8);
  if (settings.byteOrderMark) out.append("\xEF\xBB\xBF");

  const std::size_t rows = RowCount(computers);
  CsvWriter csv(out, Separator(settings), settings, rows);
  if (settings.kbReport && !settings.kbs.empty()) {
    WriteKbAnswers(csv, computers, settings);
  } else {
    WriteRows(csv, computers, settings, rows);
  }
}

}  // namespace export_parts
