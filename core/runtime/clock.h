// Today and now. Nothing else in the program reads the system time.
#pragma once

#include <cstdint>

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

}  // namespace mervane
