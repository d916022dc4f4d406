#pragma once
// Binds a finished hotfix record to a new row of the list, which owns it from then on.
#include <memory>

#include "inventory/hotfix_record.h"
#include "list/virtual_string_tree.h"

// Appends a top-level row (the list is flat: parent is always null) and stores the record in
// its slot after the row's OnInitNode, which therefore sees an empty slot. Returns the row.
PVirtualNode AddHotfixNode(TVirtualStringTree& list, PVirtualNode parent,
                           std::unique_ptr<TTreeDataClass> record);
