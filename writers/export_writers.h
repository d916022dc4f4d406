#pragma once
// The console program's outputs for the inventories of one or more computers: the "Copier" text,
// CSV for spreadsheets and JSON for scripts. Every format lists each computer's rows in the
// window's first order (writers/kb_order.h), computers in the order given.
#include <string>
#include <vector>

#include "inventory/computer_inventory.h"
#include "writers/export_settings.h"
#include "writers/kb_presence.h"

// The whole output in `settings.format`, every computer given in it, in the order given:
// - Text (ANSI, CR LF): one computer read completely gives exactly the "Copier" text of its
//   rows. With several computers a first column holds each row's computer, padded like the
//   others. After the rows of each computer not read completely (in their place when it has
//   none), its StatusLine. With kbReport, instead of the rows, one line per computer with the
//   KBs present, missing and unknown, each followed by its StatusLine in the same way.
// - Csv (UTF-8, RFC 4180, CR LF): a header row, then computer, KB, installed on as shown,
//   installed on as yyyy-mm-dd (empty when the text does not read as a date), description,
//   installed by, status (complete, incomplete, failed, stopped), and the code and text of the
//   failure (empty when complete); a computer without rows gets one line, its KB columns empty.
//   With kbReport: computer, KB, present ("oui", "non", "inconnu"), status, code, text, one line
//   per computer and KB. Fields holding a character of the separator, a quote, CR or LF are
//   quoted; a field beginning with =, +, -, @, tab or CR gets a leading ' so that a spreadsheet
//   runs no formula.
// - Json (UTF-8): {"computers":[{"computer", "status", "errorCode", "errorText", "objectCount",
//   "rows":[{"kb", "installedOn", "installedOnIso" (or null), "description", "installedBy"}]
//   and, with a /kb: list, "present", "missing", "unknown"}]}.
// UTF-8 outputs hold no ill-formed byte: what converts badly becomes U+FFFD.
std::string WriteExport(const std::vector<ComputerInventory>& computers,
                        const ExportSettings& settings);

// How a computer not read completely is told, on one line, in the text output and on the
// console program's standard error: "SRV2 : échec (0x800706BA) Le serveur RPC n'est pas
// disponible", "S3 : incomplet, 12 lignes lues (…) …". UTF-8.
std::string StatusLine(const ComputerInventory& computer);
