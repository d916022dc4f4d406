#include "console/run_ports_win32.h"

#include <windows.h>

#include <deque>
#include <utility>

#include "Systeme/com_scope_win32.h"
#include "Systeme/unique_handle_win32.h"

namespace {

// Each computer's thread reserves this much address space for its stack rather than the
// executable's default (2 MB with this linker): a 32-bit process has 2 GB, and threads given up
// on dead computers may stay alive for minutes. WMI's and DCOM's calls need far less.
constexpr SIZE_T kStackReservation = 256 * 1024;

// The thread owns its work: the starter never waits for it, and a thread given up after its
// timeout may end long after the run.
DWORD WINAPI RunWork(void* parameter) {
  std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(parameter));
  // Its own multithreaded apartment: WMI's proxies are then free-threaded and no message loop
  // is needed; the apartment is left only after the work and all it holds are destroyed.
  ComScope com(COINIT_MULTITHREADED);
  (*work)();
  work.reset();
  return 0;
}

class CriticalSectionLock {
 public:
  explicit CriticalSectionLock(CRITICAL_SECTION& section) : section_(section) {
    EnterCriticalSection(&section_);
  }
  ~CriticalSectionLock() { LeaveCriticalSection(&section_); }
  CriticalSectionLock(const CriticalSectionLock&) = delete;
  CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

 private:
  CRITICAL_SECTION& section_;
};

class RunMailboxWin32 final : public RunMailbox {
 public:
  RunMailboxWin32() : available_(CreateSemaphoreW(nullptr, 0, LONG_MAX, nullptr)) {
    InitializeCriticalSection(&lock_);
  }
  ~RunMailboxWin32() override { DeleteCriticalSection(&lock_); }
  RunMailboxWin32(const RunMailboxWin32&) = delete;
  RunMailboxWin32& operator=(const RunMailboxWin32&) = delete;

  void Post(RunEvent event) override {
    {
      CriticalSectionLock lock(lock_);
      events_.push_back(std::move(event));
    }
    ReleaseSemaphore(available_.get(), 1, nullptr);
  }

  std::optional<RunEvent> WaitFor(std::uint32_t milliseconds) override {
    if (WaitForSingleObject(available_.get(), milliseconds) != WAIT_OBJECT_0) return std::nullopt;
    CriticalSectionLock lock(lock_);
    RunEvent event = std::move(events_.front());
    events_.pop_front();
    return event;
  }

 private:
  CRITICAL_SECTION lock_;
  UniqueKernelHandle available_;  // one count per queued event
  std::deque<RunEvent> events_;
};

}  // namespace

bool ThreadStarterWin32::Start(std::function<void()> work) {
  // Only the threads still running are kept: a run over thousands of computers holds the
  // handles of the few it reads at once, not of every one it has read.
  std::erase_if(threads_, [](const UniqueKernelHandle& thread) {
    return WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0;
  });
  threads_.reserve(threads_.size() + 1);
  auto owned = std::make_unique<std::function<void()>>(std::move(work));
  UniqueKernelHandle thread(CreateThread(nullptr, kStackReservation, RunWork, owned.get(),
                                         STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
  if (!thread) return false;
  owned.release();  // the thread has it now
  threads_.push_back(std::move(thread));
  return true;
}

void ThreadStarterWin32::RunHere(std::function<void()> work) {
  // A thread of its own costs a short run more than all it reads under Wine; the apartment is
  // left once the work, and all it holds, is gone.
  ComScope com(COINIT_MULTITHREADED);
  work();
  work = nullptr;
}

bool ThreadStarterWin32::WaitForThreads(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  bool allEnded = true;
  for (const UniqueKernelHandle& thread : threads_) {
    const DWORD spent = GetTickCount() - start;
    const DWORD left = spent >= milliseconds ? 0 : milliseconds - spent;
    allEnded = WaitForSingleObject(thread.get(), left) == WAIT_OBJECT_0 && allEnded;
  }
  return allEnded;
}

std::shared_ptr<RunMailbox> MakeRunMailboxWin32() {
  return std::make_shared<RunMailboxWin32>();
}

std::uint32_t RunClockWin32() {
  return GetTickCount();
}
