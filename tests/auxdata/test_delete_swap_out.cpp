// The auxiliary item deletion window, and the swap and aux commands.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/app.h"
#include "core/auxdata/delete_swap_out.h"
#include "core/runtime/table.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/stub_windows.h"
#include "tests/support/tables.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_bed.h"
#include "tests/support/window_checks.h"

namespace mervane {
namespace {

using C = DeleteSwapOutControl;

using test::day;

SwapoutRecord item(std::string_view type, std::int32_t date, std::string_view ccy) {
  SwapoutRecord o;
  o.rectype = type;
  o.date = date;
  o.time = tod(23, 0);
  o.currency = ccy;
  o.text1 = "t";
  return o;
}

class DeleteSwapOutWindow : public ::testing::Test, protected test::WindowBed {
 protected:
  void SetUp() override {
    SwaprateRecord usdjpy, eurusd;
    usdjpy.pair = "USDJPY";
    eurusd.pair = "EURUSD";
    test::fill_table<SwaprateTable>(dir.path(), {usdjpy, eurusd});
    test::fill_table<SwapoutTable>(dir.path(), stored);
  }
  std::vector<SwapoutRecord> items() { return test::table_records<SwapoutTable>(dir.path()); }
  const std::vector<SwapoutRecord> stored = {
      item("SWAP", day(2009, 3, 11), "EURUSD"), item("SWAP", day(2009, 3, 11), "USDJPY"),
      item("SWAP", day(2009, 3, 12), "EURUSD"), item("SWAP", day(2009, 3, 11), "ALL"),
      item("NOTE", day(2009, 3, 11), "EURUSD"), item("swap", day(2009, 3, 10), "EURUSD"),
      item("OTHER", day(2009, 3, 11), "EURUSD")};
  DeleteSwapOut m{session, windows, reporter, progress};
};

TEST_F(DeleteSwapOutWindow, OpensWithThePairsAndTheRecordTypes) {
  m.open();
  EXPECT_EQ(m.choices(number(C::DELPAIR)),
            (std::vector<std::string>{"", "ALL", "EURUSD", "USDJPY"}));
  // One entry per type ignoring case, spelt as its first item in key order.
  EXPECT_EQ(m.choices(number(C::RECTYPE)), (std::vector<std::string>{"NOTE", "OTHER", "swap"}));
  EXPECT_EQ(m.value(number(C::RECTYPE)), "NOTE");
  EXPECT_EQ(m.value(number(C::FROMDATE)), "01/01/2000");
  EXPECT_EQ(m.value(number(C::THRUDATE)), "");
  EXPECT_EQ(m.value(number(C::DELPAIR)), "");
}

TEST_F(DeleteSwapOutWindow, DeletesOnlyTheTypeDatesAndPairChosen) {
  struct Case {
    const char* type;
    std::int32_t from, thru;
    const char* pair;
    std::vector<std::size_t> deleted;  // indexes into stored
  };
  const Case cases[] = {
      {"SWAP", day(2009, 3, 11), day(2009, 3, 11), "EURUSD", {0}},
      {"SWAP", day(2009, 3, 11), day(2009, 3, 11), "ALL", {3}},
      {"SWAP", day(2009, 3, 11), day(2009, 3, 11), "", {0, 1, 3}},
      {"swap", day(2009, 3, 1), day(2009, 3, 31), "eurusd", {0, 2, 5}},
      {"NOTE", day(2000, 1, 1), day(2000, 1, 1), "", {}},
      {"", day(2000, 1, 1), day(2019, 1, 1), "", {}},
      {"ABSENT", day(2000, 1, 1), day(2019, 1, 1), "", {}},  // a type no item has
  };
  for (const Case& c : cases) {
    SetUp();  // the table as stored
    DeleteSwapOut w{session, windows, reporter, progress};
    w.open();
    w.type(number(C::RECTYPE), c.type);
    w.type(number(C::FROMDATE), date_text(c.from));
    w.type(number(C::THRUDATE), date_text(c.thru));
    w.type(number(C::DELPAIR), c.pair);
    EXPECT_EQ(w.key({Key::Enter}), Reply::closed(Response::Completed));
    EXPECT_TRUE(w.closed());
    EXPECT_TRUE(w.done());
    EXPECT_EQ(w.deleted(), static_cast<std::int64_t>(c.deleted.size())) << c.type << c.pair;
    std::vector<SwapoutRecord> expected;
    for (std::size_t i = 0; i < stored.size(); ++i)
      if (std::find(c.deleted.begin(), c.deleted.end(), i) == c.deleted.end())
        expected.push_back(stored[i]);
    auto left = items();
    auto by_content = [](const SwapoutRecord& a, const SwapoutRecord& b) {
      return std::tie(a.rectype, a.date, a.currency) < std::tie(b.rectype, b.date, b.currency);
    };
    std::sort(left.begin(), left.end(), by_content);
    std::sort(expected.begin(), expected.end(), by_content);
    EXPECT_EQ(left, expected) << c.type << " " << c.pair;
  }
  EXPECT_TRUE(reporter.stops.empty());
}

TEST_F(DeleteSwapOutWindow, ALastDateBeforeTheFirstKeepsTheCursorThere) {
  m.open();
  m.type(number(C::RECTYPE), "SWAP");
  m.type(number(C::FROMDATE), "03/12/2009");
  m.type(number(C::THRUDATE), "03/11/2009");
  for (C c : {C::DELPAIR, C::OK}) {
    m.selecting(number(C::RECTYPE));
    m.selecting(number(c));
    EXPECT_EQ(m.focus(), number(C::THRUDATE));
  }
  EXPECT_EQ(m.key({Key::Enter}), Reply::stay());
  EXPECT_EQ(m.focus(), number(C::THRUDATE));
  EXPECT_FALSE(m.closed());
  EXPECT_EQ(items().size(), stored.size());
  // A blank last date becomes the first when the cursor reaches it.
  m.type(number(C::THRUDATE), "");
  m.selecting(number(C::BUTTON2));
  EXPECT_EQ(m.value(number(C::THRUDATE)), "03/12/2009");
  windows.picks = {day(2009, 3, 31)};
  m.accepted(number(C::BUTTON2));
  EXPECT_EQ(m.value(number(C::THRUDATE)), "03/31/2009");
  EXPECT_EQ(windows.picker_dates, std::vector<std::int32_t>{day(2009, 3, 12)});
  EXPECT_EQ(m.key({Key::Esc}), Reply::closed(Response::Cancelled));
  EXPECT_TRUE(m.closed());
  EXPECT_EQ(items().size(), stored.size());
}

TEST_F(DeleteSwapOutWindow, TypesArePickedOrTypedAndRefusalsChangeNothing) {
  m.open();
  // A type of the list, or one typed that no item has (which deletes nothing).
  EXPECT_EQ(m.type(number(C::RECTYPE), "OTHER"), Reply::stay());
  EXPECT_EQ(m.value(number(C::RECTYPE)), "OTHER");
  test::expect_refused(m, reporter, number(C::RECTYPE), "SEVENCH");
  test::expect_refused(m, reporter, number(C::DELPAIR), "EURUSDX");
  test::expect_refused(m, reporter, number(C::FROMDATE), "13/01/2009");
  m.type(number(C::FROMDATE), "03/11/2009");
  m.selecting(number(C::DELPAIR));
  m.type(number(C::DELPAIR), "EURUSD");
  EXPECT_EQ(m.close_request(), Reply::closed(Response::Cancelled));
  EXPECT_FALSE(m.done());
  EXPECT_EQ(items().size(), stored.size()) << "closing deletes nothing";
  EXPECT_EQ(m.key({Key::Enter}), Reply::closed(Response::Cancelled));
  EXPECT_EQ(items().size(), stored.size()) << "nor does Enter once closed";
}

class SwapCommands : public DeleteSwapOutWindow {
 protected:
  int cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--dir", dir.path().string(), "--today", "03/11/2009"});
    out.str("");
    err.str("");
    return cli::run(args, out, err);
  }
  std::ostringstream out, err;
};

TEST_F(SwapCommands, FillTheTablesGenerateAndDelete) {
  EXPECT_EQ(cli({"swap", "rate", "set", "EURUSD", "--buy", "1.25", "--sell", "-3.5", "--spread",
                 "usd,HIGH"}),
            0);
  EXPECT_EQ(cli({"swap", "rate", "set", "EURUSD", "--buy", "2"}), 0);  // the rest stays
  EXPECT_EQ(cli({"swap", "rate", "delete", "USDJPY"}), 0);
  EXPECT_EQ(
      cli({"swap",    "data",     "set",      "--date-add", "3",         "--time",   "23:00",
           "--descr", "Swap Wed", "--factor", "1",          "--spacing", "-1",       "--color",
           "2",       "--symbol", "233",      "--symbol2",  "234",       "--charts", "M1,M5,H1"}),
      0);
  EXPECT_EQ(cli({"swap", "data", "set", "--date-add", "0", "--descr", "Sun"}), 0);
  EXPECT_EQ(cli({"swap", "data", "set", "--date-add", "0", "--time", "22:00"}), 0);
  EXPECT_EQ(cli({"list", "swaprate"}), 0);
  EXPECT_EQ(out.str(),
            "pair,buy,sell,all,usd,cad,eur,gbp,chf,jpy,aud,nzd,high,med,low\n"
            "EURUSD,2,-3.5,0,1,0,0,0,0,0,0,0,1,0,0\n");
  EXPECT_EQ(cli({"list", "swapdata"}), 0);
  EXPECT_EQ(out.str(),
            "dateadd,mt4time,descr,factor,spacing,color,symbol,symbol2,m1,m5,m15,m30,h1,h4,d1,w1,"
            "mn1\n"
            "3,23:00,Swap Wed,1,-1,2,233,234,1,1,0,0,1,0,0,0,0\n")
      << "Date Add 0 is out of the key, so the key listing leaves it out";
  EXPECT_EQ(cli({"swap", "generate", "--keep-existing"}), 0);
  EXPECT_EQ(err.str(), "0 SWAP items deleted, 2 added, 0 rewritten\n");
  EXPECT_EQ(cli({"swap", "generate"}), 0);
  EXPECT_EQ(err.str(), "7 SWAP items deleted, 2 added, 0 rewritten\n");
  EXPECT_EQ(cli({"aux", "delete", "--type", "SWAP", "--from", "03/08/2009"}), 0);
  EXPECT_EQ(err.str(), "1 items deleted\n");  // the Sunday item: the last date is the first

  test::write_file(dir / "swaprate.csv", "EURUSD,1,2\nGBPUSD,3,4\nbad\n");
  EXPECT_EQ(cli({"swap", "import", "--multiplier", "2"}), 0);
  EXPECT_EQ(err.str(),
            "swaprate.csv line 3: no comma (skipped)\n"
            "3 lines read: 1 pairs updated, 0 added, 1 new pairs not added (see --add-new), "
            "1 lines skipped\n");
  EXPECT_EQ(cli({"swap", "import", "--add-new"}), 0);
  EXPECT_NE(err.str().find("1 pairs updated, 1 added"), std::string::npos) << err.str();

  struct Refused {
    std::vector<std::string> args;
    std::string message;
  };
  const Refused refused[] = {
      {{"swap", "generate", "--sunday", "03/11/2009"}, "is a Wednesday, not a Sunday"},
      {{"swap", "import", "--multiplier", "-1"}, "--multiplier"},
      {{"swap", "rate", "set", "", "--buy", "1"}, "a pair may not be blank"},
      {{"swap", "rate", "set", "EURUSDX"}, "longer than 6"},
      {{"swap", "rate", "set", "EURUSD", "--buy", "1.234"}, "--buy"},
      {{"swap", "rate", "set", "EURUSD", "--spread", "USD,XYZ"}, "unknown name \"XYZ\""},
      {{"swap", "data", "set", "--date-add", "3", "--time", "25:00"}, "--time"},
      {{"swap", "data", "set", "--date-add", "3", "--charts", "M2"}, "unknown name \"M2\""},
      {{"swap", "data", "set", "--date-add", "3", "--color", "100"}, "--color"},
      {{"aux", "delete", "--type", "SWAP", "--from", "3/2/2009", "--thru", "3/1/2009"},
       "--thru is before --from"},
  };
  for (const Refused& r : refused) {
    EXPECT_EQ(cli(r.args), 2) << r.message;
    EXPECT_NE(err.str().find(r.message), std::string::npos) << err.str();
  }
  EXPECT_EQ(cli({"swap", "rate", "delete", "XXXXXX"}), 1);
  EXPECT_EQ(cli({"swap", "data", "delete", "--date-add", "7"}), 1);
  EXPECT_EQ(cli({"swap", "data", "delete", "--date-add", "0"}), 0);
}

}  // namespace
}  // namespace mervane
