#include "core/live/watch.h"

#include <atomic>
#include <list>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "core/live/guard_file.h"
#include "core/import/acquisition.h"
#include "core/live/schedule.h"
#include "core/model/session.h"
#include "core/output/build_run.h"
#include "core/output/profiles.h"
#include "core/runtime/share_lock.h"
#include "core/util/dates.h"
#include "core/util/picture.h"

namespace mervane {
namespace {

// Calls of the output one at a time, from the watch's thread and the command threads.
class SerialOutput {
 public:
  explicit SerialOutput(WatchOutput& out) : out_(out) {}
  void cycle(std::string_view l) {
    std::lock_guard lock(mu_);
    out_.cycle(l);
  }
  void warning(std::string_view l) {
    std::lock_guard lock(mu_);
    out_.warning(l);
  }
  void alert(const Alert& a) {
    std::lock_guard lock(mu_);
    out_.alert(a);
  }
  void status(const WatchStatus& s) {
    std::lock_guard lock(mu_);
    out_.status(s);
  }

 private:
  WatchOutput& out_;
  std::mutex mu_;
};

// A cycle's answers to stop messages: a locked history ends the cycle (Abort: nothing of it is
// kept, and it is tried again soon); everything else is shown as a warning and answered Ignore,
// so the week stays as it was and the run goes on.
class CycleReporter final : public Reporter {
 public:
  std::vector<std::string> stops;
  bool locked = false;
  Answer stop(std::string_view text) override {
    stops.emplace_back(text);
    return Answer::Ignore;
  }
  Answer stop_on(const Status& cause, std::string_view text) override {
    if (cause.code == kFileLocked) {
      locked = true;
      return Answer::Abort;
    }
    return stop(text);
  }
  int warning(const Warning& w) override {
    stops.push_back(w.caption + ": " + w.text);
    return w.default_button;
  }
};

class QuietProgress final : public Progress {
 public:
  void report(std::string_view, std::int64_t) override {}
  void note(std::string_view) override {}
};

constexpr int kHttpTooManyRequests = 429;

// Passes requests on and keeps the pace of the service: when each went out and how it was
// answered.
class PacedDownloader final : public Downloader {
 public:
  PacedDownloader(Downloader& next, LiveClock& clock, RequestPace& pace)
      : next_(next), clock_(clock), pace_(pace) {}
  Status fetch(const std::string& url, const std::filesystem::path& target) override {
    Status st = next_.fetch(url, target);
    asked = true;
    refusal = Refusal::None;
    if (download_failure(st, next_).refused)
      refusal = st.file_code == kHttpTooManyRequests ? Refusal::TooManyRequests
                                                     : Refusal::BrowserCheck;
    pace_.requested(clock_.moment(), refusal);
    return st;
  }
  void set_user_agent(std::string agent) override { next_.set_user_agent(std::move(agent)); }
  std::string refused_body() const override { return next_.refused_body(); }
  bool asked = false;
  Refusal refusal = Refusal::None;

 private:
  Downloader& next_;
  LiveClock& clock_;
  RequestPace& pace_;
};

// How long commands still running when watching ends may take to finish before they are killed.
constexpr std::chrono::seconds kCommandGrace{2};

std::string plural(std::int64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The days the watch looks at for the week from `sunday`: MT4 dates around its seven.
std::int32_t first_day(std::int32_t sunday) {
  return sunday - 1;
}
std::int32_t last_day(std::int32_t sunday) {
  return sunday + 8;
}

// What a cycle found, for its line and the schedule.
struct CycleRun {
  SettingsRecord settings;
  CalendarSettings calendar;
  LiveSettings live;
  BuildRunOutcome outcome;
  std::string skipped;  // why the run did not happen
  bool locked = false;
  bool asked = false;
  Refusal refusal = Refusal::None;
  std::vector<std::string> stops;
  // The records of the days the watch looks at, when the run read them all.
  std::optional<std::vector<CalendarRecord>> week;
};

// The Build run of the folder's settings for the week from `sunday`.
CycleRun run_build(Session& session, Downloader& downloader, LiveClock& clock, RequestPace& pace,
                   std::int32_t sunday) {
  const std::filesystem::path& folder = session.folder();
  CycleRun c;
  c.settings = built_in_defaults(clock.today(), folder);
  c.calendar = load_calendar_settings(folder);
  c.live = load_live_settings(folder);
  CycleReporter reporter;
  QuietProgress progress;
  PacedDownloader paced(downloader, clock, pace);
  std::int64_t count1 = 0;
  std::int32_t calproc = 0;
  try {
    load_ini(folder, c.settings, reporter, session.files());
    if (!reporter.stops.empty()) {
      // Built-in settings in place of the user's would write another News.CSV.
      c.skipped = "the settings file cannot be read, cycle skipped";
      c.stops = std::move(reporter.stops);
      return c;
    }
    repair_after_load(c.settings);
    // The current week only, from the calendar, whatever the Build window's download fields say.
    const DownloadFields fields{
        .checkhist = 1, .checkwget = 1, .autodate = 0, .loadweeks = 1, .date1 = sunday};
    GuardFile guard(session, reporter);
    WeekTap week(guard, first_day(sunday), last_day(sunday));
    BuildRunInput in{c.settings, c.calendar, fields};
    in.keep_unchanged = true;
    in.tap = &week;
    c.outcome = build_run(session, reporter, progress, paced, in, count1, calproc);
    // A stop message may have ended the reading early.
    if (week.whole() && reporter.stops.empty()) c.week = week.records();
  } catch (const Aborted&) {
    // Only a locked history is answered Abort; the run left everything as it was.
  }
  c.locked = reporter.locked;
  if (c.locked) c.skipped = "the Event History is locked by another run, cycle skipped";
  c.asked = paced.asked;
  c.refusal = paced.refusal;
  c.stops = std::move(reporter.stops);
  return c;
}

std::string source_name(const CalendarSettings& calendar) {
  const std::string name = calendar_setting_value(calendar, kCalendarSourceSetting);
  return name.empty() ? "page" : name;
}

}  // namespace

std::string local_time_text(std::int64_t moment) {
  const WallTime w = LiveClock::local(moment);
  return minute_text(w.date * 1440 + w.seconds / 60, '-');
}

struct Watch::State {
  std::filesystem::path folder;
  LiveClock& clock;
  Downloader& downloader;
  SerialOutput out;
  WatchOptions options;
  FileSystem& fs;
  Session session;

