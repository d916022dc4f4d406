#include "list/add_hotfix_node.h"

#include <utility>

PVirtualNode AddHotfixNode(TVirtualStringTree& list, [[maybe_unused]] PVirtualNode parent,
                           std::unique_ptr<TTreeDataClass> record) {
  PVirtualNode node = list.AppendNode();
  // A list configured without a record slot has nowhere to keep the record: it is destroyed
  // here, when `record` goes out of scope, rather than leaked or left dangling.
  if (RecordSlot* slot = list.NodeRecord(node)) *slot = std::move(record);
  return node;
}
