// The Event History list on 1,000,000 events against raw SQLite prepared statements reading the
// same rows (the same key order, LIMIT one page) in the same run: the first page of each tab,
// page down, page up, the thumb dropped at stop 50, and locating by a typed character. Target:
// each at most 3 times the raw query. Memory: the list over 1,000,000 events, driven through
// every kind of move, may use at most 20 MB more than the list over 10,000 (peak RSS of a
// process of its own for each). Usage: bench_browse [events] (default 1000000).
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/calendar_events.h"
#include "core/history/browses.h"
#include "core/model/session.h"

using namespace mervane;
using mervane::bench::compare;
using mervane::bench::measure;

namespace {

constexpr int kMoves = 2000;  // page moves per measured run

// The list opens no window while it is measured.
struct NoWindows final : Windows {
  Response run(WindowModel&) override { return Response::Cancelled; }
  void start(Procedure) override {}
};

struct FailingReporter final : Reporter {
  Answer stop(std::string_view t) override {
    std::fprintf(stderr, "stop: %.*s\n", static_cast<int>(t.size()), t.data());
    std::abort();
  }
  int warning(const Warning& w) override {
    std::fprintf(stderr, "warning: %s\n", w.text.c_str());
    std::abort();
  }
};

// The list and what it needs around it.
struct Bed {
  explicit Bed(const std::filesystem::path& dir) : session(dir, clock) { list.open(); }
  FixedClock clock{76044, 1};
  Session session;
  NoWindows windows;
  FailingReporter reporter;
  BrowseHistoryByName list{session, windows, reporter};
  void tab(int t) {
    list.other_event({OtherEvent::Kind::Tab, number(BrowseControl::CURRENTTAB), t});
  }
  void thumb(int stop) {
    list.other_event({OtherEvent::Kind::Thumb, number(BrowseControl::BROWSE_1), stop});
  }
};

// ---- the raw queries: the table layer's own schema and partial keys, read by hand ----

const char* const kKeyCols[] = {"date,time,currency,descr", "currency,descr,date,time",
                                "descr,currency,date,time"};
const char* const kKeyDesc[] = {"date DESC,time DESC,currency DESC,descr DESC",
                                "currency DESC,descr DESC,date DESC,time DESC",
                                "descr DESC,currency DESC,date DESC,time DESC"};
// Each key leaves out the records whose key fields are all blank: its partial condition, which a
// query must repeat for SQLite to use the key's index.
const char* const kSelect[] = {
    "SELECT id,_ver,date,time,currency,descr,symbol,impact,color,actual,forecast,previous,"
    "spacing,revisedfrom,kxidcode FROM data WHERE (date <> 0 OR time <> 0 OR currency <> '' OR "
    "descr <> '')",
    "SELECT id,_ver,date,time,currency,descr,symbol,impact,color,actual,forecast,previous,"
    "spacing,revisedfrom,kxidcode FROM data WHERE (currency <> '' OR descr <> '' OR date <> 0 OR "
    "time <> 0)",
    "SELECT id,_ver,date,time,currency,descr,symbol,impact,color,actual,forecast,previous,"
    "spacing,revisedfrom,kxidcode FROM data WHERE (descr <> '' OR currency <> '' OR date <> 0 OR "
    "time <> 0)"};

struct RawRow {
  CalendarRecord rec;
  std::int64_t id = 0;
};

class Raw {
 public:
  explicit Raw(const std::filesystem::path& dir) {
    sqlite3_open_v2((dir / "CALENDAR.db").c_str(), &db_, SQLITE_OPEN_READONLY, nullptr);
    for (int k = 0; k < 3; ++k) {
      const std::string order = std::string(" ORDER BY ") + kKeyCols[k] + ",id LIMIT ?";
      const std::string select = kSelect[k];
      first_[k] = prepare(select + order);
      after_[k] = prepare(select + " AND (" + kKeyCols[k] + ",id) > (?,?,?,?,?)" + order);
      before_[k] = prepare(select + " AND (" + kKeyCols[k] + ",id) < (?,?,?,?,?) ORDER BY " +
                           kKeyDesc[k] + ",id DESC LIMIT ?");
      from_[k] = prepare(select + " AND (" + kKeyCols[k] + ") >= (?,?,?,?)" + order);
    }
  }
  ~Raw() {
    for (auto* s : {first_, after_, before_, from_})
      for (int k = 0; k < 3; ++k) sqlite3_finalize(s[k]);
    sqlite3_close(db_);
  }

