#include "core/util/picture.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "core/util/concat.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "core/util/text.h"

namespace mervane {
namespace {

constexpr int kMaxNumberWidth = 255;
constexpr std::string_view kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::string_view kMonthNames[12] = {"January",   "February", "March",    "April",
                                              "May",       "June",     "July",     "August",
                                              "September", "October",  "November", "December"};

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// Reads a run of 1 to max_digits digits from the front of s.
std::optional<int> take_digits(std::string_view& s, std::size_t max_digits) {
  std::size_t n = 0;
  while (n < s.size() && is_digit(s[n])) ++n;
  if (n == 0 || n > max_digits) return std::nullopt;
  int v = 0;
  std::from_chars(s.data(), s.data() + n, v);
  s.remove_prefix(n);
  return v;
}

bool take(std::string_view& s, char c) {
  if (s.empty() || lower(s.front()) != c) return false;
  s.remove_prefix(1);
  return true;
}

std::string_view strip_blanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::string two_digits(std::int64_t v) {
  return {static_cast<char>('0' + v / 10 % 10), static_cast<char>('0' + v % 10)};
}

// A year with at least four digits and a minus sign before the year 0.
std::string year_text(std::int64_t year) {
  std::string digits = std::to_string(year < 0 ? -year : year);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
  return year < 0 ? "-" + digits : digits;
}

std::string pad_left(std::string s, int width) {
  if (std::ssize(s) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
  return s;
}

// The shortest text that reads back as x.
std::string plain_number(double x) {
  if (x == 0) return "0";  // also for -0
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, x);
  return std::string(buf, res.ptr);
}

// --- numbers ---------------------------------------------------------------------------------

struct Rounded {
  std::string whole;  // no leading zeros but a single "0"
  std::string frac;   // exactly the picture's decimals
  bool zero = true;
};

// |x| (finite) rounded half away from zero to `decimals` places on its shortest decimal text.
Rounded round_decimal(double x, int decimals) {
  char buf[64];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific);
  const std::string_view t(buf, static_cast<std::size_t>(res.ptr - buf));  // "d.ddde+XX"
  const std::size_t e = t.find('e');
  std::string mant;
  for (const char c : t.substr(0, e))
    if (c != '.') mant.push_back(c);
  std::string_view exp_text = t.substr(e + 1);
  if (exp_text.front() == '+') exp_text.remove_prefix(1);
  int exp = 0;
  std::from_chars(exp_text.data(), exp_text.data() + exp_text.size(), exp);

  // Mantissa digit k has the place value 10^(exp - k); place j (1 = tenths, 0 = units, -1 tens)
  // therefore reads mantissa digit exp + j.
  const auto digit = [&](int k) {
    return k >= 0 && k < std::ssize(mant) ? mant[static_cast<std::size_t>(k)] : '0';
  };
  const int whole_places = std::max(exp + 1, 1);
  std::string all;
  for (int j = 1 - whole_places; j <= decimals; ++j) all.push_back(digit(exp + j));
  if (digit(exp + decimals + 1) >= '5') {
    std::size_t i = all.size();
    while (i > 0 && all[i - 1] == '9') all[--i] = '0';
    if (i == 0)
      all.insert(all.begin(), '1');
    else
      ++all[i - 1];
  }
  Rounded r;
  r.frac = all.substr(all.size() - static_cast<std::size_t>(decimals));
  r.whole = all.substr(0, all.size() - static_cast<std::size_t>(decimals));
  const std::size_t nz = r.whole.find_first_not_of('0');
  r.whole.erase(0, nz == std::string::npos ? r.whole.size() - 1 : nz);
  r.zero = all.find_first_not_of('0') == std::string::npos;
  return r;
}

std::string group_thousands(const std::string& whole) {
  std::string out;
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) out.push_back(',');
    out.push_back(whole[i]);
  }
  return out;
}

