#include "app/beyond_qfe_port_win32.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <utility>

#include "Systeme/com_scope_win32.h"
#include "Systeme/system_message_win32.h"
#include "Systeme/unique_handle_win32.h"
#include "inventory/cbs_packages_win32.h"
#include "inventory/wu_history_win32.h"

namespace {

// How often the wait looks at the user's stop when no message comes.
constexpr DWORD kPumpEveryMs = 100;
// How long a stopped reading may take to finish on its own before it is left behind.
constexpr DWORD kStopGraceMs = 250;

// Shared by the window's thread and the reading thread: a thread left behind after a stop
// still owns it, and the window never looks at it again.
struct Reading {
  UpdateSources which;
  ComputerRequest computer;
  std::atomic<bool> stop{false};
  BeyondQfeUpdates result;  // written by the reading thread, read once it has ended
};

DWORD WINAPI ReadInBackground(void* parameter) {
  const std::unique_ptr<std::shared_ptr<Reading>> owner(
      static_cast<std::shared_ptr<Reading>*>(parameter));
  Reading& reading = **owner;
  ComScope com(COINIT_MULTITHREADED);
  try {
    WuHistorySourceWin32 history;
    CbsPackageSourceWin32 packages;
    reading.result =
        ReadBeyondQfe(reading.which, reading.computer, history, packages, reading.stop);
  } catch (...) {  // a thread's outermost frame: nothing may leave it
    // Out of memory: the sources give nothing and say so, if even that can be said.
    try {
      reading.result = SourcesFailed(reading.which, static_cast<std::int32_t>(E_OUTOFMEMORY),
                                     SystemMessage(E_OUTOFMEMORY));
    } catch (...) {  // not even that could be said
      reading.result = {};
    }
  }
  return 0;
}

}  // namespace

BeyondQfeUpdates BeyondQfePortWin32::Read(UpdateSources which, const ComputerRequest& computer,
                                          const std::function<bool()>& pump) {
  auto reading = std::make_shared<Reading>();
  reading->which = which;
  reading->computer = computer;
  auto owner = std::make_unique<std::shared_ptr<Reading>>(reading);
  UniqueKernelHandle thread(CreateThread(nullptr, 0, ReadInBackground, owner.get(), 0, nullptr));
  if (!thread) {
    const DWORD error = GetLastError();
    return SourcesFailed(which, static_cast<std::int32_t>(HRESULT_FROM_WIN32(error)),
                         SystemMessage(error));
  }
  owner.release();  // the thread's now

  const HANDLE ended = thread.get();
  for (;;) {
    const DWORD woken = MsgWaitForMultipleObjects(1, &ended, FALSE, kPumpEveryMs, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) break;
    if (pump()) continue;
    reading->stop = true;
    if (WaitForSingleObject(ended, kStopGraceMs) == WAIT_OBJECT_0) break;
    leftBehind_.push_back(std::move(thread));
    return SourcesFailed(which, kCancelledCode, kStoppedText);
  }
  return std::move(reading->result);
}

bool BeyondQfePortWin32::ReaderLeftBehind() const {
  for (const UniqueKernelHandle& thread : leftBehind_) {
    if (WaitForSingleObject(thread.get(), 0) != WAIT_OBJECT_0) return true;
  }
  return false;
}
