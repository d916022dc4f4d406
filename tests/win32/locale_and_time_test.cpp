// The Windows adapters of the locale and the time zone, and the portable DOS date rules, against
// the real calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "Systeme/locale_text_win32.h"
#include "inventory/date_text.h"
#include "inventory/date_time.h"
#include "inventory/time_zone_win32.h"

namespace {

constexpr std::uint64_t kTicksPerDay = 864000000000ULL;

FileTime FromTicks(std::uint64_t ticks) {
  FileTime ft;
  ft.dwLowDateTime = static_cast<std::uint32_t>(ticks);
  ft.dwHighDateTime = static_cast<std::uint32_t>(ticks >> 32);
  return ft;
}

std::uint64_t TicksOf(int year, int month, int day) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(year);
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  FILETIME ft{};
  EXPECT_TRUE(SystemTimeToFileTime(&st, &ft)) << year;
  return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

// File times across the whole range, with the edges of the DOS range and odd seconds.
std::vector<std::uint64_t> SampleTicks() {
  std::vector<std::uint64_t> ticks = {0, 1, 0x7FFFFFFFFFFFFFFFULL, 0x8000000000000000ULL,
                                      0xFFFFFFFFFFFFFFFFULL};
  for (std::uint64_t t = 0; t < 0x7FFF000000000000ULL; t += 997 * kTicksPerDay + 12345678901ULL) {
    ticks.push_back(t);
  }
  const std::uint64_t dosStart = TicksOf(1980, 1, 1), dosEnd = TicksOf(2108, 1, 1);
  for (const std::uint64_t edge : {dosStart, dosEnd}) {
    constexpr std::int64_t kDay = static_cast<std::int64_t>(kTicksPerDay), kSecond = 10000000;
    for (const std::int64_t delta : {-2 * kDay, -kDay, -kSecond, -1LL, 0LL, 1LL, kSecond, kDay}) {
      ticks.push_back(edge + static_cast<std::uint64_t>(delta));
    }
  }
  for (std::uint64_t t = dosStart; t < dosEnd; t += 37 * kTicksPerDay + 10000001ULL) {
    ticks.push_back(t);
  }
  return ticks;
}

// Wine 8 answers past 2107 with a year that wraps round in the date word, where Windows fails as
// the portable rules do (the unit tests hold that part); compare up to the end of 2107.
bool BeforeDosEnd(std::uint64_t ticks) {
  return ticks < TicksOf(2108, 1, 1);
}

TEST(DosDateRules, AgreeWithFileTimeToDosDateTime) {
  int compared = 0, accepted = 0;
  for (const std::uint64_t t : SampleTicks()) {
    if (!BeforeDosEnd(t)) continue;
    const FileTime ft = FromTicks(t);
    const FILETIME real{ft.dwLowDateTime, ft.dwHighDateTime};
    WORD realDate = 0, realTime = 0;
    const bool realOk = FileTimeToDosDateTime(&real, &realDate, &realTime) != FALSE;
    unsigned short date = 0, time = 0;
    const bool ok = ::FileTimeToDosDateTime(ft, date, time);
    ++compared;
    EXPECT_EQ(ok, realOk) << std::hex << t;
    if (ok && realOk) {
      ++accepted;
      EXPECT_EQ(date, realDate) << std::hex << t;
      EXPECT_EQ(time, realTime) << std::hex << t;
    }
  }
  EXPECT_GT(accepted, 1000);
  EXPECT_GT(compared, accepted + 100);
}

// The whole chain of an InstalledOn value through the Windows time zone: the real local time,
// cut to even seconds.
TEST(FileTimeToLocalDateTime, MatchesTheRealCallsChained) {
  const auto zone = MakeWindowsTimeZone();
  int dates = 0;
  for (const std::uint64_t t : SampleTicks()) {
    const FileTime utc = FromTicks(t);
    const DateTime value = FileTimeToLocalDateTime(utc, *zone);
    const FILETIME real{utc.dwLowDateTime, utc.dwHighDateTime};
    FILETIME local{};
    WORD dosDate = 0, dosTime = 0;
    if (!FileTimeToLocalFileTime(&real, &local)) {
      EXPECT_EQ(value, NullDate()) << std::hex << t;
      continue;
    }
    if (!BeforeDosEnd((static_cast<std::uint64_t>(local.dwHighDateTime) << 32) |
                      local.dwLowDateTime)) {
      continue;
    }
    if (!FileTimeToDosDateTime(&local, &dosDate, &dosTime)) {
      EXPECT_EQ(value, NullDate()) << std::hex << t;
      continue;
    }
    ++dates;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, ms = 0;
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, minute, second, ms);
    EXPECT_EQ(year, (dosDate >> 9) + 1980) << std::hex << t;
    EXPECT_EQ(month, (dosDate >> 5) & 0x0F) << std::hex << t;
    EXPECT_EQ(day, dosDate & 0x1F) << std::hex << t;
    EXPECT_EQ(hour, dosTime >> 11) << std::hex << t;
    EXPECT_EQ(minute, (dosTime >> 5) & 0x3F) << std::hex << t;
    EXPECT_EQ(second, 2 * (dosTime & 0x1F)) << std::hex << t;
    EXPECT_EQ(ms, 0);
  }
  EXPECT_GT(dates, 1000);
}

