#pragma once
#include <string>
#include <string_view>

// The n-th word (from 1) of a text: a word is a run of characters that are not delimiters,
// runs of delimiters separate words and leading delimiters are skipped. Empty when there is no
// such word, n < 1 included.
std::string NthWord(int n, std::string_view text, std::string_view delimiters);
