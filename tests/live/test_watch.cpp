// The watch over a week played in seconds against a local HTTP server that serves the week as it
// stands at the played moment.
#include <gtest/gtest.h>

#include <regex>

#include "core/live/watch.h"
#include "core/runtime/table.h"
#include "tests/live/live_week.h"
#include "tests/support/local_zone.h"

namespace mervane {
namespace {

using test::Release;
using test::utc;

const std::vector<Release> kWeek = {
    {8, 5, 0, "USD", "High Impact Expected", "Sunday Statement", "1.50%", "1.50%", "1.75%"},
    {9, 13, 30, "USD", "Medium Impact Expected", "Core Retail Sales m/m", "0.2%", "0.1%", "0.4%"},
    {9, 13, 30, "USD", "High Impact Expected", "Retail Sales m/m", "0.3%", "0.2%", "0.6%"},
    {10, 9, 0, "EUR", "High Impact Expected", "German ZEW Economic Sentiment", "-1.0", "-2.3",
     "2.1", utc(9, 12, 0), "-0.5"},
    {11, 1, 30, "AUD", "Low Impact Expected", "Home Loans m/m", "1.0%", "0.5%", "1.2%"},
};

// The played week: from Sunday 00:30, Berlin time (UTC+1 all week), to `end` (UTC).
struct PlayedWeek {
  explicit PlayedWeek(std::int64_t end = utc(11, 11, 0)) : until(clock, end) {
    test::live_folder(dir.path(), server.base());
  }
  test::LocalZone berlin{"Europe/Berlin"};
  test::TempDir dir;
  PlayedClock clock{utc(7, 23, 30)};
  ClockUntil until;
  std::vector<Release> week = kWeek;
  std::function<test::HttpResponse(int)> refusal;  // by request number; status 0: none
  std::vector<std::int64_t> asked;                 // moments of the requests
  test::HttpServer server{[this](const test::HttpRequest&) {
    asked.push_back(clock.moment());
    if (refusal) {
      test::HttpResponse r = refusal(static_cast<int>(asked.size()));
      if (r.status != 0) return r;
    }
    return test::HttpResponse(200, test::week_page(week, clock.moment()));
  }};
  test::RecordingOutput out{clock, dir / "News.CSV"};
  void run(WatchOptions options = {}) {
    CurlDownloader downloader;
    StopSignal stop;
    Watch w(dir.path(), until, downloader, out, options);
    EXPECT_EQ(w.run(stop), WatchEnd::Stopped);
  }
};

std::int64_t lines_changed(const std::string& line) {
  std::smatch m;
  return std::regex_search(line, m, std::regex(R"((\d+) lines? changed)")) ? std::stoll(m[1]) : -1;
}

TEST(Watch, PlaysAWeekAcrossTheDaylightSavingChange) {
  PlayedWeek w;
  ASSERT_TRUE(save_live_setting(w.dir.path(), "ALERTIMPACT", "M").is_ok());
  ASSERT_TRUE(save_live_setting(w.dir.path(), "GUARDFILE", "guard.csv").is_ok());
  const std::string log = (w.dir / "alerts.log").string();
  WatchOptions options;
  options.on_alert =
      "printf '%s;%s;%s;%s;%s;%s;%s;%s\\n' \"$MERVANE_ALERT_KIND\" "
      "\"$MERVANE_ALERT_TIME\" \"$MERVANE_ALERT_CURRENCY\" \"$MERVANE_ALERT_IMPACT\" "
      "\"$MERVANE_ALERT_TITLE\" \"$MERVANE_ALERT_FORECAST\" "
      "\"$MERVANE_ALERT_PREVIOUS\" \"$MERVANE_ALERT_ACTUAL\" >> '" +
      log + "'; exit 4";
  w.run(options);

  // Each alert at its minute in Berlin, five minutes before the release and at the first run
  // after the actual came; MT4 at UTC+2 before New York's change and UTC+3 after it.
  EXPECT_EQ(
      w.out.alerts,
      (std::vector<std::string>{
          "2026-03-08 05:55 before: 2026.03.08 07:00 USD H Sunday Statement (F: 1.50% | P: 1.50%)",
          "2026-03-08 06:02 released: 2026.03.08 07:00 USD H Sunday Statement (A: 1.75% "
          "against F: 1.50% | P: 1.50%)",
          "2026-03-09 14:25 before: 2026.03.09 16:30 USD M Core Retail Sales m/m (F: 0.2% "
          "| P: 0.1%)",
          "2026-03-09 14:25 before: 2026.03.09 16:30 USD H Retail Sales m/m (F: 0.3% | P: "
          "0.2%)",
          "2026-03-09 14:32 released: 2026.03.09 16:30 USD M Core Retail Sales m/m (A: 0.4% "
          "against F: 0.2% | P: 0.1%)",
          "2026-03-09 14:32 released: 2026.03.09 16:30 USD H Retail Sales m/m (A: 0.6% "
          "against F: 0.3% | P: 0.2%)",
          "2026-03-10 09:55 before: 2026.03.10 12:00 EUR H German ZEW Economic Sentiment (F: "
          "-0.5 | P: -2.3)",
          "2026-03-10 10:02 released: 2026.03.10 12:00 EUR H German ZEW Economic Sentiment "
          "(A: 2.1 against F: -0.5 | P: -2.3)",
      }));
  // The command got every alert in its environment; its failures were reported, watching went on.
  const std::string commands = test::read_file(w.dir / "alerts.log");
  EXPECT_NE(commands.find("before;2026.03.09 16:30;USD;M;Core Retail Sales m/m;0.2%;0.1%;\n"),
            std::string::npos)
      << commands;
  EXPECT_NE(commands.find(
                "released;2026.03.10 12:00;EUR;H;German ZEW Economic Sentiment;-0.5;-2.3;2.1\n"),
            std::string::npos)
      << commands;
  EXPECT_EQ(std::count(commands.begin(), commands.end(), '\n'), 8);
  int failed = 0;
  for (const std::string& l : w.out.warnings) failed += l.find("--on-alert") != std::string::npos;
  EXPECT_EQ(failed, 8);
  EXPECT_NE(w.out.warnings[0].find(": exit code 4"), std::string::npos) << w.out.warnings[0];

  // News.CSV was replaced exactly when its contents changed: the first run, then the Sunday
  // actual, the changed forecast, Monday's two actuals, Tuesday's and Wednesday's.
  std::vector<std::int64_t> changes;
  ASSERT_EQ(w.out.cycles.size(), w.out.lines.size());
  for (std::size_t i = 0; i < w.out.cycles.size(); ++i) {
    const bool changed = i == 0 || w.out.cycles[i].news != w.out.cycles[i - 1].news;
    if (i > 0) {
      EXPECT_EQ(w.out.cycles[i].inode != w.out.cycles[i - 1].inode, changed) << i;
    }
    EXPECT_EQ(lines_changed(w.out.lines[i]) != 0, changed) << w.out.lines[i];
    if (changed) changes.push_back(lines_changed(w.out.lines[i]));
  }
  EXPECT_EQ(changes, (std::vector<std::int64_t>{5, 1, 1, 2, 1, 1}));
  EXPECT_NE(w.out.cycles.back().news.find("\"Home Loans m/m\" 1005;[Wed 2:30am] A: 1.2%"),
            std::string::npos)
      << w.out.cycles.back().news;

  // Never two requests within 5 minutes.
  for (std::size_t i = 1; i < w.asked.size(); ++i) EXPECT_GE(w.asked[i] - w.asked[i - 1], 300) << i;
  EXPECT_EQ(w.out.lines[0],
            "2026-03-08 00:30 page: 5 events read, 5 lines changed, next run 2026-03-08 01:30");

  // The quiet windows of the EUR and USD events of medium impact and up, in MT4 time.
  EXPECT_EQ(test::read_file(w.dir / "guard.csv"),
            "2026.03.08 06:30;2026.03.08 07:30;USD;H;Sunday Statement\r\n"
            "2026.03.09 16:00;2026.03.09 17:00;USD;H;Core Retail Sales m/m + Retail Sales m/m\r\n"
            "2026.03.10 11:30;2026.03.10 12:30;EUR;H;German ZEW Economic Sentiment\r\n");
}

TEST(Watch, BacksOffOnTooManyRequestsAndTheBrowserCheck) {
  PlayedWeek w(utc(8, 4, 0));
  w.refusal = [](int n) {
    if (n == 2 || n == 3) return test::HttpResponse(429, "Too Many Requests");
    if (n == 4)
      return test::HttpResponse(403, "<html><head><title>Just a moment...</title></head></html>");
    return test::HttpResponse(0, "");
  };
  WatchOptions options;
  options.every_minutes = 5;
  w.run(options);
  ASSERT_GE(w.asked.size(), 6u);
  std::vector<std::int64_t> gaps;
  for (std::size_t i = 1; i < 6; ++i) gaps.push_back((w.asked[i] - w.asked[i - 1]) / 60);
  EXPECT_EQ(gaps, (std::vector<std::int64_t>{5, 30, 60, 120, 5}));
  std::vector<std::string> backoffs;
  for (const std::string& l : w.out.warnings)
    if (l.find("waiting") != std::string::npos) backoffs.push_back(l.substr(17));
  EXPECT_EQ(backoffs,
            (std::vector<std::string>{
                "page: HTTP 429, too many requests: waiting 30 minutes before asking it again",
                "page: HTTP 429, too many requests: waiting 60 minutes before asking it again",
                "page: the calendar service answered with its browser check: waiting 120 minutes "
                "before asking it again"}));
  // The refused weeks stayed as they were.
  for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(w.out.cycles[i].news, w.out.cycles[0].news);
}

TEST(Watch, ALockedHistorySkipsTheCycleAndAFailingCommandDoesNotStopWatching) {
  PlayedWeek w(utc(8, 6, 0));
  Table<CalendarTable> holder(w.dir.path());
  w.out.after_cycle = [&](int n) {
    if (n == 1) {
      ASSERT_TRUE(holder.open(OpenMode::exclusive()).is_ok());
    }
    if (n == 2) holder.close();
  };
  WatchOptions options;
  options.on_alert = "sleep 30";
  options.command_limit = std::chrono::milliseconds(300);
  w.run(options);
  ASSERT_GE(w.out.lines.size(), 5u);
  EXPECT_EQ(w.out.lines[2],
            "2026-03-08 02:30 page: the Event History is locked by another run, cycle skipped, "
            "next run 2026-03-08 02:32");
  EXPECT_EQ(w.out.lines[3].substr(0, 22), "2026-03-08 02:32 page:");
  EXPECT_EQ(
      w.out.alerts,
      (std::vector<std::string>{
          "2026-03-08 05:55 before: 2026.03.08 07:00 USD H Sunday Statement (F: 1.50% | P: 1.50%)",
          "2026-03-08 06:02 released: 2026.03.08 07:00 USD H Sunday Statement (A: 1.75% "
          "against F: 1.50% | P: 1.50%)"}));
  bool killed = false;
  for (const std::string& l : w.out.warnings)
    killed = killed || l.find("killed after 300 milliseconds without ending") != std::string::npos;
  EXPECT_TRUE(killed);
  EXPECT_EQ(w.out.lines.back().substr(0, 16), "2026-03-08 06:02");  // watching went on
}

}  // namespace
}  // namespace mervane
