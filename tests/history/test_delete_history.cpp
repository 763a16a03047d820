// The history maintenance window driven as a user drives it, and the history commands.
#include "core/history/delete_history.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/app.h"
#include "core/history/backup_files.h"
#include "core/history/history_line.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/stub_windows.h"
#include "tests/support/tables.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_bed.h"
#include "tests/support/window_checks.h"

namespace mervane {
namespace {

using C = DeleteHistoryControl;

using test::day;

std::string choice(int c) {
  return std::to_string(c);
}

CalendarRecord event(std::int32_t date, std::int32_t time, std::string_view descr) {
  return test::calendar_event(date, time, "USD", descr);
}

class DeleteHistoryWindow : public ::testing::Test, protected test::WindowBed {
 protected:
  void store(const std::vector<CalendarRecord>& events) {
    test::fill_table<CalendarTable>(dir.path(), events);
  }
  std::vector<std::string> descriptions() {
    std::vector<std::string> out;
    for (const auto& r : test::table_records<CalendarTable>(dir.path()))
      out.push_back(r.descr.str());
    return out;
  }
  DeleteHistory m{session, windows, reporter, progress};
};

TEST_F(DeleteHistoryWindow, OpensWithTheBackupNamesOfTheFolder) {
  for (const char* f : {"@BACKUP@.CSV", "@mar09@.csv", "@Mar09@.Csv", "@TOOLONG@.CSV", "@@.CSV",
                        "BACKUP.CSV", "@X@.TXT", "@a b@.CSV"})
    test::write_file(dir / f, "");
  std::filesystem::create_directory(dir / "@DIR@.CSV");
  m.open();
  // One name per file name ignoring case; too long, blank and other files are left out.
  EXPECT_EQ(m.choices(number(C::PFILENAME)), (std::vector<std::string>{"BACKUP", "Mar09", "a b"}));
  EXPECT_EQ(m.value(number(C::OPTION1)), choice(DeleteHistory::kDelete));
  EXPECT_EQ(m.value(number(C::FROMDATE)), "01/01/2000");
  EXPECT_EQ(m.value(number(C::THRUDATE)), "");
  EXPECT_EQ(m.value(number(C::PFILENAME)), "BACKUP");
  EXPECT_FALSE(m.enabled(number(C::ADJUSTHRS)));
  EXPECT_FALSE(m.enabled(number(C::PFILENAME)));
}

TEST_F(DeleteHistoryWindow, ChoosingAnActionSetsTheLastDateAndTheEnabledFields) {
  m.open();
  struct Step {
    int choice;
    std::string thru;
    bool adjust, name;
  };
  const Step steps[] = {{DeleteHistory::kExport, "12/31/2019", false, true},
                        {DeleteHistory::kDelete, "01/01/2000", false, false},
                        {DeleteHistory::kRebuild, "01/01/2000", true, false},
                        {DeleteHistory::kImport, "12/31/2019", false, true}};
  for (const Step& s : steps) {
    m.type(number(C::OPTION1), choice(s.choice));
    EXPECT_EQ(m.value(number(C::THRUDATE)), s.thru) << s.choice;
    EXPECT_EQ(m.enabled(number(C::ADJUSTHRS)), s.adjust) << s.choice;
    EXPECT_EQ(m.enabled(number(C::PFILENAME)), s.name) << s.choice;
    EXPECT_EQ(m.value(number(C::ADJUSTHRS)), "0") << "the adjustment only stays for Rebuild";
    m.type(number(C::ADJUSTHRS), "5");
    EXPECT_EQ(m.value(number(C::ADJUSTHRS)), s.adjust ? "5" : "0") << s.choice;
  }
  // Choosing the same action again changes nothing.
  m.type(number(C::THRUDATE), "01/01/2009");
  m.type(number(C::OPTION1), choice(DeleteHistory::kImport));
  EXPECT_EQ(m.value(number(C::THRUDATE)), "01/01/2009");
}

TEST_F(DeleteHistoryWindow, ALastDateBeforeTheFirstKeepsTheCursorThere) {
  store({event(day(2009, 3, 1), tod(1, 0), "kept")});
  m.open();
  m.type(number(C::FROMDATE), "03/01/2009");
  // The adjustment and the file name take the cursor only while their actions are chosen.
  const std::pair<int, C> moves[] = {{DeleteHistory::kRebuild, C::ADJUSTHRS},
                                     {DeleteHistory::kExport, C::PFILENAME},
                                     {DeleteHistory::kImport, C::DELETE1},
                                     {DeleteHistory::kDelete, C::OK}};
  for (const auto& [action, c] : moves) {
    m.type(number(C::OPTION1), choice(action));
    m.type(number(C::THRUDATE), "02/28/2009");
    m.selecting(number(C::FROMDATE));
    m.selecting(number(c));
    EXPECT_EQ(m.focus(), number(C::THRUDATE)) << number(c);
  }
  m.selecting(number(C::BUTTON2));  // still among the date fields
  EXPECT_EQ(m.focus(), number(C::BUTTON2));
  EXPECT_EQ(m.accepted(number(C::OK)), Reply::stay());
  EXPECT_EQ(m.key({Key::Enter}), Reply::stay());
  EXPECT_EQ(m.focus(), number(C::THRUDATE));
  EXPECT_FALSE(m.closed());
  EXPECT_EQ(windows.started_count(Procedure::BrowseHistoryByName), 0);
  EXPECT_EQ(descriptions(), std::vector<std::string>{"kept"});
}

TEST_F(DeleteHistoryWindow, ReachingABlankLastDateFillsItWithTheFirst) {
  m.open();
  m.type(number(C::FROMDATE), "03/07/2009");
  m.selecting(number(C::BUTTON1));
  EXPECT_EQ(m.value(number(C::THRUDATE)), "");
  m.selecting(number(C::THRUDATE));
  EXPECT_EQ(m.value(number(C::THRUDATE)), "03/07/2009");
  // OK straight from the first date: the cursor goes back to the blank date, which fills.
  m.type(number(C::THRUDATE), "");
  m.accepted(number(C::OK));
  EXPECT_EQ(m.focus(), number(C::THRUDATE));
  EXPECT_EQ(m.value(number(C::THRUDATE)), "03/07/2009");
  EXPECT_FALSE(m.closed());
}

TEST_F(DeleteHistoryWindow, CalendarButtonsPickTheDatesThroughTheSession) {
  m.open();
  m.type(number(C::THRUDATE), "03/31/2009");
  windows.picks = {day(2009, 3, 2), day(2009, 4, 5)};
  m.accepted(number(C::BUTTON1));
  m.accepted(number(C::BUTTON2));
  EXPECT_EQ(m.value(number(C::FROMDATE)), "03/02/2009");
  EXPECT_EQ(m.value(number(C::THRUDATE)), "04/05/2009");
  EXPECT_EQ(windows.picker_dates, (std::vector<std::int32_t>{day(2000, 1, 1), day(2009, 3, 31)}));
  EXPECT_EQ(windows.picker_masks, (std::vector<std::string>{"1111111", "1111111"}));
  m.accepted(number(C::BUTTON1));  // nothing picked: unchanged
  EXPECT_EQ(m.value(number(C::FROMDATE)), "03/02/2009");
}

TEST_F(DeleteHistoryWindow, DeleteThisFileRemovesTheFileAndItsName) {
  test::write_file(dir / "@OLD@.CSV", "x");
  test::write_file(dir / "@BACKUP@.CSV", "x");
  m.open();
  m.type(number(C::OPTION1), choice(DeleteHistory::kExport));
  m.type(number(C::PFILENAME), "old");  // letter case ignored
  m.accepted(number(C::DELETE1));
  EXPECT_FALSE(std::filesystem::exists(dir / "@OLD@.CSV"));
  EXPECT_EQ(m.choices(number(C::PFILENAME)), std::vector<std::string>{"BACKUP"});
  m.accepted(number(C::DELETE1));  // already gone: silent
  EXPECT_TRUE(reporter.stops.empty());
  EXPECT_TRUE(reporter.warnings.empty());
  EXPECT_FALSE(m.closed());
}

TEST_F(DeleteHistoryWindow, DeleteThisFileReportsAFileThatStays) {
  // A directory under the backup's name cannot be unlinked, as a file held open on Windows.
  std::filesystem::create_directories(dir / "@OLD@.CSV" / "inside");
  test::write_file(dir / "@BACKUP@.CSV", "x");
  m.open();
  m.type(number(C::OPTION1), choice(DeleteHistory::kExport));
  m.type(number(C::PFILENAME), "OLD");
  reporter.stop_answers = {Answer::Ignore};
  m.accepted(number(C::DELETE1));
  ASSERT_EQ(reporter.stops.size(), 1u);
  EXPECT_EQ(reporter.stops[0].rfind("Remove(@OLD@.CSV) - ", 0), 0u) << reporter.stops[0];
  EXPECT_TRUE(std::filesystem::exists(dir / "@OLD@.CSV"));
  EXPECT_EQ(m.choices(number(C::PFILENAME)), std::vector<std::string>{"BACKUP"});
  EXPECT_FALSE(m.closed());
}

TEST_F(DeleteHistoryWindow, UnsafeBackupNamesAreRefusedBeforeAnythingHappens) {
  store({event(day(2009, 3, 1), tod(1, 0), "kept")});
  test::write_file(dir / "@x@.CSV", "");
  for (const char* name : {"../x", "a/b", "a\\b", "c:x", "a*", "", "x@y", "..", "a|b"}) {
    for (int choice : {DeleteHistory::kExport, DeleteHistory::kImport}) {
      DeleteHistory w{session, windows, reporter, progress};
      w.open();
      w.type(number(C::OPTION1), std::to_string(choice));
      w.type(number(C::FROMDATE), "01/01/2009");
      w.type(number(C::PFILENAME), name);
      EXPECT_EQ(w.value(number(C::PFILENAME)), name) << "any 6 characters may be typed";
      reporter.warnings.clear();
      EXPECT_EQ(w.accepted(number(C::OK)), Reply::stay());
      EXPECT_FALSE(w.closed()) << name;
      EXPECT_EQ(w.focus(), number(C::PFILENAME)) << name;
      ASSERT_EQ(reporter.warnings.size(), 1u) << name;
      EXPECT_EQ(reporter.warnings[0].icon, Icon::Exclamation);
      w.accepted(number(C::DELETE1));
      EXPECT_EQ(reporter.warnings.size(), 2u) << name;
    }
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "@x@.CSV"));
  EXPECT_EQ(descriptions(), std::vector<std::string>{"kept"});
  EXPECT_EQ(windows.started_count(Procedure::BrowseHistoryByName), 0);
}

TEST_F(DeleteHistoryWindow, ExportAddsItsNameAndOpensTheBrowseAfterwards) {
  store({event(day(2009, 3, 7), tod(8, 30), "CPI m/m"), event(day(2020, 1, 1), tod(1, 0), "late")});
  m.open();
  m.type(number(C::OPTION1), choice(DeleteHistory::kExport));
  m.type(number(C::PFILENAME), "MAR09");
  EXPECT_EQ(m.key({Key::Enter}), Reply::closed(Response::Completed));
  EXPECT_TRUE(m.closed());
  EXPECT_TRUE(m.done());
  EXPECT_EQ(windows.started_count(Procedure::BrowseHistoryByName), 1);
  EXPECT_EQ(m.choices(number(C::PFILENAME)), std::vector<std::string>{"MAR09"});
  EXPECT_EQ(test::read_file(dir / "@MAR09@.CSV"),
            history_line(event(day(2009, 3, 7), tod(8, 30), "CPI m/m")) + "\r\n");
  EXPECT_EQ(session.globals().outname, "@MAR09@.CSV");
  EXPECT_EQ(m.count1(), 2);
}

TEST_F(DeleteHistoryWindow, RebuildCountsEveryEventTwice) {
  store({event(day(2009, 3, 1), tod(1, 30), "a"), event(day(2009, 3, 2), tod(1, 30), "b"),
         event(day(2009, 3, 3), tod(1, 30), "c")});
  m.open();
  m.type(number(C::OPTION1), choice(DeleteHistory::kRebuild));
  m.type(number(C::FROMDATE), "03/02/2009");
  m.type(number(C::THRUDATE), "03/02/2009");
  m.type(number(C::ADJUSTHRS), "-2");
  m.accepted(number(C::OK));
  EXPECT_TRUE(m.done());
  EXPECT_EQ(m.count1(), 6);
  EXPECT_EQ(windows.started_count(Procedure::BrowseHistoryByName), 1);
  Table<CalendarTable> t(dir.path());
  ASSERT_TRUE(t.open(OpenMode::read_only()).is_ok());
  t.clear();
  t.rec = event(day(2009, 3, 1), tod(23, 30), "b");
  EXPECT_TRUE(t.get(CalendarKey::Key).is_ok());
}

TEST_F(DeleteHistoryWindow, ActionsOnAMissingHistoryCreateItFirst) {
  m.open();
  m.type(number(C::FROMDATE), "03/01/2009");
  m.selecting(number(C::THRUDATE));
  m.accepted(number(C::OK));  // Delete of one day
  EXPECT_TRUE(m.done());
  EXPECT_TRUE(reporter.stops.empty());
  EXPECT_TRUE(std::filesystem::exists(dir / "CALENDAR.db"));
}

TEST_F(DeleteHistoryWindow, ATableOfAnotherLayoutIsNeverReplaced) {
  test::write_file(dir / "CALENDAR.db", "not a table at all");
  m.open();
  m.selecting(number(C::THRUDATE));
  m.accepted(number(C::OK));
  ASSERT_EQ(reporter.stops.size(), 1u);
  EXPECT_EQ(reporter.stops[0].rfind("Open(CALENDAR.db) - ", 0), 0u) << reporter.stops[0];
  EXPECT_EQ(test::read_file(dir / "CALENDAR.db"), "not a table at all");
  EXPECT_FALSE(m.done());
  EXPECT_TRUE(m.closed());
}

TEST_F(DeleteHistoryWindow, RefusedEntriesChangeNothingAndEscOrCloseLeaveWithoutAction) {
  store({event(day(2009, 3, 1), tod(1, 0), "kept")});
  m.open();
  m.type(number(C::OPTION1), choice(DeleteHistory::kRebuild));
  const struct {
    C control;
    const char* typed;
  } refused[] = {{C::FROMDATE, "02/30/2009"}, {C::FROMDATE, "2009-03-01"}, {C::ADJUSTHRS, "1000"},
                 {C::ADJUSTHRS, "2.5"},       {C::OPTION1, "5"},           {C::OPTION1, "Delete"}};
  for (const auto& r : refused) test::expect_refused(m, reporter, number(r.control), r.typed);
  m.type(number(C::OPTION1), choice(DeleteHistory::kExport));
  test::expect_refused(m, reporter, number(C::PFILENAME), "SEVENCH");

  // Esc wherever the cursor is; the close box likewise.
  m.selecting(number(C::PFILENAME));
  EXPECT_EQ(m.key({Key::Esc}), Reply::closed(Response::Cancelled));
  EXPECT_EQ(m.accepted(number(C::OK)), Reply::closed(Response::Cancelled)) << "closed stays closed";
  DeleteHistory other{session, windows, reporter, progress};
  other.open();
  EXPECT_EQ(other.key({Key::F2}), Reply::stay());
  EXPECT_EQ(other.close_request(), Reply::closed(Response::Cancelled));
  EXPECT_EQ(windows.started_count(Procedure::BrowseHistoryByName), 0);
  EXPECT_EQ(descriptions(), std::vector<std::string>{"kept"});
  EXPECT_FALSE(std::filesystem::exists(dir / "@BACKUP@.CSV"));
}

TEST(BackupNames, RefusesWhatCannotBePartOfAFileName) {
  for (const char* ok : {"BACKUP", "x", "Mar-09", "a b", "a.b", "ÄÖ"})
    EXPECT_EQ(backup_name_problem(ok), "") << ok;
  for (const char* bad : {"", "   ", "SEVENCH", "../x", "..", ".", "a/b", "a\\b", "c:", "<a>",
                          "a\"", "a?", "a*", "a|b", "x@", "\t", "a."})
    EXPECT_NE(backup_name_problem(bad), "") << bad;
  EXPECT_EQ(backup_file_name("BACKUP  "), "@BACKUP@.CSV");
}

// The command line drives the same window.
class HistoryCommands : public DeleteHistoryWindow {
 protected:
  int cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--dir", dir.path().string()});
    out.str("");
    err.str("");
    return cli::run(args, out, err);
  }
  std::ostringstream out, err;
};

