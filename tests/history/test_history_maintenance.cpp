// The four history actions on a real CALENDAR table: what the table and the files hold after
// each, the messages shown, and that failures leave the history exactly as it was.
#include "core/history/history_maintenance.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "core/history/history_line.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/tables.h"
#include "tests/support/temp_dir.h"

namespace mervane {

// Failures show events as history lines (seconds and hundredths of the time are not in them).
void PrintTo(const CalendarRecord& r, std::ostream* os) {
  *os << history_line(r) << " time " << r.time;
}

namespace {

using Cal = Table<CalendarTable>;

using test::day;

const auto event = test::calendar_event;

CalendarRecord full_event() {
  CalendarRecord r = event(day(2009, 3, 7), tod(8, 30), "USD", "CPI m/m");
  r.impact = "H";
  r.actual = "0.4%";
  r.forecast = "0.3%";
  r.previous = "0.2%";
  r.symbol = "110";
  r.color = "4";
  r.spacing = "1";
  r.kxidcode = "12345";
  return r;
}

class HistoryActions : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Cal(dir.path()).create().is_ok());
    ASSERT_TRUE(cal.open(OpenMode::deny_write()).is_ok());
  }
  void store(const std::vector<CalendarRecord>& events) {
    for (const auto& e : events) {
      cal.rec = e;
      ASSERT_TRUE(cal.add().is_ok()) << e.descr.str();
    }
  }
  // An event added inside March 2009 after the backup, then March restored from file.
  ImportResult restore_march_after_a_change(const std::filesystem::path& file) {
    cal.clear();
    cal.rec = event(day(2009, 3, 20), tod(9, 0), "EUR", "added after the backup");
    EXPECT_TRUE(cal.add().is_ok());
    return import_history(cal, file, day(2009, 3, 1), day(2009, 3, 31), reporter, count);
  }
  // Every event in key order, read by a second opener once the action's table is closed.
  std::vector<CalendarRecord> history() {
    cal.close();
    return test::table_records<CalendarTable>(dir.path());
  }
  test::TempDir dir;
  Cal cal{dir.path()};
  test::ScriptedReporter reporter;
  NoProgress progress;
  Count1 count{progress};
};

TEST_F(HistoryActions, ExportWritesTheHistoryLinesOfTheRangeInKeyOrder) {
  store({full_event(), event(day(2009, 3, 6), tod(23, 0), "EUR", "before"),
         event(day(2009, 3, 8), tod(1, 0), "GBP", "last day"),
         event(day(2009, 3, 9), tod(1, 0), "GBP", "after")});
  const auto file = dir / "@BACKUP@.CSV";
  ASSERT_TRUE(export_history(cal, file, day(2009, 3, 7), day(2009, 3, 8), reporter, count));
  EXPECT_EQ(test::read_file(file),
            "\"2009-03-07\",\"08:30\",\"USD\",\"CPI m/m\",\"H\",\"0.4%\",\"0.3%\",\"0.2%\",\"\","
            "\"110\",\"4\",\"1\",\"12345\"\r\n" +
                history_line(event(day(2009, 3, 8), tod(1, 0), "GBP", "last day")) + "\r\n");
  // The first event after the range is read to know the range has ended.
  EXPECT_EQ(count.value, 3);
  EXPECT_TRUE(reporter.stops.empty());
}

TEST_F(HistoryActions, ExportThenImportReproducesEveryField) {
  CalendarRecord comma = event(day(2009, 3, 10), tod(13, 30), "USD", "Retail Sales, ex Autos");
  comma.revisedfrom = "-0.1%";
  comma.actual = "1.2%";
  CalendarRecord untimed = event(day(2009, 3, 11), 0, "JPY", "Bank Holiday");
  untimed.impact = "L";
  const std::vector<CalendarRecord> events = {full_event(), comma, untimed,
                                              event(day(2009, 3, 12), tod(0, 0), "ALL", "x")};
  store(events);
  const auto file = dir / "@X@.CSV";
  ASSERT_TRUE(export_history(cal, file, day(2009, 3, 1), day(2009, 3, 31), reporter, count));
  // Changed and extra events inside the range go; the file's versions come back.
  const ImportResult res = restore_march_after_a_change(file);
  EXPECT_TRUE(res.done);
  EXPECT_EQ(res.imported, 4);
  EXPECT_EQ(history(), events);
  EXPECT_TRUE(reporter.stops.empty());
}

