#pragma once
// A time zone with one fixed offset from UTC, for tests and for platforms without a zone.
#include <cstdint>

#include "inventory/time_zone.h"

class FixedOffsetTimeZone : public TimeZone {
 public:
  explicit FixedOffsetTimeZone(int minutes) : minutes_(minutes) {}

  // Fails when the local time would fall before 1601 or past the largest file time, rather than
  // wrapping round to a date at the other end of the range.
  bool UtcToLocal(FileTime utc, FileTime& local) override {
    constexpr std::int64_t kTicksPerMinute = 600000000;
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
    if (ticks > static_cast<std::uint64_t>(INT64_MAX)) return false;
    const std::int64_t offset = static_cast<std::int64_t>(minutes_) * kTicksPerMinute;
    const auto signedTicks = static_cast<std::int64_t>(ticks);
    if (offset < 0 ? signedTicks < -offset : signedTicks > INT64_MAX - offset) return false;
    const auto result = static_cast<std::uint64_t>(signedTicks + offset);
    local.dwLowDateTime = static_cast<std::uint32_t>(result);
    local.dwHighDateTime = static_cast<std::uint32_t>(result >> 32);
    return true;
  }

 private:
  int minutes_;
};
