#include "app/form_pictures.h"

int PictureScalePercent(int pixelsPerInch) {
  // Compared in whole percents: 144 pixels per inch is 150 %, 143 is not.
  const long long percent = static_cast<long long>(pixelsPerInch) * 100 / 96;
  if (percent >= 200) return 200;
  if (percent >= 150) return 150;
  return 100;
}

std::string PictureResourceFor(std::string_view name, int pixelsPerInch) {
  const int percent = PictureScalePercent(pixelsPerInch);
  std::string resource(name);
  if (percent != 100) resource += "_" + std::to_string(percent);
  return resource;
}
