// The windows a window model opens, as the command line has them. There is nobody to answer a
// window here, so each runs as run_without_user() runs it (core/app/windows.h): it opens, a
// window that works without input (the effects report, the NCI output) does its work, reporting
// through the command's reporter and progress, and a window that needs a user (the date picker,
// the Initial setup, the effects setup, a record form, a list) is closed as its close box
// closes it: it leaves what its Cancel leaves and changes nothing. A form asked to delete asks
// its confirmation while opening, through the command's reporter, which prints it and answers
// with its default button, Cancel: the record stays. The windows of the menu (the history list
// a run starts at its end) are not started: the commands print what they need themselves.
#pragma once

#include "core/app/windows.h"

namespace mervane::cli {

class CliWindows final : public Windows {
 public:
  Response run(WindowModel& w) override { return run_without_user(w); }
  void start(Procedure) override {}
};

}  // namespace mervane::cli
