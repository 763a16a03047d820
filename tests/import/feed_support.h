// Builders of synthetic weekly feeds for the import tests.
#pragma once

#include <string>
#include <vector>

namespace mervane::test {

struct FeedItem {
  std::string title = "Event";
  std::string country = "USD";
  std::string date = "03-12-2024";
  std::string time = "12:30pm";
  std::string impact = "High";
  std::string forecast = "0.3%";
  std::string previous = "0.2%";
};

// One event element as the service writes it: values in CDATA, empty values as empty elements.
inline std::string feed_event(const FeedItem& e) {
  auto value = [](const char* name, const std::string& v) {
    if (v.empty()) return "<" + std::string(name) + " />";
    return "<" + std::string(name) + "><![CDATA[" + v + "]]></" + name + ">";
  };
  return "<event>\n" + value("title", e.title) + "\n" + value("country", e.country) + "\n" +
         value("date", e.date) + "\n" + value("time", e.time) + "\n" + value("impact", e.impact) +
         "\n" + value("forecast", e.forecast) + "\n" + value("previous", e.previous) +
         "\n<url><![CDATA[https://calendar.example/x]]></url>\n" + "</event>\n";
}

inline std::string feed(const std::vector<FeedItem>& items) {
  std::string f = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<weeklyevents>\n";
  for (const FeedItem& e : items) f += feed_event(e);
  return f + "</weeklyevents>\n";
}

}  // namespace mervane::test
