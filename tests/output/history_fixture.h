// A small Event History for the writer tests: a week of events around Friday 7 March 2008 with
// every kind of value the rules treat apart (two events in one slot, a missing actual, only a
// revised-from value, another currency, ALL, a late evening event, KX IDs and none), stored
// with symbol "77" and colour "5" so that the symbol and colour rules show.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/model/records.h"
#include "core/output/export_writer.h"
#include "core/output/news_writer.h"
#include "core/output/settings_file.h"
#include "core/runtime/table.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"

namespace mervane::test {

inline std::int32_t day(int y, int m, int d) {
  return *date_serial(y, m, d);
}

inline CalendarRecord event(std::int32_t date, int h, int m, const char* ccy, const char* descr,
                            const char* impact, const char* actual = "", const char* forecast = "",
                            const char* previous = "", const char* revised = "",
                            const char* kxid = "") {
  CalendarRecord r;
  r.date = date;
  r.time = tod(h, m);
  r.currency = ccy;
  r.descr = descr;
  r.impact = impact;
  r.symbol = "77";
  r.color = "5";
  r.actual = actual;
  r.forecast = forecast;
  r.previous = previous;
  r.revisedfrom = revised;
  r.kxidcode = kxid;
  return r;
}

inline std::vector<CalendarRecord> sample_week() {
  const std::int32_t thu = day(2008, 3, 6), fri = day(2008, 3, 7), sat = day(2008, 3, 8),
                     sun = day(2008, 3, 9), mon = day(2008, 3, 10), wed = day(2008, 3, 12);
  return {
      event(thu, 12, 0, "JPY", "Leading Indicators", "L", "90.1%"),
      event(fri, 8, 30, "USD", "Non-Farm Employment Change", "H", "63K", "45K", "82K", "", "27811"),
      event(fri, 8, 30, "USD", "Unemployment Rate", "H", "4.8%", "4.9%", "4.9%", "", "27812"),
      event(fri, 8, 45, "CAD", "Ivey PMI & Outlook", "M", "", "55.0"),
      event(fri, 22, 30, "EUR", "ECB President Speaks", "L", "", "", "", "1.1%", "27813"),
      event(sat, 1, 0, "XAU", "Gold Fixing", "L", "950"),
      event(sun, 10, 0, "ALL", "G7 Meeting", "M"),
      event(mon, 14, 0, "GBP", "CPI m/m", "H", "0.4%", "0.3%", "0.2%", "", "27814"),
      event(mon, 14, 0, "GBP", "Core CPI y/y", "M", "1.4%", "1.3%", "1.2%", "", "27815"),
      event(wed, 9, 0, "NZD", "GDP q/q", "H", "0.9%"),
  };
}

inline void store(const std::filesystem::path& folder, const std::vector<CalendarRecord>& events) {
  Table<CalendarTable> t(folder);
  ASSERT_TRUE(t.create().is_ok());
  ASSERT_TRUE(t.open().is_ok());
  for (const auto& e : events) {
    t.rec = e;
    ASSERT_TRUE(t.add().is_ok());
  }
}

// The Build window's values before any settings file, with the output range Friday 7 March to
// Monday 10 March 2008.
inline BuildSettings sample_settings(const std::filesystem::path& folder) {
  BuildSettings s = built_in_defaults(day(2008, 3, 11), folder).b;
  s.fromdate = day(2008, 3, 7);
  s.thrudate = day(2008, 3, 10);
  s.xout = 1;
  return s;
}

// Lines joined with CR LF, each ended by one, as the program writes its text files.
inline std::string crlf(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

// A folder holding the sample week, and the writer run over it as the Build run runs it:
// News.CSV in the folder and, for an export kind, the export.
class SampleHistory : public ::testing::Test {
 protected:
  void SetUp() override { store(dir.path(), sample_week()); }

  void write(const BuildSettings& s) {
    Table<CalendarTable> cal(dir.path());
    EXPECT_TRUE(cal.open().is_ok());
    OutputFile news(rep, dir / "News.CSV", "News.CSV", "Add");
    news.create();
    ExportWriter ex(s, rep, dir.path());
    ex.header();
    out_news(cal, s, NewsTargets{false, &news, &ex}, session, rep, progress, count1);
    news.close();
    ex.footer();
  }

  TempDir dir;
  FixedClock clock{day(2008, 3, 11), 1};
  Session session{dir.path(), clock};
  ScriptedReporter rep;
  NoProgress progress;
  std::int64_t count1 = 0;
};

}  // namespace mervane::test
