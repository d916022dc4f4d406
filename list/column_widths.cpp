#include "list/column_widths.h"

std::vector<int> ColumnWidths(const TVirtualStringTree& list) {
  std::vector<int> widths;
  for (TColumnIndex i = 0; i < list.ColumnCount(); ++i) widths.push_back(list.Column(i).Width);
  return widths;
}

void ApplyColumnWidths(const std::vector<std::optional<int>>& widths, TVirtualStringTree& list) {
  for (std::size_t i = 0; i < widths.size() && i < static_cast<std::size_t>(list.ColumnCount());
       ++i) {
    if (widths[i]) list.SetColumnWidth(static_cast<TColumnIndex>(i), *widths[i]);
  }
}
