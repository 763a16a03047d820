// A Windows stub for tests of window models: records what was opened, plays the date picker
// from a script and runs the record forms and swap windows through functions the test gives
// (a form the test does not handle closes as after Cancel).
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
  // Dates the picker "picks", in order; when empty it returns with nothing picked.
  std::deque<std::int32_t> picks;
  // What the picker was opened with: GLO:CDATE and GLO:CMASK of each call.
  std::vector<std::int32_t> picker_dates;
  std::vector<std::string> picker_masks;
  int history_browses = 0;
  // Each form opened, in order; on_form plays it.
  std::vector<FormKind> forms;
  std::function<void(Session&, FormKind)> on_form;
  int swap_outputs = 0;
  int swap_imports = 0;
  std::function<void(Session&)> on_swap_output;
  std::function<void(Session&)> on_import_swap_rates;

  void date_picker(Session& s) override {
    s.with([&](Globals& g) {
      picker_dates.push_back(g.cdate);
      picker_masks.push_back(g.cmask.str());
      if (!picks.empty()) {
        g.cdate = picks.front();
        picks.pop_front();
      }
      g.cmask = "1111111";
    });
  }
  void start_history_browse(Session&) override { ++history_browses; }
  void initial_setup(Session&) override {}
  void wingding_chart() override {}
  void browse_pview(Session&) override {}
  void effects_setup(Session&) override {}
  void effects_report(Session&) override {}
  void nci_output(Session&) override {}
  void form(Session& s, FormKind kind) override {
    forms.push_back(kind);
    if (on_form) {
      on_form(s, kind);
    } else {
      s.take_request();
      s.set_response(2);
    }
  }
  void swap_output(Session& s) override {
    ++swap_outputs;
    if (on_swap_output) on_swap_output(s);
  }
  void import_swap_rates(Session& s) override {
    ++swap_imports;
    if (on_import_swap_rates) on_import_swap_rates(s);
  }
};

}  // namespace mervane::test
