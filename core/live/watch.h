// The watch: keeps this week's News.CSV, export and news-guard file current and alerts before
// and after the releases, until it is asked to stop.
//
// A cycle is the Build run of the folder's settings (read anew each cycle) for the current week
// only: the week's page or feed into the history, then News.CSV, the export and the guard file,
// each replaced only when its contents change. The settings file and the history backup are a
// Build run's own and are not written. When the cycles run and how often the calendar service
// is asked: schedule.h. A cycle that finds the history locked by another run is skipped with a
// note and tried again two minutes later, as is one whose settings file cannot be read (the
// built-in settings would write another News.CSV). Other stop messages are answered Ignore (the
// week stays as it was) and shown as warnings.
//
// Each cycle gives one line: "2026-03-09 14:32 page: 87 events read, 1 line changed, next run
// 2026-03-09 16:02" (local times). Alerts come at their minute between the cycles; with a
// command (--on-alert) each alert also runs it, on a thread of its own, with the alert in
// MERVANE_ALERT_* variables; a command that fails or runs past its limit is reported and killed,
// and watching goes on. When watching ends, commands still running get two seconds to finish
// before they are killed.
//
// One watch per folder: it holds "mervane-watch.lock" while it runs. Threading: run() blocks
// its caller; stop is raised from any thread and ends run() between two cycles (a cycle that
// has begun ends first). WatchOutput is called from run()'s thread and, for failed commands,
// from their threads, never two at once.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/live/alerts.h"
#include "core/runtime/clock.h"
#include "core/runtime/download.h"
#include "core/runtime/file_system.h"
#include "core/runtime/stop_signal.h"

namespace mervane {

constexpr std::string_view kWatchLockFile = "mervane-watch.lock";
constexpr int kLockedRetryMinutes = 2;
constexpr int kUpcomingEvents = 5;

struct WatchOptions {
  int every_minutes = 60;
  std::string on_alert;  // a shell command; empty: none
  std::chrono::milliseconds command_limit{10000};
};

struct WatchStatus {
  std::int64_t last_run = 0;  // moments; 0 before the first cycle
  std::int64_t next_run = 0;
  std::string last_line;        // the last cycle's line
  std::vector<Alert> upcoming;  // the next selected events (kind before), at most five
};

class WatchOutput {
 public:
  virtual ~WatchOutput() = default;
  virtual void cycle(std::string_view line) = 0;
  virtual void warning(std::string_view line) = 0;
  virtual void alert(const Alert& a) = 0;
  virtual void status(const WatchStatus& s) { (void)s; }  // for windows that show it
};

enum class WatchEnd { Stopped, AlreadyWatched };

class Watch {
 public:
  Watch(std::filesystem::path folder, LiveClock& clock, Downloader& downloader, WatchOutput& out,
        WatchOptions options, FileSystem& fs = FileSystem::local());
  ~Watch();
  Watch(const Watch&) = delete;
  Watch& operator=(const Watch&) = delete;

  WatchEnd run(StopSignal& stop);

 private:
  struct State;
  std::unique_ptr<State> s_;
};

// "yyyy-mm-dd hh:mm" of a moment in local time.
std::string local_time_text(std::int64_t moment);

}  // namespace mervane
