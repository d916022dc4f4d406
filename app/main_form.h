#pragma once
// TMainForm: the main window's handlers and the program-wide state they share. It is portable:
// everything it does to the screen, WMI, the files, the clipboard and the shell goes through
// the ports it is given, so tests run it natively with fakes.
//
// The handlers are the glue between the controls and the subsystems, one file per group:
//   app/form_bindings.cpp           construction; the list's and the window's events bound
//   app/startup_and_shutdown.cpp    FormCreate, closing, RunUserAction
//   app/arrange_controls.cpp        FormResize, ArrangeControls (layout),
//                                   FormAfterMonitorDpiChanged
//   app/scan_handlers.cpp           BtnSearchClick, ClearList, ScanHotfixes, ReadHotfixObject,
//                                   AddScannedRow, FormKeyDown, FormCloseQuery
//   app/beyond_qfe_handler.cpp      AddBeyondQfeRows, ShowSourceFailures (SOURCES beyond WMI)
//   app/column_handlers.cpp         vstGetText ... vstAfterColumnWidthTracking, IdleWork
//   app/search_handler.cpp          EditSearchChange
//   app/copy_and_link_handlers.cpp  BtnCopyClick, BtnLinkWebClick, SeparatorString, MeasureColumns,
//                                   CopyRowClick, CopyKbClick
//   app/keyboard_handlers.cpp       FormShortcut, RunCommand (the window's keys)
//   app/context_menu_handlers.cpp   vstContextMenu
//   app/export_handler.cpp          ExportClick ("Exporter…")
#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Systeme/locale_text.h"
#include "app/beyond_qfe_port.h"
#include "app/column_scale.h"
#include "app/chrome/dialogs.h"
#include "app/command_ports.h"
#include "app/form_handlers.h"
#include "app/form_view.h"
#include "inventory/computer_inventory.h"
#include "inventory/computer_request.h"
#include "inventory/hotfix_source.h"
#include "inventory/read_computer.h"
#include "inventory/time_zone.h"
#include "list/clipboard.h"
#include "list/search_index.h"
#include "list/sort_keys.h"
#include "list/virtual_string_tree.h"
#include "settings/form_placement.h"
#include "settings/ini_store.h"
#include "settings/program_identity.h"
#include "settings/settings.h"
#include "Systeme/shell.h"

// Everything outside the program that the handlers reach. None is owned.
struct MainFormPorts {
  FormView& view;
  WindowChrome& chrome;
  Dialogs& dialogs;
  HotfixSource& hotfixes;
  LocaleText& locale;
  TimeZone& timeZone;
  Clipboard& clipboard;
  Shell& shell;
  IniStore& ini;
  WindowPlacementPort& placement;
  std::string executablePath;        // full path of the running executable
  std::function<int()> currentYear;  // for dates written without their year
  // The keyboard commands, the context menu and "Exporter…"; without them (null) those
  // commands only beep.
  CommandPorts* commands = nullptr;
  // The sources that SOURCES may add to WMI's; without it (null) the scan reads WMI alone.
  BeyondQfePort* beyondQfe = nullptr;
};

class TMainForm {
 public:
  explicit TMainForm(const MainFormPorts& ports);
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  // Start-up and shutdown
  void FormCreate();
  void FormCloseQuery(bool& canClose);
  void FormClose();    // saves the settings; a refused write is reported, the close goes on
  void FormDestroy();  // empties the list, freeing every record
  void BtnCloseClick();

  // Layout
  void FormResize();
  void ArrangeControls();
  // The window now shows at another resolution (moved to another screen, or the screen's
  // scaling changed): its controls are at the new one already; the column widths follow, the
  // layout is made again and the glass reaches the top strip's new height.
  void FormAfterMonitorDpiChanged(int oldPixelsPerInch, int newPixelsPerInch);

