#pragma once
// One move-only owner for every kind of Windows handle, with an alias per kind.
// Copying an owner does not compile; the handle is released exactly once.
#include <windows.h>
#include <commctrl.h>

#include <utility>

template <typename T, typename Deleter>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, T{})) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, T{}));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != T{}; }
  T release() { return std::exchange(handle_, T{}); }
  void reset(T handle = T{}) {
    if (handle_ != T{}) Deleter{}(handle_);
    handle_ = handle;
  }

 private:
  T handle_{};
};

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct ModuleDeleter {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
struct GlobalDeleter {
  void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
struct ImageListDeleter {
  void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};
struct IconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct MenuDeleter {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct FileDeleter {
  void operator()(HANDLE file) const {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};

struct RegistryKeyDeleter {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
struct LocalMemoryDeleter {
  void operator()(void* memory) const { LocalFree(memory); }
};

using UniqueHfont = UniqueHandle<HFONT, GdiObjectDeleter>;
using UniqueHbrush = UniqueHandle<HBRUSH, GdiObjectDeleter>;
using UniqueHbitmap = UniqueHandle<HBITMAP, GdiObjectDeleter>;
using UniqueHmodule = UniqueHandle<HMODULE, ModuleDeleter>;
using UniqueHglobal = UniqueHandle<HGLOBAL, GlobalDeleter>;
using UniqueHimagelist = UniqueHandle<HIMAGELIST, ImageListDeleter>;
using UniqueHicon = UniqueHandle<HICON, IconDeleter>;
using UniqueHmenu = UniqueHandle<HMENU, MenuDeleter>;
using UniqueFile = UniqueHandle<HANDLE, FileDeleter>;
using UniqueHkey = UniqueHandle<HKEY, RegistryKeyDeleter>;
using UniqueLocalSid = UniqueHandle<PSID, LocalMemoryDeleter>;  // from ConvertStringSidToSid

// A window's device context for as long as the scope lives; it remembers its window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects a GDI object into a DC and puts the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
