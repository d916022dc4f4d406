#include "inventory/wmi_source_win32.h"

#include <windows.h>
#include <oleauto.h>
// wbemcli.h alone: wbemidl.h brings the scripting declarations, whose names clash with ours.
#include <wbemcli.h>
#include <wrl/client.h>

#include <optional>
#include <string_view>
#include <utility>

#include "Systeme/com_owners_win32.h"
#include "Systeme/errors.h"
#include "Systeme/local_names.h"
#include "Systeme/secret_text_win32.h"
#include "Systeme/system_message_win32.h"
#include "Systeme/text_convert_win32.h"
#include "Systeme/this_computer_win32.h"
#include "Systeme/unique_handle_win32.h"
#include "inventory/com_account_win32.h"
#include "inventory/com_failure_win32.h"
#include "inventory/computer_request.h"
#include "inventory/ole_message.h"

using Microsoft::WRL::ComPtr;

namespace {

// Used when the file gives no namespace, as the scripting layer does.
constexpr wchar_t kScriptingKey[] = L"SOFTWARE\\Microsoft\\WBEM\\Scripting";
constexpr char kFallbackNamespace[] = "root\\cimv2";
const std::string kNoAccount;

// WMI's own text for a status code, in the user's language. The system's message table has no
// text for WMI's codes (0x8004xxxx), so without this a bad namespace would read "Erreur OLE".
std::string WmiStatusText(HRESULT code) {
  ComPtr<IWbemStatusCodeText> texts;
  if (FAILED(CoCreateInstance(CLSID_WbemStatusCodeText, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&texts)))) {
    return {};
  }
  UniqueBstr text;
  // The locale and the flags are reserved and must be 0; the text comes in the user's language.
  if (FAILED(texts->GetErrorCodeText(code, 0, 0, text.put()))) return {};
  return WideToUtf8(text.view());
}

// Called before each WMI call, so that an error object left by an earlier, unrelated call can
// never describe this one's failure.
void ClearErrorInfo() {
  SetErrorInfo(0, nullptr);
}

void ThrowIfFailed(HRESULT code) {
  ThrowIfComFailed(code, WmiStatusText);
}

// Every proxy gets the account's blanket (inventory/com_account_win32.h).
void SetBlanket(IUnknown* proxy, Credentials* credentials) {
  ClearErrorInfo();
  ThrowIfFailed(SetAccountBlanket(proxy, credentials));
}

class WmiObject : public HotfixObject {
 public:
  explicit WmiObject(ComPtr<IWbemClassObject> object) : object_(std::move(object)) {}

  HotfixProperty Property(const std::string& name) override {
    const std::wstring wideName = Utf8ToWide(name);
    UniqueVariant value;
    CIMTYPE type = 0;
    ClearErrorInfo();
    ThrowIfFailed(object_->Get(wideName.c_str(), 0, value.put(), &type, nullptr));
    HotfixProperty property;
    property.CIMType = static_cast<std::int32_t>(type);
    property.Value = WmiValueText(*value.get());
    property.Name = name;
    return property;
  }

 private:
  ComPtr<IWbemClassObject> object_;
};

class WmiEnumeration : public HotfixEnumeration {
 public:
  WmiEnumeration(ComPtr<IEnumWbemClassObject> enumerator, std::shared_ptr<Credentials> account,
                 std::uint32_t waitPerObjectMs)
      : enumerator_(std::move(enumerator)),
        account_(std::move(account)),
        waitPerObjectMs_(waitPerObjectMs) {}

  std::unique_ptr<HotfixObject> Next() override {
    ComPtr<IWbemClassObject> object;
    ULONG returned = 0;
    ClearErrorInfo();
    const HRESULT code =
        enumerator_->Next(static_cast<LONG>(waitPerObjectMs_), 1, &object, &returned);
    // A success code, yet not the end of the list: what was not read may hold any KB.
    if (code == WBEM_S_TIMEDOUT) throw EOleException(NoAnswerText(waitPerObjectMs_), kTimeoutCode);
    // A failure is not the end of the list: it is reported, and the rows read so far stay.
    ThrowIfFailed(code);
    if (code != S_OK || returned == 0 || !object) return nullptr;
    return std::make_unique<WmiObject>(std::move(object));
  }

 private:
  ComPtr<IEnumWbemClassObject> enumerator_;
  std::shared_ptr<Credentials> account_;  // the enumerator's proxy points into it
  std::uint32_t waitPerObjectMs_;
};

class WmiService : public HotfixService {
 public:
  WmiService(ComPtr<IUnknown> locator, ComPtr<IWbemServices> services,
             std::shared_ptr<Credentials> account, std::uint32_t waitPerObjectMs)
      : locator_(std::move(locator)),
        services_(std::move(services)),
        account_(std::move(account)),
        waitPerObjectMs_(waitPerObjectMs) {}

