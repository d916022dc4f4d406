#pragma once
// The rows that Windows Update's history and the servicing packages add to WMI's.
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "Systeme/locale_text.h"
#include "inventory/hotfix_record.h"
#include "inventory/time_zone.h"
#include "inventory/update_sources.h"

// Writes a UTC instant as the date column shows it; the caller picks the time zone and format.
using UtcDateWriter = std::function<std::string(FileTime utc)>;

// The fixed texts of these rows, in the system code page (the caller converts them once).
struct UpdateRowTexts {
  std::string maintenance;       // the description of a servicing package
  std::string supersededSuffix;  // appended to it for a superseded one
};
UpdateRowTexts UpdateRowTextsUtf8();  // "Mise à jour (maintenance)", " – remplacée"

// The user's short date of the local day of `utc`, the way WMI's dates show: no time of day.
std::string ShortDateOfUtc(FileTime utc, TimeZone& zone, const TFormatSettings& display);

// One row for each KB found by Windows Update or the servicing packages that no WMI record
// names (by KbNumber of its HotFixID), ordered by KB; WMI's own rows come first and are not
// touched. A KB both sources know gives one row: Windows Update's title and client application,
// the earlier of the two dates. A servicing package's row describes itself as maintenance and
// shows the installing account. An unknown date gives an empty date text.
std::vector<TTreeDataClass> MergeBeyondQfe(std::span<const TTreeDataClass* const> qfe,
                                           const std::vector<FoundUpdate>& windowsUpdate,
                                           const std::vector<FoundUpdate>& packages,
                                           const UtcDateWriter& writeDate,
                                           const UpdateRowTexts& texts);
