// Shared pieces of the benchmark programs: each measures the program's own way of doing a piece
// of work beside a baseline doing the same work in the same run, and prints the throughput of
// both and their ratio, with the target the ratio must meet.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/runtime/reporter.h"

namespace mervane::bench {

struct Result {
  std::string name;
  double seconds = 0;
  double items = 0;
  std::string unit;  // "records", "MB", ...
};

// Ends the program when a step of the measured work fails (st: a Status): a figure taken from
// work that was not done would mislead.
template <class St>
void must(const St& st, const char* what) {
  if (!st.failed()) return;
  std::fprintf(stderr, "%s failed: %s\n", what, st.message().c_str());
  std::exit(2);
}

// Fails the benchmark loudly at a stop message rather than timing work that did not happen.
class AbortingReporter final : public Reporter {
 public:
  Answer stop(std::string_view text) override {
    std::fprintf(stderr, "stop: %.*s\n", static_cast<int>(text.size()), text.data());
    std::abort();
  }
  int warning(const Warning& w) override { return w.default_button; }
};

// Runs work `repeat` times and keeps the fastest run (the least disturbed by other load).
inline Result measure(const std::string& name, double items, const std::string& unit,
                      const std::function<void()>& work, int repeat = 3,
                      const std::function<void()>& before_each = {}) {
  Result r{name, 1e300, items, unit};
  for (int i = 0; i < repeat; ++i) {
    if (before_each) before_each();
    const auto t0 = std::chrono::steady_clock::now();
    work();
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (s < r.seconds) r.seconds = s;
  }
  return r;
}

// Prints both results and the ratio ours / baseline; returns whether ratio <= max_ratio.
inline bool compare(const Result& ours, const Result& base, double max_ratio) {
  const double ratio = ours.seconds / base.seconds;
  std::printf("%-34s %12.0f %s/s  (%.3f s)\n", ours.name.c_str(), ours.items / ours.seconds,
              ours.unit.c_str(), ours.seconds);
  std::printf("%-34s %12.0f %s/s  (%.3f s)\n", base.name.c_str(), base.items / base.seconds,
              base.unit.c_str(), base.seconds);
  const bool ok = ratio <= max_ratio;
  std::printf("  ratio %.2f (target at most %.2f): %s\n\n", ratio, max_ratio,
              ok ? "met" : "MISSED");
  return ok;
}

inline bool at_least(const Result& r, double per_second) {
  const double rate = r.items / r.seconds;
  const bool ok = rate >= per_second;
  std::printf("  %s: %.0f %s/s (target at least %.0f): %s\n\n", r.name.c_str(), rate,
              r.unit.c_str(), per_second, ok ? "met" : "MISSED");
  return ok;
}

}  // namespace mervane::bench
