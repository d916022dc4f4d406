// Dates as texts with any locale: FormatDateTime over any picture format, day and month names
// and value (not finite and far out of range included), TryStrToDate over any text, separator
// and short date format. A date read is a real calendar date and writes back as itself.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "fuzz_support.h"
#include "inventory/date_text.h"

namespace {

DateTime AnyValue(FuzzedDataProvider& data) {
  switch (data.ConsumeIntegralInRange<int>(0, 5)) {
    case 0:
      return NullDate();
    case 1:
      return std::numeric_limits<double>::quiet_NaN();
    case 2:
      return data.ConsumeBool() ? std::numeric_limits<double>::infinity()
                                : -std::numeric_limits<double>::infinity();
    case 3:
      return data.ConsumeFloatingPoint<double>();
    default:
      return data.ConsumeFloatingPointInRange<double>(-700000.0, 3000000.0);
  }
}

TFormatSettings AnySettings(FuzzedDataProvider& data) {
  TFormatSettings settings;
  settings.DateSeparator = data.ConsumeIntegral<char>();
  settings.TimeSeparator = data.ConsumeIntegral<char>();
  settings.ShortDateFormat = fuzz::Text(data, 40);
  settings.LongTimeFormat = fuzz::Text(data, 40);
  settings.TimeAMString = fuzz::Text(data, 12);
  settings.TimePMString = fuzz::Text(data, 12);
  if (data.ConsumeBool()) {
    for (auto* names : {&settings.ShortMonthNames, &settings.LongMonthNames}) {
      for (std::string& name : *names) name = fuzz::Text(data, 20);
    }
    for (auto* names : {&settings.ShortDayNames, &settings.LongDayNames}) {
      for (std::string& name : *names) name = fuzz::Text(data, 20);
    }
  }
  return settings;
}

std::size_t LongestName(const TFormatSettings& s) {
  std::size_t longest = std::max(s.TimeAMString.size(), s.TimePMString.size());
  for (const auto& names : {s.ShortMonthNames, s.LongMonthNames}) {
    for (const std::string& name : names) longest = std::max(longest, name.size());
  }
  for (const auto& names : {s.ShortDayNames, s.LongDayNames}) {
    for (const std::string& name : names) longest = std::max(longest, name.size());
  }
  return longest;
}

void CheckFormat(const std::string& format, DateTime value, const TFormatSettings& settings) {
  const std::string text = FormatDateTime(format, value, settings);
  // Each run of picture letters writes at most four digits or one name.
  FUZZ_CHECK(text.size() <= format.size() * std::max<std::size_t>(4, LongestName(settings)));
  if (format.find_first_of("dMyhHmst'") == std::string::npos) FUZZ_CHECK(text == format);
  const std::string both = DateTimeToString(value, settings);
  FUZZ_CHECK(both.compare(0, FormatDateTime(settings.ShortDateFormat, value, settings).size(),
                          FormatDateTime(settings.ShortDateFormat, value, settings)) == 0);
}

bool IsPlainSeparator(char c) {
  return !(c >= '0' && c <= '9') && c != ' ' &&
         std::string("dMyhHmst'").find(c) == std::string::npos;
}

void CheckRead(const std::string& text, const TFormatSettings& settings, int currentYear) {
  DateTime date = -1.5;
  if (!TryStrToDate(text, settings, currentYear, date)) return;
  FUZZ_CHECK(std::isfinite(date));
  FUZZ_CHECK(date == std::floor(date));  // midnight
  int year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  FUZZ_CHECK(year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= 31);
  DateTime again = 0;
  FUZZ_CHECK(TryEncodeDate(year, month, day, again) && again == date);

  // Written in the order the format reads, with its separator, the date reads back.
  const char sep = settings.DateSeparator;
  if (!IsPlainSeparator(sep)) return;
  std::string picture;
  switch (GetDateOrder(settings.ShortDateFormat)) {
    case TDateOrder::doMDY:
      picture = std::string("M") + sep + "d" + sep + "yyyy";
      break;
    case TDateOrder::doDMY:
      picture = std::string("d") + sep + "M" + sep + "yyyy";
      break;
    case TDateOrder::doYMD:
      picture = std::string("yyyy") + sep + "M" + sep + "d";
      break;
  }
  const std::string written = FormatDateTime(picture, date, settings);
  DateTime reread = 0;
  FUZZ_CHECK(TryStrToDate(written, settings, currentYear, reread));
  FUZZ_CHECK(reread == date);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const TFormatSettings settings = AnySettings(data);
  const DateTime value = AnyValue(data);
  const int currentYear = data.ConsumeBool() ? 2026 : data.ConsumeIntegral<int>();
  const std::string text = fuzz::MaybeHuge(data, 200);
  CheckFormat(text, value, settings);
  CheckRead(text, settings, currentYear);
  return 0;
}
