#include <gtest/gtest.h>

#include "core/analysis/nci_line.h"
#include "core/analysis/nci_output.h"
#include "core/model/records.h"
#include "core/runtime/table.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "tests/support/paths.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

NcidbRecord nci(const char* value, std::int32_t date, std::int32_t time, const char* ccy,
                const char* imp, const char* descr, const char* a, const char* f, const char* p,
                const char* r, const char* kx) {
  NcidbRecord n;
  n.ncivalue = value;
  n.date = date;
  n.time = time;
  n.ccy = ccy;
  n.impact = imp;
  n.descr = descr;
  n.actual = a;
  n.forecast = f;
  n.previous = p;
  n.revfrom = r;
  n.kxid = kx;
  return n;
}

const std::int32_t kDay = *date_serial(2009, 3, 6);

TEST(NciLine, WrittenLayout) {
  EXPECT_EQ(nci_line(nci("??", kDay, tod(13, 30), "USD", "H", "Non-Farm Employment Change", "-651K",
                         "-648K", "-598K", "-655K", "12345")),
            "?? ,2009.03.06 13:30,USD ,High   ,Non-Farm Employment Change"
            "                        ,-651K     ,-648K     ,-598K     ,-655K     ,12345 ");
  // Untimed: "0" for the time; a value longer than 3 is cut; an unknown impact is blank.
  EXPECT_EQ(nci_line(nci("12345", kDay, 0, "EUR", "X", "Holiday", "", "", "", "", "")),
            "123,2009.03.06 0,EUR ,       ,Holiday" + std::string(43, ' ') + "," +
                std::string(10, ' ') + "," + std::string(10, ' ') + "," + std::string(10, ' ') +
                "," + std::string(10, ' ') + ",      ");
}

TEST(NciLine, ReadsLinesFromBothEnds) {
  const NcidbRecord full = nci("5", kDay, tod(13, 30), "USD", "M", "Earnings, m/m, sa", "1,234K",
                               "1,2K", "", "0,5%", "777");
  const struct {
    const char* name;
    std::string line;
    NcidbRecord want;
  } cases[] = {
      // Its own lines come back whole, commas in descriptions and values included.
      {"written", nci_line(full), full},
      // Typed without the padding: the description is what lies between.
      {"typed", "7,2009.03.06 13:30,USD,High,Payrolls, ex farm,-651K,-648K,-598K,,12345",
       nci("7", kDay, tod(13, 30), "USD", "H", "Payrolls, ex farm", "-651K", "-648K", "-598K", "",
           "12345")},
      {"short", "5,2009.03.06 08:00,USD",
       nci("5", kDay, tod(8, 0), "USD", "", "", "", "", "", "", "")},
      // "0" for no time reads back as midnight.
      {"untimed", "?? ,2009.03.06 0,EUR ,Low    ,Holiday",
       nci("??", kDay, tod(0, 0), "EUR", "L", "Holiday", "", "", "", "", "")},
      {"other separators", "1,2009/03/06-13h30,USD,High,A,,,,,9",
       nci("1", kDay, tod(13, 30), "USD", "H", "A", "", "", "", "", "9")},
      {"no date", "1,someday,USD,High,A,,,,,9",
       nci("1", 0, tod(0, 0), "USD", "H", "A", "", "", "", "", "9")},
      {"empty date", "1,,USD,High,A,,,,,9", nci("1", 0, 0, "USD", "H", "A", "", "", "", "", "9")},
      {"long value", "123456789012345678901234,2009.03.06 13:30",
       nci("12345678901234567890", kDay, tod(13, 30), "", "", "", "", "", "", "", "")},
  };
  for (const auto& c : cases) {
    const auto got = read_nci_line(c.line);
    ASSERT_TRUE(got) << c.name;
    EXPECT_EQ(*got, c.want) << c.name << ": " << nci_line(*got);
  }
  EXPECT_FALSE(read_nci_line(""));
  EXPECT_FALSE(read_nci_line("    "));
}

