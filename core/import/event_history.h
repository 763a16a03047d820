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
#include <string_view>

#include "core/import/page_reader.h"
#include "core/model/records.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"
#include "core/runtime/table.h"
#include "core/runtime/time_zones.h"

namespace mervane {

// The sink of the page reader during a run: stores each event in MT4 time (shifted by OFFSET1
// hours), after clearing the page's week once. The table must be open (open_calr) and outlive
// this object; so must the reporter, the progress and count1.
//
// delete_week() begins the page's transaction and clears the seven days from first_day
// (delete_days() the days given); page_done() commits it; page_abandoned(), a following
// delete_week() without page_done(), or
// the destructor roll it back. When the transaction cannot begin (another writer holds the
// table) the stop message is "Delete(" and, after Ignore, nothing of that page is stored.
//
// The hour offset moves an event by whole days: hours + OFFSET1 outside 0 to 23 go back into
// that range by as many days as needed (for offsets of -23 to 23 that is the single correction
// of a day either way). With the calendar's and the MT4 server's time zones set, each event is
// converted by both zones' rules on its own date and time instead. An event that comes in MT4
// time already (today's pages, PageEvent::mt4_time) is stored at the time it carries.
class EventHistory : public PageSink {
 public:
  // count1 is the run's COUNT1, raised for every record the week clearing reads.
  EventHistory(Table<CalendarTable>& calendar, Reporter& r, Progress& p, std::int64_t& count1,
               std::int16_t offset1);
  EventHistory(Table<CalendarTable>& calendar, Reporter& r, Progress& p, std::int64_t& count1,
               const TimeShift& to_mt4);
  ~EventHistory() override;
  EventHistory(const EventHistory&) = delete;
  EventHistory& operator=(const EventHistory&) = delete;

  void delete_week(std::int32_t first_day) override;
  void delete_days(std::int32_t first_day, std::int32_t last_day) override;
  void store(const PageEvent& event) override;
  void page_done() override;
  void page_abandoned() override;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// An event's date and time text ("hh:mm": hours from characters 1-2, minutes from 4-5) in MT4
// time. date is 64 bits: a shift may carry it past the 32-bit range, which the store step
// refuses.
struct Mt4Time {
  std::int64_t date = 0;
  std::int32_t time = 0;  // time serial
};
Mt4Time mt4_time(std::int32_t date, std::string_view time_text, const TimeShift& to_mt4);

}  // namespace mervane
