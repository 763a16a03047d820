// The windows a window model opens, as the command line has them: there is nobody to
// fill in the interactive ones, so they close as after Cancel (the date picker keeps its date,
// the Initial setup returns no MT4 folder, the effects setup, the record forms, the swap
// generation and the swap import change nothing), and the browses show nothing (the commands
// print what they need themselves). The effects report and the NCI
// output are headless work and run here, reporting through the command's reporter and progress.
#pragma once

#include "core/app/window_model.h"
#include "core/app/windows.h"
#include "core/auxdata/swap_output.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"

namespace mervane::cli {

// Opens a window that needs no input (a progress window) and lets it do its work.
void show(WindowModel& w);

class CliWindows final : public Windows, public SwapBrowses {
 public:
  CliWindows(Reporter& r, Progress& p) : r_(r), p_(p) {}
  void date_picker(Session& s) override;
  void initial_setup(Session& s) override;
  void wingding_chart() override {}
  void browse_pview(Session&) override {}
  void start_history_browse(Session&) override {}
  void effects_setup(Session&) override {}
  void effects_report(Session& s) override;
  void nci_output(Session& s) override;
  void form(Session& s, FormKind kind) override;
  void swap_output(Session&) override {}
  void import_swap_rates(Session&) override {}
  void browse_swap_data(Session&) override {}
  void browse_swap_rate(Session&) override {}

 private:
  Reporter& r_;
  Progress& p_;
};

}  // namespace mervane::cli
