// mervane-cli history load against a local HTTP server: the month pages asked for and kept, a
// load stopped by the service and resumed where it stopped, kept pages read instead of asked
// for again, the browser check, the pause between requests, refused arguments.
#include <gtest/gtest.h>

#include <chrono>

#include "core/import/calendar_source.h"
#include "core/import/history_load.h"
#include "core/model/local_settings.h"
#include "core/util/dates.h"
#include "tests/cli/cli_outcome.h"
#include "tests/import/days_support.h"
#include "tests/support/http_server.h"
#include "tests/import/page_support.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

using test::DayEvent;
using test::HttpRequest;
using test::HttpResponse;

constexpr const char* kZone = "Europe/London";
constexpr const char* kMonths[] = {"jan", "feb", "mar", "apr"};

// The page of month m of 2015: an event on its 2nd and one on its 20th.
std::string month_page(int m) {
  std::vector<test::PageDay> days;
  for (int d = 1; d <= days_in_month(2015, m); ++d)
    days.push_back({test::instant(kZone, 2015, m, d), {}});
  for (int d : {2, 20}) {
    DayEvent e;
    e.id = 150000 + m * 100 + d;
    e.name = std::string(kMonths[m - 1]) + " " + std::to_string(d);
    e.actual = "1.0%";
    e.dateline = test::instant(kZone, 2015, m, d, 13, 30);
    days[static_cast<std::size_t>(d - 1)].events.push_back(e);
  }
  return test::days_page(test::days_json(days), kZone);
}

using test::Outcome;

class HistoryLoadCommand : public ::testing::Test {
 protected:
  Outcome cli(std::vector<std::string> args) {
    return test::run_cli(dir.path(), "06/01/2015", std::move(args));
  }
  std::vector<std::string> targets() const {
    std::vector<std::string> t;
    for (const HttpRequest& r : server.requests()) t.push_back(r.target);
    return t;
  }

  test::TempDir dir;
  int refuse = 0;  // the month answered with 429
  test::HttpServer server{[this](const HttpRequest& req) {
    for (int m = 1; m <= 4; ++m)
      if (req.target == "/calendar?month=" + std::string(kMonths[m - 1]) + ".2015")
        return m == refuse ? HttpResponse{429, "slow down"} : HttpResponse{200, month_page(m)};
    return HttpResponse{404, "no such page"};
  }};
};

