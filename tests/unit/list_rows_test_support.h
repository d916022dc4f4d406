#pragma once
// Rows for the list handlers' tests: records made of four texts, bound to rows the way a scan
// binds them.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "list/add_hotfix_node.h"
#include "list/sort_keys.h"

namespace list_rows {

struct Row {
  std::string id, on, description, by;
  std::uint8_t matchState = 0;
};

inline PVirtualNode AddRow(TVirtualStringTree& list, const Row& row) {
  auto record = std::make_unique<TTreeDataClass>();
  record->HotFixID = row.id;
  record->InstalledOn = row.on;
  record->Description = row.description;
  record->InstalledBy = row.by;
  record->MatchState = row.matchState;
  return AddHotfixNode(list, nullptr, std::move(record));
}

// In one batch, as a scan adds them: the list sorts them once by its header's state.
inline std::vector<PVirtualNode> AddRows(TVirtualStringTree& list, const std::vector<Row>& rows) {
  std::vector<PVirtualNode> nodes;
  list.BeginBatch();
  for (const Row& row : rows) nodes.push_back(AddRow(list, row));
  list.EndBatch();
  return nodes;
}

inline std::vector<std::string> IdsInOrder(TVirtualStringTree& list) {
  std::vector<std::string> ids;
  for (PVirtualNode node = list.FirstNode(); node; node = list.NextNode(node)) {
    const TTreeDataClass* record = RecordOf(list, node);
    ids.push_back(record ? record->HotFixID.str() : "<none>");
  }
  return ids;
}

}  // namespace list_rows
