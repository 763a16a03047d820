#include "core/auxdata/swap_output.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "core/app/open_or_create.h"
#include "core/app/pick_date.h"
#include "core/auxdata/swap_item.h"
#include "core/model/records.h"
#include "core/runtime/paths.h"
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

}  // namespace

SwapOutput::SwapOutput(Session& s, Windows& w, SwapBrowses& b, Reporter& r, Progress& p)
    : fromdate(sunday_on_or_before(s.clock().today())), s_(s), w_(w), b_(b), r_(r), p_(p) {}

void SwapOutput::press(SwapOutputControl c) {
  switch (c) {
    case SwapOutputControl::SWAPPLOT:
      b_.browse_swap_data(s_);
      break;
    case SwapOutputControl::SWAPRATES:
      b_.browse_swap_rate(s_);
      break;
    case SwapOutputControl::BUTTON5:
      pick_date(w_, s_, fromdate, "0000001");
      break;
    case SwapOutputControl::OK:
      generate();
      closed_ = true;
      break;
    case SwapOutputControl::CANCEL:
      closed_ = true;
      break;
    default:
      break;
  }
}

void SwapOutput::generate() {
  result_ = {};
  count1 = 0;
  Table<SwaprateTable> rates(s_.folder());
  Table<SwapdataTable> defs(s_.folder());
  Table<SwapoutTable> items(s_.folder());
  if (!open_or_create(rates, OpenMode::shared(), r_)) return;
  if (!open_or_create(defs, OpenMode::shared(), r_)) return;
  if (!open_or_create(items, OpenMode::shared(), r_)) return;
  const std::string out = items.file_name();
  Transaction tx(items);
  if (stop_if_failed(r_, "Open", out, tx.status())) return;

  Status st;
  if (rebuild) {
    items.clear();
    items.rec.rectype = "SWAP";
    items.rec.date = std::numeric_limits<std::int32_t>::min();  // before every date, even odd ones
    items.rec.time = std::numeric_limits<std::int32_t>::min();
    st = items.set(SwapoutKey::Key);
    while (st.is_ok() && (st = items.next()).is_ok() && is_swap_type(items.rec.rectype)) {
      if (!stop_if_failed(r_, "Delete", out, items.erase())) ++result_.deleted;
      p_.report("COUNT1", ++count1);
    }
    if (read_failed(r_, items, st)) return;
  }

  // The definitions are a handful; read them all so that Date Add 0, which the key leaves out,
  // is not lost, and order them as the key would.
  std::vector<SwapdataRecord> definitions;
  st = defs.set_storage_order();
  while (st.is_ok() && (st = defs.next()).is_ok())
    if (defs.rec.dateadd >= 0) definitions.push_back(defs.rec);
  if (read_failed(r_, defs, st)) return;
  std::stable_sort(definitions.begin(), definitions.end(),
                   [](const auto& a, const auto& b) { return a.dateadd < b.dateadd; });

  for (const SwapdataRecord& d : definitions) {
    st = rates.set_start(SwaprateKey::KeyPair);
    while (st.is_ok() && (st = rates.next()).is_ok()) {
      p_.report("COUNT1", ++count1);
      const SwapoutRecord item = swap_item(d, rates.rec, fromdate);
      items.rec = item;
      const Status found = items.get(SwapoutKey::Key);
      if (found.is_ok()) {
        items.rec = item;
        if (!stop_if_failed(r_, "Put", out, items.put())) ++result_.rewritten;
      } else if (found.code == kRecordNotFound) {
        items.rec = item;
        if (!stop_if_failed(r_, "Add", out, items.add())) ++result_.added;
      } else {
        stop(r_, "Get", out, found);
      }
    }
    if (read_failed(r_, rates, st)) return;
  }
  if (stop_if_failed(r_, "Put", out, tx.commit())) return;
  result_.done = true;
}

}  // namespace mervane
