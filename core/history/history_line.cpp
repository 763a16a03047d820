#include "core/history/history_line.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <vector>

#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "core/util/picture.h"

namespace mervane {
namespace {

// An event without a time of day (time serial 0) keeps the five characters of the time field,
// so the fixed positions of the date, currency and description stay where the reader takes
// them. Older readers turn the hyphens into 00:00; ours restores time 0.
constexpr std::string_view kNoTime = "--:--";

constexpr std::size_t kFields = 13;
constexpr std::string_view kSeparator = "\",\"";

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

// The eleven fields after the time, in the line's order.
constexpr std::size_t kLater = kFields - 2;
using LaterTexts = std::array<std::string_view, kLater>;

template <class R, class F>
void later_fields(R& r, F&& f) {
  f(r.currency), f(r.descr), f(r.impact), f(r.actual), f(r.forecast), f(r.previous);
  f(r.revisedfrom), f(r.symbol), f(r.color), f(r.spacing), f(r.kxidcode);
}

void take(CalendarRecord& r, const LaterTexts& texts) {
  std::size_t k = 0;
  later_fields(r, [&](auto& field) { field = texts[k++]; });
}

void add_quoted(std::string& line, std::string_view field) {
  line += '"';
  for (char c : field) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

// A line of quoted fields with doubled quotes inside them, taken apart; nothing when the line
// is not made of such fields, or holds more than a history line's thirteen.
std::optional<std::vector<std::string>> quoted_fields(std::string_view line) {
  std::vector<std::string> out;
  std::size_t i = 0;
  for (;;) {
    if (out.size() == kFields || i >= line.size() || line[i] != '"') return std::nullopt;
    std::string field;
    for (++i;; ++i) {
      if (i >= line.size()) return std::nullopt;
      if (line[i] != '"') {
        field += line[i];
      } else if (i + 1 < line.size() && line[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        break;
      }
    }
    out.push_back(std::move(field));
    ++i;  // past the closing quote
    if (i == line.size()) return out;
    if (line[i] != ',') return std::nullopt;
    ++i;
  }
}

// A line of an earlier version whose quotes do not pair up. rest is the line after the
// currency's closing quote and its ",": the description, then the nine later fields. Those nine
// are taken from the right, so a quote inside the description shifts nothing; a line that
// lacks some of them is read from the left, each field up to the next quote.
void read_unpaired(std::string_view rest, LaterTexts& texts) {
  std::string_view left = rest;
  if (!left.empty() && left.back() == '"') left.remove_suffix(1);
  std::size_t k = kLater;
  while (k > 2) {
    const std::size_t sep = left.rfind(kSeparator);
    if (sep == std::string_view::npos) break;
    texts[--k] = left.substr(sep + kSeparator.size());
    left = left.substr(0, sep);
  }
  if (k == 2) {
    texts[1] = left;
    return;
  }
  std::fill(texts.begin() + 1, texts.end(), std::string_view());
  std::size_t pos = 0;
  for (k = 1; k < kLater && pos < rest.size(); ++k) {
    const std::size_t end = rest.find('"', pos);
    if (end == std::string_view::npos) return;
    texts[k] = rest.substr(pos, end - pos);
    pos = end + kSeparator.size();
  }
}

}  // namespace

std::string history_line(const CalendarRecord& r) {
  std::string line;
  line.reserve(128);
  line += '"';
  line += date_field(r.date);
  line += "\",\"";
  line += time_field(r.time);
  line += '"';
  later_fields(r, [&](const auto& field) {
    line += ',';
    add_quoted(line, field.view());
  });
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

  std::string_view rest = line;
  while (!rest.empty() && (rest.back() == '\r' || rest.back() == ' ')) rest.remove_suffix(1);
  LaterTexts texts{};
  if (const auto f = quoted_fields(rest); f && f->size() >= 3) {
    for (std::size_t k = 2; k < f->size(); ++k) texts[k - 2] = (*f)[k];
    take(r, texts);
    return true;
  }
  // Positions from here on are 0-based. The currency starts at 22 and runs to its closing
  // quote: for the three-letter codes every writer produced that is 22-24, the fixed place
  // older readers take it from; a code of another length does not shift the fields after it.
  if (rest.size() > 22) {
    const std::size_t q = rest.find('"', 22);
    texts[0] = rest.substr(22, q == std::string_view::npos ? rest.size() - 22 : q - 22);
    if (q != std::string_view::npos && q + kSeparator.size() <= rest.size())
      read_unpaired(rest.substr(q + kSeparator.size()), texts);
  }
  take(r, texts);
  return true;
}

}  // namespace mervane
