// watch: keeps this week current until Ctrl+C or SIGTERM (or --until).
#include <pthread.h>
#include <signal.h>
#include <CLI/CLI.hpp>

#include <atomic>
#include <memory>
#include <ostream>
#include <thread>

#include "cli/commands.h"
#include "core/live/watch.h"
#include "core/runtime/download.h"
#include "core/util/dates.h"
#include "core/util/picture.h"

namespace mervane::cli {
namespace {

struct WatchArgs {
  int every = 60;
  std::string on_alert;
  bool quiet = false;
  std::string until;  // "DATE HH:MM", local time
};

class CliWatchOutput final : public WatchOutput {
 public:
  CliWatchOutput(std::ostream& out, std::ostream& err, bool quiet)
      : out_(out), err_(err), quiet_(quiet) {}
  void cycle(std::string_view line) override {
    if (!quiet_) err_ << line << std::endl;
  }
  void warning(std::string_view line) override { err_ << line << std::endl; }
  void alert(const Alert& a) override {
    out_ << local_time_text(clock_moment()) << " " << alert_line(a) << std::endl;
  }
  std::function<std::int64_t()> clock_moment;

 private:
  std::ostream& out_;
  std::ostream& err_;
  bool quiet_;
};

// Ctrl+C and SIGTERM raise stop: they are blocked on every thread and taken by one that waits
// for them, so they end the watch between two cycles instead of in the middle of a file. The
// mask is put back when the watch ends.
class SignalStop {
 public:
  explicit SignalStop(StopSignal& stop) {
    sigemptyset(&set_);
    sigaddset(&set_, SIGINT);
    sigaddset(&set_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set_, &old_);
    thread_ = std::thread([this, &stop] {
      const timespec tick{0, 200'000'000};
      while (!done_.load()) {
        if (sigtimedwait(&set_, nullptr, &tick) > 0) stop.raise();
      }
    });
  }
  ~SignalStop() {
    done_.store(true);
    thread_.join();
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }

 private:
  sigset_t set_{}, old_{};
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// The moment of --until, a local date and time.
std::int64_t until_moment(const std::string& until) {
  const std::size_t blank = until.find(' ');
  if (blank == std::string::npos) throw UsageError("--until: DATE HH:MM expected");
  const auto d = parse_cli_date(until.substr(0, blank));
  if (!d) throw UsageError("--until: " + d.reason);
  const auto t = parse_value("T1", until.substr(blank + 1));
  if (!t) throw UsageError("--until: " + t.reason);
  return LiveClock::moment_of(*d.value, (static_cast<std::int64_t>(*t.value) - 1) / kTimeSecond);
}

int watch(Context& c, const WatchArgs& a) {
  if (a.every < 1 || a.every > 10080)
    throw UsageError("--every: a number of minutes from 1 to 10080");
  // With --today or --now the clock starts there and plays: each wait ends at once, so a week
  // passes in seconds (for trying settings out, and for tests).
  std::unique_ptr<LiveClock> base;
  if (c.today.empty() && c.now.empty()) {
    base = std::make_unique<SystemLiveClock>();
  } else {
    base = std::make_unique<PlayedClock>(
        LiveClock::moment_of(c.clock->today(), (std::int64_t{c.clock->now()} - 1) / kTimeSecond));
  }
  LiveClock* clock = base.get();
  std::unique_ptr<ClockUntil> until;
  if (!a.until.empty()) {
    until = std::make_unique<ClockUntil>(*base, until_moment(a.until));
    clock = until.get();
  }
  CliWatchOutput out(c.o(), c.e(), a.quiet || c.quiet);
  out.clock_moment = [clock] { return clock->moment(); };
  CurlDownloader downloader;
  WatchOptions options;
  options.every_minutes = a.every;
  options.on_alert = a.on_alert;
  StopSignal stop;
  SignalStop signals(stop);
  Watch w(c.session->folder(), *clock, downloader, out, options, c.session->files());
  return w.run(stop) == WatchEnd::Stopped ? 0 : 1;
}

}  // namespace

void add_watch_command(CLI::App& app, Context& ctx) {
  auto* cmd = app.add_subcommand(
      "watch", "keep this week's News.CSV current, with alerts, until Ctrl+C or SIGTERM");
  auto a = std::make_shared<WatchArgs>();
  cmd->add_option("--every", a->every, "minutes between runs when no release is due (default 60)");
  cmd->add_option("--on-alert", a->on_alert,
                  "run CMD for each alert, with MERVANE_ALERT_* in its environment");
  cmd->add_flag("--quiet", a->quiet, "only warnings (and alerts on stdout)");
  cmd->add_option("--until", a->until, "end at this local \"DATE HH:MM\"");
  on_run(*cmd, ctx, [a](Context& c) { return watch(c, *a); });
}

}  // namespace mervane::cli
