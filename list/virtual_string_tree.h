#pragma once
// The list model behind the hotfix list: a flat sequence of nodes, each with one record slot.
// It stores no text: texts, order and colours come from the event handlers (list/*_handlers).
// Any widget can stand in front of it; the Win32 one is list/list_view_win32.h, which mirrors
// the model through ListObserver.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "inventory/hotfix_record.h"
#include "list/list_types.h"

struct VirtualNode;
using PVirtualNode = VirtualNode*;

// The slot a node holds: exactly one record reference. Owning it here means a record can never
// outlive its row, even if no OnFreeNode handler is bound; the handler still frees it first.
using RecordSlot = std::unique_ptr<TTreeDataClass>;

struct VirtualNode {
  RecordSlot record;
  bool hasSlot = false;      // false while the node data size is 0
  bool initialized = false;  // OnInitNode raised
  bool selected = false;
  int index = 0;  // place in the display order; kept current by the model
};

// What a view needs to hear to stay a mirror of the model. Every call is synchronous.
class ListObserver {
 public:
  virtual ~ListObserver() = default;
  virtual void RowCountChanged(int count) = 0;  // rows added, deleted or reordered
  virtual void RepaintRow(int index) = 0;       // invalidate one row
  virtual void RepaintAll(bool immediately) = 0;
  virtual void ScrollIntoView(int index) = 0;
  virtual void HeaderChanged() = 0;  // sort mark, widths or positions changed
  virtual void FocusChanged(int focusedIndex, int selectedIndex) = 0;  // -1 for none
  virtual void Beep() = 0;  // the keyboard search found nothing
};

// A sort of the whole list prepared from keys derived once per sort, by the nodes' positions
// when it was made; its order is the one a merge sort through OnCompareNodes would give.
class PreparedSort {
 public:
  virtual ~PreparedSort() = default;
  // Fills `order` with the node indexes as they stood when the sort was prepared, in their
  // sorted order.
  virtual void SortedPositions(TSortDirection direction, std::vector<std::uint32_t>& order) = 0;
  // Called once the list holds that order, with the list's revision then; the sort is used for
  // nothing after it.
  virtual void OrderApplied(std::uint64_t /*revision*/) {}
};

struct TVirtualTreeColumn {
  std::string WideText;  // caption, UTF-8
  int Width = 50;
  int Position = 0;  // place on screen
  int MinWidth = 10;
  int MaxWidth = 10000;
};

struct InitialStates {
  bool hasChildren = false;
};

class TVirtualStringTree {
 public:
  // Events, raised synchronously from inside the operation or input that causes them.
  // Texts are in the system's 8-bit code page.
  std::function<void(PVirtualNode node, TColumnIndex column, std::string& cellText)> OnGetText;
  std::function<void(PVirtualNode node, TColumnIndex column, TColor& fontColor)> OnPaintText;
  std::function<void(PVirtualNode node1, PVirtualNode node2, TColumnIndex column, int& result)>
      OnCompareNodes;
  std::function<void(TColumnIndex column, TMouseButton button, TShiftState shift)> OnHeaderClick;
  std::function<void(PVirtualNode node)> OnFreeNode;
  std::function<void(PVirtualNode parent, PVirtualNode node, InitialStates& states)> OnInitNode;
  std::function<void(int& nodeDataSize)> OnGetNodeDataSize;
  std::function<void(TColumnIndex column)> OnAfterColumnWidthTracking;
  std::function<void()> OnDblClick;
  // Optional: when it returns a prepared sort, a sort uses it instead of OnCompareNodes.
  std::function<std::unique_ptr<PreparedSort>(TColumnIndex column)> OnPrepareSort;
  // Milliseconds from any fixed origin; the keyboard search reads it. Injected by tests.
  std::function<std::uint64_t()> Clock;

  TVirtualStringTree();
  ~TVirtualStringTree();  // deletes the nodes, raising OnFreeNode as ClearNodes does
  TVirtualStringTree(const TVirtualStringTree&) = delete;
  TVirtualStringTree& operator=(const TVirtualStringTree&) = delete;

  void SetObserver(ListObserver* observer);  // not owned; null for none

