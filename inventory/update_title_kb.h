#pragma once
// The KB number that an update's title or a package's file name carries: "KB" in any letter
// case, not glued to a preceding letter or digit, then at least one digit, anywhere in the text
// ("Mise à jour cumulative ... (KB5026446)", "Windows10.0-KB5026361-x64.cab"). The first such
// word counts; a KB word without digits ("KB-Artikel") is passed over.
#include <cstdint>
#include <string_view>

// 0 when the text holds none, or when the digits exceed 2147483647 (as KbNumber reads them).
std::int32_t KbInText(std::string_view text);