TEST_F(HistoryCommands, RunTheActionsAndRefuseWhatTheWindowRefuses) {
  store({event(day(2009, 3, 1), tod(1, 30), "a"), event(day(2009, 3, 7), tod(8, 30), "b")});
  EXPECT_EQ(
      cli({"history", "export", "--from", "03/01/2009", "--thru", "2009-03-31", "--name", "m1"}),
      0);
  EXPECT_EQ(cli({"history", "backups"}), 0);
  EXPECT_EQ(out.str(), "m1\n");
  EXPECT_EQ(cli({"history", "delete", "--from", "03/01/2009", "--thru", "03/31/2009"}), 0);
  EXPECT_TRUE(descriptions().empty());
  EXPECT_EQ(
      cli({"history", "import", "--from", "03/07/2009", "--thru", "03/31/2009", "--name", "M1"}),
      0);
  EXPECT_EQ(descriptions(), std::vector<std::string>{"b"});
  EXPECT_EQ(err.str(), "1 events restored, 1 lines outside the dates left out\n");
  EXPECT_EQ(cli({"history", "rebuild", "--from", "03/07/2009", "--thru", "03/07/2009",
                 "--adjust-hours", "-9"}),
            0);
  Table<CalendarTable> t(dir.path());
  ASSERT_TRUE(t.open(OpenMode::read_only()).is_ok());
  ASSERT_TRUE(t.set_start(CalendarKey::Key).is_ok());
  ASSERT_TRUE(t.next().is_ok());
  EXPECT_EQ(t.rec.date, day(2009, 3, 6));
  EXPECT_EQ(t.rec.time, tod(23, 30));
  t.close();

  struct Refused {
    std::vector<std::string> args;
    std::string message;
  };
  const Refused refused[] = {
      {{"history", "delete", "--from", "03/07/2009", "--thru", "03/06/2009"}, "--thru is before"},
      {{"history", "delete", "--from", "03/07/2009"}, "--from and --thru are needed"},
      {{"history", "export", "--from", "1/1/2009", "--thru", "1/2/2009", "--name", "../x"},
       "--name: The name \"../x\""},
      {{"history", "export", "--from", "1/1/2009", "--thru", "1/2/2009", "--name", "SEVENCH"},
       "longer than 6"},
      {{"history", "rebuild", "--adjust-hours", "2"}, "--adjust-hours needs --from and --thru"},
      {{"history", "rebuild", "--from", "1/1/2009", "--thru", "1/2/2009", "--adjust-hours", "1000"},
       "--adjust-hours"},
      {{"history", "delete", "--from", "02/30/2009", "--thru", "03/06/2009"}, "--from"},
  };
  for (const Refused& r : refused) {
    EXPECT_EQ(cli(r.args), 2) << r.args[1];
    EXPECT_NE(err.str().find(r.message), std::string::npos) << err.str();
  }
  EXPECT_EQ(descriptions(), std::vector<std::string>{"b"});
  // A stop message ends the command with exit code 3 unless --keep-going answers Ignore.
  EXPECT_EQ(
      cli({"history", "import", "--from", "1/1/2009", "--thru", "1/2/2009", "--name", "NONE"}), 3);
  EXPECT_EQ(cli({"--keep-going", "history", "import", "--from", "1/1/2009", "--thru", "12/31/2009",
                 "--name", "NONE"}),
            1);
  EXPECT_NE(err.str().find("Open(@NONE@.CSV) - File Not Found"), std::string::npos);
  EXPECT_EQ(descriptions(), std::vector<std::string>{"b"});

  // A file without a history line of the range restores nothing and deletes nothing.
  std::string junk;
  for (int i = 0; i < 742; ++i) junk += "no history line\r\n";
  test::write_file(dir / "@JUNK@.CSV", junk);
  const std::vector<std::string> restore = {"history", "import",     "--from", "1/1/2009",
                                            "--thru",  "12/31/2009", "--name", "JUNK"};
  EXPECT_EQ(cli(restore), 3);
  EXPECT_NE(err.str().find("Stop: Read(@JUNK@.CSV) - no history lines of the range in the file"),
            std::string::npos)
      << err.str();
  std::vector<std::string> keep_going = restore;
  keep_going.insert(keep_going.begin(), "--keep-going");
  EXPECT_EQ(cli(keep_going), 1);
  EXPECT_NE(err.str().find("0 events restored, 742 lines skipped"), std::string::npos) << err.str();
  EXPECT_EQ(descriptions(), std::vector<std::string>{"b"});
}

}  // namespace
}  // namespace mervane
