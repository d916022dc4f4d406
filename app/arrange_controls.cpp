// Layout of the main window: every control placed again from the client size.
#include "app/main_form.h"

void TMainForm::FormResize() {
  ArrangeControls();
}

void TMainForm::ArrangeControls() {
  FormView& view = ports_.view;
  const int clientWidth = view.ClientWidth();
  const int clientHeight = view.ClientHeight();
  auto bounds = [&view](ControlId id) { return view.Bounds(id); };

  ControlBounds title = bounds(ControlId::LabelTitle);
  title.left = 70;
  view.SetBounds(ControlId::LabelTitle, title);

  ControlBounds count = bounds(ControlId::LabelNbKB);
  count.left = title.left + title.width + 10;
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

  ControlBounds filterLabel = bounds(ControlId::LabelFiltre);
  ControlBounds search = bounds(ControlId::EditSearch);
  filterLabel.left = list.left + list.width - search.width;
  search.left = filterLabel.left;
  view.SetBounds(ControlId::LabelFiltre, filterLabel);
  view.SetBounds(ControlId::EditSearch, search);

  ControlBounds btnSearch = bounds(ControlId::BtnSearch);
  btnSearch.top = clientHeight - 45;
  btnSearch.left = list.left - 1;
  view.SetBounds(ControlId::BtnSearch, btnSearch);

  ControlBounds btnCopy = bounds(ControlId::BtnCopy);
  btnCopy.top = clientHeight - 45;
  btnCopy.left = btnSearch.left + btnSearch.width + 10;
  view.SetBounds(ControlId::BtnCopy, btnCopy);

  ControlBounds btnLink = bounds(ControlId::BtnLinkWeb);
  btnLink.top = clientHeight - 45;
  btnLink.left = btnCopy.left + btnCopy.width + 10;
  view.SetBounds(ControlId::BtnLinkWeb, btnLink);

  ControlBounds btnClose = bounds(ControlId::BtnClose);
  btnClose.top = btnSearch.top;
  btnClose.left = clientWidth - btnClose.width - list.left;
  view.SetBounds(ControlId::BtnClose, btnClose);

  list.height = btnClose.top - list.top - 10;
  view.SetBounds(ControlId::vst, list);

  // The last column, by index wherever it is shown, takes what the others leave.
  const int columnCount = vst.ColumnCount();
  if (columnCount > 0) {
    long long sum = 0;
    for (TColumnIndex i = 0; i < columnCount - 1; ++i) sum += vst.Column(i).Width;
    const long long rest = static_cast<long long>(list.width) - sum - 4;
    vst.SetColumnWidth(columnCount - 1, rest < 0 ? 0 : static_cast<int>(rest));
  }

  ControlBounds link = bounds(ControlId::ASLink);
  link.top = clientHeight - 25;
  link.left = btnLink.left + btnLink.width + 10;
  view.SetBounds(ControlId::ASLink, link);
}
