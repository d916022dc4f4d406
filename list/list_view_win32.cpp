// Set-up and input of the list view. The model's state reaches the control through
// list_view_mirror_win32.cpp; painting is in list_view_draw_win32.cpp.
#include "list/list_view_win32.h"

#include <uxtheme.h>
#include <windowsx.h>

#include <exception>
#include <utility>

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr WPARAM kSettleWidth = 1;
constexpr WPARAM kSettleOrder = 2;

TShiftState CurrentShiftState() {
  TShiftState state;
  state.shift = GetKeyState(VK_SHIFT) < 0;
  state.ctrl = GetKeyState(VK_CONTROL) < 0;
  state.alt = GetKeyState(VK_MENU) < 0;
  return state;
}

// The explorer look (selected text keeps its colour, no underline under the mouse) exists
// only where the themed list draws it: Vista and later, with visual styles on.
bool ExplorerLookAvailable() {
  const DWORD version = GetVersion();
  return LOBYTE(LOWORD(version)) >= 6 && IsAppThemed();
}

}  // namespace

ListViewWin32::ListViewWin32(HWND listView, TVirtualStringTree& model)
    : list_(listView),
      header_(ListView_GetHeader(listView)),
      model_(model),
      settleMessage_(RegisterWindowMessageW(L"Fixtally.ListView.Settle")),
      errorMessage_(RegisterWindowMessageW(L"Fixtally.ListView.Error")) {
  const LONG_PTR style = GetWindowLongPtrW(list_, GWL_STYLE);
  SetWindowLongPtrW(list_, GWL_STYLE,
                    (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) |
                        (kWindowStyle & ~static_cast<DWORD>(WS_VISIBLE | LVS_OWNERDATA)));
  if ((style & LVS_OWNERDATA) == 0)
    ReportError("La liste a été créée sans LVS_OWNERDATA : elle ne peut pas afficher les lignes.",
                ErrorSource::UserAction);
  const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP | LVS_EX_DOUBLEBUFFER;
  ListView_SetExtendedListViewStyleEx(list_, extended, extended);
  explorerStyle_ = SetWindowTheme(list_, L"Explorer", nullptr) == S_OK && ExplorerLookAvailable();

  // The report view makes a row as high as its small images, which is the one portable way
  // to fix the row height.
  // The control adds one pixel of its own to the image height.
  rowHeight_.reset(ImageList_Create(1, kRowHeight - 1, ILC_COLOR32, 0, 1));
  ListView_SetImageList(list_, rowHeight_.get(), LVSIL_SMALL);

  if (header_ != nullptr)
    SetWindowSubclass(header_, HeaderProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  SetWindowSubclass(list_, ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));

  HideFocusRectangle();
  while (ListView_DeleteColumn(list_, 0)) {
  }
  SyncColumns();
  RowCountChanged(model_.RootNodeCount());
  model_.SetObserver(this);

  // The header takes its height from a layout pass, which only a size change starts.
  RECT bounds{};
  GetWindowRect(list_, &bounds);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(list_, nullptr, 0, 0, width, height + 1, flags);
  // The frame is computed again, with the scroll bars the control may have hidden already.
  SetWindowPos(list_, nullptr, 0, 0, width, height, flags | SWP_FRAMECHANGED);
}

ListViewWin32::~ListViewWin32() {
  model_.SetObserver(nullptr);
  if (IsWindow(list_)) {
    RemoveWindowSubclass(list_, ListProc, kSubclassId);
    ListView_SetImageList(list_, nullptr, LVSIL_SMALL);
  }
  if (header_ != nullptr && IsWindow(header_))
    RemoveWindowSubclass(header_, HeaderProc, kSubclassId);
}

// ---- Errors ----

template <typename Action>
void ListViewWin32::Guarded(Action&& action, ErrorSource source) {
  try {
    action();
  } catch (const std::exception& error) {
    ReportError(error.what(), source);
  } catch (...) {
    ReportError("Erreur inconnue dans la liste.", source);
  }
}

// Reported later, from a message of its own: the error may come from inside a paint, where
// a message box would repaint the list and fail again.
void ListViewWin32::ReportError(const std::string& message, ErrorSource source) {
  if (source == ErrorSource::Painting) {
    // The report's own box repaints the list beneath it, which raises the error again.
    if (reportingError_ || message == lastPaintError_) return;
    for (const std::string& pending : pendingErrors_) {
      if (pending == message) return;
    }
    lastPaintError_ = message;
  }
  pendingErrors_.push_back(message);
  if (!errorPosted_) errorPosted_ = PostMessageW(list_, errorMessage_, 0, 0) != FALSE;
}

