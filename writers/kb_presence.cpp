#include "writers/kb_presence.h"

#include "inventory/kb_rules.h"

KbPresence CheckKbs(const ComputerInventory& computer, const std::vector<std::string>& kbs) {
  KbPresence presence;
  for (const std::string& kb : kbs) {
    const std::int32_t number = KbNumber(kb);
    bool found = false;
    for (const TTreeDataClass& row : computer.rows) {
      if (number != 0 && KbNumber(row.HotFixID) == number) {
        found = true;
        break;
      }
    }
    if (found) {
      presence.present.push_back(kb);
    } else if (computer.status == InventoryStatus::Complete) {
      presence.missing.push_back(kb);
    } else {
      presence.unknown.push_back(kb);
    }
  }
  return presence;
}
