// The console program from its command line to its exit code, with every port a fake: which
// computers are read with which account, what is written where, and which exit code the shell
// sees. The computers are scripted (tests/scripted_computers.h) and read on real threads.
#include "console/console_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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
            {"SRV-\xC3\x89T\xC3\x89", {.objects = 1, .kbBase = 7}},
            {"DOWN", {.fault = Fault::Connect}},
            {".", {.objects = 1}},
            {"localhost", {.objects = 1}},
            {"127.0.0.1", {.objects = 1}},
            {"", {.objects = 1}},
        })),
        connections(std::make_shared<Connections>()),
        ports{.loadSettings = [this] { return settings; },
              .readFile =
                  [this](const std::string& path) {
                    if (path != "hosts.txt") throw EFixtallyError("Impossible de lire " + path);
                    return hostsFile;
                  },
              .checkWritable =
                  [](const std::string& path) {
                    if (path.starts_with("absent\\")) {
                      throw EFixtallyError(
                          "Impossible d'\xC3\xA9"
                          "crire dans " +
                          path + " : chemin introuvable");
                    }
                  },
              .replaceFile = [this](const std::string& path,
                                    std::string_view bytes) { files[path] = bytes; },
              .writeOutput =
                  [this](std::string_view bytes, bool keepUtf8) {
                    output += bytes;
                    outputKeptUtf8 = keepUtf8;
                    return true;
                  },
              .reportError = [this](std::string_view text) { errors += std::string(text) + "\n"; },
              .showProgress = [](std::string_view) {},
              .askPassword =
                  [this](std::string_view) {
                    ++passwordQuestions;
                    if (onPasswordAsked) onPasswordAsked();
                    return PasswordAnswer{passwordKind, "s\xC3\xA9same"};
                  },
              .isThisComputer =
                  [](std::string_view name) {
                    return name.empty() || name == "." || name == "localhost" ||
                           name == "127.0.0.1";
                  },
              .thisComputerName = [] { return std::string("POSTE-01"); },
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
  PasswordAnswer::Kind passwordKind = PasswordAnswer::Kind::Typed;
  std::function<void()> onPasswordAsked;
  int passwordQuestions = 0;
  std::map<std::string, std::string> files;
  std::string output, errors;
  bool outputKeptUtf8 = false;
  std::atomic<bool> stop{false};
  ConsolePorts ports;
};

TEST(ConsoleProgram, WhatIsReadWithWhichAccount) {
  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    std::vector<std::string> connections;  // in the order given (one thread at a time)
    int passwordQuestions;
  };
  const std::vector<Case> cases = {
      // No option: the settings file's computer, namespace and account.
      {{}, 0, {"SRV1|root\\cimv2|fileuser|filepass"}, 0},
      {{"/host:SRV2", "/host:SRV1", "/parallel:1"},
       0,
       {"SRV2|root\\cimv2|fileuser|filepass", "SRV1|root\\cimv2|fileuser|filepass"},
       0},
      // /host: names come first, then the file's.
      {{"/host:SRV2", "/hosts:hosts.txt", "/parallel:1"},
       0,
       {"SRV2|root\\cimv2|fileuser|filepass", "SRV1|root\\cimv2|fileuser|filepass"},
       0},
      // /user: replaces the file's account, its password asked on the console; this computer
      // is read with the current account, by whichever name.
      {{"/user:CORP\\admin", "/host:.", "/host:SRV2", "/parallel:1"},
       0,
       {".|root\\cimv2||", "SRV2|root\\cimv2|CORP\\admin|s\xC3\xA9same"},
       1},
      // Bad command lines read nothing and ask nothing.
      {{"/colour:blue", "/user:CORP\\admin"}, 3, {}, 0},
      {{"/hosts:missing.txt", "/user:CORP\\admin"}, 3, {}, 0},
      {{"/out:absent\\inventaire.csv", "/user:CORP\\admin"}, 3, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.arguments));
    ConsoleFixture fixture;
    fixture.settings.User = "fileuser";
    fixture.settings.Password = "filepass";
    fixture.hostsFile = "# serveurs\r\nSRV1\r\n\r\n";
    EXPECT_EQ(fixture.Run(c.arguments), c.exitCode) << fixture.errors;
    EXPECT_EQ(fixture.connections->seen, c.connections);
    EXPECT_EQ(fixture.passwordQuestions, c.passwordQuestions);
    if (c.exitCode == 3) {
      EXPECT_TRUE(fixture.output.empty());
      const std::string& first = c.arguments[0];
      EXPECT_NE(fixture.errors.find(first.substr(0, first.find(':'))), std::string::npos)
          << "the message names the option: " << fixture.errors;
      EXPECT_EQ(std::count(fixture.errors.begin(), fixture.errors.end(), '\n'), 1)
          << "one line per refusal: " << fixture.errors;
    }
  }
}

TEST(ConsoleProgram, NoPasswordTypedReadsNothing) {
  const struct {
    PasswordAnswer::Kind answer;
    bool ctrlC;
    int exitCode;
    std::string error;
  } cases[] = {
      {PasswordAnswer::Kind::NoConsole, false, 3,
       "Le mot de passe de CORP\\admin ne peut pas \xC3\xAAtre demand\xC3\xA9 : aucune console "
       "n'est ouverte pour le taper.\n"},
      {PasswordAnswer::Kind::NotEnded, true, 2,
       "Mot de passe non saisi : aucun ordinateur n'est lu.\n"},
  };
  for (const auto& c : cases) {
    ConsoleFixture fixture;
    fixture.passwordKind = c.answer;
    fixture.onPasswordAsked = [&] { fixture.stop = c.ctrlC; };
    EXPECT_EQ(fixture.Run({"/user:CORP\\admin", "/host:SRV1", "/host:SRV2"}), c.exitCode);
    EXPECT_TRUE(fixture.connections->seen.empty());
    EXPECT_EQ(fixture.errors, c.error);
    EXPECT_TRUE(fixture.output.empty());
  }
}

