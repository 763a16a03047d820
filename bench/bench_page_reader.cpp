// The calendar page reader on a 1 MB synthetic week page (rows repeated to size), read from its
// file as a run reads "truneout", beside Python's lxml (Debian's python3-lxml,
// /usr/bin/python3) parsing the same file and walking its table rows and cells, in the same run.
// Targets: at least 100 MB/s and at least 5 times lxml's speed.
// Usage: bench_page_reader [megabytes] (default 1).
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/bench_support.h"
#include "bench/import_bench.h"
#include "core/import/page_reader.h"

using namespace mervane;
using mervane::bench::compare;
using mervane::bench::measure;

namespace {

constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kCcy[] = {"USD", "EUR", "GBP", "JPY", "CHF", "CAD", "AUD", "NZD"};
constexpr const char* kImpact[] = {"Low Impact Expected", "Medium Impact Expected",
                                   "High Impact Expected", "Non-Economic"};

std::string row(int i) {
  const int h = i % 12 + 1;
  return "<tr class=\"calendar_row\" data-eventid=\"" + std::to_string(10000 + i) +
         "\"><td class=\"time\">" + std::to_string(h) + ":" + (i % 2 ? "30" : "00") +
         (i % 3 ? "am" : "pm") + "</td>\n<td class=\"currency\">" + kCcy[i % 8] +
         "</td><td class=\"impact\"><span title=\"" + kImpact[i % 4] +
         "\" class=\"icon\"></span></td>\n<td class=\"event\"><span>Release &amp; Index " +
         std::to_string(i % 97) +
         " m/m</span></td><td class=\"detail\"><a onclick=\"Array('detail_load_" +
         std::to_string(20000 + i) + "')\" href=\"#\"></a></td>\n<td class=\"actual\">0." +
         std::to_string(i % 10) + "%</td><td class=\"forecast\">0.3%</td><td class=\"previous\">" +
         "<span title=\"Revised From 0.1%\">0.2%</span></td></tr>\n";
}

// Days of 60,000 characters each, so that no day is cut at the day buffer's 65,500 and every
// byte of the page goes through the token scan (seven days of 1 MB would leave most of each
// day unscanned and flatter the figure).
std::string make_page(std::size_t bytes) {
  std::string page = "<html><head><title>Calendar</title></head><body>\n<table class=\"cal\">\n";
  constexpr std::size_t kDay = 60000;
  int n = 0;
  for (int d = 0; page.size() < bytes; ++d) {
    page += "<tr><td class=\"date\"><span>" + std::string(kDays[d % 7]) + "</span>" +
            (d == 0 ? "Jan 7" : "") + "</td>" + row(n++).substr(4);
    const std::size_t day_end = page.size() + kDay;
    while (page.size() < day_end && page.size() < bytes) page += row(n++);
  }
  return page + "</table></body></html>\n";
}

const char* kLxml = R"(
import sys, time
from lxml import html
best = 1e300
for _ in range(int(sys.argv[2])):
    t0 = time.perf_counter()
    root = html.parse(sys.argv[1]).getroot()
    cells = 0
    for tr in root.iter('tr'):
        for td in tr.iter('td'):
            td.text_content()
            cells += 1
    best = min(best, time.perf_counter() - t0)
print(best, cells)
)";

}  // namespace

int main(int argc, char** argv) {
  const double mb = argc > 1 ? std::atof(argv[1]) : 1.0;
  const auto dir =
      std::filesystem::temp_directory_path() / ("mervane-bench-page-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto file = dir / "truneout";
  const std::string page = make_page(static_cast<std::size_t>(mb * 1e6));
  std::ofstream(file, std::ios::binary) << page;
  std::ofstream(dir / "walk.py") << kLxml;
  const double size_mb = static_cast<double>(page.size()) / 1e6;

  PageOptions options;
  options.nonecon = options.incut = options.incuv = options.cnvfmt = true;
  options.request_date = 75250;
  bench::IgnoreAll reporter;
  NoProgress progress;
  long events = 0;
  const auto ours = measure(
      "page reader (proc_hist)", size_mb, "MB",
      [&] {
        bench::CountingSink sink;
        std::int64_t count1 = 0;
        proc_hist(file, options, sink, reporter, progress, count1);
        events = sink.events;
      },
      10);

  double lxml_seconds = 0;
  long cells = 0;
  const bool ran =
      bench::run_python((dir / "walk.py").string(), file.string(), 5, lxml_seconds, cells);
  std::filesystem::remove_all(dir);
  if (!ran) return 1;

  std::printf("page of %.2f MB: %ld events read, lxml walked %ld cells\n", size_mb, events, cells);
  if (events == 0) return 1;  // measured nothing
  const bench::Result base{"lxml parse + walk rows and cells", lxml_seconds, size_mb, "MB"};
  bool ok = compare(ours, base, 0.2);
  ok = bench::at_least(ours, 100) && ok;
  return ok ? 0 : 1;
}
