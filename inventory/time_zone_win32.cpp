#include "inventory/time_zone_win32.h"

#include <windows.h>

namespace {

// FileTimeToLocalFileTime applies the offset in force now, daylight saving included, not the one
// in force on the converted date: installation dates are shown with today's offset.
class WindowsTimeZone : public TimeZone {
 public:
  bool UtcToLocal(FileTime utc, FileTime& local) override {
    FILETIME in{utc.dwLowDateTime, utc.dwHighDateTime};
    FILETIME out{};
    if (!FileTimeToLocalFileTime(&in, &out)) return false;
    local.dwLowDateTime = out.dwLowDateTime;
    local.dwHighDateTime = out.dwHighDateTime;
    return true;
  }
};

}  // namespace

std::unique_ptr<TimeZone> MakeWindowsTimeZone() {
  return std::make_unique<WindowsTimeZone>();
}
