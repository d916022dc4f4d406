#include "app/column_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

int RoundedToInt(double value) {
  constexpr double lowest = std::numeric_limits<int>::min();
  constexpr double highest = std::numeric_limits<int>::max();
  return static_cast<int>(std::clamp(std::round(value), lowest, highest));
}

}  // namespace

std::vector<std::optional<int>> WidthsAtResolution(std::vector<std::optional<int>> widths,
                                                   int fromPixelsPerInch, int toPixelsPerInch) {
  if (fromPixelsPerInch <= 0 || toPixelsPerInch <= 0 || fromPixelsPerInch == toPixelsPerInch) {
    return widths;
  }
  const double factor = static_cast<double>(toPixelsPerInch) / fromPixelsPerInch;
  for (std::optional<int>& width : widths) {
    if (width) width = RoundedToInt(*width * factor);
  }
  return widths;
}

void ColumnScale::Rescale(TVirtualStringTree& list, int fromPixelsPerInch, int toPixelsPerInch) {
  if (fromPixelsPerInch <= 0 || toPixelsPerInch <= 0 || fromPixelsPerInch == toPixelsPerInch) {
    return;
  }
  const auto count = static_cast<std::size_t>(std::max(list.ColumnCount(), 0));
  designWidths_.resize(count, 0.0);
  givenWidths_.resize(count, -1);
  for (std::size_t i = 0; i < count; ++i) {
    const auto column = static_cast<TColumnIndex>(i);
    const int width = list.Column(column).Width;
    if (width != givenWidths_[i]) designWidths_[i] = width * 96.0 / fromPixelsPerInch;
    list.SetColumnWidth(column, RoundedToInt(designWidths_[i] * toPixelsPerInch / 96.0));
    givenWidths_[i] = list.Column(column).Width;
  }
}
