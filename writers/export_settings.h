#pragma once
// How an export is written: its format and the user's conventions it follows.
#include <string>
#include <string_view>
#include <vector>

#include "Systeme/locale_text.h"

enum class ExportFormat { Text, Csv, Json };

struct ExportSettings {
  ExportFormat format = ExportFormat::Text;
  std::string listSeparator = ";";    // the user's list separator (LOCALE_SLIST), ANSI
  bool byteOrderMark = false;         // UTF-8 byte-order mark before CSV (files, not a pipe)
  std::string copySeparator = " | ";  // the "Copier" separator (Settings.DefChar x NbrChar)
  TFormatSettings dateSettings;       // the user's formats: read "Installé le" back as a date
  int currentYear = 0;                // completes a date written without its year
  // The system code page's conversions (required; asked only for texts that are not ASCII).
  LocaleText* codePage = nullptr;
  std::vector<std::string> kbs;  // the /kb: list, normalised "KB5034441"; empty: no check
  // With kbs: text and CSV give one answer per computer and KB instead of the rows (JSON has
  // both always).
  bool kbReport = false;
  // CSV rows end with the computer's status, code and text, and a computer without rows gets a
  // line of its own: what a file of many computers needs (the console program's). The window's
  // "Exporter…" writes the rows of the one computer it shows without them.
  bool statusColumns = false;
};
