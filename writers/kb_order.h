#pragma once
// The list's order by the KB column, ascending: by KbNumber, rows of the same number in the
// order they came. The window's first sort after a scan (column 0, ascending) and the console's
// output both follow it, so the same computer lists the same way in both.
#include <vector>

#include "inventory/hotfix_record.h"

// -1, 0 or +1 by the rows' KbNumber.
int CompareKbOrder(const TTreeDataClass& a, const TTreeDataClass& b);

// The rows in that order (a stable sort: equal numbers keep their order).
std::vector<const TTreeDataClass*> RowsInKbOrder(const std::vector<TTreeDataClass>& rows);
