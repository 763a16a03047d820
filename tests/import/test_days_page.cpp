#include "core/import/days_page.h"

#include <gtest/gtest.h>

#include "core/import/calendar_file.h"
#include "core/import/page_script.h"
#include "tests/import/days_support.h"
#include "tests/import/page_support.h"

namespace mervane {
namespace {

using test::DayEvent;
using test::instant;
using test::PageDay;

constexpr const char* kBerlin = "Europe/Berlin";

std::vector<std::string> calls_of(const std::string& page, const PageOptions& o) {
  const DaysPage p = parse_days_page(page, o);
  EXPECT_FALSE(p.problem) << problem_text(*p.problem);
  test::RecordingSink sink;
  if (!p.problem) store_days_page(p, sink);
  return sink.calls;
}

// The week of Sunday 25 January 2026 shown in Berlin, with one event on Tuesday.
std::string week_with(const DayEvent& e) {
  return test::days_page(test::days_json(test::week_days(kBerlin, 2026, 1, 25, {{}, {}, {e}})));
}

DayEvent release(int hh, int mm) {
  DayEvent e;
  e.dateline = instant(kBerlin, 2026, 1, 27, hh, mm);
  e.actual = "0.5%";
  e.forecast = "0.4%";
  e.previous = "0.3%";
  return e;
}

TEST(DaysPage, EventsAsTheOtherReadersMakeThem) {
  struct Case {
    const char* what;
    DayEvent event;
    PageOptions options;
    const char* stored;  // nullptr: no event
  };
  auto with = [](DayEvent e, auto change) {
    change(e);
    return e;
  };
  auto opts = [](auto change) {
    PageOptions o = test::all_boxes();
    change(o);
    return o;
  };
  ZoneSetting ny7;
  ASSERT_TRUE(parse_zone_setting("America/New_York+7", false, ny7).is_ok());
  const DayEvent holiday = with(release(0, 0), [](DayEvent& e) {
    e.id = 100002;
    e.name = "Bank Holiday";
    e.currency = "All";
    e.impact = "holiday";
    e.label = "All Day";
    e.masked = true;
    e.dateline = 1700000000;  // a placeholder
    e.actual = e.forecast = e.previous = "";
  });
  const Case cases[] = {
      {"released", release(14, 30), test::all_boxes(),
       "2026-01-27 14:30 USD|CPI m/m|H|3|140|0.5%|0.4%|0.3%||100001"},
      {"revised: the page shows the revision as previous",
       with(release(14, 30), [](DayEvent& e) { e.revision = "0.2%"; }), test::all_boxes(),
       "2026-01-27 14:30 USD|CPI m/m|H|3|140|0.5%|0.4%|0.2%|0.3%|100001"},
      {"not released yet, medium",
       with(release(9, 5),
            [](DayEvent& e) {
              e.impact = "Medium";
              e.actual = "";
              e.currency = "eur";
            }),
       test::all_boxes(), "2026-01-27 09:05 EUR|CPI m/m|M|2|142||0.4%|0.3%||100001"},
      {"holiday with non-economic events", holiday, test::all_boxes(),
       "2026-01-27 00:01 ALL|Bank Holiday <<AllDay>>|L|1|139|||||100002"},
      {"holiday without them", holiday, opts([](PageOptions& o) { o.nonecon = false; }), nullptr},
      {"tentative",
       with(release(0, 0),
            [](DayEvent& e) {
              e.impact = "low";
              e.label = "Tentative";
              e.masked = true;
            }),
       test::all_boxes(),
       "2026-01-27 00:01 USD|CPI m/m <<Tentative>>|L|1|140|0.5%|0.4%|0.3%||100001"},
      {"tentative without untimed events",
       with(release(0, 0),
            [](DayEvent& e) {
              e.label = "Tentative";
              e.masked = true;
            }),
       opts([](PageOptions& o) { o.incut = false; }), nullptr},
      {"a masked label that starts with a digit is no time",
       with(release(0, 0),
            [](DayEvent& e) {
              e.label = "2nd Day";
              e.masked = true;
            }),
       test::all_boxes(), "2026-01-27 00:01 USD|CPI m/m <<2ndDay>>|H|3|140|0.5%|0.4%|0.3%||100001"},
      {"unvalued without unvalued events",
       with(release(14, 30), [](DayEvent& e) { e.actual = e.forecast = e.previous = ""; }),
       opts([](PageOptions& o) { o.incuv = false; }), nullptr},
      {"texts read as decoded page texts",
       with(release(14, 30), [](DayEvent& e) { e.name = "S&P Global_PMI \xE2\x80\x93 Final"; }),
       test::all_boxes(),
       "2026-01-27 14:30 USD|S+P Global PMI \xE2\x80\x93 Final|H|3|140|0.5%|0.4%|0.3%||100001"},
      {"OFFSET1 carries past midnight", release(23, 30),
       opts([](PageOptions& o) { o.offset1 = 2; }),
       "2026-01-28 01:30 USD|CPI m/m|H|3|140|0.5%|0.4%|0.3%||100001"},
      {"MT4ZONE: the instant in New York + 7", release(14, 30), opts([&](PageOptions& o) {
         o.offset1 = 5;  // not used with the zone
         o.mt4_zone = ny7;
       }),
       "2026-01-27 15:30 USD|CPI m/m|H|3|140|0.5%|0.4%|0.3%||100001"},
      {"MT4ZONE: an untimed event at 00:01 of its day in the page's zone", holiday,
       opts([&](PageOptions& o) { o.mt4_zone = ny7; }),
       "2026-01-27 01:01 ALL|Bank Holiday <<AllDay>>|L|1|139|||||100002"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> want = {"delete_days 2026-01-25 2026-01-31"};
    if (c.stored) want.push_back(c.stored);
    want.push_back("page_done");
    EXPECT_EQ(calls_of(week_with(c.event), c.options), want) << c.what;
  }
}

// In the weeks between the United States' change to summer time and Europe's, New York is
// five hours behind Berlin instead of six: the MT4 time follows the instant, not the page's
// clock time plus a fixed shift.
TEST(DaysPage, Mt4ZoneFollowsTheInstantAcrossChanges) {
  ZoneSetting ny7;
  ASSERT_TRUE(parse_zone_setting("America/New_York+7", false, ny7).is_ok());
  PageOptions o = test::all_boxes();
  o.mt4_zone = ny7;
  DayEvent before = release(14, 30), between = release(13, 30);
  before.dateline = instant(kBerlin, 2026, 3, 6, 14, 30);  // 8:30 in New York
  between.id = 100002;
  between.dateline = instant(kBerlin, 2026, 3, 10, 13, 30);  // 8:30 in New York
  std::vector<PageDay> days;
  for (int d = 1; d <= 14; ++d) days.push_back({instant(kBerlin, 2026, 3, d), {}});
  days[5].events = {before};
  days[9].events = {between};
  const std::vector<std::string> calls = calls_of(test::days_page(test::days_json(days)), o);
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0], "delete_days 2026-03-01 2026-03-14");
  EXPECT_EQ(calls[1].substr(0, 16), "2026-03-06 15:30");
  EXPECT_EQ(calls[2].substr(0, 16), "2026-03-10 15:30");
}

TEST(DaysPage, BrowserSavedCopyAndMonthPage) {
  DayEvent a = release(14, 30), b = release(16, 0), c = release(10, 0);
  b.id = 100002;
  c.id = 100003;
  const std::string week = test::days_json(test::week_days(kBerlin, 2026, 1, 25, {{}, {}, {a, b}}));
  const std::string once = test::days_page(week);
  const std::string twice = test::days_page(week, kBerlin, 2);
  EXPECT_EQ(calls_of(twice, test::all_boxes()), calls_of(once, test::all_boxes()));
  EXPECT_EQ(parse_days_page(twice, test::all_boxes()).items, 2u);

  // Two blocks that differ (the page changed between them): each day and each event once.
  const std::string later =
      test::days_json(test::week_days(kBerlin, 2026, 1, 25, {{}, {}, {a, b, c}}));
  const DaysPage both =
      parse_days_page(test::days_page(week) + test::days_page(later), test::all_boxes());
  ASSERT_FALSE(both.problem) << problem_text(*both.problem);
  EXPECT_EQ(both.items, 3u);
  EXPECT_EQ(both.events.size(), 3u);

  std::vector<PageDay> month;
  for (int d = 1; d <= 31; ++d) month.push_back({instant(kBerlin, 2026, 1, d), {}});
  month[30].events = {release(14, 30)};
  month[30].events[0].dateline = instant(kBerlin, 2026, 1, 31, 23, 59);
  const std::vector<std::string> calls =
      calls_of(test::days_page(test::days_json(month)), test::all_boxes());
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0], "delete_days 2026-01-01 2026-01-31");
  EXPECT_EQ(calls[1].substr(0, 16), "2026-01-31 23:59");
}

