#pragma once
// The user's locale as the program needs it: upper-casing, collation, the date and time
// formats, and the system's 8-bit code page, in which its texts are, to and from UTF-8. The Windows
// adapter calls CharUpperBuffA, CompareStringA, LCMapStringA and GetLocaleInfoA; the tests have one
// of code page 1252.
#include <array>
#include <string>
#include <string_view>

// Date and time format settings, in the Windows picture syntax (d, dd, M, MM, yyyy, HH, tt...).
struct TFormatSettings {
  char DateSeparator = '/';
  char TimeSeparator = ':';
  std::string ShortDateFormat = "M/d/yyyy";
  std::string LongTimeFormat = "h:mm:ss tt";
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";
  std::array<std::string, 12> ShortMonthNames{};
  std::array<std::string, 12> LongMonthNames{};
  std::array<std::string, 7> ShortDayNames{};  // Sunday first
  std::array<std::string, 7> LongDayNames{};
  bool operator==(const TFormatSettings&) const = default;
};

class LocaleText {
 public:
  virtual ~LocaleText() = default;
  virtual std::string UpperCase(std::string_view text) = 0;
  // Locale-aware comparison of the user's default locale, no options: -1, 0 or +1.
  virtual int Compare(std::string_view a, std::string_view b) = 0;
  // Appends the collation's binary key of `text` to `keys`. Two texts' keys, compared byte by
  // byte as unsigned (memcmp, the shorter first when one is the other's beginning), are meant to
  // order them as Compare does, equal keys for texts Compare finds equal. A caller that needs the
  // exact Compare order still checks the keys against Compare. False, `keys` unchanged, when the
  // locale gives no key for this text.
  virtual bool AppendSortKey(std::string_view text, std::string& keys) = 0;
  virtual TFormatSettings FormatSettings() = 0;  // read afresh from the user's locale
  // A text of the system code page as UTF-8, and back; what the code page lacks becomes the
  // system's replacement character. The one place the two meet.
  virtual std::string ToUtf8(std::string_view text) = 0;
  virtual std::string FromUtf8(std::string_view utf8) = 0;
};