TEST_F(HistoryActions, ImportTakesOnlyTheLinesOfTheRangeAndSkipsBrokenOnes) {
  const CalendarRecord outside = event(day(2009, 2, 27), tod(8, 0), "USD", "kept as it was");
  store({outside, event(day(2009, 3, 2), tod(8, 0), "USD", "deleted")});
  const auto file = dir / "@B@.CSV";
  test::write_file(file, history_line(event(day(2009, 2, 27), tod(9, 0), "USD", "not in range")) +
                             "\r\nnot a history line\r\n\r\n" + history_line(full_event()) +
                             "\r\n");
  const ImportResult res =
      import_history(cal, file, day(2009, 3, 1), day(2009, 3, 31), reporter, count);
  EXPECT_TRUE(res.done);
  EXPECT_EQ(res.imported, 1);
  EXPECT_EQ(res.outside, 1);
  EXPECT_EQ(res.broken, 2);
  EXPECT_EQ(history(), (std::vector<CalendarRecord>{outside, full_event()}));
}

// A file that holds no history line of the range (another kind of file, an empty one, another
// range's backup) replaces nothing: the range keeps its events.
TEST_F(HistoryActions, ImportOfAFileWithoutLinesOfTheRangeDeletesNothing) {
  const std::vector<CalendarRecord> before = {full_event(),
                                              event(day(2009, 3, 8), tod(1, 0), "EUR", "x")};
  store(before);
  std::string junk;
  for (int i = 1; i <= 742; ++i) junk += "Date;Time;Event " + std::to_string(i) + "\r\n";
  struct Case {
    const char* what;
    std::string file;
    std::int64_t broken, outside;
  } cases[] = {
      {"a file of another kind", junk, 742, 0},
      {"an empty file", "", 0, 0},
      {"another range's backup",
       history_line(event(day(2010, 1, 4), tod(9, 0), "USD", "next year")) + "\r\n", 0, 1},
      {"no line of the range among broken ones",
       "x\r\n" + history_line(event(day(2009, 2, 28), tod(9, 0), "USD", "before")) + "\r\n", 1, 1},
  };
  const std::string says = "Read(@OTHER@.CSV) - no history lines of the range in the file";
  for (const Case& c : cases) {
    test::write_file(dir / "@OTHER@.CSV", c.file);
    for (const Answer answer : {Answer::Ignore, Answer::Abort}) {
      reporter.stops.clear();
      reporter.stop_answers = {answer};
      ImportResult res;
      auto restore = [&] {
        res = import_history(cal, dir / "@OTHER@.CSV", day(2009, 3, 1), day(2009, 3, 31), reporter,
                             count);
      };
      if (answer == Answer::Abort) {
        EXPECT_THROW(restore(), Aborted) << c.what;
      } else {
        restore();
        EXPECT_FALSE(res.done) << c.what;
        EXPECT_EQ(res.imported, 0) << c.what;
        EXPECT_EQ(res.broken, c.broken) << c.what;
        EXPECT_EQ(res.outside, c.outside) << c.what;
      }
      EXPECT_EQ(reporter.stops, std::vector<std::string>{says}) << c.what;
      EXPECT_EQ(history(), before) << c.what;
      ASSERT_TRUE(cal.open(OpenMode::deny_write()).is_ok());
    }
  }
}