TEST(DaysPage, BrokenPagesAreRefusedWhole) {
  const std::string good = week_with(release(14, 30));
  auto replaced = [&](const std::string& find, const std::string& with) {
    std::string p = good;
    const std::size_t at = p.find(find);
    EXPECT_NE(at, std::string::npos) << find;
    return at == std::string::npos ? p : p.replace(at, find.size(), with);
  };
  auto page_of = [](const std::string& days, const std::string& zone = kBerlin) {
    return test::days_page(days, zone);
  };
  const std::int64_t mon = instant(kBerlin, 2026, 1, 26), tue = instant(kBerlin, 2026, 1, 27);
  const std::string truncated = good.substr(0, good.find("\"previous\""));
  std::vector<PageDay> gap = test::week_days(kBerlin, 2026, 1, 25);
  gap.erase(gap.begin() + 3);
  std::vector<PageDay> ten_weeks;
  for (int d = 0; d < 70; ++d) ten_weeks.push_back({instant(kBerlin, 2026, 1, 1) + d * 86400, {}});
  DayEvent wednesday = release(14, 30);
  wednesday.dateline = instant(kBerlin, 2026, 1, 28, 14, 30);

  struct Case {
    const char* what;
    std::string page;
    const char* says;
    std::optional<std::size_t> offset;
  } cases[] = {
      {"an HTML page without the calendar", "<html><body>Calendar</body></html>",
       "the page holds no calendar", std::nullopt},
      {"cut short", truncated, "the days list: the text ends before the \"[\"", truncated.size()},
      {"not JSON", replaced("\"currency\":\"USD\"", "\"currency\":USD"),
       "the days list is not valid JSON", good.find("\"currency\":\"USD\"") + 11},
      {"a bracket that closes the wrong kind", replaced("\"add\":\"\"", "\"add\":[}"),
       "\"}\" where \"]\" should close", good.find("\"add\":\"\"") + 7},
      {"no zone", replaced("timezone_name", "timezone"), "does not name its time zone",
       std::nullopt},
      {"a zone the database lacks", replaced("Europe/Berlin", "Mars/Olympus"),
       "the page's time zone Mars/Olympus is not in the system's time zone database",
       good.find("'Europe/Berlin'")},
      {"a timed event on another day than its own",
       test::days_page(
           test::days_json(test::week_days(kBerlin, 2026, 1, 25, {{}, {}, {wednesday}}))),
       "event 100001 (CPI m/m) is at 01/28/2026 14:30, not on 01/27/2026, the day that lists it",
       std::nullopt},
      {"a day missing", page_of(test::days_json(gap)),
       "the page's days are not consecutive: 01/27/2026 is followed by 01/29/2026", std::nullopt},
      {"more than two months of days", page_of(test::days_json(ten_weeks)),
       "the page lists 70 days, from 01/01/2026 to 03/11/2026: more than two months", std::nullopt},
      {"no days", page_of("[]"), "the page lists no days", std::nullopt},
      {"days is no list", page_of("{\"a\": 1}"), "the days value is not a list", std::nullopt},
      {"the page ends after days:",
       "x window.FF = { timezone_name: 'UTC' };"
       "window.calendarComponentStates[1] = { days:",
       "the days value is not a list", 82},
      {"a day without its events", page_of("[{\"dateline\":" + std::to_string(mon) + "}]"),
       "day 1 of the days list has no list of events", std::nullopt},
      {"a day without its date",
       page_of("[{\"dateline\":" + std::to_string(mon) + ",\"events\":[]},{\"events\":[]}]"),
       "day 2 of the days list has no dateline", std::nullopt},
      {"a day dated past 2099", page_of("[{\"dateline\":-9223372036854775808,\"events\":[]}]"),
       "day 1 of the days list is dated outside 01/01/1900 to 12/31/2099", std::nullopt},
      {"an event dated past 2099",
       page_of("[{\"dateline\":" + std::to_string(tue) +
               ",\"events\":[{\"id\":1,\"name\":\"x\",\"timeLabel\":\"8:30am\","
               "\"timeMasked\":false,\"dateline\":99999999999999}]}]"),
       "event 1 of 01/27/2026 is dated outside 01/01/1900 to 12/31/2099", std::nullopt},
      {"an event without id",
       page_of("[{\"dateline\":" + std::to_string(tue) + ",\"events\":[{\"name\":\"x\"}]}]"),
       "an event of 01/27/2026 has no id", std::nullopt},
  };
  for (const Case& c : cases) {
    const DaysPage p = parse_days_page(c.page, test::all_boxes());
    ASSERT_TRUE(p.problem) << c.what;
    EXPECT_NE(p.problem->text.find(c.says), std::string::npos) << c.what << ": " << p.problem->text;
    if (c.offset) {
      EXPECT_EQ(p.problem->offset, c.offset) << c.what << ": " << p.problem->text;
    }
    EXPECT_TRUE(p.events.empty()) << c.what;
  }
}

