#include "core/output/news_line.h"

#include <cctype>

#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "core/util/picture.h"

namespace mervane {
void append_padded(std::string& out, std::int64_t value, int width) {
  std::int64_t limit = 1;
  for (int i = 0; i < width; ++i) limit *= 10;
  if (value < 0 || value >= limit) {
    out += format_value("N0" + std::to_string(width), static_cast<double>(value));
    return;
  }
  for (std::int64_t div = limit / 10; div > 0; div /= 10)
    out += static_cast<char>('0' + value / div % 10);
}

void append_number(std::string& out, std::int64_t value) {
  char buf[24];
  int n = 0;
  const bool negative = value < 0;
  // Digits of the magnitude, computed without negating INT64_MIN.
  do {
    const std::int64_t d = value % 10;
    buf[n++] = static_cast<char>('0' + (d < 0 ? -d : d));
    value /= 10;
  } while (value != 0);
  if (negative) out += '-';
  while (n > 0) out += buf[--n];
}

void append_news_date(std::string& out, std::int32_t date) {
  const Ymd d = ymd_of(date);
  append_padded(out, d.year, 4);
  out += '.';
  append_padded(out, d.month, 2);
  out += '.';
  append_padded(out, d.day, 2);
}

void append_news_time(std::string& out, std::int32_t time) {
  // The "t1" picture gives "hh:mm" for every time of day and nothing for time 0; the rule that
  // puts a "0" in front of a shorter text is kept for that case.
  const std::string t = format_value("t1", time);
  if (t.size() < 5) out += '0';
  if (!t.empty() && t[0] == ' ') {
    out += '0';
    out.append(t, 1);
  } else {
    out += t;
  }
}

std::int32_t ShiftedTime::time() const {
  return tod(hour, minute, 0);
}

ShiftedTime shift_hours(std::int32_t date, std::int32_t time, std::int32_t hours) {
  ShiftedTime s;
  std::int64_t h = std::int64_t{hour(time)} + hours;
  std::int64_t days = 0;
  // One wrap covers every offset of a real time zone; the floor division keeps the hour within
  // 0..23 for any offset a settings file may hold.
  if (h > 23 || h < 0) {
    days = h >= 0 ? h / 24 : -((-h + 23) / 24);
    h -= days * 24;
  }
  s.date = static_cast<std::int32_t>(std::int64_t{date} + days);
  s.hour = static_cast<std::int32_t>(h);
  s.minute = minute(time);
  return s;
}

ShiftedTime shift_time(std::int32_t date, std::int32_t time, const TimeShift& to_local) {
  if (!to_local.by_zones())
    return shift_hours(date, time, static_cast<std::int32_t>(to_local.hours()));
  const TimeShift::Result t = to_local.apply(date, hour(time), minute(time));
  ShiftedTime s;
  s.date = static_cast<std::int32_t>(t.date);
  s.hour = t.hour;
  s.minute = t.minute;
  return s;
}

std::string local_label(std::int32_t date, std::int32_t time, std::int32_t offset2,
                        std::int32_t off2fmt) {
  return local_label(date, time, TimeShift(offset2), off2fmt);
}

std::string local_label(std::int32_t date, std::int32_t time, const TimeShift& to_local,
                        std::int32_t off2fmt) {
  if (!to_local.by_zones() && to_local.hours() == 0) return {};
  const ShiftedTime s = shift_time(date, time, to_local);
  std::string label = "[";
  label.append(dow(s.date), 0, 3);
  label += ' ';
  if (off2fmt == 1) {
    label += trim(format_value("t1", s.time()));
  } else {
    std::string t = trim(format_value("t3", s.time()));
    for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    label += t;
  }
  label += ']';
  return label;
}

void append_chart_flags(std::string& out, const std::array<std::int16_t, 9>& flags) {
  for (std::int16_t f : flags) out += f != 0 ? '1' : '0';
}

}  // namespace mervane
