#pragma once
// The local time zone of Windows, through FileTimeToLocalFileTime.
#include <memory>

#include "inventory/time_zone.h"

std::unique_ptr<TimeZone> MakeWindowsTimeZone();
