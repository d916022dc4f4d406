// The console program from its command line to its exit code, with every port a fake: which
// computers are read with which account, what is written where, and which exit code the shell
// sees. The computers are scripted (tests/scripted_computers.h) and read on real threads.
#include "console/console_program.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "Systeme/errors.h"
#include "fixed_offset_time_zone.h"
#include "native_run_ports.h"
#include "scripted_computers.h"
#include "portable_locale_text.h"

namespace {

// What reached the source: each connection's computer, namespace, account and password.
struct Connections {
  std::mutex lock;
  std::vector<std::string> seen;
};

class RecordingSource : public HotfixSource {
 public:
  RecordingSource(std::shared_ptr<ScriptedWorld> world, std::shared_ptr<Connections> connections)
      : inner_(world), connections_(std::move(connections)) {}
  std::unique_ptr<HotfixService> ConnectServer(const std::string& server,
                                               const std::string& nameSpace,
                                               const std::string& user,
                                               const std::string& password) override {
    {
      std::lock_guard<std::mutex> guard(connections_->lock);
      connections_->seen.push_back(server + "|" + nameSpace + "|" + user + "|" + password);
    }
    return inner_.ConnectServer(server, nameSpace, user, password);
  }

 private:
  ScriptedSource inner_;
  std::shared_ptr<Connections> connections_;
};

struct ConsoleFixture {
  ConsoleFixture()
      : world(std::make_shared<ScriptedWorld>(std::map<std::string, ComputerScript>{
            {"SRV1", {.objects = 2, .kbBase = 5034441}},
            {"SRV2", {.objects = 1, .kbBase = 5034441}},
            {"DOWN", {.fault = Fault::Connect}},
        })),
        connections(std::make_shared<Connections>()),
        ports{.loadSettings = [this] { return settings; },
              .readFile =
                  [this](const std::string& path) {
                    if (path != "hosts.txt") throw EFixtallyError("Impossible de lire " + path);
                    return hostsFile;
                  },
              .replaceFile = [this](const std::string& path,
                                    std::string_view bytes) { files[path] = bytes; },
              .writeOutput =
                  [this](std::string_view bytes, bool) {
                    output += bytes;
                    return true;
                  },
              .reportError = [this](std::string_view text) { errors += std::string(text) + "\n"; },
              .showProgress = [](std::string_view) {},
              .askPassword = [this](std::string_view) -> std::optional<std::string> {
                ++passwordQuestions;
                return typedPassword;
              },
              .codePage = &CodePage1252(),
              .listSeparator = ";",
              .run = RunPorts{threads, [] { return std::make_shared<NativeMailbox>(); },
                              NativeMilliseconds,
                              [world = world, connections = connections] {
                                return std::make_unique<RecordingSource>(world, connections);
                              },
                              TFormatSettings{}, std::make_shared<FixedOffsetTimeZone>(0), 2026}} {
    settings.LocalHost = "SRV1";
    settings.Root = "root\\cimv2";
  }

  int Run(std::vector<std::string> arguments) { return RunConsoleProgram(arguments, ports, stop); }

