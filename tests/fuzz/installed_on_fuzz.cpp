// WMI's InstalledOn as 16 hexadecimal digits, with any text and any time zone offset: a date
// comes out only for a file time the DOS calendar holds, and it writes as text.
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "inventory/date_text.h"
#include "inventory/fixed_offset_time_zone.h"

namespace {

bool AllHex(const std::string& text) {
  return text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
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
