// Loading and saving the settings file: the value rules, the order of reads and writes, the
// exact bytes of a saved file, refused writes, and files of any content.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Systeme/app_folder.h"
#include "Systeme/errors.h"
#include "Systeme/extract_quoted.h"
#include "ini_store_contract.h"
#include "settings/builtin_texts.h"
#include "portable_ini_store.h"
#include "list/column_widths.h"
#include "settings/settings_file.h"
#include "settings/window_placement_port.h"
#include "window_placement_fake.h"

namespace {

using ini_contract::FileBytes;
using ini_contract::ScratchFolder;
using ini_contract::WriteFileBytes;

// A hidden window at start-up, 770 x 600 at (235, 212), that reports its own show command.
struct StillWindow : FakeWindowPlacement {
  StillWindow() {
    record = {0, 1, {-1, -1}, {-1, -1}, {235, 212, 1005, 812}};
    bounds = {235, 212, 770, 600};
    reportsOwnShowCmd = true;
  }
};

// Passes everything to a real store, records each call and refuses the write number failAt.
class RecordingStore : public IniStore {
 public:
  explicit RecordingStore(IniStore& inner) : inner_(inner) {}
  std::vector<std::string> reads;
  std::vector<std::string> writes;
  int failAt = -1;

  bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
  std::string ReadString(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& defaultValue) override {
    reads.push_back(section + "/" + key);
    return inner_.ReadString(path, section, key, defaultValue);
  }
  bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (static_cast<int>(writes.size()) == failAt) return false;
    writes.push_back(section + "/" + key + "=" + value);
    return inner_.WriteString(path, section, key, value);
  }
  std::string PathForMessage(const std::string& path) override {
    return inner_.PathForMessage(path);
  }

 private:
  IniStore& inner_;
};

// The program's state during start-up, up to LoadSettings, with the settings file in a folder
// of its own.
struct StartUp {
  ScratchFolder folder;
  PortableIniStore disk;
  RecordingStore ini{disk};
  StillWindow window;
  TFormPlacement placement{window};
  TSettings settings;
  TVirtualStringTree list;

  StartUp() {
    settings.IniFileName = folder.File("Fixtally.ini");
    placement.IniFileName = settings.IniFileName;
    placement.IniSection = "MAINFORM";
    settings.Root = DefaultNamespace();
    settings.MsKbId = DefaultKbLinkTemplate();
    for (const char* caption :
         {"KB Windows", "Install\xC3\xA9 le", "Description", "Install\xC3\xA9 par"}) {
      list.AddColumn(caption, 150);
    }
  }
  void File(const std::string& bytes) { WriteFileBytes(settings.IniFileName, bytes); }
  void Load() {
    LoadSettings(settings, ini, placement);
    ApplyColumnWidths(ReadColumnWidths(settings.ColumnsOrder), list);
    list.SetSortColumn(settings.SortColumn);
    list.SetSortDirection(DirectionFromFlag(settings.SortDirection));
  }
  void Save() {
    const ListSettings saved{ColumnWidths(list), list.SortColumn(),
                             AscendingFlag(list.SortDirection())};
    SaveSettings(settings, ini, placement, saved, "Copyright (c) 2026 Fixtally");
  }
  std::vector<int> Widths() const {
    std::vector<int> widths;
    for (int i = 0; i < list.ColumnCount(); ++i) widths.push_back(list.Column(i).Width);
    return widths;
  }
};

TEST(LoadSettings, NoFileKeepsTheDefaults) {
  StartUp s;
  s.Load();
  EXPECT_FALSE(s.settings.WriteIni);
  EXPECT_EQ(s.settings.DefChar, " | ");
  EXPECT_EQ(s.settings.NbrChar, 1);
  EXPECT_EQ(s.settings.LocalHost, ".");
  EXPECT_EQ(s.settings.Root, DefaultNamespace());
  EXPECT_EQ(s.settings.MsKbId, DefaultKbLinkTemplate());
  EXPECT_EQ(s.settings.User, "");
  EXPECT_EQ(s.settings.Password, "");
  EXPECT_EQ(s.list.SortColumn(), 0);
  EXPECT_EQ(s.list.SortDirection(), sdAscending);
  EXPECT_EQ(s.Widths(), (std::vector<int>{150, 150, 150, 150}));
  EXPECT_TRUE(s.ini.reads.empty());
  EXPECT_EQ(s.window.Calls(), 0);  // the window stays centred and untouched
  s.Save();                        // WRITEINI stays off: nothing is created
  EXPECT_FALSE(FileBytes(s.settings.IniFileName).has_value());
}

