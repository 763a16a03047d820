// A disk that fills up while a table is made or written: every failure says "No space left on
// device", and once there is room again the table opens and holds each transaction whole or not
// at all. The disks are small tmpfs mounts in a mount namespace of a child process; where this
// machine lets no test mount one, the test is skipped.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>

#include "core/model/records.h"
#include "core/runtime/table.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

namespace fs = std::filesystem;

constexpr int kDiskKiB = 1024;
constexpr int kEvents = 100;

bool write_proc(const char* file, const std::string& text) {
  std::ofstream f(file);
  f << text;
  return static_cast<bool>(f.flush());
}

// A mount namespace of this (child) process: as root directly, otherwise as root of a user
// namespace of its own.
bool own_mount_namespace() {
  if (::unshare(CLONE_NEWNS) != 0) {
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
    if (!write_proc("/proc/self/setgroups", "deny") ||
        !write_proc("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
        !write_proc("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
      return false;
  }
  // Mounts made from here on stay in this namespace.
  return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// Runs body in a child process that can mount tmpfs disks; its text comes back. Nothing when
// the child could not get a mount namespace.
std::optional<std::string> in_child(const std::function<std::string()>& body) {
  int fds[2];
  if (::pipe(fds) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(fds[0]);
    const std::string out = own_mount_namespace() ? "ran\n" + body() : "no namespace";
    [[maybe_unused]] const ssize_t n = ::write(fds[1], out.data(), out.size());
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string out;
  char buf[4096];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
    out.append(buf, static_cast<std::size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (out.rfind("ran\n", 0) != 0) return std::nullopt;
  return out.substr(4);
}

// One run on a disk with `free_kib` left: make CALENDAR, open it, add kEvents events in one
// transaction. The failure messages, each ended by ";".
std::string fill_and_write(const fs::path& disk, int free_kib) {
  std::string failures;
  auto failed = [&](const char* op, const Status& st) {
    if (st.is_ok()) return false;
    failures += std::string(op) + ": " + st.message() + ";";
    return true;
  };
  {
    std::FILE* f = std::fopen((disk / "fill").c_str(), "wb");
    const std::string kib(1024, 'x');
    for (int i = 0; f && i < kDiskKiB - free_kib; ++i) std::fwrite(kib.data(), 1, kib.size(), f);
    if (f) std::fclose(f);
  }
  Table<CalendarTable> t(disk);
  if (failed("Create", t.create()) || failed("Open", t.open(OpenMode::deny_write())))
    return failures;
  Transaction tx(t);
  if (failed("Begin", tx.status())) return failures;
  for (int i = 0; i < kEvents; ++i) {
    t.clear();
    t.rec.date = 75250;
    t.rec.time = 1 + i;
    t.rec.currency = "USD";
    t.rec.descr = "An event whose description takes some room " + std::to_string(i);
    if (failed("Add", t.add())) return failures;
  }
  failed("Commit", tx.commit());
  return failures;
}

// With room again: the table opens (made anew only when it is missing) and holds all the events
// or none. "count N" or what failed.
std::string after_room_is_made(const fs::path& disk) {
  fs::remove(disk / "fill");
  Table<CalendarTable> t(disk);
  Status st = t.open(OpenMode::deny_write());
  if (st.code == kFileNotFound && t.create().is_ok()) st = t.open(OpenMode::deny_write());
  if (st.failed()) return "open: " + st.message();
  std::int64_t n = 0;
  if (Status c = t.records(n); c.failed()) return "count: " + c.message();
  return "count " + std::to_string(n);
}

TEST(FullDisk, FailuresSayTheDiskIsFullAndTheTableStaysUsable) {
  test::TempDir dir;
  const auto report = in_child([&] {
    std::string out;
    for (int free_kib = 0; free_kib <= 160; free_kib += 4) {
      const fs::path disk = dir / std::to_string(free_kib);
      fs::create_directory(disk);
      const std::string size = "size=" + std::to_string(kDiskKiB) + "k";
      if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, size.c_str()) != 0) return out + "no mount";
      const std::string failures = fill_and_write(disk, free_kib);
      out += std::to_string(free_kib) + " KiB free|" + failures + "|" + after_room_is_made(disk) +
             "\n";
      ::umount(disk.c_str());
    }
    return out;
  });
  if (!report) GTEST_SKIP() << "no mount namespace for a small disk on this machine";
  ASSERT_EQ(report->find("no mount"), std::string::npos) << *report;
  // Each line: "N KiB free|failure;failure;|what the table holds afterwards".
  int runs = 0, full = 0;
  std::istringstream lines(*report);
  for (std::string line; std::getline(lines, line);) {
    ++runs;
    const std::size_t bar1 = line.find('|'), bar2 = line.rfind('|');
    ASSERT_NE(bar1, bar2) << line;
    const std::string failures = line.substr(bar1 + 1, bar2 - bar1 - 1);
    const std::string after = line.substr(bar2 + 1);
    if (!failures.empty()) ++full;
    std::istringstream each(failures);
    for (std::string f; std::getline(each, f, ';');)
      EXPECT_NE(f.find("No space left on device"), std::string::npos) << line;
    EXPECT_TRUE(after == "count 0" || after == "count " + std::to_string(kEvents)) << line;
  }
  EXPECT_EQ(runs, 41) << *report;
  EXPECT_GT(full, 0) << "some of the disks must have been too small: " << *report;
}

}  // namespace
}  // namespace mervane
