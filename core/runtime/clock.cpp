#include "core/runtime/clock.h"

#include <algorithm>
#include <ctime>

#include "core/util/dates.h"

namespace mervane {
namespace {

std::tm local_now() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

}  // namespace

std::int32_t SystemClock::today() const {
  const std::tm tm = local_now();
  return date_serial(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday).value_or(0);
}

std::int32_t SystemClock::now() const {
  const std::tm tm = local_now();
  return ((tm.tm_hour * 60 + tm.tm_min) * 60 + tm.tm_sec) * 100 + 1;
}

std::int32_t LiveClock::today() const {
  return static_cast<std::int32_t>(local(moment()).date);
}

std::int32_t LiveClock::now() const {
  return static_cast<std::int32_t>(local(moment()).seconds) * kTimeSecond + 1;
}

WallTime LiveClock::local(std::int64_t moment) {
  const std::time_t t = static_cast<std::time_t>(moment);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {days_of(std::int64_t{tm.tm_year} + 1900, tm.tm_mon + 1, tm.tm_mday),
          (tm.tm_hour * 60 + tm.tm_min) * 60 + tm.tm_sec};
}

std::int64_t LiveClock::moment_of(std::int64_t date, std::int64_t seconds) {
  date += seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  seconds -= (seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400)) * 86400;
  const Ymd d = ymd_of(static_cast<std::int32_t>(date));
  std::tm tm{};
  tm.tm_year = static_cast<int>(d.year - 1900);
  tm.tm_mon = d.month - 1;
  tm.tm_mday = d.day;
  tm.tm_hour = static_cast<int>(seconds / 3600);
  tm.tm_min = static_cast<int>(seconds / 60 % 60);
  tm.tm_sec = static_cast<int>(seconds % 60);
  tm.tm_isdst = -1;  // the zone's rules decide
  std::tm probe = tm;
  std::time_t best = std::mktime(&probe);
  // With the season left to it, mktime may take a repeated time (the hour of autumn) in either
  // of its occurrences; the earlier one is wanted.
  for (const int dst : {1, 0}) {
    std::tm season = tm;
    season.tm_isdst = dst;
    const std::time_t when = std::mktime(&season);
    const WallTime back = local(when);
    if (when != -1 && back.date == date && back.seconds == seconds && when < best) best = when;
  }
  return best;
}

namespace {

std::int64_t offset_at(std::int64_t moment) {
  const std::time_t t = static_cast<std::time_t>(moment);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm.tm_gmtoff;
}

}  // namespace

std::int64_t LocalMoments::moment(std::int64_t date, std::int64_t seconds) {
  const std::int64_t wall = (date - kUnixEpochSerial) * 86400 + seconds;
  // With the same offset two hours either side, no change is near: the time is neither skipped
  // nor repeated, and this is its one moment.
  if (known_) {
    const std::int64_t m = wall - offset_;
    if (offset_at(m - 7200) == offset_ && offset_at(m + 7200) == offset_) return m;
  }
  const std::int64_t m = LiveClock::moment_of(date, seconds);
  offset_ = wall - m;
  known_ = true;
  return m;
}

std::int64_t SystemLiveClock::moment() const {
  return static_cast<std::int64_t>(std::time(nullptr));
}

bool SystemLiveClock::wait_until(std::int64_t moment, StopSignal& stop) {
  for (;;) {
    const std::int64_t left = moment - this->moment();
    if (left <= 0) return !stop.raised();
    if (stop.wait_for(std::chrono::seconds(std::min<std::int64_t>(left, 60)))) return false;
  }
}

bool PlayedClock::wait_until(std::int64_t moment, StopSignal& stop) {
  if (stop.raised()) return false;
  if (moment > moment_.load()) moment_.store(moment);
  return true;
}

bool ClockUntil::wait_until(std::int64_t moment, StopSignal& stop) {
  if (moment < end_) return inner_.wait_until(moment, stop);
  inner_.wait_until(end_, stop);
  stop.raise();
  return false;
}

}  // namespace mervane
