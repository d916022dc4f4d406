// Focus, selection and what the user does to the list model: clicks, double clicks, divider
// drags and the keyboard search.
#include <chrono>

#include "list/virtual_string_tree.h"

namespace {

// The pause after which the next typed character starts a new keyboard search.
constexpr std::uint64_t kSearchResetMs = 1000;

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

// ---- Focus and selection ----

void TVirtualStringTree::FocusNode(PVirtualNode node) {
  if (node != nullptr && !Owns(node)) return;
  ChangeScope scope(*this);
  if (node != focused_) {
    RepaintLater(focused_);
    focused_ = node;
    FocusMoved();
  }
  if (node == nullptr) return;
  if (focusedColumn_ < 0 || focusedColumn_ >= ColumnCount()) focusedColumn_ = MainColumn();
  RepaintLater(node);
  if (batchCount_ == 0) {
    scrollNode_ = node;
    changed_ = true;
  }
}

PVirtualNode TVirtualStringTree::CurrentNode() const {
  return focused_;
}

PVirtualNode TVirtualStringTree::SelectedNode() const {
  return selected_;
}

void TVirtualStringTree::SelectNode(PVirtualNode node) {
  if (node != nullptr && !Owns(node)) return;
  if (node == selected_) return;
  ChangeScope scope(*this);
  if (selected_ != nullptr) {
    selected_->selected = false;
    RepaintLater(selected_);
  }
  selected_ = node;
  if (node != nullptr) {
    node->selected = true;
    RepaintLater(node);
  }
  FocusMoved();
}

TColumnIndex TVirtualStringTree::FocusedColumn() const {
  return focusedColumn_;
}

void TVirtualStringTree::RepaintNow() {
  ChangeScope scope(*this);
  changes_.paintNow = changed_ = true;
}

// ---- User input ----

void TVirtualStringTree::HeaderClick(TColumnIndex column, TMouseButton button, TShiftState shift) {
  if (column < 0 || column >= ColumnCount()) return;
  ChangeScope scope(*this);
  if (OnHeaderClick) OnHeaderClick(column, button, shift);
}

void TVirtualStringTree::ColumnWidthTracked(TColumnIndex column, int newWidth) {
  if (column < 0 || column >= ColumnCount()) return;
  ChangeScope scope(*this);
  SetColumnWidth(column, newWidth);
  if (OnAfterColumnWidthTracking) OnAfterColumnWidthTracking(column);
}

void TVirtualStringTree::UserClickNode(PVirtualNode node) {
  if (!Owns(node)) return;
  ChangeScope scope(*this);
  SelectNode(node);
  FocusNode(node);
}

void TVirtualStringTree::DoubleClick() {
  if (OnDblClick) OnDblClick();
}

// ---- Keyboard search ----

std::uint64_t TVirtualStringTree::Now() const {
  if (Clock) return Clock();
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// A clock that went backwards counts as a pause too: the old text cannot be trusted.
void TVirtualStringTree::ExpireSearchText(std::uint64_t now) const {
  if (searchText_.empty()) return;
  if (now < lastSearchKeyTime_ || now - lastSearchKeyTime_ >= kSearchResetMs) searchText_.clear();
}

// Before any node has been focused there is no focused column; searching column -1 would
// match nothing, so the search reads the main column then.
TColumnIndex TVirtualStringTree::SearchColumn() const {
  if (focusedColumn_ >= 0 && focusedColumn_ < ColumnCount()) return focusedColumn_;
  return MainColumn();
}

std::string TVirtualStringTree::NodeText(PVirtualNode node, TColumnIndex column) const {
  std::string text;
  if (OnGetText) OnGetText(node, column, text);
  return text;
}

// Display order from start, wrapping once round to the node before it. The handler is not
// allowed to change the list, but if it does the walk re-reads the sequence instead of
// running past its end.
PVirtualNode TVirtualStringTree::FindFrom(std::size_t start, const std::string& prefix,
                                          TColumnIndex column) const {
  const std::size_t count = nodes_.size();
  for (std::size_t step = 0; step < count; ++step) {
    if (nodes_.empty()) return nullptr;
    const std::size_t at = (start + step) % nodes_.size();
    const PVirtualNode node = nodes_[at];
    EnsureInitialized(node);
    const std::string text = NodeText(node, column);
    if (at >= nodes_.size() || nodes_[at] != node) return nullptr;
    if (StartsWith(text, prefix)) return node;
  }
  return nullptr;
}

void TVirtualStringTree::IncrementalSearchKey(char typed) {
  // Control characters (Enter, Escape, Tab...) are commands, not typing.
  const auto code = static_cast<unsigned char>(typed);
  if (code < 0x20 || code == 0x7F) return;
  const std::uint64_t now = Now();
  ExpireSearchText(now);
  lastSearchKeyTime_ = now;
  ChangeScope scope(*this);
  if (nodes_.empty()) {
    changes_.beep = changed_ = true;
    return;
  }

  const TColumnIndex column = SearchColumn();
  const std::size_t count = nodes_.size();
  const std::size_t afterCurrent =
      focused_ != nullptr ? (static_cast<std::size_t>(focused_->index) + 1) % count : 0;
  const std::size_t atCurrent = focused_ != nullptr ? static_cast<std::size_t>(focused_->index) : 0;
  std::string prefix = searchText_ + typed;
  std::size_t start = atCurrent;
  if (searchText_.empty()) {
    start = afterCurrent;
  } else if (searchText_.size() == 1 && searchText_[0] == typed &&
             (focused_ == nullptr || !StartsWith(NodeText(focused_, column), prefix))) {
    // The same character again steps to the next node that begins with it.
    prefix = searchText_;
    start = afterCurrent;
  }

  const PVirtualNode found = FindFrom(start, prefix, column);
  if (found == nullptr) {
    changes_.beep = changed_ = true;
    return;
  }
  searchText_ = prefix;
  SelectNode(found);
  FocusNode(found);
}

void TVirtualStringTree::IncrementalSearchBackspace() {
  ExpireSearchText(Now());
  if (!searchText_.empty()) searchText_.pop_back();
}

void TVirtualStringTree::KillFocus() {
  searchText_.clear();
}

const std::string& TVirtualStringTree::SearchText() const {
  ExpireSearchText(Now());
  return searchText_;
}
