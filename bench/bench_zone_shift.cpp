// Event times into MT4 time for 1,000,000 events, as the Event History update computes them from
// a date and an "hh:mm" text: by the zones (UTC to America/New_York+7, each event by the rules of
// its own moment) beside the fixed hour offset (OFFSET1 = 2), in the same run. The events run in
// date order over twenty years, about 140 a day, as weekly loads bring them; the same events in
// shuffled order are measured too, for the record (no target: runs never read them so).
// Target: the zones at most 3 times the time of the fixed offset.
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "core/import/event_history.h"
#include "core/util/dates.h"

using namespace mervane;
using mervane::bench::compare;
using mervane::bench::measure;

namespace {

struct Event {
  std::int32_t date;
  std::string time;
};

std::vector<Event> make_events(int n) {
  std::vector<Event> events;
  events.reserve(static_cast<std::size_t>(n));
  const std::int32_t first = *date_serial(2005, 1, 2);
  const int days = 20 * 365;
  for (int i = 0; i < n; ++i) {
    const int minutes = (i * 37) % 1440;
    char t[8];
    std::snprintf(t, sizeof t, "%02d:%02d", minutes / 60, minutes % 60);
    events.push_back(
        {first + static_cast<std::int32_t>(static_cast<std::int64_t>(i) * days / n), t});
  }
  return events;
}

}  // namespace

int main() {
  constexpr int kEvents = 1000000;
  std::vector<Event> events = make_events(kEvents);
  ZoneSetting utc, ny;
  std::optional<ZoneConversion> zones;
  if (parse_zone_setting("UTC", false, utc).failed() ||
      parse_zone_setting("America/New_York+7", false, ny).failed() ||
      ZoneConversion::make(utc, ny, zones).failed()) {
    std::fprintf(stderr, "bench_zone_shift: the system's time zone database is missing\n");
    return 1;
  }
  std::int64_t sum = 0;
  auto run = [&](const TimeShift& shift) {
    return [&, shift] {
      const TimeShift s = shift;  // a run's own copy, as the history update keeps one
      for (const Event& e : events) {
        const Mt4Time t = mt4_time(e.date, e.time, s);
        sum += t.date + t.time;
      }
    };
  };
  const auto fixed = measure("fixed offset (OFFSET1 = 2)", kEvents, "events", run(TimeShift(2)), 5);
  const auto zoned =
      measure("zones (UTC to New York + 7)", kEvents, "events", run(TimeShift(*zones)), 5);
  const bool ok = compare(zoned, fixed, 3.0);

  std::shuffle(events.begin(), events.end(), std::mt19937(7));
  const auto fixed_mixed =
      measure("fixed offset, shuffled", kEvents, "events", run(TimeShift(2)), 3);
  const auto zoned_mixed = measure("zones, shuffled", kEvents, "events", run(TimeShift(*zones)), 3);
  std::printf("for the record, events out of order: %.2f times the fixed offset\n",
              zoned_mixed.seconds / fixed_mixed.seconds);
  std::printf("(checksum %lld)\n", static_cast<long long>(sum));
  return ok ? 0 : 1;
}
