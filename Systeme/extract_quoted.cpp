#include "Systeme/extract_quoted.h"

#include <string_view>

namespace {
constexpr std::size_t kQuotedWindow = 260;
}

std::string ExtractQuoted(const std::string& text) {
  const std::size_t open = text.find('"');
  if (open == std::string::npos) return text;
  const std::string_view tail = std::string_view(text).substr(open + 1, kQuotedWindow);
  const std::size_t close = tail.find('"');
  if (close == std::string_view::npos) return text;
  return std::string(tail.substr(0, close));
}
