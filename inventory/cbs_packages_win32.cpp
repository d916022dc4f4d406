#include "inventory/cbs_packages_win32.h"

#include <windows.h>
#include <sddl.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "Systeme/errors.h"
#include "Systeme/system_message_win32.h"
#include "Systeme/text_convert_win32.h"
#include "Systeme/this_computer_win32.h"
#include "Systeme/unique_handle_win32.h"
#include "inventory/ole_message.h"
#include "inventory/remote_session_win32.h"

namespace {

constexpr wchar_t kPackagesKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Component Based Servicing\\Packages";
constexpr wchar_t kListedPrefix[] = L"package_for_";
// A 32-bit program on 64-bit Windows would otherwise read the (empty) 32-bit view; 32-bit
// Windows ignores the flag.
constexpr REGSAM kView = KEY_WOW64_64KEY;

[[noreturn]] void ThrowRegistryFailure(LONG error) {
  const auto code = static_cast<std::int32_t>(HRESULT_FROM_WIN32(static_cast<DWORD>(error)));
  throw EOleSysError(FirstOleMessage(code, {SystemMessage(static_cast<DWORD>(error))}), code);
}

bool IsListed(std::wstring_view name) {
  const std::wstring_view prefix = kListedPrefix;
  if (name.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (towlower(name[i]) != prefix[i]) return false;
  }
  return true;
}

std::optional<std::uint32_t> ReadDword(HKEY key, const wchar_t* name) {
  DWORD type = 0;
  DWORD value = 0;
  DWORD bytes = sizeof value;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || bytes != sizeof value) {
    return std::nullopt;
  }
  return value;
}

// A REG_SZ or REG_EXPAND_SZ as it is stored (not expanded), without the zero it may end with.
std::wstring ReadText(HKEY key, const wchar_t* name) {
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return {};
  }
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) !=
      ERROR_SUCCESS) {
    return {};
  }
  text.resize(bytes / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

// "DOMAIN\name" of the SID a package records as its installer, looked up on the computer the
// package is on; the SID itself when it does not resolve. Each SID is looked up once.
class AccountNames {
 public:
  explicit AccountNames(std::wstring computer) : computer_(std::move(computer)) {}

  std::string NameOf(const std::wstring& sidText) {
    if (sidText.empty()) return {};
    const auto known = names_.find(sidText);
    if (known != names_.end()) return known->second;
    return names_[sidText] = WideToAnsi(Resolve(sidText));
  }

 private:
  std::wstring Resolve(const std::wstring& sidText) const {
    PSID rawSid = nullptr;
    if (!ConvertStringSidToSidW(sidText.c_str(), &rawSid)) return sidText;
    const UniqueLocalSid sid(rawSid);
    wchar_t name[256];
    wchar_t domain[256];
    DWORD nameLength = 256;
    DWORD domainLength = 256;
    SID_NAME_USE use{};
    if (!LookupAccountSidW(computer_.empty() ? nullptr : computer_.c_str(), sid.get(), name,
                           &nameLength, domain, &domainLength, &use)) {
      return sidText;
    }
    const std::wstring account(name, nameLength);
    return domainLength == 0 ? account : std::wstring(domain, domainLength) + L"\\" + account;
  }

  std::wstring computer_;
  std::map<std::wstring, std::string> names_;
};

CbsPackageValues ReadPackage(HKEY packages, const std::wstring& name, AccountNames& accounts) {
  CbsPackageValues values;
  values.keyName = WideToAnsi(name);
  HKEY raw = nullptr;
  if (RegOpenKeyExW(packages, name.c_str(), 0, KEY_QUERY_VALUE | kView, &raw) != ERROR_SUCCESS) {
    return values;  // gone since it was listed, or closed to us: no state, not listed
  }
  const UniqueHkey key(raw);
  values.currentState = ReadDword(key.get(), L"CurrentState");
  values.installTimeHigh = ReadDword(key.get(), L"InstallTimeHigh");
  values.installTimeLow = ReadDword(key.get(), L"InstallTimeLow");
  values.installUser = accounts.NameOf(ReadText(key.get(), L"InstallUser"));
  values.installName = WideToAnsi(ReadText(key.get(), L"InstallName"));
  values.installLocation = WideToAnsi(ReadText(key.get(), L"InstallLocation"));
  return values;
}

}  // namespace

std::vector<CbsPackageValues> CbsPackageSourceWin32::ReadPackages(const ComputerRequest& computer,
                                                                  const std::atomic<bool>& stop) {
  const bool here = IsThisComputer(computer.computer);
  const std::wstring remoteName = here ? std::wstring() : L"\\\\" + Utf8ToWide(computer.computer);
  // Declared before the keys, so that they are closed before the session they went through.
  std::optional<RemoteSession> session;
  UniqueHkey remoteRoot;
  HKEY root = HKEY_LOCAL_MACHINE;
  if (!here) {
    // With an account, through a session opened with it; otherwise the remote registry service
    // answers with the current account's rights. A stopped service or a closed firewall is this
    // source's failure.
    session.emplace(computer.computer, computer.user, computer.password.text());
    HKEY raw = nullptr;
    const LONG connected = RegConnectRegistryW(remoteName.c_str(), HKEY_LOCAL_MACHINE, &raw);
    if (connected != ERROR_SUCCESS) ThrowRegistryFailure(connected);
    remoteRoot.reset(raw);
    root = raw;
  }

  std::vector<CbsPackageValues> found;
  HKEY raw = nullptr;
  const LONG opened = RegOpenKeyExW(root, kPackagesKey, 0, KEY_READ | kView, &raw);
  // Before Vista there is no servicing stack, hence no key: nothing to list, nothing failed.
  if (opened == ERROR_FILE_NOT_FOUND) return found;
  if (opened != ERROR_SUCCESS) ThrowRegistryFailure(opened);
  const UniqueHkey packages(raw);

  AccountNames accounts(remoteName);
  for (DWORD index = 0;; ++index) {
    if (stop.load()) break;
    wchar_t name[256];  // a key name holds at most 255 characters
    DWORD length = 256;
    const LONG listed =
        RegEnumKeyExW(packages.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (listed == ERROR_NO_MORE_ITEMS) break;
    if (listed != ERROR_SUCCESS) ThrowRegistryFailure(listed);
    const std::wstring keyName(name, length);
    if (IsListed(keyName)) found.push_back(ReadPackage(packages.get(), keyName, accounts));
  }
  return found;
}
