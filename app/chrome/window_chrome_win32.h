#pragma once
// The main window's chrome on the running system: Segoe UI from Vista on, the glass top strip
// when desktop composition is on, and the one taskbar button.
#include <windows.h>

#include <string>

#include "app/form_view.h"

// What the chrome changes on the main window, which implements it.
class ChromeTarget {
 public:
  virtual ~ChromeTarget() = default;
  virtual HWND Handle() const = 0;
  virtual std::string FormFontName() = 0;
  // The window font under another name, some points larger.
  virtual void ReplaceFormFont(const std::string& name, int extraPoints) = 0;
  virtual void SetTopPanelColor(COLORREF color) = 0;
  virtual int TopPanelHeight() = 0;
  virtual COLORREF WindowColor() const = 0;
};

bool IsGlassEnabled();
void ExtendGlassFrame(HWND window, RECT margins);

class WindowChromeWin32 final : public WindowChrome {
 public:
  explicit WindowChromeWin32(ChromeTarget& window) : window_(window) {}
  void ApplyVistaFont() override;
  void ShowInTaskbar() override;
  void ApplyGlassLook() override;

 private:
  ChromeTarget& window_;
};
