// The window at other resolutions than the 96 pixels per inch it is described at, over fakes:
// the search caption, and the column widths from the settings file and across a move to a screen
// of another scaling and back (the whole layout and the pictures: HighDpi, end to end).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "app/column_scale.h"
#include "main_form_fakes.h"

namespace {

TMainForm& CreatedAt(MainFormFixture& fixture, int pixelsPerInch) {
  fixture.view.pixelsPerInch = pixelsPerInch;
  fixture.placement.pixelsPerInch = pixelsPerInch;
  TMainForm& form = fixture.Build();
  form.FormCreate();
  return form;
}

std::array<int, 3> FirstColumns(const TMainForm& form) {
  return {form.vst.Column(0).Width, form.vst.Column(1).Width, form.vst.Column(2).Width};
}

class HighDpiFormTest : public ::testing::Test {
 protected:
  const std::string iniPath = "C:\\Program Files\\Fixtally\\Fixtally.ini";
  MainFormFixture fixture;
};

// A caption wider than the search box below it (another font than the window was drawn with)
// stays inside the list's right edge instead of running past the window's.
TEST_F(HighDpiFormTest, AWideSearchCaptionStaysRightAlignedWithTheList) {
  fixture.view.SetBounds(ControlId::LabelFiltre, {600, 30, 154, 13});
  CreatedAt(fixture, 96);
  const ControlBounds list = fixture.view.Bounds(ControlId::vst);
  const ControlBounds caption = fixture.view.Bounds(ControlId::LabelFiltre);
  const ControlBounds search = fixture.view.Bounds(ControlId::EditSearch);
  EXPECT_EQ(caption.left + caption.width, list.left + list.width);
  EXPECT_EQ(search.left + search.width, list.left + list.width);
}

// The settings file's widths are in the pixels of the resolution it was written at.
TEST_F(HighDpiFormTest, StoredWidthsAreReadAtTheResolutionTheFileWasWrittenAt) {
  struct Case {
    const char* name;
    const char* writtenAt;  // [MAINFORM] PixelsPerInch; null: the file has none
    int shownAt;
    std::array<int, 3> expected;
  } cases[] = {
      {"no file", nullptr, 144, {225, 225, 225}},
      {"written at 96, shown at 144", "96", 144, {150, 225, 450}},
      {"written at 144, shown at 144", "144", 144, {100, 225, 300}},
      {"written at 144, shown at 96", "144", 96, {67, 150, 200}},
      {"no resolution in the file", "", 120, {100, 188, 300}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MainFormFixture local;
    if (c.writtenAt) {
      local.ini.files[iniPath]["OPTION/COLUMNSORDER"] = "0=100,1=abc,2=300";
      if (*c.writtenAt) local.ini.files[iniPath]["MAINFORM/PixelsPerInch"] = c.writtenAt;
    }
    EXPECT_EQ(FirstColumns(CreatedAt(local, c.shownAt)), c.expected);
  }
}

// Moved from screen to screen, the widths the user set come back as they were, whatever the
// roundings on the way; one changed on the way counts from there.
TEST_F(HighDpiFormTest, ColumnWidthsComeBackAfterAMoveAndBack) {
  TMainForm& form = CreatedAt(fixture, 96);
  form.vst.ColumnWidthTracked(0, 181);
  struct Step {
    int to;
    int trackedFirst;  // the user drags the first column to this width there; 0: no drag
    std::array<int, 3> expected;
  } steps[] = {
      {144, 0, {272, 225, 225}},   {120, 0, {226, 188, 188}}, {96, 0, {181, 150, 150}},
      {144, 151, {151, 225, 225}}, {96, 0, {101, 150, 150}},  {144, 0, {151, 225, 225}},
  };
  int from = 96;
  for (const Step& step : steps) {
    SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(step.to));
    fixture.view.pixelsPerInch = step.to;
    form.FormAfterMonitorDpiChanged(from, step.to);
    if (step.trackedFirst) form.vst.ColumnWidthTracked(0, step.trackedFirst);
    EXPECT_EQ(FirstColumns(form), step.expected);
    from = step.to;
  }
  const CallLog& log = fixture.log;
  EXPECT_EQ(std::count(log.begin(), log.end(), "ApplyGlassLook"), 1 + std::size(steps))
      << "the glass follows the top strip at each resolution";
}

}  // namespace
