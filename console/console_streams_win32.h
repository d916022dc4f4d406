#pragma once
// Standard output, standard error and the console's keyboard, as the console program uses them.
// The program hands them UTF-8. A console gets the characters (WriteConsoleW), whatever its code
// page. Redirected, the bytes are those of the console's output code page: what cmd's ">" and
// "type", findstr, and PowerShell 5.1 (which decodes a native program's output with
// [Console]::OutputEncoding, that code page) read back as the same characters. Standard output
// may instead keep UTF-8 (/encoding:utf8).
#include <windows.h>

#include <string>
#include <string_view>

#include "console/console_program.h"

class ConsoleStreams {
 public:
  ConsoleStreams();

  bool OutputIsConsole() const { return outputIsConsole_; }

  // False when the text could not all be written (a closed pipe, a full disk).
  bool WriteOutput(std::string_view utf8, bool keepUtf8);
  // A message of the program's own, on its own line.
  void WriteError(std::string_view utf8);
  // One line of progress, redrawn in place; only on a console, so logs stay clean. Results and
  // messages clear it before they are written.
  void ShowProgress(std::string_view utf8);
  void EndProgress();

  // Asks on the console without echoing what is typed, even when standard input is redirected.
  PasswordAnswer ReadSecret(std::string_view promptUtf8);

 private:
  bool Write(HANDLE handle, bool isConsole, std::string_view utf8, bool keepUtf8);

  HANDLE output_;
  HANDLE error_;
  bool outputIsConsole_;
  bool errorIsConsole_;
  // The console's output code page; the OEM code page when the process has no console at all.
  UINT codePage_;
  std::size_t progressLength_ = 0;
};
