// Faults injected at every port the main window reaches: each WMI step failing with each of the
// codes a real system gives, a clipboard and a shell that refuse, a settings file that refuses
// its writes at closing or holds binary. Whatever fails, the user sees the error
// once, nothing crashes, and the window stays usable.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Systeme/errors.h"
#include "app/main_form.h"
#include "ini_store_contract.h"
#include "main_form_fakes.h"
#include "scripted_hotfix_source.h"
#include "portable_ini_store.h"
#include "settings/settings_file.h"

namespace {

using namespace scripted_wmi;

// ---- Ports that can refuse, and a form built on them ----

// Remembers what the window's state was while each dialog was on screen.
class WatchingDialogs : public FakeDialogs {
 public:
  using FakeDialogs::FakeDialogs;
  int ShowTaskMessage(const std::string& title, const std::string& instruction,
                      const std::string& content, int icon, int buttons,
                      bool keepLineBreaks) override {
    busyDuringDialog.push_back(form != nullptr && form->Busy);
    batchDuringDialog.push_back(form != nullptr ? form->vst.BatchCount() : -1);
    liveDuringDialog.push_back(source != nullptr ? source->live : -1);
    return FakeDialogs::ShowTaskMessage(title, instruction, content, icon, buttons, keepLineBreaks);
  }
  const TMainForm* form = nullptr;
  const ScriptedSource* source = nullptr;
  std::vector<bool> busyDuringDialog;
  std::vector<int> batchDuringDialog;
  std::vector<int> liveDuringDialog;  // WMI objects not yet released
};

class RefusingShell : public Shell {
 public:
  void OpenDocument(const std::string& path) override {
    ++attempts;
    if (refuse) throw std::runtime_error("Aucune application n'est associée à ce lien");
    opened.push_back(path);
  }
  bool refuse = false;
  int attempts = 0;
  std::vector<std::string> opened;
};

// Refuses the write number `refuseAt` (from 0) and every write after it.
class RefusingIniStore : public FakeIniStore {
 public:
  bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (refuseAt >= 0 && attempts++ >= refuseAt) return false;
    return FakeIniStore::WriteString(path, section, key, value);
  }
  int refuseAt = -1;
  int attempts = 0;
};

using IniKeys = std::map<std::string, std::string>;  // "SECTION/KEY" to its raw value

// A main window over the fakes, created with a settings file that holds `keys` (none: no file).
struct Rig {
  explicit Rig(const IniKeys& keys = {}) {
    if (!keys.empty()) ini.files[SettingsFilePath(f.executablePath)] = keys;
    MainFormPorts ports{f.view,    f.chrome,    dialogs,          source,
                        *f.locale, f.timeZone,  f.clipboard,      shell,
                        ini,       f.placement, f.executablePath, [this] { return f.currentYear; }};
    form = std::make_unique<TMainForm>(ports);
    dialogs.form = form.get();
    dialogs.source = &source;
    form->FormCreate();
  }

  std::vector<std::string> Ids() {
    std::vector<std::string> ids;
    for (PVirtualNode node = form->vst.FirstNode(); node; node = form->vst.NextNode(node)) {
      RecordSlot* slot = form->vst.NodeRecord(node);
      if (slot != nullptr && *slot) ids.push_back((*slot)->HotFixID.str());
    }
    return ids;
  }
  std::string Count() { return f.view.Caption(ControlId::LabelNbKB); }

  void ExpectIdle() {
    EXPECT_FALSE(form->Busy);
    EXPECT_EQ(f.view.cursor, TCursor::crDefault);
    EXPECT_EQ(form->vst.BatchCount(), 0);
    EXPECT_EQ(source.live, 0) << "a WMI object outlived the scan";
    bool canClose = false;
    form->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
  }

  MainFormFixture f;
  WatchingDialogs dialogs{f.log};
  ScriptedSource source{f.log};
  RefusingShell shell;
  RefusingIniStore ini;
  std::unique_ptr<TMainForm> form;
};

std::string Hex8(std::uint32_t code) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(code));
  return text;
}

// ---- The scan: every step against every code ----

