// Pieces the import tests share: a sink that records what the page reader hands over, and
// builders of synthetic calendar page rows.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/app/open_or_create.h"
#include "core/import/event_history.h"
#include "core/import/page_reader.h"
#include "core/model/session.h"
#include "core/util/charset.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"

namespace mervane::test {

inline std::string iso_date(std::int32_t serial) {
  const Ymd d = ymd_of(serial);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04lld-%02d-%02d", static_cast<long long>(d.year), d.month,
                d.day);
  return buf;
}

// One line per call: "delete_week DATE", "delete_days DATE DATE", the event as
// "DATE TIME CCY|descr|impact|color|symbol|actual|forecast|previous|revisedfrom|kxid" (texts in
// UTF-8), "page_done", "page_abandoned".
class RecordingSink : public PageSink {
 public:
  std::vector<std::string> calls;
  std::vector<PageEvent> events;

  void delete_week(std::int32_t first_day) override {
    calls.push_back("delete_week " + iso_date(first_day));
  }
  void delete_days(std::int32_t first_day, std::int32_t last_day) override {
    calls.push_back("delete_days " + iso_date(first_day) + " " + iso_date(last_day));
  }
  void store(const PageEvent& e) override {
    events.push_back(e);
    calls.push_back(iso_date(e.date) + " " + e.time_text + " " + utf8_from_cp1252(e.currency) +
                    "|" + utf8_from_cp1252(e.descr) + "|" + std::string(1, e.impact) + "|" +
                    std::string(1, e.color) + "|" + std::to_string(e.symbol) + "|" +
                    utf8_from_cp1252(e.actual) + "|" + utf8_from_cp1252(e.forecast) + "|" +
                    utf8_from_cp1252(e.previous) + "|" + utf8_from_cp1252(e.revisedfrom) + "|" +
                    e.kxid);
  }
  void page_done() override { calls.push_back("page_done"); }
  void page_abandoned() override { calls.push_back("page_abandoned"); }
};

struct RowSpec {
  std::string time = "8:30am";
  std::string ccy = "USD";
  std::string impact = "High Impact Expected";  // the title text of the impact cell
  std::string descr = "Event";
  std::string actual = "1";
  std::string forecast;
  std::string previous;
  std::string detail;  // inside the detail cell
};

// A row as the later rows of a day have it: the time cell first.
inline std::string page_row(const RowSpec& r) {
  return "<tr><td class=\"time\">" + r.time + "</td><td class=\"currency\">" + r.ccy +
         "</td><td class=\"impact\"><span title=\"" + r.impact + "\"></span></td><td>" + r.descr +
         "</td><td>" + r.detail + "</td><td>" + r.actual + "</td><td>" + r.forecast + "</td><td>" +
         r.previous + "</td></tr>";
}

// The first row of a day: the date cell, holding the day marker, before the time cell.
inline std::string first_row(const std::string& day, const std::string& date, const RowSpec& r) {
  return "<tr><td class=\"date\"><span>" + day + "</span>" + date + "</td>" + page_row(r).substr(4);
}

inline std::vector<std::string> read_page(const std::vector<std::string>& lines,
                                          const PageOptions& options) {
  RecordingSink sink;
  PageReader reader(options, sink);
  for (const std::string& l : lines) reader.line(l);
  reader.end();
  return sink.calls;
}

// A run's folder: a fixed clock, the session, a reporter, and CALENDAR opened by open_calr.
struct HistoryFolder {
  TempDir dir;
  FixedClock clock;
  Session session;
  ScriptedReporter reporter;
  Table<CalendarTable> calendar;
  std::int64_t count1 = 0;

  explicit HistoryFolder(std::int32_t today)
      : clock(today, 1), session(dir.path(), clock), calendar(dir.path()) {
    open_calr(calendar, reporter);
  }
};

// Every check box of the reader on.
inline PageOptions all_boxes() {
  PageOptions o;
  o.nonecon = o.incut = o.incuv = o.cnvfmt = true;
  return o;
}

// Adds a record to the folder's CALENDAR (created when missing): the date at 09:00, the
// description, nothing else.
inline void store_event(const std::filesystem::path& folder, std::int32_t date, const char* descr) {
  ScriptedReporter reporter;
  Table<CalendarTable> t(folder);
  open_calr(t, reporter);
  t.rec = CalendarRecord{};
  t.rec.date = date;
  t.rec.time = tod(9);
  t.rec.descr = descr;
  ASSERT_TRUE(t.add().is_ok());
}

// "yyyy-mm-dd description" of every stored record, in key order.
inline std::vector<std::string> stored_descriptions(const std::filesystem::path& folder) {
  Table<CalendarTable> t(folder);
  std::vector<std::string> out;
  if (t.open(OpenMode::read_only()).failed()) return out;
  EXPECT_TRUE(t.set_start(CalendarKey::Key).is_ok());
  while (t.next().is_ok()) out.push_back(iso_date(t.rec.date) + " " + t.rec.descr.str());
  return out;
}

}  // namespace mervane::test
