#include "core/auxdata/swap_output.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "core/app/open_or_create.h"
#include "core/auxdata/swap_browses.h"
#include "core/auxdata/swap_item.h"
#include "core/model/records.h"
#include "core/runtime/paths.h"
#include "core/setup/pick_date.h"
#include "core/util/dates.h"

namespace mervane {

namespace {

// Whether a read loop ended on a failure rather than at the end of the records (or where the
// loop stopped by itself).
template <class Def>
bool read_failed(Reporter& r, Table<Def>& t, const Status& st) {
  if (st.is_ok() || st.code == kRecordNotAvailable) return false;
  stop(r, "Get", t.file_name(), st);
  return true;
}

bool is_swap_type(std::string_view rectype) {
  // The key compares record types without regard to case, so "swap" items sort among "SWAP".
  return upper_ascii(clip(rectype)) == "SWAP";
}

using C = SwapOutputControl;

}  // namespace

const std::vector<ControlSpec>& SwapOutput::controls() const {
  static const std::vector<ControlSpec> kControls = [] {
    ControlList l(100);
    using K = ControlKind;
    // Places in dialog units: the two browses' buttons on top, the start date beside its
    // prompt, the check box, the buttons.
    l.add(number(C::SWAPPLOT), K::Button, "?SWAPPLOT", "Modify Swap Plotting Details  (F2)")
        .at({8, 8, 150, 15});
    l.add(number(C::SWAPRATES), K::Button, "?SWAPRATES", "Modify Swap Rates  (F3)")
        .at({164, 8, 110, 15});
    l.prompt("Sunday to start Swap record generation  (mm/dd/yyyy)");
    l.at({8, 36, 220, 9});
    l.add(number(C::FROMDATE), K::Entry, "?FROMDATE", {}, "d2").at({228, 34, 72, 13});
    l.calendar_button(number(C::BUTTON5), "?BUTTON5");
    l.add(number(C::REBUILD), K::Check, "?REBUILD",
          "  Delete existing SWAP records and rebuild completely")
        .at({8, 54, 260, 11});
    l.add(number(C::OK), K::Button, "?OK", "OK (Enter)").at({160, 76, 66, 15});
    l.add(number(C::CANCEL), K::Button, "?CANCEL", "Cancel (Esc)").at({232, 76, 68, 15});
    // The counter has no prompt on the window; its name tells a screen reader what it counts.
    l.add(number(C::COUNT1), K::Display, "?COUNT1", "Records deleted and written", "n_6")
        .at({72, 79, 80, 10});
    return l.take();
  }();
  return kControls;
}

void SwapOutput::open() {
  fromdate_ = sunday_on_or_before(s_.clock().today());
  rebuild_ = 1;
}

std::string SwapOutput::value(int control) const {
  const ControlSpec* c = control_def(control);
  switch (static_cast<C>(control)) {
    case C::FROMDATE:
      return shown(c->picture, fromdate_);
    case C::REBUILD:
      return rebuild_ ? "1" : "0";
    case C::COUNT1:
      return shown(c->picture, static_cast<double>(count1_));
    default:
      return {};
  }
}

std::string SwapOutput::store(int control, const Typed& v) {
  if (control == number(C::FROMDATE)) fromdate_ = static_cast<std::int32_t>(v.number);
  if (control == number(C::REBUILD)) rebuild_ = static_cast<std::int16_t>(v.number);
  return {};
}

Reply SwapOutput::on_key(KeyPress k) {
  if (k.key == Key::F2) return accepted(number(C::SWAPPLOT));
  if (k.key == Key::F3) return accepted(number(C::SWAPRATES));
  return ok_cancel_keys(k, number(C::OK), number(C::CANCEL));
}

Reply SwapOutput::on_accepted(int control) {
  switch (static_cast<C>(control)) {
    case C::SWAPPLOT: {
      BrowseSwapData definitions(s_, w_, reporter_);
      w_.run(definitions);
      break;
    }
    case C::SWAPRATES: {
      BrowseSwapRate rates(s_, w_, reporter_, p_);
      w_.run(rates);
      break;
    }
    case C::BUTTON5:
      pick_date(w_, s_, fromdate_, "0000001");
      break;
    case C::OK:
      generate();
      return close(Response::Completed);
    case C::CANCEL:
      return close(Response::Cancelled);
    default:
      break;
  }
  return Reply::stay();
}

void SwapOutput::generate() {
  result_ = {};
  count1_ = 0;
  Table<SwaprateTable> rates(s_.folder());
  Table<SwapdataTable> defs(s_.folder());
  Table<SwapoutTable> items(s_.folder());
  if (!open_or_create(rates, OpenMode::shared(), reporter_)) return;
  if (!open_or_create(defs, OpenMode::shared(), reporter_)) return;
  if (!open_or_create(items, OpenMode::shared(), reporter_)) return;
  const std::string out = items.file_name();
  Transaction tx(items);
  if (stop_if_failed(reporter_, "Open", out, tx.status())) return;

  Status st;
  if (rebuild_) {
    items.clear();
    items.rec.rectype = "SWAP";
    items.rec.date = std::numeric_limits<std::int32_t>::min();  // before every date, even odd ones
    items.rec.time = std::numeric_limits<std::int32_t>::min();
    st = items.set(SwapoutKey::Key);
    while (st.is_ok() && (st = items.next()).is_ok() && is_swap_type(items.rec.rectype)) {
      if (!stop_if_failed(reporter_, "Delete", out, items.erase())) ++result_.deleted;
      p_.report("COUNT1", ++count1_);
    }
    if (read_failed(reporter_, items, st)) return;
  }

  // The definitions are a handful; read them all so that Date Add 0, which the key leaves out,
  // is not lost, and order them as the key would.
  std::vector<SwapdataRecord> definitions;
  st = defs.set_storage_order();
  while (st.is_ok() && (st = defs.next()).is_ok())
    if (defs.rec.dateadd >= 0) definitions.push_back(defs.rec);
  if (read_failed(reporter_, defs, st)) return;
  std::stable_sort(definitions.begin(), definitions.end(),
                   [](const auto& a, const auto& b) { return a.dateadd < b.dateadd; });

  for (const SwapdataRecord& d : definitions) {
    st = rates.set_start(SwaprateKey::KeyPair);
    while (st.is_ok() && (st = rates.next()).is_ok()) {
      p_.report("COUNT1", ++count1_);
      const SwapoutRecord item = swap_item(d, rates.rec, fromdate_);
      items.rec = item;
      const Status found = items.get(SwapoutKey::Key);
      if (found.is_ok()) {
        items.rec = item;
        if (!stop_if_failed(reporter_, "Put", out, items.put())) ++result_.rewritten;
      } else if (found.code == kRecordNotFound) {
        items.rec = item;
        if (!stop_if_failed(reporter_, "Add", out, items.add())) ++result_.added;
      } else {
        stop(reporter_, "Get", out, found);
      }
    }
    if (read_failed(reporter_, rates, st)) return;
  }
  if (stop_if_failed(reporter_, "Put", out, tx.commit())) return;
  result_.done = true;
}

}  // namespace mervane
