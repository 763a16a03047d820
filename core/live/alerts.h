// Alerts of the live week: one a few minutes before the release of each event the alert filter
// selects ("before"), and one when its actual value arrives after the release ("released").
//
// AlertBook remembers what was alerted and which actual values were seen, so each alert comes
// once. Used by one thread.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/live/week_events.h"
#include "core/runtime/command.h"

namespace mervane {

enum class AlertKind { Before, Released };

struct Alert {
  AlertKind kind = AlertKind::Before;
  std::int64_t release = 0;  // the release moment
  // Texts in UTF-8; time is the MT4 time, "yyyy.mm.dd hh:mm".
  std::string time, currency, impact, title, forecast, previous, actual;
  bool operator==(const Alert&) const = default;
};

Alert make_alert(AlertKind kind, const WeekEvent& e);

// "before" or "released".
std::string_view alert_kind_name(AlertKind kind);
// The alert as one line:
//   before: 2026.03.06 15:30 USD H Non-Farm Employment Change (F: 45K | P: 82K)
//   released: 2026.03.06 15:30 USD H Non-Farm Employment Change (A: 63K against F: 45K | P: 82K)
std::string alert_line(const Alert& a);
// A desktop notification's summary ("USD H: Non-Farm Employment Change") and body
// ("2026.03.06 15:30 MT4 - forecast 45K, previous 82K"; released: "actual 63K against forecast
// 45K").
std::string alert_summary(const Alert& a);
std::string alert_body(const Alert& a);
// MERVANE_ALERT_TIME, _CURRENCY, _IMPACT, _TITLE, _FORECAST, _PREVIOUS, _ACTUAL, _KIND.
Environment alert_environment(const Alert& a);

class AlertBook {
 public:
  // The week after a cycle. Returns the released alerts: events the filter selects whose actual
  // was blank in the previous week seen and is there now (none at the first week seen).
  std::vector<Alert> take(const std::vector<WeekEvent>& events);
  // The earliest moment from now on at which a before-alert is due; none when none is left.
  std::optional<std::int64_t> next_due(std::int64_t now, int minutes) const;
  // The before-alerts due at now (from `minutes` before the release until the release), each
  // once; an event whose time moved is alerted again for its new time.
  std::vector<Alert> due(std::int64_t now, int minutes);

 private:
  std::vector<WeekEvent> events_;
  std::map<std::string, bool> had_actual_;
  std::set<std::string> alerted_;  // key + "@" + release moment
  bool seen_ = false;
};

}  // namespace mervane
