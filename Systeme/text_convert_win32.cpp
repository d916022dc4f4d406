#include "Systeme/text_convert_win32.h"

#include <windows.h>

#include <climits>

namespace {

// The conversion calls take int lengths; a longer text is cut rather than overflowing them.
int ClampedLength(std::size_t size) {
  return size > static_cast<std::size_t>(INT_MAX / 4) ? INT_MAX / 4 : static_cast<int>(size);
}

std::wstring ToWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int length = ClampedLength(text.size());
  const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring result(static_cast<std::size_t>(needed), L'\0');
  const int written = MultiByteToWideChar(codePage, 0, text.data(), length, result.data(), needed);
  result.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return result;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
  if (text.empty()) return {};
  const int length = ClampedLength(text.size());
  const int needed =
      WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string result(static_cast<std::size_t>(needed), '\0');
  const int written = WideCharToMultiByte(codePage, 0, text.data(), length, result.data(), needed,
                                          nullptr, nullptr);
  result.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return result;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) {
  return ToWide(CP_UTF8, text);
}
std::string WideToUtf8(std::wstring_view text) {
  return FromWide(CP_UTF8, text);
}
std::wstring AnsiToWide(std::string_view text) {
  return ToWide(CP_ACP, text);
}
std::string WideToAnsi(std::wstring_view text) {
  return FromWide(CP_ACP, text);
}
std::string AnsiToUtf8(std::string_view text) {
  return WideToUtf8(AnsiToWide(text));
}
std::string Utf8ToAnsi(std::string_view text) {
  return WideToAnsi(Utf8ToWide(text));
}
std::string WideToCodePage(std::wstring_view text, unsigned codePage) {
  return FromWide(codePage, text);
}
