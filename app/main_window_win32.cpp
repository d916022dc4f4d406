#include "app/main_window_win32.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "Systeme/errors.h"
#include "Systeme/text_convert_win32.h"
#include "app/custom_controls_win32.h"
#include "app/main_form.h"
#include "list/list_view_win32.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TMainForm";
constexpr int kFirstControlId = 100;

int IdOf(ControlId id) {
  return kFirstControlId + static_cast<int>(id);
}

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

std::wstring TextOf(HWND handle) {
  if (!handle) return {};
  const int length = GetWindowTextLengthW(handle);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(handle, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

TShiftState CurrentShiftState() {
  TShiftState shift;
  shift.shift = GetKeyState(VK_SHIFT) < 0;
  shift.ctrl = GetKeyState(VK_CONTROL) < 0;
  shift.alt = GetKeyState(VK_MENU) < 0;
  return shift;
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

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {
  WindowDc screen(nullptr);
  pixelsPerInch_ = GetDeviceCaps(screen.get(), LOGPIXELSY);
}

MainWindow::~MainWindow() {
  if (window_) DestroyWindow(window_);
}

bool MainWindow::Create(TMainForm& form) {
  form_ = &form;
  RegisterCustomControls(instance_);

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &MainWindow::WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(1));
  windowClass.hIconSm = static_cast<HICON>(
      LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                 GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);

  // The window has its own taskbar button (no hidden owner window carries one).
  const std::wstring caption = Utf8ToWide(kMainFormSpec.caption);
  window_ =
      CreateWindowExW(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, kWindowClass, caption.c_str(),
                      WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                      kMainFormSpec.width, kMainFormSpec.height, nullptr, nullptr, instance_, this);
  if (!window_) return false;
  CreateControls();
  form.RunUserAction([&form] { form.FormCreate(); });
  return true;
}

int MainWindow::Scaled(int value) const {
  return MulDiv(value, scaleNumerator_, scaleDenominator_);
}

HFONT MainWindow::FontFor(const ControlSpec& spec) {
  const int index = static_cast<int>(spec.id);
  if (!spec.font.name) return windowFont_.get();
  // Only the window font follows the resolution itself; fonts of their own follow the window
  // font's text height, as the positions do. Scaling them by both would count the resolution
  // twice.
  const int height = Scaled(spec.font.height);
  const std::wstring face = Utf8ToWide(spec.font.name);
  controlFonts_[index].reset(CreateFontW(-height, 0, 0, 0, spec.font.bold ? FW_BOLD : FW_NORMAL,
                                         FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                         CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                         DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
  return controlFonts_[index].get();
}

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
      listView_ = std::make_unique<ListViewWin32>(control, form_->vst);
      listView_->onError = [this](const std::string& message) {
        form_->RunUserAction([&message] { throw EFixtallyError(message); });
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

bool MainWindow::IsMainWindowMessage(const MSG& message) const {
  return message.hwnd == window_ || (message.hwnd && IsChild(window_, message.hwnd));
}

void MainWindow::PreviewKey(const MSG& message) {
  if (!form_ || !IsMainWindowMessage(message)) return;
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return;
  std::uint16_t key = static_cast<std::uint16_t>(message.wParam);
  const TShiftState shift = CurrentShiftState();
  form_->RunUserAction([this, &key, shift] { form_->FormKeyDown(key, shift); });
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  // No C++ exception may cross into the system's code.
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize.x = kMainFormSpec.minWidth;
      info->ptMinTrackSize.y = kMainFormSpec.minHeight;
      return 0;
    }
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) OnSize();
      return 0;
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (listView_ && listView_->HandleNotify(reinterpret_cast<NMHDR*>(lParam), result)) {
        return result;
      }
      break;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      const int index = GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) - kFirstControlId;
      if (index >= 0 && index < static_cast<int>(textColors_.size())) {
        SetTextColor(dc, textColors_[index]);
      }
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_SETCURSOR:
      if (cursor_ == TCursor::crHourGlass) {
        ::SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
        return TRUE;
      }
      break;
    case WM_SYSCOMMAND:
      // Minimising and restoring act on this window itself.
      switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
          ShowWindow(window_, SW_MINIMIZE);
          return 0;
        case SC_RESTORE:
          ShowWindow(window_, SW_RESTORE);
          return 0;
      }
      break;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::OnCommand(WPARAM wParam, LPARAM) {
  if (!form_) return;
  const int id = LOWORD(wParam) - kFirstControlId;
  const int code = HIWORD(wParam);
  TMainForm& form = *form_;
  switch (static_cast<ControlId>(id)) {
    case ControlId::BtnClose:
      if (code == BN_CLICKED) form.RunUserAction([&form] { form.BtnCloseClick(); });
      break;
    case ControlId::BtnSearch:
      if (code == BN_CLICKED) form.RunUserAction([&form] { form.BtnSearchClick(); });
      break;
    case ControlId::BtnCopy:
      if (code == BN_CLICKED) form.RunUserAction([&form] { form.BtnCopyClick(); });
      break;
    case ControlId::BtnLinkWeb:
      if (code == BN_CLICKED) form.RunUserAction([&form] { form.BtnLinkWebClick(); });
      break;
    case ControlId::EditSearch:
      if (code == EN_CHANGE) form.RunUserAction([&form] { form.EditSearchChange(); });
      break;
    case ControlId::ASLink:
      if (code == STN_CLICKED) {
        form.RunUserAction(
            [this, &form] { form.Ports().shell.OpenDocument("http://" + linkAddress_); });
      }
      break;
    default:
      break;
  }
}

void MainWindow::OnSize() {
  if (HWND panel = ControlHandle(ControlId::TopPanel)) {
    // The top strip is aligned to the top: always the full client width.
    SetWindowPos(panel, nullptr, 0, 0, ClientWidth(), Scaled(20),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  }
  if (form_ && ControlHandle(ControlId::EditSearch)) {
    form_->RunUserAction([this] { form_->FormResize(); });
  }
}

void MainWindow::OnClose() {
  if (!form_) {
    DestroyWindow(window_);
    return;
  }
  bool canClose = true;
  form_->RunUserAction([this, &canClose] { form_->FormCloseQuery(canClose); });
  if (!canClose) return;
  form_->RunUserAction([this] { form_->FormClose(); });
  DestroyWindow(window_);
}

void MainWindow::OnDestroy() {
  destroying_ = true;
  if (form_) form_->RunUserAction([this] { form_->FormDestroy(); });
  // The list goes first, ahead of the other controls.
  listView_.reset();
  if (HWND list = ControlHandle(ControlId::vst)) DestroyWindow(list);
  controls_[static_cast<int>(ControlId::vst)] = nullptr;
  window_ = nullptr;
  PostQuitMessage(0);
}

void MainWindow::TopPanelMouseDown(bool leftButton) {
  if (!leftButton) return;
  // Dragging the top strip moves the window as its title bar would.
  ReleaseCapture();
  SendMessageW(window_, WM_SYSCOMMAND, 0xF012, 0);
}

void MainWindow::SetTopPanelColor(COLORREF color) {
  SetPanelColor(ControlHandle(ControlId::TopPanel), color);
}

void MainWindow::ReplaceFormFont(const std::string& name, int extraPoints) {
  LOGFONTW font{};
  GetObjectW(windowFont_.get(), sizeof font, &font);
  const int extraPixels = MulDiv(extraPoints, pixelsPerInch_, 72);
  font.lfHeight = font.lfHeight < 0 ? font.lfHeight - extraPixels : font.lfHeight + extraPixels;
  lstrcpynW(font.lfFaceName, Utf8ToWide(name).c_str(), LF_FACESIZE);
  UniqueHfont replaced(CreateFontIndirectW(&font));
  if (!replaced) return;
  for (const ControlSpec& spec : kMainFormControls) {
    if (!spec.font.name && ControlHandle(spec.id)) {
      SendMessageW(ControlHandle(spec.id), WM_SETFONT, reinterpret_cast<WPARAM>(replaced.get()),
                   TRUE);
    }
  }
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(replaced.get()), FALSE);
  windowFont_ = std::move(replaced);
}

COLORREF MainWindow::WindowColor() const {
  return GetSysColor(COLOR_WINDOW);
}

// FormView

void MainWindow::SetCaption(ControlId control, const std::string& text) {
  HWND handle = ControlHandle(control);
  if (!handle) return;
  SetWindowTextW(handle, Utf8ToWide(text).c_str());
  if (ControlSpecOf(control).autoSize) FitToText(control);
}

std::string MainWindow::Caption(ControlId control) {
  return WideToUtf8(TextOf(ControlHandle(control)));
}

std::string MainWindow::SearchText() {
  return WideToAnsi(TextOf(ControlHandle(ControlId::EditSearch)));
}

void MainWindow::SetLinkAddress(const std::string& address) {
  linkAddress_ = address;
}

void MainWindow::SetFontColor(ControlId control, TColor color) {
  const int index = static_cast<int>(control);
  textColors_[index] = color;
  HWND handle = ControlHandle(control);
  if (control == ControlId::ASLink) SetLinkLabelColor(handle, color);
  if (handle) InvalidateRect(handle, nullptr, TRUE);
}

std::string MainWindow::FormFontName() {
  LOGFONTW font{};
  GetObjectW(windowFont_.get(), sizeof font, &font);
  return WideToUtf8(font.lfFaceName);
}

void MainWindow::SetFontName(ControlId control, const std::string& name) {
  HWND handle = ControlHandle(control);
  if (!handle) return;
  HFONT current = reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0));
  LOGFONTW font{};
  GetObjectW(current ? current : windowFont_.get(), sizeof font, &font);
  const std::wstring face = Utf8ToWide(name);
  lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
  const int index = static_cast<int>(control);
  UniqueHfont replaced(CreateFontIndirectW(&font));
  if (!replaced) return;
  SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(replaced.get()), TRUE);
  controlFonts_[index] = std::move(replaced);  // the old font goes once the control let it go
  if (ControlSpecOf(control).autoSize) FitToText(control);
}