  // The first page of a key.
  std::vector<RawRow> first(int key, int n) {
    sqlite3_stmt* st = first_[key];
    sqlite3_bind_int(st, 1, n);
    return rows(st);
  }
  // The page after or before a row.
  std::vector<RawRow> after(int key, const RawRow& r, int n) {
    return beside(after_[key], key, r, n);
  }
  std::vector<RawRow> before(int key, const RawRow& r, int n) {
    std::vector<RawRow> out = beside(before_[key], key, r, n);
    return {out.rbegin(), out.rend()};
  }
  // The page from the first record not below a partial key value (the lowest in the others).
  std::vector<RawRow> from(int key, const CalendarRecord& r, int n) {
    sqlite3_stmt* st = from_[key];
    bind_key(st, key, r, true);
    sqlite3_bind_int(st, 5, n);
    return rows(st);
  }

 private:
  // Prepares a query and makes sure it reads its key's index in order, as the list does.
  sqlite3_stmt* prepare(const std::string& sql) {
    sqlite3_stmt* plan = nullptr;
    if (sqlite3_prepare_v2(db_, ("EXPLAIN QUERY PLAN " + sql).c_str(), -1, &plan, nullptr) !=
        SQLITE_OK)
      std::abort();
    while (sqlite3_step(plan) == SQLITE_ROW) {
      const std::string step = reinterpret_cast<const char*>(sqlite3_column_text(plan, 3));
      if (step.find("INDEX") == std::string::npos ||
          step.find("TEMP B-TREE") != std::string::npos) {
        std::fprintf(stderr, "raw query without its index: %s\n  %s\n", sql.c_str(), step.c_str());
        std::abort();
      }
    }
    sqlite3_finalize(plan);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) std::abort();
    return st;
  }
  void bind_key(sqlite3_stmt* st, int key, const CalendarRecord& r, bool lowest) {
    auto text = [&](int i, std::string_view v) {
      sqlite3_bind_text(st, i, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
    };
    const std::int64_t lo = INT32_MIN;
    const std::int64_t date = lowest && r.date == 0 ? lo : r.date;
    const std::int64_t time = lowest && r.time == 0 ? lo : r.time;
    if (key == 0) {
      sqlite3_bind_int64(st, 1, date);
      sqlite3_bind_int64(st, 2, time);
      text(3, r.currency.view());
      text(4, r.descr.view());
    } else {
      text(key == 1 ? 1 : 2, r.currency.view());
      text(key == 1 ? 2 : 1, r.descr.view());
      sqlite3_bind_int64(st, 3, date);
      sqlite3_bind_int64(st, 4, time);
    }
  }
  std::vector<RawRow> beside(sqlite3_stmt* st, int key, const RawRow& r, int n) {
    bind_key(st, key, r.rec, false);
    sqlite3_bind_int64(st, 5, r.id);
    sqlite3_bind_int(st, 6, n);
    return rows(st);
  }
  std::vector<RawRow> rows(sqlite3_stmt* st) {
    std::vector<RawRow> out;
    auto text = [&](int col) {
      return std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(st, col)),
                              static_cast<std::size_t>(sqlite3_column_bytes(st, col)));
    };
    while (sqlite3_step(st) == SQLITE_ROW) {
      RawRow r;
      r.id = sqlite3_column_int64(st, 0);
      r.rec.date = static_cast<std::int32_t>(sqlite3_column_int64(st, 2));
      r.rec.time = static_cast<std::int32_t>(sqlite3_column_int64(st, 3));
      r.rec.currency = text(4);
      r.rec.descr = text(5);
      r.rec.symbol = text(6);
      r.rec.impact = text(7);
      r.rec.color = text(8);
      r.rec.actual = text(9);
      r.rec.forecast = text(10);
      r.rec.previous = text(11);
      r.rec.spacing = text(12);
      r.rec.revisedfrom = text(13);
      r.rec.kxidcode = text(14);
      out.push_back(std::move(r));
    }
    sqlite3_reset(st);
    return out;
  }

  sqlite3* db_ = nullptr;
  sqlite3_stmt* first_[3]{};
  sqlite3_stmt* after_[3]{};
  sqlite3_stmt* before_[3]{};
  sqlite3_stmt* from_[3]{};
};

