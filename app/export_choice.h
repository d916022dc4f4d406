#pragma once
// What "Exporter…" proposes and how it reads the user's answer. Paths are UTF-8.
#include <string>
#include <string_view>

#include "writers/export_writers.h"

// "Fixtally-<computer>-<yyyy-mm-dd>.csv"; characters that no file name may hold (\ / : * ? " <
// > | and control characters) become '_', so a name like "srv\inst" or "::1" still gives a file.
std::string ProposedExportName(std::string_view computer, int year, int month, int day);

// The save dialog's file types, in the order of its filter (index 1 first).
inline constexpr ExportFormat kExportFilterFormats[] = {ExportFormat::Csv, ExportFormat::Json,
                                                        ExportFormat::Text};

// The format of the file type chosen in the dialog (1-based; CSV when out of range). The type
// decides, not the name: a JSON file must not be written as CSV because the proposed name still
// ended in ".csv".
ExportFormat ExportFormatOfType(int filterIndex);

// The chosen path with the extension of `format`, so that the name says what the file holds: an
// extension of the three (.csv, .json, .txt, any letter case) that names another format is
// replaced, and a name without extension gets the format's. Any other extension is the user's
// choice and stays.
std::string PathForFormat(std::string_view path, ExportFormat format);

// The folder of a chosen path, without its last separator (a drive keeps it: "C:\\"); empty
// when it names none.
std::string FolderOf(std::string_view path);
