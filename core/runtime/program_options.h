// The options both programs take before anything else: the working folder, and a fixed today
// and time of day for reproducible runs (--dir, --today, --now).
#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/runtime/clock.h"

namespace mervane {

struct ProgramOptions {
  std::string dir = ".";
  std::string today;  // mm/dd/yyyy or yyyy-mm-dd as typed; empty: the system clock
  std::string now;    // HH:MM as typed; empty: the system clock
};

struct ProgramStart {
  std::filesystem::path folder;  // absolute
  std::unique_ptr<Clock> clock;
};

// A value of an option the program cannot take; what() names the option ("--today: ...").
class BadOption : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Checks the options and builds the folder and clock they give. A fixed today without --now
// (or the other way round) takes the missing part from the system clock. Throws BadOption for a
// folder that does not exist, a date or a time the entry fields would refuse.
ProgramStart start_from(const ProgramOptions& o);

}  // namespace mervane
