#pragma once
// Windows Update history folded into the updates that are installed now.
#include <cstdint>
#include <string>
#include <vector>

#include "inventory/date_time.h"
#include "inventory/update_sources.h"

// IUpdateHistoryEntry's values as the agent gives them (UpdateOperation, OperationResultCode).
inline constexpr std::int32_t kWuInstallation = 1;
inline constexpr std::int32_t kWuUninstallation = 2;
inline constexpr std::int32_t kWuSucceeded = 2;
inline constexpr std::int32_t kWuSucceededWithErrors = 3;

struct WuHistoryEntry {
  std::int32_t operation = 0;
  std::int32_t resultCode = 0;
  DateTime date = 0;  // UTC
  std::string title;
  std::string clientApplicationId;
};

// A DATE in UTC as ticks; 0 for a value before 1601 or beyond what a FILETIME holds.
UtcTicks UtcTicksFromDateTime(DateTime utc);

// One update per KB whose last successful operation (by date; among equal dates, the entry
// nearer the start of the history, which the agent lists newest first) is an installation, with
// that installation's date, title and client application. Failed, aborted, pending operations
// and entries without a KB in their title count for nothing. Ordered by KB.
std::vector<FoundUpdate> InstalledFromHistory(const std::vector<WuHistoryEntry>& history);
