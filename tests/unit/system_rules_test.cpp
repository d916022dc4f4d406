// The small system rules: the version test, the resolution scaling and the Vista font.
#include <gtest/gtest.h>

#include <string>

#include "Systeme/scale_for_dpi.h"
#include "Systeme/supported_windows.h"
#include "app/chrome/vista_font.h"

namespace {

struct VersionCase {
  std::string argument;
  OsVersion version;
  bool supported;
};

TEST(IsSupportedWindows, FollowsTheFirstArgumentThenTheVersion) {
  const OsVersion xp{5, 1, 2}, win2000{5, 0, 2}, nt4{4, 0, 2}, win98{4, 10, 1}, win10{10, 0, 2};
  const VersionCase cases[] = {
      {"", xp, true},
      {"", win2000, true},  // NT 5.0 passes although the message names XP
      {"", win10, true},
      {"", nt4, false},
      {"", win98, false},
      {"", {6, 0, 1}, false},  // a major version is not enough without the NT platform
      {"/noversion", nt4, true},
      {"/NOVERSION", win98, true},
      {"/NoVersion", win98, true},
      {"/noversion ", win98, false},
      {"/noversionx", win98, false},
      {"noversion", win98, false},
      {std::string(10000, 'x'), win98, false},
      {"/noversi\xC3\xB3n", win98, false},
  };
  for (const VersionCase& c : cases) {
    int versionReads = 0;
    const bool supported = IsSupportedWindows(c.argument, [&] {
      ++versionReads;
      return c.version;
    });
    EXPECT_EQ(supported, c.supported) << "argument '" << c.argument.substr(0, 20) << "'";
    // The version is not even asked for when the argument skips the test.
    if (supported && c.argument.size() == 10 && c.argument[0] == '/') {
      EXPECT_EQ(versionReads, 0);
    }
  }
}

TEST(ScaleForDpi, WidensForOtherResolutionsRoundingHalvesToEven) {
  struct Case {
    int size, pixelsPerInch, expected;
  } cases[] = {
      {770, 96, 770},
      {770, 120, 946},
      {770, 144, 1139},
      {770, 192, 1524},
      {48, 98, 48},
      {3, 146, 4},
      {5, 146, 8},
      // 96 × (149 − 2)/96 = 147; 48 × (146 − 2)/96 = 72: exact values stay exact.
      {96, 149, 147},
      {48, 146, 72},
      // 1.5 rounds to 2 and 2.5 to 2: halves go to the even neighbour.
      {1, 146, 2},
      {5, 50, 2},
      {0, 120, 0},
      {-770, 120, -946},
      {2147483647, 192, 2147483647},  // no int holds the result: unchanged
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScaleForDpi(c.size, c.pixelsPerInch), c.expected)
        << c.size << " at " << c.pixelsPerInch;
  }
}

TEST(ApplyVistaFont, TakesSegoeUiOnlyWhereItIsNewAndInstalled) {
  struct Case {
    bool vista;
    std::string name;
    bool installed;
    std::string expectedName;
    int expectedSize;
  } cases[] = {
      {true, "Segoe UI", true, "Segoe UI", 8},  // already Segoe UI: no point added
      {true, "SEGOE ui", true, "SEGOE ui", 8},  // compared ignoring case
      {true, "Tahoma", true, "Segoe UI", 9},    // one point larger
      {true, "Tahoma", false, "Tahoma", 8},     // not installed: nothing
      {false, "Tahoma", true, "Tahoma", 8},     // before Vista: nothing
      {true, "", true, "Segoe UI", 9},
  };
  for (const Case& c : cases) {
    WindowFont font{c.name, 8};
    std::string askedFor;
    ApplyVistaFont(c.vista, font, [&](const std::string& name) {
      askedFor = name;
      return c.installed;
    });
    EXPECT_EQ(font.name, c.expectedName);
    EXPECT_EQ(font.pointSize, c.expectedSize);
    if (c.vista && c.name == "Tahoma") {
      EXPECT_EQ(askedFor, "Segoe UI");
    }
  }
}

}  // namespace
