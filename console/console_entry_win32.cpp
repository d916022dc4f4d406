// Fixtally.com: the console program's entry. It gives RunConsoleProgram the real standard
// streams, files, settings file, WMI and threads, and hands its exit code to the shell.
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "Systeme/locale_text_win32.h"
#include "Systeme/running_program_win32.h"
#include "Systeme/replace_file_win32.h"
#include "Systeme/text_convert_win32.h"
#include "Systeme/this_computer_win32.h"
#include "console/console_program.h"
#include "console/console_streams_win32.h"
#include "console/run_ports_win32.h"
#include "console/stop_on_ctrl_c_win32.h"
#include "inventory/time_zone_win32.h"
#include "inventory/cbs_packages_win32.h"
#include "inventory/wmi_source_win32.h"
#include "inventory/wu_history_win32.h"
#include "settings/builtin_texts.h"
#include "settings/ini_store_win32.h"
#include "settings/settings_file.h"

namespace {

// The C runtime's split of the command line (the rules of "Parsing C command-line arguments"),
// rather than CommandLineToArgvW: shell32.dll and what it loads would cost every run its time.
std::vector<std::string> Arguments(int count, wchar_t** wide) {
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(WideToUtf8(wide[i]));
  return arguments;
}

TSettings LoadSettingsBesideProgram() {
  TSettings settings;
  settings.IniFileName = SettingsFilePath(ExecutablePath());
  settings.Root = DefaultNamespace();
  const std::unique_ptr<IniStore> ini = MakeWindowsIniStore();
  LoadSettingFields(settings, *ini);
  LoadSourcesSetting(settings, *ini);
  return settings;
}

std::atomic<bool> stopRequested{false};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ConsoleStreams streams;
  StopOnCtrlC(stopRequested);
  ThreadStarterWin32 threads;
  const std::unique_ptr<LocaleText> locale = MakeWindowsLocaleText();

  ConsolePorts ports{
      .loadSettings = LoadSettingsBesideProgram,
      .readFile = [](const std::string& path) { return ReadWholeFile(Utf8ToWide(path)); },
      .checkWritable = [](const std::string& path) { CheckCanReplace(Utf8ToWide(path)); },
      .replaceFile = [](const std::string& path,
                        std::string_view bytes) { ReplaceFileWith(Utf8ToWide(path), bytes); },
      .writeOutput = [&streams](std::string_view utf8,
                                bool keepUtf8) { return streams.WriteOutput(utf8, keepUtf8); },
      .reportError = [&streams](std::string_view text) { streams.WriteError(text); },
      .showProgress = [&streams](std::string_view text) { streams.ShowProgress(text); },
      .askPassword = [&streams](std::string_view prompt) { return streams.ReadSecret(prompt); },
      .outputIsConsole = streams.OutputIsConsole(),
      .isThisComputer = [](std::string_view name) { return IsThisComputer(name); },
      .thisComputerName = ThisComputerName,
      .codePage = locale.get(),
      .listSeparator = UserListSeparator(),
      .run = RunPorts{.threads = threads,
                      .makeMailbox = MakeRunMailboxWin32,
                      .clock = RunClockWin32,
                      .makeSource = [] { return std::make_unique<WmiHotfixSource>(); },
                      .displaySettings = locale->FormatSettings(),
                      .timeZone = std::shared_ptr<TimeZone>(MakeWindowsTimeZone()),
                      .currentYear = CurrentYear(),
                      .makeHistorySource = [] { return std::make_unique<WuHistorySourceWin32>(); },
                      .makePackageSource = [] { return std::make_unique<CbsPackageSourceWin32>(); },
                      .rowTexts = {locale->FromUtf8(UpdateRowTextsUtf8().maintenance),
                                   locale->FromUtf8(UpdateRowTextsUtf8().supersededSuffix)}},
  };
  const int code = RunConsoleProgram(Arguments(argc, argv), ports, stopRequested);
  streams.EndProgress();
  // Threads given up after their timeout may still be inside a call to a remote computer.
  // ExitProcess would end them and then run every library's detach code, which can deadlock on
  // a lock one of them held (its documentation advises TerminateProcess then). Everything the
  // program wrote is already written: it holds no buffer of its own.
  if (!threads.WaitForThreads(2000)) TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
  ExitProcess(static_cast<UINT>(code));
}
