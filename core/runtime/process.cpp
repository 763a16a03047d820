#include "core/runtime/process.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#endif

#include <limits>

namespace mervane {

std::int64_t current_process_id() {
#ifdef _WIN32
  return static_cast<std::int64_t>(::GetCurrentProcessId());
#else
  return static_cast<std::int64_t>(::getpid());
#endif
}

bool process_running(std::int64_t pid) {
#ifdef _WIN32
  if (pid <= 0 || pid > std::numeric_limits<DWORD>::max()) return false;
  HANDLE h = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (!h) return ::GetLastError() != ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  const bool running = !::GetExitCodeProcess(h, &code) || code == STILL_ACTIVE;
  ::CloseHandle(h);
  return running;
#else
  // Numbers that are not a single process's: kill() would signal a group, or every process.
  if (pid <= 0 || pid > std::numeric_limits<pid_t>::max()) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
#endif
}

}  // namespace mervane
