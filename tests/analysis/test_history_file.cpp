#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <sstream>

#include "core/analysis/effects_samples.h"
#include "core/model/history_file.h"
#include "core/runtime/text_file.h"
#include "tests/support/history_writer.h"
#include "tests/support/paths.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

using test::TestBar;

std::vector<HistoryBar> read_all(HistoryFile& f) {
  std::vector<HistoryBar> out;
  HistoryBar b;
  while (f.next(b)) out.push_back(b);
  return out;
}

TEST(HistoryFile, ReadsBothLayoutsBarByBar) {
  const std::int32_t day = *date_serial(2009, 3, 6);
  const std::vector<TestBar> bars = {
      {test::unix_at(day, 8, 25), 1.2340, 1.2352, 1.2331, 1.2345},
      {test::unix_at(day, 8, 30), 1.2345, 1.2390, 1.2301, 1.2380},
      // after 2038: version 401 keeps 64-bit times
      {test::unix_at(*date_serial(2041, 1, 2), 0, 0), 0.9, 0.95, 0.85, 0.91},
  };
  for (const int version : {400, 401}) {
    test::TempDir dir;
    std::vector<TestBar> want = bars;
    if (version == 400) want.pop_back();
    test::write_history(dir / "h.hst", version, 5, want);
    HistoryFile f;
    ASSERT_EQ(f.open(dir / "h.hst"), HistoryOpen::Ok) << version;
    EXPECT_EQ(f.version(), version);
    EXPECT_EQ(f.digits(), 5);
    const std::vector<HistoryBar> got = read_all(f);
    ASSERT_EQ(got.size(), want.size()) << version;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].time, want[i].time) << version << " bar " << i;
      EXPECT_EQ(got[i].open, want[i].open);
      EXPECT_EQ(got[i].high, want[i].high);
      EXPECT_EQ(got[i].low, want[i].low);
    }
    EXPECT_EQ(f.status().code, kRecordNotAvailable);
    EXPECT_EQ(f.bytes_read(),
              static_cast<std::int64_t>(148 + (version == 400 ? 44 : 60) * want.size()));
  }
}

// Bars whose times lie beyond the dates the program holds, or whose prices are not numbers,
// are passed over; the bars around them are read as usual, and so are the first and last
// times that are held.
TEST(HistoryFile, DamagedBarsArePassedOver) {
  const std::int32_t day = *date_serial(2009, 3, 6);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<TestBar> bars = {
      {test::unix_at(day, 8, 25), 1.2340, 1.2352, 1.2331, 0},
      {std::numeric_limits<std::int64_t>::max() - 5, 1.1, 1.2, 1.0, 0},
      {test::unix_at(day, 8, 30), nan, 1.2, 1.0, 0},
      {test::unix_at(day, 8, 35), 1.1, inf, 1.0, 0},
      {test::unix_at(day, 8, 40), 1.1, 1.2, -inf, 0},
      {kLastBarTime + 1, 1.1, 1.2, 1.0, 0},
      {kFirstBarTime - 1, 1.1, 1.2, 1.0, 0},
      {std::numeric_limits<std::int64_t>::min(), 1.1, 1.2, 1.0, 0},
      {test::unix_at(day, 8, 45), 1.2345, 1.2390, 1.2301, 0},
      {kLastBarTime, 1.5, 1.6, 1.4, 0},
  };
  test::TempDir dir;
  test::write_history(dir / "h.hst", 401, 5, bars);
  HistoryFile f;
  ASSERT_EQ(f.open(dir / "h.hst"), HistoryOpen::Ok);
  const std::vector<HistoryBar> got = read_all(f);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].time, bars[0].time);
  EXPECT_EQ(got[1].time, bars[8].time);
  EXPECT_EQ(got[2].time, kLastBarTime);
  EXPECT_EQ(f.damaged(), 7);
  EXPECT_EQ(f.status().code, kRecordNotAvailable);

  // The merge with samples at every bar's moment: prices only where a sound bar opens.
  ASSERT_EQ(f.open(dir / "h.hst"), HistoryOpen::Ok);
  SampleList samples(1);
  for (const std::int64_t t : {bars[0].time, bars[2].time, bars[3].time, bars[8].time}) {
    EffectsSample s;
    s.moment = bar_moment(t);
    samples.add(s);
  }
  samples.sort_by_moment();
  int found = 0;
  merge_prices(f, samples, 0, [&] { ++found; });
  EXPECT_EQ(found, 2);
  EXPECT_EQ(samples.price(0, 0).open, 1.2340);
  EXPECT_EQ(samples.price(1, 0).open, 0) << "NaN open: no price";
  EXPECT_EQ(samples.price(2, 0).open, 0) << "infinite high: no price";
  EXPECT_EQ(samples.price(3, 0).open, 1.2345);
  EXPECT_EQ(bar_moment(kLastBarTime) % 86400, 86399) << "the last second of the last day";
}

