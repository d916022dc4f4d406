#pragma once
// How the program writes an error code for the user: the dialogs, the console and the exports.
#include <cstdint>
#include <string>

// "0x80041015": the code's 8 upper-case hexadecimal digits.
std::string HresultText(std::int32_t code);
