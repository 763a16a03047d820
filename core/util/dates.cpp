#include "core/util/dates.h"

#include <cstdio>

#include <limits>

namespace mervane {
namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil), in 64 bits.
std::int64_t days_from_civil(std::int64_t y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = (m + 9) % 12;
  const std::int64_t doy = (153 * mp + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

Ymd civil_from_days(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (m <= 2 ? 1 : 0), m, d};
}

}  // namespace

Ymd ymd_of(std::int32_t serial) {
  return civil_from_days(static_cast<std::int64_t>(serial) - kUnixEpochSerial);
}

std::int64_t days_of(std::int64_t year, int month, int day) {
  // Months outside 1-12 roll the year, as the date arithmetic of the windows expects.
  std::int64_t m0 = static_cast<std::int64_t>(month) - 1;
  year += m0 >= 0 ? m0 / 12 : -((11 - m0) / 12);
  m0 = ((m0 % 12) + 12) % 12;
  return days_from_civil(year, static_cast<int>(m0 + 1), 1) + (std::int64_t{day} - 1) +
         kUnixEpochSerial;
}

bool is_leap_year(std::int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int days_in_month(std::int64_t year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && is_leap_year(year) ? 29 : kDays[month - 1];
}

std::optional<std::int32_t> date_serial(std::int64_t year, int month, int day) {
  if (month < 1 || month > 12 || day < 1 || day > days_in_month(year, month)) return std::nullopt;
  if (year < -6000000 || year > 6000000) return std::nullopt;  // far outside 32 bits anyway
  const std::int64_t s = days_of(year, month, day);
  if (s < std::numeric_limits<std::int32_t>::min() || s > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(s);
}

int weekday_of(std::int32_t serial) {
  const int r = serial % 7;
  return r < 0 ? r + 7 : r;
}

std::int32_t sunday_on_or_before(std::int32_t serial) {
  // Serials in the first days of the 32-bit range have no Sunday before them that fits: they
  // get the first Sunday of the range instead of an overflow.
  const std::int64_t sunday = std::int64_t{serial} - weekday_of(serial);
  if (sunday < std::numeric_limits<std::int32_t>::min()) return sunday_on_or_before(serial + 7);
  return static_cast<std::int32_t>(sunday);
}

std::int64_t unix_seconds(std::int32_t date) {
  return (static_cast<std::int64_t>(date) - kUnixEpochSerial) * 86400;
}

DateTime from_unix_seconds(std::int64_t seconds) {
  // Whole days toward minus infinity, so times before 1970 keep a time of day in 0..24h.
  std::int64_t days = seconds / 86400;
  std::int64_t rest = seconds - days * 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  return {static_cast<std::int32_t>(days + kUnixEpochSerial),
          static_cast<std::int32_t>(rest * 100 + 1)};
}

std::string minute_text(std::int64_t minutes, char date_separator) {
  const std::int64_t date = minutes >= 0 ? minutes / 1440 : -((-minutes + 1439) / 1440);
  const std::int64_t in_day = minutes - date * 1440;
  const Ymd d = ymd_of(static_cast<std::int32_t>(date));
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04lld%c%02d%c%02d %02d:%02d", static_cast<long long>(d.year),
                date_separator, d.month, date_separator, d.day, static_cast<int>(in_day / 60),
                static_cast<int>(in_day % 60));
  return buf;
}

std::string iso_date_time(std::int64_t seconds) {
  const DateTime dt = from_unix_seconds(seconds);
  const Ymd d = ymd_of(dt.date);
  const std::int64_t s = (dt.time - 1) / 100;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04lld-%02d-%02d %02lld:%02lld:%02lld",
                static_cast<long long>(d.year), d.month, d.day, static_cast<long long>(s / 3600),
                static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
  return buf;
}

}  // namespace mervane
