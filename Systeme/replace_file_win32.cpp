#include "Systeme/replace_file_win32.h"

#include <windows.h>

#include <algorithm>

#include "Systeme/errors.h"
#include "Systeme/system_message_win32.h"
#include "Systeme/text_convert_win32.h"

namespace {

[[noreturn]] void RaiseFileError(const std::wstring& path, DWORD code) {
  std::string text = "Impossible d'écrire dans " + WideToUtf8(path);
  const std::string reason = SystemMessage(code);
  if (!reason.empty()) text += "\u00a0: " + reason;
  throw EFixtallyError(text);
}

// A file handle's owner: CreateFile fails with INVALID_HANDLE_VALUE, not null, and closing a
// written file can itself fail, which a write must hear of.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() { Close(); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    const bool closed = !valid() || CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE handle_;
};

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

}  // namespace

void ReplaceFileWith(const std::wstring& path, std::string_view bytes) {
  // Beside the target, so that the rename stays on one volume and is a single step; named after
  // the process, so that two runs writing the same target do not share it.
  const std::wstring temporary = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) RaiseFileError(path, GetLastError());
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
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  const auto fail = [&path](DWORD code) {
    std::string text = "Impossible de lire " + WideToUtf8(path);
    const std::string reason = SystemMessage(code);
    if (!reason.empty()) text += "\u00a0: " + reason;
    throw EFixtallyError(text);
  };
  if (!file.valid()) fail(GetLastError());
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
