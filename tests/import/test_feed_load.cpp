// The run's history update from the weekly feed, served by a local HTTP server: one download at
// most every 30 minutes, HTTP 429, failures, and event times across daylight saving changes.
#include <gtest/gtest.h>

#include <cstdio>

#include "core/import/acquisition.h"
#include "core/import/calendar_source.h"
#include "core/model/local_settings.h"
#include "core/runtime/text_file.h"
#include "core/util/helpers.h"
#include "tests/import/feed_support.h"
#include "tests/import/page_support.h"
#include "tests/support/http_server.h"

namespace mervane {
namespace {

using test::FeedItem;
using test::HttpRequest;
using test::HttpResponse;

std::int32_t ymd(int y, int m, int d) {
  return *date_serial(y, m, d);
}

FeedItem release(const char* title, const char* ccy, const char* date, const char* time) {
  FeedItem e;
  e.title = title;
  e.country = ccy;
  e.date = date;
  e.time = time;
  return e;
}

class NotingProgress : public Progress {
 public:
  std::vector<std::string> notes;
  void report(std::string_view, std::int64_t) override {}
  void note(std::string_view text) override { notes.emplace_back(text); }
};

// "yyyy-mm-dd hh:mm description" of every stored record, in key order.
std::vector<std::string> stored_times(const std::filesystem::path& folder) {
  Table<CalendarTable> t(folder);
  std::vector<std::string> out;
  if (t.open(OpenMode::read_only()).failed()) return out;
  EXPECT_TRUE(t.set_start(CalendarKey::Key).is_ok());
  while (t.next().is_ok()) {
    char hm[16];
    std::snprintf(hm, sizeof hm, " %02d:%02d ", hour(t.rec.time), minute(t.rec.time));
    out.push_back(test::iso_date(t.rec.date) + hm + t.rec.descr.str());
  }
  return out;
}

// A folder where runs load the feed; the clock is moved between runs.
struct FeedRuns {
  test::TempDir dir;
  FixedClock clock{ymd(2024, 3, 12), tod(10)};
  Session session{dir.path(), clock};
  test::ScriptedReporter reporter;
  NotingProgress progress;
  CurlDownloader downloader;
  std::string url;

