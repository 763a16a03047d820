#include "core/import/page_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/import/page_row.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "tests/import/page_support.h"
#include "tests/support/paths.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

using test::first_row;
using test::page_row;
using test::read_page;
using test::RowSpec;

std::vector<std::string> lines_of(const std::filesystem::path& p) {
  std::ifstream in(p);
  std::vector<std::string> out;
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

const std::int32_t k8Jan2007 = *date_serial(2007, 1, 8);
const std::int32_t k30Dec2007 = *date_serial(2007, 12, 30);

PageOptions options(bool all, std::int32_t request_date = k8Jan2007) {
  PageOptions o;
  o.nonecon = o.incut = o.incuv = o.cnvfmt = all;
  o.request_date = request_date;
  return o;
}

// The events of a page holding one row, on Monday 8 January 2007.
std::vector<PageEvent> events_of_row(const RowSpec& r, const PageOptions& o) {
  test::RecordingSink sink;
  PageReader reader(o, sink);
  reader.line(first_row("Mon", "Jan 8", r));
  reader.end();
  return sink.events;
}

class CountingProgress : public Progress {
 public:
  std::vector<std::pair<std::string, std::int64_t>> reports;
  std::vector<std::string> notes;
  void report(std::string_view counter, std::int64_t value) override {
    reports.emplace_back(counter, value);
  }
  void note(std::string_view text) override { notes.emplace_back(text); }
};

// Whole synthetic pages read from their files, compared with the expected calls line by line.
TEST(PageReader, GoldenPages) {
  struct Case {
    const char* page;
    PageOptions options;
    const char* expected;
  } cases[] = {
      {"week_2007_01_08.htm", options(false), "week_2007_01_08.plain.txt"},
      {"week_2007_01_08.htm", options(true), "week_2007_01_08.all.txt"},
      // UTF-8 with CR LF line ends, across the year end.
      {"week_2007_12_30.htm", options(false, k30Dec2007), "week_2007_12_30.txt"},
  };
  for (const Case& c : cases) {
    test::RecordingSink sink;
    test::ScriptedReporter reporter;
    NoProgress progress;
    std::int64_t count1 = 0;
    proc_hist(test::data_dir() / "import" / c.page, c.options, sink, reporter, progress, count1);
    EXPECT_TRUE(reporter.stops.empty()) << c.page;
    EXPECT_EQ(sink.calls, lines_of(test::data_dir() / "import" / c.expected)) << c.expected;
    EXPECT_EQ(count1,
              static_cast<std::int64_t>(lines_of(test::data_dir() / "import" / c.page).size()))
        << c.page;
  }
}

TEST(PageReader, TimeCells) {
  struct Case {
    const char* cell;
    bool incut;
    const char* time;   // empty: the row is dropped
    const char* descr;  // the description stored
  } cases[] = {
      {"8:30am", false, "08:30", "Event"},
      {"12:00am", false, "00:00", "Event"},
      {"12:05am", false, "00:05", "Event"},
      {"12:15pm", false, "12:15", "Event"},
      {"1:05pm", false, "13:05", "Event"},
      {"11:59pm", false, "23:59", "Event"},
      {"14:30", false, "14:30", "Event"},
      {"8:30", false, "08:30", "Event"},
      {"08:30PM", false, "08:30", "Event"},  // upper-case marks are only cut
      {"00:30am", false, "00:30", "Event"},  // not in the 12-hour table
      {"13:00pm", false, "13:00", "Event"},
      {"8:30a", false, "08:30a", "Event"},  // six characters: neither converted nor cut
      {" 9 : 15 am ", false, "09:15", "Event"},
      {"Tentative", true, "00:01", "Event <<Tentative>>"},
      {"Tentative", false, "", ""},
      {"All Day", true, "00:01", "Event <<AllDay>>"},
      {"", true, "00:01", "Event <<>>"},
      {"", false, "", ""},
  };
  for (const Case& c : cases) {
    RowSpec r;
    r.time = c.cell;
    PageOptions o = options(false);
    o.incut = c.incut;
    const auto calls = read_page({first_row("Mon", "Jan 8", r)}, o);
    if (*c.time == 0) {
      EXPECT_EQ(calls.size(), 2u) << c.cell;  // delete_week, page_done
      continue;
    }
    ASSERT_EQ(calls.size(), 3u) << c.cell;
    EXPECT_EQ(calls[1], std::string("2007-01-08 ") + c.time + " USD|" + c.descr + "|H|3|140|1||||")
        << c.cell;
  }
}

TEST(PageReader, CurrencyCells) {
  struct Case {
    const char* cell;
    bool cnvfmt;
    const char* currency;
    int symbol;
    const char* descr;
  } cases[] = {
      {"ALL", false, "ALL", 139, "Event"},       {"USD", false, "USD", 140, "Event"},
      {"CAD", false, "CAD", 141, "Event"},       {"EUR", false, "EUR", 142, "Event"},
      {"GBP", false, "GBP", 143, "Event"},       {"CHF", false, "CHF", 144, "Event"},
      {"JPY", false, "JPY", 145, "Event"},       {"AUD", false, "AUD", 146, "Event"},
      {"NZD", false, "NZD", 147, "Event"},       {"usd", false, "USD", 140, "Event"},
      {"CNY", false, "CNY", 148, "Event"},       {"XX", false, "XX", 0, "Event"},
      {"ABCD", false, "ABCD", 0, "Event"},       {" USD", false, " USD", 0, "Event"},
      {"GER", false, "GER", 148, "Event"},       {"GER", true, "EUR", 142, "German Event"},
      {"ger", true, "EUR", 142, "German Event"}, {"UK", true, "GBP", 143, "Event"},
      {"E-12", true, "EUR", 142, "Event"},       {"USA", true, "USD", 140, "Event"},
      {"NZ", true, "NZD", 147, "Event"},         {"NZD", true, "NZD", 147, "Event"},
      {"AUS", true, "AUD", 146, "Event"},        {"CAN", true, "CAD", 141, "Event"},
      {"JPN", true, "JPY", 145, "Event"},
  };
  for (const Case& c : cases) {
    RowSpec r;
    r.ccy = c.cell;
    PageOptions o = options(false);
    o.cnvfmt = c.cnvfmt;
    const auto events = events_of_row(r, o);
    ASSERT_EQ(events.size(), 1u) << c.cell;
    EXPECT_EQ(events[0].currency, c.currency) << c.cell;
    EXPECT_EQ(events[0].symbol, c.symbol) << c.cell;
    EXPECT_EQ(events[0].descr, c.descr) << c.cell;
  }
}

TEST(PageReader, ImpactAndValues) {
  struct Case {
    const char* impact;  // title text(s) of the impact cell
    const char* actual;
    bool nonecon, incuv;
    char letter;  // 0: dropped
  } cases[] = {
      {"Low Impact Expected", "1", false, false, 'L'},
      {"Medium Impact Expected", "1", false, false, 'M'},
      {"High Impact Expected", "1", false, false, 'H'},
      {"Non-Economic", "1", false, false, 0},
      {"Non-Economic", "1", true, false, 'L'},
      {"Holiday", "1", true, true, 0},
      {"High Impact Expected", "", false, false, 0},
      {"High Impact Expected", "", false, true, 'H'},
      {"High Impact Expected", " ", false, false, 0},  // a blank cell holds nothing
  };
  for (const Case& c : cases) {
    RowSpec r;
    r.impact = c.impact;
    r.actual = c.actual;
    PageOptions o = options(false);
    o.nonecon = c.nonecon;
    o.incuv = c.incuv;
    const auto events = events_of_row(r, o);
    ASSERT_EQ(events.size(), c.letter ? 1u : 0u) << c.impact << "/" << c.actual;
    if (c.letter) {
      EXPECT_EQ(events[0].impact, c.letter);
      EXPECT_EQ(events[0].color, c.letter == 'L' ? '1' : c.letter == 'M' ? '2' : '3');
    }
  }
}

// The decoder on texts from the page, and against its definition through the helpers.
TEST(PageReader, StripTokens) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"S&amp;P 500", "S+P 500"},
      {"Non&nbsp;Farm", "NonFarm"},
      {"&amp;lt;", "+lt;"},
      {"&lt;0.1%", "<0.1%"},
      {"&gt;5", ">5"},
      {"&quot;Beige&quot; Book", "\"Beige\" Book"},
      {"&circ;&tilde;", "^~"},
      {"5&#37;", "5"},
      {"Core_CPI", "Core CPI"},
      {"A & B", "A"},  // an "&" without ";" after it drops the rest
      {"  lead", "  lead"},
      {"x&;y", "xy"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(strip_tokens(c.in), c.out) << c.in;
  EXPECT_EQ(strip_tokens(std::string(59, 'a') + "bc"), std::string(59, 'a') + "b");

  // STRIP_TOKENS is SREP for each entity in turn, then TO_, the removal, and FROM_.
  const std::string alphabet = "&amp;ltgquocirend _x";
  std::uint32_t seed = 12345;
  for (int n = 0; n < 20000; ++n) {
    std::string s;
    const int len = static_cast<int>((seed >> 8) % 40);
    for (int i = 0; i < len; ++i) {
      seed = seed * 1103515245u + 12345u;
      s += alphabet[(seed >> 16) % alphabet.size()];
    }
    std::string t = s;
    for (auto [e, r] : {std::pair{"&amp;", "+"},
                        {"&lt;", "<"},
                        {"&gt;", ">"},
                        {"&quot;", "\""},
                        {"&circ;", "^"},
                        {"&tilde;", "~"}})
      t = srep(e, t, r);
    t = to_(t);
    std::string kept;
    for (std::size_t i = 0; i < t.size(); ++i) {
      if (t[i] != '&') {
        kept += t[i];
        continue;
      }
      const std::size_t semi = t.find(';', i + 1);
      if (semi == std::string::npos) break;
      i = semi;
    }
    ASSERT_EQ(strip_tokens(s), from_(kept)) << "[" << s << "]";
  }
}

