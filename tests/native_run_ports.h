#pragma once
// The run's ports on the standard library, for the native tests and benchmarks: detached
// std::threads, a mailbox on a mutex and a condition variable, the steady clock. The Windows
// build makes its own (it has no std::thread).
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "console/run_ports.h"

class NativeThreadStarter : public ThreadStarter {
 public:
  bool Start(std::function<void()> work) override {
    try {
      std::thread(std::move(work)).detach();
      return true;
    } catch (const std::system_error&) {
      return false;
    }
  }
};

class NativeMailbox : public RunMailbox {
 public:
  void Post(RunEvent event) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      events_.push_back(std::move(event));
    }
    arrived_.notify_one();
  }
  std::optional<RunEvent> WaitFor(std::uint32_t milliseconds) override {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!arrived_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                           [this] { return !events_.empty(); })) {
      return std::nullopt;
    }
    RunEvent event = std::move(events_.front());
    events_.pop_front();
    return event;
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<RunEvent> events_;
};

inline std::uint32_t NativeMilliseconds() {
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}
