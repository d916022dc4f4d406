#pragma once
// Move-only owners of the COM value types that ComPtr does not cover: a BSTR and a VARIANT.
// Each frees what it holds exactly once, on every path.
#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

class UniqueBstr {
 public:
  UniqueBstr() = default;
  // An empty text gives a null BSTR, which COM reads as "no value" (the current account, say).
  explicit UniqueBstr(std::wstring_view text);
  ~UniqueBstr() { SysFreeString(value_); }
  UniqueBstr(UniqueBstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
  UniqueBstr& operator=(UniqueBstr&& other) noexcept {
    if (this != &other) {
      SysFreeString(value_);
      value_ = std::exchange(other.value_, nullptr);
    }
    return *this;
  }
  UniqueBstr(const UniqueBstr&) = delete;
  UniqueBstr& operator=(const UniqueBstr&) = delete;

  BSTR get() const { return value_; }
  // For an out-parameter: frees the current value first.
  BSTR* put() {
    SysFreeString(std::exchange(value_, nullptr));
    return &value_;
  }
  std::wstring_view view() const {
    return value_ ? std::wstring_view(value_, SysStringLen(value_)) : std::wstring_view();
  }

 private:
  BSTR value_ = nullptr;
};

class UniqueVariant {
 public:
  UniqueVariant() { VariantInit(&value_); }
  ~UniqueVariant() { VariantClear(&value_); }
  UniqueVariant(UniqueVariant&& other) noexcept {
    value_ = other.value_;
    VariantInit(&other.value_);
  }
  UniqueVariant& operator=(UniqueVariant&& other) noexcept {
    if (this != &other) {
      VariantClear(&value_);
      value_ = other.value_;
      VariantInit(&other.value_);
    }
    return *this;
  }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;

  VARIANT* get() { return &value_; }
  const VARIANT* get() const { return &value_; }
  // For an out-parameter: clears the current value first.
  VARIANT* put() {
    VariantClear(&value_);
    return &value_;
  }

 private:
  VARIANT value_;
};