// The number laid out in a buffer on the stack: it runs for every cell of the output files, so
// it makes one string at the end and nothing on the way. Values too wide for the buffer (never
// those of the program's files) take the general path below it.
bool format_number_fast(const Picture& p, double x, std::string& out) {
  char sci[64];
  const auto res =
      std::to_chars(sci, sci + sizeof sci, std::fabs(x), std::chars_format::scientific);
  char mant[32];
  int n = 0;
  const char* q = sci;
  for (; q < res.ptr && *q != 'e'; ++q)
    if (*q != '.') mant[n++] = *q;
  if (q == res.ptr) return false;
  ++q;
  if (q < res.ptr && *q == '+') ++q;
  int exp = 0;
  std::from_chars(q, res.ptr, exp);
  const int dec = p.decimals;
  const int whole_places = std::max(exp + 1, 1);
  const int total = whole_places + dec;
  constexpr int kMax = 160;
  if (total + 2 > kMax || p.width > kMax) return false;
  // Digits of the places from the highest whole place down to the last decimal, one spare place
  // in front for a carry.
  char digits[kMax + 1];
  const auto digit = [&](int k) { return k >= 0 && k < n ? mant[k] : '0'; };
  digits[0] = '0';
  for (int j = 1 - whole_places, i = 1; j <= dec; ++j, ++i) digits[i] = digit(exp + j);
  int len = total + 1;
  if (digit(exp + dec + 1) >= '5') {
    int i = len - 1;
    while (digits[i] == '9') digits[i--] = '0';
    ++digits[i];
  }
  bool zero = true;
  for (int i = 0; i < len; ++i)
    if (digits[i] != '0') zero = false;
  if (zero && p.blank_zero) {
    out.assign(static_cast<std::size_t>(p.width), ' ');
    return true;
  }
  // Whole part without leading zeros (one "0" when it is zero).
  int w0 = 0;
  const int whole_end = len - dec;
  while (w0 < whole_end - 1 && digits[w0] == '0') ++w0;
  char body[2 * kMax + 8];
  int b = 0;
  for (int i = w0; i < whole_end; ++i) {
    if (p.fill == 0 && i > w0 && (whole_end - i) % 3 == 0) body[b++] = ',';
    body[b++] = digits[i];
  }
  if (dec > 0) {
    body[b++] = '.';
    for (int i = whole_end; i < len; ++i) body[b++] = digits[i];
  }
  const bool negative = x < 0 && !zero && p.sign != 0;
  const int used = b + (negative ? 1 : 0) + (negative && p.sign == '(' ? 1 : 0);
  const int pad = std::max(p.width - used, 0);
  out.clear();
  out.reserve(static_cast<std::size_t>(used + pad));
  if (p.fill != '0') out.append(static_cast<std::size_t>(pad), ' ');
  if (negative) out.push_back(p.sign);
  if (p.fill == '0') out.append(static_cast<std::size_t>(pad), '0');
  out.append(body, static_cast<std::size_t>(b));
  if (negative && p.sign == '(') out.push_back(')');
  return true;
}

std::string format_number(const Picture& p, double x) {
  if (!std::isfinite(x)) {
    return pad_left(std::isnan(x) ? "nan" : (x < 0 && p.sign ? "-inf" : "inf"), p.width);
  }
  std::string fast;
  if (format_number_fast(p, x, fast)) return fast;
  const Rounded r = round_decimal(x, p.decimals);
  if (r.zero && p.blank_zero) return std::string(static_cast<std::size_t>(p.width), ' ');
  std::string body = p.fill == 0 ? group_thousands(r.whole) : r.whole;
  if (p.decimals > 0) body += "." + r.frac;
  const bool negative = x < 0 && !r.zero && p.sign != 0;
  std::string lead = negative ? std::string(1, p.sign) : std::string();
  const std::string tail = negative && p.sign == '(' ? ")" : "";
  const auto used = static_cast<int>(lead.size() + body.size() + tail.size());
  if (used < p.width) {
    const auto pad = static_cast<std::size_t>(p.width - used);
    if (p.fill == '0')
      body.insert(0, pad, '0');
    else
      lead.insert(0, pad, ' ');
  }
  return lead + body + tail;
}

// --- dates and times -------------------------------------------------------------------------

std::string format_date(const Picture& p, std::int32_t serial) {
  if (serial == 0) return {};
  const Ymd d = ymd_of(serial);
  if (p.style == 3) {
    return std::string(kMonths[d.month - 1]) + " " + two_digits(d.day) + ", " + year_text(d.year);
  }
  return two_digits(d.month) + "/" + two_digits(d.day) + "/" + year_text(d.year);
}

