#pragma once
// Standard output, standard error and the console's keyboard, as the console program uses them.
// Text reaches a console through WriteConsoleW, so accents show whatever the console's code
// page; redirected, the bytes go out as they are (the "Copier" text in the system code page,
// CSV and JSON in UTF-8), so that a file or a pipe gets exactly what the program wrote.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

enum class TextEncoding { Ansi, Utf8 };

class ConsoleStreams {
 public:
  ConsoleStreams();

  bool OutputIsConsole() const { return outputIsConsole_; }
  bool ErrorIsConsole() const { return errorIsConsole_; }

  // False when the bytes could not all be written (a closed pipe, a full disk).
  bool WriteOutput(std::string_view bytes, TextEncoding encoding);
  // A message of the program's own (UTF-8), on its own line.
  void WriteError(std::string_view utf8);
  // One line of progress, redrawn in place; only on a console, so logs stay clean.
  void ShowProgress(std::string_view utf8);
  void EndProgress();

  // Asks on the console without echoing what is typed; none without a console to ask on.
  std::optional<std::wstring> ReadSecret(std::string_view promptUtf8);

 private:
  bool Write(HANDLE handle, bool isConsole, std::string_view bytes, UINT codePage);

  HANDLE output_;
  HANDLE error_;
  bool outputIsConsole_;
  bool errorIsConsole_;
  std::size_t progressLength_ = 0;
};
