#pragma once
// Where installed hotfixes come from: a WMI-like service. The Windows adapter
// (inventory/wmi_source_win32.cpp) speaks COM WMI; tests use fakes that fail at any step.
// Failures are raised as EOleSysError (the service cannot be reached at all) or EOleException.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// CIM type code of a string property.
constexpr std::int32_t wbemCimtypeString = 8;

// One property as read: its CIM type, its value (nullopt when null or not readable as text;
// text in the system code page) and its name.
struct HotfixProperty {
  std::int32_t CIMType = 0;
  std::optional<std::string> Value;
  std::string Name;
};

// One object of the enumeration.
class HotfixObject {
 public:
  virtual ~HotfixObject() = default;
  // Looks the property up and reads it; raises EOleException when the look-up fails (as when
  // the object lacks the property).
  virtual HotfixProperty Property(const std::string& name) = 0;
};

// The enumeration of one class's instances.
class HotfixEnumeration {
 public:
  virtual ~HotfixEnumeration() = default;
  // Next object; null at the end. A failure code other than "no more" raises EOleException.
  virtual std::unique_ptr<HotfixObject> Next() = 0;
};

class HotfixService {
 public:
  virtual ~HotfixService() = default;
  virtual std::unique_ptr<HotfixEnumeration> InstancesOf(const std::string& className) = 0;
};

class HotfixSource {
 public:
  virtual ~HotfixSource() = default;
  // Creates the locator (EOleSysError on failure) and connects (EOleException on failure).
  virtual std::unique_ptr<HotfixService> ConnectServer(const std::string& server,
                                                       const std::string& nameSpace,
                                                       const std::string& user,
                                                       const std::string& password) = 0;
  // Bounds the wait for each next object of the enumerations it gives: one that does not come
  // within `milliseconds` fails the enumeration with kTimeoutCode (inventory/computer_request.h),
  // so that a computer that stops answering midway cannot hold its reader for ever. Without it
  // the wait is as long as the computer takes (the window's scan, which the user can stop).
  virtual void LimitWaitPerObject(std::uint32_t milliseconds) { static_cast<void>(milliseconds); }
};
