#include "core/import/event_history.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/app/open_or_create.h"
#include "core/history/auto_backup.h"
#include "core/history/history_line.h"
#include "core/runtime/text_file.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "tests/import/page_support.h"
#include "tests/support/paths.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

using test::first_row;
using test::page_row;
using test::RowSpec;

const std::int32_t k8Jan2007 = *date_serial(2007, 1, 8);

// The stored records as history lines, in key order.
std::vector<std::string> stored(const std::filesystem::path& folder) {
  Table<CalendarTable> t(folder);
  std::vector<std::string> out;
  if (t.open(OpenMode::read_only()).failed()) return out;
  EXPECT_TRUE(t.set_start(CalendarKey::Key).is_ok());
  while (t.next().is_ok()) out.push_back(history_line(t.rec));
  return out;
}

void add_record(const std::filesystem::path& folder, std::int32_t date, std::int32_t time,
                const char* descr) {
  Table<CalendarTable> t(folder);
  test::ScriptedReporter r;
  open_calr(t, r);
  t.rec = CalendarRecord{};
  t.rec.date = date;
  t.rec.time = time;
  t.rec.currency = "USD";
  t.rec.descr = descr;
  t.rec.symbol = "7";
  t.rec.color = "9";
  t.rec.spacing = "5";
  ASSERT_TRUE(t.add().is_ok());
}

struct RunState {
  test::ScriptedReporter reporter;
  NoProgress progress;
  std::int64_t count1 = 0;
};

// Reads page lines into the folder's history as a run does, with the given hour offset.
void load(const std::filesystem::path& folder, const std::vector<std::string>& lines,
          std::int16_t offset1, RunState& run, std::int32_t request = k8Jan2007) {
  Table<CalendarTable> t(folder);
  open_calr(t, run.reporter);
  EventHistory history(t, run.reporter, run.progress, run.count1, offset1);
  PageOptions o;
  o.request_date = request;
  o.incut = o.incuv = true;
  PageReader reader(o, history);
  for (const std::string& l : lines) reader.line(l);
  reader.end();
}

RowSpec row(const char* time, const char* descr, const char* forecast = "") {
  RowSpec r;
  r.time = time;
  r.descr = descr;
  r.forecast = forecast;
  return r;
}

TEST(EventHistory, HourOffset) {
  struct Case {
    std::int16_t offset;
    const char* time;
    const char* date;  // stored date
    const char* stored_time;
  } cases[] = {
      {0, "8:30am", "2007-01-12", "08:30"},      {2, "10:30pm", "2007-01-13", "00:30"},
      {-3, "1:00am", "2007-01-11", "22:00"},     {23, "1:00am", "2007-01-13", "00:00"},
      {-23, "11:00pm", "2007-01-12", "00:00"},   {-23, "10:00pm", "2007-01-11", "23:00"},
      {2, "Tentative", "2007-01-12", "02:01"},  // untimed rows come as 00:01
      {30, "8:00am", "2007-01-13", "14:00"},    // beyond a day: whole days
      {48, "8:00am", "2007-01-14", "08:00"},     {-30, "8:00am", "2007-01-11", "02:00"},
      {-32768, "0:00am", "2003-04-17", "16:00"},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    RunState run;
    load(dir.path(), {first_row("Fri", "Jan 12", row(c.time, "E"))}, c.offset, run);
    const auto lines = stored(dir.path());
    ASSERT_EQ(lines.size(), 1u) << c.offset << " " << c.time;
    EXPECT_EQ(lines[0].substr(1, 10), c.date) << c.offset << " " << c.time;
    EXPECT_EQ(lines[0].substr(14, 5), c.stored_time) << c.offset << " " << c.time;
    EXPECT_TRUE(run.reporter.stops.empty());
  }
}

// The fixture week into an empty history, with OFFSET1 = 2, then its backup.
TEST(EventHistory, PageIntoEmptyHistoryAndBackup) {
  test::TempDir dir;
  FixedClock clock(k8Jan2007, 1);
  Session session(dir.path(), clock);
  RunState run;
  {
    Table<CalendarTable> t(dir.path());
    open_calr(t, run.reporter);
    EXPECT_TRUE(file_exists(dir / "CALENDAR.db"));
    EventHistory history(t, run.reporter, run.progress, run.count1, 2);
    PageOptions o;
    o.nonecon = o.incut = o.incuv = o.cnvfmt = true;
    o.request_date = k8Jan2007;
    proc_hist(test::data_dir() / "import" / "week_2007_01_08.htm", o, history, run.reporter,
              run.progress, run.count1);
  }
  EXPECT_TRUE(run.reporter.stops.empty());
  std::int64_t count1 = 99;
  auto_backup(session, run.reporter, run.progress, count1);
  EXPECT_TRUE(run.reporter.stops.empty());
  const std::string expected =
      test::read_file(test::data_dir() / "import" / "week_2007_01_08.backup.csv");
  EXPECT_EQ(test::read_file(dir / "@BACKUP@.CSV"), expected);
  EXPECT_EQ(count1, 30);
  EXPECT_EQ(session.globals().outname, "@BACKUP@.CSV");
}

