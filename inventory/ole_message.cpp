#include "inventory/ole_message.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

std::string CodeDigits(std::int32_t code) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%.8x", static_cast<unsigned>(code));
  return digits;
}

}  // namespace

std::string TrimOleMessage(std::string text) {
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) {
    text.pop_back();
  }
  return text;
}

std::string FirstOleMessage(std::int32_t code, std::initializer_list<std::string_view> texts) {
  const std::string digits = CodeDigits(code);
  for (const std::string_view text : texts) {
    std::string trimmed = TrimOleMessage(std::string(text));
    if (trimmed.empty() || LowerCase(trimmed).find(digits) != std::string::npos) continue;
    return trimmed;
  }
  return "Erreur OLE " + digits;
}

std::string WmiConnectionPath(std::string_view server, std::string_view nameSpace,
                              std::string_view defaultNamespace) {
  std::string path = "\\\\";
  path += server.empty() ? std::string_view(".") : server;
  path += '\\';
  path += nameSpace.empty() ? defaultNamespace : nameSpace;
  return path;
}
