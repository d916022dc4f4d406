#include "app/command_ports_win32.h"

#include <commdlg.h>

#include <cstdio>

#include "Systeme/locale_text_win32.h"
#include "Systeme/errors.h"
#include "Systeme/replace_file_win32.h"
#include "Systeme/text_convert_win32.h"
#include "Systeme/unique_handle_win32.h"

namespace {

// The dialog's file types, in the order of kExportFilterFormats (app/export_choice.h).
constexpr wchar_t kExportFilter[] =
    L"CSV, s\u00e9parateur de liste (*.csv)\0*.csv\0"
    L"JSON (*.json)\0*.json\0"
    L"Texte comme \u00ab\u00a0Copier\u00a0\u00bb (*.txt)\0*.txt\0";

// The longest path the dialog hands back (the W calls take "\\?\" paths this long).
constexpr DWORD kPathCapacity = 32768;

}  // namespace

WindowCommand CommandPortsWin32::ShowContextMenu(const std::vector<ContextMenuItem>& items,
                                                 int screenX, int screenY) {
  UniqueHmenu menu(CreatePopupMenu());
  if (!menu) return WindowCommand::None;
  // Menu identifiers start at 1: TrackPopupMenu answers 0 for "nothing chosen".
  for (std::size_t i = 0; i < items.size(); ++i) {
    const ContextMenuItem& item = items[i];
    const UINT id = static_cast<UINT>(i + 1);
    if (item.command == WindowCommand::None) {
      AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
      continue;
    }
    // Windows menus show an item's key after a tab, right-aligned.
    const std::wstring text =
        Utf8ToWide(item.shortcut.empty() ? item.text : item.text + ("\t" + item.shortcut));
    AppendMenuW(menu.get(), MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), id, text.c_str());
    if (item.isDefault) SetMenuDefaultItem(menu.get(), id, FALSE);
  }
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                     screenX, screenY, 0, owner_(), nullptr));
  if (chosen == 0 || chosen > items.size()) return WindowCommand::None;
  return items[chosen - 1].command;
}

void CommandPortsWin32::FocusSearchBox() {
  HWND edit = searchBox_();
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 0, -1);
}

std::optional<ExportTarget> CommandPortsWin32::AskExportTarget(const std::string& fileName,
                                                               const std::string& folder) {
  std::wstring path(kPathCapacity, L'\0');
  const std::wstring name = Utf8ToWide(fileName);
  name.copy(path.data(), kPathCapacity - 1);
  const std::wstring initialFolder = Utf8ToWide(folder);

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_();
  dialog.lpstrFilter = kExportFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = kPathCapacity;
  dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
  dialog.lpstrTitle = L"Exporter la liste";
  dialog.lpstrDefExt = L"csv";
  // A folder that does not exist is left to the write, whose report names the path and the
  // system's reason, as for any other refusal.
  dialog.Flags =
      OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING;
  if (!GetSaveFileNameW(&dialog)) {
    const DWORD error = CommDlgExtendedError();
    if (error == 0) return std::nullopt;  // cancelled
    char code[16];
    std::snprintf(code, sizeof code, "0x%04lX", static_cast<unsigned long>(error));
    throw EFixtallyError(std::string("La fen\u00eatre d'enregistrement n'a pas pu s'ouvrir (") +
                         code + ")");
  }
  path.resize(wcslen(path.c_str()));
  return ExportTarget{WideToUtf8(path), static_cast<int>(dialog.nFilterIndex)};
}

void CommandPortsWin32::WriteWholeFile(const std::string& path, const std::string& bytes) {
  ReplaceFileWith(Utf8ToWide(path), bytes);  // a refusal names the path and the system's reason
}

bool CommandPortsWin32::FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string CommandPortsWin32::ComputerName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD length = sizeof name;
  if (!GetComputerNameA(name, &length)) return "Ordinateur";
  return std::string(name, length);
}

std::string CommandPortsWin32::ListSeparator() {
  return UserListSeparator();
}

CalendarDate CommandPortsWin32::Today() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return CalendarDate{now.wYear, now.wMonth, now.wDay};
}
