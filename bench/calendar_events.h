// The CALENDAR events the benchmarks work on: kPerDay events a day from day 70000 on, eight
// currencies, 5,000 descriptions, every field filled as a real week's events are.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/model/records.h"
#include "core/runtime/table.h"

namespace mervane::bench {

constexpr int kPerDay = 137;
constexpr std::int32_t kFirstDay = 70000;

inline CalendarRecord calendar_event(int i) {
  static const char* const kCurrencies[] = {"USD", "EUR", "GBP", "JPY", "CHF", "CAD", "AUD", "NZD"};
  CalendarRecord r;
  r.date = kFirstDay + i / kPerDay;
  r.time = (i % kPerDay) * 6000 * 10 + 1;
  r.currency = kCurrencies[i % 8];
  r.descr = "Economic release number " + std::to_string(i % 5000);
  r.symbol = "140";
  r.impact = "H";
  r.color = "3";
  r.actual = "0.4%";
  r.forecast = "0.3%";
  r.previous = "0.2%";
  r.spacing = "1";
  r.kxidcode = std::to_string(i % 999999);
  return r;
}

// A new CALENDAR table in dir (removed and made again) with the events make(0) .. make(n - 1),
// added in one transaction; any failure ends the benchmark.
template <class Make>
void fill_calendar(const std::filesystem::path& dir, int n, Make make) {
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  Table<CalendarTable> t(dir);
  if (t.create().failed() || t.open().failed()) std::abort();
  Transaction tx(t);
  for (int i = 0; i < n; ++i) {
    t.rec = make(i);
    if (t.add().failed()) std::abort();
  }
  if (tx.commit().failed()) std::abort();
}

}  // namespace mervane::bench
