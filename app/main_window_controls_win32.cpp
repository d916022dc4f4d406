// The main window's controls, made from the form table: their fonts, tooltips, pictures and
// the labels that fit their text.
#include "app/main_window_win32.h"

#include <commctrl.h>

#include <algorithm>

#include "Systeme/errors.h"
#include "Systeme/text_convert_win32.h"
#include "app/custom_controls_win32.h"
#include "list/list_view_win32.h"

namespace {

COLORREF ColorOf(FontColor color) {
  switch (color) {
    case FontColor::Black:
      return RGB(0, 0, 0);
    case FontColor::Blue:
      return RGB(0, 0, 255);
    case FontColor::Navy:
      return RGB(0, 0, 128);
    case FontColor::ScrollBar:
      return GetSysColor(COLOR_SCROLLBAR);
    case FontColor::WindowText:
      break;
  }
  return GetSysColor(COLOR_WINDOWTEXT);
}

// The size of a bitmap resource, or nothing when it cannot be loaded.
SIZE BitmapSize(HINSTANCE instance, const char* resourceName) {
  const std::wstring name = Utf8ToWide(resourceName);
  UniqueHbitmap bitmap(
      static_cast<HBITMAP>(LoadImageW(instance, name.c_str(), IMAGE_BITMAP, 0, 0, 0)));
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap.get(), sizeof info, &info)) return SIZE{};
  return SIZE{info.bmWidth, info.bmHeight};
}

}  // namespace

void MainWindow::CreateControls() {
  const std::wstring face = Utf8ToWide(kMainFormSpec.font.name);
  windowFont_.reset(CreateFontW(-MulDiv(kMainFormSpec.font.height, pixelsPerInch_, 96), 0, 0, 0,
                                FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                face.c_str()));
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_.get()), FALSE);
  if (pixelsPerInch_ != 96) {
    // Described at 96 pixels per inch, where the window font's text is 17 pixels high.
    WindowDc dc(window_);
    SelectedObject font(dc.get(), windowFont_.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    if (metrics.tmHeight != 17 && metrics.tmHeight > 0) {
      scaleNumerator_ = metrics.tmHeight;
      scaleDenominator_ = 17;
    }
  }

  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                             nullptr, instance_, nullptr);
  for (const ControlSpec& spec : kMainFormControls) {
    controls_[static_cast<int>(spec.id)] = CreateControl(spec);
  }
  // Tab order: EditSearch, then the list, then the top strip; buttons take no focus.
  SetWindowPos(ControlHandle(ControlId::EditSearch), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(ControlHandle(ControlId::vst), ControlHandle(ControlId::EditSearch), 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE);
  OnSize();
}

