// The live week's settings, in "mervane.cfg" beside the calendar's (none has a line in the
// settings file):
//
//   ALERTMINUTES     minutes before a release that its alert comes (0 to 1440; 0: no alerts);
//                    default 5
//   ALERTIMPACT      the lowest impact alerted: H, M or L; default H
//   ALERTCURRENCIES  the currencies alerted, as "USD,EUR,JPY"; default (not set) the currencies
//                    of the Build window's pairs (PAIRS), every currency when it has none
//   GUARDFILE        the news-guard file a Build run writes; blank (the default): none
//   GUARDBEFORE      minutes a quiet window starts before a release (0 to 1440); default 30
//   GUARDAFTER       minutes it ends after it (0 to 1440); default 30
//   KEEPCURRENT      1 when the windows program keeps this week current (its File menu item)
//   TRAYONCLOSE      what closing the windows program's frame does while it keeps the week
//                    current: 1 keeps it running in the system tray, 0 ends it; not set: it
//                    asks, and remembers the answer here
//
// The alert filter (impact and currencies) chooses the events of the alerts and of the guard
// file alike.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/records.h"
#include "core/model/settings.h"
#include "core/runtime/status.h"

namespace mervane {

constexpr std::string_view kAlertMinutesSetting = "ALERTMINUTES";
constexpr std::string_view kAlertImpactSetting = "ALERTIMPACT";
constexpr std::string_view kAlertCurrenciesSetting = "ALERTCURRENCIES";
constexpr std::string_view kGuardFileSetting = "GUARDFILE";
constexpr std::string_view kGuardBeforeSetting = "GUARDBEFORE";
constexpr std::string_view kGuardAfterSetting = "GUARDAFTER";
constexpr std::string_view kKeepCurrentSetting = "KEEPCURRENT";
constexpr std::string_view kTrayOnCloseSetting = "TRAYONCLOSE";

struct LiveSettings {
  int alert_minutes = 5;
  char alert_impact = 'H';
  std::vector<std::string> alert_currencies;  // empty: not set
  std::string guard_file;                     // as typed (UTF-8); empty: no guard file
  int guard_before = 30;
  int guard_after = 30;
  bool keep_current = false;
  std::optional<bool> tray_on_close;  // none: not set (the frame asks)
  // The settings of the file that could not be read, as "ALERTMINUTES=abc (...)": they keep
  // their defaults.
  std::vector<std::string> problems;
};

LiveSettings load_live_settings(const std::filesystem::path& folder);

// The names, in the order they are listed.
const std::vector<std::string_view>& live_setting_names();
bool is_live_setting(std::string_view name);
// The value as `settings show` lists it: the value in use (the default when not set); blank for
// ALERTCURRENCIES, GUARDFILE and TRAYONCLOSE when not set.
std::string live_setting_value(const LiveSettings& s, std::string_view name);

// Checks a typed value: 92 with the reason for a value the setting cannot take; otherwise
// `stored` is its checked form ("H", "USD,EUR"). An empty value is taken: it removes the
// setting, which then has its default.
Status check_live_setting(std::string_view name, std::string_view value, std::string& stored);
Status save_live_setting(const std::filesystem::path& folder, std::string_view name,
                         std::string_view value);

// Which events the alerts and the guard file are about: an impact at least the lowest one
// (L < M < H; other letters never), and a currency of the list; an event of every currency
// ("ALL") concerns each one. An empty list takes every currency.
struct AlertFilter {
  char lowest_impact = 'H';
  std::vector<std::string> currencies;
  bool passes(const CalendarRecord& r) const;
};
AlertFilter alert_filter(const LiveSettings& live, const BuildSettings& build);

// The currencies of a pair list ("EURUSD,USDJPY" gives EUR, USD, JPY): every three letters of
// each pair, in order of appearance, each once; "ALL" (the button of every currency) gives an
// empty list, which stands for every currency.
std::vector<std::string> pair_currencies(std::string_view pairs);

// An event without a clock time: the calendar's "All Day", "Tentative" and the like, which the
// readers store with the time cell after its description (" <<Tentative>>").
bool is_untimed(const CalendarRecord& r);

}  // namespace mervane