ControlBounds MainWindow::Bounds(ControlId control) {
  HWND handle = ControlHandle(control);
  if (!handle) return {};
  RECT bounds;
  GetWindowRect(handle, &bounds);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&bounds), 2);
  return {bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top};
}

void MainWindow::SetBounds(ControlId control, const ControlBounds& bounds) {
  HWND handle = ControlHandle(control);
  if (!handle) return;
  SetWindowPos(handle, nullptr, bounds.left, bounds.top, std::max(bounds.width, 0),
               std::max(bounds.height, 0), SWP_NOZORDER | SWP_NOACTIVATE);
}

int MainWindow::ClientWidth() {
  RECT client;
  GetClientRect(window_, &client);
  return client.right;
}

int MainWindow::ClientHeight() {
  RECT client;
  GetClientRect(window_, &client);
  return client.bottom;
}

int MainWindow::FormWidth() {
  RECT bounds;
  GetWindowRect(window_, &bounds);
  return bounds.right - bounds.left;
}

void MainWindow::SetFormWidth(int width) {
  RECT bounds;
  GetWindowRect(window_, &bounds);
  SetWindowPos(window_, nullptr, 0, 0, width, bounds.bottom - bounds.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int MainWindow::ScreenPixelsPerInch() {
  return pixelsPerInch_;
}

TCursor MainWindow::Cursor() {
  return cursor_;
}

void MainWindow::SetCursor(TCursor cursor) {
  cursor_ = cursor;
  ::SetCursor(
      LoadCursorW(nullptr, MAKEINTRESOURCEW(cursor == TCursor::crHourGlass ? 32514 : 32512)));
}

void MainWindow::ProcessMessages() {
  if (destroying_) return;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    PreviewKey(message);
    if (!IsDialogMessageW(window_, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

void MainWindow::Close() {
  SendMessageW(window_, WM_CLOSE, 0, 0);
}
