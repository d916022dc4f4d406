#include "app/window_command_keys_win32.h"

#include <commctrl.h>
#include <windowsx.h>

#include "list/list_view_win32.h"

bool WindowCommandKeys::IsWindowMessage(const MSG& message) const {
  HWND window = controls_.Window();
  return message.hwnd == window || (message.hwnd && IsChild(window, message.hwnd));
}

void WindowCommandKeys::PreviewKey(const MSG& message) {
  if (!Bound() || !IsWindowMessage(message)) return;
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return;
  std::uint16_t key = static_cast<std::uint16_t>(message.wParam);
  const TShiftState shift = CurrentShiftState();
  handlers_.run([this, &key, shift] { handlers_.onKeyDown(key, shift); });
}

bool WindowCommandKeys::TranslateShortcut(const MSG& message) {
  if (!Bound() || !IsWindowMessage(message)) return false;
  if (message.message == WM_KEYUP || message.message == WM_SYSKEYUP) {
    // The menu key and Shift+F10 would open a second menu on their release.
    if (takenKey_ == 0 || message.wParam != takenKey_) return false;
    takenKey_ = 0;
    return true;
  }
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
  const auto key = static_cast<std::uint16_t>(message.wParam);
  const TShiftState shift = CurrentShiftState();
  const KeyTarget target = message.hwnd == controls_.Handle(ControlId::vst) ? KeyTarget::List
                           : message.hwnd == controls_.Handle(ControlId::EditSearch)
                               ? KeyTarget::SearchBox
                               : KeyTarget::Other;
  const WindowCommand command = CommandForKey(key, shift, target);
  if (command == WindowCommand::None) return false;
  takenKey_ = message.wParam;
  if (command == WindowCommand::ContextMenu) {
    OpenContextMenuAtFocus();
  } else {
    handlers_.run([&] { handlers_.onShortcut(key, shift, target); });
  }
  return true;
}

bool WindowCommandKeys::OnContextMenu(HWND source, LPARAM point) {
  HWND list = controls_.Handle(ControlId::vst);
  if (!Bound() || list == nullptr || source != list) return false;
  if (point == static_cast<LPARAM>(-1)) {
    OpenContextMenuAtFocus();
    return true;
  }
  POINT screen{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
  // The header keeps its own right click (it changes nothing).
  HWND header = ListView_GetHeader(list);
  RECT headerRect{};
  if (header && GetWindowRect(header, &headerRect) && PtInRect(&headerRect, screen)) return true;
  LVHITTESTINFO hit{};
  hit.pt = screen;
  ScreenToClient(list, &hit.pt);
  const int index = ListView_HitTest(list, &hit);
  const PVirtualNode row =
      index >= 0 && (hit.flags & LVHT_ONITEM) != 0 ? handlers_.list->NodeAt(index) : nullptr;
  handlers_.run([&] { handlers_.onContextMenu(row, screen.x, screen.y); });
  return true;
}

// From the keyboard the menu opens over the focused row, or at the top of the list without one.
void WindowCommandKeys::OpenContextMenuAtFocus() {
  HWND list = controls_.Handle(ControlId::vst);
  if (!Bound() || list == nullptr) return;
  const PVirtualNode row = handlers_.list->CurrentNode();
  const int index = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
  RECT client{};
  GetClientRect(list, &client);
  POINT at{client.left + controls_.Scaled(10), client.top};
  if (HWND header = ListView_GetHeader(list)) {
    RECT headerRect{};
    if (GetWindowRect(header, &headerRect)) at.y += headerRect.bottom - headerRect.top;
  }
  RECT item{};
  if (row && index >= 0) {
    ListView_EnsureVisible(list, index, FALSE);
    item.left = LVIR_BOUNDS;
    if (ListView_GetItemRect(list, index, &item, LVIR_BOUNDS)) {
      at.y = item.bottom;
    }
  }
  ClientToScreen(list, &at);
  handlers_.run([&] { handlers_.onContextMenu(row, at.x, at.y); });
}
