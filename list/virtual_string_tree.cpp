// Nodes, batches, sorting and the header state of the list model. Focus, selection and the
// user's input are in virtual_string_tree_input.cpp.
#include "list/virtual_string_tree.h"

#include <algorithm>

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

TVirtualStringTree::TVirtualStringTree() = default;

TVirtualStringTree::~TVirtualStringTree() {
  // The view may already be gone, and a destructor has nobody to hand an error to: every
  // record still goes through OnFreeNode once, and is released with its node regardless.
  observer_ = nullptr;
  while (!nodes_.empty()) {
    try {
      DeleteNodes(0);
    } catch (...) {
    }
  }
}

void TVirtualStringTree::SetObserver(ListObserver* observer) {
  observer_ = observer;
}

void TVirtualStringTree::Notify(const std::function<void(ListObserver&)>& call) {
  if (observer_ != nullptr) call(*observer_);
}

void TVirtualStringTree::NotifyFocus() {
  const int focused = focused_ != nullptr ? focused_->index : -1;
  const int selected = selected_ != nullptr ? selected_->index : -1;
  Notify([&](ListObserver& o) { o.FocusChanged(focused, selected); });
}

// Rows may have been added or reordered silently inside the batch; the view catches up here.
void TVirtualStringTree::SyncViewAfterBatch() {
  const int count = RootNodeCount();
  Notify([&](ListObserver& o) { o.RowCountChanged(count); });
  NotifyFocus();
  Notify([](ListObserver& o) { o.RepaintAll(false); });
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
  bool focusMoved = false;
  auto syncView = [&] {
    const int count = RootNodeCount();
    Notify([&](ListObserver& o) { o.RowCountChanged(count); });
    if (focusMoved) NotifyFocus();
  };
  try {
    while (nodes_.size() > fromIndex) {
      const PVirtualNode node = nodes_.back();
      nodes_.pop_back();
      ++revision_;
      if (node == focused_ || node == selected_) focusMoved = true;
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
    syncView();
    throw;
  }
  if (nodes_.empty()) ReuseNodesInAddressOrder();
  syncView();
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
  if (--batchCount_ == 0) AutoSort();
}

int TVirtualStringTree::BatchCount() const {
  return batchCount_;
}

void TVirtualStringTree::ClearNodes() {
  BatchScope batch(*this);
  DeleteNodes(0);
  if (batch.Close()) AutoSort();
}

PVirtualNode TVirtualStringTree::AppendNode() {
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

PVirtualNode TVirtualStringTree::NodeAt(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= nodes_.size()) return nullptr;
  PVirtualNode node = nodes_[static_cast<std::size_t>(index)];
  EnsureInitialized(node);
  return node;
}

// ---- Sorting ----

void TVirtualStringTree::AutoSort() {
  SortByColumn(sortColumn_, sortDirection_);
}

// The sequence itself changes only once every comparison has returned, so a throwing handler
// leaves the order as it was, and a handler that changes the list abandons the sort.
template <typename Compare>
void TVirtualStringTree::MergeSort(Compare& compare, TSortDirection direction) {
  std::vector<PVirtualNode> order(nodes_.size());
  for (std::size_t i = 0; i < nodes_.size(); ++i) order[i] = nodes_[i];
  const std::uint64_t revision = revision_;
  if (!MergeSortItems(order, compare, direction == sdDescending,
                      [&] { return revision != revision_; })) {
    return;
  }
  std::vector<std::uint32_t> positions(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    positions[i] = static_cast<std::uint32_t>(order[i]->index);
  }
  ApplyOrder(positions);
}

// `order` lists the current indexes in their new order; anything but a permutation of them is
// ignored, since applying it would lose or duplicate rows.
bool TVirtualStringTree::ApplyOrder(const std::vector<std::uint32_t>& order) {
  const std::size_t count = nodes_.size();
  if (order.size() != count) return false;
  std::vector<bool> seen(count, false);
  bool changed = false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t from = order[i];
    if (from >= count || seen[from]) return false;
    seen[from] = true;
    changed = changed || from != i;
  }
  if (!changed) return true;
  std::vector<PVirtualNode> sorted;
  sorted.reserve(count);
  for (std::uint32_t from : order) sorted.push_back(nodes_[from]);
  nodes_.swap(sorted);
  RenumberFrom(0);
  ++revision_;
  return true;
}

void TVirtualStringTree::SortByColumn(TColumnIndex column, TSortDirection direction) {
  BatchScope batch(*this);
  if (column >= NoColumn && nodes_.size() > 1) {
    if (uninitialized_ > 0) {
      for (std::size_t i = 0; i < nodes_.size(); ++i) EnsureInitialized(nodes_[i]);
    }
    std::unique_ptr<PreparedSort> prepared = OnPrepareSort ? OnPrepareSort(column) : nullptr;
    if (prepared != nullptr) {
      std::vector<std::uint32_t> order;
      prepared->SortedPositions(direction, order);
      if (ApplyOrder(order)) prepared->OrderApplied(revision_);
    } else if (OnCompareNodes) {
      // A copy, so that a handler rebinding the event cannot pull it from under the sort.
      const auto compareNodes = OnCompareNodes;
      auto compare = [&](PVirtualNode a, PVirtualNode b) {
        int result = 0;
        compareNodes(a, b, column, result);
        return result;
      };
      MergeSort(compare, direction);
    }
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
  columns_.push_back(std::move(column));
  Notify([](ListObserver& o) { o.HeaderChanged(); });
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
  column.Width = clamped;
  Notify([](ListObserver& o) { o.HeaderChanged(); });
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
  if (changed) Notify([](ListObserver& o) { o.HeaderChanged(); });
}

TColumnIndex TVirtualStringTree::SortColumn() const {
  return sortColumn_;
}

void TVirtualStringTree::SetSortColumn(TColumnIndex column) {
  const TColumnIndex clamped = std::clamp(column, NoColumn, ColumnCount() - 1);
  if (clamped == sortColumn_) return;
  sortColumn_ = clamped;
  Notify([](ListObserver& o) { o.HeaderChanged(); });
  if (batchCount_ == 0) AutoSort();
}

TSortDirection TVirtualStringTree::SortDirection() const {
  return sortDirection_;
}

void TVirtualStringTree::SetSortDirection(TSortDirection direction) {
  // A stored setting may hold any byte; only 1 means descending.
  const TSortDirection normal = direction == sdDescending ? sdDescending : sdAscending;
  if (normal == sortDirection_) return;
  sortDirection_ = normal;
  Notify([](ListObserver& o) { o.HeaderChanged(); });
  if (batchCount_ == 0) AutoSort();
}
