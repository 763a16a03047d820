#include "core/history/history_line.h"

#include <cstdio>
#include <optional>

#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "core/util/picture.h"

namespace mervane {
namespace {

// An event without a time of day (time serial 0) keeps the five characters of the time field,
// so the fixed positions of the date, currency and description stay where the reader takes
// them. Older readers turn the hyphens into 00:00; ours restores time 0.
constexpr std::string_view kNoTime = "--:--";

std::string date_field(std::int32_t date) {
  const Ymd d = ymd_of(date);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04lld-%02d-%02d", static_cast<long long>(d.year), d.month,
                d.day);
  return buf;
}

std::string time_field(std::int32_t time) {
  if (time == 0) return std::string(kNoTime);
  std::string t(clip(format_value("T1", time)));
  if (t.size() < 5) t.insert(t.begin(), '0');
  if (!t.empty() && t[0] == ' ') t[0] = '0';
  return t;
}

// The digits at 1-based positions from .. from + n - 1; nothing unless all n are digits.
std::optional<int> digits_at(std::string_view line, std::size_t from, std::size_t n) {
  if (line.size() < from - 1 + n) return std::nullopt;
  int v = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const char c = line[from - 1 + i];
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

std::optional<std::int32_t> time_at(std::string_view line) {
  if (line.size() >= 19 && line.substr(14, 5) == kNoTime) return 0;
  const auto h = digits_at(line, 15, 2);
  const auto m = digits_at(line, 18, 2);
  if (!h || !m || *h > 23 || *m > 59) return std::nullopt;
  return tod(*h, *m);
}

}  // namespace

std::string history_line(const CalendarRecord& r) {
  const std::string_view fields[] = {r.currency.view(),    r.descr.view(),    r.impact.view(),
                                     r.actual.view(),      r.forecast.view(), r.previous.view(),
                                     r.revisedfrom.view(), r.symbol.view(),   r.color.view(),
                                     r.spacing.view(),     r.kxidcode.view()};
  std::string line;
  line.reserve(128);
  line += '"';
  line += date_field(r.date);
  line += "\",\"";
  line += time_field(r.time);
  for (std::string_view f : fields) {
    line += "\",\"";
    line += f;
  }
  line += '"';
  return line;
}

bool read_history_line(std::string_view line, CalendarRecord& r) {
  r = CalendarRecord{};
  const auto year = digits_at(line, 2, 4);
  const auto month = digits_at(line, 7, 2);
  const auto day = digits_at(line, 10, 2);
  if (!year || !month || !day) return false;
  const auto date = date_serial(*year, *month, *day);
  const auto time = time_at(line);
  if (!date || !time) return false;
  r.date = *date;
  r.time = *time;

  // Positions from here on are 0-based. The currency starts at 22 and runs to its closing
  // quote: for the three-letter codes every writer produced that is 22-24, the fixed place
  // older readers take it from; a code of another length does not shift the fields after it.
  if (line.size() <= 22) return true;
  const std::size_t q = line.find('"', 22);
  r.currency = line.substr(22, q == std::string_view::npos ? line.size() - 22 : q - 22);
  if (q == std::string_view::npos) return true;
  std::size_t pos = q + 3;

  auto next = [&]() -> std::string_view {
    if (pos >= line.size()) return {};
    const std::size_t end = line.find('"', pos);
    if (end == std::string_view::npos) {
      pos = line.size();
      return {};
    }
    const std::string_view f = line.substr(pos, end - pos);
    pos = end + 3;
    return f;
  };
  r.descr = next();
  r.impact = next();
  r.actual = next();
  r.forecast = next();
  r.previous = next();
  r.revisedfrom = next();
  r.symbol = next();
  r.color = next();
  r.spacing = next();
  r.kxidcode = next();
  return true;
}

}  // namespace mervane
