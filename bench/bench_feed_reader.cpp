// The weekly feed reader on a 1 MB synthetic feed (a week of events repeated to size, values in
// CDATA, empty values as empty elements, a few Windows-1252 characters), read from its file as a
// run reads "truneout", beside Python's lxml (Debian's python3-lxml, /usr/bin/python3) parsing
// the same file and reading every value of every event, in the same run.
// Target: at least 5 times lxml's speed.
// Usage: bench_feed_reader [megabytes] (default 1).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/bench_support.h"
#include "bench/import_bench.h"
#include "core/import/feed_reader.h"

using namespace mervane;
using mervane::bench::compare;
using mervane::bench::measure;

namespace {

constexpr const char* kCcy[] = {"USD", "EUR", "GBP", "JPY", "CHF", "CAD", "AUD", "NZD", "All"};
constexpr const char* kImpact[] = {"Low", "Medium", "High", "Holiday"};
constexpr const char* kTimes[] = {"8:30am", "12:30pm", "All Day", "2:00pm", "Tentative", "11:45pm"};

std::string value(const char* name, const std::string& v) {
  if (v.empty()) return std::string("<") + name + " />\n";
  return std::string("<") + name + "><![CDATA[" + v + "]]></" + name + ">\n";
}

std::string make_feed(std::size_t bytes) {
  std::string f = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<weeklyevents>\n";
  for (int i = 0; f.size() < bytes; ++i) {
    const std::string day = "03-" + std::to_string(10 + i % 7) + "-2024";
    f += "<event>\n";
    f += value("title", "Release \x96 Index " + std::to_string(i % 97) + (i % 5 ? " m/m" : " y/y"));
    f += value("country", kCcy[i % 9]);
    f += value("date", day);
    f += value("time", kTimes[i % 6]);
    f += value("impact", kImpact[i % 4]);
    f += value("forecast", i % 3 ? "0." + std::to_string(i % 10) + "%" : "");
    f += value("previous", i % 4 ? "0.2%" : "");
    f += value("url", "https://calendar.example/calendar?day=" + std::to_string(i));
    f += "</event>\n";
  }
  return f + "</weeklyevents>\n";
}

const char* kLxml = R"(
import sys, time
from lxml import etree
best = 1e300
for _ in range(int(sys.argv[2])):
    t0 = time.perf_counter()
    root = etree.parse(sys.argv[1]).getroot()
    values = 0
    for ev in root.iter('event'):
        for child in ev:
            child.text
            values += 1
    best = min(best, time.perf_counter() - t0)
print(best, values)
)";

}  // namespace

int main(int argc, char** argv) {
  const double mb = argc > 1 ? std::atof(argv[1]) : 1.0;
  const auto dir =
      std::filesystem::temp_directory_path() / ("mervane-bench-feed-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto file = dir / "truneout";
  const std::string feed = make_feed(static_cast<std::size_t>(mb * 1e6));
  std::ofstream(file, std::ios::binary) << feed;
  std::ofstream(dir / "walk.py") << kLxml;
  const double size_mb = static_cast<double>(feed.size()) / 1e6;

  PageOptions options;
  options.nonecon = options.incut = options.incuv = options.cnvfmt = true;
  bench::IgnoreAll reporter;
  NoProgress progress;
  long events = 0;
  const auto ours = measure(
      "feed reader (proc_feed)", size_mb, "MB",
      [&] {
        bench::CountingSink sink;
        std::int64_t count1 = 0;
        proc_feed(file, "truneout", options, sink, reporter, progress, count1);
        events = sink.events;
      },
      10);

  double lxml_seconds = 0;
  long values = 0;
  const bool ran =
      bench::run_python((dir / "walk.py").string(), file.string(), 5, lxml_seconds, values);
  std::filesystem::remove_all(dir);
  if (!ran) return 1;

  std::printf("feed of %.2f MB: %ld events read, lxml read %ld values\n", size_mb, events, values);
  if (events == 0) return 1;  // measured nothing
  const bench::Result base{"lxml parse + read every value", lxml_seconds, size_mb, "MB"};
  return compare(ours, base, 0.2) ? 0 : 1;
}
