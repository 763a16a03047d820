#include <gtest/gtest.h>

#include <limits>

#include "core/analysis/effect_analysis_report.h"
#include "core/analysis/effects_ini.h"
#include "core/model/records.h"
#include "core/runtime/table.h"
#include "tests/support/history_writer.h"
#include "tests/support/paths.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

using test::TestBar;

class RecordingProgress : public Progress {
 public:
  std::vector<std::int64_t> values;
  void report(std::string_view, std::int64_t v) override { values.push_back(v); }
};

PviewRecord event(std::int32_t date, int hh, int mm, const char* ccy, const char* descr,
                  const char* imp, const char* act, const char* fc, const char* prev,
                  const char* rev, const char* kxid) {
  PviewRecord r;
  r.date = date;
  r.time = tod(hh, mm);
  r.currency = ccy;
  r.descr = descr;
  r.impact = imp;
  r.actual = act;
  r.forecast = fc;
  r.previous = prev;
  r.revisedfrom = rev;
  r.kxidcode = kxid;
  return r;
}

struct Fixture {
  test::TempDir dir;
  FixedClock clock{*date_serial(2025, 9, 1), 1};
  Session session{dir.path(), clock};
  test::ScriptedReporter reporter;
  RecordingProgress progress;

  Fixture() {
    Table<PviewTable> t(dir.path());
    EXPECT_TRUE(t.create().is_ok());
  }
  void settings(const std::string& histpath, const char* code, std::vector<int> offsets,
                const char* pairs, const char* datefmt) {
    EffectsSettings g3;
    g3.histpath = histpath;
    g3.chartint = code;
    for (std::size_t i = 0; i < offsets.size(); ++i)
      g3.timeint[i] = static_cast<std::int16_t>(offsets[i]);
    const EffIniRecord rec = encode_eff_ini(g3);
    test::write_file(dir / "EFF.INI", std::string(rec.begin(), rec.end()));
    BuildSettings g2;
    g2.pairs = pairs;
    g2.datefmt = datefmt;
    session.set_g2(g2);
  }
  void events(const std::vector<PviewRecord>& evs) {
    Table<PviewTable> t(dir.path());
    ASSERT_TRUE(t.open().is_ok());
    for (const auto& e : evs) {
      t.rec = e;
      ASSERT_TRUE(t.add().is_ok());
    }
  }
  void run() { effect_analysis_report(session, reporter, progress); }
  std::string detail() { return test::read_file(dir / "@EffDetl.CSV"); }
  std::string summary() { return test::read_file(dir / "@EffSumm.CSV"); }
  std::string folder() { return dir.path().string() + "/"; }
};

std::string golden(const std::string& name) {
  return test::read_file(test::data_dir() / "analysis" / name);
}

const std::int32_t kFri = *date_serial(2009, 3, 6);

// EURUSD on M5 around three events, two of them at one time; GBPUSD has no history file.
void m5_case(Fixture& f) {
  test::write_history(f.dir / "EURUSD5.hst", 401, 5,
                      {{test::unix_at(kFri, 8, 25), 1.265, 1.2653, 1.2648, 0},
                       {test::unix_at(kFri, 8, 30), 1.2651, 1.269, 1.263, 0},
                       {test::unix_at(kFri, 8, 35), 1.268, 1.2685, 1.267, 0},
                       {test::unix_at(kFri, 9, 55), 1.27, 1.2701, 1.2699, 0},
                       {test::unix_at(kFri, 10, 0), 1.2702, 1.271, 1.2695, 0}});
  f.settings(f.folder(), "M5", {-5, 0, 5}, "EURUSD,GBPUSD", "M/");
  f.events(
      {event(kFri, 8, 30, "USD", "Non-Farm Employment Change", "H", "-651K", "-648K", "-598K",
             "-655K", "12345"),
       event(kFri, 8, 30, "CAD", "Unemployment Rate", "M", "7.7%", "7.6%", "7.2%", "", "12346"),
       event(kFri, 10, 0, "USD", "Wholesale Inventories", "L", "-0.7%", "-0.8%", "0.1%", "",
             "12347")});
}

