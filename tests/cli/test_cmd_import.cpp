#include <gtest/gtest.h>

#include <sstream>

#include "cli/app.h"
#include "core/output/settings_file.h"
#include "core/util/dates.h"
#include "tests/support/paths.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

struct Result {
  int code;
  std::string out, err;
};

Result cli(const test::TempDir& dir, std::vector<std::string> args) {
  args.insert(args.begin(), {"--dir", dir.path().string(), "--today", "2007-01-25"});
  std::ostringstream out, err;
  const int code = cli::run(args, out, err);
  return {code, out.str(), err.str()};
}

std::string page(const char* name) {
  return (test::data_dir() / "import" / name).string();
}

void write_settings(const test::TempDir& dir, std::int32_t date1, bool all, int offset1) {
  SettingsRecord s = built_in_defaults(*date_serial(2007, 1, 25), dir.path());
  s.b.date1 = date1;
  s.b.offset1 = static_cast<std::int16_t>(offset1);
  s.b.incut = s.b.incuv = s.b.cnvfmt = all;
  s.nonecon = all;
  ASSERT_TRUE(write_settings_file(dir / "trune.INI", s).is_ok());
}

TEST(CliImport, PagesIntoTheHistoryAndTheBackup) {
  test::TempDir dir;
  write_settings(dir, *date_serial(2007, 1, 8), true, 2);
  const Result r = cli(dir, {"--quiet", "import", page("week_2007_01_08.htm")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(test::read_file(dir / "@BACKUP@.CSV"),
            test::read_file(test::data_dir() / "import" / "week_2007_01_08.backup.csv"));
  EXPECT_FALSE(std::filesystem::exists(dir / "truneout"));  // only the pages named are read
}

TEST(CliImport, PageKIsWeekKAfterTheStart) {
  test::TempDir dir;
  write_settings(dir, *date_serial(2001, 1, 1), false, 0);
  test::write_file(dir / "next.htm",
                   "<span>Sun</span>Jan 6</td><td>8:30am</td><td>USD</td><td><span "
                   "title=\"Low Impact Expected\"></span></td><td>Next</td>"
                   "<td></td><td>1</td><td></td><td></td></tr>\n</table>\n");
  Result r = cli(dir, {"--quiet", "import", page("week_2007_12_30.htm"),
                       (dir / "next.htm").string(), "--start", "12/30/2007"});
  EXPECT_EQ(r.code, 0) << r.err;
  r = cli(dir, {"list", "calendar"});
  ASSERT_EQ(r.code, 0) << r.err;
  std::istringstream lines(r.out);
  std::vector<std::string> dates;
  for (std::string l; std::getline(lines, l);) dates.push_back(l.substr(0, l.find(',')));
  EXPECT_EQ(dates, (std::vector<std::string>{"date", "12/30/2007", "12/31/2007", "01/01/2008",
                                             "01/02/2008", "01/03/2008", "01/04/2008", "01/05/2008",
                                             "01/06/2008"}));

  // Without --start the settings' DATE1 gives the year: 2001 here.
  test::TempDir other;
  write_settings(other, *date_serial(2001, 1, 1), false, 0);
  r = cli(other, {"--quiet", "import", (dir / "next.htm").string()});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(test::read_file(other / "@BACKUP@.CSV").find("\"2001-01-06\""), std::string::npos);
}

TEST(CliImport, Failures) {
  test::TempDir dir;
  write_settings(dir, *date_serial(2007, 1, 8), false, 0);
  const std::string missing = (dir / "missing.htm").string();
  Result r = cli(dir, {"--quiet", "import", missing, page("week_2007_01_08.htm")});
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.err.find("Stop: Open(" + missing + ") - File Not Found"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "@BACKUP@.CSV"));

  r = cli(dir, {"--quiet", "--keep-going", "import", missing, page("week_2007_01_08.htm")});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(test::read_file(dir / "@BACKUP@.CSV").find("\"2007-01-08\""), std::string::npos);

  r = cli(dir, {"import", page("week_2007_01_08.htm"), "--start", "13/45/2007"});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("--start"), std::string::npos) << r.err;
  r = cli(dir, {"import"});
  EXPECT_EQ(r.code, 2);
}

TEST(CliImport, CalendarUrl) {
  test::TempDir dir;
  Result r = cli(dir, {"calendar-url"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("no calendar address is set"), std::string::npos);

  r = cli(dir, {"calendar-url", "HTTPS://calendar.example/"});
  EXPECT_EQ(r.code, 0) << r.err;
  r = cli(dir, {"calendar-url"});
  EXPECT_EQ(r.out, "https://calendar.example\n");

  r = cli(dir, {"calendar-url", "https://calendar.example/calendar.php"});
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("path"), std::string::npos) << r.err;
  r = cli(dir, {"calendar-url"});
  EXPECT_EQ(r.out, "https://calendar.example\n");  // the old address stays
}

}  // namespace
}  // namespace mervane
