#include "inventory/wu_history.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "inventory/update_title_kb.h"

namespace {

constexpr double kDaysFrom1601To1899 = 109205.0;
constexpr double kTicksPerDay = 864000000000.0;

bool Succeeded(const WuHistoryEntry& entry) {
  return entry.resultCode == kWuSucceeded || entry.resultCode == kWuSucceededWithErrors;
}

}  // namespace

UtcTicks UtcTicksFromDateTime(DateTime utc) {
  // A DATE before 30 December 1899 counts its fraction forward from the negative whole day.
  const double whole = std::trunc(utc);
  const double days = whole + kDaysFrom1601To1899 + std::fabs(utc - whole);
  if (!(days > 0) || days * kTicksPerDay >= 1.8e19) return 0;
  return static_cast<UtcTicks>(std::llround(days * kTicksPerDay / 10000.0)) * 10000;
}

std::vector<FoundUpdate> InstalledFromHistory(const std::vector<WuHistoryEntry>& history) {
  // Only the last successful operation of each KB matters, so one pass keeps the latest one
  // seen; no sort of the whole history is needed, and its order cannot mislead.
  struct Latest {
    std::size_t index;
    UtcTicks at;
  };
  std::unordered_map<std::int32_t, Latest> latest;
  latest.reserve(history.size() / 4 + 1);
  for (std::size_t i = 0; i < history.size(); ++i) {
    const WuHistoryEntry& entry = history[i];
    if (!Succeeded(entry)) continue;
    if (entry.operation != kWuInstallation && entry.operation != kWuUninstallation) continue;
    const std::int32_t kb = KbInText(entry.title);
    if (kb == 0) continue;
    const UtcTicks at = UtcTicksFromDateTime(entry.date);
    const auto [slot, added] = latest.try_emplace(kb, Latest{i, at});
    // Equal dates: the agent lists newest first, so the earlier index is the later operation.
    if (!added && at > slot->second.at) slot->second = Latest{i, at};
  }
  std::vector<FoundUpdate> installed;
  for (const auto& [kb, last] : latest) {
    const WuHistoryEntry& entry = history[last.index];
    if (entry.operation != kWuInstallation) continue;
    installed.push_back({kb, last.at, entry.title, entry.clientApplicationId, false});
  }
  std::sort(installed.begin(), installed.end(),
            [](const FoundUpdate& a, const FoundUpdate& b) { return a.kb < b.kb; });
  return installed;
}
