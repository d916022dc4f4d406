#pragma once
// Driving another process's windows the way a person would: start it, find its windows, read
// its list through the ListView messages (in the other process's memory), press its buttons.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace remote_ui {

// A Unix path of the build as Wine sees it.
inline std::wstring WindowsPathOf(const std::string& unixPath) {
  std::wstring path = L"Z:";
  for (char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
  return path;
}

inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 10000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess() {
    if (info_.hProcess) {
      if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(info_.hProcess, 99);
      CloseHandle(info_.hProcess);
      CloseHandle(info_.hThread);
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Start(const std::wstring& exe, const std::wstring& arguments,
             const std::wstring& folder = L"") {
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info_) != FALSE;
  }
  DWORD Id() const { return info_.dwProcessId; }
  HANDLE Handle() const { return info_.hProcess; }
  // The exit code, or -1 while it still runs after the wait.
  long WaitForExit(int timeoutMs) {
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
      return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  PROCESS_INFORMATION info_{};
};

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  const wchar_t* caption;
  HWND found;
};

inline BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto& s = *reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != s.processId) return TRUE;
  wchar_t text[512] = {};
  if (s.className) {
    GetClassNameW(window, text, 512);
    if (lstrcmpW(text, s.className) != 0) return TRUE;
  }
  if (s.caption) {
    GetWindowTextW(window, text, 512);
    if (lstrcmpW(text, s.caption) != 0) return TRUE;
  }
  s.found = window;
  return FALSE;
}

// A top-level window of the process with that class (null for any) and caption (null for any).
inline HWND FindProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* caption) {
  WindowSearch search{processId, className, caption, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The texts of every child window, in creation order.
inline BOOL CALLBACK CollectChildText(HWND child, LPARAM texts);

inline std::vector<std::wstring> ChildTexts(HWND parent);

// Such a window once it is on screen. A dialog exists a moment before its controls hold their
// texts and is shown only after that, and a loaded machine shows that moment. Null after the
// timeout, even when the window exists hidden.
inline HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* caption,
                                 int timeoutMs = 15000) {
  HWND found = nullptr;
  const bool shown = WaitUntil(
      [&] {
        found = FindProcessWindow(processId, className, caption);
        return found != nullptr && IsWindowVisible(found);
      },
      timeoutMs);
  return shown ? found : nullptr;
}

inline HWND FindChild(HWND parent, const wchar_t* className, const wchar_t* caption = nullptr) {
  return FindWindowExW(parent, nullptr, className, caption);
}

inline std::wstring WindowText(HWND window) {
  wchar_t text[1024] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      5000, nullptr);
  return text;
}

inline BOOL CALLBACK CollectChildText(HWND child, LPARAM texts) {
  reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(WindowText(child));
  return TRUE;
}

inline std::vector<std::wstring> ChildTexts(HWND parent) {
  std::vector<std::wstring> texts;
  EnumChildWindows(parent, CollectChildText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

// Memory in another process, for the messages whose pointers must be valid over there.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, size_t size) : size_(size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_ =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process_) {
      address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
  }
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  void* Address() const { return address_; }
  char* At(size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool Write(size_t offset, const void* data, size_t size) {
    return WriteProcessMemory(process_, At(offset), data, size, nullptr) != FALSE;
  }
  bool Read(size_t offset, void* data, size_t size) const {
    return ReadProcessMemory(process_, At(offset), data, size, nullptr) != FALSE;
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  size_t size_;
};

inline std::vector<std::wstring> HeaderCaptions(HWND listView) {
  std::vector<std::wstring> captions;
  HWND header = reinterpret_cast<HWND>(SendMessageW(listView, LVM_GETHEADER, 0, 0));
  const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  RemoteBuffer remote(listView, sizeof(HDITEMW) + 512 * sizeof(wchar_t));
  for (int i = 0; i < count; ++i) {
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(HDITEMW)));
    item.cchTextMax = 512;
    remote.Write(0, &item, sizeof item);
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(remote.Address()));
    wchar_t text[512] = {};
    remote.Read(sizeof(HDITEMW), text, sizeof text - sizeof(wchar_t));
    captions.emplace_back(text);
  }
  return captions;
}

// The header's format flags of one column (HDF_SORTUP / HDF_SORTDOWN for the sort mark).
inline int HeaderFormat(HWND listView, int column) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(listView, LVM_GETHEADER, 0, 0));
  RemoteBuffer remote(listView, sizeof(HDITEMW));
  HDITEMW item{};
  item.mask = HDI_FORMAT;
  remote.Write(0, &item, sizeof item);
  SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column),
               reinterpret_cast<LPARAM>(remote.Address()));
  remote.Read(0, &item, sizeof item);
  return item.fmt;
}

inline int ItemCount(HWND listView) {
  return static_cast<int>(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0));
}

