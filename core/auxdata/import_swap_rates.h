// IMPORTSWAPRATES: reads the swap rates of "swaprate.csv" in the working folder into SWAPRATE.
//
// Each line names a pair and its buy and sell swaps (see swap_rate_line.h). A stored pair gets
// both swaps, times MULTIPLIER, and keeps its other fields; a pair not stored yet is added only
// when ADDNEW is on. A line that is not "pair,buy,sell" is skipped and listed in the result with
// its reason, so the window and the command line can say how many lines were left out and why.
//
// The import is one transaction on SWAPRATE: an Abort at a stop message leaves the table as it
// was. A file that cannot be opened shows "Open(swaprate.csv) - " + error text and changes
// nothing.
// The model is used by one thread at a time; the run reports COUNT1 (lines read) to Progress.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/model/session.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"

namespace mervane {

enum class ImportSwapRatesControl { ADDNEW, MULTIPLIER, OK, CANCEL, COUNT1 };

struct SwapImportResult {
  bool file_read = false;      // the file was opened and read to its end
  std::int64_t updated = 0;    // stored pairs given the new swaps
  std::int64_t added = 0;      // new pairs added (ADDNEW on)
  std::int64_t not_added = 0;  // new pairs left out (ADDNEW off)
  // One entry per line left out as not "pair,buy,sell": "line 4: no second comma".
  std::vector<std::string> skipped;
};

class ImportSwapRates {
 public:
  ImportSwapRates(Session& s, Reporter& r, Progress& p) : s_(s), r_(r), p_(p) {}

  // Window variables.
  std::int16_t addnew = 0;
  double multiplier = 1;
  std::int64_t count1 = 0;

  // OK or Enter: runs the import, then the window closes.
  void ok();
  // Cancel, Esc or closing the window: nothing is changed.
  void cancel() { closed_ = true; }

  bool closed() const { return closed_; }
  const SwapImportResult& result() const { return result_; }

 private:
  void import_lines();

  Session& s_;
  Reporter& r_;
  Progress& p_;
  bool closed_ = false;
  SwapImportResult result_;
};

}  // namespace mervane
