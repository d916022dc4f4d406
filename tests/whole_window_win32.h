#pragma once
// The main window assembled in this process as Fixtally.exe assembles it: the real window and
// list view, the Windows locale, time zone, clipboard, shell, INI file and placement. Only two
// ports differ: the hotfixes come from the source given (WMI cannot be made to answer odd or
// 100,000 objects), and the dialogs are recorded instead of shown (a modal box would wait for a
// person). The settings file lives in a folder of its own.
#include <windows.h>

#include <memory>
#include <string>

#include "Systeme/locale_text_win32.h"
#include "Systeme/shell_win32.h"
#include "app/chrome/window_chrome_win32.h"
#include "app/main_form.h"
#include "app/main_window_win32.h"
#include "inventory/time_zone_win32.h"
#include "list/clipboard_win32.h"
#include "main_form_fakes.h"
#include "settings/ini_store_win32.h"
#include "settings/window_placement_win32.h"

class WholeWindow {
 public:
  // `folder` must exist; Fixtally.ini is read from and written to it.
  WholeWindow(HotfixSource& source, const std::string& folder)
      : window_(GetModuleHandleW(nullptr)),
        chrome_(window_.Chrome()),
        dialogs_(log_),
        locale_(MakeWindowsLocaleText()),
        timeZone_(MakeWindowsTimeZone()),
        clipboard_(MakeWindowsClipboard([this] { return window_.Handle(); })),
        shell_([this] { return window_.Handle(); }),
        ini_(MakeWindowsIniStore()),
        placement_([this] { return window_.Handle(); }),
        ports_{window_.View(),
               chrome_,
               dialogs_,
               source,
               *locale_,
               *timeZone_,
               *clipboard_,
               shell_,
               *ini_,
               placement_,
               folder + "\\Fixtally.exe",
               [] {
                 SYSTEMTIME now;
                 GetLocalTime(&now);
                 return static_cast<int>(now.wYear);
               }},
        form_(ports_) {}

  ~WholeWindow() {
    if (window_.Handle()) DestroyWindow(window_.Handle());
    // The window posts WM_QUIT as it goes; it must not end a later test's message loop.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  WholeWindow(const WholeWindow&) = delete;
  WholeWindow& operator=(const WholeWindow&) = delete;

  // Creates and shows the window, as start-up does. False when it could not be created.
  bool Show() {
    if (!window_.Create(form_.Handlers())) return false;
    placement_.ShowForFirstTime();
    UpdateWindow(window_.Handle());
    return true;
  }

  TMainForm& Form() { return form_; }
  MainWindow& Window() { return window_; }
  HWND Control(ControlId id) const { return window_.ControlHandle(id); }
  FakeDialogs& Dialogs() { return dialogs_; }

  // A click on one of the window's buttons, routed as a person's click is.
  void Click(ControlId button) { SendMessageW(Control(button), BM_CLICK, 0, 0); }

  // Paints whatever is invalid now, the list included, before returning.
  void PaintNow() {
    RedrawWindow(window_.Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }

 private:
  CallLog log_;
  MainWindow window_;
  WindowChromeWin32 chrome_;
  FakeDialogs dialogs_;
  std::unique_ptr<LocaleText> locale_;
  std::unique_ptr<TimeZone> timeZone_;
  std::unique_ptr<Clipboard> clipboard_;
  ShellWin32 shell_;
  std::unique_ptr<IniStore> ini_;
  WindowPlacementWin32 placement_;
  MainFormPorts ports_;
  TMainForm form_;
};
