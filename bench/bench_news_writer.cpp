// The News.CSV writer with a Char export (the Mirel_Events layout: every column quoted) on a
// history of 1,000,000 events that all pass the filters, against the sqlite3 command-line tool
// exporting the same rows of the same table as CSV in the same order. Target: at most twice the
// sqlite3 time. Usage: bench_news_writer [events] (default 1000000); needs sqlite3 on PATH.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/bench_support.h"
#include "bench/calendar_events.h"
#include "core/model/session.h"
#include "core/output/export_writer.h"
#include "core/output/news_writer.h"
#include "core/output/settings_file.h"
#include "core/runtime/table.h"
#include "core/util/dates.h"

using namespace mervane;
using mervane::bench::compare;
using mervane::bench::measure;

namespace {

const char* kCurrencies[] = {"USD", "EUR", "GBP", "JPY", "CHF", "CAD", "AUD", "NZD", "ALL"};
const char* kImpacts[] = {"L", "M", "H"};

std::int32_t first_day() {
  return *date_serial(2006, 1, 2);
}

// Every currency, impact and value shape the writer treats apart, from 2 January 2006 on.
CalendarRecord make_event(int i) {
  CalendarRecord r = bench::calendar_event(i);
  r.date = first_day() + i / bench::kPerDay;
  r.currency = kCurrencies[i % 9];
  r.impact = kImpacts[i % 3];
  r.actual = i % 4 == 0 ? "" : "0.4%";
  r.previous = "250K";
  r.revisedfrom = i % 7 == 0 ? "0.1%" : "";
  return r;
}

BuildSettings settings(const std::filesystem::path& dir) {
  BuildSettings s = built_in_defaults(first_day(), dir).b;
  s.fromdate = first_day();
  s.outname = "News.CSV";
  s.xout = 4;  // Char, as the "Mirel_Events format" button sets it
  s.sepchar = ",\"";
  s.datefmt = "M/";
  s.outxlsname = "XLOutput.CSV";
  return s;
}

void run_ours(const std::filesystem::path& dir) {
  FixedClock clock(first_day(), 1);
  Session session(dir, clock);
  bench::AbortingReporter r;
  NoProgress p;
  const BuildSettings s = settings(dir);
  Table<CalendarTable> cal(dir);
  if (cal.open(OpenMode::read_only()).failed()) std::abort();
  OutputFile news(r, dir / "News.CSV", "News.CSV", "Add");
  news.create();
  ExportWriter ex(s, r, dir);
  ex.header();
  std::int64_t count1 = 0;
  out_news(cal, s, NewsTargets{false, &news, &ex}, session, r, p, count1);
  news.close();
  ex.footer();
}

void run_sqlite3(const std::filesystem::path& dir) {
  const std::string cmd =
      "sqlite3 -csv '" + (dir / "CALENDAR.db").string() +
      "' \"SELECT date,time,currency,descr,symbol,impact,color,actual,forecast,previous,"
      "revisedfrom,kxidcode FROM data WHERE (date <> 0 OR time <> 0 OR currency <> '' OR "
      "descr <> '') AND date >= " +
      std::to_string(first_day()) + " ORDER BY date,time,currency,descr\" > '" +
      (dir / "sqlite3.csv").string() + "'";
  if (std::system(cmd.c_str()) != 0) std::abort();
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 1000000;
  const auto dir = std::filesystem::temp_directory_path() / "mervane-bench-news";
  std::printf("filling a history of %d events...\n", n);
  bench::fill_calendar(dir, n, make_event);

  const auto ours = measure("News.CSV + Char export", n, "events", [&] { run_ours(dir); });
  const auto base = measure("sqlite3 -csv (same rows)", n, "events", [&] { run_sqlite3(dir); });
  const auto lines = [&](const char* f) {
    std::FILE* in = std::fopen((dir / f).c_str(), "rb");
    long count = 0;
    for (int c; in && (c = std::fgetc(in)) != EOF;) count += c == '\n';
    if (in) std::fclose(in);
    return count;
  };
  std::printf("lines: News.CSV %ld, export %ld, sqlite3 %ld\n", lines("News.CSV"),
              lines("XLOutput.CSV"), lines("sqlite3.csv"));
  std::printf("ours: %.0f lines/s written (News.CSV and export together)\n\n",
              2.0 * n / ours.seconds);
  const bool ok = compare(ours, base, 2.0);
  if (std::getenv("MERVANE_BENCH_KEEP") == nullptr) std::filesystem::remove_all(dir);
  return ok ? 0 : 1;
}
