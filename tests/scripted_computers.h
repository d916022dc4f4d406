#pragma once
// Computers that behave as a script says: answer after a delay, hang until released, fail at any
// step, finish only after another one has, stop the run midway. For the concurrent run's tests
// and benchmark. Everything lives in one ScriptedWorld held by std::shared_ptr, so that a thread
// the run gave up can go on using it after the run and the test body are done with it.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

#include "Systeme/errors.h"
#include "inventory/hotfix_source.h"
#include "objects_source.h"

// Opens once; waits give up after a bound, so a fault shows as a failed check, not a hung test.
class Gate {
 public:
  void Open() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      open_ = true;
    }
    opened_.notify_all();
  }
  bool Wait(std::chrono::milliseconds bound = std::chrono::seconds(10)) {
    std::unique_lock<std::mutex> lock(mutex_);
    return opened_.wait_for(lock, bound, [this] { return open_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
};

enum class Fault { None, Locator, Connect, Logon, InstancesOf, Next, Property, Unexpected };

struct ComputerScript {
  int objects = 0;
  int kbBase = 0;                   // the objects' HotFixIDs are KB(kbBase + i)
  std::uint32_t answerAfterMs = 0;  // ConnectServer returns after this delay
  bool hang = false;                // ConnectServer waits for the world's hang gate
  std::string after = {};           // ConnectServer waits until that computer has read its end
  Fault fault = Fault::None;
  int faultAt = 0;  // Next, Property, Unexpected: the object (0-based) where it happens
  int stopAt = -1;  // this object sets the world's stop flag, then waits for `resume`
};

struct ScriptedWorld {
  explicit ScriptedWorld(std::map<std::string, ComputerScript> computerScripts)
      : scripts(std::move(computerScripts)) {
    for (const auto& entry : scripts) {
      ended[entry.first];
      objectsRead[entry.first];
    }
  }
  const std::map<std::string, ComputerScript> scripts;  // never changed once made
  std::map<std::string, Gate> ended;                    // opened when the computer read its end
  std::map<std::string, std::atomic<int>> objectsRead;  // objects handed out, per computer
  Gate hang;
  Gate resume;
  // Computers inside ConnectServer at once, and the most there ever were. With `company` set
  // (before the run), the first ones wait there until that many have come, then 50 ms more: a
  // computer started beyond them would be there too.
  std::atomic<int> connecting{0};
  std::atomic<int> mostAtOnce{0};
  int company = 0;
  Gate together;
  std::atomic<bool> released{false};
  std::atomic<bool> stop{false};                  // the flag a Ctrl+C would set
  std::atomic<std::uint32_t> waitPerObjectMs{0};  // the last bound a source was given
};

class ScriptedSource : public HotfixSource {
 public:
  explicit ScriptedSource(std::shared_ptr<ScriptedWorld> world) : world_(std::move(world)) {}

  std::unique_ptr<HotfixService> ConnectServer(const std::string& server, const std::string&,
                                               const std::string&, const std::string&) override {
    const Connecting connecting(*world_);
    const ComputerScript& script = world_->scripts.at(server);
    if (script.hang) world_->hang.Wait();
    if (!script.after.empty()) world_->ended.at(script.after).Wait();
    if (script.answerAfterMs != 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(script.answerAfterMs));
    }
    if (script.fault == Fault::Locator) {
      throw EOleSysError("Classe non enregistrée", static_cast<std::int32_t>(0x80040154));
    }
    if (script.fault == Fault::Connect) {
      throw EOleException("Le serveur RPC n'est pas disponible",
                          static_cast<std::int32_t>(0x800706BA));
    }
    if (script.fault == Fault::Logon) {
      throw EOleException("Nom d'utilisateur ou mot de passe incorrect",
                          static_cast<std::int32_t>(0x8007052E));
    }
    return std::make_unique<Service>(world_, server, script);
  }
  void LimitWaitPerObject(std::uint32_t milliseconds) override {
    world_->waitPerObjectMs = milliseconds;
  }

 private:
  class Connecting {
   public:
    explicit Connecting(ScriptedWorld& world) : world_(world) {
      const int now = ++world_.connecting;
      int most = world_.mostAtOnce.load();
      while (now > most && !world_.mostAtOnce.compare_exchange_weak(most, now)) {
      }
      if (world_.company > 0 && !world_.released) {
        if (now >= world_.company) world_.together.Open();
        world_.together.Wait();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        world_.released = true;
      }
    }
    ~Connecting() { --world_.connecting; }
    Connecting(const Connecting&) = delete;
    Connecting& operator=(const Connecting&) = delete;

   private:
    ScriptedWorld& world_;
  };

  class Objects : public HotfixEnumeration {
   public:
    Objects(std::shared_ptr<ScriptedWorld> world, std::string name, const ComputerScript& script)
        : world_(std::move(world)), name_(std::move(name)), script_(script) {}
    std::unique_ptr<HotfixObject> Next() override {
      if (next_ == script_.faultAt && script_.fault == Fault::Next) {
        throw EOleException("L'appel de procédure distante a échoué",
                            static_cast<std::int32_t>(0x800706BE));
      }
      if (next_ == script_.faultAt && script_.fault == Fault::Unexpected) {
        throw std::runtime_error("panne inattendue");
      }
      if (next_ == script_.stopAt) {
        world_->stop = true;
        world_->resume.Wait();
      }
      if (next_ >= script_.objects) {
        world_->ended.at(name_).Open();
        return nullptr;
      }
      ++world_->objectsRead.at(name_);
      std::map<std::string, std::string> texts{
          {"HotFixID", "KB" + std::to_string(script_.kbBase + next_)},
          {"Description", "Security Update"},
          {"InstalledOn", "2/22/2022"}};
      if (!(next_ == script_.faultAt && script_.fault == Fault::Property)) {
        texts["InstalledBy"] = "NT AUTHORITY\\SYSTEM";
      }
      ++next_;
      return std::make_unique<TextObject>(std::move(texts));
    }

   private:
    std::shared_ptr<ScriptedWorld> world_;
    std::string name_;
    const ComputerScript& script_;  // in the world, which this holds
    int next_ = 0;
  };

  class Service : public HotfixService {
   public:
    Service(std::shared_ptr<ScriptedWorld> world, std::string name, const ComputerScript& script)
        : world_(std::move(world)), name_(std::move(name)), script_(script) {}
    std::unique_ptr<HotfixEnumeration> InstancesOf(const std::string&) override {
      if (script_.fault == Fault::InstancesOf) {
        throw EOleException("Classe non valide", static_cast<std::int32_t>(0x80041010));
      }
      return std::make_unique<Objects>(world_, name_, script_);
    }

   private:
    std::shared_ptr<ScriptedWorld> world_;
    std::string name_;
    const ComputerScript& script_;
  };

  std::shared_ptr<ScriptedWorld> world_;
};
