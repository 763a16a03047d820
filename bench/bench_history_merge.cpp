// Merging 52 weekly pages of 150 events each into an Event History of 1,000,000 events, as a
// run of 52 weeks does: each page read by the page reader and merged by the Event History update
// (its week cleared and its events stored, one transaction per page, OFFSET1 = 2).
//
// Two histories: "reload", 150 events a week like the pages, whose last 52 weeks the pages load
// again with new actual values (what every run with "Auto set" does to the newest week); and
// "dense", about 960 events a week with other descriptions, so that every page clears six
// times as many records as it stores. Beside each, in the same run, raw SQLite prepared
// statements doing the storage work alone (per week: delete its days, insert the page's rows,
// commit). Target: under 2 seconds for all 52 pages.
// Usage: bench_history_merge [records] (default 1000000).
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench/bench_support.h"
#include "bench/weekly_pages.h"
#include "core/app/open_or_create.h"
#include "core/import/event_history.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"

using namespace mervane;
using namespace mervane::bench;

namespace {

class IgnoreAll : public Reporter {
 public:
  int stops = 0;
  Answer stop(std::string_view) override {
    ++stops;
    return Answer::Ignore;
  }
  int warning(const Warning& w) override { return w.default_button; }
};

void copy_db(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::filesystem::remove_all(to);
  std::filesystem::create_directories(to);
  std::filesystem::copy_file(from / "CALENDAR.db", to / "CALENDAR.db");
}

void raw_merge(const std::filesystem::path& dir, std::int32_t first_page, int first_week) {
  sqlite3* db = nullptr;
  sqlite3_open((dir / "CALENDAR.db").c_str(), &db);
  sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA cache_size=-16000",
               nullptr, nullptr, nullptr);
  sqlite3_stmt *del = nullptr, *ins = nullptr;
  // The partial condition lets the key index serve the range.
  sqlite3_prepare_v2(db,
                     "DELETE FROM data WHERE date BETWEEN ? AND ? AND (date <> 0 OR time <> 0 "
                     "OR currency <> '' OR descr <> '')",
                     -1, &del, nullptr);
  ins = prepare_insert(db, "0.6%");
  for (int w = 0; w < kPages; ++w) {
    const std::int32_t f = first_page + 7 * w;
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_bind_int64(del, 1, f);
    sqlite3_bind_int64(del, 2, f + 6);
    sqlite3_step(del);
    sqlite3_reset(del);
    for (int e = 0; e < kPerPage; ++e) {
      const PageEventAt at = event_at(e);
      const std::string descr = descr_of(e, first_week + w);
      sqlite3_bind_int64(ins, 1, f + at.day + at.day_shift);
      sqlite3_bind_int64(ins, 2, tod(at.hour, at.minutes));
      sqlite3_bind_text(ins, 3, kCurrencies[e % 8], -1, SQLITE_STATIC);
      sqlite3_bind_text(ins, 4, descr.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_step(ins);  // a key repeated by the offset may fail: the page's own rule
      sqlite3_reset(ins);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  }
  sqlite3_finalize(del);
  sqlite3_finalize(ins);
  sqlite3_close(db);
}

bool run(const char* name, int n, bool reload, const std::filesystem::path& root) {
  const auto seed = root / "seed", work = root / "work";
  std::filesystem::remove_all(root);
  fill(seed, n, reload);
  const int weeks = reload ? n / kPerPage : n / 137 / 7;
  const int first_week = weeks - kPages;
  const std::int32_t first_page = kFirstDay + 7 * first_week;
  std::vector<std::vector<std::string>> pages;
  for (int w = 0; w < kPages; ++w)
    pages.push_back(page_lines(first_page + 7 * w, first_week + w, "0.6%"));

  IgnoreAll reporter;
  NoProgress progress;
  std::int64_t stored = 0, changed = 0;
  const auto ours = measure(
      std::string(name) + ": reader + history update", kPages * kPerPage, "events",
      [&] {
        Table<CalendarTable> t(work);
        open_calr(t, reporter);
        std::int64_t count1 = 0;
        {
          EventHistory history(t, reporter, progress, count1, kOffset);
          for (int w = 0; w < kPages; ++w) {
            PageOptions o;
            o.request_date = first_page + 7 * w;
            PageReader reader(o, history);
            for (const std::string& l : pages[w]) reader.line(l);
            reader.end();
          }
        }
        must(t.records(stored), "count");
        t.clear();
        t.rec.date = first_page;
        changed = 0;
        for (Status st = t.set(CalendarKey::Key); st.is_ok() && t.next().is_ok();)
          changed += t.rec.actual == "0.6%";
      },
      2, [&] { copy_db(seed, work); });
  const auto raw = measure(
      std::string(name) + ": raw SQLite storage", kPages * kPerPage, "events",
      [&] { raw_merge(work, first_page, first_week); }, 2, [&] { copy_db(seed, work); });

  // Events the offset moves from a Saturday night into the next page's week are cleared again
  // by that page; in "reload" the week before the first page had one such group as well.
  const int moved = moved_to_next_week();
  const std::int64_t expected = reload ? n - static_cast<std::int64_t>(kPages) * moved
                                       : n - static_cast<std::int64_t>(kPages) * 7 * 137 +
                                             kPages * kPerPage - (kPages - 1) * moved;
  const std::int64_t expected_changed = kPages * kPerPage - (kPages - 1) * moved;
  std::printf(
      "%s: %d events, 52 pages merged: %lld events afterwards (expected %lld), %lld "
      "with the new values (expected %lld), %d stop messages\n",
      name, n, static_cast<long long>(stored), static_cast<long long>(expected),
      static_cast<long long>(changed), static_cast<long long>(expected_changed), reporter.stops);
  compare(ours, raw, 3.0);
  const bool ok = ours.seconds < 2.0;
  std::printf("  %s: 52 pages in %.3f s (target under 2 s): %s\n\n", name, ours.seconds,
              ok ? "met" : "MISSED");
  return ok && stored == expected && changed == expected_changed && reporter.stops == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 1000000;
  const auto root = std::filesystem::temp_directory_path() /
                    ("mervane-bench-merge-" + std::to_string(::getpid()));
  bool ok = run("reload", n, true, root);
  ok = run("dense", n, false, root) && ok;
  std::filesystem::remove_all(root);
  return ok ? 0 : 1;
}
