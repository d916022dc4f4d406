// The window's keys, the list's context menu, the row's copy commands and "Exporter…", over
// fakes: which command a key means, what the menu offers in each state, and what each command
// hands to the clipboard, the dialog and the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/export_choice.h"
#include "app/window_commands.h"
#include "list_rows_test_support.h"
#include "main_form_fakes.h"
#include "scripted_hotfix_source.h"

namespace {

using namespace list_rows;

TShiftState Keys(bool ctrl, bool shift, bool alt = false) {
  TShiftState state;
  state.ctrl = ctrl;
  state.shift = shift;
  state.alt = alt;
  return state;
}

TEST(CommandForKey, EachKeyWhereItCounts) {
  using enum WindowCommand;
  using enum KeyTarget;
  struct Case {
    std::uint16_t key;
    TShiftState shift;
    KeyTarget target;
    WindowCommand expected;
  };
  const Case cases[] = {
      {vk::F5, Keys(false, false), List, Scan},
      {vk::F5, Keys(false, false), SearchBox, Scan},
      {vk::F5, Keys(true, false), List, None},
      {vk::Return, Keys(false, false), List, OpenRowPage},
      {vk::Return, Keys(false, false), SearchBox, None},
      {vk::Return, Keys(false, false), Other, None},
      {vk::C, Keys(true, false), List, CopyRow},
      {vk::C, Keys(true, false), SearchBox, None},  // the box's own copy
      {vk::C, Keys(false, false), List, None},      // typed: the keyboard search's
      {vk::C, Keys(true, true), List, CopyList},
      {vk::C, Keys(true, true), SearchBox, CopyList},
      {vk::C, Keys(true, false, true), List, None},  // Ctrl+Alt is AltGr
      {vk::F, Keys(true, false), List, FindText},
      {vk::F, Keys(true, false), SearchBox, FindText},
      {vk::F3, Keys(false, false), Other, FindText},
      {vk::S, Keys(true, false), SearchBox, Export},
      {vk::S, Keys(false, false), List, None},
      {vk::Apps, Keys(false, false), List, ContextMenu},
      {vk::Apps, Keys(false, false), SearchBox, None},  // the box's own menu
      {vk::F10, Keys(false, true), List, ContextMenu},
      {vk::F10, Keys(false, false), List, None},
      {27, Keys(false, false), List, None},  // Escape stays the window's question
      {'A', Keys(false, false), List, None},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CommandForKey(c.key, c.shift, c.target), c.expected)
        << "key " << c.key << " ctrl " << c.shift.ctrl << " shift " << c.shift.shift << " alt "
        << c.shift.alt << " target " << static_cast<int>(c.target);
  }
}

// The menu as one line: "-" a separator, "*" the default, "(grey)" a greyed command.
std::string Describe(const std::vector<ContextMenuItem>& items) {
  std::string text;
  for (const ContextMenuItem& item : items) {
    if (!text.empty()) text += ", ";
    if (item.command == WindowCommand::None) {
      text += "-";
      continue;
    }
    text += item.text;
    if (item.isDefault) text += "*";
    if (!item.enabled) text += "(grey)";
  }
  return text;
}

