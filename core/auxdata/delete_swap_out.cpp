#include "core/auxdata/delete_swap_out.h"

#include <limits>

#include "core/app/open_or_create.h"
#include "core/model/records.h"
#include "core/runtime/paths.h"
#include "core/setup/pick_date.h"
#include "core/util/dates.h"

namespace mervane {

namespace {

std::string folded(std::string_view s) {
  return upper_ascii(clip(s));
}

using C = DeleteSwapOutControl;

// The window's places, in dialog units: the warning on top, then each field beside its prompt
// in one column, the dates side by side with their note under them.
std::vector<ControlSpec> build_controls() {
  ControlList l(100);
  using K = ControlKind;
  l.prompt("This will delete all items that match the criteria you specify (CAUTION!)");
  l.at({8, 6, 300, 9});
  l.prompt("To exit without damage, press Esc or click Cancel now");
  l.at({8, 16, 300, 9});
  l.prompt("Record Type  (mandatory)");
  l.at({8, 36, 160, 9});
  l.add(number(C::RECTYPE), K::Combo, "?RECTYPE", {}, "s6").at({168, 34, 64, 13});
  l.prompt("Delete all items between");
  l.at({8, 55, 160, 9});
  l.add(number(C::FROMDATE), K::Entry, "?FROMDATE", {}, "d2").at({168, 53, 72, 13});
  l.calendar_button(number(C::BUTTON1), "?BUTTON1");
  l.prompt("and");
  l.at({246, 55, 20, 9});
  l.add(number(C::THRUDATE), K::Entry, "?THRUDATE", {}, "d2").at({266, 53, 72, 13});
  l.calendar_button(number(C::BUTTON2), "?BUTTON2");
  l.prompt("(format mm/dd/yyyy)");
  l.at({168, 68, 120, 9});
  l.prompt("Restrict deletions to this currency pair");
  l.at({8, 86, 160, 9});
  l.add(number(C::DELPAIR), K::Combo, "?DELPAIR", {}, "s6").at({168, 84, 64, 13});
  l.prompt("(leave blank = no restrictions)");
  l.at({238, 86, 120, 9});
  l.add(number(C::OK), K::Button, "?OK", "OK (Enter)").at({198, 106, 66, 15});
  l.add(number(C::CANCEL), K::Button, "?CANCEL", "Cancel (Esc)").at({270, 106, 68, 15});
  // The counter has no prompt on the window; its name tells a screen reader what it counts.
  l.add(number(C::COUNT1), K::Display, "?COUNT1", "Items examined", "n_6").at({110, 109, 80, 10});
  return l.take();
}

}  // namespace

const std::vector<ControlSpec>& DeleteSwapOut::controls() const {
  static const std::vector<ControlSpec> kControls = build_controls();
  return kControls;
}

std::string DeleteSwapOut::value(int control) const {
  const ControlSpec* c = control_def(control);
  switch (static_cast<C>(control)) {
    case C::RECTYPE:
      return rectype_.str();
    case C::FROMDATE:
      return shown(c->picture, fromdate_);
    case C::THRUDATE:
      return shown(c->picture, thrudate_);
    case C::DELPAIR:
      return delpair_.str();
    case C::COUNT1:
      return shown(c->picture, static_cast<double>(count1_));
    default:
      return {};
  }
}

std::vector<std::string> DeleteSwapOut::choices(int control) const {
  if (control == number(C::RECTYPE)) return typeq_;
  if (control == number(C::DELPAIR)) return pairq_;
  return {};
}

std::string DeleteSwapOut::store(int control, const Typed& v) {
  switch (static_cast<C>(control)) {
    case C::RECTYPE:
      rectype_ = v.text;
      break;
    case C::FROMDATE:
      fromdate_ = static_cast<std::int32_t>(v.number);
      break;
    case C::THRUDATE:
      thrudate_ = static_cast<std::int32_t>(v.number);
      break;
    case C::DELPAIR:
      delpair_ = v.text;
      break;
    default:
      break;
  }
  return {};
}

void DeleteSwapOut::open() {
  pairq_ = {"", "ALL"};
  {
    // The pairs only fill a list: a missing SWAPRATE has none, and is not made for that.
    Table<SwaprateTable> rates(s_.folder());
    Status st = rates.open(OpenMode::read_only());
    if (st.is_ok()) {
      st = rates.set_start(SwaprateKey::KeyPair);
      while (st.is_ok() && (st = rates.next()).is_ok()) pairq_.push_back(rates.rec.pair.str());
      // A list cut short by a read error would look complete.
      if (st.code != kRecordNotAvailable) stop(reporter_, "Get", rates.file_name(), st);
    } else if (st.code != kFileNotFound) {
      stop(reporter_, "Open", rates.file_name(), st);
    }
  }
  typeq_.clear();
  rectype_.clear();
  {
    Table<SwapoutTable> items(s_.folder());
    if (open_or_create(items, OpenMode::shared(), reporter_)) {
      Status st = items.set_start(SwapoutKey::Key);
      while (st.is_ok() && (st = items.next()).is_ok()) {
        if (typeq_.empty()) rectype_ = items.rec.rectype;
        if (typeq_.empty() || folded(typeq_.back()) != folded(items.rec.rectype))
          typeq_.push_back(items.rec.rectype.str());
      }
      if (st.code != kRecordNotAvailable) stop(reporter_, "Get", items.file_name(), st);
    }
  }
  fromdate_ = *date_serial(2000, 1, 1);
  thrudate_ = 0;
  delpair_.clear();
  focus_ = C::RECTYPE;
}

void DeleteSwapOut::focus_on(C c) {
  focus_ = c;
  if (c >= C::THRUDATE && thrudate_ == 0) thrudate_ = fromdate_;
}

Reply DeleteSwapOut::on_selecting(int control) {
  const C c = static_cast<C>(control);
  const bool past_dates = c == C::DELPAIR || c == C::OK;
  focus_on(past_dates && thrudate_ < fromdate_ ? C::THRUDATE : c);
  return Reply::stay();
}

Reply DeleteSwapOut::on_key(KeyPress k) {
  return ok_cancel_keys(k, number(C::OK), number(C::CANCEL));
}

Reply DeleteSwapOut::on_accepted(int control) {
  switch (static_cast<C>(control)) {
    case C::BUTTON1:
      pick_date(w_, s_, fromdate_);
      break;
    case C::BUTTON2:
      pick_date(w_, s_, thrudate_);
      break;
    case C::OK:
      if (thrudate_ < fromdate_) {
        focus_on(C::THRUDATE);
        break;
      }
      delete_items();
      return close(Response::Completed);
    case C::CANCEL:
      return close(Response::Cancelled);
    default:
      break;
  }
  return Reply::stay();
}

void DeleteSwapOut::delete_items() {
  count1_ = 0;
  deleted_ = 0;
  Table<SwapoutTable> items(s_.folder());
  if (!open_or_create(items, OpenMode::shared(), reporter_)) return;
  const std::string name = items.file_name();
  Transaction tx(items);
  if (stop_if_failed(reporter_, "Open", name, tx.status())) return;
  const std::string type = folded(rectype_);
  const std::string pair = folded(delpair_);
  items.clear();
  items.rec.rectype = rectype_;
  items.rec.date = std::numeric_limits<std::int32_t>::min();
  items.rec.time = std::numeric_limits<std::int32_t>::min();
  Status st = items.set(SwapoutKey::Key);
  std::int64_t n = 0;
  while (st.is_ok() && (st = items.next()).is_ok()) {
    p_.report("COUNT1", ++count1_);
    if (folded(items.rec.rectype) != type) break;  // the key sorts it after RECTYPE
    if (items.rec.date < fromdate_ || items.rec.date > thrudate_) continue;
    if (!pair.empty() && folded(items.rec.currency) != pair) continue;
    if (!stop_if_failed(reporter_, "Delete", name, items.erase())) ++n;
  }
  if (st.code != kRecordNotAvailable && st.failed()) {
    stop(reporter_, "Get", name, st);
    return;
  }
  if (stop_if_failed(reporter_, "Delete", name, tx.commit())) return;
  deleted_ = n;
  done_ = true;
}

}  // namespace mervane
