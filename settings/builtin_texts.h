#pragma once
// The four texts the program carries built in. They are kept scrambled so that they stand
// neither in the source nor in the executable as plain text; scripts/scramble.py makes and
// checks the stored bytes.
#include <cstdint>
#include <span>
#include <string>

// One length byte n, then n bytes, each combined by exclusive-or with kScrambleKey.
using ScrambledText = std::span<const std::uint8_t>;

inline constexpr std::uint8_t kScrambleKey = 0xA5;

// The plain text of a scrambled one. A length byte larger than the bytes actually stored
// yields only the stored bytes: nothing past the storage is ever read.
std::string Unscramble(ScrambledText scrambled);

std::string DefaultNamespace();       // the WMI namespace of the installed hotfixes (10)
std::string HotfixClassName();        // the WMI class of the installed hotfixes (25)
std::string DefaultKbLinkTemplate();  // the web page of one update, one "%s" for its number (37)
std::string HomePageAddress();        // the program's home page (15)
