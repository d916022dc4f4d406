#include "Systeme/shell_win32.h"

#include <shellapi.h>

#include <string>
#include <utility>

#include "Systeme/errors.h"

ShellWin32::ShellWin32(std::function<HWND()> owner) : owner_(std::move(owner)) {}

void ShellWin32::OpenDocument(const std::string& path) {
  if (path.size() > kMaxShellPathLength) {
    throw EFixtallyError("L'adresse Web est trop longue pour être ouverte (" +
                         std::to_string(path.size()) + " caractères, " +
                         std::to_string(kMaxShellPathLength) + " au plus)");
  }
  // A failure to open shows nothing, so the shell's answer is not looked at.
  ShellExecuteA(owner_ ? owner_() : nullptr, nullptr, path.c_str(), "", "", SW_SHOWNOACTIVATE);
}
