#pragma once
// The program's error classes. Messages are UTF-8; they reach the user through the general
// error report (app/chrome/dialogs.h) or the scan's error dialog.
#include <cstdint>
#include <stdexcept>
#include <string>

// A failed COM call that carries only its code (the locator could not be created).
class EOleSysError : public std::runtime_error {
 public:
  EOleSysError(const std::string& message, std::int32_t code)
      : std::runtime_error(message), code_(code) {}
  std::int32_t ErrorCode() const { return code_; }

 private:
  std::int32_t code_;
};

// A failed WMI operation: its code and the description the platform attached to it.
class EOleException : public EOleSysError {
 public:
  using EOleSysError::EOleSysError;
};

// Any other error a user action can end with (a bad link template, a refused write, ...).
class EFixtallyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
