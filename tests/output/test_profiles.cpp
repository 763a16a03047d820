// The settings file and the profiles as the user keeps them: round trips, the profile list from
// the folder, names that would leave the folder, and failures that must not lose settings.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/output/profiles.h"
#include "core/runtime/paths.h"
#include "core/runtime/text_file.h"
#include "tests/output/history_fixture.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

SettingsRecord changed_settings(const std::filesystem::path& folder) {
  SettingsRecord r = built_in_defaults(test::day(2009, 3, 1), folder);
  r.b.outname = "C:\\MT4\\experts\\files\\news.csv";
  r.b.symusd = -1;
  r.b.offset2 = -5;
  r.b.descr1 = "CPI|~CORE";
  r.b.sepchar = ";'";
  r.b.datefmt = "D.";
  r.b.loadweeks = 3;
  r.b.pairs = "EURUSD,USDJPY";
  r.nonecon = 1;
  r.b.symotr = 150;
  return r;
}

class Profiles : public ::testing::Test {
 protected:
  test::TempDir dir;
  test::ScriptedReporter rep;
};

TEST_F(Profiles, SettingsFileRoundTrip) {
  const SettingsRecord saved = changed_settings(dir.path());
  save_ini(dir.path(), saved, rep);
  SettingsRecord loaded = built_in_defaults(test::day(2010, 1, 1), dir.path());
  load_ini(dir.path(), loaded, rep);
  EXPECT_EQ(loaded, saved);
  EXPECT_EQ(test::read_file(dir / "trune.INI").substr(0, 45),
            "calendar.php\r\nC:\\MT4\\experts\\files\\news.csv\r\n");
  EXPECT_TRUE(rep.stops.empty());
}

TEST_F(Profiles, MissingSettingsFileLeavesTheDefaults) {
  const SettingsRecord defaults = built_in_defaults(test::day(2010, 1, 1), dir.path());
  SettingsRecord r = defaults;
  load_ini(dir.path(), r, rep);
  EXPECT_EQ(r, defaults);
  EXPECT_TRUE(rep.stops.empty());
}

TEST_F(Profiles, UnreadableSettingsFileIsReported) {
  // A settings file that is there but cannot be read must not pass for a missing one: the next
  // run would replace it with the defaults.
  std::filesystem::create_directory(dir / "trune.INI");
  const SettingsRecord defaults = built_in_defaults(test::day(2010, 1, 1), dir.path());
  SettingsRecord r = defaults;
  load_ini(dir.path(), r, rep);
  ASSERT_EQ(rep.stops.size(), 1u);
  EXPECT_EQ(rep.stops[0].rfind("Open(trune.INI) - ", 0), 0u) << rep.stops[0];
  EXPECT_EQ(r, defaults);
}

TEST_F(Profiles, SaveTwiceListsOnceAndDeleteRemovesBoth) {
  std::vector<ProfileName> list;
  const SettingsRecord r = changed_settings(dir.path());
  save_pfile(dir.path(), "AB", r, list, rep);
  save_pfile(dir.path(), "AB", r, list, rep);
  EXPECT_EQ(list, std::vector<ProfileName>{"AB"});
  EXPECT_TRUE(file_exists(dir / "#AB#.INI"));
  const std::string file = test::read_file(dir / "#AB#.INI");
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), kSettingsLines);

  SettingsRecord loaded = built_in_defaults(0, dir.path());
  EXPECT_TRUE(load_pfile(dir.path(), "ab", loaded, rep)) << "found without regard to case";
  EXPECT_EQ(loaded, r);

  EXPECT_TRUE(del_pfile(dir.path(), "AB", list, rep));
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(file_exists(dir / "#AB#.INI"));
  EXPECT_FALSE(load_pfile(dir.path(), "AB", loaded, rep));
  EXPECT_EQ(loaded, r) << "a missing profile changes nothing";
  EXPECT_TRUE(rep.stops.empty());
}