TEST(PageReader, DaysAndDates) {
  const RowSpec r;
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    std::int32_t request;
    std::vector<std::string> dates;  // "delete_week ..." first, then each event's date
  } cases[] = {
      {"lines before the first marker are dropped",
       {"<title>Jan 2 2007</title>", page_row(r), first_row("Mon", "Jan 8", r)},
       k8Jan2007,
       {"2007-01-08", "2007-01-08"}},
      {"seven markers, seven days",
       {first_row("Sun", "Jan 7", r), first_row("Mon", "", r), first_row("Tue", "", r),
        first_row("Wed", "", r), first_row("Thu", "", r), first_row("Fri", "", r),
        first_row("Sat", "", r)},
       k8Jan2007,
       {"2007-01-07", "2007-01-07", "2007-01-08", "2007-01-09", "2007-01-10", "2007-01-11",
        "2007-01-12", "2007-01-13"}},
      {"a missing day name: every marker is one day on",
       {first_row("Sun", "Jan 7", r), first_row("Tue", "", r), first_row("Tue", "", r)},
       k8Jan2007,
       {"2007-01-07", "2007-01-07", "2007-01-08", "2007-01-09"}},
      {"a first day without a month: the next day dates itself",
       {first_row("Sun", "", r), first_row("Mon", "Jan 8", r), first_row("Tue", "Feb 20", r)},
       k8Jan2007,
       {"2007-01-08", "2007-01-08", "2007-01-09"}},
      {"months in calendar order, not by position",
       {first_row("Sun", "Dec 31 / Jan 7", r)},
       k8Jan2007,
       {"2007-01-07", "2007-01-07"}},
      {"the year of the requested week",
       {first_row("Sun", "Dec 30", r), first_row("Mon", "", r), first_row("Tue", "", r)},
       k30Dec2007,
       {"2007-12-30", "2007-12-30", "2007-12-31", "2008-01-01"}},
      {"day numbers: a blank before the digits, one digit before a tag",
       {first_row("Mon", "Mar  5", r)},
       k8Jan2007,
       {"2007-03-05", "2007-03-05"}},
      {"day 0 is the last day of the month before",
       {first_row("Mon", "Mar x", r)},
       k8Jan2007,
       {"2007-02-28", "2007-02-28"}},
      {"one marker per line, Sun before Sat",
       {"<tr><td><span>Sat</span><span>Sun</span>Jan 7</td>" + page_row(r).substr(4), page_row(r)},
       k8Jan2007,
       {"2007-01-07", "2007-01-07", "2007-01-07"}},
      {"no date on the page", {first_row("Mon", "8 January", r)}, k8Jan2007, {}},
      {"no marker on the page", {"Jan 8", page_row(r)}, k8Jan2007, {}},
      {"an empty page", {}, k8Jan2007, {}},
  };
  for (const Case& c : cases) {
    const auto calls = read_page(c.lines, options(false, c.request));
    std::vector<std::string> dates;
    for (const std::string& call : calls) {
      if (call.rfind("delete_week ", 0) == 0) dates.push_back(call.substr(12));
      if (call[0] >= '0' && call[0] <= '9') dates.push_back(call.substr(0, 10));
    }
    EXPECT_EQ(dates, c.dates) << c.what;
    EXPECT_EQ(calls.back(), "page_done") << c.what;
  }
}

