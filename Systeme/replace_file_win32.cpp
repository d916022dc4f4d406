#include "Systeme/replace_file_win32.h"

#include "Systeme/unique_handle_win32.h"

namespace {

// The whole buffer; WriteFile takes at most 4 GB minus one at a time.
DWORD WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    bytes.remove_prefix(written);
  }
  return FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
}

}  // namespace

DWORD ReplaceFileWith(const std::wstring& path, std::string_view bytes) {
  // Beside the target, so the rename stays on one volume; the process id keeps two programs
  // writing the same target apart.
  std::wstring beside = path + L".";
  for (const char digit : std::to_string(GetCurrentProcessId())) beside += digit;
  beside += L".tmp";
  HANDLE raw = CreateFileW(beside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (raw == INVALID_HANDLE_VALUE) return GetLastError();
  DWORD error = ERROR_SUCCESS;
  {
    UniqueFile file(raw);
    error = WriteAll(file.get(), bytes);
  }
  if (error == ERROR_SUCCESS && !MoveFileExW(beside.c_str(), path.c_str(),
                                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) DeleteFileW(beside.c_str());
  return error;
}
