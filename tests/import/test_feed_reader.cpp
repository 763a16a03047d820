#include "core/import/calendar_file.h"
#include "core/import/feed_reader.h"

#include <gtest/gtest.h>

#include "tests/import/feed_support.h"
#include "tests/import/page_support.h"
#include "tests/support/paths.h"

namespace mervane {
namespace {

using test::FeedItem;

std::vector<std::string> feed_calls(const std::string& bytes, const PageOptions& options) {
  test::RecordingSink sink;
  const FeedWeek week = parse_feed(bytes, options);
  EXPECT_FALSE(week.problem) << week.problem->text;
  store_feed(week, sink);
  return sink.calls;
}

// One event of each kind, as the page reader would have made it from the same row.
TEST(FeedReader, EventsAsThePageReaderMakesThem) {
  struct Case {
    const char* what;
    FeedItem item;
    PageOptions options;
    const char* event;  // nullptr: no event
  };
  auto item = [](auto change) {
    FeedItem e;
    change(e);
    return e;
  };
  const PageOptions off;
  const std::vector<Case> cases = {
      {"plain", FeedItem{}, off, "2024-03-12 12:30 USD|Event|H|3|140||0.3%|0.2%||"},
      {"morning", item([](FeedItem& e) { e.time = "8:30am"; }), off,
       "2024-03-12 08:30 USD|Event|H|3|140||0.3%|0.2%||"},
      {"after midnight", item([](FeedItem& e) { e.time = "12:15am"; }), off,
       "2024-03-12 00:15 USD|Event|H|3|140||0.3%|0.2%||"},
      {"afternoon", item([](FeedItem& e) { e.time = "1:05pm"; }), off,
       "2024-03-12 13:05 USD|Event|H|3|140||0.3%|0.2%||"},
      {"all day, untimed events off", item([](FeedItem& e) { e.time = "All Day"; }), off, nullptr},
      {"all day", item([](FeedItem& e) { e.time = "All Day"; }), test::all_boxes(),
       "2024-03-12 00:01 USD|Event <<AllDay>>|H|3|140||0.3%|0.2%||"},
      {"tentative", item([](FeedItem& e) { e.time = "Tentative"; }), test::all_boxes(),
       "2024-03-12 00:01 USD|Event <<Tentative>>|H|3|140||0.3%|0.2%||"},
      {"no time", item([](FeedItem& e) { e.time = ""; }), test::all_boxes(),
       "2024-03-12 00:01 USD|Event <<>>|H|3|140||0.3%|0.2%||"},
      {"medium", item([](FeedItem& e) { e.impact = "Medium"; }), off,
       "2024-03-12 12:30 USD|Event|M|2|140||0.3%|0.2%||"},
      {"low, any letter case", item([](FeedItem& e) { e.impact = "low"; }), off,
       "2024-03-12 12:30 USD|Event|L|1|140||0.3%|0.2%||"},
      {"an impact word of no level", item([](FeedItem& e) { e.impact = "Unknown"; }),
       test::all_boxes(), nullptr},
      {"holiday, non-economic events off", item([](FeedItem& e) { e.impact = "Holiday"; }), off,
       nullptr},
      {"holiday", item([](FeedItem& e) {
         e.impact = "Holiday";
         e.time = "All Day";
         e.title = "Bank Holiday";
         e.country = "GBP";
         e.forecast = e.previous = "";
       }),
       test::all_boxes(), "2024-03-12 00:01 GBP|Bank Holiday <<AllDay>>|L|1|143|||||"},
      {"every currency", item([](FeedItem& e) { e.country = "All"; }), off,
       "2024-03-12 12:30 ALL|Event|H|3|139||0.3%|0.2%||"},
      {"another currency", item([](FeedItem& e) { e.country = "CNY"; }), off,
       "2024-03-12 12:30 CNY|Event|H|3|148||0.3%|0.2%||"},
      {"a 2006 name", item([](FeedItem& e) { e.country = "GER"; }), test::all_boxes(),
       "2024-03-12 12:30 EUR|German Event|H|3|142||0.3%|0.2%||"},
      {"unvalued, unvalued events off", item([](FeedItem& e) { e.forecast = e.previous = ""; }),
       off, nullptr},
      {"unvalued", item([](FeedItem& e) { e.forecast = e.previous = ""; }), test::all_boxes(),
       "2024-03-12 12:30 USD|Event|H|3|140|||||"},
      {"an ampersand reads as the page shows it",
       item([](FeedItem& e) { e.title = "S&P/CS Composite-20 HPI y/y"; }), off,
       "2024-03-12 12:30 USD|S+P/CS Composite-20 HPI y/y|H|3|140||0.3%|0.2%||"},
      {"underscores and line breaks become blanks",
       item([](FeedItem& e) { e.title = " Core_CPI\r\nm/m\t"; }), off,
       "2024-03-12 12:30 USD|Core CPI m/m|H|3|140||0.3%|0.2%||"},
      {"a long title is cut as a page cell is",
       item([](FeedItem& e) { e.title = std::string(70, 'x'); }), off, nullptr},  // checked below
      {"one-digit month", item([](FeedItem& e) { e.date = "3-12-2024"; }), off,
       "2024-03-12 12:30 USD|Event|H|3|140||0.3%|0.2%||"},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> calls = feed_calls(test::feed({c.item}), c.options);
    if (std::string(c.what).find("long title") != std::string::npos) {
      ASSERT_EQ(calls.size(), 3u);
      EXPECT_EQ(calls[1], "2024-03-12 12:30 USD|" + std::string(60, 'x') + "|H|3|140||0.3%|0.2%||");
      continue;
    }
    if (!c.event) {
      EXPECT_EQ(calls, (std::vector<std::string>{"delete_week 2024-03-10", "page_done"})) << c.what;
      continue;
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"delete_week 2024-03-10", c.event, "page_done"}))
        << c.what;
  }
}

