#include "app/custom_controls_win32.h"

#include <commctrl.h>
#include <windowsx.h>

#include <memory>

#include "Systeme/text_convert_win32.h"
#include "Systeme/unique_handle_win32.h"

namespace {

constexpr wchar_t kLinkClass[] = L"TASLink";
constexpr wchar_t kPictureClass[] = L"TImage";
constexpr wchar_t kPanelClass[] = L"TPanel";

struct LinkState {
  COLORREF color = RGB(0, 0, 255);
  COLORREF remembered = RGB(0, 0, 255);
  bool hot = false;
  bool pressed = false;  // the left button went down over the link and is not up yet
  HFONT font = nullptr;
  HCURSOR cursor = nullptr;  // the window's, for the link's resolution
};

bool InClient(HWND window, LPARAM point) {
  RECT client;
  GetClientRect(window, &client);
  return PtInRect(&client, POINT{GET_X_LPARAM(point), GET_Y_LPARAM(point)}) != FALSE;
}

struct PictureState {
  UniqueHbitmap bitmap;
};

struct PanelState {
  COLORREF color = GetSysColor(COLOR_WINDOW);
  std::function<void(bool)> onMouseDown;
};

template <typename State>
State* StateOf(HWND window) {
  return reinterpret_cast<State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// Each control owns its state from creation to WM_NCDESTROY.
template <typename State>
void Adopt(HWND window, std::unique_ptr<State> state) {
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.release()));
}

template <typename State>
void Release(HWND window) {
  std::unique_ptr<State> owned(StateOf<State>(window));
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

HCURSOR HandCursor() {
  static HCURSOR hand = LoadCursorW(GetModuleHandleW(nullptr), L"CURSEUR1");
  return hand ? hand : LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));  // IDC_HAND
}

void PaintLink(HWND window, LinkState& state) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  SelectedObject font(dc, state.font ? state.font : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  TextOutW(dc, 0, 0, text.c_str(), length);
  SetTextColor(dc, state.hot ? RGB(0, 0, 255) : state.color);
  TextOutW(dc, 1, 1, text.c_str(), length);
  EndPaint(window, &paint);
}

LRESULT CALLBACK LinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LinkState* state = StateOf<LinkState>(window);
  switch (message) {
    case WM_NCDESTROY:
      Release<LinkState>(window);
      break;
    case WM_SETFONT:
      if (state) state->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(state ? state->font : nullptr);
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, TRUE);
      return result;
    }
    case WM_PAINT:
      if (state) {
        PaintLink(window, *state);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETCURSOR:
      SetCursor(state && state->cursor ? state->cursor : HandCursor());
      return TRUE;
    case WM_MOUSEMOVE:
      // While the button is held the link sees the pointer everywhere; it is hot only over it.
      if (state && state->hot != InClient(window, lParam)) {
        state->hot = !state->hot;
        if (state->hot) {
          TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
          TrackMouseEvent(&track);
        }
        InvalidateRect(window, nullptr, TRUE);
      }
      return 0;
    case WM_MOUSELEAVE:
      if (state) {
        state->hot = false;
        InvalidateRect(window, nullptr, TRUE);
      }
      return 0;
    // A click is a press and a release both over the link, as on a button: a press elsewhere
    // dragged onto the link opens nothing, nor does a press on it dragged away.
    case WM_LBUTTONDOWN:
      if (state) {
        state->pressed = true;
        SetCapture(window);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (state) state->pressed = false;
      return 0;
    case WM_LBUTTONUP: {
      const bool click = state && state->pressed && InClient(window, lParam);
      if (state) state->pressed = false;
      if (GetCapture() == window) ReleaseCapture();
      if (click) {
        SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), STN_CLICKED),
                     reinterpret_cast<LPARAM>(window));
      }
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCDESTROY:
      Release<PictureState>(window);
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
      PictureState* state = StateOf<PictureState>(window);
      BITMAP info{};
      if (state && state->bitmap && GetObjectW(state->bitmap.get(), sizeof info, &info)) {
        HDC memory = CreateCompatibleDC(dc);
        {
          SelectedObject selected(memory, state->bitmap.get());
          const COLORREF transparent = GetPixel(memory, 0, info.bmHeight - 1);
          TransparentBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, info.bmWidth,
                         info.bmHeight, transparent);
        }
        DeleteDC(memory);
      }
      EndPaint(window, &paint);
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PanelState* state = StateOf<PanelState>(window);
  switch (message) {
    case WM_NCDESTROY:
      Release<PanelState>(window);
      break;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window, &client);
      UniqueHbrush brush(CreateSolidBrush(state ? state->color : GetSysColor(COLOR_WINDOW)));
      FillRect(reinterpret_cast<HDC>(wParam), &client, brush.get());
      return 1;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      // Nothing thrown may cross into the system's code.
      try {
        if (state && state->onMouseDown) state->onMouseDown(message == WM_LBUTTONDOWN);
      } catch (...) {
      }
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK NoFocusButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR, DWORD_PTR) {
  if (message == WM_SETFOCUS) {
    // Give the focus straight back: the buttons act on the list without taking it away.
    HWND previous = reinterpret_cast<HWND>(wParam);
    if (previous && IsWindow(previous)) SetFocus(previous);
    return 0;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(button, NoFocusButtonProc, 1);
  return DefSubclassProc(button, message, wParam, lParam);
}

void Register(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, HCURSOR cursor) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = cursor;
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

}  // namespace

