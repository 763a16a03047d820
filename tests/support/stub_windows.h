// A Windows stub for tests of window models: records what was opened and plays the date picker
// from a script.
#pragma once

#include <cstdint>
#include <deque>
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
};

}  // namespace mervane::test
