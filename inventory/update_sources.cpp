#include "inventory/update_sources.h"

namespace {

bool IsSeparator(char c) {
  return c == ',' || c == ';' || c == ' ' || c == '\t';
}

bool SameWord(std::string_view word, std::string_view upper) {
  if (word.size() != upper.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const char c = word[i];
    if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) != upper[i]) return false;
  }
  return true;
}

}  // namespace

UpdateSources ParseUpdateSources(std::string_view text) {
  UpdateSources sources;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && IsSeparator(text[at])) ++at;
    std::size_t end = at;
    while (end < text.size() && !IsSeparator(text[end])) ++end;
    const std::string_view word = text.substr(at, end - at);
    if (SameWord(word, "WU")) sources.windowsUpdate = true;
    if (SameWord(word, "CBS")) sources.servicingPackages = true;
    at = end;
  }
  return sources;
}