std::string format_time(const Picture& p, std::int32_t serial) {
  if (serial == 0) return {};
  // The time of day of the serial: a serial past 24:00 or before 00:00 wraps into one day.
  std::int64_t s = (std::int64_t{serial} - 1) / 100 % 86400;
  if (s < 0) s += 86400;
  const std::int64_t h = s / 3600;
  const std::string mm = two_digits(s % 3600 / 60);
  if (p.style == 1) return two_digits(h) + ":" + mm;
  const std::int64_t h12 = h % 12 == 0 ? 12 : h % 12;
  return concat({h12 < 10 ? " " : "", std::to_string(h12), ":", mm, h < 12 ? "AM" : "PM"});
}

std::string fit_text(std::string_view text, int width) {
  std::string s(text.substr(0, static_cast<std::size_t>(width)));
  s.resize(static_cast<std::size_t>(width), ' ');
  return s;
}

}  // namespace

std::optional<Picture> read_picture(std::string_view code) {
  std::string_view s = code;
  Picture p;
  if (s.empty()) return std::nullopt;
  const char kind = lower(s.front());
  s.remove_prefix(1);
  if (kind == 'd' || kind == 't') {
    p.kind = kind == 'd' ? PictureKind::Date : PictureKind::Time;
    if (s.size() != 1) return std::nullopt;
    p.style = s.front() - '0';
    if (p.style != 3 && p.style != (kind == 'd' ? 2 : 1)) return std::nullopt;
    return p;
  }
  if (kind == 's') {
    p.kind = PictureKind::Text;
    const auto w = take_digits(s, 5);
    if (!w || !s.empty() || *w < 1 || *w > kMaxTextWidth) return std::nullopt;
    p.width = *w;
    return p;
  }
  if (kind != 'n') return std::nullopt;
  if (!s.empty() && (s.front() == '-' || s.front() == '(')) {
    p.sign = s.front();
    s.remove_prefix(1);
  }
  if (!s.empty() && (s.front() == '0' || s.front() == '_')) {
    p.fill = s.front();
    s.remove_prefix(1);
  }
  const auto w = take_digits(s, 3);
  if (!w || *w < 1 || *w > kMaxNumberWidth) return std::nullopt;
  p.width = *w;
  if (take(s, '.')) {
    const auto d = take_digits(s, 3);
    // Room for a digit and the point, or not even zero could be shown.
    if (!d || *d + 2 > p.width) return std::nullopt;
    p.decimals = *d;
  }
  if (p.sign == '(' && !take(s, ')')) return std::nullopt;
  p.blank_zero = take(s, 'b');
  if (!s.empty()) return std::nullopt;
  return p;
}

std::string format_value(const Picture& picture, double value) {
  switch (picture.kind) {
    case PictureKind::Number:
      return format_number(picture, value);
    case PictureKind::Date:
      return format_date(picture, dat(value));
    case PictureKind::Time:
      return format_time(picture, dat(value));
    case PictureKind::Text:
      return fit_text(plain_number(value), picture.width);
  }
  return plain_number(value);
}

std::string format_value(std::string_view picture, double value) {
  const auto p = read_picture(picture);
  return p ? format_value(*p, value) : plain_number(value);
}

std::string format_text(std::string_view picture, std::string_view text) {
  const auto p = read_picture(picture);
  if (p && p->kind == PictureKind::Text) return fit_text(text, p->width);
  return std::string(clip(text));
}

std::string date_text(std::int32_t serial) {
  return format_date(Picture{.kind = PictureKind::Date, .style = 2}, serial);
}

// --- reading typed values --------------------------------------------------------------------