TEST(LoadSettings, PlacementFirstThenEveryKeyInOrder) {
  StartUp s;
  s.File("[OPTION]\r\n");
  s.Load();
  ASSERT_GE(s.ini.reads.size(), 11u);
  EXPECT_EQ(s.ini.reads.front(), "MAINFORM/FormVersion");
  const std::vector<std::string> settingsReads(s.ini.reads.end() - 11, s.ini.reads.end());
  EXPECT_EQ(settingsReads,
            (std::vector<std::string>{"OPTION/WRITEINI", "OPTION/COLUMNSORDER", "OPTION/SORTCOLUMN",
                                      "OPTION/SORTDIRECTION", "OPTION/MSKBID", "OPTION/DEFCHAR",
                                      "OPTION/NBRCHAR", "HOST/LOCALHOST", "HOST/ROOT", "HOST/USER",
                                      "HOST/PASSWORD"}));
  for (std::size_t i = 0; i + 11 < s.ini.reads.size(); ++i) {
    EXPECT_EQ(s.ini.reads[i].rfind("MAINFORM/", 0), 0u) << s.ini.reads[i];
  }
}

TEST(LoadSettings, ValueRules) {
  struct Case {
    const char* name;
    std::string option;  // lines of section OPTION
    std::string host;    // lines of section HOST
    std::function<void(const StartUp&)> check;
  };
  const std::vector<Case> cases = {
      {"WRITEINI true is no integer", "WRITEINI=true\r\n", "",
       [](const StartUp& s) { EXPECT_FALSE(s.settings.WriteIni); }},
      {"WRITEINI 2", "WRITEINI=2\r\n", "",
       [](const StartUp& s) { EXPECT_TRUE(s.settings.WriteIni); }},
      {"WRITEINI hex", "WRITEINI=$1\r\n", "",
       [](const StartUp& s) { EXPECT_TRUE(s.settings.WriteIni); }},
      {"SORTDIRECTION 0", "SORTDIRECTION=0\r\n", "",
       [](const StartUp& s) { EXPECT_EQ(s.list.SortDirection(), sdDescending); }},
      {"SORTDIRECTION 1", "SORTDIRECTION=1\r\n", "",
       [](const StartUp& s) { EXPECT_EQ(s.list.SortDirection(), sdAscending); }},
      {"SORTDIRECTION bad keeps default", "SORTDIRECTION=desc\r\n", "",
       [](const StartUp& s) { EXPECT_EQ(s.list.SortDirection(), sdAscending); }},
      {"SORTCOLUMN", "SORTCOLUMN=2\r\n", "",
       [](const StartUp& s) { EXPECT_EQ(s.list.SortColumn(), 2); }},
      {"SORTCOLUMN hex", "SORTCOLUMN=0x3\r\n", "",
       [](const StartUp& s) { EXPECT_EQ(s.settings.SortColumn, 3); }},
      {"SORTCOLUMN out of range", "SORTCOLUMN=99999999999\r\n", "",
       [](const StartUp& s) { EXPECT_EQ(s.settings.SortColumn, 0); }},
      {"COLUMNSORDER bad piece", "COLUMNSORDER=0=100,1=abc,2=300\r\n", "",
       [](const StartUp& s) {
         EXPECT_EQ(s.Widths(), (std::vector<int>{100, 150, 300, 150}));
       }},
      {"COLUMNSORDER piece without equals", "COLUMNSORDER=0=100,x,1=120\r\n", "",
       [](const StartUp& s) {
         EXPECT_EQ(s.Widths(), (std::vector<int>{100, 120, 150, 150}));
       }},
      {"COLUMNSORDER index ignored", "COLUMNSORDER=3=80\r\n", "",
       [](const StartUp& s) {
         EXPECT_EQ(s.Widths(), (std::vector<int>{80, 150, 150, 150}));
       }},
      {"COLUMNSORDER extra piece", "COLUMNSORDER=0=100,1=100,2=100,3=100,4=100\r\n", "",
       [](const StartUp& s) {
         EXPECT_EQ(s.Widths(), (std::vector<int>{100, 100, 100, 100}));
       }},
      {"COLUMNSORDER clamped", "COLUMNSORDER=0=-5,1=999999,2=$20\r\n", "",
       [](const StartUp& s) {
         EXPECT_EQ(s.Widths(), (std::vector<int>{10, 10000, 32, 150}));
       }},
      {"COLUMNSORDER commas only", "COLUMNSORDER=,,,,\r\n", "",
       [](const StartUp& s) {
         EXPECT_EQ(s.Widths(), (std::vector<int>{150, 150, 150, 150}));
       }},
      {"COLUMNSORDER empty widths", "COLUMNSORDER=0=,1==5,=70\r\n", "",
       [](const StartUp& s) {
         EXPECT_EQ(s.Widths(), (std::vector<int>{150, 150, 70, 150}));
       }},
      {"DEFCHAR quoted blank", "DEFCHAR=\" \"\r\nNBRCHAR=3\r\n", "",
       [](const StartUp& s) {
         EXPECT_EQ(s.settings.DefChar, " ");
         EXPECT_EQ(s.settings.NbrChar, 3);
       }},
      {"DEFCHAR blanks dropped", "DEFCHAR= - \r\n", "",
       [](const StartUp& s) { EXPECT_EQ(s.settings.DefChar, "-"); }},
      {"DEFCHAR one quote", "DEFCHAR=a\"b\r\n", "",
       [](const StartUp& s) { EXPECT_EQ(s.settings.DefChar, "a\"b"); }},
      {"DEFCHAR quotes inside", "DEFCHAR=x\"; \"y\r\n", "",
       [](const StartUp& s) { EXPECT_EQ(s.settings.DefChar, "; "); }},
      {"DEFCHAR missing", "WRITEINI=0\r\n", "",
       [](const StartUp& s) { EXPECT_EQ(s.settings.DefChar, " | "); }},
      {"NBRCHAR 0 and negative", "NBRCHAR=-4\r\n", "",
       [](const StartUp& s) { EXPECT_EQ(s.settings.NbrChar, -4); }},
      {"MSKBID", "MSKBID=http://example.invalid/?kb=%s\r\n", "",
       [](const StartUp& s) { EXPECT_EQ(s.settings.MsKbId, "http://example.invalid/?kb=%s"); }},
      {"HOST", "", "LOCALHOST=server\r\nROOT=root\\other\r\nUSER=DOM\\me\r\nPASSWORD=\"p w\"\r\n",
       [](const StartUp& s) {
         EXPECT_EQ(s.settings.LocalHost, "server");
         EXPECT_EQ(s.settings.Root, "root\\other");
         EXPECT_EQ(s.settings.User, "DOM\\me");
         EXPECT_EQ(s.settings.Password, "p w");
       }},
      {"HOST empty values", "", "LOCALHOST=\r\nROOT=\r\n",
       [](const StartUp& s) {
         EXPECT_EQ(s.settings.LocalHost, "");
         EXPECT_EQ(s.settings.Root, "");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StartUp s;
    s.File("[OPTION]\r\n" + c.option + "[HOST]\r\n" + c.host);
    s.Load();
    c.check(s);
  }
}

TEST(SaveSettings, ExactBytesFromAFileThatOnlyEnablesWriting) {
  StartUp s;
  s.File("[OPTION]\r\nWRITEINI=1\r\n");
  s.Load();
  s.settings.Password = "secret";  // a password must never reach the file
  s.list.SetColumnWidth(3, 200);
  s.Save();
  EXPECT_EQ(*FileBytes(s.settings.IniFileName),
            "[OPTION]\r\n"
            "WRITEINI=1\r\n"
            "COLUMNSORDER=0=150,1=150,2=150,3=200\r\n"
            "SORTCOLUMN=0\r\n"
            "SORTDIRECTION=1\r\n"
            "[MAINFORM]\r\n"
            "FormVersion=0\r\n"
            "Flags=0\r\n"
            "ShowCmd=1\r\n"
            "PixelsPerInch=96\r\n"
            "MinMaxPos(1280x1024)=-1,-1,-4,-4\r\n"
            "MinMaxPos=-1,-1,-4,-4\r\n"
            "NormPos(1280x1024)=235,212,1005,812\r\n"
            "NormPos=235,212,1005,812\r\n"
            "Visible=0\r\n"
            "[VERSION]\r\n"
            "NAME=Fixtally\r\n"
            "VERSION=1.2.0.0\r\n"
            "COPYRIGHT=Copyright (c) 2026 Fixtally\r\n");
}

TEST(SaveSettings, WritesTheListsStateNotTheLoadedOne) {
  StartUp s;
  s.File("[OPTION]\r\nWRITEINI=2\r\nSORTDIRECTION=0\r\nSORTCOLUMN=1\r\nCOLUMNSORDER=garbage\r\n");
  s.Load();
  s.list.SetSortDirection(sdAscending);  // the user sorted ascending
  s.list.SetSortColumn(3);
  s.list.SetColumnWidth(0, 99);
  s.ini.writes.clear();
  s.Save();
  const std::vector<std::string> tail(s.ini.writes.end() - 7, s.ini.writes.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"VERSION/NAME=Fixtally", "VERSION/VERSION=1.2.0.0",
                                            "VERSION/COPYRIGHT=Copyright (c) 2026 Fixtally",
                                            "OPTION/WRITEINI=1",
                                            "OPTION/COLUMNSORDER=0=99,1=150,2=150,3=150",
                                            "OPTION/SORTCOLUMN=3", "OPTION/SORTDIRECTION=1"}));
  EXPECT_EQ(s.ini.writes.front(), "MAINFORM/FormVersion=0");
  for (const std::string& write : s.ini.writes) {
    EXPECT_EQ(write.find("HOST"), std::string::npos);
    EXPECT_EQ(write.find("DEFCHAR"), std::string::npos);
  }
}