TEST(ListContextMenu, ItemsAndGreyStates) {
  struct Case {
    ContextMenuState state;
    const char* expected;
  };
  const Case cases[] = {
      {{true, true, false},
       "Ouvrir la page Web*, Copier la ligne, Copier le numéro KB, -, Copier la liste, "
       "Exporter…, -, Analyser"},
      {{false, true, false}, "Copier la liste, Exporter…, -, Analyser"},
      {{false, false, false}, "Copier la liste(grey), Exporter…(grey), -, Analyser"},
      {{true, true, true},
       "Ouvrir la page Web*(grey), Copier la ligne(grey), Copier le numéro KB(grey), -, "
       "Copier la liste(grey), Exporter…(grey), -, Analyser(grey)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Describe(ListContextMenu(c.state)), c.expected)
        << "onRow " << c.state.onRow << " hasRows " << c.state.hasRows << " busy " << c.state.busy;
  }
}

// The menu shows each command's key after a tab, and that key runs the command from the list.
TEST(ListContextMenu, ShowsTheKeyThatRunsEachCommand) {
  struct Case {
    WindowCommand command;
    const char* shortcut;
    std::uint16_t key;
    TShiftState shift;
  };
  const Case cases[] = {
      {WindowCommand::OpenRowPage, "Entrée", vk::Return, Keys(false, false)},
      {WindowCommand::CopyRow, "Ctrl+C", vk::C, Keys(true, false)},
      {WindowCommand::CopyKb, "", 0, Keys(false, false)},
      {WindowCommand::CopyList, "Ctrl+Maj+C", vk::C, Keys(true, true)},
      {WindowCommand::Export, "Ctrl+S", vk::S, Keys(true, false)},
      {WindowCommand::Scan, "F5", vk::F5, Keys(false, false)},
  };
  const std::vector<ContextMenuItem> menu = ListContextMenu({true, true, false});
  for (const Case& c : cases) {
    const auto item = std::find_if(
        menu.begin(), menu.end(), [&](const ContextMenuItem& i) { return i.command == c.command; });
    ASSERT_NE(item, menu.end()) << static_cast<int>(c.command);
    EXPECT_EQ(item->shortcut, c.shortcut) << item->text;
    if (c.key != 0) {
      EXPECT_EQ(CommandForKey(c.key, c.shift, KeyTarget::List), c.command) << item->text;
    }
  }
}

TEST(ExportChoice, NameFormatAndFolder) {
  EXPECT_EQ(ProposedExportName("PC-01", 2026, 3, 5), "Fixtally-PC-01-2026-03-05.csv");
  EXPECT_EQ(ProposedExportName("srv\\inst:1/*?\"<>|\t", 2026, 12, 31),
            "Fixtally-srv_inst_1________-2026-12-31.csv");

  // The type chosen decides the format, and the name's extension follows it.
  struct Case {
    const char* path;
    int filterIndex;
    ExportFormat format;
    const char* written;
  };
  const Case cases[] = {
      {"C:\\a\\list.csv", 2, ExportFormat::Json, "C:\\a\\list.json"},  // the proposed name
      {"C:\\a\\list.json", 1, ExportFormat::Csv, "C:\\a\\list.csv"},
      {"C:\\a\\list.Csv", 3, ExportFormat::Text, "C:\\a\\list.txt"},
      {"C:\\a\\list.TXT", 3, ExportFormat::Text, "C:\\a\\list.TXT"},  // its own, any case
      {"C:\\a\\list", 2, ExportFormat::Json, "C:\\a\\list.json"},
      {"C:\\a\\list.", 3, ExportFormat::Text, "C:\\a\\list.txt"},
      {"C:\\a.b\\list", 1, ExportFormat::Csv, "C:\\a.b\\list.csv"},     // a folder's dot
      {"C:\\a\\list.xlsx", 3, ExportFormat::Text, "C:\\a\\list.xlsx"},  // the user's own
      {"C:\\a\\list.json.bak", 2, ExportFormat::Json, "C:\\a\\list.json.bak"},
      {"list.json", 0, ExportFormat::Csv, "list.csv"},  // no such type: CSV
      {"list.csv", 9, ExportFormat::Csv, "list.csv"},
  };
  for (const Case& c : cases) {
    const ExportFormat format = ExportFormatOfType(c.filterIndex);
    EXPECT_EQ(format, c.format) << c.path << " " << c.filterIndex;
    EXPECT_EQ(PathForFormat(c.path, format), c.written) << c.path << " " << c.filterIndex;
  }

  EXPECT_EQ(FolderOf("C:\\Users\\me\\list.csv"), "C:\\Users\\me");
  EXPECT_EQ(FolderOf("C:\\list.csv"), "C:\\");
  EXPECT_EQ(FolderOf("list.csv"), "");
}

// Records what the commands asked of the system and answers as a test sets it.
class FakeCommandPorts : public CommandPorts {
 public:
  WindowCommand ShowContextMenu(const std::vector<ContextMenuItem>& items, int, int) override {
    shownMenus.push_back(Describe(items));
    return menuChoice;
  }
  void FocusSearchBox() override { ++searchFocused; }
  std::optional<ExportTarget> AskExportTarget(const std::string& fileName,
                                              const std::string& folder) override {
    asked.push_back(fileName + " in [" + folder + "]");
    return target;
  }
  void WriteWholeFile(const std::string& path, const std::string& bytes) override {
    if (refuseWrite) throw EFixtallyError("Impossible d'enregistrer « " + path + " »");
    writtenPath = path;
    writtenBytes = bytes;
  }
  bool FileExists(const std::string& path) override { return existing.count(path) > 0; }
  std::string ComputerName() override { return "PC-01"; }
  std::string ListSeparator() override { return ";"; }
  CalendarDate Today() override { return {2026, 3, 5}; }

  WindowCommand menuChoice = WindowCommand::None;
  std::optional<ExportTarget> target;
  bool refuseWrite = false;
  std::set<std::string> existing;
  std::vector<std::string> shownMenus;
  std::vector<std::string> asked;
  std::string writtenPath;
  std::string writtenBytes;
  int searchFocused = 0;
};

class WindowCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TMainForm& form = fixture.Build();
    form.Settings.DefChar = " | ";
    form.Settings.NbrChar = 1;
    form.Settings.MsKbId = "https://support.example.com/kb/%s";
  }
  // The fixture's ports with the commands' port added.
  TMainForm& Form() {
    if (!withCommands) {
      MainFormPorts ports = fixture.form->Ports();
      ports.commands = &commands;
      fixture.form = std::make_unique<TMainForm>(ports);
      fixture.form->Settings.DefChar = " | ";
      fixture.form->Settings.NbrChar = 1;
      fixture.form->Settings.MsKbId = "https://support.example.com/kb/%s";
      withCommands = true;
    }
    return *fixture.form;
  }
  std::vector<PVirtualNode> AddWineRows() {
    return AddRows(Form().vst,
                   {{"KB5034441", "1/9/2024", "Security Update", "NT AUTHORITY\\SYSTEM"},
                    {"KB95", "12/31/2023", "Update", ""},
                    {"=KB1", "", "Hotfix", "admin"}});
  }

  MainFormFixture fixture;
  FakeCommandPorts commands;
  bool withCommands = false;
};

