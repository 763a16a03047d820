// Where the calendar comes from and in which zones its times are: the program's own settings in
// "mervane.cfg" (core/model/local_settings.h), none of them in the settings file.
//
//   CALENDARSOURCE  "page" (the weekly pages of the service's early years; the default),
//                   "feed" (the weekly XML feed) or "week" (the week pages it serves today,
//                   which carry actual values, revisions and event ids)
//   FEEDURL         the feed's address
//   USERAGENT       the User-Agent of the downloads; unset, the program's name and version for
//                   today's pages and, as ever, a browser's for the others
//   CALENDARZONE    the zone of the calendar's times, as "UTC" or "America/New_York"
//   MT4ZONE         the MT4 server's zone, with an optional whole-hour shift:
//                   "America/New_York+7" for servers at GMT+2 in winter and GMT+3 in summer
//   LOCALZONE       the zone of the local-time labels and exports; "system" for the machine's
//
// With CALENDARZONE and MT4ZONE both set, every event is converted from the calendar's zone to
// the MT4 server's by the rules of its own date and time, in place of OFFSET1; with LOCALZONE
// and MT4ZONE set, local times come from MT4 times the same way, in place of OFFSET2. Unset,
// everything is as the hour offsets make it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/runtime/status.h"
#include "core/runtime/time_zones.h"

namespace mervane {

constexpr std::string_view kCalendarSourceSetting = "CALENDARSOURCE";
constexpr std::string_view kFeedUrlSetting = "FEEDURL";
constexpr std::string_view kCalendarZoneSetting = "CALENDARZONE";
constexpr std::string_view kMt4ZoneSetting = "MT4ZONE";
constexpr std::string_view kLocalZoneSetting = "LOCALZONE";
constexpr std::string_view kUserAgentSetting = "USERAGENT";

constexpr std::string_view kFeedLoadweeksNote =
    "Calendar feed: one download of the feed's week, LOADWEEKS does not apply";

// Not a setting: the display zone the last calendar file read named (today's pages name their
// own), kept for the Build window's zone note; removed when a feed or an old page is read.
constexpr std::string_view kPageZoneSetting = "PAGEZONE";

struct CalendarSettings {
  bool feed = false;  // CALENDARSOURCE=feed
  bool week = false;  // CALENDARSOURCE=week
  std::string feed_url;
  std::string user_agent;                           // USERAGENT
  std::string calendar_zone, mt4_zone, local_zone;  // as stored; empty when not set
  std::string page_zone;                            // PAGEZONE
};

// The settings of the folder; a missing file or setting leaves its default.
CalendarSettings load_calendar_settings(const std::filesystem::path& folder);

// The names, in the order they are listed.
const std::vector<std::string_view>& calendar_setting_names();
// Whether name (letter case ignored) is one of them.
bool is_calendar_setting(std::string_view name);
// The stored value of one of them ("" when not set).
std::string calendar_setting_value(const CalendarSettings& c, std::string_view name);

// Checks a typed value: 92 with the reason for a value the setting cannot take (an unknown zone,
// a source other than page, feed or week, an address that is not http or https, a User-Agent
// with control characters or longer than 200 characters); otherwise `stored` is its checked
// form (a zone in the database's spelling, the source in lower case). An empty value is taken:
// it removes the setting.
Status check_calendar_setting(std::string_view name, std::string_view value, std::string& stored);
// Checks a typed value and stores its checked form; nothing is written when it is refused.
Status save_calendar_setting(const std::filesystem::path& folder, std::string_view name,
                             std::string_view value);

// The shift of calendar times into MT4 time: both zones when CALENDARZONE and MT4ZONE are set,
// otherwise OFFSET1 hours. 92 when a stored zone is not usable (the file was edited by hand, or
// the system's database changed); `out` is then OFFSET1.
Status mt4_shift(const CalendarSettings& c, std::int16_t offset1, TimeShift& out);
// The shift of MT4 times into local time: LOCALZONE and MT4ZONE when both are set, otherwise
// OFFSET2 hours; 92 as above.
Status local_shift(const CalendarSettings& c, std::int16_t offset2, TimeShift& out);

// MT4ZONE as today's pages use it (they name their own zone, so CALENDARZONE does not apply):
// nothing when it is not set; 92 when it is not usable, and `out` is then nothing (OFFSET1).
Status page_mt4_zone(const CalendarSettings& c, std::optional<ZoneSetting>& out);

// Keeps in the folder's local settings the zone the calendar file just read named (`zone`,
// empty after a feed or an old page); the file is written only when that changes it.
Status remember_page_zone(const std::filesystem::path& folder, std::string_view zone);

// The Build window's note beside OFFSET1: with both zones set, that they are in use and the
// offset they give at noon (calendar time) of `date`, as
// "Time zones in use: +2 hours on 03/03/2024 (UTC to America/New_York+7)"; what is wrong when
// only one is set or one is unusable; empty when neither is set. After one of today's pages,
// which name their own zone, the note names that zone in place of CALENDARZONE: "Page times in
// Europe/Berlin: +1 hour to America/New_York+7 on 01/25/2026", or without MT4ZONE "Page times
// in Europe/Berlin: OFFSET1 applies (MT4ZONE is not set)".
std::string zones_note(const CalendarSettings& c, std::int32_t date);
// The User-Agent of the downloads: USERAGENT when set; otherwise the program's name and version
// for today's pages (CALENDARSOURCE=week), and empty (the downloader's own, a browser's) for
// the others, as it has always been.
std::string download_user_agent(const CalendarSettings& c);

// The note beside LOADWEEKS: with the feed as the source, that LOADWEEKS does not apply; empty
// otherwise.
std::string loadweeks_note(const CalendarSettings& c);

}  // namespace mervane
