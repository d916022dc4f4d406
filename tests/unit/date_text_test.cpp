#include "inventory/date_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TFormatSettings EnUs() {
  TFormatSettings s;
  s.LongMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                      "July",    "August",   "September", "October", "November", "December"};
  s.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  s.LongDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  s.ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  return s;
}

TFormatSettings FrFr() {
  TFormatSettings s = EnUs();
  s.ShortDateFormat = "dd/MM/yyyy";
  s.LongTimeFormat = "HH:mm:ss";
  s.TimeAMString = "";
  s.TimePMString = "";
  s.LongMonthNames = {"janvier",
                      "f\xE9vrier",
                      "mars",
                      "avril",
                      "mai",
                      "juin",
                      "juillet",
                      "ao\xFBt",
                      "septembre",
                      "octobre",
                      "novembre",
                      "d\xE9"
                      "cembre"};
  s.LongDayNames = {"dimanche", "lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi"};
  return s;
}

TFormatSettings DeDe() {
  TFormatSettings s = EnUs();
  s.DateSeparator = '.';
  s.ShortDateFormat = "d.M.yyyy";
  s.LongTimeFormat = "HH:mm:ss";
  return s;
}

DateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  DateTime date = 0, time = 0;
  EXPECT_TRUE(TryEncodeDate(year, month, day, date));
  EXPECT_TRUE(TryEncodeTime(hour, minute, second, 0, time));
  return date + time;
}

TEST(FormatDateTime, WritesEachPictureLetter) {
  const DateTime afternoon = At(2013, 3, 4, 13, 5, 9);
  const DateTime morning = At(2009, 11, 24, 0, 7, 0);
  const struct {
    const char* format;
    DateTime value;
    const char* expected;
  } cases[] = {
      {"d", afternoon, "4"},
      {"dd", afternoon, "04"},
      {"ddd", afternoon, "Mon"},
      {"dddd", afternoon, "Monday"},
      {"ddddd", afternoon, "Monday"},
      {"M", afternoon, "3"},
      {"MM", afternoon, "03"},
      {"MMM", afternoon, "Mar"},
      {"MMMM", afternoon, "March"},
      {"y", afternoon, "13"},
      {"y", morning, "09"},
      {"yy", morning, "09"},
      {"yyy", afternoon, "2013"},
      {"yyyy", afternoon, "2013"},
      {"yyyyy", afternoon, "2013"},
      {"h", afternoon, "1"},
      {"hh", afternoon, "01"},
      {"h", morning, "12"},
      {"H", afternoon, "13"},
      {"H", morning, "0"},
      {"HH", morning, "00"},
      {"m", afternoon, "5"},
      {"mm", afternoon, "05"},
      {"s", afternoon, "9"},
      {"ss", afternoon, "09"},
      {"t", afternoon, "P"},
      {"tt", afternoon, "PM"},
      {"tt", morning, "AM"},
      {"h:mm:ss tt", At(2013, 3, 4, 12, 0, 0), "12:00:00 PM"},
      {"M/d/yyyy", afternoon, "3/4/2013"},
      {"dd/MM/yyyy", afternoon, "04/03/2013"},
      {"d.M.yyyy", afternoon, "4.3.2013"},
      {"yyyy-MM-dd", morning, "2009-11-24"},
      {"dddd d MMMM yyyy", morning, "Tuesday 24 November 2009"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDateTime(c.format, c.value, EnUs()), c.expected) << c.format;
  }
}

TEST(FormatDateTime, QuotedTextAndOtherCharactersAreLiteral) {
  const DateTime value = At(2013, 3, 4);
  const struct {
    std::string format;
    std::string expected;
  } cases[] = {
      {"'d' d", "d 4"},
      {"d 'de' MMMM", "4 de March"},
      {"''", ""},
      {"d''M", "43"},
      {"''''", "'"},
      {"'it''s' d", "it's 4"},
      {"'unterminated d", "unterminated d"},
      {"'", ""},
      {"d,x!", "4,x!"},
      {"\xE9 d", "\xE9 4"},
      {"..d..", "..4.."},
      {std::string(50000, '-') + "d", std::string(50000, '-') + "4"},
      {"", ""},
      {std::string("d\0M", 3), std::string("4\0"
                                           "3",
                                           3)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDateTime(c.format, value, EnUs()), c.expected) << c.format;
  }
}

TEST(FormatDateTime, NullDateWritesZerosAndNoNames) {
  const struct {
    const char* format;
    const char* expected;
  } cases[] = {
      {"dd/MM/yyyy", "00/00/0000"},
      {"M/d/yyyy", "0/0/0000"},
      {"d.M.yyyy", "0.0.0000"},
      {"yy", "00"},
      {"HH:mm:ss", "00:00:00"},
      {"dddd d MMMM yyyy", " 0  0000"},
      {"ddd MMM", " "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatDateTime(c.format, NullDate(), EnUs()), c.expected) << c.format;
  }
}

