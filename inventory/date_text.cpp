// Writing dates with the Windows picture formats of the user's locale.
#include "inventory/date_text.h"

#include <cstddef>

namespace {

struct DateFields {
  int year = 0, month = 0, day = 0, dayOfWeek = 0;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

void AppendNumber(std::string& out, int value, int minDigits) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < minDigits) {
    out.append(static_cast<std::size_t>(minDigits) - digits.size(), '0');
  }
  out += digits;
}

// Month 0 and the weekday of NullDate have no name: they write nothing.
template <std::size_t N>
const std::string& NameAt(const std::array<std::string, N>& names, int oneBased) {
  static const std::string kNone;
  return oneBased >= 1 && oneBased <= static_cast<int>(N) ? names[oneBased - 1] : kNone;
}

// Writes one run of `count` equal picture letters; false when the letter is no picture letter.
bool AppendField(std::string& out, char letter, std::size_t count, const DateFields& f,
                 const TFormatSettings& settings) {
  const int width = count >= 2 ? 2 : 1;
  switch (letter) {
    case 'd':
      if (count >= 4) {
        out += NameAt(settings.LongDayNames, f.dayOfWeek);
      } else if (count == 3) {
        out += NameAt(settings.ShortDayNames, f.dayOfWeek);
      } else {
        AppendNumber(out, f.day, width);
      }
      return true;
    case 'M':
      if (count >= 4) {
        out += NameAt(settings.LongMonthNames, f.month);
      } else if (count == 3) {
        out += NameAt(settings.ShortMonthNames, f.month);
      } else {
        AppendNumber(out, f.month, width);
      }
      return true;
    case 'y':
      // y writes two digits like yy, as GetDateFormat does (and yyy the whole year).
      AppendNumber(out, count >= 3 ? f.year : f.year % 100, count >= 3 ? 4 : 2);
      return true;
    case 'h':
      AppendNumber(out, f.hour % 12 == 0 ? 12 : f.hour % 12, width);
      return true;
    case 'H':
      AppendNumber(out, f.hour, width);
      return true;
    case 'm':
      AppendNumber(out, f.minute, width);
      return true;
    case 's':
      AppendNumber(out, f.second, width);
      return true;
    case 't': {
      const std::string& marker = f.hour < 12 ? settings.TimeAMString : settings.TimePMString;
      out += count >= 2 ? marker : marker.substr(0, 1);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

std::string FormatDateTime(std::string_view format, DateTime value,
                           const TFormatSettings& settings) {
  DateFields f;
  DecodeDate(value, f.year, f.month, f.day);
  DecodeTime(value, f.hour, f.minute, f.second, f.millisecond);
  f.dayOfWeek = DayOfWeek(value);

  std::string out;
  std::size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    if (c == '\'') {
      // A quoted literal runs to the next lone quote, or to the end when it is never closed;
      // inside it '' writes a quote, so '' alone writes nothing, as GetDateFormat does.
      ++i;
      while (i < format.size()) {
        if (format[i] == '\'') {
          if (i + 1 < format.size() && format[i + 1] == '\'') {
            out += '\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        out += format[i++];
      }
      continue;
    }
    std::size_t count = 1;
    while (i + count < format.size() && format[i + count] == c) ++count;
    // Whether a letter is a picture letter does not depend on the run's length, so a run of
    // plain characters is copied whole: scanning it again from each of its characters would
    // make long literal texts cost the square of their length.
    if (!AppendField(out, c, count, f, settings)) out.append(count, c);
    i += count;
  }
  return out;
}

std::string DateTimeToString(DateTime value, const TFormatSettings& settings) {
  std::string text = FormatDateTime(settings.ShortDateFormat, value, settings);
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  DecodeTime(value, hour, minute, second, millisecond);
  if (hour != 0 || minute != 0 || second != 0) {
    text += ' ';
    text += FormatDateTime(settings.LongTimeFormat, value, settings);
  }
  return text;
}
