// COLUMNSORDER of any content applied to the list's four columns: widths stay within each
// column's limits, and what the program writes back reads as the same widths.
#include <array>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "list/virtual_string_tree.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string columnsOrder(reinterpret_cast<const char*>(bytes), size);
  TVirtualStringTree list;
  AddColumns(list);
  ApplyColumnWidths(columnsOrder, list);
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

  const std::string written = ColumnWidthsText(list);
  TVirtualStringTree reopened;
  AddColumns(reopened);
  ApplyColumnWidths(written, reopened);
  FUZZ_CHECK(Widths(reopened) == Widths(list));
  FUZZ_CHECK(ColumnWidthsText(reopened) == written);
  return 0;
}
