// Layout of the main window: every control placed again from the client size.
#include "app/main_form.h"

#include <algorithm>

#include "Systeme/scale_for_dpi.h"

void TMainForm::FormResize() {
  ArrangeControls();
}

void TMainForm::ArrangeControls() {
  FormView& view = ports_.view;
  const int clientWidth = view.ClientWidth();
  const int clientHeight = view.ClientHeight();
  auto bounds = [&view](ControlId id) { return view.Bounds(id); };
  // The margins are lengths of the 96-pixels-per-inch description, like the controls they
  // space: kept in pixels, they would cut the buttons off at the bottom above 120.
  const int pixelsPerInch = view.ScreenPixelsPerInch();
  auto scaled = [pixelsPerInch](int length) { return ScaleFromDesign(length, pixelsPerInch); };

  ControlBounds title = bounds(ControlId::LabelTitle);
  title.left = scaled(70);
  view.SetBounds(ControlId::LabelTitle, title);

  ControlBounds count = bounds(ControlId::LabelNbKB);
  count.left = title.left + title.width + scaled(10);
  view.SetBounds(ControlId::LabelNbKB, count);

  // The version's right edge lines up with the copyright's, taken before the copyright moves.
  ControlBounds copyright = bounds(ControlId::LabelCopyR);
  ControlBounds version = bounds(ControlId::LabelVersion);
  version.left = copyright.left + copyright.width - version.width;
  view.SetBounds(ControlId::LabelVersion, version);
  copyright.left = title.left;
  view.SetBounds(ControlId::LabelCopyR, copyright);

  ControlBounds list = bounds(ControlId::vst);
  list.left = bounds(ControlId::ImgLogo).left;
  list.width = clientWidth - 2 * list.left;

  // The caption stands above the search box, both right-aligned with the list; a caption wider
  // than the box (another font than the one the window was drawn with) reaches further left,
  // not past the list's edge.
  ControlBounds filterLabel = bounds(ControlId::LabelFiltre);
  ControlBounds search = bounds(ControlId::EditSearch);
  filterLabel.left = list.left + list.width - std::max(search.width, filterLabel.width);
  search.left = list.left + list.width - search.width;
  view.SetBounds(ControlId::LabelFiltre, filterLabel);
  view.SetBounds(ControlId::EditSearch, search);

  ControlBounds btnSearch = bounds(ControlId::BtnSearch);
  btnSearch.top = clientHeight - scaled(45);
  btnSearch.left = list.left - scaled(1);
  view.SetBounds(ControlId::BtnSearch, btnSearch);

  ControlBounds btnCopy = bounds(ControlId::BtnCopy);
  btnCopy.top = clientHeight - scaled(45);
  btnCopy.left = btnSearch.left + btnSearch.width + scaled(10);
  view.SetBounds(ControlId::BtnCopy, btnCopy);

  ControlBounds btnLink = bounds(ControlId::BtnLinkWeb);
  btnLink.top = clientHeight - scaled(45);
  btnLink.left = btnCopy.left + btnCopy.width + scaled(10);
  view.SetBounds(ControlId::BtnLinkWeb, btnLink);

  ControlBounds btnClose = bounds(ControlId::BtnClose);
  btnClose.top = btnSearch.top;
  btnClose.left = clientWidth - btnClose.width - list.left;
  view.SetBounds(ControlId::BtnClose, btnClose);

  list.height = btnClose.top - list.top - scaled(10);
  view.SetBounds(ControlId::vst, list);

  // The last column, by index wherever it is shown, takes what the others leave.
  const int columnCount = vst.ColumnCount();
  if (columnCount > 0) {
    long long sum = 0;
    for (TColumnIndex i = 0; i < columnCount - 1; ++i) sum += vst.Column(i).Width;
    const long long rest = static_cast<long long>(list.width) - sum - scaled(4);
    vst.SetColumnWidth(columnCount - 1, rest < 0 ? 0 : static_cast<int>(rest));
  }

  ControlBounds link = bounds(ControlId::ASLink);
  link.top = clientHeight - scaled(25);
  link.left = btnLink.left + btnLink.width + scaled(10);
  view.SetBounds(ControlId::ASLink, link);
}

void TMainForm::FormAfterMonitorDpiChanged(int oldPixelsPerInch, int newPixelsPerInch) {
  columnScale_.Rescale(vst, oldPixelsPerInch, newPixelsPerInch);
  ArrangeControls();
  // The glass reaches as far down as the top strip, which is now of another height.
  ports_.chrome.ApplyGlassLook();
}
