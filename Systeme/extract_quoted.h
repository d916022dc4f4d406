#pragma once
#include <string>

// The text between the first double quote and the next one, which must lie within the 260
// characters after the first; otherwise (no quote, or no closing one in reach) the text as it
// is, quotes included. Used for the copy separator, which users write in quotes to keep its
// blanks.
std::string ExtractQuoted(const std::string& text);