TEST(PageScript, CutsByMatchingBrackets) {
  struct Case {
    const char* what;
    std::string text;
    const char* member;  // nullptr: cut the bracket at `open`
    std::size_t open;
    const char* value;  // nullptr: a problem at `problem_at`
    std::size_t problem_at;
  } cases[] = {
      {"brackets in strings", R"(["]", '[', `}`, "\"]"] tail)", nullptr, 0,
       R"(["]", '[', `}`, "\"]"])", 0},
      {"comments", "[1, /* ] */ 2 // ]\n] x", nullptr, 0, "[1, /* ] */ 2 // ]\n]", 0},
      {"a slash that is no comment", "[\"a\\/b\", 1 / 2]", nullptr, 0, "[\"a\\/b\", 1 / 2]", 0},
      {"unclosed", "[[1, 2]", nullptr, 0, nullptr, 7},
      {"a string that never ends", "[\"abc]", nullptr, 0, nullptr, 1},
      {"a wrong closing bracket", "[{]}", nullptr, 0, nullptr, 2},
      {"a member", "{ a: 1, days: [1, [2]], b: 3 }", "days", 0, "[1, [2]]", 0},
      {"a quoted key", "{ 'x': {days: [0]}, \"days\": [1] }", "days", 0, "[1]", 0},
      {"not a member of an inner object", "{ x: { days: [0] } }", "days", 0, nullptr, 19},
      {"a shorthand member and a method before", "{ a, f() { return [1]; }, days: [2] }", "days", 0,
       "[2]", 0},
      {"a plain value", "{ zone: 'Europe/Berlin' , x: 1 }", "zone", 0, "'Europe/Berlin'", 0},
  };
  for (const Case& c : cases) {
    const ScriptCut cut =
        c.member ? member_value(c.text, c.open, c.member) : cut_bracketed(c.text, c.open);
    if (c.value) {
      ASSERT_FALSE(cut.problem) << c.what << ": " << cut.problem->text;
      EXPECT_EQ(cut.of(c.text), c.value) << c.what;
    } else {
      ASSERT_TRUE(cut.problem) << c.what;
      EXPECT_EQ(cut.problem->offset, c.problem_at) << c.what << ": " << cut.problem->text;
    }
  }
  EXPECT_EQ(object_assignments("a.b = {}; x.a.b = {}; a.b == {}; a.b={ }", "a.b"),
            (std::vector<std::size_t>{6, 37}));
  EXPECT_EQ(string_literal(R"('It\'s \u00e9\x41\/')"),
            "It's \xC3\xA9"
            "A/");
  EXPECT_EQ(string_literal(R"('a' + 'b')"), std::nullopt);
}

