#include "core/import/page_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "core/import/page_row.h"
#include "core/util/dates.h"

namespace mervane {
namespace {

// Widths the page file and the day buffer were built around.
constexpr std::size_t kLineWidth = 9999;   // a longer line reads as several of this width
constexpr std::size_t kBuffWidth = 65500;  // the day buffer, end marker included
constexpr std::size_t kCellWidth = 9999;   // one cell's captured text

constexpr std::string_view kEndMarker = "<------------------------------>";
constexpr std::string_view kTableEnd = "</table>";
// The scan stops 30 characters before the end of the buffer: with the end marker in place that
// is its second character, so every fixed-position test below stays inside the buffer.
constexpr std::size_t kScanMargin = 30;

constexpr std::array<std::string_view, 7> kDayNames = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fri", "Sat"};
constexpr std::array<std::string_view, 12> kMonths = {
    "Jan ", "Feb ", "Mar ", "Apr ", "May ", "Jun ", "Jul ", "Aug ", "Sep ", "Oct ", "Nov ", "Dec "};

// Day dates stay this far inside the 32-bit range, so the week clearing (+6 days) and the hour
// offset's day adjustment cannot overflow.
constexpr std::int64_t kDateMargin = 1 << 20;
constexpr std::int64_t kMinDate = std::numeric_limits<std::int32_t>::min() + kDateMargin;
constexpr std::int64_t kMaxDate = std::numeric_limits<std::int32_t>::max() - kDateMargin;

// Characters at which a rule of the token scan can match.
constexpr std::array<bool, 256> kRuleStart = [] {
  std::array<bool, 256> t{};
  for (unsigned char c : std::string_view("<>ALMHNR")) t[c] = true;
  return t;
}();

bool at(std::string_view s, std::size_t p, std::string_view token) {
  return s.size() - p >= token.size() && std::memcmp(s.data() + p, token.data(), token.size()) == 0;
}

// Rules 5 to 8: the impact words, each continuing at its own last character.
struct ImpactToken {
  std::string_view token;
  std::string_view code;
  bool nonecon_only;
};
constexpr std::array<ImpactToken, 4> kImpactTokens = {{
    {"Low Impact Expected", "1", false},
    {"Medium Impact Expected", "2", false},
    {"High Impact Expected", "3", false},
    {"Non-Economic", "1", true},
}};

const ImpactToken* impact_at(std::string_view d, std::size_t p, bool nonecon) {
  for (const ImpactToken& t : kImpactTokens)
    if (d[p] == t.token[0] && (nonecon || !t.nonecon_only) && at(d, p, t.token)) return &t;
  return nullptr;
}

// Position of the day marker a line holds: ">Sun<" before ">Mon<" ... before ">Sat<" whatever
// their places in the line, each at its first occurrence. npos when there is none.
std::size_t find_day_marker(std::string_view line) {
  std::size_t best = std::string_view::npos;
  std::size_t best_day = kDayNames.size();
  const char* const begin = line.data();
  const char* const end = begin + line.size();
  for (const char* q = begin; end - q >= 5;) {
    q = static_cast<const char*>(std::memchr(q, '>', static_cast<std::size_t>(end - q - 4)));
    if (!q) break;
    if (q[4] == '<') {
      for (std::size_t d = 0; d < best_day; ++d) {
        if (std::memcmp(q + 1, kDayNames[d].data(), 3) == 0) {
          best_day = d;
          best = static_cast<std::size_t>(q - begin);
          break;
        }
      }
      if (best_day == 0) break;
    }
    ++q;
  }
  return best;
}

// The number at the start of at most two characters: leading blanks skipped, digits up to the
// first non-digit, 0 when there are none.
int day_number(std::string_view s) {
  s = s.substr(0, 2);
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  int n = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) n = n * 10 + (s[i] - '0');
  return n;
}

}  // namespace

struct PageReader::State {
  PageOptions options;
  PageSink* sink;
  std::string buff;  // clipped: it never ends in a blank
  std::string day;   // the day buffer with its end marker, while it is scanned
  bool dated = false;
  std::int32_t day_date = 0;
  std::int32_t calproc = 0;
  std::int32_t column = 0;
  RowFields row;
  PageEvent event;

  // A day longer than the buffer: whether the text the buffer could not hold has the table's
  // end, and the last characters of that text (a "</table>" may span two lines).
  bool cut = false;
  bool table_end_beyond = false;
  std::string carry;

  void append(std::string_view s) {
    const std::size_t room = kBuffWidth - buff.size();
    if (!cut && s.size() > room) {
      cut = true;
      carry = buff.substr(buff.size() - std::min(buff.size(), kTableEnd.size() - 1));
    }
    if (cut) watch_beyond(s);
    buff.append(s.data(), s.size() < room ? s.size() : room);
    while (!buff.empty() && buff.back() == ' ') buff.pop_back();
  }

  void watch_beyond(std::string_view s) {
    if (table_end_beyond) return;
    carry.append(s.data(), s.size());
    table_end_beyond = carry.find(kTableEnd) != std::string::npos;
    carry.erase(0, carry.size() - std::min(carry.size(), kTableEnd.size() - 1));
  }

  void new_day() {
    buff.clear();
    cut = table_end_beyond = false;
    carry.clear();
  }

  bool day_has_table_end() const {
    return table_end_beyond || buff.find(kTableEnd) != std::string::npos;
  }

  void read_line(std::string_view line);
  void scan_day();
  bool date_day();
  void store_cell(std::string_view text);
  void finish();
};

