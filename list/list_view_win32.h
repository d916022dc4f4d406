#pragma once
// The hotfix list on screen: an owner-data SysListView32 that mirrors a TVirtualStringTree.
// The control stores no text; it asks the model for every cell it draws, so 100,000 rows cost
// no more than 20. The wrapper does not own the control's window (the main window does), but
// it owns what it attaches to it: the window procedures put in front of the list's and the
// header's, and the row-height image list. Windows build only.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Systeme/unique_handle_win32.h"
#include "Systeme/window_procedure_hook_win32.h"
#include "list/virtual_string_tree.h"

// Shift, Ctrl and Alt as they stand for the message being handled.
TShiftState CurrentShiftState();

class ListViewWin32 {
 public:
  // The control must be created with these: a list view cannot become owner-data later.
  static constexpr DWORD kWindowStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_HSCROLL |
                                        WS_VSCROLL | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
                                        LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;
  static constexpr DWORD kExtendedStyle = WS_EX_CLIENTEDGE;
  static constexpr int kHeaderHeight = 25;
  static constexpr int kRowHeight = 20;

  // Takes over the control's look and input and becomes the model's view; both must outlive
  // this object.
  ListViewWin32(HWND listView, TVirtualStringTree& model);
  ~ListViewWin32();
  ListViewWin32(const ListViewWin32&) = delete;
  ListViewWin32& operator=(const ListViewWin32&) = delete;

  HWND Handle() const { return list_; }

  // The control at another resolution than the 96 pixels per inch its sizes are given for: the
  // row and header heights, the room a fitted column leaves around its text and the column
  // lines grow with it. The font is the parent's to give.
  void SetPixelsPerInch(int pixelsPerInch);

  // The parent hands over every WM_NOTIFY it receives. True when the notification was the
  // list's, with the value the parent's window procedure must return in result.
  bool HandleNotify(NMHDR* header, LRESULT& result);

  // Receives, once the current message is done, the message of an error that a model handler
  // raised during painting or input. Unset, such errors are dropped: nothing may escape into
  // the window procedure. Every error of a user action is told; one raised while painting is
  // told once until the rows change, since every paint would raise it again.
  std::function<void(const std::string&)> onError;

  // What one operation of the model changed, shown (list_view_mirror_win32.cpp).
  void ShowChanges(const ListChanges& changes);

 private:
  // Raises a flag for the lifetime of the scope, whatever way the scope is left.
  class FlagScope {
   public:
    explicit FlagScope(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = previous_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

   private:
    bool& flag_;
    bool previous_;
  };

  static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK HeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnListMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnHeaderMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnHeaderNotify(NMHDR* header, LRESULT& result);
  void OnTypedCharacter(wchar_t typed);
  void TrackHotRow(LPARAM point);
  void SetHotRow(int row);
  int HeaderColumnAt(POINT screenPoint) const;
  void KeepScrollBarsShown();
  static bool MayChangeScrollRange(UINT message, LPARAM lParam);
  void EnableScrollBarsByRange();
  void HideFocusRectangle();

  // Painting and cell texts (list_view_draw_win32.cpp)
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);
  bool PaintCell(NMLVCUSTOMDRAW& draw, int row, int column);
  void DrawColumnLines(HDC dc) const;
  int RowsTop() const;  // the client y below the header
  void InvalidateRows();
  void FillDisplayInfo(NMLVDISPINFOW& info);
  void FillDisplayInfo(NMLVDISPINFOA& info);
  const std::string& CellText(int row, int column);  // valid until the next call
  HFONT UnderlinedFont();

  // Lengths at 96 pixels per inch, at the control's resolution (list_view_dpi_win32.cpp)
  int Scaled(int designPixels) const;
  void LayOutHeaderAgain();

  // Mirroring the model (list_view_mirror_win32.cpp)
  void SyncColumns();
  void FitColumn(int column);
  int TextWidth(HDC dc, const std::string& text) const;

  void SetRowCount(int count);
  void ApplyState(int index, UINT state, UINT mask);
  // The model's focused and selected rows onto the control, from what it was last shown; all of
  // it again when `afresh` (a new row count may have dropped the control's marks).
  void ShowFocus(int focused, int selected, bool afresh);
  // The control moved its focus or selection (a click, the arrow keys): the model follows.
  void TakeStateChange(const NMLISTVIEW& change);
  enum class ErrorSource { UserAction, Painting };
  void ReportError(const std::string& message, ErrorSource source);
  void ReportPendingErrors();
  // Runs what a user did (a click, a key), or what painting asks for: every error of a user
  // action is reported, an error of painting only when it was not told already.
  template <typename Action>
  void Guarded(Action&& action, ErrorSource source = ErrorSource::UserAction);
  // The press that began a header double click; the header's click for its release is not one.
  void OnHeaderDoubleClick(LPARAM point);

  HWND list_;
  HWND header_;
  TVirtualStringTree& model_;
  UINT settleMessage_;  // posted to the list: read a column's width or the order once settled
  UINT errorMessage_;   // posted to the list: hand a pending error to onError
  bool explorerStyle_ = false;
  bool applyingState_ = false;  // the model is writing the control's selection
  bool syncingModel_ = false;   // the control's selection is being written to the model
  bool framePaintHeld_ = false;  // a new row count is being set: its frame paints come later
  bool framePaintDue_ = false;
  bool errorPosted_ = false;
  bool reportingError_ = false;
  std::vector<std::string> pendingErrors_;
  std::string lastPaintError_;  // told already; painting raises it again until the rows change
  bool skipNextColumnClick_ = false;  // the release of a double click's second press
  int hotRow_ = -1;
  bool trackingMouse_ = false;
  bool hasFocus_ = false;  // the list has the keyboard focus (WM_SETFOCUS, WM_KILLFOCUS)
  // The focused and selected rows as the control has them: what it was told, or told us.
  int shownFocused_ = -1;
  int shownSelected_ = -1;
  std::string cellText_;        // a cell's text, its room kept from cell to cell
  int pixelsPerInch_ = 96;
  UniqueHimagelist rowHeight_;  // sets the row height; shared with, not owned by, the control
  UniqueHfont underlined_;      // the list's font, underlined, for the hot row
  HFONT underlinedFrom_ = nullptr;
  std::vector<std::wstring> captions_;  // as last given to the header
  // The control may keep reading a text we hand it until two more requests have been made.
  std::array<std::wstring, 3> wideTexts_;
  std::array<std::string, 3> ansiTexts_;
  std::size_t nextText_ = 0;
  // Last, so that they come out first, before anything they reach goes.
  std::unique_ptr<WindowProcedureHook> listHook_;
  std::unique_ptr<WindowProcedureHook> headerHook_;
};
