// The model's state on the control: the row count, selection and focus, and the columns
// (captions, widths, screen order, sort mark), with the fit of a column to its widest text.
#include <algorithm>
#include <utility>

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

void ListViewWin32::ShowChanges(const ListChanges& changes) {
  FlagScope applying(applyingState_);
  bool newCount = false;
  if (changes.rows) {
    lastPaintError_.clear();
    if (hotRow_ >= changes.rowCount) hotRow_ = -1;
    // The same count after a sort needs only the repaint: setting it again costs the control a
    // pass over its rows.
    // The rows are invalidated here, the header left as it is.
    if (ListView_GetItemCount(list_) != changes.rowCount) {
      SetRowCount(changes.rowCount);
      newCount = true;
    }
    InvalidateRows();
  }
  if (changes.header) SyncColumns();
  for (const int row : changes.repaint) ListView_RedrawItems(list_, row, row);
  // The control is where a change of its own came from: it knows already.
  if ((changes.rows || changes.focus) && !syncingModel_)
    ShowFocus(changes.focused, changes.selected, newCount);
  if (changes.scrollTo >= 0) ListView_EnsureVisible(list_, changes.scrollTo, FALSE);
  if (changes.paintNow) {
    // What the rows show may have changed without the model's knowing (the search marks).
    InvalidateRows();
    UpdateWindow(list_);
  }
  if (changes.beep) MessageBeep(MB_OK);
}

// A count that shows or hides a scroll bar changes the frame, and the control, then the bar
// kept shown (list_view_scroll_win32.cpp), have it painted at once, a themed bar at that, once
// per change: they are held and painted once, with the rows.
void ListViewWin32::SetRowCount(int count) {
  {
    FlagScope holding(framePaintHeld_);
    ListView_SetItemCountEx(list_, count, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
  }
  if (std::exchange(framePaintDue_, false))
    RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
}

void ListViewWin32::ApplyState(int index, UINT state, UINT mask) {
  LVITEMW item{};
  item.state = state;
  item.stateMask = mask;
  SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&item));
}

// From what the control was last shown, never by asking it: finding its focused or selected row
// walks every row, under Wine at least.
void ListViewWin32::ShowFocus(int focused, int selected, bool afresh) {
  const int count = ListView_GetItemCount(list_);
  const auto valid = [count](int index) { return index >= 0 && index < count; };
  if (!valid(focused)) focused = -1;
  if (!valid(selected)) selected = -1;
  if (afresh || selected != shownSelected_) {
    // One message for the whole list: the control keeps the selection of an owner-data list as
    // ranges.
    if (afresh || shownSelected_ >= 0) ApplyState(-1, 0, LVIS_SELECTED);
    if (selected >= 0) ApplyState(selected, LVIS_SELECTED, LVIS_SELECTED);
    shownSelected_ = selected;
  }
  if (afresh || focused != shownFocused_) {
    if (focused >= 0) {
      ApplyState(focused, LVIS_FOCUSED, LVIS_FOCUSED);
      ListView_SetSelectionMark(list_, focused);
    } else if (valid(shownFocused_)) {
      ApplyState(shownFocused_, 0, LVIS_FOCUSED);
    }
    shownFocused_ = focused;
  }
}
