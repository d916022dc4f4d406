#include "Systeme/replace_file_win32.h"

#include <windows.h>

#include <algorithm>

#include "Systeme/errors.h"
#include "Systeme/system_message_win32.h"
#include "Systeme/text_convert_win32.h"
#include "Systeme/unique_handle_win32.h"

namespace {

[[noreturn]] void RaiseFileError(const std::wstring& path, DWORD code) {
  std::string text = "Impossible d'écrire dans " + WideToUtf8(path);
  const std::string reason = SystemMessage(code);
  if (!reason.empty()) text += "\u00a0: " + reason;
  throw EFixtallyError(text);
}

// Writes everything, in pieces the 32-bit WriteFile can take.
bool WriteAll(HANDLE file, std::string_view bytes) {
  constexpr std::size_t kPiece = 1u << 24;
  while (!bytes.empty()) {
    const DWORD size = static_cast<DWORD>(std::min(bytes.size(), kPiece));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), size, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// Beside the target, so that the rename stays on one volume and is a single step; named after
// the process, so that two runs writing the same target do not share it.
std::wstring TemporaryBeside(const std::wstring& path) {
  return path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
}

}  // namespace

void CheckCanReplace(const std::wstring& path) {
  const UniqueFile probe(
      CreateFileW(TemporaryBeside(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!probe) RaiseFileError(path, GetLastError());
}

void ReplaceFileWith(const std::wstring& path, std::string_view bytes) {
  const std::wstring temporary = TemporaryBeside(path);
  UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) RaiseFileError(path, GetLastError());
  DWORD code = ERROR_SUCCESS;
  if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) code = GetLastError();
  if (!file.Close() && code == ERROR_SUCCESS) code = GetLastError();
  if (code == ERROR_SUCCESS && !MoveFileExW(temporary.c_str(), path.c_str(),
                                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    code = GetLastError();
  }
  if (code != ERROR_SUCCESS) {
    DeleteFileW(temporary.c_str());
    RaiseFileError(path, code);
  }
}

std::string ReadWholeFile(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  const auto fail = [&path](DWORD code) {
    std::string text = "Impossible de lire " + WideToUtf8(path);
    const std::string reason = SystemMessage(code);
    if (!reason.empty()) text += "\u00a0: " + reason;
    throw EFixtallyError(text);
  };
  if (!file) fail(GetLastError());
  std::string content;
  char buffer[1 << 16];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) fail(GetLastError());
    if (read == 0) break;
    content.append(buffer, read);
  }
  return content;
}
