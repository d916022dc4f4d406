#include "inventory/installed_on_date.h"

#include "inventory/date_text.h"

DateReading ReadDateReading(LocaleText& locale, const std::function<int()>& currentYear) {
  DateReading reading;
  reading.settings = locale.FormatSettings();
  reading.currentYear = currentYear();
  return reading;
}

std::optional<DateTime> InstalledOnDate(std::string_view text, const DateReading& reading) {
  DateTime value = 0;
  if (!TryStrToDate(text, reading.settings, reading.currentYear, value)) return std::nullopt;
  return value;
}
std::string IsoDate(std::string_view installedOn, const TFormatSettings& settings,
                    int currentYear) {
  DateTime date = 0;
  if (!TryStrToDate(installedOn, settings, currentYear, date)) return {};
  int year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  if (year < 1 || year > 9999) return {};
  std::string text = "0000-00-00";
  const auto put = [&](std::size_t end, int value) {
    for (std::size_t i = end; value > 0; --i, value /= 10)
      text[i] = static_cast<char>('0' + value % 10);
  };
  put(3, year);
  put(6, month);
  put(9, day);
  return text;
}
