#include "core/import/days_page.h"

#include <simdjson.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_set>

#include "core/import/page_row.h"
#include "core/import/page_script.h"
#include "core/model/settings.h"
#include "core/util/charset.h"
#include "core/util/dates.h"
#include "core/util/picture.h"

namespace mervane {
namespace {

namespace dom = simdjson::dom;

constexpr std::string_view kStateTarget = "window.calendarComponentStates[1]";
constexpr std::string_view kSettingsTarget = "window.FF";
// A month has at most 31 days; a page listing more than two months of them is not one of the
// service's pages, and would clear too much history if it were taken as one.
constexpr std::int32_t kMaxPageDays = 62;
constexpr std::int64_t kSecondsPerDay = 86400;

struct Refusal {
  DaysProblem problem;
};

[[noreturn]] void refuse(std::optional<std::size_t> offset, std::string text) {
  throw Refusal{DaysProblem{offset, std::move(text)}};
}

std::string date_shown(std::int64_t serial) {
  return format_value("d2", static_cast<double>(serial));
}

// Whether UNIX seconds lie within the dates a page may hold (a day either side of 1900 to 2099).
bool plausible(std::int64_t unix) {
  return unix >= unix_seconds(kFirstSettingDate - 1) && unix < unix_seconds(kLastSettingDate + 2);
}

std::string date_range() {
  return date_shown(kFirstSettingDate) + " to " + date_shown(kLastSettingDate);
}

// The release instant as a date serial and seconds of that day, UTC.
WallTime utc_of(std::int64_t unix) {
  const std::int64_t days = unix >= 0 ? unix / kSecondsPerDay : -((-unix - 1) / kSecondsPerDay) - 1;
  return WallTime{days + kUnixEpochSerial, unix - days * kSecondsPerDay};
}

// "hh:mm" of seconds of a day; written out by hand, as every event needs two of them.
std::string hh_mm(std::int64_t seconds) {
  const int h = static_cast<int>(seconds / 3600 % 24), m = static_cast<int>(seconds / 60 % 60);
  if (h < 0 || m < 0) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d", h, m);
    return buf;
  }
  const auto digit = [](int d) { return static_cast<char>('0' + d); };
  return {digit(h / 10), digit(h % 10), ':', digit(m / 10), digit(m % 10)};
}

// An integer member: a JSON integer, or a number without a fraction.
std::optional<std::int64_t> integer(dom::element v) {
  std::int64_t i = 0;
  if (v.get_int64().get(i) == simdjson::SUCCESS) return i;
  double d = 0;
  if (v.get_double().get(d) == simdjson::SUCCESS && d > -9e15 && d < 9e15 && d == std::trunc(d))
    return static_cast<std::int64_t>(d);
  return std::nullopt;
}

// A text member: a string as it stands, a number as written, anything else (null) empty.
std::string_view text_of(dom::element v, std::string& number) {
  std::string_view s;
  if (v.get_string().get(s) == simdjson::SUCCESS) return s;
  if (v.is_number()) {
    number = simdjson::minify(v);
    return number;
  }
  return {};
}

// The members of an event this reader takes; the rest are passed over.
struct EventMembers {
  std::optional<std::int64_t> id, dateline;
  std::string_view name, currency, impact, label, actual, forecast, previous, revision;
  std::string numbers[7];  // backing of values written as numbers
  std::optional<bool> masked;
  bool has_name = false;
};

// Whether a member's key is `name`, compared as bytes of a known length (a few loads, no call:
// an event has some fifty members, of which the reader takes ten).
template <std::size_t N>
bool named(std::string_view key, const char (&name)[N]) {
  return key.size() == N - 1 && std::memcmp(key.data(), name, N - 1) == 0;
}

void take_member(EventMembers& m, std::string_view key, dom::element v) {
  switch (key.size()) {
    case 2:
      if (named(key, "id")) m.id = integer(v);
      break;
    case 4:
      if (named(key, "name")) m.has_name = v.get_string().get(m.name) == simdjson::SUCCESS;
      break;
    case 6:
      if (named(key, "actual")) m.actual = text_of(v, m.numbers[0]);
      break;
    case 8:
      if (named(key, "currency")) m.currency = text_of(v, m.numbers[1]);
      if (named(key, "forecast")) m.forecast = text_of(v, m.numbers[2]);
      if (named(key, "previous")) m.previous = text_of(v, m.numbers[3]);
      if (named(key, "revision")) m.revision = text_of(v, m.numbers[4]);
      if (named(key, "dateline")) m.dateline = integer(v);
      break;
    case 9:
      if (named(key, "timeLabel")) m.label = text_of(v, m.numbers[6]);
      break;
    case 10:
      if (named(key, "impactName")) m.impact = text_of(v, m.numbers[5]);
      if (named(key, "timeMasked")) {
        bool b = false;
        if (v.get_bool().get(b) == simdjson::SUCCESS) m.masked = b;
      }
      break;
    default:
      break;
  }
}

// The page's times in MT4 time, by the zones or by OFFSET1.
class PageClock {
 public:
  PageClock(const ZoneSetting& display, const PageOptions& o) : offset1_(o.offset1) {
    const ZoneSetting utc{"UTC", 0};
    std::optional<ZoneConversion> c;
    if (ZoneConversion::make(utc, display, c).failed())
      refuse(std::nullopt, "the page's time zone " + display.name + " cannot be used");
    display_ = c;
    if (!o.mt4_zone) return;
    if (ZoneConversion::make(utc, *o.mt4_zone, c).failed())
      refuse(std::nullopt, "MT4ZONE " + o.mt4_zone->text() + " cannot be used");
    utc_to_mt4_ = c;
    if (ZoneConversion::make(display, *o.mt4_zone, c).failed())
      refuse(std::nullopt, "MT4ZONE " + o.mt4_zone->text() + " cannot be used");
    display_to_mt4_ = c;
  }

