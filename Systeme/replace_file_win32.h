#pragma once
// Writing a file so that it is either whole or untouched: the bytes go to a new file beside the
// target, which then replaces the target in one rename. A failed or interrupted write never
// leaves a truncated file under the target's name.
#include <windows.h>

#include <string>
#include <string_view>

// ERROR_SUCCESS, or the Win32 error code of the step that failed (the file beside the target
// is removed again then).
DWORD ReplaceFileWith(const std::wstring& path, std::string_view bytes);
