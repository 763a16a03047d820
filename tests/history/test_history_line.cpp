#include "core/history/history_line.h"

#include <gtest/gtest.h>

#include "core/util/dates.h"
#include "core/util/helpers.h"

namespace mervane {
namespace {

CalendarRecord event(std::int32_t date, std::int32_t time, std::string_view ccy,
                     std::string_view descr) {
  CalendarRecord r;
  r.date = date;
  r.time = time;
  r.currency = ccy;
  r.descr = descr;
  return r;
}

const std::int32_t k7Mar2009 = *date_serial(2009, 3, 7);

TEST(HistoryLine, WritesTheFixedLayout) {
  const std::string blank = history_line(event(k7Mar2009, tod(7, 5), "USD", ""));
  EXPECT_EQ(blank, R"("2009-03-07","07:05","USD","","","","","","","","","","")");
  EXPECT_EQ(blank.size(), 56u);

  CalendarRecord full = event(k7Mar2009, tod(8, 30), "USD", "CPI m/m");
  full.impact = "H";
  full.actual = "0.4%";
  full.forecast = "0.3%";
  full.previous = "0.2%";
  full.symbol = "140";
  full.color = "3";
  full.spacing = "1";
  full.kxidcode = "12345";
  EXPECT_EQ(
      history_line(full),
      R"("2009-03-07","08:30","USD","CPI m/m","H","0.4%","0.3%","0.2%","","140","3","1","12345")");
}

TEST(HistoryLine, DoublesQuotesInsideFields) {
  CalendarRecord r = event(k7Mar2009, tod(7, 5), "USD", "Fed Chair \"Bernanke\" Speaks");
  r.actual = "\"";
  EXPECT_EQ(
      history_line(r),
      R"("2009-03-07","07:05","USD","Fed Chair ""Bernanke"" Speaks","","""","","","","","","","")");
}

TEST(HistoryLine, TimeText) {
  struct Case {
    std::int32_t time;
    const char* text;
  } cases[] = {
      {tod(0, 0), "00:00"},   {tod(7, 5), "07:05"},
      {tod(23, 59), "23:59"}, {tod(7, 5, 30), "07:05"},  // seconds are not kept
      {0, "--:--"},  // no time of day: same width, so the positions stay
  };
  for (const Case& c : cases) {
    const std::string line = history_line(event(k7Mar2009, c.time, "EUR", "x"));
    EXPECT_EQ(line.substr(14, 5), c.text) << c.time;
    EXPECT_EQ(line.substr(22, 3), "EUR") << c.time;
    EXPECT_EQ(line.substr(28, 1), "x") << c.time;
  }
}

TEST(HistoryLine, RoundTrips) {
  CalendarRecord wide = event(*date_serial(1999, 12, 31), tod(23, 59), "JPY", std::string(50, 'd'));
  wide.impact = "L";
  wide.actual = "1234567890";
  wide.forecast = "-0.1%";
  wide.previous = "9.9B";
  wide.revisedfrom = "9.8B";
  wide.symbol = "145";
  wide.color = "11";
  wide.spacing = "1234";
  wide.kxidcode = "999999";
  CalendarRecord untimed = event(*date_serial(2026, 1, 4), 0, "GBP", "Bank Holiday <<AllDay>>");
  untimed.impact = "L";
  // No currency and no description: the currency's closing quote is followed by ",""," as a
  // three-letter one would be.
  CalendarRecord commas = event(k7Mar2009, tod(8, 30), "", "");
  commas.impact = ",";
  commas.actual = "3";
  // Quotes anywhere, even where they would look like the separators between fields.
  CalendarRecord quotes = event(k7Mar2009, tod(8, 30), "\"", "Fed Chair \"Bernanke\" Speaks");
  quotes.actual = "\"\"";
  quotes.forecast = "\",\"";
  quotes.kxidcode = "\"";
  CalendarRecord ends = event(k7Mar2009, tod(8, 30), "USD", "\"Quoted\"");
  ends.previous = "x\"";
  const CalendarRecord cases[] = {
      event(k7Mar2009, tod(7, 5), "USD", ""),
      wide,
      untimed,
      event(*date_serial(2040, 2, 29), tod(0, 0), "CAD", "after 2038, leap day"),
      event(*date_serial(2009, 3, 7), tod(12, 0), "NZ", "two-letter currency"),
      event(*date_serial(2009, 3, 7), tod(12, 0), "ABCD", "four-letter currency"),
      event(*date_serial(2009, 3, 7), tod(12, 0), "", "no currency"),
      event(0, tod(1, 0), "ALL", "day 0"),
      commas,
      quotes,
      ends,
  };
  for (const CalendarRecord& r : cases) {
    CalendarRecord back;
    back.descr = "stale";
    ASSERT_TRUE(read_history_line(history_line(r), back)) << history_line(r);
    EXPECT_EQ(back, r) << history_line(r);
  }
}

TEST(HistoryLine, ReadsWhatTheLineHolds) {
  struct Case {
    const char* line;
    const char* descr;
    const char* impact;
    const char* kxid;
  } cases[] = {
      // Quotes doubled inside a field, as the writer has them.
      {R"("2009-03-07","07:05","USD","Fed ""hawkish"" talk","H","","","","","140","3","1","7")",
       "Fed \"hawkish\" talk", "H", "7"},
      // Earlier versions wrote them as they were: the quotes do not pair up, so the fields after
      // the description are taken from the right and the description is what lies between.
      {R"("2009-03-07","07:05","USD","Fed "hawkish" talk","H","","","","","140","3","1","7")",
       "Fed \"hawkish\" talk", "H", "7"},
      {R"("2009-03-07","07:05","USD",""Quoted" start, end "quoted"","H","","","","","","","","7")",
       "\"Quoted\" start, end \"quoted\"", "H", "7"},
      {R"("2009-03-07","07:05","USD","a","b","H","","","","","","","","7")", "a\",\"b", "H", "7"},
      // The same, cut short after the impact: read from the left, the later fields blank.
      {R"("2009-03-07","07:05","USD","Fed "hawkish" talk","H")", "Fed ", "w", ""},
      // A line cut off after the impact: the later fields stay blank.
      {R"("2009-03-07","07:05","USD","CPI","M)", "CPI", "", ""},
      {R"("2009-03-07","07:05","USD")", "", "", ""},
      {R"("2009-03-07","07:05")", "", "", ""},
      // CR LF left on the line, fields longer than the record's widths are cut.
      {"\"2009-03-07\",\"07:05\",\"USD\",\"x\",\"HH\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
       "\"1234567\"\r",
       "x", "H", "123456"},
  };
  for (const Case& c : cases) {
    CalendarRecord r;
    ASSERT_TRUE(read_history_line(c.line, r)) << c.line;
    EXPECT_EQ(r.date, k7Mar2009) << c.line;
    EXPECT_EQ(r.time, tod(7, 5)) << c.line;
    EXPECT_EQ(r.descr, c.descr) << c.line;
    EXPECT_EQ(r.impact, c.impact) << c.line;
    EXPECT_EQ(r.kxidcode, c.kxid) << c.line;
  }
}

TEST(HistoryLine, RejectsLinesWithoutDateAndTime) {
  const char* cases[] = {
      "",
      "\"",
      R"("2009-03-07")",
      R"("2009-03-07","07:0)",
      R"("2009-02-29","07:05","USD")",  // not a leap year
      R"("2009-13-01","07:05","USD")",
      R"("2009-03-00","07:05","USD")",
      R"("2009-03-07","24:00","USD")",
      R"("2009-03-07","07:60","USD")",
      R"("2009-03-07"," 7:05","USD")",
      R"("09-03-07","07:05","USD","x")",
      R"(Date,Time,Currency,Description)",
      R"("abcd-ef-gh","ij:kl","USD")",
  };
  for (const char* line : cases) {
    CalendarRecord r;
    r.descr = "stale";
    EXPECT_FALSE(read_history_line(line, r)) << line;
    EXPECT_EQ(r, CalendarRecord{}) << line;
  }
}

}  // namespace
}  // namespace mervane
