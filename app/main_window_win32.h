#pragma once
// The main window on Win32: the window itself and the routing of its messages to the handlers
// bound to its events (app/form_handlers.h). Its controls are made and kept by FormControls, the
// handlers see it through FormViewWin32, its keys go through WindowCommandKeys.
#include <windows.h>

#include "Systeme/unique_handle_win32.h"
#include "app/chrome/window_chrome_win32.h"
#include "app/form_controls_win32.h"
#include "app/form_handlers.h"
#include "app/form_view_win32.h"
#include "app/window_command_keys_win32.h"

class MainWindow final {
 public:
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls (hidden), then runs the handlers' onCreate. False when
  // the window could not be created.
  bool Create(FormHandlers handlers);
  HWND Handle() const { return window_; }
  HWND ControlHandle(ControlId id) const { return controls_.Handle(id); }
  FormView& View() { return view_; }
  ChromeTarget& Chrome() { return controls_; }
  // The message loop's share of the window's keys (WindowCommandKeys).
  void PreviewKey(const MSG& message) { keys_.PreviewKey(message); }
  bool TranslateShortcut(const MSG& message) { return keys_.TranslateShortcut(message); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool Bound() const { return static_cast<bool>(handlers_.run); }
  void OnCommand(WPARAM wParam);
  void OnSize();
  void OnDpiChanged(int pixelsPerInch, const RECT& suggested);
  void OnClose();
  void OnDestroy();
  void TopPanelMouseDown(bool leftButton);
  void SetIcons();

  HINSTANCE instance_;
  HWND window_ = nullptr;
  FormHandlers handlers_;
  FormControls controls_;
  WindowCommandKeys keys_;
  FormViewWin32 view_;
  // The icons for a resolution other than the system's, which the class's icons are made for.
  UniqueHicon bigIcon_;
  UniqueHicon smallIcon_;
};