  std::shared_ptr<ScriptedWorld> world;
  std::shared_ptr<Connections> connections;
  NativeThreadStarter threads;
  TSettings settings;
  std::string hostsFile;
  std::optional<std::string> typedPassword = "s\xE9same";
  int passwordQuestions = 0;
  std::map<std::string, std::string> files;
  std::string output, errors;
  std::atomic<bool> stop{false};
  ConsolePorts ports;
};

TEST(ConsoleProgram, ExitCodesAndWhatWasRead) {
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    std::vector<std::string> connections;  // in the order given (one thread at a time)
  };
  const std::vector<Case> cases = {
      // No option: the settings file's computer, namespace and account.
      {{}, 0, {"SRV1|root\\cimv2|fileuser|filepass"}},
      {{"/host:SRV2", "/host:SRV1", "/parallel:1"},
       0,
       {"SRV2|root\\cimv2|fileuser|filepass", "SRV1|root\\cimv2|fileuser|filepass"}},
      {{"/host:SRV1", "/host:DOWN", "/parallel:1"},
       2,
       {"SRV1|root\\cimv2|fileuser|filepass", "DOWN|root\\cimv2|fileuser|filepass"}},
      // /host: names come first, then the file's.
      {{"/host:SRV2", "/hosts:hosts.txt", "/parallel:1"},
       0,
       {"SRV2|root\\cimv2|fileuser|filepass", "SRV1|root\\cimv2|fileuser|filepass"}},
      {{"/kb:5034441,KB5034442"}, 0, {"SRV1|root\\cimv2|fileuser|filepass"}},
      {{"/kb:5034442", "/host:SRV2"}, 1, {"SRV2|root\\cimv2|fileuser|filepass"}},
      {{"/kb:5034441", "/host:DOWN"}, 2, {"DOWN|root\\cimv2|fileuser|filepass"}},
      // /user: replaces the file's account, its password asked on the console.
      {{"/user:CORP\\admin"}, 0, {"SRV1|root\\cimv2|CORP\\admin|s\xE9same"}},
      // Bad command lines read nothing.
      {{"/colour:blue"}, 3, {}},
      {{"/parallel:65"}, 3, {}},
      {{"/hosts:missing.txt"}, 3, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.arguments));
    ConsoleFixture fixture;
    fixture.settings.User = "fileuser";
    fixture.settings.Password = "filepass";
    fixture.hostsFile = "# serveurs\r\nSRV1\r\n\r\n";
    EXPECT_EQ(fixture.Run(c.arguments), c.exitCode) << fixture.errors;
    EXPECT_EQ(fixture.connections->seen, c.connections);
    EXPECT_EQ(fixture.passwordQuestions,
              c.arguments.size() == 1 && c.arguments[0].starts_with("/user:") ? 1 : 0);
    if (c.exitCode == 3) {
      EXPECT_TRUE(fixture.output.empty());
      EXPECT_NE(fixture.errors.find(c.arguments[0].substr(0, c.arguments[0].find(':'))),
                std::string::npos)
          << "the message names the option: " << fixture.errors;
    }
  }
}

TEST(ConsoleProgram, UserWithoutAConsoleToAskOnReadsNothing) {
  ConsoleFixture fixture;
  fixture.typedPassword.reset();
  EXPECT_EQ(fixture.Run({"/user:CORP\\admin"}), 3);
  EXPECT_TRUE(fixture.connections->seen.empty());
}

TEST(ConsoleProgram, AFileGetsTheWholeOutputAndStandardOutputNothing) {
  ConsoleFixture fixture;
  EXPECT_EQ(fixture.Run({"/format:csv", "/out:inventaire.csv"}), 0);
  EXPECT_TRUE(fixture.output.empty());
  ASSERT_EQ(fixture.files.count("inventaire.csv"), 1u);
  const std::string& csv = fixture.files["inventaire.csv"];
  EXPECT_TRUE(csv.starts_with("\xEF\xBB\xBFOrdinateur;KB;")) << csv;  // a file: byte-order mark
  EXPECT_NE(csv.find("SRV1;KB5034442;"), std::string::npos) << csv;

  ConsoleFixture piped;
  EXPECT_EQ(piped.Run({"/format:csv"}), 0);
  EXPECT_TRUE(piped.output.starts_with("Ordinateur;KB;")) << piped.output;  // a pipe: none
}

TEST(ConsoleProgram, AStoppedRunEndsWithTwoAndStillWritesItsOutput) {
  ConsoleFixture fixture;
  fixture.stop = true;
  EXPECT_EQ(fixture.Run({"/format:json", "/host:SRV1", "/host:SRV2"}), 2);
  EXPECT_TRUE(fixture.output.starts_with("{\"computers\":[")) << fixture.output;
  EXPECT_TRUE(fixture.output.ends_with("]}") || fixture.output.ends_with("]}\r\n") ||
              fixture.output.ends_with("]}\n"))
      << fixture.output;
}

// Windows Update's history of each computer: SRV1's names one KB WMI lacks, SRV2's agent
// refuses. Thread-safe: every computer's thread makes its own.
class ScriptedHistory : public UpdateHistorySource {
 public:
  explicit ScriptedHistory(std::shared_ptr<std::atomic<int>> reads,
                           std::shared_ptr<Gate> hang = nullptr)
      : reads_(std::move(reads)), hang_(std::move(hang)) {}
  std::vector<WuHistoryEntry> ReadHistory(const ComputerRequest& computer) override {
    ++*reads_;
    // SRV2's agent, when told to, does not answer until the test lets it.
    if (hang_ && computer.computer == "SRV2") hang_->Wait();
    if (computer.computer == "SRV2") throw EOleSysError("Non impl\xC3\xA9ment\xC3\xA9", 0x80004001);
    return {{kWuInstallation, kWuSucceeded, 44927.0, "Update (KB7000001)", "AutomaticUpdates"}};
  }

