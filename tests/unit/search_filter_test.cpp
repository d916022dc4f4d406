// The search box marks the rows whose text in the sort column begins with the search text and
// focuses the first of them, without hiding or selecting anything.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "list/sort_keys.h"
#include "list_rows_test_support.h"
#include "main_form_fakes.h"

namespace {

using namespace list_rows;

struct RepaintRecorder {
  void operator()(const ListChanges& changes) { immediateRepaints += changes.paintNow ? 1 : 0; }
  int immediateRepaints = 0;
};

const std::vector<Row> kRows = {
    {"KB501", "3/14/2013", "Security Update", "Admin"},
    {"kb5099", "3/1/2013", "Update", ""},
    {"KB150", "12/3/2013", "\xE9t\xE9 update", "admin2"},
    {"KB5", "", "", "SYSTEM"},
    {"Q123", "3/14/2012", "Hotfix", "system"},
    {"KB51234", "ERROR:InstalledOn", "update rollup", "Adm"},
    {"ERROR:HotFixID", "1/1/2000", "x", "x"},
};
constexpr int kStartFocus = 3;

class SearchFilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TMainForm& form = fixture.Build();
    // The rows stay in the order added, so a case can name them by place.
    form.vst.OnPrepareSort = nullptr;
    form.vst.OnCompareNodes = nullptr;
    form.vst.OnChanges = [this](const ListChanges& changes) { recorder(changes); };
  }
  TMainForm& Form() { return *fixture.form; }

  void AddRows(const std::vector<Row>& rows) { list_rows::AddRows(Form().vst, rows); }

  // The places of the marked rows, in display order.
  std::vector<int> Marked() {
    std::vector<int> marked;
    for (int i = 0; i < Form().vst.RootNodeCount(); ++i) {
      const TTreeDataClass* record = RecordOf(Form().vst, Form().vst.NodeAt(i));
      if (record && record->MatchState == 1) marked.push_back(i);
    }
    return marked;
  }

  int FocusIndex() {
    const PVirtualNode current = Form().vst.CurrentNode();
    return current ? current->index : -1;
  }

  void Search(const std::string& text) {
    fixture.view.searchText = text;
    Form().EditSearchChange();
  }

  MainFormFixture fixture;
  RepaintRecorder recorder;
};

struct SearchCase {
  TColumnIndex column;
  std::string text;
  std::vector<int> marked;
  int focus;  // kStartFocus when the focus must stay
};

TEST_F(SearchFilterTest, MarksRowsWhoseTextBeginsWithTheSearchText) {
  const std::vector<SearchCase> cases = {
      {0, "", {}, kStartFocus},
      {0, "KB", {}, kStartFocus},
      {0, "kb", {}, kStartFocus},
      {0, "K", {}, kStartFocus},
      {0, "kb50", {0, 1}, 0},
      {0, "KB50", {0, 1}, 0},
      {0, "50", {0, 1}, 0},
      {0, "5", {0, 1, 3, 5}, 0},
      {0, "Q1", {4}, 4},
      {0, "q1", {4}, 4},
      {0, "KBQ1", {4}, 4},
      {0, "1234", {}, kStartFocus},
      {0, "5012", {}, kStartFocus},
      {0, "error", {6}, 6},
      {0, std::string(10000, '5'), {}, kStartFocus},
      {0, "\xE9\xFF\x80", {}, kStartFocus},
      {1, "3/14", {0, 4}, 0},
      {1, "3/1", {0, 1, 4}, 0},
      {1, "12/", {2}, 2},
      {1, "error:", {5}, 5},
      {1, "3/14/2013 ", {}, kStartFocus},
      {2, "upd", {1, 5}, 1},
      {2, "\xC9T\xC9", {2}, 2},
      {2, "\xE9t\xE9 UP", {2}, 2},
      {2, "Security Update and more", {}, kStartFocus},
      {2, " ", {}, kStartFocus},
      {3, "adm", {0, 2, 5}, 0},
      {3, "SyStEm", {3, 4}, 3},
      {3, std::string(10000, 'a'), {}, kStartFocus},
      {NoColumn, "KB5", {}, kStartFocus},
      {NoColumn, "", {}, kStartFocus},
  };
  AddRows(kRows);
  for (const SearchCase& c : cases) {
    TMainForm& form = Form();
    form.vst.SetSortColumn(c.column);
    form.vst.SelectNode(form.vst.NodeAt(6));
    form.vst.FocusNode(form.vst.NodeAt(kStartFocus));
    // Every row starts marked, so a row left unmarked proves that it was written.
    for (int i = 0; i < form.vst.RootNodeCount(); ++i) {
      RecordOf(form.vst, form.vst.NodeAt(i))->MatchState = 1;
    }
    const int repaints = recorder.immediateRepaints;
    Search(c.text);
    const std::string label =
        "column " + std::to_string(c.column) + " text " + c.text.substr(0, 20);
    EXPECT_EQ(Marked(), c.marked) << label;
    EXPECT_EQ(FocusIndex(), c.focus) << label;
    EXPECT_EQ(form.vst.SelectedNode(), form.vst.NodeAt(6)) << label;
    EXPECT_EQ(recorder.immediateRepaints, repaints + 1) << label;
  }
}

