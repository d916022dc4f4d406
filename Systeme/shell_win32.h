#pragma once
// The system shell as Windows gives it: ShellExecuteA with the default verb.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

#include "Systeme/shell.h"

// The longest path or address handed to the shell. A KB page address is under 100 characters.
// Wine's shell (8.0) overruns a 1024-character command buffer once the handler's command and
// the address pass it (from about 985 characters of address), which kills the program; a
// longer address is therefore refused before the shell sees it, and the refusal is reported.
inline constexpr std::size_t kMaxShellPathLength = 960;

class ShellWin32 : public Shell {
 public:
  // `owner` is asked at each call, because the main window exists only once start-up has
  // created it; null is allowed (no owner).
  explicit ShellWin32(std::function<HWND()> owner);

  // The path goes to the shell whole, never cut: a cut web address would open the wrong page.
  // A path longer than kMaxShellPathLength raises EFixtallyError and opens nothing.
  void OpenDocument(const std::string& path) override;

 private:
  std::function<HWND()> owner_;
};
