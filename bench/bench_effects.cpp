// The effects analysis over 4 pairs of M1 version-401 history files of 2,600,000 bars each,
// with 1,000 events and 24 offsets, beside a plain sequential read of the same files in the
// same run: history bytes per second of the history reading (the merge of the 24,000 sampling
// moments with each file, as the analysis does it) and of the whole analysis (which also
// writes the two files, about 28,000 lines and 576,000 number cells), and the peak memory of
// the process. Targets: the history reading at least half the plain read's speed; peak memory
// under 64 MB.
// Usage: bench_effects [folder] (default: a folder under the system's temporary folder; the
// files, about 620 MB, are written there first and removed at the end).
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "core/analysis/effect_analysis_report.h"
#include "core/analysis/effects_ini.h"
#include "core/analysis/effects_samples.h"
#include "core/model/history_file.h"
#include "core/model/records.h"
#include "core/runtime/table.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"

using namespace mervane;
using mervane::bench::compare;
using mervane::bench::measure;

namespace {

constexpr std::int64_t kBars = 2'600'000;
constexpr int kEvents = 1000;
const char* kPairs[] = {"EURUSD", "GBPUSD", "USDJPY", "AUDUSD"};

void put(unsigned char* p, std::uint64_t v, int n) {
  for (int i = 0; i < n; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void put_double(unsigned char* p, double d) {
  std::uint64_t v;
  std::memcpy(&v, &d, 8);
  put(p, v, 8);
}

// One bar a minute from the first day on, written in blocks so the writer stays small.
void write_history(const std::filesystem::path& file, std::int64_t first, double base) {
  std::FILE* f = std::fopen(file.c_str(), "wb");
  if (!f) std::abort();
  unsigned char header[148] = {};
  put(header, 401, 4);
  std::memcpy(header + 68, "EURUSD", 6);
  put(header + 84, 5, 4);
  std::fwrite(header, 1, sizeof header, f);
  std::vector<unsigned char> block(60 * 4096);
  for (std::int64_t i = 0; i < kBars;) {
    std::size_t n = 0;
    for (; n < 4096 && i < kBars; ++n, ++i) {
      unsigned char* p = block.data() + 60 * n;
      const double open = base + 0.0001 * static_cast<double>(i % 500);
      put(p, static_cast<std::uint64_t>(first + 60 * i), 8);
      put_double(p + 8, open);
      put_double(p + 16, open + 0.0003);
      put_double(p + 24, open - 0.0002);
      put_double(p + 32, open + 0.0001);
      put(p + 40, 100, 8);
      put(p + 48, 2, 4);
      put(p + 52, 0, 8);
    }
    std::fwrite(block.data(), 1, 60 * n, f);
  }
  std::fclose(f);
}

std::int64_t plain_read(const std::vector<std::filesystem::path>& files) {
  std::vector<char> buf(1 << 16);
  std::int64_t total = 0;
  unsigned sum = 0;
  for (const auto& file : files) {
    const int fd = ::open(file.c_str(), O_RDONLY);
    if (fd < 0) std::abort();
    ssize_t r;
    while ((r = ::read(fd, buf.data(), buf.size())) > 0) {
      total += r;
      sum += static_cast<unsigned char>(buf[static_cast<std::size_t>(r) - 1]);
    }
    ::close(fd);
  }
  if (sum == 1) std::printf(" ");  // keeps the reads from being optimised away
  return total;
}

// The history reading of the analysis alone: the same moments, each file read once front to
// back by the analysis's own reader and merge.
void read_histories(const std::vector<std::filesystem::path>& files, std::int64_t first) {
  SampleList samples(files.size());
  for (int e = 0; e < kEvents; ++e)
    for (int i = 0; i < 24; ++i) {
      EffectsSample s;
      s.moment = bar_moment(first) + 60 * (1 + (kBars - 24) * e / (kEvents - 1) + i - 1);
      s.idno = e + 1;
      samples.add(s);
    }
  samples.sort_by_moment();
  std::size_t found = 0;
  for (std::size_t k = 0; k < files.size(); ++k) {
    HistoryFile h;
    if (h.open(files[k]) != HistoryOpen::Ok) std::abort();
    merge_prices(h, samples, k, [&] { ++found; });
  }
  if (found != files.size() * samples.size()) std::abort();
}

long peak_kb() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path dir =
      argc > 1 ? std::filesystem::path(argv[1])
               : std::filesystem::temp_directory_path() / "mervane-bench-effects";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);

  const std::int32_t day0 = *date_serial(2015, 1, 5);
  const std::int64_t first = unix_seconds(day0);
  std::vector<std::filesystem::path> files;
  std::int64_t bytes = 0;
  for (int k = 0; k < 4; ++k) {
    files.push_back(dir / (std::string(kPairs[k]) + "1.hst"));
    write_history(files.back(), first, 1.1 + 0.1 * k);
    bytes += static_cast<std::int64_t>(std::filesystem::file_size(files.back()));
  }

  // Events spread over the whole history, the last one's offsets reaching its last bar.
  {
    Table<PviewTable> t(dir);
    if (t.create().failed() || t.open().failed()) std::abort();
    Transaction tx(t);
    const std::int64_t span = kBars - 24;
    for (int e = 0; e < kEvents; ++e) {
      const std::int64_t minute = 1 + span * e / (kEvents - 1);
      t.rec = PviewRecord{};
      t.rec.date = day0 + static_cast<std::int32_t>(minute / 1440);
      t.rec.time = tod(0, static_cast<std::int32_t>(minute % 1440));
      t.rec.currency = "USD";
      t.rec.descr = "Event " + std::to_string(e);
      t.rec.impact = "H";
      t.rec.kxidcode = std::to_string(100000 + e);
      if (t.add().failed()) std::abort();
    }
    if (tx.commit().failed()) std::abort();
  }
  EffectsSettings g3;
  g3.histpath = dir.string() + "/";
  g3.chartint = "M1";
  for (int i = 0; i < 24; ++i)
    g3.timeint[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i - 1);
  const EffIniRecord rec = encode_eff_ini(g3);
  {
    std::FILE* f = std::fopen((dir / "EFF.INI").c_str(), "wb");
    std::fwrite(rec.data(), 1, rec.size(), f);
    std::fclose(f);
  }

  FixedClock clock(day0, 1);
  Session session(dir, clock);
  BuildSettings g2;
  g2.pairs = "EURUSD,GBPUSD,USDJPY,AUDUSD";
  g2.datefmt = "Y/";
  session.set_g2(g2);
  struct Quiet : Reporter {
    Answer stop(std::string_view t) override {
      std::fprintf(stderr, "stop: %.*s\n", static_cast<int>(t.size()), t.data());
      std::abort();
    }
    int warning(const Warning& w) override {
      std::fprintf(stderr, "warning: %s\n", w.text.c_str());
      std::abort();
    }
  } reporter;
  NoProgress progress;

  const double mb = static_cast<double>(bytes) / 1e6;
  const long before = peak_kb();
  const auto ours = measure("effects analysis (history MB)", mb, "MB",
                            [&] { effect_analysis_report(session, reporter, progress); });
  const long after_ours = peak_kb();
  const auto reading =
      measure("history reading (MB)", mb, "MB", [&] { read_histories(files, first); });
  const auto base = measure("plain sequential read (MB)", mb, "MB", [&] {
    if (plain_read(files) != bytes) std::abort();
  });
  std::printf("%lld bars in 4 files (%.0f MB), %d events x 24 offsets\n\n",
              static_cast<long long>(4 * kBars), mb, kEvents);
  const bool speed = compare(reading, base, 2.0);
  std::printf(
      "%-34s %12.0f MB/s  (%.3f s), %.2f times the plain read's time: the two output\n"
      "  files (number cells through the display pictures) take most of it\n\n",
      ours.name.c_str(), mb / ours.seconds, ours.seconds, ours.seconds / base.seconds);
  const double peak_mb = static_cast<double>(after_ours) / 1024;
  const bool memory = peak_mb < 64;
  std::printf(
      "peak memory of the process: %.1f MB (%.1f MB before the analysis; target under "
      "64 MB): %s\n",
      peak_mb, static_cast<double>(before) / 1024, memory ? "met" : "MISSED");
  std::filesystem::remove_all(dir);
  return speed && memory ? 0 : 1;
}