  // The date and time an instant shows in the display zone.
  WallTime shown(std::int64_t unix) const {
    const WallTime u = utc_of(unix);
    return display_->convert(u.date, u.seconds);
  }

  // MT4 time of a timed event (its instant) or of an untimed one (00:01 of its day, shown).
  WallTime mt4_timed(std::int64_t unix, const WallTime& shown) const {
    if (!utc_to_mt4_) return by_offset(shown);
    const WallTime u = utc_of(unix);
    return utc_to_mt4_->convert(u.date, u.seconds);
  }
  WallTime mt4_untimed(std::int32_t day) const {
    const WallTime shown{day, 60};
    return display_to_mt4_ ? display_to_mt4_->convert(day, 60) : by_offset(shown);
  }

 private:
  WallTime by_offset(const WallTime& shown) const {
    const TimeShift::Result r =
        TimeShift(offset1_).apply(static_cast<std::int32_t>(shown.date), shown.seconds / 3600,
                                  static_cast<int>(shown.seconds / 60 % 60));
    return WallTime{r.date, r.hour * 3600 + r.minute * 60};
  }

  std::int16_t offset1_;
  std::optional<ZoneConversion> display_, utc_to_mt4_, display_to_mt4_;
};

// The first byte simdjson cannot read, found by walking every value with its on-demand parser
// (its DOM parser, which reads the page, says what is wrong but not where).
std::optional<std::size_t> json_error_offset(const char* json, std::size_t len) {
  simdjson::padded_string copy(json, len);
  simdjson::ondemand::parser parser;
  simdjson::ondemand::document doc;
  if (parser.iterate(copy).get(doc) != simdjson::SUCCESS) return std::nullopt;
  std::optional<std::size_t> at;
  const auto here = [&]() {
    const char* p = nullptr;
    if (doc.current_location().get(p) == simdjson::SUCCESS && p >= copy.data() &&
        p <= copy.data() + len)
      at = static_cast<std::size_t>(p - copy.data());
    else
      at = len;
    return false;
  };
  // Recursion is bounded by simdjson's own depth limit.
  const auto walk = [&](auto& self, simdjson::ondemand::value v) -> bool {
    simdjson::ondemand::json_type type;
    if (v.type().get(type) != simdjson::SUCCESS) return here();
    switch (type) {
      case simdjson::ondemand::json_type::array: {
        simdjson::ondemand::array a;
        if (v.get_array().get(a) != simdjson::SUCCESS) return here();
        for (auto item : a) {
          simdjson::ondemand::value child;
          if (std::move(item).get(child) != simdjson::SUCCESS || !self(self, child)) return here();
        }
        return true;
      }
      case simdjson::ondemand::json_type::object: {
        simdjson::ondemand::object o;
        if (v.get_object().get(o) != simdjson::SUCCESS) return here();
        for (auto field : o) {
          simdjson::ondemand::field f;
          std::string_view key;
          if (std::move(field).get(f) != simdjson::SUCCESS ||
              f.unescaped_key().get(key) != simdjson::SUCCESS || !self(self, f.value()))
            return here();
        }
        return true;
      }
      case simdjson::ondemand::json_type::string: {
        std::string_view s;
        return v.get_string().get(s) == simdjson::SUCCESS || here();
      }
      case simdjson::ondemand::json_type::number: {
        simdjson::ondemand::number n;
        return v.get_number().get(n) == simdjson::SUCCESS || here();
      }
      case simdjson::ondemand::json_type::boolean: {
        bool b;
        return v.get_bool().get(b) == simdjson::SUCCESS || here();
      }
      case simdjson::ondemand::json_type::null: {
        bool n;
        return (v.is_null().get(n) == simdjson::SUCCESS && n) || here();
      }
    }
    return here();
  };
  simdjson::ondemand::value root;
  if (doc.get_value().get(root) != simdjson::SUCCESS) {
    here();
    return at;
  }
  walk(walk, root);
  return at;
}

// Reads the days of one block into the page.
class DaysReader {
 public:
  DaysReader(const PageOptions& o, const PageClock& clock, DaysPage& page)
      : options_(o), clock_(clock), page_(page) {}

