// Any inventories written as CSV read back, through a strict RFC 4180 reader, as their texts in
// UTF-8: every field exact, the formula guard being the only change; with the status columns,
// every computer has its lines, each with its status, code and text.
#include <cstdint>
#include <string>
#include <vector>

#include "Systeme/hresult_text.h"
#include "csv_reader.h"
#include "fuzz_support.h"
#include "inventory/installed_on_date.h"
#include "writers/export_writers.h"
#include "inventory/installed_on_date.h"
#include "writers/kb_order.h"
#include "Systeme/utf8_text.h"
#include "cp1252_utf8.h"
#include "portable_locale_text.h"

namespace {

std::string Guarded(std::string utf8) {
  if (!utf8.empty() && std::string_view("=+-@\t\r").find(utf8.front()) != std::string::npos) {
    utf8.insert(0, 1, '\'');
  }
  return utf8;
}

std::string Expected(const std::string& ansi) {
  return Guarded(Cp1252ToUtf8(ansi));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  ExportSettings settings;
  settings.format = ExportFormat::Csv;
  settings.codePage = &CodePage1252();
  settings.listSeparator = fuzz::Text(data, 4);
  settings.byteOrderMark = data.ConsumeBool();
  settings.dateSettings.ShortDateFormat = data.ConsumeBool() ? "dd/MM/yyyy" : "M/d/yyyy";
  settings.currentYear = 2026;
  settings.statusColumns = data.ConsumeBool();

  static const char* const kStatuses[] = {"complete", "incomplete", "failed", "stopped"};
  std::vector<ComputerInventory> computers(data.ConsumeIntegralInRange<std::size_t>(0, 3));
  for (ComputerInventory& computer : computers) {
    computer.computer = ValidUtf8(fuzz::Text(data, 20));
    computer.status = static_cast<InventoryStatus>(data.ConsumeIntegralInRange(0, 3));
    computer.errorCode = data.ConsumeIntegral<std::int32_t>();
    computer.errorText = fuzz::Text(data, 30);
    const std::size_t count = data.ConsumeIntegralInRange<std::size_t>(0, 20);
    for (std::size_t i = 0; i < count && data.remaining_bytes() > 0; ++i) {
      TTreeDataClass row;
      row.HotFixID = fuzz::Text(data, 12);
      row.InstalledOn = fuzz::Text(data, 12);
      row.Description = fuzz::Text(data, 60);
      row.InstalledBy = fuzz::Text(data, 20);
      computer.rows.push_back(std::move(row));
    }
  }

  const std::string csv = WriteExport(computers, settings);
  FUZZ_CHECK(IsValidUtf8(csv));
  std::string_view body = csv;
  if (settings.byteOrderMark) {
    FUZZ_CHECK(body.starts_with("\xEF\xBB\xBF"));
    body.remove_prefix(3);
  }
  const std::string& ansiSeparator = settings.listSeparator;
  const std::string separator =
      ansiSeparator.empty() || ansiSeparator.find_first_of("\"\r\n") != std::string::npos
          ? ","
          : Cp1252ToUtf8(ansiSeparator);
  const auto records = csv_reader::Read(body, separator);
  FUZZ_CHECK(records.has_value());

  std::size_t line = 1;  // after the header
  FUZZ_CHECK(!records->empty() && (*records)[0].size() == (settings.statusColumns ? 9u : 6u));
  for (const ComputerInventory& computer : computers) {
    const bool complete = computer.status == InventoryStatus::Complete;
    const std::vector<std::string> status = {
        kStatuses[static_cast<int>(computer.status)],
        complete ? std::string() : HresultText(computer.errorCode),
        complete ? std::string() : Guarded(ValidUtf8(computer.errorText))};
    const auto withStatus = [&](std::vector<std::string> fields) {
      if (settings.statusColumns) fields.insert(fields.end(), status.begin(), status.end());
      return fields;
    };
    const std::string name = Guarded(computer.computer);
    if (computer.rows.empty() && settings.statusColumns) {
      FUZZ_CHECK(line < records->size());
      FUZZ_CHECK((*records)[line] == withStatus({name, "", "", "", "", ""}));
      ++line;
    }
    for (const TTreeDataClass* row : RowsInKbOrder(computer.rows)) {
      FUZZ_CHECK(line < records->size());
      const std::vector<std::string> expected =
          withStatus({name, Expected(row->HotFixID.str()), Expected(row->InstalledOn.str()),
                      IsoDate(row->InstalledOn, settings.dateSettings, settings.currentYear),
                      Expected(row->Description.str()), Expected(row->InstalledBy.str())});
      FUZZ_CHECK((*records)[line] == expected);
      ++line;
    }
  }
  FUZZ_CHECK(line == records->size());
  return 0;
}
