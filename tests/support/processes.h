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

#include <fcntl.h>
#include <signal.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace mervane::test {

// Starts a program with arguments, this process's environment plus `env`, and its stdout and
// stderr into files. Returns its number; the caller waits for it.
inline pid_t spawn(const std::filesystem::path& program, const std::vector<std::string>& args,
                   const std::vector<std::pair<std::string, std::string>>& env,
                   const std::filesystem::path& out, const std::filesystem::path& err) {
  std::vector<std::string> a{program.string()};
  a.insert(a.end(), args.begin(), args.end());
  std::vector<std::string> e;
  for (char** p = environ; p && *p; ++p) e.emplace_back(*p);
  for (const auto& [n, v] : env) e.push_back(n + "=" + v);
  std::vector<char*> argv, envp;
  for (std::string& s : a) argv.push_back(s.data());
  for (std::string& s : e) envp.push_back(s.data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  // Everything the child needs is made before the fork: after it only exec and descriptors.
  const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(out_fd, 1);
    ::dup2(err_fd, 2);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(out_fd);
  ::close(err_fd);
  return child;
}

// Waits for a child; its exit code, or 128 + the signal that ended it.
inline int wait_for(pid_t child) {
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace mervane::test
