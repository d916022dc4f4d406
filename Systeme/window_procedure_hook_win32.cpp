#include "Systeme/window_procedure_hook_win32.h"

namespace {

WindowProcedureHook* HookOf(HWND window) {
  return reinterpret_cast<WindowProcedureHook*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

}  // namespace

WindowProcedureHook::WindowProcedureHook(HWND window, WNDPROC procedure, void* owner)
    : window_(window), procedure_(procedure), owner_(owner) {
  if (window_ == nullptr) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  previous_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure_)));
}

WindowProcedureHook::~WindowProcedureHook() {
  Unhook();
}

// Only while ours is still the window's procedure: a procedure put in front of ours later would
// otherwise lose its place.
void WindowProcedureHook::Unhook() {
  if (window_ == nullptr || previous_ == nullptr || !IsWindow(window_)) return;
  if (GetWindowLongPtrW(window_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(procedure_)) {
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
  }
  if (HookOf(window_) == this) SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  window_ = nullptr;
}

void* WindowProcedureHook::OwnerOf(HWND window) {
  const WindowProcedureHook* hook = HookOf(window);
  return hook != nullptr ? hook->owner_ : nullptr;
}

LRESULT WindowProcedureHook::CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowProcedureHook* hook = HookOf(window);
  if (hook == nullptr || hook->previous_ == nullptr)
    return DefWindowProcW(window, message, wParam, lParam);
  const WNDPROC previous = hook->previous_;
  if (message == WM_NCDESTROY) hook->Unhook();
  return CallWindowProcW(previous, window, message, wParam, lParam);
}
