// The swap item generation window and the item it makes of a definition and a pair.
#include <gtest/gtest.h>

#include "core/auxdata/swap_item.h"
#include "core/auxdata/swap_output.h"
#include "core/runtime/table.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/stub_windows.h"
#include "tests/support/tables.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_bed.h"

namespace mervane {
namespace {

using test::day;
using C = SwapOutputControl;

SwapdataRecord definition(std::int16_t dateadd, std::string_view descr) {
  SwapdataRecord d;
  d.dateadd = dateadd;
  d.mt4time = tod(23, 0);
  d.descr = descr;
  d.factor = 1;
  d.spacing = -1;
  d.color = 2;
  d.symbol = 233;
  d.symbol2 = 234;
  d.m1 = d.h1 = d.d1 = 1;
  return d;
}

SwaprateRecord pair(std::string_view name, double buy, double sell) {
  SwaprateRecord p;
  p.pair = name;
  p.buy = buy;
  p.sell = sell;
  return p;
}

TEST(SwapItem, TakesTheDefinitionAndThePair) {
  const SwapoutRecord o =
      swap_item(definition(3, "Swap"), pair("EURUSD", 1.25, -3.5), day(2009, 3, 8));
  EXPECT_EQ(o.rectype, "SWAP");
  EXPECT_EQ(o.date, day(2009, 3, 11));
  EXPECT_EQ(o.time, tod(23, 0));
  EXPECT_EQ(o.currency, "EURUSD");
  EXPECT_EQ(o.text1, "Swap");
  EXPECT_EQ(o.text2, "BUY: 1.25   sell: (3.50)");
  EXPECT_EQ(o.symbol, 233);
  EXPECT_EQ(o.spacing, -1);
  EXPECT_EQ(o.color, 2);
  EXPECT_EQ(std::vector<int>({o.m1, o.m5, o.m15, o.m30, o.h1, o.h4, o.d1, o.w1, o.mn1}),
            std::vector<int>({1, 0, 0, 0, 1, 0, 1, 0, 0}));
  EXPECT_EQ(swap_item(definition(3, "x"), pair("GBPUSD", -1, -0.5), 0).symbol, 234)
      << "down symbol when the sell swap is higher";
  EXPECT_EQ(swap_item(definition(3, "x"), pair("GBPUSD", 2, 2), 0).symbol, 233);
}

TEST(SwapItem, Text2WordsAndValues) {
  struct Case {
    double buy, sell;
    std::int16_t factor;
    const char* text;
  };
  const Case cases[] = {
      {1.25, -3.5, 1, "BUY: 1.25   sell: (3.50)"},
      {0, 0, 1, "buy: 0.00   sell: 0.00"},
      {-0.004, 0.004, 1, "buy: 0.00   SELL: 0.00"},
      {12.345, 1000, 10, "BUY: 123.45   SELL: 10,000.00"},
      {-1234.5, 2, -2, "buy: 2,469.00   SELL: (4.00)"},
  };
  for (const Case& c : cases) EXPECT_EQ(swap_text2(c.buy, c.sell, c.factor), c.text);
}

class SwapOutputWindow : public ::testing::Test, protected test::WindowBed {
 protected:
  template <class Def>
  void fill(const std::vector<typename Def::Record>& records) {
    test::fill_table<Def>(dir.path(), records);
  }
  std::vector<SwapoutRecord> items() { return test::table_records<SwapoutTable>(dir.path()); }
};

TEST_F(SwapOutputWindow, StartsOnTheLatestSundayAndPicksSundaysOnly) {
  SwapOutput wednesday(session, windows, reporter, progress);
  wednesday.open();
  EXPECT_EQ(wednesday.value(number(C::FROMDATE)), "03/08/2009");
  clock.set(day(2009, 3, 8), 1);
  SwapOutput m(session, windows, reporter, progress);
  m.open();
  EXPECT_EQ(m.value(number(C::FROMDATE)), "03/08/2009");
  EXPECT_EQ(m.value(number(C::REBUILD)), "1");
  windows.picks = {day(2009, 3, 15)};
  m.accepted(number(C::BUTTON5));
  EXPECT_EQ(m.value(number(C::FROMDATE)), "03/15/2009");
  EXPECT_EQ(windows.picker_masks, std::vector<std::string>{"0000001"});
  EXPECT_EQ(session.globals().cmask, "1111111");
  m.accepted(number(C::SWAPPLOT));
  m.accepted(number(C::SWAPRATES));
  // Their keys open them too.
  EXPECT_EQ(m.key({Key::F2}), Reply::stay());
  EXPECT_EQ(m.key({Key::F3}), Reply::stay());
  EXPECT_EQ(windows.calls,
            (std::vector<std::string>{std::string(Calendar::kTitle), "Swap Details",
                                      "Swap Rates / Spread Collection settings", "Swap Details",
                                      "Swap Rates / Spread Collection settings"}));
  EXPECT_EQ(m.key({Key::Esc}), Reply::closed(Response::Cancelled));
  EXPECT_TRUE(m.closed());
  EXPECT_FALSE(std::filesystem::exists(dir / "SWAPOUT.db")) << "Cancel changes nothing";
}

TEST_F(SwapOutputWindow, ATypedStartDateAndACloseRequest) {
  fill<SwapdataTable>({definition(3, "Wednesday")});
  fill<SwaprateTable>({pair("EURUSD", 1, 2)});
  SwapOutput m(session, windows, reporter, progress);
  m.open();
  EXPECT_EQ(m.type(number(C::FROMDATE), "3/1/2009"), Reply::stay());
  EXPECT_EQ(m.value(number(C::FROMDATE)), "03/01/2009");
  m.type(number(C::FROMDATE), "03/32/2009");
  m.type(number(C::REBUILD), "on");
  EXPECT_EQ(reporter.warnings.size(), 2u);
  EXPECT_EQ(reporter.warnings[0].caption, "  Modify Swap Details");
  EXPECT_EQ(m.value(number(C::FROMDATE)), "03/01/2009");
  EXPECT_EQ(m.value(number(C::REBUILD)), "1");
  SwapOutput closing(session, windows, reporter, progress);
  closing.open();
  EXPECT_EQ(closing.close_request(), Reply::closed(Response::Cancelled));
  EXPECT_FALSE(std::filesystem::exists(dir / "SWAPOUT.db")) << "closing changes nothing";
  EXPECT_EQ(m.accepted(number(C::OK)), Reply::closed(Response::Completed));
  const auto out = items();
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].date, day(2009, 3, 4)) << "the Wednesday of the typed week";
}

