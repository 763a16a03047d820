// DELETESWAPOUT: deletes in one go the auxiliary items (SWAPOUT) of one record type whose date
// lies in a range, optionally only those of one currency or pair.
//
// Opening fills the two drop lists: PAIRQ (a blank entry, "ALL", then every pair of SWAPRATE in
// pair order) and TYPEQ (the distinct record types of SWAPOUT in key order; RECTYPE starts as
// the first). Record types and pairs are compared without regard to letter case, as the keys
// compare them. A blank DELPAIR deletes items of every currency; "ALL" only those whose currency
// is "ALL".
//
// The deletion is one transaction on SWAPOUT: an Abort at a stop message deletes nothing. The
// model is used by one thread at a time; COUNT1 (items examined) goes to Progress.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/app/windows.h"
#include "core/model/session.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"
#include "core/util/text.h"

namespace mervane {

// In window order.
enum class DeleteSwapOutControl {
  RECTYPE,
  FROMDATE,
  BUTTON1,
  THRUDATE,
  BUTTON2,
  DELPAIR,
  OK,
  CANCEL,
  COUNT1
};

class DeleteSwapOut {
 public:
  DeleteSwapOut(Session& s, Windows& w, Reporter& r, Progress& p) : s_(s), w_(w), r_(r), p_(p) {}

  // Fills PAIRQ and TYPEQ and sets the initial values.
  void open();

  // Window variables.
  Text<6> rectype;
  std::int32_t fromdate = 0;
  std::int32_t thrudate = 0;
  Text<6> delpair;
  std::int64_t count1 = 0;
  std::vector<std::string> typeq;
  std::vector<std::string> pairq;

  // The user moves the cursor to c (Tab, a click).
  void move_focus(DeleteSwapOutControl c);
  // Buttons: BUTTON1 and BUTTON2 run the date picker on the first and last date, OK deletes
  // (unless the last date is before the first: the cursor goes back to it), CANCEL closes.
  void press(DeleteSwapOutControl c);
  void enter() { press(DeleteSwapOutControl::OK); }
  void escape() { press(DeleteSwapOutControl::CANCEL); }

  DeleteSwapOutControl focus() const { return focus_; }
  bool closed() const { return closed_; }
  // Items deleted by the run; done when the deletion was stored.
  std::int64_t deleted() const { return deleted_; }
  bool done() const { return done_; }

 private:
  void focus_on(DeleteSwapOutControl c);
  void delete_items();

  Session& s_;
  Windows& w_;
  Reporter& r_;
  Progress& p_;
  DeleteSwapOutControl focus_ = DeleteSwapOutControl::RECTYPE;
  bool closed_ = false;
  bool done_ = false;
  std::int64_t deleted_ = 0;
};

}  // namespace mervane
