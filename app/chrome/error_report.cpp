#include "app/chrome/dialogs.h"

std::string ErrorReportText(const std::string& message) {
  // Bytes compare unsigned, so a text ending in any non-ASCII character gets its full stop too;
  // an empty message has no last character and stays empty.
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
    return message + ".";
  }
  return message;
}
