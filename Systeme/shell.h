#pragma once
#include <string>

class Shell {
 public:
  virtual ~Shell() = default;
  // Asks the system shell to open a document or web address with its default action, showing
  // the window without activating it. The outcome is not examined.
  virtual void OpenDocument(const std::string& path) = 0;
};
