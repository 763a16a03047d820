// Processes of this machine: this program's own number, and whether another one still runs.
// Used to tell the leftovers of a killed run from the work of a live one.
#pragma once

#include <cstdint>

namespace mervane {

// The number of this process.
std::int64_t current_process_id();

// False only when no process of that number runs (it ended, or was killed). A process that
// runs under another user, or whose state cannot be known, counts as running: callers use this
// to decide what they may delete.
bool process_running(std::int64_t pid);

}  // namespace mervane
