// The XML and CSV export: whole files of every kind against golden files, and the rules of its
// values, columns and file name.
#include <gtest/gtest.h>

#include <functional>

#include "core/output/export_writer.h"
#include "core/output/news_writer.h"
#include "tests/output/history_fixture.h"
#include "tests/support/paths.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

using test::day;
using test::event;

class Export : public test::SampleHistory {
 protected:
  // Friday 7 March only, unless the case widens it.
  BuildSettings friday() {
    BuildSettings s = test::sample_settings(dir.path());
    s.thrudate = day(2008, 3, 7);
    s.outxlsname = "export.out";
    return s;
  }

  // The writer with News.CSV and the export, as in the Build run; returns the export file.
  std::string run(const BuildSettings& s, const std::string& file = "export.out") {
    write(s);
    return test::read_file(dir / file);
  }
};

TEST_F(Export, WholeFilesOfEveryKindMatchTheGoldenFiles) {
  struct Case {
    const char* golden;
    std::function<void(BuildSettings&)> set;
  };
  const Case cases[] = {
      {"export_xml.xml",
       [](BuildSettings& s) {
         s.xout = 2;
         s.cldrfmt = 2;
         s.datefmt = "M/";
       }},
      {"export_mirel_events.csv",
       [](BuildSettings& s) {
         s.xout = 4;
         s.sepchar = ",\"";
         s.datefmt = "M/";
         s.cldrfmt = 1;  // the KX ID column is left out although it is on
       }},
      {"export_mirel_lines.csv",
       [](BuildSettings& s) {
         s.xout = 4;
         s.sepchar = ",";
         s.datefmt = "Y.";
         s.outcurrency = s.outdescr = s.outimpact = s.outforecast = s.outprevious = s.outrevised =
             s.outkxid = 0;
         s.numonly = 1;
         s.check2 = 1;
         s.thrudate = day(2008, 3, 10);
       }},
      {"export_tab.csv",
       [](BuildSettings& s) {
         s.xout = 3;
         s.sepchar = "x";  // the tab kind ignores the separator; no quote
         s.datefmt = "D-";
         s.outtime = s.outdescr = s.outimpact = s.outactual = s.outprevious = s.outrevised = 0;
       }},
      {"export_cols.txt",
       [](BuildSettings& s) {
         s.xout = 5;
         s.cldrfmt = 2;
         s.datefmt = "Y/";
       }},
  };
  for (const Case& c : cases) {
    BuildSettings s = friday();
    c.set(s);
    EXPECT_EQ(run(s), test::read_file(test::data_dir() / "output" / c.golden)) << c.golden;
  }
  EXPECT_TRUE(rep.stops.empty());
}

TEST_F(Export, DelimitedLineRules) {
  struct Case {
    const char* what;
    std::function<void(BuildSettings&)> set;
    const char* first_lines;
  };
  const Case cases[] = {
      {"comma and double quote, date and time",
       [](BuildSettings& s) {
         s.xout = 4;
         s.sepchar = ",\"";
         s.datefmt = "M/";
         s.outcurrency = s.outdescr = s.outimpact = s.outactual = s.outforecast = s.outprevious =
             s.outrevised = s.outkxid = 0;
       },
       "\"03/07/2008\",\"08:30\"\r\n"},
      {"an empty leading value leaves no separator",
       [](BuildSettings& s) {
         s.xout = 4;
         s.sepchar = ";";
         s.fromdate = s.thrudate = day(2008, 3, 7);
         s.outdate = s.outtime = s.outcurrency = s.outdescr = s.outimpact = s.outprevious =
             s.outrevised = s.outkxid = 0;
         s.descr1 = "IVEY";
       },
       "55.0\r\n"},
      {"a blank separator joins the values",
       [](BuildSettings& s) {
         s.xout = 4;
         s.sepchar = " '";
         s.outdescr = s.outimpact = s.outactual = s.outforecast = s.outprevious = s.outrevised =
             s.outkxid = 0;
         s.datefmt = "Y";
       },
       "'2008 03 07''08:30''USD'\r\n"},
      {"local time moves the date across midnight",
       [](BuildSettings& s) {
         s.xout = 4;
         s.sepchar = ";";
         s.datefmt = "Y-";
         s.offset2 = 3;
         s.off2exp = 1;
         s.descr1 = "SPEAKS";
         s.outdescr = s.outimpact = s.outactual = s.outforecast = s.outprevious = s.outrevised =
             s.outkxid = 0;
       },
       "2008-03-08;01:30;EUR\r\n"},
      {"numbers only",
       [](BuildSettings& s) {
         s.xout = 3;
         s.numonly = 1;
         s.outdate = s.outtime = s.outcurrency = s.outdescr = s.outimpact = s.outkxid = 0;
       },
       "63\t45\t82\t0\r\n"},
  };
  for (const Case& c : cases) {
    BuildSettings s = friday();
    c.set(s);
    const std::string got = run(s);
    EXPECT_EQ(got.substr(0, got.find('\n') + 1), c.first_lines) << c.what;
  }
  // The local-time export leaves News.CSV in MT4 time.
  EXPECT_NE(test::read_file(dir / "News.CSV").find("2008.03.07 22:30;"), std::string::npos);
}

