#pragma once
// The list model behind the hotfix list: a flat sequence of nodes, each with one record slot.
// It stores no text: texts, order and colours come from the event handlers (list/*_handlers).
// Any widget can stand in front of it; the Win32 one is list/list_view_win32.h, which mirrors
// the model from the changes it is told (OnChanges).
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

// What a view needs to hear to stay a mirror of the model: what one operation changed (a call
// from outside, a user's input and the handlers it raised, or a ChangeScope), told once, when it
// ends. Indexes are display order as the operation leaves it.
struct ListChanges {
  bool rows = false;         // rows added, deleted or re-ordered: the count and every shown row
  int rowCount = 0;          // always the count now
  std::vector<int> repaint;  // rows whose look changed (focus, selection), each once
  bool header = false;       // sort mark, widths or positions
  bool focus = false;        // the focused or the selected row moved
  int focused = -1;          // always the focused row now, -1 for none
  int selected = -1;         // always the selected row now, -1 for none
  int scrollTo = -1;         // a row to bring into view, -1 for none
  bool paintNow = false;     // every shown row painted again before the call returns
  bool beep = false;         // the keyboard search found nothing
};

// A sort of the whole list prepared from keys derived once, for the rows as they stood when it
// was made; its order is the one a merge sort through OnCompareNodes would give.
class PreparedSort {
 public:
  virtual ~PreparedSort() = default;
  // Re-orders `order`, the rows' positions as they stood when the sort was prepared, listed in
  // their current order, as a merge sort of the rows in that order would: several sorts of one
  // operation go one after the other on the same `order`.
  virtual void SortPositions(TSortDirection direction, std::vector<std::uint32_t>& order) = 0;
  // Called once the list holds `order`, with the list's revision then; the sort is used for
  // nothing after it.
  virtual void OrderApplied(const std::vector<std::uint32_t>& /*order*/,
                            std::uint64_t /*revision*/) {}
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
  // The view: what each operation changed, told once when it ends.
  std::function<void(const ListChanges&)> OnChanges;

  // What is done while a scope lives is one operation: its changes reach the view once, when
  // the outermost scope ends, and its sorts re-order the rows once. Until then the rows keep the
  // order they had when the sorting began (a header click sets the column, the direction, and
  // sorts: three sorts, one re-ordering).
  class ChangeScope {
   public:
    explicit ChangeScope(TVirtualStringTree& tree);
    ~ChangeScope() noexcept(false);
    ChangeScope(const ChangeScope&) = delete;
    ChangeScope& operator=(const ChangeScope&) = delete;

   private:
    TVirtualStringTree& tree_;
    int uncaught_;
  };

  TVirtualStringTree();
  ~TVirtualStringTree();  // deletes the nodes, raising OnFreeNode as ClearNodes does
  TVirtualStringTree(const TVirtualStringTree&) = delete;
  TVirtualStringTree& operator=(const TVirtualStringTree&) = delete;

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
  // Display order; null out of range. Inline: painting and every walk of the rows ask it.
  PVirtualNode NodeAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= nodes_.size()) return nullptr;
    const PVirtualNode node = nodes_[static_cast<std::size_t>(index)];
    if (!node->initialized) EnsureInitialized(node);
    return node;
  }
  // Every row's record in display order (null for a row without one), for what reads them all.
  void RecordsInOrder(std::vector<const TTreeDataClass*>& records) const;
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
  struct PendingSort;

  void DeleteNodes(std::size_t fromIndex);
  void RenumberFrom(std::size_t index);
  void AutoSort();
  void RowsChanged();
  void RepaintLater(PVirtualNode node);
  void FocusMoved();
  void ApplyPendingSort();
  void EndOfChanges(bool unwinding);
  bool Owns(PVirtualNode node) const;
  void EnsureInitialized(PVirtualNode node) const;
  PVirtualNode CreateNode();
  void ReleaseNode(PVirtualNode node);
  void ReuseNodesInAddressOrder();
  void SyncViewAfterBatch();
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
  PVirtualNode focused_ = nullptr;
  PVirtualNode selected_ = nullptr;
  TColumnIndex focusedColumn_ = NoColumn;
  TColumnIndex sortColumn_ = 0;
  TSortDirection sortDirection_ = sdAscending;
  int nodeDataSize_ = -1;
  int batchCount_ = 0;
  std::uint64_t revision_ = 0;  // changes whenever nodes are added, deleted or reordered
  // The operation under way: how deep its scopes are, what it changed so far, and the sorts it
  // made that are not applied yet.
  int changeDepth_ = 0;
  ListChanges changes_;
  bool changed_ = false;        // something in changes_ to tell
  bool rowsSinceSync_ = false;  // rows added or re-ordered silently inside a batch
  PVirtualNode scrollNode_ = nullptr;
  std::unique_ptr<PendingSort> pendingSort_;
  std::unique_ptr<PendingSort> spareSort_;  // the last one, whose room the next one takes
  // Room kept for re-ordering the rows.
  std::vector<PVirtualNode> reordered_;
  std::vector<bool> seen_;
  // The search text expires by time, which a const reader must be able to see.
  mutable std::string searchText_;
  mutable std::uint64_t lastSearchKeyTime_ = 0;
  TVirtualTreeColumn noColumn_;  // what Column answers for an index that names no column
};