TEST_F(HistoryLoadCommand, StoppedAndResumed) {
  ASSERT_EQ(cli({"calendar-url", server.base()}).code, 0);
  refuse = 3;
  Outcome r = cli({"--keep-going", "history", "load", "2015-01", "2015-04", "--pause", "0"});
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_NE(r.err.find("Stop: Get(" + server.base() +
                       "/calendar?month=mar.2015) - HTTP status 429 Too Many Requests"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("2 of 4 months stored, 4 events"), std::string::npos) << r.err;
  EXPECT_EQ(targets(),
            (std::vector<std::string>{"/calendar?month=jan.2015", "/calendar?month=feb.2015",
                                      "/calendar?month=mar.2015"}));
  EXPECT_EQ(test::stored_descriptions(dir.path()),
            (std::vector<std::string>{"2015-01-02 jan 2", "2015-01-20 jan 20", "2015-02-02 feb 2",
                                      "2015-02-20 feb 20"}));
  EXPECT_TRUE(std::filesystem::exists(dir / "pages" / "2015-02.html"));
  EXPECT_FALSE(std::filesystem::exists(dir / "pages" / "2015-03.html"));
  // The zone the months' pages named, kept for the Build window's note.
  EXPECT_EQ(load_local_setting(dir.path(), kPageZoneSetting), kZone);

  // February's page as if it had been kept before the month ended: asked for again.
  using namespace std::chrono;
  std::filesystem::last_write_time(
      dir / "pages" / "2015-02.html",
      file_clock::from_sys(sys_seconds{sys_days{year{2015} / 2 / 20}}));
  refuse = 0;
  r = cli({"history", "load", "2015-01", "2015-04", "--pause", "0"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("2015-01: 2 events from the kept page\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("4 of 4 months stored, 8 events"), std::string::npos) << r.err;
  const std::vector<std::string> asked = targets();
  EXPECT_EQ(std::vector<std::string>(asked.begin() + 3, asked.end()),
            (std::vector<std::string>{"/calendar?month=feb.2015", "/calendar?month=mar.2015",
                                      "/calendar?month=apr.2015"}));
  EXPECT_EQ(test::stored_descriptions(dir.path()).size(), 8u);
  EXPECT_NE(test::read_file(dir / "@BACKUP@.CSV").find("apr 20"), std::string::npos);
}

// Kept pages are read ahead of their month's turn; what a bad one holds is told in its turn, in
// month order, and the months around it are stored.
TEST_F(HistoryLoadCommand, KeptPagesToldInMonthOrder) {
  ASSERT_EQ(cli({"calendar-url", server.base()}).code, 0);
  std::filesystem::create_directories(dir / "pages");
  const std::string february = month_page(2);
  const std::string pages[] = {month_page(1), february.substr(0, february.find("feb 20")),
                               "<html><head><title>Just a moment...</title></head></html>",
                               month_page(4)};
  for (int m = 1; m <= 4; ++m)
    test::write_file(dir / "pages" / ("2015-0" + std::to_string(m) + ".html"), pages[m - 1]);
  const Outcome r = cli({"--keep-going", "history", "load", "2015-01", "2015-04"});
  EXPECT_EQ(r.code, 1) << r.err;
  const std::size_t feb = r.err.find("Stop: Read(pages/2015-02.html)");
  const std::size_t mar = r.err.find("Stop: Read(pages/2015-03.html) - the calendar service");
  const std::size_t apr = r.err.find("2015-04: 2 events from the kept page");
  EXPECT_TRUE(feb < mar && mar < apr && apr != std::string::npos) << r.err;
  EXPECT_TRUE(server.requests().empty());
  EXPECT_EQ(test::stored_descriptions(dir.path()),
            (std::vector<std::string>{"2015-01-02 jan 2", "2015-01-20 jan 20", "2015-04-02 apr 2",
                                      "2015-04-20 apr 20"}));
}

TEST_F(HistoryLoadCommand, PauseBrowserCheckAndRefusedArguments) {
  ASSERT_EQ(cli({"calendar-url", server.base()}).code, 0);
  const auto t0 = std::chrono::steady_clock::now();
  Outcome r = cli({"--quiet", "history", "load", "2015-01", "2015-03", "--pause", "0.3"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  // Two waits between three requests.
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(600));

  test::HttpServer check([](const HttpRequest&) {
    return HttpResponse{403, "<html><head><title>Just a moment...</title></head></html>"};
  });
  ASSERT_EQ(cli({"calendar-url", check.base()}).code, 0);
  r = cli({"--quiet", "history", "load", "2015-04", "2015-05"});
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.err.find(") - HTTP status 403: the calendar service answered with its browser "
                       "check (\"Just a moment...\") instead of the calendar. Open the week in a "
                       "web browser"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(check.requests().size(), 1u);
  EXPECT_EQ(test::stored_descriptions(dir.path()).size(), 6u);

  struct Refusal {
    std::vector<std::string> args;
    const char* says;
  } refusals[] = {
      {{"2015-13", "2015-12"}, "FROM: 2015-13 is not a month"},
      {{"2015-01", "15-02"}, "TO: 15-02 is not a month"},
      {{"2015-03", "2015-02"}, "TO (2015-02) is before FROM (2015-03)"},
      {{"2015-01", "2015-02", "--pause", "-1"}, "--pause: 0 to 3600 seconds"},
  };
  for (const Refusal& f : refusals) {
    std::vector<std::string> args = {"history", "load"};
    args.insert(args.end(), f.args.begin(), f.args.end());
    r = cli(args);
    EXPECT_EQ(r.code, 2) << f.says;
    EXPECT_NE(r.err.find(f.says), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace mervane
