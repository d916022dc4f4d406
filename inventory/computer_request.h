#pragma once
// One computer to read, how to reach it, and the failure codes a reading of it can end with.
// The window reads the computer of its settings file; the console program reads many.
#include <cstdint>
#include <string>

// One computer to read, and how to reach it (texts in the system code page).
struct ComputerRequest {
  std::string computer;   // as the user named it; "." or empty is this computer
  std::string nameSpace;  // the WMI namespace; empty for the default one
  std::string user;       // empty: the current account
  std::string password;
};

// Failure codes the run writes into inventories.
inline constexpr std::int32_t kCancelledCode = static_cast<std::int32_t>(0x800704C7);  // stopped
inline constexpr std::int32_t kTimeoutCode = static_cast<std::int32_t>(0x800705B4);    // no answer
inline constexpr std::int32_t kUnexpectedCode = static_cast<std::int32_t>(0x80004005);

// What a computer that did not answer within `timeoutMs` is reported with (kTimeoutCode).
inline std::string NoAnswerText(std::uint32_t timeoutMs) {
  const std::string delay = timeoutMs % 1000 == 0 ? std::to_string(timeoutMs / 1000) + " s"
                                                  : std::to_string(timeoutMs) + " ms";
  return "Pas de r\xC3\xA9ponse dans le d\xC3\xA9lai de " + delay;
}