TEST(FeedReader, WeekOfTheFirstEvent) {
  FeedItem fri, mon, sun;
  fri.date = "03-15-2024";
  fri.title = "Friday";
  mon.date = "03-11-2024";
  mon.title = "Monday";
  sun.date = "03-10-2024";
  sun.title = "Sunday";
  const std::vector<std::string> calls = feed_calls(test::feed({fri, mon, sun}), PageOptions{});
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0], "delete_week 2024-03-10");
  EXPECT_EQ(calls[1].substr(0, 24), "2024-03-15 12:30 USD|Fri");  // feed order kept
  EXPECT_EQ(calls[3].substr(0, 24), "2024-03-10 12:30 USD|Sun");
  EXPECT_EQ(calls[4], "page_done");

  // Events past the week: the days through the last one are cleared.
  FeedItem next = fri;
  next.date = "03-18-2024";
  EXPECT_EQ(feed_calls(test::feed({fri, next}), PageOptions{}).front(),
            "delete_days 2024-03-10 2024-03-18");
}

// The same title in every form a feed arrives in; the event holds it in Windows-1252.
TEST(FeedReader, Encodings) {
  const std::string head = "<weeklyevents><event><title>";
  const std::string tail =
      "</title><country>EUR</country><date>03-12-2024</date><time>9:00am</time>"
      "<impact>Low</impact><forecast>1</forecast><previous/></event></weeklyevents>";
  auto utf16le = [](const std::string& ascii_and_dash) {
    std::string out = "\xFF\xFE";
    for (unsigned char c : ascii_and_dash) {
      if (c == 0x96) {
        out += "\x13\x20";  // U+2013
      } else {
        out += static_cast<char>(c);
        out += '\0';
      }
    }
    return out;
  };
  struct Case {
    const char* what;
    std::string bytes;
    const char* title;  // as UTF-8
  } cases[] = {
      {"windows-1252",
       "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n" + head + "Ifo \x96 Climate \x80" +
           tail,
       "Ifo \u2013 Climate \u20ac"},
      {"UTF-8",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + head +
           "Ifo \xE2\x80\x93 Climate \xE2\x82\xAC" + tail,
       "Ifo \u2013 Climate \u20ac"},
      {"UTF-8 declared windows-1252",
       "<?xml version=\"1.0\" encoding=\"windows-1252\"?>" + head + "Ifo \xE2\x80\x93 Climate" +
           tail,
       "Ifo \u2013 Climate"},
      {"UTF-8 with a byte order mark", "\xEF\xBB\xBF" + head + "Ifo \xE2\x80\x93 Climate" + tail,
       "Ifo \u2013 Climate"},
      {"UTF-16 with a byte order mark", utf16le(head + "Ifo \x96 Climate" + tail),
       "Ifo \u2013 Climate"},
      {"character references", head + "A &lt;B&gt; &#8364; &amp; &quot;C&quot;" + tail,
       "A <B> \u20ac + \"C\""},
      {"a character Windows-1252 lacks", head + "Index &#x4E2D;" + tail, "Index ?"},
      {"references in windows-1252",
       "<?xml version=\"1.0\" encoding=\"windows-1252\"?>" + head +
           "\x96 &#8364;&#x4E2D; &amp;&nbsp;&lt; &bad &#xZZ; &#39;" + tail,
       "\u2013 \u20ac? +< +bad +#xZZ; '"},
      {"text and CDATA together", head + "Trade <![CDATA[Balance]]> s.a." + tail,
       "Trade Balance s.a."},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> calls = feed_calls(c.bytes, PageOptions{});
    ASSERT_EQ(calls.size(), 3u) << c.what;
    EXPECT_EQ(calls[1], "2024-03-12 09:00 EUR|" + std::string(c.title) + "|L|1|142||1|||")
        << c.what;
  }
}

