#include "cli/context.h"

#include <unistd.h>

#include <iostream>

#include "core/runtime/program_options.h"

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
  ProgramStart start;
  try {
    start = start_from({dir, today, now});
  } catch (const BadOption& e) {
    throw UsageError(e.what());
  }
  clock = std::move(start.clock);
  reporter = std::make_unique<CliReporter>(*err, keep_going);
  const bool tty = err == &std::cerr && ::isatty(STDERR_FILENO);
  progress = std::make_unique<CliProgress>(*err, tty && !quiet, !quiet);
  session = std::make_unique<Session>(start.folder, *clock, *files);
  session->set_host(HostEnvironment::current());
}

}  // namespace mervane::cli
