#include "Systeme/scale_for_dpi.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <limits>

int ScaleForDpi(int size, int pixelsPerInch) {
  if (pixelsPerInch == 96) return size;
  const double scaled = size * ((pixelsPerInch - 2) / 96.0);
  // A result that no int can hold leaves the size as it was.
  if (!std::isfinite(scaled) || scaled >= 2147483647.5 || scaled <= -2147483648.5) return size;
  const int previousMode = std::fegetround();
  std::fesetround(FE_TONEAREST);  // halves go to the even neighbour
  const double rounded = std::nearbyint(scaled);
  std::fesetround(previousMode);
  return static_cast<int>(rounded);
}

int ScaleFromDesign(int size, int pixelsPerInch) {
  if (pixelsPerInch == 96 || pixelsPerInch <= 0) return size;
  const long long product = static_cast<long long>(size) * pixelsPerInch;
  const long long rounded = (product >= 0 ? product + 48 : product - 48) / 96;
  return static_cast<int>(std::clamp<long long>(rounded, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}
