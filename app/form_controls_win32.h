#pragma once
// The main window's controls, made from the form table for one resolution: their windows, fonts,
// text colours, pictures, tooltips and the hand cursor, which this owns (the controls' windows
// die with their parent). Made again for another resolution when the window moves to a screen
// of another scaling. It also answers what the chrome changes on the window's look.
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "Systeme/unique_handle_win32.h"
#include "app/chrome/window_chrome_win32.h"
#include "app/form_table.h"
#include "list/virtual_string_tree.h"

class ListViewWin32;

// Child-window identifiers: the form table's index past the identifiers dialogs use.
inline constexpr int kFirstControlId = 100;
inline int IdOf(ControlId id) {
  return kFirstControlId + static_cast<int>(id);
}

class FormControls final : public ChromeTarget {
 public:
  // What the controls report to the window.
  struct Events {
    std::function<void(bool leftButton)> topPanelMouseDown;
    std::function<void(const std::string& message)> listError;  // raised while painting, say
  };

  explicit FormControls(HINSTANCE instance);
  ~FormControls() override;
  FormControls(const FormControls&) = delete;
  FormControls& operator=(const FormControls&) = delete;

  // Makes every control of the form table in `window` at `pixelsPerInch`; the list view shows
  // `rows`, which must outlive the controls.
  void Create(HWND window, int pixelsPerInch, TVirtualStringTree& rows, Events events);
  // Fonts, pictures and the hand cursor for another resolution, and every control where the
  // table puts it there; the layout then places what it arranges.
  void ApplyPixelsPerInch(int pixelsPerInch);
  // The list goes first, ahead of the other controls, which go with the window.
  void DestroyList();

  HWND Window() const { return window_; }
  HWND Handle(ControlId id) const { return controls_[static_cast<std::size_t>(id)]; }
  ListViewWin32* ListView() const { return listView_.get(); }
  int PixelsPerInch() const { return pixelsPerInch_; }
  int Scaled(int designPixels) const;

  // The colour a label's text is drawn in; false for a window that is none of the controls.
  bool TextColorOf(HWND control, COLORREF& color) const;
  void SetTextColor(ControlId control, COLORREF color);
  // A control's text; a control sized to its text is sized again.
  void SetText(ControlId control, const std::wstring& text);
  std::wstring Text(ControlId control) const;
  void SetFontName(ControlId control, const std::string& name);
  // The top strip spans the client width.
  void FitTopPanel();

  // ChromeTarget
  HWND Handle() const override { return window_; }
  std::string FormFontName() override;
  void ReplaceFormFont(const std::string& name, int extraPoints) override;
  void SetTopPanelColor(COLORREF color) override;
  int TopPanelHeight() override;
  COLORREF WindowColor() const override;

 private:
  static constexpr std::size_t kCount = 14;

  HWND CreateControl(const ControlSpec& spec);
  ControlBounds ScaledBounds(const ControlSpec& spec) const;
  int FormFontHeight() const;
  UniqueHfont MakeFont(const ControlSpec& spec) const;  // none: the control takes the window's
  void MakeFonts();
  HFONT FontFor(const ControlSpec& spec) const;
  void AttachTooltip(HWND button, const char* hint);
  void SetTooltipFont();
  void AttachPicture(const ControlSpec& spec);
  void LoadHandCursor();
  void FitToText(ControlId control);

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HWND tooltip_ = nullptr;
  int pixelsPerInch_ = 96;
  TVirtualStringTree* rows_ = nullptr;
  Events events_;
  std::unique_ptr<ListViewWin32> listView_;
  std::array<HWND, kCount> controls_{};
  std::array<COLORREF, kCount> textColors_{};
  // The window font as the chrome left it: the table's face unless replaced, some points
  // larger; made again at each resolution.
  std::wstring formFace_;
  int formExtraPoints_ = 0;
  std::array<std::wstring, kCount> faces_;  // a face given to a control by name, or empty
  UniqueHfont formFont_;
  std::array<UniqueHfont, kCount> controlFonts_;
  UniqueHfont tooltipFont_;
  std::array<UniqueHimagelist, kCount> buttonImages_;
  UniqueHcursor handCursor_;
};
