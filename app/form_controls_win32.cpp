#include "app/form_controls_win32.h"

#include <commctrl.h>

#include <algorithm>

#include "Systeme/dpi_win32.h"
#include "Systeme/scale_for_dpi.h"
#include "Systeme/text_convert_win32.h"
#include "app/custom_controls_win32.h"
#include "app/form_pictures.h"
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

UniqueHfont CreateUiFont(const std::wstring& face, int characterHeight, bool bold) {
  return UniqueHfont(CreateFontW(-characterHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                                 FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

// The picture of `name` drawn for the resolution, or the 96-pixels-per-inch one when the program
// carries no other.
std::string PictureFor(HINSTANCE instance, const std::string& name, int pixelsPerInch) {
  std::string scaled = PictureResourceFor(name, pixelsPerInch);
  if (FindResourceW(instance, Utf8ToWide(scaled).c_str(), MAKEINTRESOURCEW(2))) {  // RT_BITMAP
    return scaled;
  }
  return name;
}

// The size of a bitmap resource, or nothing when it cannot be loaded.
SIZE BitmapSize(HINSTANCE instance, const std::string& name) {
  UniqueHbitmap bitmap(
      static_cast<HBITMAP>(LoadImageW(instance, Utf8ToWide(name).c_str(), IMAGE_BITMAP, 0, 0, 0)));
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap.get(), sizeof info, &info)) return SIZE{};
  return SIZE{info.bmWidth, info.bmHeight};
}

}  // namespace

FormControls::FormControls(HINSTANCE instance)
    : instance_(instance), formFace_(Utf8ToWide(kMainFormSpec.font.name)) {}

FormControls::~FormControls() = default;

int FormControls::Scaled(int designPixels) const {
  return ScaleFromDesign(designPixels, pixelsPerInch_);
}

void FormControls::Create(HWND window, int pixelsPerInch, TVirtualStringTree& rows, Events events) {
  window_ = window;
  pixelsPerInch_ = pixelsPerInch;
  rows_ = &rows;
  events_ = std::move(events);
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                             nullptr, instance_, nullptr);
  SetTooltipFont();
  LoadHandCursor();
  MakeFonts();
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.get()), FALSE);
  for (const ControlSpec& spec : kMainFormControls) CreateControl(spec);
  // Tab order: EditSearch, then the list, then the top strip; buttons take no focus.
  SetWindowPos(Handle(ControlId::EditSearch), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(Handle(ControlId::vst), Handle(ControlId::EditSearch), 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE);
}

ControlBounds FormControls::ScaledBounds(const ControlSpec& spec) const {
  if (spec.kind == ControlKind::Panel) {
    RECT client{};
    GetClientRect(window_, &client);
    return {0, 0, static_cast<int>(client.right), Scaled(spec.height)};
  }
  ControlBounds bounds{Scaled(spec.left), Scaled(spec.top), Scaled(spec.width),
                       Scaled(spec.height)};
  // A picture sized to its bitmap takes the size of the one drawn for the resolution.
  if (spec.kind == ControlKind::Picture && spec.autoSize) {
    const SIZE picture = BitmapSize(instance_, PictureFor(instance_, spec.picture, pixelsPerInch_));
    if (picture.cx > 0 && picture.cy > 0) {
      bounds.width = picture.cx;
      bounds.height = picture.cy;
    }
  }
  return bounds;
}

HWND FormControls::CreateControl(const ControlSpec& spec) {
  const auto index = static_cast<std::size_t>(spec.id);
  const HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdOf(spec.id)));
  const std::wstring text = Utf8ToWide(spec.text ? spec.text : "");
  const ControlBounds at = ScaledBounds(spec);
  HWND control = nullptr;
  const DWORD style = WS_CHILD | WS_VISIBLE;
  switch (spec.kind) {
    case ControlKind::Button:
      control = CreateWindowExW(0, WC_BUTTONW, text.c_str(), style | BS_PUSHBUTTON, at.left, at.top,
                                at.width, at.height, window_, id, instance_, nullptr);
      MakeButtonWithoutFocus(control);
      break;
    case ControlKind::Label:
      control = CreateWindowExW(0, WC_STATICW, text.c_str(), style | SS_LEFT | SS_NOPREFIX, at.left,
                                at.top, at.width, at.height, window_, id, instance_, nullptr);
      break;
    case ControlKind::LinkLabel:
      control = CreateLinkLabel(window_, IdOf(spec.id), at.left, at.top, text);
      SetLinkLabelCursor(control, handCursor_.get());
      break;
    case ControlKind::Picture: {
      const std::string picture = PictureFor(instance_, spec.picture, pixelsPerInch_);
      control = CreatePicture(window_, IdOf(spec.id), at.left, at.top, at.width, at.height,
                              picture.c_str());
      break;
    }
    case ControlKind::Panel:
      control = CreatePanel(window_, IdOf(spec.id), at.left, at.top, at.width, at.height,
                            events_.topPanelMouseDown);
      break;
    case ControlKind::List:
      control = CreateWindowExW(ListViewWin32::kExtendedStyle, WC_LISTVIEWW, L"",
                                ListViewWin32::kWindowStyle, at.left, at.top, at.width, at.height,
                                window_, id, instance_, nullptr);
      if (!control) break;
      listView_ = std::make_unique<ListViewWin32>(control, *rows_);
      listView_->onError = events_.listError;
      if (pixelsPerInch_ != 96) listView_->SetPixelsPerInch(pixelsPerInch_);
      break;
    case ControlKind::Edit:
      control = CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, text.c_str(),
                                style | WS_TABSTOP | ES_AUTOHSCROLL, at.left, at.top, at.width,
                                at.height, window_, id, instance_, nullptr);
      break;
  }
  if (!control) return nullptr;
  controls_[index] = control;
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(spec)), FALSE);
  textColors_[index] = ColorOf(spec.font.color);
  if (spec.kind == ControlKind::LinkLabel) SetLinkLabelColor(control, textColors_[index]);
  if (spec.hint) AttachTooltip(control, spec.hint);
  if (spec.picture && spec.kind == ControlKind::Button) AttachPicture(spec);
  if (spec.autoSize && spec.kind != ControlKind::Picture) FitToText(spec.id);
  return control;
}