TEST_F(WindowCommandsTest, CopyRowIsItsLineOfTheWholeCopyAndCopyKbItsIdentifier) {
  const std::vector<PVirtualNode> nodes = AddWineRows();
  Form().BtnCopyClick();
  const std::string whole = fixture.clipboard.text;
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < whole.size();) {
    const std::size_t end = whole.find("\r\n", at) + 2;
    lines.push_back(whole.substr(at, end - at));
    at = end;
  }
  ASSERT_EQ(lines.size(), 3u);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const PVirtualNode node = Form().vst.NodeAt(static_cast<int>(i));
    Form().CopyRowClick(node);
    EXPECT_EQ(fixture.clipboard.text, lines[i]) << "row " << i;
    Form().CopyKbClick(node);
    EXPECT_EQ(fixture.clipboard.text, RecordOf(Form().vst, node)->HotFixID.str());
  }
  // Ctrl+C in the list copies the focused row; without one it only beeps.
  fixture.clipboard.text = "before";
  EXPECT_TRUE(Form().FormShortcut(vk::C, Keys(true, false), KeyTarget::List));
  EXPECT_EQ(fixture.clipboard.text, "before");
  EXPECT_EQ(fixture.dialogs.beeps, 1);
  Form().vst.FocusNode(nodes[1]);
  EXPECT_TRUE(Form().FormShortcut(vk::C, Keys(true, false), KeyTarget::List));
  EXPECT_EQ(fixture.clipboard.text, lines[1]);
  EXPECT_FALSE(Form().FormShortcut(vk::C, Keys(true, false), KeyTarget::SearchBox));
}

TEST_F(WindowCommandsTest, MenuRunsTheChosenCommandOnItsRow) {
  const std::vector<PVirtualNode> nodes = AddWineRows();
  Form().vst.FocusNode(nodes[0]);
  commands.menuChoice = WindowCommand::OpenRowPage;
  Form().vstContextMenu(nodes[1], 0, 0);  // the row under the pointer, not the focused one
  EXPECT_EQ(fixture.shell.opened, std::vector<std::string>{"https://support.example.com/kb/95"});
  commands.menuChoice = WindowCommand::CopyKb;
  Form().vstContextMenu(nodes[1], 0, 0);
  EXPECT_EQ(fixture.clipboard.text, "KB95");

  commands.menuChoice = WindowCommand::None;
  Form().vstContextMenu(nullptr, 0, 0);
  Form().Busy = true;
  Form().vstContextMenu(nodes[2], 0, 0);
  ASSERT_EQ(commands.shownMenus.size(), 4u);
  EXPECT_EQ(commands.shownMenus[2], "Copier la liste, Exporter…, -, Analyser");
  EXPECT_NE(commands.shownMenus[3].find("Analyser(grey)"), std::string::npos);
}