  // Scan
  void BtnSearchClick();
  void ClearList();
  void ScanHotfixes();
  // One object read into its row by the scan's rules. The scan itself reads through
  // inventory/read_computer.h, which also works out each date text it meets once per scan.
  void ReadHotfixObject(HotfixObject& object, const TFormatSettings& parseSettings,
                        const TFormatSettings& displaySettings);
  // The scan's sink: a record read becomes a row of the open batch; one that cannot be added is
  // lost like an unreadable object.
  void AddScannedRow(std::unique_ptr<TTreeDataClass> record);
  void FormKeyDown(std::uint16_t& key, TShiftState shift);
  // After WMI, the rows of the other sources SOURCES names for the KBs WMI lacks, each handed
  // to `addRow`, counted like a WMI object and their failures noted in `outcome`; returns the
  // sources that failed.
  std::vector<SourceFailure> AddBeyondQfeRows(ReadingOutcome& outcome, UpdateSources which,
                                              const ComputerRequest& computer,
                                              const TFormatSettings& display,
                                              const RecordSink& addRow);
  void ShowSourceFailures(const std::vector<SourceFailure>& failures);
  void ShowScanFailure(std::exception_ptr failure);  // WMI's error dialog

  // Columns, sorting and colours
  void vstGetText(PVirtualNode node, TColumnIndex column, std::string& cellText);
  void vstCompareNodes(PVirtualNode node1, PVirtualNode node2, TColumnIndex column, int& result);
  void vstHeaderClick(TColumnIndex column, TMouseButton button, TShiftState shift);
  void vstPaintText(PVirtualNode node, TColumnIndex column, TColor& fontColor);
  void vstFreeNode(PVirtualNode node);
  void vstInitNode(PVirtualNode parent, PVirtualNode node, InitialStates& states);
  void vstGetNodeDataSize(int& nodeDataSize);
  void vstAfterColumnWidthTracking(TColumnIndex column);
  // What the window does while nothing waits for it (the message loop calls it when its queue is
  // empty): after the rows changed, the sort keys of one more column, so that a first click on a
  // header only sorts. True while more remains; it does nothing during a scan.
  bool IdleWork();

  // Search, copy and web link
  void EditSearchChange();
  void BtnCopyClick();
  void BtnLinkWebClick();
  std::string SeparatorString() const;
  void MeasureColumns();

  // Keys, the list's context menu and "Exporter…". With none of them used the window behaves
  // as with its buttons alone.
  // The command of a key pressed in the window, run; false when the key carries none and goes
  // on to the control (the context menu's key is the caller's: it places the menu).
  bool FormShortcut(std::uint16_t key, TShiftState shift, KeyTarget target);
  void RunCommand(WindowCommand command);
  // The context menu of `row` (none: the list's empty space) at a point of the screen.
  void vstContextMenu(PVirtualNode row, int screenX, int screenY);
  void CopyRowClick(PVirtualNode row);  // the row's line of the "Copier" text
  void CopyKbClick(PVirtualNode row);   // the row's HotFixID
  void ExportClick();

  // Runs a user action; an error that escapes it is shown in the general error report and the
  // program goes on. No exception ever leaves this function.
  void RunUserAction(const std::function<void()>& action) noexcept;
  // The window's events bound to the handlers above.
  FormHandlers Handlers();

  // Program-wide state
  TVirtualStringTree vst;
  TSettings Settings;
  TFormPlacement FormPlacement;
  bool Busy = false;
  bool CancelRequested = false;
  std::int32_t HotfixCount = 0;
  // How complete the rows of the last scan are, for "Exporter…": a failure or a stop leaves the
  // rows read before it, which a file must not call complete. The code and text (UTF-8) are the
  // first failure's.
  InventoryStatus ScanStatus = InventoryStatus::Complete;
  std::int32_t ScanErrorCode = 0;
  std::string ScanErrorText;
  std::array<TSortDirection, 4> ColumnDirections{sdAscending, sdDescending, sdDescending,
                                                 sdDescending};
  std::array<int, 4> ColumnTextWidths{};
  std::string ExportFolder;  // the last folder "Exporter…" wrote to, for this run only

  const MainFormPorts& Ports() const { return ports_; }

 private:
  void BindListEvents();
  // The settings file's computer, namespace and account, as a reading takes them.
  ComputerRequest ScannedComputer() const;
  void OpenRowPage(const TTreeDataClass& record);
  bool ConfirmReplace(const std::string& path);  // "Exporter…" over a file that exists

  MainFormPorts ports_;
  SearchIndex searchIndex_;  // what the search box compares, kept between keystrokes
  SortKeyCache sortKeys_;    // each column's ranks, kept while the rows keep their records
  std::uint64_t sortKeysCompleteAt_ = 0;  // the list's revision when every column had its keys
  DateReading ReadDates();
  std::vector<TSortDirection> HeaderClickSorts(TColumnIndex column) const;
  ColumnScale columnScale_;  // the column widths' values at 96 pixels per inch
};
