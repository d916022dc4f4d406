#pragma once
// Dates as texts: writing with the locale's picture formats and reading the way the scan and the
// date column read them.
#include <string>
#include <string_view>

#include "Systeme/locale_text.h"
#include "inventory/date_time.h"

// Short date format, then a blank and the long time format when the time is not 00:00:00.
std::string DateTimeToString(DateTime value, const TFormatSettings& settings);
// Writes one Windows picture format (d, dd, ddd, dddd, M..MMMM, y, yy, yyyy, h, hh, H, HH, m, mm,
// s, ss, t, tt, quoted literals).
std::string FormatDateTime(std::string_view format, DateTime value,
                           const TFormatSettings& settings);
// Reads "n sep n [sep n] [sep]" in the order the short date format gives (its first D, E, M or
// Y letter); blanks before numbers and separators; the date must exist; time 00:00:00.
bool TryStrToDate(std::string_view text, const TFormatSettings& settings, int currentYear,
                  DateTime& result);

// The order of a date's numbers in a short date format: its first letter D, E, M or Y in either
// case decides (E, the era year, reads as Y); month, day, year when there is none. The scan reads
// with "M/J/A", whose M gives month, day, year.
enum class TDateOrder { doMDY, doDMY, doYMD };
TDateOrder GetDateOrder(std::string_view shortDateFormat);
