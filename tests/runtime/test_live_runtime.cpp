// What the watch needs of the runtime: output files replaced only when they change, commands
// with a time limit, and a clock that moves through daylight saving changes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "core/runtime/clock.h"
#include "core/runtime/command.h"
#include "core/runtime/text_file.h"
#include "core/util/dates.h"
#include "tests/support/local_zone.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

ino_t inode_of(const std::filesystem::path& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 ? st.st_ino : 0;
}

struct KeepCase {
  const char* what;
  const char* old_file;  // nullptr: no file before
  std::vector<std::string> lines;
  bool replaced;
  std::int64_t changed;
};

TEST(TextWriter, KeepsAnUnchangedFileAndCountsChangedLines) {
  const std::vector<KeepCase> cases = {
      {"the same lines", "a\r\nb\r\nc\r\n", {"a", "b", "c"}, false, 0},
      {"no file before", nullptr, {"a", "b"}, true, 2},
      {"one value changed", "a\r\nb\r\nc\r\n", {"a", "B", "c"}, true, 1},
      {"a line added", "a\r\nc\r\n", {"a", "b", "c"}, true, 1},
      {"two lines removed", "a\r\nb\r\nc\r\n", {"b"}, true, 2},
      {"the same lines in another order", "a\r\nb\r\n", {"b", "a"}, true, 0},
      {"a repeated line once more", "a\r\na\r\n", {"a", "a", "a"}, true, 1},
      {"only the line end differs", "a\nb\n", {"a", "b"}, true, 0},
      {"an empty file stays", "", {}, false, 0},
  };
  for (const KeepCase& c : cases) {
    test::TempDir dir;
    const auto target = dir / "News.CSV";
    if (c.old_file) test::write_file(target, c.old_file);
    const ino_t before = inode_of(target);
    TextWriter w;
    w.keep_when_unchanged();
    ASSERT_TRUE(w.create(target).is_ok()) << c.what;
    for (const std::string& l : c.lines) ASSERT_TRUE(w.add(l).is_ok());
    ASSERT_TRUE(w.close().is_ok()) << c.what;
    EXPECT_EQ(w.replaced(), c.replaced) << c.what;
    EXPECT_EQ(w.changed_lines(), c.changed) << c.what;
    std::string expected;
    for (const std::string& l : c.lines) expected += l + "\r\n";
    EXPECT_EQ(test::read_file(target), c.replaced ? expected : std::string(c.old_file)) << c.what;
    // Left in place means the very same file: a reader watching it sees no new one.
    EXPECT_EQ(inode_of(target) == before, !c.replaced) << c.what;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1)
        << c.what << ": a temporary file was left";
  }
}

TEST(RunCommand, EnvironmentFailuresAndTheTimeLimit) {
  using std::chrono::milliseconds;
  test::TempDir dir;
  const std::string out = (dir / "out").string();
  const auto t0 = std::chrono::steady_clock::now();
  CommandResult r =
      run_command("printf '%s|%s' \"$MERVANE_X\" \"$HOME\" > '" + out + "'",
                  {{"MERVANE_X", "a b;c"}, {"HOME", "/elsewhere"}}, milliseconds(5000));
  EXPECT_TRUE(r.ok()) << r.text(milliseconds(5000));
  EXPECT_EQ(test::read_file(dir / "out"), "a b;c|/elsewhere");

  r = run_command("exit 3", {}, milliseconds(5000));
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.text(milliseconds(5000)), "exit code 3");

  // A command that hangs, and the child it started, are killed at the limit.
  const auto t1 = std::chrono::steady_clock::now();
  r = run_command("sleep 30 & echo $! > '" + out + "'; wait", {}, milliseconds(300));
  const auto took = std::chrono::steady_clock::now() - t1;
  EXPECT_TRUE(r.timed_out);
  EXPECT_EQ(r.text(milliseconds(300)), "killed after 300 milliseconds without ending");
  EXPECT_EQ(r.text(milliseconds(10000)), "killed after 10 seconds without ending");
  EXPECT_LT(took, std::chrono::seconds(5));
  const pid_t sleeper = std::atoi(test::read_file(dir / "out").c_str());
  ASSERT_GT(sleeper, 0);
  // Killed it is gone, or a zombie nobody reaped yet (where the container's first process reaps
  // no orphans).
  const auto alive = [&] {
    const std::string stat = test::read_file("/proc/" + std::to_string(sleeper) + "/stat");
    const std::size_t paren = stat.rfind(')');
    return paren != std::string::npos && paren + 2 < stat.size() && stat[paren + 2] != 'Z';
  };
  for (int i = 0; i < 100 && alive(); ++i) std::this_thread::sleep_for(milliseconds(10));
  EXPECT_FALSE(alive()) << "the command's own child outlived its limit";

  // A raised stop ends it at once.
  StopSignal stop;
  stop.raise();
  r = run_command("sleep 30", {}, milliseconds(20000), &stop);
  EXPECT_TRUE(r.stopped);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(10));
}

TEST(LiveClock, MomentsOfLocalTimesAcrossDaylightSaving) {
  const test::LocalZone berlin("Europe/Berlin");
  const auto day = [](int y, int m, int d) { return *date_serial(y, m, d); };
  struct Case {
    std::int32_t date;
    int hh, mm;
    std::int64_t utc;  // Unix seconds
  } cases[] = {
      {day(2026, 3, 28), 12, 0, 1774695600},  // CET, UTC+1
      {day(2026, 3, 29), 1, 59, 1774745940},  // the last minute before the change
      {day(2026, 3, 29), 3, 0, 1774746000},   // CEST, UTC+2, the first minute after
      {day(2026, 3, 29), 12, 0, 1774778400},
      {day(2026, 10, 25), 2, 30, 1792888200},  // repeated: the first of the two (CEST)
      {day(2026, 10, 25), 3, 30, 1792895400},  // CET again
  };
  for (const Case& c : cases) {
    const std::int64_t seconds = c.hh * 3600 + c.mm * 60;
    EXPECT_EQ(LiveClock::moment_of(c.date, seconds), c.utc) << c.hh << ":" << c.mm;
    EXPECT_EQ(LiveClock::local(c.utc), (WallTime{c.date, seconds}));
  }
  // Many in a row, in any order, give the same moments.
  LocalMoments many;
  for (int pass = 0; pass < 2; ++pass)
    for (const Case& c : cases)
      EXPECT_EQ(many.moment(c.date, c.hh * 3600 + c.mm * 60), c.utc) << c.hh << ":" << c.mm;
  // A time past midnight is the next day's.
  EXPECT_EQ(LiveClock::moment_of(day(2026, 3, 27), 36 * 3600), 1774695600);

  // The played clock jumps to each moment it waits for; its today and now follow.
  PlayedClock clock(1774695600);
  StopSignal stop;
  EXPECT_TRUE(clock.wait_until(1774778400, stop));
  EXPECT_EQ(clock.today(), day(2026, 3, 29));
  EXPECT_EQ(clock.now(), 12 * 360000 + 1);
  EXPECT_TRUE(clock.wait_until(1774695600, stop));  // never back
  EXPECT_EQ(clock.moment(), 1774778400);
  ClockUntil until(clock, 1774778400 + 3600);
  EXPECT_TRUE(until.wait_until(1774778400 + 60, stop));
  EXPECT_FALSE(until.wait_until(1774778400 + 7200, stop));
  EXPECT_TRUE(stop.raised());
  EXPECT_EQ(clock.moment(), 1774778400 + 3600);
  EXPECT_FALSE(clock.wait_until(1774778400 + 7200, stop));
}

}  // namespace
}  // namespace mervane
