// Starting without a settings file, scanning Wine's installed hotfixes, closing.
#include <gtest/gtest.h>

#include <thread>

#include "e2e_support.h"

namespace {

using namespace e2e;

TEST(StartAndScan, StartsWithTheFourColumnsAnEmptyListAndNoCount) {
  ProgramFolder folder;
  Program program;
  ASSERT_TRUE(program.Start(folder));

  EXPECT_EQ(WindowText(program.Window()), kMainCaption)
      << "saw the caption \"" << Narrow(WindowText(program.Window())) << "\"";
  const std::vector<std::wstring> captions = {L"KB Windows", L"Install\u00e9 le", L"Description",
                                              L"Install\u00e9 par"};
  EXPECT_EQ(HeaderCaptions(program.List()), captions);
  EXPECT_EQ(ItemCount(program.List()), 0) << "expected an empty list before any scan";
  EXPECT_TRUE((GetWindowLongW(program.List(), GWL_STYLE) & LVS_OWNERDATA) != 0)
      << "the list holds no texts of its own";
  RECT bounds;
  GetWindowRect(program.Window(), &bounds);
  EXPECT_NEAR((bounds.left + bounds.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1)
      << "without settings the window is centred on the screen";
  EXPECT_NEAR((bounds.top + bounds.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_EQ(program.Text(LabelNbKB), L"")
      << "expected no count before any scan, saw \"" << Narrow(program.Text(LabelNbKB)) << "\"";
  EXPECT_EQ(program.Text(BtnSearch), L"Analyser");
  EXPECT_EQ(program.Text(BtnCopy), L"Copier");
  EXPECT_EQ(program.Text(BtnLinkWeb), L"Lien Web");
  EXPECT_EQ(program.Text(BtnClose), L"Quitter");
  // Without settings the list sorts by "KB Windows", ascending.
  EXPECT_EQ(SortMarks(program.List()), "^---");
  // Nothing was written: saving needs a settings file that asks for it.
  EXPECT_EQ(GetFileAttributesW(folder.Ini().c_str()), INVALID_FILE_ATTRIBUTES)
      << "expected no Fixtally.ini to be created";
}

TEST(StartAndScan, EscapeWithoutAScanRunningAsksNothing) {
  ProgramFolder folder;
  Program program;
  ASSERT_TRUE(program.Start(folder));

  for (HWND target : {program.Window(), program.List(), program.Control(EditSearch)}) {
    PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0000001);
  }
  ASSERT_TRUE(program.Settle());
  EXPECT_EQ(FindProcessWindow(program.Id(), L"#32770", nullptr), nullptr)
      << "expected no dialog after Escape while idle, saw one";
  EXPECT_TRUE(IsWindowVisible(program.Window())) << "Escape closed or hid the main window";
  EXPECT_EQ(program.Quit(), 0);
}

TEST(StartAndScan, AnalyserShowsWinesHotfixAndItsCount) {
  ProgramFolder folder;
  Program program;
  ASSERT_TRUE(program.Start(folder));

  ASSERT_TRUE(program.Scan(L"(1)"));
  const auto rows = Rows(program.List());
  EXPECT_EQ(rows, WineHotfixRows())
      << "expected 1 row [KB1234567 | 22/2/2022 | Update | ], saw " << Describe(rows);
  EXPECT_EQ(FindProcessWindow(program.Id(), L"#32770", nullptr), nullptr)
      << "expected no dialog after a successful scan";
}

// The cursor the program shows while the pointer stands over its list. Cursor handles of
// another process can only be compared, not looked into, so the test compares the cursor
// after a scan with the one before any scan.
HCURSOR CursorOverList(const Program& program) {
  RECT list{};
  GetClientRect(program.List(), &list);
  list = ToScreen(program.List(), list);
  MovePointerTo(POINT{GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2});
  MovePointerTo(POINT{list.left + 40, list.bottom - 30});
  MovePointerTo(POINT{list.left + 60, list.bottom - 40});
  CURSORINFO info{};
  info.cbSize = sizeof info;
  HCURSOR seen = nullptr;
  // Real input reaches the program after what was posted to it, so wait for a steady answer.
  WaitUntil(
      [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        if (!GetCursorInfo(&info)) return false;
        const bool steady = info.hCursor != nullptr && info.hCursor == seen;
        seen = info.hCursor;
        return steady;
      },
      3000);
  return seen;
}

TEST(StartAndScan, TheCursorIsTheArrowAgainAfterTheScan) {
  ProgramFolder folder;
  Program program;
  ASSERT_TRUE(program.Start(folder));
  const HCURSOR before = CursorOverList(program);
  ASSERT_NE(before, nullptr) << "no cursor over the list";

  ASSERT_TRUE(program.Scan());
  const HCURSOR after = CursorOverList(program);
  EXPECT_EQ(after, before) << "expected the cursor of before the scan (the arrow) over the list, "
                              "saw another one (the hourglass left in place?)";
}

TEST(StartAndScan, ASecondAnalyserGivesTheSameSingleRow) {
  ProgramFolder folder;
  Program program;
  ASSERT_TRUE(program.Start(folder));

  ASSERT_TRUE(program.Scan(L"(1)"));
  ASSERT_TRUE(program.Scan(L"(1)")) << "the second scan";
  const auto rows = Rows(program.List());
  EXPECT_EQ(rows, WineHotfixRows())
      << "expected the rows of the first scan replaced, saw " << Describe(rows);
}

TEST(StartAndScan, QuitterWhenIdleEndsTheProcessWithZero) {
  ProgramFolder folder;
  Program program;
  ASSERT_TRUE(program.Start(folder));
  ASSERT_TRUE(program.Scan());

  const long code = program.Quit();
  EXPECT_EQ(code, 0) << "expected exit code 0, saw " << code << " (-1: still running after 15 s)";
  EXPECT_EQ(WaitForSingleObject(program.Process().Handle(), 0), WAIT_OBJECT_0)
      << "the process is still there";
  EXPECT_FALSE(IsWindow(program.Window())) << "the main window outlived its process";
  EXPECT_EQ(GetFileAttributesW(folder.Ini().c_str()), INVALID_FILE_ATTRIBUTES)
      << "expected no Fixtally.ini after closing without one";
}

}  // namespace
