// The 67-line settings file: its exact layout, reading back, the corrections after loading and
// settings by name.
#include <gtest/gtest.h>

#include "core/output/settings_file.h"
#include "core/util/dates.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

const std::int32_t kToday = *date_serial(2026, 12, 8);

std::vector<std::string> split_crlf(const std::string& bytes) {
  std::vector<std::string> out;
  std::size_t start = 0, at;
  while ((at = bytes.find("\r\n", start)) != std::string::npos) {
    out.push_back(bytes.substr(start, at - start));
    start = at + 2;
  }
  EXPECT_EQ(start, bytes.size()) << "every line ends with CR LF";
  return out;
}

TEST(SettingsFile, DefaultsAreWrittenAsSixtySevenLinesInFileOrder) {
  test::TempDir dir;
  const SettingsRecord rec = built_in_defaults(kToday, "/work");
  ASSERT_TRUE(write_settings_file(dir / "trune.INI", rec).is_ok());
  const auto lines = split_crlf(test::read_file(dir / "trune.INI"));
  ASSERT_EQ(lines.size(), 67u);
  const std::vector<std::pair<int, std::string>> expected = {{1, "calendar.php"},
                                                             {2, "/work/news.csv"},
                                                             {3, "0"},
                                                             {4, std::to_string(kToday)},
                                                             {7, "60"},
                                                             {9, "1"},
                                                             {14, "0"},
                                                             {18, "74879"},
                                                             {19, "109211"},
                                                             {20, "139"},
                                                             {28, "147"},
                                                             {29, "1"},
                                                             {31, "3"},
                                                             {32, "1"},
                                                             {33, "1"},
                                                             {35, ""},
                                                             {38, "1"},
                                                             {44, ""},
                                                             {45, "XLOutput.CSV"},
                                                             {50, "1"},
                                                             {59, "1"},
                                                             {62, ""},
                                                             {64, "0"},
                                                             {67, "148"}};
  for (const auto& [line, text] : expected) EXPECT_EQ(lines[line - 1], text) << "line " << line;
  EXPECT_EQ(setting_names().size(), 67u);
  EXPECT_EQ(setting_names()[63], "NONECON");
  EXPECT_EQ(setting_names()[64], "NCIOUT");
  // 1 January 2006 and 31 December 2099.
  EXPECT_EQ(ymd_of(74879), (Ymd{2006, 1, 1}));
  EXPECT_EQ(ymd_of(109211), (Ymd{2099, 12, 31}));
}

TEST(SettingsFile, ReadBackRestoresEverySettingButBlanksInSeparatorAndDateFormat) {
  test::TempDir dir;
  SettingsRecord rec = built_in_defaults(kToday, dir.path());
  rec.b.offset1 = -7;
  rec.b.descr1 = "CPI|~CORE";
  rec.b.sepchar = ", ";
  rec.b.datefmt = "D ";
  rec.b.pairs = "EURUSD,GBPUSD";
  rec.b.loadweeks = 9;
  rec.b.nciout = 3;
  rec.nonecon = 1;
  ASSERT_TRUE(write_settings_file(dir / "trune.INI", rec).is_ok());
  SettingsRecord back;
  ASSERT_TRUE(read_settings_file(dir / "trune.INI", back).is_ok());
  repair_after_load(back);
  SettingsRecord want = rec;
  want.b.sepchar = ",";
  want.b.datefmt = "D";
  want.b.loadweeks = 1;
  EXPECT_EQ(back, want);
}

TEST(SettingsFile, ShortBrokenAndOversizedLines) {
  SettingsRecord rec = built_in_defaults(kToday, "/w");
  const std::string long_filter(100, 'x');
  apply_settings_lines(
      {"in.php", "out.csv", " 1 ", "abc", "99999", "-3", "", "", "", "", "",         "",
       "",       "",        "",    "",    "",      "",   "", "", "", "", "",         "",
       "",       "",        "",    "",    "",      "",   "", "", "", "", long_filter},
      rec);
  EXPECT_EQ(rec.b.inpname, "in.php");
  EXPECT_EQ(rec.b.inclswaps, 1);  // blanks removed
  EXPECT_EQ(rec.b.date1, 0);      // not a number
  EXPECT_EQ(rec.b.offset1, 0);    // outside the 16-bit field
  EXPECT_EQ(rec.b.offset2, -3);
  EXPECT_EQ(rec.b.descr1.str(), std::string(80, 'x'));  // cut to the field
  // Lines the file did not have keep their values.
  EXPECT_EQ(rec.b.loadweeks, 1);
  EXPECT_EQ(rec.b.symotr, 148);
  test::TempDir dir;
  EXPECT_EQ(read_settings_file(dir / "none.INI", rec).code, kFileNotFound);
}

