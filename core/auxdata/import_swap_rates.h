// IMPORTSWAPRATES: reads the swap rates of "swaprate.csv" in the working folder into SWAPRATE.
//
// Each line names a pair and its buy and sell swaps (see swap_rate_line.h). A stored pair gets
// both swaps, times MULTIPLIER, and keeps its other fields; a pair not stored yet is added only
// when ADDNEW is on. A line that is not "pair,buy,sell" is skipped and listed in the result with
// its reason, so the window and the command line can say how many lines were left out and why.
//
// The window protocol (window_model.h): OK or Enter anywhere imports and answers close
// (Completed); Cancel, Esc or the close box answer close (Cancelled) with nothing changed.
//
// The import is one transaction on SWAPRATE: an Abort at a stop message leaves the table as it
// was. A file that cannot be opened shows "Open(swaprate.csv) - " + error text and changes
// nothing.
// The model is used by one thread at a time; the run reports COUNT1 (lines read) to Progress.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/app/window_base.h"
#include "core/model/session.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"

namespace mervane {

enum class ImportSwapRatesControl : int { ADDNEW = 1, MULTIPLIER, OK, CANCEL, COUNT1 };

struct SwapImportResult {
  bool file_read = false;      // the file was opened and read to its end
  std::int64_t updated = 0;    // stored pairs given the new swaps
  std::int64_t added = 0;      // new pairs added (ADDNEW on)
  std::int64_t not_added = 0;  // new pairs left out (ADDNEW off)
  // One entry per line left out as not "pair,buy,sell": "line 4: no second comma".
  std::vector<std::string> skipped;
};

class ImportSwapRates final : public WindowModelBase {
 public:
  ImportSwapRates(Session& s, Reporter& r, Progress& p) : WindowModelBase(r), s_(s), p_(p) {}

  const std::vector<ControlSpec>& controls() const override;
  std::string title() const override { return "  Import Swap Rates"; }
  // ADDNEW off, MULTIPLIER 1.
  void open() override;

  std::string value(int control) const override;
  bool enabled(int control) const override { return control_def(control) != nullptr; }

  const SwapImportResult& result() const { return result_; }
  std::int64_t count1() const { return count1_; }
  // After an import that stored the rates but left lines out: the message that says how many
  // and why (the first kSkippedShown of them, each cut to 100 characters) with the run's
  // counts, for the window to show once it has closed. None when every line was read.
  std::optional<Warning> skipped_lines() const;
  static constexpr std::size_t kSkippedShown = 20;

 protected:
  Reply on_accepted(int control) override;
  Reply on_key(KeyPress k) override;
  Reply on_close_request() override { return close(Response::Cancelled); }
  std::string store(int control, const Typed& value) override;

 private:
  void import_lines();

  Session& s_;
  Progress& p_;
  std::int16_t addnew_ = 0;
  double multiplier_ = 1;
  std::int64_t count1_ = 0;
  SwapImportResult result_;
};

}  // namespace mervane
