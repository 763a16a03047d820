// How failures reach the user.
//
// The core never shows anything itself: a failing step hands its message to the Reporter that
// the program supplies. The GUI shows message boxes, the command line prints on stderr, tests
// record every message and answer from a script.
//
// A stop message ("Open(" + file + ") - " + error text and its siblings, caption "Stop") is
// answered Abort or Ignore. Abort is thrown as Aborted and caught at the top of the program, so
// open transactions roll back and temporary files are removed on the way out; Ignore carries on
// with the next statement.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "core/runtime/status.h"

namespace mervane {

enum class Answer { Abort, Ignore };

// Message box buttons, numbered so that a set of buttons is their sum.
enum Button : int {
  kOkButton = 1,
  kYesButton = 2,
  kNoButton = 4,
  kRetryButton = 16,
  kCancelButton = 64
};

enum class Icon { None, Information, Question, Exclamation, Stop };

struct Warning {
  int id = 0;  // standard warning number, 0 for other messages
  std::string text;
  std::string caption;
  Icon icon = Icon::Information;
  int buttons = kOkButton;
  int default_button = kOkButton;
};

class Reporter {
 public:
  virtual ~Reporter() = default;
  // A stop message; caption "Stop", Abort the default button.
  virtual Answer stop(std::string_view text) = 0;
  // The same message with the failure it reports, for a reporter that answers by the kind of
  // failure rather than by asking (the watch skips a cycle on a locked history and backs off on
  // a refused download). stop() below calls this one; the default asks as stop() does.
  virtual Answer stop_on(const Status& cause, std::string_view text) {
    (void)cause;  // shown the same whatever the cause
    return stop(text);
  }
  // A message box; returns the number of the button pressed.
  virtual int warning(const Warning& w) = 0;
};

// Thrown when the user answers Abort, or a standard warning ends the program. what() is the
// text the program ends with ("Invalid Key!", or the stop message that was aborted).
class Aborted : public std::runtime_error {
 public:
  explicit Aborted(const std::string& why) : std::runtime_error(why) {}
};

// The text of a stop message: op is "Open", "Create", "Add", ...; name the file or list.
std::string stop_text(std::string_view op, std::string_view name, const Status& st);

// Shows the stop message and throws Aborted on Abort; returns normally on Ignore.
void stop(Reporter& r, std::string_view op, std::string_view name, const Status& st);

// Shows the stop message only when st failed; true when it did (the caller skips what depended
// on the operation, after Ignore).
bool stop_if_failed(Reporter& r, std::string_view op, std::string_view name, const Status& st);

}  // namespace mervane
