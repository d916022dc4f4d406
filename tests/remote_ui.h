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
      if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
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

// A top-level window of the process with that class (null for any) and caption (null for any).
inline HWND FindProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* caption) {
  struct Search {
    DWORD processId;
    const wchar_t* className;
    const wchar_t* caption;
    HWND found;
  } search{processId, className, caption, nullptr};
  EnumWindows(
      [](HWND window, LPARAM parameter) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(parameter);
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
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* caption,
                                 int timeoutMs = 15000) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindProcessWindow(processId, className, caption)) != nullptr; },
            timeoutMs);
  return found;
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

// Memory in another process, for the messages whose pointers must be valid over there.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, size_t size) : size_(size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                           processId);
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
inline void Press(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

}  // namespace remote_ui
