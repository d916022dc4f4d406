#pragma once
// Reading an "Installé le" text back as a date, as the date column's sort and the exports do.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "Systeme/locale_text.h"
#include "inventory/date_time.h"

// What reading an "Installé le" text needs: the user's short date format and the year that
// completes a date written without one.
struct DateReading {
  TFormatSettings settings;
  int currentYear = 0;
  bool operator==(const DateReading&) const = default;
};

// The locale's formats and this year. Raises whatever the locale port raises.
DateReading ReadDateReading(LocaleText& locale, const std::function<int()>& currentYear);

// The date a row's text reads as; none when it holds no date or something after it.
std::optional<DateTime> InstalledOnDate(std::string_view text, const DateReading& reading);

// The row's "Installé le" text as yyyy-mm-dd, read with the user's short date format the way
// the date column reads it; empty when it does not read as a date.
std::string IsoDate(std::string_view installedOn, const TFormatSettings& settings, int currentYear);
