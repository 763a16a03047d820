// build, preview, group, profile and settings as a user types them: files written, listings,
// exit codes, and refusals that leave the folder as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>
#include <sstream>

#include "core/model/records.h"
#include "core/output/profiles.h"
#include "core/output/settings_file.h"
#include "core/runtime/table.h"
#include "core/runtime/text_file.h"
#include "tests/cli/cli_outcome.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/paths.h"
#include "tests/support/processes.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

using test::Outcome;

std::filesystem::path sample(const char* name) {
  return std::filesystem::path(MERVANE_SOURCE_DIR) / "samples" / name;
}

class BuildCommands : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::copy_file(sample("trune.INI"), dir / "trune.INI"); }
  Outcome cli(std::vector<std::string> args, FileSystem& fs = FileSystem::local()) {
    return test::run_cli(dir.path(), "03/10/2008", std::move(args), fs);
  }
  std::string setting(const std::string& name) {
    const Outcome r = cli({"settings", "show"});
    const std::size_t p = r.out.find("\n" + name + "=");
    if (p == std::string::npos) return "?";
    const std::size_t b = p + name.size() + 2;
    return r.out.substr(b, r.out.find('\n', b) - b);
  }
  std::string page() const { return sample("calendar-week.html").string(); }
  std::map<std::string, std::string> snapshot();

  test::TempDir dir;
};