struct WmiCode {
  std::uint32_t code;
  const char* message;
};
const WmiCode kCodes[] = {
    {0x80004005, "Erreur non spécifiée"},
    {0x80070005, "Accès refusé"},
    {0x800706BA, "Le serveur RPC n'est pas disponible"},
    {0x8004100E, "Espace de noms non valide"},
    {0x80041010, "Classe non valide"},
};

struct ScanCase {
  std::string name;
  Fault fault;
  std::optional<std::string> instructionPrefix;  // none: no dialog at all
  std::vector<std::string> ids;                  // rows left, in KB order
  std::string count;
};

std::vector<ScanCase> ScanCases() {
  const std::vector<std::string> all = {"KB1", "KB2", "KB3"};
  std::vector<ScanCase> cases;
  for (const WmiCode& c : kCodes) {
    const std::string code = Hex8(c.code);
    auto fault = [&](Step step, std::size_t after = 0, std::string property = {}) {
      return Fault{step, c.code, c.message, after, std::move(property)};
    };
    cases.push_back({"locator " + code, fault(Step::Locator), "Erreur (système) 0x", {}, ""});
    cases.push_back({"connect " + code, fault(Step::Connect), "Erreur (exception) 0x", {}, ""});
    cases.push_back(
        {"InstancesOf " + code, fault(Step::InstancesOf), "Erreur (exception) 0x", {}, ""});
    // The rows read before Next fails stay, with their count; a failure after the last object
    // still reports.
    for (std::size_t k : {0u, 1u, 3u}) {
      std::vector<std::string> kept(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(k));
      cases.push_back({"Next after " + std::to_string(k) + " " + code, fault(Step::Next, k),
                       "Erreur (exception) 0x", kept, k == 0 ? "" : "(" + std::to_string(k) + ")"});
    }
    // An object that cannot be read gives no row, says nothing, and still counts.
    for (const char* property : {"Description", "HotFixID", "InstalledBy", "InstalledOn"}) {
      cases.push_back({std::string(property) + " of KB2 " + code,
                       fault(Step::Property, 1, property),
                       std::nullopt,
                       {"KB1", "KB3"},
                       "(3)"});
    }
    cases.push_back({"HotFixID of every object " + code,
                     fault(Step::Property, kEveryObject, "HotFixID"),
                     std::nullopt,
                     {},
                     "(3)"});
  }
  return cases;
}

TEST(FaultInjectionTest, EveryWmiStepFailingWithEveryCode) {
  for (const ScanCase& c : ScanCases()) {
    SCOPED_TRACE(c.name);
    Rig rig;
    // The rows of an earlier scan must not survive a failed one.
    rig.source.objects = {Hotfix("KB8"), Hotfix("KB9")};
    rig.form->BtnSearchClick();
    ASSERT_EQ(rig.Ids(), (std::vector<std::string>{"KB8", "KB9"}));

    rig.source.objects = {Hotfix("KB1"), Hotfix("KB2"), Hotfix("KB3")};
    rig.source.fault = c.fault;
    rig.form->RunUserAction([&] { rig.form->BtnSearchClick(); });

    EXPECT_TRUE(rig.dialogs.errorReports.empty());
    if (c.instructionPrefix) {
      ASSERT_EQ(rig.dialogs.messages.size(), 1u);
      const ShownMessage& shown = rig.dialogs.messages[0];
      EXPECT_EQ(shown.title, "Fixtally");
      EXPECT_EQ(shown.instruction, *c.instructionPrefix + Hex8(c.fault.code));
      EXPECT_EQ(shown.content, c.fault.message);
      EXPECT_EQ(shown.icon, 84);
      EXPECT_EQ(shown.buttons, 1);
      EXPECT_FALSE(shown.keepLineBreaks);
      // Shown from inside the scan, the batch still open, every WMI object already released.
      EXPECT_EQ(rig.dialogs.busyDuringDialog, std::vector<bool>{true});
      EXPECT_EQ(rig.dialogs.batchDuringDialog, std::vector<int>{1});
      EXPECT_EQ(rig.dialogs.liveDuringDialog, std::vector<int>{0});
    } else {
      EXPECT_TRUE(rig.dialogs.messages.empty());
    }
    EXPECT_EQ(rig.Ids(), c.ids);
    EXPECT_EQ(rig.Count(), c.count);
    rig.ExpectIdle();

    // The next scan works as if nothing had happened.
    rig.source.fault = Fault{};
    rig.form->BtnSearchClick();
    EXPECT_EQ(rig.Ids(), (std::vector<std::string>{"KB1", "KB2", "KB3"}));
    EXPECT_EQ(rig.Count(), "(3)");
    EXPECT_EQ(rig.dialogs.messages.size(), c.instructionPrefix ? 1u : 0u);
    rig.ExpectIdle();
  }
}

