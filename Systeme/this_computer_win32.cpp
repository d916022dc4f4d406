#include "Systeme/this_computer_win32.h"

#include <windows.h>

#include <string>

#include "Systeme/local_names.h"
#include "Systeme/text_convert_win32.h"

namespace {

bool SameName(const std::wstring& a, const std::wstring& b) {
  return !a.empty() &&
         CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()),
                        b.c_str(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

std::wstring ComputerName(COMPUTER_NAME_FORMAT format) {
  wchar_t name[256] = {};
  DWORD length = 256;
  if (!GetComputerNameExW(format, name, &length)) return {};
  return std::wstring(name, length);
}

}  // namespace

bool IsThisComputer(std::string_view name) {
  if (IsLoopbackName(name)) return true;
  const std::wstring wide = Utf8ToWide(name);
  for (const COMPUTER_NAME_FORMAT format :
       {ComputerNameNetBIOS, ComputerNameDnsHostname, ComputerNameDnsFullyQualified}) {
    if (SameName(wide, ComputerName(format))) return true;
  }
  return false;
}

std::string ThisComputerName() {
  std::wstring name = ComputerName(ComputerNameDnsHostname);
  if (name.empty()) name = ComputerName(ComputerNameNetBIOS);
  return WideToUtf8(name);
}
