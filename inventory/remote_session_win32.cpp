#include "inventory/remote_session_win32.h"

#include <windows.h>
#include <winnetwk.h>

#include <cstdint>

#include "Systeme/errors.h"
#include "Systeme/secret_text_win32.h"
#include "Systeme/system_message_win32.h"
#include "Systeme/text_convert_win32.h"
#include "inventory/ole_message.h"

namespace {

using AddConnection = DWORD(WINAPI*)(NETRESOURCEW*, const wchar_t*, const wchar_t*, DWORD);
using CancelConnection = DWORD(WINAPI*)(const wchar_t*, DWORD, BOOL);

template <typename Function>
Function Lookup(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

[[noreturn]] void ThrowSessionFailure(const std::wstring& share, DWORD error) {
  const auto code = static_cast<std::int32_t>(HRESULT_FROM_WIN32(error));
  throw EOleSysError(WideToUtf8(share) + " : " + FirstOleMessage(code, {SystemMessage(error)}),
                     code);
}

}  // namespace

RemoteSession::RemoteSession(const std::string& computer, const std::string& user,
                             const std::string& password) {
  if (user.empty()) return;
  std::wstring share = L"\\\\" + Utf8ToWide(computer) + L"\\IPC$";
  // Loaded only here: most runs never open a session, and every library a process loads at its
  // start costs it time and memory.
  UniqueHmodule library(LoadLibraryW(L"mpr.dll"));
  const auto add = Lookup<AddConnection>(library.get(), "WNetAddConnection2W");
  cancel_ = Lookup<CancelConnection>(library.get(), "WNetCancelConnection2W");
  if (!add || !cancel_) ThrowSessionFailure(share, GetLastError());
  NETRESOURCEW resource{};
  resource.dwType = RESOURCETYPE_ANY;
  resource.lpRemoteName = share.data();
  const SecretWide secret(password);
  const std::wstring account = Utf8ToWide(user);
  // No local name and no flag: a session of this process's logon, not remembered in the profile.
  const DWORD error = add(&resource, secret.c_str(), account.c_str(), 0);
  if (error != NO_ERROR) ThrowSessionFailure(share, error);
  share_ = std::move(share);
  library_ = std::move(library);
}

RemoteSession::~RemoteSession() {
  // Not forced: the registry handles are closed by now, and a session still in use by someone
  // else is left as it is.
  if (!share_.empty()) cancel_(share_.c_str(), 0, FALSE);
}