TEST(SettingsFile, CorrectionsAfterLoading) {
  struct Case {
    const char* xls;
    const char* sep;
    const char* fmt;
    int spacing;
    const char* want_xls;
    const char* want_sep;
    const char* want_fmt;
    int want_spacing;
  };
  const Case cases[] = {{"a", "1", "X-", 0, "xloutput.csv", ",", "Y/", 60},
                        {"", ",\"", "M/", 15, "", ",\"", "M/", 15},
                        {"ab", "1", "d.", -5, "ab", ",", "Y/", 60},
                        {"*EXPORT", "|", "D.", 1, "*EXPORT", "|", "D.", 1}};
  for (const auto& c : cases) {
    SettingsRecord r;
    r.b.outxlsname = c.xls;
    r.b.sepchar = c.sep;
    r.b.datefmt = c.fmt;
    r.b.spacing1 = static_cast<std::int16_t>(c.spacing);
    r.b.loadweeks = 12;
    repair_after_load(r);
    EXPECT_EQ(r.b.outxlsname, c.want_xls);
    EXPECT_EQ(r.b.sepchar, c.want_sep);
    EXPECT_EQ(r.b.datefmt, c.want_fmt);
    EXPECT_EQ(r.b.spacing1, c.want_spacing);
    EXPECT_EQ(r.b.loadweeks, 1);
  }
}

TEST(SettingsByName, ValuesAreCheckedBeforeTheyAreTaken) {
  SettingsRecord rec = built_in_defaults(kToday, "/w");
  ASSERT_TRUE(set_setting(rec, "thrudate", "12/31/2030").is_ok());
  EXPECT_EQ(rec.b.thrudate, *date_serial(2030, 12, 31));
  ASSERT_TRUE(set_setting(rec, "FROMDATE", "2009-03-07").is_ok());
  EXPECT_EQ(setting_value(rec, "fromdate"), "03/07/2009");
  ASSERT_TRUE(set_setting(rec, "DATE1", "75250").is_ok());
  EXPECT_EQ(rec.b.date1, 75250);
  ASSERT_TRUE(set_setting(rec, "Offset1", "-5").is_ok());
  EXPECT_EQ(rec.b.offset1, -5);
  ASSERT_TRUE(set_setting(rec, "NONECON", "1").is_ok());
  EXPECT_EQ(rec.nonecon, 1);
  // The dates of the window: 1 January 1900 to 31 December 2099, however they are written.
  for (const char* first : {"01/01/1900", "1900-01-01", "36163"}) {
    ASSERT_TRUE(set_setting(rec, "DATE1", first).is_ok()) << first;
    EXPECT_EQ(rec.b.date1, *date_serial(1900, 1, 1));
  }
  for (const char* last : {"12/31/2099", "2099-12-31", "109211"}) {
    ASSERT_TRUE(set_setting(rec, "THRUDATE", last).is_ok()) << last;
    EXPECT_EQ(rec.b.thrudate, *date_serial(2099, 12, 31));
  }

  const SettingsRecord before = rec;
  const std::string too_long(81, 'y');
  const char* refused[][2] = {{"NOSUCH", "1"},
                              {"OFFSET1", "x"},
                              {"OFFSET1", "40000"},
                              {"SPACING1", "0"},
                              {"DATE1", "02/30/2009"},
                              {"SEPCHAR", "abc"},
                              {"DESCR1", too_long.c_str()},
                              {"DATE1", "0"},
                              {"DATE1", "36162"},
                              {"DATE1", "12/31/1899"},
                              {"FROMDATE", "99999999"},
                              {"THRUDATE", "2100-01-01"},
                              {"THRUDATE", "109212"}};
  for (const auto& r : refused) {
    const Status st = set_setting(rec, r[0], r[1]);
    EXPECT_EQ(st.code, kBadValue) << r[0] << "=" << r[1];
    EXPECT_FALSE(st.text.empty());
    if (std::string_view(r[0]).find("DATE") != std::string_view::npos &&
        std::string_view(r[1]) != "02/30/2009") {
      EXPECT_NE(st.text.find(std::string(r[0]) + " takes a date from 01/01/1900 to 12/31/2099"),
                std::string::npos)
          << st.text;
    }
  }
  EXPECT_EQ(rec, before);
}

}  // namespace
}  // namespace mervane
