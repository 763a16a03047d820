#include "cli/cli_windows.h"

#include "core/analysis/effect_analysis_report.h"
#include "core/analysis/nci_output.h"
#include "core/model/session.h"

namespace mervane::cli {

void CliWindows::date_picker(Session& s) {
  s.with([](Globals& g) { g.cmask = "1111111"; });  // the mask applies to one call only
}

void CliWindows::initial_setup(Session& s) {
  s.with([](Globals& g) { g.parm3.clear(); });
}

void CliWindows::form(Session& s, FormKind) {
  s.take_request();
  s.set_response(2);  // cancelled
}

// The progress windows do their work as they are shown, and close when it is done.
void show(WindowModel& w) {
  w.open();
  w.other_event({OtherEvent::Kind::Opened});
}

void CliWindows::effects_report(Session& s) {
  EffectAnalysisReport w(s, r_, p_);
  show(w);
}

void CliWindows::nci_output(Session& s) {
  NciOutput w(s, r_, p_);
  show(w);
}

}  // namespace mervane::cli
