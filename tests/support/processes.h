// Processes for tests: the number of one that has ended.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>

namespace mervane::test {

// A child that exits at once, waited for: its number belongs to no running process (until the
// system hands it out again, which takes a full turn of the numbers).
inline std::int64_t ended_process() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

}  // namespace mervane::test
