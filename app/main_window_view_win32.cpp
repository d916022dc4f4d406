// What the handlers see of the main window (FormView): captions, fonts, bounds, the cursor.
#include "app/main_window_win32.h"

#include <algorithm>

#include "Systeme/text_convert_win32.h"
#include "app/custom_controls_win32.h"

std::wstring MainWindow::TextOf(HWND handle) {
  if (!handle) return {};
  const int length = GetWindowTextLengthW(handle);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(handle, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

// FormView

void MainWindow::SetCaption(ControlId control, const std::string& text) {
  HWND handle = ControlHandle(control);
  if (!handle) return;
  SetWindowTextW(handle, Utf8ToWide(text).c_str());
  if (ControlSpecOf(control).autoSize) FitToText(control);
}

std::string MainWindow::Caption(ControlId control) {
  return WideToUtf8(TextOf(ControlHandle(control)));
}

std::string MainWindow::SearchText() {
  return WideToAnsi(TextOf(ControlHandle(ControlId::EditSearch)));
}

void MainWindow::SetLinkAddress(const std::string& address) {
  linkAddress_ = address;
}

void MainWindow::SetFontColor(ControlId control, TColor color) {
  const int index = static_cast<int>(control);
  textColors_[index] = color;
  HWND handle = ControlHandle(control);
  if (control == ControlId::ASLink) SetLinkLabelColor(handle, color);
  if (handle) InvalidateRect(handle, nullptr, TRUE);
}

std::string MainWindow::FormFontName() {
  LOGFONTW font{};
  GetObjectW(windowFont_.get(), sizeof font, &font);
  return WideToUtf8(font.lfFaceName);
}

void MainWindow::SetFontName(ControlId control, const std::string& name) {
  HWND handle = ControlHandle(control);
  if (!handle) return;
  HFONT current = reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0));
  LOGFONTW font{};
  GetObjectW(current ? current : windowFont_.get(), sizeof font, &font);
  const std::wstring face = Utf8ToWide(name);
  lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
  const int index = static_cast<int>(control);
  UniqueHfont replaced(CreateFontIndirectW(&font));
  if (!replaced) return;
  SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(replaced.get()), TRUE);
  controlFonts_[index] = std::move(replaced);  // the old font goes once the control let it go
  if (ControlSpecOf(control).autoSize) FitToText(control);
}

ControlBounds MainWindow::Bounds(ControlId control) {
  HWND handle = ControlHandle(control);
  if (!handle) return {};
  RECT bounds;
  GetWindowRect(handle, &bounds);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&bounds), 2);
  return {bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top};
}

void MainWindow::SetBounds(ControlId control, const ControlBounds& bounds) {
  HWND handle = ControlHandle(control);
  if (!handle) return;
  SetWindowPos(handle, nullptr, bounds.left, bounds.top, std::max(bounds.width, 0),
               std::max(bounds.height, 0), SWP_NOZORDER | SWP_NOACTIVATE);
}

int MainWindow::ClientWidth() {
  RECT client;
  GetClientRect(window_, &client);
  return client.right;
}

int MainWindow::ClientHeight() {
  RECT client;
  GetClientRect(window_, &client);
  return client.bottom;
}

int MainWindow::FormWidth() {
  RECT bounds;
  GetWindowRect(window_, &bounds);
  return bounds.right - bounds.left;
}

void MainWindow::SetFormWidth(int width) {
  RECT bounds;
  GetWindowRect(window_, &bounds);
  SetWindowPos(window_, nullptr, 0, 0, width, bounds.bottom - bounds.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int MainWindow::ScreenPixelsPerInch() {
  return pixelsPerInch_;
}

TCursor MainWindow::Cursor() {
  return cursor_;
}

void MainWindow::SetCursor(TCursor cursor) {
  cursor_ = cursor;
  ::SetCursor(
      LoadCursorW(nullptr, MAKEINTRESOURCEW(cursor == TCursor::crHourGlass ? 32514 : 32512)));
}

void MainWindow::ProcessMessages() {
  if (destroying_) return;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    PreviewKey(message);
    if (TranslateShortcut(message)) continue;
    if (!IsDialogMessageW(window_, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

void MainWindow::Close() {
  SendMessageW(window_, WM_CLOSE, 0, 0);
}
