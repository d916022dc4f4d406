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

// Reads the words into `sources`; the number of words that name no source.
std::size_t ReadWords(std::string_view text, UpdateSources& sources, std::size_t& words) {
  std::size_t unknown = 0;
  words = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && IsSeparator(text[at])) ++at;
    std::size_t end = at;
    while (end < text.size() && !IsSeparator(text[end])) ++end;
    const std::string_view word = text.substr(at, end - at);
    at = end;
    if (word.empty()) continue;
    ++words;
    if (SameWord(word, "WU")) {
      sources.windowsUpdate = true;
    } else if (SameWord(word, "CBS")) {
      sources.servicingPackages = true;
    } else if (!SameWord(word, "QFE")) {
      ++unknown;
    }
  }
  return unknown;
}

}  // namespace

UpdateSources ParseUpdateSources(std::string_view text) {
  UpdateSources sources;
  std::size_t words = 0;
  ReadWords(text, sources, words);
  return sources;
}

bool ReadUpdateSourcesStrictly(std::string_view text, UpdateSources& sources) {
  sources = {};
  std::size_t words = 0;
  return ReadWords(text, sources, words) == 0 && words > 0;
}
