// The main window's life: the start-up steps and the closing path.
#include "app/main_form.h"

#include <exception>

#include "Systeme/scale_for_dpi.h"
#include "app/column_scale.h"
#include "list/column_widths.h"
#include "settings/builtin_texts.h"
#include "settings/settings_file.h"

void TMainForm::FormCreate() {
  FormView& view = ports_.view;
  view.SetCaption(ControlId::LabelVersion, kVersionText);

  const std::string homePage = HomePageAddress();
  view.SetCaption(ControlId::ASLink, homePage);
  view.SetLinkAddress(homePage);
  view.SetFontColor(ControlId::ASLink, clGray);

  view.SetCaption(ControlId::LabelCopyR, kCopyrightLine);

  ports_.chrome.ApplyVistaFont();
  ports_.chrome.ShowInTaskbar();
  ports_.chrome.ApplyGlassLook();

  view.SetFormWidth(ScaleForDpi(view.FormWidth(), view.ScreenPixelsPerInch()));

  const std::string fontName = view.FormFontName();
  for (ControlId id :
       {ControlId::LabelTitle, ControlId::LabelNbKB, ControlId::LabelCopyR, ControlId::vst}) {
    view.SetFontName(id, fontName);
  }

  Settings.IniFileName = SettingsFilePath(ports_.executablePath);
  FormPlacement.IniFileName = Settings.IniFileName;
  FormPlacement.IniSection = "MAINFORM";

  Settings.Root = DefaultNamespace();
  Settings.MsKbId = DefaultKbLinkTemplate();

  LoadSettings(Settings, ports_.ini, FormPlacement);
  // Read only when the scan can use it, so that without the other sources start-up reads
  // exactly the keys it always read.
  if (ports_.beyondQfe) LoadSourcesSetting(Settings, ports_.ini);
  // The columns are described at 96 pixels per inch; the file's widths are in the pixels of the
  // resolution it was written at.
  const int pixelsPerInch = view.ScreenPixelsPerInch();
  columnScale_.Rescale(vst, 96, pixelsPerInch);
  ApplyColumnWidths(WidthsAtResolution(ReadColumnWidths(Settings.ColumnsOrder),
                                       FormPlacement.SavedPixelsPerInch, pixelsPerInch),
                    vst);
  vst.SetSortColumn(Settings.SortColumn);
  vst.SetSortDirection(DirectionFromFlag(Settings.SortDirection));

  // The first node ever fixes the size of the node data before any real row exists.
  vst.SetRootNodeCount(1);
  vst.SetRootNodeCount(0);

  ArrangeControls();
}

void TMainForm::BtnCloseClick() {
  ports_.view.Close();
}

void TMainForm::FormClose() {
  // A settings file that refuses the write must not keep the program from closing: the user
  // is told, and the window closes anyway.
  try {
    const ListSettings list{ColumnWidths(vst), vst.SortColumn(),
                            AscendingFlag(vst.SortDirection())};
    SaveSettings(Settings, ports_.ini, FormPlacement, list, kCopyrightLine);
  } catch (const std::exception& error) {
    ports_.dialogs.ShowErrorReport(error.what());
  }
}

void TMainForm::FormDestroy() {
  ClearList();
}

void TMainForm::RunUserAction(const std::function<void()>& action) noexcept {
  try {
    action();
    return;
  } catch (const std::exception& error) {
    try {
      ports_.dialogs.ShowErrorReport(error.what());
    } catch (...) {  // the report itself failed: there is nobody left to tell
    }
  } catch (...) {  // no error of a user action may end the program
    try {
      ports_.dialogs.ShowErrorReport("Erreur inattendue");
    } catch (...) {  // the report itself failed: there is nobody left to tell
    }
  }
}
