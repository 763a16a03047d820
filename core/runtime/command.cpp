#include "core/runtime/command.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace mervane {
namespace {

// The program's environment without the names given anew, then the given ones.
std::vector<std::string> environment_with(const Environment& extra) {
  std::vector<std::string> out;
  for (char** e = environ; e && *e; ++e) {
    const std::string_view entry(*e);
    const std::string_view name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const auto& [n, v] : extra) replaced = replaced || n == name;
    if (!replaced) out.emplace_back(entry);
  }
  for (const auto& [n, v] : extra) out.push_back(n + "=" + v);
  return out;
}

struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
  }
};

}  // namespace

std::string CommandResult::text(std::chrono::milliseconds limit) const {
  if (!started) return "could not start: " + error;
  if (timed_out) {
    const auto ms = limit.count();
    return "killed after " +
           (ms % 1000 == 0 ? std::to_string(ms / 1000) + " seconds"
                           : std::to_string(ms) + " milliseconds") +
           " without ending";
  }
  if (stopped) return "killed as watching ended";
  if (signal != 0) return "ended by signal " + std::to_string(signal);
  return "exit code " + std::to_string(exit_code);
}

CommandResult run_command(const std::string& command, const Environment& extra,
                          std::chrono::milliseconds limit, StopSignal* stop) {
  CommandResult result;
  SpawnSetup setup;
  posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&setup.actions, STDERR_FILENO, STDOUT_FILENO);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT}) sigaddset(&defaults, s);
  posix_spawnattr_setsigmask(&setup.attr, &none);
  posix_spawnattr_setsigdefault(&setup.attr, &defaults);
  posix_spawnattr_setpgroup(&setup.attr, 0);
  posix_spawnattr_setflags(&setup.attr,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  std::vector<std::string> env = environment_with(extra);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string sh = "/bin/sh", dash_c = "-c", cmd = command;
  char* argv[] = {sh.data(), dash_c.data(), cmd.data(), nullptr};

  pid_t pid = 0;
  if (const int err = posix_spawn(&pid, sh.c_str(), &setup.actions, &setup.attr, argv, envp.data());
      err != 0) {
    result.error = std::strerror(err);
    return result;
  }
  result.started = true;

  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  for (auto pause = std::chrono::milliseconds(1);;
       pause = std::min(pause * 2, decltype(pause)(50))) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) {
      result.error = std::strerror(errno);
      result.exit_code = -1;
      return result;
    }
    const bool stopping = stop && stop->raised();
    if (stopping || std::chrono::steady_clock::now() >= deadline) {
      (stopping ? result.stopped : result.timed_out) = true;
      kill(-pid, SIGKILL);
      kill(pid, SIGKILL);
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      return result;
    }
    std::this_thread::sleep_for(pause);
  }
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

}  // namespace mervane
