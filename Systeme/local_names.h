#pragma once
// The names that always mean the computer the program runs on, whatever its own name is.
#include <string_view>

// True for "" and "." (WMI's own), "localhost" in any letter case, and the loopback addresses
// 127.0.0.1 and ::1. UTF-8.
bool IsLoopbackName(std::string_view name);