TEST_F(BuildCommands, BuildOnTheSampleWeek) {
  const Outcome r = cli({"build", "--page", page(), "--set", "spacing1=15"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  // Spacing 15 changes no position of this week (no two events share a quarter hour but the
  // two at 15:30 on Friday).
  EXPECT_EQ(test::read_file(dir / "News.CSV"),
            test::read_file(test::data_dir() / "output" / "run_sample_news.csv"));
  EXPECT_TRUE(file_exists(dir / "XLOutput.CSV"));
  EXPECT_TRUE(file_exists(dir / "@BACKUP@.CSV"));
  EXPECT_EQ(test::read_file(dir / "truneout"), test::read_file(page()));
  EXPECT_EQ(setting("SPACING1"), "15") << "the run saved the changed setting";
  EXPECT_EQ(setting("CHECKWGET"), "0");

  const Outcome again = cli({"build", "--page", page()});
  ASSERT_EQ(again.code, 0) << again.err;
  EXPECT_EQ(test::read_file(dir / "News.CSV"),
            test::read_file(test::data_dir() / "output" / "run_sample_news.csv"))
      << "a page read twice gives the same history";
}

TEST_F(BuildCommands, BuildWithNciOutputsWritesTheNciFilesBesideNewsCsv) {
  const Outcome r = cli({"build", "--page", page(), "--set", "NCIOUT=2"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(file_exists(dir / "NCI1.CSV"));
  EXPECT_TRUE(file_exists(dir / "NCI2.CSV"));
  EXPECT_FALSE(file_exists(dir / "NCI3.CSV"));
}

TEST_F(BuildCommands, RefusalsChangeNothing) {
  test::write_file(dir / "Autoplay.CSV", "75670\r\n");
  const std::string before = test::read_file(dir / "trune.INI");
  struct Case {
    std::vector<std::string> args;
    int code;
    const char* says;
  };
  const Case cases[] = {
      {{"build", "--set", "NOSUCH=1"}, 2, "no setting NOSUCH"},
      {{"build", "--set", "SPACING1=0"}, 2, "SPACING1"},
      {{"build", "--set", "FROMDATE=13/45/2008"}, 2, "FROMDATE"},
      {{"build", "--set", "XOUT"}, 2, "NAME=VALUE"},
      {{"build", "--page", "no-such-page.html"}, 2, "no-such-page.html"},
      {{"build", "--set", "CHECKHIST=0", "--page", page()}, 2, "CHECKHIST"},
      {{"preview"}, 1, "Autoplay.CSV"},
      {{"group", "EU*"}, 1, "Autoplay.CSV"},
      {{"group", "EURUSD*"}, 2, "6 characters"},
      {{"profile", "save", "../up"}, 2, "profile name"},
      {{"profile", "save", "TOOLONG"}, 2, "6 characters"},
      {{"profile", "load", "NOPE"}, 1, "no profile NOPE"},
      {{"profile", "delete", "NOPE"}, 1, "no profile NOPE"},
      {{"profile", "save"}, 2, "name"},
      {{"settings", "set", "SPACING1=10", "OFFSET1=x"}, 2, "OFFSET1"},
      {{"settings", "set", "CALENDARURL=ftp://x"}, 2, ""},
      {{"settings", "show", "X=1"}, 2, "no values"},
      // What the window's controls would not take.
      {{"build", "--set", "DATE1=0"}, 2, "DATE1 takes a date from 01/01/1900 to 12/31/2099"},
      {{"build", "--set", "DATE1=99999999"}, 2, "DATE1 takes a date"},
      {{"settings", "set", "NCIOUT=32767"}, 2, "NCIOUT: \"32767\" is too long: at most 2"},
      {{"build", "--set", "LOADWEEKS=1000"}, 2, "LOADWEEKS: \"1000\" is too long: at most 2"},
      {{"settings", "set", "XOUT=99"},
       2,
       "The choices are 1 (No), 2 (XML), 3 (Tab), 4 (Char), 5 (Cols)."},
      {{"settings", "set", "CHECKHIST=7"}, 2, "CHECKHIST: A check box is either on (1) or off (0)"},
  };
  for (const Case& c : cases) {
    const Outcome r = cli(c.args);
    EXPECT_EQ(r.code, c.code) << c.args[0] << " " << c.args.back() << ": " << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
  EXPECT_EQ(test::read_file(dir / "trune.INI"), before);
  EXPECT_TRUE(file_exists(dir / "Autoplay.CSV")) << "no refused command used up the trigger";
  EXPECT_FALSE(file_exists(dir / "News.CSV"));
  EXPECT_FALSE(file_exists(dir / "mervane.cfg"));
}

// Every file of the folder but the tables, and the Event History as a listing.
std::map<std::string, std::string> BuildCommands::snapshot() {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
    const std::string name = e.path().filename().string();
    if (name.find(".db") == std::string::npos) files[name] = test::read_file(e.path());
  }
  files["(history)"] = cli({"list", "calendar"}).out;
  return files;
}

// A page from which no day could be read, or one cut short, stops the run; its week stays as
// it was. With Ignore the run goes on without that week.
TEST_F(BuildCommands, ACutOrDaylessPageKeepsItsWeek) {
  const std::string sample = test::read_file(page());
  struct Case {
    const char* what;
    std::string page;
    const char* says;
  } cases[] = {
      {"the first 1500 bytes (a download that stopped)", sample.substr(0, 1500),
       "Stop: Read(truneout) - the page ends before its calendar table does"},
      {"all but the table's end", sample.substr(0, sample.rfind("</table>")),
       "Stop: Read(truneout) - the page ends before its calendar table does"},
      {"a verification page served with status 200",
       "<html><body><h1>Checking your browser before accessing</h1></body></html>\n",
       "Stop: Read(truneout) - no calendar days in the page"},
      {"an empty body", "", "Stop: Read(truneout) - no calendar days in the page"},
      {"a page of another layout",
       "<html><table><tr><td>Monday, Mar 3</td><td>CPI</td></tr></table>\n",
       "Stop: Read(truneout) - no calendar days in the page"},
  };
  ASSERT_EQ(cli({"build", "--page", page()}).code, 0);
  const auto before = snapshot();
  ASSERT_NE(before.at("(history)").find("03/07/2008,15:30,USD,Unemployment Rate"),
            std::string::npos);
  for (const Case& c : cases) {
    test::write_file(dir / "bad.html", c.page);
    for (const bool keep_going : {false, true}) {
      std::vector<std::string> args = {"build", "--page", (dir / "bad.html").string()};
      if (keep_going) args.insert(args.begin(), "--keep-going");
      const Outcome r = cli(args);
      EXPECT_EQ(r.code, keep_going ? 0 : 3) << c.what << ": " << r.err;
      EXPECT_NE(r.err.find(c.says), std::string::npos) << c.what << ": " << r.err;
      auto after = snapshot();
      EXPECT_EQ(after["truneout"], c.page) << c.what;
      after["truneout"] = before.at("truneout");
      after.erase("bad.html");
      EXPECT_EQ(after, before) << c.what << (keep_going ? " (Ignore)" : " (Abort)");
    }
  }
  // A whole page whose days hold no events still clears its week.
  test::write_file(dir / "quiet.html",
                   "<table>\n<tr><td class=\"date\">Sun<span>Mar 2</span></td></tr>\n</table>\n");
  ASSERT_EQ(cli({"build", "--page", (dir / "quiet.html").string()}).code, 0);
  EXPECT_EQ(snapshot().at("(history)").find("2008,"), std::string::npos);
}

// A run refused because another program holds the history has not touched the saved page.
TEST_F(BuildCommands, ARunRefusedAtTheHistoryKeepsTheSavedPage) {
  ASSERT_EQ(cli({"build", "--page", page()}).code, 0);
  const auto before = snapshot();
  test::write_file(dir / "other.html", "<html>another week</html>\n");
  Table<CalendarTable> holder(dir.path());
  ASSERT_TRUE(holder.open(OpenMode::exclusive()).is_ok());
  const Outcome r = cli({"--keep-going", "build", "--page", (dir / "other.html").string()});
  EXPECT_NE(r.err.find("Open(CALENDAR.db) - File Is Locked"), std::string::npos) << r.err;
  EXPECT_EQ(test::read_file(dir / "truneout"), before.at("truneout"));
  const Outcome aborted = cli({"build", "--page", (dir / "other.html").string()});
  EXPECT_EQ(aborted.code, 3);
  EXPECT_EQ(test::read_file(dir / "truneout"), before.at("truneout"));
  holder.close();
  auto after = snapshot();
  after.erase("other.html");
  EXPECT_EQ(after.at("(history)"), before.at("(history)"));
}

// A killed run's temporaries beside its outputs go at the next run; a running process's stay.
TEST_F(BuildCommands, TheTemporariesOfAKilledRunAreRemoved) {
  const std::string dead = std::to_string(test::ended_process());
  const std::vector<std::string> left = {"News.CSV.tmp-" + dead + "-0",
                                         "@BACKUP@.CSV.tmp-" + dead + "-2",
                                         "trune.INI.tmp-" + dead + "-1"};
  for (const std::string& n : left) test::write_file(dir / n, std::string(4096, 'x'));
  test::write_file(dir / "News.CSV.tmp-1-0", "a running process's");
  ASSERT_EQ(cli({"build", "--page", page()}).code, 0);
  for (const std::string& n : left) EXPECT_FALSE(std::filesystem::exists(dir / n)) << n;
  EXPECT_EQ(test::read_file(dir / "News.CSV.tmp-1-0"), "a running process's");
}

// News.CSV as a link into the terminal's folder stays a link; an output that is no plain file
// is refused and nothing is changed.
TEST_F(BuildCommands, OutputsThroughLinksAndOutputsThatAreNoFiles) {
  namespace fs = std::filesystem;
  fs::create_directories(dir / "terminal" / "experts" / "files");
  const fs::path real = dir / "terminal" / "experts" / "files" / "news.csv";
  test::write_file(real, "last week's\r\n");
  fs::create_symlink(real, dir / "News.CSV");
  ASSERT_EQ(cli({"build", "--page", page()}).code, 0);
  EXPECT_TRUE(fs::is_symlink(dir / "News.CSV"));
  EXPECT_EQ(test::read_file(real),
            test::read_file(test::data_dir() / "output" / "run_sample_news.csv"));

  const auto before = snapshot();
  fs::remove(dir / "News.CSV");
  ASSERT_EQ(::mkfifo((dir / "News.CSV").c_str(), 0644), 0);
  const Outcome r = cli({"build", "--page", page()});
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.err.find("Stop: Create(News.CSV) - not a plain file"), std::string::npos) << r.err;
  EXPECT_EQ(fs::status(dir / "News.CSV").type(), fs::file_type::fifo);
  fs::remove(dir / "News.CSV");
  auto after = snapshot();
  EXPECT_EQ(after.erase("News.CSV"), 0u);
  EXPECT_EQ(test::read_file(real),
            test::read_file(test::data_dir() / "output" / "run_sample_news.csv"));
  auto expected = before;
  expected.erase("News.CSV");
  EXPECT_EQ(after, expected);
}

// A trigger file whose date is outside what the window takes stops the run and stays.
TEST_F(BuildCommands, AnAutoplayDateOutOfRangeIsRefused) {
  for (const char* content : {"1\r\n", "99999999\r\n", "\r\n"}) {
    test::write_file(dir / "Autoplay.CSV", content);
    const auto before = snapshot();
    const Outcome r = cli({"build"});
    EXPECT_EQ(r.code, 3) << content;
    EXPECT_NE(r.err.find("Stop: Read(Autoplay.CSV) - the first line holds no date serial from "
                         "01/01/1900 (36163) to 12/31/2099 (109211)"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(snapshot(), before) << content;
  }
}

TEST_F(BuildCommands, AReversedOutputRangeDoesNotRunAsTheWindowWouldNot) {
  const std::string before = test::read_file(dir / "trune.INI");
  const Outcome r = cli({"build", "--page", page(), "--set", "THRUDATE=01/01/2005"});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("THRUDATE (01/01/2005) is before FROMDATE"), std::string::npos) << r.err;
  EXPECT_FALSE(file_exists(dir / "News.CSV"));
  EXPECT_EQ(test::read_file(dir / "trune.INI"), before);
  // The automatic run takes its range from the trigger file: the saved end date does not stop it.
  cli({"settings", "set", "THRUDATE=01/01/2005"});
  test::write_file(dir / "Autoplay.CSV", "75670\r\n");
  const Outcome automatic = cli({"--keep-going", "build", "--page", page()});
  EXPECT_EQ(automatic.code, 0) << automatic.err;
  EXPECT_FALSE(file_exists(dir / "Autoplay.CSV"));
  EXPECT_TRUE(file_exists(dir / "News.CSV"));
}

TEST_F(BuildCommands, AbortAtAStopKeepsThePreviousNewsCsv) {
  test::write_file(dir / "News.CSV", "old\r\n");
  const std::vector<std::string> args = {"build", "--page", page(), "--set",
                                         "OUTXLSNAME=no-folder/x.csv"};
  const Outcome aborted = cli(args);
  EXPECT_EQ(aborted.code, 3);
  EXPECT_NE(aborted.err.find("Create(no-folder/x.csv) - File Not Found"), std::string::npos)
      << aborted.err;
  EXPECT_EQ(test::read_file(dir / "News.CSV"), "old\r\n");

  std::vector<std::string> keep = args;
  keep.insert(keep.begin(), "--keep-going");
  const Outcome ignored = cli(keep);
  EXPECT_EQ(ignored.code, 0) << ignored.err;
  EXPECT_EQ(test::read_file(dir / "News.CSV"),
            test::read_file(test::data_dir() / "output" / "run_sample_news.csv"));
}

TEST_F(BuildCommands, PreviewPrintsTheSelectedEvents) {
  ASSERT_EQ(cli({"build", "--page", page()}).code, 0);
  const Outcome r = cli({"preview", "--set", "FROMDATE=2008-03-07", "--set", "SYMCAD=0"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "date,time,currency,descr,impact,actual,forecast,previous,revisedfrom,kxidcode\n"
            "03/07/2008,15:30,USD,Non-Farm Employment Change,H,-63K,25K,-22K,17K,41010\n"
            "03/07/2008,15:30,USD,Unemployment Rate,H,4.8%,5.0%,4.9%,,41011\n");
  EXPECT_EQ(setting("FROMDATE"), "01/01/2008") << "a preview saves nothing";
}

TEST_F(BuildCommands, ProfilesAndGroups) {
  ASSERT_EQ(cli({"build", "--page", page()}).code, 0);
  ASSERT_EQ(cli({"settings", "set", "OUTXLSNAME=eu1.csv", "XOUT=3"}).code, 0);
  ASSERT_EQ(cli({"profile", "save", "EU1"}).code, 0);
  ASSERT_EQ(cli({"settings", "set", "OUTXLSNAME=usd.csv", "SYMEUR=0"}).code, 0);
  ASSERT_EQ(cli({"profile", "save", "USD"}).code, 0);
  EXPECT_EQ(cli({"profile", "list"}).out, "EU1\nUSD\n");

  test::write_file(dir / "News.CSV", "kept\r\n");
  ASSERT_EQ(cli({"group", "eu*"}).code, 0);
  EXPECT_TRUE(file_exists(dir / "eu1.csv"));
  EXPECT_FALSE(file_exists(dir / "usd.csv"));
  EXPECT_EQ(test::read_file(dir / "News.CSV"), "kept\r\n");
  EXPECT_EQ(setting("OUTXLSNAME"), "usd.csv") << "a group run saves no settings";

  ASSERT_EQ(cli({"profile", "load", "EU1"}).code, 0);
  EXPECT_EQ(setting("OUTXLSNAME"), "eu1.csv") << "load then saves the settings file";
  ASSERT_EQ(cli({"profile", "delete", "eu1"}).code, 0);
  EXPECT_EQ(cli({"profile", "list"}).out, "USD\n");

  // A profile file that cannot be removed (held open on Windows): the command fails, with
  // Abort at the stop message and after --keep-going alike.
  test::FaultyFileSystem held;
  held.fail_removal_of("#USD#.INI");
  Outcome r = cli({"profile", "delete", "USD"}, held);
  EXPECT_EQ(r.code, 3) << r.err;
  EXPECT_NE(r.err.find("Remove(#USD#.INI) - Access Denied"), std::string::npos) << r.err;
  r = cli({"--keep-going", "profile", "delete", "USD"}, held);
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_NE(r.err.find("profile USD was not deleted"), std::string::npos) << r.err;
  EXPECT_EQ(cli({"profile", "list"}).out, "USD\n");
}

TEST_F(BuildCommands, SettingsShowAndSet) {
  Outcome r = cli({"settings", "show"});
  ASSERT_EQ(r.code, 0);
  std::vector<std::string> names;
  for (std::size_t p = 0; p < r.out.size(); p = r.out.find('\n', p) + 1)
    names.push_back(r.out.substr(p, r.out.find('=', p) - p));
  std::vector<std::string> want = setting_names();
  want.push_back("CALENDARURL");
  want.push_back("PROGRAMFILES");
  for (const char* n :
       {"CALENDARSOURCE", "FEEDURL", "CALENDARZONE", "MT4ZONE", "LOCALZONE", "USERAGENT",
        "ALERTMINUTES", "ALERTIMPACT", "ALERTCURRENCIES", "GUARDFILE", "GUARDBEFORE", "GUARDAFTER",
        "KEEPCURRENT", "TRAYONCLOSE"})
    want.push_back(n);
  EXPECT_EQ(names, want);
  EXPECT_EQ(setting("CALENDARSOURCE"), "page");
  EXPECT_EQ(setting("DATE1"), "03/02/2008");

  r = cli({"settings", "set", "descr1=CPI|~CORE", "Thrudate=2010-06-30",
           "CALENDARURL=https://calendar.example", "PROGRAMFILES=/opt/wine/Program Files"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(setting("DESCR1"), "CPI|~CORE");
  EXPECT_EQ(setting("THRUDATE"), "06/30/2010");
  EXPECT_EQ(setting("CALENDARURL"), "https://calendar.example");
  EXPECT_EQ(setting("PROGRAMFILES"), "/opt/wine/Program Files");
  SettingsRecord rec = built_in_defaults(0, dir.path());
  ASSERT_TRUE(read_settings_file(dir / "trune.INI", rec).is_ok());
  EXPECT_EQ(rec.b.offset1, 7) << "the other settings stay";
}

}  // namespace
}  // namespace mervane
