#include "core/runtime/time_zones.h"

#include <date/tz.h>

#include <algorithm>
#include <chrono>
#include <map>

#include "core/runtime/clock.h"
#include "core/util/dates.h"

namespace mervane {
namespace {

constexpr std::int64_t kDay = 86400;
// Periods of the database are kept within this range, so the arithmetic below cannot overflow
// for the first and last periods, which reach to the ends of time.
constexpr std::int64_t kFar = std::int64_t{1} << 50;
// The library's calendar stops at the year 32767; moments outside these years take the rules
// of the nearer one.
const std::int64_t kLookupFirst = unix_seconds(*date_serial(1801, 1, 1));
const std::int64_t kLookupLast = unix_seconds(*date_serial(9999, 12, 31)) + kDay - 1;

std::int64_t floor_div(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

std::string upper(std::string_view s) {
  std::string u(s);
  for (char& c : u)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return u;
}

// The names once, sorted, and an index by their upper-case spelling. "localtime" is the
// machine's zone file, not a zone name.
struct Names {
  std::vector<std::string> sorted;
  std::map<std::string, std::string> by_upper;
};

const Names& names() {
  static const Names n = [] {
    Names out;
    try {
      for (const date::time_zone& z : date::get_tzdb().zones) {
        const std::string name(z.name());
        if (name == "localtime") continue;
        out.sorted.push_back(name);
        out.by_upper.emplace(upper(name), name);
      }
    } catch (const std::exception&) {
      // No database on this machine: no zone is known, and every name is refused.
    }
    std::sort(out.sorted.begin(), out.sorted.end());
    return out;
  }();
  return n;
}

const date::time_zone* zone_of(const ZoneSetting& z) {
  try {
    if (z.name == kSystemZone) return date::current_zone();
    return date::locate_zone(z.name);
  } catch (const std::exception&) {
    return nullptr;
  }
}

Status refused(std::string_view typed, std::string_view why) {
  return Status(kBadValue, "Invalid Value: " + std::string(typed) + " " + std::string(why));
}

std::int64_t clamp_far(std::int64_t v) {
  return std::clamp(v, -kFar, kFar);
}

template <class Duration>
std::int64_t seconds_of(Duration d) {
  return std::chrono::duration_cast<std::chrono::seconds>(d).count();
}

}  // namespace

std::string ZoneSetting::text() const {
  if (shift_hours == 0) return name;
  return name + (shift_hours > 0 ? "+" : "-") +
         std::to_string(shift_hours > 0 ? shift_hours : -shift_hours);
}

Status parse_zone_setting(std::string_view typed, bool allow_system, ZoneSetting& out) {
  while (!typed.empty() && typed.front() == ' ') typed.remove_prefix(1);
  while (!typed.empty() && typed.back() == ' ') typed.remove_suffix(1);
  if (upper(typed) == upper(kSystemZone)) {
    if (!allow_system) return refused(typed, "is not allowed here: name a time zone");
    try {
      date::current_zone();
    } catch (const std::exception&) {
      return refused(typed, "cannot be used: the machine's own time zone cannot be found");
    }
    out = ZoneSetting{std::string(kSystemZone), 0};
    return Status::ok();
  }
  const Names& n = names();
  if (auto it = n.by_upper.find(upper(typed)); it != n.by_upper.end()) {
    out = ZoneSetting{it->second, 0};
    return Status::ok();
  }
  // A whole-hour shift after the name: the last "+" or "-" followed by one or two digits (zone
  // names such as "Etc/GMT+2" hold a sign themselves).
  const std::size_t sign = typed.find_last_of("+-");
  if (sign != std::string_view::npos && sign > 0) {
    const std::string_view digits = typed.substr(sign + 1);
    const bool number =
        !digits.empty() && digits.size() <= 2 &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (number) {
      int hours = std::stoi(std::string(digits));
      if (hours > 23) return refused(typed, "shifts by more than 23 hours");
      if (typed[sign] == '-') hours = -hours;
      if (auto it = n.by_upper.find(upper(typed.substr(0, sign))); it != n.by_upper.end()) {
        out = ZoneSetting{it->second, hours};
        return Status::ok();
      }
    }
  }
  return refused(typed, "is not a time zone of the system's time zone database");
}

std::vector<std::string> zone_names() {
  return names().sorted;
}

ZoneConversion::ZoneConversion(const date::time_zone* from, int from_shift,
                               const date::time_zone* to, int to_shift)
    : from_(from), to_(to), from_shift_(from_shift * 3600LL), to_shift_(to_shift * 3600LL) {}

Status ZoneConversion::make(const ZoneSetting& from, const ZoneSetting& to,
                            std::optional<ZoneConversion>& out) {
  const date::time_zone* f = zone_of(from);
  const date::time_zone* t = zone_of(to);
  if (!f) return refused(from.text(), "is not a time zone of the system's time zone database");
  if (!t) return refused(to.text(), "is not a time zone of the system's time zone database");
  out = ZoneConversion(f, from.shift_hours, t, to.shift_hours);
  return Status::ok();
}

std::int64_t ZoneConversion::to_utc(std::int64_t local) const {
  // A cached period answers for local times that lie two days inside it: no change of offset
  // (not even Samoa's lost day) can make such a time skipped or repeated.
  const Period& p = from_period_;
  const std::int64_t guess = local - p.offset;
  if (guess >= p.begin + 2 * kDay && guess < p.end - 2 * kDay) return guess;

  const std::int64_t at = std::clamp(local, kLookupFirst, kLookupLast);
  const date::local_info li = from_->get_info(date::local_seconds{std::chrono::seconds{at}});
  from_period_ =
      Period{clamp_far(seconds_of(li.first.begin.time_since_epoch())),
             clamp_far(seconds_of(li.first.end.time_since_epoch())), seconds_of(li.first.offset)};
  if (li.result == date::local_info::nonexistent)
    return seconds_of(li.first.end.time_since_epoch());  // the moment of the change
  return local - from_period_.offset;                    // unique, or the first of a repeated time
}

std::int64_t ZoneConversion::from_utc(std::int64_t utc) const {
  const Period& p = to_period_;
  if (utc >= p.begin && utc < p.end) return utc + p.offset;
  const std::int64_t at = std::clamp(utc, kLookupFirst, kLookupLast);
  const date::sys_info si = to_->get_info(date::sys_seconds{std::chrono::seconds{at}});
  to_period_ = Period{clamp_far(seconds_of(si.begin.time_since_epoch())),
                      clamp_far(seconds_of(si.end.time_since_epoch())), seconds_of(si.offset)};
  return utc + to_period_.offset;
}

WallTime ZoneConversion::convert(std::int64_t date, std::int64_t seconds) const {
  const std::int64_t local = (date - kUnixEpochSerial) * kDay + seconds;
  const std::int64_t out = from_utc(to_utc(local - from_shift_)) + to_shift_;
  const std::int64_t days = floor_div(out, kDay);
  return WallTime{days + kUnixEpochSerial, out - days * kDay};
}

TimeShift::Result TimeShift::apply(std::int32_t date, std::int64_t hours, int minutes) const {
  if (conversion_) {
    const WallTime w = conversion_->convert(date, hours * 3600 + std::int64_t{minutes} * 60);
    return Result{w.date, static_cast<int>(w.seconds / 3600),
                  static_cast<int>(w.seconds % 3600 / 60)};
  }
  const std::int64_t h = hours + hours_;
  const std::int64_t days = floor_div(h, 24);
  return Result{std::int64_t{date} + days, static_cast<int>(h - days * 24), minutes};
}

std::int64_t unix_now(const Clock& clock) {
  const std::int64_t seconds = std::max(0, clock.now() - 1) / 100;
  std::optional<ZoneConversion> to_utc;
  if (ZoneConversion::make({std::string(kSystemZone), 0}, {"UTC", 0}, to_utc).failed())
    return unix_seconds(clock.today()) + seconds;
  const WallTime utc = to_utc->convert(clock.today(), seconds);
  return unix_seconds(static_cast<std::int32_t>(utc.date)) + utc.seconds;
}

}  // namespace mervane
