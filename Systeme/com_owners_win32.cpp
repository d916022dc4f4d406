#include "Systeme/com_owners_win32.h"

UniqueBstr::UniqueBstr(std::wstring_view text)
    : value_(text.empty() ? nullptr
                          : SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
