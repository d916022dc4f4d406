#pragma once
// The console program from its arguments to its exit code: which computers, with which account,
// read how, written where. Everything outside the program comes through ConsolePorts, so the
// whole path is tested natively with fakes; console/console_entry_win32.cpp gives the real ones.
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Systeme/locale_text.h"
#include "Systeme/secret_text.h"
#include "console/computer_run.h"
#include "writers/export_writers.h"
#include "settings/settings.h"

struct ConsolePorts {
  // The settings file's fields (TSettings defaults when there is none).
  std::function<TSettings()> loadSettings;
  // A file's bytes; raises EFixtallyError with a message naming the file.
  std::function<std::string(const std::string& pathUtf8)> readFile;
  // Writes the whole file beside its name and renames it over; raises EFixtallyError.
  std::function<void(const std::string& pathUtf8, std::string_view bytes)> replaceFile;
  // Standard output; false when it could not all be written.
  std::function<bool(std::string_view bytes, bool utf8)> writeOutput;
  std::function<void(std::string_view utf8)> reportError;   // standard error
  std::function<void(std::string_view utf8)> showProgress;  // a console only; may do nothing
  // Asks for the account's password without echo; none when there is no console to ask on.
  // The answer is UTF-8, as typed.
  std::function<std::optional<SecretText>(std::string_view promptUtf8)> askPassword;
  LocaleText* codePage = nullptr;  // the system code page's conversions (required)
  std::string listSeparator;       // the user's (LOCALE_SLIST), system code page
  RunPorts run;
};

// Runs the command line `arguments` (UTF-8, without the program's name); returns the exit code
// (console/exit_code.h). `stop` is Ctrl+C.
int RunConsoleProgram(const std::vector<std::string>& arguments, ConsolePorts& ports,
                      const std::atomic<bool>& stop);
