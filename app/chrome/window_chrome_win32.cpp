#include "app/chrome/window_chrome_win32.h"

#include <string>

#include "Systeme/text_convert_win32.h"
#include "Systeme/unique_handle_win32.h"
#include "app/chrome/dialogs_win32.h"
#include "app/chrome/vista_font.h"

namespace {

// The desktop window manager is not on every supported system: it is looked up by name for
// each call and let go afterwards.
UniqueHmodule LoadDwm() {
  return UniqueHmodule(LoadLibraryW(L"dwmapi.dll"));
}

int CALLBACK NoteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool IsFontInstalled(const std::string& name) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, Utf8ToWide(name).c_str(), LF_FACESIZE);
  bool found = false;
  WindowDc screen(nullptr);
  EnumFontFamiliesExW(screen.get(), &wanted, NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

}  // namespace

bool IsGlassEnabled() {
  if (!IsVistaOrLater()) return false;
  UniqueHmodule dwm = LoadDwm();
  if (!dwm) return false;
  using IsCompositionEnabled = HRESULT(WINAPI*)(BOOL*);
  auto isEnabled = reinterpret_cast<IsCompositionEnabled>(
      reinterpret_cast<void*>(GetProcAddress(dwm.get(), "DwmIsCompositionEnabled")));
  BOOL enabled = FALSE;
  if (isEnabled) isEnabled(&enabled);
  return enabled != FALSE;
}

void ExtendGlassFrame(HWND window, RECT margins) {
  if (!IsVistaOrLater() || !IsGlassEnabled()) return;
  UniqueHmodule dwm = LoadDwm();
  if (!dwm) return;
  struct Margins {
    int leftWidth, rightWidth, topHeight, bottomHeight;
  };
  using ExtendFrame = HRESULT(WINAPI*)(HWND, const Margins*);
  auto extend = reinterpret_cast<ExtendFrame>(
      reinterpret_cast<void*>(GetProcAddress(dwm.get(), "DwmExtendFrameIntoClientArea")));
  if (!extend) return;
  const Margins frame{margins.left, margins.right, margins.top, margins.bottom};
  extend(window, &frame);
}

void WindowChromeWin32::ApplyVistaFont() {
  WindowFont font{window_.FormFontName(), 0};
  const std::string before = font.name;
  ::ApplyVistaFont(IsVistaOrLater(), font, IsFontInstalled);
  if (font.name != before) window_.ReplaceFormFont(font.name, font.pointSize);
}

void WindowChromeWin32::ShowInTaskbar() {
  // The main window has no hidden owner: its own extended style gives it the one button.
  HWND window = window_.Handle();
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
  SetWindowLongPtrW(window, GWL_EXSTYLE, (style | WS_EX_APPWINDOW) & ~WS_EX_TOOLWINDOW);
}

void WindowChromeWin32::ApplyGlassLook() {
  if (IsGlassEnabled()) {
    window_.SetTopPanelColor(RGB(0, 0, 0));
    RECT strip{0, window_.TopPanelHeight(), 0, 0};
    ExtendGlassFrame(window_.Handle(), strip);
  } else {
    window_.SetTopPanelColor(window_.WindowColor());
  }
}
