#pragma once
// A password in memory: every copy wipes its bytes when it goes or takes another value, so that
// what was typed does not stay behind in freed memory once the computers are read.
#include <string>
#include <string_view>

class SecretText {
 public:
  SecretText() = default;
  // Implicit, as a text is: ComputerRequest{"SRV1", "", "", ""} reads as it did.
  SecretText(std::string_view text) : text_(text) {}
  SecretText(const std::string& text) : text_(text) {}
  SecretText(const char* text) : text_(text) {}
  SecretText(const SecretText& other) : text_(other.text_) {}
  // The other's bytes are copied, then wiped: a moved text held in place would keep them.
  SecretText(SecretText&& other) noexcept : text_(other.text_) { other.Wipe(); }
  SecretText& operator=(const SecretText& other) {
    if (this != &other) {
      Wipe();
      text_ = other.text_;
    }
    return *this;
  }
  SecretText& operator=(SecretText&& other) noexcept {
    if (this != &other) {
      Wipe();
      text_ = other.text_;
      other.Wipe();
    }
    return *this;
  }
  ~SecretText() { Wipe(); }

  const std::string& text() const { return text_; }
  bool empty() const { return text_.empty(); }
  bool operator==(const SecretText& other) const { return text_ == other.text_; }

  // Zeroes every byte the text's buffer holds, up to its capacity, then empties it.
  void Wipe() noexcept;

 private:
  std::string text_;
};