// Limits and broken pages: every scan ends, nothing is read out of bounds (the sanitizers watch
// that), and what lies inside the limits is still read.
TEST(PageReader, BrokenPagesEndSoundly) {
  RowSpec kx;
  kx.detail = "<a onclick=\"Array('detail_load_4711')\"></a>";
  RowSpec open_kx;
  open_kx.detail = "<a onclick=\"Array('detail_load_4712)\"></a>";
  RowSpec open_rev;
  open_rev.previous = "<span title=Revised From 0.1%>0.2%</span>";

  // A KX ID or "Revised From" value without its closing quote is passed over (the field stays
  // at its reset value); the row itself is still finished.
  auto calls = read_page({first_row("Mon", "Jan 8", kx), page_row(open_kx), page_row(open_rev)},
                         options(false));
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[1], "2007-01-08 08:30 USD|Event|H|3|140|1||||4711");
  EXPECT_EQ(calls[2], "2007-01-08 08:30 USD|Event|H|3|140|1||||");
  EXPECT_EQ(calls[3], "2007-01-08 08:30 USD|Event|H|3|140|1||0.2%||");

  // A day longer than the buffer: the rows that end inside the scanned part are read.
  const RowSpec r;
  std::vector<std::string> lines = {first_row("Mon", "Jan 8", r)};
  std::string day = lines[0].substr(lines[0].find(">Mon<") + 1);
  while (day.size() < 100000) {
    lines.push_back(page_row(r));
    day += lines.back();
  }
  std::size_t rows_inside = 0;
  for (std::size_t at = day.find("</tr>"); at != std::string::npos && at + 31 <= 65500;
       at = day.find("</tr>", at + 1))
    ++rows_inside;
  calls = read_page(lines, options(false));
  EXPECT_EQ(calls.size(), rows_inside + 2);
  EXPECT_LT(rows_inside, lines.size());

  // A full buffer that ends inside a text run, and one that ends inside an open quote.
  for (const std::string& tail : {std::string(70000, 'x'), "<a title=\"" + std::string(70000, 'x'),
                                  "Array('detail_load_" + std::string(70000, '9'),
                                  "Revised From " + std::string(70000, '1')}) {
    calls = read_page({first_row("Mon", "Jan 8", r) + "<td>" + tail}, options(false));
    EXPECT_EQ(calls.size(), 3u);
  }

  // A line longer than 9,999 characters reads as several: the marker far into it is found.
  calls = read_page({std::string(12000, ' ') + "x" + first_row("Mon", "Jan 8", r)}, options(false));
  EXPECT_EQ(calls.size(), 3u);
  // A marker cut by the 9,999-character boundary is not one.
  const std::string row = first_row("Mon", "Jan 8", r);
  const std::size_t marker = row.find(">Mon<");
  calls = read_page({std::string(9999 - marker - 2, 'y') + row}, options(false));
  EXPECT_EQ(calls, std::vector<std::string>{"page_done"});
}

