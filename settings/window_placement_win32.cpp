#include "settings/window_placement_win32.h"

#include <utility>

#include "Systeme/dpi_win32.h"

namespace {

POINT ToPoint(const PlacementPoint& p) {
  return POINT{p.x, p.y};
}
PlacementPoint FromPoint(const POINT& p) {
  return PlacementPoint{p.x, p.y};
}

int ShowCommandOf(TWindowState state, bool firstShow) {
  switch (state) {
    case TWindowState::wsMinimized:
      return firstShow ? SW_SHOWMINNOACTIVE : SW_MINIMIZE;
    case TWindowState::wsMaximized:
      return SW_SHOWMAXIMIZED;
    case TWindowState::wsNormal:
      break;
  }
  return SW_SHOWNORMAL;
}

}  // namespace

WindowPlacementRecord WindowPlacementWin32::GetWindowPlacement() {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  ::GetWindowPlacement(Handle(), &placement);
  WindowPlacementRecord record;
  record.flags = placement.flags;
  record.showCmd = placement.showCmd;
  record.ptMinPosition = FromPoint(placement.ptMinPosition);
  record.ptMaxPosition = FromPoint(placement.ptMaxPosition);
  const RECT& r = placement.rcNormalPosition;
  record.rcNormalPosition = PlacementRect{r.left, r.top, r.right, r.bottom};
  return record;
}

void WindowPlacementWin32::SetWindowPlacement(const WindowPlacementRecord& record) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  placement.flags = record.flags;
  placement.showCmd = record.showCmd;
  placement.ptMinPosition = ToPoint(record.ptMinPosition);
  placement.ptMaxPosition = ToPoint(record.ptMaxPosition);
  const PlacementRect& r = record.rcNormalPosition;
  placement.rcNormalPosition = RECT{r.left, r.top, r.right, r.bottom};
  ::SetWindowPlacement(Handle(), &placement);
}

bool WindowPlacementWin32::IsWindowVisible() {
  return ::IsWindowVisible(Handle()) != FALSE;
}

bool WindowPlacementWin32::IsApplicationMinimized() {
  return ::IsIconic(Handle()) != FALSE;
}

std::int32_t WindowPlacementWin32::ScreenWidth() {
  return GetSystemMetrics(SM_CXSCREEN);
}

std::int32_t WindowPlacementWin32::ScreenHeight() {
  return GetSystemMetrics(SM_CYSCREEN);
}

// The resolution of the window's screen: the one its position and the list's column widths are
// in when they are saved.
std::int32_t WindowPlacementWin32::PixelsPerInch() {
  return WindowPixelsPerInch(Handle());
}

std::int32_t WindowPlacementWin32::FrameWidth() {
  return SystemMetricForDpi(SM_CXSIZEFRAME, PixelsPerInch());
}

std::int32_t WindowPlacementWin32::FrameHeight() {
  return SystemMetricForDpi(SM_CYSIZEFRAME, PixelsPerInch());
}

void WindowPlacementWin32::PostMinimize() {
  PostMessageA(Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void WindowPlacementWin32::SetWindowState(TWindowState state) {
  state_ = state;
  if (::IsWindowVisible(Handle())) ShowWindow(Handle(), ShowCommandOf(state, false));
}

void WindowPlacementWin32::Repaint() {
  InvalidateRect(Handle(), nullptr, TRUE);
  UpdateWindow(Handle());
}

WindowBounds WindowPlacementWin32::Bounds() {
  RECT r{};
  GetWindowRect(Handle(), &r);
  return WindowBounds{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

int WindowPlacementWin32::FirstShowCommand() const {
  return ShowCommandOf(state_, true);
}

void WindowPlacementWin32::ShowForFirstTime() {
  if (opensCentred_) {
    const WindowBounds bounds = Bounds();
    SetWindowPos(Handle(), nullptr, (ScreenWidth() - bounds.width) / 2,
                 (ScreenHeight() - bounds.height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(Handle(), FirstShowCommand());
}

void WindowPlacementWin32::ApplyPendingState() {
  if (state_ != TWindowState::wsNormal) ShowWindow(Handle(), ShowCommandOf(state_, true));
}
