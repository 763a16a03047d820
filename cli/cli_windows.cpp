#include "cli/cli_windows.h"

#include <ostream>

#include "core/model/session.h"

namespace mervane::cli {

void CliWindows::date_picker(Session& s) {
  s.with([](Globals& g) { g.cmask = "1111111"; });
}

void CliWindows::initial_setup(Session& s) {
  s.with([](Globals& g) { g.parm3.clear(); });
}

void CliWindows::effects_report(Session&) {
  err_ << "mervane-cli: this build has no effects analysis; the preview table holds the events\n";
}

void CliWindows::nci_output(Session&) {
  err_ << "mervane-cli: this build has no NCI output; the NCI files were not updated\n";
}

}  // namespace mervane::cli
