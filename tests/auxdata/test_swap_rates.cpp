// The swap rate file reader and the swap rate import window.
#include <gtest/gtest.h>

#include <cmath>

#include "core/auxdata/import_swap_rates.h"
#include "core/auxdata/swap_rate_line.h"
#include "core/model/records.h"
#include "core/runtime/table.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/tables.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_checks.h"

namespace mervane {
namespace {

TEST(SwapRateLine, ReadsPairAndTwoDecimalNumbers) {
  struct Case {
    const char* line;
    const char* pair;
    double buy, sell;
  };
  const Case good[] = {
      {"EURUSD,1.25,-3.5", "EURUSD", 1.25, -3.5},
      {" GBPJPY , +0.5 ,\t-.75  ", "GBPJPY", 0.5, -0.75},
      {"EURUSDX,1.,2", "EURUSD", 1, 2},  // the first 6 characters of the pair
      {"XAU,0,0", "XAU", 0, 0},
      {"USDCHF,-0012.500,3", "USDCHF", -12.5, 3},
  };
  for (const Case& c : good) {
    const auto r = read_swap_rate_line(c.line);
    ASSERT_TRUE(r) << c.line << ": " << r.reason;
    EXPECT_EQ(r.value->pair, c.pair) << c.line;
    EXPECT_DOUBLE_EQ(r.value->buy, c.buy) << c.line;
    EXPECT_DOUBLE_EQ(r.value->sell, c.sell) << c.line;
  }
  struct Bad {
    const char* line;
    const char* reason;
  };
  const Bad bad[] = {
      {"", "no comma"},
      {"EURUSD 1.25 -3.5", "no comma"},
      {"EURUSD,1.25", "no second comma"},
      {",1,2", "no currency pair"},
      {"EURUSD,,2", "buy swap '' is not a number"},
      {"EURUSD,1,", "sell swap '' is not a number"},
      {"EURUSD,1,2,3", "sell swap '2,3' is not a number"},
      {"EURUSD,1e3,2", "buy swap '1e3'"},
      {"EURUSD,nan,2", "buy swap 'nan'"},
      {"EURUSD,1,inf", "sell swap 'inf'"},
      {"EURUSD,1.2.3,2", "buy swap"},
      {"EURUSD,-,2", "buy swap"},
      {"EURUSD,1,0x10", "sell swap"},
      {"EURUSD,1,- 2", "sell swap"},
  };
  for (const Bad& b : bad) {
    const auto r = read_swap_rate_line(b.line);
    EXPECT_FALSE(r) << b.line;
    EXPECT_EQ(r.reason.rfind(b.reason, 0), 0u) << b.line << ": " << r.reason;
  }
  EXPECT_FALSE(read_swap_rate_line("EURUSD,1," + std::string(400, '9')));  // beyond a double
}

using C = ImportSwapRatesControl;

class ImportSwapRatesWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    SwaprateRecord eur;
    eur.pair = "EURUSD";
    eur.buy = 9;
    eur.usd = 1;
    eur.high = 1;
    test::fill_table<SwaprateTable>(dir.path(), {eur});
  }
  std::vector<SwaprateRecord> rates() { return test::table_records<SwaprateTable>(dir.path()); }
  test::TempDir dir;
  FixedClock clock{80000, 1};
  Session session{dir.path(), clock};
  test::ScriptedReporter reporter;
  NoProgress progress;
};

TEST_F(ImportSwapRatesWindow, UpdatesStoredPairsAndAddsNewOnesOnlyWhenAsked) {
  test::write_file(dir / "swaprate.csv",
                   "EURUSD,1.25,-3.5\r\nGBPUSD,-1,2\r\nbroken\r\nCHFJPY,x,1\r\n");
  for (int addnew : {0, 1}) {
    ImportSwapRates m(session, reporter, progress);
    m.open();
    m.type(number(C::ADDNEW), std::to_string(addnew));
    m.type(number(C::MULTIPLIER), "10");
    EXPECT_EQ(m.accepted(number(C::OK)), Reply::closed(Response::Completed));
    EXPECT_TRUE(m.closed());
    EXPECT_EQ(m.count1(), 4);
    const SwapImportResult& r = m.result();
    EXPECT_TRUE(r.file_read);
    EXPECT_EQ(r.updated, 1);
    EXPECT_EQ(r.added, addnew ? 1 : 0);
    EXPECT_EQ(r.not_added, addnew ? 0 : 1);
    EXPECT_EQ(r.skipped, (std::vector<std::string>{"line 3: no comma",
                                                   "line 4: buy swap 'x' is not a number"}));
    const auto stored = rates();
    ASSERT_EQ(stored.size(), addnew ? 2u : 1u);
    EXPECT_EQ(stored[0].pair, "EURUSD");
    EXPECT_DOUBLE_EQ(stored[0].buy, 12.5);
    EXPECT_DOUBLE_EQ(stored[0].sell, -35);
    EXPECT_EQ(stored[0].usd, 1) << "the other fields stay";
    EXPECT_EQ(stored[0].high, 1);
  }
  SwaprateRecord gbp;
  gbp.pair = "GBPUSD";
  gbp.buy = -10;
  gbp.sell = 20;
  EXPECT_EQ(rates()[1], gbp);
  EXPECT_TRUE(reporter.stops.empty());
}

