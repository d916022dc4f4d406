// Nodes, batches, sorting and the header state of the list model. Focus, selection and the
// user's input are in virtual_string_tree_input.cpp.
#include "list/virtual_string_tree.h"

#include <algorithm>
#include <exception>
#include <numeric>

#include "list/merge_order.h"

// Holds one batch open for its lifetime. A handler that throws in the middle of an operation
// must not leave the counter raised, or the list would never sort by itself again.
class TVirtualStringTree::BatchScope {
 public:
  explicit BatchScope(TVirtualStringTree& tree) : tree_(tree) { ++tree_.batchCount_; }
  ~BatchScope() {
    if (open_) Release();
  }
  BatchScope(const BatchScope&) = delete;
  BatchScope& operator=(const BatchScope&) = delete;

  // True when this was the outermost batch.
  bool Close() {
    Release();
    return tree_.batchCount_ == 0;
  }

 private:
  void Release() {
    open_ = false;
    if (tree_.batchCount_ > 0) --tree_.batchCount_;
  }

  TVirtualStringTree& tree_;
  bool open_ = true;
};

// The sorts of the operation under way, on the rows' positions when the first of them began;
// applied to the rows once, when the operation ends.
struct TVirtualStringTree::PendingSort {
  TColumnIndex column = NoColumn;
  std::unique_ptr<PreparedSort> prepared;  // null: the sorts go through OnCompareNodes
  std::vector<std::uint32_t> order;        // the positions, in the order the sorts gave
  std::vector<std::uint32_t> scratch;      // where a sort works until it has returned
  std::uint64_t revision = 0;              // the list's when the sorting began
};

TVirtualStringTree::ChangeScope::ChangeScope(TVirtualStringTree& tree)
    : tree_(tree), uncaught_(std::uncaught_exceptions()) {
  ++tree_.changeDepth_;
}

TVirtualStringTree::ChangeScope::~ChangeScope() noexcept(false) {
  if (--tree_.changeDepth_ > 0) return;
  tree_.EndOfChanges(std::uncaught_exceptions() > uncaught_);
}

TVirtualStringTree::TVirtualStringTree() = default;

TVirtualStringTree::~TVirtualStringTree() {
  // The view may already be gone, and a destructor has nobody to hand an error to: every
  // record still goes through OnFreeNode once, and is released with its node regardless.
  OnChanges = nullptr;
  pendingSort_.reset();
  while (!nodes_.empty()) {
    try {
      DeleteNodes(0);
    } catch (...) {
    }
  }
}

// Inside a batch rows come and go silently; the view catches up when the batch closes.
void TVirtualStringTree::RowsChanged() {
  if (batchCount_ > 0) {
    rowsSinceSync_ = true;
  } else {
    changes_.rows = true;
    changed_ = true;
  }
}

void TVirtualStringTree::RepaintLater(PVirtualNode node) {
  if (node == nullptr || node->index < 0) return;
  changes_.repaint.push_back(node->index);
  changed_ = true;
}

void TVirtualStringTree::FocusMoved() {
  changes_.focus = true;
  changed_ = true;
}

void TVirtualStringTree::SyncViewAfterBatch() {
  if (!rowsSinceSync_) return;
  rowsSinceSync_ = false;
  changes_.rows = true;
  changed_ = true;
}

// The sorts' order goes onto the rows; a sort prepared for rows since changed is dropped.
void TVirtualStringTree::ApplyPendingSort() {
  if (!pendingSort_) return;
  std::unique_ptr<PendingSort> pending = std::move(pendingSort_);
  if (pending->revision == revision_ && ApplyOrder(pending->order) && pending->prepared)
    pending->prepared->OrderApplied(pending->order, revision_);
  // Its room serves the next sort: 100,000 rows' worth of fresh memory costs a page fault per
  // 4 KiB at its first touch, more than the sorting of rows already in order.
  pending->prepared.reset();
  spareSort_ = std::move(pending);
}

