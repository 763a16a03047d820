// SWAPOUTPUT: generates the week's "SWAP" auxiliary items in SWAPOUT, one for each swap
// definition (SWAPDATA) with Date Add 0 or more and each pair (SWAPRATE), dated from the start
// Sunday. With REBUILD on, every "SWAP" item of every date is removed first; without it the
// items of other weeks stay and this week's are rewritten in place.
//
// Definitions are read in Date Add order including those with Date Add 0: such a definition is
// a Sunday item, although the key leaves it out (its key fields are all zero). Pairs are read
// in pair order; a pair with a blank name is not in that key and gives no item.
//
// The window protocol (window_model.h): F2 and F3 (or their buttons) open the definitions and
// swap rate lists (BROWSESWAPDATA, BROWSESWAPRATE) on this thread, the calendar button picks
// Sundays only; Enter anywhere is OK and Esc anywhere Cancel. OK generates and answers close
// (Completed); Cancel, Esc and the close box answer close (Cancelled) with nothing changed.
//
// The run is one transaction on SWAPOUT, so an Abort at a stop message leaves the items as they
// were. The model is used by one thread at a time; COUNT1 (items deleted plus items written)
// goes to Progress.
#pragma once

#include <cstdint>

#include "core/app/window_base.h"
#include "core/app/windows.h"
#include "core/model/session.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"

namespace mervane {

enum class SwapOutputControl : int {
  SWAPPLOT = 1,
  SWAPRATES,
  FROMDATE,
  BUTTON5,
  REBUILD,
  OK,
  CANCEL,
  COUNT1
};

struct SwapOutputResult {
  bool done = false;  // the items were generated and stored
  std::int64_t deleted = 0;
  std::int64_t added = 0;
  std::int64_t rewritten = 0;
};

class SwapOutput final : public WindowModelBase {
 public:
  SwapOutput(Session& s, Windows& w, Reporter& r, Progress& p)
      : WindowModelBase(r), s_(s), w_(w), p_(p) {}

  const std::vector<ControlSpec>& controls() const override;
  std::string title() const override { return "  Modify Swap Details"; }
  // FROMDATE: the latest Sunday on or before the session's today; REBUILD on.
  void open() override;

  std::string value(int control) const override;
  bool enabled(int control) const override { return control_def(control) != nullptr; }

  const SwapOutputResult& result() const { return result_; }
  std::int64_t count1() const { return count1_; }

 protected:
  Reply on_accepted(int control) override;
  Reply on_key(KeyPress k) override;
  Reply on_close_request() override { return close(Response::Cancelled); }
  std::string store(int control, const Typed& value) override;

 private:
  void generate();

  Session& s_;
  Windows& w_;
  Progress& p_;
  std::int32_t fromdate_ = 0;
  std::int16_t rebuild_ = 1;
  std::int64_t count1_ = 0;
  SwapOutputResult result_;
};

}  // namespace mervane
