#pragma once
// The user's locale as Windows gives it (CharUpperBuffA, CompareStringA, LCMapStringA,
// GetLocaleInfoA).
#include <cstdint>
#include <memory>
#include <string>

#include "Systeme/locale_text.h"

// The user's default locale: what the program uses.
std::unique_ptr<LocaleText> MakeWindowsLocaleText();
// Another locale by its Windows identifier (0x040C for French (France)), for tests of its
// collation and formats. Upper-casing stays the system's: CharUpperBuffA takes no locale.
std::unique_ptr<LocaleText> MakeWindowsLocaleText(std::uint32_t localeId);

// The user's list separator (LOCALE_SLIST), what Excel splits CSV files on: ";" in French, ","
// in English. System code page; "," when the locale gives none.
std::string UserListSeparator();
