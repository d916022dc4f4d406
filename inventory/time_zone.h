#pragma once
// UTC to local time, with the offset in force at the moment of the conversion (daylight saving
// included), as FileTimeToLocalFileTime does.
#include <cstdint>

struct FileTime {
  std::uint32_t dwLowDateTime = 0;
  std::uint32_t dwHighDateTime = 0;
};

class TimeZone {
 public:
  virtual ~TimeZone() = default;
  virtual bool UtcToLocal(FileTime utc, FileTime& local) = 0;
};
