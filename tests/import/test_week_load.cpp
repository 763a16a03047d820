// The run's history update from today's week pages (CALENDARSOURCE=week), served by a local HTTP
// server: the addresses asked for, the User-Agent, and the refusals (the browser check with 403
// and with 503, 429) that stop the downloads and keep the week.
#include <gtest/gtest.h>

#include "core/import/acquisition.h"
#include "core/import/calendar_source.h"
#include "core/util/helpers.h"
#include "tests/import/days_support.h"
#include "tests/support/http_server.h"
#include "tests/import/page_support.h"

namespace mervane {
namespace {

using test::DayEvent;
using test::HttpRequest;
using test::HttpResponse;

std::int32_t ymd(int y, int m, int d) {
  return *date_serial(y, m, d);
}

// A week page of the week from `sunday` (Berlin) with one event on its Tuesday.
std::string week_page(std::int32_t sunday, const char* name) {
  const Ymd s = ymd_of(sunday), tue = ymd_of(sunday + 2);
  DayEvent e;
  e.name = name;
  e.actual = "1.0%";
  e.dateline =
      test::instant("Europe/Berlin", static_cast<int>(tue.year), tue.month, tue.day, 14, 30);
  return test::days_page(test::days_json(
      test::week_days("Europe/Berlin", static_cast<int>(s.year), s.month, s.day, {{}, {}, {e}})));
}

struct WeekRuns {
  test::TempDir dir;
  FixedClock clock{ymd(2026, 2, 4), tod(10)};
  Session session{dir.path(), clock};
  test::ScriptedReporter reporter;
  NoProgress progress;
  CurlDownloader downloader;

