// The copy text over any rows and separator: each line holds the four texts padded to their
// column's widest, joined by the separator, ended by CR LF; nothing is cut.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "writers/copy_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const std::string separator = fuzz::Text(data, 20);
  std::vector<std::unique_ptr<TTreeDataClass>> records;
  while (data.remaining_bytes() > 0 && records.size() < 200) {
    auto record = std::make_unique<TTreeDataClass>();
    record->HotFixID = fuzz::MaybeHuge(data, 30);
    record->InstalledOn = fuzz::Text(data, 30);
    record->Description = fuzz::Text(data, 60);
    record->InstalledBy = fuzz::Text(data, 30);
    records.push_back(std::move(record));
  }
  std::vector<const TTreeDataClass*> rows;
  for (const auto& record : records) rows.push_back(record.get());

  const std::array<int, 4> widths = MeasureTextWidths(rows);
  for (int column = 0; column < 4; ++column) {
    std::size_t widest = 0;
    for (const TTreeDataClass* row : rows) {
      widest = std::max(widest, ColumnText(*row, column).size());
    }
    FUZZ_CHECK(static_cast<std::size_t>(widths[static_cast<std::size_t>(column)]) == widest);
  }

  const std::string text = BuildCopyText(rows, widths, separator);
  std::size_t at = 0;
  for (const TTreeDataClass* row : rows) {
    for (int column = 0; column < 4; ++column) {
      if (column > 0) {
        FUZZ_CHECK(text.compare(at, separator.size(), separator) == 0);
        at += separator.size();
      }
      const std::string cell =
          PadRight(ColumnText(*row, column).str(), widths[static_cast<std::size_t>(column)]);
      FUZZ_CHECK(cell.size() == static_cast<std::size_t>(widths[static_cast<std::size_t>(column)]));
      FUZZ_CHECK(text.compare(at, cell.size(), cell) == 0);
      at += cell.size();
    }
    FUZZ_CHECK(text.compare(at, 2, "\r\n") == 0);
    at += 2;
  }
  FUZZ_CHECK(at == text.size());

  // Widths narrower than the texts never cut them.
  const std::array<int, 4> narrow = {-1, 0, 1, data.ConsumeIntegralInRange<int>(-5, 5000)};
  const std::string loose = BuildCopyText(rows, narrow, separator);
  FUZZ_CHECK(loose.size() >= rows.size() * (3 * separator.size() + 2));
  return 0;
}
