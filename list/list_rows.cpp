#include "list/list_rows.h"

std::vector<const TTreeDataClass*> RowsInDisplayOrder(TVirtualStringTree& list) {
  std::vector<const TTreeDataClass*> rows;
  list.RecordsInOrder(rows);
  std::erase(rows, nullptr);
  return rows;
}