void ListViewWin32::ReportPendingErrors() {
  errorPosted_ = false;
  std::vector<std::string> errors;
  errors.swap(pendingErrors_);
  for (const std::string& message : errors) {
    if (!onError) continue;
    FlagScope reporting(reportingError_);
    try {
      onError(message);
    } catch (...) {
    }
  }
}

// ---- Window procedures ----

LRESULT CALLBACK ListViewWin32::ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR self) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, ListProc, kSubclassId);
    return DefSubclassProc(window, message, wParam, lParam);
  }
  return reinterpret_cast<ListViewWin32*>(self)->OnListMessage(message, wParam, lParam);
}

LRESULT CALLBACK ListViewWin32::HeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR self) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, HeaderProc, kSubclassId);
    return DefSubclassProc(window, message, wParam, lParam);
  }
  return reinterpret_cast<ListViewWin32*>(self)->OnHeaderMessage(message, wParam, lParam);
}

LRESULT ListViewWin32::OnListMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == settleMessage_) {
    Guarded([&] {
      if (wParam == kSettleWidth) {
        // A press on a divider without a drag (the first half of a double click) also ends
        // a track; only a changed width means the user dragged.
        const int column = static_cast<int>(lParam);
        const int width = ListView_GetColumnWidth(list_, column);
        if (width != model_.Column(column).Width) model_.ColumnWidthTracked(column, width);
      } else if (wParam == kSettleOrder) {
        std::vector<int> order(static_cast<std::size_t>(Header_GetItemCount(header_)));
        if (!order.empty() &&
            ListView_GetColumnOrderArray(list_, static_cast<int>(order.size()), order.data()))
          model_.SetColumnOrder(order);
      }
    });
    return 0;
  }
  if (message == errorMessage_) {
    ReportPendingErrors();
    return 0;
  }
  switch (message) {
    case WM_CHAR:
      // Typed characters drive the model's keyboard search; the control's own search is off.
      if (wParam == VK_BACK) {
        Guarded([&] { model_.IncrementalSearchBackspace(); });
        return 0;
      }
      if (wParam >= 0x20 && wParam != 0x7F) {
        Guarded([&] { OnTypedCharacter(static_cast<wchar_t>(wParam)); });
        return 0;
      }
      break;
    case WM_KILLFOCUS:
      Guarded([&] { model_.KillFocus(); });
      break;
    case WM_MOUSEMOVE:
      TrackHotRow(lParam);
      break;
    case WM_MOUSELEAVE:
      trackingMouse_ = false;
      SetHotRow(-1);
      break;
    case WM_NCCALCSIZE:
      KeepScrollBarsShown();
      break;
    case WM_UPDATEUISTATE:
      // Keyboard use clears the hidden focus cues of the whole window; the list keeps its
      // focus rectangle hidden all the same.
      if (LOWORD(wParam) == UIS_CLEAR && (HIWORD(wParam) & UISF_HIDEFOCUS) != 0) {
        const WORD rest = HIWORD(wParam) & ~static_cast<WORD>(UISF_HIDEFOCUS);
        if (rest == 0) return 0;
        wParam = MAKEWPARAM(UIS_CLEAR, rest);
      }
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      LRESULT result = 0;
      if (header != nullptr && header->hwndFrom == header_ && OnHeaderNotify(header, result))
        return result;
      break;
    }
    default:
      break;
  }
  const LRESULT result = DefSubclassProc(list_, message, wParam, lParam);
  if (MayChangeScrollRange(message)) EnableScrollBarsByRange();
  return result;
}