void TVirtualStringTree::EndOfChanges(bool unwinding) {
  // Another error is already on its way out: the rows and the view still end up consistent, and
  // what fails here cannot be told as well.
  const auto guarded = [unwinding](auto&& step) {
    if (!unwinding) {
      step();
      return;
    }
    try {
      step();
    } catch (...) {
    }
  };
  guarded([this] { ApplyPendingSort(); });
  if (!changed_) return;
  ListChanges changes = std::move(changes_);
  changes_ = ListChanges{};
  changed_ = false;
  changes.rowCount = RootNodeCount();
  changes.focused = focused_ != nullptr ? focused_->index : -1;
  changes.selected = selected_ != nullptr ? selected_->index : -1;
  changes.scrollTo = scrollNode_ != nullptr && Owns(scrollNode_) ? scrollNode_->index : -1;
  scrollNode_ = nullptr;
  if (changes.rows) {
    changes.repaint.clear();  // every shown row is painted again
  } else {
    std::sort(changes.repaint.begin(), changes.repaint.end());
    changes.repaint.erase(std::unique(changes.repaint.begin(), changes.repaint.end()),
                          changes.repaint.end());
    std::erase_if(changes.repaint, [&](int row) { return row < 0 || row >= changes.rowCount; });
  }
  // A copy, so that a view rebinding the event cannot pull it from under the call.
  const auto view = OnChanges;
  if (view) guarded([&] { view(changes); });
}

bool TVirtualStringTree::Owns(PVirtualNode node) const {
  return node != nullptr && node->index >= 0 &&
         static_cast<std::size_t>(node->index) < nodes_.size() &&
         nodes_[static_cast<std::size_t>(node->index)] == node;
}

// The flag goes up before the handler runs, so a node is initialised once even if the
// handler throws or looks the node up again.
void TVirtualStringTree::EnsureInitialized(PVirtualNode node) const {
  if (node == nullptr || node->initialized) return;
  node->initialized = true;
  --uninitialized_;
  if (OnInitNode) {
    InitialStates states;
    OnInitNode(nullptr, node, states);
  }
}

// ---- Nodes ----

int TVirtualStringTree::RootNodeCount() const {
  return static_cast<int>(nodes_.size());
}

int TVirtualStringTree::NodeDataSize() const {
  return nodeDataSize_;
}

PVirtualNode TVirtualStringTree::CreateNode() {
  if (nodeDataSize_ < 0) {
    int size = 0;
    if (OnGetNodeDataSize) OnGetNodeDataSize(size);
    nodeDataSize_ = std::max(size, 0);
  }
  if (freeNodes_.empty()) {
    nodeBlocks_.push_back(std::make_unique<VirtualNode[]>(kBlockSize));
    VirtualNode* block = nodeBlocks_.back().get();
    // Room for every node of every block, so that giving a node back never allocates.
    freeNodes_.reserve(nodeBlocks_.size() * kBlockSize);
    for (std::size_t i = kBlockSize; i > 0; --i) freeNodes_.push_back(&block[i - 1]);
  }
  // Room made ahead, so that nothing below can fail; doubling, because growing by one row at a
  // time would copy the whole sequence at every append of a first scan.
  if (nodes_.size() == nodes_.capacity())
    nodes_.reserve(std::max<std::size_t>(64, 2 * nodes_.size()));
  PVirtualNode node = freeNodes_.back();
  freeNodes_.pop_back();
  *node = VirtualNode{};
  node->hasSlot = nodeDataSize_ > 0;
  node->index = RootNodeCount();
  nodes_.push_back(node);
  ++uninitialized_;
  ++revision_;
  RowsChanged();
  return node;
}

// The node's record goes with it. The node's memory stays with the list until the list goes,
// so a pointer kept to a deleted node still reads as no node of the list (index -1) instead of
// reading freed memory.
void TVirtualStringTree::ReleaseNode(PVirtualNode node) {
  if (!node->initialized) --uninitialized_;
  node->record.reset();
  node->index = -1;
  freeNodes_.push_back(node);
}

// From the end, each node leaving the sequence before its handler runs: a throwing handler
// leaves a consistent list behind, and the node's record is released with it either way.
void TVirtualStringTree::DeleteNodes(std::size_t fromIndex) {
  if (fromIndex >= nodes_.size()) return;
  ChangeScope scope(*this);
  ApplyPendingSort();
  try {
    while (nodes_.size() > fromIndex) {
      const PVirtualNode node = nodes_.back();
      nodes_.pop_back();
      ++revision_;
      RowsChanged();
      if (node == focused_ || node == selected_) FocusMoved();
      if (node == focused_) focused_ = nullptr;
      if (node == selected_) selected_ = nullptr;
      struct Release {
        TVirtualStringTree& tree;
        PVirtualNode node;
        ~Release() { tree.ReleaseNode(node); }
      } release{*this, node};
      if (node->initialized && OnFreeNode) OnFreeNode(node);
    }
  } catch (...) {  // whatever a handler raised goes on, once the view knows the new count
    changes_.rows = true;
    changed_ = true;
    throw;
  }
  if (nodes_.empty()) ReuseNodesInAddressOrder();
}

