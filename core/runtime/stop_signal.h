// A request to stop long work (the watch), raised by another thread: the command line's signal
// thread at Ctrl+C or SIGTERM, the windows program when the user turns watching off, a test.
// Waiting on it ends as soon as it is raised. Every member may be called from any thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace mervane {

class StopSignal {
 public:
  void raise() {
    {
      std::lock_guard lock(mu_);
      raised_ = true;
    }
    cv_.notify_all();
  }
  bool raised() const {
    std::lock_guard lock(mu_);
    return raised_;
  }
  // Waits up to d, or less when raised; true when raised.
  bool wait_for(std::chrono::milliseconds d) {
    std::unique_lock lock(mu_);
    return cv_.wait_for(lock, d, [this] { return raised_; });
  }

 private:
  mutable std::mutex mu_;
  std::condition_variable cv_;
  bool raised_ = false;
};

}  // namespace mervane
