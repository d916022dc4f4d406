#pragma once
// The console program's exit code, which scripts and scheduled tasks test.
#include <string>
#include <vector>

#include "inventory/computer_inventory.h"

inline constexpr int kExitOk = 0;              // every computer read (and every KB present)
inline constexpr int kExitKbMissing = 1;       // every computer read, some KB missing somewhere
inline constexpr int kExitIncomplete = 2;      // some computer not read completely
inline constexpr int kExitBadCommandLine = 3;  // an unknown option or a bad value: nothing read

// kExitIncomplete when any computer is not Complete, whatever the KBs; otherwise, with KBs to
// look for ("KB5034441" or "5034441"), kExitKbMissing when one of them is missing on some
// computer; kExitOk otherwise. A KB is present when a row's HotFixID has the same number.
int ConsoleExitCode(const std::vector<ComputerInventory>& computers,
                    const std::vector<std::string>& kbs);