// A history file with damaged bars: a time near the end of 64 bits and prices that are not
// numbers. Those bars give no prices, and no cell reads "nan" or "inf".
TEST(EffectAnalysisReport, DamagedBarsGiveNoPrices) {
  Fixture f;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  test::write_history(
      f.dir / "EURUSD5.hst", 401, 5,
      {{test::unix_at(kFri, 8, 25), 1.265, 1.2653, 1.2648, 0},
       {std::numeric_limits<std::int64_t>::max(), 1.2, 1.3, 1.1, 0},
       {test::unix_at(kFri, 8, 30), nan, 1.269, 1.263, 0},
       {test::unix_at(kFri, 8, 35), 1.268, std::numeric_limits<double>::infinity(), 1.267, 0}});
  f.settings(f.folder(), "M5", {-5, 0, 5}, "EURUSD", "M/");
  f.events({event(kFri, 8, 30, "USD", "Non-Farm Employment Change", "H", "", "", "", "", "1")});
  f.run();
  EXPECT_TRUE(f.reporter.stops.empty());
  EXPECT_EQ(f.detail(),
            ",,,,,,,,,,,EURUSD,EURUSD,EURUSD,EURUSD\r\n"
            "Ccy,Description,Imp,Actual,Fcast,Prev,Rev.Frm,KXID,Date,Time,Change,Open,Change,High,"
            "Low\r\n"
            ",,,,,,,,03/06/2009,08:25,0,1.26500,0.00000,30.00000,-20.00000\r\n"
            "USD,Non-Farm Employment Change,H,,,,,1,03/06/2009,08:30,5,,,,\r\n");
  for (const std::string& file : {f.detail(), f.summary()}) {
    EXPECT_EQ(file.find("nan"), std::string::npos) << file;
    EXPECT_EQ(file.find("inf"), std::string::npos) << file;
  }
}

TEST(EffectAnalysisReport, WholeFilesForWrittenAndRealHistories) {
  {
    Fixture f;
    m5_case(f);
    f.run();
    EXPECT_TRUE(f.reporter.stops.empty());
    EXPECT_TRUE(f.reporter.warnings.empty());
    EXPECT_EQ(f.detail(), golden("m5_detail.csv"));
    EXPECT_EQ(f.summary(), golden("m5_summary.csv"));
    EXPECT_EQ(f.session.globals().outxlsname, "Osric1.CSV");
  }
  {
    // The real version-400 daily file: shared moments of consecutive days, an event at 08:30
    // that no daily bar opens at, the last bar of the file.
    Fixture f;
    const std::string hist = (test::fixtures_dir() / "mt4-history").string() + "/";
    f.settings(hist, "D1", {-1440, 0, 1440}, "EURUSD,USDJPY", "D.");
    f.events({event(*date_serial(2019, 6, 4), 8, 0, "EUR", "German Factory Orders m/m", "M",
                    "-2.2%", "-1.2%", "0.6%", "", "50001"),
              event(*date_serial(2019, 6, 5), 8, 0, "EUR", "Retail Sales m/m", "L", "0.1%", "-0.1%",
                    "0.0%", "", "50002"),
              event(*date_serial(2019, 6, 6), 8, 30, "USD", "Unemployment Claims", "M", "218K",
                    "215K", "218K", "217K", "50003"),
              event(*date_serial(2020, 10, 14), 8, 0, "EUR", "Industrial Production m/m", "L",
                    "0.7%", "0.7%", "4.1%", "5.0%", "50004")});
    f.run();
    EXPECT_TRUE(f.reporter.stops.empty());
    EXPECT_EQ(f.detail(), golden("d1_v400_detail.csv"));
    EXPECT_EQ(f.summary(), golden("d1_v400_summary.csv"));
  }
  {
    // The real version-401 M15 file.
    Fixture f;
    const std::string hist = (test::fixtures_dir() / "mt4-history").string() + "/";
    f.settings(hist, "M15", {-15, 0, 15, 30}, "EURUSD", "Y-");
    f.events({event(*date_serial(2025, 3, 18), 12, 30, "USD", "Building Permits", "M", "1.46M",
                    "1.45M", "1.47M", "", "60001"),
              event(*date_serial(2025, 5, 2), 12, 30, "USD", "Non-Farm Employment Change", "H",
                    "177K", "138K", "228K", "185K", "60002"),
              event(*date_serial(2025, 8, 19), 13, 45, "CAD", "CPI m/m", "H", "0.3%", "0.4%",
                    "0.1%", "", "60003")});
    f.run();
    EXPECT_TRUE(f.reporter.stops.empty());
    EXPECT_EQ(f.detail(), golden("m15_v401_detail.csv"));
    EXPECT_EQ(f.summary(), golden("m15_v401_summary.csv"));
  }
}

TEST(EffectAnalysisReport, ProgressCounter) {
  Fixture f;
  m5_case(f);
  f.run();
  // 3 events read; 8 prices found (EURUSD at 08:25, 08:30 and 08:35 for both events of 08:30,
  // at 09:55 and 10:00, none at 10:05); 3 event lines; 3 events x 1 pair summarised; 3 event
  // lines of the summary.
  const std::vector<std::int64_t> want = {
      0,       1,       2,       3,       1000000, 1000001, 1000002, 1000003, 1000004,
      1000005, 1000006, 1000007, 1000008, 2000000, 2000001, 2000002, 2000003, 3000000,
      3000001, 3000002, 3000003, 4000000, 4000001, 4000002, 4000003};
  EXPECT_EQ(f.progress.values, want);
}

