// Reading a text as a date: two or three numbers between date separators, in the order of the
// short date format. The scan reads WMI's texts with it, the date column reads the shown texts.
#include <cstddef>
#include <cstdint>

#include "inventory/date_text.h"

namespace {

class DateScanner {
 public:
  DateScanner(std::string_view text, char separator) : text_(text), separator_(separator) {}

  void SkipBlanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }

  // Digits are taken while the value read so far is below 1000, so the value stays below 10000
  // whatever the length of the run; digits left over are not part of the number.
  bool Number(int& value, std::size_t& digitCount) {
    SkipBlanks();
    const std::size_t start = pos_;
    int n = 0;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9' && n < 1000) {
      n = n * 10 + (text_[pos_] - '0');
      ++pos_;
    }
    if (pos_ == start) return false;
    value = n;
    digitCount = pos_ - start;
    return true;
  }

  bool Separator() {
    const std::size_t before = pos_;
    SkipBlanks();
    // A blank separator would be swallowed by the blanks skipped before it; the blanks skipped
    // then are the separator, so dates written with it read back.
    if (separator_ == ' ') return pos_ > before;
    if (pos_ < text_.size() && text_[pos_] == separator_) {
      ++pos_;
      return true;
    }
    return false;
  }

  bool AtEnd() const { return pos_ >= text_.size(); }

 private:
  std::string_view text_;
  char separator_;
  std::size_t pos_ = 0;
};

}  // namespace

TDateOrder GetDateOrder(std::string_view shortDateFormat) {
  for (const char c : shortDateFormat) {
    switch (c) {
      case 'E':
      case 'e':
      case 'Y':
      case 'y':
        return TDateOrder::doYMD;
      case 'M':
      case 'm':
        return TDateOrder::doMDY;
      case 'D':
      case 'd':
        return TDateOrder::doDMY;
      default:
        break;
    }
  }
  return TDateOrder::doMDY;
}

bool TryStrToDate(std::string_view text, const TFormatSettings& settings, int currentYear,
                  DateTime& result) {
  const TDateOrder order = GetDateOrder(settings.ShortDateFormat);
  DateScanner scan(text, settings.DateSeparator);
  int n1 = 0, n2 = 0, n3 = 0;
  std::size_t len1 = 0, len2 = 0, len3 = 0;
  if (!scan.Number(n1, len1) || !scan.Separator() || !scan.Number(n2, len2)) return false;

  // After the second number a separator either leads to the year or ends the date: one more
  // separator after the last number is allowed, whichever number that is.
  bool threeNumbers = false;
  if (scan.Separator() && scan.Number(n3, len3)) {
    threeNumbers = true;
    scan.Separator();
  }
  scan.SkipBlanks();
  if (!scan.AtEnd()) return false;

  std::int64_t year = currentYear;
  int month = 0, day = 0;
  if (threeNumbers) {
    std::size_t yearDigits = 0;
    switch (order) {
      case TDateOrder::doMDY:
        year = n3, yearDigits = len3, month = n1, day = n2;
        break;
      case TDateOrder::doDMY:
        year = n3, yearDigits = len3, month = n2, day = n1;
        break;
      case TDateOrder::doYMD:
        year = n1, yearDigits = len1, month = n2, day = n3;
        break;
    }
    // Counted in digits as written: "0013" is the year 13, "13" the year 13 of this century.
    if (yearDigits <= 2) year += static_cast<std::int64_t>(currentYear) / 100 * 100;
  } else if (order == TDateOrder::doDMY) {
    day = n1, month = n2;
  } else {
    month = n1, day = n2;
  }
  if (year < 1 || year > 9999) return false;
  return TryEncodeDate(static_cast<int>(year), month, day, result);
}
