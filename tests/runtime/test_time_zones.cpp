#include "core/runtime/time_zones.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/util/dates.h"

namespace mervane {
namespace {

std::int32_t ymd(int y, int m, int d) {
  return *date_serial(y, m, d);
}

TEST(TimeZones, SettingsAsTyped) {
  struct Case {
    const char* typed;
    bool allow_system;
    const char* stored;  // nullptr: refused
    int shift;
  } cases[] = {
      {"UTC", false, "UTC", 0},
      {"utc", false, "UTC", 0},
      {" america/new_york ", false, "America/New_York", 0},
      {"America/New_York+7", false, "America/New_York", 7},
      {"America/New_York-3", false, "America/New_York", -3},
      {"US/Eastern", false, "US/Eastern", 0},  // a link is a name too
      {"Etc/GMT+2", false, "Etc/GMT+2", 0},    // the sign belongs to the name
      {"Etc/GMT+2+1", false, "Etc/GMT+2", 1},
      {"America/Port-au-Prince", false, "America/Port-au-Prince", 0},
      {"system", true, "system", 0},
      {"system", false, nullptr, 0},
      {"America/Nowhere", false, nullptr, 0},
      {"America/New_York+24", false, nullptr, 0},
      {"America/New_York+7.5", false, nullptr, 0},
      {"America/New_York+", false, nullptr, 0},
      {"+7", false, nullptr, 0},
      {"", false, nullptr, 0},
      {"localtime", false, nullptr, 0},
  };
  for (const Case& c : cases) {
    ZoneSetting z;
    const Status st = parse_zone_setting(c.typed, c.allow_system, z);
    if (!c.stored) {
      EXPECT_EQ(st.code, kBadValue) << c.typed;
      continue;
    }
    ASSERT_TRUE(st.is_ok()) << c.typed << ": " << st.text;
    EXPECT_EQ(z.name, c.stored) << c.typed;
    EXPECT_EQ(z.shift_hours, c.shift) << c.typed;
  }
  ZoneSetting z{"America/New_York", 7};
  EXPECT_EQ(z.text(), "America/New_York+7");
  z.shift_hours = -2;
  EXPECT_EQ(z.text(), "America/New_York-2");
}

TEST(TimeZones, NamesAreSortedAndKnown) {
  const std::vector<std::string> names = zone_names();
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
  for (const char* n : {"UTC", "America/New_York", "Europe/London", "Asia/Kolkata"})
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), n)) << n;
  EXPECT_FALSE(std::binary_search(names.begin(), names.end(), "localtime"));
}

ZoneConversion conversion(const char* from, const char* to) {
  ZoneSetting f, t;
  EXPECT_TRUE(parse_zone_setting(from, false, f).is_ok()) << from;
  EXPECT_TRUE(parse_zone_setting(to, false, t).is_ok()) << to;
  std::optional<ZoneConversion> c;
  EXPECT_TRUE(ZoneConversion::make(f, t, c).is_ok());
  return *c;
}