TEST_F(SwapOutputWindow, TwoDefinitionsAndFivePairsGiveTenItems) {
  fill<SwapdataTable>(
      {definition(4, "Thursday"), definition(3, "Wednesday"), definition(-1, "never used")});
  fill<SwaprateTable>({pair("USDJPY", 1, 2), pair("EURUSD", 1.25, -3.5), pair("GBPUSD", 0, 1),
                       pair("AUDUSD", 3, 1), pair("NZDUSD", -1, -2)});
  SwapOutput m(session, windows, reporter, progress);
  m.open();
  EXPECT_EQ(m.key({Key::Enter}), Reply::closed(Response::Completed));
  EXPECT_TRUE(m.closed());
  EXPECT_TRUE(m.result().done);
  EXPECT_EQ(m.result().added, 10);
  EXPECT_EQ(m.count1(), 10);
  EXPECT_EQ(m.value(number(C::COUNT1)), "10");
  const auto out = items();
  ASSERT_EQ(out.size(), 10u);
  for (std::size_t i = 0; i < out.size(); ++i) {
    EXPECT_EQ(out[i].date, i < 5 ? day(2009, 3, 11) : day(2009, 3, 12)) << i;
    EXPECT_EQ(out[i].text1, i < 5 ? "Wednesday" : "Thursday") << i;
  }
  EXPECT_EQ(out[0].currency, "AUDUSD");
  EXPECT_EQ(out[2].currency, "GBPUSD");
  EXPECT_EQ(out[2].symbol, 234);
  EXPECT_EQ(out[2].text2, "buy: 0.00   SELL: 1.00");
  EXPECT_TRUE(reporter.stops.empty());
}

TEST_F(SwapOutputWindow, ADefinitionWithDateAddZeroIsASundayItem) {
  fill<SwapdataTable>({definition(0, "Sunday"), definition(1, "Monday")});
  fill<SwaprateTable>({pair("EURUSD", 1, 2)});
  SwapOutput m(session, windows, reporter, progress);
  m.open();
  m.accepted(number(C::OK));
  const auto out = items();
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].date, day(2009, 3, 8));
  EXPECT_EQ(out[0].text1, "Sunday");
}

TEST_F(SwapOutputWindow, RebuildRemovesEverySwapItemAndKeepsOtherTypes) {
  SwapoutRecord old_swap =
      swap_item(definition(3, "Wednesday"), pair("EURUSD", 9, 9), day(2009, 3, 1));
  SwapoutRecord lower = old_swap;
  lower.rectype = "swap";
  lower.text1 = "typed by hand";
  SwapoutRecord note;
  note.rectype = "NOTE";
  note.date = day(2009, 3, 1);
  note.text1 = "a note";
  SwapoutRecord later = note;
  later.rectype = "SWAPX";
  fill<SwapoutTable>({old_swap, lower, note, later});
  fill<SwapdataTable>({definition(3, "Wednesday")});
  fill<SwaprateTable>({pair("EURUSD", 1.25, -3.5)});

  // Without Rebuild the earlier week stays; a second run rewrites this week's item in place.
  for (int run = 0; run < 2; ++run) {
    SwapOutput m(session, windows, reporter, progress);
    m.open();
    m.type(number(C::REBUILD), "0");
    m.key({Key::Enter});
    EXPECT_EQ(m.result().added, run == 0 ? 1 : 0);
    EXPECT_EQ(m.result().rewritten, run == 0 ? 0 : 1);
    EXPECT_EQ(items().size(), 5u);
  }
  SwapOutput m(session, windows, reporter, progress);
  m.open();
  m.key({Key::Enter});
  EXPECT_EQ(m.result().deleted, 3);  // both weeks, either letter case
  EXPECT_EQ(m.count1(), 4);
  const auto out = items();
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].text1, "a note");
  EXPECT_EQ(out[1],
            swap_item(definition(3, "Wednesday"), pair("EURUSD", 1.25, -3.5), day(2009, 3, 8)));
  EXPECT_EQ(out[2].rectype, "SWAPX");
}

}  // namespace
}  // namespace mervane
