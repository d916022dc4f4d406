#include "Systeme/dpi_win32.h"

#include <string>

#include "Systeme/unique_handle_win32.h"

namespace {

// user32 is loaded in every process with a window; its newer functions are only looked up.
template <typename Function>
Function User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

// shcore.dll exists from Windows 8.1 on; it is loaded from the system folder for the call and
// let go afterwards, as the program does for the desktop window manager.
UniqueHmodule LoadShcore() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return UniqueHmodule();
  return UniqueHmodule(LoadLibraryW((std::wstring(folder, length) + L"\\shcore.dll").c_str()));
}

int MonitorPixelsPerInch(HWND window) {
  const UniqueHmodule shcore = LoadShcore();
  if (!shcore) return 0;
  // HRESULT GetDpiForMonitor(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*); 0 is MDT_EFFECTIVE_DPI.
  using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  auto getDpi = reinterpret_cast<GetDpiForMonitorFunction>(
      reinterpret_cast<void*>(GetProcAddress(shcore.get(), "GetDpiForMonitor")));
  if (!getDpi) return 0;
  UINT x = 0, y = 0;
  if (FAILED(getDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), 0, &x, &y))) return 0;
  return static_cast<int>(y);
}

}  // namespace

int SystemPixelsPerInch() {
  const WindowDc screen(nullptr);
  const int pixelsPerInch = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return pixelsPerInch > 0 ? pixelsPerInch : 96;
}

int WindowPixelsPerInch(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  if (auto getDpi = User32Function<GetDpiForWindowFunction>("GetDpiForWindow")) {
    if (const UINT pixelsPerInch = window ? getDpi(window) : 0) {
      return static_cast<int>(pixelsPerInch);
    }
  }
  if (window) {
    if (const int pixelsPerInch = MonitorPixelsPerInch(window)) return pixelsPerInch;
  }
  return SystemPixelsPerInch();
}

int SystemMetricForDpi(int index, int pixelsPerInch) {
  using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
  if (auto metric = User32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi")) {
    return metric(index, static_cast<UINT>(pixelsPerInch));
  }
  return MulDiv(GetSystemMetrics(index), pixelsPerInch, SystemPixelsPerInch());
}

bool StatusFontForDpi(LOGFONTW& font, int pixelsPerInch) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  using ParametersForDpiFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
  if (auto forDpi = User32Function<ParametersForDpiFunction>("SystemParametersInfoForDpi")) {
    if (!forDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0,
                static_cast<UINT>(pixelsPerInch))) {
      return false;
    }
    font = metrics.lfStatusFont;
    return true;
  }
  // Only Windows 8.1 and Windows 10 before 1607 get here with another resolution than the
  // system's: both take the whole structure.
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return false;
  font = metrics.lfStatusFont;
  font.lfHeight = MulDiv(font.lfHeight, pixelsPerInch, SystemPixelsPerInch());
  return true;
}

UniqueHicon LoadIconForDpi(HINSTANCE instance, const wchar_t* name, int metric, int pixelsPerInch) {
  const int size = SystemMetricForDpi(metric, pixelsPerInch);
  // Version 6 of the common controls is the one the manifest asks for and the one loaded.
  using LoadScaledDown = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  if (HMODULE controls = GetModuleHandleW(L"comctl32.dll")) {
    auto load = reinterpret_cast<LoadScaledDown>(
        reinterpret_cast<void*>(GetProcAddress(controls, "LoadIconWithScaleDown")));
    HICON icon = nullptr;
    if (load && SUCCEEDED(load(instance, name, size, size, &icon))) return UniqueHicon(icon);
  }
  return UniqueHicon(
      static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

void EnableNonClientScaling(HWND window) {
  using EnableFunction = BOOL(WINAPI*)(HWND);
  if (auto enable = User32Function<EnableFunction>("EnableNonClientDpiScaling")) enable(window);
}
