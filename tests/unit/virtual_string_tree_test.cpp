#include "list/virtual_string_tree.h"

#include <gtest/gtest.h>

#include <climits>
#include <numeric>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "list/merge_order.h"

namespace {

// Records what the view is told, each operation's changes as readable strings in a fixed order,
// so a test can check what one operation tells.
class RecordingObserver {
 public:
  std::vector<std::string> calls;
  int beeps = 0;
  int lastFocused = -2;
  int lastSelected = -2;
  int deliveries = 0;

  void operator()(const ListChanges& changes) {
    ++deliveries;
    if (changes.rows) Add("RowCountChanged", changes.rowCount);
    if (changes.header) calls.push_back("HeaderChanged");
    for (const int row : changes.repaint) Add("RepaintRow", row);
    if (changes.rows || changes.focus) {
      lastFocused = changes.focused;
      lastSelected = changes.selected;
      calls.push_back(std::string("FocusChanged(") + std::to_string(changes.focused) + "," +
                      std::to_string(changes.selected) + ")");
    }
    if (changes.scrollTo >= 0) Add("ScrollIntoView", changes.scrollTo);
    if (changes.paintNow) calls.push_back("PaintNow");
    if (changes.beep) {
      ++beeps;
      calls.push_back("Beep");
    }
  }
  int Count(const std::string& call) const {
    int n = 0;
    for (const auto& c : calls) n += c == call ? 1 : 0;
    return n;
  }

 private:
  void Add(const char* name, int value) {
    calls.push_back(std::string(name) + "(" + std::to_string(value) + ")");
  }
};

// Column 0 holds an integer key ("?" compares equal to every row, like an unreadable date);
// column 1 a text for the keyboard search; column 2 the row's label.
int CompareKeys(std::string_view a, std::string_view b) {
  if (a == "?" || b == "?") return 0;
  const int x = std::stoi(std::string(a));
  const int y = std::stoi(std::string(b));
  return x < y ? -1 : (x > y ? 1 : 0);
}

class ListTest : public ::testing::Test {
 protected:
  TVirtualStringTree tree;
  RecordingObserver view;
  std::vector<std::string> comparisons;  // "label1:label2:column"
  std::map<PVirtualNode, int> freed;
  int dataSizeRequests = 0;
  int inits = 0;
  std::uint64_t now = 5000;

  void SetUp() override {
    for (const char* caption : {"KB Windows", "Installé le", "Description", "Installé par"})
      tree.AddColumn(caption, 150);
    tree.OnGetNodeDataSize = [this](int& size) {
      ++dataSizeRequests;
      size = 4;
    };
    tree.OnInitNode = [this](PVirtualNode, PVirtualNode, InitialStates&) { ++inits; };
    tree.OnFreeNode = [this](PVirtualNode node) {
      ++freed[node];
      if (RecordSlot* slot = tree.NodeRecord(node)) slot->reset();
    };
    tree.OnGetText = [this](PVirtualNode node, TColumnIndex column, std::string& text) {
      const TTreeDataClass* r = Record(node);
      if (r == nullptr) return;
      if (column == 0) text = r->HotFixID;
      if (column == 1) text = r->InstalledOn;
      if (column == 2) text = r->Description;
    };
    tree.OnCompareNodes = [this](PVirtualNode a, PVirtualNode b, TColumnIndex column, int& result) {
      comparisons.push_back(Label(a) + ":" + Label(b) + ":" + std::to_string(column));
      if (column == 0 && Record(a) != nullptr && Record(b) != nullptr)
        result = CompareKeys(Record(a)->HotFixID, Record(b)->HotFixID);
    };
    tree.Clock = [this] { return now; };
    tree.OnChanges = [this](const ListChanges& changes) { view(changes); };
  }

  // The handlers point into this fixture, which the list outlives.
  void TearDown() override { tree.ClearNodes(); }

  TTreeDataClass* Record(PVirtualNode node) {
    RecordSlot* slot = tree.NodeRecord(node);
    return slot != nullptr ? slot->get() : nullptr;
  }
  std::string Label(PVirtualNode node) {
    const TTreeDataClass* r = Record(node);
    return r != nullptr ? r->Description.str() : "";
  }

