#pragma once
// Checking and repairing UTF-8: texts that reach a UTF-8 file or a host list may hold bytes from
// anywhere (a remote computer's error text, a file of unknown encoding).
#include <string>
#include <string_view>

// True when every byte belongs to a well-formed sequence (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Appends `text` with each byte that belongs to no well-formed sequence replaced by U+FFFD.
void AppendValidUtf8(std::string& out, std::string_view text);
std::string ValidUtf8(std::string_view text);

// Appends the UTF-8 form of one code point (a surrogate or a value above U+10FFFF gives U+FFFD).
void AppendCodePoint(std::string& out, char32_t c);