TEST(EffectAnalysisReport, TheProgressWindowWorksWhenShownAndClosesAtTheEnd) {
  Fixture f;
  m5_case(f);
  EffectAnalysisReport w(f.session, f.reporter, f.progress);
  w.open();
  EXPECT_EQ(w.title(), "  Effect Analysis Report");
  EXPECT_EQ(w.value(WorkWindow::COUNT), "0");
  // Nothing stops or starts it but its being shown.
  EXPECT_EQ(w.key({Key::Esc}), Reply::stay());
  EXPECT_EQ(w.close_request(), Reply::stay());
  EXPECT_EQ(w.other_event({OtherEvent::Kind::Focused}), Reply::stay());
  EXPECT_FALSE(std::filesystem::exists(f.dir / "@EffDetl.CSV"));
  EXPECT_EQ(w.other_event({OtherEvent::Kind::Opened}), Reply::closed(Response::Completed));
  EXPECT_EQ(w.value(WorkWindow::COUNT), "4,000,003") << "the last count stays shown (\"N12\")";
  ASSERT_FALSE(f.progress.values.empty());
  EXPECT_EQ(f.progress.values.back(), 4000003) << "and went on to the progress display";
  EXPECT_EQ(f.detail(), golden("m5_detail.csv"));
  EXPECT_EQ(w.other_event({OtherEvent::Kind::Opened}), Reply::closed(Response::Completed));
  EXPECT_EQ(f.progress.values.back(), 4000003) << "closed: no second run";
}

TEST(EffectAnalysisReport, EmptyAndMissingPreview) {
  {
    Fixture f;
    f.settings(f.folder(), "H1", {-60, 0, 60}, "EURUSD", "Y/");
    f.run();
    EXPECT_TRUE(f.reporter.stops.empty());
    EXPECT_EQ(f.detail(),
              ",,,,,,,,,,,EURUSD,EURUSD,EURUSD,EURUSD\r\n"
              "Ccy,Description,Imp,Actual,Fcast,Prev,Rev.Frm,KXID,Date,Time,Change,Open,Change,"
              "High,Low\r\n");
    EXPECT_EQ(f.summary(),
              ",,,,,,,,,,,-60,-60,0,0,60,60\r\n"
              "Date,Time,Ccy,Description,Imp,Actual,Fcast,Prev,Rev.Frm,KXID,Pair,High,Low,High,"
              "Low,High,Low\r\n");
  }
  {
    Fixture f;
    f.settings(f.folder(), "H1", {-60, 0, 60}, "EURUSD", "Y/");
    std::filesystem::remove(f.dir / "PVIEW.db");
    f.run();
    EXPECT_EQ(f.reporter.stops, std::vector<std::string>{"Open(PVIEW.db) - File Not Found"});
    EXPECT_EQ(f.summary().substr(0, 11), ",,,,,,,,,,,");
  }
  {
    Fixture f;  // no settings file: the report says so and goes on with blank settings
    f.run();
    EXPECT_EQ(f.reporter.stops, std::vector<std::string>{"Open(EFF.INI) - File Not Found"});
    EXPECT_EQ(f.detail(),
              ",,,,,,,,,,\r\nCcy,Description,Imp,Actual,Fcast,Prev,Rev.Frm,KXID,"
              "Date,Time,Change\r\n");
  }
}

TEST(EffectAnalysisReport, HistoryFilesOfOtherLayoutsArePassedOver) {
  const struct {
    std::string bytes;
    std::string warning;
  } cases[] = {
      {test::history_bytes(402, 5, {{test::unix_at(kFri, 8, 30), 1.2651, 1.269, 1.263, 0}}),
       "is not an MT4 history file of version 400 or 401 (it says version 402): GBPUSD is "
       "passed over."},
      {std::string(100, 'x'),
       "is shorter than the 148-byte header of an MT4 history file: GBPUSD is passed over."},
  };
  for (const auto& c : cases) {
    Fixture f;
    m5_case(f);
    test::write_file(f.dir / "GBPUSD5.hst", c.bytes);
    f.run();
    ASSERT_EQ(f.reporter.warnings.size(), 1u);
    EXPECT_EQ(f.reporter.warnings[0].text, f.folder() + "GBPUSD5.hst " + c.warning);
    EXPECT_EQ(f.reporter.warnings[0].caption, "  Effect Analysis Report");
    // Exactly as without the file: no prices, no summary lines for the pair.
    EXPECT_EQ(f.detail(), golden("m5_detail.csv"));
    EXPECT_EQ(f.summary(), golden("m5_summary.csv"));
  }
}

