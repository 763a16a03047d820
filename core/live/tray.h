// The windows program in the system tray while it keeps this week current: what the window
// system's close of the frame (Alt+F4, the close box) does, the question it asks the first time,
// and the lines of the tray menu that name the next selected events.
//
// The close goes to the tray only while the watch runs and the desktop offers a tray; then the
// answer remembered in mervane.cfg (TRAYONCLOSE) decides, and without one the question does:
// Yes keeps the program running in the tray, No ends it, each remembered so that it is not asked
// again; Cancel keeps the frame open and remembers nothing. Otherwise the frame closes as it
// always does. E&xit, and the tray menu's "Quit", end the program whatever the answer.
//
// Threading: the GUI thread's (it reads and writes mervane.cfg there, as the frame's own place).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/live/watch.h"
#include "core/runtime/reporter.h"
#include "core/runtime/status.h"

namespace mervane {

constexpr std::string_view kTrayOpen = "Open Mervane";
constexpr std::string_view kTrayQuit = "Quit";

enum class CloseAction {
  Close,   // the program ends, its windows first
  Ask,     // tray_question() decides
  ToTray,  // the frame hides; the watch goes on under an icon in the tray
};

// The question: caption "Keep this week current", Yes (the default), No and Cancel.
Warning tray_question();

class TrayChoice {
 public:
  explicit TrayChoice(std::filesystem::path folder) : folder_(std::move(folder)) {}

  // What the close does: watching, "Keep this week current" is on and its watch runs;
  // tray_available, the desktop offers a system tray.
  CloseAction on_close(bool watching, bool tray_available) const;
  // The answer to the question (kYesButton, kNoButton, kCancelButton): ToTray or Close, each
  // remembered; none for Cancel (the frame stays). A failure to remember is in remembered().
  std::optional<CloseAction> answered(int button);
  const Status& remembered() const { return remembered_; }

 private:
  std::filesystem::path folder_;
  Status remembered_;
};

// The tray menu's lines of the next selected events, in the watch's order, each
// "2026.03.09 15:30  USD H  Non-Farm Employment Change" (MT4 time); without any, one line that
// says why: the first run is still to come, or no selected event is ahead this week.
std::vector<std::string> tray_event_lines(const WatchStatus& s);

}  // namespace mervane
