#pragma once
// The console program's outputs for the inventories of one or more computers: the "Copier" text,
// CSV for spreadsheets and JSON for scripts. Every format lists each computer's rows in the
// window's first order (list/kb_order.h), computers in the order given.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Systeme/locale_text.h"
#include "inventory/computer_inventory.h"

enum class ExportFormat { Text, Csv, Json };

struct ExportSettings {
  ExportFormat format = ExportFormat::Text;
  std::string listSeparator = ";";    // the user's list separator (LOCALE_SLIST), ANSI
  bool byteOrderMark = false;         // UTF-8 byte-order mark before CSV (files, not a pipe)
  std::string copySeparator = " | ";  // the "Copier" separator (Settings.DefChar x NbrChar)
  TFormatSettings dateSettings;       // the user's formats: read "Installé le" back as a date
  int currentYear = 0;                // completes a date written without its year
  // The system code page's conversions (required; called only for texts that are not ASCII).
  std::function<std::string(std::string_view)> ansiToUtf8;
  std::function<std::string(std::string_view)> utf8ToAnsi;
  std::vector<std::string> kbs;  // the /kb: list, normalised "KB5034441"; empty: no check
};

// Which of the asked KBs a computer's rows hold (KbNumber equality). A KB not found on a
// computer read completely is missing; on one that was not, it is unknown: the rows not read
// may hold it. Each list keeps the order of `kbs`.
struct KbPresence {
  std::vector<std::string> present;
  std::vector<std::string> missing;
  std::vector<std::string> unknown;
};
KbPresence CheckKbs(const ComputerInventory& computer, const std::vector<std::string>& kbs);

// The whole output in `settings.format`:
// - Text (ANSI, CR LF): one computer read completely gives exactly the "Copier" text of its
//   rows. With several computers a first column holds each row's computer, padded like the
//   others. Each computer not read completely then gets one line saying so, with its code and
//   error text. With a /kb: list, instead of the rows, one line per computer with the KBs
//   present, missing and unknown.
// - Csv (UTF-8, RFC 4180, CR LF): a header row, then computer, KB, installed on as shown,
//   installed on as yyyy-mm-dd (empty when the text does not read as a date), description,
//   installed by. Fields holding a character of the separator, a quote, CR or LF are quoted;
//   a field beginning with =, +, -, @, tab or CR gets a leading ' so that a spreadsheet runs
//   no formula.
// - Json (UTF-8): {"computers":[{"computer", "status", "errorCode", "errorText", "objectCount",
//   "rows":[{"kb", "installedOn", "installedOnIso" (or null), "description", "installedBy"}]
//   and, with a /kb: list, "present", "missing", "unknown"}]}.
// UTF-8 outputs hold no ill-formed byte: what converts badly becomes U+FFFD.
std::string WriteExport(const std::vector<ComputerInventory>& computers,
                        const ExportSettings& settings);

// The row's "Installé le" text as yyyy-mm-dd, read with the user's short date format the way
// the date column reads it; empty when it does not read as a date.
std::string IsoDate(std::string_view installedOn, const TFormatSettings& settings, int currentYear);