void FormControls::ApplyPixelsPerInch(int pixelsPerInch) {
  // Before the controls exist there is nothing to make again: they are made for the window's
  // resolution as it is then.
  if (!window_ || pixelsPerInch <= 0 || pixelsPerInch == pixelsPerInch_) return;
  pixelsPerInch_ = pixelsPerInch;
  SetTooltipFont();
  LoadHandCursor();
  // The new fonts reach every control before the old ones go.
  std::array<UniqueHfont, kCount> oldFonts = std::move(controlFonts_);
  UniqueHfont oldFormFont = std::move(formFont_);
  MakeFonts();
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.get()), FALSE);
  for (const ControlSpec& spec : kMainFormControls) {
    HWND control = Handle(spec.id);
    if (!control) continue;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(spec)), TRUE);
    if (spec.kind == ControlKind::Picture) {
      SetPictureBitmap(control, PictureFor(instance_, spec.picture, pixelsPerInch_).c_str());
    }
    const ControlBounds at = ScaledBounds(spec);
    SetWindowPos(control, nullptr, at.left, at.top, at.width, at.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (spec.picture && spec.kind == ControlKind::Button) AttachPicture(spec);
    if (spec.autoSize && spec.kind != ControlKind::Picture) FitToText(spec.id);
  }
  if (listView_) listView_->SetPixelsPerInch(pixelsPerInch_);
  InvalidateRect(window_, nullptr, TRUE);
}

void FormControls::DestroyList() {
  listView_.reset();
  HWND& list = controls_[static_cast<std::size_t>(ControlId::vst)];
  if (list) DestroyWindow(list);
  list = nullptr;
}

// The window font follows the resolution; the fonts of their own are character heights of the
// 96-pixels-per-inch description, scaled alike.
int FormControls::FormFontHeight() const {
  return Scaled(kMainFormSpec.font.height) +
         MulDiv(formExtraPoints_, pixelsPerInch_, 72);
}

UniqueHfont FormControls::MakeFont(const ControlSpec& spec) const {
  const std::wstring& face = faces_[static_cast<std::size_t>(spec.id)];
  if (!spec.font.name && face.empty()) return UniqueHfont();  // the window's font
  return CreateUiFont(!face.empty() ? face : Utf8ToWide(spec.font.name),
                      spec.font.name ? Scaled(spec.font.height) : FormFontHeight(), spec.font.bold);
}

void FormControls::MakeFonts() {
  formFont_ = CreateUiFont(formFace_, FormFontHeight(), false);
  for (const ControlSpec& spec : kMainFormControls) {
    controlFonts_[static_cast<std::size_t>(spec.id)] = MakeFont(spec);
  }
}

HFONT FormControls::FontFor(const ControlSpec& spec) const {
  const UniqueHfont& own = controlFonts_[static_cast<std::size_t>(spec.id)];
  return own ? own.get() : formFont_.get();
}

void FormControls::SetFontName(ControlId control, const std::string& name) {
  HWND handle = Handle(control);
  if (!handle) return;
  const auto index = static_cast<std::size_t>(control);
  faces_[index] = Utf8ToWide(name);
  const ControlSpec& spec = ControlSpecOf(control);
  UniqueHfont replaced = MakeFont(spec);
  if (!replaced) return;
  SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(replaced.get()), TRUE);
  controlFonts_[index] = std::move(replaced);  // the old font goes once the control let it go
  if (spec.autoSize) FitToText(control);
}

