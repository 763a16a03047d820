#include "core/live/week_events.h"

#include "core/output/event_filter.h"
#include "core/runtime/clock.h"
#include "core/runtime/table.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"

namespace mervane {

Status Mt4Moments::make(const CalendarSettings& c, std::int16_t offset2, Mt4Moments& out) {
  out = Mt4Moments();
  if (!c.mt4_zone.empty()) {
    ZoneSetting mt4, utc;
    Status st = parse_zone_setting(c.mt4_zone, false, mt4);
    if (st.is_ok()) st = parse_zone_setting("UTC", false, utc);
    if (st.is_ok()) st = ZoneConversion::make(mt4, utc, out.to_utc_);
    if (st.failed()) {
      out.to_utc_.reset();
      out.to_local_ = TimeShift(offset2);
      return st;
    }
    return Status::ok();
  }
  return local_shift(c, offset2, out.to_local_);
}

std::int64_t Mt4Moments::moment(std::int32_t date, std::int32_t time) const {
  const std::int64_t seconds = time > 0 ? (time - 1) / kTimeSecond : 0;
  if (to_utc_) {
    const WallTime utc = to_utc_->convert(date, seconds);
    return (utc.date - kUnixEpochSerial) * 86400 + utc.seconds;
  }
  const TimeShift::Result local =
      to_local_.apply(date, seconds / 3600, static_cast<int>(seconds / 60 % 60));
  return LiveClock::moment_of(local.date,
                              std::int64_t{local.hour} * 3600 + local.minute * 60 + seconds % 60);
}

std::vector<WeekEvent> read_week_events(const std::filesystem::path& folder, FileSystem& fs,
                                        std::int32_t first_date, std::int32_t last_date,
                                        const BuildSettings& build, const AlertFilter& filter,
                                        const Mt4Moments& moments, Status& st) {
  std::vector<WeekEvent> out;
  Table<CalendarTable> t(folder, fs);
  st = t.open(OpenMode::read_only());
  if (st.failed()) return out;
  // The schedule follows the events the Build run writes, whether or not their actual is in
  // yet: with "Omit events with no 'Actual' value" they are the ones that still have to come.
  BuildSettings selection = build;
  selection.check2 = 0;
  t.clear();
  t.rec.date = first_date;
  st = t.set(CalendarKey::Key);
  while (st.is_ok() && (st = t.next()).is_ok() && t.rec.date <= last_date) {
    WeekEvent e;
    e.rec = t.rec;
    if (!is_untimed(e.rec)) e.moment = moments.moment(e.rec.date, e.rec.time);
    e.selected = passes_filters(selection, e.rec);
    e.alerted = filter.passes(e.rec);
    e.key = !e.rec.kxidcode.blank()
                ? "#" + e.rec.kxidcode.str()
                : std::to_string(e.rec.date) + "|" + std::to_string(e.rec.time) + "|" +
                      e.rec.currency.str() + "|" + e.rec.descr.str();
    out.push_back(std::move(e));
  }
  if (st.code == kRecordNotAvailable || (st.is_ok() && t.rec.date > last_date)) st = Status::ok();
  if (st.failed()) out.clear();
  return out;
}

}  // namespace mervane
