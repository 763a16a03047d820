// swap rate|data set|delete go through the swap rate and swap definition forms: the forms'
// refusals become usage errors naming the option, a delete needs no confirmation on the command
// line, and a key in another letter case is the same record.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/app.h"
#include "tests/support/tables.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

struct Result {
  int code;
  std::string out, err;
};

class CliSwapForms : public ::testing::Test {
 protected:
  Result cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--dir", dir.path().string(), "--today", "03/11/2009"});
    std::ostringstream out, err;
    const int code = cli::run(args, out, err);
    return {code, out.str(), err.str()};
  }
  test::TempDir dir;
};

TEST_F(CliSwapForms, SetChangesTheRecordWhateverTheLetterCaseAndDeleteAsksNothing) {
  EXPECT_EQ(cli({"swap", "rate", "set", "EURUSD", "--buy", "1.25", "--spread", "ALL"}).code, 0);
  const Result changed = cli({"swap", "rate", "set", "eurusd", "--sell", "-0.5"});
  EXPECT_EQ(changed.code, 0) << changed.err;
  auto rates = test::table_records<SwaprateTable>(dir.path());
  ASSERT_EQ(rates.size(), 1u);
  EXPECT_EQ(rates[0].pair, "EURUSD") << "the stored pair keeps its spelling";
  EXPECT_EQ(rates[0].buy, 1.25);
  EXPECT_EQ(rates[0].sell, -0.5);
  EXPECT_EQ(rates[0].all, 1);
  const Result same = cli({"swap", "rate", "set", "EURUSD", "--buy", "1.25"});
  EXPECT_EQ(same.code, 0);  // nothing changed: nothing written, still done

  const Result del = cli({"swap", "rate", "delete", "eurusd"});
  EXPECT_EQ(del.code, 0);
  EXPECT_EQ(del.err, "") << "running the command was the confirmation";
  EXPECT_TRUE(test::table_records<SwaprateTable>(dir.path()).empty());
}

TEST_F(CliSwapForms, WhatAFieldRefusesIsAUsageErrorAndChangesNothing) {
  ASSERT_EQ(cli({"swap", "data", "set", "--date-add", "2", "--descr", "Tue"}).code, 0);
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"swap", "data", "set", "--date-add", "2", "--factor", "1000"}, "--factor: "},
      {{"swap", "data", "set", "--date-add", "2", "--symbol", "-4"}, "--symbol: "},
      {{"swap", "data", "set", "--date-add", "2", "--spacing", "1.5"}, "--spacing: "},
      {{"swap", "rate", "set", "USDJPY", "--sell", "123456.00"}, "--sell: "},
  };
  for (const Case& c : cases) {
    const Result r = cli(c.args);
    EXPECT_EQ(r.code, 2) << c.message;
    EXPECT_EQ(r.err.find("mervane-cli: " + c.message), 0u) << r.err;
  }
  const auto defs = test::table_records<SwapdataTable>(dir.path());
  ASSERT_EQ(defs.size(), 1u);
  EXPECT_EQ(defs[0].factor, 0);
  EXPECT_EQ(defs[0].descr, "Tue");
  EXPECT_TRUE(test::table_records<SwaprateTable>(dir.path()).empty());
}

TEST_F(CliSwapForms, TheSundayDefinitionIsOneRecord) {
  EXPECT_EQ(cli({"swap", "data", "set", "--date-add", "0", "--descr", "Sun"}).code, 0);
  EXPECT_EQ(cli({"swap", "data", "set", "--date-add", "0", "--color", "3"}).code, 0);
  Table<SwapdataTable> t(dir.path());
  ASSERT_TRUE(t.open().is_ok());
  std::int64_t n = 0;
  ASSERT_TRUE(t.records(n).is_ok());
  EXPECT_EQ(n, 1);
  ASSERT_TRUE(t.set_storage_order().is_ok());
  ASSERT_TRUE(t.next().is_ok());
  EXPECT_EQ(t.rec.descr, "Sun");
  EXPECT_EQ(t.rec.color, 3);
}

}  // namespace
}  // namespace mervane
