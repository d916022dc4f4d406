// The sources beyond WMI: each read on its own so that one failing leaves the other, and the
// window's scan adding their rows after WMI's, counted, with one dialog for the failures.
#include "inventory/beyond_qfe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "Systeme/errors.h"
#include "app/main_form.h"
#include "inventory/read_computer.h"
#include "main_form_fakes.h"
#include "scripted_hotfix_source.h"

namespace {

constexpr std::int32_t kNotImplemented = static_cast<std::int32_t>(0x80004001);
constexpr std::int32_t kNoRemoteRegistry = static_cast<std::int32_t>(0x800706BA);

// 1 January 2023 00:00 UTC as a DATE, and as FILETIME halves.
constexpr double kJan2023Date = 44927.0;
constexpr std::uint32_t kJan2023High = 0x01D91D73;  // 133170048000000000
constexpr std::uint32_t kJan2023Low = 0xFDC30000;

class FakeHistory : public UpdateHistorySource {
 public:
  std::vector<WuHistoryEntry> entries;
  std::optional<EOleSysError> failure;
  std::vector<std::string> asked;  // the computers asked for
  std::vector<WuHistoryEntry> ReadHistory(const ComputerRequest& computer) override {
    asked.push_back(computer.computer + "|" + computer.user + "|" + computer.password.text());
    if (failure) throw *failure;
    return entries;
  }
};

class FakePackages : public ServicingPackageSource {
 public:
  std::vector<CbsPackageValues> packages;
  std::optional<EOleSysError> failure;
  bool stopAfterFirst = false;  // the user stops while the packages are read
  std::atomic<bool>* stopFlag = nullptr;
  int reads = 0;
  std::vector<CbsPackageValues> ReadPackages(const ComputerRequest&,
                                             const std::atomic<bool>& stop) override {
    ++reads;
    if (failure) throw *failure;
    std::vector<CbsPackageValues> read;
    for (const CbsPackageValues& p : packages) {
      if (stop.load()) break;
      read.push_back(p);
      if (stopAfterFirst && stopFlag) *stopFlag = true;
    }
    return read;
  }
};

WuHistoryEntry Installed(std::string title) {
  return {kWuInstallation, kWuSucceeded, kJan2023Date + 10, std::move(title), "AutomaticUpdates"};
}

CbsPackageValues Package(std::string name, std::uint32_t state, std::string user = "") {
  CbsPackageValues p;
  p.keyName = std::move(name);
  p.currentState = state;
  p.installTimeHigh = kJan2023High;
  p.installTimeLow = kJan2023Low;
  p.installUser = std::move(user);
  return p;
}

std::string Codes(const std::vector<SourceFailure>& failures) {
  std::string text;
  for (const SourceFailure& f : failures) {
    char line[40];
    std::snprintf(line, sizeof line, "%s:%08X ",
                  f.source == UpdateSource::WindowsUpdate ? "WU" : "CBS",
                  static_cast<unsigned>(f.code));
    text += line;
  }
  return text;
}

TEST(ReadBeyondQfe, EachSourceStandsOnItsOwn) {
  const struct {
    const char* name;
    UpdateSources which;
    bool historyFails, packagesFail, stopBefore;
    std::size_t windowsUpdate, packages;  // updates found
    std::string failures;
    std::size_t historyReads;
    int packageReads;
  } cases[] = {
      {"both answer", {true, true}, false, false, false, 1, 2, "", 1, 1},
      {"Windows Update only", {true, false}, false, false, false, 1, 0, "", 1, 0},
      {"packages only", {false, true}, false, false, false, 0, 2, "", 0, 1},
      {"the agent refuses", {true, true}, true, false, false, 0, 2, "WU:80004001 ", 1, 1},
      {"no remote registry", {true, true}, false, true, false, 1, 0, "CBS:800706BA ", 1, 1},
      {"both fail", {true, true}, true, true, false, 0, 0, "WU:80004001 CBS:800706BA ", 1, 1},
      {"stopped before", {true, true}, false, false, true, 0, 0, "WU:800704C7 CBS:800704C7 ", 0, 0},
      {"a failing source not asked for", {false, true}, true, false, false, 0, 2, "", 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHistory history;
    history.entries = {Installed("Mise \xE0 jour (KB5026446)"), Installed("Defender")};
    if (c.historyFails) history.failure.emplace("Non impl\xC3\xA9ment\xC3\xA9", kNotImplemented);
    FakePackages packages;
    packages.packages = {Package("Package_for_KB100~1", 112), Package("Package_for_KB200~1", 80),
                         Package("Package_for_KB300~1", 0)};
    if (c.packagesFail)
      packages.failure.emplace("Le serveur RPC n'est pas disponible", kNoRemoteRegistry);
    std::atomic<bool> stop{c.stopBefore};

    const BeyondQfeUpdates found =
        ReadBeyondQfe(c.which, {"pc1", "", "admin", "pw"}, history, packages, stop);
    EXPECT_EQ(found.windowsUpdate.size(), c.windowsUpdate);
    EXPECT_EQ(found.packages.size(), c.packages);
    EXPECT_EQ(Codes(found.failures), c.failures);
    EXPECT_EQ(history.asked.size(), c.historyReads);
    EXPECT_EQ(packages.reads, c.packageReads);
  }
}

TEST(ReadBeyondQfe, AStopDuringThePackagesKeepsWhatWasReadAndSaysStopped) {
  FakeHistory history;
  FakePackages packages;
  std::atomic<bool> stop{false};
  packages.packages = {Package("Package_for_KB100~1", 112), Package("Package_for_KB200~1", 112)};
  packages.stopAfterFirst = true;
  packages.stopFlag = &stop;
  const BeyondQfeUpdates found = ReadBeyondQfe({false, true}, {}, history, packages, stop);
  ASSERT_EQ(found.packages.size(), 1u);
  EXPECT_EQ(found.packages[0].kb, 100);
  EXPECT_EQ(Codes(found.failures), "CBS:800704C7 ");
}

TEST(SourceFailuresText, OneLinePerFailureAStopIsNone) {
  EXPECT_EQ(SourceFailuresText({}), "");
  EXPECT_EQ(SourceFailuresText({{UpdateSource::WindowsUpdate, kCancelledCode, kStoppedText}}), "");
  EXPECT_EQ(SourceFailuresText({{UpdateSource::WindowsUpdate, kNotImplemented, "Non"},
                                {UpdateSource::ServicingPackages, kCancelledCode, "x"},
                                {UpdateSource::ServicingPackages, kNoRemoteRegistry, "RPC"}}),
            "Windows Update\xC2\xA0: 0x80004001 Non\n"
            "paquets de maintenance\xC2\xA0: 0x800706BA RPC");
}

// What a reading comes to as failures are noted, WMI's first: each code stays with its own text.
TEST(ReadingOutcome, EachFailureKeepsItsOwnCodeAndText) {
  const SourceFailure wu{UpdateSource::WindowsUpdate, kNotImplemented, "Non"};
  const SourceFailure cbs{UpdateSource::ServicingPackages, kNoRemoteRegistry, "RPC"};
  const struct {
    const char* name;
    std::int32_t objectsMet;
    std::optional<std::int32_t> wmiCode;  // WMI's failure, told "Serveur introuvable"
    std::vector<SourceFailure> sources;
    InventoryStatus status;
    std::uint32_t code;
    std::string text;
  } cases[] = {
      {"WMI and Windows Update fail",
       0,
       0x80041015,
       {wu},
       InventoryStatus::Failed,
       0x80041015,
       "Serveur introuvable ; Windows Update\xC2\xA0: 0x80004001 Non"},
      {"both other sources fail",
       2,
       std::nullopt,
       {wu, cbs},
       InventoryStatus::Incomplete,
       0x80004001,
       "Windows Update\xC2\xA0: Non ; paquets de maintenance\xC2\xA0: 0x800706BA RPC"},
      {"objects met, none readable, then WMI fails",
       3,
       0x800706BE,
       {},
       InventoryStatus::Incomplete,
       0x800706BE,
       "Serveur introuvable"},
      {"a source fails where WMI had no object",
       0,
       std::nullopt,
       {cbs},
       InventoryStatus::Failed,
       0x800706BA,
       "paquets de maintenance\xC2\xA0: RPC"},
      {"stopped before the first object",
       0,
       kCancelledCode,
       {},
       InventoryStatus::Stopped,
       0x800704C7,
       "Serveur introuvable"},
      {"stopped after one",
       1,
       kCancelledCode,
       {},
       InventoryStatus::Incomplete,
       0x800704C7,
       "Serveur introuvable"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReadingOutcome outcome;
    outcome.objectCount = c.objectsMet;
    if (c.wmiCode) NoteWmiFailure(outcome, *c.wmiCode, "Serveur introuvable");
    for (const SourceFailure& failure : c.sources) NoteSourceFailure(outcome, failure);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(static_cast<std::uint32_t>(outcome.errorCode), c.code);
    EXPECT_EQ(outcome.errorText, c.text);
  }
}

// A port that reads the fakes in place, pumping once as the window's would while it waits.
class InPlacePort : public BeyondQfePort {
 public:
  InPlacePort(UpdateHistorySource& history, ServicingPackageSource& packages)
      : history_(history), packages_(packages) {}
  int reads = 0;
  std::vector<std::string> computers;
  std::function<void()> beforePump;  // what happens in the window while the sources read
  BeyondQfeUpdates Read(UpdateSources which, const ComputerRequest& computer,
                        const std::function<bool()>& pump) override {
    ++reads;
    computers.push_back(computer.computer + "|" + computer.nameSpace + "|" + computer.user);
    if (beforePump) beforePump();
    std::atomic<bool> stop{!pump()};
    if (stop) return SourcesFailed(which, kCancelledCode, kStoppedText);
    return ReadBeyondQfe(which, computer, history_, packages_, stop);
  }

 private:
  UpdateHistorySource& history_;
  ServicingPackageSource& packages_;
};

class WindowSourcesTest : public ::testing::Test {
 protected:
  WindowSourcesTest() {
    history.entries = {Installed("Mise \xE0 jour cumulative (KB5026446)"),
                       Installed("Update for Windows (KB1000)")};
    packages.packages = {Package("Package_for_KB5026446~1", 112, "NT AUTHORITY\\SYSTEM"),
                         Package("Package_for_KB2000~1", 80, "NT AUTHORITY\\SYSTEM"),
                         Package("Package_for_KB1000~1", 112, "BUILTIN\\Administrateurs")};
    source.objects = {scripted_wmi::Hotfix("KB1000")};
  }

  TMainForm& Build(const char* sources, bool withPort = true) {
    f.source = &source;
    f.beyondQfe = withPort ? &port : nullptr;
    TMainForm& form = f.Build();
    form.vst.SetRootNodeCount(1);
    form.vst.SetRootNodeCount(0);
    form.Settings.Sources = sources;
    form.Settings.LocalHost = "pc1";
    return form;
  }

  // "HotFixID|InstalledOn|Description|InstalledBy" of every row, in list order.
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    TVirtualStringTree& list = f.form->vst;
    for (PVirtualNode node = list.FirstNode(); node; node = list.NextNode(node)) {
      const TTreeDataClass& r = **list.NodeRecord(node);
      rows.push_back(std::string(r.HotFixID) + "|" + std::string(r.InstalledOn) + "|" +
                     std::string(r.Description) + "|" + std::string(r.InstalledBy));
    }
    return rows;
  }

  MainFormFixture f;
  scripted_wmi::ScriptedSource source{f.log};
  FakeHistory history;
  FakePackages packages;
  InPlacePort port{history, packages};
};

TEST_F(WindowSourcesTest, TheKbsWmiLacksComeAfterItsRowsAndCount) {
  Build("QFE,WU,CBS").BtnSearchClick();
  EXPECT_EQ(Rows(), (std::vector<std::string>{
                        "KB1000|3/14/2013|Update|NT AUTHORITY\\SYSTEM",
                        "KB2000|1/1/2023|Mise \xE0 jour (maintenance) \x96 remplac\xE9"
                        "e|NT AUTHORITY\\SYSTEM",
                        "KB5026446|1/1/2023|Mise \xE0 jour cumulative (KB5026446)|AutomaticUpdates",
                    }));
  EXPECT_EQ(f.view.Caption(ControlId::LabelNbKB), "(3)");
  EXPECT_EQ(port.computers, (std::vector<std::string>{"pc1||"}));
  EXPECT_TRUE(f.dialogs.messages.empty());
  EXPECT_FALSE(f.form->Busy);
}

TEST_F(WindowSourcesTest, WithoutTheSettingOrThePortOnlyWmiIsRead) {
  for (const auto& [sources, withPort] :
       std::vector<std::pair<const char*, bool>>{{"", true}, {"QFE", true}, {"WU,CBS", false}}) {
    SCOPED_TRACE(sources);
    port.reads = 0;
    Build(sources, withPort).BtnSearchClick();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"KB1000|3/14/2013|Update|NT AUTHORITY\\SYSTEM"}));
    EXPECT_EQ(port.reads, 0);
    EXPECT_EQ(f.view.Caption(ControlId::LabelNbKB), "(1)");
  }
}

