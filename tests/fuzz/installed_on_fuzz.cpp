// WMI's InstalledOn as 16 hexadecimal digits, with any text and any time zone offset: a date
// comes out only for a file time the DOS calendar holds, and it writes as text. Half the inputs
// are the file time of a local time drawn in that calendar, which must come back to the second
// (rounded down to an even one).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz_support.h"
#include "inventory/date_text.h"
#include "fixed_offset_time_zone.h"

namespace {

bool AllHex(const std::string& text) {
  return text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

// Days from 1 January 1601 to the given day of the proleptic Gregorian calendar.
std::int64_t DaysSince1601(int year, int month, int day) {
  static const int kBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  const int y = year - 1601;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return 365LL * y + y / 4 - y / 100 + y / 400 + kBefore[month - 1] + (leap && month > 2) +
         (day - 1);
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return kDays[month - 1] + (leap && month == 2);
}

void CheckKnownLocalTime(FuzzedDataProvider& data) {
  const int minutes = data.ConsumeIntegralInRange<int>(-1440, 1440);
  const int year = data.ConsumeIntegralInRange<int>(1980, 2107);
  const int month = data.ConsumeIntegralInRange<int>(1, 12);
  const int day = data.ConsumeIntegralInRange<int>(1, DaysInMonth(year, month));
  const int hour = data.ConsumeIntegralInRange<int>(0, 23);
  const int minute = data.ConsumeIntegralInRange<int>(0, 59);
  const int second = data.ConsumeIntegralInRange<int>(0, 59);
  const int ticksInSecond = data.ConsumeIntegralInRange<int>(0, 9999999);
  const bool upperCase = data.ConsumeBool();

  const std::int64_t localSeconds =
      DaysSince1601(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
  const std::int64_t utcTicks =
      (localSeconds - static_cast<std::int64_t>(minutes) * 60) * 10000000 + ticksInSecond;
  char text[17];
  std::snprintf(text, sizeof text, upperCase ? "%016llX" : "%016llx",
                static_cast<unsigned long long>(utcTicks));
  FixedOffsetTimeZone zone(minutes);
  const DateTime date = DecodeInstalledOn(text, zone);
  FUZZ_CHECK(date != NullDate());
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  DecodeDate(date, y, mo, d);
  DecodeTime(date, h, mi, s, ms);
  FUZZ_CHECK(y == year && mo == month && d == day);
  FUZZ_CHECK(h == hour && mi == minute && s == second / 2 * 2 && ms == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  if (size > 0 && bytes[0] % 2 == 0) {
    data.ConsumeIntegral<std::uint8_t>();
    CheckKnownLocalTime(data);
    return 0;
  }
  // Up to a day either way, beyond any real zone, so the edges of the range are reached.
  FixedOffsetTimeZone zone(data.ConsumeIntegralInRange<int>(-1440, 1440));
  std::string text = data.ConsumeRemainingBytesAsString();
  if (text.size() > 16 && text.size() < 40) text.resize(16);

  const DateTime date = DecodeInstalledOn(text, zone);
  if (text.size() != 16 || !AllHex(text)) {
    FUZZ_CHECK(date == NullDate());
    return 0;
  }
  if (date == NullDate()) return 0;
  FUZZ_CHECK(std::isfinite(date));
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
  DecodeDate(date, year, month, day);
  DecodeTime(date, hour, minute, second, millisecond);
  // The DOS calendar: 1980 to 2107, even seconds.
  FUZZ_CHECK(year >= 1980 && year <= 2107);
  FUZZ_CHECK(month >= 1 && month <= 12 && day >= 1 && day <= 31);
  FUZZ_CHECK(hour <= 23 && minute <= 59 && second <= 58 && second % 2 == 0 && millisecond == 0);

  TFormatSettings french;
  french.ShortDateFormat = "dd/MM/yyyy";
  french.LongTimeFormat = "HH:mm:ss";
  const std::string shown = DateTimeToString(date, french).substr(0, 10);
  FUZZ_CHECK(shown.size() == 10 && shown[2] == '/' && shown[5] == '/');
  return 0;
}
