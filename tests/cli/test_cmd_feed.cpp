// The feed and the time zones from the command line: settings, the zones command, a saved feed
// read by build --page and by import, with the zones in use.
#include <gtest/gtest.h>

#include <sstream>

#include "core/output/settings_file.h"
#include "core/runtime/text_file.h"
#include "core/util/dates.h"
#include "tests/cli/cli_outcome.h"
#include "tests/import/feed_support.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

using test::FeedItem;

using test::Outcome;

class FeedCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsRecord s = built_in_defaults(*date_serial(2024, 3, 14), dir.path());
    s.b.date1 = *date_serial(2024, 3, 10);
    s.b.fromdate = *date_serial(2024, 3, 1);
    s.b.thrudate = *date_serial(2024, 3, 31);
    s.b.checkhist = 1;
    s.b.offset1 = 2;
    s.b.outname = "News.CSV";
    ASSERT_TRUE(write_settings_file(dir / "trune.INI", s).is_ok());
    FeedItem nfp, cpi, tentative;
    nfp.title = "Non-Farm Employment Change";
    nfp.date = "03-08-2024";
    nfp.time = "1:30pm";
    cpi.title = "CPI m/m";
    cpi.date = "03-12-2024";
    cpi.time = "12:30pm";
    tentative.title = "Treasury Currency Report";
    tentative.date = "03-13-2024";
    tentative.time = "Tentative";
    test::write_file(dir / "feed.xml", test::feed({nfp, cpi, tentative}));
  }
  Outcome cli(std::vector<std::string> args) {
    return test::run_cli(dir.path(), "03/14/2024", std::move(args));
  }
  // "date time descr" of the stored events.
  std::vector<std::string> stored() {
    const Outcome r = cli({"list", "calendar"});
    EXPECT_EQ(r.code, 0) << r.err;
    std::vector<std::string> rows;
    for (const auto& f : test::calendar_fields(r.out))
      rows.push_back(f[0] + " " + f[1] + " " + f[3]);
    return rows;
  }

  test::TempDir dir;
};