TEST(EventHistory, ReloadsReplaceTheWeek) {
  const std::int32_t sun = *date_serial(2007, 1, 7);
  const std::vector<std::string> week = {
      first_row("Sun", "Jan 7", row("8:00am", "A", "1")),
      page_row(row("8:00am", "A", "2")),  // same key: the later row's values stay
      first_row("Mon", "", row("9:00am", "B")),
      "<span>Tue</span>",
      "<span>Wed</span>",
      "<span>Thu</span>",
      "<span>Fri</span>",
      first_row("Sat", "", row("11:00pm", "Late")),  // + 2 hours: the next Sunday
  };
  struct Case {
    const char* what;
    std::vector<std::vector<std::string>> pages;
    std::vector<std::string> expected;
  } cases[] = {
      {"a page twice is the page once",
       {week, week},
       {R"("2007-01-06","08:00","USD","before the week","","","","","","7","9","5","")",
        R"("2007-01-07","10:00","USD","A","H","1","2","","","140","3","1","")",
        R"("2007-01-08","11:00","USD","B","H","1","","","","140","3","1","")",
        R"("2007-01-14","01:00","USD","Late","H","1","","","","140","3","1","")"}},
      {"the next week clears what the last day moved into it",
       {week, {first_row("Sun", "Jan 14", row("9:00am", "Next"))}},
       {R"("2007-01-06","08:00","USD","before the week","","","","","","7","9","5","")",
        R"("2007-01-07","10:00","USD","A","H","1","2","","","140","3","1","")",
        R"("2007-01-08","11:00","USD","B","H","1","","","","140","3","1","")",
        R"("2007-01-14","11:00","USD","Next","H","1","","","","140","3","1","")"}},
      {"a changed forecast rewrites the record; a page without a date changes nothing",
       {week, {first_row("Sun", "Jan 7", row("8:00am", "A", "3"))}, {first_row("Sun", "", {})}},
       {R"("2007-01-06","08:00","USD","before the week","","","","","","7","9","5","")",
        R"("2007-01-07","10:00","USD","A","H","1","3","","","140","3","1","")",
        R"("2007-01-14","01:00","USD","Late","H","1","","","","140","3","1","")"}},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    add_record(dir.path(), sun - 1, tod(8, 0), "before the week");
    add_record(dir.path(), sun + 3, tod(8, 0), "edited by hand");  // cleared by the first load
    RunState run;
    for (const auto& page : c.pages) load(dir.path(), page, 2, run);
    EXPECT_EQ(stored(dir.path()), c.expected) << c.what;
    EXPECT_TRUE(run.reporter.stops.empty()) << c.what;
  }
}

TEST(EventHistory, StoreUpdatesKeyInPlace) {
  test::TempDir dir;
  add_record(dir.path(), k8Jan2007, tod(8, 30), "CPI");
  Table<CalendarTable> t(dir.path());
  RunState run;
  open_calr(t, run.reporter);
  EventHistory history(t, run.reporter, run.progress, run.count1, 0);
  PageEvent e;
  e.date = k8Jan2007;
  e.time_text = "08:30";
  e.currency = "usd";  // keys ignore letter case: the stored record is rewritten
  e.descr = "cpi";
  e.impact = 'M';
  e.color = '2';
  e.symbol = 140;
  e.actual = "12345678901";
  e.kxid = "42";
  history.store(e);  // outside a page: stored at once
  std::int64_t n = 0;
  ASSERT_TRUE(t.records(n).is_ok());
  EXPECT_EQ(n, 1);
  t.clear();
  ASSERT_TRUE(t.set_start(CalendarKey::Key).is_ok());
  ASSERT_TRUE(t.next().is_ok());
  EXPECT_EQ(history_line(t.rec),
            R"("2007-01-08","08:30","USD","CPI","M","1234567890","","","","140","2","1","42")");
}