// Nodes come back to the free list in the order the rows were shown, so after a sort and a new
// scan the rows' nodes would lie scattered over the blocks. Once the list is empty, the next rows
// get the nodes in address order again, and walking them reads memory in sequence.
void TVirtualStringTree::ReuseNodesInAddressOrder() {
  freeNodes_.clear();  // keeps its capacity: room for every node of every block
  for (std::size_t block = nodeBlocks_.size(); block > 0; --block) {
    VirtualNode* nodes = nodeBlocks_[block - 1].get();
    for (std::size_t i = kBlockSize; i > 0; --i) freeNodes_.push_back(&nodes[i - 1]);
  }
}

void TVirtualStringTree::RenumberFrom(std::size_t index) {
  for (std::size_t i = index; i < nodes_.size(); ++i) nodes_[i]->index = static_cast<int>(i);
}

void TVirtualStringTree::SetRootNodeCount(int count) {
  const std::size_t wanted = static_cast<std::size_t>(std::max(count, 0));
  ChangeScope scope(*this);
  ApplyPendingSort();
  BatchScope batch(*this);
  if (wanted < nodes_.size()) {
    DeleteNodes(wanted);
  } else {
    nodes_.reserve(wanted);
    while (nodes_.size() < wanted) CreateNode();
  }
  if (batch.Close()) AutoSort();
}

void TVirtualStringTree::BeginBatch() {
  ++batchCount_;
}

void TVirtualStringTree::EndBatch() {
  // An unmatched EndBatch closes nothing, so it sorts nothing either.
  if (batchCount_ == 0) return;
  ChangeScope scope(*this);
  if (--batchCount_ == 0) AutoSort();
}

int TVirtualStringTree::BatchCount() const {
  return batchCount_;
}

void TVirtualStringTree::ClearNodes() {
  ChangeScope scope(*this);
  BatchScope batch(*this);
  DeleteNodes(0);
  if (batch.Close()) AutoSort();
}

PVirtualNode TVirtualStringTree::AppendNode() {
  ChangeScope scope(*this);
  ApplyPendingSort();
  PVirtualNode node = CreateNode();
  EnsureInitialized(node);
  if (batchCount_ == 0) AutoSort();
  return node;
}

PVirtualNode TVirtualStringTree::FirstNode() const {
  return NodeAt(0);
}

PVirtualNode TVirtualStringTree::NextNode(PVirtualNode node) const {
  if (!Owns(node)) return nullptr;
  return NodeAt(node->index + 1);
}

void TVirtualStringTree::RecordsInOrder(std::vector<const TTreeDataClass*>& records) const {
  records.resize(nodes_.size());
  for (std::size_t i = 0; i < nodes_.size(); ++i) {
    const PVirtualNode node = nodes_[i];
    if (!node->initialized) EnsureInitialized(node);
    records[i] = node->hasSlot ? node->record.get() : nullptr;
  }
}

// ---- Sorting ----

void TVirtualStringTree::AutoSort() {
  SortByColumn(sortColumn_, sortDirection_);
}

// `order` lists the current indexes in their new order; anything but a permutation of them is
// ignored, since applying it would lose or duplicate rows.
bool TVirtualStringTree::ApplyOrder(const std::vector<std::uint32_t>& order) {
  const std::size_t count = nodes_.size();
  if (order.size() != count) return false;
  seen_.assign(count, false);
  bool changed = false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t from = order[i];
    if (from >= count || seen_[from]) return false;
    seen_[from] = true;
    changed = changed || from != i;
  }
  if (!changed) return true;
  // The sequence the rows leave serves as room for the next order.
  reordered_.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    reordered_[i] = nodes_[order[i]];
    reordered_[i]->index = static_cast<int>(i);
  }
  nodes_.swap(reordered_);
  ++revision_;
  RowsChanged();
  return true;
}

