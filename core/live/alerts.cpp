#include "core/live/alerts.h"

#include "core/live/guard_file.h"
#include "core/util/charset.h"

namespace mervane {
namespace {

std::string utf8(std::string_view cp1252) {
  return utf8_from_cp1252(clip(cp1252));
}

std::string alerted_key(const WeekEvent& e) {
  return e.key + "@" + std::to_string(*e.moment);
}

// "F: 45K | P: 82K"; released: "A: 63K against F: 45K | P: 82K".
std::string values(const Alert& a, bool released) {
  std::string s;
  if (released && !a.actual.empty())
    s = "A: " + a.actual + (a.forecast.empty() ? "" : " against F: " + a.forecast);
  else if (!a.forecast.empty())
    s = "F: " + a.forecast;
  if (!a.previous.empty()) s += (s.empty() ? "P: " : " | P: ") + a.previous;
  return s;
}

}  // namespace

Alert make_alert(AlertKind kind, const WeekEvent& e) {
  Alert a;
  a.kind = kind;
  a.release = e.moment.value_or(0);
  a.time = guard_time_text(minute_of(e.rec.date, e.rec.time));
  a.currency = utf8(e.rec.currency.view());
  a.impact = utf8(e.rec.impact.view());
  a.title = utf8(e.rec.descr.view());
  a.forecast = utf8(e.rec.forecast.view());
  a.previous = utf8(e.rec.previous.view());
  a.actual = utf8(e.rec.actual.view());
  return a;
}

std::string_view alert_kind_name(AlertKind kind) {
  return kind == AlertKind::Before ? "before" : "released";
}

std::string alert_line(const Alert& a) {
  const std::string v = values(a, a.kind == AlertKind::Released);
  return std::string(alert_kind_name(a.kind)) + ": " + a.time + " " + a.currency + " " + a.impact +
         " " + a.title + (v.empty() ? "" : " (" + v + ")");
}

std::string alert_summary(const Alert& a) {
  return a.currency + " " + a.impact + ": " + a.title;
}

std::string alert_body(const Alert& a) {
  std::string s = a.time + " MT4";
  std::string v;
  const auto add = [&](const char* label, const std::string& x) {
    if (!x.empty()) v += (v.empty() ? "" : ", ") + std::string(label) + x;
  };
  if (a.kind == AlertKind::Released) {
    add("actual ", a.actual);
    if (!a.forecast.empty()) v += (v.empty() ? "forecast " : " against forecast ") + a.forecast;
  } else {
    add("forecast ", a.forecast);
  }
  add("previous ", a.previous);
  return v.empty() ? s : s + " - " + v;
}

Environment alert_environment(const Alert& a) {
  return {{"MERVANE_ALERT_TIME", a.time},
          {"MERVANE_ALERT_CURRENCY", a.currency},
          {"MERVANE_ALERT_IMPACT", a.impact},
          {"MERVANE_ALERT_TITLE", a.title},
          {"MERVANE_ALERT_FORECAST", a.forecast},
          {"MERVANE_ALERT_PREVIOUS", a.previous},
          {"MERVANE_ALERT_ACTUAL", a.actual},
          {"MERVANE_ALERT_KIND", std::string(alert_kind_name(a.kind))}};
}

std::vector<Alert> AlertBook::take(const std::vector<WeekEvent>& events) {
  std::vector<Alert> released;
  std::map<std::string, bool> had;
  for (const WeekEvent& e : events) {
    const bool has = !e.rec.actual.blank();
    had[e.key] = has;
    if (!seen_ || !e.alerted || !has || !e.moment) continue;
    const auto before = had_actual_.find(e.key);
    if (before != had_actual_.end() && !before->second)
      released.push_back(make_alert(AlertKind::Released, e));
  }
  had_actual_ = std::move(had);
  events_ = events;
  seen_ = true;
  // What was alerted stays remembered only for events still listed: the book does not grow
  // week after week.
  std::set<std::string> still;
  for (const WeekEvent& e : events_)
    if (e.moment && alerted_.count(alerted_key(e))) still.insert(alerted_key(e));
  alerted_ = std::move(still);
  return released;
}

std::optional<std::int64_t> AlertBook::next_due(std::int64_t now, int minutes) const {
  std::optional<std::int64_t> next;
  if (minutes <= 0) return next;
  for (const WeekEvent& e : events_) {
    if (!e.alerted || !e.moment || *e.moment <= now || alerted_.count(alerted_key(e))) continue;
    const std::int64_t at = std::max(now, *e.moment - std::int64_t{minutes} * 60);
    if (!next || at < *next) next = at;
  }
  return next;
}

std::vector<Alert> AlertBook::due(std::int64_t now, int minutes) {
  std::vector<Alert> out;
  if (minutes <= 0) return out;
  for (const WeekEvent& e : events_) {
    if (!e.alerted || !e.moment || *e.moment <= now) continue;
    if (*e.moment - std::int64_t{minutes} * 60 > now) continue;
    if (!alerted_.insert(alerted_key(e)).second) continue;
    out.push_back(make_alert(AlertKind::Before, e));
  }
  return out;
}

}  // namespace mervane
