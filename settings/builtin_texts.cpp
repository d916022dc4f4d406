#include "settings/builtin_texts.h"

#include <algorithm>
#include <cstddef>

namespace {

// Made with: scripts/scramble.py kNamespace=... kHotfixClass=... kKbLinkTemplate=... kHomePage=...
// 10 characters
constexpr std::uint8_t kNamespace[] = {0x0A, 0xD7, 0xCA, 0xCA, 0xD1, 0xF9,
                                       0xC6, 0xCC, 0xC8, 0xD3, 0x97};
// 25 characters
constexpr std::uint8_t kHotfixClass[] = {0x19, 0xF2, 0xCC, 0xCB, 0x96, 0x97, 0xFA, 0xF4, 0xD0,
                                         0xCC, 0xC6, 0xCE, 0xE3, 0xCC, 0xDD, 0xE0, 0xCB, 0xC2,
                                         0xCC, 0xCB, 0xC0, 0xC0, 0xD7, 0xCC, 0xCB, 0xC2};
// 37 characters
constexpr std::uint8_t kKbLinkTemplate[] = {
    0x25, 0xCD, 0xD1, 0xD1, 0xD5, 0xD6, 0x9F, 0x8A, 0x8A, 0xD6, 0xD0, 0xD5, 0xD5,
    0xCA, 0xD7, 0xD1, 0x8B, 0xC8, 0xCC, 0xC6, 0xD7, 0xCA, 0xD6, 0xCA, 0xC3, 0xD1,
    0x8B, 0xC6, 0xCA, 0xC8, 0x8A, 0xCD, 0xC0, 0xC9, 0xD5, 0x8A, 0x80, 0xD6};
// 15 characters
constexpr std::uint8_t kHomePage[] = {0x0F, 0xD2, 0xD2, 0xD2, 0x8B, 0xC3, 0xCC, 0xDD,
                                      0xD1, 0xC4, 0xC9, 0xC9, 0xDC, 0x8B, 0xC3, 0xD7};

}  // namespace

std::string Unscramble(ScrambledText scrambled) {
  if (scrambled.empty()) return {};
  const std::size_t length = std::min<std::size_t>(scrambled[0], scrambled.size() - 1);
  // Read at run time so that an optimiser cannot fold the plain texts into the executable.
  const volatile std::uint8_t key = kScrambleKey;
  std::string plain(length, '\0');
  for (std::size_t i = 0; i < length; ++i) {
    plain[i] = static_cast<char>(scrambled[i + 1] ^ key);
  }
  return plain;
}

std::string DefaultNamespace() {
  return Unscramble(kNamespace);
}
std::string HotfixClassName() {
  return Unscramble(kHotfixClass);
}
std::string DefaultKbLinkTemplate() {
  return Unscramble(kKbLinkTemplate);
}
std::string HomePageAddress() {
  return Unscramble(kHomePage);
}
