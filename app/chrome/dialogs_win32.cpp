#include "app/chrome/dialogs_win32.h"

#include <string>

#include "Systeme/text_convert_win32.h"
#include "Systeme/unique_handle_win32.h"
#include "app/chrome/message_dialog_win32.h"
#include "app/chrome/task_message.h"

namespace {

// TaskDialog's own signature; it is looked up by name because systems before Vista lack it.
using TaskDialogProc = HRESULT(WINAPI*)(HWND owner, HINSTANCE instance, PCWSTR title,
                                        PCWSTR instruction, PCWSTR content, DWORD buttons,
                                        PCWSTR icon, int* pressed);

// The task dialog's buffers hold 1024 UTF-16 units; a surrogate pair is never split.
std::wstring TaskDialogText(const std::string& utf8) {
  std::wstring text = Utf8ToWide(utf8);
  if (text.size() > kTaskDialogTextLimit) {
    std::size_t cut = kTaskDialogTextLimit;
    if (IS_HIGH_SURROGATE(text[cut - 1])) --cut;
    text.resize(cut);
  }
  return text;
}

}  // namespace

bool IsVistaOrLater() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = 148;
  return GetVersionExA(&info) && info.dwMajorVersion >= 6;
}

bool DialogsWin32::TryTaskDialog(const std::string& title, const std::string& instruction,
                                 const std::string& content, int icon, int buttons,
                                 bool keepLineBreaks, int& result) const {
  // Loaded for this call only: nothing of the library outlives the dialog.
  UniqueHmodule library(LoadLibraryW(options_.taskDialogLibrary.c_str()));
  if (!library) return false;
  // Through the generic function pointer type, the one cast between function types allowed.
  const auto taskDialog = reinterpret_cast<TaskDialogProc>(
      reinterpret_cast<void (*)()>(GetProcAddress(library.get(), "TaskDialog")));
  if (!taskDialog) return false;

  const std::wstring wideTitle = TaskDialogText(title);
  const std::wstring wideInstruction = TaskDialogText(instruction);
  const std::wstring wideContent = TaskDialogText(TaskDialogContent(content, keepLineBreaks));
  int pressed = 0;
  // The status is not examined: a dialog that could not be shown leaves pressed at 0, which
  // reads as OK.
  taskDialog(owner_, nullptr, wideTitle.c_str(), wideInstruction.c_str(), wideContent.c_str(),
             static_cast<DWORD>(buttons), MAKEINTRESOURCEW(icon), &pressed);
  result = TranslateTaskDialogButton(pressed);
  return true;
}

int DialogsWin32::ShowTaskMessage(const std::string& title, const std::string& instruction,
                                  const std::string& content, int icon, int buttons,
                                  bool keepLineBreaks) {
  if (options_.isVistaOrLater()) {
    int result = 0;
    if (TryTaskDialog(title, instruction, content, icon, buttons, keepLineBreaks, result)) {
      return result;
    }
    // Without the task dialog the question or the error report must still reach the user, so
    // the message dialog stands in, as it does before Vista.
  }
  return ShowMessageDialog(owner_, PlanTaskMessageFallback(instruction, content, icon, buttons));
}

void DialogsWin32::ShowErrorReport(const std::string& message) {
  MessageBoxW(owner_, Utf8ToWide(ErrorReportText(message)).c_str(), L"Fixtally",
              MB_ICONERROR | MB_OK);
}

void DialogsWin32::Beep() {
  MessageBeep(MB_OK);
}

void ShowStartupWarning() {
  ShowMessageDialog(nullptr,
                    PlanMessageDialog(MessageDialogType::mtWarning,
                                      "Ce programme nécessite Windows XP (PRO), Vista ou ultérieur",
                                      {{"OK", mrOk}}));
}
