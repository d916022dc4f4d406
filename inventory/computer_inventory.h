#pragma once
// What reading one computer's hotfixes gave: its rows, and whether they are all of them. The
// console program reads many computers and writes each one's inventory; the export writers turn
// inventories into files.
#include <cstdint>
#include <string>
#include <vector>

#include "inventory/hotfix_record.h"

enum class InventoryStatus {
  Complete,    // every object was read
  Incomplete,  // the enumeration failed midway, or was stopped: `rows` holds what was read
  Failed,      // nothing could be read (connection refused, timed out, never started)
};

struct ComputerInventory {
  std::string computer;  // as the user named it, system code page
  InventoryStatus status = InventoryStatus::Complete;
  std::int32_t errorCode = 0;        // the failure's HRESULT; 0 when complete
  std::string errorText;             // UTF-8, as the window's error dialog words it
  std::int32_t objectCount = 0;      // objects met, read or not (the window's "(n)")
  std::vector<TTreeDataClass> rows;  // in the order WMI gave them
};
