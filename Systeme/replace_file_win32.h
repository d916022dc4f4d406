#pragma once
// Writing a whole file so that its name never holds half of it: the bytes go to a new file
// beside the target, which then takes the target's name in one step. An interrupted or failed
// write leaves the target as it was (or absent) and removes its own file.
#include <string>
#include <string_view>

// Raises EFixtallyError with the path (UTF-8) and the system's text of the failure.
void ReplaceFileWith(const std::wstring& path, std::string_view bytes);

// Whether ReplaceFileWith could write beside `path`: the file it would write there is made and
// deleted at once. Raises EFixtallyError as ReplaceFileWith does (a missing folder, a refusal).
void CheckCanReplace(const std::wstring& path);

// The whole content of a file; raises EFixtallyError with the path and the system's text.
std::string ReadWholeFile(const std::wstring& path);
