#pragma once
// The main window on Win32: builds every control from the form table, routes the messages to
// the handlers bound to their events (app/form_handlers.h) and gives those handlers the window
// (FormView).
#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "Systeme/unique_handle_win32.h"
#include "app/chrome/window_chrome_win32.h"
#include "app/form_handlers.h"
#include "app/form_table.h"
#include "app/form_view.h"

class ListViewWin32;

// Child-window identifiers: the form table's index past the identifiers dialogs use.
inline constexpr int kFirstControlId = 100;
inline int IdOf(ControlId id) {
  return kFirstControlId + static_cast<int>(id);
}

class MainWindow final : public FormView, public ChromeTarget {
 public:
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls (hidden), then runs the handlers' onCreate. False when
  // the window could not be created.
  bool Create(FormHandlers handlers);
  HWND Handle() const override { return window_; }
  HWND ControlHandle(ControlId id) const { return controls_[static_cast<int>(id)]; }
  bool IsMainWindowMessage(const MSG& message) const;
  // Key preview: every key pressed in the window or one of its controls reaches FormKeyDown
  // before the control.
  void PreviewKey(const MSG& message);
  // The window's command keys (app/window_commands.h), run from the message loop ahead of the
  // focused control; true when the message was one of them and must go no further.
  bool TranslateShortcut(const MSG& message);

  // ChromeTarget
  void SetTopPanelColor(COLORREF color) override;
  // Segoe UI from Vista on.
  void ReplaceFormFont(const std::string& name, int extraPoints) override;
  int TopPanelHeight() override;
  COLORREF WindowColor() const override;

  // FormView
  void SetCaption(ControlId control, const std::string& text) override;
  std::string Caption(ControlId control) override;
  std::string SearchText() override;
  void SetLinkAddress(const std::string& address) override;
  void SetFontColor(ControlId control, TColor color) override;
  std::string FormFontName() override;
  void SetFontName(ControlId control, const std::string& name) override;
  ControlBounds Bounds(ControlId control) override;
  void SetBounds(ControlId control, const ControlBounds& bounds) override;
  int ClientWidth() override;
  int ClientHeight() override;
  int FormWidth() override;
  void SetFormWidth(int width) override;
  int ScreenPixelsPerInch() override;
  TCursor Cursor() override;
  void SetCursor(TCursor cursor) override;
  void ProcessMessages() override;
  void Close() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  HWND CreateControl(const ControlSpec& spec);
  HFONT FontFor(const ControlSpec& spec);
  void FitToText(ControlId control);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  void OnSize();
  void OnClose();
  void OnDestroy();
  void TopPanelMouseDown(bool leftButton);
  // The list's context menu, from a right click (a point) or the keyboard (-1, -1). False when
  // the message is not about the list's rows.
  bool OnContextMenu(HWND source, LPARAM point);
  void OpenContextMenuAtFocus();
  int Scaled(int value) const;
  void AttachTooltip(HWND button, const char* hint);
  void AttachPicture(HWND button, const char* resourceName);
  static std::wstring TextOf(HWND handle);  // a window's text, empty for no window

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HWND tooltip_ = nullptr;
  FormHandlers handlers_;
  bool bound_ = false;  // the handlers are in place: messages reach them
  std::unique_ptr<ListViewWin32> listView_;
  std::array<HWND, 14> controls_{};
  std::array<UniqueHfont, 14> controlFonts_;
  std::array<COLORREF, 14> textColors_{};
  std::array<UniqueHimagelist, 14> buttonImages_;
  UniqueHfont windowFont_;
  std::string linkAddress_;
  TCursor cursor_ = TCursor::crDefault;
  int pixelsPerInch_ = 96;
  int scaleNumerator_ = 1;  // the loading rule at resolutions other than 96
  int scaleDenominator_ = 1;
  bool destroying_ = false;
  std::wstring searchTextCache_;
  WPARAM takenKey_ = 0;  // a command key whose release the system must not see either
};
