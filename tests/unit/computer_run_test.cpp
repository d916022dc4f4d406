// The concurrent run over computers, on real threads and scripted computers. Every check is on
// outcomes (statuses, codes, rows, order); the order in which computers finish is forced with
// gates, or with delays far longer than the timeouts they are set against. Native only (see
// cmake/windows_build.cmake).
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "console/computer_run.h"
#include "fixed_offset_time_zone.h"
#include "native_run_ports.h"
#include "scripted_computers.h"

namespace {

constexpr std::uint32_t kNoTimeout = 60000;

RunPorts PortsOver(ThreadStarter& threads, const std::shared_ptr<ScriptedWorld>& world,
                   TFormatSettings display = TFormatSettings{}) {
  return RunPorts{threads,
                  [] { return std::make_shared<NativeMailbox>(); },
                  NativeMilliseconds,
                  [world] { return std::make_unique<ScriptedSource>(world); },
                  std::move(display),
                  std::make_shared<FixedOffsetTimeZone>(0),
                  2026};
}

std::vector<ComputerRequest> Requests(const std::vector<std::string>& names) {
  std::vector<ComputerRequest> requests;
  for (const std::string& name : names) requests.push_back({name, "", "", ""});
  return requests;
}

std::vector<std::string> Names(const std::vector<ComputerInventory>& results) {
  std::vector<std::string> names;
  for (const ComputerInventory& result : results) names.push_back(result.computer);
  return names;
}

// True once every thread of the run has let go of the world: none of them still holds a
// source, a job or the run's shared inputs.
bool ThreadsLetGo(const std::shared_ptr<ScriptedWorld>& world) {
  const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (world.use_count() > 1) {
    if (std::chrono::steady_clock::now() > bound) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

struct OutcomeCase {
  std::string computer;
  ComputerScript script;
  InventoryStatus status;
  std::uint32_t code;
  std::string text;
  int objectCount;
  std::size_t rowCount;
};

TEST(ComputerRun, EachComputerKeepsItsOwnOutcome) {
  const std::vector<OutcomeCase> cases = {
      {"complet", {.objects = 3, .kbBase = 500}, InventoryStatus::Complete, 0, "", 3, 3},
      {"vide", {}, InventoryStatus::Complete, 0, "", 0, 0},
      {"sans-locator",
       {.objects = 3, .fault = Fault::Locator},
       InventoryStatus::Failed,
       0x80040154,
       "Classe non enregistrée",
       0,
       0},
      {"injoignable",
       {.objects = 3, .fault = Fault::Connect},
       InventoryStatus::Failed,
       0x800706BA,
       "Le serveur RPC n'est pas disponible",
       0,
       0},
      {"classe-refusee",
       {.objects = 3, .fault = Fault::InstancesOf},
       InventoryStatus::Failed,
       0x80041010,
       "Classe non valide",
       0,
       0},
      {"rompu-d-emblee",
       {.objects = 3, .fault = Fault::Next, .faultAt = 0},
       InventoryStatus::Failed,
       0x800706BE,
       "L'appel de procédure distante a échoué",
       0,
       0},
      {"rompu-en-route",
       {.objects = 5, .fault = Fault::Next, .faultAt = 2},
       InventoryStatus::Incomplete,
       0x800706BE,
       "L'appel de procédure distante a échoué",
       2,
       2},
      {"panne-en-route",
       {.objects = 5, .fault = Fault::Unexpected, .faultAt = 3},
       InventoryStatus::Incomplete,
       0x80004005,
       "panne inattendue",
       3,
       3},
      // An object that cannot be read gives no row but still counts; the computer is complete.
      {"objet-illisible",
       {.objects = 3, .fault = Fault::Property, .faultAt = 1},
       InventoryStatus::Complete,
       0,
       "",
       3,
       2},
  };
  std::map<std::string, ComputerScript> scripts;
  std::vector<std::string> names;
  for (const OutcomeCase& c : cases) {
    scripts[c.computer] = c.script;
    names.push_back(c.computer);
  }
  auto world = std::make_shared<ScriptedWorld>(scripts);
  world->company = 3;  // the limit: reached, and no fourth computer joins them
  NativeThreadStarter threads;
  TFormatSettings french;
  french.ShortDateFormat = "dd/MM/yyyy";
  std::vector<ComputerInventory> results =
      RunComputers(Requests(names), {.parallel = 3, .timeoutMs = kNoTimeout},
                   PortsOver(threads, world, french), world->stop, nullptr);

  ASSERT_EQ(Names(results), names);
  EXPECT_EQ(world->mostAtOnce.load(), 3);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].computer);
    EXPECT_EQ(results[i].status, cases[i].status);
    EXPECT_EQ(static_cast<std::uint32_t>(results[i].errorCode), cases[i].code);
    EXPECT_EQ(results[i].errorText, cases[i].text);
    EXPECT_EQ(results[i].objectCount, cases[i].objectCount);
    EXPECT_EQ(results[i].rows.size(), cases[i].rowCount);
  }
  // The rows are read as the window reads them, with the user's date format.
  ASSERT_EQ(results[0].rows.size(), 3u);
  EXPECT_EQ(results[0].rows[2].HotFixID, "KB502");
  EXPECT_EQ(results[0].rows[2].InstalledOn, "22/02/2022");
  EXPECT_EQ(results[0].rows[2].InstalledBy, "NT AUTHORITY\\SYSTEM");
}

