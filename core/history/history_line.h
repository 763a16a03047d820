// The history line format of backups and history exports: one line per CALENDAR record, the
// thirteen fields in double quotes joined by commas:
//   "2009-03-07","08:30","USD","CPI m/m","H","0.4%","0.3%","0.2%","","110","4","1","12345"
// A double quote inside a field is doubled, as CSV has it ("Fed Chair ""Bernanke"" Speaks"), so
// spreadsheets read such a line whole too; a line without quotes in its texts is the same as
// earlier versions wrote it.
//
// The reader takes the date (positions 2-11) and time (15-19) from fixed positions, as files
// written by earlier versions rely on. The other fields are read as quoted fields with doubled
// quotes. Earlier versions wrote quotes inside a field as they were, so a line whose quotes do
// not pair up is read from both ends: the currency from position 23 up to its closing quote,
// the nine fields after the description from the right, and the description as what lies
// between. A line too short for that (fewer than the nine fields after the description) is read
// from the left, each field up to the next double quote, the next one 3 characters later (after
// ","); the fields it lacks stay blank.
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
