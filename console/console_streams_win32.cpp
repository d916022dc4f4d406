#include "console/console_streams_win32.h"

#include <algorithm>
#include <array>

#include "Systeme/secret_text_win32.h"
#include "Systeme/text_convert_win32.h"
#include "Systeme/unique_handle_win32.h"

namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode);
}

UINT OutputCodePage() {
  const UINT console = GetConsoleOutputCP();
  return console != 0 ? console : GetOEMCP();
}

bool WriteAllBytes(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    if (!WriteFile(handle, bytes.data(), size, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool WriteConsoleText(HANDLE handle, std::string_view utf8) {
  const std::wstring text = Utf8ToWide(utf8);
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

// Restores the console's input mode however the reading ends.
class EchoOff {
 public:
  explicit EchoOff(HANDLE input) : input_(input) {
    if (GetConsoleMode(input_, &mode_)) {
      // Processed input: Ctrl+C reaches the program's handler and ends the reading.
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
      errorIsConsole_(IsConsole(error_)),
      codePage_(OutputCodePage()) {}

bool ConsoleStreams::Write(HANDLE handle, bool isConsole, std::string_view utf8, bool keepUtf8) {
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return false;
  if (isConsole) return WriteConsoleText(handle, utf8);
  if (keepUtf8 || codePage_ == CP_UTF8) return WriteAllBytes(handle, utf8);
  return WriteAllBytes(handle, WideToCodePage(Utf8ToWide(utf8), codePage_));
}

bool ConsoleStreams::WriteOutput(std::string_view utf8, bool keepUtf8) {
  EndProgress();
  return Write(output_, outputIsConsole_, utf8, keepUtf8);
}

void ConsoleStreams::WriteError(std::string_view utf8) {
  EndProgress();
  Write(error_, errorIsConsole_, std::string(utf8) + "\r\n", false);
}

void ConsoleStreams::ShowProgress(std::string_view utf8) {
  if (!errorIsConsole_) return;
  std::string line = "\r" + std::string(utf8);
  const std::size_t length = utf8.size();
  if (length < progressLength_) line.append(progressLength_ - length, ' ');
  progressLength_ = length;
  WriteConsoleText(error_, line);
}

void ConsoleStreams::EndProgress() {
  if (progressLength_ == 0) return;
  WriteConsoleText(error_, "\r" + std::string(progressLength_, ' ') + "\r");
  progressLength_ = 0;
}

PasswordAnswer ConsoleStreams::ReadSecret(std::string_view promptUtf8) {
  PasswordAnswer answer;
  // The console's own input, even when standard input is redirected: a password is typed by a
  // person, never read from a pipe.
  const UniqueFile input(CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                     nullptr));
  if (!input) return answer;
  const UniqueFile prompt(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
  EndProgress();
  if (prompt) WriteConsoleText(prompt.get(), promptUtf8);
  // One buffer of fixed size for the whole line: a growing one would leave copies behind.
  std::array<wchar_t, 512> line{};
  std::size_t length = 0;
  bool ended = false;
  {
    EchoOff echoOff(input.get());
    while (!ended && length < line.size()) {
      DWORD read = 0;
      // Ctrl+C fails the read (ERROR_OPERATION_ABORTED) or ends it empty: no password then.
      if (!ReadConsoleW(input.get(), line.data() + length, static_cast<DWORD>(line.size() - length),
                        &read, nullptr) ||
          read == 0) {
        break;
      }
      ended = std::wstring_view(line.data() + length, read).find_first_of(L"\r\n") !=
              std::wstring_view::npos;
      length += read;
    }
  }
  if (prompt) WriteConsoleText(prompt.get(), "\r\n");
  answer.kind = PasswordAnswer::Kind::NotEnded;
  if (ended) {
    const std::wstring_view typed(line.data(), length);
    answer.kind = PasswordAnswer::Kind::Typed;
    answer.password = SecretFromWide(typed.substr(0, typed.find_first_of(L"\r\n")));
  }
  SecureZeroMemory(line.data(), sizeof line);
  return answer;
}
