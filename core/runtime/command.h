// Running a user's command (the watch's --on-alert) through the shell, with values handed over in
// environment variables, and a time limit.
//
// The command runs as "/bin/sh -c COMMAND" in a process group of its own, with stdin from
// /dev/null, its stdout on this program's stderr (this program's stdout carries its own lines),
// the environment of this program plus the given variables, and the default handling of every
// signal (this program may block Ctrl+C and SIGTERM on its threads). When it has not ended when
// the time limit passes, or when stop is raised, its whole process group is killed (SIGKILL), so a
// command that hangs, or started something that hangs, does not outlive its limit.
//
// Blocks the calling thread until the command ended or was killed; may be called from several
// threads at once.
#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "core/runtime/stop_signal.h"

namespace mervane {

struct CommandResult {
  bool started = false;  // false: error says why it could not start
  bool timed_out = false;
  bool stopped = false;  // killed because stop was raised
  int exit_code = -1;    // when it ended by itself
  int signal = 0;        // the signal that ended it otherwise
  std::string error;
  // Ended by itself with exit code 0.
  bool ok() const { return started && !timed_out && !stopped && signal == 0 && exit_code == 0; }
  // What happened, for a message: "exit code 2", "killed after 10 seconds", ...
  std::string text(std::chrono::milliseconds limit) const;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

CommandResult run_command(const std::string& command, const Environment& extra,
                          std::chrono::milliseconds limit, StopSignal* stop = nullptr);

}  // namespace mervane
