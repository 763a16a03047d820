// How the bulk windows (history maintenance, swap import and generation, auxiliary item deletion)
// open their tables: they open and close them themselves and report failures as stop messages.
#pragma once

#include "core/model/records.h"
#include "core/runtime/reporter.h"
#include "core/runtime/table.h"

namespace mervane {

// Opens t in the given mode. Only a missing table is created ("Create(" + file + ") - ..." on
// failure) and opened again ("Open(" ...); any other failure shows "Open(" and leaves the table
// closed: an existing table is never replaced by a new empty one, whatever is wrong with it.
// True when the table is open. Throws Aborted when a message is answered Abort.
template <class Def>
bool open_or_create(Table<Def>& t, OpenMode mode, Reporter& r) {
  Status st = t.open(mode);
  if (st.code == kFileNotFound) {
    if (stop_if_failed(r, "Create", t.file_name(), t.create())) return false;
    st = t.open(mode);
  }
  if (st.failed()) {
    t.close();  // a table opened with broken keys stays open for a repair; not here
    stop(r, "Open", t.file_name(), st);
    return false;
  }
  return true;
}

// OPEN_CALR: the Event History CALENDAR of the table's folder for reading and writing while
// others may only read, created when it does not exist. A table that exists but cannot be opened
// (locked, damaged) is never created anew: that would empty it.
inline bool open_calr(Table<CalendarTable>& t, Reporter& r) {
  return open_or_create(t, OpenMode::deny_write(), r);
}

}  // namespace mervane
