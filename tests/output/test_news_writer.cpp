// News.CSV as the indicator reads it: whole files against golden files for the settings that
// change the lines, and the single rules of the line, the filters and the preview.
#include <gtest/gtest.h>

#include <functional>

#include "core/output/event_filter.h"
#include "core/output/news_writer.h"
#include "tests/output/history_fixture.h"
#include "tests/support/paths.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

using test::day;
using test::event;

class NewsWriter : public test::SampleHistory {
 protected:
  // Runs the writer as the Build run does and returns News.CSV.
  std::string write_news(const BuildSettings& s) {
    write(s);
    return test::read_file(dir / "News.CSV");
  }
};

TEST_F(NewsWriter, WholeFilesMatchTheGoldenFiles) {
  struct Case {
    const char* golden;
    std::function<void(BuildSettings&)> set;
  };
  const Case cases[] = {
      {"news_default.csv", [](BuildSettings&) {}},
      {"news_label24.csv",
       [](BuildSettings& s) {
         s.offset2 = 3;
         s.off2fmt = 1;
         s.check1 = 1;
         s.descfirst = 2;
         s.spacing1 = 15;
         s.checkh4 = s.checkd1 = s.checkw1 = s.checkmn = 1;
       }},
      {"news_label12_kxid.csv",
       [](BuildSettings& s) {
         s.offset2 = -9;
         s.off2fmt = 0;
         s.descfirst = 3;
         s.cldrfmt = 2;
         s.spacing1 = 240;
       }},
      {"news_filters.csv",
       [](BuildSettings& s) {
         s.symusd = -1;  // keeps the stored symbol
         s.symotr = 0;   // drops XAU
         s.symcad = 0;
         s.symlow = -1;
         s.symmed = 0;
         s.symhigh = 11;
         s.descr1 = "CPI|~CORE";
         s.descr2 = "~RATE|EMPLOY";
         s.descr4 = "speaks";  // lower case never matches
       }},
      {"news_actual_only.csv",
       [](BuildSettings& s) {
         s.check2 = 1;
         s.descfirst = 4;
         s.thrudate = test::day(2008, 3, 8);
         s.checkm1 = s.checkm5 = s.checkm15 = s.checkm30 = s.checkh1 = 0;
         s.checkd1 = s.checkw1 = 1;
       }},
  };
  for (const Case& c : cases) {
    BuildSettings s = test::sample_settings(dir.path());
    c.set(s);
    EXPECT_EQ(write_news(s), test::read_file(test::data_dir() / "output" / c.golden)) << c.golden;
  }
  EXPECT_TRUE(rep.stops.empty());
}

TEST_F(NewsWriter, CountsEveryRecordReadIncludingTheOneAfterTheRange) {
  BuildSettings s = test::sample_settings(dir.path());
  s.symgbp = 0;
  write_news(s);
  // Friday to Monday hold eight events; the Wednesday one is read and ends the loop.
  EXPECT_EQ(count1, 9);
}

TEST_F(NewsWriter, SlotPositionsFollowTheDefaultChart) {
  test::TempDir other;
  const std::int32_t fri = day(2008, 3, 7);
  test::store(other.path(), {event(fri, 8, 30, "USD", "A", "H"), event(fri, 8, 30, "USD", "B", "H"),
                             event(fri, 8, 45, "USD", "C", "H")});
  struct Case {
    std::int16_t spacing;
    const char* positions;
  };
  for (const Case c : {Case{15, "121"}, Case{60, "123"}, Case{1, "121"}, Case{0, "123"}}) {
    BuildSettings s = test::sample_settings(other.path());
    s.spacing1 = c.spacing;  // 0 cannot come from the window or a settings file; it counts as 60
    Table<CalendarTable> cal(other.path());
    ASSERT_TRUE(cal.open().is_ok());
    OutputFile news(rep, other / "News.CSV", "News.CSV", "Add");
    news.create();
    out_news(cal, s, NewsTargets{false, &news, nullptr}, session, rep, progress, count1);
    news.close();
    std::string got;
    const std::string file = test::read_file(other / "News.CSV");
    for (std::size_t p = 0; p < file.size(); p = file.find('\n', p) + 1)
      got += file[file.find(';', p) + 1];  // the second field of each line
    EXPECT_EQ(got, c.positions) << c.spacing;
  }
}

