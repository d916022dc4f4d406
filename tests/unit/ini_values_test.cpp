// The value rules of the settings file: integers, booleans, texts and refused writes.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "Systeme/errors.h"
#include "cp1252_utf8.h"
#include "settings/ini_values.h"
#include "settings/nth_word.h"

namespace {

// Answers reads from a table of raw API strings and records what it was asked.
class TableIniStore : public IniStore {
 public:
  std::map<std::string, std::string> values;  // key -> what the API would return
  std::vector<std::string> defaultsAsked;
  bool refuseWrites = false;
  std::vector<std::tuple<std::string, std::string, std::string>> written;

  bool FileExists(const std::string&) override { return true; }
  std::string ReadString(const std::string&, const std::string&, const std::string& key,
                         const std::string& defaultValue) override {
    defaultsAsked.push_back(defaultValue);
    const auto found = values.find(key);
    return found != values.end() ? found->second : defaultValue;
  }
  bool WriteString(const std::string&, const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (refuseWrites) return false;
    written.emplace_back(section, key, value);
    return true;
  }
  // Code page 1252 to UTF-8, enough for the paths of these tests.
  std::string PathForMessage(const std::string& path) override { return Cp1252ToUtf8(path); }
};

TEST(ParseInteger, FormsOfDelphisVal) {
  struct Case {
    std::string text;
    std::optional<std::int32_t> value;
  };
  const Case cases[] = {
      {"0", 0},
      {"42", 42},
      {"-42", -42},
      {"+42", 42},
      {"   7", 7},
      {"-0", 0},
      {"007", 7},
      {"$10", 16},
      {"$ff", 255},
      {"$FF", 255},
      {"x1F", 31},
      {"X1f", 31},
      {"0x10", 16},
      {"0X10", 16},
      {"-$10", -16},
      {"+$10", 16},
      {"-0x10", -16},
      {"-x10", -16},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"$7FFFFFFF", INT_MAX},
      {"-$80000000", INT_MIN},
      {"$00000000000000000001", 1},
      {"00000000000000000000042", 42},
      // Not integers, or outside the signed 32-bit range
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"-", std::nullopt},
      {"+", std::nullopt},
      {"$", std::nullopt},
      {"x", std::nullopt},
      {"0x", std::nullopt},
      {"-0x", std::nullopt},
      {"12 ", std::nullopt},
      {"1 2", std::nullopt},
      {"\t1", std::nullopt},
      {"- 1", std::nullopt},
      {"--1", std::nullopt},
      {"+-1", std::nullopt},
      {"$-1", std::nullopt},
      {"0x-1", std::nullopt},
      {"00x1", std::nullopt},
      {"1.5", std::nullopt},
      {"1e3", std::nullopt},
      {"true", std::nullopt},
      {"$G", std::nullopt},
      {"12a", std::nullopt},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      {"$80000000", std::nullopt},
      {"$FFFFFFFF", std::nullopt},
      {"$100000000", std::nullopt},
      {"-$80000001", std::nullopt},
      {"\xE9", std::nullopt},
      {std::string("1\0", 2), std::nullopt},
      {std::string(10000, '9'), std::nullopt},
      {std::string(10000, '0'), 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseInteger(c.text), c.value) << "text: " << c.text.substr(0, 40);
    EXPECT_EQ(StrToIntDef(c.text, -77), c.value.value_or(-77)) << c.text.substr(0, 40);
  }
}

TEST(ReadInteger, AsksForAnEmptyDefaultAndFallsBackToItsOwn) {
  TableIniStore ini;
  ini.values = {{"A", "12"}, {"B", "abc"}, {"C", ""}};
  EXPECT_EQ(ReadInteger(ini, "f", "S", "A", 5), 12);
  EXPECT_EQ(ReadInteger(ini, "f", "S", "B", 5), 5);
  EXPECT_EQ(ReadInteger(ini, "f", "S", "C", 5), 5);
  EXPECT_EQ(ReadInteger(ini, "f", "S", "MISSING", -3), -3);
  EXPECT_EQ(ini.defaultsAsked, std::vector<std::string>(4, ""));
}