// A page is one transaction: an abort, an abandoned page or a killed process in the middle of
// it leaves the week as it was.
TEST(EventHistory, UnfinishedPageChangesNothing) {
  const std::vector<std::string> page = {first_row("Mon", "Jan 8", row("8:00am", "New")),
                                         page_row(row("9:00am", "Newer"))};
  test::TempDir dir;
  add_record(dir.path(), k8Jan2007 + 1, tod(8, 0), "kept");
  const auto before = stored(dir.path());

  {  // Abort at a stop message while storing.
    Table<CalendarTable> t(dir.path());
    RunState run;
    open_calr(t, run.reporter);
    EventHistory history(t, run.reporter, run.progress, run.count1, 0);
    class Failing : public PageSink {
     public:
      explicit Failing(EventHistory& h) : h_(h) {}
      void delete_week(std::int32_t f) override { h_.delete_week(f); }
      void store(const PageEvent& e) override {
        h_.store(e);
        throw Aborted("Add(CALENDAR.db) - Disk Full");
      }
      EventHistory& h_;
    } failing(history);
    PageReader aborted(PageOptions{.request_date = k8Jan2007}, failing);
    for (const std::string& l : page) aborted.line(l);
    EXPECT_THROW(aborted.end(), Aborted);
  }
  EXPECT_EQ(stored(dir.path()), before);

  {  // A page that could not be read to its end.
    Table<CalendarTable> t(dir.path());
    RunState run;
    open_calr(t, run.reporter);
    EventHistory history(t, run.reporter, run.progress, run.count1, 0);
    history.delete_week(k8Jan2007);
    PageEvent e;
    e.date = k8Jan2007;
    e.time_text = "08:00";
    e.currency = "USD";
    e.descr = "half";
    e.impact = 'H';
    e.color = '3';
    history.store(e);
    history.page_abandoned();
    history.page_done();
  }
  EXPECT_EQ(stored(dir.path()), before);

  // A process killed in the middle of a page.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    Table<CalendarTable> t(dir.path());
    RunState run;
    open_calr(t, run.reporter);
    EventHistory history(t, run.reporter, run.progress, run.count1, 0);
    PageReader reader(PageOptions{.request_date = k8Jan2007}, history);
    for (const std::string& l : page) reader.line(l);
    reader.line(first_row("Tue", "", row("8:00am", "Tuesday")));  // scans Monday: stored
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(stored(dir.path()), before);
}

TEST(EventHistory, OpenCalrNeverEmptiesAnExistingTable) {
  test::TempDir dir;
  add_record(dir.path(), k8Jan2007, tod(8, 0), "precious");
  {
    Table<CalendarTable> holder(dir.path());
    ASSERT_TRUE(holder.open(OpenMode::exclusive()).is_ok());
    Table<CalendarTable> t(dir.path());
    test::ScriptedReporter r;
    open_calr(t, r);
    ASSERT_EQ(r.stops.size(), 1u);
    EXPECT_EQ(r.stops[0].rfind("Open(CALENDAR.db) - ", 0), 0u) << r.stops[0];
  }
  EXPECT_EQ(stored(dir.path()).size(), 1u);

  test::TempDir foreign;
  test::write_file(foreign / "CALENDAR.db", "not a table");
  Table<CalendarTable> t(foreign.path());
  test::ScriptedReporter r;
  r.stop_answers.push_back(Answer::Ignore);
  open_calr(t, r);
  ASSERT_EQ(r.stops.size(), 1u);
  EXPECT_EQ(r.stops[0].rfind("Open(CALENDAR.db) - ", 0), 0u) << r.stops[0];
  EXPECT_EQ(test::read_file(foreign / "CALENDAR.db"), "not a table");

  r.stop_answers.push_back(Answer::Abort);
  EXPECT_THROW(open_calr(t, r), Aborted);
}

TEST(EventHistory, BackupKeepsThePreviousOneOnFailure) {
  test::TempDir dir;
  FixedClock clock(k8Jan2007, 1);
  Session session(dir.path(), clock);
  test::write_file(dir / "@BACKUP@.CSV", "old backup\r\n");
  test::ScriptedReporter r;
  NoProgress p;
  std::int64_t count1 = 5;
  auto_backup(session, r, p, count1);  // no CALENDAR in the folder
  EXPECT_EQ(r.stops, std::vector<std::string>{"Open(CALENDAR.db) - File Not Found"});
  EXPECT_EQ(test::read_file(dir / "@BACKUP@.CSV"), "old backup\r\n");
  EXPECT_EQ(count1, 0);

  // An empty history gives an empty backup.
  Table<CalendarTable> t(dir.path());
  open_calr(t, r);
  t.close();
  auto_backup(session, r, p, count1);
  EXPECT_EQ(r.stops.size(), 1u);
  EXPECT_TRUE(file_exists(dir / "@BACKUP@.CSV"));
  EXPECT_EQ(test::read_file(dir / "@BACKUP@.CSV"), "");
}

}  // namespace
}  // namespace mervane
