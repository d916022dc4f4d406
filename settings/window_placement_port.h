#pragma once
// What the window-placement record needs from the windowing system, for the one window whose
// placement it keeps (the main window). Coordinates are pixels; the placement record is in
// workspace coordinates, the bounds in screen coordinates, as the system gives them.
#include <cstdint>

struct PlacementPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const PlacementPoint&) const = default;
};

struct PlacementRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool operator==(const PlacementRect&) const = default;
};

// The system's placement record (WINDOWPLACEMENT without its length field).
struct WindowPlacementRecord {
  std::uint32_t flags = 0;
  std::uint32_t showCmd =
      0;  // the system's show commands: 0 hidden, 1 normal, 2 minimized, 3 maximized...
  PlacementPoint ptMinPosition;
  PlacementPoint ptMaxPosition;
  PlacementRect rcNormalPosition;
  bool operator==(const WindowPlacementRecord&) const = default;
};

enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

struct WindowBounds {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

class WindowPlacementPort {
 public:
  virtual ~WindowPlacementPort() = default;
  virtual WindowPlacementRecord GetWindowPlacement() = 0;
  virtual void SetWindowPlacement(const WindowPlacementRecord& record) = 0;
  virtual bool IsWindowVisible() = 0;
  virtual bool IsApplicationMinimized() = 0;  // IsIconic of the application's window
  virtual std::int32_t ScreenWidth() = 0;     // primary screen, pixels
  virtual std::int32_t ScreenHeight() = 0;
  virtual std::int32_t PixelsPerInch() = 0;  // logical pixels per inch of the screen
  virtual std::int32_t FrameWidth() = 0;     // sizing frame (SM_CXSIZEFRAME)
  virtual std::int32_t FrameHeight() = 0;    // sizing frame (SM_CYSIZEFRAME)
  // Asks the application to minimize itself once its message loop runs (posted, not sent).
  virtual void PostMinimize() = 0;
  // Whether the window centres itself on the screen when it is first shown.
  virtual bool OpensCentred() = 0;
  virtual void SetOpensCentred(bool centred) = 0;
  // On a window not yet shown the state takes effect when it is shown.
  virtual void SetWindowState(TWindowState state) = 0;
  virtual void Repaint() = 0;
  virtual WindowBounds Bounds() = 0;  // the window's current left, top, width and height
};