void PageReader::State::read_line(std::string_view line) {
  line = clip(line);
  const std::size_t m = find_day_marker(line);
  if (m == std::string_view::npos) {
    if (!buff.empty()) append(line);
    return;
  }
  if (!buff.empty()) {
    append(line.substr(0, m + 1));
    scan_day();
  }
  new_day();
  append(line.substr(m + 1));
}

bool PageReader::State::date_day() {
  if (dated) {
    if (day_date >= kMaxDate) return false;
    ++day_date;
    return true;
  }
  for (std::size_t month = 0; month < kMonths.size(); ++month) {
    const std::size_t pos = day.find(kMonths[month]);
    if (pos == std::string::npos) continue;
    const std::size_t m = pos + kMonths[month].size();
    const int d = day_number(std::string_view(day).substr(m < day.size() ? m : day.size()));
    // An out-of-range day counts on from the month's start (day 0 is the last of the month
    // before), as the calendar date function of the page's first reader did.
    const std::int64_t serial =
        days_of(ymd_of(options.request_date).year, static_cast<int>(month) + 1, d);
    if (serial < kMinDate || serial > kMaxDate) return false;
    dated = true;
    day_date = calproc = static_cast<std::int32_t>(serial);
    sink->delete_week(day_date);
    return true;
  }
  return false;
}

void PageReader::State::store_cell(std::string_view text) {
  switch (column) {
    case 1:
      row.stime = text;
      break;
    case 2:
      row.sccy = text;
      break;
    case 4:
      row.sdescr = text;
      break;
    case 6:
      row.sact = text;
      break;
    case 7:
      row.sfcast = text;
      break;
    case 8:
      row.sprev = text;
      break;
    default:
      break;
  }
}

void PageReader::State::finish() {
  if (finish_row(row, options, day_date, event)) sink->store(event);
  row = RowFields{};
}

void PageReader::State::scan_day() {
  if (buff.empty()) return;
  // A day that fills the buffer loses the end marker, or part of it; the scan then stops where
  // a rule finds no "<" to close a text run, and the fixed-position tests stay inside the
  // buffer through kScanMargin all the same.
  day.assign(buff);
  const std::size_t room = day.size() < kBuffWidth ? kBuffWidth - day.size() : 0;
  day.append(kEndMarker.data(), std::min(kEndMarker.size(), room));
  if (!date_day()) return;
  column = 0;
  row = RowFields{};

  const std::string_view d(day);
  const std::size_t n = clip(d).size();
  if (n <= kScanMargin) return;
  const std::size_t last = n - kScanMargin - 1;  // the last position the scan tests
  std::size_t p = 0;
  while (p <= last) {
    if (!kRuleStart[static_cast<unsigned char>(d[p])]) {
      ++p;
      continue;
    }
    switch (d[p]) {
      case '<':
        if (at(d, p, kTableEnd)) return;
        if (at(d, p, "</td>")) {
          ++column;
          p += 4;
          continue;
        }
        if (at(d, p, "</tr>")) {
          finish();
          column = 1;
          p += 4;
          continue;
        }
        break;
      case '>':
        if (d[p + 1] != '<') {
          const std::size_t e = d.find('<', p + 1);
          if (e == std::string_view::npos) return;  // the text runs to the end of a full buffer
          const std::string_view text = d.substr(p + 1, std::min(e - p - 1, kCellWidth));
          if (!clip(text).empty()) store_cell(text);
          p = e;
          continue;
        }
        break;
      case 'A':
        if (at(d, p, "Array('detail_load_")) {
          // Without a closing quote the token is passed over and the KX ID keeps its value.
          const std::size_t e = d.find('\'', p + 19);
          if (e == std::string_view::npos) {
            p += 19;
          } else {
            row.skxid = d.substr(p + 19, e - p - 19);
            p = e;
          }
          continue;
        }
        break;
      case 'L':
      case 'M':
      case 'H':
      case 'N':
        if (const ImpactToken* t = impact_at(d, p, options.nonecon)) {
          row.simpct = t->code;
          p += t->token.size() - 1;
          continue;
        }
        break;
      case 'R':
        if (at(d, p, "Revised From")) {
          // The value starts one character after the token and runs to the next double quote;
          // without one the token is passed over and the field keeps its value.
          const std::size_t e = d.find('"', p + 1);
          if (e == std::string_view::npos) {
            p += 12;
          } else {
            row.srevfrm = e > p + 13 ? d.substr(p + 13, e - p - 13) : std::string_view();
            p = e;
          }
          continue;
        }
        break;
      default:
        break;
    }
    ++p;
  }
}

PageReader::PageReader(const PageOptions& options, PageSink& sink)
    : state_(std::make_unique<State>()) {
  state_->options = options;
  state_->sink = &sink;
  state_->buff.reserve(kBuffWidth);
  state_->day.reserve(kBuffWidth);
}

PageReader::~PageReader() = default;

void PageReader::line(std::string_view text) {
  // The page's line record holds 9,999 characters; a longer line continues in the next record,
  // so it is read as several lines (which join without a separator all the same).
  do {
    state_->read_line(text.substr(0, kLineWidth));
    text.remove_prefix(text.size() < kLineWidth ? text.size() : kLineWidth);
  } while (!text.empty());
}

PageEnd PageReader::end() {
  State& s = *state_;
  s.scan_day();
  const PageEnd how = !s.dated                ? PageEnd::NoDays
                      : s.day_has_table_end() ? PageEnd::Whole
                                              : PageEnd::CutShort;
  s.new_day();
  s.sink->page_done();
  return how;
}

std::int32_t PageReader::calproc() const {
  return state_->calproc;
}

bool PageReader::dated() const {
  return state_->dated;
}

}  // namespace mervane
