// Real clicks on the column headers, and the search box marking rows in blue.
#include <gtest/gtest.h>

#include <thread>

#include "e2e_support.h"

namespace {

using namespace e2e;

constexpr COLORREF kMatchBlue = RGB(0, 0, 255);

// Two clicks on one spot closer than the double-click time would be a double click.
void AwaitDoubleClickTime() {
  std::this_thread::sleep_for(std::chrono::milliseconds(GetDoubleClickTime() + 100));
}

// Out of the list, so that no row is hot-tracked in its own colour.
void ParkPointer() {
  MovePointerTo(POINT{GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2});
}

int BluePixelsOfRow(HWND list, int row) {
  return CountScreenPixels(ItemRectOnScreen(list, row), kMatchBlue);
}

class SortingAndSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.Start(folder_));
    ASSERT_TRUE(program_.Scan());
    ASSERT_EQ(ItemCount(program_.List()), 1);
  }

  // Real clicks in the middle of a column's header, then the sort marks they lead to.
  ::testing::AssertionResult ClickHeader(int column, const std::string& expectedMarks,
                                         int clicks = 1) {
    const RECT item = HeaderItemRectOnScreen(program_.List(), column);
    if (item.right <= item.left) {
      return ::testing::AssertionFailure() << "no header item for column " << column;
    }
    if (!ClickAt(CentreOf(item), clicks)) return ::testing::AssertionFailure() << "xdotool failed";
    if (!WaitUntil([&] { return SortMarks(program_.List()) == expectedMarks; }, 5000)) {
      return ::testing::AssertionFailure()
             << "after a click on column " << column << " expected the sort marks " << expectedMarks
             << ", saw " << SortMarks(program_.List());
    }
    return ::testing::AssertionSuccess();
  }

  // The row loses its blue, and keeps it lost once every message has been handled.
  ::testing::AssertionResult RowTurnsUnmarked() {
    HWND list = program_.List();
    if (!WaitUntil([&] { return BluePixelsOfRow(list, 0) == 0; }, 5000)) {
      return ::testing::AssertionFailure()
             << "expected no blue in the row, saw " << BluePixelsOfRow(list, 0) << " blue pixels";
    }
    if (!program_.Settle()) return ::testing::AssertionFailure() << "the program hangs";
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const int blue = BluePixelsOfRow(list, 0);
    if (blue != 0) {
      return ::testing::AssertionFailure() << "the row turned blue again: " << blue << " pixels";
    }
    return ::testing::AssertionSuccess();
  }

  ::testing::AssertionResult RowTurnsBlue() {
    HWND list = program_.List();
    if (!WaitUntil([&] { return BluePixelsOfRow(list, 0) > 0; }, 5000)) {
      return ::testing::AssertionFailure() << "expected the row's text in blue, saw no blue";
    }
    return ::testing::AssertionSuccess();
  }

  ProgramFolder folder_;
  Program program_;
};

TEST_F(SortingAndSearch, HeaderClicksMarkEachColumnInItsOwnDirection) {
  EXPECT_EQ(SortMarks(program_.List()), "^---") << "without settings: column 0 ascending";
  // The first click on "KB Windows" flips its ascending start to descending; on "Installé le"
  // its descending start flips to ascending.
  ASSERT_TRUE(ClickHeader(0, "v---"));
  ASSERT_TRUE(ClickHeader(1, "-^--"));
  AwaitDoubleClickTime();
  ASSERT_TRUE(ClickHeader(1, "-v--"));
  // Column 0 remembers its own last direction.
  ASSERT_TRUE(ClickHeader(0, "^---"));
  ASSERT_TRUE(ClickHeader(3, "---^"));
  // Wine's provider gives one row, which no sort moves: the order of rows is the unit tests'.
  EXPECT_EQ(FindProcessWindow(program_.Id(), L"#32770", nullptr), nullptr);
}

