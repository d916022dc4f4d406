#include "Systeme/secret_text_win32.h"

#include <climits>

SecretWide::SecretWide(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > INT_MAX / 4) return;
  const int length = static_cast<int>(utf8.size());
  const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  if (needed <= 0) return;
  text_.resize(static_cast<std::size_t>(needed));
  const int written = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, text_.data(), needed);
  if (written != needed) {
    SecureZeroMemory(text_.data(), text_.size() * sizeof(wchar_t));
    text_.clear();
  }
}

SecretWide::~SecretWide() {
  text_.resize(text_.capacity());  // within the capacity: neither allocates nor throws
  SecureZeroMemory(text_.data(), text_.size() * sizeof(wchar_t));
}

SecretBstr::SecretBstr(const SecretWide& text)
    : value_(text.empty() ? nullptr
                          : SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()))) {}

SecretBstr::~SecretBstr() {
  if (!value_) return;
  SecureZeroMemory(value_, SysStringLen(value_) * sizeof(OLECHAR));
  SysFreeString(value_);
}

SecretText SecretFromWide(std::wstring_view text) {
  if (text.empty() || text.size() > INT_MAX / 4) return {};
  const int length = static_cast<int>(text.size());
  const int needed =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  const int written =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), needed, nullptr, nullptr);
  SecretText secret(std::string_view(bytes.data(), written > 0 ? written : 0));
  SecureZeroMemory(bytes.data(), bytes.size());
  return secret;
}
