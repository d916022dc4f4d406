#pragma once
// The keyboard commands', context menu's and "Exporter…"'s ports on Win32: a popup menu, the
// standard save dialog (GetSaveFileNameW, the same call from XP to 11), the file written beside
// and renamed, the computer's name, the user's list separator and the local date.
#include <windows.h>

#include <functional>
#include <utility>

#include "app/command_ports.h"

class CommandPortsWin32 final : public CommandPorts {
 public:
  // `owner` owns the menu and the dialog, `searchBox` is the box Ctrl+F reaches; both are asked
  // at each use, because the window exists only once start-up has created it.
  CommandPortsWin32(std::function<HWND()> owner, std::function<HWND()> searchBox)
      : owner_(std::move(owner)), searchBox_(std::move(searchBox)) {}

  WindowCommand ShowContextMenu(const std::vector<ContextMenuItem>& items, int screenX,
                                int screenY) override;
  void FocusSearchBox() override;
  std::optional<ExportTarget> AskExportTarget(const std::string& fileName,
                                              const std::string& folder) override;
  void WriteWholeFile(const std::string& path, const std::string& bytes) override;
  bool FileExists(const std::string& path) override;
  std::string ComputerName() override;
  std::string ListSeparator() override;
  CalendarDate Today() override;

 private:
  std::function<HWND()> owner_;
  std::function<HWND()> searchBox_;
};