TEST_F(FeedCommands, ZoneSettingsAndTheirNames) {
  Outcome r = cli({"settings", "set", "CALENDARZONE=utc", "mt4zone=america/new_york+7",
                   "CALENDARSOURCE=Feed", "FEEDURL=HTTPS://calendar.example/weekly.xml?x=1"});
  ASSERT_EQ(r.code, 0) << r.err;
  r = cli({"settings", "show"});
  for (const char* line :
       {"\nCALENDARSOURCE=feed\n", "\nFEEDURL=https://calendar.example/weekly.xml?x=1\n",
        "\nCALENDARZONE=UTC\n", "\nMT4ZONE=America/New_York+7\n", "\nLOCALZONE=\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line;

  const std::string cfg = test::read_file(dir / "mervane.cfg");
  const std::string ini = test::read_file(dir / "trune.INI");
  struct Refusal {
    std::vector<std::string> args;
    const char* says;
  } refusals[] = {
      {{"MT4ZONE=Mars/Olympus"}, "(mervane-cli zones lists the known names)"},
      {{"OFFSET1=3", "CALENDARZONE=Europe/Lndon"}, "Europe/Lndon"},
      {{"LOCALZONE=America/New_York+30"}, "shifts by more than 23 hours"},
      {{"MT4ZONE=system"}, "system"},
      {{"CALENDARSOURCE=rss"}, "page, feed or week"},
      {{"FEEDURL=ftp://calendar.example/weekly.xml"}, "is not http or https"},
      {{"FEEDURL=https://calendar.example/week ly.xml"}, "blank"},
  };
  for (const Refusal& f : refusals) {
    std::vector<std::string> args = {"settings", "set"};
    args.insert(args.end(), f.args.begin(), f.args.end());
    r = cli(args);
    EXPECT_EQ(r.code, 2) << f.args.back();
    EXPECT_NE(r.err.find(f.says), std::string::npos) << r.err;
    EXPECT_EQ(test::read_file(dir / "mervane.cfg"), cfg) << f.args.back();
    EXPECT_EQ(test::read_file(dir / "trune.INI"), ini) << f.args.back();
  }

  r = cli({"settings", "set", "LOCALZONE=System", "CALENDARZONE="});
  ASSERT_EQ(r.code, 0) << r.err;
  r = cli({"settings", "show"});
  EXPECT_NE(r.out.find("\nLOCALZONE=system\n"), std::string::npos);
  EXPECT_NE(r.out.find("\nCALENDARZONE=\n"), std::string::npos);

  r = cli({"zones", "york"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "America/New_York\n");
  r = cli({"zones"});
  EXPECT_NE(r.out.find("\nEurope/London\n"), std::string::npos);
  EXPECT_NE(r.out.find("\nUTC\n"), std::string::npos);
}

// A saved feed read by build --page, with the hour offset and then with the zones: the run's
// history, News.CSV and backup take the converted times.
TEST_F(FeedCommands, SavedFeedWithAndWithoutZones) {
  Outcome r = cli({"build", "--page", (dir / "feed.xml").string(), "--set", "INCUT=1"});
  ASSERT_EQ(r.code, 0) << r.err;
  // The feed's week starts on Sunday 3 March (its first event is on Friday 8 March).
  EXPECT_EQ(stored(), (std::vector<std::string>{"03/08/2024 15:30 Non-Farm Employment Change",
                                                "03/12/2024 14:30 CPI m/m",
                                                "03/13/2024 02:01 Treasury Currency Report "
                                                "<<Tentative>>"}));

  r = cli(
      {"settings", "set", "CALENDARZONE=UTC", "MT4ZONE=America/New_York+7", "CALENDARSOURCE=feed"});
  ASSERT_EQ(r.code, 0) << r.err;
  r = cli({"build", "--page", (dir / "feed.xml").string()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("LOADWEEKS does not apply"), std::string::npos) << r.err;
  EXPECT_EQ(stored(), (std::vector<std::string>{"03/08/2024 15:30 Non-Farm Employment Change",
                                                "03/12/2024 15:30 CPI m/m",
                                                "03/13/2024 03:01 Treasury Currency Report "
                                                "<<Tentative>>"}));
  const std::string news = test::read_file(dir / "News.CSV");
  EXPECT_NE(news.find("2024.03.12 15:30"), std::string::npos) << news;
  EXPECT_NE(test::read_file(dir / "@BACKUP@.CSV").find("\"15:30\""), std::string::npos);
}

TEST_F(FeedCommands, ImportReadsASavedFeed) {
  Outcome r = cli({"settings", "set", "CALENDARZONE=UTC", "MT4ZONE=America/New_York+7"});
  ASSERT_EQ(r.code, 0) << r.err;
  test::write_file(dir / "broken.xml", "<weeklyevents>\n<event>\n</weeklyevents>\n");
  r = cli({"--quiet", "--keep-going", "import", (dir / "feed.xml").string(),
           (dir / "broken.xml").string()});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("Read(" + (dir / "broken.xml").string() +
                       ") - line 3: the feed is not well-formed XML"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(stored(), (std::vector<std::string>{"03/08/2024 15:30 Non-Farm Employment Change",
                                                "03/12/2024 15:30 CPI m/m"}));

  // Zones that became unknown since they were set stop the run; Ignore takes OFFSET1.
  test::write_file(dir / "mervane.cfg", "CALENDARZONE=UTC\r\nMT4ZONE=Gone/Away\r\n");
  r = cli({"--quiet", "import", (dir / "feed.xml").string()});
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.err.find("Open(mervane.cfg) - Invalid Value: Gone/Away is not a time zone"),
            std::string::npos)
      << r.err;
}

// Local times by LOCALZONE: each event's label and its export time follow the local zone's own
// change (London, 31 March 2024), whatever OFFSET2 says.
TEST_F(FeedCommands, LocalTimesByZone) {
  FeedItem before, after;
  before.title = "Final GDP q/q";
  before.date = "03-28-2024";
  before.time = "12:30pm";
  after.title = "JOLTS Job Openings";
  after.date = "04-02-2024";
  after.time = "12:30pm";
  test::write_file(dir / "spring.xml", test::feed({before, after}));
  Outcome r = cli({"settings", "set", "CALENDARZONE=UTC", "MT4ZONE=America/New_York+7",
                   "LOCALZONE=Europe/London"});
  ASSERT_EQ(r.code, 0) << r.err;
  r = cli({"build", "--page", (dir / "spring.xml").string(), "--set", "OFF2FMT=1", "--set",
           "XOUT=3", "--set", "OFF2EXP=1", "--set", "OUTDATE=1", "--set", "OUTTIME=1", "--set",
           "OUTDESCR=1", "--set", "FROMDATE=03/25/2024", "--set", "THRUDATE=04/06/2024"});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string news = test::read_file(dir / "News.CSV");
  EXPECT_NE(news.find("2024.03.28 15:30;"), std::string::npos) << news;
  EXPECT_NE(news.find("[Thu 12:30]"), std::string::npos) << news;
  EXPECT_NE(news.find("2024.04.02 15:30;"), std::string::npos) << news;
  EXPECT_NE(news.find("[Tue 13:30]"), std::string::npos) << news;
  const std::string exported = test::read_file(dir / "XLOutput.CSV");
  EXPECT_NE(exported.find("2024/03/28\t12:30\tUSD\tFinal GDP q/q"), std::string::npos) << exported;
  EXPECT_NE(exported.find("2024/04/02\t13:30\tUSD\tJOLTS Job Openings"), std::string::npos)
      << exported;

  // Without LOCALZONE, OFFSET2 as ever: no label while it is 0.
  r = cli({"settings", "set", "LOCALZONE="});
  ASSERT_EQ(r.code, 0) << r.err;
  r = cli({"build", "--page", (dir / "spring.xml").string()});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(test::read_file(dir / "News.CSV").find('['), std::string::npos);
}

}  // namespace
}  // namespace mervane
