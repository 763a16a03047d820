// DELETESWAPOUT: deletes in one go the auxiliary items (SWAPOUT) of one record type whose date
// lies in a range, optionally only those of one currency or pair.
//
// Opening fills the two drop lists: PAIRQ (a blank entry, "ALL", then every pair of SWAPRATE in
// pair order) and TYPEQ (the distinct record types of SWAPOUT in key order; RECTYPE starts as
// the first). Record types and pairs are compared without regard to letter case, as the keys
// compare them. A blank DELPAIR deletes items of every currency; "ALL" only those whose currency
// is "ALL".
//
// The window protocol (window_model.h): the record type and the pair are typed or chosen from
// their lists; moving the cursor past the dates while the last is before the first puts it back
// on the last date, and reaching the blank last date fills it with the first; Enter anywhere is
// OK, Esc anywhere Cancel. OK deletes and answers close (Completed); Cancel, Esc and the close
// box answer close (Cancelled) with nothing deleted.
//
// The deletion is one transaction on SWAPOUT: an Abort at a stop message deletes nothing. The
// model is used by one thread at a time; COUNT1 (items examined) goes to Progress.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/app/window_base.h"
#include "core/app/windows.h"
#include "core/model/session.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"
#include "core/util/text.h"

namespace mervane {

// In window order.
enum class DeleteSwapOutControl : int {
  RECTYPE = 1,
  FROMDATE,
  BUTTON1,
  THRUDATE,
  BUTTON2,
  DELPAIR,
  OK,
  CANCEL,
  COUNT1
};

class DeleteSwapOut final : public WindowModelBase {
 public:
  DeleteSwapOut(Session& s, Windows& w, Reporter& r, Progress& p)
      : WindowModelBase(r), s_(s), w_(w), p_(p) {}

  const std::vector<ControlSpec>& controls() const override;
  std::string title() const override { return "  Delete Auxiliary Output items"; }
  // Fills PAIRQ and TYPEQ and sets the initial values.
  void open() override;

  std::string value(int control) const override;
  bool enabled(int control) const override { return control_def(control) != nullptr; }
  // TYPEQ for ?RECTYPE, PAIRQ for ?DELPAIR.
  std::vector<std::string> choices(int control) const override;
  int focus() const override { return static_cast<int>(focus_); }

  // After OK: items deleted by the run; done when the deletion was stored.
  std::int64_t deleted() const { return deleted_; }
  bool done() const { return done_; }

 protected:
  Reply on_accepted(int control) override;
  Reply on_selecting(int control) override;
  Reply on_key(KeyPress k) override;
  Reply on_close_request() override { return close(Response::Cancelled); }
  std::string store(int control, const Typed& value) override;

 private:
  void focus_on(DeleteSwapOutControl c);
  void delete_items();

  Session& s_;
  Windows& w_;
  Progress& p_;
  Text<6> rectype_;
  std::int32_t fromdate_ = 0;
  std::int32_t thrudate_ = 0;
  Text<6> delpair_;
  std::int64_t count1_ = 0;
  std::vector<std::string> typeq_;
  std::vector<std::string> pairq_;
  DeleteSwapOutControl focus_ = DeleteSwapOutControl::RECTYPE;
  bool done_ = false;
  std::int64_t deleted_ = 0;
};

}  // namespace mervane