  RequestPace pace;
  AlertBook book;
  std::vector<WeekEvent> week;
  int alert_minutes = 5;
  bool feed = false;
  std::set<std::string> told;  // settings warnings already shown
  WatchStatus status;
  std::int64_t next_cycle = 0;

  struct Command {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  std::list<Command> commands;
  StopSignal end_commands;  // raised when watching ends: commands still running are killed

  State(std::filesystem::path f, LiveClock& c, Downloader& d, WatchOutput& o, WatchOptions opt,
        FileSystem& files)
      : folder(std::move(f)),
        clock(c),
        downloader(d),
        out(o),
        options(std::move(opt)),
        fs(files),
        session(folder, clock, fs) {}

  // A warning about the settings, shown once until it changes.
  void tell_once(std::set<std::string>& now, const std::string& text) {
    now.insert(text);
    if (!told.count(text)) out.warning(local_time_text(clock.moment()) + " " + text);
  }

  // Runs a cycle; returns the released alerts it found.
  std::vector<Alert> cycle();
  void alert(const Alert& a);
  // At the end: commands still running get a moment to finish, then are killed.
  void end_all_commands();
  void reap(bool all);
  void publish();
};

std::vector<Alert> Watch::State::cycle() {
  const std::int64_t started = clock.moment();
  const std::string when = local_time_text(started);
  const std::int32_t sunday = sunday_on_or_before(clock.today());
  const CycleRun c = run_build(session, downloader, clock, pace, sunday);
  const BuildSettings& b = c.settings.b;
  feed = c.calendar.feed;
  alert_minutes = c.live.alert_minutes;

  Mt4Moments moments;
  const Status zones = Mt4Moments::make(c.calendar, b.offset2, moments);
  std::set<std::string> now_told;
  for (const std::string& p : c.live.problems)
    tell_once(now_told, "mervane.cfg: " + p + ": the default applies");
  if (zones.failed()) tell_once(now_told, "Alert times by OFFSET2: " + zones.message());
  if (b.fromdate > sunday + 6 || b.thrudate < sunday)
    tell_once(now_told, "FROMDATE and THRUDATE (" + format_value("d2", b.fromdate) + " to " +
                            format_value("d2", b.thrudate) +
                            ") leave out this week: News.CSV gets none of its events");
  told = std::move(now_told);
  for (const std::string& text : c.stops) out.warning(when + " Stop: " + text);

  // The week as it is now, for the alerts and the schedule; when the history cannot be read,
  // the week as it was.
  const AlertFilter filter = alert_filter(c.live, b);
  if (c.week) {
    week.clear();
    for (const CalendarRecord& r : *c.week) week.push_back(week_event(r, b, filter, moments));
  } else {
    Status read;
    std::vector<WeekEvent> events = read_week_events(folder, fs, first_day(sunday),
                                                     last_day(sunday), b, filter, moments, read);
    if (read.is_ok()) week = std::move(events);
  }
  std::vector<Alert> released = book.take(week);

  ScheduleFacts facts;
  facts.now = clock.moment();
  facts.every_minutes = options.every_minutes;
  for (const WeekEvent& e : week) {
    if (!e.selected || !e.moment) continue;
    facts.releases.push_back(*e.moment);
    // The feed carries no actual values: there is nothing to wait for.
    if (!feed && e.rec.actual.blank() && *e.moment <= facts.now &&
        *e.moment > facts.now - kPendingActualHorizon * 60)
      facts.actual_pending = true;
  }
  facts.next_week = LiveClock::moment_of(sunday + 7, 0);
  const auto loaded = feed_loaded(folder);
  facts.earliest =
      pace.earliest(feed, loaded ? LiveClock::moment_of(*loaded / 1440, *loaded % 1440 * 60) : 0);
  next_cycle = c.skipped.empty() ? next_run(facts)
                                 : std::max(facts.now + kLockedRetryMinutes * 60, facts.earliest);

  const std::string source = source_name(c.calendar);
  if (c.refusal != Refusal::None)
    out.warning(when + " " + source + ": " +
                (c.refusal == Refusal::TooManyRequests
                     ? "HTTP 429, too many requests"
                     : "the calendar service answered with its browser check") +
                ": waiting " + plural(pace.backoff_minutes(), "minute", "minutes") +
                " before asking it again");
  std::string line = when + " " + source + (feed && !c.asked ? " (kept)" : "") + ": ";
  if (!c.skipped.empty())
    line += c.skipped;
  else
    line += plural(c.outcome.events_read, "event read", "events read") + ", " +
            plural(c.outcome.news_changed_lines, "line changed", "lines changed");
  line += ", next run " + local_time_text(next_cycle);
  out.cycle(line);
  status.last_run = started;
  status.last_line = line;
  if (alert_minutes <= 0) released.clear();
  return released;
}

void Watch::State::alert(const Alert& a) {
  out.alert(a);
  if (options.on_alert.empty()) return;
  auto done = std::make_shared<std::atomic<bool>>(false);
  Command c;
  c.done = done;
  c.thread = std::thread([this, a, done] {
    const CommandResult r =
        run_command(options.on_alert, alert_environment(a), options.command_limit, &end_commands);
    if (!r.ok() && !r.stopped)
      out.warning(local_time_text(clock.moment()) + " --on-alert for " + alert_line(a) + ": " +
                  r.text(options.command_limit));
    done->store(true);
  });
  commands.push_back(std::move(c));
}

void Watch::State::reap(bool all) {
  for (auto it = commands.begin(); it != commands.end();) {
    if (all || it->done->load()) {
      it->thread.join();
      it = commands.erase(it);
    } else {
      ++it;
    }
  }
}

void Watch::State::end_all_commands() {
  const auto deadline = std::chrono::steady_clock::now() + kCommandGrace;
  for (const Command& c : commands)
    while (!c.done->load() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  end_commands.raise();
  reap(true);
}

void Watch::State::publish() {
  status.next_run = next_cycle;
  status.upcoming.clear();
  const std::int64_t now = clock.moment();
  for (const WeekEvent& e : week) {
    if (static_cast<int>(status.upcoming.size()) == kUpcomingEvents) break;
    if (e.selected && e.moment && *e.moment > now)
      status.upcoming.push_back(make_alert(AlertKind::Before, e));
  }
  out.status(status);
}

Watch::Watch(std::filesystem::path folder, LiveClock& clock, Downloader& downloader,
             WatchOutput& out, WatchOptions options, FileSystem& fs)
    : s_(std::make_unique<State>(std::move(folder), clock, downloader, out, std::move(options),
                                 fs)) {}

Watch::~Watch() = default;

WatchEnd Watch::run(StopSignal& stop) {
  State& s = *s_;
  ShareLock lock;
  if (lock.acquire(s.folder / kWatchLockFile, ShareMode::Exclusive).failed()) {
    s.out.warning(local_time_text(s.clock.moment()) +
                  " Another watch keeps this folder current already (" +
                  std::string(kWatchLockFile) + " is held)");
    return WatchEnd::AlreadyWatched;
  }
  s.next_cycle = s.clock.moment();
  while (!stop.raised()) {
    const auto due = s.book.next_due(s.clock.moment(), s.alert_minutes);
    const std::int64_t wake = due ? std::min(*due, s.next_cycle) : s.next_cycle;
    s.publish();
    if (!s.clock.wait_until(wake, stop)) break;
    s.reap(false);
    for (const Alert& a : s.book.due(s.clock.moment(), s.alert_minutes)) s.alert(a);
    if (s.clock.moment() < s.next_cycle) continue;
    for (const Alert& a : s.cycle()) s.alert(a);
  }
  s.end_all_commands();
  return WatchEnd::Stopped;
}

}  // namespace mervane
