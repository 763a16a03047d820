#include "core/import/calendar_source.h"

#include <cstdlib>

#include "core/import/calendar_address.h"
#include "core/model/local_settings.h"
#include "core/runtime/download.h"
#include "core/runtime/paths.h"
#include "core/util/picture.h"

namespace mervane {
namespace {

// Two zone settings as a conversion; 92 when either is not usable.
Status conversion(const std::string& from, const std::string& to, bool to_may_be_system,
                  TimeShift& out) {
  ZoneSetting f, t;
  Status st = parse_zone_setting(from, false, f);
  if (st.is_ok()) st = parse_zone_setting(to, to_may_be_system, t);
  std::optional<ZoneConversion> zones;
  if (st.is_ok()) st = ZoneConversion::make(f, t, zones);
  if (st.is_ok()) out = TimeShift(*zones);
  return st;
}

constexpr std::size_t kMaxUserAgent = 200;

// "+2 hours", "-1 hour", "+5:30 hours", "0 hours".
std::string hours_text(std::int64_t minutes) {
  std::string t = minutes > 0 ? "+" : minutes < 0 ? "-" : "";
  const std::int64_t m = std::llabs(minutes);
  t += std::to_string(m / 60);
  if (m % 60 != 0) t += (m % 60 < 10 ? ":0" : ":") + std::to_string(m % 60);
  return t + (m == 60 ? " hour" : " hours");
}

}  // namespace

CalendarSettings load_calendar_settings(const std::filesystem::path& folder) {
  CalendarSettings c;
  const LocalSettings file(folder);
  const std::string source = upper_ascii(file.get(kCalendarSourceSetting));
  c.feed = source == "FEED";
  c.week = source == "WEEK";
  c.feed_url = file.get(kFeedUrlSetting);
  c.user_agent = file.get(kUserAgentSetting);
  c.calendar_zone = file.get(kCalendarZoneSetting);
  c.mt4_zone = file.get(kMt4ZoneSetting);
  c.local_zone = file.get(kLocalZoneSetting);
  c.page_zone = file.get(kPageZoneSetting);
  return c;
}

const std::vector<std::string_view>& calendar_setting_names() {
  static const std::vector<std::string_view> names = {kCalendarSourceSetting, kFeedUrlSetting,
                                                      kCalendarZoneSetting,   kMt4ZoneSetting,
                                                      kLocalZoneSetting,      kUserAgentSetting};
  return names;
}

bool is_calendar_setting(std::string_view name) {
  const std::string u = upper_ascii(name);
  for (std::string_view n : calendar_setting_names())
    if (u == n) return true;
  return false;
}

std::string calendar_setting_value(const CalendarSettings& c, std::string_view name) {
  const std::string u = upper_ascii(name);
  if (u == kCalendarSourceSetting) return c.feed ? "feed" : c.week ? "week" : "page";
  if (u == kUserAgentSetting) return c.user_agent;
  if (u == kFeedUrlSetting) return c.feed_url;
  if (u == kCalendarZoneSetting) return c.calendar_zone;
  if (u == kMt4ZoneSetting) return c.mt4_zone;
  if (u == kLocalZoneSetting) return c.local_zone;
  return {};
}

Status check_calendar_setting(std::string_view name, std::string_view value, std::string& stored) {
  const std::string u = upper_ascii(name);
  stored = value;
  if (value.empty())
    return is_calendar_setting(u) ? Status::ok()
                                  : Status(kBadValue,
                                           "Invalid Value: there is "
                                           "no setting " +
                                               std::string(name));
  if (u == kCalendarSourceSetting) {
    const std::string v = upper_ascii(value);
    stored = v == "FEED" ? "feed" : v == "PAGE" ? "page" : v == "WEEK" ? "week" : "";
    if (stored.empty())
      return Status(kBadValue, "Invalid Value: " + std::string(value) +
                                   " (CALENDARSOURCE is page, feed or week)");
    return Status::ok();
  }
  if (u == kUserAgentSetting) {
    for (char c : value)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
        return Status(kBadValue, "Invalid Value: a User-Agent holds no control characters");
    if (value.size() > kMaxUserAgent)
      return Status(kBadValue, "Invalid Value: a User-Agent of more than " +
                                   std::to_string(kMaxUserAgent) + " characters");
    return Status::ok();
  }
  if (u == kFeedUrlSetting) return check_feed_url(std::string(value), stored);
  if (u == kCalendarZoneSetting || u == kMt4ZoneSetting || u == kLocalZoneSetting) {
    ZoneSetting z;
    const Status st = parse_zone_setting(value, u == kLocalZoneSetting, z);
    stored = z.text();
    return st;
  }
  return Status(kBadValue, "Invalid Value: there is no setting " + std::string(name));
}

Status save_calendar_setting(const std::filesystem::path& folder, std::string_view name,
                             std::string_view value) {
  std::string stored;
  const Status st = check_calendar_setting(name, value, stored);
  if (st.failed()) return st;
  return save_local_setting(folder, upper_ascii(name), stored);
}

Status mt4_shift(const CalendarSettings& c, std::int16_t offset1, TimeShift& out) {
  out = TimeShift(offset1);
  if (c.calendar_zone.empty() || c.mt4_zone.empty()) return Status::ok();
  return conversion(c.calendar_zone, c.mt4_zone, false, out);
}

Status local_shift(const CalendarSettings& c, std::int16_t offset2, TimeShift& out) {
  out = TimeShift(offset2);
  if (c.local_zone.empty() || c.mt4_zone.empty()) return Status::ok();
  return conversion(c.mt4_zone, c.local_zone, true, out);
}

Status page_mt4_zone(const CalendarSettings& c, std::optional<ZoneSetting>& out) {
  out.reset();
  if (c.mt4_zone.empty()) return Status::ok();
  ZoneSetting z;
  const Status st = parse_zone_setting(c.mt4_zone, false, z);
  if (st.is_ok()) out = z;
  return st;
}

Status remember_page_zone(const std::filesystem::path& folder, std::string_view zone) {
  if (load_local_setting(folder, kPageZoneSetting) == zone) return Status::ok();
  return save_local_setting(folder, kPageZoneSetting, zone);
}

std::string zones_note(const CalendarSettings& c, std::int32_t date) {
  // Today's pages name their own zone, which takes the place of CALENDARZONE.
  const bool page = !c.page_zone.empty();
  if (page && c.mt4_zone.empty())
    return "Page times in " + c.page_zone + ": OFFSET1 applies (MT4ZONE is not set)";
  const std::string& from = page ? c.page_zone : c.calendar_zone;
  if (from.empty() && c.mt4_zone.empty()) return {};
  if (from.empty() || c.mt4_zone.empty())
    return std::string("Time zones not in use: ") +
           std::string(c.mt4_zone.empty() ? kMt4ZoneSetting : kCalendarZoneSetting) +
           " is not set, OFFSET1 applies";
  TimeShift shift;
  const Status st = conversion(from, c.mt4_zone, false, shift);
  if (st.failed()) return "Time zones not usable, OFFSET1 applies: " + st.message();
  const TimeShift::Result noon = shift.apply(date, 12, 0);
  const std::int64_t minutes = (noon.date - date) * 1440 + noon.hour * 60 + noon.minute - 720;
  if (page)
    return "Page times in " + from + ": " + hours_text(minutes) + " to " + c.mt4_zone + " on " +
           format_value("d2", date);
  return "Time zones in use: " + hours_text(minutes) + " on " + format_value("d2", date) + " (" +
         from + " to " + c.mt4_zone + ")";
}

std::string download_user_agent(const CalendarSettings& c) {
  if (!c.user_agent.empty()) return c.user_agent;
  return c.week ? program_user_agent() : std::string();
}

std::string loadweeks_note(const CalendarSettings& c) {
  return c.feed ? std::string(kFeedLoadweeksNote) : std::string();
}

}  // namespace mervane
