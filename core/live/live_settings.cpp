#include "core/live/live_settings.h"

#include <algorithm>
#include <charconv>

#include "core/model/local_settings.h"
#include "core/runtime/paths.h"
#include "core/util/text.h"

namespace mervane {
namespace {

constexpr int kMostMinutes = 1440;

Status refused(std::string_view name, std::string_view value, std::string_view why) {
  return Status(kBadValue, "Invalid Value: " + std::string(value) + " (" + std::string(name) + " " +
                               std::string(why) + ")");
}

Status check_minutes(std::string_view name, std::string_view value, std::string& stored) {
  int n = -1;
  const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
  if (ec != std::errc() || end != value.data() + value.size() || n < 0 || n > kMostMinutes)
    return refused(name, value, "is a number of minutes from 0 to 1440");
  stored = std::to_string(n);
  return Status::ok();
}

bool is_letter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

int impact_rank(std::string_view impact) {
  const std::string_view i = clip(impact);
  if (i == "L") return 1;
  if (i == "M") return 2;
  if (i == "H") return 3;
  return 0;
}

// The codes of a typed list "usd, eur jpy": three letters each, upper case, each once.
Status currency_list(std::string_view value, std::vector<std::string>& out) {
  out.clear();
  std::string code;
  bool whole = true;
  const auto take = [&]() {
    if (code.empty()) return;
    whole = whole && code.size() == 3;
    if (whole && std::find(out.begin(), out.end(), code) == out.end()) out.push_back(code);
    code.clear();
  };
  for (const char c : value) {
    if (c == ',' || c == ' ' || c == ';')
      take();
    else if (is_letter(c))
      code.push_back(c >= 'a' ? static_cast<char>(c - 'a' + 'A') : c);
    else
      whole = false;
  }
  take();
  if (!whole || out.empty())
    return refused(kAlertCurrenciesSetting, value,
                   "is a list of three-letter currency codes, as USD,EUR,JPY");
  return Status::ok();
}

std::string joined(const std::vector<std::string>& codes) {
  std::string s;
  for (const std::string& c : codes) {
    if (!s.empty()) s.push_back(',');
    s += c;
  }
  return s;
}

}  // namespace

const std::vector<std::string_view>& live_setting_names() {
  static const std::vector<std::string_view> names = {
      kAlertMinutesSetting, kAlertImpactSetting, kAlertCurrenciesSetting, kGuardFileSetting,
      kGuardBeforeSetting,  kGuardAfterSetting,  kKeepCurrentSetting,     kTrayOnCloseSetting};
  return names;
}

bool is_live_setting(std::string_view name) {
  const std::string u = upper_ascii(name);
  const auto& names = live_setting_names();
  return std::find(names.begin(), names.end(), u) != names.end();
}

Status check_live_setting(std::string_view name, std::string_view value, std::string& stored) {
  const std::string u = upper_ascii(name);
  stored = value;
  if (!is_live_setting(u))
    return Status(kBadValue, "Invalid Value: there is no setting " + std::string(name));
  if (value.empty()) return Status::ok();
  if (u == kAlertMinutesSetting || u == kGuardBeforeSetting || u == kGuardAfterSetting)
    return check_minutes(u, value, stored);
  if (u == kAlertImpactSetting) {
    stored = upper_ascii(value);
    if (stored != "H" && stored != "M" && stored != "L")
      return refused(u, value, "is H, M or L: the lowest impact alerted");
    return Status::ok();
  }
  if (u == kAlertCurrenciesSetting) {
    std::vector<std::string> codes;
    if (Status st = currency_list(value, codes); st.failed()) return st;
    stored = joined(codes);
    return Status::ok();
  }
  if (u == kKeepCurrentSetting || u == kTrayOnCloseSetting) {
    if (value != "0" && value != "1") return refused(u, value, "is 0 or 1");
    return Status::ok();
  }
  // GUARDFILE: a file name or path of one line; the file itself is checked when it is written.
  for (char c : value)
    if (static_cast<unsigned char>(c) < 0x20)
      return refused(u, "...", "is a file name without control characters");
  return Status::ok();
}

Status save_live_setting(const std::filesystem::path& folder, std::string_view name,
                         std::string_view value) {
  std::string stored;
  if (Status st = check_live_setting(name, value, stored); st.failed()) return st;
  return save_local_setting(folder, upper_ascii(name), stored);
}

LiveSettings load_live_settings(const std::filesystem::path& folder) {
  LiveSettings s;
  const LocalSettings file(folder);
  for (std::string_view name : live_setting_names()) {
    const std::string value = file.get(name);
    if (value.empty()) continue;
    std::string stored;
    if (const Status st = check_live_setting(name, value, stored); st.failed()) {
      s.problems.push_back(std::string(name) + "=" + value + " (" + st.message() + ")");
      continue;
    }
    if (name == kAlertMinutesSetting) s.alert_minutes = std::stoi(stored);
    if (name == kAlertImpactSetting) s.alert_impact = stored[0];
    if (name == kAlertCurrenciesSetting)
      (void)currency_list(stored, s.alert_currencies);  // checked
    if (name == kGuardFileSetting) s.guard_file = stored;
    if (name == kGuardBeforeSetting) s.guard_before = std::stoi(stored);
    if (name == kGuardAfterSetting) s.guard_after = std::stoi(stored);
    if (name == kKeepCurrentSetting) s.keep_current = stored == "1";
    if (name == kTrayOnCloseSetting) s.tray_on_close = stored == "1";
  }
  return s;
}

std::string live_setting_value(const LiveSettings& s, std::string_view name) {
  const std::string u = upper_ascii(name);
  if (u == kAlertMinutesSetting) return std::to_string(s.alert_minutes);
  if (u == kAlertImpactSetting) return std::string(1, s.alert_impact);
  if (u == kAlertCurrenciesSetting) return joined(s.alert_currencies);
  if (u == kGuardFileSetting) return s.guard_file;
  if (u == kGuardBeforeSetting) return std::to_string(s.guard_before);
  if (u == kGuardAfterSetting) return std::to_string(s.guard_after);
  if (u == kKeepCurrentSetting) return s.keep_current ? "1" : "0";
  if (u == kTrayOnCloseSetting) return s.tray_on_close ? (*s.tray_on_close ? "1" : "0") : "";
  return {};
}

std::vector<std::string> pair_currencies(std::string_view pairs) {
  std::vector<std::string> out;
  std::string run;
  const auto take = [&]() {
    for (std::size_t i = 0; i + 3 <= run.size(); i += 3) {
      const std::string code = upper_ascii(std::string_view(run).substr(i, 3));
      if (code == "ALL") return false;
      if (std::find(out.begin(), out.end(), code) == out.end()) out.push_back(code);
    }
    run.clear();
    return true;
  };
  for (char c : pairs) {
    if (is_letter(c)) {
      run += c;
    } else if (!take()) {
      return {};
    }
  }
  if (!take()) return {};
  return out;
}

AlertFilter alert_filter(const LiveSettings& live, const BuildSettings& build) {
  AlertFilter f;
  f.lowest_impact = live.alert_impact;
  f.currencies =
      live.alert_currencies.empty() ? pair_currencies(build.pairs.view()) : live.alert_currencies;
  return f;
}

bool AlertFilter::passes(const CalendarRecord& r) const {
  const int rank = impact_rank(r.impact.view());
  if (rank == 0 || rank < impact_rank(std::string_view(&lowest_impact, 1))) return false;
  if (currencies.empty()) return true;
  const std::string ccy = upper_ascii(clip(r.currency.view()));
  return ccy == "ALL" || std::find(currencies.begin(), currencies.end(), ccy) != currencies.end();
}

bool is_untimed(const CalendarRecord& r) {
  const std::string_view d = clip(r.descr.view());
  return r.time == 0 || (d.size() >= 4 && d.substr(d.size() - 2) == ">>" &&
                         d.find(" <<") != std::string_view::npos);
}

}  // namespace mervane
