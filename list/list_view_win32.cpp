// Set-up, window procedures and notifications of the list view. The model's state reaches the
// control through list_view_mirror_win32.cpp; painting is in list_view_draw_win32.cpp, input in
// list_view_input_win32.cpp, scroll bars and focus cues in list_view_scroll_win32.cpp.
#include "list/list_view_win32.h"

#include <uxtheme.h>
#include <windowsx.h>

#include <exception>
#include <utility>

namespace {

constexpr WPARAM kSettleWidth = 1;
constexpr WPARAM kSettleOrder = 2;

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

  headerHook_ = std::make_unique<WindowProcedureHook>(header_, HeaderProc, this);
  listHook_ = std::make_unique<WindowProcedureHook>(list_, ListProc, this);
  hasFocus_ = GetFocus() == list_;

  HideFocusRectangle();
  while (ListView_DeleteColumn(list_, 0)) {
  }
  SyncColumns();
  ListChanges everything;
  everything.rows = true;
  everything.rowCount = model_.RootNodeCount();
  everything.focused = model_.CurrentNode() != nullptr ? model_.CurrentNode()->index : -1;
  everything.selected = model_.SelectedNode() != nullptr ? model_.SelectedNode()->index : -1;
  ShowChanges(everything);
  model_.OnChanges = [this](const ListChanges& changes) { ShowChanges(changes); };

  LayOutHeaderAgain();
}

ListViewWin32::~ListViewWin32() {
  model_.OnChanges = nullptr;
  listHook_.reset();
  headerHook_.reset();
  if (IsWindow(list_)) ListView_SetImageList(list_, nullptr, LVSIL_SMALL);
}

// ---- Errors ----

template <typename Action>
void ListViewWin32::Guarded(Action&& action, ErrorSource source) {
  try {
    action();
  } catch (const std::exception& error) {
    ReportError(error.what(), source);
  } catch (...) {  // nothing may reach the window procedure that called it
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
    } catch (...) {  // a window procedure called it: nothing may leave
    }
  }
}

// ---- Window procedures ----

LRESULT CALLBACK ListViewWin32::ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<ListViewWin32*>(WindowProcedureHook::OwnerOf(window));
  if (self == nullptr || message == WM_NCDESTROY)
    return WindowProcedureHook::CallPrevious(window, message, wParam, lParam);
  return self->OnListMessage(message, wParam, lParam);
}

LRESULT CALLBACK ListViewWin32::HeaderProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  auto* self = static_cast<ListViewWin32*>(WindowProcedureHook::OwnerOf(window));
  if (self == nullptr || message == WM_NCDESTROY)
    return WindowProcedureHook::CallPrevious(window, message, wParam, lParam);
  return self->OnHeaderMessage(message, wParam, lParam);
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
    case WM_SETFOCUS:
      hasFocus_ = true;
      break;
    case WM_KILLFOCUS:
      hasFocus_ = false;
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
    case WM_NCPAINT:
      if (framePaintHeld_) {
        framePaintDue_ = true;
        return 0;
      }
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
  const LRESULT result = WindowProcedureHook::CallPrevious(list_, message, wParam, lParam);
  if (MayChangeScrollRange(message, lParam)) EnableScrollBarsByRange();
  return result;
}

LRESULT ListViewWin32::OnHeaderMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case HDM_LAYOUT: {
      const LRESULT done = WindowProcedureHook::CallPrevious(header_, message, wParam, lParam);
      auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
      const bool hidden = (GetWindowLongPtrW(header_, GWL_STYLE) & HDS_HIDDEN) != 0;
      if (done && !hidden && layout != nullptr && layout->prc != nullptr &&
          layout->pwpos != nullptr) {
        layout->pwpos->cy = Scaled(kHeaderHeight);
        layout->prc->top = layout->pwpos->y + Scaled(kHeaderHeight);
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
  return WindowProcedureHook::CallPrevious(header_, message, wParam, lParam);
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
    case LVN_ITEMCHANGED:
      Guarded([&] { TakeStateChange(*reinterpret_cast<NMLISTVIEW*>(header)); });
      return true;
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
