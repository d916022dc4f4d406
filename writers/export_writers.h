#pragma once
// The console program's outputs for the inventories of one or more computers: the "Copier" text,
// CSV for spreadsheets and JSON for scripts. Every format lists each computer's rows in the
// window's first order (writers/kb_order.h), computers in the order given.
#include <string>
#include <vector>

#include "inventory/computer_inventory.h"
#include "writers/export_settings.h"
#include "writers/kb_presence.h"

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
