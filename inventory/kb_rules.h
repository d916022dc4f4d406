#pragma once
// How a KB identifier reads: an optional "KB" in any letter case, then digits.
#include <cstdint>
#include <string>
#include <string_view>

std::string StripKbPrefix(std::string_view text);
int FirstNonDigitPosition(std::string_view text);  // 1-based; 0 when every character is a digit
std::int32_t KbNumber(std::string_view text) noexcept;  // 0 when none or above 2147483647
