// The window at other resolutions than the 96 pixels per inch it is described at: which
// pictures are shown.
#include <gtest/gtest.h>

#include <climits>

#include "app/form_pictures.h"

namespace {

TEST(FormPictures, TheLargestDrawnScaleNotLargerThanTheScreens) {
  struct Case {
    int pixelsPerInch;
    int percent;
    const char* logo;
  } cases[] = {
      {96, 100, "LOGO"},          {120, 100, "LOGO"},     {143, 100, "LOGO"},
      {144, 150, "LOGO_150"},     {191, 150, "LOGO_150"}, {192, 200, "LOGO_200"},
      {480, 200, "LOGO_200"},     {0, 100, "LOGO"},       {-144, 100, "LOGO"},
      {INT_MAX, 200, "LOGO_200"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PictureScalePercent(c.pixelsPerInch), c.percent) << c.pixelsPerInch;
    EXPECT_EQ(PictureResourceFor("LOGO", c.pixelsPerInch), c.logo) << c.pixelsPerInch;
  }
}

}  // namespace
