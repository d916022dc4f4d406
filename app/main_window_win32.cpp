#include "app/main_window_win32.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "Systeme/errors.h"
#include "Systeme/text_convert_win32.h"
#include "app/custom_controls_win32.h"
#include "list/list_view_win32.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TMainForm";

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {
  WindowDc screen(nullptr);
  pixelsPerInch_ = GetDeviceCaps(screen.get(), LOGPIXELSY);
}

MainWindow::~MainWindow() {
  if (window_) DestroyWindow(window_);
}

bool MainWindow::Create(FormHandlers handlers) {
  handlers_ = std::move(handlers);
  bound_ = true;
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
  handlers_.run(handlers_.onCreate);
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

bool MainWindow::IsMainWindowMessage(const MSG& message) const {
  return message.hwnd == window_ || (message.hwnd && IsChild(window_, message.hwnd));
}

void MainWindow::PreviewKey(const MSG& message) {
  if (!bound_ || !IsMainWindowMessage(message)) return;
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return;
  std::uint16_t key = static_cast<std::uint16_t>(message.wParam);
  const TShiftState shift = CurrentShiftState();
  handlers_.run([this, &key, shift] { handlers_.onKeyDown(key, shift); });
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
    case WM_CONTEXTMENU:
      if (OnContextMenu(reinterpret_cast<HWND>(wParam), lParam)) return 0;
      break;
    case WM_NOTIFY: {
      // A right click in the list (on a row or below them) opens its context menu here, from
      // the list's notice; answered, the list sends no WM_CONTEXTMENU of its own after it.
      const auto* notice = reinterpret_cast<NMHDR*>(lParam);
      if (notice && notice->code == NM_RCLICK &&
          notice->hwndFrom == ControlHandle(ControlId::vst)) {
        const DWORD at = GetMessagePos();
        OnContextMenu(notice->hwndFrom, MAKELPARAM(GET_X_LPARAM(at), GET_Y_LPARAM(at)));
        return TRUE;
      }
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
  if (!bound_) return;
  const int index = LOWORD(wParam) - kFirstControlId;
  if (index < 0 || index >= static_cast<int>(kMainFormControls.size())) return;
  const ControlSpec& spec = kMainFormControls[static_cast<std::size_t>(index)];
  const int code = HIWORD(wParam);
  switch (spec.kind) {
    case ControlKind::Button:
      if (code == BN_CLICKED) handlers_.run([&] { handlers_.onEvent(spec.event); });
      break;
    case ControlKind::Edit:
      if (code == EN_CHANGE) handlers_.run([&] { handlers_.onEvent(spec.event); });
      break;
    case ControlKind::LinkLabel:
      if (code == STN_CLICKED) handlers_.run([this] { handlers_.openLink(linkAddress_); });
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
  if (bound_ && ControlHandle(ControlId::EditSearch)) handlers_.run(handlers_.onResize);
}

void MainWindow::OnClose() {
  if (!bound_) {
    DestroyWindow(window_);
    return;
  }
  bool canClose = true;
  handlers_.run([this, &canClose] { handlers_.onCloseQuery(canClose); });
  if (!canClose) return;
  handlers_.run(handlers_.onClose);
  DestroyWindow(window_);
}

void MainWindow::OnDestroy() {
  destroying_ = true;
  if (bound_) handlers_.run(handlers_.onDestroy);
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

int MainWindow::TopPanelHeight() {
  return Bounds(ControlId::TopPanel).height;
}

COLORREF MainWindow::WindowColor() const {
  return GetSysColor(COLOR_WINDOW);
}
