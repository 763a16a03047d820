// The news-guard file: the quiet windows around the releases an expert advisor should stay out
// of the market for, one line per window, in MT4 time:
//
//   2026.03.06 15:00;2026.03.06 16:30;USD;H;Non-Farm Employment Change + Unemployment Rate
//
// start;end;currency;impact;title: a window runs from GUARDBEFORE minutes before a release to
// GUARDAFTER minutes after it. Windows of one currency that overlap or touch are one window: its
// titles joined by " + " (each title once) and the highest impact of them. Lines are sorted by
// start (then end, then currency), end with CR LF and hold Windows-1252 text, as News.CSV does;
// a ";" inside a title is written as ",". Events without a clock time ("All Day", "Tentative")
// have no window. The events are those of the Build run's date range that pass the alert filter
// (ALERTIMPACT, ALERTCURRENCIES).
//
// GuardFile is the RunTap that writes it during a Build run, from the records News.CSV is made
// from, and puts it in place (atomically, replacing it only when its contents change) once
// News.CSV is. A name without a folder lies beside News.CSV.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/live/live_settings.h"
#include "core/model/session.h"
#include "core/output/news_writer.h"
#include "core/runtime/reporter.h"

namespace mervane {

// Minutes since day 0 of a date and time serial.
std::int64_t minute_of(std::int32_t date, std::int32_t time);
// "yyyy.mm.dd hh:mm" of a minute count.
std::string guard_time_text(std::int64_t minute);

struct GuardWindow {
  std::int64_t start = 0, end = 0;  // minutes since day 0, MT4 time
  std::string currency;
  char impact = 'L';
  std::string title;
  bool operator==(const GuardWindow&) const = default;
};

// Collects windows and merges them.
class GuardWindows {
 public:
  GuardWindows(int before, int after) : before_(before), after_(after) {}
  // One release, at minute `at`.
  void add(std::int64_t at, std::string_view currency, char impact, std::string_view title);
  // The merged windows, sorted.
  std::vector<GuardWindow> merged() const;

 private:
  int before_, after_;
  std::vector<GuardWindow> windows_;
};

std::string guard_line(const GuardWindow& w);

// The file a GUARDFILE name stands for (name as typed, UTF-8): beside News.CSV when it names no
// folder.
std::filesystem::path guard_path(const std::filesystem::path& folder, std::string_view guard_name,
                                 std::string_view news_name);

class GuardFile final : public RunTap {
 public:
  // Reads GUARDFILE and the alert filter from the folder's settings at begin(); writes nothing
  // when GUARDFILE is blank. Failures: "Create(" / "Add(" + name + ") - " stop messages.
  GuardFile(Session& session, Reporter& r) : session_(session), r_(r) {}
  void begin(const BuildSettings& s) override;
  void record(const CalendarRecord& r) override;
  void end() override;
  // After end(): whether the file was written (false also when its contents did not change).
  bool replaced() const { return replaced_; }

 private:
  Session& session_;
  Reporter& r_;
  bool on_ = false;
  bool replaced_ = false;
  std::string name_;
  std::filesystem::path file_;
  AlertFilter filter_;
  GuardWindows windows_{0, 0};
};

}  // namespace mervane
