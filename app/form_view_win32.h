#pragma once
// What the handlers see of the main window on Win32 (FormView): captions, fonts, bounds, the
// cursor and the single pass over pending messages. It does not own the controls.
#include <windows.h>

#include <string>

#include "app/form_controls_win32.h"
#include "app/form_view.h"
#include "app/window_command_keys_win32.h"

class FormViewWin32 final : public FormView {
 public:
  FormViewWin32(FormControls& controls, WindowCommandKeys& keys)
      : controls_(controls), keys_(keys) {}

  const std::string& LinkAddress() const { return linkAddress_; }
  // From the window's destruction on, no pass over pending messages is made: what they would
  // reach is going.
  void StopMessagePasses() { stopped_ = true; }

  void SetCaption(ControlId control, const std::string& text) override;
  std::string Caption(ControlId control) override;
  std::string SearchText() override;
  void SetLinkAddress(const std::string& address) override { linkAddress_ = address; }
  void SetFontColor(ControlId control, TColor color) override;
  std::string FormFontName() override { return controls_.FormFontName(); }
  void SetFontName(ControlId control, const std::string& name) override;
  ControlBounds Bounds(ControlId control) override;
  void SetBounds(ControlId control, const ControlBounds& bounds) override;
  int ClientWidth() override;
  int ClientHeight() override;
  int FormWidth() override;
  void SetFormWidth(int width) override;
  // The resolution the window shows at now: its screen's, as the window last heard of it.
  int ScreenPixelsPerInch() override { return controls_.PixelsPerInch(); }
  TCursor Cursor() override { return cursor_; }
  void SetCursor(TCursor cursor) override;
  void ProcessMessages() override;
  void Close() override;

 private:
  FormControls& controls_;
  WindowCommandKeys& keys_;
  std::string linkAddress_;
  TCursor cursor_ = TCursor::crDefault;
  bool stopped_ = false;
};
