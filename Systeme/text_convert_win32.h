#pragma once
// The program's one boundary between its text encodings: UTF-8 for its own fixed texts and
// messages, the system's 8-bit code page (CP_ACP) for record texts and the ANSI calls, UTF-16
// for the W calls, COM and WMI. Invalid input never fails: the system's replacement rules apply.
#include <string>
#include <string_view>

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view text);
// UTF-16 in any code page (the console's output code page, say); what it lacks becomes "?".
std::string WideToCodePage(std::wstring_view text, unsigned codePage);