TEST(ComputerRun, ResultsFollowTheGivenOrderWhenComputersFinishBackwards) {
  // Each computer answers only once the next one has read its end: they finish last to first.
  const std::vector<std::string> names = {"A", "B", "C", "D", "E", "F"};
  std::map<std::string, ComputerScript> scripts;
  for (std::size_t i = 0; i < names.size(); ++i) {
    scripts[names[i]] = {.objects = 4,
                         .kbBase = 100 * static_cast<int>(i),
                         .after = i + 1 < names.size() ? names[i + 1] : ""};
  }
  auto world = std::make_shared<ScriptedWorld>(scripts);
  NativeThreadStarter threads;
  std::vector<ComputerInventory> results =
      RunComputers(Requests(names), {.parallel = 6, .timeoutMs = kNoTimeout},
                   PortsOver(threads, world), world->stop, nullptr);

  ASSERT_EQ(Names(results), names);
  for (std::size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(results[i].status, InventoryStatus::Complete);
    ASSERT_EQ(results[i].rows.size(), 4u);
    EXPECT_EQ(results[i].rows[0].HotFixID, "KB" + std::to_string(100 * i));
  }
}

TEST(ComputerRun, AHangingComputerIsGivenUpAndItsPlaceGoesToTheNext) {
  // One computer at a time: the ones after a hanging computer are read only if its place is
  // given up when its time is out.
  const std::vector<std::string> names = {"mort", "vivant", "mort-aussi", "vivant-aussi"};
  auto world = std::make_shared<ScriptedWorld>(
      std::map<std::string, ComputerScript>{{"mort", {.objects = 5, .hang = true}},
                                            {"vivant", {.objects = 2}},
                                            {"mort-aussi", {.objects = 5, .hang = true}},
                                            {"vivant-aussi", {.objects = 3}}});
  std::vector<ComputerInventory> results;
  {
    NativeThreadStarter threads;
    results = RunComputers(Requests(names), {.parallel = 1, .timeoutMs = 300},
                           PortsOver(threads, world), world->stop, nullptr);
  }
  ASSERT_EQ(Names(results), names);
  for (const std::size_t dead : {0u, 2u}) {
    EXPECT_EQ(results[dead].status, InventoryStatus::Failed);
    EXPECT_EQ(static_cast<std::uint32_t>(results[dead].errorCode), 0x800705B4u);
    EXPECT_EQ(results[dead].errorText, "Pas de réponse dans le délai de 300 ms");
  }
  EXPECT_EQ(results[1].status, InventoryStatus::Complete);
  EXPECT_EQ(results[1].rows.size(), 2u);
  EXPECT_EQ(results[3].status, InventoryStatus::Complete);
  EXPECT_EQ(results[3].rows.size(), 3u);
  // Once a computer answers, the same delay bounds the wait for each of its objects.
  EXPECT_EQ(world->waitPerObjectMs.load(), 300u);

  // The threads given up answer after the run is over: they must own all they touch (the
  // sanitizer build checks it) and read nothing once they connect.
  world->hang.Open();
  ASSERT_TRUE(ThreadsLetGo(world));
  EXPECT_EQ(world->objectsRead.at("mort").load(), 0);
  EXPECT_EQ(world->objectsRead.at("mort-aussi").load(), 0);
}

