#pragma once
// The window's keys on Win32: every key pressed in the window shown to FormKeyDown first (key
// preview), the command keys taken ahead of the focused control, and the list's context menu
// placed where a right click or the keyboard opens it. What a key means and what the menu holds
// is decided by the handlers (app/window_commands.h).
#include <windows.h>

#include "app/form_controls_win32.h"
#include "app/form_handlers.h"

class WindowCommandKeys {
 public:
  // Both must outlive this; the handlers count once they are set (their `run` is there).
  WindowCommandKeys(const FormHandlers& handlers, const FormControls& controls)
      : handlers_(handlers), controls_(controls) {}

  // For every message the loop takes: key presses reach FormKeyDown before the control.
  void PreviewKey(const MSG& message);
  // The window's command keys, run ahead of the focused control; true when the message was one
  // of them and must go no further.
  bool TranslateShortcut(const MSG& message);
  // The list's context menu, from a right click (a point of the screen) or the keyboard (-1,
  // -1). False when the message is not about the list's rows.
  bool OnContextMenu(HWND source, LPARAM point);

 private:
  bool Bound() const { return static_cast<bool>(handlers_.run); }
  bool IsWindowMessage(const MSG& message) const;
  void OpenContextMenuAtFocus();

  const FormHandlers& handlers_;
  const FormControls& controls_;
  WPARAM takenKey_ = 0;  // a command key whose release the system must not see either
};
