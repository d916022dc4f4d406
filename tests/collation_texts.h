#pragma once
// Texts that put a collation's sort keys to the test (code page 1252), and the checks that the
// keys order them as the collation's comparison does: the portable locale natively, the Windows
// one against CompareStringA under Wine.
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "Systeme/locale_text.h"

namespace collation_texts {

// Letter case, accents, the ligatures œ æ ß, hyphens and apostrophes (which the Windows word
// sort weighs apart), digits and superscripts, the empty text, the bytes code page 1252 leaves
// undefined, controls and NUL, symbols, and texts long enough to need a second try for room.
inline std::vector<std::string> AwkwardTexts() {
  std::vector<std::string> texts = {
      "", "a", "A", "abc", "ABC", "Abc", "aBC", "ab", "abd", "b", "z", "Z",
      // accents
      "e", "\xE9", "\xC9", "\xE8", "\xEA", "\xEB", "f", "ETE", "\xC9T\xC9", "\xC9TE", "ET\xC9",
      "ETUDE", "\xE0", "\xC0", "\xE7", "\xC7", "\xF1", "\xF8", "\xE5", "\xFF", "\x9F", "Y", "\xFE",
      "\xDE", "\xF0", "\xD0", "\x8A", "\x9A", "\x8E", "\x83",
      // ligatures
      "\x9C", "\x8C", "oe", "OE", "of", "\xE6", "\xC6", "ae", "AE", "af", "\xDF", "ss", "SS", "st",
      "\x9C"
      "uvre",
      "OEUVRE",
      "\x8C"
      "UVRE",
      "C\x9CUR", "COEUR", "\xC6GIR", "AEGIR",
      // hyphens, apostrophes, dashes, the soft hyphen
      "co-op", "coop", "co'op", "CO-OP", "COOP", "CO'OP", "coop-", "-coop", "-", "'", "--", "''",
      "a-b", "ab-", "-ab", "a'b", "l'\xE9t\xE9", "l\x92\xE9t\xE9", "LETE",
      "a\x96"
      "b",
      "a\x97"
      "b",
      "co\xADop", "\xAD",
      // digits and numbers
      "0", "1", "01", "10", "2", "9", "1a", "a1", "\xB9", "\xB2", "\xB3", "\xBD", "KB123", "KB95",
      "KB0123",
      // bytes code page 1252 does not define, controls, NUL
      "\x81", "\x8D", "\x8F", "\x90", "\x9D",
      "a\x81"
      "b",
      "\x81\x8D", std::string("a\0b", 3), std::string(1, '\0'), "\x01", "\x7F", "a\tb",
      // spaces and symbols
      " ", "a b", "ab ", " ab", "!", "#", "~", ".", ",", "\x80", "\xA7", "\xB0", "\xA0", "\\",
      // what the rows hold
      "SECURITY UPDATE", "Security Update", "UPDATE", "HOTFIX", "MISE \xC0 JOUR", "MISE A JOUR",
      "MISE \xC0 JOUR DE S\xC9"
      "CURIT\xC9",
      "NT AUTHORITY\\SYSTEM", "AUTORITE NT\\SYST\xC8ME", "S-1-5-18", "CORP\\FRAN\xC7OIS.M\xDCLLER",
      "ERROR:InstalledBy", "SICHERHEITSUPDATE F\xDCR WINDOWS", "STRASSE",
      "STRA\xDF"
      "E"};
  // Long texts: equal for thousands of characters, then different, or one the other's beginning.
  texts.push_back(std::string(10000, 'a'));
  texts.push_back(std::string(10000, 'a') + "b");
  texts.push_back(std::string(10000, 'a') + "\xE9");
  texts.push_back(std::string(5000, '\xE6'));
  texts.push_back(std::string(5000, '\xE6') + "-");
  texts.push_back(std::string(3000, '-'));
  std::string description = "MISE \xC0 JOUR CUMULATIVE POUR LES COMPOSANTS DE PLATEFORME";
  while (description.size() < 300) description += " (VERSION \xC9TENDUE 2024)";
  texts.push_back(description);
  return texts;
}

// `count` texts of 0 to 12 characters drawn from awkward bytes and plain letters, the same for
// every run of a seed (the generator's raw output, not a distribution, which libraries differ in).
inline std::vector<std::string> GeneratedTexts(std::size_t count, std::uint32_t seed) {
  static const std::string alphabet =
      std::string("aAbBeE\xE9\xC9\xE8\xC8oO\x9C\x8C\xE6\xC6\xDFsS -'\x92\x96\xAD.019\xB2") +
      std::string("\x81\x8D\0\t\xFF\x9F\xC7\xE7\xA0", 9);
  std::mt19937 random(seed);
  std::vector<std::string> texts;
  texts.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::string text(random() % 13, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    texts.push_back(std::move(text));
  }
  return texts;
}

// Every text of one or two bytes.
inline std::vector<std::string> OneAndTwoByteTexts() {
  std::vector<std::string> texts;
  for (int a = 0; a < 256; ++a) {
    texts.push_back(std::string(1, static_cast<char>(a)));
    for (int b = 0; b < 256; ++b) texts.push_back({static_cast<char>(a), static_cast<char>(b)});
  }
  return texts;
}

inline int KeyOrder(const std::string& a, const std::string& b) {
  const int order = std::string_view(a).compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

inline std::string Shown(const std::string& text) {
  static const char digits[] = "0123456789ABCDEF";
  std::string shown;
  for (const char c : text.substr(0, 40)) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F) {
      shown += c;
    } else {
      shown += {'\\', 'x', digits[b >> 4], digits[b & 15]};
    }
  }
  return text.size() > 40 ? shown + "...(" + std::to_string(text.size()) + ")" : shown;
}