LRESULT ListViewWin32::OnHeaderMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case HDM_LAYOUT: {
      const LRESULT done = DefSubclassProc(header_, message, wParam, lParam);
      auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
      const bool hidden = (GetWindowLongPtrW(header_, GWL_STYLE) & HDS_HIDDEN) != 0;
      if (done && !hidden && layout != nullptr && layout->prc != nullptr &&
          layout->pwpos != nullptr) {
        layout->pwpos->cy = kHeaderHeight;
        layout->prc->top = layout->pwpos->y + kHeaderHeight;
      }
      return done;
    }
    case WM_LBUTTONDOWN:
      skipNextColumnClick_ = false;
      break;
    case WM_LBUTTONDBLCLK:
      Guarded([&] { OnHeaderDoubleClick(lParam); });
      break;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      // Read from the release itself: the header's own right-click notice carries no point.
      POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ClientToScreen(header_, &point);
      const int column = HeaderColumnAt(point);
      const TMouseButton button =
          message == WM_RBUTTONUP ? TMouseButton::mbRight : TMouseButton::mbMiddle;
      if (column >= 0) Guarded([&] { model_.HeaderClick(column, button, CurrentShiftState()); });
      break;
    }
    default:
      break;
  }
  return DefSubclassProc(header_, message, wParam, lParam);
}

// The header reports to the list view, not to the main window, so its notifications are
// taken here, on their way in.
bool ListViewWin32::OnHeaderNotify(NMHDR* header, LRESULT& result) {
  const auto* notice = reinterpret_cast<NMHEADERW*>(header);
  switch (header->code) {
    case HDN_ITEMDBLCLICKW:
    case HDN_ITEMDBLCLICKA:
      // Taken from the press itself (OnHeaderDoubleClick): not every header sends this.
      return false;
    case HDN_DIVIDERDBLCLICKW:
    case HDN_DIVIDERDBLCLICKA:
      // Fitted here rather than by the control, so the width is measured from the model.
      Guarded([&] { FitColumn(notice->iItem); });
      result = 0;
      return true;
    case HDN_ENDTRACKW:
    case HDN_ENDTRACKA:
      // The new width is stored only after this notification returns.
      PostMessageW(list_, settleMessage_, kSettleWidth, notice->iItem);
      return false;
    case HDN_ENDDRAG:
      PostMessageW(list_, settleMessage_, kSettleOrder, 0);
      return false;
    default:
      return false;
  }
}

bool ListViewWin32::HandleNotify(NMHDR* header, LRESULT& result) {
  if (header == nullptr || header->hwndFrom != list_) return false;
  result = 0;
  switch (header->code) {
    case LVN_GETDISPINFOW:
      Guarded([&] { FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(header)); },
              ErrorSource::Painting);
      return true;
    case LVN_GETDISPINFOA:
      Guarded([&] { FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOA*>(header)); },
              ErrorSource::Painting);
      return true;
    case NM_CUSTOMDRAW:
      Guarded([&] { result = OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(header)); },
              ErrorSource::Painting);
      return true;
    case LVN_COLUMNCLICK: {
      if (std::exchange(skipNextColumnClick_, false)) return true;
      const int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
      Guarded([&] { model_.HeaderClick(column, TMouseButton::mbLeft, CurrentShiftState()); });
      return true;
    }
    case LVN_ITEMCHANGED: {
      const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      const UINT moved = (change->uNewState ^ change->uOldState) & (LVIS_FOCUSED | LVIS_SELECTED);
      if ((change->uChanged & LVIF_STATE) != 0 && moved != 0)
        Guarded([&] { SyncSelectionToModel(); });
      return true;
    }
    case NM_DBLCLK:
      Guarded([&] { model_.DoubleClick(); });
      return true;
    case LVN_ODFINDITEMW:
    case LVN_ODFINDITEMA:
      result = -1;  // the model's keyboard search has already answered
      return true;
    default:
      return false;
  }
}

// ---- Scroll bars and focus cues ----

// The control hides a scroll bar it does not need by taking its style away, which then takes
// the bar's room back by recomputing the frame; the style is put back first, so that the bars
// stay where the user expects them.
void ListViewWin32::KeepScrollBarsShown() {
  const LONG_PTR style = GetWindowLongPtrW(list_, GWL_STYLE);
  const LONG_PTR bars = WS_VSCROLL | WS_HSCROLL;
  if ((style & bars) != bars) SetWindowLongPtrW(list_, GWL_STYLE, style | bars);
}

// The messages after which the control may have set new scroll ranges: a new size or frame, a
// new row count, new columns or widths, a header's notice.
bool ListViewWin32::MayChangeScrollRange(UINT message) {
  switch (message) {
    case WM_NCCALCSIZE:
    case WM_WINDOWPOSCHANGED:
    case WM_SIZE:
    case WM_SETFONT:
    case WM_NOTIFY:
    case LVM_SETITEMCOUNT:
    case LVM_SETCOLUMNWIDTH:
    case LVM_INSERTCOLUMNW:
    case LVM_DELETECOLUMN:
      return true;
    default:
      return false;
  }
}