TEST(ReadBool, IntegersWithDefaultOneOrZero) {
  struct Case {
    std::optional<std::string> stored;
    bool defaultValue;
    bool expected;
  };
  const Case cases[] = {
      {"1", false, true},   {"0", true, false},         {"2", false, true},
      {"-1", false, true},  {"$0", true, false},        {"true", false, false},
      {"true", true, true}, {"false", true, true},      {"", true, true},
      {"", false, false},   {std::nullopt, true, true}, {std::nullopt, false, false},
      {"0x0", true, false}, {"yes", false, false},
  };
  for (const Case& c : cases) {
    TableIniStore ini;
    if (c.stored) ini.values["K"] = *c.stored;
    EXPECT_EQ(ReadBool(ini, "f", "S", "K", c.defaultValue), c.expected)
        << c.stored.value_or("<missing>") << " default " << c.defaultValue;
  }
}

TEST(ReadText, PassesTheApiAnswerOnWithoutASecondQuoteRemoval) {
  TableIniStore ini;
  ini.values = {{"K", "\"a\""}};  // the file held ""a"": the API already removed one pair
  EXPECT_EQ(ReadText(ini, "f", "S", "K", "d"), "\"a\"");
  EXPECT_EQ(ReadText(ini, "f", "S", "MISSING", "dflt"), "dflt");
  EXPECT_EQ(ini.defaultsAsked.back(), "dflt");
}

// Quotes, defaults and the buffer's length are the INI contract's read cases (both stores).
TEST(ProfileRules, BlanksAreTheControlCharactersAndTheSpace) {
  EXPECT_EQ(TrimProfileBlanks(" \t\r\n\x0B\x0C\x1A x y \x1A"), "x y");
  EXPECT_EQ(TrimProfileBlanks("\xA0x\x1C"), "\xA0x\x1C");
  EXPECT_EQ(TrimProfileBlanks(std::string(10000, ' ')), "");
}

TEST(WriteValues, FormsOfIntegersAndBooleans) {
  TableIniStore ini;
  WriteInteger(ini, "f", "S", "A", -5);
  WriteInteger(ini, "f", "S", "B", INT_MIN);
  WriteInteger(ini, "f", "S", "C", 0);
  WriteBool(ini, "f", "S", "D", true);
  WriteBool(ini, "f", "S", "E", false);
  WriteText(ini, "f", "S", "F", " as is ");
  using W = std::tuple<std::string, std::string, std::string>;
  EXPECT_EQ(ini.written, (std::vector<W>{{"S", "A", "-5"},
                                         {"S", "B", "-2147483648"},
                                         {"S", "C", "0"},
                                         {"S", "D", "1"},
                                         {"S", "E", "0"},
                                         {"S", "F", " as is "}}));
}

TEST(WriteValues, ARefusedWriteRaisesWithThePathInUtf8) {
  TableIniStore ini;
  ini.refuseWrites = true;
  // The path comes in the system's code page; the message is UTF-8.
  const std::string path =
      "C:\\Users\\L\xE9"
      "a\\T\xE9l\xE9"
      "chargements\\Fixtally.ini";
  try {
    WriteInteger(ini, path, "S", "K", 1);
    FAIL() << "no error raised";
  } catch (const EFixtallyError& error) {
    EXPECT_STREQ(error.what(),
                 "Impossible d'\xC3\xA9"
                 "crire dans C:\\Users\\L\xC3\xA9"
                 "a\\T\xC3\xA9l\xC3\xA9"
                 "chargements\\Fixtally.ini");
  }
  EXPECT_THROW(WriteBool(ini, "", "S", "K", true), EFixtallyError);
  EXPECT_THROW(WriteText(ini, std::string(10000, 'p'), "S", "K", ""), EFixtallyError);
}

TEST(NthWord, WordsBetweenBlanksAndCommas) {
  struct Case {
    int n;
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {1, "100,50,900,650", "100"},
      {4, "100,50,900,650", "650"},
      {5, "100,50,900,650", ""},
      {2, "  a , ,b", "b"},
      {1, ",,,x", "x"},
      {3, "a b", ""},
      {0, "a b", ""},
      {-1, "a b", ""},
      {1, "", ""},
      {1, " , ", ""},
      {2, "-1,-2", "-2"},
      {1, "\xE9\xE8,x", "\xE9\xE8"},
      {2, "a" + std::string(10000, ',') + "b", "b"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NthWord(c.n, c.text, " ,"), c.expected) << c.n << " of " << c.text.substr(0, 20);
  }
}

}  // namespace
