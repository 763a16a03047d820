// Time zones with their daylight saving rules, from the system's time zone database (the IANA
// names: "UTC", "America/New_York", "Europe/London"), and the shift of a date and time from one
// zone's wall clock to another's.
//
// A zone setting is a name the database knows, optionally followed by a whole-hour shift for MT4
// servers that keep New York's daylight saving dates at GMT+2 / GMT+3: "America/New_York+7" is
// New York's wall clock plus 7 hours. "system" stands for the machine's own zone where a
// setting allows it.
//
// The database is read once per process, on first use, and is then shared read-only; the
// functions here may be called from any thread. A ZoneConversion or TimeShift object keeps a
// small cache and belongs to one thread at a time (copies are independent).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/runtime/status.h"

namespace date {
class time_zone;
}

namespace mervane {

constexpr std::string_view kSystemZone = "system";

struct ZoneSetting {
  std::string name;     // as the database spells it, or "system"
  int shift_hours = 0;  // -23 to 23
  bool operator==(const ZoneSetting&) const = default;
  // The setting as it is written back: "America/New_York+7", "UTC".
  std::string text() const;
};

// Reads a zone setting as typed. The name is matched without regard to letter case and comes
// back in the database's spelling; "system" only when allow_system. Anything else is refused
// with 92 and a text that names the command listing the known names.
Status parse_zone_setting(std::string_view typed, bool allow_system, ZoneSetting& out);

// Every zone name the database knows (links such as "US/Eastern" included), sorted.
std::vector<std::string> zone_names();

// A moment as a date serial and the seconds since that day's midnight (0 to 86399).
struct WallTime {
  std::int64_t date = 0;
  std::int64_t seconds = 0;
  bool operator==(const WallTime&) const = default;
};

// Turns wall-clock times of one zone into those of another, each by its own rules on that very
// moment. A time the `from` zone skips (the hour lost in spring) is taken as the moment of the
// change; a time it repeats (the hour of autumn) as its first occurrence. Dates before 1801 or
// after 9999 are converted with the rules of the nearer of those years.
class ZoneConversion {
 public:
  // Both settings as parse_zone_setting gives them. 92 when a name is not (or no longer) in the
  // database, or the machine's own zone cannot be found.
  static Status make(const ZoneSetting& from, const ZoneSetting& to,
                     std::optional<ZoneConversion>& out);

  // `seconds` may lie outside one day (a time of 25:00 is 01:00 of the next day).
  WallTime convert(std::int64_t date, std::int64_t seconds) const;

 private:
  // One offset period of a zone, in Unix seconds [begin, end).
  struct Period {
    std::int64_t begin = 1, end = 0;  // empty until filled
    std::int64_t offset = 0;
  };
  ZoneConversion(const date::time_zone* from, int from_shift, const date::time_zone* to,
                 int to_shift);
  std::int64_t to_utc(std::int64_t local) const;
  std::int64_t from_utc(std::int64_t utc) const;

  const date::time_zone* from_;
  const date::time_zone* to_;
  std::int64_t from_shift_, to_shift_;  // seconds
  mutable Period from_period_, to_period_;
};

// How a date and time of one clock becomes that of another: a whole number of hours (OFFSET1,
// OFFSET2) or a conversion between zones.
class TimeShift {
 public:
  explicit TimeShift(std::int64_t hours = 0) : hours_(hours) {}
  explicit TimeShift(const ZoneConversion& zones) : conversion_(zones) {}

  bool by_zones() const { return conversion_.has_value(); }
  std::int64_t hours() const { return hours_; }

  // The date and time `hours`:`minutes` of `date` on the other clock. With a fixed number of
  // hours the hour is carried into whole days; minutes pass unchanged.
  struct Result {
    std::int64_t date = 0;
    int hour = 0;
    int minute = 0;
  };
  Result apply(std::int32_t date, std::int64_t hours, int minutes) const;

 private:
  std::int64_t hours_ = 0;
  std::optional<ZoneConversion> conversion_;
};

class Clock;

// The moment a clock reads, as seconds since 1970 (UTC): its today and now are the machine's
// wall clock, converted through the machine's zone (taken as UTC when it cannot be found).
std::int64_t unix_now(const Clock& clock);

}  // namespace mervane