TEST(SaveSettings, ARefusedWriteRaisesAndStopsThere) {
  StartUp probe;
  probe.File("[OPTION]\r\nWRITEINI=1\r\n");
  probe.Load();
  probe.Save();
  const std::vector<std::string> all = probe.ini.writes;
  ASSERT_EQ(all.size(), 16u);
  for (int failAt = 0; failAt < static_cast<int>(all.size()); ++failAt) {
    SCOPED_TRACE("refused write " + std::to_string(failAt));
    StartUp s;
    s.File("[OPTION]\r\nWRITEINI=1\r\n");
    s.Load();
    s.ini.failAt = failAt;
    try {
      s.Save();
      ADD_FAILURE() << "no error raised";
    } catch (const EFixtallyError& error) {
      EXPECT_EQ(std::string(error.what()),
                "Impossible d'\xC3\xA9"
                "crire dans " +
                    s.settings.IniFileName);
    }
    EXPECT_EQ(s.ini.writes, std::vector<std::string>(all.begin(), all.begin() + failAt));
  }
}

TEST(SaveSettings, NothingWithoutWriteIni) {
  StartUp s;
  s.File("[OPTION]\r\nWRITEINI=0\r\n\r\n");
  s.Load();
  const int callsAfterLoad = s.window.Calls();
  s.Save();
  EXPECT_TRUE(s.ini.writes.empty());
  EXPECT_EQ(s.window.Calls(), callsAfterLoad);
  EXPECT_EQ(*FileBytes(s.settings.IniFileName), "[OPTION]\r\nWRITEINI=0\r\n\r\n");
}

