#pragma once
// The Dialogs port on Windows: the task dialog from Vista on, the French message dialog before
// it or whenever the task dialog cannot be had, the general error report and the beep.
#include <windows.h>

#include <functional>
#include <string>

#include "app/chrome/dialogs.h"

// The major version of the running system is 6 or more.
bool IsVistaOrLater();

struct DialogsWin32Options {
  // Which dialog to use; tests force the message dialog on a newer system.
  std::function<bool()> isVistaOrLater = IsVistaOrLater;
  // The library that holds TaskDialog; tests name a missing one.
  std::wstring taskDialogLibrary = L"comctl32.dll";
};

class DialogsWin32 : public Dialogs {
 public:
  DialogsWin32() = default;
  explicit DialogsWin32(DialogsWin32Options options) : options_(std::move(options)) {}

  // The main window, once it exists; until then the dialogs have no owner.
  void SetOwner(HWND owner) { owner_ = owner; }
  HWND Owner() const { return owner_; }

  int ShowTaskMessage(const std::string& title, const std::string& instruction,
                      const std::string& content, int icon, int buttons,
                      bool keepLineBreaks) override;
  void ShowErrorReport(const std::string& message) override;
  void Beep() override;

 private:
  // False, with nothing shown, when the library or its TaskDialog cannot be had.
  bool TryTaskDialog(const std::string& title, const std::string& instruction,
                     const std::string& content, int icon, int buttons, bool keepLineBreaks,
                     int& result) const;

  DialogsWin32Options options_;
  HWND owner_ = nullptr;
};

// The start-up refusal on an unsupported system: a warning message dialog with "OK".
void ShowStartupWarning();
