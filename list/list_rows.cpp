#include "list/list_rows.h"

std::vector<const TTreeDataClass*> RowsInDisplayOrder(TVirtualStringTree& list) {
  std::vector<const TTreeDataClass*> rows;
  rows.reserve(static_cast<std::size_t>(list.RootNodeCount()));
  for (PVirtualNode node = list.FirstNode(); node; node = list.NextNode(node)) {
    if (const TTreeDataClass* record = RecordOf(list, node)) rows.push_back(record);
  }
  return rows;
}