HWND MainWindow::CreateControl(const ControlSpec& spec) {
  const int index = static_cast<int>(spec.id);
  const HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdOf(spec.id)));
  const std::wstring text = Utf8ToWide(spec.text ? spec.text : "");
  RECT clientArea;
  GetClientRect(window_, &clientArea);
  const int width = spec.kind == ControlKind::Panel ? clientArea.right : Scaled(spec.width);
  HWND control = nullptr;
  DWORD style = WS_CHILD | WS_VISIBLE;
  switch (spec.kind) {
    case ControlKind::Button:
      control = CreateWindowExW(0, WC_BUTTONW, text.c_str(), style | BS_PUSHBUTTON,
                                Scaled(spec.left), Scaled(spec.top), width, Scaled(spec.height),
                                window_, id, instance_, nullptr);
      MakeButtonWithoutFocus(control);
      break;
    case ControlKind::Label:
      control = CreateWindowExW(0, WC_STATICW, text.c_str(), style | SS_LEFT | SS_NOPREFIX,
                                Scaled(spec.left), Scaled(spec.top), width, Scaled(spec.height),
                                window_, id, instance_, nullptr);
      break;
    case ControlKind::LinkLabel:
      control = CreateLinkLabel(window_, IdOf(spec.id), Scaled(spec.left), Scaled(spec.top), text);
      break;
    case ControlKind::Picture: {
      // A picture sized to its bitmap keeps the bitmap's size at any resolution: only its place
      // follows the loading rule.
      SIZE size{Scaled(spec.width), Scaled(spec.height)};
      if (spec.autoSize) {
        const SIZE picture = BitmapSize(instance_, spec.picture);
        if (picture.cx > 0 && picture.cy > 0) size = picture;
      }
      control = CreatePicture(window_, IdOf(spec.id), Scaled(spec.left), Scaled(spec.top), size.cx,
                              size.cy, spec.picture);
      break;
    }
    case ControlKind::Panel:
      control = CreatePanel(window_, IdOf(spec.id), 0, 0, width, Scaled(spec.height),
                            [this](bool left) { TopPanelMouseDown(left); });
      break;
    case ControlKind::List:
      control = CreateWindowExW(ListViewWin32::kExtendedStyle, WC_LISTVIEWW, L"",
                                ListViewWin32::kWindowStyle, Scaled(spec.left), Scaled(spec.top),
                                width, Scaled(spec.height), window_, id, instance_, nullptr);
      listView_ = std::make_unique<ListViewWin32>(control, *handlers_.list);
      listView_->onError = [this](const std::string& message) {
        handlers_.run([&message] { throw EFixtallyError(message); });
      };
      break;
    case ControlKind::Edit:
      control =
          CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, text.c_str(),
                          style | WS_TABSTOP | ES_AUTOHSCROLL, Scaled(spec.left), Scaled(spec.top),
                          width, Scaled(spec.height), window_, id, instance_, nullptr);
      break;
  }
  if (!control) return nullptr;
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(spec)), FALSE);
  textColors_[index] = ColorOf(spec.font.color);
  if (spec.kind == ControlKind::LinkLabel) SetLinkLabelColor(control, textColors_[index]);
  if (spec.hint) AttachTooltip(control, spec.hint);
  if (spec.picture && spec.kind == ControlKind::Button) AttachPicture(control, spec.picture);
  controls_[index] = control;
  if (spec.autoSize && spec.kind != ControlKind::Picture) FitToText(spec.id);
  return control;
}

void MainWindow::AttachTooltip(HWND button, const char* hint) {
  if (!tooltip_) return;
  std::wstring text = Utf8ToWide(hint);
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(button);
  tool.lpszText = text.data();
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void MainWindow::AttachPicture(HWND button, const char* resourceName) {
  // The 24-bit pictures with a magenta key work with every version of the common controls.
  const std::wstring name = Utf8ToWide(std::string(resourceName) + "_24");
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageW(instance_, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) return;
  UniqueHbitmap owned(bitmap);
  UniqueHimagelist images(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 0));
  if (!images) return;
  ImageList_AddMasked(images.get(), bitmap, RGB(255, 0, 255));
  BUTTON_IMAGELIST list{};
  list.himl = images.get();
  list.margin = RECT{6, 0, 0, 0};
  list.uAlign = BUTTON_IMAGELIST_ALIGN_LEFT;
  if (SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list))) {
    buttonImages_[GetDlgCtrlID(button) - kFirstControlId] = std::move(images);
  }
}

void MainWindow::FitToText(ControlId control) {
  HWND handle = ControlHandle(control);
  if (!handle) return;
  const std::wstring text = TextOf(handle);
  WindowDc dc(handle);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0));
  SelectedObject selected(dc.get(), font ? font : windowFont_.get());
  SIZE size{};
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.get(), &metrics);
  GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  // The link draws a one-pixel shadow to the left of and above its text.
  const int extra = control == ControlId::ASLink ? 1 : 0;
  SetWindowPos(handle, nullptr, 0, 0, size.cx + extra, metrics.tmHeight + extra,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(handle, nullptr, TRUE);
}