TEST_F(SortingAndSearch, RightAndMiddleClicksOnAHeaderChangeNothing) {
  const POINT column2 = CentreOf(HeaderItemRectOnScreen(program_.List(), 2));
  ASSERT_TRUE(ClickAt(column2, 1, 3));
  // Input is handled in the order it came: once a later left click shows, the right click has
  // been handled too. Had it counted, column 2 would now turn descending.
  ASSERT_TRUE(ClickHeader(3, "---^")) << "after a right click on column 2";
  ASSERT_TRUE(ClickHeader(2, "--^-")) << "after a right click on column 2";
  ASSERT_TRUE(ClickAt(column2, 1, 2));
  ASSERT_TRUE(ClickHeader(3, "---v")) << "after a middle click on column 2";
  ASSERT_TRUE(ClickHeader(2, "--v-")) << "after a middle click on column 2";
}

// The second press of a double click counts as a click of its own: the direction flips twice.
TEST_F(SortingAndSearch, ADoubleClickOnAHeaderSortsInTheDirectionHeldBefore) {
  ASSERT_TRUE(ClickHeader(1, "-v--", 2));
  AwaitDoubleClickTime();
  ASSERT_TRUE(ClickHeader(1, "-^--"));
}

TEST_F(SortingAndSearch, TypingTheIdentifiersBeginningMarksTheRowBlueAndFocusesIt) {
  ParkPointer();
  ASSERT_TRUE(program_.Settle());
  HWND list = program_.List();
  EXPECT_EQ(NextItem(list, LVNI_FOCUSED), -1) << "a fresh scan focuses no row";
  EXPECT_EQ(BluePixelsOfRow(list, 0), 0) << "a row was blue before any search";

  ASSERT_TRUE(program_.Type(L"kb123"));
  EXPECT_TRUE(RowTurnsBlue());
  EXPECT_EQ(NextItem(list, LVNI_FOCUSED), 0) << "expected the matching row focused";
  EXPECT_EQ(NextItem(list, LVNI_SELECTED), -1) << "the search must not select the row";

  program_.SetSearch(L"9");
  EXPECT_TRUE(RowTurnsUnmarked()) << "\"9\" must mark nothing";
  EXPECT_EQ(NextItem(list, LVNI_FOCUSED), 0) << "without a match the focus stays";

  program_.SetSearch(L"kb123");
  ASSERT_TRUE(RowTurnsBlue());
  program_.SetSearch(L"");
  EXPECT_TRUE(RowTurnsUnmarked()) << "an empty search box must unmark every row";
}

// Active column 0: the "KB" of both sides is ignored and the beginning is compared. The unit
// tests hold the table of texts; here one that marks without its "KB" and one that does not.
TEST_F(SortingAndSearch, SearchTextsOfTheIdentifierColumn) {
  ParkPointer();
  ASSERT_TRUE(program_.Settle());
  const struct {
    const wchar_t* text;
    bool marks;
  } cases[] = {{L"1234", true}, {L"234", false}};
  for (const auto& c : cases) {
    // Every case starts from a blue row or from an unmarked one, whichever shows a change.
    program_.SetSearch(c.marks ? L"" : L"1");
    ASSERT_TRUE(c.marks ? RowTurnsUnmarked() : RowTurnsBlue());
    program_.SetSearch(c.text);
    EXPECT_TRUE(c.marks ? RowTurnsBlue() : RowTurnsUnmarked())
        << "search text \"" << Narrow(c.text) << "\"";
  }
}

TEST_F(SortingAndSearch, OverlongAndForeignSearchTextsLeaveTheProgramWorking) {
  ParkPointer();
  std::wstring longText(10000, L'7');
  program_.SetSearch(longText);
  ASSERT_TRUE(program_.Settle());
  std::wstring foreign = L"\u00e9\u00fc\u4e2d\u0416\U0001F600";
  program_.SetSearch(foreign);
  ASSERT_TRUE(program_.Type(L"\u00ff\u00e9"));
  EXPECT_TRUE(program_.Responsive());
  EXPECT_EQ(BluePixelsOfRow(program_.List(), 0), 0);
  program_.SetSearch(L"KB1");
  EXPECT_TRUE(RowTurnsBlue()) << "the search no longer works after odd texts";
}

}  // namespace
