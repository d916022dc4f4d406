#pragma once
// A window for the placement record to act on, with no windowing system behind it. Every call
// that changes something is logged, so a test can check their order.
#include <string>
#include <vector>

#include "settings/window_placement_port.h"

class FakeWindowPlacement : public WindowPlacementPort {
 public:
  WindowPlacementRecord GetWindowPlacement() override {
    ++reads;
    return record;
  }
  void SetWindowPlacement(const WindowPlacementRecord& newRecord) override {
    log.push_back("SetWindowPlacement");
    applied.push_back(newRecord);
    const std::uint32_t showCmd = record.showCmd;
    record = newRecord;
    // Like the system: the show command reported is the window's own, not the one applied.
    if (reportsOwnShowCmd) record.showCmd = showCmd;
  }
  bool IsWindowVisible() override { return visible; }
  bool IsApplicationMinimized() override { return minimized; }
  std::int32_t ScreenWidth() override { return screenWidth; }
  std::int32_t ScreenHeight() override { return screenHeight; }
  std::int32_t PixelsPerInch() override { return pixelsPerInch; }
  std::int32_t FrameWidth() override { return 4; }
  std::int32_t FrameHeight() override { return frameHeight; }
  void PostMinimize() override {
    ++minimizeRequests;
    log.push_back("PostMinimize");
  }
  bool OpensCentred() override { return centred; }
  void SetOpensCentred(bool value) override {
    log.push_back(value ? "Centred" : "NotCentred");
    centred = value;
  }
  void SetWindowState(TWindowState newState) override {
    const char* names[] = {"Normal", "Minimized", "Maximized"};
    log.push_back(std::string("State ") + names[static_cast<int>(newState)]);
    state = newState;
  }
  void Repaint() override {
    ++repaints;
    log.push_back("Repaint");
  }
  WindowBounds Bounds() override { return bounds; }

  // Every call that reads or changes the window.
  int Calls() const { return reads + static_cast<int>(log.size()); }

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
  std::int32_t frameHeight = 4;
  bool reportsOwnShowCmd = false;
  int minimizeRequests = 0;
  int repaints = 0;
  int reads = 0;
  std::vector<std::string> log;
};
