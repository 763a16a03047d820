#include "core/auxdata/delete_swap_out.h"

#include <limits>

#include "core/app/open_or_create.h"
#include "core/app/pick_date.h"
#include "core/model/records.h"
#include "core/runtime/paths.h"
#include "core/util/dates.h"

namespace mervane {

namespace {

std::string folded(std::string_view s) {
  return upper_ascii(clip(s));
}

}  // namespace

void DeleteSwapOut::open() {
  pairq = {"", "ALL"};
  {
    // The pairs only fill a list: a missing SWAPRATE has none, and is not made for that.
    Table<SwaprateTable> rates(s_.folder());
    Status st = rates.open(OpenMode::read_only());
    if (st.is_ok()) {
      st = rates.set_start(SwaprateKey::KeyPair);
      while (st.is_ok() && (st = rates.next()).is_ok()) pairq.push_back(rates.rec.pair.str());
      // A list cut short by a read error would look complete.
      if (st.code != kRecordNotAvailable) stop(r_, "Get", rates.file_name(), st);
    } else if (st.code != kFileNotFound) {
      stop(r_, "Open", rates.file_name(), st);
    }
  }
  typeq.clear();
  rectype.clear();
  {
    Table<SwapoutTable> items(s_.folder());
    if (open_or_create(items, OpenMode::shared(), r_)) {
      Status st = items.set_start(SwapoutKey::Key);
      while (st.is_ok() && (st = items.next()).is_ok()) {
        if (typeq.empty()) rectype = items.rec.rectype;
        if (typeq.empty() || folded(typeq.back()) != folded(items.rec.rectype))
          typeq.push_back(items.rec.rectype.str());
      }
      if (st.code != kRecordNotAvailable) stop(r_, "Get", items.file_name(), st);
    }
  }
  fromdate = *date_serial(2000, 1, 1);
  thrudate = 0;
  delpair.clear();
  focus_ = DeleteSwapOutControl::RECTYPE;
}

void DeleteSwapOut::focus_on(DeleteSwapOutControl c) {
  focus_ = c;
  if (c >= DeleteSwapOutControl::THRUDATE && thrudate == 0) thrudate = fromdate;
}

void DeleteSwapOut::move_focus(DeleteSwapOutControl c) {
  const bool past_dates = c == DeleteSwapOutControl::DELPAIR || c == DeleteSwapOutControl::OK;
  focus_on(past_dates && thrudate < fromdate ? DeleteSwapOutControl::THRUDATE : c);
}

void DeleteSwapOut::press(DeleteSwapOutControl c) {
  switch (c) {
    case DeleteSwapOutControl::BUTTON1:
      pick_date(w_, s_, fromdate);
      break;
    case DeleteSwapOutControl::BUTTON2:
      pick_date(w_, s_, thrudate);
      break;
    case DeleteSwapOutControl::OK:
      if (thrudate < fromdate) {
        focus_on(DeleteSwapOutControl::THRUDATE);
        return;
      }
      delete_items();
      closed_ = true;
      break;
    case DeleteSwapOutControl::CANCEL:
      closed_ = true;
      break;
    default:
      break;
  }
}

void DeleteSwapOut::delete_items() {
  count1 = 0;
  deleted_ = 0;
  Table<SwapoutTable> items(s_.folder());
  if (!open_or_create(items, OpenMode::shared(), r_)) return;
  const std::string name = items.file_name();
  Transaction tx(items);
  if (stop_if_failed(r_, "Open", name, tx.status())) return;
  const std::string type = folded(rectype);
  const std::string pair = folded(delpair);
  items.clear();
  items.rec.rectype = rectype;
  items.rec.date = std::numeric_limits<std::int32_t>::min();
  items.rec.time = std::numeric_limits<std::int32_t>::min();
  Status st = items.set(SwapoutKey::Key);
  std::int64_t n = 0;
  while (st.is_ok() && (st = items.next()).is_ok()) {
    p_.report("COUNT1", ++count1);
    if (folded(items.rec.rectype) != type) break;  // the key sorts it after RECTYPE
    if (items.rec.date < fromdate || items.rec.date > thrudate) continue;
    if (!pair.empty() && folded(items.rec.currency) != pair) continue;
    if (!stop_if_failed(r_, "Delete", name, items.erase())) ++n;
  }
  if (st.code != kRecordNotAvailable && st.failed()) {
    stop(r_, "Get", name, st);
    return;
  }
  if (stop_if_failed(r_, "Delete", name, tx.commit())) return;
  deleted_ = n;
  done_ = true;
}

}  // namespace mervane
