// The date as the lists of events and items show it: the weekday's three-letter name, the day
// without a leading zero, the month's three-letter name and the four-digit year, "Sat 7 Mar
// 2009". The weekday follows the serial modulo 7 (0 Sunday), for dates before day 0 too.
#pragma once

#include <cstdint>
#include <string>

namespace mervane {

// The day column of a date serial; the empty text for 0, which is no date.
std::string day_column(std::int32_t date);

}  // namespace mervane
