// The window's keys: each runs what a button or the list's context menu runs.
#include "app/main_form.h"

bool TMainForm::FormShortcut(std::uint16_t key, TShiftState shift, KeyTarget target) {
  const WindowCommand command = CommandForKey(key, shift, target);
  if (command == WindowCommand::None || command == WindowCommand::ContextMenu) return false;
  RunCommand(command);
  return true;
}

void TMainForm::RunCommand(WindowCommand command) {
  switch (command) {
    case WindowCommand::Scan:
      BtnSearchClick();  // refuses itself while a scan runs
      return;
    case WindowCommand::OpenRowPage:
      BtnLinkWebClick();
      return;
    case WindowCommand::CopyRow:
      CopyRowClick(vst.CurrentNode());
      return;
    case WindowCommand::CopyKb:
      CopyKbClick(vst.CurrentNode());
      return;
    case WindowCommand::CopyList:
      BtnCopyClick();
      return;
    case WindowCommand::Export:
      ExportClick();
      return;
    case WindowCommand::FindText:
      if (ports_.commands) {
        ports_.commands->FocusSearchBox();
      } else {
        ports_.dialogs.Beep();
      }
      return;
    case WindowCommand::ContextMenu:
    case WindowCommand::None:
      return;
  }
}
