#pragma once
// A hotfix source that hands out any number of objects, made one at a time on demand, for the
// tests and timings that need more or odder objects than a real WMI holds.
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "Systeme/errors.h"
#include "inventory/hotfix_source.h"

class ObjectsSource : public HotfixSource {
 public:
  using MakeObject = std::function<std::unique_ptr<HotfixObject>(std::size_t index)>;
  ObjectsSource(std::size_t count, MakeObject make) : count_(count), make_(std::move(make)) {}

  std::unique_ptr<HotfixService> ConnectServer(const std::string&, const std::string&,
                                               const std::string&, const std::string&) override {
    class Service : public HotfixService {
     public:
      explicit Service(const ObjectsSource& source) : source_(source) {}
      std::unique_ptr<HotfixEnumeration> InstancesOf(const std::string&) override {
        class Objects : public HotfixEnumeration {
         public:
          explicit Objects(const ObjectsSource& source) : source_(source) {}
          std::unique_ptr<HotfixObject> Next() override {
            return next_ < source_.count_ ? source_.make_(next_++) : nullptr;
          }

         private:
          const ObjectsSource& source_;
          std::size_t next_ = 0;
        };
        return std::make_unique<Objects>(source_);
      }

     private:
      const ObjectsSource& source_;
    };
    return std::make_unique<Service>(*this);
  }

 private:
  std::size_t count_;
  MakeObject make_;
};

// An object whose properties are the texts given, by name; asking for any other property
// fails as WMI's look-up does.
class TextObject : public HotfixObject {
 public:
  explicit TextObject(std::map<std::string, std::string> texts) : texts_(std::move(texts)) {}
  HotfixProperty Property(const std::string& name) override {
    const auto text = texts_.find(name);
    if (text == texts_.end()) {
      throw EOleException("Introuvable", static_cast<std::int32_t>(0x80041002));
    }
    return {wbemCimtypeString, text->second, name};
  }

 private:
  std::map<std::string, std::string> texts_;
};