// Moments around the changes of 2024: the United States on 10 March and 3 November, Europe on
// 31 March and 27 October.
TEST(TimeZones, ConversionAcrossDaylightSaving) {
  struct Case {
    const char* what;
    const char* from;
    const char* to;
    std::int32_t date;
    int hour, minute;
    std::int32_t want_date;
    int want_hour, want_minute;
  } cases[] = {
      {"New York 8:30 in winter", "UTC", "America/New_York+7", ymd(2024, 3, 8), 13, 30,
       ymd(2024, 3, 8), 15, 30},
      {"New York 8:30 in summer", "UTC", "America/New_York+7", ymd(2024, 3, 12), 12, 30,
       ymd(2024, 3, 12), 15, 30},
      {"the last hour before the US change", "UTC", "America/New_York+7", ymd(2024, 3, 10), 6, 59,
       ymd(2024, 3, 10), 8, 59},
      {"the US change", "UTC", "America/New_York+7", ymd(2024, 3, 10), 7, 0, ymd(2024, 3, 10), 10,
       0},
      {"London 7:00 before Europe's change", "UTC", "America/New_York+7", ymd(2024, 3, 28), 7, 0,
       ymd(2024, 3, 28), 10, 0},
      {"London 7:00 after Europe's change", "Europe/London", "America/New_York+7", ymd(2024, 4, 2),
       7, 0, ymd(2024, 4, 2), 9, 0},
      {"across midnight", "UTC", "America/New_York+7", ymd(2024, 7, 5), 22, 0, ymd(2024, 7, 6), 1,
       0},
      {"back across midnight", "Asia/Tokyo", "UTC", ymd(2024, 7, 5), 2, 0, ymd(2024, 7, 4), 17, 0},
      {"half an hour zone", "UTC", "Asia/Kolkata", ymd(2024, 1, 1), 0, 0, ymd(2024, 1, 1), 5, 30},
      {"New York's skipped hour is the moment of the change", "America/New_York", "UTC",
       ymd(2024, 3, 10), 2, 30, ymd(2024, 3, 10), 7, 0},
      {"New York's repeated hour is its first time", "America/New_York", "UTC", ymd(2024, 11, 3), 1,
       30, ymd(2024, 11, 3), 5, 30},
      {"after the repeated hour", "America/New_York", "UTC", ymd(2024, 11, 3), 2, 30,
       ymd(2024, 11, 3), 7, 30},
      {"a date far in the future takes the offset at the end of 9999", "UTC", "America/New_York",
       ymd(20000, 7, 1), 12, 0, ymd(20000, 7, 1), 7, 0},
  };
  for (const Case& c : cases) {
    const ZoneConversion z = conversion(c.from, c.to);
    EXPECT_EQ(z.convert(c.date, c.hour * 3600 + c.minute * 60),
              (WallTime{c.want_date, c.want_hour * 3600 + c.want_minute * 60}))
        << c.what;
  }
}

// One object converts moment after moment with what it found for the one before; it must give
// what a fresh object gives, in order and out of order, hour by hour over two years.
TEST(TimeZones, RepeatedConversionsMatchFreshOnes) {
  for (const auto& [from, to] : {std::pair{"UTC", "America/New_York+7"},
                                 {"Europe/Berlin", "America/New_York+7"},
                                 {"America/New_York", "Australia/Sydney"},
                                 {"Pacific/Apia", "UTC"}}) {
    const ZoneConversion kept = conversion(from, to);
    ZoneConversion backwards = conversion(from, to);
    const std::int32_t first = ymd(2011, 1, 1);
    for (std::int64_t h = 0; h < 2 * 366 * 24; h += 1) {
      const std::int64_t date = first + h / 24;
      const WallTime fresh = conversion(from, to).convert(date, h % 24 * 3600 + 1800);
      ASSERT_EQ(kept.convert(date, h % 24 * 3600 + 1800), fresh) << from << " " << h;
      const std::int64_t back = 2 * 366 * 24 - 1 - h;
      ASSERT_EQ(backwards.convert(first + back / 24, back % 24 * 3600 + 1800),
                conversion(from, to).convert(first + back / 24, back % 24 * 3600 + 1800))
          << from << " " << back;
    }
  }
}

TEST(TimeZones, TimeShiftByHoursOrZones) {
  struct Case {
    std::int64_t hours;
    int h, m;
    std::int64_t want_days;
    int want_h;
  } cases[] = {
      {2, 22, 30, 1, 0}, {-3, 1, 0, -1, 22},  {0, 23, 59, 0, 23},
      {30, 0, 0, 1, 6},  {-30, 0, 0, -2, 18}, {2, 99, 0, 4, 5},
  };
  const std::int32_t day = ymd(2024, 1, 12);
  for (const Case& c : cases) {
    const TimeShift::Result r = TimeShift(c.hours).apply(day, c.h, c.m);
    EXPECT_EQ(r.date, day + c.want_days) << c.hours << " " << c.h;
    EXPECT_EQ(r.hour, c.want_h) << c.hours << " " << c.h;
    EXPECT_EQ(r.minute, c.m);
  }
  const TimeShift zones(conversion("UTC", "America/New_York+7"));
  EXPECT_TRUE(zones.by_zones());
  const TimeShift::Result r = zones.apply(ymd(2024, 3, 8), 22, 45);
  EXPECT_EQ(r.date, ymd(2024, 3, 9));
  EXPECT_EQ(r.hour, 0);
  EXPECT_EQ(r.minute, 45);
}

}  // namespace
}  // namespace mervane
