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
