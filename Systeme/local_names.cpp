#include "Systeme/local_names.h"

#include <algorithm>

bool IsLoopbackName(std::string_view name) {
  if (name.empty() || name == "." || name == "127.0.0.1" || name == "::1") return true;
  constexpr std::string_view kLocalhost = "localhost";
  return name.size() == kLocalhost.size() &&
         std::equal(name.begin(), name.end(), kLocalhost.begin(), [](char a, char b) {
           return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
         });
}
