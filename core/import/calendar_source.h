// Where the calendar comes from and in which zones its times are: the program's own settings in
// "mervane.cfg" (core/model/local_settings.h), none of them in the settings file.
//
//   CALENDARSOURCE  "page" (the weekly pages; the default) or "feed" (the weekly XML feed)
//   FEEDURL         the feed's address
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

constexpr std::string_view kFeedLoadweeksNote =
    "Calendar feed: one download of the feed's week, LOADWEEKS does not apply";

struct CalendarSettings {
  bool feed = false;  // CALENDARSOURCE=feed
  std::string feed_url;
  std::string calendar_zone, mt4_zone, local_zone;  // as stored; empty when not set
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
// a source other than page or feed, an address that is not http or https); otherwise `stored`
// is its checked form (a zone in the database's spelling, "page" or "feed" in lower case). An
// empty value is taken: it removes the setting.
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

// The Build window's note beside OFFSET1: with both zones set, that they are in use and the
// offset they give at noon (calendar time) of `date`, as
// "Time zones in use: +2 hours on 03/03/2024 (UTC to America/New_York+7)"; what is wrong when
// only one is set or one is unusable; empty when neither is set.
std::string zones_note(const CalendarSettings& c, std::int32_t date);
// The note beside LOADWEEKS: with the feed as the source, that LOADWEEKS does not apply; empty
// otherwise.
std::string loadweeks_note(const CalendarSettings& c);

}  // namespace mervane