  std::unique_ptr<HotfixEnumeration> InstancesOf(const std::string& className) override {
    const UniqueBstr wideClass(Utf8ToWide(className));
    ComPtr<IEnumWbemClassObject> enumerator;
    ClearErrorInfo();
    ThrowIfFailed(services_->CreateInstanceEnum(
        wideClass.get(), WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY, nullptr,
        &enumerator));
    SetBlanket(enumerator.Get(), account_.get());
    return std::make_unique<WmiEnumeration>(std::move(enumerator), account_, waitPerObjectMs_);
  }

 private:
  ComPtr<IUnknown> locator_;  // lives for the scan, as the connection does
  ComPtr<IWbemServices> services_;
  std::shared_ptr<Credentials> account_;  // null for the current account
  std::uint32_t waitPerObjectMs_;
};

}  // namespace

std::optional<std::string> WmiValueText(const VARIANT& value) {
  if (value.vt == VT_NULL) return std::nullopt;
  if (value.vt == VT_BSTR) {
    return WideToAnsi(value.bstrVal ? std::wstring_view(value.bstrVal, SysStringLen(value.bstrVal))
                                    : std::wstring_view());
  }
  UniqueVariant converted;
  if (FAILED(VariantChangeType(converted.get(), const_cast<VARIANT*>(&value), 0, VT_BSTR)))
    return std::nullopt;
  const BSTR text = converted.get()->bstrVal;
  return WideToAnsi(text ? std::wstring_view(text, SysStringLen(text)) : std::wstring_view());
}

std::string OleErrorMessage(std::int32_t code) {
  return FirstOleMessage(code, {SystemMessage(static_cast<HRESULT>(code))});
}

std::string DefaultWmiNamespace() {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kScriptingKey, 0, KEY_QUERY_VALUE, &opened) !=
      ERROR_SUCCESS)
    return kFallbackNamespace;
  const UniqueHkey key(opened);
  std::wstring value(256, L'\0');
  DWORD type = 0;
  DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  const LONG read = RegQueryValueExW(key.get(), L"Default Namespace", nullptr, &type,
                                     reinterpret_cast<BYTE*>(value.data()), &bytes);
  if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return kFallbackNamespace;
  // The value need not end with its zero.
  value.resize(bytes / sizeof(wchar_t));
  while (!value.empty() && value.back() == L'\0') value.pop_back();
  return value.empty() ? kFallbackNamespace : WideToUtf8(value);
}

std::unique_ptr<HotfixService> WmiHotfixSource::ConnectServer(const std::string& server,
                                                              const std::string& nameSpace,
                                                              const std::string& user,
                                                              const std::string& password) {
  ComPtr<IWbemLocator> locator;
  const HRESULT created =
      CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&locator));
  if (FAILED(created)) {
    throw EOleSysError(OleErrorMessage(created), static_cast<std::int32_t>(created));
  }

  // WMI refuses an account on a connection to this computer (WBEM_E_LOCAL_CREDENTIALS), by any
  // of its names: it is read with the current account, as its other sources are.
  const bool here = IsThisComputer(server);
  const std::string& account = here ? kNoAccount : user;
  const std::string& secretText = here ? kNoAccount : password;
  // The loopback names are this computer's local connection, as "." is: WMI would take
  // "127.0.0.1" for another computer reached through the network (Wine's refuses it).
  const std::string target = WmiConnectionPath(IsLoopbackName(server) ? "." : server, nameSpace,
                                               nameSpace.empty() ? DefaultWmiNamespace() : "");
  const UniqueBstr path(Utf8ToWide(target));
  const UniqueBstr wideUser(Utf8ToWide(account));
  const SecretWide secret(secretText);
  const SecretBstr widePassword(secret);
  ComPtr<IWbemServices> services;
  ClearErrorInfo();
  ThrowIfFailed(locator->ConnectServer(path.get(), wideUser.get(), widePassword.get(), nullptr,
                                       WBEM_FLAG_CONNECT_USE_MAX_WAIT, nullptr, nullptr,
                                       &services));

  return MakeWmiService(std::move(services), account, secretText, std::move(locator),
                        waitPerObjectMs_);
}

void WmiHotfixSource::LimitWaitPerObject(std::uint32_t milliseconds) {
  waitPerObjectMs_ = milliseconds;
}

std::unique_ptr<HotfixService> MakeWmiService(ComPtr<IWbemServices> services,
                                              const std::string& user, const std::string& password,
                                              ComPtr<IUnknown> keepAlive,
                                              std::uint32_t waitPerObjectMs) {
  std::shared_ptr<Credentials> account;
  if (!user.empty()) account = std::make_shared<Credentials>(user, password);
  SetBlanket(services.Get(), account.get());
  return std::make_unique<WmiService>(std::move(keepAlive), std::move(services), std::move(account),
                                      waitPerObjectMs);
}
