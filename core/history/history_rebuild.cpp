// Rebuild of the Event History through the temporary file "CAL2.CSV".
#include <limits>
#include <map>
#include <string>
#include <tuple>

#include "core/history/history_maintenance.h"
#include "core/runtime/delimited.h"
#include "core/runtime/paths.h"
#include "core/runtime/text_file.h"
#include "core/util/helpers.h"
#include "core/util/picture.h"

namespace mervane {

namespace {

constexpr const char* kCal2 = "CAL2.CSV";

std::int64_t floor_div(std::int64_t a, std::int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// Removes the temporary file however the rebuild ends.
class RemoveOnExit {
 public:
  explicit RemoveOnExit(std::filesystem::path f) : f_(std::move(f)) {}
  // Nothing to report to here; a copy that stays is replaced by the next rebuild.
  ~RemoveOnExit() { (void)remove_file(f_); }
  RemoveOnExit(const RemoveOnExit&) = delete;
  RemoveOnExit& operator=(const RemoveOnExit&) = delete;

 private:
  std::filesystem::path f_;
};

// A CAL2 line as the rebuild stores it: the record, moved when it lies in the range.
bool restore(std::string_view line, std::int32_t from, std::int32_t thru, std::int16_t adjust,
             CalendarRecord& out, Status& st) {
  Cal2Record c2;
  st = from_delimited(line, c2);
  if (st.failed()) return false;
  out = c2.to_calendar();
  if (adjust != 0 && out.date >= from && out.date <= thru) shift_event(out, adjust);
  return true;
}

std::string when(const CalendarRecord& r) {
  std::string s = date_text(r.date);
  if (r.time) {
    s += ' ';
    s += format_value("T1", r.time);
  }
  return s;
}

// After a failed key build: the first two events of "CAL2.CSV" that the rebuild put on the same
// CAL:KEY, as "USD CPI m/m on 03/01/2009 01:30 and on 02/28/2009 23:30". Only events that land
// where moved events can land are kept while searching, so the search stays small.
std::string colliding_events(const std::filesystem::path& cal2, std::int32_t from,
                             std::int32_t thru, std::int16_t adjust) {
  const std::int64_t lo = adjust ? from + floor_div(adjust, 24) : INT64_MIN;
  const std::int64_t hi = adjust ? thru + floor_div(23 + adjust, 24) : INT64_MAX;
  using Key = std::tuple<std::int32_t, std::int32_t, std::string, std::string>;
  std::map<Key, CalendarRecord> seen;
  TextReader in;
  if (in.open(cal2).failed()) return {};
  std::string line;
  Status st;
  while (in.next(line).is_ok()) {
    CalendarRecord moved;
    if (!restore(line, from, thru, adjust, moved, st) || moved.date < lo || moved.date > hi)
      continue;
    Cal2Record original;
    (void)from_delimited(line, original);  // restore() has just read this very line
    // The key compares texts without regard to ASCII letter case.
    Key k{moved.date, moved.time, upper_ascii(moved.currency.view()),
          upper_ascii(moved.descr.view())};
    auto [it, added] = seen.emplace(k, original.to_calendar());
    if (!added) {
      const CalendarRecord& a = it->second;
      return std::string(a.currency.view()) + " " + std::string(a.descr.view()) + " on " + when(a) +
             " and on " + when(original.to_calendar());
    }
  }
  return {};
}

}  // namespace

void shift_event(CalendarRecord& r, int hours) {
  const std::int32_t t = r.time == 0 ? 1 : r.time;  // no time of day counts as 00:00
  const std::int64_t h = static_cast<std::int64_t>(hour(t)) + hours;
  const std::int64_t days = floor_div(h, 24);
  const std::int64_t date = static_cast<std::int64_t>(r.date) + days;
  if (date < std::numeric_limits<std::int32_t>::min() ||
      date > std::numeric_limits<std::int32_t>::max())
    return;
  r.date = static_cast<std::int32_t>(date);
  r.time = tod(static_cast<std::int32_t>(h - days * 24), minute(t));
}

bool rebuild_history(Table<CalendarTable>& t, const std::filesystem::path& folder,
                     std::int32_t from, std::int32_t thru, std::int16_t adjust_hours, Reporter& r,
                     Count1& c) {
  const std::string table = t.file_name();
  t.close();
  // Broken keys are no reason to refuse: the rebuild makes them anew.
  if (Status st = t.open(OpenMode::exclusive());
      st.code != kInvalidKeyFile && stop_if_failed(r, "Open", table, st))
    return false;

  // Every failure below ends the rebuild with the history as it was: the table is emptied and
  // refilled inside one transaction, and a rebuild that went on without a record would lose it.
  const std::filesystem::path cal2 = folder / kCal2;
  RemoveOnExit remove_cal2(cal2);
  {
    TextWriter out;
    if (stop_if_failed(r, "Create", kCal2, out.create(cal2))) return false;
    Status st = t.set_storage_order();
    while (st.is_ok() && (st = t.next()).is_ok()) {
      c.step();
      if (stop_if_failed(r, "Add", kCal2, out.add(to_delimited(Cal2Record::from(t.rec)))))
        return false;
    }
    if (st.code != kRecordNotAvailable) {
      stop(r, "Get", table, st);
      return false;
    }
    if (stop_if_failed(r, "Create", kCal2, out.close())) return false;
  }

  Transaction tx(t);
  if (stop_if_failed(r, "Open", table, tx.status())) return false;
  if (stop_if_failed(r, "Empty", table, t.empty())) return false;
  TextReader in;
  if (stop_if_failed(r, "Open", kCal2, in.open(cal2))) return false;
  std::string line;
  Status st;
  while ((st = in.next(line)).is_ok()) {
    c.step();
    Status bad;
    if (!restore(line, from, thru, adjust_hours, t.rec, bad)) {
      stop(r, "Get", kCal2, bad);
      return false;
    }
    if (stop_if_failed(r, "Append", table, t.append())) return false;
  }
  if (st.code != kRecordNotAvailable) {
    stop(r, "Get", kCal2, st);
    return false;
  }
  if (Status b = t.build_keys(); b.failed()) {
    in.close();
    const std::string pair = colliding_events(cal2, from, thru, adjust_hours);
    if (!pair.empty()) b.text += "; before the rebuild: " + pair;
    stop(r, "Build", table, b);
    return false;
  }
  if (stop_if_failed(r, "Build", table, tx.commit())) return false;
  in.close();
  stop_if_failed(r, "Remove", kCal2, remove_file(cal2));
  return true;
}

}  // namespace mervane
