#pragma once
// The account a connection to another computer's COM servers runs under (WMI, the Windows
// Update Agent), and the security blanket every proxy of such a connection gets.
#include <windows.h>
#include <objbase.h>
#include <rpcdce.h>

#include <string>

#include "Systeme/secret_text_win32.h"

// The proxies keep pointers into it, so it lives as long as the last object that talks through
// them; the password is wiped when it goes. "DOMAIN\name" or a bare name, UTF-8.
class Credentials {
 public:
  Credentials(const std::string& user, const std::string& password);
  Credentials(const Credentials&) = delete;
  Credentials& operator=(const Credentials&) = delete;

  SEC_WINNT_AUTH_IDENTITY_W* Identity() { return &identity_; }

 private:
  std::wstring user_;
  std::wstring domain_;
  SecretWide password_;
  SEC_WINNT_AUTH_IDENTITY_W identity_{};
};

// Every proxy gets the blanket of Microsoft's remote WMI sample: each packet authenticated and
// encrypted (namespaces that require encryption refuse anything less; XP has it too), the server
// allowed to impersonate the caller. A proxy keeps the process's default blanket otherwise
// (identify only), and a provider that impersonates, or a remote computer, then answers "access
// denied". Calls use the account given (null: the current one); DCOM picks the authentication
// service (Kerberos in a domain, NTLM otherwise). With an account, the proxy's IUnknown gets the
// same blanket ("Setting Security on a Remote IUnknown Interface"): otherwise its AddRef, Release
// and QueryInterface go out as the current user, and the last Release of a remote proxy stalls a
// second or two. An object that is not a proxy (an in-process server) has no blanket to set and
// needs none: S_OK. Otherwise the first failure.
HRESULT SetAccountBlanket(IUnknown* proxy, Credentials* credentials);