  // One run's history update, as the Build window's run makes it.
  void run(std::int16_t offset1 = 0, std::int16_t checkwget = 1) {
    Table<CalendarTable> t(dir.path());
    open_calr(t, reporter);
    TimeShift shift;
    const Status st = mt4_shift(load_calendar_settings(dir.path()), offset1, shift);
    ASSERT_TRUE(st.is_ok()) << st.text;
    std::int64_t count1 = 0;
    EventHistory history(t, reporter, progress, count1, shift);
    LoadRequest request;
    request.fields = {.checkhist = 1,
                      .checkwget = checkwget,
                      .autodate = 0,
                      .loadweeks = 4,
                      .date1 = ymd(2024, 3, 10)};
    request.feed = true;
    request.feed_url = url;
    load_weeks(session, reporter, progress, downloader, history, request, count1);
  }
  void at(int y, int m, int d, int hh, int mm) { clock.set(ymd(y, m, d), tod(hh, mm)); }
  void store(std::int32_t date, const char* descr) { test::store_event(dir.path(), date, descr); }
};

// With the calendar in UTC and a server at New York's time + 7 hours, a New York release at 8:30
// is at 15:30 MT4 time on both sides of the United States' change (10 March 2024) and of
// Europe's (31 March 2024); European releases move by an hour in MT4 time between the two.
// Without the zones, OFFSET1 applies as it always has.
TEST(FeedLoad, AcrossDaylightSavingChanges) {
  const std::vector<std::string> weeks = {
      test::feed({release("Non-Farm Employment Change", "USD", "03-08-2024", "1:30pm")}),
      test::feed({release("Sunday Open", "USD", "03-10-2024", "5:00am"),
                  release("CPI m/m", "USD", "03-12-2024", "12:30pm")}),
      // 10:00 in Germany: 9:00 UTC before Europe's change, 8:00 UTC after it.
      test::feed({release("German Ifo", "EUR", "03-26-2024", "9:00am"),
                  release("Final GDP q/q", "USD", "03-28-2024", "12:30pm")}),
      test::feed({release("German CPI", "EUR", "04-02-2024", "8:00am"),
                  release("JOLTS Job Openings", "USD", "04-02-2024", "2:00pm")}),
  };
  std::size_t served = 0;
  test::HttpServer server([&](const HttpRequest&) { return HttpResponse{200, weeks[served++]}; });

  struct Setup {
    const char* what;
    const char* calendar_zone;
    const char* mt4_zone;
    std::int16_t offset1;
    std::vector<std::string> stored;
  } setups[] = {
      {"zones",
       "UTC",
       "America/New_York+7",
       5,
       {"2024-03-08 15:30 Non-Farm Employment Change", "2024-03-10 07:00 Sunday Open",
        "2024-03-12 15:30 CPI m/m", "2024-03-26 12:00 German Ifo", "2024-03-28 15:30 Final GDP q/q",
        "2024-04-02 11:00 German CPI", "2024-04-02 17:00 JOLTS Job Openings"}},
      {"the hour offset",
       "",
       "",
       2,
       {"2024-03-08 15:30 Non-Farm Employment Change", "2024-03-10 07:00 Sunday Open",
        "2024-03-12 14:30 CPI m/m", "2024-03-26 11:00 German Ifo", "2024-03-28 14:30 Final GDP q/q",
        "2024-04-02 10:00 German CPI", "2024-04-02 16:00 JOLTS Job Openings"}},
      {"the zone of one side only: the hour offset",
       "UTC",
       "",
       2,
       {"2024-03-08 15:30 Non-Farm Employment Change", "2024-03-10 07:00 Sunday Open",
        "2024-03-12 14:30 CPI m/m", "2024-03-26 11:00 German Ifo", "2024-03-28 14:30 Final GDP q/q",
        "2024-04-02 10:00 German CPI", "2024-04-02 16:00 JOLTS Job Openings"}},
  };
  for (const Setup& s : setups) {
    served = 0;
    FeedRuns runs;
    runs.url = server.base() + "/ff_calendar_thisweek.xml";
    ASSERT_TRUE(save_calendar_setting(runs.dir.path(), "CALENDARZONE", s.calendar_zone).is_ok());
    ASSERT_TRUE(save_calendar_setting(runs.dir.path(), "MT4ZONE", s.mt4_zone).is_ok());
    for (int w = 0; w < 4; ++w) {
      runs.at(2024, 3, 8 + 7 * w, 10, 0);
      runs.run(s.offset1);
    }
    EXPECT_EQ(served, 4u) << s.what;
    EXPECT_EQ(stored_times(runs.dir.path()), s.stored) << s.what;
    EXPECT_TRUE(runs.reporter.stops.empty()) << s.what << ": " << runs.reporter.stops.front();
  }
}

TEST(FeedLoad, AtMostOneDownloadIn30Minutes) {
  FeedItem cpi = release("CPI m/m", "USD", "03-12-2024", "12:30pm");
  test::HttpServer server([&](const HttpRequest&) { return HttpResponse{200, test::feed({cpi})}; });
  FeedRuns runs;
  runs.url = server.base() + "/feed.xml";
  const std::string note =
      "Calendar feed: one download of the feed's week, LOADWEEKS does not apply";
  const std::string fetch = "wget -O truneout " + runs.url;

  runs.run();
  EXPECT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(load_local_setting(runs.dir.path(), "FEEDLOADED"), "2024-03-12 10:00");
  EXPECT_EQ(runs.progress.notes, (std::vector<std::string>{note, fetch}));

  struct Step {
    const char* what;
    int day, hh, mm;
    bool downloads;
  } steps[] = {
      {"29 minutes later: the kept feed", 12, 10, 29, false},
      {"30 minutes later", 12, 10, 30, true},
      {"the clock set back an hour (autumn)", 12, 9, 30, false},
      {"the clock set back a day", 11, 10, 30, true},
      {"a day later", 12, 10, 31, true},
  };
  std::size_t requests = 1;
  for (const Step& s : steps) {
    runs.progress.notes.clear();
    runs.store(ymd(2024, 3, 13), "cleared by the feed's week");
    cpi.title = s.what;
    runs.at(2024, 3, s.day, s.hh, s.mm);
    runs.run();
    if (s.downloads) ++requests;
    EXPECT_EQ(server.requests().size(), requests) << s.what;
    ASSERT_EQ(runs.progress.notes.size(), 2u) << s.what;
    if (s.downloads) {
      EXPECT_EQ(runs.progress.notes[1], fetch) << s.what;
    } else {
      EXPECT_NE(runs.progress.notes[1].find("reading the kept truneout"), std::string::npos)
          << s.what;
    }
    // The week was read either way: the event stored in it meanwhile is gone.
    const std::vector<std::string> stored = stored_times(runs.dir.path());
    ASSERT_EQ(stored.size(), 1u) << s.what;
    EXPECT_EQ(stored[0].substr(0, 16), "2024-03-12 12:30") << s.what;
  }
  EXPECT_TRUE(runs.reporter.stops.empty());

  // The kept feed gone within the 30 minutes: nothing is downloaded, and the week stays.
  runs.at(2024, 3, 12, 10, 40);
  std::filesystem::remove(runs.dir / "truneout");
  runs.store(ymd(2024, 3, 13), "kept");
  runs.run();
  EXPECT_EQ(server.requests().size(), requests);
  EXPECT_EQ(runs.reporter.stops,
            std::vector<std::string>{
                "Get(" + runs.url +
                ") - the feed was downloaded at 10:31, less than 30 minutes ago, and the kept "
                "truneout is gone: the next download is allowed at 11:01"});
  EXPECT_EQ(stored_times(runs.dir.path()).size(), 2u);
}

TEST(FeedLoad, FailuresKeepTheWeek) {
  const std::string good = test::feed({release("CPI m/m", "USD", "03-12-2024", "12:30pm")});
  struct Case {
    const char* what;
    HttpResponse response;
    bool with_url;
    std::deque<Answer> answers;
    std::string stop;  // after the URL
  };
  const std::vector<Case> cases = {
      {"HTTP 429",
       {429, "Too many requests"},
       true,
       {},
       ") - HTTP status 429 Too Many Requests: the calendar service refuses downloads this "
       "frequent and may block this address; wait before the next run (the week stays as it "
       "was)"},
      {"HTTP 429, Abort",
       {429, ""},
       true,
       {Answer::Abort},
       ") - HTTP status 429 Too Many Requests: the calendar service refuses downloads this "
       "frequent and may block this address; wait before the next run (the week stays as it "
       "was)"},
      {"HTTP 404", {404, "gone"}, true, {}, ") - HTTP status 404"},
      {"no address", {200, good}, false, {}, ") - no feed address is set (FEEDURL)"},
      {"a malformed feed",
       {200, good.substr(0, good.size() - 3)},
       true,
       {},
       "Read(truneout) - line 13: the feed is not well-formed XML (Start-end tags mismatch)"},
  };
  for (const Case& c : cases) {
    test::HttpServer server([&](const HttpRequest&) { return c.response; });
    FeedRuns runs;
    runs.url = c.with_url ? server.base() + "/feed.xml" : "";
    runs.store(ymd(2024, 3, 13), "stays");
    test::write_file(runs.dir / "truneout", "the kept feed");
    runs.reporter.stop_answers = c.answers;
    try {
      runs.run();
      EXPECT_TRUE(c.answers.empty()) << c.what;
    } catch (const Aborted&) {
      EXPECT_FALSE(c.answers.empty()) << c.what;
    }
    const std::string want = c.stop.rfind("Read(", 0) == 0 ? c.stop : "Get(" + runs.url + c.stop;
    EXPECT_EQ(runs.reporter.stops, std::vector<std::string>{want}) << c.what;
    EXPECT_EQ(stored_times(runs.dir.path()), std::vector<std::string>{"2024-03-13 09:00 stays"})
        << c.what;
    const bool downloaded = c.response.status == 200 && c.with_url;
    EXPECT_EQ(load_local_setting(runs.dir.path(), "FEEDLOADED").empty(), !downloaded) << c.what;
    if (!downloaded) {
      EXPECT_EQ(test::read_file(runs.dir / "truneout"), "the kept feed") << c.what;
    }
  }
}

// The hand-saved file (CHECKWGET off, or the command line's --page): read, never downloaded,
// page or feed as its content says.
TEST(FeedLoad, HandSavedFile) {
  FeedRuns runs;
  runs.url = "http://127.0.0.1:" + std::to_string(test::HttpServer::closed_port()) + "/feed.xml";
  test::write_file(runs.dir / "truneout",
                   test::feed({release("CPI m/m", "USD", "03-12-2024", "12:30pm")}));
  runs.run(2, 0);
  EXPECT_TRUE(runs.reporter.stops.empty());
  EXPECT_EQ(stored_times(runs.dir.path()), std::vector<std::string>{"2024-03-12 14:30 CPI m/m"});
  EXPECT_EQ(load_local_setting(runs.dir.path(), "FEEDLOADED"), "");
}

}  // namespace
}  // namespace mervane
