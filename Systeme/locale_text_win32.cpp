#include "Systeme/locale_text_win32.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>

namespace {

// Only the ANSI calls that Windows XP exports: the *Ex locale calls came with Vista.
std::string LocaleInfo(LCTYPE type, const char* fallback) {
  const int size = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, nullptr, 0);
  if (size > 0) {
    std::string value(static_cast<std::size_t>(size), '\0');
    const int written = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, value.data(), size);
    if (written > 0) {
      value.resize(static_cast<std::size_t>(written - 1));  // the count includes the NUL
      return value;
    }
  }
  return fallback;
}

char FirstCharacter(LCTYPE type, char fallback) {
  const std::string value = LocaleInfo(type, "");
  return value.empty() ? fallback : value[0];
}

class WindowsLocaleText : public LocaleText {
 public:
  std::string UpperCase(std::string_view text) override {
    std::string result(text);
    // CharUpperBuffA counts in DWORDs; a text longer than that is upper-cased piece by piece.
    std::size_t done = 0;
    while (done < result.size()) {
      const std::size_t piece = std::min<std::size_t>(result.size() - done, 0x40000000);
      CharUpperBuffA(result.data() + done, static_cast<DWORD>(piece));
      done += piece;
    }
    return result;
  }

  int Compare(std::string_view a, std::string_view b) override {
    if (a.size() <= INT_MAX && b.size() <= INT_MAX) {
      // An empty view may carry no pointer; CompareStringA wants one even for no characters.
      const char* pa = a.empty() ? "" : a.data();
      const char* pb = b.empty() ? "" : b.data();
      switch (CompareStringA(LOCALE_USER_DEFAULT, 0, pa, static_cast<int>(a.size()), pb,
                             static_cast<int>(b.size()))) {
        case CSTR_LESS_THAN:
          return -1;
        case CSTR_EQUAL:
          return 0;
        case CSTR_GREATER_THAN:
          return 1;
        default:
          break;
      }
    }
    // A failed call still has to give a consistent answer, or a sort over it would not be one.
    const int bytes = a.compare(b);
    return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
  }

  TFormatSettings FormatSettings() override {
    TFormatSettings s;
    s.DateSeparator = FirstCharacter(LOCALE_SDATE, s.DateSeparator);
    s.TimeSeparator = FirstCharacter(LOCALE_STIME, s.TimeSeparator);
    s.ShortDateFormat = LocaleInfo(LOCALE_SSHORTDATE, s.ShortDateFormat.c_str());
    s.LongTimeFormat = LocaleInfo(LOCALE_STIMEFORMAT, s.LongTimeFormat.c_str());
    s.TimeAMString = LocaleInfo(LOCALE_S1159, "");
    s.TimePMString = LocaleInfo(LOCALE_S2359, "");
    for (int i = 0; i < 12; ++i) {
      s.LongMonthNames[i] = LocaleInfo(LOCALE_SMONTHNAME1 + i, "");
      s.ShortMonthNames[i] = LocaleInfo(LOCALE_SABBREVMONTHNAME1 + i, "");
    }
    // Windows counts the days from Monday (DAYNAME1); the settings count them from Sunday.
    for (int i = 0; i < 7; ++i) {
      const LCTYPE day = static_cast<LCTYPE>((i + 6) % 7);
      s.LongDayNames[i] = LocaleInfo(LOCALE_SDAYNAME1 + day, "");
      s.ShortDayNames[i] = LocaleInfo(LOCALE_SABBREVDAYNAME1 + day, "");
    }
    return s;
  }
};

}  // namespace

std::unique_ptr<LocaleText> MakeWindowsLocaleText() {
  return std::make_unique<WindowsLocaleText>();
}
