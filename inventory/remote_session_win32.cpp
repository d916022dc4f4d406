#include "inventory/remote_session_win32.h"

#include <windows.h>
#include <winnetwk.h>

#include <cstdint>

#include "Systeme/errors.h"
#include "Systeme/secret_text_win32.h"
#include "Systeme/system_message_win32.h"
#include "Systeme/text_convert_win32.h"
#include "inventory/ole_message.h"

RemoteSession::RemoteSession(const std::string& computer, const std::string& user,
                             const std::string& password) {
  if (user.empty()) return;
  std::wstring share = L"\\\\" + Utf8ToWide(computer) + L"\\IPC$";
  NETRESOURCEW resource{};
  resource.dwType = RESOURCETYPE_ANY;
  resource.lpRemoteName = share.data();
  const SecretWide secret(password);
  const std::wstring account = Utf8ToWide(user);
  // No local name and no flag: a session of this process's logon, not remembered in the profile.
  const DWORD error = WNetAddConnection2W(&resource, secret.c_str(), account.c_str(), 0);
  if (error != NO_ERROR) {
    const auto code = static_cast<std::int32_t>(HRESULT_FROM_WIN32(error));
    throw EOleSysError(WideToUtf8(share) + " : " + FirstOleMessage(code, {SystemMessage(error)}),
                       code);
  }
  share_ = std::move(share);
}

RemoteSession::~RemoteSession() {
  // Not forced: the registry handles are closed by now, and a session still in use by someone
  // else is left as it is.
  if (!share_.empty()) WNetCancelConnection2W(share_.c_str(), 0, FALSE);
}
