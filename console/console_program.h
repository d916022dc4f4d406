#pragma once
// The console program from its arguments to its exit code: which computers, with which account,
// read how, written where. Everything outside the program comes through ConsolePorts, so the
// whole path is tested natively with fakes; console/console_entry_win32.cpp gives the real ones.
#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Systeme/locale_text.h"
#include "Systeme/secret_text.h"
#include "console/computer_run.h"
#include "settings/settings.h"
#include "writers/export_writers.h"

// What asking for a password on the console gave.
struct PasswordAnswer {
  enum class Kind {
    Typed,      // ended with Enter
    NoConsole,  // there is no console to ask on (a scheduled task, a service)
    NotEnded,   // Ctrl+C, the end of the input, or an overlong line: no password at all
  };
  Kind kind = Kind::NoConsole;
  SecretText password;  // Typed: UTF-8, as typed
};

struct ConsolePorts {
  // The settings file's fields (TSettings defaults when there is none).
  std::function<TSettings()> loadSettings;
  // A file's bytes; raises EFixtallyError with a message naming the file.
  std::function<std::string(const std::string& pathUtf8)> readFile;
  // Raises EFixtallyError with the path and the system's reason when a new file cannot be
  // written beside that path (its folder missing, or refusing); leaves nothing behind.
  std::function<void(const std::string& pathUtf8)> checkWritable;
  // Writes the whole file beside its name and renames it over; raises EFixtallyError.
  std::function<void(const std::string& pathUtf8, std::string_view bytes)> replaceFile;
  // Standard output, UTF-8 text: a console shows its characters; redirected, it goes out in the
  // console's output code page, or as UTF-8 with keepUtf8. False when not all of it was written.
  std::function<bool(std::string_view utf8, bool keepUtf8)> writeOutput;
  std::function<void(std::string_view utf8)> reportError;   // standard error, one line
  std::function<void(std::string_view utf8)> showProgress;  // a console only; may do nothing
  // Asks for the account's password without echo.
  std::function<PasswordAnswer(std::string_view promptUtf8)> askPassword;
  bool outputIsConsole = false;  // standard output is a console: the user reads the text there
  // Whether a name (UTF-8) is this computer by any of its names; it is read with the current
  // account (WMI refuses an account on a connection to this computer).
  std::function<bool(std::string_view name)> isThisComputer;
  // This computer's name as the outputs show it for ".", "localhost" and the loopback
  // addresses: its DNS host name. UTF-8.
  std::function<std::string()> thisComputerName;
  LocaleText* codePage = nullptr;  // the system code page's conversions (required)
  std::string listSeparator;       // the user's (LOCALE_SLIST), system code page
  RunPorts run;
};

// Runs the command line `arguments` (UTF-8, without the program's name); returns the exit code
// (console/exit_code.h). `stop` is Ctrl+C.
int RunConsoleProgram(const std::vector<std::string>& arguments, ConsolePorts& ports,
                      const std::atomic<bool>& stop);