  // The dates of the day objects read, in page order.
  const std::vector<std::int32_t>& days() const { return days_; }

  void block(std::string_view bytes, const ScriptCut& cut) {
    std::string_view json = cut.of(bytes);
    // simdjson reads up to 64 bytes past the end of its input, which the rest of the page
    // provides; a list that ends the file is copied.
    const bool in_place = bytes.size() - cut.end >= simdjson::SIMDJSON_PADDING;
    simdjson::padded_string copy;
    dom::element root;
    simdjson::error_code err = simdjson::SUCCESS;
    if (in_place) {
      err = parser_.parse(json.data(), json.size(), false).get(root);
    } else {
      copy = simdjson::padded_string(json);
      err = parser_.parse(copy).get(root);
    }
    if (err == simdjson::UTF8_ERROR) {
      // The page is Windows-1252, as it declares.
      copy = simdjson::padded_string(utf8_from_cp1252(json));
      err = parser_.parse(copy).get(root);
      if (err == simdjson::SUCCESS) json = std::string_view(copy.data(), copy.size());
    }
    if (err != simdjson::SUCCESS) {
      const std::optional<std::size_t> at = json_error_offset(json.data(), json.size());
      refuse(cut.begin + std::min(at.value_or(0), cut.end - cut.begin),
             std::string("the days list is not valid JSON (") + simdjson::error_message(err) + ")");
    }
    dom::array days;
    if (root.get_array().get(days) != simdjson::SUCCESS)
      refuse(cut.begin, "the days value is not a list");
    // Room for every event listed, so that the events are not moved as the list grows.
    std::size_t listed = page_.events.size();
    for (dom::element day : days) {
      dom::array events;
      if (day["events"].get_array().get(events) == simdjson::SUCCESS) listed += events.size();
    }
    page_.events.reserve(listed);
    std::size_t n = 0;
    for (dom::element day : days) day_object(day, ++n, cut.begin);
  }

