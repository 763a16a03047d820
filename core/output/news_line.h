// Pieces of a News.CSV line that the event lines and the auxiliary item lines share: the date
// and time texts, the local-time label and the chart flags.
//
// Lines are built by appending to a caller's string, so a run of a million events reuses one
// buffer. All functions are pure; none fails.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/runtime/time_zones.h"

namespace mervane {

// "2008.03.07": four-digit year, month and day joined by ".".
void append_news_date(std::string& out, std::int32_t date);
// "15:30": the time of day, always five characters "hh:mm" (a time of 0 gives "0", as the
// indicator's files always had).
void append_news_time(std::string& out, std::int32_t time);

// A date and a time moved by whole hours: the day changes when the hour leaves 0..23.
struct ShiftedTime {
  std::int32_t date = 0;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::int32_t time() const;  // the time serial of hour and minute
};
ShiftedTime shift_hours(std::int32_t date, std::int32_t time, std::int32_t hours);

// The local time label "[Fri 21:30]" (24-hour, off2fmt 1) or "[Fri 9:30pm]" (12-hour, any other
// off2fmt) of a date and time in MT4 time, shifted by offset2 hours; empty when offset2 is 0.
std::string local_label(std::int32_t date, std::int32_t time, std::int32_t offset2,
                        std::int32_t off2fmt);
// Local time by a shift: with time zones (LOCALZONE) the label is always there and each event
// is converted on its own date; with whole hours as above.
ShiftedTime shift_time(std::int32_t date, std::int32_t time, const TimeShift& to_local);
std::string local_label(std::int32_t date, std::int32_t time, const TimeShift& to_local,
                        std::int32_t off2fmt);

// The nine chart flags M1, M5, M15, M30, H1, H4, D1, W1, MN as "1" (on, any value but 0) or "0".
void append_chart_flags(std::string& out, const std::array<std::int16_t, 9>& flags);

// A number in the "N0w" picture: w digits with zeros in front (a wider number in full).
void append_padded(std::string& out, std::int64_t value, int width);

// Plain decimal digits of a whole number, with a leading "-" when negative.
void append_number(std::string& out, std::int64_t value);

}  // namespace mervane
