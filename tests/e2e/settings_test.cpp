// The settings file: what a run writes when the file asks for it, what the next run restores,
// and a WMI namespace from the file that does not exist.
#include <gtest/gtest.h>

#include <thread>

#include "e2e_support.h"

namespace {

using namespace e2e;

struct IniEntry {
  std::string section;
  std::string key;
  std::string value;
};

// Every key of the file in the order it stands, with its section.
std::vector<IniEntry> ParseIni(const std::string& text) {
  std::vector<IniEntry> entries;
  std::string section;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else if (const size_t equals = line.find('='); equals != std::string::npos) {
      entries.push_back({section, line.substr(0, equals), line.substr(equals + 1)});
    }
  }
  return entries;
}

std::string ValueOf(const std::vector<IniEntry>& entries, const std::string& section,
                    const std::string& key) {
  for (const auto& entry : entries) {
    if (entry.section == section && entry.key == key) return entry.value;
  }
  return "<missing>";
}

std::string RectText(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

::testing::AssertionResult ClickHeader(const Program& program, int column,
                                       const std::string& expectedMarks) {
  const RECT item = HeaderItemRectOnScreen(program.List(), column);
  if (item.right <= item.left) {
    return ::testing::AssertionFailure() << "no header item for column " << column;
  }
  if (!ClickAt(CentreOf(item))) return ::testing::AssertionFailure() << "xdotool failed";
  if (!WaitUntil([&] { return SortMarks(program.List()) == expectedMarks; }, 5000)) {
    return ::testing::AssertionFailure()
           << "after a click on column " << column << " expected the sort marks " << expectedMarks
           << ", saw " << SortMarks(program.List());
  }
  return ::testing::AssertionSuccess();
}

TEST(Settings, ARunWritesItsPlacementAndSortAndTheNextRunRestoresThem) {
  ProgramFolder folder("[OPTION]\r\nWRITEINI=1\r\n", true);
  const RECT placed{100, 60, 1000, 660};
  {
    Program program;
    ASSERT_TRUE(program.Start(folder));
    SetWindowPos(program.Window(), nullptr, placed.left, placed.top, placed.right - placed.left,
                 placed.bottom - placed.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT now{};
    ASSERT_TRUE(WaitUntil([&] {
      GetWindowRect(program.Window(), &now);
      return EqualRect(&now, &placed);
    })) << "the window did not move to "
        << RectText(placed) << ", it is at " << RectText(now);
    ASSERT_TRUE(program.Settle());

    // "Description" twice: ascending, then descending.
    ASSERT_TRUE(ClickHeader(program, 2, "--^-"));
    std::this_thread::sleep_for(std::chrono::milliseconds(GetDoubleClickTime() + 100));
    ASSERT_TRUE(ClickHeader(program, 2, "--v-"));

    const long code = program.Quit();
    ASSERT_EQ(code, 0) << "expected Quitter to end the program with 0, saw " << code;
  }

  const std::string text = folder.IniText();
  const std::vector<IniEntry> entries = ParseIni(text);
  const std::string resolution = "(" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                                 std::to_string(GetSystemMetrics(SM_CYSCREEN)) + ")";
  std::vector<std::string> order;
  for (const auto& entry : entries) order.push_back(entry.section + "." + entry.key);
  const std::vector<std::string> expectedOrder = {
      "OPTION.WRITEINI",
      "OPTION.COLUMNSORDER",
      "OPTION.SORTCOLUMN",
      "OPTION.SORTDIRECTION",
      "MAINFORM.FormVersion",
      "MAINFORM.Flags",
      "MAINFORM.ShowCmd",
      "MAINFORM.PixelsPerInch",
      "MAINFORM.MinMaxPos" + resolution,
      "MAINFORM.MinMaxPos",
      "MAINFORM.NormPos" + resolution,
      "MAINFORM.NormPos",
      "MAINFORM.Visible",
      "VERSION.NAME",
      "VERSION.VERSION",
      "VERSION.COPYRIGHT",
  };
  EXPECT_EQ(order, expectedOrder) << "the file holds:\n" << text;

  EXPECT_EQ(ValueOf(entries, "OPTION", "WRITEINI"), "1");
  const std::string columns = ValueOf(entries, "OPTION", "COLUMNSORDER");
  EXPECT_EQ(columns.rfind("0=150,1=150,2=150,3=", 0), 0u)
      << "expected the widths 150, 150, 150 and the rest, saw " << columns;
  EXPECT_EQ(ValueOf(entries, "OPTION", "SORTCOLUMN"), "2");
  EXPECT_EQ(ValueOf(entries, "OPTION", "SORTDIRECTION"), "0");
  EXPECT_EQ(ValueOf(entries, "MAINFORM", "FormVersion"), "0");
  EXPECT_EQ(ValueOf(entries, "MAINFORM", "ShowCmd"), "1");
  HDC screen = GetDC(nullptr);
  const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(ValueOf(entries, "MAINFORM", "PixelsPerInch"), std::to_string(pixelsPerInch));
  EXPECT_EQ(ValueOf(entries, "MAINFORM", "NormPos" + resolution), RectText(placed));
  EXPECT_EQ(ValueOf(entries, "MAINFORM", "NormPos"), RectText(placed));
  EXPECT_EQ(ValueOf(entries, "MAINFORM", "MinMaxPos"),
            ValueOf(entries, "MAINFORM", "MinMaxPos" + resolution));
  EXPECT_EQ(ValueOf(entries, "MAINFORM", "Visible"), "0");
  EXPECT_EQ(ValueOf(entries, "VERSION", "NAME"), "Fixtally");
  EXPECT_EQ(ValueOf(entries, "VERSION", "VERSION"), "1.2.0.0");
  const std::string copyright = ValueOf(entries, "VERSION", "COPYRIGHT");
  EXPECT_FALSE(copyright.empty() || copyright == "<missing>") << "no copyright line saved";

  Program again;
  ASSERT_TRUE(again.Start(folder));
  RECT reopened{};
  GetWindowRect(again.Window(), &reopened);
  EXPECT_TRUE(EqualRect(&reopened, &placed))
      << "expected the window at " << RectText(placed) << ", saw " << RectText(reopened);
  EXPECT_EQ(SortMarks(again.List()), "--v-") << "expected the saved sort: Description, descending";
  // The remembered direction of a column is not saved: its first click flips the start value
  // (descending for "Description") whatever the restored header shows.
  EXPECT_TRUE(ClickHeader(again, 2, "--^-"));
  EXPECT_EQ(again.Quit(), 0);
  EXPECT_EQ(ValueOf(ParseIni(folder.IniText()), "OPTION", "SORTDIRECTION"), "1");
}

TEST(Settings, AMissingNamespaceIsReportedAndTheProgramGoesOn) {
  const std::string ini = "[HOST]\r\nROOT=root\\nonexistent\r\n";
  ProgramFolder folder(ini, true);
  Program program;
  ASSERT_TRUE(program.Start(folder));

  for (int attempt = 1; attempt <= 2; ++attempt) {
    program.Click(BtnSearch);
    HWND dialog = program.WaitForDialog(30000);
    ASSERT_NE(dialog, nullptr) << "scan " << attempt
                               << ": expected the error dialog titled Fixtally, saw none";
    const std::vector<std::wstring> texts = ChildTexts(dialog);
    bool instruction = false;
    std::string seen;
    for (const auto& t : texts) {
      instruction = instruction || t == L"Erreur (exception) 0x8004100E";
      seen += "\"" + Narrow(t) + "\" ";
    }
    EXPECT_TRUE(instruction) << "scan " << attempt
                             << ": expected the main instruction Erreur (exception) 0x8004100E, "
                                "saw the texts "
                             << seen;
    HWND ok = GetDlgItem(dialog, IDOK);
    ASSERT_NE(ok, nullptr) << "the error dialog has no OK button";
    Press(ok);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10000))
        << "the error dialog did not close after OK";
    ASSERT_TRUE(program.Settle());
    EXPECT_TRUE(program.Responsive());
    EXPECT_EQ(ItemCount(program.List()), 0) << "expected an empty list after the failed scan";
    EXPECT_EQ(program.Text(LabelNbKB), L"") << "expected no count after the failed scan, saw \""
                                            << Narrow(program.Text(LabelNbKB)) << "\"";
  }
  EXPECT_EQ(program.Quit(), 0) << "Quitter after the failed scans";
  EXPECT_EQ(folder.IniText(), ini) << "a file without WRITEINI=1 must not be rewritten";
}

}  // namespace
