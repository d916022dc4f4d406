// Properties of the portable INI model that hold for any input, and what a rewrite keeps.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cp1252_utf8.h"
#include "ini_document.h"
#include "settings/ini_values.h"

namespace {

std::string RandomBytes(std::mt19937& random, std::size_t size, bool zeroBytes = true) {
  // Mostly the characters that give INI files their shape, some of everything else.
  static const std::string shape = "[]=; \t\r\n\"'AaBb\x1A\xA0\xE9";
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    const auto pick = random() % 4;
    c = pick == 0 ? static_cast<char>(random() % (zeroBytes ? 256 : 255) + (zeroBytes ? 0 : 1))
                  : shape[random() % shape.size()];
  }
  return bytes;
}

bool HasNamelessSection(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = TrimProfileBlanks(text.substr(start, end - start));
    const std::size_t close = line.rfind(']');
    if (line.starts_with('[') && close != std::string_view::npos &&
        TrimProfileBlanks(line.substr(1, close - 1)).empty()) {
      return true;
    }
    start = end + 1;
  }
  return false;
}

// Two inputs make the API itself rewrite a file into another shape, and the model copies it: a
// zero byte cuts a name or value short (blanks before it then end the line), and a nameless
// section ("[]", "[ ]") loses its header, its keys joining the section before. Apart from those,
// what a rewrite produced is read back as the same file.
TEST(IniDocument, ARewriteIsStable) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 2000; ++round) {
    const std::string input = RandomBytes(random, random() % 300, false);
    if (HasNamelessSection(input)) continue;
    const std::string once = IniDocument::Parse(input).Serialize();
    EXPECT_EQ(IniDocument::Parse(once).Serialize(), once) << "round " << round;
  }
}

TEST(IniDocument, AWrittenValueReadsBack) {
  struct Case {
    const char* value;
    const char* readBack;
  };
  const Case cases[] = {
      {"plain", "plain"}, {"  lead", "lead"}, {"a=b", "a=b"}, {"", ""}, {"\xE9", "\xE9"}};
  for (const Case& c : cases) {
    IniDocument doc = IniDocument::Parse("[S]\r\nK=old\r\n");
    EXPECT_TRUE(doc.SetValue("s", "k", c.value));
    const IniDocument again = IniDocument::Parse(doc.Serialize());
    ASSERT_TRUE(again.Value("S", "K").has_value()) << c.value;
    EXPECT_EQ(*again.Value("S", "K"), c.readBack);
  }
}

TEST(IniDocument, SameValueNeedsNoRewrite) {
  IniDocument doc = IniDocument::Parse("[S]\r\nK=1\r\n");
  EXPECT_FALSE(doc.SetValue("S", "K", "1"));
  EXPECT_FALSE(doc.SetValue("S", "K", " 1"));  // leading blanks are dropped first
  EXPECT_TRUE(doc.SetValue("S", "K", "01"));
}

TEST(IniDocument, NamesCompareWithoutCaseOfAsciiLettersOnly) {
  struct Case {
    std::string a;
    std::string b;
    bool same;
  };
  const Case cases[] = {
      {"WRITEINI", "writeini", true},
      {"\xC9", "\xE9", false},
      {"\x8A\x8C\x8E", "\x9A\x9C\x9E", false},
      {"\x9F", "\xFF", false},
      {"\xC9"
       "a",
       "\xC9"
       "A",
       true},
      {"A", "AA", false},
      {"", "", true},
      {"[", "{", false},
      {"@", "`", false},
  };
  for (const Case& c : cases) EXPECT_EQ(SameProfileName(c.a, c.b), c.same) << c.a << " " << c.b;
}

}  // namespace

namespace {

TEST(Cp1252Utf8, EveryByteRoundTrips) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = Cp1252ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1252(utf8), all);
  EXPECT_EQ(Cp1252ToUtf8("\xE9\x80"), "\xC3\xA9\xE2\x82\xAC");
}

TEST(Cp1252Utf8, WhatCodePage1252LacksBecomesAQuestionMark) {
  struct Case {
    std::string utf8;
    std::string expected;
  };
  const Case cases[] = {
      {"\xCE\xA9", "?"},          // Greek omega
      {"\xF0\x9F\x98\x80", "?"},  // beyond the basic plane
      {"\xC3", "?"},              // cut short
      {"\xC3\x28", "?("},         // a broken sequence
      {"\xFF\xFE", "??"},         // no UTF-8 at all
      {"\xE2\x82", "??"},         // cut short at the end
      {"a\xC2\xA0"
       "b",
       "a\xA0"
       "b"},  // no-break space
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToCp1252(c.utf8), c.expected);
  EXPECT_EQ(Utf8ToCp1252(std::string(10000, '\xE2')), std::string(10000, '?'));
}

}  // namespace
