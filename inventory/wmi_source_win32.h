#pragma once
// HotfixSource on the native COM interfaces of WMI (IWbemLocator, IWbemServices,
// IEnumWbemClassObject, IWbemClassObject). The calling thread must have initialised COM; every
// object it hands out may be used on that thread only.
#include <windows.h>
#include <oaidl.h>
#include <wbemcli.h>
#include <wrl/client.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "inventory/hotfix_source.h"

class WmiHotfixSource : public HotfixSource {
 public:
  // The server, namespace and account are UTF-8; an empty user or password means the current
  // account. Server "." or empty is the local computer; an empty
  // namespace is the default one.
  std::unique_ptr<HotfixService> ConnectServer(const std::string& server,
                                               const std::string& nameSpace,
                                               const std::string& user,
                                               const std::string& password) override;
  void LimitWaitPerObject(std::uint32_t milliseconds) override;

 private:
  std::uint32_t waitPerObjectMs_ = WBEM_INFINITE;
};

// The service over a connection already made. The connection's proxy, and every enumerator it
// gives, get the account's blanket (the current account when user is empty). keepAlive (the
// locator) lives as long as the service. Its enumerations wait waitPerObjectMs for each object
// (see HotfixSource::LimitWaitPerObject).
std::unique_ptr<HotfixService> MakeWmiService(Microsoft::WRL::ComPtr<IWbemServices> services,
                                              const std::string& user, const std::string& password,
                                              Microsoft::WRL::ComPtr<IUnknown> keepAlive = nullptr,
                                              std::uint32_t waitPerObjectMs = WBEM_INFINITE);

// The message an OLE failure code carries when no description came with it: the system's text
// for the code, or else "Erreur OLE %.8x". Trailing blanks, control characters and full stops
// are removed. UTF-8. A failed WMI call's message looks first at WMI's own text for the code.
std::string OleErrorMessage(std::int32_t code);

// The namespace a connection without one goes to: the scripting layer's default namespace as
// this computer sets it, root\cimv2 when it sets none. UTF-8.
std::string DefaultWmiNamespace();

// A property value as a record text in the system code page: a string as it is, null as
// nullopt, anything else through its text form when it has one (nullopt otherwise).
std::optional<std::string> WmiValueText(const VARIANT& value);
