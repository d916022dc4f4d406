#include "portable_locale_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "collation_texts.h"

namespace {

TEST(PortableLocaleText, UpperCasesCodePage1252) {
  const auto locale = MakePortableLocaleText();
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"abc xyz", "ABC XYZ"},
      {"ABC", "ABC"},
      {"kb123-fr", "KB123-FR"},
      {"\xE9t\xE9", "\xC9T\xC9"},  // été
      {"\xE0\xE7\xF4\xFC\xFE", "\xC0\xC7\xD4\xDC\xDE"},
      {"\xFF", "\x9F"},                                          // ÿ
      {"\x9A\x9C\x9E", "\x8A\x8C\x8E"},                          // š œ ž
      {"\xDF\xB5\xF7\xD7\xAA\xBA", "\xDF\xB5\xF7\xD7\xAA\xBA"},  // ß µ ÷ × ª º
      {"\x83", "\x83"},                                          // ƒ has no capital here
      {"", ""},
      {std::string("a\0b", 3), std::string("A\0B", 3)},
  };
  for (const auto& c : cases) EXPECT_EQ(locale->UpperCase(c.text), c.expected) << c.text;
}

TEST(PortableLocaleText, UpperCasingIsStableAndKeepsTheLength) {
  const auto locale = MakePortableLocaleText();
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
  const std::string upper = locale->UpperCase(everyByte);
  ASSERT_EQ(upper.size(), everyByte.size());
  EXPECT_EQ(locale->UpperCase(upper), upper);
  // Two letters never share a capital, and a capital is not itself changed by the mapping.
  std::string capitals;
  for (int b = 0; b < 256; ++b) {
    if (upper[b] != everyByte[b]) capitals += upper[b];
  }
  EXPECT_EQ(capitals.size(), 26u + 30u + 4u);  // a-z, à-þ but ÷, š œ ž ÿ
  for (const char capital : capitals) {
    EXPECT_EQ(upper[static_cast<unsigned char>(capital)], capital);
  }
  std::sort(capitals.begin(), capitals.end());
  EXPECT_EQ(std::adjacent_find(capitals.begin(), capitals.end()), capitals.end());
  const std::string longText(10000, '\xE9');
  EXPECT_EQ(locale->UpperCase(longText), std::string(10000, '\xC9'));
}

TEST(PortableLocaleText, ComparesLikeTheWindowsSort) {
  const auto locale = MakePortableLocaleText();
  const struct {
    std::string a, b;
    int expected;
  } cases[] = {
      {"abc", "abc", 0},
      {"abc", "ABC", -1},  // lower case first, as CompareStringA answers
      {"ABC", "abc", 1},
      {"a", "B", -1},
      {"B", "a", 1},
      {"", "a", -1},
      {"", "", 0},
      {"ab", "abc", -1},
      {"e", "\xE9", -1},          // é after e...
      {"\xE9", "f", -1},          // ...but before f
      {"\xC9T\xC9", "ESSAI", 1},  // ÉTÉ sorts among the E words
      {"\xC9T\xC9", "ETUDE", -1},
      {"\xC9T\xC9", "ETE", 1},
      {"\xC9TE", "ET\xC9", 1},  // the first accent differing decides
      {"ZOO", "\xC9T\xC9", 1},
      {"\xC6", "AF", -1},  // Æ reads as A E
      {"\x8C", "OF", -1},  // Œ reads as O E
      {"\xDF", "ST", -1},  // ß reads as s s
      {"\xDE", "Z", 1},    // thorn after z
      {"1", "a", -1},      // digits before letters
      {"-", "1", -1},      // symbols before digits
      {" ", "-", -1},
      {"\x9F", "Y", 1},  // Ÿ after Y
      {"\x9F", "Z", -1},
      {"MISE \xC0 JOUR", "MISE A JOUR", 1},
      {"MISE \xC0 JOUR", "MISE B", -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(locale->Compare(c.a, c.b), c.expected) << c.a << " / " << c.b;
  }
}

// A sort ranks texts by their keys: the keys must order every two texts as Compare does, the
// upper-cased texts the list compares and the awkward ones alike.
TEST(PortableLocaleText, SortKeysOrderTextsAsCompareDoes) {
  using namespace collation_texts;
  const auto locale = MakePortableLocaleText();
  std::vector<std::string> table = AwkwardTexts();
  for (const std::string& text : AwkwardTexts()) table.push_back(locale->UpperCase(text));
  std::vector<std::string> many = OneAndTwoByteTexts();
  for (const std::string& text : GeneratedTexts(20000, 2)) many.push_back(text);
  const struct {
    const char* what;
    Agreement agreement;
  } checks[] = {{"every pair of the table", EveryPair(*locale, table)},
                {"every pair of generated texts", EveryPair(*locale, GeneratedTexts(600, 1))},
                {"neighbours in key order", Neighbours(*locale, many)}};
  for (const auto& check : checks) {
    EXPECT_EQ(check.agreement.withoutKey, 0u) << check.what;
    EXPECT_EQ(check.agreement.disagreements, std::vector<std::string>{}) << check.what;
    EXPECT_EQ(check.agreement.equalButDifferent, 0u) << check.what;  // a total order
  }
  EXPECT_GT(checks[2].agreement.pairs, 80000u);

  std::string keys = "kept";
  ASSERT_TRUE(locale->AppendSortKey("", keys));
  ASSERT_TRUE(locale->AppendSortKey("a", keys));
  EXPECT_EQ(keys.substr(0, 4), "kept");  // appended, never replaced
}

TEST(PortableLocaleText, FormatsAreEnglishUnitedStatesByDefault) {
  const TFormatSettings s = MakePortableLocaleText()->FormatSettings();
  EXPECT_EQ(s.DateSeparator, '/');
  EXPECT_EQ(s.TimeSeparator, ':');
  EXPECT_EQ(s.ShortDateFormat, "M/d/yyyy");
  EXPECT_EQ(s.LongTimeFormat, "h:mm:ss tt");
  EXPECT_EQ(s.TimeAMString, "AM");
  EXPECT_EQ(s.TimePMString, "PM");
  EXPECT_EQ(s.LongMonthNames[0], "January");
  EXPECT_EQ(s.LongMonthNames[11], "December");
  EXPECT_EQ(s.ShortMonthNames[4], "May");
  EXPECT_EQ(s.LongDayNames[0], "Sunday");
  EXPECT_EQ(s.ShortDayNames[6], "Sat");
}

TEST(PortableLocaleText, KeepsTheFormatsItIsGiven) {
  TFormatSettings fr;
  fr.ShortDateFormat = "dd/MM/yyyy";
  fr.LongTimeFormat = "HH:mm:ss";
  fr.LongMonthNames[0] = "janvier";
  const TFormatSettings s = MakePortableLocaleText(fr)->FormatSettings();
  EXPECT_EQ(s.ShortDateFormat, "dd/MM/yyyy");
  EXPECT_EQ(s.LongTimeFormat, "HH:mm:ss");
  EXPECT_EQ(s.LongMonthNames[0], "janvier");
  EXPECT_EQ(s.LongMonthNames[1], "");      // given names are not mixed with English ones
  EXPECT_EQ(s.LongDayNames[1], "Monday");  // arrays left empty get the English names
}

}  // namespace
