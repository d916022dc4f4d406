#pragma once
// A window for the placement record to act on, with no windowing system behind it.
#include <string>
#include <vector>

#include "settings/window_placement_port.h"

class FakeWindowPlacement : public WindowPlacementPort {
 public:
  WindowPlacementRecord GetWindowPlacement() override { return record; }
  void SetWindowPlacement(const WindowPlacementRecord& newRecord) override {
    record = newRecord;
    applied.push_back(newRecord);
  }
  bool IsWindowVisible() override { return visible; }
  bool IsApplicationMinimized() override { return minimized; }
  std::int32_t ScreenWidth() override { return screenWidth; }
  std::int32_t ScreenHeight() override { return screenHeight; }
  std::int32_t PixelsPerInch() override { return pixelsPerInch; }
  std::int32_t FrameWidth() override { return 4; }
  std::int32_t FrameHeight() override { return 4; }
  void PostMinimize() override { ++minimizeRequests; }
  bool OpensCentred() override { return centred; }
  void SetOpensCentred(bool value) override { centred = value; }
  void SetWindowState(TWindowState newState) override { state = newState; }
  void Repaint() override { ++repaints; }
  WindowBounds Bounds() override { return bounds; }

  WindowPlacementRecord record{0, 1, {-1, -1}, {-1, -1}, {245, 242, 1015, 782}};
  std::vector<WindowPlacementRecord> applied;
  WindowBounds bounds{245, 242, 770, 540};
  bool visible = false;
  bool minimized = false;
  bool centred = true;
  std::int32_t screenWidth = 1280;
  std::int32_t screenHeight = 1024;
  std::int32_t pixelsPerInch = 96;
  TWindowState state = TWindowState::wsNormal;
  int minimizeRequests = 0;
  int repaints = 0;
};