TEST(NciLine, Score) {
  const struct {
    const char *imp, *a, *f, *p, *r;
    int want;
  } cases[] = {
      {"H", "1.5%", "1.2%", "1.0%", "", 9},
      {"H", "0.5%", "1.2%", "1.0%", "", -9},
      {"H", "1.1%", "1.2%", "1.0%", "", 7},
      {"H", "1.1%", "1.2%", "1.0%", "1.2%", -9},
      {"M", "639K", "650K", "670K", "667K", -5},
      {"L", "2", "", "1", "", 2},
      {"X", "2", "1", "3", "", 1},
      {"H", "", "1", "3", "", 0},
      {"H", "1.0", "1.0", "1.0", "", 0},
      {"M", "5", "", "", "", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(nci_score(nci("", kDay, 1, "USD", c.imp, "x", c.a, c.f, c.p, c.r, "1")), c.want)
        << c.imp << " " << c.a << " " << c.f << " " << c.p << " " << c.r;
  }
}

struct Fixture {
  test::TempDir dir;
  FixedClock clock{*date_serial(2025, 9, 1), 1};
  Session session{dir.path(), clock};
  test::ScriptedReporter reporter;
  NoProgress progress;

  Fixture(int nciout = 1, int nciauto = 0) {
    Table<CalendarTable> t(dir.path());
    EXPECT_TRUE(t.create().is_ok());
    std::filesystem::create_directory(dir / "mt4");
    session.with([&](Globals& g) { g.outname = (dir / "mt4" / "news.csv").string(); });
    set(nciout, nciauto);
  }
  void set(int nciout, int nciauto) {
    BuildSettings g2;
    g2.nciout = static_cast<std::int16_t>(nciout);
    g2.nciauto = static_cast<std::int16_t>(nciauto);
    session.set_g2(g2);
  }
  static CalendarRecord cal(std::int32_t date, std::int32_t time, const char* ccy,
                            const char* descr, const char* imp, const char* a, const char* f,
                            const char* p, const char* r, const char* kx) {
    CalendarRecord c;
    c.date = date;
    c.time = time;
    c.currency = ccy;
    c.descr = descr;
    c.impact = imp;
    c.actual = a;
    c.forecast = f;
    c.previous = p;
    c.revisedfrom = r;
    c.kxidcode = kx;
    return c;
  }
  void history(const std::vector<CalendarRecord>& evs) {
    Table<CalendarTable> t(dir.path());
    ASSERT_TRUE(t.open().is_ok());
    ASSERT_TRUE(t.empty().is_ok());
    for (const auto& e : evs) {
      t.rec = e;
      ASSERT_TRUE(t.add().is_ok());
    }
  }
  void standard_history(const char* nfp_actual = "-651K") {
    history({cal(*date_serial(2021, 5, 7), tod(12, 30), "USD", "Average Hourly Earnings, m/m", "H",
                 "0.7%", "0.0%", "0.6%", "", "54321"),
             cal(kDay, tod(13, 30), "USD", "Non-Farm Employment Change", "H", nfp_actual, "-648K",
                 "-598K", "-655K", "12345"),
             cal(kDay, 0, "EUR", "German Holiday", "L", "", "", "", "", ""),
             cal(kDay - 1, tod(12, 30), "USD", "Unemployment Claims", "M", "639K", "650K", "670K",
                 "667K", "")});
  }
  void run() { nci_output(session, reporter, progress); }
  std::filesystem::path file(int k = 1) {
    return dir / "mt4" / ("NCI" + std::to_string(k) + ".CSV");
  }
  std::string text(int k = 1) { return test::read_file(file(k)); }
};

std::string golden(const std::string& name) {
  return test::read_file(test::data_dir() / "analysis" / name);
}

// Replaces the first three characters (the value column) of line n (from 0).
std::string with_value(std::string text, int n, const std::string& value) {
  std::size_t at = 0;
  for (int i = 0; i < n; ++i) at = text.find('\n', at) + 1;
  text.replace(at, 3, value);
  return text;
}

TEST(NciOutput, FirstRunEveryEventNewestFirst) {
  for (const int autoscore : {0, 1}) {
    Fixture f(1, autoscore);
    f.standard_history();
    f.run();
    EXPECT_TRUE(f.reporter.stops.empty());
    EXPECT_EQ(f.text(), golden(autoscore ? "nci_auto.csv" : "nci_first.csv"));
    EXPECT_EQ(f.session.globals().outxlsname, f.file().string());
  }
}

TEST(NciOutput, CounterCountsLinesReadEventsMergedAndLinesWritten) {
  struct Counts : Progress {
    std::vector<std::int64_t> values;
    void report(std::string_view, std::int64_t v) override { values.push_back(v); }
  } counts;
  Fixture f(2);
  f.standard_history();
  test::write_file(f.file(1), "1,2009.03.06 13:30,USD,High,Old,,,,,99\r\n\r\n");
  nci_output(f.session, f.reporter, counts);
  // File 1: 2 lines read, 4 events merged, 5 lines written; file 2: 4 merged, 4 written.
  ASSERT_EQ(counts.values.size(), 19u);
  for (std::size_t i = 0; i < counts.values.size(); ++i)
    EXPECT_EQ(counts.values[i], static_cast<std::int64_t>(i + 1));
}

TEST(NciOutput, TheProgressWindowWorksWhenShownAndClosesAtTheEnd) {
  Fixture f(1);
  f.standard_history();
  NciOutput w(f.session, f.reporter, f.progress);
  w.open();
  EXPECT_EQ(w.title(), "  NCI output");
  EXPECT_EQ(w.accepted(WorkWindow::COUNT), Reply::stay());
  EXPECT_EQ(w.close_request(), Reply::stay());
  EXPECT_FALSE(std::filesystem::exists(f.file()));
  EXPECT_EQ(w.other_event({OtherEvent::Kind::Opened}), Reply::closed(Response::Completed));
  EXPECT_EQ(w.value(WorkWindow::COUNT), "8") << "4 events merged, 4 lines written";
  EXPECT_EQ(f.text(), golden("nci_first.csv"));
}

TEST(NciOutput, TypedValuesAreKeptFromRunToRun) {
  Fixture f;
  f.standard_history();
  f.run();
  // The user types values: 5 for the earnings (a description with a comma), 3? for the payrolls
  // (still undecided), 4 and 6 for the two events without a KX ID.
  std::string typed = golden("nci_first.csv");
  typed = with_value(typed, 0, "5  ");
  typed = with_value(typed, 1, "3? ");
  typed = with_value(typed, 2, "4  ");
  typed = with_value(typed, 3, "6  ");
  test::write_file(f.file(), typed);
  // The payrolls' actual is revised; a new event arrives.
  f.standard_history("-663K");
  {
    Table<CalendarTable> t(f.dir.path());
    ASSERT_TRUE(t.open().is_ok());
    t.rec = Fixture::cal(*date_serial(2021, 5, 7), tod(12, 30), "CAD", "Employment Change", "H",
                         "-207K", "-175K", "303K", "", "54322");
    ASSERT_TRUE(t.add().is_ok());
  }
  f.run();
  const std::string second = f.text();
  std::string want = typed;
  want.replace(want.find("-651K"), 5, "-663K");
  want.replace(want.find("3? "), 3, "?? ");
  const std::string cad = "?? ,2021.05.07 12:30,CAD ,High   ,Employment Change" +
                          std::string(33, ' ') +
                          ",-207K     ,-175K     ,303K      ,          ,54322\r\n";
  want.insert(want.find('\n') + 1, cad);  // after USD: newest first, key order backwards
  EXPECT_EQ(second, want);

  // With "Auto" on, a value holding "?" is scored; the others stay.
  f.set(1, 1);
  f.run();
  std::string scored = want;
  scored.replace(scored.find("?? ,2021.05.07"), 3, "-9 ");        // -207 below 303 and -175
  scored.replace(scored.find("?? ,2009.03.06 13:30"), 3, "-9 ");  // -663 below -655 and -648
  EXPECT_EQ(f.text(), scored);
  EXPECT_TRUE(f.reporter.stops.empty());
}

TEST(NciOutput, NothingAtZeroAndSeveralFiles) {
  {
    Fixture f(0);
    f.standard_history();
    f.run();
    EXPECT_FALSE(std::filesystem::exists(f.file()));
    EXPECT_FALSE(std::filesystem::exists(f.dir / "NCIDB.db"));
  }
  {
    Fixture f(2);
    f.standard_history();
    test::write_file(f.file(2),
                     "8  ,2009.03.06 13:30,USD ,High   ,Non-Farm Employment Change,,,,,12345\r\n");
    f.run();
    EXPECT_EQ(f.text(1), golden("nci_first.csv"));
    EXPECT_EQ(f.text(2), with_value(golden("nci_first.csv"), 1, "8  "));
    EXPECT_EQ(f.session.globals().outxlsname, f.file(2).string());
  }
  {
    // Without a folder in the News.CSV name the files go into the working folder; without a
    // history the table is created and the file lists what it held.
    Fixture f;
    std::filesystem::remove(f.dir / "CALENDAR.db");
    f.session.with([](Globals& g) { g.outname = "news.csv"; });
    test::write_file(f.dir / "NCI1.CSV", "1,2009.03.06 13:30,USD,High,A,,,,,9\r\n\r\n");
    f.run();
    EXPECT_TRUE(f.reporter.stops.empty());
    EXPECT_TRUE(std::filesystem::exists(f.dir / "CALENDAR.db"));
    EXPECT_EQ(test::read_file(f.dir / "NCI1.CSV"),
              "1  ,2009.03.06 13:30,USD ,High   ,A" + std::string(49, ' ') + "," +
                  std::string(10, ' ') + "," + std::string(10, ' ') + "," + std::string(10, ' ') +
                  "," + std::string(10, ' ') + ",9\r\n");
  }
}

TEST(NciOutput, AFileThatCannotBeReadIsLeftAlone) {
  Fixture f(2);
  f.standard_history();
  std::filesystem::create_directory(f.file(1));
  f.run();
  ASSERT_EQ(f.reporter.stops.size(), 1u);
  EXPECT_EQ(f.reporter.stops[0], "Open(" + f.file(1).string() + ") - Access Denied");
  EXPECT_TRUE(std::filesystem::is_directory(f.file(1)));
  EXPECT_EQ(f.text(2), golden("nci_first.csv")) << "the next file is still done";

  Fixture g;
  g.standard_history();
  std::filesystem::create_directory(g.file(1));
  g.reporter.stop_answers = {Answer::Abort};
  EXPECT_THROW(g.run(), Aborted);
}

}  // namespace
}  // namespace mervane