TEST(NewsLine, PartsOfOneLine) {
  const std::int32_t fri = day(2008, 3, 7);
  BuildSettings base = built_in_defaults(fri, "/w").b;
  struct Case {
    const char* what;
    CalendarRecord rec;
    std::function<void(BuildSettings&)> set;
    std::int64_t count1;
    const char* line;
  };
  const Case cases[] = {
      {"label across midnight keeps the MT4 date", event(fri, 22, 30, "USD", "X", "H", "1"),
       [](BuildSettings& s) {
         s.offset2 = 3;
         s.off2fmt = 1;
       },
       1, "2008.03.07 22:30;1;140;3;ALL;111110000;22:30 USD H \"X\" 1001;[Sat 01:30] A: 1"},
      {"12-hour label of a morning", event(fri, 9, 5, "USD", "X", "H", "1"),
       [](BuildSettings& s) { s.offset2 = -2; }, 1,
       "2008.03.07 09:05;1;140;3;ALL;111110000;09:05 USD H \"X\" 1001;[Fri 7:05am] A: 1"},
      {"only a forecast", event(fri, 8, 30, "USD", "X", "H", "", "45K"), [](BuildSettings&) {}, 4,
       "2008.03.07 08:30;1;140;3;ALL;111110000;08:30 USD H \"X\" 1004;A:  | F: 45K"},
      {"only a revised-from value gives no values part",
       event(fri, 8, 30, "USD", "X", "H", "", "", "", "9"), [](BuildSettings&) {}, 1,
       "2008.03.07 08:30;1;140;3;ALL;111110000;08:30 USD H \"X\" 1001;"},
      {"revised-from inside the values part", event(fri, 8, 30, "USD", "X", "H", "1", "", "2", "3"),
       [](BuildSettings&) {}, 1,
       "2008.03.07 08:30;1;140;3;ALL;111110000;08:30 USD H \"X\" 1001;A: 1 | P: 2 | R: 3"},
      {"description first", event(fri, 8, 30, "USD", "Unemployment Rate", "H"),
       [](BuildSettings& s) { s.descfirst = 4; }, 1,
       "2008.03.07 08:30;1;140;3;ALL;111110000;\"Unemployment Rate\" 2008.03.07 USD H 1001;"},
      {"DESCFIRST outside 1..4 is time first", event(fri, 8, 30, "USD", "X", "H"),
       [](BuildSettings& s) { s.descfirst = 9; }, 1,
       "2008.03.07 08:30;1;140;3;ALL;111110000;08:30 USD H \"X\" 1001;"},
      {"KX ID as line id", event(fri, 8, 30, "USD", "X", "H", "", "", "", "", "27811"),
       [](BuildSettings& s) { s.cldrfmt = 2; }, 1,
       "2008.03.07 08:30;1;140;3;ALL;111110000;08:30 USD H \"X\" 27811;"},
      {"KX ID only with format 2", event(fri, 8, 30, "USD", "X", "H", "", "", "", "", "27811"),
       [](BuildSettings& s) { s.cldrfmt = 1; }, 1,
       "2008.03.07 08:30;1;140;3;ALL;111110000;08:30 USD H \"X\" 1001;"},
      {"description cut to 40 after its leading blanks",
       event(fri, 8, 30, "USD", "   0123456789012345678901234567890123456789ABC", "H"),
       [](BuildSettings&) {}, 1,
       "2008.03.07 08:30;1;140;3;ALL;111110000;08:30 USD H "
       "\"0123456789012345678901234567890123456789\" 1001;"},
      {"empty and four-letter currencies keep their symbols", event(fri, 8, 30, "", "X", "Q"),
       [](BuildSettings&) {}, 1, "2008.03.07 08:30;1;77;5;ALL;111110000;08:30  Q \"X\" 1001;"},
      {"chart currency", event(fri, 8, 30, "EURO", "X", "L"),
       [](BuildSettings& s) { s.check1 = 1; }, 1,
       "2008.03.07 08:30;1;77;1;EURO;111110000;08:30 EURO L \"X\" 1001;"},
      {"other currency with its symbol", event(fri, 8, 30, "XAU", "X", "L"),
       [](BuildSettings& s) { s.symotr = 140; }, 1,
       "2008.03.07 08:30;1;140;1;ALL;111110000;08:30 XAU L \"X\" 1001;"},
  };
  for (const Case& c : cases) {
    BuildSettings s = base;
    c.set(s);
    EXPECT_EQ(news_line(s, c.rec, 1, c.count1), c.line) << c.what;
  }
}

