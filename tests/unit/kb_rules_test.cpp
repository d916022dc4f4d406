#include "inventory/kb_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TextCase {
  std::string text;
  std::string expected;
};

TEST(StripKbPrefix, RemovesOneLeadingKbInAnyCase) {
  const TextCase cases[] = {
      {"kb12", "12"},     {"KB12", "12"},
      {"Kb12", "12"},     {"kB12", "12"},
      {"KBKB1", "KB1"},   {"KB", ""},
      {"K", "K"},         {"", ""},
      {"Q123", "Q123"},   {" KB1", " KB1"},
      {"K B1", "K B1"},   {"\xE9KB1", "\xE9KB1"},
      {"KB\xE9", "\xE9"}, {"ERROR:HotFixID", "ERROR:HotFixID"},
  };
  for (const auto& c : cases) EXPECT_EQ(StripKbPrefix(c.text), c.expected) << c.text;
}

TEST(FirstNonDigitPosition, GivesOneBasedPositionOrZero) {
  const struct {
    std::string text;
    int expected;
  } cases[] = {
      {"12a", 3},
      {"123", 0},
      {"", 0},
      {"a", 1},
      {"1 2", 2},
      {"12\xE9", 3},
      {"-1", 1},
      {std::string("1\0"
                   "2",
                   3),
       2},
  };
  for (const auto& c : cases) EXPECT_EQ(FirstNonDigitPosition(c.text), c.expected) << c.text;
}

TEST(FirstNonDigitPosition, LongRunsOfDigits) {
  const std::string digits(10000, '7');
  EXPECT_EQ(FirstNonDigitPosition(digits), 0);
  EXPECT_EQ(FirstNonDigitPosition(digits + "x"), 10001);
}

TEST(KbNumber, ReadsTheLeadingDigitsAfterAnOptionalPrefix) {
  const struct {
    std::string text;
    std::int32_t expected;
  } cases[] = {
      {"KB123456", 123456},
      {"kb123456-fr", 123456},
      {"123abc", 123},
      {"Q123456", 0},
      {"KB", 0},
      {"", 0},
      {"KB2147483647", 2147483647},
      {"KB2147483648", 0},
      {"KB9999999999", 0},
      {"KB000123", 123},
      {"KB0", 0},
      {"KBKB12", 0},
      {"KB 12", 0},
      {"KB-12", 0},
      {"KB+12", 0},
      {"KB95", 95},
      {"KB12\xE9", 12},
      {"ERROR:HotFixID", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(KbNumber(c.text), c.expected) << c.text;
}

TEST(KbNumber, HugeDigitRunsNeitherOverflowNorLoseLeadingZeros) {
  EXPECT_EQ(KbNumber("KB" + std::string(10000, '9')), 0);
  EXPECT_EQ(KbNumber("KB" + std::string(10000, '0') + "4567"), 4567);
  EXPECT_EQ(KbNumber(std::string(10000, '0')), 0);
  EXPECT_EQ(KbNumber("KB" + std::string(10000, '\xFF')), 0);
}

}  // namespace