TEST(ConsoleProgram, WhatGoesToStandardOutputAndToAFile) {
  const struct {
    std::vector<std::string> arguments;
    std::string start;  // of standard output, or of the file out.txt
    bool keptUtf8;
  } cases[] = {
      // The text output reaches the console's port as UTF-8, whatever it is in a file.
      {{"/host:SRV-\xC3\x89T\xC3\x89", "/host:SRV2"}, "SRV-\xC3\x89T\xC3\x89 | KB7 ", false},
      {{"/host:SRV-\xC3\x89T\xC3\x89", "/host:SRV2", "/encoding:utf8"},
       "SRV-\xC3\x89T\xC3\x89 | KB7 ",
       true},
      {{"/host:SRV-\xC3\x89T\xC3\x89", "/host:SRV2", "/out:out.txt"},
       "SRV-\xC9T\xC9 | KB7 ",
       false},
      // CSV: no byte-order mark in a pipe, one in a file so that Excel reads UTF-8.
      {{"/format:csv"}, "Ordinateur;KB;Install\xC3\xA9 le;", false},
      {{"/format:csv", "/out:out.txt"}, "\xEF\xBB\xBFOrdinateur;KB;Install\xC3\xA9 le;", false},
      // With /kb:, the answer for each KB unless the rows are asked for.
      {{"/format:csv", "/kb:5034442"},
       "Ordinateur;KB;Pr\xC3\xA9sent;Statut;Code;Erreur\r\nSRV1;KB5034442;oui;complete;;\r\n",
       false},
      {{"/format:csv", "/kb:5034442", "/report:rows"}, "Ordinateur;KB;Install\xC3\xA9 le;", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.arguments));
    ConsoleFixture fixture;
    fixture.settings.DefChar = " | ";
    EXPECT_EQ(fixture.Run(c.arguments), 0) << fixture.errors;
    const std::string& written =
        fixture.files.count("out.txt") ? fixture.files["out.txt"] : fixture.output;
    EXPECT_TRUE(written.starts_with(c.start)) << written;
    EXPECT_EQ(fixture.outputKeptUtf8, c.keptUtf8);
  }
}

TEST(ConsoleProgram, ThisComputerIsWrittenByItsName) {
  for (const std::string name : {".", "localhost", "127.0.0.1", ""}) {
    SCOPED_TRACE(name);
    ConsoleFixture fixture;
    fixture.settings.LocalHost = name;  // an empty /host: is refused: only the file gives one
    EXPECT_EQ(fixture.Run({"/format:json"}), 0) << fixture.errors;
    EXPECT_TRUE(fixture.output.starts_with("{\"computers\":[\r\n{\"computer\":\"POSTE-01\""))
        << fixture.output;
  }
}

TEST(ConsoleProgram, EachComputerNotReadIsOneLineOnStandardError) {
  const struct {
    std::vector<std::string> arguments;
    bool outputIsConsole;
    std::string errors;
  } cases[] = {
      {{"/host:SRV1", "/host:DOWN", "/format:csv"},
       false,
       "DOWN : \xC3\xA9"
       "chec (0x800706BA) Le serveur RPC n'est pas disponible\n"},
      {{"/host:DOWN", "/host:SRV1"},
       false,
       "DOWN : \xC3\xA9"
       "chec (0x800706BA) Le serveur RPC n'est pas disponible\n"},
      // The text on a console already shows the line, in its place.
      {{"/host:DOWN", "/host:SRV1"}, true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.arguments));
    ConsoleFixture fixture;
    fixture.ports.outputIsConsole = c.outputIsConsole;
    EXPECT_EQ(fixture.Run(c.arguments), 2);
    EXPECT_EQ(fixture.errors, c.errors);
    EXPECT_EQ(fixture.output.find("DOWN :") != std::string::npos,
              c.arguments.back() != "/format:csv");
  }
}

TEST(ConsoleProgram, AStoppedRunEndsWithTwoAndStillWritesItsOutput) {
  ConsoleFixture fixture;
  fixture.stop = true;
  EXPECT_EQ(fixture.Run({"/format:json", "/host:SRV1", "/host:SRV2"}), 2);
  EXPECT_TRUE(fixture.output.starts_with("{\"computers\":[")) << fixture.output;
  EXPECT_TRUE(fixture.output.ends_with("]}\r\n")) << fixture.output;
  EXPECT_EQ(fixture.errors,
            "Arr\xC3\xAAt\xC3\xA9 par l'utilisateur (Ctrl+C) : 2 ordinateurs sur 2 n'ont pas "
            "\xC3\xA9t\xC3\xA9 lus.\n");
  EXPECT_TRUE(fixture.connections->seen.empty());
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
    EXPECT_EQ(fixture.errors.find("SRV2 : incomplet, 1 ligne lue (0x80004001) Windows "
                                  "Update\xC2\xA0: Non impl") != std::string::npos,
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
  EXPECT_NE(fixture.errors.find(
                "SRV2 : incomplet, 1 ligne lue (0x800705B4) Windows Update\xC2\xA0: Pas de r"),
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
