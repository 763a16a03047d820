// effects: the Build window's Effects button from the command line: the preview run selects the
// events, then the analysis reads the real MT4 history and writes its two files.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/app.h"
#include "core/model/records.h"
#include "core/runtime/table.h"
#include "core/util/dates.h"
#include "tests/support/paths.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

int run(const test::TempDir& dir, std::vector<std::string> args, std::string* err = nullptr) {
  args.insert(args.begin(), {"--dir", dir.path().string(), "--today", "12/08/2026"});
  std::ostringstream out, e;
  const int code = cli::run(args, out, e);
  if (err) *err = e.str();
  return code;
}

TEST(EffectsCommand, PreviewThenAnalysisOverTheDailyFixture) {
  test::TempDir dir;
  {
    Table<CalendarTable> t(dir.path());
    ASSERT_TRUE(t.create().is_ok());
    ASSERT_TRUE(t.open().is_ok());
    // The daily bars of the fixture open at 08:00; one event there, one outside the range.
    for (auto [d, descr] : {std::pair{*date_serial(2019, 3, 5), "CPI m/m"},
                            std::pair{*date_serial(2017, 1, 3), "Too early"}}) {
      t.clear();
      t.rec.date = d;
      t.rec.time = 8 * 360000 + 1;
      t.rec.currency = "USD";
      t.rec.descr = descr;
      t.rec.impact = "H";
      t.rec.actual = "0.4%";
      ASSERT_TRUE(t.add().is_ok());
    }
  }
  const std::string hist = (test::fixtures_dir() / "mt4-history").string() + "/";
  // The first reading of a new EFF.INI fails as the window's does; Ignore goes on.
  ASSERT_EQ(run(dir, {"--keep-going", "effects", "setup", "--path", hist, "--timeframe", "D1"}), 0);
  std::string err;
  ASSERT_EQ(run(dir,
                {"effects", "--set", "PAIRS=EURUSD", "--set", "FROMDATE=01/01/2018", "--set",
                 "THRUDATE=12/31/2020"},
                &err),
            0)
      << err;
  const std::string summary = test::read_file(dir / "@EffSumm.CSV");
  ASSERT_FALSE(summary.empty());
  const std::size_t line = summary.find("2019/03/05,08:00,USD,CPI m/m,H,0.4%");
  ASSERT_NE(line, std::string::npos) << summary;
  // Prices were found around the event: moves in points (the fixture's header says 1 digit).
  const std::string row = summary.substr(line, summary.find('\n', line) - line);
  EXPECT_NE(row.find(",EURUSD,"), std::string::npos) << row;
  EXPECT_NE(row.find("-0.10"), std::string::npos) << row;
  EXPECT_EQ(summary.find("Too early"), std::string::npos);
  EXPECT_FALSE(test::read_file(dir / "@EffDetl.CSV").empty());
  // The command line's settings were for this run only: the settings file is not written.
  EXPECT_FALSE(std::filesystem::exists(dir / "trune.INI"));
}

}  // namespace
}  // namespace mervane
