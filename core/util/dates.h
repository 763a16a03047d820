// Date and time serials.
//
// A date is a signed 32-bit day number, day 0 being 28 December 1800 (1 January 1970 is 61730,
// serial mod 7 = 0 is a Sunday). A time of day is hundredths of a second since midnight plus 1,
// so 1 is 00:00:00.00 and 0 means "no time". Day, month and year follow the proleptic Gregorian
// calendar for every serial a 32-bit integer can hold, in both directions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace mervane {

constexpr std::int32_t kUnixEpochSerial = 61730;  // 1 January 1970
constexpr std::int32_t kTimeHour = 360000;
constexpr std::int32_t kTimeMinute = 6000;
constexpr std::int32_t kTimeSecond = 100;

struct Ymd {
  std::int64_t year = 0;
  int month = 0;  // 1-12
  int day = 0;    // 1-31
  friend bool operator==(const Ymd&, const Ymd&) = default;
};

// Day, month and year of a date serial.
Ymd ymd_of(std::int32_t serial);

// Days since 28 December 1800 of a calendar date; no range check of month or day (an out of
// range day simply counts on, as 31 February is 3 March in a common year).
std::int64_t days_of(std::int64_t year, int month, int day);

// The serial of a valid calendar date that fits 32 bits, else nothing.
[[nodiscard]] std::optional<std::int32_t> date_serial(std::int64_t year, int month, int day);

bool is_leap_year(std::int64_t year);
int days_in_month(std::int64_t year, int month);

// Weekday of a serial: 0 Sunday .. 6 Saturday, for negative serials too.
int weekday_of(std::int32_t serial);

// The Sunday on or before a date (for the first days of the 32-bit range, which have none that
// fits, the first Sunday of the range).
std::int32_t sunday_on_or_before(std::int32_t serial);

// Unix seconds of 00:00 UTC on a date; 64 bits, so dates after 2038 work.
std::int64_t unix_seconds(std::int32_t date_serial);

// Date and time serials of Unix seconds (MT4 history bar times).
struct DateTime {
  std::int32_t date = 0;
  std::int32_t time = 0;
};
DateTime from_unix_seconds(std::int64_t seconds);

// "yyyy-mm-dd hh:mm" (with '-' as the separator of the date) of a count of minutes since day 0;
// minutes before day 0 count back.
std::string minute_text(std::int64_t minutes, char date_separator);

// Unix seconds as "2026-12-04 10:15:30" (the clock they count on is the caller's: UTC for a
// file's last change, server time for a bar).
std::string iso_date_time(std::int64_t seconds);

}  // namespace mervane
