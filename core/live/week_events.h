// The events of the days around this week as the watch sees them: each with the moment of its
// release (Unix seconds) and whether the Build settings and the alert filter select it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/import/calendar_source.h"
#include "core/live/live_settings.h"
#include "core/model/records.h"
#include "core/output/news_writer.h"
#include "core/runtime/clock.h"
#include "core/runtime/file_system.h"
#include "core/runtime/status.h"
#include "core/runtime/time_zones.h"

namespace mervane {

// How an MT4 date and time becomes a moment: by MT4ZONE when it is set (exact across daylight
// saving changes), otherwise as the local time OFFSET2 (or LOCALZONE) gives, on this machine's
// clock.
class Mt4Moments {
 public:
  // 92 when a stored zone is not usable; out then works by OFFSET2.
  static Status make(const CalendarSettings& c, std::int16_t offset2, Mt4Moments& out);
  std::int64_t moment(std::int32_t date, std::int32_t time);

 private:
  std::optional<ZoneConversion> to_utc_;
  TimeShift to_local_;
  LocalMoments local_;
};

struct WeekEvent {
  CalendarRecord rec;
  std::optional<std::int64_t> moment;  // none for an event without a clock time
  bool selected = false;  // the Build window's currency, impact and description rules pass it
  bool alerted = false;   // the alert filter passes it
  // What tells the event from the others across versions of the week: its KX ID, else its date,
  // time, currency and description.
  std::string key;
};

// One record as the watch sees it.
WeekEvent week_event(const CalendarRecord& r, const BuildSettings& build,
                     const AlertFilter& filter, Mt4Moments& moments);

// The events of the history from first_date through last_date (MT4 dates), in key order. The
// history is opened for reading only; st gets what went wrong (the list is then empty).
std::vector<WeekEvent> read_week_events(const std::filesystem::path& folder, FileSystem& fs,
                                        std::int32_t first_date, std::int32_t last_date,
                                        const BuildSettings& build, const AlertFilter& filter,
                                        Mt4Moments& moments, Status& st);

// Keeps the records of first_date through last_date that a Build run reads for News.CSV, so
// that the watch need not read them again, and passes everything on.
class WeekTap final : public RunTap {
 public:
  WeekTap(RunTap& next, std::int32_t first_date, std::int32_t last_date)
      : next_(next), first_(first_date), last_(last_date) {}
  void begin(const BuildSettings& s) override;
  void record(const CalendarRecord& r) override;
  void end() override;
  // Every record of those days came by: the run's dates hold them and it read to its end.
  bool whole() const { return covered_ && ended_; }
  const std::vector<CalendarRecord>& records() const { return records_; }

 private:
  RunTap& next_;
  std::int32_t first_, last_;
  bool covered_ = false, ended_ = false;
  std::vector<CalendarRecord> records_;
};

}  // namespace mervane
