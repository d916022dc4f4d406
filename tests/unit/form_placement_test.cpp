// The window placement record: what a restore applies to the window and in which order, and the
// keys a save writes.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "Systeme/errors.h"
#include "ini_store_contract.h"
#include "settings/form_placement.h"
#include "portable_ini_store.h"
#include "settings/window_placement_port.h"
#include "window_placement_fake.h"

namespace {

// The window as these tests place it: 770 x 600 at (235, 212), a sizing frame 5 pixels high.
struct FakeWindow : FakeWindowPlacement {
  FakeWindow() {
    record = {0, 1, {-1, -1}, {-1, -1}, {235, 212, 1005, 812}};
    bounds = {235, 212, 770, 600};
    frameHeight = 5;
  }
};

// Keys of section MAINFORM as the API returns them; writes are logged.
class MapStore : public IniStore {
 public:
  std::map<std::string, std::string> keys;
  std::vector<std::string> writes;
  int failAt = -1;

  bool FileExists(const std::string&) override { return true; }
  std::string ReadString(const std::string&, const std::string& section, const std::string& key,
                         const std::string& defaultValue) override {
    const auto found = keys.find(key);
    return section == "MAINFORM" && found != keys.end() ? found->second : defaultValue;
  }
  bool WriteString(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (static_cast<int>(writes.size()) == failAt) return false;
    writes.push_back(path + "|" + section + "|" + key + "=" + value);
    return true;
  }
  std::string PathForMessage(const std::string& path) override { return path; }
};

struct Restored {
  FakeWindow window;
  std::vector<std::string> log;
};

Restored Restore(const std::map<std::string, std::string>& keys,
                 const std::function<void(FakeWindow&)>& setUp = {}) {
  Restored result;
  if (setUp) setUp(result.window);
  MapStore ini;
  ini.keys = keys;
  TFormPlacement placement(result.window);
  placement.IniFileName = "C:\\Fixtally.ini";
  placement.IniSection = "MAINFORM";
  placement.RestoreWindowPlacement(ini);
  result.log = result.window.log;
  return result;
}

const std::vector<std::string> kNormalOnly = {"State Normal", "Repaint", "SetWindowPlacement"};
const std::vector<std::string> kPlacedNormal = {"NotCentred", "SetWindowPlacement", "State Normal",
                                                "Repaint", "SetWindowPlacement"};

TEST(RestoreWindowPlacement, NormalRectangle) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> keys;
    std::vector<std::string> log;
    PlacementRect applied;  // the first record applied, when the position is applied
  };
  const std::vector<Case> cases = {
      {"four words", {{"NormPos", "100,50,900,650"}}, kPlacedNormal, {100, 50, 900, 650}},
      {"matching PixelsPerInch",
       {{"NormPos", "100,50,900,650"}, {"PixelsPerInch", "96"}},
       kPlacedNormal,
       {100, 50, 900, 650}},
      {"blanks and commas",
       {{"NormPos", " 100 , 50,,900 650"}},
       kPlacedNormal,
       {100, 50, 900, 650}},
      {"two words take the current size",
       {{"NormPos", "100,50"}},
       kPlacedNormal,
       {100, 50, 235 + 770, 212 + 600}},
      {"unreadable words take the current place",
       {{"NormPos", "x,50,y,650"}},
       kPlacedNormal,
       {235, 50, 1005, 650}},
      {"negative coordinates",
       {{"NormPos", "-1000,-50,-200,650"}},
       kPlacedNormal,
       {-1000, -50, -200, 650}},
      {"hexadecimal", {{"NormPos", "$64,x32,0x384,650"}}, kPlacedNormal, {100, 50, 900, 650}},
      {"right not after left", {{"NormPos", "500,50,400,650"}}, kNormalOnly, {}},
      {"right equal to left", {{"NormPos", "500,50,500,650"}}, kNormalOnly, {}},
      {"other PixelsPerInch",
       {{"NormPos", "100,50,900,650"}, {"PixelsPerInch", "120"}},
       kNormalOnly,
       {}},
      {"no keys", {}, kNormalOnly, {}},
      {"FormVersion negative",
       {{"NormPos", "100,50,900,650"}, {"FormVersion", "-1"}},
       {"SetWindowPlacement"},
       {}},
      {"FormVersion later",
       {{"NormPos", "100,50,900,650"}, {"FormVersion", "1"}},
       kPlacedNormal,
       {100, 50, 900, 650}},
      {"huge text", {{"NormPos", std::string(100000, '9')}}, kPlacedNormal, {235, 212, 1005, 812}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Restored r = Restore(c.keys);
    EXPECT_EQ(r.log, c.log);
    if (c.log == kPlacedNormal) {
      const WindowPlacementRecord& first = r.window.applied.front();
      EXPECT_EQ(first.rcNormalPosition, c.applied);
      EXPECT_EQ(first.showCmd, 0u);  // applying must not show the hidden window
    }
  }
}

TEST(RestoreWindowPlacement, ResolutionKeyWins) {
  const std::map<std::string, std::string> keys = {{"NormPos(1280x1024)", "10,10,500,500"},
                                                   {"NormPos", "20,20,600,600"}};
  EXPECT_EQ(Restore(keys).window.applied.front().rcNormalPosition,
            (PlacementRect{10, 10, 500, 500}));
  // Another screen without a key of its own takes the last placement of any screen.
  const Restored other = Restore(keys, [](FakeWindow& w) {
    w.screenWidth = 1024;
    w.screenHeight = 768;
  });
  EXPECT_EQ(other.window.applied.front().rcNormalPosition, (PlacementRect{20, 20, 600, 600}));
  // An empty resolution key counts as missing.
  EXPECT_EQ(Restore({{"NormPos(1280x1024)", ""}, {"NormPos", "20,20,600,600"}})
                .window.applied.front()
                .rcNormalPosition,
            (PlacementRect{20, 20, 600, 600}));
}