TEST(ColumnWidthsText, ListsEveryColumnByIndex) {
  TVirtualStringTree list;
  const auto text = [&] { return ColumnWidthsText(ColumnWidths(list)); };
  const auto apply = [&](const std::string& saved) {
    ApplyColumnWidths(ReadColumnWidths(saved), list);
  };
  EXPECT_EQ(text(), "");
  list.AddColumn("a", 150);
  EXPECT_EQ(text(), "0=150");
  for (int width : {150, 150, 200}) list.AddColumn("b", width);
  EXPECT_EQ(text(), "0=150,1=150,2=150,3=200");
  apply(text());  // what was saved applies unchanged
  EXPECT_EQ(text(), "0=150,1=150,2=150,3=200");
  apply("");
  apply(std::string(10000, '='));
  // Only 255 characters after the "=" are read: the last digit here is not.
  apply("0=" + std::string(253, '0') + "779");
  EXPECT_EQ(text(), "0=77,1=150,2=150,3=200");
}

TEST(SortFlags, MapBothWays) {
  EXPECT_TRUE(AscendingFlag(sdAscending));
  EXPECT_FALSE(AscendingFlag(sdDescending));
  EXPECT_EQ(DirectionFromFlag(true), sdAscending);
  EXPECT_EQ(DirectionFromFlag(false), sdDescending);
}

