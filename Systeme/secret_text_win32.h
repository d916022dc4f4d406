#pragma once
// A password on its way to the system calls, in UTF-16, wiped when it goes: the wide form the
// COM and network calls take, the BSTR that WMI's ConnectServer takes, and the typed answer
// turned into the program's UTF-8.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

#include "Systeme/secret_text.h"

class SecretWide {
 public:
  // Converted in one buffer of the right size: no growing leaves a copy behind.
  explicit SecretWide(std::string_view utf8);
  ~SecretWide();
  SecretWide(const SecretWide&) = delete;
  SecretWide& operator=(const SecretWide&) = delete;

  wchar_t* data() { return text_.data(); }
  const wchar_t* c_str() const { return text_.c_str(); }
  std::size_t size() const { return text_.size(); }
  bool empty() const { return text_.empty(); }

 private:
  std::wstring text_;
};

// A BSTR holding a password; null for an empty one (COM's "no value").
class SecretBstr {
 public:
  explicit SecretBstr(const SecretWide& text);
  ~SecretBstr();
  SecretBstr(const SecretBstr&) = delete;
  SecretBstr& operator=(const SecretBstr&) = delete;
  BSTR get() const { return value_; }

 private:
  BSTR value_ = nullptr;
};

// UTF-16 as the program's UTF-8, through one buffer wiped after the copy.
SecretText SecretFromWide(std::wstring_view text);
