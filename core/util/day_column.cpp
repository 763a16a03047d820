#include "core/util/day_column.h"

#include <cstdio>

#include "core/util/dates.h"

namespace mervane {

std::string day_column(std::int32_t date) {
  if (date == 0) return {};
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const Ymd d = ymd_of(date);
  char buf[40];
  const int n = std::snprintf(buf, sizeof buf, "%s %d %s %04lld", kDays[weekday_of(date)], d.day,
                              kMonths[d.month - 1], static_cast<long long>(d.year));
  return std::string(buf, static_cast<std::size_t>(n));
}

}  // namespace mervane