void RegisterCustomControls(HINSTANCE instance) {
  const HCURSOR arrow = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  Register(instance, kLinkClass, LinkProc, nullptr);
  Register(instance, kPictureClass, PictureProc, arrow);
  Register(instance, kPanelClass, PanelProc, arrow);
}

HWND CreateLinkLabel(HWND parent, int id, int left, int top, const std::wstring& text) {
  HWND label = CreateWindowExW(
      WS_EX_TRANSPARENT, kLinkClass, text.c_str(), WS_CHILD | WS_VISIBLE, left, top, 8, 14, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (label) Adopt(label, std::make_unique<LinkState>());
  return label;
}

void SetLinkLabelColor(HWND label, COLORREF color) {
  if (LinkState* state = label ? StateOf<LinkState>(label) : nullptr) {
    state->color = color;
    state->remembered = color;
    InvalidateRect(label, nullptr, TRUE);
  }
}

void SetLinkLabelCursor(HWND label, HCURSOR cursor) {
  if (LinkState* state = label ? StateOf<LinkState>(label) : nullptr) state->cursor = cursor;
}

HWND CreatePicture(HWND parent, int id, int left, int top, int width, int height,
                   const char* bitmapResource) {
  HWND picture = CreateWindowExW(0, kPictureClass, L"", WS_CHILD | WS_VISIBLE, left, top, width,
                                 height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  if (!picture) return nullptr;
  Adopt(picture, std::make_unique<PictureState>());
  SetPictureBitmap(picture, bitmapResource);
  return picture;
}

void SetPictureBitmap(HWND picture, const char* bitmapResource) {
  PictureState* state = picture ? StateOf<PictureState>(picture) : nullptr;
  if (!state) return;
  state->bitmap.reset();
  if (bitmapResource) {
    const std::wstring name = Utf8ToWide(bitmapResource);
    state->bitmap.reset(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, 0)));
  }
  InvalidateRect(picture, nullptr, TRUE);
}

HWND CreatePanel(HWND parent, int id, int left, int top, int width, int height,
                 std::function<void(bool)> onMouseDown) {
  HWND panel = CreateWindowExW(0, kPanelClass, L"", WS_CHILD | WS_VISIBLE, left, top, width, height,
                               parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
  if (!panel) return nullptr;
  auto state = std::make_unique<PanelState>();
  state->onMouseDown = std::move(onMouseDown);
  Adopt(panel, std::move(state));
  return panel;
}

void SetPanelColor(HWND panel, COLORREF color) {
  if (PanelState* state = panel ? StateOf<PanelState>(panel) : nullptr) {
    state->color = color;
    InvalidateRect(panel, nullptr, TRUE);
  }
}

void MakeButtonWithoutFocus(HWND button) {
  if (button) SetWindowSubclass(button, NoFocusButtonProc, 1, 0);
}
