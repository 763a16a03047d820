#include "core/live/tray.h"

#include "core/live/live_settings.h"

namespace mervane {

Warning tray_question() {
  Warning w;
  w.caption = "Keep this week current";
  w.text =
      "Mervane keeps this week current. Keep it running in the system tray when this window "
      "closes?\n\n"
      "Yes: News.CSV, the alerts and the guard file stay current; the tray icon's menu opens "
      "Mervane again or quits.\n"
      "No: Mervane ends, as without the tray.\n\n"
      "The answer is remembered (TRAYONCLOSE in mervane.cfg).";
  w.icon = Icon::Question;
  w.buttons = kYesButton | kNoButton | kCancelButton;
  w.default_button = kYesButton;
  return w;
}

CloseAction TrayChoice::on_close(bool watching, bool tray_available) const {
  if (!watching || !tray_available) return CloseAction::Close;
  const std::optional<bool> kept = load_live_settings(folder_).tray_on_close;
  if (!kept) return CloseAction::Ask;
  return *kept ? CloseAction::ToTray : CloseAction::Close;
}

std::optional<CloseAction> TrayChoice::answered(int button) {
  if (button != kYesButton && button != kNoButton) return std::nullopt;
  const bool to_tray = button == kYesButton;
  remembered_ = save_live_setting(folder_, kTrayOnCloseSetting, to_tray ? "1" : "0");
  return to_tray ? CloseAction::ToTray : CloseAction::Close;
}

std::vector<std::string> tray_event_lines(const WatchStatus& s) {
  std::vector<std::string> lines;
  for (const Alert& a : s.upcoming) {
    if (static_cast<int>(lines.size()) == kUpcomingEvents) break;
    lines.push_back(a.time + "  " + a.currency + " " + a.impact + "  " + a.title);
  }
  if (lines.empty())
    lines.emplace_back(s.last_run == 0 ? "The first run of this week is still to come"
                                       : "No selected event ahead this week");
  return lines;
}

}  // namespace mervane