TEST(ComputerRun, StopEndsTheRunWithWhatEachComputerRead) {
  // "lecteur" sets the stop flag while its fourth object comes, and lets that object arrive only
  // once the run has reacted (its first progress report): it keeps four rows and reads no more.
  const std::vector<std::string> names = {"lecteur", "muet", "suivant", "dernier"};
  auto world = std::make_shared<ScriptedWorld>(
      std::map<std::string, ComputerScript>{{"lecteur", {.objects = 10, .stopAt = 3}},
                                            {"muet", {.objects = 5, .hang = true}},
                                            {"suivant", {.objects = 5}},
                                            {"dernier", {.objects = 5}}});
  std::vector<ComputerInventory> results;
  {
    NativeThreadStarter threads;
    results = RunComputers(
        Requests(names), {.parallel = 2, .timeoutMs = kNoTimeout}, PortsOver(threads, world),
        world->stop, [&world](std::size_t, std::size_t, std::size_t) { world->resume.Open(); });
  }
  ASSERT_EQ(Names(results), names);
  EXPECT_EQ(results[0].status, InventoryStatus::Incomplete);
  EXPECT_EQ(results[0].objectCount, 4);
  EXPECT_EQ(results[0].rows.size(), 4u);
  EXPECT_EQ(results[0].errorText, "Arrêté par l'utilisateur");
  EXPECT_EQ(results[1].status, InventoryStatus::Stopped);
  EXPECT_EQ(results[1].errorText, "Arrêté par l'utilisateur avant sa réponse");
  for (const std::size_t notStarted : {2u, 3u}) {
    EXPECT_EQ(results[notStarted].status, InventoryStatus::Stopped);
    EXPECT_EQ(results[notStarted].errorText, "Non analysé : arrêt demandé");
    EXPECT_EQ(world->objectsRead.at(names[notStarted]).load(), 0);
  }
  for (const ComputerInventory& result : results) {
    EXPECT_EQ(static_cast<std::uint32_t>(result.errorCode), 0x800704C7u);
  }
  world->hang.Open();
  ASSERT_TRUE(ThreadsLetGo(world));
  EXPECT_EQ(world->objectsRead.at("muet").load(), 0);
}

TEST(ComputerRun, OnItsOwnThreadTheRunStillHearsTheStopBeforeTheNextObject) {
  auto world = std::make_shared<ScriptedWorld>(
      std::map<std::string, ComputerScript>{{".", {.objects = 10, .stopAt = 3}}});
  world->resume.Open();  // nothing else runs meanwhile to let the reading go on
  NativeThreadStarter threads;
  const std::vector<ComputerInventory> results =
      RunComputers(Requests({"."}), {.timeoutMs = kNoTimeout, .onThisThread = true},
                   PortsOver(threads, world), world->stop, nullptr);
  EXPECT_EQ(results[0].status, InventoryStatus::Incomplete);
  EXPECT_EQ(results[0].rows.size(), 4u);
  EXPECT_EQ(static_cast<std::uint32_t>(results[0].errorCode), 0x800704C7u);
}

// Runs each computer's work at once, before Start returns: every answer is in the mailbox
// before the run looks, so the run never waits for one.
class BackToBackThreadStarter : public ThreadStarter {
 public:
  bool Start(std::function<void()> work) override {
    work();
    return true;
  }
};

TEST(ComputerRun, StopIsHeardWhileAnswersComeBackToBack) {
  std::map<std::string, ComputerScript> scripts;
  std::vector<std::string> names;
  for (int i = 0; i < 8; ++i) {
    names.push_back("SRV" + std::to_string(i));
    scripts[names.back()] = {.objects = 2};
  }
  auto world = std::make_shared<ScriptedWorld>(scripts);
  BackToBackThreadStarter threads;
  // Ctrl+C once the second computer is settled; the third had started by then.
  const std::vector<ComputerInventory> results = RunComputers(
      Requests(names), {.parallel = 2, .timeoutMs = kNoTimeout}, PortsOver(threads, world),
      world->stop, [&world](std::size_t done, std::size_t, std::size_t) {
        if (done == 2) world->stop = true;
      });
  ASSERT_EQ(Names(results), names);
  for (std::size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(results[i].status, i < 3 ? InventoryStatus::Complete : InventoryStatus::Stopped);
    EXPECT_EQ(world->objectsRead.at(names[i]).load(), i < 3 ? 2 : 0);
  }
}

TEST(ComputerRun, AThousandComputersAllReadInOrderWithTheirProgress) {
  constexpr std::size_t kComputers = 1000;
  std::map<std::string, ComputerScript> scripts;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < kComputers; ++i) {
    names.push_back("SRV" + std::to_string(i));
    scripts[names.back()] = {.objects = 10, .kbBase = 100 * static_cast<int>(i)};
  }
  auto world = std::make_shared<ScriptedWorld>(scripts);
  NativeThreadStarter threads;
  std::vector<std::size_t> reported;
  std::vector<ComputerInventory> results = RunComputers(
      Requests(names), {.parallel = 64, .timeoutMs = kNoTimeout}, PortsOver(threads, world),
      world->stop, [&](std::size_t done, std::size_t total, std::size_t failed) {
        EXPECT_EQ(total, kComputers);
        EXPECT_EQ(failed, 0u);
        reported.push_back(done);
      });

  ASSERT_EQ(Names(results), names);
  for (std::size_t i = 0; i < kComputers; ++i) {
    ASSERT_EQ(results[i].status, InventoryStatus::Complete) << names[i];
    ASSERT_EQ(results[i].rows.size(), 10u) << names[i];
    ASSERT_EQ(results[i].rows[9].HotFixID, "KB" + std::to_string(100 * i + 9)) << names[i];
  }
  ASSERT_EQ(reported.size(), kComputers);
  for (std::size_t i = 0; i < kComputers; ++i) ASSERT_EQ(reported[i], i + 1);
}