void FormControls::AttachTooltip(HWND button, const char* hint) {
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

// The tooltip takes the system's font, made for the system's resolution: it is given one only
// where the window shows at another.
void FormControls::SetTooltipFont() {
  if (!tooltip_ || (!tooltipFont_ && pixelsPerInch_ == SystemPixelsPerInch())) return;
  LOGFONTW description{};
  if (!StatusFontForDpi(description, pixelsPerInch_)) return;
  UniqueHfont font(CreateFontIndirectW(&description));
  if (!font) return;
  SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  tooltipFont_ = std::move(font);
}

void FormControls::AttachPicture(const ControlSpec& spec) {
  HWND button = Handle(spec.id);
  // The 24-bit pictures with a magenta key work with every version of the common controls.
  const std::wstring name =
      Utf8ToWide(PictureFor(instance_, std::string(spec.picture) + "_24", pixelsPerInch_));
  UniqueHbitmap bitmap(static_cast<HBITMAP>(
      LoadImageW(instance_, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap.get(), sizeof info, &info)) return;
  UniqueHimagelist images(
      ImageList_Create(info.bmWidth, info.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0));
  if (!images) return;
  ImageList_AddMasked(images.get(), bitmap.get(), RGB(255, 0, 255));
  BUTTON_IMAGELIST list{};
  list.himl = images.get();
  list.margin = RECT{Scaled(6), 0, 0, 0};
  list.uAlign = BUTTON_IMAGELIST_ALIGN_LEFT;
  if (SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list))) {
    buttonImages_[static_cast<std::size_t>(spec.id)] = std::move(images);
  }
}

// The hand in the size the system gives cursors at the resolution; the cursor resource holds
// one drawn for each of 100, 150 and 200 %.
void FormControls::LoadHandCursor() {
  const int size = SystemMetricForDpi(SM_CXCURSOR, pixelsPerInch_);
  UniqueHcursor cursor(
      static_cast<HCURSOR>(LoadImageW(instance_, L"CURSEUR1", IMAGE_CURSOR, size, size, 0)));
  if (HWND link = Handle(ControlId::ASLink)) SetLinkLabelCursor(link, cursor.get());
  handCursor_ = std::move(cursor);
}

void FormControls::FitToText(ControlId control) {
  HWND handle = Handle(control);
  if (!handle) return;
  const std::wstring text = Text(control);
  WindowDc dc(handle);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0));
  SelectedObject selected(dc.get(), font ? font : formFont_.get());
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

bool FormControls::TextColorOf(HWND control, COLORREF& color) const {
  const int index = GetDlgCtrlID(control) - kFirstControlId;
  if (index < 0 || index >= static_cast<int>(kCount)) return false;
  color = textColors_[static_cast<std::size_t>(index)];
  return true;
}

void FormControls::SetTextColor(ControlId control, COLORREF color) {
  textColors_[static_cast<std::size_t>(control)] = color;
  HWND handle = Handle(control);
  if (control == ControlId::ASLink) SetLinkLabelColor(handle, color);
  if (handle) InvalidateRect(handle, nullptr, TRUE);
}

void FormControls::SetText(ControlId control, const std::wstring& text) {
  HWND handle = Handle(control);
  if (!handle) return;
  SetWindowTextW(handle, text.c_str());
  if (ControlSpecOf(control).autoSize) FitToText(control);
}

std::wstring FormControls::Text(ControlId control) const {
  HWND handle = Handle(control);
  if (!handle) return {};
  const int length = GetWindowTextLengthW(handle);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(handle, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

void FormControls::FitTopPanel() {
  HWND panel = Handle(ControlId::TopPanel);
  if (!panel) return;
  const ControlBounds at = ScaledBounds(ControlSpecOf(ControlId::TopPanel));
  SetWindowPos(panel, nullptr, 0, 0, at.width, at.height,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}

// ChromeTarget

std::string FormControls::FormFontName() {
  return WideToUtf8(formFace_);
}

void FormControls::ReplaceFormFont(const std::string& name, int extraPoints) {
  formFace_ = Utf8ToWide(name);
  formExtraPoints_ += extraPoints;
  // The new fonts reach the controls before the old ones go; a font of a control's own does not
  // follow the window's.
  const UniqueHfont previous = std::move(formFont_);
  formFont_ = CreateUiFont(formFace_, FormFontHeight(), false);
  std::array<UniqueHfont, kCount> previousOwn;
  for (const ControlSpec& spec : kMainFormControls) {
    if (spec.font.name) continue;
    const auto index = static_cast<std::size_t>(spec.id);
    previousOwn[index] = std::move(controlFonts_[index]);
    controlFonts_[index] = MakeFont(spec);
    if (HWND control = Handle(spec.id)) {
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(spec)), TRUE);
    }
  }
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont_.get()), FALSE);
}

void FormControls::SetTopPanelColor(COLORREF color) {
  SetPanelColor(Handle(ControlId::TopPanel), color);
}

int FormControls::TopPanelHeight() {
  RECT bounds{};
  if (HWND panel = Handle(ControlId::TopPanel)) GetWindowRect(panel, &bounds);
  return bounds.bottom - bounds.top;
}

COLORREF FormControls::WindowColor() const {
  return GetSysColor(COLOR_WINDOW);
}