TEST(FeedReader, MalformedFeedsNameTheLine) {
  const std::string event =
      "<event><title>X</title><country>USD</country><date>03-12-2024</date></event>\n";
  struct Case {
    const char* what;
    std::string bytes;
    const char* problem;
  } cases[] = {
      {"mismatched end tag",
       "<?xml version=\"1.0\"?>\n<weeklyevents>\n" + event + "<event><title>X</titl>\n",
       "line 4: the feed is not well-formed XML (Start-end tags mismatch)"},
      {"cut short", "<weeklyevents>\n" + event + event + "<event><title>Cut",
       "line 4: the feed is not well-formed XML (Start-end tags mismatch)"},
      {"a declaration only", "<?xml version=\"1.0\"?>\n\n",
       "line 3: the feed holds no XML element"},
      {"another root", "<?xml version=\"1.0\"?>\n<rss>\n" + event + "</rss>\n",
       "line 2: the feed's root element is <rss>, not <weeklyevents>"},
      {"no events", "<?xml version=\"1.0\"?>\n<weeklyevents>\n</weeklyevents>\n",
       "line 2: the feed holds no events"},
      {"no events, one element", "<weeklyevents/>", "line 1: the feed holds no events"},
      {"an event without a date",
       "<weeklyevents>\n" + event + "<event>\n<title>No date</title>\n</event>\n</weeklyevents>",
       "line 3: an event without a date"},
      {"an empty date",
       "<weeklyevents>\n" + event + event + "<event><date/></event>\n</weeklyevents>",
       "line 4: an event without a date"},
      {"a date in another form",
       "<weeklyevents>\n<event>\n<date>2024-03-12</date></event>\n</weeklyevents>",
       "line 3: an event dated \"2024-03-12\", not MM-DD-YYYY"},
      {"dates more than two months apart",
       "<weeklyevents>\n<event><date>03-12-2024</date></event>\n"
       "<event><date>01-01-2000</date></event>\n</weeklyevents>",
       "line 3: the events run from 01-01-2000 to 03-12-2024: more than two months, not a weekly "
       "feed"},
      {"a day the month does not have",
       "<weeklyevents>\n<event>\n<date>02-30-2024</date></event>\n</weeklyevents>",
       "line 3: an event dated \"02-30-2024\", not MM-DD-YYYY"},
  };
  for (const Case& c : cases) {
    const FeedWeek week = parse_feed(c.bytes, PageOptions{});
    ASSERT_TRUE(week.problem) << c.what;
    EXPECT_EQ("line " + std::to_string(week.problem->line) + ": " + week.problem->text, c.problem)
        << c.what;
    EXPECT_TRUE(week.events.empty()) << c.what;
  }
}

