#include "core/live/alerts_window.h"

#include <array>
#include <string_view>

#include "core/live/live_settings.h"
#include "core/model/local_settings.h"
#include "core/runtime/reporter.h"
#include "core/util/text.h"

namespace mervane {
namespace {

using C = AlertsControl;

// The impact list as the window shows it, in the order of the letters mervane.cfg stores.
constexpr std::array<std::string_view, 3> kImpactChoices = {"High", "Medium", "Low"};
constexpr std::string_view kImpactLetters = "HML";

std::string impact_choice(std::string_view letter) {
  const std::size_t i = letter.empty() ? 0 : kImpactLetters.find(letter[0]);
  return std::string(kImpactChoices[i == std::string_view::npos ? 0 : i]);
}

}  // namespace

const std::vector<ControlSpec>& AlertsWindow::controls() const {
  static const std::vector<ControlSpec> v = [] {
    ControlList l(number(C::CANCEL) + 1);
    l.prompt("&Minutes before a release:");
    l.add(number(C::MINUTES), ControlKind::Entry, "?ALERTMINUTES", {}, "n4");
    l.prompt("Lowest &impact:");
    l.add(number(C::IMPACT), ControlKind::DropList, "?ALERTIMPACT");
    l.prompt("&Currencies:");
    l.add(number(C::CURRENCIES), ControlKind::Entry, "?ALERTCURRENCIES", {}, "s60");
    l.prompt(
        "0 minutes: no alerts. Currencies as USD,EUR,JPY; none: those of the Build window's\n"
        "pairs. The impact and the currencies choose the news-guard file's events as well.");
    l.add(number(C::OK), ControlKind::Button, "?OK", "OK");
    l.add(number(C::CANCEL), ControlKind::Button, "?CANCEL", "Cancel");
    return l.take();
  }();
  return v;
}

void AlertsWindow::open() {
  const LiveSettings s = load_live_settings(session_.folder());
  minutes_ = live_setting_value(s, kAlertMinutesSetting);
  impact_ = live_setting_value(s, kAlertImpactSetting);
  currencies_ = live_setting_value(s, kAlertCurrenciesSetting);
}

std::string AlertsWindow::value(int control) const {
  switch (static_cast<C>(control)) {
    case C::MINUTES:
      return minutes_;
    case C::IMPACT:
      return impact_choice(impact_);
    case C::CURRENCIES:
      return currencies_;
    default:
      return {};
  }
}

std::vector<std::string> AlertsWindow::choices(int control) const {
  if (control != number(C::IMPACT)) return {};
  return {kImpactChoices.begin(), kImpactChoices.end()};
}

std::string AlertsWindow::store(int control, const Typed& value) {
  std::string stored;
  switch (static_cast<C>(control)) {
    case C::MINUTES: {
      const std::string typed = std::to_string(static_cast<long long>(value.number));
      if (Status st = check_live_setting(kAlertMinutesSetting, typed, stored); st.failed())
        return st.message();
      minutes_ = stored;
      return {};
    }
    case C::IMPACT:
      for (std::size_t i = 0; i < kImpactChoices.size(); ++i)
        if (kImpactChoices[i] == value.text) impact_ = std::string(1, kImpactLetters[i]);
      return {};
    case C::CURRENCIES:
      if (Status st = check_live_setting(kAlertCurrenciesSetting, clip(value.text), stored);
          st.failed())
        return st.message();
      currencies_ = stored;
      return {};
    default:
      return {};
  }
}

Reply AlertsWindow::on_accepted(int control) {
  if (control == number(C::CANCEL)) return close(Response::Cancelled);
  if (control != number(C::OK)) return Reply::stay();
  const std::filesystem::path& folder = session_.folder();
  for (const auto& [name, stored] : {std::pair{kAlertMinutesSetting, &minutes_},
                                     std::pair{kAlertImpactSetting, &impact_},
                                     std::pair{kAlertCurrenciesSetting, &currencies_}}) {
    if (stop_if_failed(reporter_, "Create", kLocalSettingsFile,
                       save_local_setting(folder, name, *stored)))
      return Reply::stay();
  }
  return close(Response::Completed);
}

Reply AlertsWindow::on_key(KeyPress k) {
  return ok_cancel_keys(k, number(C::OK), number(C::CANCEL));
}

}  // namespace mervane
