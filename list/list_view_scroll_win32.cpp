// The list view's scroll bars and focus cues, kept as the user expects them whatever the
// control does to them.
#include "list/list_view_win32.h"

// The control hides a scroll bar it does not need by taking its style away, which then takes
// the bar's room back by recomputing the frame; the style is put back first, so that the bars
// stay where the user expects them.
void ListViewWin32::KeepScrollBarsShown() {
  const LONG_PTR style = GetWindowLongPtrW(list_, GWL_STYLE);
  const LONG_PTR bars = WS_VSCROLL | WS_HSCROLL;
  if ((style & bars) != bars) SetWindowLongPtrW(list_, GWL_STYLE, style | bars);
}

// The messages after which the control may have set new scroll ranges: a new size or frame, a
// new row count, new columns or widths, a header's notice other than its custom draw, which
// comes with every paint.
bool ListViewWin32::MayChangeScrollRange(UINT message, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY:
      return lParam == 0 || reinterpret_cast<const NMHDR*>(lParam)->code != NM_CUSTOMDRAW;
    case WM_NCCALCSIZE:
    case WM_WINDOWPOSCHANGED:
    case WM_SIZE:
    case WM_SETFONT:
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
// something to scroll. Only a bar in the other state is told: each EnableScrollBar draws its bar
// again, and this runs after every message that may change a range.
void ListViewWin32::EnableScrollBarsByRange() {
  for (const int bar : {SB_VERT, SB_HORZ}) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    if (!GetScrollInfo(list_, bar, &info)) continue;
    const bool scrolls =
        info.nMax > info.nMin && static_cast<long long>(info.nMax) - info.nMin + 1 > info.nPage;
    SCROLLBARINFO state{};
    state.cbSize = sizeof state;
    const bool known = GetScrollBarInfo(list_, bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL,
                                        &state) != FALSE;
    const bool enabled = (state.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
    if (known && enabled == scrolls) continue;
    EnableScrollBar(list_, bar, scrolls ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
  }
}

// The focused row has no focus rectangle; the selection shows where the user is.
void ListViewWin32::HideFocusRectangle() {
  SendMessageW(list_, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
}