  // Nodes
  int RootNodeCount() const;
  void SetRootNodeCount(int count);  // in a batch of its own; deletes from the end
  int NodeDataSize() const;          // -1 while unset
  void BeginBatch();
  void EndBatch();  // sorts and repaints when the counter returns to 0
  int BatchCount() const;
  void ClearNodes();
  PVirtualNode AppendNode();
  // Null for a null node or a node without slot. Inline: every walk of the rows asks it per row.
  RecordSlot* NodeRecord(PVirtualNode node) {
    return node != nullptr && node->hasSlot ? &node->record : nullptr;
  }
  PVirtualNode FirstNode() const;
  PVirtualNode NextNode(PVirtualNode node) const;
  PVirtualNode NodeAt(int index) const;  // display order; null out of range
  void SortByColumn(TColumnIndex column, TSortDirection direction);
  // Changes whenever nodes are added, deleted or reordered; lets a reader keep what it derived
  // from the rows for as long as they stay as they are.
  std::uint64_t Revision() const { return revision_; }

  // Focus and selection (single selection)
  void FocusNode(PVirtualNode node);  // never changes the selection
  PVirtualNode CurrentNode() const;
  PVirtualNode SelectedNode() const;
  void SelectNode(PVirtualNode node);  // the only selected node, or none
  TColumnIndex FocusedColumn() const;
  void RepaintNow();

  // Header
  int ColumnCount() const;
  void AddColumn(const std::string& caption, int width);
  const TVirtualTreeColumn& Column(TColumnIndex index) const;
  void SetColumnWidth(TColumnIndex index, int width);  // clamped to MinWidth..MaxWidth
  void SetColumnOrder(const std::vector<TColumnIndex>& indexesByPosition);
  TColumnIndex SortColumn() const;
  void SetSortColumn(TColumnIndex column);  // clamped to -1..count-1; sorts when it changes
  TSortDirection SortDirection() const;
  void SetSortDirection(TSortDirection direction);  // sorts when it changes
  TColumnIndex MainColumn() const { return 1; }

  // User input, forwarded by a view
  void HeaderClick(TColumnIndex column, TMouseButton button, TShiftState shift);
  void ColumnWidthTracked(TColumnIndex column, int newWidth);  // divider released
  void UserClickNode(PVirtualNode node);  // a left or right click on a row: select and focus
  void DoubleClick();
  void IncrementalSearchKey(char typed);  // one typed 8-bit character
  void IncrementalSearchBackspace();
  void KillFocus();  // the list lost the keyboard focus: the search text is emptied
  const std::string& SearchText() const;

 private:
  class BatchScope;

  void DeleteNodes(std::size_t fromIndex);
  void RenumberFrom(std::size_t index);
  void AutoSort();
  void Notify(const std::function<void(ListObserver&)>& call);
  bool Owns(PVirtualNode node) const;
  void EnsureInitialized(PVirtualNode node) const;
  PVirtualNode CreateNode();
  void ReleaseNode(PVirtualNode node);
  void ReuseNodesInAddressOrder();
  void SyncViewAfterBatch();
  void NotifyFocus();
  template <typename Compare>
  void MergeSort(Compare& compare, TSortDirection direction);
  bool ApplyOrder(const std::vector<std::uint32_t>& order);  // false when not a permutation
  std::uint64_t Now() const;
  void ExpireSearchText(std::uint64_t now) const;
  TColumnIndex SearchColumn() const;
  std::string NodeText(PVirtualNode node, TColumnIndex column) const;
  PVirtualNode FindFrom(std::size_t start, const std::string& prefix, TColumnIndex column) const;

  // Nodes live in blocks allocated a thousand at a time and are reused through a free list, so
  // that walking 100,000 rows touches a few megabytes of neighbouring memory rather than one
  // scattered allocation per row. A node's address stays the same for its whole life.
  static constexpr std::size_t kBlockSize = 1024;
  std::vector<std::unique_ptr<VirtualNode[]>> nodeBlocks_;
  std::vector<PVirtualNode> freeNodes_;
  std::vector<PVirtualNode> nodes_;        // display order
  mutable std::size_t uninitialized_ = 0;  // nodes whose OnInitNode has not been raised yet
  std::vector<TVirtualTreeColumn> columns_;
  ListObserver* observer_ = nullptr;
  PVirtualNode focused_ = nullptr;
  PVirtualNode selected_ = nullptr;
  TColumnIndex focusedColumn_ = NoColumn;
  TColumnIndex sortColumn_ = 0;
  TSortDirection sortDirection_ = sdAscending;
  int nodeDataSize_ = -1;
  int batchCount_ = 0;
  std::uint64_t revision_ = 0;  // changes whenever nodes are added, deleted or reordered
  // The search text expires by time, which a const reader must be able to see.
  mutable std::string searchText_;
  mutable std::uint64_t lastSearchKeyTime_ = 0;
  TVirtualTreeColumn noColumn_;  // what Column answers for an index that names no column
};