  void run(const std::string& address, bool week_source, std::int16_t weeks,
           const std::string& agent) {
    Table<CalendarTable> t(dir.path());
    open_calr(t, reporter);
    std::int64_t count1 = 0;
    EventHistory history(t, reporter, progress, count1, std::int16_t{0});
    LoadRequest request;
    // A Wednesday: today's pages are asked for by the week's Sunday.
    request.fields = {.checkhist = 1,
                      .checkwget = 1,
                      .autodate = 0,
                      .loadweeks = weeks,
                      .date1 = ymd(2026, 1, 28)};
    request.address = address;
    request.week = week_source;
    request.user_agent = agent;
    load_weeks(session, reporter, progress, downloader, history, request, count1);
  }
  void store(std::int32_t date, const char* descr) { test::store_event(dir.path(), date, descr); }
};

TEST(WeekLoad, PageAddresses) {
  struct Case {
    std::int32_t day;
    const char* url;
  } cases[] = {
      {ymd(2026, 1, 25), "https://calendar.example/calendar?week=jan25.2026"},
      {ymd(2026, 1, 31), "https://calendar.example/calendar?week=jan25.2026"},
      {ymd(2025, 12, 31), "https://calendar.example/calendar?week=dec28.2025"},
      {ymd(2026, 3, 1), "https://calendar.example/calendar?week=mar1.2026"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(week_page_url("https://calendar.example/", c.day), c.url);
  }
  EXPECT_EQ(month_page_url("https://calendar.example", 2015, 1),
            "https://calendar.example/calendar?month=jan.2015");
  EXPECT_EQ(month_page_url("https://calendar.example", 2026, 12),
            "https://calendar.example/calendar?month=dec.2026");
}

// LOADWEEKS weeks from the Sunday of DATE1's week, the program's User-Agent unless USERAGENT
// says otherwise; the old pages' downloads keep the browser's.
TEST(WeekLoad, WeeksAndUserAgent) {
  test::HttpServer server([&](const HttpRequest& req) {
    if (req.target == "/calendar?week=jan25.2026")
      return HttpResponse{200, week_page(ymd(2026, 1, 25), "CPI")};
    if (req.target == "/calendar?week=feb1.2026")
      return HttpResponse{200, week_page(ymd(2026, 2, 1), "PPI")};
    return HttpResponse{404, "no such page"};
  });
  struct Case {
    const char* what;
    bool week_source;
    std::string setting;  // USERAGENT
    const char* agent;    // the start of what the server saw
  } cases[] = {
      {"today's pages", true, "", "Mervane/"},
      {"USERAGENT", true, "Desk/1.0 (trader)", "Desk/1.0 (trader)"},
      {"the old pages, as ever", false, "", "Mozilla/5.0"},
  };
  for (const Case& c : cases) {
    WeekRuns runs;
    if (!c.setting.empty()) {
      ASSERT_TRUE(save_calendar_setting(runs.dir.path(), "USERAGENT", c.setting).is_ok());
    }
    CalendarSettings cal = load_calendar_settings(runs.dir.path());
    cal.week = c.week_source;
    const std::size_t before = server.requests().size();
    runs.run(server.base(), c.week_source, 2, download_user_agent(cal));
    const std::vector<HttpRequest> got = server.requests();
    ASSERT_EQ(got.size(), before + 2) << c.what;
    for (std::size_t i = before; i < got.size(); ++i)
      EXPECT_EQ(got[i].headers.at("user-agent").rfind(c.agent, 0), 0u)
          << c.what << ": " << got[i].headers.at("user-agent");
    if (c.week_source) {
      EXPECT_EQ(got[before].target, "/calendar?week=jan25.2026");
      EXPECT_EQ(got[before + 1].target, "/calendar?week=feb1.2026");
      EXPECT_EQ(test::stored_descriptions(runs.dir.path()),
                (std::vector<std::string>{"2026-01-27 CPI", "2026-02-03 PPI"}));
      EXPECT_TRUE(runs.reporter.stops.empty()) << runs.reporter.stops.front();
    }
  }
}

// The browser check and 429 stop the downloads with what to do; the week keeps its events and
// no further week is asked for, also after Ignore.
TEST(WeekLoad, RefusalsStopTheDownloads) {
  const std::string check =
      "<!DOCTYPE html><html lang=\"en-US\"><head><title>Just a moment...</title><meta "
      "http-equiv=\"refresh\" content=\"390\"></head><body><noscript>Enable JavaScript and "
      "cookies to continue</noscript></body></html>";
  const std::string check2 =
      "<html><head><TITLE>Just a moment...</TITLE><script src=\"/cdn-cgi/challenge-platform/"
      "orchestrate/jsch/v1\"></script></head><body></body></html>";
  const std::string advice =
      "the calendar service answered with its browser check (\"Just a moment...\") instead of "
      "the calendar. Open the week in a web browser, save the page into the program's folder as "
      "truneout (or anywhere, then import it), and run with the automatic calendar load off "
      "(the week stays as it was)";
  struct Case {
    const char* what;
    HttpResponse response;
    std::string stop;  // after "Get(URL) - "
  } cases[] = {
      {"browser check, 403", {403, check}, "HTTP status 403: " + advice},
      {"browser check, 503", {503, check2}, "HTTP status 503: " + advice},
      {"429",
       {429, "Too Many Requests"},
       "HTTP status 429 Too Many Requests: the calendar service refuses downloads this frequent "
       "and may block this address; wait before the next run (the week stays as it was)"},
      {"403 without the check", {403, "<html><title>Forbidden</title></html>"}, "HTTP status 403"},
  };
  for (const Case& c : cases) {
    test::HttpServer server([&](const HttpRequest&) { return c.response; });
    WeekRuns runs;
    runs.store(ymd(2026, 1, 27), "stays");
    runs.run(server.base(), true, 3, "");
    const std::string url = server.base() + "/calendar?week=jan25.2026";
    ASSERT_FALSE(runs.reporter.stops.empty()) << c.what;
    EXPECT_EQ(runs.reporter.stops[0], "Get(" + url + ") - " + c.stop) << c.what;
    // Another failure is one week's: the next weeks are still asked for.
    const bool refused = c.stop != "HTTP status 403";
    EXPECT_EQ(server.requests().size(), refused ? 1u : 3u) << c.what;
    EXPECT_EQ(test::stored_descriptions(runs.dir.path()),
              (std::vector<std::string>{"2026-01-27 stays"}))
        << c.what;
  }
}

}  // namespace
}  // namespace mervane
