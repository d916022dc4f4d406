// The program entry: COM for the user-interface thread, the system test, the main window and
// its message loop. The exit code is 0 in every case.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "Systeme/com_scope_win32.h"
#include "Systeme/locale_text_win32.h"
#include "Systeme/running_program_win32.h"
#include "Systeme/shell_win32.h"
#include "Systeme/supported_windows.h"
#include "Systeme/text_convert_win32.h"
#include "Systeme/unique_handle_win32.h"
#include "Systeme/windows_version_win32.h"
#include "app/chrome/dialogs_win32.h"
#include "app/chrome/window_chrome_win32.h"
#include "app/command_ports_win32.h"
#include "app/main_form.h"
#include "app/beyond_qfe_port_win32.h"
#include "app/main_window_win32.h"
#include "inventory/time_zone_win32.h"
#include "inventory/wmi_source_win32.h"
#include "list/clipboard_win32.h"
#include "settings/ini_store_win32.h"
#include "settings/window_placement_win32.h"

namespace {

std::string FirstArgument() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments) return {};
  const UniqueLocalMemory owner(arguments);
  return count > 1 ? WideToUtf8(arguments[1]) : std::string();
}

// Until WM_QUIT. Whenever the queue is empty the form may do a step of its idle work; the loop
// waits for a message only once it has none left.
void RunMessageLoop(MainWindow& window, TMainForm& form) {
  MSG message;
  for (;;) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return;
      window.PreviewKey(message);
      if (window.TranslateShortcut(message)) continue;
      if (window.Handle() && IsDialogMessageW(window.Handle(), &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    bool more = false;
    form.RunUserAction([&] { more = form.IdleWork(); });
    if (!more) WaitMessage();
  }
}

// True when a reading stopped by the user is still running when the window has closed.
bool RunMainWindow(HINSTANCE instance) {
  MainWindow window(instance);
  WindowChromeWin32 chrome(window.Chrome());
  DialogsWin32 dialogs;
  WmiHotfixSource hotfixes;
  const std::unique_ptr<LocaleText> locale = MakeWindowsLocaleText();
  const std::unique_ptr<TimeZone> timeZone = MakeWindowsTimeZone();
  const std::unique_ptr<Clipboard> clipboard =
      MakeWindowsClipboard([&window] { return window.Handle(); });
  ShellWin32 shell([&window] { return window.Handle(); });
  const std::unique_ptr<IniStore> ini = MakeWindowsIniStore();
  WindowPlacementWin32 placement([&window] { return window.Handle(); });

  CommandPortsWin32 commands([&window] { return window.Handle(); },
                             [&window] { return window.ControlHandle(ControlId::EditSearch); });
  MainFormPorts ports{window.View(),    chrome,       dialogs,  hotfixes, *locale,
                      *timeZone,        *clipboard,   shell,    *ini,     placement,
                      ExecutablePath(), &CurrentYear, &commands};
  BeyondQfePortWin32 beyondQfe;
  ports.beyondQfe = &beyondQfe;
  TMainForm form(ports);
  if (!window.Create(form.Handlers())) return false;
  dialogs.SetOwner(window.Handle());
  placement.ShowForFirstTime();
  RunMessageLoop(window, form);
  return beyondQfe.ReaderLeftBehind();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  ComScope com(COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                                     ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  if (!IsSupportedWindows(FirstArgument(), ReadWindowsVersion)) {
    ShowStartupWarning();
    return 0;
  }
  // A reading left behind may be inside a DCOM call: ending the process normally would run every
  // library's detach code under it, which can deadlock on a lock it holds.
  if (RunMainWindow(instance)) TerminateProcess(GetCurrentProcess(), 0);
  return 0;
}
