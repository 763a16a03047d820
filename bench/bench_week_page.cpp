// The reader of today's calendar pages on a 450 KB week page (the `days` list cut out of the
// page's script, parsed as JSON, every event mapped to the event the history stores) beside
// Python's re.search of the list and json.loads of it (/usr/bin/python3), on the same page held
// in memory, in the same run. Target: at least 3 times Python's speed.
// Usage: bench_week_page [kilobytes] (default 450).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/bench_support.h"
#include "bench/days_pages.h"
#include "bench/import_bench.h"
#include "core/import/days_page.h"

using namespace mervane;
using mervane::bench::compare;
using mervane::bench::measure;

namespace {

const char* kPython = R"(
import json, re, sys, time
text = open(sys.argv[1], encoding='windows-1252').read()
days_list = re.compile(r'window\.calendarComponentStates\[1\]\s*=\s*\{\s*days:\s*(\[.*?\]),\s*\w+:',
                       re.S)
best = 1e300
for _ in range(int(sys.argv[2])):
    t0 = time.perf_counter()
    days = json.loads(days_list.search(text).group(1))
    best = min(best, time.perf_counter() - t0)
print(best, sum(len(d['events']) for d in days))
)";

}  // namespace

int main(int argc, char** argv) {
  const double kb = argc > 1 ? std::atof(argv[1]) : 450.0;
  const auto dir =
      std::filesystem::temp_directory_path() / ("mervane-bench-week-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto file = dir / "truneout";
  // A week of 7 days; events a day as the size asks (43 a day make about 450 KB).
  const int per_day = std::max(1, static_cast<int>(kb * 43 / 450));
  const std::string page = bench::days_page(*date_serial(2026, 1, 25), 7, per_day, 140000);
  std::ofstream(file, std::ios::binary) << page;
  std::ofstream(dir / "days.py") << kPython;
  const double size_kb = static_cast<double>(page.size()) / 1e3;

  PageOptions options;
  options.nonecon = options.incut = options.incuv = options.cnvfmt = true;
  options.offset1 = 2;
  std::size_t events = 0;
  const auto ours = measure(
      "today's page reader", size_kb, "KB",
      [&] {
        const DaysPage read = parse_days_page(page, options);
        if (read.problem) {
          std::fprintf(stderr, "the page was refused: %s\n", problem_text(*read.problem).c_str());
          std::exit(2);
        }
        events = read.events.size();
      },
      50);

  double python_seconds = 0;
  long python_events = 0;
  const bool ran = bench::run_python((dir / "days.py").string(), file.string(), 20, python_seconds,
                                     python_events);
  std::filesystem::remove_all(dir);
  if (!ran) return 1;

  std::printf("week page of %.0f KB: %zu events mapped, Python read %ld events\n", size_kb, events,
              python_events);
  if (events == 0 || static_cast<long>(events) != python_events) return 1;  // not the same work
  const bench::Result base{"Python re.search + json.loads", python_seconds, size_kb, "KB"};
  return compare(ours, base, 1.0 / 3) ? 0 : 1;
}