TEST_F(Export, KindsWithoutAFileAndAboveTheRange) {
  for (const std::int16_t kind : {std::int16_t{1}, std::int16_t{0}, std::int16_t{-3}}) {
    BuildSettings s = friday();
    s.xout = kind;
    run(s);
    EXPECT_FALSE(file_exists(dir / "export.out")) << kind;
  }
  BuildSettings s = friday();
  s.xout = 6;
  EXPECT_EQ(run(s), "");
  EXPECT_TRUE(file_exists(dir / "export.out"));
}

TEST_F(Export, ColsValueLongerThanItsColumnPushesTheRest) {
  test::TempDir other;
  test::store(other.path(), {event(day(2008, 3, 7), 8, 30, "USD", "X", "H", "1234567890", "1")});
  BuildSettings s = friday();
  s.xout = 5;
  s.outdate = s.outtime = s.outcurrency = s.outdescr = s.outimpact = s.outkxid = 0;
  s.outprevious = s.outrevised = 0;
  s.outxlsname = "cols.txt";
  Table<CalendarTable> cal(other.path());
  ASSERT_TRUE(cal.open().is_ok());
  ExportWriter ex(s, rep, other.path());
  ex.header();
  out_news(cal, s, NewsTargets{false, nullptr, &ex}, session, rep, progress, count1);
  ex.footer();
  EXPECT_EQ(test::read_file(other / "cols.txt"),
            test::crlf({"Actual   Forecast", "-------- --------", "12345678901"}));
}

TEST(ExportName, StarMeansTheFolderOfNewsCsv) {
  struct Case {
    const char* xls;
    const char* news;
    const char* file;
  };
  const Case cases[] = {
      {"*EXPORT", "C:\\MT4\\experts\\files\\news.csv", "C:\\MT4\\experts\\files\\EXPORT"},
      {"*EXPORT", "/home/me/mt4/news.csv", "/home/me/mt4/EXPORT"},
      {"*EXPORT", "news.csv", "EXPORT"},
      {"XLOutput.CSV", "C:\\MT4\\news.csv", "XLOutput.CSV"},
  };
  for (const Case& c : cases) EXPECT_EQ(export_file_name(c.xls, c.news), c.file) << c.xls;
}

TEST(ExportNumbers, FourteenDigitsWithoutExponent) {
  struct Case {
    const char* text;
    const char* number;
  };
  const Case cases[] = {
      {"1.5%", "1.5"},
      {"250K", "250"},
      {"", "0"},
      {"-0.3", "-0.3"},
      {".5", "0.5"},
      {"0.00001", "0.00001"},
      {"<1.2", "1.2"},
      {"1,234K", "1234"},
      {"-", "0"},
      {"10.00", "10"},
      {"123456789012345678", "123456789012350000"},
      {"0.1234567890123456", "0.12345678901235"},
  };
  for (const Case& c : cases) EXPECT_EQ(numbers_only_text(c.text), c.number) << c.text;
}

TEST_F(Export, FailureToCreateIsReportedAndKeepsNothingHalfWritten) {
  BuildSettings s = friday();
  s.xout = 4;
  s.outxlsname = "no-such-folder/export.out";
  run(s, "no-such-folder/export.out");
  ASSERT_EQ(rep.stops.size(), 1u);
  EXPECT_EQ(rep.stops[0], "Create(no-such-folder/export.out) - File Not Found");
}

}  // namespace
}  // namespace mervane
