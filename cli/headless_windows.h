// The windows a model opens from inside itself, on the command line: there is nobody to pick a
// date or browse a table, so each call leaves everything as it is (the date picker returns with
// nothing picked, the browses close at once).
#pragma once

#include "core/app/windows.h"
#include "core/auxdata/swap_output.h"
#include "core/model/session.h"

namespace mervane::cli {

class HeadlessWindows final : public Windows, public SwapBrowses {
 public:
  void date_picker(Session& s) override {
    s.with([](Globals& g) { g.cmask = "1111111"; });  // the mask applies to one call only
  }
  void initial_setup(Session&) override {}
  void wingding_chart() override {}
  void browse_pview(Session&) override {}
  void start_history_browse(Session&) override {}
  void effects_setup(Session&) override {}
  void effects_report(Session&) override {}
  void nci_output(Session&) override {}
  void browse_swap_data(Session&) override {}
  void browse_swap_rate(Session&) override {}
};

}  // namespace mervane::cli