  // Appends rows inside one batch, as a scan does; the closing batch sorts them.
  void AddRows(const std::vector<std::string>& keys,
               const std::vector<std::string>& searchTexts = {}) {
    tree.BeginBatch();
    for (std::size_t i = 0; i < keys.size(); ++i) {
      auto record = std::make_unique<TTreeDataClass>();
      record->HotFixID = keys[i];
      record->InstalledOn = i < searchTexts.size() ? searchTexts[i] : "";
      record->Description = std::string("r") + std::to_string(i);
      *tree.NodeRecord(tree.AppendNode()) = std::move(record);
    }
    tree.EndBatch();
    comparisons.clear();
    view.calls.clear();
  }

  std::vector<std::string> Order() {
    std::vector<std::string> labels;
    for (PVirtualNode n = tree.FirstNode(); n != nullptr; n = tree.NextNode(n))
      labels.push_back(Label(n));
    return labels;
  }
  std::string FocusedLabel() { return Label(tree.CurrentNode()); }
};

using Labels = std::vector<std::string>;

// ---- Sorting ----

struct SortCase {
  const char* name;
  std::vector<std::string> keys;
  TSortDirection direction;
  Labels expected;
};

TEST_F(ListTest, SortByColumnMergesStablyInBothDirections) {
  const SortCase cases[] = {
      {"ascending", {"3", "1", "2"}, sdAscending, {"r1", "r2", "r0"}},
      {"descending", {"3", "1", "2"}, sdDescending, {"r0", "r2", "r1"}},
      // Equal keys keep their order both ways, so descending is not ascending reversed.
      {"ties ascending", {"1", "2", "1"}, sdAscending, {"r0", "r2", "r1"}},
      {"ties descending", {"1", "2", "1"}, sdDescending, {"r1", "r0", "r2"}},
      {"all equal descending", {"5", "5", "5", "5"}, sdDescending, {"r0", "r1", "r2", "r3"}},
      // A key equal to everything lands where this exact merge puts it (a stable
      // insertion sort would leave 3 ? 1 2 untouched).
      {"unordered key", {"3", "?", "1", "2"}, sdAscending, {"r2", "r3", "r0", "r1"}},
      {"floor half first", {"3", "?", "2", "1", "0"}, sdAscending, {"r4", "r3", "r2", "r0", "r1"}},
      {"floor half first desc",
       {"3", "?", "2", "1", "0"},
       sdDescending,
       {"r0", "r1", "r2", "r3", "r4"}},
  };
  for (const SortCase& c : cases) {
    SCOPED_TRACE(c.name);
    tree.SetSortColumn(NoColumn);  // the batch below must not sort by key
    tree.ClearNodes();
    AddRows(c.keys);
    tree.SortByColumn(0, c.direction);
    EXPECT_EQ(Order(), c.expected);
    tree.SetSortColumn(0);
  }
}

TEST_F(ListTest, MergeComparesHeadOfFirstRunWithHeadOfSecond) {
  tree.SetSortColumn(NoColumn);
  AddRows({"3", "?", "2", "1", "0"});
  tree.SortByColumn(0, sdAscending);
  // Runs of 5 split 2 + 3, and 3 split 1 + 2.
  EXPECT_EQ(comparisons,
            (Labels{"r0:r1:0", "r3:r4:0", "r2:r4:0", "r2:r3:0", "r0:r4:0", "r0:r3:0", "r0:r2:0"}));
}

TEST_F(ListTest, ColumnMinusOneComparesWithMinusOneAndBelowSortsNothing) {
  tree.SetSortColumn(NoColumn);
  AddRows({"3", "1", "2"});
  tree.SortByColumn(NoColumn, sdAscending);
  EXPECT_EQ(Order(), (Labels{"r0", "r1", "r2"}));
  ASSERT_FALSE(comparisons.empty());
  for (const auto& c : comparisons) EXPECT_EQ(c.substr(c.size() - 3), ":-1");

  comparisons.clear();
  view.calls.clear();
  tree.SortByColumn(-2, sdAscending);
  EXPECT_TRUE(comparisons.empty());
  EXPECT_EQ(Order(), (Labels{"r0", "r1", "r2"}));
  EXPECT_TRUE(view.calls.empty());  // nothing moved: nothing to show again
  EXPECT_EQ(tree.BatchCount(), 0);
}

TEST_F(ListTest, SortColumnIsClampedAndSortsOnlyWhenChanged) {
  const struct {
    int written;
    int stored;
  } cases[] = {{7, 3}, {-5, -1}, {2, 2}, {-1, -1}, {3, 3}, {INT_MAX, 3}, {INT_MIN, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written);
    tree.SetSortColumn(c.written);
    EXPECT_EQ(tree.SortColumn(), c.stored);
  }
  AddRows({"2", "1"});
  tree.SetSortColumn(0);
  EXPECT_EQ(Order(), (Labels{"r1", "r0"}));
  EXPECT_EQ(view.Count("HeaderChanged"), 1);
  comparisons.clear();
  tree.SetSortColumn(0);
  tree.SetSortColumn(9);  // clamps to 3, a change
  tree.SetSortColumn(3);
  EXPECT_EQ(comparisons, (Labels{"r1:r0:3"}));
}

TEST_F(ListTest, SortDirectionSortsWhenChangedOutsideABatch) {
  AddRows({"1", "2"});
  tree.SetSortDirection(sdDescending);
  EXPECT_EQ(Order(), (Labels{"r1", "r0"}));
  comparisons.clear();
  tree.SetSortDirection(sdDescending);
  EXPECT_TRUE(comparisons.empty());
  tree.BeginBatch();
  tree.SetSortDirection(sdAscending);
  EXPECT_TRUE(comparisons.empty());
  EXPECT_EQ(tree.SortDirection(), sdAscending);
  tree.EndBatch();
  EXPECT_EQ(Order(), (Labels{"r0", "r1"}));
}

TEST_F(ListTest, OnlyTheOutermostEndBatchSorts) {
  AddRows({"2", "1"});
  tree.BeginBatch();
  tree.BeginBatch();
  tree.SetSortDirection(sdDescending);
  tree.SetSortDirection(sdAscending);
  tree.EndBatch();
  EXPECT_TRUE(comparisons.empty());
  EXPECT_EQ(tree.BatchCount(), 1);
  view.calls.clear();
  tree.EndBatch();
  EXPECT_EQ(comparisons.size(), 1u);
  EXPECT_TRUE(view.calls.empty());  // the rows were in order already
}

TEST_F(ListTest, UnmatchedEndBatchStaysAtZero) {
  AddRows({"2", "1"});
  tree.EndBatch();
  tree.EndBatch();
  EXPECT_EQ(tree.BatchCount(), 0);
  EXPECT_TRUE(comparisons.empty());
  tree.BeginBatch();
  EXPECT_EQ(tree.BatchCount(), 1);
  tree.EndBatch();
  EXPECT_EQ(comparisons.size(), 1u);  // the counter really was 0, not -2
}

TEST_F(ListTest, AppendOutsideABatchSortsAtOnce) {
  AddRows({"5"});
  PVirtualNode node = tree.AppendNode();  // empty slot: compares equal, so stays last
  EXPECT_EQ(tree.NodeAt(1), node);
  EXPECT_EQ(comparisons.size(), 1u);
  EXPECT_EQ(view.calls.front(), "RowCountChanged(2)");
}

// Keys read once per sort, as a column handler would prepare them.
class KeySort : public PreparedSort {
 public:
  KeySort(TVirtualStringTree& tree, std::function<TTreeDataClass*(PVirtualNode)> record,
          std::uint64_t& applied)
      : tree_(tree), record_(std::move(record)), applied_(applied) {}
  void SortPositions(TSortDirection direction, std::vector<std::uint32_t>& order) override {
    std::vector<std::string> keys;
    for (int i = 0; i < tree_.RootNodeCount(); ++i) {
      keys.push_back(record_(tree_.NodeAt(i))->HotFixID.str());
    }
    // "?" equals every key, which no strict order allows: the list's own merge sort decides.
    MergeSortItems(
        order, [&](std::uint32_t a, std::uint32_t b) { return CompareKeys(keys[a], keys[b]); },
        direction == sdDescending);
  }
  void OrderApplied(const std::vector<std::uint32_t>&, std::uint64_t revision) override {
    applied_ = revision;
  }

