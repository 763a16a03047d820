#include "core/live/watch_runner.h"

namespace mervane {

WatchRunner::WatchRunner(std::filesystem::path folder, WatchOutput& out, ClockFactory clock)
    : folder_(std::move(folder)), out_(out), clock_(std::move(clock)) {}

WatchRunner::~WatchRunner() {
  stop();
  if (thread_.joinable()) thread_.join();
}

void WatchRunner::start() {
  if (running()) return;
  if (thread_.joinable()) thread_.join();  // a watch asked to stop, or ended, is over first
  stop_ = std::make_shared<StopSignal>();
  ended_ = std::make_shared<std::atomic<bool>>(false);
  thread_ = std::thread([this, stop = stop_, ended = ended_] {
    std::unique_ptr<LiveClock> clock =
        clock_ ? clock_() : std::unique_ptr<LiveClock>(std::make_unique<SystemLiveClock>());
    CurlDownloader downloader;
    Watch watch(folder_, *clock, downloader, out_, WatchOptions{});
    watch.run(*stop);
    ended->store(true);
  });
}

void WatchRunner::stop() {
  if (stop_) stop_->raise();
}

}  // namespace mervane
