#pragma once
// Which of the window's pictures to show at a resolution. Each picture is shipped at 100 %, 150 %
// and 200 % of its 96-pixels-per-inch size (resources/resource_ids.h): a picture shown at the
// size it was drawn stays sharp, where one stretched by the system blurs.
#include <string>
#include <string_view>

// The largest scale shipped that is not larger than the resolution's: a picture a little small
// stays sharp, a stretched one does not. 100, 150 or 200.
int PictureScalePercent(int pixelsPerInch);

// The resource name of picture `name` for the resolution: the name itself at 100 %, the name
// with "_150" or "_200" appended otherwise.
std::string PictureResourceFor(std::string_view name, int pixelsPerInch);
