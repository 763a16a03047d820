#include "core/util/helpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace mervane {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

struct TextCase {
  const char* call;
  std::string got;
  std::string want;
};

void expect_all(std::initializer_list<TextCase> cases) {
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.call;
}

TEST(Helpers, SearchAndReplace) {
  expect_all({
      {"entity", srep("&amp;", "A &amp; B", "+"), "A + B"},
      {"underscore returns as blank", srep("x", "a_b x", "y"), "a b y"},
      {"not found", srep("zz", "a_b c", "y"), "a b c"},
      {"find with inner blank", srep(" and ", "bread and butter and", "+"), "bread+ butter+"},
      {"tails keep trailing blanks", srep(" and ", "cats and dogs", " & ", 1, 0, 1), "cats & dogs"},
      {"no overlaps", srep("aa", "aaaaa", "b"), "bba"},
      {"replacement not searched", srep("a", "aba", "aa"), "aabaa"},
      {"leading blanks stay", srep("x", "  ax", "y"), "  ay"},
      {"replace by nothing", srep("-", "a-b-c", ""), "abc"},
      {"blank find", srep("   ", "a_b", "y"), "a b"},
      {"cut at 132", srep("a", std::string(100, 'a'), "xx"), std::string(132, 'x')},
  });
}

TEST(Helpers, UnderscoreForm) {
  expect_all({
      {"to_ tail", to_("a b", 2), "a_b__"},
      {"to_ leading blanks", to_("  a  "), "__a"},
      {"to_ blank mark drops blanks", to_("a b ", 3, " "), "ab"},
      {"to_ first char of mark", to_("a b", 1, "#!"), "a#b#"},
      {"to_ cut at 132", to_(std::string(130, 'a'), 5), std::string(130, 'a') + "__"},
      {"to_ huge tail", to_("a", kMax), "a" + std::string(131, '_')},
      {"from_ inner", from_("a__b"), "a  b"},
      {"from_ ends", from_("__ab__"), "  ab"},
      {"from_ drops blanks", from_("a b"), "ab"},
      {"from_ other mark", from_("a##b_c", "#"), "a  b_c"},
      {"from_ cut at 132", from_(std::string(140, 'q')), std::string(132, 'q')},
  });
}

TEST(Helpers, LeftOfDelimiter) {
  expect_all({
      {"folder of path", extl("C:\\x\\News.CSV", "\\", -1, 1), "C:\\x\\"},
      {"path without folder", extl("News.CSV", "\\", -1, 1), ""},
      {"position 1 not tested", extl("\\News.CSV", "\\", -1, 1), ""},
      {"first", extl("a,b,c", ","), "a"},
      {"second", extl("a,b,c", ",", 2), "a,b"},
      {"too few", extl("a,b,c", ",", 3), ""},
      {"second from right", extl("a,b,c", ",", -2), "a"},
      {"too few from right", extl("a,b,c", ",", -3), ""},
      {"which 0 takes the end", extl("abc  ", ",", 0), "abc"},
      {"which 0 with extra", extl("abc", ",", 0, -1), "ab"},
      {"extra past the end", extl("a,b", ",", 1, 5), ""},
      {"long delimiter", extl("a--b--c", "--", 2), "a--b"},
      {"hits do not overlap", extl("a---b", "--", 2), ""},
      {"blank delimiter", extl("a b", " ", 1), ""},
      {"extreme counts", extl("a,b", ",", kMin, kMax), ""},
  });
}

TEST(Helpers, PaddingJoiningRepeating) {
  expect_all({
      {"rfill", rfill("12", 5, "0"), "12000"},
      {"rfill longer", rfill("123456", 5, "0"), "123456"},
      {"rfill clips first", rfill("12  ", 5, "0"), "12000"},
      {"rfill long fill", rfill("a", 6, "xy"), "axyxyx"},
      {"rfill blank fill", rfill("ab", 4, " "), "ab  "},
      {"str", str("ab  ", "cd", 2), "ab  cd"},
      {"str empty b keeps gap", str("a", "", 2), "a  "},
      {"str negative gap", str("a", "b", -4), "ab"},
      {"strx", strx(1, "a", "b", "c"), "a b c"},
      {"strx clips", strx(0, "a ", "b "), "ab"},
      {"strx empty middle", strx(1, "a", "", "c"), "a c"},
      {"strx no gap", strx("x", "y"), "xy"},
      {"strx eight", strx(1, "1", "2", "3", "4", "5", "6", "7", "8"), "1 2 3 4 5 6 7 8"},
      {"strx cut at 255", strx(0, std::string(200, 'a'), std::string(100, 'b')),
       std::string(200, 'a') + std::string(55, 'b')},
      {"rpt", rpt("ab", 5), "ababa"},
      {"rpt zero", rpt("-", 0), ""},
      {"rpt negative", rpt("-", -3), ""},
      {"rpt keeps blanks", rpt("ab ", 4), "ab a"},
      {"rpt of empty", rpt("", 3), "   "},
      {"trim", trim("  1 234 "), "1234"},
      {"trim keeps tabs", trim("a\tb c"), "a\tbc"},
      {"trim cut at 255", trim(std::string(300, 'z')), std::string(255, 'z')},
  });
  EXPECT_EQ(rpt("x", kMax).size(), static_cast<std::size_t>(kMaxTextWidth));
}