// Whether the page reached its calendar table's end in its last day, or had no day at all.
TEST(PageReader, HowThePageEnded) {
  const RowSpec r;
  const std::string day = first_row("Mon", "Jan 8", r);
  std::vector<std::string> long_day = {day};
  for (std::size_t n = 0; n < 70000; n += long_day.back().size()) long_day.push_back(page_row(r));
  auto with = [](std::vector<std::string> lines, std::vector<std::string> more) {
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
  };
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    PageEnd how;
  } cases[] = {
      {"the table's end after the last row", {day, page_row(r), "</table>"}, PageEnd::Whole},
      {"on the row's own line", {day + "</table></body></html>"}, PageEnd::Whole},
      {"split over two lines", {day, "</ta", "ble>"}, PageEnd::Whole},
      {"a whole page whose day holds no event",
       {"<tr><td><span>Mon</span>Jan 8</td></tr>", "</table>"},
       PageEnd::Whole},
      {"cut inside the last row", {day, page_row(r).substr(0, 60)}, PageEnd::CutShort},
      {"cut after a day: an earlier day's table end does not count",
       {day + "</table>", first_row("Tue", "", r)},
       PageEnd::CutShort},
      {"a last day longer than the day buffer, its end beyond it", with(long_day, {"</table>"}),
       PageEnd::Whole},
      {"the same, the end split over two lines beyond the buffer", with(long_day, {"</t", "able>"}),
       PageEnd::Whole},
      {"the same, cut before the end", long_day, PageEnd::CutShort},
      {"no month name on the page",
       {first_row("Mon", "8 January", r), "</table>"},
       PageEnd::NoDays},
      {"no day marker: a verification page",
       {"<html><body>Checking your browser</body></html>"},
       PageEnd::NoDays},
      {"an empty page", {}, PageEnd::NoDays},
  };
  for (const Case& c : cases) {
    test::RecordingSink sink;
    PageReader reader(options(false), sink);
    for (const std::string& l : c.lines) reader.line(l);
    EXPECT_EQ(reader.end(), c.how) << c.what;
    EXPECT_EQ(sink.calls.back(), "page_done") << c.what;
  }
}

