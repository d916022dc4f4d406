#include "settings/form_placement.h"

#include <cstdio>

#include "settings/ini_values.h"
#include "settings/nth_word.h"
#include "settings/window_placement_port.h"

namespace {

// The record's version; a file whose FormVersion is lower is not restored.
constexpr std::int32_t kPlacementVersion = 0;
constexpr std::string_view kWordDelimiters = " ,";

// The system's show commands that the file stores.
constexpr std::uint32_t kShowHide = 0;
constexpr std::int32_t kShowMinimized = 2;

std::string ResolutionSuffix(WindowPlacementPort& port) {
  char text[32];
  std::snprintf(text, sizeof text, "(%dx%d)", static_cast<int>(port.ScreenWidth()),
                static_cast<int>(port.ScreenHeight()));
  return text;
}

std::string PositionText(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) {
  char text[64];
  std::snprintf(text, sizeof text, "%d,%d,%d,%d", static_cast<int>(a), static_cast<int>(b),
                static_cast<int>(c), static_cast<int>(d));
  return text;
}

std::int32_t Word(int n, std::string_view text, std::int32_t defaultValue) {
  return StrToIntDef(NthWord(n, text, kWordDelimiters), defaultValue);
}

// A record about to be applied must not show a window that is still hidden.
WindowPlacementRecord CurrentRecordKeepingHidden(WindowPlacementPort& port) {
  WindowPlacementRecord record = port.GetWindowPlacement();
  if (!port.IsWindowVisible()) record.showCmd = kShowHide;
  return record;
}

TWindowState StateFromShowCmd(std::int32_t showCmd, TWindowState defaultState) {
  switch (showCmd) {
    case 1:
    case 5:
    case 9:
      return TWindowState::wsNormal;
    case 2:
    case 6:
    case 7:
      return TWindowState::wsMinimized;
    case 3:
      return TWindowState::wsMaximized;
    default:
      return defaultState;
  }
}

}  // namespace

void TFormPlacement::SaveWindowPlacement(IniStore& ini) {
  const std::string& path = IniFileName;
  const std::string& section = IniSection;
  WriteInteger(ini, path, section, "FormVersion", kPlacementVersion);

  WindowPlacementRecord record = port_.GetWindowPlacement();
  // The main window is the application's window: minimized means minimized, whatever the
  // record of a window that the system may have hidden says.
  const std::int32_t showCmd =
      port_.IsApplicationMinimized() ? kShowMinimized : static_cast<std::int32_t>(record.showCmd);
  WriteInteger(ini, path, section, "Flags", static_cast<std::int32_t>(record.flags));
  WriteInteger(ini, path, section, "ShowCmd", showCmd);
  WriteInteger(ini, path, section, "PixelsPerInch", port_.PixelsPerInch());

  const std::string suffix = ResolutionSuffix(port_);
  const std::string minMax = PositionText(record.ptMinPosition.x, record.ptMinPosition.y,
                                          record.ptMaxPosition.x, record.ptMaxPosition.y);
  WriteText(ini, path, section, "MinMaxPos" + suffix, minMax);
  WriteText(ini, path, section, "MinMaxPos", minMax);
  const PlacementRect& normal = record.rcNormalPosition;
  const std::string norm = PositionText(normal.left, normal.top, normal.right, normal.bottom);
  WriteText(ini, path, section, "NormPos" + suffix, norm);
  WriteText(ini, path, section, "NormPos", norm);
  // Set only for a save made while the window is destroyed, which this program never does.
  WriteBool(ini, path, section, "Visible", false);
}

void TFormPlacement::RestoreWindowPlacement(IniStore& ini) {
  const std::string& path = IniFileName;
  const std::string& section = IniSection;
  if (ReadInteger(ini, path, section, "FormVersion", 0) >= kPlacementVersion) {
    // The resolution's own key first: the plain one holds the last placement of any screen.
    const std::string suffix = ResolutionSuffix(port_);
    auto positionText = [&](const std::string& key) {
      std::string text = ReadText(ini, path, section, key + suffix, "");
      return text.empty() ? ReadText(ini, path, section, key, "") : text;
    };

    // Position
    WindowPlacementRecord record = CurrentRecordKeepingHidden(port_);
    const WindowBounds bounds = port_.Bounds();
    record.flags = static_cast<std::uint32_t>(
        ReadInteger(ini, path, section, "Flags", static_cast<std::int32_t>(record.flags)));
    bool found = false;
    if (const std::string minMax = positionText("MinMaxPos"); !minMax.empty()) {
      record.ptMinPosition = {Word(1, minMax, 0), Word(2, minMax, 0)};
      record.ptMaxPosition = {Word(3, minMax, 0), Word(4, minMax, 0)};
      found = true;
    }
    if (const std::string norm = positionText("NormPos"); !norm.empty()) {
      record.rcNormalPosition = {Word(1, norm, bounds.left), Word(2, norm, bounds.top),
                                 Word(3, norm, bounds.left + bounds.width),
                                 Word(4, norm, bounds.top + bounds.height)};
      found = true;
    }
    const std::int32_t pixelsPerInch = port_.PixelsPerInch();
    SavedPixelsPerInch = ReadInteger(ini, path, section, "PixelsPerInch", pixelsPerInch);
    if (SavedPixelsPerInch != pixelsPerInch) found = false;
    // The main window has a sizeable border, so the stored size applies as it is.
    if (found && record.rcNormalPosition.left < record.rcNormalPosition.right) {
      if (port_.OpensCentred()) port_.SetOpensCentred(false);
      port_.SetWindowPlacement(record);
    }

    // State. The main window opens centred, not at a place left to the system, so its default
    // state is normal.
    const TWindowState state =
        StateFromShowCmd(ReadInteger(ini, path, section, "ShowCmd", 0), TWindowState::wsNormal);
    bool repaint = true;
    if (state == TWindowState::wsMinimized) {
      // Minimizing a window that is not shown yet would lose it: the application minimizes
      // itself instead once its message loop runs.
      port_.SetWindowState(TWindowState::wsNormal);
      port_.PostMinimize();
      repaint = false;
    } else {
      port_.SetWindowState(state);
    }
    if (repaint) port_.Repaint();
  }

  // A maximized window covers the screen with its sizing frame just outside it.
  WindowPlacementRecord record = CurrentRecordKeepingHidden(port_);
  record.ptMaxPosition = {-port_.FrameWidth(), -port_.FrameHeight()};
  port_.SetWindowPlacement(record);
}
