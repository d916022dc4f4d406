#pragma once
// The settings file through the Windows profile API (GetPrivateProfileStringA and
// WritePrivateProfileStringA). Included only by Win32 code.
#include <memory>

#include "settings/ini_store.h"

std::unique_ptr<IniStore> MakeWindowsIniStore();