 private:
  TVirtualStringTree& tree_;
  std::function<TTreeDataClass*(PVirtualNode)> record_;
  std::uint64_t& applied_;
};

TEST_F(ListTest, APreparedSortGivesTheSameOrderAsTheEvent) {
  std::mt19937 random(42);
  std::vector<std::string> keys;
  for (int i = 0; i < 2000; ++i)
    keys.push_back(random() % 7 == 0 ? "?" : std::to_string(random() % 10));
  tree.SetSortColumn(NoColumn);  // rows stay in the order they were added
  for (TSortDirection direction : {sdAscending, sdDescending}) {
    SCOPED_TRACE(direction);
    tree.OnPrepareSort = nullptr;
    tree.ClearNodes();
    AddRows(keys);
    tree.SortByColumn(0, direction);
    const Labels byEvent = Order();
    EXPECT_GT(comparisons.size(), 0u);

    tree.ClearNodes();
    AddRows(keys);
    std::uint64_t applied = 0;
    tree.OnPrepareSort = [&](TColumnIndex column) -> std::unique_ptr<PreparedSort> {
      EXPECT_EQ(column, 0);
      return std::make_unique<KeySort>(
          tree, [this](PVirtualNode n) { return Record(n); }, applied);
    };
    comparisons.clear();
    tree.SortByColumn(0, direction);
    EXPECT_TRUE(comparisons.empty());
    EXPECT_EQ(Order(), byEvent);
    EXPECT_NE(Order(), Labels(byEvent.rbegin(), byEvent.rend()));
    EXPECT_EQ(applied, tree.Revision());
  }
  // A preparer that declines falls back to the event.
  tree.OnPrepareSort = [](TColumnIndex) { return std::unique_ptr<PreparedSort>(); };
  tree.SortByColumn(0, sdAscending);
  EXPECT_FALSE(comparisons.empty());
}

// A header click sorts up to three times in one scope: the rows take, once, the order those sorts
// give one after the other, and the view hears once. Keys equal to every other ("?") make the
// result depend on the order each sort starts from.
TEST_F(ListTest, SortsInOneScopeGiveTheOrderOfTheSameSortsOneAfterTheOther) {
  std::mt19937 random(7);
  std::vector<std::string> keys;
  for (int i = 0; i < 300; ++i)
    keys.push_back(random() % 4 == 0 ? "?" : std::to_string(random() % 20));
  using Sorts = std::vector<std::pair<TColumnIndex, TSortDirection>>;
  const Sorts sequences[] = {
      {{0, sdAscending}, {0, sdDescending}, {0, sdDescending}},
      {{0, sdDescending}, {0, sdAscending}, {0, sdAscending}},
      {{0, sdAscending}, {0, sdAscending}},
      {{1, sdAscending}, {0, sdDescending}},  // another column: the first sort goes on first
  };
  std::uint64_t applied = 0;
  for (const bool prepared : {false, true}) {
    tree.OnPrepareSort = [&](TColumnIndex) -> std::unique_ptr<PreparedSort> {
      if (!prepared) return nullptr;
      return std::make_unique<KeySort>(
          tree, [this](PVirtualNode n) { return Record(n); }, applied);
    };
    for (const Sorts& sorts : sequences) {
      SCOPED_TRACE(std::string(prepared ? "prepared, " : "by the event, ") +
                   std::to_string(sorts.size()) + " sorts");
      tree.SetSortColumn(NoColumn);
      tree.ClearNodes();
      AddRows(keys);
      for (const auto& [column, direction] : sorts) tree.SortByColumn(column, direction);
      const Labels oneAfterTheOther = Order();

      tree.ClearNodes();
      AddRows(keys);
      const Labels before = Order();
      {
        TVirtualStringTree::ChangeScope scope(tree);
        for (const auto& [column, direction] : sorts) tree.SortByColumn(column, direction);
        if (sorts.front().first == sorts.back().first) {
          EXPECT_EQ(Order(), before);
        }
        EXPECT_TRUE(view.calls.empty());
      }
      EXPECT_EQ(Order(), oneAfterTheOther);
      EXPECT_EQ(view.calls, (Labels{"RowCountChanged(300)", "FocusChanged(-1,-1)"}));
    }
  }
}

TEST_F(ListTest, ThrowingComparisonLeavesOrderAndBatchCounterIntact) {
  tree.SetSortColumn(NoColumn);
  AddRows({"3", "1", "2", "0"});
  int calls = 0;
  tree.OnCompareNodes = [&](PVirtualNode, PVirtualNode, TColumnIndex, int& result) {
    if (++calls == 3) throw std::runtime_error("compare");
    result = 1;
  };
  EXPECT_THROW(tree.SortByColumn(0, sdAscending), std::runtime_error);
  EXPECT_EQ(Order(), (Labels{"r0", "r1", "r2", "r3"}));
  EXPECT_EQ(tree.BatchCount(), 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(tree.NodeAt(i)->index, i);
}

TEST_F(ListTest, ComparisonThatClearsTheListAbandonsTheSort) {
  tree.SetSortColumn(NoColumn);
  AddRows({"3", "1", "2", "0"});
  tree.OnCompareNodes = [&](PVirtualNode, PVirtualNode, TColumnIndex, int& result) {
    tree.ClearNodes();
    result = 1;
  };
  tree.SortByColumn(0, sdAscending);
  EXPECT_EQ(tree.RootNodeCount(), 0);
  EXPECT_EQ(tree.FirstNode(), nullptr);
  EXPECT_EQ(tree.BatchCount(), 0);
}

TEST_F(ListTest, SortsAHundredThousandRows) {
  std::vector<std::string> keys;
  for (int i = 0; i < 100000; ++i) keys.push_back(std::to_string((i * 7919) % 1000));
  tree.OnCompareNodes = [this](PVirtualNode a, PVirtualNode b, TColumnIndex, int& result) {
    result = CompareKeys(Record(a)->HotFixID, Record(b)->HotFixID);
  };
  AddRows(keys);  // the closing batch sorts by column 0 ascending
  int previous = -1;
  for (PVirtualNode n = tree.FirstNode(); n != nullptr; n = tree.NextNode(n)) {
    const int key = std::stoi(Record(n)->HotFixID.str());
    ASSERT_LE(previous, key);
    previous = key;
  }
  EXPECT_EQ(tree.NodeAt(99999)->index, 99999);
}

// ---- Nodes ----

TEST_F(ListTest, StartUpCountOneThenZeroFixesDataSizeOnce) {
  tree.SetRootNodeCount(1);
  tree.SetRootNodeCount(0);
  EXPECT_EQ(dataSizeRequests, 1);
  EXPECT_EQ(tree.NodeDataSize(), 4);
  EXPECT_TRUE(freed.empty());
  EXPECT_EQ(inits, 0);
  EXPECT_EQ(tree.RootNodeCount(), 0);
  PVirtualNode node = tree.AppendNode();
  EXPECT_EQ(dataSizeRequests, 1);
  ASSERT_NE(tree.NodeRecord(node), nullptr);
  EXPECT_EQ(*tree.NodeRecord(node), nullptr);  // empty until the caller fills it
  EXPECT_EQ(inits, 1);
}

TEST_F(ListTest, DataSizeZeroMeansNodesHaveNoSlot) {
  TVirtualStringTree bare;
  EXPECT_EQ(bare.NodeDataSize(), -1);
  PVirtualNode node = bare.AppendNode();
  EXPECT_EQ(bare.NodeDataSize(), 0);
  EXPECT_EQ(bare.NodeRecord(node), nullptr);
  EXPECT_EQ(bare.NodeRecord(nullptr), nullptr);
}

TEST_F(ListTest, EveryInitialisedNodeIsFreedExactlyOnce) {
  AddRows({"1", "2", "3"});
  tree.BeginBatch();
  tree.SetRootNodeCount(6);  // three uninitialised nodes at the end
  tree.SetRootNodeCount(2);
  tree.EndBatch();
  EXPECT_EQ(freed.size(), 1u);  // only r2 was initialised
  tree.ClearNodes();
  EXPECT_EQ(freed.size(), 3u);
  for (const auto& [node, times] : freed) EXPECT_EQ(times, 1);
  int released = 0;
  {
    TVirtualStringTree scoped;
    scoped.OnGetNodeDataSize = [](int& size) { size = 4; };
    scoped.OnFreeNode = [&](PVirtualNode) { ++released; };
    scoped.AppendNode();
    scoped.AppendNode();
    scoped.SetRootNodeCount(3);  // sorting initialises the third
    EXPECT_EQ(released, 0);
  }
  EXPECT_EQ(released, 3);
}

TEST_F(ListTest, DestructorFreesRemainingNodes) {
  int released = 0;
  {
    TVirtualStringTree scoped;
    scoped.OnFreeNode = [&](PVirtualNode) { ++released; };
    scoped.AppendNode();
    scoped.AppendNode();
  }
  EXPECT_EQ(released, 2);
}

TEST_F(ListTest, ClearLeavesNothingSelectedOrFocused) {
  AddRows({"1", "2", "3"});
  tree.UserClickNode(tree.NodeAt(1));
  tree.ClearNodes();
  EXPECT_EQ(tree.CurrentNode(), nullptr);
  EXPECT_EQ(tree.SelectedNode(), nullptr);
  EXPECT_EQ(tree.FirstNode(), nullptr);
  EXPECT_EQ(tree.RootNodeCount(), 0);
  EXPECT_EQ(view.lastFocused, -1);
  EXPECT_EQ(view.lastSelected, -1);
  EXPECT_EQ(view.Count("RowCountChanged(0)"), 1);  // once, though the clearing is a batch
  EXPECT_EQ(tree.NodeAt(-1), nullptr);
  EXPECT_EQ(tree.NextNode(nullptr), nullptr);
}

// ---- Focus and selection ----

TEST_F(ListTest, FocusNodeNeverChangesTheSelection) {
  AddRows({"1", "2", "3"});
  EXPECT_EQ(tree.FocusedColumn(), NoColumn);
  tree.SelectNode(tree.NodeAt(0));
  tree.FocusNode(tree.NodeAt(2));
  EXPECT_EQ(tree.SelectedNode(), tree.NodeAt(0));
  EXPECT_EQ(tree.CurrentNode(), tree.NodeAt(2));
  EXPECT_TRUE(tree.NodeAt(0)->selected);
  EXPECT_FALSE(tree.NodeAt(2)->selected);
  EXPECT_EQ(tree.FocusedColumn(), 1);
  EXPECT_EQ(view.calls.back(), "ScrollIntoView(2)");
  view.calls.clear();
  tree.FocusNode(tree.NodeAt(2));  // already focused: repaints and scrolls again
  EXPECT_EQ(view.calls, (Labels{"RepaintRow(2)", "ScrollIntoView(2)"}));
  view.calls.clear();
  tree.FocusNode(tree.NodeAt(1));
  EXPECT_EQ(view.calls,
            (Labels{"RepaintRow(1)", "RepaintRow(2)", "FocusChanged(1,0)", "ScrollIntoView(1)"}));
}

TEST_F(ListTest, FocusInsideABatchDoesNotScroll) {
  AddRows({"1", "2"});
  tree.BeginBatch();
  tree.FocusNode(tree.NodeAt(1));
  tree.EndBatch();
  EXPECT_EQ(view.Count("ScrollIntoView(1)"), 0);
  EXPECT_EQ(tree.CurrentNode(), tree.NodeAt(1));
}

TEST_F(ListTest, ClickSelectsAndFocusesOneRowAndSortMovesItsIndex) {
  AddRows({"1", "2", "3"});
  tree.UserClickNode(tree.NodeAt(0));
  tree.UserClickNode(tree.NodeAt(2));
  EXPECT_FALSE(tree.NodeAt(0)->selected);
  EXPECT_EQ(tree.SelectedNode(), tree.NodeAt(2));
  EXPECT_EQ(tree.CurrentNode(), tree.NodeAt(2));
  tree.SetSortDirection(sdDescending);
  EXPECT_EQ(FocusedLabel(), "r2");
  EXPECT_EQ(tree.CurrentNode()->index, 0);
  EXPECT_EQ(view.lastFocused, 0);
  EXPECT_EQ(view.lastSelected, 0);
  // A node of another list is refused rather than followed.
  TVirtualStringTree other;
  other.AppendNode();
  tree.UserClickNode(other.FirstNode());
  tree.FocusNode(other.FirstNode());
  EXPECT_EQ(FocusedLabel(), "r2");
}

// ---- Header ----

TEST_F(ListTest, ColumnWidthsAreClamped) {
  const struct {
    int written;
    int stored;
  } cases[] = {{5, 10}, {10, 10}, {200, 200}, {10000, 10000}, {20000, 10000}, {INT_MIN, 10}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written);
    tree.SetColumnWidth(2, c.written);
    EXPECT_EQ(tree.Column(2).Width, c.stored);
  }
  tree.SetColumnWidth(4, 100);  // no such column: nothing happens
  EXPECT_EQ(tree.Column(4).Width, TVirtualTreeColumn{}.Width);
  EXPECT_EQ(tree.Column(-1).WideText, "");
}

TEST_F(ListTest, ColumnOrderChangesPositionsOnlyForAPermutation) {
  tree.SetColumnOrder({3, 0, 1, 2});
  EXPECT_EQ(tree.Column(3).Position, 0);
  EXPECT_EQ(tree.Column(0).Position, 1);
  EXPECT_EQ(tree.Column(3).WideText, "Installé par");
  for (const std::vector<TColumnIndex>& bad :
       {std::vector<TColumnIndex>{0, 1, 2}, {0, 0, 1, 2}, {0, 1, 2, 4}, {-1, 0, 1, 2}}) {
    tree.SetColumnOrder(bad);
    EXPECT_EQ(tree.Column(3).Position, 0);
    EXPECT_EQ(tree.Column(2).Position, 3);
  }
}

TEST_F(ListTest, HeaderInputReachesTheHandlers) {
  std::vector<std::string> events;
  tree.OnHeaderClick = [&](TColumnIndex column, TMouseButton button, TShiftState shift) {
    events.push_back(std::string("click ") + std::to_string(column) +
                     (button == TMouseButton::mbLeft ? " L" : " R") +
                     (shift.doubleClick ? " double" : ""));
  };
  tree.OnAfterColumnWidthTracking = [&](TColumnIndex column) {
    events.push_back(std::string("tracked ") + std::to_string(column) + " " +
                     std::to_string(tree.Column(column).Width));
  };
  tree.OnDblClick = [&] { events.push_back("dblclick"); };
  TShiftState doubled;
  doubled.doubleClick = true;
  tree.HeaderClick(2, TMouseButton::mbLeft, {});
  tree.HeaderClick(2, TMouseButton::mbLeft, doubled);
  tree.HeaderClick(3, TMouseButton::mbRight, {});
  tree.HeaderClick(4, TMouseButton::mbLeft, {});
  tree.HeaderClick(-1, TMouseButton::mbLeft, {});
  tree.ColumnWidthTracked(1, 5);
  tree.ColumnWidthTracked(7, 5);
  tree.DoubleClick();
  EXPECT_EQ(events,
            (Labels{"click 2 L", "click 2 L double", "click 3 R", "tracked 1 10", "dblclick"}));
}

// ---- Keyboard search ----

class SearchTest : public ListTest {
 protected:
  void SetUp() override {
    ListTest::SetUp();
    AddRows({"0", "1", "2", "3", "4", "5"},
            {"apple", "banana", "avocado", "apricot", "Apex", "\xE9t\xE9"});
  }
  // Types each character 100 ms after the last one.
  void Type(const std::string& keys) {
    for (char c : keys) {
      now += 100;
      tree.IncrementalSearchKey(c);
    }
  }
};

TEST_F(SearchTest, TypedCharactersFindRowsByPrefix) {
  const struct {
    const char* name;
    const char* keys;
    const char* focused;
    const char* searchText;
    int beeps;
  } cases[] = {
      {"new search from the top", "a", "r0", "a", 0},
      {"extension stays on the current row", "ap", "r0", "ap", 0},
      {"extension moves on", "apr", "r3", "apr", 0},
      {"case counts", "A", "r4", "A", 0},
      {"same character steps", "aa", "r2", "a", 0},
      {"same character wraps", "aaaa", "r0", "a", 0},
      {"unmatched is not kept", "apx", "r0", "ap", 1},
      {"nothing found", "z", "", "", 1},
      {"8-bit character", "\xE9t", "r5", "\xE9t", 0},
      {"control characters are not typing", "\r\t\x1b", "", "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    tree.KillFocus();
    tree.FocusNode(nullptr);
    tree.SelectNode(nullptr);
    view.beeps = 0;
    Type(c.keys);
    EXPECT_EQ(FocusedLabel(), c.focused);
    EXPECT_EQ(tree.SearchText(), c.searchText);
    EXPECT_EQ(view.beeps, c.beeps);
    EXPECT_EQ(tree.SelectedNode(), tree.CurrentNode());
  }
}

TEST_F(SearchTest, NewSearchStartsAfterTheCurrentRowAndWraps) {
  tree.FocusNode(tree.NodeAt(0));
  Type("a");
  EXPECT_EQ(FocusedLabel(), "r2");
  tree.FocusNode(tree.NodeAt(4));
  tree.KillFocus();
  Type("b");  // past the last row, round to the first
  EXPECT_EQ(FocusedLabel(), "r1");
  tree.KillFocus();
  Type("b");  // the only match is the current row itself, reached last
  EXPECT_EQ(FocusedLabel(), "r1");
  EXPECT_EQ(view.beeps, 0);
}

TEST_F(SearchTest, SameCharacterTwiceExtendsWhenTheCurrentRowHasItDoubled) {
  tree.BeginBatch();
  for (const char* text : {"aa1", "ab", "aa2"}) {
    auto record = std::make_unique<TTreeDataClass>();
    record->HotFixID = "9";
    record->InstalledOn = text;
    record->Description = text;
    *tree.NodeRecord(tree.AppendNode()) = std::move(record);
  }
  tree.EndBatch();
  tree.KillFocus();
  tree.FocusNode(tree.NodeAt(5));
  Type("a");
  EXPECT_EQ(FocusedLabel(), "aa1");
  Type("a");
  EXPECT_EQ(FocusedLabel(), "aa1");
  EXPECT_EQ(tree.SearchText(), "aa");
  Type("2");
  EXPECT_EQ(FocusedLabel(), "aa2");
}

TEST_F(SearchTest, SearchTextExpiresAfterOneSecond) {
  Type("ap");
  now += 999;
  EXPECT_EQ(tree.SearchText(), "ap");
  tree.IncrementalSearchKey('r');
  EXPECT_EQ(FocusedLabel(), "r3");
  now += 1000;
  EXPECT_EQ(tree.SearchText(), "");
  tree.IncrementalSearchKey('b');
  EXPECT_EQ(FocusedLabel(), "r1");
  EXPECT_EQ(tree.SearchText(), "b");
  now -= 5000;  // a clock that goes backwards never keeps a stale text
  EXPECT_EQ(tree.SearchText(), "");
}

TEST_F(SearchTest, BackspaceAndKillFocusShortenTheText) {
  Type("apr");
  tree.IncrementalSearchBackspace();
  EXPECT_EQ(tree.SearchText(), "ap");
  tree.IncrementalSearchBackspace();
  tree.IncrementalSearchBackspace();
  tree.IncrementalSearchBackspace();
  EXPECT_EQ(tree.SearchText(), "");
  Type("ap");
  tree.KillFocus();
  EXPECT_EQ(tree.SearchText(), "");
  EXPECT_EQ(FocusedLabel(), "r0");
}

TEST_F(SearchTest, SearchFollowsTheDisplayOrder) {
  tree.SetSortDirection(sdDescending);  // r5 r4 r3 r2 r1 r0
  Type("a");
  EXPECT_EQ(FocusedLabel(), "r3");
  EXPECT_EQ(view.lastFocused, 2);
}

TEST_F(SearchTest, EmptyListBeeps) {
  tree.ClearNodes();
  Type("a");
  EXPECT_EQ(view.beeps, 1);
  EXPECT_EQ(tree.SearchText(), "");
}

TEST_F(ListTest, LongTextsSortAndSearch) {
  const std::string base(10000, 'x');
  tree.OnCompareNodes = [this](PVirtualNode a, PVirtualNode b, TColumnIndex, int& result) {
    const int c = std::string_view(Record(a)->InstalledOn).compare(Record(b)->InstalledOn);
    result = c < 0 ? -1 : (c > 0 ? 1 : 0);
  };
  AddRows({"0", "1", "2"}, {base + "c", base + "a", base + "b"});
  EXPECT_EQ(Order(), (Labels{"r1", "r2", "r0"}));
  for (int i = 0; i < 10000; ++i) tree.IncrementalSearchKey('x');
  EXPECT_EQ(tree.SearchText().size(), 10000u);
  tree.IncrementalSearchKey('b');
  EXPECT_EQ(FocusedLabel(), "r2");
  tree.IncrementalSearchKey('z');
  EXPECT_EQ(view.beeps, 1);
  EXPECT_EQ(tree.SearchText().size(), 10001u);
}

}  // namespace
