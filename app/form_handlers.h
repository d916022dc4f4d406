#pragma once
// What the window's events reach. The window knows the form table, not the form: the form binds
// its handlers once (TMainForm::Handlers) and the window calls what is bound to each event,
// inside `run`, through which no error ever escapes.
#include <cstdint>
#include <functional>
#include <string>

#include "app/form_table.h"
#include "app/window_commands.h"
#include "list/list_types.h"
#include "list/virtual_string_tree.h"

struct FormHandlers {
  TVirtualStringTree* list = nullptr;  // the rows the list view shows; not owned
  // Runs a handler; an error that escapes it is reported, and nothing leaves.
  std::function<void(const std::function<void()>&)> run;
  std::function<void()> onCreate;
  std::function<void(bool& canClose)> onCloseQuery;
  std::function<void()> onClose;
  std::function<void()> onDestroy;
  std::function<void()> onResize;
  // The window shows at another resolution; its controls have been made for it already.
  std::function<void(int oldPixelsPerInch, int newPixelsPerInch)> onDpiChanged;
  // Every key pressed in the window or one of its controls, before the control has it.
  std::function<void(std::uint16_t& key, TShiftState shift)> onKeyDown;
  // A key that carries one of the window's commands (app/window_commands.h).
  std::function<void(std::uint16_t key, TShiftState shift, KeyTarget target)> onShortcut;
  // A control's event of the form table: a button's click, the search box's change.
  std::function<void(FormEvent event)> onEvent;
  // The list's context menu for `row` (none: the list's empty space), at a point of the screen.
  std::function<void(PVirtualNode row, int screenX, int screenY)> onContextMenu;
  // The link label's click: its address, to be opened by the shell.
  std::function<void(const std::string& address)> openLink;
};