void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "the list and the raw query disagree: %s\n", what);
    std::abort();
  }
}

bool same(const std::vector<Browse<CalendarTable>::Row>& page, const std::vector<RawRow>& raw) {
  if (page.size() != raw.size()) return false;
  for (std::size_t i = 0; i < raw.size(); ++i)
    if (page[i].id != raw[i].id || !(page[i].rec == raw[i].rec)) return false;
  return true;
}

long peak_kb() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
}

// The child of the memory measurement: every kind of move on the list of dir, then the peak.
int drive_list(const std::filesystem::path& dir) {
  Bed bed(dir);
  for (int t = 0; t < 3; ++t) {
    bed.tab(t);
    for (int i = 0; i < 200; ++i) bed.list.key({Key::PageDown});
    for (int stop = 1; stop <= 100; ++stop) bed.thumb(stop);
    for (int i = 0; i < 200; ++i) bed.list.key({Key::PageUp});
    for (char c : std::string("uegjcanx0123456789")) bed.list.key({Key::Char, c});
    bed.list.key({Key::End});
    bed.list.key({Key::Home});
  }
  std::printf("%ld\n", peak_kb());
  return 0;
}

// The peak RSS (KB) of a process of its own driving the list of dir.
long list_peak_kb(const std::filesystem::path& dir) {
  const std::string cmd =
      "/proc/" + std::to_string(getpid()) + "/exe --drive '" + dir.string() + "'";
  std::FILE* p = popen(cmd.c_str(), "r");
  long kb = -1;
  if (!p || std::fscanf(p, "%ld", &kb) != 1) std::abort();
  pclose(p);
  return kb;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--drive") return drive_list(argv[2]);
  const int n = argc > 1 ? std::atoi(argv[1]) : 1000000;
  const auto base = std::filesystem::temp_directory_path() / "mervane-bench-browse";
  const auto big = base / "big";
  const auto small = base / "small";
  bench::fill_calendar(big, n, bench::calendar_event);
  bench::fill_calendar(small, 10000, bench::calendar_event);
  std::printf("%d CALENDAR records, pages of 17 rows\n\n", n);

  Bed bed(big);
  Raw raw(big);
  const int rows = bed.list.page_rows();
  bool ok = true;

  // First page of each tab: Home on the tab against the raw first page of its key.
  const char* const tab_names[] = {"Date / Time", "Currency / Descr", "Descr / Currency"};
  for (int t = 0; t < 3; ++t) {
    bed.tab(t);
    bed.list.key({Key::Home});
    check(same(bed.list.page(), raw.first(t, rows)), "first page");
    const auto ours =
        measure(std::string("first page, ") + tab_names[t] + ", list", kMoves, "pages", [&] {
          for (int i = 0; i < kMoves; ++i) bed.list.key({Key::Home});
        });
    const auto theirs =
        measure(std::string("first page, ") + tab_names[t] + ", raw", kMoves, "pages", [&] {
          for (int i = 0; i < kMoves; ++i) raw.first(t, rows);
        });
    ok = compare(ours, theirs, 3.0) && ok;
  }

  // Page down and page up through the date order, from the top and from stop 60.
  bed.tab(0);
  auto home = [&] { bed.list.key({Key::Home}); };
  const auto down_ours = measure(
      "page down, list", kMoves, "pages",
      [&] {
        for (int i = 0; i < kMoves; ++i) bed.list.key({Key::PageDown});
      },
      3, home);
  std::vector<RawRow> page;
  const auto down_raw = measure(
      "page down, raw", kMoves, "pages",
      [&] {
        for (int i = 0; i < kMoves; ++i) page = raw.after(0, page.back(), rows);
      },
      3, [&] { page = raw.first(0, rows); });
  check(same(bed.list.page(), page), "page down");
  ok = compare(down_ours, down_raw, 3.0) && ok;

  bed.thumb(60);
  const RawRow start{bed.list.page().front().rec, bed.list.page().front().id};
  const auto up_ours = measure(
      "page up, list", kMoves, "pages",
      [&] {
        for (int i = 0; i < kMoves; ++i) bed.list.key({Key::PageUp});
      },
      3, [&] { bed.thumb(60); });
  const auto up_raw = measure(
      "page up, raw", kMoves, "pages",
      [&] {
        for (int i = 0; i < kMoves; ++i) page = raw.before(0, page.front(), rows);
      },
      3, [&] { page = {start}; });
  check(same(bed.list.page(), page), "page up");
  ok = compare(up_ours, up_raw, 3.0) && ok;

  // The thumb at stop 50: the first record not below the stop's date.
  bed.thumb(50);
  CalendarRecord stop50;
  stop50.date = bed.list.page().front().rec.date;
  check(same(bed.list.page(), raw.from(0, stop50, rows)), "thumb");
  const auto thumb_ours = measure("thumb to stop 50, list", kMoves, "jumps", [&] {
    for (int i = 0; i < kMoves; ++i) bed.thumb(50);
  });
  const auto thumb_raw = measure("thumb to stop 50, raw", kMoves, "jumps", [&] {
    for (int i = 0; i < kMoves; ++i) raw.from(0, stop50, rows);
  });
  ok = compare(thumb_ours, thumb_raw, 3.0) && ok;

  // Locating by a character on the currency order: "u" and "e" in turn, each a new search.
  bed.tab(1);
  CalendarRecord u, e;
  u.currency = "u";
  e.currency = "e";
  bed.list.key({Key::Char, 'u'});
  check(same(bed.list.page(), raw.from(1, u, rows)), "locate");
  const auto locate_ours = measure("locate by a character, list", kMoves, "locates", [&] {
    for (int i = 0; i < kMoves; ++i) bed.list.key({Key::Char, i % 2 ? 'u' : 'e'});
  });
  const auto locate_raw = measure("locate by a character, raw", kMoves, "locates", [&] {
    for (int i = 0; i < kMoves; ++i) raw.from(1, i % 2 ? u : e, rows);
  });
  ok = compare(locate_ours, locate_raw, 3.0) && ok;

  // Memory: the same moves on 10,000 and on n events, each list in a process of its own.
  const long small_kb = list_peak_kb(small);
  const long big_kb = list_peak_kb(big);
  const double more_mb = static_cast<double>(big_kb - small_kb) / 1024;
  const bool memory = more_mb <= 20;
  std::printf(
      "peak memory of the list: %.1f MB over %d events, %.1f MB over 10000: %.1f MB more "
      "(target at most 20 MB more): %s\n\n",
      static_cast<double>(big_kb) / 1024, n, static_cast<double>(small_kb) / 1024, more_mb,
      memory ? "met" : "MISSED");
  ok = memory && ok;

  std::filesystem::remove_all(base);
  std::printf(ok ? "all targets met\n" : "SOME TARGETS MISSED\n");
  return ok ? 0 : 1;
}