TEST(FaultInjectionTest, TheCodeAlwaysShowsAsEightUpperCaseDigits) {
  const struct {
    std::uint32_t code;
    const char* instruction;
  } cases[] = {
      {0x00000001, "Erreur (exception) 0x00000001"},
      {0x0000ABCD, "Erreur (exception) 0x0000ABCD"},
      {0xFFFFFFFF, "Erreur (exception) 0xFFFFFFFF"},
      {0x80000000, "Erreur (exception) 0x80000000"},
  };
  for (const auto& c : cases) {
    Rig rig;
    rig.source.fault = Fault{Step::Connect, c.code, "", 0, {}};
    rig.form->BtnSearchClick();
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].instruction, c.instruction);
    EXPECT_EQ(rig.dialogs.messages[0].content, "");
    rig.ExpectIdle();
  }
}

// ---- Copy and web link ----

TEST(FaultInjectionTest, AClipboardThatRefusesReachesTheGeneralReport) {
  Rig rig;
  rig.source.objects = {Hotfix("KB3"), Hotfix("KB1"), Hotfix("KB2")};
  rig.form->BtnSearchClick();
  const std::vector<std::string> before = rig.Ids();
  rig.f.clipboard.refuse = true;

  rig.form->RunUserAction([&] { rig.form->BtnCopyClick(); });

  EXPECT_EQ(rig.dialogs.errorReports,
            std::vector<std::string>{"Impossible d'ouvrir le Presse-papiers"});
  EXPECT_EQ(rig.f.clipboard.text, "(previous content)");
  EXPECT_EQ(rig.f.clipboard.writes, 0);
  EXPECT_EQ(rig.Ids(), before);
  EXPECT_EQ(rig.Count(), "(3)");
  rig.ExpectIdle();

  // Once the clipboard is free again, the same action works.
  rig.f.clipboard.refuse = false;
  rig.form->RunUserAction([&] { rig.form->BtnCopyClick(); });
  EXPECT_EQ(rig.dialogs.errorReports.size(), 1u);
  EXPECT_EQ(rig.f.clipboard.writes, 1);
  EXPECT_NE(rig.f.clipboard.text.find("KB2"), std::string::npos);
}

TEST(FaultInjectionTest, AShellThatRefusesBreaksNothing) {
  for (const bool byDoubleClick : {false, true}) {
    SCOPED_TRACE(byDoubleClick ? "double click" : "button");
    Rig rig;
    rig.source.objects = {Hotfix("KB1"), Hotfix("KB2")};
    rig.form->BtnSearchClick();
    rig.form->vst.UserClickNode(rig.form->vst.NodeAt(1));
    const PVirtualNode focused = rig.form->vst.CurrentNode();
    rig.shell.refuse = true;

    rig.form->RunUserAction([&] {
      if (byDoubleClick) {
        rig.form->vst.DoubleClick();
      } else {
        rig.form->BtnLinkWebClick();
      }
    });

    EXPECT_EQ(rig.shell.attempts, 1);
    EXPECT_EQ(rig.dialogs.errorReports.size(), 1u);
    EXPECT_EQ(rig.form->vst.CurrentNode(), focused);
    EXPECT_EQ(rig.Ids(), (std::vector<std::string>{"KB1", "KB2"}));
    rig.ExpectIdle();

    rig.shell.refuse = false;
    rig.form->RunUserAction([&] { rig.form->BtnLinkWebClick(); });
    ASSERT_EQ(rig.shell.opened.size(), 1u);
    EXPECT_NE(rig.shell.opened[0].find('2'), std::string::npos);
  }
}

