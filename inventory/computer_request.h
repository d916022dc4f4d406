#pragma once
// One computer to read, how to reach it, and the failure codes a reading of it can end with.
// The window reads the computer of its settings file; the console program reads many.
#include <cstdint>
#include <string>

#include "Systeme/secret_text.h"

// One computer to read, and how to reach it. UTF-8 texts: the console keeps what it was given
// (the command line, a file of names, a typed password) as it was, down to the COM and registry
// calls; the window converts its settings file's values.
struct ComputerRequest {
  std::string computer;   // as the user named it; "." or empty is this computer
  std::string nameSpace;  // the WMI namespace; empty for the default one
  std::string user;       // empty: the current account
  SecretText password;
};

// Failure codes the run writes into inventories.
inline constexpr std::int32_t kCancelledCode = static_cast<std::int32_t>(0x800704C7);  // stopped
inline constexpr std::int32_t kTimeoutCode = static_cast<std::int32_t>(0x800705B4);    // no answer
inline constexpr std::int32_t kUnexpectedCode = static_cast<std::int32_t>(0x80004005);
// The account was refused: a wrong name or password (ERROR_LOGON_FAILURE), or a locked account
// (ERROR_ACCOUNT_LOCKED_OUT). Repeating the logon on other computers cannot do better, and
// every attempt brings a domain account nearer to its lock-out.
inline constexpr std::int32_t kLogonFailureCode = static_cast<std::int32_t>(0x8007052E);
inline constexpr std::int32_t kAccountLockedCode = static_cast<std::int32_t>(0x80070775);

// What a computer that did not answer within `timeoutMs` is reported with (kTimeoutCode).
inline std::string NoAnswerText(std::uint32_t timeoutMs) {
  const std::string delay = timeoutMs % 1000 == 0 ? std::to_string(timeoutMs / 1000) + " s"
                                                  : std::to_string(timeoutMs) + " ms";
  return "Pas de r\xC3\xA9ponse dans le d\xC3\xA9lai de " + delay;
}
