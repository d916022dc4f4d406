// The hotfix list's columns: texts, the order of each column, header clicks with their
// per-column directions, row colours and the records' life with their rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "list/sort_keys.h"
#include "list_rows_test_support.h"
#include "main_form_fakes.h"

namespace {

using namespace list_rows;

int Compare(TMainForm& form, PVirtualNode a, PVirtualNode b, TColumnIndex column) {
  int result = 0;
  form.vstCompareNodes(a, b, column, result);
  return result;
}

class ColumnHandlersTest : public ::testing::Test {
 protected:
  void SetUp() override { fixture.Build(); }
  TMainForm& Form() { return *fixture.form; }
  MainFormFixture fixture;
};

TEST_F(ColumnHandlersTest, CellTextsAreTheRecordFieldsByIndex) {
  TMainForm& form = Form();
  PVirtualNode node =
      AddRow(form.vst, {"KB1", "3/14/2013", "Mise \xE0 jour", "NT AUTHORITY\\SYSTEM"});
  const std::vector<std::pair<TColumnIndex, std::string>> cases = {
      {0, "KB1"},        {1, "3/14/2013"}, {2, "Mise \xE0 jour"}, {3, "NT AUTHORITY\\SYSTEM"},
      {-1, "unchanged"}, {4, "unchanged"},
  };
  for (const auto& [column, expected] : cases) {
    std::string text = "unchanged";
    form.vstGetText(node, column, text);
    EXPECT_EQ(text, expected) << "column " << column;
  }
  PVirtualNode empty = form.vst.AppendNode();  // a row whose record is not stored yet
  std::string text = "unchanged";
  form.vstGetText(empty, 0, text);
  form.vstGetText(nullptr, 0, text);
  EXPECT_EQ(text, "unchanged");
}

struct CompareCase {
  TColumnIndex column;
  std::string first, second;
  int expected;
};

// The two texts go into the field the column sorts by.
Row RowFor(TColumnIndex column, const std::string& text) {
  Row row{"KB1", "1/1/2000", "d", "b"};
  switch (column) {
    case 0:
      row.id = text;
      break;
    case 1:
      row.on = text;
      break;
    case 2:
      row.description = text;
      break;
    default:
      row.by = text;
      break;
  }
  return row;
}

TEST_F(ColumnHandlersTest, CompareNodesByColumn) {
  const std::string longDigits = "KB" + std::string(10000, '9');
  const std::vector<CompareCase> cases = {
      {0, "KB95", "KB123", -1},
      {0, "KB123", "KB95", 1},
      {0, "kb123", "KB123", 0},
      {0, "KB123", "kb123", 0},
      {0, "KB000123", "KB123", 0},
      {0, "ERROR:InstalledBy", "Q123", 0},
      {0, "Q123", "KB1", -1},
      {0, "ERROR:HotFixID", "KB0", 0},
      {0, "", "KB1", -1},
      {0, "KB2147483647", "KB2147483646", 1},
      {0, "KB2147483648", "KB1", -1},
      {0, longDigits, "KB1", -1},
      {0, "KB12\xE9", "KB12", 0},
      {1, "3/14/2013", "3/15/2013", -1},
      {1, "12/31/2014", "1/1/2014", 1},
      {1, "3/14/2013", "03/14/2013", 0},
      {1, "", "3/14/2013", 0},
      {1, "3/14/2013", "", 0},
      {1, "ERROR:InstalledOn", "3/14/2013", 0},
      {1, "13/14/2013", "1/1/2000", 0},
      {1, "3/14/2013 x", "1/1/2000", 0},
      {1, std::string(10000, '1'), "1/1/2000", 0},
      {1, "\xE9\xE9/\xE0", "1/1/2000", 0},
      {2, "abc", "ABC", 0},
      {2, "ABC", "abc", 0},
      {2, "abc", "abd", -1},
      {2, "ABD", "abc", 1},
      {2, "\xE9t\xE9", "\xC9T\xC9", 0},
      {2, "", "a", -1},
      {2, std::string(10000, 'a'), std::string(10000, 'A'), 0},
      {3, "adam", "Bob", -1},
      {3, "ZOE", "zoe", 0},
      {3, "zoe", "Adam", 1},
      {-1, "a", "b", 0},
      {4, "a", "b", 0},
  };
  TMainForm& form = Form();
  for (const CompareCase& c : cases) {
    PVirtualNode a = AddRow(form.vst, RowFor(c.column, c.first));
    PVirtualNode b = AddRow(form.vst, RowFor(c.column, c.second));
    EXPECT_EQ(Compare(form, a, b, c.column), c.expected)
        << "column " << c.column << ": " << c.first.substr(0, 20) << " / "
        << c.second.substr(0, 20);
  }
}

TEST_F(ColumnHandlersTest, EqualNumbersAndDatesLeaveTheResultAsItWas) {
  TMainForm& form = Form();
  PVirtualNode a = AddRow(form.vst, {"kb123", "3/14/2013", "x", "y"});
  PVirtualNode b = AddRow(form.vst, {"KB123", "", "x", "y"});
  for (TColumnIndex column : {0, 1}) {
    int result = 7;
    form.vstCompareNodes(a, b, column, result);
    EXPECT_EQ(result, 7) << "column " << column;
  }
}

TEST_F(ColumnHandlersTest, NodesWithoutRecordCompareEqual) {
  TMainForm& form = Form();
  PVirtualNode full = AddRow(form.vst, {"KB9", "1/1/2000", "a", "a"});
  PVirtualNode empty = form.vst.AppendNode();
  for (TColumnIndex column = 0; column < 4; ++column) {
    EXPECT_EQ(Compare(form, full, empty, column), 0);
    EXPECT_EQ(Compare(form, empty, full, column), 0);
    EXPECT_EQ(Compare(form, nullptr, full, column), 0);
  }
}

// Four rows whose order differs in every column.
const std::vector<Row> kRows = {
    {"KB95", "3/14/2013", "beta", "Zoe"},
    {"KB123", "1/2/2012", "alpha", "adam"},
    {"KB7", "12/31/2014", "Gamma", "Marc"},
    {"Q5", "6/1/2013", "aardvark", "bob"},
};

std::vector<std::string> SortedIds(TColumnIndex column, TSortDirection direction) {
  static const std::vector<std::vector<std::string>> ascending = {
      {"Q5", "KB7", "KB95", "KB123"},
      {"KB123", "KB95", "Q5", "KB7"},
      {"Q5", "KB123", "KB95", "KB7"},
      {"KB123", "Q5", "KB7", "KB95"},
  };
  std::vector<std::string> ids = ascending[static_cast<std::size_t>(column)];
  if (direction == sdDescending) std::reverse(ids.begin(), ids.end());
  return ids;
}

struct Click {
  TColumnIndex column;
  bool doubleClick = false;
};

struct HeaderCase {
  const char* name;
  TColumnIndex savedColumn;
  TSortDirection savedDirection;
  std::vector<Click> clicks;
  TColumnIndex expectedColumn;
  TSortDirection expectedDirection;
  std::array<TSortDirection, 4> expectedDirections;
};

TEST_F(ColumnHandlersTest, HeaderClicksSortWithEachColumnsOwnDirection) {
  constexpr TSortDirection A = sdAscending, D = sdDescending;
  const std::vector<HeaderCase> cases = {
      {"first click on column 0", 0, A, {{0}}, 0, D, {D, D, D, D}},
      {"first click on column 1", 0, A, {{1}}, 1, A, {A, A, D, D}},
      {"first click on column 2", 0, A, {{2}}, 2, A, {A, D, A, D}},
      {"first click on column 3", 0, A, {{3}}, 3, A, {A, D, D, A}},
      {"second click reverses", 0, A, {{2}, {2}}, 2, D, {A, D, D, D}},
      {"third click reverses again", 0, A, {{1}, {1}, {1}}, 1, A, {A, A, D, D}},
      {"each column keeps its own", 0, A, {{0}, {2}, {0}}, 0, A, {A, D, A, D}},
      {"saved 0 descending", 0, D, {{0}}, 0, D, {D, D, D, D}},
      {"saved 0 descending, twice", 0, D, {{0}, {0}}, 0, A, {A, D, D, D}},
      {"saved 2 ascending", 2, A, {{2}}, 2, A, {A, D, A, D}},
      {"double click flips twice", 0, A, {{3}, {3, true}}, 3, D, {A, D, D, D}},
      {"double click on the sort column", 0, A, {{0}, {0, true}}, 0, A, {A, D, D, D}},
  };
  for (const HeaderCase& c : cases) {
    MainFormFixture local;
    TMainForm& form = local.Build();
    form.vst.SetSortColumn(c.savedColumn);
    form.vst.SetSortDirection(c.savedDirection);
    AddRows(form.vst, kRows);
    for (const Click& click : c.clicks) {
      TShiftState shift;
      shift.doubleClick = click.doubleClick;
      form.vstHeaderClick(click.column, TMouseButton::mbLeft, shift);
    }
    EXPECT_EQ(form.vst.SortColumn(), c.expectedColumn) << c.name;
    EXPECT_EQ(form.vst.SortDirection(), c.expectedDirection) << c.name;
    EXPECT_EQ(form.ColumnDirections, c.expectedDirections) << c.name;
    EXPECT_EQ(IdsInOrder(form.vst), SortedIds(c.expectedColumn, c.expectedDirection)) << c.name;
  }
}

TEST_F(ColumnHandlersTest, RightAndMiddleClicksChangeNothing) {
  TMainForm& form = Form();
  form.vst.SetSortColumn(NoColumn);
  AddRows(form.vst, kRows);  // kept in the order added
  const std::vector<std::string> before = IdsInOrder(form.vst);
  const auto directions = form.ColumnDirections;
  for (TColumnIndex column = 0; column < 4; ++column) {
    for (TMouseButton button : {TMouseButton::mbRight, TMouseButton::mbMiddle}) {
      form.vstHeaderClick(column, button, TShiftState{});
    }
  }
  EXPECT_EQ(form.vst.SortColumn(), NoColumn);
  EXPECT_EQ(form.vst.SortDirection(), sdAscending);
  EXPECT_EQ(form.ColumnDirections, directions);
  EXPECT_EQ(IdsInOrder(form.vst), before);
}

TEST_F(ColumnHandlersTest, AClickOutsideTheColumnsIsIgnored) {
  TMainForm& form = Form();
  AddRows(form.vst, kRows);
  const auto directions = form.ColumnDirections;
  for (TColumnIndex column : {-1, 4, 1000}) form.vstHeaderClick(column, TMouseButton::mbLeft, {});
  EXPECT_EQ(form.vst.SortColumn(), 0);
  EXPECT_EQ(form.ColumnDirections, directions);
}

TEST_F(ColumnHandlersTest, TiesKeepTheirOrderInBothDirections) {
  TMainForm& form = Form();
  form.vst.SetSortColumn(NoColumn);
  // Ties on every sort key, told apart by the texts the sorted column does not read.
  AddRows(form.vst, {{"Q1", "", "abc", "x"},
                     {"KB5", "bad", "ABC", "X"},
                     {"ERROR:HotFixID", "", "Abc", "x"},
                     {"kb5", "ERROR:InstalledOn", "aBC", "x"}});
  form.vstHeaderClick(0, TMouseButton::mbLeft, {});  // descending
  EXPECT_EQ(IdsInOrder(form.vst), (std::vector<std::string>{"KB5", "kb5", "Q1", "ERROR:HotFixID"}));
  form.vstHeaderClick(0, TMouseButton::mbLeft, {});  // ascending
  EXPECT_EQ(IdsInOrder(form.vst), (std::vector<std::string>{"Q1", "ERROR:HotFixID", "KB5", "kb5"}));
  const std::vector<std::string> before = IdsInOrder(form.vst);
  for (TColumnIndex column : {1, 2, 3}) {
    form.vstHeaderClick(column, TMouseButton::mbLeft, {});
    EXPECT_EQ(IdsInOrder(form.vst), before) << "column " << column;
    form.vstHeaderClick(column, TMouseButton::mbLeft, {});
    EXPECT_EQ(IdsInOrder(form.vst), before) << "column " << column;
  }
}

TEST_F(ColumnHandlersTest, RowsWithoutADateEndWhereTheMergeLeavesThem) {
  TMainForm& form = Form();
  form.vst.SetSortColumn(NoColumn);
  AddRows(form.vst, {{"A", "3/1/2013", "", ""},
                     {"B", "", "", ""},
                     {"C", "1/1/2013", "", ""},
                     {"D", "ERROR:InstalledOn", "", ""}});
  form.vstHeaderClick(1, TMouseButton::mbLeft, {});
  // (A,B) and (C,D) stay as they are; the merge takes C before A, then finds D equal to A and
  // to B, so D stays last.
  EXPECT_EQ(IdsInOrder(form.vst), (std::vector<std::string>{"C", "A", "B", "D"}));
}

struct PaintCase {
  std::uint8_t matchState;
  bool current;
  TColor expected;
};

TEST_F(ColumnHandlersTest, TextColourFollowsTheMatchState) {
  constexpr TColor kListColour = 0x123456;
  const std::vector<PaintCase> cases = {
      {1, false, clBlue},     {1, true, clBlue},       {0, false, clBlack},
      {0, true, kListColour}, {2, false, kListColour}, {255, true, kListColour},
  };
  TMainForm& form = Form();
  PVirtualNode other = AddRow(form.vst, {"KB1", "", "", ""});
  PVirtualNode node = AddRow(form.vst, {"KB2", "", "", ""});
  form.vst.SelectNode(node);  // selection does not count, only the focus
  for (const PaintCase& c : cases) {
    RecordOf(form.vst, node)->MatchState = c.matchState;
    form.vst.FocusNode(c.current ? node : other);
    for (TColumnIndex column = 0; column < 4; ++column) {
      TColor colour = kListColour;
      form.vstPaintText(node, column, colour);
      EXPECT_EQ(colour, c.expected)
          << "state " << int(c.matchState) << " current " << c.current << " column " << column;
    }
  }
  PVirtualNode empty = form.vst.AppendNode();
  TColor colour = kListColour;
  form.vstPaintText(empty, 0, colour);
  form.vstPaintText(nullptr, 0, colour);
  EXPECT_EQ(colour, kListColour);
}

TEST_F(ColumnHandlersTest, FreeNodeReleasesTheRecordOnce) {
  TMainForm& form = Form();
  PVirtualNode node = AddRow(form.vst, {"KB1", "", "", ""});
  RecordSlot* slot = form.vst.NodeRecord(node);
  ASSERT_NE(slot, nullptr);
  ASSERT_NE(slot->get(), nullptr);
  form.vstFreeNode(node);
  EXPECT_EQ(slot->get(), nullptr);
  form.vstFreeNode(node);  // an empty slot frees nothing
  form.vstFreeNode(nullptr);
  EXPECT_EQ(slot->get(), nullptr);
}

TEST_F(ColumnHandlersTest, ClearingFreesEveryRowWithOrWithoutRecord) {
  TMainForm& form = Form();
  // Each free is counted, then handed to the form's own handler.
  std::map<PVirtualNode, int> frees;
  std::map<PVirtualNode, bool> hadRecord;
  form.vst.OnFreeNode = [&form, &frees, &hadRecord,
                         handler = form.vst.OnFreeNode](PVirtualNode node) {
    ++frees[node];
    const RecordSlot* slot = form.vst.NodeRecord(node);
    hadRecord[node] = slot != nullptr && *slot != nullptr;
    handler(node);
  };
  form.vst.SetRootNodeCount(1);  // the start-up node: never initialised, never freed
  form.vst.SetRootNodeCount(0);
  EXPECT_TRUE(frees.empty());
  EXPECT_EQ(form.vst.NodeDataSize(), 4);
  std::vector<PVirtualNode> rows = AddRows(form.vst, kRows);
  rows.push_back(form.vst.AppendNode());  // a row whose record never came
  form.vst.ClearNodes();
  EXPECT_EQ(frees.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(frees[rows[i]], 1) << "row " << i;
    EXPECT_EQ(hadRecord[rows[i]], i < kRows.size()) << "row " << i;
  }
  EXPECT_EQ(form.vst.RootNodeCount(), 0);
  EXPECT_EQ(form.vst.FirstNode(), nullptr);
}

}  // namespace
