// Progress of long work: a run reports its counters (COUNT1, CALPROC# and the like) as they
// change, and the window or the command line shows them. Called on the worker's thread.
#pragma once

#include <cstdint>
#include <string_view>

namespace mervane {

class Progress {
 public:
  virtual ~Progress() = default;
  virtual void report(std::string_view counter, std::int64_t value) = 0;
  // A line for the user about what is being done (the download command of a week, say).
  virtual void note(std::string_view) {}
};

class NoProgress final : public Progress {
 public:
  void report(std::string_view, std::int64_t) override {}
};

}  // namespace mervane
