// The Build run's history update and outputs: what the Build window's OK does before it saves
// the settings and backs up the history (ProcFile), and what the watch repeats all week.
//
// In order: the Event History is opened (OPEN_CALR), News.CSV is begun, the export is begun, the
// weeks are loaded into the history, then the auxiliary items and the events go into News.CSV
// and the export, which are put in place, and last any further file of the run (a RunTap: the
// news-guard file) is put in place. Runs on the caller's thread. Failures are stop messages
// through the reporter; Abort throws Aborted and leaves every output file as it was.
#pragma once

#include <cstdint>
#include <filesystem>

#include "core/import/acquisition.h"
#include "core/import/calendar_source.h"
#include "core/model/session.h"
#include "core/output/news_writer.h"
#include "core/output/settings_file.h"
#include "core/runtime/download.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"

namespace mervane {

// Keeps a window's COUNT1 and CALPROC# displays in step with what the steps report, and passes
// every report on.
class WindowProgress final : public Progress {
 public:
  WindowProgress(Progress& next, std::int64_t& count1, std::int32_t& calproc)
      : next_(next), count1_(count1), calproc_(calproc) {}
  void report(std::string_view counter, std::int64_t value) override {
    if (counter == "COUNT1") count1_ = value;
    if (counter == "CALPROC#") calproc_ = static_cast<std::int32_t>(value);
    next_.report(counter, value);
  }
  void note(std::string_view text) override { next_.note(text); }

 private:
  Progress& next_;
  std::int64_t& count1_;
  std::int32_t& calproc_;
};

struct BuildRunInput {
  SettingsRecord& settings;  // the run's; LOADWEEKS becomes 1 when CHECKWGET is off
  const CalendarSettings& calendar;
  DownloadFields fields;  // the history update as this run makes it
  // A page to copy over "truneout" and read; the copy is made only once the run holds the Event
  // History, so a run refused there leaves "truneout" as it was. Empty: none.
  std::filesystem::path page_file = {};
  // News.CSV and the export are replaced only when their contents change, so the indicator
  // reloads only on a change.
  bool keep_unchanged = false;
  RunTap* tap = nullptr;
};

struct BuildRunOutcome {
  bool history_open = false;  // the run held the Event History
  bool news_replaced = false;
  std::int64_t news_changed_lines = 0;
  bool export_replaced = false;
  std::int64_t events_read = 0;  // events of the pages (or feed) read whole into the history
};

// count1 and calproc are the window's COUNT1 and CALPROC# displays, kept current.
BuildRunOutcome build_run(Session& session, Reporter& r, Progress& p, Downloader& d,
                          BuildRunInput& in, std::int64_t& count1, std::int32_t& calproc);

// Local time for the labels and exports: the zones of LOCALZONE and MT4ZONE, or OFFSET2 hours
// (also after Ignore at zones that are no longer usable: "Open(mervane.cfg) - ...").
TimeShift run_local_time(const CalendarSettings& calendar, std::int16_t offset2, Reporter& r);

}  // namespace mervane