 private:
  void day_object(dom::element day, std::size_t n, std::size_t at) {
    const std::string which = "day " + std::to_string(n) + " of the days list";
    dom::object o;
    if (day.get_object().get(o) != simdjson::SUCCESS) refuse(at, which + " is not an object");
    std::optional<std::int64_t> dateline;
    dom::array events;
    bool has_events = false;
    for (dom::key_value_pair m : o) {
      if (m.key == "dateline") dateline = integer(m.value);
      if (m.key == "events") has_events = m.value.get_array().get(events) == simdjson::SUCCESS;
    }
    if (!dateline) refuse(at, which + " has no dateline");
    if (!has_events) refuse(at, which + " has no list of events");
    const WallTime shown = plausible(*dateline) ? clock_.shown(*dateline) : WallTime{};
    if (!plausible(*dateline) || shown.date < kFirstSettingDate || shown.date > kLastSettingDate)
      refuse(at, which + " is dated outside " + date_range());
    const auto date = static_cast<std::int32_t>(shown.date);
    days_.push_back(date);
    for (dom::element e : events) event(e, date, at);
  }

  void event(dom::element e, std::int32_t day, std::size_t at) {
    dom::object o;
    if (e.get_object().get(o) != simdjson::SUCCESS)
      refuse(at, "an event of " + date_shown(day) + " is not an object");
    EventMembers m;
    for (dom::key_value_pair kv : o) take_member(m, kv.key, kv.value);
    if (!m.id) refuse(at, "an event of " + date_shown(day) + " has no id");
    if (!seen_.insert(*m.id).second) return;  // a browser's saved copy lists it twice
    ++page_.items;
    const auto which = [&] { return "event " + std::to_string(*m.id); };
    if (!m.has_name) refuse(at, which() + " of " + date_shown(day) + " has no name");

    // "All Day", "Tentative" and the like are masked; a page without the flag shows a clock
    // time as a digit first.
    const bool masked =
        m.masked ? *m.masked : (m.label.empty() || m.label[0] < '0' || m.label[0] > '9');
    RowFields row;
    WallTime mt4;
    if (masked) {
      row.stime = page_text(m.label, true);
      mt4 = clock_.mt4_untimed(day);
    } else {
      if (!m.dateline) refuse(at, which() + " of " + date_shown(day) + " has no dateline");
      if (!plausible(*m.dateline))
        refuse(at, which() + " of " + date_shown(day) + " is dated outside " + date_range());
      const WallTime shown = clock_.shown(*m.dateline);
      if (shown.date != day)
        refuse(at, which() + " (" + page_text(m.name, true) + ") is at " + date_shown(shown.date) +
                       " " + hh_mm(shown.seconds) + ", not on " + date_shown(day) +
                       ", the day that lists it");
      row.stime = hh_mm(shown.seconds);
      mt4 = clock_.mt4_timed(*m.dateline, shown);
    }
    row.sccy = page_text(m.currency, true);
    row.sdescr = page_text(m.name, true);
    row.simpct = impact_code(page_text(m.impact, true), options_.nonecon);
    row.sact = page_text(m.actual, true);
    row.sfcast = page_text(m.forecast, true);
    std::string revision = page_text(m.revision, true);
    const bool revised = !revision.empty();
    row.sprev = revised ? std::move(revision) : page_text(m.previous, true);
    if (revised) row.srevfrm = page_text(m.previous, true);
    row.skxid = std::to_string(*m.id);
    PageEvent out;
    if (!finish_row(row, options_, day, out, RowTexts::Plain,
                    masked ? RowTime::UntimedLabel : RowTime::Cell))
      return;
    if (mt4.date < kMinMt4Date || mt4.date > kMaxMt4Date) return;
    out.date = static_cast<std::int32_t>(mt4.date);
    out.time_text = hh_mm(mt4.seconds);
    out.mt4_time = true;
    page_.events.push_back(std::move(out));
  }

