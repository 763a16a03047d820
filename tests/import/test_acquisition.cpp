#include "core/import/acquisition.h"

#include <gtest/gtest.h>

#include <map>

#include "core/app/open_or_create.h"
#include "core/history/history_line.h"
#include "core/import/calendar_address.h"
#include "core/runtime/text_file.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "tests/import/page_support.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

using test::first_row;
using test::RowSpec;

std::int32_t ymd(int y, int m, int d) {
  return *date_serial(y, m, d);
}

TEST(Acquisition, WeekParameterUrlAndCommand) {
  struct Case {
    std::int32_t date1;
    int week;
    const char* query;
  } cases[] = {
      {ymd(2007, 1, 7), 0, "1168128000"},
      {ymd(2007, 1, 7), 1, "1168732800"},   // 00:00 UTC on 14 January 2007
      {ymd(2007, 1, 10), 0, "1168387200"},  // not a Sunday: that day's midnight
      {ymd(2038, 1, 17), 1, "2147904000"},  // past 32-bit Unix seconds
      {ymd(2040, 1, 1), 0, "2208988800"},
      {kUnixEpochSerial, 0, "0"},
  };
  for (const Case& c : cases) {
    const std::int32_t d = c.date1 + 7 * c.week;
    EXPECT_EQ(std::to_string(week_parameter(d)), c.query);
    EXPECT_EQ(week_url("https://calendar.example", d),
              std::string("https://calendar.example/calendar.php?c=2&week=") + c.query);
    EXPECT_EQ(week_url("https://calendar.example/", d), week_url("https://calendar.example", d));
  }
  const std::string url = week_url("http://cal.example:8080", ymd(2007, 1, 14));
  EXPECT_EQ(wget_command(url),
            "wget -O truneout http://cal.example:8080/calendar.php?c=2&week=1168732800");
  const std::string long_url = "https://" + std::string(100, 'h') + ".example/calendar.php";
  EXPECT_EQ(wget_command(long_url), ("wget -O truneout " + long_url).substr(0, 99));
  EXPECT_EQ(wget_command(long_url).size(), 99u);
}

// HIGHDATE from the stored history and "Auto set" on it, with today Thursday 25 January 2007.
TEST(Acquisition, HighDateAndAutoSet) {
  const std::int32_t today = ymd(2007, 1, 25);
  struct Case {
    const char* what;
    std::vector<std::int32_t> stored;
    std::int32_t date1;
    std::int16_t loadweeks;
  } cases[] = {
      {"an empty history: the current week", {}, ymd(2007, 1, 21), 1},
      {"newest event Wednesday two weeks ago",
       {ymd(2006, 12, 1), ymd(2007, 1, 10)},
       ymd(2007, 1, 7),
       3},
      {"the history holds next week", {ymd(2007, 1, 30)}, ymd(2007, 1, 21), 1},
      {"newest event today", {today}, ymd(2007, 1, 21), 1},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    FixedClock clock(today, 1);
    Session s(dir.path(), clock);
    test::ScriptedReporter r;
    if (!c.stored.empty()) {
      Table<CalendarTable> t(dir.path());
      open_calr(t, r);
      for (std::int32_t d : c.stored) {
        t.rec = CalendarRecord{};
        t.rec.date = d;
        t.rec.descr = "x";
        ASSERT_TRUE(t.add().is_ok());
      }
    }
    bool empty = false;
    const std::int32_t high = high_date(s, r, empty);
    EXPECT_EQ(empty, c.stored.empty()) << c.what;
    DownloadFields f{.checkhist = 1, .checkwget = 0, .autodate = 1, .loadweeks = 9, .date1 = 5};
    EXPECT_TRUE(auto_set(f, high, today, true)) << c.what;
    EXPECT_EQ(f.date1, c.date1) << c.what;
    EXPECT_EQ(f.loadweeks, c.loadweeks) << c.what;
    EXPECT_EQ(f.checkwget, 1) << c.what;
    EXPECT_TRUE(r.stops.empty()) << c.what;
  }

  // Off, or pinned by an Initial setup of this window: the fields stay as they are.
  DownloadFields off{.checkhist = 0, .checkwget = 0, .autodate = 1, .loadweeks = 9, .date1 = 5};
  EXPECT_FALSE(auto_set(off, ymd(2007, 1, 7), today, true));
  EXPECT_EQ(off.autodate, 0);
  EXPECT_EQ(off.date1, 5);
  DownloadFields setup{.checkhist = 1, .checkwget = 0, .autodate = 1, .loadweeks = 9, .date1 = 5};
  EXPECT_FALSE(auto_set(setup, ymd(2007, 1, 7), today, false));
  EXPECT_EQ(setup.loadweeks, 9);
  EXPECT_EQ(setup.autodate, 1);
}