// ---- The settings file ----

TEST(FaultInjectionTest, ASettingsFileThatRefusesWritesAtClosingIsReportedAndTheCloseGoesOn) {
  // 9 placement keys, 3 of section VERSION, 4 options: refused at the first, in the middle,
  // at the first option and at the last one.
  for (const int refuseAt : {0, 8, 9, 12, 15}) {
    SCOPED_TRACE(refuseAt);
    Rig rig(IniKeys{{"OPTION/WRITEINI", "1"}});
    ASSERT_TRUE(rig.form->Settings.WriteIni);
    rig.source.objects = {Hotfix("KB1")};
    rig.form->BtnSearchClick();
    rig.ini.refuseAt = refuseAt;

    bool canClose = false;
    rig.form->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    EXPECT_NO_THROW(rig.form->FormClose());
    EXPECT_EQ(rig.dialogs.errorReports, std::vector<std::string>{"Impossible d'écrire dans " +
                                                                 rig.form->Settings.IniFileName});
    // The writes before the refused one are kept; none is tried after it.
    EXPECT_EQ(rig.ini.writes.size(), static_cast<std::size_t>(refuseAt));
    EXPECT_EQ(rig.ini.attempts, refuseAt + 1);

    EXPECT_NO_THROW(rig.form->FormDestroy());
    EXPECT_EQ(rig.form->vst.RootNodeCount(), 0);
  }
}

std::string Noise(std::size_t size, std::uint32_t seed, bool withZeros) {
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
    if (!withZeros && c == '\0') c = '\x01';
  }
  return bytes;
}

TEST(FaultInjectionTest, BinarySettingsThroughTheWholeWindow) {
  // Every key holds binary; the numbers cannot be read and keep their defaults, the texts are
  // taken as they are and every action that uses them still ends normally.
  IniKeys keys;
  const std::string binary = Noise(100000, 3, true);
  for (const char* key :
       {"OPTION/WRITEINI", "OPTION/COLUMNSORDER", "OPTION/SORTCOLUMN", "OPTION/SORTDIRECTION",
        "OPTION/MSKBID", "OPTION/DEFCHAR", "OPTION/NBRCHAR", "HOST/LOCALHOST", "HOST/ROOT",
        "HOST/USER", "HOST/PASSWORD", "MAINFORM/FormVersion", "MAINFORM/Flags", "MAINFORM/ShowCmd",
        "MAINFORM/PixelsPerInch", "MAINFORM/MinMaxPos", "MAINFORM/NormPos"}) {
    keys[key] = binary;
  }
  Rig rig(keys);
  TMainForm& form = *rig.form;

  EXPECT_FALSE(form.Settings.WriteIni);
  EXPECT_EQ(form.Settings.SortColumn, 0);
  EXPECT_TRUE(form.Settings.SortDirection);
  EXPECT_EQ(form.Settings.NbrChar, 1);
  const Rig withoutFile;
  for (TColumnIndex column = 0; column < 4; ++column) {
    EXPECT_EQ(form.vst.Column(column).Width, withoutFile.form->vst.Column(column).Width);
  }
  EXPECT_EQ(form.vst.SortColumn(), 0);
  EXPECT_EQ(form.vst.SortDirection(), sdAscending);

  rig.source.objects = {Hotfix("KB1"), Hotfix("KB2")};
  form.RunUserAction([&] { form.BtnSearchClick(); });
  EXPECT_EQ(rig.Ids(), (std::vector<std::string>{"KB1", "KB2"}));
  form.vst.UserClickNode(form.vst.FirstNode());
  form.RunUserAction([&] { form.BtnCopyClick(); });
  form.RunUserAction([&] { form.BtnLinkWebClick(); });
  // A binary link template either gives an address or is refused with a message.
  EXPECT_EQ(rig.shell.opened.size() + rig.dialogs.errorReports.size(), 1u);
  EXPECT_EQ(rig.f.clipboard.writes, 1);
  form.FormClose();
  EXPECT_TRUE(rig.ini.writes.empty());
  form.FormDestroy();
  EXPECT_EQ(form.vst.RootNodeCount(), 0);
}

}  // namespace