TEST(FormatDateTime, MissingNamesWriteNothing) {
  TFormatSettings noNames;  // the defaults carry no names
  EXPECT_EQ(FormatDateTime("[dddd][MMM]", At(2013, 3, 4), noNames), "[][]");
}

TEST(FormatDateTime, LongAndHostileFormatsStayInBounds) {
  const std::string longFormat(10000, 'd');
  EXPECT_EQ(FormatDateTime(longFormat, At(2013, 3, 4), EnUs()), "Monday");
  std::string everyByte;
  for (int b = 1; b < 256; ++b) everyByte += static_cast<char>(b);
  const std::string written = FormatDateTime(everyByte + everyByte, At(2013, 3, 4), EnUs());
  EXPECT_FALSE(written.empty());
  const std::string quotes(9999, '\'');
  EXPECT_EQ(FormatDateTime(quotes, NullDate(), EnUs()), std::string(4999, '\''));
}

TEST(DateTimeToString, AddsTheLongTimeOnlyWhenTheTimeIsNotMidnight) {
  const struct {
    TFormatSettings settings;
    DateTime value;
    const char* expected;
  } cases[] = {
      {EnUs(), At(2013, 3, 14), "3/14/2013"},
      {EnUs(), At(2013, 3, 14, 13, 5, 9), "3/14/2013 1:05:09 PM"},
      {EnUs(), At(2013, 3, 14, 0, 0, 2), "3/14/2013 12:00:02 AM"},
      {FrFr(), At(2013, 3, 14), "14/03/2013"},
      {FrFr(), At(2013, 3, 14, 13, 5, 9), "14/03/2013 13:05:09"},
      {DeDe(), At(2013, 3, 4, 8, 0, 0), "4.3.2013 08:00:00"},
      {FrFr(), NullDate(), "00/00/0000"},
      {EnUs(), NullDate(), "0/0/0000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DateTimeToString(c.value, c.settings), c.expected) << c.expected;
  }
}

TEST(GetDateOrder, TheFirstDateLetterDecides) {
  const struct {
    const char* format;
    TDateOrder expected;
  } cases[] = {
      {"M/J/A", TDateOrder::doMDY},      {"M/d/yyyy", TDateOrder::doMDY},
      {"dd/MM/yyyy", TDateOrder::doDMY}, {"d.M.yyyy", TDateOrder::doDMY},
      {"yyyy-MM-dd", TDateOrder::doYMD}, {"YY/MM/DD", TDateOrder::doYMD},
      {"ee/MM/dd", TDateOrder::doYMD},   {"E", TDateOrder::doYMD},
      {"/ D", TDateOrder::doDMY},        {"mm", TDateOrder::doMDY},
      {"J/A", TDateOrder::doMDY},        {"", TDateOrder::doMDY},
      {"\xE5\xC4 d", TDateOrder::doDMY},
  };
  for (const auto& c : cases) EXPECT_EQ(GetDateOrder(c.format), c.expected) << c.format;
}

struct ReadCase {
  std::string text;
  char separator;
  const char* format;
  int currentYear;
  bool ok;
  int year, month, day;
};

TEST(TryStrToDate, ReadsByTheRules) {
  const std::string zeros(10000, '0');
  const ReadCase cases[] = {
      {"3/14/2013", '/', "M/J/A", 2024, true, 2013, 3, 14},
      {"3/14/2013", '.', "M/J/A", 2024, false, 0, 0, 0},
      {"3.14.2013", '.', "M/J/A", 2024, true, 2013, 3, 14},
      {"13/14/2013", '/', "M/J/A", 2024, false, 0, 0, 0},
      {"", '/', "M/J/A", 2024, false, 0, 0, 0},
      {"   ", '/', "M/J/A", 2024, false, 0, 0, 0},
      {"3", '/', "M/J/A", 2024, false, 0, 0, 0},
      {"3/", '/', "M/J/A", 2024, false, 0, 0, 0},
      {"3/14/", '/', "M/J/A", 2024, true, 2024, 3, 14},
      {"3/14", '/', "M/J/A", 2024, true, 2024, 3, 14},
      {"2/29", '/', "M/J/A", 2023, false, 0, 0, 0},
      {"2/29", '/', "M/J/A", 2024, true, 2024, 2, 29},
      {"3/14/13", '/', "M/J/A", 2024, true, 2013, 3, 14},
      {"3/14/13", '/', "M/J/A", 1999, true, 1913, 3, 14},
      {"3/14/99", '/', "M/J/A", 2024, true, 2099, 3, 14},
      {"3/14/5", '/', "M/J/A", 2024, true, 2005, 3, 14},
      {"3/14/013", '/', "M/J/A", 2024, true, 13, 3, 14},
      {"3/14/0013", '/', "M/J/A", 2024, true, 13, 3, 14},
      {"3/14/0000", '/', "M/J/A", 2024, false, 0, 0, 0},
      {"1/1/00", '/', "M/J/A", 2000, true, 2000, 1, 1},
      {"1/1/00", '/', "M/J/A", 50, false, 0, 0, 0},
      {"1/1/00", '/', "M/J/A", INT_MAX, false, 0, 0, 0},
      {"1/1/00", '/', "M/J/A", INT_MIN, false, 0, 0, 0},
      {"3/14/2013/", '/', "M/J/A", 2024, true, 2013, 3, 14},
      {"3/14/2013 /  ", '/', "M/J/A", 2024, true, 2013, 3, 14},
      {"3/14/2013//", '/', "M/J/A", 2024, false, 0, 0, 0},
      {"  3 /  14 / 2013  ", '/', "M/J/A", 2024, true, 2013, 3, 14},
      {"\t3/14/2013", '/', "M/J/A", 2024, false, 0, 0, 0},
      {"3/14/2013x", '/', "M/J/A", 2024, false, 0, 0, 0},
      {"3/14/2013 12:00:00", '/', "M/J/A", 2024, false, 0, 0, 0},
      {"3/14/20133", '/', "M/J/A", 2024, false, 0, 0, 0},
      {"3/14/01234", '/', "M/J/A", 2024, true, 1234, 3, 14},
      {"0003/0014/2013", '/', "M/J/A", 2024, true, 2013, 3, 14},
      {zeros + "3/14/2013", '/', "M/J/A", 2024, true, 2013, 3, 14},
      {"3/14/" + zeros + "13", '/', "M/J/A", 2024, true, 13, 3, 14},
      {std::string(10000, '9'), '/', "M/J/A", 2024, false, 0, 0, 0},
      {"3/14/" + std::string(10000, ' '), '/', "M/J/A", 2024, true, 2024, 3, 14},
      {"3/14/2013" + std::string(10000, ' '), '/', "M/J/A", 2024, true, 2013, 3, 14},
      {"-3/14/2013", '/', "M/J/A", 2024, false, 0, 0, 0},
      {"3/14/2013\xE9", '/', "M/J/A", 2024, false, 0, 0, 0},
      {"\xE9", '/', "M/J/A", 2024, false, 0, 0, 0},
      {std::string("3/14\0/2013", 10), '/', "M/J/A", 2024, false, 0, 0, 0},
      {"22/2/2022", '/', "M/J/A", 2024, false, 0, 0, 0},
      {"22/2/2022", '/', "dd/MM/yyyy", 2024, true, 2022, 2, 22},
      {"14/03/2013", '/', "dd/MM/yyyy", 2024, true, 2013, 3, 14},
      {"14/3", '/', "dd/MM/yyyy", 2024, true, 2024, 3, 14},
      {"3/14/2013", '/', "dd/MM/yyyy", 2024, false, 0, 0, 0},
      {"14.3.2013", '.', "d.M.yyyy", 2024, true, 2013, 3, 14},
      {"2013-03-14", '-', "yyyy-MM-dd", 2024, true, 2013, 3, 14},
      {"13-03-14", '-', "yyyy-MM-dd", 2024, true, 2013, 3, 14},
      {"3-14", '-', "yyyy-MM-dd", 2024, true, 2024, 3, 14},
      {"3 14 2013", ' ', "M d yyyy", 2024, true, 2013, 3, 14},
      {"3  14  2013 ", ' ', "M d yyyy", 2024, true, 2013, 3, 14},
      {"3/14/2013", ' ', "M d yyyy", 2024, false, 0, 0, 0},
  };
  for (const auto& c : cases) {
    TFormatSettings settings;
    settings.DateSeparator = c.separator;
    settings.ShortDateFormat = c.format;
    DateTime value = 42.0;
    const bool ok = TryStrToDate(c.text, settings, c.currentYear, value);
    const std::string shown = c.text.substr(0, 24) + " [" + c.format + "]";
    ASSERT_EQ(ok, c.ok) << shown;
    if (!ok) continue;
    int year = 0, month = 0, day = 0, h = 0, m = 0, s = 0, ms = 0;
    DecodeDate(value, year, month, day);
    DecodeTime(value, h, m, s, ms);
    EXPECT_TRUE(year == c.year && month == c.month && day == c.day)
        << shown << " gave " << year << "-" << month << "-" << day;
    EXPECT_TRUE(h == 0 && m == 0 && s == 0 && ms == 0) << shown;
  }
}

// The date column reads back what the scan wrote with the same locale, so its sort follows the
// calendar for every day.
TEST(TryStrToDate, ReadsBackEveryDayWrittenWithTheShortDateFormat) {
  for (const TFormatSettings& settings : {EnUs(), FrFr(), DeDe()}) {
    DateTime first = 0, last = 0;
    ASSERT_TRUE(TryEncodeDate(1980, 1, 1, first));
    ASSERT_TRUE(TryEncodeDate(2107, 12, 31, last));
    for (DateTime day = first; day <= last; day += 1) {
      const std::string text = DateTimeToString(day, settings);
      DateTime read = 0;
      ASSERT_TRUE(TryStrToDate(text, settings, 2024, read)) << text;
      ASSERT_EQ(read, day) << text;
    }
  }
}

}  // namespace
