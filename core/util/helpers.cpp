#include "core/util/helpers.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/util/dates.h"
#include "core/util/text.h"

namespace mervane {
namespace {

constexpr std::size_t kRepWidth = 132;   // srep, from_, to_
constexpr std::size_t kJoinWidth = 255;  // strx, trim

std::string cut(std::string s, std::size_t width) {
  if (s.size() > width) s.resize(width);
  return s;
}

char mark_of(std::string_view mark) {
  return mark.empty() ? ' ' : mark.front();
}

// Appending to a text value appends to its clipped value: blanks appended last are lost as soon
// as anything else is appended. to_() and from_() rely on this.
void append_clipped(std::string& to, std::string_view piece) {
  to.resize(clip(to).size());
  to.append(piece);
}

std::size_t count_of(std::int64_t n) {
  return static_cast<std::size_t>(std::clamp<std::int64_t>(n, 0, kMaxTextWidth));
}

// Whole seconds since midnight of a time serial (0, no time, reads as midnight).
std::int64_t seconds_of(std::int32_t time) {
  return (std::int64_t{time} - 1) / 100;
}

}  // namespace

std::int32_t sgn(double x) {
  return x > 0 ? 1 : x < 0 ? -1 : 0;
}
double lo(double a, double b) {
  return b < a ? b : a;
}
double hi(double a, double b) {
  return b > a ? b : a;
}

std::string to_(std::string_view s, std::int32_t tail, std::string_view mark) {
  const char m = mark_of(mark);
  std::string out;
  for (const char c : clip(s)) {
    if (clip(out).size() >= kRepWidth) break;  // only appended to from here on
    append_clipped(out, std::string_view(c == ' ' ? &m : &c, 1));
  }
  // With a blank mark every appended blank is clipped away again, tail included.
  if (m != ' ') out.append(std::min(count_of(tail), kRepWidth), m);
  return cut(std::string(clip(out)), kRepWidth);
}

std::string from_(std::string_view s, std::string_view mark) {
  const char m = mark_of(mark);
  std::string out;
  std::size_t pending = 0;
  for (const char c : clip(s)) {
    if (clip(out).size() >= kRepWidth) break;  // only appended to from here on
    if (c == m) {
      ++pending;
      continue;
    }
    append_clipped(out, std::string(std::min(pending, kRepWidth), ' '));
    out.push_back(c);
    pending = 0;
  }
  return cut(std::string(clip(out)), kRepWidth);
}

std::string srep(std::string_view find, std::string_view text, std::string_view replacement,
                 std::int32_t find_tail, std::int32_t text_tail, std::int32_t replacement_tail) {
  const std::string f = to_(find, find_tail);
  const std::string t = to_(text, text_tail);
  const std::string r = to_(replacement, replacement_tail);
  if (f.empty()) return from_(t);
  // The underscore forms hold no blanks, so joining the pieces needs no clipping.
  std::string out;
  std::size_t p = 0;
  while (p < t.size()) {
    const std::size_t hit = t.find(f, p);
    if (hit == std::string::npos) {
      out.append(t, p);
      break;
    }
    out.append(t, p, hit - p).append(r);
    p = hit + f.size();
  }
  return from_(out);
}

std::string extl(std::string_view s, std::string_view delimiter, std::int32_t which,
                 std::int32_t extra) {
  s = clip(s);
  const std::string_view d = clip(delimiter);
  const auto len = static_cast<std::int64_t>(s.size());
  std::int64_t pos = 0;  // 1-based position of interest; 0 while not found
  if (which == 0) {
    pos = len + 1;
  } else if (d.empty()) {
    return {};
  } else if (which > 0) {
    std::size_t start = 0;
    for (std::int32_t hits = 0; hits < which && start < s.size(); ++hits) {
      const std::size_t f = s.find(d, start);
      if (f == std::string_view::npos) return {};
      if (hits + 1 == which) pos = static_cast<std::int64_t>(f) + 1;
      start = f + d.size();
    }
  } else {
    const std::int64_t wanted = -static_cast<std::int64_t>(which);
    std::int64_t hits = 0;
    for (std::int64_t i = len; i >= 2 && pos == 0; --i) {
      if (s.substr(static_cast<std::size_t>(i - 1)).starts_with(d) && ++hits == wanted) pos = i;
    }
  }
  if (pos == 0) return {};
  const std::int64_t k = pos - 1 + extra;
  if (k < 1 || k > len) return {};
  return std::string(s.substr(0, static_cast<std::size_t>(k)));
}

std::string rpt(std::string_view s, std::int32_t n) {
  const std::size_t count = count_of(n);
  if (s.empty()) return std::string(count, ' ');
  std::string out;
  out.reserve(count);
  while (out.size() < count) out.append(s.substr(0, count - out.size()));
  return out;
}

std::string rfill(std::string_view s, std::int32_t width, std::string_view fill) {
  const std::string_view c = clip(s);
  std::string out(c);
  out += rpt(fill, static_cast<std::int32_t>(
                       std::max<std::int64_t>(std::int64_t{width} - std::ssize(c), 0)));
  return out;
}

std::string subr(std::string_view s, std::int32_t n) {
  s = clip(s);
  const std::int64_t len = std::ssize(s);
  const std::int64_t k =
      std::int64_t{n} >= 0 ? std::min<std::int64_t>(n, len) : std::max<std::int64_t>(len + n, 0);
  return std::string(s.substr(static_cast<std::size_t>(len - k)));
}

std::string subl(std::string_view s, std::int32_t n) {
  if (n < 0) s = clip(s);
  const std::int64_t len = std::ssize(s);
  const std::int64_t k =
      std::int64_t{n} >= 0 ? std::min<std::int64_t>(n, len) : std::max<std::int64_t>(len + n, 0);
  return std::string(clip(s.substr(0, static_cast<std::size_t>(k))));
}

std::string str(std::string_view a, std::string_view b, std::int32_t gap) {
  std::string out(clip(a));
  out.append(count_of(gap), ' ');
  out.append(clip(b));
  return out;
}

std::string strx_of(std::int32_t gap, std::initializer_list<std::string_view> texts) {
  std::string out;
  bool first = true;
  for (const std::string_view t : texts) {
    out = first ? std::string(t) : str(out, t, gap);
    first = false;
  }
  return std::string(clip(cut(std::move(out), kJoinWidth)));
}

std::string trim(std::string_view s) {
  std::string out;
  for (const char c : clip(s))
    if (c != ' ') out.push_back(c);
  return cut(std::move(out), kJoinWidth);
}

std::int32_t leng(std::string_view s) {
  return static_cast<std::int32_t>(
      std::min<std::size_t>(clip(s).size(), std::numeric_limits<std::int32_t>::max()));
}

std::int32_t mod(std::int32_t a, std::int32_t b) {
  if (b == 0) return a;
  return static_cast<std::int32_t>(std::int64_t{a} % std::int64_t{b});
}

double dec(double x) {
  return x - std::trunc(x);
}

std::int32_t tim(double x) {
  const double seconds = std::trunc(dec(x) * 86400 + 0.5);
  if (!std::isfinite(seconds)) return 0;
  // |dec(x)| < 1, so seconds lies within one day either way and the product fits 32 bits.
  return static_cast<std::int32_t>(seconds) * 100 + 1;
}

std::int32_t dat(double x) {
  if (std::isnan(x)) return 0;
  const double t = std::trunc(x);
  if (t <= std::numeric_limits<std::int32_t>::min())
    return std::numeric_limits<std::int32_t>::min();
  if (t >= std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(t);
}

double datim(std::int32_t date, std::int32_t time) {
  return date + static_cast<double>(seconds_of(time)) / 86400;
}

std::string dow(std::int32_t date) {
  static constexpr std::string_view kNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                 "Thursday", "Friday", "Saturday"};
  return std::string(kNames[weekday_of(date)]);
}

std::int32_t hour(std::int32_t time) {
  return static_cast<std::int32_t>(seconds_of(time) / 3600);
}

std::int32_t minute(std::int32_t time) {
  std::int64_t r = seconds_of(time) % 3600;
  if (r < 0) r += 3600;
  return static_cast<std::int32_t>(r / 60);
}

std::int32_t tod(std::int32_t hours, std::int32_t minutes, std::int32_t seconds) {
  const std::int64_t t =
      ((std::int64_t{hours} * 60 + minutes) * 60 + seconds) * 100 + 1;  // |t| < 2^51
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(t));
}

}  // namespace mervane