TEST_F(WindowSourcesTest, AFailingSourceLeavesTheOthersRowsThenOneDialogNamesIt) {
  history.failure.emplace("Non impl\xC3\xA9ment\xC3\xA9", kNotImplemented);
  Build("QFE,WU,CBS").BtnSearchClick();
  EXPECT_EQ(Rows().size(), 3u);  // WMI's KB1000, the packages' KB2000 and KB5026446
  ASSERT_EQ(f.dialogs.messages.size(), 1u);
  EXPECT_EQ(f.dialogs.messages[0].instruction, "Source non lue");
  EXPECT_EQ(f.dialogs.messages[0].content,
            "Windows Update\xC2\xA0: 0x80004001 Non impl\xC3\xA9ment\xC3\xA9");
  // The dialog opens once the rows and their count are there.
  EXPECT_LT(
      std::find(f.log.begin(), f.log.end(), "SetCaption LabelNbKB=(3)") - f.log.begin(),
      std::find(f.log.begin(), f.log.end(), "ShowTaskMessage Source non lue") - f.log.begin());
}

TEST_F(WindowSourcesTest, WhenWmiFailsTooItsDialogComesFirstAndTheOthersStillAdd) {
  source.fault.step = scripted_wmi::Step::Connect;
  source.fault.code = 0x80041015u;
  source.fault.message = "Serveur introuvable";
  packages.failure.emplace("RPC", kNoRemoteRegistry);
  Build("WU,CBS").BtnSearchClick();
  EXPECT_EQ(Rows().size(), 2u);  // Windows Update's KB1000 and KB5026446
  ASSERT_EQ(f.dialogs.messages.size(), 2u);
  EXPECT_EQ(f.dialogs.messages[0].instruction, "Erreur (exception) 0x80041015");
  EXPECT_EQ(f.dialogs.messages[1].instruction, "Source non lue");
}

TEST_F(WindowSourcesTest, EscapeWhileTheyReadStopsWithoutADialog) {
  // The user presses Escape and answers yes while the window pumps its messages.
  port.beforePump = [&] { f.view.onProcessMessages = [&] { f.form->CancelRequested = true; }; };
  Build("WU,CBS").BtnSearchClick();
  EXPECT_EQ(Rows().size(), 1u);
  EXPECT_EQ(port.reads, 1);
  EXPECT_TRUE(f.dialogs.messages.empty());
  EXPECT_FALSE(f.form->Busy);
}

}  // namespace
