// The "Load calendar history" window against a local HTTP server, played as a user plays it:
// months typed, Load, the months arriving at the window's timer events, Cancel between two
// months, the service's refusal, and saved pages imported in the order of their days. What it
// stores is compared with what `mervane-cli history load` stores from the same pages.
#include <gtest/gtest.h>

#include "core/output/history_load_window.h"
#include "core/util/dates.h"
#include "tests/cli/cli_outcome.h"
#include "tests/import/days_support.h"
#include "tests/support/http_server.h"
#include "tests/import/page_support.h"
#include "tests/support/window_bed.h"

namespace mervane {
namespace {

using C = LoadHistoryControl;
constexpr const char* kZone = "Europe/London";

std::string page(int m, const std::string& actual, bool week = false) {
  return test::month_page_2015(m, actual, kZone, week);
}

class LoadHistoryWindowTest : public ::testing::Test, protected test::WindowBed {
 protected:
  LoadHistoryWindowTest() {
    EXPECT_EQ(test::run_cli(dir.path(), "03/11/2009", {"calendar-url", server.base()}).code, 0);
  }
  // Types the months and a pause of 0, presses Load and serves `timers` timer events (all
  // while it loads when negative).
  void load(const char* from, const char* to, int timers = -1) { load(w, from, to, timers); }
  void load(LoadHistoryWindow& w, const char* from, const char* to, int timers) {
    w.open();
    w.type(number(C::FROM), from);
    w.type(number(C::TO), to);
    w.type(number(C::PAUSE), "0");
    w.accepted(number(C::LOAD));
    OtherEvent timer;
    timer.kind = OtherEvent::Kind::Timer;
    for (int i = 0; w.loading() && (timers < 0 || i < timers); ++i) {
      EXPECT_GT(w.wake_after_ms(), 0);
      w.other_event(timer);
    }
  }

  int refuse = 0;  // the month answered with 429
  test::HttpServer server{[this](const test::HttpRequest& req) {
    static const char* names[] = {"jan", "feb", "mar"};
    for (int m = 1; m <= 3; ++m)
      if (req.target == std::string("/calendar?month=") + names[m - 1] + ".2015")
        return m == refuse ? test::HttpResponse{429, "slow down"}
                           : test::HttpResponse{200, page(m, "1.0%")};
    return test::HttpResponse{404, "no such page"};
  }};
  CurlDownloader downloader;
  std::unique_ptr<LoadHistoryWindow> fresh() {
    return std::make_unique<LoadHistoryWindow>(
        WindowServices{session, reporter, progress, windows, downloader});
  }
  std::unique_ptr<LoadHistoryWindow> window = fresh();
  LoadHistoryWindow& w = *window;
};

TEST_F(LoadHistoryWindowTest, LoadsAsTheCommandLineDoes) {
  load("2015-01", "2015-03");
  EXPECT_FALSE(w.closed());
  EXPECT_EQ(w.value(number(C::NOTE)), "Done: 3 months, 6 events stored");
  EXPECT_EQ(w.value(number(C::MONTHS)), "3");
  EXPECT_TRUE(reporter.stops.empty());
  test::TempDir cli_dir;
  ASSERT_EQ(test::run_cli(cli_dir.path(), "03/11/2009", {"calendar-url", server.base()}).code, 0);
  ASSERT_EQ(test::run_cli(cli_dir.path(), "03/11/2009",
                          {"--quiet", "history", "load", "2015-01", "2015-03", "--pause", "0"})
                .code,
            0);
  EXPECT_EQ(test::stored_descriptions(dir.path()), test::stored_descriptions(cli_dir.path()));
  EXPECT_EQ(test::stored_descriptions(dir.path()).size(), 6u);
  EXPECT_EQ(w.close_request(), Reply::closed(Response::Completed));
}

TEST_F(LoadHistoryWindowTest, CancelAndRefusalKeepTheMonthsStored) {
  // Cancel after the first month: January stays, nothing more is asked for.
  load("2015-01", "2015-03", 1);
  EXPECT_TRUE(w.loading());
  EXPECT_FALSE(w.enabled(number(C::LOAD)));
  EXPECT_EQ(w.accepted(number(C::CANCEL)), Reply::closed(Response::Completed));
  EXPECT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(test::stored_descriptions(dir.path()).size(), 2u);

  // A refusal ends the load with the message; the window stays for another try.
  refuse = 3;
  const auto again = fresh();
  load(*again, "2015-01", "2015-03", -1);
  EXPECT_FALSE(again->closed());
  EXPECT_TRUE(again->enabled(number(C::LOAD)));
  ASSERT_EQ(reporter.stops.size(), 1u);
  EXPECT_NE(reporter.stops[0].find("429"), std::string::npos) << reporter.stops[0];
  EXPECT_EQ(again->value(number(C::MONTHS)), "2");
  EXPECT_EQ(test::stored_descriptions(dir.path()).size(), 4u);
}

TEST_F(LoadHistoryWindowTest, RefusesWhatIsNotAMonth) {
  w.open();
  for (const char* bad : {"2015-13", "15-01", "2100-01"}) {
    EXPECT_EQ(w.type(number(C::FROM), bad), Reply::stay());
    EXPECT_EQ(w.value(number(C::FROM)), "2008-03") << bad;  // a year before today's month
  }
  EXPECT_EQ(reporter.warnings.size(), 3u);
  w.type(number(C::FROM), "2015-02");
  w.type(number(C::TO), "2015-01");
  w.accepted(number(C::LOAD));
  EXPECT_FALSE(w.loading());
  EXPECT_EQ(reporter.warnings.size(), 4u);
  EXPECT_TRUE(server.requests().empty());
}

TEST_F(LoadHistoryWindowTest, ImportsSavedPagesInTheOrderOfTheirDays) {
  // The week of 25 January saved later than January's month page, with the newer actuals; the
  // dialog hands them over week first.
  const auto week = dir / "week.html", month = dir / "month.html";
  test::write_file(week, page(1, "2.0%", true));
  test::write_file(month, page(1, "1.0%"));
  windows.chosen_files.push_back({week, month});
  w.open();
  w.accepted(number(C::IMPORT));
  EXPECT_EQ(w.value(number(C::NOTE)), "2 saved pages read");
  const test::Outcome listed = test::run_cli(dir.path(), "03/11/2009", {"list", "calendar"});
  const auto rows = test::calendar_fields(listed.out);
  ASSERT_EQ(rows.size(), 2u) << listed.out << listed.err;
  for (const auto& r : rows) EXPECT_EQ(r[7], "2.0%") << r[3];
  EXPECT_EQ(w.close_request(), Reply::closed(Response::Completed));
}

}  // namespace
}  // namespace mervane
