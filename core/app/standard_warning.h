// The numbered standard warnings of the browse and edit screens, and the saved storage error
// they report.
#pragma once

#include <string_view>

#include "core/model/session.h"
#include "core/runtime/reporter.h"
#include "core/runtime/status.h"

namespace mervane {

// RISAVEERROR: keeps the error of a failed operation for the next standard warning.
void ri_save_error(Session& s, const Status& st);

// The message of warning id: its exact text, caption, icon and buttons. err is the error that
// the text reports (see standard_warning for which one).
Warning make_standard_warning(int id, std::string_view text1, std::string_view text2,
                              const Status& err);

// STANDARDWARNING: reports the saved error when there is one (and clears it), else current;
// shows the message through r and returns the button pressed, or 0 where the warning returns
// nothing. The warnings that end the program (1, 3, 4, 5, and 2 answered No) throw Aborted with
// the text the program ends with ("Invalid File!", "Invalid Key!", ...).
int standard_warning(Reporter& r, Session& s, int id, std::string_view text1 = {},
                     std::string_view text2 = {}, const Status& current = Status::ok());

}  // namespace mervane
