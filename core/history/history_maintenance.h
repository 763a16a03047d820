// The four actions of the history maintenance window on the Event History CALENDAR: delete a date
// range, rebuild the whole table (moving the events of a range by some hours), export a range to
// a backup file and restore a range from one. Date ranges are inclusive.
//
// Each action takes the table opened by the caller (for reading and writing, others kept from
// writing) and reports every failure as a stop message ("Delete(CALENDAR.db) - ..."); Abort is
// thrown as Aborted. Every change to the table is one transaction: an action that fails, or is
// aborted, leaves the history exactly as it was, except that after Ignore at a failed single
// delete or append the work goes on without that record. COUNT1, the records processed, goes to
// Progress as it rises.
//
// All of them run on the caller's thread and block it.
#pragma once

#include <cstdint>
#include <filesystem>

#include "core/model/records.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"
#include "core/runtime/table.h"

namespace mervane {

// COUNT1 of the window: raised for every record or line processed.
struct Count1 {
  Progress& progress;
  std::int64_t value = 0;
  void step() { progress.report("COUNT1", ++value); }
};

// Deletes every event dated from..thru. True when the deletion was stored.
bool delete_history_range(Table<CalendarTable>& t, std::int32_t from, std::int32_t thru,
                          Reporter& r, Count1& c);

// Rebuilds CALENDAR: copies every record to "CAL2.CSV" in folder, empties the table, reads the
// file back and appends the records, each event dated from..thru moved by adjust_hours first
// (none when 0), and builds the keys once at the end. COUNT1 rises by two for each event.
// The table is reopened exclusively first ("Open(" when another opener has it; nothing is then
// changed) and stays open so. A table whose keys are broken is rebuilt like any other. When two
// events land on the same key the "Build(" message names both and the history stays as it was.
// "CAL2.CSV" is removed in every case.
bool rebuild_history(Table<CalendarTable>& t, const std::filesystem::path& folder,
                     std::int32_t from, std::int32_t thru, std::int16_t adjust_hours, Reporter& r,
                     Count1& c);

// Moves an event by hours: the hour of its time (a time of 0 counts as 00:00) plus hours,
// carried into days so that the event moves by exactly that many hours; the minute stays and
// the seconds are dropped. For -23..23 hours this is the single wrap to the day before or after.
// An event whose date would leave the 32-bit range stays as it was.
void shift_event(CalendarRecord& r, int hours);

// Writes the events dated from..thru, in key order, as history lines to file (replacing it only
// once complete). True when the file was written.
bool export_history(Table<CalendarTable>& t, const std::filesystem::path& file, std::int32_t from,
                    std::int32_t thru, Reporter& r, Count1& c);

struct ImportResult {
  bool done = false;          // the range was replaced by the file's events
  std::int64_t imported = 0;  // lines appended
  std::int64_t outside = 0;   // lines dated outside the range
  std::int64_t broken = 0;    // lines that are no history line
};

// Opens file first: when it cannot be opened ("Open(" message) nothing is deleted. Then, in one
// transaction, deletes the events dated from..thru and appends the file's lines dated inside the
// range, and builds the keys; a line that is no history line is skipped and counted. When not
// one line is a history line of the range, the stop message "Read(" + file name + ") - no
// history lines of the range in the file" is shown and the history stays as it was. When the
// keys cannot be built (the file holds the same event twice) the "Build(" message names the
// repeated event and the history stays as it was.
[[nodiscard]] ImportResult import_history(Table<CalendarTable>& t,
                                          const std::filesystem::path& file, std::int32_t from,
                                          std::int32_t thru, Reporter& r, Count1& c);

}  // namespace mervane