TEST(HistoryFile, RefusesOtherVersionsAndShortFiles) {
  const struct {
    std::string bytes;
    HistoryOpen want;
    std::int32_t version;
  } cases[] = {
      {"", HistoryOpen::TooShort, 0},
      {std::string(147, '\0'), HistoryOpen::TooShort, 0},
      {test::history_bytes(402, 5, {{0, 1, 1, 1, 1}}), HistoryOpen::UnknownVersion, 402},
      {test::history_bytes(0, 5, {{0, 1, 1, 1, 1}}), HistoryOpen::UnknownVersion, 0},
      {test::history_bytes(-400, 5, {}), HistoryOpen::UnknownVersion, -400},
      {test::history_bytes(500, 5, {}), HistoryOpen::UnknownVersion, 500},
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    test::write_file(dir / "h.hst", c.bytes);
    HistoryFile f;
    EXPECT_EQ(f.open(dir / "h.hst"), c.want) << c.bytes.size();
    if (c.want == HistoryOpen::UnknownVersion) {
      EXPECT_EQ(f.version(), c.version);
    }
    HistoryBar b;
    EXPECT_FALSE(f.next(b)) << "a refused file never yields a bar";
  }
}

TEST(HistoryFile, MissingFileAndCutOffLastBar) {
  test::TempDir dir;
  HistoryFile f;
  EXPECT_EQ(f.open(dir / "none.hst"), HistoryOpen::CannotOpen);
  EXPECT_EQ(f.status().code, kFileNotFound);

  // A header alone holds no bar; a bar cut short at the end is not one.
  for (const int version : {400, 401}) {
    std::string bytes = test::history_bytes(version, 4, {{100, 1, 2, 0.5, 1}, {160, 2, 3, 1, 2}});
    bytes.resize(bytes.size() - 1);
    test::write_file(dir / "cut.hst", bytes);
    ASSERT_EQ(f.open(dir / "cut.hst"), HistoryOpen::Ok);
    const auto got = read_all(f);
    ASSERT_EQ(got.size(), 1u) << version;
    EXPECT_EQ(got[0].time, 100);
    test::write_file(dir / "empty.hst", test::history_bytes(version, 4, {}));
    ASSERT_EQ(f.open(dir / "empty.hst"), HistoryOpen::Ok);
    EXPECT_TRUE(read_all(f).empty());
  }
}

// The real version-401 file against its CSV export: same bars in the same order, the export's
// times 1 hour (winter) or 2 hours (summer) later than the stored ones.
TEST(HistoryFile, RealVersion401FileMatchesItsExport) {
  const auto dir = test::fixtures_dir() / "mt4-history";
  HistoryFile f;
  ASSERT_EQ(f.open(dir / "EURUSD15.hst"), HistoryOpen::Ok);
  EXPECT_EQ(f.version(), 401);
  EXPECT_EQ(f.digits(), 5);
  const auto bars = read_all(f);
  ASSERT_EQ(bars.size(), 10388u);

  TextReader csv;
  ASSERT_TRUE(csv.open(dir / "EURUSD15.csv").is_ok());
  std::string line;
  ASSERT_TRUE(csv.next(line).is_ok());  // header
  std::size_t k = 0;
  while (csv.next(line).is_ok() && k < bars.size()) {
    int y, mo, d, h, mi, s;
    double open, high, low;
    ASSERT_EQ(std::sscanf(line.c_str(), "%d-%d-%d %d:%d:%d,%lf,%lf,%lf", &y, &mo, &d, &h, &mi, &s,
                          &open, &high, &low),
              9)
        << line;
    const std::int64_t shown = test::unix_at(*date_serial(y, mo, d), h, mi) + s;
    const std::int64_t diff = shown - bars[k].time;
    EXPECT_TRUE(diff == 3600 || diff == 7200) << "bar " << k << ": " << diff;
    EXPECT_NEAR(bars[k].open, open, 1e-9) << k;
    EXPECT_NEAR(bars[k].high, high, 1e-9) << k;
    EXPECT_NEAR(bars[k].low, low, 1e-9) << k;
    EXPECT_LE(bars[k].low, bars[k].high);
    ++k;
  }
  EXPECT_EQ(k, bars.size());
}

TEST(HistoryFile, RealVersion400File) {
  HistoryFile f;
  ASSERT_EQ(f.open(test::fixtures_dir() / "mt4-history" / "EURUSD1440.hst"), HistoryOpen::Ok);
  EXPECT_EQ(f.version(), 400);
  EXPECT_EQ(f.digits(), 1);
  const auto bars = read_all(f);
  ASSERT_EQ(bars.size(), 680u);
  EXPECT_EQ(bars.front().time, test::unix_at(*date_serial(2018, 2, 23), 8, 0));
  EXPECT_EQ(bars.back().time, test::unix_at(*date_serial(2020, 10, 14), 8, 0));
  for (std::size_t i = 0; i < bars.size(); ++i) {
    EXPECT_EQ(bars[i].time % 86400, 8 * 3600) << i;
    EXPECT_LE(bars[i].low, bars[i].open) << i;
    EXPECT_GE(bars[i].high, bars[i].open) << i;
    if (i > 0) {
      EXPECT_GT(bars[i].time, bars[i - 1].time) << i;
    }
  }
}

}  // namespace
}  // namespace mervane
