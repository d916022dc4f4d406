// The list's context menu: what it offers for the row under it, and the command chosen.
#include <cstdint>

#include "app/main_form.h"
#include "list/list_rows.h"

void TMainForm::vstContextMenu(PVirtualNode row, int screenX, int screenY) {
  if (!ports_.commands) return;
  const TTreeDataClass* record = RecordOf(vst, row);
  const ContextMenuState state{record != nullptr, vst.RootNodeCount() > 0, Busy};
  const std::uint64_t revision = vst.Revision();
  const WindowCommand chosen =
      ports_.commands->ShowContextMenu(ListContextMenu(state), screenX, screenY);
  // The menu runs its own message loop: should the rows have changed meanwhile, the row may be
  // gone, and its commands have nothing left to act on.
  if (vst.Revision() != revision) row = nullptr;
  switch (chosen) {
    case WindowCommand::OpenRowPage:
      if (const TTreeDataClass* now = RecordOf(vst, row)) {
        OpenRowPage(*now);
      } else {
        ports_.dialogs.Beep();
      }
      return;
    case WindowCommand::CopyRow:
      CopyRowClick(row);
      return;
    case WindowCommand::CopyKb:
      CopyKbClick(row);
      return;
    default:
      RunCommand(chosen);
      return;
  }
}
