#include "inventory/date_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "fixed_offset_time_zone.h"

namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000;

struct Calendar {
  int year, month, day, hour, minute, second;
};

// File time of a calendar moment, counted through the day numbers of DateTime.
FileTime MakeFileTime(const Calendar& c, std::uint64_t extraTicks = 0) {
  DateTime day = 0, epoch = 0;
  EXPECT_TRUE(TryEncodeDate(c.year, c.month, c.day, day));
  EXPECT_TRUE(TryEncodeDate(1601, 1, 1, epoch));
  const auto days = static_cast<std::uint64_t>(std::llround(day - epoch));
  const std::uint64_t ticks = ((days * 24 + c.hour) * 60 + c.minute) * 60 * kTicksPerSecond +
                              static_cast<std::uint64_t>(c.second) * kTicksPerSecond + extraTicks;
  FileTime ft;
  ft.dwLowDateTime = static_cast<std::uint32_t>(ticks);
  ft.dwHighDateTime = static_cast<std::uint32_t>(ticks >> 32);
  return ft;
}

std::string Hex16(FileTime ft, bool upper) {
  char text[17];
  std::snprintf(text, sizeof text, upper ? "%08X%08X" : "%08x%08x",
                static_cast<unsigned>(ft.dwHighDateTime), static_cast<unsigned>(ft.dwLowDateTime));
  return text;
}

Calendar Decode(DateTime value) {
  Calendar c{};
  int ms = 0;
  DecodeDate(value, c.year, c.month, c.day);
  DecodeTime(value, c.hour, c.minute, c.second, ms);
  return c;
}

void ExpectCalendar(DateTime value, const Calendar& expected) {
  const Calendar c = Decode(value);
  EXPECT_EQ(c.year, expected.year);
  EXPECT_EQ(c.month, expected.month);
  EXPECT_EQ(c.day, expected.day);
  EXPECT_EQ(c.hour, expected.hour);
  EXPECT_EQ(c.minute, expected.minute);
  EXPECT_EQ(c.second, expected.second);
}

// Hands over what it receives and shifts it; remembers the last time asked for.
class RecordingTimeZone : public TimeZone {
 public:
  explicit RecordingTimeZone(bool succeed = true) : succeed_(succeed) {}
  bool UtcToLocal(FileTime utc, FileTime& local) override {
    received = utc;
    ++calls;
    local = utc;
    return succeed_;
  }
  FileTime received;
  int calls = 0;

 private:
  bool succeed_;
};

TEST(DateTime, NullDateIsOneDayBeforeTheFirstDate) {
  EXPECT_EQ(NullDate(), -693594.0);
  DateTime first = 0;
  ASSERT_TRUE(TryEncodeDate(1, 1, 1, first));
  EXPECT_EQ(first, NullDate() + 1);
}

TEST(DateTime, EncodesDaysFrom30December1899) {
  const struct {
    int year, month, day;
    double expected;
  } cases[] = {
      {1899, 12, 30, 0},       {1899, 12, 29, -1},   {1900, 1, 1, 2},
      {2013, 3, 14, 41347},    {2000, 2, 29, 36585}, {1, 1, 1, -693593},
      {9999, 12, 31, 2958465}, {1980, 1, 1, 29221},  {2107, 12, 31, 75971},
  };
  for (const auto& c : cases) {
    DateTime value = 0;
    ASSERT_TRUE(TryEncodeDate(c.year, c.month, c.day, value)) << c.year << "-" << c.month;
    EXPECT_EQ(value, c.expected) << c.year << "-" << c.month << "-" << c.day;
  }
}

TEST(DateTime, RefusesDatesThatDoNotExist) {
  const struct {
    int year, month, day;
  } cases[] = {
      {0, 1, 1},     {10000, 1, 1}, {-1, 1, 1},    {2013, 0, 1},  {2013, 13, 1},
      {2013, 1, 0},  {2013, 1, 32}, {2013, 2, 29}, {1900, 2, 29}, {2100, 2, 29},
      {2013, 4, 31}, {2013, -3, 1}, {2013, 3, -1},
  };
  for (const auto& c : cases) {
    DateTime value = 123.0;
    EXPECT_FALSE(TryEncodeDate(c.year, c.month, c.day, value)) << c.year << "-" << c.month;
    EXPECT_EQ(value, 123.0);
  }
}

TEST(DateTime, EveryDayOfTheCalendarDecodesToItself) {
  DateTime previous = NullDate();
  for (int year = 1; year <= 9999; ++year) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= 31; ++day) {
        DateTime value = 0;
        if (!TryEncodeDate(year, month, day, value)) continue;
        ASSERT_EQ(value, previous + 1) << year << "-" << month << "-" << day;
        previous = value;
        int y = 0, m = 0, d = 0;
        DecodeDate(value, y, m, d);
        ASSERT_TRUE(y == year && m == month && d == day) << year << "-" << month << "-" << day;
      }
    }
  }
}