TEST(WindowsLocaleText, UpperCasesAccentedLetters) {
  const auto locale = MakeWindowsLocaleText();
  EXPECT_EQ(locale->UpperCase("\xE9t\xE9 kb123"), "\xC9T\xC9 KB123");
  EXPECT_EQ(locale->UpperCase(""), "");
  EXPECT_EQ(locale->UpperCase(std::string(10000, 'a')), std::string(10000, 'A'));
  const std::string withNul("a\0b", 3);
  EXPECT_EQ(locale->UpperCase(withNul), std::string("A\0B", 3));
}

TEST(WindowsLocaleText, ComparesWithTheUserLocale) {
  const auto locale = MakeWindowsLocaleText();
  EXPECT_EQ(locale->Compare("abc", "ABC"), -1);
  EXPECT_EQ(locale->Compare("ABC", "abc"), 1);
  EXPECT_EQ(locale->Compare("abc", "abc"), 0);
  EXPECT_EQ(locale->Compare("", ""), 0);
  EXPECT_EQ(locale->Compare("", "a"), -1);
  EXPECT_EQ(locale->Compare("a", "B"), -1);
  EXPECT_EQ(locale->Compare("\xC9T\xC9", "ETUDE"), -1);  // É sorts with E, not after Z
  const std::string longA(10000, 'a'), longB(10000, 'b');
  EXPECT_EQ(locale->Compare(longA, longB), -1);
}

TEST(WindowsLocaleText, ReadsTheDateAndTimeFormats) {
  const TFormatSettings s = MakeWindowsLocaleText()->FormatSettings();
  EXPECT_NE(s.ShortDateFormat.find(s.DateSeparator), std::string::npos) << s.ShortDateFormat;
  EXPECT_NE(s.LongTimeFormat.find(s.TimeSeparator), std::string::npos) << s.LongTimeFormat;
  EXPECT_EQ(s.ShortDateFormat.find('\0'), std::string::npos);
  for (const auto& name : s.LongMonthNames) EXPECT_FALSE(name.empty());
  for (const auto& name : s.ShortMonthNames) EXPECT_FALSE(name.empty());
  for (const auto& name : s.LongDayNames) EXPECT_FALSE(name.empty());
  // Sunday first, whatever the locale's language: its name differs from Monday's.
  EXPECT_NE(s.LongDayNames[0], s.LongDayNames[1]);

  char sunday[80] = {};
  ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDAYNAME7, sunday, sizeof sunday), 0);
  EXPECT_EQ(s.LongDayNames[0], sunday);
  char shortDate[80] = {};
  ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, shortDate, sizeof shortDate), 0);
  EXPECT_EQ(s.ShortDateFormat, shortDate);
}

// What the scan writes with the user's formats, the date column reads back.
TEST(WindowsLocaleText, DatesWrittenWithTheUserFormatReadBack) {
  const TFormatSettings s = MakeWindowsLocaleText()->FormatSettings();
  for (const auto& [y, m, d] : {std::tuple{2013, 3, 14}, std::tuple{1999, 12, 31},
                                std::tuple{2024, 2, 29}, std::tuple{1980, 1, 1}}) {
    DateTime date = 0;
    ASSERT_TRUE(TryEncodeDate(y, m, d, date));
    const std::string text = DateTimeToString(date, s);
    DateTime read = 0;
    EXPECT_TRUE(TryStrToDate(text, s, 2024, read)) << text;
    EXPECT_EQ(read, date) << text;
  }
}

// The picture syntax as GetDateFormatA and GetTimeFormatA write it, names of the user's locale.
TEST(FormatDateTime, WritesWhatGetDateFormatAndGetTimeFormatWrite) {
  const TFormatSettings s = MakeWindowsLocaleText()->FormatSettings();
  const char* const dateFormats[] = {"M/d/yyyy",       "dd/MM/yyyy", "d.M.yyyy", "dddd d MMMM yyyy",
                                     "ddd, MMM dd yy", "yyyy-MM-dd", "d/M/y",    "yyy ddddd MMMMM",
                                     "'de' d 'it''s'", "d''M"};
  const char* const timeFormats[] = {"h:mm:ss tt", "HH:mm:ss", "H:m:s",
                                     "hh t",       "tt h",     "hhh:mmm:sss ttt"};
  for (const auto& [y, m, d, h, mi, sec] :
       {std::tuple{2013, 3, 4, 13, 5, 9}, std::tuple{2009, 11, 24, 0, 7, 0},
        std::tuple{1999, 12, 31, 12, 0, 59}, std::tuple{2024, 2, 29, 23, 59, 58}}) {
    DateTime date = 0, time = 0;
    ASSERT_TRUE(TryEncodeDate(y, m, d, date));
    ASSERT_TRUE(TryEncodeTime(h, mi, sec, 0, time));
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    st.wDayOfWeek = static_cast<WORD>(DayOfWeek(date) - 1);
    st.wHour = static_cast<WORD>(h);
    st.wMinute = static_cast<WORD>(mi);
    st.wSecond = static_cast<WORD>(sec);
    char buffer[256] = {};
    for (const char* format : dateFormats) {
      ASSERT_GT(GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, format, buffer, sizeof buffer), 0);
      EXPECT_EQ(FormatDateTime(format, date + time, s), buffer) << format;
    }
    for (const char* format : timeFormats) {
      ASSERT_GT(GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, format, buffer, sizeof buffer), 0);
      EXPECT_EQ(FormatDateTime(format, date + time, s), buffer) << format;
    }
  }
}

}  // namespace
