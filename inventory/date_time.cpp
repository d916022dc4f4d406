#include "inventory/date_time.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr std::int64_t kDateDelta = 693594;  // days from 1 January of year 1 to 30 December 1899
constexpr std::int64_t kMSecsPerDay = 86400000;
constexpr std::int64_t kMaxDay = 3652059;  // 31 December 9999, counted from 1 January 1 as day 1
constexpr std::uint64_t kTicksPerSecond = 10000000;
constexpr std::uint64_t kSecondsPerDay = 86400;
// 1 January 1601 as a day count from 1 January of year 1 (day 1).
constexpr std::int64_t kFileTimeEpochDay = 584389;

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// A DateTime split into its day (1 = 1 January of year 1) and milliseconds of the day. Dates
// before 30 December 1899 keep the time of day as a positive fraction (-1.25 is 29 December,
// 06:00), and rounding to the millisecond can carry into the next day.
struct TimeStamp {
  std::int64_t day = 0;
  std::int64_t msecs = 0;
};

// False for values no calendar can hold (not finite, or far outside years 1..9999), so that the
// integer conversion below never overflows.
bool ToTimeStamp(DateTime value, TimeStamp& stamp) {
  if (!std::isfinite(value) || std::fabs(value) > 1.0e7) return false;
  const auto total = static_cast<std::int64_t>(std::llround(value * kMSecsPerDay));
  stamp.day = kDateDelta + total / kMSecsPerDay;  // truncates toward zero, as the day part does
  stamp.msecs = (total < 0 ? -total : total) % kMSecsPerDay;
  return true;
}

// Days from 1 January of year 1 (day 1) to the given date.
std::int64_t DayNumber(int year, int month, int day) {
  std::int64_t dayOfYear = day;
  for (int m = 1; m < month; ++m) dayOfYear += DaysInMonth(year, m);
  const std::int64_t y = year - 1;
  return y * 365 + y / 4 - y / 100 + y / 400 + dayOfYear;
}

void DayToCalendar(std::int64_t dayNumber, int& year, int& month, int& day) {
  std::int64_t t = dayNumber - 1;
  constexpr std::int64_t kD1 = 365, kD4 = kD1 * 4 + 1, kD100 = kD4 * 25 - 1, kD400 = kD100 * 4 + 1;
  std::int64_t y = 1 + (t / kD400) * 400;
  t %= kD400;
  std::int64_t centuries = t / kD100;
  t %= kD100;
  if (centuries == 4) {  // the last day of a 400-year cycle
    centuries = 3;
    t += kD100;
  }
  y += centuries * 100;
  y += (t / kD4) * 4;
  t %= kD4;
  std::int64_t years = t / kD1;
  t %= kD1;
  if (years == 4) {  // the last day of a leap year
    years = 3;
    t += kD1;
  }
  y += years;
  year = static_cast<int>(y);
  month = 1;
  while (t >= DaysInMonth(year, month)) {
    t -= DaysInMonth(year, month);
    ++month;
  }
  day = static_cast<int>(t) + 1;
}

}  // namespace

DateTime NullDate() {
  return -static_cast<double>(kDateDelta);
}

bool TryEncodeDate(int year, int month, int day, DateTime& result) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  if (day > DaysInMonth(year, month)) return false;
  result = static_cast<double>(DayNumber(year, month, day) - kDateDelta);
  return true;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, DateTime& result) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      millisecond < 0 || millisecond > 999) {
    return false;
  }
  const std::int64_t msecs = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
  result = static_cast<double>(msecs) / kMSecsPerDay;
  return true;
}

void DecodeDate(DateTime value, int& year, int& month, int& day) {
  year = month = day = 0;
  TimeStamp stamp;
  if (!ToTimeStamp(value, stamp) || stamp.day < 1 || stamp.day > kMaxDay) return;
  DayToCalendar(stamp.day, year, month, day);
}

void DecodeTime(DateTime value, int& hour, int& minute, int& second, int& millisecond) {
  hour = minute = second = millisecond = 0;
  TimeStamp stamp;
  if (!ToTimeStamp(value, stamp)) return;
  std::int64_t ms = stamp.msecs;
  millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  second = static_cast<int>(ms % 60);
  ms /= 60;
  minute = static_cast<int>(ms % 60);
  hour = static_cast<int>(ms / 60);
}

int DayOfWeek(DateTime value) {
  TimeStamp stamp;
  if (!ToTimeStamp(value, stamp) || stamp.day < 1 || stamp.day > kMaxDay) return 0;
  return static_cast<int>(stamp.day % 7) + 1;  // day 1 (1 January of year 1) was a Monday
}

bool FileTimeToDosDateTime(FileTime local, unsigned short& dosDate, unsigned short& dosTime) {
  const std::uint64_t ticks =
      (static_cast<std::uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
  // Windows refuses file times whose top bit is set; they are no time at all.
  if (ticks > static_cast<std::uint64_t>(INT64_MAX)) return false;
  const std::uint64_t seconds = ticks / kTicksPerSecond;
  const auto dayNumber = static_cast<std::int64_t>(seconds / kSecondsPerDay) + kFileTimeEpochDay;
  if (dayNumber > kMaxDay) return false;
  int year = 0, month = 0, day = 0;
  DayToCalendar(dayNumber, year, month, day);
  if (year < 1980 || year > 2107) return false;
  const auto secondOfDay = static_cast<unsigned>(seconds % kSecondsPerDay);
  const unsigned hour = secondOfDay / 3600, minute = secondOfDay / 60 % 60,
                 second = secondOfDay % 60;
  dosDate = static_cast<unsigned short>(((year - 1980) << 9) | (month << 5) | day);
  dosTime = static_cast<unsigned short>((hour << 11) | (minute << 5) | (second / 2));
  return true;
}

DateTime FileTimeToLocalDateTime(FileTime utc, TimeZone& zone) {
  FileTime local;
  unsigned short dosDate = 0, dosTime = 0;
  if (!zone.UtcToLocal(utc, local) || !FileTimeToDosDateTime(local, dosDate, dosTime)) {
    return NullDate();
  }
  DateTime date = 0, time = 0;
  if (!TryEncodeDate((dosDate >> 9) + 1980, (dosDate >> 5) & 0x0F, dosDate & 0x1F, date) ||
      !TryEncodeTime(dosTime >> 11, (dosTime >> 5) & 0x3F, 2 * (dosTime & 0x1F), 0, time)) {
    return NullDate();
  }
  return date + time;  // every DOS date lies after 1899, where the time simply adds
}

DateTime DecodeInstalledOn(std::string_view text, TimeZone& zone) {
  if (text.size() != 16) return NullDate();
  std::uint32_t halves[2] = {0, 0};  // high half first, as the text writes the number
  for (std::size_t i = 0; i < 16; ++i) {
    const char c = text[i];
    std::uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<std::uint32_t>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<std::uint32_t>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<std::uint32_t>(c - 'A' + 10);
    } else {
      return NullDate();
    }
    halves[i / 8] = (halves[i / 8] << 4) | digit;
  }
  FileTime utc;
  utc.dwHighDateTime = halves[0];
  utc.dwLowDateTime = halves[1];
  return FileTimeToLocalDateTime(utc, zone);
}
