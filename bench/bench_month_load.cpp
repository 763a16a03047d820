// A load of calendar history from 2015-01 to 2026-12 into an empty Event History: 144 month
// pages of today's kind (about 60,000 events) read and stored as `history load` does, one
// transaction per month. The pages are written by the bench into the folder's pages/ as a load
// keeps them (the months that have ended; the month still running, as a page the load asks for,
// comes through a downloader that copies it from a folder). Beside it, in the same run, raw
// SQLite prepared INSERTs of the same events into an empty table of the same layout, one
// transaction per month. Target: at most 1.5 times the raw inserts' time. For reference, the
// load of the same months with every page asked for through that downloader (the network and
// the pause between requests left out).
// Usage: bench_month_load [events a day] (default 14).
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/days_pages.h"
#include "bench/import_bench.h"
#include "core/import/days_page.h"
#include "core/import/history_load.h"
#include "core/runtime/table.h"
#include "core/util/helpers.h"

using namespace mervane;
using mervane::bench::compare;
using mervane::bench::measure;

namespace {

// The month pages of a folder, as if the service served them.
class FolderPages final : public Downloader {
 public:
  explicit FolderPages(std::filesystem::path folder) : folder_(std::move(folder)) {}
  Status fetch(const std::string& url, const std::filesystem::path& target) override {
    // ".../calendar?month=jan.2015" -> "jan.2015"
    const std::filesystem::path from = folder_ / (url.substr(url.find('=') + 1) + ".html");
    std::error_code ec;
    std::filesystem::copy_file(from, target, std::filesystem::copy_options::overwrite_existing, ec);
    return ec ? Status::from_errno(ec.value()) : Status();
  }