// The sort goes onto the pending order of the operation, which the rows take when it ends. The
// order changes only once every comparison has returned, so a throwing handler leaves it as it
// was, and a handler that changes the list abandons the sort.
void TVirtualStringTree::SortByColumn(TColumnIndex column, TSortDirection direction) {
  ChangeScope scope(*this);
  BatchScope batch(*this);
  if (column >= NoColumn && nodes_.size() > 1) {
    if (pendingSort_ && (pendingSort_->column != column || pendingSort_->revision != revision_))
      ApplyPendingSort();
    if (!pendingSort_) {
      if (uninitialized_ > 0) {
        for (std::size_t i = 0; i < nodes_.size(); ++i) EnsureInitialized(nodes_[i]);
      }
      std::unique_ptr<PendingSort> pending =
          spareSort_ ? std::move(spareSort_) : std::make_unique<PendingSort>();
      pending->column = column;
      pending->prepared = OnPrepareSort ? OnPrepareSort(column) : nullptr;
      pending->order.resize(nodes_.size());
      std::iota(pending->order.begin(), pending->order.end(), 0u);
      pending->revision = revision_;
      pendingSort_ = std::move(pending);
    }
    // Held here while the handlers run: should one change the rows, the sorts so far are
    // dropped with the positions they were made for; should one throw, those before this one
    // stay.
    std::unique_ptr<PendingSort> pending = std::move(pendingSort_);
    struct PutBack {
      TVirtualStringTree& tree;
      std::unique_ptr<PendingSort>& pending;
      ~PutBack() {
        if (!tree.pendingSort_ && pending->revision == tree.revision_)
          tree.pendingSort_ = std::move(pending);
      }
    } putBack{*this, pending};
    std::vector<std::uint32_t>& order = pending->scratch;
    order = pending->order;
    bool sorted = true;
    if (pending->prepared != nullptr) {
      pending->prepared->SortPositions(direction, order);
    } else if (OnCompareNodes) {
      // A copy, so that a handler rebinding the event cannot pull it from under the sort.
      const auto compareNodes = OnCompareNodes;
      const std::uint64_t revision = revision_;
      sorted = MergeSortItems(
          order,
          [&](std::uint32_t a, std::uint32_t b) {
            int result = 0;
            compareNodes(nodes_[a], nodes_[b], column, result);
            return result;
          },
          direction == sdDescending, [&] { return revision != revision_; });
    }
    if (sorted) pending->order.swap(order);
  }
  if (batch.Close()) SyncViewAfterBatch();
}

// ---- Header ----

int TVirtualStringTree::ColumnCount() const {
  return static_cast<int>(columns_.size());
}

void TVirtualStringTree::AddColumn(const std::string& caption, int width) {
  TVirtualTreeColumn column;
  column.WideText = caption;
  column.Width = std::clamp(width, column.MinWidth, column.MaxWidth);
  column.Position = ColumnCount();
  ChangeScope scope(*this);
  columns_.push_back(std::move(column));
  changes_.header = changed_ = true;
}

const TVirtualTreeColumn& TVirtualStringTree::Column(TColumnIndex index) const {
  if (index < 0 || index >= ColumnCount()) return noColumn_;
  return columns_[static_cast<std::size_t>(index)];
}

void TVirtualStringTree::SetColumnWidth(TColumnIndex index, int width) {
  if (index < 0 || index >= ColumnCount()) return;
  TVirtualTreeColumn& column = columns_[static_cast<std::size_t>(index)];
  const int clamped = std::clamp(width, column.MinWidth, column.MaxWidth);
  if (clamped == column.Width) return;
  ChangeScope scope(*this);
  column.Width = clamped;
  changes_.header = changed_ = true;
}

// Anything but a permutation of the column indexes would leave two columns on one place.
void TVirtualStringTree::SetColumnOrder(const std::vector<TColumnIndex>& indexesByPosition) {
  if (indexesByPosition.size() != columns_.size()) return;
  std::vector<bool> seen(columns_.size(), false);
  for (TColumnIndex index : indexesByPosition) {
    if (index < 0 || index >= ColumnCount() || seen[static_cast<std::size_t>(index)]) return;
    seen[static_cast<std::size_t>(index)] = true;
  }
  bool changed = false;
  for (std::size_t position = 0; position < indexesByPosition.size(); ++position) {
    int& current = columns_[static_cast<std::size_t>(indexesByPosition[position])].Position;
    if (current != static_cast<int>(position)) changed = true;
    current = static_cast<int>(position);
  }
  if (!changed) return;
  ChangeScope scope(*this);
  changes_.header = changed_ = true;
}

TColumnIndex TVirtualStringTree::SortColumn() const {
  return sortColumn_;
}

void TVirtualStringTree::SetSortColumn(TColumnIndex column) {
  const TColumnIndex clamped = std::clamp(column, NoColumn, ColumnCount() - 1);
  if (clamped == sortColumn_) return;
  ChangeScope scope(*this);
  sortColumn_ = clamped;
  changes_.header = changed_ = true;
  if (batchCount_ == 0) AutoSort();
}

TSortDirection TVirtualStringTree::SortDirection() const {
  return sortDirection_;
}

void TVirtualStringTree::SetSortDirection(TSortDirection direction) {
  // A stored setting may hold any byte; only 1 means descending.
  const TSortDirection normal = direction == sdDescending ? sdDescending : sdAscending;
  if (normal == sortDirection_) return;
  ChangeScope scope(*this);
  sortDirection_ = normal;
  changes_.header = changed_ = true;
  if (batchCount_ == 0) AutoSort();
}
