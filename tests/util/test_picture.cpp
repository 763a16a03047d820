#include "core/util/picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "core/util/dates.h"
#include "core/util/helpers.h"

namespace mervane {
namespace {

// Date and time serials as the numbers the pictures take.
double day(int y, int m, int d) {
  return *date_serial(y, m, d);
}
double at(int h, int m = 0, int s = 0) {
  return tod(h, m, s);
}

struct Shown {
  const char* picture;
  double value;
  const char* text;
};

TEST(Picture, ShowsNumbers) {
  const Shown cases[] = {
      {"N02", 7, "07"},
      {"N02", 0, "00"},
      {"N02", 123, "123"},  // too wide: shown in full
      {"N02", -7, "07"},    // no sign mark
      {"N04", 2009, "2009"},
      {"N04", 7, "0007"},
      {"n_2", 5, " 5"},
      {"n_3", 42, " 42"},
      {"n_6", 1234, "  1234"},
      {"n_8", 1234567, " 1234567"},
      {"n-2", -5, "-5"},
      {"n-2", 5, " 5"},
      {"n-2", -12, "-12"},
      {"n2", 5, " 5"},
      {"n2b", 0, "  "},
      {"n2b", 5, " 5"},
      {"n_12.5", 1.23456, "     1.23456"},
      {"n-_12.5", -0.00012, "    -0.00012"},
      {"n-_14.2", -1234.5, "      -1234.50"},
      {"n(8.2)", 1.25, "    1.25"},
      {"n(8.2)", -3.5, "  (3.50)"},
      {"n(8.2)", -1234.5, "(1,234.50)"},
      {"n(8.2)", 0, "    0.00"},
      {"N(8.2)B", 0, "        "},
      {"N(8.2)B", 12.5, "   12.50"},
      {"n-_4", -12, " -12"},
      {"n_1b", 0, " "},
      {"n_1b", 1, "1"},
      {"n-8", -1440, "  -1,440"},
      {"N-8.2B", -0.001, "        "},  // zero after rounding
      {"n8b", 0, "        "},
      {"n8b", 1234, "   1,234"},
      {"n_9.4", 3.14159, "   3.1416"},
      {"N12", 1000000, "   1,000,000"},
      {"N12", 1234567890123, "1,234,567,890,123"},
      {"N12", 1e20, "100,000,000,000,000,000,000"},
      {"n-7", -0.4, "      0"},  // no sign on zero
      {"n-3", -45, "-45"},
      {"N-3", 7, "  7"},
      {"N3", 140, "140"},
      {"N2", 11, "11"},
      {"N1", 1, "1"},
      {"n_4", 12, "  12"},
      {"n-_3", -5, " -5"},
      {"n_2b", 0, "  "},
      {"n_1", 7, "7"},
      {"n-4", -999, "-999"},
      {"n-06", -12, "-00012"},
      {"n_3", 1e-300, "  0"},
      // Half away from zero, on the shortest decimal text of the double.
      {"n_3", 2.5, "  3"},
      {"n-_3", -2.5, " -3"},
      {"n-7", -0.5, "     -1"},
      {"n_5.2", 1.005, " 1.01"},
      {"n_5.2", 0.125, " 0.13"},
      {"n_12.5", 1.234565, "     1.23457"},
      {"n_5.2", 9.999, "10.00"},
      {"n_5", NAN, "  nan"},
      {"n-6", -INFINITY, "  -inf"},
  };
  for (const auto& c : cases) EXPECT_EQ(format_value(c.picture, c.value), c.text) << c.picture;
}

TEST(Picture, ShowsDatesTimesAndTexts) {
  const Shown cases[] = {
      {"d2", 61730, "01/01/1970"},
      {"D2", day(2009, 3, 7), "03/07/2009"},
      {"d2", 0, ""},
      {"D3", day(2009, 3, 7), "Mar 07, 2009"},
      {"d2", day(10000, 1, 2), "01/02/10000"},
      {"t1", 3060001, "08:30"},
      {"T1", 1, "00:00"},
      {"t1", 0, ""},
      {"t1", at(23, 59, 59), "23:59"},
      {"t1", 8640001, "00:00"},
      {"t1", at(-1), "23:00"},
      {"t3", at(20, 30), " 8:30PM"},
      {"t3", at(0, 5), "12:05AM"},
      {"t3", at(12), "12:00PM"},
      {"t3", at(10, 30), "10:30AM"},
      {"s6", 12.5, "12.5  "},
      // A code that is no picture gives the plain number.
      {"x9", 12.5, "12.5"},
      {"", -3, "-3"},
  };
  for (const auto& c : cases) EXPECT_EQ(format_value(c.picture, c.value), c.text) << c.picture;
  EXPECT_EQ(format_text("s5", "abc"), "abc  ");
  EXPECT_EQ(format_text("S2", "abc"), "ab");
  EXPECT_EQ(format_text("n2", "abc  "), "abc");
  EXPECT_EQ(date_text(61730), "01/01/1970");
  EXPECT_EQ(date_text(0), "");
}

TEST(Picture, ReadsCodes) {
  const auto p = read_picture("N(8.2)B");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->sign, '(');
  EXPECT_EQ(p->fill, 0);
  EXPECT_EQ(p->width, 8);
  EXPECT_EQ(p->decimals, 2);
  EXPECT_TRUE(p->blank_zero);
  for (const char* bad :
       {"",     "n",   "n_", "n-",  "N0", "n(8.2", "n-8.2)", "n8.", "n2.3",   "n4.3", "n256",
        "n8bb", "n8x", "d1", "d22", "t2", "T",     "s",      "s0",  "s65536", "q2",   "n 8"})
    EXPECT_FALSE(read_picture(bad)) << bad;
}

struct Typed {
  const char* picture;
  const char* text;
  double value;
};

TEST(Picture, ReadsTypedValues) {
  const Typed cases[] = {
      {"n-_4", " -12 ", -12},
      {"n_4", "+7", 7},
      {"n_4", "", 0},
      {"n_4", "5.00", 5},
      {"n_4", "5.", 5},
      {"n-_12.5", ".5", 0.5},
      {"N12", "1,000,000", 1e6},
      {"N12", "1000000", 1e6},
      {"n(8.2)", "(3.50)", -3.5},
      {"n(8.2)", "-3.5", -3.5},
      {"n(8.2)", "1,234.50", 1234.5},
      {"N-8.2B", "-12.5", -12.5},
      {"n-4", "-999", -999},
      {"d2", "3/7/2009", day(2009, 3, 7)},
      {"D2", "03/07/2009", day(2009, 3, 7)},
      {"d2", "2/29/2008", day(2008, 2, 29)},
      {"d2", "12/31/9999", day(9999, 12, 31)},
      {"d2", "01/01/0001", day(1, 1, 1)},
      {"d2", "  ", 0},
      {"D3", "Mar 7, 2009", day(2009, 3, 7)},
      {"D3", "mar 07 2009", day(2009, 3, 7)},
      {"D3", "03/07/2009", day(2009, 3, 7)},
      {"T1", "8:30", 3060001},
      {"T1", "08:30", 3060001},
      {"T1", "00:00", 1},
      {"T1", "23:59", at(23, 59)},
      {"T1", "", 0},
      {"t3", " 8:30PM", at(20, 30)},
      {"t3", "12:00am", 1},
      {"t3", "12:15 PM", at(12, 15)},
      {"t3", "20:30", at(20, 30)},
  };
  for (const auto& c : cases) {
    const auto r = parse_value(c.picture, c.text);
    ASSERT_TRUE(r) << c.picture << " '" << c.text << "': " << r.reason;
    EXPECT_EQ(*r.value, c.value) << c.picture << " '" << c.text << "'";
  }
  EXPECT_FALSE(std::signbit(*parse_value("n-4", "-0").value));
  EXPECT_EQ(*parse_text("s6", "EURUSD  ").value, "EURUSD");
}

struct Rejected {
  const char* picture;
  const char* text;
  const char* reason;
};

TEST(Picture, RejectsWhatDoesNotFit) {
  const Rejected cases[] = {
      {"n-_4", "12a", "\"12a\" is not a number."},
      {"N12", "1e5", "is not a number"},
      {"N12", "1 234", "is not a number"},
      {"N12", "--5", "is not a number"},
      {"N12", ".", "is not a number"},
      {"n-8", "(3)", "is not a number"},
      {"n_4", "-5", "Negative numbers are not allowed here."},
      {"n_4", "12345", "too long: at most 4 characters"},
      {"n-_4", "-1234", "too long"},
      {"N02", "0001234", "too long"},
      {"N12", "1,000,000,000", "too long"},  // 13 characters with its groups
      {"n_4", "1.5", "No decimals are allowed here."},
      {"n-_12.5", "1.123456", "At most 5 decimals are allowed here."},
      {"N12", "12,34", "misplaced thousands separator"},
      {"N12", "1,2345", "misplaced thousands separator"},
      {"N12", "1234,567", "misplaced thousands separator"},
      {"n(8.2)", "(3.5", "lacks its closing parenthesis"},
      {"d2", "02/30/2009", "There is no day 30 in February 2009."},
      {"d2", "2/29/2009", "There is no day 29 in February 2009."},
      {"d2", "13/01/2009", "There is no month 13."},
      {"d2", "00/10/2009", "There is no month 0."},
      {"d2", "1/1/0000", "There is no year 0000."},
      {"d2", "03/07/09", "is not a date: type it as mm/dd/yyyy."},
      {"d2", "2009-03-07", "is not a date"},
      {"D3", "March 7, 2009", "is not a date"},
      {"T1", "25:00", "Hours run from 00 to 23."},
      {"T1", "24:00", "Hours run from 00 to 23."},
      {"T1", "12:60", "Minutes run from 00 to 59."},
      {"T1", "8:5", "is not a time: type it as hh:mm."},
      {"T1", "8:30PM", "is not a time"},
      {"T1", "08:30:00", "is not a time"},
      {"t3", "13:00PM", "Hours run from 1 to 12 before AM or PM."},
      {"s6", "abc", "\"s6\" is not a picture for this value."},
      {"zz", "1", "\"zz\" is not a picture for this value."},
  };
  for (const auto& c : cases) {
    const auto r = parse_value(c.picture, c.text);
    EXPECT_FALSE(r) << c.picture << " '" << c.text << "'";
    EXPECT_NE(r.reason.find(c.reason), std::string::npos)
        << c.picture << " '" << c.text << "': " << r.reason;
  }
  EXPECT_EQ(parse_text("s6", "ABCDEFG").reason, "At most 6 characters are allowed here.");
  EXPECT_FALSE(parse_text("n6", "abc"));
}

TEST(Picture, CommandLineDates) {
  for (const char* text : {"03/07/2009", "3/7/2009", "2009-03-07", "2009-3-7", " 3/7/2009 "})
    EXPECT_EQ(parse_cli_date(text).value, day(2009, 3, 7)) << text;
  for (const char* text : {"", "2009/03/07", "07.03.2009", "20090307", "09-03-07", "2009-03-07x"})
    EXPECT_NE(parse_cli_date(text).reason.find("use mm/dd/yyyy or yyyy-mm-dd"), std::string::npos)
        << text;
  EXPECT_EQ(parse_cli_date("2009-02-30").reason, "There is no day 30 in February 2009.");
}

// What a picture shows must read back as the value it shows.
TEST(Picture, ShownValuesReadBack) {
  const char* pictures[] = {"N02",  "N04",  "n_2",    "n_3",     "n_6",     "n_8",    "n-2",
                            "n2",   "n2b",  "n_12.5", "n-_12.5", "n-_14.2", "n(8.2)", "N(8.2)B",
                            "n-_4", "n_1b", "n-8",    "N-8.2B",  "n8b",     "n_9.4",  "N12",
                            "n-7",  "n-3",  "N-3",    "N3",      "N2",      "N1",     "n_4",
                            "n-_3", "n_2b", "n_1",    "n-4"};
  const double values[] = {0,      1,       -1,  7,      -7,      0.5,         2.5, -2.5,
                           12.345, -99.995, 999, 1234.5, -1234.5, 99999.99999, 1e6, -0.004};
  for (const char* pic : pictures) {
    const Picture p = *read_picture(pic);
    for (const double v : values) {
      const std::string shown = format_value(p, v);
      if (std::ssize(shown) > p.width) continue;  // shown wider than the field
      const auto back = parse_value(p, shown);
      ASSERT_TRUE(back) << pic << " '" << shown << "': " << back.reason;
      EXPECT_EQ(format_value(p, *back.value), shown) << pic << " " << v;
    }
  }
  for (double d = day(1, 1, 1); d <= day(9999, 12, 31); d += 997) {
    for (const char* pic : {"d2", "D3"})
      EXPECT_EQ(parse_value(pic, format_value(pic, d)).value, d) << pic << " " << d;
  }
  for (double t = 1; t < at(24); t += 6000) {
    for (const char* pic : {"T1", "t3"})
      EXPECT_EQ(parse_value(pic, format_value(pic, t)).value, t) << pic << " " << t;
  }
}

}  // namespace
}  // namespace mervane
