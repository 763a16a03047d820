// The options both programs take before anything else: the working folder, and a fixed today
// and time of day for reproducible runs (--dir, --today, --now).
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "core/runtime/clock.h"

namespace mervane {

struct ProgramOptions {
  // The working folder; empty: the user's own folder of the program (user_program_folder()),
  // made when it is missing. The command line's default is the current folder, for scripts.
  std::string dir = ".";
  std::string today;  // mm/dd/yyyy or yyyy-mm-dd as typed; empty: the system clock
  std::string now;    // HH:MM as typed; empty: the system clock
};

struct ProgramStart {
  std::filesystem::path folder;  // absolute
  std::unique_ptr<Clock> clock;
  bool folder_made = false;  // the user's own folder did not exist and was made by this start
};

// A value of an option the program cannot take; what() names the option ("--today: ...").
class BadOption : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The windows program's folder when no --dir names one: "Mervane" in the user's home folder
// (HOME; on Windows USERPROFILE when HOME is unset), so that a start from the desktop, whose
// current folder is the home folder, does not scatter tables and settings over it. Nothing when
// no home folder is known.
std::optional<std::filesystem::path> user_program_folder();

// Checks the options and builds the folder and clock they give. A fixed today without --now
// (or the other way round) takes the missing part from the system clock. Throws BadOption for a
// folder that does not exist (the user's own folder is made instead, with its parents), one that
// cannot be made, a date or a time the entry fields would refuse.
ProgramStart start_from(const ProgramOptions& o);

}  // namespace mervane
