// "Copier" and "Lien Web", and the row commands of the keys and the context menu (the row's line
// of the "Copier" text, its KB): the actions that read the rows and change nothing in the list.
#include <array>
#include <cstdint>
#include <vector>

#include "Systeme/errors.h"
#include "app/main_form.h"
#include "inventory/kb_rules.h"
#include "writers/copy_text.h"
#include "list/link_format.h"
#include "list/list_rows.h"

std::string TMainForm::SeparatorString() const {
  return CopySeparator(Settings.DefChar, Settings.NbrChar);
}

void TMainForm::MeasureColumns() {
  if (vst.RootNodeCount() == 0) return;
  ColumnTextWidths = MeasureTextWidths(RowsInDisplayOrder(vst));
}

void TMainForm::BtnCopyClick() {
  if (vst.RootNodeCount() == 0) {
    Ports().dialogs.Beep();
    return;
  }
  const std::string separator = SeparatorString();
  // The rows are gathered once, for the widths and for the text: each walk of 100,000 rows
  // costs as much as building the text itself.
  const std::vector<const TTreeDataClass*> rows = RowsInDisplayOrder(vst);
  ColumnTextWidths = MeasureTextWidths(rows);
  // Built whole before the clipboard is touched, so a failure leaves the clipboard as it was.
  const std::string text = BuildCopyText(rows, ColumnTextWidths, separator);
  Ports().clipboard.SetText(text);
}

void TMainForm::BtnLinkWebClick() {
  const PVirtualNode node = vst.CurrentNode();
  if (!node) {
    Ports().dialogs.Beep();
    return;
  }
  const TTreeDataClass* record = RecordOf(vst, node);
  if (!record) return;
  OpenRowPage(*record);
}

void TMainForm::OpenRowPage(const TTreeDataClass& record) {
  // The whole address goes to the shell: a long template must not lose its end.
  Ports().shell.OpenDocument(FormatWithOneText(Settings.MsKbId, StripKbPrefix(record.HotFixID)));
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
