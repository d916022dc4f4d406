// The model's state on the control: the row count, selection and focus, and the columns
// (captions, widths, screen order, sort mark), with the fit of a column to its widest text.
#include <algorithm>

#include "Systeme/text_convert_win32.h"
#include "list/list_view_win32.h"

namespace {

// Room around a cell's text: the control's margins on both sides, plus the small image
// space before the first column's text.
constexpr int kCellPadding = 12;
constexpr int kFirstColumnExtra = 4;

}  // namespace

void ListViewWin32::SyncColumns() {
  const int wanted = model_.ColumnCount();
  int present = header_ != nullptr ? Header_GetItemCount(header_) : 0;
  while (present > wanted && ListView_DeleteColumn(list_, present - 1)) --present;
  captions_.resize(static_cast<std::size_t>(std::min(present, wanted)));

  for (int i = 0; i < wanted; ++i) {
    const TVirtualTreeColumn& column = model_.Column(i);
    std::wstring caption = Utf8ToWide(column.WideText);
    LVCOLUMNW description{};
    description.pszText = caption.data();
    description.cx = column.Width;
    description.iSubItem = i;
    if (i >= present) {
      description.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
      if (SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                       reinterpret_cast<LPARAM>(&description)) < 0)
        break;
      ++present;
      captions_.push_back(caption);
    } else {
      if (captions_[static_cast<std::size_t>(i)] != caption) {
        description.mask = LVCF_TEXT;
        SendMessageW(list_, LVM_SETCOLUMNW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&description));
        captions_[static_cast<std::size_t>(i)] = caption;
      }
      if (ListView_GetColumnWidth(list_, i) != column.Width)
        ListView_SetColumnWidth(list_, i, column.Width);
    }

    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (header_ == nullptr || !Header_GetItem(header_, i, &item)) continue;
    int format = item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == model_.SortColumn())
      format |= model_.SortDirection() == sdDescending ? HDF_SORTDOWN : HDF_SORTUP;
    if (format != item.fmt) {
      item.fmt = format;
      Header_SetItem(header_, i, &item);
    }
  }

  // Screen order from the positions, when they are a permutation, as the model keeps them.
  std::vector<int> order(static_cast<std::size_t>(present), -1);
  for (int i = 0; i < present; ++i) {
    const int position = model_.Column(i).Position;
    if (position < 0 || position >= present || order[static_cast<std::size_t>(position)] >= 0)
      return;
    order[static_cast<std::size_t>(position)] = i;
  }
  std::vector<int> current(order.size(), -1);
  if (!order.empty() &&
      (!ListView_GetColumnOrderArray(list_, present, current.data()) || current != order)) {
    ListView_SetColumnOrderArray(list_, present, order.data());
    InvalidateRect(list_, nullptr, TRUE);
  }
}

int ListViewWin32::TextWidth(HDC dc, const std::string& text) const {
  const std::wstring wide = AnsiToWide(text);
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size.cx;
}

// The widest text of the column over every row, asked from the model as painting does, so
// it fits rows scrolled out of view too.
void ListViewWin32::FitColumn(int column) {
  if (column < 0 || column >= model_.ColumnCount()) return;
  WindowDc dc(list_);
  if (dc.get() == nullptr) return;
  auto font = reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0));
  if (font == nullptr) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SelectedObject selected(dc.get(), font);
  int widest = 0;
  const int rows = model_.RootNodeCount();
  for (int row = 0; row < rows; ++row)
    widest = std::max(widest, TextWidth(dc.get(), CellText(row, column)));
  const int extra = Scaled(kCellPadding + (column == 0 ? kFirstColumnExtra : 0));
  model_.SetColumnWidth(column, widest + extra);
  SyncColumns();
}

// ---- Model to control ----

void ListViewWin32::RowCountChanged(int count) {
  FlagScope applying(applyingState_);
  lastPaintError_.clear();
  if (hotRow_ >= count) hotRow_ = -1;
  // The same count after a sort needs only the repaint: setting it again costs the control a
  // pass over its 100,000 rows.
  if (ListView_GetItemCount(list_) != count) ListView_SetItemCountEx(list_, count, LVSICF_NOSCROLL);
  InvalidateRect(list_, nullptr, TRUE);
  // A new count may drop the control's marks; the model still knows where they belong.
  const PVirtualNode focused = model_.CurrentNode();
  const PVirtualNode selected = model_.SelectedNode();
  FocusChanged(focused != nullptr ? focused->index : -1,
               selected != nullptr ? selected->index : -1);
}

void ListViewWin32::RepaintRow(int index) {
  ListView_RedrawItems(list_, index, index);
}

void ListViewWin32::RepaintAll(bool immediately) {
  InvalidateRect(list_, nullptr, TRUE);
  if (immediately) UpdateWindow(list_);
}

void ListViewWin32::ScrollIntoView(int index) {
  ListView_EnsureVisible(list_, index, FALSE);
}

void ListViewWin32::HeaderChanged() {
  SyncColumns();
}

void ListViewWin32::Beep() {
  MessageBeep(MB_OK);
}

void ListViewWin32::ApplyState(int index, UINT state, UINT mask) {
  LVITEMW item{};
  item.state = state;
  item.stateMask = mask;
  SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&item));
}

void ListViewWin32::FocusChanged(int focusedIndex, int selectedIndex) {
  if (syncingModel_) return;  // the control is where the change came from
  FlagScope applying(applyingState_);
  const int count = ListView_GetItemCount(list_);
  const auto valid = [count](int index) { return index >= 0 && index < count; };
  const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  if (selected != selectedIndex) {
    if (selected >= 0) ApplyState(-1, 0, LVIS_SELECTED);
    if (valid(selectedIndex)) ApplyState(selectedIndex, LVIS_SELECTED, LVIS_SELECTED);
  }
  const int focused = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
  if (focused != focusedIndex) {
    if (valid(focusedIndex)) {
      ApplyState(focusedIndex, LVIS_FOCUSED, LVIS_FOCUSED);
      ListView_SetSelectionMark(list_, focusedIndex);
    } else if (focused >= 0) {
      ApplyState(focused, 0, LVIS_FOCUSED);
    }
  }
}
