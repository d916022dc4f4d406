#pragma once
// The main window's chrome on the running system: Segoe UI from Vista on, the glass top strip
// when desktop composition is on, and the one taskbar button.
#include <windows.h>

#include "app/form_view.h"

class MainWindow;

bool IsGlassEnabled();
void ExtendGlassFrame(HWND window, RECT margins);

class WindowChromeWin32 final : public WindowChrome {
 public:
  explicit WindowChromeWin32(MainWindow& window) : window_(window) {}
  void ApplyVistaFont() override;
  void ShowInTaskbar() override;
  void ApplyGlassLook() override;

 private:
  MainWindow& window_;
};
