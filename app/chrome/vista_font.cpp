#include "app/chrome/vista_font.h"

#include <algorithm>

namespace {
bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    return lower(x) == lower(y);
  });
}
}  // namespace

void ApplyVistaFont(bool vistaOrLater, WindowFont& font,
                    const std::function<bool(const std::string&)>& isFontInstalled) {
  static const std::string segoe = "Segoe UI";
  if (!vistaOrLater || EqualIgnoringCase(font.name, segoe)) return;
  if (!isFontInstalled(segoe)) return;
  font.pointSize += 1;
  font.name = segoe;
}
