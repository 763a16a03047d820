// Calendar pages of today's kind for the benchmarks: the events of a run of days as the `days`
// list of a page's script, each event with the fifty-odd members the service sends (most of
// which the reader passes over), inside a page of markup and scripts the size of a real one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "core/runtime/time_zones.h"
#include "core/util/dates.h"

namespace mervane::bench {

constexpr const char* kDaysZone = "Europe/Berlin";

// UNIX seconds of midnight plus `seconds` of a day in kDaysZone.
inline std::int64_t days_instant(std::int32_t day, std::int64_t seconds) {
  static const std::optional<ZoneConversion> to_utc = [] {
    std::optional<ZoneConversion> c;
    if (ZoneConversion::make(ZoneSetting{kDaysZone, 0}, ZoneSetting{"UTC", 0}, c).failed())
      std::abort();
    return c;
  }();
  const WallTime u = to_utc->convert(day, seconds);
  return (u.date - kUnixEpochSerial) * 86400 + u.seconds;
}

// Event k of a day: its id, its description (unique within the day) and its time.
inline std::string days_event(std::int64_t id, std::int32_t day, int k) {
  static const char* kCcy[] = {"USD", "EUR", "GBP", "JPY", "CHF", "CAD", "AUD", "NZD", "All"};
  static const char* kImpact[] = {"low", "medium", "high", "holiday"};
  const bool masked = k % 23 == 5;
  const int minutes = 60 * (k % 24) + (k % 4) * 15;
  char label[16];
  std::snprintf(label, sizeof label, "%d:%02d%s", (minutes / 60 + 11) % 12 + 1, minutes % 60,
                minutes < 720 ? "am" : "pm");
  const std::string i = std::to_string(id), n = "Release " + std::to_string(k) + " m\\/m";
  const std::string dateline = std::to_string(days_instant(day, masked ? 0 : minutes * 60));
  const std::string actual = k % 3 ? "0." + std::to_string(k % 10) + "%" : "";
  return "{\"id\":" + i + ",\"ebaseId\":" + std::to_string(1000 + k) + ",\"name\":\"" + n +
         "\",\"prefixedName\":\"US " + n + "\",\"trimmedPrefixedName\":\"US " + n +
         "\",\"soloTitle\":\"" + n + "\",\"soloTitleFull\":\"" + n + "\",\"soloTitleShort\":\"" +
         n + "\",\"notice\":\"\",\"currency\":\"" + kCcy[k % 9] +
         "\",\"country\":\"US\",\"impactClass\":\"icon icon--ff-impact-red\",\"impactTitle\":"
         "\"High Impact Expected\",\"impactName\":\"" +
         kImpact[k % 4] + "\",\"timeLabel\":\"" + (masked ? "All Day" : label) +
         "\",\"timeMasked\":" + (masked ? "true" : "false") + ",\"date\":\"Jan 27, 2026\"" +
         ",\"dateline\":" + dateline + ",\"actual\":\"" + actual +
         "\",\"previous\":\"0.3%\",\"revision\":\"" + (k % 5 ? "" : "0.2%") +
         "\",\"forecast\":\"0.4%\",\"leaked\":false,\"actualBetterWorse\":" +
         std::to_string(k % 3) +
         ",\"revisionBetterWorse\":0,\"hasGraph\":true,\"checkedIn\":false,"
         "\"isMasterList\":false,\"hasLinkedThreads\":true,\"hasNotice\":false,"
         "\"hasDataValues\":true,\"url\":\"\\/calendar\\/" +
         i + "-us-release\",\"soloUrl\":\"\\/calendar\\/" + i +
         "\",\"editUrl\":\"\",\"showDetails\":true,\"showGraph\":true,\"enableDetailComponent\":"
         "true,\"enableExpandComponent\":true,\"enableActualComponent\":true,"
         "\"showExpanded\":false,\"siteId\":1,\"language\":\"en\",\"firstInDay\":" +
         (k == 0 ? "true" : "false") + ",\"greyed\":false,\"upNext\":false,\"releaser\":\"" +
         "Bureau of Statistics\",\"checker\":\"\",\"impactClassVersion\":2,"
         "\"linkedThreads\":[],\"revisionUnit\":\"%\",\"actualUnit\":\"%\","
         "\"specs\":[{\"title\":\"Source\",\"html\":\"<a href=\\\"x\\\">[Bureau]<\\/a>\"}]}";
}

// A page listing `days` days from `first_day`, `per_day` events each, ids from `first_id`.
inline std::string days_page(std::int32_t first_day, int days, int per_day, std::int64_t first_id) {
  std::string json = "[";
  std::int64_t id = first_id;
  for (int d = 0; d < days; ++d) {
    const std::int32_t day = first_day + d;
    const Ymd ymd = ymd_of(day);
    if (d) json += ',';
    json += "{\"date\":\"Tue <span>Jan " + std::to_string(ymd.day) +
            "<\\/span>\",\"dateline\":" + std::to_string(days_instant(day, 0)) +
            ",\"add\":\"\",\"events\":[";
    for (int k = 0; k < per_day; ++k) {
      if (k) json += ',';
      json += days_event(id++, day, k);
    }
    json += "]}";
  }
  json += "]";
  // The markup and scripts of a real page around the list: a fifth of its size.
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"windows-1252\">\n"
      "<title>Economic Calendar</title>\n<script>window.FF = { timezone_name: '" +
      std::string(kDaysZone) + "', user: 0 };</script>\n</head>\n<body>\n";
  while (page.size() < json.size() / 8)
    page +=
        "<div class=\"nav\"><a href=\"/calendar?week=jan25.2026\">Calendar</a>"
        "<script>var x = ['[', '{', \"]\"];</script></div>\n";
  page += "<script>\nwindow.calendarComponentStates[1] = {\n    days: " + json +
          ",\n    time: 1769500000,\n    settings: { mode: 'week' }\n};\n</script>\n";
  while (page.size() < json.size() * 5 / 4) page += "<div class=\"footer\">&nbsp;</div>\n";
  return page + "</body>\n</html>\n";
}

}  // namespace mervane::bench
