// The history line format of backups and history exports: one line per CALENDAR record, the
// thirteen fields in double quotes joined by commas, nothing escaped:
//   "2009-03-07","08:30","USD","CPI m/m","H","0.4%","0.3%","0.2%","","110","4","1","12345"
// The reader takes the date (positions 2-11) and time (15-19) from fixed positions, as files
// written by earlier versions rely on. The currency starts at position 23 and the remaining
// fields follow it, each running up to the next double quote; the field after it starts 3
// characters later (after ","). For the three-letter currencies that is the currency at 23-25
// and the description from 29, as the fixed layout has it; a currency of another length does
// not shift the fields after it. A field holding a double quote cuts the fields after it short
// when read back.
//
// Times: "HH:MM" 24-hour, seconds dropped. An event without a time of day (time serial 0) is
// written as "--:--", which keeps every later position in place and reads back as time 0.
//
// Plain functions without state; neither fails or reports anything.
#pragma once

#include <string>
#include <string_view>

#include "core/model/records.h"

namespace mervane {

std::string history_line(const CalendarRecord& r);
// Fills r (cleared first) from a line. False when the fixed positions do not hold a valid date
// and time (a broken or foreign line); whatever the line, nothing is read out of bounds.
[[nodiscard]] bool read_history_line(std::string_view line, CalendarRecord& r);

}  // namespace mervane
