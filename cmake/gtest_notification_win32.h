// GoogleTest's Notification for MinGW's win32 thread model, which has no std::mutex: a manual
// reset event does the same job. Force-included into every GoogleTest compilation of the
// Windows build.
#pragma once
#ifdef __cplusplus
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1
namespace testing {
namespace internal {
class Notification {
 public:
  Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(event_); }
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};
}  // namespace internal
}  // namespace testing
#endif
