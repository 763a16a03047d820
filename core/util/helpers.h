// The program's small helper functions: cutting, padding, searching and replacing text, and
// taking date and time serials apart.
//
// All are plain functions without state; none fails or reports anything. Texts are single-byte
// (Windows-1252) and positions count from 1 in the descriptions below. "Clipped" means without
// trailing blanks (character 32 only; tabs stay). Results are clipped unless a function says
// otherwise. Results stated "at most W characters" are cut at W without notice.
//
// Counts that no caller passes (a negative repeat count, a part longer than its text, a blank
// search text) have the results noted at each function. Text-producing counts are bounded by
// kMaxTextWidth, the widest text field, so no argument can ask for gigabytes of blanks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace mervane {

constexpr std::int32_t kMaxTextWidth = 65535;

// 1 if x > 0, -1 if x < 0, 0 if x is 0 (or not a number).
std::int32_t sgn(double x);
// The smaller / larger of a and b; a when they compare equal or either is not a number.
double lo(double a, double b);
double hi(double a, double b);

// Search and replace with significant blanks. find, text and replacement are first put into
// underscore form, each with its own tail of significant trailing blanks (to_()); every
// occurrence of find in text is then replaced, from left to right, without overlaps and without
// searching replaced text again; the result comes back out of underscore form (from_()), so an
// "_" anywhere in the three texts returns as a blank. At most 132 characters.
// A blank find text (no characters after to_()) replaces nothing: the result is text out of
// underscore form, as when find does not occur.
std::string srep(std::string_view find, std::string_view text, std::string_view replacement,
                 std::int32_t find_tail = 0, std::int32_t text_tail = 0,
                 std::int32_t replacement_tail = 0);

// s out of underscore form: each run of marks becomes as many blanks, marks at the end are
// dropped, and genuine blanks of s are dropped. Only the first character of mark counts (an
// empty mark is a blank). At most 132 characters.
std::string from_(std::string_view s, std::string_view mark = "_");

// s in underscore form: every blank up to the clipped length becomes the mark, then tail marks
// are appended (none for tail <= 0). A blank mark therefore removes the blanks. Only the first
// character of mark counts (an empty mark is a blank). At most 132 characters.
std::string to_(std::string_view s, std::int32_t tail = 0, std::string_view mark = "_");

// The part of s left of the chosen occurrence of the clipped delimiter, plus `extra` characters.
// which > 0 counts occurrences from the left (non-overlapping), which < 0 from the right (-1 is
// the last; an occurrence at position 1 is never counted), which = 0 takes the end of s. The
// result is the first (position - 1 + extra) characters of clipped s; empty when fewer
// occurrences exist than asked for or that count falls outside 1 .. clipped length.
// A blank delimiter never occurs: the result is empty unless which = 0.
// extl("C:\\a\\News.CSV", "\\", -1, 1) == "C:\\a\\" (the folder of a path).
std::string extl(std::string_view s, std::string_view delimiter, std::int32_t which = 1,
                 std::int32_t extra = 0);

// Clipped s followed by copies of fill up to width characters (rpt()); a longer s is returned
// clipped and uncut. Not clipped afterwards: rfill("ab", 4, " ") == "ab  ".
std::string rfill(std::string_view s, std::int32_t width, std::string_view fill);

// n >= 0: the last n characters of clipped s (all of it when n exceeds its length).
// n < 0: clipped s without its first |n| characters (empty when |n| exceeds its length).
std::string subr(std::string_view s, std::int32_t n);
// n >= 0: the first n characters of s, clipped (all of s when n exceeds its length).
// n < 0: clipped s without its last |n| characters (empty when |n| exceeds its length).
std::string subl(std::string_view s, std::int32_t n);

// Clipped a, gap blanks (none for gap <= 0), clipped b. Not clipped afterwards: the blanks stay
// when b is empty.
std::string str(std::string_view a, std::string_view b, std::int32_t gap = 0);

// The given texts joined with str(result, next, gap) in turn, clipped, at most 255 characters.
std::string strx_of(std::int32_t gap, std::initializer_list<std::string_view> texts);

// A text argument of strx(). A number is never one: a literal 0 would convert to a text, so a
// number in front always means the gap.
template <class T>
concept StrxText = std::is_convertible_v<const T&, std::string_view> && !std::is_arithmetic_v<T>;

// strx(gap, s1 [, s2 ... s8]) and strx(s1 [, s2 ... s8]) with a gap of 0.
template <StrxText... More>
std::string strx(std::int32_t gap, std::string_view s1, const More&... more) {
  static_assert(sizeof...(More) <= 7, "strx joins at most 8 texts");
  return strx_of(gap, {s1, std::string_view(more)...});
}
template <StrxText First, StrxText... More>
std::string strx(const First& s1, const More&... more) {
  static_assert(sizeof...(More) <= 7, "strx joins at most 8 texts");
  return strx_of(0, {std::string_view(s1), std::string_view(more)...});
}

// Exactly n characters of copies of s, the last one cut where the n characters end; not
// clipped. n <= 0 gives the empty text; an empty s counts as one blank (as a blank text field
// would); n is capped at kMaxTextWidth.
std::string rpt(std::string_view s, std::int32_t n);

// s without any blank (leading, inner or trailing); tabs stay. At most 255 characters.
std::string trim(std::string_view s);

// Clipped length of s.
std::int32_t leng(std::string_view s);

// a - b * trunc(a / b): the remainder has the sign of a. mod(a, 0) is a (nothing is taken
// away), and mod(INT32_MIN, -1) is 0.
std::int32_t mod(std::int32_t a, std::int32_t b);

// x minus its whole part (truncated toward zero); not a number for infinities.
double dec(double x);

// Time serial of a date-time number: the fraction of the day rounded to the nearest second.
// A negative number gives a time counted back from midnight (a serial below 1), as the rule
// reads; a value that is not a finite number gives 0.
std::int32_t tim(double x);
// Date serial of a date-time number, truncated toward zero; beyond 32 bits it is held at the
// nearest limit, and a value that is not a number gives 0.
std::int32_t dat(double x);
// Date-time number: date plus the whole seconds of time as a fraction of a day (hundredths are
// dropped; time 0 counts as midnight). dat() and tim() give date and time back for dates from
// day 0 on; before day 0 the truncation toward zero of dat() lands on the next day.
double datim(std::int32_t date, std::int32_t time);

// English weekday name of a date serial ("Sunday" for serial mod 7 = 0), negative serials too.
std::string dow(std::int32_t date);

// Whole hours since midnight of a time serial, not reduced modulo 24 (negative before it).
std::int32_t hour(std::int32_t time);
// Minutes past the hour, 0-59, for every time serial (counted forward from the hour below).
std::int32_t minute(std::int32_t time);
// ((hours * 60 + minutes) * 60 + seconds) * 100 + 1 without range checks, so parts out of range
// shift the result (offsets are added this way). Computed in 64 bits; a result beyond 32 bits
// wraps modulo 2^32 as 32-bit arithmetic would.
std::int32_t tod(std::int32_t hours, std::int32_t minutes = 0, std::int32_t seconds = 0);

}  // namespace mervane
