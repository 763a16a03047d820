#include <gtest/gtest.h>

#include <sstream>

#include "cli/app.h"
#include "core/analysis/effects_ini.h"
#include "core/model/local_settings.h"
#include "core/model/records.h"
#include "core/output/settings_file.h"
#include "core/runtime/table.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

struct Cli {
  test::TempDir dir;
  std::string out, err;
  int run(std::vector<std::string> args) {
    args.insert(args.begin(),
                {"--dir", dir.path().string(), "--today", "05/04/2009", "--now", "09:41"});
    std::ostringstream o, e;
    const int rc = cli::run(args, o, e);
    out = o.str();
    err = e.str();
    return rc;
  }
};

TEST(CliAnalysis, EffectsSetup) {
  Cli c;
  // A new settings file is empty: its "Get(" message stops the command unless answered Ignore.
  EXPECT_EQ(c.run({"effects", "setup", "--timeframe", "H1"}), 3);
  EXPECT_NE(c.err.find("Get(EFF.INI) - Record Not Available"), std::string::npos) << c.err;
  ASSERT_EQ(c.run({"--keep-going", "effects", "setup", "--timeframe", "h1", "--path", "C:\\h\\"}),
            0)
      << c.err;
  EXPECT_EQ(c.out,
            "PATH=C:\\h\\\nTIMEFRAME=H1\nOFFSETS=-60,0,60,120,180,240,300,360,420,480,540,600,"
            "660,720,780,840,900,960,1020,1080,1140,1200,1260,1320\n");
  ASSERT_EQ(c.run({"effects", "setup", "--decrease", "--offsets", "-30,0,30"}), 0) << c.err;
  EffectsSettings want;
  want.histpath = "C:\\h\\";
  want.chartint = "H1";
  for (std::size_t i = 0; i < 24; ++i)
    want.timeint[i] = static_cast<std::int16_t>(-120 + 60 * static_cast<int>(i));
  want.timeint[0] = -30, want.timeint[1] = 0, want.timeint[2] = 30;
  const EffIniRecord rec = encode_eff_ini(want);
  EXPECT_EQ(test::read_file(c.dir / "EFF.INI"), std::string(rec.begin(), rec.end()));

  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"effects", "setup", "--timeframe", "H2"},
        {"effects", "setup", "--offsets", "1,x"},
        {"effects", "setup", "--offsets", "40000"},
        {"effects", "setup", "--reset", "--clear"},
        {"effects", "setup", "--path", std::string(kHistPathWidth + 1, 'p')}}) {
    EXPECT_EQ(c.run(bad), 2) << bad.back();
  }
  EXPECT_EQ(test::read_file(c.dir / "EFF.INI"), std::string(rec.begin(), rec.end()));
}

TEST(CliAnalysis, Nci) {
  Cli c;
  std::filesystem::create_directory(c.dir / "mt4");
  SettingsRecord s = built_in_defaults(*date_serial(2009, 5, 4), c.dir.path());
  s.b.outname = (c.dir / "mt4" / "news.csv").string();
  s.b.nciout = 1;
  s.b.nciauto = 1;
  ASSERT_TRUE(write_settings_file(c.dir / "trune.INI", s).is_ok());
  {
    Table<CalendarTable> t(c.dir.path());
    ASSERT_TRUE(t.create().is_ok());
    ASSERT_TRUE(t.open().is_ok());
    t.rec.date = *date_serial(2009, 3, 6);
    t.rec.time = tod(13, 30);
    t.rec.currency = "USD";
    t.rec.descr = "Payrolls";
    t.rec.impact = "H";
    t.rec.actual = "1.5%";
    t.rec.forecast = "1.2%";
    t.rec.previous = "1.0%";
    t.rec.kxidcode = "1";
    ASSERT_TRUE(t.add().is_ok());
  }
  ASSERT_EQ(c.run({"nci"}), 0) << c.err;
  EXPECT_EQ(test::read_file(c.dir / "mt4" / "NCI1.CSV"),
            "9  ,2009.03.06 13:30,USD ,High   ,Payrolls" + std::string(42, ' ') +
                ",1.5%      ,1.2%      ,1.0%      ,          ,1\r\n");
  EXPECT_TRUE(c.out.empty());
}

TEST(CliAnalysis, InitialSetup) {
  Cli c;
  const auto pf = c.dir / "Program Files";
  std::filesystem::create_directories(pf / "Broker MT4");
  ASSERT_TRUE(save_local_setting(c.dir.path(), "PROGRAMFILES", pf.string()).is_ok());
  ASSERT_EQ(c.run({"setup", "--kx", "05/04/2009 08:00", "--mt4", "2009-05-04 15:00", "--local",
                   "05/04/2009 16:30", "--folder", "Broker MT4"}),
            0)
      << c.err;
  EXPECT_EQ(c.out, "OFFSET1=7\nOFFSET2=1\nFOLDER=Broker MT4\nOUTNAME=" +
                       (pf / "Broker MT4" / "experts" / "files" / "news.csv").string() + "\n");
  EXPECT_EQ(test::read_file(c.dir / "trunesetup.BAT").substr(0, 23), "copy /y mirel_events.* ");

  EXPECT_EQ(c.run({"setup", "--kx", "05/04/2009", "--folder", "Broker MT4"}), 2);
  EXPECT_EQ(c.run({"setup", "--mt4", "13/45/2009 08:00", "--folder", "Broker MT4"}), 2);
  EXPECT_EQ(c.run({"setup"}), 2) << "the folder is required";
  EXPECT_EQ(c.run({"setup", "--folder", "a\\b"}), 2);
  EXPECT_NE(c.err.find("cannot be the name of a folder"), std::string::npos) << c.err;
}

}  // namespace
}  // namespace mervane
