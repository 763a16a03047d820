// Today's calendar pages from the command line: a saved week with actuals and a revision read by
// build --page and by import, News.CSV's "A:" values and the export's revised-from column
// checked against the page, the listed days replaced and nothing else, broken pages refused.
#include <gtest/gtest.h>

#include "core/output/settings_file.h"
#include "core/util/dates.h"
#include "tests/cli/cli_outcome.h"
#include "tests/import/days_support.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

using test::DayEvent;
using test::instant;

constexpr const char* kBerlin = "Europe/Berlin";

using test::Outcome;

DayEvent event(std::int64_t id, const char* name, int day, int hh, int mm) {
  DayEvent e;
  e.id = id;
  e.name = name;
  e.label = "x";
  e.dateline = instant(kBerlin, 2026, 1, day, hh, mm);
  return e;
}

class DaysCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    SettingsRecord s = built_in_defaults(*date_serial(2026, 1, 29), dir.path());
    s.b.date1 = *date_serial(2026, 1, 25);
    s.b.fromdate = *date_serial(2026, 1, 1);
    s.b.thrudate = *date_serial(2026, 2, 28);
    s.b.checkhist = 1;
    s.b.offset1 = 2;
    s.b.incut = 1;
    s.b.incuv = 1;
    s.nonecon = 1;
    s.b.outname = "News.CSV";
    ASSERT_TRUE(write_settings_file(dir / "trune.INI", s).is_ok());

    DayEvent cpi = event(140001, "CPI m/m", 27, 14, 30);
    cpi.actual = "0.5%";
    cpi.forecast = "0.4%";
    cpi.previous = "0.3%";
    cpi.revision = "0.2%";
    DayEvent nfp = event(140002, "Non-Farm Employment Change", 30, 14, 30);
    nfp.forecast = "70K";
    nfp.previous = "50K";
    DayEvent holiday = event(140003, "Bank Holiday", 26, 0, 0);
    holiday.currency = "AUD";
    holiday.impact = "holiday";
    holiday.label = "All Day";
    holiday.masked = true;
    DayEvent speech = event(140004, "Fed Chair Speaks", 28, 0, 0);
    speech.impact = "medium";
    speech.label = "Tentative";
    speech.masked = true;
    speech.forecast = "-";
    week = {cpi, nfp, holiday, speech};
  }
  std::string page(const std::vector<DayEvent>& events, int copies = 1) {
    // Each event on the day of its dateline (the masked ones' is their day's midnight).
    std::vector<std::vector<DayEvent>> per_day(7);
    for (const DayEvent& e : events)
      per_day[static_cast<std::size_t>((e.dateline - instant(kBerlin, 2026, 1, 25)) / 86400)]
          .push_back(e);
    return test::days_page(test::days_json(test::week_days(kBerlin, 2026, 1, 25, per_day)), kBerlin,
                           copies);
  }
  Outcome cli(std::vector<std::string> args) {
    return test::run_cli(dir.path(), "01/29/2026", std::move(args));
  }
  // "date time currency descr A=actual P=previous R=revisedfrom kxid" of the stored events.
  std::vector<std::string> stored() {
    const Outcome r = cli({"list", "calendar"});
    EXPECT_EQ(r.code, 0) << r.err;
    std::vector<std::string> rows;
    for (const auto& f : test::calendar_fields(r.out))
      rows.push_back(f[0] + " " + f[1] + " " + f[2] + " " + f[3] + " A=" + f[7] + " P=" + f[9] +
                     " R=" + f[11] + " " + f[12]);
    return rows;
  }

  test::TempDir dir;
  std::vector<DayEvent> week;
};

TEST_F(DaysCommands, SavedWeekWithActualsIntoNewsCsv) {
  test::write_file(dir / "week.htm", page(week));
  const Outcome r = cli(
      {"build", "--page", (dir / "week.htm").string(), "--set", "XOUT=3", "--set", "CLDRFMT=2"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(stored(), (std::vector<std::string>{
                          "01/26/2026 02:01 AUD Bank Holiday <<AllDay>> A= P= R= 140003",
                          "01/27/2026 16:30 USD CPI m/m A=0.5% P=0.2% R=0.3% 140001",
                          "01/28/2026 02:01 USD Fed Chair Speaks <<Tentative>> A= P= R= 140004",
                          "01/30/2026 16:30 USD Non-Farm Employment Change A= P=50K R= 140002",
                      }));
  const std::string news = test::read_file(dir / "News.CSV");
  EXPECT_NE(news.find("\"CPI m/m\" 140001;A: 0.5% | F: 0.4% | P: 0.2% | R: 0.3%\r\n"),
            std::string::npos)
      << news;
  EXPECT_NE(news.find("\"Non-Farm Employment Change\" 140002;A:  | F: 70K | P: 50K\r\n"),
            std::string::npos)
      << news;
  const std::string exported = test::read_file(dir / "XLOutput.CSV");
  EXPECT_NE(exported.find("CPI m/m\tHigh\t0.5%\t0.4%\t0.2%\t0.3%\t140001\r\n"), std::string::npos)
      << exported;
  EXPECT_NE(test::read_file(dir / "mervane.cfg").find("PAGEZONE=Europe/Berlin"), std::string::npos);
}

// The days the page lists are replaced and no other; a broken page changes nothing.
TEST_F(DaysCommands, ImportReplacesTheListedDaysOnly) {
  // An event a day before the week and one on its Friday, stored by an earlier page.
  DayEvent before = event(130001, "Retail Sales m/m", 24, 14, 30);
  before.actual = "1.0%";
  test::write_file(dir / "earlier.htm",
                   test::days_page(test::days_json(
                       test::week_days(kBerlin, 2026, 1, 18, {{}, {}, {}, {}, {}, {}, {before}}))));
  test::write_file(dir / "week.htm", page(week));
  Outcome r =
      cli({"--quiet", "import", (dir / "earlier.htm").string(), (dir / "week.htm").string()});
  ASSERT_EQ(r.code, 0) << r.err;
  ASSERT_EQ(stored().size(), 5u);

  // Later the same week, saved by a browser: the NFP released, the speech gone from the page.
  week[1].actual = "143K";
  week.pop_back();
  test::write_file(dir / "saved.htm", page(week, 2));
  r = cli({"--quiet", "import", (dir / "saved.htm").string()});
  ASSERT_EQ(r.code, 0) << r.err;
  const std::vector<std::string> after = {
      "01/24/2026 16:30 USD Retail Sales m/m A=1.0% P= R= 130001",
      "01/26/2026 02:01 AUD Bank Holiday <<AllDay>> A= P= R= 140003",
      "01/27/2026 16:30 USD CPI m/m A=0.5% P=0.2% R=0.3% 140001",
      "01/30/2026 16:30 USD Non-Farm Employment Change A=143K P=50K R= 140002",
  };
  EXPECT_EQ(stored(), after);

  const std::string whole = page(week);
  const std::string cut = whole.substr(0, whole.find("140002"));
  test::write_file(dir / "cut.htm", cut);
  test::write_file(dir / "empty-days.htm", test::days_page("[]"));
  r = cli({"--quiet", "import", (dir / "cut.htm").string()});
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.err.find("Stop: Read(" + (dir / "cut.htm").string() + ") - byte " +
                       std::to_string(cut.size()) + ": the days list: the text ends before"),
            std::string::npos)
      << r.err;
  r = cli({"--quiet", "--keep-going", "import", (dir / "empty-days.htm").string()});
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.err.find("the page lists no days (Ignore)"), std::string::npos) << r.err;
  EXPECT_EQ(stored(), after);
}

}  // namespace
}  // namespace mervane
