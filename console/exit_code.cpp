#include "console/exit_code.h"

#include <algorithm>
#include <cstdint>

#include "inventory/kb_rules.h"

namespace {

// Number 0 is no KB at all (a HotFixID without digits reads as 0): it is never present.
bool HasKb(const ComputerInventory& computer, std::int32_t number) {
  return number != 0 &&
         std::any_of(computer.rows.begin(), computer.rows.end(), [number](const auto& row) {
           return KbNumber(std::string_view(row.HotFixID)) == number;
         });
}

}  // namespace

int ConsoleExitCode(const std::vector<ComputerInventory>& computers,
                    const std::vector<std::string>& kbs) {
  for (const ComputerInventory& computer : computers) {
    if (computer.status != InventoryStatus::Complete) return kExitIncomplete;
  }
  for (const std::string& kb : kbs) {
    const std::int32_t number = KbNumber(kb);
    for (const ComputerInventory& computer : computers) {
      if (!HasKb(computer, number)) return kExitKbMissing;
    }
  }
  return kExitOk;
}