TEST_F(WindowCommandsTest, ExportWritesTheChosenFormatAndRemembersTheFolder) {
  Form().ExportClick();  // no rows: a beep, no dialog
  EXPECT_EQ(fixture.dialogs.beeps, 1);
  EXPECT_TRUE(commands.asked.empty());

  AddWineRows();
  commands.target = ExportTarget{"D:\\exports\\list.csv", 2};
  EXPECT_TRUE(Form().FormShortcut(vk::S, Keys(true, false), KeyTarget::List));
  commands.target = ExportTarget{"D:\\exports\\list", 2};  // no extension: the file type chosen
  Form().ExportClick();
  commands.target.reset();  // cancelled: nothing written
  commands.writtenPath.clear();
  Form().ExportClick();
  EXPECT_EQ(commands.asked,
            (std::vector<std::string>{"Fixtally-PC-01-2026-03-05.csv in []",
                                      "Fixtally-PC-01-2026-03-05.csv in [D:\\exports]",
                                      "Fixtally-PC-01-2026-03-05.csv in [D:\\exports]"}));
  EXPECT_EQ(commands.writtenPath, "");

  commands.target = ExportTarget{"D:\\exports\\list.csv", 1};
  Form().ExportClick();
  EXPECT_EQ(commands.writtenBytes.substr(0, 3), "\xEF\xBB\xBF") << "a CSV file starts with a BOM";
  EXPECT_NE(commands.writtenBytes.find("PC-01;'=KB1;"), std::string::npos)
      << "computer, list separator and a neutralised formula cell:\n"
      << commands.writtenBytes;

  commands.target = ExportTarget{"D:\\exports\\list", 2};
  Form().ExportClick();
  EXPECT_EQ(commands.writtenBytes.substr(0, 14), "{\"computers\":[");

  // A refused write goes to the caller (the general error report) and the rows stay.
  commands.refuseWrite = true;
  EXPECT_THROW(Form().ExportClick(), EFixtallyError);
  EXPECT_EQ(Form().vst.RootNodeCount(), 3);

  Form().Busy = true;  // during a scan, refused as a second "Analyser" is
  commands.asked.clear();
  Form().ExportClick();
  EXPECT_TRUE(commands.asked.empty());
}

// JSON chosen while the proposed name still ends in ".csv": a JSON file, named so. The dialog
// only asked about the name it returned, so a file under the new name is asked about here.
TEST_F(WindowCommandsTest, TheChosenTypeDecidesTheFormatAndTheNameFollows) {
  AddWineRows();
  commands.target = ExportTarget{"D:\\exports\\list.csv", 2};
  Form().ExportClick();
  EXPECT_EQ(commands.writtenPath, "D:\\exports\\list.json");
  EXPECT_EQ(commands.writtenBytes.substr(0, 14), "{\"computers\":[");
  EXPECT_TRUE(fixture.dialogs.messages.empty()) << "no file of that name: nothing to ask";

  commands.existing = {"D:\\exports\\list.json", "D:\\exports\\list.csv"};
  for (const int answer : {mrNo, mrYes}) {
    commands.writtenPath.clear();
    fixture.dialogs.answers = {answer};
    Form().ExportClick();
    EXPECT_EQ(commands.writtenPath, answer == mrYes ? "D:\\exports\\list.json" : "");
  }
  ASSERT_EQ(fixture.dialogs.messages.size(), 2u);
  EXPECT_NE(fixture.dialogs.messages[0].content.find("D:\\exports\\list.json"), std::string::npos);
  EXPECT_EQ(fixture.dialogs.messages[0].buttons, tdbYes | tdbNo);

  // The name the dialog returned and asked about itself is not asked about again.
  commands.target = ExportTarget{"D:\\exports\\list.csv", 1};
  Form().ExportClick();
  EXPECT_EQ(commands.writtenPath, "D:\\exports\\list.csv");
  EXPECT_EQ(fixture.dialogs.messages.size(), 2u);
}

TEST_F(WindowCommandsTest, AnExportTellsWhetherTheScanWasComplete) {
  const struct {
    const char* name;
    scripted_wmi::Step step;
    bool stop;
    std::string status;  // the JSON's status and error code
  } cases[] = {
      {"every object read", scripted_wmi::Step::None, false,
       "\"status\":\"complete\",\"errorCode\":\"0x00000000\""},
      {"failed after two objects", scripted_wmi::Step::Next, false,
       "\"status\":\"incomplete\",\"errorCode\":\"0x80041001\",\"errorText\":\"Echec\""},
      {"stopped by the user", scripted_wmi::Step::None, true,
       "\"status\":\"incomplete\",\"errorCode\":\"0x800704C7\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    scripted_wmi::ScriptedSource source{fixture.log};
    source.objects = {scripted_wmi::Hotfix("KB1"), scripted_wmi::Hotfix("KB2"),
                      scripted_wmi::Hotfix("KB3")};
    source.fault.step = c.step;
    source.fault.code = 0x80041001u;
    source.fault.message = "Echec";
    source.fault.after = 2;
    if (c.stop) source.beforeNext = [&](std::size_t i) { Form().CancelRequested = i == 2; };
    fixture.source = &source;
    fixture.Build();
    withCommands = false;
    Form().BtnSearchClick();
    commands.target = ExportTarget{"D:\\exports\\list.json", 2};
    Form().ExportClick();
    EXPECT_NE(commands.writtenBytes.find(c.status), std::string::npos) << commands.writtenBytes;
  }
}

}  // namespace