TEST(Acquisition, AfterInitialSetup) {
  for (std::int32_t today : {ymd(2007, 1, 25), ymd(2007, 1, 21), ymd(2007, 1, 27)}) {
    DownloadFields f;
    after_initial_setup(f, today);
    EXPECT_EQ(f.date1, ymd(2006, 12, 31)) << today;
    EXPECT_EQ(f.loadweeks, 4);
    EXPECT_EQ(f.checkhist, 1);
    EXPECT_EQ(f.checkwget, 1);
    EXPECT_EQ(f.autodate, 1);
  }
}

TEST(Acquisition, ReadAutoplay) {
  const std::string refused =
      "Read(Autoplay.CSV) - the first line holds no date serial from 01/01/1900 (36163) to "
      "12/31/2099 (109211)";
  struct Case {
    const char* content;
    std::optional<std::int32_t> date;  // nothing: refused, and the file stays
  } cases[] = {
      {"75250\r\n", 75250},
      {"75250,x\r\nmore\r\n", 75250},
      {"  75250", 75250},
      {"36163", 36163},
      {"109211", 109211},
      {"", std::nullopt},
      {"abc\r\n", std::nullopt},
      {"0\r\n", std::nullopt},
      {"36162", std::nullopt},
      {"109212", std::nullopt},
      {"99999999\r\n", std::nullopt},
      {"99999999999999999999999\r\n", std::nullopt},
  };
  test::ScriptedReporter r;
  for (const Case& c : cases) {
    test::TempDir dir;
    test::write_file(dir / "Autoplay.CSV", c.content);
    test::ScriptedReporter reporter;
    reporter.stop_answers = {Answer::Ignore};
    EXPECT_EQ(read_autoplay(dir.path(), reporter), c.date) << c.content;
    EXPECT_EQ(file_exists(dir / "Autoplay.CSV"), !c.date) << c.content;
    EXPECT_EQ(reporter.stops,
              c.date ? std::vector<std::string>{} : std::vector<std::string>{refused})
        << c.content;
    if (!c.date) {
      test::ScriptedReporter abort;
      abort.stop_answers = {Answer::Abort};
      EXPECT_THROW((void)read_autoplay(dir.path(), abort), Aborted);
      EXPECT_EQ(test::read_file(dir / "Autoplay.CSV"), c.content);
    }
  }
  test::TempDir dir;
  test::ScriptedReporter reporter;
  EXPECT_EQ(read_autoplay(dir.path(), reporter), std::nullopt);
  EXPECT_TRUE(reporter.stops.empty());
}

// Serves pages from a map of URLs; records what was asked.
class FakeDownloader : public Downloader {
 public:
  std::map<std::string, std::string> pages;
  std::vector<std::string> asked;
  std::vector<bool> page_was_there;  // whether "truneout" existed when the fetch began
  Status fetch(const std::string& url, const std::filesystem::path& target) override {
    asked.push_back(url);
    page_was_there.push_back(file_exists(target));
    auto it = pages.find(url);
    if (it == pages.end()) return Status(kFileSystemError, "HTTP status 404");
    return write_file_atomic(target, it->second);
  }
};

