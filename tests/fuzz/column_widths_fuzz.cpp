// COLUMNSORDER of any content applied to the list's four columns, also read at another
// resolution than it was written at: widths stay within each column's limits, and what the
// program writes back reads as the same widths. Half the inputs are built from widths drawn in
// advance, which the columns must then have.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "list/virtual_string_tree.h"
#include "app/column_scale.h"
#include "list/column_widths.h"
#include "settings/settings_file.h"

namespace {

void AddColumns(TVirtualStringTree& list) {
  list.AddColumn("KB Windows", 150);
  list.AddColumn("Installé le", 150);
  list.AddColumn("Description", 150);
  list.AddColumn("Installé par", 200);
}

std::array<int, 4> Widths(const TVirtualStringTree& list) {
  std::array<int, 4> widths{};
  for (int i = 0; i < 4; ++i) widths[static_cast<std::size_t>(i)] = list.Column(i).Width;
  return widths;
}

// "key=width" for each column in turn, the key any text; pieces without "=" in between take no
// column's turn. Columns past the pieces keep their widths.
void CheckDrawnWidths(FuzzedDataProvider& data) {
  std::array<int, 4> expected{150, 150, 150, 200};
  std::string text;
  const std::size_t pieces = data.ConsumeIntegralInRange<std::size_t>(0, 5);
  for (std::size_t i = 0; i < pieces; ++i) {
    if (!text.empty()) text += ',';
    if (data.ConsumeBool()) text += "noise,";
    std::string key = fuzz::Text(data, 8);
    std::replace(key.begin(), key.end(), ',', '.');
    std::replace(key.begin(), key.end(), '=', '.');
    const int width = data.ConsumeIntegralInRange<int>(-20000, 20000);
    text += key + "=" + std::to_string(width);
    if (i < 4) expected[i] = std::clamp(width, 10, 10000);
  }
  TVirtualStringTree list;
  AddColumns(list);
  ApplyColumnWidths(ReadColumnWidths(text), list);
  FUZZ_CHECK(Widths(list) == expected);

  // The same widths read as written at one resolution ([MAINFORM] PixelsPerInch, any value a
  // file may hold) and shown at another stay within every column's limits.
  const int writtenAt = data.ConsumeIntegral<int>();
  const int shownAt = data.ConsumeIntegralInRange<int>(-10, 1000);
  TVirtualStringTree scaled;
  AddColumns(scaled);
  ApplyColumnWidths(WidthsAtResolution(ReadColumnWidths(text), writtenAt, shownAt), scaled);
  for (TColumnIndex i = 0; i < scaled.ColumnCount(); ++i) {
    FUZZ_CHECK(scaled.Column(i).Width >= scaled.Column(i).MinWidth);
    FUZZ_CHECK(scaled.Column(i).Width <= scaled.Column(i).MaxWidth);
  }
  if (writtenAt == shownAt || writtenAt <= 0 || shownAt <= 0)
    FUZZ_CHECK(Widths(scaled) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size > 0 && bytes[0] % 2 == 0) {
    FuzzedDataProvider data(bytes + 1, size - 1);
    CheckDrawnWidths(data);
    return 0;
  }
  const std::string columnsOrder(reinterpret_cast<const char*>(bytes), size);
  TVirtualStringTree list;
  AddColumns(list);
  ApplyColumnWidths(ReadColumnWidths(columnsOrder), list);
  FUZZ_CHECK(list.ColumnCount() == 4);
  for (TColumnIndex i = 0; i < list.ColumnCount(); ++i) {
    FUZZ_CHECK(list.Column(i).Width >= list.Column(i).MinWidth);
    FUZZ_CHECK(list.Column(i).Width <= list.Column(i).MaxWidth);
    FUZZ_CHECK(list.Column(i).Position == i);
  }
  // Without any "=" nothing is applied at all.
  if (columnsOrder.find('=') == std::string::npos) {
    FUZZ_CHECK((Widths(list) == std::array<int, 4>{150, 150, 150, 200}));
  }

  const std::string written = ColumnWidthsText(ColumnWidths(list));
  TVirtualStringTree reopened;
  AddColumns(reopened);
  ApplyColumnWidths(ReadColumnWidths(written), reopened);
  FUZZ_CHECK(Widths(reopened) == Widths(list));
  FUZZ_CHECK(ColumnWidthsText(ColumnWidths(reopened)) == written);
  return 0;
}
