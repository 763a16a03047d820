// The Event History update: OPEN_CALR, DELETE_WEEK, the store step of a finished event and the
// backup after a run.
//
// Each page is one transaction: clearing the page's week and storing its events either all
// happen or, after a failure or a killed process, none of them.
//
// (Interface fixed for the Build run; the implementation lands with the calendar import.)
#pragma once

#include <cstdint>

#include "core/import/page_reader.h"
#include "core/model/records.h"
#include "core/model/session.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"
#include "core/runtime/table.h"

namespace mervane {

// OPEN_CALR: opens CALENDAR of the session's folder for reading and writing while others may
// only read, creating it when it does not exist ("Create(" / "Open(" stop messages).
void open_calr(Table<CalendarTable>& t, Reporter& r);

// The sink of the page reader during a run: stores each event in MT4 time (shifted by OFFSET1
// hours), after clearing the page's week once.
class EventHistory : public PageSink {
 public:
  // count1 is the run's COUNT1, raised for every record the week clearing reads.
  EventHistory(Table<CalendarTable>& calendar, Reporter& r, Progress& p, std::int64_t& count1,
               std::int16_t offset1);
  ~EventHistory() override;

  void delete_week(std::int32_t first_day) override;
  void store(const PageEvent& event) override;
  void page_done() override;

 private:
  struct State;
  State* state_;
};

// AUTO_BACKUP: writes the whole history in key order to "@BACKUP@.CSV" in the history line
// format, atomically; leaves GLO:OUTNAME set to the backup name. COUNT1 starts at 0 and counts
// the records written.
void auto_backup(Session& s, Reporter& r, Progress& p, std::int64_t& count1);

}  // namespace mervane