TEST(DateTime, EncodesAndDecodesTimes) {
  const struct {
    int hour, minute, second, ms;
    double expected;
  } cases[] = {
      {0, 0, 0, 0, 0.0},
      {12, 0, 0, 0, 0.5},
      {18, 0, 0, 0, 0.75},
      {6, 0, 0, 0, 0.25},
      {23, 59, 59, 999, 86399999.0 / 86400000.0},
  };
  for (const auto& c : cases) {
    DateTime value = 0;
    ASSERT_TRUE(TryEncodeTime(c.hour, c.minute, c.second, c.ms, value));
    EXPECT_DOUBLE_EQ(value, c.expected);
    int h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(41347 + value, h, m, s, ms);
    EXPECT_TRUE(h == c.hour && m == c.minute && s == c.second && ms == c.ms) << c.expected;
  }
  DateTime unused = 0;
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, unused));
  EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, unused));
  EXPECT_FALSE(TryEncodeTime(0, 0, 60, 0, unused));
  EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, unused));
  EXPECT_FALSE(TryEncodeTime(-1, 0, 0, 0, unused));
}

TEST(DateTime, ValuesBefore1899KeepTheFractionAsTimeOfDay) {
  ExpectCalendar(-1.25, {1899, 12, 29, 6, 0, 0});
  ExpectCalendar(-0.75, {1899, 12, 30, 18, 0, 0});
  ExpectCalendar(-693593.5, {1, 1, 1, 12, 0, 0});
  ExpectCalendar(41347.5, {2013, 3, 14, 12, 0, 0});
}

TEST(DateTime, NullDateAndImpossibleValuesDecodeToZeros) {
  const double cases[] = {NullDate(),
                          NullDate() - 1,
                          2958466.0,
                          1.0e300,
                          -1.0e300,
                          std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()};
  for (const double value : cases) {
    int y = -1, m = -1, d = -1;
    DecodeDate(value, y, m, d);
    EXPECT_TRUE(y == 0 && m == 0 && d == 0) << value;
    EXPECT_EQ(DayOfWeek(value), 0) << value;
  }
  ExpectCalendar(NullDate(), {0, 0, 0, 0, 0, 0});
}

TEST(DateTime, DayOfWeekCountsFromSunday) {
  const struct {
    int year, month, day, expected;
  } cases[] = {
      {2013, 3, 14, 5}, {1899, 12, 30, 7}, {1899, 12, 31, 1},
      {1, 1, 1, 2},     {2000, 1, 1, 7},   {9999, 12, 31, 6},
  };
  for (const auto& c : cases) {
    DateTime value = 0;
    ASSERT_TRUE(TryEncodeDate(c.year, c.month, c.day, value));
    EXPECT_EQ(DayOfWeek(value), c.expected) << c.year << "-" << c.month << "-" << c.day;
    // The time of day does not move the day: forward from the day after 1899, backward before.
    const double lateInTheDay = value < 0 ? value - 0.99 : value + 0.99;
    EXPECT_EQ(DayOfWeek(lateInTheDay), c.expected) << c.year << "-" << c.month << "-" << c.day;
  }
}

TEST(FileTimeToDosDateTime, CoversYears1980To2107WithEvenSeconds) {
  const struct {
    Calendar at;
    std::uint64_t extraTicks;
    bool ok;
    unsigned short date, time;
  } cases[] = {
      {{1980, 1, 1, 0, 0, 0}, 0, true, 0x0021, 0x0000},
      {{1979, 12, 31, 23, 59, 59}, 9999999, false, 0, 0},
      {{2107, 12, 31, 23, 59, 59},
       9999999,
       true,
       (127 << 9) | (12 << 5) | 31,
       (23 << 11) | (59 << 5) | 29},
      {{2108, 1, 1, 0, 0, 0}, 0, false, 0, 0},
      {{2013, 3, 14, 0, 0, 1}, 0, true, (33 << 9) | (3 << 5) | 14, 0},
      {{2013, 3, 14, 13, 45, 31},
       9999999,
       true,
       (33 << 9) | (3 << 5) | 14,
       (13 << 11) | (45 << 5) | 15},
      {{1601, 1, 1, 0, 0, 0}, 0, false, 0, 0},
  };
  for (const auto& c : cases) {
    unsigned short date = 0xFFFF, time = 0xFFFF;
    const bool ok = FileTimeToDosDateTime(MakeFileTime(c.at, c.extraTicks), date, time);
    EXPECT_EQ(ok, c.ok) << c.at.year;
    if (ok && c.ok) {
      EXPECT_EQ(date, c.date) << c.at.year;
      EXPECT_EQ(time, c.time) << c.at.year;
    }
  }
}

TEST(FileTimeToDosDateTime, RefusesFileTimesWithTheTopBitSet) {
  unsigned short date = 0, time = 0;
  EXPECT_FALSE(FileTimeToDosDateTime(FileTime{0, 0x80000000u}, date, time));
  EXPECT_FALSE(FileTimeToDosDateTime(FileTime{0xFFFFFFFFu, 0xFFFFFFFFu}, date, time));
  EXPECT_FALSE(FileTimeToDosDateTime(FileTime{0xFFFFFFFFu, 0x7FFFFFFFu}, date, time));
}

