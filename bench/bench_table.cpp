// The table layer against raw SQLite prepared statements on 1,000,000 CALENDAR records: add in
// one transaction, a full scan in CAL:KEY order, 10,000 positioned partial-key reads and the
// deletion of one week's records. Usage: bench_table [records] (default 1000000).
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "bench/bench_support.h"
#include "bench/calendar_events.h"
#include "core/model/records.h"
#include "core/runtime/table.h"

using namespace mervane;
using mervane::bench::compare;
using mervane::bench::measure;
using mervane::bench::must;

namespace {

using mervane::bench::kPerDay;

CalendarRecord make(int i) {
  return bench::calendar_event(i);
}

void fill_ours(const std::filesystem::path& dir, int n) {
  bench::fill_calendar(dir, n, make);
}

// The same schema as the table layer's, filled with one prepared INSERT in one transaction.
void fill_raw(const std::filesystem::path& dir, int n) {
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  {
    Table<CalendarTable> t(dir);  // same file layout and indexes
    must(t.create(), "create");
  }
  sqlite3* db = nullptr;
  sqlite3_open((dir / "CALENDAR.db").c_str(), &db);
  sqlite3_exec(db, "PRAGMA synchronous=FULL; PRAGMA cache_size=-65536; BEGIN IMMEDIATE", nullptr,
               nullptr, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO data(date,time,currency,descr,symbol,impact,color,actual,"
                     "forecast,previous,spacing,revisedfrom,kxidcode) "
                     "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)",
                     -1, &st, nullptr);
  for (int i = 0; i < n; ++i) {
    const CalendarRecord r = make(i);
    sqlite3_bind_int64(st, 1, r.date);
    sqlite3_bind_int64(st, 2, r.time);
    auto text = [&](int k, std::string_view v) {
      sqlite3_bind_text(st, k, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
    };
    text(3, r.currency.view());
    text(4, r.descr.view());
    text(5, r.symbol.view());
    text(6, r.impact.view());
    text(7, r.color.view());
    text(8, r.actual.view());
    text(9, r.forecast.view());
    text(10, r.previous.view());
    text(11, r.spacing.view());
    text(12, r.revisedfrom.view());
    text(13, r.kxidcode.view());
    if (sqlite3_step(st) != SQLITE_DONE) std::abort();
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

long scan_ours(const std::filesystem::path& dir) {
  Table<CalendarTable> t(dir);
  must(t.open(), "open");
  must(t.set_start(CalendarKey::Key), "set_start");
  long n = 0, sum = 0;
  while (t.next().is_ok()) {
    sum += t.rec.date + static_cast<long>(t.rec.descr.length());
    ++n;
  }
  return n + (sum & 1);
}

// Reads every column of every record in key order into a record, as the table layer does.
long scan_raw(const std::filesystem::path& dir) {
  sqlite3* db = nullptr;
  sqlite3_open((dir / "CALENDAR.db").c_str(), &db);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT id,_ver,date,time,currency,descr,symbol,impact,color,actual,forecast,"
                     "previous,spacing,revisedfrom,kxidcode FROM data WHERE (date <> 0 OR time "
                     "<> 0 OR currency <> '' OR descr <> '') ORDER BY date,time,currency,descr,id",
                     -1, &st, nullptr);
  long n = 0, sum = 0;
  CalendarRecord r;
  auto text = [&](int col) {
    return std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(st, col)),
                            static_cast<std::size_t>(sqlite3_column_bytes(st, col)));
  };
  while (sqlite3_step(st) == SQLITE_ROW) {
    r.date = static_cast<std::int32_t>(sqlite3_column_int64(st, 2));
    r.time = static_cast<std::int32_t>(sqlite3_column_int64(st, 3));
    r.currency = text(4);
    r.descr = text(5);
    r.symbol = text(6);
    r.impact = text(7);
    r.color = text(8);
    r.actual = text(9);
    r.forecast = text(10);
    r.previous = text(11);
    r.spacing = text(12);
    r.revisedfrom = text(13);
    r.kxidcode = text(14);
    sum += r.date + static_cast<long>(r.descr.length());
    ++n;
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return n + (sum & 1);
}

long seeks_ours(const std::filesystem::path& dir, int days, int count) {
  Table<CalendarTable> t(dir);
  must(t.open(), "open");
  std::mt19937 rng(7);
  long sum = 0;
  for (int i = 0; i < count; ++i) {
    t.clear();
    t.rec.date = 70000 + static_cast<int>(rng() % static_cast<unsigned>(days));
    t.rec.time = 1 + static_cast<int>(rng() % 8000000);
    must(t.set(CalendarKey::Key), "set");
    if (t.next().is_ok()) sum += t.rec.time;
  }
  return sum;
}

long seeks_raw(const std::filesystem::path& dir, int days, int count) {
  sqlite3* db = nullptr;
  sqlite3_open((dir / "CALENDAR.db").c_str(), &db);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT id,_ver,date,time,currency,descr,symbol,impact,color,actual,forecast,"
                     "previous,spacing,revisedfrom,kxidcode FROM data WHERE (date <> 0 OR time "
                     "<> 0 OR currency <> '' OR descr <> '') AND (date,time,currency,descr) >= "
                     "(?,?,'','') ORDER BY date,time,currency,descr,id LIMIT 1",
                     -1, &st, nullptr);
  std::mt19937 rng(7);
  long sum = 0;
  for (int i = 0; i < count; ++i) {
    sqlite3_bind_int64(st, 1, 70000 + static_cast<int>(rng() % static_cast<unsigned>(days)));
    sqlite3_bind_int64(st, 2, 1 + static_cast<int>(rng() % 8000000));
    if (sqlite3_step(st) == SQLITE_ROW) sum += sqlite3_column_int64(st, 3);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return sum;
}

int delete_week_ours(const std::filesystem::path& dir, int first) {
  Table<CalendarTable> t(dir);
  must(t.open(), "open");
  Transaction tx(t);
  must(tx.status(), "begin");
  t.clear();
  t.rec.date = first;
  must(t.set(CalendarKey::Key), "set");
  int n = 0;
  while (t.next().is_ok() && t.rec.date <= first + 6) {
    must(t.erase(), "erase");
    ++n;
  }
  must(tx.commit(), "commit");
  return n;
}

int delete_week_raw(const std::filesystem::path& dir, int first) {
  sqlite3* db = nullptr;
  sqlite3_open((dir / "CALENDAR.db").c_str(), &db);
  sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  sqlite3_stmt* sel = nullptr;
  sqlite3_stmt* del = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT id FROM data WHERE (date <> 0 OR time <> 0 OR currency <> '' OR "
                     "descr <> '') AND (date,time,currency,descr) >= (?,0,'','') ORDER BY "
                     "date,time,currency,descr,id",
                     -1, &sel, nullptr);
  sqlite3_prepare_v2(db, "DELETE FROM data WHERE id = ?", -1, &del, nullptr);
  sqlite3_bind_int64(sel, 1, first);
  std::vector<sqlite3_int64> ids;
  int n = 0;
  while (sqlite3_step(sel) == SQLITE_ROW && ids.size() < static_cast<std::size_t>(7 * kPerDay))
    ids.push_back(sqlite3_column_int64(sel, 0));
  sqlite3_finalize(sel);
  for (auto id : ids) {
    sqlite3_bind_int64(del, 1, id);
    sqlite3_step(del);
    sqlite3_reset(del);
    ++n;
  }
  sqlite3_finalize(del);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 1000000;
  const auto base = std::filesystem::temp_directory_path() / "mervane-bench-table";
  const auto ours_dir = base / "ours";
  const auto raw_dir = base / "raw";
  const int days = n / kPerDay;
  std::printf("%d CALENDAR records\n\n", n);
  bool ok = true;

  auto add_ours = measure(
      "add, table layer", n, "records", [&] { fill_ours(ours_dir, n); }, 2);
  auto add_raw = measure(
      "add, raw SQLite", n, "records", [&] { fill_raw(raw_dir, n); }, 2);
  ok = compare(add_ours, add_raw, 1.5) && ok;

  long a = 0, b = 0;
  auto scan_o =
      measure("scan CAL:KEY, table layer", n, "records", [&] { a = scan_ours(ours_dir); });
  auto scan_r = measure("scan CAL:KEY, raw SQLite", n, "records", [&] { b = scan_raw(raw_dir); });
  ok = compare(scan_o, scan_r, 1.5) && ok;
  ok = bench::at_least(scan_o, 1e6) && ok;
  if (a != b) std::printf("  scan results differ: %ld vs %ld\n", a, b);

  auto seek_o = measure("10,000 partial-key reads, ours", 10000, "reads",
                        [&] { a = seeks_ours(ours_dir, days, 10000); });
  auto seek_r = measure("10,000 partial-key reads, raw", 10000, "reads",
                        [&] { b = seeks_raw(raw_dir, days, 10000); });
  compare(seek_o, seek_r, 3.0);
  if (a != b) std::printf("  seek results differ: %ld vs %ld\n", a, b);

  int week = 0;
  auto del_o = measure("delete a week, table layer", 7 * kPerDay, "records",
                       [&] { delete_week_ours(ours_dir, 70000 + 7 * (week++)); });
  week = 0;
  auto del_r = measure("delete a week, raw SQLite", 7 * kPerDay, "records",
                       [&] { delete_week_raw(raw_dir, 70000 + 7 * (week++)); });
  compare(del_o, del_r, 3.0);

  std::filesystem::remove_all(base);
  std::printf(ok ? "all targets met\n" : "SOME TARGETS MISSED\n");
  return ok ? 0 : 1;
}
