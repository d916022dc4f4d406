#pragma once
// Our window procedure put in front of a window's own, once, with SetWindowLongPtrW: every
// message then costs one more call. SetWindowSubclass would instead look its chain up in a window
// property at every message, which under Wine is a request to the server. The window is not
// owned (its parent destroys it); what is owned is the procedure put in front of it, taken out
// again when the hook goes or the window is destroyed first. The window's GWLP_USERDATA holds
// the hook.
#include <windows.h>

class WindowProcedureHook {
 public:
  // Puts `procedure` in front of `window`'s procedure; `owner` is what `procedure` gets back from
  // OwnerOf. Nothing is hooked for a null window.
  WindowProcedureHook(HWND window, WNDPROC procedure, void* owner);
  ~WindowProcedureHook();
  WindowProcedureHook(const WindowProcedureHook&) = delete;
  WindowProcedureHook& operator=(const WindowProcedureHook&) = delete;

  // What the hook of `window` was given as owner; null when none is in place.
  static void* OwnerOf(HWND window);
  // The window's own procedure, for what ours does not take. Once the window gets
  // WM_NCDESTROY the hook takes itself out and lets the message through.
  static LRESULT CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void Unhook();

  HWND window_;
  WNDPROC procedure_;
  WNDPROC previous_ = nullptr;
  void* owner_;
};
