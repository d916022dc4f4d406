#pragma once
// DateTime: days since 30 December 1899 with the time of day as fraction; NullDate stands for
// a missing date. FileTime and DOS date rules of the record's date routines.
#include <string_view>

#include "inventory/time_zone.h"

using DateTime = double;

DateTime NullDate();  // -693594.0

bool TryEncodeDate(int year, int month, int day, DateTime& result);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, DateTime& result);
// Calendar fields of a DateTime; NullDate gives year 0, month 0, day 0.
void DecodeDate(DateTime value, int& year, int& month, int& day);
void DecodeTime(DateTime value, int& hour, int& minute, int& second, int& millisecond);
// 1 = Sunday ... 7 = Saturday; 0 for a value with no calendar date, such as NullDate.
int DayOfWeek(DateTime value);

// The DOS date and time words of a local file time (years 1980 to 2107, even seconds).
bool FileTimeToDosDateTime(FileTime local, unsigned short& dosDate, unsigned short& dosTime);
DateTime FileTimeToLocalDateTime(FileTime utc, TimeZone& zone);     // NullDate on failure
DateTime DecodeInstalledOn(std::string_view text, TimeZone& zone);  // 16 hex digits