// A bar is enabled exactly while its range is larger than its page, whatever the control did
// to it: a bar it had hidden comes back disabled, and it is enabled again as soon as there is
// something to scroll.
void ListViewWin32::EnableScrollBarsByRange() {
  for (const int bar : {SB_VERT, SB_HORZ}) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    if (!GetScrollInfo(list_, bar, &info)) continue;
    const bool scrolls =
        info.nMax > info.nMin && static_cast<long long>(info.nMax) - info.nMin + 1 > info.nPage;
    EnableScrollBar(list_, bar, scrolls ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
  }
}

// The focused row has no focus rectangle; the selection shows where the user is.
void ListViewWin32::HideFocusRectangle() {
  SendMessageW(list_, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
}

// ---- Input ----

void ListViewWin32::OnTypedCharacter(wchar_t typed) {
  // Half of a surrogate pair has no equivalent in any 8-bit code page.
  if (typed >= 0xD800 && typed <= 0xDFFF) {
    Beep();
    return;
  }
  char bytes[4] = {};
  BOOL usedDefault = FALSE;
  BOOL* checkDefault = GetACP() == CP_UTF8 ? nullptr : &usedDefault;
  const int length =
      WideCharToMultiByte(CP_ACP, 0, &typed, 1, bytes, sizeof bytes, nullptr, checkDefault);
  // A character the code page lacks cannot begin any record text.
  if (length <= 0 || usedDefault) {
    Beep();
    return;
  }
  for (int i = 0; i < length; ++i) model_.IncrementalSearchKey(bytes[i]);
}

void ListViewWin32::TrackHotRow(LPARAM point) {
  LVHITTESTINFO hit{};
  hit.pt = POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
  const int row = ListView_SubItemHitTest(list_, &hit);
  SetHotRow(row >= 0 && (hit.flags & LVHT_ONITEM) != 0 ? row : -1);
  if (!trackingMouse_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, list_, 0};
    trackingMouse_ = TrackMouseEvent(&track) != FALSE;
  }
}

void ListViewWin32::SetHotRow(int row) {
  if (row == hotRow_) return;
  const int previous = hotRow_;
  hotRow_ = row;
  if (previous >= 0) ListView_RedrawItems(list_, previous, previous);
  if (row >= 0) ListView_RedrawItems(list_, row, row);
}

// A double click on a column's header is two clicks: the first press and release came as the
// header's item click, the second press is this one, marked double. Headers differ on what
// follows: Wine's sends an item double-click notice and nothing on the release, Windows' sends
// the notice and then an item click for the release as well. So the second click is counted
// here, from the press, and the click of its release, if one comes, is not another.
void ListViewWin32::OnHeaderDoubleClick(LPARAM point) {
  HDHITTESTINFO hit{};
  hit.pt = POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
  const int column =
      static_cast<int>(SendMessageW(header_, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  // A double click on a divider fits the column instead (HDN_DIVIDERDBLCLICK).
  if (column < 0 || (hit.flags & HHT_ONHEADER) == 0 ||
      (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) != 0) {
    return;
  }
  skipNextColumnClick_ = true;
  TShiftState shift = CurrentShiftState();
  shift.doubleClick = true;
  model_.HeaderClick(column, TMouseButton::mbLeft, shift);
}

// The column whose header holds the point. A hit test would name the column to the left
// for the first pixels right of a divider, which the user sees as the next column.
int ListViewWin32::HeaderColumnAt(POINT screenPoint) const {
  if (header_ == nullptr) return -1;
  POINT point = screenPoint;
  ScreenToClient(header_, &point);
  const int count = Header_GetItemCount(header_);
  for (int i = 0; i < count; ++i) {
    RECT item{};
    if (Header_GetItemRect(header_, i, &item) && PtInRect(&item, point)) return i;
  }
  return -1;
}

// The control moved its focus or selection (a click, the arrow keys): the model follows.
void ListViewWin32::SyncSelectionToModel() {
  if (applyingState_) return;
  const int focused = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
  const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  FlagScope syncing(syncingModel_);
  model_.SelectNode(model_.NodeAt(selected));
  if (focused >= 0) model_.FocusNode(model_.NodeAt(focused));
}
