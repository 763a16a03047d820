// Builders of synthetic calendar pages of today's kind for the import tests: the events as JSON
// in a script's `days` list, with the members the service sends beside those the reader takes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/runtime/time_zones.h"
#include "core/util/dates.h"

namespace mervane::test {

// UNIX seconds of a wall-clock time in a zone.
inline std::int64_t instant(const char* zone, int y, int m, int d, int hh = 0, int mm = 0) {
  std::optional<ZoneConversion> c;
  if (ZoneConversion::make(ZoneSetting{zone, 0}, ZoneSetting{"UTC", 0}, c).failed()) return 0;
  const WallTime u = c->convert(*date_serial(y, m, d), hh * 3600 + mm * 60);
  return (u.date - kUnixEpochSerial) * 86400 + u.seconds;
}

struct DayEvent {
  std::int64_t id = 100001;
  std::string name = "CPI m/m";
  std::string currency = "USD";
  std::string impact = "high";
  std::string label = "8:30am";
  bool masked = false;
  std::int64_t dateline = 0;  // the release instant; a placeholder for masked labels
  std::string actual, forecast, previous, revision;
};

struct PageDay {
  std::int64_t dateline = 0;  // midnight in the page's zone
  std::vector<DayEvent> events;
};

// A JSON string literal of plain text (the tests' texts need no escapes beyond these).
inline std::string json_string(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c == '/' ? std::string("\\/") : std::string(1, c);
  }
  return out + "\"";
}

inline std::string day_event_json(const DayEvent& e) {
  const std::string id = std::to_string(e.id);
  return "{\"id\":" + id + ",\"ebaseId\":" + std::to_string(e.id % 997 + 1) +
         ",\"name\":" + json_string(e.name) +
         ",\"country\":\"US\",\"currency\":" + json_string(e.currency) +
         ",\"impactClass\":\"icon--ff-impact-red\",\"impactName\":" + json_string(e.impact) +
         ",\"timeLabel\":" + json_string(e.label) +
         ",\"timeMasked\":" + (e.masked ? "true" : "false") +
         ",\"dateline\":" + std::to_string(e.dateline) + ",\"actual\":" + json_string(e.actual) +
         ",\"forecast\":" + json_string(e.forecast) + ",\"previous\":" + json_string(e.previous) +
         ",\"revision\":" + json_string(e.revision) +
         ",\"actualBetterWorse\":1,\"revisionBetterWorse\":0,\"notice\":\"\","
         "\"url\":\"\\/calendar\\/" +
         id + "-event\",\"soloTitle\":\"[" + e.currency + "] {" + e.name +
         "}\",\"hasGraph\":true,\"checkedIn\":false,\"hasLinkedThreads\":false}";
}

inline std::string days_json(const std::vector<PageDay>& days) {
  std::string out = "[";
  for (std::size_t i = 0; i < days.size(); ++i) {
    if (i) out += ",";
    out +=
        "{\"date\":\"Tue <span>Jan 27<\\/span>\",\"dateline\":" + std::to_string(days[i].dateline) +
        ",\"add\":\"\",\"events\":[";
    for (std::size_t k = 0; k < days[i].events.size(); ++k) {
      if (k) out += ",";
      out += day_event_json(days[i].events[k]);
    }
    out += "]}";
  }
  return out + "]";
}

// The page around the list: the zone in window.FF, the assignment `copies` times (a browser's
// saved copy holds it twice), scripts and markup before and after.
inline std::string days_page(const std::string& days, const std::string& zone = "Europe/Berlin",
                             int copies = 1) {
  std::string page =
      "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"windows-1252\">\n<title>Calendar</title>\n"
      "<script>\n  // settings of the visitor\n  window.FF = { user_id: 0, timezone_name: '" +
      zone + "', time_format: 'g:ia', labels: ['a', \"b]\"] };\n</script>\n</head>\n<body>\n";
  for (int i = 0; i < copies; ++i)
    page +=
        "<script>\nwindow.calendarComponentStates = window.calendarComponentStates || [];\n"
        "window.calendarComponentStates[1] = {\n    days: " +
        days +
        ",\n    time: 1769500000,\n    settings: { mode: 'week', 'label': 'It\\'s {on}' },\n"
        "    /* ] */ filters: [{ impacts: [1, 2, 3] }]\n};\n</script>\n";
  return page + "<div class=\"calendar\"></div>\n</body>\n</html>\n";
}

// The days of a week from its Sunday in a zone, with the events given per weekday (0 Sunday).
inline std::vector<PageDay> week_days(const char* zone, int y, int m, int sunday,
                                      const std::vector<std::vector<DayEvent>>& per_day = {}) {
  std::vector<PageDay> days;
  const std::int32_t first = *date_serial(y, m, sunday);
  for (int i = 0; i < 7; ++i) {
    const Ymd d = ymd_of(first + i);
    PageDay day;
    day.dateline = instant(zone, static_cast<int>(d.year), d.month, d.day);
    if (static_cast<std::size_t>(i) < per_day.size())
      day.events = per_day[static_cast<std::size_t>(i)];
    days.push_back(day);
  }
  return days;
}

// Month m of 2015 in `zone` with an event released at 13:30 on each of the 27th and 28th
// ("event m/27", id 150000 + 100m + 27, ...), their actual `actual`; with `week` set, only the
// week of Sunday 25 January 2015 around them.
inline std::string month_page_2015(int m, const std::string& actual, const char* zone,
                                   bool week = false) {
  std::vector<PageDay> days = week ? week_days(zone, 2015, 1, 25) : std::vector<PageDay>{};
  for (int d = 1; !week && d <= days_in_month(2015, m); ++d)
    days.push_back({instant(zone, 2015, m, d), {}});
  for (int d : {27, 28}) {
    DayEvent e;
    e.id = 150000 + m * 100 + d;
    e.name = "event " + std::to_string(m) + "/" + std::to_string(d);
    e.actual = actual;
    e.dateline = instant(zone, 2015, m, d, 13, 30);
    days[static_cast<std::size_t>(week ? d - 25 : d - 1)].events.push_back(e);
  }
  return days_page(days_json(days), zone);
}

}  // namespace mervane::test