struct Agreement {
  std::vector<std::string> disagreements;  // the first few, described
  std::size_t pairs = 0;
  std::size_t equalButDifferent = 0;  // pairs Compare finds equal although their bytes differ
  std::size_t withoutKey = 0;
};

inline std::vector<std::string> KeysOf(LocaleText& locale, const std::vector<std::string>& texts,
                                       Agreement& agreement) {
  std::vector<std::string> keys(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (!locale.AppendSortKey(texts[i], keys[i])) ++agreement.withoutKey;
  }
  return keys;
}

inline void Record(Agreement& agreement, const std::string& a, const std::string& b, int compare,
                   int byKeys) {
  ++agreement.pairs;
  if (compare == 0 && a != b) ++agreement.equalButDifferent;
  if (compare != byKeys && agreement.disagreements.size() < 20) {
    agreement.disagreements.push_back("\"" + Shown(a) + "\" / \"" + Shown(b) + "\": Compare " +
                                      std::to_string(compare) + ", keys " + std::to_string(byKeys));
  }
}

// Every ordered pair: the key order against Compare.
inline Agreement EveryPair(LocaleText& locale, const std::vector<std::string>& texts) {
  Agreement agreement;
  const std::vector<std::string> keys = KeysOf(locale, texts, agreement);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    for (std::size_t j = 0; j < texts.size(); ++j) {
      Record(agreement, texts[i], texts[j], locale.Compare(texts[i], texts[j]),
             KeyOrder(keys[i], keys[j]));
    }
  }
  return agreement;
}

// The texts in key order, each against the next: with a comparison that is an order (as the
// portable one is, and the collation is meant to be), the keys then agree with it on every pair,
// for the cost of one comparison per text.
inline Agreement Neighbours(LocaleText& locale, const std::vector<std::string>& texts) {
  Agreement agreement;
  const std::vector<std::string> keys = KeysOf(locale, texts, agreement);
  std::vector<std::size_t> byKey(texts.size());
  std::iota(byKey.begin(), byKey.end(), std::size_t{0});
  std::sort(byKey.begin(), byKey.end(),
            [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  for (std::size_t i = 1; i < byKey.size(); ++i) {
    const std::size_t a = byKey[i - 1], b = byKey[i];
    Record(agreement, texts[a], texts[b], locale.Compare(texts[a], texts[b]),
           KeyOrder(keys[a], keys[b]));
  }
  return agreement;
}

}  // namespace collation_texts
