#include "core/runtime/clock.h"

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

}  // namespace mervane
