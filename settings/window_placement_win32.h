#pragma once
// The window-placement port for one top-level window. It does not own the window. Included only
// by Win32 code.
#include <windows.h>

#include <functional>
#include <utility>

#include "settings/window_placement_port.h"

class WindowPlacementWin32 : public WindowPlacementPort {
 public:
  // The main window opens centred on the screen until a restored placement says otherwise.
  explicit WindowPlacementWin32(HWND window, bool opensCentred = true)
      : window_([window] { return window; }), opensCentred_(opensCentred) {}
  // For a window created after this object: the handle is asked for at each call.
  explicit WindowPlacementWin32(std::function<HWND()> window, bool opensCentred = true)
      : window_(std::move(window)), opensCentred_(opensCentred) {}

  WindowPlacementRecord GetWindowPlacement() override;
  void SetWindowPlacement(const WindowPlacementRecord& record) override;
  bool IsWindowVisible() override;
  bool IsApplicationMinimized() override;
  std::int32_t ScreenWidth() override;
  std::int32_t ScreenHeight() override;
  std::int32_t PixelsPerInch() override;
  std::int32_t FrameWidth() override;
  std::int32_t FrameHeight() override;
  void PostMinimize() override;
  bool OpensCentred() override { return opensCentred_; }
  void SetOpensCentred(bool centred) override { opensCentred_ = centred; }
  void SetWindowState(TWindowState state) override;
  void Repaint() override;
  WindowBounds Bounds() override;

  TWindowState WindowState() const { return state_; }
  // The show command that gives a hidden window the state set while it was hidden.
  int FirstShowCommand() const;
  // Shows the window for the first time: centred on the screen when it still opens centred,
  // then in the state set while it was hidden.
  void ShowForFirstTime();
  // For a window that its owner has just shown normally: gives it the state set while it was
  // hidden (maximized, say).
  void ApplyPendingState();

 private:
  HWND Handle() const { return window_ ? window_() : nullptr; }

  std::function<HWND()> window_;
  bool opensCentred_;
  TWindowState state_ = TWindowState::wsNormal;
};
