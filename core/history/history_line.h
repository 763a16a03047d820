// The history line format of backups and history exports: one line per CALENDAR record, the
// thirteen fields in double quotes joined by commas, nothing escaped:
//   "2009-03-07","08:30","USD","CPI m/m","H","0.4%","0.3%","0.2%","","110","4","1","12345"
// The reader takes the date, time and currency from fixed positions, as files written by earlier
// versions rely on.
//
// (Interface fixed for the backup and the history maintenance; the implementation lands with the
// calendar import.)
#pragma once

#include <string>
#include <string_view>

#include "core/model/records.h"

namespace mervane {

std::string history_line(const CalendarRecord& r);
// Fills r (cleared first) from a line. False when the fixed positions do not hold a valid date
// and time (a broken or foreign line); whatever the line, nothing is read out of bounds.
bool read_history_line(std::string_view line, CalendarRecord& r);

}  // namespace mervane
