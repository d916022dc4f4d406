#pragma once
// The window's commands beyond its buttons: what a key means where it is pressed, and what the
// list's context menu offers in the window's current state. Portable: the Win32 side reads the
// key and shows the menu, these tables decide.
#include <cstdint>
#include <string>
#include <vector>

#include "list/list_types.h"

enum class WindowCommand {
  None,
  Scan,         // "Analyser"
  OpenRowPage,  // "Lien Web" for a row
  CopyRow,      // the row as its line of the "Copier" text
  CopyKb,       // the row's KB identifier
  CopyList,     // "Copier"
  Export,       // "Exporter…"
  FindText,     // the search box, its text selected
  ContextMenu,  // the list's context menu at the focused row
};

// Where the key was pressed: the search box keeps its own editing keys (Ctrl+C copies its
// selection), the list its own (Enter and Ctrl+C act on the focused row).
enum class KeyTarget { List, SearchBox, Other };

// Windows' virtual-key codes of the keys that carry a command.
namespace vk {
inline constexpr std::uint16_t Return = 0x0D;
inline constexpr std::uint16_t Apps = 0x5D;
inline constexpr std::uint16_t F1 = 0x70;
inline constexpr std::uint16_t F3 = 0x72;
inline constexpr std::uint16_t F5 = 0x74;
inline constexpr std::uint16_t F10 = 0x79;
inline constexpr std::uint16_t F12 = 0x7B;
inline constexpr std::uint16_t C = 'C';
inline constexpr std::uint16_t F = 'F';
inline constexpr std::uint16_t S = 'S';
}  // namespace vk

// The command of a key press (its exact modifiers count: Ctrl+Alt, which is AltGr on many
// keyboards, types characters and carries none), or None: the key goes on to the control.
WindowCommand CommandForKey(std::uint16_t key, TShiftState shift, KeyTarget target);

// The key that runs `command`, as menus show it after a tab ("Ctrl+Maj+C", "Entrée", "F5"),
// or empty when no key runs it. Read from the table CommandForKey reads, so that a menu never
// shows a key that does something else.
std::string ShortcutText(WindowCommand command);

// One line of the context menu; a separator has no command.
struct ContextMenuItem {
  WindowCommand command = WindowCommand::None;
  const char* text = "";  // UTF-8
  bool enabled = false;
  bool isDefault = false;  // drawn bold; what a double click on the row does
  std::string shortcut;    // UTF-8, ShortcutText(command)
};

// What the window can act on when the menu opens.
struct ContextMenuState {
  bool onRow = false;    // the menu belongs to a row that holds a record
  bool hasRows = false;  // the list holds rows
  bool busy = false;     // a scan runs
};

// The menu: the row's commands (only on a row), then the list's, then "Analyser". A command
// with nothing to act on in this state is greyed.
std::vector<ContextMenuItem> ListContextMenu(const ContextMenuState& state);
