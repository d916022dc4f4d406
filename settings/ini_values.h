#pragma once
// How the settings file's values are read and written: texts, integers and booleans, over the
// raw strings of an IniStore.
//
// A store returns a value the way GetPrivateProfileStringA does with the program's 2048-character
// buffer: blanks around it dropped, one pair of enclosing quotes removed, cut to 2047 characters,
// and for a missing key the default with its trailing blanks dropped. The Windows API does that
// itself; the portable store does it with the Profile* functions below. ReadText therefore
// passes the store's answer on unchanged: doing the same work twice would remove a second pair
// of quotes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/ini_store.h"

inline constexpr std::size_t kIniBufferSize = 2048;  // characters, the terminating zero included

// --- The API's own rules, for stores that are not the API ---

// Blanks around names and values: the C locale's white space and DOS end-of-file (^Z). The
// no-break space and the other control characters are not blanks.
bool IsProfileBlank(char c);
std::string_view TrimProfileBlanks(std::string_view text);
// A default as the API uses it: trailing spaces dropped, though never its first character.
std::string ProfileDefault(std::string_view defaultValue);
// What lands in the caller's buffer: at most kIniBufferSize - 1 characters; with removeQuotes,
// a value that starts and ends with the same quote (' or ") loses the pair, when the closing
// one fits in the buffer.
std::string ProfileCopy(std::string_view value, bool removeQuotes);

// --- Reading ---

std::string ReadText(IniStore& ini, const std::string& path, const std::string& section,
                     const std::string& key, const std::string& defaultValue);
// Leading spaces, an optional sign, then decimal digits or hexadecimal ones after "$", "x",
// "X", "0x" or "0X"; nothing else, and the value must lie in the signed 32-bit range.
std::optional<std::int32_t> ParseInteger(std::string_view text);
std::int32_t StrToIntDef(std::string_view text, std::int32_t defaultValue);
std::int32_t ReadInteger(IniStore& ini, const std::string& path, const std::string& section,
                         const std::string& key, std::int32_t defaultValue);
// An integer read with default 1 or 0; any non-zero integer is true.
bool ReadBool(IniStore& ini, const std::string& path, const std::string& section,
              const std::string& key, bool defaultValue);

// --- Writing: a write the system refuses raises EFixtallyError naming the file ---

std::string IntegerText(std::int32_t value);  // decimal, "-" for a negative number
std::string BoolText(bool value);             // "1" or "0"
void WriteText(IniStore& ini, const std::string& path, const std::string& section,
               const std::string& key, const std::string& value);
void WriteInteger(IniStore& ini, const std::string& path, const std::string& section,
                  const std::string& key, std::int32_t value);
void WriteBool(IniStore& ini, const std::string& path, const std::string& section,
               const std::string& key, bool value);
// "Impossible d'écrire dans <path>", the path already in UTF-8.
std::string WriteRefusedMessage(const std::string& utf8Path);
