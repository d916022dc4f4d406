// Writing rows as CSV beside the plain buffered write of the same bytes: what quoting, the
// formula guard, the ISO date column, the order by KB and the conversion to UTF-8 cost.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_form.h"
#include "bench/counted_call.h"
#include "csv_reader.h"
#include "writers/export_writers.h"
#include "portable_locale_text.h"

namespace {

struct CsvCase {
  std::vector<ComputerInventory> computers;
  ExportSettings settings;
  // The fields of the CSV the writer produces, exactly as its bytes hold them (quotes and
  // separators included), one record per entry.
  std::vector<std::vector<std::string>> cells;
  std::string separator;
};

// One computer's rows as a scan reads them (generated texts, the window's date display), in the
// order the source gave them.
CsvCase& CaseFor(std::size_t count) {
  static std::map<std::size_t, std::unique_ptr<CsvCase>> cases;
  std::unique_ptr<CsvCase>& entry = cases[count];
  if (entry) return *entry;
  entry = std::make_unique<CsvCase>();
  BenchForm form;
  form.Fill(RowsFor(count));
  ComputerInventory computer;
  computer.computer = "SRV-FICHIERS-01";
  for (const TTreeDataClass* record : form.Records()) computer.rows.push_back(*record);
  computer.objectCount = static_cast<std::int32_t>(computer.rows.size());
  entry->computers.push_back(std::move(computer));
  ExportSettings& settings = entry->settings;
  settings.format = ExportFormat::Csv;
  settings.byteOrderMark = true;
  settings.dateSettings = form.Form().Ports().locale.FormatSettings();
  settings.currentYear = 2026;
  settings.codePage = &CodePage1252();

  // The same bytes, split back into the fields as written, for the baseline.
  const std::string csv = WriteExport(entry->computers, settings);
  entry->separator = settings.listSeparator;
  std::string_view body = std::string_view(csv).substr(3);
  std::size_t at = 0;
  const auto records = csv_reader::Read(body, entry->separator);
  if (!records) return *entry;  // the benchmark reports the mismatch
  for (const std::vector<std::string>& record : *records) {
    std::vector<std::string> raw;
    for (std::size_t i = 0; i < record.size(); ++i) {
      // A field as written ends where the separator or the line end that follows it starts.
      const std::string_view end =
          i + 1 < record.size() ? std::string_view(entry->separator) : std::string_view("\r\n");
      std::size_t stop = at;
      if (body[at] == '"') {
        stop = at + 1;
        for (;;) {
          stop = body.find('"', stop) + 1;
          if (stop < body.size() && body[stop] == '"') {
            ++stop;
          } else {
            break;
          }
        }
      } else {
        stop = body.find(end, at);
      }
      raw.emplace_back(body.substr(at, stop - at));
      at = stop + end.size();
    }
    entry->cells.push_back(std::move(raw));
  }
  return *entry;
}

// A scratch file the runs write over, so that each run writes into pages the file already has
// rather than growing it; both sides write to it the same way.
std::FILE* ScratchFile() {
  static std::FILE* file = std::tmpfile();
  std::rewind(file);
  return file;
}

// What the console does for /out:: the text built, then written in one call.
void CsvExportOurs(benchmark::State& state) {
  CsvCase& c = CaseFor(static_cast<std::size_t>(state.range(0)));
  std::FILE* file = ScratchFile();
  std::size_t bytes = 0;
  for (auto _ : state) {
    CountedCall counted;
    std::rewind(file);
    const std::string csv = WriteExport(c.computers, c.settings);
    bytes = std::fwrite(csv.data(), 1, csv.size(), file);
    std::fflush(file);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

// The same bytes, already formatted, written field by field through the C library's buffered
// stream: no conversion, no quoting decision, no date reading, no sort.
void CsvExportBaseline(benchmark::State& state) {
  CsvCase& c = CaseFor(static_cast<std::size_t>(state.range(0)));
  std::FILE* file = ScratchFile();
  std::size_t bytes = 0;
  for (auto _ : state) {
    CountedCall counted;
    std::rewind(file);
    bytes = std::fwrite("\xEF\xBB\xBF", 1, 3, file);
    for (const auto& record : c.cells) {
      for (std::size_t i = 0; i < record.size(); ++i) {
        if (i > 0) bytes += std::fwrite(c.separator.data(), 1, c.separator.size(), file);
        bytes += std::fwrite(record[i].data(), 1, record[i].size(), file);
      }
      bytes += std::fwrite("\r\n", 1, 2, file);
    }
    std::fflush(file);
  }
  if (bytes != WriteExport(c.computers, c.settings).size()) {
    state.SkipWithError("the baseline wrote another length than the writer");
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

// For information: the same bytes appended into one buffer sized in advance, no file at all.
void CsvExportInMemoryBaseline(benchmark::State& state) {
  CsvCase& c = CaseFor(static_cast<std::size_t>(state.range(0)));
  const std::string expected = WriteExport(c.computers, c.settings);
  std::string text;
  for (auto _ : state) {
    CountedCall counted;
    text.clear();
    text.shrink_to_fit();
    text.reserve(expected.size());
    text.append("\xEF\xBB\xBF");
    for (const auto& record : c.cells) {
      for (std::size_t i = 0; i < record.size(); ++i) {
        if (i > 0) text.append(c.separator);
        text.append(record[i]);
      }
      text.append("\r\n");
    }
    benchmark::DoNotOptimize(text.data());
  }
  if (text != expected) state.SkipWithError("the baseline wrote other bytes than the writer");
  state.counters["bytes"] = static_cast<double>(text.size());
}

void ExportArgs(benchmark::internal::Benchmark* bench) {
  bench->ArgNames({"rows"})->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(CsvExportOurs)->Apply(ExportArgs);
BENCHMARK(CsvExportBaseline)->Apply(ExportArgs);
BENCHMARK(CsvExportInMemoryBaseline)->Apply(ExportArgs);
