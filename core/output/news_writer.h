// OUT_NEWS: the events of the chosen date range, read from the Event History in key order,
// filtered, and written as News.CSV lines for the Mirel_Events indicator and into the export;
// or, in preview mode, copied into PVIEW instead.
//
// A News.CSV event line (fields joined by ";", no header line, no quoting):
//   2008.03.07 15:30;1;140;3;USD;111111111;15:30 USD H "Non-Farm Employment Change" 1007;
//   [Fri 21:30] A: 63K | F: 45K | P: 82K
// (one line): date and time, vertical position in its time slot, Wingdings symbol, colour,
// chart currency, nine chart flags, description line and line id, then the local-time label and
// the values. The indicator splits on ";" and reads the values part as free text.
//
// Runs on the caller's thread; reads CALENDAR once, front to back, and never writes it.
#pragma once

#include <cstdint>
#include <string>

#include "core/model/records.h"
#include "core/model/session.h"
#include "core/model/settings.h"
#include "core/output/export_writer.h"
#include "core/runtime/output_file.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"
#include "core/runtime/table.h"

namespace mervane {

// A further file of a run made from the events News.CSV is made from (the news-guard file). It
// sees every record of the output date range in key order, before the filters, and is put in
// place after News.CSV (end()). Used by the run's thread.
class RunTap {
 public:
  virtual ~RunTap() = default;
  // The run's settings, before the first record.
  virtual void begin(const BuildSettings& s) = 0;
  virtual void record(const CalendarRecord& r) = 0;
  // After News.CSV was put in place.
  virtual void end() = 0;
};

// Where a run's events go. In preview mode PVIEW (in the session's folder) is made new and
// filled, and neither file is touched. Otherwise each event goes into news (none during a
// profile group run) and into the export (when it is writing).
struct NewsTargets {
  bool preview = false;
  OutputFile* news = nullptr;
  ExportWriter* exporter = nullptr;
  const TimeShift* to_local = nullptr;  // local time by LOCALZONE; OFFSET2 when none
  RunTap* tap = nullptr;                // sees every record of the date range
};

// The News.CSV line of an event that passed the filters, without its line end. position is its
// place in its time slot (1, 2, ...), count1 the records read so far in this run.
std::string news_line(const BuildSettings& s, const CalendarRecord& r, std::int32_t position,
                      std::int64_t count1, const TimeShift* to_local = nullptr);

// Reads calendar (open) from FROMDATE through THRUDATE. count1 is set to the records read and
// reported as "COUNT1" as it changes. Stop messages: "Create(" / "Open(" / "Add(" of PVIEW,
// "Add(" of the files, and "Get(" for a read error of the history, which ends the reading.
void out_news(Table<CalendarTable>& calendar, const BuildSettings& s, const NewsTargets& out,
              Session& session, Reporter& r, Progress& p, std::int64_t& count1);

}  // namespace mervane
