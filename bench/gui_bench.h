// What the windows program's benchmarks share: a heartbeat on the GUI thread that finds its
// longest stall, and a wait that runs the GUI's event loop until a condition holds.
#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace mervane::bench {

// The beat of the heartbeat, in milliseconds.
constexpr int kBeatMs = 5;

// The longest gap between the beats of a timer on the GUI thread while the loop runs.
class Heartbeat {
 public:
  Heartbeat() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kBeatMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      longest_ = std::max(longest_, now - last_);
      last_ = now;
      if (on_beat) on_beat();
    });
  }
  void start() {
    longest_ = 0;
    last_ = 0;
    clock_.start();
    timer_.start();
  }
  double stop_ms() {
    timer_.stop();
    // The time since the last beat counts as well: a stall at the very end is a stall.
    longest_ = std::max(longest_, clock_.nsecsElapsed() - last_);
    return static_cast<double>(longest_) / 1e6;
  }
  std::function<void()> on_beat;

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = 0, longest_ = 0;
};

// Runs the GUI's event loop, sleeping between events, until the condition holds (looked at every
// 10 ms) or the time is up; whether it holds. A loop polling processEvents() instead would keep
// the GUI thread busy and take a core from the windows' threads being measured.
inline bool run_until(const std::function<bool()>& done, int seconds) {
  if (done()) return true;
  QEventLoop loop;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, [&] {
    if (done()) loop.quit();
  });
  check.start(10);
  QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
  loop.exec();
  return done();
}

}  // namespace mervane::bench
