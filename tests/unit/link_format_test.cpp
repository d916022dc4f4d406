// The web-link template is user-edited text: it is applied by the program's own format reader,
// which must give the runtime's results for one text argument and refuse everything else.
#include "list/link_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Systeme/errors.h"

namespace {

constexpr char kIncompatible[] = " est incorrect ou incompatible avec l'argument";

struct FormatCase {
  std::string templ;
  std::string argument;
  std::string expected;
};

TEST(FormatWithOneText, AppliesTextDirectives) {
  const std::vector<FormatCase> cases = {
      {"https://support.example.com/kb/%s", "1234", "https://support.example.com/kb/1234"},
      {"%s", "", ""},
      {"%S", "abc", "abc"},
      {"%0:s", "abc", "abc"},
      {"%0:s-%0:s", "ab", "ab-ab"},
      {"%s-%0:s", "ab", "ab-ab"},
      {"[%-10s]", "abc", "[abc       ]"},
      {"[%10s]", "abc", "[       abc]"},
      {"[%2s]", "abcd", "[abcd]"},
      {"[%-2s]", "abcd", "[abcd]"},
      {"[%.3s]", "abcdef", "[abc]"},
      {"[%.10s]", "abc", "[abc]"},
      {"[%.0s]", "abc", "[]"},
      {"[%.s]", "abc", "[]"},
      {"[%5.2s]", "abcdef", "[   ab]"},
      {"[%-5.2s]", "abcdef", "[ab   ]"},
      {"[%0:-6s]", "abc", "[abc   ]"},
      {"[%-s]", "abc", "[abc]"},
      {"100%%", "x", "100%"},
      {"%%s", "x", "%s"},
      {"%%%s%%", "x", "%x%"},
      {"sans directive", "x", "sans directive"},
      {"", "x", ""},
      {"%s", "\xE9t\xE9 \xC3\xA9", "\xE9t\xE9 \xC3\xA9"},  // bytes pass through untouched
      {"[%.2s]", "\xE9\xE8\xE0", "[\xE9\xE8]"},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(FormatWithOneText(c.templ, c.argument), c.expected) << "template: " << c.templ;
  }
}

struct ErrorCase {
  std::string templ;
  std::string expectedMessage;
};

TEST(FormatWithOneText, RefusesWhatDoesNotFitOneText) {
  const std::vector<ErrorCase> cases = {
      {"%d", std::string("Le format '%d'") + kIncompatible},
      {"%x", std::string("Le format '%x'") + kIncompatible},
      {"%f", std::string("Le format '%f'") + kIncompatible},
      {"%0:d", std::string("Le format '%0:d'") + kIncompatible},
      {"%", std::string("Le format '%'") + kIncompatible},
      {"abc%", std::string("Le format 'abc%'") + kIncompatible},
      {"%s%", std::string("Le format '%s%'") + kIncompatible},
      {"%-10", std::string("Le format '%-10'") + kIncompatible},
      {"%0:", std::string("Le format '%0:'") + kIncompatible},
      {"%.", std::string("Le format '%.'") + kIncompatible},
      {"%*s", std::string("Le format '%*s'") + kIncompatible},
      {"%.*s", std::string("Le format '%.*s'") + kIncompatible},
      {"%*:s", std::string("Le format '%*:s'") + kIncompatible},
      {"%100001s", std::string("Le format '%100001s'") + kIncompatible},
      {"%99999999999999999999s", std::string("Le format '%99999999999999999999s'") + kIncompatible},
      {"%s%s", "Aucun argument pour le format '%s%s'"},
      {"%s%d", "Aucun argument pour le format '%s%d'"},
      {"%1:s", "Aucun argument pour le format '%1:s'"},
      {"%0:s%s", "Aucun argument pour le format '%0:s%s'"},
      {"%s%*s", "Aucun argument pour le format '%s%*s'"},
      {"%4294967297:s", "Aucun argument pour le format '%4294967297:s'"},
  };
  for (const ErrorCase& c : cases) {
    try {
      FormatWithOneText(c.templ, "1234");
      ADD_FAILURE() << "no error for template: " << c.templ;
    } catch (const EFixtallyError& error) {
      EXPECT_EQ(error.what(), c.expectedMessage) << "template: " << c.templ;
    }
  }
}

TEST(FormatWithOneText, MessageQuotesTheFirst31Characters) {
  const std::string templ = "https://support.example.com/kb/%d/and/more";
  try {
    FormatWithOneText(templ, "1");
    FAIL() << "no error";
  } catch (const EFixtallyError& error) {
    EXPECT_EQ(std::string(error.what()),
              std::string("Le format '") + templ.substr(0, 31) + "'" + kIncompatible);
  }
  const std::string twice = std::string(40, 'a') + "%s%s";
  try {
    FormatWithOneText(twice, "1");
    FAIL() << "no error";
  } catch (const EFixtallyError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Aucun argument pour le format '" + std::string(31, 'a') + "'");
  }
}

TEST(FormatWithOneText, LargestWidthIsAcceptedAndExact) {
  const std::string out = FormatWithOneText("%" + std::to_string(kMaxFormatWidth) + "s", "abc");
  ASSERT_EQ(out.size(), static_cast<std::size_t>(kMaxFormatWidth));
  EXPECT_EQ(out.substr(out.size() - 3), "abc");
  EXPECT_EQ(out.find_first_not_of(' '), out.size() - 3);
}

TEST(FormatWithOneText, LongArgumentAndLongTemplate) {
  const std::string argument(10000, 'x');
  EXPECT_EQ(FormatWithOneText("kb/%s", argument), "kb/" + argument);
  EXPECT_EQ(FormatWithOneText("%.5s", argument), "xxxxx");
  EXPECT_EQ(FormatWithOneText("%20000s", argument), std::string(10000, ' ') + argument);

  std::string longTemplate(10000, 'a');
  longTemplate += "%s";
  EXPECT_EQ(FormatWithOneText(longTemplate, "1"), std::string(10000, 'a') + "1");
  // A template that is nothing but "%" pairs is read without running past its end.
  EXPECT_EQ(FormatWithOneText(std::string(10000, '%'), ""), std::string(5000, '%'));
  EXPECT_THROW(FormatWithOneText(std::string(10001, '%'), ""), EFixtallyError);
}

TEST(FormatWithOneText, TextsWithZeroBytesAreCopiedWhole) {
  const std::string argument("a\0b", 3);
  EXPECT_EQ(FormatWithOneText("[%s]", argument), std::string("[a\0b]", 5));
  EXPECT_EQ(FormatWithOneText(std::string("x\0%s", 4), "1"), std::string("x\0"
                                                                         "1",
                                                                         3));
}

}  // namespace
