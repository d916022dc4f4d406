#pragma once
// One move-only owner for every kind of Windows handle, with an alias per kind.
// Copying an owner does not compile; the handle is released exactly once.
#include <windows.h>
#include <commctrl.h>

#include <utility>

// What counts as "no handle" is part of the owner's type: null for most kinds, and
// INVALID_HANDLE_VALUE for what CreateFile returns.
template <typename T>
struct NullIsEmpty {
  static T Empty() { return T{}; }
};
struct InvalidIsEmpty {
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
};

// `Closer` releases one handle and says whether the system accepted.
template <typename T, typename Closer, typename EmptyValue = NullIsEmpty<T>>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(T handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept
      : handle_(std::exchange(other.handle_, EmptyValue::Empty())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, EmptyValue::Empty()));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  T get() const { return handle_; }
  explicit operator bool() const { return handle_ != EmptyValue::Empty(); }
  T release() { return std::exchange(handle_, EmptyValue::Empty()); }
  void reset(T handle = EmptyValue::Empty()) {
    if (*this) Closer{}(handle_);
    handle_ = handle;
  }
  // Releases the handle now; false when the system refused (closing a written file can fail,
  // which a write must hear of). Empty afterwards either way.
  bool Close() {
    const bool closed = !*this || Closer{}(handle_);
    handle_ = EmptyValue::Empty();
    return closed;
  }

 private:
  T handle_ = EmptyValue::Empty();
};

struct GdiObjectDeleter {
  bool operator()(HGDIOBJ object) const { return DeleteObject(object) != FALSE; }
};
struct ModuleDeleter {
  bool operator()(HMODULE module) const { return FreeLibrary(module) != FALSE; }
};
struct GlobalDeleter {
  bool operator()(HGLOBAL memory) const { return GlobalFree(memory) == nullptr; }
};
struct ImageListDeleter {
  bool operator()(HIMAGELIST list) const { return ImageList_Destroy(list) != FALSE; }
};
struct IconDeleter {
  bool operator()(HICON icon) const { return DestroyIcon(icon) != FALSE; }
};
struct CursorDeleter {
  bool operator()(HCURSOR cursor) const { return DestroyCursor(cursor) != FALSE; }
};
struct MenuDeleter {
  bool operator()(HMENU menu) const { return DestroyMenu(menu) != FALSE; }
};
struct KernelHandleDeleter {
  bool operator()(HANDLE handle) const { return CloseHandle(handle) != FALSE; }
};
struct RegistryKeyDeleter {
  bool operator()(HKEY key) const { return RegCloseKey(key) == ERROR_SUCCESS; }
};
struct LocalMemoryDeleter {
  bool operator()(void* memory) const { return LocalFree(memory) == nullptr; }
};

using UniqueHfont = UniqueHandle<HFONT, GdiObjectDeleter>;
using UniqueHbrush = UniqueHandle<HBRUSH, GdiObjectDeleter>;
using UniqueHbitmap = UniqueHandle<HBITMAP, GdiObjectDeleter>;
using UniqueHpen = UniqueHandle<HPEN, GdiObjectDeleter>;
using UniqueHmodule = UniqueHandle<HMODULE, ModuleDeleter>;
using UniqueHglobal = UniqueHandle<HGLOBAL, GlobalDeleter>;
using UniqueHimagelist = UniqueHandle<HIMAGELIST, ImageListDeleter>;
using UniqueHicon = UniqueHandle<HICON, IconDeleter>;
using UniqueHcursor = UniqueHandle<HCURSOR, CursorDeleter>;  // LoadImage's, without LR_SHARED
using UniqueHmenu = UniqueHandle<HMENU, MenuDeleter>;
// CreateFile's handles (files, CONIN$, CONOUT$): INVALID_HANDLE_VALUE when there is none.
using UniqueFile = UniqueHandle<HANDLE, KernelHandleDeleter, InvalidIsEmpty>;
// Threads, events, semaphores: null when there is none.
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleDeleter>;
using UniqueHkey = UniqueHandle<HKEY, RegistryKeyDeleter>;
using UniqueLocalSid = UniqueHandle<PSID, LocalMemoryDeleter>;  // from ConvertStringSidToSid
// What the system allocated for the caller with LocalAlloc (FormatMessage, CommandLineToArgvW).
using UniqueLocalMemory = UniqueHandle<HLOCAL, LocalMemoryDeleter>;

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
