#pragma once
// The window-placement store of the main window, in section "MAINFORM" of the settings file.
#include <string>

#include "settings/ini_store.h"

class WindowPlacementPort;

class TFormPlacement {
 public:
  explicit TFormPlacement(WindowPlacementPort& port) : port_(port) {}
  std::string IniFileName;
  std::string IniSection;
  void SaveWindowPlacement(IniStore& ini);     // raises EFixtallyError when a write is refused
  void RestoreWindowPlacement(IniStore& ini);

 private:
  WindowPlacementPort& port_;
};
