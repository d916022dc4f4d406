#include "inventory/kb_rules.h"

#include <cstddef>

namespace {

// Only the letters k and b decide whether a prefix is there, so the ASCII mapping gives the
// same answer as any locale's upper-casing.
char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view WithoutKbPrefix(std::string_view text) {
  if (text.size() >= 2 && AsciiUpper(text[0]) == 'K' && AsciiUpper(text[1]) == 'B') {
    text.remove_prefix(2);
  }
  return text;
}

}  // namespace

std::string StripKbPrefix(std::string_view text) {
  return std::string(WithoutKbPrefix(text));
}

int FirstNonDigitPosition(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return static_cast<int>(i + 1);
  }
  return 0;
}

std::int32_t KbNumber(std::string_view text) noexcept {
  // A sort reads every row's number: the prefix is skipped in place, nothing is copied.
  const std::string_view digits = WithoutKbPrefix(text);
  constexpr std::int64_t kMax = 2147483647;
  std::int64_t value = 0;
  // Stops as soon as the value leaves the 32-bit range, so a run of any length cannot overflow;
  // leading zeros keep the value at 0 and are read through.
  for (const char c : digits) {
    if (!IsDigit(c)) break;
    value = value * 10 + (c - '0');
    if (value > kMax) return 0;
  }
  return static_cast<std::int32_t>(value);
}
