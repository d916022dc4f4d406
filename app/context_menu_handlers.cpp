// The list's context menu and the two row commands only it and the keys offer.
#include <cstdint>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "writers/copy_text.h"
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

void TMainForm::CopyRowClick(PVirtualNode row) {
  const TTreeDataClass* record = RecordOf(vst, row);
  if (!record) {
    ports_.dialogs.Beep();
    return;
  }
  // The row's line of the whole "Copier" text: the columns padded to the whole list's widths.
  const std::array<int, 4> widths = MeasureTextWidths(RowsInDisplayOrder(vst));
  ports_.clipboard.SetText(BuildCopyText({record}, widths, SeparatorString()));
}

void TMainForm::CopyKbClick(PVirtualNode row) {
  const TTreeDataClass* record = RecordOf(vst, row);
  if (!record) {
    ports_.dialogs.Beep();
    return;
  }
  ports_.clipboard.SetText(record->HotFixID.str());
}
