#pragma once
// The columns' widths as the settings file keeps them, by column index.
#include <optional>
#include <vector>

#include "list/virtual_string_tree.h"

std::vector<int> ColumnWidths(const TVirtualStringTree& list);

// Column i takes widths[i] when there is one; a column without one keeps its width, and widths
// beyond the list's columns are skipped.
void ApplyColumnWidths(const std::vector<std::optional<int>>& widths, TVirtualStringTree& list);
