#include "Systeme/windows_version_win32.h"

#include <windows.h>

OsVersion ReadWindowsVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;  // 148
  static_assert(sizeof(OSVERSIONINFOA) == 148);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return {};
#pragma GCC diagnostic pop
  return {info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId};
}
