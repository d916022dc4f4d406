#pragma once
// What the keyboard commands, the list's context menu and "Exporter…" need from the system,
// beyond the main window's other ports. Texts and paths are UTF-8 unless said otherwise.
#include <optional>
#include <string>
#include <vector>

#include "app/window_commands.h"

struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

struct ExportTarget {
  std::string path;     // the file the user chose
  int filterIndex = 1;  // the file type chosen in the dialog, 1-based
};

class CommandPorts {
 public:
  virtual ~CommandPorts() = default;
  // Shows the menu at a point of the screen and waits; the command chosen, or None.
  virtual WindowCommand ShowContextMenu(const std::vector<ContextMenuItem>& items, int screenX,
                                        int screenY) = 0;
  // Gives the search box the keyboard focus with its whole text selected.
  virtual void FocusSearchBox() = 0;
  // The save dialog, proposing `fileName` in `folder` (empty: the system's choice); none when
  // the user cancels. The dialog itself asks before replacing a file.
  virtual std::optional<ExportTarget> AskExportTarget(const std::string& fileName,
                                                      const std::string& folder) = 0;
  // Writes the file whole beside the target and renames it over the target, so a failure never
  // leaves a part of it. Raises EFixtallyError naming the path and the system's reason.
  virtual void WriteWholeFile(const std::string& path, const std::string& bytes) = 0;
  virtual bool FileExists(const std::string& path) = 0;  // a file, not a folder
  virtual std::string ComputerName() = 0;                // this computer's name, system code page
  virtual std::string ListSeparator() = 0;  // the user's list separator, system code page
  virtual CalendarDate Today() = 0;         // the local date
};
