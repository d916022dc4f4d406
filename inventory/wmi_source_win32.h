#pragma once
// HotfixSource on the native COM interfaces of WMI (IWbemLocator, IWbemServices,
// IEnumWbemClassObject, IWbemClassObject). The calling thread must have initialised COM; every
// object it hands out may be used on that thread only.
#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "inventory/hotfix_source.h"

class WmiHotfixSource : public HotfixSource {
 public:
  // The server, namespace and account are texts of the system code page; an empty user or
  // password means the current account. Server "." is the local computer.
  std::unique_ptr<HotfixService> ConnectServer(const std::string& server,
                                               const std::string& nameSpace,
                                               const std::string& user,
                                               const std::string& password) override;
};

// The message an OLE failure code carries when no description came with it: the system's text
// for the code, or else "Erreur OLE %.8x". Trailing blanks, control characters and full stops
// are removed. UTF-8.
std::string OleErrorMessage(std::int32_t code);

// A property value as a record text in the system code page: a string as it is, null as
// nullopt, anything else through its text form when it has one (nullopt otherwise).
std::optional<std::string> WmiValueText(const VARIANT& value);
