#pragma once
// The list's column widths across resolutions. The list holds each width in the pixels of the
// resolution the window is shown at; moved to a screen of another resolution, the window shows
// each width at the new one. What a width is at 96 pixels per inch is kept, so that a window
// moved there and back shows the widths it had, not widths rounded twice.
#include <optional>
#include <vector>

#include "list/virtual_string_tree.h"

// Widths in the pixels of one resolution, in the pixels of another (rounded; a width that no int
// holds is cut to the largest or smallest). A resolution of 0 or less, which no screen has,
// counts as the one they are for: they are left as they are.
std::vector<std::optional<int>> WidthsAtResolution(std::vector<std::optional<int>> widths,
                                                   int fromPixelsPerInch, int toPixelsPerInch);

class ColumnScale {
 public:
  // The list's widths, in pixels at `from`, shown at `to`. A width that is still what the last
  // call gave it keeps its value at 96 pixels per inch; one that the user or the settings have
  // changed since is measured afresh.
  void Rescale(TVirtualStringTree& list, int fromPixelsPerInch, int toPixelsPerInch);

 private:
  std::vector<double> designWidths_;  // each column's width at 96 pixels per inch
  std::vector<int> givenWidths_;      // what the last call gave each column
};
