#pragma once
// Conversions between the program's 8-bit texts (code page 1252) and UTF-8, for settings files
// that start with a UTF-8 byte-order mark: the API reads and writes those as UTF-8.
#include <string>
#include <string_view>

std::string Cp1252ToUtf8(std::string_view text);
// Characters that code page 1252 lacks, and bytes that are not UTF-8, become "?".
std::string Utf8ToCp1252(std::string_view text);