TEST_F(ImportSwapRatesWindow, TheMultiplierTakesWhatItsPictureShowsAndCancelImportsNothing) {
  test::write_file(dir / "swaprate.csv", "EURUSD,1,2\n");
  ImportSwapRates m(session, reporter, progress);
  m.open();
  EXPECT_EQ(m.value(number(C::MULTIPLIER)), "1.0000");
  EXPECT_EQ(m.value(number(C::ADDNEW)), "0");
  for (const char* bad : {"-1", "10000", "0.00001", "x"})
    test::expect_refused(m, reporter, number(C::MULTIPLIER), bad);
  m.type(number(C::MULTIPLIER), "2.5");
  EXPECT_EQ(m.key({Key::Esc}), Reply::closed(Response::Cancelled));
  EXPECT_DOUBLE_EQ(rates()[0].buy, 9) << "Esc imports nothing";
  EXPECT_EQ(m.value(number(C::COUNT1)), "0");
}

TEST_F(ImportSwapRatesWindow, AFileThatCannotBeOpenedChangesNothing) {
  ImportSwapRates m(session, reporter, progress);
  m.open();
  m.key({Key::Enter});
  ASSERT_EQ(reporter.stops.size(), 1u);
  EXPECT_EQ(reporter.stops[0], "Open(swaprate.csv) - File Not Found");
  EXPECT_FALSE(m.result().file_read);
  EXPECT_TRUE(m.closed());
  EXPECT_EQ(rates().size(), 1u);
  EXPECT_EQ(session.globals().inpname, "swaprate.csv");
  reporter.stop_answers = {Answer::Abort};
  ImportSwapRates aborted(session, reporter, progress);
  aborted.open();
  EXPECT_THROW(aborted.accepted(number(C::OK)), Aborted);
}

TEST_F(ImportSwapRatesWindow, FindsTheFileWhateverItsLetterCase) {
  test::write_file(dir / "Swaprate.CSV", "EURUSD,1,2\n");
  ImportSwapRates m(session, reporter, progress);
  m.open();
  m.accepted(number(C::OK));
  EXPECT_TRUE(m.result().file_read);
  EXPECT_DOUBLE_EQ(rates()[0].sell, 2);
}

TEST_F(ImportSwapRatesWindow, ValuesTooLargeAfterTheMultiplierAreSkipped) {
  // The largest multiplier the field takes, on a swap near the largest number there is.
  test::write_file(dir / "swaprate.csv", "EURUSD,1" + std::string(305, '0') + ",2\n");
  ImportSwapRates m(session, reporter, progress);
  m.open();
  m.type(number(C::MULTIPLIER), "9999.9999");
  EXPECT_EQ(m.value(number(C::MULTIPLIER)), "9999.9999");
  m.accepted(number(C::OK));
  EXPECT_EQ(m.result().skipped,
            std::vector<std::string>{"line 1: the swap times the multiplier is too large"});
  EXPECT_DOUBLE_EQ(rates()[0].buy, 9);
}

TEST_F(ImportSwapRatesWindow, ATableHeldByAnotherOpenerIsReportedAndLeftAlone) {
  test::write_file(dir / "swaprate.csv", "EURUSD,1,2\n");
  Table<SwaprateTable> holder(dir.path());
  ASSERT_TRUE(holder.open(OpenMode::exclusive()).is_ok());
  ImportSwapRates m(session, reporter, progress);
  m.open();
  reporter.stop_answers = {Answer::Abort};
  EXPECT_THROW(m.key({Key::Enter}), Aborted);
  ASSERT_EQ(reporter.stops.size(), 1u);
  EXPECT_EQ(reporter.stops[0].rfind("Open(SWAPRATE.db) - ", 0), 0u) << reporter.stops[0];
  holder.close();
  EXPECT_DOUBLE_EQ(rates()[0].buy, 9);
}

}  // namespace
}  // namespace mervane
