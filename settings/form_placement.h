#pragma once
// The window-placement store of the main window, in section "MAINFORM" of the settings file.
#include <cstdint>
#include <string>

#include "settings/ini_store.h"

class WindowPlacementPort;

class TFormPlacement {
 public:
  explicit TFormPlacement(WindowPlacementPort& port) : port_(port) {}
  std::string IniFileName;
  std::string IniSection;
  // "PixelsPerInch" as the last restore read it (the screen's when the file has none); 0 until a
  // restore reads it. The settings file's column widths are in the pixels of that resolution.
  std::int32_t SavedPixelsPerInch = 0;
  void SaveWindowPlacement(IniStore& ini);  // raises EFixtallyError when a write is refused
  void RestoreWindowPlacement(IniStore& ini);

 private:
  WindowPlacementPort& port_;
};
