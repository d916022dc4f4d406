#include "Systeme/app_folder.h"

std::string StripTrailingBackslashes(std::string text) {
  while (!text.empty() && text.back() == '\\') text.pop_back();
  return text;
}

std::string ApplicationFolder(const std::string& executablePath) {
  const std::size_t last = executablePath.find_last_of("\\/");
  if (last == std::string::npos) return {};
  return StripTrailingBackslashes(executablePath.substr(0, last + 1));
}
