// The watch: 10,000 cycles on a played clock over a history of 1,000,000 events (each cycle the
// week's page into the history, News.CSV, the guard file, the alerts and the schedule), beside
// a plain Build run of the same week timed between the cycles: the run's history update and
// outputs, which a cycle repeats (target: a cycle at most 1.2 times it); for reference also the
// whole OK run of the Build window, which saves the settings and writes the history backup as
// well. Memory growth from the 100th cycle to the last: at most 1 MB.
// Usage: bench_watch [cycles] [events] (default 10000 1000000). Release build.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "bench/bench_support.h"
#include "bench/weekly_pages.h"
#include "core/live/guard_file.h"
#include "core/live/watch.h"
#include "core/model/local_settings.h"
#include "core/output/build_run.h"
#include "core/output/procfile.h"
#include "tests/support/stub_windows.h"

using namespace mervane;

namespace {

// The week's page for whatever week is asked, written as a download would.
class PageServer final : public Downloader {
 public:
  Status fetch(const std::string& url, const std::filesystem::path& target) override {
    const std::int64_t t = std::stoll(url.substr(url.rfind('=') + 1));
    const std::int32_t sunday = static_cast<std::int32_t>(t / 86400 + kUnixEpochSerial);
    std::string page;
    for (const std::string& l : bench::page_lines(sunday, (sunday - bench::kFirstDay) / 7, "0.5%"))
      page += l + "\n";
    return write_file_atomic(target, page);
  }
};

std::string read_all(const std::filesystem::path& p) {
  std::string s;
  if (std::FILE* f = std::fopen(p.c_str(), "rb")) {
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
    std::fclose(f);
  }
  return s;
}

long resident_kb() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  long pages = 0, resident = 0;
  if (!f || std::fscanf(f, "%ld %ld", &pages, &resident) != 2) std::abort();
  std::fclose(f);
  return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// Counts the cycles and stops the watch after the last; notes the memory at the 100th. Every
// 50 cycles, between two of them, one Build run of the week is timed beside them, so that both
// see the same load of the machine; its time is taken out of the cycles'.
class CountingOutput final : public WatchOutput {
 public:
  CountingOutput(int cycles, StopSignal& stop, std::function<void()> baseline)
      : cycles_(cycles), stop_(stop), baseline_(std::move(baseline)) {}
  void cycle(std::string_view line) override {
    if (++done == 100) rss_100 = resident_kb();
    if (done == cycles_) {
      rss_last = resident_kb();
      last_line = line;
      stop_.raise();
    }
    if (done % 50 == 0) {
      const auto t0 = std::chrono::steady_clock::now();
      baseline_();
      baseline_seconds +=
          std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
      ++baselines;
    }
  }
  void warning(std::string_view line) override {
    std::fprintf(stderr, "warning: %.*s\n", static_cast<int>(line.size()), line.data());
  }
  void alert(const Alert&) override { ++alerts; }
  int done = 0, alerts = 0, baselines = 0;
  double baseline_seconds = 0;
  long rss_100 = 0, rss_last = 0;
  std::string last_line;

 private:
  int cycles_;
  StopSignal& stop_;
  std::function<void()> baseline_;
};

}  // namespace

int main(int argc, char** argv) {
  const int cycles = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int events = argc > 2 ? std::atoi(argv[2]) : 1000000;
  ::setenv("TZ", "UTC", 1);
  const auto dir = std::filesystem::temp_directory_path() / "mervane-bench-watch";
  std::filesystem::remove_all(dir);
  std::printf("filling a history of %d events...\n", events);
  bench::fill(dir, events, false);
  // The week near the history's end, and the five weeks the cycles reach.
  const std::int32_t sunday = bench::kFirstDay + 7 * (events / bench::kPerPage / 8);
  SettingsRecord s = built_in_defaults(sunday, dir);
  s.b.outname = "News.CSV";
  s.b.fromdate = sunday;
  s.b.thrudate = sunday + 41;
  s.b.date1 = sunday;
  s.b.offset1 = bench::kOffset;
  bench::must(write_settings_file(dir / "trune.INI", s), "the settings");
  bench::must(save_local_setting(dir, "CALENDARURL", "http://calendar.invalid"), "the address");
  bench::must(save_local_setting(dir, "GUARDFILE", "guard.csv"), "the guard file");

  PageServer pages;
  bench::AbortingReporter reporter;
  NoProgress progress;
  const std::int64_t start = LiveClock::moment_of(sunday, 30 * 60);
  PlayedClock clock(start);
  Session session(dir, clock);
  auto guard = std::make_shared<GuardFile>(session, reporter);
  const auto run_once = [&] {
    SettingsRecord rec = s;
    const CalendarSettings calendar;
    BuildRunInput in{rec, calendar, DownloadFields{1, 1, 0, 1, sunday}};
    in.tap = guard.get();
    std::int64_t count1 = 0;
    std::int32_t calproc = 0;
    build_run(session, reporter, progress, pages, in, count1, calproc);
  };
  test::StubWindows windows(session);
  const bench::Result whole = bench::measure(
      "Build window OK run (and backup)", 1, "runs",
      [&] {
        ProcFile window(WindowServices{session, reporter, progress, windows, pages});
        window.set_run_tap(guard);
        window.open();
        window.accepted(number(ProcFileControl::OK));
      },
      1);

  StopSignal stop;
  CountingOutput out(cycles, stop, run_once);
  WatchOptions options;
  options.every_minutes = 5;
  Watch watch(dir, clock, pages, out, options);
  std::printf("%d watch cycles...\n", cycles);
  const auto t0 = std::chrono::steady_clock::now();
  watch.run(stop);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() -
      out.baseline_seconds;
  const bench::Result cycle{"watch cycle", seconds / out.done, 1, "cycles"};
  const bench::Result run{"Build run of the week (outputs)",
                          out.baseline_seconds / std::max(out.baselines, 1), 1, "runs"};
  std::printf("last cycle: %s\n", out.last_line.c_str());
  const std::string news = read_all(dir / "News.CSV");
  std::printf("%d cycles in %.1f s (and %d Build runs between them), %d alerts, News.CSV %ld "
              "lines\n\n",
              out.done, seconds, out.baselines, out.alerts,
              static_cast<long>(std::count(news.begin(), news.end(), '\n')));
  std::printf("%-34s %.1f ms\n", whole.name.c_str(), whole.seconds * 1000);
  const bool fast = bench::compare(cycle, run, 1.2);
  const long growth = out.rss_last - out.rss_100;
  const bool small = growth <= 1024;
  std::printf(
      "memory: %ld KB at cycle 100, %ld KB at cycle %d: growth %ld KB (target at most "
      "1024 KB): %s\n",
      out.rss_100, out.rss_last, out.done, growth, small ? "met" : "MISSED");
  if (std::getenv("MERVANE_BENCH_KEEP") == nullptr) std::filesystem::remove_all(dir);
  return fast && small ? 0 : 1;
}
