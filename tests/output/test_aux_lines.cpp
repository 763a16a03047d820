// The auxiliary item lines: their layout, and their place before the events in News.CSV.
#include <gtest/gtest.h>

#include <functional>

#include "core/output/aux_lines.h"
#include "core/output/news_writer.h"
#include "tests/output/history_fixture.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

using test::day;

SwapoutRecord swap_item() {
  SwapoutRecord r;
  r.rectype = "SWAP";
  r.date = day(2008, 3, 7);
  r.time = tod(23, 59);
  r.spacing = -1;
  r.symbol = 159;
  r.color = 2;
  r.currency = "EURUSD";
  r.m1 = r.m5 = r.m15 = r.m30 = r.h1 = 1;
  r.text1 = "SWAP";
  r.text2 = "buy: 1.25 sell: -2.10";
  return r;
}

TEST(AuxLine, Layout) {
  const BuildSettings base = built_in_defaults(day(2008, 3, 7), "/w").b;
  struct Case {
    const char* what;
    std::function<void(BuildSettings&, SwapoutRecord&)> set;
    const char* line;
  };
  const Case cases[] = {
      {"time first", [](BuildSettings&, SwapoutRecord&) {},
       "2008.03.07 23:59;-1;159;2;EURUSD;111110000;23:59 EURUSD M \"SWAP\" *13;buy: 1.25 sell: "
       "-2.10"},
      {"description first starts with a blank",
       [](BuildSettings& s, SwapoutRecord&) { s.descfirst = 4; },
       "2008.03.07 23:59;-1;159;2;EURUSD;111110000; \"SWAP\" 2008.03.07 EURUSD M *13;buy: 1.25 "
       "sell: -2.10"},
      {"outside 1..4 as time first", [](BuildSettings& s, SwapoutRecord&) { s.descfirst = 7; },
       "2008.03.07 23:59;-1;159;2;EURUSD;111110000;23:59 EURUSD M \"SWAP\" *13;buy: 1.25 sell: "
       "-2.10"},
      {"date first, colour without a level letter",
       [](BuildSettings& s, SwapoutRecord& r) {
         s.descfirst = 2;
         r.color = 7;
       },
       "2008.03.07 23:59;-1;159;7;EURUSD;111110000;2008.03.07 EURUSD  \"SWAP\" *13;buy: 1.25 "
       "sell: -2.10"},
      {"currency first, label across midnight",
       [](BuildSettings& s, SwapoutRecord& r) {
         s.descfirst = 3;
         s.offset2 = 2;
         s.off2fmt = 1;
         r.color = 3;
       },
       "2008.03.07 23:59;-1;159;3;EURUSD;111110000;EURUSD 2008.03.07 H \"SWAP\" *13;[Sat 01:59] "
       "buy: 1.25 sell: -2.10"},
      {"label and no free text",
       [](BuildSettings& s, SwapoutRecord& r) {
         s.offset2 = -1;
         r.text2 = "";
         r.w1 = 1;
       },
       "2008.03.07 23:59;-1;159;2;EURUSD;111110010;23:59 EURUSD M \"SWAP\" *13;[Fri 10:59pm]"},
  };
  for (const Case& c : cases) {
    BuildSettings s = base;
    SwapoutRecord r = swap_item();
    c.set(s, r);
    EXPECT_EQ(aux_line(s, r, 13), c.line) << c.what;
  }
}

class AuxRun : public ::testing::Test {
 protected:
  test::TempDir dir;
  FixedClock clock{day(2008, 3, 11), 1};
  Session session{dir.path(), clock};
  test::ScriptedReporter rep;
  NoProgress progress;
};

TEST_F(AuxRun, ItemsComeFirstAndTheCountGoesOn) {
  test::store(dir.path(), {test::event(day(2008, 3, 7), 8, 30, "USD", "CPI", "H", "1")});
  {
    Table<SwapoutTable> t(dir.path());
    ASSERT_TRUE(t.create().is_ok());
    ASSERT_TRUE(t.open().is_ok());
    t.rec = swap_item();
    ASSERT_TRUE(t.add().is_ok());
    // An item far outside the output range, of a record type that sorts first.
    t.rec = swap_item();
    t.rec.rectype = "SUN";
    t.rec.date = day(2001, 1, 7);
    t.rec.time = tod(0, 0);
    t.rec.text1 = "Sunday";
    t.rec.text2 = "";
    ASSERT_TRUE(t.add().is_ok());
  }
  BuildSettings s = test::sample_settings(dir.path());
  s.inclswaps = 1;
  Table<CalendarTable> cal(dir.path());
  ASSERT_TRUE(cal.open().is_ok());
  OutputFile news(rep, dir / "News.CSV", "News.CSV", "Add");
  ASSERT_TRUE(news.create());
  std::int64_t count1 = 12;  // left by the history update of the same run
  out_aux(session, s, news, rep, progress, count1);
  EXPECT_EQ(count1, 14);
  out_news(cal, s, NewsTargets{false, &news, nullptr}, session, rep, progress, count1);
  news.close();
  EXPECT_EQ(test::read_file(dir / "News.CSV"),
            test::crlf({
                "2001.01.07 00:00;-1;159;2;EURUSD;111110000;00:00 EURUSD M \"Sunday\" *13;",
                "2008.03.07 23:59;-1;159;2;EURUSD;111110000;23:59 EURUSD M \"SWAP\" *14;buy: "
                "1.25 sell: -2.10",
                "2008.03.07 08:30;1;140;3;ALL;111110000;08:30 USD H \"CPI\" 1001;A: 1",
            }));
  EXPECT_TRUE(rep.stops.empty());
}

TEST_F(AuxRun, OffLeavesTheTableAlone) {
  BuildSettings s = test::sample_settings(dir.path());
  s.inclswaps = 0;
  OutputFile news(rep, dir / "News.CSV", "News.CSV", "Add");
  ASSERT_TRUE(news.create());
  std::int64_t count1 = 0;
  out_aux(session, s, news, rep, progress, count1);
  news.close();
  EXPECT_FALSE(file_exists(dir / "SWAPOUT.db"));
  EXPECT_EQ(test::read_file(dir / "News.CSV"), "");
}

TEST_F(AuxRun, AMissingTableIsCreatedButAForeignFileIsKept) {
  BuildSettings s = test::sample_settings(dir.path());
  s.inclswaps = 1;
  std::int64_t count1 = 0;
  {
    OutputFile news(rep, dir / "News.CSV", "News.CSV", "Add");
    ASSERT_TRUE(news.create());
    out_aux(session, s, news, rep, progress, count1);
    news.close();
  }
  EXPECT_TRUE(file_exists(dir / "SWAPOUT.db"));
  EXPECT_TRUE(rep.stops.empty());

  test::TempDir other;
  Session elsewhere{other.path(), clock};
  test::write_file(other / "SWAPOUT.db", "not a table");
  OutputFile news(rep, other / "News.CSV", "News.CSV", "Add");
  ASSERT_TRUE(news.create());
  out_aux(elsewhere, s, news, rep, progress, count1);
  news.close();
  ASSERT_EQ(rep.stops.size(), 1u);
  EXPECT_EQ(rep.stops[0].rfind("Open(SWAPOUT.db) - ", 0), 0u) << rep.stops[0];
  EXPECT_EQ(test::read_file(other / "SWAPOUT.db"), "not a table");
}

}  // namespace
}  // namespace mervane