TEST(ComputerRun, ThreadsGivenUpAndStillAliveHoldBackNewComputers) {
  // Each computer answers twenty times its timeout after being asked; one thread given up may
  // live at once besides the one being read.
  std::map<std::string, ComputerScript> scripts;
  std::vector<std::string> names;
  for (int i = 0; i < 4; ++i) {
    names.push_back("mort" + std::to_string(i));
    scripts[names.back()] = {.objects = 1, .answerAfterMs = 400};
  }
  auto world = std::make_shared<ScriptedWorld>(scripts);
  std::vector<ComputerInventory> results;
  {
    NativeThreadStarter threads;
    results = RunComputers(Requests(names), {.parallel = 1, .timeoutMs = 20, .maxLeftBehind = 1},
                           PortsOver(threads, world), world->stop, nullptr);
  }
  for (const ComputerInventory& result : results) {
    EXPECT_EQ(static_cast<std::uint32_t>(result.errorCode), 0x800705B4u) << result.computer;
  }
  EXPECT_LE(world->mostAtOnce.load(), 2);
  ASSERT_TRUE(ThreadsLetGo(world));
}

TEST(ComputerRun, AnAccountRefusedIsNotTriedOnTheOtherComputers) {
  for (const bool refused : {true, false}) {
    SCOPED_TRACE(refused ? "refused" : "taken");
    auto world = std::make_shared<ScriptedWorld>(std::map<std::string, ComputerScript>{
        {"premier", {.objects = 1, .fault = refused ? Fault::Logon : Fault::None}},
        {"local", {.objects = 1}},
        {"second", {.objects = 1}},
        {"troisieme", {.objects = 1}}});
    std::vector<ComputerRequest> requests = {{"premier", "", "CORP\\admin", "faux"},
                                             {"local", "", "", ""},
                                             {"second", "", "CORP\\admin", "faux"},
                                             {"troisieme", "", "CORP\\admin", "faux"}};
    NativeThreadStarter threads;
    const std::vector<ComputerInventory> results =
        RunComputers(requests, {.parallel = 4, .timeoutMs = kNoTimeout}, PortsOver(threads, world),
                     world->stop, nullptr);
    EXPECT_EQ(results[1].status, InventoryStatus::Complete);  // read without the account
    for (const std::size_t other : {2u, 3u}) {
      EXPECT_EQ(world->objectsRead.at(requests[other].computer).load(), refused ? 0 : 1);
      EXPECT_EQ(results[other].status,
                refused ? InventoryStatus::Failed : InventoryStatus::Complete);
      EXPECT_EQ(static_cast<std::uint32_t>(results[other].errorCode), refused ? 0x8007052Eu : 0u);
    }
    if (refused) {
      EXPECT_EQ(results[2].errorText,
                "Non essayé : le compte CORP\\admin a été refusé par premier");
    }
  }
}

// Refuses every second thread, as a system out of threads would.
class StingyThreadStarter : public NativeThreadStarter {
 public:
  bool Start(std::function<void()> work) override {
    return calls_++ % 2 == 0 && NativeThreadStarter::Start(std::move(work));
  }

 private:
  int calls_ = 0;
};

TEST(ComputerRun, AComputerWithoutAThreadFailsAlone) {
  const std::vector<std::string> names = {"un", "deux", "trois"};
  auto world = std::make_shared<ScriptedWorld>(std::map<std::string, ComputerScript>{
      {"un", {.objects = 1}}, {"deux", {.objects = 1}}, {"trois", {.objects = 1}}});
  StingyThreadStarter threads;
  std::size_t lastFailed = 0;
  std::vector<ComputerInventory> results = RunComputers(
      Requests(names), {.parallel = 3, .timeoutMs = kNoTimeout}, PortsOver(threads, world),
      world->stop, [&](std::size_t, std::size_t, std::size_t failed) { lastFailed = failed; });
  ASSERT_EQ(Names(results), names);
  EXPECT_EQ(results[0].status, InventoryStatus::Complete);
  EXPECT_EQ(results[1].status, InventoryStatus::Failed);
  EXPECT_EQ(static_cast<std::uint32_t>(results[1].errorCode), 0x80004005u);
  EXPECT_EQ(results[2].status, InventoryStatus::Complete);
  EXPECT_EQ(lastFailed, 1u);
}

}  // namespace
