#include "app/form_view_win32.h"

#include <algorithm>

#include "Systeme/text_convert_win32.h"

void FormViewWin32::SetCaption(ControlId control, const std::string& text) {
  controls_.SetText(control, Utf8ToWide(text));
}

std::string FormViewWin32::Caption(ControlId control) {
  return WideToUtf8(controls_.Text(control));
}

std::string FormViewWin32::SearchText() {
  return WideToAnsi(controls_.Text(ControlId::EditSearch));
}

void FormViewWin32::SetFontColor(ControlId control, TColor color) {
  controls_.SetTextColor(control, color);
}

void FormViewWin32::SetFontName(ControlId control, const std::string& name) {
  controls_.SetFontName(control, name);
}

ControlBounds FormViewWin32::Bounds(ControlId control) {
  HWND handle = controls_.Handle(control);
  if (!handle) return {};
  RECT bounds;
  GetWindowRect(handle, &bounds);
  MapWindowPoints(nullptr, controls_.Window(), reinterpret_cast<POINT*>(&bounds), 2);
  return {bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top};
}

void FormViewWin32::SetBounds(ControlId control, const ControlBounds& bounds) {
  HWND handle = controls_.Handle(control);
  if (!handle) return;
  SetWindowPos(handle, nullptr, bounds.left, bounds.top, std::max(bounds.width, 0),
               std::max(bounds.height, 0), SWP_NOZORDER | SWP_NOACTIVATE);
}

int FormViewWin32::ClientWidth() {
  RECT client;
  GetClientRect(controls_.Window(), &client);
  return client.right;
}

int FormViewWin32::ClientHeight() {
  RECT client;
  GetClientRect(controls_.Window(), &client);
  return client.bottom;
}

int FormViewWin32::FormWidth() {
  RECT bounds;
  GetWindowRect(controls_.Window(), &bounds);
  return bounds.right - bounds.left;
}

void FormViewWin32::SetFormWidth(int width) {
  RECT bounds;
  GetWindowRect(controls_.Window(), &bounds);
  SetWindowPos(controls_.Window(), nullptr, 0, 0, width, bounds.bottom - bounds.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormViewWin32::SetCursor(TCursor cursor) {
  cursor_ = cursor;
  ::SetCursor(
      LoadCursorW(nullptr, MAKEINTRESOURCEW(cursor == TCursor::crHourGlass ? 32514 : 32512)));
}

void FormViewWin32::ProcessMessages() {
  if (stopped_) return;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    keys_.PreviewKey(message);
    if (keys_.TranslateShortcut(message)) continue;
    if (!IsDialogMessageW(controls_.Window(), &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

void FormViewWin32::Close() {
  SendMessageW(controls_.Window(), WM_CLOSE, 0, 0);
}
