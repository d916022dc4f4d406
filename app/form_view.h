#pragma once
// The main window as its handlers see it. The Win32 window (app/main_window_win32.cpp)
// implements it; tests use a recording fake. Texts are UTF-8 unless said otherwise.
#include <string>

#include "list/list_types.h"

enum class ControlId {
  BtnClose,
  BtnSearch,
  ASLink,
  LabelCopyR,
  LabelTitle,
  ImgLogo,
  LabelVersion,
  BtnLinkWeb,
  LabelNbKB,
  BtnCopy,
  LabelFiltre,
  TopPanel,
  vst,
  EditSearch,
};

struct ControlBounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

enum class TCursor { crDefault, crHourGlass };

class FormView {
 public:
  virtual ~FormView() = default;
  virtual void SetCaption(ControlId control, const std::string& text) = 0;
  virtual std::string Caption(ControlId control) = 0;
  // The search box's text in the system's 8-bit code page, the encoding of the records.
  virtual std::string SearchText() = 0;
  virtual void SetLinkAddress(const std::string& address) = 0;  // ASLink
  virtual void SetFontColor(ControlId control, TColor color) = 0;
  virtual std::string FormFontName() = 0;
  virtual void SetFontName(ControlId control, const std::string& name) = 0;

  virtual ControlBounds Bounds(ControlId control) = 0;
  virtual void SetBounds(ControlId control, const ControlBounds& bounds) = 0;
  virtual int ClientWidth() = 0;
  virtual int ClientHeight() = 0;
  virtual int FormWidth() = 0;
  virtual void SetFormWidth(int width) = 0;
  virtual int ScreenPixelsPerInch() = 0;

  virtual TCursor Cursor() = 0;
  virtual void SetCursor(TCursor cursor) = 0;
  virtual void ProcessMessages() = 0;  // one pass over the pending messages
  virtual void Close() = 0;            // asks the window to close (FormCloseQuery decides)
};

// Window chrome of the running system (app/chrome).
class WindowChrome {
 public:
  virtual ~WindowChrome() = default;
  virtual void ApplyVistaFont() = 0;
  virtual void ShowInTaskbar() = 0;
  virtual void ApplyGlassLook() = 0;
};
