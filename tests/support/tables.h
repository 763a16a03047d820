// Whole tables in tests: fill one with records, read all of it back in key order, and the date
// serials and events the records are made of.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "core/model/records.h"
#include "core/runtime/table.h"
#include "core/util/dates.h"

namespace mervane::test {

inline std::int32_t day(int year, int month, int d) {
  return *date_serial(year, month, d);
}

inline CalendarRecord calendar_event(std::int32_t date, std::int32_t time, std::string_view ccy,
                                     std::string_view descr) {
  CalendarRecord r;
  r.date = date;
  r.time = time;
  r.currency = ccy;
  r.descr = descr;
  return r;
}

// Makes the table of folder (emptying one that exists) and adds the records.
template <class Def>
void fill_table(const std::filesystem::path& folder,
                const std::vector<typename Def::Record>& records) {
  Table<Def> t(folder);
  ASSERT_TRUE(t.create().is_ok());
  ASSERT_TRUE(t.open().is_ok());
  for (const auto& r : records) {
    t.rec = r;
    ASSERT_TRUE(t.add().is_ok());
  }
}

// Every record in the order of a key, read by an opener of its own; none when the table cannot
// be opened (which fails the test).
template <class Def>
std::vector<typename Def::Record> table_records(const std::filesystem::path& folder,
                                                typename Def::Key key = {}) {
  Table<Def> t(folder);
  std::vector<typename Def::Record> out;
  const Status st = t.open(OpenMode::read_only());
  EXPECT_TRUE(st.is_ok()) << st.message();
  if (st.failed()) return out;
  const Status at = t.set_start(key);
  EXPECT_TRUE(at.is_ok()) << at.message();
  while (at.is_ok() && t.next().is_ok()) out.push_back(t.rec);
  return out;
}

}  // namespace mervane::test