inline std::wstring ItemText(HWND listView, int row, int column) {
  RemoteBuffer remote(listView, sizeof(LVITEMW) + 1024 * sizeof(wchar_t));
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(LVITEMW)));
  item.cchTextMax = 1024;
  remote.Write(0, &item, sizeof item);
  SendMessageW(listView, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(remote.Address()));
  wchar_t text[1024] = {};
  remote.Read(sizeof(LVITEMW), text, sizeof text - sizeof(wchar_t));
  return text;
}

// Presses a button without waiting for what it opens (a modal dialog would block a Send).
inline void Press(HWND button) {
  PostMessageW(button, BM_CLICK, 0, 0);
}

// ---- Row state and geometry ----

// The first row with all of LVNI_* flags (LVNI_FOCUSED, LVNI_SELECTED), or -1 for none.
inline int NextItem(HWND listView, int flags) {
  return static_cast<int>(
      SendMessageW(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(flags, 0)));
}

inline RECT ToScreen(HWND window, RECT rect) {
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The whole row's rectangle in screen coordinates; empty when the row does not exist.
inline RECT ItemRectOnScreen(HWND listView, int row) {
  RemoteBuffer remote(listView, sizeof(RECT));
  RECT rect{};
  rect.left = LVIR_BOUNDS;
  remote.Write(0, &rect, sizeof rect);
  if (!SendMessageW(listView, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                    reinterpret_cast<LPARAM>(remote.Address()))) {
    return RECT{};
  }
  remote.Read(0, &rect, sizeof rect);
  return ToScreen(listView, rect);
}

// One column's header item in screen coordinates, for real clicks.
inline RECT HeaderItemRectOnScreen(HWND listView, int column) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(listView, LVM_GETHEADER, 0, 0));
  RemoteBuffer remote(listView, sizeof(RECT));
  RECT rect{};
  if (!SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                    reinterpret_cast<LPARAM>(remote.Address()))) {
    return RECT{};
  }
  remote.Read(0, &rect, sizeof rect);
  return ToScreen(header, rect);
}

inline POINT CentreOf(const RECT& rect) {
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// ---- What the screen shows ----

// How many pixels of that exact colour the screen shows inside the area. Custom-draw colours
// cannot be read from another process, but they can be seen.
inline int CountScreenPixels(const RECT& area, COLORREF color) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return 0;
  HDC screen = GetDC(nullptr);
  if (!screen) return 0;
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  int count = 0;
  if (memory && bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    // 32-bit DIB pixels are blue, green, red, unused.
    const DWORD wanted = (static_cast<DWORD>(GetRValue(color)) << 16) |
                         (static_cast<DWORD>(GetGValue(color)) << 8) | GetBValue(color);
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int i = 0; i < width * height; ++i) {
      if ((pixels[i] & 0xFFFFFF) == wanted) ++count;
    }
    SelectObject(memory, old);
  }
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return count;
}

// ---- Unix programs and real input ----

// Runs a Unix program (absolute path first) through Wine's start and waits for it. A Unix
// process started by CreateProcess directly gives a handle that cannot be waited on.
inline bool RunUnixProgram(const std::wstring& commandLine, int timeoutMs = 10000) {
  std::wstring line = L"start.exe /wait /unix " + commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &info)) {
    return false;
  }
  const bool ended =
      WaitForSingleObject(info.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
  DWORD code = 1;
  if (ended) GetExitCodeProcess(info.hProcess, &code);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return ended && code == 0;
}

// Real left clicks through the X server, as a person's mouse gives them. Two clicks count as
// a double click. (--sync would hang when the pointer already stands there.)
// Button 1 is the left one, 2 the middle one, 3 the right one.
inline bool ClickAt(POINT point, int clicks = 1, int button = 1) {
  return RunUnixProgram(L"/usr/bin/xdotool mousemove " + std::to_wstring(point.x) + L" " +
                        std::to_wstring(point.y) + L" click --repeat " + std::to_wstring(clicks) +
                        L" --delay 80 " + std::to_wstring(button));
}

inline bool MovePointerTo(POINT point) {
  return RunUnixProgram(L"/usr/bin/xdotool mousemove " + std::to_wstring(point.x) + L" " +
                        std::to_wstring(point.y));
}

// ---- Clipboard ----

// The clipboard's plain text (CF_TEXT) as bytes, or nothing when it holds none.
inline bool ReadClipboardText(std::string& text) {
  if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 5000)) return false;
  bool found = false;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
      const SIZE_T capacity = GlobalSize(data);
      SIZE_T length = 0;
      while (length < capacity && bytes[length] != '\0') ++length;
      text.assign(bytes, length);
      found = true;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return found;
}

inline bool ClearClipboard() {
  if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 5000)) return false;
  const bool emptied = EmptyClipboard() != FALSE;
  CloseClipboard();
  return emptied;
}

}  // namespace remote_ui
