#include "inventory/com_account_win32.h"

#include <wrl/client.h>

#include "Systeme/text_convert_win32.h"

Credentials::Credentials(const std::string& user, const std::string& password)
    : password_(password) {
  const std::wstring account = Utf8ToWide(user);
  const std::size_t backslash = account.find(L'\\');
  if (backslash == std::wstring::npos) {
    user_ = account;
  } else {
    domain_ = account.substr(0, backslash);
    user_ = account.substr(backslash + 1);
  }
  identity_.User = reinterpret_cast<unsigned short*>(user_.data());
  identity_.UserLength = static_cast<unsigned long>(user_.size());
  identity_.Domain = reinterpret_cast<unsigned short*>(domain_.data());
  identity_.DomainLength = static_cast<unsigned long>(domain_.size());
  identity_.Password = reinterpret_cast<unsigned short*>(password_.data());
  identity_.PasswordLength = static_cast<unsigned long>(password_.size());
  identity_.Flags = SEC_WINNT_AUTH_IDENTITY_UNICODE;
}

namespace {

HRESULT SetOneBlanket(IUnknown* proxy, Credentials* credentials) {
  const HRESULT code =
      CoSetProxyBlanket(proxy, RPC_C_AUTHN_DEFAULT, RPC_C_AUTHZ_DEFAULT, COLE_DEFAULT_PRINCIPAL,
                        RPC_C_AUTHN_LEVEL_PKT_PRIVACY, RPC_C_IMP_LEVEL_IMPERSONATE,
                        credentials ? credentials->Identity() : nullptr, EOAC_NONE);
  return code == E_NOINTERFACE ? S_OK : code;
}

}  // namespace

HRESULT SetAccountBlanket(IUnknown* proxy, Credentials* credentials) {
  const HRESULT code = SetOneBlanket(proxy, credentials);
  if (FAILED(code) || !credentials) return code;
  Microsoft::WRL::ComPtr<IUnknown> identity;
  if (FAILED(proxy->QueryInterface(IID_PPV_ARGS(identity.GetAddressOf())))) return S_OK;
  return SetOneBlanket(identity.Get(), credentials);
}
