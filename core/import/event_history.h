// The Event History update: DELETE_WEEK and the store step of a finished event.
//
// Each page is one transaction: clearing the page's week and storing its events either all
// happen or, after a failure or a killed process, none of them.
//
// Everything runs on the caller's thread with the caller's table object. Failures show their
// stop message ("Open(", "Create(", "Delete(", "Get(", "Add(", "Put(" + file name + ") - " +
// error text); Abort throws Aborted, Ignore goes on as described at each function.
#pragma once

#include <cstdint>
#include <memory>

#include "core/import/page_reader.h"
#include "core/model/records.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"
#include "core/runtime/table.h"

namespace mervane {

// The sink of the page reader during a run: stores each event in MT4 time (shifted by OFFSET1
// hours), after clearing the page's week once. The table must be open (open_calr) and outlive
// this object; so must the reporter, the progress and count1.
//
// delete_week() begins the page's transaction and clears the seven days from first_day;
// page_done() commits it; page_abandoned(), a following delete_week() without page_done(), or
// the destructor roll it back. When the transaction cannot begin (another writer holds the
// table) the stop message is "Delete(" and, after Ignore, nothing of that page is stored.
//
// The hour offset moves an event by whole days: hours + OFFSET1 outside 0 to 23 go back into
// that range by as many days as needed (for offsets of -23 to 23 that is the single correction
// of a day either way).
class EventHistory : public PageSink {
 public:
  // count1 is the run's COUNT1, raised for every record the week clearing reads.
  EventHistory(Table<CalendarTable>& calendar, Reporter& r, Progress& p, std::int64_t& count1,
               std::int16_t offset1);
  ~EventHistory() override;
  EventHistory(const EventHistory&) = delete;
  EventHistory& operator=(const EventHistory&) = delete;

  void delete_week(std::int32_t first_day) override;
  void store(const PageEvent& event) override;
  void page_done() override;
  void page_abandoned() override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace mervane