TEST(EffectAnalysisReport, SamplingRules) {
  const std::int32_t day = kFri;
  {
    // H1 bars open on the hour: an event at 08:30 never matches. A pair whose file says 0
    // digits was read all the same and gets its summary lines.
    Fixture f;
    test::write_history(f.dir /
                            "US30"
                            "60.hst",
                        400, 0,
                        {{test::unix_at(day, 8, 0), 7000, 7010, 6990, 0},
                         {test::unix_at(day, 9, 0), 7005, 7050, 6950, 0}});
    f.settings(f.folder(), "H1", {-60, 0, 60}, "US30", "Y/");
    f.events({event(day, 8, 30, "USD", "A", "H", "", "", "", "", "1"),
              event(day, 9, 0, "USD", "B", "H", "", "", "", "", "2")});
    f.run();
    EXPECT_EQ(f.detail(),
              ",,,,,,,,,,,US30,US30,US30,US30\r\n"
              "Ccy,Description,Imp,Actual,Fcast,Prev,Rev.Frm,KXID,Date,Time,Change,Open,Change,"
              "High,Low\r\n"
              ",,,,,,,,2009/03/06,08:00,0,7000.00000,0.00000,10.00000,-10.00000\r\n"
              "USD,A,H,,,,,1,2009/03/06,08:30,30,,,,\r\n"
              "USD,B,H,,,,,2,2009/03/06,09:00,30,7005.00000,5.00000,45.00000,-55.00000\r\n");
    EXPECT_EQ(f.summary(),
              ",,,,,,,,,,,-60,-60,0,0,60,60\r\n"
              "Date,Time,Ccy,Description,Imp,Actual,Fcast,Prev,Rev.Frm,KXID,Pair,High,Low,High,"
              "Low,High,Low\r\n"
              "2009/03/06,08:30,USD,A,H,,,,,1,US30\r\n"
              "2009/03/06,09:00,USD,B,H,,,,,2,US30,5.00,-15.00,45.00,-55.00\r\n");
  }
  {
    // W1 offsets reach below -9999 minutes: the event's own time still comes first.
    Fixture f;
    const std::int32_t sun = *date_serial(2009, 3, 1);
    test::write_history(f.dir / "EURUSD10080.hst", 401, 4,
                        {{test::unix_at(sun - 7, 0, 0), 1.25, 1.28, 1.24, 0},
                         {test::unix_at(sun, 0, 0), 1.26, 1.27, 1.22, 0},
                         {test::unix_at(sun + 7, 0, 0), 1.23, 1.3, 1.2, 0}});
    f.settings(f.folder(), "W1", {-10080, 0, 10080}, "EURUSD", "Y/");
    PviewRecord e = event(sun, 0, 0, "EUR", "Week", "L", "", "", "", "", "7");
    f.events({e});
    f.run();
    EXPECT_TRUE(f.reporter.stops.empty()) << f.reporter.stops[0];
    EXPECT_EQ(f.summary(),
              ",,,,,,,,,,,-10080,-10080,0,0,10080,10080\r\n"
              "Date,Time,Ccy,Description,Imp,Actual,Fcast,Prev,Rev.Frm,KXID,Pair,High,Low,High,"
              "Low,High,Low\r\n"
              "2009/03/01,00:00,EUR,Week,L,,,,,7,EURUSD,200.00,-200.00,100.00,-400.00,400.00,"
              "-600.00\r\n");
  }
}

TEST(EffectAnalysisReport, OffsetsWithoutTheEventTime) {
  Fixture f;
  m5_case(f);
  f.settings(f.folder(), "M5", {5, 10}, "EURUSD,GBPUSD", "M/");
  f.run();
  ASSERT_EQ(f.reporter.stops.size(), 1u) << "one message, not one per lookup";
  EXPECT_EQ(f.reporter.stops[0],
            "Get(Queue3) - Entry Not Found: the offsets have no 0 entry (the event's own time)");
  EXPECT_EQ(f.summary(),
            ",,,,,,,,,,,5,5,10,10\r\n"
            "Date,Time,Ccy,Description,Imp,Actual,Fcast,Prev,Rev.Frm,KXID,Pair,High,Low,High,Low"
            "\r\n");
  EXPECT_EQ(f.detail().find("Non-Farm"), std::string::npos) << "no event cells without event time";
}

TEST(EffectAnalysisReport, AbortKeepsThePreviousFiles) {
  Fixture f;
  m5_case(f);
  test::write_file(f.dir / "@EffDetl.CSV", "old detail");
  test::write_file(f.dir / "@EffSumm.CSV", "old summary");
  std::filesystem::remove(f.dir / "PVIEW.db");
  f.reporter.stop_answers = {Answer::Abort};
  EXPECT_THROW(f.run(), Aborted);
  EXPECT_EQ(f.detail(), "old detail");
  EXPECT_EQ(f.summary(), "old summary");
}

}  // namespace
}  // namespace mervane
