#include "cli/context.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "core/util/picture.h"

namespace mervane::cli {

Answer CliReporter::stop(std::string_view text) {
  last_stop_ = std::string(text);
  err_ << "Stop: " << text << (keep_going_ ? " (Ignore)" : "") << '\n';
  return keep_going_ ? Answer::Ignore : Answer::Abort;
}

int CliReporter::warning(const Warning& w) {
  err_ << w.caption << ": " << w.text << '\n';
  return w.default_button;
}

CliProgress::~CliProgress() {
  if (shown_) err_ << '\n';
}

void CliProgress::report(std::string_view counter, std::int64_t value) {
  if (!enabled_) return;
  err_ << '\r' << counter << ' ' << value << "        " << std::flush;
  shown_ = true;
}

void CliProgress::note(std::string_view text) {
  if (!notes_) return;
  if (shown_) err_ << '\n';
  shown_ = false;
  err_ << text << '\n';
}

void Context::prepare() {
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec))
    throw UsageError("--dir: the folder " + dir + " does not exist");
  std::int32_t date = 0, time = 0;
  if (!today.empty()) {
    const auto d = parse_cli_date(today);
    if (!d) throw UsageError("--today: " + d.reason);
    date = *d.value;
  }
  if (!now.empty()) {
    const auto t = parse_value("T1", now);
    if (!t) throw UsageError("--now: " + t.reason);
    time = static_cast<std::int32_t>(*t.value);
  }
  if (today.empty() && now.empty()) {
    clock = std::make_unique<SystemClock>();
  } else {
    SystemClock sys;
    clock = std::make_unique<FixedClock>(today.empty() ? sys.today() : date,
                                         now.empty() ? sys.now() : time);
  }
  reporter = std::make_unique<CliReporter>(*err, keep_going);
  const bool tty = err == &std::cerr && ::isatty(STDERR_FILENO);
  progress = std::make_unique<CliProgress>(*err, tty && !quiet, !quiet);
  session = std::make_unique<Session>(std::filesystem::absolute(dir), *clock);
}

}  // namespace mervane::cli
