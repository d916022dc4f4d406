#pragma once
// Whether the program may run on this system: NT family, major version 5 or more, unless the
// first argument is "/noversion" in any letter case.
#include <functional>
#include <string_view>

struct OsVersion {
  unsigned long majorVersion = 0;
  unsigned long minorVersion = 0;
  unsigned long platformId = 0;  // 2: the NT family
};

bool IsSupportedWindows(std::string_view firstArgument,
                        const std::function<OsVersion()>& readVersion);
