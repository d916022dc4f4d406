#pragma once
// Small helpers for tests that drive real windows (under Wine): pumping this thread's
// messages and converting the tests' UTF-8 literals for the W calls.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace win32_test {

// Dispatches every message already waiting for this thread, posted ones included.
inline void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Pumps until done() holds or timeoutMs pass; returns done()'s last answer.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= timeoutMs) return false;
    PumpMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

inline std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

inline std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  if (length > 0)
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

}  // namespace win32_test
