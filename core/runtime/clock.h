// Today and now. Nothing else in the program reads the system time.
//
// Clock gives the local date and time of day a run works with. LiveClock, for work that goes on
// over days (the watch), also gives moments (Unix seconds, which daylight saving does not move)
// and waits for them: SystemLiveClock in real time, PlayedClock at once, so that a test plays a
// week in seconds. Both take the local wall clock from the process's zone (TZ, else the
// system's).
#pragma once

#include <atomic>
#include <cstdint>

#include "core/runtime/stop_signal.h"
#include "core/runtime/time_zones.h"

namespace mervane {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int32_t today() const = 0;  // date serial, local time
  virtual std::int32_t now() const = 0;    // time serial, local time
};

class SystemClock final : public Clock {
 public:
  std::int32_t today() const override;
  std::int32_t now() const override;
};

class FixedClock final : public Clock {
 public:
  FixedClock(std::int32_t date, std::int32_t time) : date_(date), time_(time) {}
  std::int32_t today() const override { return date_; }
  std::int32_t now() const override { return time_; }
  void set(std::int32_t date, std::int32_t time) {
    date_ = date;
    time_ = time;
  }

 private:
  std::int32_t date_;
  std::int32_t time_;
};

class LiveClock : public Clock {
 public:
  // Unix seconds now.
  virtual std::int64_t moment() const = 0;
  // Waits until `moment` has come, or until stop is raised; true when the moment came.
  virtual bool wait_until(std::int64_t moment, StopSignal& stop) = 0;

  std::int32_t today() const override;
  std::int32_t now() const override;
  // The local date and seconds since midnight of a moment.
  static WallTime local(std::int64_t moment);
  // The moment of a local date and time (seconds may lie outside one day). A repeated time (the
  // hour of autumn) is its first occurrence; a time the clock skips in spring is moved by the
  // hour of the change.
  static std::int64_t moment_of(std::int64_t date, std::int64_t seconds);
};

// The moments of many local times in a row, as LiveClock::moment_of() gives them, at a fraction
// of its cost: a time away from a change of the zone's offset takes the offset of the time
// before it. One object per thread.
class LocalMoments {
 public:
  std::int64_t moment(std::int64_t date, std::int64_t seconds);

 private:
  std::int64_t offset_ = 0;
  bool known_ = false;
};

class SystemLiveClock final : public LiveClock {
 public:
  std::int64_t moment() const override;
  // Looks at the time again at least once a minute, so a machine that slept, or a clock set
  // forward, ends the wait when the moment has passed rather than after the time it had left.
  bool wait_until(std::int64_t moment, StopSignal& stop) override;
};

// Starts at a given moment and jumps to each moment it is asked to wait for. One thread waits;
// any thread may read it.
class PlayedClock final : public LiveClock {
 public:
  explicit PlayedClock(std::int64_t start) : moment_(start) {}
  std::int64_t moment() const override { return moment_.load(); }
  bool wait_until(std::int64_t moment, StopSignal& stop) override;
  void set(std::int64_t moment) { moment_.store(moment); }

 private:
  std::atomic<std::int64_t> moment_;
};

// Another live clock that ends at a moment: asked to wait past it, it waits until then and
// raises stop, so work that waits on it (the watch) ends there, on a played clock as well.
class ClockUntil final : public LiveClock {
 public:
  ClockUntil(LiveClock& inner, std::int64_t end) : inner_(inner), end_(end) {}
  std::int64_t moment() const override { return inner_.moment(); }
  bool wait_until(std::int64_t moment, StopSignal& stop) override;

 private:
  LiveClock& inner_;
  std::int64_t end_;
};

}  // namespace mervane
