#include "console/console_streams_win32.h"

#include <algorithm>

#include "Systeme/text_convert_win32.h"
#include "Systeme/unique_handle_win32.h"

namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode);
}

std::wstring Widen(std::string_view bytes, UINT codePage) {
  return codePage == CP_UTF8 ? Utf8ToWide(bytes) : AnsiToWide(bytes);
}

// Restores the console's input mode however the reading ends.
class EchoOff {
 public:
  explicit EchoOff(HANDLE input) : input_(input) {
    if (GetConsoleMode(input_, &mode_)) {
      restore_ = SetConsoleMode(
          input_, (mode_ & ~ENABLE_ECHO_INPUT) | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT);
    }
  }
  ~EchoOff() {
    if (restore_) SetConsoleMode(input_, mode_);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  HANDLE input_;
  DWORD mode_ = 0;
  bool restore_ = false;
};

}  // namespace

ConsoleStreams::ConsoleStreams()
    : output_(GetStdHandle(STD_OUTPUT_HANDLE)),
      error_(GetStdHandle(STD_ERROR_HANDLE)),
      outputIsConsole_(IsConsole(output_)),
      errorIsConsole_(IsConsole(error_)) {}

bool ConsoleStreams::Write(HANDLE handle, bool isConsole, std::string_view bytes, UINT codePage) {
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return false;
  if (isConsole) {
    const std::wstring text = Widen(bytes, codePage);
    std::wstring_view rest = text;
    while (!rest.empty()) {
      DWORD written = 0;
      const DWORD size = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 8192));
      if (!WriteConsoleW(handle, rest.data(), size, &written, nullptr) || written == 0) {
        return false;
      }
      rest.remove_prefix(written);
    }
    return true;
  }
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    if (!WriteFile(handle, bytes.data(), size, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool ConsoleStreams::WriteOutput(std::string_view bytes, TextEncoding encoding) {
  return Write(output_, outputIsConsole_, bytes, encoding == TextEncoding::Utf8 ? CP_UTF8 : CP_ACP);
}

void ConsoleStreams::WriteError(std::string_view utf8) {
  EndProgress();
  const std::string line = std::string(utf8) + "\r\n";
  // Redirected, messages go out in the system code page, as the "Copier" text does.
  if (errorIsConsole_) {
    Write(error_, true, line, CP_UTF8);
  } else {
    Write(error_, false, Utf8ToAnsi(line), CP_ACP);
  }
}

void ConsoleStreams::ShowProgress(std::string_view utf8) {
  if (!errorIsConsole_) return;
  std::string line = "\r" + std::string(utf8);
  const std::size_t length = utf8.size();
  if (length < progressLength_) line.append(progressLength_ - length, ' ');
  progressLength_ = length;
  Write(error_, true, line, CP_UTF8);
}

void ConsoleStreams::EndProgress() {
  if (progressLength_ == 0) return;
  Write(error_, true, "\r" + std::string(progressLength_, ' ') + "\r", CP_UTF8);
  progressLength_ = 0;
}

std::optional<std::wstring> ConsoleStreams::ReadSecret(std::string_view promptUtf8) {
  // The console's own input, even when standard input is redirected: a password is typed by a
  // person, never read from a pipe.
  const UniqueFile input(CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                     nullptr));
  if (!input) return std::nullopt;
  const UniqueFile prompt(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
  if (prompt) Write(prompt.get(), true, promptUtf8, CP_UTF8);
  std::wstring secret;
  {
    EchoOff echoOff(input.get());
    wchar_t buffer[256];
    for (;;) {
      DWORD read = 0;
      if (!ReadConsoleW(input.get(), buffer, 256, &read, nullptr) || read == 0) break;
      secret.append(buffer, read);
      if (secret.find(L'\n') != std::wstring::npos) break;
    }
    SecureZeroMemory(buffer, sizeof buffer);
  }
  if (prompt) Write(prompt.get(), true, "\r\n", CP_UTF8);
  while (!secret.empty() && (secret.back() == L'\n' || secret.back() == L'\r')) secret.pop_back();
  return secret;
}
