// History maintenance on 1,000,000 CALENDAR events: export to a backup file, rebuild without
// adjustment (through "CAL2.CSV", keys built once) and delete-then-import of the whole range
// from the backup, each against a baseline in the same run: a plain sequential write or read of
// the same file for export and import, and raw SQLite doing the rebuild's table work (read
// every row, empty, insert them again, create the keys) without the temporary file.
// Usage: bench_history [records] (default 1000000). Target: the rebuild under 10 seconds.
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/calendar_events.h"
#include "core/history/history_maintenance.h"
#include "core/model/records.h"
#include "core/runtime/table.h"

using namespace mervane;
using mervane::bench::compare;
using mervane::bench::measure;

namespace {

using mervane::bench::kFirstDay;
using mervane::bench::kPerDay;

// Descriptions with a comma, which the rebuild's temporary file must keep in one field.
CalendarRecord make(int i) {
  CalendarRecord r = bench::calendar_event(i);
  r.descr = r.descr.str() + ", ex Autos";
  return r;
}

// Raw SQLite doing what the rebuild does to the table, without the temporary file.
void rebuild_raw(const std::filesystem::path& dir) {
  sqlite3* db = nullptr;
  sqlite3_open((dir / "CALENDAR.db").c_str(), &db);
  sqlite3_exec(db, "PRAGMA cache_size=-65536; BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  struct Row {
    std::int64_t date, time;
    std::string text[11];
  };
  std::vector<Row> rows;
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT date,time,currency,descr,symbol,impact,color,actual,forecast,"
                     "previous,spacing,revisedfrom,kxidcode FROM data ORDER BY id",
                     -1, &st, nullptr);
  while (sqlite3_step(st) == SQLITE_ROW) {
    Row r;
    r.date = sqlite3_column_int64(st, 0);
    r.time = sqlite3_column_int64(st, 1);
    for (int k = 0; k < 11; ++k)
      r.text[k] = reinterpret_cast<const char*>(sqlite3_column_text(st, k + 2));
    rows.push_back(std::move(r));
  }
  sqlite3_finalize(st);
  sqlite3_exec(db,
               "DELETE FROM data; DROP INDEX key_cal_key; DROP INDEX key_cal_namekey; "
               "DROP INDEX key_cal_descrkey;",
               nullptr, nullptr, nullptr);
  sqlite3_prepare_v2(db,
                     "INSERT INTO data(date,time,currency,descr,symbol,impact,color,actual,"
                     "forecast,previous,spacing,revisedfrom,kxidcode) "
                     "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)",
                     -1, &st, nullptr);
  for (const Row& r : rows) {
    sqlite3_bind_int64(st, 1, r.date);
    sqlite3_bind_int64(st, 2, r.time);
    for (int k = 0; k < 11; ++k)
      sqlite3_bind_text(st, k + 3, r.text[k].data(), static_cast<int>(r.text[k].size()),
                        SQLITE_STATIC);
    if (sqlite3_step(st) != SQLITE_DONE) std::abort();
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  // The same keys as the table layer's.
  const char* keys =
      "CREATE UNIQUE INDEX key_cal_key ON data(date, time, currency, descr) WHERE (date <> 0 OR "
      "time <> 0 OR currency <> '' OR descr <> '');"
      "CREATE INDEX key_cal_namekey ON data(currency, descr, date, time) WHERE (currency <> '' OR "
      "descr <> '' OR date <> 0 OR time <> 0);"
      "CREATE INDEX key_cal_descrkey ON data(descr, currency, date, time) WHERE (descr <> '' OR "
      "currency <> '' OR date <> 0 OR time <> 0);"
      "COMMIT";
  if (sqlite3_exec(db, keys, nullptr, nullptr, nullptr) != SQLITE_OK) std::abort();
  sqlite3_close(db);
}

void write_plain(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

long read_plain(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string line;
  long n = 0;
  while (std::getline(in, line)) n += line.empty() ? 0 : 1;
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 1000000;
  const auto dir = std::filesystem::temp_directory_path() / "mervane-bench-history";
  const auto backup = dir / "@BACKUP@.CSV";
  const std::int32_t last = kFirstDay + n / kPerDay;
  std::printf("%d CALENDAR events\n\n", n);
  bench::fill_calendar(dir, n, make);
  bench::AbortingReporter reporter;
  NoProgress progress;
  bool ok = true;
  Table<CalendarTable> t(dir);
  if (t.open(OpenMode::deny_write()).failed()) std::abort();

  Count1 count{progress};
  auto exp = measure("export, history lines", n, "records", [&] {
    count.value = 0;
    if (!export_history(t, backup, kFirstDay, last, reporter, count)) std::abort();
  });
  const std::string bytes = [&] {
    std::ifstream in(backup, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  auto exp_base = measure("write the same file, plain", n, "records",
                          [&] { write_plain(dir / "plain.CSV", bytes); });
  // Informational: the export reads the table in key order, the baseline only writes bytes.
  compare(exp, exp_base, 60.0);

  auto imp = measure(
      "delete-then-import, whole range", n, "records",
      [&] {
        count.value = 0;
        const ImportResult r = import_history(t, backup, kFirstDay, last, reporter, count);
        if (!r.done || r.imported != n) std::abort();
      },
      1);
  long lines = 0;
  auto imp_base =
      measure("read the same file, plain", n, "records", [&] { lines = read_plain(backup); });
  if (lines != n) std::printf("  plain read found %ld lines\n", lines);
  // Informational: deleting and appending a million keyed records against reading bytes.
  compare(imp, imp_base, 600.0);

  auto reb = measure(
      "rebuild, no adjustment", n, "records",
      [&] {
        count.value = 0;
        if (!rebuild_history(t, dir, kFirstDay, last, 0, reporter, count)) std::abort();
        if (count.value != 2LL * n) std::abort();
      },
      1);
  t.close();
  auto reb_base = measure(
      "rebuild's table work, raw SQLite", n, "records", [&] { rebuild_raw(dir); }, 1);
  compare(reb, reb_base, 3.0);
  ok = bench::at_least(reb, n / 10.0) && ok;  // all n events in under 10 seconds

  std::filesystem::remove_all(dir);
  std::printf(ok ? "all targets met\n" : "SOME TARGETS MISSED\n");
  return ok ? 0 : 1;
}