namespace {

template <class T>
Parsed<T> reject(std::string reason) {
  return {std::nullopt, std::move(reason)};
}

std::string quoted(std::string_view s) {
  return concat({"\"", s, "\""});
}

Parsed<double> parse_number(const Picture& p, std::string_view typed) {
  std::string_view s = strip_blanks(typed);
  if (s.empty()) return {0.0, {}};
  bool negative = false;
  if (p.sign == '(' && s.front() == '(') {
    if (s.back() != ')') return reject<double>(quoted(typed) + " lacks its closing parenthesis.");
    s = s.substr(1, s.size() - 2);
    negative = true;
  }
  if (!negative && !s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  const std::size_t point = s.find('.');
  const std::string_view whole = s.substr(0, point);
  const std::string_view frac = point == std::string_view::npos ? "" : s.substr(point + 1);
  const auto digits_only = [](std::string_view v) { return std::ranges::all_of(v, is_digit); };
  std::string digits;
  for (const char c : whole)
    if (c != ',') digits.push_back(c);
  if (digits.empty() && frac.empty()) return reject<double>(quoted(typed) + " is not a number.");
  if (!digits_only(digits) || !digits_only(frac))
    return reject<double>(quoted(typed) + " is not a number.");
  if (whole.find(',') != std::string_view::npos) {
    // Groups of three only: "12,34" may be a decimal comma and must not become 1234.
    const std::size_t first = whole.find(',');
    bool ok = first >= 1 && first <= 3;
    for (std::size_t i = first; ok && i < whole.size(); i += 4)
      ok = whole[i] == ',' && i + 4 <= whole.size() && digits_only(whole.substr(i + 1, 3));
    if (!ok) return reject<double>(quoted(typed) + " has a misplaced thousands separator.");
  }
  const std::string_view significant = frac.substr(0, frac.find_last_not_of('0') + 1);
  if (std::ssize(significant) > p.decimals) {
    return reject<double>(p.decimals == 0 ? "No decimals are allowed here."
                                          : "At most " + std::to_string(p.decimals) +
                                                " decimals are allowed here.");
  }
  const std::size_t nz = digits.find_first_not_of('0');
  const std::string too_long =
      quoted(typed) + " is too long: at most " + std::to_string(p.width) + " characters.";
  if (nz != std::string::npos && std::ssize(digits) - static_cast<std::ptrdiff_t>(nz) > p.width)
    return reject<double>(too_long);
  const std::string number = (digits.empty() ? "0" : digits) + "." + std::string(significant) + "0";
  double v = 0;
  std::from_chars(number.data(), number.data() + number.size(), v);
  if (negative && v != 0 && p.sign == 0)
    return reject<double>("Negative numbers are not allowed here.");
  if (negative && v != 0) v = -v;
  if (std::ssize(format_number(p, v)) > p.width) return reject<double>(too_long);
  return {v, {}};
}

Parsed<std::int32_t> checked_date(int year, int month, int day) {
  if (year < 1) return reject<std::int32_t>("There is no year 0000.");
  if (month < 1 || month > 12)
    return reject<std::int32_t>("There is no month " + std::to_string(month) + ".");
  const auto serial = date_serial(year, month, day);
  if (!serial) {
    return reject<std::int32_t>("There is no day " + std::to_string(day) + " in " +
                                std::string(kMonthNames[month - 1]) + " " + year_text(year) + ".");
  }
  return {*serial, {}};
}

// m/d/yyyy; nothing when the text does not have that shape.
std::optional<Parsed<std::int32_t>> read_mdy(std::string_view s) {
  const auto m = take_digits(s, 2);
  if (!m || !take(s, '/')) return std::nullopt;
  const auto d = take_digits(s, 2);
  if (!d || !take(s, '/')) return std::nullopt;
  const std::size_t year_digits = s.size();
  const auto y = take_digits(s, 4);
  if (!y || year_digits != 4 || !s.empty()) return std::nullopt;
  return checked_date(*y, *m, *d);
}

// yyyy-m-d.
std::optional<Parsed<std::int32_t>> read_ymd(std::string_view s) {
  if (s.size() < 4 || !std::all_of(s.begin(), s.begin() + 4, is_digit)) return std::nullopt;
  const auto y = take_digits(s, 4);
  if (!y || !take(s, '-')) return std::nullopt;
  const auto m = take_digits(s, 2);
  if (!m || !take(s, '-')) return std::nullopt;
  const auto d = take_digits(s, 2);
  if (!d || !s.empty()) return std::nullopt;
  return checked_date(*y, *m, *d);
}

// "Mar 7, 2009" as the "d3" picture shows it; the comma and letter case are free.
std::optional<Parsed<std::int32_t>> read_month_name(std::string_view s) {
  if (s.size() < 3) return std::nullopt;
  int month = 0;
  for (int i = 0; i < 12 && month == 0; ++i) {
    if (std::equal(s.begin(), s.begin() + 3, kMonths[i].begin(),
                   [](char a, char b) { return lower(a) == lower(b); }))
      month = i + 1;
  }
  s.remove_prefix(3);
  if (month == 0 || !take(s, ' ')) return std::nullopt;
  s = strip_blanks(s);
  const auto d = take_digits(s, 2);
  if (!d) return std::nullopt;
  take(s, ',');
  s = strip_blanks(s);
  if (s.size() != 4) return std::nullopt;
  const auto y = take_digits(s, 4);
  if (!y || !s.empty()) return std::nullopt;
  return checked_date(*y, month, *d);
}

Parsed<double> parse_date(const Picture& p, std::string_view typed) {
  const std::string_view s = strip_blanks(typed);
  if (s.empty()) return {0.0, {}};
  auto r = read_mdy(s);
  if (!r && p.style == 3) r = read_month_name(s);
  if (!r) return reject<double>(quoted(typed) + " is not a date: type it as mm/dd/yyyy.");
  if (!*r) return reject<double>(r->reason);
  return {static_cast<double>(*r->value), {}};
}

Parsed<double> parse_time(const Picture& p, std::string_view typed) {
  std::string_view s = strip_blanks(typed);
  if (s.empty()) return {0.0, {}};
  const std::string shape = quoted(typed) + " is not a time: type it as hh:mm.";
  const auto h = take_digits(s, 2);
  if (!h || !take(s, ':')) return reject<double>(shape);
  const std::size_t minute_digits = s.size() >= 2 && is_digit(s[0]) && is_digit(s[1]) ? 2 : 0;
  const auto m = take_digits(s, 2);
  if (!m || minute_digits != 2) return reject<double>(shape);
  int hours = *h;
  s = strip_blanks(s);
  if (p.style == 3 && s.size() == 2 && lower(s[1]) == 'm' &&
      (lower(s[0]) == 'a' || lower(s[0]) == 'p')) {
    if (hours < 1 || hours > 12) return reject<double>("Hours run from 1 to 12 before AM or PM.");
    hours = hours % 12 + (lower(s[0]) == 'p' ? 12 : 0);
    s = {};
  }
  if (!s.empty()) return reject<double>(shape);
  if (hours > 23) return reject<double>("Hours run from 00 to 23.");
  if (*m > 59) return reject<double>("Minutes run from 00 to 59.");
  return {static_cast<double>(tod(hours, *m)), {}};
}

template <class T>
Parsed<T> no_picture(std::string_view code) {
  return reject<T>(quoted(code) + " is not a picture for this value.");
}

}  // namespace

Parsed<double> parse_value(const Picture& picture, std::string_view typed) {
  switch (picture.kind) {
    case PictureKind::Number:
      return parse_number(picture, typed);
    case PictureKind::Date:
      return parse_date(picture, typed);
    case PictureKind::Time:
      return parse_time(picture, typed);
    case PictureKind::Text:
      break;
  }
  return reject<double>("A text picture holds no number.");
}

Parsed<double> parse_value(std::string_view picture, std::string_view typed) {
  const auto p = read_picture(picture);
  if (!p || p->kind == PictureKind::Text) return no_picture<double>(picture);
  return parse_value(*p, typed);
}

Parsed<std::string> parse_text(std::string_view picture, std::string_view typed) {
  const auto p = read_picture(picture);
  if (!p || p->kind != PictureKind::Text) return no_picture<std::string>(picture);
  const std::string_view s = clip(typed);
  if (std::ssize(s) > p->width) {
    return reject<std::string>("At most " + std::to_string(p->width) +
                               " characters are allowed here.");
  }
  return {std::string(s), {}};
}

Parsed<std::int32_t> parse_cli_date(std::string_view typed) {
  const std::string_view s = strip_blanks(typed);
  auto r = read_mdy(s);
  if (!r) r = read_ymd(s);
  if (!r)
    return reject<std::int32_t>(quoted(typed) + " is not a date: use mm/dd/yyyy or yyyy-mm-dd.");
  return *r;
}

}  // namespace mervane
