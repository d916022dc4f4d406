#include "inventory/merge_update_sources.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "inventory/date_text.h"
#include "inventory/date_time.h"
#include "inventory/kb_rules.h"

namespace {

bool ByKb(const FoundUpdate& a, const FoundUpdate& b) {
  return a.kb < b.kb;
}

// The lists come ordered from InstalledFromHistory and InstalledFromPackages; anything else is
// put in order here, so the merge below can walk both side by side.
const std::vector<FoundUpdate>& Ordered(const std::vector<FoundUpdate>& list,
                                        std::vector<FoundUpdate>& copy) {
  if (std::is_sorted(list.begin(), list.end(), ByKb)) return list;
  copy = list;
  std::stable_sort(copy.begin(), copy.end(), ByKb);
  return copy;
}

UtcTicks Earlier(UtcTicks a, UtcTicks b) {
  if (a == 0) return b;
  if (b == 0) return a;
  return std::min(a, b);
}

}  // namespace

UpdateRowTexts UpdateRowTextsUtf8() {
  return {"Mise \xC3\xA0 jour (maintenance)",
          " \xE2\x80\x93 remplac\xC3\xA9"
          "e"};
}

std::string ShortDateOfUtc(FileTime utc, TimeZone& zone, const TFormatSettings& display) {
  const DateTime local = FileTimeToLocalDateTime(utc, zone);
  if (local == NullDate()) return {};
  return FormatDateTime(display.ShortDateFormat, std::floor(local), display);
}

std::vector<TTreeDataClass> MergeBeyondQfe(std::span<const TTreeDataClass* const> qfe,
                                           const std::vector<FoundUpdate>& windowsUpdate,
                                           const std::vector<FoundUpdate>& packages,
                                           const UtcDateWriter& writeDate,
                                           const UpdateRowTexts& texts) {
  std::unordered_set<std::int32_t> known;
  known.reserve(qfe.size());
  for (const TTreeDataClass* record : qfe) {
    const std::int32_t kb = KbNumber(record->HotFixID);
    if (kb != 0) known.insert(kb);
  }
  std::vector<FoundUpdate> wuCopy;
  std::vector<FoundUpdate> cbsCopy;
  const std::vector<FoundUpdate>& wu = Ordered(windowsUpdate, wuCopy);
  const std::vector<FoundUpdate>& cbs = Ordered(packages, cbsCopy);

  std::vector<TTreeDataClass> rows;
  std::size_t w = 0;
  std::size_t c = 0;
  while (w < wu.size() || c < cbs.size()) {
    const std::int32_t kb = w == wu.size()    ? cbs[c].kb
                            : c == cbs.size() ? wu[w].kb
                                              : std::min(wu[w].kb, cbs[c].kb);
    const FoundUpdate* fromWu = w < wu.size() && wu[w].kb == kb ? &wu[w] : nullptr;
    const FoundUpdate* fromCbs = c < cbs.size() && cbs[c].kb == kb ? &cbs[c] : nullptr;
    // A KB listed twice by one source still gives one row: its first entry.
    while (w < wu.size() && wu[w].kb == kb) ++w;
    while (c < cbs.size() && cbs[c].kb == kb) ++c;
    if (kb <= 0 || known.contains(kb)) continue;

    TTreeDataClass& row = rows.emplace_back();
    row.HotFixID = "KB" + std::to_string(kb);
    UtcTicks installed = 0;
    if (fromWu != nullptr) {
      row.Description = fromWu->title;
      row.InstalledBy = fromWu->installedBy;
      installed = fromWu->installed;
    } else {
      row.Description =
          fromCbs->superseded ? texts.maintenance + texts.supersededSuffix : texts.maintenance;
      row.InstalledBy = fromCbs->installedBy;
    }
    if (fromCbs != nullptr) installed = Earlier(installed, fromCbs->installed);
    if (installed != 0) {
      row.InstalledOn = writeDate(FileTime{static_cast<std::uint32_t>(installed),
                                           static_cast<std::uint32_t>(installed >> 32)});
    }
  }
  return rows;
}