TEST_F(Profiles, DeleteReportsAFileThatStays) {
  // A directory under the profile's file name cannot be unlinked, as a locked file on Windows.
  std::filesystem::create_directories(dir / "#AB#.INI" / "inside");
  std::vector<ProfileName> list{"AB", "CD"};
  rep.stop_answers.push_back(Answer::Ignore);
  EXPECT_FALSE(del_pfile(dir.path(), "AB", list, rep));
  ASSERT_EQ(rep.stops.size(), 1u);
  EXPECT_EQ(rep.stops[0].rfind("Remove(#AB#.INI) - ", 0), 0u) << rep.stops[0];
  EXPECT_EQ(list, (std::vector<ProfileName>{"AB", "CD"})) << "the profile is still there";

  // A profile whose file is already gone just leaves the list.
  EXPECT_TRUE(del_pfile(dir.path(), "CD", list, rep));
  EXPECT_EQ(list, std::vector<ProfileName>{"AB"});
  EXPECT_EQ(rep.stops.size(), 1u);

  rep.stop_answers.push_back(Answer::Abort);
  EXPECT_THROW((void)del_pfile(dir.path(), "AB", list, rep), Aborted);
}

TEST_F(Profiles, SavingOverAProfileOfOtherCaseKeepsOneFile) {
  std::vector<ProfileName> list;
  save_pfile(dir.path(), "eur1", changed_settings(dir.path()), list, rep);
  save_pfile(dir.path(), "EUR1", changed_settings(dir.path()), list, rep);
  EXPECT_EQ(file_names(dir.path()), std::vector<std::string>{"#eur1#.INI"});
}

TEST_F(Profiles, ListComesFromTheFolder) {
  for (const char* f : {"#EUR1#.INI", "#eu#.ini", "#XEU#.Ini", "#ABCDEFGH#.INI", "#nohash.ini",
                        "other.ini", "#.DIR", "#EUX#.txt", "trune.INI"})
    test::write_file(dir / f, "");
  std::filesystem::create_directory(dir / "#DIR#.INI");
  const std::vector<ProfileName> want = {"ABCDEF", "EUR1", "XEU", "eu"};
  EXPECT_EQ(profile_list(dir.path()), want);
  EXPECT_TRUE(profile_list(dir / "missing").empty());
}

TEST_F(Profiles, SpacingBelowOneInAProfileReadsAs60) {
  SettingsRecord r = changed_settings(dir.path());
  r.b.spacing1 = 0;
  ASSERT_TRUE(write_settings_file(dir / "#Z#.INI", r).is_ok());
  SettingsRecord loaded = built_in_defaults(0, dir.path());
  ASSERT_TRUE(load_pfile(dir.path(), "Z", loaded, rep));
  EXPECT_EQ(loaded.b.spacing1, 60);
}

TEST_F(Profiles, ShortProfileFileLeavesTheLaterSettings) {
  test::write_file(dir / "#S#.INI", "in\r\nC:\\x\\news.csv\r\n1\r\n");
  SettingsRecord r = changed_settings(dir.path());
  const SettingsRecord before = r;
  ASSERT_TRUE(load_pfile(dir.path(), "S", r, rep));
  EXPECT_EQ(r.b.outname, "C:\\x\\news.csv");
  EXPECT_EQ(r.b.inclswaps, 1);
  EXPECT_EQ(r.b.symotr, before.b.symotr);
  EXPECT_EQ(r.b.descr1, before.b.descr1);
}

TEST(ProfileName, NamesThatWouldLeaveTheFolderAreRefused) {
  struct Case {
    const char* name;
    bool ok;
  };
  const Case cases[] = {
      {"EUR1", true},     {"a.b", true},  {"AB", true},    {"", false},    {"   ", false},
      {"1234567", false}, {"..", false},  {"../x", false}, {"a/b", false}, {"a\\b", false},
      {"a:b", false},     {"a*", false},  {"a?", false},   {"a#b", false}, {"a\"b", false},
      {"a|b", false},     {"a<b", false}, {"\tab", false},
  };
  for (const Case& c : cases) {
    const Status st = check_profile_name(c.name);
    EXPECT_EQ(st.is_ok(), c.ok) << c.name;
    if (!c.ok) {
      EXPECT_FALSE(st.text.empty()) << c.name;
    }
  }
}

}  // namespace
}  // namespace mervane
