#include "core/import/event_history.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <string>

#include "core/util/helpers.h"

namespace mervane {
namespace {

// The number at the start of a text: leading blanks skipped, digits up to the first non-digit,
// 0 when there are none.
int leading_number(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  int n = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) n = n * 10 + (s[i] - '0');
  return n;
}

}  // namespace

Mt4Time mt4_time(std::int32_t date, std::string_view time, const TimeShift& to_mt4) {
  const int hours = leading_number(time.substr(0, 2));
  const int minutes = leading_number(time.size() > 3 ? time.substr(3, 2) : std::string_view());
  const TimeShift::Result t = to_mt4.apply(date, hours, minutes);
  return Mt4Time{t.date, tod(t.hour, t.minute)};
}

struct EventHistory::State {
  Table<CalendarTable>& t;
  Reporter& r;
  Progress& p;
  std::int64_t& count1;
  TimeShift to_mt4;
  std::unique_ptr<Transaction> tx;  // the page being merged
  bool skip = false;                // the page's week could not be cleared: store nothing

  const std::string name = t.file_name();
};

EventHistory::EventHistory(Table<CalendarTable>& calendar, Reporter& r, Progress& p,
                           std::int64_t& count1, std::int16_t offset1)
    : EventHistory(calendar, r, p, count1, TimeShift(offset1)) {}

EventHistory::EventHistory(Table<CalendarTable>& calendar, Reporter& r, Progress& p,
                           std::int64_t& count1, const TimeShift& to_mt4)
    : state_(std::make_unique<State>(State{calendar, r, p, count1, to_mt4, nullptr})) {}

// An unfinished page's transaction rolls back with the State.
EventHistory::~EventHistory() = default;

void EventHistory::delete_week(std::int32_t first_day) {
  delete_days(first_day,
              static_cast<std::int32_t>(std::min<std::int64_t>(
                  std::int64_t{first_day} + 6, std::numeric_limits<std::int32_t>::max())));
}

void EventHistory::delete_days(std::int32_t first_day, std::int32_t last_day) {
  State& s = *state_;
  s.tx.reset();  // a page that never reported its end keeps nothing
  s.tx = std::make_unique<Transaction>(s.t);
  s.skip = s.tx->status().failed();
  if (s.skip) {
    const Status st = s.tx->status();
    s.tx.reset();
    stop(s.r, "Delete", s.name, st);
    return;
  }
  s.t.clear();
  s.t.rec.date = first_day;
  if (stop_if_failed(s.r, "Delete", s.name, s.t.set(CalendarKey::Key))) return;
  for (;;) {
    const Status st = s.t.next();
    ++s.count1;
    s.p.report("COUNT1", s.count1);
    if (st.code == kRecordNotAvailable) break;
    if (stop_if_failed(s.r, "Get", s.name, st)) break;
    if (s.t.rec.date > last_day) break;
    stop_if_failed(s.r, "Delete", s.name, s.t.erase());
  }
}

void EventHistory::store(const PageEvent& e) {
  State& s = *state_;
  if (s.skip) return;
  // One correction of a day either way covers every offset from -23 to 23; larger offsets move
  // by as many whole days as they hold, so the hour always ends up within 0 to 23.
  const Mt4Time at = mt4_time(e.date, e.time_text, e.mt4_time ? TimeShift(0) : s.to_mt4);
  if (at.date < std::numeric_limits<std::int32_t>::min() ||
      at.date > std::numeric_limits<std::int32_t>::max())
    return;

  CalendarRecord& rec = s.t.rec;
  s.t.clear();
  rec.date = static_cast<std::int32_t>(at.date);
  rec.time = at.time;
  rec.currency = e.currency;
  rec.descr = e.descr;
  const auto take_values = [&] {
    rec.impact = std::string(1, e.impact);
    rec.symbol = std::to_string(e.symbol);
    rec.color = std::string(1, e.color);
    rec.actual = e.actual;
    rec.forecast = e.forecast;
    rec.previous = e.previous;
    rec.revisedfrom = e.revisedfrom;
    rec.kxidcode = e.kxid;
    rec.spacing = "1";
  };
  take_values();
  // Most events are new to the history (their days were just cleared): adding first spares
  // them the lookup. An event stored with the same key keeps that record, its values replaced.
  const Status added = s.t.add();
  if (added.code != kDuplicateKey) {
    stop_if_failed(s.r, "Add", s.name, added);
    return;
  }
  const Status found = s.t.get(CalendarKey::Key);
  if (found.code == kRecordNotFound) {
    stop(s.r, "Add", s.name, added);  // a key other than CAL:KEY repeats
  } else if (found.is_ok()) {
    take_values();
    stop_if_failed(s.r, "Put", s.name, s.t.put());
  } else {
    // The lookup itself failed: writing now would change whatever record was read last.
    stop(s.r, "Put", s.name, found);
  }
}

void EventHistory::page_done() {
  State& s = *state_;
  s.skip = false;
  if (!s.tx) return;
  const Status st = s.tx->commit();
  s.tx.reset();
  stop_if_failed(s.r, "Put", s.name, st);
}

void EventHistory::page_abandoned() {
  state_->skip = false;
  state_->tx.reset();
}

}  // namespace mervane