// Quotes inside a field are doubled in the backup and come back whole; a backup of an earlier
// version, where they stand single, is read from both ends and comes back whole too.
TEST_F(HistoryActions, QuotesInsideFieldsSurviveBackupAndRestore) {
  CalendarRecord fed = full_event();
  fed.date = day(2009, 3, 9);
  fed.descr = "Fed Chair \"Bernanke\" Speaks";
  CalendarRecord odd = event(day(2009, 3, 10), tod(9, 0), "EUR", "\"Quoted\", then \",\"");
  odd.actual = "\"1\"";
  odd.impact = "L";
  const std::vector<CalendarRecord> events = {full_event(), fed, odd};
  store(events);
  const auto file = dir / "@Q@.CSV";
  ASSERT_TRUE(export_history(cal, file, day(2009, 3, 1), day(2009, 3, 31), reporter, count));
  const std::string written = test::read_file(file);
  EXPECT_NE(
      written.find(
          R"("USD","Fed Chair ""Bernanke"" Speaks","H","0.4%","0.3%","0.2%","","110","4","1",)"),
      std::string::npos)
      << written;
  EXPECT_EQ(written.find(history_line(full_event())), 0u) << "lines without quotes as before";

  for (const bool earlier_version : {false, true}) {
    std::string bytes = written;
    if (earlier_version) {
      // As an earlier version wrote the line of the Fed event: the quotes as they were.
      const std::string doubled = R"(Fed Chair ""Bernanke"" Speaks)";
      bytes.replace(bytes.find(doubled), doubled.size(), R"(Fed Chair "Bernanke" Speaks)");
    }
    test::write_file(file, bytes);
    ASSERT_TRUE(cal.is_open() || cal.open(OpenMode::deny_write()).is_ok());
    const ImportResult res = restore_march_after_a_change(file);
    EXPECT_TRUE(res.done);
    EXPECT_EQ(res.imported, 3);
    EXPECT_EQ(res.broken, 0);
    EXPECT_EQ(history(), events) << (earlier_version ? "earlier version" : "this version");
  }
  EXPECT_TRUE(reporter.stops.empty());
}

TEST_F(HistoryActions, ImportOfAFileThatCannotBeOpenedDeletesNothing) {
  store({full_event()});
  const ImportResult res =
      import_history(cal, dir / "@TYPO@.CSV", day(2000, 1, 1), day(2019, 12, 31), reporter, count);
  EXPECT_FALSE(res.done);
  ASSERT_EQ(reporter.stops.size(), 1u);
  EXPECT_EQ(reporter.stops[0], "Open(@TYPO@.CSV) - File Not Found");
  EXPECT_EQ(history(), std::vector<CalendarRecord>{full_event()});
}

TEST_F(HistoryActions, ImportThatCannotBuildItsKeysLeavesTheHistoryAsItWas) {
  const std::vector<CalendarRecord> before = {full_event(),
                                              event(day(2009, 3, 8), tod(1, 0), "EUR", "x")};
  store(before);
  const auto file = dir / "@DUP@.CSV";
  const CalendarRecord e = event(day(2009, 3, 9), tod(10, 0), "USD", "Same event");
  // The same event twice (the key ignores letter case).
  CalendarRecord upper = e;
  upper.descr = "SAME EVENT";
  test::write_file(file, history_line(e) + "\r\n" + history_line(upper) + "\r\n");
  for (Answer answer : {Answer::Ignore, Answer::Abort}) {
    reporter.stops.clear();
    reporter.stop_answers = {answer};
    if (answer == Answer::Abort) {
      EXPECT_THROW(
          (void)import_history(cal, file, day(2009, 3, 1), day(2009, 3, 31), reporter, count),
          Aborted);
    } else {
      EXPECT_FALSE(
          import_history(cal, file, day(2009, 3, 1), day(2009, 3, 31), reporter, count).done);
    }
    ASSERT_EQ(reporter.stops.size(), 1u);
    EXPECT_EQ(reporter.stops[0].rfind("Build(CALENDAR.db) - ", 0), 0u) << reporter.stops[0];
    EXPECT_NE(reporter.stops[0].find("03/09/2009 10:00 USD"), std::string::npos)
        << reporter.stops[0];
    EXPECT_EQ(history(), before);
    ASSERT_TRUE(cal.open(OpenMode::deny_write()).is_ok());
  }
  // The table is still usable by key afterwards.
  cal.clear();
  cal.rec = full_event();
  EXPECT_TRUE(cal.get(CalendarKey::Key).is_ok());
}

