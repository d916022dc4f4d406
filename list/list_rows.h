#pragma once
// The rows' records as the list holds them, for whatever reads the whole list (copy, export).
#include <vector>

#include "list/virtual_string_tree.h"

// The record a node holds, or null for no node, no slot or an empty slot.
inline TTreeDataClass* RecordOf(TVirtualStringTree& list, PVirtualNode node) {
  RecordSlot* slot = list.NodeRecord(node);
  return slot ? slot->get() : nullptr;
}

// The records in display order; rows without a record have no text to give and are left out.
std::vector<const TTreeDataClass*> RowsInDisplayOrder(TVirtualStringTree& list);
