#pragma once
// A session with another computer's IPC$ share under a given account, for as long as the scope
// lives. RegConnectRegistry takes no account: it reaches the remote registry service through the
// caller's session with that computer, so with this session open the servicing packages are
// read with the account of /user: or [HOST], as WMI and Windows Update are.
#include <windows.h>

#include <string>

#include "Systeme/unique_handle_win32.h"

class RemoteSession {
 public:
  // Opens the session when `user` (UTF-8) is not empty; nothing otherwise. Raises EOleSysError
  // with the system's text when the computer refuses it: the account refused, or another account
  // already connected to that computer from this logon session (ERROR_SESSION_CREDENTIAL_CONFLICT,
  // which Windows allows only one of).
  RemoteSession(const std::string& computer, const std::string& user, const std::string& password);
  ~RemoteSession();  // closes the session it opened, and no other
  RemoteSession(const RemoteSession&) = delete;
  RemoteSession& operator=(const RemoteSession&) = delete;

 private:
  std::wstring share_;     // "\\computer\IPC$" when opened
  UniqueHmodule library_;  // mpr.dll, while the session is open
  DWORD(WINAPI* cancel_)(const wchar_t*, DWORD, BOOL) = nullptr;
};
