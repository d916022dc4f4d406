// Well-formed UTF-8: what a remote error text or a host list file may hold that a UTF-8 file
// must not.
#include <gtest/gtest.h>

#include <string>

#include "Systeme/utf8_text.h"

namespace {

TEST(Utf8Text, EachStrayByteBecomesOneReplacement) {
  const std::string r = "\xEF\xBF\xBD";
  const struct {
    std::string text, repaired;
  } cases[] = {
      {"", ""},
      {"plain", "plain"},
      {"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
       "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {"\xEF\xBF\xBF\xF4\x8F\xBF\xBF", "\xEF\xBF\xBF\xF4\x8F\xBF\xBF"},  // U+FFFF, U+10FFFF
      {"a\xFF"
       "b",
       "a" + r + "b"},
      {"\xC0\xAF", r + r},                  // overlong '/'
      {"\xE0\x80\xAF", r + r + r},          // overlong, three bytes
      {"\xED\xA0\x80", r + r + r},          // a surrogate
      {"\xF4\x90\x80\x80", r + r + r + r},  // above U+10FFFF
      {"\xC3", r},                          // cut short at the end
      {"\xE2\x82x", r + r + "x"},
      {"\x80", r},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ValidUtf8(c.text), c.repaired) << c.text;
    EXPECT_EQ(IsValidUtf8(c.text), c.text == c.repaired) << c.text;
  }
}

}  // namespace
