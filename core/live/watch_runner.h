// The watch on a thread of its own, for the windows program's "Keep this week current": started
// and stopped from the GUI thread, never blocking it while it runs.
//
// start() begins watching the folder (nothing when it watches already); stop() asks the watch to
// end and returns at once: a cycle under way finishes first, and the thread is joined by the
// next start() or by the destructor. What the watch tells goes to the WatchOutput on the
// runner's thread (a window posts it on to its own thread). Another watch of the folder (the
// systemd unit) makes the runner end at once with its warning.
//
// Threading: start(), stop(), running() and the destructor from one thread (the GUI's).
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "core/live/watch.h"
#include "core/runtime/clock.h"
#include "core/runtime/download.h"

namespace mervane {

class WatchRunner {
 public:
  // The clock and downloader the thread uses; the system's and libcurl's unless given (tests
  // pass a played clock and a local server's address in the folder's settings).
  using ClockFactory = std::function<std::unique_ptr<LiveClock>()>;
  WatchRunner(std::filesystem::path folder, WatchOutput& out, ClockFactory clock = {});
  ~WatchRunner();
  WatchRunner(const WatchRunner&) = delete;
  WatchRunner& operator=(const WatchRunner&) = delete;

  void start();
  void stop();
  // Started and not yet ended.
  bool running() const { return thread_.joinable() && !ended_->load(); }

 private:
  std::filesystem::path folder_;
  WatchOutput& out_;
  ClockFactory clock_;
  std::shared_ptr<StopSignal> stop_;
  std::shared_ptr<std::atomic<bool>> ended_ = std::make_shared<std::atomic<bool>>(true);
  std::thread thread_;
};

}  // namespace mervane
