#pragma once
// The run's threads and mailbox on Windows: CreateThread with a COM apartment of its own per
// thread, and a queue guarded by a critical section with a semaphore that counts its events
// (Windows XP has no condition variables).
#include <windows.h>

#include <memory>
#include <vector>

#include "Systeme/unique_handle_win32.h"
#include "console/run_ports.h"

class ThreadStarterWin32 final : public ThreadStarter {
 public:
  ThreadStarterWin32() = default;
  ThreadStarterWin32(const ThreadStarterWin32&) = delete;
  ThreadStarterWin32& operator=(const ThreadStarterWin32&) = delete;

  bool Start(std::function<void()> work) override;
  void RunHere(std::function<void()> work) override;

  // Waits until every thread started has ended, or `milliseconds` have passed; true when they
  // all have. A thread that has posted its result may still be leaving its COM apartment.
  // Threads given up on a computer that never answered are waited for no longer than this.
  bool WaitForThreads(DWORD milliseconds);

 private:
  std::vector<UniqueKernelHandle> threads_;  // the threads not known to have ended
};

std::shared_ptr<RunMailbox> MakeRunMailboxWin32();

// GetTickCount: milliseconds since the system started, wrapping after 49.7 days.
std::uint32_t RunClockWin32();
