#pragma once
// Segoe UI for a window on Vista and later, one point larger than the font it replaces, when the
// system has it; earlier systems keep the plain look.
#include <functional>
#include <string>

struct WindowFont {
  std::string name;
  int pointSize = 0;
};

void ApplyVistaFont(bool vistaOrLater, WindowFont& font,
                    const std::function<bool(const std::string&)>& isFontInstalled);
