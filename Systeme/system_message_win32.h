#pragma once
// The system's own text for an error code (Win32 error or HRESULT), in the user's language.
#include <windows.h>

#include <string>

// UTF-8, without the line break the system ends it with; empty when the system has none.
std::string SystemMessage(DWORD code);
