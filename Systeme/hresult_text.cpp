#include "Systeme/hresult_text.h"

#include <cstdio>

std::string HresultText(std::int32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X",
                static_cast<unsigned>(static_cast<std::uint32_t>(code)));
  return text;
}