  // MT4 dates of events stay near the page's days, which lie within 1900 to 2099.
  static constexpr std::int64_t kMinMt4Date = kFirstSettingDate - 2;
  static constexpr std::int64_t kMaxMt4Date = kLastSettingDate + 2;

  const PageOptions& options_;
  const PageClock& clock_;
  DaysPage& page_;
  dom::parser parser_;
  std::unordered_set<std::int64_t> seen_;
  std::vector<std::int32_t> days_;
};

// The zone named by `timezone_name` in the object assigned to window.FF.
ZoneSetting display_zone(std::string_view bytes) {
  for (const std::size_t open : object_assignments(bytes, kSettingsTarget)) {
    const ScriptCut cut = member_value(bytes, open, "timezone_name");
    if (cut.problem) continue;
    const std::optional<std::string> name = string_literal(cut.of(bytes));
    if (!name) refuse(cut.begin, "timezone_name is not a string");
    ZoneSetting z;
    if (parse_zone_setting(*name, false, z).failed() || z.shift_hours != 0)
      refuse(cut.begin, "the page's time zone " + cp1252_from_utf8(name->substr(0, 60)) +
                            " is not in the system's time zone database");
    return z;
  }
  refuse(std::nullopt, "the page does not name its time zone (timezone_name in window.FF)");
}

void check_days(std::vector<std::int32_t> days, DaysPage& page) {
  std::sort(days.begin(), days.end());
  days.erase(std::unique(days.begin(), days.end()), days.end());
  if (days.empty()) refuse(std::nullopt, "the page lists no days");
  for (std::size_t i = 1; i < days.size(); ++i)
    if (days[i] != days[i - 1] + 1)
      refuse(std::nullopt, "the page's days are not consecutive: " + date_shown(days[i - 1]) +
                               " is followed by " + date_shown(days[i]));
  if (days.size() > static_cast<std::size_t>(kMaxPageDays))
    refuse(std::nullopt, "the page lists " + std::to_string(days.size()) + " days, from " +
                             date_shown(days.front()) + " to " + date_shown(days.back()) +
                             ": more than two months");
  page.first_day = days.front();
  page.last_day = days.back();
}

}  // namespace

bool looks_like_days_page(std::string_view bytes) {
  return !object_assignments(bytes, kStateTarget).empty();
}

DaysPage parse_days_page(std::string_view bytes, const PageOptions& options) {
  DaysPage page;
  try {
    const std::vector<std::size_t> blocks = object_assignments(bytes, kStateTarget);
    if (blocks.empty())
      refuse(std::nullopt, "the page holds no calendar (window.calendarComponentStates[1])");
    const ZoneSetting zone = display_zone(bytes);
    page.zone = zone.name;
    const PageClock clock(zone, options);
    DaysReader reader(options, clock, page);
    std::vector<std::string_view> read;
    for (const std::size_t open : blocks) {
      const ScriptCut cut = member_value(bytes, open, "days");
      if (cut.problem) refuse(cut.problem->offset, "the days list: " + cut.problem->text);
      if (cut.end == cut.begin || bytes[cut.begin] != '[')
        refuse(cut.begin, "the days value is not a list");
      // A browser's saved copy repeats the block as it was.
      if (std::find(read.begin(), read.end(), cut.of(bytes)) != read.end()) continue;
      read.push_back(cut.of(bytes));
      reader.block(bytes, cut);
    }
    check_days(reader.days(), page);
  } catch (const Refusal& r) {
    DaysPage refused;
    refused.zone = page.zone;
    refused.problem = r.problem;
    return refused;
  }
  return page;
}

void store_days_page(const DaysPage& page, PageSink& sink) {
  sink.delete_days(page.first_day, page.last_day);
  for (const PageEvent& e : page.events) sink.store(e);
  sink.page_done();
}

std::string problem_text(const DaysProblem& p) {
  return p.offset ? "byte " + std::to_string(*p.offset) + ": " + p.text : p.text;
}

}  // namespace mervane