 private:
  std::shared_ptr<std::atomic<int>> reads_;
  std::shared_ptr<Gate> hang_;
};

class NoPackages : public ServicingPackageSource {
 public:
  std::vector<CbsPackageValues> ReadPackages(const ComputerRequest&,
                                             const std::atomic<bool>&) override {
    return {};
  }
};

TEST(ConsoleProgram, OtherSourcesFromTheOptionOrTheSettingAddRowsAndTheirFailures) {
  const struct {
    const char* setting;
    std::vector<std::string> arguments;
    int exitCode;
    int historyReads;
    bool srv1HasTheUpdate;
  } cases[] = {
      {"", {"/host:SRV1"}, 0, 0, false},
      {"QFE,WU", {"/host:SRV1"}, 0, 1, true},
      {"WU", {"/host:SRV1", "/sources:QFE"}, 0, 0, false},  // the option wins
      {"", {"/host:SRV1", "/sources:wu"}, 0, 1, true},
      {"", {"/host:SRV1", "/host:SRV2", "/sources:WU"}, 2, 2, true},
      // The KB asked for is not known missing when the history could not be read: 2, not 1.
      {"", {"/host:SRV2", "/sources:WU", "/kb:5034441"}, 2, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.arguments) + " SOURCES=" + c.setting);
    ConsoleFixture fixture;
    fixture.settings.Sources = c.setting;
    auto reads = std::make_shared<std::atomic<int>>(0);
    fixture.ports.run.makeHistorySource = [reads] {
      return std::make_unique<ScriptedHistory>(reads);
    };
    fixture.ports.run.makePackageSource = [] { return std::make_unique<NoPackages>(); };
    fixture.ports.run.rowTexts = {"Mise \xE0 jour (maintenance)",
                                  " - remplac\xE9"
                                  "e"};
    EXPECT_EQ(fixture.Run(c.arguments), c.exitCode) << fixture.errors;
    EXPECT_EQ(reads->load(), c.historyReads);
    EXPECT_EQ(fixture.output.find("KB7000001") != std::string::npos, c.srv1HasTheUpdate)
        << fixture.output;
    EXPECT_EQ(fixture.errors.find("SRV2 : incomplet 0x80004001 Windows Update\xC2\xA0: Non impl") !=
                  std::string::npos,
              c.exitCode == 2)
        << fixture.errors;
  }
}

TEST(ConsoleProgram, AnAgentThatNeverAnswersIsGivenUpWithWmisRowsKept) {
  ConsoleFixture fixture;
  auto reads = std::make_shared<std::atomic<int>>(0);
  auto hang = std::make_shared<Gate>();
  fixture.ports.run.makeHistorySource = [reads, hang] {
    return std::make_unique<ScriptedHistory>(reads, hang);
  };
  fixture.ports.run.makePackageSource = [] { return std::make_unique<NoPackages>(); };
  fixture.settings.DefChar = " | ";
  EXPECT_EQ(fixture.Run({"/host:SRV1", "/host:SRV2", "/sources:WU", "/timeout:1"}), 2);
  hang->Open();
  EXPECT_NE(fixture.output.find("SRV2 | KB5034441"), std::string::npos) << fixture.output;
  EXPECT_NE(fixture.output.find("SRV1 | KB7000001"), std::string::npos) << fixture.output;
  EXPECT_NE(fixture.errors.find("SRV2 : incomplet 0x800705B4 Windows Update\xC2\xA0: Pas de r"),
            std::string::npos)
      << fixture.errors;
  EXPECT_EQ(fixture.errors.find("SRV1 :"), std::string::npos) << fixture.errors;
}

TEST(ConsoleProgram, HelpPrintsTheUsageAndReadsNothing) {
  ConsoleFixture fixture;
  EXPECT_EQ(fixture.Run({"/?"}), 0);
  EXPECT_NE(fixture.output.find("/timeout:"), std::string::npos);
  EXPECT_TRUE(fixture.connections->seen.empty());
}

}  // namespace