TEST(FileTimeToLocalDateTime, AppliesTheZoneThenTheDosRules) {
  const struct {
    int offsetMinutes;
    Calendar utc;
    Calendar expected;
  } cases[] = {
      {0, {2013, 3, 14, 10, 20, 31}, {2013, 3, 14, 10, 20, 30}},
      {60, {2013, 3, 14, 23, 30, 0}, {2013, 3, 15, 0, 30, 0}},
      {-300, {2013, 3, 1, 2, 0, 0}, {2013, 2, 28, 21, 0, 0}},
      {60, {1979, 12, 31, 23, 30, 0}, {1980, 1, 1, 0, 30, 0}},
      {-60, {1980, 1, 1, 0, 30, 0}, {0, 0, 0, 0, 0, 0}},
      {0, {2107, 12, 31, 23, 59, 59}, {2107, 12, 31, 23, 59, 58}},
      {60, {2107, 12, 31, 23, 30, 0}, {0, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    FixedOffsetTimeZone zone(c.offsetMinutes);
    const DateTime value = FileTimeToLocalDateTime(MakeFileTime(c.utc), zone);
    SCOPED_TRACE(c.utc.year);
    if (c.expected.year == 0) {
      EXPECT_EQ(value, NullDate());
    } else {
      ExpectCalendar(value, c.expected);
    }
  }
}

TEST(FileTimeToLocalDateTime, AFailingZoneGivesNullDate) {
  RecordingTimeZone zone(false);
  EXPECT_EQ(FileTimeToLocalDateTime(MakeFileTime({2013, 3, 14, 0, 0, 0}), zone), NullDate());
  EXPECT_EQ(zone.calls, 1);
}

TEST(DecodeInstalledOn, MalformedTextsGiveNullDate) {
  const std::string cases[] = {
      "",
      "01CE20E6F8A0A00",
      "01CE20E6F8A0A0000",
      "01CE20E6 8A0A000",
      "01CE20E6G8A0A000",
      "0x01CE20E6F8A0A0",
      "+1CE20E6F8A0A000",
      "-1CE20E6F8A0A000",
      "01CE20E6F8A0A00 ",
      " 01CE20E6F8A0A00",
      std::string(16, '\xE9'),
      std::string("01CE20E6\0F8A0A00", 16),
      "0000000000000000",
      "3/14/2013 00:00:",
      std::string(10000, 'A'),
  };
  for (const auto& text : cases) {
    RecordingTimeZone zone;
    EXPECT_EQ(DecodeInstalledOn(text, zone), NullDate()) << text.substr(0, 20);
  }
}

TEST(DecodeInstalledOn, ReadsHighThenLowHalfInEitherCase) {
  const FileTime utc = MakeFileTime({2013, 3, 14, 10, 20, 31}, 1234567);
  for (const bool upper : {true, false}) {
    const std::string text = Hex16(utc, upper);
    ASSERT_EQ(text.size(), 16u);
    RecordingTimeZone zone;
    ExpectCalendar(DecodeInstalledOn(text, zone), {2013, 3, 14, 10, 20, 30});
    EXPECT_EQ(zone.received.dwHighDateTime, utc.dwHighDateTime) << text;
    EXPECT_EQ(zone.received.dwLowDateTime, utc.dwLowDateTime) << text;
  }
}

// 0x01CE20E6F8A0A000 is 14 March 2013, 19:06:02.6 UTC.
TEST(DecodeInstalledOn, MixedCaseInTheLocalZone) {
  FixedOffsetTimeZone zone(120);
  ExpectCalendar(DecodeInstalledOn("01Ce20e6F8a0A000", zone), {2013, 3, 14, 21, 6, 2});
}

TEST(DecodeInstalledOn, AHighHalfWithTheTopBitSetIsUnsigned) {
  RecordingTimeZone zone;
  EXPECT_EQ(DecodeInstalledOn("FFFFFFFF00000001", zone), NullDate());
  EXPECT_EQ(zone.received.dwHighDateTime, 0xFFFFFFFFu);
  EXPECT_EQ(zone.received.dwLowDateTime, 1u);
  EXPECT_EQ(DecodeInstalledOn("80000000FFFFFFFF", zone), NullDate());
  EXPECT_EQ(zone.received.dwHighDateTime, 0x80000000u);
  EXPECT_EQ(zone.received.dwLowDateTime, 0xFFFFFFFFu);
}

TEST(DecodeInstalledOn, TimesBeforeTheDosRangeGiveNullDate) {
  FixedOffsetTimeZone zone(0);
  EXPECT_EQ(DecodeInstalledOn(Hex16(MakeFileTime({1979, 12, 31, 23, 59, 58}), true), zone),
            NullDate());
  EXPECT_EQ(DecodeInstalledOn(Hex16(MakeFileTime({2108, 1, 1, 0, 0, 0}), true), zone), NullDate());
  ExpectCalendar(DecodeInstalledOn(Hex16(MakeFileTime({1980, 1, 1, 0, 0, 1}), true), zone),
                 {1980, 1, 1, 0, 0, 0});
}

}  // namespace