class NotingProgress : public Progress {
 public:
  std::vector<std::string> notes;
  void report(std::string_view, std::int64_t) override {}
  void note(std::string_view text) override { notes.emplace_back(text); }
};

std::string week_page(const char* day, const char* descr) {
  RowSpec r;
  r.descr = descr;
  return first_row("Sun", day, r) + "\n</table>\n";
}

struct LoadCase {
  const char* what;
  DownloadFields fields;
  std::vector<int> missing_weeks;  // weeks the server does not have
  std::deque<Answer> answers;
  std::vector<std::string> stored;
  std::vector<std::string> stops;
  int fetches;
};

TEST(Acquisition, LoadWeeks) {
  const std::string address = "https://calendar.example";
  const std::int32_t jan7 = ymd(2007, 1, 7);
  auto url = [&](int week) { return week_url(address, jan7 + 7 * week); };
  const DownloadFields three{
      .checkhist = 1, .checkwget = 1, .autodate = 0, .loadweeks = 3, .date1 = jan7};
  DownloadFields manual = three;
  manual.checkwget = 0;
  manual.loadweeks = 5;
  DownloadFields off = three;
  off.checkhist = 0;
  const std::vector<LoadCase> cases = {
      {"three weeks",
       three,
       {},
       {},
       {"2007-01-06 old", "2007-01-07 week 0", "2007-01-14 week 1", "2007-01-21 week 2"},
       {},
       3},
      {"a failed week is skipped and keeps what it held",
       three,
       {1},
       {},
       {"2007-01-06 old", "2007-01-07 week 0", "2007-01-15 old", "2007-01-21 week 2"},
       {"Get(" + url(1) + ") - HTTP status 404"},
       3},
      {"Abort at a failed week ends the run",
       three,
       {1},
       {Answer::Abort},
       {"2007-01-06 old", "2007-01-07 week 0", "2007-01-15 old"},
       {"Get(" + url(1) + ") - HTTP status 404"},
       2},
      {"the hand-saved page: one week, nothing fetched",
       manual,
       {},
       {},
       {"2007-01-06 old", "2007-01-07 hand-saved", "2007-01-15 old"},
       {},
       0},
      {"no history update: nothing at all",
       off,
       {},
       {},
       {"2007-01-06 old", "2007-01-15 old"},
       {},
       0},
  };
  for (const LoadCase& c : cases) {
    test::TempDir dir;
    FixedClock clock(jan7, 1);
    Session s(dir.path(), clock);
    test::ScriptedReporter r;
    r.stop_answers = c.answers;
    NotingProgress p;
    FakeDownloader d;
    for (int w = 0; w < 3; ++w) {
      if (std::find(c.missing_weeks.begin(), c.missing_weeks.end(), w) != c.missing_weeks.end())
        continue;
      const std::string day = "Jan " + std::to_string(7 + 7 * w);
      d.pages[url(w)] = week_page(day.c_str(), ("week " + std::to_string(w)).c_str());
    }
    test::write_file(dir / "truneout", week_page("Jan 7", "hand-saved"));
    Table<CalendarTable> t(dir.path());
    open_calr(t, r);
    for (const auto& [date, descr] : {std::pair{jan7 - 1, "old"}, {jan7 + 8, "old"}}) {
      t.rec = CalendarRecord{};
      t.rec.date = date;
      t.rec.descr = descr;
      ASSERT_TRUE(t.add().is_ok());
    }
    std::int64_t count1 = 0;
    {
      EventHistory history(t, r, p, count1, 0);
      const LoadRequest request{c.fields, PageOptions{}, address};
      try {
        load_weeks(s, r, p, d, history, request, count1);
        EXPECT_TRUE(c.answers.empty()) << c.what;
      } catch (const Aborted&) {
        EXPECT_FALSE(c.answers.empty()) << c.what;
      }
    }
    t.close();
    EXPECT_EQ(test::stored_descriptions(dir.path()), c.stored) << c.what;
    EXPECT_EQ(r.stops, c.stops) << c.what;
    ASSERT_EQ(static_cast<int>(d.asked.size()), c.fetches) << c.what;
    ASSERT_EQ(static_cast<int>(p.notes.size()), c.fetches) << c.what;
    for (int w = 0; w < c.fetches; ++w) {
      EXPECT_EQ(d.asked[w], url(w)) << c.what;
      EXPECT_EQ(p.notes[w], wget_command(url(w))) << c.what;
      EXPECT_FALSE(d.page_was_there[w]) << c.what << ": the old page was not removed";
    }
    if (c.fields.checkhist == 1) {
      EXPECT_EQ(s.globals().inpname, "truneout") << c.what;
    }
  }
}