TEST(PageReader, ProcHistFailures) {
  test::TempDir dir;
  const PageOptions o = options(false);
  NoProgress progress;
  {
    test::RecordingSink sink;
    test::ScriptedReporter reporter;
    std::int64_t count1 = 7;
    proc_hist(dir / "truneout", "truneout", o, sink, reporter, progress, count1);
    EXPECT_EQ(reporter.stops, std::vector<std::string>{"Open(truneout) - File Not Found"});
    EXPECT_TRUE(sink.calls.empty());
    EXPECT_EQ(count1, 7);
  }
  {
    test::RecordingSink sink;
    test::ScriptedReporter reporter;
    reporter.stop_answers.push_back(Answer::Abort);
    std::int64_t count1 = 0;
    EXPECT_THROW(proc_hist(dir / "missing.htm", o, sink, reporter, progress, count1), Aborted);
    EXPECT_EQ(reporter.stops.size(), 1u);
    EXPECT_EQ(reporter.stops[0].rfind("Open(", 0), 0u);
  }
}

TEST(PageReader, ProcHistProgressAndCharacterSets) {
  test::TempDir dir;
  RowSpec utf8;
  utf8.descr = "Z\xC3\xBCrich \xE2\x82\xAC";  // valid UTF-8
  RowSpec cp1252;
  cp1252.descr = "Z\xFCrich \x80";  // not UTF-8: taken as it is
  struct Case {
    RowSpec row;
    const char* descr;
  } cases[] = {{utf8, "Z\xFCrich \x80"}, {cp1252, "Z\xFCrich \x80"}, {RowSpec{}, "Event"}};
  for (const Case& c : cases) {
    test::write_file(dir / "truneout", "<html>\n" + first_row("Mon", "Jan 8", c.row) + "\n" +
                                           page_row(c.row) + "\n</table>\n");
    test::RecordingSink sink;
    test::ScriptedReporter reporter;
    CountingProgress progress;
    std::int64_t count1 = 10;
    proc_hist(dir / "truneout", options(false), sink, reporter, progress, count1);
    ASSERT_EQ(sink.events.size(), 2u);
    EXPECT_EQ(sink.events[0].descr, c.descr);
    EXPECT_EQ(count1, 14);
    // The only day is dated when it is scanned: at the end of the page.
    std::vector<std::pair<std::string, std::int64_t>> want = {
        {"COUNT1", 11}, {"COUNT1", 12}, {"COUNT1", 13}, {"COUNT1", 14}, {"CALPROC#", k8Jan2007}};
    EXPECT_EQ(progress.reports, want);
  }
}

}  // namespace
}  // namespace mervane
