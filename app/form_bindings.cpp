// The form's handlers bound to the events that reach them: the list's (as the list control raises
// them) and the window's (app/form_handlers.h).
#include "app/main_form.h"
#include "inventory/installed_on_date.h"
#include "list/sort_keys.h"

TMainForm::TMainForm(const MainFormPorts& ports) : FormPlacement(ports.placement), ports_(ports) {
  // The list's columns as the window describes them, by index.
  vst.AddColumn("KB Windows", 150);
  vst.AddColumn("Installé le", 150);
  vst.AddColumn("Description", 150);
  vst.AddColumn("Installé par", 200);
  BindListEvents();
}

void TMainForm::BindListEvents() {
  vst.OnGetText = [this](PVirtualNode node, TColumnIndex column, std::string& text) {
    vstGetText(node, column, text);
  };
  vst.OnPaintText = [this](PVirtualNode node, TColumnIndex column, TColor& color) {
    vstPaintText(node, column, color);
  };
  vst.OnCompareNodes = [this](PVirtualNode a, PVirtualNode b, TColumnIndex column, int& result) {
    vstCompareNodes(a, b, column, result);
  };
  vst.OnPrepareSort = [this](TColumnIndex column) {
    return MakeSortComparer(
        vst, ports_.locale, [this] { return ReadDates(); }, column, &sortKeys_);
  };
  vst.OnHeaderClick = [this](TColumnIndex column, TMouseButton button, TShiftState shift) {
    vstHeaderClick(column, button, shift);
  };
  vst.OnFreeNode = [this](PVirtualNode node) { vstFreeNode(node); };
  vst.OnInitNode = [this](PVirtualNode parent, PVirtualNode node, InitialStates& states) {
    vstInitNode(parent, node, states);
  };
  vst.OnGetNodeDataSize = [this](int& size) { vstGetNodeDataSize(size); };
  vst.OnAfterColumnWidthTracking = [this](TColumnIndex column) {
    vstAfterColumnWidthTracking(column);
  };
  vst.OnDblClick = [this] { BtnLinkWebClick(); };
}

FormHandlers TMainForm::Handlers() {
  FormHandlers handlers;
  handlers.list = &vst;
  handlers.run = [this](const std::function<void()>& action) { RunUserAction(action); };
  handlers.onCreate = [this] { FormCreate(); };
  handlers.onCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };
  handlers.onClose = [this] { FormClose(); };
  handlers.onDestroy = [this] { FormDestroy(); };
  handlers.onResize = [this] { FormResize(); };
  handlers.onDpiChanged = [this](int oldPixelsPerInch, int newPixelsPerInch) {
    FormAfterMonitorDpiChanged(oldPixelsPerInch, newPixelsPerInch);
  };
  handlers.onKeyDown = [this](std::uint16_t& key, TShiftState shift) { FormKeyDown(key, shift); };
  handlers.onShortcut = [this](std::uint16_t key, TShiftState shift, KeyTarget target) {
    FormShortcut(key, shift, target);
  };
  handlers.onEvent = [this](FormEvent event) {
    switch (event) {
      case FormEvent::BtnCloseClick:
        BtnCloseClick();
        break;
      case FormEvent::BtnSearchClick:
        BtnSearchClick();
        break;
      case FormEvent::BtnCopyClick:
        BtnCopyClick();
        break;
      case FormEvent::BtnLinkWebClick:
        BtnLinkWebClick();
        break;
      case FormEvent::EditSearchChange:
        EditSearchChange();
        break;
      default:
        break;
    }
  };
  handlers.onContextMenu = [this](PVirtualNode row, int x, int y) { vstContextMenu(row, x, y); };
  handlers.openLink = [this](const std::string& address) {
    ports_.shell.OpenDocument("http://" + address);
  };
  return handlers;
}
