// SWAPOUTPUT: generates the week's "SWAP" auxiliary items in SWAPOUT, one for each swap
// definition (SWAPDATA) with Date Add 0 or more and each pair (SWAPRATE), dated from the start
// Sunday. With REBUILD on, every "SWAP" item of every date is removed first; without it the
// items of other weeks stay and this week's are rewritten in place.
//
// Definitions are read in Date Add order including those with Date Add 0: such a definition is
// a Sunday item, although the key leaves it out (its key fields are all zero). Pairs are read
// in pair order; a pair with a blank name is not in that key and gives no item.
//
// The run is one transaction on SWAPOUT, so an Abort at a stop message leaves the items as they
// were. The model is used by one thread at a time; COUNT1 (items deleted plus items written)
// goes to Progress.
#pragma once

#include <cstdint>

#include "core/app/windows.h"
#include "core/model/session.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"

namespace mervane {

enum class SwapOutputControl {
  SWAPPLOT,
  SWAPRATES,
  FROMDATE,
  BUTTON5,
  REBUILD,
  OK,
  CANCEL,
  COUNT1
};

// The two browses the window opens on its own thread; each returns when the user closes it.
class SwapBrowses {
 public:
  virtual ~SwapBrowses() = default;
  virtual void browse_swap_data(Session& s) = 0;  // BROWSESWAPDATA
  virtual void browse_swap_rate(Session& s) = 0;  // BROWSESWAPRATE
};

struct SwapOutputResult {
  bool done = false;  // the items were generated and stored
  std::int64_t deleted = 0;
  std::int64_t added = 0;
  std::int64_t rewritten = 0;
};

class SwapOutput {
 public:
  // fromdate starts as the latest Sunday on or before the session's today.
  SwapOutput(Session& s, Windows& w, SwapBrowses& b, Reporter& r, Progress& p);

  // Window variables.
  std::int32_t fromdate = 0;
  std::int16_t rebuild = 1;
  std::int64_t count1 = 0;

  // Buttons: SWAPPLOT and SWAPRATES open the browses, BUTTON5 the date picker (Sundays only),
  // OK runs the generation and closes, CANCEL closes without change.
  void press(SwapOutputControl c);
  void enter() { press(SwapOutputControl::OK); }
  void escape() { press(SwapOutputControl::CANCEL); }

  bool closed() const { return closed_; }
  const SwapOutputResult& result() const { return result_; }

 private:
  void generate();

  Session& s_;
  Windows& w_;
  SwapBrowses& b_;
  Reporter& r_;
  Progress& p_;
  bool closed_ = false;
  SwapOutputResult result_;
};

}  // namespace mervane