TEST_F(SearchFilterTest, AnEmptyListIsLeftAloneAndTheTextAppliesAfterTheNextScan) {
  Search("KB5");
  EXPECT_EQ(recorder.immediateRepaints, 0);
  EXPECT_EQ(Form().vst.CurrentNode(), nullptr);

  AddRows(kRows);
  Form().EditSearchChange();  // as the end of a scan runs it, with the box unchanged
  EXPECT_EQ(Marked(), (std::vector<int>{0, 1, 3, 5}));
  EXPECT_EQ(FocusIndex(), 0);
}

TEST_F(SearchFilterTest, MarksFollowTheColumnTheyWereComputedFor) {
  AddRows(kRows);
  Form().vst.SetSortColumn(0);
  Search("50");
  EXPECT_EQ(Marked(), (std::vector<int>{0, 1}));

  Form().vstHeaderClick(3, TMouseButton::mbLeft, {});
  EXPECT_EQ(Marked(), (std::vector<int>{0, 1}));  // a header click recomputes nothing

  Search("s");  // the next keystroke searches column 3
  EXPECT_EQ(Marked(), (std::vector<int>{3, 4}));
}

// The upper-cased texts are kept between keystrokes; whatever changes the rows must be seen by
// the next keystroke: rows reordered, added, or cleared and replaced by others.
TEST_F(SearchFilterTest, EachKeystrokeSeesTheRowsAsTheyStandNow) {
  TMainForm& form = Form();
  AddRows(kRows);
  form.vst.SetSortColumn(3);
  Search("adm");
  EXPECT_EQ(Marked(), (std::vector<int>{0, 2, 5}));

  // Reordered: the last row first.
  form.vst.OnCompareNodes = [](PVirtualNode a, PVirtualNode b, TColumnIndex, int& result) {
    result = b->index - a->index;
  };
  form.vst.SortByColumn(3, sdAscending);
  form.vst.OnCompareNodes = nullptr;
  Search("adm");
  EXPECT_EQ(Marked(), (std::vector<int>{1, 4, 6}));
  EXPECT_EQ(FocusIndex(), 1);

  AddRows({{"KB7", "", "", "ADMIN3"}});
  Search("adm");
  EXPECT_EQ(Marked(), (std::vector<int>{1, 4, 6, 7}));

  // Cleared and filled again: the same nodes and perhaps the same memory, other texts.
  form.vst.ClearNodes();
  AddRows({{"KB1", "", "", "Other"}, {"KB2", "", "", "Admin"}});
  Search("adm");
  EXPECT_EQ(Marked(), (std::vector<int>{1}));
  EXPECT_EQ(FocusIndex(), 1);
  Search("oth");
  EXPECT_EQ(Marked(), (std::vector<int>{0}));

  // A record put in a slot directly, with no row added or moved.
  auto record = std::make_unique<TTreeDataClass>();
  record->InstalledBy = "Other too";
  *form.vst.NodeRecord(form.vst.NodeAt(1)) = std::move(record);
  Search("oth");
  EXPECT_EQ(Marked(), (std::vector<int>{0, 1}));
}

TEST_F(SearchFilterTest, RowsWithoutRecordAreSkipped) {
  Form().vst.AppendNode();  // a row whose record never came
  AddRows({{"KB1", "", "", ""}});
  Form().vst.AppendNode();
  Form().vst.SetSortColumn(0);
  Search("1");
  EXPECT_EQ(Marked(), (std::vector<int>{1}));
  EXPECT_EQ(FocusIndex(), 1);
}

TEST_F(SearchFilterTest, WebLinkOpensTheFirstMatchEvenWithAnotherRowSelected) {
  AddRows(kRows);
  TMainForm& form = Form();
  form.Settings.MsKbId = "https://support.example.com/kb/%s";
  form.vst.SetSortColumn(3);
  form.vst.UserClickNode(form.vst.NodeAt(1));  // selects and focuses "kb5099"
  Search("SYS");
  form.BtnLinkWebClick();
  ASSERT_EQ(fixture.shell.opened.size(), 1u);
  EXPECT_EQ(fixture.shell.opened[0], "https://support.example.com/kb/5");
  EXPECT_EQ(form.vst.SelectedNode(), form.vst.NodeAt(1));
}

}  // namespace
