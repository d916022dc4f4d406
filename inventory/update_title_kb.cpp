#include "inventory/update_title_kb.h"

#include "inventory/kb_rules.h"

namespace {

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

std::int32_t KbInText(std::string_view text) {
  for (std::size_t i = 0; i + 2 < text.size(); ++i) {
    if ((text[i] != 'K' && text[i] != 'k') || (text[i + 1] != 'B' && text[i + 1] != 'b')) continue;
    if (i > 0 && IsAsciiAlnum(text[i - 1])) continue;
    if (text[i + 2] < '0' || text[i + 2] > '9') continue;
    // The same number the KB column's rules read from "KB<digits>", so the merge matches WMI's
    // rows by the value sorting and the web link use.
    return KbNumber(text.substr(i));
  }
  return 0;
}
