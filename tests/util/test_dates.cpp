#include "core/util/dates.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace mervane {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(Dates, FixedPoints) {
  struct Point {
    std::int32_t serial;
    Ymd date;
    int weekday;
  };
  for (const Point& p : {Point{0, {1800, 12, 28}, 0},
                         {4, {1801, 1, 1}, 4},
                         {61730, {1970, 1, 1}, 4},
                         {-1, {1800, 12, 27}, 6},
                         {75995, {2009, 1, 21}, 3},
                         {76040, {2009, 3, 7}, 6},
                         {109212, {2100, 1, 1}, 5}}) {
    EXPECT_EQ(ymd_of(p.serial), p.date) << p.serial;
    EXPECT_EQ(date_serial(p.date.year, p.date.month, p.date.day), p.serial) << p.serial;
    EXPECT_EQ(weekday_of(p.serial), p.weekday) << p.serial;
  }
}

TEST(Dates, LeapYears) {
  struct Year {
    int year;
    bool leap;
  };
  for (const Year y : {Year{1900, false},
                       {2000, true},
                       {2008, true},
                       {2009, false},
                       {1800, false},
                       {2400, true}}) {
    EXPECT_EQ(is_leap_year(y.year), y.leap) << y.year;
    EXPECT_EQ(days_in_month(y.year, 2), y.leap ? 29 : 28) << y.year;
    EXPECT_EQ(date_serial(y.year, 2, 29).has_value(), y.leap) << y.year;
  }
}

TEST(Dates, InvalidDatesHaveNoSerial) {
  for (const Ymd d : {Ymd{2009, 2, 30},
                      {2009, 4, 31},
                      {2009, 13, 1},
                      {2009, 0, 1},
                      {2009, 1, 0},
                      {7000000, 1, 1},
                      {-7000000, 1, 1}})
    EXPECT_FALSE(date_serial(d.year, d.month, d.day)) << d.year << "-" << d.month << "-" << d.day;
}

TEST(Dates, RoundTripOverTheWhole32BitRange) {
  for (const std::int32_t s : {kMin, kMin + 1, kMax - 1, kMax}) {
    const Ymd d = ymd_of(s);
    EXPECT_EQ(date_serial(d.year, d.month, d.day), s) << s;
  }
  // Consecutive serials must be consecutive calendar days.
  for (std::int64_t s = kMin; s < kMax; s += 104729) {
    const auto serial = static_cast<std::int32_t>(s);
    const Ymd d = ymd_of(serial);
    const Ymd next = ymd_of(serial + 1);
    ASSERT_EQ(date_serial(d.year, d.month, d.day), serial);
    if (d.day < days_in_month(d.year, d.month))
      EXPECT_EQ(next, (Ymd{d.year, d.month, d.day + 1})) << s;
    else if (d.month < 12)
      EXPECT_EQ(next, (Ymd{d.year, d.month + 1, 1})) << s;
    else
      EXPECT_EQ(next, (Ymd{d.year + 1, 1, 1})) << s;
  }
}

TEST(Dates, DaysCountOnPastMonthEnds) {
  EXPECT_EQ(days_of(2009, 2, 31), *date_serial(2009, 3, 3));
  EXPECT_EQ(days_of(2009, 13, 1), *date_serial(2010, 1, 1));
  EXPECT_EQ(days_of(2009, 0, 1), *date_serial(2008, 12, 1));
  EXPECT_EQ(days_of(2009, -12, 1), *date_serial(2007, 12, 1));
  EXPECT_EQ(days_of(2009, 1, 0), *date_serial(2008, 12, 31));
  EXPECT_EQ(days_of(1970, 1, std::numeric_limits<int>::min()),
            61730 + static_cast<std::int64_t>(std::numeric_limits<int>::min()) - 1);
}

TEST(Dates, SundayOnOrBefore) {
  EXPECT_EQ(sunday_on_or_before(61730), 61726);
  EXPECT_EQ(sunday_on_or_before(61726), 61726);
  EXPECT_EQ(sunday_on_or_before(-1), -7);
  EXPECT_EQ(weekday_of(sunday_on_or_before(kMax)), 0);
  const std::int32_t first = sunday_on_or_before(kMin);
  EXPECT_EQ(weekday_of(first), 0);
  EXPECT_LE(std::int64_t{first} - kMin, 6);  // the first Sunday, not one wrapped to the top
}

TEST(Dates, UnixSeconds) {
  struct Moment {
    std::int64_t seconds;
    Ymd date;
    std::int32_t time;
    const char* iso;
  };
  for (const Moment& m : {Moment{0, {1970, 1, 1}, 1, "1970-01-01 00:00:00"},
                          {1168732800, {2007, 1, 14}, 1, "2007-01-14 00:00:00"},
                          {1168732800 + 30659, {2007, 1, 14}, 3065901, "2007-01-14 08:30:59"},
                          // past the 32-bit limit
                          {2147483648, {2038, 1, 19}, 1164801, "2038-01-19 03:14:08"},
                          {4102444800, {2100, 1, 1}, 1, "2100-01-01 00:00:00"},
                          {-1, {1969, 12, 31}, 8639901, "1969-12-31 23:59:59"}}) {
    const DateTime dt = from_unix_seconds(m.seconds);
    EXPECT_EQ(ymd_of(dt.date), m.date) << m.seconds;
    EXPECT_EQ(dt.time, m.time) << m.seconds;
    EXPECT_EQ(unix_seconds(dt.date) + (dt.time - 1) / 100, m.seconds);
    EXPECT_EQ(iso_date_time(m.seconds), m.iso);
  }
}

}  // namespace
}  // namespace mervane