 private:
  std::filesystem::path folder_;
};

constexpr const char* kMonthNames[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                       "jul", "aug", "sep", "oct", "nov", "dec"};

void raw_inserts(const std::filesystem::path& dir,
                 const std::vector<std::vector<PageEvent>>& months) {
  sqlite3* db = nullptr;
  if (sqlite3_open((dir / "CALENDAR.db").c_str(), &db) != SQLITE_OK) std::abort();
  sqlite3_exec(db, "PRAGMA synchronous=FULL; PRAGMA cache_size=-65536; PRAGMA temp_store=MEMORY",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* ins = nullptr;
  if (sqlite3_prepare_v2(db,
                         "INSERT INTO data(date,time,currency,descr,symbol,impact,color,actual,"
                         "forecast,previous,spacing,revisedfrom,kxidcode) "
                         "VALUES(?,?,?,?,?,?,?,?,?,?,'1',?,?)",
                         -1, &ins, nullptr) != SQLITE_OK)
    std::abort();
  for (const std::vector<PageEvent>& month : months) {
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    for (const PageEvent& e : month) {
      const int hh = std::atoi(e.time_text.c_str()), mm = std::atoi(e.time_text.c_str() + 3);
      const std::string symbol = std::to_string(e.symbol);
      const auto text = [&](int i, const std::string& s) {
        sqlite3_bind_text(ins, i, s.c_str(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
      };
      sqlite3_bind_int64(ins, 1, e.date);
      sqlite3_bind_int64(ins, 2, tod(hh, mm));
      text(3, e.currency);
      text(4, e.descr);
      text(5, symbol);
      text(6, std::string(1, e.impact));
      text(7, std::string(1, e.color));
      text(8, e.actual);
      text(9, e.forecast);
      text(10, e.previous);
      text(11, e.revisedfrom);
      text(12, e.kxid);
      if (sqlite3_step(ins) != SQLITE_DONE) std::abort();
      sqlite3_reset(ins);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  }
  sqlite3_finalize(ins);
  sqlite3_close(db);
}

}  // namespace

int main(int argc, char** argv) {
  const int per_day = argc > 1 ? std::atoi(argv[1]) : 14;
  const auto dir = std::filesystem::temp_directory_path() /
                   ("mervane-bench-months-" + std::to_string(::getpid()));
  const auto pages = dir / "served", raw_dir = dir / "raw";
  std::filesystem::path ours_dir;
  std::filesystem::create_directories(pages);

  const auto served_page = [&](const Month& m) {
    return pages / (std::string(kMonthNames[m.month - 1]) + "." + std::to_string(m.year) + ".html");
  };
  PageOptions options;
  options.nonecon = options.incut = options.incuv = options.cnvfmt = true;
  options.offset1 = 2;
  const Month from{2015, 1}, to{2026, 12};
  std::vector<std::vector<PageEvent>> events;  // the raw inserts' rows: what the pages give
  double megabytes = 0;
  std::int64_t id = 100000;
  for (Month m = from; m <= to; m = next_month(m)) {
    const int days = last_day(m) - first_day(m) + 1;
    const std::string page = bench::days_page(first_day(m), days, per_day, id);
    id += days * per_day;
    megabytes += static_cast<double>(page.size()) / 1e6;
    std::ofstream(served_page(m), std::ios::binary) << page;
    DaysPage read = parse_days_page(page, options);
    if (read.problem) {
      std::fprintf(stderr, "%s refused: %s\n", month_text(m).c_str(),
                   problem_text(*read.problem).c_str());
      return 2;
    }
    events.push_back(std::move(read.events));
  }
  std::size_t total = 0;
  for (const auto& m : events) total += m.size();

  bench::IgnoreAll reporter;
  NoProgress progress;
  const auto fresh = [](const std::filesystem::path& d) {
    std::filesystem::remove_all(d);
    std::filesystem::create_directories(d);
  };
  HistoryLoadResult result;
  const auto load = [&] {
    FixedClock clock(*date_serial(2027, 1, 1), 1);
    Session session(ours_dir, clock);
    FolderPages served(pages);
    SleepingControl control;
    HistoryLoadRequest request;
    request.from = from;
    request.to = to;
    request.pause = std::chrono::milliseconds(0);
    request.address = "http://calendar.example";
    request.page = options;
    result = load_history(session, reporter, progress, served, control, request);
  };
  const auto empty_table = [&] {
    fresh(raw_dir);
    Table<CalendarTable> t(raw_dir);
    bench::must(t.create(), "create");
  };
  // Turn about, so that both meet the same load of a shared machine; the fastest of each counts.
  // Each load has a folder of its own: files made where a round's files were just removed are
  // made more slowly on some file systems, which would weigh on the load's kept pages only.
  bench::Result ours{"history load, 144 months", 1e300, static_cast<double>(total), "events"};
  bench::Result raw{"raw SQLite inserts", 1e300, static_cast<double>(total), "events"};
  bench::Result asked{"history load, every page asked for", 1e300, static_cast<double>(total),
                      "events"};
  const auto folder = [&](const std::string& kind, int round) {
    ours_dir = dir / (kind + std::to_string(round));
    fresh(ours_dir);
  };
  for (int round = 0; round < 5; ++round) {
    ours.seconds = std::min(
        ours.seconds, measure("", 0, "", load, 1, [&] {
                        folder("kept", round);
                        std::filesystem::create_directories(ours_dir / kMonthPagesFolder);
                        for (Month m = from; m <= to; m = next_month(m))
                          std::filesystem::copy_file(served_page(m), month_page_file(ours_dir, m));
                      }).seconds);
    asked.seconds = std::min(asked.seconds,
                             measure("", 0, "", load, 1, [&] { folder("asked", round); }).seconds);
    raw.seconds =
        std::min(raw.seconds, measure(
                                  "", 0, "", [&] { raw_inserts(raw_dir, events); }, 1, empty_table)
                                  .seconds);
  }
  std::filesystem::remove_all(dir);

  std::printf("%d months of %.0f MB: %d stored, %lld events (%zu given by the pages)\n",
              result.total, megabytes, result.months, static_cast<long long>(result.events), total);
  if (result.months != result.total || static_cast<std::size_t>(result.events) != total) return 1;
  const bool met = compare(ours, raw, 1.5);
  std::printf("  for reference, %s: %.3f s, %.2f times the raw inserts\n", asked.name.c_str(),
              asked.seconds, asked.seconds / raw.seconds);
  return met ? 0 : 1;
}
