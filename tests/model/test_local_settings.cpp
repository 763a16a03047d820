// The program's own small settings file and the Program Files folder it may name.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/model/local_settings.h"
#include "core/model/program_files.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

TEST(LocalSettings, SetReplaceRemoveAndKeepOthers) {
  test::TempDir dir;
  EXPECT_EQ(load_local_setting(dir.path(), "CALENDARURL"), "");
  ASSERT_TRUE(save_local_setting(dir.path(), "CalendarUrl", "https://a.example").is_ok());
  ASSERT_TRUE(save_local_setting(dir.path(), "PROGRAMFILES", "/opt/pf").is_ok());
  ASSERT_TRUE(save_local_setting(dir.path(), "calendarurl", "https://b.example:8080").is_ok());
  EXPECT_EQ(load_local_setting(dir.path(), "CALENDARURL"), "https://b.example:8080");
  EXPECT_EQ(test::read_file(dir / "mervane.cfg"),
            "CALENDARURL=https://b.example:8080\r\nPROGRAMFILES=/opt/pf\r\n");
  ASSERT_TRUE(save_local_setting(dir.path(), "CALENDARURL", "").is_ok());
  EXPECT_EQ(test::read_file(dir / "mervane.cfg"), "PROGRAMFILES=/opt/pf\r\n");
  EXPECT_EQ(save_local_setting(dir.path(), "A=B", "x").code, kBadValue);
  EXPECT_EQ(save_local_setting(dir.path(), "A", "two\nlines").code, kBadValue);
}

TEST(ProgramFiles, WinePrefixOrTheUsersOwnRoot) {
  test::TempDir dir;
  ::setenv("WINEPREFIX", (dir.path() / "wine").c_str(), 1);
  EXPECT_EQ(program_files_root(dir.path()), dir.path() / "wine" / "drive_c" / "Program Files");
  std::filesystem::create_directories(dir.path() / "wine" / "drive_c" / "Program Files (x86)");
  EXPECT_EQ(program_files_folders(dir.path()).size(), 2u);
  EXPECT_EQ(news_csv_path_for(dir.path(), "Broker MT4"),
            (dir.path() / "wine/drive_c/Program Files/Broker MT4/experts/files/news.csv").string());
  ASSERT_TRUE(save_local_setting(dir.path(), "PROGRAMFILES", "/srv/terminals").is_ok());
  EXPECT_EQ(program_files_root(dir.path()), std::filesystem::path("/srv/terminals"));
  ::unsetenv("WINEPREFIX");
}

}  // namespace
}  // namespace mervane
