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

std::int64_t Mt4Moments::moment(std::int32_t date, std::int32_t time) {
  const std::int64_t seconds = time > 0 ? (time - 1) / kTimeSecond : 0;
  if (to_utc_) {
    const WallTime utc = to_utc_->convert(date, seconds);
    return (utc.date - kUnixEpochSerial) * 86400 + utc.seconds;
  }
  const TimeShift::Result local =
      to_local_.apply(date, seconds / 3600, static_cast<int>(seconds / 60 % 60));
  return local_.moment(local.date,
                       std::int64_t{local.hour} * 3600 + local.minute * 60 + seconds % 60);
}

namespace {

// Appended piece by piece: GCC 12 warns falsely about a chain of + on strings here.
std::string event_key(const CalendarRecord& r) {
  std::string key;
  if (!r.kxidcode.blank()) {
    key.push_back('#');
    key += r.kxidcode.view();
    return key;
  }
  key += std::to_string(r.date);
  key.push_back('|');
  key += std::to_string(r.time);
  key.push_back('|');
  key += r.currency.view();
  key.push_back('|');
  key += r.descr.view();
  return key;
}

}  // namespace

WeekEvent week_event(const CalendarRecord& r, const BuildSettings& build,
                     const AlertFilter& filter, Mt4Moments& moments) {
  // The schedule follows the events the Build run writes, whether or not their actual is in
  // yet: with "Omit events with no 'Actual' value" they are the ones that still have to come.
  BuildSettings selection = build;
  selection.check2 = 0;
  WeekEvent e;
  e.rec = r;
  if (!is_untimed(r)) e.moment = moments.moment(r.date, r.time);
  e.selected = passes_filters(selection, r);
  e.alerted = filter.passes(r);
  e.key = event_key(r);
  return e;
}

std::vector<WeekEvent> read_week_events(const std::filesystem::path& folder, FileSystem& fs,
                                        std::int32_t first_date, std::int32_t last_date,
                                        const BuildSettings& build, const AlertFilter& filter,
                                        Mt4Moments& moments, Status& st) {
  std::vector<WeekEvent> out;
  Table<CalendarTable> t(folder, fs);
  st = t.open(OpenMode::read_only());
  if (st.failed()) return out;
  t.clear();
  t.rec.date = first_date;
  st = t.set(CalendarKey::Key);
  while (st.is_ok() && (st = t.next()).is_ok() && t.rec.date <= last_date)
    out.push_back(week_event(t.rec, build, filter, moments));
  if (st.code == kRecordNotAvailable || (st.is_ok() && t.rec.date > last_date)) st = Status::ok();
  if (st.failed()) out.clear();
  return out;
}

void WeekTap::begin(const BuildSettings& s) {
  covered_ = s.fromdate <= first_ && s.thrudate >= last_;
  ended_ = false;
  records_.clear();
  next_.begin(s);
}

void WeekTap::record(const CalendarRecord& r) {
  if (r.date >= first_ && r.date <= last_) records_.push_back(r);
  next_.record(r);
}

void WeekTap::end() {
  next_.end();
  ended_ = true;
}

}  // namespace mervane