TEST(ExtractQuoted, BetweenTheFirstTwoQuotesWithin260Characters) {
  struct Case {
    std::string text;
    std::string expected;
  };
  const std::string x259(259, 'x');
  const std::string x260(260, 'x');
  const Case cases[] = {
      {"\" | \"", " | "},
      {" | ", " | "},
      {"", ""},
      {"\"", "\""},
      {"\"\"", ""},
      {"a\"b", "a\"b"},
      {"a\"b\"c\"d", "b"},
      {"\"" + x259 + "\"", x259},
      {"\"" + x260 + "\"", "\"" + x260 + "\""},
      {"ab\"" + x259 + "\"tail", x259},
      {"\"" + std::string(10000, 'y'), "\"" + std::string(10000, 'y')},
      {"\"\xE9\xE8\"", "\xE9\xE8"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExtractQuoted(c.text), c.expected) << c.text.substr(0, 20);
}

TEST(ApplicationFolder, FolderWithoutTrailingBackslash) {
  struct Case {
    std::string exe;
    std::string folder;
  };
  const Case cases[] = {
      {"C:\\Program Files\\Fixtally\\Fixtally.exe", "C:\\Program Files\\Fixtally"},
      {"C:\\Fixtally.exe", "C:"},
      {"C:\\tools\\\\Fixtally.exe", "C:\\tools"},
      {"\\\\server\\share\\Fixtally.exe", "\\\\server\\share"},
      {"C:/tools/Fixtally.exe", "C:/tools/"},
      {"Fixtally.exe", ""},
      {"", ""},
      {"\\\\\\", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ApplicationFolder(c.exe), c.folder) << c.exe;
  EXPECT_EQ(SettingsFilePath("C:\\Fixtally.exe"), "C:\\Fixtally.ini");
  EXPECT_EQ(SettingsFilePath("D:\\Apps\\Fixtally.exe"), "D:\\Apps\\Fixtally.ini");
  EXPECT_EQ(StripTrailingBackslashes("a\\b\\\\"), "a\\b");
  EXPECT_EQ(StripTrailingBackslashes(std::string(10000, '\\')), "");
}

TEST(Unscramble, BuiltInTextsAndBounds) {
  // The namespace and class under which WMI lists the installed hotfixes, the address of one
  // update's page with the one "%s" for its number, and the program's home page.
  EXPECT_EQ(DefaultNamespace(), "root\\cimv2");
  EXPECT_EQ(HotfixClassName(), "Win32_QuickFixEngineering");
  EXPECT_EQ(DefaultKbLinkTemplate(), "https://support.microsoft.com/help/%s");
  EXPECT_EQ(HomePageAddress(), "www.fixtally.fr");

  const std::uint8_t empty[] = {0};
  EXPECT_EQ(Unscramble(empty), "");
  EXPECT_EQ(Unscramble(ScrambledText()), "");
  const std::uint8_t ab[] = {2, 'a' ^ kScrambleKey, 'b' ^ kScrambleKey};
  EXPECT_EQ(Unscramble(ab), "ab");
  // A length byte that promises more than is stored gives only what is stored.
  const std::uint8_t shortStore[] = {255, 'z' ^ kScrambleKey};
  EXPECT_EQ(Unscramble(shortStore), "z");
  std::vector<std::uint8_t> full(256);
  full[0] = 255;
  for (int i = 1; i < 256; ++i) full[i] = static_cast<std::uint8_t>(i ^ kScrambleKey);
  const std::string all = Unscramble(full);
  ASSERT_EQ(all.size(), 255u);
  EXPECT_EQ(static_cast<unsigned char>(all[254]), 255);
}

}  // namespace
