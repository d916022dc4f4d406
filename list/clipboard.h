#pragma once
#include <string>

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Replaces the clipboard's content with plain text (CF_TEXT, system code page).
  // Raises EFixtallyError when the clipboard refuses.
  virtual void SetText(const std::string& text) = 0;
};
