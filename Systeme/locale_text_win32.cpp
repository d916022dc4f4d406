#include "Systeme/locale_text_win32.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <string>

#include "Systeme/text_convert_win32.h"

namespace {

// Only the ANSI calls that Windows XP exports: the *Ex locale calls came with Vista.
std::string LocaleInfo(LCID locale, LCTYPE type, const char* fallback) {
  const int size = GetLocaleInfoA(locale, type, nullptr, 0);
  if (size > 0) {
    std::string value(static_cast<std::size_t>(size), '\0');
    const int written = GetLocaleInfoA(locale, type, value.data(), size);
    if (written > 0) {
      value.resize(static_cast<std::size_t>(written - 1));  // the count includes the NUL
      return value;
    }
  }
  return fallback;
}

char FirstCharacter(LCID locale, LCTYPE type, char fallback) {
  const std::string value = LocaleInfo(locale, type, "");
  return value.empty() ? fallback : value[0];
}

class WindowsLocaleText : public LocaleText {
 public:
  explicit WindowsLocaleText(LCID locale) : locale_(locale) {}

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
      switch (CompareStringA(locale_, 0, pa, static_cast<int>(a.size()), pb,
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

  // LCMapStringA with the flags CompareStringA is given (none). It refuses an empty source, but a
  // terminating NUL is unsortable, so the empty text's key is that of a NUL-terminated "".
  bool AppendSortKey(std::string_view text, std::string& keys) override {
    if (text.size() > kLongestKeyedText) return false;
    const char* source = text.empty() ? "" : text.data();
    const int length = text.empty() ? -1 : static_cast<int>(text.size());
    const std::size_t start = keys.size();
    // Room for most keys at the first call (Wine and Windows write about three bytes a
    // character); a longer key is asked for its size, then written.
    int room = static_cast<int>(4 * text.size() + 64);
    keys.resize(start + static_cast<std::size_t>(room));
    int written = LCMapStringA(locale_, LCMAP_SORTKEY, source, length, keys.data() + start, room);
    if (written == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
      room = LCMapStringA(locale_, LCMAP_SORTKEY, source, length, nullptr, 0);
      if (room > 0) {
        keys.resize(start + static_cast<std::size_t>(room));
        written = LCMapStringA(locale_, LCMAP_SORTKEY, source, length, keys.data() + start, room);
      }
    }
    keys.resize(start + static_cast<std::size_t>(written > 0 ? written : 0));
    return written > 0;
  }

  std::string ToUtf8(std::string_view text) override { return AnsiToUtf8(text); }
  std::string FromUtf8(std::string_view utf8) override { return Utf8ToAnsi(utf8); }

  TFormatSettings FormatSettings() override {
    const LCID l = locale_;
    TFormatSettings s;
    s.DateSeparator = FirstCharacter(l, LOCALE_SDATE, s.DateSeparator);
    s.TimeSeparator = FirstCharacter(l, LOCALE_STIME, s.TimeSeparator);
    s.ShortDateFormat = LocaleInfo(l, LOCALE_SSHORTDATE, s.ShortDateFormat.c_str());
    s.LongTimeFormat = LocaleInfo(l, LOCALE_STIMEFORMAT, s.LongTimeFormat.c_str());
    s.TimeAMString = LocaleInfo(l, LOCALE_S1159, "");
    s.TimePMString = LocaleInfo(l, LOCALE_S2359, "");
    for (int i = 0; i < 12; ++i) {
      s.LongMonthNames[i] = LocaleInfo(l, LOCALE_SMONTHNAME1 + i, "");
      s.ShortMonthNames[i] = LocaleInfo(l, LOCALE_SABBREVMONTHNAME1 + i, "");
    }
    // Windows counts the days from Monday (DAYNAME1); the settings count them from Sunday.
    for (int i = 0; i < 7; ++i) {
      const LCTYPE day = static_cast<LCTYPE>((i + 6) % 7);
      s.LongDayNames[i] = LocaleInfo(l, LOCALE_SDAYNAME1 + day, "");
      s.ShortDayNames[i] = LocaleInfo(l, LOCALE_SABBREVDAYNAME1 + day, "");
    }
    return s;
  }

 private:
  // Longest text given a key: its first guess of room, 4 bytes a character, must fit an int.
  static constexpr std::size_t kLongestKeyedText = (INT_MAX - 64) / 4;

  LCID locale_;
};

}  // namespace

std::unique_ptr<LocaleText> MakeWindowsLocaleText() {
  return std::make_unique<WindowsLocaleText>(LOCALE_USER_DEFAULT);
}

std::unique_ptr<LocaleText> MakeWindowsLocaleText(std::uint32_t localeId) {
  return std::make_unique<WindowsLocaleText>(static_cast<LCID>(localeId));
}

std::string UserListSeparator() {
  char separator[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SLIST, separator, sizeof separator) <= 1) {
    return ",";
  }
  return separator;
}
