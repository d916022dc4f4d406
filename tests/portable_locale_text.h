#pragma once
// A LocaleText of code page 1252 for the tests that run natively: upper-casing as CharUpperBuffA
// does it there, a collation in the manner of CompareStringA.
#include <memory>

#include "Systeme/locale_text.h"

// Code page 1252 with English (United States) formats; tests may change the formats.
std::unique_ptr<LocaleText> MakePortableLocaleText(TFormatSettings formats = TFormatSettings{});

// One such locale for the whole program, for what needs only its code page.
LocaleText& CodePage1252();
