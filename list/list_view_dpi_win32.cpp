// The list view at another resolution than the one its sizes are given for, and the header
// laid out again for it.
#include "Systeme/scale_for_dpi.h"
#include "list/list_view_win32.h"

int ListViewWin32::Scaled(int designPixels) const {
  return ScaleFromDesign(designPixels, pixelsPerInch_);
}

void ListViewWin32::SetPixelsPerInch(int pixelsPerInch) {
  if (pixelsPerInch <= 0 || pixelsPerInch == pixelsPerInch_) return;
  pixelsPerInch_ = pixelsPerInch;
  // The row height comes from the small images' height, as at creation; the control adds one
  // pixel of its own.
  UniqueHimagelist rowHeight(ImageList_Create(1, Scaled(kRowHeight) - 1, ILC_COLOR32, 0, 1));
  ListView_SetImageList(list_, rowHeight.get(), LVSIL_SMALL);
  rowHeight_ = std::move(rowHeight);
  LayOutHeaderAgain();
}

// The header takes its height from a layout pass, which only a size change starts.
void ListViewWin32::LayOutHeaderAgain() {
  RECT bounds{};
  GetWindowRect(list_, &bounds);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(list_, nullptr, 0, 0, width, height + 1, flags);
  // The frame is computed again, with the scroll bars the control may have hidden already.
  SetWindowPos(list_, nullptr, 0, 0, width, height, flags | SWP_FRAMECHANGED);
}
