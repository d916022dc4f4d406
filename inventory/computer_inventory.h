#pragma once
// What reading one computer's hotfixes gave: its rows, and whether they are all of them. The
// console program reads many computers and writes each one's inventory; the export writers turn
// inventories into files; the window keeps the outcome of its last scan beside its list.
#include <cstdint>
#include <string>
#include <vector>

#include "inventory/hotfix_record.h"

enum class InventoryStatus {
  Complete,    // every object was read
  Incomplete,  // the enumeration failed midway, or was stopped: the rows hold what was read
  Failed,      // nothing could be read (connection refused, timed out, no thread)
  Stopped,     // nothing was read because the user stopped the reading first
};

// How far a reading got. errorCode and errorText are the first failure's; each further source
// that failed adds "; <source> : <its code> <its text>" to errorText (inventory/read_computer.h),
// so a code is never told with another one's text.
struct ReadingOutcome {
  InventoryStatus status = InventoryStatus::Complete;
  std::int32_t errorCode = 0;    // an HRESULT; 0 when complete
  std::string errorText;         // UTF-8, as the window's error dialog words it
  std::int32_t objectCount = 0;  // objects met, read or not (the window's "(n)")
};

struct ComputerInventory : ReadingOutcome {
  std::string computer;              // UTF-8: as the user named it, this computer by its name
  std::vector<TTreeDataClass> rows;  // in the order they were read
};
