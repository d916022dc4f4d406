#include "list/kb_order.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "inventory/kb_rules.h"

int CompareKbOrder(const TTreeDataClass& a, const TTreeDataClass& b) {
  const std::int32_t na = KbNumber(a.HotFixID);
  const std::int32_t nb = KbNumber(b.HotFixID);
  return na < nb ? -1 : (nb < na ? 1 : 0);
}

std::vector<const TTreeDataClass*> RowsInKbOrder(const std::vector<TTreeDataClass>& rows) {
  // Each number is read once, not once per comparison.
  std::vector<std::pair<std::int32_t, const TTreeDataClass*>> keyed;
  keyed.reserve(rows.size());
  for (const TTreeDataClass& row : rows) keyed.emplace_back(KbNumber(row.HotFixID), &row);
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<const TTreeDataClass*> ordered;
  ordered.reserve(keyed.size());
  for (const auto& entry : keyed) ordered.push_back(entry.second);
  return ordered;
}
