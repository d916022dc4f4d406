#include "settings/nth_word.h"

std::string NthWord(int n, std::string_view text, std::string_view delimiters) {
  if (n < 1) return {};
  std::size_t pos = 0;
  for (int count = 1;; ++count) {
    const std::size_t start = text.find_first_not_of(delimiters, pos);
    if (start == std::string_view::npos) return {};
    const std::size_t end = text.find_first_of(delimiters, start);
    if (count == n) {
      return std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
    }
    if (end == std::string_view::npos) return {};
    pos = end;
  }
}