TEST_F(HistoryActions, DeleteRemovesTheEventsOfTheRangeOnly) {
  const CalendarRecord before = event(day(2009, 3, 6), tod(23, 59), "USD", "day before");
  const CalendarRecord after = event(day(2009, 3, 8), 0, "USD", "day after");
  store({before, full_event(), event(day(2009, 3, 7), 0, "EUR", "untimed"), after});
  ASSERT_TRUE(delete_history_range(cal, day(2009, 3, 7), day(2009, 3, 7), reporter, count));
  EXPECT_EQ(history(), (std::vector<CalendarRecord>{before, after}));
  EXPECT_EQ(count.value, 3);  // two deleted, and the first event after the range
}

TEST_F(HistoryActions, RebuildMovesTheRangeAcrossAMonthEnd) {
  // 2009 is a common year, 2008 a leap year.
  const CalendarRecord outside = event(day(2009, 3, 2), tod(1, 30), "USD", "outside");
  store({event(day(2009, 3, 1), tod(1, 30), "USD", "Retail Sales, ex Autos"),
         event(day(2008, 3, 1), tod(1, 30, 15), "EUR", "leap"), outside});
  ASSERT_TRUE(
      rebuild_history(cal, dir.path(), day(2008, 3, 1), day(2009, 3, 1), -2, reporter, count));
  EXPECT_EQ(history(),
            (std::vector<CalendarRecord>{
                event(day(2008, 2, 29), tod(23, 30), "EUR", "leap"),
                event(day(2009, 2, 28), tod(23, 30), "USD", "Retail Sales, ex Autos"), outside}));
  EXPECT_EQ(count.value, 6);
  EXPECT_FALSE(std::filesystem::exists(dir / "CAL2.CSV"));
  EXPECT_TRUE(reporter.stops.empty());
}

TEST_F(HistoryActions, RebuildWithoutAdjustmentRewritesEveryEventUnchanged) {
  CalendarRecord odd = full_event();
  odd.descr = "He said \"no\", twice";  // quotes and commas survive the temporary file
  odd.time = tod(8, 30, 59) + 12;       // seconds and hundredths stay when nothing moves
  const std::vector<CalendarRecord> events = {
      event(day(2001, 1, 1), 0, "CHF", ""), event(day(2009, 3, 7), tod(8, 30), "usd", "cpi"), odd};
  store(events);
  ASSERT_TRUE(
      rebuild_history(cal, dir.path(), day(2000, 1, 1), day(2019, 12, 31), 0, reporter, count));
  EXPECT_EQ(history(), events);
  EXPECT_EQ(count.value, 6);
}

TEST_F(HistoryActions, RebuildThatPutsTwoEventsOnOneKeyNamesThemAndChangesNothing) {
  // Moving 1 March 01:30 by -2 hours lands on the event of 28 February 23:30 outside the range.
  const std::vector<CalendarRecord> before = {
      event(day(2009, 2, 28), tod(23, 30), "USD", "CPI m/m"),
      event(day(2009, 3, 1), tod(1, 30), "USD", "CPI m/m"),
      event(day(2009, 3, 1), tod(5, 0), "EUR", "other")};
  store(before);
  EXPECT_FALSE(
      rebuild_history(cal, dir.path(), day(2009, 3, 1), day(2009, 3, 1), -2, reporter, count));
  ASSERT_EQ(reporter.stops.size(), 1u);
  const std::string& msg = reporter.stops[0];
  EXPECT_EQ(msg.rfind("Build(CALENDAR.db) - ", 0), 0u) << msg;
  EXPECT_NE(msg.find("USD CPI m/m on 02/28/2009 23:30 and on 03/01/2009 01:30"), std::string::npos)
      << msg;
  EXPECT_EQ(history(), before);
  EXPECT_FALSE(std::filesystem::exists(dir / "CAL2.CSV"));
  ASSERT_TRUE(cal.open(OpenMode::read_only()).is_ok());
  cal.clear();
  cal.rec = before[1];
  EXPECT_TRUE(cal.get(CalendarKey::Key).is_ok()) << "keys usable after the failed rebuild";
}

