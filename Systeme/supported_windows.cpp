#include "Systeme/supported_windows.h"

#include <algorithm>
#include <string>

bool IsSupportedWindows(std::string_view firstArgument,
                        const std::function<OsVersion()>& readVersion) {
  std::string lowered(firstArgument);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  });
  if (lowered == "/noversion") return true;
  const OsVersion version = readVersion();
  return version.platformId == 2 && version.majorVersion > 4;
}