TEST(EventFilter, CurrencyAndImpactRules) {
  const std::int32_t fri = day(2008, 3, 7);
  const BuildSettings base = built_in_defaults(fri, "/w").b;
  struct Case {
    const char* what;
    CalendarRecord rec;
    std::function<void(BuildSettings&)> set;
    bool passes;
  };
  const Case cases[] = {
      {"USD with 0 is left out", event(fri, 1, 0, "USD", "X", "H"),
       [](BuildSettings& s) { s.symusd = 0; }, false},
      {"USD with -1 stays", event(fri, 1, 0, "USD", "X", "H"),
       [](BuildSettings& s) { s.symusd = -1; }, true},
      {"XAU with Other 0 is left out", event(fri, 1, 0, "XAU", "X", "H"),
       [](BuildSettings& s) { s.symotr = 0; }, false},
      {"lower-case usd is another currency", event(fri, 1, 0, "usd", "X", "H"),
       [](BuildSettings& s) { s.symotr = 0; }, false},
      {"an empty currency is never left out", event(fri, 1, 0, "", "X", "H"),
       [](BuildSettings& s) { s.symotr = s.symall = 0; }, true},
      {"a four-letter code is never left out", event(fri, 1, 0, "EURO", "X", "H"),
       [](BuildSettings& s) { s.symotr = s.symeur = 0; }, true},
      {"ALL with 0 is left out", event(fri, 1, 0, "ALL", "X", "H"),
       [](BuildSettings& s) { s.symall = 0; }, false},
      {"low impact with 0 is left out", event(fri, 1, 0, "USD", "X", "L"),
       [](BuildSettings& s) { s.symlow = 0; }, false},
      {"other impact letters are never left out", event(fri, 1, 0, "USD", "X", "Z"),
       [](BuildSettings& s) { s.symlow = s.symmed = s.symhigh = 0; }, true},
      {"no actual with CHECK2", event(fri, 1, 0, "USD", "X", "H", "", "1"),
       [](BuildSettings& s) { s.check2 = 1; }, false},
  };
  for (const Case& c : cases) {
    BuildSettings s = base;
    c.set(s);
    EXPECT_EQ(passes_filters(s, c.rec), c.passes) << c.what;
  }
}

TEST(EventFilter, DescriptionFilters) {
  struct Case {
    const char* filter;
    const char* descr;
    bool match;
  };
  const Case cases[] = {
      {"CPI", "CPI m/m", true},
      {"CPI", "Core CPI y/y", true},
      {"cpi", "CPI m/m", false},
      {"~CPI", "CPI m/m", false},
      {"~CPI", "GDP q/q", true},
      {"CPI|~CORE", "CPI m/m", true},
      {"CPI|~CORE", "Core CPI y/y", false},
      {"NON FARM", "Nonfarm Payrolls", true},
      {"NON FARM", "Non-Farm Payrolls", false},
      {"RETAIL|SALES", "Retail Sales m/m", true},
      {"RETAIL|SALES", "Retail Trade", false},
      {"~A|~B", "C", true},
      {"~A|~B", "B", false},
      {"~", "anything", true},
  };
  for (const Case& c : cases) {
    bool match = true;
    proc_descr(c.filter, c.descr, match);
    EXPECT_EQ(match, c.match) << c.filter << " / " << c.descr;
  }
  bool unchanged = false;
  proc_descr("   ", "CPI", unchanged);
  EXPECT_FALSE(unchanged) << "an empty filter leaves the flag as it was";
}

TEST_F(NewsWriter, PreviewFillsPviewAndWritesNoFile) {
  BuildSettings s = test::sample_settings(dir.path());
  s.symmed = 0;
  s.symall = 200;
  test::write_file(dir / "News.CSV", "old\r\n");
  Table<CalendarTable> cal(dir.path());
  ASSERT_TRUE(cal.open().is_ok());
  // PVIEW holds an earlier preview's rows, which go.
  {
    Table<PviewTable> pv(dir.path());
    ASSERT_TRUE(pv.create().is_ok());
    ASSERT_TRUE(pv.open().is_ok());
    pv.rec.date = 1;
    pv.rec.descr = "stale";
    ASSERT_TRUE(pv.add().is_ok());
  }
  out_news(cal, s, NewsTargets{true, nullptr, nullptr}, session, rep, progress, count1);
  EXPECT_EQ(test::read_file(dir / "News.CSV"), "old\r\n");

  Table<PviewTable> pv(dir.path());
  ASSERT_TRUE(pv.open(OpenMode::read_only()).is_ok());
  ASSERT_TRUE(pv.set_start(PviewKey::KeyDate).is_ok());
  std::vector<std::string> got;
  while (pv.next().is_ok()) {
    got.push_back(pv.rec.descr.str());
    if (pv.rec.descr == "Gold Fixing") {
      EXPECT_EQ(pv.rec.time, tod(1, 0)) << "MT4 time, as stored";
      EXPECT_EQ(pv.rec.actual, "950");
    }
  }
  const std::vector<std::string> want = {"Non-Farm Employment Change", "Unemployment Rate",
                                         "ECB President Speaks", "Gold Fixing", "CPI m/m"};
  EXPECT_EQ(got, want);
  EXPECT_TRUE(rep.stops.empty());
}

}  // namespace
}  // namespace mervane
