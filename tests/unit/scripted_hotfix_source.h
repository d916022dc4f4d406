#pragma once
// A WMI stand-in driven by a script: the objects it lists, and one step that fails with a chosen
// code. Every object it hands out counts itself while alive, so a test can see that the scan
// releases all of them on every path; the release of the service and of the enumeration, the
// connection and the class asked for go to the call log, so a test can place them among the
// window's steps.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Systeme/errors.h"
#include "inventory/hotfix_source.h"
#include "main_form_fakes.h"

namespace scripted_wmi {

using Properties = std::map<std::string, HotfixProperty>;

inline HotfixProperty Text(const std::string& name, std::optional<std::string> value) {
  return {wbemCimtypeString, std::move(value), name};
}

inline Properties Hotfix(const std::string& id,
                         std::optional<std::string> installedOn = "3/14/2013",
                         std::optional<std::string> description = "Update",
                         std::optional<std::string> installedBy = "NT AUTHORITY\\SYSTEM") {
  return {{"HotFixID", Text("HotFixID", id)},
          {"Description", Text("Description", std::move(description))},
          {"InstalledBy", Text("InstalledBy", std::move(installedBy))},
          {"InstalledOn", Text("InstalledOn", std::move(installedOn))}};
}

enum class Step { None, Locator, Connect, InstancesOf, Next, Property };

struct Fault {
  Step step = Step::None;
  std::uint32_t code = 0;
  std::string message;
  // Next: the objects handed out before it fails. Property: the object whose property fails,
  // or every object when kEveryObject.
  std::size_t after = 0;
  std::string property;
  bool notWmi = false;  // Next raises an error that is not a WMI one
};
inline constexpr std::size_t kEveryObject = static_cast<std::size_t>(-1);

class ScriptedSource : public HotfixSource {
 public:
  explicit ScriptedSource(CallLog& log) : log_(log) {}

  std::vector<Properties> objects;
  Fault fault;
  std::function<void(std::size_t)> beforeNext;  // input that arrives while enumerating
  int live = 0;                                 // service, enumeration and objects not released
  int connects = 0;
  std::vector<std::string> connectArguments;
  std::string className;

  std::unique_ptr<HotfixService> ConnectServer(const std::string& server,
                                               const std::string& nameSpace,
                                               const std::string& user,
                                               const std::string& password) override {
    ++connects;
    connectArguments = {server, nameSpace, user, password};
    log_.push_back("ConnectServer");
    if (fault.step == Step::Locator) throw EOleSysError(fault.message, Code());
    if (fault.step == Step::Connect) throw EOleException(fault.message, Code());
    return std::make_unique<Service>(*this);
  }

 private:
  std::int32_t Code() const { return static_cast<std::int32_t>(fault.code); }

  struct Counted {
    explicit Counted(ScriptedSource& s) : source(s) { ++source.live; }
    ~Counted() { --source.live; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
    ScriptedSource& source;
  };

  struct Object : HotfixObject, Counted {
    Object(ScriptedSource& s, std::size_t i) : Counted(s), index(i) {}
    HotfixProperty Property(const std::string& name) override {
      const Fault& f = source.fault;
      if (f.step == Step::Property && name == f.property &&
          (f.after == kEveryObject || f.after == index)) {
        throw EOleException(f.message, source.Code());
      }
      const Properties& properties = source.objects[index];
      const auto found = properties.find(name);
      if (found == properties.end()) {
        throw EOleException("Introuvable", static_cast<std::int32_t>(0x80041002));
      }
      return found->second;
    }
    std::size_t index;
  };

  struct Enumeration : HotfixEnumeration, Counted {
    using Counted::Counted;
    ~Enumeration() override { source.log_.push_back("Release enumeration"); }
    std::unique_ptr<HotfixObject> Next() override {
      if (source.beforeNext) source.beforeNext(next);
      if (source.fault.step == Step::Next && next == source.fault.after) {
        if (source.fault.notWmi) throw std::runtime_error(source.fault.message);
        throw EOleException(source.fault.message, source.Code());
      }
      if (next >= source.objects.size()) return nullptr;
      return std::make_unique<Object>(source, next++);
    }
    std::size_t next = 0;
  };

  struct Service : HotfixService, Counted {
    using Counted::Counted;
    ~Service() override { source.log_.push_back("Release service"); }
    std::unique_ptr<HotfixEnumeration> InstancesOf(const std::string& name) override {
      source.className = name;
      source.log_.push_back("InstancesOf " + name);
      if (source.fault.step == Step::InstancesOf) {
        throw EOleException(source.fault.message, source.Code());
      }
      return std::make_unique<Enumeration>(source);
    }
  };

  CallLog& log_;
};

}  // namespace scripted_wmi
