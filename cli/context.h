// What every command of mervane-cli gets: the working folder, the clock, the reporter that
// answers stop messages, progress output and the output streams.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "core/model/session.h"
#include "core/runtime/clock.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"

namespace CLI {
class App;
}

namespace mervane::cli {

// A usage error found after parsing (a bad value, an unknown name): exit code 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Stop messages and warnings on stderr. A stop is answered Abort (exit code 3) unless
// --keep-going answers Ignore; a warning is answered with its default button.
class CliReporter : public Reporter {
 public:
  CliReporter(std::ostream& err, bool keep_going) : err_(err), keep_going_(keep_going) {}
  Answer stop(std::string_view text) override;
  int warning(const Warning& w) override;
  // The text of the last stop message shown, so the program's end does not repeat it.
  const std::string& last_stop() const { return last_stop_; }

 private:
  std::ostream& err_;
  bool keep_going_;
  std::string last_stop_;
};

// A one-line counter on stderr when it is a terminal; notes (the download command of a week)
// on lines of their own on stderr unless --quiet.
class CliProgress : public Progress {
 public:
  CliProgress(std::ostream& err, bool enabled, bool notes = false)
      : err_(err), enabled_(enabled), notes_(notes) {}
  ~CliProgress() override;
  void report(std::string_view counter, std::int64_t value) override;
  void note(std::string_view text) override;

 private:
  std::ostream& err_;
  bool enabled_;
  bool notes_;
  bool shown_ = false;
};

struct Context {
  // The body of the command that was chosen; run after parsing, with the context prepared.
  std::function<int(struct Context&)> selected;

  std::ostream* out = nullptr;
  std::ostream* err = nullptr;
  // Global options as parsed.
  std::string dir = ".";
  std::string today;  // as typed; empty: the system clock
  std::string now;
  bool keep_going = false;
  bool quiet = false;
  FileSystem* files = &FileSystem::local();  // where the session's files are read and written

  // Built by prepare() after parsing.
  std::unique_ptr<Clock> clock;
  std::unique_ptr<CliReporter> reporter;
  std::unique_ptr<CliProgress> progress;
  std::unique_ptr<Session> session;

  // Checks the global options and builds the clock, reporter, progress and session. Throws
  // UsageError for a bad --today, --now or a missing --dir.
  void prepare();
  std::ostream& o() { return *out; }
  std::ostream& e() { return *err; }
};

}  // namespace mervane::cli