// Content decides the reader: a saved page of today's kind, the service's browser check.
TEST(DaysPage, ReadCalendarFileTellsPagesByContent) {
  test::TempDir dir;
  test::ScriptedReporter r;
  NoProgress p;
  std::int64_t count1 = 0;
  test::write_file(dir / "week.htm", week_with(release(14, 30)));
  test::write_file(dir / "check.htm",
                   "<!DOCTYPE html><html lang=\"en-US\"><head><title>Just a moment...</title>"
                   "</head><body>Checking your browser</body></html>");
  test::RecordingSink sink;
  const CalendarFileRead read =
      read_calendar_file(dir / "week.htm", "week.htm", test::all_boxes(), sink, r, p, count1);
  EXPECT_TRUE(read.days_page);
  EXPECT_EQ(read.zone, kBerlin);
  EXPECT_EQ(sink.calls.size(), 3u);
  EXPECT_EQ(count1, 1);

  test::RecordingSink none;
  EXPECT_FALSE(
      read_calendar_file(dir / "check.htm", "check.htm", test::all_boxes(), none, r, p, count1)
          .days_page);
  EXPECT_TRUE(none.calls.empty());
  ASSERT_EQ(r.stops.size(), 1u);
  EXPECT_EQ(r.stops[0].rfind("Read(check.htm) - the calendar service answered with its browser "
                             "check (\"Just a moment...\")",
                             0),
            0u)
      << r.stops[0];
}

}  // namespace
}  // namespace mervane