TEST(Helpers, Parts) {
  expect_all({
      {"subr last", subr("abc  ", 1), "c"},
      {"subr drop first", subr("abc", -1), "bc"},
      {"subr zero", subr("abc", 0), ""},
      {"subr too many", subr("abc", 5), "abc"},
      {"subr drop too many", subr("abc", -5), ""},
      {"subr min", subr("abc", kMin), ""},
      {"subl first", subl("abc", 2), "ab"},
      {"subl clips", subl("ab   ", 4), "ab"},
      {"subl drop last", subl("abc  ", -1), "ab"},
      {"subl too many", subl("abc", 9), "abc"},
      {"subl drop too many", subl("abc", -9), ""},
      {"subl min", subl("abc", kMin), ""},
  });
  EXPECT_EQ(leng("ab  "), 2);
  EXPECT_EQ(leng("a\t"), 2);
  EXPECT_EQ(leng(""), 0);
}

TEST(Helpers, Numbers) {
  struct Mod {
    std::int32_t a, b, want;
  };
  for (const Mod m : {Mod{-7, 3, -1},
                      {7, -3, 1},
                      {7, 3, 1},
                      {-7, -3, -1},
                      {0, 5, 0},
                      {5, 0, 5},
                      {kMin, -1, 0},
                      {kMin, kMax, -1}})
    EXPECT_EQ(mod(m.a, m.b), m.want) << m.a << " mod " << m.b;
  EXPECT_EQ(sgn(-0.5), -1);
  EXPECT_EQ(sgn(0.0), 0);
  EXPECT_EQ(sgn(3), 1);
  EXPECT_EQ(sgn(std::nan("")), 0);
  EXPECT_EQ(lo(2, -1), -1);
  EXPECT_EQ(hi(2, -1), 2);
  EXPECT_EQ(hi(-3, 0), 0);
  EXPECT_DOUBLE_EQ(dec(2.75), 0.75);
  EXPECT_DOUBLE_EQ(dec(-2.75), -0.75);
}

TEST(Helpers, Weekdays) {
  struct Day {
    std::int32_t serial;
    const char* name;
  };
  for (const Day d : {Day{61730, "Thursday"},
                      {0, "Sunday"},
                      {1, "Monday"},
                      {6, "Saturday"},
                      {-1, "Saturday"},
                      {-7, "Sunday"},
                      {kMax, "Monday"},
                      {kMin, "Friday"}})
    EXPECT_EQ(dow(d.serial), d.name) << d.serial;
}

TEST(Helpers, TimeParts) {
  struct Parts {
    std::int32_t time, hour, minute;
  };
  for (const Parts p : {Parts{0, 0, 0},
                        {1, 0, 0},
                        {3060001, 8, 30},
                        {8639901, 23, 59},
                        {8640001, 24, 0},
                        {9000001, 25, 0},
                        {180001, 0, 30},
                        {-179999, 0, 30},
                        {kMax, 5965, 13},
                        {kMin, -5965, 46}}) {
    EXPECT_EQ(hour(p.time), p.hour) << p.time;
    EXPECT_EQ(minute(p.time), p.minute) << p.time;
  }
  EXPECT_EQ(tod(8, 30), 3060001);
  EXPECT_EQ(tod(0), 1);
  EXPECT_EQ(tod(25), 9000001);
  EXPECT_EQ(tod(1, -30), 180001);  // offsets shift the result
  EXPECT_EQ(tod(0, 0, -1), -99);
  EXPECT_EQ(tod(kMax, kMax, kMax), -366099);  // wraps as 32-bit arithmetic
}

TEST(Helpers, DateTimeNumbers) {
  EXPECT_NEAR(datim(61730, 4500001), 61730.520833333, 1e-9);
  EXPECT_EQ(tim(datim(61730, 4500001)), 4500001);
  EXPECT_DOUBLE_EQ(datim(61730, 0), 61730.0);
  EXPECT_DOUBLE_EQ(datim(5, 3060001 + 99), datim(5, 3060001));  // hundredths dropped
  for (const std::int32_t d : {0, 1, 61730, 109212, 2000000000, kMax}) {
    for (const std::int32_t t : {1, 101, 3060001, 4500001, 8639901}) {
      EXPECT_EQ(dat(datim(d, t)), d) << d << " " << t;
      EXPECT_EQ(tim(datim(d, t)), t) << d << " " << t;
    }
  }
  EXPECT_EQ(tim(61730 + 0.6 / 86400), 101);  // nearest whole second
  EXPECT_EQ(tim(std::nan("")), 0);
  EXPECT_EQ(tim(INFINITY), 0);
  EXPECT_EQ(dat(-2.5), -2);
  EXPECT_EQ(dat(1e300), kMax);
  EXPECT_EQ(dat(-1e300), kMin);
  EXPECT_EQ(dat(std::nan("")), 0);
}

}  // namespace
}  // namespace mervane
