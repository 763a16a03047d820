// Weekly calendar pages and the Event Histories they are merged into, for the benchmarks of a
// run that reads 52 weeks: page k holds kPerPage events spread over its seven days, each a time
// cell the page reader reads and OFFSET1 = kOffset moves; fill() makes a CALENDAR table of n
// records through one prepared INSERT, either "reload" (the events the pages of every week
// give, 150 a week, so that the pages find their keys again) or "dense" (137 a day, other
// descriptions, so that every page clears six times as many records as it stores).
#pragma once

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/model/records.h"
#include "core/runtime/table.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"

namespace mervane::bench {

constexpr const char* kCurrencies[] = {"USD", "EUR", "GBP", "JPY", "CHF", "CAD", "AUD", "NZD"};
constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::int32_t kFirstDay = 70000;  // a Sunday
constexpr int kPages = 52;
constexpr int kPerPage = 150;
constexpr int kOffset = 2;

// Event e of a page: its day, its 12-hour time cell and where OFFSET1 puts it.
struct PageEventAt {
  int day, h12, minutes;
  bool am;
  int day_shift, hour;  // after the offset
};
inline PageEventAt event_at(int e) {
  PageEventAt p{e * 7 / kPerPage, e % 12 + 1, e % 2 ? 30 : 15, e % 3 != 0, 0, 0};
  const int h24 = p.am ? (p.h12 == 12 ? 0 : p.h12) : (p.h12 == 12 ? 12 : p.h12 + 12);
  p.hour = h24 + kOffset;
  if (p.hour > 23) {
    p.hour -= 24;
    p.day_shift = 1;
  }
  return p;
}
// Events the offset moves from a Saturday night into the next page's week: the next page clears
// them again.
inline int moved_to_next_week() {
  int moved = 0;
  for (int e = 0; e < kPerPage; ++e) moved += event_at(e).day == 6 && event_at(e).day_shift;
  return moved;
}

inline std::string descr_of(int e, int week) {
  return "Release " + std::to_string(e) + " of week " + std::to_string(week);
}

// The page of week `week` (its Sunday `sunday`): seven day markers, 150 rows.
inline std::vector<std::string> page_lines(std::int32_t sunday, int week, const char* actual) {
  std::vector<std::string> lines = {"<html><body><table class=\"calendar\">"};
  const Ymd d = ymd_of(sunday);
  for (int e = 0; e < kPerPage; ++e) {
    const PageEventAt at = event_at(e);
    std::string row = "<tr>";
    if (e == 0 || event_at(e - 1).day != at.day) {
      row += "<td class=\"date\"><span>" + std::string(kDays[at.day]) + "</span>";
      if (at.day == 0) row += std::string(kMonths[d.month - 1]) + " " + std::to_string(d.day);
      row += "</td>";
    }
    row += "<td class=\"time\">" + std::to_string(at.h12) + ":" + std::to_string(at.minutes) +
           (at.am ? "am" : "pm") + "</td><td class=\"currency\">" + kCurrencies[e % 8] +
           "</td><td class=\"impact\"><span title=\"High Impact Expected\"></span></td>" +
           "<td class=\"event\">" + descr_of(e, week) +
           "</td><td><a onclick=\"Array('detail_load_" + std::to_string(e) + "')\"></a></td><td>" +
           actual + "</td><td>0.4%</td>" + "<td>0.3%</td></tr>";
    lines.push_back(row);
  }
  lines.push_back("</table></body></html>");
  return lines;
}

// INSERT of one record: date, time, currency and description bound, the rest fixed.
inline sqlite3_stmt* prepare_insert(sqlite3* db, const std::string& actual) {
  const std::string sql =
      "INSERT INTO data(date,time,currency,descr,symbol,impact,color,actual,forecast,previous,"
      "spacing,revisedfrom,kxidcode) VALUES(?,?,?,?,'140','H','3','" +
      actual + "','0.4%','0.3%','1','','1')";
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) std::abort();
  return st;
}

struct Row {
  std::int64_t date, time;
  const char* currency;
  std::string descr;
};

// Fills CALENDAR with n records through one prepared INSERT: "reload" with the events the pages
// of every week give (so the pages find their keys again), "dense" 137 a day.
inline void fill(const std::filesystem::path& dir, int n, bool reload) {
  std::filesystem::create_directories(dir);
  {
    Table<CalendarTable> t(dir);
    if (t.create().failed()) std::abort();
  }
  sqlite3* db = nullptr;
  sqlite3_open((dir / "CALENDAR.db").c_str(), &db);
  sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  sqlite3_stmt* st = prepare_insert(db, "0.5%");
  for (int i = 0; i < n; ++i) {
    Row r;
    if (reload) {
      const int week = i / kPerPage, e = i % kPerPage;
      const PageEventAt at = event_at(e);
      r = {kFirstDay + 7 * week + at.day + at.day_shift, tod(at.hour, at.minutes),
           kCurrencies[e % 8], descr_of(e, week)};
    } else {
      r = {kFirstDay + i / 137, (i % 137) * 60000 + 1, kCurrencies[i % 8],
           "Economic release number " + std::to_string(i % 5000)};
    }
    sqlite3_bind_int64(st, 1, r.date);
    sqlite3_bind_int64(st, 2, r.time);
    sqlite3_bind_text(st, 3, r.currency, -1, SQLITE_STATIC);
    sqlite3_bind_text(st, 4, r.descr.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(st) != SQLITE_DONE) std::abort();
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

}  // namespace mervane::bench