TEST(FeedReader, ToldFromAPageByItsContent) {
  struct Case {
    std::string head;
    bool feed;
  } cases[] = {
      {"<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<weeklyevents>", true},
      {"\r\n  <weeklyevents>\n<event>", true},
      {"\xEF\xBB\xBF<?xml version=\"1.0\"?><!-- exported --><weeklyevents>", true},
      {std::string("\xFF\xFE<\0w\0e\0e\0k\0l\0y\0e\0v\0e\0n\0t\0s\0>\0", 28), true},
      {"<?xml version=\"1.0\"?>\n<rss version=\"2.0\">", true},  // read, and refused as a feed
      {"<?xml version=\"1.0\"?>", true},
      {"<!DOCTYPE html>\n<html><head>", false},
      {"<?xml version=\"1.0\"?>\n<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0//EN\">\n<html>",
       false},
      {"<html><body><table>", false},
      {"<tr><td class=\"date\"><span>Sun</span>Jan 7</td>", false},
      {"", false},
      {"Sun Jan 7 weeklyevents", false},
  };
  for (const Case& c : cases) EXPECT_EQ(looks_like_feed(c.head), c.feed) << c.head;
}

// Through the Event History: a malformed feed keeps the week as it was, a sound one replaces it.
TEST(FeedReader, FileIntoTheHistory) {
  const std::int32_t mar12 = *date_serial(2024, 3, 12);
  FeedItem cpi;
  cpi.title = "CPI m/m";
  const std::string good = test::feed({cpi});
  const std::string bad = good.substr(0, good.size() - 20);
  struct Case {
    const char* what;
    std::string bytes;
    std::deque<Answer> answers;
    std::vector<std::string> stored;
    std::vector<std::string> stops;
  };
  const std::vector<Case> cases = {
      {"a sound feed", good, {}, {"2024-03-09 before", "2024-03-12 CPI m/m"}, {}},
      {"a malformed feed, Ignore",
       bad,
       {},
       {"2024-03-09 before", "2024-03-11 stored"},
       {"Read(feed.xml) - line 12: the feed is not well-formed XML (Start-end tags mismatch)"}},
      {"a malformed feed, Abort",
       bad,
       {Answer::Abort},
       {"2024-03-09 before", "2024-03-11 stored"},
       {"Read(feed.xml) - line 12: the feed is not well-formed XML (Start-end tags mismatch)"}},
  };
  for (const Case& c : cases) {
    test::HistoryFolder run(mar12);
    for (const auto& [date, descr] : {std::pair{mar12 - 3, "before"}, {mar12 - 1, "stored"}}) {
      run.calendar.rec = CalendarRecord{};
      run.calendar.rec.date = date;
      run.calendar.rec.descr = descr;
      ASSERT_TRUE(run.calendar.add().is_ok());
    }
    test::write_file(run.dir / "feed.xml", c.bytes);
    run.reporter.stop_answers = c.answers;
    NoProgress p;
    {
      EventHistory history(run.calendar, run.reporter, p, run.count1, 0);
      try {
        read_calendar_file(run.dir / "feed.xml", "feed.xml", PageOptions{}, history, run.reporter,
                           p, run.count1);
        EXPECT_TRUE(c.answers.empty()) << c.what;
      } catch (const Aborted&) {
        EXPECT_FALSE(c.answers.empty()) << c.what;
      }
    }
    run.calendar.close();
    EXPECT_EQ(test::stored_descriptions(run.dir.path()), c.stored) << c.what;
    EXPECT_EQ(run.reporter.stops, c.stops) << c.what;
  }
}

TEST(FeedReader, PagesStillGoToThePageReader) {
  test::ScriptedReporter r;
  NoProgress p;
  std::int64_t count1 = 0;
  test::RecordingSink sink;
  PageOptions o;
  o.request_date = *date_serial(2007, 1, 8);
  read_calendar_file(test::data_dir() / "import" / "week_2007_01_08.htm", "truneout", o, sink, r, p,
                     count1);
  EXPECT_TRUE(r.stops.empty());
  ASSERT_GT(sink.calls.size(), 2u);
  EXPECT_EQ(sink.calls.front(), "delete_week 2007-01-08");

  test::TempDir dir;
  read_calendar_file(dir / "missing", "truneout", o, sink, r, p, count1);
  ASSERT_EQ(r.stops.size(), 1u);
  EXPECT_EQ(r.stops[0].substr(0, 16), "Open(truneout) -");
}

}  // namespace
}  // namespace mervane
