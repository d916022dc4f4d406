#include "list/clipboard_win32.h"

#include <cstring>
#include <string>
#include <utility>

#include "Systeme/errors.h"
#include "Systeme/unique_handle_win32.h"

namespace {

// Another program (a clipboard viewer, a remote-desktop client) may hold the clipboard open for
// a moment; a short wait is better than an error the user cannot explain.
constexpr int kOpenAttempts = 10;
constexpr DWORD kRetryDelayMs = 20;

// The clipboard held open for one write and closed on every path.
class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner) {
    for (int attempt = 0; attempt < kOpenAttempts && !open_; ++attempt) {
      if (attempt > 0) Sleep(kRetryDelayMs);
      open_ = OpenClipboard(owner) != FALSE;
    }
  }
  ~ClipboardSession() {
    if (open_) CloseClipboard();
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;

  bool IsOpen() const { return open_; }

 private:
  bool open_ = false;
};

// The text with its terminating zero, in a movable block the clipboard can take over.
UniqueHglobal CopyToGlobalMemory(const std::string& text) {
  UniqueHglobal memory(GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
  if (!memory.get()) throw EFixtallyError("Mémoire insuffisante pour le Presse-papiers");
  void* bytes = GlobalLock(memory.get());
  if (!bytes) throw EFixtallyError("Mémoire insuffisante pour le Presse-papiers");
  std::memcpy(bytes, text.data(), text.size());
  static_cast<char*>(bytes)[text.size()] = '\0';
  GlobalUnlock(memory.get());
  return memory;
}

class ClipboardWin32 : public Clipboard {
 public:
  explicit ClipboardWin32(std::function<HWND()> owner) : owner_(std::move(owner)) {}

  void SetText(const std::string& text) override {
    // The block is ready before the clipboard is opened, so it is held open only briefly.
    UniqueHglobal memory = CopyToGlobalMemory(text);
    ClipboardSession session(owner_ ? owner_() : nullptr);
    if (!session.IsOpen()) throw EFixtallyError("Impossible d'ouvrir le Presse-papiers");
    if (!EmptyClipboard()) throw EFixtallyError("Impossible de vider le Presse-papiers");
    if (!SetClipboardData(CF_TEXT, memory.get())) {
      throw EFixtallyError("Impossible d'écrire dans le Presse-papiers");
    }
    memory.release();  // the system owns the block from now on
  }

 private:
  std::function<HWND()> owner_;
};

}  // namespace

std::unique_ptr<Clipboard> MakeWindowsClipboard(std::function<HWND()> owner) {
  return std::make_unique<ClipboardWin32>(std::move(owner));
}
