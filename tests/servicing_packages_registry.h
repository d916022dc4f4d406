#pragma once
// Servicing packages written into the registry's 64-bit view as Windows keeps them, for tests
// of the packages source under Wine; removed again when the owner goes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace servicing_registry {

constexpr wchar_t kPackages[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Component Based Servicing\\Packages";

struct Package {
  const wchar_t* name;
  DWORD state;
  FILETIME installed;
  const wchar_t* user;
  const wchar_t* installName;
};

// Writes the packages into the 64-bit view and removes them again at the end of the test.
class ServicingPackagesInRegistry {
 public:
  explicit ServicingPackagesInRegistry(const std::vector<Package>& packages) {
    for (const Package& p : packages) {
      const std::wstring path = std::wstring(kPackages) + L"\\" + p.name;
      HKEY key = nullptr;
      EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr),
                ERROR_SUCCESS);
      const DWORD dwords[] = {p.state, p.installed.dwHighDateTime, p.installed.dwLowDateTime};
      const wchar_t* names[] = {L"CurrentState", L"InstallTimeHigh", L"InstallTimeLow"};
      for (int i = 0; i < 3; ++i) {
        RegSetValueExW(key, names[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwords[i]),
                       sizeof(DWORD));
      }
      const auto text = [&](const wchar_t* name, const wchar_t* value) {
        if (!value) return;
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
      };
      text(L"InstallUser", p.user);
      text(L"InstallName", p.installName);
      RegCloseKey(key);
      created_.push_back(path);
    }
  }
  ~ServicingPackagesInRegistry() {
    for (const std::wstring& path : created_) {
      RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_64KEY, 0);
    }
  }

 private:
  std::vector<std::wstring> created_;
};

}  // namespace servicing_registry
