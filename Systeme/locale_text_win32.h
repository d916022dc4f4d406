#pragma once
// The user's locale as Windows gives it (CharUpperBuffA, CompareStringA, GetLocaleInfoA).
#include <memory>

#include "Systeme/locale_text.h"

std::unique_ptr<LocaleText> MakeWindowsLocaleText();
