// The day column of the event and item lists.
#include <gtest/gtest.h>

#include "core/util/dates.h"
#include "core/util/day_column.h"

namespace mervane {
namespace {

TEST(DayColumn, WeekdayDayMonthAndYear) {
  struct Case {
    std::int64_t y;
    int m, d;
    const char* shown;
  };
  const Case cases[] = {
      {2009, 3, 7, "Sat 7 Mar 2009"},  // no leading zero on the day
      {2009, 3, 8, "Sun 8 Mar 2009"},  // serial modulo 7 = 0
      {2009, 3, 31, "Tue 31 Mar 2009"},  {2008, 2, 29, "Fri 29 Feb 2008"},
      {2000, 1, 1, "Sat 1 Jan 2000"},    {1999, 12, 31, "Fri 31 Dec 1999"},
      {1800, 12, 27, "Sat 27 Dec 1800"},  // before day 0: the weekday still follows the days
      {1600, 6, 5, "Mon 5 Jun 1600"},    {2038, 1, 19, "Tue 19 Jan 2038"},
      {9999, 12, 31, "Fri 31 Dec 9999"},
  };
  for (const Case& c : cases) {
    const auto serial = date_serial(c.y, c.m, c.d);
    ASSERT_TRUE(serial.has_value());
    EXPECT_EQ(day_column(*serial), c.shown);
  }
}

TEST(DayColumn, NoDateIsBlank) {
  EXPECT_EQ(day_column(0), "");
  EXPECT_EQ(day_column(1), "Mon 29 Dec 1800");
}

}  // namespace
}  // namespace mervane
