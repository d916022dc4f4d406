#include "app/main_window_win32.h"

#include <commctrl.h>
#include <windowsx.h>

#include "Systeme/dpi_win32.h"
#include "Systeme/errors.h"
#include "Systeme/scale_for_dpi.h"
#include "Systeme/text_convert_win32.h"
#include "app/custom_controls_win32.h"
#include "list/list_view_win32.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TMainForm";

}  // namespace

MainWindow::MainWindow(HINSTANCE instance)
    : instance_(instance),
      controls_(instance),
      keys_(handlers_, controls_),
      view_(controls_, keys_) {}

MainWindow::~MainWindow() {
  if (window_) DestroyWindow(window_);
}

bool MainWindow::Create(FormHandlers handlers) {
  handlers_ = std::move(handlers);
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
  // At another resolution than its description's the window is as much higher as everything in
  // it is larger; FormCreate widens it.
  const int pixelsPerInch = WindowPixelsPerInch(window_);
  if (pixelsPerInch != 96) {
    SetWindowPos(window_, nullptr, 0, 0, kMainFormSpec.width,
                 ScaleFromDesign(kMainFormSpec.height, pixelsPerInch),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  FormControls::Events events;
  events.topPanelMouseDown = [this](bool leftButton) { TopPanelMouseDown(leftButton); };
  events.listError = [this](const std::string& message) {
    handlers_.run([&message] { throw EFixtallyError(message); });
  };
  controls_.Create(window_, pixelsPerInch, *handlers_.list, std::move(events));
  SetIcons();
  OnSize();
  handlers_.run(handlers_.onCreate);
  return true;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MainWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    EnableNonClientScaling(window);
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
      // As at start-up, the width follows ScaleForDpi and the height the description's scale.
      const int pixelsPerInch = controls_.PixelsPerInch();
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize.x = ScaleForDpi(kMainFormSpec.minWidth, pixelsPerInch);
      info->ptMinTrackSize.y = ScaleFromDesign(kMainFormSpec.minHeight, pixelsPerInch);
      return 0;
    }
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) OnSize();
      return 0;
    case WM_DPICHANGED:
      // Both halves of wParam hold the new resolution; lParam the rectangle the system suggests
      // for the window there.
      if (lParam) OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_COMMAND:
      OnCommand(wParam);
      return 0;
    case WM_CONTEXTMENU:
      if (keys_.OnContextMenu(reinterpret_cast<HWND>(wParam), lParam)) return 0;
      break;
    case WM_NOTIFY: {
      // A right click in the list (on a row or below them) opens its context menu here, from
      // the list's notice; answered, the list sends no WM_CONTEXTMENU of its own after it.
      const auto* notice = reinterpret_cast<NMHDR*>(lParam);
      if (notice && notice->code == NM_RCLICK &&
          notice->hwndFrom == ControlHandle(ControlId::vst)) {
        const DWORD at = GetMessagePos();
        keys_.OnContextMenu(notice->hwndFrom, MAKELPARAM(GET_X_LPARAM(at), GET_Y_LPARAM(at)));
        return TRUE;
      }
      LRESULT result = 0;
      ListViewWin32* list = controls_.ListView();
      if (list && list->HandleNotify(reinterpret_cast<NMHDR*>(lParam), result)) return result;
      break;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      COLORREF color = 0;
      if (controls_.TextColorOf(reinterpret_cast<HWND>(lParam), color)) SetTextColor(dc, color);
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_SETCURSOR:
      if (view_.Cursor() == TCursor::crHourGlass) {
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

void MainWindow::OnCommand(WPARAM wParam) {
  if (!Bound()) return;
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
      if (code == STN_CLICKED) handlers_.run([this] { handlers_.openLink(view_.LinkAddress()); });
      break;
    default:
      break;
  }
}

void MainWindow::OnSize() {
  controls_.FitTopPanel();
  if (Bound() && ControlHandle(ControlId::EditSearch)) handlers_.run(handlers_.onResize);
}

// Moved to a screen of another scaling, or the scaling changed: the controls are made for the
// new resolution, the window takes the place the system suggests, and the handlers follow
// (column widths, layout).
void MainWindow::OnDpiChanged(int pixelsPerInch, const RECT& suggested) {
  const int previous = controls_.PixelsPerInch();
  controls_.ApplyPixelsPerInch(pixelsPerInch);
  SetIcons();
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  const int now = controls_.PixelsPerInch();
  if (Bound() && now != previous) handlers_.run([&] { handlers_.onDpiChanged(previous, now); });
}

void MainWindow::OnClose() {
  if (!Bound()) {
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
  view_.StopMessagePasses();
  if (Bound()) handlers_.run(handlers_.onDestroy);
  controls_.DestroyList();
  window_ = nullptr;
  PostQuitMessage(0);
}

void MainWindow::TopPanelMouseDown(bool leftButton) {
  if (!leftButton) return;
  // Dragging the top strip moves the window as its title bar would.
  ReleaseCapture();
  SendMessageW(window_, WM_SYSCOMMAND, 0xF012, 0);
}

// The class's icons are made for the system's resolution; the window gets its own where it
// shows at another.
void MainWindow::SetIcons() {
  const int pixelsPerInch = controls_.PixelsPerInch();
  if (!bigIcon_ && pixelsPerInch == SystemPixelsPerInch()) return;
  UniqueHicon big = LoadIconForDpi(instance_, MAKEINTRESOURCEW(1), SM_CXICON, pixelsPerInch);
  UniqueHicon small = LoadIconForDpi(instance_, MAKEINTRESOURCEW(1), SM_CXSMICON, pixelsPerInch);
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
  bigIcon_ = std::move(big);
  smallIcon_ = std::move(small);
}
