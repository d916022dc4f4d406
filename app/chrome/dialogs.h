#pragma once
// The program's one way to ask the user something or report an error, and its beep.
// Texts are UTF-8.
#include <string>

// Icons of ShowTaskMessage
constexpr int tdIconInformation = 81;
constexpr int tdIconWarning = 84;
constexpr int tdIconError = 98;
constexpr int tdIconQuestion = 99;
// Common-button flags
constexpr int tdbOk = 1, tdbYes = 2, tdbNo = 4, tdbCancel = 8, tdbRetry = 16, tdbClose = 32;
// Results
constexpr int mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7;

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Task dialog from Vista on, the French message dialog before (or when it is missing).
  virtual int ShowTaskMessage(const std::string& title, const std::string& instruction,
                              const std::string& content, int icon, int buttons,
                              bool keepLineBreaks) = 0;
  // The application's general error report: caption "Fixtally", error icon, OK.
  virtual void ShowErrorReport(const std::string& message) = 0;
  virtual void Beep() = 0;  // the system's default message beep
};

// The general error report's text: a full stop is appended when the last character sorts
// after ".".
std::string ErrorReportText(const std::string& message);