TEST(RestoreWindowPlacement, MinMaxPositionsFlagsAndMaximizedAdjustment) {
  const Restored r = Restore({{"MinMaxPos(1280x1024)", "-32000,-32000,7,8"},
                              {"NormPos", "100,50,900,650"},
                              {"Flags", "2"}});
  ASSERT_EQ(r.window.applied.size(), 2u);
  EXPECT_EQ(r.window.applied[0].ptMinPosition, (PlacementPoint{-32000, -32000}));
  EXPECT_EQ(r.window.applied[0].ptMaxPosition, (PlacementPoint{7, 8}));
  EXPECT_EQ(r.window.applied[0].flags, 2u);
  // Afterwards the maximized window sits with its sizing frame just off the screen.
  EXPECT_EQ(r.window.applied[1].ptMaxPosition, (PlacementPoint{-4, -5}));
  EXPECT_EQ(r.window.applied[1].rcNormalPosition, (PlacementRect{100, 50, 900, 650}));
  EXPECT_EQ(r.window.applied[1].showCmd, 0u);

  // MinMaxPos alone counts as a found position; its unreadable words are 0.
  const Restored minMaxOnly = Restore({{"MinMaxPos", "a,b"}});
  EXPECT_EQ(minMaxOnly.log, kPlacedNormal);
  EXPECT_EQ(minMaxOnly.window.applied[0].ptMinPosition, (PlacementPoint{0, 0}));

  // A visible window keeps its show command.
  const Restored visible = Restore({{"NormPos", "100,50,900,650"}}, [](FakeWindow& w) {
    w.visible = true;
    w.record.showCmd = 3;
  });
  EXPECT_EQ(visible.window.applied[0].showCmd, 3u);
}

TEST(RestoreWindowPlacement, ShowCmdGivesTheState) {
  struct Case {
    std::string showCmd;
    std::vector<std::string> stateLog;
  };
  const std::vector<std::string> normal = {"State Normal", "Repaint"};
  const std::vector<std::string> maximized = {"State Maximized", "Repaint"};
  const std::vector<std::string> minimized = {"State Normal", "PostMinimize"};
  const Case cases[] = {
      {"1", normal},    {"5", normal},         {"9", normal}, {"3", maximized},  {"2", minimized},
      {"6", minimized}, {"7", minimized},      {"0", normal}, {"4", normal},     {"8", normal},
      {"-1", normal},   {"maximized", normal}, {"", normal},  {"$3", maximized}, {"0x2", minimized},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("ShowCmd " + c.showCmd);
    // With another PixelsPerInch no position applies, yet the state still does.
    const Restored r =
        Restore({{"ShowCmd", c.showCmd}, {"NormPos", "100,50,900,650"}, {"PixelsPerInch", "144"}});
    std::vector<std::string> expected = c.stateLog;
    expected.push_back("SetWindowPlacement");
    EXPECT_EQ(r.log, expected);
  }
}

TEST(SaveWindowPlacement, KeysInOrder) {
  FakeWindow window;
  window.record = {2, 3, {-32000, -32000}, {-4, -4}, {100, 50, 900, 650}};
  window.pixelsPerInch = 120;
  MapStore ini;
  TFormPlacement placement(window);
  placement.IniFileName = "C:\\Fixtally.ini";
  placement.IniSection = "MAINFORM";
  placement.SaveWindowPlacement(ini);
  const std::string p = "C:\\Fixtally.ini|MAINFORM|";
  EXPECT_EQ(
      ini.writes,
      (std::vector<std::string>{
          p + "FormVersion=0", p + "Flags=2", p + "ShowCmd=3", p + "PixelsPerInch=120",
          p + "MinMaxPos(1280x1024)=-32000,-32000,-4,-4", p + "MinMaxPos=-32000,-32000,-4,-4",
          p + "NormPos(1280x1024)=100,50,900,650", p + "NormPos=100,50,900,650", p + "Visible=0"}));
  EXPECT_TRUE(window.log.empty());
}

TEST(SaveWindowPlacement, MinimizedApplicationStoresShowCmd2) {
  FakeWindow window;
  window.minimized = true;
  window.record.showCmd = 0;  // the system may report the minimized window otherwise
  MapStore ini;
  TFormPlacement placement(window);
  placement.IniFileName = "f";
  placement.IniSection = "MAINFORM";
  placement.SaveWindowPlacement(ini);
  EXPECT_EQ(ini.writes[2], "f|MAINFORM|ShowCmd=2");
}

TEST(FormPlacement, WhatOneRunSavesTheNextRestores) {
  const ini_contract::ScratchFolder folder;
  PortableIniStore ini;
  FakeWindow before;
  before.record = {0, 3, {-1, -1}, {-4, -4}, {100, 50, 900, 650}};
  TFormPlacement saver(before);
  saver.IniFileName = folder.File("Fixtally.ini");
  saver.IniSection = "MAINFORM";
  saver.SaveWindowPlacement(ini);

  FakeWindow after;
  TFormPlacement restorer(after);
  restorer.IniFileName = saver.IniFileName;
  restorer.IniSection = "MAINFORM";
  restorer.RestoreWindowPlacement(ini);
  EXPECT_EQ(after.log,
            (std::vector<std::string>{"NotCentred", "SetWindowPlacement", "State Maximized",
                                      "Repaint", "SetWindowPlacement"}));
  EXPECT_EQ(after.record.rcNormalPosition, (PlacementRect{100, 50, 900, 650}));
}

}  // namespace
