#pragma once
// The console program's command line. One table (console/options.cpp) names every option with
// its kind of value, its limits and its help line; parsing, validation and the /? text all read
// it, so no option can be known to one and not the others.
//   /option or -option, any letter case; a value follows the first ':' (/host:SRV1).
#include <optional>
#include <string>
#include <vector>

#include "inventory/update_sources.h"
#include "writers/export_writers.h"

// What a run with /kb: writes: the rows of each computer, or one answer per computer and KB.
enum class ReportShape { Rows, Kbs };

struct ConsoleOptions {
  bool help = false;               // /?: print UsageText(), scan nothing
  std::vector<std::string> hosts;  // /host:, in the order given
  std::string hostsFile;           // /hosts: (empty: none); its names come after /host:'s
  std::string user;                // /user: (empty: the settings file's account or the current)
  ExportFormat format = ExportFormat::Text;  // /format:
  std::string outFile;                       // /out: (empty: standard output)
  std::vector<std::string> kbs;              // /kb:, normalised "KB5034441", no repeats
  std::optional<ReportShape> report;         // /report: (none: Kbs with /kb:, else Rows)
  bool utf8Output = false;                   // /encoding:utf8 (else the console's code page)
  int parallel = 0;                          // /parallel: (the table's default when not given)
  int timeoutSeconds = 0;                    // /timeout: (the table's default when not given)
  // /sources: (none: the settings file's SOURCES, WMI alone without it)
  std::optional<UpdateSources> sources;
};

struct ParsedCommandLine {
  ConsoleOptions options;
  std::string error;  // empty: `options` holds; else a French message naming the option
};

// `arguments` are the command line's arguments after the program's name, UTF-8 (so are the
// texts of the options and of the message).
ParsedCommandLine ParseConsoleOptions(const std::vector<std::string>& arguments);

// The /? text in French, UTF-8, lines ended by CR LF.
std::string UsageText();