TEST(Acquisition, WeeksThatCannotBeFetchedAreSkipped) {
  struct Case {
    const char* what;
    const char* address;
    bool stuck_page;  // last week's page cannot be removed
    std::vector<std::string> stops;
  };
  const std::string week1 = "/calendar.php?c=2&week=1168128000";
  const std::string week2 = "/calendar.php?c=2&week=1168732800";
  const Case cases[] = {
      {"no calendar address",
       "",
       false,
       {"Get(" + week1 + ") - no calendar address is set (CALENDARURL)",
        "Get(" + week2 + ") - no calendar address is set (CALENDARURL)"}},
      // Were the week fetched anyway, a failed download would leave the old page to be read as
      // this week's.
      {"old page stuck",
       "https://calendar.example",
       true,
       {"Remove(truneout) - Is a directory (21)", "Remove(truneout) - Is a directory (21)"}},
  };
  for (const Case& c : cases) {
    test::HistoryFolder run(ymd(2007, 1, 7));
    if (c.stuck_page)
      std::filesystem::create_directories(run.session.folder() / "truneout" / "inside");
    NoProgress p;
    FakeDownloader d;
    EventHistory history(run.calendar, run.reporter, p, run.count1, 0);
    const LoadRequest request{
        {.checkhist = 1, .checkwget = 1, .autodate = 0, .loadweeks = 2, .date1 = ymd(2007, 1, 7)},
        PageOptions{},
        c.address};
    run.reporter.stop_answers = {Answer::Ignore, Answer::Ignore};
    load_weeks(run.session, run.reporter, p, d, history, request, run.count1);
    EXPECT_EQ(run.reporter.stops, c.stops) << c.what;
    EXPECT_TRUE(d.asked.empty()) << c.what;
  }
}

TEST(Acquisition, CalendarAddress) {
  struct Case {
    const char* typed;
    const char* stored;  // nullptr: rejected
  } cases[] = {
      {"https://calendar.example", "https://calendar.example"},
      {"HTTPS://calendar.example/", "https://calendar.example"},
      {"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
      {"http://[::1]:8080", "http://[::1]:8080"},
      {"http://cal-1.example.org", "http://cal-1.example.org"},
      {"calendar.example", nullptr},
      {"ftp://calendar.example", nullptr},
      {"https://", nullptr},
      {"https://calendar.example/calendar.php", nullptr},
      {"https://calendar.example?c=2", nullptr},
      {"https://calendar.example#x", nullptr},
      {"https://user@calendar.example", nullptr},
      {"https://calendar.example:0", nullptr},
      {"https://calendar.example:65536", nullptr},
      {"https://calendar.example:", nullptr},
      {"https://cal endar.example", nullptr},
      {"https://calendar..example", nullptr},
      {"", nullptr},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    EXPECT_EQ(load_calendar_address(dir.path()), "");
    const Status st = save_calendar_address(dir.path(), c.typed);
    if (c.stored) {
      EXPECT_TRUE(st.is_ok()) << c.typed << ": " << st.text;
      EXPECT_EQ(load_calendar_address(dir.path()), c.stored);
    } else {
      EXPECT_EQ(st.code, kBadValue) << c.typed;
      EXPECT_NE(st.text.find("https://calendar.example"), std::string::npos) << st.text;
      EXPECT_EQ(load_calendar_address(dir.path()), "") << c.typed;
    }
  }
}

}  // namespace
}  // namespace mervane
