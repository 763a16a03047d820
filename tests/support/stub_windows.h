// A Windows stub for tests of window models: records every window opened, plays the date picker
// and the Initial setup from a script and runs the record forms and swap windows through
// functions the test gives (a form the test does not handle closes as after Cancel).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/app/windows.h"
#include "core/model/session.h"

namespace mervane::test {

class StubWindows : public Windows {
 public:
  // Every window opened, by name, in order.
  std::vector<std::string> calls;
  // Dates the picker "picks", in order; when they are used up it picks `picked`, and with that
  // 0 it returns with nothing picked.
  std::deque<std::int32_t> picks;
  std::int32_t picked = 0;
  // What the picker was opened with: GLO:CDATE and GLO:CMASK of each call.
  std::vector<std::int32_t> picker_dates;
  std::vector<std::string> picker_masks;
  // The Initial setup's answers; a blank folder is Cancel.
  std::int16_t parm1 = 0, parm2 = 0;
  std::string parm3;
  int history_browses = 0;
  // Each form opened, in order; on_form plays it.
  std::vector<FormKind> forms;
  std::function<void(Session&, FormKind)> on_form;
  int swap_outputs = 0;
  int swap_imports = 0;
  std::function<void(Session&)> on_swap_output;
  std::function<void(Session&)> on_import_swap_rates;
  // What the effects report and the NCI output were opened with.
  BuildSettings g2_seen;
  std::string outname_seen;

  void date_picker(Session& s) override {
    calls.push_back("date_picker");
    s.with([&](Globals& g) {
      picker_dates.push_back(g.cdate);
      picker_masks.push_back(g.cmask.str());
      if (!picks.empty()) {
        g.cdate = picks.front();
        picks.pop_front();
      } else if (picked != 0) {
        g.cdate = picked;
      }
      g.cmask = "1111111";
    });
  }
  void start_history_browse(Session&) override {
    calls.push_back("start_history_browse");
    ++history_browses;
  }
  void initial_setup(Session& s) override {
    calls.push_back("initial_setup");
    s.with([&](Globals& g) {
      g.parm1 = parm1;
      g.parm2 = parm2;
      g.parm3 = parm3;
    });
  }
  void wingding_chart() override { calls.push_back("wingding_chart"); }
  void browse_pview(Session&) override { calls.push_back("browse_pview"); }
  void effects_setup(Session&) override { calls.push_back("effects_setup"); }
  void effects_report(Session& s) override {
    calls.push_back("effects_report");
    g2_seen = s.g2();
  }
  void nci_output(Session& s) override {
    calls.push_back("nci_output");
    g2_seen = s.g2();
    outname_seen = s.globals().outname.str();
  }
  void form(Session& s, FormKind kind) override {
    calls.push_back("form");
    forms.push_back(kind);
    if (on_form) {
      on_form(s, kind);
    } else {
      s.take_request();
      s.set_response(2);
    }
  }
  void swap_output(Session& s) override {
    calls.push_back("swap_output");
    ++swap_outputs;
    if (on_swap_output) on_swap_output(s);
  }
  void import_swap_rates(Session& s) override {
    calls.push_back("import_swap_rates");
    ++swap_imports;
    if (on_import_swap_rates) on_import_swap_rates(s);
  }
};

}  // namespace mervane::test
