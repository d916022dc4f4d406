// What the user does in the list view: typed characters, the hot row, header double clicks and
// the selection, each passed on to the model.
#include "list/list_view_win32.h"

#include <windowsx.h>

TShiftState CurrentShiftState() {
  TShiftState shift;
  shift.shift = GetKeyState(VK_SHIFT) < 0;
  shift.ctrl = GetKeyState(VK_CONTROL) < 0;
  shift.alt = GetKeyState(VK_MENU) < 0;
  return shift;
}

void ListViewWin32::OnTypedCharacter(wchar_t typed) {
  // Half of a surrogate pair has no equivalent in any 8-bit code page.
  if (typed >= 0xD800 && typed <= 0xDFFF) {
    MessageBeep(MB_OK);
    return;
  }
  char bytes[4] = {};
  BOOL usedDefault = FALSE;
  BOOL* checkDefault = GetACP() == CP_UTF8 ? nullptr : &usedDefault;
  const int length =
      WideCharToMultiByte(CP_ACP, 0, &typed, 1, bytes, sizeof bytes, nullptr, checkDefault);
  // A character the code page lacks cannot begin any record text.
  if (length <= 0 || usedDefault) {
    MessageBeep(MB_OK);
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

// The notice says which row changed, or -1 for all of them: the control is not asked again.
void ListViewWin32::TakeStateChange(const NMLISTVIEW& change) {
  const UINT moved = (change.uNewState ^ change.uOldState) & (LVIS_FOCUSED | LVIS_SELECTED);
  if ((change.uChanged & LVIF_STATE) == 0 || moved == 0 || applyingState_) return;
  const int row = change.iItem;
  const auto follow = [&](UINT flag, int& shown) {
    if ((moved & flag) == 0) return;
    if ((change.uNewState & flag) != 0) {
      shown = row;
    } else if (row < 0 || row == shown) {
      shown = -1;
    }
  };
  follow(LVIS_SELECTED, shownSelected_);
  follow(LVIS_FOCUSED, shownFocused_);
  FlagScope syncing(syncingModel_);
  TVirtualStringTree::ChangeScope scope(model_);
  model_.SelectNode(model_.NodeAt(shownSelected_));
  if (shownFocused_ >= 0) model_.FocusNode(model_.NodeAt(shownFocused_));
}