TEST_F(HistoryActions, RebuildNeedsTheTableToItself) {
  store({full_event()});
  Cal browse(dir.path());  // a browse window reading the table meanwhile
  ASSERT_TRUE(browse.open(OpenMode::read_only()).is_ok());
  EXPECT_FALSE(
      rebuild_history(cal, dir.path(), day(2009, 3, 7), day(2009, 3, 7), 5, reporter, count));
  ASSERT_EQ(reporter.stops.size(), 1u);
  EXPECT_EQ(reporter.stops[0].rfind("Open(CALENDAR.db) - ", 0), 0u) << reporter.stops[0];
  EXPECT_EQ(count.value, 0);
  browse.close();
  EXPECT_EQ(history(), std::vector<CalendarRecord>{full_event()});
}

TEST_F(HistoryActions, RebuildRepairsBrokenKeys) {
  store({full_event(), event(day(2009, 3, 8), tod(1, 0), "EUR", "x")});
  cal.close();
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dir / "CALENDAR.db").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "DROP INDEX key_cal_namekey", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  ASSERT_EQ(cal.open(OpenMode::deny_write()).code, kInvalidKeyFile);
  EXPECT_TRUE(rebuild_history(cal, dir.path(), 0, 0, 0, reporter, count));
  EXPECT_TRUE(reporter.stops.empty());
  cal.close();
  EXPECT_TRUE(cal.open(OpenMode::read_only()).is_ok()) << "the keys are whole again";
  cal.close();
  EXPECT_EQ(history().size(), 2u);
}

TEST_F(HistoryActions, RebuildAbortedLeavesTheHistoryAsItWas) {
  const std::vector<CalendarRecord> before = {event(day(2009, 2, 28), tod(23, 30), "USD", "A"),
                                              event(day(2009, 3, 1), tod(1, 30), "USD", "A")};
  store(before);
  reporter.stop_answers = {Answer::Abort};
  EXPECT_THROW(
      rebuild_history(cal, dir.path(), day(2009, 3, 1), day(2009, 3, 1), -2, reporter, count),
      Aborted);
  EXPECT_EQ(history(), before);
  EXPECT_FALSE(std::filesystem::exists(dir / "CAL2.CSV"));
}

struct Shift {
  int h, m, s;  // time of the event (h < 0: no time of day)
  int hours;
  int days;  // expected move of the date
  int new_h, new_m;
};

TEST(ShiftEvent, MovesByExactlyTheHoursGiven) {
  const Shift cases[] = {
      {1, 30, 0, -2, -1, 23, 30}, {23, 0, 0, 2, 1, 1, 0},    {10, 15, 0, 0, 0, 10, 15},
      {-1, 0, 0, 1, 0, 1, 0},     {-1, 0, 0, -1, -1, 23, 0}, {10, 0, 0, 30, 1, 16, 0},
      {10, 0, 0, -48, -2, 10, 0}, {0, 5, 0, -24, -1, 0, 5},  {8, 30, 45, 1, 0, 9, 30},
      {12, 0, 0, 999, 42, 3, 0},  {12, 0, 0, -99, -4, 9, 0},
  };
  for (const Shift& c : cases) {
    CalendarRecord r = event(day(2009, 3, 1), c.h < 0 ? 0 : tod(c.h, c.m, c.s), "USD", "x");
    shift_event(r, c.hours);
    EXPECT_EQ(r.date, day(2009, 3, 1) + c.days) << c.h << ":" << c.m << " " << c.hours;
    EXPECT_EQ(r.time, tod(c.new_h, c.new_m)) << c.h << ":" << c.m << " " << c.hours;
  }
}

}  // namespace
}  // namespace mervane
