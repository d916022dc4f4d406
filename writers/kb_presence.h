#pragma once
// The answer to "is KB… installed?" for one computer's inventory.
#include <string>
#include <vector>

#include "inventory/computer_inventory.h"

// Which of the asked KBs a computer's rows hold (KbNumber equality). A KB not found on a
// computer read completely is missing; on one that was not, it is unknown: the rows not read
// may hold it. Each list keeps the order of `kbs`.
struct KbPresence {
  std::vector<std::string> present;
  std::vector<std::string> missing;
  std::vector<std::string> unknown;
};
KbPresence CheckKbs(const ComputerInventory& computer, const std::vector<std::string>& kbs);
