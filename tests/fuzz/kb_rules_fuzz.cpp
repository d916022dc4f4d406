// KB identifiers of any content: the prefix rule, the first non-digit and the number, which
// never overflows and never goes negative.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "inventory/kb_rules.h"

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool HasKbPrefix(const std::string& text) {
  return text.size() >= 2 && (text[0] == 'k' || text[0] == 'K') &&
         (text[1] == 'b' || text[1] == 'B');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(bytes), size);
  if (!text.empty() && text.size() < 20 && text.back() == '\x01') {
    // A long run of digits behind the prefix, to reach the overflow edge.
    text = "KB" + std::string(static_cast<std::size_t>(text.front()) & 0x3F, '9') + text;
  }

  const std::string stripped = StripKbPrefix(text);
  FUZZ_CHECK(stripped == (HasKbPrefix(text) ? text.substr(2) : text));

  const int position = FirstNonDigitPosition(text);
  FUZZ_CHECK(position >= 0 && static_cast<std::size_t>(position) <= text.size());
  if (position == 0) {
    for (const char c : text) FUZZ_CHECK(IsDigit(c));
  } else {
    FUZZ_CHECK(!IsDigit(text[static_cast<std::size_t>(position) - 1]));
    for (int i = 0; i + 1 < position; ++i) FUZZ_CHECK(IsDigit(text[static_cast<std::size_t>(i)]));
  }

  const std::int32_t number = KbNumber(text);
  FUZZ_CHECK(number >= 0);
  // The number is that of the leading digits after the prefix; the prefix changes nothing.
  FUZZ_CHECK(KbNumber("kB" + stripped) == number);
  std::string digits;
  for (const char c : stripped) {
    if (!IsDigit(c)) break;
    digits += c;
  }
  FUZZ_CHECK(KbNumber(digits) == number);
  const std::size_t significant = digits.find_first_not_of('0');
  if (significant != std::string::npos && digits.size() - significant <= 9) {
    FUZZ_CHECK(number == std::stoi(digits.substr(significant)));
  }
  if (significant != std::string::npos && digits.size() - significant > 10) FUZZ_CHECK(number == 0);
  return 0;
}
