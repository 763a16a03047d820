// What the calendar reader benchmarks share: a sink that counts the events, a reporter that
// answers Ignore, and the run of the lxml peer (Debian's /usr/bin/python3 with python3-lxml) on
// the same file.
#pragma once

#include <cstdio>
#include <string>

#include "core/import/page_reader.h"

namespace mervane::bench {

class CountingSink : public PageSink {
 public:
  long events = 0;
  void delete_week(std::int32_t) override {}
  void store(const PageEvent&) override { ++events; }
};

class IgnoreAll : public Reporter {
 public:
  Answer stop(std::string_view) override { return Answer::Ignore; }
  int warning(const Warning& w) override { return w.default_button; }
};

// Runs a Python script that prints "best_seconds items" for `file` and `repeats`; false (with
// a line on stderr) when it did not run.
inline bool run_python(const std::string& script, const std::string& file, int repeats,
                       double& seconds, long& items) {
  const std::string cmd = "/usr/bin/python3 " + script + " " + file + " " + std::to_string(repeats);
  std::FILE* py = ::popen(cmd.c_str(), "r");
  const bool ok = py && std::fscanf(py, "%lf %ld", &seconds, &items) == 2 && seconds > 0;
  if (py) ::pclose(py);
  if (!ok) std::fprintf(stderr, "%s did not run\n", cmd.c_str());
  return ok;
}

}  // namespace mervane::bench
